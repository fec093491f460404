#include <cmath>

#include "flight_fixture.h"
#include "world/docking.h"
#include "world/handle.h"
#include "world/objroutines.h"
#include "world/services.h"
#include "world/stations.h"

namespace {

class StationComponents : public FlightTest {
protected:
    SceneItem *hull = nullptr;
    DockingPort *bay = nullptr;
    int formerModel = 0;

    // The player's complete ship: type code 0, flying forward at 2000, with
    // three ports, the third of which takes the command section back.
    void CompleteShip() {
        hull = PlayerShip(0, 0, 1000);
        hull->sim->velocity = {0.0f, 0.0f, 2000.0f};
        hull->sim->speed = 2000.0f;
        hull->sim->flightMode = 1;
        hull->avatar->root->model = &formerModel;
        hull->avatar->flags |= 0x80;
        hull->sim->shipInfo->side = 2;
        dunAddDockingPort(hull, 0, 1, 0, 0, 0, 0, 0, -20, 100);
        dunAddDockingPort(hull, 0, 1, 0, 0, 0, 0, 5, 0, 100);
        bay = dunAddDockingPort(hull, 0, 1, 0, 0, 0, 0, 0, 20, 100);
    }
};

}  // namespace

TEST_F(StationComponents, TheCommandSectionSeparatesFromTheHull) {
    CompleteShip();
    dunBuildCommandSection();
    SceneItem *section = dunPlayerShip;
    ASSERT_NE(section, hull);
    EXPECT_EQ(dunControlledObject, section);
    EXPECT_EQ(section->control, dunControlPlayer);
    EXPECT_EQ(section->simulator, dunFlyShip);
    // The hull flies on under the AI.
    EXPECT_EQ(hull->control, dunAi().think);
    // The section: "Com Module" figures, 8000 ahead drawing away at 1000.
    const ShipInfo *info = section->sim->shipInfo;
    EXPECT_STREQ(info->name, "Com Module");
    EXPECT_STREQ(info->className, "CMD301");
    EXPECT_EQ(info->typeCode, 2);
    EXPECT_EQ(info->side, 2);
    EXPECT_EQ(section->sim->flight, &info->current);
    EXPECT_EQ(info->current.p1, 7000.0f);
    EXPECT_EQ(info->current.p4, 0u);
    EXPECT_EQ(info->current.turnRates[1], 90.0f);
    EXPECT_EQ(info->current.p8x100, 70000.0f);
    EXPECT_EQ(section->avatar->flags & 0x200C6u, 0x20086u);
    EXPECT_EQ(section->sim->mass, 1200.0f);
    EXPECT_DOUBLE_EQ(section->sim->position.z, 9000.0);
    EXPECT_EQ(section->sim->velocity.z, 3000.0f);
    ASSERT_NE(fakes.Find("createPBCLite"), nullptr);
    EXPECT_EQ(fakes.Find("createPBCLite")->a, 1500);
    EXPECT_EQ(fakes.Find("createPBCLite")->b, 65);
    EXPECT_EQ(section->sim->currentWeapon, section->sim->weapons);
    EXPECT_EQ(fakes.Count("addNavLight"), 2);
    // Steady lights: lit for 80 ticks and never dark.
    EXPECT_EQ(fakes.Find("addNavLight")->velocity.y, 80.0f);
    EXPECT_EQ(fakes.Find("addNavLight")->velocity.z, 0.0f);
    // Its one port at the back, and the hull's bay open for the way back.
    DockingPort *port = dunGetDockingPort(section, 0);
    EXPECT_EQ(port->flags, PortFlag::InUse | 0x18u);
    EXPECT_EQ(port->angleY, 180.0f);
    EXPECT_EQ(port->position.y, -100.0f);
    EXPECT_EQ(port->position.z, -1300.0f);
    EXPECT_EQ(port->size, 70);
    EXPECT_TRUE(bay->flags & PortFlag::Open);
    EXPECT_EQ(bay->replacement, reinterpret_cast<vt_model *>(&formerModel));
    // The hull stops under its AI; both let go of each other after 500 cs.
    EXPECT_EQ(fakes.Find("setOrder")->text, "STOP");
    EXPECT_EQ(fakes.Find("setOrder")->record.damage, 67);
    EXPECT_EQ(TypesDue(section, 499), std::vector<uint16_t>{});
    EXPECT_EQ(TypesDue(section, 500), std::vector<uint16_t>{MsgPartnerReleased});
    EXPECT_EQ(TypesDue(hull, 500), std::vector<uint16_t>{MsgPartnerReleased});
    EXPECT_EQ(fakes.Find("followCameras")->item, section);
    EXPECT_EQ(fakes.Find("followCameras")->other, hull);
    EXPECT_EQ(fakes.Find("eventCamera")->a, 1);
}

