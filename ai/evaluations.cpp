// The evaluation routines of order slots: each turns a ship's situation into
// a priority of 0..100 (the brain multiplies it by the slot's weight). An
// object in a parameter is a handle; 0 is none, and a handle whose object
// has gone reads as an object no longer in use.
#include <cmath>
#include <cstdint>

#include "RES/vecmath.h"
#include "ai/brain.h"
#include "world/handle.h"
#include "world/objlist.h"
#include "world/simplace.h"

namespace {

bool InUse(const SceneItem *o) { return o && (o->flags & SceneFlag::InUse); }

// The object a parameter names, or the ship itself for 0.
SceneItem *WatchedOr(SceneItem *ship, uint32_t handle) { return handle ? dunItemFromHandle(handle) : ship; }

// Hull percentage of an object; one without a Sim has none left.
int32_t Hull(const SceneItem *o) { return o->sim ? o->sim->hull : 0; }

// q = |distance x 100 / range|, at most 100 (a range of 0 puts everything
// out of range).
double RangeShare(double distance, uint32_t range) {
    const double q = std::fabs(distance * 100.0 / double(int32_t(range)));
    return q <= 100.0 ? q : 100.0;
}

double FloatDistance(const SceneItem *a, const SceneItem *b) {
    const Vec3 p = dunFloatPosition(a->sim), q = dunFloatPosition(b->sim);
    return VecLength(Vec3{q.x - p.x, q.y - p.y, q.z - p.z});
}

double DoubleDistance(const SceneItem *a, const SceneItem *b) {
    const Vec3d &p = a->sim->position, &q = b->sim->position;
    return VecLengthDouble(Vec3d{q.x - p.x, q.y - p.y, q.z - p.z});
}

// The scene's objects, head to head.
template <class F>
void EachObject(F &&visit) {
    SceneItem *head = dunSceneListHead();
    for (SceneItem *o = head->next; o && o != head; o = o->next)
        if (InUse(o) && o->avatar) visit(o);
}

int32_t Clamp100(int64_t v) { return v < 0 ? 0 : v > 100 ? 100 : int32_t(v); }

}  // namespace

int32_t dunai_EvalDefault(SceneItem *, uint32_t p1, uint32_t, OrderSlot *) {
    const int32_t v = int32_t(p1);
    return v < 40 ? 40 : v;
}

int32_t dunai_EvalSelfPreservation(SceneItem *ship, uint32_t p1, uint32_t p2, OrderSlot *) {
    int32_t threshold = int32_t(p1);
    // A ship in a combat stance (either of two of its bits) holds on longer.
    if (ship->sim && (ship->sim->flags & 0x1400u)) threshold = int32_t(int64_t(threshold) * 8 / 10);
    SceneItem *watched = WatchedOr(ship, p2);
    if (!InUse(watched) || !watched->sim) return 100;
    if (watched->sim->flags & SimFlag::Protected) return 0;
    if (Hull(watched) < threshold) return 100;
    const Avatar *a = watched->avatar;
    return a && a->attacker && a->attackCount >= 11 ? 100 : 0;
}

int32_t dunai_EvalProvokedAttack(SceneItem *ship, uint32_t p1, uint32_t p2, OrderSlot *) {
    const int64_t p = int32_t(p1);
    SceneItem *watched = WatchedOr(ship, p2);
    if (!InUse(watched) || !watched->sim) return 100;
    const int64_t v = (int64_t(Hull(watched)) - p) * 100;
    if (v < 0) return 0;
    // A percentage of 100 or more leaves no hull to be provoked over: the
    // ship is at its threshold.
    if (p >= 100) return 100;
    return Clamp100(100 - v / (100 - p));
}

int32_t dunai_EvalAcquire(SceneItem *ship, uint32_t, uint32_t, OrderSlot *) {
    return ship->sim && InUse(ship->sim->goal) ? 0 : 100;
}

int32_t dunai_EvalDefendObject(SceneItem *ship, uint32_t p1, uint32_t p2, OrderSlot *slot) {
    SceneItem *object = dunItemFromHandle(p1);
    if (ship->avatar) ship->avatar->subject = object;
    if (!p1) return 0;
    if (!InUse(object) || !object->sim) {
        slot->weight = 0;
        return 0;
    }
    const int32_t hull = Hull(object);
    if (hull >= int32_t(p2) || hull < 1) return 0;
    const SceneItem *attacker = object->avatar ? object->avatar->attacker : nullptr;
    return InUse(attacker) ? 100 : 0;
}

