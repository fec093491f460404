// The ship brain: control routines of AI ships, orders and placement.
#pragma once

#include <cstdint>

struct SceneItem;

void dunai_ThinkShip(SceneItem *item);
// The best-scoring hostile becomes the ship's Sim goal (null when none).
void dunai_PickBestTarget(SceneItem *ship);
// The sides the object may target.
uint32_t dunai_SideTargetMask(SceneItem *item);
// Names order slot n with its priority, start state and object; makes a
// slot current.
void dunai_SetNamedOrder(SceneItem *ship, int slot, const char *name, int priority, int state, SceneItem *object);
void dunai_StartOrder(SceneItem *ship, int slot);
// The free-flying AI control (CONTROL_AIFREE).
void dunai_ThinkFree(SceneItem *item);
// Puts the object at a clear random spot near the navigation point.
void dunPlaceNearNavPoint(SceneItem *item, double *distance, int a, int b);
// Clears the brain's per-step words at the start of a step.
void dunai_ClearStepWords();
// True when the first wing slot is used and its last wing command is the value.
bool dunai_WingCommandIs(int command);
// An object with all the sense flags in that star system, brought in 85,000
// from the navigation point; null when there is none.
SceneItem *dunPlaceObjectNearNavPoint(uint32_t senseFlags, int system, SceneItem *item);

// Order slots of a ship's brain: the evaluation routines, clearing, filling
// and starting them; the player's wing.
using OrderEvaluation = int (*)(SceneItem *ship, int parameter);
int dunai_EvalSelfPreservation(SceneItem *ship, int parameter);
int dunai_EvalDefault(SceneItem *ship, int parameter);
void dunai_ResetOrders(SceneItem *ship);
void dunai_SetOrder(SceneItem *ship, int slot, const char *name, int prerequisite, int delay, int weight,
                    OrderEvaluation evaluation, int parameter, int extra);
void dunai_SetOrderState(SceneItem *ship, int slot, int state, uint32_t a, uint32_t b, uint32_t c);
// Adds the ship to the player's wing (13 places); false when it is full.
bool dunai_AddWingman(SceneItem *ship);
void dunai_CommandWing(SceneItem *player, int command);
// The free AI control routine (CONTROL_AIFREE) is dunai_ThinkFree.

// One row of the order table: the order's name, its evaluation routine and
// the start state with its three parameters.
struct OrderDef {
    const char *name;
    OrderEvaluation evaluation;
    uint32_t startState;
    uint32_t parameters[3];
};
// The row of an order name (the last of equal names), or null.
const OrderDef *FindOrderName(const char *name);
// The first slot 0..7 of the ship named so (exact case); -1 when none.
int16_t dunai_FindOrderSlot(SceneItem *ship, const char *name);
// Evaluation of the distance to the goal against a range, falling.
int dunai_EvalPullOut(SceneItem *ship, int parameter);
// The control routine of simple AI objects (mines).
void dunai_ThinkSimple(SceneItem *item);
// A mine's two order slots, "DismantleIntruders" and "SitOnYerHands", with
// the first started.
void dunai_SetUpMineOrders(SceneItem *mine);
