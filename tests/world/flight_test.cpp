#include <cmath>

#include "RES/vecmath.h"
#include "flight_fixture.h"
#include "world/docking.h"

namespace {

class FlightControl : public FlightTest {};

}  // namespace

TEST_F(FlightControl, TurnOf90DegreesEndsAt90) {
    // In the drive the rate takes its target at once; outside it a rate
    // within one step's change follows too. Either way the command is cut
    // on the last step so that the turn ends on the angle.
    struct Case {
        bool lds;
        float demand;
        int steps;
    };
    for (const Case c : {Case{true, 100.0f, 20}, Case{false, 10.0f, 120}}) {
        SceneItem *ship = Ship();
        if (c.lds) {
            ship->sim->flags |= SimFlag::Lds;
            ship->sim->thrust.z = 0.0f;
        }
        ship->turnDemand[1] = c.demand;
        ship->turnRemaining[1] = 90.0f;
        for (int i = 0; i < c.steps; ++i) dunTurnShip(ship, &ship->sim->matrix);
        const Vec3 f = Forward(ship);
        EXPECT_NEAR(f.x, 1.0f, 1e-5f) << c.lds;
        EXPECT_NEAR(f.z, 0.0f, 1e-4f) << c.lds;
        EXPECT_NEAR(ship->turnRemaining[1], 0.0f, 1e-3f) << c.lds;
        EXPECT_NEAR(ship->sim->turnRates.y, 0.0f, 1e-2f) << c.lds;
    }
}

TEST_F(FlightControl, TurnRatesChangeByAtMostTheMaximumPerSecond) {
    SceneItem *ship = Ship();
    ship->turnDemand[2] = 100.0f;
    ship->turnRemaining[2] = 1000.0f;
    dunTurnShip(ship, &ship->sim->matrix);
    EXPECT_FLOAT_EQ(ship->sim->turnRates.z, 9.0f);  // 90 degrees per second x 0.1 s
    // Faster about Z shows on the display word, with the bit that is always set.
    EXPECT_EQ(ship->avatar->thrusterFlags, 0x1000u | 0x40u);
    ship->sim->flags |= SimFlag::Lds;
    dunTurnShip(ship, &ship->sim->matrix);
    EXPECT_FLOAT_EQ(ship->sim->turnRates.z, 90.0f);
}

TEST_F(FlightControl, ShipAcceleratesToItsSetSpeedAndHoldsIt) {
    SceneItem *ship = PlayerShip();
    ship->sim->flightMode = 1;
    ship->sim->setSpeed = 70000.0f;  // the top cruising speed
    float fastest = 0.0f;
    for (int i = 0; i < 250; ++i) {
        Frame();
        if (ship->sim->speed > fastest) fastest = ship->sim->speed;
        if (i == 49) {
            EXPECT_NEAR(ship->sim->velocity.z, 35000.0f, 1.0f);  // full thrust for 5 s
        }
    }
    EXPECT_NEAR(ship->sim->velocity.z, 70000.0f, 1.0f);
    EXPECT_LE(fastest, 70000.0f + 1.0f);
    EXPECT_NEAR(ship->sim->position.z, 70000.0 * 25.0 - 70000.0 * 70000.0 / (2 * 7000.0), 3000.0);
}

TEST_F(FlightControl, FlightAssistDampsSidewaysDrift) {
    struct Case {
        uint16_t mode;
        uint32_t flags;
        bool damped;
    };
    for (const Case c : {Case{1, 0, true}, Case{2, 0, true}, Case{0, 0, false}, Case{1, SimFlag::NoDriftDamping, false}}) {
        dunResetWorld();
        SceneItem *ship = PlayerShip();
        ship->sim->flightMode = c.mode;
        ship->sim->flags |= c.flags;
        ship->sim->velocity = {3000.0f, -3000.0f, 0.0f};
        for (int i = 0; i < 60; ++i) Frame();
        if (c.damped) {
            EXPECT_LT(std::fabs(ship->sim->velocity.x), 30.0f) << c.mode;
            EXPECT_LT(std::fabs(ship->sim->velocity.y), 30.0f) << c.mode;
        } else {
            EXPECT_FLOAT_EQ(ship->sim->velocity.x, 3000.0f) << c.mode;
        }
    }
}

