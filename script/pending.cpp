// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log. Until scripts compile, every script
// "tokenises" to an empty program, so that start-up goes on to the main
// loop without the start-up scripts.
#include "app/interim.h"
#include "script/career.h"
#include "script/dialogue.h"
#include "script/mission.h"
#include "script/script.h"

static char gEmptyProgram;

void InitializeScriptSystem() { PENDING_ONCE("InitializeScriptSystem"); }
ScriptToken *TokeniseScript(const char *) {
    PENDING_ONCE("TokeniseScript");
    return reinterpret_cast<ScriptToken *>(&gEmptyProgram);
}
int ScriptProcessor(ScriptToken **, int) {
    PENDING_ONCE("ScriptProcessor");
    return 0;
}
void *GetScriptSymbolValue(const char *) {
    PENDING_ONCE("GetScriptSymbolValue");
    return nullptr;
}
void MarkScriptBaseline() { PENDING_ONCE("MarkScriptBaseline"); }
void ResetScriptForMission() { PENDING_ONCE("ResetScriptForMission"); }
void FreeScriptBuffers() { PENDING_ONCE("FreeScriptBuffers"); }

int32_t gCurrentMission;
int32_t gCareerMission;
uint8_t gScriptPause;
void startMission() { PENDING_ONCE("startMission"); }
void exitMission() { PENDING_ONCE("exitMission"); }
void UpdateMissionTimers() { PENDING_ONCE("UpdateMissionTimers"); }
void dunFreeTimelines() { PENDING_ONCE("dunFreeTimelines"); }
void showLoadScreen() { PENDING_ONCE("showLoadScreen"); }
void MissionTableSetName(int, const char *) { PENDING_ONCE("MissionTableSetName"); }
uint16_t MissionLoadSteps(int) {
    PENDING_ONCE("MissionLoadSteps");
    return 0;
}

void dunReadStateFile() { PENDING_ONCE("dunReadStateFile"); }
void dunWriteStateFile() { PENDING_ONCE("dunWriteStateFile"); }
void dunReadCaptainSlot() { PENDING_ONCE("dunReadCaptainSlot"); }
void dunWriteCaptainSlot() { PENDING_ONCE("dunWriteCaptainSlot"); }
void dunUpdateDialogue() { PENDING_ONCE("dunUpdateDialogue"); }
