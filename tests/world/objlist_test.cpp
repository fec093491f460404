#include <cmath>
#include <cstring>
#include <vector>

#include "RES/util.h"
#include "script/mission.h"
#include "world_fixture.h"
#include "world/flight.h"

using ruvotest::FatalError;

class ObjListTest : public WorldTest {
protected:
    static std::vector<SceneItem *> Walk() {
        std::vector<SceneItem *> out;
        SceneItem *head = dunSceneListHead();
        for (SceneItem *it = head->next; it != head; it = it->next) out.push_back(it);
        return out;
    }
};

TEST_F(ObjListTest, OrdinaryObjectsGoBeforeTheCursorAppendedOnesAtTheEnd) {
    SceneItem *head = dunSceneListHead();
    EXPECT_EQ(dunCurrentItem, head);
    SceneItem *a = MakeObject();
    SceneItem *bolt = MakeObject(SceneFlag::Appended);
    EXPECT_EQ(dunCurrentItem, bolt);
    SceneItem *b = MakeObject();
    SceneItem *bolt2 = MakeObject(SceneFlag::Appended);
    EXPECT_EQ(Walk(), (std::vector<SceneItem *>{a, b, bolt, bolt2}));
    EXPECT_EQ(dunCurrentItem, bolt);

    // Linking again changes nothing, not even the flags.
    dunLinkSceneItem(a, SceneFlag::Tracked);
    EXPECT_EQ(a->flags & SceneFlag::Tracked, 0u);
    EXPECT_EQ(Walk().size(), 4u);

    dunMoveToFront(b);
    EXPECT_EQ(Walk(), (std::vector<SceneItem *>{b, a, bolt, bolt2}));
    dunMoveToFront(bolt2);  // appended objects stay where they are
    EXPECT_EQ(Walk().back(), bolt2);
    dunMoveNextToCurrent(a);
    EXPECT_EQ(Walk(), (std::vector<SceneItem *>{b, bolt, a, bolt2}));
    EXPECT_TRUE(a->flags & SceneFlag::Appended);
}

TEST_F(ObjListTest, MoveNextToCurrentWithoutAppendedObjectsMakesTheCursor) {
    SceneItem *a = MakeObject();
    SceneItem *b = MakeObject();
    dunMoveNextToCurrent(a);
    EXPECT_EQ(dunCurrentItem, a);
    EXPECT_EQ(Walk(), (std::vector<SceneItem *>{b, a}));
}

TEST_F(ObjListTest, DeletingTheCursorMovesItOn) {
    MakeObject();
    SceneItem *bolt = MakeObject(SceneFlag::Appended);
    SceneItem *bolt2 = MakeObject(SceneFlag::Appended);
    EXPECT_EQ(dunDeleteSceneItem(bolt), bolt);
    EXPECT_EQ(dunCurrentItem, bolt2);
    dunDeleteSceneItem(bolt2);
    EXPECT_EQ(dunCurrentItem, dunSceneListHead());
    EXPECT_EQ(bolt->releaseFrame, dunFrameCounter);
    EXPECT_EQ(bolt->flags & 1, 0u);
    EXPECT_EQ(bolt->sim->flags & 1, 0u);
    EXPECT_EQ(bolt->avatar->flags16 & 1, 0);
}

TEST_F(ObjListTest, AWalkMayDeleteTheObjectItStandsOn) {
    SceneItem *items[6];
    for (SceneItem *&it : items) it = MakeObject();
    dunSetControlRoutine(items[1], [](SceneItem *self) { dunDeleteSceneItem(self); });
    dunSetControlRoutine(items[4], [](SceneItem *self) { dunDeleteSceneItem(self); });
    static int visits;
    visits = 0;
    for (SceneItem *it : items)
        if (!it->control) dunSetControlRoutine(it, [](SceneItem *) { ++visits; });
    dunRunControlRoutines();
    EXPECT_EQ(visits, 4);
    EXPECT_EQ(Walk(), (std::vector<SceneItem *>{items[0], items[2], items[3], items[5]}));
    // Nothing is handed out again in the same frame.
    for (int i = 0; i < 10; ++i) {
        SceneItem *fresh = dunAllocSceneItem();
        EXPECT_NE(fresh, items[1]);
        EXPECT_NE(fresh, items[4]);
    }
}

