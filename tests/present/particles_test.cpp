// Particle systems: the kind each mode draws and the pool each takes, the
// emission counts (sprites refilling every dead point, life-scaled rates),
// the colour ramps, the life counted twice in software mode, the frame a
// system whose points died leaves its tree, a frozen world, the ring burst's
// sweep, and the inputs that must not crash (a zero point life, a full
// swarm, a flat or small owner, fractional cloud exponents).
#include <cmath>
#include <cstring>

#include "p3d_fixture.h"
#include "present/effects.h"
#include "present/effects/particles.h"
#include "present/lwo/lwo.h"
#include "shape_files.h"
#include "world/collision.h"
#include "world/pools.h"

using namespace presenttest;

namespace {

class Particles : public P3DTest {
protected:
    void SetUp() override {
        Start(8);
        dunSeedRand15(3);
        owner = Object(nullptr, 0, 0, 5000, 1000);
        owner->sim->radius = 1000;
    }
    void TearDown() override {
        CardMode = 0;
        dunFrozen = 0;
        P3DTest::TearDown();
    }
    static int Alive(const ParticleSystem *ps) {
        int n = 0;
        for (int i = 0; i < ps->count; ++i) n += ps->points[i].life > 0;
        return n;
    }
    // One frame of the part's node routine with the owner's matrix.
    static void Frame(TDP *tdp) {
        ++dunFrameCounter;
        Mat4 world = tdp->local;
        MatPreMultiply(world, tdp->owner->avatar->matrix);
        tdp->routine(tdp, &world);
    }
    static bool InPool(const ParticleSystem *ps, const ParticleSystem *pool, int n) {
        return ps >= pool && ps < pool + n;
    }
    SceneItem *owner = nullptr;
};

TEST_F(Particles, EachModeDrawsItsOwnKindAndNavLightsTakeTheSmallPool) {
    struct Case {
        uint8_t card;
        int kind;
        uint32_t flags;
        int16_t kindMade;
        bool small;
    };
    const Case cases[] = {
        {0, 6, 0x10, 0, false}, {0, 0, 0x10, 0, false}, {1, 0, 0x10, 6, false},
        {1, 6, 0x10, 6, false}, {0, 2, 0x8, 2, true},   {0, 2, 0x8 | 0x20000, 2, false},
    };
    for (const Case &c : cases) {
        CardMode = c.card;
        TDP *tdp = CreateParticleSystem(owner, nullptr, c.kind, c.flags, 100, 40, 100, 1000, 100, 360);
        ParticleSystem *ps = ParticleSystemOf(tdp);
        ASSERT_NE(ps, nullptr);
        EXPECT_EQ(ps->kind, c.kindMade) << int(c.card) << " " << c.kind;
        EXPECT_EQ(InPool(ps, dunSmallParticlePool, kMaxSmallParticleSystems), c.small) << c.flags;
        if (c.small) {
            EXPECT_EQ(ps->count, 0);
        }
        EXPECT_TRUE(tdp->flags & TDPFlag::Particle);
        EXPECT_FALSE(tdp->flags & TDPFlag::Collidable);
        EXPECT_EQ(tdp->owner, owner);
    }
}

TEST_F(Particles, SpriteSystemsRefillEveryDeadPointWhileTimeMoves) {
    ParticleSystem *ps = ParticleSystemOf(CreateParticleSystem(owner, nullptr, 0, 0x10, 100, 40, 100, 1000, 1, 360));
    ASSERT_NE(ps, nullptr);
    dunFrameStep = 0;
    ParticleSystemUpdate(nullptr, ps, nullptr);
    EXPECT_EQ(Alive(ps), 0) << "no time, no points";
    dunFrameStep = 2;
    ParticleSystemUpdate(nullptr, ps, nullptr);
    EXPECT_EQ(Alive(ps), 40) << "a rate of 1 a second, yet every point";
    // A streak system of the same rate emits by its rate.
    ParticleSystem *streaks =
        ParticleSystemOf(CreateParticleSystem(owner, nullptr, 2, 0x10, 100, 40, 100, 1000, 1, 360));
    ParticleSystemUpdate(nullptr, streaks, nullptr);
    EXPECT_EQ(Alive(streaks), 0);
}

TEST_F(Particles, ALifeScaledRateAtHalfItsLifeEmitsHalf) {
    ParticleSystem *ps =
        ParticleSystemOf(CreateParticleSystem(owner, nullptr, 2, 0x810, 100, 250, 500, 1000, 1000, 360));
    ASSERT_NE(ps, nullptr);
    dunFrameStep = 10;
    ps->life = 50;
    ParticleSystemUpdate(nullptr, ps, nullptr);
    EXPECT_EQ(Alive(ps), 50);
    ps->life = 100;
    ParticleSystemUpdate(nullptr, ps, nullptr);
    EXPECT_EQ(Alive(ps), 150);
}

TEST_F(Particles, RampsRunFromTheSecondColourAndStopAStepShortOfTheFirst) {
    // A table that gives back the colour's five bits of red.
    static uint8_t redBits[65536];
    for (unsigned i = 0; i < 65536; ++i) redBits[i] = uint8_t(i >> 11);
    uint8_t ramp[32];
    BuildColourRamp(redBits, ramp, 255, 0, 0, 0, 0, 0);
    EXPECT_EQ(ramp[0], 0);
    EXPECT_EQ(ramp[16], 127 >> 3);
    EXPECT_EQ(ramp[31], 247 >> 3);
    const int five[5][3] = {{0, 0, 0}, {80, 0, 0}, {160, 0, 0}, {240, 0, 0}, {255, 0, 0}};
    BuildColourRamp5(redBits, ramp, five);
    EXPECT_EQ(ramp[0], 0);
    EXPECT_EQ(ramp[8], 80 >> 3);
    EXPECT_EQ(ramp[16], 160 >> 3);
    EXPECT_EQ(ramp[24], 240 >> 3);
    EXPECT_EQ(ramp[31], (240 + 15 * 7 / 8) >> 3);
}

TEST_F(Particles, SoftwareSystemsCountTheirLifeTwiceAFrame) {
    dunFrameStep = 10;
    TDP *tdp = CreateParticleSystem(owner, nullptr, 2, 0x12, 100, 40, 1000, 1000, 100, 360);
    ParticleSystem *ps = ParticleSystemOf(tdp);
    Frame(tdp);
    EXPECT_EQ(ps->life, 80);
    // Once a frame: a second view in the same frame changes nothing.
    Mat4 world = owner->avatar->matrix;
    tdp->routine(tdp, &world);
    EXPECT_EQ(ps->life, 80);
    // An endless one stays endless: it goes with its owner.
    TDP *endless = CreateParticleSystem(owner, nullptr, 2, 0x12, kEndlessLife, 40, 1000, 1000, 100, 360);
    for (int i = 0; i < 5; ++i) Frame(endless);
    EXPECT_EQ(ParticleSystemOf(endless)->life, kEndlessLife);
    EXPECT_EQ(ParticleSystemOf(endless)->active, 1);
}

TEST_F(Particles, ASystemLeavesItsTreeInTheFrameItsMoverFindsNoPointAlive) {
    dunFrameStep = 10;
    TDP *tdp = CreateParticleSystem(owner, nullptr, 2, 0x110, 100, 30, 40, 1000, 100, 360);
    ParticleSystem *ps = ParticleSystemOf(tdp);
    ASSERT_EQ(Alive(ps), 30) << "the one-shot burst at creation";
    EXPECT_EQ(ps->active, 0);
    int frames = 0;
    while (Alive(ps) > 0 && frames++ < 10) Frame(tdp);
    ASSERT_EQ(Alive(ps), 0);
    EXPECT_TRUE(tdp->flags & TDPFlag::InUse) << "the frame the last point died keeps it";
    Frame(tdp);
    EXPECT_FALSE(tdp->flags & TDPFlag::InUse);
    EXPECT_FALSE(ps->flags & ParticleFlag::InUse) << "the pool slot is free again";
    EXPECT_EQ(owner->avatar->root->child, nullptr);
}

TEST_F(Particles, FullPoolsGiveNoSystemAndNoFault) {
    for (int i = 0; i < kMaxLargeParticleSystems; ++i)
        ASSERT_NE(CreateParticleSystem(owner, nullptr, 2, 0x12, 100, 10, 100, 1000, 100, 360), nullptr) << i;
    EXPECT_EQ(CreateParticleSystem(owner, nullptr, 2, 0x12, 100, 10, 100, 1000, 100, 360), nullptr);
    EXPECT_EQ(AllocParticleSystem(2, 0x12, 10, 100, 1000, 100, 360), nullptr);
    EXPECT_NE(AllocParticleSystem(2, 0x8, 10, 100, 1000, 100, 360), nullptr) << "nav lights take the small pool";
    ParticleSystem *lights = AllocParticleSystem(2, 0x8 | 0x20000, 10, 100, 1000, 100, 360);
    EXPECT_EQ(lights, nullptr) << "a ring of lights takes the large pool";
    ParticleSystem *small = AllocParticleSystem(2, 0x100, 300, 100, 1000, 100, 360);
    EXPECT_EQ(small, nullptr);
    dunResetWorld();
    ParticleSystem *big = AllocParticleSystem(2, 0x100, 300, 100, 1000, 100, 360);
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->count, 250) << "held to the slot's array";
}

