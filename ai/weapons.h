// Weapons of a ship: mounts, firing and reload.
#pragma once

#include <cstdint>

struct SceneItem;

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
struct Vec3;
// The unit direction of a mount code's low four bits in the ship's frame
// (+z forward); all-round and unknown codes point forward.
void dunMountPosition(Vec3 *out, uint16_t mountCode);
// The sub-target volume of the selected target the player aims at, or null.
struct HitBox;
extern HitBox *dunCurrentSubTarget;
// The aiming reticle of the weapons view, drawn last by the HUD's contact
// drawing with the HUD's sight record.
struct HudSight;
void dunDrawTargetReticle(HudSight *sight);