TEST_F(FlightControl, ThrustKeysAndStrafing) {
    SceneItem *ship = PlayerShip();
    KeyDownTable[dunThrustKeys[0]] = 0xFF;
    Frame();
    EXPECT_FLOAT_EQ(ship->sim->thrust.z, 7000.0f);
    EXPECT_TRUE(ship->avatar->thrusterFlags & 0x400);  // the main engine shows
    KeyDownTable[dunThrustKeys[0]] = 0;
    KeyDownTable[dunThrustKeys[1]] = 0xFF;
    Frame();
    EXPECT_FLOAT_EQ(ship->sim->thrust.z, -7000.0f);
    KeyDownTable[dunThrustKeys[1]] = 0;
    // A strafe key turns the stick into sideways thrust of twice the maximum
    // at full deflection, and the commands stay.
    KeyDownTable[0x1F] = 0xFF;
    dunStickX = 164.0f;
    dunStickY = -328.0f;
    Frame();
    EXPECT_FLOAT_EQ(ship->sim->thrust.x, -7000.0f);
    EXPECT_FLOAT_EQ(ship->sim->thrust.y, -14000.0f);
    EXPECT_FLOAT_EQ(ship->turnDemand[2], 0.0f);
    KeyDownTable[0x1F] = 0;
    dunReadPlayerFlightInput(ship);
    EXPECT_FLOAT_EQ(ship->turnDemand[2], 164.0f / 8.0f);
    EXPECT_FLOAT_EQ(ship->turnRemaining[2], 164.0f / 8.0f);
}

TEST_F(FlightControl, ApproximateSpeedFloor) {
    struct Case {
        uint32_t simFlags;
        uint16_t state;
        float expected;
    };
    for (const Case c : {Case{0, 0, 500.0f}, Case{SimFlag::NoSpeedFloor, 0, 0.0f},
                         Case{0, AvatarState::DoubledSpeed, 1500.0f}}) {
        SceneItem *ship = Ship();
        ship->sim->flags |= c.simFlags;
        ship->avatar->flags16 |= c.state;
        dunFlyShip(ship);
        EXPECT_FLOAT_EQ(ship->sim->approxSpeed, c.expected) << c.simFlags << " " << c.state;
    }
}

TEST_F(FlightControl, LdsRampBlendsDriveAndVelocity) {
    // k = (100 - T) / 100 going up, -T / 100 dropping out; 0 and +-100 mix
    // nothing. The frame step is 0 so that the ramp stays as it is given.
    struct Case {
        int32_t ramp;
        double drive;  // share of the drive motion
    };
    dunFrameStep = 0;
    for (const Case c : {Case{0, 1.0}, Case{50, 0.5}, Case{25, 0.75}, Case{-50, 0.5}, Case{-25, 0.25},
                         Case{100, 0.0}, Case{-100, 0.0}}) {
        SceneItem *ship = Ship(0, 0, 0, 150, 4000000000u);
        Sim *s = ship->sim;
        s->flags |= SimFlag::Lds;
        s->thrust.z = s->ldsTarget = 200000.0f;
        s->ldsRamp = c.ramp;
        s->velocity = {1000.0f, 0.0f, 0.0f};
        dunFlyShip(ship);
        EXPECT_NEAR(s->position.z, 200000.0 * 0.1 * c.drive, 1e-3) << c.ramp;
        EXPECT_NEAR(s->position.x, 1000.0 * 0.1 * (1.0 - c.drive), 1e-3) << c.ramp;
    }
}

TEST_F(FlightControl, EngineVolumeFollowsTheStrain) {
    SceneItem *ship = PlayerShip();
    dunFlyShip(ship);
    EXPECT_EQ(dunAmbienceVolume, -5000);
    ship->sim->thrust = {0.0f, 0.0f, 7000.0f};
    dunStickX = 327.0f;
    dunStickY = 327.0f;
    dunTwist = 327.0f;
    dunFlyShip(ship);
    EXPECT_EQ(dunAmbienceVolume, 0);
    // A ship without thrust has no strain, not a division by zero.
    ship->sim->flight->p1 = 0.0f;
    dunStickX = dunStickY = dunTwist = 0.0f;
    dunFlyShip(ship);
    EXPECT_EQ(dunAmbienceVolume, -5000);
}

TEST_F(FlightControl, SingleShotWeaponsFireOncePerPress) {
    for (const uint32_t flags : {WeaponFlag::SingleShot, 0u}) {
        fakes.calls.clear();
        dunResetWorld();
        SceneItem *ship = PlayerShip();
        Weapon *w = ship->sim->weapons = dunAllocWeapon();
        w->flags |= flags;
        JoystickButtons = 1u << dunFireButton;
        for (int i = 0; i < 3; ++i) Frame();
        EXPECT_EQ(fakes.Count("fireWeapon"), flags ? 1 : 3);
        EXPECT_EQ(ship->sim->currentWeapon, w);
    }
}

