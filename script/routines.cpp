// Named routines that the world and the GUI run with a private pc: the
// stock dialogue, the checkpoint start and the stock ships' launch.
#include <cstdio>

#include "RES/util.h"
#include "script/checkpoints.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/symbols.h"
#include "world/objroutines.h"
#include "world/records.h"

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
    gChosenCheckpoint = checkpoint;
    RunScriptRoutine(name);
    dunRestoreCheckpoint();
    gRestorePending = 0;
}

// ---- Stock ships ----------------------------------------------------------------------

int32_t gStockLaunchTotal;

namespace {

// The routines of the six kinds a mothership may emit (EMIT_DRONE ..
// EMIT_MOTHERSHIP: bit 1 << kind of the tracked node's mask).
constexpr int kStockKinds = 6;
const char *const kStockRoutine[kStockKinds] = {"DRONE_%i", "FIGHTER_%i",   "ARMED_%i",
                                                "CARGO_%i", "FREIGHTER_%i", "MOTHERSHIP_%i"};
int32_t gStockRoutineCount[kStockKinds];
bool gStockRoutinesCounted;

void CountStockRoutines() {
    for (int kind = 0; kind < kStockKinds; ++kind) {
        int n = 0;
        for (char name[32];; ++n) {
            std::snprintf(name, sizeof name, kStockRoutine[kind], n);
            if (!FindScriptSymbol(name)) break;
        }
        gStockRoutineCount[kind] = n;
    }
    gStockRoutinesCounted = true;
}

}  // namespace

void ResetStockLaunches() {
    gStockRoutinesCounted = false;
    gStockLaunchTotal = 0;
}

void dunLaunchStockShips(int, TrackNode *node) {
    if (!node || !node->object) return;
    if (!gStockRoutinesCounted) CountStockRoutines();
    int allowed[kStockKinds], n = 0;
    for (int kind = 0; kind < kStockKinds; ++kind)
        if ((node->mask & (1u << kind)) && gStockRoutineCount[kind] > 0) allowed[n++] = kind;
    if (n == 0) return;
    const int kind = allowed[dunRand15() % n];
    SceneItem *mother = node->object;
    if (ScriptSymbol *s = FindScriptSymbol("MOTHERCRAFT")) ScriptSetSymbolObject(s, mother);
    ScriptSymbol *stock = FindScriptSymbol("STOCKSHIP");
    if (!stock) return;
    // A routine that makes no ship must not send the last one out again.
    ScriptSetSymbolObject(stock, nullptr);
    const int32_t group = gAutoGroup;
    const uint8_t placement = gPlacementMode;
    gAutoGroup = gGroupCounter++;
    char name[32];
    std::snprintf(name, sizeof name, kStockRoutine[kind], int(dunRand15() % gStockRoutineCount[kind]));
    RunScriptRoutine(name);
    if (SceneItem *ship = ScriptSymbolObject(stock)) {
        ship->flags |= SceneFlag::Counted;
        ++dunMissionCounter;
        ++gStockLaunchTotal;
        int order;
        if (kind == 1) {
            order = 3;
            if (ship->sim) ship->sim->target = mother;
        } else if (kind == 2 || kind == 3) {
            order = gStockLaunchTotal > 350 ? 4 : 1;
        } else {
            order = dunRand15() % 2 ? 3 : 2;
        }
        std::snprintf(name, sizeof name, "ORDER_%i", order);
        RunScriptRoutine(name);
    }
    gAutoGroup = group;
    gPlacementMode = placement;
}
