// Bitmap font files: the packed font (offset table, glyphs) and the font file
// with its advance table, read field by field into the in-memory record.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "RES/font.h"
#include "core/bytes.h"
#include "core/files.h"

namespace {

// No font of the game comes near this; a bigger file is refused unread.
constexpr size_t kFontFileLimit = 16u << 20;

uint8_t *Align8(void *p) {
    uintptr_t a = (uintptr_t)p;
    return (uint8_t *)((a + 7) & ~(uintptr_t)7);
}

constexpr size_t kRecordBytes = sizeof(BitmapFont) + 256 * sizeof(Surface);

// Turns the offset table at `table` into glyph pointers. Every offset must
// lie past the file's head and hold a whole glyph no larger than a surface
// can describe; glyphs that share an offset share one surface. Null, and
// why in `why`, when the file is not such a font.
BitmapFont *ParseGlyphs(const uint8_t *file, size_t length, size_t head, size_t table, void *block,
                        size_t capacity, const char **why) {
    *why = "shorter than its glyph table";
    if (!file || !block || length < head) return nullptr;
    uint8_t *base = Align8(block);
    size_t need = (size_t)(base - (uint8_t *)block) + kRecordBytes + length;
    *why = "longer than its block";
    if (capacity < need) return nullptr;
    uint8_t *copy = base + kRecordBytes;
    if (copy != file) std::memmove(copy, file, length);

    const ByteView bytes = BytesOf(copy, length);
    BitmapFont *font = (BitmapFont *)base;
    Surface *rasters = (Surface *)(base + sizeof(BitmapFont));
    // Offsets seen so far, by a small open hash: slot value = surface index + 1.
    uint32_t keys[512];
    uint16_t slots[512] = {};
    int used = 0;
    for (int c = 0; c < 256; ++c) {
        uint32_t off;
        ByteView g;
        uint16_t w, h, hotX, hotY;
        *why = "a glyph lies outside the file";
        if (!ReadU32Le(bytes, table + 4 * c, &off) || off < head || !BytesSub(bytes, off, kGlyphHeadSize, &g) ||
            !ReadU16Le(g, 4, &w) || !ReadU16Le(g, 6, &h) || !ReadU16Le(g, 8, &hotX) || !ReadU16Le(g, 10, &hotY))
            return nullptr;
        *why = "a glyph is larger than the file or than 32767 pixels a side";
        if (w > 0x7FFF || h > 0x7FFF || !BytesHave(bytes, off + kGlyphHeadSize, size_t(w) * h)) return nullptr;
        unsigned slot = (off * 2654435761u) >> 23;
        while (slots[slot] && keys[slot] != off) slot = (slot + 1) & 511;
        int k = slots[slot] ? slots[slot] - 1 : used;
        if (k == used) {
            keys[slot] = off;
            slots[slot] = (uint16_t)(++used);
            rasters[k].pixels = copy + off + kGlyphHeadSize;
            rasters[k].width = (int16_t)w;
            rasters[k].height = (int16_t)h;
            rasters[k].hotX = (int16_t)hotX;
            rasters[k].hotY = (int16_t)hotY;
            rasters[k].pitch = (int16_t)w;
            rasters[k].bytesPerPixel = 1;
        }
        font->glyph[c] = &rasters[k];
    }
    *why = nullptr;
    return font;
}

// Rows of a glyph below its baseline (0 when none).
int Descent(const Surface *g) {
    int d = (int)g->height - (int)g->hotY - 1;
    return d > 0 ? d : 0;
}

BitmapFont *ParseFnt(const uint8_t *file, size_t length, void *block, size_t capacity, const char **why) {
    BitmapFont *font = ParseGlyphs(file, length, kFntHeadSize, 0, block, capacity, why);
    if (!font) return nullptr;
    for (int c = 0; c < 256; ++c) font->advance[c] = (uint16_t)(font->glyph[c]->width + 1);
    font->lineHeight = (uint16_t)(font->glyph['A']->height + Descent(font->glyph['g']) + 2);
    return font;
}

BitmapFont *ParseFon(const uint8_t *file, size_t length, void *block, size_t capacity, const char **why) {
    BitmapFont *font = ParseGlyphs(file, length, kFonHeadSize, 516, block, capacity, why);
    if (!font) return nullptr;
    const ByteView copy = BytesOf((const uint8_t *)font + kRecordBytes, length);
    for (int c = 0; c < 256; ++c) ReadU16Le(copy, 2 * c, &font->advance[c]);
    // The stored line height is not trusted: tallest capital plus deepest
    // lower-case descent.
    int cap = 0, desc = 0;
    for (int c = 'A'; c <= 'Z'; ++c)
        if (font->glyph[c]->height > cap) cap = font->glyph[c]->height;
    for (int c = 'a'; c <= 'z'; ++c)
        if (Descent(font->glyph[c]) > desc) desc = Descent(font->glyph[c]);
    font->lineHeight = (uint16_t)(cap + desc);
    return font;
}


// Reads a whole font file and parses it into `block`.
void *LoadFontFile(const char *name, void *block, uint32_t *size, bool fon) {
    if (!block) return nullptr;
    uint8_t *file;
    size_t len;
    if (!ReadGameFile(name, &file, &len, kFontFileLimit)) return nullptr;
    size_t need = fontParsedSize(len);
    size_t capacity = size && *size ? *size : need;
    void *result = nullptr;
    const char *why = "longer than its block";
    if (need <= capacity)
        result = fon ? ParseFon(file, len, block, capacity, &why) : ParseFnt(file, len, block, capacity, &why);
    if (!result) RefuseGameFile(name, why);
    std::free(file);
    if (result && size) *size = (uint32_t)need;
    return result;
}

uint32_t FontFileSize(const char *name) {
    uint8_t *file;
    size_t len;
    if (!ReadGameFile(name, &file, &len, kFontFileLimit)) return 0;
    std::free(file);
    return (uint32_t)fontParsedSize(len);
}

// Lays out the glyphs of a font: the blank's first, then every code in
// order, codes that show the blank sharing its offset. A missing glyph shows
// the blank; a font without a blank gets an empty one.
void AppendGlyphs(std::vector<uint8_t> &out, size_t table, const BitmapFont *font) {
    static const Surface kEmpty = {nullptr, 0, 0, 0, 0, 0, 1};
    const Surface *blank = font->glyph[32] ? font->glyph[32] : &kEmpty;
    auto append = [&](const Surface *g) {
        size_t at = out.size();
        int w = g->width > 0 ? g->width : 0, h = g->height > 0 ? g->height : 0;
        size_t bytes = (size_t)w * h;
        out.resize(at + kGlyphHeadSize + bytes, 0);
        PutU16Le(out.data(), at + 4, (uint16_t)w);
        PutU16Le(out.data(), at + 6, (uint16_t)h);
        PutU16Le(out.data(), at + 8, (uint16_t)g->hotX);
        PutU16Le(out.data(), at + 10, (uint16_t)g->hotY);
        if (bytes && g->pixels) std::memcpy(&out[at + kGlyphHeadSize], g->pixels, bytes);
        return (uint32_t)at;
    };
    uint32_t blankOff = append(blank);
    for (int c = 0; c < 256; ++c) {
        const Surface *g = font->glyph[c];
        uint32_t off = (!g || g == blank) ? blankOff : append(g);
        PutU32Le(out.data(), table + 4 * c, off);
    }
}

bool WriteAll(const char *name, const std::vector<uint8_t> &bytes) {
    FILE *f = OpenGameFile(name, "wb");
    if (!f) return false;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return true;
}

}  // namespace

