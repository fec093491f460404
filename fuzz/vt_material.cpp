// Fuzzes material datafile loading: arbitrary bytes as a material file in
// any of its forms. Whatever loads is saved and loaded again, and
// registered and removed.
#include <cstddef>
#include <cstdint>

#include "vt_scene.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    if (!vtscenefuzz::Begin()) return 0;
    fuzzfiles::Write("input.mat", data, size);
    vt_material *materials[4] = {};
    vt_uint_32 count = 0;
    VtMaterialFileCount("input.mat", &count);
    const vt_uint_32 n = VtMaterialLoadMany("input.mat", materials, 4);
    for (vt_uint_32 i = 0; i < n; i++) {
        vtscenefuzz::ExpectStableSave(materials[i], VtMaterialSave, VtMaterialLoad, VtMaterialFree);
        if (VtMaterialAdd(materials[i])) VtMaterialRemove(materials[i]);
        VtMaterialFree(materials[i]);
    }
    return 0;
}
