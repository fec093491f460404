// Vector fonts: the text file of pen strokes packed into one byte per point.
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "RES/font.h"
#include "core/files.h"

namespace {

// A stroke file holds at most a few kilobytes of text.
constexpr size_t kVectorFontFileLimit = 1u << 20;

struct Cursor {
    const char *p, *end;
    void SkipSpace() {
        while (p < end && std::isspace((unsigned char)*p)) ++p;
    }
    bool Int(int *out) {
        const char *q = p;
        bool neg = false;
        if (q < end && (*q == '-' || *q == '+')) neg = *q++ == '-';
        if (q >= end || !std::isdigit((unsigned char)*q)) return false;
        long v = 0;
        while (q < end && std::isdigit((unsigned char)*q)) {
            if (v < 100000) v = v * 10 + (*q - '0');
            ++q;
        }
        p = q;
        *out = (int)(neg ? -v : v);
        return true;
    }
    bool Char(char c) {
        if (p < end && *p == c) {
            ++p;
            return true;
        }
        return false;
    }
};

}  // namespace

VectorFont *vfontParse(const char *text, size_t length, void *block, size_t capacity) {
    if (!text || !block) return nullptr;
    uintptr_t a = ((uintptr_t)block + 7) & ~(uintptr_t)7;
    size_t skip = a - (uintptr_t)block;
    if (capacity < skip + sizeof(VectorFont)) return nullptr;
    VectorFont *font = (VectorFont *)a;
    uint8_t *out = (uint8_t *)a + sizeof(VectorFont);
    uint8_t *limit = (uint8_t *)block + capacity;
    Cursor c{text, text + length};
    for (int i = 0; i < 128; ++i) {
        int code, count;
        c.SkipSpace();
        if (!c.Int(&code) || !c.Char(',') || !c.Int(&count) || code != i || count < 0) return nullptr;
        font->strokes[i] = out;
        for (int k = 0; k < count; ++k) {
            c.SkipSpace();
            if (c.p >= c.end) return nullptr;
            char pen = *c.p++;
            int row, col;
            if (!c.Int(&row) || !c.Char(',') || !c.Int(&col)) return nullptr;
            // Each token is one word: anything glued on after the numbers is
            // part of it and ignored.
            while (c.p < c.end && !std::isspace((unsigned char)*c.p)) ++c.p;
            // The strings must stay inside the block, with room for the end.
            if (limit - out < 2) return nullptr;
            *out++ = (uint8_t)(((row << 4) & 0xF0) | ((col << 1) & 0x0E) | (pen == 'U' ? 1 : 0));
        }
        if (limit - out < 1) return nullptr;
        *out++ = 0;
    }
    return font;
}

uint32_t VectorFontSize(const char *) { return (uint32_t)kVectorFontBlockSize; }

void *vfontLoad(const char *name, void *block, uint32_t *size) {
    if (!block) return nullptr;
    uint8_t *text;
    size_t length;
    if (!ReadGameFile(name, &text, &length, kVectorFontFileLimit)) return nullptr;
    size_t capacity = size && *size ? *size : kVectorFontBlockSize;
    VectorFont *font = vfontParse(reinterpret_cast<const char *>(text), length, block, capacity);
    if (!font) RefuseGameFile(name, "not a vector font of pen strokes, or more strokes than its block holds");
    std::free(text);
    if (font && size) *size = (uint32_t)capacity;
    return font;
}
