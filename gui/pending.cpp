// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "core/pending.h"
#include "gui/cockpit.h"
#include "gui/pointer.h"
#include "gui/redraw.h"

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

// The shell's and the game frame's calls.
#include "gui/feed.h"
#include "gui/front.h"
#include "gui/gui.h"

void (*gKeyHandler)(uint16_t key);
void *gCurrentCamera;
uint8_t gPanelOpen, gDocViewerOpen, gObjectivesOpen, gLocalSpaceOpen, gGuiScriptLoading;
BitmapFont *gFeedFont;

void guiInit() { PENDING_ONCE("guiInit"); }
void guiResetWindows() { PENDING_ONCE("guiResetWindows"); }
void guiUpdate() { PENDING_ONCE("guiUpdate"); }
void guiRedrawCockpit() { PENDING_ONCE("guiRedrawCockpit"); }
void guiEndMission() { PENDING_ONCE("guiEndMission"); }
void guiDrawComArm() { PENDING_ONCE("guiDrawComArm"); }
void guiEngSelectReactor() { PENDING_ONCE("guiEngSelectReactor"); }
void guiCycleCamera(void *) { PENDING_ONCE("guiCycleCamera"); }
void guiGoToSelectedSystem(int) { PENDING_ONCE("guiGoToSelectedSystem"); }

void frontLaunchMission(int) { PENDING_ONCE("frontLaunchMission"); }
void frontLoadInitTable() { PENDING_ONCE("frontLoadInitTable"); }
void frontSetPalette() { PENDING_ONCE("frontSetPalette"); }

void guiResetTextFeed() { PENDING_ONCE("guiResetTextFeed"); }
void guiFreeTextFeed() { PENDING_ONCE("guiFreeTextFeed"); }
void guiPostFeedText(const char *, int) { PENDING_ONCE("guiPostFeedText"); }
bool guiTypeNextChar() {
    PENDING_ONCE("guiTypeNextChar");
    return false;
}
void guiDrawTextFeed(int, int, int, int) { PENDING_ONCE("guiDrawTextFeed"); }
void guiDrawBarSegmented(BarGauge *) { PENDING_ONCE("guiDrawBarSegmented"); }

#include "gui/station.h"

uint8_t gGuiHidden;
uint8_t gComClipsFrozen;
uint32_t guiFilmSkipFrame;
void guiLeaveStation() { PENDING_ONCE("guiLeaveStation"); }
GuiWindow *guiRootWindow() {
    PENDING_ONCE("guiRootWindow");
    return nullptr;
}
uint32_t guiWindowFlags(const GuiWindow *) { return 0; }
void guiDrawRaster(GuiWindow *) { PENDING_ONCE("guiDrawRaster"); }

#include "gui/timeline.h"

TimelineList gTimelinePlayed, gTimelineOpen;
void frontAddTimelineNode(const MissionRecord *) { PENDING_ONCE("frontAddTimelineNode"); }
void frontLayoutTimeline(TimelineList *) { PENDING_ONCE("frontLayoutTimeline"); }

// The mission runtime's calls.
uint8_t gGuiComArmOpen;
void guiPushFullScreen() { PENDING_ONCE("guiPushFullScreen"); }
void guiCloseComArmVideos() { PENDING_ONCE("guiCloseComArmVideos"); }
void guiNavCreatePrograms() { PENDING_ONCE("guiNavCreatePrograms"); }
void frontReturnScreen() { PENDING_ONCE("frontReturnScreen"); }
void guiDisplayMessage(const char *, int) { PENDING_ONCE("guiDisplayMessage"); }
