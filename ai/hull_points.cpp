// A random point on a ship's hull, and the special weapon a ship fires at a
// missile that warns it.
#include "RES/util.h"
#include "ai/scores.h"
#include "ai/weapons.h"
#include "world/records.h"

namespace {

constexpr uint32_t kNoPlacement = 0x10;
constexpr int16_t kSpecialWeaponType = 15;

float Fraction() { return float(dunRand15() % 1000) * 0.001f; }

}  // namespace

void dunRandomPointOnSubNode(SceneItem *object, Vec3 *point) {
    if (!point) return;
    float f[3] = {Fraction(), Fraction(), Fraction()};
    const TDP *root = object && object->avatar ? object->avatar->root : nullptr;
    const CollisionModel *model = root ? root->collision : nullptr;
    int count = 0;
    for (const HitBox *b = model ? model->boxes : nullptr; b; b = b->next) count += !(b->flags & kNoPlacement);
    if (count == 0) {
        *point = {f[0], f[1], f[2]};
        return;
    }
    int pick = dunRand15() % count;
    const HitBox *box = model->boxes;
    for (; box; box = box->next)
        if (!(box->flags & kNoPlacement) && pick-- == 0) break;
    const int axis = dunRand15() % 3;
    f[axis] = f[axis] >= 0.5f ? 1.0f : 0.0f;
    const Vec3 &a = box->upper, &b = box->lower;
    *point = {b.x + (a.x - b.x) * f[0], b.y + (a.y - b.y) * f[1], b.z + (a.z - b.z) * f[2]};
}

void dunFireSpecialWeapon(SceneItem *ship, SceneItem *target) {
    if (!ship || !ship->sim) return;
    Weapon *ready = nullptr;
    bool any = false;
    for (Weapon *w = ship->sim->weapons; w; w = w->next) {
        if (w->typeNumber != kSpecialWeaponType) continue;
        any = true;
        if (w->flags & WeaponFlag::Ready) ready = w;
    }
    if (!any) {
        if (ShipInfo *info = ship->sim->shipInfo) info->flags &= ~ShipFlag::SpecialWeapon;
        return;
    }
    if (ready && target) dunFireWeapon(target, ship, ready);
}
