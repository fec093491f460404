// Cockpit shell words and screen switches the world uses.
#pragma once

#include <cstdint>

extern int32_t guiCurrentStation;     // 3 WEP, 4 ENG, 5 options
extern uint8_t guiEndCinematicMode;   // the game ends missions with the end cinematic
// Display flags raised when the player's ship is lost: the view follows the
// remains and the stations are locked.
extern uint8_t guiPlayerLostView;
extern uint8_t guiStationLock;
extern uint8_t guiWreckDisplay;
extern uint8_t guiFullScreenLock;

void guiSetScreen(const char *name);
void guiStartEndCinematic();
void guiEnterFullScreen();
// The start of a cinematic: the view state is saved and the full-screen view
// shown.
void guiPushFullScreen();
void guiCloseComArmVideos();
// The comms arm is open.
extern uint8_t gGuiComArmOpen;
// The navigation station's autopilot programs and the cockpit HUD set
// (mission start).
void guiNavCreatePrograms();
