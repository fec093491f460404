#include <cmath>
#include <string>

#include "RES/util.h"
#include "flight_fixture.h"
#include "script/mission.h"
#include "universe_fixture.h"
#include "world/docking.h"
#include "world/lds.h"
#include "world/objroutines.h"
#include "world/pools.h"
#include "world/step.h"
#include "world/universe.h"

namespace {

class ObjectRoutines : public FlightTest {
protected:
    void SetUp() override {
        FlightTest::SetUp();
        dunSeedRand15(1);
    }
    int LogKills() const {
        int n = 0;
        for (const FakeCall &c : fakes.calls) n += c.name == "missionLogAdd" && c.a == 2;
        return n;
    }
    static SceneItem *Named(SceneItem *ship, const char *name) {
        ship->sim->shipInfo->name = name;
        return ship;
    }
    // A steering that points the ship at the point under full thrust.
    static void PointAt(SceneItem *ship, const Vec3 *point) {
        Sim *s = ship->sim;
        const Vec3 d = {point->x - s->matrix.m[12], point->y - s->matrix.m[13], point->z - s->matrix.m[14]};
        MatLookAlong(d, nullptr, s->matrix);
        s->thrust = {0.0f, 0.0f, s->flight->p1};
    }
};

}  // namespace

TEST_F(ObjectRoutines, AMissileHomesOnAMovingTargetAndDetonates) {
    SceneItem *launcher = PlayerShip(0, 0, -5000);
    SceneItem *target = Ship(0, 20000, 100000);
    target->simulator = dunFlyShip;
    target->sim->velocity = {3000.0f, 0.0f, 0.0f};
    SceneItem *missile = Ship(0, 0, 0);
    missile->simulator = dunGuideMissile;
    missile->avatar->flags |= AvatarFlag::ProximityFuse | AvatarFlag::MunitionRound;
    missile->avatar->objectA = launcher;
    missile->sim->goal = target;
    missile->sim->fuel = 15000;
    launcher->control = nullptr;
    fakes.onSteer = PointAt;
    int frames = 0;
    while ((missile->flags & SceneFlag::InUse) && frames < 500) {
        Frame();
        ++frames;
    }
    EXPECT_LT(frames, 500);
    EXPECT_FALSE(missile->flags & SceneFlag::InUse);
    ASSERT_EQ(fakes.Count("impactGeometry"), 1);
    EXPECT_EQ(fakes.Find("impactGeometry")->item, target);
    EXPECT_GT(fakes.Count("listMissile"), 0);
    EXPECT_EQ(fakes.Find("steerTowards")->velocity.x, 3000.0f);
    EXPECT_LT(missile->sim->fuel, 15000);
}

// A live round (fired from a weapon) that comes within its fuse's reach
// strikes through its own contact routine, as if it had touched the target;
// the blast adds no impact of its own.
namespace {
SceneItem *gStruckBy;
SceneItem *gStruck;
float gStruckAt[3];
void RecordStrike(SceneItem *self, TDP *, SceneItem *other, TDP *, int16_t *handled, float *point) {
    gStruckBy = self;
    gStruck = other;
    for (int i = 0; i < 3; ++i) gStruckAt[i] = point[i];
    *handled = 1;
    self->flags &= ~SceneFlag::InUse;
}
}  // namespace

TEST_F(ObjectRoutines, ALiveRoundsFuseStrikesThroughItsContactRoutine) {
    SceneItem *target = Ship(0, 0, 9000);
    SceneItem *missile = Ship(0, 0, 0);
    Weapon weapon = {};
    missile->simulator = dunGuideMissile;
    missile->avatar->flags |= AvatarFlag::ProximityFuse | AvatarFlag::MunitionRound;
    missile->avatar->roundWeapon = &weapon;
    missile->avatar->contactHandler = RecordStrike;
    missile->sim->goal = target;
    missile->sim->fuel = 5000;
    gStruckBy = gStruck = nullptr;
    Frame();
    EXPECT_EQ(gStruckBy, missile);
    EXPECT_EQ(gStruck, target);
    EXPECT_NEAR(gStruckAt[2], missile->sim->position.z, 1.0f);
    EXPECT_EQ(fakes.Count("impactGeometry"), 0);
}

