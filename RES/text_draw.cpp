// Bitmap-font text: plain, per-character fonts, measured, wrapped, centred.
#include <climits>
#include <cstring>

#include "RES/text.h"
#include "RES/gfx2d.h"
#include "core/options.h"

namespace {

bool ClipEmpty(const ClipRect *c) { return !c || c->left >= c->right || c->top >= c->bottom; }

constexpr int kMaxWord = 256;

// Words end just after a blank or an LF, which belong to them; a longer run
// is cut every 256 characters.
size_t WordLength(const unsigned char *p) {
    size_t n = 0;
    while (p[n] && n < kMaxWord) {
        unsigned char c = p[n++];
        if (c == ' ' || c == '\n') break;
    }
    return n;
}

// Walks the text in words, breaking the line before a word that would reach
// `right` unless x is at the line's start. A width break happens only while
// y + step stays below `bottom`; an LF always breaks. Draws in the glyphs'
// own colours when a surface is given. Returns the number of lines.
int Wrap(Surface *s, int *x, int *y, const char *text, const BitmapFont *font, const ClipRect *clip, int right,
         int step, int bottom) {
    const unsigned char *p = (const unsigned char *)text;
    int startX = *x, cx = *x, cy = *y, lines = 1;
    while (*p) {
        size_t n = WordLength(p);
        int w = 0;
        for (size_t i = 0; i < n; ++i) w += font->advance[p[i]];
        if (cx + w >= right && cx != startX && cy + step < bottom) {
            cy += step;
            cx = startX;
            ++lines;
        }
        for (size_t i = 0; i < n; ++i) {
            unsigned char c = p[i];
            if (c == '\n') {
                cy += step;
                cx = startX;
                ++lines;
                continue;
            }
            if (s) BlitGlyphClipped(s, font->glyph[c], clip, cx, cy, 1);
            cx += font->advance[c];
        }
        p += n;
    }
    *x = cx;
    *y = cy;
    return lines;
}

}  // namespace

void dunDrawText(Surface *surface, int *x, int *y, const char *text, const BitmapFont *font, int colour,
                 const ClipRect *clip) {
    if (!text || !font || ClipEmpty(clip)) return;
    int startX = *x, cx = *x, cy = *y;
    for (const unsigned char *p = (const unsigned char *)text; *p; ++p) {
        unsigned char c = *p;
        if (c == '\r') continue;
        if (c == '\n') {
            cy += font->lineHeight;
            cx = startX;
            continue;
        }
        if (c != ' ') BlitGlyph(surface, font->glyph[c], clip, cx, cy, colour);
        cx += font->advance[c];
    }
    *x = cx;
    *y = cy;
}

void dunDrawTextColoured(Surface *surface, int *x, int *y, const char *text, const uint8_t *fontNumbers,
                         const BitmapFont *const fonts[5], const ClipRect *clip) {
    if (!text || !fontNumbers || !fonts) return;
    int startX = *x, cx = *x, cy = *y;
    for (size_t i = 0; text[i]; ++i) {
        unsigned char c = (unsigned char)text[i];
        if (fontNumbers[i] >= 5 || !fonts[fontNumbers[i]]) continue;
        const BitmapFont *font = fonts[fontNumbers[i]];
        if (c == '\n') {
            cy += font->lineHeight;
            cx = startX;
            continue;
        }
        BlitGlyphClipped(surface, font->glyph[c], clip, cx, cy, 1);
        cx += font->advance[c];
    }
    *x = cx;
    *y = cy;
}

void dunDrawTextInRect(Surface *surface, int *x, int *y, const char *text, const BitmapFont *font,
                       const ClipRect *rect) {
    if (!text || !font || ClipEmpty(rect)) return;
    Wrap(surface, x, y, text, font, rect, rect->right, font->lineHeight + 4, rect->bottom);
}

void dunDrawTextWrapWidth(Surface *surface, int *x, int *y, const char *text, const BitmapFont *font,
                          const ClipRect *clip, int width) {
    if (!text || !font || ClipEmpty(clip)) return;
    Wrap(surface, x, y, text, font, clip, *x + width, font->lineHeight, INT_MAX);
}

int CountWrappedLines(const char *text, const BitmapFont *font, int width) {
    if (!text || !font) return 0;
    int x = 0, y = 0;
    int lines = Wrap(nullptr, &x, &y, text, font, nullptr, width, font->lineHeight + 4, INT_MAX);
    return lines * (font->lineHeight + 4);
}

void dunMeasureText(const char *text, const BitmapFont *font, int *width, int *height) {
    if (!text || !font) return;
    int widest = 0, line = 0, tallest = 0, h = 0;
    bool firstLine = true;
    for (const unsigned char *p = (const unsigned char *)text; *p; ++p) {
        if (*p == '\n') {
            if (line > widest) widest = line;
            line = 0;
            firstLine = false;
            h += font->lineHeight;
            continue;
        }
        line += font->advance[*p];
        const Surface *g = font->glyph[*p];
        if (firstLine && g && g->height > tallest) tallest = g->height;
    }
    if (line > widest) widest = line;
    if (width) *width = widest;
    if (height) *height = tallest + h;
}

void dunDrawTextCentred(Surface *surface, const char *text, const BitmapFont *font, const ClipRect *rect) {
    if (!text || !font || !rect) return;
    int w = 0, h = 0;
    dunMeasureText(text, font, &w, &h);
    int x = (rect->left + rect->right) / 2 - w / 2;
    int y = (rect->top + rect->bottom) / 2 + h / 2;
    dunDrawTextInRect(surface, &x, &y, text, font, rect);
}

void dunDrawTextWrapped(Surface *surface, const char *text, const BitmapFont *font, const ClipRect *rect) {
    if (!text || !font || !rect) return;
    int lh = font->lineHeight;
    if (lh == 0) {
        const Surface *a = font->glyph['A'], *g = font->glyph['g'];
        lh = (a ? a->height : 0) + (g ? g->height - g->hotY - 1 : 0);
    }
    const int left = rect->left + 4, right = rect->right - 4, bottom = rect->bottom - 4;
    int x = left, y = rect->top + lh + 4;
    const unsigned char *p = (const unsigned char *)text;
    while (*p && y < bottom) {
        // One piece: up to an LF, at most 254 characters.
        size_t n = 0;
        while (p[n] && p[n] != '\n' && n < 254) ++n;
        const unsigned char *end = p + n;
        const unsigned char *q = p;
        while (q < end && y < bottom) {
            while (q < end && std::strchr(",\n\r\t ", *q)) ++q;
            if (q >= end) break;
            const unsigned char *w = q;
            int width = 0;
            while (q < end && !std::strchr(",\n\r\t ", *q)) {
                const Surface *g = font->glyph[*q];
                width += (g ? g->width : 0) + 1;
                ++q;
            }
            if (x + width >= right) {
                y += lh;
                x = left;
            }
            for (; w < q; ++w) {
                // The glyphs are 8-bit pictures: at 16 bits they go through
                // the palette rather than being read as 16-bit pixels.
                if (SurfaceBytesPerPixel(surface) == 2)
                    BlitGlyphClipped(surface, font->glyph[*w], rect, x, y, 1);
                else
                    BlitSpriteClipped(surface, font->glyph[*w], rect, x, y);
                x += font->advance[*w];
            }
            x += font->advance[' '];
        }
        p = *end == '\n' ? end + 1 : end;
        y += lh;
        x = left;
    }
}
