#include <cmath>
#include <cstring>
#include <string>

#include "universe_fixture.h"
#include "world/asteroids.h"
#include "world/contact.h"
#include "world/flight.h"
#include "world/objlist.h"
#include "world/objroutines.h"
#include "world/pools.h"
#include "world/services.h"

namespace {

class Belts : public UniverseTest {
protected:
    static SceneItem *At(double x, double y, double z) {
        SceneItem *o = MakeObject();
        o->sim->position = {x, y, z};
        return o;
    }
    static int Asteroids() {
        int n = 0;
        SceneItem *head = dunSceneListHead();
        for (SceneItem *o = head->next; o != head; o = o->next) n += (o->flags & SceneFlag::Asteroid) != 0;
        return n;
    }
};

}  // namespace

// The ring's sizes: a sixth of the radius up to 1e10, then 1e9; 1e17 in
// system 2; round a system's root 5e11 both ways; a ninth ring is ignored.
TEST_F(Belts, RingSizes) {
    SceneItem *c = At(0, 0, 0);
    const struct {
        float radius;
        int system;
        bool root;
        float w, v;
    } cases[] = {
        {6e9f, 1, false, 1e9f, 1e8f},  {3e10f, 1, false, 1e9f, 1e8f}, {6e9f, 2, false, 1e17f, 1e16f},
        {6e9f, 1, true, 5e11f, 5e11f}, {6e9f, 2, true, 5e11f, 5e11f},
    };
    for (const auto &k : cases) {
        dunBeltCount = 0;
        dunCurrentSystem = uint16_t(k.system);
        dunRegisterBelt(k.radius, c, k.root);
        EXPECT_FLOAT_EQ(dunBelts[0].halfWidth, k.w) << k.radius << " " << k.system << k.root;
        EXPECT_FLOAT_EQ(dunBelts[0].halfThickness, k.v) << k.radius << " " << k.system << k.root;
    }
    dunBeltCount = 0;
    for (int i = 0; i < 9; ++i) dunRegisterBelt(1e9f + float(i), c, false);
    EXPECT_EQ(dunBeltCount, 8);
    EXPECT_EQ(dunBelts[7].radius, 1e9f + 7.0f);
}

// The nearest ring wins only by more than 2e7; inside means within W of the
// ring and |y| below V (the object's own y, not its height over the centre).
TEST_F(Belts, NearestBeltAndInside) {
    SceneItem *c1 = At(0, 0, 0), *c2 = At(0, 0, 0);
    dunRegisterBelt(1e9f, c1, false);  // W 1.67e8, V 1.67e7
    dunRegisterBelt(1.03e9f, c2, false);
    const struct {
        double x, y;
        int belt;
        bool inside;
    } cases[] = {
        {1.02e9, 0, 0, true},  // 1e7 nearer the second ring: the first stays
        {1.035e9, 0, 1, true},  // 3e7 nearer the second
        {1.0e9, 2e7, 0, false},  // above the ring plane by more than V
        {1.0e9, -1e7, 0, true}, {2.0e9, 0, 1, false},  // far out: nearest, not inside
    };
    for (const auto &k : cases) {
        SceneItem *o = At(k.x, k.y, 0);
        uint8_t inside = 0;
        Vec3 towards = {};
        EXPECT_EQ(dunNearestBelt(o, &inside, &towards), k.belt) << k.x << " " << k.y;
        EXPECT_EQ(inside != 0, k.inside) << k.x << " " << k.y;
        dunDeleteSceneItem(o);
    }
    // The per-frame check keeps the tracked object's flag.
    SceneItem *player = Player();
    player->sim->position = {1.0e9, 0, 0};
    dunTrackPlayerInBelts();
    dunUpdateBelts();
    EXPECT_TRUE(player->flags & SceneFlag::InBelt);
    player->sim->position = {1.0e9, 1e9, 0};
    dunUpdateBelts();
    EXPECT_FALSE(player->flags & SceneFlag::InBelt);
    dunClearBeltTracking();
    player->sim->position = {1.0e9, 0, 0};
    dunUpdateBelts();
    EXPECT_FALSE(player->flags & SceneFlag::InBelt);
}

