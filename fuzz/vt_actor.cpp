// Fuzzes actor datafile loading: arbitrary bytes as an actor file. Whatever
// tree loads is saved and loaded again, and walked for its bounds, which
// reads every actor's transform and model.
#include "render/front/front.h"
#include "vt_scene.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    vtscenefuzz::LoadAll<vt_actor>(data, size, "input.act", VtActorFileCount, VtActorLoadMany, VtActorSave, VtActorLoad,
                                   VtActorFree, [](vt_actor *a) {
                                       vt_bounds3 b;
                                       VtActorToBounds(&b, a);
                                       VtActorFree(a);
                                   });
    return 0;
}
