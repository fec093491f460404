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
