// Generic pixelmap operations: the composite operations in terms of the
// primitive ones of the pixelmap's own table, shared with driver pixelmaps.
#include <cstring>

#include "render/pmap/pixelmap.h"

namespace {

const vt_device_pixelmap_dispatch *ops(vt_pixelmap *pm) { return pm->dispatch; }

vt_rectangle wholeOf(const vt_pixelmap *pm) {
    return {-vt_int_32(pm->origin_x), -vt_int_32(pm->origin_y), pm->width, pm->height};
}

vt_point firstPixelOf(const vt_pixelmap *pm) { return {-vt_int_32(pm->origin_x), -vt_int_32(pm->origin_y)}; }

typedef vt_error rect_copy_fn(vt_dpm *, vt_point *, vt_dpm *, vt_rectangle *);

vt_error dirtyCopies(vt_dpm *self, vt_dpm *other, vt_rectangle *dirty, vt_int_32 n,
                     rect_copy_fn *vt_device_pixelmap_dispatch::*slot) {
    for (vt_int_32 i = 0; i < n; i++) {
        vt_point p = {dirty[i].x, dirty[i].y};
        if (vt_error r = (ops(self)->*slot)(self, &p, other, &dirty[i]))
            return r;
    }
    return VT_E_OK;
}

bool sameSize(const vt_pixelmap *a, const vt_pixelmap *b) { return a->width == b->width && a->height == b->height; }

// Width of one character in pixels.
vt_int_32 charWidth(const vt_font *font, vt_uint_8 c) {
    return (font->flags & VT_FONTF_PROPORTIONAL) && font->width ? font->width[c] : font->glyph_x;
}

} // namespace

vt_error _M_br_device_pixelmap_gen_copy(vt_dpm *self, vt_dpm *src) {
    vt_rectangle r = wholeOf(src);
    vt_point p = firstPixelOf(self);
    return ops(self)->rectangleCopy(self, &p, src, &r);
}

vt_error _M_br_device_pixelmap_gen_copyTo(vt_dpm *self, vt_dpm *src) {
    vt_rectangle r = wholeOf(src);
    vt_point p = firstPixelOf(self);
    return ops(self)->rectangleCopyTo(self, &p, src, &r);
}

vt_error _M_br_device_pixelmap_gen_copyFrom(vt_dpm *self, vt_dpm *dest) {
    // self is the source here.
    vt_rectangle r = wholeOf(self);
    vt_point p = firstPixelOf(dest);
    return ops(self)->rectangleCopyFrom(self, &p, dest, &r);
}

vt_error _M_br_device_pixelmap_gen_fill(vt_dpm *self, vt_uint_32 colour) {
    vt_rectangle r = wholeOf(self);
    return ops(self)->rectangleFill(self, &r, colour);
}

vt_error _M_br_device_pixelmap_gen_doubleBuffer(vt_dpm *self, vt_dpm *src) {
    if (sameSize(self, src))
        return VtPixelmapCopy(self, src);
    vt_rectangle s = wholeOf(src), d = wholeOf(self);
    return VtPixelmapRectangleStretchCopy(self, d.x, d.y, d.w, d.h, src, s.x, s.y, s.w, s.h);
}

vt_error _M_br_device_pixelmap_gen_copyDirty(vt_dpm *self, vt_dpm *src, vt_rectangle *dirty, vt_int_32 n) {
    if (!sameSize(self, src))
        return ops(self)->copy(self, src);
    return dirtyCopies(self, src, dirty, n, &vt_device_pixelmap_dispatch::rectangleCopy);
}

vt_error _M_br_device_pixelmap_gen_copyToDirty(vt_dpm *self, vt_dpm *src, vt_rectangle *dirty, vt_int_32 n) {
    if (!sameSize(self, src))
        return ops(self)->copyTo(self, src);
    return dirtyCopies(self, src, dirty, n, &vt_device_pixelmap_dispatch::rectangleCopyTo);
}

vt_error _M_br_device_pixelmap_gen_copyFromDirty(vt_dpm *self, vt_dpm *dest, vt_rectangle *dirty, vt_int_32 n) {
    if (!sameSize(self, dest))
        return ops(self)->copyFrom(self, dest);
    return dirtyCopies(self, dest, dirty, n, &vt_device_pixelmap_dispatch::rectangleCopyFrom);
}

vt_error _M_br_device_pixelmap_gen_doubleBufferDirty(vt_dpm *self, vt_dpm *src, vt_rectangle *dirty, vt_int_32 n) {
    if (!sameSize(self, src))
        return ops(self)->doubleBuffer(self, src);
    return dirtyCopies(self, src, dirty, n, &vt_device_pixelmap_dispatch::rectangleCopy);
}

