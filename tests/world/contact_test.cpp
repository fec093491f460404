#include <cmath>
#include <vector>

#include "collision_fixture.h"
#include "core/frame.h"
#include "world/contact.h"
#include "world/flight.h"
#include "world/handle.h"

namespace {

class ContactTest : public CollisionTest {
protected:
    void SetUp() override {
        CollisionTest::SetUp();
        dunCollisionDamage = 0xFF;
        dunImpactJolt = 0;
        dunGravityImpacts = 0;
        fakes.postDamage = true;
    }
    // A ship of a side with mass 1000, radius 100 and ram figures.
    static SceneItem *ShipAt(double x, float vx, uint32_t side = 0x40) {
        SceneItem *it = Body(x, 0, 0, 100.0f);
        it->avatar->root->flags |= TDPFlag::SpheresOnly;
        it->avatar->contactHandler = dunCollideShips;
        it->avatar->flags |= side;
        it->sim->velocity = {vx, 0, 0};
        it->sim->mass = 1000.0f;
        ShipInfo *s = it->sim->shipInfo = dunAllocShipInfo();
        s->ramMass = 300;
        s->ramBonus = 0;
        s->hullStrength = 100;
        return it;
    }
    static int16_t Touch(ContactHandler h, SceneItem *self, SceneItem *other, int16_t handled = 0) {
        float point[3] = {0, 0, 0};
        h(self, self->avatar->root, other, other->avatar->root, &handled, point);
        return handled;
    }
    static std::vector<uint16_t> TypesFor(SceneItem *item) { return TypesDue(item); }
};

}  // namespace

TEST_F(ContactTest, TwoRammingShipsSeparateAndBothTakeDamage) {
    SceneItem *a = ShipAt(0, 2000.0f, 0x40);
    SceneItem *b = ShipAt(150, -2000.0f, 0x80);
    dunFrameSeconds = 0.1f;
    dunCollisionPass();
    // Pushed apart along the relative velocity by the sum of the radii
    // (less than 4000 x 0.1 x 1.2), then each takes back the other's share.
    EXPECT_DOUBLE_EQ(a->sim->position.x, -200.0);
    EXPECT_DOUBLE_EQ(b->sim->position.x, 350.0);
    EXPECT_FLOAT_EQ(a->sim->velocity.x, 1000.0f);
    EXPECT_FLOAT_EQ(b->sim->velocity.x, -1000.0f);
    ASSERT_EQ(fakes.Count("impactFromCollision"), 2);
    EXPECT_FLOAT_EQ(fakes.Find("impactFromCollision", 0)->point.x, 150.0f);
    EXPECT_FLOAT_EQ(fakes.Find("impactFromCollision", 1)->point.x, -150.0f);
    // The hits come by message 4 cs later, each naming the other as attacker.
    dunGameClock += 4;
    dunRunMessageHandlers();
    ASSERT_EQ(fakes.Count("shipHit"), 2);
    for (int i = 0; i < 2; ++i) {
        const FakeCall *hit = fakes.Find("shipHit", i);
        EXPECT_EQ(hit->record.damage, int32_t(300 * (4000.0f / 30000.0f)));
        EXPECT_EQ(hit->record.secondTerm, 70);
        EXPECT_EQ(dunItemFromHandle(hit->record.attacker), hit->item == a ? b : a);
    }
}

TEST_F(ContactTest, LaterPairsSeeWhereAContactPushedAShip) {
    SceneItem *a = ShipAt(0, 2000.0f, 0x40);
    SceneItem *b = ShipAt(150, -2000.0f, 0x80);
    SceneItem *c = ShipAt(500, 0.0f, 0x80);
    dunFrameSeconds = 0.1f;
    dunCollisionPass();
    // b, pushed from 150 to 350, now touches c at 500.
    ASSERT_EQ(fakes.Count("impactFromCollision"), 4);
    EXPECT_EQ(fakes.Find("impactFromCollision", 2)->item, b);
    EXPECT_EQ(fakes.Find("impactFromCollision", 2)->other, c);
    (void)a;
}

