// The kill registry and its scoring, the score summaries, the power shares,
// the ammunition gauges and the random hull point.
#include <cmath>

#include "ai/contacts.h"
#include "ai/scores.h"
#include "ai/weapons.h"
#include "ai_fixture.h"
#include "world/handle.h"
#include "world/messages.h"
#include "world/mission_state.h"
#include "world/msghandler.h"

namespace {

using ruvotest::AiShip;

class Score : public testing::Test {
protected:
    int32_t symbol = 0;
    SceneItem *player = nullptr;
    void SetUp() override {
        dunResetScores();
        dunResetKillPoints();
        dunScoreCap = 0;
        dunSuspendSwitch = 0;
        symbol = 0;
        dunScoreSymbol = &symbol;
        dunMissionSuccess = 0xFF;
        player = Ship(1, 0);
        player->avatar->flags = AvatarFlag::Ship | 0x80 | 0x10000000;
        dunSetMessageHandler(player, nullptr);
        dunPlayerShip = player;
    }
    void TearDown() override {
        dunScoreSymbol = nullptr;
        dunPlayerShip = nullptr;
    }
    static SceneItem *Ship(int side, int type, int group = 0) {
        SceneItem *s = AiShip();
        ShipInfo *i = s->sim->shipInfo;
        i->side = int16_t(side);
        i->typeCode = uint16_t(type);
        i->group = int16_t(group);
        i->className = "Corvette";
        s->avatar->flags = AvatarFlag::Ship | (0x40u << side);
        return s;
    }
    uint32_t Registered(int side, int type, int group = 0) {
        SceneItem *s = Ship(side, type, group);
        EXPECT_TRUE(dunRegisterScoreObject(s));
        return s->avatar->scoreRecord;
    }
};

TEST_F(Score, RegistrationKeysAndLimits) {
    SceneItem *a = Ship(3, 5), *b = Ship(3, 5);
    ASSERT_TRUE(dunRegisterScoreObject(a));
    ASSERT_TRUE(dunRegisterScoreObject(b));
    EXPECT_EQ(a->avatar->scoreRecord, 0x10001u);
    EXPECT_EQ(b->avatar->scoreRecord, 0x10002u);
    EXPECT_FALSE(dunRegisterScoreObject(a));  // already has a key
    EXPECT_EQ(dunFindScoreRecord(0x10002u)->object, b);
    EXPECT_EQ(dunFindScoreRecordByKey(dunHandleOf(a))->key, 0x10001u);
    EXPECT_STREQ(dunScoreRecordText(dunFindScoreRecord(0x10001u)), "Corvette");
    const ScoreRecord &r = *dunFindScoreRecord(0x10001u);
    EXPECT_EQ(r.alive[0], 0xFF);
    EXPECT_EQ(r.killed, 0);

    dunScoreRecordCount = kScoreRecords;  // full
    SceneItem *c = Ship(3, 5);
    EXPECT_FALSE(dunRegisterScoreObject(c));
    EXPECT_EQ(c->avatar->scoreRecord, 0u);
    EXPECT_EQ(dunScoreRecordCount, kScoreRecords);
    SceneItem *plain = AiShip();
    plain->sim->shipInfo = nullptr;
    dunScoreRecordCount = 0;
    EXPECT_FALSE(dunRegisterScoreObject(plain));  // no ship record
}

TEST_F(Score, KillsScoreByTypeAndSide) {
    struct Case {
        const char *what;
        int side, type;
        int32_t cap;
        uint32_t victimFlags;
        int32_t symbol, friendlyTotal;
    } cases[] = {
        {"enemy corvette", 3, 0, 0, 0, 200, 0},
        {"enemy cruiser", 3, 5, 0, 0, 500, 0},
        {"friendly", 1, 9, 0, 0, -100, 100},
        {"capped", 3, 5, 300, 0, 300, 0},
        {"neutral", 0, 5, 0, 0, 0, 0},
        {"faction bit: side 2's weight", 0, 9, 0, 0x20000000, 50, 0},
        {"side 6 scores", 6, 0, 0, 0, 200, 0},
        {"type beyond the table", 3, 40, 0, 0, 0, 0},
    };
    for (const Case &k : cases) {
        SetUp();
        dunSetSideScoreWeight(2, 0.5f);
        dunScoreCap = k.cap;
        SceneItem *victim = Ship(k.side, 0);
        victim->sim->shipInfo->typeCode = uint16_t(k.type);
        victim->avatar->flags |= k.victimFlags;
        ASSERT_TRUE(dunRegisterScoreObject(victim));
        dunScoreKill(victim->avatar->scoreRecord);
        EXPECT_EQ(symbol, k.symbol) << k.what;
        EXPECT_EQ(dunFriendlyFireTotal, k.friendlyTotal) << k.what;
        EXPECT_EQ(dunFindScoreRecord(victim->avatar->scoreRecord)->killed, 0xFF) << k.what;
        EXPECT_EQ(dunMissionSuccess, 0xFF) << k.what;
    }
    EXPECT_EQ(dunWeaponTallies.killPoints, 0);  // the last case scored nothing
}

TEST_F(Score, AFriendlyCapitalShipTurnsEveryoneOnThePlayer) {
    const uint32_t key = Registered(1, 13);
    player->avatar->flags |= AvatarFlag::Damaged;
    dunScoreKill(key);
    EXPECT_EQ(symbol, -800);
    EXPECT_EQ(dunFriendlyFireTotal, 800);
    EXPECT_EQ(dunWeaponTallies.tally[Tally::FriendlyKills][13], 1);
    EXPECT_EQ(dunFriendlyFireWarning, 0xFF);
    EXPECT_GE(dunFriendlyFireVariant, 2);
    EXPECT_LE(dunFriendlyFireVariant, 4);
    EXPECT_EQ(player->avatar->flags, ((AvatarFlag::Ship | 0x80 | 0x10000000 | AvatarFlag::Damaged) & 0xcfffe03f) |
                                         AvatarFlag::AttackPlayer);
    EXPECT_EQ(dunMissionSuccess, 0);
    EXPECT_EQ(dunMsgCountType(player, MsgFeedText), 1);
    dunGameClock += 599;
    MsgRecord m{};
    EXPECT_FALSE(dunMsgReceive(player->receiverId, &m));  // 600 cs later
    dunGameClock += 1;
    ASSERT_TRUE(dunMsgReceive(player->receiverId, &m));
    EXPECT_EQ(m.header.type, MsgFeedText);
}

TEST_F(Score, WhatScoresNothing) {
    const uint32_t key = Registered(3, 5);
    dunSuspendSwitch = 1;
    dunScoreKill(key);
    EXPECT_EQ(symbol, 0);
    dunSuspendSwitch = 0;
    dunScoreKill(0x1FFFF);  // no record
    player->avatar->scoreRecord = 0;
    ASSERT_TRUE(dunRegisterScoreObject(player));
    dunScoreKill(player->avatar->scoreRecord);
    EXPECT_EQ(symbol, 0);
    // Not changed: a kill reported twice is scored twice.
    dunScoreKill(key);
    dunScoreKill(key);
    EXPECT_EQ(symbol, 1000);
}

TEST_F(Score, HitsAndTheSummaries) {
    SceneItem *a = Ship(3, 5, 7), *b = Ship(4, 2, 7), *c = Ship(3, 2, 8);
    for (SceneItem *s : {a, b, c}) ASSERT_TRUE(dunRegisterScoreObject(s));
    dunScoreHit(a, false);
    dunScoreHit(b, true);
    dunScoreHit(b, true);
    dunScoreKill(c->avatar->scoreRecord);
    EXPECT_EQ(dunFindScoreRecord(b->avatar->scoreRecord)->hitCount, 2);
    EXPECT_EQ(dunWeaponTallies.hits[0], 1);
    EXPECT_EQ(dunWeaponTallies.hits[1], 2);
    auto sum = [](int what, int killed, intptr_t v) { return dunScoreSummary(what, killed, v); };
    struct Case {
        int what, killed;
        intptr_t value;
        int32_t n;
    } cases[] = {
        {0, 0, intptr_t(a), 1}, {0, 1, intptr_t(a), 0}, {0, 1, intptr_t(c), 1}, {0, 0, 0, 0},
        {1, 0, 2, 1},           {1, 1, 2, 1},           {1, 0, 5, 1},           {2, 0, 3, 1},
        {2, 1, 3, 1},           {3, 0, 7, 2},           {3, 1, 8, 1},           {4, 0, 7, 0},
    };
    for (const Case &k : cases) EXPECT_EQ(sum(k.what, k.killed, k.value), k.n) << k.what << " " << k.killed;
}

TEST(PowerShares, NormalisingFoldsTheSmallestAway) {
    struct Case {
        float in[3], out[3];
    } cases[] = {
        {{0.5f, 0.3f, 0.2f}, {0.3f, 0.1f, 0.0f}},
        {{0.2f, 0.3f, 0.5f}, {0.0f, 0.1f, 0.3f}},
        {{1.0f, 1.0f, 0.0f}, {0.5f, 0.5f, 0.0f}},
        {{0.4f, 0.4f, 0.4f}, {0.0f, 0.0f, 0.0f}},  // C leads on ties
    };
    for (const Case &k : cases) {
        for (int i = 0; i < 3; ++i) dunPowerShares[i] = k.in[i];
        dunNormalisePowerShares();
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(dunPowerShares[i], k.out[i], 1e-6f) << i;
    }
    dunResetPowerShares();
    for (float d : dunPowerDerived) EXPECT_FLOAT_EQ(d, 100.0f);
    dunShiftPowerShare(0.5f, &dunPowerShares[0], &dunPowerShares[1], &dunPowerShares[2]);
    EXPECT_FLOAT_EQ(dunPowerShares[0], 0.5f);
    // M = 0.5: T = 322 - 36 = 286; 286 x 1.0 / 2.0.
    EXPECT_FLOAT_EQ(dunPowerDerived[0], 143.0f);
    EXPECT_FLOAT_EQ(dunPowerDerived[1], 71.5f);
    dunShiftPowerShare(0.8f, &dunPowerShares[0], &dunPowerShares[1], &dunPowerShares[2]);
    EXPECT_FLOAT_EQ(dunPowerShares[0], 1.0f);  // held at 1
    dunResetPowerShares();
}

TEST(AmmoGauges, GaugesShareTheRoundsOfTheirWeapon) {
    dunClearAmmoGauges();
    AmmoGauge *g[4] = {dunAddAmmoGauge("RACK"), dunAddAmmoGauge("OTHER"), dunAddAmmoGauge("RACK"),
                       dunAddAmmoGauge("RACK")};
    Weapon w{};
    w.rounds[0] = 4;  // loose
    w.rounds[1] = 3;  // per rack
    w.rounds[2] = 2;  // racks: 10 rounds
    dunBindAmmoGauge("RACK", &w, 7, nullptr);
    const int32_t share[] = {3, 0, 3, 4}, offset[] = {7, 0, 4, 0};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(g[i]->share, share[i]) << i;
        EXPECT_EQ(g[i]->offset, offset[i]) << i;
    }
    EXPECT_EQ(g[1]->weapon, nullptr);
    EXPECT_EQ(g[0]->parameter, 7u);
    w.rounds[2] = 0;
    w.rounds[0] = 5;  // 5 rounds left
    dunUpdateAmmoGauges();
    EXPECT_EQ(g[3]->value, 4);  // held at its share
    EXPECT_EQ(g[2]->value, 1);
    EXPECT_EQ(g[0]->value, 0);  // held at 0
    dunClearAmmoGauges();
}

