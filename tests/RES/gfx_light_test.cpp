// Light effects at 8 bits: glows, glow crosses, light lines, anti-aliased
// colour lines and shaded triangles. The test light tables turn every pixel
// into 16 x table + level, so a pixel tells how it was lit.
#include <algorithm>

#include "RES/util.h"
#include "gfx_fixture.h"

using namespace gfxtest;

namespace {

class Light : public testing::Test {
protected:
    void SetUp() override {
        SetDepth(8);
        LevelLightTables();
        ViewClipRect = {0, 0, 39, 29};
        InitRandomOffsets();  // so that seeding the generator fixes the offsets drawn
    }
    void Masks(uint8_t v) { std::memset(GlowMasks, v, sizeof GlowMasks); }
};

TEST_F(Light, SmallGlowSetsOnePixelClampedIntoTheClip) {
    struct {
        int x, y, size, colour;
        ClipRect clip;
        int px, py;
    } cases[] = {
        {10, 10, 3, 5, {0, 0, 39, 29}, 9, 9},
        {10, 10, 5, 13, {0, 0, 39, 29}, 9, 9},
        {0, 0, 4, 2, {2, 3, 20, 20}, 2, 3},
        {60, 50, -7, 1, {2, 3, 20, 20}, 20, 20},
    };
    for (auto &c : cases) {
        Canvas cv(40, 30, 1);
        DrawShadedSprite(&cv.s, 1, c.colour, 0, c.x, c.y, int16_t(c.size), 1, &c.clip);
        EXPECT_EQ(cv.Count(0), 40 * 30 - 1);
        EXPECT_EQ(cv.At(c.px, c.py), GlowColours[c.colour & 15]);
    }
    Canvas cv(40, 30, 1);
    ClipRect all{0, 0, 39, 29};
    DrawShadedSprite(&cv.s, 0, 3, 0, 10, 10, 3, 0, &all);  // no intensity
    EXPECT_EQ(cv.Count(0), 40 * 30);
}

TEST_F(Light, GlowCoversItsSquareButNeverTheClipsLastColumnAndRow) {
    Masks(1);
    ClipRect clip{0, 0, 29, 19};
    Canvas cv(40, 30, 1);
    DrawShadedSprite(&cv.s, 15, 3, 0, 25, 15, 40, 0, &clip);
    for (int y = 0; y < 30; y++)
        for (int x = 0; x < 40; x++) {
            bool lit = x <= 28 && y <= 18 && x >= 5 && y >= 0;
            EXPECT_EQ(cv.At(x, y), lit ? 16u * 3 + 1 : 0u) << x << "," << y;
        }
}

TEST_F(Light, GlowSamplesTheMaskAcrossItsSquare) {
    std::memset(RandomOffsets, 0, sizeof RandomOffsets);
    RandomOffsetsReady = true;
    for (int row = 0; row < 128; row++)
        for (int col = 0; col < 128; col++) GlowMasks[row * 128 + col] = uint8_t(1 + col / 16);
    ClipRect all{0, 0, 19, 19};
    Canvas cv(20, 20, 1);
    // Size 8: 16 mask columns per pixel, the square 6..13 both ways.
    DrawShadedSprite(&cv.s, 15, 4, 0, 10, 10, 8, 0, &all);
    for (int y = 0; y < 20; y++)
        for (int x = 0; x < 20; x++) {
            bool in = x >= 6 && x <= 13 && y >= 6 && y <= 13;
            EXPECT_EQ(cv.At(x, y), in ? 16u * 4 + 1 + (x - 6) : 0u) << x << "," << y;
        }
    InitRandomOffsets();
}

TEST_F(Light, GlowWithItsCentreRowOutsideTheClipDrawsNothing) {
    Masks(1);
    ClipRect clip{0, 0, 39, 19};
    for (int y : {20, 25, -1}) {
        Canvas cv(40, 30, 1);
        DrawShadedSprite(&cv.s, 15, 3, 0, 20, y, 20, 0, &clip);
        EXPECT_EQ(cv.Count(0), 40 * 30) << y;
    }
}

TEST_F(Light, GlowIntensityRules) {
    ClipRect clip{0, 0, 39, 29};
    auto glow = [&](int intensity) {
        Canvas cv(40, 30, 1);
        dunSeedRand15(11);
        DrawShadedSprite(&cv.s, int16_t(intensity), 2, 0, 20, 15, 16, 0, &clip);
        return cv;
    };
    Masks(4);
    uint32_t four = glow(4).Hash();
    EXPECT_NE(glow(4).Count(0), 40 * 30);
    for (int i : {1, 2, 3}) EXPECT_EQ(glow(i).Hash(), four) << i;
    Masks(9);  // mask values above the intensity keep the old pixel
    EXPECT_EQ(glow(5).Count(0), 40 * 30);
    EXPECT_EQ(glow(9).Count(16 * 2 + 9), glow(15).Count(16 * 2 + 9));
}

TEST_F(Light, GlowCrossOnlyForBigGlowsOfTheFirstEightTables) {
    Masks(0);  // the blob itself lights nothing
    ClipRect clip{0, 0, 39, 29};
    struct {
        int colour, size;
        bool cross;
    } cases[] = {{1, 30, true}, {7, 9, true}, {9, 30, false}, {15, 30, false}, {1, 8, false}};
    for (auto &c : cases) {
        Canvas cv(40, 30, 1);
        DrawShadedSprite(&cv.s, 10, c.colour, 0, 20, 15, int16_t(c.size), 1, &clip);
        EXPECT_EQ(cv.Count(0) != 40 * 30, c.cross) << c.colour << " " << c.size;
    }
}

TEST_F(Light, LightLineLevels) {
    Canvas cv(40, 30, 1);
    DrawLightLine(&cv.s, 7, 8, 7, 8, 4);
    EXPECT_EQ(cv.At(7, 8), 16u * 4 + 14);
    EXPECT_EQ(cv.Count(0), 40 * 30 - 1);
    Canvas h(40, 30, 1);
    DrawLightLine(&h.s, 0, 0, 9, 0, 1);  // 10 pixels, inc 307
    EXPECT_EQ(h.At(0, 0), 16u + ((512 + 307) >> 8));
    EXPECT_EQ(h.At(9, 0), 16u + ((512 + 10 * 307) >> 8));
    for (int x = 1; x < 10; x++) EXPECT_GE(h.At(x, 0), h.At(x - 1, 0));
}

std::vector<uint8_t> Cube(int salt) {
    std::vector<uint8_t> c(65536);
    for (size_t i = 0; i < c.size(); i++) c[i] = uint8_t(((i * 2654435761u) >> 13) + salt) | 1;
    return c;
}

TEST_F(Light, ColourLinePlainCases) {
    auto cube = Cube(0);
    Rgb col{200, 120, 40};
    uint8_t ci = cube[ColourCubeIndex(200, 120, 40)];
    const int lines[][4] = {{2, 5, 30, 5}, {4, 1, 4, 20}, {3, 3, 13, 13}, {20, 2, 10, 12}};
    for (auto &l : lines) {
        Canvas cv(40, 30, 1);
        DrawLineRgb(&cv.s, int16_t(l[0]), int16_t(l[1]), int16_t(l[2]), int16_t(l[3]), col, cube.data());
        int n = std::max(std::abs(l[2] - l[0]), std::abs(l[3] - l[1])) + 1;
        EXPECT_EQ(cv.Count(ci), n);
        EXPECT_EQ(cv.At(l[0], l[1]), ci);
        EXPECT_EQ(cv.At(l[2], l[3]), ci);
    }
}

TEST_F(Light, ColourLineShadesTwoPixelsPerStepAndLeavesTheFarEnd) {
    auto cube = Cube(0);
    Rgb col{250, 250, 250};
    const int lines[][4] = {{1, 1, 11, 4}, {11, 4, 1, 1}, {5, 2, 8, 20}, {8, 2, 5, 20}, {30, 3, 2, 9}};
    for (auto &l : lines) {
        Canvas cv(40, 30, 1);
        DrawLineRgb(&cv.s, int16_t(l[0]), int16_t(l[1]), int16_t(l[2]), int16_t(l[3]), col, cube.data());
        // The start (the end with the smaller y) is in the full colour; the
        // far end is not drawn.
        bool firstIsStart = l[1] < l[3];
        int sx = firstIsStart ? l[0] : l[2], sy = firstIsStart ? l[1] : l[3];
        int ex = firstIsStart ? l[2] : l[0], ey = firstIsStart ? l[3] : l[1];
        EXPECT_EQ(cv.At(sx, sy), cube[ColourCubeIndex(250, 250, 250)]);
        EXPECT_EQ(cv.At(ex, ey), 0u);
        int n = std::max(std::abs(l[2] - l[0]), std::abs(l[3] - l[1]));
        EXPECT_EQ(40 * 30 - cv.Count(0), 1 + 2 * (n - 1));
    }
}

TEST_F(Light, ColourLineExactShades) {
    // cube[i] = 100 + the red 5 bits, so ramp[k - 1] = 100 + (((255 k) >> 4) >> 3).
    std::vector<uint8_t> cube(65536);
    for (size_t i = 0; i < cube.size(); i++) cube[i] = uint8_t(100 + (i >> 11));
    auto ramp = [](int k) { return unsigned(100 + (((255 * (k + 1)) >> 4) >> 3)); };
    struct Px {
        int x, y, k;  // k: ramp index, -1 the full colour
    };
    struct {
        int x0, y0, x1, y1;
        std::vector<Px> pixels;
    } cases[] = {
        {0, 0, 4, 1, {{0, 0, -1}, {1, 0, 10}, {1, 1, 5}, {2, 1, 8}, {2, 0, 8}, {3, 1, 12}, {3, 0, 4}}},
        {0, 0, 1, 4, {{0, 0, -1}, {0, 1, 10}, {1, 1, 5}, {1, 2, 8}, {0, 2, 8}, {1, 3, 12}, {0, 3, 4}}},
    };
    for (auto &c : cases) {
        Canvas cv(8, 8, 1);
        DrawLineRgb(&cv.s, int16_t(c.x0), int16_t(c.y0), int16_t(c.x1), int16_t(c.y1), Rgb{255, 0, 0},
                    cube.data());
        for (auto &p : c.pixels)
            EXPECT_EQ(cv.At(p.x, p.y), p.k < 0 ? 100u + 31 : ramp(p.k)) << p.x << "," << p.y;
        EXPECT_EQ(8 * 8 - cv.Count(0), int(c.pixels.size()));
    }
}

TEST_F(Light, ColourLineRampCachedForTheSameCube) {
    std::vector<uint8_t> cube = Cube(0);
    Rgb col{90, 180, 30};
    Canvas a(40, 30, 1), b(40, 30, 1), c(40, 30, 1);
    DrawLineRgb(&a.s, 1, 1, 30, 9, col, cube.data());
    for (auto &v : cube) v = uint8_t(v ^ 0x40);  // same cube, new contents
    DrawLineRgb(&b.s, 1, 1, 30, 9, col, cube.data());
    // Only the start pixel reads the cube again; the shades are the old ramp.
    b.Set(1, 1, a.At(1, 1));
    EXPECT_EQ(a.Hash(), b.Hash());
    std::vector<uint8_t> other = cube;  // a change of cube alone rebuilds it
    DrawLineRgb(&c.s, 1, 1, 30, 9, col, other.data());
    c.Set(1, 1, a.At(1, 1));
    EXPECT_NE(a.Hash(), c.Hash());
}

TEST_F(Light, TriangleSamePixelsForAnyPointOrder) {
    int pts[3][2] = {{20, 2}, {4, 14}, {33, 25}};
    int order[3] = {0, 1, 2};
    uint32_t first = 0;
    do {
        Canvas cv(40, 30, 1);
        dunSeedRand15(3);
        FillTriangle(&cv.s, pts[order[0]][0], pts[order[0]][1], pts[order[1]][0], pts[order[1]][1],
                     pts[order[2]][0], pts[order[2]][1], 2, 9, 14, 6);
        EXPECT_EQ(cv.At(20, 2), 16u * 6 + 2);  // the top takes the first shade
        if (!first) first = cv.Hash();
        EXPECT_EQ(cv.Hash(), first);
        EXPECT_GT(40 * 30 - cv.Count(0), 150);
    } while (std::next_permutation(order, order + 3));
}

TEST_F(Light, TriangleOnOneRowOrWithAFlatBottom) {
    Canvas flat(40, 30, 1);
    FillTriangle(&flat.s, 3, 7, 20, 7, 35, 7, 5, 5, 5, 1);
    EXPECT_EQ(flat.Count(0), 40 * 30);
    Canvas cv(40, 30, 1);
    FillTriangle(&cv.s, 3, 12, 18, 2, 30, 12, 15, 15, 15, 1);
    for (int x = 0; x < 40; x++) EXPECT_EQ(cv.At(x, 12), 0u) << x;
    for (int y = 2; y < 12; y++) {
        int lit = 0;
        for (int x = 0; x < 40; x++) lit += cv.At(x, y) != 0;
        EXPECT_GT(lit, 0) << y;
    }
    Canvas out(40, 30, 1);
    FillTriangleChecked(&out.s, 3, 12, 18, 2, 40, 12, 15, 15, 15, 1);
    EXPECT_EQ(out.Count(0), 40 * 30);
}

TEST_F(Light, TriangleHalfExactLevels) {
    std::memset(RandomOffsets, 0, sizeof RandomOffsets);  // no shimmer
    RandomOffsetsReady = true;
    Canvas cv(12, 5, 1);
    // Apex (5, 0), three rows down to the ends 2 and 8, shades 0 -> 3 and 6.
    FillTriangleHalf(&cv.s, 5, 0, 3, 8, 2, 0, 6, 3, 1);  // ends given the other way round
    const char *want[5] = {
        ".....0......",
        "....111.....",
        "...22233....",
        "............",
        "............",
    };
    for (int y = 0; y < 5; y++)
        for (int x = 0; x < 12; x++) {
            unsigned v = cv.At(x, y);
            char got = v ? char('0' + (v - 16)) : '.';
            EXPECT_EQ(got, want[y][x]) << x << "," << y;
        }
    InitRandomOffsets();
}

TEST_F(Light, TallTrianglesAndGlowsStayInTheOffsetTable) {
    Canvas cv(1024, 768, 1);
    FillTriangle(&cv.s, 512, 0, 0, 767, 1023, 767, 0, 15, 15, 2);
    Masks(2);
    ClipRect all{0, 0, 1023, 767};
    DrawShadedSprite(&cv.s, 15, 2, 0, 512, 384, 2000, 1, &all);
    EXPECT_LT(cv.Count(0), 1024 * 768);
}

}  // namespace
