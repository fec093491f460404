// The effects of ships arriving, leaving and being destroyed: ring bursts
// along the hull, the destruction explosion sized by the camera's distance,
// and the wreck that blows its parts off one by one before it goes.
#include <cmath>

#include "RES/util.h"
#include "core/frame.h"
#include "core/options.h"
#include "present/effects.h"
#include "present/effects/particles.h"
#include "present/frame_passes.h"
#include "present/p3d.h"
#include "present/scene.h"
#include "world/eventhooks.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/records.h"
#include "world/sound_place.h"

namespace {

constexpr int kGasShellSound = 9;
constexpr int kExplosionSound = 10;
constexpr int kBurstSound = 26;
constexpr int kPartSound = 46;
constexpr int kExplosionSpread = 8000;

void PlaceSound(SceneItem *object, int slot, int spread) {
    int32_t volume = 0, pan = 0;
    SoundPositionFromCamera(object, &volume, &pan);
    SoundPlayVaried(slot, volume, 0, pan, 0, spread);
    if (gEffectObserver) gEffectObserver("sound", object, slot);
}

float Radius(const SceneItem *item) {
    if (item->sim) return item->sim->radius;
    return item->avatar && item->avatar->root ? item->avatar->root->radius : 0;
}

void RingBurst(SceneItem *owner, uint16_t life, float speed) {
    PlaceSound(owner, kBurstSound, 0);
    PlaceExplosion(owner);
    CreateParticleSystem(owner, nullptr, 0, 0x4000, life, 250, 700, speed, 600, 360);
    const ShipInfo *info = owner->sim ? owner->sim->shipInfo : nullptr;
    for (const AttachedNode *n = info ? info->attached : nullptr; n; n = n->next)
        if (n->object && (n->object->flags & SceneFlag::InUse))
            CreateParticleSystem(n->object, nullptr, 0, 0x4000, life, 250, 700, speed, 600, 360);
}

// Where the view is seen from: the object the last view was drawn for.
const SceneItem *Viewer() {
    if (gP3D.viewObject && (gP3D.viewObject->flags & SceneFlag::InUse)) return gP3D.viewObject;
    return dunPlayerCamera ? dunPlayerCamera : dunPlayerShip;
}

// The next part of a wreck to blow off after a part: its next sibling that
// is no particle part.
TDP *NextPart(TDP *part) {
    TDP *n = part ? part->sibling : nullptr;
    while (n && (n->flags & TDPFlag::Particle)) n = n->sibling;
    return n;
}

}  // namespace

void SpawnArrivalBurst(SceneItem *owner) {
    if (owner && owner->avatar) RingBurst(owner, 150, 15000);
}

void SpawnDepartureBurst(SceneItem *owner) {
    if (owner && owner->avatar) RingBurst(owner, 75, -15000);
}

void SpawnDestructionExplosion(SceneItem *wreck, const DamageRecord *direction, SceneItem *destroyed) {
    if (!wreck || !wreck->avatar || !destroyed || !destroyed->avatar) return;
    // The hit's point lies in world axes: the explosion's part takes it in
    // the wreck's own.
    Vec3 point = direction ? direction->point : Vec3{0, 0, 0};
    MatTransformPoint(point, point, wreck->avatar->matrix);
    wreck->control = WreckBreakUpControl;
    wreck->avatar->nextBreakPart = NextPart(wreck->avatar->root);
    AddThermalExplosion(wreck, &point);

    const Vec3d &at = destroyed->avatar->position;
    const SceneItem *viewer = Viewer();
    const float R = Radius(destroyed);
    const float reach = 500000 * R / 12000 + 200000;
    const float spread = 7000 * R / 12000;
    float d = 0.75f * reach;
    if (viewer && viewer->avatar) {
        const Vec3d &v = viewer->avatar->position;
        d = float(std::sqrt((at.x - v.x) * (at.x - v.x) + (at.y - v.y) * (at.y - v.y) + (at.z - v.z) * (at.z - v.z)));
    }
    if (d > 0.75f * reach) d = 0.75f * reach;
    const float f = (1 - d / reach) * (1 - d / reach);
    int count, rate;
    if (CardMode && destroyed->sim && destroyed->sim->speed > 100000) {
        CreateParticleSystem(wreck, nullptr, 6, 0x4100012, 400, int(80 * f), 250, spread / 3, 650, 360);
        count = int(60 * f);
        rate = 650;
    } else {
        count = int(200 * f);
        count = count < 100 ? 100 : count > 200 ? 200 : count;
        rate = 10 * count;
    }
    CreateParticleSystem(wreck, nullptr, 6, 0x100012, 1120, count, 300, spread, rate, 360);

    const Vec3 flash = {float(at.x), float(at.y), float(at.z)};
    P3DAddLightFlash(destroyed, destroyed->receiverId, &flash, 400, 0xFFFFFF);
    if (gEffectObserver) gEffectObserver("flash", destroyed, 400);
    const float mass = destroyed->sim ? destroyed->sim->mass : 0;
    if (float(dunRand15() % 100) < mass * 100 / 20000) {
        dunLaunchGasShell(destroyed, nullptr);
        PlaceSound(destroyed, kGasShellSound, kExplosionSpread);
    } else {
        PlaceSound(destroyed, kExplosionSound, kExplosionSpread);
    }
}

void WreckBreakUpControl(SceneItem *wreck) {
    if (!wreck || !wreck->avatar) return;
    TDP *part = wreck->avatar->nextBreakPart;
    if (!part || !(part->flags & TDPFlag::InUse)) return;
    if (dunRand15() % 250 >= dunFrameStep) return;
    // The part goes from the scene with its model; a burst takes its place.
    const float partRadius = part->radius;
    const TDP *root = wreck->avatar->root;
    const Vec3 from = root ? root->offset : Vec3{0, 0, 0};
    const Vec3 offset = {part->offset.x - from.x, part->offset.y - from.y, part->offset.z - from.z};
    if (part->flags & TDPFlag::OwnsModel) P3DRemoveAndFreeNodeModel(part);
    P3DRemoveActor(part);
    part->flags &= ~(TDPFlag::HasActor | TDPFlag::OwnsModel);
    part->model = nullptr;
    Mat4 at;
    MatIdentity(at);
    at.m[12] = offset.x;
    at.m[13] = offset.y;
    at.m[14] = offset.z;
    const float speed = Radius(wreck) / 10000 * 5000;
    if (ParticleSystem *ps =
            ParticleSystemOf(CreateParticleSystem(wreck, &at, 2, 0x212, 250, 120, 700, speed, 600, 360)))
        ps->spread = partRadius / 2;
    PlaceSound(wreck, kPartSound, kExplosionSpread);
    wreck->avatar->nextBreakPart = NextPart(part);
    if (!wreck->avatar->nextBreakPart) dunMsgPost(wreck->receiverId, wreck->receiverId, 500, MsgRemove, 0, nullptr);
}
