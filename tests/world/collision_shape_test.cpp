#include "collision_fixture.h"
#include "world/docking.h"
#include "world/flight.h"

using ruvotest::FatalError;

namespace {
class ShapeTest : public CollisionTest {};
}  // namespace

TEST_F(ShapeTest, PerStepResetClearsTheMarksAndCounts) {
    SceneItem *a = Body(0, 0, 0, 1.0f);
    SceneItem *docking = Body(0, 0, 0, 1.0f);
    docking->simulator = dunUpdateDocking;
    for (SceneItem *it : {a, docking}) {
        it->flags |= SceneFlag::TouchingBody | SceneFlag::InGravityWell | SceneFlag::InAtmosphere | SceneFlag::Tracked;
        it->avatar->flags16 |= AvatarState::PerStep;
        it->sim->flags |= SimFlag::Carried;
        it->sim->shipInfo = dunAllocShipInfo();
        it->sim->shipInfo->nominal.p8x100 = 500.0f;
        it->sim->shipInfo->current.p8x100 = 2000.0f;
    }
    dunResetFrameFlags();
    EXPECT_EQ(dunObjectCount, 2);
    for (SceneItem *it : {a, docking}) {
        EXPECT_EQ(it->flags & (SceneFlag::TouchingBody | SceneFlag::InGravityWell | SceneFlag::InAtmosphere), 0u);
        EXPECT_TRUE(it->flags & SceneFlag::Tracked);
        EXPECT_FALSE(it->avatar->flags16 & AvatarState::PerStep);
        EXPECT_EQ(it->sim->shipInfo->current.p8x100, 500.0f);
    }
    EXPECT_FALSE(a->sim->flags & SimFlag::Carried);
    EXPECT_TRUE(docking->sim->flags & SimFlag::Carried);  // a docking object stays carried
}

TEST_F(ShapeTest, NodeTransformsAndTreeRadii) {
    SceneItem *a = Body(100, 0, 0, 0.0f);
    // Turned a quarter about Y: its X axis is the world's -Z.
    Mat4 &m = a->sim->matrix;
    m.m[0] = 0, m.m[2] = -1;
    m.m[8] = 1, m.m[10] = 0;
    TDP *root = a->avatar->root;
    root->radius = 5.0f;
    TDP *arm = dunAddChildTDP(root, nullptr, 10, 0, 0);
    arm->radius = 3.0f;
    dunUpdateNodeTransforms(a);
    EXPECT_FLOAT_EQ(root->worldPosition.x, 100.0f);
    EXPECT_FLOAT_EQ(arm->worldPosition.x, 100.0f);
    EXPECT_FLOAT_EQ(arm->worldPosition.z, -10.0f);
    // The farthest reach: the arm's 10 + 3; a missing part counts 13.
    EXPECT_FLOAT_EQ(dunNodeTreeRadius(root, 100, 0, 0), 13.0f);
    arm->radius = 4.0f;
    dunComputeObjectRadius(a);
    EXPECT_FLOAT_EQ(a->sim->radius, 14.0f);
    arm->radius = 40.0f;
    dunComputeObjectRadius(a);
    EXPECT_FLOAT_EQ(a->sim->radius, 14.0f);  // a radius once set stays
}

TEST_F(ShapeTest, APartUnderATranslatedPartIsWhereItsActorIsDrawn) {
    SceneItem *ship = Body(100, 0, 0, 0.0f);
    TDP *root = ship->avatar->root;
    TDP *wing = dunAddChildTDP(root, nullptr, 10, 0, 0);
    // The wing is turned a quarter about Z as well as moved.
    wing->local.m[0] = 0, wing->local.m[1] = 1;
    wing->local.m[4] = -1, wing->local.m[5] = 0;
    TDP *pod = dunAddChildTDP(wing, nullptr, 0, 5, 0);
    dunUpdateNodeTransforms(ship);
    // The actor tree draws a part at its local matrix composed with its
    // parents', its own first, under the object's orientation and position.
    Mat4 drawn = pod->local;
    MatPreMultiply(drawn, wing->local);
    MatPreMultiply(drawn, root->local);
    const Vec3 at = {100.0f + drawn.m[12], drawn.m[13], drawn.m[14]};
    EXPECT_FLOAT_EQ(pod->worldPosition.x, at.x);
    EXPECT_FLOAT_EQ(pod->worldPosition.y, at.y);
    EXPECT_FLOAT_EQ(pod->worldPosition.z, at.z);
    EXPECT_FLOAT_EQ(at.x, 105.0f);  // 10 out along the wing, then 5 along its turned Y
    // The parent frame's translation row is the wing's offset once more:
    // adding it as well would put the pod 10 further out than it is drawn.
    Mat4 frame = wing->local;
    MatPreMultiply(frame, root->local);
    EXPECT_FLOAT_EQ(frame.m[12], 10.0f);
    EXPECT_FLOAT_EQ(wing->worldPosition.x, 110.0f);
}

