// The small target services around the contact list: the sub-targets of the
// target's hit model, the pick under the aiming ray with the class filter,
// the nearest-enemy pickers of the cockpit keys, the copy of the selected
// target into the controlled object, and the mounts' aim points.
#include <cmath>

#include "ai/brain.h"
#include "ai/combat.h"
#include "ai/contacts.h"
#include "ai/weapons.h"
#include "world/objlist.h"
#include "world/rays.h"

HitBox *dunCurrentSubTarget;
SceneItem *dunSubTargetOwner;
Vec3 dunSubTargetCentrePoint;

namespace {

constexpr uint32_t kShipTargetMaskBit = 0x4;
constexpr int kSubTargetWalkLimit = 4096;

bool InUse(const SceneItem *o) { return o && (o->flags & SceneFlag::InUse) && o->sim && o->avatar; }

uint32_t Flags(const SceneItem *o) { return o && o->avatar ? o->avatar->flags : 0; }

unsigned SubTargetId(const HitBox *b) { return (b->flags & 0x1FF00u) >> 8; }

HitBox *VolumesOf(const SceneItem *o) {
    const TDP *root = o && o->avatar ? o->avatar->root : nullptr;
    return root && root->collision ? root->collision->boxes : nullptr;
}

// The used contact with the least distance / 100 (below 1e9) whose object
// passes the test.
template <class F>
SceneItem *NearestContact(F &&passes) {
    float best = 1e9f;
    SceneItem *found = nullptr;
    for (const Contact &c : dunContacts) {
        if (!(c.flags & ContactFlag::InUse) || !InUse(c.object) || !passes(Flags(c.object))) continue;
        const float d = c.range / 100.0f;
        if (d < best) {
            best = d;
            found = c.object;
        }
    }
    return found;
}

uint32_t EnemyMask(SceneItem *ship) { return dunai_SideTargetMask(ship) & ~kShipTargetMaskBit; }

}  // namespace

int16_t dunNextSubTarget(SceneItem *object) {
    HitBox *head = VolumesOf(object);
    if (!head) return 0;
    // The cursor belongs to one object: on another one the walk starts at
    // the head of the new object's list.
    HitBox *current = dunSubTargetOwner == object ? dunCurrentSubTarget : nullptr;
    // A pool slot reused by a later mission can hold the old owner's address
    // while its volumes were freed: a cursor not found in the list is gone.
    if (current) {
        const HitBox *v = head;
        for (int n = 0; v && v != current && n < kSubTargetWalkLimit; ++n) v = v->next;
        if (v != current) current = nullptr;
    }
    HitBox *b = current ? current->next : head;
    for (int n = 0; n < kSubTargetWalkLimit; ++n) {
        if (!b) b = head;
        if (b == current) return 0;
        if (SubTargetId(b)) {
            dunCurrentSubTarget = b;
            dunSubTargetOwner = object;
            dunSubTargetCentrePoint = {(b->upper.x + b->lower.x) / 2, (b->upper.y + b->lower.y) / 2,
                                       (b->upper.z + b->lower.z) / 2};
            return int16_t(SubTargetId(b));
        }
        b = b->next;
        if (!b && !current) return 0;  // a whole pass from the head found none
    }
    return 0;
}

bool dunAimsAtSubTarget() { return dunCurrentSubTarget && dunSubTargetOwner; }

bool dunSubTargetCentre(SceneItem *goal, Vec3 *centre) {
    if (!goal || goal != dunSubTargetOwner || !dunCurrentSubTarget) return false;
    if (centre) *centre = dunSubTargetCentrePoint;
    return true;
}

void dunClearSubTarget() {
    dunCurrentSubTarget = nullptr;
    dunSubTargetOwner = nullptr;
}

void dunLockTarget() {
    dunPickTargetFiltered(nullptr, 0);
    const SceneItem *c = dunControlledObject;
    if (c && c->sim && InUse(c->sim->goal)) dunNextSubTarget(c->sim->goal);
}

void dunSetShipTarget() {
    if (!dunControlledObject || !dunControlledObject->sim) return;
    Sim *s = dunControlledObject->sim;
    s->goal = dunWeaponTarget;
    s->target = dunWeaponTarget;
}

uint32_t dunPickClassMask(uint32_t mode, bool any) {
    uint32_t mask = mode == 0 ? 0x0e : mode == 1 ? 0x12 : mode == 2 ? 0x03 : 0x02;
    if (!any && mode == 0) mask &= ~0x10u;
    if (!any && mode == 1) mask &= ~0x0cu;
    return mask;
}

