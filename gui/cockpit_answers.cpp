// What the cockpit answers the world: its texts (the numbered texts of the
// text slots), the warnings and fire results on the message line, whether
// a cockpit mode takes the stick or refuses a remote link, the remote
// link's view, the hit flash of a controlled craft and the approach report
// of a touched body.
#include <cstring>

#include "core/frame.h"
#include "gui/cockpit.h"
#include "gui/docviewer.h"
#include "gui/feed.h"
#include "gui/gui.h"
#include "gui/window.h"
#include "hud/maps.h"
#include "present/cameras.h"
#include "present/effects.h"
#include "present/p3d.h"
#include "present/views.h"
#include "script/mission.h"
#include "script/settings.h"

uint8_t gWepFlightSwitch;
uint32_t gGuiReentryStatus;
int32_t gGuiHitFlash;

namespace {

// The view mode the remote link's view replaced.
uint8_t gViewModeBeforeRemote;

// The cockpit's message line is quiet while the screens show the lost
// ship or the mission is leaving, and in help mode, whose texts it shows.
bool MessagesMuted() { return guiPlayerLostView || gMissionEndState == 2 || gGuiHelpMode; }

}  // namespace

const char *guiCockpitText(int index) {
    const char *text = ScriptTextSlot(index);
    return text && *text ? text : nullptr;
}

const char *guiProximityWarningText() { return guiCockpitText(kProximityWarningText); }

const char *guiStarLogFormat() { return guiCockpitText(kStarLogText); }

void guiShowCockpitText(int index, int ticks) {
    if (const char *text = guiCockpitText(index)) guiDisplayMessage(text, ticks);
}

void guiShowFireResult(int result) {
    if (result < 1 || result > 4 || MessagesMuted()) return;
    guiShowCockpitText(kFireResultTexts + result, 200);
}

// The cockpit shakes for a while after a jolt; no new one is felt before
// it has settled.
int32_t guiHitHoldOff() { return gShakeCount; }

bool guiStickBlocked() {
    if (StationId == 3 && !gWepFlightSwitch) return true;
    return gStarMapOpen || gSolarMapOpen || gMapOverlayOpen || gDocViewerOpen || guiPlayerLostView;
}

void guiSetReentryStatus(uint32_t bits) { gGuiReentryStatus = bits; }

bool guiRemoteBlocked() { return guiStationLock || guiPlayerLostView || StationId == 5; }

void guiSetRemoteView(int on) {
    if (on) {
        gViewZoomRequest = 0;
        gViewZoomState = 2;
        gP3D.zoomFactor = 1.0f;
        gViewModeBeforeRemote = gViewWindowMode;
        gViewWindowMode = 2;
    } else {
        gViewWindowMode = gViewModeBeforeRemote;
    }
    gCameraCut[0] = gCameraCut[1] = 1;
}

void guiSetHitFlash(int32_t value) { gGuiHitFlash = value < 0 ? 0 : value > kHitFlashMax ? kHitFlashMax : value; }

void guiShowHitFlash() {
    if (gGuiHitFlash <= 0) return;
    P3DSetFlashBrightness(kP3DClearColour + gGuiHitFlash);
    gGuiHitFlash -= dunFrameStep;
}
