// Fuzzes material datafile loading: arbitrary bytes as a material file in
// any of its forms. Whatever loads is saved and loaded again, and
// registered and removed.
#include "vt_scene.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    vtscenefuzz::LoadAll<vt_material>(data, size, "input.mat", VtMaterialFileCount, VtMaterialLoadMany, VtMaterialSave,
                                      VtMaterialLoad, VtMaterialFree, [](vt_material *m) {
                                          if (VtMaterialAdd(m)) VtMaterialRemove(m);
                                          VtMaterialFree(m);
                                      });
    return 0;
}
