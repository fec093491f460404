// The order table and the services that fill a ship's order slots.
#include <cstring>

#include "RES/util.h"
#include "ai/brain.h"
#include "world/handle.h"

// Writable, as the order table always was: a script may not change it, but
// nothing stops the game from doing so.
OrderDef dunOrderTable[kOrderRows + 1] = {
    {"WaitForFurtherOrders", dunai_EvalDefault, 63, {0, 0, 0}},
    {"SelfPreservation", dunai_EvalSelfPreservation, 35, {0, 0, 0}},
    {"SentryDuty", dunai_EvalSentryDuty, 63, {0, 0, 0}},
    {"AcquireIndieShip", dunai_EvalAcquire, 62, {260, 8, 50000000}},
    {"AcquireNavyShip", dunai_EvalAcquire, 62, {132, 8, 50000000}},
    {"AcquireIndieBase", dunai_EvalAcquire, 62, {264, 0, 50000000}},
    {"AcquireNavyBase", dunai_EvalAcquire, 62, {136, 0, 50000000}},
    {"SeekAndDestroy2", dunai_EvalSeekAndDestroy, 20, {0, 0, 0}},
    {"DestroyIfTarget", dunai_EvalDestroyIfTarget, 20, {0, 0, 0}},
    {"SeekAndDestroy", dunai_EvalSeekAndDestroy, 25, {0, 0, 0}},
    {"PullOut", dunai_EvalPullOut, 60, {0, 0, 0}},
    {"RunAway", dunai_EvalDefault, 60, {0, 0, 0}},
    {"NavyGunPlatform", dunai_EvalDefault, 23, {4, 1216, 0}},
    {"IndieGunPlatform", dunai_EvalDefault, 23, {640, 0, 0}},
    {"AntiAlliedPlatform", dunai_EvalDefault, 23, {4096, 0, 0}},
    {"BlackGunPlatform", dunai_EvalDefault, 23, {4, 576, 0}},
    {"GunPlatform", dunai_EvalDefault, 23, {4, 0, 0}},
    {"AntieIndieGunPlatform", dunai_EvalDefault, 23, {256, 0, 0}},
    {"IndieDefNetGun", dunai_EvalDefault, 24, {132, 0, 0}},
    {"Turret", dunai_EvalDefault, 47, {0, 0, 0}},
    {"DefendObject", dunai_EvalDefendObject, 27, {0, 0, 0}},
    {"WaitForTrouble", dunai_EvalWaitForTrouble, 51, {150000, 0, 0}},
    {"Escort", dunai_EvalDefault, 51, {70000, 0, 0}},
    {"Aproach", dunai_EvalDefault, 49, {70000, 0, 0}},
    {"Lagrange", dunai_EvalDefault, 18, {0, 1, 0}},
    {"MatchVel", dunai_EvalDefault, 19, {10000, 0, 0}},
    {"StayNear", dunai_EvalStayNear, 51, {600000, 0, 0}},
    {"UnDock", dunai_EvalDefault, 13, {0, 0, 0}},
    {"GoAndDock", dunai_EvalDefault, 14, {0, 0, 0}},
    {"DockWhenClose", dunai_EvalDockWhenClose, 14, {0, 0, 0}},
    {"DockAndDemolish", dunai_EvalDefault, 15, {0, 0, 0}},
    {"SortLDAIndie", dunai_EvalDefault, 42, {132, 0, 0}},
    {"CheckLDA", dunai_EvalCheckLDA, 42, {132, 0, 0}},
    {"LDSToNavTarget", dunai_EvalDefault, 70, {0, 0, 0}},
    {"HiSpeedWeaponsPass", dunai_EvalDefault, 36, {0, 0, 0}},
    {"StopAbsolute", dunai_EvalDefault, 10, {0, 0, 0}},
    {"StopRelative", dunai_EvalDefault, 11, {0, 0, 0}},
    {"StopDead", dunai_EvalDefault, 67, {0, 0, 0}},
    {"BigBomb", dunai_EvalDefault, 37, {0, 0, 0}},
    {"DroneTargetRun", dunai_EvalDefault, 38, {100000, 0, 0}},
    {"DroneMovingTarget", dunai_EvalDefault, 39, {100000, 0, 0}},
    {"DroneChasingTarget", dunai_EvalDefault, 40, {100000, 0, 0}},
    {"OrbitalAttack", dunai_EvalDefault, 41, {0, 0, 0}},
    {"LDADeff2Indie", dunai_EvalDefault, 29, {132, 0, 0}},
    {"LDADeff2Navy", dunai_EvalDefault, 29, {260, 0, 0}},
    {"Watch", dunai_EvalDefault, 78, {0, 0, 0}},
    {"SeekOrbitalSpeed", dunai_EvalDefault, 76, {782004, 150, 0}},
    {"Capsule", dunai_EvalDefault, 52, {0, 0, 0}},
    {"FixedAttack", dunai_EvalDefault, 34, {0, 0, 0}},
    {"AmbushAttack", dunai_EvalDockWhenClose, 34, {0, 0, 0}},
    {"ProvokedAttack", dunai_EvalProvokedAttack, 34, {0, 0, 0}},
    {"HarpoonTarget", dunai_EvalPullOut, 77, {0, 0, 0}},
    {"Follower", dunai_EvalDefault, 43, {0, 0, 0}},
    {"FollowPlayer", dunai_EvalDefault, 44, {0, 0, 0}},
    {"SeekerMissile", dunai_EvalDefault, 66, {0, 0, 0}},
    {"ForcedTailBiting", dunai_EvalDefault, 31, {50000, 0, 0}},
    {"BusDriver", dunai_EvalDefault, 54, {0, 0, 0}},
    {"BusDriverNotStopping", dunai_EvalDefault, 55, {0, 0, 0}},
    {"DefendMothership", dunai_EvalDefendMothership, 28, {0, 0, 0}},
    {"ConstantFire", dunai_EvalDefault, 26, {100, 0, 0}},
    {"Loiter", dunai_EvalDefault, 56, {0, 0, 0}},
    {"SafeLoiter", dunai_EvalWaitForTrouble, 56, {0, 0, 0}},
    {"StraightLDS", dunai_EvalDefault, 75, {0, 0, 0}},
    {"Drift", dunai_EvalDefault, 64, {0, 0, 0}},
    {nullptr, nullptr, 0, {0, 0, 0}},
};

