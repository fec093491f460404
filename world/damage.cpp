#include "world/damage.h"

#include <cmath>

#include "RES/util.h"
#include "RES/vecmath.h"
#include "core/frame.h"
#include "core/options.h"
#include "world/engineering.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/records.h"
#include "world/services.h"

namespace {

constexpr int32_t kEngStation = 4;

int rand15() { return dunRand15(); }

// "With chance f": f x 100 is greater than rand() % 100.
bool chance(float f) { return f * 100.0f > float(rand15() % 100); }

float lessPercent(float value, int32_t percent) {
    const float v = value - value * float(percent) / 100.0f;
    return v < 0.0f ? 0.0f : v;
}

// Marks a subsystem failed; true when it was not failed before. A failure
// shows on the ship as damaged unless the caller says otherwise.
bool fail(SceneItem *ship, uint16_t bit, bool showDamaged = true) {
    ShipDamage &d = ship->sim->shipInfo->damage;
    const bool fresh = !(d.mask & bit);
    d.mask |= bit;
    if (fresh && showDamaged && ship->avatar) ship->avatar->flags |= AvatarFlag::Damaged;
    return fresh;
}

bool manoeuvring(SceneItem *ship, int32_t amount) {
    FlightParams &f = ship->sim->shipInfo->current;
    float &rate = f.turnRates[rand15() % 3];
    rate = lessPercent(rate, amount * 2);
    if (f.turnRates[0] < 10.0f || f.turnRates[1] < 10.0f || f.turnRates[2] < 10.0f)
        return fail(ship, DamageBit::Manoeuvring);
    return false;
}

bool drive(SceneItem *ship, int32_t amount) {
    FlightParams &f = ship->sim->shipInfo->current;
    f.p1 = lessPercent(f.p1, amount);
    f.p2 = lessPercent(f.p2, amount);
    return f.p1 < 500.0f && fail(ship, DamageBit::Drive);
}

int weaponCount(const Sim *s, int *damaged) {
    int n = 0;
    *damaged = 0;
    for (const Weapon *w = s->weapons; w; w = w->next, ++n) *damaged += (w->flags & WeaponFlag::Damaged) != 0;
    return n;
}

// The nearest undamaged mount within a fifth of the radius of the point.
bool weaponsByPoint(SceneItem *ship, const Vec3 *point) {
    Sim *s = ship->sim;
    Vec3 at;
    MatRotateVector(s->matrix, *point, at);
    Weapon *best = nullptr;
    float nearest = s->radius / 5.0f;
    for (Weapon *w = s->weapons; w; w = w->next) {
        if (w->flags & WeaponFlag::Damaged) continue;
        Vec3 mount;
        MatRotateVector(s->matrix, w->mount, mount);
        const float d = VecLengthApprox({mount.x - at.x, mount.y - at.y, mount.z - at.z});
        if (d <= nearest) {
            nearest = d;
            best = w;
        }
    }
    if (!best) return false;
    best->flags |= WeaponFlag::Damaged;
    return fail(ship, DamageBit::Weapons);
}

bool weaponsAtRandom(SceneItem *ship, int32_t amount) {
    Sim *s = ship->sim;
    int damaged;
    const int count = weaponCount(s, &damaged);
    if (count == 0) return false;
    Weapon *w = s->weapons;
    for (int i = rand15() % count; i > 0; --i) w = w->next;
    w->damage += amount * 2;
    if (w->damage >= 100 && !(w->flags & WeaponFlag::Damaged)) {
        w->flags = (w->flags | WeaponFlag::Damaged) & ~WeaponFlag::Ready;
        ++damaged;
    }
    return damaged >= int(float(count) * 0.7f) && fail(ship, DamageBit::Weapons);
}

bool subTargets(SceneItem *ship, int32_t amount) {
    uint8_t *health = ship->sim->shipInfo->subTargetHealth;
    // A loss of more than 100 percent leaves 0, not a byte wrapped round.
    auto lose = [amount](uint8_t &h) {
        const int32_t left = h - int32_t(int64_t(h) * amount / 100);
        h = uint8_t(left > 0 ? left : 0);
    };
    if (rand15() % 2 == 0) lose(health[1]);
    lose(health[2]);
    bool fresh = false;
    if (health[1] < 15) fresh |= fail(ship, DamageBit::SubTargetA);
    if (health[2] < 15) fresh |= fail(ship, DamageBit::SubTargetB);
    return fresh;
}

bool sensors(SceneItem *ship, int32_t amount) {
    FlightParams &f = ship->sim->shipInfo->current;
    const double left = double(f.p4) * (1.0 - amount / 100.0);
    f.p4 = left > 0.0 ? uint32_t(left) : 0;
    if (f.p4 >= 300000) return false;
    const bool fresh = fail(ship, DamageBit::Sensors, false);
    if (fresh && (ship->sim->flags & SimFlag::Lds) && ship->avatar) ship->avatar->flags |= AvatarFlag::Damaged;
    return fresh;
}

bool lastValue(SceneItem *ship, int32_t amount) {
    float &v = ship->sim->shipInfo->current.tail[2];
    v = lessPercent(v, amount);
    return v < 25.0f && fail(ship, DamageBit::Capsule);
}

bool structure(SceneItem *ship) {
    const bool fresh = fail(ship, DamageBit::Structure);
    dunCall(dunPresent().makeWreck, ship);
    return fresh;
}

int32_t repairDelay(const ShipInfo *info, double base) {
    const double delay = base - 2.0 * info->skill;
    return delay < 1.0 ? 1 : int32_t(delay);
}

void startRepairCycle(SceneItem *ship) {
    ShipInfo *info = ship->sim->shipInfo;
    if (info->flags & ShipFlag::RepairCycle) return;
    dunMsgPost(ship->receiverId, ship->receiverId, uint32_t(repairDelay(info, 700.0)), MsgRepairTick, 0, nullptr);
    info->flags |= ShipFlag::RepairCycle;
}

void rupture(SceneItem *ship, const Vec3 *point, int kind, int subKind) {
    const ShipDamage &d = ship->sim->shipInfo->damage;
    const int32_t size = int32_t((int64_t(d.damage) * 2600 / d.maximum + 400) * (80 + rand15() % 20) / 100);
    dunCall(dunPresent().addHullRupture, ship, kind, subKind, point, size);
    dunCall(dunPresent().addThermalExplosion, ship, point);
    startRepairCycle(ship);
}

bool isEngineeringShip(const SceneItem *ship) { return ship->sim->components != nullptr; }

void engineeringRounds(SceneItem *ship, int32_t rounds, int32_t hits) {
    ShipDamage &d = ship->sim->shipInfo->damage;
    Sim *s = ship->sim;
    dunRefreshEngineeringDisplay();
    int count = 0;
    for (EngComponent *c = s->components; c; c = c->next) ++count;
    const int32_t level = d.hitLevel < 1 ? 1 : d.hitLevel > 4 ? 4 : d.hitLevel;
    for (int32_t i = 0; i < rounds * level; ++i) {
        if (d.hitLevel < 7 && rand15() % 3 == 0) ++d.hitLevel;
        EngComponent *c = s->components;
        for (int k = rand15() % count; k > 0; --k) c = c->next;
        const float loss = float(rand15() % hits) / 100.0f;
        if (c->kind == 4 || (optArcade && c->kind == 1)) continue;
        const float before = c->health;
        float after = before - loss;
        if (after < 0.0f) after = 0.0f;
        if (optArcade && c->kind == 2 && after < 0.1f) after = before < 0.1f ? before : 0.1f;
        c->health = after;
        if (after < 0.25f) d.mask = uint16_t(d.mask | c->subsystemBits);
        dunComponentHealthEvents(before, after, c);
    }
    if (rand15() % 10 == 0) dunCall(dunPresent().makeWreck, ship);
}

// One round of random hits on a ship without engineering: true when a
// subsystem newly failed.
bool randomRound(SceneItem *ship, int32_t hits) {
    ShipDamage &d = ship->sim->shipInfo->damage;
    if (d.hitLevel < 5 && rand15() % 2) {
        d.hitLevel = int16_t(d.hitLevel + 1 + rand15() % 2);
        if (d.hitLevel > 5) d.hitLevel = 5;
    }
    const int32_t r = rand15() % hits;
    switch (rand15() % (d.hitLevel + 1)) {
    case 0: return weaponsAtRandom(ship, r);
    case 1: return subTargets(ship, r);
    case 2: return manoeuvring(ship, r);
    case 3: return drive(ship, r);
    case 4: return sensors(ship, r);
    case 5: return lastValue(ship, r);
    default: return false;
    }
}

}  // namespace

