// The steering helpers: the angle measures and axis controllers, the speed
// laws, the point steering's choice of facing, velocity matching, damping and
// the braking step; and that the demands really turn a ship the right way
// under the world's flight step.
#include <cmath>

#include "ai_fixture.h"
#include "world/flight.h"

namespace {

using ruvotest::AiShip;

constexpr int kPitch = 0, kYaw = 1, kRoll = 2;

TEST(AngleMeasures, DeadZonesAndBehindTheShip) {
    struct Row {
        const char *what;
        float (*measure)(float, float);
        float a, b, angle;
    } rows[] = {
        {"inside the dead zone", dunai_AxisAngle, 0.06f, 0.998f, 0.0f},
        {"the dead zone ends at 0.07", dunai_AxisAngle, 0.07f, 0.9975f, -4.0142f},
        {"small but behind: no dead zone", dunai_AxisAngle, 0.06f, -0.1f, -90.0f},
        {"behind on the other side", dunai_AxisAngle, -0.06f, -0.1f, 90.0f},
        {"straight behind", dunai_AxisAngle, 0.0f, -1.0f, -90.0f},
        {"30 degrees", dunai_AxisAngle, 0.5f, 0.8660254f, -30.0f},
        {"-30 degrees", dunai_AxisAngle, -0.5f, 0.8660254f, 30.0f},
        {"no dead zone", dunai_AxisAngleNoDeadZone, 0.06f, 0.998f, -3.4405f},
        {"a component past 1 is taken as 1", dunai_AxisAngle, 1.5f, 0.0f, -90.0f},
        {"roll dead zone", dunai_RollAngle, 0.04f, 0.04f, 0.0f},
        {"roll outside it", dunai_RollAngle, 0.04f, 0.06f, 33.690f},
        {"roll of a component past 1", dunai_RollAngle, 1.5f, 0.0f, 90.0f},
        {"roll of nothing", dunai_RollAngle, 0.0f, 0.0f, 0.0f},
    };
    for (const Row &r : rows) EXPECT_NEAR(r.measure(r.a, r.b), r.angle, 1e-3) << r.what;
}

TEST(AxisControl, HalfWayScaledAndFallingOffInside30Degrees) {
    struct Row {
        const char *what;
        float before, angle, scale, demand, result;
    } rows[] = {
        {"half-way to full", 0.0f, 60.0f, 1.0f, 50.0f, 1.0f / 9.0f},
        {"and again", 50.0f, 60.0f, 1.0f, 75.0f, 1.0f / 9.0f},
        {"the other way", 50.0f, -60.0f, 1.0f, -25.0f, 1.0f / 9.0f},
        {"scaled by s^2, the result by s", 0.0f, 60.0f, 0.5f, 12.5f, 1.0f / 18.0f},
        {"inside 30 degrees it falls off", 0.0f, 15.0f, 1.0f, 25.0f, 0.6944444f},
        {"on the nose", 80.0f, 0.0f, 1.0f, 0.0f, 1.0f},
        {"straight behind", 0.0f, -90.0f, 1.0f, -50.0f, 0.0f},
    };
    for (const Row &r : rows) {
        SceneItem *ship = AiShip();
        ship->turnDemand[kPitch] = r.before;
        EXPECT_NEAR(dunai_PitchControl(ship, r.angle, nullptr, r.scale), r.result, 1e-5) << r.what;
        EXPECT_NEAR(ship->turnDemand[kPitch], r.demand, 1e-4) << r.what;
        EXPECT_EQ(ship->turnRemaining[kPitch], r.angle) << r.what;
    }
    // Roll: the cube, no scale.
    SceneItem *ship = AiShip();
    EXPECT_NEAR(dunai_RollControl(ship, 45.0f, nullptr), 0.125f, 1e-6);
    EXPECT_EQ(ship->turnDemand[kRoll], 50.0f);
    EXPECT_EQ(ship->turnRemaining[kRoll], 45.0f);
}

TEST(AxisControl, OnlyTheFirstTurnRequestOfAFrameCounts) {
    SceneItem *ship = AiShip();
    const Vec3 right = {0.5f, 0.0f, 0.8660254f};
    EXPECT_GT(dunai_TurnRates(ship, right, nullptr), 0.0f);
    EXPECT_TRUE(ship->sim->flags & SimFlag::TurnedThisFrame);
    const float yaw = ship->turnDemand[kYaw];
    EXPECT_GT(yaw, 0.0f);
    EXPECT_EQ(dunai_TurnRates(ship, {-0.5f, 0.0f, 0.8660254f}, nullptr), 0.0f);
    EXPECT_EQ(dunai_YawControl(ship, -60.0f, nullptr, 1.0f), 0.0f);
    EXPECT_EQ(dunai_RollControl(ship, -60.0f, nullptr), 0.0f);
    EXPECT_EQ(ship->turnDemand[kYaw], yaw);
    EXPECT_EQ(ship->turnDemand[kRoll], 0.0f);
    // The next frame's request counts again.
    ship->sim->flags &= ~SimFlag::TurnedThisFrame;
    dunai_TurnRates(ship, {-0.5f, 0.0f, 0.8660254f}, nullptr);
    EXPECT_LT(ship->turnRemaining[kYaw], 0.0f);
}

// Far off the nose the ship rolls, near it it yaws: the roll weight w is 1
// below z 0.7, 0 from 0.85, linear between.
TEST(TurnRates, RollWeightBands) {
    struct Row {
        float z, w;
    } rows[] = {{0.5f, 1.0f},        {0.699f, 1.0f}, {0.7f, 1.0f}, {0.775f, 0.5f},
                {0.8f, 1.0f / 3.0f}, {0.85f, 0.0f},  {0.95f, 0.0f}};
    for (const Row &r : rows) {
        // Up and to the right, at the given nose component.
        const float side = std::sqrt((1.0f - r.z * r.z) / 2.0f);
        const Vec3 d = {side, side, r.z};
        SceneItem *ship = AiShip();
        dunai_TurnRates(ship, d, nullptr);
        const float yaw = -dunai_AxisAngle(d.x, d.z), roll = dunai_RollAngle(d.x, d.y);
        EXPECT_NEAR(ship->turnRemaining[kRoll], roll * r.w, 1e-3) << r.z;
        EXPECT_NEAR(ship->turnRemaining[kYaw], yaw * (1.0f - r.w), 1e-3) << r.z;
        EXPECT_NEAR(ship->turnRemaining[kPitch], dunai_AxisAngle(d.y, d.z), 1e-3) << r.z;
    }
    // Below the ship the roll turns the other way, to pitch down onto it.
    SceneItem *ship = AiShip();
    dunai_TurnRates(ship, {0.5f, -0.5f, 0.0f}, nullptr);
    EXPECT_NEAR(ship->turnRemaining[kRoll], -45.0f, 1e-3);
    EXPECT_GT(ship->turnRemaining[kPitch], 0.0f);
}

TEST(SpeedLaws, Table) {
    // a = 6000, vmax = 65000; the standoff distance k = 10000.
    struct Row {
        const char *what;
        SpeedLimitFn law;
        float distance, speed;
    } rows[] = {
        {"default", dunai_DefaultSpeedLimit, 100000.0f, 21908.902f},
        {"default at top speed", dunai_DefaultSpeedLimit, 1e7f, 65000.0f},
        {"approach = default", dunai_ApproachSpeedLimit, 100000.0f, 21908.902f},
        {"stopping", dunai_StoppingSpeedLimit, 100000.0f, 15491.933f},
        {"minimum", dunai_MinimumSpeedLimit, 0.0f, 500.0f},
        {"minimum above 500", dunai_MinimumSpeedLimit, 100000.0f, 21908.902f},
        {"cruise", dunai_CruiseSpeedLimit, 5.0f, 35000.0f},
        {"standoff outside", dunai_StandoffSpeedLimit, 110000.0f, 21908.902f},
        {"standoff inside backs away", dunai_StandoffSpeedLimit, 5000.0f, -4898.979f},
        {"standoff far outside", dunai_StandoffSpeedLimit, 1e9f, 65000.0f},
        {"hold band outside: default law of d - k", dunai_HoldBandSpeedLimit, 20000.0f, 6928.203f},
        {"hold band at k", dunai_HoldBandSpeedLimit, 10000.0f, 0.0f},
        {"hold band inside", dunai_HoldBandSpeedLimit, 7000.0f, 0.0f},
        {"hold band at k/2", dunai_HoldBandSpeedLimit, 5000.0f, -65000.0f},
        {"hold band close", dunai_HoldBandSpeedLimit, 4000.0f, -65000.0f},
    };
    SceneItem *ship = AiShip();
    ship->avatar->standoff = 10000;
    const FlightParams *profile = dunai_ProfileOf(ship);
    for (const Row &r : rows) EXPECT_NEAR(r.law(ship, profile, r.distance), r.speed, 0.05) << r.what;
    // Inside a standoff far larger than the ship can stop from, never faster
    // than top speed either way.
    ship->avatar->standoff = 2000000000;
    EXPECT_EQ(dunai_StandoffSpeedLimit(ship, profile, 0.0f), -65000.0f);
}

// Which way the point steering turns the ship shows the facing it chose:
// up is a pitch of -90, right a roll of +90, left a roll of -90.
TEST(SteerTowards, ChoosesItsFacing) {
    const Vec3 right = {1000, 0, 0}, left = {-1, 0, 0}, none = {0, 0, 0};
    struct Row {
        const char *what;
        Vec3 point;
        const Vec3 *velocity, *facing;
        float pitch, roll;
    } rows[] = {
        {"far: the point", {0, 400000, 0}, &right, nullptr, -90.0f, 0.0f},
        {"near a moving point: along its velocity", {0, 200000, 0}, &right, nullptr, 0.0f, 90.0f},
        {"near a fixed point: the point", {0, 200000, 0}, nullptr, nullptr, -90.0f, 0.0f},
        {"a facing given wins", {0, 400000, 0}, &right, &left, 0.0f, -90.0f},
        {"a zero facing keeps the nose", {0, 400000, 0}, &right, &none, 0.0f, 0.0f},
    };
    for (const Row &r : rows) {
        SceneItem *ship = AiShip();
        dunai_SteerTowards(ship, r.point, r.velocity, r.facing, nullptr);
        EXPECT_NEAR(ship->turnRemaining[kPitch], r.pitch, 0.1) << r.what;
        EXPECT_NEAR(ship->turnRemaining[kRoll], r.roll, 0.1) << r.what;
    }
}

TEST(SteerTowards, ClosenessAndLookAheadDistance) {
    struct Row {
        float z, closeness;
    } rows[] = {{250000.0f, 0.0f}, {100000.0f, 0.0f}, {50000.0f, 0.5f}, {0.0f, 1.0f}};
    for (const Row &r : rows) {
        SceneItem *ship = AiShip();
        EXPECT_NEAR(dunai_SteerTowards(ship, {0, 0, r.z}, nullptr, nullptr, nullptr), r.closeness, 1e-6) << r.z;
        EXPECT_EQ(dunai_LastSteerDistance, r.z);
    }
    // The look-ahead is a quarter of a second of both motions.
    SceneItem *ship = AiShip();
    ship->sim->velocity = {0, 0, 40000};
    const Vec3 velocity = {0, 0, 20000};
    dunai_SteerTowards(ship, {0, 0, 100000}, &velocity, nullptr, nullptr);
    EXPECT_EQ(dunai_LastSteerDistance, 95000.0f);
}

TEST(Steering, NoNanFromAZeroVector) {
    SceneItem *ship = AiShip(100, 200, 300);
    const Vec3 still = {0, 0, 0};
    const float results[] = {
        dunai_SteerTowards(ship, {100, 200, 300}, &still, nullptr, nullptr),
        dunai_SteerToStopAt(ship, {100, 200, 300}, nullptr, 0.0f),
        dunai_SlideToPoint(ship, {100, 200, 300}, still, nullptr, 9000.0f),
        dunai_TurnRates(ship, still, nullptr),
        dunai_SteerAlongVector(ship, still, nullptr),
        dunai_RollYawToward(ship, still, nullptr),
        dunai_MatchVelocity(ship, still, nullptr),
    };
    for (float r : results) EXPECT_FALSE(std::isnan(r));
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(std::isnan(ship->turnDemand[i])) << i;
        EXPECT_FALSE(std::isnan(ship->turnRemaining[i])) << i;
    }
    EXPECT_FALSE(std::isnan(ship->sim->thrust.x) || std::isnan(ship->sim->thrust.y) || std::isnan(ship->sim->thrust.z));
    EXPECT_EQ(dunai_SteerToStopAt(ship, {100, 200, 300}, nullptr, 0.0f), 1.0f);
}