const OrderDef *FindOrderName(const char *name) {
    if (!name) return nullptr;
    for (const OrderDef *row = dunOrderTable; row->name; ++row)
        if (std::strcmp(row->name, name) == 0) return row;
    return nullptr;
}

namespace {

OrderSlot *Slot(ShipInfo *info, int slot) {
    return info && slot >= 0 && slot < kOrderSlots ? &info->orders[slot] : nullptr;
}

}  // namespace

void dunai_ResetOrders(ShipInfo *info) {
    if (!info) return;
    for (OrderSlot &o : info->orders) {
        o.priority = 0;
        o.delay = 0;
        o.reserved = 0;
        o.evaluation = nullptr;
        o.flags = 0;
        o.startState = 0;
        o.savedTarget = kNoHandle;
        o.savedGoal = kNoHandle;
    }
    info->currentOrder = 1;
    info->roundRobin = 1;
    // Ships set up together do not all evaluate in the same frame.
    info->evalClock = dunRand15() % 100;
}

void dunai_NameOrder(ShipInfo *info, int slot, const char *name) {
    if (OrderSlot *o = Slot(info, slot)) o->name = name;
}

void dunai_SetOrder(ShipInfo *info, int slot, int8_t prerequisite, int32_t delay, uint32_t reserved, int32_t weight,
                    OrderEvaluation evaluation, uint32_t p1, uint32_t p2) {
    OrderSlot *o = Slot(info, slot);
    if (!o) return;
    o->prerequisite = prerequisite;
    o->delay = delay;
    o->reserved = reserved;
    o->weight = weight;
    o->evaluation = evaluation;
    o->params[0] = p1;
    o->params[1] = p2;
}

void dunai_SetOrderState(ShipInfo *info, int slot, uint32_t state, uint32_t p1, uint32_t p2, uint32_t p3) {
    OrderSlot *o = Slot(info, slot);
    if (!o) return;
    o->startState = state;
    o->stateParams[0] = p1;
    o->stateParams[1] = p2;
    o->stateParams[2] = p3;
}

int16_t dunai_FindFreeOrderSlot(ShipInfo *info, const char *name) {
    if (!info) return -1;
    for (int16_t n = 1; n < kOrderSlots; ++n) {
        if (info->orders[n].evaluation) continue;
        info->orders[n].name = name;
        return n;
    }
    return -1;
}

int16_t dunai_FindOrderSlot(ShipInfo *info, const char *name) {
    if (!info || !name) return -1;
    for (int16_t n = 0; n < kOrderSlots; ++n)
        if (info->orders[n].name && std::strcmp(info->orders[n].name, name) == 0) return n;
    return -1;
}

int16_t dunai_FindOrAddOrderSlot(ShipInfo *info, const char *name) {
    const int16_t n = dunai_FindOrderSlot(info, name);
    return n >= 0 ? n : dunai_FindFreeOrderSlot(info, name);
}

void dunai_DefaultOrders(SceneItem *ship) {
    ShipInfo *info = ship && ship->sim ? ship->sim->shipInfo : nullptr;
    if (!info) return;
    dunai_ResetOrders(info);
    dunai_NameOrder(info, 0, "SelfPreservation");
    dunai_SetOrder(info, 0, 0, 0, 0, 100, dunai_EvalSelfPreservation, 79, 0);
    dunai_SetOrderState(info, 0, 35, 0, 0, 0);
    dunai_NameOrder(info, 1, "NO PROGRAM");
    dunai_SetOrder(info, 1, 0, 0, 0, 1, dunai_EvalDefault, 80, 0);
    dunai_SetOrderState(info, 1, 63, 0, 0, 0);
    dunai_StartOrder(ship, 1);
}

void dunai_SetNamedOrder(SceneItem *ship, int slot, const char *name, int weight, int state, SceneItem *object) {
    ShipInfo *info = ship && ship->sim ? ship->sim->shipInfo : nullptr;
    if (!info) return;
    const OrderDef *row = state == 0 ? FindOrderName(name) : nullptr;
    dunai_NameOrder(info, slot, name);
    dunai_SetOrder(info, slot, 0, 0, 0, weight, dunai_EvalDefault, 80, 0);
    if (row)
        dunai_SetOrderState(info, slot, row->startState, row->parameters[0], row->parameters[1], row->parameters[2]);
    else dunai_SetOrderState(info, slot, uint32_t(state), dunHandleOf(object), 0, 0);
}
