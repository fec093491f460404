// The watch: a ship samples the signatures of one side's ships every tenth
// frame, follows the first that shows above the threshold, and when it has
// shown for long enough tells every ship of its own side to go for it. A
// ship that drops back under the threshold for as long as it showed is lost.
#include "ai/states.h"
#include "core/frame.h"
#include "world/handle.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objlist.h"

namespace {

constexpr int32_t kSampleFrames = 10;
constexpr int32_t kAlarmRest = 9000;  // centiseconds before watching again

bool Alive(const SceneItem *o) { return o && (o->flags & SceneFlag::InUse) && o->sim; }

const ShipInfo *InfoOf(const SceneItem *o) { return Alive(o) ? o->sim->shipInfo : nullptr; }

// The first ship of the side showing above the threshold, round the list
// from the watcher.
SceneItem *Intruder(SceneItem *ship, int32_t side, float threshold) {
    SceneItem *head = dunSceneListHead();
    for (SceneItem *o = ship->next; o && o != ship; o = o->next) {
        if (o == head) continue;
        const ShipInfo *info = InfoOf(o);
        if (info && info->side == side && o->sim->signature > threshold) return o;
    }
    return nullptr;
}

void RaiseAlarm(SceneItem *ship, SceneItem *intruder) {
    const ShipInfo *own = InfoOf(ship);
    if (!own) return;
    uint8_t payload[4];
    dunPayloadPutU32(payload, 0, dunHandleOf(intruder));
    SceneItem *head = dunSceneListHead();
    for (SceneItem *o = head->next; o && o != head; o = o->next) {
        const ShipInfo *info = InfoOf(o);
        if (o != ship && info && info->side == own->side)
            dunMsgPost(ship->receiverId, o->receiverId, 0, MsgSetGoal, 4, payload);
    }
}

}  // namespace

StateCommand *dunai_Watch(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *locals, uint32_t p1,
                          uint32_t p2, uint32_t p3) {
    int32_t &counter = locals[1], &timer = locals[2];
    const float threshold = float(int32_t(p2));
    SceneItem *watched = dunItemFromHandle(uint32_t(locals[0]));
    if (!Alive(watched)) watched = nullptr;
    switch (step) {
    case 5:
        timer += dunFrameStep;
        if (timer > kAlarmRest) return dunai_Yield(c, 1);
        [[fallthrough]];
    case 0:
    case 1: {
        if (++counter < kSampleFrames) return dunai_Yield(c, 1);
        counter = 0;
        SceneItem *o = Intruder(ship, int32_t(p1), threshold);
        if (!o) return dunai_Yield(c, 1);
        locals[0] = int32_t(dunHandleOf(o));
        timer = 0;
        return dunai_Yield(c, 2);
    }
    case 2:
        if (!watched) return dunai_Yield(c, 1);
        if (watched->sim->signature <= threshold) return dunai_Yield(c, 3);
        timer += dunFrameStep;
        return dunai_Yield(c, timer < int32_t(p3) ? 2 : 4);
    case 3:
        if (!watched) return dunai_Yield(c, 1);
        if (watched->sim->signature > threshold) return dunai_Yield(c, 2);
        timer -= dunFrameStep;
        return dunai_Yield(c, timer < 0 ? 1 : 3);
    case 4:
        if (watched) RaiseAlarm(ship, watched);
        timer = 0;
        return dunai_Yield(c, 5);
    default: return dunai_Yield(c, 1, 0.0f);
    }
}
