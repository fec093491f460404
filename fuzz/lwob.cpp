// Fuzzes the LightWave object readers: arbitrary bytes as a ".lwo" file read
// as a model, as a hit-box object, as a plan-view wireframe and as a point
// list. Whatever model
// loads is walked vertex by vertex through its faces, so that an index or a
// count the reader let through wrongly shows as an access outside its arrays.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "RES/util.h"
#include "fuzz_files.h"
#include "present/lwo/lwo.h"
#include "render/fw/fw.h"
#include "render/scene/scene.h"
#include "world/pools.h"
#include "world/records.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    if (!begin()) return 0;
    fuzzfiles::Write("input.lwo", data, size);
    // Each input computes its own smoothing: no cache of the last one.
    std::remove("input.smg");
    osFlushPathCache();
    if (auto *m = static_cast<vt_model *>(LwoLoadModel("input.lwo", nullptr, nullptr))) {
        float sum = 0;
        for (int f = 0; f < m->nfaces; ++f)
            for (int c = 0; c < 3; ++c) sum += m->vertices[m->faces[f].vertices[c]].p.v[0];
        (void)sum;
        VtModelRemove(m);
        VtModelFree(m);
    }
    if (CollisionModel *boxes = LwoLoadHitBoxes("input.lwo")) {
        float sum = 0;
        for (const HitBox *b = boxes->boxes; b; b = b->next) sum += b->upper.x - b->lower.x;
        (void)sum;
    }
    // The records were keyed by models that are gone.
    dunFreeCollisionModels();
    if (auto *w = static_cast<WireframeModel *>(LwoLoadWireframe("input.lwo", nullptr, nullptr))) {
        float sum = 0;
        for (int e = 0; e < w->edgeCount; ++e) sum += w->points[w->edges[e][0]][0] + w->points[w->edges[e][1]][1];
        for (int p = 0; p < w->pointCount; ++p)
            if (w->points[p][2] >= 0) sum += w->parts[int(w->points[p][2])][2];
        (void)sum;
        dunFree(w);
    }
    LwoSavePoints("input.lwo", "points.txt");
    return 0;
}