int dunDamageSubsystems(SceneItem *ship, ShipDamage *block, int32_t amount, const Vec3 *point) {
    Sim *s = ship ? ship->sim : nullptr;
    if (!s || !s->shipInfo || !block) return 0;
    const bool protect = s->flags & SimFlag::Protected;
    const int32_t maximum = block->maximum;
    const int32_t cap = int32_t(maximum * 0.2);
    if (amount == 0) return 0;
    if (ship == dunPlayerShip) {
        const int64_t time = int64_t(amount) + 25;
        dunCall(dunPresent().viewShake, int32_t(time < 450 ? time : 450), amount);
    } else if (ship == dunControlledObject) {
        dunCall(dunGui().setHitFlash, 15);
    }
    // A maximum of 0 would divide every percentage below: such a ship
    // cannot be destroyed and rolls no subsystem damage.
    if (maximum <= 0) return 0;
    // A ship already at its maximum was destroyed by an earlier hit.
    if (block->damage >= maximum) return 0;

    const bool engineering = isEngineeringShip(ship);
    if (engineering) {
        if (protect) return 0;
        if (dunCall(dunGui().currentStation) == kEngStation) amount /= 2;
        float drop = float(amount) / float(maximum);
        if (dunShieldValue() != 0.0f) drop /= 2.0f;
        dunHullFraction -= drop;
        block->damage = int32_t((1.0f - dunHullFraction) * float(maximum));
    } else {
        const int64_t total = int64_t(block->damage) + amount;
        block->damage = total > INT32_MAX ? INT32_MAX : int32_t(total);
        if (protect && block->damage > cap) block->damage = cap;
    }
    if (block->damage >= maximum) {
        block->damage = maximum;
        return -1;
    }

    if (protect) {
        dunCall(dunPresent().addThermalExplosion, ship, point);
        startRepairCycle(ship);
        return 0;
    }

    bool explosion = false;
    const uint32_t kind = ship->avatar ? ship->avatar->pendingDamageKind : 0;
    if (ship->avatar) ship->avatar->pendingDamageKind = 0;
    if ((kind & 16) && !engineering) {
        const uint32_t subsystems = (kind >> 8) & 0x1FF;
        const int64_t span = int64_t(amount) * 1250 / maximum;
        const int32_t r = rand15() % int32_t(span > 1 ? (span > INT32_MAX ? INT32_MAX : span) : 1);
        bool fresh = false;
        if (subsystems & 1) fresh |= weaponsByPoint(ship, point);
        if (subsystems & 2) fresh |= subTargets(ship, r);
        if (subsystems & 4) fresh |= manoeuvring(ship, r);
        if (subsystems & 8) fresh |= drive(ship, r);
        if (subsystems & 16) fresh |= sensors(ship, r);
        if (subsystems & 32) fresh |= lastValue(ship, r);
        if (subsystems & 64) fresh |= structure(ship);
        if (subsystems & 128) fresh |= fail(ship, DamageBit::Spare);
        if (subsystems & 256) {
            block->damage += maximum / 2;
            if (block->damage >= maximum) {
                block->damage = maximum;
                return -1;
            }
        }
        if (fresh) {
            rupture(ship, point, 0, 0);
            explosion = true;
        }
    }

    const int32_t k = (maximum - block->damage / 2) / 36 > 1 ? (maximum - block->damage / 2) / 36 : 1;
    const int32_t atLeastOne = amount > 1 ? amount : 1;
    const int32_t roll = rand15() % atLeastOne;
    if (roll > rand15() % k) {
        const int32_t hits = int32_t(int64_t(amount) * 48 / k + 1);
        const int32_t rounds = amount > k ? amount / k : 1;
        bool ruptured = explosion;
        if (engineering) {
            engineeringRounds(ship, rounds, hits);
        } else {
            dunCall(dunGui().setHitFlash, 31);
            for (int32_t i = 0; i < rounds; ++i) {
                if (randomRound(ship, hits) && !ruptured) {
                    rupture(ship, point, 12, 4);
                    ruptured = true;
                }
            }
        }
        if (ruptured) return 1;
        dunCall(dunPresent().addThermalExplosion, ship, point);
        return 1;
    }
    if (!explosion) dunCall(dunPresent().addThermalExplosion, ship, point);
    return 0;
}

