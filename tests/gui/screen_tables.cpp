// The screens' programs run the GUI's scripts, the career and the dialogue
// as the game does: every test of the GUI starts with the tables through
// which the mission script reaches the GUI and the HUD installed (the
// window and binding statements among them), and ends without them.
#include <gtest/gtest.h>

#include "gui/cockpit.h"
#include "hud/missionlog.h"
#include "script/screens.h"
#include "world/services.h"

namespace {

class ScreenTablesListener : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo &) override {
        guiInstallScriptHooks();
        hudInstallScriptHooks();
        hudInstallWorldHooks();
    }
    void OnTestEnd(const testing::TestInfo &) override {
        ScriptSetGuiHooks(nullptr);
        ScriptSetHudHooks(nullptr);
        WorldSetHudHooks(nullptr);
    }
};

const bool gInstalled = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new ScreenTablesListener);
    return true;
}();

}  // namespace
