// Impact and hits: what a round does when it touches something (damage,
// deflection by the victim's defence slots, flash, messages), what a ship
// does with the hit when it arrives, and the spin kick of an impact.
#include <bit>
#include <cmath>

#include "RES/util.h"
#include "RES/vecmath.h"
#include "ai/brain.h"
#include "ai/combat.h"
#include "ai/scores.h"
#include "ai/weapons.h"
#include "core/log.h"
#include "core/options.h"
#include "platform/joystick.h"
#include "platform/sound.h"
#include "present/effects.h"
#include "present/p3d.h"
#include "present/scene.h"
#include "world/damage.h"
#include "world/engineering.h"
#include "world/eventhooks.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/handle.h"
#include "world/services.h"
#include "world/simplace.h"
#include "world/sound_place.h"

uint16_t dunPlayerDeflections[2];
uint8_t dunDeflectDisplayLevel = 0xB0;

namespace {

constexpr uint16_t kMineType = 11;
constexpr int32_t kNoWeaponDamage = 40, kNoWeaponPenetration = 60;
constexpr float kPassImpulse = 500.0f, kDeflectImpulse = 2000.0f;
// |y / z| below this: the shot comes in level with the ship.
constexpr float kLevel = 0.268f;

ShipInfo *ShipOf(const SceneItem *o) { return o && o->sim ? o->sim->shipInfo : nullptr; }

void RemoveSelf(SceneItem *item) { dunMsgPost(item->receiverId, item->receiverId, 0, MsgRemove, 0, nullptr); }

Vec3 Between(const SceneItem *from, const SceneItem *to) {
    const Vec3d &a = from->sim->position, &b = to->sim->position;
    return {float(b.x - a.x), float(b.y - a.y), float(b.z - a.z)};
}

void PostImpact(SceneItem *round, SceneItem *victim, const Vec3 &c, float impulse) {
    uint8_t payload[36] = {};
    dunPayloadPutF32(payload, 0, c.x);
    dunPayloadPutF32(payload, 4, c.y);
    dunPayloadPutF32(payload, 8, c.z);
    const Vec3 v = round->sim ? round->sim->velocity : Vec3{};
    dunPayloadPutF32(payload, 12, v.x);
    dunPayloadPutF32(payload, 16, v.y);
    dunPayloadPutF32(payload, 20, v.z);
    dunPayloadPutF32(payload, 24, impulse);
    dunMsgPost(round->receiverId, victim->receiverId, 0, MsgImpact, sizeof payload, payload);
}

// The defence slots that can deflect the round; which halves were marked.
struct Deflection {
    bool deflected = false;
    bool upper = false, lower = false;
};

Deflection RollDefence(SceneItem *victim, SceneItem *attacker, bool everySlot) {
    Deflection out;
    ShipInfo *info = ShipOf(victim);
    Vec3 a;
    MatTransformPoint(a, Between(victim, attacker), victim->sim->matrix);
    const Vec3 &av = attacker->sim->velocity, &vv = victim->sim->velocity;
    const float s = VecLengthApprox({av.x - vv.x, av.y - vv.y, av.z - vv.z}) * 20.0f / 100000.0f;
    const float yz = std::fabs(a.y / a.z), xz = a.x / a.z;
    const int count = info->defenceCount < kDefenceSlots ? info->defenceCount : kDefenceSlots;
    for (int k = 0; k < count; ++k) {
        float chance = float(info->defenceChance[k]) + s;
        if (chance > 100.0f) chance = 100.0f;
        const bool counts = everySlot || (info->defenceTarget[k] == attacker && float(dunRand15() % 100) <= chance);
        if (!counts) continue;
        if (a.z <= 0.0f && yz <= kLevel && xz <= 1.0f) continue;
        if (yz < kLevel) {
            out.deflected = out.upper = out.lower = true;
        } else if (a.y > 0.0f && (k & 1)) {
            out.deflected = out.upper = true;
        } else if (a.y <= 0.0f && !(k & 1)) {
            out.deflected = out.lower = true;
        }
    }
    return out;
}

// The victim remembers who hurt it, by how much of its hull.
void RememberThreat(SceneItem *victim, SceneItem *firer, int32_t damage) {
    Avatar *a = victim->avatar;
    if (!a || !firer) return;
    const ShipInfo *info = ShipOf(victim);
    int32_t h = info ? dunDamagePercent(info->damage) : 100;
    if (h < 10) h = 10;
    const int32_t threat = int32_t(int64_t(damage) * h / 100);
    if (a->attacker == firer) {
        a->attackCount += threat;
        return;
    }
    const uint32_t mine = victim->avatar->flags & AvatarFlag::SideMask;
    const uint32_t theirs = firer->avatar ? firer->avatar->flags & AvatarFlag::SideMask : 0;
    if (mine != theirs || (firer->sim && firer->sim->goal == victim)) {
        a->attacker = firer;
        a->attackCount = threat;
    }
}

}  // namespace


