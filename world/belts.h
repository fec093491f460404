// Asteroid belts, the objects the belt check follows, the asteroids round
// the player's ship, and the objects that take a deleted belt object's place.
#pragma once

#include <cstdint>

#include "RES/vecmath.h"

struct SceneItem;

// One ring of a star system, in the plane y = 0.
struct Belt {
    SceneItem *centre;
    float radius;  // R
    float halfWidth;  // W
    float halfThickness;  // V
    uint16_t word;
};
constexpr int kMaxBelts = 8;
constexpr int kMaxTrackedBeltObjects = 8;
extern Belt dunBelts[kMaxBelts];
// The objects the belt check follows; a null entry stands for the player's ship.
extern SceneItem *dunBeltObjects[kMaxTrackedBeltObjects];
// The tracked object's distance to the nearest belt's ring (1e30 before the
// first check).
extern float dunNearestBeltDistance;

// A ring round the centre object; ignored when 8 exist.
void dunRegisterBelt(float radius, SceneItem *centre, bool aroundRoot);
// Index of the nearest belt or -1; inside 255 when the object lies in it.
int dunNearestBelt(const SceneItem *item, uint8_t *inside, Vec3 *towards);
// Per frame: each tracked object's inside-a-belt flag.
void dunUpdateBelts();
// Makes the player's ship the one tracked object.
void dunTrackPlayerInBelts();

// The asteroid models that loaded (small, medium, large in that order).
struct AsteroidClass {
    void *model;
    float radius;
};
constexpr int kAsteroidClasses = 3;
extern AsteroidClass dunAsteroidClasses[kAsteroidClasses];
extern int dunAsteroidClassCount;
// Loads the asteroid models once a run.
void dunLoadAsteroidModels();
// Forgets the loaded models (tests, a new run).
void dunForgetAsteroidModels();
// `count` asteroids round the player's ship (warns when there is none).
void dunCreateAsteroids(SceneItem *owner, int count);
// One asteroid round the player's ship (the replacement of a deleted one);
// null when no model loaded.
SceneItem *dunCreateAsteroid();
// Puts a belt-tracked ship somewhere new instead of deleting it.
void dunRecycleBeltObject(SceneItem *item);
void dunClearBeltTracking();
