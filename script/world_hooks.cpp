// The mission script's side of the world's calls.
#include "script/mission.h"
#include "script/objectives.h"
#include "script/symbols.h"
#include "world/services.h"

void dunScriptInstallWorldHooks() {
    static const WorldScriptHooks hooks = {
        dunClearDialogue,
        [] { return gCurrentMission; },
        [](double x, double y, double z, int system, const char *name) {
            SceneItem *w = CreateScriptWaypoint(x, y, z, nullptr, -1, 0, name);
            if (w) w->systemNumber = uint16_t(system);
            return w;
        },
        // The object's script symbol is its link record.
        [](SceneItem *item) { RemoveVitalObject(static_cast<ScriptSymbol *>(item->linkRecord)); },
        dunMissileHitPlayer,
        [](TrackNode *node) { dunLaunchStockShips(0, node); },
        GetScriptSymbolValue,
        [](void *symbol) { return ScriptSymbolObject(static_cast<ScriptSymbol *>(symbol)); },
        dunCancelDialogueById,
        dunResetDialogueQueue,
        dunIsDialoguePlaying,
        [] { dunRunStockDialogue(0); },
        dunDefaultShipClassSetup,
        dunSelectCurrentObjective,
        CountScriptHit,
        [](const char *name) {
            ScriptSymbol *s = FindScriptSymbol(name);
            return s && (s->kind & SymKind::SceneItem) ? ScriptSymbolObject(s) : nullptr;
        },
        // The object's back-link is its symbol, while the symbol still holds it.
        [](const SceneItem *item) -> const char * {
            auto *s = static_cast<ScriptSymbol *>(item->linkRecord);
            return s && ScriptSymbolObject(s) == item ? s->name : nullptr;
        },
    };
    WorldSetScriptHooks(&hooks);
}
