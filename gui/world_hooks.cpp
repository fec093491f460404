// The GUI's side of the world's calls.
#include "gui/cockpit.h"
#include "gui/feed.h"
#include "world/services.h"

void guiInstallWorldHooks() {
    static const WorldGuiHooks hooks = {
        guiSetDockedFlags,  guiCloseComArm,          guiNavStartProgram, guiPostPendingFeedText,
        guiDisplayMessage,  guiProximityWarningText, guiStarLogFormat,   guiHitHoldOff,
        guiSetInterference,
    };
    WorldSetGuiHooks(&hooks);
}
