// The driver images: each begins a device whose container holds its
// facility objects, named "Default-...-Float" for the typed images and
// "Default-..." for the untyped ones.
#include <cstddef>
#include <cstring>

#include "render/drivers/drvobject.h"
#include "render/drivers/srstate.h"
#include "render/fmt/fmt.h"

struct sr_device {
    const vt_object_container_dispatch *dispatch;
    const char *identifier; // the image name
    sr_device *device;      // itself
    void *list;             // the standard object list
    vt_tv_template *object_template;
    sr_templates parts;
};

namespace {

// A facility or geometry format.
struct sr_facility {
    const void *dispatch;
    const char *identifier;
    sr_device *device;
    vt_token type;
};

vt_tv_template_entry objectEntries[] = {
    {VTT_IDENTIFIER_CSTR, nullptr, offsetof(sr_named, identifier), VT_TVF_QUERY | VT_TVF_QUERY_ALL, VT_TVC_DIRECT, 0,
     0},
};

sr_named *named(vt_object *o) { return reinterpret_cast<sr_named *>(o); }

// ---- Facilities ------------------------------------------------------------------

void facilityFree(vt_object *) {} // freed with their device
vt_token facilityType(vt_object *o) { return reinterpret_cast<sr_facility *>(o)->type; }
vt_boolean facilityIsType(vt_object *o, vt_token t) { return facilityType(o) == t; }

vt_error rendererNew(vt_renderer_facility *self, vt_renderer **pr, vt_token_value *tv) {
    if (pr == nullptr)
        return VT_E_FAIL;
    return SrRendererNew(reinterpret_cast<sr_facility *>(self)->device, pr, tv);
}

vt_error modelRender(vt_geometry *, vt_renderer *r, vt_prepared_model *m, vt_renderer_state_stored *s, vt_token t) {
    return SrModelRender(r, m, s, t);
}

vt_error storedNew(vt_geometry *, vt_renderer *, vt_geometry_stored **, vt_prepared_model *, vt_token,
                   vt_token_value *) {
    // Prepared models are drawn as they are; there is no faster copy.
    return VT_E_UNSUPPORTED;
}

vt_error bucketsRender(vt_geometry *, vt_renderer *r, vt_primitive **buckets, vt_int_32 n) {
    return SrBucketsRender(r, buckets, n);
}

const vt_object_dispatch plainDispatch = SrObjectDispatch(facilityFree, facilityType, facilityIsType);

const vt_renderer_facility_dispatch rendererFacilityDispatch = [] {
    vt_renderer_facility_dispatch d{};
    d.object = plainDispatch;
    d.rendererNew = rendererNew;
    return d;
}();

const vt_geometry_v1_model_dispatch modelFormatDispatch = [] {
    vt_geometry_v1_model_dispatch d{};
    d.object = plainDispatch;
    d.render = modelRender;
    // Clipping costs little beside drawing and guards against bounds that
    // do not hold the model: the on-screen form is the same.
    d.renderOnScreen = modelRender;
    d.storedNew = storedNew;
    return d;
}();

const vt_geometry_v1_buckets_dispatch bucketsFormatDispatch = [] {
    vt_geometry_v1_buckets_dispatch d{};
    d.object = plainDispatch;
    d.render = bucketsRender;
    return d;
}();

// ---- The device --------------------------------------------------------------------

void deviceFree(vt_object *o) { VtResFree(o); }
vt_token deviceType(vt_object *) { return VTT_DEVICE; }
vt_boolean deviceIsType(vt_object *, vt_token t) { return t == VTT_DEVICE; }
void *deviceList(vt_object_container *c) { return reinterpret_cast<sr_device *>(c)->list; }

const vt_object_container_dispatch deviceDispatch =
    DrvContainerDispatch(SrObjectDispatch(deviceFree, deviceType, deviceIsType), deviceList);

enum kind { kRenderer, kPrimitives, kFormats };

struct offer {
    const void *dispatch;
    vt_token type;
    const char *name; // without the "-Float"
};

bool addObject(sr_device *dev, const offer &o, bool typed) {
    auto *f = static_cast<sr_facility *>(VtResAllocate(dev, sizeof(sr_facility), VT_RES_OBJECT_DATA));
    if (f == nullptr)
        return false;
    f->dispatch = o.dispatch;
    f->device = dev;
    f->type = o.type;
    if (typed) {
        char name[40];
        VtSprintfN(name, sizeof name, "%s-Float", o.name);
        f->identifier = VtResStrDup(f, name);
    } else {
        f->identifier = o.name;
    }
    if (f->identifier == nullptr)
        return false;
    return _M_br_object_container_addFront(reinterpret_cast<vt_object_container *>(dev),
                                           reinterpret_cast<vt_object *>(f)) == VT_E_OK;
}

vt_device *begin(const char *image, kind k, bool typed) {
    auto *dev = static_cast<sr_device *>(DrvDeviceAllocate(sizeof(sr_device)));
    if (dev == nullptr)
        return nullptr;
    dev->dispatch = &deviceDispatch;
    dev->identifier = image;
    dev->device = dev;
    dev->list = VtObjectListAllocate(dev);
    dev->object_template = VtTVTemplateAllocate(dev, objectEntries, 1);
    bool ok = dev->list && dev->object_template;
    switch (k) {
    case kRenderer:
        ok = ok && SrTemplatesMake(&dev->parts, dev) == VT_E_OK &&
             addObject(dev, {&rendererFacilityDispatch, VTT_RENDERER_FACILITY, "Default-Renderer"}, typed);
        break;
    case kPrimitives:
        ok = ok && addObject(dev, {&plainDispatch, VTT_PRIMITIVE_LIBRARY, "Default-Primitives"}, typed);
        break;
    case kFormats:
        // Added at the front: the list holds them in the reverse order.
        ok = ok && addObject(dev, {&plainDispatch, VTT_GEOMETRY_LIGHTING, "Default-Format"}, typed) &&
             addObject(dev, {&bucketsFormatDispatch, VTT_GEOMETRY_V1_BUCKETS, "Default-Format"}, typed) &&
             addObject(dev, {&modelFormatDispatch, VTT_GEOMETRY_V1_MODEL, "Default-Format"}, typed);
        break;
    }
    if (!ok) {
        VtResFree(dev);
        return nullptr;
    }
    return reinterpret_cast<vt_device *>(dev);
}

vt_device *beginRendererFloat(const char *) { return begin("softrndf", kRenderer, true); }
vt_device *beginRenderer(const char *) { return begin("softrend", kRenderer, false); }
vt_device *beginPrimitivesFloat(const char *) { return begin("softprmf", kPrimitives, true); }
vt_device *beginPrimitives(const char *) { return begin("softprim", kPrimitives, false); }
vt_device *beginFormatsFloat(const char *) { return begin("softfrmf", kFormats, true); }
vt_device *beginFormats(const char *) { return begin("softform", kFormats, false); }

} // namespace

