// The HUD's side of the world's calls.
#include "hud/elements.h"
#include "hud/hud.h"
#include "hud/maps.h"
#include "hud/missionlog.h"
#include "script/mission.h"
#include "world/services.h"

void hudInstallWorldHooks() {
    // The world's free texts are logged at the mission clock.
    static const WorldHudHooks hooks = {
        MissionLogAdd,
        [](const char *text) { MissionLogAddText(gMissionClock, text); },
        hudClearList,
        hudShiftPositions,
        hudMoveRecord,
        hudListMissile,
        hudRemoveOffSystemMarkers,
        [](HUD *hud, const char *label, SceneItem *item, double x, double y, double z) {
            hudInitMarker(hud, label, item, 0, x, y, z);
            hudRegister(hud);
        },
        NavMapBuildOrbitRing,
        NavMapLayoutBodies,
        NavMapBuildBodyMesh,
        NavMapZoomToBody,
        NavMapCentreOnBody,
        NavMapClearHighlights,
        hudInitPerimeterBox,
    };
    WorldSetHudHooks(&hooks);
}
