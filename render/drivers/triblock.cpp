// Triangles eight pixels of a row at a time. Most triangles of a detailed
// model cover a few pixels on a few rows, where a scan line's set-up and
// its short, ever-different loop cost more than its pixels. A triangle of
// at most eight columns is drawn a row of its bounding box at a time, one
// group of eight pixels, its lanes stepping from row to row; a larger one
// a span at a time, a group after another. Either way the same edges as
// the scan lines decide which pixels are covered, depth, colour and
// texture coordinates sit in vector lanes, and the covered pixels that
// pass the depth test are merged into the row with one store.
#include <cstdint>
#include <utility>

#include "render/drivers/triset.h"

namespace {

using namespace sr;

// Eight 32-bit lanes.
struct lanes {
    __m128i lo, hi;
};

// The whole parts of eight 16.16 lanes (or, with shift 9, 2^24 fractions as
// 2^15 ones), as 16-bit lanes, saturated.
template <int SHIFT> inline __m128i narrow(lanes a) {
    return _mm_packs_epi32(_mm_srai_epi32(a.lo, SHIFT), _mm_srai_epi32(a.hi, SHIFT));
}

// One interpolant: its eight lanes on the first row (value at lane 0 and
// its step a pixel, both already scaled) and its step a row.
inline lanes lanesOf(float at, float dx) {
    const __m128 d = _mm_set1_ps(dx), b = _mm_set1_ps(at);
    const __m128 j0 = _mm_setr_ps(0, 1, 2, 3), j1 = _mm_setr_ps(4, 5, 6, 7);
    return lanes{_mm_cvttps_epi32(_mm_add_ps(b, _mm_mul_ps(j0, d))),
                 _mm_cvttps_epi32(_mm_add_ps(b, _mm_mul_ps(j1, d)))};
}

enum : int { B_NONE, B_565, B_LUT };

// The texels of eight lanes of texel numbers, gathered four to a 64-bit
// word so that the loads do not wait on each other.
template <int TX> inline __m128i fetch8(__m128i idx, const vt_uint_8 *texels, const vt_uint_16 *lut) {
    auto one = [&](uint64_t i) -> uint64_t {
        if constexpr (TX == B_565) {
            vt_uint_16 v;
            __builtin_memcpy(&v, texels + 2 * i, 2);
            return v;
        } else {
            return lut[texels[i]];
        }
    };
    auto four = [&](uint64_t n) {
        return one(n & 0xFFFF) | one((n >> 16) & 0xFFFF) << 16 | one((n >> 32) & 0xFFFF) << 32 | one(n >> 48) << 48;
    };
    const uint64_t lo = uint64_t(_mm_cvtsi128_si64(idx)),
                   hi = uint64_t(_mm_cvtsi128_si64(_mm_unpackhi_epi64(idx, idx)));
    return _mm_set_epi64x(int64_t(four(hi)), int64_t(four(lo)));
}

// RGB565 lanes scaled by colour lanes (fractions of 2^15), rounded.
inline __m128i modulate8(__m128i t, __m128i r, __m128i g, __m128i b) {
    const __m128i red = _mm_mulhi_epu16(_mm_and_si128(t, _mm_set1_epi16(short(0xF800))), r);
    const __m128i grn = _mm_mulhi_epu16(_mm_slli_epi16(_mm_and_si128(t, _mm_set1_epi16(0x07E0)), 5), g);
    const __m128i blu = _mm_mulhi_epu16(_mm_slli_epi16(_mm_and_si128(t, _mm_set1_epi16(0x001F)), 11), b);
    // Each is the channel times its fraction, with 10 (green 9) bits below.
    const __m128i r5 = _mm_slli_epi16(_mm_srli_epi16(_mm_add_epi16(red, _mm_set1_epi16(512)), 10), 11);
    const __m128i g6 = _mm_slli_epi16(_mm_srli_epi16(_mm_add_epi16(grn, _mm_set1_epi16(256)), 9), 5);
    const __m128i b5 = _mm_srli_epi16(_mm_add_epi16(blu, _mm_set1_epi16(512)), 10);
    return _mm_or_si128(_mm_or_si128(r5, g6), b5);
}

// Colour fractions of 2^15 as RGB565 lanes, rounded.
inline __m128i pack8(__m128i r, __m128i g, __m128i b) {
    const __m128i r5 =
        _mm_srli_epi16(_mm_add_epi16(_mm_mulhi_epu16(r, _mm_set1_epi16(short(31 << 11))), _mm_set1_epi16(512)), 10);
    const __m128i g6 =
        _mm_srli_epi16(_mm_add_epi16(_mm_mulhi_epu16(g, _mm_set1_epi16(short(63 << 10))), _mm_set1_epi16(256)), 9);
    const __m128i b5 =
        _mm_srli_epi16(_mm_add_epi16(_mm_mulhi_epu16(b, _mm_set1_epi16(short(31 << 11))), _mm_set1_epi16(512)), 10);
    return _mm_or_si128(_mm_or_si128(_mm_slli_epi16(r5, 11), _mm_slli_epi16(g6, 5)), b5);
}

// Colour fractions of 2^24 in 32-bit lanes as fractions of 2^15 in 16-bit
// ones (a little below nothing is nothing).
inline __m128i fraction15(lanes k) { return _mm_max_epi16(narrow<9>(k), _mm_setzero_si128()); }

// What the groups of one triangle share: the flat colour (fractions of
// 2^15, or the RGB565 value untextured) and the map.
struct group_state {
    __m128i kr, kg, kb, flat;
    __m128i wm, hm, lw; // texel masks, and log2 of the map's width
    const vt_uint_8 *texels;
    const vt_uint_16 *lut;
};

template <int TX> group_state groupOf(const sr_paint &p, const sr_tri &s) {
    group_state g{};
    auto k15 = [](vt_int_32 k) { return _mm_set1_epi16(short(k >> 9 > 32767 ? 32767 : k >> 9)); };
    if (p.shade == SR_SHADE_NONE && TX != B_NONE) {
        g.kr = g.kg = g.kb = _mm_set1_epi16(32767); // the texel as it is
    } else if (p.shade != SR_SHADE_SMOOTH) {
        g.kr = k15(s.flat[0]), g.kg = k15(s.flat[1]), g.kb = k15(s.flat[2]);
        g.flat = _mm_set1_epi16(short(s.flat565));
    }
    if constexpr (TX != B_NONE) {
        g.wm = _mm_set1_epi16(short(s.wm)), g.hm = _mm_set1_epi16(short(s.hm));
        g.lw = _mm_cvtsi32_si128(__builtin_ctz(unsigned(p.tex_w)));
        g.texels = s.texels;
        g.lut = p.lut;
    }
    return g;
}

// The interpolants of a group of eight pixels: depth 16.16, colour
// fractions of 2^24, texels 16.16.
struct group {
    lanes z, k0, k1, k2, u, v;
};

inline lanes add(lanes a, lanes d) { return lanes{_mm_add_epi32(a.lo, d.lo), _mm_add_epi32(a.hi, d.hi)}; }

template <bool SMOOTH, int TX> inline group add(const group &a, const group &d) {
    group r = a;
    r.z = add(a.z, d.z);
    if constexpr (SMOOTH)
        r.k0 = add(a.k0, d.k0), r.k1 = add(a.k1, d.k1), r.k2 = add(a.k2, d.k2);
    if constexpr (TX != B_NONE)
        r.u = add(a.u, d.u), r.v = add(a.v, d.v);
    return r;
}

// Draws the lanes of mask (16-bit lanes, all ones where covered) of the
// eight pixels from crow (and zrow) on that pass the depth test.
template <bool DEPTH, bool SMOOTH, int TX>
SR_ALWAYS_INLINE inline void group8(const group_state &g, __m128i mask, const group &i, vt_uint_8 *crow,
                                    vt_uint_8 *zrow) {
    const __m128i bias = _mm_set1_epi16(short(0x8000));
    __m128i zs = _mm_setzero_si128(), stored = zs;
    if constexpr (DEPTH) {
        // Depth as the buffer holds it less 32768, so that signed
        // comparison orders it.
        zs = narrow<16>(i.z);
        stored = _mm_loadu_si128(reinterpret_cast<const __m128i *>(zrow));
        mask = _mm_andnot_si128(_mm_cmpgt_epi16(zs, _mm_xor_si128(stored, bias)), mask);
    }
    if (_mm_movemask_epi8(mask) == 0)
        return;
    __m128i kr = g.kr, kg = g.kg, kb = g.kb, colour;
    if constexpr (SMOOTH)
        kr = fraction15(i.k0), kg = fraction15(i.k1), kb = fraction15(i.k2);
    if constexpr (TX != B_NONE) {
        const __m128i tu = _mm_and_si128(narrow<16>(i.u), g.wm), tv = _mm_and_si128(narrow<16>(i.v), g.hm);
        colour = modulate8(fetch8<TX>(_mm_or_si128(_mm_sll_epi16(tv, g.lw), tu), g.texels, g.lut), kr, kg, kb);
    } else if constexpr (SMOOTH) {
        colour = pack8(kr, kg, kb);
    } else {
        colour = g.flat;
    }
    auto *cp = reinterpret_cast<__m128i *>(crow);
    const __m128i old = _mm_loadu_si128(cp);
    _mm_storeu_si128(cp, _mm_or_si128(_mm_and_si128(mask, colour), _mm_andnot_si128(mask, old)));
    if constexpr (DEPTH)
        _mm_storeu_si128(reinterpret_cast<__m128i *>(zrow),
                         _mm_or_si128(_mm_and_si128(mask, _mm_xor_si128(zs, bias)), _mm_andnot_si128(mask, stored)));
}

// A triangle of at most eight columns: each row of its bounding box one
// group, the lanes stepping from row to row.
template <bool DEPTH, bool SMOOTH, int TX>
void block16(const sr_target &__restrict t, const sr_paint &__restrict p, const sr_tri &__restrict s) {
    const group_state g = groupOf<TX>(p, s);
    const int bx = s.c0;
    const float fx = float(bx) + 0.5f - s.x0, fy = float(s.r0) + 0.5f - s.y0;
    // The lanes of the first row, and their steps a row.
    const v4f scale = {65536, kColourUnit, kColourUnit, kColourUnit};
    const v4f a = (s.a + s.adx * fx + s.ady * fy) * scale, adx = s.adx * scale;
    const v4i ady = (v4i)_mm_cvttps_epi32(s.ady * scale);
    auto both = [](vt_int_32 d) { return lanes{_mm_set1_epi32(d), _mm_set1_epi32(d)}; };
    group i{}, d{};
    i.z = lanesOf(a[0], adx[0]), d.z = both(ady[0]);
    if constexpr (SMOOTH) {
        i.k0 = lanesOf(a[1], adx[1]), i.k1 = lanesOf(a[2], adx[2]), i.k2 = lanesOf(a[3], adx[3]);
        d.k0 = both(ady[1]), d.k1 = both(ady[2]), d.k2 = both(ady[3]);
    }
    if constexpr (TX != B_NONE) {
        const v4f ta = (s.t + s.tdx * fx + s.tdy * fy) * 65536, tdx = s.tdx * 65536;
        const v4i tdy = (v4i)_mm_cvttps_epi32(s.tdy * 65536);
        i.u = lanesOf(ta[0], tdx[0]), i.v = lanesOf(ta[1], tdx[1]);
        d.u = both(tdy[0]), d.v = both(tdy[1]);
    }
    // Lane centres, and the two edges of each half.
    const __m128 px0 = _mm_setr_ps(float(bx) + 0.5f, float(bx) + 1.5f, float(bx) + 2.5f, float(bx) + 3.5f);
    const __m128 px1 = _mm_add_ps(px0, _mm_set1_ps(4));
    const sr_edge *left[2] = {&s.lng, &s.lng}, *right[2] = {&s.upper, &s.lower};
    if (s.long_right)
        std::swap(left, right);
    const int from[2] = {s.r0, s.r1}, to[2] = {s.r1, s.r2};
    vt_uint_8 *crow = t.colour + ptrdiff_t(s.r0) * t.colour_row + 2 * bx;
    vt_uint_8 *zrow = DEPTH ? t.depth + ptrdiff_t(s.r0) * t.depth_row + 2 * bx : nullptr;
    for (int h = 0; h < 2; h++) {
        const v4f ex = {left[h]->x, right[h]->x, 0, 0}, ey = {left[h]->y, right[h]->y, 0, 0};
        const v4f slope = {left[h]->slope, right[h]->slope, 0, 0};
        v4f yc = splat(float(from[h]) + 0.5f);
        for (int y = from[h]; y < to[h]; y++, yc += 1) {
            // Covered: centre at or right of the left edge, left of the
            // right one (as the scan lines decide it).
            const __m128 x = (__m128)(ex + (yc - ey) * slope);
            const __m128 xl = _mm_shuffle_ps(x, x, 0x00), xr = _mm_shuffle_ps(x, x, 0x55);
            const __m128 in0 = _mm_and_ps(_mm_cmpge_ps(px0, xl), _mm_cmplt_ps(px0, xr));
            const __m128 in1 = _mm_and_ps(_mm_cmpge_ps(px1, xl), _mm_cmplt_ps(px1, xr));
            group8<DEPTH, SMOOTH, TX>(g, _mm_packs_epi32(_mm_castps_si128(in0), _mm_castps_si128(in1)), i, crow, zrow);
            i = add<SMOOTH, TX>(i, d);
            crow += t.colour_row;
            if constexpr (DEPTH)
                zrow += t.depth_row;
        }
    }
}

// Lane j of d times j, and d times 8, wrapping.
inline lanes rampOf(vt_int_32 d, __m128i *eight) {
    const vt_uint_32 e = vt_uint_32(d);
    *eight = _mm_set1_epi32(vt_int_32(8 * e));
    return lanes{_mm_setr_epi32(0, vt_int_32(e), vt_int_32(2 * e), vt_int_32(3 * e)),
                 _mm_setr_epi32(vt_int_32(4 * e), vt_int_32(5 * e), vt_int_32(6 * e), vt_int_32(7 * e))};
}

// Lanes starting at v (lane 0) by the ramp r.
inline lanes from(vt_int_32 v, const lanes &r) {
    const __m128i b = _mm_set1_epi32(v);
    return lanes{_mm_add_epi32(b, r.lo), _mm_add_epi32(b, r.hi)};
}

// Larger triangles: each span a group at a time.
template <bool DEPTH, bool SMOOTH, int TX>
void span16(const sr_target &__restrict t, const sr_paint &__restrict p, const sr_tri &__restrict s) {
    const group_state g = groupOf<TX>(p, s);
    const v4f scale = {65536, kColourUnit, kColourUnit, kColourUnit};
    const v4i dx = toFixed(s.adx, v4f{-32767, -255, -255, -255}, v4f{32767, 255, 255, 255}, scale);
    // Each lane's offset from lane 0, and the step from a group to the next.
    group ramp{}, step{};
    __m128i e;
    ramp.z = rampOf(dx[0], &e), step.z = lanes{e, e};
    if constexpr (SMOOTH) {
        ramp.k0 = rampOf(dx[1], &e), step.k0 = lanes{e, e};
        ramp.k1 = rampOf(dx[2], &e), step.k1 = lanes{e, e};
        ramp.k2 = rampOf(dx[3], &e), step.k2 = lanes{e, e};
    }
    if constexpr (TX != B_NONE) {
        ramp.u = rampOf(vt_int_32(s.du), &e), step.u = lanes{e, e};
        ramp.v = rampOf(vt_int_32(s.dv), &e), step.v = lanes{e, e};
    }
    const __m128i lane = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7);
    walk(t.width, s, [&](int y, int xs, int xe) SR_ALWAYS_INLINE {
        const float fx = float(xs) + 0.5f - s.x0, fy = float(y) + 0.5f - s.y0;
        const v4i a = toFixed(s.a + s.adx * fx + s.ady * fy, kRangeRGB.lo, kRangeRGB.hi, kRangeRGB.scale);
        group i{};
        i.z = from(a[0], ramp.z);
        if constexpr (SMOOTH)
            i.k0 = from(a[1], ramp.k0), i.k1 = from(a[2], ramp.k1), i.k2 = from(a[3], ramp.k2);
        if constexpr (TX != B_NONE) {
            const v4i uv = toFixed(s.t + s.tdx * fx + s.tdy * fy, splat(-kTexLimit), splat(kTexLimit), splat(65536));
            i.u = from(uv[0], ramp.u), i.v = from(uv[1], ramp.v);
        }
        vt_uint_8 *crow = t.colour + ptrdiff_t(y) * t.colour_row + 2 * xs;
        vt_uint_8 *zrow = DEPTH ? t.depth + ptrdiff_t(y) * t.depth_row + 2 * xs : nullptr;
        for (int n = xe - xs;; n -= 8) {
            group8<DEPTH, SMOOTH, TX>(g, _mm_cmpgt_epi16(_mm_set1_epi16(short(n)), lane), i, crow, zrow);
            if (n <= 8)
                break;
            i = add<SMOOTH, TX>(i, step);
            crow += 16;
            if constexpr (DEPTH)
                zrow += 16;
        }
    });
}

