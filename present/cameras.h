// Camera routines (control routines of camera objects) and the view state
// the cockpit sets beside them.
#pragma once

#include <cstdint>

#include "present/scene.h"

void CameraPlayer(SceneItem *camera);
void CameraTrack(SceneItem *camera);
void CameraChase(SceneItem *camera);
void CameraExternalSmooth(SceneItem *camera);
void CameraContact(SceneItem *camera);
void CameraTargetFromShip(SceneItem *camera);

// Raised whenever the view camera jumps: the star field is rebuilt and the
// motion streaks restart.
extern uint8_t gCameraCut[2];
// The contact camera shows the current contact.
extern uint8_t gContactCamera;
// The look-around: two angle words, the look matrix and its blend flag.
void LookReset();
// The distance factor of cinematic cameras, and the subject the script gives
// the cameras while a cinematic runs.
extern float gCinematicDistance;
extern SceneItem *gCinematicSubject;