TEST_F(ShapeTest, ADroppedModelBringsItsCollisionShapeAndNewRadii) {
    static int model;
    SceneItem *ship = Body(0, 0, 0, 900.0f);
    CollisionModel *shape = dunAllocCollisionModel();
    shape->id = &model;
    shape->size = 250.0f;
    dunRefreshModelCollision(ship, &model);
    EXPECT_EQ(ship->avatar->root->collision, shape);
    EXPECT_EQ(ship->avatar->root->radius, 250.0f);
    EXPECT_EQ(ship->sim->radius, 250.0f);
    // A model without a shape: the part radius from the model, 13 without one.
    dunRefreshModelCollision(ship, nullptr);
    EXPECT_EQ(ship->avatar->root->collision, nullptr);
    EXPECT_EQ(ship->avatar->root->radius, 13.0f);
}

TEST_F(ShapeTest, HullPointsAndScaledBoxes) {
    SceneItem *a = Body(0, 0, 0, 1.0f);
    CollisionModel *m = Shape(a->avatar->root, {});
    for (int i = 0; i < 20; ++i) dunAddHullPoint(a->avatar->root, float(i), 0, 0);
    EXPECT_EQ(m->pointCount, 16);
    m->pointCount = 2;
    dunAddHullPoint(a->avatar->root, 1, 0, 0);  // already there
    EXPECT_EQ(m->pointCount, 2);
    m->size = 100.0f;
    HitBox *b = AddBox(m, {-10, -20, -30}, {10, 20, 30});
    dunScaleCollisionVolumes(m, 50.0f);
    EXPECT_EQ(m->size, 50.0f);
    EXPECT_EQ(b->lower.z, -15.0f);
    EXPECT_EQ(b->upper.y, 10.0f);
    m->size = 0.0f;  // nothing to scale from: the boxes stay
    dunScaleCollisionVolumes(m, 80.0f);
    EXPECT_EQ(b->upper.y, 10.0f);
    EXPECT_EQ(m->size, 80.0f);
}

TEST_F(ShapeTest, SpawningAPartMakesItAnObjectOfItsOwn) {
    SceneItem *ship = Body(500, 0, 0, 100.0f);
    TDP *root = ship->avatar->root;
    TDP *wing = dunAddChildTDP(root, nullptr, 10, 0, 0);
    TDP *tail = dunAddChildTDP(root, nullptr, -10, 0, 0);  // the wing's sibling
    TDP *pod = dunAddChildTDP(wing, nullptr, 0, 5, 0);     // under a part with a sibling
    TDP *podLight = dunAddChildTDP(pod, nullptr, 0, 1, 0);
    dunUpdateNodeTransforms(ship);
    SceneItem *spawned = dunSpawnScene(ship, pod);
    ASSERT_NE(spawned, ship);
    EXPECT_EQ(spawned->avatar->root, pod);
    EXPECT_EQ(pod->sibling, nullptr);
    EXPECT_EQ(pod->owner, spawned);
    EXPECT_EQ(podLight->owner, spawned);  // deleting it releases the whole part
    EXPECT_TRUE(wing->child->flags & TDPFlag::Joint);
    EXPECT_FALSE(wing->child->flags & TDPFlag::Collidable);
    EXPECT_DOUBLE_EQ(spawned->sim->position.x, 510.0);
    EXPECT_DOUBLE_EQ(spawned->sim->position.y, 5.0);
    EXPECT_FLOAT_EQ(spawned->sim->matrix.m[12], 510.0f);
    EXPECT_TRUE(dunMsgIsReceiver(spawned->receiverId));
    // A placeholder is never spawned again; a part of no tree takes nothing.
    EXPECT_EQ(dunSpawnScene(ship, wing->child), ship);
    int free = 0;
    for (const TDP &n : dunTDPPool) free += !(n.flags & TDPFlag::InUse);
    TDP *stray = dunNewTDP();
    EXPECT_EQ(dunSpawnScene(ship, stray), ship);
    int freeAfter = 0;
    for (const TDP &n : dunTDPPool) freeAfter += !(n.flags & TDPFlag::InUse);
    EXPECT_EQ(freeAfter, free - 1);  // only the stray itself
    dunDeleteSceneItem(spawned);
    EXPECT_FALSE(podLight->flags & TDPFlag::InUse);
    EXPECT_THROW(dunSpawnScene(ship, nullptr), FatalError);
    (void)tail;
}

// The box reach along a direction in the object's frame: the model's box
// diagonal taken axis by axis; a body with no collision shape reaches 0.
TEST_F(ShapeTest, BoxExtentAlongADirection) {
    SceneItem *ship = Body(0, 0, 0, 10.0f);
    EXPECT_EQ(dunBoxExtentAlong(0, 0, 1, ship), 0.0f);
    CollisionModel *m = Shape(ship->avatar->root, {});
    m->boundsLower = {-1.0f, -2.0f, -3.0f};
    m->boundsUpper = {1.0f, 2.0f, 3.0f};
    EXPECT_FLOAT_EQ(dunBoxExtentAlong(0, 0, 5, ship), 6.0f);
    EXPECT_FLOAT_EQ(dunBoxExtentAlong(3, 0, 0, ship), 2.0f);
}
