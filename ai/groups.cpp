// Group routines: the leader of a group that takes up an attack, handing
// the leader's flag on, the flare's decoy, counting a side's ships,
// formation places behind a leader, and clear spots near the navigation
// point "L4".
#include <cmath>

#include "RES/util.h"
#include "RES/vecmath.h"
#include "ai/brain.h"
#include "ai/combat.h"
#include "ai/contacts.h"
#include "present/effects.h"
#include "world/handle.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/simplace.h"
#include "world/universe.h"

namespace {

constexpr uint32_t kAggressive = 0x1400;
constexpr int32_t kFixedAttackWeight = 70;
constexpr double kClearance = 150000.0;
constexpr double kBurstRange = 2.5e6;
constexpr double kBringInDistance = 85000.0;
// Tries before a placement with retry gives up: every clash pushes the
// spot farther out, so this is far beyond anything a sample system needs.
constexpr int kPlacementTries = 64;

ShipInfo *ShipOf(const SceneItem *o) { return o && o->sim ? o->sim->shipInfo : nullptr; }

template <class F>
void EachObject(F &&visit) {
    SceneItem *head = dunSceneListHead();
    for (SceneItem *o = head->next, *next; o && o != head; o = next) {
        next = o->next;
        visit(o);
    }
}

bool SpotClear(const SceneItem *object, const Vec3d &spot, double clearance) {
    bool clear = true;
    EachObject([&](SceneItem *o) {
        if (!clear || o == object || !o->avatar || !o->sim || !(o->avatar->flags & AvatarFlag::Ship)) return;
        const Vec3d &p = o->sim->position;
        const double d = std::sqrt((p.x - spot.x) * (p.x - spot.x) + (p.y - spot.y) * (p.y - spot.y) +
                                   (p.z - spot.z) * (p.z - spot.z));
        if (d < clearance + o->sim->radius) clear = false;
    });
    return clear;
}

void TakePlace(SceneItem *object, const SceneItem *body, const Vec3d &spot) {
    Sim *s = object->sim;
    const Vec3d at = spot;
    s->matrix = body->sim->matrix;
    s->position = at;
    dunSyncFloatPosition(s);
    if (!dunPlayerShip || !dunPlayerShip->sim || object->systemNumber != dunPlayerShip->systemNumber) return;
    const Vec3d &p = dunPlayerShip->sim->position;
    const double d = std::sqrt((p.x - at.x) * (p.x - at.x) + (p.y - at.y) * (p.y - at.y) + (p.z - at.z) * (p.z - at.z));
    if (d < kBurstRange) SpawnArrivalBurst(object);
}

}  // namespace

void dunAssignFixedAttack(SceneItem *ship) {
    ShipInfo *info = ShipOf(ship);
    if (!info || (info->flags & ShipFlag::GroupHolder)) return;
    SceneItem *holder = nullptr;
    EachObject([&](SceneItem *o) {
        const ShipInfo *other = ShipOf(o);
        if (!holder && o != ship && other && other->group == info->group && (other->flags & ShipFlag::GroupHolder))
            holder = o;
    });
    // Members met before the holder follow it; without one, the ship.
    SceneItem *leader = holder ? holder : ship;
    bool before = true;
    EachObject([&](SceneItem *o) {
        ShipInfo *other = ShipOf(o);
        if (o == holder) before = false;
        if (before && o != ship && other && other->group == info->group) other->leader = leader;
    });
    if (!holder) {
        info->flags |= ShipFlag::GroupHolder;
        ship->sim->flags |= kAggressive;
        if (ship != dunPlayerShip && ship != dunControlledObject) {
            dunai_SetNamedOrder(ship, 1, "FixedAttack", kFixedAttackWeight, 0, nullptr);
            dunai_StartOrder(ship, 1);
        }
    }
    ship->sim->target = ship->sim->goal;
}

void dunPassGroupFlag(SceneItem *ship) {
    ShipInfo *info = ShipOf(ship);
    if (!info || !(info->flags & ShipFlag::GroupHolder)) return;
    info->flags &= ~ShipFlag::GroupHolder;
    SceneItem *heir = nullptr;
    EachObject([&](SceneItem *o) {
        const ShipInfo *other = ShipOf(o);
        if (!heir && other && other->group == info->group) heir = o;
    });
    // The group keeps its flag only through a member that is there to take it.
    if (!heir || heir == ship || (heir->sim->flags & SimFlag::Dead)) return;
    dunMsgPost(ship->receiverId, heir->receiverId, 0, MsgFixedAttack, 0, nullptr);
}

