// The memory device: pixelmap operations over plain memory, which is every
// pixelmap the library allocates itself.
#include <cstring>

#include "render/fw/fw.h"
#include "render/pmap/pixelmap.h"
#include "render/pmap/pixels.h"
#include "render/pmap/pmstate.h"

namespace {

int bytesOf(const vt_pixelmap *pm) { return VtPixelmapTypeBytes(pm->type); }

// Pixel (x, y) of the pixelmap, in pixel coordinates after clipping.
vt_uint_8 *addressOf(const vt_pixelmap *pm, vt_int_32 x, vt_int_32 y) {
    const ptrdiff_t off = (ptrdiff_t(pm->base_y) + y) * pm->row_bytes + (ptrdiff_t(pm->base_x) + x) * bytesOf(pm);
    return static_cast<vt_uint_8 *>(pm->pixels) + off;
}

// Rows that follow each other without a gap, by the flags and (since
// pixelAddressSet can change row_bytes under them) by the numbers.
bool linear(const vt_pixelmap *pm) {
    const int want = VT_PMF_LINEAR | VT_PMF_ROW_WHOLEPIXELS;
    const int rb = pm->row_bytes < 0 ? -pm->row_bytes : pm->row_bytes;
    return (pm->flags & want) == want && rb == pm->width * bytesOf(pm);
}

bool contiguous(const vt_pixelmap *a, const vt_pixelmap *b) {
    return linear(a) && linear(b) && a->row_bytes == b->row_bytes;
}

// Copies h rows of w pixels from (sx, sy) of src to (dx, dy) of dst, the
// whole-width case as one run.
vt_error copyArea(vt_pixelmap *dst, vt_int_32 dx, vt_int_32 dy, vt_pixelmap *src, vt_int_32 sx, vt_int_32 sy,
                  vt_int_32 w, vt_int_32 h) {
    const int b = bytesOf(dst);
    // A source of another pixel size would be read past its rows.
    if (bytesOf(src) != b)
        return VT_E_UNSUPPORTED;
    if (b == 0 || dst->pixels == nullptr || src->pixels == nullptr || w <= 0 || h <= 0)
        return VT_E_OK;
    const bool keyed = src->copy_function & VT_PMCOPY_KEYED_SOURCE;
    if (keyed && ((dst->copy_function & VT_PMCOPY_NO_KEYED_DEST) || src->src_key_low || src->src_key_high))
        return VT_E_UNSUPPORTED;
    const bool whole = contiguous(dst, src) && w == dst->width;
    if (whole) {
        // The run starts at the row lowest in memory.
        const vt_int_32 r = dst->row_bytes <= 0 ? h - 1 : 0;
        vt_uint_8 *d = addressOf(dst, dx, dy + r);
        const vt_uint_8 *s = addressOf(src, sx, sy + r);
        if (keyed)
            vtpix::KeyedRunCopy(d, s, vt_size(w) * vt_size(h), b);
        else
            vtpix::RunCopy(d, s, vt_size(w) * vt_size(h), b);
        return VT_E_OK;
    }
    vt_uint_8 *d = addressOf(dst, dx, dy);
    const vt_uint_8 *s = addressOf(src, sx, sy);
    if (keyed) {
        vtpix::KeyedRectCopy(d, s, vt_size(w), vt_size(h), dst->row_bytes, src->row_bytes, b);
    } else if (dst->row_bytes % 8 == 0) {
        vtpix::RectCopy(d, s, vt_size(w), vt_size(h), dst->row_bytes, src->row_bytes, b);
    } else {
        for (vt_int_32 r = 0; r < h; r++, d += dst->row_bytes, s += src->row_bytes)
            vtpix::RunCopy(d, s, vt_size(w), b);
    }
    return VT_E_OK;
}

void fillArea(vt_pixelmap *pm, vt_int_32 x, vt_int_32 y, vt_int_32 w, vt_int_32 h, vt_uint_32 colour) {
    const int b = bytesOf(pm);
    if (b == 0 || pm->pixels == nullptr || w <= 0 || h <= 0)
        return;
    if (linear(pm) && w == pm->width) {
        const vt_int_32 r = pm->row_bytes <= 0 ? h - 1 : 0;
        vtpix::RunFill(addressOf(pm, x, y + r), vt_size(w) * vt_size(h), b, colour);
    } else if (pm->row_bytes % 8 == 0) {
        vtpix::RectFill(addressOf(pm, x, y), vt_size(w), vt_size(h), pm->row_bytes, b, colour);
    } else {
        vt_uint_8 *d = addressOf(pm, x, y);
        for (vt_int_32 r = 0; r < h; r++, d += pm->row_bytes)
            vtpix::RunFill(d, vt_size(w), b, colour);
    }
}

// ---- Object methods ------------------------------------------------------

void memFree(vt_object *self) { VtResFree(self); }
const char *memIdentifier(vt_object *self) { return reinterpret_cast<vt_pixelmap *>(self)->identifier; }
vt_token memType(vt_object *) { return VTT_DEVICE_PIXELMAP; }
vt_boolean memIsType(vt_object *, vt_token t) { return t == VTT_DEVICE_PIXELMAP || t == VTT_OBJECT; }
vt_device *memDevice(vt_object *) { return nullptr; }
vt_int_32 memSpace(vt_object *self) { return vt_int_32(VtResSizeTotal(self)); }

vt_tv_template_entry memTemplateEntries[] = {
    {0, "IDENTIFIER_CSTR", offsetof(vt_pixelmap, identifier), VT_TVF_QUERY | VT_TVF_QUERY_ALL, VT_TVC_DIRECT, 0, 0},
    {0, "WIDTH_I32", offsetof(vt_pixelmap, width), VT_TVF_QUERY | VT_TVF_QUERY_ALL, VT_TVC_UINT16, 0, 0},
    {0, "HEIGHT_I32", offsetof(vt_pixelmap, height), VT_TVF_QUERY | VT_TVF_QUERY_ALL, VT_TVC_UINT16, 0, 0},
    {0, "PIXEL_TYPE_U8", offsetof(vt_pixelmap, type), VT_TVF_QUERY | VT_TVF_QUERY_ALL, VT_TVC_UINT8, 0, 0},
};

vt_tv_template *memTemplateQuery(vt_object *) {
    if (vtPm.mem_template == nullptr)
        vtPm.mem_template = VtTVTemplateAllocate(vtPm.res, memTemplateEntries,
                                                 int(sizeof memTemplateEntries / sizeof memTemplateEntries[0]));
    return vtPm.mem_template;
}

// What match reads from its pairs.
struct match_tokens {
    vt_token use;
    vt_uint_32 pixel_type;
    vt_int_32 pixel_bits;
    void *renderer;
    vt_int_32 width;
    vt_int_32 height;
};

vt_tv_template_entry matchTemplateEntries[] = {
    {0, "USE_T", offsetof(match_tokens, use), VT_TVF_SET, VT_TVC_DIRECT, 0, 0},
    {0, "PIXEL_TYPE_U8", offsetof(match_tokens, pixel_type), VT_TVF_SET, VT_TVC_DIRECT, 0, 0},
    {0, "PIXEL_BITS_I32", offsetof(match_tokens, pixel_bits), VT_TVF_SET, VT_TVC_DIRECT, 0, 0},
    {0, "RENDERER_O", offsetof(match_tokens, renderer), VT_TVF_SET, VT_TVC_DIRECT, 0, 0},
    {0, "WIDTH_I32", offsetof(match_tokens, width), VT_TVF_SET, VT_TVC_DIRECT, 0, 0},
    {0, "HEIGHT_I32", offsetof(match_tokens, height), VT_TVF_SET, VT_TVC_DIRECT, 0, 0},
};

} // namespace

