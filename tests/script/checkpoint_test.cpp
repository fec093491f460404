// The checkpoint files: what a save writes under its key, what a restore
// reads back, the other keys' lines kept, the chooser's list, and files
// that are damaged or do not match the ship.
#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ai/scores.h"
#include "core/log.h"
#include "script/career.h"
#include "script/checkpoints.h"
#include "script/conditions.h"
#include "script/mission.h"
#include "script/objectives.h"
#include "script_fixture.h"
#include "world/pools.h"

using namespace scripttest;

namespace {

std::vector<std::string> gLog;

class Checkpoints : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        std::system("mkdir -p vek");
        osFlushPathCache();
        gCurrentMission = 5;
        gCareerState.word[StateWord::Slot] = 1;
        gChosenCheckpoint = -1;
        dunWeaponTallies = WeaponTallies{};
        gLog.clear();
        optDebug = 0xFF;
        dunSetDebugSink([](const char *text) { gLog.emplace_back(text); });
    }
    void TearDown() override {
        dunSetDebugSink(nullptr);
        gCareerState = CareerState{};
        gCurrentMission = 0;
        gChosenCheckpoint = -1;
        dunWeaponTallies = WeaponTallies{};
        dunPlayerShip = nullptr;
        ScriptTest::TearDown();
    }
    static std::string File(char kind) {
        std::ifstream f(std::string("vek/slot_") + kind + "1.sav", std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }
    static void Put(char kind, const std::string &text) { WriteText(std::string("vek/slot_") + kind + "1.sav", text); }
    // The player's ship with a beam weapon (a level) and a launcher (two
    // counters).
    static SceneItem *Player() {
        SceneItem *ship = MakeObject("Player");
        dunPlayerShip = ship;
        Weapon *beam = dunAllocWeapon(), *launcher = dunAllocWeapon();
        beam->flags |= WeaponFlag::AutoFire | WeaponFlag::Charge;
        beam->charge = 7.0f;
        launcher->rounds[0] = 3;
        launcher->rounds[2] = 4;
        beam->next = launcher;
        launcher->prev = beam;
        ship->sim->weapons = beam;
        return ship;
    }
};

TEST_F(Checkpoints, ASaveWritesItsKeysLinesInEveryFile) {
    Player();
    Start("VAR Kills Ready\nDEFINE Limit 9\nSET Kills 4\n");
    Sym("Limit")->kind |= SymKind::Var;
    ParseObjectives("a\r\nb\r\n", 6);
    dunSetObjectiveState(0, ObjectiveState::Done);
    dunSetObjectiveState(1, ObjectiveState::Failed);
    dunShowObjective(1, 0);
    dunWeaponTallies.tally[Tally::EnemyKills][0] = 2;
    dunWeaponTallies.tally[Tally::FriendlyPoints][18] = -40;
    dunWeaponTallies.killPoints = 160;
    gMissionScore = 260;
    dunSaveGame("At the gate", 2);

    const std::string d = File('d');
    EXPECT_EQ(d.substr(0, d.find('\n') + 1), ":5_1_2 At the gate\n");
    EXPECT_NE(d.find("@5_1_2 Kills 4\n"), std::string::npos);
    EXPECT_NE(d.find("@5_1_2 Ready 0\n"), std::string::npos);
    // A VAR that is also a DEFINE is not saved; the built-in variables are.
    EXPECT_EQ(d.find(" Limit "), std::string::npos);
    EXPECT_NE(d.find("@5_1_2 BEAM_TOGGLE "), std::string::npos);
    const std::string o = File('o');
    const std::string entries = ":5_1_2 0 100 tvd\n:5_1_2 1 100 tf\n:5_1_2 2 ";
    EXPECT_EQ(o.substr(0, entries.size()), entries);
    EXPECT_EQ(std::count(o.begin(), o.end(), '\n'), kObjectives);
    EXPECT_EQ(File('w'), ":5_1_2 0 7\n:5_1_2 3 4\n");
    const std::string k = File('k');
    const std::string enemy = ":5_1_2 ek 2 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n";
    EXPECT_EQ(k.substr(0, enemy.size()), enemy);
    EXPECT_NE(k.find(":5_1_2 fs 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 -40\n"), std::string::npos);
    EXPECT_NE(k.find(":5_1_2 sc 260 160\n"), std::string::npos);
}

// Saving a key again replaces its lines, after every other key's, and
// keys are compared whole: 5_1_21 is not 5_1_2.
TEST_F(Checkpoints, SavingAKeyTwiceKeepsOneSetAfterTheOthers) {
    Put('d', ":5_1_2 Old\r\n@5_1_2 X 1\r\n:5_1_21 Later\n\n:4_1_2 Other mission\n");
    dunSaveGame("First", 2);
    dunSaveGame("Second", 2);
    const std::string d = File('d');
    EXPECT_EQ(d.substr(0, d.find(":5_1_2 ")), ":5_1_21 Later\n:4_1_2 Other mission\n");
    EXPECT_EQ(d.find("Old"), std::string::npos);
    EXPECT_EQ(d.find("First"), std::string::npos);
    EXPECT_NE(d.find(":5_1_2 Second\n"), std::string::npos);
    std::string copied;
    const char kOld[] = ":5_1_2 a\n:5_1_2x b\r:6_1_2 c\0:5_1_2";
    dunCopyOtherSaveKeys(&copied, kOld, sizeof kOld - 1, "5_1_2");
    EXPECT_EQ(copied, ":5_1_2x b\n:6_1_2 c\n");
}

TEST_F(Checkpoints, WithoutWeaponsTheWeaponFileIsLeftAlone) {
    dunPlayerShip = MakeObject("Player");
    Put('w', ":5_1_2 9 9\n");
    dunSaveGame("Unarmed", 2);
    EXPECT_EQ(File('w'), ":5_1_2 9 9\n");
}

