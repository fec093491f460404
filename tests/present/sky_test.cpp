// The star field and the sky: star counts and brightness, stars behind the
// viewer, the streak counter shared by several views, the points and
// streaks each move draws, 8-bit blending and the 16-bit pass-over; the
// sky tables, the palette ramps, system 26, the sky sphere's brightness
// steps, and backdrops loaded from sphere and grid files.
#include <cmath>
#include <cstring>

#include "common/temp_dir.h"
#include "core/options.h"
#include "p3d_fixture.h"
#include "present/frame_passes.h"
#include "present/sky/sky.h"
#include "present/sky/stars.h"
#include "shape_files.h"

using namespace presenttest;

namespace {

constexpr float kIdentity[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

class Stars : public P3DTest {
protected:
    void SetUp() override { Start(8, false); }
    void TearDown() override {
        if (buffer) VtPixelmapFree(buffer);
        optNoStreaks = 0;
        P3DTest::TearDown();
    }
    // A 64 x 48 colour buffer of the depth, its origin at the middle, filled
    // with the colour.
    void Buffer(int depth, uint32_t fill) {
        if (buffer) VtPixelmapFree(buffer);
        buffer = VtPixelmapAllocate(depth == 8 ? VT_PMT_INDEX_8 : VT_PMT_RGB_565, 64, 48, nullptr, 0);
        buffer->origin_x = 32;
        buffer->origin_y = 24;
        VtPixelmapFill(buffer, fill);
        this->depth = depth;
    }
    uint32_t At(int x, int y) { return VtPixelmapPixelGet(buffer, x, y); }
    int Lit(uint32_t background) {
        int n = 0;
        for (int y = -24; y < 24; ++y)
            for (int x = -32; x < 32; ++x) n += At(x, y) != background;
        return n;
    }
    // Star i seen at the screen pixel (x, y) with a projection scale of 100.
    static void Place(int i, float x, float y, uint8_t brightness) {
        // A little inside the pixel, so that rounding cannot move it.
        x += x < 0 ? -0.3f : 0.3f;
        y += y < 0 ? -0.3f : 0.3f;
        const float l = std::sqrt(x * x + y * y + 100 * 100);
        gStars.direction[i][0] = x / l * kStarDistance;
        gStars.direction[i][1] = y / l * kStarDistance;
        gStars.direction[i][2] = 100 / l * kStarDistance;
        gStars.brightness[i] = brightness;
        gStars.rampBase[i] = kStarRampBase;
    }
    // One pass that draws streaks: the star was last at (px, py).
    void Streak(float x, float y, int px, int py, uint8_t brightness) {
        gStars.count = 1;
        Place(0, x, y, brightness);
        gStars.previous[0][0] = float(px);
        gStars.previous[0][1] = float(py);
        gStars.previouslyVisible[0] = 1;
        gStarStreakCounter = 1;
        P3DDrawStarsInto(buffer, kIdentity, 100, depth);
    }
    vt_pixelmap *buffer = nullptr;
    int depth = 8;
};

TEST_F(Stars, TheListHoldsAtMost1200AndRandomStarsAreFarAndCrowdTheMiddlePlane) {
    struct Case {
        int asked, kept;
    } cases[] = {{5000, 1200}, {1201, 1200}, {1200, 1200}, {300, 300}, {0, 0}, {-7, 0}};
    for (const Case &c : cases) {
        P3DGenerateStarfield(c.asked);
        EXPECT_EQ(gStars.count, c.kept) << c.asked;
    }
    // A larger list after a smaller one stays inside the arrays.
    P3DGenerateStarfield(10);
    P3DGenerateStarfield(1200);
    int nearPlane = 0;
    for (int i = 0; i < gStars.count; ++i) {
        const float *d = gStars.direction[i];
        EXPECT_NEAR(std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]), kStarDistance, kStarDistance * 1e-3f);
        EXPECT_GE(gStars.brightness[i], 8);
        EXPECT_LE(gStars.brightness[i], 36);
        EXPECT_EQ(gStars.rampBase[i], 16);
        nearPlane += std::fabs(d[1]) < 0.26f * kStarDistance;  // within 15 degrees
    }
    // Evenly spread, a quarter of the sky lies that near the plane; the
    // list crowds over half of its stars there.
    EXPECT_GT(nearPlane, 1200 / 2);
    // An empty list draws nothing.
    Buffer(8, 16);
    P3DGenerateStarfield(0);
    gStarStreakCounter = 3;
    P3DDrawStarsInto(buffer, kIdentity, 100, 8);
    EXPECT_EQ(Lit(16), 0);
}