void dunPickTargetFiltered(void *, int any) {
    SceneItem *own = dunControlledObject;
    if (!own || !own->sim || !own->avatar) return;
    const uint32_t mode = dunTargetingMode;
    const uint32_t classMask = dunPickClassMask(mode, any != 0);
    const uint32_t exclude = any ? AvatarFlag::NavigationBody : (Flags(own) & AvatarFlag::SideBits) | 0x400040;
    float distance = 1e30f;
    SceneItem *pick = dunRayHitsObject(own, nullptr, classMask, exclude, &distance, nullptr);
    if (!pick && any) {
        distance = 1e30f;
        pick = dunRayHitsObject(own, nullptr, classMask, 0, &distance, nullptr);
    }
    if (!pick) return;
    if (!any) {
        if (Flags(pick) & Flags(own) & AvatarFlag::SideBits) {
            pick = dunNearestTargetBySide(own);
            if (!pick) return;
        }
        const uint32_t need = mode == 0 ? AvatarFlag::Ship : mode == 1 ? AvatarFlag::MunitionRound
                              : mode == 2                 ? AvatarFlag::FreeBody
                                                          : 0;
        if (need && !(Flags(pick) & need)) {
            dunWeaponTarget = nullptr;
            return;
        }
    }
    SceneItem *previous = dunWeaponTarget;
    Sim *s = own->sim;
    if (s->goal != pick) {
        s->flags &= ~SimFlag::ShieldStruck;
        s->goal = pick;
    }
    dunWeaponTarget = pick;
    dunSelectTarget(pick);
    if (dunCurrentContact && dunCurrentContact->object != pick) {
        dunWeaponTarget = previous;
        s->goal = previous;
    }
    if (!(s->flags & SimFlag::Autopilot)) s->target = dunWeaponTarget;
    if (dunWeaponTarget != previous) s->flags &= ~SimFlag::ShieldStruck;
}

SceneItem *dunNearestTargetBySide(SceneItem *ship) {
    if (!ship || !ship->avatar) return nullptr;
    const uint32_t faction = ship->avatar->flags & AvatarFlag::FactionBits;
    const uint32_t mask =
        EnemyMask(ship) | (faction == 0 ? AvatarFlag::FactionBits : AvatarFlag::FactionBits & ~faction);
    return NearestContact([mask](uint32_t f) {
        if (!(f & mask)) return false;
        return !((f & 0x70) && !(f & AvatarFlag::FactionBits));
    });
}

SceneItem *dunNearestEnemyContact() {
    SceneItem *ship = dunControlledObject;
    if (!ship) return nullptr;
    const uint32_t mask = EnemyMask(ship);
    return NearestContact([mask](uint32_t f) { return ((f & mask) || (f & AvatarFlag::Mine)) && !(f & 0x24); });
}

SceneItem *dunNearestEnemyShipContact() {
    SceneItem *ship = dunControlledObject;
    if (!ship) return nullptr;
    const uint32_t mask = EnemyMask(ship);
    auto matches = [mask](const Contact &c) {
        return (c.flags & ContactFlag::InUse) && InUse(c.object) && (Flags(c.object) & mask) &&
               !(Flags(c.object) & 0x70);
    };
    int at = -1;
    for (int i = 0; i < kMaxContacts; ++i)
        if (&dunContacts[i] == dunCurrentContact && matches(dunContacts[i])) at = i;
    if (at < 0) return nullptr;
    for (int n = 1; n < kMaxContacts; ++n) {
        const Contact &c = dunContacts[(at + n) % kMaxContacts];
        if (matches(c)) return c.object;
    }
    return nullptr;
}

// Mount 0 (and 2) looks above the ship's plane, mount 1 (and 3) below: the
// goal when it lies on that side and passes the masks, else the nearest
// object there that does; mounts 0 and 1 keep it as their fire target,
// 2 and 3 as the sub-target aim object.
void dunPickTargetPoint(SceneItem *item, int mount, uint32_t targetMask, uint32_t sideBits) {
    if (!item || !item->sim || !item->sim->shipInfo || mount < 0 || mount > 3) return;
    ShipInfo *info = item->sim->shipInfo;
    const bool upper = (mount & 1) == 0;
    auto side = [&](const SceneItem *o, float *d) {
        if (!InUse(o) || o == item) return false;
        const uint32_t f = Flags(o);
        if (!(f & targetMask) || (f & sideBits)) return false;
        const Vec3d &p = item->sim->position, &q = o->sim->position;
        Vec3 rel{float(q.x - p.x), float(q.y - p.y), float(q.z - p.z)};
        *d = VecLengthApprox(rel);
        MatTransformPoint(rel, rel, item->sim->matrix);
        return upper ? rel.y >= 0 : rel.y < 0;
    };
    float d = 0;
    SceneItem *chosen = nullptr;
    if (side(item->sim->goal, &d)) {
        chosen = item->sim->goal;
    } else {
        float best = 1e30f;
        SceneItem *head = dunSceneListHead();
        for (SceneItem *o = head->next; o && o != head; o = o->next)
            if (side(o, &d) && d < best) {
                best = d;
                chosen = o;
            }
    }
    (mount < 2 ? info->fireTargets : info->subTargets)[mount & 1] = chosen;
}
