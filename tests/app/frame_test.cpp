// The game frame, start-up and shutdown, driven in-process with the calls
// into other subsystems recorded.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "RES/resman.h"
#include "app/clock.h"
#include "app/game.h"
#include "core/options.h"
#include "core/profiler.h"
#include "app/shell.h"
#include "platform/video.h"
#include "call_recorder.h"
#include "common/fatal_hook.h"
#include "common/sample_root.h"
#include "common/temp_dir.h"
#include "gui/gui.h"
#include "hud/maps.h"
#include "platform/display.h"
#include "platform/keyboard.h"
#include "os/paths.h"
#include "script/career.h"
#include "script/interp.h"
#include "script/mission.h"
#include "core/value_recorder.h"
#include "script/script.h"
#include "script/symbols.h"
#include "world/messages.h"
#include "world/objlist.h"

using ruvotest::CallRecorder;
using Calls = std::vector<std::string>;

namespace {

uint64_t gTicks;
uint64_t FakeCounter() { return gTicks; }

// The sample missions and the ship-class scripts they include (the scripts'
// slab), into a data root.
void CopyMission(const char *, const std::string &to) {
    const std::string root = ruvotest::SampleDataRoot();
    std::filesystem::create_directories(to + "/vek/resource");
    std::filesystem::copy_file(root + "/vek/resource/scripts.slb", to + "/vek/resource/scripts.slb");
    // The objectives and dialogue texts the missions declare, and the star
    // systems a mission moves between.
    for (const std::string extra : {"vek/resource/text", "vek/resource/geog"}) {
        std::filesystem::create_directories(to + "/" + extra);
        std::filesystem::copy(root + "/" + extra, to + "/" + extra,
                              std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
    }
}

std::vector<uint16_t> gHandled;
void RecordKey(uint16_t key) { gHandled.push_back(key); }

struct GameFrame : testing::Test {
    CallRecorder calls;
    ValueRecorder rec;
    void SetUp() override {
        SetFrameCounter(FakeCounter, 100000);
        gTicks = 1;
        StartFrameClock();
        std::memset(&rec, 0, sizeof rec);
        rec.maximum = -1e20f;
        rec.minimum = 1e20f;
        gProfileRecorder = &rec;
        gKeyHandler = RecordKey;
        gHandled.clear();
        // The key queue works for real; everything else is stood in for.
        calls.run = {"KeyQueueCount", "KeyQueueGet", "GetKeyDownTable", "gKeyHandler"};
    }
    Calls FrameCalls() const { return calls.Without({"KeyQueueCount", "KeyQueueGet", "GetKeyDownTable"}); }
};

TEST_F(GameFrame, OrderOfCallsAndProfilerMarksInFlight) {
    for (int frame = 1; frame <= 3; ++frame) {
        calls.calls.clear();
        gTicks += 1000;
        UpdateFrameClock();
        EXPECT_EQ(gameFrame(), 1);
        EXPECT_EQ(FrameCalls(), (Calls{"guiGoToSelectedSystem", "UpdateMissionTimers", "ScriptProcessor", "dunSimulationStep",
                                       "dunRandomAmbientEvent", "DisplayBeginFrame", "guiDrawComArm",
                                       "dunUpdateDialogue", "guiUpdate", "WorldRecentreStep", "DisplayPresent"}));
        EXPECT_EQ(dunFrameCounter, (uint32_t)frame);
        EXPECT_STREQ(rec.checkpointNames[0], "OTHER");
        EXPECT_STREQ(rec.checkpointNames[1], "UPDATING");
        EXPECT_STREQ(rec.checkpointNames[2], "TOTAL");
        EXPECT_EQ(rec.writeIndex, 3u);
    }
}

TEST_F(GameFrame, TotalSpansTheWholeFrame) {
    // Every call the frame makes costs 10 counter units.
    calls.effects["guiUpdate"] = [] { gTicks += 10; };
    calls.effects["DisplayPresent"] = [] { gTicks += 10; };
    gameFrame();
    EXPECT_DOUBLE_EQ(rec.samples[0], 10.0);  // OTHER: up to the keys
    EXPECT_DOUBLE_EQ(rec.samples[1], 10.0);  // UPDATING: the present
    EXPECT_DOUBLE_EQ(rec.samples[2], 20.0);  // TOTAL
}

TEST_F(GameFrame, HoldingStatesStopTheSimulation) {
    uint8_t *const holds[] = {&gInFrontEnd,     &gScriptPause, &gDocViewerOpen, &gObjectivesOpen,
                              &gLocalSpaceOpen, &gStarMapOpen, &gSolarMapOpen,  &gMapOverlayOpen};
    for (uint8_t *h : holds) {
        *h = 1;
        calls.calls.clear();
        gameFrame();
        EXPECT_EQ(calls.Count("dunSimulationStep"), 0u);
        EXPECT_EQ(calls.Count("JoystickPoll"), 1u);
        EXPECT_EQ(calls.Count("SoundSetVolume"), 2u);
        *h = 0;
    }
    // The map overlay and the weapon-loading screen also hold the main
    // script's turn.
    for (uint8_t *h : {&gMapOverlayOpen, &gWeaponLoading}) {
        *h = 1;
        calls.calls.clear();
        gameFrame();
        EXPECT_EQ(calls.Count("ScriptProcessor"), 0u);
        *h = 0;
    }
}

TEST_F(GameFrame, TheSampleMissionRunsOneTurnPerFrame) {
    ruvotest::TempDir dir;
    CopyMission("mission01.scr", dir.path());
    osFlushPathCache();
    // The mission makes its ships in an empty world.
    dunMsgInit();
    dunResetWorld();
    InitializeScriptSystem();
    // As the launch does: compile it and run it to its first wait.
    gMainScriptPc = TokeniseScript("mission01.scr");
    ASSERT_NE(gMainScriptPc, nullptr);
    ScriptProcessor(&gMainScriptPc, 0);
    ScriptSymbol *turns = FindScriptSymbol("Turns");
    ASSERT_NE(turns, nullptr);
    calls.run.insert("ScriptProcessor");
    // The briefing comes first: without the screens it has nothing to show
    // and ends in its first turn. Then the mission idles, a turn a frame.
    for (int frame = 0; frame < 10 && ScriptSymbolInt(turns) == 0; ++frame) {
        gTicks += 1000;
        UpdateFrameClock();
        gameFrame();
    }
    ASSERT_EQ(ScriptSymbolInt(turns), 1);
    EXPECT_EQ(gBriefingOpen, 0);
    for (int frame = 1; frame <= 5; ++frame) {
        gTicks += 1000;
        UpdateFrameClock();
        gameFrame();
        EXPECT_EQ(ScriptSymbolInt(turns), 1 + frame);
    }
    // A frame that holds the main script's turn leaves it where it is.
    gMapOverlayOpen = 1;
    gameFrame();
    EXPECT_EQ(ScriptSymbolInt(turns), 6);
    FreeScriptBuffers();
    dunResetWorld();
}

// The sample missions run frame by frame until their end decides itself:
// the mission statements and the timers run for real, the world stands in
// (its step counts the mission timer down).
TEST_F(GameFrame, TheSampleMissionsEnd) {
    const struct {
        const char *file;
        uint8_t success;
        uint8_t ended;
        int16_t outcome;
        bool clockStill;
    } cases[] = {
        {"mission01.scr", 0xFF, 0, 0, false},  // the raider is destroyed on the tenth frame
        {"mission02.scr", 0xFF, 0, 1, false},
        {"mission03.scr", 0, 0xFF, 2, false},
        {"mission04.scr", 0xFF, 0, 0, false},  // the black wing gone, no black ship is left
        {"mission05.scr", 0xFF, 0, 0, false},  // the stragglers through after two waves; the wing plays no part
    };
    for (const auto &c : cases) {
        ruvotest::TempDir dir;
        CopyMission(c.file, dir.path());
        osFlushPathCache();
        dunMsgInit();
        dunResetWorld();
        // The missions read their objectives through the resource manager.
        resmanInit();
        InitializeScriptSystem();
        gMainScriptPc = TokeniseScript(c.file);
        ASSERT_NE(gMainScriptPc, nullptr) << c.file;
        ScriptProcessor(&gMainScriptPc, 0);
        calls.run.insert({"ScriptProcessor", "UpdateMissionTimers"});
        calls.effects["dunSimulationStep"] = [] {
            if (dunMissionCountdown > 0) dunMissionCountdown -= dunFrameStep;
        };
        int frames = 0;
        for (; frames < 2000 && !gMissionEndState; ++frames) {
            if (frames == 10)
                for (const char *name : {"Enemy", "Black2", "Black3"})
                    if (SceneItem *raider = static_cast<SceneItem *>(GetScriptSymbolValue(name)))
                        dunDeleteSceneItem(raider);
            gTicks += 10000;
            UpdateFrameClock();
            gameFrame();
        }
        EXPECT_EQ(gMissionEndState, 1) << c.file;
        EXPECT_EQ(dunMissionSuccess, c.success) << c.file;
        EXPECT_EQ(gMissionEnded, c.ended) << c.file;
        EXPECT_EQ(gMissionOutcome, c.outcome) << c.file;
        EXPECT_EQ(gMissionClock == 0, c.clockStill) << c.file;
        if (std::string(c.file) == "mission02.scr") {
            // The target time bonus: ten points a second under 30 seconds.
            EXPECT_EQ(gMissionScore, 100 + MissionTimeBonus(3000, gMissionClock, 10)) << gMissionClock;
            EXPECT_GT(gMissionScore, 100);
        }
        FreeScriptBuffers();
        dunResetWorld();
        resmanShutdown();
        dunFrozen = 0;
        calls.effects.clear();
    }
}

TEST_F(GameFrame, FilmStartedByTheScriptEndsTheFrameAtOnce) {
    calls.effects["ScriptProcessor"] = [] { VideoPlaying = 1; };
    EXPECT_EQ(gameFrame(), 1);
    EXPECT_EQ(FrameCalls(), (Calls{"guiGoToSelectedSystem", "UpdateMissionTimers", "ScriptProcessor"}));
    VideoPlaying = 0;
    calls.effects.clear();
    calls.effects["dunSimulationStep"] = [] { VideoPlaying = 1; };
    calls.calls.clear();
    EXPECT_EQ(gameFrame(), 1);
    EXPECT_EQ(calls.Count("DisplayPresent"), 0u);
    EXPECT_EQ(calls.Count("dunRandomAmbientEvent"), 0u);
}

TEST_F(GameFrame, KeysGoToTheHandlerUnlessHeldOff) {
    KeyQueuePut(0x1E61);
    KeyQueuePut(0x3B00);
    gameFrame();
    EXPECT_EQ(gHandled, (std::vector<uint16_t>{0x1E61, 0x3B00}));
    gHandled.clear();
    gKeyHoldOff = 5;
    for (int i = 0; i < 5; ++i) {
        KeyQueuePut(0x1000);
        gameFrame();
    }
    EXPECT_TRUE(gHandled.empty());
    EXPECT_EQ(KeyQueueCount(), 0);
    KeyQueuePut(0x1000);
    gameFrame();
    EXPECT_EQ(gHandled, (std::vector<uint16_t>{0x1000}));
}

TEST_F(GameFrame, MissionOverNextFrameCostsOneFrame) {
    gMissionOverNextFrame = 1;
    EXPECT_EQ(gameFrame(), 0);
    EXPECT_EQ(calls.Count("exitMission"), 0u);
    EXPECT_EQ(gameFrame(), 0);
    EXPECT_EQ(calls.Count("exitMission"), 1u);
    EXPECT_EQ(calls.Count("UpdateMissionTimers"), 0u);
}

TEST_F(GameFrame, LaunchRequestAndIntroMode) {
    gLaunchRequest = 1;
    gameFrame();
    EXPECT_EQ(calls.calls.size() > 1 ? calls.Without({"GetKeyDownTable"})[0] : "", "frontLaunchMission");
    EXPECT_EQ(gLaunchRequest, 0);
    optIntro = 0xFF;
    calls.calls.clear();
    EXPECT_EQ(gameFrame(), 0);
    EXPECT_TRUE(calls.calls.empty());
}

TEST_F(GameFrame, ScreenshotRunsBeginFrameTwice) {
    gScreenshotRequest = 1;
    gameFrame();
    EXPECT_EQ(calls.Count("DisplayBeginFrame"), 3u);
    EXPECT_EQ(gScreenshotRequest, 0);
    gSkipPresent = 1;
    calls.calls.clear();
    gameFrame();
    EXPECT_EQ(calls.Count("DisplayPresent"), 0u);
    EXPECT_EQ(gSkipPresent, 0);
}

TEST_F(GameFrame, LoadTestLaunchesAndEndsOnTheCountDown) {
    optLoadTest = 0xFF;
    gInFrontEnd = 1;
    gAutoLaunch = 50;
    auto frame = [] {
        gTicks += 20000;  // 20 cs
        UpdateFrameClock();
        gameFrame();
    };
    frame();
    frame();
    EXPECT_EQ(gLaunchRequest, 0);
    frame();
    EXPECT_EQ(gLaunchRequest, 1);
}

TEST_F(GameFrame, KeyTableCopiedAtTheEnd) {
    GetKeyDownTable()[0x2A] = 0xFF;
    gameFrame();
    EXPECT_EQ(dunPrevKeyTable[0x2A], 0xFF);
    GetKeyDownTable()[0x2A] = 0;
}

struct GameStart : GameFrame {
    ruvotest::TempDir dir;
};

TEST_F(GameStart, InitOrderToTheFrontEnd) {
    optFrontEndStart = 0xFF;
    Surface *screen = TheDisplayMode.screen;
    TheDisplayMode.screen = &ScreenSurface;
    calls.results["TokeniseScript"] = 1;
    EXPECT_EQ(gameInit(), 1);
    Calls expected = {"JoystickInit", "resmanInit", "SoundInit", "dunMsgInit", "dunResetPools", "InitSineTable",
                      "GetKeyDownTable", "InitializeScriptSystem", "FindCdDrives", "frontLoadInitTable",
                      "ReadInstallPaths",
                      // settings, init and key-binding scripts
                      "TokeniseScript", "ScriptProcessor", "pcxLoadPalette", "TokeniseScript", "ScriptProcessor",
                      "TokeniseScript", "ScriptProcessor"};
    for (int i = 0; i < 12; ++i) expected.push_back("GetScriptSymbolValue");
    for (const char *c :
         {"ClearSurface", "DisplayPresent", "DisplayBeginFrame", "DrawLoadPicture", "DisplayLoadPalette", "DisplayPresent",
          "BuildRowOffsetTable",
          "dunai_InitStateRegistry", "dunResetObjectLists", "guiResetWindows", "guiInit", "dunBuildShipSystems",
          "dunInitContacts", "SoundLoadAll", "guiEngSelectReactor", "dunReadStateFile", "dunReadCaptainSlot",
          "TokeniseScript", "ScriptProcessor", "MarkScriptBaseline", "ResetScriptForMission", "resmanMark",
          "resmanRelease", "dunSaveComponentTable", "frontSetPalette", "dunReadCaptainSlot", "ClearSurface",
          "DisplayPresent", "guiResetTextFeed"})
        expected.push_back(c);
    EXPECT_EQ(calls.calls, expected);
    EXPECT_EQ(gInFrontEnd, 1);
    TheDisplayMode.screen = screen;
}

int gTokenised, gMissing;
long TokeniseCounted() { return ++gTokenised == gMissing ? 0 : 1; }

TEST_F(GameStart, MissingInitOrKeyBindingScriptFails) {
    // Tokenised in order: settings (may be missing), init, key bindings.
    for (int missing : {1, 2, 3}) {
        ResetGameState();
        optFrontEndStart = 0xFF;
        gTokenised = 0;
        gMissing = missing;
        calls.dynamic["TokeniseScript"] = TokeniseCounted;
        EXPECT_EQ(gameInit(), missing == 1 ? 1 : 0) << missing;
    }
}

TEST_F(GameStart, CommandLineMissionNumber) {
    const struct {
        const char *name;
        int number;
        const char *row0;  // the name row 0 of the mission table gets
    } cases[] = {{"vek\\resource\\scripts\\missions\\mission15.scr", 15, ""},
                 {"x.scr", 0, "x"},
                 {"ab", 0, "ab"}};
    for (const auto &c : cases) {
        ResetGameState();
        std::snprintf(gMissionScriptName, sizeof gMissionScriptName, "%s", c.name);
        optFrontEndStart = 0;
        gCurrentMission = -1;
        gMissionTable[0].name[0] = 0;
        calls.results["TokeniseScript"] = 1;
        calls.results["slabOpen"] = 1;
        calls.calls.clear();
        EXPECT_EQ(gameInit(), 1);
        EXPECT_EQ(gCurrentMission, c.number) << c.name;
        EXPECT_EQ(gMissionFromCommandLine, 1);
        EXPECT_EQ(calls.Count("startMission"), 1u);
        EXPECT_STREQ(gMissionTable[0].name, c.row0) << c.name;
    }
}

TEST_F(GameStart, CommandLineMissionNotFoundStartsTheFrontEnd) {
    std::snprintf(gMissionScriptName, sizeof gMissionScriptName, "%s", "nothere.scr");
    calls.results["TokeniseScript"] = 1;
    EXPECT_EQ(gameInit(), 1);
    EXPECT_TRUE(optFrontEndStart);
    EXPECT_EQ(gInFrontEnd, 1);
    EXPECT_EQ(calls.Count("startMission"), 0u);
}

long TokeniseFailsForTheMission() {
    // While loading, "stock.scr" comes first, then the mission's own.
    if (!gLoading) return 1;
    return ++gTokenised == 2 ? 0 : 1;
}

TEST_F(GameStart, UnreadableCommandLineMissionIsAFailure) {
    std::snprintf(gMissionScriptName, sizeof gMissionScriptName, "%s", "broken.scr");
    gTokenised = 0;
    calls.results["slabOpen"] = 1;
    calls.dynamic["TokeniseScript"] = TokeniseFailsForTheMission;
    calls.run.insert("dunReportFailure");
    try {
        gameInit();
        FAIL() << "went on without its mission";
    } catch (const ruvotest::FatalError &e) {
        EXPECT_EQ(e.exitCode, 1);
    }
    FILE *f = std::fopen("debug.txt", "rb");
    ASSERT_TRUE(f);
    char buf[512] = {};
    size_t n = std::fread(buf, 1, sizeof buf - 1, f);
    std::fclose(f);
    EXPECT_NE(std::string(buf, n).find("Can't find your command-line script"), std::string::npos);
}

}  // namespace
