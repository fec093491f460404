// Colour maps (65,536 palette indices) and raw 768-byte palettes.
#include <cstring>

#include "RES/picture.h"
#include "core/files.h"

void *LoadColourMap(const char *name, void *block, uint32_t *size) {
    if (!block) return nullptr;
    FILE *f = OpenGameFile(name, "rb");
    if (!f) return nullptr;
    size_t got = std::fread(block, 1, ColourMapBytes, f);
    std::fclose(f);
    // A short file would leave part of the cube meaning black: refuse it.
    if (got != ColourMapBytes) return nullptr;
    if (size) *size = ColourMapBytes;
    return block;
}

bool SaveColourMap(const char *name, const uint8_t *map) {
    FILE *f = OpenGameFile(name, "wb");
    if (!f) return false;
    std::fwrite(map, 1, ColourMapBytes, f);
    std::fclose(f);
    return true;
}

uint8_t *LoadRawPalette(const char *name, uint8_t *buffer) {
    FILE *f = OpenGameFile(name, "rb");
    if (!f) return nullptr;
    size_t got = std::fread(buffer, 1, 768, f);
    std::fclose(f);
    return got == 768 ? buffer : nullptr;
}

uint32_t RawPaletteSize() { return PaletteBytes; }
