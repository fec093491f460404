// Flight control routines: the ship simulator and its turning step, the
// player's control routine with its input reader and flight assist, the
// free and test controls, remote control of a turret, and the small
// simulators of spawned parts, rocks, flares and drifting effects.
#pragma once

#include <cstdint>

struct SceneItem;
struct BodyRecord;
struct Weapon;
struct Mat4;

// Simulators (SIMULATION phase).
void dunFlyShip(SceneItem *item);
void dunTurnShip(SceneItem *item, Mat4 *matrix);
void dunSimSyncPosition(SceneItem *item);
void dunSimSpawnedNode(SceneItem *item);
void dunSimRock(SceneItem *item);
void dunSimEcmFlare(SceneItem *item);
void dunSimDrift(SceneItem *item);

// Control routines (CONTROL phase).
void dunControlPlayer(SceneItem *item);
void dunControlFree(SceneItem *item);
void dunControlFreeTargeting(SceneItem *item);
void dunControlTest(SceneItem *item);
// Flight assist: set speed, drift damping and the stick forces.
void dunControlProbe(SceneItem *item);
void dunReadPlayerFlightInput(SceneItem *item);
// The approach to a body: 0 clean, else bits 1 in LDS, 2 too slow, 4 too
// fast, 8 off the body's axis, 16 too far off or behind it.
uint32_t dunCheckReentryApproach(SceneItem *item, SceneItem *body);
void dunLockTarget(SceneItem *item);
void dunTargetLockSound();
// The current weapon; when unset, the first of the list becomes current.
Weapon *dunCurrentWeapon(SceneItem *item);
void dunStopObject(SceneItem *item);

// Remote control of a turret.
void dunToggleTurretControl(SceneItem *player, SceneItem *turret);
// Leaving remote control hands control back to the player's ship.
void dunLeaveRemoteControl();
void dunControlWhileRemote(SceneItem *player);
void dunRefreshRemoteView();
// The remote-controlled object the player has linked to, or null.
extern SceneItem *dunRemoteLinked;
// 1 while a turret is controlled, 3 after control came back or was refused.
extern int32_t dunRemoteState;
// The game clock when the turret was taken over.
extern uint32_t dunRemoteTime;

// The player's inputs. The look update of the presentation sets the three
// steering axes (full scale 328) before the CONTROL phase, and the hat bits
// (1 down, 2 right, 4 up, 8 left).
extern float dunStickX;
extern float dunStickY;
extern float dunTwist;
extern uint8_t dunHatBits;
// Joystick axis-array entries of lateral, vertical and forward thrust; -1
// for none.
extern int8_t dunThrustAxes[3];
// Joystick button numbers (bit of the button word; -1 none) of fire,
// target, the two weapon selections, the axis swap and the two throttle
// steps.
extern int8_t dunFireButton;
extern int8_t dunTargetButton;
extern int8_t dunWeaponButtons[2];
extern int8_t dunSwapButton;
extern int8_t dunThrottleButtons[2];
// The forward and reverse thrust keys (scan codes; space and right shift).
extern uint8_t dunThrustKeys[2];
extern uint8_t dunAxisSwap;
// 2: the hat gives thrust.
extern int32_t dunControlMethod;
// The "inf_mode" switch of the options screen, and the speed within which
// the thrust keys still act while it is on.
extern uint8_t dunInfMode;
constexpr float kInfModeSpeedLimit = 200000.0f;
// The joystick throttle (percent) last turned into a set speed.
extern int16_t dunJoyThrottleLast;
// Set while the player strafes with the stick.
extern uint8_t dunStrafing;
// The target pick along the aim is off.
extern uint8_t dunAutoTargetOff;
// The object under the cross-hair of the free targeting control.
extern SceneItem *dunCrossHairObject;

// The capsule jump of the player's ship: the switch that allows it, the star
// code of the current system, the armed destination (its star code, 0 when
// none, and its body) and the body the player's ship touched last.
extern uint8_t dunCapsuleJumpSwitch;
extern int32_t dunCurrentStarCode;
extern int32_t dunCapsuleStarCode;
extern BodyRecord *dunCapsuleBody;
extern SceneItem *dunLastTouchedBody;

// The flight module's per-mission state back to its start.
void dunResetFlightControl();