void dunSetSubsystemState(SceneItem *ship, int index, float f) {
    Sim *s = ship ? ship->sim : nullptr;
    if (!s || !s->shipInfo) return;
    ShipInfo *info = s->shipInfo;
    ShipDamage &d = info->damage;
    FlightParams &cur = info->current;
    const FlightParams &nom = info->nominal;
    const bool restore = f == 0.0f;
    auto setBit = [&](uint16_t bit, bool on) { d.mask = on ? uint16_t(d.mask | bit) : uint16_t(d.mask & ~bit); };
    switch (index) {
    case 0:
        setBit(DamageBit::Manoeuvring, !restore);
        for (int i = 0; i < 3; ++i) cur.turnRates[i] = restore ? nom.turnRates[i] : cur.turnRates[i] * (1.0f - f);
        break;
    case 1:
        setBit(DamageBit::Drive, !restore);
        cur.p1 = restore ? nom.p1 : cur.p1 * (1.0f - f);
        cur.p2 = restore ? nom.p2 : cur.p2 * (1.0f - f);
        break;
    case 2:
        setBit(DamageBit::Weapons, !restore);
        for (Weapon *w = s->weapons; w; w = w->next) {
            if (restore)
                w->flags = (w->flags | WeaponFlag::Ready) & ~WeaponFlag::Damaged;
            else if (chance(f))
                w->flags = (w->flags | WeaponFlag::Damaged) & ~WeaponFlag::Ready;
        }
        break;
    case 3:
        setBit(DamageBit::SubTargetA | DamageBit::SubTargetB, !restore);
        if (restore) {
            info->subTargetHealth[1] = info->subTargetHealth[2] = 90;
        } else {
            for (int i = 1; i <= 4; ++i) info->subTargetHealth[i] = uint8_t(float(info->subTargetHealth[i]) * (1.0f - f));
        }
        break;
    case 4:
        setBit(DamageBit::Sensors, !restore);
        if (!restore) cur.p4 = chance(f) ? 0 : uint32_t(double(cur.p4) * (1.0 - f));
        break;
    case 5:
        if (restore) {
            setBit(DamageBit::Capsule, false);
        } else if (chance(f)) {
            setBit(DamageBit::Capsule, true);
            cur.tail[2] = 0.0f;
        }
        break;
    case 6:
    case 7:
    case 8: {
        static const uint16_t kBits[3] = {DamageBit::Structure, DamageBit::Spare, DamageBit::Docking};
        const uint16_t bit = kBits[index - 6];
        if (restore)
            setBit(bit, false);
        else if (chance(f))
            setBit(bit, true);
        break;
    }
    default: break;
    }
}

