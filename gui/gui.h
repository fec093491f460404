// The GUI window manager, screens and cockpit stations.
#pragma once

#include <cstdint>

void guiSetScreen(const char *name);
void guiEnterFullScreen();
void guiStartEndCinematic();

// The current station (1 command, 3 WEP, 4 ENG, 5 options).
extern int32_t gCurrentStation;
// The game is frozen (the simulation's pause): only the controlled object
// moves and nothing is posted.
extern uint8_t gFrozen;
extern uint8_t guiEndCinematicMode;   // the game ends missions with the end cinematic
// Display flags raised when the player's ship is lost: the view follows the
// remains and the stations are locked.
extern uint8_t guiPlayerLostView;
extern uint8_t guiStationLock;
extern uint8_t guiWreckDisplay;
extern uint8_t guiFullScreenLock;
