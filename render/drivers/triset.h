// The triangle set-up shared by the scan-line kernels (triangle.cpp) and
// the kernels that draw triangles eight pixels at a time (triblock.cpp):
// the set-up record, the coverage rule, the walk down the rows and the
// vector arithmetic both use.
#pragma once

#include <emmintrin.h>

#include "render/drivers/raster.h"

namespace sr {

// The scan-line walk, the span set-up and the pixel loops are written as
// small pieces but must become one loop nest per kernel.
#define SR_ALWAYS_INLINE __attribute__((always_inline))

typedef float v4f __attribute__((vector_size(16)));
typedef vt_int_32 v4i __attribute__((vector_size(16)));

constexpr int kChunk = 16;
// Texture coordinates are kept within this many texels of a period
// boundary near the triangle, so that they and their steps fit 16.16.
constexpr float kTexLimit = 16000;
constexpr float kMinQ = 1e-20f;
// A triangle this much thinner than long (the sum of the cross terms over
// the area) has gradients rounding could make anything: it is drawn with
// the mean of its corners.
constexpr float kNeedle = 1e4f;
constexpr float kMinArea = 1e-12f;
// The largest texel error the small-triangle path may leave.
constexpr float kAffineError = 0.25f;
// A colour channel 0..255 as a fraction of 2^24.
constexpr float kColourUnit = 16777216.0f / 255.0f;

inline v4f splat(float v) { return v4f{v, v, v, v}; }

// Four floats side by side.
inline v4f load4(const float *f) {
    v4f v;
    __builtin_memcpy(&v, f, sizeof v);
    return v;
}

// v within [lo, hi] lane by lane (NaN: lo, as the SSE instructions do it).
inline v4f clamp4(v4f v, v4f lo, v4f hi) { return _mm_min_ps(_mm_max_ps(v, lo), hi); }

inline v4i toFixed(v4f v, v4f lo, v4f hi, v4f scale) { return __builtin_convertvector(clamp4(v, lo, hi) * scale, v4i); }

// The first pixel whose centre lies at or after c, ceil(c - 0.5), within
// [0, limit - 0.5] (limit: a whole number and a half), lane by lane.
inline v4i firstCentres(v4f c, v4f limit) {
    const v4f f = clamp4(c, splat(0.5f), limit) - 0.5f; // exact
    const v4i i = (v4i)_mm_cvttps_epi32(f);
    // i below f: one more (the comparison's true is -1).
    return i - (v4i)_mm_cmplt_ps(_mm_cvtepi32_ps((__m128i)i), f);
}
inline int firstCentre(float c, float limit) { return firstCentres(splat(c), splat(limit))[0]; }

// The range of depth and colour and their fixed-point scale: RGB
// channels 0..255 as fractions of 2^24; 8-bit indices 0..255 or shade
// levels 0..63, 16.16 with a half added so that the whole part rounds.
struct sr_ranges {
    v4f lo, hi, scale;
};
constexpr float kIndexHi = 255, kLevelHi = 63;
constexpr sr_ranges kRangeRGB = {
    {-32767, 0, 0, 0}, {32767, 255, 255, 255}, {65536, kColourUnit, kColourUnit, kColourUnit}};
constexpr sr_ranges kRangeIndex = {{-32767, 0.5f, 0.5f, 0.5f},
                                {32767, kIndexHi + 0.5f, kIndexHi + 0.5f, kIndexHi + 0.5f},
                                {65536, 65536, 65536, 65536}};
constexpr sr_ranges kRangeLevel = {{-32767, 0.5f, 0.5f, 0.5f},
                                {32767, kLevelHi + 0.5f, kLevelHi + 0.5f, kLevelHi + 0.5f},
                                {65536, 65536, 65536, 65536}};

// An edge's x at the centre of a row.
struct sr_edge {
    float x, y, slope;
};
inline sr_edge edgeOf(const sr_svert &top, const sr_svert &bot) {
    return sr_edge{top.x, top.y, (bot.x - top.x) / (bot.y - top.y)};
}
inline float edgeAt(const sr_edge &e, float yc) { return e.x + (yc - e.y) * e.slope; }

// A triangle set up for drawing.
struct sr_tri {
    float x0, y0;      // the top vertex, where the planes are given
    v4f a, adx, ady;   // depth, colour channels (or index or level)
    v4f t, tdx, tdy;   // u/w, v/w, 1/w; or (affine) u, v
    v4i astep;         // fixed-point x steps of depth and colour
    vt_uint_32 du, dv; // ... and of u and v (affine)
    bool affine, long_right;
    int r0, r1, r2; // rows: first, first below the middle vertex, end
    int c0, c1;     // columns: first, end (of its bounding box)
    sr_edge lng, upper, lower;
    vt_int_32 flat[3]; // 16-bit: fractions of 2^24; 8-bit: index or level
    vt_uint_32 flat565;
    // The map (power-of-two wrapping fetches).
    const vt_uint_8 *texels;
    vt_int_32 row, wm, hm;
    int fetch; // F_* of the map on the target
};

// Calls span(y, xs, xe) for each row's run of pixels [xs, xe).
template <class Span> SR_ALWAYS_INLINE inline void walk(int width, const sr_tri &s, Span span) {
    const v4f limit = splat(float(width) + 0.5f);
    // The upper half between the long edge and the upper one, then the
    // lower half; the left edge's x in lane 0, the right's in lane 1.
    const sr_edge *left[2] = {&s.lng, &s.lng}, *right[2] = {&s.upper, &s.lower};
    if (s.long_right)
        std::swap(left, right);
    const int from[2] = {s.r0, s.r1}, to[2] = {s.r1, s.r2};
    for (int h = 0; h < 2; h++) {
        const v4f ex = {left[h]->x, right[h]->x, 0, 0}, ey = {left[h]->y, right[h]->y, 0, 0};
        const v4f slope = {left[h]->slope, right[h]->slope, 0, 0};
        v4f yc = splat(float(from[h]) + 0.5f);
        for (int y = from[h]; y < to[h]; y++, yc += 1) {
            const v4i x = firstCentres(ex + (yc - ey) * slope, limit);
            if (x[0] < x[1])
                span(y, x[0], x[1]);
        }
    }
}

// Draws a triangle eight pixels of a row at a time when its drawing state
// has such kernels (RGB565, depth LESS_OR_EQUAL or none, no blending, no
// texture or a power-of-two wrapped RGB565 or INDEX_8 map stepped
// affinely) and its groups stay on the target: one of at most eight
// columns a row of its bounding box at a time, others a span at a time.
// False when it did not draw.
bool drawGroups(const sr_target &t, const sr_paint &p, const sr_tri &s, int zm);

} // namespace sr
