// Value recorders: the ring, the extremes, the timed and the automatic
// samples, and the pool.
#include <gtest/gtest.h>

#include "core/frame.h"
#include "core/value_recorder.h"
#include "world/recorders.h"

namespace {

class Recorders : public testing::Test {
protected:
    float source = 0.0f;
    void SetUp() override {
        dunClearRecorders();
        dunGameClock = 0;
    }
    // The recorders read the fixture's source: none may outlive it.
    void TearDown() override { dunClearRecorders(); }
    ValueRecorder *Started(int interval = 20) {
        ValueRecorder *r = dunAllocRecorder();
        dunInitRecorder(r, &source, 0.5f, 10.0f, interval);
        return r;
    }
};

TEST_F(Recorders, SetUpFillsTheRingWithTheInitialValue) {
    ValueRecorder *r = Started();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->flags, RECORDER_IN_USE);
    EXPECT_EQ(r->capacity, 100u);
    EXPECT_EQ(r->writeIndex, 0u);
    EXPECT_EQ(r->samples[0], 0.5);
    EXPECT_EQ(r->samples[99], 0.5);
    EXPECT_EQ(r->maximum, -1e20f);
    EXPECT_EQ(r->minimum, 1e20f);
    EXPECT_EQ(r->rangeTop, 10.0f);
    EXPECT_EQ(r->initialValue, 0.5f);
}

TEST_F(Recorders, TheHundredAndFirstSampleOverwritesTheFirst) {
    ValueRecorder *r = Started();
    for (int i = 0; i < 101; ++i) {
        source = float(i);
        dunSampleRecorder(r);
    }
    EXPECT_EQ(r->samples[0], 100.0);
    EXPECT_EQ(r->samples[1], 1.0);
    EXPECT_EQ(r->writeIndex, 1u);
    EXPECT_EQ(r->maximum, 100.0f);
    EXPECT_EQ(r->minimum, 0.0f);
}

TEST_F(Recorders, AConstantSourceHasEqualExtremesAfterOneSample) {
    ValueRecorder *r = Started();
    source = 3.25f;
    dunSampleRecorder(r);
    EXPECT_EQ(r->maximum, 3.25f);
    EXPECT_EQ(r->minimum, 3.25f);
}

TEST_F(Recorders, TimedSamplesKeepTheirInterval) {
    ValueRecorder *r = Started(20);
    const struct {
        uint32_t clock;
        uint8_t taken;
        uint32_t next;
    } steps[] = {{0, 0xFF, 20}, {10, 0, 20}, {19, 0, 20}, {20, 0xFF, 40}, {45, 0xFF, 65}, {64, 0, 65}};
    for (const auto &s : steps) {
        dunGameClock = s.clock;
        EXPECT_EQ(dunSampleRecorderTimed(r), s.taken) << s.clock;
        EXPECT_EQ(r->nextSample, s.next) << s.clock;
    }
    EXPECT_EQ(r->writeIndex, 3u);
    // The untimed sample ignores the clock and leaves the next time alone.
    dunSampleRecorder(r);
    EXPECT_EQ(r->writeIndex, 4u);
    EXPECT_EQ(r->nextSample, 65u);
}

TEST_F(Recorders, TheAutomaticPassSkipsExcludedRecorders) {
    ValueRecorder *a = Started(), *b = Started(), *c = Started();
    b->flags |= RECORDER_NOT_SAMPLED;
    c->flags = 0;  // free again
    dunSampleAllRecorders();
    EXPECT_EQ(a->writeIndex, 1u);
    EXPECT_EQ(b->writeIndex, 0u);
    EXPECT_EQ(c->writeIndex, 0u);
}

TEST_F(Recorders, ThePoolHandsOutThirtyEightThenNone) {
    ValueRecorder *first = dunAllocRecorder();
    EXPECT_EQ(first, &dunRecorders[0]);
    for (int i = 1; i < kRecorderCount; ++i) EXPECT_EQ(dunAllocRecorder(), &dunRecorders[i]);
    EXPECT_EQ(dunAllocRecorder(), nullptr);
    // A freed record is found again from the cursor on, wrapping.
    dunRecorders[5].flags = 0;
    EXPECT_EQ(dunAllocRecorder(), &dunRecorders[5]);
    EXPECT_EQ(dunAllocRecorder(), nullptr);
}

}  // namespace
