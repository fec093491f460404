// Flight control routines: ship simulators and control routines.
#pragma once

struct SceneItem;

void dunFlyShip(SceneItem *item);
void dunControlPlayer(SceneItem *item);
void dunControlTest(SceneItem *item);
void dunControlFree(SceneItem *item);
// Simulator of spawned parts and wrecks: velocity and the two spins.
void dunSimSpawnedNode(SceneItem *item);

// The turret the player controls remotely, or null; leaving hands control
// back to the player's ship.
extern SceneItem *dunRemoteObject;
void dunLeaveRemoteControl();
