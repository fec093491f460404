// The contact list, the target pickers, the sub-target cursor, the reticle
// and the idle, stop and move-to states.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "ai/combat.h"
#include "ai/contacts.h"
#include "ai/weapons.h"
#include "ai_fixture.h"
#include "RES/surface.h"
#include "present/views.h"
#include "world/handle.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/step.h"

using ruvotest::AiShip;

namespace {

class Contacts : public testing::Test {
protected:
    SceneItem *own = nullptr;
    void SetUp() override {
        dunai_InitStateRegistry();
        dunFrameStep = 20;
        dunFrameSeconds = 0.2f;
        dunGameClock = 1000;
        own = Ship(0, 0, 0, 1);
        dunControlledObject = dunPlayerShip = own;
        dunInitContacts();
        dunDetectInfinite = 0;
        dunContactFilter = 0;
        dunContactFilterIndex = 0;
        dunWeaponTarget = nullptr;
    }
    void TearDown() override { dunControlledObject = dunPlayerShip = nullptr; }
    static SceneItem *Ship(double x, double y, double z, int side) {
        SceneItem *s = AiShip(x, y, z);
        s->sim->shipInfo->side = int16_t(side);
        s->avatar->flags = AvatarFlag::Ship | (0x40u << side);
        s->sim->radius = 1000.0f;
        s->sim->signature = 1.0f;
        return s;
    }
    // A refresh that is due.
    void Refresh() {
        dunGameClock += 50;
        dunRefreshContacts();
    }
    static Contact *EntryOf(const SceneItem *o) {
        for (Contact &c : dunContacts)
            if ((c.flags & ContactFlag::InUse) && c.object == o) return &c;
        return nullptr;
    }
};

TEST_F(Contacts, SideIsRevealedInsideTheIdentificationRangeAndMarkedFor150cs) {
    // Radius 1000: sensor range 1e7 (the floor); side 3 identifies at 0.1 of it.
    SceneItem *foe = Ship(0, 0, 5e6, 3);
    Refresh();
    Contact *e = EntryOf(foe);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->side, 1024u);
    foe->sim->position.z = 5e5;
    Refresh();
    EXPECT_EQ(e->side, foe->avatar->flags & AvatarFlag::SideMask);
    EXPECT_EQ(e->sideTimer, 150 - 0);  // set after this refresh's count-down
    dunRefreshContacts();  // not due: only the count-down
    EXPECT_EQ(e->sideTimer, 130);
    EXPECT_EQ(e->range, 5e5f);
}

TEST_F(Contacts, ClassTableAndTheLossRuleWithTheAutopilotTarget) {
    struct Case {
        uint32_t flags;
        int kind;
    } cases[] = {{0x4, 0}, {0x10, 1}, {0x8, 0}, {0x1, 2}, {0x400000, 7}, {0x1000000, 4}, {0x40, -1}, {0x14, 0}};
    for (const Case &c : cases) {
        SceneItem *o = Ship(0, 0, 0, 2);
        o->avatar->flags = c.flags;
        EXPECT_EQ(dunContactClass(o), c.kind) << std::hex << c.flags;
    }
    // Beyond its range with no signal: lost; as the autopilot's untraceable
    // target, it stops the autopilot.
    SceneItem *far = Ship(0, 0, 9e8, 3);
    far->sim->signature = 0.0f;
    far->flags |= SceneFlag::Untraceable;
    own->sim->target = far;
    own->sim->flags |= SimFlag::Autopilot;
    Refresh();
    EXPECT_EQ(EntryOf(far), nullptr);
    EXPECT_EQ(own->sim->target, nullptr);
    EXPECT_FALSE(own->sim->flags & SimFlag::Autopilot);
    // Without the untraceable flag the autopilot keeps it listed.
    far->flags &= ~SceneFlag::Untraceable;
    own->sim->target = far;
    own->sim->flags |= SimFlag::Autopilot;
    Refresh();
    EXPECT_NE(EntryOf(far), nullptr);
}

TEST_F(Contacts, NavigationBodiesDropFarAndLargeOnes) {
    SceneItem *near = Ship(0, 0, 1e9, 3), *far = Ship(0, 0, 1e13, 3), *big = Ship(0, 0, 1e9, 3);
    for (SceneItem *o : {near, far, big}) o->avatar->flags = AvatarFlag::NavigationBody;
    big->sim->radius = 7e9f;
    Refresh();
    EXPECT_NE(EntryOf(near), nullptr);
    EXPECT_EQ(EntryOf(far), nullptr);
    EXPECT_EQ(EntryOf(big), nullptr);
    EXPECT_EQ(dunContactClassCounts[7], 1);
}

