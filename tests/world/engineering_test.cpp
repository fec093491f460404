// The engineering model: the network as built, power flowing from the
// reactor to the thrusters and the ship's performance, heat, the emergency
// accumulator, the coolant's warnings, repair teams, and the mission reset.
#include <cmath>
#include <cstring>

#include "core/value_recorder.h"
#include "flight_fixture.h"
#include "script/mission.h"
#include "world/engineering.h"
#include "world/recorders.h"
#include "world_fakes.h"

namespace {

class Engineering : public FlightTest {
protected:
    WorldFakes fakes;
    SceneItem *ship = nullptr;
    void SetUp() override {
        FlightTest::SetUp();
        gMissionOver = 0;
        dunBuildShipSystems();
        // The sample corvette's figures, with an LDS drive of 1e9.
        ship = Ship(0, 0, 0, 50, 1000000000u);
        dunPlayerShip = dunControlledObject = dunEngineeringShip = ship;
        dunResetEngineering();
    }
    void TearDown() override {
        dunEngineeringShip = nullptr;
        FlightTest::TearDown();
    }
    static EngComponent *Get(const char *name) {
        EngComponent *c = dunFindComponentByName(nullptr, name);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) {
            dunUpdateEngineering(ship);
            dunGameClock += uint32_t(dunFrameStep);
        }
    }
};

TEST_F(Engineering, TheNetworkAsBuilt) {
    struct Row {
        const char *name;
        uint32_t displayClass, screenFlag;
        float value;
        uint8_t on;
        uint16_t difficulty, kind;
    } const rows[] = {
        {"HULL ARMOUR", 4, 1, 1.0f, 0xFF, 60, 5},  {"FWD PBC", 1, 1, 1.0f, 0xFF, 10, 4},
        {"AFT PBC", 2, 1, 1.0f, 0xFF, 10, 4},      {"REACTOR", 2, 0, 1.0f, 0, 10, 1},
        {"RING", 1, 0, 1.0f, 0xFF, 60, 1},         {"TARGET", 0, 0, 1.0f, 0xFF, 10, 1},
        {"COOLANT TANK", 0, 1, 4000.0f, 0, 10, 1}, {"AM SUPPLY", 0, 1, 500.0f, 0, 10, 1},
        {"AM INJECTOR", 0, 1, 0.0f, 0, 10, 1},     {"ACCUMULATORS", 0, 1, 0.2f, 0xFF, 10, 2},
        {"HULL STRUCT", 4, 1, 1.0f, 0xFF, 575, 5}, {"LAT THRS", 2, 1, 1.0f, 0xFF, 10, 3},
        {"POWER GRID 5", 2, 1, 1.0f, 0xFF, 10, 2},
    };
    for (const Row &r : rows) {
        const EngComponent *c = Get(r.name);
        EXPECT_EQ(c->displayClass, r.displayClass) << r.name;
        EXPECT_EQ(c->screenFlag, r.screenFlag) << r.name;
        EXPECT_EQ(c->value, r.value) << r.name;
        EXPECT_EQ(c->switchedOn, r.on) << r.name;
        EXPECT_EQ(c->repairDifficulty, r.difficulty) << r.name;
        EXPECT_EQ(c->kind, r.kind) << r.name;
        EXPECT_EQ(c->temperature, 273.0f) << r.name;
        ASSERT_NE(c->recorder, nullptr) << r.name;
        EXPECT_EQ(c->recorder->source, &c->value);
        EXPECT_EQ(c->recorder->rangeTop, r.value);
        EXPECT_EQ(c->recorder->interval, 20u);
    }
    EXPECT_EQ(ship->sim->componentCount, kEngComponentCount);
    EXPECT_EQ(dunComponentTableCount, kEngComponentCount);
    EXPECT_STREQ(Get("LAT THRS")->names[1], "PROP LAT\xC9RAUX");
    EXPECT_EQ(Get("REACTOR")->inputs[3], Get("COOLANT SYS"));
    EXPECT_EQ(Get("REACTOR")->inputs[0], &dunEngDummy);
    EXPECT_EQ(dunFindComponentByName(nullptr, "DUMMY"), nullptr);
    // The reset raised the sort flag: the first frame sorts by kind, then
    // index, keeping the table's order where both are equal.
    Frames(1);
    EXPECT_STREQ(dunComponentTable[0]->names[0], "AM SUPPLY");
    int accumulators = -1, emergency = -1;
    for (int i = 0; i < dunComponentTableCount; ++i) {
        if (dunComponentTable[i] == Get("ACCUMULATORS")) accumulators = i;
        if (dunComponentTable[i] == Get("EMERG ACC")) emergency = i;
    }
    EXPECT_EQ(emergency, accumulators + 1);
}

