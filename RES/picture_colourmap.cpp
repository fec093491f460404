// Colour maps (65,536 palette indices) and raw 768-byte palettes.
#include <cstdlib>
#include <cstring>

#include "RES/picture.h"
#include "core/files.h"
#include "core/log.h"

namespace {

// Either file holds no more than its block; a longer one is read as far as
// the block goes, and one far longer is no such file.
constexpr size_t kRawFileLimit = 16u << 20;

// Reads the file's first `want` bytes into `out`; a short file fills what it
// holds, the rest 0, and says so in the log. False when the file does not
// open; `got` is what it held.
bool ReadRaw(const char *name, uint8_t *out, size_t want, size_t *got) {
    uint8_t *file;
    size_t size;
    if (!ReadGameFile(name, &file, &size, kRawFileLimit)) return false;
    *got = size < want ? size : want;
    if (*got) std::memcpy(out, file, *got);
    std::memset(out + *got, 0, want - *got);
    std::free(file);
    if (*got && *got < want)
        dunDebugPrintf("Short data file %s: it holds %zu of its %zu bytes; the rest reads as 0", name, *got, want);
    return true;
}

}  // namespace

void *LoadColourMap(const char *name, void *block, uint32_t *size) {
    if (!block) return nullptr;
    size_t got = 0;
    if (!ReadRaw(name, static_cast<uint8_t *>(block), ColourMapBytes, &got)) return nullptr;
    // Nothing could be read: there is no map.
    if (got == 0) {
        RefuseGameFile(name, "empty");
        return nullptr;
    }
    if (size) *size = ColourMapBytes;
    return block;
}

// Through the whole-file writer: a write that fails part way (a full disc)
// is reported as a failure and leaves the old map, not a torn one.
bool SaveColourMap(const char *name, const uint8_t *map) { return WriteGameFileWhole(name, map, ColourMapBytes); }

uint8_t *LoadRawPalette(const char *name, uint8_t *buffer) {
    if (!buffer) return nullptr;
    size_t got = 0;
    return ReadRaw(name, buffer, 768, &got) ? buffer : nullptr;
}

uint32_t RawPaletteSize() { return PaletteBytes; }
