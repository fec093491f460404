// Ship, weapon and docking statements.
#include <vector>

#include "ai/brain.h"
#include "ai/contacts.h"
#include "ai/weapons.h"
#include "ai/wing.h"
#include "core/options.h"
#include "gui/cockpit.h"
#include "gui/nav.h"
#include "script/mission.h"
#include "script/screens.h"
#include "script/ships.h"
#include "script_fixture.h"
#include "world/contact.h"
#include "world/engineering.h"
#include "world/flight.h"
#include "world/pools.h"

using namespace scripttest;

namespace {

class ShipStatements : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        ResetShipStatements();
        gPlacementMode = 0xFF;
        gAutoGroup = 0;
    }
    void TearDown() override {
        optDebugScript = 0;
        ScriptTest::TearDown();
    }
    static SceneItem *Object(const char *name) { return static_cast<SceneItem *>(GetScriptSymbolValue(name)); }
    static ShipInfo *Info(const char *name) { return Object(name)->sim->shipInfo; }
    // The message of the script error a statement reports (after the
    // file, line and statement).
    static std::string Fails(const std::string &text) {
        const std::string report = FatalText([&] { Start(text); });
        const size_t at = report.find("\n ");
        return at == std::string::npos ? report : report.substr(at + 2);
    }
};

TEST_F(ShipStatements, CreateShipMakesAPlacedTurnedShipOfItsClass) {
    Start("SCENEITEM Raider\nMODEL M\n"
          "CREATE_SHIP Raider M \"Raider Kestrel\" CORVETTE BLACK 1 2 3 90 0 0 COMBAT\n");
    SceneItem *o = Object("Raider");
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(ScriptSymbolObject(gSymLastShip), o);
    EXPECT_EQ(o->sim->position.x, 100.0);
    EXPECT_EQ(o->sim->position.z, 300.0);
    EXPECT_EQ(o->avatar->position.y, 200.0);
    // 90 degrees about Y turns the forward axis onto +X.
    EXPECT_NEAR(o->sim->matrix.m[8], 1.0f, 1e-6f);
    EXPECT_EQ(o->control, dunai_ThinkShip);
    EXPECT_EQ(o->simulator, dunFlyShip);
    EXPECT_EQ(o->sim->mass, 8500.0f);
    ShipInfo *s = o->sim->shipInfo;
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(o->sim->flight, &s->current);
    EXPECT_EQ(s->typeCode, 0);
    EXPECT_EQ(s->rank, 3);
    EXPECT_EQ(s->side, 3);
    EXPECT_STREQ(s->className, "Raider Kestrel");
    EXPECT_STREQ(s->name, "Kestrel");
    // Armour and maximum hull: a script ship can be destroyed.
    EXPECT_EQ(s->damage.armour, 50);
    EXPECT_EQ(s->damage.maximum, 250);
    EXPECT_EQ(s->ranges[0], 15000000.0f);
    // The side bit is ORed into the class set-up's presentation bits.
    EXPECT_EQ(o->avatar->flags & (AvatarFlag::SideBits | 6u), 0x200u | 6u);
    EXPECT_EQ(o->flags & 0x212u, 0x212u);
    EXPECT_EQ(o->sim->flags & SimFlag::CombatStance, 0x400u);
    EXPECT_EQ(o->avatar->contactHandler, dunCollideShips);
    EXPECT_EQ(o->linkRecord, Sym("Raider"));
}

TEST_F(ShipStatements, ShipReusesTheRecordAndReplacesTheSide) {
    SceneItem *o = MakeObject("Hulk");
    o->avatar->flags = 0x80000 | 0x100;
    Start("SHIP Hulk \"Hulk\" FREIGHTER NAVY\n");
    ShipInfo *first = o->sim->shipInfo;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(o->avatar->flags & ~6u, 0x80u);
    EXPECT_EQ(first->side, 1);
    Start("SHIP Hulk \"Old Hulk\" RING NEUTRAL RECKLESS\n");
    EXPECT_EQ(o->sim->shipInfo, first);
    EXPECT_EQ(first->side, 0);
    EXPECT_EQ(first->typeCode, 18);
    EXPECT_EQ(o->sim->flags & SimFlag::CombatStance, 0x1400u);
}