TEST_F(Engineering, PowerFlowsToThePerformance) {
    Frames(50);
    const FlightParams &f = *ship->sim->flight;
    // Intact and fully powered, the ship flies on its own figures.
    EXPECT_NEAR(Get("REACTOR")->value, 1.0f, 1e-3f);
    EXPECT_NEAR(dunEngDummy.value, 1.0f, 1e-3f);
    EXPECT_NEAR(f.p1, 7000.0f, 7.0f);
    EXPECT_NEAR(f.turnRates[2], 90.0f, 0.1f);
    EXPECT_EQ(f.p4, 1000000000u);
    // A main drive at 60 % gives 60 % of the thrust; the yaw thrusters keep
    // their full rate down to a tenth, then give none.
    Get("MAIN THRS")->health = 0.6f;
    Get("YAW THRS")->health = 0.1f;
    Frames(1);
    EXPECT_NEAR(f.p1, 4200.0f, 5.0f);
    EXPECT_NEAR(f.turnRates[2], 90.0f, 0.1f);
    Get("YAW THRS")->health = 0.09f;
    Frames(1);
    EXPECT_EQ(f.turnRates[2], 0.0f);
    // The power shares scale what the thrusters deliver.
    dunThrusterShare = 50.0f;
    Frames(1);
    EXPECT_NEAR(Get("PITCH THRS")->value, 0.5f, 1e-3f);
    EXPECT_NEAR(f.turnRates[1], 45.0f, 0.1f);
    // An LDS drive at half power: 10 to the (9 - 5) x 0.5 + 5.
    Get("LDS DRIVE")->health = 0.5f;
    Frames(1);
    EXPECT_NEAR(double(f.p4), 1e7, 1e7 * 1e-3);
}

TEST_F(Engineering, SwitchingTheGridsOffStarvesTheNetwork) {
    Frames(5);
    for (int g = 0; g < 6; ++g) {
        char name[16];
        std::snprintf(name, sizeof name, "POWER GRID %d", g);
        Get(name)->switchedOn = 0;
    }
    Frames(1);
    EXPECT_EQ(dunEngDummy.value, 0.0f);
    // Without power the on/off systems drop out and the ring winds down.
    Frames(1);
    EXPECT_EQ(Get("DOCK PORTS")->value, 0.0f);
    const float ring = Get("RING")->level;
    Frames(10);
    EXPECT_LT(Get("RING")->level, ring);
}

TEST_F(Engineering, TheEmergencyAccumulatorPropsUpAWeakThruster) {
    EngComponent *roll = Get("ROLL THRS"), *emergency = Get("EMERG ACC");
    roll->health = 0.3f;
    roll->notRepairable = 1;
    Frames(1);
    EXPECT_EQ(roll->value, 0.499f);
    EXPECT_EQ(dunEmergencyInUse, 0xFF);
    // It drains over 30 seconds: 300 frames of 0.1 s.
    Frames(300);
    EXPECT_EQ(emergency->value, 0.0f);
    Frames(1);
    EXPECT_NEAR(roll->value, 0.3f, 1e-3f);
    // Mended, the thrusters no longer draw on it and the reactor charges it.
    roll->health = 1.0f;
    Frames(2);
    EXPECT_EQ(dunEmergencyInUse, 0);
}