int32_t dunai_EvalSentryDuty(SceneItem *ship, uint32_t p1, uint32_t, OrderSlot *) {
    if (!ship->sim) return 100;
    const uint32_t mask = dunai_SideTargetMask(ship) & ~AvatarFlag::Ship;
    const double range = double(p1) * 100.0;
    const Vec3d &at = ship->sim->position;
    SceneItem *found = nullptr;
    int count = 0;
    EachObject([&](SceneItem *o) {
        const uint32_t f = o->avatar->flags;
        if (o == ship || !o->sim || !(f & mask) || (f & (AvatarFlag::BeamRound | AvatarFlag::Mine))) return;
        const Vec3d &p = o->sim->position;
        if (VecLengthApproxDouble(Vec3d{p.x - at.x, p.y - at.y, p.z - at.z}) >= range) return;
        found = o;
        ++count;
    });
    if (count == 1) ship->sim->goal = found;
    return count ? 0 : 100;
}

int32_t dunai_EvalDestroyIfTarget(SceneItem *ship, uint32_t p1, uint32_t, OrderSlot *) {
    SceneItem *object = dunItemFromHandle(p1);
    return object && ship->sim && ship->sim->goal == object ? 100 : 0;
}

int32_t dunai_EvalWaitForTrouble(SceneItem *ship, uint32_t p1, uint32_t p2, OrderSlot *) {
    // A count below 1 would divide by zero: one object is trouble enough.
    const int64_t c = int32_t(p2) < 1 ? 1 : int32_t(p2);
    int64_t n = 0;
    EachObject([&](SceneItem *o) {
        const uint32_t f = o->avatar->flags;
        if ((f & p1) && (f & AvatarFlag::Ship) && !(f & AvatarFlag::BeamRound)) ++n;
    });
    const int64_t hull = Hull(ship);
    const int64_t d = hull == 0 ? 0 : (100 - hull) * 3;
    if (n < c) return d > 100 ? 0 : Clamp100(100 - d);
    const int64_t v = d + (n + 1 - c) * 100 / c;
    return v > 100 ? 0 : Clamp100(100 - v);
}

int32_t dunai_EvalCheckLDA(SceneItem *ship, uint32_t, uint32_t, OrderSlot *) {
    const ShipInfo *info = ship->sim ? ship->sim->shipInfo : nullptr;
    if (!info) return 0;
    const int slots = info->defenceCount < 0 ? 0 : info->defenceCount > 4 ? 4 : info->defenceCount;
    int32_t v = 0;
    for (int i = 0; i < slots; ++i)
        if (!InUse(info->defenceTarget[i])) v += 35;
    return v > 100 ? 100 : v;
}

int32_t dunai_EvalDefendMothership(SceneItem *, uint32_t p1, uint32_t, OrderSlot *slot) {
    if (!p1) {
        slot->weight = 0;
        return 0;
    }
    const SceneItem *mother = dunItemFromHandle(p1);
    return InUse(mother) && mother->avatar && !(mother->avatar->flags & AvatarFlag::Damaged) ? 100 : 0;
}

int32_t dunai_EvalDockWhenClose(SceneItem *ship, uint32_t p1, uint32_t p2, OrderSlot *slot) {
    SceneItem *object = dunItemFromHandle(p1);
    if (!object || !object->sim || !ship->sim) {
        slot->weight = 0;
        return 0;
    }
    return int32_t(100.0 - RangeShare(FloatDistance(ship, object), p2));
}

int32_t dunai_EvalPullOut(SceneItem *ship, uint32_t, uint32_t p2, OrderSlot *) {
    SceneItem *goal = ship->sim ? ship->sim->goal : nullptr;
    if (!goal || !goal->sim) return 0;
    return int32_t(100.0 - RangeShare(FloatDistance(ship, goal), p2));
}

int32_t dunai_EvalSeekAndDestroy(SceneItem *ship, uint32_t, uint32_t p2, OrderSlot *) {
    SceneItem *goal = ship->sim ? ship->sim->goal : nullptr;
    if (!goal || !goal->sim) return 0;
    return int32_t(RangeShare(FloatDistance(ship, goal), p2));
}

int32_t dunai_EvalStayNear(SceneItem *ship, uint32_t p1, uint32_t p2, OrderSlot *slot) {
    SceneItem *object = dunItemFromHandle(p1);
    if (!object || !object->sim || !ship->sim) {
        slot->weight = 0;
        return 0;
    }
    return int32_t(RangeShare(DoubleDistance(ship, object), p2));
}
