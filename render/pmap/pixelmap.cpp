// Pixelmap records and the public operations, which dispatch through each
// pixelmap's operation table.
#include "render/pmap/pixelmap.h"

#include <cstdio>
#include <cstring>

#include "render/dev/device.h"
#include "render/dev/image.h"
#include "render/fw/fw.h"
#include "render/pmap/pixels.h"
#include "render/pmap/pmstate.h"

vt_pixelmap_state vtPm;

namespace {

#define VT_EXPORT_LIST "render/pmap/pmap_exports.inc"
#include "render/dev/builtin_exports.inc"
#undef VT_EXPORT_LIST

vt_resource_class pixelmapClasses[] = {
    {nullptr, "PIXELMAP", VT_RES_PIXELMAP, nullptr, 0},
    {nullptr, "PIXELS", VT_RES_PIXELS, nullptr, 32},
};

// The table of a pixelmap, the memory device's when none is set.
const vt_device_pixelmap_dispatch *ops(vt_pixelmap *pm) {
    if (pm->dispatch == nullptr)
        pm->dispatch = &vtDevicePixelmapMemDispatch;
    return pm->dispatch;
}

vt_device *deviceOf(vt_pixelmap *pm) {
    return ops(pm)->object.device(reinterpret_cast<vt_object *>(pm));
}

// Which table carries out a copy between two pixelmaps: the destination's
// own copy within one device, its copy from memory, the source device's copy
// into memory, or none between two devices.
enum class CopyRoute { Within, To, From, None };

CopyRoute copyRoute(vt_pixelmap *dst, vt_pixelmap *src) {
    ops(dst);
    ops(src);
    if (deviceOf(dst) == deviceOf(src))
        return CopyRoute::Within;
    if (!(src->flags & VT_PMF_DEVICE))
        return CopyRoute::To;
    if (dst->flags & VT_PMF_DEVICE)
        return CopyRoute::None;
    return CopyRoute::From;
}

} // namespace

// ---- Begin and end ---------------------------------------------------------

void *VtPixelmapAnchor() { return vtPm.res; }

vt_error VtPixelmapBegin() {
    for (vt_resource_class &rc : pixelmapClasses)
        VtResClassAdd(&rc);
    vtPm.res = VtResAllocate(VtFrameworkRoot(), 0, VT_RES_ANCHOR);
    vtPm.mem_template = nullptr;
    vtPm.match_template = nullptr;
    VtImageBuiltinInit(&exportImage, "BRPMAP1", exportFunctions, exportNames, exportOrdinals, kExportCount);
    VtImageAdd(&exportImage);
    return vtPm.res ? VT_E_OK : VT_E_NO_MEMORY;
}

vt_error VtPixelmapEnd() {
    VtImageRemove(&exportImage);
    if (vtPm.res)
        VtResFree(vtPm.res);
    memset(&vtPm, 0, sizeof vtPm);
    for (int i = int(sizeof pixelmapClasses / sizeof pixelmapClasses[0]) - 1; i >= 0; i--)
        VtResClassRemove(&pixelmapClasses[i]);
    return VT_E_OK;
}

// ---- Allocation ------------------------------------------------------------

