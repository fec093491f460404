// The docking states: choosing ports, the approach or the swing round the
// partner, lining up, the last slide, docking to demolish.
#include <gtest/gtest.h>

#include <cmath>

#include "ai_fixture.h"
#include "world/docking.h"
#include "world/handle.h"
#include "world/messages.h"

using ruvotest::AiShip;

namespace {

class DockStates : public testing::Test {
protected:
    SceneItem *host = nullptr, *ship = nullptr;
    void SetUp() override {
        dunai_InitStateRegistry();
        dunFrameStep = 2;
        dunFrameSeconds = 0.02f;
    }
    // A host at the origin with one open port on its nose (+Z); the ship at
    // the given point, with an open port of its own.
    void Pair(double x, double y, double z, bool hostPort = true) {
        host = AiShip();
        host->sim->radius = 5000.0f;
        ship = AiShip(x, y, z);
        ship->sim->radius = 1000.0f;
        if (hostPort) dunAddDockingPort(host, PortFlag::Open, 1, 0, 0, 0, 0, 0, 10, 100);
        dunAddDockingPort(ship, PortFlag::Open, 1, 0, 0, 0, 0, 0, 10, 50);
    }
    static StateCommand Call(uint32_t state, SceneItem *s, int16_t step, int32_t *locals, uint32_t p1 = 0,
                             uint32_t p2 = 0, uint32_t p3 = 0, float last = 0.0f) {
        StateCommand c{};
        AiStateHandlers[state](&c, s, step, last, locals, p1, p2, p3);
        return c;
    }
};

TEST_F(DockStates, WithoutAFreePortTheControlledShipGivesUpAndAnAiShipMovesOff) {
    Pair(0, 0, 100000, false);
    int32_t locals[5] = {};
    const StateCommand ai = Call(14, ship, 1, locals, dunHandleOf(host));
    EXPECT_EQ(ai.command, StateCmd::Yield);
    EXPECT_EQ(ai.step, 7);
    EXPECT_EQ(ship->sim->target, host);
    dunControlledObject = ship;
    EXPECT_EQ(Call(14, ship, 1, locals, dunHandleOf(host)).command, StateCmd::Finish);
    dunControlledObject = nullptr;
    // The move off: 4 to 6 combined radii in a random direction, never a
    // zero or broken vector.
    for (int k = 0; k < 20; ++k) {
        const StateCommand c = Call(14, ship, 7, locals, dunHandleOf(host));
        ASSERT_EQ(c.state, 11u);
        const double d = std::sqrt(std::pow(double(int32_t(c.params[0])), 2) +
                                   std::pow(double(int32_t(c.params[1])), 2) +
                                   std::pow(double(int32_t(c.params[2])), 2));
        EXPECT_GE(d, 4 * 6000.0 - 3);
        EXPECT_LE(d, 6 * 6000.0 + 3);
        EXPECT_EQ(c.step, 8);
    }
}

// In front of the port the ship flies to the approach point on its axis;
// behind or beside it first swings round the partner at least 400000 away.
TEST_F(DockStates, TheApproachPointOrTheSwingRound) {
    const struct {
        double x, z;
        uint32_t state;
        uint16_t step;
    } cases[] = {{0, 300000, 11, 3}, {300000, 20000, 11, 3}, {0, -300000, 12, 2}, {300000, -200000, 12, 2}};
    for (const auto &k : cases) {
        Pair(k.x, 0, k.z);
        int32_t locals[5] = {};
        ASSERT_EQ(Call(14, ship, 1, locals, dunHandleOf(host)).step, 2);
        EXPECT_EQ(locals[0], 0);
        EXPECT_EQ(locals[1], 0);
        const StateCommand c = Call(14, ship, 2, locals, dunHandleOf(host));
        EXPECT_EQ(c.state, k.state) << k.x << " " << k.z;
        EXPECT_EQ(c.step, k.step);
        const double d = std::sqrt(std::pow(double(int32_t(c.params[0])), 2) +
                                   std::pow(double(int32_t(c.params[1])), 2) +
                                   std::pow(double(int32_t(c.params[2])), 2));
        if (k.state == 11) {
            EXPECT_EQ(int32_t(c.params[2]), 40000);  // min(5000 + 30000, 250000) + 5000 along the port's axis
        } else {
            EXPECT_GE(d, 399990.0);
        }
        dunDeleteSceneItem(ship);
        dunDeleteSceneItem(host);
    }
}

TEST_F(DockStates, PortsLostMidApproachSendTheBaseBackToChoosing) {
    Pair(0, 0, 100000);
    int32_t locals[5] = {};
    Call(14, ship, 1, locals, dunHandleOf(host));
    dunGetDockingPort(host, 0)->flags &= ~PortFlag::Open;
    for (int16_t step : {4, 5, 6}) EXPECT_EQ(Call(14, ship, step, locals, 0, 0, 0, 1.0f).step, 1) << step;
    dunGetDockingPort(host, 0)->flags |= PortFlag::Open;
    EXPECT_EQ(Call(14, ship, 4, locals).state, 16u);
    EXPECT_EQ(Call(14, ship, 5, locals).state, 17u);
    EXPECT_EQ(Call(14, ship, 6, locals, 0, 0, 0, 0.4f).step, 1);
}

// The last slide fails at once when the ship is not lined up, and checks the
// alignment again every 16 frames; the turn rates of the profile are left
// as they were by the lining up.
TEST_F(DockStates, TheFinalApproachRechecksTheAlignment) {
    Pair(0, 0, 3000);
    ship->sim->target = host;
    int32_t locals[5] = {};
    EXPECT_EQ(Call(17, ship, 1, locals).command, StateCmd::Finish);  // nose to the host's back
    MatRotateY(180.0f, ship->sim->matrix);
    int yields1 = 0;
    for (int k = 0; k < 34; ++k) {
        const StateCommand c = Call(17, ship, 2, locals);
        if (c.command == StateCmd::Yield && c.step == 1) ++yields1;
    }
    EXPECT_EQ(yields1, 2);
    const float before = dunai_ProfileOf(ship)->turnRates[0];
    int32_t o[5] = {};
    Call(16, ship, 2, o, 0, 0, dunHandleOf(host));
    Call(16, ship, 3, o, 0, 0, dunHandleOf(host));
    EXPECT_EQ(dunai_ProfileOf(ship)->turnRates[0], before);
}

TEST_F(DockStates, DemolishUndocksAfterTheFirstWaitAndDestroysAfterTheSecond) {
    Pair(0, 0, 3000);
    int32_t locals[5] = {};
    const StateCommand first = Call(15, ship, 1, locals, dunHandleOf(host), 500, 300);
    EXPECT_EQ(first.state, 14u);
    int frames = 0;
    int16_t step = 2;
    StateCommand c{};
    while (step == 2) {
        c = Call(15, ship, step, locals, dunHandleOf(host), 500, 300);
        step = int16_t(c.step);
        ++frames;
    }
    EXPECT_EQ(frames, 250);  // 5 seconds in 2-centisecond frames
    frames = 0;
    do {
        c = Call(15, ship, 3, locals, dunHandleOf(host), 500, 300);
        ++frames;
    } while (c.command == StateCmd::Yield);
    EXPECT_EQ(frames, 150);
    EXPECT_EQ(c.result, 1.0f);
}

}  // namespace
