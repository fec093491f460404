// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "core/pending.h"
#include "gui/cockpit.h"
#include "gui/docviewer.h"
#include "gui/pointer.h"
#include "gui/redraw.h"

int32_t guiPointerMarginX;
int32_t guiPointerMarginY;

// The shell's and the game frame's calls.
#include "gui/feed.h"
#include "gui/front.h"
#include "gui/gui.h"

void guiEngSelectReactor() { PENDING_ONCE("guiEngSelectReactor"); }
void guiGoToSelectedSystem(int) { PENDING_ONCE("guiGoToSelectedSystem"); }
uint8_t gObjectivesOpen, gLocalSpaceOpen;

#include "gui/station.h"

uint8_t gGuiHidden;
uint8_t gComClipsFrozen;
uint32_t guiFilmSkipFrame;

// Routines of the cockpit shell, stations, front end, options and message
// line that the window system and the screen table call.
uint8_t gGuiCockpitState;
void guiBuildComScreen() { PENDING_ONCE("guiBuildComScreen"); }
void guiBuildWepScreen() { PENDING_ONCE("guiBuildWepScreen"); }
void guiBuildEngScreen() { PENDING_ONCE("guiBuildEngScreen"); }

// The routines window statements give their windows.
#include "gui/bound.h"
#include "gui/window.h"
int8_t guiLoggerUpdate(GuiWindow *w) {
    PENDING_ONCE("guiLoggerUpdate");
    return guiDefaultHandler(w);
}
int8_t guiProfileUpdate(GuiWindow *w) {
    PENDING_ONCE("guiProfileUpdate");
    return guiDefaultHandler(w);
}

// What the world asks of the cockpit.
void guiPostPendingFeedText(int) { PENDING_ONCE("guiPostPendingFeedText"); }
const char *guiProximityWarningText() {
    PENDING_ONCE("guiProximityWarningText");
    return nullptr;
}

const char *guiStarLogFormat() {
    PENDING_ONCE("guiStarLogFormat");
    return nullptr;
}
int32_t guiHitHoldOff() {
    PENDING_ONCE("guiHitHoldOff");
    return 0;
}
void guiWepSelectPbc(int) { PENDING_ONCE("guiWepSelectPbc"); }
void guiWepSelectMissile(int) { PENDING_ONCE("guiWepSelectMissile"); }
bool guiStickBlocked() {
    PENDING_ONCE("guiStickBlocked");
    return false;
}
void guiSetReentryStatus(uint32_t) { PENDING_ONCE("guiSetReentryStatus"); }
void guiShowCockpitText(int, int) { PENDING_ONCE("guiShowCockpitText"); }
void guiShowFireResult(int) { PENDING_ONCE("guiShowFireResult"); }
bool guiRemoteBlocked() {
    PENDING_ONCE("guiRemoteBlocked");
    return false;
}
void guiSetRemoteView(int) { PENDING_ONCE("guiSetRemoteView"); }
void guiSetHitFlash(int32_t) { PENDING_ONCE("guiSetHitFlash"); }
const char *guiCockpitText(int) {
    PENDING_ONCE("guiCockpitText");
    return nullptr;
}

// The engineering station's leave step.
void guiEngLeaveStation() { PENDING_ONCE("guiEngLeaveStation"); }

// The mission runtime's calls.

// The command station's arc mirror and checkpoint list.
uint8_t gGuiArcMirror;
uint16_t guiMirrorArcCode(uint16_t code) {
    PENDING_ONCE("guiMirrorArcCode");
    return code;
}

// The autopilot's order routines.
#include "gui/autopilot.h"
void guiAutoStop(SceneItem *) { PENDING_ONCE("guiAutoStop"); }
void guiAutoApproach(SceneItem *) { PENDING_ONCE("guiAutoApproach"); }
void guiAutoFormate(SceneItem *) { PENDING_ONCE("guiAutoFormate"); }
void guiAutoDock(SceneItem *) { PENDING_ONCE("guiAutoDock"); }
void guiAutoStopRelative(SceneItem *) { PENDING_ONCE("guiAutoStopRelative"); }
void guiAutoPursue(SceneItem *) { PENDING_ONCE("guiAutoPursue"); }
void guiAutoEvade(SceneItem *) { PENDING_ONCE("guiAutoEvade"); }
void guiAutoLdaDefence(SceneItem *) { PENDING_ONCE("guiAutoLdaDefence"); }
void guiAutoMatchVelocity(SceneItem *) { PENDING_ONCE("guiAutoMatchVelocity"); }
void guiAutoLdsApproach(SceneItem *) { PENDING_ONCE("guiAutoLdsApproach"); }
void guiAutoLdsFormate(SceneItem *) { PENDING_ONCE("guiAutoLdsFormate"); }

// The command, weapons and engineering stations' parts the key handler calls.
int16_t gGuiChosenCheckpoint = -1;
// Until the command station's panel toggles are built, the viewer opens at
// its home page and closes, without closing the station's other panels.
void guiComToggleDocs(int open) {
    PENDING_ONCE("guiComToggleDocs");
    if (open) docOpenHome();
    else gDocViewerOpen = 0;
}
void guiComToggleObjectives(int open) {
    PENDING_ONCE("guiComToggleObjectives");
    gObjectivesOpen = gLocalSpaceOpen = open ? 1 : 0;
}
void guiOpenRemoteLink() { PENDING_ONCE("guiOpenRemoteLink"); }
void guiWepFire() { PENDING_ONCE("guiWepFire"); }
void guiWepToggleRapid() { PENDING_ONCE("guiWepToggleRapid"); }
void guiWepToggleForwardTrack() { PENDING_ONCE("guiWepToggleForwardTrack"); }
void guiEngMoveSelection(int) { PENDING_ONCE("guiEngMoveSelection"); }
void guiEngStepSelection(int) { PENDING_ONCE("guiEngStepSelection"); }
void guiEngAssignCrew(int) { PENDING_ONCE("guiEngAssignCrew"); }