typedef void block_fn(const sr_target &t, const sr_paint &p, const sr_tri &s);

// Index: depth x 6 + smooth x 3 + texture.
#define SR_KERNELS(K)                                                                                                  \
    {                                                                                                                  \
        &K<false, false, B_NONE>, &K<false, false, B_565>, &K<false, false, B_LUT>, &K<false, true, B_NONE>,           \
            &K<false, true, B_565>, &K<false, true, B_LUT>, &K<true, false, B_NONE>, &K<true, false, B_565>,           \
            &K<true, false, B_LUT>, &K<true, true, B_NONE>, &K<true, true, B_565>, &K<true, true, B_LUT>               \
    }
constexpr block_fn *kBlocks[12] = SR_KERNELS(block16);
constexpr block_fn *kSpans[12] = SR_KERNELS(span16);
#undef SR_KERNELS

// |values| across the bounding box: at lane 0 of the first row, plus at
// most seven steps along x and rows - 1 along y.
inline v4f extent(v4f at, v4f dx, v4f dy, float rows) {
    const v4f sign = splat(-0.0f);
    const __m128 a = _mm_andnot_ps(sign, at), x = _mm_andnot_ps(sign, dx), y = _mm_andnot_ps(sign, dy);
    return a + x * 7 + y * (rows - 1);
}

} // namespace