TEST(MatchVelocity, OfZeroKeepsTheNoseAndBrakesWithTheMainDrive) {
    SceneItem *ship = AiShip();
    MatRotateY(30.0f, ship->sim->matrix);
    const Vec3 nose = {ship->sim->matrix.m[8], ship->sim->matrix.m[9], ship->sim->matrix.m[10]};
    ship->sim->velocity = {nose.x * 10000.0f + 3000.0f, 0.0f, nose.z * 10000.0f};
    const FlightParams *profile = dunai_ProfileOf(ship);
    EXPECT_EQ(dunai_MatchVelocity(ship, {0, 0, 0}, profile), 0.0f);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ship->turnDemand[i], 0.0f) << i;
    EXPECT_NEAR(VecLength(ship->sim->thrust), 6000.0, 0.01);
    EXPECT_LT(ship->sim->thrust.z, -5000.0f);
    // A slow drift is taken out whole, and the result says how near.
    ship->sim->velocity = {nose.x * 1000.0f, 0.0f, nose.z * 1000.0f};
    EXPECT_NEAR(dunai_MatchVelocity(ship, {0, 0, 0}, profile), 0.5f, 1e-5);
    EXPECT_NEAR(ship->sim->thrust.z, -1000.0f, 0.01);
}

TEST(Damping, RestBelow1000AndBelow300) {
    struct Row {
        float speed, thrust, result;
        bool stopped, quiet;
    } rows[] = {{999, 299, 1.0f, true, true},
                {1000, 299, 0.5f, false, true},
                {999, 300, 0.5f, true, false},
                {1000, 300, 0.0f, false, false}};
    for (const Row &r : rows) {
        SceneItem *ship = AiShip();
        ship->sim->velocity = {0, r.speed, 0};
        ship->sim->thrust = {r.thrust, 0, 0};
        EXPECT_EQ(dunai_DampResidualMotion(ship), r.result) << r.speed << " " << r.thrust;
        EXPECT_EQ(ship->sim->velocity.y == 0.0f, r.stopped) << r.speed;
        EXPECT_EQ(ship->sim->thrust.x == 0.0f, r.quiet) << r.thrust;
    }
    // Relative to the target: the ship takes its velocity.
    SceneItem *ship = AiShip(), *target = AiShip();
    target->sim->velocity = {5000, 0, 0};
    ship->sim->velocity = {5999, 0, 0};
    ship->sim->target = target;
    EXPECT_EQ(dunai_DampResidualMotionRelative(ship), 1.0f);
    EXPECT_EQ(ship->sim->velocity.x, 5000.0f);
}

