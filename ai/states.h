// The AI behaviour states: the state table, the registry built from it, and
// the runner of a ship's state stack.
//
// A state is a small resumable routine (its handler) that runs on a frame of
// the ship's 12-frame stack (StateFrame, world/records.h). Each frame the
// runner calls the handler of the top frame with the frame's resume step,
// the result of its last finished sub-state, its five locals and its three
// parameters. The handler fills a StateCommand and returns it: finish (the
// result goes to the frame below, which runs again at once), yield (resume
// next frame at the given step), or push a sub-state (which runs at once at
// step 1), optionally branching to an alternative step on the sub-state's
// result. Steps 0 and 1 are both the first entry: 0 when an order put the
// state at the bottom, 1 when it was pushed.
//
// Parameters and locals that keep an object hold a DunHandle
// (world/handle.h): a released object reads as null.
#pragma once

#include <cstdint>
#include <string>

#include "RES/vecmath.h"
#include "world/records.h"

constexpr int kStateIds = 100;  // ids 0..99 can be registered
constexpr int kTableStates = 79;  // the table's ids 0..78; 79..99 are free
constexpr int32_t kNoResultSlot = 5;

// The command a handler returns.
namespace StateCmd {
constexpr int16_t Finish = 0;
constexpr int16_t Yield = 1;
constexpr int16_t Push = 2;
constexpr int16_t PushBranchAbove = 3;  // push; branch when the result is above the threshold
constexpr int16_t PushBranchBelow = 4;  // push; branch when it is below
}  // namespace StateCmd

// The object checks the runner makes before it calls a handler.
namespace StateNeeds {
constexpr uint32_t Target = 0x01;  // the Sim target must be a valid object
constexpr uint32_t Goal = 0x02;  // the Sim goal must be a valid object
constexpr uint32_t TargetFollowsGoal = 0x04;  // a replaced goal is the target too
constexpr uint32_t FromParam1 = 0x08;  // a missing object is replaced by parameter 1
constexpr uint32_t FromParam2 = 0x10;  // ... by parameter 2 (wins over parameter 1)
constexpr uint32_t OrderEnds = 0x20;  // the order is done when its object is gone
}  // namespace StateNeeds

struct StateCommand {
    float result;  // finish: the last result of the frame below
    uint32_t params[3];  // push: the new state's parameters
    uint16_t step;  // the caller's next step (yield and pushes)
    uint32_t state;  // push: the state id
    int16_t command;  // StateCmd
    int32_t threshold;  // branching pushes: thousandths of a result
    uint16_t altStep;  // branching pushes: the step taken on a branch
    int32_t resultSlot;  // pushes: the caller's local 0..4 for the result, or 5
};

// (command to fill, ship, resume step, last result, the frame's five locals,
// parameters 1..3) -> the filled command, normally the one given.
using StateHandlerFn = StateCommand *(StateCommand *command, SceneItem *ship, int16_t step, float lastResult,
                                      int32_t *locals, uint32_t p1, uint32_t p2, uint32_t p3);
using StateHandler = StateHandlerFn *;

struct AIStateDef {
    const char *name;
    StateHandler handler;
    uint32_t id;
    uint32_t flags;  // StateNeeds
};

// The state table, ended by a row without a handler.
extern const AIStateDef AiStateTable[kTableStates + 1];

// The registry, by state id; zero where nothing is registered.
extern StateHandler AiStateHandlers[kStateIds];
extern const char *AiStateNames[kStateIds];
extern uint32_t AiStateFlags[kStateIds];

// Copies every row of the table into the registry (game start).
void dunai_InitStateRegistry();
// Registers a state under an id (tests and tools use the free ids 79..99);
// false when the id is out of range.
bool dunai_RegisterState(uint32_t id, const char *name, StateHandler handler, uint32_t flags);

// Runs the ship's stack for one frame. Returns the top state's id when it
// yielded, 0 when a needed object was missing (the ship flew one braking
// step, or its order is done).
uint32_t dunai_RunStateStack(SceneItem *ship, ShipInfo *info);
// Empties the stack and puts a state at the bottom, entered at step 0 (an
// order starts).
void dunai_ResetStateStack(ShipInfo *info, uint32_t state, uint32_t p1, uint32_t p2, uint32_t p3);
// At most this many handler calls, finishes and pushes in one frame of one
// ship; then the runner logs a line and yields.
constexpr int kStatePassesPerFrame = 64;

// ---- filling a command (every word of it) -------------------------------------------

