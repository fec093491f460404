// The AI states of guided and unguided missiles, the big bomb, practice
// drones and orbital attackers, and the two escape states.
//
// Conventions as for the attack states: resume step 0 is step 1; a step past
// the last yields at step 1. Objects in the parameters are handles.
#include <algorithm>

#include "RES/util.h"
#include "ai/combat.h"
#include "ai/states.h"
#include "ai/steering.h"
#include "ai/weapons.h"
#include "core/frame.h"
#include "world/handle.h"
#include "world/mission_state.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/objroutines.h"
#include "world/simplace.h"

namespace {

constexpr int16_t kDumbMissileFuel = 15000;
constexpr int32_t kReplanPeriod = 301;
constexpr int32_t kFleeCheck = 250;
constexpr double kFleeHoldDistance = 1050000.0;
constexpr int32_t kFleeDamagePercent = 40;
constexpr uint32_t kFleeMayEndAtOnce = 2;
constexpr float kChaseSlowDistance = 100000.0f;
// The local that remembers a self-destruction already made: the world drops
// a second destroyed message, but its bookkeeping would run again.
constexpr int kDoneLocal = 4;

SceneItem *Obj(uint32_t handle) { return dunItemFromHandle(handle); }
bool InUse(const SceneItem *o) { return o && (o->flags & SceneFlag::InUse) && o->sim; }
float TopThrust(const SceneItem *ship) { return dunai_Figures(dunai_ProfileOf(ship)).p1; }

Vec3 Towards(const SceneItem *ship, const Vec3d &to) {
    const Vec3d &p = ship->sim->position;
    return {float(to.x - p.x), float(to.y - p.y), float(to.z - p.z)};
}

// The object destroys itself: the record names it as its own attacker.
void SelfDestruct(SceneItem *ship, int32_t *L) {
    if (L[kDoneLocal]) return;
    L[kDoneLocal] = 1;
    DamageRecord r = {};
    r.attacker = dunHandleOf(ship);
    dunRecordDestruction(ship, &r);
    dunPostDamageRecord(ship->receiverId, ship->receiverId, 0, MsgDestroyed, &r);
}

// Any munition already homing on the player's ship.
int CountMunitionsAtPlayer() {
    int n = 0;
    SceneItem *head = dunSceneListHead();
    for (SceneItem *o = head->next; o && o != head; o = o->next)
        if (o->avatar && (o->avatar->flags & AvatarFlag::MunitionRound) && o->sim && dunPlayerShip &&
            o->sim->goal == dunPlayerShip)
            ++n;
    return n;
}

void FireAt(SceneItem *ship, Weapon *w, const Vec3 &local, SceneItem *at) {
    if (w && dunMountArcTest(ship, local.x, local.y, local.z, w->mountCode, w)) dunFireWeapon(at, ship, w);
}

// The ship's last attacker when it is after the ship and not the object
// chosen.
SceneItem *AttackerOverride(const SceneItem *ship, SceneItem *chosen) {
    const Avatar *a = ship->avatar;
    if (a && a->attacker && a->attacker != chosen && a->attackCount > 0 && InUse(a->attacker)) return a->attacker;
    return chosen;
}

// The drone and orbital run: a point beside the goal, full thrust.
StateCommand *BesideRun(StateCommand *c, SceneItem *ship, int16_t step, uint32_t p1, bool orbital) {
    Sim *s = ship->sim;
    if (SceneItem *o = Obj(p1); InUse(o)) s->goal = s->target = o;
    SceneItem *g = orbital ? AttackerOverride(ship, s->goal) : s->goal;
    if (!g) return dunai_Finish(c, 0.0f);
    if (step > 1) return dunai_Yield(c, 1);
    if (!InUse(g) || !g->avatar) return dunai_Finish(c, 0.0f);
    const Vec3 x = dunMatRow(s->matrix, 0);
    const float beside = g->sim->radius * 2.0f;
    Vec3 aim = Towards(ship, g->avatar->position);
    aim = {aim.x - x.x * beside, aim.y - x.y * beside, aim.z - x.z * beside};
    const Vec3 local = dunai_ShipFramePoint(ship, aim);
    if (orbital)
        dunai_RollYawToward(ship, local, dunai_ProfileOf(ship));
    else
        dunai_TurnRates(ship, local, dunai_ProfileOf(ship));
    s->thrust.z = TopThrust(ship);
    if (orbital) {
        s->currentWeapon = dunBestReadyWeapon(s->weapons);
        FireAt(ship, s->currentWeapon, local, g);
    }
    return dunai_Yield(c, 1);
}

}  // namespace

