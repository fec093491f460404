// The settings the start-up scripts write.
#include "script/settings.h"

const char *gTextSlots[kTextSlots];
uint8_t gPanelColour[3] = {255, 255, 255};
const uint8_t *gCurrentPalette;
void *gScreenPicture;
char gExitFilm[260];
int32_t gBriefingDelay;
uint8_t gBriefingDeclared[4];
uint8_t gBriefingVideoShowing;

const char *ScriptTextSlot(int index) {
    if (index < 0 || index >= kTextSlots || !gTextSlots[index]) return "";
    return gTextSlots[index];
}
