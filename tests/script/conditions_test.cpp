// Conditions: the grammar, the tests over objects (present, absent, freed)
// and the event watches.
#include "core/options.h"
#include "script/mission.h"
#include "script_fixture.h"
#include "world/universe.h"

using namespace scripttest;
using Trace = std::vector<std::string>;

namespace {

class Conditions : public ScriptTest {
protected:
    // The condition's value, read as a script would.
    static bool Eval(const std::string &condition) {
        ScriptToken *pc = Compile(condition + "\n");
        ScriptRun run{ScriptTokenIndex(pc), ScriptTokenIndex(pc), 0};
        return EvaluateScriptCondition(run);
    }
};

TEST_F(Conditions, GrammarGroupsToTheRight) {
    const std::pair<const char *, bool> cases[] = {
        {"ALWAYS", true},
        {"NOT ALWAYS OR ALWAYS", false},  // NOT covers the OR
        {"ALWAYS AND NEVER OR ALWAYS", true},
        {"NEVER AND ALWAYS OR ALWAYS", false},
        {"NOT NEVER AND NEVER", true},
        {"NEVER OR NEVER OR ALWAYS", true},
    };
    for (auto &[text, want] : cases) EXPECT_EQ(Eval(text), want) << text;
    EXPECT_EQ(FatalText([] { Eval("WAIT"); }), "test.scr(1) : WAIT \n Unrecognized CONDITIONAL");
    EXPECT_EQ(gScriptRunStatus, ScriptStatus::BadCondition);
}

TEST_F(Conditions, BothSidesAlwaysRun) {
    SceneItem *ship = MakeObject("Ship");
    ship->sim->flags |= SimFlag::ShieldStruck;
    EXPECT_TRUE(Eval("ALWAYS OR HASFIRED Ship"));
    EXPECT_FALSE(ship->sim->flags & SimFlag::ShieldStruck);  // the mark was taken
    EXPECT_FALSE(Eval("HASFIRED Ship"));
}

TEST_F(Conditions, AbsentObjects) {
    // A name that never held an object, and one whose object was freed.
    SceneItem *gone = MakeObject("Gone");
    dunDeleteSceneItem(gone);
    for (const char *name : {"Never", "Gone"}) {
        const std::pair<std::string, bool> cases[] = {
            {"DESTROYED %", true},          {"FARFROM % % 10", true},   {"ATTACKED %", true},
            {"UNDOCKED %", true},           {"DAMAGE_GT % 10", true},   {"VALID_SCN %", false},
            {"NEARTO % % 0", false},        {"ALT_LOWER % 5", false},   {"VELMATCH % % 5", false},
            {"AI_SUSPENDED %", false},      {"IS_TARGET % %", false},   {"DOCKED %", false},
            {"DAMAGE_LT % 10", false},      {"SYS_OUT % 1", false},     {"EMIT_GT % 0", false},
            {"LOOKING_AT % % OFF", false},  {"SCN_SENSE % SN_STARSHIP", false},
            {"TOWED_BY % %", false},        {"CONTACT %", false},       {"SHIP_CLOCK %", false},
            {"SHIP_TYPE % CORVETTE", false}, {"IN_GROUP % 0", false},   {"HASFIRED %", false},
            {"IN_LDS %", false},            {"PROBED %", false},        {"WEAPON_EMPTY % 1", false},
            {"INSYSTEM 0 %", false},        {"REMLINK %", false},
        };
        for (auto &[pattern, want] : cases) {
            std::string text = pattern;
            for (size_t at; (at = text.find('%')) != std::string::npos;) text.replace(at, 1, name);
            EXPECT_EQ(Eval(text), want) << text;
        }
    }
}

TEST_F(Conditions, ObjectTests) {
    SceneItem *a = MakeObject("A");
    SceneItem *b = MakeObject("B");
    Place(a, 0, 0, 0);
    Place(b, 3000, 4000, 0);
    a->sim->matrix.m[10] = 1;  // looking along +z
    b->sim->radius = 100;
    a->avatar->flags = AvatarFlag::Ship | (1u << 9) | 1u;
    ShipInfo info{};
    info.typeCode = 18;  // RING
    info.group = 7;
    info.side = 3;
    info.damage.mask = 0x10;  // a sub-target bit
    a->sim->shipInfo = &info;
    a->sim->hull = 80;
    a->sim->goal = b;
    a->sim->shipClock[0] = 0;
    a->sim->shipClock[1] = 40;
    a->avatar->probed = 1;
    const std::pair<const char *, bool> cases[] = {
        {"NEARTO A B 5001", true},    {"NEARTO A B 5000", false},  {"NEARTO A B 0", true},
        {"FARFROM A B 5000", true},   {"FARFROM A B 5001", false}, {"IS_TARGET A B", true},
        {"IS_TARGET B A", false},     {"SHIP_TYPE A RING", true},  {"SHIP_TYPE A TUG", false},
        {"IN_GROUP A 7", true},       {"GROUPCOUNT_LT 7 2", true}, {"GROUPCOUNT_LT 7 1", false},
        {"DAMAGE_LT A 21", true},     {"DAMAGE_LT A 20", false},   {"DAMAGE_GT A 19", true},
        {"DAMAGE_GT A 20", false},
        {"SYS_OUT A 3", true},        {"SYS_OUT A 2", false},      {"SCN_SENSE A SN_STARSHIP SN_BLACK", true},
        {"SCN_SENSE A SN_ALIEN", false},  {"PROBED A", true},      {"VALID_SCN B", true},
        {"SHIPCOUNT_LT RING BLACK 1", false}, {"SHIPCOUNT_LT RING BLACK 2", true},
        {"SHIPCOUNT_LT RING ALIEN 1", true},
        {"LOOKING_AT A B", false},    {"ATTACKED A", false},
    };
    for (auto &[text, want] : cases) EXPECT_EQ(Eval(text), want) << text;
    // SN_DEBRIS counts only where the sense count reads it.
    b->avatar->flags = 0;
    EXPECT_TRUE(Eval("SCN_SENSE B SN_DEBRIS"));
    EXPECT_TRUE(Eval("SENSECOUNT_LT 2 SN_DEBRIS"));  // only A has bit 0
    // SHIP_CLOCK reloads the clock when it has run down.
    EXPECT_TRUE(Eval("SHIP_CLOCK A"));
    EXPECT_EQ(a->sim->shipClock[0], 40);
    EXPECT_FALSE(Eval("SHIP_CLOCK A"));
    // A looks at B when B lies ahead within range.
    Place(b, 0, 1000, 100000);
    EXPECT_TRUE(Eval("LOOKING_AT A B"));
    Place(b, 0, 1000, 200000);
    EXPECT_FALSE(Eval("LOOKING_AT A B"));
    EXPECT_TRUE(Eval("LOOKING_AT A B OFF"));
    // The attacker's side, or the attacker given.
    b->sim->shipInfo = &info;
    a->avatar->attacker = b;
    EXPECT_FALSE(Eval("ATTACKED A"));
    EXPECT_TRUE(Eval("ATTACKED A B"));
    EXPECT_FALSE(Eval("ATTACKED A A"));
    a->sim->shipInfo = nullptr;
    EXPECT_TRUE(Eval("ATTACKED A"));
}

TEST_F(Conditions, StateTests) {
    dunMissionCountdown = 500;
    gWaypointCount = 2;
    dunCurrentSystem = 4;
    optPrompts = 0;
    optArcade = 0xFF;
    const std::pair<const char *, bool> cases[] = {
        {"TIMER_OUT", false},       {"TIMER_LT 501", true},   {"TIMER_LT 500", false},
        {"WAYPTCOUNT_EQ 2", true},  {"INSYSTEM 4", true},     {"INSYSTEM 5", false},
        {"PROMPTS_ON", false},      {"ARCADE_ON", true},      {"HARDWARE", false},
        {"EQUAL 2 2.0", true},      {"GT 3 2", true},         {"GT 2 3", false},
        {"REMLINK", false},         {"NOSHIPS NAVY 0", true}, {"AUTOPILOT -1", true},
    };
    for (auto &[text, want] : cases) EXPECT_EQ(Eval(text), want) << text;
    dunMissionCountdown = 0;
    EXPECT_TRUE(Eval("TIMER_OUT"));
    dunCurrentSystem = 0;
}

TEST_F(Conditions, WatchesAreStaggeredAndRefire) {
    ScriptToken *pc = Compile(
        "ADD A 0\n"                      // 1
        "ADD B 0\n"                      // 2
        "CALL_WHEN OnA EQUAL A 1\n"      // 3
        "CALL_ONCE_WHEN OnB EQUAL B 1\n" // 4
        "Idle:\n"                        // 5
        "WAIT\n"                         // 6
        "BRA Idle\n"                     // 7
        "OnA:\n"                         // 8
        "ADD X 1\n"                      // 9
        "SET A 0\n"                      // 10
        "RETURN\n"                       // 11
        "OnB:\n"                         // 12
        "ADD X 100\n"                    // 13
        "RETURN\n");                     // 14
    ScriptProcessor(&pc, 1);
    ASSERT_EQ(gCallWhenCount, 2);
    EXPECT_EQ(gCallWhen[0].phase, 100);
    EXPECT_EQ(gCallWhen[1].phase, 75);
    EXPECT_EQ(gCallWhen[1].flags, WatchFlag::Armed | WatchFlag::Once);
    ScriptSetSymbolInt(Sym("A"), 1);
    ScriptSetSymbolInt(Sym("B"), 1);
    // A's watch is due after 6 frames, B's after 8: they fall in different
    // frames.
    Trace trace = Frames(pc, 12);
    EXPECT_EQ(trace, (Trace{"6 X=0", "6 X=0", "6 X=0", "6 X=0", "6 X=0", "6 X=1", "6 X=1", "6 X=1", "6 X=101",
                            "6 X=101", "6 X=101", "6 X=101"}));
    // A fires again each time it is found true; B never again.
    ScriptSetSymbolInt(Sym("A"), 1);
    ScriptSetSymbolInt(Sym("B"), 1);
    trace = Frames(pc, 16);
    EXPECT_EQ(trace.back(), "6 X=102");
    EXPECT_FALSE(gCallWhen[1].flags & WatchFlag::Armed);
}

TEST_F(Conditions, NegatedWatchAndTheLimit) {
    ScriptToken *pc = Compile("ADD A 1\nCALL_WHEN_NOT OnA EQUAL A 1\nIdle:\nWAIT\nBRA Idle\nOnA:\nADD X 1\nRETURN\n");
    Frames(pc, 10);
    EXPECT_EQ(Var("X"), 0);
    ScriptSetSymbolInt(Sym("A"), 0);
    Frames(pc, 20);
    EXPECT_GE(Var("X"), 1);
    std::string many;
    for (int i = 0; i < kCallWhenCount; ++i) many += "CALL_WHEN OnA NEVER\n";
    EXPECT_EQ(FatalText([&] { Start(many); }), "test.scr(24) : CALL_WHEN OnA NEVER \n Unacceptable number of CALL_WHENs");
}

TEST_F(Conditions, ArrivalAndLoadRoutinesTakeAFreshGroup) {
    MakeObject("Player");
    dunPlayerShip = ScriptSymbolObject(Sym("Player"));
    ScriptToken *pc = Compile("Idle:\nWAIT\nBRA Idle\nSTARSYSTEM_3:\nADD X 1\nWAIT\nRETURN\nLoad2:\nADD Y 1\nWAIT\nRETURN\n");
    ScriptProcessor(&pc, 1);
    gAutoGroup = 5;
    dunCurrentSystem = 3;
    gSystemArrivalPending = 1;
    ScriptProcessor(&pc, 1);
    EXPECT_EQ(Var("X"), 1);
    EXPECT_EQ(gAutoGroup, 1000);  // fresh
    ScriptProcessor(&pc, 1);      // back from the routine
    EXPECT_EQ(gAutoGroup, 5);
    gSystemArrivalPending = 1;    // the same system again: no routine
    ScriptProcessor(&pc, 1);
    EXPECT_EQ(Var("X"), 1);
    gLoadPending = 1;
    gLoadNumber = 2;
    ScriptProcessor(&pc, 1);
    EXPECT_EQ(Var("Y"), 1);
    EXPECT_EQ(gAutoGroup, 1001);
    dunPlayerShip = nullptr;
    dunCurrentSystem = 0;
}

// A briefing asked for in the turn a star system is reached: the arrival's
// routine runs first and returns into the briefing, which returns to the
// main script; no frame is left behind.
TEST_F(Conditions, ABriefingAndAnArrivalInOneTurnRunInTurn) {
    MakeObject("Player");
    dunPlayerShip = ScriptSymbolObject(Sym("Player"));
    ScriptToken *pc = Compile("Idle:\nADD I 1\nWAIT\nBRA Idle\n"
                              "STARSYSTEM_3:\nADD X 1\nRETURN\n"
                              "BRF_DECLARE\nADD B 1\nRETURN\n");
    ScriptProcessor(&pc, 1);
    dunCurrentSystem = 3;
    gSystemArrivalPending = 1;
    gBriefingNumber = 0;
    gBriefingRequest = 1;
    ScriptProcessor(&pc, 1);
    EXPECT_EQ(Var("X"), 1);
    EXPECT_EQ(Var("B"), 1);
    EXPECT_EQ(Var("I"), 2);  // back in the main script, held at its WAIT
    EXPECT_EQ(gScriptStackDepth, -1);
    EXPECT_EQ(gBriefingOpen, 1);
    gBriefingOpen = 0;
    dunPlayerShip = nullptr;
    dunCurrentSystem = 0;
}

}  // namespace