// An asteroid deleted in the player's system is replaced by exactly one;
// in another system it is not.
TEST_F(Belts, DeletedAsteroidsAreReplaced) {
    Player();
    dunCreateAsteroids(dunPlayerShip, 3);
    ASSERT_EQ(Asteroids(), 3);
    SceneItem *head = dunSceneListHead();
    SceneItem *rock = nullptr;
    for (SceneItem *o = head->next; o != head && !rock; o = o->next)
        if (o->flags & SceneFlag::Asteroid) rock = o;
    dunDeleteSceneItem(rock);
    EXPECT_EQ(Asteroids(), 3);
    for (SceneItem *o = head->next; o != head; o = o->next)
        if (o->flags & SceneFlag::Asteroid) rock = o;
    rock->systemNumber = 7;
    dunDeleteSceneItem(rock);
    EXPECT_EQ(Asteroids(), 2);
}

// What an asteroid is: a class drawn among the loaded models, its mass and
// hull by class, how far it may stray, and it follows the player's ship.
TEST_F(Belts, AsteroidSetUp) {
    SceneItem *player = Player();
    for (int i = 0; i < 40; ++i) {
        SceneItem *a = dunCreateAsteroid();
        ASSERT_NE(a, nullptr);
        const TDP *root = a->avatar->root;
        const int k = root->radius == 3000.0f ? 0 : root->radius == 45000.0f ? 1 : 2;
        EXPECT_EQ(a->sim->mass, float((k + 1) * (k + 1) * 500));
        EXPECT_EQ(a->sim->hull, (k + 1) * (k + 1) * 5);
        EXPECT_EQ((a->flags & SceneFlag::RecordsNearest) != 0, k > 0);
        EXPECT_EQ(a->flags & 0x804, 0x804u);
        EXPECT_EQ(a->avatar->channelValues[0], std::min(int(root->radius * 320 / 5), 5000000));
        EXPECT_EQ(a->avatar->beltAnchor, player);
        EXPECT_EQ(a->sim->goal, player);
        EXPECT_EQ(a->control, dunControlAsteroid);
        EXPECT_TRUE(root->flags & TDPFlag::AsteroidRoot);
        EXPECT_NE(root->model, nullptr);
    }
    EXPECT_EQ(fakes.Count("loadModel"), 3);  // once a run
}

// A model that fails to load leaves its class out: the draw picks among
// the others, and with none loaded nothing is made.
TEST_F(Belts, MissingAsteroidModels) {
    static const char *missing = nullptr;
    const WorldPresentHooks *fake = &dunPresent();
    WorldPresentHooks hooks = *fake;
    hooks.loadModel = [](const char *name) -> void * {
        static int model;
        return missing && std::strstr(name, missing) ? nullptr : &model;
    };
    WorldSetPresentHooks(&hooks);
    Player();
    missing = "Medium";
    dunForgetAsteroidModels();
    for (int i = 0; i < 30; ++i) {
        SceneItem *a = dunCreateAsteroid();
        ASSERT_NE(a, nullptr);
        EXPECT_NE(a->avatar->root->radius, 45000.0f);
    }
    EXPECT_EQ(dunAsteroidClassCount, 2);
    missing = "Asteroid";
    dunForgetAsteroidModels();
    EXPECT_EQ(dunCreateAsteroid(), nullptr);
    missing = nullptr;
    WorldSetPresentHooks(fake);
}

// A belt-tracked ship is put somewhere new instead of going.
TEST_F(Belts, RecycledBeltShip) {
    Player();
    SceneItem *ship = MakeObject();
    ship->sim->shipInfo = dunAllocShipInfo();
    ship->sim->shipInfo->damage.damage = 40;
    ship->flags |= SceneFlag::BeltTracked;
    ship->sim->velocity = {5, 5, 5};
    ship->sim->goal = dunPlayerShip;
    ship->avatar->channelValues[0] = 100000;
    const uint32_t receiver = ship->receiverId;
    dunDeleteSceneItem(ship);
    EXPECT_TRUE(ship->flags & SceneFlag::InUse);
    EXPECT_TRUE(dunIsInSceneList(ship));
    EXPECT_EQ(ship->sim->goal, nullptr);
    EXPECT_EQ(ship->sim->velocity.x, 0.0f);
    EXPECT_EQ(ship->sim->shipInfo->damage.damage, 0);
    EXPECT_NE(ship->receiverId, receiver);
    ASSERT_NE(fakes.Find("startOrder"), nullptr);
    EXPECT_EQ(fakes.Find("startOrder")->item, ship);
    EXPECT_EQ(fakes.Find("startOrder")->a, 1);
}

