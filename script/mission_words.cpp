// The engine words behind the built-in symbols, and the per-mission reset
// of the mission's other state.
#include <cstring>

#include "ai/contacts.h"
#include "ai/scores.h"
#include "ai/wing.h"
#include "present/p3d.h"
#include "script/briefing.h"
#include "script/checkpoints.h"
#include "script/conditions.h"
#include "script/dialogue.h"
#include "script/mission.h"
#include "script/objectives.h"
#include "script/settings.h"
#include "world/objroutines.h"

int32_t gMissionScore, gBeamToggle, gExtraLoad, gWepSetup, gWatchedHits, gStopClock, gTargetTime,
    gTimeScore, gBestTime, gShieldDamageFactor;
int32_t gMissionRowValue, gMissionResultMax;
int32_t gCurrentMission, gCareerMission;
uint8_t gScriptPause;
uint8_t gMissionOverNextFrame, gMissionFromCommandLine;
int32_t gAutoLaunch, gFollowOnMission;
int32_t gMissileHitsOnPlayer, gMissileHitScoreWord;

void dunMissileHitPlayer(int typeCode) {
    ++gMissileHitsOnPlayer;
    gMissileHitScoreWord = typeCode;
}

void ResetScriptMissionState() {
    dunMissionSuccess = 0;
    dunMissionEndCountdown = dunMissionEndWord = 0;
    gMissionEnded = gMissionEndState = gFailedAfterSuccess = gVitalLost = gEndOfFlight = gMissionEnding = 0;
    gMissionOutcome = 0;
    gVitalReportText = "";
    dunMissionCounter = dunDestructionTotal = dunAlarmTimer = dunMissionCountdown = dunMissionCountdownSeconds = 0;
    gExitFilm[0] = 0;
    gBriefingDelay = 0;
    std::memset(gBriefingDeclared, 0, sizeof gBriefingDeclared);
    ResetBriefingSection();
    gBriefingVideoShowing = 0;
    dunResetObjectives();
    dunResetObjectivesDisplay();
    ResetDialogueStatements();
    gChosenCheckpoint = -1;
    ResetScriptEvents();
    ClearVitalObjects();
    dunResetScores();
    dunResetKillPoints();
    dunScoreSymbol = &gMissionScore;
    dunai_ResetWing();
    gMissileHitsOnPlayer = gMissileHitScoreWord = 0;
    dunResetDialogueQueue();
    dunClearTargetList();
    ResetStockLaunches();
}
