// The ship brain: the order table and slot services, the evaluation
// routines, the switch between slots with its margin, eligibility, the
// evaluation clock, starting an order, the control routine, and the goal
// pickers with their side masks.
#include <cmath>
#include <cstring>
#include <functional>
#include <string>

#include "RES/util.h"
#include "ai/brain.h"
#include "ai_fixture.h"
#include "world/docking.h"
#include "world/handle.h"
#include "world/msghandler.h"

namespace {

using ruvotest::AiShip;

// An evaluation that counts its calls and returns parameter 1.
int gEvaluations;
int32_t Counting(SceneItem *, uint32_t p1, uint32_t, OrderSlot *) {
    ++gEvaluations;
    return int32_t(p1);
}

class Brain : public testing::Test {
protected:
    SceneItem *ship = nullptr;
    ShipInfo *info = nullptr;
    void SetUp() override {
        dunai_InitStateRegistry();
        gEvaluations = 0;
        dunFrameStep = 2;
        ship = AiShip();
        info = ship->sim->shipInfo;
        dunai_ResetOrders(info);
    }
    void TearDown() override { dunFrameStep = 0; }
    OrderSlot &Slot(int n) { return info->orders[n]; }
    // A slot filled with a counting evaluation of the value, weight 1, and a
    // start state of its own number (the states are never run here).
    void Fill(int n, int32_t value, int32_t weight = 1) {
        dunai_SetOrder(info, n, 0, 0, 0, weight, Counting, uint32_t(value), 0);
        dunai_SetOrderState(info, n, uint32_t(60 + n), 0, 0, 0);
    }
    uint32_t BottomState() const { return info->states[0].state; }
};

// ---- the order table and the slot services --------------------------------------------

TEST_F(Brain, TheOrderTableHasItsRowsAndIsFoundByExactName) {
    int rows = 0;
    while (dunOrderTable[rows].name) ++rows;
    EXPECT_EQ(rows, kOrderRows);
    struct Row {
        const char *name;
        OrderEvaluation evaluation;
        uint32_t state, p1, p2, p3;
    };
    const Row kRows[] = {
        {"WaitForFurtherOrders", dunai_EvalDefault, 63, 0, 0, 0},
        {"SelfPreservation", dunai_EvalSelfPreservation, 35, 0, 0, 0},
        {"AcquireNavyBase", dunai_EvalAcquire, 62, 136, 0, 50000000},
        {"NavyGunPlatform", dunai_EvalDefault, 23, 4, 1216, 0},
        {"StayNear", dunai_EvalStayNear, 51, 600000, 0, 0},
        {"AmbushAttack", dunai_EvalDockWhenClose, 34, 0, 0, 0},
        {"HarpoonTarget", dunai_EvalPullOut, 77, 0, 0, 0},
        {"SafeLoiter", dunai_EvalWaitForTrouble, 56, 0, 0, 0},
        {"SeekOrbitalSpeed", dunai_EvalDefault, 76, 782004, 150, 0},
        {"Drift", dunai_EvalDefault, 64, 0, 0, 0},
    };
    for (const Row &r : kRows) {
        const OrderDef *row = FindOrderName(r.name);
        ASSERT_NE(row, nullptr) << r.name;
        EXPECT_EQ(row->evaluation, r.evaluation) << r.name;
        EXPECT_EQ(row->startState, r.state) << r.name;
        EXPECT_EQ(row->parameters[0], r.p1) << r.name;
        EXPECT_EQ(row->parameters[1], r.p2) << r.name;
        EXPECT_EQ(row->parameters[2], r.p3) << r.name;
    }
    EXPECT_EQ(FindOrderName("fixedattack"), nullptr);
    EXPECT_EQ(FindOrderName(nullptr), nullptr);
}

TEST_F(Brain, SlotsAreFoundByExactNameAndAFullBrainHasNoFreeSlot) {
    dunai_NameOrder(info, 0, "SelfPreservation");
    dunai_NameOrder(info, 3, "Escort");
    EXPECT_EQ(dunai_FindOrderSlot(info, "Escort"), 3);
    EXPECT_EQ(dunai_FindOrderSlot(info, "escort"), -1);
    EXPECT_EQ(dunai_FindOrderSlot(info, "SelfPreservation"), 0);
    // Free slots are those without a routine, from slot 1 on.
    for (int n = 1; n < kOrderSlots; ++n) Fill(n, 50);
    Slot(4).evaluation = nullptr;
    EXPECT_EQ(dunai_FindFreeOrderSlot(info, "Watch"), 4);
    EXPECT_STREQ(Slot(4).name, "Watch");
    Fill(4, 50);
    // None free: -1, never slot 0, which is the ship's self-preservation.
    Slot(0).evaluation = nullptr;
    EXPECT_EQ(dunai_FindFreeOrderSlot(info, "Follower"), -1);
    EXPECT_EQ(dunai_FindOrAddOrderSlot(info, "Follower"), -1);
    EXPECT_STREQ(Slot(0).name, "SelfPreservation");
    EXPECT_EQ(dunai_FindOrAddOrderSlot(info, "Escort"), 3);
    // Slot numbers outside 0..7 name nothing.
    dunai_SetOrder(info, 8, 0, 0, 0, 5, Counting, 1, 2);
    dunai_SetOrderState(info, -1, 5, 0, 0, 0);
    dunai_StartOrder(ship, 9);
    EXPECT_EQ(info->currentOrder, 1);
}

TEST_F(Brain, AResetClearsTheSlotsButKeepsTheirNames) {
    dunSeedRand15(5);
    dunai_NameOrder(info, 2, "Escort");
    dunai_SetOrder(info, 2, 1, 300, 7, 80, Counting, 3, 4);
    dunai_SetOrderState(info, 2, 51, 1, 2, 3);
    Slot(2).priority = 90;
    Slot(2).flags = OrderFlag::Held;
    Slot(2).savedGoal = dunHandleOf(ship);
    info->currentOrder = info->roundRobin = 5;
    dunai_ResetOrders(info);
    const OrderSlot &o = Slot(2);
    EXPECT_STREQ(o.name, "Escort");
    EXPECT_EQ(o.priority, 0);
    EXPECT_EQ(o.delay, 0);
    EXPECT_EQ(o.reserved, 0u);
    EXPECT_EQ(o.evaluation, nullptr);
    EXPECT_EQ(o.flags, 0u);
    EXPECT_EQ(o.startState, 0u);
    EXPECT_EQ(o.savedGoal, kNoHandle);
    EXPECT_EQ(info->currentOrder, 1);
    EXPECT_EQ(info->roundRobin, 1);
    dunSeedRand15(5);
    EXPECT_EQ(info->evalClock, dunRand15() % 100);
}

TEST_F(Brain, TheDefaultSetUpAndTheWorldsNamedOrders) {
    dunai_DefaultOrders(ship);
    EXPECT_STREQ(Slot(0).name, "SelfPreservation");
    EXPECT_EQ(Slot(0).weight, 100);
    EXPECT_EQ(Slot(0).evaluation, dunai_EvalSelfPreservation);
    EXPECT_EQ(Slot(0).params[0], 79u);
    EXPECT_EQ(Slot(0).startState, 35u);
    EXPECT_STREQ(Slot(1).name, "NO PROGRAM");
    EXPECT_EQ(Slot(1).weight, 1);
    EXPECT_EQ(Slot(1).params[0], 80u);
    EXPECT_EQ(info->currentOrder, 1);
    EXPECT_EQ(BottomState(), 63u);

    // A state given is taken with the object as its first parameter; a
    // known order given without one takes the table's.
    dunai_SetNamedOrder(ship, 1, "Going home", 80, 18, ship);
    EXPECT_EQ(Slot(1).startState, 18u);
    EXPECT_EQ(Slot(1).stateParams[0], dunHandleOf(ship));
    EXPECT_EQ(Slot(1).weight, 80);
    EXPECT_EQ(Slot(1).evaluation, dunai_EvalDefault);
    dunai_SetNamedOrder(ship, 1, "Turret", 0, 0, nullptr);
    EXPECT_EQ(Slot(1).startState, 47u);
    EXPECT_STREQ(Slot(1).name, "Turret");
}

// ---- evaluation: eligibility, the margin, the clock --------------------------------------

TEST_F(Brain, OnlyAnEligibleSlotIsEvaluated) {
    struct Case {
        const char *what;
        uint32_t flags;
        int32_t delay;
        int8_t prerequisite;
        uint32_t prerequisiteFlags;
        bool eligible;
    };
    const Case kCases[] = {
        {"plain", 0, 0, 0, 0, true},
        {"held", OrderFlag::Held, 0, 0, 0, false},
        {"done", OrderFlag::Done, 0, 0, 0, false},
        {"delay left", 0, 1, 0, 0, false},
        {"delay run out", 0, -4, 0, 0, true},
        {"prerequisite not done", 0, 0, 3, 0, false},
        {"prerequisite done", 0, 0, 3, OrderFlag::Done, true},
        {"prerequisite of no slot", 0, 0, 12, 0, false},
    };
    for (const Case &c : kCases) {
        dunai_ResetOrders(info);
        info->currentOrder = 1;
        Fill(1, 40);
        Fill(2, 100);
        Slot(2).flags = c.flags;
        Slot(2).delay = c.delay;
        Slot(2).prerequisite = c.prerequisite;
        Slot(3).flags = c.prerequisiteFlags;
        gEvaluations = 0;
        EXPECT_EQ(dunai_OrderEligible(info, 2), c.eligible) << c.what;
        dunai_EvaluateOrder(ship, info, 2);
        // An ineligible slot's routine is not run, and its priority is 0
        // whatever the routine would have said.
        EXPECT_EQ(gEvaluations, c.eligible ? 1 : 0) << c.what;
        EXPECT_EQ(Slot(2).priority, c.eligible ? 100 : 0) << c.what;
        EXPECT_EQ(info->currentOrder, c.eligible ? 2 : 1) << c.what;
    }
}

TEST_F(Brain, ASlotTakesOverOnlyByAMargin) {
    struct Case {
        int32_t current, candidate;
        bool takesOver;
    };
    const Case kCases[] = {{91, 100, false}, {90, 100, false}, {89, 100, true}, {0, 1, true}, {0, 0, false}};
    for (const Case &c : kCases) {
        dunai_ResetOrders(info);
        info->currentOrder = 1;
        Fill(1, 0);
        Slot(1).priority = c.current;
        Fill(2, c.candidate);
        dunai_EvaluateOrder(ship, info, 2);
        EXPECT_EQ(info->currentOrder, c.takesOver ? 2 : 1) << c.current << " against " << c.candidate;
    }
}

TEST_F(Brain, TheCurrentSlotGivesWayToEverySlotAboveItsBarTheLastEndingCurrent) {
    info->currentOrder = 1;
    Fill(1, 100);
    Slot(1).flags = OrderFlag::Held;  // evaluates to 0 from now on
    const int32_t stored[kOrderSlots] = {0, 0, 50, 30, 0, 10, 0, 0};
    for (int n = 2; n < kOrderSlots; ++n) {
        Fill(n, 0);
        Slot(n).priority = stored[n];
        Slot(n).flags = OrderFlag::Done;
    }
    dunai_EvaluateOrder(ship, info, 1);
    EXPECT_EQ(Slot(1).priority, 0);
    EXPECT_EQ(info->currentOrder, 5);
    EXPECT_EQ(BottomState(), 65u);
    // Each slot above the bar was started (which clears its done flag);
    // the others were not.
    for (int n = 2; n < kOrderSlots; ++n)
        EXPECT_EQ((Slot(n).flags & OrderFlag::Done) == 0, stored[n] > 0) << "slot " << n;

    // A current slot that keeps its worth keeps its place against less
    // than 1.1 times it.
    dunai_ResetOrders(info);
    info->currentOrder = 1;
    Fill(1, 100);
    Fill(2, 0);
    Slot(2).priority = 110;
    dunai_EvaluateOrder(ship, info, 1);
    EXPECT_EQ(info->currentOrder, 1);
    Slot(2).priority = 111;
    dunai_EvaluateOrder(ship, info, 1);
    EXPECT_EQ(info->currentOrder, 2);
}

TEST_F(Brain, OneSlotIsEvaluatedEachFiftyCentisecondsAndALongFrameCarriesOver) {
    for (int n = 0; n < kOrderSlots; ++n) Fill(n, 0);
    info->evalClock = 20;
    info->roundRobin = 7;
    dunFrameStep = 100;
    dunai_BrainTick(ship, info);
    EXPECT_EQ(gEvaluations, 1);
    EXPECT_EQ(info->evalClock, 70);
    EXPECT_EQ(info->roundRobin, 0);  // wrapped from 8
    dunFrameStep = 0;
    dunai_BrainTick(ship, info);
    EXPECT_EQ(gEvaluations, 2);
    EXPECT_EQ(info->evalClock, 20);
    EXPECT_EQ(info->roundRobin, 1);
    dunai_BrainTick(ship, info);
    EXPECT_EQ(gEvaluations, 2);

    // At 2 centiseconds a frame: one evaluation each 25 frames.
    dunFrameStep = 2;
    info->evalClock = 0;
    gEvaluations = 0;
    for (int i = 0; i < 26 + 25 * 3; ++i) dunai_BrainTick(ship, info);
    EXPECT_EQ(gEvaluations, 4);
}

TEST_F(Brain, ADelayRunsDownWithGameTimeAndTheSlotIsEvaluatedAtItsNextTurn) {
    info->currentOrder = 1;
    Fill(1, 40);
    Slot(1).priority = 40;
    Fill(2, 100);
    Slot(2).delay = 300;
    dunFrameStep = 2;
    for (int i = 0; i < 149; ++i) dunai_BrainTick(ship, info);
    EXPECT_EQ(Slot(2).delay, 2);
    EXPECT_FALSE(dunai_OrderEligible(info, 2));
    EXPECT_EQ(info->currentOrder, 1);
    dunai_BrainTick(ship, info);
    EXPECT_TRUE(dunai_OrderEligible(info, 2));
    // Round robin brings slot 2 round within eight evaluations.
    for (int i = 0; i < 8 * 25 + 25 && info->currentOrder == 1; ++i) dunai_BrainTick(ship, info);
    EXPECT_EQ(info->currentOrder, 2);
}

// ---- starting an order -------------------------------------------------------------------------

TEST_F(Brain, StartingAnOrderSavesAndRestoresTargetAndGoal) {
    SceneItem *a = AiShip(1000, 0, 0), *b = AiShip(2000, 0, 0), *c = AiShip(3000, 0, 0);
    info->currentOrder = 1;
    Fill(1, 40);
    Fill(2, 40);
    dunai_SetOrderState(info, 2, 51, 7, 8, 9);
    Slot(2).savedGoal = dunHandleOf(c);
    Slot(2).flags = OrderFlag::Held | OrderFlag::Done;
    ship->sim->target = a;
    ship->sim->goal = b;
    dunai_StartOrder(ship, 2);
    EXPECT_EQ(Slot(1).savedTarget, dunHandleOf(a));
    EXPECT_EQ(Slot(1).savedGoal, dunHandleOf(b));
    EXPECT_EQ(info->currentOrder, 2);
    EXPECT_EQ(Slot(2).flags, 0u);
    EXPECT_EQ(ship->sim->goal, c);
    EXPECT_EQ(ship->sim->target, a);  // slot 2 kept no target
    EXPECT_EQ(info->stateTop, 0);
    EXPECT_EQ(info->states[0].state, 51u);
    EXPECT_EQ(info->states[0].params[2], 9u);
    EXPECT_EQ(info->states[0].step, 0);
    // Back to slot 1: its objects come back; a saved object that has gone
    // since comes back as nothing, and the Sim keeps what it has.
    dunDeleteSceneItem(b);
    ship->sim->target = ship->sim->goal = c;
    dunai_StartOrder(ship, 1);
    EXPECT_EQ(ship->sim->target, a);
    EXPECT_EQ(ship->sim->goal, c);
}

TEST_F(Brain, LeavingADockingOrderReleasesThePortsItHadReserved) {
    SceneItem *station = AiShip(0, 0, 50000);
    station->sim->shipInfo->ports = nullptr;
    DockingPort *mine = dunAddDockingPort(ship, PortFlag::Open, 1, 0, 0, 0, 0, 0, 10, 1);
    DockingPort *theirs = dunAddDockingPort(station, PortFlag::Open, 1, 0, 0, 0, 0, 0, 10, 1);
    ASSERT_TRUE(mine && theirs);
    struct Case {
        uint32_t state;
        bool savedBefore;
        int to;
        bool released;
    };
    const Case kCases[] = {
        {14, true, 2, true}, {16, true, 2, true}, {14, false, 2, false}, {14, true, 1, false}, {51, true, 2, false}};
    for (const Case &c : kCases) {
        dunai_ResetOrders(info);
        info->currentOrder = 1;
        Fill(1, 40);
        Fill(2, 40);
        dunai_SetOrderState(info, 1, c.state, 0, 0, 0);
        Slot(1).savedTarget = c.savedBefore ? dunHandleOf(station) : kNoHandle;
        ship->sim->target = station;
        mine->flags |= PortFlag::Reserved;
        theirs->flags |= PortFlag::Reserved;
        dunai_StartOrder(ship, c.to);
        EXPECT_EQ((mine->flags & PortFlag::Reserved) == 0, c.released) << c.state << " " << c.savedBefore;
        EXPECT_EQ((theirs->flags & PortFlag::Reserved) == 0, c.released) << c.state << " " << c.savedBefore;
    }
}

TEST_F(Brain, ThePlayerAskingToBeAttackedTurnsSelfPreservationIntoExecutePlayer) {
    SceneItem *player = AiShip(0, 0, 100000);
    dunPlayerShip = player;
    dunai_DefaultOrders(ship);
    Fill(3, 40);
    Slot(3).delay = 100;
    info->evalClock = 0;
    dunai_BrainTick(ship, info);
    const int32_t clock = info->evalClock;
    EXPECT_STREQ(Slot(0).name, "SelfPreservation");  // not yet asked

    player->avatar->flags |= AvatarFlag::AttackPlayer;
    dunai_BrainTick(ship, info);
    EXPECT_STREQ(Slot(0).name, "ExecutePlayer");
    EXPECT_EQ(Slot(0).weight, 100);
    EXPECT_EQ(Slot(0).evaluation, dunai_EvalDefault);
    EXPECT_EQ(Slot(0).params[0], 70u);
    EXPECT_EQ(info->currentOrder, 0);
    EXPECT_EQ(BottomState(), 34u);
    EXPECT_EQ(ship->sim->goal, player);
    // Nothing else happened in that tick, nor in the next ones.
    EXPECT_EQ(Slot(3).delay, 98);
    EXPECT_EQ(info->evalClock, clock);
    for (int i = 0; i < 100; ++i) dunai_BrainTick(ship, info);
    EXPECT_EQ(Slot(3).delay, 98);
    EXPECT_EQ(gEvaluations, 0);
    // The player's own ship, flown by its brain, never turns on itself.
    ShipInfo *own = player->sim->shipInfo;
    dunai_DefaultOrders(player);
    dunai_BrainTick(player, own);
    EXPECT_STREQ(own->orders[0].name, "SelfPreservation");
    dunPlayerShip = nullptr;
}

// ---- the evaluation routines -----------------------------------------------------------------

// The ship at the origin, another object at (0, 0, distance) if wanted.
struct EvalCase {
    const char *what;
    OrderEvaluation routine;
    std::function<void(SceneItem *ship, SceneItem *other, uint32_t *p1, uint32_t *p2)> setUp;
    int32_t result;
    int32_t weightAfter;  // from 10
};

TEST_F(Brain, TheEvaluationRoutines) {
    auto at = [](float z) {
        return [z](SceneItem *, SceneItem *o, uint32_t *p1, uint32_t *p2) {
            o->sim->position.z = z;
            o->sim->matrix.m[14] = z;
            *p1 = dunHandleOf(o);
            *p2 = 100000;
        };
    };
    auto asGoal = [](float z) {
        return [z](SceneItem *s, SceneItem *o, uint32_t *, uint32_t *p2) {
            o->sim->position.z = z;
            o->sim->matrix.m[14] = z;
            s->sim->goal = o;
            *p2 = 100000;
        };
    };
    auto hull = [](int32_t h, uint32_t threshold) {
        return [h, threshold](SceneItem *s, SceneItem *, uint32_t *p1, uint32_t *) {
            s->sim->hull = h;
            *p1 = threshold;
        };
    };
    const EvalCase kCases[] = {
        {"default", dunai_EvalDefault, [](SceneItem *, SceneItem *, uint32_t *p1, uint32_t *) { *p1 = 80; }, 80, 10},
        {"default floor", dunai_EvalDefault, [](SceneItem *, SceneItem *, uint32_t *p1, uint32_t *) { *p1 = 10; }, 40,
         10},
        // Distances at 33.7 % of the range and beyond it.
        {"dock when close 33.7%", dunai_EvalDockWhenClose, at(33700), 66, 10},
        {"dock when close beyond", dunai_EvalDockWhenClose, at(250000), 0, 10},
        {"dock when close none", dunai_EvalDockWhenClose, [](SceneItem *, SceneItem *, uint32_t *, uint32_t *) {}, 0,
         0},
        {"stay near 33.7%", dunai_EvalStayNear, at(33700), 33, 10},
        {"stay near behind", dunai_EvalStayNear, at(-250000), 100, 10},
        {"seek and destroy 33.7%", dunai_EvalSeekAndDestroy, asGoal(33700), 33, 10},
        {"seek and destroy no goal", dunai_EvalSeekAndDestroy, [](SceneItem *, SceneItem *, uint32_t *, uint32_t *) {},
         0, 10},
        {"pull out 33.7%", dunai_EvalPullOut, asGoal(33700), 66, 10},
        {"pull out beyond", dunai_EvalPullOut, asGoal(1e6f), 0, 10},
        {"self-preservation below", dunai_EvalSelfPreservation, hull(78, 79), 100, 10},
        {"self-preservation at", dunai_EvalSelfPreservation, hull(79, 79), 0, 10},
        {"self-preservation in a stance", dunai_EvalSelfPreservation,
         [](SceneItem *s, SceneItem *, uint32_t *p1, uint32_t *) {
             s->sim->hull = 70;
             s->sim->flags |= 0x400;
             *p1 = 79;  // 63 in a stance
         },
         0, 10},
        {"self-preservation protected", dunai_EvalSelfPreservation,
         [](SceneItem *s, SceneItem *, uint32_t *p1, uint32_t *) {
             s->sim->hull = 10;
             s->sim->flags |= SimFlag::Protected;
             *p1 = 79;
         },
         0, 10},
        {"self-preservation angered", dunai_EvalSelfPreservation,
         [](SceneItem *s, SceneItem *o, uint32_t *p1, uint32_t *) {
             s->sim->hull = 90;
             s->avatar->attacker = o;
             s->avatar->attackCount = 11;
             *p1 = 79;
         },
         100, 10},
        {"self-preservation watched gone", dunai_EvalSelfPreservation,
         [](SceneItem *, SceneItem *o, uint32_t *p1, uint32_t *p2) {
             *p1 = 79;
             *p2 = dunHandleOf(o);
             dunDeleteSceneItem(o);
         },
         100, 10},
        {"provoked halfway", dunai_EvalProvokedAttack, hull(75, 50), 50, 10},
        {"provoked below", dunai_EvalProvokedAttack, hull(40, 50), 0, 10},
        {"provoked at 100 %", dunai_EvalProvokedAttack, hull(100, 100), 100, 10},
        {"acquire without goal", dunai_EvalAcquire, [](SceneItem *, SceneItem *, uint32_t *, uint32_t *) {}, 100, 10},
        {"acquire with goal", dunai_EvalAcquire, asGoal(1000), 0, 10},
        {"destroy if target", dunai_EvalDestroyIfTarget,
         [](SceneItem *s, SceneItem *o, uint32_t *p1, uint32_t *) {
             s->sim->goal = o;
             *p1 = dunHandleOf(o);
         },
         100, 10},
        {"destroy if target none", dunai_EvalDestroyIfTarget, [](SceneItem *, SceneItem *, uint32_t *, uint32_t *) {},
         0, 10},
        {"defend object attacked", dunai_EvalDefendObject,
         [](SceneItem *s, SceneItem *o, uint32_t *p1, uint32_t *p2) {
             o->sim->hull = 50;
             o->avatar->attacker = s;
             *p1 = dunHandleOf(o);
             *p2 = 60;
         },
         100, 10},
        {"defend object whole", dunai_EvalDefendObject,
         [](SceneItem *s, SceneItem *o, uint32_t *p1, uint32_t *p2) {
             o->sim->hull = 60;
             o->avatar->attacker = s;
             *p1 = dunHandleOf(o);
             *p2 = 60;
         },
         0, 10},
        {"defend object gone", dunai_EvalDefendObject,
         [](SceneItem *, SceneItem *o, uint32_t *p1, uint32_t *) {
             *p1 = dunHandleOf(o);
             dunDeleteSceneItem(o);
         },
         0, 0},
        {"defend object none", dunai_EvalDefendObject, [](SceneItem *, SceneItem *, uint32_t *, uint32_t *) {}, 0, 10},
        {"mothership none", dunai_EvalDefendMothership, [](SceneItem *, SceneItem *, uint32_t *, uint32_t *) {}, 0, 0},
        {"mothership", dunai_EvalDefendMothership,
         [](SceneItem *, SceneItem *o, uint32_t *p1, uint32_t *) { *p1 = dunHandleOf(o); }, 100, 10},
        {"mothership damaged", dunai_EvalDefendMothership,
         [](SceneItem *, SceneItem *o, uint32_t *p1, uint32_t *) {
             o->avatar->flags |= AvatarFlag::Damaged;
             *p1 = dunHandleOf(o);
         },
         0, 10},
        {"two defence slots lost", dunai_EvalCheckLDA,
         [](SceneItem *s, SceneItem *o, uint32_t *, uint32_t *) {
             ShipInfo *i = s->sim->shipInfo;
             i->defenceCount = 3;
             i->defenceTarget[1] = o;
         },
         70, 10},
        {"all four lost", dunai_EvalCheckLDA,
         [](SceneItem *s, SceneItem *, uint32_t *, uint32_t *) { s->sim->shipInfo->defenceCount = 4; }, 100, 10},
    };
    for (const EvalCase &c : kCases) {
        SceneItem *s = AiShip(), *o = AiShip();
        s->sim->hull = o->sim->hull = 100;
        OrderSlot slot{};
        slot.weight = 10;
        uint32_t p1 = 0, p2 = 0;
        c.setUp(s, o, &p1, &p2);
        EXPECT_EQ(c.routine(s, p1, p2, &slot), c.result) << c.what;
        EXPECT_EQ(slot.weight, c.weightAfter) << c.what;
        dunDeleteSceneItem(s);
        if (o->flags & SceneFlag::InUse) dunDeleteSceneItem(o);
    }
}

TEST_F(Brain, DefendingAnObjectMakesItTheDefendedOne) {
    SceneItem *o = AiShip(0, 0, 1000);
    OrderSlot slot{};
    slot.weight = 1;
    dunai_EvalDefendObject(ship, dunHandleOf(o), 50, &slot);
    EXPECT_EQ(ship->avatar->subject, o);
}

TEST_F(Brain, TroubleCountsShipsOfTheMaskAndTheShipsDamage) {
    struct Case {
        int ships;
        uint32_t count;
        int32_t hull;
        int32_t result;
    };
    // D = (100 - hull) x 3; below the count 100 - D, else 100 - (D + (n +
    // 1 - C) x 100 / C); 0 past 100. A count of 0 counts as 1.
    const Case kCases[] = {{0, 2, 100, 100}, {1, 2, 90, 70}, {2, 2, 100, 50},  {3, 2, 100, 0},
                           {2, 2, 90, 20},   {0, 2, 60, 0},  {0, 0, 100, 100}, {1, 0, 100, 0}};
    for (const Case &c : kCases) {
        dunResetWorld();
        SceneItem *s = AiShip();
        s->sim->hull = c.hull;
        for (int i = 0; i < c.ships; ++i) AiShip(0, 0, 1000.0 * (i + 1))->avatar->flags |= 0x800 | AvatarFlag::Ship;
        // A beam round of that side is no trouble.
        AiShip()->avatar->flags |= 0x800 | AvatarFlag::Ship | AvatarFlag::BeamRound;
        OrderSlot slot{};
        EXPECT_EQ(dunai_EvalWaitForTrouble(s, 0x800, c.count, &slot), c.result)
            << c.ships << " ships, count " << c.count << ", hull " << c.hull;
    }
}

TEST_F(Brain, SentryDutyTakesTheOneHostileInRangeAsItsGoal) {
    info->side = 2;  // targets 0x280
    SceneItem *near = AiShip(0, 0, 5000), *far = AiShip(0, 0, 50000);
    near->avatar->flags |= 0x200;
    far->avatar->flags |= 0x200;
    OrderSlot slot{};
    EXPECT_EQ(dunai_EvalSentryDuty(ship, 100, 0, &slot), 0);  // within 10,000
    EXPECT_EQ(ship->sim->goal, near);
    ship->sim->goal = nullptr;
    EXPECT_EQ(dunai_EvalSentryDuty(ship, 1000, 0, &slot), 0);  // both: no goal chosen
    EXPECT_EQ(ship->sim->goal, nullptr);
    EXPECT_EQ(dunai_EvalSentryDuty(ship, 10, 0, &slot), 100);
}

// ---- the control routine ----------------------------------------------------------------------

TEST_F(Brain, DisabledControlsWearOffAtRandomUnlessManoeuvringIsDamaged) {
    dunai_DefaultOrders(ship);
    dunSeedRand15(11);
    ship->sim->flags |= SimFlag::AiHold | SimFlag::TurnedThisFrame;
    int frames = 0;
    while ((ship->sim->flags & SimFlag::AiHold) && frames < 10000) {
        dunai_ThinkShip(ship);
        ++frames;
        if (ship->sim->flags & SimFlag::AiHold) {
            EXPECT_TRUE(ship->sim->flags & SimFlag::TurnedThisFrame);
        }
    }
    // About 1.5 s on average at 2 cs a frame; by then the turn flag is clear.
    EXPECT_GT(frames, 1);
    EXPECT_LT(frames, 1000);
    EXPECT_FALSE(ship->sim->flags & SimFlag::TurnedThisFrame);

    info->damage.mask = DamageBit::Manoeuvring;
    ship->sim->flags |= SimFlag::AiHold;
    for (int i = 0; i < 2000; ++i) dunai_ThinkShip(ship);
    EXPECT_TRUE(ship->sim->flags & SimFlag::AiHold);
}

TEST_F(Brain, ADamagedBrainThinksInAFewFramesOnly) {
    dunai_DefaultOrders(ship);
    Fill(2, 0);
    dunSeedRand15(3);
    info->damage.mask = DamageBit::Structure;
    dunFrameStep = 10;
    int thought = 0;
    for (int i = 0; i < 2500; ++i) {
        info->lastState = 12345;
        dunai_ThinkShip(ship);
        thought += info->lastState != 12345;
    }
    // A frame thinks when rand % 250 <= step: 11 in 250.
    EXPECT_GT(thought, 2500 * 11 / 250 / 2);
    EXPECT_LT(thought, 2500 * 11 / 250 * 2);
    // A vital ship is spared.
    ship->flags |= SceneFlag::Vital;
    info->lastState = 12345;
    dunai_ThinkShip(ship);
    EXPECT_NE(info->lastState, 12345u);
}

TEST_F(Brain, AngerCoolsAndTheAttackerIsForgotten) {
    dunai_DefaultOrders(ship);
    SceneItem *other = AiShip(0, 0, 5000);
    ship->avatar->attacker = other;
    ship->avatar->attackCount = 5;
    dunFrameStep = 8;
    dunai_ThinkShip(ship);
    EXPECT_EQ(ship->avatar->attackCount, 3);
    EXPECT_EQ(ship->avatar->attacker, other);
    dunai_ThinkShip(ship);
    EXPECT_EQ(ship->avatar->attackCount, 0);
    EXPECT_EQ(ship->avatar->attacker, nullptr);
    // Stunned or jumping ships do not think at all.
    ship->avatar->attackCount = 40;
    ship->sim->flags |= SimFlag::AiPaused;
    dunai_ThinkShip(ship);
    EXPECT_EQ(ship->avatar->attackCount, 40);
}

TEST_F(Brain, ThePlayersAutopilotProgramEndingHandsTheShipBack) {
    // The player's ship under its brain (not the controlled object): an
    // empty stack ends the autopilot and the drive's demand.
    dunPlayerShip = ship;
    dunControlledObject = nullptr;
    dunai_ResetOrders(info);
    dunai_ResetStateStack(info, 0, 0, 0, 0);
    ship->sim->flags |= SimFlag::Autopilot;
    ship->sim->ldsDemand = 1e10f;
    dunai_ThinkShip(ship);
    EXPECT_EQ(info->lastState, 0u);
    EXPECT_FALSE(ship->sim->flags & SimFlag::Autopilot);
    EXPECT_EQ(ship->sim->ldsDemand, 0.0f);
    dunPlayerShip = nullptr;
}

TEST_F(Brain, TheFreeControlCopiesItsDemandsAndChoosesNoOrders) {
    Fill(1, 100);
    info->evalClock = 49;
    ship->turnDemand[0] = 10;
    ship->turnDemand[1] = -20;
    ship->turnDemand[2] = 30;
    dunai_ResetStateStack(info, 63, 0, 0, 0);
    dunai_ThinkFree(ship);
    EXPECT_EQ(ship->turnRemaining[0], 10.0f);
    EXPECT_EQ(ship->turnRemaining[1], -20.0f);
    EXPECT_EQ(ship->turnRemaining[2], 30.0f);
    EXPECT_EQ(info->lastState, 63u);
    EXPECT_EQ(info->evalClock, 49);
    EXPECT_EQ(gEvaluations, 0);
}

// ---- goals --------------------------------------------------------------------------------------

TEST_F(Brain, SideMasks) {
    const struct {
        int side;
        uint32_t target, include, exclude;
    } kSides[] = {{0, 0x40000044, 0, 0x40},      {1, 0x40001B04, 0x1B00, 0}, {2, 0x40000284, 0x280, 0},
                  {3, 0x40000084, 0x80, 0},      {4, 0x40000044, 0, 0x40},   {5, 0x40000084, 0x80, 0},
                  {6, 0x40000084, 0x80, 0x1040}, {7, 0x40000044, 0, 0x40}};
    for (const auto &s : kSides) {
        info->side = int16_t(s.side);
        EXPECT_EQ(dunai_SideTargetMask(ship), s.target) << s.side;
        uint32_t include = 1, exclude = 1;
        dunai_GoalMasks(s.side, 0, &include, &exclude);
        EXPECT_EQ(include, s.include) << s.side;
        EXPECT_EQ(exclude, s.exclude) << s.side;
    }
    // The faction bits: the other faction is fair game and the own one
    // spared; with both, the second faction's rule wins.
    const struct {
        uint32_t flags, include, exclude;
    } kFactions[] = {{0x10000000, 0x20000080, 0x10000000},
                     {0x20000000, 0x10000080, 0x20000000},
                     {0x30000000, 0x30000080, 0x20000000}};
    for (const auto &f : kFactions) {
        uint32_t include, exclude;
        dunai_GoalMasks(3, f.flags, &include, &exclude);
        EXPECT_EQ(include, f.include) << std::hex << f.flags;
        EXPECT_EQ(exclude, f.exclude) << std::hex << f.flags;
    }
}

TEST_F(Brain, TheNearestHostileBecomesTheGoal) {
    info->side = 3;  // goals: side bit 0x80
    auto Hostile = [](double z, uint32_t extra = 0) {
        SceneItem *o = AiShip(0, 0, z);
        o->avatar->flags |= AvatarFlag::Ship | 0x80 | extra;
        return o;
    };
    SceneItem *farther = Hostile(90000);
    SceneItem *nearest = Hostile(20000);
    SceneItem *notTargetable = AiShip(0, 0, 1000);
    notTargetable->avatar->flags |= 0x80;  // no 0x4
    SceneItem *friendly = AiShip(0, 0, 500);
    friendly->avatar->flags |= AvatarFlag::Ship | 0x200;
    dunai_PickNearestTarget(ship);
    EXPECT_EQ(ship->sim->goal, nearest);
    // The object the mission made untargetable is passed over.
    dunProtectedObject = nearest;
    dunai_PickNearestTarget(ship);
    EXPECT_EQ(ship->sim->goal, farther);
    dunProtectedObject = nullptr;
    // A friend that angered the ship enough is fair game.
    ship->avatar->attacker = friendly;
    ship->avatar->attackCount = 50;
    dunai_PickNearestTarget(ship);
    EXPECT_EQ(ship->sim->goal, nearest);
    ship->avatar->attackCount = 51;
    dunai_PickNearestTarget(ship);
    EXPECT_EQ(ship->sim->goal, friendly);
    // With no candidate at all, no goal.
    info->side = 0;
    ship->avatar->attacker = nullptr;
    dunai_PickNearestTarget(ship);
    EXPECT_EQ(ship->sim->goal, nullptr);
    dunai_PickBestTarget(ship);
    EXPECT_EQ(ship->sim->goal, nullptr);
}

}  // namespace
