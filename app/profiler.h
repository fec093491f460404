// Frame profiler: times the stretches between named checkpoints of a frame
// into the selected value recorder. With no recorder selected it does nothing.
#pragma once

struct ValueRecorder;

extern ValueRecorder *gProfileRecorder;

void ProfilerStart(ValueRecorder *recorder);
void ProfilerRestart(ValueRecorder *recorder);
int ProfilerCheckpoint(ValueRecorder *recorder, const char *name);