const P3DCatalogueStar kCatalogue[] = {
    {0, 0, 5, 12, 0x100},    // record 0 is never a star of the sky
    {3, 0, 4, 12, 0x100},    // brightness 8
    {0, 9, 0, 15, 0x000},    // not seen in the sky
    {0, 0, -2, 21, 0x101},   // brightness 32
};
bool ReadCatalogue(int index, P3DCatalogueStar *out) {
    if (index >= int(std::size(kCatalogue))) return false;
    *out = kCatalogue[index];
    return true;
}

TEST_F(Stars, CatalogueStarsTakeTheirSeenRecordsAndBrightnessFromMagnitude) {
    P3DGenerateStarfieldFrom(1200, ReadCatalogue);
    ASSERT_EQ(gStars.count, 2);
    EXPECT_EQ(gStars.brightness[0], 8);
    EXPECT_EQ(gStars.brightness[1], 32);
    EXPECT_GT(gStars.direction[0][0], 0.5f * kStarDistance);
    EXPECT_LT(gStars.direction[1][2], -0.9f * kStarDistance);
    // In between, the brightness climbs with the magnitude value.
    int last = 0;
    for (float m = 12; m <= 21; m += 0.5f) {
        EXPECT_GE(P3DStarBrightness(m), last) << m;
        last = P3DStarBrightness(m);
    }
    P3DGenerateStarfieldFrom(1, ReadCatalogue);
    EXPECT_EQ(gStars.count, 1) << "the list stops when full";
}

TEST_F(Stars, OnlyStarsAheadOfTheViewerAreDrawn) {
    Buffer(8, 16);
    gStars.count = 4;
    Place(0, 5, 3, 20);
    const float others[3][3] = {{kStarDistance, 0, 0}, {0, 0, -kStarDistance}, {0.1f, 0.1f, -kStarDistance}};
    for (int i = 1; i < 4; ++i) {
        // In the view plane, and behind.
        std::memcpy(gStars.direction[i], others[i - 1], sizeof others[0]);
        gStars.brightness[i] = 20;
        gStars.rampBase[i] = 16;
    }
    gStarStreakCounter = 5;
    P3DDrawStarsInto(buffer, kIdentity, 100, 8);
    EXPECT_EQ(Lit(16), 1);
    EXPECT_EQ(At(5, 3), 16u + 20);
    EXPECT_EQ(gStars.visible[1] | gStars.visible[2] | gStars.visible[3], 0);
}

TEST_F(Stars, WithSeveralViewsOnlyTheLastDrawsStreaks) {
    // Two views open: the counter is set to 2 before they are drawn.
    struct Case {
        uint16_t counter;
        bool streaks[3];
    } cases[] = {{2, {false, true, false}}, {1, {true, false, false}}, {0, {false, false, false}}};
    for (const Case &c : cases) {
        gStarStreakCounter = c.counter;
        for (bool streaks : c.streaks) {
            Buffer(8, 16);
            gStars.count = 1;
            Place(0, 10, 0, 30);
            gStars.previous[0][0] = 0;
            gStars.previous[0][1] = 0;
            gStars.previouslyVisible[0] = 1;
            P3DDrawStarsInto(buffer, kIdentity, 100, 8);
            // A streak from (0, 0) to (10, 0) lights a line; a point, one pixel.
            EXPECT_EQ(Lit(16) > 1, streaks) << "counter " << c.counter;
        }
    }
    EXPECT_EQ(gStarStreakCounter, uint16_t(0 - 3)) << "the counter wraps at 16 bits";
}

