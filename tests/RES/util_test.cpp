#include <gtest/gtest.h>

#include <vector>

#include "RES/util.h"

namespace {

TEST(Util, AllocIsZeroFilled) {
    auto *p = static_cast<unsigned char *>(dunAlloc(64));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 64; ++i) EXPECT_EQ(p[i], 0);
    dunFree(p);
    dunFree(nullptr);
}

TEST(Util, Random32FromPoolSeed) {
    dunRandomState = 1253567;
    EXPECT_EQ(dunRandom32(), 202579970u);
    EXPECT_EQ(dunRandom32(), 3204268272u);
    EXPECT_EQ(dunRandom32(), 1336189304u);
    for (int i = 0; i < 1000; ++i) EXPECT_EQ(dunRandom32() & 1, 0u);
}

TEST(Util, Rand15IsTheClassicGenerator) {
    dunSeedRand15(1);
    EXPECT_EQ(dunRand15(), 41);
    EXPECT_EQ(dunRand15(), 18467);
    EXPECT_EQ(dunRand15(), 6334);
    for (int i = 0; i < 1000; ++i) {
        int r = dunRand15();
        EXPECT_GE(r, 0);
        EXPECT_LE(r, kRand15Max);
    }
    dunSeedRand15(1);
}

TEST(Util, TreeSearch) {
    // root links a (first) and b (second); a links c and d.
    TreeNode c{nullptr, nullptr}, d{nullptr, nullptr}, a{&c, &d}, b{nullptr, nullptr}, root{&a, &b};
    TreeNode stray{nullptr, nullptr};
    TreeNode **link = nullptr;
    EXPECT_EQ(TreeFindLinkSlot(nullptr, &root, &b, &link), &root);
    EXPECT_EQ(link, &root.second);
    EXPECT_EQ(TreeFindLinkSlot(nullptr, &root, &d, &link), &a);
    EXPECT_EQ(link, &a.second);
    EXPECT_EQ(TreeFindLinkSlot(nullptr, &root, &c, &link), &a);
    EXPECT_EQ(link, &a.first);

    link = nullptr;
    EXPECT_EQ(TreeFindLinkSlot(nullptr, &root, &stray, &link), nullptr);
    EXPECT_EQ(link, nullptr);

    // A match at the start node stores nothing; deeper ones do.
    EXPECT_EQ(TreeFindLinkingNode(nullptr, &root, &a, &link), &root);
    EXPECT_EQ(link, nullptr);
    EXPECT_EQ(TreeFindLinkingNode(nullptr, &root, &d, &link), &a);
    EXPECT_EQ(link, &a.second);
    EXPECT_EQ(TreeFindLinkingNode(nullptr, &root, &c, nullptr), &a);
}

// A small stand-in world: positions in list order and the HUD's shift.
struct FakeWorld {
    bool hasPlayer = true;
    bool fastDrive = false;
    std::vector<Vec3d> pos;
    std::vector<Vec3> posFloat;
    std::vector<Vec3> hudShifts;
    std::vector<int> visitOrder;
};
FakeWorld *gWorld;

const WorldRecentreHooks kFakeHooks = {
    [](Vec3d *p, bool *fast) {
        if (!gWorld->hasPlayer) return false;
        *p = gWorld->pos[0];  // the player ship is the first object
        *fast = gWorld->fastDrive;
        return true;
    },
    [](void (*visit)(WorldPositionRef, void *), void *context) {
        for (size_t i = 0; i < gWorld->pos.size(); ++i) {
            gWorld->visitOrder.push_back(static_cast<int>(i));
            visit(WorldPositionRef{&gWorld->pos[i], &gWorld->posFloat[i]}, context);
        }
    },
    [](float dx, float dy, float dz) { gWorld->hudShifts.push_back(Vec3{dx, dy, dz}); },
};

TEST(Util, WorldRecentreShiftsEveryObjectByWholeMultiples) {
    struct Case {
        Vec3d player;
        bool fastDrive;
        Vec3d delta;
    } cases[] = {
        {{250e6, 0, 0}, false, {-200e6, 0, 0}},
        {{-250e6, 0, 0}, false, {200e6, 0, 0}},
        {{99e6, -99e6, 5}, false, {0, 0, 0}},
        {{250e6, 1.5e9, -3.7e9}, true, {0, -1e9, 3e9}},
        {{250e6, 1e8, -3e8}, false, {-200e6, -1e8, 3e8}},
    };
    for (const Case &c : cases) {
        FakeWorld world;
        gWorld = &world;
        world.fastDrive = c.fastDrive;
        world.pos = {c.player, {1, 2, 3}, {-5e7, 4e8, 0}};
        for (const Vec3d &p : world.pos)
            world.posFloat.push_back(Vec3{static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)});
        const std::vector<Vec3d> before = world.pos;
        const std::vector<Vec3> beforeFloat = world.posFloat;
        WorldSetRecentreHooks(&kFakeHooks);
        WorldOriginOffset = Vec3d{10, 20, 30};

        WorldRecentreStep();

        bool moves = c.delta.x != 0 || c.delta.y != 0 || c.delta.z != 0;
        for (size_t i = 0; i < before.size(); ++i) {
            EXPECT_EQ(world.pos[i].x, before[i].x + c.delta.x) << i;
            EXPECT_EQ(world.pos[i].y, before[i].y + c.delta.y) << i;
            EXPECT_EQ(world.pos[i].z, before[i].z + c.delta.z) << i;
            EXPECT_EQ(world.posFloat[i].x, beforeFloat[i].x + static_cast<float>(c.delta.x)) << i;
            EXPECT_EQ(world.posFloat[i].z, beforeFloat[i].z + static_cast<float>(c.delta.z)) << i;
        }
        EXPECT_EQ(world.visitOrder, moves ? std::vector<int>({0, 1, 2}) : std::vector<int>());
        ASSERT_EQ(world.hudShifts.size(), moves ? 1u : 0u);
        if (moves) {
            EXPECT_EQ(world.hudShifts[0].x, static_cast<float>(c.delta.x));
        }
        EXPECT_EQ(WorldOriginOffset.x, 10 - c.delta.x);
        EXPECT_EQ(WorldOriginOffset.y, 20 - c.delta.y);
        EXPECT_EQ(WorldOriginOffset.z, 30 - c.delta.z);
    }
    WorldSetRecentreHooks(nullptr);
    WorldOriginOffset = Vec3d{};
}

TEST(Util, WorldRecentreWithoutPlayerOrWorldDoesNothing) {
    FakeWorld world;
    gWorld = &world;
    world.hasPlayer = false;
    world.pos = {{5e8, 0, 0}};
    world.posFloat = {{5e8f, 0, 0}};
    WorldSetRecentreHooks(&kFakeHooks);
    WorldRecentre();
    EXPECT_EQ(world.pos[0].x, 5e8);
    WorldSetRecentreHooks(nullptr);
    WorldRecentre();
    EXPECT_EQ(WorldOriginOffset.x, 0.0);
}

}  // namespace
