// The AI states with which a ship attacks: the generic offensive cycle, the
// gun states, the combat states that follow the chosen tactic, the one-shot
// combat orders, the weapons pass, steady fire, target acquisition,
// retaliation and the harpoon hold.
//
// Conventions of this family of states: resume step 0 is step 1; a step
// past the last yields at step 1 with result 0. Objects in the parameters
// are handles. "Fire at an object" chooses the mount for the direction,
// makes it the current weapon and fires when the object lies in its arc.
#include <cmath>

#include "RES/util.h"
#include "ai/brain.h"
#include "ai/combat.h"
#include "ai/states.h"
#include "ai/steering.h"
#include "ai/weapons.h"
#include "core/frame.h"
#include "world/docking.h"
#include "world/handle.h"
#include "world/lds.h"
#include "world/objlist.h"
#include "world/simplace.h"
#include "world/stations.h"

namespace {

constexpr uint32_t kStance = SimFlag::CombatStance;
constexpr uint32_t kCautious = 0x400, kFlee = 0x1000;
constexpr int32_t kCloseCycle = 126;
constexpr int32_t kTailCheck = 150, kFaceCheck = 250, kRangeCheck = 250;

SceneItem *Obj(uint32_t handle) { return dunItemFromHandle(handle); }
bool InUse(const SceneItem *o) { return o && (o->flags & SceneFlag::InUse) && o->sim; }

Vec3 Delta(const SceneItem *from, const Vec3d &to) {
    const Vec3d &p = from->sim->position;
    return {float(to.x - p.x), float(to.y - p.y), float(to.z - p.z)};
}

float TopThrust(const SceneItem *ship) { return dunai_Figures(dunai_ProfileOf(ship)).p1; }

// The ship's last attacker when it is after the ship and not the object
// chosen.
SceneItem *AttackerOverride(const SceneItem *ship, SceneItem *chosen) {
    const Avatar *a = ship->avatar;
    if (a && a->attacker && a->attacker != chosen && a->attackCount > 0 && InUse(a->attacker)) return a->attacker;
    return chosen;
}

Weapon *ChooseWeapon(SceneItem *ship, const Vec3 &local) {
    Sim *s = ship->sim;
    s->currentWeapon = ship == dunPlayerShip ? dunChooseAutoMount(local.x, local.y, local.z, s->weapons)
                                             : dunChooseMount(local.x, local.y, local.z, s->weapons);
    return s->currentWeapon;
}

// Turns the ship so that the weapon's mount looks along the local vector.
void AimMount(SceneItem *ship, const Weapon *w, const Vec3 &local) {
    if (!w) return;
    Mat4 frame;
    dunMountFrame(w->mountCode, &frame, local.x, local.y, local.z);
    dunai_AlignToMatrix(ship, frame);
}

void FireIfInArc(SceneItem *ship, Weapon *w, const Vec3 &local, SceneItem *at) {
    if (w && dunMountArcTest(ship, local.x, local.y, local.z, w->mountCode, w)) dunFireWeapon(at, ship, w);
}

StateCommand *BadStep(StateCommand *c) { return dunai_Yield(c, 1, 0.0f); }

// The goal of the tail-biting and face-attack states: the second
// parameter (which becomes the goal), else the goal; then the attacker.
SceneItem *CombatGoal(SceneItem *ship, uint32_t p2) {
    Sim *s = ship->sim;
    if (SceneItem *g = Obj(p2)) s->goal = g;
    return AttackerOverride(ship, s->goal);
}

// Step 1 of the combat state: the tactic's state pushed, or idle flight.
StateCommand *PushTactic(StateCommand *c, SceneItem *ship) {
    const int32_t s = dunChooseAttackTactic(ship, nullptr);
    if (s >= 1) return dunai_Push(c, uint32_t(s), 0, 0, 1, 1);
    dunai_IdleFlight(ship);
    return dunai_Yield(c, 1);
}

}  // namespace

