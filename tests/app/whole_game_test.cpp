// The whole game, headless, through the real start-up and the main loop's
// idle turns with a fixed frame step and injected keys and clicks: the
// front end's home page, a new captain, the timeline, the first mission
// flown until it ends in success, its debriefing, the way back to the
// timeline, and the career as a restart finds it; and the home page at 16
// bits with the pointer over its background.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "RES/resman.h"
#include "app/clock.h"
#include "app/floor_hooks.h"
#include "app/game.h"
#include "app/shell.h"
#include "common/sample_root.h"
#include "core/options.h"
#include "gui/cockpit.h"
#include "gui/feed.h"
#include "gui/front.h"
#include "gui/options.h"
#include "gui/screen.h"
#include "gui/timeline.h"
#include "gui/window.h"
#include "os/display.h"
#include "platform/display.h"
#include "platform/hooks.h"
#include "platform/keyboard.h"
#include "platform/smack.h"
#include "platform/video.h"
#include "present/p3d.h"
#include "render/drivers/output.h"
#include "script/career.h"
#include "script/mission.h"
#include "script/script.h"
#include "script/symbols.h"

namespace {

uint64_t gTicks;
uint64_t FakeCounter() { return gTicks; }
int64_t gNow;
int64_t AlwaysDue() { return gNow += 1000000; }

std::vector<std::string> gTitles;
bool gRunning;  // started and not shut down: a failed check still shuts down
const FrontShellHooks kShell = {[](const char *t) { gTitles.emplace_back(t); }, [] { gQuit = 1; }};

class WholeGame : public testing::Test {
protected:
    std::unique_ptr<ruvotest::SampleRoot> root;
    void SetUp() override {
        root = std::make_unique<ruvotest::SampleRoot>();
        SetFrameCounter(FakeCounter, 100000);
        SmackSetClock(AlwaysDue);
        gTitles.clear();
    }
    void TearDown() override {
        if (gRunning) Stop();
        SmackSetClock(nullptr);
        SetFrameCounter(nullptr, 0);
        // The floors' hooks go with the game: later tests run without them.
        SetPlatformHooks(nullptr);
        resmanSetModelHooks(nullptr);
        SetMissionShellHooks(nullptr);
        SetFrontShellHooks(nullptr);
        VtOutputHostSet(nullptr);
        ResetOptions();
        ResetGameState();
        // The palette it points at went with the game's resources.
        LastPalette = nullptr;
        root.reset();
    }
    // The shell's start: a front-end start in English, at the given depth;
    // "nosysbuf" when the full-screen driver is to flip two buffers.
    static void Start(int depth = 8, bool noSysBuf = false) {
        ResetOptions();
        if (noSysBuf) optSysBuf = 0;
        ResetGameState();
        ResetOptionTable();
        PixelDepth = depth;
        BytesPerPixel = uint16_t(depth / 8);
        optFrontEndStart = 0xFF;
        gLanguage = 0;
        gTicks = 1;
        StartFrameClock();
        InstallFloorHooks();
        SetFrontShellHooks(&kShell);
        gActive = 1;
        gQuit = 0;
        ASSERT_EQ(gameInit(), 1);
        gRunning = true;
    }
    // The game's end; the 3D system goes too, as with the process's end.
    static void Stop() {
        gRunning = false;
        gameShutdown();
        P3DShutdown();
    }
    // One turn of the main loop, 10 centiseconds on.
    static void Turn() {
        gTicks += 10000;
        ShellIdleTurn();
    }
    // Turns until the condition holds; false when it never did.
    template <class F>
    static bool TurnsUntil(F done, int limit) {
        for (int i = 0; i < limit; ++i) {
            if (done()) return true;
            Turn();
        }
        return done();
    }
    static std::string Screen() { return gGuiScreen && gGuiScreen->name ? gGuiScreen->name : ""; }
    static void Key(int scan, int character = 0) { KeyQueuePut(uint16_t(scan << 8 | character)); }
    // A click in the middle of a named window.
    static void Click(const char *name) {
        GuiWindow *w = guiLiveWindow(GetScriptSymbolValue(name));
        ASSERT_NE(w, nullptr) << name;
        guiWindowRect(w, nullptr, nullptr);
        const int x = (w->rect[0] + w->rect[2]) / 2, y = (w->rect[1] + w->rect[3]) / 2;
        // The hover settles first: a window may only become hittable when
        // its page's first frame has drawn.
        OnMouseMove(nullptr, x, y, 0);
        Turn();
        Turn();
        OnLeftButtonDown(nullptr, x, y, 1);
        Turn();
        OnLeftButtonUp(nullptr, x, y, 0);
        Turn();
    }
    // The rows of a window's rectangle as the last presented frame showed
    // them (16 bits per pixel).
    static std::vector<uint16_t> Shown(const GuiWindow *w) {
        int pitch = 0;
        const auto *frame = static_cast<const uint8_t *>(osDisplayLastFrame(&pitch));
        std::vector<uint16_t> px;
        if (!frame) return px;
        for (int y = w->rect[1]; y <= w->rect[3]; ++y)
            for (int x = w->rect[0]; x <= w->rect[2]; ++x) {
                uint16_t v;
                std::memcpy(&v, frame + size_t(y) * pitch + size_t(x) * 2, 2);
                px.push_back(v);
            }
        return px;
    }
};

// At 16 bits on the full-screen driver, with the pointer resting over the
// home page's background (where it lies when the game takes the screen):
// the background picture becomes the hot window and is drawn again, and the
// menu buttons on it stay in the shown frames.
TEST_F(WholeGame, TheHomePageKeepsItsButtonsWhenTheMouseComesOverItsBackground) {
    ASSERT_TRUE(SelectFullScreenDriver());
    Start(16);
    ASSERT_TRUE(TurnsUntil([] { return gFrontPage == FrontPage::Home; }, 20));
    Turn();
    const char *const kButtons[] = {"FrRos", "FrAct", "FrCrd", "FrSys"};
    std::vector<std::vector<uint16_t>> before;
    for (const char *name : kButtons) {
        GuiWindow *w = guiLiveWindow(GetScriptSymbolValue(name));
        ASSERT_NE(w, nullptr) << name;
        before.push_back(Shown(w));
        ASSERT_FALSE(before.back().empty());
        // The button's black fill, not the background's blue, is showing
        // near its right end.
        const int width = w->rect[2] - w->rect[0] + 1, row = (w->rect[3] - w->rect[1]) / 2;
        EXPECT_EQ(before.back()[size_t(row) * width + width - 5], 0) << name;
    }
    OnMouseMove(nullptr, 320, 240, 0);
    for (int i = 0; i < 4; ++i) Turn();
    ASSERT_EQ(gGuiHotWindow, guiLiveWindow(GetScriptSymbolValue("FhBg")));
    for (size_t i = 0; i < std::size(kButtons); ++i) {
        const std::vector<uint16_t> after = Shown(guiLiveWindow(GetScriptSymbolValue(kButtons[i])));
        ASSERT_EQ(after.size(), before[i].size());
        size_t changed = 0;
        for (size_t k = 0; k < after.size(); ++k) changed += after[k] != before[i][k];
        EXPECT_EQ(changed, 0u) << kButtons[i] << ": pixels that changed of " << after.size();
    }
    Stop();
}

// With "nosysbuf" the full-screen driver shows one of two buffers in turn: a
// window the GUI draws once must reach both, or every other frame shows the
// page without it.
TEST_F(WholeGame, WithTwoBuffersFlippingTheHomePageIsWholeInEveryFrame) {
    ASSERT_TRUE(SelectFullScreenDriver());
    Start(16, true);
    EXPECT_EQ(gGuiRedrawReload, 2);
    ASSERT_TRUE(TurnsUntil([] { return gFrontPage == FrontPage::Home; }, 20));
    for (int frame = 0; frame < 6; ++frame) {
        Turn();
        for (const char *name : {"FrRos", "FrAct", "FrCrd", "FrSys"}) {
            GuiWindow *w = guiLiveWindow(GetScriptSymbolValue(name));
            ASSERT_NE(w, nullptr) << name;
            const std::vector<uint16_t> px = Shown(w);
            ASSERT_FALSE(px.empty());
            const int width = w->rect[2] - w->rect[0] + 1, row = (w->rect[3] - w->rect[1]) / 2;
            EXPECT_EQ(px[size_t(row) * width + width - 5], 0) << name << " in frame " << frame;
        }
    }
    Stop();
}

TEST_F(WholeGame, FromTheHomePageThroughAMissionAndBack) {
    Start();
    EXPECT_EQ(gInFrontEnd, 1);
    // The home page, with its film running.
    ASSERT_TRUE(TurnsUntil([] { return gFrontPage == FrontPage::Home; }, 20));
    EXPECT_EQ(Screen(), "FrontHome");
    // Enter on the first menu item: the roster.
    Key(28, 13);
    ASSERT_TRUE(TurnsUntil([] { return gFrontPage == FrontPage::Roster; }, 100));
    EXPECT_EQ(Screen(), "FrontRoster");
    EXPECT_EQ(gCaptainNamed, 0);
    // A new captain: the name typed, then the career's style.
    Click("RosNew");
    ASSERT_EQ(gFrontNameEntry, 1);
    const char kName[] = "Ilsa Merrow";
    for (const char *c = kName; *c; ++c) Key(30, *c);
    Key(28, 13);
    ASSERT_TRUE(TurnsUntil([] { return Screen() == "NewRostSlot"; }, 30));
    EXPECT_STREQ(gCaptainSlot.name, kName);
    EXPECT_EQ(gCaptainNamed, 1);
    Click("NRSSim");
    // The timeline: the first mission is the one to fly.
    ASSERT_TRUE(TurnsUntil([] { return gFrontPage == FrontPage::Time && Screen() == "FrontTime"; }, 100));
    ASSERT_NE(gTimelineOpen.first, nullptr);
    EXPECT_EQ(gCareerMission, 1);
    EXPECT_EQ(gTimelinePlayed.first, nullptr);
    EXPECT_EQ(gFrontPlayAvailable[0], 1);
    EXPECT_EQ(gFrontScriptPresent, 1);
    // Launch: Enter presses the first play button offered.
    Key(28, 13);
    ASSERT_TRUE(TurnsUntil([] { return gInFrontEnd == 0; }, 10));
    ASSERT_FALSE(gTitles.empty());
    EXPECT_EQ(gTitles.back(), "Kelv - Mission 1 - First Blood");
    EXPECT_EQ(Screen(), "COM");
    EXPECT_EQ(StationId, 1);
    // The mission flies until the raider breaks off; it ends in success
    // and waits for the player.
    ASSERT_TRUE(TurnsUntil([] { return gMissionEndState == 1; }, 3000));
    EXPECT_EQ(dunMissionSuccess, 0xFF);
    EXPECT_EQ(gInFrontEnd, 0);
    // Two steps of players' ends that belong to modules still to come are
    // taken here directly: the event camera's full-screen view of the
    // player's ship, and the cockpit's pause key. Then Shift+Q ends the
    // mission, which shows its debriefing in the feed and goes back to the
    // front end.
    guiEnterFullScreen();
    gPaused = 1;
    GetKeyDownTable()[0x2A] = 1;
    Key(0x10, 'Q');
    Turn();
    GetKeyDownTable()[0x2A] = 0;
    EXPECT_EQ(gPaused, 0);
    // The debriefing of the outcome the flight gave: the raider destroyed
    // (0) or broken off (1).
    std::string feed;
    ASSERT_TRUE(TurnsUntil(
        [&] {
            if (gFeed.pending[0] && feed.find(gFeed.pending) == std::string::npos) feed += gFeed.pending;
            return gInFrontEnd != 0;
        },
        3000));
    const int outcome = gCareerState.word[StateWord::Outcome];
    ASSERT_TRUE(outcome == 0 || outcome == 1) << outcome;
    EXPECT_NE(feed.find(outcome ? "broke off" : "Kestrel destroyed"), std::string::npos) << feed;
    EXPECT_EQ(gCareerState.word[StateWord::Success], -1);
    // Back on the timeline with the mission played and the next one open.
    EXPECT_EQ(Screen(), "FrontTime");
    EXPECT_EQ(gCaptainSlot.played[1], -1);
    EXPECT_EQ(gCaptainSlot.historyCount, 1);
    EXPECT_EQ(gCaptainSlot.resultValue[1], outcome);
    ASSERT_NE(gTimelinePlayed.first, nullptr);
    EXPECT_EQ(gTimelinePlayed.first->mission->index, 1);
    EXPECT_EQ(gTimelinePlayed.first->kind, 1);
    const int32_t score = gCaptainSlot.totalScore;
    const int32_t time = CaptainMissionTime(1);
    EXPECT_GT(time, 0);
    Turn();
    Stop();

    // A restart finds the career as it was left.
    ResetFrontEnd();
    gCaptainSlot = CaptainSlot{};
    gCareerState = CareerState{};
    Start();
    EXPECT_STREQ(gCaptainSlot.name, kName);
    EXPECT_EQ(gCaptainSlot.played[1], -1);
    EXPECT_EQ(gCaptainSlot.totalScore, score);
    EXPECT_EQ(CaptainMissionTime(1), time);
    EXPECT_EQ(gCareerState.bestTime[1], time);
    EXPECT_EQ(gCaptainSlot.modeFlags & 3, 2);
    // Its timeline, opened from the roster, shows the mission played.
    ASSERT_TRUE(TurnsUntil([] { return gFrontPage == FrontPage::Home; }, 20));
    Key(28, 13);
    ASSERT_TRUE(TurnsUntil([] { return gFrontPage == FrontPage::Roster; }, 100));
    Key(28, 13);
    ASSERT_TRUE(TurnsUntil([] { return gFrontPage == FrontPage::Time && Screen() == "FrontTime"; }, 100));
    ASSERT_NE(gTimelinePlayed.first, nullptr);
    EXPECT_EQ(gTimelinePlayed.first->mission->index, 1);
    ASSERT_NE(gTimelineOpen.first, nullptr);
    EXPECT_NE(gTimelineOpen.first->mission->index, 1);
    Stop();
}

}  // namespace
