// The objectives table: its text, the state changes and their score, the
// current objective and its announcements, and the mission's score.
#include <string>
#include <vector>

#include "RES/resman.h"
#include "ai/scores.h"
#include "script/mission.h"
#include "script/objectives.h"
#include "script/settings.h"
#include "script_fixture.h"
#include "world/mission_state.h"
#include "world/services.h"

using namespace scripttest;

namespace {

std::vector<std::string> gMessages, gFeed;

class Objectives : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        gMessages.clear();
        gFeed.clear();
        static WorldGuiHooks hooks{};
        hooks.displayMessage = [](const char *text, int) { gMessages.emplace_back(text); };
        hooks.postFeedText = [](const char *text, int) { gFeed.emplace_back(text); };
        WorldSetGuiHooks(&hooks);
        for (const char *&slot : gTextSlots) slot = nullptr;
        gTextSlots[91] = "Done: %s";
        gTextSlots[92] = "Failed: %s";
        gTextSlots[93] = "Next: %s";
        gTextSlots[94] = "First: %s";
        gTextSlots[208] = "All done";
        gTextSlots[215] = "Nothing to do";
        dunWeaponTallies = WeaponTallies{};
    }
    void TearDown() override {
        WorldSetGuiHooks(nullptr);
        for (const char *&slot : gTextSlots) slot = nullptr;
        dunPlayerDestroyed = 0;
        dunMissionSuccess = 0;
        gTargetTime = gTimeScore = gMissionClock = 0;
        dunWeaponTallies = WeaponTallies{};
        ScriptTest::TearDown();
    }
    static int Parse(const std::string &text) { return ParseObjectives(text.data(), text.size()); }
    static std::vector<std::string> Texts() {
        std::vector<std::string> out;
        for (int i = 0; i < gObjectiveCount; ++i) out.emplace_back(gObjectives[i].text);
        return out;
    }
    static std::vector<int32_t> Numbers() {
        std::vector<int32_t> out;
        for (int i = 0; i < gObjectiveCount; ++i) out.push_back(gObjectives[i].number);
        return out;
    }
};

TEST_F(Objectives, TheTextGivesNumberedObjectives) {
    const std::string kLong(300, 'x');
    std::string sixteen;
    for (int i = 0; i < 16; ++i) sixteen += "line\r\n";
    const struct {
        std::string text;
        std::vector<int32_t> numbers;
        std::vector<std::string> texts;
    } kCases[] = {
        {"3:Escort the tug\r\nHold the gate\r\n", {3, 4}, {"Escort the tug", "Hold the gate"}},
        // An explicit number below the counter is taken as it stands.
        {"Hold the gate\r\n1:Escort the tug\r\n", {1, 1}, {"Hold the gate", "Escort the tug"}},
        {"2:a\r\n7:b\r\nc\r\n", {2, 7, 8}, {"a", "b", "c"}},
        // Lines ended by LF alone, and a last line with no end, keep all
        // their text.
        {"Alpha\nBeta\n", {1, 2}, {"Alpha", "Beta"}},
        {"Alpha\r\nBeta", {1, 2}, {"Alpha", "Beta"}},
        // A line too long for the buffer keeps its first 255 bytes, and the
        // next line is read whole.
        {kLong + "\r\nShort\r\n", {1, 2}, {std::string(255, 'x'), "Short"}},
        {"", {}, {}},
    };
    for (const auto &c : kCases) {
        EXPECT_EQ(Parse(c.text), int(c.numbers.size())) << c.text;
        EXPECT_EQ(Numbers(), c.numbers) << c.text;
        EXPECT_EQ(Texts(), c.texts) << c.text;
        for (int i = 0; i < gObjectiveCount; ++i) {
            EXPECT_EQ(gObjectives[i].shown, 0xFF);
            EXPECT_EQ(gObjectives[i].state, ObjectiveState::Open);
        }
    }
    // A sixteenth line is not read.
    EXPECT_EQ(Parse(sixteen), kObjectives);
    // The parse stops at the data's end, not at a zero it would find later.
    const char kBytes[] = "One\r\nTwo\r\n";
    EXPECT_EQ(ParseObjectives(kBytes, 5), 1);
    // A resource without data loads nothing.
    ResourceHandle empty{};
    EXPECT_FALSE(dunLoadObjectives(&empty));
}

TEST_F(Objectives, CompletionScoresOnceAndFailureTakesItBack) {
    Parse("One\r\nTwo\r\n");
    gObjectives[0].score = 300;
    gMissionScore = 0;
    dunSetObjectiveState(0, ObjectiveState::Done);
    dunSetObjectiveState(0, ObjectiveState::Done);
    EXPECT_EQ(gMissionScore, 300);
    EXPECT_EQ(gNoObjectiveDone, 0);
    dunSetObjectiveState(0, ObjectiveState::Failed);
    EXPECT_EQ(gMissionScore, 0);
    EXPECT_EQ(gObjectives[0].state, ObjectiveState::Failed);
    // Reopening a done one keeps its points.
    dunSetObjectiveState(1, ObjectiveState::Done);
    dunSetObjectiveState(1, ObjectiveState::Open);
    EXPECT_EQ(gMissionScore, 100);
    EXPECT_EQ((std::vector<std::string>{"Done: One", "Done: One", "Failed: One", "Done: Two"}), gMessages);
}

