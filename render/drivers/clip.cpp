// Clipping in screen space before the divide: polygons and segments
// against the view volume and the user planes.
#include "render/drivers/srstate.h"

namespace {

vt_float distance(const vt_vector4 &p, const sr_cvert &v) {
    return p.v[0] * v.x + p.v[1] * v.y + p.v[2] * v.z + p.v[3] * v.w;
}

// The point at t from a to b, every attribute alike.
sr_cvert lerp(const sr_cvert &a, const sr_cvert &b, vt_float t) {
    constexpr int kFloats = sizeof(sr_cvert) / sizeof(vt_float);
    static_assert(sizeof(sr_cvert) == kFloats * sizeof(vt_float), "a clip vertex is all floats");
    const auto *pa = reinterpret_cast<const vt_float *>(&a);
    const auto *pb = reinterpret_cast<const vt_float *>(&b);
    sr_cvert r;
    auto *pr = reinterpret_cast<vt_float *>(&r);
    for (int i = 0; i < kFloats; i++)
        pr[i] = pa[i] + (pb[i] - pa[i]) * t;
    return r;
}

// Where an edge leaves the inside. Measured from its inside end, so the
// two faces sharing the edge cut it at the very same point.
sr_cvert crossing(const sr_cvert &in, vt_float din, const sr_cvert &out, vt_float dout) {
    return lerp(in, out, din / (din - dout));
}

} // namespace

int SrClipPolygon(sr_cvert *out, const sr_cvert *in, int n, const vt_vector4 *planes, vt_uint_32 mask) {
    sr_cvert buffer[2][SR_MAX_POLY];
    const sr_cvert *src = in;
    int which = 0;
    for (int i = 0; mask && i < SR_PLANES; i++, mask >>= 1) {
        if (!(mask & 1))
            continue;
        sr_cvert *dst = (mask >> 1) ? buffer[which] : out;
        int m = 0;
        for (int k = 0; k < n; k++) {
            const sr_cvert &a = src[k];
            const sr_cvert &b = src[k + 1 == n ? 0 : k + 1];
            const vt_float da = distance(planes[i], a), db = distance(planes[i], b);
            const bool ina = da >= 0, inb = db >= 0;
            if (ina)
                dst[m++] = a;
            if (ina != inb && m < SR_MAX_POLY)
                dst[m++] = ina ? crossing(a, da, b, db) : crossing(b, db, a, da);
            if (m >= SR_MAX_POLY)
                break;
        }
        n = m;
        if (n < 3)
            return 0;
        src = dst;
        which ^= 1;
    }
    if (src != out)
        for (int k = 0; k < n; k++)
            out[k] = src[k];
    return n;
}

bool SrClipLine(sr_cvert *a, sr_cvert *b, const vt_vector4 *planes, vt_uint_32 mask) {
    for (int i = 0; mask && i < SR_PLANES; i++, mask >>= 1) {
        if (!(mask & 1))
            continue;
        const vt_float da = distance(planes[i], *a), db = distance(planes[i], *b);
        const bool ina = da >= 0, inb = db >= 0;
        if (!ina && !inb)
            return false;
        if (ina && !inb)
            *b = crossing(*a, da, *b, db);
        else if (!ina && inb)
            *a = crossing(*b, db, *a, da);
    }
    return true;
}
