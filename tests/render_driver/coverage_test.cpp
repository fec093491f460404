// The triangle routine itself: triangles that share an edge cover each
// pixel along it exactly once (small ones go eight pixels at a time, large
// ones by scan lines, and the two must agree), and no triangle, whatever
// its corners, draws outside its target.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "render/drivers/srstate.h"

namespace {

constexpr int kGuard = 8;
constexpr vt_uint_8 kBorder = 0xA5;

// A w x h target (and its depth buffer) inside a border that drawing must
// leave alone.
struct canvas {
    int w, h, bytes;
    std::vector<vt_uint_8> colour, depth;
    sr_target t{};

    canvas(int width, int height, vt_uint_8 type)
        : w(width),
          h(height),
          bytes(type == VT_PMT_RGB_565 ? 2 : 1),
          colour(size_t(width + 2 * kGuard) * (height + 2 * kGuard) * bytes, kBorder),
          depth(size_t(width + 2 * kGuard) * (height + 2 * kGuard) * 2, kBorder) {
        t.colour_row = (w + 2 * kGuard) * bytes;
        t.depth_row = (w + 2 * kGuard) * 2;
        t.colour = colour.data() + kGuard * t.colour_row + kGuard * bytes;
        t.depth = depth.data() + kGuard * t.depth_row + kGuard * 2;
        t.width = w;
        t.height = h;
        t.type = type;
        clear();
    }
    void clear() {
        for (int y = 0; y < h; y++) {
            memset(t.colour + y * t.colour_row, 0, size_t(w) * bytes);
            memset(t.depth + y * t.depth_row, 0xFF, size_t(w) * 2);
        }
    }
    bool drawn(int x, int y) const {
        const vt_uint_8 *p = t.colour + y * t.colour_row + x * bytes;
        return p[0] != 0 || (bytes == 2 && p[1] != 0);
    }
    bool borderIntact() const {
        for (const auto *buf : {&colour, &depth}) {
            const int px = buf == &colour ? bytes : 2, row = (w + 2 * kGuard) * px;
            for (int y = 0; y < h + 2 * kGuard; y++)
                for (int x = 0; x < row; x++) {
                    const bool inside = y >= kGuard && y < kGuard + h && x >= kGuard * px && x < (kGuard + w) * px;
                    if (!inside && (*buf)[size_t(y) * row + x] != kBorder) return false;
                }
        }
        return true;
    }
};

sr_paint flatPaint(vt_uint_8 target) {
    sr_paint p{};
    p.target = target;
    p.shade = SR_SHADE_FLAT;
    p.depth_test = VTT_LESS_OR_EQUAL;
    p.depth_write = 1;
    p.opacity = 256;
    return p;
}

sr_svert at(float x, float y) {
    sr_svert v{};
    v.x = x;
    v.y = y;
    v.q = 1;
    v.c[0] = v.c[1] = v.c[2] = 200;
    return v;
}

struct pt {
    float x, y;
};

struct sharing_case {
    const char *what;
    std::vector<pt> corners;
    std::vector<std::array<int, 3>> triangles;  // corners of each
    std::vector<int> outline;  // the union: a convex polygon, clockwise on the screen
};

// How far (x, y) lies inside the convex outline: the least distance to
// its edges, negative outside.
float inside(const sharing_case &c, float x, float y) {
    float d = std::numeric_limits<float>::max();
    for (size_t i = 0; i < c.outline.size(); i++) {
        const pt a = c.corners[size_t(c.outline[i])], b = c.corners[size_t(c.outline[(i + 1) % c.outline.size()])];
        const float ex = b.x - a.x, ey = b.y - a.y;
        d = std::min(d, ((x - a.x) * ey - (y - a.y) * ex) / std::sqrt(ex * ex + ey * ey));
    }
    return d;
}

std::vector<sharing_case> sharingCases() {
    std::vector<sharing_case> cases;
    cases.push_back({"square on pixel centres, split corner to corner",
                     {{2.5f, 2.5f}, {2.5f, 12.5f}, {12.5f, 12.5f}, {12.5f, 2.5f}},
                     {{0, 1, 2}, {0, 2, 3}},
                     {0, 1, 2, 3}});
    cases.push_back({"edge along a row of centres",
                     {{7.3f, 1.2f}, {2.5f, 6.5f}, {6.1f, 11.9f}, {12.5f, 6.5f}},
                     {{0, 1, 3}, {1, 2, 3}},
                     {0, 1, 2, 3}});
    cases.push_back({"edge along a column of centres",
                     {{6.5f, 2.5f}, {1.2f, 7.7f}, {6.5f, 13.5f}, {11.9f, 9.1f}},
                     {{0, 1, 2}, {0, 2, 3}},
                     {0, 1, 2, 3}});
    cases.push_back({"a wide triangle beside a narrow one",
                     {{20.5f, 3.1f}, {2.2f, 9.4f}, {23.9f, 17.8f}, {26.1f, 10.3f}},
                     {{0, 1, 2}, {0, 2, 3}},
                     {0, 1, 2, 3}});
    // Fans around a centre: eight around a pixel centre (spokes through
    // centres), twelve around a pixel corner, seven at odd angles.
    struct fan {
        const char *what;
        float cx, cy, r0, r1;
        int n;
        float turn;
    };
    for (const fan &f : {fan{"eight around a pixel centre", 16.5f, 11.5f, 8, 8, 8, 0},
                         fan{"twelve around a pixel corner", 16, 11, 9.3f, 9.3f, 12, 0.1f},
                         fan{"seven at odd angles", 17.37f, 10.81f, 6.2f, 9.9f, 7, 0.37f}}) {
        sharing_case c{f.what, {{f.cx, f.cy}}, {}, {}};
        for (int i = 0; i < f.n; i++) {
            const float a = f.turn + 6.2831853f * float(i) / float(f.n), r = i % 2 ? f.r1 : f.r0;
            c.corners.push_back({f.cx + r * std::cos(a), f.cy - r * std::sin(a)});
            c.triangles.push_back({0, 1 + i, 1 + (i + 1) % f.n});
            c.outline.push_back(1 + i);
        }
        cases.push_back(c);
    }
    return cases;
}

TEST(SoftCoverage, TrianglesSharingAnEdgeCoverEachPixelOnce) {
    for (vt_uint_8 type : {vt_uint_8(VT_PMT_RGB_565), vt_uint_8(VT_PMT_INDEX_8)})
        for (const sharing_case &c : sharingCases()) {
            canvas cv(40, 24, type);
            std::vector<int> count(size_t(cv.w) * cv.h, 0);
            const sr_paint p = flatPaint(type);
            const sr_flat flat = {{200, 200, 200}};
            for (const auto &tri : c.triangles) {
                cv.clear();
                const sr_svert a = at(c.corners[size_t(tri[0])].x, c.corners[size_t(tri[0])].y);
                const sr_svert b = at(c.corners[size_t(tri[1])].x, c.corners[size_t(tri[1])].y);
                const sr_svert d = at(c.corners[size_t(tri[2])].x, c.corners[size_t(tri[2])].y);
                SrTriangle(cv.t, p, &a, &b, &d, flat);
                for (int y = 0; y < cv.h; y++)
                    for (int x = 0; x < cv.w; x++) count[size_t(y) * cv.w + x] += cv.drawn(x, y) ? 1 : 0;
            }
            int shared = 0;
            for (int y = 0; y < cv.h; y++)
                for (int x = 0; x < cv.w; x++) {
                    const int n = count[size_t(y) * cv.w + x];
                    const float d = inside(c, float(x) + 0.5f, float(y) + 0.5f);
                    // Centres on the outline itself go by the fill rule.
                    if (d > 1e-3f)
                        EXPECT_EQ(n, 1) << c.what << " at " << x << "," << y
                                        << (type == VT_PMT_INDEX_8 ? " (8-bit)" : "");
                    else if (d < -1e-3f) EXPECT_EQ(n, 0) << c.what << " at " << x << "," << y;
                    else EXPECT_LE(n, 1) << c.what << " at " << x << "," << y;
                    shared += n;
                }
            EXPECT_GT(shared, 20) << c.what;
            EXPECT_TRUE(cv.borderIntact()) << c.what;
        }
}

TEST(SoftCoverage, TheFillRuleTakesLeftAndTopEdges) {
    // A square whose edges run through pixel centres: the centres on its
    // left and top edges are in, those on its right and bottom edges out.
    canvas cv(16, 16, VT_PMT_RGB_565);
    const sr_svert a = at(2.5f, 3.5f), b = at(2.5f, 9.5f), c = at(8.5f, 9.5f), d = at(8.5f, 3.5f);
    const sr_paint p = flatPaint(VT_PMT_RGB_565);
    const sr_flat flat = {{255, 255, 255}};
    SrTriangle(cv.t, p, &a, &b, &c, flat);
    SrTriangle(cv.t, p, &a, &c, &d, flat);
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) EXPECT_EQ(cv.drawn(x, y), x >= 2 && x < 8 && y >= 3 && y < 9) << x << "," << y;
}

