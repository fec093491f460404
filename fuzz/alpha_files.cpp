// The raw alpha files of the 3D effects: any bytes as the file, read into
// the effect buffer for maps of the sizes the effects have, then set into
// and scaled over their ARGB4444 maps.
#include <cstdint>
#include <vector>

#include "fuzz_files.h"
#include "present/sky/alpha.h"
#include "render/fw/fw.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"

namespace {

void quiet(const char *) {}
vt_diaghandler quietDiag = {"quiet", quiet, quiet};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    static const bool begun = [] {
        VtDiagHandlerSet(&quietDiag);
        return VtBeginAll() == VT_E_OK;
    }();
    if (!begun) return 0;
    fuzzfiles::Write("alpha.raw", data, size);
    static std::vector<uint8_t> alpha(8192);
    const int sizes[][2] = {{64, 64}, {128, 64}, {32, 16}};
    for (const auto &wh : sizes) {
        for (size_t capacity : {size_t(4096), size_t(8192)}) {
            const size_t need = size_t(wh[0]) * wh[1] < capacity ? size_t(wh[0]) * wh[1] : capacity;
            if (!P3DReadAlphaFile("alpha.raw", alpha.data(), capacity, need)) continue;
            vt_pixelmap *map = P3DMakeWhiteAlphaMap(wh[0], wh[1]);
            if (!map) continue;
            P3DSetAlpha4444(map, alpha.data(), 4095);
            P3DScaleAlpha4444(map, alpha.data(), 0.5f);
            VtPixelmapFree(map);
        }
    }
    return 0;
}
