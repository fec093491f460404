// The local-space viewer: every object near the player drawn as a wireframe
// of its own model around a camera that orbits the chosen object, over a
// globe of rings or a flat plan grid; and the weapons station's display of
// the player ship's weapon mounts, which fill in as the weapon recharges.
#pragma once

#include <cstdint>

#include "RES/vecmath.h"

struct P3DPane;
struct SceneItem;
struct Weapon;
struct vt_model;

// Where a wireframe is seen from: the camera's place and its axes (rows:
// right, up, forward, as every object's matrix).
struct LSpaceCamera {
    Vec3d position;
    Mat4 matrix;
};

// The viewer camera and its orbit: angles and distance in thousandths (of
// degrees, of units), the 200-step blend from the previous target to the
// new one, the time shown, flags (1 far view, 2 fixed direction), the plan
// grid's plane (0 x-z, 1 x-y, 2 z-y) and zoom, and the objects looked at.
struct LSpaceViewer {
    LSpaceCamera camera;
    int32_t yaw, pitch, distance;
    int32_t wantYaw, wantPitch, wantDistance;
    int32_t blend;
    int32_t elapsed;
    uint32_t flags;
    int32_t drawMode;
    float zoom;
    SceneItem *target, *previousTarget, *viewed;
    Vec3d lookAt;
};
extern LSpaceViewer gLSpaceViewer;
// The plan grid instead of the ring globe (the map tools' option), and the
// world position under the mouse on the plan grid.
extern uint8_t gLSpacePlanGrid;
extern float gLSpaceCursor[3];
// Lines drawn by the viewer and the mount display since the count was last
// cleared (the tests and the benchmark read it).
extern uint32_t gLSpaceLines;

// The objects the last viewer frame drew and the lines of each.
struct LSpaceDrawnObject {
    const SceneItem *object;
    int lines;
};
constexpr int kLSpaceDrawnMax = 64;
extern LSpaceDrawnObject gLSpaceDrawn[kLSpaceDrawnMax];
extern int gLSpaceDrawnCount;

constexpr float kLSpaceProjection = 328.34f;
constexpr int kLSpaceBlendSteps = 200;

// Turns a world point into the camera's space and projects it: x' = scale
// x / z, y' = scale y / z, each clamped to +-30000 by its sign; z is kept.
void ProjectViewPoint(float out[3], float scale, const Vec3d &point, const LSpaceCamera &camera);

// The object looked at; a change keeps the previous one and starts the blend.
void LSpaceSetTarget(SceneItem *item);
// The object whose surroundings are shown: the orbit is taken from the
// camera's present offset to it.
void LSpaceSetViewedObject(SceneItem *item);
// Back to the start: no target, the orbit at rest.
void LSpaceViewerReset();
// One frame of the camera: elapsed time, orbit blend, blend of the look-at
// point from the previous target to the new one.
void LSpaceViewerControl();
// Draws the local-space display into the pane.
void LSpaceViewerDraw(P3DPane *pane);

// The colour of an object in the viewer: by its side flags, the player ship
// by its hull.
int LSpaceObjectColour(const SceneItem *object);
// Draws a model placed at the object's position and matrix as the edges of
// its faces turned towards the camera (mode 0 and 2: in the colour; mode 1:
// faces below mountFaces in 128, the rest in 64); the lines drawn.
int LSpaceDrawModel(const vt_model *model, const Vec3d &position, const Mat4 &matrix, int colour,
                    const LSpaceCamera &camera, int mode, int mountFaces = 0);

// The mount display of a weapon: the faces of a model of `faces` faces that
// show (all once reloaded, and all for a weapon that never reloads; none for
// an ammunition weapon with no rounds left), and the read-out text ("OUT" or
// the rounds left; empty for a beam weapon).
int WeaponMountFaces(const Weapon *weapon, int faces);
void WeaponMountText(const Weapon *weapon, char *out, int size);
// The mount models go with the library that holds them.
void WeaponHardpointsForget();
