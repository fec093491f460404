#include "app/clock.h"

#include "app/shell.h"
#include "os/clock.h"

uint32_t gNowCs, gNowMs, gLastCs;
uint8_t gFixedStep;

namespace {
FrameCounter gCounter = nullptr;
uint64_t gFrequency = 0;
double gTicksPer10us = 1, gTicksPerMs = 1, gTicksPerCs = 1;
bool gRatesKnown = false;

uint64_t ReadCounter() { return gCounter ? gCounter() : osCounter(); }
uint64_t ReadFrequency() { return gCounter ? gFrequency : osCounterFrequency(); }

void ReadNow() {
    // The whole 64-bit count goes into the division; the results wrap at 32
    // bits like the values they are kept in, so the step is right across the
    // wrap.
    uint64_t c = ReadCounter();
    gNowCs = (uint32_t)(uint64_t)((double)c / gTicksPerCs);
    gNowMs = (uint32_t)(uint64_t)((double)c / gTicksPerMs);
}

void ComputeRates() {
    double f = (double)ReadFrequency();
    if (f <= 0) f = 1;
    gTicksPer10us = f / 100000.0;
    gTicksPerMs = f / 1000.0;
    gTicksPerCs = f / 100.0;
    gRatesKnown = true;
}
}  // namespace

void SetFrameCounter(FrameCounter counter, uint64_t frequency) {
    gCounter = counter;
    gFrequency = frequency;
    ComputeRates();
}

void StartFrameClock() {
    ComputeRates();
    ReadNow();
    gLastCs = gNowCs;
    dunFrameStep = 0;
    dunGameClock = 0;
}

void UpdateFrameClock() {
    ReadNow();
    dunFrameStep = (int32_t)(gNowCs - gLastCs);
    gLastCs = gNowCs;
    // A script may set the rate to 0; that reads as the longest step.
    if (gFixedStep) dunFrameStep = gFixedRate > 0 ? (int32_t)(100.0 / gFixedRate) : 20;
    if (dunFrameStep < 0 || dunFrameStep > 20) dunFrameStep = 20;
    gRawStep = dunFrameStep;
    dunFrameStep = (int32_t)((float)dunFrameStep * dunTimeScale);
    if (VideoPlaying && gVideoLeadIn <= 0) dunFrameStep = 0;
    else dunGameClock += (uint32_t)dunFrameStep;
    dunFrameSeconds = (float)dunFrameStep / 100.0f;
    if (dunFrameStep < 1) dunFrameStep = 1;
    if (dunFrameSeconds < 0.01f) dunFrameSeconds = 0.01f;
}

double HighResClock() {
    if (!gRatesKnown) ComputeRates();
    return (double)ReadCounter() / gTicksPer10us;
}
