// Pixels, rectangles, lines, blits and run-length sprites at 8 and 16 bits.
#include "RES/util.h"
#include "gfx_fixture.h"

using namespace gfxtest;

namespace {

class Draw : public Depths {
protected:
    // The value a colour index takes on the surface at the current depth.
    unsigned Px(unsigned index) const {
        return Bpp() == 1 ? index : PaletteToRgb565(TestPalette(), index);
    }
};

TEST(Colour, Rgb565AndCubeIndex) {
    uint8_t pal[8] = {0xFF, 0x80, 0x0F, 0, 0x07, 0x03, 0x08, 0};
    EXPECT_EQ(PaletteToRgb565(pal, 0), 0xF800 + (0x80 << 3) + (0x0F >> 3));
    EXPECT_EQ(PaletteToRgb565(pal, 1), 0x0001);
    EXPECT_EQ(PaletteToRgb565(nullptr, 1), 0);
    EXPECT_EQ(ColourCubeIndex(255, 255, 255), 0xFFFFu);
    EXPECT_EQ(ColourCubeIndex(0x08, 0, 0), 0x0800u);  // 5 bits red
    EXPECT_EQ(ColourCubeIndex(0, 0x08, 0), 0x0040u);  // 5 bits green
    EXPECT_EQ(ColourCubeIndex(0, 0, 0x04), 0x0001u);  // 6 bits blue
}

TEST_P(Draw, FillRectCornersInAnyOrder) {
    const int corners[4][4] = {{2, 3, 6, 8}, {6, 8, 2, 3}, {2, 8, 6, 3}, {6, 3, 2, 8}};
    uint32_t first = 0;
    for (auto &c : corners) {
        Canvas cv(10, 10, Bpp());
        FillRect(&cv.s, 9, c[0], c[1], c[2], c[3]);
        EXPECT_EQ(cv.Count(Px(9)), 5 * 6);
        EXPECT_EQ(cv.At(2, 3), Px(9));
        EXPECT_EQ(cv.At(6, 8), Px(9));
        EXPECT_EQ(cv.At(7, 8), 0u);
        if (!first) first = cv.Hash();
        EXPECT_EQ(cv.Hash(), first);
    }
}

TEST_P(Draw, PutPixelClippedEdges) {
    ClipRect clip{1, 1, 5, 4};
    struct {
        int x, y;
        bool drawn;
    } cases[] = {{5, 4, true}, {6, 4, false}, {5, 5, false}, {1, 1, true}, {0, 1, false}, {1, 0, false}};
    for (auto &c : cases) {
        Canvas cv(8, 8, Bpp());
        PutPixelClipped(&cv.s, 200, c.x, c.y, &clip);
        EXPECT_EQ(cv.At(c.x, c.y) == Px(200), c.drawn) << c.x << "," << c.y;
    }
}

TEST_P(Draw, ClearSurfaceSetsEveryPixel) {
    Canvas cv(9, 7, Bpp(), 0x5A);
    ClearSurface(&cv.s, 77);
    EXPECT_EQ(cv.Count(Px(77)), 9 * 7);
    CurrentPalette = nullptr;
    ClearSurface(&cv.s, 77);
    EXPECT_EQ(cv.Count(Bpp() == 1 ? 77u : 0u), 9 * 7);
}

TEST_P(Draw, LinesDrawBothEnds) {
    struct {
        int x0, y0, x1, y1, pixels;
    } cases[] = {
        {1, 1, 10, 1, 10}, {3, 9, 3, 2, 8}, {0, 0, 7, 7, 8}, {12, 0, 0, 4, 13}, {2, 11, 5, 0, 12},
    };
    for (auto &c : cases) {
        Canvas cv(13, 12, Bpp());
        DrawLine(&cv.s, c.x0, c.y0, c.x1, c.y1, 50);
        EXPECT_EQ(cv.At(c.x0, c.y0), Px(50));
        EXPECT_EQ(cv.At(c.x1, c.y1), Px(50));
        EXPECT_EQ(cv.Count(Px(50)), c.pixels);
    }
}

TEST_P(Draw, LineClippingTable) {
    ClipRect clip{2, 2, 9, 7};
    struct {
        int x0, y0, x1, y1;
        int drawn;  // pixels inside the clip
        int endX, endY;  // a pixel that must be set (-1: none)
    } cases[] = {
        {0, 4, 11, 4, 8, 2, 4},      // horizontal through both sides
        {5, 0, 5, 10, 6, 5, 2},      // vertical through top and bottom
        {0, 0, 1, 10, 0, -1, -1},    // both ends left of the clip
        {0, 0, 11, 0, 0, -1, -1},    // both above
        {12, 1, 12, 9, 0, -1, -1},   // both right
        {3, 3, 8, 6, 6, 8, 6},       // inside
        {0, 0, 11, 9, 7, 8, 7},      // through two corners of the clip
    };
    for (auto &c : cases) {
        Canvas cv(12, 10, Bpp());
        DrawLineClipped(&cv.s, c.x0, c.y0, c.x1, c.y1, 60, &clip);
        EXPECT_EQ(cv.Count(Px(60)), c.drawn) << c.x0 << "," << c.y0 << "-" << c.x1 << "," << c.y1;
        if (c.endX >= 0) {
            EXPECT_EQ(cv.At(c.endX, c.endY), Px(60));
        }
    }
}

// A 4 x 3 raster whose values include transparent ones.
Canvas Raster8() {
    Canvas r(4, 3, 1);
    const uint8_t v[12] = {0, 17, 16, 200, 5, 0, 99, 1, 255, 18, 0, 16};
    std::memcpy(r.bytes.data(), v, 12);
    return r;
}

TEST_P(Draw, MaskedAndGlyphTransparency) {
    Canvas r8 = Raster8();
    // Masked copy: 8-bit values 0..16 keep the destination; 16-bit: only 0.
    Canvas src(4, 3, Bpp());
    for (int i = 0; i < 12; i++) src.Set(i % 4, i / 4, r8.bytes[i]);
    Canvas cv(6, 5, Bpp(), 0x77);
    BlitMaskedSprite(&cv.s, &src.s, 1, 1, 0, 0, 4, 3);
    for (int i = 0; i < 12; i++) {
        unsigned v = r8.bytes[i];
        bool clear = Bpp() == 1 ? v <= 16 : v == 0;
        EXPECT_EQ(cv.At(1 + i % 4, 1 + i / 4), clear ? (Bpp() == 1 ? 0x77u : 0x7777u) : v) << i;
    }
    // One-colour glyph: only 16 is transparent, 0 is painted.
    Canvas g(6, 5, Bpp(), 0x77);
    ClipRect all{0, 0, 5, 4};
    r8.s.hotX = 1, r8.s.hotY = 1;
    BlitGlyph(&g.s, &r8.s, &all, 2, 2, 33);
    for (int i = 0; i < 12; i++) {
        bool clear = r8.bytes[i] == 16;
        EXPECT_EQ(g.At(1 + i % 4, 1 + i / 4), clear ? (Bpp() == 1 ? 0x77u : 0x7777u) : Px(33)) << i;
    }
}

TEST_P(Draw, GlyphClippedThroughThePaletteAtSixteenBits) {
    Canvas r8 = Raster8();
    Canvas cv(4, 3, Bpp(), 0);
    ClipRect all{0, 0, 3, 2};
    BlitGlyphClipped(&cv.s, &r8.s, &all, 0, 0, 1);
    for (int i = 0; i < 12; i++) {
        unsigned v = r8.bytes[i];
        EXPECT_EQ(cv.At(i % 4, i / 4), v <= 16 ? 0u : Px(v)) << i;
    }
}

TEST_P(Draw, BlitSurfaceOntoItselfDoesNothing) {
    Canvas cv(5, 5, Bpp());
    for (int i = 0; i < 25; i++) cv.Set(i % 5, i / 5, i + 1);
    uint32_t before = cv.Hash();
    BlitSurface(&cv.s, &cv.s, 1, 1);
    EXPECT_EQ(cv.Hash(), before);
}

TEST_P(Draw, BlitSurfaceAndGrabRoundTrip) {
    Canvas src(3, 2, Bpp());
    for (int i = 0; i < 6; i++) src.Set(i % 3, i / 3, 100 + i);
    Canvas cv(8, 6, Bpp());
    BlitSurface(&cv.s, &src.s, 6, 5);  // cut at the right and bottom
    EXPECT_EQ(cv.At(6, 5), 100u);
    EXPECT_EQ(cv.At(7, 5), 101u);
    BlitSurface(&cv.s, &src.s, 2, 1);
    Canvas back(3, 2, Bpp());
    GrabRasterFromSurface(&back.s, &cv.s, 2, 1);
    EXPECT_EQ(back.bytes, src.bytes);
}

TEST_P(Draw, SpriteClippedOpaqueCopy) {
    // At 8 bits an opaque copy; at 16 a copy with 0 transparent.
    Canvas src(3, 3, Bpp());
    for (int i = 0; i < 9; i++) src.Set(i % 3, i / 3, i);
    src.s.hotX = 1, src.s.hotY = 1;
    Canvas cv(5, 5, Bpp(), 9);
    ClipRect clip{0, 0, 4, 4};
    BlitSpriteClipped(&cv.s, &src.s, &clip, 0, 0);  // only the lower right 2 x 2 shows
    EXPECT_EQ(cv.At(0, 0), 4u);
    EXPECT_EQ(cv.At(1, 1), 8u);
    EXPECT_EQ(cv.At(2, 2), Bpp() == 1 ? 9u : 0x0909u);
}

TEST_P(Draw, BlitDoubledCentres) {
    const uint8_t pic[4] = {20, 21, 22, 23};
    Canvas cv(6, 4, Bpp());
    BlitDoubled(pic, 2, 2, &cv.s, TestPalette());
    EXPECT_EQ(cv.At(0, 0), 0u);
    EXPECT_EQ(cv.At(1, 0), Px(20));
    EXPECT_EQ(cv.At(2, 1), Px(20));
    EXPECT_EQ(cv.At(3, 1), Px(21));
    EXPECT_EQ(cv.At(4, 3), Px(23));
    EXPECT_EQ(cv.At(5, 3), 0u);
    // Placed by its corner instead, and cut where it leaves the surface.
    const uint8_t quad[4] = {8, 64, 128, 200};  // apart in RGB565 too
    Canvas at(6, 4, Bpp());
    BlitDoubledAt(quad, 2, 2, &at.s, 3, -1, TestPalette());
    EXPECT_EQ(at.At(3, 0), Px(8));
    EXPECT_EQ(at.At(5, 0), Px(64));
    EXPECT_EQ(at.At(4, 1), Px(128));
    EXPECT_EQ(at.At(5, 2), Px(200));
    EXPECT_EQ(at.At(2, 0), 0u);
    EXPECT_EQ(at.At(3, 3), 0u);
}

// Copies between surfaces of two depths have nothing sensible to do.
TEST(Blit, SurfacesOfTwoDepthsDoNotMix) {
    SetDepth(16);
    Canvas wide(4, 4, 2, 0x11), narrow(4, 4, 1, 0x22);
    BlitSurface(&wide.s, &narrow.s, 0, 0);
    BlitMaskedSprite(&narrow.s, &wide.s, 0, 0, 0, 0, 4, 4);
    EXPECT_EQ(wide.Count(0x1111), 16);
    EXPECT_EQ(narrow.Count(0x22), 16);
    // An 8-bit raster copied in mode 0 onto a 16-bit surface goes through the
    // palette instead of being read as 16-bit pixels.
    ClipRect all{0, 0, 3, 3};
    narrow.Set(1, 1, 40);
    BlitGlyphClipped(&wide.s, &narrow.s, &all, 0, 0, 0);
    EXPECT_EQ(wide.At(1, 1), PaletteToRgb565(TestPalette(), 40));
    SetDepth(8);
}

TEST(Blit, ClipCopyCutsABlockToTheBox) {
    struct Case {
        int64_t x, y;
        int w, h;
        PixelBox box;
        bool any;
        CopySpan span;
    } cases[] = {
        {2, 3, 4, 5, {0, 0, 9, 9}, true, {2, 3, 0, 0, 4, 5}},
        {-2, -1, 4, 5, {0, 0, 9, 9}, true, {0, 0, 2, 1, 2, 4}},
        {8, 7, 4, 5, {0, 0, 9, 9}, true, {8, 7, 0, 0, 2, 3}},
        {10, 0, 4, 5, {0, 0, 9, 9}, false, {}},
        {2, 3, 0, 5, {0, 0, 9, 9}, false, {}},
        {2, 3, 4, 5, {5, 5, 4, 4}, false, {}},  // an empty box
        {INT64_MIN / 2, 0, 4, 5, {0, 0, 9, 9}, false, {}},
        {-1000000, -3, 2000000, 5, {1, 1, 3, 3}, true, {1, 1, 1000001, 4, 3, 1}},
    };
    for (const Case &c : cases) {
        CopySpan got{};
        ASSERT_EQ(ClipCopy(c.x, c.y, c.w, c.h, c.box, &got), c.any) << c.x << "," << c.y;
        if (!c.any) continue;
        EXPECT_EQ(got.dx, c.span.dx);
        EXPECT_EQ(got.dy, c.span.dy);
        EXPECT_EQ(got.sx, c.span.sx);
        EXPECT_EQ(got.sy, c.span.sy);
        EXPECT_EQ(got.w, c.span.w);
        EXPECT_EQ(got.h, c.span.h);
    }
}

INSTANTIATE_TEST_SUITE_P(Depth, Draw, testing::Values(8, 16));

// ---- Run-length sprites (8 bits) -------------------------------------------

TEST(Sprite, DrawnSpriteEqualsMaskedBlitOnEverySide) {
    SetDepth(8);
    Canvas r(9, 7, 1);
    for (int i = 0; i < 63; i++) r.bytes[i] = uint8_t((i * 7) % 5 ? 20 + i : 0);
    r.s.hotX = 2, r.s.hotY = 3;
    std::vector<uint8_t> sprite(MakeSpriteFromRaster(&r.s, nullptr, 0));
    EXPECT_EQ(MakeSpriteFromRaster(&r.s, sprite.data(), 0), sprite.size());
    ClipRect clip{3, 2, 14, 10};
    const int places[][2] = {{8, 6}, {3, 3}, {15, 11}, {4, 12}, {16, 2}, {-20, 5}, {8, 40}};
    for (auto &p : places) {
        Canvas a(18, 14, 1, 1), b(18, 14, 1, 1);
        DrawRunLengthSpriteClipped(&a.s, &r.s, p[0], p[1], sprite.data(), &clip);
        // Reference: pixel by pixel, 0 transparent, inside the clip.
        for (int y = 0; y < 7; y++)
            for (int x = 0; x < 9; x++) {
                int dx = p[0] - 2 + x, dy = p[1] - 3 + y;
                uint8_t v = r.bytes[y * 9 + x];
                if (v && dx >= 3 && dx <= 14 && dy >= 2 && dy <= 10) b.Set(dx, dy, v);
            }
        EXPECT_EQ(a.bytes, b.bytes) << p[0] << "," << p[1];
    }
    // DrawSpriteA: the same, clipped only by the surface.
    Canvas a(18, 14, 1, 1), b(18, 14, 1, 1);
    DrawSpriteA(&a.s, &r.s, 3, 2, sprite.data());
    ClipRect whole{0, 0, 17, 13};
    DrawRunLengthSpriteClipped(&b.s, &r.s, 3, 2, sprite.data(), &whole);
    EXPECT_EQ(a.bytes, b.bytes);
    // A sprite of another raster draws nothing.
    Canvas other = r;
    other.s.pixels = other.bytes.data();
    Canvas c(18, 14, 1, 1);
    DrawRunLengthSpriteClipped(&c.s, &other.s, 8, 6, sprite.data(), &clip);
    EXPECT_EQ(c.Count(1), 18 * 14);
}

TEST(Sprite, SilhouetteFillsOpaqueRuns) {
    SetDepth(8);
    Canvas r(4, 2, 1);
    const uint8_t v[8] = {0, 30, 31, 0, 40, 0, 0, 41};
    std::memcpy(r.bytes.data(), v, 8);
    std::vector<uint8_t> sprite(MakeSpriteFromRaster(&r.s, nullptr, 0));
    MakeSpriteFromRaster(&r.s, sprite.data(), 0);
    Canvas cv(4, 2, 1, 5);
    DrawSpriteB(&cv.s, &r.s, 99, 0, 0, sprite.data());
    const uint8_t want[8] = {5, 99, 99, 5, 99, 5, 5, 99};
    EXPECT_EQ(0, std::memcmp(cv.bytes.data(), want, 8));
}

TEST(Sprite, RunCounts) {
    const uint8_t row[6] = {3, 3, 3, 7, 3, 9};
    EXPECT_EQ(CountRun(row, 0, 3, 6), 3);
    EXPECT_EQ(CountNonRun(row, 3, 3, 6), 1);
    EXPECT_EQ(CountNonRun(row, 5, 3, 6), 1);
    EXPECT_EQ(CountRun(row, 2, 3, 3), 1);  // stops at the width
}

// ---- Noise and jitter --------------------------------------------------------

TEST(Effects, NoiseStaysInTheColoursRamp) {
    SetDepth(8);
    Canvas cv(16, 8, 1);
    for (int colour : {40, 100, 230}) {
        DrawStaticNoise(&cv.s, colour, 15, 7, 0, 0);
        int base = ((colour + 16) & 0xE0) - 16;
        for (uint8_t v : cv.bytes) {
            EXPECT_GE(int(v), base & 0xFF);
            EXPECT_LT(int(v), (base & 0xFF) + 32);
        }
    }
}

TEST(Effects, JitterRotatesRowsByTheDrawnAmount) {
    SetDepth(8);
    Canvas cv(12, 6, 1);
    for (int y = 0; y < 6; y++)
        for (int x = 0; x < 12; x++) cv.Set(x, y, 10 * y + x);
    Canvas before = cv;
    dunSeedRand15(7);
    int shifts[3];
    for (int &s : shifts) s = dunRand15() % 6 - 3;
    dunSeedRand15(7);
    JitterRect(&cv.s, 6, 0, 0, 11, 5);  // rows 1..3, pixels 1..10
    for (int y = 0; y < 6; y++)
        for (int x = 0; x < 12; x++) {
            unsigned want = before.At(x, y);
            if (y >= 1 && y <= 3 && x >= 1 && x <= 10) {
                int i = x - 1, n = 10;
                int from = ((i + shifts[y - 1]) % n + n) % n;
                want = before.At(1 + from, y);
            }
            EXPECT_EQ(cv.At(x, y), want) << x << "," << y;
        }
}

}  // namespace

