// The window and screen statements of the GUI scripts.
#include "../RES/gfx_fixture.h"
#include "RES/font.h"
#include "RES/resman.h"
#include "gui/cockpit.h"
#include "gui/gadgets.h"
#include "gui/screen.h"
#include "gui/script_statements.h"
#include "gui/window.h"
#include "platform/display.h"
#include "script/mission.h"
#include "script/screens.h"
#include "script/statements.h"
#include "script_fixture.h"

namespace scripttest {
namespace {

int gBuilds;
void CountBuild() { ++gBuilds; }
void Noop(GuiWindow *) {}
void Other(GuiWindow *) {}

class WindowStatementTest : public ScriptTest {
protected:
    gfxtest::Canvas canvas{640, 480, 1};
    ResourceHandle font{}, font2{}, background{};
    void SetUp() override {
        // The window statements are the GUI's.
        guiInstallScriptHooks();
        ScriptTest::SetUp();
        Mode(640, 480);
        gGuiCentreMode = gGuiScriptLoading = 0;
        gScriptWindowFont = nullptr;
        guiResetWindows();
        guiRegisterScreen("Test", CountBuild, nullptr);
        gBuilds = 0;
        Resource("Fnt", &font);
        Resource("Fnt2", &font2);
        background.type = ResPcx2BackRaster;
        Resource("Back", &background);
    }
    void TearDown() override {
        TheDisplayMode.screen = nullptr;
        TheDisplayMode.width = 640;
        TheDisplayMode.height = 480;
        ResolutionMode = 0;
        ScriptTest::TearDown();
        ScriptSetGuiHooks(nullptr);
    }
    void Mode(int w, int h) {
        gfxtest::SetDepth(8);
        canvas = gfxtest::Canvas(w, h, 1);
        TheDisplayMode.width = (uint16_t)w;
        TheDisplayMode.height = (uint16_t)h;
        TheDisplayMode.screen = &canvas.s;
        ResolutionMode = w == 640 ? 0 : 1;
    }
    static void Resource(const char *name, ResourceHandle *h) {
        ScriptSymbol *s = AddScriptSymbol(name, "\0\0\0\0", 4);
        s->kind = SymKind::Resource;
        s->value = h;
    }
    static GuiWindow *Win(const char *name) { return static_cast<GuiWindow *>(GetScriptSymbolValue(name)); }
};

TEST_F(WindowStatementTest, AParentOperandThatIsNoKnownWindowIsOneSkippedToken) {
    Start("WIN_RECT TOP_L A 0 1 2 3 4\n"
          "WIN_RECT TOP_L B A 5 6 7 8\n"
          "WIN_RECT TOP_L C Nobody 9 10 11 12\n"
          "WIN_RECT TOP_L D Fnt 13 14 15 16\n");
    ASSERT_NE(Win("A"), nullptr);
    EXPECT_EQ(Win("A")->parent, nullptr);
    EXPECT_EQ(Win("A")->x, 1);
    EXPECT_EQ(Win("A")->h, 4);
    EXPECT_EQ(Win("B")->parent, Win("A"));
    EXPECT_EQ(Win("B")->x, 5);
    EXPECT_EQ(Win("C")->parent, nullptr);
    EXPECT_EQ(Win("C")->x, 9);
    EXPECT_EQ(Win("C")->draw, guiDrawRect);
    // A name that stands for a resource, not a window, gives no parent.
    EXPECT_EQ(Win("D")->parent, nullptr);
    EXPECT_EQ(Win("D")->x, 13);
}

TEST_F(WindowStatementTest, TheWindowFontIsSharedByTheWindowsAfterIt) {
    Start("WIN_STRNG TOP_L S0 0 \"none\" 0 0 10 10\n"
          "WIN_FONT Fnt\n"
          "WIN_STRNG TOP_L S1 0 \"one\" 0 0 10 10\n"
          "WIN_BUTT TOP_L S2 0 \"two\" 0 0 10 10\n"
          "WIN_FONT Fnt2\n"
          "WIN_METER NUMERIC TOP_L S3 0 0 0 10 10\n");
    EXPECT_EQ(Win("S0")->font, nullptr);
    EXPECT_EQ(Win("S1")->font, &font);
    EXPECT_EQ(Win("S2")->font, &font);
    EXPECT_STREQ(static_cast<const char *>(Win("S2")->text), "two");
    EXPECT_EQ(Win("S2")->draw, guiDrawButton);
    EXPECT_EQ(Win("S3")->font, &font2);
    EXPECT_EQ(Win("S3")->draw, guiDrawNumeric);
}

TEST_F(WindowStatementTest, BoxMainAndMeterDefaults) {
    Start("WIN_MAIN Root\n"
          "WIN_BOX TOP_L Box 0 1 2 3 4\n"
          "WIN_BOX TOP_L Red 0 1 2 3 4 13\n"
          "WIN_METER XYDEV TOP_L Dev 0 1 2 30 30\n"
          "WIN_INVIS TOP_L Hot 0 1 2 3 4\n");
    GuiWindow *root = Win("Root");
    EXPECT_EQ(root->colour, 117);
    EXPECT_EQ(root->w, 639);
    EXPECT_EQ(root->h, 479);
    EXPECT_EQ(gGuiRoot, root);
    EXPECT_EQ(root->userData, &canvas.s);
    EXPECT_EQ(Win("Box")->colour, 0);
    EXPECT_EQ(Win("Box")->hitTest, guiNeverHit);
    EXPECT_EQ(Win("Red")->colour, 13);
    EXPECT_EQ(Win("Dev")->hitTest, guiNeverHit);
    EXPECT_EQ(Win("Dev")->draw, guiDrawXYDev);
    EXPECT_EQ(Win("Hot")->draw, nullptr);
    EXPECT_TRUE(Win("Hot")->flags & GuiFlag::KeepCountdown2);
}

TEST_F(WindowStatementTest, CloneMovesOnlyWhenAPositionIsGiven) {
    Start("SCREEN_BEGIN \"Test\"\n"
          "WIN_MAIN Root\n"
          "WIN_RECT TOP_L Src 0 10 20 30 40\n"
          "WIN_RECT TOP_L Kid Src 1 1 5 5\n"
          "WIN_CLONE \"Test\" Moved Src 0 5\n"
          "WIN_CLONE \"Test\" Kept Src\n");
    EXPECT_EQ(Win("Moved")->x, 0);
    EXPECT_EQ(Win("Moved")->y, 5);
    EXPECT_EQ(Win("Kept")->x, 10);
    EXPECT_EQ(Win("Kept")->y, 20);
    ASSERT_NE(Win("Kept")->next, nullptr);
    EXPECT_EQ(Win("Kept")->next->parent, Win("Kept"));
}

TEST_F(WindowStatementTest, ARelWindowAfterASystemPanelHangsOnItsLabel) {
    Start("WIN_SYSTEM TOP_L Sys 0 SysBox \"REACTOR\" 100 200\n"
          "WIN_RECT REL After 0 0 80 10 10\n");
    GuiWindow *label = Win("Sys");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->w, 138);
    EXPECT_EQ(label->draw, guiDrawSystemLabel);
    EXPECT_EQ(Win("After")->relTarget, label);
    int panel = 0;
    for (GuiWindow *w = label; w && w != Win("After"); w = w->next) {
        ++panel;
        EXPECT_TRUE(w->flags & GuiFlag::Visibility);
        if (w != label) {
            EXPECT_EQ(w->relTarget, label);
        }
    }
    EXPECT_EQ(panel, 8);
    EXPECT_EQ(label->next->draw, guiDrawDialogueButton);
    EXPECT_EQ(label->next->next->next->next->draw, guiDrawBarVert);
}

TEST_F(WindowStatementTest, AFullScreenBackgroundIsNotDrawnAtLargerModes) {
    Start("WIN_RAST TOP_L Bg 0 Back 0 0\nWIN_RAST TOP_L Off 0 Back 0 1\n");
    EXPECT_EQ(Win("Bg")->draw, guiDrawRaster);
    EXPECT_EQ(Win("Bg")->font, &background);
    Mode(800, 600);
    guiResetWindows();
    Start("WIN_RAST TOP_L Bg2 0 Back 0 0\nWIN_RAST TOP_L Off2 0 Back 0 1\n");
    EXPECT_EQ(Win("Bg2")->draw, nullptr);
    EXPECT_EQ(Win("Off2")->draw, guiDrawRaster);
}

// A picture or font that is not there: the window still comes, drawing no
// picture and no text, and a name operand that is no symbol is the script
// error report.
TEST_F(WindowStatementTest, MissingPicturesAndFontsDrawNothing) {
    ResourceHandle gone{};  // registered, but its file never loaded
    gone.type = ResPcx2Raster;
    Resource("Gone", &gone);
    Start("WIN_RAST TOP_L Pic 0 Gone 10 10\nWIN_FONT Gone\nWIN_STRNG TOP_L Str 0 \"TEXT\" 10 40 100 12\n");
    ASSERT_NE(Win("Pic"), nullptr);
    ASSERT_NE(Win("Str"), nullptr);
    guiDrawRaster(Win("Pic"));
    guiDrawString(Win("Str"));
    int ink = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) ink += canvas.At(x, y) != 0;
    EXPECT_EQ(ink, 0);
    EXPECT_NE(FatalText([&] { Start("WIN_RECT TOP_L 5 0 1 2 3 4\n"); }).find("SYMBOL reference needed"),
              std::string::npos);
}

