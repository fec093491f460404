// The ship brain: the order table, a ship's eight order slots, their
// evaluation routines and the hysteresis that switches between them, the
// control routines of AI ships, the goal pickers, and placement.
//
// Each AI ship carries eight order slots in its ShipInfo (OrderSlot,
// world/records.h). Every 50 centiseconds of game time the brain evaluates
// one slot, round robin: the slot's routine turns the ship's situation into
// a priority (0..100, times the slot's weight), and the brain starts another
// slot only when its priority beats the current one's by a margin. Starting
// a slot empties the ship's state stack (ai/states.h) and puts the slot's
// start state at its bottom. Objects in a slot's words are handles.
#pragma once

#include <cstdint>

#include "world/records.h"

constexpr int kOrderSlots = 8;
constexpr int kOrderRows = 64;
// Game time gathered between two evaluations, centiseconds.
constexpr int32_t kEvaluationPeriod = 50;

// One row of the order table: the name scripts and screens give, the
// evaluation routine and the start state with its three parameters.
struct OrderDef {
    const char *name;
    OrderEvaluation evaluation;
    uint32_t startState;
    uint32_t parameters[3];
};
// The 64 rows, then a row of zeros.
extern OrderDef dunOrderTable[kOrderRows + 1];
// The row of that name (exact, case-sensitive), or null.
const OrderDef *FindOrderName(const char *name);

// ---- the evaluation routines (ship, parameter 1, parameter 2, its slot) ------------

int32_t dunai_EvalDefault(SceneItem *ship, uint32_t p1, uint32_t p2, OrderSlot *slot);
int32_t dunai_EvalSelfPreservation(SceneItem *ship, uint32_t p1, uint32_t p2, OrderSlot *slot);
int32_t dunai_EvalProvokedAttack(SceneItem *ship, uint32_t p1, uint32_t p2, OrderSlot *slot);
int32_t dunai_EvalAcquire(SceneItem *ship, uint32_t p1, uint32_t p2, OrderSlot *slot);
int32_t dunai_EvalDefendObject(SceneItem *ship, uint32_t p1, uint32_t p2, OrderSlot *slot);
int32_t dunai_EvalSentryDuty(SceneItem *ship, uint32_t p1, uint32_t p2, OrderSlot *slot);
int32_t dunai_EvalDestroyIfTarget(SceneItem *ship, uint32_t p1, uint32_t p2, OrderSlot *slot);
int32_t dunai_EvalWaitForTrouble(SceneItem *ship, uint32_t p1, uint32_t p2, OrderSlot *slot);
int32_t dunai_EvalCheckLDA(SceneItem *ship, uint32_t p1, uint32_t p2, OrderSlot *slot);
int32_t dunai_EvalDefendMothership(SceneItem *ship, uint32_t p1, uint32_t p2, OrderSlot *slot);
int32_t dunai_EvalDockWhenClose(SceneItem *ship, uint32_t p1, uint32_t p2, OrderSlot *slot);
int32_t dunai_EvalPullOut(SceneItem *ship, uint32_t p1, uint32_t p2, OrderSlot *slot);
int32_t dunai_EvalSeekAndDestroy(SceneItem *ship, uint32_t p1, uint32_t p2, OrderSlot *slot);
int32_t dunai_EvalStayNear(SceneItem *ship, uint32_t p1, uint32_t p2, OrderSlot *slot);

// ---- slots ---------------------------------------------------------------------------
// Slot numbers outside 0..7 name no slot: the setters ignore them.

// Every slot's priority, delay, reserved word, routine, flags, start state
// and saved objects cleared (names stay); slot 1 current and next to be
// evaluated; the evaluation clock at a random 0..99.
void dunai_ResetOrders(ShipInfo *info);
// The slot's name (an order table name or the caller's own text).
void dunai_NameOrder(ShipInfo *info, int slot, const char *name);
void dunai_SetOrder(ShipInfo *info, int slot, int8_t prerequisite, int32_t delay, uint32_t reserved, int32_t weight,
                    OrderEvaluation evaluation, uint32_t p1, uint32_t p2);