TEST_F(ObjListTest, DeletingANonCurrentItemIsFatal) {
    SceneItem *a = MakeObject();
    dunDeleteSceneItem(a);
    EXPECT_THROW(dunDeleteSceneItem(a), FatalError);
}

TEST_F(ObjListTest, ParkAndTranslateMoveBetweenTheLists) {
    SceneItem *a = MakeObject();
    SceneItem *b = MakeObject();
    a->sim->position = {10.0, 20.0, 30.0};
    TDP *child = dunAddChildTDP(a->avatar->root, nullptr, 1, 2, 3);
    child->flags |= TDPFlag::HasActor;
    dunParkSceneItem(a, 10.0, 0.0, 0.0);
    EXPECT_EQ(Walk(), (std::vector<SceneItem *>{b}));
    SceneItem *parked = dunParkedListHead();
    EXPECT_EQ(parked->next, a);
    EXPECT_EQ(a->sim->position.x, 0.0);
    dunTranslateSceneItem(a, 5.0, 0.0, 0.0);
    EXPECT_EQ(parked->next, parked);
    EXPECT_EQ(Walk(), (std::vector<SceneItem *>{b, a}));
    EXPECT_EQ(a->sim->matrix.m[12], 5.0f);
    EXPECT_EQ(a->sim->matrix.m[13], 20.0f);
    EXPECT_TRUE(child->flags & TDPFlag::HasActor);
    // Only listed objects are deleted: a parked one stays parked, with its
    // records and receiver.
    dunSetMessageHandler(b, nullptr);
    dunParkSceneItem(b, 0, 0, 0);
    EXPECT_EQ(dunDeleteSceneItem(b), nullptr);
    EXPECT_EQ(parked->next, b);
    EXPECT_TRUE(b->flags & SceneFlag::InUse);
    EXPECT_TRUE(b->sim->flags & SimFlag::InUse);
    EXPECT_TRUE(dunMsgIsReceiver(b->receiverId));
    dunTranslateSceneItem(b, 0, 0, 0);
    EXPECT_EQ(dunDeleteSceneItem(b), b);
}

TEST_F(ObjListTest, ABrokenRingIsFatal) {
    SceneItem *a = MakeObject();
    MakeObject();
    SceneItem *saved = a->next;
    a->next = nullptr;
    try {
        dunCheckSceneList();
        FAIL();
    } catch (const FatalError &e) {
        EXPECT_STREQ(e.what(), "SceneList has lost its integrity");
    }
    a->next = saved;
    EXPECT_TRUE(dunCheckSceneList());
}

TEST_F(ObjListTest, NewNodesAndTreeShape) {
    SceneItem *a = MakeObject();
    TDP *root = a->avatar->root;
    EXPECT_EQ(root->flags, TDPFlag::InUse | TDPFlag::Collidable);
    EXPECT_EQ(root->colour[0], 255);
    EXPECT_EQ(root->owner, a);
    TDP *c1 = dunAddChildTDP(root, nullptr, 1, 2, 3);
    TDP *c2 = dunAppendTDP(root, nullptr, 0, 0, 0);
    TDP *g = dunAddChildTDP(c1, nullptr, 0, 0, 0);
    EXPECT_EQ(root->child, c1);
    EXPECT_EQ(c1->sibling, c2);
    EXPECT_EQ(g->owner, a);
    EXPECT_EQ(c1->local.m[12], 1.0f);
    EXPECT_EQ(c1->offset.z, 3.0f);
    EXPECT_EQ(CountNodeInTree(root, g), 1);
    TDP **slot = nullptr;
    EXPECT_EQ(FindNodeById(a, g, &slot), c1);
    EXPECT_EQ(slot, &c1->child);
    EXPECT_EQ(FindNodeById(a, root, &slot), nullptr);
    EXPECT_EQ(slot, nullptr);
}

