// The AI states that hold a position: the unmoving gun platform and the
// defence network's guard, which fire every weapon at a target of its own;
// the mothership's defender; and the turret ships, which turn so that their
// upper and lower turrets see one or two targets.
#include <cmath>

#include "RES/util.h"
#include "RES/vecmath.h"
#include "ai/brain.h"
#include "ai/combat.h"
#include "ai/states.h"
#include "ai/steering.h"
#include "ai/weapons.h"
#include "core/frame.h"
#include "world/handle.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/services.h"

namespace {

constexpr uint32_t kStateRotationalDeff = 30, kStateRetaliation = 27, kStateAchieveRange = 49;
// Weapon targets are chosen again after this many centiseconds, the
// step-2 check runs after this many.
constexpr int32_t kRetarget = 101, kRecheck = 201;
constexpr float kSearchRange = 1e8f;
constexpr uint16_t kNetworkNode = 16;
constexpr int kNetworkQuorum = 4;
constexpr double kNodeReach = 100000.0;
constexpr int32_t kTurretCycle = 699;
constexpr int kDefenceSlots = 4;

bool InUse(const SceneItem *o) { return o && (o->flags & SceneFlag::InUse) && o->sim; }

ShipInfo *InfoOf(const SceneItem *o) { return o && o->sim ? o->sim->shipInfo : nullptr; }

Vec3 Between(const Vec3d &from, const Vec3d &to) {
    return {float(to.x - from.x), float(to.y - from.y), float(to.z - from.z)};
}

// The exclude mask of a side's guns when the state is given none.
uint32_t GuardExclude(int side, bool network, uint32_t kept) {
    switch (side) {
    case 0: return 0x40;
    case 1: return 0xC0;
    case 2: return network ? 0x340 : 0x140;
    case 3: return 0x340;
    default: return network ? kept : 0;
    }
}

// The defence slots the record really has.
int SlotCount(const ShipInfo *info) {
    const int n = info ? info->defenceCount : 0;
    return n < 0 ? 0 : n > kDefenceSlots ? kDefenceSlots : n;
}

// The turrets' common ending: the ship holds still (turned), and every
// seven seconds takes its targets again.
StateCommand *HoldTurret(StateCommand *c, SceneItem *ship, int32_t *L) {
    ship->sim->flags |= SimFlag::TurnedThisFrame;
    dunai_MatchVelocity(ship, {0, 0, 0}, dunai_ProfileOf(ship));
    L[0] += dunFrameStep;
    return dunai_Yield(c, L[0] > kTurretCycle ? 1 : 2);
}

// Step 4 of the guards: the counters decide between firing on, choosing
// targets again and the step-2 check.
StateCommand *GuardCounters(StateCommand *c, int32_t *L) {
    L[0] += dunFrameStep;
    L[1] += dunFrameStep;
    if (L[0] >= kRetarget) return dunai_Yield(c, 3);
    return dunai_Yield(c, L[1] < kRecheck ? 4 : 2);
}

// Whether the ship's side keeps enough network nodes together: the type-16
// ships of its side, itself not counted, that have no target or stay close
// to it.
bool NetworkUp(SceneItem *ship) {
    const ShipInfo *own = InfoOf(ship);
    SceneItem *head = dunSceneListHead();
    int nodes = 0;
    for (SceneItem *o = ship->next; o && o != ship; o = o->next) {
        if (o == head) continue;
        const ShipInfo *info = InfoOf(o);
        if (!info || info->typeCode != kNetworkNode || info->side != own->side) continue;
        const SceneItem *t = o->sim->target;
        if (!InUse(t) || ObjectDistance(o, t, nullptr) < kNodeReach) ++nodes;
    }
    return nodes >= kNetworkQuorum;
}

// The network's look: the node's own effect and the base's perimeter box are
// hidden while it is down. A ship without an effect, or a cockpit without
// the box, simply has nothing to show.
void ShowNetwork(SceneItem *ship, bool up) {
    const TDP *root = ship->avatar ? ship->avatar->root : nullptr;
    const TDP *child = root ? root->child : nullptr;
    auto *effect = child && (child->flags & 0x8) ? static_cast<ParticleSystem *>(child->particleOrMaterial) : nullptr;
    if (effect) {
        if (up) effect->flags &= ~ParticleFlag::Hidden;
        else effect->flags |= ParticleFlag::Hidden;
    }
    HUD *box = dunPerimeterBox;
    if (!box) return;
    if (!up) {
        box->flags |= HudFlag::Hidden;
        return;
    }
    box->flags &= ~HudFlag::Hidden;
    if (!box->target) {
        auto *base = static_cast<SceneItem *>(dunCall(dunScript().symbolValue, "INDIEBase"));
        if (InUse(base)) dunCall(dunHud().initPerimeterBox, box, base, 0u);
    }
}

}  // namespace