TEST_F(ShipStatements, ShortNames) {
    const struct {
        const char *name, *shortName;
    } cases[] = {{"NCS Bold Lantern", "Lantern"}, {"Lantern", "Lantern"}, {"A B", "B"}};
    MakeObject("S");
    for (const auto &c : cases) {
        Start(std::string("SHIP S \"") + c.name + "\" CORVETTE NAVY\n");
        EXPECT_STREQ(Info("S")->name, c.shortName) << c.name;
        EXPECT_STREQ(Info("S")->className, c.name);
    }
}

TEST_F(ShipStatements, ClassSetUps) {
    MakeObject("A");
    Start("SHIP A \"A\" HCORVETTE NAVY\n");
    EXPECT_EQ(Object("A")->control, dunControlFree);
    EXPECT_EQ(Object("A")->sizeB, 120.0f);
    EXPECT_TRUE(Object("A")->avatar->flags & 0x4000000);
    Start("SHIP A \"A\" MINE BLACK\n");
    EXPECT_EQ(Object("A")->sim->controlValue, 5000u);
    EXPECT_EQ(Object("A")->avatar->collisionPriority, 40);
    Start("SHIP A \"A\" STATION NAVY\n");
    EXPECT_EQ(Object("A")->avatar->flags & 0xC, 0x8u);
}

TEST_F(ShipStatements, CountersStepThroughNamesAndPlaces) {
    MakeObject("S");
    Start("SHIP S \"S\" CORVETTE NAVY\n");
    ScriptToken *pc = Compile("NAME_INC 0 S \"First\" \"Second\"\n");
    std::vector<std::string> names;
    for (int i = 0; i < 3; ++i) {
        ScriptToken *run = pc;
        ScriptProcessor(&run, 0);
        names.push_back(Info("S")->className);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"First", "Second", "First"}));
    // Without names the ship keeps its own.
    Start("NAME_INC 0 S\n");
    EXPECT_STREQ(Info("S")->className, "First");

    Start("PLACE_INC 2 S 1 1 1 2 2 2 3 3 3\nSET X 5\n");
    EXPECT_EQ(Object("S")->sim->position.y, 300.0);
    EXPECT_EQ(Var("X"), 5);
}

TEST_F(ShipStatements, EngineFillsTheCurrentAndNominalFigures) {
    MakeObject("S");
    Start("SHIP S \"S\" CORVETTE NAVY\nENGINE S 7000 500 50 1000000000 90 80 70 700\n");
    const FlightParams &f = Info("S")->current;
    EXPECT_EQ(f.p1, 7000.0f);
    EXPECT_EQ(f.p3, 50u);
    EXPECT_EQ(f.p4, 1000000000u);
    EXPECT_EQ(f.turnRates[2], 70.0f);
    EXPECT_EQ(f.p8x100, 70000.0f);
    EXPECT_EQ(Info("S")->nominal.p1, 7000.0f);
    // An object without ship data warns and flies with a block of its own.
    SceneItem *rock = MakeObject("Rock");
    Start("ENGINE Rock 10 1 0 0 5 5 5 1\n");
    ASSERT_NE(rock->sim->flight, nullptr);
    EXPECT_EQ(rock->sim->flight->p1, 10.0f);
    EXPECT_EQ(rock->sim->shipInfo, nullptr);
}

TEST_F(ShipStatements, WeaponsAndTheirLoads) {
    MakeObject("S");
    Start("SHIP S \"S\" CORVETTE NAVY\n"
          "WEAPON S BEAMCANN ARC_FWD ARC_60 ARC_NORM 0 0 20\n"
          "WEAPON S MISSLNCH ARC_AFT ARC_WIDE ARC_UPPER 1 2 3\n");
    Sim *s = Object("S")->sim;
    ASSERT_NE(s->weapons, nullptr);
    ASSERT_NE(s->weapons->next, nullptr);
    Weapon *beam = s->weapons, *launcher = beam->next;
    EXPECT_EQ(s->weaponCount, 2u);
    EXPECT_EQ(s->currentWeapon, beam);
    EXPECT_EQ(beam->mountCode, 0x811);
    EXPECT_EQ(launcher->mountCode, 0x125);
    EXPECT_EQ(launcher->typeNumber, 5);
    EXPECT_EQ(dunLastWeapon, launcher);
    EXPECT_STREQ(launcher->name, "MAG - SEEKER");

    launcher->rounds[1] = 6;  // rounds per rack
    Start("WEAPON_LOAD S 2 3\nWEAPON_LOAD S 1 4\n");
    EXPECT_EQ(launcher->rounds[0], 6);
    EXPECT_EQ(launcher->rounds[2], 3);
    EXPECT_TRUE(beam->flags & WeaponFlag::Charge);
    EXPECT_EQ(beam->charge, 4.0f);
    Start("WEAPON_LOAD S 9 0\n");  // past the list: the last weapon
    EXPECT_TRUE(launcher->flags & WeaponFlag::Empty);
    EXPECT_EQ(launcher->rounds[0], 0);
    EXPECT_EQ(launcher->rounds[2], 0);
    Start("WEPLOADOUT 0 5\n");
    EXPECT_FALSE(launcher->flags & WeaponFlag::Empty);
    EXPECT_EQ(launcher->rounds[2], 4);
    EXPECT_EQ(launcher->rounds[0], 6);
    Start("SELECT_WEAPON S 2\n");
    EXPECT_EQ(s->currentWeapon, launcher);
    // A weapon number below 1 names no weapon: a script error.
    EXPECT_EQ(Fails("WEAPON_LOAD S 0 3\n"), "WEAPON_LOAD weapon number out of range");
}