// ---- Memory operations -----------------------------------------------------

vt_error _M_br_device_pixelmap_mem_allocateSub(vt_dpm *self, vt_dpm **newpm, vt_rectangle *rect) {
    vt_rectangle r;
    if (!PixelmapRectangleClip(&r, rect, self))
        return VT_E_FAIL;
    auto *pm = static_cast<vt_pixelmap *>(VtResAllocate(vtPm.res, sizeof(vt_pixelmap), VT_RES_PIXELMAP));
    if (pm == nullptr)
        return VT_E_NO_MEMORY;
    *pm = *self;
    pm->dispatch = &vtDevicePixelmapMemDispatch;
    pm->base_x = vt_uint_16(self->base_x + r.x);
    pm->base_y = vt_uint_16(self->base_y + r.y);
    pm->width = vt_uint_16(r.w);
    pm->height = vt_uint_16(r.h);
    pm->origin_x = 0;
    pm->origin_y = 0;
    pm->stored = nullptr;
    if (pm->width != self->width)
        pm->flags &= vt_uint_8(~VT_PMF_LINEAR);
    *newpm = pm;
    return VT_E_OK;
}

vt_error _M_br_device_pixelmap_mem_resize(vt_dpm *self, vt_int_32 width, vt_int_32 height) {
    if (self->type >= VT_PMT_MAX || width < 1 || height < 1 || width > 0xffff || height > 0xffff)
        return VT_E_FAIL;
    const vt_pixelmap_type_info &ti = vtPixelmapTypes[self->type];
    const int64_t rb = int64_t((width + ti.align - 1) / ti.align) * ti.align * ti.bits / 8;
    if (rb > INT16_MAX || rb * height > int64_t(VtResSizeLimit))
        return VT_E_FAIL;
    const bool inverted = self->row_bytes < 0;
    if (self->pixels) {
        vt_uint_8 *block = static_cast<vt_uint_8 *>(self->pixels);
        if (inverted && self->height > 0)
            block += ptrdiff_t(self->height - 1) * self->row_bytes;
        if (VtResIsChild(self, block))
            VtResFree(block);
    }
    void *pixels = VtResAllocate(self, vt_size(rb * height), VT_RES_PIXELS);
    self->pixels = pixels;
    self->width = vt_uint_16(width);
    self->height = vt_uint_16(height);
    self->row_bytes = vt_int_16(rb);
    // The new block holds exactly this pixelmap.
    self->base_x = self->base_y = 0;
    self->pixels_qualifier = vtpix::DataSelector();
    if (pixels == nullptr)
        return VT_E_NO_MEMORY;
    if (inverted) {
        self->pixels = static_cast<vt_uint_8 *>(pixels) + ptrdiff_t(height - 1) * rb;
        self->row_bytes = vt_int_16(-rb);
    }
    return VT_E_OK;
}

