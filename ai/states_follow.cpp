// The AI states of a wingman: following its group's leader at a stand-off
// that grows with the two ships' size and shrinks with the wingman's turn
// rate, firing at what the leader fights, and asking the group for a new
// leader once the old one is gone. The player's wingmen follow the player
// the same way, with the player's attacker as what they fight.
#include <cmath>

#include "RES/util.h"
#include "RES/vecmath.h"
#include "ai/brain.h"
#include "ai/combat.h"
#include "ai/states.h"
#include "ai/steering.h"
#include "ai/weapons.h"
#include "core/frame.h"
#include "world/handle.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/simplace.h"

namespace {

constexpr int32_t kFollowCycle = 300;
constexpr float kLdsChaseDistance = 1e7f;
constexpr uint32_t kLdsFollowDistance = 500000;

bool InUse(const SceneItem *o) { return o && (o->flags & SceneFlag::InUse) && o->sim; }

Vec3 Between(const Vec3d &from, const Vec3d &to) {
    return {float(to.x - from.x), float(to.y - from.y), float(to.z - from.z)};
}

SceneItem *AttackerOverride(const SceneItem *ship, SceneItem *chosen) {
    const Avatar *a = ship->avatar;
    if (a && a->attacker && a->attacker != chosen && a->attackCount > 0 && InUse(a->attacker)) return a->attacker;
    return chosen;
}

// The distance a follower keeps from its leader, kept in the Avatar where
// the speed laws read it.
int32_t Standoff(SceneItem *ship, const SceneItem *leader) {
    const float yaw = dunai_Figures(dunai_ProfileOf(ship)).turnRates[2];
    const float s = 30.0f / (yaw + 1.0f) * (2.0f * (ship->sim->radius + leader->sim->radius) + 50000.0f);
    const float clamped = std::isfinite(s) ? std::fmin(std::fmax(s, -2.0e9f), 2.0e9f) : 0.0f;
    const int32_t stored = int32_t(std::lround(clamped));
    if (ship->avatar) ship->avatar->standoff = stored;
    return stored;
}

// What both followers share once they know their leader L, what they fight
// G and their stand-off S: steps 2 and 3.
struct Follow {
    SceneItem *ship, *leader, *goal;
    float standoff;
    Vec3 follow;

    StateCommand *Close(StateCommand *c, int32_t *L) const {
        const double d = VecLengthDouble(ship->sim->position, leader->sim->position);
        if (d < double(standoff)) return dunai_Yield(c, 3);
        dunai_SteerTowards(ship, dunai_FloatPoint(leader->sim->position), &leader->sim->velocity, &follow,
                           dunai_StandoffSpeedLimit);
        if (goal) Fire();
        L[0] += dunFrameStep;
        return dunai_Yield(c, L[0] > kFollowCycle ? 1 : 2);
    }
    StateCommand *Keep(StateCommand *c, int32_t *L) const {
        const double d = VecLengthDouble(ship->sim->position, leader->sim->position);
        if (d > 1.5 * double(standoff)) return dunai_Yield(c, 2);
        if (goal) {
            const Vec3 local = dunai_ShipFramePoint(ship, Between(ship->sim->position, goal->sim->position));
            dunai_TurnRates(ship, local, dunai_ProfileOf(ship));
            Fire();
        }
        dunai_MatchVelocity(ship, leader->sim->velocity, dunai_ProfileOf(ship));
        L[0] += dunFrameStep;
        return dunai_Yield(c, L[0] > kFollowCycle ? 1 : 3);
    }
    void Fire() const {
        const Vec3 local = dunai_ShipFramePoint(ship, Between(ship->sim->position, goal->sim->position));
        dunAimAndFireLocal(ship, local.x, local.y, local.z, goal);
    }

    static double VecLengthDouble(const Vec3d &a, const Vec3d &b) {
        const double x = b.x - a.x, y = b.y - a.y, z = b.z - a.z;
        return std::sqrt(x * x + y * y + z * z);
    }
};

Vec3 FollowVector(const SceneItem *ship, const SceneItem *goal, const SceneItem *leader) {
    if (!goal) return dunMatRow(leader->sim->matrix, 2);
    Vec3 v = Between(ship->sim->position, goal->sim->position);
    VecNormalise(v);
    return v;
}

// Tells the first member of the ship's group (the ship itself when there is
// no other) that the group has lost its leader.
void AskForLeader(SceneItem *ship, bool skipDamaged) {
    const ShipInfo *own = ship->sim->shipInfo;
    SceneItem *head = dunSceneListHead(), *member = nullptr;
    for (SceneItem *o = head->next; o && o != head && !member; o = o->next) {
        if (skipDamaged && o->avatar && (o->avatar->flags & AvatarFlag::Damaged)) continue;
        const ShipInfo *info = o->sim ? o->sim->shipInfo : nullptr;
        if (info && own && info->group == own->group) member = o;
    }
    if (!member) member = ship;
    dunMsgPost(ship->receiverId, member->receiverId, 0, MsgFixedAttack, 0, nullptr);
}

}  // namespace

