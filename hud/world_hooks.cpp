// The HUD's side of the world's calls.
#include "hud/hud.h"
#include "hud/missionlog.h"
#include "script/mission.h"
#include "world/services.h"

void hudInstallWorldHooks() {
    // The world's free texts are logged at the mission clock.
    static const WorldHudHooks hooks = {
        MissionLogAdd, [](const char *text) { MissionLogAddText(gMissionClock, text); }, hudClearList,
        hudShiftPositions, hudMoveRecord, hudListMissile, hudRemoveOffSystemMarkers};
    WorldSetHudHooks(&hooks);
}
