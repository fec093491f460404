// The GUI pass: clicks become presses and activations, holds and drags,
// the default update routine, closing by message and the sweep.
#include <functional>
#include <vector>

#include "gui/cockpit.h"
#include "gui/feed.h"
#include "gui_fixture.h"
#include "present/effects.h"
#include "present/p3d.h"
#include "script/settings.h"

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
    EXPECT_EQ(gGuiHelpNote, nullptr);  // the button has no note
    gGuiHelpMode = 0;
}

// In help mode a click on a window with a note opens it at the mouse, kept
// on the screen and never hit itself; a second note replaces the first and
// leaving help mode takes it away.
TEST_F(PassTest, HelpModeOpensTheWindowsNoteAtTheMouse) {
    GuiWindow *a = Button(600, 440);
    GuiWindow *b = Button(100, 100);
    a->helpNoteIndex = 301;
    b->helpNoteIndex = 302;
    gTextSlots[301] = "Leave the station";
    gTextSlots[302] = "Roster";
    gGuiHelpMode = 1;
    MouseAt(615, 455);
    guiUpdate();
    gMouse.leftDowns = 1;
    guiUpdate();
    GuiWindow *first = gGuiHelpNote;
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(static_cast<const char *>(first->text), "Leave the station");
    EXPECT_EQ(first->draw, guiDrawHelpNote);
    EXPECT_EQ(first->hitTest, guiNeverHit);
    EXPECT_LT(first->x + first->w, canvas.s.width);  // pushed back onto the screen
    EXPECT_LT(first->y + first->h, canvas.s.height);
    MouseAt(110, 110);
    guiUpdate();
    gMouse.leftDowns = 1;
    guiUpdate();
    ASSERT_NE(gGuiHelpNote, nullptr);
    EXPECT_STREQ(static_cast<const char *>(gGuiHelpNote->text), "Roster");
    EXPECT_EQ(gGuiHelpNote->x, 110);
    EXPECT_EQ(gGuiHelpNote->y, 110);
    EXPECT_FALSE(first->flags & GuiFlag::InUse);
    GuiWindow *second = gGuiHelpNote;
    gGuiHelpMode = 0;
    guiUpdate();
    EXPECT_EQ(gGuiHelpNote, nullptr);
    EXPECT_FALSE(second->flags & GuiFlag::InUse);
    gTextSlots[301] = gTextSlots[302] = nullptr;
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

// A background picture that draws again when the mouse comes onto it (or
// goes off it, or presses on it) would cover the menu drawn over it: the
// windows over it draw again in the same pass, the ones beside it do not.
TEST_F(PassTest, AHoveredWindowDrawsTheWindowsOverItAgain) {
    int drawn[3] = {};
    static int *counts;
    counts = drawn;
    GuiWindow *back = Make(0, 0, 300, 200, GUI_TOP_L, nullptr, [](GuiWindow *) { ++counts[0]; });
    GuiWindow *over = Make(50, 50, 40, 20, GUI_TOP_L, nullptr, [](GuiWindow *) { ++counts[1]; });
    GuiWindow *beside = Make(400, 300, 40, 20, GUI_TOP_L, nullptr, [](GuiWindow *) { ++counts[2]; });
    guiUpdate();  // the first draw of each
    EXPECT_EQ(drawn[0] + drawn[1] + drawn[2], 3);
    MouseAt(200, 150);  // onto the background only
    guiUpdate();
    EXPECT_EQ(gGuiHotWindow, back);
    EXPECT_EQ(drawn[0], 2);
    EXPECT_EQ(drawn[1], 2);
    EXPECT_EQ(drawn[2], 1);
    guiUpdate();  // nothing changed: nothing draws
    EXPECT_EQ(drawn[0] + drawn[1] + drawn[2], 5);
    Hold(true);  // a press on the background
    guiUpdate();
    Hold(false);
    EXPECT_EQ(drawn[1], 3);
    EXPECT_EQ(drawn[2], 1);
    (void)over;
    (void)beside;
}

// The text an activated window shows on the message line is the text slot
// its help index names (the slots the start-up script's STRING fills).
TEST_F(PassTest, AnActivatedWindowShowsItsHelpTextSlot) {
    GuiWindow *b = Button(100, 100);
    b->helpIndex = 300;
    gTextSlots[300] = "Opens the roster";
    MouseAt(110, 110);
    guiUpdate();
    gMouse.leftUps = 1;
    guiUpdate();
    gTextSlots[300] = nullptr;
    EXPECT_EQ(gActivates, 1);
    EXPECT_STREQ(gMessageText, "Opens the roster");
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

std::vector<int> gFlashSeen;
void SeeFlash(GuiWindow *) { gFlashSeen.push_back(gP3D.clearColour); }

TEST_F(PassTest, AFrameFlashShowsInEveryViewOfThePassAndEndsWithIt) {
    // Two panes that draw as views do: each sees the flash set before the pass.
    Make(0, 0, 64, 48, GUI_TOP_L, nullptr, SeeFlash);
    Make(100, 0, 64, 48, GUI_TOP_L, nullptr, SeeFlash);
    gFlashSeen.clear();
    P3DSetFlashBrightness(50);
    gP3D.interference = 3;
    guiUpdate();
    EXPECT_EQ(gFlashSeen, (std::vector<int>{50, 50}));
    EXPECT_EQ(gP3D.clearColour, kP3DClearColour);
    EXPECT_EQ(gP3D.interference, 0);
    // A flash set in a frame in which no view draws is not shown late.
    P3DSetFlashBrightness(60);
    guiUpdate();
    EXPECT_EQ(gFlashSeen.size(), 2u);
    EXPECT_EQ(gP3D.clearColour, kP3DClearColour);
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