TEST_F(Stars, AStarThatMovedDrawsAPointBothEndsOrALine) {
    struct Case {
        float x, y;
        int px, py;
        int lit;
        bool previousLit;
    } cases[] = {
        {4.4f, 2.2f, 4, 2, 1, false},   // less than a pixel
        {5, 2, 4, 1, 2, true},          // two in all: both ends
        {12, 2, 4, 2, 9, true},         // a line
    };
    for (const Case &c : cases) {
        Buffer(8, 16);
        Streak(c.x, c.y, c.px, c.py, 30);
        EXPECT_EQ(Lit(16), c.lit) << c.x;
        EXPECT_EQ(At(int(c.x), int(c.y)) != 16, true) << c.x;
        EXPECT_EQ(At(c.px, c.py) != 16, c.previousLit || (c.px == int(c.x) && c.py == int(c.y))) << c.x;
        EXPECT_EQ(gStars.previous[0][0], float(int(c.x))) << "the star's place is kept for the next pass";
    }
    // With "nostreaks" a moving star is one pixel.
    optNoStreaks = 1;
    Buffer(8, 16);
    Streak(12, 2, 4, 2, 30);
    EXPECT_EQ(Lit(16), 1);
}

TEST_F(Stars, EightBitStarsAddTheLitPixelsRampPlaceAndFaintOnesAreLeftOut) {
    struct Case {
        uint32_t under;
        uint8_t brightness;
        float moved;  // pixels since the last pass (sets the blur divisor)
        uint32_t drawn;  // 0: nothing drawn
    } cases[] = {
        {16, 20, 0, 16 + 20},              // over the background: brightness alone
        {16 + 10, 20, 0, 16 + 20 + 4},     // 10 up a ramp adds 10 x 13 / 32
        {48 + 31, 30, 0, 16 + 31},         // capped at the ramp's top
        {16, 8, 6, 0},                     // 8 / 4 is too faint
        {16, 40, 6, 16 + 10},              // 40 / 4
    };
    for (const Case &c : cases) {
        Buffer(8, c.under);
        Streak(10, 0, int(10 - c.moved), 0, c.brightness);
        EXPECT_EQ(At(10, 0), c.drawn ? c.drawn : c.under) << c.under << " " << int(c.brightness);
    }
}

TEST_F(Stars, SixteenBitStarsBlendOverLitPixelsAndFastOnesArePassedOver) {
    // The star's palette entry 16 + 20 is (36, 219, 18) in the fixture's palette.
    Buffer(16, 0);
    Streak(10, 0, 10, 0, 20);
    EXPECT_EQ(At(10, 0), uint32_t((36 >> 3) << 11 | (219 >> 2) << 5 | 18 >> 3));
    // Over a lit pixel the colours add, each channel held at 255.
    const uint32_t grey = (16u << 11) | (32u << 5) | 16u;  // (128, 128, 128)
    Buffer(16, grey);
    Streak(10, 0, 10, 0, 20);
    EXPECT_EQ(At(10, 0), uint32_t((164 >> 3) << 11 | (255 >> 2) << 5 | 146 >> 3));
    // A star 40 pixels on (blur divisor 21) is not drawn and keeps its last
    // place for the next pass.
    Buffer(16, 0);
    Streak(20, 0, -20, 0, 20);
    EXPECT_EQ(Lit(0), 0);
    EXPECT_EQ(gStars.previous[0][0], -20.0f);
    // Points at 16 bits show the palette colour of their index.
    Buffer(16, 0);
    gStarStreakCounter = 7;
    P3DDrawStarsInto(buffer, kIdentity, 100, 16);
    EXPECT_EQ(At(20, 0), uint32_t((36 >> 3) << 11 | (219 >> 2) << 5 | 18 >> 3));
}

