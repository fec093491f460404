// The mission's shared words, the mission runtime (clocks, vital objects,
// the end and the score, start and exit) and the script services the world
// calls.
#pragma once

#include <cstdint>

#include "world/mission_state.h"

struct SceneItem;
struct ScriptSymbol;

// The value of a named script symbol (a model, a font, an object), or null.
void *GetScriptSymbolValue(const char *name);
// Dialogue services the world uses (script/dialogue.h has the rest).
bool dunIsDialoguePlaying(const SceneItem *owner);
void dunRunStockDialogue(int reserved);
void dunCancelDialogueById(SceneItem *item);
void dunClearDialogue();
void dunResetDialogueQueue();
void dunDefaultShipClassSetup(SceneItem *item, const char *name);

// Engine words that scripts read and write through built-in symbols.
extern int32_t gMissionScore;       // SCORE
extern int32_t gBeamToggle;         // BEAM_TOGGLE, shared with the weapons station and the HUD
extern int32_t gExtraLoad;          // EXTRALOAD: a label "LoadExtra" has been compiled
extern int32_t gWepSetup;           // WEPSETUP, shared with the GUI gadgets
extern int32_t gWatchedHits;        // XHITS: hits on watched objects and the player's ship
extern int32_t gStopClock;          // STOPCLOCK: while not 0 the mission clock stands still
extern int32_t gTargetTime;         // TGTTIME: the target time of the time bonus; 0 none
extern int32_t gTimeScore;          // TIMESCORE: points per second under the target time
extern int32_t gBestTime;           // BESTTIME, set by the mission launch
// The launched mission's row values: its column 12 and its result maximum
// (the kill scoring's bound).
extern int32_t gMissionRowValue;
extern int32_t gMissionResultMax;
extern int32_t gShieldDamageFactor; // SHIELD_DMG_FACTOR, read by the damage model

// ---- The end of a mission --------------------------------------------------

extern uint8_t gMissionEnded;            // 0xFF once the end has been decided
extern uint8_t gMissionEndState;         // 0 flying, 1 ending, 2 ended through the cockpit's end routine
extern uint8_t gFailedAfterSuccess;      // FAILURE came after a SUCCESS
extern int16_t gMissionOutcome;          // OUTCOME, read by the debriefing
extern uint8_t gVitalLost;               // a vital object was reported lost
extern const char *gVitalReportText;     // the score record's text of the lost vital object
extern uint8_t gEndOfFlight;             // read by the cockpit and the HUD
// Set by the cockpit's end routine; cleared by the briefing control and by
// every mission reset. BRIEFING does not open a briefing while it is set.
extern uint8_t gMissionEnding;
extern int32_t gMissionFrameCount;       // frames the last mission lasted

// The game frame's flow words: the end of a mission one frame later (the
// cockpit's end routine sets it; the end now is gMissionOver), a mission
// named on the command line, and the automatic launch of the next mission.
extern uint8_t gMissionOverNextFrame;
extern uint8_t gMissionFromCommandLine;
extern int32_t gAutoLaunch;       // cs count-down of the automatic launch
extern int32_t gFollowOnMission;  // the next mission's number, cleared when a mission fails

// ---- Vital objects ---------------------------------------------------------

using VitalTest = bool (*)(SceneItem *item, float parameter);
struct VitalObjectEntry {
    ScriptSymbol *symbol;  // watched by name: an object made again under it stays watched
    VitalTest test;
    float parameter;
};
constexpr int kVitalObjects = 10;
constexpr int32_t kVitalPollPeriod = 100;
extern VitalObjectEntry gVitalObjects[kVitalObjects];

// Empties the table of vital objects.
void ClearVitalObjects();
// The entry holding the symbol, else the first free one, is (re)filled;
// false when all entries hold other symbols.
bool AddVitalObject(ScriptSymbol *symbol, VitalTest test, float parameter);
// True when an entry held the symbol (it is freed).
bool RemoveVitalObject(ScriptSymbol *symbol);
// Every 100 units: the symbol reported lost (the last in table order), or null.
ScriptSymbol *PollVitalObjects();
// A hit on the object (by the ship-hit handling).
void CountScriptHit(SceneItem *item);

