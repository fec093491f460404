#include "script/screens.h"

#include "world/services.h"

namespace {

InstalledHooks<ScriptGuiHooks> gui;
InstalledHooks<ScriptHudHooks> hud;

}  // namespace

void ScriptSetGuiHooks(const ScriptGuiHooks *hooks) { gui.table = hooks; }
void ScriptSetHudHooks(const ScriptHudHooks *hooks) { hud.table = hooks; }

const ScriptGuiHooks &ScriptGui() { return gui.get(); }
const ScriptHudHooks &ScriptHud() { return hud.get(); }