TEST_F(ObjectRoutines, AMissileWithoutGoalRemovesItself) {
    SceneItem *missile = Ship();
    missile->simulator = dunGuideMissile;
    Frame();
    Frame();
    EXPECT_FALSE(missile->flags & SceneFlag::InUse);
}

TEST_F(ObjectRoutines, AWarheadsThreeHitsLogTheKillOnce) {
    fakes.postDamage = true;
    fakes.shipHitBooksDamage = true;
    SceneItem *player = Named(PlayerShip(0, 0, -900000), "Lantern");
    player->control = nullptr;
    SceneItem *victim = Named(Ship(10000, 0, 0), "Raider");
    victim->avatar->flags |= AvatarFlag::Ship | 0x100;
    victim->sim->shipInfo->damage.maximum = 1000;
    victim->simulator = nullptr;
    victim->sim->radius = victim->avatar->root->radius = 3000.0f;
    SceneItem *warhead = Ship();
    warhead->avatar->flags |= 0x80;
    victim->flags |= SceneFlag::RecordsNearest;  // the collision pass makes it the warhead's nearest
    warhead->simulator = dunSimWarhead;
    warhead->sim->fuel = 20000;
    for (int i = 0; i < 5; ++i) Frame();
    // 650 x (240000 / 250000)^2 = 599 a hit: the second destroys, the third
    // finds the ship destroyed.
    EXPECT_EQ(fakes.Count("sendRelativePosition"), 3);
    EXPECT_EQ(fakes.Find("sendRelativePosition")->a, 599);
    EXPECT_EQ(fakes.Count("shipHit"), 3);
    EXPECT_EQ(LogKills(), 1);
    EXPECT_EQ(fakes.Find("missionLogAdd")->text, "Lantern/Raider");
    EXPECT_TRUE(victim->sim->flags & SimFlag::Dead);
    EXPECT_TRUE(warhead->sim->flags & SimFlag::Dead);
}

TEST_F(ObjectRoutines, AWarheadOutOfFuelDetonatesWithoutAreaDamage) {
    SceneItem *warhead = Ship();
    warhead->simulator = dunSimWarhead;
    warhead->sim->fuel = 1;
    warhead->sim->thrust = {0.0f, 0.0f, 7000.0f};
    Frame();
    EXPECT_EQ(dunMsgCountType(warhead, MsgDestroyed), 1);
    EXPECT_EQ(fakes.Count("sendRelativePosition"), 0);
}

TEST_F(ObjectRoutines, AnInterdictionPulseDropsShipsOutOfTheDrive) {
    SceneItem *source = Ship();
    source->avatar->pulseRadius = 3500000;
    source->control = dunInterdictorFade;
    SceneItem *near = Ship(0, 0, 3000000, 150, 4000000000u);
    SceneItem *far = Ship(0, 0, 5000000, 150, 4000000000u);
    for (SceneItem *s : {near, far}) {
        ASSERT_EQ(dunEnterLDS(s), 0xFF);
        s->sim->ldsRamp = 0;
        s->sim->ldsTarget = s->sim->thrust.z;
    }
    // A pulse every 200 cs; the ship then drops out within a second.
    for (int i = 0; i < 32; ++i) Frame();
    EXPECT_TRUE(near->sim->flags & SimFlag::LdsBlocked);
    EXPECT_FALSE(near->sim->flags & SimFlag::Lds);
    EXPECT_TRUE(far->sim->flags & SimFlag::Lds);
    EXPECT_EQ(source->avatar->pulseClock, 120);
}

