// The career timeline: node kinds, layout, percentages, the blink, mouse
// scrolling, clicks and the arrow keys.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "gui/front.h"
#include "gui/timeline.h"
#include "gui_fixture.h"
#include "script/career.h"
#include "script/mission.h"

namespace guitest {
namespace {

class Timeline : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ResetLists();
        gCaptainSlot = CaptainSlot{};
        gCareerState = CareerState{};
        for (MissionRecord &r : gMissionTable) r = MissionRecord{};
        for (int row = 1; row <= 8; ++row) {
            MissionRecord &r = gMissionTable[row];
            r.index = int16_t(row);
            r.missionNumber = int16_t(row == 8 ? 92 : row);
            std::snprintf(r.name, sizeof r.name, "Mission %d", row);
            r.resultMax = 40;
        }
        gCareerMission = 0;
        gTimelineBlink = 0;
    }
    void TearDown() override {
        ResetLists();
        GuiTest::TearDown();
    }
    // The lists as the program starts with them: a screen drawn by an
    // earlier test leaves its window's size and the scroll offsets.
    static void ResetLists() {
        dunFreeTimelines();
        gTimelineOpen = TimelineList{1, nullptr, nullptr, 0, 0, 0, 0, 0, 0, 0, 0};
        gTimelinePlayed = TimelineList{0, nullptr, nullptr, 0, 0, 0, 0, 0, 0, 0, 0};
    }
    static std::vector<int> Rows(const TimelineList &list) {
        std::vector<int> rows;
        for (const TimelineNode *n = list.first; n; n = n->next) rows.push_back(n->mission->index);
        return rows;
    }
    static TimelineNode *Node(TimelineList &list, int row) {
        for (TimelineNode *n = list.first; n; n = n->next)
            if (n->mission->index == row) return n;
        return nullptr;
    }
};

TEST_F(Timeline, Percentages) {
    const struct {
        int32_t score, maximum;
        int percent;
    } cases[] = {{30, 40, 75}, {50, 40, 100}, {-5, 40, 0}, {10, 0, 0}, {40, 40, 100}, {1, 3, 33}};
    for (const auto &c : cases) EXPECT_EQ(TimelinePercent(c.score, c.maximum), c.percent) << c.score << "/" << c.maximum;
}

TEST_F(Timeline, SelectedNodeBlinksTwentyOfEveryHundredCentiseconds) {
    int dim = 0, frames = 0;
    for (int step = 0; step < 101 * 4; ++step, ++frames) {
        AdvanceTimelineBlink(1);
        dim += TimelineBoxColour(true) == 57;
        EXPECT_EQ(TimelineBoxColour(false), 57);
    }
    EXPECT_NEAR(double(dim) / frames, 0.2, 0.02);
    gTimelineBlink = 100;
    AdvanceTimelineBlink(5);
    EXPECT_EQ(gTimelineBlink, 0);
}

TEST_F(Timeline, NodesByKindAndTheirValues) {
    gCaptainSlot.played[2] = -1;
    gCaptainSlot.resultShare[2] = 30;
    gCaptainSlot.played[8] = -1;
    gCaptainSlot.resultShare[8] = 12;
    SetCaptainMissionTime(2, 70000);
    for (int row : {1, 2, 3, 8}) frontAddTimelineNode(&gMissionTable[row]);
    EXPECT_EQ(Rows(gTimelineOpen), (std::vector<int>{1, 3}));
    EXPECT_EQ(Rows(gTimelinePlayed), (std::vector<int>{2, 8}));
    const TimelineNode *played = Node(gTimelinePlayed, 2), *bonus = Node(gTimelinePlayed, 8);
    const TimelineNode *open = Node(gTimelineOpen, 1);
    EXPECT_EQ(open->kind, 0);
    EXPECT_EQ(played->kind, 1);
    EXPECT_EQ(bonus->kind, 2);
    EXPECT_EQ(open->score, 0);
    EXPECT_EQ(played->score, 30);
    EXPECT_EQ(played->maxScore, 40);
    EXPECT_EQ(played->time, 70000);
    EXPECT_EQ(played->width, kTimelineNodeWidth);
    EXPECT_GT(played->height, 30);
}

