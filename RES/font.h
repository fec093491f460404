// Bitmap fonts (256 glyphs indexed by the Windows-1252 byte), vector fonts of
// pen strokes, their files and loaders, the developer font builder, and the
// whole-text-file resources.
#pragma once

#include <cstddef>
#include <cstdint>

#include "RES/surface.h"

// A bitmap font. The font file of type FON2RFONT stores the same fields (with
// two pad bytes after the line height and u32 offsets for the pointers).
// Codes without a picture of their own point to the blank's glyph (code 32).
// A glyph is an 8-bit raster drawn as a surface (rows without padding): 0 is
// empty for the own-colour drawers, 16 for the one-colour drawer; its hotY is
// its height above the baseline.
struct BitmapFont {
    uint16_t advance[256];
    uint16_t lineHeight;
    Surface *glyph[256];
};

// 128 stroke strings, one per character code; the strings follow the table in
// the same block. Each byte is one point: bits 4-7 the row a, bits 1-3 the
// column b, bit 0 set for a move without drawing; 0 ends the string.
struct VectorFont {
    const uint8_t *strokes[128];
};

// File layouts.
constexpr size_t kFntHeadSize = 1024;  // u32 offsets[256]
constexpr size_t kFonHeadSize = 1540;  // advance[256], lineHeight, 2 pad bytes, offsets[256]
constexpr size_t kGlyphHeadSize = 12;  // 4 unused bytes, u16 width, height, hotspotX, hotspotY
// The block a vector font is read into: the stroke strings get the room they
// had beside a table of 32-bit pointers.
constexpr size_t kVectorFontBlockSize = 10000 - 128 * 4 + sizeof(VectorFont);

// Resource converters. Each gets the resource's name, the block reserved for
// it and a size out-value; when that value is not 0 on entry it holds the
// block's capacity, which the converter never writes past. They return the
// data (null on failure).
//
// Loaded bitmap fonts are laid out in the block as the font record, its glyph
// surfaces and a copy of the file; the sizes allow for that.
uint32_t FntFontSize(const char *name);
void *LoadFntFont(const char *name, void *block, uint32_t *size);
uint32_t FonFontSize(const char *name);
void *LoadFonFont(const char *name, void *block, uint32_t *size);
uint32_t VectorFontSize(const char *name);
void *vfontLoad(const char *name, void *block, uint32_t *size);
uint32_t TextFileSize(const char *name);
void *LoadTextFile(const char *name, void *block, uint32_t *size);
// Reads `length` bytes from the file's start; the buffer, or null when the
// file doesn't open (or is longer than any text the game reads, 64 MB).
void *ReadWholeFile(const char *name, void *buffer, uint32_t length);
// One sound slot record; with sound on, the slot is filled from the wave
// file and the block returned, else null.
uint32_t SoundResourceSize(const char *name);
void *LoadSoundResource(const char *name, void *block, uint32_t *size);

// Parses font file bytes already in memory into `block` (of `capacity`
// bytes; the file bytes are copied into it). Null when an offset or a glyph
// lies outside the file or the block is too small. Shared by the converters
// and the fuzz targets.
BitmapFont *fontParseFnt(const uint8_t *file, size_t length, void *block, size_t capacity);
BitmapFont *fontParseFon(const uint8_t *file, size_t length, void *block, size_t capacity);
// The block size a font file of `length` bytes needs once parsed.
size_t fontParsedSize(size_t length);
// Parses vector-font text in memory into `block`; null on a bad file.
VectorFont *vfontParse(const char *text, size_t length, void *block, size_t capacity);

// Fills a font's glyphs from the IFF pictures "<folder>\cNNN.bbm" (codes
// 33..126, 145..148 and 192..255; lower case then shows the capitals, and
// codes without a picture the blank). The advances and line height are left
// as they were.
void LoadGlyphFont(BitmapFont *font, const char *folder);
// Frees the glyph pictures LoadGlyphFont gave a font.
void FreeGlyphFont(BitmapFont *font);
// Writers: a packed font file (FNT2RFONT) and a font file (FON2RFONT). True
// when the file could be created.
bool fontMake(const char *name, const BitmapFont *font);
bool SaveBitmapFont(const char *name, const BitmapFont *font);

// Developer font builder. There is no font dialog here: `fontChoose` takes
// the face and size named by RUVO_FONT_CHOICE ("Face Name:tenths of a
// point") when set, else those last set by `fontSetChoice` (at first
// "DejaVu Sans" at 10 points), and returns the opened face, or null.
struct GlyphFace;
void fontSetChoice(const char *faceName, int tenthsOfPoint);
GlyphFace *fontChoose();
// The file name the last choice suggests: "vek\resource\fonts\<face><points>.fon".
const char *fontChosenFileName();
// Render the chosen face into a new bitmap font, halved from a double-size
// monochrome rendering (`fontBuild`) or at full size in 65 grey levels
// (`fontBuildAlt`). The font becomes the tools' current font. Null when no
// face could be chosen.
BitmapFont *fontBuild(int extraAdvance, int extraLineHeight);
BitmapFont *fontBuildAlt(int extraAdvance, int extraLineHeight);
BitmapFont *fontBuildFromFace(GlyphFace *face, bool alt, int extraAdvance, int extraLineHeight);
BitmapFont *fontCurrent();

// Image filters kept with the builder: 3x3 weighted blur, 5x5 box blur (both
// with zero outside the image) and the capped average of two images.
void fontFilterBlur3(const uint8_t *src, uint8_t *dst, int width, int height);
void fontFilterBlur5(const uint8_t *src, uint8_t *dst, int width, int height);
void fontFilterAverage(const uint8_t *a, const uint8_t *b, uint8_t *dst, int count);
