// The frame clock: game time in centiseconds, the frame step and the frame
// seconds that every subsystem reads.
#pragma once

#include <cstdint>

extern int32_t gFrameStep;    // what this frame adds to game time (cs)
extern int32_t gGameClock;    // game time (cs)
extern float gFrameSeconds;   // the step in seconds, never below 0.01
extern float gTimeScale;      // 1.0 at start
extern int32_t gFrameSkipCount;  // frames the clock is skipping; engine sounds keep quiet meanwhile
