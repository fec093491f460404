// Glyph outlines for the developer font builder: a scalable face opened by
// name and rendered one Windows-1252 character at a time.
#pragma once

#include <cstdint>
#include <vector>

struct GlyphFace;

// Picture formats of a rendered glyph.
enum GlyphFormat {
    GLYPH_MONO = 1,  // one byte per pixel, 0 or 64
    GLYPH_GRAY = 6,  // one byte per pixel, 65 grey levels 0..64
};

struct GlyphTextMetrics {
    int height;   // ascent + descent in pixels
    int ascent;
    int descent;
};

struct GlyphImage {
    int width;    // pixels per row (no padding)
    int height;
    int originX;  // left bearing of the picture from the pen position
    int originY;  // rows from the baseline up to the picture's top row
    int advance;  // pen advance in pixels
    std::vector<uint8_t> pixels;
};

// Opens the face whose name is closest to `faceName` ("Arial", "Courier New
// Bold", "DejaVu Serif" ...) at a size in tenths of a point on a 96 dpi
// screen. Null when no face file can be opened.
GlyphFace *osGlyphFaceOpen(const char *faceName, int tenthsOfPoint);
void osGlyphFaceClose(GlyphFace *face);
// The face family name as the font system reports it.
const char *osGlyphFaceName(const GlyphFace *face);
void osGlyphTextMetrics(const GlyphFace *face, GlyphTextMetrics *out);
// Renders the glyph of a Windows-1252 byte. False when the face has no glyph
// for it (including the byte values the code page leaves undefined).
bool osGlyphRender(GlyphFace *face, uint8_t code, GlyphFormat format, GlyphImage *out);
// The Unicode code point of a Windows-1252 byte; 0 for the undefined ones.
uint32_t osCp1252ToUnicode(uint8_t code);
