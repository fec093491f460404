// The attack and combat states, and the judgement behind them: the target
// score, the tactic decision, formation places, the group leader, the flare
// decoy's gate, the side count and placement near the navigation point.
#include <cmath>

#include "RES/util.h"
#include "ai/brain.h"
#include "ai/combat.h"
#include "ai/contacts.h"
#include "ai/states.h"
#include "ai/weapons.h"
#include "ai_fixture.h"
#include "core/frame.h"
#include "world/handle.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/simplace.h"

namespace {

using ruvotest::AiShip;

class Attack : public testing::Test {
protected:
    SceneItem *ship = nullptr, *foe = nullptr;
    void SetUp() override {
        dunai_InitStateRegistry();
        dunFrameStep = 20;
        dunFrameSeconds = 0.2f;
        ship = Ship(0, 0, 0, 1);
        foe = Ship(0, 0, 100000, 3);
        dunControlledObject = dunPlayerShip = nullptr;
    }
    static SceneItem *Ship(double x, double y, double z, int side) {
        SceneItem *s = AiShip(x, y, z);
        s->sim->shipInfo->side = int16_t(side);
        s->avatar->flags = AvatarFlag::Ship | (0x40u << side);
        s->sim->radius = 1000.0f;
        s->sim->shipInfo->damage.maximum = 100;
        dunSetMessageHandler(s, dunHandleMessages);
        return s;
    }
    // One call of a state's handler.
    StateCommand Call(uint32_t state, int16_t step, int32_t *locals, uint32_t p1 = 0, uint32_t p2 = 0,
                      uint32_t p3 = 0) {
        StateCommand c{};
        dunai_Yield(&c, uint16_t(step));
        AiStateHandlers[state](&c, ship, step, 0.0f, locals, p1, p2, p3);
        return c;
    }
    int Shots() const {
        int n = 0;
        SceneItem *head = dunSceneListHead();
        for (SceneItem *o = head->next; o && o != head; o = o->next)
            n += (o->flags & SceneFlag::InUse) && o->avatar && (o->avatar->flags & AvatarFlag::BeamRound);
        return n;
    }
};

// ---- target choice and tactics --------------------------------------------------------------

TEST_F(Attack, TheTargetScore) {
    SceneItem *damaged = Ship(0, 0, 1000, 3), *whole = Ship(0, 0, 1000, 3);
    damaged->sim->shipInfo->damage.damage = 50;
    // Side 2 prefers sound targets, the others damaged ones.
    EXPECT_GT(dunScoreTarget(ship, damaged, 0), dunScoreTarget(ship, whole, 0));
    ship->sim->shipInfo->side = 2;
    EXPECT_LT(dunScoreTarget(ship, damaged, 0), dunScoreTarget(ship, whole, 0));
    ship->sim->shipInfo->side = 1;
    // Its own attacker, while angry, three times.
    const double before = dunScoreTarget(ship, whole, 0);
    ship->avatar->attacker = whole;
    ship->avatar->attackCount = 5;
    EXPECT_DOUBLE_EQ(dunScoreTarget(ship, whole, 0), 3 * before);
    ship->avatar->attacker = nullptr;
    // Distance: 1e7 away halves it, 1e6 or nearer leaves it.
    SceneItem *far = Ship(0, 0, 1e7, 3), *mid = Ship(0, 0, 1e6, 3);
    EXPECT_NEAR(dunScoreTarget(ship, far, 0), before / 2, before * 0.02);
    EXPECT_DOUBLE_EQ(dunScoreTarget(ship, mid, 0), before);
    // The size ratio when aggressive, held between 1 and 5.
    ship->sim->flags |= 0x1400;
    whole->sim->radius = 10000.0f;
    EXPECT_DOUBLE_EQ(dunScoreTarget(ship, whole, 0), 5 * before);
    whole->sim->radius = 10.0f;
    EXPECT_DOUBLE_EQ(dunScoreTarget(ship, whole, 0), before);
    // No ship record, no score; a record with no maximum counts as whole.
    EXPECT_EQ(dunScoreTarget(ship, AiShip(0, 0, 10), 0) > 0, true);
    whole->sim->shipInfo->damage.maximum = 0;
    whole->sim->shipInfo->damage.damage = 10;
    EXPECT_TRUE(std::isfinite(dunScoreTarget(ship, whole, 0)));
    EXPECT_FLOAT_EQ(dunTargetCondition(0, 0, 10, 0), 1.0f);
    EXPECT_FLOAT_EQ(dunTargetCondition(0, 100, 50, 0x201), 0.5f * 0.85f * 0.5f);
}

TEST_F(Attack, TheTacticDecision) {
    dunCreatePBC(ship, 0, 0, 0, "PBC", 1);
    ship->sim->goal = foe;
    struct Case {
        const char *what;
        uint32_t stance;
        double foeZ;
        uint32_t damageMask;
        int32_t taken;
        bool noWeapons;
        int32_t result;
    };
    const Case cases[] = {
        {"flee", 0x1000, 100000, 0, 0, false, kStateEscFlee},
        {"aggressive, close: tail-biting", 0x1400, 100000, 0, 0, false, kStateTailBiting},
        {"aggressive, far: close the range", 0x1400, 900000, 0, 0, false, kStateCombatAchieveRange},
        {"cautious and badly hurt: flee", 0x400, 100000, 0, 60, false, kStateEscFlee},
        {"no weapons but a drive: flee", 0x1400, 100000, 0, 0, true, kStateEscFlee},
    };
    for (const Case &c : cases) {
        ship->sim->flags = (ship->sim->flags & ~SimFlag::CombatStance) | c.stance;
        foe->sim->position.z = c.foeZ;
        dunSyncFloatPosition(foe->sim);
        ship->sim->shipInfo->damage.damage = c.taken;
        ship->sim->shipInfo->damage.mask = uint16_t(c.damageMask);
        if (c.noWeapons) ship->sim->weapons->flags |= WeaponFlag::Damaged;
        EXPECT_EQ(dunChooseAttackTactic(ship, nullptr), c.result) << c.what;
        ship->sim->weapons->flags &= ~WeaponFlag::Damaged;
    }
    // A cautious ship too weak to win flees marked as fleeing.
    ship->sim->flags = (ship->sim->flags & ~SimFlag::CombatStance) | 0x400;
    ship->sim->shipInfo->damage = {0, 100, 70, DamageBit::SubTargetA, 0};
    EXPECT_EQ(dunChooseAttackTactic(ship, nullptr), kStateEscFlee);
    EXPECT_TRUE(ship->avatar->flags & AvatarFlag::Fleeing);
    // Keep the tactic: the top frame's state; no target: none.
    ship->sim->flags &= ~SimFlag::CombatStance;
    dunai_ResetStateStack(ship->sim->shipInfo, 34, 0, 0, 0);
    EXPECT_EQ(dunChooseAttackTactic(ship, nullptr), 34);
    ship->sim->flags |= 0x1400;
    ship->sim->goal = nullptr;
    EXPECT_EQ(dunChooseAttackTactic(ship, nullptr), -1);
    // A slow turner guards in place.
    ship->sim->goal = foe;
    foe->sim->position.z = 100000;
    dunSyncFloatPosition(foe->sim);
    ship->sim->shipInfo->damage = {};
    ship->sim->shipInfo->current.turnRates[0] = ship->sim->shipInfo->current.turnRates[1] = 4.0f;
    EXPECT_EQ(dunChooseAttackTactic(ship, nullptr), kStateUnmovingGuard);
}

// ---- the states ------------------------------------------------------------------------------

TEST_F(Attack, FireAtWillFiresFiveShotsAndKeepsFiringAtTheRangeEdge) {
    ship->sim->target = foe;
    Weapon *w = dunCreatePBC(ship, 0, 0, 0, "PBC", 9);
    w->range = 1e7f;
    int32_t L[5] = {};
    // Exactly at the limit (strictly greater finishes).
    const float limit = 14.0f * 1000 + 4.0f * 1000 + 400000;
    foe->sim->position.z = limit;
    dunSyncFloatPosition(foe->sim);
    StateCommand c = Call(kStateOffFireAtWill, 1, L);
    EXPECT_EQ(c.command, StateCmd::Yield);
    EXPECT_EQ(Shots(), 1);
    for (int i = 0; i < 4; ++i) {
        w->reloadTimer = 0;
        c = Call(kStateOffFireAtWill, int16_t(c.step), L);
    }
    EXPECT_EQ(Shots(), 5);
    EXPECT_EQ(c.step, 1);  // the range is tested again
    foe->sim->position.z = limit + 10;
    dunSyncFloatPosition(foe->sim);
    EXPECT_EQ(Call(kStateOffFireAtWill, 1, L).command, StateCmd::Finish);
}

TEST_F(Attack, TailBitingAndFaceAttackRecheck) {
    dunCreatePBC(ship, 0, 0, 0, "PBC", 1);
    ship->sim->goal = ship->sim->target = foe;
    ship->sim->flags |= 0x1400;
    int32_t L[5] = {};
    // Tail-biting with an explicit goal never finishes by itself.
    StateCommand c = Call(kStateTailBiting, 3, L, 0, dunHandleOf(foe));
    EXPECT_EQ(c.command, StateCmd::Yield);
    // Without one it finishes at the re-check once the tactic has changed.
    foe->sim->position.z = 900000;  // far: the tactic is to close the range
    dunSyncFloatPosition(foe->sim);
    EXPECT_EQ(Call(kStateTailBiting, 3, L).command, StateCmd::Finish);
    foe->sim->position.z = 100000;
    dunSyncFloatPosition(foe->sim);
    c = Call(kStateTailBiting, 3, L);
    EXPECT_EQ(c.command, StateCmd::Yield);
    EXPECT_EQ(L[0], 0);
    // The re-check comes after 150 cs from a random head start.
    c = Call(kStateTailBiting, 1, L);
    EXPECT_GE(L[0], 20);
    EXPECT_LT(L[0], 170);
    // Face attack at exactly its stand-off distance turns in place.
    const float d = 200000.0f + 1000.0f + 1000.0f;
    foe->sim->position.z = d;
    dunSyncFloatPosition(foe->sim);
    ship->sim->thrust = {0, 0, 0};
    Call(kStateFaceAttack, 2, L);
    EXPECT_EQ(ship->sim->thrust.z, 0.0f);
    EXPECT_EQ(ship->avatar->standoff, int32_t(d));
    EXPECT_EQ(Call(kStateFaceAttack, 3, L).command, StateCmd::Finish);  // the tactic is tail-biting
}

TEST_F(Attack, AWeaponsPassWithNoPassDistanceNeverFires) {
    dunCreatePBC(ship, 0, 0, 0, "PBC", 9);
    int32_t L[5] = {};
    StateCommand c{};
    for (int i = 0; i < 20; ++i) c = Call(36, int16_t(c.step ? c.step : 1), L, dunHandleOf(foe), 0, 50000);
    EXPECT_EQ(Shots(), 0);
    EXPECT_EQ(c.step, 1);
}

TEST_F(Attack, CombatStateStanceAndPushes) {
    dunCreatePBC(ship, 0, 0, 0, "PBC", 1);
    int32_t L[5] = {};
    StateCommand c = Call(kStateCombat, 1, L, dunHandleOf(foe));
    EXPECT_EQ(ship->sim->flags & SimFlag::CombatStance, 0x400u);
    EXPECT_EQ(ship->sim->goal, foe);
    EXPECT_EQ(c.command, StateCmd::Push);
    EXPECT_EQ(c.params[2], 1u);
    EXPECT_EQ(c.step, 1);
    // No tactic: it flies idle.
    ship->sim->goal = nullptr;
    c = Call(kStateCombat, 1, L);
    EXPECT_EQ(c.command, StateCmd::Yield);
    // In the fast drive it goes after its goal in it.
    ship->sim->goal = foe;
    ship->sim->flags |= SimFlag::Lds;
    c = Call(kStateCombat, 1, L);
    EXPECT_EQ(c.step, 2);
    c = Call(kStateCombat, 2, L);
    EXPECT_EQ(c.command, StateCmd::Push);
    EXPECT_EQ(c.state, kStateLdsFlight);
    EXPECT_EQ(c.params[1], 1000000u);
}

TEST_F(Attack, CombatOnceFlags) {
    int32_t L[5] = {};
    StateCommand c = Call(kStateCombatOnce, 1, L, dunHandleOf(foe));
    EXPECT_EQ(ship->sim->flags & (SimFlag::CombatStance | SimFlag::NoOwnChoice), 0x1400u | SimFlag::NoOwnChoice);
    EXPECT_EQ(c.state, kStateCombat);
    c = Call(kStateCombatOnce, 2, L);
    EXPECT_FALSE(ship->sim->flags & SimFlag::NoOwnChoice);
    EXPECT_EQ(c.command, StateCmd::Finish);
    EXPECT_EQ(c.result, 1.0f);
    c = Call(46, 2, L);
    EXPECT_EQ(c.state, kStatePlayerFollower);
}

TEST_F(Attack, ConstantFireKeepsItsInterval) {
    ship->sim->goal = foe;
    dunCreatePBC(ship, 0, 0, 0, "PBC", 9);
    // A state before it left a large count in the frame: it starts afresh.
    int32_t L[5] = {100000, 0, 0, 0, 0};
    StateCommand c{};
    c.step = 1;
    int fired = 0;
    for (int frame = 0; frame < 10; ++frame) {
        ship->sim->weapons->reloadTimer = 0;
        const int before = Shots();
        c = Call(26, int16_t(c.step), L, 100);
        fired += Shots() - before;
    }
    EXPECT_EQ(fired, 1);  // 200 cs at one shot each 100 cs, the first once the interval has passed
}

// ---- groups ------------------------------------------------------------------------------------

TEST_F(Attack, FormationPlaces) {
    SceneItem *leader = Ship(0, 0, 0, 1), *follower = Ship(5, 5, 5, 1);
    leader->sim->radius = 0.0f;
    const struct {
        int slot;
        float x, y, z;
    } cases[] = {
        {0, 2000, 0, -1000}, {4, 2000, 0, -1000}, {1, -2000, 0, -1000}, {2, 1000, 0, -500},
        {3, -1000, 0, -500}, {5, -2000, -1000, -2000},
    };
    for (const auto &c : cases) {
        dunFormationPosition(follower, leader, 1000.0f, c.slot);
        EXPECT_FLOAT_EQ(float(follower->sim->position.x), c.x) << c.slot;
        EXPECT_FLOAT_EQ(float(follower->sim->position.y), c.y) << c.slot;
        EXPECT_FLOAT_EQ(float(follower->sim->position.z), c.z) << c.slot;
    }
}

TEST_F(Attack, TheGroupLeader) {
    SceneItem *a = Ship(0, 0, 5000, 1), *b = Ship(0, 0, 6000, 1);
    for (SceneItem *s : {ship, a, b}) s->sim->shipInfo->group = 4;
    // No holder: the ship takes the flag and the attack.
    ship->sim->goal = foe;
    dunai_DefaultOrders(ship);
    dunAssignFixedAttack(ship);
    EXPECT_TRUE(ship->sim->shipInfo->flags & ShipFlag::GroupHolder);
    EXPECT_EQ(ship->sim->flags & 0x1400u, 0x1400u);
    EXPECT_STREQ(ship->sim->shipInfo->orders[1].name, "FixedAttack");
    EXPECT_EQ(ship->sim->shipInfo->orders[1].weight, 70);
    EXPECT_EQ(ship->sim->target, foe);
    // The members follow it; another member finds the holder and keeps it.
    EXPECT_EQ(a->sim->shipInfo->leader, ship);
    dunAssignFixedAttack(b);
    EXPECT_FALSE(b->sim->shipInfo->flags & ShipFlag::GroupHolder);
    // The flag passes on by message, never to the dying holder itself.
    dunPassGroupFlag(ship);
    EXPECT_FALSE(ship->sim->shipInfo->flags & ShipFlag::GroupHolder);
    EXPECT_EQ(dunMsgCountType(ship, MsgFixedAttack), 0);
}

TEST_F(Attack, TheFlareDecoysGate) {
    SceneItem *missile = AiShip(0, 0, 0);
    missile->avatar->flags = AvatarFlag::MunitionRound;
    dunSetMessageHandler(missile, dunHandleMessages);
    // Within five radii-and-then-some it always sends.
    SceneItem *flare = AiShip(0, 0, 50000);
    dunSetMessageHandler(flare, dunHandleMessages);
    foe->sim->radius = 0.0f;
    dunFlareDecoyMessage(flare, foe);
    EXPECT_EQ(dunMsgCountType(missile, MsgRetarget), 1);
    // Far beyond, never.
    flare->sim->position.z = 1e7;
    dunSyncFloatPosition(flare->sim);
    for (int i = 0; i < 20; ++i) dunFlareDecoyMessage(flare, foe);
    EXPECT_EQ(dunMsgCountType(missile, MsgRetarget), 1);
}

TEST_F(Attack, ShipsOfASide) {
    Ship(0, 0, 0, 3)->avatar->flags |= 0x8;  // not counted
    SceneItem *excluded = Ship(0, 0, 0, 3);
    dunProtectedObject = excluded;
    EXPECT_EQ(dunCountShipsOfSide(3), 1);
    dunProtectedObject = nullptr;
    EXPECT_EQ(dunCountShipsOfSide(3), 2);
    EXPECT_EQ(dunCountShipsOfSide(9), 0);
}

TEST_F(Attack, NoNavigationPointNoPlacement) {
    // The fixture's system has no "L4": nothing is placed, and the script
    // hears that nothing came in.
    EXPECT_FALSE(dunPlaceNearNavPoint(ship, 100000.0, true));
    EXPECT_EQ(dunPlaceObjectNearNavPoint(AvatarFlag::Ship, 0, nullptr), nullptr);
}

}  // namespace
