// The presentation on the 3D-card display: the scene's targets are the
// display's back and depth buffers, which stay the display's.
#include <gtest/gtest.h>

#include "core/options.h"
#include "gui/window.h"
#include "platform/display.h"
#include "platform/hooks.h"
#include "platform/video.h"
#include "present/p3d.h"
#include "render/drivers/output.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"
#include "shape_files.h"
#include "world/messages.h"
#include "world/objlist.h"

namespace {

char gHostScreen;
vt_output_host gSilentHost = {
    "silent", [](void *, vt_boolean, vt_int_32, vt_int_32) -> void * { return &gHostScreen; },
    [](void *, const void *, vt_int_32) {}, [](void *) {}};

class CardPresentation : public testing::Test {
protected:
    presenttest::SampleDataRoot root;
    PlatformHooks hooks{};
    void SetUp() override {
        ResetOptions();
        PixelDepth = 16;
        BytesPerPixel = 2;
        CardMode = 0;
        TheDisplayMode = {640, 480, 16, nullptr, &ScreenSurface};
        SetPlatformHooks(&hooks);
        VtOutputHostSet(&gSilentHost);
        SelectDeviceDriver();
        dunMsgInit();
        dunResetWorld();
        ASSERT_TRUE(DisplayOpen(&TheDisplayMode));
    }
    void TearDown() override {
        DisplayClose();
        VtOutputHostSet(nullptr);
        SetPlatformHooks(nullptr);
        SelectFullScreenDriver();
        ResetOptions();
        PixelDepth = 8;
        BytesPerPixel = 1;
        CardMode = 0;
    }
};

TEST_F(CardPresentation, TheSceneRendersIntoTheDisplaysBuffers) {
    ASSERT_TRUE(root.ok());
    P3DInitialise();
    ASSERT_NE(Display3dBack(), nullptr);
    EXPECT_EQ(gP3D.screen, Display3dBack());
    EXPECT_EQ(gP3D.colourTarget, Display3dBack());
    EXPECT_EQ(gP3D.depth, Display3dDepth());
    // The cockpit panel renders with the back buffer unlocked and hands it
    // back locked to the 2D drawing.
    P3DRenderSceneToView(0);
    EXPECT_TRUE(Display3dBackLocked());
    // The end of the 3D system leaves the display's buffers to the display.
    vt_pixelmap *back = Display3dBack();
    P3DShutdown();
    EXPECT_EQ(Display3dBack(), back);
    EXPECT_EQ(gP3D.screen, nullptr);
    EXPECT_NE(back->pixels, nullptr);
}

}  // namespace
