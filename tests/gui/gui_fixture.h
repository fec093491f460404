// A GUI on a test surface: the window pool and screen table reset, the
// "Null" screen current with a root window of the surface's size, no mouse
// button held, 640x480 adjustment rules.
#pragma once

#include <gtest/gtest.h>

#include <cstring>

#include "../RES/gfx_fixture.h"
#include "RES/font.h"
#include "RES/resman.h"
#include "common/fatal_hook.h"
#include "core/frame.h"
#include "core/options.h"
#include "gui/feed.h"
#include "gui/gadgets.h"
#include "gui/screen.h"
#include "gui/window.h"
#include "platform/display.h"
#include "platform/keyboard.h"
#include "script/career.h"
#include "world/messages.h"

namespace guitest {

using gfxtest::Canvas;

// A font whose every glyph is a 3 x 5 block of colour 255 (6 pixels apart,
// line height 8), behind a loaded resource handle.
struct BlockFont {
    uint8_t ink[15];
    Surface glyph{};
    BitmapFont font{};
    ResourceHandle handle{};
    BlockFont() {
        std::memset(ink, 255, sizeof ink);
        glyph.pixels = ink;
        glyph.width = 3;
        glyph.height = 5;
        glyph.hotY = 5;
        glyph.pitch = 3;
        for (int c = 0; c < 256; ++c) {
            font.glyph[c] = &glyph;
            font.advance[c] = 6;
        }
        font.lineHeight = 8;
        handle.data = &font;
    }
};

class GuiTest : public testing::Test {
protected:
    Canvas canvas{640, 480, 1};
    void UseCanvas(int w, int h, int bits) {
        gfxtest::SetDepth(bits);
        canvas = Canvas(w, h, bits / 8);
        TheDisplayMode.width = (uint16_t)w;
        TheDisplayMode.height = (uint16_t)h;
        TheDisplayMode.screen = &canvas.s;
        ResolutionMode = w == 640 ? 0 : w == 800 ? 1 : 2;
    }
    void SetUp() override {
        ForgetSharedState();
        UseCanvas(640, 480, 8);
        dunMsgInit();
        dunFrameStep = 10;
        gGuiCentreMode = gGuiScriptLoading = 0;
        gGuiInterference = 0;
        gGuiFullScreen = gGuiHelpMode = gGuiComArmOpen = 0;
        std::memset(KeyDownTable, 0, sizeof KeyDownTable);
        MouseStateReset();
        guiResetWindows();
        gGuiLastMouseX = gGuiLastMouseY = 0;
    }
    void TearDown() override {
        TheDisplayMode.screen = nullptr;
        TheDisplayMode.width = 640;
        TheDisplayMode.height = 480;
        ResolutionMode = 0;
        gfxtest::SetDepth(8);
        ForgetSharedState();
    }
    // What outlives a test and would reach into the next: the palette and
    // the feed's font point into the resources of the test that set them,
    // and the mission table is read once, by the first front end that finds
    // it empty.
    static void ForgetSharedState() {
        LastPalette = nullptr;
        gFeedFont = nullptr;
        for (MissionRecord &r : gMissionTable) r = MissionRecord{};
    }
    // A plain top window without routines of its own but the default update.
    static GuiWindow *Make(int16_t x, int16_t y, int16_t w, int16_t h, uint16_t anchor = GUI_TOP_L,
                           GuiWindow *parent = nullptr, GuiDrawProc draw = nullptr) {
        return guiCreateWindow(anchor, parent, nullptr, guiDefaultHandler, draw, x, y, w, h, 0);
    }
    GuiWindow *MakeRoot() {
        return guiCreateWindow(GUI_TOP_L, nullptr, nullptr, guiDefaultHandler, nullptr, 0, 0,
                               (int16_t)(canvas.s.width - 1), (int16_t)(canvas.s.height - 1), 0);
    }
    static int LiveWindows() {
        int n = 0;
        for (const GuiWindow &w : gGuiWindows) n += (w.flags & GuiFlag::InUse) != 0;
        return n;
    }
};

}  // namespace guitest
