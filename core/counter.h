// The high-resolution counter every timing of the game reads: the frame
// clock's centiseconds and the profiler's 10-microsecond units. Tests put a
// counter of their own in its place.
#pragma once

#include <cstdint>

using FrameCounter = uint64_t (*)();
// Replaces the counter and its ticks per second; null restores the system's.
void SetFrameCounter(FrameCounter counter, uint64_t frequency);
uint64_t CounterNow();
// Ticks per second; never 0.
uint64_t CounterFrequency();
// The counter in units of 10 microseconds (the profiler's time base).
double HighResClock();

// The sleep the idle loop waits for the next frame with: it gives the
// processor away for about `ms` milliseconds. Tests put a sleep of their
// own in its place (one that moves their counter on); null restores the
// system's.
using FrameSleeper = void (*)(uint32_t ms);
void SetFrameSleeper(FrameSleeper sleeper);
void FrameSleep(uint32_t ms);
