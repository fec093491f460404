// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "app/log.h"
#include "script/mission.h"

#define PENDING_ONCE(name)                         \
    do {                                           \
        static bool said = false;                  \
        if (!said) {                               \
            said = true;                           \
            dunDebugPrint("not built yet: " name); \
        }                                          \
    } while (0)

uint8_t dunStockDialogueRequest = 0;
int32_t dunMissionCounter = 0;
int32_t dunDestructionTotal = 0;
int32_t dunAlarmTimer = 0;
int32_t dunMissionCountdown = 0;
int32_t dunMissionCountdownSeconds = 0;
uint8_t dunMissionSuccess = 0;
int32_t dunMissionEndCountdown = 0;
int32_t dunMissionEndWord = 0;

void *GetScriptSymbolValue(const char *) {
    PENDING_ONCE("GetScriptSymbolValue");
    return nullptr;
}
void dunSelectCurrentObjective() { PENDING_ONCE("dunSelectCurrentObjective"); }
int dunIsDialoguePlaying(int) {
    PENDING_ONCE("dunIsDialoguePlaying");
    return 0;
}
void dunRunStockDialogue(int) { PENDING_ONCE("dunRunStockDialogue"); }
void dunCancelDialogueById(SceneItem *) { PENDING_ONCE("dunCancelDialogueById"); }
void dunClearDialogue() { PENDING_ONCE("dunClearDialogue"); }
void dunResetDialogueQueue() { PENDING_ONCE("dunResetDialogueQueue"); }
void dunDefaultShipClassSetup(SceneItem *, const char *) { PENDING_ONCE("dunDefaultShipClassSetup"); }
