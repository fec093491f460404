// Groups and leaders, the asteroid and LDS switches, and the briefing's
// sections as the player steps through them.
#include <string>

#include "core/frame.h"
#include "script/briefing.h"
#include "script/compiler.h"
#include "script/mission.h"
#include "script/objectives.h"
#include "script/screens.h"
#include "script/settings.h"
#include "script_fixture.h"
#include "world/lds.h"
#include "world/mission_state.h"
#include "world/objroutines.h"

using namespace scripttest;

namespace {

// The text feed as the briefing sees it: a script variable, so that a
// section's statements "post" their text with SET Typing 1; the feed's
// reset (and the player's next and back buttons, which reset it) clears it.
int gObjectivesOpened, gFeedResets;

bool Typing() {
    ScriptSymbol *s = FindScriptSymbol("Typing");
    return s && ScriptSymbolInt(s) != 0;
}
void TypedOut() {
    if (ScriptSymbol *s = FindScriptSymbol("Typing")) ScriptSetSymbolInt(s, 0);
}

class Briefing : public ScriptTest {
protected:
    void SetUp() override {
        static ScriptGuiHooks hooks{};
        hooks.feedTyping = Typing;
        hooks.openObjectives = [] { ++gObjectivesOpened; };
        hooks.resetTextFeed = [] {
            ++gFeedResets;
            TypedOut();
        };
        ScriptSetGuiHooks(&hooks);
        ScriptTest::SetUp();
        gObjectivesOpened = gFeedResets = 0;
        ResetBriefingSection();
        gBriefingNumber = 0;
    }
    void TearDown() override {
        ScriptTest::TearDown();
        ScriptSetGuiHooks(nullptr);
        dunFixedAsteroids = 0;
        dunLdsOff = 0;
        dunTimeScale = 1.0f;
        dunControlledObject = nullptr;
        optBrfPause = 0;
    }
    static ShipInfo *Ship(const char *name, int16_t group) {
        static ShipInfo infos[8];
        static int used = 0;
        SceneItem *o = MakeObject(name);
        ShipInfo *s = &infos[used++ % 8];
        *s = ShipInfo{};
        s->group = group;
        o->sim->shipInfo = s;
        return s;
    }
    // The main script's turn, `n` times.
    static void Turns(ScriptToken *&pc, int n) {
        for (int i = 0; i < n; ++i) ScriptProcessor(&pc, 1);
    }
    // The player's buttons: both reset the feed.
    static void Next() {
        TypedOut();
        gBriefingSkip = 1;
    }
    static void Back() {
        TypedOut();
        gBriefingSkip = gBriefingBack = 1;
    }
};

TEST_F(Briefing, GroupNumbersComeFromTheCounter) {
    Start("GROUP 1200\nSET A 1\n");
    EXPECT_EQ(gAutoGroup, 1200);
    EXPECT_EQ(gGroupCounter, 1201);
    Start("NEW_GROUP\n");
    EXPECT_EQ(gAutoGroup, 1201);
    EXPECT_EQ(gGroupCounter, 1202);
    // A number below the counter leaves it.
    Start("GROUP 7\nNEWGROUP\n");
    EXPECT_EQ(gAutoGroup, 1202);
    // With an object, its ship joins the group; the automatic group stays.
    ShipInfo *s = Ship("Escort", 3);
    Start("GROUP 9 Escort\n");
    EXPECT_EQ(s->group, 9);
    EXPECT_EQ(gAutoGroup, 1202);
}

TEST_F(Briefing, AGroupLeaderLeadsTheOthersOfItsGroup) {
    ShipInfo *lead = Ship("Lead", 4), *wing1 = Ship("Wing1", 4), *wing2 = Ship("Wing2", 4), *other = Ship("Other", 5);
    Start("SCENEITEM Found\nGET_LEADER 4 Found\n");
    // No leader yet: the symbol is left as it was.
    EXPECT_EQ(ScriptSymbolObject(Sym("Found")), nullptr);
    Start("GROUP_LEADER Lead\nGET_LEADER 4 Found\n");
    SceneItem *leader = ScriptSymbolObject(Sym("Lead"));
    EXPECT_TRUE(lead->flags & ShipFlag::GroupHolder);
    EXPECT_EQ(leader->sim->flags & 0x1400u, 0x1400u);
    EXPECT_EQ(wing1->leader, leader);
    EXPECT_EQ(wing2->leader, leader);
    EXPECT_EQ(lead->leader, nullptr);
    EXPECT_EQ(other->leader, nullptr);
    EXPECT_EQ(ScriptSymbolObject(Sym("Found")), leader);
    // A ship of group 0 leads nobody.
    ShipInfo *loner = Ship("Loner", 0);
    Start("GROUP_LEADER Loner\n");
    EXPECT_FALSE(loner->flags & ShipFlag::GroupHolder);
}

TEST_F(Briefing, AsteroidAndDriveSwitches) {
    Start("FIXED_AST\n");
    EXPECT_EQ(dunFixedAsteroids, 0xFF);
    Start("FIXED_AST OFF\n");
    EXPECT_EQ(dunFixedAsteroids, 0);
    SceneItem *ship = MakeObject("Ship");
    dunControlledObject = ship;
    dunTimeScale = 4.0f;
    ship->sim->flags |= SimFlag::Lds;
    ship->sim->thrust.z = 5e6f;
    Start("NO_LDS Ship ON OFF\n");
    EXPECT_EQ(dunTimeScale, 1.0f);
    EXPECT_EQ(ship->sim->thrust.z, 0.0f);
    EXPECT_TRUE(ship->sim->flags & 0x200000u);
    EXPECT_EQ(dunLdsOff, 0);
    Start("NO_LDS Ship OFF\n");
    EXPECT_FALSE(ship->sim->flags & 0x200000u);
    EXPECT_EQ(dunLdsOff, 0xFF);
    Start("DINK 6 2.5 40\n");
    EXPECT_EQ(dunDebrisCount, 6);
    EXPECT_EQ(dunDebrisCountLarge, 15);
    EXPECT_EQ(dunDebrisColour, 40);
}

// A briefing requested twice runs its declarations only the first time.
TEST_F(Briefing, ABriefingsDeclarationsRunOnce) {
    ScriptToken *pc = Compile(
        "Idle:\nWAIT\nBRA Idle\n"
        "BRF_DECLARE\nADD Declared 1\nBRF_BEGIN\nADD Played 1\nBRF_END\nRETURN\n");
    for (int request = 0; request < 2; ++request) {
        gBriefingRequest = 1;
        Turns(pc, 3);
        EXPECT_EQ(gBriefingOpen, 0) << request;
    }
    EXPECT_EQ(Var("Declared"), 1);
    EXPECT_EQ(Var("Played"), 2);
    EXPECT_EQ(gScriptStackDepth, -1);
}

// The sections wait for their text; the player's next request goes on at
// once, the back request goes to the section before the last one played.
TEST_F(Briefing, SectionsWaitForTheirTextAndFollowThePlayer) {
    ScriptToken *pc = Compile(
        "Idle:\nWAIT\nBRA Idle\n"
        "BRF_DECLARE\nBRF_BEGIN\n"
        "BRF_SECT 1\nSET Sect 1\nSET Typing 1\nADD Shown1 1\n"
        "BRF_SECT 2\nSET Sect 2\nSET Typing 1\n"
        "BRF_SECT 3\nSET Sect 3\nSET Typing 1\n"
        "BRF_END\nRETURN\n");
    gBriefingRequest = 1;
    Turns(pc, 6);
    EXPECT_EQ(Var("Sect"), 1) << "section 2 waits for section 1's text";
    TypedOut();
    Turns(pc, 1);
    EXPECT_EQ(Var("Sect"), 2);
    TypedOut();
    Turns(pc, 1);
    EXPECT_EQ(Var("Sect"), 3);
    // Back at the end: section 2 again, the one before the last.
    Back();
    Turns(pc, 1);
    EXPECT_EQ(Var("Sect"), 2);
    EXPECT_EQ(gBriefingBack, 0);
    EXPECT_EQ(gBriefingOpen, 1);
    // Next, and next: to the end without waiting for the text.
    Next();
    Turns(pc, 1);
    EXPECT_EQ(Var("Sect"), 3);
    EXPECT_EQ(gBriefingOpen, 1);
    Next();
    Turns(pc, 1);
    EXPECT_EQ(gBriefingOpen, 0);
    EXPECT_EQ(Var("Shown1"), 1);
    EXPECT_EQ(gScriptStackDepth, -1);
}

// Outside pause mode each BRF_PAUSE adds two seconds to the next section's
// wait; in pause mode the section ends paused until the player resumes.
TEST_F(Briefing, PausesHoldTheNextSection) {
    const char *kText =
        "Idle:\nWAIT\nBRA Idle\n"
        "BRF_DECLARE\nBRF_BEGIN\nBRF_SECT 1\nBRF_PAUSE\nBRF_PAUSE\n"
        "BRF_SECT 2\nSET Sect 2\nBRF_END\nRETURN\n";
    ScriptToken *pc = Compile(kText);
    gBriefingRequest = 1;
    Turns(pc, 1);
    EXPECT_EQ(gBriefingPauseTimer, 390);
    Turns(pc, 39);
    EXPECT_EQ(Var("Sect"), 0);
    Turns(pc, 1);
    EXPECT_EQ(Var("Sect"), 2);
    // Pause mode.
    optBrfPause = 0xFF;
    ResetBriefingSection();
    gBriefingDeclared[0] = 0;
    ScriptSetSymbolInt(Sym("Sect"), 0);
    gBriefingRequest = 1;
    Turns(pc, 5);
    EXPECT_EQ(gBriefingPaused, 1);
    EXPECT_EQ(Var("Sect"), 0);
    gBriefingPaused = 0;
    Turns(pc, 1);
    EXPECT_EQ(Var("Sect"), 2);
}

// Back from a section whose section two before was never played (or lies
// outside the table) starts the briefing again from BRF_BEGIN.
TEST_F(Briefing, BackToASectionNeverPlayedStartsAgain) {
    ScriptToken *pc = Compile(
        "Idle:\nWAIT\nBRA Idle\n"
        "BRF_DECLARE\nBRF_BEGIN\nADD Begun 1\n"
        "BRF_SECT 5\nADD Five 1\nSET Typing 1\n"
        "BRF_SECT 99\nADD Far 1\n"
        "BRF_END\nRETURN\n");
    gBriefingRequest = 1;
    Turns(pc, 1);
    EXPECT_EQ(Var("Five"), 1);
    EXPECT_EQ(Var("Far"), 0);
    Back();
    Turns(pc, 1);
    EXPECT_EQ(Var("Begun"), 2);
    EXPECT_EQ(Var("Five"), 2);
    EXPECT_EQ(Var("Far"), 0);
}

// The end opens the objectives for ten seconds and lets the world go on.
TEST_F(Briefing, TheEndOpensTheObjectivesAndUnfreezes) {
    ScriptToken *pc = Compile(
        "Idle:\nADD I 1\nWAIT\nBRA Idle\n"
        "BRF_DECLARE\nBRF_BEGIN\nBRF_SECT 1\nSET Typing 1\nBRF_WAITTEXT\nBRF_END\nRETURN\n");
    gBriefingRequest = 1;
    Turns(pc, 3);
    EXPECT_EQ(gBriefingOpen, 1);
    EXPECT_EQ(dunFrozen, 1);
    EXPECT_EQ(gObjectivesOpened, 0);
    TypedOut();
    Turns(pc, 2);
    EXPECT_EQ(gBriefingOpen, 0);
    EXPECT_EQ(dunFrozen, 0);
    EXPECT_EQ(gObjectivesOpened, 1);
    EXPECT_EQ(gObjectivesPanelCountdown, 1000);
    EXPECT_GE(gFeedResets, 1);
}

// The player leaving the briefing: its routine goes on after its end.
TEST_F(Briefing, LeavingTheBriefingSkipsToItsEnd) {
    ScriptToken *pc = Compile(
        "Idle:\nWAIT\nBRA Idle\n"
        "BRF_DECLARE\nBRF_BEGIN\nBRF_SECT 1\nSET Sect 1\nSET Typing 1\nBRF_SECT 2\n"
        "SET Sect 2\nBRF_END\nSET After 1\nRETURN\n");
    gBriefingRequest = 1;
    Turns(pc, 2);
    EXPECT_EQ(Var("Sect"), 1);
    ResetMissionFlags();
    Turns(pc, 2);
    EXPECT_EQ(Var("Sect"), 1);
    EXPECT_EQ(Var("After"), 1);
    EXPECT_EQ(gBriefingLeave, 0);
    EXPECT_EQ(gScriptStackDepth, -1);
}

TEST_F(Briefing, AFifthBriefingIsATokeniseError) {
    std::string text;
    for (int i = 0; i < 4; ++i) text += "BRF_DECLARE\nBRF_BEGIN\nBRF_END\n";
    Compile(text);
    EXPECT_EQ(gBriefingCompileNumber, kBriefingCount);
    const std::string report = FatalText([&] { Compile("WAIT\nBRF_DECLARE\n"); });
    EXPECT_NE(report.find("(2)"), std::string::npos) << report;
    EXPECT_NE(report.find("Too many briefings"), std::string::npos) << report;
}

}  // namespace
