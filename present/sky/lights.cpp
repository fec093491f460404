// The ten dynamic point lights of the 3D card (flashes of explosions and
// impacts, and the script's engine lights), the flash light of software
// mode, and the first two scene lights aimed from the sun at the player.
//
// A flash is given at a world position and fades by itself; only an
// engine light lives in its owner's frame and shines while the owner
// thrusts. (Treating every owned light as an engine light put explosion
// flashes on ships in the wrong place and switched them off whenever the
// ship was not under thrust.)
#include <algorithm>
#include <cmath>

#include "core/frame.h"
#include "core/options.h"
#include "platform/display.h"
#include "present/effects.h"
#include "present/frame_passes.h"
#include "present/p3d.h"
#include "present/scene.h"
#include "present/sky/flares.h"
#include "present/sky/sky.h"
#include "render/front/front.h"
#include "render/math/math3d.h"
#include "render/scene/scene.h"
#include "world/objlist.h"
#include "world/records.h"

uint8_t gSunPlaced;

namespace {

constexpr float kFlashRadius = 50000.0f;
constexpr uint32_t kEngineKey = 0x10000000u;

bool Present(const SceneItem *item) { return item && (item->flags & SceneFlag::InUse); }

vt_light *LightOf(vt_actor *a) { return a ? static_cast<vt_light *>(a->type_data) : nullptr; }

void Place(vt_actor *actor, const Vec3 &p) {
    actor->t.type = VT_TRANSFORM_MATRIX34;
    VtMatrix34Identity(&actor->t.t.mat);
    actor->t.t.mat.m[3][0] = p.x;
    actor->t.t.mat.m[3][1] = p.y;
    actor->t.t.mat.m[3][2] = p.z;
}

// The slot's light actor under the main world, made on first use; false
// without a main world.
bool SetUp(DynamicLight &s) {
    if (!s.actor) {
        if (!gP3D.mainWorld) return false;
        s.actor = VtActorAllocate(VT_ACTOR_LIGHT, nullptr);
        if (!s.actor) return false;
        VtActorAdd(gP3D.mainWorld, s.actor);
        s.light = LightOf(s.actor);
    }
    return s.light != nullptr;
}

void Free(DynamicLight &s) {
    s.life = 0;
    if (s.actor) VtLightDisable(s.actor);
    s.key = 0;
    s.priority = 0;
    s.owner = nullptr;
    s.engine = 0;
}

// Fade per tick: 110^(1 / (life / 10)), the divisor at least 1 so that
// short lives do not divide by zero.
float FadeFor(int life) { return std::pow(110.0f, 1.0f / std::max(float(life) / 10.0f, 1.0f)); }

// The engine light's place: its position in the owner's frame brought out
// by the owner's matrix; lit by the owner's forward thrust.
void UpdateEngineLight(DynamicLight &s) {
    const SceneItem *o = s.owner;
    const Mat4 &m = o->avatar->matrix;
    const Vec3 p = s.position;
    Place(s.actor, Vec3{p.x * m.m[0] + p.y * m.m[4] + p.z * m.m[8] + m.m[12],
                        p.x * m.m[1] + p.y * m.m[5] + p.z * m.m[9] + m.m[13],
                        p.x * m.m[2] + p.y * m.m[6] + p.z * m.m[10] + m.m[14]});
    const float a = o->sim ? o->sim->thrust.z : 0;
    const float b = o->sim && o->sim->flight ? o->sim->flight->p1 : 0;
    if (a != 0 && b != 0) {
        VtLightEnable(s.actor);
        const float ratio = 100 * a / b;
        s.light->attenuation_c = ratio > 0 ? 0.1f / ratio : 1e6f;
    } else {
        VtLightDisable(s.actor);
    }
}

// A sun light aimed from the sun towards the player: its Z row the
// negated direction, placed at the sun.
void AimFromSun(vt_actor *light, const SceneItem *sun, const SceneItem *player) {
    if (!light || !sun->sim) return;
    const Vec3d s = sun->sim->position, p = player && player->sim ? player->sim->position : Vec3d{0, 0, 0};
    Vec3 d{float(p.x - s.x), float(p.y - s.y), float(p.z - s.z)};
    if (d.x == 0 && d.y == 0 && d.z == 0) d = {0, 0, 1};
    Mat4 m{};
    MatLookAlong(d, nullptr, m);
    vt_matrix34 &t = light->t.t.mat;
    light->t.type = VT_TRANSFORM_MATRIX34;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) t.m[r][c] = -m.m[4 * r + c];
    t.m[3][0] = float(s.x);
    t.m[3][1] = float(s.y);
    t.m[3][2] = float(s.z);
}

}  // namespace

