// The sample GUI scripts build every screen at each display mode and
// language, and every screen draws inside the surface.
#include <cstdlib>
#include <filesystem>

#include "os/paths.h"
#include "platform/sound.h"
#include "script/script.h"
#include "gui_fixture.h"

namespace guitest {
namespace {

struct Mode {
    int w, h, bits;
    uint16_t language;
};

class SampleScreens : public GuiTest, public testing::WithParamInterface<Mode> {
protected:
    std::filesystem::path old_;
    void SetUp() override {
        GuiTest::SetUp();
        old_ = std::filesystem::current_path();
        const char *root = std::getenv("RUVO_DATA");
        std::filesystem::current_path(root ? root : "data");
        osFlushPathCache();
        gLanguage = GetParam().language;
        UseCanvas(GetParam().w, GetParam().h, GetParam().bits);
        resmanInit();
        InitializeScriptSystem();
    }
    void TearDown() override {
        FreeScriptBuffers();
        // Sounds the scripts registered live in the resource pool.
        SoundReleaseAll();
        resmanShutdown();
        gLanguage = 0;
        std::filesystem::current_path(old_);
        osFlushPathCache();
        GuiTest::TearDown();
    }
    static void Run(const char *path) {
        ScriptToken *pc = TokeniseScript(path);
        ASSERT_NE(pc, nullptr) << path;
        ScriptProcessor(&pc, 0);
    }
};

TEST_P(SampleScreens, BuildEveryScreenAndDrawInsideTheSurface) {
    static const char *const kInit[3] = {"vek\\resource\\scripts\\init\\init.scr",
                                         "vek\\resource\\scripts\\init\\init_frn.scr",
                                         "vek\\resource\\scripts\\init\\init_ger.scr"};
    static const char *const kGui[3] = {"vek\\resource\\scripts\\gui\\test0_x.gui",
                                        "vek\\resource\\scripts\\gui\\test0_x_frn.gui",
                                        "vek\\resource\\scripts\\gui\\test0_x_ger.gui"};
    Run(kInit[gLanguage]);
    guiResetWindows();
    guiInit();
    gGuiScriptLoading = 1;
    Run(kGui[gLanguage]);
    gGuiScriptLoading = 0;
    EXPECT_EQ(gGuiScreen, guiFindScreen("FrontHome"));
    for (const char *name : {"FrontHome", "FrontRoster", "FrontTime", "Confirm", "NewRostSlot", "OptionScreen", "COM",
                             "NAV", "WEP", "ENG"}) {
        GuiScreen *s = guiFindScreen(name);
        ASSERT_NE(s, nullptr) << name;
        ASSERT_NE(s->root, nullptr) << name;
        // The root covers the mode's screen.
        EXPECT_EQ(s->root->w, GetParam().w - 1) << name;
        guiSetScreen(name);
        for (int pass = 0; pass < 2; ++pass) guiUpdate();  // the canvas is an exact heap block
        int windows = 0;
        for (GuiWindow *w = s->windows; w; w = w->next) ++windows;
        EXPECT_GE(windows, 2) << name;
    }
    GuiScreen *com = guiFindScreen("COM");
    EXPECT_EQ(com->paneCount, 1);
    ASSERT_NE(com->viewWindow, nullptr);
    // Scaled from 640x480: the view keeps its share of the screen.
    EXPECT_EQ(com->viewWindow->w, GetParam().w);
    EXPECT_EQ(com->viewWindow->h, (int)(336 / 480.0 * GetParam().h));
}

INSTANTIATE_TEST_SUITE_P(Modes, SampleScreens,
                         testing::Values(Mode{640, 480, 8, 0}, Mode{800, 600, 16, 1}, Mode{1024, 768, 8, 2}));

}  // namespace
}  // namespace guitest
