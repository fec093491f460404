// Projecting a record through the view and its default wire drawing: the
// perspective and flat projections, the near limit, depth shading, points
// and the strokes drawn while the screen is disturbed.
#include "hud_fixture.h"

namespace hudtest {
namespace {

class HudProject : public HudTest, public testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        HudTest::SetUp();
        UseDepth(GetParam());
    }
    // A record of two-point edges at the given world positions.
    HUD *Record(std::initializer_list<Vec3> points, uint8_t colour = 97) {
        HUD *h = dunAllocHUD();
        int i = 0;
        for (const Vec3 &p : points) h->points[i++].world = p;
        h->pointCount = uint16_t(i);
        for (int k = 0; k + 1 < i; k += 2) h->edges[h->edgeCount++] = HUDEdge{int16_t(k), int16_t(k + 1), colour};
        return h;
    }
};

TEST_P(HudProject, PointsProjectThroughTheViewersFrame) {
    HUD *h = Record({{100, -50, 1000}, {0, 0, 4000}, {-10, 0, -500}});
    h->points[1].local = {5, 6, 7};
    hudProjectPoints(h);
    EXPECT_FLOAT_EQ(h->points[0].screenX, 32);
    EXPECT_FLOAT_EQ(h->points[0].screenY, -16);
    EXPECT_FLOAT_EQ(h->points[0].depth, 1000);
    EXPECT_EQ(h->points[2].flags, 2u);
    EXPECT_FLOAT_EQ(h->farDepth, 4000);
    EXPECT_FLOAT_EQ(h->nearDepth, -500);
    // Screen offsets are added with flag 0x40.
    h->flags |= HudFlag::ScreenOffset;
    hudProjectPoints(h);
    EXPECT_FLOAT_EQ(h->points[1].screenX, 5);
    EXPECT_FLOAT_EQ(h->points[1].screenY, 6);
    EXPECT_FLOAT_EQ(h->points[1].depth, 4007);
    // A viewer turned a quarter about y and moved sees the point elsewhere.
    MatRotationY(90, camera->sim->matrix);
    Place(camera, 0, 0, 1000);
    h->flags &= ~HudFlag::ScreenOffset;
    hudProjectPoints(h);
    Vec3 expected;
    MatTransformPoint(expected, {0, 0, 3000}, camera->sim->matrix);
    EXPECT_NEAR(h->points[1].depth, expected.z, 1e-3);
}

TEST_P(HudProject, TheFlatMapProjectsAlongAnAxis) {
    HudFlatView = 1;
    HudFlatZoom = 2;
    struct Case {
        uint8_t axis;
        float x, y;
    } const cases[] = {{0, 3000 / 112.0f, -560 / 112.0f}, {1, 1120 / 112.0f, -3000 / 112.0f}};
    for (const Case &c : cases) {
        HudFlatAxis = c.axis;
        HUD *h = Record({{1120, -560, 3000}, {0, 0, 1}});
        hudProjectPoints(h);
        EXPECT_FLOAT_EQ(h->points[0].screenX, c.x) << int(c.axis);
        EXPECT_FLOAT_EQ(h->points[0].screenY, c.y) << int(c.axis);
        EXPECT_FLOAT_EQ(h->points[0].depth, 3000);
        // Near points are drawn in the flat view.
        EXPECT_EQ(hudDrawDefault(h), 1);
    }
    HudFlatView = 0;
}

TEST_P(HudProject, EdgesWithAnEnd2000OrNearerAreNotDrawn) {
    struct Case {
        float nearZ;
        int drawn;
    } const cases[] = {{2000, 0}, {2001, 1}, {-5000, 0}};
    for (const Case &c : cases) {
        Clear();
        HUD *h = Record({{0, 0, c.nearZ}, {1000, 0, 5000}});
        hudProjectPoints(h);
        EXPECT_EQ(hudDrawDefault(h), c.drawn) << c.nearZ;
        EXPECT_EQ(InkIn(0, 0, 639, 479) > 0, c.drawn == 1) << c.nearZ;
    }
}

TEST_P(HudProject, TheDefaultDrawingDrawsColouredEdgesAndKeepsTheBox) {
    HUD *h = Record({{-1000, 0, 10000}, {1000, 0, 10000}, {0, -1000, 10000}, {0, 1000, 10000}});
    h->edges[1].colour = 0;  // an edge without colour is not drawn
    hudProjectPoints(h);
    EXPECT_EQ(hudDrawDefault(h), 1);
    EXPECT_EQ(CountIn(C(97), 288, 240, 352, 240), 65);
    EXPECT_EQ(InkIn(320, 200, 320, 230), 0);
    EXPECT_EQ(HudBox[0], -32);
    EXPECT_EQ(HudBox[1], -32);
    EXPECT_EQ(HudBox[2], 32);
    EXPECT_EQ(HudBox[3], 32);
    // As points: the first end of each edge only.
    Clear();
    h->flags |= HudFlag::Points;
    EXPECT_EQ(hudDrawDefault(h), 1);
    EXPECT_EQ(InkIn(0, 0, 639, 479), 1);
    EXPECT_EQ(canvas.At(288, 240), C(97));
}

TEST_P(HudProject, DepthShadingDarkensTheFartherEdgesBy16) {
    HUD *h = Record({{-1000, 0, 10000}, {1000, 0, 10000}, {-1000, 100, 30000}, {1000, 100, 30000}}, 120);
    h->flags |= HudFlag::DepthCue;
    hudProjectPoints(h);
    hudDrawDefault(h);
    EXPECT_EQ(canvas.At(300, 240), C(120));
    EXPECT_EQ(canvas.At(320, 241), C(104));
}

TEST_P(HudProject, WhileTheScreenIsDisturbedEdgesBecomeScatteredStrokes) {
    HUD *h = Record({{-1000, -500, 10000}, {1000, 500, 10000}});
    hudProjectPoints(h);
    gGuiInterference = 100;
    EXPECT_EQ(hudDrawDefault(h), 0);
    // Only the first end's row, within the edge's width.
    EXPECT_EQ(InkIn(0, 0, 639, 223) + InkIn(0, 225, 639, 479), 0);
    EXPECT_EQ(InkIn(0, 224, 287, 224) + InkIn(353, 224, 639, 224), 0);
    gGuiInterference = 0;
}

TEST_P(HudProject, ARecordForALiveShipIsNotProjectedWithoutOne) {
    HUD *h = Record({{0, 0, 5000}, {10, 0, 5000}});
    h->flags |= HudFlag::LiveShip;
    hudProjectPoints(h);
    EXPECT_EQ(h->points[0].flags, 0u);
    h->target = Ship(0, 0, 5000, 10);
    hudProjectPoints(h);
    EXPECT_EQ(h->points[0].flags, 2u);
}

INSTANTIATE_TEST_SUITE_P(Depths, HudProject, testing::Values(8, 16));

}  // namespace
}  // namespace hudtest
