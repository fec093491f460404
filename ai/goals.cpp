// Friend and foe: the sides a ship may target, and the choice of a new
// hostile goal, the best-scoring or the nearest.
#include "ai/brain.h"
#include "ai/combat.h"
#include "world/msghandler.h"
#include "world/objlist.h"

namespace {

// Above this anger a ship's last attacker is fair game whatever its side.
constexpr int32_t kAngerToRetaliate = 51;
constexpr double kFarAway = 1e27;

const ShipInfo *ShipOf(const SceneItem *o) { return o && o->sim ? o->sim->shipInfo : nullptr; }

bool IsCandidate(const SceneItem *ship, const SceneItem *o, uint32_t include, uint32_t exclude) {
    if (o == ship || !(o->flags & SceneFlag::InUse) || !ShipOf(o) || !o->avatar) return false;
    // The object a mission has made untargetable is never chosen.
    if (o == dunProtectedObject) return false;
    const uint32_t f = o->avatar->flags;
    if ((f & AvatarFlag::Ship) && (f & include) && !(f & exclude)) return true;
    const Avatar *a = ship->avatar;
    return a && o == a->attacker && a->attackCount >= kAngerToRetaliate;
}

// Calls visit with each candidate goal of the ship.
template <class F>
void EachCandidate(SceneItem *ship, F &&visit) {
    const ShipInfo *info = ShipOf(ship);
    uint32_t include = 0, exclude = 0;
    dunai_GoalMasks(info ? info->side : 0, ship->avatar ? ship->avatar->flags : 0, &include, &exclude);
    SceneItem *head = dunSceneListHead();
    for (SceneItem *o = head->next; o && o != head; o = o->next)
        if (IsCandidate(ship, o, include, exclude)) visit(o);
}

}  // namespace

uint32_t dunai_SideTargetMask(SceneItem *item) {
    const ShipInfo *info = ShipOf(item);
    switch (info ? info->side : -1) {
    case 1: return 0x40001B04;
    case 2: return 0x40000284;
    case 3:
    case 5:
    case 6: return 0x40000084;
    default: return 0x40000044;
    }
}

void dunai_GoalMasks(int side, uint32_t avatarFlags, uint32_t *include, uint32_t *exclude) {
    switch (side) {
    case 1: *include = 0x1B00, *exclude = 0; break;
    case 2: *include = 0x280, *exclude = 0; break;
    case 3:
    case 5: *include = 0x80, *exclude = 0; break;
    case 6: *include = 0x80, *exclude = 0x1040; break;
    default: *include = 0, *exclude = 0x40; break;
    }
    // A faction fights the other faction and spares its own; the second
    // test wins for a ship that carries both bits.
    if (avatarFlags & 0x10000000u) {
        *include |= 0x20000000u;
        *exclude = 0x10000000u;
    }
    if (avatarFlags & 0x20000000u) {
        *include |= 0x10000000u;
        *exclude = 0x20000000u;
    }
}

void dunai_PickBestTarget(SceneItem *ship) {
    if (!ship || !ship->sim) return;
    SceneItem *best = nullptr;
    double bestScore = 0.0;
    EachCandidate(ship, [&](SceneItem *o) {
        const double score = dunScoreTarget(ship, o, 0);
        if (score > bestScore) {
            bestScore = score;
            best = o;
        }
    });
    ship->sim->goal = best;
}

void dunai_PickNearestTarget(SceneItem *ship) {
    if (!ship || !ship->sim) return;
    SceneItem *nearest = nullptr;
    double nearestDistance = kFarAway;
    EachCandidate(ship, [&](SceneItem *o) {
        const double d = ObjectDistance(ship, o, nullptr);
        if (d < nearestDistance) {
            nearestDistance = d;
            nearest = o;
        }
    });
    ship->sim->goal = nearest;
}
