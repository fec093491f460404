// The kinds of HUD element: each constructor fills a record taken from the
// world's HUD pool and installs its rebuild, per-frame and draw routines;
// the routines themselves; the projection of a record shown alone in a
// station window; the power-share marker and the distorted drawing.
#pragma once

#include <cstdint>

#include "RES/vecmath.h"

struct HUD;
struct SceneItem;
struct GuiWindow;

// ---- Constructors: (record, target or null, parameter) unless said ---------------------------

// Brackets, pointers and labels of the contacts.
void hudInitTargetingHud(HUD *hud, SceneItem *target, uint32_t parameter);
// The radar sphere seen from a viewing distance (8000 when not above 0),
// hung on a station window.
void hudInitOrbSphere(HUD *hud, SceneItem *target, uint32_t parameter, int32_t viewingDistance);
// Motion streaks round the camera.
void hudInitSpeedStreaks(HUD *hud, SceneItem *target, uint32_t parameter);
// A labelled cube on an object, or at a world point without one.
void hudInitMarker(HUD *hud, const char *label, SceneItem *target, uint32_t parameter, double x = 0, double y = 0,
                   double z = 0);
// The marker of the navigation point nearest in front of the camera: its
// first shape (an arrow and a ring) and its second (with the funnel of
// rings) in one record.
void hudInitLagrangeMarker(HUD *hud, const char *label);
constexpr int kHudLagrangeShape1Points = 16, kHudLagrangeShape1Edges = 15;
constexpr int kHudLagrangeShape2Points = 88, kHudLagrangeShape2Edges = 135;
void hudInitGnomon(HUD *hud, SceneItem *target, uint32_t parameter);
void hudInitMountMarkers(HUD *hud, SceneItem *target, uint32_t parameter);
// A ribbon behind a contact; the parameter numbers it.
void hudInitTrail(HUD *hud, SceneItem *target, uint32_t parameter);
void hudInitCrossHud(HUD *hud, SceneItem *target, uint32_t parameter);
void hudInitWeaponArcs(HUD *hud, SceneItem *target, uint32_t parameter);
// A wire globe of the given radii round a centre (in the target's frame).
void hudInitScriptHud(HUD *hud, SceneItem *target, uint32_t parameter, Vec3 centre, Vec3 radii,
                      const char *label = nullptr);
void hudInitSubsystemBoxes(HUD *hud, SceneItem *target, uint32_t parameter);
void hudInitTargetOutline(HUD *hud, SceneItem *target, uint32_t parameter);
void hudInitPerimeterBox(HUD *hud, SceneItem *target, uint32_t parameter);

// ---- The routines the constructors install ---------------------------------------------------

void hudDrawTargeting(HUD *hud);
void hudOrbFollow(HUD *hud);
void hudDrawOrb(HUD *hud);
void hudDrawStreaks(HUD *hud);
void hudDrawMarker(HUD *hud);
void hudLagrangeFollow(HUD *hud);
void hudDrawLagrange(HUD *hud);
void hudDrawGnomon(HUD *hud);
void hudTrailSample(HUD *hud);
void hudOutlineFollow(HUD *hud);
void hudDrawOutline(HUD *hud);
void hudDrawPerimeter(HUD *hud);

// ---- Shared state ------------------------------------------------------------------------------

// The streak lattice's spacing (10^k, initially 100,000) and its coarse
// spacing; the radar spheres scale by it too.
extern float hudStreakSpacing;
extern float hudStreakCoarse;
// The trails' follow mode, reset whenever the HUD opens and at mission end.
extern uint8_t hudTrailFollowMode;
// The selected contact's mark on screen (relative to the view's centre),
// kept by the contact drawing for the cockpit marks.
extern float hudSelectedMarkX, hudSelectedMarkY;
// The targeted sub-system is too far away for its outline.
extern uint8_t hudOutlineTooFar;
// The sphere display mode (ORBTYPE): 1 shows the flat radar.
extern int32_t hudSphereMode;

// The streak lattice's exponent for a speed (o = 0.6021, or 0.302 in the
// drive): floor(log10|v| + o), below 5 taken as 5 and above 10 as 12.
int hudStreakExponent(float speed, bool inDrive);
// The contact drawing's side colour of a contact's side bits.
int hudContactColour(uint32_t side);

// ---- Projection and drawing of records shown alone ------------------------------------------

// The record hung on the current view window (set for one call), and the
// projection factor its last projection used.
extern HUD *hudInViewRecord;
extern float hudInViewFactor;
// Runs the record's per-frame routine (unless frozen) and projects its
// points (camera-space already) with the view's factor.
void hudProjectInView();
// The power-share marker round (x, y) for a triangle of the given size.
void hudDrawPowerTriangle(float size, int x, int y);
// The power-share marker's colour for shares A, B and C.
int hudPowerTriangleColour(float a, float b, float c);
// The interference-time drawing of a record: scattered horizontal strokes.
void hudDrawDistorted(HUD *hud);

// ---- Off-screen pointers -----------------------------------------------------------------------

// Scales (x, y) so that it meets the edge of the rectangle (l, t, r, b) and
// returns the side hit: 0 left, 1 top, 2 right, 3 bottom.
int hudClipToRect(float *x, float *y, float l, float t, float r, float b);
// The same with the side chosen by the signs of the components first (for
// targets behind the camera).
int hudClipBySigns(float *x, float *y, float l, float t, float r, float b);
