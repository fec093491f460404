#include "RES/text_pixels.h"

#include <cstdlib>

#include "app/options.h"

const uint8_t *gTextPalette = nullptr;

namespace {

uint16_t Rgb565(int index) {
    if (!gTextPalette) return 0;
    const uint8_t *e = gTextPalette + 4 * (index & 0xFF);
    return (uint16_t)(((e[0] & 0xF8) << 8) + ((e[1] & 0xFC) << 3) + (e[2] >> 3));
}

// The clip rectangle cut to the surface; false when nothing is left.
bool Bounds(const Surface *s, const ClipRect *clip, int *l, int *t, int *r, int *b) {
    *l = 0, *t = 0, *r = s->width - 1, *b = s->height - 1;
    if (clip) {
        if (clip->left > *l) *l = clip->left;
        if (clip->top > *t) *t = clip->top;
        if (clip->right < *r) *r = clip->right;
        if (clip->bottom < *b) *b = clip->bottom;
    }
    return s->pixels && *l <= *r && *t <= *b;
}

void Put(Surface *s, int x, int y, int index) {
    if (PixelDepth == 16)
        *(uint16_t *)(s->pixels + (size_t)y * s->pitch + 2 * (size_t)x) = Rgb565(index);
    else
        s->pixels[(size_t)y * s->width + x] = (uint8_t)index;
}

enum Mode { kOneColour, kOwnColours, kOpaque };

void Blit(Surface *s, const Raster *g, const ClipRect *clip, int x, int y, Mode mode, int colour) {
    int l, t, r, b;
    if (!s || !g || !g->pixels || !Bounds(s, clip, &l, &t, &r, &b)) return;
    int x0 = x - g->hotspotX, y0 = y - g->hotspotY;
    for (int j = 0; j < g->height; ++j) {
        int py = y0 + j;
        if (py < t || py > b) continue;
        const uint8_t *row = g->pixels + (size_t)j * g->width;
        for (int i = 0; i < g->width; ++i) {
            int px = x0 + i;
            if (px < l || px > r) continue;
            uint8_t v = row[i];
            if (mode == kOneColour) {
                if (v != 16) Put(s, px, py, colour);
            } else if (mode == kOpaque || v > 16) {
                Put(s, px, py, v);
            }
        }
    }
}

}  // namespace

void txtBlitGlyph(Surface *s, const Raster *g, const ClipRect *clip, int x, int y, int colour) {
    Blit(s, g, clip, x, y, kOneColour, colour);
}
void txtBlitGlyphOwn(Surface *s, const Raster *g, const ClipRect *clip, int x, int y) {
    Blit(s, g, clip, x, y, kOwnColours, 0);
}
void txtBlitOpaque(Surface *s, const Raster *g, const ClipRect *clip, int x, int y) {
    Blit(s, g, clip, x, y, kOpaque, 0);
}

void txtDrawLineClipped(Surface *s, int x0, int y0, int x1, int y1, int colour, const ClipRect *clip) {
    int l, t, r, b;
    if (!s || !Bounds(s, clip, &l, &t, &r, &b)) return;
    int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        if (x0 >= l && x0 <= r && y0 >= t && y0 <= b) Put(s, x0, y0, colour);
        if (x0 == x1 && y0 == y1) break;
        int e2 = 2 * err;
        if (e2 >= dy) err += dy, x0 += sx;
        if (e2 <= dx) err += dx, y0 += sy;
    }
}