TEST_F(Stars, AJumpOfTheViewStartsTheStreaksAfresh) {
    Buffer(8, 16);
    gStars.count = 1;
    Place(0, 12, 2, 30);
    gStars.previous[0][0] = -20;
    gStars.previouslyVisible[0] = 1;
    gStarResetStreaks = 1;
    gStarStreakCounter = 1;
    P3DDrawStarsInto(buffer, kIdentity, 100, 8);
    EXPECT_EQ(Lit(16), 1) << "no streak across the jump";
    EXPECT_EQ(gStarResetStreaks, 0);
}

class Sky : public P3DTest {
protected:
    void SetUp() override {
        Start(8, false);
        gP3D.nebulaOn = 0xFF;
        P3DResetSkyState();
    }
    void TearDown() override {
        CardMode = 0;
        P3DTest::TearDown();
    }
    static const uint8_t *Entry(int i) { return P3DSkyPalette() + 4 * i; }
    static void ExpectEntry(int i, int r, int g, int b) {
        EXPECT_EQ(Entry(i)[0], r) << "entry " << i;
        EXPECT_EQ(Entry(i)[1], g) << "entry " << i;
        EXPECT_EQ(Entry(i)[2], b) << "entry " << i;
    }
};

TEST_F(Sky, TheTablesGiveEachSystemItsBackdropsAndNebulaKind) {
    const P3DSkyRow *one = P3DFindSkyRow(1);
    ASSERT_NE(one, nullptr);
    EXPECT_STREQ(kSkyBackdrops[one->backdrops[0][0]].name, "BlueGal2");
    EXPECT_STREQ(kSkyBackdrops[one->backdrops[1][0]].name, "BlueGal2");
    EXPECT_EQ(one->backdrops[1][2], 180);
    EXPECT_LT(one->backdrops[2][0], 0);
    EXPECT_EQ(P3DFindSkyRow(25), nullptr);
    EXPECT_STREQ(kSkyBackdrops[P3DFindSkyRow(26)->backdrops[0][0]].name, "RedChaos");
    struct Case {
        int16_t system;
        int kind;
    } cases[] = {{1, 19}, {7, 0}, {24, 8}, {12, 3}, {25, 3}, {0, 3}, {-1, 3}};
    for (const Case &c : cases) EXPECT_EQ(P3DNebulaKindOf(c.system), c.kind) << c.system;
}

TEST_F(Sky, GradientsStopOneStepShortAndKindsFillOneOrTwoRamps) {
    P3DSetPaletteGradient(176, 4, 100, 40, 8, 0, 0, 0);
    ExpectEntry(176, 0, 0, 0);
    ExpectEntry(178, 50, 20, 4);
    ExpectEntry(179, 75, 30, 6);
    EXPECT_EQ(CurrentPalette, P3DSkyPalette());
    // Kind 0: black to B (65, 0, 0) over 176..191, B to A (146, 10, 0) after.
    P3DSetSkyColours(0, 26, 0);
    ExpectEntry(176, 0, 0, 0);
    ExpectEntry(191, 65 * 15 / 16, 0, 0);
    ExpectEntry(192, 65, 0, 0);
    ExpectEntry(207, 65 + 81 * 15 / 16, 10 * 15 / 16, 0);
    // Kind 2: one ramp from black to (0, 0, 198).
    P3DSetSkyColours(2, 26, 0);
    ExpectEntry(192, 0, 0, 99);
    ExpectEntry(207, 0, 0, 198 * 31 / 32);
    // Entries outside the ramps are kept.
    EXPECT_EQ(Entry(175)[0], 175);
    // Switched off, the sky is left as it is.
    gP3D.nebulaOn = 0;
    P3DSetSkyColours(0, 26, 0);
    ExpectEntry(192, 0, 0, 99);
}