TEST_F(WindowStatementTest, BadAnchorsAndStylesEndTheProgram) {
    for (const char *text : {"WIN_RECT BAR_VERT A 0 1 2 3 4\n", "WIN_METER TOP_L TOP_L A 0 1 2 3 4\n",
                             "WIN_RECT 5 A 0 1 2 3 4\n"})
        EXPECT_NE(FatalText([&] { Start(text); }), "") << text;
}

TEST_F(WindowStatementTest, ScreensAreDefinedBuiltAndTheirPanesCounted) {
    Start("SCREEN_BEGIN \"Test\"\n"
          "WIN_MAIN Root\n"
          "WIN_3D TOP_L V1 0 Cam 0 0 100 100\n"
          "WIN_3D TOP_L V2 0 Cam 0 0 100 100\n"
          "WIN_3D_WIRE TOP_L V3 0 Cam 0 0 100 100\n"
          "SCREEN_END \"Test\"\n"
          "SCREEN_USE \"Test\"\n");
    GuiScreen *s = guiFindScreen("Test");
    EXPECT_EQ(gBuilds, 1);
    EXPECT_EQ(s->paneCount, 3);
    EXPECT_EQ(s->viewWindow, Win("V2"));
    EXPECT_EQ(s->root, Win("Root"));
    EXPECT_EQ(gGuiScreen, s);
    EXPECT_EQ(gGuiPaneCount, 3);
}

