// A mission flown twice in one run of the game: the presentation frees its
// models at each mission's end, so nothing of the first flight may keep
// them. The deep patrol's two systems hang the star model on their suns and
// the asteroid models on their belts; the second flight used to draw and
// measure them after they were freed.
#include <gtest/gtest.h>

#include "app/game.h"
#include "app/shell.h"
#include "common/headless_mission.h"
#include "common/sample_root.h"
#include "core/frame.h"
#include "core/options.h"
#include "gui/front.h"
#include "gui/options.h"
#include "present/p3d.h"
#include "script/mission.h"
#include "world/universe.h"

namespace {

const FrontShellHooks kShell = {[](const char *) {}, [] { gQuit = 1; }};

TEST(MissionAgain, TheDeepPatrolFlownTwiceInOneRun) {
    ruvotest::SampleRoot root;
    ResetOptions();
    ResetGameState();
    ResetOptionTable();
    optFrontEndStart = 0xFF;
    optSound = 0;
    gQuit = 0;
    ruvotest::UseHeadlessClocks();
    ASSERT_EQ(ruvotest::StartHeadlessGame([] { SetFrontShellHooks(&kShell); }), 1);
    for (int i = 0; i < 30; ++i) ruvotest::HeadlessTurn(10000);
    for (int flight = 0; flight < 2; ++flight) {
        SCOPED_TRACE(flight);
        gCareerMission = 3;
        gLaunchRequest = 1;
        for (int i = 0; i < 30 && gInFrontEnd; ++i) ruvotest::HeadlessTurn(10000);
        ASSERT_EQ(gInFrontEnd, 0);
        // On to the second system, until the patrol's timer ends it.
        for (int i = 0; i < 900 && gMissionEndState == 0; ++i) ruvotest::HeadlessTurn(2000);
        EXPECT_EQ(dunCurrentSystem, 2);
        EXPECT_NE(gMissionEndState, 0);
        gMissionOver = 1;
        for (int i = 0; i < 200 && !gInFrontEnd; ++i) ruvotest::HeadlessTurn(10000);
        ASSERT_EQ(gInFrontEnd, 1);
    }
    gameShutdown();
    P3DShutdown();
}

}  // namespace
