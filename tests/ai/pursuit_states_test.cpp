// The pursuit, range, gate, orbit, route and watch states.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#include "RES/util.h"
#include "ai/brain.h"
#include "ai_fixture.h"
#include "world/handle.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/services.h"

using ruvotest::AiShip;

namespace {

constexpr uint32_t kLagrange = 18, kPointAt = 47, kAchieveRange = 49, kCapsule = 52, kBusDriver = 54, kLoiter = 56,
                   kHoldFormation = 59, kSeekOrbitalSpeed = 76, kWatch = 78;

class PursuitStates : public testing::Test {
protected:
    void SetUp() override {
        dunai_InitStateRegistry();
        dunFrameStep = 2;
        dunFrameSeconds = 0.02f;
    }
    // One entry with the frame's own locals, so a test can run a state on.
    static StateCommand Run(uint32_t state, SceneItem *ship, int16_t step, int32_t *locals, uint32_t p1 = 0,
                            uint32_t p2 = 0, uint32_t p3 = 0) {
        StateCommand c{};
        AiStateHandlers[state](&c, ship, step, 0.0f, locals, p1, p2, p3);
        return c;
    }
    static StateCommand Call(uint32_t state, SceneItem *ship, int16_t step, uint32_t p1 = 0, uint32_t p2 = 0,
                             uint32_t p3 = 0) {
        int32_t locals[5] = {};
        return Run(state, ship, step, locals, p1, p2, p3);
    }
};

// Range 100000: inside the band (half the range, the range) the ship stops
// where it stands relative to T; outside it keeps closing; a ship flagged to
// stop stops wherever it is.
TEST_F(PursuitStates, AchieveRangeHoldsInsideItsBand) {
    const struct {
        double at;
        bool stopAnywhere;
        bool stops;
    } cases[] = {{40000, false, false},  {50000, false, false},  {50001, false, true}, {99999, false, true},
                 {100000, false, false}, {900000, false, false}, {900000, true, true}};
    for (const auto &k : cases) {
        // The object named by p2 is the target, not the one the ship had.
        SceneItem *ship = AiShip(), *t = AiShip(0, 0, k.at), *decoy = AiShip(0, 75000, 0);
        t->avatar->position = t->sim->position;
        ship->sim->target = decoy;
        if (k.stopAnywhere) ship->sim->flags |= SimFlag::CollisionCourse;
        const StateCommand c = Call(kAchieveRange, ship, 2, 100000, dunHandleOf(t));
        EXPECT_EQ(ship->sim->target, t);
        if (k.stops) {
            ASSERT_EQ(c.command, StateCmd::Push) << k.at;
            EXPECT_EQ(c.state, 11u);
            EXPECT_EQ(c.step, 3);
            // The stop is where the ship is now, in T's axes: behind it.
            EXPECT_EQ(int32_t(c.params[2]), -int32_t(k.at)) << k.at;
        } else {
            EXPECT_EQ(c.command, StateCmd::Yield) << k.at;
            EXPECT_EQ(c.step, 2) << k.at;
        }
        for (SceneItem *o : {ship, t, decoy}) dunDeleteSceneItem(o);
    }
}

TEST_F(PursuitStates, AchieveRangeLeavesABodyAloneUnlessItMayBeApproached) {
    SceneItem *ship = AiShip(), *planet = AiShip(0, 0, 5e6);
    planet->avatar->flags16 |= AvatarState::GravityBody;
    ship->sim->target = planet;
    StateCommand c = Call(kAchieveRange, ship, 1, 100000);
    EXPECT_EQ(c.command, StateCmd::Finish);
    EXPECT_EQ(c.result, 1.0f);
    planet->avatar->flags |= AvatarFlag::LagrangeTurned;
    c = Call(kAchieveRange, ship, 1, 100000);
    EXPECT_EQ(c.command, StateCmd::Yield);
    EXPECT_EQ(c.step, 2);
}

TEST_F(PursuitStates, RouteNamesSwapTheTrailingDigitsForTheIndex) {
    const struct {
        const char *first;
        int32_t index;
        const char *name;
    } cases[] = {{"Bus7", 3, "Bus3"},  {"Bus", 2, "Bus2"}, {"Route12", 0, "Route0"},
                 {"A1B22", 5, "A1B5"}, {"42", 1, "1"},     {"Stop", 1234567890, "Stop1234567890"}};
    for (const auto &k : cases) EXPECT_EQ(dunai_RouteWaypointName(k.first, k.index), k.name) << k.first;
    // A name far longer than any fixed buffer.
    EXPECT_EQ(dunai_RouteWaypointName((std::string(300, 'x') + "9").c_str(), 10), std::string(300, 'x') + "10");
}

// The mission's symbols, for the route states: name to object and back.
std::map<std::string, SceneItem *> gNamed;
const WorldScriptHooks kRouteHooks = [] {
    WorldScriptHooks h{};
    h.objectNamed = [](const char *name) {
        auto it = gNamed.find(name);
        return it == gNamed.end() ? nullptr : it->second;
    };
    h.nameOfObject = [](const SceneItem *item) -> const char * {
        for (auto &[name, o] : gNamed)
            if (o == item) return name.c_str();
        return nullptr;
    };
    return h;
}();

// The route runs Bus1, Bus2, Bus3, then (no Bus4) starts again at Bus0;
// without a Bus0 it starts again at its first stop.
TEST_F(PursuitStates, TheRouteRunsInOrderAndStartsAgain) {
    for (const bool withZero : {true, false}) {
        gNamed.clear();
        for (int i = withZero ? 0 : 1; i <= 3; ++i) gNamed["Bus" + std::to_string(i)] = AiShip(0, 0, 1e6 * i);
        WorldSetScriptHooks(&kRouteHooks);
        SceneItem *ship = AiShip();
        int32_t locals[5] = {};
        const uint32_t first = dunHandleOf(gNamed["Bus1"]);
        StateCommand c = Run(kBusDriver, ship, 0, locals, first, 1);
        std::vector<std::string> visited;
        for (int n = 0; n < 30 && visited.size() < 5; ++n) {
            if (c.step == 2) {
                c = Run(kBusDriver, ship, 2, locals, first, 1);
                ASSERT_EQ(c.command, StateCmd::Push);
                EXPECT_EQ(c.state, kAchieveRange);
                EXPECT_EQ(c.params[0], 500000u);
                for (auto &[name, o] : gNamed)
                    if (dunHandleOf(o) == c.params[1]) visited.push_back(name);
            }
            c = Run(kBusDriver, ship, int16_t(c.step), locals, first, 1);
        }
        const std::vector<std::string> want = withZero
                                                  ? std::vector<std::string>{"Bus1", "Bus2", "Bus3", "Bus0", "Bus1"}
                                                  : std::vector<std::string>{"Bus1", "Bus2", "Bus3", "Bus1", "Bus2"};
        EXPECT_EQ(visited, want) << withZero;
        WorldSetScriptHooks(nullptr);
        EXPECT_EQ(Call(kBusDriver, ship, 1).result, 0.0f) << "no first stop";
    }
}

// Loiter and formation need something to circle or hold by.
TEST_F(PursuitStates, LoiterAndFormationWithoutACentreFinishZero) {
    SceneItem *ship = AiShip();
    for (const uint32_t state : {kLoiter, kHoldFormation}) {
        const StateCommand c = Call(state, ship, 1);
        EXPECT_EQ(c.command, StateCmd::Finish) << state;
        EXPECT_EQ(c.result, 0.0f) << state;
    }
}

// The circle re-checks its distance after 600 centiseconds of lap; about
// one re-check in thirty looks for another centre.
TEST_F(PursuitStates, LoiterRechecksEverySixSecondsAndSometimesMovesOn) {
    SceneItem *ship = AiShip(), *centre = AiShip(0, 0, 200000);
    int32_t locals[5] = {int32_t(dunHandleOf(centre)), 150000, 0, 0, 0};
    int frames = 0;
    for (StateCommand c{}; c.step != 3; ++frames) c = Run(kLoiter, ship, 4, locals);
    EXPECT_EQ(frames, 301);
    EXPECT_TRUE(std::isfinite(ship->sim->thrust.z));
    dunRand15State = 12345;
    int other = 0;
    for (int i = 0; i < 3000; ++i) {
        locals[0] = int32_t(dunHandleOf(centre));
        const StateCommand c = Run(kLoiter, ship, 3, locals);
        other += c.step != 4;
    }
    EXPECT_GT(other, 60);
    EXPECT_LT(other, 150);
}

// A ship showing for 20 centiseconds is lost after 22 at or below the
// threshold; one showing for p3 raises the alarm to its own side.
TEST_F(PursuitStates, WatchTimers) {
    SceneItem *watcher = AiShip(), *friendly = AiShip(), *intruder = AiShip(0, 0, 500000);
    for (SceneItem *o : {watcher, friendly, intruder}) dunSetMessageHandler(o, nullptr);
    intruder->sim->shipInfo->side = 3;
    intruder->sim->signature = 500.0f;
    int32_t locals[5] = {};
    StateCommand c{};
    for (int i = 0; i < 9; ++i) {
        c = Run(kWatch, watcher, 1, locals, 3, 100, 1000);
        ASSERT_EQ(c.step, 1) << i;
    }
    c = Run(kWatch, watcher, 1, locals, 3, 100, 1000);
    ASSERT_EQ(c.step, 2);
    EXPECT_EQ(uint32_t(locals[0]), dunHandleOf(intruder));
    for (int i = 0; i < 10; ++i) c = Run(kWatch, watcher, 2, locals, 3, 100, 1000);
    EXPECT_EQ(c.step, 2);
    intruder->sim->signature = 100.0f;  // at the threshold: not showing
    c = Run(kWatch, watcher, 2, locals, 3, 100, 1000);
    ASSERT_EQ(c.step, 3);
    int below = 0;
    while (c.step == 3) {
        c = Run(kWatch, watcher, 3, locals, 3, 100, 1000);
        ++below;
    }
    EXPECT_EQ(c.step, 1);
    EXPECT_EQ(below, 11);

    // Seen again, and for long enough: the alarm.
    intruder->sim->signature = 500.0f;
    locals[2] = 0;
    c = Run(kWatch, watcher, 2, locals, 3, 100, 6);
    EXPECT_EQ(c.step, 2);
    c = Run(kWatch, watcher, 2, locals, 3, 100, 6);
    c = Run(kWatch, watcher, 2, locals, 3, 100, 6);
    ASSERT_EQ(c.step, 4);
    c = Run(kWatch, watcher, 4, locals, 3, 100, 6);
    EXPECT_EQ(c.step, 5);
    EXPECT_EQ(dunMsgCountType(friendly, MsgSetGoal), 1);
    EXPECT_EQ(dunMsgCountType(watcher, MsgSetGoal), 0);
    EXPECT_EQ(dunMsgCountType(intruder, MsgSetGoal), 0);
}

// The turret's re-pick: every p2 centiseconds, 500 when p2 is 0.
TEST_F(PursuitStates, PointAtRepicksOnItsInterval) {
    for (const auto &[p2, frames] : {std::pair{0u, 251}, std::pair{100u, 51}}) {
        SceneItem *ship = AiShip();
        int32_t locals[5] = {-40, 0, 0, 0, 0};  // a negative timer counts from 0
        int n = 0;
        do {
            Run(kPointAt, ship, 1, locals, 0, p2);
            ++n;
        } while (locals[0] != 0 && n < 1000);
        EXPECT_EQ(n, frames) << p2;
        dunDeleteSceneItem(ship);
    }
}

// Through the gate: a jump to the destination, or removal for an object
// that deletes itself; the player flying by hand is sent nothing.
TEST_F(PursuitStates, TheGateSendsAJumpOrARemoval) {
    const struct {
        bool selfDeleting, player;
        int jumps, removals;
    } cases[] = {{false, false, 1, 0}, {true, false, 0, 1}, {false, true, 0, 0}};
    for (const auto &k : cases) {
        SceneItem *ship = AiShip(), *gate = AiShip(0, 0, 400000);
        dunSetMessageHandler(ship, nullptr);
        if (k.selfDeleting) ship->flags |= SceneFlag::SelfDeleting;
        SceneItem *saved = dunPlayerShip;
        if (k.player) dunPlayerShip = ship;
        const StateCommand c = Call(kLagrange, ship, 5, dunHandleOf(gate), 7);
        dunPlayerShip = saved;
        EXPECT_EQ(c.command, StateCmd::Finish);
        EXPECT_EQ(c.result, 1.0f);
        EXPECT_EQ(dunMsgCountType(ship, MsgJumpDepart), k.jumps);
        EXPECT_EQ(dunMsgCountType(ship, MsgRemove), k.removals);
        EXPECT_EQ(gate->avatar->destination, k.player ? 0u : 7u);
        dunDeleteSceneItem(ship);
        dunDeleteSceneItem(gate);
    }
    // No gate, no target: nothing to fly through.
    EXPECT_EQ(Call(kLagrange, AiShip(), 1).result, 0.0f);
    EXPECT_EQ(Call(kCapsule, AiShip(), 1).result, 0.0f);
}

// The orbit: the circular speed for the body's mass and the depth, the
// axes unit and square whatever the velocity (along the orbit, none, or
// straight up), thrust within the acceleration, climbing when low.
TEST_F(PursuitStates, SeekOrbitalSpeedHoldsAnOrbitWithAWholeShip) {
    const Vec3 velocities[] = {{0, 0, 40000}, {0, 0, 0}, {0, 30000, 0}, {5000, -20000, 0}};
    for (const Vec3 &v : velocities) {
        SceneItem *ship = AiShip(0, 3000000, 0), *body = AiShip();
        body->sim->radius = 4000000.0f;
        body->sim->mass = 6e20f;
        ship->flags |= SceneFlag::InGravityWell;
        ship->sim->gravity.body = body;
        ship->sim->gravity.depth = 1000000.0f;
        ship->sim->velocity = v;
        const StateCommand c = Call(kSeekOrbitalSpeed, ship, 1, 0, 150);
        EXPECT_EQ(c.step, 2);
        const double want = 1000.0 * std::sqrt(6.673e-11 * 6e20 / (2000000.0 + 1000000.0));
        EXPECT_NEAR(ship->sim->demandSpeed, want, want * 1e-4);
        const Mat4 &m = ship->sim->matrix;
        for (int r = 0; r < 3; ++r) {
            const float len =
                std::sqrt(m.m[4 * r] * m.m[4 * r] + m.m[4 * r + 1] * m.m[4 * r + 1] + m.m[4 * r + 2] * m.m[4 * r + 2]);
            EXPECT_NEAR(len, 1.0f, 1e-4f) << r << " velocity " << v.y;
            const int q = (r + 1) % 3;
            EXPECT_NEAR(m.m[4 * r] * m.m[4 * q] + m.m[4 * r + 1] * m.m[4 * q + 1] + m.m[4 * r + 2] * m.m[4 * q + 2],
                        0.0f, 1e-4f);
        }
        EXPECT_NEAR(m.m[5], 1.0f, 1e-4f) << "up is away from the body";
        const float a = ship->sim->flight->p1;
        EXPECT_EQ(ship->sim->thrust.x, 0.0f);
        EXPECT_LE(std::fabs(ship->sim->thrust.y), a);
        EXPECT_LE(std::fabs(ship->sim->thrust.z), a);
        // Wanted 15,000,000 up, at 1,000,000: climb.
        if (v.y == 0) {
            EXPECT_GT(ship->sim->thrust.y, 0.0f);
        }
        dunDeleteSceneItem(ship);
        dunDeleteSceneItem(body);
    }
    // A body without mass gives no speed, not a NaN.
    SceneItem *ship = AiShip(0, 3000000, 0), *body = AiShip();
    ship->flags |= SceneFlag::InGravityWell;
    ship->sim->gravity.body = body;
    Call(kSeekOrbitalSpeed, ship, 1);
    EXPECT_EQ(ship->sim->demandSpeed, 0.0f);
    EXPECT_TRUE(std::isfinite(ship->sim->thrust.z));
    ship->flags &= ~SceneFlag::InGravityWell;
    EXPECT_EQ(Call(kSeekOrbitalSpeed, ship, 2).step, 1) << "no field: wait";
}

}  // namespace
