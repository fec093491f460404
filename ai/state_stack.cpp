// The runner of a ship's AI state stack: once a frame it checks the top
// state's objects, calls its handler and acts on the command, until a state
// yields or a needed object is missing.
#include <cmath>
#include <cstring>

#include "ai/brain.h"
#include "ai/states.h"
#include "ai/steering.h"
#include "core/log.h"
#include "world/handle.h"

namespace {

bool InUse(const SceneItem *o) { return o && (o->flags & SceneFlag::InUse); }

// In use and in the ship's own star system.
bool Valid(const SceneItem *o, const SceneItem *ship) { return InUse(o) && o->systemNumber == ship->systemNumber; }

// The object a state's parameters offer for a missing one: parameter 2 with
// 0x10, else parameter 1 with 0x08. Taken as it is; a released one is none.
SceneItem *Replacement(uint32_t flags, const StateFrame &f) {
    if (flags & StateNeeds::FromParam2) return dunItemFromHandle(f.params[1]);
    if (flags & StateNeeds::FromParam1) return dunItemFromHandle(f.params[0]);
    return nullptr;
}

void MarkOrderDone(ShipInfo *info) {
    const int n = info->currentOrder;
    if (n >= 0 && n < 8) info->orders[n].flags |= OrderFlag::Done;
}

const char *ShipName(const ShipInfo *info) { return info->name ? info->name : "?"; }

// A result in thousandths, truncated toward zero; a result too large for a
// local saturates and one that is no number gives 0.
int32_t Thousandths(float result) {
    const double v = double(result) * 1000.0;
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return int32_t(v);
}

// A frame as it starts: nothing of an earlier state's words survives into it.
void StartFrame(StateFrame &f, uint32_t state, uint32_t p1, uint32_t p2, uint32_t p3, uint16_t step) {
    f = StateFrame{};
    f.state = state;
    f.params[0] = p1;
    f.params[1] = p2;
    f.params[2] = p3;
    f.step = step;
    f.resultSlot = kNoResultSlot;
}

enum class Check { Run, SkipHandler, Stop };

// The object checks of the top state. Stop: the ship flew a braking step or
// its order is done, and the runner returns 0.
Check CheckObjects(SceneItem *ship, ShipInfo *info, const StateFrame &f, uint32_t flags) {
    Sim *s = ship->sim;
    bool goalReplaced = false;
    if ((flags & StateNeeds::Goal) && !Valid(s->goal, ship)) {
        if (SceneItem *r = Replacement(flags, f)) s->goal = r;
        else dunai_PickBestTarget(ship);
        goalReplaced = true;
        if (flags & StateNeeds::TargetFollowsGoal) s->target = s->goal;
        if (!s->goal && !(s->flags & SimFlag::NoOwnChoice)) {
            dunai_IdleFlight(ship);
            return Check::Stop;
        }
    }
    if ((flags & StateNeeds::Target) && !Valid(s->target, ship)) {
        if ((flags & StateNeeds::TargetFollowsGoal) && InUse(s->goal)) {
            s->target = s->goal;
        } else if (SceneItem *r = Replacement(flags, f)) {
            s->target = r;
        } else if (s->goal) {
            s->target = s->goal;
        } else {
            dunai_IdleFlight(ship);
            return Check::Stop;
        }
    }
    if (flags & StateNeeds::OrderEnds) {
        const bool targetGone = (flags & StateNeeds::Target) && !InUse(s->target);
        const bool goalGone = (flags & StateNeeds::Goal) && !InUse(s->goal);
        if (targetGone || goalGone) {
            MarkOrderDone(info);
            return Check::Stop;
        }
    }
    // A ship with no choice of its own drops a state whose goal had to be
    // replaced, and forgets what it flew at.
    if ((s->flags & SimFlag::NoOwnChoice) && goalReplaced) {
        s->goal = s->target = nullptr;
        return Check::SkipHandler;
    }
    return Check::Run;
}

// A finished state's result reaches the frame below, with its branch.
void HandDown(StateFrame &f, float result) {
    f.lastResult = result;
    if (f.resultSlot >= 0 && f.resultSlot < kNoResultSlot) f.locals[f.resultSlot] = Thousandths(result);
    const double milli = double(result) * 1000.0;
    if ((f.branchFlags & StateBranch::Above) && double(f.threshold) < milli) {
        f.step = f.altStep;
        f.branchFlags &= ~StateBranch::Above;
    }
    if ((f.branchFlags & StateBranch::Below) && double(f.threshold) > milli) {
        f.step = f.altStep;
        f.branchFlags &= ~StateBranch::Below;
    }
}

}  // namespace

