// Named routines that the world and the GUI run with a private pc: the
// stock dialogue and the checkpoint start.
#include <cstdio>

#include "script/interp.h"
#include "script/mission.h"
#include "script/symbols.h"

SceneItem *dunStockDialogueShip;
int32_t dunStockDialogueNumber;

void dunRunStockDialogue(int) {
    char name[32];
    std::snprintf(name, sizeof name, "STOCKDIALOGUE_%i", dunStockDialogueNumber);
    if (!FindScriptSymbol(name)) return;
    if (ScriptSymbol *ship = FindScriptSymbol("DIALOGUESHIP")) ScriptSetSymbolObject(ship, dunStockDialogueShip);
    RunScriptRoutine(name);
}

void dunRunMissionStart(int checkpoint) {
    char name[32];
    std::snprintf(name, sizeof name, "START_%i", checkpoint);
    RunScriptRoutine(name);
    dunRestoreCheckpoint();
    gRestorePending = 0;
}
