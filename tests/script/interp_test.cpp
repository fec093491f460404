// The interpreter: golden traces of small scripts run one turn per frame,
// the operand readers and the stack's fatal ends.
#include <fstream>
#include <sstream>

#include "RES/util.h"
#include "script/mission.h"
#include "script_fixture.h"
#include "world/objroutines.h"
#include "world/records.h"

using namespace scripttest;
using Trace = std::vector<std::string>;

namespace {

class Interp : public ScriptTest {};

TEST_F(Interp, CallsAndReturns) {
    ScriptToken *pc = Compile(
        "CALL Sub\n"      // 1
        "ADD X 1\n"       // 2
        "WAIT\n"          // 3
        "BRA Done\n"      // 4
        "Sub:\n"          // 5
        "ADD X 10\n"      // 6
        "WAIT\n"          // 7
        "RETURN\n"        // 8
        "Done:\n"         // 9
        "WAIT\n"          // 10
        "BRA Done\n");    // 11
    EXPECT_EQ(Frames(pc, 4), (Trace{"7 X=10", "3 X=11", "10 X=11", "10 X=11"}));
    EXPECT_EQ(gScriptStackDepth, -1);
}

TEST_F(Interp, BranchesOnNumbersAndObjects) {
    SceneItem *a = MakeObject("ShipA");
    MakeObject("ShipB");
    ScriptToken *pc = Start(
        "ADD N 3\n"
        "BEQ L1 N 3\n"
        "ADD X 100\n"
        "L1:\n"
        "BNE L2 N 3.0\n"
        "ADD X 1\n"
        "L2:\n"
        "BEQ L3 ShipA ShipB\n"
        "ADD X 10\n"
        "L3:\n"
        "BNE L4 ShipA ShipB\n"
        "ADD X 1000\n"
        "L4:\n"
        "BEQ L5 N ShipA\n"  // a number and an object are never equal
        "ADD X 20000\n"
        "L5:\n"
        "END\n");
    EXPECT_EQ(pc->code, Sc::End);
    EXPECT_EQ(Var("X"), 1 + 10 + 20000);
    // An object compares by identity.
    ScriptSetSymbolObject(Sym("ShipB"), a);
    Start("BEQ Same ShipA ShipB\nSET Y 0\nEND\nSame:\nSET Y 1\n");
    EXPECT_EQ(Var("Y"), 1);
}

TEST_F(Interp, BlocksIfElseAndWhile) {
    struct Case {
        const char *text;
        int x;
    };
    const Case cases[] = {
        {"IF ALWAYS {\nADD X 1\n}\nELSE {\nADD X 10\n}\n", 1},
        {"IF NEVER {\nADD X 1\n}\nELSE {\nADD X 10\n}\n", 10},
        {"IF NEVER {\nADD X 1\n}\nADD X 100\n", 100},
        {"IF ALWAYS {\n IF NEVER {\n ADD X 1\n }\n ADD X 2\n}\nELSE {\nADD X 10\n}\n", 2},
        {"{\nADD X 1\n} WHILE NEVER\n", 1},
        {"SET N 4\n{\nADD X 1\nSUB N 1\n} WHILE GT N 0\n", 4},
    };
    for (const Case &c : cases) {
        ResetScriptForMission();
        ScriptToken *pc = Start(c.text);
        EXPECT_EQ(pc ? pc->code : 0u, Sc::End) << c.text;
        EXPECT_EQ(Var("X"), c.x) << c.text;
    }
    EXPECT_EQ(FatalText([] { Start("IF NEVER\nWAIT\n"); }),
              "test.scr(1) : IF NEVER \n IF statement not followed by '{' .");
    EXPECT_EQ(FatalText([] { Start("IF ALWAYS {\n}\nELSE WAIT\n"); }),
              "test.scr(3) : ELSE WAIT \n ELSE statement not followed by '{' .");
    EXPECT_EQ(FatalText([] { Start("ADD X 1 WHILE ALWAYS\n"); }),
              "test.scr(1) : ADD X 1 WHILE ALWAYS \n WHILE Statement not preceded by '}'.");
}

TEST_F(Interp, CountedLoops) {
    Start("SET N 3\nLoop:\nADD X 1\nDECBNE N Loop\nSET M 2\nDown:\nADD Y 1\nDECBEQ M Out\nBRA Down\nOut:\n");
    EXPECT_EQ(Var("X"), 3);
    EXPECT_EQ(Var("N"), 0);
    EXPECT_EQ(Var("Y"), 2);
}

// A loop with no WAIT in its path ends the turn after a bounded number of
// statements and goes on from there next turn; the first cut is logged once
// with its line, until the next mission.
TEST_F(Interp, ALoopWithoutAWaitEndsItsTurn) {
    std::remove("debug.txt");
    ScriptToken *pc = Compile(
        "ADD X 1\n"  // 1
        "Spin:\n"  // 2
        "ADD Y 1\n"  // 3
        "BRA Spin\n");  // 4
    for (int turn = 1; turn <= 3; ++turn) {
        EXPECT_EQ(ScriptProcessor(&pc, 1), ScriptStatus::Yield);
        EXPECT_GT(Var("Y"), 1000 * turn);
    }
    EXPECT_EQ(Var("X"), 1);
    std::ifstream in("debug.txt", std::ios::binary);
    std::stringstream log;
    log << in.rdbuf();
    const std::string text = log.str(), mark = "without a WAIT: test.scr(";
    ASSERT_NE(text.find(mark), std::string::npos) << text;
    EXPECT_EQ(text.find(mark, text.find(mark) + 1), std::string::npos) << text;
    ResetScriptRunState();
    ScriptProcessor(&pc, 1);
    log.str("");
    std::ifstream again("debug.txt", std::ios::binary);
    log << again.rdbuf();
    const std::string after = log.str();
    EXPECT_NE(after.find(mark, after.find(mark) + 1), std::string::npos) << after;
}

// A misspelt statement is named once per place in each compilation of its
// script, however many places the script has and however often a loop
// passes them; the next mission's script is told afresh.
TEST_F(Interp, AMisspeltStatementIsNamedOncePerPlace) {
    std::string text = "Again:\n";
    for (int i = 0; i < 70; ++i) text += "PLAYR" + std::to_string(i) + " 1\n";
    text += "WAIT\nBRA Again\n";
    for (int mission = 0; mission < 2; ++mission) {
        ResetScriptForMission();
        std::remove("debug.txt");
        ScriptToken *pc = Compile(text);
        for (int turn = 0; turn < 3; ++turn) EXPECT_EQ(ScriptProcessor(&pc, 1), ScriptStatus::Yield);
        std::stringstream log;
        log << std::ifstream("debug.txt", std::ios::binary).rdbuf();
        const std::string logged = log.str();
        for (int i = 0; i < 70; ++i) {
            const std::string mark = "Unknown statement PLAYR" + std::to_string(i) + " (skipped)";
            const size_t first = logged.find(mark);
            EXPECT_NE(first, std::string::npos) << mission << " " << mark;
            EXPECT_EQ(logged.find(mark, first + 1), std::string::npos) << mission << " " << mark;
        }
    }
}

TEST_F(Interp, CallOnceIsTakenOnceAndKeepsTheStreamAligned) {
    ScriptToken *pc = Compile(
        "Loop:\n"                              // 1
        "CALL_ONCE_IF Sub ALWAYS\n"            // 2: six words, not a multiple of four
        "CALL_ONCE Sub\n"                      // 3
        "WAIT\n"                               // 4
        "BRA Loop\n"                           // 5
        "Sub:\n"                               // 6
        "ADD X 1\n"                            // 7
        "RETURN\n");                           // 8
    EXPECT_EQ(Frames(pc, 3), (Trace{"4 X=2", "4 X=2", "4 X=2"}));
    // The line markers survive: an error after the rewritten lines still names
    // its line.
    uint32_t s = ScriptTokenIndex(Compile("CALL_ONCE Sub2\nSET X Nobody\nSub2:\nRETURN\n"));
    ScriptToken *p2 = ScriptTokenAt(s);
    EXPECT_EQ(FatalText([&] { ScriptProcessor(&p2, 0); }), "test.scr(2) : SET X Nobody \n Bad SYMBOL Reference");
    for (uint32_t i = s; i < s + 2; ++i) EXPECT_EQ(gScriptTokens[i].code, Sc::Begin);
    EXPECT_EQ(gScriptTokens[s + 2].code, Sc::Do);
}

TEST_F(Interp, WaitTimeCountsOnlyUnheldTimeAndEndsOnSkip) {
    // 300 units at 10 a frame, held by the freeze for 10 frames: 40 frames.
    ScriptToken *pc = Compile("WAIT_TIME 300\nSET X 1\nWAIT\n");
    int frames = 0;
    while (Var("X") != 1 && frames < 100) {
        dunFrozen = frames >= 5 && frames < 15;
        ScriptProcessor(&pc, 1);
        ++frames;
    }
    EXPECT_EQ(frames, 41);  // the arming turn, then 30 + 10 turns
    // The skip flag ends it at once.
    pc = Compile("WAIT_TIME 1000\nSET Y 1\nWAIT\n");
    ScriptProcessor(&pc, 1);
    gScriptSkip = 1;
    ScriptProcessor(&pc, 1);
    EXPECT_EQ(Var("Y"), 1);
    EXPECT_EQ(gScriptWaitTimer, 0);
    // A wait of no time yields once and goes on.
    pc = Compile("WAIT_TIME 0\nSET Z 1\nWAIT\n");
    EXPECT_EQ(Frames(pc, 2, "Z"), (Trace{"1 Z=0", "3 Z=1"}));
}

TEST_F(Interp, WaitsHoldWhileAHoldFlagIsSet) {
    uint8_t docViewer = 1;
    ScriptHostFlags host{};
    host.docViewer = &docViewer;
    ScriptSetHostFlags(&host);
    ScriptToken *pc = Compile("WAIT\nSET X 1\nWAIT_UNTIL EQUAL Y 1\nSET X 2\nWAIT\n");
    EXPECT_EQ(Frames(pc, 2), (Trace{"1 X=0", "1 X=0"}));
    docViewer = 0;
    EXPECT_EQ(Frames(pc, 1), (Trace{"1 X=0"}));
    // WAIT_UNTIL is held by the freeze alone.
    docViewer = 1;
    EXPECT_EQ(Frames(pc, 1), (Trace{"3 X=1"}));
    Sym("Y")->kind = SymKind::Var;
    ScriptSetSymbolInt(Sym("Y"), 1);
    dunFrozen = 1;
    EXPECT_EQ(Frames(pc, 1), (Trace{"3 X=1"}));
    dunFrozen = 0;
    EXPECT_EQ(Frames(pc, 1), (Trace{"5 X=2"}));
}

TEST_F(Interp, AnEventRoutineInterruptsAWaitThatThenGoesOn) {
    ScriptToken *pc = Compile(
        "ADD Flag 0\n"                    // 1
        "CALL_WHEN Alarm EQUAL Flag 1\n"  // 2
        "WAIT_TIME 100\n"                 // 3
        "SET X 1\n"                       // 4
        "Idle:\n"                         // 5
        "WAIT\n"                          // 6
        "BRA Idle\n"                      // 7
        "Alarm:\n"                        // 8
        "ADD Y 1\n"                       // 9
        "SET Flag 0\n"                    // 10
        "WAIT\n"                          // 11
        "RETURN\n");                      // 12
    std::vector<std::string> trace = Frames(pc, 13, "Y", [](int f) {
        if (f == 2) ScriptSetSymbolInt(FindScriptSymbol("Flag"), 1);
    });
    // The watch is first tested in the sixth frame after it was set up
    // (phase 100 + 60 > 150), with 50 units of the wait left; its routine
    // waits a turn; then the wait goes on with what it had left.
    EXPECT_EQ(trace, (Trace{"3 Y=0", "3 Y=0", "3 Y=0", "3 Y=0", "3 Y=0", "3 Y=0", "11 Y=1", "3 Y=1", "3 Y=1",
                            "3 Y=1", "3 Y=1", "6 Y=1", "6 Y=1"}));
    EXPECT_EQ(Var("X"), 1);
}

TEST_F(Interp, StackLimitsAreFatal) {
    std::string ten, eleven;
    for (int i = 0; i < 10; ++i) ten += "CALL L" + std::to_string(i) + "\nL" + std::to_string(i) + ":\n";
    ten += "SET X 1\n";
    Start(ten);
    EXPECT_EQ(Var("X"), 1);
    EXPECT_EQ(gScriptStackDepth, 9);  // ten frames held
    ResetScriptForMission();
    for (int i = 0; i < 11; ++i) eleven += "CALL M" + std::to_string(i) + "\nM" + std::to_string(i) + ":\n";
    std::string text = FatalText([&] { Start(eleven); });
    EXPECT_NE(text.find("Overflow of subroutine stack."), std::string::npos) << text;
    EXPECT_EQ(gScriptRunStatus, ScriptStatus::Stack);
    ResetScriptForMission();
    text = FatalText([] { Start("RETURN\n"); });
    EXPECT_EQ(text, "test.scr(1) : RETURN \n Underflow of subroutine stack.");
}

TEST_F(Interp, OperandReaders) {
    MakeObject("Ship");
    Start("SET A KEY_ESC\nSET B 2.9\nSET C -2.9\nSET D SCORE\nSET E Ship\n");
    EXPECT_EQ(Var("A"), 1);
    EXPECT_EQ(Var("B"), 2);
    EXPECT_EQ(Var("C"), -2);
    EXPECT_EQ(Var("D"), 0);
    EXPECT_NE(Var("E"), 0);  // an object reads as a number that is not 0
    EXPECT_EQ(FatalText([] { Start("SET X FirstSeenHere\n"); }),
              "test.scr(1) : SET X FirstSeenHere \n Bad SYMBOL Reference");
    EXPECT_EQ(FatalText([] { Start("BRA NeverDefined\n"); }), "test.scr(1) : BRA NeverDefined \n Bad LABEL Reference");
    EXPECT_EQ(FatalText([] { Start("SET 5 5\n"); }),
              "test.scr(1) : SET 5 5 \n SYMBOL reference needed in this context");
    // A name first read with the must-exist bit is logged as a probable typo.
    Start("NEXT_SCN Typo\n");
    EXPECT_EQ(Sym("Typo")->kind, SymKind::SceneItem);
}

TEST_F(Interp, PlacementModeComesBackOnReturn) {
    gPlacementMode = 0xFF;
    ScriptToken *pc = Compile("CALL Sub\nWAIT\nSub:\nWAIT\nRETURN\n");
    ScriptProcessor(&pc, 1);
    gPlacementMode = 0;  // the routine's own mode
    ScriptProcessor(&pc, 1);
    EXPECT_EQ(gPlacementMode, 0xFF);
}

TEST_F(Interp, NamedRoutinesRunWithAPrivatePc) {
    SceneItem *ship = MakeObject(nullptr);
    Compile("STOCKDIALOGUE_2:\nADD X 1\nRETURN\nDIALOGUESHIP\n");
    ScriptToken *main = Compile("CALL Sub\nSub:\nWAIT\nRETURN\n");
    ScriptProcessor(&main, 1);
    int16_t depth = gScriptStackDepth;
    dunStockDialogueShip = ship;
    dunStockDialogueNumber = 2;
    dunRunStockDialogue(0);
    EXPECT_EQ(Var("X"), 1);
    EXPECT_EQ(ScriptSymbolObject(Sym("DIALOGUESHIP")), ship);
    EXPECT_EQ(gScriptStackDepth, depth);  // the main script's frames are untouched
    dunStockDialogueNumber = 3;  // no such routine: nothing runs
    dunRunStockDialogue(0);
    EXPECT_EQ(Var("X"), 1);
    EXPECT_FALSE(RunScriptRoutine("Nowhere"));
    // A routine that yields leaves no frame behind.
    Compile("Yields:\nWAIT\nADD X 5\nRETURN\n");
    EXPECT_TRUE(RunScriptRoutine("Yields"));
    EXPECT_EQ(Var("X"), 1);
    EXPECT_EQ(gScriptStackDepth, depth);
}

// A stock launch runs a routine of a kind the mothership's mask allows, which
// makes STOCKSHIP; the ship is counted and runs the order of its kind, in a
// fresh group, and the caller's group and placement come back.
TEST_F(Interp, StockShipLaunches) {
    SceneItem *mother = MakeObject("Carrier");
    SceneItem *proto = MakeObject("Proto");
    Compile("FIGHTER_0:\nCOPY_SCN STOCKSHIP Proto\nADD Fighters 1\nRETURN\n"
            "CARGO_0:\nCOPY_SCN STOCKSHIP Proto\nADD Cargo 1\nRETURN\n"
            "CARGO_1:\nADD Empty 1\nRETURN\n"
            "ORDER_1:\nADD Order1 1\nRETURN\n"
            "ORDER_3:\nADD Order3 1\nRETURN\n"
            "ORDER_4:\nADD Order4 1\nRETURN\n"
            "MOTHERCRAFT\n");
    dunSeedRand15(1);
    gAutoGroup = 7;
    gPlacementMode = 0xFF;
    const int32_t counter = gGroupCounter;
    TrackNode fighters{nullptr, 1u << 1, mother, 1, 0};
    dunLaunchStockShips(0, &fighters);
    EXPECT_EQ(Var("Fighters"), 1);
    EXPECT_EQ(Var("Order3"), 1);
    EXPECT_EQ(proto->sim->target, mother);
    EXPECT_EQ(ScriptSymbolObject(Sym("MOTHERCRAFT")), mother);
    EXPECT_TRUE(proto->flags & SceneFlag::Counted);
    EXPECT_EQ(dunMissionCounter, 1);
    EXPECT_EQ(gStockLaunchTotal, 1);
    EXPECT_EQ(gAutoGroup, 7);
    EXPECT_EQ(gPlacementMode, 0xFF);
    EXPECT_EQ(gGroupCounter, counter + 1);
    // Cargo: either routine at random; one makes no ship and sends none out.
    TrackNode cargo{nullptr, (1u << 3) | (1u << 0), mother, 2, 0};  // no drone routines
    for (int i = 0; i < 20; ++i) dunLaunchStockShips(0, &cargo);
    EXPECT_EQ(Var("Cargo") + Var("Empty"), 20);
    EXPECT_GT(Var("Cargo"), 0);
    EXPECT_GT(Var("Empty"), 0);
    EXPECT_EQ(Var("Order1"), Var("Cargo"));
    EXPECT_EQ(dunMissionCounter, 1 + Var("Cargo"));
    // Past 350 launches cargo takes the other order.
    gStockLaunchTotal = 351;
    while (Var("Order4") == 0 && Var("Empty") < 100) dunLaunchStockShips(0, &cargo);
    EXPECT_EQ(Var("Order4"), 1);
    // A mask with no routines launches nothing.
    TrackNode drones{nullptr, 1u << 0, mother, 1, 0};
    const int32_t before = dunMissionCounter;
    dunLaunchStockShips(0, &drones);
    EXPECT_EQ(dunMissionCounter, before);
    // The mission reset clears the total.
    ResetScriptForMission();
    EXPECT_EQ(gStockLaunchTotal, 0);
}

}  // namespace
