// A ship's weapon list: appending and clearing its Weapon records, and the
// setters the weapon types fill them with.
#include "ai/weapons.h"
#include "world/pools.h"

Weapon *dunLastWeapon;
int32_t dunPlayerPbcCount;
EngComponent dunDefaultWeaponComponent = [] {
    EngComponent c{};
    c.health = 1.0f;
    c.value = 1.0f;
    c.level = 1.0f;
    return c;
}();

namespace {

// Counts and lifetimes are 16-bit words: a script's number beyond them is
// held at their ends rather than wrapped round.
uint16_t Word(int32_t v) { return uint16_t(v < 0 ? 0 : v > 0xFFFF ? 0xFFFF : v); }

}  // namespace

Weapon *dunAppendWeapon(SceneItem *ship) {
    Sim *s = ship ? ship->sim : nullptr;
    if (!s) return nullptr;
    Weapon *w = dunAllocWeapon();
    Weapon **tail = &s->weapons;
    for (int n = 0; *tail && n < kMaxWeapons; ++n) {
        w->prev = *tail;
        tail = &(*tail)->next;
    }
    *tail = w;
    w->next = nullptr;
    w->launchRoutine = nullptr;
    w->component = &dunDefaultWeaponComponent;
    dunLastWeapon = w;
    if (ship->avatar) ship->avatar->flags |= AvatarFlag::HasWeapons;
    return w;
}

void dunClearWeapons(SceneItem *ship) {
    Sim *s = ship ? ship->sim : nullptr;
    if (!s) return;
    Weapon *w = s->weapons;
    for (int n = 0; w && n < kMaxWeapons; ++n) {
        Weapon *next = w->next;
        w->flags &= ~WeaponFlag::InUse;
        if (w == dunLastWeapon) dunLastWeapon = nullptr;
        w = next;
    }
    s->weapons = nullptr;
    // A released record must not stay the one that fires.
    s->currentWeapon = nullptr;
    s->weaponCount = 0;
}

void dunWeaponSetBallistics(Weapon *w, int32_t spare, int32_t damage, int32_t penetration, float spareFloat,
                            int32_t constant3) {
    if (!w) return;
    w->spareInt = spare;
    w->damage = damage;
    w->penetration = penetration;
    w->spareFloat = spareFloat;
    w->constant = constant3;
}

void dunWeaponSetPerformance(Weapon *w, float reloadTime, float range, float speed, int32_t lifetime) {
    if (!w) return;
    w->reloadTime = reloadTime;
    w->range = range;
    w->speed = speed;
    w->roundLifetime = Word(lifetime);
}

void dunWeaponSetMunition(Weapon *w, float reloadTime, float speed, float rackReload, int32_t rounds, int32_t perRack,
                          int32_t racks, float p1, float p2, float p3, float p4, float p5, int32_t lifetime) {
    if (!w) return;
    w->reloadTime = reloadTime;
    w->speed = speed;
    // A launcher's range word holds the time a new rack takes.
    w->range = rackReload;
    w->rounds[0] = Word(rounds);
    w->rounds[1] = Word(perRack);
    w->rounds[2] = Word(racks);
    const float launch[5] = {p1, p2, p3, p4, p5};
    for (int i = 0; i < 5; ++i) w->launch[i] = launch[i];
    w->roundLifetime = Word(lifetime);
}

void dunWeaponSetMount(Weapon *w, float x, float y, float z, uint16_t mountCode, TDP *aimNode, float arc) {
    if (!w) return;
    w->mount = {x, y, z};
    w->mountCode = mountCode;
    w->aimNode = aimNode;
    w->arc = arc;
}