namespace {

// Repairs the failed subsystem; the structure only once manoeuvring and
// drive work again.
void repair(SceneItem *ship, uint16_t bit) {
    ShipInfo *info = ship->sim->shipInfo;
    ShipDamage &d = info->damage;
    FlightParams &cur = info->current;
    const FlightParams &nom = info->nominal;
    switch (bit) {
    case DamageBit::Manoeuvring:
        for (int i = 0; i < 3; ++i) cur.turnRates[i] = nom.turnRates[i];
        d.mask &= ~DamageBit::Manoeuvring;
        break;
    case DamageBit::Drive:
        cur.p1 = nom.p1;
        cur.p2 = nom.p2;
        d.mask &= ~DamageBit::Drive;
        break;
    case DamageBit::Weapons: {
        Weapon *w = ship->sim->weapons;
        while (w && !(w->flags & WeaponFlag::Damaged)) w = w->next;
        if (w) w->flags &= ~(WeaponFlag::Damaged | WeaponFlag::Ready);
        bool left = false;
        for (const Weapon *v = ship->sim->weapons; v; v = v->next) left |= (v->flags & WeaponFlag::Damaged) != 0;
        if (!left) d.mask &= ~DamageBit::Weapons;
        break;
    }
    case DamageBit::SubTargetA:
        for (int i = 1; i <= 4; ++i)
            if (info->subTargetHealth[i] < 30) info->subTargetHealth[i] = 40;
        d.mask &= ~(DamageBit::SubTargetA | DamageBit::SubTargetB);
        break;
    case DamageBit::Sensors:
        cur.p4 = nom.p4;
        d.mask &= ~DamageBit::Sensors;
        break;
    case DamageBit::Capsule:
        cur.tail[2] = nom.tail[2];
        d.mask &= ~DamageBit::Capsule;
        break;
    case DamageBit::Structure:
        if (!(d.mask & (DamageBit::Manoeuvring | DamageBit::Drive))) {
            d.mask &= ~DamageBit::Structure;
            if (ship->avatar) ship->avatar->flags &= ~AvatarFlag::Damaged;
        }
        break;
    default: break;
    }
}

int32_t hullPercent(const ShipDamage &d) { return int32_t(100 - int64_t(d.damage) * 100 / d.maximum); }

}  // namespace

