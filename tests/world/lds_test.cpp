#include <cmath>
#include <vector>

#include "flight_fixture.h"
#include "world/contact.h"
#include "world/lds.h"

namespace {

class LdsDrive : public FlightTest {
protected:
    // A ship with a drive: growth 150 % per second, top drive speed 4e9.
    static SceneItem *DriveShip(double z = 0) { return Ship(0, 0, z, 150, 4000000000u); }
    // A ship cruising in the drive at a speed towards a target speed.
    static SceneItem *Cruising(float speed, float target) {
        SceneItem *ship = DriveShip();
        EXPECT_EQ(dunEnterLDS(ship), 0xFF);
        ship->sim->ldsRamp = 0;
        ship->sim->thrust.z = speed;
        ship->sim->ldsTarget = target;
        return ship;
    }
    std::vector<int> LogKinds() const {
        std::vector<int> out;
        for (const FakeCall &c : fakes.calls)
            if (c.name == "missionLogAdd") out.push_back(c.a);
        return out;
    }
};

}  // namespace

TEST_F(LdsDrive, EnteringIsRefusedWithoutAUsableDrive) {
    struct Case {
        uint32_t growth, top, flags;
        uint8_t result;
    };
    // Growth 100 % would divide by ln 1 and 0 % take the log of 0: such a
    // drive is refused when the ship's figures are set.
    for (const Case c : {Case{150, 4000000000u, 0, 0xFF}, Case{150, 0, 0, 0}, Case{100, 4000000000u, 0, 0},
                         Case{0, 4000000000u, 0, 0}, Case{150, 4000000000u, SimFlag::LdsBlocked, 0},
                         Case{150, 4000000000u, SimFlag::Lds, 0xFF}}) {
        SceneItem *ship = Ship(0, 0, 0, c.growth, c.top);
        ship->sim->flags |= c.flags;
        EXPECT_EQ(dunEnterLDS(ship), c.result) << c.growth << " " << c.top << " " << c.flags;
        if (c.growth == 100 || c.growth == 0) {
            EXPECT_EQ(ship->sim->flight->p4, 0u);
        }
    }
}

TEST_F(LdsDrive, EnteringSpinsUpFromTheDriveFloor) {
    SceneItem *ship = DriveShip();
    ship->sim->thrust = {100.0f, 200.0f, 300.0f};
    ASSERT_EQ(dunEnterLDS(ship), 0xFF);
    EXPECT_EQ(ship->sim->ldsRamp, 300);
    EXPECT_EQ(ship->sim->thrust.x, 0.0f);
    EXPECT_EQ(ship->sim->thrust.y, 0.0f);
    EXPECT_EQ(ship->sim->thrust.z, 100000.0f);
    EXPECT_EQ(ship->sim->ldsTarget, 1e10f);
    EXPECT_EQ(LogKinds(), std::vector<int>{9});
    EXPECT_EQ(fakes.Find("eventCamera")->a, 8);
}

TEST_F(LdsDrive, SpeedGrowsAtMostByItsRateAndFallsAtOnce) {
    const float ln15 = std::log(1.5f);
    struct Case {
        float speed, target, expected;
    };
    for (const Case c : {Case{1e6f, 1e9f, 1e6f + 1e6f * ln15 * 0.1f}, Case{1e6f, 5e5f, 5e5f},
                         Case{1e6f, 10.0f, 100000.0f}, Case{3.9e9f, 1e10f, 4e9f}, Case{-5.0f, 1e9f, 100000.0f}}) {
        SceneItem *ship = Cruising(c.speed, c.target);
        dunLdsUpdate(ship);
        EXPECT_NEAR(ship->sim->thrust.z, c.expected, c.expected * 1e-5) << c.speed << " -> " << c.target;
    }
}

