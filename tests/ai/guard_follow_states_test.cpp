// The followers (the switch to the player's wingman, leader loss), the gun
// platform's range and chance, the defence network's count, and the
// turrets' slots.
#include <cmath>

#include "RES/util.h"
#include "ai/combat.h"
#include "ai/states.h"
#include "ai/weapons.h"
#include "ai_fixture.h"
#include "core/frame.h"
#include "world/handle.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/pools.h"
#include "world/simplace.h"

namespace {

using ruvotest::AiShip;

constexpr uint32_t kUnmovingGuard = 23, kDefNetGuard = 24, kLDADeffTwo = 29, kCombatFollower = 43, kPlayerFollower = 44;

class GuardFollow : public testing::Test {
protected:
    SceneItem *ship = nullptr;
    int32_t L[5] = {};
    void SetUp() override {
        dunai_InitStateRegistry();
        dunFrameStep = 2;
        dunFrameSeconds = 0.02f;
        ship = Ship(0, 0, 0, 1);
        dunControlledObject = dunPlayerShip = nullptr;
    }
    static SceneItem *Ship(double x, double y, double z, int side, int16_t group = 0) {
        SceneItem *s = AiShip(x, y, z);
        s->sim->shipInfo->side = int16_t(side);
        s->sim->shipInfo->group = group;
        s->avatar->flags = AvatarFlag::Ship | (0x40u << side);
        s->avatar->position = s->sim->position;
        s->sim->radius = 1000.0f;
        s->sim->shipInfo->damage.maximum = 100;
        dunSetMessageHandler(s, dunHandleMessages);
        return s;
    }
    StateCommand Call(uint32_t state, int16_t step, uint32_t p1 = 0, uint32_t p2 = 0, uint32_t p3 = 0) {
        StateCommand c{};
        AiStateHandlers[state](&c, ship, step, 0.0f, L, p1, p2, p3);
        return c;
    }
    static int Shots() {
        int n = 0;
        SceneItem *head = dunSceneListHead();
        for (SceneItem *o = head->next; o && o != head; o = o->next)
            n += (o->flags & SceneFlag::InUse) && o->avatar && (o->avatar->flags & AvatarFlag::BeamRound);
        return n;
    }
};

// ---- followers ---------------------------------------------------------------------------------

// A wingman whose leader is the player's ship follows it as the player's
// wingman, resuming where it was once that state ends.
TEST_F(GuardFollow, TheFollowerOfThePlayerBecomesThePlayersWingmanAndKeepsItsStep) {
    SceneItem *player = Ship(0, 0, 50000, 1, 7);
    ship->sim->shipInfo->group = 7;
    ship->sim->shipInfo->leader = player;
    for (const bool controlled : {false, true}) {
        dunPlayerShip = controlled ? nullptr : player;
        dunControlledObject = controlled ? player : nullptr;
        for (const int16_t step : {1, 2, 3, 5}) {
            const StateCommand c = Call(kCombatFollower, step);
            EXPECT_EQ(c.command, StateCmd::Push) << step;
            EXPECT_EQ(c.state, kPlayerFollower) << step;
            EXPECT_EQ(c.step, uint16_t(step)) << step;
            EXPECT_EQ(c.params[0] | c.params[1] | c.params[2], 0u);
        }
    }
    // Another leader is followed by the combat follower itself.
    dunPlayerShip = dunControlledObject = nullptr;
    EXPECT_EQ(Call(kCombatFollower, 1).command, StateCmd::Yield);
}

// The follower keeps its stand-off in the Avatar, where the speed laws read
// it: (30 / (yaw rate + 1)) x (2 x (both radii) + 50000).
TEST_F(GuardFollow, TheStandOffIsKeptInTheAvatar) {
    SceneItem *leader = Ship(0, 0, 400000, 1, 7);
    ship->sim->shipInfo->leader = leader;
    Call(kPlayerFollower, 2);
    EXPECT_EQ(ship->avatar->standoff, std::lround(30.0 / 111.0 * (2.0 * 2000.0 + 50000.0)));
    // Inside it the follower holds station (step 3); beyond 1.5 times it
    // closes again.
    leader->sim->position.z = 10000;
    EXPECT_EQ(Call(kPlayerFollower, 2).step, 3);
    leader->sim->position.z = 30000;
    EXPECT_EQ(Call(kPlayerFollower, 3).step, 2);
}

// A leader lost (gone or damaged) is forgotten and the group told, through
// its first undamaged member or, with none, the follower itself; the
// player's wingman does the same instead of ending the game.
TEST_F(GuardFollow, LeaderLossTellsTheGroup) {
    const struct {
        const char *what;
        uint32_t state;
        bool damaged;  // the leader is damaged rather than gone
        bool member;  // another member of the group is there
        bool damagedMember;
    } cases[] = {
        {"gone, a member", kCombatFollower, false, true, false},
        {"damaged, a member", kCombatFollower, true, true, false},
        {"gone, alone", kCombatFollower, false, false, false},
        {"gone, the member damaged", kCombatFollower, false, true, true},
        {"player's wingman, a member", kPlayerFollower, false, true, false},
        {"player's wingman, alone", kPlayerFollower, false, false, false},
    };
    for (const auto &k : cases) {
        SceneItem *member = k.member ? Ship(0, 0, 90000, 1, 3) : nullptr;
        if (member) {
            dunMoveToFront(member);
            if (k.damagedMember) member->avatar->flags |= AvatarFlag::Damaged;
        }
        ship->sim->shipInfo->group = 3;
        SceneItem *leader = Ship(0, 0, 50000, 1, 4);
        leader->sim->shipInfo->flags |= ShipFlag::GroupHolder;
        ship->sim->shipInfo->leader = leader;
        if (k.damaged) leader->avatar->flags |= AvatarFlag::Damaged;
        else leader->flags &= ~SceneFlag::InUse;
        StateCommand c = Call(k.state, 1);
        EXPECT_EQ(c.step, 4) << k.what;
        if (k.state == kCombatFollower) EXPECT_EQ(ship->sim->shipInfo->leader, nullptr) << k.what;
        ship->sim->shipInfo->leader = nullptr;
        const int16_t toShipBefore = dunMsgCountType(ship, MsgFixedAttack);
        c = Call(k.state, 4);
        EXPECT_EQ(c.command, StateCmd::Yield) << k.what;
        EXPECT_EQ(c.step, 1) << k.what;
        // The member that hears it: the first of the group in the list, a
        // damaged one passed over by the combat follower.
        const bool toMember = member && !(k.damagedMember && k.state == kCombatFollower);
        EXPECT_EQ(dunMsgCountType(ship, MsgFixedAttack) - toShipBefore, toMember ? 0 : 1) << k.what;
        if (member) EXPECT_EQ(dunMsgCountType(member, MsgFixedAttack), toMember ? 1 : 0) << k.what;
        // A damaged leader dropped by the combat follower gives up the
        // group's flag, so that the group can choose again.
        if (k.damaged) EXPECT_FALSE(leader->sim->shipInfo->flags & ShipFlag::GroupHolder) << k.what;
        // Without a leader the next call goes straight back to step 4.
        EXPECT_EQ(Call(k.state, 1).step, 4) << k.what;
        leader->flags |= SceneFlag::InUse;
        dunDeleteSceneItem(leader);
        if (member) dunDeleteSceneItem(member);
    }
}

// ---- the gun platform -----------------------------------------------------------------------

// The platform lets one chance in five go by (rand() % 5 = 1), and keeps to
// its firing range only when the range is above 10000.
TEST_F(GuardFollow, ThePlatformsRangeAndOneInFiveSkip) {
    SceneItem *foe = Ship(0, 0, 100000, 3);
    Weapon *w = dunCreatePBC(ship, 0, 0, 0, "PBC", 9);
    w->range = 1e7f;
    const struct {
        uint32_t range;
        bool fires;  // when the chance is not skipped
    } cases[] = {{0, true}, {10000, true}, {99000, false}, {101000, true}};
    int skipped = 0;
    for (const auto &k : cases)
        for (uint32_t seed = 1; seed <= 12; ++seed) {
            w->target = foe;
            w->reloadTimer = 0;
            dunRand15State = seed;
            const bool skip = dunRand15() % 5 == 1;
            skipped += skip;
            dunRand15State = seed;
            const int before = Shots();
            L[0] = L[1] = 0;
            const StateCommand c = Call(kUnmovingGuard, 4, 0x4, 0, k.range);
            EXPECT_EQ(Shots() - before, k.fires && !skip ? 1 : 0) << k.range << " seed " << seed;
            EXPECT_EQ(c.step, 4);
        }
    EXPECT_GT(skipped, 0);
    // The counters: targets again after 101 cs, the check after 201.
    L[0] = 100;
    L[1] = 0;
    EXPECT_EQ(Call(kUnmovingGuard, 4, 4, 0, 0).step, 3);
    L[0] = 0;
    L[1] = 199;
    EXPECT_EQ(Call(kUnmovingGuard, 4, 4, 0, 0).step, 2);
}

// ---- the defence network ------------------------------------------------------------------------

// The network is up with four type-16 nodes of the ship's side besides the
// ship itself (a node far from its target, or of another side, does not
// count): the base's perimeter box and the ship's effect show; with three it
// is down and both hide. A ship without an effect, or no box, changes
// nothing else.
TEST_F(GuardFollow, TheNetworkNeedsFourNodes) {
    TDP *root = dunAttachTDP(ship);
    ship->avatar->root = root;
    TDP *child = dunAddChildTDP(root, nullptr, 0, 0, 0);
    ParticleSystem *effect = dunAllocLargeParticleSystem();
    ASSERT_NE(effect, nullptr);
    child->flags |= 0x8;
    child->particleOrMaterial = effect;
    auto node = [](int side) {
        SceneItem *n = Ship(0, 20000, 0, side);
        n->sim->shipInfo->typeCode = 16;
        return n;
    };
    SceneItem *wanderer = node(1);
    wanderer->sim->target = Ship(0, 0, 500000, 3);
    node(2);
    for (const bool withBox : {true, false}) {
        dunPerimeterBox = withBox ? dunAllocHUD() : nullptr;
        for (int nodes = 3; nodes <= 4; ++nodes) {
            std::vector<SceneItem *> made;
            for (int i = 0; i < nodes; ++i) made.push_back(node(1));
            if (withBox) dunPerimeterBox->flags &= ~HudFlag::Hidden;
            L[2] = 5;
            const StateCommand c = Call(kDefNetGuard, 2);
            EXPECT_EQ(c.step, 4);
            const bool up = nodes == 4;
            EXPECT_EQ(L[2], up ? 0 : -1) << nodes;
            EXPECT_EQ((effect->flags & ParticleFlag::Hidden) != 0, !up) << nodes;
            if (withBox) EXPECT_EQ((dunPerimeterBox->flags & HudFlag::Hidden) != 0, !up) << nodes;
            for (SceneItem *m : made) dunDeleteSceneItem(m);
        }
    }
    // No effect on the ship's first part: the count goes on all the same.
    child->flags &= ~0x8u;
    child->particleOrMaterial = nullptr;
    Call(kDefNetGuard, 2);
    EXPECT_EQ(L[2], -1);
    // While it is down the guard does not turn.
    ship->turnDemand[0] = 50;
    L[0] = L[1] = 0;
    Call(kDefNetGuard, 4);
    EXPECT_EQ(ship->turnDemand[0], 0.0f);
}

// ---- turrets ----------------------------------------------------------------------------------

TEST_F(GuardFollow, TheTwoTargetTurretsSlots) {
    SceneItem *above = Ship(0, 50000, 50000, 3);
    ShipInfo *info = ship->sim->shipInfo;
    // One slot: done at once.
    info->defenceCount = 1;
    info->defenceTarget[0] = above;
    StateCommand c = Call(kLDADeffTwo, 2);
    EXPECT_EQ(c.command, StateCmd::Finish);
    EXPECT_EQ(c.result, 0.0f);
    // Two slots, the second empty: the first target stands for both, so the
    // two lie on the same side and the turret rolls them into view.
    info->defenceCount = 2;
    info->defenceTarget[1] = nullptr;
    ship->turnDemand[0] = ship->turnDemand[2] = 0;
    c = Call(kLDADeffTwo, 2);
    EXPECT_EQ(c.command, StateCmd::Yield);
    EXPECT_EQ(c.step, 2);
    EXPECT_EQ(ship->turnDemand[0], 0.0f);  // no pitch
    EXPECT_TRUE(ship->sim->flags & SimFlag::TurnedThisFrame);
    // One above and one below: the turret pitches the nearer one over.
    ship->sim->flags &= ~SimFlag::TurnedThisFrame;
    info->defenceTarget[1] = Ship(0, -50000, 50000, 3);
    c = Call(kLDADeffTwo, 2);
    EXPECT_EQ(c.step, 2);
    EXPECT_NE(ship->turnDemand[0], 0.0f);
    // As built, a turret with no first target waits at step 1, before the
    // step that would give its slots their targets.
    info->defenceTarget[0] = info->defenceTarget[1] = nullptr;
    c = Call(kLDADeffTwo, 1);
    EXPECT_EQ(c.command, StateCmd::Yield);
    EXPECT_EQ(c.step, 1);
    EXPECT_EQ(info->defenceTarget[0], nullptr);
}

}  // namespace
