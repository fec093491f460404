// Camera routines (control routines of camera objects), the event camera,
// the action camera and the look-around, with the view state the cockpit
// sets beside them.
#pragma once

#include <cstdint>

#include "RES/vecmath.h"
#include "present/scene.h"
#include "world/records.h"

void CameraPlayer(SceneItem *camera);
void CameraTrack(SceneItem *camera);
// Drifts by the camera's velocity, then tracks.
void CameraDriftTrack(SceneItem *camera);
void CameraChase(SceneItem *camera);
void CameraExternalSmooth(SceneItem *camera);
void CameraContact(SceneItem *camera);
void CameraTargetFromShip(SceneItem *camera);
void CameraViewWindow(SceneItem *camera);

// Raised whenever the view camera jumps: the star field is rebuilt and the
// motion streaks restart.
extern uint8_t gCameraCut[2];
// The contact camera shows the current contact.
extern uint8_t gContactCamera;
// The subject the script or the contact list gives the contact camera.
extern SceneItem *gContactSubject;
// The look-around: the look matrix, the looking flag and the two angles.
extern Mat4 gLookMatrix;
extern uint8_t gLooking;
extern float gLookYaw, gLookPitch;
void LookReset();
// The cockpit camera's shake: count-down and length in centiseconds.
extern int16_t gShakeCount, gShakeLength;
// The next look update divides the pilot's demands by 4.
extern uint8_t gLookDamping;
// The six look commands (R_LOOK_FORWARD .. R_LOOK_DOWN, 203 .. 208) are held
// keys, bound by the key-binding script: a look is active while its key is
// down and the left Shift key-state byte, taken as signed, equals `shift`
// (the negated modifier).
constexpr uint16_t kFirstLookCommand = 203, kLastLookCommand = 208;
struct LookKey {
    uint16_t scan;
    int16_t shift;
};
extern LookKey gLookKeys[kLastLookCommand - kFirstLookCommand + 1];
// The label of the player camera's routine kind.
extern const char *gViewLabel;

// The weapon camera, as the weapons station sets it: the target view (0:
// the view from the current mount), forward tracking of the target, and the
// view flag (1 while the current weapon tracks by itself). The mount view
// keeps its arc, its yaw and pitch in degrees, and the view matrix it made.
struct ArcOutline;
extern uint8_t gWeaponCameraTargetView;
extern uint8_t gWeaponForwardTracking;
extern uint8_t gWeaponViewFlag;
extern ArcOutline gWeaponMount;
extern float gWeaponMountYaw, gWeaponMountPitch;
extern Mat4 gWeaponMountMatrix;

// The cinematic: a cinematic, the action camera or director mode drives the
// view. Its subject and second object, hold (centiseconds), distance factor,
// the camera lock (the script's camera command holds the camera) and the
// sequence lock.
extern uint8_t gCinematicView;
extern int16_t gCinematicHold;
extern float gCinematicDistance;
extern SceneItem *gCinematicSubject;
extern SceneItem *gCinematicSecond;
extern uint8_t gCameraLock;
extern uint8_t gSequenceLock;

// Event rows: routine, alternative, priority, mode, hold (centiseconds).
struct CameraEventRow {
    ControlRoutine routine;
    ControlRoutine alternative;
    int32_t priority;
    int32_t mode;
    int32_t hold;
};
inline constexpr int kCameraEventRows = 13;
inline constexpr int kScriptCameraRow = 12;
extern CameraEventRow gCameraEvents[kCameraEventRows];
// Per-row enable (all on for each mission), the table's enable, the current
// row, the last cut (game clock) and the action camera's interval.
extern uint8_t gCameraEventEnable[kCameraEventRows];
extern uint8_t gCameraEventsOn;
extern int32_t gEventRow;
extern int32_t gLastCut;
extern int32_t gActionInterval;

// The cockpit's views, installed by the GUI (null entries do nothing): the
// cinematic's full-screen view entered (view state saved, screen
// remembered) and left again, a fixed camera dropped at the viewpoint, a
// redraw, whether the full-screen view is up and whether a station screen is.
struct CameraViewHooks {
    void (*enterCinematic)();
    void (*endCinematic)();
    void (*dropCamera)();
    void (*redraw)();
    bool (*fullScreen)();
    bool (*onStation)();
};
extern CameraViewHooks gCameraViewHooks;