// A field of rocks or mines round a cloud at its centre.
TEST_F(Belts, RockAndMineFields) {
    SceneItem *player = Player();
    SceneItem *centre = dunCreateSolarBody(1, {1000, 2000, 3000}, {10000, 10000, 10000}, 0.5f, 100, 4);
    ASSERT_NE(centre, nullptr);
    EXPECT_EQ(centre->sim->position.z, 3000.0);
    EXPECT_EQ(fakes.Find("spawnParticleCloud")->a, 100);
    EXPECT_TRUE(centre->avatar->root->flags & TDPFlag::Particle);
    EXPECT_FALSE(centre->avatar->root->flags & TDPFlag::Collidable);
    EXPECT_EQ(centre->avatar->root->routine, FakeSoftParticles);
    int rocks = 0, mines = 0;
    SceneItem *head = dunSceneListHead();
    for (SceneItem *o = head->next; o != head; o = o->next) {
        if (o->simulator == dunSimRock) {
            ++rocks;
            EXPECT_EQ(o->sim->mass, 35000.0f);
            EXPECT_EQ(o->sim->hull, 3000);
            EXPECT_EQ(o->control, dunAimAtGoal);
            EXPECT_GE(o->yawSpin, -2.0f);
            EXPECT_LE(o->yawSpin, 2.0f);
            EXPECT_EQ(o->yawSpin, std::floor(o->yawSpin));
            EXPECT_TRUE(o->flags & SceneFlag::BeltTracked);
            EXPECT_EQ(o->avatar->beltAnchor, player);
        }
    }
    EXPECT_EQ(rocks, 4);
    dunCreateSolarBody(0, {0, 0, 0}, {5000, 5000, 5000}, 0.5f, 10, 2);
    for (SceneItem *o = head->next; o != head; o = o->next) {
        if (o->simulator != dunFlyShip) continue;
        ++mines;
        const ShipInfo *info = o->sim->shipInfo;
        ASSERT_NE(info, nullptr);
        EXPECT_STREQ(info->name, "Mine");
        EXPECT_STREQ(info->className, "MX-0");
        EXPECT_EQ(info->typeCode, 11);
        EXPECT_EQ(o->avatar->flags & 0x50, 0x50u);
        EXPECT_EQ(o->flags & 0x206, 0x206u);
        EXPECT_EQ(o->sim->fuel, 5000);
        EXPECT_EQ(o->sim->flight->p1, 4800.0f);
        EXPECT_EQ(o->control, FakeThinkSimple);
        EXPECT_EQ(o->sim->goal, nullptr);
        EXPECT_EQ(o->avatar->contactHandler, nullptr);
    }
    EXPECT_EQ(mines, 2);
    EXPECT_EQ(fakes.Count("setUpMineOrders"), 2);
    EXPECT_EQ(fakes.Find("addNavLights")->a, 11);
}

// A count or density of 0 divides nothing: no pieces, or pieces of a size.
TEST_F(Belts, EmptyFields) {
    Player();
    SceneItem *none = dunCreateSolarBody(1, {0, 0, 0}, {100, 100, 100}, 0.5f, 10, 0);
    ASSERT_NE(none, nullptr);
    dunCreateSolarBody(1, {0, 0, 0}, {100, 100, 100}, 0.5f, 0, 3);
    SceneItem *head = dunSceneListHead();
    int rocks = 0;
    for (SceneItem *o = head->next; o != head; o = o->next)
        if (o->simulator == dunSimRock) {
            ++rocks;
            EXPECT_GT(o->avatar->channelValues[0], 0);
        }
    EXPECT_EQ(rocks, 3);
}

// A free object goes at its first hit (hull 0, as the units stand).
TEST_F(Belts, FreeObject) {
    Player();
    SceneItem *o = dunCreateFreeObject(0, nullptr);
    ASSERT_NE(o, nullptr);
    EXPECT_LE(o->sim->mass, 12000.0f);
    EXPECT_EQ(o->sim->hull, 0);
    EXPECT_EQ(o->sim->goal, dunPlayerShip);
    EXPECT_EQ(o->avatar->contactHandler, dunCollideShips);
    EXPECT_EQ(fakes.Find("addToScene")->a, 2);
}
