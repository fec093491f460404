// One frame of the space view: its passes and profiler marks in order, the
// clear colour, the field of view and projection scale, and the detail
// thresholds the frame-rate ring gives.
#include <cmath>

#include "RES/gfx2d.h"
#include "p3d_fixture.h"

using namespace presenttest;

namespace {

class P3DFrame : public P3DTest {
protected:
    void SetUp() override { Start(8); }
    // One view of the camera object over the whole screen.
    void DrawView(SceneItem *&camera) { P3DDrawViewWindow(View(&camera, 0, 0, 640, 480)); }
};

using Lines = std::vector<std::string>;

TEST_F(P3DFrame, APrimaryViewRunsEveryPassInOrderClosedByItsMark) {
    SceneItem *camera = Object(nullptr, 0, 0, 0, 10);
    DrawView(camera);
    // No background scenes yet: no sky passes.
    EXPECT_EQ(Marks(), (Lines{"PRE-PROCESS", "AV-TO-GRF", "SCRN CLR", "ZBUF CLR", "OBJECTS", "PARTICLES", "HUD"}));
    EXPECT_EQ(Scenes(), 1);
    gP3D.nebulaOn = 1;
    P3DBuildBackgroundScenes();
    DrawView(camera);
    EXPECT_EQ(Marks(), (Lines{"PRE-PROCESS", "AV-TO-GRF", "SCRN CLR", "ZBUF CLR", "NEBULA", "STARS", "PLANETS",
                              "OBJECTS", "PARTICLES", "HUD"}));
    EXPECT_EQ(Scenes(), 3) << "nebula, stars, objects";
}

TEST_F(P3DFrame, ASecondaryViewDrawsTheNebulaAndTheObjectsAtFortyFiveDegreesWithoutMarks) {
    SceneItem *camera = Object(nullptr, 0, 0, 0, 10);
    gP3D.nebulaOn = 1;
    P3DBuildBackgroundScenes();
    gGuiFullScreen = 1;
    gViewSecondary = 1;
    DrawView(camera);
    EXPECT_TRUE(Marks().empty());
    EXPECT_EQ(Scenes(), 2) << "nebula and objects";
    EXPECT_FLOAT_EQ(gP3D.fieldOfView, 45);
}

TEST_F(P3DFrame, TheFirstFrameBuildsTheMainSceneAndEveryActorTree) {
    vt_model *cube = Cube("box", 100);
    SceneItem *ship = Object(cube, 0, 0, 3000, 173);
    SceneItem *camera = Object(nullptr, 0, 0, 0, 10);
    EXPECT_EQ(gP3D.mainWorld, nullptr);
    DrawView(camera);
    ASSERT_NE(gP3D.mainWorld, nullptr);
    ASSERT_NE(ship->avatar->root->actor, nullptr);
    EXPECT_EQ(ship->avatar->root->actor->parent, gP3D.mainWorld);
    EXPECT_EQ(ship->avatar->root->actor->model, cube);
    EXPECT_EQ(gP3D.rebuild, 0);
}

TEST_F(P3DFrame, TheClearColourFillsTheViewAndAFlashKeepsTheSkyOut) {
    SceneItem *camera = Object(nullptr, 0, 0, 0, 10);
    P3DBuildBackgroundScenes();
    struct Case {
        uint8_t clear;
        bool fixedStep;
        uint8_t expect;
        bool sky;
    };
    for (const Case c : {Case{176, false, 176, true}, Case{50, false, 50, false}, Case{50, true, 176, false}}) {
        gP3D.clearColour = c.clear;
        gFixedStep = c.fixedStep;
        DrawView(camera);
        EXPECT_EQ(Pixel8(320, 240), c.expect) << int(c.clear);
        const Lines marks = Marks();
        EXPECT_EQ(std::find(marks.begin(), marks.end(), "NEBULA") != marks.end(), c.sky) << int(c.clear);
        // The flash holds for every view of the frame; the GUI pass ends it.
        EXPECT_EQ(gP3D.clearColour, c.clear);
        P3DEndViewEffects();
        EXPECT_EQ(gP3D.clearColour, 176);
    }
}

TEST_F(P3DFrame, SixteenBitsClearTheViewAfterARepaintAndLaterToBlackLeavingThePanelsRoundIt) {
    TearDown();
    Start(16);
    SceneItem *camera = Object(nullptr, 0, 0, 0, 10);
    const uint16_t clear = uint16_t((176 >> 3) << 11 | ((255 - 176) >> 2) << 5 | (88 >> 3));
    const uint16_t panel = PaletteToRgb565(palette, 117);
    ASSERT_NE(panel, 0);
    P3DPane *w = View(&camera, 100, 100, 200, 100);
    // The GUI's repaint fills its panels first, then draws the view.
    FillRect(&ScreenSurface, 117, 0, 0, 639, 479);
    P3DDrawViewWindow(w);
    EXPECT_EQ(Pixel16(5, 5), panel) << "the panel round the view keeps its fill";
    EXPECT_EQ(Pixel16(99, 150), panel);
    EXPECT_EQ(Pixel16(100, 100), clear);
    EXPECT_EQ(Pixel16(150, 150), clear);
    std::fill(pixels.begin(), pixels.end(), 0x77);
    P3DDrawViewWindow(w);
    EXPECT_EQ(Pixel16(5, 5), 0x7777) << "outside the view: untouched";
    EXPECT_EQ(Pixel16(150, 150), 0);
    P3DScreenRepainted();
    P3DDrawViewWindow(w);
    EXPECT_EQ(Pixel16(5, 5), 0x7777);
    EXPECT_EQ(Pixel16(150, 150), clear);
}

TEST_F(P3DFrame, TheFieldOfViewFollowsTheStationTheFullScreenAndTheZoom) {
    SceneItem *camera = Object(nullptr, 0, 0, 0, 10);
    struct Case {
        int station;
        bool full;
        float fov;
    };
    for (const Case c : {Case{1, false, 45}, Case{1, true, 73.14f}, Case{3, false, 82}, Case{3, true, 88}}) {
        StationId = c.station;
        gGuiFullScreen = c.full;
        DrawView(camera);
        EXPECT_FLOAT_EQ(gP3D.fieldOfView, c.fov) << c.station << c.full;
        // (bottom - top) / 2 in whole pixels: (479 - 0) / 2 = 239.
        EXPECT_FLOAT_EQ(gP3D.projectionScale, 239 / std::tan(c.fov / 2 * 3.1415f / 180));
    }
    // Zooming in the full-screen view: the factor grows by 15 a second up
    // to 5 and divides the field of view.
    StationId = 1;
    gGuiFullScreen = 1;
    gViewZoomRequest = 1;
    gViewZoomState = 1;
    dunFrameSeconds = 0.1f;
    for (int i = 0; i < 5; ++i) DrawView(camera);
    EXPECT_FLOAT_EQ(gP3D.zoomFactor, 5);
    EXPECT_NEAR(gP3D.fieldOfView, 73.14f / 5, 1e-4);
    // Let go: back to 1, out of the full-screen view.
    gViewZoomRequest = 0;
    for (int i = 0; i < 5; ++i) DrawView(camera);
    EXPECT_FLOAT_EQ(gP3D.zoomFactor, 1);
    EXPECT_EQ(gGuiFullScreen, 0);
    EXPECT_EQ(gViewZoomState, 2);
}

TEST_F(P3DFrame, TheTimedStatePulsesTheFieldOfView) {
    SceneItem *camera = Object(nullptr, 0, 0, 0, 10);
    dunControlledObject = camera;
    camera->sim->flags |= SimFlag::TimedState;
    for (float countdown : {2.0f, 1.75f, 1.5f}) {
        dunTimedStateCountdown = countdown;
        DrawView(camera);
        const float pulse = countdown > 1.5f ? std::fabs(countdown - 1.75f) * 0.12f + 0.97f : 1.0f;
        EXPECT_FLOAT_EQ(gP3D.fieldOfView, 45 * pulse) << countdown;
    }
    dunControlledObject = nullptr;
}

TEST_F(P3DFrame, DetailThresholdsFollowTheMeanFrameRate) {
    SceneItem *camera = Object(nullptr, 0, 0, 0, 10);
    const int16_t rect[4] = {0, 0, 639, 479};
    gP3D.autoDetail = 1;
    struct Case {
        int step;
        float high, low;
    };
    for (const Case c : {Case{2, 28, 2.8f}, Case{20, 800, 80}, Case{5, 414, 41.4f}}) {
        dunFrameStep = c.step;
        for (int i = 0; i < 31; ++i) P3DPreprocessScene(camera, const_cast<int16_t *>(rect));
        EXPECT_FLOAT_EQ(gP3D.detailHigh, c.high) << c.step;
        EXPECT_FLOAT_EQ(gP3D.detailLow, c.low) << c.step;
    }
    // A mean that moves by 3 or less leaves them alone.
    gP3D.detailHigh = 1;
    gP3D.detailLow = 2;
    gP3D.ratePreviousMean = gP3D.rateMean + 2.5f;
    P3DPreprocessScene(camera, const_cast<int16_t *>(rect));
    EXPECT_FLOAT_EQ(gP3D.detailHigh, 1);
    // Without the auto-detail flag nothing changes them.
    gP3D.autoDetail = 0;
    dunFrameStep = 2;
    for (int i = 0; i < 31; ++i) P3DPreprocessScene(camera, const_cast<int16_t *>(rect));
    EXPECT_FLOAT_EQ(gP3D.detailHigh, 1);
    EXPECT_FLOAT_EQ(gP3D.detailLow, 2);
}

TEST_F(P3DFrame, WindowsWithoutBuffersAreCountedAndGetAnEmptyDirtyRectangle) {
    SceneItem *camera = Object(nullptr, 0, 0, 0, 10);
    P3DPane *w = View(&camera, 0, 0, 64, 48);
    P3DResetViewDirtyRect(w);
    EXPECT_EQ(gP3D.viewWindowCount, 1);
    EXPECT_EQ(w->dirty[0], 32767);
    EXPECT_EQ(w->dirty[3], -32767);
    P3DDrawViewWindow(w);
    w->dirty[0] = 5;
    P3DResetViewDirtyRect(w);
    EXPECT_EQ(gP3D.viewWindowCount, 1) << "a window with buffers is left alone";
    EXPECT_EQ(w->dirty[0], 5);
}

TEST_F(P3DFrame, AWindowKeepsItsBuffersWhileItsRectangleStays) {
    SceneItem *camera = Object(nullptr, 0, 0, 0, 10);
    P3DPane *w = View(&camera, 10, 20, 64, 48);
    P3DDrawViewWindow(w);
    void *colour = w->image;
    ASSERT_NE(colour, nullptr);
    auto *pm = static_cast<vt_pixelmap *>(colour);
    EXPECT_EQ(pm->base_x, 10);
    EXPECT_EQ(pm->origin_x, 32);
    P3DDrawViewWindow(w);
    EXPECT_EQ(w->image, colour);
    w->w = 32;
    P3DDrawViewWindow(w);
    EXPECT_EQ(static_cast<vt_pixelmap *>(w->image)->width, 32);
}

}  // namespace