TEST_F(LdsDrive, SpeedLaws) {
    FlightParams f = {};
    f.p3 = 150;
    EXPECT_FLOAT_EQ(dunLdsGear(225000.0f, &f), 2.0f);
    EXPECT_FLOAT_EQ(dunLdsRate(200000.0f, &f), 200000.0f * std::log(1.5f));
    EXPECT_FLOAT_EQ(dunLdsSpeedFactor(50000.0f, &f), 100000.0f);
    EXPECT_FLOAT_EQ(dunLdsClampSpeed(1e6f, &f), 500000.0f);
    EXPECT_FLOAT_EQ(dunLdsClampSpeed(1000.0f, &f), 100000.0f);  // at least the floor
    f.p3 = 100;
    EXPECT_EQ(dunLdsRate(200000.0f, &f), 0.0f);
    EXPECT_EQ(dunLdsSpeedFactor(200000.0f, &f), 0.0f);
}

TEST_F(LdsDrive, TimeScaleOfThePlayerOnAutopilot) {
    struct Case {
        float speed, target;
        bool autopilot;
        float scale;
    };
    for (const Case c : {Case{1e6f, 1e8f, true, 2.0f}, Case{1e6f, 1e8f, false, 1.0f}, Case{250000.0f, 1e8f, true, 1.0f},
                         Case{1e6f, 1e11f, true, 3.0f}, Case{1e6f, 2e6f, true, 1.5f}, Case{50000.0f, 1e8f, true, 1.0f}}) {
        dunResetWorld();
        SceneItem *ship = Cruising(c.speed, c.target);
        dunPlayerShip = dunControlledObject = ship;
        if (c.autopilot) ship->sim->flags |= SimFlag::Autopilot;
        dunTimeScale = 7.0f;
        dunLdsUpdate(ship);
        EXPECT_NEAR(dunTimeScale, c.scale, 1e-5f) << c.speed << " " << c.target;
        EXPECT_GE(dunLdsLevel, 5.0f);
        EXPECT_EQ(dunLdsView, 0xFF);
    }
}

TEST_F(LdsDrive, FlownTowardsAPointAndLeftAtTheArrivalRadius) {
    const double point = 5e7, arrival = 5e6;
    SceneItem *ship = DriveShip();
    ASSERT_EQ(dunEnterLDS(ship), 0xFF);
    int frames = 0;
    while (point - ship->sim->position.z > arrival && frames < 1000) {
        const float before = ship->sim->thrust.z;
        Frame();
        ++frames;
        if (ship->sim->ldsRamp == 0) {
            EXPECT_LE(ship->sim->thrust.z - before, before * std::log(1.5f) * 0.1f + 1.0f);
        }
    }
    ASSERT_LT(frames, 1000);
    EXPECT_EQ(ship->sim->ldsRamp, 0);
    dunLeaveLDS(ship);
    EXPECT_GT(ship->sim->position.z, point - arrival);
    EXPECT_LT(ship->sim->position.z, point);
    EXPECT_NEAR(ship->sim->position.x, 0.0, 1e-6);
    EXPECT_FALSE(ship->sim->flags & SimFlag::Lds);
    EXPECT_EQ(ship->sim->velocity.z, 0.0f);
    EXPECT_EQ(ship->sim->thrust.z, 0.0f);
    EXPECT_EQ(LogKinds(), (std::vector<int>{9, 10}));
    // Leaving inside a gravity well keeps the velocity.
    ASSERT_EQ(dunEnterLDS(ship), 0xFF);
    ship->sim->velocity = {0.0f, 0.0f, 3000.0f};
    ship->flags |= SceneFlag::InGravityWell;
    dunLeaveLDS(ship);
    EXPECT_EQ(ship->sim->velocity.z, 3000.0f);
}

TEST_F(LdsDrive, InterdictionDropsTheShipOutOfTheDrive) {
    SceneItem *ship = Cruising(1e6f, 1e9f);
    SceneItem *target = Ship(0, 0, 1e8);
    target->sim->velocity = {500.0f, 0.0f, 0.0f};
    ship->sim->target = target;
    dunMsgPost(target->receiverId, ship->receiverId, 0, 19, 0, nullptr);
    Frame();
    // The jolt shakes the ship, the drive is blocked and a one-second drop-out runs.
    EXPECT_TRUE(ship->sim->flags & SimFlag::LdsBlocked);
    EXPECT_GT(VecLength(ship->sim->tumble), 0.0);
    EXPECT_EQ(ship->sim->ldsRamp, -100);
    for (int i = 0; i < 9; ++i) Frame();
    EXPECT_TRUE(ship->sim->flags & SimFlag::Lds);
    Frame();
    EXPECT_FALSE(ship->sim->flags & SimFlag::Lds);
    EXPECT_EQ(ship->sim->thrust.z, 0.0f);
    EXPECT_EQ(ship->sim->velocity.x, 500.0f);
    EXPECT_EQ(fakes.Count("spawnLdsTrail"), 1);
    EXPECT_EQ(dunEnterLDS(ship), 0);
    // The block ends 250 cs after the message.
    while (dunGameClock < 260) Frame();
    EXPECT_FALSE(ship->sim->flags & SimFlag::LdsBlocked);
    EXPECT_EQ(dunEnterLDS(ship), 0xFF);
}

