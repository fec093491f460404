// The GUI window manager, screens and cockpit stations.
#pragma once

#include <cstdint>

#include "gui/cockpit.h"

void guiInit();
void guiResetWindows();
void guiUpdate();
void guiEngSelectReactor();
void guiGoToSelectedSystem(int how);

// The current screen's key handler.
extern void (*gKeyHandler)(uint16_t key);
// Holding states that stop the simulation.
extern uint8_t gDocViewerOpen;
extern uint8_t gObjectivesOpen;
extern uint8_t gLocalSpaceOpen;
// Set while the GUI script of the language loads.
extern uint8_t gGuiScriptLoading;
// The command station's weapon-arc mirror switch and the mirrored arc code.
extern uint8_t gGuiArcMirror;
uint16_t guiMirrorArcCode(uint16_t code);
// The checkpoint list of the current slot and mission, refreshed; its count.
int guiRefreshSaveList();
// The checkpoint chosen in the checkpoint list (-1 none).
extern int16_t gGuiChosenCheckpoint;
// The command station's document viewer and objectives panel opened or
// closed (0 closes); the remote link.
void guiComToggleDocs(int open);
void guiComToggleObjectives(int open);
void guiOpenRemoteLink();
// The weapons station's fire, rapid fire and forward tracking.
void guiWepFire();
void guiWepToggleRapid();
void guiWepToggleForwardTrack();
// The engineering station's component selection (0 up, 1 down, 2 left, 3
// right; -1 and +1 the previous and next) and its crew assignment.
void guiEngMoveSelection(int direction);
void guiEngStepSelection(int step);
void guiEngAssignCrew(int crew);
