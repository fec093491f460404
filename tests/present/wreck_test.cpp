// The wreck fly-by: the reach, the course and lifetime, the controlled
// object's own wreck, and no model.
#include <cmath>

#include "RES/resman.h"
#include "p3d_fixture.h"
#include "world/flight.h"
#include "world/msghandler.h"

namespace {

using presenttest::P3DTest;

ResourceHandle *gCorpse = nullptr;

class Wreck : public P3DTest {
protected:
    void SetUp() override {
        Start(8);
        saved = &dunScript();
        hooks = *saved;
        hooks.symbolValue = [](const char *name) -> void * {
            return std::strcmp(name, "CorpseMd") == 0 ? gCorpse : nullptr;
        };
        WorldSetScriptHooks(&hooks);
        // A model that is not a LightWave object: no collision record.
        corpse.data = presenttest::Cube("corpse", 3.0f);
        gCorpse = &corpse;
        viewer = Object(nullptr, 0, 0, 0, 100);
        dunSetMessageHandler(viewer, dunHandleMessages);
        dunControlledObject = viewer;
        dunGameClock = 1000;
    }
    void TearDown() override {
        WorldSetScriptHooks(saved);
        gCorpse = nullptr;
        dunControlledObject = nullptr;
        P3DTest::TearDown();
    }
    // The wrecks made since the set-up.
    static std::vector<SceneItem *> Wrecks() {
        std::vector<SceneItem *> out;
        SceneItem *head = dunSceneListHead();
        for (SceneItem *o = head->next; o && o != head; o = o->next)
            if ((o->flags & SceneFlag::InUse) && o->avatar && (o->avatar->flags & AvatarFlag::FreeBody)) out.push_back(o);
        return out;
    }
    // Whether the wreck's message to remove itself is due at the clock.
    static bool DueAt(SceneItem *w, int32_t clock) {
        const int32_t keep = dunGameClock;
        dunGameClock = clock;
        MsgRecord m;
        const bool due = dunMsgReceive(w->receiverId, &m);
        dunGameClock = keep;
        return due;
    }
    const WorldScriptHooks *saved = nullptr;
    WorldScriptHooks hooks{};
    ResourceHandle corpse{};
    SceneItem *viewer = nullptr;
};

TEST_F(Wreck, TheReachIs300000) {
    struct Case {
        float z;
        size_t wrecks;
    };
    for (const Case &c : {Case{300000, 1}, Case{300001, 0}}) {
        SCOPED_TRACE(c.z);
        const size_t before = Wrecks().size();
        P3DMakeWreck(Object(nullptr, 0, 0, c.z, 100));
        EXPECT_EQ(Wrecks().size() - before, c.wrecks);
    }
}

TEST_F(Wreck, TheCourseMeetsTheViewerAndTheLifetimeFollowsTheDistance) {
    viewer->sim->velocity = {0, 0, 1000};
    SceneItem *ship = Object(nullptr, 9000, 0, 0, 100);
    ship->rollSpin = 7.0f;
    P3DMakeWreck(ship);
    ASSERT_EQ(Wrecks().size(), 1u);
    SceneItem *w = Wrecks()[0];
    // f = 9000 / 4500 = 2 seconds to the point 2 x 1000 + 10000 ahead of the viewer.
    EXPECT_FLOAT_EQ(w->sim->velocity.x, -4500.0f);
    EXPECT_FLOAT_EQ(w->sim->velocity.z, 6000.0f);
    EXPECT_DOUBLE_EQ(w->sim->position.x, 9000.0);
    EXPECT_EQ(w->rollSpin, 7.0f);
    EXPECT_GE(w->yawSpin, -25.0f);
    EXPECT_LT(w->pitchSpin, 25.0f);
    EXPECT_EQ(w->simulator, dunSimSpawnedNode);
    EXPECT_EQ(w->sim->speed, 50.0f);
    EXPECT_TRUE(w->avatar->root->flags & TDPFlag::HasActor);
    EXPECT_FALSE(w->avatar->root->flags & TDPFlag::Collidable);
    // No collision record: the radius of the cube's vertices.
    EXPECT_GT(w->sim->radius, 0.0f);
    EXPECT_EQ(w->sim->radius, w->avatar->root->radius);
    // 2 x 100 + 600 centiseconds, and then it is gone.
    EXPECT_FALSE(DueAt(w, 1000 + 799));
    dunGameClock = 1000 + 800;
    dunHandleMessages(w);
    EXPECT_FALSE(w->flags & SceneFlag::InUse);
}

TEST_F(Wreck, AShipDestroyedVeryCloseStillTakesOneSecond) {
    P3DMakeWreck(Object(nullptr, 0, 0, 100, 100));
    ASSERT_EQ(Wrecks().size(), 1u);
    SceneItem *w = Wrecks()[0];
    EXPECT_FLOAT_EQ(w->sim->velocity.z, -100.0f + 10000.0f);
    EXPECT_FALSE(DueAt(w, 1000 + 699));
    EXPECT_TRUE(DueAt(w, 1000 + 700));
}

TEST_F(Wreck, TheControlledObjectsOwnWreckFliesOnAlongItsAxis) {
    // Turned to look along +x.
    Mat4 &m = viewer->sim->matrix;
    m.m[0] = 0, m.m[2] = -1, m.m[8] = 1, m.m[10] = 0;
    viewer->sim->position = {500, 0, 0};
    P3DMakeWreck(viewer);
    ASSERT_EQ(Wrecks().size(), 1u);
    SceneItem *w = Wrecks()[0];
    EXPECT_FLOAT_EQ(w->sim->velocity.x, 1200.0f);
    EXPECT_FLOAT_EQ(w->sim->velocity.z, 0.0f);
    EXPECT_DOUBLE_EQ(w->sim->position.x, 500.0 + 4200.0);
    EXPECT_LE(std::fabs(w->sim->position.y), 1500.0);
    EXPECT_LE(std::fabs(w->sim->position.z), 1500.0);
    EXPECT_EQ(w->sim->matrix.m[8], 1.0f);
    // Fifteen seconds and six more.
    EXPECT_FALSE(DueAt(w, 1000 + 2099));
    EXPECT_TRUE(DueAt(w, 1000 + 2100));
}

TEST_F(Wreck, NoModelNoWreck) {
    SceneItem *ship = Object(nullptr, 0, 0, 1000, 100);
    gCorpse = nullptr;  // no symbol
    P3DMakeWreck(ship);
    EXPECT_TRUE(Wrecks().empty());
    const auto lookUp = hooks.symbolValue;
    hooks.symbolValue = nullptr;  // no script at all
    P3DMakeWreck(ship);
    EXPECT_TRUE(Wrecks().empty());
    hooks.symbolValue = lookUp;
    gCorpse = &corpse;
    dunControlledObject = nullptr;  // nothing to fly past
    P3DMakeWreck(ship);
    EXPECT_TRUE(Wrecks().empty());
}

}  // namespace
