// The pool of value recorders.
#pragma once

struct ValueRecorder;

// A free recorder of the pool, or null when all are taken.
ValueRecorder *dunAllocRecorder();
// Starts a recorder on a float of the game with its range; `interval` is the
// centiseconds between samples.
void dunInitRecorder(ValueRecorder *recorder, const float *source, float minimum, float maximum, int interval);
