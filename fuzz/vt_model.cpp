// Fuzzes model datafile loading: arbitrary bytes as a model file (binary or
// text, as the first bytes say). Whatever loads is saved and loaded again,
// then prepared, so that an index the loader let through shows as an access
// outside the arrays.
#include "vt_scene.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    vtscenefuzz::LoadAll<vt_model>(data, size, "input.dat", VtModelFileCount, VtModelLoadMany, VtModelSave, VtModelLoad,
                                   VtModelFree, [](vt_model *m) {
                                       m->flags |= VT_MODF_KEEP_SOURCE;
                                       if (VtModelAdd(m)) VtModelRemove(m);
                                       VtModelFree(m);
                                   });
    return 0;
}
