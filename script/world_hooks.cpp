// The mission script's side of the world's calls.
#include "script/mission.h"
#include "world/services.h"

void dunScriptInstallWorldHooks() {
    static const WorldScriptHooks hooks = {
        dunClearDialogue,
        [] { return gCurrentMission; },
        [](double x, double y, double z, int system, const char *name) {
            return CreateScriptWaypoint(x, y, z, system, -1, 0, name);
        },
        RemoveVitalObject,
        dunMissileHitPlayer,
        [](TrackNode *node) { dunLaunchStockShips(0, node); },
    };
    WorldSetScriptHooks(&hooks);
}