TEST_F(ObjectRoutines, AnInterdictorRoundFliesOnOutOfRangeAndFadesWithin) {
    SceneItem *player = PlayerShip(0, 0, -100);
    player->control = nullptr;
    SceneItem *goal = Ship(0, 0, 2000000);
    SceneItem *round = Ship(0, 0, 0, 150, 4000000000u);
    round->avatar->objectA = player;
    round->control = dunControlLdsInterdictor;
    round->sim->goal = goal;
    dunControlLdsInterdictor(round);
    EXPECT_EQ(round->control, dunControlLdsInterdictor);
    EXPECT_EQ(fakes.Count("steerAlongVector"), 1);
    Place(goal, 0, 0, 900000);
    dunControlLdsInterdictor(round);
    EXPECT_EQ(round->control, dunInterdictorFade);
    EXPECT_EQ(round->avatar->pulseRadius, 3500000);
    EXPECT_EQ(dunMsgCountType(goal, MsgLdsDropOut), 1);
    EXPECT_EQ(dunMsgCountType(round, MsgDestroyed), 1);
    ASSERT_NE(fakes.Find("createWaypoint"), nullptr);
    EXPECT_EQ(fakes.Find("createWaypoint")->text, "LDSI Detonation");
}

TEST_F(ObjectRoutines, PlacementEndsForCoincidentObjects) {
    SceneItem *near = Ship(500, 500, 500);
    SceneItem *item = Ship(500, 500, 500);
    near->avatar->flags |= AvatarFlag::Ship;
    item->avatar->flags |= AvatarFlag::Ship;
    dunPlaceNearObject(near, item);
    const double d = VecLengthDouble({item->sim->position.x - 500.0, item->sim->position.y - 500.0,
                                      item->sim->position.z - 500.0});
    EXPECT_GT(d, 200.0);
    // Clear already: it stays.
    SceneItem *clear = Ship(5000, 0, 0);
    dunPlaceNearObject(near, clear);
    EXPECT_EQ(clear->sim->position.x, 5000.0);
}

TEST_F(ObjectRoutines, StargateStates) {
    // The open gate takes the player to a star system of the universe.
    unitest::LoadUniverse();
    struct Case {
        uint32_t colours[3];
        double playerAt;
        uint16_t system;
        uint32_t gate;
        bool jumps;
    };
    for (const Case c : {Case{{9, 10, 12}, 1000, 0, 13, false}, Case{{10, 10, 10}, 1000, 1, 10, false},
                         Case{{9, 9, 9}, 1000, 0, 9, true}, Case{{12, 12, 12}, 6000, 0, 12, false}}) {
        dunResetWorld();
        fakes.calls.clear();
        dunCurrentSystem = c.system;
        SceneItem *gate = Ship();
        SceneItem *player = PlayerShip(0, 0, c.playerAt);
        player->control = nullptr;
        for (uint32_t colour : c.colours) {
            SceneItem *key = Ship(0, 0, -100);
            key->avatar->colourIndex = colour;
            dunAddDockingPort(gate, 0, 1, 0, 0, 0, 0, 0, 0, 10)->partner = key;
        }
        dunSimStargate(gate);
        EXPECT_EQ(gate->avatar->colourIndex, c.gate) << c.colours[0] << c.colours[1];
        EXPECT_EQ(fakes.Find("setStarGateEdge")->a, int(c.gate));
        EXPECT_EQ(dunStopWalk != 0, c.jumps);
        EXPECT_EQ(fakes.Count("spawnDepartureBurst"), c.jumps ? 1 : 0);
        if (c.jumps) {
            EXPECT_EQ(fakes.Find("eventCamera")->a, 11);
        }
        dunStopWalk = 0;
    }
    dunCurrentSystem = 1;
    dunForgetUniverse();
}

// A gate short of its three docked keys stays as it is.
TEST_F(ObjectRoutines, AGateWithoutThreeKeysDoesNothing) {
    SceneItem *gate = Ship();
    gate->avatar->colourIndex = 9;
    dunSimStargate(gate);
    dunAddDockingPort(gate, 0, 1, 0, 0, 0, 0, 0, 0, 10)->partner = Ship();
    dunAddDockingPort(gate, 0, 1, 0, 0, 0, 0, 0, 0, 10);  // nothing docked
    dunAddDockingPort(gate, 0, 1, 0, 0, 0, 0, 0, 0, 10)->partner = Ship();
    dunSimStargate(gate);
    EXPECT_EQ(gate->avatar->colourIndex, 9u);
    EXPECT_EQ(fakes.Count("setStarGateEdge"), 0);
}