inline StateCommand *dunai_Yield(StateCommand *c, uint16_t step, float result = 0.0f) {
    *c = StateCommand{result, {0, 0, 0}, step, 0, StateCmd::Yield, 0, 0, kNoResultSlot};
    return c;
}
inline StateCommand *dunai_Finish(StateCommand *c, float result) {
    *c = StateCommand{result, {0, 0, 0}, 0, 0, StateCmd::Finish, 0, 0, kNoResultSlot};
    return c;
}
inline StateCommand *dunai_Push(StateCommand *c, uint32_t state, uint32_t p1, uint32_t p2, uint32_t p3, uint16_t step,
                                int32_t resultSlot = kNoResultSlot) {
    *c = StateCommand{0.0f, {p1, p2, p3}, step, state, StateCmd::Push, 0, 0, resultSlot};
    return c;
}
// Push, and on the sub-state's finish resume at altStep instead of step when
// its result x 1000 is above (PushBranchAbove) or below (PushBranchBelow)
// the threshold.
inline StateCommand *dunai_PushBranch(StateCommand *c, int16_t command, uint32_t state, uint32_t p1, uint32_t p2,
                                      uint32_t p3, uint16_t step, int32_t threshold, uint16_t altStep,
                                      int32_t resultSlot = kNoResultSlot) {
    *c = StateCommand{0.0f, {p1, p2, p3}, step, state, command, threshold, altStep, resultSlot};
    return c;
}

// ---- the handlers of the table, by the Part of the AI that builds them -------------

// Idle, stop and move-to.
StateHandlerFn dunai_Null, dunai_MoveToStop, dunai_MoveToStopRelative, dunai_MoveToStopAlmostRelative,
    dunai_MatchVelState, dunai_tst_FlyBackwards, dunai_tst_FlyFowards, dunai_DoNothingState, dunai_DriftState,
    dunai_FullStop, dunai_MaintainStop, dunai_FullStopRelative;
// Docking and undocking.
StateHandlerFn dunai_UnDock, dunai_DockingBaseState, dunai_DockingDemolishState, dunai_dk_orientate,
    dunai_dk_finalAproach;
// Fast-drive flight.
StateHandlerFn dunai_LDSToNavTarget, dunai_LDSApproach, dunai_EnterLDS, dunai_LDSEscort, dunai_LDSFlight,
    dunai_StraightLDS;
// Pursuit, range, orbit, gates, routes and watch.
StateHandlerFn dunai_LagrangeState, dunai_PointAtState, dunai_SimplePursuit, dunai_AchieveRange,
    dunai_AchieveFieldRangeState, dunai_CapsuleState, dunai_BusDriver, dunai_BusDriverNotStopping, dunai_Loiter,
    dunai_tst_HoldFormation, dunai_SeekOrbitalSpeed, dunai_Watch;
// A route's waypoint name: the first waypoint's name without its trailing
// digits, then the index ("Bus7" and 3 give "Bus3").
std::string dunai_RouteWaypointName(const char *first, int32_t index);
// Prey search, hiding and the weapon test.
StateHandlerFn dunai_Default, dunai_df_testPrey, dunai_df_chasePrey, dunai_df_baseState, dunai_df_newPrey,
    dunai_hd_moveAway, dunai_hideFrom, dunai_hd_hideAux, dunai_TestingState;
// Attack and combat.
StateHandlerFn dunai_GenericOffensiveState, dunai_off_Close, dunai_off_FireAtWill, dunai_Gun_lead_motion,
    dunai_ConstantFire, dunai_Retaliation, dunai_TailBitingState, dunai_FaceAttackState, dunai_CombatAchieveRange,
    dunai_CombatState, dunai_SelfPreservationState, dunai_WeaponsPassState, dunai_CombatOnce, dunai_WingmanCombatOnce,
    dunai_AcquireTarget, dunai_HarpoonTargetedState;
// Escort, followers, guards and turret defence.
StateHandlerFn dunai_UmovingGuardState, dunai_DefNetGuardState, dunai_DefendMothership, dunai_LDADeffTwo,
    dunai_RotationalDeff, dunai_DeflectorState, dunai_CombatFollower, dunai_FollowPlayerState, dunai_EscortState,
    dunai_AggroEscortState;
// Missiles, drones and escape.
StateHandlerFn dunai_BigBombState, dunai_DroneTarget, dunai_DroneMovingTarget, dunai_DroneChasingTarget,
    dunai_OrbitalAttack, dunai_EscapeState, dunai_esc_Flee, dunai_MissileState, dunai_DumbMissileState;

// A world position in single precision, for the states' steering sums.
inline Vec3 dunai_FloatPoint(const Vec3d &p) { return {float(p.x), float(p.y), float(p.z)}; }
// A world direction turned into the ship's own axes.
inline Vec3 dunai_ShipFramePoint(const SceneItem *ship, const Vec3 &world) {
    Vec3 out;
    MatTransformPoint(out, world, ship->sim->matrix);
    return out;
}
