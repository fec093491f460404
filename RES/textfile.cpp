// Whole-text-file resources.
#include <cstdio>

#include "RES/font.h"
#include "core/files.h"

uint32_t TextFileSize(const char *name) {
    FILE *f = OpenGameFile(name, "rb");
    if (!f) return 0;
    long len = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) len = std::ftell(f);
    std::fclose(f);
    if (len < 0 || len >= 0x7FFFFFFF) return 0;
    return (uint32_t)len + 1;
}

void *LoadTextFile(const char *name, void *block, uint32_t *size) {
    if (!block) return nullptr;
    FILE *f = OpenGameFile(name, "rb");
    if (!f) return nullptr;
    // A file that grew since its block was sized is cut to the block.
    size_t room = size && *size ? (size_t)*size - 1 : (size_t)-1;
    char *text = (char *)block;
    size_t n = 0, got;
    while (n < room && (got = std::fread(text + n, 1, room - n < 4096 ? room - n : 4096, f)) > 0) n += got;
    std::fclose(f);
    text[n] = 0;
    if (size) *size = (uint32_t)n;
    return block;
}

void *ReadWholeFile(const char *name, void *buffer, uint32_t length) {
    FILE *f = OpenGameFile(name, "rb");
    if (!f) return nullptr;
    if (buffer && length) (void)std::fread(buffer, 1, length, f);
    std::fclose(f);
    return buffer;
}