TEST_F(Contacts, ThreatListKeepsFourAndOverwritesTheFirstFartherOne) {
    struct Case {
        std::vector<float> stored;
        float added;
        std::vector<float> expected;
    } cases[] = {
        {{100, 200, 300, 400}, 250, {100, 200, 250, 400}},
        {{100, 200, 300, 400}, 500, {100, 200, 300, 400}},
        {{400, 100, 200, 300}, 250, {250, 100, 200, 300}},
    };
    SceneItem *m = Ship(0, 0, 0, 3);
    for (const Case &c : cases) {
        dunThreatCount = 0;
        for (float d : c.stored) dunAddThreat(m, d);
        dunAddThreat(m, c.added);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(dunNearestThreats[i].distance, c.expected[i]) << c.added;
    }
}

TEST_F(Contacts, DisplayWindowCyclingAndNextHostile) {
    std::vector<SceneItem *> ships;
    for (int i = 8; i >= 0; --i) ships.insert(ships.begin(), Ship(0, 0, 100000.0 * (i + 1), i == 8 ? 3 : 1));
    Refresh();
    ASSERT_EQ(dunContactsInMode, 9);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(dunContactDisplay[i]->object, ships[i]) << i;  // by distance
    EXPECT_EQ(dunCurrentContactObject(), ships[0]);
    EXPECT_EQ(dunContactRowsVisible, 7);
    dunSelectTarget(ships[7]);
    EXPECT_EQ(dunContactWindowTop, 1);
    dunSelectTarget(ships[8]);
    dunNextTarget();
    EXPECT_EQ(dunCurrentContactObject(), ships[0]);
    EXPECT_EQ(dunContactWindowTop, 0);
    dunPrevTarget();
    EXPECT_EQ(dunCurrentContactObject(), ships[8]);
    // Friends (side 1, the player's) are skipped; the side-3 ship is the one.
    Refresh();  // identified: everything is within 0.5 of the range
    dunSelectTarget(ships[0]);
    dunNextHostileTarget();
    EXPECT_EQ(dunWeaponTarget, ships[8]);
    EXPECT_EQ(own->sim->goal, ships[8]);
    ships[8]->avatar->flags = AvatarFlag::Ship | (0x40u << 1);
    Refresh();
    dunNextHostileTarget();
    EXPECT_EQ(dunWeaponTarget, nullptr);
}

TEST_F(Contacts, CockpitFilterStepsSelectTheListedClass) {
    SceneItem *ship = Ship(0, 0, 1e5, 3), *round = Ship(0, 0, 2e5, 3), *wreck = Ship(0, 0, 3e5, 3),
              *nav = Ship(0, 0, 4e5, 3);
    round->avatar->flags = AvatarFlag::MunitionRound | 0x100;
    wreck->avatar->flags = AvatarFlag::FreeBody | 0x100;
    nav->avatar->flags = AvatarFlag::NavigationBody;
    struct Case {
        int32_t filter;
        SceneItem *listed;
    } cases[] = {{1, round}, {2, wreck}, {7, nav}, {0, ship}};
    for (const Case &c : cases) {
        dunContactFilter = c.filter;
        dunContactFilterChanged();
        EXPECT_EQ(dunTargetingMode, uint32_t(c.filter));
        Refresh();
        EXPECT_EQ(dunContactsInMode, 1) << c.filter;
        EXPECT_EQ(dunCurrentContactObject(), c.listed) << c.filter;
    }
}

TEST_F(Contacts, RemovingASelfDeletingContactPostsItsRemovalAfter100cs) {
    SceneItem *o = Ship(0, 0, 1e5, 3);
    dunSetMessageHandler(o, nullptr);
    o->flags |= SceneFlag::SelfDeleting;
    Refresh();
    ASSERT_TRUE(dunIsContact(o));
    dunRemoveContact(o);
    EXPECT_FALSE(dunIsContact(o));
    EXPECT_EQ(dunMsgCountType(o, MsgRemove), 1);
}

TEST_F(Contacts, StrengthSortIsTotalWithZeroStrengthsAndSideSix) {
    dunContactSortMode = 2;
    for (int i = 0; i < 12; ++i) {
        SceneItem *s = Ship(0, 0, 1e5 * (i + 1), i % 7);
        s->sim->shipInfo->hullStrength = 0;
        s->sim->speed = i % 3 ? NAN : float(i);
    }
    Refresh();
    EXPECT_EQ(dunContactsInMode, 12);
    for (int i = 0; i < 12; ++i) EXPECT_NE(dunContactDisplay[i], nullptr);
}

// ---- sub-targets, pickers, the reticle -----------------------------------------------------