// The drop out of the drive jolts a ship without mass or radius as hard as
// the jolt goes, never with a NaN or infinite tumble.
TEST_F(ObjectRoutines, TheDropJoltStaysFinite) {
    for (const float speed : {0.0f, 1e6f}) {
        SceneItem *ship = Ship();
        ship->sim->mass = 0.0f;
        ship->sim->radius = 0.0f;
        ship->sim->thrust.z = speed;
        dunDropLds(ship);
        for (const float v : {ship->sim->tumble.x, ship->sim->tumble.y, ship->sim->tumble.z}) {
            EXPECT_TRUE(std::isfinite(v)) << speed;
            EXPECT_LE(std::fabs(v), 500.0f) << speed;
        }
    }
}

TEST_F(ObjectRoutines, FreshGateKeysGetColoursAndAreComparedWith12) {
    SceneItem *gate = Ship();
    SceneItem *keys[3];
    for (SceneItem *&key : keys) {
        key = Ship();
        dunAddDockingPort(gate, 0, 1, 0, 0, 0, 0, 0, 0, 10)->partner = key;
    }
    dunSimStargate(gate);
    for (SceneItem *key : keys) {
        const uint32_t c = key->avatar->colourIndex;
        EXPECT_TRUE(c == 9 || c == 10 || c == 12) << c;
    }
    const bool all12 = keys[0]->avatar->colourIndex == 12 && keys[1]->avatar->colourIndex == 12 &&
                       keys[2]->avatar->colourIndex == 12;
    EXPECT_EQ(gate->avatar->colourIndex, all12 ? 12u : 13u);
}

TEST_F(ObjectRoutines, StockShipsLaunchNearThePlayerUpToTheLimit) {
    SceneItem *player = PlayerShip();
    player->control = nullptr;
    SceneItem *far = Ship(0, 0, 2e7), *nearA = Ship(0, 0, 1e6), *nearB = Ship(0, 0, -1e6);
    dunTrackObject(far, 1);
    dunTrackObject(nearA, 3);
    dunTrackObject(nearB, 1);
    EXPECT_TRUE(nearA->flags & SceneFlag::Tracked);
    EXPECT_EQ(dunTrackListHead()->next->bitCount, 2);
    dunStockShipLimit = 2;
    dunMissionCounter = 0;
    dunFrameStep = 2500;  // a launch is due on every call
    for (int i = 0; i < 4; ++i) dunLaunchStockNearby();
    ASSERT_EQ(fakes.Count("launchStockShips"), 2);
    EXPECT_EQ(fakes.Find("launchStockShips", 0)->item, nearA);
    EXPECT_EQ(fakes.Find("launchStockShips", 1)->item, nearB);
    // Deleting a tracked object takes it out of the list.
    dunDeleteSceneItem(nearA);
    EXPECT_EQ(dunTrackListHead()->next->object, nearB);
    dunStockShipLimit = 0;
    dunMissionCounter = 0;
}

// A launch is due when a 15-bit draw modulo 2500 is at most the frame step:
// one every 25 seconds on average, at any frame rate.
TEST_F(ObjectRoutines, StockShipsLaunchAtTheirRandomInterval) {
    SceneItem *player = PlayerShip();
    player->control = nullptr;
    dunTrackObject(Ship(0, 0, 1e6), 1);
    dunStockShipLimit = 100;
    dunMissionCounter = 0;
    dunFrameStep = 10;
    dunSeedRand15(1234);
    for (int i = 0; i < 5000; ++i) dunLaunchStockNearby();  // 500 seconds
    dunSeedRand15(1234);
    int due = 0;
    for (int i = 0; i < 5000; ++i) due += dunRand15() % 2500 <= 10;
    EXPECT_EQ(fakes.Count("launchStockShips"), due);
    EXPECT_GE(due, 10);
    EXPECT_LE(due, 40);
    // Frozen, nothing is launched.
    fakes.calls.clear();
    dunFrozen = 1;
    for (int i = 0; i < 5000; ++i) dunLaunchStockNearby();
    EXPECT_EQ(fakes.Count("launchStockShips"), 0);
    dunFrozen = 0;
    dunStockShipLimit = 0;
}

