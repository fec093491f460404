// The frame clock: game time in centiseconds (dunGameClock), the frame step
// (dunFrameStep) and the frame seconds (dunFrameSeconds) that every
// subsystem reads, scaled by dunTimeScale.
#pragma once

#include <cstdint>

#include "core/frame.h"

extern uint32_t gNowCs;       // the last counter reading in centiseconds
extern uint32_t gNowMs;       // and in milliseconds
extern uint32_t gLastCs;      // gNowCs of the previous update
extern uint8_t gFixedStep;    // video capture: every frame lasts 100 / gFixedRate cs

// Reads the counter's frequency and starts the clock (at window creation).
void StartFrameClock();
// One clock update per idle turn.
void UpdateFrameClock();
// The counter in units of 10 microseconds (the profiler's time base).
double HighResClock();

// Replaces the counter (tests); null restores the system's.
using FrameCounter = uint64_t (*)();
void SetFrameCounter(FrameCounter counter, uint64_t frequency);