namespace sr {

bool drawGroups(const sr_target &t, const sr_paint &p, const sr_tri &s, int zm) {
    if (t.type != VT_PMT_RGB_565 || p.blend != SR_BLEND_NONE || (zm != Z_LE && zm != Z_NONE))
        return false;
    const bool textured = p.tex != SR_TEX_NONE && p.texels != nullptr;
    int tx = B_NONE;
    if (textured) {
        const int bytes = p.tex == SR_TEX_565 ? 2 : 1;
        if ((p.tex != SR_TEX_565 && p.tex != SR_TEX_INDEX) || !s.affine || p.wrap_u != SR_WRAP || p.wrap_v != SR_WRAP ||
            p.tex_w <= 0 || p.tex_h <= 0 || (p.tex_w & (p.tex_w - 1)) != 0 || (p.tex_h & (p.tex_h - 1)) != 0 ||
            p.tex_row != p.tex_w * bytes || p.tex_w * p.tex_h > 65536)
            return false;
        tx = p.tex == SR_TEX_565 ? B_565 : B_LUT;
    }
    const int kind = (zm == Z_LE ? 6 : 0) + (p.shade == SR_SHADE_SMOOTH ? 3 : 0) + tx;
    if (s.c1 - s.c0 <= 8 && s.c0 + 8 <= t.width) {
        // Every lane of every row must hold its value without wrapping:
        // depth within the target's range, colour and texels well within
        // 16.16 (not below the limit: NaN fails too).
        const float fx = float(s.c0) + 0.5f - s.x0, fy = float(s.r0) + 0.5f - s.y0, rows = float(s.r2 - s.r0);
        const v4f limits = {32767, 30000, 30000, 30000};
        const bool fits =
            _mm_movemask_ps(_mm_cmpnlt_ps(extent(s.a + s.adx * fx + s.ady * fy, s.adx, s.ady, rows), limits)) == 0 &&
            (tx == B_NONE ||
             (_mm_movemask_ps(_mm_cmpnlt_ps(extent(s.t + s.tdx * fx + s.tdy * fy, s.tdx, s.tdy, rows), limits)) & 3) ==
                 0);
        if (fits) {
            kBlocks[kind](t, p, s);
            return true;
        }
    }
    // A span's last group reaches at most seven pixels past the triangle.
    if (s.c1 + 7 > t.width)
        return false;
    kSpans[kind](t, p, s);
    return true;
}

} // namespace sr