void dunFlareDecoyMessage(SceneItem *source, SceneItem *target) {
    if (!source || !target || !source->sim || !target->sim) return;
    const double q = ObjectDistance(source, target, nullptr) / (double(target->sim->radius) + 10000.0);
    if (q > 5.0 && q - 5.0 > double(dunRand15() % 7)) return;
    uint8_t payload[8];
    dunPayloadPutU32(payload, 0, dunHandleOf(source));
    dunPayloadPutU32(payload, 4, dunHandleOf(target));
    EachObject([&](SceneItem *o) {
        if (o->avatar && (o->avatar->flags & AvatarFlag::MunitionRound))
            dunMsgPost(source->receiverId, o->receiverId, 0, MsgRetarget, sizeof payload, payload);
    });
}

int dunCountShipsOfSide(int side) {
    int n = 0;
    EachObject([&](SceneItem *o) {
        const ShipInfo *info = ShipOf(o);
        if (info && info->side == side && o->avatar && !(o->avatar->flags & 0x8) && o != dunProtectedObject) ++n;
    });
    return n;
}

void dunFormationPosition(SceneItem *object, SceneItem *leader, float spacing, int slot) {
    if (!object || !leader || !object->sim || !leader->sim) return;
    const int n = slot == 4 ? 0 : slot;
    const int row = n / 5;
    const int column = 4 - n % 5;
    const int half = (column + 1) / 2;
    Vec3 offset;
    offset.x = float(half) * spacing * ((n & 1) ? -1.0f : 1.0f);
    offset.y = row == 0 ? 0.0f : float(row / 5 + 1) * spacing * ((row & 1) ? -1.0f : 1.0f);
    offset.z = -(float(row) * spacing + float(half) * spacing / 2.0f) - leader->sim->radius;
    Vec3 world;
    MatRotateVector(leader->sim->matrix, offset, world);
    Sim *s = object->sim;
    const Sim *l = leader->sim;
    s->matrix = l->matrix;
    s->position = {l->position.x + world.x, l->position.y + world.y, l->position.z + world.z};
    dunSyncFloatPosition(s);
    s->velocity = l->velocity;
    s->bodyVelocity = l->bodyVelocity;
    s->forwardSpeed = l->forwardSpeed;
    if (l->flags & SimFlag::Lds) s->flags |= SimFlag::Lds;
}

bool dunPlaceNearNavPoint(SceneItem *object, double distance, bool retry) {
    if (!object || !object->sim) return false;
    const SceneItem *body = dunFindNamedBody("L4");
    // A system without the navigation point has nowhere to put anything.
    if (!body || !body->sim) return false;
    const double clearance = object->sim->radius + kClearance;
    const Vec3d &centre = body->sim->position;
    if (object->sim->flags & SimFlag::Protected) {
        const Vec3 f = dunMatRow(body->sim->matrix, 2);
        TakePlace(object, body, {centre.x + f.x * kClearance, centre.y + f.y * kClearance, centre.z + f.z * kClearance});
        return true;
    }
    for (int tries = 0; tries < kPlacementTries; ++tries) {
        Vec3 dir = {float(dunRand15() % 1000 - 500), float(dunRand15() % 1000 - 500), float(dunRand15() % 1000 - 500)};
        VecNormalise(dir);
        const Vec3d spot = {centre.x + dir.x * distance, centre.y + dir.y * distance, centre.z + dir.z * distance};
        if (SpotClear(object, spot, clearance)) {
            TakePlace(object, body, spot);
            return true;
        }
        distance += clearance / 2.0;
        if (!retry) return false;
    }
    return false;
}

SceneItem *dunPlaceObjectNearNavPoint(uint32_t mask, int system, SceneItem *) {
    SceneItem *head = dunParkedListHead();
    SceneItem *found = nullptr;
    for (SceneItem *o = head->next; o && o != head && !found; o = o->next)
        if (o->avatar && (o->avatar->flags & mask) == mask && o->systemNumber == system) found = o;
    // Nothing to bring in, or no clear spot for it: the script hears "none".
    if (!found || !dunPlaceNearNavPoint(found, kBringInDistance, false)) return nullptr;
    Sim *s = found->sim;
    dunTranslateSceneItem(found, 0.0, 0.0, 0.0);
    SpawnArrivalBurst(found);
    MatRotateZ(float(dunRand15() % 20 - 10), s->matrix);
    MatRotateX(float(dunRand15() % 20 - 10), s->matrix);
    MatRotateY(float(dunRand15() % 20 - 10), s->matrix);
    found->avatar->matrix = s->matrix;
    const Vec3 f = dunMatRow(s->matrix, 2);
    s->velocity = {f.x * float(40000 + dunRand15() % 10000), f.y * float(40000 + dunRand15() % 10000),
                   f.z * float(40000 + dunRand15() % 10000)};
    found->systemNumber = dunPlayerShip ? dunPlayerShip->systemNumber : dunCurrentSystem;
    return found;
}