vt_pixelmap *VtPixelmapAllocate(vt_uint_8 type, vt_int_32 width, vt_int_32 height, void *pixels, int flags) {
    if (type >= VT_PMT_MAX || width < 0 || height < 0 || width > 0xffff || height > 0xffff)
        return nullptr;
    const vt_pixelmap_type_info &ti = vtPixelmapTypes[type];
    const int64_t rb = int64_t((width + ti.align - 1) / ti.align) * ti.align * ti.bits / 8;
    if (rb > INT16_MAX || rb * height > int64_t(VtResSizeLimit))
        return nullptr;
    auto *pm = static_cast<vt_pixelmap *>(VtResAllocate(vtPm.res, sizeof(vt_pixelmap), VT_RES_PIXELMAP));
    if (pm == nullptr)
        return nullptr;
    memset(pm, 0, sizeof *pm);
    pm->dispatch = &vtDevicePixelmapMemDispatch;
    pm->type = type;
    // Rows padded to the type's alignment are not contiguous.
    pm->flags = rb == int64_t(width) * ti.bits / 8 ? VT_PMF_LINEAR : 0;
    pm->width = vt_uint_16(width);
    pm->height = vt_uint_16(height);
    pm->row_bytes = vt_int_16(rb);
    if ((rb * 8) % ti.bits == 0)
        pm->flags |= VT_PMF_ROW_WHOLEPIXELS;
    if (!(flags & VT_PMAF_NO_PIXELS)) {
        if (pixels == nullptr) {
            pixels = VtResAllocate(pm, vt_size(rb * height), VT_RES_PIXELS);
            if (pixels == nullptr) {
                VtResFree(pm);
                return nullptr;
            }
        }
        pm->pixels = pixels;
    }
    pm->pixels_qualifier = vtpix::DataSelector();
    if ((flags & VT_PMAF_INVERTED) && pm->pixels) {
        pm->pixels = static_cast<vt_uint_8 *>(pm->pixels) + (height > 0 ? ptrdiff_t(height - 1) * rb : 0);
        pm->row_bytes = vt_int_16(-rb);
    } else if (flags & VT_PMAF_INVERTED) {
        pm->row_bytes = vt_int_16(-rb);
    }
    return pm;
}

vt_pixelmap *VtPixelmapAllocateSub(vt_pixelmap *pm, vt_int_32 x, vt_int_32 y, vt_int_32 w, vt_int_32 h) {
    vt_rectangle r = {x, y, w, h};
    vt_pixelmap *sub = nullptr;
    if (ops(pm)->allocateSub(pm, &sub, &r) != VT_E_OK)
        return nullptr;
    return sub;
}

void VtPixelmapFree(vt_pixelmap *pm) {
    // The device must not keep a freed screen as its last begun pixelmap.
    if (VtDevLastBeginQuery() == pm)
        VtDevLastBeginSet(nullptr);
    ops(pm)->object.free(reinterpret_cast<vt_object *>(pm));
}

vt_pixelmap *VtPixelmapResize(vt_pixelmap *pm, vt_int_32 width, vt_int_32 height) {
    return ops(pm)->resize(pm, width, height) == VT_E_OK ? pm : nullptr;
}

// ---- Match -----------------------------------------------------------------

namespace {

struct match_pair {
    vt_token use;
    vt_int_32 bits; // 0: no PIXEL_BITS_I32 pair
};

const match_pair matchPairs[] = {
    {VTT_OFFSCREEN, 0}, {VTT_DEPTH, 16},   {VTT_DEPTH, 0},      {VTT_HIDDEN, 0},
    {VTT_HIDDEN_BUFFER, 0}, {VTT_NO_RENDER, 0}, {VTT_DEPTH, 8}, {VTT_DEPTH, 32},
    {VTT_DEPTH_15, 16}, {VTT_DEPTH_31, 32}, {VTT_DEPTH_FP15, 16}, {VTT_DEPTH_FP16, 16},
};

vt_pixelmap *matchWith(vt_pixelmap *pm, vt_uint_8 match_type, const vt_token_value *extra, int nextra) {
    vt_token_value tv[8];
    int n = 0;
    const bool known = match_type < sizeof matchPairs / sizeof matchPairs[0];
    tv[n++] = {VTT_USE_T, VtValueU32(known ? matchPairs[match_type].use : 0)};
    if (known && matchPairs[match_type].bits)
        tv[n++] = {VTT_PIXEL_BITS_I32, VtValueI32(matchPairs[match_type].bits)};
    for (int i = 0; i < nextra; i++)
        tv[n++] = extra[i];
    tv[n] = {VTT_END, VtValueU32(0)};
    vt_pixelmap *newpm = nullptr;
    if (ops(pm)->match(pm, &newpm, tv) != VT_E_OK)
        return nullptr;
    return newpm;
}

} // namespace