void dunRoundDamage(SceneItem *round, int32_t *damage, int32_t *penetration, SceneItem **attacker) {
    const Avatar *a = round->avatar;
    const Weapon *w = a ? a->roundWeapon : nullptr;
    *attacker = a ? a->roundAttacker : nullptr;
    if (w) {
        float f = 1.0f;
        if (w->flags & WeaponFlag::Beam) {
            const float third = w->range / 3.0f;
            const float c = float(a->effectCounter);
            if (third > 0.0f && c > third) f = std::exp2(c / third - 1.0f);
        } else {
            f = 0.5f;
            *attacker = round;
        }
        *damage = int32_t(float(w->damage) / (2.0f * f));
        *penetration = int32_t(float(w->penetration) * 5.0f / (4.0f + f));
        return;
    }
    if (const ShipInfo *info = ShipOf(round)) {
        const bool mine = info->typeCode == kMineType && dunCall(dunScript().currentMission) != 1;
        *damage = mine ? 4 * info->damage.maximum : info->damage.maximum;
        *penetration = mine ? 3 * info->damage.armour : int32_t(1.2 * info->damage.armour);
        return;
    }
    *damage = kNoWeaponDamage;
    *penetration = kNoWeaponPenetration;
}

void dunProjectileImpact(SceneItem *round, TDP *, SceneItem *victim, TDP *victimPart, int16_t *handled,
                         float *point) {
    if (handled) {
        if (*handled == 1) return;
        *handled = 1;
    }
    if (!round || !victim || !round->avatar || !victim->avatar || !victim->sim) return;
    if (round->flags & SceneFlag::LaunchesPlasmaBall) dunLaunchPlasmaBall(round, nullptr);

    int32_t damage = 0, penetration = 0;
    SceneItem *attacker = nullptr;
    dunRoundDamage(round, &damage, &penetration, &attacker);
    const Weapon *w = round->avatar->roundWeapon;
    SceneItem *firer = round->avatar->roundAttacker;
    if (w && firer && firer == dunPlayerShip) dunScoreHit(victim, !(w->flags & WeaponFlag::Beam));
    const bool everySlot = w && !(w->flags & WeaponFlag::Beam) && victim == dunPlayerShip;

    ShipInfo *info = ShipOf(victim);
    if (info) {
        const uint32_t include = dunai_SideTargetMask(victim);
        const uint32_t exclude = victim == dunPlayerShip
                                     ? AvatarFlag::BeamRound
                                     : (victim->avatar->flags & AvatarFlag::SideBits) | AvatarFlag::BeamRound;
        for (int k = 0; k < kDefenceSlots; ++k) dunAssignDefenceTargets(victim, k, include, exclude);
    }
    Deflection d;
    if (info && attacker && attacker->sim && !(w && (w->flags & WeaponFlag::Undeflectable)) &&
        !(victim->sim->flags & SimFlag::AiPaused) && !(victim->flags & SceneFlag::InAtmosphere))
        d = RollDefence(victim, attacker, everySlot);

    if (victim == dunPlayerShip && (victim->sim->flags & SimFlag::Protected)) {
        RemoveSelf(round);
        return;
    }
    const Vec3 contact = point ? Vec3{point[0], point[1], point[2]} : dunFloatPosition(round->sim);
    const Vec3 at = dunFloatPosition(victim->sim);
    // c is in world axes: the flash takes a world direction as it is, the
    // shield flare and the nav light want it in the victim's frame.
    const Vec3 c = {contact.x - at.x, contact.y - at.y, contact.z - at.z};
    Vec3 local;
    MatTransformPoint(local, c, victim->sim->matrix);
    Vec3 jolt = {0.0f, 0.0f, 0.0f};
    if (attacker && attacker->sim) MatTransformPoint(jolt, Between(victim, attacker), victim->sim->matrix);
    const bool controlled = victim == dunControlledObject;
    const bool heavy = round->sim && (round->sim->flags & SimFlag::Protected);

    if (d.deflected) {
        AddFlashAtObject(victim, &c, 80, 0xBF20FF);
        if (CardMode) P3DSpawnFlareShell(victim, local.x, local.y, local.z, 0, 0.0f, 60, 0, 140, 140, 140);
        int32_t volume = -10000, pan = 0;
        SoundPositionFromCamera(victim, &volume, &pan);
        SoundPlay(8, volume, 0, pan, 0);
        if (controlled) {
            ffHitJolt(2000, jolt.x, jolt.y, jolt.z);
            dunDeflectDisplayLevel = 0x7F;
            d.upper = true;
        }
        if (victim == dunPlayerShip) {
            if (d.lower) ++dunPlayerDeflections[0];
            if (d.upper) ++dunPlayerDeflections[1];
        }
        FlashNavLight(victim, 9, int(float(damage) * 1.25f), &local);
        if (!heavy) RemoveSelf(round);
        PostImpact(round, victim, c, kDeflectImpulse);
        return;
    }

    AddFlashAtObject(victim, &c, 60, 0xFFFF80);
    RememberThreat(victim, firer, damage);
    if (!heavy) {
        RemoveSelf(round);
        if (round->avatar->root) round->avatar->root->flags &= ~TDPFlag::Collidable;
    }
    PostImpact(round, victim, c, kPassImpulse);
    DamageRecord record = {};
    record.word0 = dunHandleOf(victimPart);
    record.point = c;
    record.velocity = round->sim ? round->sim->velocity : Vec3{};
    record.damage = damage;
    record.secondTerm = penetration;
    record.mass = round->sim ? round->sim->mass : 0.0f;
    record.attacker = dunHandleOf(attacker);
    dunPostDamageRecord(round->receiverId, victim->receiverId, 4, MsgHit, &record);
    if (controlled) ffHitJoltAlt(damage * 200, jolt.x, jolt.y, jolt.z);
}

