// The frame clock: game time in centiseconds (dunGameClock), the frame step
// (dunFrameStep) and the frame seconds (dunFrameSeconds) that every
// subsystem reads, scaled by dunTimeScale.
#pragma once

#include <cstdint>

#include "core/counter.h"
#include "core/frame.h"

extern uint32_t gNowCs;       // the last counter reading in centiseconds
extern uint32_t gNowMs;       // and in milliseconds
extern uint32_t gLastCs;      // gNowCs of the previous update

// Starts the clock (at window creation).
void StartFrameClock();
// One clock update per idle turn.
void UpdateFrameClock();