void VtSoftDriversRegister() {
    VtDriverImageRegister("softrndf", beginRendererFloat);
    VtDriverImageRegister("softrend", beginRenderer);
    VtDriverImageRegister("softprmf", beginPrimitivesFloat);
    VtDriverImageRegister("softprim", beginPrimitives);
    VtDriverImageRegister("softfrmf", beginFormatsFloat);
    VtDriverImageRegister("softform", beginFormats);
}

void *SrDeviceResource(sr_device *dev) { return dev; }
vt_device *SrDeviceObject(sr_device *dev) { return reinterpret_cast<vt_device *>(dev); }
const sr_templates *SrDeviceParts(sr_device *dev) { return &dev->parts; }
vt_tv_template *SrDeviceObjectTemplate(sr_device *dev) { return dev->object_template; }

vt_device *SrObjectDevice(vt_object *o) { return SrDeviceObject(named(o)->device); }
const char *SrObjectIdentifier(vt_object *o) { return named(o)->identifier; }
vt_int_32 SrObjectSpace(vt_object *o) { return vt_int_32(VtResSizeTotal(o)); }
vt_tv_template *SrObjectTemplate(vt_object *o) { return SrDeviceObjectTemplate(named(o)->device); }

vt_object_dispatch SrObjectDispatch(void (*free)(vt_object *), vt_token (*type)(vt_object *),
                                    vt_boolean (*is_type)(vt_object *, vt_token)) {
    return DrvObjectDispatch(free, SrObjectIdentifier, type, is_type, SrObjectDevice, SrObjectSpace, SrObjectTemplate);
}