void dunai_SetOrderState(ShipInfo *info, int slot, uint32_t state, uint32_t p1, uint32_t p2, uint32_t p3);
// Makes the slot current: the old slot keeps the Sim target and goal, the
// state stack starts the slot's state, the slot's own objects come back.
void dunai_StartOrder(SceneItem *ship, int slot);
// The first of slots 1..7 without a routine, named so; -1 when all are
// taken (slot 0 is the ship's self-preservation and is never handed out).
int16_t dunai_FindFreeOrderSlot(ShipInfo *info, const char *name);
// The first slot 0..7 of that name (exact case); -1 when none.
int16_t dunai_FindOrderSlot(ShipInfo *info, const char *name);
// The slot of that name, else a free one named so; -1 when neither.
int16_t dunai_FindOrAddOrderSlot(ShipInfo *info, const char *name);
// The ship's default orders: slot 0 "SelfPreservation" (weight 100, below 79 %
// hull), slot 1 "NO PROGRAM" (weight 1, DoNothingState), slot 1 started.
void dunai_DefaultOrders(SceneItem *ship);
// The world's way of giving an order (its "setOrder" hook): slot n named,
// weight given, default evaluation with 80; the start state given, or the
// order table's for a known name given with state 0; the object as the
// state's first parameter.
void dunai_SetNamedOrder(SceneItem *ship, int slot, const char *name, int weight, int state, SceneItem *object);

// ---- the brain -------------------------------------------------------------------------

// A slot is eligible when it is neither held nor done, its delay has run
// out and its prerequisite slot (if any) is done.
bool dunai_OrderEligible(const ShipInfo *info, int slot);
// One slot evaluated, with the switch between slots it may cause.
void dunai_EvaluateOrder(SceneItem *ship, ShipInfo *info, int slot);
// Once a frame: delays run down and, each 50 centiseconds, one slot is
// evaluated; or every ship attacks the player once the player's ship asks
// for it.
void dunai_BrainTick(SceneItem *ship, ShipInfo *info);

// The control routines (CONTROL_AI, CONTROL_AIFREE, and that of simple
// objects such as mines).
void dunai_ThinkShip(SceneItem *item);
void dunai_ThinkFree(SceneItem *item);
void dunai_ThinkSimple(SceneItem *item);
// Set: AI ships do not steer clear of their approach object.
extern uint8_t dunai_AvoidanceOff;

// ---- goals -------------------------------------------------------------------------------

// The sides the object may target.
uint32_t dunai_SideTargetMask(SceneItem *item);
// The include and exclude masks of Avatar flags by which a ship of that
// side and those flags chooses its goal.
void dunai_GoalMasks(int side, uint32_t avatarFlags, uint32_t *include, uint32_t *exclude);
// The best-scoring hostile becomes the ship's Sim goal (null when none); the
// nearest hostile.
void dunai_PickBestTarget(SceneItem *ship);
void dunai_PickNearestTarget(SceneItem *ship);

// ---- placement, the step, the wing -----------------------------------------------------

// Puts the object at a clear random spot at the distance from the
// navigation point "L4" (a protected object 150000 ahead of it), trying
// again farther out with retry; false when no spot was clear, or the
// system has no "L4".
bool dunPlaceNearNavPoint(SceneItem *item, double distance, bool retry);
// True when the first wing slot is used and its last wing command is the value.
bool dunai_WingCommandIs(int command);
// An object of the parked list with all the sense flags in that star
// system, brought in 85,000 from the navigation point; null when there is
// none or no clear spot for it.
SceneItem *dunPlaceObjectNearNavPoint(uint32_t senseFlags, int system, SceneItem *item);
// Adds the ship to the player's wing (13 places); false when it is full.
bool dunai_AddWingman(SceneItem *ship);
void dunai_CommandWing(SceneItem *player, int command);
// A mine of a field: "DismantleIntruders" (it pulls out at intruders) and
// "SitOnYerHands", with the first started.
void dunai_SetUpMineOrders(SceneItem *mine);