vt_pixelmap *VtPixelmapMatch(vt_pixelmap *pm, vt_uint_8 match_type) { return matchWith(pm, match_type, nullptr, 0); }

vt_pixelmap *VtPixelmapMatchSized(vt_pixelmap *pm, vt_uint_8 match_type, vt_int_32 width, vt_int_32 height) {
    const vt_token_value extra[] = {{VTT_WIDTH_I32, VtValueI32(width)}, {VTT_HEIGHT_I32, VtValueI32(height)}};
    return matchWith(pm, match_type, extra, 2);
}

vt_pixelmap *VtPixelmapMatchTyped(vt_pixelmap *pm, vt_uint_8 match_type, vt_uint_8 pixel_type) {
    const vt_token_value extra[] = {{VTT_PIXEL_TYPE_U8, VtValueU32(pixel_type)}};
    return matchWith(pm, match_type, extra, 1);
}

vt_pixelmap *VtPixelmapMatchTypedSized(vt_pixelmap *pm, vt_uint_8 match_type, vt_uint_8 pixel_type,
                                       vt_int_32 width, vt_int_32 height) {
    const vt_token_value extra[] = {{VTT_PIXEL_TYPE_U8, VtValueU32(pixel_type)},
                                    {VTT_WIDTH_I32, VtValueI32(width)},
                                    {VTT_HEIGHT_I32, VtValueI32(height)}};
    return matchWith(pm, match_type, extra, 3);
}

// ---- Drawing ---------------------------------------------------------------

void VtPixelmapFill(vt_pixelmap *pm, vt_uint_32 colour) { ops(pm)->fill(pm, colour); }

void VtPixelmapRectangle(vt_pixelmap *pm, vt_int_32 x, vt_int_32 y, vt_int_32 w, vt_int_32 h, vt_uint_32 colour) {
    vt_rectangle r = {x, y, w, h};
    ops(pm)->rectangle(pm, &r, colour);
}

void VtPixelmapRectangle2(vt_pixelmap *pm, vt_int_32 x, vt_int_32 y, vt_int_32 w, vt_int_32 h,
                          vt_uint_32 colour_tl, vt_uint_32 colour_br) {
    vt_rectangle r = {x, y, w, h};
    ops(pm)->rectangle2(pm, &r, colour_tl, colour_br);
}

vt_error VtPixelmapRectangleCopy(vt_pixelmap *dst, vt_int_32 dx, vt_int_32 dy, vt_pixelmap *src, vt_int_32 sx,
                                 vt_int_32 sy, vt_int_32 w, vt_int_32 h) {
    vt_point p = {dx, dy};
    vt_rectangle r = {sx, sy, w, h};
    switch (copyRoute(dst, src)) {
    case CopyRoute::Within:
        return dst->dispatch->rectangleCopy(dst, &p, src, &r);
    case CopyRoute::To:
        return dst->dispatch->rectangleCopyTo(dst, &p, src, &r);
    case CopyRoute::From:
        return src->dispatch->rectangleCopyFrom(src, &p, dst, &r);
    default:
        return VT_E_UNSUPPORTED;
    }
}

vt_error VtPixelmapRectangleStretchCopy(vt_pixelmap *dst, vt_int_32 dx, vt_int_32 dy, vt_int_32 dw, vt_int_32 dh,
                                        vt_pixelmap *src, vt_int_32 sx, vt_int_32 sy, vt_int_32 sw,
                                        vt_int_32 sh) {
    vt_rectangle d = {dx, dy, dw, dh}, s = {sx, sy, sw, sh};
    switch (copyRoute(dst, src)) {
    case CopyRoute::Within:
        return dst->dispatch->rectangleStretchCopy(dst, &d, src, &s);
    case CopyRoute::To:
        return dst->dispatch->rectangleStretchCopyTo(dst, &d, src, &s);
    case CopyRoute::From:
        return src->dispatch->rectangleStretchCopyFrom(src, &d, dst, &s);
    default:
        return VT_E_UNSUPPORTED;
    }
}