TEST_F(Contacts, SubTargetCursorWalksItsObjectsVolumesAndEnds) {
    static HitBox boxes[4];
    static CollisionModel model;
    static TDP root;
    auto Give = [](SceneItem *o, int n, const uint32_t *flags) {
        for (int i = 0; i < n; ++i) {
            boxes[i] = HitBox{{2, 2, 2}, {0, 0, 0}, i + 1 < n ? &boxes[i + 1] : nullptr, flags[i]};
        }
        model.boxes = n ? &boxes[0] : nullptr;
        root.collision = &model;
        o->avatar->root = &root;
    };
    SceneItem *a = Ship(0, 0, 1e5, 3), *b = Ship(0, 0, 2e5, 3);
    dunClearSubTarget();
    const uint32_t none[] = {0x4, 0x0};
    Give(a, 2, none);
    EXPECT_EQ(dunNextSubTarget(a), 0);
    const uint32_t one[] = {0x0, 0x300};
    Give(a, 2, one);
    EXPECT_EQ(dunNextSubTarget(a), 3);
    Vec3 c;
    ASSERT_TRUE(dunSubTargetCentre(a, &c));
    EXPECT_EQ(c.x, 1.0f);
    EXPECT_EQ(dunNextSubTarget(a), 0);  // no other one: the cursor stays
    EXPECT_EQ(dunCurrentSubTarget, &boxes[1]);
    const uint32_t several[] = {0x100, 0x0, 0x200, 0x500};
    Give(a, 4, several);
    dunClearSubTarget();
    std::vector<int> ids;
    for (int i = 0; i < 5; ++i) ids.push_back(dunNextSubTarget(a));
    EXPECT_EQ(ids, (std::vector<int>{1, 2, 5, 1, 2}));
    // Another object without sub-targets ends at once.
    const uint32_t plain[] = {0x0};
    Give(b, 1, plain);
    EXPECT_EQ(dunNextSubTarget(b), 0);
    EXPECT_FALSE(dunSubTargetCentre(b, &c));
}

TEST_F(Contacts, PickClassMasksByMode) {
    struct Case {
        uint32_t mode;
        bool any;
        uint32_t mask;
    } cases[] = {{0, true, 0x0e}, {0, false, 0x0e}, {1, true, 0x12}, {1, false, 0x12},
                 {2, true, 0x03}, {2, false, 0x03}, {7, true, 0x02}, {7, false, 0x02}};
    cases[1].mask = 0x0e & ~0x10u;
    cases[3].mask = 0x12 & ~0x0cu;
    for (const Case &c : cases) EXPECT_EQ(dunPickClassMask(c.mode, c.any), c.mask) << c.mode << c.any;
}

TEST_F(Contacts, NextEnemyShipWithOneMatchIsNull) {
    SceneItem *foe = Ship(0, 0, 1e5, 3);
    own->avatar->flags |= AvatarFlag::Ship;
    Refresh();
    dunSelectTarget(foe);
    EXPECT_EQ(dunNearestEnemyShipContact(), nullptr);
}

// Mounts 0 and 2 look above the ship's plane, 1 and 3 below: the goal when
// it lies on the mount's side and passes the masks, else the nearest object
// there that does. Mounts 0 and 1 keep it as their fire target, 2 and 3 as
// the sub-target aim object.
TEST_F(Contacts, TargetPointsByMountAboveAndBelowTheShip) {
    SceneItem *above = Ship(0, 5000, 20000, 3), *below = Ship(0, -5000, 10000, 3);
    SceneItem *farBelow = Ship(0, -5000, 50000, 3), *friendly = Ship(0, -100, 2000, 1);
    (void)friendly;
    ShipInfo *info = own->sim->shipInfo;
    const uint32_t mask = AvatarFlag::Ship, sides = (0x40u << 1) | 0x20;
    struct Case {
        SceneItem *goal;
        int mount;
        SceneItem *want;
    } cases[] = {
        {nullptr, 0, above},     {nullptr, 1, below},  {nullptr, 2, above}, {nullptr, 3, below},
        {farBelow, 1, farBelow}, {farBelow, 0, above}, {above, 0, above},   {above, 3, below},
    };
    for (const Case &c : cases) {
        own->sim->goal = c.goal;
        info->fireTargets[0] = info->fireTargets[1] = info->subTargets[0] = info->subTargets[1] = nullptr;
        dunPickTargetPoint(own, c.mount, mask, sides);
        SceneItem *const got = (c.mount < 2 ? info->fireTargets : info->subTargets)[c.mount & 1];
        EXPECT_EQ(got, c.want) << "mount " << c.mount;
        EXPECT_EQ((c.mount < 2 ? info->subTargets : info->fireTargets)[0], nullptr) << "mount " << c.mount;
    }
    // Turned over, the ship's "above" is the world's below.
    own->sim->goal = nullptr;
    MatRotateZ(180.0f, own->sim->matrix);
    dunPickTargetPoint(own, 0, mask, sides);
    EXPECT_EQ(info->fireTargets[0], below);
    // A mask nobody passes leaves the mount without a target; a mount past
    // 3 changes nothing.
    dunPickTargetPoint(own, 0, 0x8000000, sides);
    EXPECT_EQ(info->fireTargets[0], nullptr);
    info->fireTargets[0] = above;
    dunPickTargetPoint(own, 4, mask, sides);
    EXPECT_EQ(info->fireTargets[0], above);
}