TEST_F(Engineering, WeaponHeatAndOverheat) {
    EngComponent *pbc = Get("FWD PBC");
    // With the weapon share at 50 the heat divisor is 12.5: one unit of heat
    // in a 0.1 s frame multiplies the temperature by 1 / 0.1 / 12.5 + 1, then
    // it cools by 9 % of its distance from 273 K.
    dunWeaponShare = 50.0f;
    pbc->heatInput = 1;
    Frames(1);
    EXPECT_NEAR(pbc->temperature, 491.4f - (491.4f - 273.0f) * 0.09f, 0.01f);
    EXPECT_EQ(pbc->heatInput, 0);
    EXPECT_NEAR(pbc->value, 0.5f, 1e-3f);
    // A share of 0 puts no power and no heat through (no infinity, no NaN).
    dunWeaponShare = 0.0f;
    pbc->heatInput = 125;
    Frames(1);
    EXPECT_TRUE(std::isfinite(pbc->temperature));
    EXPECT_EQ(pbc->value, 0.0f);
    dunWeaponShare = 100.0f;

    const struct {
        float temperature, factor;
    } hot[] = {{12510.0f, 0.999f}, {16000.0f, 0.65f}, {20000.0f, 0.25f}};
    for (const auto &h : hot) {
        fakes.calls.clear();
        // What the cooling takes off this frame is put on beforehand.
        pbc->temperature = (h.temperature - 273.0f * 0.09f) / 0.91f;
        Frames(1);
        EXPECT_NEAR(pbc->temperature, h.temperature, 0.5f);
        EXPECT_NEAR(pbc->value, h.factor, 2e-3f) << h.temperature;
        ASSERT_NE(fakes.Find("displayMessage"), nullptr);
        EXPECT_EQ(fakes.Find("displayMessage")->text, "ENG: FWD PBC OVERHEAT");
    }
}

TEST_F(Engineering, CoolantStaysNearAmbientAndWarnsOnceOnEachCrossing) {
    EngComponent *coolant = Get("COOLANT SYS");
    Frames(100);
    EXPECT_GT(coolant->temperature, 273.0f);
    EXPECT_LT(coolant->temperature, 280.0f);
    EXPECT_EQ(fakes.Count("displayMessage"), 0);
    // Without cooling the radiator's heat builds up: the warnings come once
    // each as the temperature passes them, then the ship is lost, once.
    coolant->switchedOn = 0;
    Get("COOLANT TANK")->value = 0.0f;
    Get("W HEAT ARRAY")->health = 1.0f;
    coolant->temperature = 1900.0f;
    for (int i = 0; i < 4000 && coolant->temperature < 20000.0f; ++i) Frames(1);
    std::vector<std::string> texts;
    for (const FakeCall &c : fakes.calls)
        if (c.name == "displayMessage") texts.push_back(c.text.substr(0, c.text.rfind(' ')));
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], "ENG: COOLANT SYS TEMP WARNING");
    EXPECT_EQ(texts[1], "ENG: COOLANT SYS TEMP URGENT WARNING");
    EXPECT_EQ(texts[2], "ENG: COOLANT SYS TEMP CRITICAL WARNING");
    EXPECT_EQ(fakes.Count("missionLogAdd"), 1);
    EXPECT_EQ(fakes.Find("missionLogAdd")->a, 3);
    EXPECT_EQ(TypesDue(ship), std::vector<uint16_t>{7});
}

TEST_F(Engineering, RepairTeamsGatherOnDamagedComponentsInTableOrder) {
    EngComponent *pbc = Get("AFT PBC"), *ring = Get("RING");
    pbc->health = 0.5f;
    ring->health = 0.5f;
    Frames(1);
    ASSERT_NE(pbc->repairTeam, nullptr);
    ASSERT_NE(ring->repairTeam, nullptr);
    EXPECT_EQ(dunRepairTeams[0].component, pbc);
    EXPECT_EQ(dunRepairTeams[1].component, ring);
    EXPECT_EQ(dunRepairTeams[2].component, pbc);
    EXPECT_EQ(dunRepairTeams[3].component, ring);
    // Two teams at rate 1 for 0.1 s each add 0.1 over the difficulty: 10
    // for the weapon, 60 for the ring.
    EXPECT_NEAR(pbc->health, 0.52f, 1e-6f);
    EXPECT_NEAR(ring->health, 0.5f + 0.2f / 60.0f, 1e-6f);
    EXPECT_EQ(pbc->repairDone, 2);
    EXPECT_EQ(pbc->repairEstimate, uint16_t((1.0f - pbc->health) * 10.0f / 2.0f));
    // Whole again, the teams are let go.
    pbc->health = ring->health = 1.0f;
    Frames(1);
    for (const RepairTeam &t : dunRepairTeams) EXPECT_EQ(t.component, nullptr);
    // Mended to the full, a component's failure bits go.
    ship->sim->shipInfo->damage.mask = 0x204;
    Get("PORT MAG")->health = 0.99999f;
    Frames(1);
    EXPECT_EQ(Get("PORT MAG")->health, 1.0f);
    EXPECT_EQ(ship->sim->shipInfo->damage.mask, 0x200);
    // A component marked beyond repair is left alone.
    pbc->health = 0.5f;
    pbc->notRepairable = 1;
    Frames(2);
    EXPECT_EQ(pbc->health, 0.5f);
}

