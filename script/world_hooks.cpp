// The mission script's side of the world's calls.
#include "script/mission.h"
#include "world/services.h"

void dunScriptInstallWorldHooks() {
    static const WorldScriptHooks hooks = {
        dunClearDialogue,
        [] { return gCurrentMission; },
    };
    WorldSetScriptHooks(&hooks);
}
