// Small hand-made fonts and surfaces for the font and text tests.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "RES/font.h"
#include "RES/surface.h"

namespace fontfix {

// A font whose glyphs are solid boxes of `ink` (background 16 where asked).
struct TestFont {
    BitmapFont font{};
    std::vector<std::vector<uint8_t>> pixels;
    std::vector<Surface> rasters;

    TestFont() { rasters.reserve(256), pixels.reserve(256); }
    Surface *Add(int w, int h, int hotY, uint8_t ink, int hotX = 0) {
        pixels.emplace_back((size_t)w * h, ink);
        rasters.push_back({pixels.back().data(), (int16_t)w, (int16_t)h, (int16_t)hotX, (int16_t)hotY, (int16_t)w, 1});
        return &rasters.back();
    }
    void Set(int code, Surface *g, int advance) {
        font.glyph[code] = g;
        font.advance[code] = (uint16_t)advance;
    }
};

// Blank 4 wide; letters 5x7 boxes above the baseline with advance 6, 'g'
// 5x9 with two rows below; line height 10.
inline void MakeBoxFont(TestFont &f, uint8_t ink = 200) {
    Surface *blank = f.Add(4, 1, 0, 16);
    for (int c = 0; c < 256; ++c) f.Set(c, blank, 5);
    for (int c = 'A'; c <= 'Z'; ++c) f.Set(c, f.Add(5, 7, 7, ink), 6);
    for (int c = 'a'; c <= 'z'; ++c) f.Set(c, f.Add(5, 5, 5, ink), 6);
    f.Set('g', f.Add(5, 7, 5, ink), 6);
    f.Set(0xE9, f.Add(5, 8, 8, ink), 6);  // e acute
    f.font.lineHeight = 10;
}

struct Canvas {
    std::vector<uint8_t> buf;
    Surface s{};
    Canvas(int w, int h, int bytes = 1, uint8_t fill = 0) : buf((size_t)w * h * bytes, fill) {
        s.pixels = buf.data();
        s.width = (int16_t)w;
        s.height = (int16_t)h;
        s.pitch = (int16_t)(w * bytes);
        s.bytesPerPixel = (int16_t)bytes;
    }
    uint8_t At(int x, int y) const { return buf[(size_t)y * s.width + x]; }
    uint16_t At16(int x, int y) const {
        return (uint16_t)(buf[(size_t)y * s.pitch + 2 * x] | (buf[(size_t)y * s.pitch + 2 * x + 1] << 8));
    }
    int Count(uint8_t v) const {
        int n = 0;
        for (uint8_t b : buf) n += b == v;
        return n;
    }
    // Pixels not equal to `bg` inside the inclusive box.
    int Ink(int x0, int y0, int x1, int y1, uint8_t bg = 0) const {
        int n = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) n += At(x, y) != bg;
        return n;
    }
};

// Loads a font file the way the resource manager does: a block of the size
// the size query gives.
struct LoadedFont {
    std::vector<uint8_t> block;
    BitmapFont *font = nullptr;
    LoadedFont(const char *name, bool fon) {
        uint32_t n = fon ? FonFontSize(name) : FntFontSize(name);
        if (!n) return;
        block.assign(n, 0);
        uint32_t size = n;
        font = (BitmapFont *)(fon ? LoadFonFont(name, block.data(), &size) : LoadFntFont(name, block.data(), &size));
    }
};

inline std::string DataPath(const char *rel) {
    const char *root = std::getenv("RUVO_DATA");
    return std::string(root ? root : "data") + "/" + rel;
}

}  // namespace fontfix