namespace {

// A quarter turn (16384 units) moves one axis onto the other.
TEST(P3DMatrix, QuarterTurnsMixTheirRowsOrColumns) {
    auto identity = [] {
        vt_matrix34 m{};
        m.m[0][0] = m.m[1][1] = m.m[2][2] = 1;
        m.m[3][0] = 5;
        m.m[3][1] = 6;
        m.m[3][2] = 7;
        return m;
    };
    vt_matrix34 turn = identity();
    P3DTurnAboutX(&turn, 16384);  // rows: row1 = row2, row2 = -row1
    EXPECT_NEAR(turn.m[1][2], 1, 1e-4);
    EXPECT_NEAR(turn.m[2][1], -1, 1e-4);
    EXPECT_FLOAT_EQ(turn.m[3][1], 6) << "the position row stays";
    vt_matrix34 x = identity();
    P3DRotateAboutX(&x, 16384);  // columns: y = -z, z = y, every row
    EXPECT_NEAR(x.m[1][2], 1, 1e-4);
    EXPECT_NEAR(x.m[2][1], -1, 1e-4);
    EXPECT_NEAR(x.m[3][1], -7, 1e-4);
    EXPECT_NEAR(x.m[3][2], 6, 1e-4);
    vt_matrix34 z = identity();
    P3DRotateAboutZ(&z, 16384);
    EXPECT_NEAR(z.m[3][0], -6, 1e-4);
    EXPECT_NEAR(z.m[3][1], 5, 1e-4);
}

TEST_F(P3DFrame, ACelestialSphereWithoutItsActorIsLeftAlone) {
    vt_model *sphere = Cube("sphere", 1);
    P3DBuildBackgroundScenes();
    EXPECT_EQ(gP3D.celestialSphere, nullptr);
    P3DSetCelestialSphere(sphere);  // nothing to put it on: no crash, no change
    EXPECT_EQ(VtModelFind("sphere"), sphere);
}

}  // namespace

namespace {

// A 3D pane drawn before any mission has set the library up (the front end)
// shows nothing and breaks nothing.
TEST(P3DBeforeSetUp, AViewDrawsNothingUntilTheLibraryIsBegun) {
    ASSERT_EQ(VtSceneDbRoot(), nullptr);
    P3DResetStateDefaults();
    dunFrameCounter = 1;
    dunMsgInit();
    dunResetWorld();
    SceneItem *camera = dunCreateSceneItem();
    dunLinkSceneItem(camera, 0);
    dunAttachSim(camera, nullptr);
    P3DPane w{};
    w.user = &camera;
    w.w = 64;
    w.h = 48;
    P3DDrawViewWindow(&w);
    EXPECT_EQ(gP3D.mainWorld, nullptr);
    dunResetWorld();
}

}  // namespace