TEST_F(ShipStatements, AWeaponIsNamedInTheLanguageAndTheArcadeFactorScalesIt) {
    struct Case {
        uint16_t language;
        const char *keyword;
        int16_t type;
        const char *name;
        bool arcade;
        int32_t damage, penetration;
    };
    const Case cases[] = {
        {0, "ANTIMATTER", 8, "AM RELEASE", false, 800000, 160},
        {1, "ANTIMATTER", 8, "LARGAGE AM", false, 800000, 160},
        {2, "ANTIMATTER", 8, "AM AUSSTO\xDF", false, 800000, 160},
        {1, "BEAMCANN", 0, "CP", false, 150, 55},
        {2, "LDS_SEEK", 6, "MAG - LDSB", false, 180, 65},
        {0, "BEAMCANN", 0, "PBC", true, 375, 137},
        {0, "MISSLNCH", 5, "MAG - SEEKER", true, 450, 162},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        gLanguage = c.language;
        optArcade = c.arcade ? 0xFF : 0;
        gArcadeWeaponFactor = 2.5f;
        MakeObject("S");
        Start(std::string("SHIP S \"S\" CORVETTE NAVY\nWEAPON S ") + c.keyword + " ARC_FWD ARC_60 ARC_NORM 0 0 0\n");
        const Weapon *w = Object("S")->sim->weapons;
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->typeNumber, c.type);
        EXPECT_STREQ(w->name, c.name);
        EXPECT_EQ(w->damage, c.damage);
        EXPECT_EQ(w->penetration, c.penetration);
    }
    gLanguage = 0;
    optArcade = 0;
    gArcadeWeaponFactor = 1.0f;
}

TEST_F(ShipStatements, DockingPortsAndDocking) {
    MakeObject("A");
    MakeObject("B");
    Start("SHIP A \"A\" STATION NAVY\nSHIP B \"B\" CORVETTE NAVY\n"
          "DOCKPT A DOCK_SWIVEL DOCKTYPE_UNIVERSAL ON 0 180 0 1 2 3 7\n"
          "DOCKPT A DOCK_NORMAL DOCKTYPE_COMMAND OFF 0 0 0 0 0 0 0\n");
    DockingPort *p = Info("A")->ports;
    ASSERT_NE(p, nullptr);
    ASSERT_NE(p->next, nullptr);
    EXPECT_EQ(p->flags & 0x1FE, 256u | PortFlag::Open);
    EXPECT_EQ(p->mask, 16u);
    EXPECT_EQ(p->angleX, 180.0f);
    EXPECT_EQ(p->position.z, 300.0f);
    EXPECT_EQ(p->size, 7);
    EXPECT_EQ(p->next->mask, 1u);
    EXPECT_FALSE(p->next->flags & PortFlag::Open);
    Start("DOCK_READY A 1 DOCK_OVERRIDE\n");
    EXPECT_EQ(p->next->flags & (PortFlag::Open | 8u), PortFlag::Open | 8u);
    Start("DOCK_UNREADY A 1 DOCK_NORMAL\n");
    EXPECT_FALSE(p->next->flags & PortFlag::Open);
    // B has no port: DOCK only raises and drops its flag.
    Start("DOCK A B 0 0\n");
    EXPECT_EQ(gDockingInProgress, 0);
    EXPECT_FALSE(p->flags & PortFlag::Docked);
    EXPECT_EQ(Fails("DOCK_READY A 2 DOCK_NORMAL\n"), "DOCK_READY port out of range");
    EXPECT_EQ(Fails("DOCK_MODEL A -1\n"), "DOCK_MODEL port out of range");
}

