#include "RES/util.h"
#include "flight_fixture.h"
#include "world/damage.h"
#include "world/engineering.h"

namespace {

class SubsystemDamage : public FlightTest {
protected:
    void SetUp() override {
        FlightTest::SetUp();
        dunSeedRand15(1);
    }
    // A ship of maximum damage 1000 with sub-targets 1 and 2 at 100.
    static SceneItem *Target(int32_t maximum = 1000) {
        SceneItem *ship = Ship(0, 0, 0, 150, 4000000u);
        ShipInfo *info = ship->sim->shipInfo;
        info->damage.maximum = maximum;
        info->subTargetHealth[1] = info->subTargetHealth[2] = 100;
        info->skill = 50;
        return ship;
    }
    static int Hit(SceneItem *ship, int32_t amount) {
        const Vec3 point = {0.0f, 0.0f, 0.0f};
        return dunDamageSubsystems(ship, &ship->sim->shipInfo->damage, amount, &point);
    }
};

}  // namespace

TEST_F(SubsystemDamage, SeededRollsGiveTheirGoldenResult) {
    // The 15-bit generator from seed 1: the hit rolls 41 against 21, then 13
    // rounds of 627 hits; the draws fail sub-targets, drive, manoeuvring
    // and the last value, and the first failure vents the hull.
    SceneItem *ship = Target();
    EXPECT_EQ(Hit(ship, 300), 1);
    const ShipInfo *info = ship->sim->shipInfo;
    EXPECT_EQ(info->damage.damage, 300);
    EXPECT_EQ(info->damage.mask, 0x5B);
    EXPECT_EQ(info->damage.hitLevel, 5);
    EXPECT_EQ(info->current.turnRates[0], 0.0f);
    EXPECT_EQ(info->current.turnRates[1], 90.0f);
    EXPECT_EQ(info->current.p1, 0.0f);
    EXPECT_EQ(info->current.p4, 4000000u);
    EXPECT_EQ(info->current.tail[2], 0.0f);
    EXPECT_EQ(info->subTargetHealth[1], 0);
    EXPECT_TRUE(ship->avatar->flags & AvatarFlag::Damaged);
    ASSERT_EQ(fakes.Count("addHullRupture"), 1);
    EXPECT_EQ(fakes.Find("addHullRupture")->a, 12);
    EXPECT_EQ(fakes.Find("addHullRupture")->b, 1121);
    EXPECT_TRUE(info->flags & ShipFlag::RepairCycle);
    EXPECT_EQ(dunMsgCountType(ship, MsgRepairTick), 1);
}

TEST_F(SubsystemDamage, DestructionIsReportedOnceOnTheHitThatReachesTheMaximum) {
    SceneItem *ship = Target(100);
    EXPECT_NE(Hit(ship, 60), -1);
    EXPECT_EQ(Hit(ship, 60), -1);
    EXPECT_EQ(ship->sim->shipInfo->damage.damage, 100);
    EXPECT_EQ(Hit(ship, 60), 0);
    EXPECT_EQ(Hit(ship, 1), 0);
}

TEST_F(SubsystemDamage, ProtectedShipsStopAtTheCap) {
    SceneItem *ship = Target(1000);
    ship->sim->flags |= SimFlag::Protected;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Hit(ship, 900), 0);
    EXPECT_EQ(ship->sim->shipInfo->damage.damage, 200);
    EXPECT_EQ(ship->sim->shipInfo->damage.mask, 0);
    EXPECT_TRUE(ship->sim->shipInfo->flags & ShipFlag::RepairCycle);
}

TEST_F(SubsystemDamage, AMaximumOfZeroNeverDividesAndRollsNothing) {
    SceneItem *ship = Target(0);
    ship->avatar->pendingDamageKind = 0x1FF10;
    const uint32_t before = dunRand15State;
    EXPECT_EQ(Hit(ship, 500), 0);
    EXPECT_EQ(dunRand15State, before);
    EXPECT_EQ(ship->sim->shipInfo->damage.mask, 0);
    ship->sim->shipInfo->flags |= ShipFlag::RepairCycle;
    dunSubsystemFaultTick(ship);  // no division either
    EXPECT_FALSE(ship->sim->shipInfo->flags & ShipFlag::RepairCycle);
}

TEST_F(SubsystemDamage, DamageKindPicksTheSubsystems) {
    // Kind 16 with subsystem bits 4 (manoeuvring) and 64 (structure); a
    // ship whose turn rates are below 10 already fails at the first hit.
    SceneItem *ship = Target();
    FlightParams &f = ship->sim->shipInfo->current;
    f.turnRates[0] = f.turnRates[1] = f.turnRates[2] = 8.0f;
    ship->avatar->pendingDamageKind = 16 | (4 << 8) | (64 << 8);
    Hit(ship, 1);
    EXPECT_EQ(ship->sim->shipInfo->damage.mask & (DamageBit::Manoeuvring | DamageBit::Structure),
              DamageBit::Manoeuvring | DamageBit::Structure);
    EXPECT_EQ(ship->avatar->pendingDamageKind, 0u);
    EXPECT_EQ(fakes.Count("makeWreck"), 1);
    EXPECT_EQ(fakes.Find("addHullRupture")->a, 0);
}

TEST_F(SubsystemDamage, ThePlayerShakesAndTheEngineeringShipTakesItOnTheHull) {
    SceneItem *ship = Target(1000);
    dunPlayerShip = ship;
    dunBuildShipSystems();
    dunEngineeringShip = ship;
    dunResetEngineering();
    // Without armour the whole amount is booked.
    dunFindComponentByName(nullptr, "HULL ARMOUR")->value = 0.0f;
    fakes.station = 4;  // at the engineering station the amount is halved
    Hit(ship, 200);
    EXPECT_NEAR(dunHullFraction, 0.9f, 1e-6f);
    EXPECT_EQ(ship->sim->shipInfo->damage.damage, 100);
    ASSERT_NE(fakes.Find("viewShake"), nullptr);
    EXPECT_EQ(fakes.Find("viewShake")->a, 225);
    EXPECT_EQ(fakes.Find("viewShake")->b, 200);
    dunEngineeringShip = nullptr;
}