TEST_F(LdsDrive, ApproachStepDecisions) {
    struct Case {
        const char *what;
        double distance;
        float ownSpeed;
        bool targetLdsAway, gravityBody, off, noTurn;
        uint8_t result;
    };
    for (const Case c : {Case{"far", 1e7, 0, false, false, false, false, 0xFF},
                         Case{"near", 1e6, 0, false, false, false, false, 0},
                         Case{"opening", 1e6, -200000.0f, false, false, false, false, 0xFF},
                         Case{"target away", 1e6, 0, true, false, false, false, 0xFF},
                         Case{"inside a body", 1e6, 0, false, true, false, false, 0},
                         Case{"switched off", 1e7, 0, false, false, true, false, 0},
                         Case{"cannot turn", 1e7, 0, false, false, false, true, 0}}) {
        dunResetWorld();
        SceneItem *ship = DriveShip();
        SceneItem *target = DriveShip(c.distance);
        ship->sim->velocity = {0.0f, 0.0f, c.ownSpeed};
        if (c.targetLdsAway) {
            target->sim->flags |= SimFlag::Lds;
            target->sim->thrust.z = 1e6f;
        }
        if (c.gravityBody) {
            target->avatar->flags16 |= AvatarState::GravityBody;
            target->sim->radius = 2e6f;
        }
        if (c.noTurn) ship->sim->flight->turnRates[0] = ship->sim->flight->turnRates[2] = 0.0f;
        dunLdsOff = c.off;
        EXPECT_EQ(dunLdsApproachStep(ship, target), c.result) << c.what;
    }
    dunLdsOff = 0;
}

TEST_F(LdsDrive, GravityWellOfTheFirstBodyWithinHalfItsRadius) {
    SceneItem *body = Ship(0, 0, 10000);
    body->avatar->flags16 |= AvatarState::GravityBody;
    body->avatar->contactHandler = dunContactGravityBody;
    body->sim->radius = 10000.0f;
    SceneItem *out = Ship(0, 0, 3000);
    SceneItem *in = Ship(0, 0, 6000);
    dunFindGravityWell(out);
    dunFindGravityWell(in);
    EXPECT_FALSE(out->flags & SceneFlag::InGravityWell);
    EXPECT_TRUE(in->flags & SceneFlag::InGravityWell);
    EXPECT_EQ(in->sim->gravity.body, body);
    EXPECT_FLOAT_EQ(in->sim->gravity.depth, -1000.0f);
    EXPECT_FLOAT_EQ(in->sim->gravity.direction.z, 1.0f);
}

TEST_F(LdsDrive, AvoidanceThrustsAwayFromTheNearestObject) {
    SceneItem *ship = Ship();
    SceneItem *near = Ship(0, 0, 300);
    ship->avatar->nearest = near;
    ship->sim->velocity = {0.0f, 0.0f, 1000.0f};
    dunLdsSteer(ship);
    EXPECT_LT(ship->sim->thrust.z, 0.0f);
    EXPECT_LE(std::fabs(ship->sim->thrust.z), 7000.0f + 1.0f);
    // In the drive the ship is pushed out of the other's reach instead.
    ship->sim->thrust = {0.0f, 0.0f, 1e6f};
    ship->sim->flags |= SimFlag::Lds;
    dunLdsSteer(ship);
    EXPECT_LT(ship->sim->position.z, 0.0);
    EXPECT_EQ(ship->sim->thrust.z, 1e6f);
}
