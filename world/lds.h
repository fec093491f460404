// The LDS drive: entering, flying and leaving the fast drive, its speed
// laws, the gravity-well lookup, and the AI's use of the drive.
#pragma once

#include <cstdint>

struct SceneItem;
struct FlightParams;
struct Vec3;

// 0 when the drive is blocked or the ship has none; 0xFF when it was
// already engaged or is now.
uint8_t dunEnterLDS(SceneItem *item);
// Drops out at once; always 0xFF.
uint8_t dunLeaveLDS(SceneItem *item);
// The per-step update, run at the start of the ship simulator.
void dunLdsUpdate(SceneItem *item);

// The speed laws of a block whose growth factor is b = figure [2] / 100:
// the gear ln(speed / 100000) / ln(b), the growth rate speed x ln(b), the
// speed factor speed / (b - 1), and the speed for a distance (b - 1) x
// distance, at least 100000. A growth factor the laws cannot use (0 or 1)
// gives 0 for the first three.
float dunLdsGear(float speed, const FlightParams *figures);
float dunLdsRate(float speed, const FlightParams *figures);
float dunLdsSpeedFactor(float speed, const FlightParams *figures);
float dunLdsClampSpeed(float distance, const FlightParams *figures);
// True for a growth figure (percent per second) the speed laws can use.
bool dunLdsGrowthUsable(uint32_t percent);

// 0xFF when the AI should fly towards the target in the drive.
uint8_t dunLdsApproachStep(SceneItem *item, SceneItem *target);
// Steers the AI ship clear of its nearest object.
void dunLdsSteer(SceneItem *item);
// Records the gravity body whose half radius holds the object.
void dunFindGravityWell(SceneItem *item);
void dunLdsStub(SceneItem *item, Vec3 *velocity, int reserved);
void dunEmptyRoutine(SceneItem *item);

// The player's displayed drive level and target level (base-10 logarithms
// of the speeds, at least 5), the drive view flag, the switch that stops
// the AI using the drive, and the world scale of bodies.
extern float dunLdsLevel;
extern float dunLdsTargetLevel;
extern uint8_t dunLdsView;
extern uint8_t dunLdsOff;
extern float dunBodyWorldScale;
