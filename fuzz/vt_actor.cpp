// Fuzzes actor datafile loading: arbitrary bytes as an actor file. Whatever
// tree loads is saved and loaded again, and walked for its bounds, which
// reads every actor's transform and model.
#include <cstddef>
#include <cstdint>

#include "render/front/front.h"
#include "vt_scene.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    if (!vtscenefuzz::Begin()) return 0;
    fuzzfiles::Write("input.act", data, size);
    vt_actor *actors[4] = {};
    vt_uint_32 count = 0;
    VtActorFileCount("input.act", &count);
    const vt_uint_32 n = VtActorLoadMany("input.act", actors, 4);
    for (vt_uint_32 i = 0; i < n; i++) {
        vtscenefuzz::ExpectStableSave(actors[i], VtActorSave, VtActorLoad, VtActorFree);
        vt_bounds3 b;
        VtActorToBounds(&b, actors[i]);
        VtActorFree(actors[i]);
    }
    return 0;
}
