// Impact and hits: a round's damage and penetration, armour, the 80..119 %
// scaling, deflection by the defence slots, the handled flag, the messages
// and their delays, defence slot scoring and the spin kick's limit.
#include <bit>
#include <cmath>

#include "RES/util.h"
#include "ai/combat.h"
#include "ai/weapons.h"
#include "ai_fixture.h"
#include "core/frame.h"
#include "world/handle.h"
#include "world/messages.h"
#include "world/msghandler.h"

namespace {

using ruvotest::AiShip;

class Impact : public testing::Test {
protected:
    SceneItem *firer = nullptr, *victim = nullptr;
    void SetUp() override {
        dunGameClock = 1000;
        firer = Ship(0, 0, 0, 0x80);
        victim = Ship(0, 0, 100000, 0x200);
        dunControlledObject = dunPlayerShip = nullptr;
    }
    void TearDown() override { dunControlledObject = dunPlayerShip = nullptr; }
    static SceneItem *Ship(double x, double y, double z, uint32_t side) {
        SceneItem *s = AiShip(x, y, z);
        s->avatar->flags = AvatarFlag::Ship | side;
        dunSetMessageHandler(s, dunHandleMessages);
        s->sim->shipInfo->damage.maximum = 1000;
        return s;
    }
    // A round the firer's weapon made, flown a distance.
    SceneItem *Round(Weapon *w, int32_t flown = 0) {
        SceneItem *r = AiShip(0, 0, 99000);
        r->sim->shipInfo = nullptr;
        r->avatar->flags = AvatarFlag::BeamRound;
        r->avatar->roundWeapon = w;
        r->avatar->roundAttacker = firer;
        r->avatar->effectCounter = flown;
        dunSetMessageHandler(r, dunHandleMessages);
        return r;
    }
    void Strike(SceneItem *round) {
        int16_t handled = 0;
        float at[3] = {0, 0, 99000};
        dunProjectileImpact(round, nullptr, victim, nullptr, &handled, at);
    }
};

TEST_F(Impact, ARoundsDamageAndPenetration) {
    Weapon beam{};
    beam.flags = WeaponFlag::Beam;
    beam.damage = 400;
    beam.penetration = 100;
    beam.range = 300000;
    Weapon missile{};
    missile.flags = WeaponFlag::Missile;
    missile.damage = 180;
    missile.penetration = 90;
    struct Case {
        const char *what;
        Weapon *w;
        int32_t flown;
        int32_t damage, penetration;
        bool roundIsAttacker;
    };
    const Case cases[] = {
        {"a beam at a third of its range", &beam, 100000, 200, 100, false},
        {"at two thirds: falloff 2", &beam, 200000, 100, 83, false},
        {"a munition's whole damage", &missile, 0, 180, 100, true},
    };
    for (const Case &c : cases) {
        SceneItem *r = Round(c.w, c.flown);
        int32_t damage = 0, penetration = 0;
        SceneItem *attacker = nullptr;
        dunRoundDamage(r, &damage, &penetration, &attacker);
        EXPECT_EQ(damage, c.damage) << c.what;
        EXPECT_EQ(penetration, c.penetration) << c.what;
        EXPECT_EQ(attacker, c.roundIsAttacker ? r : firer) << c.what;
    }
    // A script's projectile hits with its own hull and armour; a mine outside
    // the first mission four and three times harder; anything else 40/60.
    SceneItem *projectile = AiShip();
    projectile->sim->shipInfo->damage = {50, 300, 0, 0, 0};
    int32_t damage = 0, penetration = 0;
    SceneItem *attacker = nullptr;
    dunRoundDamage(projectile, &damage, &penetration, &attacker);
    EXPECT_EQ(damage, 300);
    EXPECT_EQ(penetration, 60);
    projectile->sim->shipInfo->typeCode = 11;
    dunRoundDamage(projectile, &damage, &penetration, &attacker);
    EXPECT_EQ(damage, 1200);
    EXPECT_EQ(penetration, 150);
    projectile->sim->shipInfo = nullptr;
    dunRoundDamage(projectile, &damage, &penetration, &attacker);
    EXPECT_EQ(damage, 40);
    EXPECT_EQ(penetration, 60);
}

TEST_F(Impact, Armour) {
    const struct {
        int32_t penetration, armour, left;
    } cases[] = {
        {61, 60, 100},  // through
        {60, 60, 50},   // equal halves
        {0, 60, 0},     // no penetration, no damage
        {20, 60, 12},   // three times: an eighth
        {1, 33, 50},    // 33 halvings wrap to 1
        {1, 32, 100},   // 32 to none
    };
    for (const auto &c : cases)
        EXPECT_EQ(dunArmourDamage(100, c.penetration, c.armour), c.left) << c.penetration << "/" << c.armour;
}

TEST_F(Impact, AHitIsScaledThenHalvedByArmour) {
    ShipInfo *info = victim->sim->shipInfo;
    info->damage.armour = 60;
    DamageRecord r{};
    r.damage = 200;
    r.secondTerm = 70;
    r.attacker = dunHandleOf(firer);
    dunSeedRand15(9);
    const int a = dunRand15() % 40 + 80, b = dunRand15() % 40 + 80;
    dunSeedRand15(9);
    dunShipHit(victim, &r);
    const int penetration = 70 * a / 100, damage = 200 * b / 100;
    EXPECT_EQ(info->damage.damage, dunArmourDamage(damage, penetration, 60));
    EXPECT_EQ(victim->sim->hull, 100 - info->damage.damage * 100 / 1000);
    EXPECT_EQ(dunMsgCountType(victim, MsgDestroyed), 0);
}

TEST_F(Impact, DestructionFollowsByMessage) {
    for (bool player : {false, true}) {
        SceneItem *ship = Ship(0, 0, 5000, 0x200);
        dunPlayerShip = player ? ship : nullptr;
        DamageRecord r{};
        r.damage = 100000;
        r.secondTerm = 1000;
        dunShipHit(ship, &r);
        EXPECT_EQ(ship->sim->hull, 0);
        MsgRecord m;
        const uint32_t delay = player ? 50 : 25;
        dunGameClock += delay - 1;
        EXPECT_FALSE(dunMsgReceive(ship->receiverId, &m)) << player;
        dunGameClock += 1;
        ASSERT_TRUE(dunMsgReceive(ship->receiverId, &m)) << player;
        EXPECT_EQ(m.header.type, MsgDestroyed);
    }
}

TEST_F(Impact, ARoundHitsOnceAndTheHitFollows) {
    Weapon beam{};
    beam.flags = WeaponFlag::Beam;
    beam.damage = 100;
    beam.penetration = 100;
    beam.range = 300000;
    SceneItem *r = Round(&beam);
    int16_t handled = 0;
    float at[3] = {0, 0, 99000};
    dunProjectileImpact(r, nullptr, victim, nullptr, &handled, at);
    dunProjectileImpact(victim, nullptr, r, nullptr, &handled, at);  // the other side of the contact
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(dunMsgCountType(victim, MsgImpact), 1);
    EXPECT_EQ(dunMsgCountType(victim, MsgHit), 1);
    EXPECT_EQ(dunMsgCountType(r, MsgRemove), 1);
    // The victim remembers the firer.
    EXPECT_EQ(victim->avatar->attacker, firer);
    EXPECT_EQ(victim->avatar->attackCount, 5);  // 50 damage x 10 % floor
    // The player's ship made indestructible only loses the round.
    SceneItem *r2 = Round(&beam);
    dunPlayerShip = victim;
    victim->sim->flags |= SimFlag::Protected;
    Strike(r2);
    EXPECT_EQ(dunMsgCountType(victim, MsgImpact), 1);
    EXPECT_EQ(dunMsgCountType(r2, MsgRemove), 1);
}

TEST_F(Impact, Deflection) {
    Weapon beam{};
    beam.flags = WeaponFlag::Beam;
    beam.damage = 100;
    beam.penetration = 100;
    beam.range = 300000;
    struct Case {
        const char *what;
        int slot;
        double firerY;  // the firer below (-) or above (+) the victim, ahead of it
        uint32_t weaponFlags, victimFlags;
        bool deflected;
    };
    const Case cases[] = {
        {"an even slot guards below", 0, -90000, 0, 0, true},
        {"not above", 0, 90000, 0, 0, false},
        {"an odd slot guards above", 1, 90000, 0, 0, true},
        {"level with the ship both halves", 1, 0, 0, 0, true},
        {"an undeflectable weapon", 0, -90000, WeaponFlag::Undeflectable, 0, false},
        {"a victim in an atmosphere", 0, -90000, 0, SceneFlag::InAtmosphere, false},
    };
    // Each pair far from the others, so that the slot's assignment picks
    // the attacker.
    double x = 1e7;
    for (const Case &c : cases) {
        x += 1e7;
        SceneItem *v = Ship(x, 0, 0, 0x200);
        SceneItem *f = Ship(x, c.firerY, 100000, 0x80);
        ShipInfo *info = v->sim->shipInfo;
        info->defenceCount = int8_t(c.slot + 1);
        info->defenceChance[c.slot] = 100;
        v->avatar->attacker = f;
        v->flags |= c.victimFlags;
        beam.flags = WeaponFlag::Beam | c.weaponFlags;
        SceneItem *r = Round(&beam);
        r->avatar->roundAttacker = f;
        int16_t handled = 0;
        float at[3] = {float(x), 0, 1000};
        dunProjectileImpact(r, nullptr, v, nullptr, &handled, at);
        EXPECT_EQ(info->defenceTarget[c.slot], f) << c.what;
        EXPECT_EQ(dunMsgCountType(v, MsgHit), c.deflected ? 0 : 1) << c.what;
        EXPECT_EQ(dunMsgCountType(v, MsgImpact), 1) << c.what;
        EXPECT_EQ(info->damage.damage, 0) << c.what;
    }
}

TEST_F(Impact, DefenceSlotsAndTheScriptsBound) {
    EXPECT_TRUE(dunSetSubTargetSlot(victim, 40, 2));
    EXPECT_EQ(victim->sim->shipInfo->defenceCount, 3);
    EXPECT_EQ(victim->sim->shipInfo->defenceChance[2], 40);
    ruvotest::LogLines log;
    EXPECT_FALSE(dunSetSubTargetSlot(victim, 40, 9));
    EXPECT_EQ(victim->sim->shipInfo->defenceCount, 3);
    EXPECT_EQ(log.Count("defence slot 9 is out of range"), 1u);
    // Nearer wins; the preferred half, the attacker and mines weigh in.
    SceneItem *below = Ship(0, -20000, 100000, 0x80), *above = Ship(0, 15000, 100000, 0x80);
    // A mine counts four times as far.
    Ship(0, -6000, 100000, 0x80 | AvatarFlag::Mine);
    victim->sim->shipInfo->defenceCount = 4;
    dunAssignDefenceTargets(victim, 0, 0x80, 0);
    dunAssignDefenceTargets(victim, 1, 0x80, 0);
    EXPECT_EQ(victim->sim->shipInfo->defenceTarget[0], below);
    EXPECT_EQ(victim->sim->shipInfo->defenceTarget[1], above);
    victim->avatar->attacker = above;
    dunAssignDefenceTargets(victim, 0, 0x80, 0);
    EXPECT_EQ(victim->sim->shipInfo->defenceTarget[0], above);
    // A slot past the count is left alone.
    victim->sim->shipInfo->defenceCount = 1;
    victim->sim->shipInfo->defenceTarget[2] = nullptr;
    dunAssignDefenceTargets(victim, 2, 0x80, 0);
    EXPECT_EQ(victim->sim->shipInfo->defenceTarget[2], nullptr);
}

TEST_F(Impact, TheSpinKickIsLimited) {
    victim->sim->radius = 100.0f;
    victim->sim->mass = 1.0f;
    const Vec3 at = {100, 0, 0}, fast = {0, 0, 900000};
    for (int i = 0; i < 50; ++i) dunImpactGeometry(victim, &at, &fast, std::bit_cast<uint32_t>(2000.0f));
    // Each kick stops once the spin has passed the limit of 30.
    EXPECT_LE(std::fabs(victim->yawSpin), 60.0f);
    EXPECT_NE(victim->yawSpin, 0.0f);
    // A slow, light touch: the limit is its speed over its radius in degrees.
    SceneItem *s = Ship(0, 0, 0, 0x80);
    s->sim->radius = 1000.0f;
    s->sim->mass = 100.0f;
    const Vec3 slow = {0, 0, 10};
    for (int i = 0; i < 50; ++i) dunImpactGeometry(s, &at, &slow, std::bit_cast<uint32_t>(500.0f));
    const float limit = 10.0f / 1000.0f * 180.0f / 3.14159265f;
    EXPECT_LE(std::fabs(s->yawSpin), 2.0f * limit);
    EXPECT_GT(std::fabs(s->yawSpin), 0.0f);
}

}  // namespace
