// The ship brain: one order slot evaluated each 50 centiseconds, the
// switch between slots with its margin, starting a slot, and the control
// routines that run the brain and the state stack of AI ships every frame.
#include <cstdint>
#include <cstring>

#include "RES/util.h"
#include "ai/brain.h"
#include "ai/combat.h"
#include "ai/states.h"
#include "ai/weapons.h"
#include "core/frame.h"
#include "present/scene.h"
#include "world/docking.h"
#include "world/handle.h"
#include "world/lds.h"
#include "world/objlist.h"
#include "world/objroutines.h"

uint8_t dunai_AvoidanceOff;

namespace {

// A slot leaves the running only by a margin: a slot takes over when the
// current one is below 0.9 of it, and the current one gives way to any
// slot above 1.1 of it.
constexpr double kTakeOver = 0.9, kGiveWay = 1.1;

constexpr uint32_t kDockingStates[] = {14, 15, 16};
constexpr uint32_t kCombatState = 34;

bool IsDockingState(uint32_t state) {
    for (uint32_t s : kDockingStates)
        if (s == state) return true;
    return false;
}

int32_t Saturate(int64_t v) { return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : int32_t(v); }

bool ValidSlot(int slot) { return slot >= 0 && slot < kOrderSlots; }

// Once the player's ship asks to be attacked, a ship still keeping its
// self-preservation in slot 0 turns it into an attack on the player.
bool AttackThePlayer(SceneItem *ship, ShipInfo *info) {
    SceneItem *player = dunPlayerShip;
    if (!player || !player->avatar || !(player->avatar->flags & AvatarFlag::AttackPlayer)) return false;
    // The player's own ship, on autopilot, does not turn on itself.
    if (ship == player) return true;
    const char *name = info->orders[0].name;
    if (name && std::strcmp(name, "SelfPreservation") == 0) {
        dunai_NameOrder(info, 0, "ExecutePlayer");
        dunai_SetOrder(info, 0, 0, 0, 0, 100, dunai_EvalDefault, 70, 0);
        dunai_SetOrderState(info, 0, kCombatState, 0, 0, 0);
        ship->sim->goal = player;
        dunai_StartOrder(ship, 0);
    }
    return true;
}

}  // namespace

bool dunai_OrderEligible(const ShipInfo *info, int slot) {
    if (!info || !ValidSlot(slot)) return false;
    const OrderSlot &o = info->orders[slot];
    if (o.flags & (OrderFlag::Held | OrderFlag::Done)) return false;
    if (o.delay > 0) return false;
    if (o.prerequisite == 0) return true;
    // A prerequisite that names no slot can never be done.
    if (!ValidSlot(o.prerequisite)) return false;
    return (info->orders[o.prerequisite].flags & OrderFlag::Done) != 0;
}

void dunai_EvaluateOrder(SceneItem *ship, ShipInfo *info, int s) {
    if (!ship || !info || !ValidSlot(s)) return;
    OrderSlot &o = info->orders[s];
    if (!o.evaluation) return;
    // An ineligible slot's routine is not run: several routines set the
    // ship's goal or defended object, or give up the slot, and a held or
    // finished order must not do that behind the current one's back.
    const int32_t r = dunai_OrderEligible(info, s) ? o.evaluation(ship, o.params[0], o.params[1], &o) : 0;
    o.priority = Saturate(int64_t(r) * o.weight);

    if (s == info->currentOrder) {
        // Each slot above the bar is started in turn; the bar stays where
        // it was, so the last of them ends current.
        const double bar = kGiveWay * o.priority;
        for (int k = 0; k < kOrderSlots; ++k)
            if (k != s && info->orders[k].priority > bar) dunai_StartOrder(ship, k);
        return;
    }
    const int c = info->currentOrder;
    const int32_t current = ValidSlot(c) ? info->orders[c].priority : 0;
    if (current < kTakeOver * o.priority) dunai_StartOrder(ship, s);
}

void dunai_BrainTick(SceneItem *ship, ShipInfo *info) {
    if (!ship || !ship->sim || !info) return;
    if (AttackThePlayer(ship, info)) return;
    for (OrderSlot &o : info->orders)
        if (o.delay > 0) o.delay -= dunFrameStep;
    info->evalClock += dunFrameStep;
    if (info->evalClock <= kEvaluationPeriod) return;
    info->evalClock -= kEvaluationPeriod;
    if (!ValidSlot(info->roundRobin)) info->roundRobin = 0;
    const int s = info->roundRobin;
    info->roundRobin = int16_t((s + 1) % kOrderSlots);
    dunai_EvaluateOrder(ship, info, s);
}

