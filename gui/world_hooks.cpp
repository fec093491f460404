// The GUI's side of the world's calls.
#include "gui/cockpit.h"
#include "gui/gui.h"
#include "world/services.h"

void guiInstallWorldHooks() {
    static const WorldGuiHooks hooks = {
        guiSetDockedFlags,  guiToggleComArm,         guiNavStartProgram, guiPostPendingFeedText,
        guiDisplayMessage,  guiProximityWarningText, guiStarLogFormat,   guiHitHoldOff,
        guiSetInterference,
        [] { guiWepSelectPbc(0); },
        [] { guiWepSelectMissile(0); },
        guiThrottleUp,
        guiThrottleDown,
        guiStickBlocked,
        guiSetReentryStatus,
        guiCapsuleJump,
        guiShowCockpitText,
        guiShowFireResult,
        guiRemoteBlocked,
        guiSetRemoteView,
        guiRedrawCockpit,
        guiClearScreen,
        guiPopFullScreen,
    };
    WorldSetGuiHooks(&hooks);
}
