// The window pool, placement, rectangles and hit tests.
#include "gui_fixture.h"

namespace guitest {
namespace {

using WindowTest = GuiTest;

TEST_F(WindowTest, CreationAdjustsAuthoredCoordinatesToTheMode) {
    struct Case {
        int w, h;
        bool scaling, centring;
        uint16_t anchor;
        GuiDrawProc draw;
        int16_t x, y, ww, hh;
    } const cases[] = {
        {640, 480, true, false, GUI_TOP_L, nullptr, 100, 50, 200, 100},
        {640, 480, false, true, GUI_TOP_L, nullptr, 100, 50, 200, 100},
        {800, 600, true, false, GUI_TOP_L, nullptr, 125, 62, 250, 125},
        {800, 600, false, true, GUI_TOP_L, nullptr, 180, 110, 200, 100},
        {800, 600, false, false, GUI_TOP_L, nullptr, 100, 50, 200, 100},
        {800, 600, false, true, GUI_REL, nullptr, 100, 50, 200, 100},
        {800, 600, false, true, GUI_TOP_L, guiDrawRaster, 100, 50, 200, 100},
        {800, 600, false, true, GUI_TOP_L, guiDrawFramedButton, 100, 50, 200, 100},
        {1024, 768, true, false, GUI_TOP_L, nullptr, 160, 80, 320, 160},
        {1024, 768, false, true, GUI_TOP_L, nullptr, 292, 194, 200, 100},
    };
    for (const Case &c : cases) {
        UseCanvas(c.w, c.h, 8);
        guiResetWindows();
        gGuiScriptLoading = c.scaling;
        gGuiCentreMode = c.centring;
        GuiWindow *win = guiCreateWindow(c.anchor, nullptr, nullptr, nullptr, c.draw, 100, 50, 200, 100, 0);
        EXPECT_EQ(win->x, c.x) << c.w << " scale " << c.scaling << " centre " << c.centring << " anchor " << c.anchor;
        EXPECT_EQ(win->y, c.y) << c.w;
        EXPECT_EQ(win->w, c.ww) << c.w;
        EXPECT_EQ(win->h, c.hh) << c.w;
    }
    // Scaling truncates towards zero: 101 x 1.6 = 161.6, 51 x 1.6 = 81.6.
    GuiWindow *odd = guiCreateWindow(GUI_TOP_L, nullptr, nullptr, nullptr, nullptr, 101, 51, 3, 3, 0);
    gGuiScriptLoading = 1;
    gGuiCentreMode = 0;
    odd = guiCreateWindow(GUI_TOP_L, nullptr, nullptr, nullptr, nullptr, 101, 51, 3, 3, 0);
    EXPECT_EQ(odd->x, 161);
    EXPECT_EQ(odd->y, 81);
    EXPECT_EQ(odd->w, 4);
}

TEST_F(WindowTest, FirstWindowBecomesRootAndFreshWindowsCallNothingUnbound) {
    GuiWindow *root = MakeRoot();
    GuiWindow *w = Make(1, 2, 3, 4);
    EXPECT_EQ(gGuiScreen->root, root);
    EXPECT_EQ(gGuiRoot, root);
    EXPECT_EQ(gGuiScreen->windows, root);
    EXPECT_EQ(root->next, w);
    EXPECT_EQ(gGuiLastCreated, w);
    EXPECT_EQ(w->hitTest, guiPointInWindow);
    EXPECT_EQ(w->onActivate, nullptr);
    EXPECT_EQ(w->onPress, nullptr);
    EXPECT_EQ(w->onEvent, nullptr);
    EXPECT_EQ(w->helpIndex, -1);
    EXPECT_EQ(w->helpNoteIndex, -1);
    EXPECT_TRUE(dunMsgIsReceiver(w->port));
    EXPECT_EQ(guiCreateWindow(GUI_TOP_L, nullptr, nullptr, nullptr, nullptr, 0, 0, 1, 1, 0)->port, 0u);
}

TEST_F(WindowTest, RectangleFollowsTheAnchorFromTheParent) {
    MakeRoot();
    GuiWindow *parent = Make(10, 20, 100, 80);
    struct Case {
        uint16_t anchor;
        int x, y;
    } const cases[] = {
        {GUI_TOP_L, 15, 26}, {GUI_TOP_R, 85, 26}, {GUI_BOT_L, 15, 84}, {GUI_BOT_R, 85, 84},
        {GUI_CNTR, 55, 61},  {GUI_CLIP, 15, 26},  {9, 10, 20},
    };
    for (const Case &c : cases) {
        GuiWindow *child = Make(5, 6, 20, 10, c.anchor, parent);
        int x = -1, y = -1;
        EXPECT_TRUE(guiWindowRect(child, &x, &y)) << c.anchor;
        EXPECT_EQ(x, c.x) << c.anchor;
        EXPECT_EQ(y, c.y) << c.anchor;
        EXPECT_EQ(child->rect[2], c.x + 19) << c.anchor;
        EXPECT_EQ(child->rect[3], c.y + 9) << c.anchor;
    }
    // A top window's reference is the root: 639 x 479.
    GuiWindow *corner = Make(0, 0, 40, 30, GUI_BOT_R);
    guiWindowRect(corner, nullptr, nullptr);
    EXPECT_EQ(corner->rect[0], 599);
    EXPECT_EQ(corner->rect[1], 449);
}

TEST_F(WindowTest, RelWindowsHangOnTheirTargetAndCollapseWhileHidden) {
    MakeRoot();
    GuiWindow *target = Make(30, 40, 50, 50);
    guiWindowRect(target, nullptr, nullptr);
    GuiWindow *rel = Make(7, 8, 10, 10, GUI_REL);  // no target given: the last created window
    EXPECT_EQ(rel->parent, nullptr);
    EXPECT_EQ(rel->relTarget, target);
    int x, y;
    guiWindowRect(rel, &x, &y);
    EXPECT_EQ(x, 37);
    EXPECT_EQ(y, 48);
    uint8_t shown = 0;
    rel->flags |= GuiFlag::Visibility;
    rel->visible = &shown;
    guiWindowRect(rel, &x, &y);
    EXPECT_EQ(x, 30);
    EXPECT_EQ(y, 40);
    EXPECT_FALSE(guiPointInWindow(rel, 31, 41));
}

TEST_F(WindowTest, HitTestExcludesTheOutlineAndClippedAwayChildren) {
    MakeRoot();
    GuiWindow *w = Make(10, 10, 20, 20);  // rect 10..29
    EXPECT_FALSE(guiPointInWindow(w, 10, 15));
    EXPECT_FALSE(guiPointInWindow(w, 29, 15));
    EXPECT_FALSE(guiPointInWindow(w, 15, 29));
    EXPECT_TRUE(guiPointInWindow(w, 11, 11));
    EXPECT_TRUE(guiPointInWindow(w, 28, 28));
    GuiWindow *outside = Make(50, 50, 10, 10, GUI_CLIP, w);
    EXPECT_FALSE(guiWindowRect(outside, nullptr, nullptr));
    EXPECT_FALSE(guiPointInWindow(outside, 65, 65));
    GuiWindow *half = Make(15, 5, 10, 10, GUI_CLIP, w);  // right part cut at the parent's edge
    EXPECT_TRUE(guiWindowRect(half, nullptr, nullptr));
    EXPECT_EQ(half->rect[2], 29);
}

TEST_F(WindowTest, ClampKeepsTheWindowOnTheScreen) {
    struct Case {
        int16_t x, y, cx, cy;
    } const cases[] = {{-5, -7, 0, 0}, {600, 10, 599, 10}, {10, 450, 10, 439}, {599, 439, 599, 439}};
    for (const Case &c : cases) {
        GuiWindow w{};
        w.x = c.x;
        w.y = c.y;
        w.w = 40;
        w.h = 40;
        guiClampToScreen(&w);
        EXPECT_EQ(w.x, c.cx) << c.x;
        EXPECT_EQ(w.y, c.cy) << c.y;
    }
}

TEST_F(WindowTest, RunningOutOfRecordsIsFatal) {
    for (int i = 0; i < kGuiWindowCount; ++i) guiAllocWindow();
    EXPECT_THROW(guiAllocWindow(), ruvotest::FatalError);
}

TEST_F(WindowTest, CloneCopiesChildrenButNotGrandchildrenWithPortsOfTheirOwn) {
    MakeRoot();
    GuiWindow *src = Make(10, 10, 100, 100, GUI_TOP_L, nullptr, guiDraw3D);
    GuiWindow *child = Make(1, 1, 10, 10, GUI_TOP_L, src);
    Make(1, 1, 5, 5, GUI_TOP_L, child);  // grandchild
    const int panes = gGuiPaneCount, before = LiveWindows();
    GuiWindow *copy = guiCloneWindow(gGuiScreen, src);
    EXPECT_EQ(LiveWindows(), before + 2);
    EXPECT_EQ(gGuiPaneCount, panes + 1);
    ASSERT_NE(copy->next, nullptr);
    EXPECT_EQ(copy->next->parent, copy);
    EXPECT_EQ(copy->next->x, child->x);
    EXPECT_NE(copy->port, src->port);
    EXPECT_TRUE(dunMsgIsReceiver(copy->port));
    EXPECT_NE(copy->next->port, child->port);
}

TEST_F(WindowTest, OverlappingMarksOnlyWindowsDrawnOver) {
    MakeRoot();
    GuiWindow *below = Make(0, 0, 50, 50);
    GuiWindow *a = Make(10, 10, 20, 20);
    GuiWindow *over = Make(25, 25, 20, 20);
    GuiWindow *apart = Make(300, 300, 5, 5);
    for (GuiWindow *w : {below, a, over, apart}) guiWindowRect(w, nullptr, nullptr);
    for (GuiWindow *w : {below, a, over, apart}) w->redraw = 0;
    guiMarkOverlapping(a);
    EXPECT_EQ(below->redraw, 0);
    EXPECT_EQ(a->redraw, 1);
    EXPECT_EQ(over->redraw, 1);
    EXPECT_EQ(apart->redraw, 0);
    EXPECT_EQ(guiFindWindowUnder(a), below);  // the box at its centre lies inside below only
}

}  // namespace
}  // namespace guitest
