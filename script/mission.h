// The mission's shared words and the script services the world calls.
#pragma once

#include <cstdint>

struct SceneItem;

// The value of a named script symbol (a model, a font, an object), or null.
void *GetScriptSymbolValue(const char *name);
void dunSelectCurrentObjective();
// Dialogue services the world uses (script/dialogue.h has the rest).
bool dunIsDialoguePlaying(const SceneItem *owner);
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

// Engine words that scripts read and write through built-in symbols.
extern int32_t gMissionScore;       // SCORE
extern int32_t gBeamToggle;         // BEAM_TOGGLE, shared with the weapons station and the HUD
extern int32_t gExtraLoad;          // EXTRALOAD: a label "LoadExtra" has been compiled
extern int32_t gWepSetup;           // WEPSETUP, shared with the GUI gadgets
extern int32_t gWatchedHits;        // XHITS: hits on watched objects
extern int32_t gWaypointCount;      // NWAYPTS; -1 when none is set
extern int32_t gMissionClock;       // MISSTIME, clock units
extern int32_t gStopClock;          // STOPCLOCK: the end-of-mission countdown
extern int32_t gTargetTime;         // TGTTIME: the target time of the time bonus
extern int32_t gTimeScore;          // TIMESCORE: points per second of the time bonus
extern int32_t gBestTime;           // BESTTIME, set by the mission launch
extern int32_t gShieldDamageFactor; // SHIELD_DMG_FACTOR, read by the damage model

// Mission start and end, the mission timers and the mission table.
void startMission();
void exitMission();
void UpdateMissionTimers();
void dunFreeTimelines();
void showLoadScreen();
// Empties the table of vital objects.
void ClearVitalObjects();
// The per-mission reset of the mission's state outside the interpreter.
void ResetScriptMissionState();

// Set by the star-system jump: the next turn of the main script enters the
// system's "STARSYSTEM_%i" routine (once per system and mission).
extern uint8_t gSystemArrivalPending;
// The stock dialogue the step runs when requested: the ship that speaks and
// the number of its "STOCKDIALOGUE_%i" routine.
extern SceneItem *dunStockDialogueShip;
extern int32_t dunStockDialogueNumber;
// The checkpoint chooser's start: runs "START_%i", then restores the save.
void dunRunMissionStart(int checkpoint);
void dunRestoreCheckpoint();
// Arcade tuning values (ARCADE_ statements) and the difficulty factor.
extern float gArcadeWeaponBonus;    // 3.0
extern float gArcadeSystemLimit;    // 0.1
extern float gArcadeEnemyBonus;     // 1.0
extern float gArcadeExtraBraking;   // 10.0
extern float gDifficultyFactor;     // 1.0
// Waypoints, objectives and briefings as the conditions read them.
bool dunWaypointVisited(const SceneItem *waypoint);
// The objective (-1: the current one) has the state (0 new, 1 failed, 2 done, 3).
bool dunObjectiveIs(int state, int objective);
void ResetBriefingSection();
// The player leaves a held state: the briefing stops, the feed and the
// speech are reset.
void ResetMissionFlags();
// The objectives panel over the view at a mission's end.
void dunDrawObjectivesPanel();
// The text of a text slot of the start-up scripts, or null.
const char *ScriptTextSlot(int index);
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
