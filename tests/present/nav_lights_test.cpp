// Navigation lights: the 43-light cap with the engine glow at point 0, the
// steady lights' masks, how colours are stored, taking lights out, the
// blink timing, countdown lights leaving in one pass, the presets' first
// light, the "nonavlights" switch and the steady lights' fading.
#include "p3d_fixture.h"
#include "present/effects.h"
#include "present/effects/nav_lights.h"
#include "present/effects/particles.h"
#include "present/frame_passes.h"

using namespace presenttest;

namespace {

class NavLights : public P3DTest {
protected:
    void SetUp() override {
        Start(8);
        dunSeedRand15(5);
        owner = Object(nullptr, 0, 0, 5000, 1000);
    }
    void TearDown() override {
        CardMode = 0;
        optNoNavLights = 0;
        P3DTest::TearDown();
    }
    TDP *Part() const {
        for (TDP *t = owner->avatar->root->child; t; t = t->sibling)
            if (ParticleSystemOf(t) == NavLightSystem(owner)) return t;
        return nullptr;
    }
    void Add(float x, int32_t colour, int on, int off) {
        const Vec3 at = {x, 0, 0};
        AddNavLight(owner, &at, 0.3f, colour, on, off, 0);
    }
    // One frame of the lights' routine with the owner where it stands.
    void Update(int step = 1) {
        dunFrameStep = step;
        Mat4 world = owner->avatar->matrix;
        NavLightUpdate(Part(), &world);
    }
    SceneItem *owner = nullptr;
};

TEST_F(NavLights, TheFirstLightBringsTheEngineGlowAndTheSystemHoldsFortyThree) {
    Add(1, 4, 10, 75);
    ParticleSystem *ps = NavLightSystem(owner);
    ASSERT_NE(ps, nullptr);
    ASSERT_EQ(ps->count, 2);
    const Particle &glow = ps->points[0];
    EXPECT_EQ(glow.blink.phase, kNavEngineGlow);
    EXPECT_EQ(glow.blink.onTicks, 0);
    EXPECT_EQ(glow.blink.cycleTicks, 2048);
    EXPECT_EQ(glow.local.x, 0.0f);
    EXPECT_FLOAT_EQ(ps->points[1].local.x, 100.0f) << "model units kept x 100";
    for (int i = 0; i < 60; ++i) Add(float(i), 4, 10, 75);
    EXPECT_EQ(ps->count, kNavLightLimit);
    EXPECT_EQ(NavLightSystem(owner), ps) << "one system an object";
    // The glow follows the owner's light mask and level.
    owner->avatar->lightMask = 2048;
    owner->avatar->lightLevel = 100;
    owner->avatar->lightPercent = 50;
    ps->flags |= ParticleFlag::NavGeometryDone;
    Update();
    EXPECT_EQ(glow.life, 1);
    EXPECT_EQ(glow.shade, 50);
    EXPECT_FLOAT_EQ(glow.size, 1.0f);
    EXPECT_FALSE(ps->flags & ParticleFlag::NavGeometryDone) << "a glow always rebuilds the geometry";
    owner->avatar->lightMask = 1;
    Update();
    EXPECT_EQ(glow.life, 0);
}

TEST_F(NavLights, ColoursAndSteadyMasksAreStoredAsTheWorldGivesThem) {
    struct Case {
        int32_t colour;
        int on, off;
        uint16_t stored;
        int16_t cycle;  // blink cycle, or a steady light's mask
    } cases[] = {
        {5, 10, 75, 5, 85},   {7, 10, 75, 71, 85},  {15, 10, 75, 79, 85},
        {16, 10, 75, 16, 85}, {6, 0, 2, 6, 1024},   {6, 3, 0, 6, 1024},
    };
    for (const Case &c : cases) {
        Add(0, c.colour, c.on, c.off);
        const ParticleSystem *ps = NavLightSystem(owner);
        const Particle &p = ps->points[ps->count - 1];
        EXPECT_EQ(p.colour, c.stored) << c.colour;
        EXPECT_EQ(p.blink.cycleTicks, c.cycle) << c.colour;
        EXPECT_EQ(p.blink.onTicks == 0, c.on == 0 || c.off == 0) << c.colour;
        EXPECT_EQ(p.shade, 15);
    }
    // A linked light exists on the 3D card only; there it links the previous
    // light to itself and gives a steady one its new mask and its colour.
    const int before = NavLightSystem(owner)->count;
    Add(0, 0x100 | 9, 10, 10);
    EXPECT_EQ(NavLightSystem(owner)->count, before);
    CardMode = 1;
    Add(0, (3 << 9) | 0x100 | 20, 10, 10);
    const ParticleSystem *ps = NavLightSystem(owner);
    ASSERT_EQ(ps->count, before + 1);
    const Particle &previous = ps->points[before - 1], &linked = ps->points[before];
    EXPECT_EQ(previous.link, uint32_t(before));
    EXPECT_EQ(previous.blink.cycleTicks, 3);
    EXPECT_EQ(linked.colour, previous.colour);
}

TEST_F(NavLights, RemovingALightMovesTheLaterOnesDown) {
    for (int i = 1; i <= 4; ++i) Add(float(i), 4, 10, 75);
    ParticleSystem *ps = NavLightSystem(owner);
    ASSERT_EQ(ps->count, 5);
    const Vec3 last = ps->points[4].local;
    RemoveNavLight(Part(), 4);
    EXPECT_EQ(ps->count, 4);
    EXPECT_EQ(ps->points[4].local.x, last.x) << "the last one only leaves the count";
    RemoveNavLight(Part(), 2);
    EXPECT_EQ(ps->count, 3);
    EXPECT_FLOAT_EQ(ps->points[2].local.x, 300.0f);
    for (int16_t outside : {3, 7, -1}) {
        RemoveNavLight(Part(), outside);
        EXPECT_EQ(ps->count, 3) << outside;
    }
}

TEST_F(NavLights, ABlinkingLightIsLitForItsOnTimeInEachCycle) {
    Add(1, 4, 10, 75);
    Particle &p = NavLightSystem(owner)->points[1];
    p.blink.phase = 0;
    std::string seen;
    for (int tick = 1; tick <= 180; ++tick) {
        Update();
        seen += p.life ? '#' : '.';
    }
    // Lit while the clock is at most 10, dark until 85, then round again.
    const std::string cycle = std::string(10, '#') + std::string(75, '.');
    EXPECT_EQ(seen.substr(0, 170), cycle + cycle);
    EXPECT_EQ(seen.substr(170), std::string(10, '#'));
}

TEST_F(NavLights, CountdownLightsLeaveInOnePassAndTheLightBehindIsExamined) {
    for (int i = 1; i <= 4; ++i) Add(float(i), 4, 10, 75);
    ParticleSystem *ps = NavLightSystem(owner);
    for (int i : {1, 2}) {
        ps->points[i].blink = NavBlink{kNavCountdown, 0, 0};
    }
    ps->points[3].blink = NavBlink{kNavCountdown, 0, 5};
    Update(2);
    ASSERT_EQ(ps->count, 3) << "both spent lights leave in the same pass";
    EXPECT_FLOAT_EQ(ps->points[1].local.x, 300.0f);
    EXPECT_EQ(ps->points[1].blink.cycleTicks, 3) << "the light moved into the place counts down too";
    EXPECT_EQ(ps->points[1].shade, 32);
    EXPECT_EQ(ps->points[0].blink.phase, kNavEngineGlow) << "point 0 stays the glow";
}

TEST_F(NavLights, ThePresetsFirstLightIsASteadyMaskLightWhateverThePhaseBase) {
    struct Case {
        int kind;
        int count;
    } cases[] = {{10, 1}, {11, 4}, {2, 6}, {0, 12}, {7, 12}};
    for (const Case &c : cases) {
        // Enough draws to meet every phase base 0..89, 1 among them.
        for (int seed = 0; seed < 300; ++seed) {
            SceneItem *ship = Object(nullptr, 0, 0, 0, 100);
            dunSeedRand15(uint32_t(seed));
            AddNavLights(ship, c.kind);
            ParticleSystem *ps = NavLightSystem(ship);
            ASSERT_NE(ps, nullptr);
            ASSERT_EQ(ps->count, c.count) << c.kind;
            if (c.count > 1) {
                ASSERT_EQ(ps->points[0].blink.phase, 0) << "kind " << c.kind << " seed " << seed;
                ASSERT_EQ(ps->points[0].blink.cycleTicks, 1);
            }
            Mat4 world = ship->avatar->matrix;
            TDP *part = ship->avatar->root->child;
            while (part && ParticleSystemOf(part) != ps) part = part->sibling;
            NavLightUpdate(part, &world);
            ASSERT_EQ(ps->count, c.count) << "no light of a preset leaves by itself";
            dunDeleteSceneItem(ship);
            dunResetWorld();
        }
    }
}

TEST_F(NavLights, NoNavLightsSwitchAddsNothing) {
    optNoNavLights = 1;
    Add(1, 4, 10, 75);
    EXPECT_EQ(NavLightSystem(owner), nullptr);
}

TEST_F(NavLights, SteadyLightsFadeInAndOutWithTheOwnersMask) {
    struct Case {
        uint8_t card;
        std::vector<int> on, off;  // shades after each frame
    } cases[] = {
        {0, {30, 62, 126, 254}, {63, 31, 15, 7, 3, 1, 0}},
        {1, {35, 55, 75, 95, 115, 100}, {80, 60, 40, 20, 0}},
    };
    for (const Case &c : cases) {
        CardMode = c.card;
        SceneItem *ship = Object(nullptr, 0, 0, 0, 100);
        owner = ship;
        Add(1, 4, 0, 5);  // steady, mask 1024
        Particle &p = NavLightSystem(ship)->points[1];
        ASSERT_EQ(p.blink.cycleTicks, 1024);
        ship->avatar->lightMask = 1024;
        for (int shade : c.on) {
            Update();
            EXPECT_EQ(int16_t(p.shade), shade) << int(c.card);
            EXPECT_EQ(p.life, 1);
        }
        ship->avatar->lightMask = 0;
        for (int shade : c.off) {
            Update();
            EXPECT_EQ(int16_t(p.shade), shade) << int(c.card);
            EXPECT_EQ(p.life, shade >= 1 ? 1 : 0) << int(c.card) << " shade " << shade;
        }
        dunResetWorld();
    }
}

}  // namespace