TEST_F(ContactTest, ShipContactCases) {
    struct Case {
        const char *name;
        void (*setup)(SceneItem *a, SceneItem *b);
        float va, vb;          // velocities after
        int hits, anonymous;   // damage messages with and without attacker
        int32_t damage;        // of the first message
    };
    const Case cases[] = {
        {"at rest: met at 1000", [](SceneItem *a, SceneItem *b) { a->sim->velocity.x = b->sim->velocity.x = 0.0f; },
         -250.0f, 250.0f, 2,
         0, 10},
        {"same side: no attacker", [](SceneItem *, SceneItem *b) { b->avatar->flags = (b->avatar->flags & ~0x1FC0u) | 0x40; },
         1000.0f, -1000.0f, 0, 2, 40},
        {"collisions option 1: no damage", [](SceneItem *, SceneItem *) { dunCollisionDamage = 0; }, 2000.0f,
         -2000.0f, 0, 0, 0},
        {"both in LDS: separation only",
         [](SceneItem *a, SceneItem *b) {
             a->sim->flags |= SimFlag::Lds;
             b->sim->flags |= SimFlag::Lds;
         },
         2000.0f, -2000.0f, 0, 0, 0},
        {"factor capped at 10 before the shield",
         [](SceneItem *a, SceneItem *b) {
             a->sim->velocity.x = 1e6f;
             b->sim->velocity.x = -1e6f;
             b->sim->flags |= SimFlag::TimedState | SimFlag::Shielded;
         },
         1e6f, -1e6f, 2, 0, 3000 / 50},
        {"no mass: no exchange, damage by mass 0", [](SceneItem *a, SceneItem *b) {
             a->sim->mass = 0.0f;
             b->sim->mass = 0.0f;
             a->sim->shipInfo = nullptr;
         },
         2000.0f, -2000.0f, 2, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        dunResetWorld();
        fakes.calls.clear();
        dunCollisionDamage = 0xFF;
        SceneItem *a = ShipAt(0, 2000.0f, 0x40);
        SceneItem *b = ShipAt(150, -2000.0f, 0x80);
        c.setup(a, b);
        Touch(dunCollideShips, a, b);
        EXPECT_FLOAT_EQ(a->sim->velocity.x, c.va);
        EXPECT_FLOAT_EQ(b->sim->velocity.x, c.vb);
        EXPECT_LE(a->sim->position.x, 0.0);  // pushed apart along any relative velocity
        EXPECT_EQ(fakes.Count("sendRelativePosition"), c.hits);
        EXPECT_EQ(fakes.Count("sendRelativePosition2"), c.anonymous);
        const FakeCall *first = fakes.Find(c.hits ? "sendRelativePosition" : "sendRelativePosition2");
        if (first) {
            EXPECT_EQ(first->a, c.damage);
        }
    }
}

TEST_F(ContactTest, BounceStateBouncesTheControlledObjectTwiceAsHard) {
    SceneItem *a = ShipAt(0, 0.0f);
    SceneItem *b = ShipAt(150, 0.0f);
    a->sim->flags |= SimFlag::TimedState;
    dunControlledObject = a;
    dunCollisionDamage = 0;
    Touch(dunCollideShips, a, b);
    EXPECT_EQ(dunImpactJolt, 127);
    EXPECT_FLOAT_EQ(a->sim->velocity.x, -500.0f);
    EXPECT_FLOAT_EQ(b->sim->velocity.x, 500.0f);
    // Without the controlled object and with no special side: no bounce.
    dunControlledObject = nullptr;
    a->sim->velocity = b->sim->velocity = {};
    Touch(dunCollideShips, a, b);
    EXPECT_EQ(a->sim->velocity.x, 0.0f);
    // The first handler of a contact acts; the second sees it handled.
    EXPECT_EQ(Touch(dunCollideShips, a, b, 1), 1);
    dunControlledObject = nullptr;
}

TEST_F(ContactTest, PlasmaBallAndBounceRemoval) {
    SceneItem *ball = Body(0, 0, 0, 30.0f);
    SceneItem *ship = ShipAt(10, 0.0f);
    fakes.postDamage = false;
    EXPECT_EQ(Touch(dunContactPlasmaBall, ball, ship), 1);
    Touch(dunContactPlasmaBall, ball, ship, 1);
    ASSERT_EQ(fakes.Count("sendRelativePosition"), 1);
    EXPECT_EQ(fakes.Find("sendRelativePosition")->a, 100000000);
    EXPECT_EQ(fakes.Find("sendRelativePosition")->b, 100);

    SceneItem *bay = Body(0, 0, 0, 100.0f);
    bay->avatar->contactPartMask = 0x1000;
    Touch(dunContactBounce, bay, ship);
    EXPECT_EQ(TypesFor(ship), std::vector<uint16_t>{MsgRemove});
    EXPECT_EQ(dunImpactJolt, 160);
    EXPECT_EQ(bay->avatar->contactPartMask, 0u);
}

TEST_F(ContactTest, ACrashIntoABodyIsLoggedAndCountedOnce) {
    SceneItem *planet = Body(0, 0, 0, 10000.0f);
    planet->avatar->contactHandler = dunContactGravityBody;
    planet->avatar->waypointName = "Rhea";
    SceneItem *ship = ShipAt(4000, 0.0f);
    ship->sim->shipInfo->name = "Kestrel";
    // Deep inside: every step touches it again until the destruction lands.
    for (int step = 0; step < 3; ++step) {
        dunResetFrameFlags();
        Touch(dunContactGravityBody, planet, ship);
    }
    EXPECT_EQ(dunGravityImpacts, 1);
    ASSERT_EQ(fakes.Count("missionLogAdd"), 1);
    EXPECT_EQ(fakes.Find("missionLogAdd")->a, 6);
    EXPECT_EQ(fakes.Find("missionLogAdd")->text, "Kestrel/Rhea");
    EXPECT_TRUE(ship->flags & SceneFlag::InGravityWell);
    EXPECT_TRUE(ship->flags & SceneFlag::InAtmosphere);
    EXPECT_EQ(ship->sim->gravity.body, planet);
    EXPECT_FLOAT_EQ(ship->sim->gravity.depth, 4000.0f - 5000.0f);
    EXPECT_FLOAT_EQ(ship->sim->gravity.direction.x, -1.0f);
    EXPECT_EQ(TypesFor(ship), std::vector<uint16_t>{MsgDestroyed});

    // High in the well: no crash, no atmosphere.
    SceneItem *high = ShipAt(9000, 0.0f);
    Touch(dunContactGravityBody, planet, high);
    EXPECT_TRUE(high->flags & SceneFlag::InGravityWell);
    EXPECT_FALSE(high->flags & SceneFlag::InAtmosphere);
    EXPECT_EQ(dunGravityImpacts, 1);
}

TEST_F(ContactTest, TheRepulsionShellPushesAndShakesThePlayer) {
    SceneItem *shell = Body(0, 0, 0, 30.0f);
    shell->sim->mass = 10000.0f;
    SceneItem *player = ShipAt(60, 0.0f);
    player->sim->radius = 20.0f;
    player->sim->mass = 50.0f;  // below 100: counts as 100
    dunPlayerShip = player;
    dunFrameSeconds = 0.1f;
    Touch(dunContactProjectile, shell, player);
    // f = (300000 - 60) / 15000 = 19.996 x 1, capped at 1000, times 0.1.
    const float f = float((300000.0 - 60.0) / 15000.0) * 0.1f;
    EXPECT_NEAR(player->sim->velocity.x, f * 150.0f * 2000.0f / 100.0f, 0.01f);
    EXPECT_EQ(TypesFor(player), std::vector<uint16_t>{MsgViewShake});
    // A partnered object is not pushed.
    player->sim->velocity = {};
    player->avatar->partner = shell;
    Touch(dunContactProjectile, shell, player);
    EXPECT_EQ(player->sim->velocity.x, 0.0f);
    dunPlayerShip = nullptr;
}

TEST_F(ContactTest, TheStunLastsByTheShipsSize) {
    struct Case {
        float radius;
        int ms;  // the stun in centiseconds, 0 for none
    };
    const Case cases[] = {{100.0f, 3000}, {11700.0f, 2000}, {117000.0f, 0}, {0.0f, 3000}};
    for (const Case &c : cases) {
        fakes.calls.clear();
        SceneItem *round = Body(0, 0, 0, 5.0f);
        SceneItem *ship = ShipAt(10, 0.0f);
        ship->sim->radius = c.radius;
        dunGameClock = 100;
        Touch(dunContactExplode, round, ship);
        EXPECT_EQ((ship->sim->flags & SimFlag::AiPaused) != 0, c.ms > 0) << c.radius;
        EXPECT_EQ(fakes.Count("createParticleSystem"), c.ms > 0 ? 1 : 0) << c.radius;
        if (c.ms > 0) {
            EXPECT_EQ(fakes.Find("createParticleSystem")->b, c.ms);
            dunGameClock = 100 + c.ms - 1;
            MsgRecord m;
            EXPECT_FALSE(dunMsgReceive(ship->receiverId, &m));
            dunGameClock = 100 + c.ms;
            ASSERT_TRUE(dunMsgReceive(ship->receiverId, &m));
            EXPECT_EQ(m.header.type, MsgRelease);
        }
        EXPECT_EQ(TypesFor(round), std::vector<uint16_t>{MsgRemove});
    }
}

TEST_F(ContactTest, AnImpactHandsItsPartOverAndReleasesTheRest) {
    SceneItem *round = Body(0, 0, 50, 5.0f);
    TDP *part = round->avatar->root;
    TDP *below = dunAddChildTDP(part, nullptr, 1, 0, 0);
    TDP *belowThat = dunAddChildTDP(below, nullptr, 1, 0, 0);
    SceneItem *ship = ShipAt(0, 0.0f);
    TDP *existing = dunAddChildTDP(ship->avatar->root, nullptr, 0, 0, 0);
    Touch(dunContactImpact, round, ship);
    EXPECT_EQ(round->avatar->root, nullptr);
    EXPECT_EQ(existing->sibling, part);
    EXPECT_EQ(part->owner, ship);
    EXPECT_EQ(part->child, nullptr);
    EXPECT_EQ(part->sibling, nullptr);
    EXPECT_FLOAT_EQ(part->offset.z, 50.0f);
    EXPECT_FALSE(below->flags & TDPFlag::InUse);
    EXPECT_FALSE(belowThat->flags & TDPFlag::InUse);
    EXPECT_TRUE(ship->avatar->flags16 & AvatarState::DoubledSpeed);
    EXPECT_EQ(TypesFor(round), std::vector<uint16_t>{MsgRemove});
    // Deleting both releases everything: the pool is whole again.
    dunDeleteSceneItem(round);
    dunDeleteSceneItem(ship);
    int inUse = 0;
    for (const TDP &n : dunTDPPool) inUse += (n.flags & TDPFlag::InUse) != 0;
    EXPECT_EQ(inUse, 0);
}

TEST_F(ContactTest, DestroyAndEffectHandlers) {
    SceneItem *mine = Body(0, 0, 0, 5.0f);
    SceneItem *ship = ShipAt(10, 300.0f);
    ship->sim->mass = 777.0f;
    mine->avatar->contactHandler = dunContactDestroy;
    Touch(dunContactDestroy, mine, ship);
    EXPECT_EQ(mine->avatar->contactHandler, nullptr);
    MsgRecord m;
    ASSERT_TRUE(dunMsgReceive(mine->receiverId, &m));
    DamageRecord r;
    ASSERT_TRUE(dunReadDamageRecord(&m, &r));
    EXPECT_EQ(m.header.type, MsgDestroyed);
    EXPECT_EQ(dunNodeFromHandle(r.word0), mine->avatar->root);
    EXPECT_EQ(r.point.x, 10.0f);
    EXPECT_EQ(r.velocity.x, 300.0f);
    EXPECT_EQ(r.mass, 777.0f);
    EXPECT_EQ(dunItemFromHandle(r.attacker), ship);

    SceneItem *beam = Body(0, 0, 0, 5.0f);
    beam->avatar->flags |= AvatarFlag::BeamRound;
    SceneItem *target = Body(0, 0, 0, 40.0f);
    int16_t handled = 0;
    float point[3] = {0, 3, 4};
    dunContactEffect(target, target->avatar->root, beam, beam->avatar->root, &handled, point);
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(TypesFor(beam), std::vector<uint16_t>{MsgRemove});
    ASSERT_EQ(fakes.Count("flashNavLight"), 1);
    EXPECT_FLOAT_EQ(fakes.Find("flashNavLight")->point.z, 32.0f);
}

TEST_F(ContactTest, ABayCarriesWhatTouchesItsInside) {
    SceneItem *bay = Body(0, 0, 0, 600.0f);
    SceneItem *shuttle = ShipAt(50, 0.0f);
    SceneItem *docked = ShipAt(5000, 0.0f);
    static DockingPort port;
    port = {};
    port.partner = docked;
    bay->sim->shipInfo = dunAllocShipInfo();
    bay->sim->shipInfo->ports = &port;
    bay->avatar->contactPartMask = 0x1000;
    EXPECT_EQ(Touch(dunContactScripted, bay, shuttle), 1);
    EXPECT_EQ(shuttle->sim->host, bay);
    EXPECT_TRUE(shuttle->sim->flags & SimFlag::Carried);
    EXPECT_EQ(TypesFor(docked), std::vector<uint16_t>{MsgDestroyed});
    EXPECT_EQ(bay->avatar->contactPartMask, 0u);
    // A ray part is not carried.
    SceneItem *bolt = Body(20, 0, 0, 1.0f);
    bolt->avatar->root->flags |= TDPFlag::RayNode;
    EXPECT_EQ(Touch(dunContactScripted, bay, bolt), 0);
    EXPECT_EQ(bolt->sim->host, nullptr);
}

TEST_F(ContactTest, TouchingAnotherStarsBodyArmsTheCapsuleJump) {
    SceneItem *body = Body(0, 0, 0, 1000.0f);
    body->avatar->starCode = 7;
    SceneItem *player = ShipAt(10, 0.0f);
    player->sim->flight = &player->sim->shipInfo->current;
    player->sim->flight->tail[2] = 100.0f;
    dunPlayerShip = player;
    dunCapsuleJumpSwitch = 1;
    dunCurrentStarCode = 3;
    dunCapsuleStarCode = 0;
    fakes.starLogFormat = "Star %s %s%n";  // a data text: never a format
    EXPECT_EQ(Touch(dunContactLogBody, body, player), 1);
    EXPECT_EQ(dunLastTouchedBody, body);
    EXPECT_EQ(dunCapsuleStarCode, 7);
    ASSERT_EQ(fakes.Count("missionLogAddText"), 1);
    EXPECT_EQ(fakes.Find("missionLogAddText")->text, "Star  %s%n");
    EXPECT_TRUE(player->flags & SceneFlag::TouchingBody);
    // Not in systems 21 and 26, nor for a ship that cannot jump.
    player->flags &= ~SceneFlag::TouchingBody;
    body->systemNumber = 21;
    Touch(dunContactLogBody, body, player);
    EXPECT_FALSE(player->flags & SceneFlag::TouchingBody);
    body->systemNumber = 0;
    player->sim->shipInfo->capsule = 64;
    Touch(dunContactLogBody, body, player);
    EXPECT_FALSE(player->flags & SceneFlag::TouchingBody);
    dunPlayerShip = nullptr;
    dunCapsuleJumpSwitch = 0;
    dunCurrentStarCode = dunCapsuleStarCode = 0;
    dunLastTouchedBody = nullptr;
}

TEST_F(ContactTest, UnseenObjectsAreRemovedTheSeenPlayerIsNot) {
    SceneItem *far = ShipAt(0, 0.0f);
    far->avatar->root->viewPosition.z = 100000.0f;  // 100 x 900 / 1e5 = 0.9: too small
    DamageRecord r = {};
    dunApplyDamage(far, &r);
    EXPECT_EQ(TypesFor(far), std::vector<uint16_t>{MsgRemove});
    SceneItem *player = ShipAt(0, 0.0f);
    dunPlayerShip = player;
    dunApplyDamage(player, &r);
    EXPECT_TRUE(TypesFor(player).empty());
    dunPlayerShip = nullptr;
}
