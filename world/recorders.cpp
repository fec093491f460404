#include "world/recorders.h"

#include <cstring>

#include "core/frame.h"
#include "core/value_recorder.h"

ValueRecorder dunRecorders[kRecorderCount];

namespace {

constexpr uint32_t kRingSize = 100;
// The record handed out last; the first take starts after it.
int gCursor = kRecorderCount - 1;

void Take(ValueRecorder *r) {
    const float v = r->source ? *r->source : 0.0f;
    r->samples[r->writeIndex % kRingSize] = v;
    if (v > r->maximum) r->maximum = v;
    if (v < r->minimum) r->minimum = v;
    r->writeIndex = r->writeIndex + 1 >= kRingSize ? 0 : r->writeIndex + 1;
}

}  // namespace

void dunClearRecorders() {
    std::memset(dunRecorders, 0, sizeof dunRecorders);
    gCursor = kRecorderCount - 1;
}

ValueRecorder *dunAllocRecorder() {
    for (int i = 1; i <= kRecorderCount; ++i) {
        const int k = (gCursor + i) % kRecorderCount;
        if (dunRecorders[k].flags & RECORDER_IN_USE) continue;
        gCursor = k;
        dunRecorders[k].flags = RECORDER_IN_USE;
        return &dunRecorders[k];
    }
    return nullptr;
}

void dunInitRecorder(ValueRecorder *r, const float *source, float initial, float rangeTop, int interval) {
    if (!r) return;
    r->source = source;
    for (double &s : r->samples) s = initial;
    r->writeIndex = 0;
    r->capacity = kRingSize;
    r->startTime = r->reserved = 0;
    r->interval = uint32_t(interval);
    r->maximum = -1e20f;
    r->minimum = 1e20f;
    r->rangeTop = rangeTop;
    r->initialValue = initial;
}

uint8_t dunSampleRecorderTimed(ValueRecorder *r) {
    if (!r || dunGameClock < r->nextSample) return 0;
    r->nextSample = dunGameClock + r->interval;
    Take(r);
    return 0xFF;
}

void dunSampleRecorder(ValueRecorder *r) {
    if (r) Take(r);
}

void dunSampleAllRecorders() {
    for (ValueRecorder &r : dunRecorders)
        if ((r.flags & RECORDER_IN_USE) && !(r.flags & RECORDER_NOT_SAMPLED)) dunSampleRecorderTimed(&r);
}
