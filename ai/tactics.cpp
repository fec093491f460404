// Target choice and attack tactics: a ship's condition from its damage, how
// much it wants a candidate target, and which combat state it takes up
// against its target.
#include <cmath>

#include "RES/util.h"
#include "ai/brain.h"
#include "ai/combat.h"
#include "ai/states.h"
#include "world/objlist.h"
#include "world/simplace.h"

namespace {

struct Factor {
    uint32_t bits;
    float factor;
};

constexpr Factor kConditionFactors[] = {
    {0x1, 0.85f}, {0x2, 0.82f}, {0x4, 0.86f},  {0x8, 0.96f},   {0x10, 0.96f}, {0x20, 0.95f},
    {0x40, 0.95f}, {0x80, 0.7f}, {0x100, 0.7f}, {0x200, 0.5f}, {0x400, 0.75f},
};

constexpr Factor kScoreFactors[] = {
    {0x8000, 2.0f},   {0x10000, 0.7f}, {0x20000, 0.5f}, {0x40000, 0.5f}, {0x80000, 2.0f},
    {0x100000, 0.5f}, {0x200000, 0.1f}, {0x8, 0.9f},     {0x1, 0.1f},     {0x2000, 0.4f},
};

struct SideMasks {
    uint32_t own, hostile;
};
constexpr SideMasks kTacticSides[7] = {{0xC0, 0x700}, {0x80, 0x700},  {0x100, 0x680}, {0x300, 0},
                                       {0x400, 0x180}, {0x800, 0x80}, {0x1000, 0x80}};
constexpr SideMasks kOtherSide = {0x1FC0, 0x1FC0};

constexpr double kNeighbourhood = 2.5e7;

const ShipInfo *ShipOf(const SceneItem *o) { return o && o->sim ? o->sim->shipInfo : nullptr; }

float ConditionOf(const ShipInfo *info) {
    return dunTargetCondition(0, info->damage.maximum, info->damage.damage, info->damage.mask);
}

uint32_t TopState(const ShipInfo *info) {
    const int top = info->stateTop >= 0 && info->stateTop < kStateFrames ? info->stateTop : 0;
    return info->states[top].state;
}

double ApproxDistance(const SceneItem *a, const SceneItem *b) {
    const Vec3d &p = a->sim->position, &q = b->sim->position;
    return VecLengthApproxDouble({q.x - p.x, q.y - p.y, q.z - p.z});
}

}  // namespace

int32_t dunDamagePercent(const ShipDamage &block) {
    if (block.maximum <= 0) return 0;
    return int32_t(int64_t(block.damage) * 100 / block.maximum);
}

float dunTargetCondition(int32_t, int32_t maximum, int32_t taken, uint32_t mask) {
    // A launched craft has a ship record with no maximum: it counts as whole.
    float c = maximum > 0 ? 1.0f - float(taken) / float(maximum) : 1.0f;
    for (const Factor &f : kConditionFactors)
        if (mask & f.bits) c *= f.factor;
    return c;
}

double dunScoreTarget(SceneItem *ship, SceneItem *candidate, uint32_t preferred) {
    const ShipInfo *theirs = ShipOf(candidate);
    if (!ship || !ship->sim || !theirs || !candidate->avatar) return 0.0;
    const ShipInfo *mine = ShipOf(ship);
    const double c = ConditionOf(theirs);
    const double k = mine && mine->side == 2 ? -1.0 : 1.0;
    double s = (1.0 - c) * k + 1.0;
    if (s < 0.25) s = 0.25;
    const uint32_t f = candidate->avatar->flags;
    for (const Factor &row : kScoreFactors)
        if (f & row.bits) s *= row.factor;
    if (f & preferred) s *= 2.0;
    if (f & (1u << 27)) s *= 0.5;
    const Avatar *own = ship->avatar;
    if (own && own->attacker) {
        if (own->attacker == candidate && own->attackCount > 0)
            s *= 3.0;
        else if (candidate == dunPlayerShip)
            s *= 0.85;
    }
    if (ship->sim->flags & 0x1400) {
        double ratio = ship->sim->radius > 0.0f ? candidate->sim->radius / ship->sim->radius : 5.0;
        ratio = ratio < 1.0 ? 1.0 : ratio > 5.0 ? 5.0 : ratio;
        s *= ratio;
    }
    const double d = ApproxDistance(ship, candidate);
    const double L = std::log10(d) - 5.0;
    if (L > 1.0) s *= 1.0 / L;
    return s;
}

