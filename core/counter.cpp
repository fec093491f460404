#include "core/counter.h"

#include "os/clock.h"

namespace {
FrameCounter gCounter = nullptr;
uint64_t gFrequency = 0;
FrameSleeper gSleeper = nullptr;
}  // namespace

void SetFrameCounter(FrameCounter counter, uint64_t frequency) {
    gCounter = counter;
    gFrequency = frequency;
}

uint64_t CounterNow() { return gCounter ? gCounter() : osCounter(); }

uint64_t CounterFrequency() {
    uint64_t f = gCounter ? gFrequency : osCounterFrequency();
    return f ? f : 1;
}

double HighResClock() { return (double)CounterNow() / ((double)CounterFrequency() / 100000.0); }

void SetFrameSleeper(FrameSleeper sleeper) { gSleeper = sleeper; }

void FrameSleep(uint32_t ms) {
    if (gSleeper)
        gSleeper(ms);
    else
        osSleep(ms);
}
