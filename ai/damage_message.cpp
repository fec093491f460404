// The damage message one object sends another when it strikes it: where it
// struck (half way between them), how fast and how heavy it came, the two
// damage terms, and who struck, if it is named.
#include "ai/combat.h"
#include "world/handle.h"
#include "world/msghandler.h"
#include "world/records.h"

namespace {

constexpr uint32_t kHitDelay = 4;

bool Send(SceneItem *sender, SceneItem *receiver, int32_t secondTerm, int32_t damage, bool named) {
    if (!sender || !receiver || !sender->sim || !receiver->avatar) return false;
    const Sim *s = sender->sim;
    const Vec3d &at = receiver->avatar->position;
    DamageRecord r = {};
    r.point = {float((double(s->matrix.m[12]) - at.x) / 2), float((double(s->matrix.m[13]) - at.y) / 2),
               float((double(s->matrix.m[14]) - at.z) / 2)};
    r.velocity = s->velocity;
    r.damage = damage;
    r.secondTerm = secondTerm;
    r.mass = s->mass;
    r.attacker = named ? dunHandleOf(sender) : kNoHandle;
    return dunPostDamageRecord(sender->receiverId, receiver->receiverId, kHitDelay, MsgHit, &r);
}

}  // namespace

bool dunSendRelativePosition(SceneItem *sender, SceneItem *receiver, int32_t secondTerm, int32_t damage) {
    return Send(sender, receiver, secondTerm, damage, true);
}

bool dunSendRelativePosition2(SceneItem *sender, SceneItem *receiver, int32_t secondTerm, int32_t damage) {
    return Send(sender, receiver, secondTerm, damage, false);
}
