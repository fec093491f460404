// Weapons of a ship: mounts, firing and reload.
#pragma once

#include <cstdint>

#include "RES/vecmath.h"

struct SceneItem;
struct TDP;

// Detaches and releases every Weapon of the ship.
void dunClearWeapons(SceneItem *ship);
struct Weapon;
// The n-th Weapon of the ship (1-based), the last one when n is too large;
// null when it has none.
Weapon *dunNthWeapon(SceneItem *ship, int n);
// Aims the weapons of mount 0 or 1 at the best target of the masks.
void dunPickTargetPoint(SceneItem *item, int mount, uint32_t targetMask, uint32_t sideBits);
// The per-step weapon update of the player's ship, and of any other.
void dunUpdateWeapons(SceneItem *ship);
void dunUpdateWeaponsNoOwner(SceneItem *ship);
// 0 when it fired, 1..5 why it could not (range and rate 0: the weapon's own).
int dunFireWeapon(SceneItem *ship, Weapon *weapon, float range, float rate);
// A flare's decoy message to the object it is linked to.
void dunFlareDecoyMessage(SceneItem *flare, SceneItem *linked);
// A "PBC" beam weapon of a range and strength.
Weapon *dunCreatePBCLite(SceneItem *ship, float range, const char *name, int32_t strength);
// The unit direction of a mount code's low four bits in the ship's frame
// (+z forward); all-round and unknown codes point forward.
void dunMountPosition(Vec3 *out, uint16_t mountCode);
// Fills the outline (world/records.h) of a mount code.
struct ArcOutline;
void dunPlaceMount(ArcOutline *outline, uint16_t mountCode);
// The weapon of the list whose mount faces the direction (ship's frame)
// best, or null.
Weapon *dunChooseMount(float x, float y, float z, Weapon *list);
// The sub-target volume of the selected target the player aims at, or null.
struct HitBox;
extern HitBox *dunCurrentSubTarget;
// The aiming reticle of the weapons view, drawn last by the HUD's contact
// drawing with the HUD's sight record.
struct HudSight;
void dunDrawTargetReticle(HudSight *sight);

// The weapon-type table: a creator per type, and its names in the three
// languages. A creator appends a Weapon to the ship's list at the mount
// offset with the mount code and returns it (null when the pool gave none).
using WeaponCreator = Weapon *(*)(SceneItem *ship, float x, float y, float z, const char *name, uint16_t mountCode);
struct WeaponTypeDef {
    WeaponCreator create;
    const char *names[3];
};
constexpr int kWeaponTypeCount = 19;
extern const WeaponTypeDef kWeaponTypes[kWeaponTypeCount];
void dunWeaponSetBallistics(Weapon *weapon, int32_t spare, int32_t damage, int32_t penetration, float spareFloat,
                            int32_t constant3);
void dunWeaponSetPerformance(Weapon *weapon, float reloadTime, float range, float speed, int32_t lifetime);
// Ammunition counters: every counter of that name shows the weapon's rounds
// (the symbol goes to the last one bound); and all counters refreshed.
struct ScriptSymbol;
void dunBindAmmoGauge(const char *name, Weapon *weapon, int32_t parameter, ScriptSymbol *symbol);
void dunUpdateAmmoGauges();
// A defence slot's deflection chance; the slot count rises to n + 1.
constexpr int kDefenceSlots = 4;
void dunSetSubTargetSlot(SceneItem *ship, int chance, int n);
// The contact handler of munitions and mines.
void dunProjectileImpact(SceneItem *self, TDP *selfNode, SceneItem *other, TDP *otherNode, int16_t *handled,
                         float *point);
// The player's special rounds.
void dunFireLDSI(SceneItem *ship, SceneItem *target);
void dunDropECMFlare(SceneItem *ship);
