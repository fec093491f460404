// Software 2D drawing into 8-bit (palette index) and 16-bit (RGB565)
// surfaces: colour conversions, pixels, rectangles, lines, blits, run-length
// sprites, light effects and screenshots.
//
// Every drawer works at the depth of the surface it draws into (its
// `bytesPerPixel`). Rasters, glyphs and sprites' sources are Surfaces too: a
// raster's rows follow each other without padding.
//
// Whatever coordinates a drawer gets, it never writes (or reads) outside the
// surfaces it was given: routines without a clip rectangle of their own
// still clip to the surface.
#pragma once

#include <cstddef>
#include <cstdint>

#include "RES/surface.h"

// An inclusive clip rectangle.
struct ClipRect {
    int16_t left;
    int16_t top;
    int16_t right;
    int16_t bottom;
};

struct Rgb {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};

// A picture record (RES/picture.h) drawn as a Surface: the leading fields
// are the same.
template <class R>
inline Surface *AsSurface(R *raster) {
    static_assert(sizeof(R) == sizeof(Surface) && offsetof(R, pixels) == offsetof(Surface, pixels) &&
                      offsetof(R, width) == offsetof(Surface, width) &&
                      offsetof(R, pitch) == offsetof(Surface, pitch),
                  "a raster must lead with the Surface fields");
    return reinterpret_cast<Surface *>(raster);
}
template <class R>
inline const Surface *AsSurface(const R *raster) {
    return AsSurface(const_cast<R *>(raster));
}

// ---- Clipping of block copies ------------------------------------------------

// An inclusive box in plain ints.
struct PixelBox {
    int left, top, right, bottom;
    bool Empty() const { return left > right || top > bottom; }
};
// Where a w x h block placed at (x, y) meets a box: the destination of its
// first visible pixel, that pixel's place in the block, and the visible size.
struct CopySpan {
    int dx, dy;
    int sx, sy;
    int w, h;
};
// False when nothing of the block lies inside the box. Every copy of a block
// of pixels in the game is cut by this one routine.
bool ClipCopy(int64_t x, int64_t y, int w, int h, const PixelBox &box, CopySpan *out);

// ---- Global drawing state -------------------------------------------------

// 256 entries of (red, green, blue, unused) bytes, or null.
extern const uint8_t *CurrentPalette;
// 1024 entries, entry i = i x the screen surface's pitch.
extern uint32_t RowOffsets[1024];
// Light tables: table t, level m, pixel p at t x 4096 + m x 256 + p.
extern uint8_t LightTables[65536];
// Two 128 x 128 glow masks, row after row; mask 0 then mask 1.
extern uint8_t GlowMasks[2 * 128 * 128];
extern const uint8_t GlowColours[16];
// The clip rectangle of the 3D view being drawn, which the glow crosses keep
// to; the 3D presentation sets it for each view (the 640 x 480 screen until it
// does).
extern ClipRect ViewClipRect;
// The random column offsets of glows and triangles.
extern uint32_t RandomOffsets[800];
extern bool RandomOffsetsReady;

// ---- Colour conversions ---------------------------------------------------

inline uint16_t PaletteToRgb565(const uint8_t *palette, unsigned index) {
    if (!palette) return 0;
    const uint8_t *e = palette + (index & 0xFF) * 4;
    return uint16_t(((e[0] & 0xF8) << 8) + ((e[1] & 0xFC) << 3) + (e[2] >> 3));
}
// 5 bits of red, 5 of green, 6 of blue.
inline unsigned ColourCubeIndex(unsigned red, unsigned green, unsigned blue) {
    return ((red << 8) & 0xF800) | ((green << 3) & 0x7C0) | ((blue >> 2) & 0x3F);
}

void RemapToShadeRamp(Surface *raster, const uint8_t *palette, int base, int steps);
void TintRasterThroughCube(Surface *raster, const uint8_t *palette, const uint8_t *cube,
                           int redFactor, int greenFactor, int blueFactor);
// Tints glyphs 32..255 of a bitmap font (anything with `Surface *glyph[256]`),
// leaving alone those that share the blank's glyph.
template <class Font>
void RecolourFontGlyphs(Font *font, const uint8_t *palette, const uint8_t *cube, int redFactor,
                        int greenFactor, int blueFactor) {
    if (!font) return;
    for (int c = 32; c < 256; c++) {
        if (!font->glyph[c] || (c != 32 && font->glyph[c] == font->glyph[32])) continue;
        TintRasterThroughCube(font->glyph[c], palette, cube, redFactor, greenFactor, blueFactor);
    }
}

// ---- Pixels and rectangles ------------------------------------------------

// The screen surface whose pitch the row-offset table follows; set by the
// display driver's Open.
extern Surface *RowOffsetSurface;
void BuildRowOffsetTable();
void PutScreenPixel16(uint16_t colour, int x, int y);
void PutScreenPixel8(uint8_t colour, int x, int y);
void PutPixel(Surface *surface, int colourIndex, int x, int y);
void PutPixelClipped(Surface *surface, int colourIndex, int x, int y, const ClipRect *clip);
void ClearSurface(Surface *surface, int colourIndex);
void FillRect(Surface *surface, int colourIndex, int x0, int y0, int x1, int y1);
void FillRectClipped(Surface *surface, int colourIndex, const ClipRect *clip, int x0, int y0, int x1,
                     int y1);
