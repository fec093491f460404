// Flight control routines: ship simulators and control routines.
#pragma once

struct SceneItem;

void dunFlyShip(SceneItem *item);
void dunControlPlayer(SceneItem *item);
void dunControlTest(SceneItem *item);
void dunControlFree(SceneItem *item);
// Simulator of spawned parts and wrecks: velocity and the two spins.
void dunSimSpawnedNode(SceneItem *item);
// The remote-controlled object the player has linked to, or null.
extern SceneItem *dunRemoteLinked;
// Takes over a remote turret, or with null gives control back (only when
// it is on).
void dunToggleTurretControl(SceneItem *player, SceneItem *turret);
