// Triangles: set-up in floating point, then one routine per combination of
// depth mode, shading, texturing and blending that walks the scan lines
// and fills each span with fixed-point steps. Texels are fetched a chunk of
// 16 pixels at a time (perspective is corrected at the chunk ends) by a
// routine chosen per triangle for the map's type and addressing.
#include <array>
#include <cstdint>
#include <utility>

#include "render/drivers/raster.h"

namespace {

using namespace sr;

constexpr int kChunk = 16;
// Texture coordinates stay within this many texels of the origin, so that
// their 16.16 steps never overflow.
constexpr vt_float kTexLimit = 8000;
constexpr vt_float kMinQ = 1e-20f;

// An attribute as a plane over the screen, from the top vertex.
struct plane {
    vt_float a0, dx, dy;
};

typedef void fetch_fn(const sr_paint &p, vt_int_32 u, vt_int_32 du, vt_int_32 v, vt_int_32 dv, int n,
                      vt_uint_16 *col, vt_uint_8 *alpha);

struct tri {
    const sr_svert *top, *mid, *bot;
    bool long_right; // the edge from top to bottom is on the right
    plane z, c[3];
    plane s, t, q; // u and v (times q with perspective), and q
    int flat[3];   // channels 0..255, or the index or level
    vt_uint_32 flat565;
    fetch_fn *fetch;
};

inline vt_float at(const plane &pl, const tri &s, vt_float x, vt_float y) {
    return pl.a0 + pl.dx * (x - s.top->x) + pl.dy * (y - s.top->y);
}

// 16.16 start and step over n pixels from the values at the first and the
// last, both held within [lo, hi], so no step runs outside.
template <class I> inline void steps(vt_float first, vt_float last, int n, vt_float lo, vt_float hi, I *start, I *step) {
    first = clampf(first, lo, hi);
    last = clampf(last, lo, hi);
    *start = I(double(first) * 65536.0);
    *step = n > 1 ? I(double(last - first) * 65536.0 / (n - 1)) : I(0);
}

// ---- Texel fetches ------------------------------------------------------------

enum : int { F_565, F_LUT, F_4444, F_RAW, F_GREY565, F_GREY4444, F_KINDS };

template <int F> inline void texel(const sr_paint &p, const vt_uint_8 *row, int x, vt_uint_16 *col, vt_uint_8 *alpha) {
    if constexpr (F == F_LUT || F == F_RAW) {
        vt_uint_8 i = row[x];
        *col = F == F_LUT ? p.lut[i] : i;
        *alpha = 255;
    } else {
        vt_uint_16 t;
        __builtin_memcpy(&t, row + 2 * x, 2);
        if constexpr (F == F_565) {
            *col = t;
            *alpha = 255;
        } else if constexpr (F == F_4444) {
            int r = (t >> 8) & 15, g = (t >> 4) & 15, b = t & 15;
            *col = vt_uint_16((r << 1 | r >> 3) << 11 | (g << 2 | g >> 2) << 5 | (b << 1 | b >> 3));
            *alpha = vt_uint_8((t >> 12) * 17);
        } else if constexpr (F == F_GREY565) {
            int r = (t >> 11) << 3, g = ((t >> 5) & 63) << 2, b = (t & 31) << 3;
            *col = vt_uint_16(r > g ? (r > b ? r : b) : (g > b ? g : b));
            *alpha = 255;
        } else {
            int r = (t >> 8) & 15, g = (t >> 4) & 15, b = t & 15;
            *col = vt_uint_16((r > g ? (r > b ? r : b) : (g > b ? g : b)) * 17);
            *alpha = vt_uint_8((t >> 12) * 17);
        }
    }
}

template <int F, bool POW2>
void fetch(const sr_paint &p, vt_int_32 u, vt_int_32 du, vt_int_32 v, vt_int_32 dv, int n, vt_uint_16 *col,
           vt_uint_8 *alpha) {
    const int wm = p.tex_w - 1, hm = p.tex_h - 1;
    for (int i = 0; i < n; i++, u += du, v += dv) {
        int tx, ty;
        if constexpr (POW2) {
            tx = (u >> 16) & wm;
            ty = (v >> 16) & hm;
        } else {
            tx = texelCoord(u >> 16, p.tex_w, p.wrap_u);
            ty = texelCoord(v >> 16, p.tex_h, p.wrap_v);
        }
        texel<F>(p, p.texels + ptrdiff_t(ty) * p.tex_row, tx, &col[i], &alpha[i]);
    }
}

template <std::size_t... I> constexpr std::array<fetch_fn *, sizeof...(I)> makeFetches(std::index_sequence<I...>) {
    return {&fetch<int(I / 2), (I % 2) != 0>...};
}
constexpr auto kFetches = makeFetches(std::make_index_sequence<2 * F_KINDS>());

// Brings a coordinate near the origin by whole periods of its addressing.
vt_float periodOffset(vt_float c, int size, int mode) {
    if (mode == SR_CLAMP || !(c > -1e30f && c < 1e30f))
        return 0;
    vt_float period = vt_float(mode == SR_MIRROR ? 2 * size : size);
    return std::floor(c / period) * period;
}

void texAt(const tri &s, const sr_paint &p, vt_float x, vt_float y, vt_float *u, vt_float *v) {
    if (p.perspective) {
        vt_float q = at(s.q, s, x, y);
        q = q > kMinQ ? q : kMinQ;
        *u = at(s.s, s, x, y) / q;
        *v = at(s.t, s, x, y) / q;
    } else {
        *u = at(s.s, s, x, y);
        *v = at(s.t, s, x, y);
    }
}

// The texels of len pixels from x on row y.
void texChunk(const tri &s, const sr_paint &p, int x, int len, vt_float y, vt_uint_16 *col, vt_uint_8 *alpha) {
    vt_float u0, v0, u1, v1;
    texAt(s, p, vt_float(x), y, &u0, &v0);
    if (len > 1)
        texAt(s, p, vt_float(x + len - 1), y, &u1, &v1);
    else
        u1 = u0, v1 = v0;
    const vt_float ou = periodOffset(u0, p.tex_w, p.wrap_u), ov = periodOffset(v0, p.tex_h, p.wrap_v);
    vt_int_32 U, dU, V, dV;
    steps(u0 - ou, u1 - ou, len, -kTexLimit, kTexLimit, &U, &dU);
    steps(v0 - ov, v1 - ov, len, -kTexLimit, kTexLimit, &V, &dV);
    s.fetch(p, U, dU, V, dV, len, col, alpha);
}

// ---- Scan lines --------------------------------------------------------------

template <class Span> inline void walk(const sr_target &t, const tri &s, Span span) {
    const sr_svert &a = *s.top, &b = *s.mid, &c = *s.bot;
    const int y0 = ceilIn(a.y, 0, t.height), y1 = ceilIn(b.y, 0, t.height), y2 = ceilIn(c.y, 0, t.height);
    if (y0 >= y2)
        return;
    const vt_float slong = (c.x - a.x) / (c.y - a.y);
    const vt_float supper = b.y > a.y ? (b.x - a.x) / (b.y - a.y) : 0;
    const vt_float slower = c.y > b.y ? (c.x - b.x) / (c.y - b.y) : 0;
    for (int y = y0; y < y2; y++) {
        const vt_float fy = vt_float(y);
        vt_float xl = a.x + (fy - a.y) * slong;
        vt_float xr = y < y1 ? a.x + (fy - a.y) * supper : b.x + (fy - b.y) * slower;
        if (s.long_right)
            std::swap(xl, xr);
        const int xs = ceilIn(xl, 0, t.width), xe = ceilIn(xr, 0, t.width);
        if (xs < xe)
            span(y, xs, xe);
    }
}

template <int ZM> inline vt_uint_16 *depthRow(const sr_target &t, int y) {
    return ZM == Z_NONE ? nullptr : reinterpret_cast<vt_uint_16 *>(t.depth + ptrdiff_t(y) * t.depth_row);
}

template <int ZM> inline bool depthOk(const sr_paint &p, vt_uint_32 d, vt_uint_32 stored) {
    if constexpr (ZM == Z_LE)
        return d <= stored;
    else
        return depthPass(p.depth_test, d, stored);
}

template <int ZM> inline void depthWrite(const sr_paint &p, vt_uint_16 *zrow, int x, vt_uint_32 d) {
    if constexpr (ZM == Z_LE)
        zrow[x] = vt_uint_16(d);
    else if constexpr (ZM == Z_ANY)
        if (p.depth_write)
            zrow[x] = vt_uint_16(d);
}

// The depth buffer's values along a span, 16.16.
template <int ZM>
inline void depthSteps(const tri &s, vt_float first, vt_float last, vt_float y, int n, int64_t *z, int64_t *dz) {
    *z = *dz = 0;
    if constexpr (ZM != Z_NONE)
        steps(at(s.z, s, first, y) + 32768, at(s.z, s, last, y) + 32768, n, 1, 65535, z, dz);
}

// ---- RGB565 targets ------------------------------------------------------------

template <int ZM, int SH, bool TEX, bool BLEND> void tri16(const sr_target &t, const sr_paint &p, const tri &s) {
    walk(t, s, [&](int y, int xs, int xe) {
        auto *crow = reinterpret_cast<vt_uint_16 *>(t.colour + ptrdiff_t(y) * t.colour_row);
        vt_uint_16 *zrow = depthRow<ZM>(t, y);
        const int n = xe - xs;
        const vt_float fy = vt_float(y), first = vt_float(xs), last = vt_float(xe - 1);
        int64_t z, dz;
        depthSteps<ZM>(s, first, last, fy, n, &z, &dz);
        vt_int_32 c[3] = {0, 0, 0}, dc[3] = {0, 0, 0};
        if constexpr (SH == SR_SHADE_SMOOTH)
            for (int k = 0; k < 3; k++)
                steps(at(s.c[k], s, first, fy), at(s.c[k], s, last, fy), n, 0, 255, &c[k], &dc[k]);
        for (int x = xs; x < xe;) {
            const int len = xe - x < kChunk ? xe - x : kChunk;
            vt_uint_16 col[kChunk];
            vt_uint_8 alpha[kChunk];
            if constexpr (TEX)
                texChunk(s, p, x, len, fy, col, alpha);
            for (int i = 0; i < len; i++, x++, z += dz, c[0] += dc[0], c[1] += dc[1], c[2] += dc[2]) {
                const vt_uint_32 d = vt_uint_32(z >> 16);
                if constexpr (ZM != Z_NONE)
                    if (!depthOk<ZM>(p, d, zrow[x]))
                        continue;
                vt_uint_32 src;
                int a = p.opacity;
                if constexpr (TEX) {
                    src = col[i];
                    if constexpr (BLEND) {
                        a = ((alpha[i] + (alpha[i] >> 7)) * p.opacity) >> 8;
                        if (a == 0)
                            continue;
                    }
                    if constexpr (SH == SR_SHADE_SMOOTH)
                        src = modulate565(src, c[0] >> 16, c[1] >> 16, c[2] >> 16);
                    else if constexpr (SH == SR_SHADE_FLAT)
                        src = modulate565(src, s.flat[0], s.flat[1], s.flat[2]);
                } else {
                    if constexpr (SH == SR_SHADE_SMOOTH)
                        src = pack565(c[0] >> 16, c[1] >> 16, c[2] >> 16);
                    else
                        src = s.flat565;
                    if constexpr (BLEND)
                        if (a == 0)
                            continue;
                }
                if constexpr (BLEND)
                    src = blend565(p.blend, crow[x], src, a);
                crow[x] = vt_uint_16(src);
                depthWrite<ZM>(p, zrow, x, d);
            }
        }
    });
}

// ---- INDEX_8 targets --------------------------------------------------------------

enum : int { T8_NONE, T8_RAW, T8_SHADED, T8_RAMP, T8_KINDS };

template <int ZM, int SH, int TX> void tri8(const sr_target &t, const sr_paint &p, const tri &s) {
    // Untextured: the index itself; textured: the shade level.
    const vt_float hi = TX == T8_NONE ? 255.0f : 63.0f;
    walk(t, s, [&](int y, int xs, int xe) {
        vt_uint_8 *crow = t.colour + ptrdiff_t(y) * t.colour_row;
        vt_uint_16 *zrow = depthRow<ZM>(t, y);
        const int n = xe - xs;
        const vt_float fy = vt_float(y), first = vt_float(xs), last = vt_float(xe - 1);
        int64_t z, dz;
        depthSteps<ZM>(s, first, last, fy, n, &z, &dz);
        vt_int_32 c = 0, dc = 0;
        if constexpr (SH == SR_SHADE_SMOOTH)
            steps(at(s.c[0], s, first, fy), at(s.c[0], s, last, fy), n, 0, hi, &c, &dc);
        for (int x = xs; x < xe;) {
            const int len = xe - x < kChunk ? xe - x : kChunk;
            vt_uint_16 col[kChunk];
            vt_uint_8 alpha[kChunk];
            if constexpr (TX != T8_NONE)
                texChunk(s, p, x, len, fy, col, alpha);
            for (int i = 0; i < len; i++, x++, z += dz, c += dc) {
                const vt_uint_32 d = vt_uint_32(z >> 16);
                if constexpr (ZM != Z_NONE)
                    if (!depthOk<ZM>(p, d, zrow[x]))
                        continue;
                const int level = SH == SR_SHADE_SMOOTH ? c >> 16 : (SH == SR_SHADE_FLAT ? s.flat[0] : 32);
                int v;
                if constexpr (TX == T8_NONE) {
                    v = level;
                } else if constexpr (TX == T8_RAW) {
                    v = col[i];
                } else if constexpr (TX == T8_SHADED) {
                    v = p.shade_table[ptrdiff_t(level) * p.shade_row + col[i]];
                } else {
                    if (alpha[i] < 128)
                        continue;
                    v = p.index_base + level * col[i] * p.index_range / (32 * 255);
                    v = v < 0 ? 0 : (v > 255 ? 255 : v);
                }
                crow[x] = vt_uint_8(v);
                depthWrite<ZM>(p, zrow, x, d);
            }
        }
    });
}

typedef void tri_fn(const sr_target &t, const sr_paint &p, const tri &s);

// Index: depth mode x 12 + shading x 4 + textured x 2 + blending.
template <std::size_t... I> constexpr std::array<tri_fn *, sizeof...(I)> makeTri16(std::index_sequence<I...>) {
    return {&tri16<int(I / 12), int(I / 4 % 3), (I / 2 % 2) != 0, (I % 2) != 0>...};
}
constexpr auto kTri16 = makeTri16(std::make_index_sequence<36>());

// Index: depth mode x 12 + shading x 4 + texture kind.
template <std::size_t... I> constexpr std::array<tri_fn *, sizeof...(I)> makeTri8(std::index_sequence<I...>) {
    return {&tri8<int(I / 12), int(I / 4 % 3), int(I % 4)>...};
}
constexpr auto kTri8 = makeTri8(std::make_index_sequence<36>());

plane planeOf(const tri &s, vt_float inv, vt_float a, vt_float b, vt_float c) {
    const vt_float dx1 = s.mid->x - s.top->x, dy1 = s.mid->y - s.top->y;
    const vt_float dx2 = s.bot->x - s.top->x, dy2 = s.bot->y - s.top->y;
    const vt_float ab = b - a, ac = c - a;
    return plane{a, (ab * dy2 - ac * dy1) * inv, (ac * dx1 - ab * dx2) * inv};
}

bool pow2(int v) { return v > 0 && (v & (v - 1)) == 0; }

// The fetch routine of the paint's map on its target.
fetch_fn *fetchOf(const sr_paint &p) {
    int f;
    if (p.target == VT_PMT_RGB_565)
        f = p.tex == SR_TEX_565 ? F_565 : p.tex == SR_TEX_INDEX ? F_LUT : F_4444;
    else
        f = p.tex == SR_TEX_INDEX ? F_RAW : p.tex == SR_TEX_565 ? F_GREY565 : F_GREY4444;
    const bool fast = p.wrap_u == SR_WRAP && p.wrap_v == SR_WRAP && pow2(p.tex_w) && pow2(p.tex_h);
    return kFetches[std::size_t(2 * f + (fast ? 1 : 0))];
}

int flatChannel(vt_float v, vt_float hi) { return int(clampf(v, 0, hi)); }

} // namespace