TEST(SoftCoverage, BadCornersDrawNothingOutsideTheTarget) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const struct {
        const char *what;
        float v[3][2];
    } cases[] = {
        {"no area", {{1, 1}, {10, 10}, {20, 20}}},
        {"one point", {{5.5f, 5.5f}, {5.5f, 5.5f}, {5.5f, 5.5f}}},
        {"needle", {{-3, 2}, {40, 20.001f}, {40, 20.002f}}},
        {"needle across", {{0.1f, 0.2f}, {30.7f, 19.6f}, {30.7001f, 19.6002f}}},
        {"a NaN", {{nan, 3}, {10, 10}, {2, 15}}},
        {"infinities", {{-inf, -inf}, {inf, 3}, {4, inf}}},
        {"huge", {{-1e30f, -1e30f}, {1e30f, 5}, {5, 1e30f}}},
        {"far beyond", {{-5000, -4000}, {6000, 10}, {20, 7000}}},
        {"sliver of a pixel", {{3.2f, 3.2f}, {3.3f, 3.21f}, {3.25f, 3.9f}}},
    };
    std::vector<vt_uint_16> texels(16 * 16, 0x7BEF);
    std::vector<vt_uint_8> index(16 * 16, 7), shade(256 * 64, 9);
    for (const auto &c : cases)
        for (int kind = 0; kind < 5; kind++) {
            const vt_uint_8 type = kind < 2 ? VT_PMT_RGB_565 : VT_PMT_INDEX_8;
            canvas cv(24, 18, type);
            sr_paint p = flatPaint(type);
            if (kind == 1) {  // smooth, textured with perspective
                p.shade = SR_SHADE_SMOOTH;
                p.tex = SR_TEX_565;
                p.texels = reinterpret_cast<const vt_uint_8 *>(texels.data());
                p.tex_row = 32, p.tex_w = 16, p.tex_h = 16, p.perspective = 1;
            } else if (kind == 4) {  // a colour map down a ramp of a range no index holds
                p.shade = SR_SHADE_SMOOTH;
                p.tex = SR_TEX_565;
                p.texels = reinterpret_cast<const vt_uint_8 *>(texels.data());
                p.tex_row = 32, p.tex_w = 16, p.tex_h = 16;
                p.index_base = 100;
                p.index_range = 1 << 30;
            } else if (kind == 3) {  // smooth, through a shade table
                p.shade = SR_SHADE_SMOOTH;
                p.tex = SR_TEX_INDEX;
                p.texels = index.data();
                p.tex_row = 16, p.tex_w = 16, p.tex_h = 16, p.wrap_u = SR_MIRROR;
                p.shade_table = shade.data();
                p.shade_row = 256;
            }
            sr_svert v[3];
            for (int k = 0; k < 3; k++) {
                v[k] = at(c.v[k][0], c.v[k][1]);
                // Attributes as wild as the corners.
                v[k].z = k == 0 ? 32767 : -32767;
                v[k].u = c.v[k][0] * 1e5f;
                v[k].v = c.v[k][1] * 3;
                v[k].q = k == 1 ? 1e-30f : 1;
                v[k].c[0] = k == 2 ? 255 : 0;
            }
            const sr_flat flat = {{255, 0, 128}};
            SrTriangle(cv.t, p, &v[0], &v[1], &v[2], flat);
            SrTriangle(cv.t, p, &v[2], &v[1], &v[0], flat);
            EXPECT_TRUE(cv.borderIntact()) << c.what << " kind " << kind;
        }
}

}  // namespace
