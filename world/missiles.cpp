// Guided missiles, warheads, plasma balls and gas shells.
#include <cmath>

#include "RES/util.h"
#include "RES/vecmath.h"
#include "core/frame.h"
#include "platform/joystick.h"
#include "world/eventhooks.h"
#include "world/flight.h"
#include "world/handle.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/objroutines.h"
#include "world/records.h"
#include "world/services.h"
#include "world/simplace.h"
#include "world/sound_place.h"

int8_t dunWarheadButton = -1;

namespace {

float gap(const Sim *a, const Sim *b) {
    const Vec3 p = dunFloatPosition(a), q = dunFloatPosition(b);
    return float(VecLength({q.x - p.x, q.y - p.y, q.z - p.z}));
}

void removeSelf(SceneItem *item) { dunMsgPost(item->receiverId, item->receiverId, 0, MsgRemove, 0, nullptr); }

// Fuel burns with the drive: its approximate length / 100 per second.
// Returns true while fuel is left.
bool burnFuel(Sim *s) {
    if (s->fuel > 0) s->fuel -= int32_t(VecLengthApprox(s->thrust) / 100.0f * dunFrameSeconds);
    if (s->fuel > 0) return true;
    s->fuel = 0;
    s->thrust = {0.0f, 0.0f, 0.0f};
    return false;
}

// Three hits from the player's ship on every other ship within 250000,
// strongest at the centre.
void areaDamage(SceneItem *warhead) {
    if (!dunPlayerShip) return;
    SceneItem *head = dunSceneListHead();
    for (SceneItem *it = head->next, *next; it && it != head; it = next) {
        next = it->next;
        if (it == warhead || !it->sim || !it->avatar || !(it->avatar->flags & AvatarFlag::Ship)) continue;
        const float d = gap(warhead->sim, it->sim);
        if (!(d < 250000.0f)) continue;
        const double share = (250000.0 - d) / 250000.0;
        const int32_t damage = int32_t(650.0 * share * share);
        for (int i = 0; i < 3; ++i) dunCall(dunAi().sendRelativePosition, dunPlayerShip, it, 0, damage);
    }
}

void detonate(SceneItem *warhead) {
    DamageRecord record = {};
    dunPostDamageRecord(warhead->receiverId, warhead->receiverId, 0, MsgDestroyed, &record);
    if (warhead->flags & SceneFlag::LaunchesPlasmaBall) dunLaunchPlasmaBall(warhead, nullptr);
}

// The growth of a ball or shell while its timer is above 200; its root part
// takes the radius, its node matrix the Sim's scaled by radius x 0.02.
void grow(SceneItem *item) {
    Sim *s = item->sim;
    Avatar *a = item->avatar;
    if (s->timer > 200) {
        const float growth = float(a->lifetime) * dunFrameSeconds;
        s->radius += growth;
        a->lifetime += uint32_t(growth * 0.2f);
    } else {
        s->radius = 1.0f;
    }
    s->position = {s->matrix.m[12], s->matrix.m[13], s->matrix.m[14]};
    if (a->root) a->root->radius = s->radius;
}

void scaledNodeMatrix(SceneItem *item) {
    TDP *root = item->avatar->root;
    if (!root) return;
    const float k = item->sim->radius * 0.02f;
    root->local = item->sim->matrix;
    for (int i = 0; i < 12; ++i) root->local.m[i] *= (i % 4 == 3) ? 1.0f : k;
}

}  // namespace

void dunProximityDetonate(SceneItem *missile, SceneItem *other, float distance) {
    if (!other || !(distance < 20000.0f)) return;
    if (!(missile->avatar->flags & AvatarFlag::ProximityFuse) || !(distance < 10000.0f)) return;
    dunCall(dunPresent().setFlashBrightness, 64);
    const Sim *s = missile->sim;
    uint8_t payload[36] = {};
    const Vec3 at = dunFloatPosition(s);
    dunPayloadPutF32(payload, 0, at.x);
    dunPayloadPutF32(payload, 4, at.y);
    dunPayloadPutF32(payload, 8, at.z);
    dunPayloadPutF32(payload, 12, s->velocity.x);
    dunPayloadPutF32(payload, 16, s->velocity.y);
    dunPayloadPutF32(payload, 20, s->velocity.z);
    dunPayloadPutF32(payload, 24, 1000.0f);
    // A live round fired from a weapon strikes as if it had touched: its
    // contact routine deals the weapon's hit, gives the impact and removes
    // it. A practice drone's blast only shakes what it reaches.
    Avatar *a = missile->avatar;
    if (a->roundWeapon && a->contactHandler && other->avatar) {
        int16_t handled = 0;
        float point[3] = {at.x, at.y, at.z};
        a->contactHandler(missile, a->root, other, other->avatar->root, &handled, point);
    } else {
        dunMsgPost(missile->receiverId, other->receiverId, 0, MsgImpact, sizeof payload, payload);
        removeSelf(missile);
    }
    if (other == dunPlayerShip && s->shipInfo) dunCall(dunScript().missileHitPlayer, int(s->shipInfo->typeCode));
    int32_t volume = -10000, pan = 0;
    SoundPositionFromCamera(missile, &volume, &pan);
    SoundPlayVaried(8, volume, 0, pan, 0, 2000);
}