TEST_F(Engineering, TheMissionResetRestoresTheStartState) {
    Get("REACTOR")->switchedOn = 0xFF;
    Get("HULL STRUCT")->health = 0.2f;
    Get("AM SUPPLY")->value = 3.0f;
    dunWeaponShare = 20.0f;
    dunHullFraction = 0.5f;
    Frames(3);
    dunResetEngineering();
    EXPECT_EQ(Get("REACTOR")->switchedOn, 0);
    EXPECT_EQ(Get("HULL STRUCT")->health, 1.0f);
    EXPECT_EQ(Get("AM SUPPLY")->value, 500.0f);
    EXPECT_EQ(dunWeaponShare, 100.0f);
    EXPECT_EQ(dunHullFraction, 1.0f);
    EXPECT_EQ(dunEngSortPending, 0xFF);
    // The hull rule puts the structure's health into the ship's hull.
    Get("HULL STRUCT")->health = 0.42f;
    Frames(1);
    EXPECT_EQ(ship->sim->hull, 42);
    // Everything intact again, and the damage mask cleared.
    ship->sim->shipInfo->damage.mask = 0xFF;
    dunRestoreAllComponents();
    EXPECT_EQ(Get("HULL STRUCT")->health, 1.0f);
    EXPECT_EQ(ship->sim->shipInfo->damage.mask, 0);
}

TEST_F(Engineering, AntimatterRunsOutAndADestroyedSupplyHoldsNothing) {
    EngComponent *injector = Get("AM INJECTOR"), *supply = Get("AM SUPPLY");
    injector->switchedOn = 0xFF;
    Frames(20);
    EXPECT_GT(injector->value, 0.2f);
    EXPECT_LT(supply->value, 500.0f);
    supply->health = 0.0f;
    Frames(1);
    EXPECT_EQ(supply->value, 0.0f);
    const float before = injector->value;
    Frames(200);
    EXPECT_LT(injector->value, before * 0.4f);
}

TEST_F(Engineering, RecordersSampleTheValuesEveryTwentyCentiseconds) {
    ValueRecorder *r = Get("MAIN THRS")->recorder;
    Frames(10);  // one second: samples at 0, 20, 40, 60, 80
    EXPECT_EQ(r->writeIndex, 5u);
    EXPECT_NEAR(r->maximum, 1.0f, 1e-3f);
}

TEST_F(Engineering, PowerGoesToTheWeaponsItFeeds) {
    ship->sim->shipInfo->typeCode = 0;
    Weapon *beam = dunAllocWeapon();
    beam->flags |= WeaponFlag::AutoFire;
    beam->component = Get("FWD PBC");
    Weapon *mag = dunAllocWeapon();
    mag->component = Get("PORT MAG");
    beam->next = mag;
    ship->sim->weapons = beam;
    Frames(1);
    EXPECT_EQ(beam->powerCharge, 150);
    EXPECT_EQ(beam->range, 200000.0f);
    EXPECT_TRUE(beam->flags & WeaponFlag::Ready);
    Get("PORT MAG")->health = 0.1f;
    Frames(1);
    EXPECT_TRUE(mag->flags & WeaponFlag::Damaged);
    EXPECT_FALSE(mag->flags & WeaponFlag::Ready);
    EXPECT_EQ(mag->powerCharge, 0);
}

TEST_F(Engineering, NothingRunsWhileTheMissionIsOver) {
    Get("MAIN THRS")->health = 0.5f;
    gMissionOver = 1;
    Frames(1);
    EXPECT_EQ(ship->sim->flight->p1, 7000.0f);
    gMissionOver = 0;
}

TEST_F(Engineering, SpinTurnsTheObjectAboutItsOwnPosition) {
    SceneItem *o = MakeObject();
    Place(o, 10, 20, 30);
    o->yawSpin = 100.0f;  // 30 degrees a second about Y
    dunGameClock = 77;
    for (int i = 0; i < 10; ++i) dunSimSpin(o);
    const float *m = o->sim->matrix.m;
    EXPECT_NEAR(m[8], std::sin(30.0 * M_PI / 180.0), 1e-4);
    EXPECT_NEAR(m[10], std::cos(30.0 * M_PI / 180.0), 1e-4);
    EXPECT_EQ(m[12], 10.0f);
    EXPECT_EQ(m[14], 30.0f);
    EXPECT_EQ(o->sim->timeStamp, 77u);
}

}  // namespace
