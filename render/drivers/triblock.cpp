// Small triangles eight pixels of a row at a time. Most triangles of a
// detailed model cover a few pixels on a few rows, where a scan line's set-up
// and its short, ever-different loop cost more than its pixels. Here each
// row of the triangle's bounding box (at most eight columns) is one block
// of eight pixels: the same edges as the scan lines decide which are
// covered, depth, colour and texture coordinates sit in vector lanes that
// step from row to row, and the covered pixels that pass the depth test
// are merged into the row with one store.
#include <cstdint>
#include <utility>

#include "render/drivers/triset.h"

namespace {

using namespace sr;

// Eight 32-bit lanes.
struct lanes {
    __m128i lo, hi;
};

inline lanes add(lanes a, __m128i d) { return lanes{_mm_add_epi32(a.lo, d), _mm_add_epi32(a.hi, d)}; }

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

template <bool DEPTH, bool SMOOTH, int TX>
void block16(const sr_target &__restrict t, const sr_paint &__restrict p, const tri &__restrict s) {
    const int bx = s.c0;
    const float fx = float(bx) + 0.5f - s.x0, fy = float(s.r0) + 0.5f - s.y0;
    // Depth 16.16, colour fractions of 2^24, texels 16.16, at lane 0 of the
    // first row.
    const v4f scale = {65536, kColourUnit, kColourUnit, kColourUnit};
    const v4f a = (s.a + s.adx * fx + s.ady * fy) * scale, adx = s.adx * scale;
    const v4i ady = (v4i)_mm_cvttps_epi32(s.ady * scale);
    lanes z = lanesOf(a[0], adx[0]);
    const __m128i dz = _mm_set1_epi32(ady[0]);
    lanes k0{}, k1{}, k2{};
    __m128i dk0 = _mm_setzero_si128(), dk1 = dk0, dk2 = dk0;
    __m128i kr = dk0, kg = dk0, kb = dk0, flat = dk0;
    if constexpr (SMOOTH) {
        k0 = lanesOf(a[1], adx[1]), k1 = lanesOf(a[2], adx[2]), k2 = lanesOf(a[3], adx[3]);
        dk0 = _mm_set1_epi32(ady[1]), dk1 = _mm_set1_epi32(ady[2]), dk2 = _mm_set1_epi32(ady[3]);
    } else if (p.shade == SR_SHADE_NONE && TX != B_NONE) {
        kr = kg = kb = _mm_set1_epi16(32767); // the texel as it is
    } else {
        kr = _mm_set1_epi16(short(s.flat[0] >> 9 > 32767 ? 32767 : s.flat[0] >> 9));
        kg = _mm_set1_epi16(short(s.flat[1] >> 9 > 32767 ? 32767 : s.flat[1] >> 9));
        kb = _mm_set1_epi16(short(s.flat[2] >> 9 > 32767 ? 32767 : s.flat[2] >> 9));
        flat = _mm_set1_epi16(short(s.flat565));
    }
    lanes u{}, v{};
    __m128i du = _mm_setzero_si128(), dv = du, wm = du, hm = du, lw = du;
    const vt_uint_8 *texels = s.texels;
    const vt_uint_16 *lut = p.lut;
    if constexpr (TX != B_NONE) {
        const v4f ta = (s.t + s.tdx * fx + s.tdy * fy) * 65536, tdx = s.tdx * 65536;
        const v4i tdy = (v4i)_mm_cvttps_epi32(s.tdy * 65536);
        u = lanesOf(ta[0], tdx[0]), v = lanesOf(ta[1], tdx[1]);
        du = _mm_set1_epi32(tdy[0]), dv = _mm_set1_epi32(tdy[1]);
        wm = _mm_set1_epi16(short(s.wm)), hm = _mm_set1_epi16(short(s.hm));
        lw = _mm_cvtsi32_si128(__builtin_ctz(unsigned(p.tex_w)));
    }
    // Lane centres, and the two edges of each half.
    const __m128 px0 = _mm_setr_ps(float(bx) + 0.5f, float(bx) + 1.5f, float(bx) + 2.5f, float(bx) + 3.5f);
    const __m128 px1 = _mm_add_ps(px0, _mm_set1_ps(4));
    const edge *left[2] = {&s.lng, &s.lng}, *right[2] = {&s.upper, &s.lower};
    if (s.long_right)
        std::swap(left, right);
    const int from[2] = {s.r0, s.r1}, to[2] = {s.r1, s.r2};
    vt_uint_8 *crow = t.colour + ptrdiff_t(s.r0) * t.colour_row + 2 * bx;
    vt_uint_8 *zrow = DEPTH ? t.depth + ptrdiff_t(s.r0) * t.depth_row + 2 * bx : nullptr;
    const __m128i bias = _mm_set1_epi16(short(0x8000));
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
            __m128i mask = _mm_packs_epi32(_mm_castps_si128(in0), _mm_castps_si128(in1));
            __m128i zs = _mm_setzero_si128(), stored = zs;
            if constexpr (DEPTH) {
                // Depth as the buffer holds it less 32768, so that signed
                // comparison orders it.
                zs = narrow<16>(z);
                stored = _mm_loadu_si128(reinterpret_cast<const __m128i *>(zrow));
                mask = _mm_andnot_si128(_mm_cmpgt_epi16(zs, _mm_xor_si128(stored, bias)), mask);
            }
            if (_mm_movemask_epi8(mask) != 0) {
                __m128i colour;
                if constexpr (SMOOTH) {
                    kr = fraction15(k0), kg = fraction15(k1), kb = fraction15(k2);
                }
                if constexpr (TX != B_NONE) {
                    const __m128i tu = _mm_and_si128(narrow<16>(u), wm), tv = _mm_and_si128(narrow<16>(v), hm);
                    const __m128i texel = fetch8<TX>(_mm_or_si128(_mm_sll_epi16(tv, lw), tu), texels, lut);
                    colour = modulate8(texel, kr, kg, kb);
                } else if constexpr (SMOOTH) {
                    colour = pack8(kr, kg, kb);
                } else {
                    colour = flat;
                }
                auto *cp = reinterpret_cast<__m128i *>(crow);
                const __m128i old = _mm_loadu_si128(cp);
                _mm_storeu_si128(cp, _mm_or_si128(_mm_and_si128(mask, colour), _mm_andnot_si128(mask, old)));
                if constexpr (DEPTH)
                    _mm_storeu_si128(
                        reinterpret_cast<__m128i *>(zrow),
                        _mm_or_si128(_mm_and_si128(mask, _mm_xor_si128(zs, bias)), _mm_andnot_si128(mask, stored)));
            }
            z = add(z, dz);
            if constexpr (SMOOTH)
                k0 = add(k0, dk0), k1 = add(k1, dk1), k2 = add(k2, dk2);
            if constexpr (TX != B_NONE)
                u = add(u, du), v = add(v, dv);
            crow += t.colour_row;
            if constexpr (DEPTH)
                zrow += t.depth_row;
        }
    }
}