// The side-mask pickers over the listed contacts, nearest first: the next
// enemy by side takes ships and faction craft of an enemy side but no bare
// rounds; the nearest enemy contact takes what is not a ship or a bolt:
// enemy munitions and any mine.
TEST_F(Contacts, TheSideMaskPickers) {
    struct Listed {
        uint32_t flags;
        float range;
        SceneItem *object;
    } listed[] = {
        {AvatarFlag::Ship | (0x40u << 1), 1000},  // a friend, nearest
        {AvatarFlag::MunitionRound | (0x40u << 3), 2000},  // an enemy missile
        {AvatarFlag::Ship | (0x40u << 3), 3000},  // an enemy ship
        {AvatarFlag::BeamRound | (0x40u << 3), 500},  // an enemy bolt
        {AvatarFlag::MunitionRound | (0x40u << 1), 400},  // a friendly missile
        {AvatarFlag::MunitionRound | 0x10000000u | (0x40u << 3), 2500},  // a faction's craft
    };
    for (Listed &l : listed) {
        l.object = Ship(0, 0, l.range, 3);
        l.object->avatar->flags = l.flags;
        Contact &c = dunContacts[&l - listed];
        c = Contact{};
        c.flags = ContactFlag::InUse;
        c.object = l.object;
        c.range = l.range * 100;
    }
    own->avatar->flags = AvatarFlag::Ship | (0x40u << 1);
    EXPECT_EQ(dunNearestTargetBySide(own), listed[5].object);
    EXPECT_EQ(dunNearestEnemyContact(), listed[1].object);
    // A mine of no side counts as an enemy contact.
    SceneItem *mine = Ship(0, 0, 100, 3);
    mine->avatar->flags = AvatarFlag::Mine | AvatarFlag::MunitionRound;
    dunContacts[6] = Contact{};
    dunContacts[6].flags = ContactFlag::InUse;
    dunContacts[6].object = mine;
    dunContacts[6].range = 100 * 100;
    EXPECT_EQ(dunNearestEnemyContact(), mine);
    EXPECT_EQ(dunNearestTargetBySide(own), listed[5].object);
}

TEST_F(Contacts, ReticleRestartsOnANewGoalAndDrawsOpenOrLocked) {
    std::vector<uint8_t> pixels(640 * 480, 0);
    Surface surface{pixels.data(), 640, 480, 0, 0, 640, 1};
    dunReticleSurface = &surface;
    HudViewRect = {0, 0, 639, 479};
    HudProjectScale = 320.0f;
    StationId = 3;
    Weapon weapon{};
    weapon.mountCode = 0;
    HudSight sight{};
    sight.ship = own->sim;
    sight.weapon = &weapon;
    MatIdentity(sight.view);
    const float corners[5][2] = {{-150, -150}, {150, -150}, {150, 150}, {-150, 150}, {0, 0}};
    for (int i = 0; i < 5; ++i) sight.points[i] = {corners[i][0], corners[i][1], 3000.0f};
    SceneItem *foe = Ship(0, 0, 1e5, 3);
    own->sim->goal = foe;
    dunFrameStep = 2;  // eases by 16 % of the way
    dunDrawTargetReticle(&sight);
    EXPECT_EQ(weapon.target, foe);
    EXPECT_FLOAT_EQ(dunReticleScale, 1000.0f - 900.0f * 0.16f);
    auto count = [&](int colour) {
        int n = 0;
        for (uint8_t p : pixels) n += p == colour;
        return n;
    };
    EXPECT_GT(count(96), 0);  // the sight frame
    EXPECT_GT(count(dunReticleInArc ? 64 : 97), 0);
    // A slow frame does not carry the scale past its size.
    dunFrameStep = 100;
    for (int i = 0; i < 3; ++i) dunDrawTargetReticle(&sight);
    EXPECT_EQ(dunReticleScale, 100.0f);
    // No goal: the open shape.
    std::fill(pixels.begin(), pixels.end(), 0);
    own->sim->goal = nullptr;
    dunDrawTargetReticle(&sight);
    EXPECT_EQ(dunReticleScale, 100.0f);  // restarted at 1000, eased in one slow frame
    EXPECT_GT(count(97), 0);
    EXPECT_EQ(count(64), 0);
    // Corners on the eye plane and a centre on the view axis stay finite.
    for (Vec3 &p : sight.points) p = {0, 0, 0};
    dunDrawTargetReticle(&sight);
    dunReticleSurface = nullptr;
}