TEST_F(ObjListTest, DetachingANodeHandsItsLinkToTheRightReplacement) {
    SceneItem *a = MakeObject();
    TDP *root = a->avatar->root;
    // root -> n1 (children g1) -> sibling n2 (leaf)
    TDP *n1 = dunAddChildTDP(root, nullptr, 0, 0, 0);
    TDP *n2 = dunAddChildTDP(root, nullptr, 0, 0, 0);
    TDP *g1 = dunAddChildTDP(n1, nullptr, 0, 0, 0);
    dunDetachNode(n1);  // children and a sibling: a joint takes over both
    TDP *joint = root->child;
    EXPECT_TRUE(joint->flags & TDPFlag::Joint);
    EXPECT_FALSE(joint->flags & TDPFlag::Collidable);
    EXPECT_EQ(joint->child, g1);
    EXPECT_EQ(joint->sibling, n2);
    EXPECT_EQ(n1->flags & 1, 0u);
    dunDetachNode(n2);  // a leaf without a sibling leaves an empty link
    EXPECT_EQ(joint->sibling, nullptr);
    dunDetachNode(joint);  // only children: its first child takes the link
    EXPECT_EQ(root->child, g1);
}

TEST_F(ObjListTest, DestructionTotalWeighsKillsByTypeAndSize) {
    struct Case {
        uint16_t type;
        float radius;
        int expected;
    };
    const Case cases[] = {{0, 0, 7}, {0, 5000, 7}, {0, 10000, 30}, {13, 10000, 12}, {3, 20000, 0},
                          {19, 1000, 0}, {20, 1000, 0}, {65535, 50000, 0}};
    for (const Case &c : cases) {
        SceneItem *ship = MakeObject();
        ship->sim->shipInfo = dunAllocShipInfo();
        ship->sim->shipInfo->typeCode = c.type;
        ship->sim->radius = c.radius;
        dunDestructionTotal = 0;
        dunDeleteSceneItem(ship);
        EXPECT_EQ(dunDestructionTotal, c.expected) << c.type << " " << c.radius;
        EXPECT_EQ(ship->sim->shipInfo->flags & 1, 0u);
    }
    // Two giants saturate the total instead of wrapping it negative.
    dunDestructionTotal = 0;
    for (int i = 0; i < 2; ++i) {
        SceneItem *giant = MakeObject();
        giant->sim->shipInfo = dunAllocShipInfo();
        giant->sim->radius = 1e9f;
        dunDeleteSceneItem(giant);
    }
    EXPECT_EQ(dunDestructionTotal, INT32_MAX);
}

TEST_F(ObjListTest, DeletionClearsAttackersAndTheReceiver) {
    SceneItem *victim = MakeObject();
    SceneItem *attacker = MakeObject();
    victim->avatar->attacker = attacker;
    victim->avatar->attackCount = 3;
    uint32_t id = dunSetMessageHandler(attacker, nullptr);
    dunDeleteSceneItem(attacker);
    EXPECT_EQ(victim->avatar->attacker, nullptr);
    EXPECT_EQ(victim->avatar->attackCount, 0);
    EXPECT_EQ(dunMsgNewReceiver(), id);  // the id is free again
}

