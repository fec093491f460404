// Routines of special objects: rounds that interdict the LDS drive, guided
// missiles and warheads, plasma balls and gas shells, waypoints, carried and
// following objects, placement, the tracking list and stock launches, the
// chaos and stargate simulators, belt motion, ships under damage, the mine
// picker, ambience and the view flags.
#pragma once

#include <cstdint>

struct SceneItem;
struct Mat4;
struct Vec3d;
struct Particle;
struct ParticleSystem;

// LDS interdiction.
void dunControlLdsInterdictor(SceneItem *round);
void dunInterdictorFade(SceneItem *round);
// Every 200 cs every other object with a Sim within the radius gets
// message 19 (the drop-out) from the item.
void dunInterdictionPulse(SceneItem *item, float radius);
// The jolt of a forced LDS drop-out.
void dunDropLds(SceneItem *ship);

// Ships under damage: hits at random points and a growing tumble.
void dunDamagedShipTick(SceneItem *ship);

// Missiles and warheads.
void dunProximityDetonate(SceneItem *missile, SceneItem *other, float distance);
void dunGuideMissile(SceneItem *missile);
void dunSimWarhead(SceneItem *warhead);
// The joystick button a warhead may be fired by (-1 none).
extern int8_t dunWarheadButton;

// Plasma balls and gas shells.
void dunSimPlasmaBall(SceneItem *ball);
void dunSimGasShell(SceneItem *shell);

// Waypoints, carried and following objects.
void dunSimStickToGoal(SceneItem *waypoint);
void dunSimAttachToTarget(SceneItem *waypoint);
void dunControlCarrier(SceneItem *carrier);
void dunSimCarried(SceneItem *item);
// The simulator of an object that follows its partner at a stored distance
// (a towed object).
void dunSimFollowLinked(SceneItem *item);
// The total of waypoints "COUNT_WAYPTS" set (-1 none).
extern int32_t dunWaypointTotal;

// Placement.
Vec3d dunRandomPointBetween(Mat4 *out, SceneItem *a, SceneItem *b, float distance);
Vec3d dunRandomPlacement(Mat4 *out, SceneItem *a, SceneItem *b, float distance);
void dunPlaceNearObject(SceneItem *near, SceneItem *item);

// The tracking list and stock-ship launches.
struct TrackNode {
    TrackNode *next;
    uint32_t mask;
    SceneItem *object;
    uint16_t bitCount;
    uint16_t system;
};
void dunTrackObject(SceneItem *item, uint32_t mask);
void dunUntrackObject(SceneItem *item);
void dunClearTargetList();
void dunFreeTrackChain(TrackNode *node);
TrackNode *dunTrackListHead();
void dunLaunchStockNearby();
SceneItem *dunPickRandomTarget(SceneItem *ship, SceneItem *previous);
// The most stock ships the launcher keeps alive (the mission's limit).
extern int32_t dunStockShipLimit;

// Script table routines.
void dunSimChaos(SceneItem *item);
void dunSimStargate(SceneItem *gate);
void dunShuffleGateKeys(SceneItem *gate);

// Belt motion.
Particle *dunTakeNearestPoint(ParticleSystem *points, SceneItem *item);
void dunMoveToNextPoint(SceneItem *item);
void dunReleasePoint(SceneItem *item);
void dunAimAtGoal(SceneItem *item);
void dunControlAsteroid(SceneItem *item);
void dunReplaceBeltObject(SceneItem *item);
// "FIXED_AST": replaced belt objects keep still.
extern uint8_t dunFixedAsteroids;

// Cockpit routines.
void dunUpdateViewFlag();
void dunCycleViewMode();

// The mine's control routine.
void dunControlTargetPicker(SceneItem *mine);

// Ambience: a random chatter sound every few seconds while enabled.
void dunRandomAmbientEvent();
extern uint8_t dunAmbienceEnabled;
extern int32_t dunAmbienceCountdown;
extern int32_t dunAmbientEventVolume;

// The module's per-mission state back to its start.
void dunResetObjectRoutines();