TEST_F(WindowStatementTest, BindingByNameKeepsTheLastAndIgnoresUnknownNames) {
    Start("WIN_BUTT TOP_L Butt1 0 \"x\" 0 0 10 10\n");
    EXPECT_EQ(guiBindActivate("Butt2", Noop), nullptr);
    EXPECT_EQ(guiBindActivate("Butt1", Noop), Win("Butt1"));
    EXPECT_EQ(guiBindActivate("Butt1", Other), Win("Butt1"));
    EXPECT_EQ(Win("Butt1")->onActivate, Other);
    EXPECT_EQ(guiBindPress("Fnt", Noop), nullptr);  // a name that is no window binds nothing
}

TEST_F(WindowStatementTest, DialogueWindowsAndPopupsCloseThemselves) {
    ResourceHandle text{};
    Resource("Txt", &text);
    Start("WIN_MAIN Root\n"
          "WIN_DIALOG TOP_L Dlg 0 Txt 100 100 200 80 50\n"
          "WIN_POPUP \"Hello\" 30\n");
    GuiWindow *dlg = Win("Dlg");
    EXPECT_EQ(dlg->text, &text);
    EXPECT_EQ(dlg->draw, guiDrawText);
    int children = 0;
    GuiWindow *close = nullptr, *down = nullptr;
    for (GuiWindow *w = dlg->next; w && w->parent == dlg; w = w->next) {
        ++children;
        if (w->draw == guiDrawDialogueButton) close = w;
        if (w->draw == guiDrawDialogueArrowB) down = w;
    }
    EXPECT_EQ(children, 4);
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->x, 204);
    EXPECT_EQ(close->state, 255);
    ASSERT_NE(down, nullptr);
    EXPECT_EQ(down->y, 66);
    GuiWindow *popup = gGuiLastCreated;
    EXPECT_EQ(popup->anchor, GUI_CNTR);
    EXPECT_EQ(popup->w, 480);
    EXPECT_STREQ(static_cast<const char *>(popup->text), "Hello");
    dunGameClock = 40;  // the popup's time is up, the dialogue's not yet
    guiUpdate();
    EXPECT_FALSE(popup->flags & GuiFlag::InUse);
    EXPECT_TRUE(dlg->flags & GuiFlag::InUse);
    dunGameClock = 60;
    guiUpdate();
    EXPECT_FALSE(dlg->flags & GuiFlag::InUse);
    EXPECT_FALSE(close->flags & GuiFlag::InUse);
    dunGameClock = 0;
}

}  // namespace
}  // namespace scripttest
