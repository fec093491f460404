// The shell: idle turns, pause keys, the command line, the window
// procedure's drops, and the settings file set aside on every road.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/clock.h"
#include "app/game.h"
#include "core/log.h"
#include "app/options.h"
#include "app/shell.h"
#include "core/counter.h"
#include "core/frame.h"
#include "platform/video.h"
#include "call_recorder.h"
#include "common/fatal_hook.h"
#include "common/temp_dir.h"
#include "os/events.h"
#include "platform/display.h"
#include "core/options.h"
#include "os/display.h"
#include "os/window.h"
#include "platform/keyboard.h"
#include "script/career.h"
#include "script/mission.h"

using ruvotest::CallRecorder;
using Calls = std::vector<std::string>;
namespace fs = std::filesystem;

namespace {

// A counter of 10-microsecond ticks that only the test and the sleeps move.
constexpr uint64_t kTicksPerSecond = 100000;
uint64_t gTicks;
uint64_t FakeCounter() { return gTicks; }
uint32_t gSleeps, gSleptMs;
void FakeSleep(uint32_t ms) {
    ++gSleeps;
    gSleptMs += ms;
    gTicks += uint64_t(ms) * kTicksPerSecond / 1000;
}

struct Shell : testing::Test {
    CallRecorder calls;
    void SetUp() override {
        SetFrameCounter(FakeCounter, kTicksPerSecond);
        SetFrameSleeper(FakeSleep);
        gTicks = 1000;
        gSleeps = gSleptMs = 0;
        StartFrameClock();
        gActive = 1;
        calls.run = {"KeyQueueCount", "KeyQueueGet", "GetKeyDownTable"};
    }
    void TearDown() override { SetFrameSleeper(nullptr); }
    // One idle turn a centisecond after the last.
    Calls Turn(uint64_t ticks = kTicksPerSecond / 100) {
        gTicks += ticks;
        calls.calls.clear();
        ShellIdleTurn();
        return calls.Without({"KeyQueueCount", "KeyQueueGet", "GetKeyDownTable"});
    }
};

TEST_F(Shell, PauseKeys) {
    const struct {
        uint16_t key;
        bool shiftHeld;
        bool resumes;
        Calls calls;
    } cases[] = {
        {0x1900, false, true, {"guiRedrawCockpit"}},
        {0x011B, false, true, {"guiRedrawCockpit"}},
        {0x1071, true, true, {"SoundResumeAll", "guiMarkRedraw", "guiEndMission"}},
        {0x1071, false, false, {}},
        {0x1E61, true, false, {}},
        {0, false, false, {}},
    };
    for (const auto &c : cases) {
        gPaused = 1;
        GetKeyDownTable()[0x2A] = c.shiftHeld ? 0xFF : 0;
        if (c.key) KeyQueuePut(c.key);
        uint32_t clockBefore = gNowCs;
        EXPECT_EQ(Turn(), c.calls) << std::hex << c.key;
        EXPECT_EQ(gPaused, c.resumes ? 0 : 1) << std::hex << c.key;
        EXPECT_EQ(gNowCs, clockBefore);  // no clock update while paused
    }
}

TEST_F(Shell, IdleTurnChoices) {
    EXPECT_EQ(Turn(), (Calls{"gameFrame"}));
    gVideoLeadIn = 10;
    EXPECT_EQ(Turn(), Calls{});
    EXPECT_LT(gVideoLeadIn, 10);
    gVideoLeadIn = 0;
    VideoPlaying = 1;
    EXPECT_EQ(Turn(), (Calls{"StepPlayingVideo"}));
    MciPlaying = 1;
    EXPECT_EQ(Turn(), (Calls{"VideoWindowStep"}));
    VideoPlaying = MciPlaying = 0;
    gActive = 0;
    EXPECT_EQ(Turn(), Calls{});
    optRunInBack = 0xFF;
    EXPECT_EQ(Turn(), (Calls{"gameFrame"}));
}

// Turns asked for faster than the centisecond the frame step counts in run
// at most one frame a centisecond, and wait for it by sleeping; slower ones
// each run a frame.
TEST_F(Shell, FramesRunAtMostOnceACentisecondAndTheTurnsBetweenSleep) {
    const struct {
        int turnsPerSecond;
        size_t frames;  // in one second
    } cases[] = {{60, 60}, {100, 100}, {5000, 100}, {1000000, 100}};
    for (const auto &c : cases) {
        const uint64_t start = gTicks;
        const uint32_t clock = dunGameClock;
        const uint64_t each = kTicksPerSecond / uint64_t(c.turnsPerSecond);
        size_t frames = 0, turns = 0;
        gSleeps = 0;
        while (gTicks - start < kTicksPerSecond && turns < 100000) {
            frames += Turn(each).size();
            ++turns;
        }
        // A sleep may wake a little past the centisecond, so a frame now
        // and then covers two: never more frames than centiseconds.
        EXPECT_LE(frames, c.frames + 1) << c.turnsPerSecond;
        EXPECT_GE(frames, c.frames * 9 / 10) << c.turnsPerSecond;
        // The game clock follows the counter whatever the rate.
        EXPECT_NEAR(double(dunGameClock - clock), 100.0, 2.0) << c.turnsPerSecond;
        // Every turn that ran no frame slept.
        EXPECT_EQ(gSleeps, turns - frames) << c.turnsPerSecond;
    }
}

TEST_F(Shell, APausedOrBackgroundGameSleepsEachTurn) {
    gPaused = 1;
    EXPECT_EQ(Turn(0), Calls{});
    EXPECT_EQ(gSleeps, 1u);
    gPaused = 0;
    gActive = 0;
    EXPECT_EQ(Turn(0), Calls{});
    EXPECT_EQ(gSleeps, 2u);
    EXPECT_GE(gSleptMs, 10u);
}

TEST_F(Shell, IntroModeKeys) {
    optIntro = 0xFF;
    KeyQueuePut(0x011B);  // Esc: the next film
    EXPECT_EQ(Turn(), (Calls{"gameFrame", "VideoWindowNext"}));
    EXPECT_EQ(gQuit, 0);
    KeyQueuePut(0x1E61);  // any other key quits
    Turn();
    EXPECT_EQ(gQuit, 1);
    gQuit = 0;
    optDemo = 0xFF;
    KeyQueuePut(0x1E61);  // in demo mode it only leaves the intro
    Turn();
    EXPECT_EQ(gQuit, 0);
    EXPECT_EQ(optIntro, 0);
}

TEST_F(Shell, CommandLineSplit) {
    calls.run.insert("parseCommandSwitch");
    const struct {
        const char *line;
        bool frontEnd;
        const char *script;
    } cases[] = {
        {"", true, ""},
        {"-w", false, ""},
        {"-w,-16 mission15.scr", false, "mission15.scr"},
        {"-w , -nologos,,x.scr -b", false, "x.scr"},
        {"x.scr y.scr", false, "x.scr"},
    };
    for (const auto &c : cases) {
        ResetOptions();
        gMissionScriptName[0] = 0;
        calls.calls.clear();
        ShellReadCommandLine(c.line);
        EXPECT_EQ(optFrontEndStart != 0, c.frontEnd) << c.line;
        EXPECT_STREQ(gMissionScriptName, c.script) << c.line;
    }
    ResetOptions();
    calls.calls.clear();
    calls.run.erase("parseCommandSwitch");
    ShellReadCommandLine("-a,-b -c d -e");
    EXPECT_EQ(calls.calls, (Calls{"parseCommandSwitch", "parseCommandSwitch", "parseCommandSwitch"}));
}

TEST_F(Shell, DroppedFiles) {
    OsMessage m{};
    m.type = OSM_DROPFILES;
    m.dropCount = 1;
    std::strcpy(m.path, "ship.lwo");
    FullScreenMode = 1;  // the main window hands everything to the game window
    MainWndProc(m);
    m.dropCount = 2;
    MainWndProc(m);
    m.dropCount = 1;
    std::memset(m.path, 'a', 81);
    MainWndProc(m);
    EXPECT_EQ(calls.calls, (Calls{"launchFileByExtension"}));
}

TEST_F(Shell, ActivationAndClose) {
    OsMessage m{};
    m.type = OSM_ACTIVATEAPP;
    m.wParam = 0;
    GetKeyDownTable()[0x1D] = 0xFF;  // Ctrl held when the focus went
    MainWndProc(m);
    EXPECT_EQ(gActive, 0);
    EXPECT_EQ(GetKeyDownTable()[0x1D], 0);
    EXPECT_EQ(calls.Without({"GetKeyDownTable"}), (Calls{"MouseReacquire", "ffReacquire"}));
    m.wParam = 1;
    MainWndProc(m);
    EXPECT_EQ(gActive, 1);
    m.type = OSM_CLOSE;
    MainWndProc(m);
    OsMessage q{};
    ASSERT_TRUE(osPeekMessage(&q));
    EXPECT_EQ(q.type, OSM_QUIT);
    EXPECT_EQ(q.wParam, 0u);
}

// A window uncovered or given the focus again shows the whole screen again:
// the last frame at once, and every window drawn afresh at the next frame.
TEST_F(Shell, ExposeAndFocusRedrawTheWholeScreen) {
    const struct {
        uint16_t type;
        uint32_t wParam;
        size_t redraws;
    } cases[] = {{OSM_PAINT, 0, 1}, {OSM_ACTIVATEAPP, 1, 1}, {OSM_ACTIVATEAPP, 0, 0}};
    for (const auto &c : cases) {
        OsMessage m{};
        m.type = c.type;
        m.wParam = c.wParam;
        calls.calls.clear();
        GameWndProc(m);
        EXPECT_EQ(calls.Count("guiMarkRedraw"), c.redraws) << c.type << " " << c.wParam;
    }
}

// The game's window opens at the size the display will take, in the middle
// of the screen: it never grows afterwards (and runs off the desktop).
TEST_F(Shell, TheWindowOpensAtItsFinalSize) {
    const struct {
        int16_t mode;
        int width, height;
    } cases[] = {{0, 640, 480}, {1, 800, 600}, {2, 1024, 768}};
    const int16_t resolution = ResolutionMode;
    FullScreenMode = 0;
    CardMode = 0;
    for (const auto &c : cases) {
        ResolutionMode = c.mode;
        calls.run.insert("osCreateMainWindow");
        ASSERT_TRUE(CreateMainWindow());
        int w = 0, h = 0, x = -1, y = -1;
        osGetWindowSize(&w, &h);
        osGetWindowPosition(&x, &y);
        EXPECT_EQ(w, c.width) << c.mode;
        EXPECT_EQ(h, c.height) << c.mode;
        EXPECT_GE(x, 0) << c.mode;
        EXPECT_GE(y, 0) << c.mode;
        osDisplayUseWindow(nullptr);
        osDestroyMainWindow();
    }
    ResolutionMode = resolution;
}

TEST_F(Shell, LaunchFileByExtension) {
    const struct {
        const char *path;
        const char *first;
    } cases[] = {{"a\\b.LWO", "resmanRegisterLoad"}, {"intro.smk", "PlayVideo"}, {"m.Scr", "dunResetWorld"},
                 {"x.pcx", nullptr},              {"wo", nullptr},            {"", nullptr}};
    for (const auto &c : cases) {
        calls.calls.clear();
        launchFileByExtension(c.path);
        if (c.first) {
            ASSERT_FALSE(calls.calls.empty()) << c.path;
            EXPECT_EQ(calls.calls[0], c.first) << c.path;
        } else {
            EXPECT_TRUE(calls.calls.empty()) << c.path;
        }
    }
}

TEST_F(Shell, ShutdownOrder) {
    optFrontEndStart = 0xFF;
    gCaptainSlotRead = 1;
    gameShutdown();
    EXPECT_EQ(calls.calls, (Calls{"showLoadScreen", "dunWriteCaptainSlot", "dunWriteStateFile", "SoundShutdown",
                                  "dunFreeTimelines", "guiFreeTextFeed", "resmanShutdown", "dunMsgShutdown",
                                  "FreeScriptBuffers", "ShutdownInputAndDisplay"}));
    optFrontEndStart = 0;
    optIntro = 0xFF;
    calls.calls.clear();
    gameShutdown();
    EXPECT_EQ(calls.Count("dunWriteStateFile"), 0u);
    // Before a captain's slot was read, and for a mission named on the
    // command line, there is no career to write back.
    const struct {
        uint8_t slotRead, commandLine;
    } kNoCareer[] = {{0, 0}, {1, 1}};
    optIntro = 0;
    for (const auto &c : kNoCareer) {
        gCaptainSlotRead = c.slotRead;
        gMissionFromCommandLine = c.commandLine;
        calls.calls.clear();
        gameShutdown();
        EXPECT_EQ(calls.Count("dunWriteCaptainSlot") + calls.Count("dunWriteStateFile"), 0u)
            << int(c.slotRead) << int(c.commandLine);
    }
}

std::string ReadAll(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct SettingsFile : Shell {
    ruvotest::TempDir dir;
    void SetUp() override {
        Shell::SetUp();
        setenv("RUVO_WINDIR", dir.path().c_str(), 1);
        std::ofstream(dir.path() + "/vantor.ini") << "users";
    }
    void TearDown() override {
        SettingsFileRestore();
        unsetenv("RUVO_WINDIR");
        Shell::TearDown();
    }
    void ExpectRestored() {
        EXPECT_EQ(ReadAll(dir.path() + "/vantor.ini"), "users");
        EXPECT_FALSE(fs::exists(dir.path() + "/vantor.old"));
        EXPECT_EQ(gSettingsFileMoved, 0);
    }
};

TEST_F(SettingsFile, SetAsideForTheRunAndBack) {
    SettingsFileSetAside();
    EXPECT_EQ(gSettingsFileMoved, 1);
    EXPECT_FALSE(fs::exists(dir.path() + "/vantor.ini"));
    std::ofstream(dir.path() + "/vantor.ini") << "written by the library";
    SettingsFileRestore();
    ExpectRestored();
}

TEST_F(SettingsFile, RestoredOnTheFatalRoad) {
    SettingsFileSetAside();
    EXPECT_THROW(dunFatalError("Exceeded max Avatars"), ruvotest::FatalError);
    ExpectRestored();
}

TEST_F(SettingsFile, RestoredWhenQuitArrivesInsideALongOperation) {
    SettingsFileSetAside();
    osPostQuit(0);
    try {
        PumpMessages();
        FAIL();
    } catch (const ruvotest::FatalError &e) {
        EXPECT_EQ(e.exitCode, 0);
    }
    EXPECT_EQ(calls.Count("SoundShutdown"), 1u);  // the shutdown ran
    ExpectRestored();
}

TEST_F(SettingsFile, LeftOverFromAKilledRunComesBack) {
    fs::rename(dir.path() + "/vantor.ini", dir.path() + "/vantor.old");
    SettingsFileSetAside();
    EXPECT_EQ(gSettingsFileMoved, 1);
    SettingsFileRestore();
    ExpectRestored();
}

TEST_F(SettingsFile, NothingToMove) {
    fs::remove(dir.path() + "/vantor.ini");
    SettingsFileSetAside();
    EXPECT_EQ(gSettingsFileMoved, 0);
    SettingsFileRestore();
    EXPECT_FALSE(fs::exists(dir.path() + "/vantor.ini"));
}

}  // namespace