StateCommand *dunai_CombatFollower(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *L, uint32_t,
                                   uint32_t, uint32_t) {
    ShipInfo *info = ship->sim->shipInfo;
    SceneItem *leader = info ? info->leader : nullptr;
    if (!leader && step != 4) return dunai_Yield(c, 4);
    if (leader && (leader == dunPlayerShip || leader == dunControlledObject))
        return dunai_Push(c, kStatePlayerFollower, 0, 0, 0, uint16_t(step));
    Sim *s = ship->sim;
    SceneItem *goal = AttackerOverride(ship, InUse(s->goal) ? s->goal : nullptr);
    if (!InUse(goal)) goal = nullptr;
    switch (step) {
    case 0:
    case 1:
        L[0] = 0;
        if (!InUse(leader) || (leader->avatar && (leader->avatar->flags & AvatarFlag::Damaged))) {
            // Step 4 takes the group's flag from the leader it drops here:
            // a damaged leader that kept it would leave the group with a
            // holder nobody follows, and the group could never choose again.
            L[1] = int32_t(dunHandleOf(leader));
            info->leader = nullptr;
            return dunai_Yield(c, 4);
        }
        if (leader->sim->flags & SimFlag::Lds)
            return dunai_Push(c, kStateLdsFlight, dunHandleOf(leader), kLdsFollowDistance, 1, 1);
        if (dunRand15() % 5 == 3 && InUse(leader->sim->goal)) s->goal = leader->sim->goal;
        return dunai_Yield(c, goal ? 2 : 5);
    case 2:
    case 3: {
        if (!InUse(leader)) return dunai_Yield(c, 4);
        const int32_t stored = ship->avatar ? ship->avatar->standoff : 0;
        const float standoff = float(stored ? stored : Standoff(ship, leader));
        const Follow f{ship, leader, goal, standoff, FollowVector(ship, goal, leader)};
        return step == 2 ? f.Close(c, L) : f.Keep(c, L);
    }
    case 4: {
        SceneItem *lost = leader ? leader : dunItemFromHandle(uint32_t(L[1]));
        if (ShipInfo *li = lost && lost->sim ? lost->sim->shipInfo : nullptr) li->flags &= ~ShipFlag::GroupHolder;
        L[1] = 0;
        AskForLeader(ship, true);
        return dunai_Yield(c, 1);
    }
    case 5:
        if ((dunRand15() & 1) && InUse(leader) && InUse(leader->sim->goal)) s->goal = leader->sim->goal;
        else dunai_PickBestTarget(ship);
        return dunai_Yield(c, 2);
    default: return dunai_Yield(c, 1, 0.0f);
    }
}

StateCommand *dunai_FollowPlayerState(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *L, uint32_t,
                                      uint32_t, uint32_t) {
    ShipInfo *info = ship->sim->shipInfo;
    SceneItem *leader = info ? info->leader : nullptr;
    if (!leader && step != 4) return dunai_Yield(c, 4);
    Sim *s = ship->sim;
    SceneItem *goal = nullptr;
    if (InUse(leader) && leader->avatar && leader->avatar->attackCount >= 1 && InUse(leader->avatar->attacker))
        goal = s->goal = leader->avatar->attacker;
    goal = AttackerOverride(ship, goal);
    if (!InUse(goal)) goal = nullptr;
    const float standoff = InUse(leader) ? float(Standoff(ship, leader)) : 0.0f;
    switch (step) {
    case 0:
    case 1:
        L[0] = 0;
        if (!InUse(leader) || !(leader->sim->flags & SimFlag::InUse)) return dunai_Yield(c, 4);
        if ((leader->sim->flags & SimFlag::Lds) ||
            VecLengthApprox(Between(s->position, leader->sim->position)) > kLdsChaseDistance)
            return dunai_Push(c, kStateLdsFlight, dunHandleOf(leader), kLdsFollowDistance, 1, 1);
        return dunai_Yield(c, 2);
    case 2:
    case 3: {
        if (!InUse(leader)) return dunai_Yield(c, 4);
        const Follow f{ship, leader, goal, standoff, FollowVector(ship, goal, leader)};
        return step == 2 ? f.Close(c, L) : f.Keep(c, L);
    }
    case 4:
        // Where no member of the group is left the wingman asks itself, as
        // the combat follower does, rather than ending the game.
        AskForLeader(ship, false);
        return dunai_Yield(c, 1);
    default: return dunai_Yield(c, 1, 0.0f);
    }
}