StateCommand *dunai_GenericOffensiveState(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *,
                                          uint32_t p1, uint32_t, uint32_t) {
    if (SceneItem *o = Obj(p1); InUse(o)) ship->sim->goal = ship->sim->target = o;
    switch (step) {
    case 0:
    case 1: return dunai_Push(c, kStateOffClose, 0, 0, 0, 2);
    case 2: return dunai_Push(c, kStateOffFireAtWill, 0, 0, 0, 3);
    case 3: return dunai_Yield(c, 1);
    default: return BadStep(c);
    }
}

StateCommand *dunai_off_Close(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *L, uint32_t, uint32_t,
                              uint32_t) {
    SceneItem *t = ship->sim->target;
    if (!InUse(t)) return dunai_Finish(c, 0.0f);
    const float d = 2.0f * ship->sim->radius + 20000.0f + 7.0f * t->sim->radius;
    Vec3 u = t->sim->velocity;
    VecNormalise(u);
    const Vec3 at = dunai_FloatPoint(t->sim->position);
    const Vec3 closePoint = {at.x - d * u.x, at.y - d * u.y, at.z - d * u.z};
    switch (step) {
    case 0:
    case 1:
        if (dunLdsApproachStep(ship, t))
            return dunai_Push(c, kStateLdsFlight, dunHandleOf(t), uint32_t(int32_t(t->sim->radius * 10.0f)), 1, 1);
        L[0] = 0;
        [[fallthrough]];
    case 2: {
        L[0] += dunFrameStep;
        if (L[0] >= kCloseCycle) return dunai_Yield(c, 1);
        dunai_SteerTowards(ship, closePoint, &t->sim->velocity, nullptr, nullptr);
        const Vec3 local = dunai_ShipFramePoint(ship, Delta(ship, t->sim->position));
        Weapon *w = ChooseWeapon(ship, local);
        if (ship->avatar->standoff != 0) {
            AimMount(ship, w, local);
            ship->avatar->standoff = 0;
        }
        FireIfInArc(ship, w, local, t);
        return dunai_Yield(c, 2);
    }
    default: return BadStep(c);
    }
}

StateCommand *dunai_off_FireAtWill(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *L, uint32_t,
                                   uint32_t, uint32_t) {
    Sim *s = ship->sim;
    SceneItem *t = s->target;
    if (!InUse(t)) return dunai_Finish(c, 0.0f);
    const Vec3 v = Delta(ship, t->sim->position);
    switch (step) {
    case 0:
    case 1:
        if (VecLength(v) > 14.0f * t->sim->radius + 4.0f * s->radius + 400000.0f) return dunai_Finish(c, 0.0f);
        L[0] = 4;
        [[fallthrough]];
    case 2: s->currentWeapon = dunBestReadyWeapon(s->weapons); [[fallthrough]];
    case 3: {
        const Vec3 local = dunai_ShipFramePoint(ship, v);
        Weapon *w = s->currentWeapon;
        AimMount(ship, w, local);
        if (!w || !dunMountArcTest(ship, local.x, local.y, local.z, w->mountCode, w)) return dunai_Yield(c, 3);
        dunFireWeapon(t, ship, w);
        const int32_t before = L[0]--;
        return dunai_Yield(c, before >= 1 ? 2 : 1);
    }
    default: return BadStep(c);
    }
}

StateCommand *dunai_Gun_lead_motion(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t,
                                    uint32_t, uint32_t) {
    if (step > 1) return BadStep(c);
    SceneItem *t = ship->sim->target;
    if (!InUse(t)) return dunai_Finish(c, 0.0f);
    const Vec3 v = Delta(ship, t->sim->position);
    const Vec3 local = dunai_ShipFramePoint(ship, v);
    Weapon *w = ChooseWeapon(ship, local);
    AimMount(ship, w, local);
    ship->avatar->standoff = 0;
    FireIfInArc(ship, w, local, t);
    const float share = VecLength(v) / 100000.0f;
    ship->sim->thrust.z = TopThrust(ship) * (share < 1.0f ? share : 1.0f);
    return dunai_Yield(c, 1);
}

