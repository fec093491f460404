// Drawing state, colour remapping, pixels, rectangles, noise and jitter.
#include <algorithm>
#include <cstring>
#include <vector>

#include "RES/gfx2d.h"
#include "RES/gfx2d_detail.h"
#include "RES/util.h"
#include "platform/display.h"

using namespace gfx;

const uint8_t *CurrentPalette = nullptr;
uint32_t RowOffsets[1024];
Surface *RowOffsetSurface = nullptr;

void RemapToShadeRamp(Surface *raster, const uint8_t *palette, int base, int steps) {
    if (!Usable(raster) || Is16(raster) || !palette || steps <= 0) return;
    int divisor = 768 / steps;
    if (divisor == 0) return;
    size_t n = size_t(raster->width) * raster->height;
    for (size_t i = 0; i < n; i++) {
        const uint8_t *e = palette + raster->pixels[i] * 4;
        raster->pixels[i] = uint8_t(int64_t(base) + (e[0] + e[1] + e[2]) / divisor);
    }
}

void TintRasterThroughCube(Surface *raster, const uint8_t *palette, const uint8_t *cube,
                           int redFactor, int greenFactor, int blueFactor) {
    if (!Usable(raster) || !palette || !cube) return;
    auto scale = [](int c, int f) { return unsigned(std::clamp<int64_t>(int64_t(c) * f / 256, 0, 255)); };
    size_t n = size_t(raster->width) * raster->height;
    for (size_t i = 0; i < n; i++) {
        const uint8_t *e = palette + raster->pixels[i] * 4;
        raster->pixels[i] = cube[ColourCubeIndex(scale(e[0], redFactor), scale(e[1], greenFactor),
                                                 scale(e[2], blueFactor))];
    }
}

void BuildRowOffsetTable() {
    Surface *s = RowOffsetSurface ? RowOffsetSurface : &ScreenSurface;
    for (uint32_t i = 0; i < 1024; i++) RowOffsets[i] = i * uint32_t(uint16_t(s->pitch));
}

static Surface *RowSurface() { return RowOffsetSurface ? RowOffsetSurface : &ScreenSurface; }

void PutScreenPixel16(uint16_t colour, int x, int y) {
    Surface *s = RowSurface();
    if (!Usable(s) || x < 0 || y < 0 || x >= s->width || y >= s->height || y >= 1024) return;
    if (s->pitch < s->width * 2) return;
    Put16(s->pixels + x * 2 + RowOffsets[y], colour);
}

void PutScreenPixel8(uint8_t colour, int x, int y) {
    Surface *s = RowSurface();
    if (!Usable(s) || x < 0 || y < 0 || x >= s->width || y >= s->height || y >= 1024) return;
    if (s->pitch < s->width) return;
    s->pixels[x + RowOffsets[y]] = colour;
}

void PutPixel(Surface *surface, int colourIndex, int x, int y) {
    if (!Usable(surface) || x < 0 || y < 0 || x >= surface->width || y >= surface->height) return;
    if (Is16(surface))
        Put16(surface->pixels + x * 2 + size_t(y) * Stride(surface), Rgb565(colourIndex));
    else
        surface->pixels[x + size_t(y) * surface->width] = uint8_t(colourIndex);
}

void PutPixelClipped(Surface *surface, int colourIndex, int x, int y, const ClipRect *clip) {
    if (!clip || x < clip->left || x > clip->right || y < clip->top || y > clip->bottom) return;
    PutPixel(surface, colourIndex, x, y);
}

// Fills an inclusive box already inside the surface.
static void FillBox(Surface *s, int colourIndex, const Box &b) {
    if (b.Empty()) return;
    int stride = Stride(s);
    if (Is16(s)) {
        uint16_t v = Rgb565(colourIndex);
        for (int y = b.top; y <= b.bottom; y++) {
            uint8_t *row = s->pixels + size_t(y) * stride + b.left * 2;
            for (int x = 0; x <= b.right - b.left; x++) Put16(row + x * 2, v);
        }
    } else {
        for (int y = b.top; y <= b.bottom; y++)
            std::memset(s->pixels + size_t(y) * stride + b.left, uint8_t(colourIndex),
                        b.right - b.left + 1);
    }
}

void ClearSurface(Surface *surface, int colourIndex) {
    if (CardMode) {
        Display3dClear(colourIndex);
        return;
    }
    if (!Usable(surface)) return;
    FillBox(surface, colourIndex, SurfaceBox(surface));
}

static Box SortedBox(int x0, int y0, int x1, int y1) {
    return {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
}

static Box Intersect(Box a, const Box &b) {
    a.left = std::max(a.left, b.left);
    a.top = std::max(a.top, b.top);
    a.right = std::min(a.right, b.right);
    a.bottom = std::min(a.bottom, b.bottom);
    return a;
}

void FillRect(Surface *surface, int colourIndex, int x0, int y0, int x1, int y1) {
    if (!Usable(surface)) return;
    FillBox(surface, colourIndex, Intersect(SortedBox(x0, y0, x1, y1), SurfaceBox(surface)));
}

void FillRectClipped(Surface *surface, int colourIndex, const ClipRect *clip, int x0, int y0,
                     int x1, int y1) {
    if (!Usable(surface) || !clip) return;
    FillBox(surface, colourIndex,
            Intersect(SortedBox(x0, y0, x1, y1), ClipBox(surface, clip)));
}

void DrawStaticNoise(Surface *surface, int colour, int x0, int y0, int x1, int y1) {
    if (!Usable(surface) || Is16(surface)) return;
    unsigned mask = dunRand15() % 7 == 6 ? 31 : 15;
    int base = int(((int64_t(colour) + 16) & 0xE0) - 16);
    Box b = Intersect(SortedBox(x0, y0, x1, y1), SurfaceBox(surface));
    for (int y = b.top; y <= b.bottom; y++) {
        uint8_t *row = surface->pixels + size_t(y) * surface->width;
        for (int x = b.left; x <= b.right; x++) row[x] = uint8_t((dunRandom32() & mask) + base);
    }
}

void JitterRect(Surface *surface, int strength, int x0, int y0, int x1, int y1) {
    if (CardMode || strength <= 0 || !Usable(surface)) return;
    strength = std::min(strength, 10);
    Box b = SortedBox(x0, y0, x1, y1);
    int64_t left = int64_t(b.left) + 1, top = int64_t(b.top) + 1;
    int64_t right = int64_t(b.right) - 1, bottom = int64_t(b.bottom) - 1;
    if (left == right || top == bottom) return;
    // The rows y0 .. y1 - 1, pixels x0 .. x1, cut to the surface.
    left = std::max<int64_t>(left, 0);
    right = std::min<int64_t>(right, surface->width - 1);
    int64_t rowEnd = std::min<int64_t>(bottom, surface->height);
    if (left > right) return;
    int bpp = Bpp(surface), stride = Stride(surface);
    size_t count = size_t(right - left + 1);
    std::vector<uint8_t> tmp(count * bpp);
    for (int64_t y = std::max<int64_t>(top, 0); y < rowEnd; y++) {
        int s = dunRand15() % strength - strength / 2;
        uint8_t *row = surface->pixels + size_t(y) * stride + left * bpp;
        long shift = long(((s % long(count)) + long(count)) % long(count));  // left rotation
        if (shift == 0) continue;
        std::memcpy(tmp.data(), row, count * bpp);
        for (size_t i = 0; i < count; i++)
            std::memcpy(row + i * bpp, tmp.data() + ((i + shift) % count) * bpp, bpp);
    }
}