#include "RES/picture.h"

namespace {

TEST(Sprite, PictureRasterDrawsAsASurface) {
    SetDepth(8);
    uint8_t px[4] = {50, 16, 0, 60};
    Raster r{px, 2, 2, 1, 0, 0, 1};
    Canvas cv(4, 4, 1);
    ClipRect all{0, 0, 3, 3};
    BlitGlyphClipped(&cv.s, AsSurface(&r), &all, 2, 1, 0);
    EXPECT_EQ(cv.At(1, 1), 50u);
    EXPECT_EQ(cv.At(2, 1), 0u);
    EXPECT_EQ(cv.At(2, 2), 60u);
}

}  // namespace

#include "RES/font.h"

namespace {

TEST(Remap, ShadeRampAndTintThroughTheCube) {
    SetDepth(8);
    const uint8_t *pal = TestPalette();  // r + g + b of entry i = 255 + i / 2
    Canvas r(4, 1, 1);
    const uint8_t v[4] = {0, 10, 100, 255};
    std::memcpy(r.bytes.data(), v, 4);
    RemapToShadeRamp(&r.s, pal, 40, 16);  // base + sum / 48
    for (int i = 0; i < 4; i++) EXPECT_EQ(r.bytes[i], 40 + (255 + v[i] / 2) / 48) << i;
    Canvas before = r;
    RemapToShadeRamp(&r.s, pal, 40, 0);     // no steps: nothing
    RemapToShadeRamp(&r.s, pal, 40, 1000);  // 768 / 1000 = 0: nothing
    EXPECT_EQ(r.bytes, before.bytes);

    std::vector<uint8_t> cube(65536);
    for (size_t i = 0; i < cube.size(); i++) cube[i] = uint8_t(i >> 8);  // red's 5 bits and green's top 3
    std::memcpy(r.bytes.data(), v, 4);
    TintRasterThroughCube(&r.s, pal, cube.data(), 128, 256, 512);  // half red, green as is, blue doubled
    for (int i = 0; i < 4; i++) {
        int red = v[i] * 128 / 256, green = 255 - v[i], blue = std::min(255, (v[i] / 2) * 2);
        EXPECT_EQ(r.bytes[i], cube[ColourCubeIndex(red, green, blue)]) << i;
    }
}

TEST(Remap, FontGlyphsTintedOnceEachSkippingTheBlanksShares) {
    SetDepth(8);
    Canvas blank(1, 1, 1, 7), a(1, 1, 1, 7), b(1, 1, 1, 7);
    BitmapFont font{};
    for (auto &g : font.glyph) g = &blank.s;
    font.glyph[65] = &a.s;
    font.glyph[200] = &b.s;
    font.glyph[20] = &b.s;  // below 32: not touched by this glyph slot
    std::vector<uint8_t> cube(65536);
    for (size_t i = 0; i < cube.size(); i++) cube[i] = uint8_t(i * 7 + 3);
    // Tinted once: 7 -> the cube's entry for palette entry 7 (a second tint
    // would move it again).
    uint8_t once = cube[ColourCubeIndex(7, 248, 3)];
    ASSERT_NE(cube[ColourCubeIndex(once, 255 - once, once / 2)], once);
    RecolourFontGlyphs(&font, TestPalette(), cube.data(), 256, 256, 256);
    EXPECT_EQ(blank.bytes[0], once);
    EXPECT_EQ(a.bytes[0], once);
    EXPECT_EQ(b.bytes[0], once);
}

}  // namespace
