// The mission's words the simulation counts down and writes: the mission
// script gives them their meaning and resets them per mission, the world's
// step and object routines keep them going.
#pragma once

#include <cstdint>

struct SceneItem;
struct BodyRecord;

extern uint8_t dunStockDialogueRequest;  // the step runs the stock dialogue once and clears it
extern int32_t dunMissionCounter;        // lowered when an object with SceneItem flag 0x2000 goes
extern int32_t dunDestructionTotal;      // weighted kills of the mission
extern int32_t dunAlarmTimer;            // centiseconds, counted down by the step
extern int32_t dunMissionCountdown;      // centiseconds, counted down by the step unless frozen
extern int32_t dunMissionCountdownSeconds;
extern int32_t gWaypointCount;           // NWAYPTS; -1 when none is set
extern int32_t gMissionClock;            // MISSTIME, clock units
// Set by a change of star system: the next turn of the main script enters
// the system's "STARSYSTEM_%i" routine (once per system and mission).
extern uint8_t gSystemArrivalPending;

// The player-ship rules the order statements set: the object the targeting
// leaves alone and its countdown (centiseconds), the repairs switch (all
// bits on, 0 off), the chosen Lagrange destination and its star number.
extern SceneItem *dunIgnoredObject;
extern int32_t dunIgnoreCountdown;
extern uint32_t dunRepairsSwitch;
extern BodyRecord *dunTargetLpBody;
extern int32_t dunTargetLpStar;

// The end of a mission as the loss of the player's ship starts it.
extern uint8_t dunMissionSuccess;        // 0xFF once the mission counts as succeeded
extern int32_t dunMissionEndCountdown;   // clock units until FinishMission runs; 0 none
extern int32_t dunMissionEndWord;        // cleared with the player's ship; read by nothing yet
// The mission is over: the cockpit's end routine sets it, the engineering
// model stops, the game frame ends the mission.
extern uint8_t gMissionOver;
// DINK: the pieces a damaged object sheds (small and large) and their
// colour index; read by the damage effects.
extern int16_t dunDebrisCount;
extern int16_t dunDebrisCountLarge;
extern uint8_t dunDebrisColour;
