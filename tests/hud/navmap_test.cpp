// The navigation map: clipping, the face-on ring, zoom limits, the star
// flight's clamps, picks, lanes by mission number, open and close.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "gui/gui.h"
#include "hud/maps.h"
#include "world/mission_state.h"
#include "world/universe.h"

namespace {

class NavMap : public testing::Test {
protected:
    void SetUp() override {
        NavMapReset();
        std::memset(dunStars, 0, sizeof dunStars);
        dunNamedStarCount = 0;
        dunStarMap.mode = 'G';
        dunStarMap.starFilter = 0x82;
    }
    void TearDown() override {
        NavMapReset();
        std::memset(dunStars, 0, sizeof dunStars);
        dunNamedStarCount = 0;
        gStarMapOpen = gSolarMapOpen = gGalaxyMapOpen = gMapOverlayOpen = 0;
        gMapRealView = 1;
        dunTargetLpBody = nullptr;
    }
    StarRecord &Star(int i, uint8_t system, float x = 0, float y = 0) {
        StarRecord &s = dunStars[i];
        std::snprintf(s.name, sizeof s.name, "S%i", i);
        s.namePointer = s.name;
        s.system = system;
        s.flags = 0x80;
        s.mapScratch[0] = x;
        s.mapScratch[1] = y;
        if (dunNamedStarCount <= i) dunNamedStarCount = uint16_t(i + 1);
        return s;
    }
};

TEST_F(NavMap, OutcodesAndClipping) {
    const struct {
        float x, y;
        int code;
    } codes[] = {{5, 5, 0}, {-1, 5, 1}, {11, 5, 2}, {5, -1, 4}, {5, 11, 8}, {-1, -1, 5}, {11, 11, 10}};
    for (const auto &c : codes) EXPECT_EQ(NavMapOutcode(c.x, c.y, 0, 0, 10, 10), c.code) << c.x << "," << c.y;
    // Both ends beyond one edge: rejected.
    float x0 = -5, y0 = 2, x1 = -1, y1 = 8;
    EXPECT_FALSE(NavMapClipLine(&x0, &y0, &x1, &y1, 0, 0, 10, 10));
    // Crossing the left and the bottom edge: the bottom cut wins for the
    // outer end.
    x0 = -10, y0 = 20, x1 = 5, y1 = 5;
    ASSERT_TRUE(NavMapClipLine(&x0, &y0, &x1, &y1, 0, 0, 10, 10));
    EXPECT_FLOAT_EQ(y0, 10.0f);
    EXPECT_FLOAT_EQ(x0, 0.0f);
    EXPECT_FLOAT_EQ(x1, 5.0f);
}

TEST_F(NavMap, NearPlane) {
    float x0 = 1, y0 = 1, x1 = 2, y1 = 2;
    EXPECT_FALSE(NavMapClipNear({0, 0, 1e6}, {0, 0, 5e6}, &x0, &y0, &x1, &y1, 100.0, 0, 0));
    EXPECT_TRUE(NavMapClipNear({0, 0, 2e7}, {0, 0, 3e7}, &x0, &y0, &x1, &y1, 100.0, 0, 0));
    EXPECT_EQ(x1, 2.0f);
    // The behind end moves to the crossing, projected at the near plane.
    ASSERT_TRUE(NavMapClipNear({2e7, 0, 2e7}, {0, 0, 0}, &x0, &y0, &x1, &y1, 100.0, 10, 20));
    EXPECT_NEAR(x1, 100.0 * 1e7 / 1e7 + 10, 1e-3);
    EXPECT_NEAR(y1, 20.0f, 1e-3);
}

TEST_F(NavMap, AFaceOnRingKeepsItsBrightness) {
    EXPECT_FLOAT_EQ(NavMapRingShade(5.0f, 5.0f, 5.0f, 0.7f), 0.7f);
    EXPECT_FLOAT_EQ(NavMapRingShade(10.0f, 0.0f, 10.0f, 1.0f), 0.5f);
    EXPECT_FLOAT_EQ(NavMapRingShade(0.0f, 0.0f, 10.0f, 1.0f), 1.0f);
}

TEST_F(NavMap, ZoomLimits) {
    NavMapCamera &c = gNavMap.camera;
    const struct {
        char mode;
        bool out;
        double from, to;
    } rows[] = {{'G', true, 1.1e17, 1.2e17}, {'G', true, 1e16, 1.8e16}, {'G', false, 2e15, 1.8e15},
                {'S', true, 3e14, 4e14},     {'S', false, 5e8, 4e8},      {'G', true, 1.3e17, 1.3e17}};
    for (const auto &r : rows) {
        dunStarMap.mode = r.mode;
        c.distance = r.from;
        c.height = 1.0;
        r.out ? NavMapZoomOut(nullptr) : NavMapZoomIn(nullptr);
        EXPECT_DOUBLE_EQ(c.distance, r.to) << r.mode << r.from;
    }
    // Not during a flight.
    c.flying = 1;
    c.distance = 1e16;
    NavMapZoomOut(nullptr);
    EXPECT_DOUBLE_EQ(c.distance, 1e16);
}

TEST_F(NavMap, FlyingToAStarFromCloseBy) {
    StarRecord &s = Star(0, 1);
    s.x = 1e15f;
    NavMapCamera &c = gNavMap.camera;
    c.eye = {0, 0, 0};
    NavMapFlyToStar(&s);
    const Vec3d off = {c.targetEye.x - s.x, c.targetEye.y - s.y, c.targetEye.z - s.z};
    EXPECT_NEAR(std::sqrt(off.x * off.x + off.y * off.y + off.z * off.z), 3.5e16, 1e12);
    EXPECT_LE(std::fabs(off.y), 0.5 * 0.18 * 2e16 + 1);
    EXPECT_EQ(c.timeLeft, 500);
    // The flight ends in mode G with the camera at its target.
    for (int i = 0; i < 10; ++i) NavMapCameraStep(100);
    EXPECT_FALSE(c.flying);
}

TEST_F(NavMap, PicksTieToTheEarlierStarAndHonourTheFilter) {
    Star(0, 1, 10, 10);
    Star(1, 2, 14, 10);
    Star(2, 3, 12, 12).flags = 0x4;  // filtered out, and nearest
    EXPECT_EQ(NavMapPickStar(12, 10), &dunStars[0]);
    EXPECT_EQ(NavMapPickStar(5000, 5000), nullptr);
}

TEST_F(NavMap, LagrangePointsCountAQuarterInBodyPicks) {
    static char planet[] = "P", point[] = "L";
    BodyRecord bodies[2] = {};
    bodies[0].name = planet;
    bodies[0].flags = BodyFlag::Planet;
    bodies[1].name = point;
    bodies[1].flags = BodyFlag::Lagrange;
    dunStarMap.entryCount = 2;
    dunStarMap.entries[0] = NavMapBodyEntry{{}, &bodies[0], 100, 100, 1};
    dunStarMap.entries[1] = NavMapBodyEntry{{}, &bodies[1], 140, 100, 1};
    EXPECT_EQ(NavMapPickBody(110, 100), 1);  // 30 / 4 < 10
    EXPECT_EQ(NavMapPickBody(102, 100), 0);
    dunStarMap.entryCount = 0;
}

TEST_F(NavMap, LanesByMissionNumber) {
    // One star for each system 1..25; stars 116, 9 and 84 stand for the
    // systems 15, 6 and 3.
    for (int sys = 1; sys <= 25; ++sys) Star(sys == 15 ? 116 : sys == 6 ? 9 : sys == 3 ? 84 : 200 + sys, uint8_t(sys));
    EXPECT_EQ(NavMapBuildLanes(40), 31);
    // Before 33 star 9 (system 6) is out: (9,6) (6,1) (6,3).
    EXPECT_EQ(NavMapBuildLanes(30), 31 - 3);
    // Before 20 star 84 too: (3,4).
    EXPECT_EQ(NavMapBuildLanes(19), 31 - 4);
    // Before 14 star 116 too: (15,11).
    EXPECT_EQ(NavMapBuildLanes(13), 31 - 5);
    EXPECT_FALSE(dunStars[116].flags & 0x10);
}

TEST_F(NavMap, OpeningAndClosingSetTheVisibilityBytes) {
    dunUniverseCreated = 1;
    gObjectivesOpen = 1;
    NavMapOpenClose(0);
    EXPECT_TRUE(gStarMapOpen);
    EXPECT_TRUE(gGalaxyMapOpen);
    EXPECT_FALSE(gSolarMapOpen);
    EXPECT_FALSE(gMapRealView);
    EXPECT_FALSE(gObjectivesOpen);
    NavMapOpenClose(0);
    EXPECT_FALSE(gStarMapOpen || gGalaxyMapOpen || gSolarMapOpen);
    EXPECT_TRUE(gMapRealView);
    // The overlay toggle closes the map first.
    NavMapOpenClose(0);
    NavMapToggle();
    EXPECT_FALSE(gStarMapOpen);
    EXPECT_TRUE(gMapOverlayOpen);
    EXPECT_FALSE(gMapRealView);
    EXPECT_TRUE(NavMapCloseOverlay(0));
    EXPECT_TRUE(gMapRealView);
    dunUniverseCreated = 0;
}

TEST_F(NavMap, DestinationCyclesThroughTheSystemsLagrangePoints) {
    dunBodies.clear();
    static char a[] = "A", b[] = "B", c[] = "C", root[] = "Root";
    dunBodies.resize(4);
    dunBodies[0].id = 100, dunBodies[0].name = root;
    dunBodies[1].id = 101, dunBodies[1].name = a, dunBodies[1].flags = BodyFlag::Lagrange;
    dunBodies[2].id = 102, dunBodies[2].name = b;
    dunBodies[3].id = 103, dunBodies[3].name = c, dunBodies[3].flags = BodyFlag::Lagrange;
    StarRecord &s = Star(0, 2);
    s.flags = 0;
    dunStarMap.selectedStar = &s;
    NavMapSelectDestination(nullptr);
    EXPECT_EQ(dunTargetLpBody, &dunBodies[1]);
    EXPECT_EQ(dunTargetLpStar, 2);
    NavMapSelectDestination(nullptr);
    EXPECT_EQ(dunTargetLpBody, &dunBodies[3]);
    NavMapSelectDestination(nullptr);
    EXPECT_EQ(dunTargetLpBody, &dunBodies[1]);
    dunStarMap.selectedStar = nullptr;
    dunBodies.clear();
}

// In solar mode the destination's system is the focused Lagrange point's
// own: index 99 of system 2 (id 199) stays in system 2.
TEST_F(NavMap, ALagrangePointAtIndex99StaysInItsSystem) {
    dunBodies.clear();
    static char name[] = "Far L5";
    dunBodies.resize(1);
    dunBodies[0].id = 199;
    dunBodies[0].name = name;
    dunBodies[0].flags = BodyFlag::Lagrange;
    dunStarMap.mode = 'S';
    dunStarMap.entryCount = 1;
    dunStarMap.entries[0].body = &dunBodies[0];
    gNavMap.focusEntry = 0;
    dunStarMap.selectedStar = &Star(0, 2);
    NavMapSelectDestination(nullptr);
    EXPECT_EQ(dunTargetLpBody, &dunBodies[0]);
    EXPECT_EQ(dunTargetLpStar, 2);
    dunStarMap.entryCount = 0;
    dunStarMap.selectedStar = nullptr;
    dunStarMap.mode = 'G';
    dunBodies.clear();
}

}  // namespace
