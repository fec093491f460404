#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/options.h"
#include "platform/video.h"
#include "RES/resman.h"
#include "world/contact.h"
#include "world/eventhooks.h"
#include "world/msghandler.h"
#include "world/objroutines.h"
#include "world_fakes.h"
#include "world_fixture.h"

using ruvotest::FatalError;

namespace {

std::vector<std::string> gRan;

class EventHookTest : public WorldTest {
protected:
    WorldFakes fakes;
    void SetUp() override {
        WorldTest::SetUp();
        gRan.clear();
    }
    static bool AddRoutine(SceneItem *item, uint32_t event, HookAction routine) {
        return dunAddEventHook(item, event, ActionFlag::PointerGiven | ActionFlag::CallRoutine, {.routine = routine});
    }
    static int ActionsInUse() {
        int n = 0;
        for (const Action &a : dunActionPool) n += (a.flags & ActionFlag::InUse) != 0;
        return n;
    }
    static DockingPort *AddPort(SceneItem *ship) {
        static DockingPort ports[4];
        static int next = 0;
        DockingPort *p = &ports[next++ % 4];
        *p = {};
        if (!ship->sim->shipInfo) ship->sim->shipInfo = dunAllocShipInfo();
        ship->sim->shipInfo->ports = p;
        return p;
    }
};

}  // namespace

