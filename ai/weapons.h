// Weapons of a ship: mounts, firing and reload.
#pragma once

struct SceneItem;

// Detaches and releases every Weapon of the ship.
void dunClearWeapons(SceneItem *ship);