TEST_F(ObjectRoutines, RandomTargetFallsBackToTheNearestThenThePrevious) {
    SceneItem *ship = Ship(), *previous = Ship(), *nearest = Ship();
    EXPECT_EQ(dunPickRandomTarget(ship, previous), previous);
    fakes.nearestShip = nearest;
    EXPECT_EQ(dunPickRandomTarget(ship, previous), nearest);
    fakes.nearestShip = nullptr;
}

TEST_F(ObjectRoutines, WaypointChainsCountAndTimeTheCourse) {
    struct Case {
        int32_t total;
        int32_t clockAfterFirst;
        int32_t countAfterAll;
        int posts;
    };
    for (const Case c : {Case{3, 0, 0, 1}, Case{1, 6500, -2, 1}, Case{-1, 0, -4, 0}}) {
        dunResetWorld();
        fakes.calls.clear();
        fakes.cockpitText = "%s %n %d:%02d 100%%";
        SceneItem *player = PlayerShip(0, 0, 1e7);
        player->control = nullptr;
        SceneItem *points[3];
        for (int i = 0; i < 3; ++i) {
            points[i] = Ship(0, 0, 100000.0 * i);
            points[i]->avatar->root->model = dunAllocHUD();
            points[i]->control = dunSimAttachToTarget;
        }
        points[0]->avatar->waypointForward = points[1];
        points[1]->avatar->waypointForward = points[2];
        dunWaypointTotal = c.total;
        gWaypointCount = c.total;
        gMissionClock = 6500;
        for (int i = 0; i < 3; ++i) {
            Place(player, 0, 0, 100000.0 * i + 1000.0);
            dunSimAttachToTarget(points[i]);
            dunSimAttachToTarget(points[i]);  // a passed marker is not tested again
            if (i == 0) {
                EXPECT_EQ(gMissionClock, c.clockAfterFirst) << c.total;
            }
            gMissionClock = 6500;
        }
        EXPECT_EQ(gWaypointCount, c.countAfterAll) << c.total;
        EXPECT_EQ(fakes.Count("postFeedText"), c.posts) << c.total;
        EXPECT_EQ(fakes.Count("selectWaypointTarget"), 2);
        EXPECT_EQ(static_cast<HUD *>(points[2]->avatar->root->model)->edgeCount, 13);
        if (c.posts) {
            // Text 90 is data: only the two integers are put in (the time
            // of the passage that brought the count to 0).
            EXPECT_EQ(fakes.Find("postFeedText")->text, "%s %n 1:05 100%");
        }
    }
    dunWaypointTotal = -1;
    gWaypointCount = -1;
}

TEST_F(ObjectRoutines, AWaypointLosesADeletedTarget) {
    SceneItem *target = Ship(0, 0, 5000);
    target->sim->velocity = {10.0f, 0.0f, 0.0f};
    SceneItem *waypoint = Ship();
    waypoint->avatar->root->offset = {0.0f, 100.0f, 0.0f};
    waypoint->sim->target = target;
    dunSimAttachToTarget(waypoint);
    EXPECT_DOUBLE_EQ(waypoint->sim->position.y, 100.0);
    EXPECT_EQ(waypoint->sim->velocity.x, 10.0f);
    dunDeleteSceneItem(target);
    dunSimAttachToTarget(waypoint);
    EXPECT_EQ(waypoint->sim->target, nullptr);
    EXPECT_EQ(waypoint->sim->velocity.x, 0.0f);
}

TEST_F(ObjectRoutines, ChaosHurtsAShipThePlayerCutsOff) {
    SceneItem *player = PlayerShip(0, 0, 1000);
    player->control = nullptr;
    SceneItem *ship = Ship();
    ship->sim->shipInfo->damage.maximum = 101;
    ship->sim->hull = 100;
    ship->sim->goal = Ship(0, 0, 10000);
    dunSimChaos(ship);
    EXPECT_EQ(ship->sim->shipInfo->damage.damage, 50);
    EXPECT_EQ(ship->sim->hull, 50);
}