typedef void block_fn(const sr_target &t, const sr_paint &p, const tri &s);

// Index: depth x 6 + smooth x 3 + texture.
constexpr block_fn *kBlocks[12] = {
    &block16<false, false, B_NONE>, &block16<false, false, B_565>, &block16<false, false, B_LUT>,
    &block16<false, true, B_NONE>,  &block16<false, true, B_565>,  &block16<false, true, B_LUT>,
    &block16<true, false, B_NONE>,  &block16<true, false, B_565>,  &block16<true, false, B_LUT>,
    &block16<true, true, B_NONE>,   &block16<true, true, B_565>,   &block16<true, true, B_LUT>,
};

// |values| across the bounding box: at lane 0 of the first row, plus at
// most seven steps along x and rows - 1 along y.
inline v4f extent(v4f at, v4f dx, v4f dy, float rows) {
    const v4f sign = splat(-0.0f);
    const __m128 a = _mm_andnot_ps(sign, at), x = _mm_andnot_ps(sign, dx), y = _mm_andnot_ps(sign, dy);
    return a + x * 7 + y * (rows - 1);
}

} // namespace

namespace sr {

bool BlockTriangle(const sr_target &t, const sr_paint &p, const tri &s, int zm) {
    if (t.type != VT_PMT_RGB_565 || p.blend != SR_BLEND_NONE || s.c1 - s.c0 > 8 || s.c0 + 8 > t.width ||
        (zm != Z_LE && zm != Z_NONE))
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
    // Every lane of every row must hold its value without wrapping: depth
    // within the target's range, colour and texels well within 16.16.
    const float fx = float(s.c0) + 0.5f - s.x0, fy = float(s.r0) + 0.5f - s.y0, rows = float(s.r2 - s.r0);
    const v4f limits = {32767, 30000, 30000, 30000};
    // (Not below the limit: NaN fails too.)
    if (_mm_movemask_ps(_mm_cmpnlt_ps(extent(s.a + s.adx * fx + s.ady * fy, s.adx, s.ady, rows), limits)) != 0)
        return false;
    if (tx != B_NONE &&
        (_mm_movemask_ps(_mm_cmpnlt_ps(extent(s.t + s.tdx * fx + s.tdy * fy, s.tdx, s.tdy, rows), limits)) & 3) != 0)
        return false;
    const bool smooth = p.shade == SR_SHADE_SMOOTH;
    kBlocks[(zm == Z_LE ? 6 : 0) + (smooth ? 3 : 0) + tx](t, p, s);
    return true;
}

} // namespace sr
