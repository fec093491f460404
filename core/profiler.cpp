#include "core/profiler.h"

#include <cstring>

#include "core/counter.h"
#include "core/value_recorder.h"

ValueRecorder *gProfileRecorder = nullptr;

double ProfilerLastTime(const ValueRecorder *recorder) {
    double t = 0;
    if (recorder) std::memcpy(&t, &recorder->startTime, sizeof t);
    return t;
}

void ProfilerSetLastTime(ValueRecorder *recorder, double time) {
    if (recorder) std::memcpy(&recorder->startTime, &time, sizeof time);
}

void ProfilerStart(ValueRecorder *recorder) {
    if (!recorder) return;
    ProfilerSetLastTime(recorder, HighResClock());
    recorder->writeIndex = 0;
}

void ProfilerRestart(ValueRecorder *recorder) {
    if (!recorder) return;
    ProfilerSetLastTime(recorder, HighResClock());
}

int ProfilerCheckpoint(ValueRecorder *recorder, const char *name) {
    if (!recorder) return 0;
    uint32_t i = recorder->writeIndex % 20;
    double now = HighResClock();
    double duration = now - ProfilerLastTime(recorder);
    ProfilerSetLastTime(recorder, now);
    float stored = (float)duration;
    recorder->samples[i] = stored;
    recorder->checkpointNames[i] = name;
    if (i > recorder->capacity) recorder->capacity = i;
    if (stored > recorder->maximum) recorder->maximum = stored;
    if (stored < recorder->minimum) recorder->minimum = stored;
    recorder->writeIndex = i + 1 == 20 ? 0 : i + 1;
    return 0xFF;
}