TEST(IdleFlight, BrakesInTheShipsAxesWithinItsThrust) {
    SceneItem *ship = AiShip();
    MatRotateY(90.0f, ship->sim->matrix);
    // Local velocity (10000, -2000, 9000): right, down and ahead.
    Vec3 local = {10000, -2000, 9000}, world;
    MatTransformPointTransposed(world, local, ship->sim->matrix);
    ship->sim->velocity = world;
    ship->turnDemand[kYaw] = 40.0f;
    EXPECT_EQ(dunai_IdleFlight(ship), 0.0f);
    EXPECT_NEAR(ship->sim->thrust.x, -4500.0f, 0.01);  // 0.75 a sideways
    EXPECT_NEAR(ship->sim->thrust.y, 2000.0f, 0.01);
    EXPECT_NEAR(ship->sim->thrust.z, -6000.0f, 0.01);  // a along the nose
    EXPECT_NEAR(ship->sim->bodyVelocity.x, 10000.0f, 0.01);
    EXPECT_EQ(ship->turnDemand[kYaw], 40.0f);
    // In a gravity well the ship holds the velocity it has: no thrust.
    SceneItem *body = AiShip();
    ship->flags |= SceneFlag::InGravityWell;
    ship->sim->gravity.body = body;
    dunai_IdleFlight(ship);
    EXPECT_EQ(ship->sim->thrust.x, 0.0f);
    EXPECT_EQ(ship->sim->thrust.y, 0.0f);
    EXPECT_EQ(ship->sim->thrust.z, 0.0f);
}

