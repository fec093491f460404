// The whole game, headless, through the real start-up and the main loop's
// idle turns with a fixed frame step and injected keys and clicks: the
// front end's home page, a new captain, the timeline, the first mission
// flown until it ends in success, its debriefing, the way back to the
// timeline, and the career as a restart finds it; the home page at 16 bits
// with the pointer over its background; and the first mission started from
// the command line and flown from the navigation station's keys, with the
// HUD and the radar drawn over it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "RES/resman.h"
#include "RES/util.h"
#include "ai/brain.h"
#include "ai/combat.h"
#include "ai/contacts.h"
#include "ai/scores.h"
#include "ai/weapons.h"
#include "ai/wing.h"
#include "app/clock.h"
#include "app/floor_hooks.h"
#include "app/game.h"
#include "app/shell.h"
#include "common/headless_mission.h"
#include "common/sample_root.h"
#include "core/options.h"
#include "gui/cockpit.h"
#include "gui/eng_station.h"
#include "gui/feed.h"
#include "gui/front.h"
#include "gui/gadgets.h"
#include "gui/gui.h"
#include "gui/main_view.h"
#include "gui/options.h"
#include "gui/screen.h"
#include "gui/timeline.h"
#include "gui/wep_station.h"
#include "gui/window.h"
#include "hud/hud.h"
#include "hud/maps.h"
#include "os/display.h"
#include "os/events.h"
#include "platform/display.h"
#include "platform/hooks.h"
#include "platform/keyboard.h"
#include "platform/smack.h"
#include "platform/video.h"
#include "present/hooks.h"
#include "present/lspace.h"
#include "present/p3d.h"
#include "present/views.h"
#include "present/wireframe.h"
#include "render/drivers/output.h"
#include "script/briefing.h"
#include "script/career.h"
#include "script/checkpoints.h"
#include "script/conditions.h"
#include "script/dialogue.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/objectives.h"
#include "script/script.h"
#include "script/settings.h"
#include "script/symbols.h"
#include "world/docking.h"
#include "world/engineering.h"
#include "world/flight.h"
#include "world/handle.h"
#include "world/messages.h"
#include "world/mission_state.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/records.h"
#include "world/universe.h"