vt_error _M_br_device_pixelmap_mem_match(vt_dpm *self, vt_dpm **newpm, vt_token_value *tv) {
    if (vtPm.match_template == nullptr)
        vtPm.match_template = VtTVTemplateAllocate(
            vtPm.res, matchTemplateEntries, int(sizeof matchTemplateEntries / sizeof matchTemplateEntries[0]));
    if (vtPm.match_template == nullptr)
        return VT_E_NO_MEMORY;
    match_tokens mt = {VTT_NONE, self->type, 0, nullptr, self->width, self->height};
    vt_int_32 count = 0;
    VtTokenValueSetMany(&mt, &count, nullptr, tv, vtPm.match_template);

    vt_pixelmap *pm = nullptr;
    switch (mt.use) {
    case VTT_OFFSCREEN:
    case VTT_HIDDEN:
    case VTT_CLONE:
    case VTT_HIDDEN_BUFFER:
    case VTT_NO_RENDER:
        if (mt.pixel_type >= VT_PMT_MAX)
            return VT_E_FAIL;
        pm = VtPixelmapAllocate(vt_uint_8(mt.pixel_type), mt.width, mt.height, nullptr,
                                self->row_bytes < 0 ? VT_PMAF_INVERTED : 0);
        if (pm == nullptr)
            return VT_E_FAIL;
        break;
    case VTT_DEPTH: {
        vt_uint_8 type;
        if (mt.pixel_bits == 0 || mt.pixel_bits == 8)
            type = VT_PMT_DEPTH_8;
        else if (mt.pixel_bits == 16)
            type = VT_PMT_DEPTH_16;
        else if (mt.pixel_bits == 32)
            type = VT_PMT_DEPTH_32;
        else
            return VT_E_FAIL;
        // The depth rows hold as many pixels as self's rows; a type under
        // 8 bits has no whole bytes per pixel to count them by.
        const int sb = bytesOf(self);
        if (sb == 0)
            return VT_E_FAIL;
        const int db = VtPixelmapTypeBytes(type);
        const int64_t selfRow = self->row_bytes < 0 ? -int64_t(self->row_bytes) : self->row_bytes;
        int64_t rowPixels = (selfRow + sb - 1) / sb;
        // A requested width beyond self's rows still gets whole rows.
        if (rowPixels < mt.width)
            rowPixels = mt.width;
        const int64_t rb = db * rowPixels;
        if (mt.width < 1 || mt.height < 1 || mt.width > 0xffff || mt.height > 0xffff || rb > INT16_MAX ||
            rb * mt.height > int64_t(VtResSizeLimit))
            return VT_E_FAIL;
        pm = VtPixelmapAllocate(type, mt.width, mt.height, nullptr, VT_PMAF_NO_PIXELS);
        if (pm == nullptr)
            return VT_E_FAIL;
        pm->row_bytes = vt_int_16(rb);
        pm->pixels = VtResAllocate(pm, vt_size(rb * mt.height), VT_RES_PIXELS);
        if (pm->pixels == nullptr) {
            VtResFree(pm);
            return VT_E_NO_MEMORY;
        }
        pm->flags = rb == int64_t(db) * mt.width ? VT_PMF_LINEAR : 0;
        if ((rb * 8) % vtPixelmapTypes[type].bits == 0)
            pm->flags |= VT_PMF_ROW_WHOLEPIXELS;
        if (self->row_bytes < 0) {
            pm->pixels = static_cast<vt_uint_8 *>(pm->pixels) + ptrdiff_t(mt.height - 1) * rb;
            pm->row_bytes = vt_int_16(-rb);
        }
        pm->origin_x = self->origin_x;
        pm->origin_y = self->origin_y;
        break;
    }
    default:
        return VT_E_FAIL;
    }
    *newpm = pm;
    return VT_E_OK;
}