TEST(AlignToMatrix, EachAxisDeflectsTowardsTheRotationThatGetsThere) {
    struct Row {
        void (*rotation)(float, Mat4 &);
        int axis;
        float degrees;
    } rows[] = {{MatRotationY, 1, 30.0f},  {MatRotationY, 1, -30.0f}, {MatRotationZ, 2, 30.0f},
                {MatRotationZ, 2, -30.0f}, {MatRotationX, 0, 30.0f},  {MatRotationX, 0, -30.0f}};
    for (const Row &r : rows) {
        SceneItem *ship = AiShip();
        Mat4 m;
        MatIdentity(m);
        r.rotation(r.degrees, m);
        EXPECT_NEAR(dunai_AlignToMatrix(ship, m), 2.0f / 3.0f, 1e-3) << r.axis << " " << r.degrees;
        EXPECT_NEAR(ship->turnRemaining[r.axis], r.degrees, 1e-3) << r.axis;
        EXPECT_EQ(ship->turnDemand[r.axis], r.degrees > 0 ? 100.0f : -100.0f) << r.axis;
    }
    // Yaw off by 45 degrees halves what the roll and pitch may ask.
    SceneItem *ship = AiShip();
    Mat4 m;
    MatIdentity(m);
    MatRotationY(45.0f, m);
    dunai_AlignToMatrix(ship, m);
    EXPECT_NEAR(ship->turnDemand[kRoll], 50.0f, 1e-3);
    EXPECT_NEAR(ship->turnDemand[kPitch], 50.0f, 1e-3);
}

