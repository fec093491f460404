#include <gtest/gtest.h>

#include <cstring>

#include "core/counter.h"
#include "core/profiler.h"
#include "core/value_recorder.h"

namespace {

uint64_t gTicks;
uint64_t FakeCounter() { return gTicks; }

struct Profiler : testing::Test {
    ValueRecorder rec;
    void SetUp() override {
        std::memset(&rec, 0, sizeof rec);
        rec.capacity = 100;
        rec.maximum = -1e20f;
        rec.minimum = 1e20f;
        SetFrameCounter(FakeCounter, 100000);  // one tick per 10 us
        gTicks = 1000;
    }
    void TearDown() override { SetFrameCounter(nullptr, 0); }
};

TEST_F(Profiler, NullRecorderDoesNothing) {
    ProfilerStart(nullptr);
    ProfilerRestart(nullptr);
    EXPECT_EQ(ProfilerCheckpoint(nullptr, "X"), 0);
}

TEST_F(Profiler, DurationsNamesAndExtremes) {
    ProfilerStart(&rec);
    gTicks += 40;
    EXPECT_EQ(ProfilerCheckpoint(&rec, "A"), 0xFF);
    EXPECT_EQ(ProfilerCheckpoint(&rec, "B"), 0xFF);  // at once: 0
    gTicks += 7;
    ProfilerCheckpoint(&rec, "C");
    EXPECT_DOUBLE_EQ(rec.samples[0], 40.0);
    EXPECT_DOUBLE_EQ(rec.samples[1], 0.0);
    EXPECT_DOUBLE_EQ(rec.samples[2], 7.0);
    EXPECT_STREQ(rec.checkpointNames[0], "A");
    EXPECT_STREQ(rec.checkpointNames[2], "C");
    EXPECT_EQ(rec.writeIndex, 3u);
    EXPECT_FLOAT_EQ(rec.maximum, 40.0f);
    EXPECT_FLOAT_EQ(rec.minimum, 0.0f);
    // The ring starts again with every frame.
    ProfilerStart(&rec);
    EXPECT_EQ(rec.writeIndex, 0u);
}

TEST_F(Profiler, CheckpointsPastTwentyWrap) {
    rec.capacity = 0;
    ProfilerStart(&rec);
    static const char *names[22] = {};
    static char text[22][4];
    for (int i = 0; i < 22; ++i) {
        std::snprintf(text[i], sizeof text[i], "%d", i + 1);
        names[i] = text[i];
        ++gTicks;
        ProfilerCheckpoint(&rec, names[i]);
    }
    EXPECT_STREQ(rec.checkpointNames[0], "21");
    EXPECT_STREQ(rec.checkpointNames[1], "22");
    EXPECT_STREQ(rec.checkpointNames[19], "20");
    EXPECT_EQ(rec.capacity, 19u);
    EXPECT_EQ(rec.writeIndex, 2u);
}

TEST_F(Profiler, RestartKeepsTheRingIndex) {
    ProfilerStart(&rec);
    ProfilerCheckpoint(&rec, "A");
    gTicks += 100;
    ProfilerRestart(&rec);
    gTicks += 5;
    ProfilerCheckpoint(&rec, "B");
    EXPECT_EQ(rec.writeIndex, 2u);
    EXPECT_DOUBLE_EQ(rec.samples[1], 5.0);
}

}  // namespace
