// The missile, drone and escape states and the brake to rest.
#include "ai/combat.h"
#include "ai/states.h"
#include "ai_fixture.h"
#include "core/frame.h"
#include "world/docking.h"
#include "world/handle.h"
#include "world/messages.h"
#include "world/mission_state.h"
#include "world/msghandler.h"

namespace {

using ruvotest::AiShip;

class Missiles : public testing::Test {
protected:
    SceneItem *ship = nullptr;
    int32_t L[5] = {};
    void SetUp() override {
        dunai_InitStateRegistry();
        dunFrameStep = 20;
        dunFrameSeconds = 0.2f;
        ship = AiShip();
        ship->sim->shipInfo->damage.maximum = 100;
        dunSetMessageHandler(ship, nullptr);
        dunControlledObject = dunPlayerShip = nullptr;
        dunMissionCountdown = 100000;
    }
    StateCommand Call(uint32_t state, int16_t step, uint32_t p1 = 0, uint32_t p2 = 0, uint32_t p3 = 0) {
        StateCommand c{};
        AiStateHandlers[state](&c, ship, step, 0.0f, L, p1, p2, p3);
        return c;
    }
    int Destroyed() { return dunMsgCountType(ship, MsgDestroyed); }
};

TEST_F(Missiles, TheBigBombMovesByItsDockedPorts) {
    struct Case {
        int docked, open;
        float thrust, lateral;
    } cases[] = {{0, 3, 0, 0}, {1, 2, 0, 0}, {2, 0, 1000, 150}, {3, 1, 1500, 225}};
    for (const Case &k : cases) {
        SceneItem *bomb = AiShip();
        ship = bomb;
        for (int i = 0; i < k.docked + k.open; ++i) {
            DockingPort *p = dunAddDockingPort(bomb, PortFlag::InUse, 1, 0, 0, 0, 0, 0, float(i), 1);
            if (i < k.docked) p->flags |= PortFlag::Docked;
        }
        EXPECT_EQ(Call(37, 1).step, 1);
        EXPECT_FLOAT_EQ(bomb->sim->flight->p1, k.thrust) << k.docked;
        EXPECT_FLOAT_EQ(bomb->sim->flight->p2, k.lateral) << k.docked;
    }
    EXPECT_EQ(Destroyed(), 0);
}

TEST_F(Missiles, TheBigBombAndTheDumbMissileDestroyThemselvesOnce) {
    dunMissionCountdown = 0;
    Call(37, 1);
    Call(37, 1);
    EXPECT_EQ(Destroyed(), 1);

    SceneItem *missile = ship = AiShip();
    dunSetMessageHandler(missile, nullptr);
    for (int32_t &l : L) l = 0;
    Call(66, 1);
    EXPECT_EQ(missile->sim->timer, 15000);
    missile->sim->timer = 0;
    EXPECT_EQ(Call(66, 3).step, 3);
    EXPECT_EQ(Call(66, 3).step, 3);
    EXPECT_EQ(Destroyed(), 1);
    dunGameClock += 1;
    MsgRecord m{};
    bool found = false;
    while (!found && dunMsgReceive(missile->receiverId, &m)) found = m.header.type == MsgDestroyed;
    ASSERT_TRUE(found);
    DamageRecord r{};
    dunReadDamageRecord(&m, &r);
    EXPECT_EQ(r.attacker, dunHandleOf(missile));  // its own attacker
}

TEST_F(Missiles, TheDroneThrustsUntilItsSpeedReachesTheThreshold) {
    for (auto [speed, thrust] : {std::pair{999.0f, 6000.0f}, {1000.0f, 0.0f}, {1500.0f, 0.0f}}) {
        ship->sim->speed = speed;
        ship->sim->thrust = {5, 5, 5};
        EXPECT_EQ(Call(38, 1, 1000).step, 1);
        EXPECT_FLOAT_EQ(ship->sim->thrust.z, thrust) << speed;
        EXPECT_FLOAT_EQ(ship->sim->thrust.x, 0.0f);
    }
}

TEST_F(Missiles, TheGuidedMissileAsksForANewPlanAboutEveryThreeSeconds) {
    int calls = 0;
    StateCommand c = Call(65, 1);
    while (c.step == 2 && calls < 100) {
        ++calls;
        c = Call(65, 2);
    }
    // 301 centiseconds in steps of 20: the 16th frame reaches 320.
    EXPECT_EQ(calls, 15);
    EXPECT_EQ(c.step, 3);
    EXPECT_EQ(Call(65, 3).command, StateCmd::Finish);  // no guard tactic: done
    EXPECT_EQ(L[0], 0);
}

TEST_F(Missiles, FleeingGoesOnWhileTheDamageIsAtLeastFortyPercent) {
    ShipDamage &d = ship->sim->shipInfo->damage;
    struct Case {
        int32_t maximum, damage;
        int16_t command;
    } cases[] = {{100, 40, StateCmd::Yield}, {100, 39, StateCmd::Finish}, {1000, 400, StateCmd::Yield},
                 {0, 50, StateCmd::Finish}};  // a launched craft's record: whole, and no division by 0
    for (const Case &k : cases) {
        d.maximum = k.maximum;
        d.damage = k.damage;
        EXPECT_EQ(Call(61, 3).command, k.command) << k.damage << "/" << k.maximum;
    }
}

TEST_F(Missiles, AShipThatMayLeaveByItsDriveEndsTheFleeAtOnce) {
    ship->sim->flight->p4 = 100000;
    EXPECT_EQ(Call(61, 1, 0, 0, 2).command, StateCmd::Finish);
    ship->sim->flags |= SimFlag::LdsBlocked;
    EXPECT_EQ(Call(61, 1, 0, 0, 2).command, StateCmd::Yield);
    ship->sim->flags &= ~SimFlag::LdsBlocked;
    EXPECT_EQ(Call(61, 1, 0, 0, 0).command, StateCmd::Yield);
    // The escape state hands its mode on.
    StateCommand c = Call(60, 1, 0, 0, 2);
    EXPECT_EQ(c.command, StateCmd::Push);
    EXPECT_EQ(c.state, kStateEscFlee);
    EXPECT_EQ(c.params[2], 2u);
}

TEST_F(Missiles, TheChasingDroneWaitsOnlyWhenGivenADistance) {
    SceneItem *player = AiShip(0, 0, 500000);
    player->avatar->position = player->sim->position;
    dunPlayerShip = player;
    EXPECT_EQ(Call(40, 1, 0, 0).step, 2);  // no waiting distance: it chases at once
    EXPECT_GT(ship->sim->thrust.z, 0.0f);
    EXPECT_EQ(Call(40, 1, 0, 1000000).step, 2);  // within the distance
    EXPECT_EQ(Call(40, 1, 0, 100000).step, 1);   // farther: waits
    EXPECT_EQ(ship->avatar->approach, player);
}

TEST_F(Missiles, BrakingToRestClampsEachAxis) {
    struct Case {
        Vec3 velocity, thrust;
    } cases[] = {{{10000, -10000, 10000}, {-4000, 4000, -6000}},
                 {{100, 200, -300}, {-100, -200, 300}},
                 {{0, 0, -20000}, {0, 0, 6000}}};
    for (const Case &k : cases) {
        ship->sim->velocity = k.velocity;
        dunai_BrakeToRest(ship);
        EXPECT_FLOAT_EQ(ship->sim->thrust.x, k.thrust.x);
        EXPECT_FLOAT_EQ(ship->sim->thrust.y, k.thrust.y);
        EXPECT_FLOAT_EQ(ship->sim->thrust.z, k.thrust.z);
    }
}

}  // namespace
