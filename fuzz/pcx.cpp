// PCX reader: whole-image load and decode at both depths into blocks of
// exactly the capacity given, with destination areas of several pitches.
#include <cstdint>
#include <initializer_list>
#include <cstdlib>
#include <cstring>

#include "RES/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const uint8_t kEmpty[1] = {};
    if (!data) data = kEmpty;
    if (PcxImage *image = pcxLoadBytes(data, size)) {
        PcxImage *copy = pcxCopy(image);
        pcxFree(copy);
        pcxFree(image);
    }
    const size_t capacities[] = {0, 1, 65536, 4096};
    const uint16_t pitches[] = {0, 2, 1280, 34};
    for (uint16_t bpp : {1, 2})
        for (size_t i = 0; i < 4; ++i) {
            uint8_t *block = static_cast<uint8_t *>(std::malloc(capacities[i] ? capacities[i] : 1));
            Raster r{};
            r.pitch = pitches[i];
            r.bytesPerPixel = bpp;
            uint8_t palette[PaletteBytes];
            pcxDecodeBytes(data, size, &r, palette, block, capacities[i]);
            std::free(block);
        }
    return 0;
}