vt_error _M_br_device_pixelmap_gen_fillDirty(vt_dpm *self, vt_uint_32 colour, vt_rectangle *dirty, vt_int_32 n) {
    for (vt_int_32 i = 0; i < n; i++)
        if (vt_error r = ops(self)->rectangleFill(self, &dirty[i], colour))
            return r;
    return VT_E_OK;
}

vt_error _M_br_device_pixelmap_gen_rectangle(vt_dpm *self, vt_rectangle *rect, vt_uint_32 colour) {
    const vt_int_32 x0 = rect->x, y0 = rect->y;
    const vt_int_32 x1 = vt_int_32(int64_t(rect->x) + rect->w - 1), y1 = vt_int_32(int64_t(rect->y) + rect->h - 1);
    vt_point tl = {x0, y0}, tr = {x1, y0}, bl = {x0, y1}, br = {x1, y1};
    ops(self)->line(self, &tl, &tr, colour);
    ops(self)->line(self, &tl, &bl, colour);
    ops(self)->line(self, &bl, &br, colour);
    ops(self)->line(self, &tr, &br, colour);
    return VT_E_OK;
}

vt_error _M_br_device_pixelmap_gen_rectangle2(vt_dpm *self, vt_rectangle *rect, vt_uint_32 colour_tl,
                                              vt_uint_32 colour_br) {
    const vt_int_32 x0 = rect->x, y0 = rect->y;
    const vt_int_32 x1 = vt_int_32(int64_t(rect->x) + rect->w - 1), y1 = vt_int_32(int64_t(rect->y) + rect->h - 1);
    vt_point tl = {x0, y0}, tr = {x1, y0}, bl = {x0, y1}, br = {x1, y1};
    if (vt_error r = ops(self)->line(self, &tl, &tr, colour_tl))
        return r;
    if (vt_error r = ops(self)->line(self, &tl, &bl, colour_tl))
        return r;
    if (vt_error r = ops(self)->line(self, &bl, &br, colour_br))
        return r;
    return ops(self)->line(self, &tr, &br, colour_br);
}

vt_error _M_br_device_pixelmap_gen_line(vt_dpm *self, vt_point *s, vt_point *e, vt_uint_32 colour) {
    vt_point a, b;
    if (!PixelmapLineClip(&a, &b, s, e, self))
        return VT_E_OK;
    // pixelSet takes origin-relative points.
    const vt_int_32 ox = self->origin_x, oy = self->origin_y;
    PixelmapLineSteps(a.x, a.y, b.x, b.y, [&](vt_int_32 x, vt_int_32 y) {
        vt_point p = {x - ox, y - oy};
        ops(self)->pixelSet(self, &p, colour);
    });
    return VT_E_OK;
}

vt_error _M_br_device_pixelmap_gen_copyBits(vt_dpm *self, vt_point *point, const vt_uint_8 *src,
                                            vt_uint_16 s_stride, vt_rectangle *bit_rect, vt_uint_32 colour) {
    if (bit_rect->x < 0 || bit_rect->y < 0 || bit_rect->w <= 0 || bit_rect->h <= 0)
        return VT_E_OK;
    const int64_t bEnd = int64_t(bit_rect->x) + bit_rect->w, rEnd = int64_t(bit_rect->y) + bit_rect->h;
    for (int64_t r = bit_rect->y; r < rEnd; r++) {
        const vt_uint_8 *row = src + r * s_stride;
        for (int64_t b = bit_rect->x; b < bEnd; b++) {
            if (!(row[b / 8] & (0x80 >> (b % 8))))
                continue;
            const int64_t x = int64_t(point->x) + b, y = int64_t(point->y) + r;
            if (x < INT32_MIN || x > INT32_MAX || y < INT32_MIN || y > INT32_MAX)
                continue;
            vt_point p = {vt_int_32(x), vt_int_32(y)};
            ops(self)->pixelSet(self, &p, colour);
        }
    }
    return VT_E_OK;
}

vt_error _M_br_device_pixelmap_gen_text(vt_dpm *self, vt_point *point, vt_font *font, const char *text,
                                        vt_uint_32 colour) {
    if (font == nullptr)
        font = VtFontProp7x9;
    if (text == nullptr)
        return VT_E_OK;
    int64_t x = int64_t(point->x) + self->origin_x;
    const int64_t y = int64_t(point->y) + self->origin_y;
    if (y + font->glyph_y <= 0 || y >= self->height || x >= self->width)
        return VT_E_OK;
    vt_point p = {point->x, point->y};
    for (; *text; text++) {
        const vt_uint_8 c = vt_uint_8(*text);
        const vt_int_32 w = charWidth(font, c);
        if (x + w > 0 && w > 0) {
            vt_rectangle r = {0, 0, w, font->glyph_y};
            ops(self)->copyBits(self, &p, font->glyphs + font->encoding[c], vt_uint_16((w + 7) / 8), &r, colour);
        }
        x += w + 1;
        p.x = vt_int_32(x - self->origin_x);
        if (x >= self->width)
            break;
    }
    return VT_E_OK;
}

