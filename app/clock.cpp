#include "app/clock.h"

#include <cmath>

#include "app/shell.h"
#include "platform/video.h"

uint32_t gNowCs, gNowMs, gLastCs;

namespace {

void ReadNow() {
    // The whole 64-bit count goes into the division; the results wrap at 32
    // bits like the values they are kept in, so the step is right across the
    // wrap.
    double c = (double)CounterNow();
    double f = (double)CounterFrequency();
    gNowCs = (uint32_t)(uint64_t)(c / (f / 100.0));
    gNowMs = (uint32_t)(uint64_t)(c / (f / 1000.0));
}

}  // namespace

bool FrameDue() {
    ReadNow();
    return gNowCs != gLastCs;
}

void WaitForFrame() {
    // The time to the next centisecond of the counter, in whole
    // milliseconds, at least one (a shorter sleep would spin).
    const double f = (double)CounterFrequency();
    const double c = (double)CounterNow();
    const double next = (std::floor(c / (f / 100.0)) + 1.0) * (f / 100.0);
    double ms = std::ceil((next - c) * 1000.0 / f);
    if (!(ms >= 1.0)) ms = 1.0;
    if (ms > 10.0) ms = 10.0;
    FrameSleep((uint32_t)ms);
}

void StartFrameClock() {
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
