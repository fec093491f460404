// Fuzzes the sky backdrop loader: the input is a sphere and a grid LightWave
// object, split where the second "FORM" starts (one object alone serves as
// both). The pair is loaded, fitted and hung in a nebula world; whatever
// actor results is walked through its model's faces, so that a pair whose
// point counts differ shows as an access outside the grid's arrays.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "RES/util.h"
#include "fuzz_files.h"
#include "present/p3d.h"
#include "present/sky/sky.h"
#include "render/front/front.h"
#include "render/fw/fw.h"
#include "render/scene/scene.h"

namespace {

void quiet(const char *) {}
vt_diaghandler quietDiag = {"quiet", quiet, quiet};

bool begin() {
    static const bool begun = [] {
        VtDiagHandlerSet(&quietDiag);
        return VtBeginAll() == VT_E_OK;
    }();
    return begun;
}

size_t SecondForm(const uint8_t *data, size_t size) {
    for (size_t i = 4; i + 4 <= size; ++i)
        if (std::memcmp(data + i, "FORM", 4) == 0) return i;
    return 0;
}

void FreeModel(vt_model *m) {
    if (!m) return;
    VtModelRemove(m);
    VtModelFree(m);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    if (!begin()) return 0;
    std::filesystem::create_directories("vek/resource/shapes");
    const size_t split = SecondForm(data, size);
    fuzzfiles::Write("vek/resource/shapes/InSphere.lwo", data, split ? split : size);
    fuzzfiles::Write("vek/resource/shapes/InGrid.lwo", data + split, size - split);
    std::remove("vek/resource/shapes/InSphere.smg");
    std::remove("vek/resource/shapes/InGrid.smg");
    osFlushPathCache();
    P3DResetSkyState();
    gP3D.nebulaWorld = VtActorAllocate(VT_ACTOR_NONE, nullptr);
    try {
        if (P3DLoadNebula("In", 26, 180, 0) && gSky.sphere) {
            const vt_model *m = gSky.sphere->model;
            float sum = 0;
            for (int f = 0; f < m->nfaces; ++f)
                for (int c = 0; c < 3; ++c) sum += m->vertices[m->faces[f].vertices[c]].p.v[0];
            (void)sum;
        }
    } catch (const fuzzfiles::Fatal &) {
    }
    // The world's actors go with it; the loaded models are freed by name.
    while (vt_actor *a = gP3D.nebulaWorld->children) {
        VtActorRemove(a);
        VtActorFree(a);
    }
    VtActorFree(gP3D.nebulaWorld);
    gP3D.nebulaWorld = nullptr;
    vt_model *models[64];
    const int n = VtModelFindMany("*", models, 64);
    for (int i = 0; i < n; ++i)
        if (models[i]->identifier && (std::strstr(models[i]->identifier, "InSphere") ||
                                      std::strstr(models[i]->identifier, "InGrid")))
            FreeModel(models[i]);
    gSky.sphere = nullptr;
    return 0;
}