TEST_F(FlightControl, FireResultsShowTheirText) {
    SceneItem *ship = PlayerShip();
    ship->sim->weapons = dunAllocWeapon();
    SceneItem *goal = Ship(0, 0, 5000);
    ship->sim->goal = goal;
    fakes.fireResult = 3;
    KeyDownTable[0x39] = 0xFF;  // space fires too
    Frame();
    ASSERT_NE(fakes.Find("fireWeapon"), nullptr);
    EXPECT_EQ(fakes.Find("fireWeapon")->other, goal);  // the goal became the weapon's target
    ASSERT_NE(fakes.Find("showFireResult"), nullptr);
    EXPECT_EQ(fakes.Find("showFireResult")->a, 3);
}

TEST_F(FlightControl, TargetButtonTapPicksATarget) {
    struct Case {
        int heldFrames;
        int picks;
    };
    for (const Case c : {Case{1, 1}, Case{5, 1}, Case{7, 0}}) {
        fakes.calls.clear();
        dunResetWorld();
        PlayerShip();
        JoystickButtons = 1u << dunTargetButton;
        for (int i = 0; i < c.heldFrames; ++i) Frame();
        JoystickButtons = 0;
        Frame();
        EXPECT_EQ(fakes.Count("pickTargetFiltered"), c.picks) << c.heldFrames;
    }
}

TEST_F(FlightControl, StunnedShipBrakesAndTheCockpitShowsInterference) {
    SceneItem *ship = PlayerShip();
    ship->sim->flags |= SimFlag::AiPaused;
    ship->sim->bodyVelocity = {100.0f, 0.0f, -2000.0f};
    KeyDownTable[dunThrustKeys[0]] = 0xFF;
    dunControlPlayer(ship);
    EXPECT_FLOAT_EQ(ship->sim->thrust.z, 200.0f);
    EXPECT_FLOAT_EQ(ship->sim->thrust.x, -10.0f);
    ASSERT_NE(fakes.Find("setInterference"), nullptr);
    EXPECT_EQ(fakes.Find("setInterference")->a, 250);
}

TEST_F(FlightControl, AutopilotThinksAndKeepsTheTarget) {
    SceneItem *ship = PlayerShip();
    SceneItem *target = Ship(0, 0, 1e6);
    ship->sim->flags |= SimFlag::Autopilot;
    ship->sim->target = target;
    fakes.onThink = [](SceneItem *s) { s->sim->target = nullptr; };
    KeyDownTable[dunThrustKeys[0]] = 0xFF;
    dunControlPlayer(ship);
    EXPECT_EQ(fakes.Count("think"), 1);
    EXPECT_EQ(ship->sim->target, target);
    EXPECT_FLOAT_EQ(ship->sim->thrust.z, 0.0f);  // no player input unless the AI asks for it
}

TEST_F(FlightControl, PlayerAimsBothMountsWithItsSideMasks) {
    SceneItem *ship = PlayerShip();
    ship->avatar->flags |= 0x80;
    fakes.sideTargetMask = 0x300;
    dunControlPlayer(ship);
    ASSERT_EQ(fakes.Count("pickTargetPoint"), 2);
    EXPECT_EQ(fakes.Find("pickTargetPoint", 1)->a, 1);
    EXPECT_EQ(fakes.Find("pickTargetPoint")->b, 0x310);
    EXPECT_EQ(fakes.Find("pickTargetPoint")->text, std::to_string(0xA0));
    EXPECT_EQ(fakes.Count("updateWeapons"), 1);
}

