// Weapons of a ship: mounts, firing and reload.
#pragma once

struct SceneItem;

// Detaches and releases every Weapon of the ship.
void dunClearWeapons(SceneItem *ship);
struct Weapon;
// The n-th Weapon of the ship (1-based), the last one when n is too large;
// null when it has none.
Weapon *dunNthWeapon(SceneItem *ship, int n);
