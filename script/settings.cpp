// The settings the start-up scripts write.
#include "script/settings.h"

#include "RES/gfx2d.h"

const char *gTextSlots[kTextSlots];
// The 2D library's palette: what SETVID and SETPALETTE make current is what
// 8-bit pictures, glyphs and lines are shown with at 16 bits per pixel.
const uint8_t *&gCurrentPalette = CurrentPalette;
void *gScreenPicture;
int32_t gBriefingDelay;
uint8_t gBriefingDeclared[4];
uint8_t gBriefingVideoShowing;

const char *ScriptTextSlot(int index) {
    if (index < 0 || index >= kTextSlots || !gTextSlots[index]) return "";
    return gTextSlots[index];
}