vt_error _M_br_device_pixelmap_gen_textBounds(vt_dpm *self, vt_rectangle *rect, vt_font *font, const char *text) {
    if (font == nullptr)
        font = VtFontProp7x9;
    rect->x = 0;
    rect->y = 0;
    rect->w = VtPixelmapTextWidth(self, font, text);
    rect->h = font->glyph_y;
    return VT_E_OK;
}

vt_error _M_br_device_pixelmap_gen_directLock(vt_dpm *, vt_boolean) { return VT_E_OK; }
vt_error _M_br_device_pixelmap_gen_directUnlock(vt_dpm *) { return VT_E_OK; }
vt_error _M_br_device_pixelmap_gen_flush(vt_dpm *) { return VT_E_OK; }
vt_error _M_br_device_pixelmap_gen_synchronise(vt_dpm *, vt_token, vt_boolean) { return VT_E_OK; }

// ---- Null operations -------------------------------------------------------

vt_error _M_br_device_pixelmap_null_resize(vt_dpm *, vt_int_32, vt_int_32) { return VT_E_UNSUPPORTED; }
vt_error _M_br_device_pixelmap_null_copyTo(vt_dpm *, vt_dpm *) { return VT_E_UNSUPPORTED; }
vt_error _M_br_device_pixelmap_null_copyFrom(vt_dpm *, vt_dpm *) { return VT_E_UNSUPPORTED; }
vt_error _M_br_device_pixelmap_null_fill(vt_dpm *, vt_uint_32) { return VT_E_UNSUPPORTED; }
vt_error _M_br_device_pixelmap_null_doubleBuffer(vt_dpm *, vt_dpm *) { return VT_E_UNSUPPORTED; }
vt_error _M_br_device_pixelmap_null_copyDirty(vt_dpm *, vt_dpm *, vt_rectangle *, vt_int_32) {
    return VT_E_UNSUPPORTED;
}
vt_error _M_br_device_pixelmap_null_copyToDirty(vt_dpm *, vt_dpm *, vt_rectangle *, vt_int_32) {
    return VT_E_UNSUPPORTED;
}
vt_error _M_br_device_pixelmap_null_copyFromDirty(vt_dpm *, vt_dpm *, vt_rectangle *, vt_int_32) {
    return VT_E_UNSUPPORTED;
}
vt_error _M_br_device_pixelmap_null_fillDirty(vt_dpm *, vt_uint_32, vt_rectangle *, vt_int_32) {
    return VT_E_UNSUPPORTED;
}
vt_error _M_br_device_pixelmap_null_doubleBufferDirty(vt_dpm *, vt_dpm *, vt_rectangle *, vt_int_32) {
    return VT_E_UNSUPPORTED;
}
vt_error _M_br_device_pixelmap_null_rectangleCopyTo(vt_dpm *, vt_point *, vt_dpm *, vt_rectangle *) {
    return VT_E_UNSUPPORTED;
}
vt_error _M_br_device_pixelmap_null_rectangleCopyFrom(vt_dpm *, vt_point *, vt_dpm *, vt_rectangle *) {
    return VT_E_UNSUPPORTED;
}
vt_error _M_br_device_pixelmap_null_rectangleStretchCopyTo(vt_dpm *, vt_rectangle *, vt_dpm *, vt_rectangle *) {
    return VT_E_UNSUPPORTED;
}
vt_error _M_br_device_pixelmap_null_rectangleStretchCopyFrom(vt_dpm *, vt_rectangle *, vt_dpm *, vt_rectangle *) {
    return VT_E_UNSUPPORTED;
}
vt_error _M_br_device_pixelmap_null_rectangleFill(vt_dpm *, vt_rectangle *, vt_uint_32) { return VT_E_UNSUPPORTED; }
vt_error _M_br_device_pixelmap_null_pixelSet(vt_dpm *, vt_point *, vt_uint_32) { return VT_E_UNSUPPORTED; }
vt_error _M_br_device_pixelmap_null_copyBits(vt_dpm *, vt_point *, const vt_uint_8 *, vt_uint_16, vt_rectangle *,
                                             vt_uint_32) {
    return VT_E_UNSUPPORTED;
}
vt_error _M_br_device_pixelmap_null_pixelQuery(vt_dpm *, vt_uint_32 *, vt_point *) { return VT_E_UNSUPPORTED; }
vt_error _M_br_device_pixelmap_null_pixelAddressQuery(vt_dpm *, void **, vt_uint_32 *, vt_point *) {
    return VT_E_UNSUPPORTED;
}
vt_error _M_br_device_pixelmap_null_pixelAddressSet(vt_dpm *, void *, vt_int_32 *) { return VT_E_UNSUPPORTED; }
