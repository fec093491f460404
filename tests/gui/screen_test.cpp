// The screen table: registration, definition, switching and key handlers.
#include "gui/cockpit.h"
#include "gui_fixture.h"

namespace guitest {
namespace {

int gBuilds;
void Build() { ++gBuilds; }
uint16_t gLastKeyA, gLastKeyB;
void KeysA(uint16_t k) { gLastKeyA = k; }
void KeysB(uint16_t k) { gLastKeyB = k; }

class ScreenTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        gBuilds = 0;
        gLastKeyA = gLastKeyB = 0;
    }
    // Defines a screen with a root and `panes` 3D view panes.
    static void Define(const char *name, int panes, int extra = 0) {
        guiBeginScreen(name);
        guiCreateWindow(GUI_TOP_L, nullptr, nullptr, guiDefaultHandler, guiDrawRect, 0, 0, 639, 479, 117);
        for (int i = 0; i < panes; ++i) Make(10, 10, 50, 50, GUI_TOP_L, nullptr, guiDraw3D);
        for (int i = 0; i < extra; ++i) Make(10, 10, 5, 5);
        guiEndScreen(name);
    }
};

TEST_F(ScreenTest, RegistrationFindsTheFirstOfADuplicateAndStopsAtTwentyEight) {
    guiRegisterScreen("A", Build, KeysA);
    guiRegisterScreen("A", Build, KeysB);
    EXPECT_EQ(guiFindScreen("A")->keyHandler, KeysA);
    EXPECT_EQ(guiFindScreen("a"), nullptr);  // names compare exactly
    EXPECT_EQ(guiFindScreen("A")->panel, kGuiNoPanel);
    EXPECT_EQ(guiSetScreenPanel("Nope", 2), nullptr);
    for (int i = 2; i < kGuiScreenCount; ++i) guiRegisterScreen("filler", Build, KeysA);
    EXPECT_THROW(guiRegisterScreen("B", Build, KeysA), ruvotest::FatalError);
}

TEST_F(ScreenTest, DefinitionStoresThePaneCountAndSwitchingRestoresIt) {
    guiRegisterScreen("Three", Build, KeysA);
    guiRegisterScreen("None", Build, KeysB);
    Define("Three", 3);
    Define("None", 0);
    EXPECT_EQ(gBuilds, 2);
    EXPECT_EQ(guiFindScreen("Three")->paneCount, 3);
    guiSetScreen("Three");
    EXPECT_EQ(gGuiPaneCount, 3);
    EXPECT_EQ(gKeyHandler, KeysA);
    EXPECT_EQ(gGuiRoot, guiFindScreen("Three")->root);
    guiSetScreen("None");
    EXPECT_EQ(gGuiPaneCount, 0);
    EXPECT_EQ(gKeyHandler, KeysB);
    gKeyHandler(0x1C0D);
    EXPECT_EQ(gLastKeyB, 0x1C0D);
}

TEST_F(ScreenTest, DefiningAScreenAgainGivesItsOldWindowsBack) {
    guiRegisterScreen("Mission", Build, KeysA);
    const int before = LiveWindows();
    for (int i = 0; i < 200; ++i) Define("Mission", 1, 8);  // 2000 windows over the run
    EXPECT_EQ(LiveWindows(), before + 10);
    EXPECT_EQ(guiFindScreen("Mission")->paneCount, 1);
}

TEST_F(ScreenTest, SwitchingToTheCurrentScreenRedrawsOnlyAfterTheFullScreenView) {
    guiRegisterScreen("S", Build, KeysA);
    Define("S", 0);
    guiSetScreen("S");
    gGuiFullRedraw = 0;
    guiSetScreen("S");
    EXPECT_EQ(gGuiFullRedraw, 0);
    gGuiFullScreen = 1;
    guiSetScreen("S");
    EXPECT_EQ(gGuiFullRedraw, 1);
    EXPECT_EQ(gGuiFullScreen, 0);
    guiSetScreen(nullptr);
    guiSetScreen("Unknown");
    EXPECT_EQ(gGuiScreen, guiFindScreen("S"));
}

TEST_F(ScreenTest, TheStartUpRegistersEveryScreenWithItsPanel) {
    guiInit();
    for (const char *name : {"CMDStand", "ENGRgt", "Bridge", "COM", "NAV", "WEP", "ENG", "FrontHome", "FrontRoster",
                             "FrontTime", "FrontCredits", "FrontAction", "Confirm", "NewRostSlot", "OptionScreen"})
        EXPECT_NE(guiFindScreen(name), nullptr) << name;
    EXPECT_EQ(guiFindScreen("COM")->panel, 0);
    EXPECT_EQ(guiFindScreen("ENG")->panel, 3);
    EXPECT_EQ(guiFindScreen("FrontHome")->panel, kGuiNoPanel);
    EXPECT_EQ(guiFindScreen("COM")->keyHandler, guiCockpitKeyHandler);
    EXPECT_EQ(gComArmRect.left, 640 - 368);
    EXPECT_EQ(gComArmInner.bottom, 480 - 168 + 154);
}

}  // namespace
}  // namespace guitest
