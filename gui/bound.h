// Routines that the window statements give the windows they make, owned by
// the cockpit shell and the engineering station: ship-system gauges, the
// system switch, history graphs and the dialogue window's buttons.
#pragma once

#include <cstdint>

struct GuiWindow;

int8_t guiUpdateInjectorGauge(GuiWindow *window);
int8_t guiUpdateSystemValue(GuiWindow *window);
int8_t guiUpdateSystemOutput(GuiWindow *window);
int8_t guiUpdateSystemLevel(GuiWindow *window);
int8_t guiLoggerUpdate(GuiWindow *window);
int8_t guiProfileUpdate(GuiWindow *window);
void guiToggleSystemFlag(GuiWindow *window);
void guiToggleDialogueWindow(GuiWindow *window);
void guiDialogueScrollUp(GuiWindow *window);
void guiDialogueScrollDown(GuiWindow *window);
// Shown while the system switches of the ship-system panels are offered.
extern uint8_t gGuiSystemButtonVisible;