namespace {

std::vector<std::string> gTitles;
bool gRunning;  // started and not shut down: a failed check still shuts down
const FrontShellHooks kShell = {[](const char *t) { gTitles.emplace_back(t); }, [] { gQuit = 1; }};

class WholeGame : public testing::Test {
protected:
    std::unique_ptr<ruvotest::SampleRoot> root;
    void SetUp() override {
        root = std::make_unique<ruvotest::SampleRoot>();
        ruvotest::UseHeadlessClocks();
        gTitles.clear();
    }
    void TearDown() override {
        if (gRunning) Stop();
        root.reset();
    }
    // The shell's start: a front-end start in English at the given depth
    // ("nosysbuf" when the full-screen driver is to flip two buffers), or a
    // mission's script named on the command line.
    static void Start(int depth = 8, bool noSysBuf = false, const char *mission = nullptr,
                      const char *commandLine = nullptr, int language = 0) {
        ResetOptions();
        if (noSysBuf) optSysBuf = 0;
        ResetGameState();
        ResetOptionTable();
        PixelDepth = depth;
        BytesPerPixel = uint16_t(depth / 8);
        optFrontEndStart = mission ? 0 : 0xFF;
        if (mission) std::snprintf(gMissionScriptName, sizeof gMissionScriptName, "%s", mission);
        if (commandLine) ShellReadCommandLine(commandLine);
        gLanguage = uint16_t(language);
        gQuit = 0;
        ASSERT_EQ(ruvotest::StartHeadlessGame([] { SetFrontShellHooks(&kShell); }), 1);
        gRunning = true;
    }
    // The game's end; the 3D system goes too, as with the process's end.
    static void Stop() {
        gRunning = false;
        gameShutdown();
        P3DShutdown();
    }
    // One turn of the main loop, 10 centiseconds on.
    static void Turn() { ruvotest::HeadlessTurn(10000); }
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
    // A click at a screen point, the hover settled first.
    static void ClickAt(int x, int y) {
        OnMouseMove(nullptr, x, y, 0);
        Turn();
        Turn();
        OnLeftButtonDown(nullptr, x, y, 1);
        Turn();
        OnLeftButtonUp(nullptr, x, y, 0);
        Turn();
    }
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
    // With RUVO_SNAPSHOT_DIR set, the screen's bytes and palette for a look
    // at them.
    static void Snapshot(const char *what) { ruvotest::SnapshotScreen(what); }
    // A new captain of the name, made from the roster in a simulation
    // career: the timeline opens on it.
    static void NewCaptainFromTheRoster(const char *name) {
        Click("RosNew");
        for (const char *c = name; *c; ++c) Key(30, *c);
        Key(28, 13);
        ASSERT_TRUE(TurnsUntil([] { return Screen() == "NewRostSlot"; }, 30));
        Click("NRSSim");
        ASSERT_TRUE(TurnsUntil([] { return gFrontPage == FrontPage::Time && Screen() == "FrontTime"; }, 100));
    }
    static int32_t Var(const char *name) {
        ScriptSymbol *s = FindScriptSymbol(name);
        return s ? ScriptSymbolInt(s) : -999;
    }
    static std::string FileText(const char *path) {
        std::ifstream f(path, std::ios::binary);
        std::stringstream text;
        text << f.rdbuf();
        return text.str();
    }
    // The world's destruction of an object, as a hit that destroys it
    // delivers it: the destroyed message with the player as attacker.
    static void Destroy(SceneItem *item) {
        DamageRecord r{};
        r.attacker = dunHandleOf(dunPlayerShip);
        dunPostDamageRecord(dunPlayerShip->receiverId, item->receiverId, 0, MsgDestroyed, &r);
    }
    // The player's answer to the reply the comms arm offers first, as its
    // reply button gives it.
    static bool Answer() {
        if (!gDialogueChoices) return false;
        dunSelectDialogueSpeaker(gDialogueChoices->addressee);
        if (gDialogueChoiceCount < 1) return false;
        dunPlayDialogueChoice(gDialogueChoiceSlots[0]);
        return true;
    }
    // Shift+Q twice: the flight ends, then the mission is left (one named
    // on the command line then quits the game).
    static void LeaveByEndKey() {
        uint8_t *keys = GetKeyDownTable();
        for (int i = 0; i < 2; ++i) {
            keys[0x2A] = 0xFF;
            Key(0x10);
            Turn();
            keys[0x2A] = 0;
        }
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
// the backdrop's picture becomes the hot window and is drawn again, and the
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
    ASSERT_EQ(gGuiHotWindow, guiLiveWindow(GetScriptSymbolValue("FhScene")));
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
    // The raider comes in to attack. The player holds the fire key (Space)
    // with the raider as the weapon target (the targeting keys' work, which
    // the test does itself) until it is destroyed; the mission ends in
    // success and waits for the player.
    auto *raider = static_cast<SceneItem *>(GetScriptSymbolValue("Enemy"));
    ASSERT_NE(raider, nullptr);
    ASSERT_NE(dunPlayerShip, nullptr);
    int shots = 0;
    ASSERT_TRUE(TurnsUntil(
        [&] {
            if (gMissionEndState == 1) return true;
            if (dunPlayerShip && dunPlayerShip->sim && (raider->flags & SceneFlag::InUse)) {
                dunPlayerShip->sim->goal = raider;
                // A damaged raider flees out of the beam's reach; the run
                // is about the fire key, so it holds its brain still.
                raider->sim->flags |= SimFlag::AiPaused;
                // The beam keeps its charge (the loadout's work): the run
                // is about the fire key's bolts reaching the raider.
                if (Weapon *w = dunPlayerShip->sim->currentWeapon; w && (w->flags & WeaponFlag::Charge)) {
                    w->charge = 10.0f;
                    w->flags &= ~WeaponFlag::Empty;
                }
                GetKeyDownTable()[0x39] = 1;
                Key(0x39, ' ');
                ++shots;
            }
            return false;
        },
        3000));
    GetKeyDownTable()[0x39] = 0;
    EXPECT_FALSE(raider->flags & SceneFlag::InUse) << "the raider broke off after " << shots << " turns of fire";
    EXPECT_EQ(dunMissionSuccess, 0xFF);
    EXPECT_EQ(gInFrontEnd, 0);
    // The raider's kill scored its SHIP_SCORE points once.
    EXPECT_EQ(dunWeaponTallies.tally[Tally::EnemyKills][0], 1);
    EXPECT_EQ(dunWeaponTallies.killPoints, 100);
    {
        std::ifstream in("debug.txt", std::ios::binary);
        const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (const char *name :
             {"dunResetScores", "dunResetKillPoints", "dunRegisterScoreObject", "dunai_AddWingman", "dunSetKillPoints",
              "dunScoreKill", "dunNthWeapon", "dunCountShipsPerSide", "dunUpdateWeapons", "dunPlaceMount",
              "dunai_ClearStepWords", "dunFireWeapon", "dunShipHit", "guiWepFire"})
            EXPECT_EQ(log.find(std::string("not built yet: ") + name), std::string::npos) << name;
    }
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
    // The debriefing of the raider destroyed.
    std::string feed;
    bool typed = false;
    ASSERT_TRUE(TurnsUntil(
        [&] {
            if (gFeed.pending[0] && feed.find(gFeed.pending) == std::string::npos) feed += gFeed.pending;
            // The debriefing's frame once its first words stand typed.
            if (!typed && !guiFeedTyping() && feed.find("Kestrel destroyed") != std::string::npos) {
                typed = true;
                Snapshot("mission01_debriefing");
            }
            return gInFrontEnd != 0;
        },
        3000));
    const int outcome = gCareerState.word[StateWord::Outcome];
    EXPECT_EQ(outcome, 0);
    EXPECT_NE(feed.find("Kestrel destroyed"), std::string::npos) << feed;
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

// Shift+Q, the key that ends a mission, pressed once and let go.
void EndKey() {
    GetKeyDownTable()[0x2A] = 1;
    KeyQueuePut(uint16_t(0x10 << 8 | 'Q'));
}

// A new captain on the timeline, made through the front end's keys and
// clicks.
class WholeCareer : public WholeGame, public testing::WithParamInterface<int> {
protected:
    void NewCaptainOnTheTimeline() {
        ASSERT_TRUE(TurnsUntil([] { return gFrontPage == FrontPage::Home; }, 20));
        Key(28, 13);
        ASSERT_TRUE(TurnsUntil([] { return gFrontPage == FrontPage::Roster; }, 100));
        NewCaptainFromTheRoster("Vela Orr");
    }
    // The timeline's selection moved with Up and Down to a mission.
    static bool SelectByKeys(int mission) {
        for (int i = 0; i < 12; ++i) {
            const TimelineNode *n = FrontSelectedNode();
            if (n && n->mission && n->mission->index == mission) return true;
            Key(i < 6 ? 80 : 72);
            Turn();
        }
        return false;
    }
    // Flies the mission that is under way until its script ends it: the
    // end cinematic fills the screen with the end message over it; one press
    // of the end key shows the debriefing (after a success), and the game
    // goes back to the front end by itself.
    static void FlyAndEnd(int mission, std::string *feed) {
        ASSERT_TRUE(TurnsUntil([] { return gMissionEndState != 0; }, 2500)) << "mission " << mission;
        Turn();
        EXPECT_EQ(gGuiFullScreen, 1) << "mission " << mission;
        EndKey();
        Turn();
        GetKeyDownTable()[0x2A] = 0;
        ASSERT_TRUE(TurnsUntil(
            [&] {
                if (gFeed.pending[0] && feed->find(gFeed.pending) == std::string::npos) *feed += gFeed.pending;
                return gInFrontEnd != 0;
            },
            3000))
            << "mission " << mission << " end state " << int(gMissionEndState);
    }
};

// Every sample mission flown from the timeline to its end and left through
// the end key: the career's order (the first, the last stand while the
// convoy is still to come, the convoy watch with the escort that follows it
// at once, the deep patrol that the watch opened), each time back on the
// timeline, at 8 and 16 bits.
TEST_P(WholeCareer, EverySampleMissionEndsByItsKeyAndComesBack) {
    Start(GetParam());
    NewCaptainOnTheTimeline();
    struct Leg {
        int mission;
        int followOn;  // flown next without the timeline
        bool success;
        const char *debrief;  // words of its debriefing
    } const kLegs[] = {
        {1, 0, true, nullptr}, {4, 0, true, "base held"}, {2, 5, true, "convoy"}, {3, 0, false, nullptr}};
    for (const Leg &leg : kLegs) {
        SCOPED_TRACE(leg.mission);
        std::string open;
        for (const TimelineNode *n = gTimelineOpen.first; n; n = n->next)
            open += std::to_string(n->mission->index) + " ";
        ASSERT_TRUE(SelectByKeys(leg.mission)) << "open: " << open;
        Key(28, 13);
        ASSERT_TRUE(TurnsUntil([] { return gInFrontEnd == 0; }, 20));
        EXPECT_EQ(gCareerMission, leg.mission);
        // The last stand's battle is left to chance: the black wing is taken
        // out of it, so that the navy holds.
        if (leg.mission == 4)
            for (const char *name : {"Enemy", "Black2", "Black3"}) {
                auto *raider = static_cast<SceneItem *>(GetScriptSymbolValue(name));
                ASSERT_NE(raider, nullptr) << name;
                dunDeleteSceneItem(raider);
            }
        std::string feed;
        FlyAndEnd(leg.mission, &feed);
        if (leg.debrief) {
            EXPECT_NE(feed.find(leg.debrief), std::string::npos) << feed;
        }
        if (leg.followOn) {
            ASSERT_TRUE(TurnsUntil([] { return gInFrontEnd == 0; }, 100)) << "the follow-on mission";
            EXPECT_EQ(gCareerMission, leg.followOn);
            FlyAndEnd(leg.followOn, &feed);
        }
        ASSERT_TRUE(TurnsUntil([] { return Screen() == "FrontTime"; }, 100));
        // The timeline drops keys for its first frames.
        for (int i = 0; i < 8; ++i) Turn();
        EXPECT_EQ(gCaptainSlot.played[leg.mission], leg.success ? -1 : 0);
        EXPECT_EQ(gQuit, 0);
    }
    EXPECT_EQ(gCaptainSlot.played[5], -1);
    Stop();
}

INSTANTIATE_TEST_SUITE_P(Depths, WholeCareer, testing::Values(8, 16));

// The front end's pages and the first mission's debriefing at each display
// size: 640x480 at 8 bits, 800x600 and 1024x768 at 16. The pages' backdrop
// fills the screen at every size (no part of it is a plain ground: the
// pages' panels are black, and no tile of the screen is of one other
// colour), drawn again it leaves the home page's menu standing, and at 16
// bits each page shows more than a hundred colours. With RUVO_SNAPSHOT_DIR
// set each frame is kept for a look.
class FrontEndSizes : public WholeGame, public testing::WithParamInterface<int> {
protected:
    struct Size {
        const char *option;
        int depth, width, height;
    };
    static Size Mode() {
        static const Size kSizes[3] = {
            {nullptr, 8, 640, 480}, {"-800x600", 16, 800, 600}, {"-1024x768", 16, 1024, 768}};
        return kSizes[GetParam()];
    }
    // The screen's colour at a point: a palette index or a 16-bit colour.
    static uint32_t At(int x, int y) {
        const Surface *s = TheDisplayMode.screen;
        const uint8_t *row = s->pixels + size_t(y) * size_t(s->pitch);
        if (s->bytesPerPixel != 2) return row[x];
        uint16_t v;
        std::memcpy(&v, row + size_t(x) * 2, 2);
        return v;
    }
    // The distinct colours of the whole screen, and the tiles of 64 x 64
    // pixels that are all of one colour other than black.
    static std::pair<size_t, int> Colours() {
        const Surface *s = TheDisplayMode.screen;
        std::set<uint32_t> all;
        int plain = 0;
        for (int ty = 0; ty + 64 <= s->height; ty += 64)
            for (int tx = 0; tx + 64 <= s->width; tx += 64) {
                std::set<uint32_t> tile;
                for (int y = ty; y < ty + 64; ++y)
                    for (int x = tx; x < tx + 64; ++x) tile.insert(At(x, y));
                plain += tile.size() == 1 && *tile.begin() != 0;
                all.insert(tile.begin(), tile.end());
            }
        return {all.size(), plain};
    }
    // A page once its film has run and it has drawn: kept, and looked over.
    void Page(const char *name, bool frontEnd = true) {
        for (int i = 0; i < 10; ++i) Turn();
        const Size m = Mode();
        ASSERT_EQ(TheDisplayMode.screen->width, m.width);
        ruvotest::SnapshotScreen(std::string(name) + "_" + std::to_string(m.width) + "x" + std::to_string(m.height) +
                                 "_" + std::to_string(m.depth));
        if (!frontEnd) return;
        const auto [colours, plain] = Colours();
        if (m.depth == 16) EXPECT_GT(colours, 100u) << name;
        EXPECT_EQ(plain, 0) << name << ": tiles of plain ground";
    }
};

TEST_P(FrontEndSizes, ThePagesAndTheDebriefingFillTheScreen) {
    const Size m = Mode();
    Start(m.depth, false, nullptr, m.option);
    ASSERT_TRUE(TurnsUntil([] { return gFrontPage == FrontPage::Home; }, 20));
    Page("home");
    // The pointer over the backdrop draws it again, and the menu over it
    // with it: each button's black fill still shows near its right end.
    OnMouseMove(nullptr, m.width / 2, m.height / 2, 0);
    for (int i = 0; i < 4; ++i) Turn();
    ASSERT_EQ(gGuiHotWindow, guiLiveWindow(GetScriptSymbolValue("FhScene")));
    for (const char *name : {"FrRos", "FrAct", "FrCrd", "FrSys"}) {
        const GuiWindow *w = guiLiveWindow(GetScriptSymbolValue(name));
        ASSERT_NE(w, nullptr) << name;
        EXPECT_EQ(At(w->rect[2] - 4, (w->rect[1] + w->rect[3]) / 2), 0u) << name << " drawn over by the backdrop";
    }
    Click("FrSys");
    ASSERT_TRUE(TurnsUntil([] { return Screen() == "OptionScreen"; }, 100));
    Page("options");
    Click("OptExit");
    ASSERT_TRUE(TurnsUntil([] { return gFrontPage == FrontPage::Home; }, 100));
    Click("FrCrd");
    ASSERT_TRUE(TurnsUntil([] { return Screen() == "FrontCredits"; }, 100));
    Page("credits");
    Click("CrdExit");
    ASSERT_TRUE(TurnsUntil([] { return gFrontPage == FrontPage::Home; }, 100));
    Click("FrRos");
    ASSERT_TRUE(TurnsUntil([] { return gFrontPage == FrontPage::Roster; }, 100));
    Page("roster");
    NewCaptainFromTheRoster("Ansel Dray");
    Page("timeline");
    // The first mission: the raider destroyed, the mission ended by the
    // end key, and its debriefing once its first words stand typed.
    Key(28, 13);
    ASSERT_TRUE(TurnsUntil([] { return gInFrontEnd == 0; }, 10));
    auto *raider = static_cast<SceneItem *>(GetScriptSymbolValue("Enemy"));
    ASSERT_NE(raider, nullptr);
    Turn();
    Destroy(raider);
    ASSERT_TRUE(TurnsUntil([] { return gMissionEndState == 1; }, 300));
    GetKeyDownTable()[0x2A] = 1;
    Key(0x10, 'Q');
    Turn();
    GetKeyDownTable()[0x2A] = 0;
    std::string feed;
    ASSERT_TRUE(TurnsUntil(
        [&] {
            if (gFeed.pending[0] && feed.find(gFeed.pending) == std::string::npos) feed += gFeed.pending;
            return !guiFeedTyping() && feed.find("Kestrel destroyed") != std::string::npos;
        },
        1000));
    Page("mission01_debriefing", false);
    ASSERT_TRUE(TurnsUntil([] { return gInFrontEnd != 0; }, 3000));
    Stop();
}

INSTANTIATE_TEST_SUITE_P(Sizes, FrontEndSizes, testing::Values(0, 1, 2));

// Options alone on the command line start the front end, which the game
// comes back to after a mission: only a mission script named there makes
// the program end after its mission.
TEST_F(WholeGame, OptionsAloneComeBackToTheFrontEndAfterAMission) {
    Start(8, false, "", "-nologos -w");
    EXPECT_EQ(gInFrontEnd, 1);
    EXPECT_EQ(gMissionFromCommandLine, 0);
    ASSERT_TRUE(TurnsUntil([] { return gFrontPage == FrontPage::Home; }, 20));
    // The first mission, launched from the timeline of the slot as it is.
    Key(28, 13);
    ASSERT_TRUE(TurnsUntil([] { return gFrontPage == FrontPage::Roster; }, 100));
    gCareerMission = 1;
    gLaunchRequest = 1;
    ASSERT_TRUE(TurnsUntil([] { return gInFrontEnd == 0; }, 20));
    for (int press = 0; press < 4 && !gInFrontEnd; ++press) {
        EndKey();
        Turn();
        GetKeyDownTable()[0x2A] = 0;
        TurnsUntil([] { return gInFrontEnd != 0; }, 300);
    }
    EXPECT_EQ(gInFrontEnd, 1);
    EXPECT_EQ(gQuit, 0);
    Stop();
}

// Every label of the front end's pages fits its box, in every language: a
// button's or a caption's text measured in the font it is drawn in is no
// wider than the window.
class FrontLabels : public WholeGame, public testing::WithParamInterface<int> {};

TEST_P(FrontLabels, FitTheirBoxes) {
    Start(8, false, nullptr, nullptr, GetParam());
    const BitmapFont *fallback = guiFont(static_cast<ResourceHandle *>(GetScriptSymbolValue("RFont")));
    const BitmapFont *dim = guiFont(static_cast<ResourceHandle *>(GetScriptSymbolValue("DimFont")));
    ASSERT_NE(dim, nullptr);
    int labels = 0;
    for (const char *page : {"FrontHome", "FrontRoster", "NewRostSlot", "FrontTime", "Confirm", "FrontCredits",
                             "FrontAction", "OptionScreen"}) {
        const GuiScreen *screen = guiFindScreen(page);
        ASSERT_NE(screen, nullptr) << page;
        for (GuiWindow *w = screen->windows; w; w = w->next) {
            const bool label = w->draw == guiDrawButton || w->draw == guiDrawTextButton || w->draw == guiDrawString ||
                               (std::string(page) == "FrontTime" && w->draw && w->text && w->font);
            const char *text = static_cast<const char *>(w->text);
            if (!label || !text || !*text) continue;
            const BitmapFont *font = guiFont(w->font);
            if (!font && w->draw == guiDrawTextButton) font = fallback;
            ASSERT_NE(font, nullptr) << page << ": " << text;
            guiWindowRect(w, nullptr, nullptr);
            const int box = w->rect[2] - w->rect[0] + 1;
            EXPECT_LE(guiTextWidth(text, font), box) << page << ": \"" << text << "\" in language " << GetParam();
            // The timeline's play buttons show their text dimmed while they
            // offer nothing: it fits in that font too.
            if (std::string(page) == "FrontTime" && std::strncmp(text, "", 0) == 0 && w->draw != guiDrawButton) {
                EXPECT_LE(guiTextWidth(text, dim), box) << "dimmed \"" << text << "\" in language " << GetParam();
            }
            ++labels;
        }
    }
    EXPECT_GT(labels, 40);
    Stop();
}

INSTANTIATE_TEST_SUITE_P(Languages, FrontLabels, testing::Values(0, 1, 2));

// A mission opens on the command station with its view clear: the dashed
// scan lines of a HUD coming up belong to the navigation station's view.
TEST_F(WholeGame, AMissionOpensWithItsViewClear) {
    Start(8, false, "vek\\resource\\scripts\\missions\\mission01.scr");
    ASSERT_EQ(StationId, 1);
    for (int turn = 0; turn < 12; ++turn) {
        Turn();
        const Surface *screen = TheDisplayMode.screen;
        int dashed = 0;
        for (int row : {38, 87, 121, 148, 172, 190, 207, 222, 234, 246, 256})
            for (int x = 0; x < 640; ++x) dashed += screen->pixels[size_t(row) * screen->pitch + x] == 64;
        EXPECT_LT(dashed, 20) << "turn " << turn;
    }
    // The mission's end gives its shapes back before the game ends.
    exitMission();
    Stop();
}

// In a window ("-w"), the mouse reaches the game the way the window system
// gives it: its messages go through the main window's procedure, which
// passes them on once the window driver's display is open. A click through
// the home page, the roster and the timeline.
TEST_F(WholeGame, TheMouseWorksInAWindow) {
    Start(8, false, nullptr, "-w -nologos");
    ASSERT_EQ(FullScreenMode, 0);
    ASSERT_EQ(CardMode, 0);
    ASSERT_TRUE(TurnsUntil([] { return gFrontPage == FrontPage::Home; }, 20));
    const auto post = [](uint16_t type, int x, int y, uint32_t buttons) {
        OsMessage m{};
        m.type = type;
        m.x = x;
        m.y = y;
        m.wParam = buttons;
        osPostMessage(m);
        for (int i = 0; i < 4; ++i) PumpMessages();
    };
    const auto click = [&](const char *name) {
        GuiWindow *w = guiLiveWindow(GetScriptSymbolValue(name));
        ASSERT_NE(w, nullptr) << name;
        guiWindowRect(w, nullptr, nullptr);
        const int x = (w->rect[0] + w->rect[2]) / 2, y = (w->rect[1] + w->rect[3]) / 2;
        post(OSM_MOUSEMOVE, x, y, 0);
        Turn();
        Turn();
        EXPECT_EQ(gMouse.x, x) << name;
        EXPECT_EQ(gMouse.y, y) << name;
        post(OSM_LBUTTONDOWN, x, y, OS_MK_LBUTTON);
        Turn();
        post(OSM_LBUTTONUP, x, y, 0);
        Turn();
    };
    click("FrRos");
    ASSERT_TRUE(TurnsUntil([] { return gFrontPage == FrontPage::Roster; }, 100));
    click("RosNew");
    ASSERT_EQ(gFrontNameEntry, 1);
    for (const char *c = "Tam Reyes"; *c; ++c) Key(30, *c);
    Key(28, 13);
    ASSERT_TRUE(TurnsUntil([] { return Screen() == "NewRostSlot"; }, 30));
    click("NRSArc");
    ASSERT_TRUE(TurnsUntil([] { return gFrontPage == FrontPage::Time && Screen() == "FrontTime"; }, 100));
    EXPECT_EQ(gCaptainSlot.modeFlags & 3, 3) << "an arcade career";
    click("TimExit");
    ASSERT_TRUE(TurnsUntil([] { return gFrontPage == FrontPage::Roster; }, 100));
    Stop();
}

// A click on an option's On/Off value steps it; a second click steps it
// back.
TEST_F(WholeGame, AClickOnAnOptionToggleStepsIt) {
    Start();
    ASSERT_TRUE(TurnsUntil([] { return gFrontPage == FrontPage::Home; }, 20));
    Click("FrSys");
    ASSERT_TRUE(TurnsUntil([] { return Screen() == "OptionScreen"; }, 100));
    for (const char *name : {"subtitles", "nebula", "still_dialogue"}) {
        const OptionRecord *o = nullptr;
        for (const OptionRecord *r = gOptions; r->name; ++r)
            if (!std::strcmp(r->name, name)) o = r;
        ASSERT_NE(o, nullptr) << name;
        const float before = o->value;
        Click((std::string("OptB_") + name).c_str());
        EXPECT_NE(o->value, before) << name;
        Click((std::string("OptB_") + name).c_str());
        EXPECT_EQ(o->value, before) << name;
    }
    Stop();
}

// Pixels of a palette range in a rectangle of the 8-bit screen.
int CountColours(const int16_t rect[4], int low, int high) {
    const Surface *screen = TheDisplayMode.screen;
    int n = 0;
    for (int y = std::max<int>(rect[1], 0); y <= rect[3] && y < screen->height; ++y)
        for (int x = std::max<int>(rect[0], 0); x <= rect[2] && x < screen->width; ++x) {
            const int c = screen->pixels[size_t(y) * size_t(screen->pitch) + size_t(x)];
            n += c >= low && c <= high;
        }
    return n;
}

// The first mission from the command line, flown from the navigation
// station with its keys through the main loop: the throttle, the arrow keys,
// the LDS drive on and off, the station's port and away from it again; on
// the way the HUD draws its speed streaks over the view and the radar sphere
// turns in its window.
// A mission script whose loop has no WAIT in its path: each turn of the
// script is cut short, the frames go on, and the log names the script line
// once.
TEST_F(WholeGame, AMissionLoopingWithoutAWaitLeavesTheFramesRunning) {
    // The missions' folder of its own, so that the script lands there and
    // not in the sample tree.
    root.reset();
    root = std::make_unique<ruvotest::SampleRoot>(std::vector<std::string>{"vek/resource/scripts/missions/spin.scr"});
    std::ofstream("vek/resource/scripts/missions/spin.scr") << "VAR Spins\r\nSpin:\r\nADD Spins 1\r\nBRA Spin\r\n";
    Start(8, false, "vek\\resource\\scripts\\missions\\spin.scr");
    ASSERT_EQ(gInFrontEnd, 0);
    const uint32_t frames = dunFrameCounter;
    for (int i = 0; i < 10; ++i) Turn();
    EXPECT_EQ(dunFrameCounter, frames + 10);
    ScriptSymbol *spins = FindScriptSymbol("Spins");
    ASSERT_NE(spins, nullptr);
    EXPECT_GT(ScriptSymbolInt(spins), 10 * 1000);
    std::stringstream log;
    log << std::ifstream("debug.txt", std::ios::binary).rdbuf();
    const std::string text = log.str(), mark = "without a WAIT: vek\\resource\\scripts\\missions\\spin.scr(";
    const size_t first = text.find(mark);
    ASSERT_NE(first, std::string::npos) << text;
    EXPECT_EQ(text.find(mark, first + 1), std::string::npos) << text;
    Stop();
}

// "-loadtest" with no mission of its own on the command line: the front end
// starts, and the count-down launches and ends missions over and over
// without leaving the game.
TEST_F(WholeGame, TheLoadTestLaunchesAndEndsMissionsOverAndOver) {
    Start(8, false, "vek\\resource\\scripts\\missions\\no such mission.scr");
    optLoadTest = 0xFF;
    ASSERT_EQ(gInFrontEnd, 1);
    EXPECT_EQ(gMissionFromCommandLine, 0);
    for (int cycle = 0; cycle < 2; ++cycle) {
        ASSERT_TRUE(TurnsUntil([] { return gInFrontEnd == 0; }, 100)) << cycle;
        ASSERT_TRUE(TurnsUntil([] { return gInFrontEnd == 1; }, 100)) << cycle;
        EXPECT_EQ(gQuit, 0) << cycle;
    }
    Stop();
}

TEST_F(WholeGame, TheFirstMissionFlownFromTheNavigationStationsKeys) {
    Start(8, false, "vek\\resource\\scripts\\missions\\mission01.scr");
    ASSERT_EQ(gInFrontEnd, 0);
    EXPECT_EQ(Screen(), "COM");
    // The raider's attack would cross this flight: it keeps its class's
    // default orders, which hold it where the mission puts it.
    if (auto *raider = static_cast<SceneItem *>(GetScriptSymbolValue("Enemy"))) dunai_DefaultOrders(raider);
    SceneItem *ship = dunPlayerShip;
    auto *station = static_cast<SceneItem *>(GetScriptSymbolValue("Station"));
    ASSERT_TRUE(ship && ship->sim && station && station->sim);
    Sim &s = *ship->sim;
    auto range = [&] {
        const Vec3d &a = s.position, &b = station->sim->position;
        return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
    };
    // The bearing of the station off the nose, in degrees, in the level
    // plane (positive to the right).
    auto offBearing = [&] {
        const double bearing =
            std::atan2(station->sim->position.x - s.position.x, station->sim->position.z - s.position.z);
        double e = (std::atan2(s.matrix.m[8], s.matrix.m[10]) - bearing) * 180.0 / M_PI;
        return e > 180 ? e - 360 : e < -180 ? e + 360 : e;
    };
    // End and Page Down turn the nose about the ship's vertical (the twist);
    // the arrows pitch and roll.
    constexpr int kF2 = 0x3C, kThrottleUp = 0x1B, kLds = 0x26, kUndock = 0x16, kEnd = 0x4F, kPageDown = 0x51;
    uint8_t *keys = GetKeyDownTable();
    // The pilot's hand on End and Page Down, once the course is set: the
    // turn asked for shrinks as the nose comes round to the station (the
    // ship goes on turning while the keys' demand dies away).
    bool piloting = false;
    auto turn = [&] {
        if (piloting) {
            const double e = offBearing(), rate = ship->turnDemand[1];
            const double wanted = std::clamp(-6 * e, -60.0, 60.0);
            keys[kEnd] = rate > wanted + 3 ? 0xFF : 0;
            keys[kPageDown] = rate < wanted - 3 ? 0xFF : 0;
        }
        Turn();
    };
    auto turns = [&](int n) {
        for (int i = 0; i < n; ++i) turn();
    };
    auto turnsUntil = [&](auto done, int limit) {
        for (int i = 0; i < limit && !done(); ++i) turn();
        return done();
    };
    auto press = [&](int scan, int times = 1) {
        for (int i = 0; i < times; ++i) {
            Key(scan);
            turn();
        }
    };

    // The captain leaves the briefing at once (Esc); the opening cut to the
    // raider runs first; then F2 takes the seat at the navigation station.
    ASSERT_TRUE(turnsUntil([] { return gBriefingOpen != 0; }, 20));
    press(0x01);
    EXPECT_EQ(gBriefingOpen, 0);
    turns(100);
    press(kF2);
    EXPECT_EQ(Screen(), "NAV");
    EXPECT_EQ(StationId, 2);
    EXPECT_NEAR(range(), 3000000.0, 1.0);

    // Throttle up: 5,000 a press, and the ship gathers way towards the
    // station.
    press(kThrottleUp, 4);
    EXPECT_EQ(s.setSpeed, 20000.0f);
    turns(30);
    EXPECT_GT(s.speed, 10000.0f);
    EXPECT_LT(range(), 3000000.0 - 20000.0);

    // The HUD over the view: the speed streaks in their band (at this speed
    // the spacing is 100,000: colours from 112), and the radar sphere's wire
    // in its window (141 and the equator's 72, darkened by depth).
    int16_t view[4] = {0, 0, 639, 335};
    EXPECT_GT(CountColours(view, 114, 134), 40);
    GuiWindow *orb = guiLiveWindow(GetScriptSymbolValue("NOrb"));
    ASSERT_NE(orb, nullptr);
    guiWindowRect(orb, nullptr, nullptr);
    const int sphere = CountColours(orb->rect, 125, 141) + CountColours(orb->rect, 56, 72);
    EXPECT_GT(sphere, 300);

    // Turn: half a second of Page Down swings the nose off the station's
    // bearing, level; then the pilot brings it back and keeps it there.
    keys[kPageDown] = 0xFF;
    turns(5);
    keys[kPageDown] = 0;
    turns(5);
    EXPECT_GT(offBearing(), 20.0);
    EXPECT_NEAR(s.matrix.m[9], 0.0f, 1e-3f);
    piloting = true;
    turns(60);
    EXPECT_LT(std::fabs(offBearing()), 1.0);

    // The LDS drive: it spins up, the throttle steps by powers of ten and
    // the ship closes on the station far faster than its engines could.
    press(kLds);
    EXPECT_TRUE(s.flags & SimFlag::Lds);
    EXPECT_GT(s.ldsRamp, 0);
    ASSERT_TRUE(turnsUntil([&] { return s.ldsRamp == 0; }, 50));
    press(kThrottleUp, 5);
    EXPECT_EQ(s.setSpeed, 600000.0f);
    const double before = range();
    turns(20);
    EXPECT_LT(range(), before - 300000.0);
    // Out of the drive: the ship is left at rest with the throttle at 0.
    press(kLds);
    ASSERT_TRUE(turnsUntil([&] { return !(s.flags & SimFlag::Lds); }, 20));
    EXPECT_EQ(s.setSpeed, 0.0f);

    // Full ahead: within 100,000 of the station the mission docks the ship
    // at its port.
    press(kThrottleUp, 14);
    EXPECT_EQ(s.setSpeed, 70000.0f);
    ASSERT_TRUE(turnsUntil([&] { return dunGetDockedPartner(ship) == station; }, 600)) << range();
    piloting = false;
    keys[kEnd] = keys[kPageDown] = 0;
    turns(5);
    EXPECT_LT(range(), 10000.0);

    // U undocks it, and it drifts clear of the port.
    press(kUndock);
    EXPECT_EQ(dunGetDockedPartner(ship), nullptr);
    const double atUndock = range();
    turns(20);
    EXPECT_GT(range(), atUndock + 1000.0);
    EXPECT_EQ(gMissionEndState, 0) << "all within the mission's two minutes";

    // Shift+Q ends the flight, a second Shift+Q leaves the mission; started
    // from the command line, the game then quits.
    auto endKey = [&] {
        keys[0x2A] = 0xFF;
        press(0x10);
        keys[0x2A] = 0;
    };
    endKey();
    EXPECT_EQ(gMissionEndState, 1);
    endKey();
    ASSERT_TRUE(turnsUntil([] { return gQuit != 0; }, 3000));
    Stop();
}

// The first mission from the command line as its script now plays it: the
// briefing (next and back as the command station's briefing buttons set
// them), the objectives it opens, the wingman's dialogue with its
// subtitles, the raider's hail answered and the checkpoint saved, the
// raider destroyed by the world's own destruction, objective 1 done, and
// the SUCCESS road with the status panel's total stored as the score.
TEST_F(WholeGame, TheFirstMissionsBriefingObjectivesDialogueAndItsEnd) {
    Start(8, false, "vek\\resource\\scripts\\missions\\mission01.scr");
    ASSERT_EQ(gInFrontEnd, 0);
    auto pending = [] { return std::string(gFeed.pending); };
    const bool briefed =
        TurnsUntil([&] { return gBriefingOpen && pending().find("raider has been sighted") != std::string::npos; }, 50);
    ASSERT_TRUE(briefed) << int(gBriefingOpen) << " [" << pending() << "] " << gBriefingSection;
    EXPECT_EQ(Screen(), "COM");
    EXPECT_EQ(dunFrozen, 1);
    EXPECT_EQ(gBriefingSection, 1);
    // The first section's film plays in the command station's view.
    EXPECT_EQ(gBriefingVideoShowing, 1);
    EXPECT_NE(gBriefingVideo, nullptr);
    // Next: the second section's text.
    guiResetTextFeed();
    gBriefingSkip = 1;
    ASSERT_TRUE(TurnsUntil([&] { return gBriefingSection == 2 && pending().find("alone") != std::string::npos; }, 200));
    EXPECT_EQ(gBriefingVideoShowing, 0) << "the next section closes the film";
    // Back: the first section again.
    guiResetTextFeed();
    gBriefingSkip = gBriefingBack = 1;
    ASSERT_TRUE(
        TurnsUntil([&] { return gBriefingSection == 1 && pending().find("sighted") != std::string::npos; }, 200));
    // Then it plays to its end: the objectives open and the world goes on.
    ASSERT_TRUE(TurnsUntil([] { return gBriefingOpen == 0; }, 1500));
    EXPECT_EQ(gObjectivesOpen, 1);
    EXPECT_EQ(dunFrozen, 0);
    Turn();
    Snapshot("mission01_objectives");
    // The panel fills the view: the open objective's marker and its title.
    GuiWindow *view = gGuiMainView;
    ASSERT_NE(view, nullptr);
    EXPECT_GT(CountColours(view->rect, 159, 159) + CountColours(view->rect, 151, 151), 20);
    EXPECT_GT(CountColours(view->rect, 166, 166), 100) << "the title bar";
    // The wingman's call starts as the briefing ends, spoken and typed as
    // subtitles while the objectives show.
    std::string feed;
    auto typed = [&] {
        if (gFeed.pending[0] && feed.find(gFeed.pending) == std::string::npos) feed += gFeed.pending;
    };
    // The panel shows for its ten seconds (the opening cut to the raider,
    // which would close it, waits for the flight's clock).
    int shownTurns = 0;
    ASSERT_TRUE(TurnsUntil(
        [&] {
            typed();
            shownTurns += gObjectivesOpen;
            return gObjectivesOpen == 0;
        },
        150));
    EXPECT_GE(shownTurns, 95);
    ASSERT_TRUE(TurnsUntil(
        [&] {
            typed();
            return feed.find("Weapons free.") != std::string::npos;
        },
        300))
        << feed;
    EXPECT_NE(feed.find("Wingman - Raider closing fast. Take it out, Captain."), std::string::npos) << feed;
    // The raider hails ten seconds in; the captain answers, and the answer
    // is the checkpoint.
    ASSERT_TRUE(TurnsUntil([] { return gDialogueChoices != nullptr; }, 600));
    ASSERT_TRUE(Answer());
    ASSERT_TRUE(TurnsUntil([] { return Var("Reply") == 1 && gDialogueRunning == 0; }, 400));
    Turn();
    EXPECT_NE(FileText("vek/slot_d0.sav").find(":1_0_1 Kestrel hailed\n"), std::string::npos);

    // The raider destroyed: objective 1 done and the mission succeeds.
    auto *raider = static_cast<SceneItem *>(GetScriptSymbolValue("Enemy"));
    ASSERT_NE(raider, nullptr);
    Destroy(raider);
    Turn();
    EXPECT_TRUE(raider->sim->flags & SimFlag::Dead);
    // A ship that breaks up in view leaves its pieces and goes; until the
    // break-up is built, its removal is posted as the break-up would.
    if (raider->flags & SceneFlag::InUse) dunMsgPost(raider->receiverId, raider->receiverId, 0, MsgRemove, 0, nullptr);
    ASSERT_TRUE(TurnsUntil([] { return gMissionEndState == 1; }, 1000));
    EXPECT_EQ(dunMissionSuccess, 0xFF);
    EXPECT_EQ(gMissionOutcome, 0);
    EXPECT_TRUE(dunTestObjectiveState(0, ObjectiveState::Done));
    EXPECT_EQ(gScriptPrompt.slot, 0) << "the prompt is switched off";
    // The end view (the event camera's full-screen view of the player's
    // ship, taken here directly as the module that gives it is still to
    // come) shows the status panel; its total is the score.
    guiEnterFullScreen();
    gMissionScore = -1;
    Turn();
    Turn();
    Snapshot("mission01_status");
    const int32_t total = gMissionScore;
    EXPECT_GT(CountColours(gGuiMainView->rect, 88, 88), 100) << "the done objective's line";
    EXPECT_EQ(total, ComputeMissionScore());
    // The objective's 500, the raider's SHIP_SCORE 100, the time bonus.
    EXPECT_EQ(total, 500 + 100 + MissionTimeBonus(60000, gMissionClock, 5));
    // Shift+Q ends the flight, a second leaves the mission; the stored score
    // is the panel's total.
    LeaveByEndKey();
    ASSERT_TRUE(TurnsUntil([] { return gQuit != 0; }, 3000));
    EXPECT_EQ(gCareerState.word[StateWord::Score], total);
    EXPECT_EQ(gCareerState.word[StateWord::Success], -1);
    Stop();
}

// A checkpoint saved before the ship is lost brings the mission back as it
// was saved when the mission starts from it (the chooser's routine with a
// checkpoint of the chooser's list): its variables, objectives, weapon
// counters and SCORE.
TEST_F(WholeGame, ACheckpointSavedBeforeTheShipIsLostIsRestoredThroughTheChooser) {
    Start(8, false, "vek\\resource\\scripts\\missions\\mission01.scr");
    ASSERT_TRUE(TurnsUntil([] { return gBriefingOpen != 0; }, 50));
    Key(0x01);  // Esc leaves the briefing
    ASSERT_TRUE(TurnsUntil([] { return gDialogueChoices != nullptr; }, 1000));
    // The captain answers on the command station: the one speaker waiting
    // is chosen at once, and the pointer rests on the first reply button.
    if (Screen() != "COM") {
        Key(0x3B);  // F1: the command station
        Turn();
        Turn();
    }
    ASSERT_EQ(Screen(), "COM");
    ASSERT_TRUE(TurnsUntil([] { return gGuiChoicesShown != 0; }, 50));
    GuiWindow *reply = guiLiveWindow(GetScriptSymbolValue("CmComButA"));
    ASSERT_NE(reply, nullptr);
    const int rx = (reply->rect[0] + reply->rect[2]) / 2, ry = (reply->rect[1] + reply->rect[3]) / 2;
    OnMouseMove(nullptr, rx, ry, 0);
    Turn();
    Turn();
    // The button goes down (the left button is also a fire key: its shot
    // goes first).
    OnLeftButtonDown(nullptr, rx, ry, 1);
    Turn();
    // What the flight changed before the checkpoint: a beam's charge spent,
    // the objective's worth, the score.
    Weapon *beam = dunPlayerShip->sim->weapons;
    ASSERT_TRUE(beam && beam->next);
    beam->charge = 3.0f;
    beam->next->charge = 7.0f;
    gObjectives[0].score = 777;
    gMissionScore = 42;
    // Its release answers.
    OnLeftButtonUp(nullptr, rx, ry, 0);
    ASSERT_TRUE(TurnsUntil([] { return Var("Reply") == 1 && gDialogueRunning == 0; }, 400));
    // The save follows the answer in the same turn.
    const int32_t turnsAtSave = Var("Turns"), clockAtSave = Var("MISSTIME");
    EXPECT_GT(clockAtSave, 1000);
    Turn();
    // The ship is lost; the mission ends and the game quits.
    Destroy(dunPlayerShip);
    ASSERT_TRUE(TurnsUntil([] { return gMissionEndState != 0; }, 2000));
    LeaveByEndKey();
    ASSERT_TRUE(TurnsUntil([] { return gQuit != 0; }, 3000));
    Stop();
    // The slot is a career's: a start from the command line writes no
    // captain record, and one found missing makes the slot new, which
    // clears its checkpoints.
    gMissionFromCommandLine = 0;
    dunWriteCaptainSlot();

    // The mission again, from its checkpoint.
    Start(8, false, "vek\\resource\\scripts\\missions\\mission01.scr");
    ASSERT_TRUE(TurnsUntil([] { return gBriefingOpen != 0; }, 50));
    Key(0x01);
    Turn();
    beam = dunPlayerShip->sim->weapons;
    EXPECT_EQ(beam->charge, 10.0f) << "a fresh start";
    EXPECT_EQ(gObjectives[0].score, 500);
    int32_t ids[8];
    char titles[8][kSaveTitleBytes];
    ASSERT_EQ(dunListSaveGames(gCurrentMission, gCareerState.word[StateWord::Slot], ids, titles, 8), 2);
    EXPECT_EQ(ids[1], 1);
    EXPECT_STREQ(titles[1], " Kestrel hailed");
    // The chooser waits on the command station; the checkpoint's row is
    // found under the mouse and clicked.
    ASSERT_TRUE(TurnsUntil([] { return gGuiSaveListOpen != 0; }, 50));
    EXPECT_EQ(Screen(), "COM");
    GuiWindow *chooser = guiLiveWindow(GetScriptSymbolValue("SPoint"));
    ASSERT_NE(chooser, nullptr);
    int rowX = -1, rowY = -1;
    for (int y = chooser->rect[1]; y <= chooser->rect[3] && rowX < 0; ++y)
        for (int x = chooser->rect[0]; x <= chooser->rect[2] && rowX < 0; x += 4) {
            gMouse.x = int16_t(x);
            gMouse.y = int16_t(y);
            chooser->draw(chooser);
            if (gGuiSaveChosen == 1) rowX = x, rowY = y;
        }
    ASSERT_GE(rowX, 0);
    ClickAt(rowX, rowY);
    EXPECT_FALSE(gGuiSaveListOpen);
    EXPECT_EQ(Var("Turns"), turnsAtSave) << "saved as the hail was answered";
    EXPECT_EQ(Var("MISSTIME"), clockAtSave);
    EXPECT_EQ(Var("Hailed"), 1);
    EXPECT_EQ(Var("Reply"), 1);
    EXPECT_EQ(gObjectives[0].score, 777);
    EXPECT_TRUE(dunTestObjectiveState(0, ObjectiveState::Open));
    EXPECT_EQ(gMissionScore, 42);
    // Its load routine brings the weapons back in the next turn.
    ASSERT_TRUE(TurnsUntil([] { return gLoadPending == 0; }, 10));
    EXPECT_EQ(beam->charge, 3.0f);
    EXPECT_EQ(beam->next->charge, 7.0f);
    // The mission's end gives its world and resources back.
    exitMission();
    Stop();
}

// The last stand's duellists: each leads a wing of its own.
TEST_F(WholeGame, TheLastStandsDuellistsLeadTheirOwnWings) {
    Start(8, false, "vek\\resource\\scripts\\missions\\mission04.scr");
    auto ship = [](const char *name) {
        auto *o = static_cast<SceneItem *>(GetScriptSymbolValue(name));
        return o && o->sim ? o->sim->shipInfo : nullptr;
    };
    for (const char *name : {"Defender", "Enemy"}) {
        ShipInfo *lead = ship(name);
        ASSERT_NE(lead, nullptr) << name;
        EXPECT_TRUE(lead->flags & ShipFlag::GroupHolder) << name;
        EXPECT_NE(lead->group, 0) << name;
    }
    EXPECT_NE(ship("Defender")->group, ship("Enemy")->group);
    exitMission();
    Stop();
}

// The convoy escort's wing from the cockpit's keys: the two wingmen made
// after the player's ship are its wing, the ships of the other groups and the
// depot made before it are not. T makes the straggler the target; W opens
// the wing menu and 3 gives "attack my target": both wingmen go for it. With
// the depot as the target, Shift+8 sends the wing to dock, and both dock.
TEST_F(WholeGame, TheConvoyEscortsWingAttacksThePlayersTargetAndDocksOnTheKeys) {
    Start(8, false, "vek\\resource\\scripts\\missions\\mission05.scr");
    // The stragglers are held back: the mission stays open while the wing flies.
    ScriptSetSymbolInt(FindScriptSymbol("Waves"), -1000000);
    auto object = [](const char *name) {
        auto *o = static_cast<SceneItem *>(GetScriptSymbolValue(name));
        return o && o->sim ? o : nullptr;
    };
    SceneItem *lance = object("Lance"), *pike = object("Pike"), *straggler = object("Straggler"),
              *depot = object("Depot");
    ASSERT_TRUE(lance && pike && straggler && depot && dunPlayerShip);
    std::vector<SceneItem *> wing;
    for (const WingSlot &slot : dunWing)
        if (slot.object) wing.push_back(slot.object);
    EXPECT_EQ(wing, (std::vector<SceneItem *>{lance, pike}));
    auto distance = [](const SceneItem *a, const SceneItem *b) {
        const Vec3d &p = a->sim->position, &q = b->sim->position;
        return std::sqrt((q.x - p.x) * (q.x - p.x) + (q.y - p.y) * (q.y - p.y) + (q.z - p.z) * (q.z - p.z));
    };
    auto state = [](const SceneItem *o) {
        const ShipInfo *info = o->sim->shipInfo;
        return info->stateTop >= 0 ? info->states[info->stateTop].state : 0u;
    };
    constexpr int kT = 0x14, kW = 0x11, k3 = 0x04, k8 = 0x09, kShift = 0x2A;
    for (int i = 0; i < 5; ++i) Turn();
    Key(kT);
    Turn();
    ASSERT_EQ(dunPlayerShip->sim->goal, straggler);
    Key(kW);
    Key(k3);
    Turn();
    const double before[2] = {distance(lance, straggler), distance(pike, straggler)};
    for (int i = 0; i < 2; ++i) {
        SceneItem *w = wing[size_t(i)];
        SCOPED_TRACE(w->sim->shipInfo->name);
        EXPECT_EQ(dunWing[i].lastCommand, 2);
        EXPECT_EQ(w->sim->goal, straggler);
        EXPECT_EQ(w->sim->target, straggler);
    }
    // Ten seconds on, both have closed on it by more than their own length
    // many times over.
    for (int i = 0; i < 100; ++i) Turn();
    for (int i = 0; i < 2; ++i) {
        SceneItem *w = wing[size_t(i)];
        SCOPED_TRACE(w->sim->shipInfo->name);
        EXPECT_EQ(w->sim->goal, straggler);
        EXPECT_LT(distance(w, straggler), before[i] - 200000.0) << "state " << state(w);
    }

    // The depot is the target (the targeting keys' work, which the test does
    // itself); the dock command goes to the whole wing.
    dunPlayerShip->sim->goal = depot;
    dunPlayerShip->sim->target = depot;
    GetKeyDownTable()[kShift] = 1;
    Key(k8);
    Turn();
    GetKeyDownTable()[kShift] = 0;
    for (int i = 0; i < 2; ++i) EXPECT_EQ(dunWing[i].lastCommand, 8);
    int turns = 0;
    const bool docked = TurnsUntil(
        [&] {
            ++turns;
            return dunGetDockedPartner(lance, depot) == depot && dunGetDockedPartner(pike, depot) == depot;
        },
        3000);
    EXPECT_TRUE(docked) << "Lance " << (dunGetDockedPartner(lance, depot) == depot) << ", Pike "
                        << (dunGetDockedPartner(pike, depot) == depot) << " after " << turns << " turns";
    exitMission();
    Stop();
}

// The first mission's sensors from the weapons station: the raider and the
// station are the contacts, the seven HUD rows list them nearest first, Tab
// steps the current contact and wraps, T makes the raider the target, the
// reticle draws over the view in its colours, and the lock key steps
// through the raider's hit-box volumes.
TEST_F(WholeGame, TheFirstMissionsContactsTargetsAndSubTargetsFromTheKeys) {
    Start(8, false, "vek\\resource\\scripts\\missions\\mission01.scr");
    auto *raider = static_cast<SceneItem *>(GetScriptSymbolValue("Enemy"));
    auto *station = static_cast<SceneItem *>(GetScriptSymbolValue("Station"));
    ASSERT_TRUE(raider && raider->sim && station && station->sim);
    // The raider holds where the mission puts it.
    dunai_DefaultOrders(raider);
    constexpr int kF3 = 0x3D, kTab = 0x0F, kT = 0x14, kY = 0x15;
    auto press = [](int scan) {
        Key(scan);
        Turn();
        Turn();
    };
    ASSERT_TRUE(TurnsUntil([] { return gBriefingOpen != 0; }, 20));
    press(0x01);
    for (int i = 0; i < 100; ++i) Turn();
    press(kF3);
    ASSERT_EQ(StationId, 3);
    for (int i = 0; i < 10; ++i) Turn();

    // The rows: the raider (25,000 off) above the station (3,000,000).
    ASSERT_NE(dunContactRowHooks, nullptr);
    std::vector<SceneItem *> listed;
    for (const HudContactRow &r : hudContactRows)
        if (r.link) listed.push_back(r.link->object);
    ASSERT_GE(listed.size(), 2u);
    EXPECT_EQ(listed[0], raider);
    EXPECT_NE(std::find(listed.begin(), listed.end(), station), listed.end());
    for (int i = 1; i < kHudContactRows && hudContactRows[i].link; ++i)
        EXPECT_LE(hudContactRows[i - 1].link->range, hudContactRows[i].link->range) << i;

    // Tab steps the current contact through the list and comes back round.
    ASSERT_NE(dunCurrentContact, nullptr);
    SceneItem *first = dunCurrentContact->object;
    std::vector<SceneItem *> seen{first};
    for (size_t i = 0; i < listed.size(); ++i) {
        press(kTab);
        ASSERT_NE(dunCurrentContact, nullptr);
        seen.push_back(dunCurrentContact->object);
    }
    EXPECT_NE(seen[1], seen[0]);
    EXPECT_EQ(seen.back(), first);

    // T: the nearest enemy becomes the target; the reticle restarts large
    // and shrinks, drawn round the view's centre in the open (97) or locked
    // (64) colour, the sight frame in 96.
    press(kT);
    EXPECT_EQ(dunWeaponTarget, raider);
    ASSERT_NE(dunPlayerShip->sim->goal, nullptr);
    // The shrink follows the frame step: wait for it rather than count turns.
    EXPECT_TRUE(TurnsUntil([] { return dunReticleScale < 200.0f; }, 400));
    const int cx = (HudViewRect.left + HudViewRect.right) / 2, cy = (HudViewRect.top + HudViewRect.bottom) / 2;
    const int16_t centre[4] = {int16_t(cx - 40), int16_t(cy - 40), int16_t(cx + 40), int16_t(cy + 40)};
    EXPECT_GT(CountColours(centre, 97, 97) + CountColours(centre, 64, 64), 20);
    const int16_t view[4] = {HudViewRect.left, HudViewRect.top, HudViewRect.right, HudViewRect.bottom};
    EXPECT_GT(CountColours(view, 96, 96), 0);
    // The rows in the view's lower left corner: the raider's side (0x200)
    // in 160, the station's (0x80) in 133.
    const int16_t rows[4] = {HudViewRect.left, int16_t(HudViewRect.bottom - 120), int16_t(HudViewRect.left + 190),
                             HudViewRect.bottom};
    EXPECT_GT(CountColours(rows, 160, 160), 20);
    EXPECT_GT(CountColours(rows, 133, 133), 10);
    Snapshot("mission01_contacts_reticle");

    // The lock key steps through the raider's two sub-target volumes.
    dunPlayerShip->sim->goal = raider;
    press(kY);
    ASSERT_EQ(dunSubTargetOwner, raider);
    const Vec3 a = dunSubTargetCentrePoint;
    press(kY);
    ASSERT_EQ(dunSubTargetOwner, raider);
    const Vec3 b = dunSubTargetCentrePoint;
    EXPECT_NE(a.x, b.x);
    press(kY);
    EXPECT_EQ(dunSubTargetCentrePoint.x, a.x);

    const std::string log = FileText("debug.txt");
    for (const char *name : {"dunInitContacts", "dunRefreshContacts", "dunPrevTarget", "dunCurrentContactObject",
                             "dunDrawTargetReticle", "dunPickTargetPoint"})
        EXPECT_EQ(log.find(std::string("not built yet: ") + name), std::string::npos) << name;
    exitMission();
    Stop();
}

// The convoy's orders: "Bulwark" flies to the rally point and stops there,
// "Anvil", pushed along, stops dead near where it was.
TEST_F(WholeGame, TheConvoysShipsStopOnTheirOrders) {
    Start(8, false, "vek\\resource\\scripts\\missions\\mission02.scr");
    auto ship = [](const char *name) {
        auto *o = static_cast<SceneItem *>(GetScriptSymbolValue(name));
        return o && o->sim && o->sim->shipInfo ? o : nullptr;
    };
    SceneItem *bulwark = ship("Bulwark"), *tender = ship("Tender"), *anvil = ship("Anvil");
    ASSERT_TRUE(bulwark && tender && anvil);
    EXPECT_STREQ(bulwark->sim->shipInfo->orders[1].name, "StopAbsolute");
    EXPECT_STREQ(tender->sim->shipInfo->orders[1].name, "StopRelative");
    EXPECT_STREQ(anvil->sim->shipInfo->orders[1].name, "StopDead");
    anvil->sim->velocity = {0, 0, 20000};
    const Vec3d from = anvil->sim->position;
    auto speed = [](const SceneItem *o) { return double(VecLength(o->sim->velocity)); };
    auto off = [](const SceneItem *o, const Vec3d &p) {
        const Vec3d &q = o->sim->position;
        return std::sqrt((q.x - p.x) * (q.x - p.x) + (q.y - p.y) * (q.y - p.y) + (q.z - p.z) * (q.z - p.z));
    };
    ASSERT_TRUE(TurnsUntil([&] { return speed(anvil) < 1000; }, 600)) << speed(anvil);
    EXPECT_LT(off(anvil, from), 200000.0);
    // The rally point lies 36,000 off; the ship flies there and stops.
    bool moved = false;
    ASSERT_TRUE(TurnsUntil(
        [&] {
            moved |= speed(bulwark) > 2000;
            return moved && speed(bulwark) < 1000 && off(bulwark, Vec3d{0, 0, 0}) < 20000;
        },
        3000))
        << speed(bulwark) << " " << off(bulwark, Vec3d{0, 0, 0});
    exitMission();
    Stop();
}

// The convoy's freighter docks at the depot's nearer port, and the shuttle
// rides its route: Bus1, Bus2, Bus3, then (no Bus4) Bus0 and Bus1 again,
// coming within its arrival range of each stop before it makes for the
// next. The same start gives the same run.
TEST_F(WholeGame, TheConvoysFreighterDocksAndItsShuttleRidesTheRoute) {
    struct Run {
        int docked = -1;
        std::vector<std::string> stops;
        std::vector<int> turns;
    };
    auto fly = []() {
        Run run;
        dunSeedRand15(51);
        Start(8, false, "vek\\resource\\scripts\\missions\\mission02.scr");
        dunSeedRand15(51);
        // The convoy is held back: the mission stays open while they fly.
        ScriptSetSymbolInt(FindScriptSymbol("Waves"), -1000000);
        auto object = [](const char *name) {
            auto *o = static_cast<SceneItem *>(GetScriptSymbolValue(name));
            return o && o->sim ? o : nullptr;
        };
        SceneItem *mule = object("Mule"), *depot = object("Depot"), *ferry = object("Ferry");
        EXPECT_TRUE(mule && depot && ferry);
        if (!mule || !depot || !ferry) return run;
        EXPECT_STREQ(mule->sim->shipInfo->orders[1].name, "GoAndDock");
        EXPECT_STREQ(ferry->sim->shipInfo->orders[1].name, "BusDriver");
        std::map<uint32_t, std::string> names;
        for (const char *n : {"Bus0", "Bus1", "Bus2", "Bus3"}) names[dunHandleOf(object(n))] = n;
        auto stopOf = [&]() -> uint32_t {
            const ShipInfo *info = ferry->sim->shipInfo;
            for (const StateFrame &f : info->states)
                if (f.state == 54 && f.step >= 2) return uint32_t(f.locals[1]);
            return 0;
        };
        auto distance = [](const SceneItem *a, const SceneItem *b) {
            const Vec3d &p = a->sim->position, &q = b->sim->position;
            return std::sqrt((q.x - p.x) * (q.x - p.x) + (q.y - p.y) * (q.y - p.y) + (q.z - p.z) * (q.z - p.z));
        };
        double nearest = 1e30;
        uint32_t current = 0;
        for (int turn = 0; turn < 6000 && (run.docked < 0 || run.stops.size() < 5); ++turn) {
            Turn();
            if (run.docked < 0 && dunGetDockedPartner(mule, depot) == depot) run.docked = turn;
            const uint32_t stop = stopOf();
            if (stop && stop != current) {
                if (current) {
                    EXPECT_LT(nearest, 500000.0) << names[current];
                }
                current = stop;
                nearest = 1e30;
                run.stops.push_back(names.count(stop) ? names[stop] : "?");
                run.turns.push_back(turn);
            }
            if (SceneItem *o = dunItemFromHandle(current)) nearest = std::min(nearest, distance(ferry, o));
        }
        exitMission();
        Stop();
        return run;
    };
    const Run first = fly();
    EXPECT_GE(first.docked, 0) << "never docked";
    EXPECT_LE(first.docked, 3000) << "300 simulated seconds";
    ASSERT_GE(first.stops.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(first.stops.begin(), first.stops.begin() + 5),
              (std::vector<std::string>{"Bus1", "Bus2", "Bus3", "Bus0", "Bus1"}));
    const Run second = fly();
    EXPECT_EQ(second.docked, first.docked);
    EXPECT_EQ(second.stops, first.stops);
    EXPECT_EQ(second.turns, first.turns);
}

// The patrol's courier crosses 15,000,000 on its fast drive to the relay
// station and drops out of it within the arrival radius (200,000 for the
// corvette's turn rates, and five of the relay's radii), where it stays; the
// same start, the same arrival. (The patrol's timer would end it first.)
// The tug bound for the gate jumps through its ring.
TEST_F(WholeGame, TheDeepPatrolsCourierArrivesByItsDrive) {
    auto fly = []() {
        dunSeedRand15(51);
        Start(8, false, "vek\\resource\\scripts\\missions\\mission03.scr");
        dunSeedRand15(51);
        // The patrol's timer is held: the mission stays open while it flies.
        dunMissionCountdown = 1000000;
        auto *courier = static_cast<SceneItem *>(GetScriptSymbolValue("Courier"));
        auto *mark = static_cast<SceneItem *>(GetScriptSymbolValue("FarMark"));
        EXPECT_TRUE(courier && mark);
        if (!courier || !mark) return std::pair{-1, 0.0};
        EXPECT_STREQ(courier->sim->shipInfo->orders[1].name, "LDSToNavTarget");
        auto off = [&] {
            const Vec3d &p = courier->sim->position, &q = mark->sim->position;
            return std::sqrt((q.x - p.x) * (q.x - p.x) + (q.y - p.y) * (q.y - p.y) + (q.z - p.z) * (q.z - p.z));
        };
        EXPECT_GT(off(), 1.4e7);
        bool cruised = false;
        int arrived = -1;
        for (int turn = 0; turn < 250 && arrived < 0; ++turn) {
            Turn();
            cruised |= (courier->sim->flags & SimFlag::Lds) != 0;
            if (cruised && !(courier->sim->flags & SimFlag::Lds)) arrived = turn;
        }
        EXPECT_TRUE(cruised);
        const double at = off();
        EXPECT_LE(at, 200000.0 + 5.0 * mark->sim->radius) << "turn " << arrived;
        for (int turn = 0; turn < 10; ++turn) Turn();
        EXPECT_LE(off(), 200000.0 + 5.0 * mark->sim->radius) << "it stays";
        // Meanwhile the tug has lined up behind the gate's ring and flies
        // through it into its jump.
        auto *tug = static_cast<SceneItem *>(GetScriptSymbolValue("Tug"));
        EXPECT_TRUE(tug && TurnsUntil([&] { return (tug->sim->flags & SimFlag::Jumping) != 0; }, 100));
        exitMission();
        Stop();
        return std::pair{arrived, at};
    };
    const auto first = fly();
    EXPECT_GE(first.first, 0);
    const auto second = fly();
    EXPECT_EQ(second, first);
}

}  // namespace

namespace {

// The first mission from the stations: the local-space viewer on the command
// station draws the player's corvette and the raider as wireframes; the
// weapons station's beam group with rapid fire shoots the raider until it is
// destroyed, the racks gauge falling with each shot; a repair team sent from
// the engineering station to a damaged component mends it.
TEST_F(WholeGame, TheFirstMissionFromTheLocalViewTheWeaponsAndTheEngineeringStations) {
    Start(8, false, "vek\\resource\\scripts\\missions\\mission01.scr");
    auto *raider = static_cast<SceneItem *>(GetScriptSymbolValue("Enemy"));
    ASSERT_TRUE(raider && raider->sim);
    dunai_DefaultOrders(raider);
    constexpr int kF1 = 0x3B, kF3 = 0x3D, kF4 = 0x3E, kT = 0x14, kSpace = 0x39;
    auto press = [](int scan) {
        Key(scan);
        Turn();
        Turn();
    };
    ASSERT_TRUE(TurnsUntil([] { return gBriefingOpen != 0; }, 20));
    press(0x01);
    for (int i = 0; i < 50; ++i) Turn();

    // The local view orbits the player's target (the corvette itself
    // without one) and draws it as a wireframe.
    press(kF1);
    ASSERT_EQ(StationId, 1);
    auto lines = [](const SceneItem *o) {
        for (int i = 0; i < gLSpaceDrawnCount; ++i)
            if (gLSpaceDrawn[i].object == o) return gLSpaceDrawn[i].lines;
        return -1;
    };
    Click("CMDLocal");
    ASSERT_TRUE(gLocalSpaceOpen);
    for (int i = 0; i < 5; ++i) Turn();
    EXPECT_GT(lines(dunPlayerShip), 0);
    Click("CMDLocal");
    EXPECT_FALSE(gLocalSpaceOpen);
    press(kT);
    ASSERT_EQ(dunPlayerShip->sim->goal, raider);
    Click("CMDLocal");
    ASSERT_EQ(gLSpaceViewer.target, raider);
    // The camera blends over to the new target in two seconds.
    for (int i = 0; i < 30; ++i) Turn();
    EXPECT_GT(lines(raider), 0);
    Snapshot("mission01_local_view");
    Click("CMDLocal");
    EXPECT_FALSE(gLocalSpaceOpen);

    // The raider hails; the captain answers before taking the weapons.
    ASSERT_TRUE(TurnsUntil([] { return gDialogueChoices != nullptr; }, 600));
    ASSERT_TRUE(Answer());
    ASSERT_TRUE(TurnsUntil([] { return Var("Reply") == 1 && gDialogueRunning == 0; }, 400));

    // The weapons station: the beam group, then rapid fire by a second press.
    press(kF3);
    ASSERT_EQ(StationId, 3);
    // Both views draw every frame: the station's own view with the HUD over
    // it, once a frame, and the small weapon-camera window with the weapon
    // mounts alone.
    {
        static const PresentHudHooks *game;
        static PresentHudHooks counting;
        static std::vector<HudRect> passes;
        static std::vector<const GuiWindow *> mounts;
        game = &P3DHud();
        counting = *game;
        counting.drawAll = [] {
            passes.push_back(HudViewRect);
            game->drawAll();
        };
        passes.clear();
        mounts.clear();
        P3DSetHudHooks(&counting);
        gMainViewRoutines.hardpoints = [](GuiWindow *w) {
            mounts.push_back(w);
            kMainViewRoutines.hardpoints(w);
        };
        for (int i = 0; i < 3; ++i) Turn();
        gMainViewRoutines = kMainViewRoutines;
        P3DSetHudHooks(game);
        GuiWindow *view = guiLiveWindow(GetScriptSymbolValue("WEPRealVR"));
        GuiWindow *camera = guiLiveWindow(GetScriptSymbolValue("WEPRealV"));
        ASSERT_TRUE(view && camera);
        EXPECT_EQ(gGuiMainView, view);
        ASSERT_EQ(passes.size(), 3u);
        for (const HudRect &r : passes)
            EXPECT_TRUE(r.left == view->rect[0] && r.top == view->rect[1] && r.right == view->rect[2] &&
                        r.bottom == view->rect[3])
                << r.left << "," << r.top << " " << r.right << "," << r.bottom;
        EXPECT_EQ(mounts, std::vector<const GuiWindow *>(3, camera));
    }
    // The slots hold the ship's beam cannons.
    ASSERT_NE(gWepSlots[0], nullptr);
    EXPECT_TRUE(gWepSlots[0]->flags & WeaponFlag::Beam);
    // The beam group is current from the start: a press on its button
    // switches rapid fire on, the next one off and back to the group.
    Click("WpMd0");
    EXPECT_EQ(gWepGroup, 0);
    EXPECT_TRUE(gWepRapid);
    Click("WpMd0");
    EXPECT_FALSE(gWepRapid);
    Click("WpMd0");
    EXPECT_TRUE(gWepRapid);
    press(kT);
    ASSERT_EQ(dunWeaponTarget, raider);
    // The beams and a seeker or two would finish the raider: it holds until
    // the first rack of seekers is spent.
    raider->sim->flags |= SimFlag::Protected;
    GuiWindow *racks = guiLiveWindow(GetScriptSymbolValue("WEPMags"));
    GuiWindow *rounds = guiLiveWindow(GetScriptSymbolValue("WEPShots"));
    ASSERT_TRUE(racks && rounds);
    // A burst of the beams: a beam weapon's racks gauge is its charge, which
    // a shot empties.
    const float charged = racks->value;
    float lowest = charged;
    for (int i = 0; i < 20 && lowest == charged; ++i) {
        KeyDownTable[kSpace] = 1;
        Turn();
        lowest = std::min(lowest, racks->value);
    }
    KeyDownTable[kSpace] = 0;
    EXPECT_LT(lowest, charged) << "the racks gauge fell as the beams fired";
    EXPECT_GE(lowest, 0.0f);

    // The missile group: the corvette's two seeker launchers and its
    // disruptor fill three slots; the group starts at the first seeker, and
    // each press moves on to a launcher of another kind.
    Click("WpMd1");
    EXPECT_EQ(gWepGroup, 1);
    const Weapon *current = dunPlayerShip->sim->currentWeapon;
    ASSERT_NE(current, nullptr);
    EXPECT_TRUE(current->flags & WeaponFlag::Missile);
    EXPECT_EQ(current->typeNumber, 5);
    EXPECT_EQ(current, gWepSlots[0]);
    const int16_t kinds[3] = {5, 5, 16};
    for (int i = 0; i < 3; ++i) {
        ASSERT_NE(gWepSlots[i], nullptr) << i;
        EXPECT_TRUE(gWepSlots[i]->flags & WeaponFlag::Missile) << i;
        EXPECT_EQ(gWepSlots[i]->typeNumber, kinds[i]) << i;
    }
    EXPECT_EQ(gWepSlots[3], nullptr);
    EXPECT_STREQ(guiWepFireModeWord(), "NORMAL") << "rapid fire is the beams' alone";
    // The group's button lights and the beams' goes out; the message line
    // names the launcher, and names the next one after the next press.
    Turn();
    GuiWindow *beamButton = guiLiveWindow(GetScriptSymbolValue("WpMd0"));
    GuiWindow *missileButton = guiLiveWindow(GetScriptSymbolValue("WpMd1"));
    GuiWindow *message = guiLiveWindow(GetScriptSymbolValue("WEPMagL"));
    ASSERT_TRUE(beamButton && missileButton && message);
    EXPECT_EQ(beamButton->state, 0);
    EXPECT_EQ(missileButton->state, 1);
    EXPECT_STREQ(gWepLastMessage, "MAG - SEEKER");
    auto line = [message] {
        const Surface *sf = TheDisplayMode.screen ? TheDisplayMode.screen : &ScreenSurface;
        std::vector<uint8_t> px;
        for (int y = message->rect[1]; y <= message->rect[3]; ++y)
            px.insert(px.end(), sf->pixels + size_t(y) * sf->pitch + message->rect[0],
                      sf->pixels + size_t(y) * sf->pitch + message->rect[2] + 1);
        return px;
    };
    const std::vector<uint8_t> seekerLine = line();
    // (A click is also the fire key: each press fires the weapon current
    // until it lands.)
    Click("WpMd1");
    EXPECT_EQ(dunPlayerShip->sim->currentWeapon, gWepSlots[2]);
    Turn();
    EXPECT_STREQ(gWepLastMessage, "MAG - DISRUPTOR");
    EXPECT_TRUE(line() != seekerLine) << "the message line shows the disruptor";
    Click("WpMd1");
    EXPECT_EQ(dunPlayerShip->sim->currentWeapon, gWepSlots[0]);
    // The second slot: the right wing's seeker, a loaded rack of four and
    // two racks in reserve.
    Click("WpSlot1");
    const Weapon *seeker = dunPlayerShip->sim->currentWeapon;
    ASSERT_EQ(seeker, gWepSlots[1]);
    EXPECT_GT(seeker->mount.x, 0.0f);
    Turn();
    Snapshot("mission01_wep_missiles");
    const float firstRacks = racks->value, firstRounds = rounds->value;
    EXPECT_EQ(firstRacks, 2.0f);
    EXPECT_EQ(firstRounds, 12.0f);
    // Seekers at the raider until it goes: the racks and rounds gauges fall,
    // never below 0.
    float lowestRacks = firstRacks, lowestRounds = firstRounds;
    auto down = [] { return dunTestObjectiveState(0, ObjectiveState::Done); };
    const DunHandle handle = dunHandleOf(raider);
    int fired = 0;
    for (int i = 0; i < 3000 && !down(); ++i) {
        SceneItem *r = dunItemFromHandle(handle);
        if (r) dunPlayerShip->sim->goal = r;
        if (r && lowestRacks < firstRacks) r->sim->flags &= ~SimFlag::Protected;
        if (!(seeker->flags & WeaponFlag::Empty) && seeker->reloadTimer <= 0.0f) {
            Key(0x1C, 13);  // Enter: fire
            ++fired;
        }
        Turn();
        lowestRacks = std::min(lowestRacks, racks->value);
        lowestRounds = std::min(lowestRounds, rounds->value);
        if (fired == 2) Snapshot("mission01_wep_seekers");
    }
    EXPECT_TRUE(down()) << "the raider still flies after " << fired << " seekers";
    EXPECT_LT(lowestRacks, firstRacks) << "the racks gauge fell as a rack was spent";
    EXPECT_LT(lowestRounds, firstRounds) << "the rounds gauge fell as the seekers went";
    EXPECT_GE(lowestRacks, 0.0f);
    EXPECT_GE(lowestRounds, 0.0f);
    Snapshot("mission01_wep");

    // The engineering station: a damaged component gets a team and mends.
    press(kF4);
    ASSERT_EQ(StationId, 4);
    // The schematic: the hull and the parts the mission's script gave it,
    // drawn at the station's distance.
    ASSERT_NE(gWireframeView.root, nullptr);
    int parts = 0;
    for (WireframeNode *k = gWireframeView.root->child; k; k = k->sibling) ++parts;
    EXPECT_EQ(parts, 8);
    EXPECT_EQ(gWireframeView.zoomTarget, kGuiEngWireDistance);
    EngComponent *c = dunFindComponentByName(dunPlayerShip, "REACTOR");
    ASSERT_NE(c, nullptr);
    c->health = 0.4f;
    guiEngSelectReactor();
    Turn();
    // The damaged part shows in the schematic's damage colour.
    ASSERT_NE(c->screenWidget, nullptr);
    EXPECT_EQ(static_cast<WireframeNode *>(c->screenWidget)->colour, 64);
    guiEngAssignCrew(0);
    for (int i = 0; i < 100; ++i) Turn();
    EXPECT_GT(c->health, 0.4f);
    Snapshot("mission01_eng");

    const std::string log = FileText("debug.txt");
    for (const char *name :
         {"guiEngSelectReactor", "guiBuildWepScreen", "guiBuildEngScreen", "guiBuildComScreen", "NavMapCloseIfOpen"})
        EXPECT_EQ(log.find(std::string("not built yet: ") + name), std::string::npos) << name;
    // The pointer leaves the panel: the next test's front end starts with
    // nothing under it.
    OnMouseMove(nullptr, 0, 0, 0);
    exitMission();
    Stop();
}

// The navigation station's autopilot "DOCK" program, chosen by a click with
// the station as the current contact, flies the corvette in and docks it.
TEST_F(WholeGame, TheAutopilotsDockProgramDocksThePlayerAtTheStation) {
    Start(8, false, "vek\\resource\\scripts\\missions\\mission01.scr");
    auto *station = static_cast<SceneItem *>(GetScriptSymbolValue("Station"));
    auto *raider = static_cast<SceneItem *>(GetScriptSymbolValue("Enemy"));
    ASSERT_TRUE(station && station->sim && raider);
    dunai_DefaultOrders(raider);
    ASSERT_TRUE(TurnsUntil([] { return gBriefingOpen != 0; }, 20));
    Key(0x01);
    for (int i = 0; i < 20; ++i) Turn();
    Key(0x3C);  // F2: the navigation station
    Turn();
    Turn();
    ASSERT_EQ(StationId, 2);
    // Tab steps the contacts until the station is the current one.
    for (int i = 0; i < 6 && dunCurrentContactObject() != station; ++i) {
        Key(0x0F);
        Turn();
        Turn();
    }
    ASSERT_EQ(dunCurrentContactObject(), station);
    Click("NvMd7");
    EXPECT_TRUE(dunPlayerShip->sim->flags & SimFlag::Autopilot);
    SceneItem *ship = dunPlayerShip;
    const double start = std::sqrt(std::pow(ship->sim->position.x - station->sim->position.x, 2) +
                                   std::pow(ship->sim->position.y - station->sim->position.y, 2) +
                                   std::pow(ship->sim->position.z - station->sim->position.z, 2));
    ASSERT_TRUE(TurnsUntil([&] { return dunGetDockedPartner(ship) == station; }, 1100)) << start;
    // The pointer leaves the panel: the next test's front end starts with
    // nothing under it.
    OnMouseMove(nullptr, 0, 0, 0);
    exitMission();
    Stop();
}

// The star map's jump, by clicks on "Deep Patrol"'s command station: the map
// opened, a star of another system picked in galaxy mode and chosen as the
// destination, the capsule drive asked for, the map left; the frame's jump
// puts the player in the picked system among its bodies.
TEST_F(WholeGame, TheStarMapJumpsThePlayerToAnotherSystem) {
    // The map's camera and filters as a fresh run has them.
    NavMapReset();
    Start(8, false, "vek\\resource\\scripts\\missions\\mission03.scr", "-lagrange");
    for (int i = 0; i < 10; ++i) Turn();
    guiSwitchToComKey();
    Turn();
    Turn();
    const int before = dunCurrentSystem;
    Click("CMDGlobal");
    ASSERT_TRUE(gStarMapOpen);
    ASSERT_EQ(dunStarMap.mode, 'G');
    // The star systems' filter on: their stars can be picked.
    if (!(dunStarMap.starFilter & 0x10)) Click("BtNavStarSystem");
    ASSERT_TRUE(dunStarMap.starFilter & 0x10);
    // Out far enough to see the neighbouring systems.
    for (int i = 0; i < 2; ++i) {
        Click("BtNavZoomout");
        TurnsUntil([] { return !gNavMap.camera.flying; }, 200);
    }
    Turn();
    GuiWindow *map = gNavMap.mapWindow;
    ASSERT_NE(map, nullptr);
    // A star of another system with Lagrange points, in view and clear of
    // its neighbours.
    StarRecord *pick = nullptr;
    for (int i = 0; i < dunNamedStarCount && !pick; ++i) {
        StarRecord &s = dunStars[i];
        const float x = s.mapScratch[0], y = s.mapScratch[1];
        if (!s.system || s.system == before || !(s.flags & dunStarMap.starFilter) || !(s.mapScratch[2] > 0.0f))
            continue;
        if (x < map->rect[0] + 8 || x > map->rect[2] - 8 || y < map->rect[1] + 60 || y > map->rect[3] - 8) continue;
        bool lp = false, clear = true;
        for (const BodyRecord &b : dunBodies)
            lp |= b.id > (s.system - 1) * 100 && b.id < s.system * 100 && (b.flags & BodyFlag::Lagrange);
        for (int j = 0; j < dunNamedStarCount; ++j)
            if (j != i && (dunStars[j].flags & dunStarMap.starFilter) && dunStars[j].mapScratch[2] > 0.0f &&
                std::fabs(dunStars[j].mapScratch[0] - x) + std::fabs(dunStars[j].mapScratch[1] - y) < 6.0f)
                clear = false;
        if (lp && clear) pick = &s;
    }
    if (!pick)
        for (int i = 0; i < dunNamedStarCount; ++i)
            if (dunStars[i].system)
                ADD_FAILURE() << dunStars[i].namePointer << " system " << int(dunStars[i].system) << " flags "
                              << dunStars[i].flags << " at " << dunStars[i].mapScratch[0] << ","
                              << dunStars[i].mapScratch[1] << "," << dunStars[i].mapScratch[2] << " filter "
                              << dunStarMap.starFilter << " current " << before;
    ASSERT_NE(pick, nullptr);
    Snapshot("mission03_galaxy_map");
    // The globe's rings show at 8 bits too: far more lit pixels below the
    // text lines than the stars and their names make.
    const int16_t below[4] = {map->rect[0], int16_t(map->rect[1] + 60), map->rect[2], map->rect[3]};
    EXPECT_GT(CountColours(below, 1, 255), 1000);
    ClickAt(int(pick->mapScratch[0]), int(pick->mapScratch[1]));
    EXPECT_EQ(dunStarMap.selectedStar, pick);
    ASSERT_TRUE(TurnsUntil([] { return !gNavMap.camera.flying; }, 200));
    Click("BtNavSelect");
    EXPECT_EQ(dunTargetLpStar, pick->system);
    ASSERT_NE(dunTargetLpBody, nullptr);
    Click("BtCapsule");
    Click("CMDGlobal");
    EXPECT_FALSE(gStarMapOpen);
    ASSERT_TRUE(TurnsUntil([&] { return dunCurrentSystem == pick->system; }, 100));
    EXPECT_TRUE(dunSystemVisited[pick->system]);
    int bodies = 0;
    SceneItem *head = dunSceneListHead();
    for (SceneItem *o = head->next; o != head; o = o->next) bodies += (o->flags & SceneFlag::SolarBody) != 0;
    EXPECT_GT(bodies, 0) << "the system's bodies";
    // The pointer leaves the panel: the next test's front end starts with
    // nothing under it.
    OnMouseMove(nullptr, 0, 0, 0);
    exitMission();
    Stop();
}

}  // namespace