void dunGuideMissile(SceneItem *missile) {
    Sim *s = missile->sim;
    if (!s) return;
    SceneItem *goal = s->goal;
    if (!goal) {
        removeSelf(missile);
        return;
    }
    if (!(goal->flags & SceneFlag::InUse) || !goal->sim) {
        s->goal = nullptr;
    } else {
        missile->avatar->sidePartner = goal;
        Vec3 aim = dunFloatPosition(goal->sim);
        Vec3 centre;
        if ((s->flags & SimFlag::Autopilot) && dunCall(dunAi().aimsAtSubTarget) &&
            dunCall(dunAi().subTargetCentre, goal, &centre)) {
            Vec3 world;
            MatRotateVector(goal->sim->matrix, centre, world);
            aim = {aim.x + world.x, aim.y + world.y, aim.z + world.z};
        }
        dunCall(dunAi().steerTowards, missile, aim, &goal->sim->velocity, nullptr, nullptr);
        if (missile->avatar->objectA && missile->avatar->objectA == dunPlayerShip)
            dunCall(dunHud().listMissile, missile, goal, int32_t(dunGameClock));
        const Vec3 at = dunFloatPosition(s);
        dunProximityDetonate(missile, goal, float(VecLength({aim.x - at.x, aim.y - at.y, aim.z - at.z})));
    }
    burnFuel(s);
    dunFlyShip(missile);
}

void dunSimWarhead(SceneItem *warhead) {
    Sim *s = warhead->sim;
    if (!s) return;
    // Once its destruction is under way it only flies.
    bool fire = false;
    if (!(s->flags & SimFlag::Dead)) {
        SceneItem *n = warhead->avatar->nearest;
        const uint32_t sides = warhead->avatar->flags & AvatarFlag::SideBits;
        if (dunIsShip(n) && !(n->avatar->flags & sides)) {
            const Vec3 p = dunFloatPosition(s), q = dunFloatPosition(n->sim);
            fire = VecLengthApprox({q.x - p.x, q.y - p.y, q.z - p.z}) < 50000.0f;
        }
        if (dunWarheadButton >= 0 && (JoystickButtons >> dunWarheadButton & 1) && s->fuel < 14000) fire = true;
        if (fire) areaDamage(warhead);
    }
    s->demandSpeed = 250000.0f;
    dunFlyShip(warhead);
    // Running dry also sets it off, but too late for the area damage.
    if (!burnFuel(s) && !(s->flags & SimFlag::Dead)) fire = true;
    if (fire) detonate(warhead);
}

void dunSimPlasmaBall(SceneItem *ball) {
    if (!ball->sim || !ball->avatar) return;
    grow(ball);
    dunCall(dunPresent().setupPlasmaBall, ball, 0, 255, "plasmaball");
    scaledNodeMatrix(ball);
    if (!dunPlayerShip || !dunPlayerShip->sim) return;
    const Sim *s = ball->sim;
    const float d = gap(s, dunPlayerShip->sim);
    const int32_t t = s->timer;
    if (d < s->radius) {
        dunCall(dunPresent().setFlashBrightness, 164 + dunRand15() % 16);
    } else if (t < 250) {
        const double bright =
            t < 200 ? 144.0 + 30.0 * (t * 0.005) * (t * 0.005) : 144.0 + 30.0 * (250 - t) * 0.02;
        dunCall(dunPresent().setFlashBrightness, int32_t(bright));
    }
}

void dunSimGasShell(SceneItem *shell) {
    if (!shell->sim || !shell->avatar) return;
    grow(shell);
    dunCall(dunPresent().setupGasShell, shell, "gas_shell");
    scaledNodeMatrix(shell);
    if (TDP *root = shell->avatar->root) root->local.m[12] = root->local.m[13] = root->local.m[14] = 0.0f;
}
