// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "app/log.h"
#include "gui/cockpit.h"
#include "gui/pointer.h"
#include "gui/redraw.h"

#define PENDING_ONCE(name)                         \
    do {                                           \
        static bool said = false;                  \
        if (!said) {                               \
            said = true;                           \
            dunDebugPrint("not built yet: " name); \
        }                                          \
    } while (0)

void guiMarkRedraw() { PENDING_ONCE("guiMarkRedraw"); }

int32_t guiPointerMarginX;
int32_t guiPointerMarginY;

int32_t guiCurrentStation = 1;
uint8_t guiEndCinematicMode = 0;
uint8_t guiPlayerLostView = 0;
uint8_t guiStationLock = 0;
uint8_t guiWreckDisplay = 0;
uint8_t guiFullScreenLock = 0;

void guiSetScreen(const char *) { PENDING_ONCE("guiSetScreen"); }
void guiStartEndCinematic() { PENDING_ONCE("guiStartEndCinematic"); }
void guiEnterFullScreen() { PENDING_ONCE("guiEnterFullScreen"); }

#include "gui/station.h"

uint8_t gGuiHidden;
uint8_t gComPanelOpen;
uint8_t gComClipsFrozen;
uint32_t guiFilmSkipFrame;
void guiLeaveStation() { PENDING_ONCE("guiLeaveStation"); }
GuiWindow *guiRootWindow() {
    PENDING_ONCE("guiRootWindow");
    return nullptr;
}
uint32_t guiWindowFlags(const GuiWindow *) { return 0; }
void guiDrawRaster(GuiWindow *) { PENDING_ONCE("guiDrawRaster"); }
