#include <cmath>
#include <random>

#include "flight_fixture.h"
#include "world/collision.h"
#include "world/docking.h"
#include "world/pools.h"

namespace {

class Docking : public FlightTest {
protected:
    // The host faces +Z at the origin with an open port at its nose; the
    // mover faces it nose to nose, its port the given gap from the host's.
    SceneItem *host = nullptr;
    SceneItem *mover = nullptr;
    DockingPort *hostPort = nullptr;
    DockingPort *moverPort = nullptr;

    void Pair(double gap = 0.0, int16_t hostSize = 100, int16_t moverSize = 50) {
        host = Ship(0, 0, 0);
        mover = Ship(0, 0, 2000.0 + gap);
        MatRotateY(180.0f, mover->sim->matrix);
        hostPort = dunAddDockingPort(host, PortFlag::Open, 1, 0, 0, 0, 0, 0, 10, hostSize);
        moverPort = dunAddDockingPort(mover, PortFlag::Open, 1, 0, 0, 0, 0, 0, 10, moverSize);
    }
    static Vec3 PortWorld(const SceneItem *ship, const DockingPort *port) {
        Vec3 offset;
        MatRotateVector(ship->sim->matrix, port->position, offset);
        return {float(ship->sim->position.x) + offset.x, float(ship->sim->position.y) + offset.y,
                float(ship->sim->position.z) + offset.z};
    }
};

}  // namespace

TEST_F(Docking, PortsAreKeptAtAHundredTimesTheirPositionAndMarkTheHull) {
    SceneItem *ship = Ship();
    CollisionModel *shape = ship->avatar->root->collision = dunAllocCollisionModel();
    DockingPort *p = dunAddDockingPort(ship, 0x18, 1, 180, 0, 0, 0, -1, -13, 70);
    EXPECT_EQ(p->position.y, -100.0f);
    EXPECT_EQ(p->position.z, -1300.0f);
    EXPECT_EQ(p->flags, PortFlag::InUse | 0x18u);
    EXPECT_EQ(shape->pointCount, 1);
    EXPECT_EQ(shape->points[0].z, -1300.0f);
    DockingPort *q = dunAddDockingPort(ship, 0, 2, 0, 0, 0, 0, 0, 5, 10);
    // Past the end the last port; the pairing says -1 instead.
    EXPECT_EQ(dunGetDockingPort(ship, 0), p);
    EXPECT_EQ(dunGetDockingPort(ship, 7), q);
    EXPECT_EQ(dunGetDockingPort(Ship(), 0), nullptr);
}

TEST_F(Docking, ContactDocksCloseAlignedPorts) {
    struct Case {
        double gap;
        bool docks;
    };
    for (const Case c : {Case{0.0, true}, Case{3199.0, true}, Case{3200.0, false}}) {
        dunResetWorld();
        fakes.calls.clear();
        Pair(c.gap);
        EXPECT_EQ(dunTryDockOnContact(mover, host) != 0, c.docks) << c.gap;
        if (!c.docks) continue;
        EXPECT_FLOAT_EQ(dunDockAlignmentShown, 1.0f);
        EXPECT_EQ(mover->simulator, dunUpdateDocking);
        EXPECT_EQ(host->simulator, dunFlyShip);
        EXPECT_EQ(moverPort->flags & (PortFlag::Docked | PortFlag::Mover), PortFlag::Docked | PortFlag::Mover);
        EXPECT_EQ(hostPort->flags & (PortFlag::Docked | PortFlag::Mover), PortFlag::Docked);
        EXPECT_EQ(mover->avatar->partner, host);
        EXPECT_EQ(dunGetDockedPartner(host), mover);
        // The mover was placed at once: the two ports meet.
        EXPECT_NEAR(mover->sim->position.z, 2000.0, 1e-3);
        ASSERT_NE(fakes.Find("missionLogAdd"), nullptr);
        EXPECT_EQ(fakes.Find("missionLogAdd")->a, 4);
    }
}

TEST_F(Docking, ContactInTheCollisionPassDocksInsteadOfColliding) {
    Pair(500.0);
    for (SceneItem *s : {host, mover}) {
        s->avatar->root->flags |= TDPFlag::SpheresOnly;
        s->avatar->root->radius = s->sim->radius = 1500.0f;
        dunUpdateNodeTransforms(s);
    }
    dunCollisionPass();
    EXPECT_EQ(mover->simulator, dunUpdateDocking);
    EXPECT_EQ(fakes.Count("impactFromCollision"), 0);
}

TEST_F(Docking, PoorAlignmentDoesNotDock) {
    Pair();
    MatRotateZ(60.0f, mover->sim->matrix);  // (2 cos 60 + 4) / 6 = 0.83
    EXPECT_EQ(dunTryDockOnContact(mover, host), 0);
    EXPECT_NEAR(dunDockAlignmentShown, 5.0f / 6.0f, 1e-5f);
}