TEST_F(Timeline, LayoutDownAndAcross) {
    for (int row : {1, 2, 3}) frontAddTimelineNode(&gMissionTable[row]);
    gCareerMission = 2;
    frontLayoutTimeline(&gTimelineOpen);
    const TimelineNode *a = Node(gTimelineOpen, 1), *b = Node(gTimelineOpen, 2), *c = Node(gTimelineOpen, 3);
    const int h = a->height;
    EXPECT_EQ(a->rect[0], 10);
    EXPECT_EQ(a->rect[1], 10);
    EXPECT_EQ(a->rect[2], 10 + kTimelineNodeWidth);
    EXPECT_EQ(a->rect[3], 10 + h);
    EXPECT_EQ(b->rect[1], 10 + h + 10);
    EXPECT_EQ(c->rect[1], 10 + 2 * (h + 10));
    EXPECT_EQ(gTimelineOpen.extentW, 10 + kTimelineNodeWidth + 10);
    EXPECT_EQ(gTimelineOpen.extentH, c->rect[3] + 10);
    EXPECT_EQ(gTimelineOpen.selected, b);
    // Across, and with no node of the current mission: nothing selected and
    // the offset at the last node.
    gTimelineOpen.vertical = 0;
    gCareerMission = 7;
    frontLayoutTimeline(&gTimelineOpen);
    EXPECT_EQ(c->rect[0], 10 + 2 * (kTimelineNodeWidth + 10));
    EXPECT_EQ(c->rect[1], 10);
    EXPECT_EQ(gTimelineOpen.selected, nullptr);
    EXPECT_EQ(gTimelineOpen.scrollX, c->rect[0] - 10);
    gTimelineOpen.vertical = 1;
}

TEST_F(Timeline, MouseScrollsNearTheEdgesOnly) {
    for (int row = 1; row <= 6; ++row) frontAddTimelineNode(&gMissionTable[row]);
    gTimelinePlayed.first = gTimelineOpen.first;  // the archive lies across
    gTimelineOpen.first = nullptr;
    frontLayoutTimeline(&gTimelinePlayed);
    MakeRoot();
    GuiWindow *w = Make(0, 100, 300, 80);
    guiWindowRect(w, nullptr, nullptr);
    const int range = gTimelinePlayed.extentW - (w->rect[2] - w->rect[0] + 1);
    ASSERT_GT(range, 10);
    dunFrameStep = 10;  // counts as 4
    const int view = w->rect[2] - w->rect[0] + 1;
    const struct {
        int start;
        int at;  // mouse place across the window
        int expect;
    } cases[] = {
        {100, view / 2, 100},                                    // the middle third holds
        {100, 3, int(100 - (0.33f - 3.0f / float(view)) * 20)},   // near the left edge it scrolls back
        {100, view - 3, int(100 + (float(view - 3) / float(view) - 0.67f) * 20)},
        {2, 3, 0},                                               // never below 0
        {range - 1, view - 3, range},                            // never past the end
    };
    for (const auto &c : cases) {
        gTimelinePlayed.scrollX = int16_t(c.start);
        gMouse.x = w->rect[0] + c.at;
        gMouse.y = 140;
        frontScrollTimeline(w, &gTimelinePlayed);
        EXPECT_EQ(gTimelinePlayed.scrollX, c.expect) << c.at;
    }
    EXPECT_LT(cases[1].expect, 100);
    EXPECT_GT(cases[2].expect, 100);
    // The mouse elsewhere leaves it.
    gMouse.y = 10;
    gTimelinePlayed.scrollX = 50;
    frontScrollTimeline(w, &gTimelinePlayed);
    EXPECT_EQ(gTimelinePlayed.scrollX, 50);
    // A list that fits has offset 0.
    GuiWindow *wide = Make(0, 300, 639, 80);
    gTimelinePlayed.scrollX = 50;
    gTimelinePlayed.extentW = 300;
    frontScrollTimeline(wide, &gTimelinePlayed);
    EXPECT_EQ(gTimelinePlayed.scrollX, 0);
}