int32_t dunArmourDamage(int32_t damage, int32_t penetration, int32_t armour) {
    if (penetration > armour) return damage;
    return dunHalvePerMultiple(damage, armour, penetration);
}

void dunShipHit(SceneItem *ship, const DamageRecord *message) {
    if (!ship || !ship->sim || !message) return;
    ShipInfo *info = ship->sim->shipInfo;
    if (!info) return;
    if (ship == dunControlledObject && ship != dunPlayerShip) P3DSetViewShake(7, 7);
    DamageRecord r = *message;
    SceneItem *attacker = dunItemFromHandle(r.attacker);
    const ShipInfo *theirs = ShipOf(attacker);
    // Side 5's lighter craft only tickle: the mission counts the hit.
    if (theirs && theirs->side == 5 && attacker->sim->mass < ship->sim->mass) {
        dunCall(dunScript().countScriptHit, ship);
        return;
    }
    const HookArgument argument = {r.point, attacker, &r};
    dunRunEventHooks(ship, 1, &argument);
    r.secondTerm = r.secondTerm * (dunRand15() % 40 + 80) / 100;
    r.damage = r.damage * (dunRand15() % 40 + 80) / 100;
    r.damage = dunArmourDamage(r.damage, r.secondTerm, info->damage.armour);
    Vec3 local;
    MatTransformPoint(local, r.point, ship->sim->matrix);
    const bool destroyed = dunDamageSubsystems(ship, &info->damage, r.damage, &local) == -1;
    const uint32_t include = dunai_SideTargetMask(ship);
    for (int k = 0; k < kDefenceSlots; ++k) dunAssignDefenceTargets(ship, k, include, 0);
    if (destroyed) {
        dunRecordDestruction(ship, &r);
        EventCameraTrigger(ship, nullptr, 5);
        dunPostDamageRecord(ship->receiverId, ship->receiverId, ship == dunPlayerShip ? 50 : 25, MsgDestroyed, &r);
    }
    if (ship != dunEngineeringShip) {
        const int32_t hull = 100 - dunDamagePercent(info->damage);
        ship->sim->hull = hull < 0 ? 0 : hull;
    }
}