void dunai_ResetStateStack(ShipInfo *info, uint32_t state, uint32_t p1, uint32_t p2, uint32_t p3) {
    for (StateFrame &f : info->states) StartFrame(f, 0, 0, 0, 0, 0);
    StartFrame(info->states[0], state, p1, p2, p3, 0);
    info->stateTop = 0;
}

uint32_t dunai_RunStateStack(SceneItem *ship, ShipInfo *info) {
    Sim *s = ship ? ship->sim : nullptr;
    if (!s || !info) return 0;
    if (!s->target) s->target = s->goal;
    StateFrame *frames = info->states;
    int top = info->stateTop;
    if (top < 0 || top >= kStateFrames) top = 0;
    for (int pass = 0;; ++pass) {
        while (top > 0 && frames[top].state == 0) --top;
        StateFrame &f = frames[top];
        if (pass == kStatePassesPerFrame) {
            // Finishes and pushes that never come to a yield would hold the
            // frame for ever.
            dunDebugPrintf("AI state stack of %s: %d passes in one frame, state %u yields", ShipName(info), pass,
                           f.state);
            info->stateTop = int16_t(top);
            return f.state;
        }
        const uint32_t id = f.state;
        StateHandler handler = id < uint32_t(kStateIds) ? AiStateHandlers[id] : nullptr;
        StateCommand command{};
        if (!handler) {
            // Nothing to run at all; an unknown state is dropped.
            if (id == 0) return 0;
            dunDebugPrintf("AI state stack of %s: state %u has no handler", ShipName(info), id);
            dunai_Finish(&command, 0.0f);
        } else {
            const Check check = AiStateFlags[id] ? CheckObjects(ship, info, f, AiStateFlags[id]) : Check::Run;
            if (check == Check::Stop) return 0;
            if (check == Check::SkipHandler) {
                dunai_Finish(&command, 0.0f);
            } else {
                dunai_Yield(&command, f.step);
                const StateCommand *given = handler(&command, ship, int16_t(f.step), f.lastResult, f.locals,
                                                    f.params[0], f.params[1], f.params[2]);
                if (given) command = *given;
            }
        }

        switch (command.command) {
        case StateCmd::Finish:
            f.state = 0;
            if (top > 0) --top;
            else MarkOrderDone(info);
            HandDown(frames[top], command.result);
            break;
        case StateCmd::Yield:
            f.step = command.step;
            info->stateTop = int16_t(top);
            return f.state;
        case StateCmd::Push:
        case StateCmd::PushBranchAbove:
        case StateCmd::PushBranchBelow:
            if (top + 1 >= kStateFrames) {
                // No room for another frame: the push is dropped and the
                // stack stays as it is until the next frame.
                dunDebugPrint("Bummer - stack overflow!");
                info->stateTop = int16_t(top);
                return f.state;
            }
            f.step = command.step;
            f.resultSlot =
                command.resultSlot >= 0 && command.resultSlot <= kNoResultSlot ? command.resultSlot : kNoResultSlot;
            if (command.command != StateCmd::Push) {
                f.threshold = command.threshold;
                f.altStep = command.altStep;
                f.branchFlags |= command.command == StateCmd::PushBranchAbove ? StateBranch::Above : StateBranch::Below;
            }
            ++top;
            StartFrame(frames[top], command.state, command.params[0], command.params[1], command.params[2], 1);
            break;
        default:
            // Anything else runs the same handler again at the same step.
            break;
        }
    }
}
