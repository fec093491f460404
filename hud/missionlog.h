// The mission log.
#pragma once

#include <cstdint>

// The count-down of the log's display.
extern int32_t gMissionLogCountdown;
// Empties the log (mission end).
void MissionLogReset();
