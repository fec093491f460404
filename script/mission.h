// Mission start and end, timers, and the mission table.
#pragma once

#include <cstdint>

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
