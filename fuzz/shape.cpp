// The bytes are a LightWave shape: loaded as the game loads its ships (the
// game's surfaces, textures from the sample tree through its own hooks, a
// smoothing cache), then drawn by the rendering library's software renderer
// at 8 and at 16 bits, seen from in front at a distance its size gives.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "core/options.h"
#include "fuzz_game.h"
#include "platform/display.h"
#include "present/diaghandler.h"
#include "present/lwo/lwo.h"
#include "present/p3d.h"
#include "render/front/front.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"
#include "world/pools.h"

namespace {

constexpr int kW = 96, kH = 72;

struct Stage {
    vt_pixelmap *colour[2], *depth;
    vt_actor *world, *camera, *light;
};

Stage *Begin() {
    static Stage *stage = []() -> Stage * {
        if (VtBeginAll() != VT_E_OK) return nullptr;
        // The game's own handler and find hooks: a damaged texture is the
        // game's to refuse, not the end of it.
        VtDiagHandlerSet(&WindowsDiagHandler);
        VtMaterialFindHook(P3DFindMaterialHook);
        VtTableFindHook(P3DFindTableHook);
        VtMapFindHook(P3DFindMapHook);
        auto *s = new Stage{};
        s->colour[0] = VtPixelmapAllocate(VT_PMT_INDEX_8, kW, kH, nullptr, 0);
        s->colour[1] = VtPixelmapAllocate(VT_PMT_RGB_565, kW, kH, nullptr, 0);
        s->depth = VtPixelmapAllocate(VT_PMT_DEPTH_16, kW, kH, nullptr, 0);
        for (vt_pixelmap *pm : {s->colour[0], s->colour[1], s->depth}) {
            pm->origin_x = kW / 2;
            pm->origin_y = kH / 2;
        }
        VtZbBegin(VT_PMT_RGB_565, VT_PMT_DEPTH_16);
        s->world = VtActorAllocate(VT_ACTOR_NONE, nullptr);
        s->camera = VtActorAllocate(VT_ACTOR_CAMERA, nullptr);
        VtActorAdd(s->world, s->camera);
        s->light = VtActorAllocate(VT_ACTOR_LIGHT, nullptr);
        VtActorAdd(s->world, s->light);
        VtLightEnable(s->light);
        auto *cam = static_cast<vt_camera *>(s->camera->type_data);
        cam->aspect = float(kW) / kH;
        return s;
    }();
    return stage;
}

// The largest distance of a vertex from the origin (the model's own size).
float Reach(const vt_model *m) {
    float r = 1;
    for (int i = 0; i < m->nvertices; ++i) {
        const vt_vector3 &p = m->vertices[i].p;
        const float d = std::sqrt(p.v[0] * p.v[0] + p.v[1] * p.v[1] + p.v[2] * p.v[2]);
        if (std::isfinite(d) && d > r) r = d;
    }
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzgame::EnterSampleTree();
    Stage *s = Begin();
    if (!s) return 0;
    fuzzgame::Replace("vek/resource/shapes/fuzz.lwo", data, size);
    std::remove("vek/resource/shapes/fuzz.smg");
    for (int depth : {8, 16}) {
        PixelDepth = depth;
        BytesPerPixel = uint16_t(depth / 8);
        vt_model *m = nullptr;
        try {
            m = static_cast<vt_model *>(LwoLoadModel("vek\\resource\\shapes\\fuzz.lwo", nullptr, nullptr));
        } catch (const fuzzfiles::Fatal &) {
            __builtin_trap();  // a shape must never end the game
        }
        if (!m) break;
        vt_actor *a = VtActorAllocate(VT_ACTOR_MODEL, nullptr);
        a->model = m;
        VtActorAdd(s->world, a);
        VtMatrix34Translate(&s->camera->t.t.mat, 0, 0, 3 * Reach(m));
        s->camera->t.type = VT_TRANSFORM_MATRIX34;
        auto *cam = static_cast<vt_camera *>(s->camera->type_data);
        cam->hither_z = 1;
        cam->yon_z = 6 * Reach(m) + 10;
        vt_pixelmap *colour = s->colour[depth == 16];
        VtPixelmapFill(colour, 0);
        VtPixelmapFill(s->depth, 0xFFFFFFFF);
        try {
            VtZbSceneRender(s->world, s->camera, colour, s->depth);
        } catch (const fuzzfiles::Fatal &) {
            __builtin_trap();
        }
        VtActorFree(a);
        VtModelRemove(m);
        VtModelFree(m);
        dunFreeCollisionModels();
    }
    std::remove("vek/resource/shapes/fuzz.smg");
    return 0;
}
