// Fuzzes ASCII mesh loading: arbitrary bytes as a mesh export. Whatever
// loads is prepared, so that a corner the loader let through shows as an
// access outside the vertices, and saved as a model datafile.
#include <cstddef>
#include <cstdint>

#include "vt_scene.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    if (!vtscenefuzz::Begin()) return 0;
    fuzzfiles::Write("input.asc", data, size);
    vt_model *models[4] = {};
    const vt_uint_32 n = VtAsciiMeshLoad("input.asc", models, 4);
    for (vt_uint_32 i = 0; i < n; i++) {
        vtscenefuzz::ExpectStableSave(models[i], VtModelSave, VtModelLoad, VtModelFree);
        models[i]->flags |= VT_MODF_KEEP_SOURCE;
        if (models[i]->nvertices && models[i]->nfaces && VtModelAdd(models[i])) VtModelRemove(models[i]);
        VtModelFree(models[i]);
    }
    return 0;
}
