// The front end on the sample GUI: the page machine with and without its
// films, the keys, the roster's slots and name entry, the timeline's
// confirmations, the launch of a mission and the career after it.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "RES/font.h"
#include "common/sample_root.h"
#include "core/files.h"
#include "core/options.h"
#include "gui/docviewer.h"
#include "gui/front.h"
#include "gui/options.h"
#include "gui/timeline.h"
#include "gui_fixture.h"
#include "os/paths.h"
#include "platform/smack.h"
#include "platform/sound.h"
#include "platform/video.h"
#include "script/career.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/script.h"
#include "script/settings.h"
#include "world/objlist.h"
#include "world/pools.h"

namespace guitest {
namespace {

int64_t gNow;
int64_t AlwaysDue() { return gNow += 1000000; }

std::vector<std::string> gTitles;
int gQuits;
const FrontShellHooks kShell = {[](const char *t) { gTitles.emplace_back(t); }, [] { ++gQuits; }};

constexpr uint16_t Key(int scan, int character = 0) { return uint16_t(scan << 8 | character); }

class FrontEnd : public GuiTest {
protected:
    std::unique_ptr<ruvotest::SampleRoot> root;
    virtual std::vector<std::string> LeftOut() const { return {}; }
    void SetUp() override {
        GuiTest::SetUp();
        root = std::make_unique<ruvotest::SampleRoot>(LeftOut());
        ResetOptions();
        ResetOptionTable();
        ResetFrontEnd();
        gLanguage = 0;
        optFrontEndStart = 0xFF;
        SmackSetClock(AlwaysDue);
        SetFrontShellHooks(&kShell);
        gTitles.clear();
        gQuits = 0;
        dunResetPools();
        dunResetObjectLists();
        resmanInit();
        InitializeScriptSystem();
        Run("vek\\resource\\scripts\\init\\init.scr");
        guiResetWindows();
        guiInit();
        dunReadStateFile();
        dunReadCaptainSlot();
        gGuiScriptLoading = 1;
        Run("vek\\resource\\scripts\\gui\\test0_x.gui");
        gGuiScriptLoading = 0;
        MarkScriptBaseline();
        frontSetPalette();
        gInFrontEnd = 1;
    }
    void TearDown() override {
        VideoStop();
        FrontClosePageFilm();
        dunFreeTimelines();
        FreeScriptBuffers();
        SoundReleaseAll();
        resmanShutdown();
        DisplayClose();
        // The palettes were the pool's.
        LastPalette = nullptr;
        gCurrentPalette = nullptr;
        ResetFrontEnd();
        ResetOptionTable();
        ResetOptions();
        SetFrontShellHooks(nullptr);
        SmackSetClock(nullptr);
        gInFrontEnd = 0;
        gDeveloperKeys = 0;
        gLaunchRequest = 0;
        gFollowOnMission = 0;
        VideoPlaying = 0;
        StationId = 0;
        root.reset();
        GuiTest::TearDown();
    }
    static void Run(const char *path) {
        ScriptToken *pc = TokeniseScript(path);
        ASSERT_NE(pc, nullptr) << path;
        ScriptProcessor(&pc, 0);
    }
    static void Frame() {
        ++dunFrameCounter;
        guiUpdate();
    }
    static std::string Screen() { return gGuiScreen && gGuiScreen->name ? gGuiScreen->name : ""; }
    static GuiWindow *Window(const char *name) { return guiLiveWindow(GetScriptSymbolValue(name)); }
    static void Activate(const char *name) {
        GuiWindow *w = Window(name);
        ASSERT_NE(w, nullptr) << name;
        ASSERT_NE(w->onActivate, nullptr) << name;
        w->onActivate(w);
    }
    // Frames until the page is stable and its screen shows; the pages seen.
    static std::vector<int> RunPages(int frames) {
        std::vector<int> pages;
        for (int i = 0; i < frames; ++i) {
            Frame();
            if (pages.empty() || pages.back() != gFrontPage) pages.push_back(gFrontPage);
        }
        return pages;
    }
};

TEST_F(FrontEnd, PageMachineFollowsTheFilms) {
    EXPECT_EQ(gFrontPage, 0);
    EXPECT_EQ(gFrontRequestedPage, 1);
    EXPECT_EQ(RunPages(3), (std::vector<int>{1, 2}));
    EXPECT_EQ(Screen(), "FrontHome");
    // Home to the roster: the film plays for its frames on the home screen,
    // then the roster's page and screen come.
    Activate("FrRosSq");
    int framesOnFour = 0;
    for (int i = 0; i < 30 && gFrontPage != FrontPage::Roster; ++i) {
        Frame();
        framesOnFour += gFrontPage == 4;
        EXPECT_TRUE(gFrontPage != 4 || Screen() == "FrontHome");
    }
    EXPECT_GT(framesOnFour, 3);
    EXPECT_EQ(gFrontPage, FrontPage::Roster);
    EXPECT_EQ(Screen(), "FrontRoster");
    // The roster's own film loops: the page stays.
    RunPages(40);
    EXPECT_EQ(gFrontPage, FrontPage::Roster);
}

class FrontEndWithoutFilms : public FrontEnd {
    std::vector<std::string> LeftOut() const override { return {"vek/resource/video"}; }
};

TEST_F(FrontEndWithoutFilms, MissingFilmsMoveOnAtOnce) {
    EXPECT_EQ(RunPages(3), (std::vector<int>{1, 2}));
    Activate("FrRosSq");
    EXPECT_EQ(RunPages(4), (std::vector<int>{4, 5}));
    EXPECT_EQ(Screen(), "FrontRoster");
    Activate("RosExit");
    EXPECT_EQ(RunPages(4), (std::vector<int>{6, 2}));
    EXPECT_EQ(Screen(), "FrontHome");
}

TEST_F(FrontEnd, EscapeTakesPagePlusOne) {
    const struct {
        int page, requested;
    } cases[] = {{2, 3}, {5, 6}, {10, 11}, {19, 20}, {22, 23}, {4, 4}, {9, 9}};
    for (const auto &c : cases) {
        guiSetScreen("FrontHome");
        gFrontPage = gFrontRequestedPage = int16_t(c.page);
        frontKeyHandler(Key(1, 27));
        EXPECT_EQ(gFrontRequestedPage, c.requested) << c.page;
        EXPECT_TRUE(c.requested == c.page || Screen() == "FrontRoster") << c.page;
    }
}

TEST_F(FrontEnd, HomeMenuGrid) {
    RunPages(3);
    const struct {
        int scan, node;
    } steps[] = {{77, 1}, {80, 3}, {75, 2}, {72, 0}, {80, 2}, {77, 3}, {75, 2}};
    for (const auto &s : steps) {
        frontKeyHandler(Key(s.scan));
        EXPECT_EQ(gFrontHomeNode, s.node) << s.scan;
    }
    frontKeyHandler(Key(28, 13));
    EXPECT_EQ(gFrontRequestedPage, 18);  // credits
    // The mouse over a square selects its node.
    GuiWindow *square = Window("FrSysSq");
    ASSERT_NE(square, nullptr);
    guiWindowRect(square, nullptr, nullptr);
    gFrontRequestedPage = gFrontPage = FrontPage::Home;
    gMouse.x = (square->rect[0] + square->rect[2]) / 2;
    gMouse.y = (square->rect[1] + square->rect[3]) / 2;
    Frame();
    EXPECT_EQ(gFrontHomeNode, 3);
}

TEST_F(FrontEnd, HiddenSequenceTogglesTheDebugCommands) {
    const int kSequence[] = {47, 18, 38, 20, 19, 30, 45, 23, 31, 2};
    for (int scan : kSequence) frontKeyHandler(Key(scan));
    EXPECT_EQ(gDeveloperKeys, 1);
    // A wrong key in the middle starts it over.
    for (int i = 0; i < 5; ++i) frontKeyHandler(Key(kSequence[i]));
    frontKeyHandler(Key(44));
    for (int i = 5; i < 10; ++i) frontKeyHandler(Key(kSequence[i]));
    EXPECT_EQ(gDeveloperKeys, 1);
    for (int scan : kSequence) frontKeyHandler(Key(scan));
    EXPECT_EQ(gDeveloperKeys, 0);
}

TEST_F(FrontEnd, RosterSlotsWrap) {
    gFrontPage = gFrontRequestedPage = FrontPage::Roster;
    guiSetScreen("FrontRoster");
    gCareerState.word[StateWord::Slot] = 5;
    Activate("RosSlotUp");
    EXPECT_EQ(gCareerState.word[StateWord::Slot], 0);
    EXPECT_EQ(gFrontRequestedPage, 8);
    gFrontPage = gFrontRequestedPage = FrontPage::Roster;
    Activate("RosSlotDn");
    EXPECT_EQ(gCareerState.word[StateWord::Slot], 5);
    EXPECT_EQ(gFrontRequestedPage, 7);
    // The keys do the same; the slots left are saved.
    gFrontPage = gFrontRequestedPage = FrontPage::Roster;
    frontKeyHandler(Key(80));
    EXPECT_EQ(gCareerState.word[StateWord::Slot], 0);
    EXPECT_TRUE(GameFileExists("vek\\slot5.sav"));
}

TEST_F(FrontEnd, NameEntryLimits) {
    gFrontPage = gFrontRequestedPage = FrontPage::Roster;
    guiSetScreen("FrontRoster");
    Activate("RosNew");
    ASSERT_EQ(gFrontNameEntry, 1);
    EXPECT_STREQ(gCaptainSlot.name, "");
    const BitmapFont *font = guiFont(Window("RosSlot")->font);
    ASSERT_NE(font, nullptr);
    // Narrow letters: the 24th is refused.
    for (int i = 0; i < 30; ++i) frontKeyHandler(Key(23, 'i'));
    const size_t narrow = std::strlen(gCaptainSlot.name);
    const int width = guiTextWidth("i", font);
    EXPECT_TRUE(width * 24 >= 180 || narrow == 23u) << narrow;
    // Wide letters: none once the name is 180 pixels wide or more.
    for (int i = 0; i < 30; ++i) frontKeyHandler(Key(14, 8));
    EXPECT_STREQ(gCaptainSlot.name, "");
    for (int i = 0; i < 30; ++i) frontKeyHandler(Key(17, 'W'));
    const std::string wide = gCaptainSlot.name;
    ASSERT_FALSE(wide.empty());
    EXPECT_LT(guiTextWidth(wide.substr(0, wide.size() - 1).c_str(), font), 180);
    EXPECT_TRUE(wide.size() >= 23 || guiTextWidth(wide.c_str(), font) >= 180) << wide;
    // Control characters are not typed.
    frontKeyHandler(Key(14, 8));
    const std::string before = gCaptainSlot.name;
    frontKeyHandler(Key(15, 9));
    EXPECT_EQ(gCaptainSlot.name, before);
    // Enter ends it: a name of its own makes the slot used.
    for (int i = 0; i < 30; ++i) frontKeyHandler(Key(14, 8));
    for (char c : std::string("Vara")) frontKeyHandler(Key(30, c));
    frontKeyHandler(Key(28, 13));
    EXPECT_EQ(gFrontNameEntry, 0);
    EXPECT_STREQ(gCaptainSlot.name, "Vara");
    EXPECT_EQ(gCaptainNamed, 1);
    EXPECT_EQ(Screen(), "NewRostSlot");
    // The language's default name leaves it unused.
    guiSetScreen("FrontRoster");
    FrontStartNameEntry();
    for (char c : std::string(DefaultCaptainName(0))) frontKeyHandler(Key(30, c));
    frontKeyHandler(Key(28, 13));
    EXPECT_EQ(gCaptainNamed, 0);
}

TEST_F(FrontEnd, NewCareerOpensTheTimeline) {
    std::snprintf(gCaptainSlot.name, sizeof gCaptainSlot.name, "Vara");
    gCaptainNamed = 1;
    guiSetScreen("NewRostSlot");
    Activate("NRSSim");
    EXPECT_EQ(gCaptainSlot.modeFlags & 3, 2);
    EXPECT_EQ(optArcade, 0);
    EXPECT_EQ(Screen(), "FrontRoster");
    EXPECT_EQ(gFrontRequestedPage, 9);
    guiSetScreen("NewRostSlot");
    Activate("NRSArc");
    EXPECT_EQ(gCaptainSlot.modeFlags & 3, 3);
    EXPECT_EQ(optArcade, 0xFF);
    // The first mission is the open one, and only "play next" is offered.
    ASSERT_NE(gTimelineOpen.first, nullptr);
    EXPECT_EQ(gCareerMission, 1);
    FrontRefreshSelection();
    EXPECT_EQ(gFrontPlayAvailable[0], 1);
    EXPECT_EQ(gFrontPlayAvailable[1] | gFrontPlayAvailable[2], 0);
    EXPECT_EQ(gFrontScriptPresent, 1);
    // The slot on disk has the name and the style.
    dunReadCaptainSlot();
    EXPECT_STREQ(gCaptainSlot.name, "Vara");
    EXPECT_EQ(gCaptainSlot.modeFlags & 3, 3);
}

TEST_F(FrontEnd, ConfirmationReturnsToItsScreen) {
    std::snprintf(gCaptainSlot.name, sizeof gCaptainSlot.name, "Vara");
    gCaptainSlot.totalScore = 40;
    guiSetScreen("FrontTime");
    Activate("TimDelete");
    EXPECT_EQ(Screen(), "Confirm");
    EXPECT_EQ(gFrontConfirmCode, 97);
    Activate("CnfCancel");
    EXPECT_EQ(Screen(), "FrontTime");
    EXPECT_EQ(gCaptainSlot.totalScore, 40);
    Activate("TimDelete");
    Activate("CnfOK");
    EXPECT_EQ(Screen(), "FrontTime");
    EXPECT_EQ(gCaptainSlot.totalScore, 0);
    EXPECT_STREQ(gCaptainSlot.name, "Vara");
    // A new captain on a slot with a history asks first, and comes back to
    // the roster.
    gCaptainSlot.historyCount = 1;
    guiSetScreen("FrontRoster");
    gFrontPage = FrontPage::Roster;
    Activate("RosNew");
    EXPECT_EQ(Screen(), "Confirm");
    EXPECT_EQ(gFrontNameEntry, 0);
    Activate("CnfOK");
    EXPECT_EQ(Screen(), "FrontRoster");
    EXPECT_EQ(gFrontNameEntry, 1);
}

// ---- After a mission ---------------------------------------------------------------

struct ExitCase {
    int mission;
    int16_t mode;
    bool success;
    int16_t score, outcome;
    int32_t time;
    // What the slot and the state hold afterwards.
    int16_t played;
    int16_t history;
    int32_t total;
    int32_t share;
    int32_t best;
    int32_t bestTime;
};

TEST_F(FrontEnd, MissionExitBookkeeping) {
    const ExitCase cases[] = {
        // new start, success: recorded, scored, best score and time
        {3, 1, true, 50, 1, 5000, -1, 1, 150, 50, 50, 5000},
        // new start, failed: only saved
        {3, 1, false, 50, 1, 5000, 0, 0, 100, 30, 500, kNewBestTime},
        // a replay: nothing kept
        {3, 2, true, 50, 1, 5000, 0, 0, 100, 30, 500, kNewBestTime},
        // the resumable start: the old score of the mission is taken off
        {3, 4, true, 60, 0, 400000, 0, 0, 130, 60, 500, kNewBestTime},
        // the action mission counts when failed too, adds nothing to the
        // total, and a longer time is the better one
        {99, 4, false, 70, 0, 9000, 0, 0, 100, 70, 500, 9000},
    };
    for (const ExitCase &c : cases) {
        gCaptainSlot = CaptainSlot{};
        gCaptainSlot.totalScore = 100;
        gCaptainSlot.resultShare[c.mission] = 30;
        for (int32_t &t : gCareerState.bestTime) t = kNewBestTime;
        gCareerState.bestTime[99] = 100;
        gCareerState.bestResult[c.mission] = c.mission == 3 && c.mode == 1 && c.success ? 0 : 500;
        gCareerState.word[StateWord::Slot] = 2;
        gCareerState.word[StateWord::Success] = c.success ? -1 : 0;
        gCareerState.word[StateWord::Score] = c.score;
        gCareerState.word[StateWord::Outcome] = c.outcome;
        gMissionClock = c.time;
        gCareerMission = c.mission;
        gFrontStartMode = c.mode;
        frontMissionExit();
        const CaptainSlot &s = gCaptainSlot;
        const int m = c.mission;
        EXPECT_EQ(s.played[m], c.played) << m << "/" << c.mode;
        EXPECT_EQ(s.historyCount, c.history) << m << "/" << c.mode;
        EXPECT_EQ(s.totalScore, c.total) << m << "/" << c.mode;
        EXPECT_EQ(s.resultShare[m], c.share) << m << "/" << c.mode;
        EXPECT_EQ(gCareerState.bestResult[m], c.best) << m << "/" << c.mode;
        EXPECT_EQ(gCareerState.bestTime[m], c.bestTime) << m << "/" << c.mode;
        const bool kept = c.mode == 4 || (c.mode == 1 && c.success);
        if (kept) {
            EXPECT_EQ(s.resultValue[m], c.outcome);
            EXPECT_EQ(CaptainMissionTime(m), c.time);
        }
        EXPECT_TRUE(!kept || c.best != c.score || gBestResultSlot[m] == 2) << m;
        EXPECT_TRUE(!kept || c.bestTime != c.time || gBestTimeSlot[m] == 2) << m;
    }
    // The slot on disk holds the last case.
    dunReadCaptainSlot();
    EXPECT_EQ(gCaptainSlot.resultShare[99], 70);
    EXPECT_EQ(CaptainMissionTime(99), 9000);
}

// ---- Launching -------------------------------------------------------------------------

TEST_F(FrontEnd, LaunchWithoutItsScriptDoesNothing) {
    gMissionTable[3].missionNumber = 77;
    gCareerMission = 3;
    StationId = 0;
    const int16_t before = gCareerState.word[StateWord::Mission];
    frontLaunchMission(0);
    EXPECT_EQ(gFrontScriptPresent, 0);
    EXPECT_EQ(StationId, 0);
    EXPECT_EQ(gInFrontEnd, 1);
    EXPECT_EQ(gCareerState.word[StateWord::Mission], before);
    EXPECT_TRUE(gTitles.empty());
    // A follow-on mission whose script is missing launches nothing either,
    // and is not tried again.
    gFollowOnMission = 3;
    frontLaunchMission(0);
    EXPECT_EQ(gInFrontEnd, 1);
    EXPECT_EQ(gFollowOnMission, 0);
    EXPECT_TRUE(gTitles.empty());
}

TEST_F(FrontEnd, LaunchThenFollowOnThenBack) {
    gCareerMission = 2;
    gCareerState.bestTime[2] = 4321;
    gCareerState.word[StateWord::Launch2] = gCareerState.word[StateWord::Launch8] = 7;
    frontLaunchMission(0);
    EXPECT_EQ(gFrontScriptPresent, 1);
    ASSERT_EQ(gTitles.size(), 1u);
    EXPECT_EQ(gTitles[0], "Kelv - Mission 2 - Convoy Watch");
    EXPECT_EQ(Screen(), "COM");
    EXPECT_EQ(StationId, 1);
    EXPECT_EQ(gInFrontEnd, 0);
    EXPECT_NE(gMainScriptPc, nullptr);
    EXPECT_EQ(gCurrentMission, 2);
    EXPECT_EQ(gBestTime, 4321);
    EXPECT_EQ(gMissionResultMax, 1500);
    EXPECT_EQ(gCareerState.word[StateWord::Mission], 2);
    EXPECT_EQ(gCareerState.word[StateWord::Launch2], 0);
    EXPECT_EQ(gCareerState.word[StateWord::Launch8], 0);
    EXPECT_EQ(gCareerState.word[StateWord::FullScreen], FullScreenMode ? 1 : 0);
    EXPECT_EQ(gFollowOnMission, 5);  // the row's follow-on
    EXPECT_EQ(VideoPlaying, 1);      // "entry.smk"
    // The state file on disk names the mission.
    const int16_t saved = gCareerState.word[StateWord::Mission];
    gCareerState.word[StateWord::Mission] = 0;
    dunReadStateFile();
    EXPECT_EQ(gCareerState.word[StateWord::Mission], saved);
    VideoStop();
    // Back in the front end after a success: the follow-on comes next, and
    // without "entry.smk".
    dunMissionSuccess = 0xFF;
    gFrontStartMode = 1;
    exitMission();
    EXPECT_EQ(gInFrontEnd, 1);
    EXPECT_EQ(Screen(), "FrontTime");
    EXPECT_EQ(gCaptainSlot.played[2], -1);
    EXPECT_EQ(gFollowOnMission, 5);
    frontLaunchMission(0);
    EXPECT_EQ(gCareerMission, 5);
    EXPECT_EQ(gFrontFollowOnLaunch, 1);
    EXPECT_EQ(gFollowOnMission, 0);
    EXPECT_EQ(VideoPlaying, 0);
    ASSERT_EQ(gTitles.size(), 2u);
    EXPECT_EQ(gTitles[1], "Kelv - Mission 5 - Convoy Escort");
    dunMissionSuccess = 0;
    exitMission();
    EXPECT_EQ(Screen(), "FrontTime");
}

TEST_F(FrontEnd, LoadTestSkipsEmptyRowsAndWraps) {
    optLoadTest = 0xFF;
    gFrontLoadTestCursor = 98;
    frontLaunchMission(0);
    EXPECT_EQ(gCareerMission, 1);
    EXPECT_EQ(gFrontLoadTestCursor, 2);
    EXPECT_EQ(VideoPlaying, 0);  // no "entry.smk" in the load test
    exitMission();
    frontLaunchMission(0);
    EXPECT_EQ(gCareerMission, 2);
    EXPECT_EQ(gFrontLoadTestCursor, 3);
    exitMission();
}

TEST_F(FrontEnd, PlayButtonsRequestTheLaunch) {
    std::snprintf(gCaptainSlot.name, sizeof gCaptainSlot.name, "Vara");
    gCaptainNamed = 1;
    dunNewCaptainSlot();
    dunRebuildAvailableMissions();
    FrontRefreshSelection();
    guiSetScreen("FrontTime");
    gFrontPage = gFrontRequestedPage = FrontPage::Time;
    Activate("TimPlayMA");  // not offered for a new mission
    EXPECT_EQ(gLaunchRequest, 0);
    frontKeyHandler(Key(28, 13));  // Enter: the first one offered
    EXPECT_EQ(gLaunchRequest, 1);
    EXPECT_EQ(gFrontStartMode, 1);
    // A slot without a captain gets the default captain's call instead.
    gLaunchRequest = 0;
    gCaptainNamed = 0;
    gDefaultCaptainCalls = 0;
    Activate("TimPlayMN");
    EXPECT_EQ(gLaunchRequest, 0);
    EXPECT_EQ(gDefaultCaptainCalls, 1);
}

}  // namespace
}  // namespace guitest