TEST_F(Docking, EqualSizesMakeTheFirstShipTheMover) {
    Pair(0.0, 50, 50);
    ASSERT_EQ(dunDockShips(host, mover, hostPort, moverPort, 0), 0xFF);
    EXPECT_EQ(host->simulator, dunUpdateDocking);
    EXPECT_EQ(mover->simulator, dunFlyShip);
}

TEST_F(Docking, DamagedDockingSystemsRefuseExceptForThePlayer) {
    Pair();
    mover->sim->shipInfo->damage.mask |= DamageBit::Docking;
    EXPECT_EQ(dunDockShips(mover, host, moverPort, hostPort, 0), 0);
    dunPlayerShip = mover;
    EXPECT_EQ(dunDockShips(mover, host, moverPort, hostPort, 0), 0xFF);
    // Nobody undocks with a damaged docking system.
    dunUndock(mover);
    EXPECT_EQ(mover->simulator, dunUpdateDocking);
}

TEST_F(Docking, ClosedPortsDoNotDock) {
    Pair();
    hostPort->flags &= ~PortFlag::Open;
    EXPECT_EQ(dunDockShips(mover, host, moverPort, hostPort, 0), 0);
    hostPort->flags |= PortFlag::Open;
    hostPort->mask = 2;
    EXPECT_EQ(dunDockShips(mover, host, moverPort, hostPort, 0), 0);
}

TEST_F(Docking, TheMoverFollowsItsHostWithThePortsTogether) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> angle(-180.0f, 180.0f);
    for (int round = 0; round < 20; ++round) {
        dunResetWorld();
        host = Ship(1000, -2000, 500);
        mover = Ship(0, 0, 0);
        hostPort = dunAddDockingPort(host, PortFlag::Open, 1, angle(random), angle(random), 0, 3, 4, 10, 100);
        moverPort = dunAddDockingPort(mover, PortFlag::Open | PortFlag::Rotating, 1, angle(random), angle(random),
                                      angle(random) + 180.0f, -2, 1, 6, 50);
        ASSERT_EQ(dunDockShips(mover, host, moverPort, hostPort, 0), 0xFF);
        host->sim->velocity = {100.0f, 2000.0f, -300.0f};
        host->turnDemand[0] = 50.0f;
        host->turnRemaining[0] = 1000.0f;
        mover->turnDemand[2] = 30.0f;
        mover->sim->turnRates.z = 10.0f;
        for (int i = 0; i < 5; ++i) Frame();
        const Vec3 a = PortWorld(mover, moverPort), b = PortWorld(host, hostPort);
        EXPECT_NEAR(a.x, b.x, 0.05f);
        EXPECT_NEAR(a.y, b.y, 0.05f);
        EXPECT_NEAR(a.z, b.z, 0.05f);
        EXPECT_GE(moverPort->roll, 0.0f);
        EXPECT_LT(moverPort->roll, 360.0f);
        EXPECT_EQ(mover->sim->velocity.y, 2000.0f);
    }
}

TEST_F(Docking, UndockPushesApartAndFollowsUpAfter500Centiseconds) {
    Pair();
    host->sim->flight->p1 = 1000.0f;  // the mover has the stronger engine
    ASSERT_EQ(dunDockShips(mover, host, moverPort, hostPort, 0), 0xFF);
    host->sim->velocity = {0.0f, 0.0f, 50.0f};
    dunUndock(mover);
    EXPECT_EQ(mover->simulator, dunFlyShip);
    EXPECT_EQ(hostPort->flags & (PortFlag::Docked | PortFlag::Mover), 0u);
    EXPECT_EQ(moverPort->partner, nullptr);
    // Pushed away from the host along the host's port (radius / 10 + thrust).
    EXPECT_FLOAT_EQ(mover->sim->velocity.z, 50.0f + 10.0f + 7000.0f);
    EXPECT_TRUE(mover->sim->flags & SimFlag::LdsBlocked);
    EXPECT_EQ(fakes.Find("missionLogAdd", 1)->a, 5);
    EXPECT_EQ(mover->avatar->partner, host);
    while (dunGameClock < 490) Frame();
    EXPECT_EQ(mover->avatar->partner, host);
    EXPECT_TRUE(mover->sim->flags & SimFlag::LdsBlocked);
    while (dunGameClock < 510) Frame();
    EXPECT_EQ(mover->avatar->partner, nullptr);
    EXPECT_EQ(host->avatar->partner, nullptr);
    EXPECT_FALSE(mover->sim->flags & SimFlag::LdsBlocked);
    EXPECT_GT(mover->sim->position.z - host->sim->position.z, 2000.0 + 30000.0);
}

