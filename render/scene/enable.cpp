// The enable tables: the lights, clip planes and horizon planes a scene
// hands to the renderer.
#include <cstring>

#include "render/scene/scenestate.h"

namespace {

void enable(vt_enable_table &t, vt_actor *a) {
    if (a == nullptr || !vtScene.active)
        return;
    if (t.enabled == nullptr) {
        t.enabled = static_cast<vt_actor **>(
            VtResAllocate(vtScene.res, sizeof(vt_actor *) * vt_size(t.max), VT_RES_ENABLED_ACTORS));
        if (t.enabled == nullptr)
            return;
        memset(t.enabled, 0, sizeof(vt_actor *) * vt_size(t.max));
    }
    for (int i = 0; i < t.max; i++)
        if (t.enabled[i] == a)
            return;
    if (t.count >= t.max) {
        VtFailure("too many enabled %ss", t.name);
        return;
    }
    for (int i = 0; i < t.max; i++)
        if (t.enabled[i] == nullptr) {
            t.enabled[i] = a;
            t.count++;
            return;
        }
}

void disable(vt_enable_table &t, vt_actor *a) {
    if (t.enabled == nullptr)
        return;
    for (int i = 0; i < t.max; i++)
        if (t.enabled[i] == a) {
            t.enabled[i] = nullptr;
            t.count--;
            return;
        }
}

} // namespace

void SceneEnableTablesInit() {
    static const struct {
        vt_int_32 max;
        vt_uint_8 type;
        const char *name;
    } kTables[VT_ENABLE_TABLES] = {
        {16, VT_ACTOR_LIGHT, "light"},
        {6, VT_ACTOR_CLIP_PLANE, "clip plane"},
        {6, VT_ACTOR_HORIZON_PLANE, "horizon plane"},
    };
    for (int i = 0; i < VT_ENABLE_TABLES; i++) {
        vtScene.enables[i] = vt_enable_table{kTables[i].max, 0, kTables[i].type, kTables[i].name, nullptr};
    }
}

void SceneActorDisable(vt_actor *actor) {
    if (vtScene.environment == actor)
        vtScene.environment = nullptr;
    for (vt_enable_table &t : vtScene.enables)
        if (t.type == actor->type)
            disable(t, actor);
}

void VtLightEnable(vt_actor *light) { enable(vtScene.enables[VT_ENABLE_LIGHTS], light); }
void VtLightDisable(vt_actor *light) { disable(vtScene.enables[VT_ENABLE_LIGHTS], light); }
void VtClipPlaneEnable(vt_actor *plane) { enable(vtScene.enables[VT_ENABLE_CLIP_PLANES], plane); }
void VtClipPlaneDisable(vt_actor *plane) { disable(vtScene.enables[VT_ENABLE_CLIP_PLANES], plane); }
void VtHorizonPlaneEnable(vt_actor *plane) { enable(vtScene.enables[VT_ENABLE_HORIZON_PLANES], plane); }
void VtHorizonPlaneDisable(vt_actor *plane) { disable(vtScene.enables[VT_ENABLE_HORIZON_PLANES], plane); }
