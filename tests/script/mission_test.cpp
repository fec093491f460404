// The mission runtime: clocks, vital objects, the SUCCESS and FAILURE roads
// with the time bonus, start and exit, the load screen and the display mode.
#include <string>
#include <vector>

#include "core/progress.h"
#include "gui/cockpit.h"
#include "gui/nav.h"
#include "platform/display.h"
#include "platform/keyboard.h"
#include "present/scene.h"
#include "script/career.h"
#include "script/mission.h"
#include "script/objectives.h"
#include "script/screens.h"
#include "script/settings.h"
#include "script_fixture.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/services.h"

namespace {

using scripttest::ScriptTest;

class Mission : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        dunGameClock = 1000;
        dunTimeScale = 1.0f;
        ClearVitalObjects();
    }
    void TearDown() override {
        SetMissionShellHooks(nullptr);
        dunGameClock = 0;
        ScriptTest::TearDown();
    }
    // Frames of the mission: the clock moves by the frame step, then the
    // timers run.
    static void Frames(int n) {
        for (int i = 0; i < n; ++i) {
            dunGameClock += uint32_t(dunFrameStep);
            UpdateMissionTimers();
        }
    }
    static SceneItem *Player() {
        SceneItem *ship = MakeObject("Player");
        ship->avatar = dunAllocAvatar();
        dunPlayerShip = ship;
        return ship;
    }
};

TEST_F(Mission, TimeBonus) {
    const struct {
        int32_t target, time, score, bonus;
    } cases[] = {
        {6000, 4500, 7, 105}, {6000, 6001, 7, 0}, {6000, 6100, 7, 0},     {1000000, 0, 7, 500},
        {0, 0, 7, 0},         {6000, 5950, 7, 0},  {2147483647, -2147483647, 1, 500},
    };
    for (const auto &c : cases)
        EXPECT_EQ(MissionTimeBonus(c.target, c.time, c.score), c.bonus) << c.target << " " << c.time;
}

TEST_F(Mission, SuccessEndsAfterItsCountdown) {
    Player();
    gTargetTime = 6000;
    gMissionClock = 4500 - 10 * 50;  // the clock runs on while the countdown does
    gTimeScore = 7;
    // An objective done is worth 40.
    ParseObjectives("a\r\n", 3);
    gObjectives[0].score = 40;
    dunSetObjectiveState(0, ObjectiveState::Done);
    Start("SUCCESS\n");
    EXPECT_EQ(dunMissionSuccess, 0xFF);
    EXPECT_EQ(dunMissionEndCountdown, 500);
    Frames(49);
    EXPECT_EQ(gMissionEndState, 0);
    EXPECT_EQ(dunFrozen, 0);
    Frames(1);
    EXPECT_EQ(gMissionEndState, 1);
    EXPECT_NE(dunFrozen, 0);
    EXPECT_NE(gEndOfFlight, 0);
    EXPECT_EQ(gMissionScore, 40 + 105);
    EXPECT_EQ(gMissionEnded, 0) << "the cockpit's end routine decides the exit";
    Frames(100);
    EXPECT_EQ(gMissionScore, 40 + 105) << "the bonus comes once";
}

TEST_F(Mission, FailureRoads) {
    const struct {
        const char *script;
        uint8_t success, ended, failedAfter;
    } cases[] = {
        {"FAILURE\n", 0, 0xFF, 0},
        {"FAILURE 1\n", 0, 0xFF, 0},
        {"SUCCESS OFF\nFAILURE\n", 0xFF, 0, 0xFF},
        {"SUCCESS\nFAILURE\n", 0xFF, 0, 0xFF},
    };
    for (const auto &c : cases) {
        ResetScriptForMission();
        dunFrozen = 0;
        Player();
        Start(c.script);
        EXPECT_EQ(dunMissionSuccess, c.success) << c.script;
        EXPECT_EQ(gMissionEnded, c.ended) << c.script;
        EXPECT_EQ(gFailedAfterSuccess, c.failedAfter) << c.script;
        EXPECT_EQ(gMissionEndState, 1) << c.script;
        EXPECT_NE(dunFrozen, 0) << c.script;
        EXPECT_EQ(dunMissionEndCountdown, 0) << c.script;
    }
}