TEST_F(Docking, ADeletedPartnerReleasesThePort) {
    for (const bool deleteHost : {true, false}) {
        dunResetWorld();
        Pair();
        ASSERT_EQ(dunDockShips(mover, host, moverPort, hostPort, 0), 0xFF);
        SceneItem *gone = deleteHost ? host : mover;
        SceneItem *stays = deleteHost ? mover : host;
        DockingPort *staysPort = deleteHost ? moverPort : hostPort;
        dunDeleteSceneItem(gone);
        EXPECT_EQ(stays->simulator, dunFlyShip);
        EXPECT_EQ(stays->avatar->dockPort, nullptr);
        EXPECT_EQ(staysPort->flags & (PortFlag::Docked | PortFlag::Mover), 0u);
        EXPECT_EQ(staysPort->partner, nullptr);
        EXPECT_EQ(dunGetDockedPartner(stays), nullptr);
        // The deleted ship's ports go back to the pool.
        EXPECT_EQ((deleteHost ? hostPort : moverPort)->flags & PortFlag::InUse, 0u);
        // A new object in the freed records is never followed.
        SceneItem *reuse = Ship(5e6, 0, 0);
        (void)reuse;
        const double z = stays->sim->position.z;
        Frame();
        EXPECT_DOUBLE_EQ(stays->sim->position.z, z);
    }
}

TEST_F(Docking, ReplacementModelMergesTheShips) {
    Pair();
    static int model;
    hostPort->replacement = reinterpret_cast<vt_model *>(&model);
    dunPlayerShip = dunControlledObject = host;
    ASSERT_EQ(dunDockShips(mover, host, moverPort, hostPort, 0), 0xFF);
    // The host's port held the model: the host goes, the mover stays as the
    // player's ship with the model.
    EXPECT_EQ(dunPlayerShip, mover);
    EXPECT_EQ(dunControlledObject, mover);
    EXPECT_EQ(moverPort->savedControl, dunControlPlayer);
    EXPECT_EQ(moverPort->savedSimulator, dunFlyShip);
    ASSERT_NE(fakes.Find("setObjectModel"), nullptr);
    EXPECT_EQ(fakes.Find("setObjectModel")->item, mover);
    EXPECT_EQ(fakes.Find("removeVitalObject")->item, host);
    EXPECT_EQ(fakes.Find("moveHudRecord")->other, mover);
    Frame();
    EXPECT_FALSE(host->flags & SceneFlag::InUse);
}

TEST_F(Docking, TakenInShipsAreDeleted) {
    Pair();
    moverPort->flags |= PortFlag::TakenIn;
    ASSERT_EQ(dunDockShips(mover, host, moverPort, hostPort, 0), 0xFF);
    EXPECT_FALSE(mover->flags & SceneFlag::InUse);
    EXPECT_EQ(host->simulator, dunFlyShip);
    EXPECT_EQ(hostPort->flags & PortFlag::Docked, 0u);
}

TEST_F(Docking, PairingTakesTheFewestMaskBits) {
    SceneItem *a = Ship(), *b = Ship();
    dunAddDockingPort(a, PortFlag::Open, 0x7, 0, 0, 0, 0, 0, 0, 10);
    dunAddDockingPort(a, PortFlag::Open, 0x2, 0, 0, 0, 0, 0, 0, 10);
    dunAddDockingPort(a, PortFlag::Open, 0x2, 0, 0, 0, 0, 0, 0, 10);
    dunAddDockingPort(b, PortFlag::Open, 0x3, 0, 0, 0, 0, 0, 0, 10);
    dunAddDockingPort(b, 0, 0x2, 0, 0, 0, 0, 0, 0, 10);  // closed
    int i = -1, j = -1;
    dunPairDockingPorts(a, b, &i, &j);
    EXPECT_EQ(i, 1);  // the first of the two equal pairs
    EXPECT_EQ(j, 0);
    EXPECT_TRUE(dunGetDockingPort(a, 1)->flags & PortFlag::Reserved);
    // Given indices past the end or of a closed port are not used; pairing
    // the same two ships again releases their reservations first.
    int k = 9, l = 1;
    dunPairDockingPorts(a, b, &k, &l);
    EXPECT_EQ(k, 1);
    EXPECT_EQ(l, 0);
    int m = 0, n = 0;
    dunPairDockingPorts(a, b, &m, &n);
    EXPECT_EQ(m, 0);
    EXPECT_EQ(n, 0);
    dunReleaseDockingPorts(a, b);
    EXPECT_FALSE(dunGetDockingPort(a, 1)->flags & PortFlag::Reserved);
    EXPECT_EQ(dunCountBits(0xF0F0u), 8);
}
