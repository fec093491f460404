#include "world/services.h"

namespace {

InstalledHooks<WorldPresentHooks> present;
InstalledHooks<WorldAiHooks> ai;
InstalledHooks<WorldScriptHooks> script;
InstalledHooks<WorldGuiHooks> gui;
InstalledHooks<WorldHudHooks> hud;

}  // namespace

void WorldSetPresentHooks(const WorldPresentHooks *hooks) { present.table = hooks; }
void WorldSetAiHooks(const WorldAiHooks *hooks) { ai.table = hooks; }
void WorldSetScriptHooks(const WorldScriptHooks *hooks) { script.table = hooks; }
void WorldSetGuiHooks(const WorldGuiHooks *hooks) { gui.table = hooks; }
void WorldSetHudHooks(const WorldHudHooks *hooks) { hud.table = hooks; }

const WorldPresentHooks &dunPresent() { return present.get(); }
const WorldAiHooks &dunAi() { return ai.get(); }
const WorldScriptHooks &dunScript() { return script.get(); }
const WorldGuiHooks &dunGui() { return gui.get(); }
const WorldHudHooks &dunHud() { return hud.get(); }
