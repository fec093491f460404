// Fire control: why a weapon does not fire, the reload a shot leaves, the
// lead with its skill jitter, the straight-out directions, the mount
// sectors, automatic fire at a wreck, the searches' masks, the sensor's
// bounded noise, the side counts and the arc outline.
#include <cmath>

#include "RES/util.h"
#include "ai/combat.h"
#include "ai/weapons.h"
#include "ai_fixture.h"
#include "core/frame.h"
#include "present/views.h"
#include "world/msghandler.h"
#include "world/services.h"
#include "world/step.h"

namespace {

using ruvotest::AiShip;

class Fire : public testing::Test {
protected:
    SceneItem *ship = nullptr;
    void SetUp() override {
        ship = AiShip();
        ship->avatar->flags = AvatarFlag::Ship | 0x80;
        dunControlledObject = nullptr;
        dunRapidBeamMode = 0;
        StationId = 0;
        dunFrozen = 0;
        dunFrameStep = 2;
        dunFrameSeconds = 0.02f;
    }
    void TearDown() override {
        dunControlledObject = nullptr;
        dunRapidBeamMode = 0;
        dunFrozen = 0;
    }
    Weapon *Beam(uint16_t code = 1) { return dunCreatePBC(ship, 0, 0, 0, "PBC", code); }
    SceneItem *Target(float z) {
        SceneItem *t = AiShip(0, 0, z);
        t->avatar->flags = AvatarFlag::Ship | 0x200;
        return t;
    }
};

int RoundsInFlight() {
    int n = 0;
    SceneItem *head = dunSceneListHead();
    for (SceneItem *o = head->next; o && o != head; o = o->next)
        n += (o->flags & SceneFlag::InUse) && o->avatar && (o->avatar->flags & AvatarFlag::LaunchedRound);
    return n;
}

TEST_F(Fire, WhyAWeaponDoesNotFire) {
    SceneItem *ahead = Target(50000), *behind = Target(-50000);
    struct Case {
        const char *what;
        void (*setUp)(Weapon *w, SceneItem *ship);
        bool launcher;
        bool controlled;
        SceneItem *target;
        FireResult result;
    };
    const Case cases[] = {
        {"fires", nullptr, false, false, ahead, FireResult::Fired},
        {"frozen", [](Weapon *, SceneItem *) { dunFrozen = 1; }, false, false, ahead, FireResult::Frozen},
        {"disabled", [](Weapon *w, SceneItem *) { w->flags |= WeaponFlag::Damaged; }, false, false, ahead,
         FireResult::Disabled},
        {"empty", [](Weapon *w, SceneItem *) { w->flags |= WeaponFlag::Empty; }, false, false, ahead,
         FireResult::Frozen},
        {"reloading", [](Weapon *w, SceneItem *) { w->reloadTimer = 0.5f; }, false, false, ahead,
         FireResult::Reloading},
        {"needs a target", [](Weapon *w, SceneItem *) { w->flags |= WeaponFlag::NeedsTarget; }, false, false,
         nullptr, FireResult::NoTarget},
        {"an AI beam out of its arc", nullptr, false, false, behind, FireResult::NoTarget},
        {"the controlled ship fires straight out", nullptr, false, true, behind, FireResult::Fired},
        {"a munition fires straight out", nullptr, true, false, behind, FireResult::Fired},
        {"not in the fast drive", [](Weapon *, SceneItem *s) { s->sim->flags |= SimFlag::Lds; }, false, false,
         ahead, FireResult::InLds},
        {"but the interdictor launcher does",
         [](Weapon *w, SceneItem *s) {
             s->sim->flags |= SimFlag::Lds;
             w->typeNumber = 6;
         },
         true, false, ahead, FireResult::Fired},
    };
    for (const Case &c : cases) {
        ship->sim->flags &= ~SimFlag::Lds;
        dunFrozen = 0;
        Weapon *w = c.launcher ? dunCreateSeeker(ship, 0, 0, 0, "SEEKER", 1) : Beam();
        if (c.setUp) c.setUp(w, ship);
        dunControlledObject = c.controlled ? ship : nullptr;
        const int before = RoundsInFlight();
        EXPECT_EQ(dunFireWeapon(c.target, ship, w), c.result) << c.what;
        EXPECT_EQ(RoundsInFlight() - before, c.result == FireResult::Fired ? 1 : 0) << c.what;
        dunClearWeapons(ship);
    }
}

TEST_F(Fire, TheReloadAShotLeaves) {
    SceneItem *t = Target(50000);
    EngComponent broken{};
    broken.health = 0.0f;
    struct Case {
        const char *what;
        bool launcher, controlled, rapid, brokenComponent;
        float reloadTime, rackReload;
        uint16_t rounds[3];
        float reload;
        bool empty;
    };
    const Case cases[] = {
        {"a beam", false, false, false, false, 100, 0, {0, 0, 0}, 100, false},
        {"capped at 300", false, false, false, false, 500, 0, {0, 0, 0}, 300, false},
        {"rapid fire quarters it", false, true, true, false, 100, 0, {0, 0, 0}, 25, false},
        {"a broken component fires at 1 %", false, false, false, true, 100, 0, {0, 0, 0}, 300, false},
        {"a launcher", true, false, false, false, 100, 400, {3, 3, 1}, 100, false},
        {"the player's launcher a third, after the cap", true, true, false, false, 600, 400, {3, 3, 1}, 100, false},
        {"the last round of a rack takes a rack", true, false, false, false, 100, 400, {1, 3, 1}, 300, false},
        {"the last round of the last rack empties it", true, false, false, false, 100, 400, {1, 3, 0}, 0, true},
    };
    for (const Case &c : cases) {
        Weapon *w = c.launcher ? dunCreateSeeker(ship, 0, 0, 0, "SEEKER", 1) : Beam();
        w->reloadTime = c.reloadTime;
        if (c.launcher) {
            w->range = c.rackReload;
            for (int i = 0; i < 3; ++i) w->rounds[i] = c.rounds[i];
        }
        if (c.brokenComponent) w->component = &broken;
        dunControlledObject = c.controlled ? ship : nullptr;
        dunRapidBeamMode = c.rapid;
        ASSERT_EQ(dunFireWeapon(t, ship, w), FireResult::Fired) << c.what;
        EXPECT_FLOAT_EQ(w->reloadTimer, c.reload) << c.what;
        EXPECT_EQ((w->flags & WeaponFlag::Empty) != 0, c.empty) << c.what;
        EXPECT_FALSE(w->flags & WeaponFlag::Ready) << c.what;
        if (c.launcher && !c.empty && c.rounds[0] == 1) EXPECT_EQ(w->rounds[0], 3) << c.what;
        dunClearWeapons(ship);
    }
    // A charge weapon spends a charge a shot and is empty at none.
    Weapon *w = Beam();
    w->flags |= WeaponFlag::Charge;
    w->charge = 1.0f;
    ASSERT_EQ(dunFireWeapon(t, ship, w), FireResult::Fired);
    EXPECT_TRUE(w->flags & WeaponFlag::Empty);
}

TEST_F(Fire, TheReloadRunsDownToReady) {
    Weapon *w = Beam();
    w->flags &= ~WeaponFlag::Ready;
    w->reloadTimer = 3.5f;
    dunUpdateWeaponsNoOwner(ship);
    EXPECT_FLOAT_EQ(w->reloadTimer, 1.5f);
    EXPECT_FALSE(w->flags & WeaponFlag::Ready);
    // Below one centisecond counts as reloaded.
    dunUpdateWeaponsNoOwner(ship);
    EXPECT_EQ(w->reloadTimer, 0.0f);
    EXPECT_TRUE(w->flags & WeaponFlag::Ready);
}

TEST_F(Fire, TheLead) {
    SceneItem *t = Target(1);
    t->sim->velocity = {1000, 0, 0};
    ship->sim->shipInfo->skill = 100;
    // One unit away: 0.2 s of flight would leave at 5 units a second, so the
    // round leaves at an eighth of its speed and the flight time follows.
    Vec3d p = t->sim->position;
    float speed = 600000;
    dunLeadTarget(ship, t, &p, &speed);
    EXPECT_FLOAT_EQ(speed, 75000);
    EXPECT_NEAR(p.x, 1000.0 / 75000.0, 1e-6);
    // Far away the flight time is distance over speed, jittered by skill: a
    // whole number reckoning would lose the jitter altogether.
    t->sim->position = {0, 0, 600000};
    ship->sim->shipInfo->skill = 0;
    dunSeedRand15(5);
    const int draw = dunRand15() % 100 - 50;
    dunSeedRand15(5);
    p = t->sim->position;
    speed = 600000;
    dunLeadTarget(ship, t, &p, &speed);
    const double time = 1.0 * (1.0 + draw * 100 / 15000.0);
    ASSERT_NE(draw, 0);
    EXPECT_NEAR(p.x, 1000.0 * time, 0.05);
    EXPECT_NEAR(speed, 600000 / time, 1.0);
}

TEST_F(Fire, StraightOutOfTheMount) {
    const Vec3 side = dunStraightOut(3);
    EXPECT_NEAR(side.x, -std::cos(5.0 * M_PI / 180), 1e-5);  // abeam to the left ...
    EXPECT_NEAR(side.z, std::sin(5.0 * M_PI / 180), 1e-5);   // ... 5 degrees forward
    const Vec3 right = dunStraightOut(7);
    EXPECT_NEAR(right.x, std::cos(5.0 * M_PI / 180), 1e-5);
    EXPECT_NEAR(right.z, std::sin(5.0 * M_PI / 180), 1e-5);
    EXPECT_NEAR(dunStraightOut(5).z, -1.0f, 1e-6);
    // Munitions leave sideways, to their mount's side (the player's view
    // switch takes the aim error away).
    dunPlayerShip = ship;
    dunPlayerViewSwitch = 1;
    for (float x : {4.0f, 0.0f, -4.0f}) {
        Weapon *w = dunCreateSeeker(ship, x, 0, 0, "SEEKER", 1);
        ASSERT_EQ(dunFireWeapon(Target(90000), ship, w), FireResult::Fired);
        SceneItem *round = dunSceneListHead()->prev;
        EXPECT_NEAR(round->sim->velocity.x, x > 0 ? 2500.0f : -2500.0f, 1.0f) << x;
        dunClearWeapons(ship);
    }
    dunPlayerViewSwitch = 0;
    dunPlayerShip = nullptr;
}

TEST_F(Fire, MountSectors) {
    EXPECT_EQ(dunMountSectorDistance(1, 5), 4);
    EXPECT_EQ(dunMountSectorDistance(8, 1), 1);
    EXPECT_EQ(dunMountSectorDistance(3, 3), 0);
    const struct {
        float x, z;
        int sector;
    } cases[] = {
        {0, 1, 1},       {1, 2.48f, 1},   {1, 2.47f, 8},  {1, 0.405f, 8}, {1, 0.404f, 7}, {-1, 0.404f, 3},
        {-1, 1, 2},      {0, -1, 5},      {1, -1, 6},     {-1, -1, 4},    {1, -0.1f, 7},  {-1, -0.1f, 3},
    };
    for (const auto &c : cases) EXPECT_EQ(dunDirectionSector(c.x, 0, c.z), c.sector) << c.x << " " << c.z;
    // The AI's choice takes the nearest ready mount; the player's skips
    // launchers.
    Weapon *front = Beam(1), *left = Beam(3);
    front->flags |= WeaponFlag::Ready;
    left->flags |= WeaponFlag::Ready;
    EXPECT_EQ(dunChooseMount(-1, 0, 0.1f, ship->sim->weapons), left);
    EXPECT_EQ(dunChooseMount(0, 0, 1, ship->sim->weapons), front);
    Weapon *launcher = dunCreateSeeker(ship, 0, 0, 0, "SEEKER", 7);
    launcher->flags |= WeaponFlag::Ready;
    EXPECT_EQ(dunChooseMount(1, 0, 0, ship->sim->weapons), launcher);
    EXPECT_NE(dunChooseAutoMount(1, 0, 0, ship->sim->weapons), launcher);
}

TEST_F(Fire, AutomaticFireAtAWreck) {
    SceneItem *wreck = AiShip(0, 0, 20000);
    wreck->avatar->flags = AvatarFlag::FreeBody;
    Weapon *a = Beam(), *b = Beam();
    Weapon *launcher = dunCreateSeeker(ship, 0, 0, 0, "SEEKER", 1);
    (void)launcher;
    ship->avatar->nearest = wreck;
    const int before = RoundsInFlight();
    dunUpdateWeapons(ship);
    EXPECT_EQ(RoundsInFlight() - before, 1);  // one shot a frame, from a beam
    EXPECT_TRUE(a->reloadTimer > 0.0f);
    EXPECT_EQ(b->reloadTimer, 0.0f);
    // The controlled object aims its own shots.
    dunControlledObject = ship;
    dunUpdateWeapons(ship);
    EXPECT_EQ(RoundsInFlight() - before, 1);
    // Nor does anything shoot at a ship that is not a wreck.
    dunControlledObject = nullptr;
    wreck->avatar->flags = AvatarFlag::Ship;
    b->reloadTimer = 0.0f;
    dunUpdateWeapons(ship);
    EXPECT_EQ(RoundsInFlight() - before, 1);
}

TEST_F(Fire, TheSearchesMasks) {
    SceneItem *near = AiShip(0, 0, 1000), *far = AiShip(0, 0, 5000);
    near->avatar->flags = 0x4 | 0x200;
    far->avatar->flags = 0x4 | 0x200 | 0x8000;
    near->flags |= SceneFlag::RecordsNearest;
    far->flags |= SceneFlag::RecordsNearest;
    // Every bit of the include mask, none of the exclude mask.
    EXPECT_EQ(dunNearestShipByFlags(nullptr, 0x204, 0, ship, 0), near);
    EXPECT_EQ(dunNearestShipByFlags(nullptr, 0x8204, 0, ship, 0), far);
    EXPECT_EQ(dunNearestShipByFlags(nullptr, 0x204, 0x8000, ship, 0), near);
    EXPECT_EQ(dunNearestShipByFlags(nullptr, 0x204, 0, ship, 900), nullptr);
    // The script's excluded object is never found.
    dunProtectedObject = near;
    EXPECT_EQ(dunNearestShipByFlags(nullptr, 0x204, 0, ship, 0), far);
    dunProtectedObject = nullptr;
    // In the arc: any bit will do, and the attacker that is after the ship
    // counts whatever its flags.
    EXPECT_EQ(dunNearestTargetInArc(nullptr, 0x8001, 0, ship, 1e6f, 1), far);
    EXPECT_EQ(dunNearestTargetInArc(nullptr, 0x1, 0, ship, 1e6f, 1), nullptr);
    ship->avatar->attacker = near;
    near->sim->goal = ship;
    EXPECT_EQ(dunNearestTargetInArc(nullptr, 0x1, 0, ship, 1e6f, 1), near);
    EXPECT_EQ(dunNearestTargetInArc(nullptr, 0x1, 0, ship, 1e6f, 5), nullptr);  // behind the rear mount
    ship->avatar->attacker = nullptr;
}

TEST_F(Fire, TheSensorsNoiseIsBounded) {
    SceneItem *o = AiShip(0, 0, 1000);
    o->avatar->flags = 0x204;
    // No clear range at all, far away: the chances to flip a bit stop at 32
    // (two draws each at most) instead of looping for ever.
    const SensorRange range = {1e9f, 0.0f};
    dunSeedRand15(1);
    dunSensedFlags(&range, o, 5e8f);
    const uint32_t after = dunRand15State;
    dunSeedRand15(1);
    int draws = 0;
    while (dunRand15State != after && draws < 1000) {
        dunRand15();
        ++draws;
    }
    EXPECT_GE(draws, 32);
    EXPECT_LE(draws, 64);
    const SensorRange clear = {1e9f, 2000.0f};
    EXPECT_EQ(dunSensedFlags(&clear, o, 1000.0f), 0x204u);
    EXPECT_EQ(dunSensedFlags(&clear, o, 2e9f), 0u);
}

TEST_F(Fire, SidesAreCountedWithinTheTable) {
    AiShip()->sim->shipInfo->side = 1;
    AiShip()->sim->shipInfo->side = 1;
    AiShip()->sim->shipInfo->side = 6;
    AiShip()->sim->shipInfo->side = 7;  // a script's side past the table counts nowhere
    AiShip()->sim->shipInfo->side = -1;
    dunCountShipsPerSide();
    EXPECT_EQ(dunShipsPerSide[1], 2);
    EXPECT_EQ(dunShipsPerSide[6], 1);
    EXPECT_EQ(dunShipsPerSide[0], 1);  // the fixture's own ship
}

// The two per-step words the world step clears before anything fires are
// the last bolt's head-on values: a step without a bolt leaves them at 0.
TEST_F(Fire, TheWorldStepClearsTheHeadOnValues) {
    dunai_InstallWorldHooks();
    dunHeadOn[0] = 0.995f;
    dunHeadOn[1] = 0.999f;
    dunSimulationStep();
    EXPECT_EQ(dunHeadOn[0], 0.0f);
    EXPECT_EQ(dunHeadOn[1], 0.0f);
    WorldSetAiHooks(nullptr);
}

// The bolts' look by side; a side a script sets past the table looks like
// the navy's.
TEST_F(Fire, TheSideAppearanceIsBounded) {
    const struct {
        int side;
        const char *texture;
    } cases[] = {{0, "laser_tex_aln"},   {1, "laser_tex_navy"}, {2, "laser_tex_indy"},  {5, "laser_tex_orange"},
                 {6, "laser_tex_newal"}, {7, "laser_tex_navy"}, {-1, "laser_tex_navy"}, {300, "laser_tex_navy"}};
    for (const auto &c : cases) EXPECT_STREQ(dunSideAppearance(c.side).texture, c.texture) << c.side;
}

TEST_F(Fire, TheArcOutline) {
    ArcOutline o{};
    dunPlaceMount(&o, 0x001);
    EXPECT_NEAR(o.points[4].z, 1.0f, 1e-6);
    EXPECT_NEAR(o.points[0].x, -0.5f, 1e-6);
    EXPECT_NEAR(o.points[0].z, std::sqrt(0.5f), 1e-6);
    EXPECT_FLOAT_EQ(o.angles[1], 29.0f);
    // Wide corners past the unit circle lie flat rather than turn to NaN.
    dunPlaceMount(&o, 0x321);
    for (const Vec3 &p : o.points) EXPECT_FALSE(std::isnan(p.x) || std::isnan(p.z));
    EXPECT_EQ(o.points[0].z, 0.0f);
    EXPECT_FLOAT_EQ(o.angles[3], 69.0f);
}

}  // namespace
