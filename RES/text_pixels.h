// The pixel operations the text drawers use: glyphs in one colour or in their
// own colours, opaque copies and clipped lines, on 8-bit and RGB565 surfaces.
#pragma once

#include "RES/raster.h"
#include "RES/text.h"

// The palette 16-bit drawing converts indices through (256 x red, green,
// blue, spare); null draws black.
extern const uint8_t *gTextPalette;

// Every glyph pixel other than 16 becomes the colour.
void txtBlitGlyph(Surface *s, const Raster *g, const ClipRect *clip, int x, int y, int colour);
// The glyph's own colours; values 0..16 are transparent.
void txtBlitGlyphOwn(Surface *s, const Raster *g, const ClipRect *clip, int x, int y);
// Every pixel copied.
void txtBlitOpaque(Surface *s, const Raster *g, const ClipRect *clip, int x, int y);
void txtDrawLineClipped(Surface *s, int x0, int y0, int x1, int y1, int colour, const ClipRect *clip);