int32_t dunChooseAttackTactic(SceneItem *ship, SceneItem **holder) {
    if (!ship || !ship->sim || !ship->avatar) return -1;
    Sim *s = ship->sim;
    ShipInfo *mine = s->shipInfo;
    ship->avatar->flags &= ~AvatarFlag::Fleeing;
    SceneItem *t = holder ? *holder : s->goal;
    if (!holder) s->target = s->goal;

    const int side = mine ? mine->side : -1;
    const SideMasks masks = side >= 0 && side < 7 ? kTacticSides[side] : kOtherSide;
    int32_t friends = 0, enemies = 0;
    SceneItem *head = dunSceneListHead();
    for (SceneItem *o = head->next; o && o != head; o = o->next) {
        if (!ShipOf(o) || !o->avatar || o == ship) continue;
        if (ObjectDistance(ship, o, nullptr) >= kNeighbourhood) continue;
        if (o->avatar->flags & masks.own) ++friends;
        if (o->avatar->flags & masks.hostile) ++enemies;
    }
    if (friends < 1) friends = 1;
    if (enemies < 1) enemies = 1;

    const uint32_t attitude = s->flags & SimFlag::CombatStance;
    if (attitude == 0) return mine ? int32_t(TopState(mine)) : -1;
    if (attitude == 0x1000) return kStateEscFlee;
    const ShipInfo *theirs = ShipOf(t);
    if (!theirs || !mine) return -1;

    const double ratio = t->sim->radius > 0.0f ? s->radius / t->sim->radius : 1.0;
    const float own = ConditionOf(mine), their = ConditionOf(theirs);
    int weapons = 0;
    for (const Weapon *w = s->weapons; w; w = w->next)
        if (!(w->flags & WeaponFlag::Damaged)) ++weapons;
    const FlightParams &perf = mine->current;
    if (weapons == 0) return (perf.p1 > 1.0f || perf.p4 > 1u) ? kStateEscFlee : -1;

    const bool cautious = attitude == 0x400 || attitude == 0x800 || attitude == 0xC00;
    const float odds = their > 0.0f ? own / their : INFINITY;
    if (cautious && (odds < 0.66f || enemies / friends > 3)) {
        const uint16_t mask = mine->damage.mask;
        if ((!(mask & (DamageBit::SubTargetA | DamageBit::SubTargetB)) && odds >= 0.4f) || (mask & DamageBit::Drive)) {
            const int subTargets = (mine->subTargets[0] != nullptr) + (mine->subTargets[1] != nullptr);
            return subTargets < 2 ? kStateEscFlee : kStateLDADeffTwo;
        }
        ship->avatar->flags |= AvatarFlag::Fleeing;
        return kStateEscFlee;
    }

    if (attitude == 0x400 || attitude == 0x1400) {
        const double d = ApproxDistance(ship, t);
        if ((d > 400000.0 && d > 10.0 * s->radius) || (t->sim->flags & SimFlag::Lds)) {
            SceneItem *chosen = t;
            if ((dunRand15() % 3 == 1 && attitude != 0x1400) || (t->avatar && (t->avatar->flags & 0xC000000))) {
                dunai_PickBestTarget(ship);
                if (!s->goal)
                    s->goal = t;
                else
                    chosen = s->goal;
            }
            if (chosen == t) return kStateCombatAchieveRange;
        }
    }

    const float agility = std::fabs(perf.turnRates[1]) + std::fabs(perf.turnRates[0]);
    if (agility < 10.0f) return kStateUnmovingGuard;
    if (agility < 25.0f && weapons >= 5) return kStateUnmovingGuard;
    if (friends / enemies >= 3 && ratio > 0.8) return kStateFaceAttack;
    const float theirThrust = theirs->current.p1;
    if (perf.p1 > 0.0f && theirThrust / perf.p1 > 1.5f && ratio > 1.0) return kStateFaceAttack;
    return kStateTailBiting;
}