void dunai_BrakeToRest(SceneItem *ship) {
    Sim *s = ship ? ship->sim : nullptr;
    if (!s) return;
    const float top = TopThrust(ship), lim = top * 2.0f / 3.0f;
    MatTransformPoint(s->bodyVelocity, s->velocity, s->matrix);
    const Vec3 &v = s->bodyVelocity;
    s->thrust = {-std::clamp(v.x, -lim, lim), -std::clamp(v.y, -lim, lim), std::clamp(-v.z, -top, top)};
}

StateCommand *dunai_MissileState(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *L, uint32_t,
                                 uint32_t, uint32_t) {
    switch (step) {
    case 0:
    case 1: L[0] = 0; [[fallthrough]];
    case 2:
        dunGuideMissile(ship);
        L[0] += dunFrameStep;
        return dunai_Yield(c, L[0] < kReplanPeriod ? 2 : 3);
    case 3:
        L[0] = 0;
        if (dunChooseAttackTactic(ship, nullptr) == int32_t(kStateUnmovingGuard)) return dunai_Yield(c, 2);
        return dunai_Finish(c, 0.0f);
    default: return dunai_Yield(c, 1);
    }
}

StateCommand *dunai_DumbMissileState(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *L, uint32_t p1,
                                     uint32_t, uint32_t) {
    Sim *s = ship->sim;
    switch (step) {
    case 0:
    case 1: s->timer = kDumbMissileFuel; [[fallthrough]];
    case 2: {
        SceneItem *o = nullptr;
        if (CountMunitionsAtPlayer() < 1) {
            o = dunNearestShipByFlags(nullptr, 0x8004, 0x4000050, ship, 5e6f);
            if (o && (!o->sim || !o->sim->weapons)) o = nullptr;
        }
        if (p1) o = Obj(p1);
        if (!o) {
            dunai_IdleFlight(ship);
            return dunai_Yield(c, 2);
        }
        s->goal = s->target = o;
        return dunai_Yield(c, 3);
    }
    case 3:
        dunGuideMissile(ship);
        if (s->timer < 1) SelfDestruct(ship, L);
        return dunai_Yield(c, 3);
    default: return dunai_Yield(c, 1);
    }
}

StateCommand *dunai_BigBombState(StateCommand *c, SceneItem *ship, int16_t, float, int32_t *L, uint32_t, uint32_t,
                                 uint32_t) {
    if (dunMissionCountdown < 1) SelfDestruct(ship, L);
    // The bomb is pushed by what is docked to it: at least two docked
    // ports before it moves at all.
    int count = 0;
    const ShipInfo *info = ship->sim->shipInfo;
    for (const DockingPort *p = info ? info->ports : nullptr; p; p = p->next)
        if (p->flags & PortFlag::Docked) ++count;
    if (count < 2) count = 0;
    if (FlightParams *f = ship->sim->flight) {
        f->p1 = float(count * 2000 / 4);
        f->p2 = float(count * 300 / 4);
    }
    return dunai_Yield(c, 1);
}

StateCommand *dunai_DroneTarget(StateCommand *c, SceneItem *ship, int16_t, float, int32_t *, uint32_t p1, uint32_t,
                                uint32_t) {
    Sim *s = ship->sim;
    s->thrust = {0.0f, 0.0f, 0.0f};
    if (float(int32_t(p1)) > s->speed) s->thrust.z = TopThrust(ship);
    return dunai_Yield(c, 1);
}

StateCommand *dunai_DroneMovingTarget(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t p1,
                                      uint32_t, uint32_t) {
    return BesideRun(c, ship, step, p1, false);
}

StateCommand *dunai_OrbitalAttack(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t p1,
                                  uint32_t, uint32_t) {
    return BesideRun(c, ship, step, p1, true);
}

