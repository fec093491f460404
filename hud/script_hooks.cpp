// The HUD's side of the mission script's calls.
#include "hud/elements.h"
#include "hud/hud.h"
#include "hud/maps.h"
#include "hud/missionlog.h"
#include "script/screens.h"

namespace {

constexpr float kHudRangeAtStart = 400000.0f;

}  // namespace

void hudInstallScriptHooks() {
    static const ScriptHudHooks hooks = {
        [] { gHudRange = kHudRangeAtStart; },
        MissionLogReset,
        [](HUD *hud, SceneItem *item, Vec3 centre, Vec3 radii) {
            hudInitScriptHud(hud, item, 0, centre, radii);
            hudRegister(hud);
        },
        NavMapClearHighlights,
        [](HUD *hud, const char *label, SceneItem *item, double x, double y, double z) {
            hudInitMarker(hud, label, item, 0, x, y, z);
            hudRegister(hud);
        },
    };
    ScriptSetHudHooks(&hooks);
}