TEST_F(Mission, SuccessIgnored) {
    for (int why = 0; why < 3; ++why) {
        ResetScriptForMission();
        SceneItem *ship = Player();
        dunPlayerDestroyed = why == 0;
        if (why == 1) gMissionEnded = 0xFF;
        if (why == 2) ship->avatar->flags |= 0x40000000u;
        Start("SUCCESS Player ON\nOUTCOME 3\n");
        EXPECT_EQ(dunMissionSuccess, 0) << why;
        EXPECT_EQ(dunMissionEndCountdown, 0) << why;
        EXPECT_EQ(gMissionOutcome, 3) << "the operands are read all the same";
    }
    dunPlayerDestroyed = 0;
}

TEST_F(Mission, OutcomeKeepsSixteenBits) {
    Start("OUTCOME 65538\n");
    EXPECT_EQ(gMissionOutcome, 2);
}

TEST_F(Mission, MissionClockHolds) {
    const struct {
        const char *what;
        int32_t advance;
    } cases[] = {{"runs", 100}, {"stopclock", 0}, {"ending", 0}, {"objectives", 0}, {"viewer", 0}, {"frozen", 0}};
    for (const auto &c : cases) {
        uint8_t objectives = 0, viewer = 0;
        ScriptHostFlags host{};
        host.objectives = &objectives;
        host.docViewer = &viewer;
        ScriptSetHostFlags(&host);
        std::string w = c.what;
        gMissionClock = 0;
        gStopClock = w == "stopclock";
        gMissionEndState = w == "ending";
        objectives = w == "objectives";
        viewer = w == "viewer";
        dunFrozen = w == "frozen";
        Frames(10);
        EXPECT_EQ(gMissionClock, c.advance) << c.what;
    }
    gStopClock = 0;
    gMissionEndState = 0;
    dunFrozen = 0;
}

TEST_F(Mission, VitalObjectLost) {
    // Lost with or without a record in the kill registry: the mission ends
    // about nine seconds later, failed.
    SceneItem *ship = MakeObject("Convoy");
    dunMissionSuccess = 0xFF;
    EXPECT_TRUE(AddVitalObject(Sym("Convoy"), nullptr, 0));
    Frames(20);
    EXPECT_EQ(gMissionEnded, 0);
    dunDeleteSceneItem(ship);
    Frames(10);  // the next poll, at most 100 units on
    EXPECT_NE(gVitalLost, 0);
    EXPECT_NE(gMissionEnded, 0);
    EXPECT_EQ(dunMissionSuccess, 0);
    EXPECT_GT(dunMissionEndCountdown, 800);
    EXPECT_STREQ(gVitalReportText, "");
    EXPECT_EQ(gVitalObjects[0].symbol, nullptr) << "the entry is freed";
    Frames(90);
    EXPECT_EQ(gMissionEndState, 1);
}

TEST_F(Mission, VitalTable) {
    std::vector<ScriptSymbol *> symbols;
    for (int i = 0; i < 11; ++i) {
        std::string name = "V" + std::to_string(i);
        MakeObject(name.c_str());
        symbols.push_back(Sym(name.c_str()));
    }
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(AddVitalObject(symbols[size_t(i)], nullptr, float(i)));
    EXPECT_FALSE(AddVitalObject(symbols[10], nullptr, 0));
    for (int i = 0; i < 10; ++i) EXPECT_EQ(gVitalObjects[i].symbol, symbols[size_t(i)]);
    // Watching a symbol again refills its own entry.
    EXPECT_TRUE(AddVitalObject(symbols[4], nullptr, 42));
    EXPECT_EQ(gVitalObjects[4].parameter, 42);
    EXPECT_TRUE(RemoveVitalObject(symbols[2]));
    EXPECT_FALSE(RemoveVitalObject(symbols[2]));
    EXPECT_FALSE(RemoveVitalObject(nullptr));
    EXPECT_TRUE(AddVitalObject(symbols[10], nullptr, 0));
    EXPECT_EQ(gVitalObjects[2].symbol, symbols[10]);
    // Hits on watched objects and on the player's ship are counted.
    gWatchedHits = 0;
    CountScriptHit(ScriptSymbolObject(symbols[3]));
    CountScriptHit(MakeObject(nullptr));
    CountScriptHit(Player());
    EXPECT_EQ(gWatchedHits, 2);
}