TEST_F(Particles, AFrozenWorldEmitsButNeitherMovesNorAgesThePoints) {
    ParticleSystem *ps =
        ParticleSystemOf(CreateParticleSystem(owner, nullptr, 2, 0x10, 100, 40, 1000, 5000, 1000, 360));
    dunFrameStep = 2;
    dunFrozen = 1;
    ParticleSystemUpdate(nullptr, ps, nullptr);
    const int alive = Alive(ps);
    ASSERT_GT(alive, 0);
    Particle before[40];
    std::memcpy(before, ps->points, sizeof before);
    ps->active = 0;
    ParticleSystemUpdate(nullptr, ps, nullptr);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(ps->points[i].life, before[i].life);
        EXPECT_EQ(ps->points[i].pos.z, before[i].pos.z);
    }
}

TEST_F(Particles, TheRingBurstSweepsTheHullBoxOneWayOrTheOther) {
    CollisionModel box{};
    box.boundsLower = {-100, -50, -200};
    box.boundsUpper = {100, 50, 300};
    owner->avatar->root->collision = &box;
    dunFrameStep = 50;
    // Half way: the front third of the points on the ring at depth 250
    // (from the low corner), of radii 200 x 0.65 and 100 x 0.65.
    for (float speed : {15000.0f, -15000.0f}) {
        TDP *tdp = CreateParticleSystem(owner, nullptr, 0, 0x4000, 100, 30, 700, speed, 600, 360);
        ParticleSystem *ps = ParticleSystemOf(tdp);
        Mat4 identity;
        MatIdentity(identity);
        ASSERT_EQ(ParticleRingBurstUpdate(tdp, ps, &identity), 0);
        const float z = speed > 0 ? 50.0f : -50.0f;
        for (int i = 0; i < 10; ++i) {
            const Particle &p = ps->points[i];
            EXPECT_NEAR(p.pos.z - 5000, z, 0.01f) << speed;
            const float ex = p.pos.x / 130, ey = p.pos.y / 65;
            EXPECT_NEAR(ex * ex + ey * ey, 1.0f, 0.01f);
        }
        for (int i = 10; i < 30; ++i) EXPECT_LE(std::fabs(ps->points[i].pos.z - 5000), 500.0f);
        EXPECT_EQ(ps->points[0].life, 10000);
        EXPECT_NE(ParticleRingBurstUpdate(tdp, ps, &identity), 0) << "over when its life falls below 1";
    }
    // A flat owner, and the first frame of a collapsing burst (a sweep not
    // yet a unit deep): every point on the front, no fault.
    owner->avatar->root->collision = nullptr;
    dunFrameStep = 2;
    for (float speed : {15000.0f, -15000.0f}) {
        TDP *tdp = CreateParticleSystem(owner, nullptr, 0, 0x4000, 75, 250, 700, speed, 600, 360);
        Mat4 identity;
        MatIdentity(identity);
        ASSERT_EQ(ParticleRingBurstUpdate(tdp, ParticleSystemOf(tdp), &identity), 0);
        for (int i = 0; i < 250; ++i) ASSERT_TRUE(std::isfinite(ParticleSystemOf(tdp)->points[i].pos.z));
    }
}

