// The command station: the sample screen's windows and their routines, the
// panels closing one another and the pending checkpoint pick, the briefing
// replay and skip, standing up, the load-out buttons, the remote link's
// preconditions, the frame-rate meter, the arc mirror, and the dialogue's
// speaker list and reply buttons.
#include <cstdlib>
#include <filesystem>

#include "ai/contacts.h"
#include "gui/cockpit.h"
#include "gui/docviewer.h"
#include "gui/gui.h"
#include "gui_fixture.h"
#include "hud/maps.h"
#include "os/paths.h"
#include "platform/sound.h"
#include "script/briefing.h"
#include "script/compiler.h"
#include "script/conditions.h"
#include "script/dialogue.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/script.h"
#include "world/objlist.h"
#include "world/records.h"

namespace guitest {
namespace {

class ComStation : public GuiTest {
protected:
    std::filesystem::path old_;
    SceneItem ship{}, other{};
    Sim sim{};
    void SetUp() override {
        GuiTest::SetUp();
        old_ = std::filesystem::current_path();
        const char *root = std::getenv("RUVO_DATA");
        std::filesystem::current_path(root ? root : "data");
        osFlushPathCache();
        gLanguage = 0;
        resmanInit();
        InitializeScriptSystem();
        Run("vek\\resource\\scripts\\init\\init.scr");
        guiResetWindows();
        guiInit();
        gGuiScriptLoading = 1;
        Run("vek\\resource\\scripts\\gui\\test0_x.gui");
        gGuiScriptLoading = 0;
        ship.sim = &sim;
        dunPlayerShip = dunControlledObject = &ship;
        StationId = 1;
        guiSetScreen("COM");
        guiUpdate();
        ClearPanels();
    }
    void TearDown() override {
        dunClearDialogue();
        ClearPanels();
        dunCurrentContact = nullptr;
        dunPlayerShip = dunControlledObject = nullptr;
        StationId = 0;
        dunFrozen = 0;
        FreeScriptBuffers();
        SoundReleaseAll();
        resmanShutdown();
        std::filesystem::current_path(old_);
        osFlushPathCache();
        GuiTest::TearDown();
    }
    static void Run(const char *path) {
        ScriptToken *pc = TokeniseScript(path);
        ASSERT_NE(pc, nullptr) << path;
        ScriptProcessor(&pc, 0);
    }
    static void ClearPanels() {
        NavMapCloseIfOpen();
        NavMapCloseOverlay(0);
        gBriefingOpen = gDocViewerOpen = gObjectivesOpen = gLocalSpaceOpen = 0;
        gGuiSaveListOpen = 0;
        gGuiChoicesShown = 0;
    }
    static GuiWindow *Window(const char *name) {
        GuiWindow *w = guiFindWindow(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    static void Activate(const char *name) {
        if (GuiWindow *w = Window(name)) {
            ASSERT_NE(w->onActivate, nullptr) << name;
            w->onActivate(w);
        }
    }
};

TEST_F(ComStation, TheSampleScreenHasEveryWindowWithItsRoutine) {
    for (const char *name :
         {"COMQuit",      "CMDDoc",    "CMDBrief",    "CMDLocal",   "CMDGlobal",   "CMDLd",
          "CMDObjv",      "LdWinGun",  "REMLink",     "SPoint",     "LdBt0",       "AlienBt",
          "CdCM",         "BRFCPlay",  "BRFCPse",     "BRFCBck",    "BRFCFwd",     "CmDialogueWindow",
          "CmComButA",    "CmComButE", "CmComArmOut", "BtNavSolar", "BtNavGalaxy", "BtNavZoomin",
          "BtNavZoomout", "BtCapsule"})
        if (GuiWindow *w = Window(name)) EXPECT_NE(w->onActivate, nullptr) << name;
    for (const char *name : {"LdBt1", "LdBt2", "LdBt3", "LdBt4", "LdBt5", "LdBox"})
        if (GuiWindow *w = Window(name)) EXPECT_NE(w->onEvent, nullptr) << name;
    for (const char *name :
         {"FPSMeter", "FPSMeterN", "SpeedMeter", "SpeedNum", "CMseX", "CMseY", "CInfC", "CdCSor", "Anal0", "Anal3"})
        if (GuiWindow *w = Window(name)) EXPECT_NE(w->update, nullptr) << name;
    // The map's windows and the panels show by their bytes.
    EXPECT_EQ(Window("SolarMap")->draw, NavMapDraw);
    for (const char *name : {"SolarMap", "SelWin", "CMDRealV", "LdWin", "LdWinLM", "SPoint", "BRFCPlay"})
        if (GuiWindow *w = Window(name)) EXPECT_TRUE(w->flags & GuiFlag::Visibility) << name;
    EXPECT_EQ(Window("SolarMap")->visible, &gStarMapOpen);
    EXPECT_EQ(Window("LdBt1")->visible, &gMapOverlayOpen);
    EXPECT_EQ(Window("SPoint")->visible, &gGuiSaveListOpen);
    // The outline panels show the load-out model.
    EXPECT_NE(Window("LdWinCM")->font, nullptr);
}

TEST_F(ComStation, PanelsCloseOneAnotherAndThePendingPickBlocksThem) {
    guiComToggleObjectives(1);
    EXPECT_TRUE(gObjectivesOpen);
    guiComToggleLocalView(1);
    EXPECT_TRUE(gLocalSpaceOpen);
    EXPECT_FALSE(gObjectivesOpen);
    Activate("CMDGlobal");
    EXPECT_TRUE(gStarMapOpen);
    EXPECT_FALSE(gLocalSpaceOpen);
    guiComToggleObjectives(1);
    EXPECT_FALSE(gStarMapOpen);
    EXPECT_TRUE(gObjectivesOpen);
    guiComToggleObjectives(0);
    EXPECT_FALSE(gObjectivesOpen);

    // While a checkpoint waits to be picked, the documents, objectives and
    // briefing stay shut.
    gGuiSaveListOpen = 1;
    guiComToggleObjectives(1);
    Activate("CMDBrief");
    guiComToggleDocs(1);
    EXPECT_FALSE(gObjectivesOpen);
    EXPECT_FALSE(gBriefingOpen);
    EXPECT_FALSE(gDocViewerOpen);
    EXPECT_TRUE(gGuiSaveListOpen);
    // The local view clears the pick.
    guiComToggleLocalView(1);
    EXPECT_FALSE(gGuiSaveListOpen);
}

TEST_F(ComStation, TheBriefingButtonReplaysAndThenSkips) {
    // Without a declared briefing the button does nothing.
    gBriefingNumber = 0;
    gBriefingDeclare[0] = 0;
    gObjectivesOpen = 1;
    Activate("CMDBrief");
    EXPECT_FALSE(gBriefingOpen);
    EXPECT_TRUE(gObjectivesOpen);
    // With one: the panels close, the briefing is asked of the script.
    gBriefingDeclare[0] = 1;
    gBriefingStop = 1;
    gBriefingRequest = 0;
    Activate("CMDBrief");
    EXPECT_TRUE(gBriefingOpen);
    EXPECT_TRUE(gBriefingRequest);
    EXPECT_FALSE(gBriefingStop);
    EXPECT_FALSE(gObjectivesOpen);
    // A second press stops it and asks for the skip.
    gBriefingSkip = 0;
    Activate("CMDBrief");
    EXPECT_FALSE(gBriefingOpen);
    EXPECT_TRUE(gBriefingSkip);
    gBriefingDeclare[0] = 0;
    gBriefingSkip = 0;
    gBriefingRequest = 0;
}

TEST_F(ComStation, QuitStandsUpAndFreezesUntilAStationIsChosen) {
    Activate("COMQuit");
    EXPECT_EQ(StationId, 0);
    EXPECT_TRUE(dunFrozen);
    ASSERT_NE(gGuiScreen, nullptr);
    EXPECT_STREQ(gGuiScreen->name, "CMDStand");
}

TEST_F(ComStation, LoadOutButtonsGiveTheirNumbers) {
    const struct {
        const char *name;
        int number;
    } rows[] = {{"LdBt1", 1}, {"LdBt5", 5}, {"LdBox", 6}, {"LdBt0", 7}};
    for (const auto &r : rows) {
        gGuiLoadoutPressed = 0;
        GuiWindow *w = Window(r.name);
        ASSERT_NE(w, nullptr);
        ASSERT_NE(w->onEvent, nullptr) << r.name;
        w->onEvent(w);
        EXPECT_TRUE(gGuiLoadoutPressed) << r.name;
        EXPECT_EQ(gGuiLoadoutButton, r.number) << r.name;
    }
}

TEST_F(ComStation, TheRemoteLinkNeedsAContactAndNoPanel) {
    Contact contact{};
    contact.object = &other;
    uint8_t *const panels[] = {&gBriefingOpen,   &gDocViewerOpen,  &gStarMapOpen,
                               &gMapOverlayOpen, &gObjectivesOpen, &gGuiSaveListOpen};
    EXPECT_FALSE(guiRemoteLinkAllowed()) << "no contact";
    dunCurrentContact = &contact;
    EXPECT_TRUE(guiRemoteLinkAllowed());
    for (uint8_t *p : panels) {
        *p = 1;
        EXPECT_FALSE(guiRemoteLinkAllowed()) << p - panels[0];
        *p = 0;
    }
    contact.object = nullptr;
    EXPECT_FALSE(guiRemoteLinkAllowed()) << "a contact without its object";
}

// Every station's build on a screen without its windows and without a
// player ship binds nothing and stands.
TEST_F(GuiTest, EveryStationBuildsWithoutItsWindowsOrAShip) {
    dunPlayerShip = dunControlledObject = nullptr;
    gGuiScreen = &gGuiNullScreen;
    guiBuildComScreen();
    guiBuildWepScreen();
    guiBuildEngScreen();
    EXPECT_EQ(guiFindWindow("SolarMap"), nullptr);
    EXPECT_EQ(gGuiChoiceWindow, nullptr);
}

TEST(ComReadouts, TheFrameRateMeter) {
    const struct {
        int cs;
        bool perSecond;
        int value;
    } rows[] = {{0, true, 100}, {0, false, 100}, {1, true, 250},  {3, true, 250},  {4, true, 250},
                {5, true, 200}, {10, true, 100}, {1, false, 100}, {10, false, 10}, {-2, true, 100}};
    for (const auto &r : rows) EXPECT_EQ(guiFpsMeterValue(r.cs, r.perSecond), r.value) << r.cs << r.perSecond;
}

TEST(ComReadouts, TheArcMirrorForEveryLowCode) {
    // 1 <-> 5, 2 <-> 4, 8 <-> 6; 3, 7 and 9 stay; codes outside the table
    // become 0.
    const uint16_t expected[16] = {0, 5, 4, 3, 2, 1, 8, 7, 6, 9, 0, 0, 0, 0, 0, 0};
    for (uint16_t code = 0; code < 16; ++code) {
        EXPECT_EQ(guiMirrorArcCode(code), expected[code]) << code;
        // The high bits stay.
        EXPECT_EQ(guiMirrorArcCode(uint16_t(0x120 | code)), 0x120 | expected[code]) << code;
    }
}

// ---- The dialogue's speakers and replies ------------------------------------------------

class ComDialogue : public ComStation {
protected:
    DialogueRecord record{};
    DialogueNode nodes[3]{};
    // Waiting replies, each addressed to a name; the dialogue frees them.
    void Offer(std::initializer_list<const char *> addressees) {
        int i = 0;
        DialogueChoice **link = &gDialogueChoices;
        for (const char *name : addressees) {
            auto *c = static_cast<DialogueChoice *>(std::calloc(1, sizeof(DialogueChoice)));
            nodes[i].shortText = const_cast<char *>(name);
            c->node = &nodes[i++];
            c->dialogue = &record;
            c->addressee = name;
            *link = c;
            link = &c->next;
        }
    }
    void TearDown() override {
        while (DialogueChoice *c = gDialogueChoices) {
            gDialogueChoices = c->next;
            std::free(c);
        }
        for (DialogueChoice *&slot : gDialogueChoiceSlots) slot = nullptr;
        gDialogueChoiceCount = 0;
        ComStation::TearDown();
    }
};

TEST_F(ComDialogue, ASingleWaitingSpeakerIsChosenAtOnce) {
    Offer({"Kestrel", "kestrel"});  // one name in two spellings
    GuiWindow *list = Window("CmDialogueWindow");
    ASSERT_NE(list, nullptr);
    list->draw(list);
    EXPECT_TRUE(gGuiChoicesShown);
    EXPECT_EQ(gDialogueChoiceCount, 1) << "the replies addressed to exactly that name";
    // A click on the list goes back to the speakers.
    list->onActivate(list);
    EXPECT_FALSE(gGuiChoicesShown);
}

TEST_F(ComDialogue, TwoSpeakersWaitForAClickOnARow) {
    Offer({"Kestrel", "Tower", "Kestrel"});
    GuiWindow *list = Window("CmDialogueWindow");
    ASSERT_NE(list, nullptr);
    list->draw(list);
    EXPECT_FALSE(gGuiChoicesShown);
    gMouse.x = int16_t(list->rect[0] + 4);
    gMouse.y = int16_t(list->rect[1] + 14 + 3);  // the second row
    list->onActivate(list);
    EXPECT_TRUE(gGuiChoicesShown);
    EXPECT_EQ(gDialogueChoiceCount, 1);
    EXPECT_STREQ(gDialogueChoiceSlots[0]->addressee, "Tower");
}

TEST_F(ComDialogue, AReplyButtonPlaysItsChoiceAndHidesTheChoices) {
    Offer({"Kestrel", "Kestrel"});
    nodes[0].next = &nodes[2];
    GuiWindow *list = Window("CmDialogueWindow"), *second = Window("CmComButB"), *fifth = Window("CmComButE");
    ASSERT_TRUE(list && second && fifth);
    list->draw(list);
    ASSERT_EQ(gDialogueChoiceCount, 2);
    fifth->onActivate(fifth);  // no fifth reply: nothing happens
    EXPECT_TRUE(gGuiChoicesShown);
    second->onActivate(second);
    EXPECT_FALSE(gGuiChoicesShown);
    EXPECT_TRUE(nodes[1].flags & DialogueFlag::Said);
    EXPECT_FALSE(nodes[0].flags & DialogueFlag::Said);
    EXPECT_EQ(gDialogueChoices, nullptr) << "the dialogue's other replies went with it";
    EXPECT_EQ(gDialogueChoiceCount, 0);
}

}  // namespace
}  // namespace guitest