SceneItem *P3DFindSunObject() {
    SceneItem *head = dunSceneListHead();
    for (SceneItem *it = head->next; it != head; it = it->next) {
        const Avatar *a = it->avatar;
        if (!a || !a->root) continue;
        if (a->presentation == P3DPlaceSkyBodyFull) return it;
        const TDP *child = a->root->child;
        if (child && child->model && child->model == P3DCreateStarDummy()) return it;
    }
    return nullptr;
}

void P3DClearLightSlots() {
    for (DynamicLight &s : gLightFx.slots) {
        s = DynamicLight{};
    }
    gLightFx.flashTime = 0;
    gLightFx.flashFade = 1;
}

int P3DChooseLightSlot(uint32_t key, int priority) {
    int chosen = -1;
    for (int i = 0; i < kLightSlots; ++i) {
        const DynamicLight &s = gLightFx.slots[i];
        if (s.life < 0) continue;
        if (s.life > 0 && s.key == key) return i;
        if (s.priority < priority || s.life < 1) chosen = i;
    }
    return chosen;
}

namespace {

// The slot the light went into, or -1.
int AddLight(SceneItem *owner, const Vec3 *position, const Vec3 *altPosition, uint32_t key, int priority, float radius,
             int life, uint32_t colour) {
    if (!CardMode) return -1;
    const int i = P3DChooseLightSlot(key, priority);
    if (i < 0) return -1;
    DynamicLight &s = gLightFx.slots[i];
    const Vec3 *at = position ? position : altPosition;
    s.key = key;
    s.priority = priority;
    s.life = life;
    s.radius = radius;
    s.owner = owner;
    s.colour = colour;
    s.position = at ? *at : Vec3{0, 0, 0};
    s.fade = life < 0 ? 1.0f : FadeFor(life);
    s.engine = 0;
    if (!SetUp(s)) {
        Free(s);
        return -1;
    }
    s.light->type = VT_LIGHT_POINT;
    s.light->attenuation_c = 0.1f;
    s.light->attenuation_l = radius != 0 ? 0.1f / radius : 0.0f;
    s.light->colour = colour;
    Place(s.actor, s.position);
    VtLightEnable(s.actor);
    return i;
}

}  // namespace

void P3DAddLight(SceneItem *owner, const Vec3 *position, const Vec3 *altPosition, uint32_t key, int priority,
                 float radius, int life, uint32_t colour) {
    AddLight(owner, position, altPosition, key, priority, radius, life, colour);
}

// Engine lights are keyed apart from the owner's flashes (keyed by its
// receiver id alone), so that neither takes the other's slot.
void P3DAddEngineLight(SceneItem *owner, const Vec3 *position, uint32_t colour, float radius) {
    const uint32_t key = (owner ? owner->receiverId : 0) | kEngineKey;
    const int i = AddLight(owner, position, nullptr, key, 100, radius, -1, colour);
    if (i >= 0 && owner) gLightFx.slots[i].engine = 1;
}

