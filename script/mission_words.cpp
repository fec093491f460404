// The engine words behind the built-in symbols, and the per-mission reset
// of the mission's other state.
#include "ai/contacts.h"
#include "ai/scores.h"
#include "script/conditions.h"
#include "script/mission.h"

int32_t gMissionScore, gBeamToggle, gExtraLoad, gWepSetup, gWatchedHits, gMissionClock, gStopClock, gTargetTime,
    gTimeScore, gBestTime, gShieldDamageFactor;
int32_t gWaypointCount = -1;
uint8_t gSystemArrivalPending;

void ResetScriptMissionState() {
    ResetScriptEvents();
    ClearVitalObjects();
    dunResetScores();
    dunResetKillPoints();
    dunResetDialogueQueue();
    dunClearTargetList();
}
