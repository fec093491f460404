// The file-based picture readers: colour maps, raw palettes, PCX palettes and
// raster sizes, and the resource converters over a block of the size they ask.
#include <cstdint>
#include <initializer_list>
#include <cstdlib>

#include "RES/picture.h"
#include "core/options.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    fuzzfiles::Write("in.bin", data, size);
    static uint8_t map[ColourMapBytes];
    uint32_t out = ColourMapBytes;
    LoadColourMap("in.bin", map, &out);
    uint8_t palette[PaletteBytes];
    LoadRawPalette("in.bin", palette);
    out = PaletteBytes;
    pcxLoadPalette("in.bin", palette, &out);
    LoadIffPalette("in.bin", palette, &out);
    for (uint16_t bpp : {1, 2}) {
        BytesPerPixel = bpp;
        for (uint32_t (*sizeOf)(const char *) : {PcxRasterSize, IffPictureSize}) {
            uint32_t n = sizeOf("in.bin");
            if (n < RasterHeaderBytes || n > (16u << 20)) continue;
            void *block = std::calloc(n, 1);
            out = n;
            if (sizeOf == PcxRasterSize) LoadPcxRaster("in.bin", block, &out);
            else LoadIffPicture("in.bin", block, &out);
            std::free(block);
        }
    }
    BytesPerPixel = 1;
    return 0;
}