TEST_F(Particles, InputsThatMustNotFault) {
    // A script's point life of 0: nothing is emitted.
    ParticleSystem *none =
        ParticleSystemOf(CreateParticleSystem(owner, nullptr, 2, 0x1000012, 100, 220, 0, 10000, 180, 5));
    dunFrameStep = 10;
    ParticleSystemUpdate(nullptr, none, nullptr);
    EXPECT_EQ(Alive(none), 0);
    // A swarm as large as its slot: its update stays in the slot's array.
    TDP *swarm = CreateParticleSystem(owner, nullptr, 0, 0x200000, 100, 250, 240, 13500, 70, 15);
    ParticleSystem *ps = ParticleSystemOf(swarm);
    ASSERT_LT(ps, dunLargeParticlePool + kMaxLargeParticleSystems - 1);
    // The next slot's points follow this slot's in memory.
    Particle *next = (ps + 1)->points;
    next[0].pos = {1, 2, 3};
    Mat4 identity;
    MatIdentity(identity);
    ParticleSwarmUpdate(swarm, ps, &identity);
    EXPECT_EQ(next[0].pos.z, 3.0f) << "the next slot's points are not touched";
    EXPECT_NEAR(VecLength(ParticleSystemOf(swarm)->points[0].local), 7000, 1);
    // Cloud exponents between 0 and 1 put the points at the centre; 300
    // points are held to 250.
    ParticleSystem *cloud = SpawnParticleCloud(10, 20, 30, 1000, 1000, 1000, 0.5f, 300, nullptr);
    ASSERT_NE(cloud, nullptr);
    EXPECT_EQ(cloud->count, 250);
    EXPECT_TRUE(cloud->flags & ParticleFlag::StaticCloud);
    EXPECT_EQ(cloud->ramp[17], 227);
    for (int i = 0; i < cloud->count; ++i) {
        const Vec3 &p = cloud->points[i].pos;
        ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
        EXPECT_LE(std::fabs(p.x - 10) + std::fabs(p.y - 20) + std::fabs(p.z - 30), 0.01f);
    }
    // A steep exponent gathers points near the centre; a negative one
    // pushes them out.
    for (float e : {3.0f, -3.0f}) {
        ParticleSystem *c = SpawnParticleCloud(0, 0, 0, 1000, 1000, 1000, e, 200, nullptr);
        double sum = 0;
        for (int i = 0; i < 200; ++i) sum += VecLength(c->points[i].pos);
        if (e > 0) EXPECT_LT(sum / 200, 700) << e;
        else EXPECT_GT(sum / 200, 800) << e;
    }
}

TEST_F(Particles, TheSampleShipsHaveTheHullVerticesTheEmittersStartFrom) {
    SampleDataRoot root;
    ASSERT_TRUE(root.ok());
    for (const char *name : {"corvette", "raider", "station", "drone"}) {
        const std::string path = std::string("vek\\resource\\shapes\\") + name + ".lwo";
        auto *model = static_cast<vt_model *>(LwoLoadModel(path.c_str(), nullptr, nullptr));
        ASSERT_NE(model, nullptr) << name;
        EXPECT_GE(model->nvertices, 45) << name;
    }
}

}  // namespace
