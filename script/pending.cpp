// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "core/pending.h"
#include "script/mission.h"

uint8_t dunStockDialogueRequest = 0;
int32_t dunMissionCounter = 0;
int32_t dunDestructionTotal = 0;
int32_t dunAlarmTimer = 0;
int32_t dunMissionCountdown = 0;
int32_t dunMissionCountdownSeconds = 0;
uint8_t dunMissionSuccess = 0;
int32_t dunMissionEndCountdown = 0;
int32_t dunMissionEndWord = 0;

void dunSelectCurrentObjective() { PENDING_ONCE("dunSelectCurrentObjective"); }
void dunDefaultShipClassSetup(SceneItem *, const char *) { PENDING_ONCE("dunDefaultShipClassSetup"); }

// The shell's and the game frame's calls.
#include "script/career.h"
#include "script/script.h"


int32_t gCurrentMission;
int32_t gCareerMission;
uint8_t gScriptPause;
void startMission() { PENDING_ONCE("startMission"); }
void exitMission() { PENDING_ONCE("exitMission"); }
void UpdateMissionTimers() { PENDING_ONCE("UpdateMissionTimers"); }
void dunFreeTimelines() { PENDING_ONCE("dunFreeTimelines"); }
void showLoadScreen() { PENDING_ONCE("showLoadScreen"); }
void ClearVitalObjects() { PENDING_ONCE("ClearVitalObjects"); }
void dunRestoreCheckpoint() { PENDING_ONCE("dunRestoreCheckpoint"); }
bool dunWaypointVisited(const SceneItem *) {
    PENDING_ONCE("dunWaypointVisited");
    return false;
}
bool dunObjectiveIs(int, int) {
    PENDING_ONCE("dunObjectiveIs");
    return false;
}
void ResetBriefingSection() { PENDING_ONCE("ResetBriefingSection"); }
void ResetMissionFlags() { PENDING_ONCE("ResetMissionFlags"); }
void dunDrawObjectivesPanel() { PENDING_ONCE("dunDrawObjectivesPanel"); }
const char *ScriptTextSlot(int) {
    PENDING_ONCE("ScriptTextSlot");
    return nullptr;
}
void MissionTableSetName(int, const char *) { PENDING_ONCE("MissionTableSetName"); }
uint16_t MissionLoadSteps(int) {
    PENDING_ONCE("MissionLoadSteps");
    return 0;
}

void dunReadStateFile() { PENDING_ONCE("dunReadStateFile"); }
void dunWriteStateFile() { PENDING_ONCE("dunWriteStateFile"); }
void dunReadCaptainSlot() { PENDING_ONCE("dunReadCaptainSlot"); }
void dunWriteCaptainSlot() { PENDING_ONCE("dunWriteCaptainSlot"); }

// Statements of the families still to come: the start-up, declaration and
// resource statements, windows and screens, objects, ships and weapons,
// orders and star systems, dialogue and objectives, groups and briefings,
// and the mission end.
#include "core/log.h"
#include "script/statements.h"

const ScriptCodeRange kPendingStatementCodes[] = {
    {22, 55}, {95, 160}, {181, 194}, {203, 276}, {283, 299}, {374, 387}, {593, 608}, {0, 0},
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
