// Steering and speed helpers: how an AI state turns a wish (a point to reach,
// a velocity to hold, a direction to face) into flight demands. They write the
// three rotation demands (percent, -100..100) and the angle each axis was
// given on the SceneItem, and a ship-local thrust demand on the Sim; the
// world's flight step carries them out. None of them moves a ship.
//
// Conventions: a ship's orientation rows are its right, up and nose axes in
// world coordinates; a local direction has x right, y up and z ahead. Angles
// are degrees. The profile is the ship's current performance block (its Sim's
// flight figures): [0] main acceleration, [1] lateral acceleration, [5], [6],
// [7] roll, pitch and yaw rates, [11] top speed. A null profile flies as one
// with every figure 0.
//
// The turned-this-frame flag (SimFlag::TurnedThisFrame) makes the first turn
// request of a frame win: while it is set every axis controller returns 0 and
// changes nothing. dunai_TurnRates sets it; the AI control routine clears it
// before the state stack runs.
#pragma once

#include "RES/vecmath.h"
#include "world/records.h"

// ---- point steering -----------------------------------------------------------

// Steers at a point that moves with `velocity` (null: a fixed point), facing
// `facing` (null: the point, or along the velocity when it is near), closing
// at the speed the law gives (null: the default law, and top speed for the
// look-ahead). Returns the closeness 1 - min(1, d / 100000) of the
// quarter-second look-ahead distance d, which it also keeps in
// dunai_LastSteerDistance.
float dunai_SteerTowards(SceneItem *ship, Vec3 point, const Vec3 *velocity, const Vec3 *facing, SpeedLimitFn law);
// Steers to come to rest at the point with the stopping law. Returns
// max(0, 1 - (d - r0) / r0) of the distance d to the point.
float dunai_SteerToStopAt(SceneItem *ship, Vec3 point, const Vec3 *velocity, float r0);
// Slides (lateral thrust, nose held on `facing`) towards a point, at the
// speed that the lateral acceleration can still stop from.
float dunai_SlideToPoint(SceneItem *ship, Vec3 point, Vec3 facing, const Vec3 *velocity, float r0);
// Slides towards a velocity; 1 when matched, 0 at 3000 or more off.
float dunai_SlideToVelocity(SceneItem *ship, Vec3 velocity, const FlightParams *profile, Vec3 facing);
// The distance to the first look-ahead point of the last dunai_SteerTowards.
extern float dunai_LastSteerDistance;

// ---- velocity and attitude -------------------------------------------------------

// Matches a world velocity, facing along it (or keeping the nose when it is
// 0.1 or shorter). Returns max(0, (2000 - error) / 2000).
float dunai_MatchVelocity(SceneItem *ship, Vec3 velocity, const FlightParams *profile);
// A velocity change limited to the main acceleration becomes the thrust
// demand; the ship turns towards `facing` (world). Returns 1.
float dunai_ApplyDeltaV(SceneItem *ship, Vec3 deltaV, const FlightParams *profile, Vec3 facing);
// The same limited to the lateral acceleration, with the forward part of a
// longer change kept up to the main acceleration (half of it backwards).
float dunai_ApplyDeltaVFacing(SceneItem *ship, Vec3 deltaV, const FlightParams *profile, Vec3 facing);
// Turns towards a local direction: far off the nose the ship rolls it into
// its pitch plane and pitches, near the nose it yaws and pitches. Returns the
// alignment 0..1 and sets the turned-this-frame flag.
float dunai_TurnRates(SceneItem *ship, Vec3 direction, const FlightParams *profile);
// Pitch and yaw towards a local unit direction; no roll, no flag.
float dunai_SteerAlongVector(SceneItem *ship, Vec3 direction, const FlightParams *profile);
// Roll, then yaw, towards a local direction; no pitch.
float dunai_RollYawToward(SceneItem *ship, Vec3 direction, const FlightParams *profile);
// Nose to the matrix's Z axis, then roll to its Y axis.
float dunai_MatchOrientation(SceneItem *ship, const Mat4 &orientation, const FlightParams *profile);
// Full deflection on each axis towards a relative orientation, each scaled by
// how well the axes before it are aligned.
float dunai_AlignToMatrix(SceneItem *ship, const Mat4 &relative);
// One axis: the demand moves half-way to full deflection towards the sign
// of the angle, scaled by scale^2 (pitch, yaw) and falling off linearly inside
// 30 degrees. Returns (1 - |angle|/90)^2 x scale, or ^3 for roll.
float dunai_PitchControl(SceneItem *ship, float angle, const FlightParams *profile, float scale);
float dunai_YawControl(SceneItem *ship, float angle, const FlightParams *profile, float scale);
float dunai_RollControl(SceneItem *ship, float angle, const FlightParams *profile);
void dunai_ClearTurnDemands(SceneItem *ship);

// ---- damping and fallback ----------------------------------------------------------

// Zeroes a velocity below 1000 and a thrust demand below 300: 0.5 for each.
float dunai_DampResidualMotion(SceneItem *ship);
// The same with the velocity relative to the Sim target, which the ship then
// takes.
float dunai_DampResidualMotionRelative(SceneItem *ship);
// Brakes the ship towards rest: the local velocity refreshed, lateral and
// vertical demands against it within 2/3 of top thrust, forward within top
// thrust.
void dunai_BrakeToRest(SceneItem *ship);
// One braking step (no turning) for a ship that has lost what it flew at.
// Returns 0.
float dunai_IdleFlight(SceneItem *ship);
// The thrust demand dies away with the frame time.
void dunai_DecayThrust(SceneItem *ship);

// ---- speed laws (a = profile[0], vmax = profile[11], k = the standoff distance) --

float dunai_DefaultSpeedLimit(SceneItem *ship, const FlightParams *profile, float distance);
float dunai_StoppingSpeedLimit(SceneItem *ship, const FlightParams *profile, float distance);
float dunai_ApproachSpeedLimit(SceneItem *ship, const FlightParams *profile, float distance);
float dunai_MinimumSpeedLimit(SceneItem *ship, const FlightParams *profile, float distance);
float dunai_CruiseSpeedLimit(SceneItem *ship, const FlightParams *profile, float distance);
float dunai_StandoffSpeedLimit(SceneItem *ship, const FlightParams *profile, float distance);
float dunai_HoldBandSpeedLimit(SceneItem *ship, const FlightParams *profile, float distance);

// ---- the family's own helpers (other AI code and the tests use them) --------------

// Where the point will be relative to the ship after t seconds.
Vec3 dunai_PredictRelativePosition(const Vec3d &position, Vec3 velocity, Vec3 point, const Vec3 *pointVelocity,
                                   float t);
// Seconds to turn the nose onto the velocity change wanted.
float dunai_EstimateTurnTime(const Mat4 &orientation, const FlightParams *profile, Vec3 velocity, Vec3 wanted);
// A world direction in the ship's axes, normalised (a zero one stays zero).
Vec3 dunai_ToLocalDirection(const Mat4 &orientation, Vec3 direction);
// Normalises the pair in place when its length is above 0.
void dunai_Normalise2(float &a, float &b);
// The angle, in degrees, of the pair (a, b) of a unit vector's components:
// 0 inside the dead zone, +-90 when b points behind.
float dunai_AxisAngle(float a, float b);
float dunai_AxisAngleNoDeadZone(float a, float b);
float dunai_RollAngle(float a, float b);
// The ship's performance block, or one with every figure 0; and a given
// block, or that one for none.
const FlightParams *dunai_ProfileOf(const SceneItem *ship);
const FlightParams &dunai_Figures(const FlightParams *profile);
