#include <cmath>

#include "RES/util.h"
#include "world_fixture.h"

using ruvotest::FatalError;

class PoolTest : public WorldTest {};

TEST_F(PoolTest, CursorHandsOutFromTheSecondRecordAndWraps) {
    EXPECT_EQ(dunAllocSceneItem(), &dunSceneItemPool[1]);
    EXPECT_EQ(dunAllocSceneItem(), &dunSceneItemPool[2]);
    for (int i = 3; i < kMaxSceneItems; ++i) dunAllocSceneItem();
    // The 400th allocation is the first record; the 401st finds nothing.
    EXPECT_EQ(dunAllocSceneItem(), &dunSceneItemPool[0]);
    try {
        dunAllocSceneItem();
        FAIL() << "allocation past the pool returned";
    } catch (const FatalError &e) {
        EXPECT_STREQ(e.what(), "Exceeded max SceneItems");
        EXPECT_EQ(e.exitCode, 1);
    }
}

TEST_F(PoolTest, EveryPoolReportsItsExhaustionText) {
    struct Case {
        const char *text;
        int size;
        void (*take)();
    };
    const Case cases[] = {
        {"Exceeded max Avatars", kMaxAvatars, [] { dunAllocAvatar(); }},
        {"Exceeded max Actions", kMaxActions, [] { dunAllocAction(); }},
        {"Exceeded max Sims", kMaxSims, [] { dunAllocSim(); }},
        {"Exceeded max Weapons", kMaxWeapons, [] { dunAllocWeapon(); }},
        {"Exceeded max TDPs", kMaxTDPs, [] { dunAllocTDP(); }},
        {"Exceeded max ShipInfos", kMaxShipInfos, [] { dunAllocShipInfo(); }},
        {"Exceeded max big HUDs", kMaxBigHUDs, [] { dunAllocBigHUD(); }},
        {"Exceeded max HUDs", kMaxHUDs, [] { dunAllocHUD(); }},
    };
    for (const Case &c : cases) {
        dunResetPools();
        for (int i = 0; i < c.size; ++i) c.take();
        EXPECT_THROW(c.take(), FatalError) << c.text;
        try {
            c.take();
        } catch (const FatalError &e) {
            EXPECT_STREQ(e.what(), c.text);
        }
    }
}

TEST_F(PoolTest, ARecordReleasedThisFrameWaitsForTheNextFrame) {
    dunFrameCounter = 7;
    SceneItem *a = dunAllocSceneItem();  // record 1
    a->flags &= ~SceneFlag::InUse;
    a->releaseFrame = 7;
    for (int i = 2; i < kMaxSceneItems; ++i) dunAllocSceneItem();
    EXPECT_EQ(dunAllocSceneItem(), &dunSceneItemPool[0]);
    // Record 1 is the only free one, but it was released in this frame.
    EXPECT_THROW(dunAllocSceneItem(), FatalError);
    dunFrameCounter = 8;
    EXPECT_EQ(dunAllocSceneItem(), a);
}

TEST_F(PoolTest, TheStartUpsFrameZeroTakesRecordsNeverReleased) {
    // A mission launched at start-up makes its ships before the first frame.
    dunFrameCounter = 0;
    dunResetPools();
    for (int i = 0; i < 10; ++i) EXPECT_NE(dunAllocSceneItem(), nullptr);
}

TEST_F(PoolTest, AFreeRecordUnderTheCursorCountsAsExhaustion) {
    for (int i = 0; i < kMaxSims; ++i) dunAllocSim();  // the cursor ends on record 0
    dunSimPool[0].flags = 0;
    EXPECT_THROW(dunAllocSim(), FatalError);
}

TEST_F(PoolTest, RecordsComeOutClearedWithTheirDefaults) {
    dunCurrentSystem = 21;
    SceneItem *item = dunAllocSceneItem();
    EXPECT_EQ(item->flags, 1u);
    EXPECT_EQ(item->systemNumber, 21);
    Sim *sim = dunAllocSim();
    sim->radius = 5;
    sim->flags = 0;
    sim->hull = -3;
    for (int i = 0; i < kMaxSims - 1; ++i) dunAllocSim();
    ASSERT_EQ(dunAllocSim(), sim);  // wrapped round to the released record
    EXPECT_EQ(sim->hull, 100);
    EXPECT_EQ(sim->flags, 1u);
    EXPECT_EQ(sim->radius, 0.0f);
    EXPECT_EQ(dunAllocAvatar()->flags16, 1);
    EXPECT_EQ(dunAllocTDP()->flags, 1u);
}

TEST_F(PoolTest, ParticlePoolsReturnNoneAndKeepTheirArrays) {
    ParticleSystem *first = dunAllocLargeParticleSystem();
    ASSERT_EQ(first, &dunLargeParticlePool[1]);
    first->points[3].colour = 99;
    for (int i = 0; i < kLargeParticleCount; ++i) EXPECT_EQ(first->points[i].size, 0.5f);
    for (int i = 2; i <= kMaxLargeParticleSystems; ++i) ASSERT_NE(dunAllocLargeParticleSystem(), nullptr);
    EXPECT_EQ(dunAllocLargeParticleSystem(), nullptr);
    for (int i = 0; i < kMaxSmallParticleSystems; ++i) ASSERT_NE(dunAllocSmallParticleSystem(), nullptr);
    EXPECT_EQ(dunAllocSmallParticleSystem(), nullptr);

    Particle *array = first->points;
    dunResetPools();
    // Record i keeps array i; the arrays are not cleared by the reset.
    EXPECT_EQ(dunLargeParticlePool[1].points, array);
    EXPECT_EQ(array[3].colour, 99);
    EXPECT_EQ(dunLargeParticlePool[1].flags, 0u);
}

TEST_F(PoolTest, ResetReseedsAndFreesCollisionModels) {
    CollisionModel *m = dunAllocCollisionModel();
    static int model;
    m->id = &model;
    m->boxes = static_cast<HitBox *>(calloc(1, sizeof(HitBox)));
    m->boxes->next = static_cast<HitBox *>(calloc(1, sizeof(HitBox)));
    EXPECT_EQ(dunFindCollisionModel(&model), m);
    dunRandomState = 5;
    dunResetPools();
    EXPECT_EQ(dunRandomState, 1253567u);
    EXPECT_EQ(dunFindCollisionModel(&model), nullptr);
}
