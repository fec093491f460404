// TGA reader.
#include <cstdint>

#include "RES/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const uint8_t kEmpty[1] = {};
    tgaFree(tgaLoadBytes(data ? data : kEmpty, size));
    return 0;
}
