// The settings the start-up scripts write.
#include "script/settings.h"

#include <cstdio>
#include <cstring>

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

void FormatTextSlot(int index, const char *value, char *out, size_t size) {
    if (!out || size == 0) return;
    const char *text = ScriptTextSlot(index);
    const char *at = text;
    while ((at = std::strchr(at, '%')) && at[1] != 's' && at[1] != 'i' && at[1] != 'd') at += at[1] ? 2 : 1;
    if (at)
        std::snprintf(out, size, "%.*s%s%s", int(at - text), text, value ? value : "", at + 2);
    else
        std::snprintf(out, size, "%s", text);
}
