// Clipping against a pixelmap. Inputs are relative to the origin; outputs
// are pixel coordinates of the pixelmap. Arithmetic is done wide so that
// hostile coordinates cannot wrap into the visible area.
#include "render/pmap/pixelmap.h"

namespace {
typedef int64_t wide;

// a * b / c, truncated, without overflow for any 33-bit operands.
wide mulDiv(wide a, wide b, wide c) { return wide(__int128(a) * b / c); }
} // namespace

int PixelmapPointClip(vt_point *out, const vt_point *in, const vt_pixelmap *pm) {
    const wide x = wide(pm->origin_x) + in->x, y = wide(pm->origin_y) + in->y;
    if (x < 0 || y < 0 || x >= pm->width || y >= pm->height)
        return 0;
    out->x = vt_int_32(x);
    out->y = vt_int_32(y);
    return 2;
}

int PixelmapRectangleClip(vt_rectangle *out, const vt_rectangle *in, const vt_pixelmap *pm) {
    wide x = wide(in->x) + pm->origin_x, y = wide(in->y) + pm->origin_y, w = in->w, h = in->h;
    if (x >= pm->width || y >= pm->height || x + w <= 0 || y + h <= 0)
        return 0;
    if (x < 0) {
        w += x;
        x = 0;
    }
    if (y < 0) {
        h += y;
        y = 0;
    }
    if (x + w > pm->width)
        w = pm->width - x;
    if (y + h > pm->height)
        h = pm->height - y;
    if (w <= 0 || h <= 0)
        return 0;
    *out = {vt_int_32(x), vt_int_32(y), vt_int_32(w), vt_int_32(h)};
    return 1;
}

int PixelmapRectangleClipTwo(vt_rectangle *r_out, vt_point *p_out, const vt_rectangle *r_in, const vt_point *p_in,
                             const vt_pixelmap *pm_dst, const vt_pixelmap *pm_src) {
    wide sx = wide(r_in->x) + pm_src->origin_x, sy = wide(r_in->y) + pm_src->origin_y;
    wide w = r_in->w, h = r_in->h;
    wide dx = wide(p_in->x) + pm_dst->origin_x, dy = wide(p_in->y) + pm_dst->origin_y;
    // A destination point left of or above the destination is clipped
    // below; one right of or below it shows nothing.
    if (dx >= pm_dst->width || dy >= pm_dst->height)
        return 0;
    if (sx >= pm_src->width || sy >= pm_src->height || sx + w <= 0 || sy + h <= 0)
        return 0;
    if (dx < 0) {
        sx -= dx;
        w += dx;
        dx = 0;
    }
    if (dy < 0) {
        sy -= dy;
        h += dy;
        dy = 0;
    }
    if (dx + w > pm_dst->width)
        w = pm_dst->width - dx;
    if (dy + h > pm_dst->height)
        h = pm_dst->height - dy;
    if (sx < 0) {
        dx -= sx;
        w += sx;
        sx = 0;
    }
    if (sy < 0) {
        dy -= sy;
        h += sy;
        sy = 0;
    }
    if (sx + w > pm_src->width)
        w = pm_src->width - sx;
    if (sy + h > pm_src->height)
        h = pm_src->height - sy;
    if (w <= 0 || h <= 0)
        return 0;
    *r_out = {vt_int_32(sx), vt_int_32(sy), vt_int_32(w), vt_int_32(h)};
    *p_out = {vt_int_32(dx), vt_int_32(dy)};
    return 1;
}

int PixelmapRectanglesClipTwo(vt_rectangle *r_out, vt_point *p_out, const vt_rectangle *r_in, vt_int_32 n,
                              const vt_pixelmap *pm_dst, const vt_pixelmap *pm_src) {
    int kept = 0;
    for (vt_int_32 i = 0; i < n; i++) {
        const vt_point p = {r_in[i].x, r_in[i].y};
        if (PixelmapRectangleClipTwo(&r_out[kept], &p_out[kept], &r_in[i], &p, pm_dst, pm_src))
            kept++;
    }
    return kept;
}

int PixelmapLineClip(vt_point *s_out, vt_point *e_out, const vt_point *s_in, const vt_point *e_in,
                     const vt_pixelmap *pm) {
    wide x0 = wide(s_in->x) + pm->origin_x, y0 = wide(s_in->y) + pm->origin_y;
    wide x1 = wide(e_in->x) + pm->origin_x, y1 = wide(e_in->y) + pm->origin_y;
    const wide xmax = wide(pm->width) - 1, ymax = wide(pm->height) - 1;
    if (xmax < 0 || ymax < 0)
        return 0;
    if (x0 > x1) {
        wide t = x0;
        x0 = x1, x1 = t;
        t = y0, y0 = y1, y1 = t;
    }
    if (x1 < 0 || x0 > xmax)
        return 0;
    if ((y0 < 0 && y1 < 0) || (y0 > ymax && y1 > ymax))
        return 0;
    if (x0 < 0) {
        y0 += mulDiv(y1 - y0, 0 - x0, x1 - x0);
        x0 = 0;
    }
    if (x1 > xmax) {
        y1 = y0 + mulDiv(y1 - y0, xmax - x0, x1 - x0);
        x1 = xmax;
    }
    if ((y0 < 0 && y1 < 0) || (y0 > ymax && y1 > ymax))
        return 0;
    // Now each y end that lies outside moves onto the edge it violates.
    if (y0 < 0) {
        x0 += mulDiv(x1 - x0, 0 - y0, y1 - y0);
        y0 = 0;
    } else if (y0 > ymax) {
        x0 += mulDiv(x1 - x0, ymax - y0, y1 - y0);
        y0 = ymax;
    }
    if (y1 < 0) {
        x1 = x0 + mulDiv(x1 - x0, 0 - y0, y1 - y0);
        y1 = 0;
    } else if (y1 > ymax) {
        x1 = x0 + mulDiv(x1 - x0, ymax - y0, y1 - y0);
        y1 = ymax;
    }
    if (x0 < 0 || x0 > xmax || x1 < 0 || x1 > xmax)
        return 0;
    *s_out = {vt_int_32(x0), vt_int_32(y0)};
    *e_out = {vt_int_32(x1), vt_int_32(y1)};
    return 1;
}

int PixelmapCopyBitsClip(vt_rectangle *r_out, vt_point *p_out, const vt_rectangle *r_in, const vt_point *p_in,
                         const vt_pixelmap *pm) {
    wide px = wide(p_in->x) + pm->origin_x, py = wide(p_in->y) + pm->origin_y;
    wide bx = r_in->x, by = r_in->y, w = r_in->w, h = r_in->h;
    // Bits and rows before the image's first have nothing to draw.
    if (bx < 0) {
        px -= bx;
        w += bx;
        bx = 0;
    }
    if (by < 0) {
        py -= by;
        h += by;
        by = 0;
    }
    if (px >= pm->width || py >= pm->height)
        return 0;
    if (px < 0) {
        bx -= px;
        w += px;
        px = 0;
    }
    if (py < 0) {
        by -= py;
        h += py;
        py = 0;
    }
    if (px + w > pm->width)
        w = pm->width - px;
    if (py + h > pm->height)
        h = pm->height - py;
    if (w <= 0 || h <= 0 || bx > INT32_MAX || by > INT32_MAX)
        return 0;
    *r_out = {vt_int_32(bx), vt_int_32(by), vt_int_32(w), vt_int_32(h)};
    *p_out = {vt_int_32(px), vt_int_32(py)};
    return 1;
}
