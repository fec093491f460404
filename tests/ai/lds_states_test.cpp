// The LDS flight states: into the drive, the approach leg and its arrival,
// the braking demand, trailing a cruising target and the straight cruise.
#include <gtest/gtest.h>

#include <cmath>

#include "ai_fixture.h"
#include "world/handle.h"

using ruvotest::AiShip;

namespace {

class LdsStates : public testing::Test {
protected:
    void SetUp() override {
        dunai_InitStateRegistry();
        dunFrameStep = 2;
        dunFrameSeconds = 0.02f;
    }
    // A ship with a drive (turn rates 110 + 110: a full turn takes 360 / 220 s).
    static SceneItem *Ship(double z = 0) {
        SceneItem *s = AiShip(0, 0, z);
        s->sim->flight->p3 = 200;
        s->sim->flight->p4 = 1000000000;
        s->avatar->position = s->sim->position;
        s->sim->radius = 1000.0f;
        return s;
    }
    static StateCommand Call(uint32_t state, SceneItem *ship, int16_t step, uint32_t p1 = 0, uint32_t p2 = 0,
                             uint32_t p3 = 0, int32_t *locals = nullptr) {
        StateCommand c{};
        int32_t own[5] = {};
        AiStateHandlers[state](&c, ship, step, 0.0f, locals ? locals : own, p1, p2, p3);
        return c;
    }
    static constexpr float kTurn = 360.0f / 220.0f;
};

TEST_F(LdsStates, AnInhibitedDriveEndsTheApproachAtOnce) {
    SceneItem *ship = Ship(), *t = Ship(5e7);
    ship->sim->target = t;
    ship->sim->flags |= SimFlag::LdsBlocked;
    const StateCommand c = Call(71, ship, 1);
    EXPECT_EQ(c.command, StateCmd::Finish);
    EXPECT_EQ(c.result, 0.0f);
    // A ship that cannot turn counts its turn rates as 1: its demand stays
    // finite.
    SceneItem *stiff = Ship();
    stiff->sim->flight->turnRates[0] = stiff->sim->flight->turnRates[2] = 0;
    stiff->sim->target = t;
    stiff->sim->flags |= SimFlag::Lds;
    Call(71, stiff, 3);
    EXPECT_TRUE(std::isfinite(stiff->sim->ldsTarget));
    EXPECT_GT(stiff->sim->ldsTarget, 0.0f);
}

// The arrival distance: from a planet's surface with its radius as the
// stand-off, from a ship's centre with five radii.
TEST_F(LdsStates, ArrivalIsMeasuredFromAPlanetsSurface) {
    const struct {
        bool body;
        double at;
        bool arrives;
    } cases[] = {
        {true, 2.5e6, false},  // 1.5e6 off the surface; 163,636 + 1e6 needed
        {true, 2.1e6, true},
        {false, 2.5e6, true},  // a ship: 5e6 + 163,636
        {false, 5.3e6, false},
    };
    for (const auto &k : cases) {
        SceneItem *ship = Ship(), *t = Ship(k.at);
        t->sim->radius = 1e6f;
        if (k.body) {
            t->avatar->flags16 |= AvatarState::GravityBody;
            t->sim->shipInfo = nullptr;
        }
        ship->sim->target = t;
        ship->sim->flags |= SimFlag::Lds;
        const StateCommand c = Call(71, ship, 3);
        EXPECT_EQ(c.command == StateCmd::Finish && c.result == 1.0f, k.arrives) << k.body << " " << k.at;
        if (k.arrives && !k.body) EXPECT_EQ(ship->sim->ldsTarget, 100000.0f);
        dunDeleteSceneItem(ship);
        dunDeleteSceneItem(t);
    }
}

// While braking (at speed and inside the stopping distance) a new demand is
// taken only when it is lower; out of braking it is taken as it comes.
TEST_F(LdsStates, BrakingNeverRaisesTheDemand) {
    const struct {
        float speed, demand, closing, want;
    } cases[] = {
        {200000, 1e7f, 0, 3e6f / kTurn},  // braking, lower: taken
        {200000, 2e6f, 1e6f, 2e6f},  // braking, higher: kept
        {100000, 2e6f, 1e6f, 3e6f / kTurn + 1e6f},  // not at speed: taken
    };
    for (const auto &k : cases) {
        SceneItem *ship = Ship(), *t = Ship(3e6);
        ship->sim->target = t;
        ship->sim->flags |= SimFlag::Lds;
        ship->sim->thrust.z = k.speed;
        ship->sim->ldsTarget = k.demand;
        t->sim->velocity = {0, 0, k.closing};
        const StateCommand c = Call(71, ship, 3);
        EXPECT_EQ(c.command, StateCmd::Yield);
        EXPECT_NEAR(ship->sim->ldsTarget, k.want, k.want * 1e-4f) << k.speed << " " << k.demand;
        dunDeleteSceneItem(ship);
        dunDeleteSceneItem(t);
    }
}

TEST_F(LdsStates, TheEscortTrailsByAtLeastAMillion) {
    SceneItem *ship = Ship(), *t = Ship(800000);
    ship->sim->target = t;
    ship->sim->flags |= SimFlag::Lds;
    t->sim->flags |= SimFlag::Lds;
    t->sim->thrust.z = 300000;
    // 800,000 behind is within the trailing distance of 1,000,000 (500,000
    // asked): half the gap plus the leader's speed less the distance.
    Call(73, ship, 2, 500000);
    EXPECT_FLOAT_EQ(ship->sim->ldsTarget, 400000 + 300000 - 1000000);
    // The leader out of the drive ends the escort; without the drive the
    // ship goes on in the conventional escort, or finishes with p3 set.
    t->sim->flags &= ~SimFlag::Lds;
    EXPECT_EQ(Call(73, ship, 1).result, 1.0f);
    StateCommand c = Call(73, ship, 3);
    EXPECT_EQ(c.command, StateCmd::Push);
    EXPECT_EQ(c.state, 51u);
    EXPECT_EQ(c.params[0], 6000u);
    EXPECT_EQ(c.params[1], dunHandleOf(t));
    EXPECT_EQ(Call(73, ship, 3, 0, 0, 1).command, StateCmd::Finish);
}

TEST_F(LdsStates, AFlightToAGravityBodyEndsAfterOneLeg) {
    SceneItem *ship = Ship(), *planet = Ship(5e8);
    planet->avatar->flags16 |= AvatarState::GravityBody;
    ship->sim->target = planet;
    // The drive is entered and the approach pushed.
    StateCommand c = Call(74, ship, 1);
    EXPECT_TRUE(ship->sim->flags & SimFlag::Lds);
    EXPECT_EQ(c.command, StateCmd::Push);
    EXPECT_EQ(c.state, 71u);
    c = Call(74, ship, 3);
    EXPECT_EQ(c.command, StateCmd::Finish);
    EXPECT_EQ(c.result, 1.0f);
    // A ship whose drive cannot start falls back to closing the range.
    SceneItem *other = Ship(5e8);
    ship->sim->target = other;
    ship->sim->flags &= ~SimFlag::Lds;
    ship->sim->flags |= SimFlag::LdsBlocked;
    EXPECT_EQ(Call(74, ship, 1).step, 4);
}

TEST_F(LdsStates, StraightLdsCruisesAtTopSpeedOrFlees) {
    SceneItem *ship = Ship();
    StateCommand c = Call(75, ship, 1);
    EXPECT_EQ(c.step, 2);
    EXPECT_EQ(ship->sim->ldsTarget, 1e9f);
    // Without a drive: flee (p3 = 0) or finish.
    SceneItem *plain = AiShip();
    EXPECT_EQ(Call(75, plain, 1).step, 3);
    c = Call(75, plain, 3);
    EXPECT_EQ(c.command, StateCmd::Push);
    EXPECT_EQ(c.state, 61u);
    EXPECT_EQ(c.params[2], 2u);
    EXPECT_EQ(Call(75, plain, 3, 0, 0, 1).command, StateCmd::Finish);
    // "LDS to NavTarget" starts the drive's counter and hands on p3.
    SceneItem *nav = Ship(1e9);
    c = Call(70, plain, 1, dunHandleOf(nav), 0, 7);
    EXPECT_EQ(plain->sim->target, nav);
    EXPECT_TRUE(plain->sim->flags & SimFlag::Lds);
    EXPECT_EQ(c.state, 74u);
    EXPECT_EQ(c.params[2], 7u);
}

}  // namespace
