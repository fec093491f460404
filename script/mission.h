// The mission's shared words and the script services the world calls.
#pragma once

#include <cstdint>

struct SceneItem;

// The value of a named script symbol (a model, a font, an object), or null.
void *GetScriptSymbolValue(const char *name);
void dunSelectCurrentObjective();
int dunIsDialoguePlaying(int reserved);
void dunRunStockDialogue(int reserved);
void dunCancelDialogueById(SceneItem *item);
void dunClearDialogue();
void dunResetDialogueQueue();
void dunDefaultShipClassSetup(SceneItem *item, const char *name);

extern uint8_t dunStockDialogueRequest;  // the step runs the stock dialogue once and clears it
extern int32_t dunMissionCounter;        // lowered when an object with SceneItem flag 0x2000 goes
extern int32_t dunDestructionTotal;      // weighted kills of the mission
extern int32_t dunAlarmTimer;            // centiseconds, counted down by the step
extern int32_t dunMissionCountdown;      // centiseconds, counted down by the step unless frozen
extern int32_t dunMissionCountdownSeconds;
extern uint8_t dunMissionSuccess;
extern int32_t dunMissionEndCountdown;   // set to 1000 when the player's ship is lost
extern int32_t dunMissionEndWord;        // cleared when the player's ship is lost

// Mission start and end, the mission timers and the mission table.
void startMission();
void exitMission();
void UpdateMissionTimers();
void dunFreeTimelines();
void showLoadScreen();
// The running mission's number and the career's mission word.
extern int32_t gCurrentMission;
extern int32_t gCareerMission;
// The mission's script pause (holds the simulation).
extern uint8_t gScriptPause;
// Names a row of the mission table (a command-line mission without a number
// becomes row 0).
void MissionTableSetName(int row, const char *name);
// The load-step total of a mission (0 when unknown).
uint16_t MissionLoadSteps(int mission);

// Installs the script's table of the world's calls.
void dunScriptInstallWorldHooks();
