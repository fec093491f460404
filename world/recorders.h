// The pool of value recorders: 38 records, each the recent history of one
// float of the game (an engineering component's value, the frame profiler's
// figures), sampled at a fixed interval of game time.
#pragma once

#include <cstdint>

struct ValueRecorder;

constexpr int kRecorderCount = 38;
extern ValueRecorder dunRecorders[kRecorderCount];

// The next free recorder after the one handed out last (wrapping), marked in
// use; null when all are taken.
ValueRecorder *dunAllocRecorder();
// Starts a recorder on a float of the game: every sample the initial value,
// the extremes reset, the graph's full scale `rangeTop`; `interval` is the
// centiseconds between samples. The next-sample time is left as it is.
void dunInitRecorder(ValueRecorder *recorder, const float *source, float initial, float rangeTop, int interval);
// Takes a sample when the game clock has reached the next-sample time:
// 0xFF when it did, 0 otherwise.
uint8_t dunSampleRecorderTimed(ValueRecorder *recorder);
// Takes a sample now, whatever the time.
void dunSampleRecorder(ValueRecorder *recorder);
// The automatic pass: every recorder in use and not excluded, when due.
void dunSampleAllRecorders();
// Every recorder free and zeroed, the cursor before the first.
void dunClearRecorders();
