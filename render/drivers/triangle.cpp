// Triangles: a set-up per triangle in floating point, then either the
// kernels that draw eight pixels at a time (triblock.cpp: RGB565 targets
// with the common drawing states) or one routine per combination of depth
// mode, shading, texture and blending that walks the scan lines and fills
// each span with fixed-point steps.
//
// Coverage. Pixel (x, y) is the square [x, x + 1) x [y, y + 1) and is
// drawn when its centre lies inside the triangle, or on a left or top
// edge. An edge's place on a row is computed from its own two ends alone,
// the same way in every triangle that has it, so triangles that share an
// edge cover each pixel along it exactly once.
//
// Interpolation. The set-up finds each attribute's plane over the screen:
// its value at the top vertex and its change a pixel along x and along y
// (depth, the colour channels, and the texture coordinates). A span
// evaluates the planes once at its first pixel centre and then only adds
// the x steps: no division. Texture coordinates are corrected for
// perspective at the ends of 16-pixel chunks (u/w, v/w and 1/w
// interpolated, one division a chunk end), except on a triangle so small,
// or so little foreshortened, that the correction would move no texel by
// a quarter; there u and v are stepped as planes themselves.
#include <array>
#include <cmath>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "render/drivers/triset.h"

namespace {

using namespace sr;

// ---- Texels -------------------------------------------------------------------

enum : int { F_565, F_LUT, F_4444, F_RAW, F_GREY565, F_GREY4444 };

template <int F> inline void texel(const sr_paint &p, const vt_uint_8 *row, int x, vt_uint_32 *col, int *alpha) {
    if constexpr (F == F_LUT || F == F_RAW) {
        const vt_uint_8 i = row[x];
        *col = F == F_LUT ? p.lut[i] : i;
        *alpha = 255;
    } else {
        vt_uint_16 t;
        __builtin_memcpy(&t, row + 2 * x, 2);
        if constexpr (F == F_565) {
            *col = t;
            *alpha = 255;
        } else if constexpr (F == F_4444) {
            const int r = (t >> 8) & 15, g = (t >> 4) & 15, b = t & 15;
            *col = vt_uint_32((r << 1 | r >> 3) << 11 | (g << 2 | g >> 2) << 5 | (b << 1 | b >> 3));
            *alpha = (t >> 12) * 17;
        } else if constexpr (F == F_GREY565) {
            const int r = (t >> 11) << 3, g = ((t >> 5) & 63) << 2, b = (t & 31) << 3;
            *col = vt_uint_32(r > g ? (r > b ? r : b) : (g > b ? g : b));
            *alpha = 255;
        } else {
            const int r = (t >> 8) & 15, g = (t >> 4) & 15, b = t & 15;
            *col = vt_uint_32((r > g ? (r > b ? r : b) : (g > b ? g : b)) * 17);
            *alpha = (t >> 12) * 17;
        }
    }
}

// Any map with any addressing.
inline void texelAny(const sr_paint &p, const sr_tri &s, vt_uint_32 u, vt_uint_32 v, vt_uint_32 *col, int *alpha) {
    const int tx = texelCoord(vt_int_32(u) >> 16, p.tex_w, p.wrap_u);
    const int ty = texelCoord(vt_int_32(v) >> 16, p.tex_h, p.wrap_v);
    const vt_uint_8 *row = p.texels + ptrdiff_t(ty) * p.tex_row;
    switch (s.fetch) {
    case F_565:
        return texel<F_565>(p, row, tx, col, alpha);
    case F_LUT:
        return texel<F_LUT>(p, row, tx, col, alpha);
    case F_4444:
        return texel<F_4444>(p, row, tx, col, alpha);
    case F_RAW:
        return texel<F_RAW>(p, row, tx, col, alpha);
    case F_GREY565:
        return texel<F_GREY565>(p, row, tx, col, alpha);
    default:
        return texel<F_GREY4444>(p, row, tx, col, alpha);
    }
}

// What a kernel fetches: nothing, one map kind wrapped on a power of two,
// or anything (through texelAny).
enum : int { TX_NONE, TX_565, TX_LUT, TX_4444, TX_RAW, TX_ANY };

template <int TX>
inline void fetch(const sr_paint &p, const sr_tri &s, vt_uint_32 u, vt_uint_32 v, vt_uint_32 *col, int *alpha) {
    if constexpr (TX == TX_ANY) {
        texelAny(p, s, u, v, col, alpha);
    } else {
        const vt_uint_8 *row = s.texels + ptrdiff_t(vt_int_32(v >> 16) & s.hm) * s.row;
        const int x = vt_int_32(u >> 16) & s.wm;
        if constexpr (TX == TX_565)
            texel<F_565>(p, row, x, col, alpha);
        else if constexpr (TX == TX_LUT)
            texel<F_LUT>(p, row, x, col, alpha);
        else if constexpr (TX == TX_4444)
            texel<F_4444>(p, row, x, col, alpha);
        else
            texel<F_RAW>(p, row, x, col, alpha);
    }
}

// ---- Scan lines ---------------------------------------------------------------

// The interpolants along a span, 16.16 (colour: fractions of 2^24),
// stepped with wrapping adds.
struct run {
    vt_uint_32 z, k0, k1, k2, u, v;
    vt_uint_32 du, dv;
};

// Calls pixels(x, n, run) for the pixels [xs, xe) of row y: once, or a
// chunk at a time with the texture steps corrected for perspective.
template <bool TEX, class Pixels>
SR_ALWAYS_INLINE inline void spanOf(const sr_tri &s, const sr_ranges &rg, int y, int xs, int xe, Pixels pixels) {
    const float fx = float(xs) + 0.5f - s.x0, fy = float(y) + 0.5f - s.y0;
    const v4i a = toFixed(s.a + s.adx * fx + s.ady * fy, rg.lo, rg.hi, rg.scale);
    run r{vt_uint_32(a[0]), vt_uint_32(a[1]), vt_uint_32(a[2]), vt_uint_32(a[3]), 0, 0, 0, 0};
    if constexpr (!TEX) {
        pixels(xs, xe - xs, r);
    } else {
        const v4f tl = splat(-kTexLimit), th = splat(kTexLimit), fixed = splat(65536);
        v4f t = s.t + s.tdx * fx + s.tdy * fy;
        if (s.affine) {
            const v4i uv = toFixed(t, tl, th, fixed);
            r.u = vt_uint_32(uv[0]);
            r.v = vt_uint_32(uv[1]);
            r.du = s.du;
            r.dv = s.dv;
            pixels(xs, xe - xs, r);
            return;
        }
        // u and v at a point from u/w, v/w and 1/w.
        auto uvAt = [](v4f w) { return w * (1 / (w[2] > kMinQ ? w[2] : kMinQ)); };
        static constexpr float kRecip[kChunk + 1] = {0,         1,         1.0f / 2,  1.0f / 3,  1.0f / 4,  1.0f / 5,
                                                     1.0f / 6,  1.0f / 7,  1.0f / 8,  1.0f / 9,  1.0f / 10, 1.0f / 11,
                                                     1.0f / 12, 1.0f / 13, 1.0f / 14, 1.0f / 15, 1.0f / 16};
        v4f uv = clamp4(uvAt(t), tl, th);
        for (int x = xs; x < xe;) {
            const int n = xe - x < kChunk ? xe - x : kChunk;
            // The chunk's steps reach the next chunk's first pixel, or the
            // span's last.
            const int reach = x + n < xe ? n : n - 1;
            v4f next = uv;
            if (reach > 0) {
                t += s.tdx * float(reach);
                next = clamp4(uvAt(t), tl, th);
            }
            const v4i at = __builtin_convertvector(uv * fixed, v4i);
            const v4i step = __builtin_convertvector((next - uv) * (kRecip[reach] * 65536), v4i);
            r.u = vt_uint_32(at[0]);
            r.v = vt_uint_32(at[1]);
            r.du = vt_uint_32(step[0]);
            r.dv = vt_uint_32(step[1]);
            pixels(x, n, r);
            x += n;
            uv = next;
        }
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

// The depth buffer's value of a 16.16 screen depth.
inline vt_uint_32 depthOf(vt_uint_32 z) { return vt_uint_32((vt_int_32(z) >> 16) + 32768); }

// ---- RGB565 targets ------------------------------------------------------------

// A channel of at most 63 times a fraction k of 2^24, rounded. Wrapping
// arithmetic: a fraction a little below nothing gives nothing, and one
// that rounding has carried far out of range (in a triangle too thin to
// trust) a wrong colour but nothing worse.
inline vt_uint_32 scaled(vt_uint_32 c, vt_int_32 k) { return (c * vt_uint_32(k) + (1u << 23)) >> 24; }

// A texel scaled by colour fractions of 2^24.
inline vt_uint_32 modulateK(vt_uint_32 t, vt_int_32 r, vt_int_32 g, vt_int_32 b) {
    return scaled(t >> 11, r) << 11 | scaled((t >> 5) & 63, g) << 5 | scaled(t & 31, b);
}

// Colour fractions of 2^24 as RGB565, rounded.
inline vt_uint_32 packK(vt_int_32 r, vt_int_32 g, vt_int_32 b) {
    return scaled(31, r) << 11 | scaled(63, g) << 5 | scaled(31, b);
}

// The pixels the kernels write are none of what they read: restrict says
// so, which keeps the steps and the map's particulars in registers.
template <int ZM, int SH, int TX, bool BLEND>
void tri16(const sr_target &__restrict t, const sr_paint &__restrict p, const sr_tri &__restrict s) {
    const vt_uint_32 dz = vt_uint_32(s.astep[0]), dk0 = vt_uint_32(s.astep[1]), dk1 = vt_uint_32(s.astep[2]),
                     dk2 = vt_uint_32(s.astep[3]);
    walk(t.width, s, [&](int y, int xs, int xe) SR_ALWAYS_INLINE {
        auto *crow = reinterpret_cast<vt_uint_16 *>(t.colour + ptrdiff_t(y) * t.colour_row);
        vt_uint_16 *zrow = depthRow<ZM>(t, y);
        spanOf<TX != TX_NONE>(s, kRangeRGB, y, xs, xe, [&](int x0, int n, run &r) SR_ALWAYS_INLINE {
            vt_uint_32 z = r.z, k0 = r.k0, k1 = r.k1, k2 = r.k2, u = r.u, v = r.v;
            for (int x = x0; x < x0 + n; x++, z += dz, k0 += dk0, k1 += dk1, k2 += dk2, u += r.du, v += r.dv) {
                const vt_uint_32 d = depthOf(z);
                if constexpr (ZM != Z_NONE)
                    if (!depthOk<ZM>(p, d, zrow[x]))
                        continue;
                vt_uint_32 src;
                int a = p.opacity;
                if constexpr (TX != TX_NONE) {
                    int alpha;
                    fetch<TX>(p, s, u, v, &src, &alpha);
                    if constexpr (BLEND) {
                        a = ((alpha + (alpha >> 7)) * p.opacity) >> 8;
                        if (a == 0)
                            continue;
                    }
                    if constexpr (SH == SR_SHADE_SMOOTH)
                        src = modulateK(src, vt_int_32(k0), vt_int_32(k1), vt_int_32(k2));
                    else if constexpr (SH == SR_SHADE_FLAT)
                        src = modulateK(src, s.flat[0], s.flat[1], s.flat[2]);
                } else {
                    if constexpr (SH == SR_SHADE_SMOOTH)
                        src = packK(vt_int_32(k0), vt_int_32(k1), vt_int_32(k2));
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
            r.z = z, r.k0 = k0, r.k1 = k1, r.k2 = k2;
        });
    });
}

// ---- INDEX_8 targets --------------------------------------------------------------

// Untextured; textured with the texel itself, through the shade table, or
// (maps with colour) as the ramp at the texel's brightness.
enum : int { T8_NONE, T8_RAW, T8_SHADED, T8_RAMP };

// Where the index goes: into an INDEX_8 target, or through the palette
// into an RGB565 one (an indexed map lit through its shade table shows
// there the colours it shows at 8 bits, shadows and highlights included),
// blended or not.
enum : int { OUT_INDEX, OUT_565, OUT_565_BLEND };

template <int ZM, int SH, int T8, int TX, int OUT = OUT_INDEX>
void tri8(const sr_target &__restrict t, const sr_paint &__restrict p, const sr_tri &__restrict s) {
    using pixel = std::conditional_t<OUT == OUT_INDEX, vt_uint_8, vt_uint_16>;
    const vt_uint_32 dz = vt_uint_32(s.astep[0]), dk = vt_uint_32(s.astep[1]);
    walk(t.width, s, [&](int y, int xs, int xe) SR_ALWAYS_INLINE {
        auto *crow = reinterpret_cast<pixel *>(t.colour + ptrdiff_t(y) * t.colour_row);
        vt_uint_16 *zrow = depthRow<ZM>(t, y);
        spanOf<TX != TX_NONE>(
            s, T8 == T8_NONE ? kRangeIndex : kRangeLevel, y, xs, xe, [&](int x0, int n, run &r) SR_ALWAYS_INLINE {
                vt_uint_32 z = r.z, k = r.k0, u = r.u, v = r.v;
                for (int x = x0; x < x0 + n; x++, z += dz, k += dk, u += r.du, v += r.dv) {
                    const vt_uint_32 d = depthOf(z);
                    if constexpr (ZM != Z_NONE)
                        if (!depthOk<ZM>(p, d, zrow[x]))
                            continue;
                    // Rounded (the planes carry a half), and held to the
                    // table's rows whatever rounding did.
                    const int level =
                        SH == SR_SHADE_SMOOTH ? (vt_int_32(k) >> 16) & 255 : (SH == SR_SHADE_FLAT ? s.flat[0] : 32);
                    int value;
                    if constexpr (T8 == T8_NONE) {
                        value = level;
                    } else {
                        vt_uint_32 col;
                        int alpha;
                        fetch<TX>(p, s, u, v, &col, &alpha);
                        if constexpr (T8 == T8_RAW) {
                            value = int(col);
                        } else if constexpr (T8 == T8_SHADED) {
                            value = p.shade_table[ptrdiff_t(level & 63) * p.shade_row + col];
                        } else {
                            if (alpha < 128)
                                continue;
                            const int64_t v = p.index_base + int64_t(level & 63) * col * p.index_range / (32 * 255);
                            value = int(v < 0 ? 0 : (v > 255 ? 255 : v));
                        }
                    }
                    if constexpr (OUT == OUT_INDEX) {
                        crow[x] = vt_uint_8(value);
                    } else {
                        vt_uint_32 src = p.lut[value & 255];
                        if constexpr (OUT == OUT_565_BLEND) {
                            if (p.opacity == 0)
                                continue;
                            src = blend565(p.blend, crow[x], src, p.opacity);
                        }
                        crow[x] = vt_uint_16(src);
                    }
                    depthWrite<ZM>(p, zrow, x, d);
                }
                r.z = z, r.k0 = k;
            });
    });
}

typedef void tri_fn(const sr_target &t, const sr_paint &p, const sr_tri &s);

constexpr int kTex16[] = {TX_NONE, TX_565, TX_LUT, TX_4444, TX_ANY};
// Index: depth mode x 30 + shading x 10 + texture x 2 + blending.
template <std::size_t... I> constexpr std::array<tri_fn *, sizeof...(I)> makeTri16(std::index_sequence<I...>) {
    return {&tri16<int(I / 30), int(I / 10 % 3), kTex16[I / 2 % 5], (I % 2) != 0>...};
}
constexpr auto kTri16 = makeTri16(std::make_index_sequence<90>());


// The 8-bit kinds: what is done with the texel, and how it is fetched.
constexpr int kKind8[][2] = {{T8_NONE, TX_NONE},  {T8_RAW, TX_RAW},    {T8_RAW, TX_ANY},
                             {T8_SHADED, TX_RAW}, {T8_SHADED, TX_ANY}, {T8_RAMP, TX_ANY}};
// Index: depth mode x 18 + shading x 6 + kind.
template <std::size_t... I> constexpr std::array<tri_fn *, sizeof...(I)> makeTri8(std::index_sequence<I...>) {
    return {&tri8<int(I / 18), int(I / 6 % 3), kKind8[I % 6][0], kKind8[I % 6][1]>...};
}
constexpr auto kTri8 = makeTri8(std::make_index_sequence<54>());

// Indexed maps shaded onto RGB565. Index: depth mode x 8 + smooth x 4 +
// any map x 2 + blending.
template <std::size_t... I> constexpr std::array<tri_fn *, sizeof...(I)> makeTri16Shaded(std::index_sequence<I...>) {
    return {&tri8<int(I / 8), (I / 4 % 2) ? int(SR_SHADE_SMOOTH) : int(SR_SHADE_FLAT), T8_SHADED,
                  (I / 2 % 2) ? TX_ANY : TX_RAW, (I % 2) ? OUT_565_BLEND : OUT_565>...};
}
constexpr auto kTri16Shaded = makeTri16Shaded(std::make_index_sequence<24>());

bool pow2(int v) { return v > 0 && (v & (v - 1)) == 0; }

int fetchOf(const sr_paint &p) {
    if (p.target == VT_PMT_RGB_565)
        return p.tex == SR_TEX_565 ? F_565 : p.tex == SR_TEX_INDEX ? F_LUT : F_4444;
    return p.tex == SR_TEX_INDEX ? F_RAW : p.tex == SR_TEX_565 ? F_GREY565 : F_GREY4444;
}

// A whole number of periods of the map's addressing near c, so that
// coordinates less it stay small.
float periodOffsetAny(float c, int size, int mode) {
    const float period = float(mode == SR_MIRROR ? 2 * size : size);
    const float k = c / period;
    const float whole = float(vt_int_32(k));
    return (whole > k ? whole - 1 : whole) * period;
}

SR_ALWAYS_INLINE inline float periodOffset(float c, int size, int mode) {
    if (mode == SR_CLAMP || !(c > -1e9f && c < 1e9f))
        return 0;
    if (mode == SR_WRAP && pow2(size)) {
        const vt_int_32 i = vt_int_32(c);
        return float(((float(i) > c) ? i - 1 : i) & -size);
    }
    return periodOffsetAny(c, size, mode);
}

float max3(float a, float b, float c) { return a > b ? (a > c ? a : c) : (b > c ? b : c); }
float min3(float a, float b, float c) { return a < b ? (a < c ? a : c) : (b < c ? b : c); }

// Four attributes' planes from their values at the corners a, b and c
// (dxy: b - a and c - a on the screen, inv: 1 / their cross product): the
// value at a and the change a pixel along x and y. A needle gets the mean
// of its corners everywhere.
void planesOf(v4f va, v4f vb, v4f vc, v4f dxy, float inv, bool needle, v4f *at, v4f *dx, v4f *dy) {
    if (needle) {
        *at = (va + vb + vc) * (1.0f / 3);
        *dx = *dy = splat(0);
        return;
    }
    const v4f ab = vb - va, ac = vc - va;
    *at = va;
    *dx = (ab * dxy[3] - ac * dxy[1]) * inv;
    *dy = (ac * dxy[0] - ab * dxy[2]) * inv;
}

// Sets up the texture planes: affine when perspective would move no texel
// by more than kAffineError, or the map is not corrected at all.
void textureSetUp(sr_tri &s, const sr_paint &p, const sr_svert &a, const sr_svert &b, const sr_svert &c, const v4f &dxy,
                  float inv, bool needle) {
    // (u, v, 1/w, -) of each corner, less whole periods of the map.
    const v4f off = {periodOffset(a.u, p.tex_w, p.wrap_u), periodOffset(a.v, p.tex_h, p.wrap_v), 0, 0};
    v4f ta = load4(&a.u) - off, tb = load4(&b.u) - off, tc = load4(&c.u) - off;
    bool affine = !p.perspective;
    if (!affine) {
        // Across the triangle, interpolating on screen errs by about the
        // texels it spans times the spread of 1/w over twice its sum.
        const v4f hi = ta > tb ? (ta > tc ? ta : tc) : (tb > tc ? tb : tc);
        const v4f lo = ta < tb ? (ta < tc ? ta : tc) : (tb < tc ? tb : tc);
        const v4f spread = hi - lo;
        affine = (spread[0] + spread[1]) * spread[2] <= 2 * kAffineError * (hi[2] + lo[2]);
    }
    s.affine = affine;
    const v4f keep = {1, 1, 0, 0};
    if (affine) {
        ta *= keep, tb *= keep, tc *= keep;
    } else {
        // u/w, v/w, 1/w.
        ta *= v4f{ta[2], ta[2], 1, 0}, tb *= v4f{tb[2], tb[2], 1, 0}, tc *= v4f{tc[2], tc[2], 1, 0};
    }
    planesOf(ta, tb, tc, dxy, inv, needle, &s.t, &s.tdx, &s.tdy);
    if (affine) {
        const v4i d = toFixed(s.tdx, splat(-kTexLimit), splat(kTexLimit), splat(65536));
        s.du = vt_uint_32(d[0]);
        s.dv = vt_uint_32(d[1]);
    }
    s.fetch = fetchOf(p);
    s.texels = p.texels;
    s.row = p.tex_row;
    s.wm = p.tex_w - 1;
    s.hm = p.tex_h - 1;
}

} // namespace

void SrTriangle(const sr_target &t, const sr_paint &p, const sr_svert *a, const sr_svert *b, const sr_svert *c,
                const sr_flat &flat) {
    if (b->y < a->y)
        std::swap(a, b);
    if (c->y < b->y)
        std::swap(b, c);
    if (b->y < a->y)
        std::swap(a, b);
    sr_tri s;
    // Rows and columns first: most small triangles that cover no pixel
    // centre end here.
    const float width = float(t.width) + 0.5f, height = float(t.height) + 0.5f;
    const v4i rc = firstCentres(v4f{a->y, c->y, min3(a->x, b->x, c->x), max3(a->x, b->x, c->x)},
                                v4f{height, height, width, width});
    s.r0 = rc[0], s.r2 = rc[1], s.c0 = rc[2], s.c1 = rc[3];
    if (s.r0 >= s.r2 || s.c0 >= s.c1)
        return;
    const float dx1 = b->x - a->x, dy1 = b->y - a->y, dx2 = c->x - a->x, dy2 = c->y - a->y;
    const float cross = dx1 * dy2 - dx2 * dy1;
    if (!(cross > kMinArea || cross < -kMinArea) || !std::isfinite(cross))
        return; // no area, or not a number
    s.r1 = firstCentre(b->y, height);
    s.r1 = s.r1 < s.r0 ? s.r0 : s.r1;
    s.long_right = cross < 0;
    s.lng = edgeOf(*a, *c);
    s.upper = s.r0 < s.r1 ? edgeOf(*a, *b) : s.lng;
    s.lower = s.r1 < s.r2 ? edgeOf(*b, *c) : s.lng;
    s.x0 = a->x;
    s.y0 = a->y;

    const bool textured = p.tex != SR_TEX_NONE && p.texels != nullptr;
    // Shaded maps carry levels as INDEX_8 targets do.
    const bool shaded = p.target == VT_PMT_RGB_565 && textured && p.tex == SR_TEX_INDEX && p.shade_table &&
                        p.shade != SR_SHADE_NONE;
    const bool rgb = p.target == VT_PMT_RGB_565 && !shaded;
    const sr_ranges &rg = rgb ? kRangeRGB : textured ? kRangeLevel : kRangeIndex;
    const float hi = rgb ? 255.0f : (textured ? kLevelHi : kIndexHi);
    const bool needle = std::fabs(dx1 * dy2) + std::fabs(dx2 * dy1) > kNeedle * std::fabs(cross);
    const float inv = 1 / cross;
    const v4f dxy = {dx1, dy1, dx2, dy2};
    // Depth and colour. 8-bit values carry a half so that taking the whole
    // part rounds.
    const float bias = rgb ? 0 : 0.5f;
    const v4f vbias = {0, bias, bias, bias};
    const v4f va = load4(&a->z) + vbias, vb = load4(&b->z) + vbias, vc = load4(&c->z) + vbias;
    planesOf(va, vb, vc, dxy, inv, needle, &s.a, &s.adx, &s.ady);
    if (p.shade != SR_SHADE_SMOOTH) {
        for (int k = 0; k < 3; k++) {
            const float f = clampf(flat.c[k], 0, hi);
            s.flat[k] = rgb ? vt_int_32(f * kColourUnit) : vt_int_32(f + 0.5f);
        }
        s.flat565 = packK(s.flat[0], s.flat[1], s.flat[2]);
    }
    s.affine = true;
    s.du = s.dv = 0;
    if (textured)
        textureSetUp(s, p, *a, *b, *c, dxy, inv, needle);
    if (shaded)
        s.fetch = F_RAW;

    const int zm = zModeOf(t, p);
    if (rgb && drawGroups(t, p, s, zm))
        return;
    // The scan lines' steps: at most the whole range a pixel (half of it
    // for depth, whose range fills 16.16).
    const v4f range = {32767, hi, hi, hi};
    s.astep = toFixed(s.adx, -range, range, rg.scale);
    const int sh = textured || p.shade != SR_SHADE_NONE ? int(p.shade) : int(SR_SHADE_FLAT);
    const bool fast = textured && p.wrap_u == SR_WRAP && p.wrap_v == SR_WRAP && pow2(p.tex_w) && pow2(p.tex_h);
    if (shaded) {
        kTri16Shaded[std::size_t(zm * 8 + (sh == SR_SHADE_SMOOTH ? 4 : 0) + (fast ? 0 : 2) +
                                 (p.blend != SR_BLEND_NONE ? 1 : 0))](t, p, s);
    } else if (rgb) {
        int tx = 0; // index into kTex16
        if (textured)
            tx = !fast ? 4 : p.tex == SR_TEX_565 ? 1 : p.tex == SR_TEX_INDEX ? 2 : 3;
        const int blend = p.blend != SR_BLEND_NONE ? 1 : 0;
        kTri16[std::size_t(zm * 30 + sh * 10 + tx * 2 + blend)](t, p, s);
    } else {
        int kind = 0; // index into kKind8
        if (textured) {
            if (p.tex != SR_TEX_INDEX)
                kind = 5;
            else if (p.shade_table && p.shade != SR_SHADE_NONE)
                kind = fast ? 3 : 4;
            else
                kind = fast ? 1 : 2;
        }
        kTri8[std::size_t(zm * 18 + sh * 6 + kind)](t, p, s);
    }
}