StateCommand *dunai_UmovingGuardState(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *L, uint32_t w1,
                                      uint32_t w2, uint32_t w3) {
    dunai_IdleFlight(ship);
    const Avatar *a = ship->avatar;
    SceneItem *forced = a && a->attackCount >= 1 && InUse(a->attacker) ? a->attacker : nullptr;
    if (w1 == 0 && w2 == 0) {
        w1 = 0x40000004;
        const ShipInfo *info = InfoOf(ship);
        w2 = GuardExclude(info ? info->side : -1, false, 0);
    }
    switch (step) {
    case 0:
    case 1:
        L[1] = dunRand15() % 200;
        L[0] = dunRand15() % 200;
        return dunai_Yield(c, 4);
    case 2: {
        L[1] = 0;
        const int32_t s = dunChooseAttackTactic(ship, nullptr);
        if (s == int32_t(kStateUnmovingGuard) || s == -1) return dunai_Yield(c, 4);
        return dunai_Finish(c, 0.0f);
    }
    case 3:
        for (Weapon *w = ship->sim->weapons; w; w = w->next)
            w->target = forced ? forced : dunNearestTargetInArc(nullptr, w1, w2, ship, kSearchRange, w->mountCode);
        L[0] = 0;
        return dunai_Yield(c, 4);
    case 4:
        for (Weapon *w = ship->sim->weapons; w; w = w->next) {
            SceneItem *t = w->target;
            if (!InUse(t)) continue;
            const Vec3 v = Between(ship->sim->position, t->sim->position);
            // The platform lets one chance in five go by, and keeps to its
            // firing range when it has one worth the name.
            if (dunRand15() % 5 == 1) continue;
            if (int32_t(w3) > 10000 && VecLengthApprox(v) > float(w3)) continue;
            const Vec3 local = dunai_ShipFramePoint(ship, v);
            if (dunMountArcTest(ship, local.x, local.y, local.z, w->mountCode, w)) dunFireWeapon(t, ship, w);
        }
        return GuardCounters(c, L);
    default: return dunai_Yield(c, 1, 0.0f);
    }
}

StateCommand *dunai_DefNetGuardState(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *L, uint32_t w1,
                                     uint32_t w2, uint32_t w3) {
    dunai_IdleFlight(ship);
    if (w1 == 0) {
        w1 = 4;
        const ShipInfo *info = InfoOf(ship);
        w2 = GuardExclude(info ? info->side : -1, true, w2);
    }
    switch (step) {
    case 0:
    case 1:
        L[1] = dunRand15() % 200;
        L[0] = dunRand15() % 200;
        L[2] = 0;
        return dunai_Yield(c, 4);
    case 2: {
        // The check comes round every two seconds, as the platform's does,
        // not every frame once the first two seconds are past.
        L[1] = 0;
        const bool up = NetworkUp(ship);
        L[2] = up ? 0 : -1;
        ShowNetwork(ship, up);
        return dunai_Yield(c, 4);
    }
    case 3:
        for (Weapon *w = ship->sim->weapons; w; w = w->next)
            w->target = dunNearestShipByFlags(nullptr, w1, w2, ship, kSearchRange);
        L[0] = 0;
        return dunai_Yield(c, 4);
    case 4:
        if (L[2] != 0) {
            dunai_ClearTurnDemands(ship);
        } else {
            for (Weapon *w = ship->sim->weapons; w; w = w->next) {
                SceneItem *t = w->target;
                if (!InUse(t)) continue;
                const Vec3 v = Between(ship->sim->position, t->sim->position);
                const Vec3 local = dunai_ShipFramePoint(ship, v);
                dunai_TurnRates(ship, local, dunai_ProfileOf(ship));
                if (int32_t(w3) >= 1 && VecLengthApprox(v) > float(w3)) continue;
                if (dunMountArcTest(ship, local.x, local.y, local.z, w->mountCode, w)) dunFireWeapon(t, ship, w);
            }
        }
        return GuardCounters(c, L);
    default: return dunai_Yield(c, 1, 0.0f);
    }
}

StateCommand *dunai_DefendMothership(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t w1,
                                     uint32_t, uint32_t) {
    if (SceneItem *m = dunItemFromHandle(w1); m && ship->avatar) ship->avatar->subject = m;
    switch (step) {
    case 0:
    case 1: return dunai_Push(c, kStateRetaliation, 0, 0, 0, 2);
    case 2: {
        SceneItem *mother = ship->avatar ? ship->avatar->subject : nullptr;
        return dunai_Push(c, kStateAchieveRange, 0, InUse(mother) ? dunHandleOf(mother) : 0, 0, 3);
    }
    case 3: return dunai_Yield(c, 1);
    default: return dunai_Yield(c, 1, 0.0f);
    }
}