void dunai_StartOrder(SceneItem *ship, int n) {
    Sim *sim = ship ? ship->sim : nullptr;
    ShipInfo *info = sim ? sim->shipInfo : nullptr;
    if (!info || !ValidSlot(n)) return;
    const int c = info->currentOrder;
    if (ValidSlot(c)) {
        OrderSlot &old = info->orders[c];
        const DunHandle earlierTarget = old.savedTarget;
        old.savedTarget = dunHandleOf(sim->target);
        old.savedGoal = dunHandleOf(sim->goal);
        // Leaving a docking order gives back the port pair it reserved.
        if (IsDockingState(old.startState) && earlierTarget != kNoHandle && n != c)
            dunReleaseDockingPorts(ship, sim->target);
    }
    OrderSlot &o = info->orders[n];
    o.flags &= ~(OrderFlag::Held | OrderFlag::Done);
    info->currentOrder = int16_t(n);
    dunai_ResetStateStack(info, o.startState, o.stateParams[0], o.stateParams[1], o.stateParams[2]);
    if (SceneItem *t = dunItemFromHandle(o.savedTarget)) sim->target = t;
    if (SceneItem *g = dunItemFromHandle(o.savedGoal)) sim->goal = g;
    EventCameraTrigger(ship, nullptr, 6);
}

void dunai_ThinkShip(SceneItem *item) {
    Sim *s = item ? item->sim : nullptr;
    ShipInfo *info = s ? s->shipInfo : nullptr;
    if (!info) return;
    if (s->flags & SimFlag::AiPaused) return;
    // Disabled controls wear off at random, faster than never while the
    // manoeuvring system works.
    if ((s->flags & SimFlag::AiHold) && !(info->damage.mask & DamageBit::Manoeuvring) &&
        dunRand15() % 150 < dunFrameStep)
        s->flags &= ~SimFlag::AiHold;
    if (!(s->flags & SimFlag::AiHold)) s->flags &= ~SimFlag::TurnedThisFrame;
    const bool player = item == dunPlayerShip;
    if (!player) {
        dunUpdateWeapons(item);
        // A damaged brain thinks in only about step / 250 of its frames.
        if ((info->damage.mask & DamageBit::Structure) && !(item->flags & SceneFlag::Vital) &&
            dunRand15() % 250 > dunFrameStep)
            return;
    }
    if (s->flags & SimFlag::Jumping) return;
    if (!(player && item == dunControlledObject)) dunai_BrainTick(item, info);
    info->lastState = dunai_RunStateStack(item, info);
    if (info->lastState == 0 && player && !dunCurrentHost) {
        // The autopilot's program has ended: the player flies again, at the
        // selected target.
        s->flags &= ~SimFlag::Autopilot;
        dunSetShipTarget();
        s->ldsDemand = 0.0f;
    }
    if (Avatar *a = item->avatar) {
        if (a->attackCount > 0) {
            a->attackCount -= dunFrameStep / 4;
            if (a->attackCount < 2) {
                a->attackCount = 0;
                a->attacker = nullptr;
            }
        }
    }
    s->flags &= ~SimFlag::CollisionCourse;
    const int top = info->stateTop >= 0 && info->stateTop < kStateFrames ? info->stateTop : 0;
    const uint32_t state = info->states[top].state;
    if (state != 14 && state != 16 && item->avatar && item->avatar->approach && !dunai_AvoidanceOff) dunLdsSteer(item);
}

void dunai_ThinkFree(SceneItem *item) {
    Sim *s = item ? item->sim : nullptr;
    ShipInfo *info = s ? s->shipInfo : nullptr;
    if (!info) return;
    dunUpdateWeapons(item);
    info->lastState = dunai_RunStateStack(item, info);
    for (int i = 0; i < 3; ++i) item->turnRemaining[i] = item->turnDemand[i];
}

void dunai_ThinkSimple(SceneItem *item) {
    Sim *s = item ? item->sim : nullptr;
    ShipInfo *info = s ? s->shipInfo : nullptr;
    if (!info) return;
    dunAimAtGoal(item);
    dunai_BrainTick(item, info);
    info->lastState = dunai_RunStateStack(item, info);
    dunUpdateWeapons(item);
}
