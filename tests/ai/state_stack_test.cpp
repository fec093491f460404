// The state table, the registry and the runner of a ship's state stack,
// driven by test states registered in the free ids (and in id 0 where the
// empty stack's "Null" is watched).
#include <array>
#include <cstring>
#include <functional>
#include <utility>

#include "ai/brain.h"
#include "ai_fixture.h"
#include "world/handle.h"

namespace {

using ruvotest::AiShip;
using ruvotest::LogLines;

// One call of a test state.
struct Call {
    uint32_t id;
    int16_t step;
    float lastResult;
    std::array<int32_t, 5> locals;
    uint32_t p1;
};
std::vector<Call> gCalls;
// What each test state does when called (yield at its step by default).
std::function<StateCommand *(StateCommand *, const Call &)> gBehaviour[kStateIds];

template <size_t Id>
StateCommand *Recorded(StateCommand *c, SceneItem *, int16_t step, float last, int32_t *locals, uint32_t p1, uint32_t,
                       uint32_t) {
    Call call{uint32_t(Id), step, last, {}, p1};
    std::memcpy(call.locals.data(), locals, sizeof call.locals);
    gCalls.push_back(call);
    return gBehaviour[Id] ? gBehaviour[Id](c, call) : dunai_Yield(c, uint16_t(step));
}
template <size_t... I>
constexpr std::array<StateHandler, kStateIds> MakeRecorders(std::index_sequence<I...>) {
    return {Recorded<I>...};
}
constexpr std::array<StateHandler, kStateIds> kRecorders = MakeRecorders(std::make_index_sequence<kStateIds>());

class StateStack : public testing::Test {
protected:
    SceneItem *ship = nullptr;
    ShipInfo *info = nullptr;
    void SetUp() override {
        dunai_InitStateRegistry();
        gCalls.clear();
        for (auto &b : gBehaviour) b = nullptr;
        ship = AiShip();
        info = ship->sim->shipInfo;
        info->currentOrder = 1;
    }
    void TearDown() override {
        for (auto &b : gBehaviour) b = nullptr;
        // Id 0 and the free ids go back to the table's registry.
        dunai_InitStateRegistry();
        for (uint32_t id = kTableStates; id < uint32_t(kStateIds); ++id) dunai_RegisterState(id, nullptr, nullptr, 0);
    }
    // A test state under an id, with the object checks of `flags`.
    static void State(uint32_t id, uint32_t flags,
                      std::function<StateCommand *(StateCommand *, const Call &)> behaviour = nullptr) {
        dunai_RegisterState(id, "test state", kRecorders[id], flags);
        gBehaviour[id] = std::move(behaviour);
    }
    std::vector<uint32_t> CalledIds() const {
        std::vector<uint32_t> ids;
        for (const Call &c : gCalls) ids.push_back(c.id);
        return ids;
    }
    bool OrderDone() const { return (info->orders[1].flags & OrderFlag::Done) != 0; }
    uint32_t Run() { return dunai_RunStateStack(ship, info); }
};

TEST_F(StateStack, EveryTableIdIsRegisteredWithItsName) {
    static const char *const kNames[kTableStates] = {"Null",
                                                     "Default",
                                                     "df_testPrey",
                                                     "df_chasePrey",
                                                     "df_baseState",
                                                     "df_newPrey",
                                                     "hd_moveAway",
                                                     "hideFrom",
                                                     "hd_hideAux",
                                                     "TestingState",
                                                     "MoveToStop",
                                                     "MoveToStopRelative",
                                                     "MoveToStopAlmostRelative",
                                                     "UnDock",
                                                     "DockingBaseState",
                                                     "DockingDemolishState",
                                                     "dk_orientate",
                                                     "dk_finalAproach",
                                                     "LagrangeState",
                                                     "MatchVelState",
                                                     "GenericOffensiveState",
                                                     "off_Close",
                                                     "off_FireAtWill",
                                                     "UmovingGuardState",
                                                     "DefNetGuardState",
                                                     "Gun_lead_motion",
                                                     "ConstantFire",
                                                     "Retaliation",
                                                     "DefendMothership",
                                                     "LDADeffTwo",
                                                     "RotationalDeff",
                                                     "TailBitingState",
                                                     "FaceAttackState",
                                                     "CombatAchieveRange",
                                                     "CombatState",
                                                     "SelfPreservationState",
                                                     "WeaponsPassState",
                                                     "BigBombState",
                                                     "DroneTarget",
                                                     "DroneMovingTarget",
                                                     "DroneChasingTarget",
                                                     "OrbitalAttack",
                                                     "DeflectorState",
                                                     "CombatFollower",
                                                     "PlayerFollower",
                                                     "CombatOnce",
                                                     "WingmanCombatOnce",
                                                     "PointAtState",
                                                     "SimplePursuit",
                                                     "AchieveRange",
                                                     "AchieveFieldRangeState",
                                                     "EscortState",
                                                     "CapsuleState",
                                                     "AggroEscortState",
                                                     "BusDriver",
                                                     "BusDriverNotStopping",
                                                     "Loiter",
                                                     "tst_FlyBackwards",
                                                     "tst_FlyFowards",
                                                     "tst_HoldFormation",
                                                     "EscapeState",
                                                     "esc_Flee",
                                                     "AcquireTarget",
                                                     "DoNothingState",
                                                     "DriftState",
                                                     "MissileState",
                                                     "DumbMissileState",
                                                     "FullStop",
                                                     "MaintainStop",
                                                     "FullStopRelative",
                                                     "LDS to NavTarget",
                                                     "LDS Approach",
                                                     "Enter LDS",
                                                     "LDS Escort",
                                                     "LDSFlight",
                                                     "Straight LDS",
                                                     "SeekOrbitalSpeed",
                                                     "HarpoonTargetedState",
                                                     "Watch"};
    for (uint32_t id = 0; id < uint32_t(kStateIds); ++id) dunai_RegisterState(id, nullptr, nullptr, 0);
    dunai_InitStateRegistry();
    int rows = 0;
    while (AiStateTable[rows].handler) ++rows;
    EXPECT_EQ(rows, kTableStates);
    for (uint32_t id = 0; id < uint32_t(kTableStates); ++id) {
        ASSERT_NE(AiStateNames[id], nullptr) << id;
        EXPECT_STREQ(AiStateNames[id], kNames[id]) << id;
        EXPECT_NE(AiStateHandlers[id], nullptr) << id;
    }
    // Spot checks of the object checks, and the follower's own handler name.
    EXPECT_EQ(AiStateFlags[14], 0x29u);
    EXPECT_EQ(AiStateFlags[20], 0x0fu);
    EXPECT_EQ(AiStateFlags[53], 0x12u);
    EXPECT_EQ(AiStateHandlers[44], dunai_FollowPlayerState);
    for (uint32_t id = kTableStates; id < uint32_t(kStateIds); ++id) EXPECT_EQ(AiStateHandlers[id], nullptr) << id;
    EXPECT_FALSE(dunai_RegisterState(kStateIds, "out of range", kRecorders[0], 0));
}

TEST_F(StateStack, AnEmptyStackRunsNullAndTheBottomsFinishEndsTheOrder) {
    State(0, 0, [](StateCommand *c, const Call &) { return dunai_Yield(c, 1, 1.0f); });
    State(80, 0, [](StateCommand *c, const Call &) { return dunai_Finish(c, 0.5f); });
    dunai_ResetStateStack(info, 80, 0, 0, 0);
    EXPECT_EQ(Run(), 0u);
    EXPECT_EQ(CalledIds(), (std::vector<uint32_t>{80, 0}));
    EXPECT_EQ(gCalls[0].step, 0);  // an order's state starts at step 0
    EXPECT_TRUE(OrderDone());
    gCalls.clear();
    EXPECT_EQ(Run(), 0u);
    EXPECT_EQ(CalledIds(), (std::vector<uint32_t>{0}));
    EXPECT_EQ(gCalls[0].step, 1);
}

// The caller (80) pushes 81 and resumes at 5, with a result slot and a
// branch; 81 finishes with a result. The caller's next entry, in the same
// frame, shows where the branch sent it.
TEST_F(StateStack, AFinishedResultReachesTheCaller) {
    struct Row {
        const char *what;
        int16_t command;
        int32_t slot;
        float result;
        int16_t step;  // the caller's next step
        uint32_t armed;  // branch flags left armed
        int32_t local;  // the result slot's local, when there is one
    } rows[] = {
        {"into local 2", StateCmd::Push, 2, 0.75f, 5, 0, 750},
        {"truncated toward zero", StateCmd::Push, 0, -0.0015f, 5, 0, -1},
        {"too large for a local", StateCmd::Push, 4, 1e10f, 5, 0, INT32_MAX},
        {"below 500: the alternative", StateCmd::PushBranchBelow, 5, 0.0f, 1, 0, 0},
        {"not below: the saved step, still armed", StateCmd::PushBranchBelow, 5, 1.0f, 5, StateBranch::Below, 0},
        {"above 500: the alternative", StateCmd::PushBranchAbove, 5, 1.0f, 1, 0, 0},
        {"not above: the saved step, still armed", StateCmd::PushBranchAbove, 5, 0.0f, 5, StateBranch::Above, 0},
        {"at the threshold: no branch", StateCmd::PushBranchAbove, 5, 0.5f, 5, StateBranch::Above, 0},
    };
    for (const Row &r : rows) {
        gCalls.clear();
        // The caller pushes from step 2, so that a branch back to step 1 shows.
        State(80, 0, [&r](StateCommand *c, const Call &call) {
            if (call.step == 2) return dunai_PushBranch(c, r.command, 81, 0, 0, 0, 5, 500, 1, r.slot);
            return dunai_Yield(c, 9);
        });
        State(81, 0, [&r](StateCommand *c, const Call &) { return dunai_Finish(c, r.result); });
        dunai_ResetStateStack(info, 80, 0, 0, 0);
        info->states[0].step = 2;
        EXPECT_EQ(Run(), 80u) << r.what;
        ASSERT_EQ(CalledIds(), (std::vector<uint32_t>{80, 81, 80})) << r.what;
        EXPECT_EQ(gCalls[2].step, r.step) << r.what;
        EXPECT_EQ(gCalls[2].lastResult, r.result) << r.what;
        const StateFrame &f = info->states[0];
        EXPECT_EQ(f.branchFlags, r.armed) << r.what;
        if (r.slot < kNoResultSlot) {
            EXPECT_EQ(f.locals[r.slot], r.local) << r.what;
        }
    }
}

enum Obj { None, Here, Elsewhere, Gone, Other };

// The object checks before a handler runs. The ship's current order is
// slot 1; X is a valid object the parameters can name.
TEST_F(StateStack, ObjectChecks) {
    struct Row {
        const char *what;
        uint32_t flags;
        bool noOwnChoice;
        Obj goal, target, p1, p2;
        bool called;
        Obj goalAfter, targetAfter;
        bool done, braked;
    } rows[] = {
        {"docking: no target, no p1: the goal", 0x29, false, Here, None, None, None, true, Here, Here, false, false},
        {"docking: nothing at all: a braking step", 0x29, false, None, None, None, None, false, None, None, false,
         true},
        {"docking: the target from p1", 0x29, false, None, None, Other, None, true, None, Other, false, false},
        {"goal elsewhere, no replacement: none is picked", 0x02, false, Elsewhere, None, None, None, false, None,
         Elsewhere, false, true},
        {"goal from p1", 0x0a, false, None, None, Other, None, true, Other, None, false, false},
        {"p2 wins over p1, and the target follows", 0x1e, false, None, None, Here, Other, true, Other, Other, false,
         false},
        {"order ends with a target out of use", 0x21, false, Gone, Gone, None, None, false, Gone, Gone, true, false},
        {"no choice of its own, goal replaced: finished unseen", 0x12, true, None, None, None, Other, false, None, None,
         true, false},
        {"no choice of its own, no goal found: finished unseen", 0x02, true, None, None, None, None, false, None, None,
         true, false},
        {"valid objects: nothing changes", 0x2f, false, Here, Here, Other, Other, true, Here, Here, false, false},
    };
    for (const Row &r : rows) {
        SetUp();
        State(0, 0, [](StateCommand *c, const Call &) { return dunai_Yield(c, 1); });
        State(82, r.flags);
        SceneItem *here = AiShip(), *elsewhere = AiShip(), *gone = AiShip(), *other = AiShip();
        elsewhere->systemNumber = uint16_t(ship->systemNumber + 1);
        gone->flags &= ~SceneFlag::InUse;
        auto object = [&](Obj o) -> SceneItem * {
            switch (o) {
            case Here: return here;
            case Elsewhere: return elsewhere;
            case Gone: return gone;
            case Other: return other;
            default: return nullptr;
            }
        };
        ship->sim->goal = object(r.goal);
        ship->sim->target = object(r.target);
        if (r.noOwnChoice) ship->sim->flags |= SimFlag::NoOwnChoice;
        ship->sim->velocity = {0, 0, 3000};
        dunai_ResetStateStack(info, 82, dunHandleOf(object(r.p1)), dunHandleOf(object(r.p2)), 0);
        const uint32_t result = Run();
        const bool called = !gCalls.empty() && gCalls[0].id == 82;
        EXPECT_EQ(called, r.called) << r.what;
        EXPECT_EQ(result, r.called ? 82u : 0u) << r.what;
        EXPECT_EQ(ship->sim->goal, object(r.goalAfter)) << r.what;
        EXPECT_EQ(ship->sim->target, object(r.targetAfter)) << r.what;
        EXPECT_EQ(OrderDone(), r.done) << r.what;
        EXPECT_EQ(ship->sim->thrust.z < 0.0f, r.braked) << r.what;
    }
}

TEST_F(StateStack, APushWhoseObjectIsMissingIsForgotten) {
    State(80, 0, [](StateCommand *c, const Call &call) {
        if (call.step <= 1) return dunai_Push(c, 83, 0, 0, 0, 4);
        return dunai_Yield(c, call.step);
    });
    State(83, StateNeeds::Target);
    dunai_ResetStateStack(info, 80, 0, 0, 0);
    ship->sim->velocity = {0, 0, 3000};
    EXPECT_EQ(Run(), 0u);
    EXPECT_EQ(CalledIds(), (std::vector<uint32_t>{80}));
    EXPECT_LT(ship->sim->thrust.z, 0.0f);  // one braking step
    EXPECT_EQ(info->stateTop, 0);
    // The next frame resumes the caller at the step it gave.
    gCalls.clear();
    EXPECT_EQ(Run(), 80u);
    ASSERT_EQ(CalledIds(), (std::vector<uint32_t>{80}));
    EXPECT_EQ(gCalls[0].step, 4);
}

TEST_F(StateStack, EveryPushAndOrderStartsWithClearLocals) {
    State(80, 0, [](StateCommand *c, const Call &call) {
        if (call.step <= 1) return dunai_Push(c, 81, 0, 0, 0, 2);
        return dunai_Yield(c, 2);
    });
    State(81, 0);
    // Words that earlier states left behind, below an order's start and
    // above it.
    auto leftOver = [](StateFrame &f) {
        for (int32_t &l : f.locals) l = 0x5A5A5A5A;
        f.threshold = 77;
        f.altStep = 3;
        f.resultSlot = 0;
    };
    for (StateFrame &f : info->states) leftOver(f);
    dunai_ResetStateStack(info, 80, 7, 8, 9);
    for (int i = 1; i < kStateFrames; ++i) leftOver(info->states[i]);
    EXPECT_EQ(Run(), 81u);
    ASSERT_EQ(gCalls.size(), 2u);
    for (const Call &c : gCalls) EXPECT_EQ(c.locals, (std::array<int32_t, 5>{})) << c.id;
    EXPECT_EQ(gCalls[0].p1, 7u);
    EXPECT_EQ(gCalls[1].step, 1);  // a pushed state starts at step 1
    const StateFrame &pushed = info->states[1];
    EXPECT_EQ(pushed.threshold, 0);
    EXPECT_EQ(pushed.altStep, 0);
    EXPECT_EQ(pushed.resultSlot, kNoResultSlot);
}

// Twelve frames fill the stack; a push from the twelfth writes the line and
// leaves the stack and what lies behind it as they were.
TEST_F(StateStack, AnOverflowingPushWritesNoThirteenthFrame) {
    LogLines log;
    State(84, 0, [](StateCommand *c, const Call &) { return dunai_Push(c, 84, 0, 0, 0, 2); });
    info->damage.armour = 0x5A5A5A5A;
    info->damage.maximum = 0x3C3C3C3C;
    dunai_ResetStateStack(info, 84, 0, 0, 0);
    EXPECT_EQ(Run(), 84u);
    EXPECT_EQ(gCalls.size(), size_t(kStateFrames));
    EXPECT_EQ(log.Count("Bummer - stack overflow!"), 1u);
    EXPECT_EQ(info->stateTop, kStateFrames - 1);
    EXPECT_EQ(info->states[kStateFrames - 1].step, 1);  // the overflowing push saved nothing
    EXPECT_EQ(info->damage.armour, 0x5A5A5A5A);
    EXPECT_EQ(info->damage.maximum, 0x3C3C3C3C);
    // And again the next frame, from the twelfth.
    EXPECT_EQ(Run(), 84u);
    EXPECT_EQ(log.Count("Bummer - stack overflow!"), 2u);
    EXPECT_EQ(info->stateTop, kStateFrames - 1);
}

// A script can name any state id: one without a handler is dropped with a
// line, and its caller goes on with a result of 0.
TEST_F(StateStack, AStateWithoutAHandlerIsDropped) {
    LogLines log;
    State(80, 0, [](StateCommand *c, const Call &call) {
        if (call.step <= 1) return dunai_Push(c, 95, 0, 0, 0, 3);
        return dunai_Yield(c, 3);
    });
    dunai_ResetStateStack(info, 80, 0, 0, 0);
    EXPECT_EQ(Run(), 80u);
    ASSERT_EQ(CalledIds(), (std::vector<uint32_t>{80, 80}));
    EXPECT_EQ(gCalls[1].step, 3);
    EXPECT_EQ(gCalls[1].lastResult, 0.0f);
    EXPECT_EQ(log.Count("state 95 has no handler"), 1u);
}

// A frame that never comes to a yield ends after a fixed number of passes.
TEST_F(StateStack, AFrameThatNeverYieldsIsCut) {
    struct Row {
        const char *what;
        uint32_t bottom;
    } rows[] = {{"an unknown command", 85}, {"a push and finish ping-pong", 86}};
    for (const Row &r : rows) {
        SetUp();
        LogLines log;
        State(85, 0, [](StateCommand *c, const Call &) {
            dunai_Yield(c, 1);
            c->command = 7;
            return c;
        });
        State(86, 0, [](StateCommand *c, const Call &) { return dunai_Push(c, 87, 0, 0, 0, 1); });
        State(87, 0, [](StateCommand *c, const Call &) { return dunai_Finish(c, 1.0f); });
        dunai_ResetStateStack(info, r.bottom, 0, 0, 0);
        const uint32_t id = Run();
        EXPECT_NE(id, 0u) << r.what;
        EXPECT_EQ(gCalls.size(), size_t(kStatePassesPerFrame)) << r.what;
        EXPECT_EQ(log.Count("passes in one frame"), 1u) << r.what;
        // The next frame goes on from where the cut left it.
        gCalls.clear();
        Run();
        EXPECT_EQ(gCalls.size(), size_t(kStatePassesPerFrame)) << r.what;
    }
}

}  // namespace