vt_error VtPixelmapCopy(vt_pixelmap *dst, vt_pixelmap *src) {
    if (dst->width == src->width && dst->height == src->height) {
        switch (copyRoute(dst, src)) {
        case CopyRoute::Within:
            return dst->dispatch->copy(dst, src);
        case CopyRoute::To:
            return dst->dispatch->copyTo(dst, src);
        case CopyRoute::From:
            return src->dispatch->copyFrom(src, dst);
        default:
            return VT_E_UNSUPPORTED;
        }
    }
    return VtPixelmapRectangleCopy(dst, -dst->origin_x, -dst->origin_y, src, -src->origin_x, -src->origin_y,
                                   src->width, src->height);
}

vt_error VtPixelmapDirtyRectangleCopy(vt_pixelmap *dst, vt_pixelmap *src, vt_int_32 x, vt_int_32 y, vt_int_32 w,
                                      vt_int_32 h) {
    vt_rectangle r = {x, y, w, h};
    return ops(dst)->copyDirty(dst, src, &r, 1);
}

vt_error VtPixelmapDirtyRectangleFill(vt_pixelmap *pm, vt_int_32 x, vt_int_32 y, vt_int_32 w, vt_int_32 h,
                                      vt_uint_32 colour) {
    vt_rectangle r = {x, y, w, h};
    return ops(pm)->fillDirty(pm, colour, &r, 1);
}

vt_error VtPixelmapDirtyRectangleDoubleBuffer(vt_pixelmap *dst, vt_pixelmap *src, vt_int_32 x, vt_int_32 y,
                                              vt_int_32 w, vt_int_32 h) {
    vt_rectangle r = {x, y, w, h};
    return ops(dst)->doubleBufferDirty(dst, src, &r, 1);
}

void VtPixelmapPixelSet(vt_pixelmap *pm, vt_int_32 x, vt_int_32 y, vt_uint_32 colour) {
    vt_point p = {x, y};
    ops(pm)->pixelSet(pm, &p, colour);
}

vt_uint_32 VtPixelmapPixelGet(vt_pixelmap *pm, vt_int_32 x, vt_int_32 y) {
    vt_point p = {x, y};
    vt_uint_32 colour = 0;
    ops(pm)->pixelQuery(pm, &colour, &p);
    return colour;
}

void VtPixelmapLine(vt_pixelmap *pm, vt_int_32 x1, vt_int_32 y1, vt_int_32 x2, vt_int_32 y2, vt_uint_32 colour) {
    vt_point s = {x1, y1}, e = {x2, y2};
    ops(pm)->line(pm, &s, &e, colour);
}

void VtPixelmapDoubleBuffer(vt_pixelmap *dst, vt_pixelmap *src) { ops(dst)->doubleBuffer(dst, src); }

void VtPixelmapCopyBits(vt_pixelmap *pm, vt_int_32 x, vt_int_32 y, const vt_uint_8 *bits, vt_int_32 stride,
                        vt_int_32 start_bit, vt_int_32 end_bit, vt_int_32 nrows, vt_uint_32 colour) {
    if (stride < 0 || stride > 0xffff)
        return;
    vt_point p = {x, y};
    vt_rectangle r = {start_bit, 0, vt_int_32(int64_t(end_bit) - start_bit), nrows};
    ops(pm)->copyBits(pm, &p, bits, vt_uint_16(stride), &r, colour);
}

// ---- Text ------------------------------------------------------------------

void VtPixelmapText(vt_pixelmap *pm, vt_int_32 x, vt_int_32 y, vt_uint_32 colour, vt_font *font, const char *text) {
    vt_point p = {x, y};
    ops(pm)->text(pm, &p, font ? font : VtFontProp7x9, text, colour);
}

