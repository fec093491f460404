// Flight control routines: ship simulators and control routines.
#pragma once

struct SceneItem;
struct BodyRecord;

void dunFlyShip(SceneItem *item);
void dunControlPlayer(SceneItem *item);
void dunControlTest(SceneItem *item);
void dunControlFree(SceneItem *item);
// Simulator of spawned parts and wrecks: velocity and the two spins.
void dunSimSpawnedNode(SceneItem *item);
// The remote-controlled object the player has linked to, or null.
extern SceneItem *dunRemoteLinked;
// Leaving remote control hands control back to the player's ship.
void dunLeaveRemoteControl();

// The capsule jump of the player's ship: the switch that allows it, the star
// code of the current system, the armed destination (its star code, 0 when
// none, and its body) and the body the player's ship touched last.
extern uint8_t dunCapsuleJumpSwitch;
extern int32_t dunCurrentStarCode;
extern int32_t dunCapsuleStarCode;
extern BodyRecord *dunCapsuleBody;
extern SceneItem *dunLastTouchedBody;
