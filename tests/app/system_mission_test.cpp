// The star-system mission, "Deep Patrol", started from the command line and
// played headless with a fixed step: its SYSTEM statement builds the Kelvar
// system round the player's ship, the belt's asteroids keep up with the ship
// as it flies, and a later SYSTEM takes the ship on to Vessar.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "app/clock.h"
#include "app/floor_hooks.h"
#include "app/game.h"
#include "app/options.h"
#include "app/shell.h"
#include "common/headless_mission.h"
#include "common/sample_root.h"
#include "core/frame.h"
#include "core/options.h"
#include "hud/hud.h"
#include "platform/smack.h"
#include "script/mission.h"
#include "script/symbols.h"
#include "world/asteroids.h"
#include "world/belts.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/universe.h"

namespace {

std::string DebugLog() {
    std::ifstream in("debug.txt", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class SystemMission : public testing::Test {
protected:
    std::unique_ptr<ruvotest::SampleRoot> root;
    bool running = false;
    bool exited = false;
    void Launch(const char *mission) {
        root = std::make_unique<ruvotest::SampleRoot>();
        ASSERT_TRUE(
            ruvotest::StartHeadlessMission(("vek\\resource\\scripts\\missions\\" + std::string(mission)).c_str()));
        running = true;
    }
    void TearDown() override {
        if (running) {
            if (exited) gameShutdown();
            else ruvotest::StopHeadlessMission();
        }
        root.reset();
    }
    static void Turn() { ruvotest::HeadlessTurn(); }
    // The objects of the list with a name, by name.
    static std::multiset<std::string> Names() {
        std::multiset<std::string> names;
        SceneItem *head = dunSceneListHead();
        for (SceneItem *o = head->next; o != head; o = o->next)
            if (o->avatar && o->avatar->waypointName) names.insert(o->avatar->waypointName);
        return names;
    }
    static int Asteroids() {
        int n = 0;
        SceneItem *head = dunSceneListHead();
        for (SceneItem *o = head->next; o != head; o = o->next) n += (o->flags & SceneFlag::Asteroid) != 0;
        return n;
    }
    static int Index(const SceneItem *o) { return int(o - dunSceneItemPool); }
    static SceneItem *Symbol(const char *name) { return static_cast<SceneItem *>(GetScriptSymbolValue(name)); }
    static bool Listed(const void *hud) {
        for (int i = 0; i < hudCount; ++i)
            if (hudList[i] == hud) return true;
        return false;
    }
};

}  // namespace

TEST_F(SystemMission, DeepPatrolCrossesTwoSystems) {
    Launch("mission03.scr");
    SceneItem *player = dunPlayerShip;
    ASSERT_NE(player, nullptr);
    // The start ran SYSTEM into Kelvar: its sun, planets and moons, the two
    // stations of Tamsin and the belt's 25 asteroids.
    EXPECT_EQ(dunCurrentSystem, 1);
    const std::multiset<std::string> names = Names();
    for (const char *body : {"Kelvar", "Tamsin", "Pell", "Orrin", "Ashfall", "Cinder", "L4", "L5"})
        EXPECT_EQ(names.count(body), 1u) << body;
    EXPECT_EQ(names.count("The Drift"), 0u);
    ASSERT_NE(dunSunObject, nullptr);
    EXPECT_EQ(Asteroids(), 25);
    EXPECT_EQ(player->systemNumber, 1);
    // The ship sits 50,000 out along the arrival station's Z axis.
    SceneItem *l4 = dunFindNamedBody("L4");
    ASSERT_NE(l4, nullptr);
    const Mat4 &m = l4->sim->matrix;
    const double dx = player->sim->position.x - l4->sim->position.x, dy = player->sim->position.y - l4->sim->position.y,
                 dz = player->sim->position.z - l4->sim->position.z;
    EXPECT_NEAR(dx, m.m[8] * 50000.0, 1.0);
    EXPECT_NEAR(dy, m.m[9] * 50000.0, 1.0);
    EXPECT_NEAR(dz, m.m[10] * 50000.0, 1.0);
    // STARSYSTEM_1 laid the beacons: the chained ones carry HUD markers.
    SceneItem *b1 = Symbol("Beacon1"), *b2 = Symbol("Beacon2"), *b3 = Symbol("Beacon3");
    ASSERT_TRUE(b1 && b2 && b3);
    EXPECT_TRUE(Listed(b1->avatar->root->model));
    EXPECT_TRUE(Listed(b2->avatar->root->model));
    EXPECT_EQ(b3->avatar->root->model, nullptr);
    EXPECT_EQ(b1->avatar->waypointForward, b2);
    EXPECT_EQ(b2->avatar->waypointForward, b3);
    EXPECT_EQ(b3->avatar->waypointBack, b2);
    ASSERT_NE(Symbol("Raider"), nullptr);
    EXPECT_EQ(Symbol("Raider")->sim->goal, player);

    // Flying through the belt: the asteroids that fall behind come round
    // the ship again, so 25 stay about it.
    for (int turn = 0; turn < 30; ++turn) {
        player->sim->position.z += 400000.0;
        player->sim->matrix.m[14] = float(player->sim->position.z);
        Turn();
        ASSERT_EQ(dunCurrentSystem, 1) << turn;
    }
    EXPECT_TRUE(player->flags & SceneFlag::InBelt);
    EXPECT_EQ(Asteroids(), 25);
    int near = 0;
    SceneItem *head = dunSceneListHead();
    for (SceneItem *o = head->next; o != head; o = o->next) {
        if (!(o->flags & SceneFlag::Asteroid)) continue;
        const double ax = o->sim->position.x - player->sim->position.x,
                     ay = o->sim->position.y - player->sim->position.y,
                     az = o->sim->position.z - player->sim->position.z;
        near += std::sqrt(ax * ax + ay * ay + az * az) < 6e6;
    }
    EXPECT_EQ(near, 25);

    // Later the script jumps on to Vessar: nothing of Kelvar is left in the
    // list (its stations are parked), the ship is the same, and the new
    // system's routine has run.
    for (int turn = 0; turn < 1000 && dunCurrentSystem == 1; ++turn) Turn();
    ASSERT_EQ(dunCurrentSystem, 2) << "turns " << ScriptSymbolInt(FindScriptSymbol("Turns")) << "\n" << DebugLog();
    EXPECT_EQ(dunPlayerShip, player);
    EXPECT_TRUE(player->flags & SceneFlag::InUse);
    EXPECT_EQ(player->systemNumber, 2);
    const std::multiset<std::string> after = Names();
    for (const char *body : {"Kelvar", "Tamsin", "Pell", "Orrin", "Ashfall", "Cinder", "L4", "L5"})
        EXPECT_EQ(after.count(body), 0u) << body;
    for (const char *body : {"Vessar", "Brannock", "Sill", "Vessar Relay", "Wend"})
        EXPECT_EQ(after.count(body), 1u) << body;
    EXPECT_EQ(Asteroids(), 0);
    // Only what the clear spares (the cameras) keeps another system.
    SceneItem *head2 = dunSceneListHead();
    for (SceneItem *o = head2->next; o != head2; o = o->next) {
        if (!(o->flags & SceneFlag::SparedBySystemClear)) {
            EXPECT_EQ(o->systemNumber, 2) << Index(o);
        }
    }
    ASSERT_NE(Symbol("Relay1"), nullptr);
    EXPECT_TRUE(Listed(Symbol("Relay1")->avatar->root->model));
    EXPECT_EQ(Symbol("Relay2")->avatar->waypointBack, Symbol("Relay1"));

    // The mission's end forgets the systems it visited and its belt: the
    // next mission into Kelvar makes its stations again.
    exitMission();
    exited = true;
    for (int system = 0; system < kBuiltSystems; ++system) EXPECT_EQ(dunSystemVisited[system], 0) << system;
    EXPECT_EQ(dunBeltCount, 0);
    EXPECT_TRUE(dunUniverseCreated);
}

// The first mission's orders and targets run, and the belt's per-frame
// check is real.
TEST_F(SystemMission, TheFirstMissionsOrdersRun) {
    Launch("mission01.scr");
    for (int turn = 0; turn < 5; ++turn) Turn();
    const std::string log = DebugLog();
    for (const char *name : {"dunClearBeltTracking", "dunUpdateBelts", "ORDER", "TARGET", "MoveToSystem"})
        EXPECT_EQ(log.find(std::string("not built yet: ") + name + "\n"), std::string::npos) << name;
    SceneItem *enemy = static_cast<SceneItem *>(GetScriptSymbolValue("Enemy"));
    ASSERT_NE(enemy, nullptr);
    EXPECT_EQ(enemy->sim->goal, dunPlayerShip);
    EXPECT_STREQ(enemy->sim->shipInfo->orders[1].name, "FixedAttack");
}