TEST_F(Objectives, AfterThePlayerIsLostACompletionOnlyShowsItsMessage) {
    Parse("One\r\n");
    gMissionScore = 0;
    dunPlayerDestroyed = 1;
    dunSetObjectiveState(0, ObjectiveState::Done);
    EXPECT_EQ(gObjectives[0].state, ObjectiveState::Open);
    EXPECT_EQ(gMissionScore, 0);
    EXPECT_EQ(gMessages, std::vector<std::string>{"Done: One"});
}

TEST_F(Objectives, IndexesOutsideTheTableAndUnknownNumbersAreIgnored) {
    Parse("1:a\r\n2:b\r\n3:c\r\n");
    for (int index : {-1, 15, 99}) {
        dunSetObjectiveState(index, ObjectiveState::Failed);
        dunShowObjective(index, 0);
        dunSetObjectiveScore(index, 7);
        dunSetObjectiveTime(index, 7);
        EXPECT_FALSE(dunTestObjectiveState(index, ObjectiveState::Open));
    }
    EXPECT_TRUE(gMessages.empty());
    // SET_OBJV FAIL 7 on a mission of three objectives fails none of them
    // (not the second).
    EXPECT_EQ(dunFindObjective(7), kObjectives);
    Start("SET_OBJV FAIL 7 0\n");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(gObjectives[i].state, ObjectiveState::Open) << i;
    EXPECT_EQ(dunFindObjective(2), 1);
}

TEST_F(Objectives, TheCurrentObjectiveIsAnnounced) {
    Parse("First\r\nSecond\r\n");
    gObjectives[1].time = 4200;
    dunAnnounceObjective();
    EXPECT_EQ(gCurrentObjective, 0);
    dunSetObjectiveState(0, ObjectiveState::Done);
    dunAnnounceObjective();
    EXPECT_EQ(gCurrentObjective, 1);
    EXPECT_EQ(gObjectiveCountdown, 4200);
    // A hidden objective is not current.
    dunShowObjective(1, 0);
    dunAnnounceObjective();
    dunMissionSuccess = 0xFF;
    dunAnnounceObjective();
    EXPECT_EQ((std::vector<std::string>{"First: First", "Next: Second", "Nothing to do", "All done"}), gFeed);
    // The OBJV condition reads the objective by number, or the current one.
    EXPECT_TRUE(dunObjectiveIs(ObjectiveState::Done, 1));
    EXPECT_FALSE(dunObjectiveIs(ObjectiveState::Open, -1));
}

TEST_F(Objectives, TheScoreIsDonePointsTimeBonusAndCappedKills) {
    Parse("a\r\nb\r\nc\r\n");
    gObjectives[0].score = 500;
    gObjectives[1].score = 200;
    dunSetObjectiveState(0, ObjectiveState::Done);
    dunSetObjectiveState(1, ObjectiveState::Done);
    dunShowObjective(1, 0);  // hidden: its points are not shown, nor counted
    gTargetTime = 60000;
    gTimeScore = 5;
    gMissionClock = 30000;
    dunWeaponTallies.tally[Tally::EnemyPoints][0] = 300;
    dunWeaponTallies.tally[Tally::FriendlyPoints][4] = -50;
    MissionScore parts{};
    EXPECT_EQ(ComputeMissionScore(&parts), 500 + 500 + 250);
    EXPECT_EQ(parts.objectives, 500);
    EXPECT_EQ(parts.timeBonus, 500);  // (60000 - 30000) / 100 x 5, held to 500
    EXPECT_EQ(parts.killPoints, 250);
    gMaxKillBonus = 100;
    EXPECT_EQ(ComputeMissionScore(&parts), 500 + 500 + 100);
    EXPECT_EQ(parts.killScore, 100);
    gMaxKillBonus = 0;
}

// The end of the mission stores the score's one formula: the time bonus
// counts once, whether or not the status panel was drawn first.
TEST_F(Objectives, TheMissionsEndCountsTheTimeBonusOnce) {
    Parse("a\r\n");
    gObjectives[0].score = 500;
    dunSetObjectiveState(0, ObjectiveState::Done);
    gTargetTime = 60000;
    gTimeScore = 1;
    gMissionClock = 50000;
    FinishMission();
    EXPECT_EQ(gMissionScore, 600);
    FinishMission();
    EXPECT_EQ(gMissionScore, 600);
    dunFrozen = 0;
    gMissionEndState = 0;
    gEndOfFlight = 0;
}

}  // namespace