vt_error _M_br_device_pixelmap_mem_copyTo(vt_dpm *self, vt_dpm *src) {
    if (src->width != self->width || src->height != self->height)
        return _M_br_device_pixelmap_gen_copyTo(self, src);
    return copyArea(self, 0, 0, src, 0, 0, self->width, self->height);
}

vt_error _M_br_device_pixelmap_mem_copyFrom(vt_dpm *self, vt_dpm *dest) {
    if (dest->width != self->width || dest->height != self->height)
        return _M_br_device_pixelmap_gen_copyFrom(self, dest);
    return copyArea(dest, 0, 0, self, 0, 0, self->width, self->height);
}

vt_error _M_br_device_pixelmap_mem_fill(vt_dpm *self, vt_uint_32 colour) {
    if (self->width && self->height)
        fillArea(self, 0, 0, self->width, self->height, colour);
    return VT_E_OK;
}

vt_error _M_br_device_pixelmap_mem_rectangleCopyTo(vt_dpm *self, vt_point *p, vt_dpm *src, vt_rectangle *r) {
    vt_rectangle sr;
    vt_point dp;
    if (!PixelmapRectangleClipTwo(&sr, &dp, r, p, self, src))
        return VT_E_OK;
    return copyArea(self, dp.x, dp.y, src, sr.x, sr.y, sr.w, sr.h);
}

vt_error _M_br_device_pixelmap_mem_rectangleCopyFrom(vt_dpm *self, vt_point *p, vt_dpm *dest, vt_rectangle *r) {
    vt_rectangle sr;
    vt_point dp;
    if (!PixelmapRectangleClipTwo(&sr, &dp, r, p, dest, self))
        return VT_E_OK;
    return copyArea(dest, dp.x, dp.y, self, sr.x, sr.y, sr.w, sr.h);
}

vt_error _M_br_device_pixelmap_mem_rectangleStretchCopyTo(vt_dpm *, vt_rectangle *, vt_dpm *, vt_rectangle *) {
    return VT_E_UNSUPPORTED;
}

vt_error _M_br_device_pixelmap_mem_rectangleStretchCopyFrom(vt_dpm *, vt_rectangle *, vt_dpm *, vt_rectangle *) {
    return VT_E_UNSUPPORTED;
}

vt_error _M_br_device_pixelmap_mem_rectangleFill(vt_dpm *self, vt_rectangle *rect, vt_uint_32 colour) {
    vt_rectangle r;
    if (PixelmapRectangleClip(&r, rect, self))
        fillArea(self, r.x, r.y, r.w, r.h, colour);
    return VT_E_OK;
}

vt_error _M_br_device_pixelmap_mem_pixelSet(vt_dpm *self, vt_point *p, vt_uint_32 colour) {
    vt_point q;
    if (!PixelmapPointClip(&q, p, self) || self->pixels == nullptr)
        return VT_E_OK;
    vtpix::PixelStore(addressOf(self, q.x, q.y), bytesOf(self), colour);
    return VT_E_OK;
}

vt_error _M_br_device_pixelmap_mem_pixelQuery(vt_dpm *self, vt_uint_32 *pcolour, vt_point *p) {
    vt_point q;
    if (!PixelmapPointClip(&q, p, self))
        return VT_E_FAIL;
    *pcolour = self->pixels ? vtpix::PixelLoad(addressOf(self, q.x, q.y), bytesOf(self)) : 0;
    return VT_E_OK;
}