void dunSubsystemFaultTick(SceneItem *ship) {
    Sim *s = ship ? ship->sim : nullptr;
    if (!s || !s->shipInfo) return;
    ShipInfo *info = s->shipInfo;
    ShipDamage &d = info->damage;
    if (d.maximum <= 0) {
        info->flags &= ~ShipFlag::RepairCycle;
        return;
    }
    int r = rand15() & 1;
    const int32_t p = int32_t(int64_t(d.damage) * 100 / d.maximum);
    if (p > 1) d.damage = int32_t(double(p - 1) * d.maximum / 100.0);
    static const uint16_t kOrder[] = {DamageBit::Manoeuvring, DamageBit::Drive,    DamageBit::Weapons,
                                      DamageBit::SubTargetA,  DamageBit::Sensors,  DamageBit::Capsule,
                                      DamageBit::Structure};
    bool repaired = false;
    for (uint16_t bit : kOrder) {
        if (!(d.mask & bit)) continue;
        if (r-- == 0) {
            repair(ship, bit);
            repaired = true;
            break;
        }
    }
    if (!repaired && p >= 25) d.damage = int32_t(double(int32_t(p - (200 - p) * 0.05)) * d.maximum / 100.0);
    if (!(d.mask & (DamageBit::Manoeuvring | DamageBit::Drive | DamageBit::Structure)) && ship->avatar)
        ship->avatar->flags &= ~AvatarFlag::Damaged;
    if (!(d.mask & 0x4FF) && int64_t(d.damage) * 100 <= int64_t(d.maximum) * 2) {
        info->flags &= ~ShipFlag::RepairCycle;
        s->hull = hullPercent(d);
        return;
    }
    const double delay = (double(d.damage) / d.maximum + 1.0) * 600.0;
    dunMsgPost(ship->receiverId, ship->receiverId, uint32_t(repairDelay(info, delay)), MsgRepairTick, 0, nullptr);
    info->flags |= ShipFlag::RepairCycle;
    s->hull = hullPercent(d);
}

int32_t dunHalvePerMultiple(int32_t value, int32_t amount, int32_t step) {
    if (step > amount) return value;
    if (step == 0) return 0;
    return value >> ((amount / step) & 31);
}