TEST_F(EventHookTest, HooksOfAnEventRunInTheOrderAdded) {
    SceneItem *a = MakeObject();
    AddRoutine(a, HookEvent::Damaged, [](SceneItem *, const HookArgument *) { gRan.push_back("first"); });
    AddRoutine(a, HookEvent::Collision, [](SceneItem *, const HookArgument *) { gRan.push_back("collision"); });
    AddRoutine(a, HookEvent::Damaged, [](SceneItem *, const HookArgument *) { gRan.push_back("second"); });
    AddRoutine(a, 99, [](SceneItem *, const HookArgument *) { gRan.push_back("never"); });
    EXPECT_EQ(dunRunEventHooks(a, HookEvent::Damaged, nullptr), 2);
    EXPECT_EQ(gRan, (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(dunRunEventHooks(a, HookEvent::Undocked, nullptr), 0);
}

TEST_F(EventHookTest, TableRowsAreChosenByIndexAndOthersRefused) {
    SceneItem *a = MakeObject();
    const int16_t rows[] = {-1, 5, 3};
    EXPECT_FALSE(dunAddEventHook(a, HookEvent::Collision, ActionFlag::CallRoutine, {.index = &rows[0]}));
    EXPECT_FALSE(dunAddEventHook(a, HookEvent::Collision, ActionFlag::CallRoutine, {.index = &rows[1]}));
    EXPECT_FALSE(dunAddEventHook(a, HookEvent::Collision, ActionFlag::CallRoutine, {.index = nullptr}));
    EXPECT_EQ(ActionsInUse(), 0);
    ASSERT_TRUE(dunAddEventHook(a, HookEvent::Collision, ActionFlag::CallRoutine, {.index = &rows[2]}));
    EXPECT_EQ(a->sim->hooks->routine, &dunHookToggleColour);
    a->avatar->colourIndex = 9;
    dunRunEventHooks(a, HookEvent::Collision, nullptr);
    EXPECT_EQ(a->avatar->colourIndex, 10u);
}

TEST_F(EventHookTest, TheActionPoolRunsOutFatally) {
    SceneItem *a = MakeObject();
    for (int i = 0; i < kMaxActions - 1; ++i) ASSERT_TRUE(AddRoutine(a, 0, nullptr));
    try {
        AddRoutine(a, 0, nullptr);
        AddRoutine(a, 0, nullptr);
        FAIL();
    } catch (const FatalError &e) {
        EXPECT_STREQ(e.what(), "Exceeded max Actions");
    }
}

TEST_F(EventHookTest, AHookThatRemovesItsObjectEndsTheRunAndFreesTheHooks) {
    SceneItem *a = MakeObject();
    AddRoutine(a, HookEvent::Destroyed, [](SceneItem *self, const HookArgument *) {
        gRan.push_back("remove");
        dunDeleteSceneItem(self);
    });
    AddRoutine(a, HookEvent::Destroyed, [](SceneItem *, const HookArgument *) { gRan.push_back("late"); });
    EXPECT_EQ(ActionsInUse(), 2);
    EXPECT_EQ(dunRunEventHooks(a, HookEvent::Destroyed, nullptr), 1);
    EXPECT_EQ(gRan, (std::vector<std::string>{"remove"}));
    EXPECT_EQ(ActionsInUse(), 0);
}

TEST_F(EventHookTest, AVideoHookClearsTheFlagWhenItsFilmDoesNotStart) {
    SceneItem *a = MakeObject();
    static ResourceHandle film;
    std::snprintf(film.name, sizeof film.name, "%s", "nosuchfilm.smk");
    ASSERT_TRUE(dunAddEventHook(a, HookEvent::Destroyed, ActionFlag::PointerGiven, {.video = &film}));
    VideoPlaying = 1;
    EXPECT_EQ(dunRunEventHooks(a, HookEvent::Destroyed, nullptr), 1);
    EXPECT_EQ(VideoPlaying, 0);
}

TEST_F(EventHookTest, HullRuptureAtTheEventsPoint) {
    SceneItem *a = MakeObject();
    const HookArgument arg = {{4.0f, 5.0f, 6.0f}, nullptr, nullptr};
    dunHookHullRupture(a, &arg);
    const FakeCall *c = fakes.Find("addHullRupture");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->item, a);
    EXPECT_EQ(c->a, 14);
    EXPECT_EQ(c->b, 1500);
    EXPECT_EQ(c->point.y, 5.0f);
}

TEST_F(EventHookTest, DockOnContactOnlyWithThePlayerAlignedAndWithPorts) {
    struct Case {
        const char *name;
        bool player;
        float zz;  // the other's Z axis . the item's (both unit)
        bool ports;
        bool docks;
    };
    const Case cases[] = {
        {"aligned with the player", true, 0.95f, true, true},
        {"facing the player", true, -0.95f, true, true},
        {"askew", true, 0.89f, true, false},
        {"another ship", false, 1.0f, true, false},
        {"no ports", true, 1.0f, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        fakes.calls.clear();
        SceneItem *station = MakeObject();
        SceneItem *ship = MakeObject();
        DockingPort *p = c.ports ? AddPort(station) : nullptr;
        DockingPort *q = c.ports ? AddPort(ship) : nullptr;
        dunPlayerShip = c.player ? ship : nullptr;
        const float s = std::sqrt(1.0f - c.zz * c.zz);
        ship->sim->matrix.m[8] = s;
        ship->sim->matrix.m[9] = 0.0f;
        ship->sim->matrix.m[10] = c.zz;
        const HookArgument arg = {{}, ship, nullptr};
        dunHookDockOnContact(station, &arg);
        EXPECT_EQ(fakes.Count("dockedCockpit"), c.docks ? 1 : 0);
        if (c.ports) {
            EXPECT_EQ((p->flags & PortFlag::Open) != 0, c.docks);
            EXPECT_EQ((q->flags & PortFlag::Open) != 0, c.docks);
        }
        if (c.docks) {
            EXPECT_EQ(fakes.Find("eventCamera")->a, 12);
        }
    }
    dunPlayerShip = nullptr;
}

TEST_F(EventHookTest, ColourCycleForwardAndBackOnTheParticles) {
    struct Case {
        uint32_t from;
        bool forward;
        uint32_t to;
    };
    const Case cases[] = {{9, true, 10},  {10, true, 12},  {12, true, 9},  {0, true, 9},
                          {9, false, 12}, {12, false, 10}, {10, false, 9}, {11, false, 10}};
    SceneItem *gate = MakeObject();
    TDP *node = dunAddChildTDP(gate->avatar->root, nullptr, 0, 0, 0);
    node->flags |= TDPFlag::Particle;
    ParticleSystem *ps = dunAllocSmallParticleSystem();
    ps->count = 60;  // more than its array holds: only the array is touched
    ps->flags |= 0x2000000;
    node->particleOrMaterial = ps;
    for (const Case &c : cases) {
        gate->avatar->colourIndex = c.from;
        dunCycleColourIndex(gate, c.forward);
        EXPECT_EQ(gate->avatar->colourIndex, c.to) << c.from << " " << c.forward;
        EXPECT_EQ(ps->points[0].colour, c.to);
        EXPECT_EQ(ps->points[kSmallParticleCount - 1].colour, c.to);
        EXPECT_EQ(ps->points[5].shade, 64);
    }
    EXPECT_EQ(ps->flags & 0x12000000u, 0x10000000u);
    // A first child that is not a particle node only takes the colour.
    SceneItem *plain = MakeObject();
    dunAddChildTDP(plain->avatar->root, nullptr, 0, 0, 0);
    dunHookToggleColour(plain, nullptr);
    EXPECT_EQ(plain->avatar->colourIndex, 9u);
}

TEST_F(EventHookTest, PlasmaBallsDifferOnlyInTheirLifetime) {
    SceneItem *launcher = MakeObject();
    launcher->sim->matrix.m[12] = 100.0f;
    dunGameClock = 1000;
    dunLaunchPlasmaBall(launcher, nullptr);
    SceneItem *shortBall = dunLastPlasmaBall;
    dunHookLongPlasmaBall(launcher, nullptr);
    SceneItem *longBall = dunLastPlasmaBall;
    ASSERT_NE(shortBall, longBall);
    EXPECT_EQ(launcher->avatar->secondHandler, &dunDestroySelf);
    EXPECT_EQ(launcher->avatar->root->radius, 100000.0f);
    for (SceneItem *ball : {shortBall, longBall}) {
        EXPECT_EQ(ball->simulator, &dunSimPlasmaBall);
        EXPECT_EQ(ball->messageHandler, &dunHandleMessages);
        EXPECT_EQ(ball->avatar->contactHandler, &dunContactPlasmaBall);
        EXPECT_EQ(ball->sim->speed, 1850.0f);
        EXPECT_EQ(ball->sim->radius, 30.0f);
        EXPECT_EQ(ball->sim->hull, 2000000000);
        EXPECT_EQ(ball->sim->timer, 550);
        EXPECT_EQ(ball->sim->matrix.m[12], 100.0f);
        EXPECT_EQ(ball->avatar->position.x, 100.0);
        EXPECT_EQ(ball->avatar->root->flags & 0x8014u, 0x8014u);
        EXPECT_NE(ball->avatar->root->savedModel[2], nullptr);
        EXPECT_EQ(dunMsgPendingCount(ball->receiverId), 1);  // its removal, due at 1550
        EXPECT_FALSE(ball->flags & SceneFlag::Appended);
    }
    EXPECT_EQ(shortBall->avatar->lifetime, 120000u);
    EXPECT_EQ(longBall->avatar->lifetime, 1800000u);
    EXPECT_EQ(fakes.Count("setupPlasmaBall"), 2);
    EXPECT_EQ(fakes.Find("setupPlasmaBall")->text, "plasmaball");
    EXPECT_EQ(fakes.Find("setFlashBrightness")->a, 175);
}

TEST_F(EventHookTest, GasShellsOnlyInTheCardMode) {
    SceneItem *launcher = MakeObject();
    launcher->sim->speed = 640.0f;
    CardMode = 0;
    SceneItem *before = dunLastPlasmaBall;
    dunLaunchGasShell(launcher, nullptr);
    EXPECT_EQ(fakes.Count("setupGasShell"), 0);
    EXPECT_EQ(launcher->avatar->secondHandler, nullptr);
    CardMode = 1;
    dunLaunchGasShell(launcher, nullptr);
    CardMode = 0;
    const FakeCall *c = fakes.Find("setupGasShell");
    ASSERT_NE(c, nullptr);
    SceneItem *shell = c->item;
    EXPECT_EQ(c->text, "gas_shell");
    EXPECT_EQ(shell->simulator, &dunSimGasShell);
    EXPECT_EQ(shell->avatar->contactHandler, &dunContactProjectile);
    EXPECT_EQ(shell->avatar->marker, '-');
    EXPECT_EQ(shell->sim->speed, 640.0f);
    EXPECT_EQ(shell->sim->timer, 400);
    EXPECT_EQ(dunLastPlasmaBall, before);
}
