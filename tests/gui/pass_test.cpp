// The GUI pass: clicks become presses and activations, holds and drags,
// the default update routine, closing by message and the sweep.
#include <functional>
#include <vector>

#include "gui_fixture.h"

namespace guitest {
namespace {

int gPresses, gActivates, gEvents;
GuiWindow *gLastActivated;
void CountPress(GuiWindow *) { ++gPresses; }
void CountActivate(GuiWindow *w) {
    ++gActivates;
    gLastActivated = w;
}
void CountEvent(GuiWindow *) { ++gEvents; }
int gDraws;
void CountDraw(GuiWindow *) { ++gDraws; }

class PassTest : public GuiTest {
protected:
    GuiWindow *root = nullptr;
    void SetUp() override {
        GuiTest::SetUp();
        gPresses = gActivates = gEvents = gDraws = 0;
        gLastActivated = nullptr;
        root = MakeRoot();
    }
    GuiWindow *Button(int16_t x, int16_t y) {
        GuiWindow *w = Make(x, y, 20, 20, GUI_TOP_L, nullptr, CountDraw);
        w->onPress = CountPress;
        w->onActivate = CountActivate;
        w->onEvent = CountEvent;
        return w;
    }
    static void MouseAt(int x, int y) {
        gMouse.x = x;
        gMouse.y = y;
    }
    static void Hold(bool held) { KeyDownTable[KEY_LEFT_BUTTON] = held ? 0xFF : 0; }
};

TEST_F(PassTest, TwoClicksInOneFrameArriveOnTwoPasses) {
    Button(100, 100);
    MouseAt(110, 110);
    guiUpdate();  // becomes hot
    gMouse.leftDowns = 2;
    gMouse.leftUps = 2;
    guiUpdate();
    EXPECT_EQ(gPresses, 1);
    EXPECT_EQ(gActivates, 1);
    guiUpdate();
    EXPECT_EQ(gPresses, 2);
    EXPECT_EQ(gActivates, 2);
    guiUpdate();
    EXPECT_EQ(gPresses, 2);
}

TEST_F(PassTest, TheLaterOfTwoOverlappingWindowsTakesTheClick) {
    GuiWindow *under = Button(100, 100);
    GuiWindow *over = Button(110, 110);
    MouseAt(115, 115);
    guiUpdate();
    EXPECT_EQ(gGuiHotWindow, over);
    EXPECT_FALSE(under->flags & GuiFlag::Hot);
    gMouse.leftUps = 1;
    guiUpdate();
    EXPECT_EQ(gLastActivated, over);
}

TEST_F(PassTest, ChangingTheHotWindowDropsUndeliveredClicks) {
    Button(100, 100);
    GuiWindow *other = Button(300, 300);
    MouseAt(110, 110);
    guiUpdate();
    gMouse.leftDowns = gMouse.leftUps = 1;
    MouseAt(310, 310);
    guiUpdate();
    EXPECT_EQ(gGuiHotWindow, other);
    EXPECT_EQ(gPresses + gActivates, 0);
}

TEST_F(PassTest, AHeldWindowStaysHotOutsideAndAReleaseThereActivatesIt) {
    GuiWindow *b = Button(100, 100);
    Button(300, 300);
    MouseAt(110, 110);
    guiUpdate();
    Hold(true);
    gMouse.leftDowns = 1;
    guiUpdate();
    EXPECT_TRUE(b->flags & GuiFlag::Held);
    MouseAt(310, 310);
    guiUpdate();
    EXPECT_EQ(gGuiHotWindow, b);
    Hold(false);
    gMouse.leftUps = 1;
    guiUpdate();
    EXPECT_EQ(gLastActivated, b);
    EXPECT_FALSE(b->flags & GuiFlag::Held);
}

TEST_F(PassTest, DraggingMovesADraggableWindowWithTheMouse) {
    GuiWindow *b = Button(100, 100);
    b->flags |= GuiFlag::Draggable;
    MouseAt(110, 110);
    guiUpdate();
    Hold(true);
    guiUpdate();
    MouseAt(130, 125);
    guiUpdate();
    EXPECT_EQ(b->x, 120);
    EXPECT_EQ(b->y, 115);
    EXPECT_TRUE(b->flags & GuiFlag::Dragging);
    Hold(false);
    guiUpdate();
    EXPECT_FALSE(b->flags & (GuiFlag::Dragging | GuiFlag::Held));
}

TEST_F(PassTest, HelpModeTakesClicksWithoutPressingOrActivating) {
    Button(100, 100);
    MouseAt(110, 110);
    guiUpdate();
    gGuiHelpMode = 1;
    gMouse.leftDowns = gMouse.leftUps = 1;
    guiUpdate();
    EXPECT_EQ(gPresses + gActivates, 0);
    EXPECT_EQ(gMouse.leftDowns + gMouse.leftUps, 0);
}

TEST_F(PassTest, WindowsDrawOnlyWhileTheirCountdownRuns) {
    GuiWindow *b = Button(100, 100);
    guiUpdate();
    guiUpdate();
    EXPECT_EQ(gDraws, 1);
    guiMarkRedraw();
    guiUpdate();
    EXPECT_EQ(gDraws, 2);
    // A window shown by its visibility byte draws every frame once drawn.
    uint8_t shown = 1;
    b->flags |= GuiFlag::Visibility;
    b->visible = &shown;
    guiMarkRedraw();
    guiUpdate();
    guiUpdate();
    EXPECT_EQ(gDraws, 4);
    shown = 0;
    guiUpdate();
    EXPECT_EQ(gDraws, 4);
}

std::vector<GuiWindow *> gDrawn;
void RecordDraw(GuiWindow *w) { gDrawn.push_back(w); }

// A window drawn again because the mouse came, held, let go or left draws
// with the windows that lie over it, in list order: a page's background
// picture under its buttons would otherwise cover them. Windows elsewhere
// keep their countdown.
TEST_F(PassTest, AWindowRedrawnForTheMouseRedrawsTheWindowsOverIt) {
    GuiWindow *back = Make(0, 0, 400, 300, GUI_TOP_L, nullptr, RecordDraw);
    GuiWindow *over = Make(50, 50, 20, 20, GUI_TOP_L, nullptr, RecordDraw);
    GuiWindow *apart = Make(500, 400, 20, 20, GUI_TOP_L, nullptr, RecordDraw);
    guiUpdate();
    gDrawn.clear();
    guiUpdate();
    ASSERT_TRUE(gDrawn.empty());
    const struct {
        const char *what;
        std::function<void()> act;
        std::vector<GuiWindow *> drawn;
    } steps[] = {
        {"the mouse comes onto the background", [] { MouseAt(200, 200); }, {back, over}},
        {"the button goes down on it", [] { Hold(true); }, {back, over}},
        {"the button comes up",
         [] {
             Hold(false);
             gMouse.leftUps = 1;
         },
         {back, over}},
        {"nothing changes", [] {}, {}},
        {"the mouse leaves it for the window apart", [] { MouseAt(510, 410); }, {back, over, apart}},
    };
    for (const auto &step : steps) {
        gDrawn.clear();
        step.act();
        guiUpdate();
        EXPECT_EQ(gDrawn, step.drawn) << step.what;
    }
}

TEST_F(PassTest, DefaultHandlerOrderAndEvent) {
    GuiWindow *b = Button(100, 100);
    b->flags |= GuiFlag::Press | GuiFlag::Activate | GuiFlag::Event;
    EXPECT_EQ(guiDefaultHandler(b), -1);
    EXPECT_EQ(gPresses + gActivates + gEvents, 3);
    EXPECT_FALSE(b->flags & (GuiFlag::Press | GuiFlag::Activate | GuiFlag::Event));
}

TEST_F(PassTest, ACloseMessageDeletesTheWindowAndItsChildrenAtTheEndOfThePass) {
    GuiWindow *b = Button(100, 100);
    GuiWindow *child = Make(1, 1, 5, 5, GUI_TOP_L, b);
    GuiWindow *grandchild = Make(1, 1, 2, 2, GUI_TOP_L, child);
    MouseAt(110, 110);
    guiUpdate();
    EXPECT_EQ(gGuiHotWindow, b);
    const int live = LiveWindows();
    const int ports = dunMsgReceiverCount();
    guiCloseWindowAfter(b, 0);
    guiUpdate();
    EXPECT_EQ(LiveWindows(), live - 3);
    EXPECT_FALSE(grandchild->flags & GuiFlag::InUse);
    EXPECT_EQ(gGuiHotWindow, nullptr);
    for (GuiWindow *w = gGuiScreen->windows; w; w = w->next) EXPECT_NE(w, b);
    EXPECT_EQ(dunMsgReceiverCount(), ports - 3);
}

TEST_F(PassTest, TheFullScreenViewDrawsOnlyTheMainView) {
    Button(100, 100);
    GuiWindow *view = Make(0, 0, 64, 48);
    guiUpdate();
    gDraws = 0;
    gGuiFullScreen = 1;
    gGuiMainView = view;
    guiMarkRedraw();
    guiUpdate();
    EXPECT_EQ(gDraws, 0);
    gGuiFullScreen = 0;
    gGuiMainView = nullptr;
}

GuiWindow *gAppended;
int8_t AppendOnce(GuiWindow *w) {
    if (!gAppended) gAppended = guiCreateWindow(GUI_TOP_L, nullptr, nullptr, guiDefaultHandler, CountDraw, 0, 0, 5, 5, 0);
    guiMarkForDelete(w);
    return -1;
}

TEST_F(PassTest, WindowsAppendedDuringTheWalkRunInThatPassAndMarkedOnesGoAtItsEnd) {
    gAppended = nullptr;
    GuiWindow *w = Make(0, 0, 5, 5);
    w->update = AppendOnce;
    guiUpdate();
    ASSERT_NE(gAppended, nullptr);
    EXPECT_EQ(gDraws, 1);
    EXPECT_FALSE(w->flags & GuiFlag::InUse);
    EXPECT_TRUE(gAppended->flags & GuiFlag::InUse);
}

}  // namespace
}  // namespace guitest