void SrTriangle(const sr_target &t, const sr_paint &p, const sr_svert *a, const sr_svert *b, const sr_svert *c,
                const sr_flat &flat) {
    if (b->y < a->y)
        std::swap(a, b);
    if (c->y < b->y)
        std::swap(b, c);
    if (b->y < a->y)
        std::swap(a, b);
    const vt_float cross = (b->x - a->x) * (c->y - a->y) - (c->x - a->x) * (b->y - a->y);
    if (!(cross > 1e-12f || cross < -1e-12f))
        return; // no area, or not a number
    tri s;
    s.top = a;
    s.mid = b;
    s.bot = c;
    s.long_right = cross < 0;
    const vt_float inv = 1 / cross;
    s.z = planeOf(s, inv, a->z, b->z, c->z);
    const bool textured = p.tex != SR_TEX_NONE && p.texels != nullptr;
    const int channels = p.target == VT_PMT_RGB_565 ? 3 : 1;
    if (p.shade == SR_SHADE_SMOOTH)
        for (int k = 0; k < channels; k++)
            s.c[k] = planeOf(s, inv, a->c[k], b->c[k], c->c[k]);
    const vt_float hi = p.target == VT_PMT_INDEX_8 && textured ? 63.0f : 255.0f;
    for (int k = 0; k < 3; k++)
        s.flat[k] = flatChannel(flat.c[k], hi);
    s.flat565 = pack565(s.flat[0], s.flat[1], s.flat[2]);
    s.fetch = nullptr;
    if (textured) {
        if (p.perspective) {
            s.s = planeOf(s, inv, a->u * a->q, b->u * b->q, c->u * c->q);
            s.t = planeOf(s, inv, a->v * a->q, b->v * b->q, c->v * c->q);
            s.q = planeOf(s, inv, a->q, b->q, c->q);
        } else {
            s.s = planeOf(s, inv, a->u, b->u, c->u);
            s.t = planeOf(s, inv, a->v, b->v, c->v);
        }
        s.fetch = fetchOf(p);
    }
    const int zm = zModeOf(t, p);
    if (p.target == VT_PMT_RGB_565) {
        const int sh = textured || p.shade != SR_SHADE_NONE ? int(p.shade) : int(SR_SHADE_FLAT);
        const int blend = p.blend != SR_BLEND_NONE ? 1 : 0;
        kTri16[std::size_t(zm * 12 + sh * 4 + (textured ? 2 : 0) + blend)](t, p, s);
    } else {
        int tx = T8_NONE;
        if (textured)
            tx = p.tex == SR_TEX_INDEX ? (p.shade_table && p.shade != SR_SHADE_NONE ? T8_SHADED : T8_RAW) : T8_RAMP;
        const int sh = textured || p.shade != SR_SHADE_NONE ? int(p.shade) : int(SR_SHADE_FLAT);
        kTri8[std::size_t(zm * 12 + sh * 4 + tx)](t, p, s);
    }
}