StateCommand *dunai_ConstantFire(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *L, uint32_t p1,
                                 uint32_t, uint32_t) {
    switch (step) {
    case 0:
    case 1:
        // The interval counts from the state's start, not from whatever a
        // state before it left in the frame.
        L[0] = 0;
        [[fallthrough]];
    case 2: {
        L[0] += dunFrameStep;
        const int32_t interval = int32_t(p1);
        if (L[0] > interval) {
            L[0] -= interval;
            SceneItem *goal = ship->sim->goal;
            for (Weapon *w = ship->sim->weapons; w; w = w->next) dunFireIgnoringRange(goal, ship, w);
        }
        return dunai_Yield(c, 2);
    }
    default: return BadStep(c);
    }
}

StateCommand *dunai_Retaliation(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t, uint32_t,
                                uint32_t) {
    switch (step) {
    case 0:
    case 1: {
        SceneItem *mother = ship->avatar->subject;
        SceneItem *attacker = InUse(mother) && mother->avatar ? mother->avatar->attacker : nullptr;
        if (!attacker) return dunai_Finish(c, 0.0f);
        ship->sim->goal = ship->sim->target = attacker;
        ship->sim->flags |= SimFlag::GoalProtected;
        [[fallthrough]];
    }
    case 2: return dunai_Push(c, kStateCombatOnce, 0, 0, 0, 3);
    case 3: return dunai_Yield(c, 1);
    default: return BadStep(c);
    }
}

StateCommand *dunai_TailBitingState(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *L, uint32_t p1,
                                    uint32_t p2, uint32_t) {
    SceneItem *g = CombatGoal(ship, p2);
    if (!InUse(g)) return dunai_Finish(c, 0.0f);
    float d = float(int32_t(p1));
    if (d == 0.0f) d = g->sim->radius + 150000.0f;
    switch (step) {
    case 0:
    case 1: L[0] = dunRand15() % kTailCheck; [[fallthrough]];
    case 2: {
        const Vec3 at = dunai_FloatPoint(g->sim->position);
        const Vec3 f = dunMatRow(g->sim->matrix, 2);
        const Vec3 behind = {at.x - f.x * d, at.y - f.y * d, at.z - f.z * d};
        const Vec3 toGoal = Delta(ship, g->sim->position);
        dunai_SteerTowards(ship, behind, nullptr, &toGoal, nullptr);
        dunAimAndFireAtPoint(ship, at.x, at.y, at.z, g);
        L[0] += dunFrameStep;
        return dunai_Yield(c, L[0] >= kTailCheck ? 3 : 2);
    }
    case 3:
        if (p2 == 0 && dunChooseAttackTactic(ship, nullptr) != kStateTailBiting) return dunai_Finish(c, 0.0f);
        L[0] = 0;
        return dunai_Yield(c, 2);
    default: return BadStep(c);
    }
}

StateCommand *dunai_FaceAttackState(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *L, uint32_t p1,
                                    uint32_t p2, uint32_t) {
    SceneItem *g = CombatGoal(ship, p2);
    if (!InUse(g)) return dunai_Finish(c, 0.0f);
    float d = float(int32_t(p1));
    if (d == 0.0f) d = 200000.0f + g->sim->radius + ship->sim->radius;
    ship->avatar->standoff = int32_t(d);
    switch (step) {
    case 0:
    case 1: L[0] = dunRand15() % kFaceCheck; [[fallthrough]];
    case 2: {
        const Vec3 v = Delta(ship, g->sim->position);
        const Vec3 at = dunai_FloatPoint(g->sim->position);
        if (VecLength(v) > d)
            dunai_SteerTowards(ship, at, nullptr, &v, dunai_HoldBandSpeedLimit);
        else
            dunai_TurnRates(ship, dunai_ShipFramePoint(ship, v), dunai_ProfileOf(ship));
        dunAimAndFireAtPoint(ship, at.x, at.y, at.z, g);
        L[0] += dunFrameStep;
        return dunai_Yield(c, L[0] >= kFaceCheck ? 3 : 2);
    }
    case 3:
        if (dunChooseAttackTactic(ship, nullptr) != kStateFaceAttack) return dunai_Finish(c, 0.0f);
        L[0] = 0;
        return dunai_Yield(c, 2);
    default: return BadStep(c);
    }
}