TEST_F(SubsystemDamage, ScriptSetsSubsystemsByIndex) {
    SceneItem *ship = Target();
    ShipInfo *info = ship->sim->shipInfo;
    Weapon *w = ship->sim->weapons = dunAllocWeapon();
    struct Case {
        int index;
        float fraction;
        uint16_t mask;
    };
    for (const Case c : {Case{0, 0.5f, DamageBit::Manoeuvring}, Case{1, 0.5f, DamageBit::Drive},
                         Case{2, 1.0f, DamageBit::Weapons}, Case{3, 0.5f, 0x18}, Case{4, 1.0f, DamageBit::Sensors},
                         Case{5, 1.0f, DamageBit::Capsule}, Case{6, 1.0f, DamageBit::Structure},
                         Case{7, 1.0f, DamageBit::Spare}, Case{8, 1.0f, DamageBit::Docking}, Case{9, 1.0f, 0}}) {
        info->damage.mask = 0;
        dunSetSubsystemState(ship, c.index, c.fraction);
        EXPECT_EQ(info->damage.mask, c.mask) << c.index;
        dunSetSubsystemState(ship, c.index, 0.0f);
        EXPECT_EQ(info->damage.mask, 0) << c.index;
    }
    // Restoring takes the nominal figures back, and sub-targets 1 and 2 to 90.
    dunSetSubsystemState(ship, 0, 0.5f);
    EXPECT_EQ(info->current.turnRates[2], 45.0f);
    dunSetSubsystemState(ship, 0, 0.0f);
    EXPECT_EQ(info->current.turnRates[2], 90.0f);
    EXPECT_EQ(info->subTargetHealth[1], 90);
    EXPECT_TRUE(w->flags & WeaponFlag::Ready);
    EXPECT_FALSE(w->flags & WeaponFlag::Damaged);
}

TEST_F(SubsystemDamage, RepairStepsThroughTheFailedSubsystems) {
    SceneItem *ship = Target(1000);
    ShipInfo *info = ship->sim->shipInfo;
    // One failed subsystem and r = 1 (the first draw from seed 1 is odd):
    // nothing is repaired, the damage is eased twice.
    info->damage.mask = DamageBit::Drive;
    info->damage.damage = 500;
    info->current.p1 = 100.0f;
    dunSeedRand15(1);
    ASSERT_EQ(dunRand15() & 1, 1);
    dunSeedRand15(1);
    dunSubsystemFaultTick(ship);
    EXPECT_EQ(info->damage.mask, DamageBit::Drive);
    EXPECT_EQ(info->damage.damage, 420);  // 49 % of 1000, then 50 - 150 x 0.05 = 42.5 -> 42 %
    EXPECT_EQ(ship->sim->hull, 58);
    EXPECT_EQ(dunMsgCountType(ship, MsgRepairTick), 1);
    // With r = 0 the drive comes back; once all is well at 2 % the cycle ends.
    dunSeedRand15(3);
    ASSERT_EQ(dunRand15() & 1, 0);
    dunSeedRand15(3);
    dunSubsystemFaultTick(ship);
    EXPECT_EQ(info->damage.mask, 0);
    EXPECT_EQ(info->current.p1, 7000.0f);
    EXPECT_EQ(info->damage.damage, 410);
    EXPECT_TRUE(info->flags & ShipFlag::RepairCycle);
    info->damage.damage = 25;  // 2 %, eased to 1 % by the step itself
    dunSubsystemFaultTick(ship);
    EXPECT_FALSE(info->flags & ShipFlag::RepairCycle);
    EXPECT_EQ(ship->sim->hull, 99);
}

TEST_F(SubsystemDamage, RepairTicksComeByMessage) {
    SceneItem *ship = Target(1000);
    ship->avatar->pendingDamageKind = 16 | (8 << 8);  // the drive
    ship->sim->shipInfo->current.p1 = 400.0f;
    Hit(ship, 100);
    ASSERT_TRUE(ship->sim->shipInfo->damage.mask & DamageBit::Drive);
    // 700 - 2 x skill 50 = 600 cs later the first repair step runs.
    while (dunGameClock < 700 && (ship->sim->shipInfo->damage.mask & DamageBit::Drive)) Frame();
    EXPECT_GE(dunGameClock, 600u);
    EXPECT_LE(dunGameClock, 1300u);
    // A skill past 350 would make the delay negative (and wrap): the first
    // step is due at once instead.
    SceneItem *skilled = Target(1000);
    skilled->sim->shipInfo->skill = 400;
    skilled->avatar->pendingDamageKind = 16 | (8 << 8);
    Hit(skilled, 100);
    ++dunGameClock;
    MsgRecord m;
    ASSERT_TRUE(dunMsgReceive(skilled->receiverId, &m));
    EXPECT_EQ(m.header.type, MsgRepairTick);
}

TEST_F(SubsystemDamage, HalvePerMultiple) {
    struct Case {
        int32_t value, amount, step, expected;
    };
    for (const Case c : {Case{800, 10, 20, 800}, Case{800, 10, 0, 0}, Case{800, 10, 5, 200}, Case{800, 10, 10, 400},
                         Case{800, 33, 1, 400}}) {
        EXPECT_EQ(dunHalvePerMultiple(c.value, c.amount, c.step), c.expected) << c.amount << "/" << c.step;
    }
}