// ---- idle, stop and move-to ------------------------------------------------------------------

StateCommand Call(uint32_t state, SceneItem *ship, int16_t step, uint32_t p1 = 0, uint32_t p2 = 0, uint32_t p3 = 0) {
    StateCommand c{};
    int32_t locals[5] = {};
    AiStateHandlers[state](&c, ship, step, 0.0f, locals, p1, p2, p3);
    return c;
}

TEST_F(Contacts, StopStatesLeaveLdsHoldAndClearTheAutopilot) {
    SceneItem *ship = Ship(0, 0, 0, 2);
    ship->sim->flags |= SimFlag::Lds;
    StateCommand c = Call(67, ship, 1);
    EXPECT_EQ(c.command, StateCmd::Yield);
    EXPECT_EQ(c.step, 4);
    c = Call(67, ship, 4);
    EXPECT_EQ(c.step, 1);
    // At rest: FullStop finishes, MaintainStop holds at 3 and goes back to 2
    // when the motion grows.
    ship->sim->flags &= ~SimFlag::Lds;
    ship->sim->velocity = {0, 0, 0};
    ship->sim->thrust = {0, 0, 0};
    EXPECT_EQ(Call(67, ship, 1).command, StateCmd::Finish);
    c = Call(68, ship, 3);
    EXPECT_EQ(c.command, StateCmd::Yield);
    EXPECT_EQ(c.step, 3);
    ship->sim->velocity = {0, 0, 1000};
    EXPECT_EQ(Call(68, ship, 3).step, 2);
    // The controlled object's autopilot: Null clears it at every entry,
    // DoNothing at step 0 only.
    dunControlledObject = ship;
    ship->sim->flags |= SimFlag::Autopilot;
    Call(63, ship, 2);
    EXPECT_TRUE(ship->sim->flags & SimFlag::Autopilot);
    Call(63, ship, 0);
    EXPECT_FALSE(ship->sim->flags & SimFlag::Autopilot);
    ship->sim->flags |= SimFlag::Autopilot;
    Call(0, ship, 1);
    EXPECT_FALSE(ship->sim->flags & SimFlag::Autopilot);
}

TEST_F(Contacts, MatchVelClampsAndMoveToRelativeAimsAheadOfTheNose) {
    SceneItem *ship = Ship(0, 0, 0, 2), *t = Ship(0, 0, 0, 2);
    t->sim->velocity = {50000, -50000, 50000};
    StateCommand c = Call(19, ship, 1, 0, dunHandleOf(t));
    EXPECT_EQ(ship->sim->target, t);
    EXPECT_TRUE(ship->sim->flags & SimFlag::PlayerInputAutopilot);
    EXPECT_EQ(ship->sim->thrust.x, 4500.0f);
    EXPECT_EQ(ship->sim->thrust.y, -4500.0f);
    EXPECT_EQ(ship->sim->thrust.z, 6000.0f);
    EXPECT_EQ(c.result, 1.0f);
    // The target points along +x: 100000 ahead of its nose is (100000, 0, 0).
    t->sim->velocity = {0, 0, 0};
    MatIdentity(t->sim->matrix);
    MatRotateY(90.0f, t->sim->matrix);
    t->sim->matrix.m[12] = t->sim->matrix.m[13] = t->sim->matrix.m[14] = 0;
    Vec3 nose;
    MatRotateVector(t->sim->matrix, Vec3{0, 0, 100000}, nose);
    ship->sim->position = {nose.x, nose.y, nose.z};
    ship->sim->velocity = {0, 0, 0};
    EXPECT_EQ(Call(11, ship, 2, 0, 0, 100000).command, StateCmd::Finish);
    // Drifted beyond 100000 of its point: back to step 1.
    ship->sim->position = {nose.x + 150000.0, nose.y, nose.z};
    c = Call(11, ship, 2, 0, 0, 100000);
    EXPECT_EQ(c.command, StateCmd::Yield);
    EXPECT_EQ(c.step, 1);
}

}  // namespace
