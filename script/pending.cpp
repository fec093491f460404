// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "core/pending.h"

#include <cstdio>

#include "core/options.h"
#include "script/mission.h"

void dunSelectCurrentObjective() { PENDING_ONCE("dunSelectCurrentObjective"); }


// The shell's and the game frame's calls.
#include "script/career.h"
#include "script/script.h"


void dunRestoreCheckpoint() { PENDING_ONCE("dunRestoreCheckpoint"); }
bool dunObjectiveIs(int, int) {
    PENDING_ONCE("dunObjectiveIs");
    return false;
}
void ResetBriefingSection() { PENDING_ONCE("ResetBriefingSection"); }
void dunDrawObjectivesPanel() { PENDING_ONCE("dunDrawObjectivesPanel"); }

// Statements of the families still to come: dialogue and objectives,
// groups and briefings.
#include "core/log.h"
#include "script/statements.h"

const ScriptCodeRange kPendingStatementCodes[] = {
    {262, 276},
    {283, 292},
    {380, 387},
    {0, 0},
};

void PendingStatement(ScriptRun &run) {
    static bool said[Sc::LastKeyword + 1];
    uint32_t code = gScriptTokens[run.statement].code;
    if (code <= Sc::LastKeyword && !said[code]) {
        said[code] = true;
        dunDebugPrintf("not built yet: %s", ScriptKeywordText(code));
    }
    for (;;) {
        uint32_t next = ScriptPeek(run).code;
        if (next == Sc::Do || next == Sc::End) break;
        ScriptNext(run);
    }
}
void dunMissileHitPlayer(int) { PENDING_ONCE("dunMissileHitPlayer"); }

// Checkpoint files and the objectives display.
void dunSaveGame(const char *, int) { PENDING_ONCE("dunSaveGame"); }
void dunLoadGame() { PENDING_ONCE("dunLoadGame"); }
void dunLoadWeaponValues() { PENDING_ONCE("dunLoadWeaponValues"); }
void dunResetObjectivesDisplay() { PENDING_ONCE("dunResetObjectivesDisplay"); }
// Until the checkpoint files are read, a mission has only its start, as
// when no checkpoint was ever saved.
int dunListSaveGames(int, int, int32_t *ids, char (*titles)[kSaveTitleBytes], int capacity) {
    PENDING_ONCE("dunListSaveGames");
    static const char *const kStart[3] = {"Mission Start", "D\xE9" "but de Mission", "Mission Beginnen"};
    if (capacity < 1) return 0;
    ids[0] = -1;
    std::snprintf(titles[0], kSaveTitleBytes, "%s", kStart[gLanguage < 3 ? gLanguage : 0]);
    return 1;
}

// Objectives and briefings.
void dunAnnounceObjective() { PENDING_ONCE("dunAnnounceObjective"); }
uint8_t gBriefingSkip;
uint8_t gBriefingTextShown;
