// Picture fonts: one IFF picture per character code.
#include <cstdio>
#include <new>

#include "RES/font.h"
#include "RES/picture.h"
#include "RES/util.h"

static_assert(sizeof(Raster) == sizeof(Surface), "a picture's header becomes the glyph's surface");

// One glyph picture "<folder>\cNNN.bbm" in a block of its own, or null. The
// picture stays 8-bit whatever the display depth: glyph pixels are indices.
static Surface *LoadGlyphPicture(const char *folder, unsigned code) {
    char path[128];
    std::snprintf(path, sizeof path, "%.100s\\c%03u.bbm", folder, code);
    Surface *glyph = nullptr;
    uint32_t size = IffPictureSizeForDepth(path, 1);
    if (size) {
        void *block = dunAlloc(size);
        uint32_t got = size;
        Raster *r = block ? (Raster *)LoadIffPictureForDepth(path, block, &got, 1) : nullptr;
        if (r && r->width <= 0x7FFF && r->height <= 0x7FFF && r->hotspotY < 0x7FFF) {
            Surface s = {r->pixels,          (int16_t)r->width, (int16_t)r->height, (int16_t)r->hotspotX,
                         (int16_t)(r->hotspotY + 1), (int16_t)r->width, 1};
            r->~Raster();
            glyph = new (block) Surface(s);
        } else {
            dunFree(block);
        }
    }
    return glyph;
}

void LoadGlyphFont(BitmapFont *font, const char *folder) {
    if (!font || !folder) return;
    Surface *blank = LoadGlyphPicture(folder, 32);
    for (int c = 0; c < 256; ++c) font->glyph[c] = blank;
    for (unsigned c = 33; c < 256; ++c) {
        if (!((c <= 126) || (c >= 145 && c <= 148) || c >= 192)) continue;
        if (Surface *g = LoadGlyphPicture(folder, c)) font->glyph[c] = g;
    }
    // Lower case shows the capitals; the pictures it had are given back.
    for (int c = 'a'; c <= 'z'; ++c) {
        Surface *own = font->glyph[c];
        font->glyph[c] = font->glyph[c - 32];
        if (own != blank && own != font->glyph[c]) dunFree(own);
    }
}

void FreeGlyphFont(BitmapFont *font) {
    if (!font) return;
    for (int c = 0; c < 256; ++c) {
        Surface *g = font->glyph[c];
        if (!g) continue;
        for (int k = c; k < 256; ++k)
            if (font->glyph[k] == g) font->glyph[k] = nullptr;
        dunFree(g);
    }
}
