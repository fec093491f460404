// Whole-text-file resources.
#include <cstdlib>
#include <cstring>

#include "RES/font.h"
#include "core/files.h"

namespace {

// The longest text the game reads whole: far beyond any script or text file,
// and short of the 32-bit sizes the resource manager keeps.
constexpr size_t kTextFileLimit = 64u << 20;

}  // namespace

uint32_t TextFileSize(const char *name) {
    uint8_t *file;
    size_t len;
    if (!ReadGameFile(name, &file, &len, kTextFileLimit)) return 0;
    std::free(file);
    return (uint32_t)len + 1;
}

void *LoadTextFile(const char *name, void *block, uint32_t *size) {
    if (!block) return nullptr;
    uint8_t *file;
    size_t len;
    if (!ReadGameFile(name, &file, &len, kTextFileLimit)) return nullptr;
    if (len == 0) EmptyGameFile(name, "the text is blank");
    // A file that grew since its block was sized is cut to the block.
    size_t room = size && *size ? (size_t)*size - 1 : len;
    size_t n = len < room ? len : room;
    char *text = (char *)block;
    if (n) std::memcpy(text, file, n);
    text[n] = 0;
    std::free(file);
    if (size) *size = (uint32_t)n;
    return block;
}

void *ReadWholeFile(const char *name, void *buffer, uint32_t length) {
    uint8_t *file;
    size_t len;
    if (!ReadGameFile(name, &file, &len, kTextFileLimit)) return nullptr;
    if (buffer && length) std::memcpy(buffer, file, len < length ? len : length);
    std::free(file);
    return buffer;
}