TEST_F(ObjListTest, ThePlayersWreckTakesTheDestroyedShipsMotion) {
    SceneItem *ship = MakeObject();
    SceneItem *turret = MakeObject();
    dunPlayerShip = ship;
    dunControlledObject = turret;  // the player is flying a turret
    ship->sim->position = {1e6, 2.0, 3.0};
    ship->sim->velocity = {100.0f, 0.0f, 0.0f};
    turret->sim->position = {-5.0, -5.0, -5.0};
    dunMissionEndCountdown = 0;
    dunMissionSuccess = 1;

    dunDeleteSceneItem(ship);
    SceneItem *wreck = dunPlayerShip;
    ASSERT_NE(wreck, ship);
    EXPECT_EQ(dunControlledObject, wreck);
    EXPECT_TRUE(dunIsInSceneList(wreck));
    EXPECT_FALSE(wreck->flags & SceneFlag::Appended);
    EXPECT_EQ(wreck->sim->position.x, 1e6);
    // Slower than 2000: the wreck drifts along its forward axis.
    EXPECT_EQ(wreck->sim->velocity.z, 2000.0f);
    EXPECT_EQ(wreck->sim->speed, 50.0f);
    EXPECT_EQ(wreck->simulator, dunSimSpawnedNode);
    EXPECT_EQ(wreck->avatar->modelUpdate, dunCopySimToModel);
    EXPECT_TRUE(wreck->avatar->root->flags & TDPFlag::HasActor);
    EXPECT_FALSE(wreck->avatar->root->flags & TDPFlag::Collidable);
    // No "CorpseMd" model here: the radius falls back to the default.
    EXPECT_EQ(wreck->sim->radius, 13.0f);
    ASSERT_NE(wreck->sim->shipInfo, nullptr);
    EXPECT_EQ(wreck->sim->flight, &wreck->sim->shipInfo->current);
    EXPECT_EQ(wreck->sim->shipInfo->typeCode, 4);
    EXPECT_STREQ(wreck->sim->shipInfo->name, "CNV-301");
    EXPECT_STREQ(wreck->sim->shipInfo->className, "Body");
    EXPECT_GE(wreck->yawSpin, -25.0f);
    EXPECT_LT(wreck->yawSpin, 25.0f);
    EXPECT_TRUE(dunMsgIsReceiver(wreck->receiverId));
    EXPECT_EQ(dunPlayerDestroyed, 1);
    EXPECT_EQ(dunMissionEndCountdown, 1000);
    EXPECT_EQ(dunMissionSuccess, 0);
}

TEST_F(ObjListTest, FlightParamsDeriveTheirFigures) {
    FlightParams b;
    dunInitFlightParams(&b, 2.0f, 3.0f, 150, 4000000001u, 60.0f, 30.0f, 10.0f, 7.0f);
    // The LDS growth and maximum are whole numbers, kept to the last unit.
    EXPECT_EQ(b.p3, 150u);
    EXPECT_EQ(b.p4, 4000000001u);
    EXPECT_EQ(b.p300, 300.0f);
    EXPECT_EQ(b.p8x100, 700.0f);
    EXPECT_FLOAT_EQ(b.d1, 480.0f / 30 + 240.0f / 60);
    EXPECT_FLOAT_EQ(b.d2, b.d1 * 7 + (7.0f / 2) * 1.2f + 150);
    EXPECT_FLOAT_EQ(b.d3, 2.0f * 180 / 30);
    EXPECT_EQ(b.d4, 150.0f);
    EXPECT_EQ(b.tail[2], 100.0f);
    EXPECT_EQ(b.workRates[1], 30.0f);
    // The wreck's zero rates give infinities by design, and they pass the check.
    dunInitFlightParams(&b, 10.0f, 10.0f, 0, 0, 0, 0, 0, 200000.0f);
    EXPECT_TRUE(std::isinf(b.d1));
    EXPECT_TRUE(dunCheckFloat(b.d1));
    float nan;
    uint32_t bits = 0x7FC00000u;
    std::memcpy(&nan, &bits, 4);
    EXPECT_THROW(dunCheckFloat(nan), FatalError);
}

TEST_F(ObjListTest, SkillScalesEveryShipButThePlayers) {
    struct Case {
        int16_t skill;
        float factor;
    };
    const Case cases[] = {{0, 0.75f}, {50, 1.0f}, {80, 1.2f}, {200, 2.0f}};
    for (const Case &c : cases) {
        SceneItem *ship = MakeObject();
        ShipInfo *s = ship->sim->shipInfo = dunAllocShipInfo();
        dunInitFlightParams(&s->nominal, 100, 1, 0, 0, 10, 20, 30, 1);
        s->current = s->nominal;
        s->skill = c.skill;
        dunScaleShipPerformance(ship);
        EXPECT_FLOAT_EQ(s->current.p1, 100 * c.factor);
        EXPECT_FLOAT_EQ(s->current.turnRates[2], 30 * c.factor);
        EXPECT_FLOAT_EQ(s->current.workRates[0], 10 * c.factor);
        dunPlayerShip = ship;
        s->current = s->nominal;
        dunScaleShipPerformance(ship);
        EXPECT_EQ(s->current.p1, 100.0f);
        dunPlayerShip = nullptr;
    }
}

