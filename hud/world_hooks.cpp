// The HUD's side of the world's calls.
#include "hud/hud.h"
#include "hud/missionlog.h"
#include "world/services.h"

void hudInstallWorldHooks() {
    static const WorldHudHooks hooks = {MissionLogAdd, MissionLogAddText, hudClearList, hudShiftPositions,
                                        hudMoveRecord, hudListMissile};
    WorldSetHudHooks(&hooks);
}
