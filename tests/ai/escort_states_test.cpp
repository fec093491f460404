// The escort states: the band round the leader and the close escort.
#include <gtest/gtest.h>

#include <cmath>

#include "ai_fixture.h"
#include "world/handle.h"

using ruvotest::AiShip;

namespace {

class EscortStates : public testing::Test {
protected:
    void SetUp() override {
        dunai_InitStateRegistry();
        dunFrameStep = 2;
        dunFrameSeconds = 0.02f;
    }
    static StateCommand Call(uint32_t state, SceneItem *ship, int16_t step, uint32_t p1 = 0, uint32_t p2 = 0,
                             uint32_t p3 = 0) {
        StateCommand c{};
        int32_t locals[5] = {};
        AiStateHandlers[state](&c, ship, step, 0.0f, locals, p1, p2, p3);
        return c;
    }
};

// In band is strictly between half the distance and the distance; the
// stand-off the steering read is given back.
TEST_F(EscortStates, TheBandsEdgesAreOutside) {
    const struct {
        double at;
        uint16_t step;
    } cases[] = {{5000, 1}, {5001, 2}, {9999, 2}, {10000, 1}, {50000, 1}};
    for (const auto &k : cases) {
        SceneItem *ship = AiShip(), *leader = AiShip(0, 0, k.at);
        leader->avatar->position = leader->sim->position;
        ship->avatar->standoff = 77;
        const StateCommand c = Call(51, ship, 1, 10000, dunHandleOf(leader));
        EXPECT_EQ(c.command, StateCmd::Yield) << k.at;
        EXPECT_EQ(c.step, k.step) << k.at;
        EXPECT_EQ(ship->avatar->standoff, 77);
        dunDeleteSceneItem(ship);
        dunDeleteSceneItem(leader);
    }
}

TEST_F(EscortStates, WithoutALeaderTheEscortEndsAndTheDriveIsFollowedOnlyWhenAllowed) {
    SceneItem *ship = AiShip();
    EXPECT_EQ(Call(51, ship, 1, 10000).command, StateCmd::Finish);
    SceneItem *leader = AiShip(0, 0, 7000);
    ship->sim->target = leader;
    EXPECT_EQ(Call(51, ship, 3, 10000, 0, 1).result, 1.0f);
    // A ship without a drive stays with the conventional escort.
    EXPECT_EQ(Call(51, ship, 3, 10000).step, 1);
    ship->sim->flight->p4 = 1000000000;
    const StateCommand c = Call(51, ship, 3, 10000);
    EXPECT_EQ(c.command, StateCmd::Push);
    EXPECT_EQ(c.state, 74u);
    EXPECT_EQ(c.params[1], 50000u);
    EXPECT_EQ(c.params[2], 1u);
}

TEST_F(EscortStates, TheCloseEscortTakesItsLeaderAsGoalAndNeverEnds) {
    SceneItem *ship = AiShip(), *leader = AiShip(0, 0, 300000);
    const StateCommand c = Call(53, ship, 1, 0, dunHandleOf(leader));
    EXPECT_EQ(ship->sim->goal, leader);
    EXPECT_EQ(c.command, StateCmd::Yield);
    EXPECT_EQ(c.step, 1);
    EXPECT_TRUE(std::isfinite(ship->sim->thrust.z));
}

}  // namespace
