// The output device "3DFX_WIN": one output facility making screen
// pixelmaps that show memory frames through the output host plug.
#include "render/drivers/output.h"

#include <cstddef>
#include <cstring>

#include "render/dev/device.h"
#include "render/dev/image.h"
#include "render/drivers/drvobject.h"
#include "render/fw/fw.h"
#include "render/pmap/pixelmap.h"

struct vo_device;
struct vo_screen;

namespace {

constexpr const char *kName = "3DFX_WIN";
// Rows of 2-byte pixels must fit the pixelmap's 16-bit row bytes.
constexpr vt_int_32 kMaxSide = 8192;
constexpr int kClutEntries = 256;

// ---- The default plug --------------------------------------------------------

char memoryScreen;
void *memoryOpen(void *, vt_boolean, vt_int_32, vt_int_32) { return &memoryScreen; }
void memoryPresent(void *, const void *, vt_int_32) {}
void memoryClose(void *) {}

vt_output_host memoryHost = {"Memory", memoryOpen, memoryPresent, memoryClose};
vt_output_host *installedHost = &memoryHost;

} // namespace

// ---- Records -------------------------------------------------------------------

struct vo_facility {
    const vt_output_facility_dispatch *dispatch;
    const char *identifier;
    vo_device *device;
    void *list; // offers nothing further
    vt_uint_8 pixel_type;
    vt_int_32 pixel_bits;
};

struct vo_clut {
    const vt_device_clut_dispatch *dispatch;
    const char *identifier;
    vo_device *device;
    vt_colour entries[kClutEntries];
};

struct vo_screen {
    vt_pixelmap pm; // first: the screen is this pixelmap
    vo_device *device;
    vo_facility *facility; // what OUTPUT_FACILITY_O answers
    vo_clut *clut_ptr;     // what CLUT_O answers
    vo_clut clut;
    vt_output_host *host; // the plug that opened it closes it
    void *host_screen;
    vt_uint_16 *frame; // the one-colour frame of fill, made when first needed
    vo_screen *next;   // the device's open screens
};

struct vo_device {
    const vt_object_container_dispatch *dispatch;
    const char *identifier;
    vo_device *device; // itself
    void *list;
    vt_tv_template *object_template;
    vt_tv_template *facility_template;
    vt_tv_template *screen_template;
    vo_screen *screens;
};