StateCommand *dunai_CombatAchieveRange(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *L,
                                       uint32_t p1, uint32_t, uint32_t) {
    Sim *s = ship->sim;
    SceneItem *t = s->target;
    switch (step) {
    case 0:
    case 1:
        // L1, the re-check clock, runs on across these returns to step 1;
        // it starts at 0 with the frame (the stack clears a frame's locals).
        L[0] = 0;
        if (ship == dunControlledObject && !(s->flags & SimFlag::Lds)) return dunai_Yield(c, 2);
        if (InUse(t) && (t->sim->flags & SimFlag::Lds) && !(t->sim->flags & SimFlag::LdsBlocked) && t->sim->timer == 0)
            dunFireLDSI(ship, t);
        if (InUse(t) && dunLdsApproachStep(ship, t)) return dunai_Push(c, kStateLdsFlight, 0, p1, 1, 2);
        [[fallthrough]];
    case 2: {
        const int32_t count = L[0]++;
        if (count >= 11) return dunai_Yield(c, 1);
        if (!InUse(t)) return dunai_Finish(c, 0.0f);
        const int32_t saved = ship->avatar->standoff;
        ship->avatar->standoff = 200000;
        dunai_SteerTowards(ship, dunai_FloatPoint(t->avatar->position), &t->sim->velocity, nullptr,
                           dunai_HoldBandSpeedLimit);
        ship->avatar->standoff = saved;
        L[1] += dunFrameStep;
        return dunai_Yield(c, L[1] >= kRangeCheck ? 3 : 2);
    }
    case 3:
        if (dunChooseAttackTactic(ship, nullptr) != kStateCombatAchieveRange) return dunai_Finish(c, 0.0f);
        L[1] = 0;
        return dunai_Yield(c, 2);
    default: return BadStep(c);
    }
}

StateCommand *dunai_CombatState(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t p1,
                                uint32_t, uint32_t) {
    Sim *s = ship->sim;
    if (SceneItem *o = Obj(p1)) s->goal = s->target = o;
    switch (step) {
    case 0:
    case 1:
        if (!(s->flags & kStance)) s->flags |= kCautious;
        if (s->flags & SimFlag::Lds) return dunai_Yield(c, 2);
        return PushTactic(c, ship);
    case 2:
        if (!s->goal) return dunai_Yield(c, 1);
        return dunai_Push(c, kStateLdsFlight, dunHandleOf(s->goal), 1000000, 0, 3);
    case 3: return dunai_Yield(c, 1);
    default: return BadStep(c);
    }
}

StateCommand *dunai_SelfPreservationState(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t,
                                          uint32_t, uint32_t) {
    Sim *s = ship->sim;
    const Avatar *a = ship->avatar;
    if (!s->goal || !s->goal->sim || !(s->goal->sim->flags & SimFlag::InUse))
        s->goal = nullptr;
    else if (a->attacker && a->attackCount >= 1)
        s->goal = a->attacker;
    if (!s->goal) dunai_PickBestTarget(ship);
    if (step > 1) return BadStep(c);
    return PushTactic(c, ship);
}

