#include "present/p3d.h"
// The game-wide settings that the start-up scripts write: text slots, data
// folders, look of the display, the exit film and the briefing gate's state.
// The language index is gLanguage (core/options.h); the folders are in
// core/files.h; key and joystick bindings are in gui/bindings.h.
#pragma once

#include <cstddef>
#include <cstdint>

// Text slots, filled by STRING from the language's text files and read by
// window help, the HUD, objectives and the front end.
constexpr int kTextSlots = 512;
extern const char *gTextSlots[kTextSlots];
// The text of a slot; "" for an empty slot or an index outside the table.
const char *ScriptTextSlot(int index);
// The text of a slot with `value` in place of its first "%s", "%i" or "%d"
// (a slot is data: it is never used as a format).
void FormatTextSlot(int index, const char *value, char *out, size_t size);
// The slot the mission-over text is posted from.
constexpr int kMissionOverTextSlot = 209;

extern const uint8_t *&gCurrentPalette;  // the palette SETVID and SETPALETTE made current
extern void *gScreenPicture;            // SETVID's screen picture (a raster)
// PANEL_COL is gPanelColour (present/views.h) and the exit film gExitFilm
// (present/p3d.h): the 3D view reads them.

// The start point chosen on the command line ("start1".."start4"), taken by
// BRIEFING; 0 none.
extern int32_t gChosenStart;

// The briefing gate (BRIEFING): the delay count in clock units and the
// declared flags of the four briefings, all cleared per mission.
extern int32_t gBriefingDelay;
extern uint8_t gBriefingDeclared[4];
// A briefing video is showing (a mission that ends then ends at once).
extern uint8_t gBriefingVideoShowing;
// STATIC: the screen-static level the GUI and HUD drawing read.
extern int32_t gScreenStatic;