void P3DAddLightFlash(SceneItem *owner, uint32_t key, const Vec3 *position, int time, uint32_t colour) {
    if (CardMode) {
        P3DAddLight(owner, position, nullptr, key, time, kFlashRadius, time, colour);
        return;
    }
    vt_light *flash = LightOf(gP3D.flashLight);
    if (!flash || !gRenderOptions.weaponLight || !position) return;
    Place(gP3D.flashLight, *position);
    flash->attenuation_c = 0.18f;
    flash->attenuation_l = 2e-5f;
    flash->colour = colour;
    gLightFx.flashFade = FadeFor(time);
    gLightFx.flashTime = time;
    VtLightEnable(gP3D.flashLight);
}

void P3DSetSunLight(SceneItem *carrier, int direction, int time, int mode) {
    gLightFx.sunCarrier = carrier;
    gLightFx.sunTime = time;
    gLightFx.sunKind = mode != -1 ? 1 : 0;
    gSunPlaced = 0;
    vt_actor *light = gP3D.light1;
    if (!light) return;
    vt_light *l = LightOf(light);
    l->type = gLightFx.sunKind ? VT_LIGHT_DIRECT : VT_LIGHT_POINT;
    if (carrier && carrier->avatar) {
        const Mat4 &m = carrier->avatar->matrix;
        light->t.type = VT_TRANSFORM_MATRIX34;
        for (int c = 0; c < 3; ++c) light->t.t.mat.m[3][c] = m.m[12 + c] / kP3DWorldDivisor;
    } else {
        // No carrier: the given direction turns the light about Y.
        VtMatrix34RotateY(&light->t.t.mat, vt_angle(direction));
    }
}

void P3DSunLightDim() {
    vt_light *l = LightOf(gP3D.light1);
    if (!l) return;
    l->type = VT_LIGHT_POINT;
    l->attenuation_c = 0.025f;
    l->attenuation_l = 1e-5f;
}

void P3DSunLightPlain() {
    vt_light *l = LightOf(gP3D.light1);
    if (!l) return;
    l->type = VT_LIGHT_DIRECT;
    l->attenuation_c = 1.0f;
    l->attenuation_l = 0.0f;
}

void P3DUpdateLights() {
    if (!gSunPlaced) {
        if (SceneItem *sun = P3DFindSunObject()) {
            AimFromSun(gP3D.light1, sun, dunPlayerShip);
            if (CardMode) {
                if (gP3D.light1 && gP3D.light2) {
                    gP3D.light2->t = gP3D.light1->t;
                    VtLightEnable(gP3D.light2);
                }
            } else {
                AimFromSun(gP3D.light2, sun, dunPlayerShip);
            }
        }
        gSunPlaced = 1;
    }
    if (gLightFx.sunTime > 0 && !gSky.special) {
        gLightFx.sunTime -= dunFrameStep;
        if (gLightFx.sunTime < 0) {
            gLightFx.sunCarrier = P3DFindSunObject();
            gLightFx.sunKind = 1;
            if (vt_light *l = LightOf(gP3D.light1)) l->type = VT_LIGHT_DIRECT;
        }
    }
    if (gLightFx.flashTime > 0) {
        gLightFx.flashTime -= dunFrameStep;
        vt_light *flash = LightOf(gP3D.flashLight);
        if (gLightFx.flashTime >= 1 && flash) flash->attenuation_c *= gLightFx.flashFade;
        else if (gP3D.flashLight) VtLightDisable(gP3D.flashLight);
    }
    for (DynamicLight &s : gLightFx.slots) {
        if (s.life == 0) continue;
        if (!s.actor || !s.light) continue;
        if (s.owner && !Present(s.owner)) {
            Free(s);
            continue;
        }
        if (s.engine && s.owner && s.owner->avatar && s.owner->avatar->root && s.owner->avatar->root->actor)
            UpdateEngineLight(s);
        if (s.life < 0) continue;
        s.life -= dunFrameStep;
        if (s.life < 1) Free(s);
        else s.light->attenuation_c *= s.fade;
    }
}