void VtPixelmapTextF(vt_pixelmap *pm, vt_int_32 x, vt_int_32 y, vt_uint_32 colour, vt_font *font,
                     const char *format, ...) {
    char *ss = VtScratchString();
    va_list args;
    va_start(args, format);
    // Bounded by the scratch text area: longer texts are cut.
    vsnprintf(ss, VtScratchStringSize(), format, args);
    va_end(args);
    VtPixelmapText(pm, x, y, colour, font, ss);
}

vt_int_32 VtPixelmapTextWidth(vt_pixelmap *, vt_font *font, const char *text) {
    if (font == nullptr)
        font = VtFontProp7x9;
    if (text == nullptr)
        return font->glyph_x;
    if (!(font->flags & VT_FONTF_PROPORTIONAL) || font->width == nullptr)
        return vt_int_32(strlen(text)) * (font->glyph_x + 1) - 1;
    vt_int_32 w = 0;
    for (; *text; text++)
        w += font->width[vt_uint_8(*text)] + 1;
    return w - 1;
}

vt_int_32 VtPixelmapTextHeight(vt_pixelmap *, vt_font *font) { return (font ? font : VtFontProp7x9)->glyph_y; }

// ---- Properties ------------------------------------------------------------

vt_uint_16 VtPixelmapPixelSize(vt_pixelmap *pm) { return pm->type < VT_PMT_MAX ? vtPixelmapTypes[pm->type].bits : 0; }
vt_uint_16 VtPixelmapFileSize(vt_pixelmap *pm) {
    return pm->type < VT_PMT_MAX ? vtPixelmapTypes[pm->type].file_size : 0;
}
vt_uint_16 VtPixelmapChannels(vt_pixelmap *pm) {
    return pm->type < VT_PMT_MAX ? vtPixelmapTypes[pm->type].channels : 0;
}

// ---- Palettes --------------------------------------------------------------

namespace {

vt_device_clut *clutOf(vt_pixelmap *pm) {
    vt_value v;
    v.raw = 0;
    if (ops(pm)->object.query(reinterpret_cast<vt_object *>(pm), &v, VTT_CLUT_O) != VT_E_OK)
        return nullptr;
    return reinterpret_cast<vt_device_clut *>(v.o);
}

} // namespace

vt_error VtPixelmapPaletteSet(vt_pixelmap *pm, vt_pixelmap *palette) {
    vt_device_clut *clut = clutOf(pm);
    if (clut == nullptr || palette == nullptr || palette->pixels == nullptr)
        return VT_E_FAIL;
    // Entries are 32-bit colours, one per row.
    if (VtPixelmapTypeBytes(palette->type) != 4)
        return VT_E_FAIL;
    for (vt_int_32 i = 0; i < palette->height; i++) {
        vt_colour c;
        memcpy(&c, static_cast<vt_uint_8 *>(palette->pixels) + ptrdiff_t(palette->base_y + i) * palette->row_bytes +
                       ptrdiff_t(palette->base_x) * 4,
               4);
        if (vt_error r = clut->dispatch->entrySet(clut, i, c))
            return r;
    }
    return VT_E_OK;
}

vt_error VtPixelmapPaletteEntrySet(vt_pixelmap *pm, vt_int_32 index, vt_colour colour) {
    vt_device_clut *clut = clutOf(pm);
    return clut ? clut->dispatch->entrySet(clut, index, colour) : VT_E_FAIL;
}

vt_error VtPixelmapPaletteEntrySetMany(vt_pixelmap *pm, vt_int_32 index, vt_int_32 ncolours,
                                       const vt_colour *colours) {
    vt_device_clut *clut = clutOf(pm);
    return clut ? clut->dispatch->entrySetMany(clut, index, ncolours, colours) : VT_E_FAIL;
}

// ---- Direct access ---------------------------------------------------------

vt_pixelmap *VtPixelmapDirectLock(vt_pixelmap *pm, vt_boolean block) {
    return ops(pm)->directLock(pm, block) == VT_E_OK ? pm : nullptr;
}

vt_pixelmap *VtPixelmapDirectUnlock(vt_pixelmap *pm) { return ops(pm)->directUnlock(pm) == VT_E_OK ? pm : nullptr; }