bool gTestResult;
float gTestParameter;
bool VitalTestRoutine(SceneItem *, float parameter) {
    gTestParameter = parameter;
    return gTestResult;
}

TEST_F(Mission, VitalTestRoutine) {
    MakeObject("Target");
    AddVitalObject(Sym("Target"), VitalTestRoutine, 0.5f);
    gTestResult = false;
    Frames(20);
    EXPECT_EQ(gMissionEnded, 0);
    EXPECT_EQ(gTestParameter, 0.5f);
    gTestResult = true;
    Frames(10);
    EXPECT_NE(gMissionEnded, 0);
    EXPECT_EQ(gVitalObjects[0].symbol, Sym("Target")) << "a test that reports keeps its entry";
}

int gQuits;

TEST_F(Mission, ExitStoresTheResult) {
    const struct {
        uint8_t success;
        int32_t score;
        bool commandLine;
        int16_t storedScore;
    } cases[] = {{0xFF, 1234, false, 1234}, {0, 99999, true, 32767}, {0, -50000, false, -32768}};
    for (const auto &c : cases) {
        static const MissionShellHooks kHooks = {[] { ++gQuits; }, nullptr, nullptr, nullptr};
        SetMissionShellHooks(&kHooks);
        gQuits = 0;
        gMissionFromCommandLine = c.commandLine;
        gFollowOnMission = 7;
        gMissionOver = gMissionOverNextFrame = 1;
        Start("VAR Mine\nSET Mine 3\nOUTCOME 2\n");
        gMainScriptPc = gScriptTokens + 1;
        dunMissionSuccess = c.success;
        // The stored score is the mission's score: here one objective's.
        ParseObjectives("a\r\n", 3);
        gObjectives[0].score = c.score;
        dunSetObjectiveState(0, ObjectiveState::Done);
        // The cockpit's locks and lost ship of this mission.
        guiStationLock = guiPlayerLostView = guiNavUndockLock = 1;
        guiInstallScriptHooks();
        exitMission();
        ScriptSetGuiHooks(nullptr);
        EXPECT_EQ(guiStationLock, 0);
        EXPECT_EQ(guiPlayerLostView, 0);
        EXPECT_EQ(guiNavUndockLock, 0);
        EXPECT_EQ(gCareerState.word[StateWord::Success], c.success ? -1 : 0);
        EXPECT_EQ(gCareerState.word[StateWord::Outcome], 2);
        EXPECT_EQ(gCareerState.word[StateWord::Score], c.storedScore);
        EXPECT_EQ(gFollowOnMission, c.success ? 7 : 0);
        EXPECT_EQ(gQuits, c.commandLine ? 1 : 0);
        EXPECT_EQ(gMissionOver, 0);
        EXPECT_EQ(gMissionOverNextFrame, 0);
        EXPECT_EQ(gMainScriptPc, nullptr);
        EXPECT_EQ(Sym("Mine"), nullptr) << "the mission's names are gone";
        EXPECT_EQ(gMissionOutcome, 0) << "the mission's values are reset";
        EXPECT_NE(gInFrontEnd, 0);
    }
    gMissionFromCommandLine = 0;
}

// A missile that reaches the player's ship counts, and leaves its type
// code in the score word; neither outlives the mission.
TEST_F(Mission, MissileHitsOnThePlayerAreCountedForTheMission) {
    dunScriptInstallWorldHooks();
    dunCall(dunScript().missileHitPlayer, 5);
    dunCall(dunScript().missileHitPlayer, 11);
    EXPECT_EQ(gMissileHitsOnPlayer, 2);
    EXPECT_EQ(gMissileHitScoreWord, 11);
    ResetScriptForMission();
    EXPECT_EQ(gMissileHitsOnPlayer, 0);
    EXPECT_EQ(gMissileHitScoreWord, 0);
}

