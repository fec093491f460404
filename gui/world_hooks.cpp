// The GUI's side of the world's calls.
#include "gui/cockpit.h"
#include "gui/feed.h"
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
        guiSetDockedFlags,  guiCloseComArm,          guiNavStartProgram, guiPostPendingFeedText,
        guiDisplayMessage,  guiProximityWarningText, guiStarLogFormat,   guiHitHoldOff,
        guiSetInterference, PlayerShipLost,          FollowWreck,        OptionsScreenShown,
    };
    WorldSetGuiHooks(&hooks);
}
