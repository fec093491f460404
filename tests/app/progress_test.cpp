#include <gtest/gtest.h>

#include "app/game.h"
#include "app/progress.h"
#include "core/options.h"
#include "call_recorder.h"

using ruvotest::CallRecorder;
using Calls = std::vector<std::string>;

namespace {

struct Progress : testing::Test {
    CallRecorder calls;
    void SetUp() override {
        gLoadProgress = 0;
        SetLoadProgressDisplay(ShowLoadProgressStep);
    }
};

TEST_F(Progress, OnlyWhileLoadingAndWhereItShows) {
    const struct {
        bool frontEnd, commandLine, card, loading;
        bool shown;
    } cases[] = {
        {true, false, false, true, true},   {true, false, false, false, false},
        {false, true, true, true, true},    {false, true, false, true, false},
        {false, false, false, true, false},
    };
    for (const auto &c : cases) {
        optFrontEndStart = c.frontEnd ? 0xFF : 0;
        gMissionFromCommandLine = c.commandLine;
        CardMode = c.card;
        gLoading = c.loading;
        calls.calls.clear();
        LoadProgressStep("Loading\n");
        EXPECT_EQ(!calls.calls.empty(), c.shown);
    }
}

TEST_F(Progress, BarStepsAndConsoleLines) {
    optFrontEndStart = 0xFF;
    gLoading = 1;
    LoadProgressStep("a");
    LoadProgressStep("b");
    EXPECT_EQ(gLoadProgress, 2);
    EXPECT_EQ(calls.Without({"PumpMessages"}),
              (Calls{"DisplayBeginFrame", "MissionLoadSize", "guiDrawBarSegmented", "DisplayPresent",
                     "DisplayBeginFrame", "MissionLoadSize", "guiDrawBarSegmented", "DisplayPresent"}));
    optConsole = 0xFF;
    calls.calls.clear();
    LoadProgressStep("c\n");
    EXPECT_EQ(calls.calls[0], "guiPostFeedText");
    EXPECT_EQ(calls.Count("guiDrawTextFeed"), 1u);
    EXPECT_EQ(gLoadProgress, 2);
}

}  // namespace