vt_error _M_br_device_pixelmap_mem_pixelAddressQuery(vt_dpm *self, void **pptr, vt_uint_32 *pqual, vt_point *p) {
    vt_point q;
    if (!PixelmapPointClip(&q, p, self))
        return VT_E_FAIL;
    if (pptr)
        *pptr = addressOf(self, q.x, q.y);
    if (pqual)
        *pqual = self->pixels_qualifier;
    return VT_E_OK;
}

vt_error _M_br_device_pixelmap_mem_pixelAddressSet(vt_dpm *self, void *ptr, vt_int_32 *row_bytes) {
    if (ptr)
        self->pixels = ptr;
    if (row_bytes)
        self->row_bytes = vt_int_16(*row_bytes);
    return VT_E_OK;
}

vt_error _M_br_device_pixelmap_mem_originSet(vt_dpm *self, vt_point *p) {
    self->origin_x = vt_int_16(p->x);
    self->origin_y = vt_int_16(p->y);
    return VT_E_OK;
}

vt_error _M_br_device_pixelmap_mem_line(vt_dpm *self, vt_point *s, vt_point *e, vt_uint_32 colour) {
    vt_point a, b;
    if (!PixelmapLineClip(&a, &b, s, e, self))
        return VT_E_OK;
    const int bpp = bytesOf(self);
    if (bpp == 0 || self->pixels == nullptr)
        return VT_E_OK;
    vt_uint_8 *origin = addressOf(self, 0, 0);
    const ptrdiff_t rb = self->row_bytes;
    switch (bpp) {
    case 1:
        PixelmapLineSteps(a.x, a.y, b.x, b.y, [&](vt_int_32 x, vt_int_32 y) { origin[y * rb + x] = vt_uint_8(colour); });
        break;
    case 2: {
        const vt_uint_16 c = vt_uint_16(colour);
        PixelmapLineSteps(a.x, a.y, b.x, b.y,
                          [&](vt_int_32 x, vt_int_32 y) { memcpy(origin + y * rb + x * 2, &c, 2); });
        break;
    }
    default:
        PixelmapLineSteps(a.x, a.y, b.x, b.y, [&](vt_int_32 x, vt_int_32 y) {
            vtpix::PixelStore(origin + y * rb + ptrdiff_t(x) * bpp, bpp, colour);
        });
        break;
    }
    return VT_E_OK;
}

vt_error _M_br_device_pixelmap_mem_copyBits(vt_dpm *self, vt_point *point, const vt_uint_8 *src,
                                            vt_uint_16 s_stride, vt_rectangle *bit_rect, vt_uint_32 colour) {
    vt_rectangle r;
    vt_point p;
    if (!PixelmapCopyBitsClip(&r, &p, bit_rect, point, self))
        return VT_E_OK;
    const int b = bytesOf(self);
    if (b == 0 || self->pixels == nullptr)
        return VT_E_OK;
    const int start = r.x % 8;
    const vt_uint_8 *first = src + ptrdiff_t(r.y) * s_stride + r.x / 8;
    // The pixel bit 7 of the first byte stands for; it may lie left of the
    // pixelmap, but only the bits from start on are ever stored.
    vt_uint_8 *d = addressOf(self, p.x, p.y) - ptrdiff_t(start) * b;
    vtpix::BitExpand(d, self->row_bytes, first, s_stride, start, start + r.w, vt_size(r.h), b, colour);
    return VT_E_OK;
}

vt_error _M_br_device_pixelmap_mem_validSource(vt_dpm *, vt_boolean *bp, vt_object *) {
    if (bp)
        *bp = 1;
    return VT_E_OK;
}

