#include <cmath>
#include <vector>

#include "collision_fixture.h"
#include "world/rays.h"

namespace {

class RayTest : public CollisionTest {
protected:
    // A target at the origin: a part of radius 20 with one box of half-size 10.
    SceneItem *Target(uint32_t boxFlags = 0x300) {
        SceneItem *t = Body(0, 0, 0, 20.0f);
        AddBox(Shape(t->avatar->root, {}), {-10, -10, -10}, {10, 10, 10}, boxFlags);
        return t;
    }
    // A bolt facing +Z that sweeps 100 units.
    static SceneItem *Bolt(double x, double y, double z) {
        SceneItem *b = Body(x, y, z, 1.0f);
        b->avatar->rayLength = 100.0f;
        return b;
    }
};

}  // namespace

TEST_F(RayTest, ABoltHitsThePartItsSegmentCrosses) {
    struct Case {
        const char *name;
        Vec3 from;
        uint32_t partFlags;  // added to the target's root
        bool hit;
    };
    const Case cases[] = {
        {"through the box", {0, 0, -50}, 0, true},
        {"beyond its sweep", {0, 0, -100}, 0, false},
        {"behind, within its sweep", {0, 0, 60}, 0, true},
        {"wide of the part", {0, 24.5f, -50}, 0, false},
        {"near the part, wide of the box", {0, 15, -50}, 0, false},
        {"spheres only", {0, 15, -50}, TDPFlag::SpheresOnly, true},
        {"sky world", {0, 0, -50}, TDPFlag::SkyWorld, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        dunResetWorld();
        SceneItem *t = Target();
        t->avatar->root->flags |= c.partFlags;
        SceneItem *bolt = Bolt(c.from.x, c.from.y, c.from.z);
        Vec3 point = {};
        EXPECT_EQ(dunRayHitsNode(bolt, t->avatar->root, &point) != nullptr, c.hit);
    }
    // The contact point lies on the face the bolt meets first, and the part's
    // box flags become the target's contact mask.
    dunResetWorld();
    SceneItem *t = Target();
    SceneItem *bolt = Bolt(3, 4, -50);
    Vec3 point = {};
    ASSERT_EQ(dunRayHitsNode(bolt, t->avatar->root, &point), t->avatar->root);
    EXPECT_FLOAT_EQ(point.z, -10.0f);
    EXPECT_FLOAT_EQ(point.x, 3.0f);
    EXPECT_EQ(t->avatar->contactPartMask, 0x300u);
}

TEST_F(RayTest, AZeroDirectionComponentMeetsNoFaceOfItsAxis) {
    SceneItem *t = Target();
    const Vec3 along = {1, 0, 0};
    Vec3 point = {};
    const Vec3 from = {-50, 0, 0};
    EXPECT_EQ(dunRayHitsHitBoxes(&from, t->avatar->root, &along, &point), 0xFF);
    EXPECT_FLOAT_EQ(point.x, -10.0f);
    const Vec3 beside = {-50, 0, 0}, up = {0, 0, 1};
    EXPECT_EQ(dunRayHitsHitBoxes(&beside, t->avatar->root, &up, nullptr), 0);
}

TEST_F(RayTest, ARayPartCollidesThroughTheRayTest) {
    SceneItem *t = Target();
    t->avatar->contactHandler = [](SceneItem *, TDP *, SceneItem *, TDP *, int16_t *h, float *) { *h = 7; };
    static float seen[3];
    SceneItem *bolt = Bolt(0, 0, -50);
    bolt->sim->radius = 60.0f;  // the broad phase lets the pair through
    bolt->avatar->root->flags |= TDPFlag::RayNode;
    bolt->avatar->contactHandler = [](SceneItem *, TDP *, SceneItem *, TDP *, int16_t *, float *p) {
        seen[0] = p[0], seen[1] = p[1], seen[2] = p[2];
    };
    dunCollisionPass();
    EXPECT_TRUE(bolt->avatar->root->flags & TDPFlag::HitThisStep);
    EXPECT_FLOAT_EQ(seen[2], -10.0f);
}

TEST_F(RayTest, TheAimPicksTheObjectNearestTheAxisInFront) {
    dunResetWorld();
    SceneItem *shooter = Body(0, 0, 0, 10.0f);
    auto at = [](double x, double y, double z, uint32_t flags = AvatarFlag::Ship) {
        SceneItem *it = Body(x, y, z, 10.0f);
        it->avatar->flags |= flags;
        return it;
    };
    SceneItem *offAxis = at(10, 0, 1000);
    SceneItem *onAxis = at(0, 0, 5000);
    at(0, 0, 100, AvatarFlag::Ship | AvatarFlag::Mine);  // excluded by mask
    SceneItem *hidden = at(0, 1, 50);
    hidden->avatar->flags16 |= AvatarState::NoContact;
    float distance = -1.0f;
    EXPECT_EQ(dunRayHitsObject(shooter, nullptr, AvatarFlag::Ship, AvatarFlag::Mine, &distance, nullptr), onAxis);
    EXPECT_EQ(distance, 0.0f);
    EXPECT_EQ(dunRayHitsObject(shooter, nullptr, AvatarFlag::Ship, AvatarFlag::Mine, &distance, onAxis), offAxis);
    EXPECT_EQ(distance, 10.0f);

    // Behind only: no pick, but the distance of the one nearest the axis;
    // an object level with the shooter is the last resort, not a NaN.
    dunResetWorld();
    shooter = Body(0, 0, 0, 10.0f);
    SceneItem *level = at(7, 0, 0);
    float lateral = 0.0f;
    const float score = dunAimScore(&shooter->sim->matrix, level, AvatarFlag::Ship, 0, &lateral);
    EXPECT_FALSE(std::isnan(score));
    EXPECT_LT(score, -1e30f);
    EXPECT_EQ(lateral, 7.0f);
    at(30, 0, -100);
    at(5, 0, -100);
    distance = -1.0f;
    EXPECT_EQ(dunRayHitsObject(shooter, nullptr, AvatarFlag::Ship, 0, &distance, nullptr), nullptr);
    EXPECT_EQ(distance, 5.0f);
    EXPECT_EQ(dunAimScore(&shooter->sim->matrix, level, AvatarFlag::Mine, 0, nullptr), -1e10f);
}

TEST_F(RayTest, TheNearestFlaggedPartNotThePointsOwn) {
    SceneItem *a = Body(0, 0, 0, 10.0f);
    TDP *self = a->avatar->root;
    self->flags |= 0x800;
    TDP *near = dunAddChildTDP(self, nullptr, 30, 0, 0);
    TDP *far = dunAddChildTDP(self, nullptr, 60, 0, 0);
    TDP *excluded = dunAddChildTDP(self, nullptr, 20, 0, 0);
    near->flags |= 0x800;
    far->flags |= 0x800;
    excluded->flags |= 0x800 | 0x400;
    SceneItem *b = Body(0, 0, 45, 10.0f);
    b->avatar->root->flags |= 0x800;
    dunUpdateNodeTransforms(a);
    EXPECT_EQ(dunFindObjectByFlags(0x800, 0x400, 0, 0, 0, 1000.0f), near);
    EXPECT_EQ(dunFindObjectByFlags(0x800, 0x400, 0, 0, 0, 30.0f), nullptr);  // strictly within
    EXPECT_EQ(dunFindObjectByFlags(0x800, 0x400, 60, 0, 0, 1000.0f), near);  // far is the point's own
}
