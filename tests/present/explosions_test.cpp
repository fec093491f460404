// The effect recipes: each one's system, the colours of minor explosions,
// the destruction explosion sized by the camera's distance and the mode, the
// fatal stop without a point, the flash and sound a full pool does not stop,
// the wreck blowing its parts off and going, and the world's destructions
// and departures reaching their recipes.
#include <cmath>
#include <string>
#include <vector>

#include "common/fatal_hook.h"
#include "p3d_fixture.h"
#include "present/effects/nav_lights.h"
#include "present/effects.h"
#include "present/effects/particles.h"
#include "world/contact.h"
#include "world/msghandler.h"
#include "world/pools.h"
#include "world/services.h"
#include "world/wreck.h"

using namespace presenttest;

namespace {

struct Effect {
    std::string what;
    SceneItem *item;
    int value;
};
std::vector<Effect> gEffects;

class Explosions : public P3DTest {
protected:
    void SetUp() override {
        Start(8);
        dunSeedRand15(5);
        gEffects.clear();
        gEffectObserver = [](const char *what, SceneItem *item, int value) { gEffects.push_back({what, item, value}); };
        owner = Object(nullptr, 0, 0, 5000, 1000);
        owner->sim->radius = 1000;
        dunSetMessageHandler(owner, dunHandleMessages);
    }
    void TearDown() override {
        gEffectObserver = nullptr;
        CardMode = 0;
        WorldSetPresentHooks(nullptr);
        P3DTest::TearDown();
    }
    // The owner's systems, in the order they were made.
    static std::vector<ParticleSystem *> Systems(const SceneItem *item) {
        std::vector<ParticleSystem *> out;
        for (TDP *t = item->avatar->root->child; t; t = t->sibling)
            if (ParticleSystem *ps = ParticleSystemOf(t)) out.push_back(ps);
        return out;
    }
    // The newest effect system (the owner's nav lights aside).
    static ParticleSystem *Newest(const SceneItem *item) {
        std::vector<ParticleSystem *> all = Systems(item);
        while (!all.empty() && (all.back()->flags & ParticleFlag::NavLights)) all.pop_back();
        return all.empty() ? nullptr : all.back();
    }
    int Count(const char *what, int value) const {
        int n = 0;
        for (const Effect &e : gEffects) n += e.what == what && e.value == value;
        return n;
    }
    SceneItem *owner = nullptr;
};

TEST_F(Explosions, EachRecipeMakesItsSystem) {
    struct Row {
        const char *name;
        void (*make)(SceneItem *);
        int16_t kind;
        uint32_t flags;
        int16_t life, count, particleLife;
        float speed;
        int32_t rate;
        float cone;
    };
    static const Vec3 kPoint = {0, 0, 100};
    const Row rows[] = {
        {"minor", [](SceneItem *o) { AddMinorExplosion(o, 14, 0, &kPoint); }, 2, 0x12, 100, 150, 100, 2000, 900, 180},
        {"thermal", [](SceneItem *o) { AddThermalExplosion(o, &kPoint); }, 2, 0x12, 100, 150, 100, 2000, 900, 180},
        {"debris", [](SceneItem *o) { SpawnDebrisBurst(o, 0); }, 2, 0x8812, kEndlessLife, 220, 150, 10000, 180, 5},
        {"sparks", [](SceneItem *o) { SpawnSparks(o, 1, 2, 3, 4, 5, 6); }, 2, 0x12, 250, 200, 700, 15000, 600, 360},
        {"drive", [](SceneItem *o) { SpawnLdsTrail(o); }, 2, 0xA12, 250, 220, 250, -32000, 150, 45},
        {"arrival", [](SceneItem *o) { SpawnArrivalBurst(o); }, 0, 0x4000, 150, 250, 700, 15000, 600, 360},
        {"departure", [](SceneItem *o) { SpawnDepartureBurst(o); }, 0, 0x4000, 75, 250, 700, -15000, 600, 360},
    };
    for (const Row &r : rows) {
        r.make(owner);
        const ParticleSystem *ps = Newest(owner);
        ASSERT_NE(ps, nullptr) << r.name;
        EXPECT_EQ(ps->kind, r.kind) << r.name;
        EXPECT_EQ(ps->flags & ~1u, r.flags) << r.name;
        EXPECT_EQ(ps->initialLife, r.life) << r.name;
        EXPECT_EQ(ps->count, r.count) << r.name;
        EXPECT_EQ(ps->particleLife, r.particleLife) << r.name;
        EXPECT_EQ(ps->speed, r.speed) << r.name;
        EXPECT_EQ(ps->rate, r.rate) << r.name;
        EXPECT_EQ(ps->cone, r.cone) << r.name;
    }
    EXPECT_EQ(Count("sound", 26), 2) << "arrival and departure";
    EXPECT_EQ(Count("flash", 150), 2);
    // The drive trail starts on a sphere of half the owner's radius.
    SpawnLdsTrail(owner);
    EXPECT_EQ(Newest(owner)->spread, 500);
    // A hull rupture's speed: 0.4 of the radius held within 4000..20000,
    // times 0.5..1.1.
    const Vec3 point = {0, 0, 100};
    for (float radius : {1000.0f, 100000.0f}) {
        owner->sim->radius = radius;
        for (int i = 0; i < 5; ++i) {
            AddHullRupture(owner, 1, 0, &point, 0);
            const ParticleSystem *ps = Newest(owner);
            EXPECT_EQ(ps->flags & ~1u, 0x812u);
            EXPECT_EQ(ps->initialLife, kEndlessLife);
            const float base = radius > 10000 ? 20000 : 4000;
            EXPECT_GE(ps->speed, std::floor(base * 0.5f)) << radius;
            EXPECT_LE(ps->speed, base * 1.1f) << radius;
            EXPECT_EQ(ps->speed, std::trunc(ps->speed));
            for (TDP *t = owner->avatar->root->child; t; t = t->sibling)
                if (ParticleSystemOf(t) == ps) {
                    RemoveParticleSystem(t);
                    break;
                }
        }
    }
    // Each rupture also lit a blinking light at its point: on 1000, off 10.
    const ParticleSystem *lights = NavLightSystem(owner);
    ASSERT_NE(lights, nullptr);
    EXPECT_EQ(lights->count, 11) << "the engine glow and ten lights";
    EXPECT_EQ(lights->points[1].blink.onTicks, 1000);
    EXPECT_EQ(lights->points[1].blink.cycleTicks, 1010);
}

TEST_F(Explosions, AMinorExplosionsRampRunsFromTheSecondCodesColour) {
    const Vec3 point = {100, 0, 0};
    AddMinorExplosion(owner, 0x8, 0x7, &point);
    const ParticleSystem *ps = Newest(owner);
    const uint8_t *table = ParticleInverseTable();
    EXPECT_EQ(ps->ramp[0], table[ColourCubeIndex(128, 128, 128)]) << "grey: code 7 is not bright";
    EXPECT_EQ(ps->ramp[31], table[ColourCubeIndex(4, 4, 4)]) << "towards black: code 8 has no colour";
    // It faces out: its part sits at the point, looking back at the centre.
    const TDP *part = owner->avatar->root->child;
    EXPECT_FLOAT_EQ(part->local.m[12], 100);
    EXPECT_FLOAT_EQ(part->local.m[8], -1);
}

TEST_F(Explosions, AMissingPointStopsTheProgramNamingTheRecipe) {
    struct Row {
        const char *name;
        void (*call)(SceneItem *);
    };
    const Row rows[] = {
        {"AddMinorExplosion", [](SceneItem *o) { AddMinorExplosion(o, 8, 7, nullptr); }},
        {"AddThermalExplosion", [](SceneItem *o) { AddThermalExplosion(o, nullptr); }},
        {"AddHullRupture", [](SceneItem *o) { AddHullRupture(o, 1, 0, nullptr, 10); }},
    };
    for (const Row &r : rows) {
        try {
            r.call(owner);
            ADD_FAILURE() << r.name;
        } catch (const ruvotest::FatalError &e) {
            EXPECT_STREQ(e.what(), r.name);
        }
    }
}

TEST_F(Explosions, TheDestructionExplosionGrowsWithNearnessAndTheCardsSpeed) {
    struct Case {
        uint8_t card;
        float speed;
        double distance;  // from the camera; reach is 700000
        int first, second, rate;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 200, 2000},     {0, 0, 525000, 0, 100, 1000}, {0, 0, 1e9, 0, 100, 1000},
        {1, 200000, 0, 80, 60, 650}, {1, 0, 0, 0, 200, 2000},      {1, 200000, 525000, 5, 3, 650},
    };
    for (const Case &c : cases) {
        CardMode = c.card;
        SceneItem *camera = Object(nullptr, 0, 0, 0, 10);
        gP3D.viewObject = camera;
        SceneItem *destroyed = Object(nullptr, 0, 0, float(c.distance), 12000);
        destroyed->sim->radius = 12000;
        destroyed->sim->speed = c.speed;
        SceneItem *wreck = Object(nullptr, 0, 0, float(c.distance), 12000);
        DamageRecord r = {};
        r.point = {0, 0, 1};
        SpawnDestructionExplosion(wreck, &r, destroyed);
        EXPECT_EQ(wreck->control, WreckBreakUpControl);
        ParticleSystem *first = nullptr, *second = nullptr;
        for (ParticleSystem *ps : Systems(wreck)) {
            if ((ps->flags & ~1u) == 0x4100012u) first = ps;
            if ((ps->flags & ~1u) == 0x100012u) second = ps;
        }
        ASSERT_NE(second, nullptr);
        EXPECT_EQ(second->kind, c.card ? 6 : 0);
        EXPECT_EQ(first ? first->count : 0, c.first) << int(c.card) << " " << c.distance;
        EXPECT_EQ(second->count, c.second) << int(c.card) << " " << c.distance;
        EXPECT_EQ(second->rate, c.rate) << int(c.card) << " " << c.distance;
        EXPECT_EQ(second->speed, 7000);
        EXPECT_EQ(second->initialLife, 1120);
        if (first) {
            EXPECT_FLOAT_EQ(first->speed, 7000.0f / 3);
        }
        dunResetWorld();
    }
}