StateCommand *dunai_DroneChasingTarget(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t,
                                       uint32_t p2, uint32_t) {
    Sim *s = ship->sim;
    s->goal = dunPlayerShip;
    SceneItem *g = s->goal;
    if (!g || !g->avatar || !g->sim) return dunai_Finish(c, 0.0f);
    ship->avatar->approach = g;
    const float d = VecLengthApprox(Towards(ship, g->avatar->position));
    switch (step) {
    case 0:
    case 1:
        if (p2 != 0) {
            dunai_MatchVelocity(ship, {0.0f, 0.0f, 0.0f}, dunai_ProfileOf(ship));
            if (d > float(int32_t(p2))) return dunai_Yield(c, 1);
        }
        [[fallthrough]];
    case 2: {
        if (!InUse(g)) return dunai_Finish(c, 0.0f);
        const float r =
            dunai_TurnRates(ship, dunai_ShipFramePoint(ship, Towards(ship, g->sim->position)), dunai_ProfileOf(ship));
        const float top = TopThrust(ship), lim = top * 2.0f / 3.0f;
        const Vec3 rel = {s->velocity.x - g->sim->velocity.x, s->velocity.y - g->sim->velocity.y,
                          s->velocity.z - g->sim->velocity.z};
        s->bodyVelocity = dunai_ShipFramePoint(ship, rel);
        const Vec3 &v = s->bodyVelocity;
        s->thrust.x = -std::clamp(v.x, -lim, lim);
        s->thrust.y = -std::clamp(v.y, -lim, lim);
        const float k = d <= kChaseSlowDistance ? d / kChaseSlowDistance * 0.9f + 0.1f : 1.0f;
        s->thrust.z = std::clamp(k * 125000.0f * r * r - v.z, -top, top);
        dunProximityDetonate(ship, g, d);
        return dunai_Yield(c, 2);
    }
    default: return dunai_Yield(c, 1);
    }
}

StateCommand *dunai_EscapeState(StateCommand *c, SceneItem *ship, int16_t, float, int32_t *, uint32_t p1, uint32_t,
                                uint32_t p3) {
    if (SceneItem *o = Obj(p1); InUse(o)) ship->sim->target = o;
    return dunai_Push(c, kStateEscFlee, 0, 0, p3, 1);
}

StateCommand *dunai_esc_Flee(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *L, uint32_t, uint32_t,
                             uint32_t p3) {
    Sim *s = ship->sim;
    SceneItem *t = s->target;
    const FlightParams &perf = dunai_Figures(dunai_ProfileOf(ship));
    switch (step) {
    case 0:
    case 1:
        // A ship with a fast drive that nothing holds back may leave by it.
        if (p3 == kFleeMayEndAtOnce && perf.p4 > 0 && !(s->flags & SimFlag::LdsBlocked))
            return dunai_Finish(c, 0.0f);
        L[0] = dunRand15() % kFleeCheck;
        L[1] = 0;
        [[fallthrough]];
    case 2: {
        s->thrust.z = s->speed < perf.p8x100 ? perf.p1 : 0.0f;
        if (InUse(t)) {
            const Vec3 v = Towards(ship, t->sim->position);
            if (VecLengthApproxDouble({double(v.x), double(v.y), double(v.z)}) > kFleeHoldDistance) {
                s->flags |= SimFlag::TurnedThisFrame;
                dunai_MatchVelocity(ship, {0.0f, 0.0f, 0.0f}, dunai_ProfileOf(ship));
            }
            const Vec3 local = dunai_ShipFramePoint(ship, v);
            s->currentWeapon = ship == dunPlayerShip ? dunChooseAutoMount(local.x, local.y, local.z, s->weapons)
                                                     : dunChooseMount(local.x, local.y, local.z, s->weapons);
            FireAt(ship, s->currentWeapon, local, t);
        }
        L[0] += dunFrameStep;
        return dunai_Yield(c, L[0] > kFleeCheck ? 3 : 2);
    }
    case 3: {
        L[1] += L[0];
        L[0] = 0;
        // A launched craft's record has no maximum hull: it counts as whole.
        const ShipInfo *info = s->shipInfo;
        const bool hurt = info && dunDamagePercent(info->damage) >= kFleeDamagePercent;
        if (hurt || dunChooseAttackTactic(ship, nullptr) == int32_t(kStateEscFlee)) return dunai_Yield(c, 2);
        return dunai_Finish(c, 0.0f);
    }
    default: return dunai_Yield(c, 1);
    }
}
