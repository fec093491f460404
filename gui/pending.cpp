// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "app/interim.h"
#include "gui/feed.h"
#include "gui/front.h"
#include "gui/gui.h"

void (*gKeyHandler)(uint16_t key);
void *gCurrentCamera;
int32_t gCurrentStation;
uint8_t gFrozen, gPanelOpen, gDocViewerOpen, gObjectivesOpen, gLocalSpaceOpen, gGuiScriptLoading;
BitmapFont *gFeedFont;

void guiInit() { PENDING_ONCE("guiInit"); }
void guiResetWindows() { PENDING_ONCE("guiResetWindows"); }
void guiUpdate() { PENDING_ONCE("guiUpdate"); }
void guiRedrawCockpit() { PENDING_ONCE("guiRedrawCockpit"); }
void guiMarkRedraw() { PENDING_ONCE("guiMarkRedraw"); }
void guiEndMission() { PENDING_ONCE("guiEndMission"); }
void guiSetScreen(const char *) { PENDING_ONCE("guiSetScreen"); }
void guiDrawComArm() { PENDING_ONCE("guiDrawComArm"); }
void guiEngSelectReactor() { PENDING_ONCE("guiEngSelectReactor"); }
void guiEnterFullScreen() { PENDING_ONCE("guiEnterFullScreen"); }
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
