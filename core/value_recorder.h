// Value recorders: the recent history of one float of the game, 100 samples
// in a ring. The frame profiler borrows one (see core/profiler.h).
#pragma once

#include <cstddef>
#include <cstdint>

enum : uint16_t { RECORDER_IN_USE = 0x1, RECORDER_NOT_SAMPLED = 0x2 };

struct ValueRecorder {
    uint16_t flags;
    const float *source;     // the value observed
    uint32_t startTime;      // set when a recorder is restarted
    uint32_t reserved;       // with startTime, the profiler's last checkpoint time
    uint32_t interval;       // centiseconds between samples
    uint32_t nextSample;     // game time of the next sample
    double samples[100];
    uint32_t capacity;       // 100; the profiler keeps its highest checkpoint index here
    uint32_t writeIndex;
    const char *checkpointNames[20];  // the profiler's names of the first 20 entries
    float maximum;
    float minimum;
    float rangeTop;
    float initialValue;
};

// The profiler keeps one double in the two words from startTime on.
static_assert(offsetof(ValueRecorder, reserved) == offsetof(ValueRecorder, startTime) + 4,
              "the profiler's time spans startTime and reserved");
