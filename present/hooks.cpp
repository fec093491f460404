#include "present/hooks.h"

#include "world/services.h"

namespace {

InstalledHooks<PresentAiHooks> ai;
InstalledHooks<PresentHudHooks> hud;
InstalledHooks<PresentGuiHooks> gui;

}  // namespace

void P3DSetAiHooks(const PresentAiHooks *hooks) { ai.table = hooks; }
void P3DSetHudHooks(const PresentHudHooks *hooks) { hud.table = hooks; }
void P3DSetGuiHooks(const PresentGuiHooks *hooks) { gui.table = hooks; }

const PresentAiHooks &P3DAi() { return ai.get(); }
const PresentHudHooks &P3DHud() { return hud.get(); }
const PresentGuiHooks &P3DGui() { return gui.get(); }
