// Lines and points: one pixel wide, the pixel each step along the longer
// axis falls in, with the same depth test, colour (rounded) and blending
// as faces (lines and points are never textured).
#include <cmath>

#include "render/drivers/raster.h"

namespace {

using namespace sr;

// Plots the pixel (x, y) falls in at screen depth z with colour c (or the
// flat colour), when it is on the target and passes the depth test.
void plot(const sr_target &t, const sr_paint &p, vt_float x, vt_float y, vt_float z, const vt_float *c) {
    if (!(x >= 0 && y >= 0 && x < vt_float(t.width) && y < vt_float(t.height)))
        return;
    const int xi = int(x), yi = int(y);
    if (xi < 0 || yi < 0 || xi >= t.width || yi >= t.height)
        return;
    const vt_uint_32 d = vt_uint_32(clampf(z + 32768, 1, 65535));
    vt_uint_16 *zp = t.depth ? reinterpret_cast<vt_uint_16 *>(t.depth + ptrdiff_t(yi) * t.depth_row) + xi : nullptr;
    if (zp && !depthPass(p.depth_test, d, *zp))
        return;
    if (t.type == VT_PMT_RGB_565) {
        auto *cp = reinterpret_cast<vt_uint_16 *>(t.colour + ptrdiff_t(yi) * t.colour_row) + xi;
        vt_uint_32 src = pack565(int(clampf(c[0] + 0.5f, 0, 255)), int(clampf(c[1] + 0.5f, 0, 255)),
                                 int(clampf(c[2] + 0.5f, 0, 255)));
        if (p.blend != SR_BLEND_NONE) {
            if (p.opacity == 0)
                return;
            src = blend565(p.blend, *cp, src, p.opacity);
        }
        *cp = vt_uint_16(src);
    } else {
        t.colour[ptrdiff_t(yi) * t.colour_row + xi] = vt_uint_8(clampf(c[0] + 0.5f, 0, 255));
    }
    if (zp && p.depth_write)
        *zp = vt_uint_16(d);
}

bool finite(const sr_svert &v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

} // namespace

void SrLine(const sr_target &t, const sr_paint &p, const sr_svert *a, const sr_svert *b, const sr_flat &flat) {
    if (!finite(*a) || !finite(*b))
        return;
    const vt_float dx = b->x - a->x, dy = b->y - a->y;
    const vt_float longest = std::fabs(dx) > std::fabs(dy) ? std::fabs(dx) : std::fabs(dy);
    // Clipped ends lie on the target, so this bounds the steps; the clamp
    // guards against ends that were not clipped.
    const int n = int(clampf(std::ceil(longest), 0, vt_float(4 * (t.width + t.height))));
    const bool smooth = p.shade == SR_SHADE_SMOOTH;
    for (int i = 0; i <= n; i++) {
        const vt_float f = n ? vt_float(i) / vt_float(n) : 0;
        vt_float c[3];
        for (int k = 0; k < 3; k++)
            c[k] = smooth ? a->c[k] + (b->c[k] - a->c[k]) * f : flat.c[k];
        plot(t, p, a->x + dx * f, a->y + dy * f, a->z + (b->z - a->z) * f, c);
    }
}

void SrPoint(const sr_target &t, const sr_paint &p, const sr_svert *a, const sr_flat &flat) {
    if (!finite(*a))
        return;
    plot(t, p, a->x, a->y, a->z, p.shade == SR_SHADE_SMOOTH ? a->c : flat.c);
}
