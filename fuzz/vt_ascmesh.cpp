// Fuzzes ASCII mesh loading: arbitrary bytes as a mesh export. Whatever
// loads is saved as a model datafile and loaded again, and prepared, so
// that a corner the loader let through shows as an access outside the
// vertices.
#include "vt_scene.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    vtscenefuzz::LoadAll<vt_model>(data, size, "input.asc", nullptr, VtAsciiMeshLoad, VtModelSave, VtModelLoad,
                                   VtModelFree, [](vt_model *m) {
                                       m->flags |= VT_MODF_KEEP_SOURCE;
                                       if (m->nvertices && m->nfaces && VtModelAdd(m)) VtModelRemove(m);
                                       VtModelFree(m);
                                   });
    return 0;
}
