// The 2D drawers fed with coordinates, sizes, clip rectangles and hotspots
// taken from the input: nothing may be written or read outside the surfaces.
// Byte 0 picks the depth and the surface size; then each 24-byte record is
// one drawing call.
#include <cstdint>
#include <cstring>
#include <vector>

#include "RES/gfx2d.h"
#include "core/options.h"  // CardMode

namespace {

struct Reader {
    const uint8_t *p;
    size_t n;
    int32_t I32() {
        int32_t v = 0;
        if (n >= 4) {
            std::memcpy(&v, p, 4);
            p += 4, n -= 4;
        } else {
            n = 0;
        }
        return v;
    }
    int16_t I16() { return int16_t(I32()); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    const int bits = (data[0] & 1) ? 16 : 8, bpp = bits / 8;
    CardMode = 0;
    const int w = 1 + (data[0] >> 1) % 97, h = 1 + (data[0] * 7) % 61;
    static uint8_t palette[1024];
    CurrentPalette = palette;
    std::vector<uint8_t> screen(size_t(w) * h * bpp), rasterPx(7 * 5 * bpp), glyphPx(6 * 4);
    for (size_t i = 0; i < rasterPx.size(); i++) rasterPx[i] = uint8_t(i * 37);
    for (size_t i = 0; i < glyphPx.size(); i++) glyphPx[i] = uint8_t(i % 3 ? 16 : 90);
    Surface s{screen.data(), int16_t(w), int16_t(h), 0, 0, int16_t(w * bpp), int16_t(bpp)};
    Surface raster{rasterPx.data(), 7, 5, 0, 0, int16_t(7 * bpp), int16_t(bpp)};
    Surface glyph{glyphPx.data(), 6, 4, 0, 0, 6, 1};
    std::vector<uint8_t> raster8(35, 50), sprite;
    Surface r8{raster8.data(), 7, 5, 0, 0, 7, 1};
    for (int i = 0; i < 35; i += 3) raster8[i] = 0;
    sprite.resize(MakeSpriteFromRaster(&r8, nullptr, 0));
    MakeSpriteFromRaster(&r8, sprite.data(), 0);
    static std::vector<uint8_t> cube(65536, 3);
    Reader in{data + 1, size - 1};
    for (int call = 0; call < 64 && in.n >= 24; call++) {
        int op = in.I32() & 31;
        int x0 = in.I32(), y0 = in.I32(), x1 = in.I32(), y1 = in.I32();
        int32_t extra = in.I32();
        ClipRect clip{int16_t(extra), int16_t(extra >> 8), int16_t(extra >> 4), int16_t(extra >> 12)};
        raster.hotX = r8.hotX = glyph.hotX = int16_t(extra);
        raster.hotY = r8.hotY = glyph.hotY = int16_t(extra >> 16);
        ViewClipRect = clip;
        switch (op) {
        case 0: PutPixelClipped(&s, x1, x0, y0, &clip); break;
        case 1: FillRect(&s, 5, x0, y0, x1, y1); break;
        case 2: FillRectClipped(&s, 6, &clip, x0, y0, x1, y1); break;
        case 3: DrawLine(&s, x0, y0, x1, y1, 7); break;
        case 4: DrawLineClipped(&s, x0, y0, x1, y1, 8, &clip); break;
        case 5: DrawLineRgb(&s, int16_t(x0), int16_t(y0), int16_t(x1), int16_t(y1), Rgb{1, 2, 3}, cube.data()); break;
        case 6: DrawLineRgbClipped(&s, x0, y0, x1, y1, Rgb{9, 8, 7}, cube.data(), &clip); break;
        case 7: DrawLightLine(&s, int16_t(x0), int16_t(y0), int16_t(x1), int16_t(y1), extra); break;
        case 8: DrawLightLineClipped(&s, x0, y0, x1, y1, extra, &clip); break;
        case 9: DrawShadedSprite(&s, int16_t(x1), y1, 0, x0, y0, int16_t(extra >> 3), uint8_t(extra), &clip); break;
        case 10: DrawGlowCross(&s, extra, x0, y0, x1 % 4096); break;
        case 11: FillTriangle(&s, x0, y0, x1, y1, extra, extra >> 8, x0 & 15, y0 & 15, x1 & 15, extra); break;
        case 12: FillTriangleHalf(&s, x0, y0, y1, x1, extra, x0 & 15, y0 & 15, y1 & 15, extra); break;
        case 13: BlitSurface(&s, (extra & 1) ? &r8 : &raster, x0, y0); break;
        case 14: BlitMaskedSprite(&s, &raster, x0, y0, x1, y1, extra, extra >> 16); break;
        case 15: BlitSpriteClipped(&s, &raster, &clip, x0, y0); break;
        case 16: BlitGlyphClipped(&s, bits == 16 ? &r8 : &raster, &clip, x0, y0, bits == 16); break;
        case 17: BlitGlyph(&s, &glyph, &clip, x0, y0, 9); break;
        case 18: BlitRasterColouredClipped(&s, &raster, &clip, x0, y0, 10, 0); break;
        case 19: DrawRunLengthSpriteClipped(&s, &r8, x0, y0, sprite.data(), &clip); break;
        case 20: DrawSpriteA(&s, &r8, x0, y0, sprite.data()); break;
        case 21: DrawSpriteB(&s, bits == 16 ? &raster : &r8, 11, x0, y0, sprite.data()); break;
        case 22: GrabRasterFromSurface(&raster, &s, x0, y0); break;
        case 23: DrawStaticNoise(&s, x1, x0, y0, y1, extra); break;
        case 24: JitterRect(&s, extra & 15, x0, y0, x1, y1); break;
        case 25: BlitDoubledAt(r8.pixels, 7, 5, &s, x0, y0); break;
        case 26: ClearSurface(&s, x0); break;
        default: PutPixel(&s, x1, x0, y0); break;
        }
    }
    return 0;
}