TEST(HullPoint, ThePointLiesOnAFaceOfAPlaceableVolume) {
    SceneItem *s = AiShip();
    TDP root{};
    CollisionModel model{};
    HitBox skip{{100, 100, 100}, {90, 90, 90}, nullptr, 0x10};
    HitBox box{{10, 20, 30}, {-10, -20, -30}, &skip, 0};
    model.boxes = &box;
    root.collision = &model;
    s->avatar->root = &root;
    for (int i = 0; i < 50; ++i) {
        Vec3 p{};
        dunRandomPointOnSubNode(s, &p);
        EXPECT_LE(std::fabs(p.x), 10.0f);
        EXPECT_LE(std::fabs(p.y), 20.0f);
        EXPECT_LE(std::fabs(p.z), 30.0f);
        const bool onFace = std::fabs(std::fabs(p.x) - 10.0f) < 1e-3f || std::fabs(std::fabs(p.y) - 20.0f) < 1e-3f ||
                            std::fabs(std::fabs(p.z) - 30.0f) < 1e-3f;
        EXPECT_TRUE(onFace) << p.x << " " << p.y << " " << p.z;
    }
    s->avatar->root = nullptr;
    Vec3 p{};
    dunRandomPointOnSubNode(s, &p);
    EXPECT_TRUE(p.x >= 0 && p.x < 1 && p.y >= 0 && p.y < 1 && p.z >= 0 && p.z < 1);
}

}  // namespace
