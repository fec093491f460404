// IFF PBM reader: size query, then decoding at both depths into a block of
// exactly the size found (or a smaller one), and the palette.
#include <cstdint>
#include <initializer_list>
#include <cstdlib>

#include "RES/picture.h"
#include "RES/gfx2d.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const uint8_t kEmpty[1] = {};
    static uint8_t gPalette[PaletteBytes];
    if (!data) data = kEmpty;
    uint8_t palette[PaletteBytes];
    iffPaletteBytes(data, size, palette);
    for (uint16_t bpp : {1, 2}) {
        CurrentPalette = bpp == 2 && (size & 1) ? gPalette : nullptr;
        uint32_t pixelCount = 0, bytes = 0;
        if (!iffDecodeBytes(data, size, nullptr, nullptr, 0, &pixelCount)) continue;
        const size_t whole = size_t(pixelCount) * bpp;
        for (size_t capacity : {whole, whole / 3}) {
            if (capacity > (16u << 20)) continue;
            uint8_t *block = static_cast<uint8_t *>(std::malloc(capacity ? capacity : 1));
            Raster r{};
            r.bytesPerPixel = bpp;
            iffDecodeBytes(data, size, &r, block, capacity, &bytes);
            std::free(block);
        }
    }
    CurrentPalette = nullptr;
    return 0;
}
