// What the films ask of the GUI: leaving a station, the current screen's
// root window and the flags that hold or freeze film clips.
#pragma once

#include <cstdint>

struct GuiWindow;

// Leaves the current station (and stops its film).
void guiLeaveStation();
// The engineering station's own step when the player leaves a station.
void guiEngLeaveStation();
// The current screen's root window; null when there is none.
GuiWindow *guiRootWindow();
// A window's flag word (0x10000: a stopped doubled film keeps the palette).
uint32_t guiWindowFlags(const GuiWindow *window);
// Draws a raster window into the screen surface.
void guiDrawRaster(GuiWindow *window);

extern uint8_t gGuiHidden;       // the GUI is not drawn
extern uint8_t gComClipsFrozen;  // the COM screen holds its clips on their last frame
// The frame counter when a skip key ended a film: the options screen ignores
// keys for a while after it.
extern uint32_t guiFilmSkipFrame;
