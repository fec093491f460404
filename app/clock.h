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
// One clock update per frame.
void UpdateFrameClock();
// A frame is due once the counter has moved on by at least a centisecond
// since the last one: the frame step counts whole centiseconds, so faster
// frames would each move the world by a centisecond that has not passed.
bool FrameDue();
// Sleeps until about the next centisecond, when the next frame is due.
void WaitForFrame();