TEST_F(FlightControl, ReentryApproachBits) {
    struct Case {
        float speed;
        Vec3 velocity;
        Vec3d position;
        bool lds;
        uint32_t bits;
    };
    // The body faces +Z at the origin.
    for (const Case c : {Case{20000, {0, 0, 20000}, {0, 0, -5000}, false, 0},
                         Case{20000, {0, 0, 20000}, {0, 0, -5000}, true, 1},
                         Case{5000, {0, 0, 5000}, {0, 0, -5000}, false, 2},
                         Case{300000, {0, 0, 300000}, {0, 0, -5000}, false, 4},
                         Case{20000, {20000, 0, 0}, {0, 0, -5000}, false, 8},
                         Case{20000, {0, 0, 20000}, {0, 0, -20000}, false, 16},
                         Case{20000, {0, 0, 20000}, {30000, 0, 0}, false, 16}}) {
        SceneItem *body = Ship();
        SceneItem *ship = Ship(c.position.x, c.position.y, c.position.z);
        ship->sim->speed = c.speed;
        ship->sim->velocity = c.velocity;
        if (c.lds) ship->sim->flags |= SimFlag::Lds;
        EXPECT_EQ(dunCheckReentryApproach(ship, body), c.bits) << c.bits;
    }
}

TEST_F(FlightControl, TouchingABodyReportsTheApproachAndJumpsWhenArmed) {
    SceneItem *body = Ship();
    SceneItem *ship = PlayerShip(0, 0, -5000);
    ship->sim->speed = 20000.0f;
    ship->sim->velocity = {0.0f, 0.0f, 20000.0f};
    ship->flags |= SceneFlag::TouchingBody;
    dunLastTouchedBody = body;
    dunCapsuleStarCode = 7;
    dunControlPlayer(ship);
    EXPECT_FALSE(ship->flags & SceneFlag::TouchingBody);
    EXPECT_TRUE(ship->sim->flags & SimFlag::ReentryClean);
    EXPECT_EQ(fakes.Count("reentryStatus"), 1);
    EXPECT_EQ(fakes.Count("capsuleJump"), 1);
    dunCapsuleStarCode = 0;
}

TEST_F(FlightControl, TestControlRateIsTakenInFractions) {
    SceneItem *ship = Ship();
    ship->sim->weapons = dunAllocWeapon();
    JoystickButtons = 1u << dunFireButton;
    dunFrameStep = 5;
    dunControlTest(ship);
    ASSERT_NE(fakes.Find("fireWeapon"), nullptr);
    EXPECT_FLOAT_EQ(fakes.Find("fireWeapon")->point.x, 10.0f);  // 5 / 100 x 200, not 0
    EXPECT_EQ(fakes.Find("fireWeapon")->a, 100000);
}

TEST_F(FlightControl, SpawnedPartsMoveAndSpin) {
    SceneItem *part = Ship();
    part->sim->velocity = {0.0f, 100.0f, 0.0f};
    part->yawSpin = 90.0f;
    part->simulator = dunSimSpawnedNode;
    for (int i = 0; i < 10; ++i) dunSimSpawnedNode(part);
    EXPECT_NEAR(part->sim->position.y, 100.0, 1e-3);
    EXPECT_FLOAT_EQ(part->sim->matrix.m[13], 100.0f);
    EXPECT_NEAR(Forward(part).x, 1.0f, 1e-5f);  // 90 degrees about Y in one second
}

TEST_F(FlightControl, RemoteTurretControl) {
    SceneItem *player = PlayerShip();
    SceneItem *turret = Ship(0, 0, 3000);
    // Refused without the remote flag.
    dunToggleTurretControl(player, turret);
    EXPECT_EQ(dunRemoteState, 3);
    EXPECT_EQ(fakes.Find("showCockpitText")->a, 1);
    EXPECT_EQ(dunControlledObject, player);

    turret->sim->flags |= SimFlag::RemoteControllable;
    dunToggleTurretControl(player, turret);
    EXPECT_EQ(dunRemoteState, 1);
    EXPECT_EQ(dunRemoteLinked, turret);
    EXPECT_EQ(dunControlledObject, turret);
    EXPECT_EQ(turret->control, dunControlPlayer);
    EXPECT_EQ(player->control, dunControlWhileRemote);
    EXPECT_TRUE(player->sim->flags & SimFlag::Autopilot);
    ASSERT_NE(fakes.Find("createWaypoint"), nullptr);
    EXPECT_EQ(fakes.Find("createWaypoint")->text, "Controller");
    EXPECT_EQ(fakes.Find("setOrder")->text, "Turret");

    // Beyond the leash control comes back.
    Place(turret, 0, 0, 1.3e7);
    dunControlWhileRemote(player);
    EXPECT_EQ(dunRemoteLinked, nullptr);
    EXPECT_EQ(dunControlledObject, player);
    EXPECT_EQ(player->control, dunControlPlayer);
    EXPECT_EQ(turret->control, nullptr);
    EXPECT_EQ(fakes.Find("showCockpitText", 2)->a, 4);
}