TEST_F(Explosions, AFullPoolStillLeavesTheFlashAndTheSound) {
    while (AllocParticleSystem(2, 0x12, 10, 100, 1, 1, 1)) {
    }
    SceneItem *wreck = Object(nullptr, 0, 0, 5000, 100);
    DamageRecord r = {};
    SpawnDestructionExplosion(wreck, &r, owner);
    SpawnArrivalBurst(owner);
    EXPECT_TRUE(Systems(wreck).empty());
    EXPECT_TRUE(Systems(owner).empty());
    EXPECT_EQ(Count("flash", 400), 1);
    EXPECT_EQ(Count("sound", 10), 1) << "no mass, no gas shell";
    EXPECT_EQ(Count("sound", 26), 1);
    EXPECT_EQ(Count("flash", 150), 1);
}

TEST_F(Explosions, AWreckBlowsOffItsPartsOneByOneAndGoesFiveSecondsAfterTheLast) {
    SceneItem *wreck = Object(nullptr, 0, 0, 5000, 100);
    wreck->sim->radius = 100;
    dunSetMessageHandler(wreck, dunHandleMessages);
    TDP *root = wreck->avatar->root;
    TDP *parts[3];
    TDP *previous = root;
    for (TDP *&p : parts) {
        p = dunNewTDP();
        p->owner = wreck;
        p->flags |= TDPFlag::HasActor;
        p->offset = {100, 0, 0};
        p->radius = 40;
        previous->sibling = p;
        previous = p;
    }
    // A particle part among them is passed over.
    TDP *burst = CreateParticleSystem(wreck, nullptr, 2, 0x12, 100, 10, 100, 1, 1, 1);
    dunDetachNode(burst);
    burst->sibling = parts[2];
    parts[1]->sibling = burst;
    DamageRecord r = {};
    SpawnDestructionExplosion(wreck, &r, owner);
    ASSERT_EQ(wreck->avatar->nextBreakPart, parts[0]);
    const size_t before = Systems(wreck).size();
    dunFrameStep = 0;
    for (int i = 0; i < 100; ++i) WreckBreakUpControl(wreck);
    EXPECT_TRUE(parts[0]->flags & TDPFlag::HasActor) << "no time, no chance";
    dunFrameStep = 250;
    for (int i = 0; i < 3; ++i) {
        WreckBreakUpControl(wreck);
        EXPECT_FALSE(parts[i]->flags & TDPFlag::HasActor) << i;
        const ParticleSystem *ps = Newest(wreck);
        EXPECT_EQ(ps->flags & ~1u, 0x212u);
        EXPECT_EQ(ps->spread, 20);
        EXPECT_FLOAT_EQ(ps->speed, 100.0f / 10000 * 5000) << "by the wreck's radius";
    }
    EXPECT_EQ(Systems(wreck).size(), before + 3);
    EXPECT_EQ(Count("sound", 46), 3);
    EXPECT_EQ(wreck->avatar->nextBreakPart, nullptr);
    const uint32_t now = dunGameClock;
    MsgRecord m;
    dunGameClock = now + 499;
    EXPECT_FALSE(dunMsgReceive(wreck->receiverId, &m));
    dunGameClock = now + 500;
    ASSERT_TRUE(dunMsgReceive(wreck->receiverId, &m));
    EXPECT_EQ(m.header.type, MsgRemove);
    dunGameClock = now;
}