TEST_F(ObjectRoutines, DamagedShipsTumbleByTheirReceiverBits) {
    SceneItem *ship = Ship();
    ship->sim->hull = 10;
    const uint32_t id = ship->receiverId;
    dunDamagedShipTick(ship);
    const float change = 20.0f * 0.1f * 1.2f;
    EXPECT_FLOAT_EQ(ship->sim->tumble.y, (id & 0x1) ? -change : change);
    EXPECT_FLOAT_EQ(ship->sim->tumble.x, (id & 0x10) ? -change : change);
    EXPECT_FLOAT_EQ(ship->sim->tumble.z, (id & 0x100) ? -change : change);
    // The player's ship is left alone.
    dunPlayerShip = ship;
    dunDamagedShipTick(ship);
    EXPECT_FLOAT_EQ(std::fabs(ship->sim->tumble.y), change);
}

TEST_F(ObjectRoutines, ADockedMineStrikesTheNearestShip) {
    SceneItem *host = Ship();
    SceneItem *mine = Ship(0, 0, 500);
    SceneItem *prey = Ship(0, 0, 100000);
    prey->avatar->flags |= AvatarFlag::Ship;
    host->avatar->flags |= 0x100;
    DockingPort *p = dunAddDockingPort(mine, PortFlag::Open, 1, 0, 0, 0, 0, 0, 0, 10);
    DockingPort *q = dunAddDockingPort(host, PortFlag::Open, 1, 0, 0, 0, 0, 0, 0, 20);
    ASSERT_EQ(dunDockShips(mine, host, p, q, 0), 0xFF);
    mine->avatar->nearest = prey;
    dunControlTargetPicker(mine);
    EXPECT_EQ(mine->avatar->flags & AvatarFlag::SideMask, 0x100u);
    EXPECT_EQ(fakes.Count("sendRelativePosition"), 6);
    EXPECT_EQ(fakes.Find("sendRelativePosition", 5)->other, host);
    EXPECT_EQ(dunMsgCountType(mine, MsgRemove), 1);
}

TEST_F(ObjectRoutines, BeltObjectsArePlacedAroundTheirAnchor) {
    SceneItem *anchor = Ship();
    anchor->flags |= SceneFlag::InBelt;
    anchor->sim->velocity = {500.0f, 0.0f, 0.0f};  // exactly 500: all round, not ahead
    SceneItem *rock = Ship();
    rock->avatar->beltAnchor = anchor;
    rock->avatar->channelValues[0] = 100000;
    bool behind = false;
    for (int i = 0; i < 20; ++i) {
        dunReplaceBeltObject(rock);
        const double x = rock->sim->position.x - 60.0;  // less the lead of 500 x 0.12
        const double d = VecLengthDouble({x, rock->sim->position.y, rock->sim->position.z});
        EXPECT_NEAR(d, 80000.0, 1.0);
        behind |= x < 0.0;
        EXPECT_TRUE(rock->sim->flags & SimFlag::RamsShields);
        EXPECT_EQ(rock->sim->timer, 700);
    }
    EXPECT_TRUE(behind);
    // An anchor outside the belts scatters the object far out, in doubles.
    anchor->flags &= ~SceneFlag::InBelt;
    for (int i = 0; i < 20; ++i) {
        dunReplaceBeltObject(rock);
        for (double v : {rock->sim->position.x, rock->sim->position.y, rock->sim->position.z})
            EXPECT_LE(std::fabs(v), 7.4925e10);
    }
    // dunControlAsteroid leaves it alone while the anchor is outside.
    const double x = rock->sim->position.x;
    dunControlAsteroid(rock);
    EXPECT_EQ(rock->sim->position.x, x);
}

TEST_F(ObjectRoutines, AmbienceChattersAtItsInterval) {
    dunAmbienceEnabled = 0xFF;
    dunAmbienceCountdown = 0;
    dunRandomAmbientEvent();
    const int32_t after = dunAmbienceCountdown;
    EXPECT_GT(after, 0);
    dunRandomAmbientEvent();
    EXPECT_EQ(dunAmbienceCountdown, after > 10 ? after - 10 : 0);
    dunAmbienceEnabled = 0;
    dunRandomAmbientEvent();
    EXPECT_EQ(dunAmbienceCountdown, after > 10 ? after - 10 : 0);
    dunAmbienceEnabled = 0xFF;
}