TEST_F(Checkpoints, ARestoreBringsBackVariablesObjectivesTalliesAndScore) {
    Start("VAR Kills Untouched\nSET Untouched 11\n");
    ParseObjectives("a\r\nb\r\nc\r\n", 9);
    Put('d', ":5_1_3 Checkpoint\n@5_1_3 Kills 6\n@5_1_4 Untouched 99\n");
    Put('o',
        ":5_1_3 0 250 tvd\n:5_1_3 1 80 tf\n:5_1_3 2 100 t\n"
        // damaged lines: an index outside the table, no numbers
        ":5_1_3 15 999 tvd\n:5_1_3 -1 999 tvd\n:5_1_3 x y tvd\n");
    Put('k', ":5_1_2 ek 9\n:5_1_3 ek 1 2\n:5_1_3 fk 0 0 3\n:5_1_3 es 50\n:5_1_3 fs 0 -10\n:5_1_3 sc 340 40\n");
    gMissionScore = 0;
    gChosenCheckpoint = 3;
    dunLoadGame();
    EXPECT_EQ(Var("Kills"), 6);
    EXPECT_EQ(Var("Untouched"), 11);
    EXPECT_EQ(gObjectives[0].state, ObjectiveState::Done);
    EXPECT_EQ(gObjectives[0].shown, 0xFF);
    EXPECT_EQ(gObjectives[0].score, 250);
    EXPECT_EQ(gObjectives[1].state, ObjectiveState::Failed);
    EXPECT_EQ(gObjectives[1].shown, 0);
    EXPECT_EQ(gObjectives[2].shown, 0);
    EXPECT_EQ(dunWeaponTallies.tally[Tally::EnemyKills][1], 2);
    EXPECT_EQ(dunWeaponTallies.tally[Tally::FriendlyKills][2], 3);
    EXPECT_EQ(dunWeaponTallies.tally[Tally::FriendlyPoints][1], -10);
    // The done objective's points come first; the tallies' line then sets
    // the score.
    EXPECT_EQ(gMissionScore, 340);
    EXPECT_EQ(dunWeaponTallies.killPoints, 40);
}

TEST_F(Checkpoints, TheWeaponValuesFillTheWeaponsInOrderAndCountMismatchesAreLogged) {
    SceneItem *ship = Player();
    Weapon *beam = ship->sim->weapons, *launcher = beam->next;
    gChosenCheckpoint = 2;
    Put('w', ":5_1_2 0 0\n:5_1_2 0 0\n:5_1_2 1 1\n");
    dunLoadWeaponValues();
    EXPECT_EQ(beam->charge, 0.0f);
    EXPECT_TRUE(beam->flags & WeaponFlag::Empty);
    EXPECT_EQ(launcher->rounds[0], 0);
    EXPECT_TRUE(launcher->flags & WeaponFlag::Empty);
    EXPECT_EQ(gLog, std::vector<std::string>{"Attempt to load more weapon values than needed. [5_1_2]"});
    gLog.clear();
    Put('w', ":5_1_2 0 5\n");
    dunLoadWeaponValues();
    EXPECT_EQ(beam->charge, 5.0f);
    EXPECT_EQ(gLog, std::vector<std::string>{"Not enough weapon values loaded. [5_1_2]"});
}

TEST_F(Checkpoints, TheChooserListsTheMissionStartThenTheCheckpointsByNumber) {
    int32_t ids[8];
    char titles[8][kSaveTitleBytes];
    EXPECT_EQ(dunListSaveGames(5, 1, ids, titles, 8), 1);
    EXPECT_EQ(ids[0], -1);
    EXPECT_STREQ(titles[0], "Mission Start");
    Put('d', ":5_1_3 Third\n@5_1_3 X 1\n:5_1_1 First\n:4_1_2 Other\n:5_2_7 Slot two\n:5_1_2 Second\n");
    ASSERT_EQ(dunListSaveGames(5, 1, ids, titles, 8), 4);
    EXPECT_EQ((std::vector<int32_t>(ids, ids + 4)), (std::vector<int32_t>{-1, 1, 2, 3}));
    EXPECT_STREQ(titles[1], " First");
    EXPECT_STREQ(titles[3], " Third");
    // No more entries than there is room for.
    EXPECT_EQ(dunListSaveGames(5, 1, ids, titles, 2), 2);
    EXPECT_EQ(ids[1], 1);
    EXPECT_EQ(dunListSaveGames(5, 1, ids, titles, 0), 0);
    gLanguage = 2;
    dunListSaveGames(5, 1, ids, titles, 8);
    EXPECT_STREQ(titles[0], "Mission Beginnen");
    gLanguage = 0;
}

// The chooser's start: the checkpoint's start routine, then its save, and
// its load routine asked for.
TEST_F(Checkpoints, AMissionStartsFromTheChosenCheckpoint) {
    ScriptToken *pc = Compile("VAR Kills Where\nIdle:\nWAIT\nBRA Idle\nSTART_2:\nSET Where 2\nRETURN\n");
    ScriptProcessor(&pc, 0);
    Put('d', ":5_1_2 Gate\n@5_1_2 Kills 8\n");
    gRestorePending = 1;
    dunRunMissionStart(2);
    EXPECT_EQ(Var("Where"), 2);
    EXPECT_EQ(Var("Kills"), 8);
    EXPECT_EQ(gChosenCheckpoint, 2);
    EXPECT_EQ(gLoadPending, 1);
    EXPECT_EQ(gLoadNumber, 2);
    EXPECT_EQ(gRestorePending, 0);
}

}  // namespace