TEST_F(Explosions, TheWorldsDestructionsAndDeparturesReachTheirRecipes) {
    P3DInstallWorldHooks();
    // A destroyed ship seen close by breaks into a wreck that explodes and
    // blows its parts off.
    SceneItem *ship = Object(Cube("hull", 100), 0, 0, 3000, 173);
    ship->sim->radius = 173;
    dunSetMessageHandler(ship, dunHandleMessages);
    ship->avatar->root->viewPosition = {0, 0, 3000};
    DamageRecord r = {};
    r.point = {0, 0, -1};
    dunApplyDamage(ship, &r);
    SceneItem *wreck = nullptr;
    for (SceneItem *o = dunSceneListHead()->next; o != dunSceneListHead(); o = o->next)
        if (o->control == WreckBreakUpControl) wreck = o;
    ASSERT_NE(wreck, nullptr);
    EXPECT_GE(Systems(wreck).size(), 2u) << "the heat and the cloud";
    EXPECT_EQ(Count("flash", 400), 1);
    // A ship leaving for another system collapses into its ring.
    uint8_t payload[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    dunMsgPost(owner->receiverId, owner->receiverId, 0, MsgJumpDepart, 4, payload);
    owner->messageHandler(owner);
    ASSERT_NE(Newest(owner), nullptr);
    EXPECT_EQ(Newest(owner)->flags & ~1u, 0x4000u);
    EXPECT_EQ(Newest(owner)->speed, -15000);
}

TEST_F(Explosions, ShrapnelModelsGoWithTheirPieces) {
    P3DInstallWorldHooks();
    const int before = VtModelCount("Shrapnel");
    for (bool separate : {true, false}) {
        SceneItem *ship = Object(Cube(separate ? "whole" : "other", 100), 0, 0, 3000, 173);
        ship->sim->radius = 173;
        dunSetMessageHandler(ship, dunHandleMessages);
        if (separate) ASSERT_NE(dunBreakNearestIntoSceneItems(ship, ship->avatar->root, 4, 0, 0, 90, 3, 0, 0), nullptr);
        else ASSERT_NE(dunBreakNearest(ship, ship->avatar->root, 4, 0, 0, 90, 3), nullptr);
    }
    EXPECT_GT(VtModelCount("Shrapnel"), before);
    std::vector<SceneItem *> all;
    for (SceneItem *o = dunSceneListHead()->next; o != dunSceneListHead(); o = o->next) all.push_back(o);
    for (SceneItem *o : all) dunDeleteSceneItem(o);
    EXPECT_EQ(VtModelCount("Shrapnel"), before);
}

}  // namespace
