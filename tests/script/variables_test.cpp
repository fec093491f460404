// Variable statements.
#include "RES/util.h"
#include "script/mission.h"
#include "script_fixture.h"

using namespace scripttest;

namespace {

class Variables : public ScriptTest {};

TEST_F(Variables, SetAndTheStoreRule) {
    const std::pair<const char *, int32_t> cases[] = {
        {"SET X 2.9", 2},
        {"SET X -2.9", -2},
        {"SET_MORE_BY_DIFFICULTY X 0.4", 1},
        {"SET_MORE_BY_DIFFICULTY X 0", 0},
        {"SET_MORE_BY_DIFFICULTY X -3", -3},
        {"SET_LESS_BY_DIFFICULTY X 7.9", 7},
        {"ADD X 1.5", 1},
        {"SUB X 2.5", -2},
    };
    for (auto &[text, want] : cases) {
        ScriptSetSymbolInt(Sym("X") ? Sym("X") : AddScriptSymbol("X", "\0\0\0\0", 4), 0);
        Start(std::string(text) + "\n");
        EXPECT_EQ(Var("X"), want) << text;
    }
    // A scene-item symbol takes the number in place of its object; a
    // variable keeps its storage.
    SceneItem *ship = MakeObject("Ship");
    Start("SET Ship 0\nSET SCORE 77\n");
    EXPECT_EQ(ScriptSymbolObject(Sym("Ship")), nullptr);
    EXPECT_EQ(GetScriptSymbolValue("Ship"), nullptr);
    EXPECT_EQ(gMissionScore, 77);
    ScriptSetSymbolObject(Sym("Ship"), ship);
    Start("SET Ship 5\n");
    EXPECT_EQ(ScriptSymbolWord(Sym("Ship")), 5);
    EXPECT_EQ(GetScriptSymbolValue("Ship"), nullptr);
}

TEST_F(Variables, SetIncStepsThroughItsList) {
    ScriptToken *loop = Compile("Again:\nSET_INC 0 X 10 20 30\nWAIT\nBRA Again\n");
    std::vector<int32_t> seen;
    for (int i = 0; i < 4; ++i) {
        ScriptProcessor(&loop, 1);
        seen.push_back(Var("X"));
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{10, 20, 30, 0}));
    EXPECT_EQ(FatalText([] { Start("SET_INC X X 1\n"); }), "test.scr(1) : SET_INC X X 1 \n Bad SYMBOL Reference");
    // A huge count reads no further than the list.
    Start("SET_INC 1e9 Y 4\n");
    EXPECT_EQ(Var("Y"), 0);
}

TEST_F(Variables, RandomNumbers) {
    dunSeedRand15(1);
    Start("RAND X 32767\nRAND W 1000\n");
    EXPECT_EQ(Var("X"), 41);   // the sequence from seed 1: 41, 18467, ...
    EXPECT_EQ(Var("W"), 563);  // 18467 x 1000 / 32767
    for (int i = 0; i < 200; ++i) {
        Start("RANDS Y 5\nRAND Z 3\n");
        EXPECT_GE(Var("Y"), -5);
        EXPECT_LE(Var("Y"), 5);
        EXPECT_GE(Var("Z"), 0);
        EXPECT_LE(Var("Z"), 3);
        ResetScriptForMission();
    }
}

TEST_F(Variables, WalkingTheObjectsByFlags) {
    SceneItem *a = MakeObject(nullptr);
    SceneItem *b = MakeObject(nullptr);
    SceneItem *c = MakeObject(nullptr);
    a->avatar->flags = 0;
    b->avatar->flags = AvatarFlag::Ship | (1u << 9);
    c->avatar->flags = AvatarFlag::Ship;
    Start("FIRST_SCN P SN_DEBRIS\nFIRST_SCN Q SN_STARSHIP\n");
    EXPECT_EQ(ScriptSymbolObject(Sym("P")), a);  // SN_DEBRIS adds no bit: the first object
    EXPECT_EQ(ScriptSymbolObject(Sym("Q")), b);
    Start("NEXT_SCN Q SN_STARSHIP\n");
    EXPECT_EQ(ScriptSymbolObject(Sym("Q")), c);
    Start("NEXT_SCN Q SN_STARSHIP\n");
    EXPECT_EQ(ScriptSymbolObject(Sym("Q")), nullptr);
    Start("NEXT_SCN Q SN_STARSHIP\n");
    EXPECT_EQ(ScriptSymbolObject(Sym("Q")), nullptr);
    Start("FIRST_SCN R SN_STARSHIP SN_BLACK SN_NAVY\n");
    EXPECT_EQ(ScriptSymbolObject(Sym("R")), nullptr);
}

TEST_F(Variables, DistancesAndTargetFields) {
    SceneItem *a = MakeObject("A");
    SceneItem *b = MakeObject("B");
    Place(a, 0, 0, 0);
    Place(b, 300, 400, 0);
    Start("GET_DISTANCE D A B\nGET_DISTANCE E A Nobody\n");
    EXPECT_EQ(Var("D"), 500);
    EXPECT_EQ(Var("E"), 0);

    Start("SCENEITEM T\nSET_INTERNAL_VAR A \"WeaponTarget\" B\nSET_INTERNAL_VAR A \"Other\" A\n");
    EXPECT_EQ(a->sim->goal, b);
    EXPECT_EQ(a->sim->target, nullptr);
    Sym("T")->kind = SymKind::SceneItem;
    Start("GET_INTERNAL_VAR A \"WeaponTarget\" T\nGET_INTERNAL_VAR A \"NavTarget\" U\n");
    EXPECT_EQ(ScriptSymbolObject(Sym("T")), b);
    EXPECT_EQ(Var("U"), 0);
    // A target held in a number goes back as the same object.
    Start("GET_INTERNAL_VAR A \"WeaponTarget\" N\nSET_INTERNAL_VAR B \"NavTarget\" N\n");
    EXPECT_EQ(b->sim->target, b);
}

TEST_F(Variables, ShootingsTimerAndArcadeValues) {
    Start("COUNT_SHOOTINGS K KILLED RING\nCOUNT_SHOOTINGS L HIT 12\n");
    EXPECT_EQ(Var("K"), 0);
    EXPECT_EQ(FatalText([] { Start("COUNT_SHOOTINGS K SHOT RING\n"); }),
              "test.scr(1) : COUNT_SHOOTINGS K SHOT RING \n Unrecognized Token");
    Start("TIMER_SET 250.7\n");
    EXPECT_EQ(dunMissionCountdown, 250);
    Start("ARCADE_WEAPON_BONUS 4\nARCADE_SYSTEM_LIMIT 0.5\nARCADE_ENEMY_BONUS 2\nARCADE_EXTRA_BRAKING 1\n"
          "ARCADE_NOSHIELDS_BOOL\nLOAD_VAR \"x\" V\nSAVE_VAR \"x\" V\n");
    EXPECT_EQ(gArcadeWeaponBonus, 4.0f);
    EXPECT_EQ(gArcadeSystemLimit, 0.5f);
    EXPECT_EQ(gArcadeEnemyBonus, 2.0f);
    EXPECT_EQ(gArcadeExtraBraking, 1.0f);
    EXPECT_EQ(Sym("V")->kind, SymKind::Var);
    gArcadeWeaponBonus = 3.0f;
    gArcadeSystemLimit = 0.1f;
    gArcadeEnemyBonus = 1.0f;
    gArcadeExtraBraking = 10.0f;
    dunMissionCountdown = 0;
}

}  // namespace
