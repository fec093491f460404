// IFF PBM reader: size query, then decoding at both depths into a block of
// exactly the size found (or a smaller one), and the palette.
#include <cstdint>
#include <initializer_list>
#include <cstdlib>

#include "RES/picture.h"
#include "RES/gfx2d.h"
#include "core/options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const uint8_t kEmpty[1] = {};
    static uint8_t gPalette[PaletteBytes];
    if (!data) data = kEmpty;
    uint8_t palette[PaletteBytes];
    iffPaletteBytes(data, size, palette);
    for (uint16_t bpp : {1, 2}) {
        BytesPerPixel = bpp;
        CurrentPalette = bpp == 2 && (size & 1) ? gPalette : nullptr;
        uint32_t bytes = 0;
        if (!iffDecodeBytes(data, size, nullptr, nullptr, 0, &bytes)) continue;
        for (size_t capacity : {size_t(bytes), size_t(bytes / 3)}) {
            if (capacity > (16u << 20)) continue;
            uint8_t *block = static_cast<uint8_t *>(std::malloc(capacity ? capacity : 1));
            Raster r{};
            iffDecodeBytes(data, size, &r, block, capacity, &bytes);
            std::free(block);
        }
    }
    BytesPerPixel = 1;
    CurrentPalette = nullptr;
    return 0;
}