TEST_F(Sky, SystemTwentySixHasItsOwnSkyUntilTheShipLeaves) {
    P3DSetSkyForSystem(26);
    EXPECT_EQ(gSky.special, 1);
    ExpectEntry(192, 48, 36, 12);
    // An explicit kind in system 26 becomes the special kind -2.
    P3DSetSkyColours(5, 26, 0);
    ExpectEntry(192, 0, 40, 80);
    if (gP3D.light1) static_cast<vt_light *>(gP3D.light1->type_data)->attenuation_l = 0.5f;
    P3DSetSkyForSystem(1);
    EXPECT_EQ(gSky.special, 0);
    if (gP3D.light1) EXPECT_EQ(static_cast<vt_light *>(gP3D.light1->type_data)->attenuation_l, 0.0f);
    // System 1 is kind 19: (15, 28, 51) at the joint of its two ramps.
    ExpectEntry(192, 15, 28, 51);
    P3DSetSkyColours(-1, 26, 0);
    ExpectEntry(176, 30, 0, 0);
}

TEST_F(Sky, TheSkySphereBrightensTo255AndDimsTo0) {
    gSky.adjustment = 250 * 65536;
    P3DBrightenSkySphere();
    EXPECT_EQ(gSky.adjustment, 255 * 65536);
    P3DBrightenSkySphere();
    EXPECT_EQ(gSky.adjustment, 255 * 65536);
    gSky.adjustment = 20 * 65536;
    P3DDimSkySphere();
    EXPECT_EQ(gSky.adjustment, 7 * 65536);
    P3DDimSkySphere();
    EXPECT_EQ(gSky.adjustment, 0);
}

TEST_F(Sky, BackdropsComeFromMatchingSphereAndGridFiles) {
    ruvotest::TempDir dir;
    P3DBuildBackgroundScenes();
    ASSERT_NE(gP3D.nebulaWorld, nullptr);
    const lwob::Object ball = lwob::Sphere(6, 12, 1, NamedSurface("sky"));
    WriteShape("GoodSphere.lwo", ball);
    WriteShape("GoodGrid.lwo", ball);
    WriteShape("OddSphere.lwo", ball);
    WriteShape("OddGrid.lwo", lwob::Sphere(6, 10, 1, NamedSurface("sky")));
    WriteShape("HalfSphere.lwo", ball);
    struct Case {
        const char *name;
        int result;
    } cases[] = {{"Good", 2}, {"Odd", 0}, {"Half", 0}, {"Nothing", 0}};
    for (const Case &c : cases) {
        vt_actor *before = gSky.sphere;
        EXPECT_EQ(P3DLoadNebula(c.name, 26, 180, 0), c.result) << c.name;
        EXPECT_EQ(gSky.sphere != before, c.result != 0) << c.name;
    }
    EXPECT_NE(DebugLog().find("P3DLoadNebula: Odd: sphere of"), std::string::npos);
    // The grid was fitted round the viewer: radius 20000, and never culled.
    vt_model *grid = gSky.sphere->model;
    const vt_vector3 &p = grid->vertices[1].p;
    EXPECT_NEAR(std::sqrt(p.v[0] * p.v[0] + p.v[1] * p.v[1] + p.v[2] * p.v[2]), 20000.0f, 1.0f);
    EXPECT_GE(grid->bounds.max.v[0], 1e30f);
    // A fitted grid loaded again adds an actor with the sky sphere's look.
    vt_material *look = gSky.sphere->material;
    EXPECT_EQ(P3DLoadNebula("Good", 0, 0, 0), 2);
    EXPECT_EQ(gSky.sphere->material, look);
    P3DFreeSkyResources();
}

}  // namespace
