// Vector-font text: pen strokes drawn as clipped lines.
#include "RES/text.h"
#include "RES/gfx2d.h"

void vfontDrawGlyph(Surface *surface, const uint8_t *strokes, int x, int y, const ClipRect *clip, int colour) {
    if (!strokes) return;
    int px = x, py = y;
    for (const uint8_t *p = strokes; *p; ++p) {
        int a = *p >> 4, b = (*p >> 1) & 7;
        int nx = x + b * 2, ny = y + (5 - a) * 2;
        if (!(*p & 1)) DrawLineClipped(surface, nx, ny, px, py, colour, clip);
        px = nx;
        py = ny;
    }
}

void vfontDrawGlyphScaled(Surface *surface, const uint8_t *strokes, float scale, float x, float y,
                          const ClipRect *clip, int colour) {
    if (!strokes) return;
    float f = scale / 256.0f;
    float px = x, py = y;
    for (const uint8_t *p = strokes; *p; ++p) {
        int a = *p >> 4, b = (*p >> 1) & 7;
        float nx = x + (float)(b * 2) * f, ny = y + (float)((5 - a) * 2) * f;
        if (!(*p & 1)) DrawLineClipped(surface, (int)nx, (int)ny, (int)px, (int)py, colour, clip);
        px = nx;
        py = ny;
    }
}

void vfontDrawTextScaled(Surface *surface, float size, int *x, int *y, const char *text, const VectorFont *font,
                         const ClipRect *clip, int colour) {
    if (!text || !font) return;
    float scale = size * 256.0f / 18.0f;
    float startX = (float)*x, cx = startX, cy = (float)*y;
    for (const unsigned char *p = (const unsigned char *)text; *p; ++p) {
        if (*p == '\n') {
            cy += 24.0f * scale / 256.0f;
            cx = startX;
            continue;
        }
        // The font has strokes for the first 128 codes only.
        if (*p < 128) vfontDrawGlyphScaled(surface, font->strokes[*p], scale, cx, cy, clip, colour);
        cx += 20.0f * scale / 256.0f;
    }
    *x = (int)cx;
    *y = (int)cy;
}
