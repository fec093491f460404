// The objectives on the screens: the list's rows, its display time and the
// blink of the current objective; the status panel's total, which is the
// mission's score, and its place under the debriefing at a mission's end.
#include "RES/resman.h"
#include "ai/scores.h"
#include "gui/gui.h"
#include "gui/window.h"
#include "gui_fixture.h"
#include "script/mission.h"
#include "script/objectives.h"
#include "script/script.h"
#include "script/settings.h"
#include "script/symbols.h"
#include "world/mission_state.h"

namespace guitest {
namespace {

class ObjectivesPanel : public GuiTest {
protected:
    BlockFont font;
    void SetUp() override {
        GuiTest::SetUp();
        MakeRoot()->draw = nullptr;
        dunWeaponTallies = WeaponTallies{};
        ParseObjectives("Destroy the raider\r\nProtect the station\r\nStay alive\r\n", 56);
    }
    void TearDown() override {
        dunResetObjectives();
        dunResetObjectivesDisplay();
        dunWeaponTallies = WeaponTallies{};
        gTargetTime = gTimeScore = gMissionClock = 0;
        gMaxKillBonus = 0;
        gObjectivesOpen = 0;
        GuiTest::TearDown();
    }
    GuiWindow *Panel() {
        GuiWindow *win = Make(0, 0, 640, 336);
        win->font = &font.handle;
        return win;
    }
};

TEST_F(ObjectivesPanel, RowsShareTheWindowWithinTwoLines) {
    const struct {
        int height, rows, line, pitch;
    } kCases[] = {
        {336, 1, 8, 1},  // a single row
        {336, 2, 8, 16},  // room for far more: two lines at most
        {120, 3, 8, 10},  // (120 - 75 - 24) / 2
        {90, 15, 8, 1},  // crowded: a pixel apart, never overlapping
    };
    for (const auto &c : kCases)
        EXPECT_EQ(guiListRowPitch(c.height, c.rows, c.line), c.pitch) << c.height << " " << c.rows;
}

TEST_F(ObjectivesPanel, TheListDrawsItsObjectivesAndClosesWhenItsTimeRunsOut) {
    GuiWindow *panel = Panel();
    dunSetObjectiveState(1, ObjectiveState::Done);
    gObjectivesOpen = 1;
    gObjectivesPanelCountdown = 25;
    guiDrawObjectiveList(panel);
    // The first open objective is the current one; its marker is in the
    // open colour, the done one's in 88.
    EXPECT_EQ(gCurrentObjective, 0);
    const int base = 8 + 65, pitch = 16, boxX = 2 * 8 + 15;
    EXPECT_EQ(canvas.At(boxX + 2, base - 2), 159u);
    EXPECT_EQ(canvas.At(boxX + 2, base + pitch + 8 - 2), 88u);
    EXPECT_EQ(gObjectivesOpen, 1);
    guiDrawObjectiveList(panel);
    guiDrawObjectiveList(panel);
    EXPECT_EQ(gObjectivesOpen, 0);
    EXPECT_EQ(gObjectivesPanelCountdown, 0);
}

// The panel's total is the mission's score, from the same formula the
// mission's end stores.
TEST_F(ObjectivesPanel, TheStatusTotalIsTheMissionScore) {
    GuiWindow *panel = Panel();
    gObjectives[0].score = 500;
    dunSetObjectiveState(0, ObjectiveState::Done);
    dunSetObjectiveState(2, ObjectiveState::Failed);
    gTargetTime = 60000;
    gTimeScore = 2;
    gMissionClock = 45000;
    dunWeaponTallies.tally[Tally::EnemyKills][0] = 1;
    dunWeaponTallies.tally[Tally::EnemyPoints][0] = 400;
    gMaxKillBonus = 250;
    gMissionScore = 0;
    const int measured = guiDrawMissionStatus(panel, &font.font, &font.font, &font.font, false);
    EXPECT_EQ(gMissionScore, ComputeMissionScore());
    EXPECT_EQ(gMissionScore, 500 + 300 + 250);
    const int drawn = guiDrawMissionStatus(panel, &font.font, &font.font, &font.font, true);
    EXPECT_EQ(measured, drawn);
    EXPECT_GT(drawn, 10 * 8);
    // Nothing drawn while measuring: only the drawing puts ink on the panel.
    int ink = 0;
    for (int y = 0; y < drawn; ++y)
        for (int x = 20; x < 600; ++x) ink += canvas.At(x, y) != 0;
    EXPECT_GT(ink, 0);
}

// At a mission's end the debriefing types into its box near the top of the
// main view while the status panel stands over the view: the panel keeps
// below the box, so that neither writes over the other.
TEST_F(ObjectivesPanel, AtTheMissionsEndThePanelKeepsBelowTheDebriefing) {
    resmanInit();
    InitializeScriptSystem();
    for (const char *name : {"GFont", "HFont", "MidFont"})
        ScriptSetSymbolThing(AddScriptSymbol(name, nullptr, 0), &font.handle);
    GuiWindow *view = Panel();
    guiWindowRect(view, nullptr, nullptr);
    GuiWindow *before = gGuiMainView;
    gGuiMainView = view;
    dunSetObjectiveState(0, ObjectiveState::Done);
    dunDrawObjectivesPanel();
    gGuiMainView = before;
    FreeScriptBuffers();
    resmanShutdown();
    const auto inkInRows = [&](int from, int to) {
        int ink = 0;
        for (int y = from; y < to; ++y)
            for (int x = 0; x < 640; ++x) ink += canvas.At(x, y) != 0;
        return ink;
    };
    EXPECT_EQ(inkInRows(kDebriefTop, kDebriefTop + kDebriefHeight), 0);
    EXPECT_GT(inkInRows(kDebriefTop + kDebriefHeight, 336), 10 * 15);
}

}  // namespace
}  // namespace guitest