TEST_F(Mission, StartFindsTheCameras) {
    SceneItem *weapon = MakeObject("CamWep");
    SceneItem *player = MakeObject("CamPly");
    dunFrozen = 1;
    gMissionEndState = 2;
    gEndOfFlight = 1;
    gInFrontEnd = 1;
    dunFrameCounter = 55;
    gCareerState.word[StateWord::Flight] = 0;
    startMission();
    EXPECT_EQ(gCareerState.word[StateWord::Flight], -1);
    EXPECT_EQ(dunFrameCounter, 1u);
    EXPECT_EQ(dunFrozen, 0);
    EXPECT_EQ(gMissionEndState, 0);
    EXPECT_EQ(gEndOfFlight, 0);
    EXPECT_EQ(gInFrontEnd, 0);
    EXPECT_EQ(dunPlayerCamera, player);
    EXPECT_EQ(dunWeaponCamera, weapon);
    EXPECT_EQ(weapon->control, CameraWeapon);
    EXPECT_EQ(weapon->simulator, CameraIdle);
    dunPlayerCamera = dunWeaponCamera = nullptr;
}

// A display driver that records the order of its calls.
std::vector<std::string> gDriverCalls;
bool gDriverOpens;
const DisplayDriver kRecordingDriver = {
    [](DisplayMode *mode) {
        gDriverCalls.push_back("open " + std::to_string(mode->width) + "x" + std::to_string(mode->height));
        return gDriverOpens;
    },
    [] {},
    [](DisplayMode *) {},
    [](DisplayMode *) {},
    [](DisplayMode *) {},
    [] {},
    [](PaletteEntries) {},
    [](PaletteEntries) { gDriverCalls.push_back("palette"); },
    [](PaletteEntries) {},
};

TEST_F(Mission, VideoModeOrder) {
    const struct {
        uint8_t fullScreen, card;
        bool opens;
        std::vector<std::string> calls;
    } cases[] = {
        {0, 0, true, {"palette", "open 800x600"}},
        {0, 0, false, {"palette", "open 800x600"}},
        {1, 0, true, {"open 800x600", "palette"}},
        {1, 0, false, {"open 800x600", "palette"}},
        {0, 1, true, {"open 800x600", "palette"}},
        {0, 1, false, {"open 800x600"}},
    };
    const DisplayDriver *saved = CurrentDisplayDriver;
    uint8_t palette[1024] = {};
    for (const auto &c : cases) {
        CurrentDisplayDriver = &kRecordingDriver;
        FullScreenMode = c.fullScreen;
        CardMode = c.card;
        gDriverOpens = c.opens;
        gDriverCalls.clear();
        EXPECT_EQ(SetScriptVideoMode(palette, 800, 600), c.opens);
        EXPECT_EQ(gDriverCalls, c.calls) << int(c.fullScreen) << int(c.card) << c.opens;
        EXPECT_EQ(TheDisplayMode.pixelBits, 8);
    }
    CurrentDisplayDriver = saved;
    DisplayClose();
    FullScreenMode = CardMode = 0;
    TheDisplayMode.width = 640;
    TheDisplayMode.height = 480;
}

uint32_t gWaited;
uint8_t gLoadingWhileWaiting;

TEST_F(Mission, LoadScreenWaits) {
    static const MissionShellHooks kHooks = {nullptr, nullptr, nullptr, [](uint32_t units) {
                                                 gWaited = units;
                                                 gLoadingWhileWaiting = gLoading;
                                             }};
    SetMissionShellHooks(&kHooks);
    gWaited = 0;
    showLoadScreen();
    EXPECT_EQ(gWaited, 3000u);
    EXPECT_NE(gLoadingWhileWaiting, 0);
    EXPECT_EQ(gLoading, 0);
}

}  // namespace