void DrawStaticNoise(Surface *surface, int colour, int x0, int y0, int x1, int y1);
void JitterRect(Surface *surface, int strength, int x0, int y0, int x1, int y1);

// ---- Raster copies --------------------------------------------------------
//
// Transparent source pixels: 8-bit values 0..16 and the 16-bit value 0 in
// the copies with transparency; only the value 16 in one-colour glyphs.
// Rasters are placed at (x - hotX, y - hotY). Mode 0: the raster has the
// surface's depth; any other mode: an 8-bit raster shown at 16 bits through
// the current palette. A raster that is 8-bit by its own `bytesPerPixel` is
// shown through the palette whatever the mode. Copies between two surfaces
// (BlitSurface, BlitMaskedSprite) need both at one depth and do nothing else.

void GrabRasterFromSurface(Surface *raster, const Surface *surface, int x, int y);
// An 8-bit picture twice its size, centred on the destination; at 16 bits
// through `palette` (the video palette; the current palette when null).
void BlitDoubled(const uint8_t *pixels, int w, int h, Surface *destination, const uint8_t *palette = nullptr);
// The same with the doubled picture's top left corner at (x, y).
void BlitDoubledAt(const uint8_t *pixels, int w, int h, Surface *destination, int64_t x, int64_t y,
                   const uint8_t *palette = nullptr);
void BlitRasterColouredClipped(Surface *surface, const Surface *raster, const ClipRect *clip, int x,
                               int y, int colour, int mode);
void BlitSurface(Surface *destination, const Surface *source, int x, int y);
void BlitMaskedSprite(Surface *destination, const Surface *source, int dx, int dy, int sx, int sy,
                      int w, int h);
void BlitSpriteClipped(Surface *surface, const Surface *raster, const ClipRect *clip, int x, int y);
void BlitGlyphClipped(Surface *surface, const Surface *raster, const ClipRect *clip, int x, int y,
                      int mode);
void BlitGlyph(Surface *surface, const Surface *glyph, const ClipRect *clip, int x, int y,
               int colour);

// ---- Run-length sprites (8 bits per pixel) --------------------------------
//
// Layout: the source raster's address (8 bytes), then per row a u16 entry
// count and entries alternating skip (u16) / opaque run (u16 length, u32
// offset of its first pixel in the raster's pixels), starting with a skip.

// Builds the sprite into `sprite` (when not null) and returns its size.
size_t MakeSpriteFromRaster(const Surface *raster, uint8_t *sprite, int transparent);
void DrawSpriteA(Surface *surface, const Surface *raster, int x, int y, const uint8_t *sprite);
void DrawRunLengthSpriteClipped(Surface *surface, const Surface *raster, int x, int y,
                                const uint8_t *sprite, const ClipRect *clip);
void DrawSpriteB(Surface *surface, const Surface *raster, int colour, int x, int y,
                 const uint8_t *sprite);
int CountRun(const uint8_t *row, int start, int value, int width);
int CountNonRun(const uint8_t *row, int start, int value, int width);

// ---- Lines ------------------------------------------------------------------

void DrawLine(Surface *surface, int x0, int y0, int x1, int y1, int colour);
void DrawLineClipped(Surface *surface, int x0, int y0, int x1, int y1, int colour,
                     const ClipRect *clip);
void DrawLineRgb(Surface *surface, int16_t x0, int16_t y0, int16_t x1, int16_t y1, Rgb colour,
                 const uint8_t *cube);
void DrawLineRgbClipped(Surface *surface, int x0, int y0, int x1, int y1, Rgb colour,
                        const uint8_t *cube, const ClipRect *clip);
void DrawLightLine(Surface *surface, int16_t x0, int16_t y0, int16_t x1, int16_t y1, int table);
void DrawLightLineClipped(Surface *surface, int x0, int y0, int x1, int y1, int table,
                          const ClipRect *clip);
// Cuts the line to the clip rectangle; false when nothing of it is left.
bool ClipLine(int &x0, int &y0, int &x1, int &y1, const ClipRect *clip);

// ---- Light effects (8 bits per pixel) ---------------------------------------

void InitRandomOffsets();
void DrawShadedSprite(Surface *surface, int16_t intensity, int colour, int unused, int x, int y,
                      int16_t size, uint8_t cross, const ClipRect *clip);
void DrawGlowCross(Surface *surface, int table, int x, int y, int size);
void FillTriangle(Surface *surface, int x0, int y0, int x1, int y1, int x2, int y2, int s0, int s1,
                  int s2, int table);
void FillTriangleHalf(Surface *surface, int ax, int ay, int h, int xa, int xb, int apexShade,
                      int shadeA, int shadeB, int table);
void FillTriangleChecked(Surface *surface, int x0, int y0, int x1, int y1, int x2, int y2, int s0,
                         int s1, int s2, int table);

// ---- Screenshots ------------------------------------------------------------

// Writes the surface as an 8-bit PCX with the header and palette of
// "vek\resource\art\tovstd.pcx". False when the file could not be written.
bool SaveSurfacePcx(const Surface *surface, const char *name);
// Saves the next screenshot ("t%05ld.pcx" at 8 bits, a TGA frame at 16) in
// "vek\resource\art\screens", never over an earlier one. An 8-bit one takes
// the header of "header.pcx" in that folder and the current palette (the
// picture's own when none is set); without that picture there is none.
// False when nothing could be written.
bool SaveScreenshotPcx(const Surface *surface);
// Forgets the kept header pictures and the screenshot numbers (tests).
void ResetScreenshots();