TEST_F(ShipStatements, DefenceSlotsAreBounded) {
    MakeObject("S");
    Start("SHIP S \"S\" CORVETTE NAVY\nLDA S 2 30 40\nSET X 1\n");
    EXPECT_EQ(Var("X"), 1);
    EXPECT_EQ(Fails("LDA S 5 1 2 3 4 5\n"), "LDA slot count out of range");
}

TEST_F(ShipStatements, SwitchesAndSensorBits) {
    MakeObject("S");
    guiInstallScriptHooks();  // ALLOW_CMD_SEP is the navigation station's
    Start("DIRECTOR_ALLOW DIR_DOCKING OFF\nALLOW_CMD_SEP OFF\nFTLSOURCE S\nADD_SENSE S SN_BASE SN_DAMAGED\n"
          "ALIENDEV ON\n");
    EXPECT_EQ(gDirectorAllow[0], 0);
    EXPECT_EQ(gDirectorAllow[1], 0xFF);
    EXPECT_EQ(guiNavDetachAllowed, 0);
    EXPECT_EQ(gFtlSource, Object("S"));
    EXPECT_EQ(gFtlSourceOn, 0xFF);
    EXPECT_EQ(Object("S")->avatar->flags, (1u << 3) | (1u << 13));
    EXPECT_EQ(gAlienDeviceNotice, 0xFF);
    Start("CLR_SENSE S SN_BASE\nALLOW_CMD_SEP ON\nNEW_ALLEG S ALIEN\n");
    EXPECT_EQ(Object("S")->avatar->flags, (1u << 13) | 0x400u);
    EXPECT_EQ(guiNavDetachAllowed, 0xFF);
    ScriptSetGuiHooks(nullptr);
}

TEST_F(ShipStatements, DebugConsumesItsOperandWhenOff) {
    Start("DEBUG \"hello\"\nSET X 3\n");
    EXPECT_EQ(Var("X"), 3);
    Start("DEBUG X\nSET X 4\n");
    EXPECT_EQ(Var("X"), 4);
}

TEST_F(ShipStatements, PlayerTakesTheShipAndItsEngineering) {
    dunBuildShipSystems();
    MakeObject("P");
    Start("SHIP P \"P\" CORVETTE NAVY\nENGINE P 7000 500 0 0 90 90 90 700\nPLAYER P\n");
    SceneItem *o = Object("P");
    EXPECT_EQ(dunPlayerShip, o);
    EXPECT_EQ(dunControlledObject, o);
    EXPECT_EQ(dunEngineeringShip, o);
    EXPECT_EQ(gPlacementReference, o);
    EXPECT_EQ(o->control, dunControlPlayer);
    EXPECT_EQ(o->sim->flightMode, 1);
    EXPECT_EQ(o->sim->componentCount, kEngComponentCount);
    EXPECT_EQ(Info("P")->accuracy, 75);
    EXPECT_EQ(ScriptSymbolObject(gSymGleamHead), o);
    dunEngineeringShip = nullptr;
}

// A ship made in the player's automatic group after the player joins the
// player's wing; one made before the player, or in a new group, stays out.
TEST_F(ShipStatements, ShipsMadeInThePlayersGroupJoinItsWing) {
    for (WingSlot &w : dunWing) w = WingSlot{};
    Start(
        "SCENEITEM Early P Wing1 Wing2 Other\nMODEL M\n"
        "CREATE_SHIP Early M \"Early\" CORVETTE NAVY 0 0 10\n"
        "CREATE_SHIP P M \"P\" CORVETTE NAVY 0 0 0\nPLAYER P\n"
        "CREATE_SHIP Wing1 M \"Wing1\" CORVETTE NAVY 0 0 20\n"
        "CREATE_SHIP Wing2 M \"Wing2\" CORVETTE NAVY 0 0 30\n"
        "NEW_GROUP\nCREATE_SHIP Other M \"Other\" CORVETTE BLACK 0 0 40\n");
    std::vector<SceneItem *> wing;
    for (const WingSlot &w : dunWing)
        if (w.object) wing.push_back(w.object);
    EXPECT_EQ(wing, (std::vector<SceneItem *>{Object("Wing1"), Object("Wing2")}));
    for (WingSlot &w : dunWing) w = WingSlot{};
    dunPlayerShip = dunControlledObject = nullptr;
}

}  // namespace
