#include <gtest/gtest.h>

#include "app/clock.h"
#include "app/shell.h"
#include "platform/video.h"

namespace {

uint64_t gTicks;
uint64_t FakeCounter() { return gTicks; }
constexpr uint64_t kFreq = 1000000000ull;  // ticks per second
constexpr uint64_t kCs = kFreq / 100;

struct FrameClock : testing::Test {
    void SetUp() override {
        SetFrameCounter(FakeCounter, kFreq);
        gTicks = 5000 * kCs;
        StartFrameClock();
    }
    // Advances the counter by `cs` centiseconds (negative: backwards) and
    // updates the clock.
    void Elapse(int64_t cs) {
        gTicks = uint64_t(int64_t(gTicks) + cs * int64_t(kCs));
        UpdateFrameClock();
    }
};

TEST_F(FrameClock, StepTable) {
    const struct {
        int64_t elapsed;
        int32_t step;
        int32_t clockGain;
        float seconds;
    } cases[] = {{-5, 20, 20, 0.20f}, {0, 1, 0, 0.01f},    {7, 7, 7, 0.07f},
                 {20, 20, 20, 0.20f}, {21, 20, 20, 0.20f}, {1000000, 20, 20, 0.20f}};
    for (const auto &c : cases) {
        int32_t before = dunGameClock;
        Elapse(c.elapsed);
        EXPECT_EQ(dunFrameStep, c.step) << c.elapsed;
        EXPECT_EQ(dunGameClock - before, c.clockGain) << c.elapsed;
        EXPECT_FLOAT_EQ(dunFrameSeconds, c.seconds) << c.elapsed;
    }
}

TEST_F(FrameClock, FixedStepIsSixWhateverTheTime) {
    gFixedStep = 1;
    for (int64_t e : {0, 3, 50, -2}) {
        Elapse(e);
        EXPECT_EQ(dunFrameStep, 6);
        EXPECT_EQ(gRawStep, 6);
    }
}

TEST_F(FrameClock, SmallTimeScaleStandsStillButStepReadsOne) {
    dunTimeScale = 0.5f;
    int32_t before = dunGameClock;
    Elapse(1);
    EXPECT_EQ(dunGameClock, before);
    EXPECT_EQ(gRawStep, 1);
    EXPECT_EQ(dunFrameStep, 1);
    EXPECT_FLOAT_EQ(dunFrameSeconds, 0.01f);
}

TEST_F(FrameClock, FrozenWhileFilmPlaysAfterLeadIn) {
    VideoPlaying = 1;
    gVideoLeadIn = 10;
    int32_t before = dunGameClock;
    Elapse(5);
    EXPECT_EQ(dunGameClock, before + 5);  // the lead-in still counts
    gVideoLeadIn = 0;
    Elapse(9);
    EXPECT_EQ(dunGameClock, before + 5);
    EXPECT_EQ(dunFrameStep, 1);
    EXPECT_FLOAT_EQ(dunFrameSeconds, 0.01f);
}

TEST_F(FrameClock, CounterPastThirtyTwoBitsKeepsItsStep) {
    // The nanosecond counter leaves 32 bits every 4.3 seconds; the step
    // across that point is the real one, not a clamp.
    gTicks = (1ull << 32) - 3 * kCs;
    StartFrameClock();
    Elapse(7);
    EXPECT_EQ(dunFrameStep, 7);
}

TEST_F(FrameClock, HighResClockInTenMicroseconds) {
    gTicks = 123 * 10000ull;  // 123 units of 10 us at 1 GHz
    EXPECT_DOUBLE_EQ(HighResClock(), 123.0);
}

}  // namespace