namespace {

// Every object here starts with dispatch, identifier, device.
struct vo_named {
    const void *dispatch;
    const char *identifier;
    vo_device *device;
};

vo_named *named(vt_object *o) { return reinterpret_cast<vo_named *>(o); }
vo_screen *screenOf(vt_dpm *pm) { return reinterpret_cast<vo_screen *>(pm); }

vt_tv_template_entry objectEntries[] = {
    {0, "IDENTIFIER_CSTR", offsetof(vo_named, identifier), VT_TVF_QUERY | VT_TVF_QUERY_ALL, VT_TVC_DIRECT, 0, 0},
};

// The facility answers its depth and pixel type, so a begin asking for
// another finds no facility.
vt_tv_template_entry facilityEntries[] = {
    {0, "IDENTIFIER_CSTR", offsetof(vo_facility, identifier), VT_TVF_QUERY | VT_TVF_QUERY_ALL, VT_TVC_DIRECT, 0, 0},
    {0, "PIXEL_TYPE_U8", offsetof(vo_facility, pixel_type), VT_TVF_QUERY | VT_TVF_QUERY_ALL, VT_TVC_UINT8, 0, 0},
    {0, "PIXEL_BITS_I32", offsetof(vo_facility, pixel_bits), VT_TVF_QUERY | VT_TVF_QUERY_ALL, VT_TVC_DIRECT, 0, 0},
};

vt_tv_template_entry screenEntries[] = {
    {0, "IDENTIFIER_CSTR", offsetof(vt_pixelmap, identifier), VT_TVF_QUERY | VT_TVF_QUERY_ALL, VT_TVC_DIRECT, 0, 0},
    {0, "WIDTH_I32", offsetof(vt_pixelmap, width), VT_TVF_QUERY | VT_TVF_QUERY_ALL, VT_TVC_UINT16, 0, 0},
    {0, "HEIGHT_I32", offsetof(vt_pixelmap, height), VT_TVF_QUERY | VT_TVF_QUERY_ALL, VT_TVC_UINT16, 0, 0},
    {0, "PIXEL_TYPE_U8", offsetof(vt_pixelmap, type), VT_TVF_QUERY | VT_TVF_QUERY_ALL, VT_TVC_UINT8, 0, 0},
    {0, "CLUT_O", offsetof(vo_screen, clut_ptr), VT_TVF_QUERY | VT_TVF_QUERY_ALL, VT_TVC_DIRECT, 0, 0},
    {0, "OUTPUT_FACILITY_O", offsetof(vo_screen, facility), VT_TVF_QUERY | VT_TVF_QUERY_ALL, VT_TVC_DIRECT, 0, 0},
};

template <size_t N> int countOf(const vt_tv_template_entry (&)[N]) { return int(N); }

const char *objectIdentifier(vt_object *o) { return named(o)->identifier; }
vt_device *objectDevice(vt_object *o) { return reinterpret_cast<vt_device *>(named(o)->device); }
vt_int_32 objectSpace(vt_object *o) { return vt_int_32(VtResSizeTotal(o)); }
vt_tv_template *objectTemplate(vt_object *o) { return named(o)->device->object_template; }
void freedWithDevice(vt_object *) {}

vt_object_dispatch objectDispatch(void (*free)(vt_object *), vt_token (*type)(vt_object *),
                                  vt_boolean (*is_type)(vt_object *, vt_token),
                                  vt_tv_template *(*templ)(vt_object *)) {
    return DrvObjectDispatch(free, objectIdentifier, type, is_type, objectDevice, objectSpace, templ);
}

// ---- The colour table ------------------------------------------------------------

vt_token clutType(vt_object *) { return VTT_DEVICE_CLUT; }
vt_boolean clutIsType(vt_object *, vt_token t) { return t == VTT_DEVICE_CLUT || t == VTT_OBJECT; }

bool inTable(vt_int_32 index, vt_int_32 count) {
    return index >= 0 && count >= 0 && index <= kClutEntries && count <= kClutEntries - index;
}

vt_error clutEntrySet(vt_device_clut *self, vt_int_32 index, vt_colour entry) {
    if (!inTable(index, 1))
        return VT_E_FAIL;
    reinterpret_cast<vo_clut *>(self)->entries[index] = entry;
    return VT_E_OK;
}

vt_error clutEntryQuery(vt_device_clut *self, vt_colour *entry, vt_int_32 index) {
    if (!inTable(index, 1) || entry == nullptr)
        return VT_E_FAIL;
    *entry = reinterpret_cast<vo_clut *>(self)->entries[index];
    return VT_E_OK;
}

vt_error clutEntrySetMany(vt_device_clut *self, vt_int_32 index, vt_int_32 count, const vt_colour *entries) {
    if (!inTable(index, count) || (count && entries == nullptr))
        return VT_E_FAIL;
    if (count)
        memcpy(reinterpret_cast<vo_clut *>(self)->entries + index, entries, sizeof(vt_colour) * vt_size(count));
    return VT_E_OK;
}

vt_error clutEntryQueryMany(vt_device_clut *self, vt_colour *entries, vt_int_32 index, vt_int_32 count) {
    if (!inTable(index, count) || (count && entries == nullptr))
        return VT_E_FAIL;
    if (count)
        memcpy(entries, reinterpret_cast<vo_clut *>(self)->entries + index, sizeof(vt_colour) * vt_size(count));
    return VT_E_OK;
}

const vt_device_clut_dispatch clutDispatch = [] {
    vt_device_clut_dispatch d{};
    d.object = objectDispatch(freedWithDevice, clutType, clutIsType, objectTemplate);
    d.entrySet = clutEntrySet;
    d.entryQuery = clutEntryQuery;
    d.entrySetMany = clutEntrySetMany;
    d.entryQueryMany = clutEntryQueryMany;
    return d;
}();

// ---- The screen pixelmap -----------------------------------------------------------

void unlinkScreen(vo_screen *s) {
    for (vo_screen **p = &s->device->screens; *p; p = &(*p)->next)
        if (*p == s) {
            *p = s->next;
            return;
        }
}

void closeScreen(vo_screen *s) {
    unlinkScreen(s);
    s->host->close(s->host_screen);
    VtResFree(s);
}

void screenFree(vt_object *o) {
    closeScreen(reinterpret_cast<vo_screen *>(o));
}

vt_token screenType(vt_object *) { return VTT_DEVICE_PIXELMAP; }
vt_boolean screenIsType(vt_object *, vt_token t) { return t == VTT_DEVICE_PIXELMAP || t == VTT_OBJECT; }
vt_tv_template *screenTemplate(vt_object *o) { return reinterpret_cast<vo_screen *>(o)->device->screen_template; }
// A pixelmap's third field is its pixels, not a device as for the others.
vt_device *screenDevice(vt_object *o) { return reinterpret_cast<vt_device *>(reinterpret_cast<vo_screen *>(o)->device); }

// Shows a memory pixelmap of the screen's size and type, straight from its
// rows.
vt_error showFrame(vt_dpm *self, vt_dpm *src) {
    if (src == nullptr || src->pixels == nullptr)
        return VT_E_FAIL;
    if ((src->flags & VT_PMF_DEVICE) || src->type != self->type || src->width != self->width ||
        src->height != self->height || src->row_bytes <= 0)
        return VT_E_UNSUPPORTED;
    const auto *first =
        static_cast<const vt_uint_8 *>(src->pixels) + ptrdiff_t(src->base_y) * src->row_bytes + ptrdiff_t(src->base_x) * 2;
    vo_screen *s = screenOf(self);
    s->host->present(s->host_screen, first, src->row_bytes);
    return VT_E_OK;
}

vt_error screenDoubleBuffer(vt_dpm *self, vt_dpm *src) { return showFrame(self, src); }
vt_error screenDoubleBufferDirty(vt_dpm *self, vt_dpm *src, vt_rectangle *, vt_int_32) { return showFrame(self, src); }

vt_error screenFill(vt_dpm *self, vt_uint_32 colour) {
    vo_screen *s = screenOf(self);
    const vt_size n = vt_size(self->width) * self->height;
    if (s->frame == nullptr)
        s->frame = static_cast<vt_uint_16 *>(VtResAllocate(s, n * 2, VT_RES_PIXELS));
    if (s->frame == nullptr)
        return VT_E_NO_MEMORY;
    for (vt_size i = 0; i < n; i++)
        s->frame[i] = vt_uint_16(colour);
    s->host->present(s->host_screen, s->frame, vt_int_32(self->width) * 2);
    return VT_E_OK;
}

vt_error refuseSub(vt_dpm *, vt_dpm **, vt_rectangle *) { return VT_E_UNSUPPORTED; }
vt_error refuseCopy(vt_dpm *, vt_dpm *) { return VT_E_UNSUPPORTED; }
vt_error refuseStretch(vt_dpm *, vt_rectangle *, vt_dpm *, vt_rectangle *) { return VT_E_UNSUPPORTED; }
vt_error refuseRowSize(vt_dpm *, vt_size *) { return VT_E_UNSUPPORTED; }
vt_error refuseRow(vt_dpm *, void *, vt_size, vt_uint_32) { return VT_E_UNSUPPORTED; }
vt_error refuseLock(vt_dpm *, vt_boolean) { return VT_E_UNSUPPORTED; }
vt_error refuseUnlock(vt_dpm *) { return VT_E_UNSUPPORTED; }

const vt_device_pixelmap_dispatch screenDispatch = [] {
    vt_device_pixelmap_dispatch d{};
    d.object = objectDispatch(screenFree, screenType, screenIsType, screenTemplate);
    d.object.device = screenDevice;
    d.validSource = _M_br_device_pixelmap_mem_validSource;
    d.resize = _M_br_device_pixelmap_null_resize;
    d.match = _M_br_device_pixelmap_mem_match;
    d.allocateSub = refuseSub;
    d.copy = refuseCopy;
    d.copyTo = screenDoubleBuffer;
    d.copyFrom = _M_br_device_pixelmap_null_copyFrom;
    d.fill = screenFill;
    d.doubleBuffer = screenDoubleBuffer;
    d.copyDirty = _M_br_device_pixelmap_null_copyDirty;
    d.copyToDirty = _M_br_device_pixelmap_null_copyToDirty;
    d.copyFromDirty = _M_br_device_pixelmap_null_copyFromDirty;
    d.fillDirty = _M_br_device_pixelmap_null_fillDirty;
    d.doubleBufferDirty = screenDoubleBufferDirty;
    d.rectangle = _M_br_device_pixelmap_gen_rectangle;
    d.rectangle2 = _M_br_device_pixelmap_gen_rectangle2;
    d.rectangleCopy = _M_br_device_pixelmap_null_rectangleCopyTo;
    d.rectangleCopyTo = _M_br_device_pixelmap_null_rectangleCopyTo;
    d.rectangleCopyFrom = _M_br_device_pixelmap_null_rectangleCopyFrom;
    d.rectangleStretchCopy = refuseStretch;
    d.rectangleStretchCopyTo = _M_br_device_pixelmap_null_rectangleStretchCopyTo;
    d.rectangleStretchCopyFrom = _M_br_device_pixelmap_null_rectangleStretchCopyFrom;
    d.rectangleFill = _M_br_device_pixelmap_null_rectangleFill;
    d.pixelSet = _M_br_device_pixelmap_null_pixelSet;
    d.line = _M_br_device_pixelmap_gen_line;
    d.copyBits = _M_br_device_pixelmap_null_copyBits;
    d.text = _M_br_device_pixelmap_gen_text;
    d.textBounds = _M_br_device_pixelmap_gen_textBounds;
    d.rowSize = refuseRowSize;
    d.rowQuery = refuseRow;
    d.rowSet = refuseRow;
    d.pixelQuery = _M_br_device_pixelmap_null_pixelQuery;
    d.pixelAddressQuery = _M_br_device_pixelmap_null_pixelAddressQuery;
    d.pixelAddressSet = _M_br_device_pixelmap_null_pixelAddressSet;
    d.originSet = _M_br_device_pixelmap_mem_originSet;
    d.flush = _M_br_device_pixelmap_mem_flush;
    d.synchronise = _M_br_device_pixelmap_mem_synchronise;
    d.directLock = refuseLock;
    d.directUnlock = refuseUnlock;
    return d;
}();

// ---- The output facility -----------------------------------------------------------

struct screen_pairs {
    void *window = nullptr;
    vt_boolean full_screen = 0;
    vt_int_32 width = 640, height = 480;
    vt_int_32 bits = 16;
    vt_uint_32 type = VT_PMT_RGB_565;
};

screen_pairs readPairs(const vt_token_value *tv) {
    screen_pairs p;
    for (; tv && tv->t != VTT_END; tv++) {
        if (tv->t == VTT_WINDOW_HANDLE_H)
            p.window = tv->v.p;
        else if (tv->t == VTT_WINDOW_FULLSCREEN_B)
            p.full_screen = tv->v.b ? 1 : 0;
        else if (tv->t == VTT_WIDTH_I32)
            p.width = tv->v.i32;
        else if (tv->t == VTT_HEIGHT_I32)
            p.height = tv->v.i32;
        else if (tv->t == VTT_PIXEL_BITS_I32)
            p.bits = tv->v.i32;
        else if (tv->t == VTT_PIXEL_TYPE_U8)
            p.type = tv->v.u8;
    }
    return p;
}

vt_error screenNew(vt_output_facility *self, vt_pixelmap **ppm, vt_token_value *tv) {
    auto *f = reinterpret_cast<vo_facility *>(self);
    const screen_pairs p = readPairs(tv);
    if (ppm == nullptr || p.bits != f->pixel_bits || p.type != f->pixel_type || p.width < 1 || p.height < 1 ||
        p.width > kMaxSide || p.height > kMaxSide)
        return VT_E_FAIL;
    vo_device *dev = f->device;
    auto *s = static_cast<vo_screen *>(VtResAllocate(dev, sizeof(vo_screen), VT_RES_OBJECT_DATA));
    if (s == nullptr)
        return VT_E_NO_MEMORY;
    memset(s, 0, sizeof *s);
    s->host = installedHost;
    s->host_screen = s->host->open(p.window, p.full_screen, p.width, p.height);
    if (s->host_screen == nullptr) {
        VtResFree(s);
        return VT_E_FAIL;
    }
    vt_pixelmap &pm = s->pm;
    pm.dispatch = &screenDispatch;
    pm.identifier = kName;
    pm.type = VT_PMT_RGB_565;
    pm.flags = VT_PMF_DEVICE | VT_PMF_LINEAR | VT_PMF_ROW_WHOLEPIXELS;
    pm.width = vt_uint_16(p.width);
    pm.height = vt_uint_16(p.height);
    pm.row_bytes = vt_int_16(p.width * 2);
    s->device = dev;
    s->facility = f;
    s->clut.dispatch = &clutDispatch;
    s->clut.identifier = kName;
    s->clut.device = dev;
    s->clut_ptr = &s->clut;
    s->next = dev->screens;
    dev->screens = s;
    *ppm = &pm;
    return VT_E_OK;
}

vt_token facilityType(vt_object *) { return VTT_OUTPUT_FACILITY; }
vt_boolean facilityIsType(vt_object *, vt_token t) { return t == VTT_OUTPUT_FACILITY || t == VTT_OBJECT; }
vt_tv_template *facilityTemplate(vt_object *o) { return named(o)->device->facility_template; }
void *facilityList(vt_object_container *c) { return reinterpret_cast<vo_facility *>(c)->list; }

const vt_output_facility_dispatch facilityDispatch = [] {
    vt_output_facility_dispatch d{};
    d.container =
        DrvContainerDispatch(objectDispatch(freedWithDevice, facilityType, facilityIsType, facilityTemplate), facilityList);
    d.pixelmapNew = screenNew;
    return d;
}();

// ---- The device -------------------------------------------------------------------

void deviceFree(vt_object *o) {
    auto *dev = reinterpret_cast<vo_device *>(o);
    while (dev->screens)
        closeScreen(dev->screens);
    VtResFree(dev);
}

vt_token deviceType(vt_object *) { return VTT_DEVICE; }
vt_boolean deviceIsType(vt_object *, vt_token t) { return t == VTT_DEVICE || t == VTT_OBJECT; }
void *deviceList(vt_object_container *c) { return reinterpret_cast<vo_device *>(c)->list; }

const vt_object_container_dispatch deviceDispatch =
    DrvContainerDispatch(objectDispatch(deviceFree, deviceType, deviceIsType, objectTemplate), deviceList);

vt_device *beginDevice(const char *) {
    auto *dev = static_cast<vo_device *>(DrvDeviceAllocate(sizeof(vo_device)));
    if (dev == nullptr)
        return nullptr;
    dev->dispatch = &deviceDispatch;
    dev->identifier = kName;
    dev->device = dev;
    dev->list = VtObjectListAllocate(dev);
    dev->object_template = VtTVTemplateAllocate(dev, objectEntries, countOf(objectEntries));
    dev->facility_template = VtTVTemplateAllocate(dev, facilityEntries, countOf(facilityEntries));
    dev->screen_template = VtTVTemplateAllocate(dev, screenEntries, countOf(screenEntries));
    auto *f = static_cast<vo_facility *>(VtResAllocate(dev, sizeof(vo_facility), VT_RES_OBJECT_DATA));
    bool ok = dev->list && dev->object_template && dev->facility_template && dev->screen_template && f;
    if (ok) {
        memset(f, 0, sizeof *f);
        f->dispatch = &facilityDispatch;
        f->identifier = kName;
        f->device = dev;
        f->list = VtObjectListAllocate(f);
        f->pixel_type = VT_PMT_RGB_565;
        f->pixel_bits = 16;
        ok = f->list && _M_br_object_container_addFront(reinterpret_cast<vt_object_container *>(dev),
                                                        reinterpret_cast<vt_object *>(f)) == VT_E_OK;
    }
    if (!ok) {
        VtResFree(dev);
        return nullptr;
    }
    return reinterpret_cast<vt_device *>(dev);
}

} // namespace

vt_output_host *VtOutputHostSet(vt_output_host *host) {
    vt_output_host *old = installedHost;
    installedHost = host ? host : &memoryHost;
    return old;
}

vt_output_host *VtOutputHost() { return installedHost; }

void VtOutputDriverRegister() { VtDriverImageRegister(kName, beginDevice); }
