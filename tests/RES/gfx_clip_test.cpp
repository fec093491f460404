// Hostile coordinates: every drawer, fed coordinates from anywhere in the int
// range, reversed rectangles and clip rectangles outside the surface, writes
// only inside its surface (AddressSanitizer watches the exactly-sized
// blocks) and, given a clip rectangle inside the surface, only inside that.
#include <climits>

#include "gfx_fixture.h"

using namespace gfxtest;

namespace {

constexpr int W = 37, H = 23;

struct Quad {
    int x0, y0, x1, y1;
};

const Quad kQuads[] = {
    {0, 0, W - 1, H - 1},
    {W - 1, H - 1, 0, 0},
    {-1, -1, W, H},
    {W, H, -1, -1},
    {-5, 3, 50, 10},
    {10, -40, 12, 60},
    {-1000000000, -1000000000, 1000000000, 1000000000},
    {1000000000, 5, -1000000000, 7},
    {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
    {INT_MAX, INT_MIN, INT_MIN, INT_MAX},
    {INT_MIN, 0, INT_MIN, H},
    {-32768, -32768, 32767, 32767},
    {32767, -32768, -32768, 32767},
    {-70000, 11, 70000, 12},
    {3, -70000, 4, 70000},
    {W, 0, W, H - 1},
    {0, H, W - 1, H},
    {-1, 0, -1, H - 1},
    {5, 5, 5, 5},
    {W - 1, H - 1, W - 1, H - 1},
    {-100, -100, -50, -50},
    {36, 22, 37, 23},
};

const ClipRect kClips[] = {
    {0, 0, W - 1, H - 1},
    {5, 4, 30, 18},
    {-100, -100, 500, 500},
    {30, 18, 5, 4},            // reversed
    {-32768, -32768, 32767, 32767},
    {40, 30, 80, 90},          // beside the surface
    {W - 1, H - 1, W - 1, H - 1},
};

// A clip rectangle is "inner" when it lies inside the surface: then nothing
// outside it may change.
bool Inner(const ClipRect &c) {
    return c.left >= 0 && c.top >= 0 && c.right < W && c.bottom < H && c.left <= c.right &&
           c.top <= c.bottom;
}

struct Stuff {
    Canvas canvas;
    Canvas raster8{7, 5, 1};
    Canvas raster16{7, 5, 2};
    Canvas glyph{6, 4, 1};
    std::vector<uint8_t> sprite;
    std::vector<uint8_t> cube = std::vector<uint8_t>(65536);
    explicit Stuff(int bpp) : canvas(W, H, bpp, 0x33) {
        for (int i = 0; i < 35; i++) {
            raster8.bytes[i] = uint8_t(i % 3 ? 40 + i : 0);
            raster16.Set(i % 7, i / 7, i % 4 ? 0x1234 + i : 0);
        }
        for (int i = 0; i < 24; i++) glyph.bytes[i] = uint8_t(i % 2 ? 16 : 200);
        sprite.resize(MakeSpriteFromRaster(&raster8.s, nullptr, 0));
        MakeSpriteFromRaster(&raster8.s, sprite.data(), 0);
        for (size_t i = 0; i < cube.size(); i++) cube[i] = uint8_t(i * 7);
    }
    void Hotspot(int16_t x, int16_t y) {
        raster8.s.hotX = raster16.s.hotX = glyph.s.hotX = x;
        raster8.s.hotY = raster16.s.hotY = glyph.s.hotY = y;
    }
};

bool Wide(const Surface *s) { return s->bytesPerPixel == 2; }

// Every drawer that takes a clip rectangle.
void DrawClipped(Stuff &st, const Quad &q, const ClipRect &c) {
    Surface *s = &st.canvas.s;
    PutPixelClipped(s, 77, q.x0, q.y0, &c);
    FillRectClipped(s, 78, &c, q.x0, q.y0, q.x1, q.y1);
    DrawLineClipped(s, q.x0, q.y0, q.x1, q.y1, 79, &c);
    DrawLineRgbClipped(s, q.x0, q.y0, q.x1, q.y1, Rgb{200, 100, 50}, st.cube.data(), &c);
    DrawLightLineClipped(s, q.x0, q.y0, q.x1, q.y1, 3, &c);
    BlitRasterColouredClipped(s, &st.raster8.s, &c, q.x0, q.y0, 80, 1);
    BlitRasterColouredClipped(s, Wide(s) ? &st.raster16.s : &st.raster8.s, &c, q.x1, q.y1,
                              81, 0);
    BlitSpriteClipped(s, Wide(s) ? &st.raster16.s : &st.raster8.s, &c, q.x0, q.y1);
    BlitGlyphClipped(s, Wide(s) ? &st.raster16.s : &st.raster8.s, &c, q.x1, q.y0, 0);
    BlitGlyphClipped(s, &st.raster8.s, &c, q.x0, q.y0, 1);
    BlitGlyph(s, &st.glyph.s, &c, q.x1, q.y1, 82);
    DrawRunLengthSpriteClipped(s, &st.raster8.s, q.x0, q.y0, st.sprite.data(), &c);
    for (int16_t size : {int16_t(1), int16_t(5), int16_t(9), int16_t(40), int16_t(300), int16_t(32767)})
        for (int colour : {2, 9, 255})
            DrawShadedSprite(s, 15, colour, 0, q.x0, q.y0, size, 1, &c);
}

// Drawers without a clip rectangle of their own: only the surface bounds them.
void DrawUnclipped(Stuff &st, const Quad &q) {
    Surface *s = &st.canvas.s;
    auto i16 = [](int v) { return int16_t(v); };
    PutPixel(s, 90, q.x0, q.y0);
    PutScreenPixel8(91, q.x0, q.y0);
    PutScreenPixel16(92, q.x1, q.y1);
    FillRect(s, 93, q.x0, q.y0, q.x1, q.y1);
    DrawStaticNoise(s, 94, q.x0, q.y0, q.x1, q.y1);
    JitterRect(s, 7, q.x0, q.y0, q.x1, q.y1);
    GrabRasterFromSurface(Wide(s) ? &st.raster16.s : &st.raster8.s, s, q.x0, q.y0);
    BlitSurface(s, Wide(s) ? &st.raster16.s : &st.raster8.s, q.x0, q.y1);
    BlitMaskedSprite(s, Wide(s) ? &st.raster16.s : &st.raster8.s, q.x0, q.y0, q.x1, q.y1,
                     q.x1 > q.x0 ? 50 : -3, 9);
    BlitMaskedSprite(s, Wide(s) ? &st.raster16.s : &st.raster8.s, q.x1, q.y1, q.x0, q.y0,
                     INT_MAX, INT_MAX);
    DrawSpriteA(s, &st.raster8.s, q.x0, q.y0, st.sprite.data());
    DrawSpriteB(s, Wide(s) ? &st.raster16.s : &st.raster8.s, 95, q.x1, q.y1, st.sprite.data());
    DrawLine(s, q.x0, q.y0, q.x1, q.y1, 96);
    DrawLineRgb(s, i16(q.x0), i16(q.y0), i16(q.x1), i16(q.y1), Rgb{10, 200, 30}, st.cube.data());
    DrawLightLine(s, i16(q.x0), i16(q.y0), i16(q.x1), i16(q.y1), 5);
    DrawGlowCross(s, 2, q.x0, q.y0, 60);
    FillTriangle(s, q.x0, q.y0, q.x1, q.y1, (q.x0 / 2 + q.x1 / 2), q.y1 / 3, 1, 9, 15, 4);
    FillTriangle(s, q.x0, q.y1, q.x1, q.y0, q.x1, q.y1, 15, 0, 7, 6);
    FillTriangleHalf(s, q.x0, q.y0, q.y1 / 2 - q.y0 / 2, q.x1, q.x0, 3, 12, 8, 1);
    FillTriangleChecked(s, q.x0, q.y0, q.x1, q.y1, 3, 3, 1, 2, 3, 4);
    BlitDoubled(st.raster8.bytes.data(), 7, 5, s);
    Surface corner = *s;  // a corner of the canvas, rows as far apart as the canvas's
    corner.width = 5;
    corner.height = 3;
    BlitDoubled(st.raster8.bytes.data(), 7, 5, &corner);
    BlitDoubledAt(st.raster8.bytes.data(), 7, 5, s, q.x0, q.y1);
}

class HostileCoordinates : public Depths {};

TEST_P(HostileCoordinates, ClippedDrawersStayInsideTheClip) {
    LevelLightTables();
    std::memset(GlowMasks, 3, sizeof GlowMasks);
    for (const ClipRect &c : kClips) {
        ViewClipRect = c;  // the glow crosses' own clip
        for (const Quad &q : kQuads) {
            for (int16_t hot : {int16_t(0), int16_t(-32768), int16_t(32767), int16_t(3)}) {
                Stuff st(Bpp());
                st.Hotspot(hot, int16_t(-hot));
                DrawClipped(st, q, c);
                if (!Inner(c)) continue;
                for (int y = 0; y < H; y++)
                    for (int x = 0; x < W; x++) {
                        bool in = x >= c.left && x <= c.right && y >= c.top && y <= c.bottom;
                        if (!in) {
                            ASSERT_EQ(st.canvas.At(x, y), Bpp() == 1 ? 0x33u : 0x3333u)
                                << "clip " << c.left << "," << c.top << "," << c.right << ","
                                << c.bottom << " quad " << q.x0 << "," << q.y0 << "," << q.x1
                                << "," << q.y1 << " at " << x << "," << y;
                        }
                    }
            }
        }
    }
}

TEST_P(HostileCoordinates, UnclippedDrawersStayInsideTheSurface) {
    LevelLightTables();
    ViewClipRect = {-1000, -1000, 1000, 1000};  // a view larger than the surface
    for (const Quad &q : kQuads) {
        Stuff st(Bpp());
        RowOffsetSurface = &st.canvas.s;
        BuildRowOffsetTable();
        DrawUnclipped(st, q);
        RowOffsetSurface = nullptr;
    }
}

INSTANTIATE_TEST_SUITE_P(Depth, HostileCoordinates, testing::Values(8, 16));

}  // namespace
