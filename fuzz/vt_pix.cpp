// Fuzzes pixelmap datafile loading: arbitrary bytes as a ".pix" file
// (binary or text, as the first bytes say). Whatever loads is then drawn
// on, copied and saved, so that a size or row length the loader let through
// wrongly shows as an access outside the pixels.
#include <cstddef>
#include <cstdint>

#include "fuzz_files.h"
#include "render/fw/fw.h"
#include "render/pmap/pixelmap.h"

namespace {

void quiet(const char *) {}
vt_diaghandler quietDiag = {"quiet", quiet, quiet};

// Begun on the first input, after every static initialiser of the
// program has run (the file layer's path cache among them).
bool begin() {
    static const bool begun = [] {
        VtDiagHandlerSet(&quietDiag);
        return VtBegin() == VT_E_OK;
    }();
    return begun;
}

void exercise(vt_pixelmap *pm) {
    const vt_int_32 w = pm->width, h = pm->height;
    VtPixelmapFill(pm, 0x5a5a5a5a);
    VtPixelmapLine(pm, -1, -1, w, h, 1);
    VtPixelmapPixelSet(pm, w - 1, h - 1, 2);
    VtPixelmapPixelGet(pm, 0, 0);
    VtPixelmapText(pm, 0, 0, 3, nullptr, "Vt");
    if (vt_pixelmap *copy = VtPixelmapMatch(pm, VT_PMMATCH_OFFSCREEN)) {
        VtPixelmapCopy(copy, pm);
        VtPixelmapRectangleCopy(pm, 1, 1, copy, 0, 0, w, h);
        VtPixelmapFree(copy);
    }
    if (pm->map)
        exercise(pm->map);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    if (!begin())
        return 0;
    fuzzfiles::Write("input.pix", data, size);
    vt_pixelmap *pms[4] = {};
    const vt_uint_32 n = VtPixelmapLoadMany("input.pix", pms, 4);
    for (vt_uint_32 i = 0; i < n; i++) {
        exercise(pms[i]);
        VtPixelmapSave("output.pix", pms[i]);
        VtPixelmapFree(pms[i]);
    }
    return 0;
}
