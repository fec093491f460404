// The star map, the solar navigation map and the in-flight map overlay:
// the universe in wireframe on the command station's "SolarMap" window.
#pragma once

#include <cstdint>

#include "RES/vecmath.h"

struct GuiWindow;
struct StarRecord;
struct BodyRecord;
struct NavMapBodyEntry;

// The visibility bytes of the map's windows: the map, its galaxy and solar
// panels, the station's real view (shown while the map is closed), and the
// in-flight overlay with its companion flag.
extern uint8_t gStarMapOpen;
extern uint8_t gSolarMapOpen;    // the solar panel
extern uint8_t gGalaxyMapOpen;   // the galaxy panel
extern uint8_t gMapRealView;     // "CMDRealV"
extern uint8_t gMapOverlayOpen;
extern uint8_t gMapOverlayCompanion;
// While set the map neither opens nor closes.
extern uint8_t gNavMapLock;

constexpr int kNavMapRingPoints = 32;
// 0..23 the galaxy globe, 24..47 the entered system's star, from 48 orbits.
constexpr int kNavMapGlobeRings = 24;
constexpr int kNavMapOrbitRing = 48;
constexpr int kNavMapRings = kNavMapOrbitRing + 100;
constexpr int kNavMapLanes = 31;

struct NavMapRing {
    Vec3 points[kNavMapRingPoints];
    NavMapBodyEntry *entry;
    uint32_t colour;  // red in the low byte
    uint8_t built;
};

struct NavMapLane {
    StarRecord *a, *b;
    uint8_t highlight;
    NavMapLane *next, *prev;
};

struct NavMapCamera {
    Vec3d right, up, forward;  // the matrix rows
    Vec3d eye;
    double base[3][3];  // base orientation
    Vec3d centre, lookAt, flightCentre;
    Vec3d lookAtRate;  // per centisecond
    double yawRate, heightRate, distanceRate;
    double distance;
    float yaw;  // degrees
    double height;
    int32_t timeLeft;  // centiseconds
    uint8_t flying;
    Vec3d targetEye;
};

struct NavMapState {
    NavMapCamera camera;
    NavMapRing rings[kNavMapRings];
    int ringCount;
    NavMapLane lanes;  // the list's sentinel
    NavMapLane lanePool[kNavMapLanes];
    int laneCount;
    uint32_t bodyFilter;  // 0x42 at the start; the star filter is dunStarMap's
    StarRecord *focusStar;
    int16_t focusEntry;  // the body entry the camera flew to; -1 none
    StarRecord *routeStar;
    const char *lpStarName;
    float pressX, pressY, pressYaw;
    double pressHeight;
    GuiWindow *mapWindow;
    GuiWindow *filterButtons[6];
};
extern NavMapState gNavMap;

// ---- Opening and closing ------------------------------------------------------------------

void NavMapOpenClose(int reserved);
void NavMapToggle();
// Turns the overlay off; whether it was on.
bool NavMapCloseOverlay(int reserved);
void NavMapCloseIfOpen();
// Clears the route mark of both stars of every lane.
void NavMapClearHighlights();
// While the map is open: a letter selects the next star or body of that
// initial; true when the key was taken.
bool NavMapKeyHandler(uint16_t key);
// The map's windows bound (the end of the command station's build, and the
// "Debug" screen's build).
void NavMapScreenBuild();
void NavMapRegisterScreen();
// Everything back to a fresh run's state (tests, mission end).
void NavMapReset();

// ---- Building -------------------------------------------------------------------------------

void NavMapBuildRing(int ring, const Vec3d &centre, double radius, float yaw, const double matrix[3][3]);
void NavMapBuildGlobe(const Vec3d &centre, double radius, int firstRing, uint32_t colour);
int NavMapBuildOrbits(int system, int firstRing);
void NavMapColourOrbits();
int NavMapBuildLanes(int missionNumber);
void NavMapSplitBodyNames();

// ---- Camera, picking, zoom --------------------------------------------------------------------

void NavMapCameraStep(int dt);
void NavMapStartFlight(const Vec3d &targetEye, int duration);
void NavMapSyncCamera();
void NavMapLookAt();
void NavMapFlyToStar(StarRecord *star);
void NavMapFlyToBody(NavMapBodyEntry *entry);
void NavMapZoomIn(GuiWindow *window);
void NavMapZoomOut(GuiWindow *window);
void NavMapEnterSystem(GuiWindow *window);
void NavMapLeaveSystem(GuiWindow *window);
void NavMapSelectDestination(GuiWindow *window);
// The nearest star (body entry) to a screen point under the filter, by
// |dx| + |dy| below 1000; null (-1) when none.
StarRecord *NavMapPickStar(float x, float y);
int NavMapPickBody(float x, float y);
void NavMapPress(GuiWindow *window);
void NavMapMouseDown(GuiWindow *window);

// ---- Drawing ----------------------------------------------------------------------------------

// The projection scale of a view width.
inline double NavMapScale(int left, int right) { return double(right - left) / 1.547005; }
// Camera-space point c and screen point (relative to the view's centre).
void NavMapProjectPoint(const NavMapCamera &camera, const Vec3d &p, double scale, Vec3d *c, float *sx,
                        float *sy, float *depth);
int NavMapOutcode(float x, float y, int16_t left, int16_t top, int16_t right, int16_t bottom);
// Cohen-Sutherland in floats; false when nothing is left. The points are cut
// in place.
bool NavMapClipLine(float *x0, float *y0, float *x1, float *y1, int16_t left, int16_t top, int16_t right,
                    int16_t bottom);
// Cuts a camera-space line at the near plane; false when both ends lie
// behind it. Screen points are centred.
bool NavMapClipNear(Vec3d c0, Vec3d c1, float *x0, float *y0, float *x1, float *y1, double scale, float cx,
                    float cy);
// The brightness of segment k of a projected ring (b the ring's).
float NavMapRingShade(float depth, float nearDepth, float farDepth, float b);
void NavMapDraw(GuiWindow *window);
// Lines drawn by the last NavMapDraw.
extern int gNavMapLinesDrawn;

// ---- The universe's calls into the map ---------------------------------------------------------
// The galaxy globe round a centre, the lanes and aliases laid out again,
// the system's rings written as a mesh when asked, the camera flown to a
// star or a body entry.
void NavMapBuildOrbitRing(float x, float y, float z, float radius);
void NavMapLayoutBodies();
void NavMapBuildBodyMesh(int system);
void NavMapZoomToBody(StarRecord *star);
void NavMapCentreOnBody(int entry);