// The end decided: the mission-over text, and FinishMission in 900 units.
void RequestMissionEnd();
// The end countdown ran out: freeze, the end view, the time bonus.
void FinishMission();
// The time bonus of a mission: 0..500.
int32_t MissionTimeBonus(int32_t targetTime, int32_t missionTime, int32_t timeScore);
// The player leaves a held state (briefing, pause): the flags and the view.
void ResetMissionFlags();

// ---- Start and exit --------------------------------------------------------

void startMission();
void exitMission();
void UpdateMissionTimers();
// Shows the load picture and waits for a key or three seconds.
void showLoadScreen();
// Draws the load picture of the pixel depth into the screen; false when
// there is no screen or picture. The picture's palette goes to `palette`.
bool DrawLoadPicture(uint8_t palette[1024]);
// Opens the display at width x height, 8 bits; false when it did not open.
bool SetScriptVideoMode(const uint8_t *palette, int width, int height);

// The per-mission reset of the mission's state outside the interpreter.
void ResetScriptMissionState();

// What the mission runtime asks of the shell above it. The shell installs
// the table at start-up; without it (tests) each call does nothing.
struct MissionShellHooks {
    void (*quit)();                       // the run ends after this frame
    void (*filmLeadIn)(int32_t count);    // the main loop's start-up delay count
    void (*setWorkingFolder)(const char *path);
    // Pumps the window's messages until a key is pressed or `units` of the
    // fine time count have passed.
    void (*waitForKey)(uint32_t units);
};
void SetMissionShellHooks(const MissionShellHooks *hooks);
extern MissionShellHooks gMissionShellHooks;

// ---- Events and routines ---------------------------------------------------

// The stock dialogue the step runs when requested: the ship that speaks and
// the number of its "STOCKDIALOGUE_%i" routine.
extern SceneItem *dunStockDialogueShip;
extern int32_t dunStockDialogueNumber;
// The checkpoint chooser's start: runs "START_%i" of the checkpoint, then
// restores its save (script/checkpoints.h).
void dunRunMissionStart(int checkpoint);
// Arcade tuning values (ARCADE_ statements) and the difficulty factor.
extern float gArcadeWeaponBonus;    // 3.0
extern float gArcadeSystemLimit;    // 0.1
extern float gArcadeEnemyBonus;     // 1.0
extern float gArcadeExtraBraking;   // 10.0
extern float gDifficultyFactor;     // 1.0
// Waypoints as the conditions read them.
bool dunWaypointVisited(const SceneItem *waypoint);
// The running mission's number and the career's current mission (a row of
// the mission table).
extern int32_t gCurrentMission;
extern int32_t gCareerMission;
// The mission's script pause (holds the simulation).
extern uint8_t gScriptPause;

// The waypoint object of a symbol (null: a new unnamed one), made when the
// symbol holds none unless noCreate is set: at a world position, labelled,
// with a HUD marker or without one.
struct ScriptSymbol;
SceneItem *CreateScriptWaypoint(double x, double y, double z, ScriptSymbol *symbol, int withMarker, int noCreate,
                                const char *label);
// A missile with ship data hit the player's ship: the hit counter grows and
// the score word takes the missile's type code (both cleared at mission
// start; nothing reads them yet).
void dunMissileHitPlayer(int typeCode);
extern int32_t gMissileHitsOnPlayer, gMissileHitScoreWord;
// One stock ship launched from a tracked mothership: a routine of a kind its
// mask allows makes "STOCKSHIP", which then runs an "ORDER_%i" routine.
struct TrackNode;
void dunLaunchStockShips(int reserved, TrackNode *node);
// Stock ships launched this mission; past 350 armed and cargo ships take
// the other order.
extern int32_t gStockLaunchTotal;
// The mission's stock routines are counted again and the total cleared.
void ResetStockLaunches();

// Installs the script's table of the world's calls.
void dunScriptInstallWorldHooks();
// The remote turret the player was in when the end came.
extern SceneItem *gRemoteAtEnd;