StateCommand *dunai_LDADeffTwo(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *L, uint32_t w1,
                               uint32_t w2, uint32_t) {
    ShipInfo *info = InfoOf(ship);
    if (!info || info->defenceCount < 2) return dunai_Finish(c, 0.0f);
    SceneItem *a = info->defenceTarget[0], *b = info->defenceTarget[1];
    if (!InUse(b)) b = a;
    // As the turret is specified it waits for slot 0's target before the
    // step that assigns the slots: a turret nobody has shot at yet waits.
    if (!InUse(a)) return dunai_Yield(c, 1);
    const Vec3d &at = ship->avatar ? ship->avatar->position : ship->sim->position;
    const auto posOf = [](const SceneItem *o) -> const Vec3d & {
        return o->avatar ? o->avatar->position : o->sim->position;
    };
    Vec3 va = dunai_ShipFramePoint(ship, Between(at, posOf(a))), vb = dunai_ShipFramePoint(ship, Between(at, posOf(b)));
    if (dunRand15() & 1) dunAimAndFireLocal(ship, va.x, va.y, va.z, a);
    else dunAimAndFireLocal(ship, vb.x, vb.y, vb.z, b);
    VecNormalise(va);
    VecNormalise(vb);
    const FlightParams *profile = dunai_ProfileOf(ship);
    switch (step) {
    case 0:
    case 1: {
        L[0] = dunRand15() % 100;
        const uint32_t mask = w1 ? w1 : dunai_SideTargetMask(ship);
        for (int i = 0; i < SlotCount(info); ++i) dunAssignDefenceTargets(ship, i, mask, w2);
        if (dunChooseAttackTactic(ship, nullptr) == int32_t(kStateLDADeffTwo)) return dunai_Yield(c, 2);
        return dunai_Finish(c, 0.0f);
    }
    case 2:
    step2:
        if ((va.y > 0 && vb.y > 0) || (va.y < 0 && vb.y < 0)) goto step3;
        if (va.z >= 0 || vb.z >= 0) {
            Vec3 t = std::fabs(vb.y) <= std::fabs(va.y) ? vb : va;
            VecRotateXNegated(t, t.y >= 0 ? 30.0f : -30.0f, t);
            dunai_PitchControl(ship, dunai_AxisAngle(t.y, t.z), profile, 1.0f);
        } else {
            dunai_YawControl(ship, -dunai_AxisAngle(va.x, va.z), profile, 1.0f);
        }
        return HoldTurret(c, ship, L);
    case 3:
    step3 : {
        if (va.y * vb.y < -0.2f) goto step2;
        Vec3 m = {(va.x + vb.x) / 2, (va.y + vb.y) / 2, (va.z + vb.z) / 2};
        VecNormalise(m);
        dunai_RollControl(ship, dunai_RollAngle(m.y, m.x), profile);
        return HoldTurret(c, ship, L);
    }
    default: return dunai_Yield(c, 1, 0.0f);
    }
}

StateCommand *dunai_RotationalDeff(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *L, uint32_t w1,
                                   uint32_t w2, uint32_t) {
    ShipInfo *info = InfoOf(ship);
    const bool slots = SlotCount(info) > 0;
    SceneItem *t = slots ? info->defenceTarget[0] : ship->avatar ? ship->avatar->attacker : nullptr;
    if (!InUse(t)) t = ship->sim->goal;
    // As specified, like the two-target turret: no target, no slot assignment.
    if (!InUse(t)) return dunai_Yield(c, 1);
    Vec3 v = dunai_ShipFramePoint(ship, Between(ship->sim->position, t->sim->position));
    dunAimAndFireLocal(ship, v.x, v.y, v.z, t);
    VecNormalise(v);
    const FlightParams *profile = dunai_ProfileOf(ship);
    switch (step) {
    case 0:
    case 1:
        if (slots) {
            const uint32_t mask = w1 ? w1 : dunai_SideTargetMask(ship);
            L[0] = dunRand15() % 100;
            dunAssignDefenceTargets(ship, 0, mask, w2);
            if (dunChooseAttackTactic(ship, nullptr) == int32_t(kStateRotationalDeff)) return dunai_Yield(c, 2);
            return dunai_Finish(c, 0.0f);
        }
        [[fallthrough]];
    case 2:
        if (v.y <= 0) {
            if (v.z >= 0) {
                VecRotateXNegated(v, 30.0f, v);
                dunai_PitchControl(ship, dunai_AxisAngle(v.y, v.z), profile, 1.0f);
            } else {
                dunai_YawControl(ship, -dunai_AxisAngle(v.x, v.z), profile, 1.0f);
            }
            return HoldTurret(c, ship, L);
        }
        [[fallthrough]];
    case 3: dunai_RollControl(ship, dunai_RollAngle(v.y, v.x), profile); return HoldTurret(c, ship, L);
    default: return dunai_Yield(c, 1, 0.0f);
    }
}

StateCommand *dunai_DeflectorState(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t w1,
                                   uint32_t w2, uint32_t) {
    if (step > 1) return dunai_Yield(c, 1, 0.0f);
    if (const ShipInfo *info = InfoOf(ship))
        for (int i = 0; i < SlotCount(info); ++i)
            if (info->defenceChance[i]) dunAssignDefenceTargets(ship, i, w1, w2);
    return dunai_Finish(c, 1.0f);
}