size_t fontParsedSize(size_t length) { return 8 + kRecordBytes + length; }

BitmapFont *fontParseFnt(const uint8_t *file, size_t length, void *block, size_t capacity) {
    const char *why;
    return ParseFnt(file, length, block, capacity, &why);
}

BitmapFont *fontParseFon(const uint8_t *file, size_t length, void *block, size_t capacity) {
    const char *why;
    return ParseFon(file, length, block, capacity, &why);
}

uint32_t FntFontSize(const char *name) { return FontFileSize(name); }
uint32_t FonFontSize(const char *name) { return FontFileSize(name); }
void *LoadFntFont(const char *name, void *block, uint32_t *size) { return LoadFontFile(name, block, size, false); }
void *LoadFonFont(const char *name, void *block, uint32_t *size) { return LoadFontFile(name, block, size, true); }

bool fontMake(const char *name, const BitmapFont *font) {
    if (!font) return false;
    std::vector<uint8_t> out(kFntHeadSize, 0);
    AppendGlyphs(out, 0, font);
    return WriteAll(name, out);
}

bool SaveBitmapFont(const char *name, const BitmapFont *font) {
    if (!font) return false;
    std::vector<uint8_t> out(kFonHeadSize, 0);
    for (int c = 0; c < 256; ++c) PutU16Le(out.data(), 2 * c, font->advance[c]);
    PutU16Le(out.data(), 512, font->lineHeight);
    AppendGlyphs(out, 516, font);
    return WriteAll(name, out);
}