vt_error _M_br_device_pixelmap_mem_doubleBuffer(vt_dpm *self, vt_dpm *src) {
    return _M_br_device_pixelmap_gen_doubleBuffer(self, src);
}
vt_error _M_br_device_pixelmap_mem_copyDirty(vt_dpm *self, vt_dpm *src, vt_rectangle *dirty, vt_int_32 n) {
    return _M_br_device_pixelmap_gen_copyDirty(self, src, dirty, n);
}
vt_error _M_br_device_pixelmap_mem_copyToDirty(vt_dpm *self, vt_dpm *src, vt_rectangle *dirty, vt_int_32 n) {
    return _M_br_device_pixelmap_gen_copyToDirty(self, src, dirty, n);
}
vt_error _M_br_device_pixelmap_mem_copyFromDirty(vt_dpm *self, vt_dpm *dest, vt_rectangle *dirty, vt_int_32 n) {
    return _M_br_device_pixelmap_gen_copyFromDirty(self, dest, dirty, n);
}
vt_error _M_br_device_pixelmap_mem_fillDirty(vt_dpm *self, vt_uint_32 colour, vt_rectangle *dirty, vt_int_32 n) {
    return _M_br_device_pixelmap_gen_fillDirty(self, colour, dirty, n);
}
vt_error _M_br_device_pixelmap_mem_doubleBufferDirty(vt_dpm *self, vt_dpm *src, vt_rectangle *dirty, vt_int_32 n) {
    return _M_br_device_pixelmap_gen_doubleBufferDirty(self, src, dirty, n);
}
vt_error _M_br_device_pixelmap_mem_rowSize(vt_dpm *, vt_size *) { return VT_E_OK; }
vt_error _M_br_device_pixelmap_mem_rowQuery(vt_dpm *, void *, vt_size, vt_uint_32) { return VT_E_OK; }
vt_error _M_br_device_pixelmap_mem_rowSet(vt_dpm *, void *, vt_size, vt_uint_32) { return VT_E_OK; }
vt_error _M_br_device_pixelmap_mem_flush(vt_dpm *) { return VT_E_OK; }
vt_error _M_br_device_pixelmap_mem_synchronise(vt_dpm *, vt_token, vt_boolean) { return VT_E_OK; }
vt_error _M_br_device_pixelmap_mem_directLock(vt_dpm *, vt_boolean) { return VT_E_OK; }
vt_error _M_br_device_pixelmap_mem_directUnlock(vt_dpm *) { return VT_E_OK; }

// ---- The table -------------------------------------------------------------

const vt_device_pixelmap_dispatch vtDevicePixelmapMemDispatch = {
    {nullptr, nullptr, nullptr, nullptr, memFree, memIdentifier, memType, memIsType, memDevice, memSpace,
     memTemplateQuery, _M_br_object_query, _M_br_object_queryBuffer, _M_br_object_queryMany,
     _M_br_object_queryManySize, _M_br_object_queryAll, _M_br_object_queryAllSize},
    _M_br_device_pixelmap_mem_validSource,
    _M_br_device_pixelmap_mem_resize,
    _M_br_device_pixelmap_mem_match,
    _M_br_device_pixelmap_mem_allocateSub,
    _M_br_device_pixelmap_mem_copyTo,
    _M_br_device_pixelmap_mem_copyTo,
    _M_br_device_pixelmap_mem_copyFrom,
    _M_br_device_pixelmap_mem_fill,
    _M_br_device_pixelmap_gen_doubleBuffer,
    _M_br_device_pixelmap_gen_copyDirty,
    _M_br_device_pixelmap_gen_copyToDirty,
    _M_br_device_pixelmap_gen_copyFromDirty,
    _M_br_device_pixelmap_gen_fillDirty,
    _M_br_device_pixelmap_gen_doubleBufferDirty,
    _M_br_device_pixelmap_gen_rectangle,
    _M_br_device_pixelmap_gen_rectangle2,
    _M_br_device_pixelmap_mem_rectangleCopyTo,
    _M_br_device_pixelmap_mem_rectangleCopyTo,
    _M_br_device_pixelmap_mem_rectangleCopyFrom,
    _M_br_device_pixelmap_mem_rectangleStretchCopyTo,
    _M_br_device_pixelmap_mem_rectangleStretchCopyTo,
    _M_br_device_pixelmap_mem_rectangleStretchCopyFrom,
    _M_br_device_pixelmap_mem_rectangleFill,
    _M_br_device_pixelmap_mem_pixelSet,
    _M_br_device_pixelmap_mem_line,
    _M_br_device_pixelmap_mem_copyBits,
    _M_br_device_pixelmap_gen_text,
    _M_br_device_pixelmap_gen_textBounds,
    _M_br_device_pixelmap_mem_rowSize,
    _M_br_device_pixelmap_mem_rowQuery,
    _M_br_device_pixelmap_mem_rowSet,
    _M_br_device_pixelmap_mem_pixelQuery,
    _M_br_device_pixelmap_mem_pixelAddressQuery,
    _M_br_device_pixelmap_mem_pixelAddressSet,
    _M_br_device_pixelmap_mem_originSet,
    _M_br_device_pixelmap_mem_flush,
    _M_br_device_pixelmap_mem_synchronise,
    _M_br_device_pixelmap_mem_directLock,
    _M_br_device_pixelmap_mem_directUnlock,
};
