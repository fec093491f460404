// Frame profiler: times the stretches between named checkpoints of a frame
// into the selected value recorder. With no recorder selected it does nothing.
#pragma once

struct ValueRecorder;

// The recorder a script statement selected as the profile recorder.
extern ValueRecorder *gProfileRecorder;

void ProfilerStart(ValueRecorder *recorder);
void ProfilerRestart(ValueRecorder *recorder);
// 0 for a null recorder, else 0xFF.
int ProfilerCheckpoint(ValueRecorder *recorder, const char *name);

// The last checkpoint time (10-microsecond units), which the game frame
// keeps at its start and puts back before its "TOTAL" checkpoint.
double ProfilerLastTime(const ValueRecorder *recorder);
void ProfilerSetLastTime(ValueRecorder *recorder, double time);