void dunAssignDefenceTargets(SceneItem *ship, int slot, uint32_t include, uint32_t exclude) {
    ShipInfo *info = ShipOf(ship);
    if (!info || slot < 0 || slot >= kDefenceSlots || slot >= info->defenceCount) return;
    float best = 1e8f;
    SceneItem *chosen = nullptr;
    const Avatar *own = ship->avatar;
    SceneItem *head = dunSceneListHead();
    for (SceneItem *o = head->next; o && o != head; o = o->next) {
        if (o == ship || !o->sim || !o->avatar) continue;
        const bool isAttacker = own && own->attacker == o;
        if (!isAttacker) {
            const uint32_t f = o->avatar->flags;
            if (!(f & include) || (f & exclude)) continue;
        }
        if (ship == dunPlayerShip && !o->sim->shipInfo) continue;
        const Vec3 between = Between(ship, o);
        float score = VecLengthApprox(between);
        if (!(score < best)) continue;
        Vec3 local;
        MatTransformPoint(local, between, ship->sim->matrix);
        if ((local.y < 0.0f && (slot & 1)) || (local.y > 0.0f && !(slot & 1))) score *= 2.6f;
        if (isAttacker) score /= 2.6f;
        if (o->avatar->flags & AvatarFlag::Mine) score *= 4.0f;
        for (int k = 0; k < slot; ++k)
            if (info->defenceTarget[k] == o) score *= 2.6f;
        if (score < best) {
            best = score;
            chosen = o;
        }
    }
    info->defenceTarget[slot] = chosen;
}

bool dunSetSubTargetSlot(SceneItem *ship, int chance, int n) {
    ShipInfo *info = ShipOf(ship);
    if (!info) return true;
    // The script's slot number is checked: there are four slots.
    if (n < 0 || n >= kDefenceSlots) {
        dunDebugPrintf("Script error: defence slot %d is out of range (0..%d)\n", n, kDefenceSlots - 1);
        return false;
    }
    info->defenceChance[n] = uint8_t(chance < 0 ? 0 : chance > 255 ? 255 : chance);
    if (info->defenceCount < n + 1) info->defenceCount = int8_t(n + 1);
    return true;
}

void dunImpactGeometry(SceneItem *object, const Vec3 *position, const Vec3 *velocity, uint32_t impulseBits) {
    if (!object || !object->sim || !position || !velocity) return;
    const Sim *s = object->sim;
    const float impulse = std::bit_cast<float>(impulseBits);
    Vec3 p, v;
    MatTransformPoint(p, *position, s->matrix);
    MatTransformPoint(v, *velocity, s->matrix);
    VecNormalise(p);
    const float speed = VecNormalise(v);
    float limit = s->radius > 0.0f ? speed / s->radius * 180.0f / 3.14159265359f : 30.0f;
    if (limit > 30.0f) limit = 30.0f;
    const float term = speed >= 600000.0f ? 60.0f : speed / 10000.0f;
    float push = s->mass > 0.0f ? impulse / s->mass : 5.0f;
    if (push > 5.0f) push = 5.0f;
    float k = push * term;
    if (k > limit) k = limit;
    const float ax = std::fabs(v.x), ay = std::fabs(v.y), az = std::fabs(v.z);
    auto kick = [&](float &spin, float amount, bool rise) {
        if (rise) {
            if (spin < limit) spin += amount;
        } else if (spin > -limit) {
            spin -= amount;
        }
    };
    kick(object->yawSpin, (ax + az) * k, p.x * v.z < p.z * v.x);
    kick(object->rollSpin, (ax + ay) * k, p.y * v.x > p.x * v.y);
    kick(object->pitchSpin, (ay + az) * k, p.z * v.y < p.y * v.z);
}

void dunImpactFromCollision(SceneItem *ship, SceneItem *other, const Vec3 *position) {
    if (!ship || !other || !ship->sim || !other->sim || !position) return;
    const Vec3 &a = other->sim->velocity, &b = ship->sim->velocity;
    const Vec3 v = {a.x - b.x, a.y - b.y, a.z - b.z};
    dunImpactGeometry(ship, position, &v, std::bit_cast<uint32_t>(other->sim->mass));
    ship->sim->flags |= SimFlag::TurnedThisFrame;
}
