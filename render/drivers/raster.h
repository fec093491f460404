// Pixel arithmetic shared by the triangle, line and point drawing: depth
// tests, RGB565 packing and blending, texel addressing and the clamped
// conversions from float that keep every index in range.
#pragma once

#include <cmath>

#include "render/drivers/srstate.h"

namespace sr {

// How a primitive meets the depth buffer.
enum : int { Z_NONE, Z_LE, Z_ANY };

inline int zModeOf(const sr_target &t, const sr_paint &p) {
    if (t.depth == nullptr)
        return Z_NONE;
    if (p.depth_test == VTT_LESS_OR_EQUAL && p.depth_write)
        return Z_LE;
    return Z_ANY;
}

inline bool depthPass(vt_token test, vt_uint_32 d, vt_uint_32 stored) {
    switch (test) {
    case VTT_GREATER:
        return d > stored;
    case VTT_GREATER_OR_EQUAL:
        return d >= stored;
    case VTT_EQUAL:
        return d == stored;
    case VTT_NOT_EQUAL:
        return d != stored;
    case VTT_LESS:
        return d < stored;
    case VTT_NEVER:
        return false;
    case VTT_ALWAYS:
        return true;
    default:
        return d <= stored;
    }
}

// A float within [lo, hi] (NaN: lo).
inline vt_float clampf(vt_float v, vt_float lo, vt_float hi) { return v >= lo ? (v <= hi ? v : hi) : lo; }

// The whole number at or above v, within [lo, hi].
inline int ceilIn(vt_float v, int lo, int hi) {
    if (!(v > vt_float(lo)))
        return lo;
    if (!(v < vt_float(hi)))
        return hi;
    return int(std::ceil(v));
}

// Channels 0..255 as RGB565, rounded.
inline vt_uint_32 pack565(int r, int g, int b) {
    return vt_uint_32((r * 31 + 127) / 255 << 11 | (g * 63 + 127) / 255 << 5 | (b * 31 + 127) / 255);
}

// Source s over destination d with alpha a (1..256).
inline vt_uint_32 blend565(int mode, vt_uint_32 d, vt_uint_32 s, int a) {
    int dr = int(d >> 11), dg = int((d >> 5) & 63), db = int(d & 31);
    int sr = int(s >> 11), sg = int((s >> 5) & 63), sb = int(s & 31);
    int r, g, b;
    switch (mode) {
    case SR_BLEND_SUMMED:
        r = dr + ((sr * a) >> 8);
        g = dg + ((sg * a) >> 8);
        b = db + ((sb * a) >> 8);
        break;
    case SR_BLEND_DIMMED:
        r = (dr * (256 - a + a * sr / 31)) >> 8;
        g = (dg * (256 - a + a * sg / 63)) >> 8;
        b = (db * (256 - a + a * sb / 31)) >> 8;
        break;
    case SR_BLEND_PREMULTIPLIED:
        r = ((dr * (256 - a)) >> 8) + sr;
        g = ((dg * (256 - a)) >> 8) + sg;
        b = ((db * (256 - a)) >> 8) + sb;
        break;
    default:
        r = dr + (((sr - dr) * a) >> 8);
        g = dg + (((sg - dg) * a) >> 8);
        b = db + (((sb - db) * a) >> 8);
        break;
    }
    r = r > 31 ? 31 : r;
    g = g > 63 ? 63 : g;
    b = b > 31 ? 31 : b;
    return vt_uint_32(r << 11 | g << 5 | b);
}

// A texel coordinate brought inside a map of size texels.
inline int texelCoord(int c, int size, int mode) {
    switch (mode) {
    case SR_CLAMP:
        return c < 0 ? 0 : (c >= size ? size - 1 : c);
    case SR_MIRROR: {
        int period = 2 * size, m = c % period;
        m = m < 0 ? m + period : m;
        return m < size ? m : period - 1 - m;
    }
    default: {
        int m = c % size;
        return m < 0 ? m + size : m;
    }
    }
}

} // namespace sr
