// Hard points and weapons: the firing-arc test, the mount directions and
// frames, the weapon list, the nineteen weapon types' constants and what a
// launched round becomes.
#include <cmath>
#include <cstring>

#include "ai/weapons.h"
#include "ai_fixture.h"
#include "common/fatal_hook.h"
#include "core/frame.h"
#include "present/views.h"
#include "world/flight.h"
#include "world/messages.h"
#include "world/msghandler.h"

namespace {

using ruvotest::AiShip;

constexpr float kTan30 = 0.57735027f;

class Weapons : public testing::Test {
protected:
    SceneItem *ship = nullptr;
    void SetUp() override {
        ship = AiShip();
        dunControlledObject = nullptr;
        StationId = 0;
        dunIgnoreRange = 0;
    }
    void TearDown() override {
        dunControlledObject = nullptr;
        StationId = 0;
    }
};

// ---- the arc test -----------------------------------------------------------------------

TEST_F(Weapons, TheArcTest) {
    Weapon beam{};
    beam.flags = WeaponFlag::InUse | WeaponFlag::Beam;
    beam.range = 1000.0f;
    Weapon launcher{};
    launcher.flags = WeaponFlag::InUse | WeaponFlag::Launcher;
    launcher.range = 1000.0f;  // a launcher's rack reload, never a range
    struct Case {
        const char *what;
        float x, y, z;
        uint16_t code;
        const Weapon *weapon;
        bool controlled, station;
        bool passes;
    };
    // clang-format off
    const Case cases[] = {
        {"all round, behind and above", -5, 40, -30, 9, &beam, false, false, true},
        {"all round, but out of a beam's range", 0, 0, -3000, 9, &beam, false, false, false},
        {"all round, a launcher has no range", 0, 0, -3000, 9, &launcher, false, false, true},
        {"the controlled object's beam has no range", 0, 0, 3000, 0, &beam, true, false, true},
        {"exactly twice the range", 0, 0, 2000, 0, &beam, false, false, false},
        {"just inside twice the range", 0, 0, 1999, 0, &beam, false, false, true},
        {"no weapon: no range test", 0, 0, 1e9f, 0, nullptr, false, false, true},
        {"elevation exactly tan 30", 0, kTan30, 1, 0, &beam, false, false, true},
        {"elevation above tan 30", 0, 0.58f, 1, 0, &beam, false, false, false},
        {"azimuth exactly tan 30", kTan30, 0, 1, 0, &beam, false, false, false},
        {"azimuth inside tan 30", 0.57f, 0, 1, 0, &beam, false, false, true},
        {"upper half, straight up", 0, 1, 0, 0x100, &beam, false, false, true},
        {"upper half, just below", 0, -0.01f, 1, 0x100, &beam, false, false, false},
        {"lower half, just above", 0, 0.01f, 1, 0x200, &beam, false, false, false},
        {"75 degrees at 70", 0, 2.75f, 1, 0x300, &beam, false, false, true},
        {"15 degrees at 20", 0, 0.364f, 1, 0x400, &beam, false, false, false},
        {"3 degree azimuth, 2 degrees off", 0.035f, 0, 1, 0x30, &beam, false, false, true},
        {"3 degree azimuth, 2 degrees high", 0, 0.035f, 1, 0x30, &beam, false, false, true},
        {"3 degree azimuth, 4 degrees high", 0, 0.07f, 1, 0x30, &beam, false, false, false},
        {"15 degree azimuth at 20", 0.364f, 0, 1, 0x40, &beam, false, false, false},
        {"half space, nearly abeam", 100, 0, 1, 0x20, &beam, false, false, true},
        {"behind the hard point", 0, 0, -1, 0x20, &beam, false, false, false},
        {"aft mount, straight back", 0, 0, -1, 5, &beam, false, false, true},
        {"aft mount, straight ahead", 0, 0, 1, 5, &beam, false, false, false},
        {"port mount (-x)", -1, 0, 0.2f, 3, &beam, false, false, true},
        {"starboard mount (+x)", 1, 0, -0.2f, 7, &beam, false, false, true},
        {"starboard mount, port side", -1, 0, 0, 7, &beam, false, false, false},
        {"forward-left diagonal", -1, 0, 1, 2, &beam, false, false, true},
        {"forward-right diagonal", 1, 0, 1, 8, &beam, false, false, true},
        {"aft-left diagonal", -1, 0, -1, 4, &beam, false, false, true},
        {"aft-right diagonal", 1, 0, -1, 6, &beam, false, false, true},
        {"aft-right diagonal, ahead", 0, 0, 1, 6, &beam, false, false, false},
        // From the weapons station a narrow mount covers 75 degrees up and
        // the whole half space ahead.
        {"narrow mount, 60 up and 80 across", 5.67f, 7, 1, 0x440, &beam, false, false, false},
        {"the weapons station's wide arcs", 5.67f, 7, 1, 0x440, &beam, true, true, true},
        {"the weapons station, 80 up", 0, 5.8f, 1, 0x440, &beam, true, true, false},
    };
    // clang-format on
    for (const Case &c : cases) {
        dunControlledObject = c.controlled ? ship : nullptr;
        StationId = c.station ? 3 : 0;
        const uint8_t r = dunMountArcTest(ship, c.x, c.y, c.z, c.code, c.weapon);
        EXPECT_EQ(r, c.passes ? 0xFF : 0) << c.what;
    }
    // The fire control's own shots ignore the range.
    dunControlledObject = nullptr;
    StationId = 0;
    dunIgnoreRange = 1;
    EXPECT_EQ(dunMountArcTest(ship, 0, 0, 3000, 0, &beam), 0xFF);
    dunIgnoreRange = 0;
}

TEST_F(Weapons, MountDirectionsAndFrames) {
    // clang-format off
    const Vec3 rows[] = {{0, 0, 1},  {0, 0, 1},          {-0.7071f, 0, 0.7071f}, {-1, 0, 0},
                         {-0.7071f, 0, -0.7071f}, {0, 0, -1}, {0.7071f, 0, -0.7071f}, {1, 0, 0},
                         {0.7071f, 0, 0.7071f}};
    // clang-format on
    for (uint16_t code = 0; code < 9; ++code) {
        Vec3 d{};
        // The class bits do not move the direction.
        dunMountPosition(&d, uint16_t(code | 0x340));
        EXPECT_EQ(d.x, rows[code].x) << code;
        EXPECT_EQ(d.y, rows[code].y) << code;
        EXPECT_EQ(d.z, rows[code].z) << code;
    }
    Vec3 d{};
    dunMountPosition(&d, 9);
    EXPECT_EQ(d.z, 1.0f);  // all round points forward

    // Any look direction, abeam included, gives an orthonormal frame.
    const Vec3 looks[] = {{0, 0, 1}, {3, 4, 12}, {1, 0, 0}, {-2, 0, 0}, {0, 1, 0}, {0.2f, -5, 0.1f}};
    for (uint16_t code : {0, 3, 5, 8, 9}) {
        for (const Vec3 &l : looks) {
            Mat4 m{};
            dunMountFrame(code, &m, l.x, l.y, l.z);
            for (int a = 0; a < 3; ++a) {
                for (int b = 0; b < 3; ++b) {
                    float dot = 0;
                    for (int k = 0; k < 3; ++k) dot += m.m[4 * a + k] * m.m[4 * b + k];
                    EXPECT_NEAR(dot, a == b ? 1.0f : 0.0f, 1e-5f) << code << " " << l.x << "," << l.y << "," << l.z;
                }
            }
        }
    }
    // Mount code 0 looks straight along the direction.
    Mat4 m{};
    dunMountFrame(0, &m, 0, 0, 5);
    EXPECT_NEAR(m.m[10], 1.0f, 1e-6f);
}

// ---- the weapon list and the types -----------------------------------------------------------

TEST_F(Weapons, TheListAppendsAtTheEndAndClears) {
    Weapon *a = dunCreatePBC(ship, 1, 2, 3, "A", 0x811);
    Weapon *b = dunCreateSeeker(ship, 0, 0, 0, "B", 0);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(ship->sim->weapons, a);
    EXPECT_EQ(a->next, b);
    EXPECT_EQ(b->prev, a);
    EXPECT_EQ(dunLastWeapon, b);
    EXPECT_TRUE(ship->avatar->flags & AvatarFlag::HasWeapons);
    EXPECT_EQ(a->component, &dunDefaultWeaponComponent);
    EXPECT_EQ(a->mount.x, 1.0f);
    EXPECT_EQ(a->mountCode, 0x811);
    EXPECT_EQ(a->arc, 360.0f);
    ship->sim->currentWeapon = a;
    ship->sim->weaponCount = 2;
    dunClearWeapons(ship);
    EXPECT_EQ(ship->sim->weapons, nullptr);
    EXPECT_EQ(ship->sim->currentWeapon, nullptr);
    EXPECT_EQ(ship->sim->weaponCount, 0u);
    EXPECT_FALSE(a->flags & WeaponFlag::InUse);
    EXPECT_FALSE(b->flags & WeaponFlag::InUse);
}

TEST_F(Weapons, EveryTypesConstants) {
    struct Row {
        WeaponCreator create;
        uint16_t weaponClass;
        uint32_t flags;  // with the in-use bit
        int32_t damage, penetration;
        float reload, rangeOrRack, speed;
        uint16_t rounds[3];
        float launch[5];
        uint16_t lifetime;
        uint32_t visualKind;
        void (*launchRoutine)(Weapon *, SceneItem *);
    };
    // clang-format off
    const Row rows[] = {
        {dunCreatePBC, 0, 0x31, 150, 55, 100, 200000, 600000, {}, {}, 400, 0, nullptr},
        {dunCreatePBCHev, 0, 0x31, 270, 110, 125, 250000, 600000, {}, {}, 400, 1, nullptr},
        {dunCreatePBCLite, 0, 0x31, 30, 25, 250, 300000, 600000, {}, {}, 400, 0, nullptr},
        {dunCreatePBCGtl, 0, 0x31, 180, 55, 50, 500000, 450000, {}, {}, 400, 3, nullptr},
        {dunCreatePBCFar, 0, 0x31, 180, 55, 50, 500000, 750000, {}, {}, 800, 2, nullptr},
        {dunCreatePBCSlo, 0, 0x31, 315, 110, 1000, 250000, 900000, {}, {}, 400, 1, nullptr},
        {dunCreatePBCXL, 0, 0x5031, 647000, 160, 125, 2750000, 900000, {}, {}, 400, 5, nullptr},
        {dunCreateSniperPBC, 0, 0x44031, 300, 80, 250, 2500000, 2000000, {}, {}, 150, 5, nullptr},
        {dunCreateSeeker, 3, 0x208D1, 180, 65, 300, 400, 20000, {4, 4, 3}, {64000, 43000, 0, 120, 800}, 2000, 0,
         dunLaunchSeeker},
        {dunCreateTacnuke, 3, 0x8D1, 180, 65, 300, 400, 20000, {1, 1, 0}, {64000, 43000, 20, 40, 80}, 2000, 0,
         dunLaunchTacnuke},
        {dunCreateDisruptor, 3, 0x8D1, 180, 65, 300, 400, 20000, {1, 2, 4}, {24000, 10, 0, 800, 800}, 3000, 0,
         dunLaunchDisruptor},
        {dunCreateECMFlare, 3, 0xC8D1, 180, 65, 100, 900, 25000, {2, 2, 3}, {12000, 12000, 120, 120, 120}, 2000, 0,
         dunLaunchECMFlare},
        {dunCreateLDSI, 4, 0x1C8D1, 180, 65, 100, 600, 4000, {3, 3, 1}, {24000, 10, 0, 800, 800}, 6000, 0,
         dunLaunchLDSI},
        {dunCreateProbe, 5, 0x8D1, 180, 65, 100, 600, 15000, {2, 2, 1}, {12000, 12000, 120, 120, 120}, 0, 0,
         dunLaunchProbe},
        {dunCreateRecProbe, 5, 0x8D1, 180, 65, 100, 600, 75000, {2, 2, 1}, {24000, 24000, 120, 120, 120}, 0, 0,
         dunLaunchRecProbe},
        {dunCreateRemMissile, 5, 0x8D1, 180, 65, 100, 600, 75000, {2, 2, 1}, {24000, 24000, 120, 120, 120}, 0, 0,
         dunLaunchRemMissile},
        {dunCreateMine, 5, 0x108D1, 180, 65, 100, 600, 15000, {3, 3, 1}, {12000, 12000, 120, 120, 120}, 0, 0,
         dunLaunchMine},
        {dunCreateAMRelease, 6, 0x851, 800000, 160, 100, 600, 17000, {1, 4, 4}, {12000, 12000, 120, 120, 120}, 2000,
         0, nullptr},
    };
    // clang-format on
    for (const Row &r : rows) {
        SceneItem *s = AiShip();
        Weapon *w = r.create(s, 1, 2, 3, "name", 0x125);
        ASSERT_NE(w, nullptr);
        const int row = int(&r - rows);
        EXPECT_EQ(w->weaponClass, r.weaponClass) << row;
        EXPECT_EQ(w->flags, r.flags) << row;
        EXPECT_EQ(w->damage, r.damage) << row;
        EXPECT_EQ(w->penetration, r.penetration) << row;
        EXPECT_EQ(w->spareInt, 0) << row;
        EXPECT_EQ(w->constant, 3) << row;
        EXPECT_EQ(w->spareFloat, 0.0f) << row;
        EXPECT_EQ(w->reloadTime, r.reload) << row;
        EXPECT_EQ(w->range, r.rangeOrRack) << row;
        EXPECT_EQ(w->speed, r.speed) << row;
        EXPECT_EQ(w->roundLifetime, r.lifetime) << row;
        for (int i = 0; i < 3; ++i) EXPECT_EQ(w->rounds[i], r.rounds[i]) << row << " rounds " << i;
        for (int i = 0; i < 5; ++i) EXPECT_EQ(w->launch[i], r.launch[i]) << row << " launch " << i;
        EXPECT_EQ(w->launchRoutine, r.launchRoutine) << row;
        if (r.weaponClass == WeaponClass::Beam) EXPECT_EQ(w->visualKind, r.visualKind) << row;
        EXPECT_STREQ(w->name, "name");
        EXPECT_EQ(w->mountCode, 0x125);
        EXPECT_EQ(w->mount.z, 3.0f);
        EXPECT_EQ(w->arc, 360.0f);
        EXPECT_EQ(w->reloadTimer, 0.0f);
    }
    // The table's creators are these, in this order.
    for (int i = 0; i < kWeaponTypeCount; ++i) EXPECT_NE(kWeaponTypes[i].create, nullptr) << i;
    EXPECT_EQ(kWeaponTypes[kWeaponTypeCount].create, nullptr);
    EXPECT_EQ(kWeaponTypes[5].create, dunCreateSeeker);
    EXPECT_EQ(kWeaponTypes[9].create, dunCreatePBCIon);
    EXPECT_EQ(kWeaponTypes[18].create, dunCreateSniperPBC);
    EXPECT_STREQ(kWeaponTypes[8].names[2], "AM AUSSTO\xDF");
    EXPECT_EQ(std::strlen(kWeaponTypes[8].names[2]), 10u);  // one byte for the sharp s
}

TEST_F(Weapons, FlaresMarkTheShipAndThePlayersBeamsAreCounted) {
    dunCreateECMFlare(ship, 0, 0, 0, "F", 0);
    EXPECT_TRUE(ship->sim->shipInfo->flags & ShipFlag::SpecialWeapon);
    dunPlayerPbcCount = 0;
    dunCreatePBC(ship, 0, 0, 0, "P", 0);
    EXPECT_EQ(dunPlayerPbcCount, 0);
    dunPlayerShip = ship;
    dunCreatePBC(ship, 0, 0, 0, "P", 0);
    dunCreatePBCHev(ship, 0, 0, 0, "H", 0);
    EXPECT_EQ(dunPlayerPbcCount, 1);
    dunPlayerShip = nullptr;
}

TEST_F(Weapons, TheIonCannonIsAPlainBeamWithAGlow) {
    Weapon *w = dunCreatePBCIon(ship, 0, 0, 5, "PBC ION", 0);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(ship->sim->weapons, w);
    EXPECT_EQ(w->next, nullptr);
    EXPECT_STREQ(w->name, "PBC");
    EXPECT_EQ(w->damage, 150);
    EXPECT_EQ(w->flags, 0x31u);
    EXPECT_EQ(ship->sim->radius, 9000.0f);
    // Two particle emitters: the first becomes the ship's root node, the
    // second hangs under it.
    int emitters = 0;
    if (TDP *root = ship->avatar->root) {
        emitters += (root->flags & TDPFlag::Particle) != 0;
        for (TDP *t = root->child; t; t = t->sibling) emitters += (t->flags & TDPFlag::Particle) != 0;
    }
    EXPECT_EQ(emitters, 2);
}

TEST_F(Weapons, AFullWeaponPoolStopsTheGame) {
    int made = 0;
    try {
        for (; made <= kMaxWeapons; ++made) dunCreatePBC(ship, 0, 0, 0, "P", 0);
        FAIL() << "the pool never ran out";
    } catch (const ruvotest::FatalError &e) {
        EXPECT_EQ(e.exitCode, 1);
        EXPECT_STREQ(e.what(), "Exceeded max Weapons");
    }
    EXPECT_EQ(made, kMaxWeapons);
}

// ---- launches ------------------------------------------------------------------------------------

class Launches : public Weapons {
protected:
    SceneItem *target = nullptr;
    SceneItem *round = nullptr;
    void SetUp() override {
        Weapons::SetUp();
        target = AiShip(0, 0, 5000);
        round = AiShip(0, 0, 100);
        round->sim->shipInfo = nullptr;
        round->avatar->flags = AvatarFlag::LaunchedRound;
        round->avatar->roundAttacker = ship;
        for (SceneItem *o : {target, round}) dunSetMessageHandler(o, nullptr);
        dunGameClock = 1000;
    }
    // The type of the first message due to the object by then, or -1.
    static int MessageBy(SceneItem *o, int64_t clock) {
        dunGameClock = clock;
        MsgRecord m{};
        return dunMsgReceive(o->receiverId, &m) ? m.header.type : -1;
    }
};

TEST_F(Launches, ASeekerWarnsATargetThatCarriesFlaresTwoSecondsLater) {
    Weapon *w = dunCreateSeeker(ship, 0, 0, 0, "S", 0);
    round->sim->goal = target;
    dunLaunchSeeker(w, round);
    EXPECT_EQ(dunMsgPendingCount(target->receiverId), 0);  // no flares, no warning

    target->sim->shipInfo->flags |= ShipFlag::SpecialWeapon;
    dunLaunchSeeker(w, round);
    EXPECT_EQ(MessageBy(target, 1199), -1);
    EXPECT_EQ(MessageBy(target, 1200), MsgMissileWarning);
}

TEST_F(Launches, AProbeBecomesACraftThePlayerFliesOnlyWhenThePlayerFiredIt) {
    Weapon *w = dunCreateProbe(ship, 0, 0, 0, "P", 0);
    round->sim->flags = SimFlag::Autopilot;
    dunLaunchProbe(w, round);
    ASSERT_NE(round->sim->shipInfo, nullptr);
    EXPECT_EQ(round->sim->shipInfo->typeCode, 12);
    EXPECT_STREQ(round->sim->shipInfo->name, "RECON PROBE");
    EXPECT_EQ(round->sim->flags & (SimFlag::RemoteControllable | SimFlag::Autopilot), SimFlag::RemoteControllable);
    EXPECT_EQ(round->avatar->flags & (AvatarFlag::LaunchedRound | AvatarFlag::Ship), AvatarFlag::Ship);
    EXPECT_EQ(round->control, dunControlProbe);
    EXPECT_NE(round->sim->shipInfo->ports, nullptr);
    // An AI ship's probe leaves the player's controls alone.
    EXPECT_EQ(dunControlledObject, nullptr);

    SceneItem *player = AiShip();
    player->sim->speed = 500.0f;
    dunPlayerShip = dunControlledObject = player;
    SceneItem *second = AiShip(0, 0, 50);
    second->sim->shipInfo = nullptr;
    second->avatar->flags = AvatarFlag::LaunchedRound;
    second->avatar->roundAttacker = player;
    Weapon *own = dunCreateRecProbe(player, 0, 0, 0, "R", 0);
    gLanguage = 2;
    dunLaunchRecProbe(own, second);
    gLanguage = 0;
    EXPECT_STREQ(second->sim->shipInfo->name, "AUFKL. SONDE");
    // The recon probe keeps its mine bit clear but only loses the beam bit.
    EXPECT_EQ(second->avatar->flags & AvatarFlag::LaunchedRound, AvatarFlag::MunitionRound);
    EXPECT_EQ(dunControlledObject, second);
    EXPECT_EQ(player->sim->speed, 0.0f);
    dunPlayerShip = dunControlledObject = nullptr;
}

TEST_F(Launches, AMineLaidFarFromItsTargetGoesOffOnATimer) {
    Weapon *w = dunCreateMine(ship, 0, 0, 0, "M", 0);
    round->avatar->flags = AvatarFlag::BeamRound | AvatarFlag::Mine;
    w->target = AiShip(0, 0, 900000);
    dunLaunchMine(w, round);
    EXPECT_EQ(round->avatar->flags & (AvatarFlag::BeamRound | AvatarFlag::Ship), AvatarFlag::Ship);
    EXPECT_EQ(dunMsgCountType(round, MsgTimedDetonation), 1);
    EXPECT_EQ(MessageBy(round, 1299), -1);
    EXPECT_EQ(MessageBy(round, 1300), MsgPartnerReleased);
    EXPECT_EQ(MessageBy(round, 1749), -1);
    EXPECT_EQ(MessageBy(round, 1750), MsgTimedDetonation);

    // Near its target it waits for it.
    SceneItem *near = AiShip(0, 0, 200);
    near->sim->shipInfo = nullptr;
    near->avatar->flags = AvatarFlag::BeamRound | AvatarFlag::Mine;
    dunSetMessageHandler(near, nullptr);
    w->target = AiShip(0, 0, 1000);
    dunLaunchMine(w, near);
    EXPECT_EQ(dunMsgCountType(near, MsgTimedDetonation), 0);
}

}  // namespace
