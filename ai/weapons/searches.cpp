// Target searches of the fire control and the states, what a sensor makes
// of an object's flags, forgetting an object everywhere, and the step's
// bookkeeping (ships per side, the head-on values).
#include <cmath>

#include "RES/util.h"
#include "ai/contacts.h"
#include "ai/weapons.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/simplace.h"

uint16_t dunShipsPerSide[7];

namespace {

// Past this many chances to flip a bit the sensed flags are as good as
// random: a tiny clear range far away must not cost the frame.
constexpr int kMaxSensorFlips = 32;

template <class F>
void EachObject(F &&visit) {
    SceneItem *head = dunSceneListHead();
    for (SceneItem *o = head->next; o && o != head; o = o->next) visit(o);
}

float FloatDistance(const SceneItem *a, const SceneItem *b) {
    const Vec3 p = dunFloatPosition(a->sim), q = dunFloatPosition(b->sim);
    return VecLength({q.x - p.x, q.y - p.y, q.z - p.z});
}

uint32_t FlagsSeen(const SensorRange *range, const SceneItem *o, float d) {
    return range ? dunSensedFlags(range, o, d) : o->avatar->flags;
}

}  // namespace

uint32_t dunSensedFlags(const SensorRange *range, const SceneItem *object, float distance) {
    if (!object || !object->avatar) return 0;
    if (!range || distance > range->maximum) return 0;
    uint32_t flags = object->avatar->flags;
    if (distance <= range->clear) return flags;
    const float chances = range->clear > 0.0f ? distance / range->clear : float(kMaxSensorFlips);
    for (int k = 0; k < kMaxSensorFlips && float(k) < chances; ++k)
        if (dunRand15() & 1) flags ^= 1u << (dunRand15() & 31);
    return flags;
}

SceneItem *dunNearestShipByFlags(const SensorRange *range, uint32_t include, uint32_t exclude, SceneItem *ship,
                                 float maxDistance) {
    float best = maxDistance == 0.0f ? 1e30f : maxDistance;
    SceneItem *found = nullptr;
    if (!ship || !ship->sim) return nullptr;
    EachObject([&](SceneItem *o) {
        if (o == ship || o == dunProtectedObject || !o->avatar || !o->sim) return;
        const float d = FloatDistance(ship, o);
        if (!(d < best)) return;
        const uint32_t f = FlagsSeen(range, o, d);
        if ((f & include) != include || (f & exclude)) return;
        best = d;
        found = o;
    });
    return found;
}

SceneItem *dunNearestTargetInArc(const SensorRange *range, uint32_t include, uint32_t exclude, SceneItem *ship,
                                 float maxDistance, uint16_t mountCode) {
    float best = maxDistance;
    SceneItem *found = nullptr;
    if (!ship || !ship->sim) return nullptr;
    const Avatar *own = ship->avatar;
    EachObject([&](SceneItem *o) {
        if (o == ship || o == dunProtectedObject || !o->avatar || !o->sim || !(o->flags & SceneFlag::RecordsNearest))
            return;
        const float d = FloatDistance(ship, o);
        if (!(d < best)) return;
        const uint32_t f = FlagsSeen(range, o, d);
        const bool hunting = own && own->attacker == o && o->sim->goal == ship;
        if (!hunting && (!(f & include) || (f & exclude))) return;
        const Vec3 p = dunFloatPosition(ship->sim), q = dunFloatPosition(o->sim);
        Vec3 local;
        MatTransformPoint(local, {q.x - p.x, q.y - p.y, q.z - p.z}, ship->sim->matrix);
        if (!dunMountArcTest(ship, local.x, local.y, local.z, mountCode, nullptr)) return;
        best = d;
        found = o;
    });
    return found;
}

void dunForgetGoalEverywhere(SceneItem *object) {
    if (!object) return;
    EachObject([&](SceneItem *o) {
        if (!o->sim) return;
        if (o->sim->goal == object) o->sim->goal = nullptr;
        for (Weapon *w = o->sim->weapons; w; w = w->next)
            if (w->target == object) w->target = nullptr;
    });
}

void dunForgetTargetEverywhere(SceneItem *object) {
    if (!object) return;
    EachObject([&](SceneItem *o) {
        if (o->sim && o->sim->target == object) o->sim->target = nullptr;
    });
}

void dunCountShipsPerSide() {
    for (uint16_t &n : dunShipsPerSide) n = 0;
    EachObject([](SceneItem *o) {
        const ShipInfo *info = o->sim ? o->sim->shipInfo : nullptr;
        // Sides come from scripts: one outside 0..6 counts nowhere.
        if (info && info->side >= 0 && info->side < 7) ++dunShipsPerSide[info->side];
    });
}

// The two words the step clears before anything fires are the head-on
// values of the last bolt: a step without bolts must not inherit them.
void dunClearHeadOnValues() { dunHeadOn[0] = dunHeadOn[1] = 0.0f; }
