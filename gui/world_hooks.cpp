// The GUI's side of the world's calls.
#include "gui/cockpit.h"
#include "gui/feed.h"
#include "gui/gui.h"
#include "gui/screen.h"
#include "gui/window.h"
#include "present/cameras.h"
#include "script/mission.h"
#include "world/records.h"
#include "world/services.h"

namespace {

void PlayerShipLost() {
    guiWreckDisplay = 1;
    guiStationLock = 1;
    if (guiEndCinematicMode)
        guiStartEndCinematic();
    else
        guiSetScreen("NAV");
    guiPlayerLostView = 1;
}

void FollowWreck(SceneItem *) {
    guiEnterFullScreen();
    guiFullScreenLock = 1;
}

bool OptionsScreenShown() { return StationId == 5; }

}  // namespace

void guiInstallWorldHooks() {
    static const WorldGuiHooks hooks = {
        guiSetDockedFlags,
        guiCloseComArm,
        guiNavStartProgram,
        guiPostPendingFeedText,
        guiDisplayMessage,
        guiProximityWarningText,
        guiStarLogFormat,
        guiHitHoldOff,
        guiSetInterference,
        PlayerShipLost,
        FollowWreck,
        OptionsScreenShown,
        [] { guiWepSelectPbc(0); },
        [] { guiWepSelectMissile(0); },
        guiThrottleUp,
        guiThrottleDown,
        guiStickBlocked,
        guiSetReentryStatus,
        [] { guiCapsuleJump(nullptr); },
        guiShowCockpitText,
        guiShowFireResult,
        guiRemoteBlocked,
        guiSetRemoteView,
        guiRedrawCockpit,
        guiClearScreen,
        guiPopFullScreen,
        [] { return StationId; },
        guiSetHitFlash,
        guiCockpitText,
        guiPostFeedText,
        guiSetWeaponView,
        guiCycleViewMode,
        // A component's widget is its node of the engineering schematic.
        [](void *widget, int colour) { static_cast<WireframeNode *>(widget)->colour = uint16_t(colour); },
    };
    WorldSetGuiHooks(&hooks);
    gCameraViewHooks = {
        [] {
            guiSaveViewState();
            guiRememberScreen();
            guiEnterFullScreen();
        },
        [] {
            // At a mission's end the end sequence owns the full-screen view
            // and counts its debriefing down there: a cut running out then
            // must not take the view away from it.
            if (gMissionEndState) return;
            guiRestoreViewMode();
            guiReturnToScreen();
        },
        guiDropCamera,
        guiMarkRedraw,
        [] { return gGuiFullScreen != 0; },
        [] { return StationId >= 1 && StationId <= 4; },
    };
}
