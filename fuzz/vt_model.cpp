// Fuzzes model datafile loading: arbitrary bytes as a model file (binary or
// text, as the first bytes say). Whatever loads is saved and loaded again,
// then prepared, so that an index the loader let through shows as an access
// outside the arrays.
#include <cstddef>
#include <cstdint>

#include "vt_scene.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    if (!vtscenefuzz::Begin()) return 0;
    fuzzfiles::Write("input.dat", data, size);
    vt_model *models[4] = {};
    vt_uint_32 count = 0;
    VtModelFileCount("input.dat", &count);
    const vt_uint_32 n = VtModelLoadMany("input.dat", models, 4);
    for (vt_uint_32 i = 0; i < n; i++) {
        vtscenefuzz::ExpectStableSave(models[i], VtModelSave, VtModelLoad, VtModelFree);
        models[i]->flags |= VT_MODF_KEEP_SOURCE;
        if (VtModelAdd(models[i])) VtModelRemove(models[i]);
        VtModelFree(models[i]);
    }
    return 0;
}
