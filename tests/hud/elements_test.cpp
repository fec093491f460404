// The HUD's elements: their shapes, the radar sphere's fallback, the streak
// lattice's exponent, trails, the contact drawing's pointers, brackets and
// labels, the selection glide, the power-share marker, the perimeter's
// dashes, the capacity of a record, and the cockpit's set drawn over a view.
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>

#include "RES/font.h"
#include "ai/combat.h"
#include "hud_fixture.h"

namespace hudtest {
namespace {

class HudElements : public HudTest {
protected:
    // A ship with n weapons at distinct mounts.
    static SceneItem *Armed(int n, float radius = 10000) {
        SceneItem *s = Ship(0, 0, 50000, radius);
        Weapon **tail = &s->sim->weapons;
        for (int i = 0; i < n; ++i) {
            Weapon *w = dunAllocWeapon();
            w->mountCode = uint16_t(i % 4);
            w->mount = {float(i * 100), 0, 0};
            *tail = w;
            tail = &w->next;
        }
        return s;
    }
    // Colours of a record's edges with their counts.
    static std::map<int, int> Colours(const HUD *h) {
        std::map<int, int> out;
        for (int k = 0; k < h->edgeCount; ++k) ++out[h->edges[k].colour];
        return out;
    }
};

TEST_F(HudElements, ShapesHaveTheirCountsColoursLabelsAndFlags) {
    struct Case {
        const char *name;
        std::function<void(HUD *)> build;
        const char *label;
        uint32_t flags;
        int points, edges;
        std::map<int, int> colours;
    } const cases[] = {
        {"orb", [](HUD *h) { hudInitOrbSphere(h, nullptr, 0, 6500); }, "ORB", 0x40492, 128, 128,
         {{72, 16}, {141, 112}}},
        {"marker", [](HUD *h) { hudInitMarker(h, "WP", nullptr, 0); }, "WP", 0x20010, 8, 12, {{97, 12}}},
        {"lagrange", [](HUD *h) { hudInitLagrangeMarker(h, "LAGRANGE"); }, "LAGRANGE", 0x20010, 16, 15, {{97, 15}}},
        {"globe", [](HUD *h) { hudInitScriptHud(h, nullptr, 0, {0, 0, 0}, {100, 100, 100}, "G"); }, "G", 0x90, 88,
         128, {{80, 128}}},
        {"streaks", [](HUD *h) { hudInitSpeedStreaks(h, nullptr, 0); }, nullptr, 0x90, 0, 0, {}},
        {"targeting", [](HUD *h) { hudInitTargetingHud(h, nullptr, 0); }, nullptr, 0x10, 0, 0, {}},
        {"perimeter", [](HUD *h) { hudInitPerimeterBox(h, nullptr, 0); }, nullptr, 0x10, 32, 24,
         {{10, 12}, {11, 2}, {12, 2}, {13, 2}, {14, 2}, {15, 2}, {16, 1}, {17, 1}}},
        {"trail", [](HUD *h) { hudInitTrail(h, nullptr, 3); }, "TRAIL", 0x20000, 0, 0, {}},
    };
    for (const Case &c : cases) {
        HUD *h = dunAllocHUD();
        const uint32_t before = h->flags;
        c.build(h);
        EXPECT_EQ(h->label ? std::string(h->label) : "", c.label ? c.label : "") << c.name;
        EXPECT_EQ(h->flags & ~before, c.flags) << c.name;
        EXPECT_EQ(h->pointCount, c.points) << c.name;
        EXPECT_EQ(h->edgeCount, c.edges) << c.name;
        EXPECT_EQ(Colours(h), c.colours) << c.name;
    }
}

TEST_F(HudElements, TheNavigationMarkersSecondShapeShowsInTheBodiesList) {
    HUD *h = Listed();
    hudInitLagrangeMarker(h, "LAGRANGE");
    SceneItem *point = Object(0, 0, 100000);
    point->avatar->flags |= 1u << 24;
    point->avatar->waypointName = "L1";
    dunTargetingMode = 7;
    hudLagrangeFollow(h);
    EXPECT_EQ(h->target, point);
    EXPECT_STREQ(h->label, "L1");
    EXPECT_EQ(h->pointCount, 88);
    EXPECT_EQ(h->edgeCount, 135);
    EXPECT_TRUE(h->flags & HudFlag::DepthCue);
    // 15 of the arrow and ring, the funnel half below and half above.
    EXPECT_EQ(Colours(h), (std::map<int, int>{{72, 60}, {97, 15}, {141, 60}}));
    // The rings narrow upwards: r at the top, 5r at the bottom.
    EXPECT_NEAR(std::hypot(h->points[16].local.x, h->points[16].local.z), 5 * 37500, 1);
    EXPECT_NEAR(std::hypot(h->points[87].local.x, h->points[87].local.z), 37500, 1);
    dunTargetingMode = 0;
    hudLagrangeFollow(h);
    EXPECT_EQ(h->pointCount, 16);
    EXPECT_FALSE(h->flags & HudFlag::DepthCue);
}

TEST_F(HudElements, TheRadarSphereFallsBackTo8000) {
    struct Case {
        int32_t given, kept;
    } const cases[] = {{0, 8000}, {-5, 8000}, {6500, 6500}};
    for (const Case &c : cases) {
        HUD *h = dunAllocHUD();
        hudInitOrbSphere(h, nullptr, 0, c.given);
        EXPECT_EQ(h->values[0], 1000);
        EXPECT_EQ(h->values[1], 1250);
        EXPECT_EQ(h->values[2], c.kept) << c.given;
        hudOrbFollow(h);
        EXPECT_FLOAT_EQ(h->points[0].world.z, float(c.kept)) << c.given;
    }
}

TEST_F(HudElements, AViewWindowsSphereKeepsItsSizeUnderTheWeaponZoom) {
    HUD *h = dunAllocHUD();
    hudInitOrbSphere(h, nullptr, 0, 6500);
    struct Case {
        float zoom, fov, factor;
    } const cases[] = {{1, 45, 320}, {2, 45, 239.5f}, {3, 30, 239.5f}};
    for (const Case &c : cases) {
        gP3D.zoomFactor = c.zoom;
        gP3D.fieldOfView = c.fov;
        hudInViewRecord = h;
        hudProjectInView();
        EXPECT_NEAR(hudInViewFactor, c.factor, 1e-3) << c.zoom;
        EXPECT_NEAR(h->points[0].screenY, 1000 * c.factor / 6500, 1e-2) << c.zoom;
    }
    hudInViewRecord = nullptr;
}

TEST_F(HudElements, TheStreakLatticesExponentFollowsTheSpeed) {
    struct Case {
        float speed;
        bool drive;
        int exponent;
    } const cases[] = {
        {1000, false, 5},   {2e5f, false, 5},   {3e5f, false, 6},   {-3e5f, false, 6}, {2.6e6f, false, 7},
        {1e10f, false, 10}, {5e10f, false, 12}, {4.9e5f, true, 5},  {5e5f, true, 6},   {3e10f, true, 10},
        {6e10f, true, 12},
    };
    for (const Case &c : cases) EXPECT_EQ(hudStreakExponent(c.speed, c.drive), c.exponent) << c.speed << c.drive;
    // Drawing sets the spacing the radar scales by, and the coarse spacing.
    HUD *h = dunAllocHUD();
    hudInitSpeedStreaks(h, nullptr, 0);
    player->sim->speed = 3e5f;
    player->sim->velocity = {0, 0, 3e5f};
    hudDrawStreaks(h);
    EXPECT_FLOAT_EQ(hudStreakSpacing, 1e6f);
    EXPECT_FLOAT_EQ(hudStreakCoarse, 1e7f);
    EXPECT_GT(InkIn(0, 0, 639, 479), 0);
    // Standing still keeps the spacing.
    player->sim->speed = 0;
    player->sim->velocity = {0, 0, 0};
    hudDrawStreaks(h);
    EXPECT_FLOAT_EQ(hudStreakSpacing, 1e6f);
}

class HudTrail : public HudElements {
protected:
    SceneItem *ship = nullptr;
    Contact *contact = nullptr;
    HUD *trail = nullptr;
    void SetUp() override {
        HudElements::SetUp();
        ship = Ship(0, 0, 50000, 1000);
        ship->sim->speed = 10000;
        contact = &AddContact(ship);
        Drawn(ship, -10, -10, 10, 10);
        trail = Listed();
        hudInitTrail(trail, nullptr, 0);
        dunFrameStep = 33;
    }
};

TEST_F(HudTrail, ClaimsARenderedContactAndSamplesEveryInterval) {
    hudTrailSample(trail);
    EXPECT_EQ(trail->target, ship);
    EXPECT_TRUE(contact->flags & ContactFlag::Trail);
    EXPECT_EQ(trail->pointCount, 2);
    EXPECT_EQ(trail->edgeCount, 1);
    hudTrailSample(trail);
    EXPECT_EQ(trail->pointCount, 4);
    EXPECT_EQ(trail->edgeCount, 4);
    // Across the new sample, then back to the previous one's ends.
    EXPECT_EQ(trail->edges[1].from, 2);
    EXPECT_EQ(trail->edges[1].to, 3);
    EXPECT_EQ(trail->edges[2].from, 0);
    EXPECT_EQ(trail->edges[2].to, 2);
    EXPECT_EQ(trail->edges[3].from, 1);
    EXPECT_EQ(trail->edges[3].to, 3);
    EXPECT_EQ(trail->edges[2].colour, 97);
    // A second trail does not take the same contact.
    HUD *other = Listed();
    hudInitTrail(other, nullptr, 1);
    hudTrailSample(other);
    EXPECT_EQ(other->target, nullptr);
    // The interval shortens with the speed: 3 cs above 500,000, 1 above 5e6.
    struct Case {
        float speed;
        int step, samples;
    } const cases[] = {{10000, 32, 0}, {10000, 33, 1}, {600000, 9, 3}, {6e6f, 4, 4}, {4000, 33, 0}};
    for (const Case &c : cases) {
        trail->values[0] = 0;
        ship->sim->speed = c.speed;
        dunFrameStep = c.step;
        const int before = trail->ring[0];
        hudTrailSample(trail);
        EXPECT_EQ(trail->ring[0] - before, 2 * c.samples) << c.speed << " " << c.step;
    }
    // The contact leaves: the trail is emptied and gives back the flag.
    contact->flags = 0;
    hudTrailSample(trail);
    EXPECT_EQ(trail->pointCount, 0);
    EXPECT_EQ(trail->target, nullptr);
    EXPECT_FALSE(contact->flags & ContactFlag::Trail);
}

TEST_F(HudTrail, TheRingsWrapWithinTheRecord) {
    hudTrailSample(trail);
    ++dunFrameCounter;  // no longer rendered: nothing fades
    for (int i = 0; i < 400; ++i) {
        hudTrailSample(trail);
        ASSERT_LE(trail->pointCount, kHudPoints);
        ASSERT_LE(trail->edgeCount, kHudEdges);
        ASSERT_LE(trail->ring[0] + 1, kHudPoints - 1);
        ASSERT_LE(trail->ring[1], kHudEdges - 1);
    }
    // Points restart when three more would pass 249: 248 is never used.
    EXPECT_EQ(trail->pointCount, 248);
    // Edges restart when five more would pass 349: the last sample before
    // wrapping ends at 346.
    EXPECT_EQ(trail->edgeCount, 346);
    for (int k = 0; k < trail->edgeCount; ++k) {
        ASSERT_LT(trail->edges[k].from, 248);
        ASSERT_LT(trail->edges[k].to, 248);
    }
}

TEST_F(HudTrail, EdgesFadeOnFramesWhoseEdgeCursorIsAMultipleOf9AndFadedOnesDrop) {
    for (int i = 0; i < 3; ++i) hudTrailSample(trail);
    ASSERT_EQ(trail->edgeCount, 7);
    ship->sim->speed = 0;  // no more samples
    struct Case {
        int16_t cursor;
        int colour;
    } const cases[] = {{7, 97}, {9, 96}, {10, 96}, {18, 95}, {0, 94}};
    for (const Case &c : cases) {
        trail->ring[1] = c.cursor;
        hudTrailSample(trail);
        EXPECT_EQ(trail->edges[0].colour, c.colour) << c.cursor;
    }
    // Not rendered: no fading.
    trail->ring[1] = 9;
    ++dunFrameCounter;
    hudTrailSample(trail);
    EXPECT_EQ(trail->edges[0].colour, 94);
    Drawn(ship, -10, -10, 10, 10);
    // The band's base is 80: the newest edges fade first to it...
    trail->edges[6].colour = 81;
    trail->edges[5].colour = 81;
    hudTrailSample(trail);
    EXPECT_EQ(trail->edgeCount, 5);
    // ...and the rest follow.
    for (int i = 0; i < 20; ++i) hudTrailSample(trail);
    EXPECT_EQ(trail->edgeCount, 0);
    EXPECT_FALSE(trail->flags & HudFlag::DepthCue);
}

class HudTargeting : public HudElements {
protected:
    HUD *hud = nullptr;
    void SetUp() override {
        HudElements::SetUp();
        hud = Listed();
        hudInitTargetingHud(hud, nullptr, 0);
        player->sim->shipInfo = nullptr;  // no fire-control marks
    }
};

// A sub-target of the goal lies out of reach past the sub-target range; a
// cursor on another object, or no goal, says nothing against firing.
TEST_F(HudElements, TheSubTargetRangeJudgesTheGoalsDistance) {
    SceneItem *goal = Ship(0, 0, 300000, 1000), *other = Ship(0, 0, 1000, 1000);
    const float range = gHudRange;
    gHudRange = 400000;
    const struct {
        double z;
        SceneItem *cursorOn;
        bool hasGoal;
        uint8_t out;
    } cases[] = {{300000, goal, true, 0}, {500000, goal, true, 1}, {500000, other, true, 0}, {500000, goal, false, 0}};
    for (const auto &c : cases) {
        goal->sim->position = {0, 0, c.z};
        player->sim->goal = c.hasGoal ? goal : nullptr;
        dunSubTargetOwner = c.cursorOn;
        dunSubTargetOutOfRange = 0xFF;
        hudSubTargetStep();
        EXPECT_EQ(dunSubTargetOutOfRange, c.out) << c.z;
    }
    dunSubTargetOwner = nullptr;
    player->sim->goal = nullptr;
    gHudRange = range;
}

TEST_F(HudTargeting, OnlyTheSelectedContactBehindTheCameraGetsAPointerAtTheOppositeEdge) {
    SceneItem *behind = Ship(5000, 0, -20000, 100);
    SceneItem *other = Ship(-5000, 0, -20000, 100);
    AddContact(other);
    dunCurrentContact = &AddContact(behind);
    hudDrawTargeting(hud);
    // Behind and to the right: mirrored through the camera it would point
    // left, so the pointer is at the opposite, right edge.
    EXPECT_GT(CountIn(C(97), 619, 200, 639, 280), 0);
    EXPECT_EQ(InkIn(0, 0, 618, 479), 0);
    // Not selected: nothing at all.
    Clear();
    dunCurrentContact = nullptr;
    hudDrawTargeting(hud);
    EXPECT_EQ(InkIn(0, 0, 639, 479), 0);
    // Selected and ahead but off screen to the left: at the left edge.
    Place(behind, -500000, 0, 20000);
    dunCurrentContact = &dunContacts[1];
    hudDrawTargeting(hud);
    EXPECT_GT(CountIn(C(97), 0, 200, 20, 280), 0);
    EXPECT_EQ(InkIn(21, 0, 639, 479), 0);
}

TEST_F(HudTargeting, BracketsHaveCornersOfAtMost6AQuarterOfTheBox) {
    struct Case {
        int16_t l, t, r, b;  // as the renderer drew it
        int corner;
    } const cases[] = {{-50, -50, 50, 50, 6}, {-6, -30, 6, 30, 5}, {-2, -2, 2, 2, 3}};
    for (const Case &c : cases) {
        Clear();
        std::memset(dunContacts, 0, sizeof dunContacts);
        SceneItem *s = Ship(0, 0, 100000, 100);
        AddContact(s, 0, 0, 100000);
        Drawn(s, c.l, c.t, c.r, c.b);
        hudDrawTargeting(hud);
        // The top-left corner, 4 pixels out, colour 97 - 2: the horizontal
        // stroke holds corner + 1 pixels, the vertical one corner more.
        const int x = 320 + c.l - 4, y = 240 + c.t - 4;
        EXPECT_EQ(CountIn(C(95), x, y, x + 7, y), c.corner + 1) << c.corner;
        EXPECT_EQ(CountIn(C(95), x, y + 1, x, y + 7), c.corner) << c.corner;
    }
}

TEST_F(HudTargeting, RangeAndHullLabels) {
    // A font whose digits are 5 high and whose 'K' is 7 high, all 1 wide with
    // an advance of 3.
    static uint8_t ink[7] = {1, 1, 1, 1, 1, 1, 1};
    static Surface digit{ink, 1, 5, 0, 5, 1, 1}, k{ink, 1, 7, 0, 7, 1, 1};
    static BitmapFont font{};
    for (int ch = '0'; ch <= '9'; ++ch) font.glyph[ch] = &digit, font.advance[ch] = 3;
    font.glyph['K'] = &k, font.advance['K'] = 3;
    font.lineHeight = 8;
    HudFont = &font;
    struct Case {
        float range;  // from the object's centre; the radius is 100000
        bool target;
        int left, leftGlyphs, tall, hullGlyphs;
    } const cases[] = {
        {100000 + 37 * 100000.0f, false, 12, 2, 0, 0},     // "37"
        {100000 + 1500 * 100000.0f, true, 26, 3, 2, 2},    // "2KK", hull "75"
        {100000 + 60 * 100000.0f, false, 0, 0, 0, 0},      // 50 or more: no label
        {100000 + 999 * 100000.0f, true, 12, 3, 0, 2},     // "999"
    };
    for (const Case &c : cases) {
        Clear();
        std::memset(dunContacts, 0, sizeof dunContacts);
        SceneItem *s = Ship(0, 0, 1e7, 100000);
        s->sim->shipInfo->damage.maximum = 400;
        s->sim->shipInfo->damage.damage = 100;
        AddContact(s, 0, 0, c.range);
        dunWeaponTarget = c.target ? s : nullptr;
        Drawn(s, -20, -20, 20, 20);
        hudDrawTargeting(hud);
        // Box from -24 to 24 round the centre; labels on the line my + 4.
        const int boxLeft = 320 - 24, boxRight = 320 + 24, base = 240 + 4;
        auto glyphs = [&](int x0, int x1, int row) {
            int n = 0;
            for (int x = x0; x <= x1; ++x) n += canvas.At(x, row) != 0;
            return n;
        };
        EXPECT_EQ(glyphs(0, boxLeft - 1, base - 1), c.leftGlyphs) << c.range;
        EXPECT_EQ(glyphs(0, boxLeft - 1, base - 7), c.tall) << c.range;
        if (c.leftGlyphs) {
            EXPECT_NE(canvas.At(boxLeft - c.left, base - 1), 0u) << c.range;
        }
        EXPECT_EQ(glyphs(boxRight + 1, 639, base - 1), c.hullGlyphs) << c.range;
        if (c.hullGlyphs) {
            EXPECT_NE(canvas.At(boxRight + 7, base - 1), 0u) << c.range;
        }
    }
}

TEST_F(HudElements, TheSelectionGlidesHalfwayAndStopsWithin2Pixels) {
    int16_t box[4] = {0, 0, 0, 0};
    hudAnimateSelection(box);  // last drawn at the origin
    dunTargetSelected = 1;
    const int16_t expected[] = {50, 75, 87, 93, 96, 98};
    for (int16_t x : expected) {
        ASSERT_TRUE(dunTargetSelected);
        int16_t goal[4] = {100, 100, 100, 100};
        hudAnimateSelection(goal);
        EXPECT_EQ(goal[0], x);
    }
    EXPECT_FALSE(dunTargetSelected);
    int16_t goal[4] = {100, 100, 100, 100};
    hudAnimateSelection(goal);
    EXPECT_EQ(goal[0], 100);
}

TEST_F(HudElements, ThePowerShareMarkersColourTellsWhichShareLeads) {
    struct Case {
        float a, b, c;
        int colour;
    } const cases[] = {{1, 0, 0, 131}, {0.75f, 0.25f, 0, 137}, {0, 0, 1, 63}, {0, 0.75f, 0.25f, 103},
                       {0, 1, 0, 95},  {0.34f, 0.33f, 0.33f, 79}, {0.5f, 0.5f, 0, 79}};
    for (const Case &c : cases) EXPECT_EQ(hudPowerTriangleColour(c.a, c.b, c.c), c.colour) << c.a << c.b << c.c;
    // All of A: the mark's tip at the first corner (0, -0.9 size).
    dunPowerShares[0] = 1;
    hudDrawPowerTriangle(100, 320, 240);
    EXPECT_EQ(canvas.At(320, 150), C(131));
    EXPECT_EQ(canvas.At(320, 161), C(131));
    EXPECT_EQ(InkIn(0, 0, 639, 149), 0);
}

TEST_F(HudElements, ThePerimetersDashesRunAlongTheSidesEvery80Centiseconds) {
    HUD *h = Listed();
    hudInitPerimeterBox(h, nullptr, 0);
    dunFrameStep = 10;
    struct Case {
        int clock;
        float from, to;  // fractions of the first side
    } const cases[] = {{0, 0, 0}, {20, 0, 0.375f}, {40, 0.25f, 0.75f}, {60, 0.625f, 1}, {80, 0, 0}, {130, 0.4375f, 0.9375f}};
    for (const Case &c : cases) {
        h->values[0] = c.clock - dunFrameStep;
        hudDrawPerimeter(h);
        EXPECT_NEAR(h->points[8].world.x, -1.5e6f + 3e6f * c.from, 1) << c.clock;
        EXPECT_NEAR(h->points[9].world.x, -1.5e6f + 3e6f * c.to, 1) << c.clock;
        EXPECT_FLOAT_EQ(h->points[8].world.z, -1.3e6f);
    }
}

TEST_F(HudElements, ConstructorsStayWithinTheRecord) {
    dunCurrentContact = &AddContact(player);
    struct Case {
        const char *name;
        void (*build)(HUD *, SceneItem *, uint32_t);
        int weapons, points, edges;
    } const cases[] = {
        {"mounts 3", hudInitMountMarkers, 3, 33, 24},
        {"mounts 40", hudInitMountMarkers, 40, 22 * 11, 22 * 8},
        {"arcs 3", hudInitWeaponArcs, 3, 27, 36},
        {"arcs 40", hudInitWeaponArcs, 40, 27 * 9, 27 * 12},
    };
    for (const Case &c : cases) {
        HUD *h = dunAllocHUD();
        HUD *next = h + 1;
        const HUD untouched = *next;
        c.build(h, Armed(c.weapons), 0);
        EXPECT_EQ(h->pointCount, c.points) << c.name;
        EXPECT_EQ(h->edgeCount, c.edges) << c.name;
        for (int k = 0; k < h->edgeCount; ++k) {
            ASSERT_LT(h->edges[k].from, h->pointCount) << c.name;
            ASSERT_LT(h->edges[k].to, h->pointCount) << c.name;
        }
        EXPECT_EQ(std::memcmp(next, &untouched, sizeof untouched), 0) << c.name;
        h->flags &= ~HudFlag::InUse;
    }
    // Crosses: the model's byte count is held to the points it has.
    SceneItem *s = Armed(0);
    CollisionModel *cm = dunAllocCollisionModel();
    s->avatar->root->collision = cm;
    for (int8_t count : {int8_t(3), int8_t(127), int8_t(-1)}) {
        cm->pointCount = count;
        HUD *h = dunAllocHUD();
        hudInitCrossHud(h, s, 0);
        const int expected = count == 3 ? 3 : 16;
        EXPECT_EQ(h->pointCount, 4 * expected) << int(count);
        EXPECT_EQ(Colours(h), (std::map<int, int>{{162, 2 * expected}})) << int(count);
        h->flags &= ~HudFlag::InUse;
    }
    // Without a selected contact mount markers and arcs have nothing.
    dunCurrentContact = nullptr;
    HUD *h = dunAllocHUD();
    hudInitMountMarkers(h, Armed(2), 0);
    EXPECT_EQ(h->pointCount, 0);
}

TEST_F(HudElements, AGnomonWithoutATargetWaitsForARebuild) {
    HUD *h = Listed();
    hudInitGnomon(h, nullptr, 7);
    EXPECT_STREQ(h->label, "GNOMON");
    EXPECT_EQ(h->pointCount, 0);
    EXPECT_EQ(h->draw, nullptr);
    EXPECT_FALSE(h->flags & HudFlag::LiveShip);
    SceneItem *s = Ship(0, 0, 100000, 2000);
    h->rebuild(h, s, h->parameter);
    EXPECT_EQ(h->pointCount, 6);
    EXPECT_EQ(h->edgeCount, 6);
    EXPECT_TRUE(h->flags & HudFlag::LiveShip);
    EXPECT_FLOAT_EQ(h->points[0].local.z, 2000);
    // Drawn at 8 times the radius while the model is not rendered.
    hudOpen = 1;
    hudDrawOne(h);
    EXPECT_FLOAT_EQ(h->points[0].local.z, 16000);
    EXPECT_GT(InkIn(0, 0, 639, 479), 0);
}

TEST_F(HudElements, ATargetOutlineWithoutATargetedVolumeHasNoPoints) {
    SceneItem *s = Ship(0, 0, 100000, 2000);
    CollisionModel *cm = dunAllocCollisionModel();
    s->avatar->root->collision = cm;
    // The pools free the model's volumes.
    HitBox &box = *static_cast<HitBox *>(std::calloc(1, sizeof(HitBox)));
    box = HitBox{{100, 100, 100}, {-100, -100, -100}, nullptr, 0x100};
    cm->boxes = &box;
    HUD *h = Listed();
    hudInitTargetOutline(h, s, 0);
    EXPECT_EQ(h->pointCount, 0);
    // Targeted: its box, then gliding halfway to a new one.
    dunCurrentSubTarget = &box;
    hudInitTargetOutline(h, s, 0);
    ASSERT_EQ(h->pointCount, 8);
    EXPECT_FLOAT_EQ(h->points[7].local.x, 100);
    box.upper = {300, 300, 300};
    hudOutlineFollow(h);
    EXPECT_FLOAT_EQ(h->points[7].local.x, 200);
    EXPECT_FLOAT_EQ(h->points[0].local.x, -100);
}

TEST_F(HudElements, OffScreenPointersMeetTheRectangle) {
    struct Case {
        float x, y;
        bool bySigns;
        int side;
        float ex, ey;
    } const cases[] = {
        {400, 0, false, 2, 300, 0},     {-800, 100, false, 0, -300, 37.5f}, {100, -500, false, 1, 40, -200},
        {0, 900, false, 3, 0, 200},     {30, 10, true, 2, 300, 100},       {-10, 30, true, 3, -66.667f, 200},
    };
    for (const Case &c : cases) {
        float x = c.x, y = c.y;
        const int side = c.bySigns ? hudClipBySigns(&x, &y, -300, -200, 300, 200) : hudClipToRect(&x, &y, -300, -200, 300, 200);
        EXPECT_EQ(side, c.side) << c.x << "," << c.y;
        EXPECT_NEAR(x, c.ex, 1e-3) << c.x << "," << c.y;
        EXPECT_NEAR(y, c.ey, 1e-3) << c.x << "," << c.y;
    }
}

// The cockpit's set as a mission builds it, over the whole view: the
// contacts' brackets and the streaks of a moving ship show.
TEST_F(HudElements, TheCockpitSetDrawsOverTheView) {
    hudCreateCockpitSet();
    EXPECT_EQ(hudCount, 16);
    for (HUD *orb : hudOrbSpheres) ASSERT_NE(orb, nullptr);
    player->sim->speed = 3e5f;
    player->sim->velocity = {0, 0, 3e5f};
    for (int i = 0; i < 5; ++i) {
        SceneItem *s = Ship(i * 20000.0 - 40000, 0, 200000, 1000);
        AddContact(s, 0, 0x80, 200000);
        Drawn(s, int16_t(i * 32 - 74), -10, int16_t(i * 32 - 54), 10);
    }
    for (int i = 0; i < 12; ++i) hudDrawAll();
    ASSERT_EQ(hudOpen, 1);
    Clear();
    hudDrawAll();
    // Brackets of the contacts (133 - 2) round the centre; at 300,000 the
    // streaks take the band from 176.
    EXPECT_GE(CountIn(C(131), 200, 200, 440, 280), 5 * 52);
    int streaks = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) streaks += canvas.At(x, y) >= 178 && canvas.At(x, y) <= 198;
    EXPECT_GT(streaks, 100);
    hudClearList();
}

}  // namespace
}  // namespace hudtest