TEST_F(ObjListTest, AWalkGoesOnWhenACallTakesOutTheNextObject) {
    static SceneItem *victim;
    static int visits;
    visits = 0;
    SceneItem *a = MakeObject();
    victim = MakeObject();
    SceneItem *c = MakeObject();
    a->control = [](SceneItem *) { dunDeleteSceneItem(victim); };
    victim->control = [](SceneItem *) { ++visits; };
    c->control = [](SceneItem *) { visits += 10; };
    dunRunControlRoutines();
    EXPECT_EQ(visits, 10);
    EXPECT_EQ(Walk(), (std::vector<SceneItem *>{a, c}));
}

TEST_F(ObjListTest, ARingThatNeverReturnsIsFatalNotAHang) {
    SceneItem *a = MakeObject();
    SceneItem *b = MakeObject();
    b->next = a;  // a cycle that skips the head
    EXPECT_THROW(dunCheckSceneList(), FatalError);
    b->next = dunSceneListHead();
}

TEST_F(ObjListTest, ObjectsAreFoundByTheirAvatarFlags) {
    SceneItem *rock = MakeObject();
    SceneItem *ship = MakeObject();
    SceneItem *ship2 = MakeObject();
    rock->avatar->flags = AvatarFlag::FreeBody;
    ship->avatar->flags = AvatarFlag::Ship | 0x40;
    ship2->avatar->flags = AvatarFlag::Ship | 0x80;
    EXPECT_EQ(dunFirstObjectWithFlags(AvatarFlag::Ship), ship);
    EXPECT_EQ(dunNextObjectWithFlags(ship, AvatarFlag::Ship), ship2);
    EXPECT_EQ(dunNextObjectWithFlags(ship2, AvatarFlag::Ship), nullptr);
    EXPECT_EQ(dunFirstObjectWithFlags(AvatarFlag::Ship | 0x80), ship2);
    EXPECT_EQ(dunNextObjectWithFlags(nullptr, 0), nullptr);
}

TEST_F(ObjListTest, LinkedSymbolLosesItsObjectAndNodesLoseTheirChannels) {
    SceneItem *a = MakeObject();
    void *symbol[2] = {const_cast<char *>("Name"), a};
    a->linkRecord = symbol;
    dunAddNodeChannel(a->avatar->root, 11, 0);
    dunDeleteSceneItem(a);
    EXPECT_EQ(symbol[1], nullptr);
    EXPECT_EQ(a->avatar->root->channels, nullptr);
    EXPECT_EQ(a->avatar->root->flags & 1, 0u);
}

TEST_F(ObjListTest, RecentringShiftsEveryListedObject) {
    SceneItem *ship = MakeObject();
    SceneItem *rock = MakeObject();
    dunPlayerShip = ship;
    ship->sim->position = {250000000.0, 0.0, 0.0};
    rock->sim->position = {250000100.0, 5.0, 0.0};
    rock->sim->matrix.m[12] = 250000100.0f;
    WorldRecentre();
    EXPECT_EQ(ship->sim->position.x, 50000000.0);
    EXPECT_EQ(rock->sim->position.x, 50000100.0);
    EXPECT_EQ(rock->sim->position.y, 5.0);
    EXPECT_NEAR(rock->sim->matrix.m[12], 50000100.0f, 16.0f);
}

TEST_F(ObjListTest, DeletionReleasesTheWholePartTree) {
    SceneItem *a = MakeObject();
    TDP *root = a->avatar->root;
    TDP *child = dunAddChildTDP(root, nullptr, 0, 0, 0);
    TDP *effect = dunAddChildTDP(child, nullptr, 0, 0, 0);
    ParticleSystem *ps = dunAllocSmallParticleSystem();
    ps->extras = dunAlloc(16);
    effect->flags |= TDPFlag::Particle | TDPFlag::HasActor;
    effect->particleOrMaterial = ps;
    dunDeleteSceneItem(a);
    for (TDP *n : {root, child, effect}) EXPECT_EQ(n->flags & TDPFlag::InUse, 0u);
    EXPECT_EQ(ps->flags & 1, 0u);
    EXPECT_EQ(ps->extras, nullptr);
    EXPECT_FALSE(effect->flags & TDPFlag::HasActor);
}
