// Fuzzes the LightWave object readers: arbitrary bytes as a ".lwo" file read
// as a model, as a hit-box object, as a plan-view wireframe and as a point
// list. Whatever model loads is walked vertex by vertex through its faces,
// and every wireframe is drawn, as a schematic node and into a rectangle,
// into a memory pixelmap, so that an index or a count the reader let through
// wrongly shows as an access outside its arrays.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "RES/util.h"
#include "fuzz_files.h"
#include "present/hooks.h"
#include "present/lwo/lwo.h"
#include "present/views.h"
#include "present/wireframe.h"
#include "render/pmap/pixelmap.h"
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

// The drawings' lines land in a 256 x 256 memory pixelmap, the library's
// own line clipped to it.
vt_pixelmap *Canvas() {
    static vt_pixelmap *canvas = [] {
        vt_pixelmap *pm = VtPixelmapAllocate(VT_PMT_INDEX_8, 256, 256, nullptr, 0);
        if (pm) pm->origin_x = pm->origin_y = 128;
        return pm;
    }();
    return canvas;
}
void CanvasLine(vt_pixelmap *pm, int x0, int y0, int x1, int y1, int colour) {
    if (pm) VtPixelmapLine(pm, x0, y0, x1, y1, vt_uint_32(colour));
}
const PresentHudHooks kCanvasHooks = {CanvasLine, nullptr, nullptr};

void DrawWireframe(WireframeModel *w) {
    P3DSetHudHooks(&kCanvasHooks);
    HudPixelmap = Canvas();
    HudViewRect = {0, 0, 255, 255};
    WireframeNode node{};
    node.flags = WireframeFlag::Shown | WireframeFlag::Parts;
    node.mask = 0xFFFF;
    node.colour = 100;
    node.shape = w;
    gWireframeView.filter = 0xFFFF;
    gWireframeView.highlighted = &node;
    // Near enough that the parts are big, and far enough that all show.
    for (float zoom : {1.0f, 256.0f, 1e6f}) WireframeDraw(&node, 0, 0, zoom, 0, 0);
    WireframeDrawGrid(0, 0, 256);
    gWireframeView.highlighted = nullptr;
    HudPixelmap = nullptr;
    P3DSetHudHooks(nullptr);
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
        DrawWireframe(w);
        dunFree(w);
    }
    LwoSavePoints("input.lwo", "points.txt");
    return 0;
}