// The demands and the world's turning step agree on signs: a ship turned
// each frame at a point behind, above and to the side brings its nose onto it.
TEST(Steering, TheFlightStepBringsTheNoseRound) {
    const Vec3 points[] = {{100000, 50000, -100000}, {-100000, -60000, -20000}, {20000, 80000, 100000}};
    for (const Vec3 &p : points) {
        SceneItem *ship = AiShip();
        dunFrameStep = 2;
        dunFrameSeconds = 0.02f;
        for (int frame = 0; frame < 500; ++frame) {
            ship->sim->flags &= ~SimFlag::TurnedThisFrame;
            dunai_TurnRates(ship, dunai_ToLocalDirection(ship->sim->matrix, p), dunai_ProfileOf(ship));
            Mat4 m = ship->sim->matrix;
            dunTurnShip(ship, &m);
            m.m[12] = m.m[13] = m.m[14] = 0.0f;
            ship->sim->matrix = m;
        }
        Vec3 to = p;
        VecNormalise(to);
        const Vec3 nose = {ship->sim->matrix.m[8], ship->sim->matrix.m[9], ship->sim->matrix.m[10]};
        EXPECT_GT(VecDot(nose, to), 0.99) << p.x << " " << p.y << " " << p.z;
    }
}

}  // namespace
