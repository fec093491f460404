// Raw alpha files into ARGB4444 maps through the alpha helpers: the
// input's bytes are the alpha of a map whose size the first byte picks
// (setting the alpha is refused past 4096 pixels), then scaled and tinted.
#include <cstdint>
#include <vector>

#include "present/sky/alpha.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static bool begun = false;
    if (!begun) begun = VtBegin() == VT_E_OK;
    static const int kSides[4][2] = {{64, 64}, {128, 64}, {1, 1}, {32, 16}};
    const int *side = kSides[size ? data[0] % 4 : 0];
    const size_t pixels = size_t(side[0]) * side[1];
    std::vector<uint8_t> alpha(pixels, 0);
    for (size_t i = 0; i < pixels && i < size; ++i) alpha[i] = data[i];
    vt_pixelmap *map = P3DMakeWhiteAlphaMap(side[0], side[1]);
    if (!map) return 0;
    P3DSetAlpha4444(map, alpha.data(), size > 1 ? data[1] * 16u + 15 : 0xFFF);
    P3DScaleAlpha4444(map, alpha.data(), size > 2 ? float(data[2]) / 64 : 1.0f);
    if (vt_pixelmap *tinted = P3DMakeTintedAlphaMap(map, size > 3 && (data[3] & 1), size > 3 && (data[3] & 2),
                                                    size > 3 && (data[3] & 4), size > 4 ? data[4] : 1)) {
        VtMapRemove(tinted);
        VtPixelmapFree(tinted);
    }
    VtPixelmapFree(map);
    return 0;
}