StateCommand *dunai_WeaponsPassState(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t p1,
                                     uint32_t p2, uint32_t p3) {
    Sim *s = ship->sim;
    if (SceneItem *o = Obj(p1); InUse(o)) s->goal = s->target = o;
    SceneItem *g = AttackerOverride(ship, s->goal);
    if (!g || !g->avatar || !g->sim) return dunai_Finish(c, 0.0f);
    const Vec3 p = dunai_FloatPoint(g->avatar->position);
    const Vec3 own = dunFloatPosition(s);
    Vec3 aim = {p.x - own.x, p.y - own.y, p.z - own.z};
    const bool close = VecLengthApprox(aim) < float(int32_t(p2));
    if (!close) {
        const Vec3 x = dunMatRow(s->matrix, 0);
        const float beside = g->sim->radius * 2.0f;
        aim = {aim.x + x.x * beside, aim.y + x.y * beside, aim.z + x.z * beside};
    }
    const Vec3 local = dunai_ShipFramePoint(ship, aim);
    s->thrust = {0.0f, 0.0f, 0.0f};
    s->bodyVelocity = dunai_ShipFramePoint(ship, s->velocity);
    switch (step) {
    case 0:
    case 1: {
        if (!InUse(g)) return dunai_Finish(c, 0.0f);
        const float r = dunai_TurnRates(ship, local, dunai_ProfileOf(ship));
        if (r <= 0.9f || float(int32_t(p3)) <= s->bodyVelocity.z)
            dunai_BrakeToRest(ship);
        else
            s->thrust.z = TopThrust(ship) / 2.0f;
        return dunai_Yield(c, close ? 2 : 1);
    }
    case 2: {
        if (!InUse(g)) return dunai_Finish(c, 0.0f);
        s->currentWeapon = dunBestReadyWeapon(s->weapons);
        AimMount(ship, s->currentWeapon, local);
        FireIfInArc(ship, s->currentWeapon, local, g);
        return dunai_Yield(c, close ? 2 : 3);
    }
    case 3:
        dunai_BrakeToRest(ship);
        return dunai_Yield(c, VecLengthApprox(s->velocity) < 2500.0f ? 1 : 3);
    default: return BadStep(c);
    }
}

namespace {

StateCommand *CombatOnce(StateCommand *c, SceneItem *ship, int16_t step, uint32_t p1, bool wingman) {
    Sim *s = ship->sim;
    if (SceneItem *o = Obj(p1)) s->goal = o;
    switch (step) {
    case 0:
    case 1:
        s->flags = (s->flags & ~kStance) | kCautious | kFlee | SimFlag::NoOwnChoice;
        return dunai_Push(c, kStateCombat, 0, 0, 0, 2);
    case 2:
        s->flags &= ~SimFlag::NoOwnChoice;
        if (!wingman) return dunai_Finish(c, 1.0f);
        return dunai_Push(c, kStatePlayerFollower, 0, 0, 0, 2);
    default: return BadStep(c);
    }
}

}  // namespace

StateCommand *dunai_CombatOnce(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t p1,
                               uint32_t, uint32_t) {
    return CombatOnce(c, ship, step, p1, false);
}

StateCommand *dunai_WingmanCombatOnce(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t p1,
                                      uint32_t, uint32_t) {
    return CombatOnce(c, ship, step, p1, true);
}

StateCommand *dunai_AcquireTarget(StateCommand *c, SceneItem *ship, int16_t, float, int32_t *, uint32_t p1,
                                  uint32_t p2, uint32_t p3) {
    SceneItem *found = dunNearestShipByFlags(nullptr, p1, p2, ship, float(int32_t(p3)));
    ship->sim->goal = ship->sim->target = found;
    return dunai_Yield(c, 1);
}

StateCommand *dunai_HarpoonTargetedState(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *,
                                         uint32_t p1, uint32_t, uint32_t) {
    if (step >= 2) return dunai_Yield(c, 2);
    SceneItem *o = p1 ? Obj(p1) : ship->sim->goal;
    if (ship->simulator != dunUpdateDocking && InUse(o) && ObjectDistance(ship, o, nullptr) < 200000.0) {
        dunLinkPartnerObject(o, ship);
        return dunai_Yield(c, 2);
    }
    return dunai_Yield(c, 1);
}