TEST_F(StationComponents, OnlyACompleteShipSeparatesAndTheModelsAreLoadedOnce) {
    CompleteShip();
    dunBuildCommandSection();
    SceneItem *section = dunPlayerShip;
    dunBuildCommandSection();  // the section is type 2: nothing
    EXPECT_EQ(dunPlayerShip, section);
    CompleteShip();
    dunBuildCommandSection();
    EXPECT_NE(dunPlayerShip, hull);
    EXPECT_EQ(fakes.Count("loadModel"), 2);
}

TEST_F(StationComponents, TheSectionDocksBackAndTheShipIsWholeAgain) {
    CompleteShip();
    dunBuildCommandSection();
    SceneItem *section = dunPlayerShip;
    DockingPort *port = dunGetDockingPort(section, 0);
    ASSERT_EQ(dunDockShips(section, hull, port, bay, 0), 0xFF);
    // The bay held the former model: the section stays as the player's ship
    // with it, and the hull goes.
    EXPECT_EQ(dunPlayerShip, section);
    EXPECT_EQ(dunControlledObject, section);
    EXPECT_EQ(fakes.Find("setObjectModel", 1)->item, section);
    Frame();
    EXPECT_FALSE(hull->flags & SceneFlag::InUse);
    EXPECT_EQ(section->control, dunControlPlayer);
    EXPECT_EQ(section->simulator, dunFlyShip);
    EXPECT_EQ(dunGetDockedPartner(section), nullptr);
}

TEST_F(StationComponents, AJumpIsRelayedNegatedToDockedPartners) {
    SceneItem *ship = Ship();
    SceneItem *a = Ship(), *b = Ship();
    dunAddDockingPort(ship, 0, 1, 0, 0, 0, 0, 0, 0, 10)->partner = a;
    dunAddDockingPort(ship, 0, 1, 0, 0, 0, 0, 0, 0, 10);
    dunAddDockingPort(ship, 0, 1, 0, 0, 0, 0, 0, 0, 10)->partner = b;
    uint8_t payload[4] = {7, 0, 0, 0};
    dunRelayJumpToPartners(ship, payload);
    EXPECT_EQ(int32_t(payload[0] | payload[1] << 8 | payload[2] << 16 | payload[3] << 24), -7);
    EXPECT_EQ(TypesDue(a, 59), std::vector<uint16_t>{});
    EXPECT_EQ(TypesDue(a, 60), std::vector<uint16_t>{MsgJumpDepart});
    EXPECT_EQ(TypesDue(b, 60), std::vector<uint16_t>{MsgJumpDepart});
}

TEST_F(StationComponents, CarriedObjectsFindTheirCarrier) {
    SceneItem *carrier = Ship(0, 0, 0);
    SceneItem *a = Ship(100, 0, 0), *b = Ship(-100, 0, 0);
    dunLinkPartnerObjects(a, b, carrier);
    EXPECT_EQ(carrier->control, dunControlCarrier);
    EXPECT_EQ(a->simulator, dunSimCarried);
    EXPECT_EQ(a->avatar->partner, carrier);
    dunSimCarried(a);
    dunSimCarried(b);
    EXPECT_DOUBLE_EQ(a->sim->position.z, 40000.0);
    EXPECT_DOUBLE_EQ(b->sim->position.z, -40000.0);
    // A carrier that is gone leaves them to fly on their own.
    dunDeleteSceneItem(carrier);
    dunSimCarried(a);
    EXPECT_EQ(a->simulator, dunFlyShip);
}

TEST_F(StationComponents, ATowedObjectFollowsAtItsDistance) {
    SceneItem *tug = Ship(0, 0, 0);
    SceneItem *towed = Ship(3000, 4000, 0);
    dunLinkPartnerObject(tug, towed);
    EXPECT_EQ(tug->avatar->sidePartner, towed);
    EXPECT_EQ(towed->simulator, dunSimFollowLinked);
    dunSimFollowLinked(towed);
    EXPECT_NEAR(towed->sim->position.x, 60000.0, 1e-6);
    EXPECT_NEAR(towed->sim->position.y, 80000.0, 1e-6);
    Place(towed, 0, 0, 0);  // on top of the tug: it goes behind
    dunSimFollowLinked(towed);
    EXPECT_NEAR(towed->sim->position.z, -100000.0, 1e-6);
}
