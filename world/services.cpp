#include "world/services.h"

namespace {

template <class T>
struct Installed {
    const T *table = nullptr;
    const T &get() const {
        static const T none{};
        return table ? *table : none;
    }
};

Installed<WorldPresentHooks> present;
Installed<WorldAiHooks> ai;
Installed<WorldScriptHooks> script;
Installed<WorldGuiHooks> gui;
Installed<WorldHudHooks> hud;

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