TEST_F(Timeline, ClickSelectsTheNodeUnderTheMouse) {
    for (int row : {1, 3}) frontAddTimelineNode(&gMissionTable[row]);
    frontLayoutTimeline(&gTimelineOpen);
    gTimelineOpen.originX = 100;
    gTimelineOpen.originY = 50;
    const TimelineNode *b = Node(gTimelineOpen, 3);
    gMouse.x = 100 + b->rect[0] + 5;
    gMouse.y = 50 + b->rect[1] + 5;
    frontClickTimeline(&gTimelineOpen);
    EXPECT_EQ(gTimelineOpen.selected, b);
    EXPECT_EQ(gCareerMission, 3);
    EXPECT_EQ(FrontSelectedNode(), b);
    // Between the nodes: nothing changes.
    gMouse.y = 50 + b->rect[1] - 5;
    frontClickTimeline(&gTimelineOpen);
    EXPECT_EQ(gTimelineOpen.selected, b);
}

TEST_F(Timeline, ArrowKeysWalkTheTwoLists) {
    gCaptainSlot.played[4] = gCaptainSlot.played[5] = gCaptainSlot.played[6] = -1;
    for (int row : {1, 2, 3, 4, 5, 6}) frontAddTimelineNode(&gMissionTable[row]);
    gCareerMission = 0;
    frontLayoutTimeline(&gTimelineOpen);
    frontLayoutTimeline(&gTimelinePlayed);
    auto selected = [] { return FrontSelectedNode() ? FrontSelectedNode()->mission->index : -1; };
    const struct {
        int scan;
        int row;
    } steps[] = {
        {80, 3},  // Down with none selected: the last new mission
        {80, 3},  // at the last nothing changes
        {72, 2}, {72, 1}, {72, 1},  // Up to the first, which stays
        {77, 4},  // Right from a new mission: the first archive entry
        {77, 5}, {77, 6}, {77, 6},
        {75, 5},  // Left
        {72, 3},  // Up: the new missions' own selection is gone: the last one
        {75, 6},  // Left from a new mission: the last archive entry
    };
    for (const auto &s : steps) {
        FrontTimelineKey(s.scan);
        EXPECT_EQ(selected(), s.row) << s.scan;
        EXPECT_EQ(gCareerMission, s.row);
    }
    // The play buttons follow the point's kind.
    EXPECT_EQ(gFrontPlayAvailable[0], 0);
    EXPECT_EQ(gFrontPlayAvailable[1], 1);
    EXPECT_EQ(gFrontPlayAvailable[2], 0);
}

TEST_F(Timeline, DrawsBoxesAndGridInsideTheWindow) {
    gCaptainSlot.played[2] = -1;
    gCaptainSlot.resultShare[2] = 30;
    for (int row : {1, 2, 3}) frontAddTimelineNode(&gMissionTable[row]);
    gCareerMission = 1;
    frontLayoutTimeline(&gTimelineOpen);
    frontLayoutTimeline(&gTimelinePlayed);
    MakeRoot();
    GuiWindow *w = Make(100, 100, 200, 200);
    std::fill(canvas.bytes.begin(), canvas.bytes.end(), uint8_t(7));
    frontDrawTimeline(w, &gTimelineOpen);
    guiWindowRect(w, nullptr, nullptr);
    int grid = 0, box = 0, outside = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const uint8_t c = canvas.At(x, y);
            const bool inside = x >= w->rect[0] && x <= w->rect[2] && y >= w->rect[1] && y <= w->rect[3];
            if (!inside) outside += c != 7;
            else grid += c == 51, box += c == 57 || c == 65;
        }
    EXPECT_EQ(outside, 0);
    EXPECT_GT(grid, 50);
    EXPECT_GT(box, 100);
}

}  // namespace
}  // namespace guitest
