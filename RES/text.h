// Text drawing: strings in a bitmap font in one colour or in their glyphs'
// own colours, measured, centred and word-wrapped; strings in a vector font as
// pen strokes. A drawer's y is the baseline; x and y passed by address come
// back as the point after the last character.
#pragma once

#include <cstdint>

#include "RES/font.h"
#include "RES/gfx2d.h"
#include "RES/surface.h"

// One colour (a palette index; RGB565 of its entry at 16 bits). CR is ignored,
// LF goes down one line height to the starting x. Nothing for a null text or
// an empty clip rectangle.
void dunDrawText(Surface *surface, int *x, int *y, const char *text, const BitmapFont *font, int colour,
                 const ClipRect *clip);
// Each character in the font its number (0..4) selects, in the glyph's own
// colours; numbers of 5 or more and null fonts skip the character.
void dunDrawTextColoured(Surface *surface, int *x, int *y, const char *text, const uint8_t *fontNumbers,
                         const BitmapFont *const fonts[5], const ClipRect *clip);
// Word-wrapped inside the rectangle (line step lineHeight + 4; width breaks
// only while the next line stays above the bottom), in the glyphs' colours.
void dunDrawTextInRect(Surface *surface, int *x, int *y, const char *text, const BitmapFont *font,
                       const ClipRect *rect);
// The same wrapping at the starting x + width, line step lineHeight, no
// bottom test.
void dunDrawTextWrapWidth(Surface *surface, int *x, int *y, const char *text, const BitmapFont *font,
                          const ClipRect *clip, int width);
// Widest line's advances, and the first line's tallest glyph plus one line
// height per LF. Nothing for a null text.
void dunMeasureText(const char *text, const BitmapFont *font, int *width, int *height);
void dunDrawTextCentred(Surface *surface, const char *text, const BitmapFont *font, const ClipRect *rect);
// Height in pixels of the text wrapped at `width` like dunDrawTextInRect.
int CountWrappedLines(const char *text, const BitmapFont *font, int width);
// Paragraphs with a 4-pixel margin; commas, tabs and CRs separate words and
// are not drawn.
void dunDrawTextWrapped(Surface *surface, const char *text, const BitmapFont *font, const ClipRect *rect);

// Vector glyphs: the point of a stroke byte (row a, column b) lies at
// (x + 2b, y + 2(5 - a)).
void vfontDrawGlyph(Surface *surface, const uint8_t *strokes, int x, int y, const ClipRect *clip, int colour);
void vfontDrawGlyphScaled(Surface *surface, const uint8_t *strokes, float scale, float x, float y,
                          const ClipRect *clip, int colour);
// Vector text at a size (18 draws the glyphs at their own size): 20 x size /
// 18 pixels per character, LF 24 x size / 18 lower. Codes of 128 and above
// have no glyph and advance as a blank.
void vfontDrawTextScaled(Surface *surface, float size, int *x, int *y, const char *text, const VectorFont *font,
                         const ClipRect *clip, int colour);
