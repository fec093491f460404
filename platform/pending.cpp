// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "core/pending.h"
#include "platform/display.h"
#include "platform/sound.h"

static bool Display3dOpen(DisplayMode *) {
    PENDING_ONCE("Display3dOpen");
    return false;
}
static void Display3dClose() { PENDING_ONCE("Display3dClose"); }
static void Display3dNothing(DisplayMode *) {}
static void Display3dNothingVoid() {}
static void Display3dPresent(DisplayMode *) { PENDING_ONCE("Display3dPresent"); }
static void Display3dBeginFrame(DisplayMode *) { PENDING_ONCE("Display3dBeginFrame"); }
static void Display3dNoPalette(PaletteEntries) {}
static void Display3dSetPalette(PaletteEntries entries) {
    LastPalette = entries;
    PENDING_ONCE("Display3dSetPalette");
}
static void Display3dLoadPalette(PaletteEntries entries) {
    LastPalette = entries;
    PENDING_ONCE("Display3dLoadPalette");
}

const DisplayDriver Display3dDriver = {
    Display3dOpen,       Display3dClose,      Display3dNothing,    Display3dPresent,
    Display3dBeginFrame, Display3dNothingVoid, Display3dNoPalette, Display3dSetPalette,
    Display3dLoadPalette,
};

void Display3dClear(int) { PENDING_ONCE("Display3dClear"); }

