// The AI states that keep company with a leader: the escort that holds a
// band round it (and follows it into the LDS drive), and the close escort
// that sits on its tail.
#include <cmath>

#include "RES/vecmath.h"
#include "ai/states.h"
#include "ai/steering.h"
#include "world/handle.h"
#include "world/lds.h"
#include "world/objlist.h"

namespace {

constexpr uint32_t kLdsFlight = 74;

bool Alive(const SceneItem *o) { return o && (o->flags & SceneFlag::InUse) && o->sim; }

}  // namespace

StateCommand *dunai_EscortState(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t w1,
                                uint32_t w2, uint32_t w3) {
    SceneItem *leader = dunItemFromHandle(w2);
    if (!Alive(leader)) leader = ship->sim->target;
    if (!Alive(leader) || !leader->avatar) return dunai_Finish(c, 0.0f);
    const Vec3d &p = leader->avatar->position, &at = ship->sim->position;
    const double r = std::sqrt((at.x - p.x) * (at.x - p.x) + (at.y - p.y) * (at.y - p.y) + (at.z - p.z) * (at.z - p.z));
    const int32_t band = int32_t(w1);
    const bool inBand = double(band / 2) < r && r < double(band);
    switch (step) {
    case 0:
    case 1: {
        Avatar *a = ship->avatar;
        const int32_t saved = a ? a->standoff : 0;
        if (a) a->standoff = band;
        const Vec3 &lead = leader->sim->velocity;
        dunai_SteerTowards(ship, dunai_FloatPoint(p), &lead, r >= 4.0 * double(band) ? nullptr : &lead,
                           dunai_HoldBandSpeedLimit);
        if (a) a->standoff = saved;
        if (!dunLdsApproachStep(ship, leader) && !(ship->sim->flags & SimFlag::Lds))
            return dunai_Yield(c, inBand ? 2 : 1);
        ship->sim->target = leader;
        return dunai_Yield(c, 3);
    }
    case 2:
        dunai_MatchVelocity(ship, leader->sim->velocity, dunai_ProfileOf(ship));
        if (leader->sim->flags & SimFlag::Lds) return dunai_Yield(c, 3);
        return dunai_Yield(c, inBand ? 2 : 1);
    case 3:
        if (w3 == 1) return dunai_Finish(c, 1.0f);
        if (!dunEnterLDS(ship)) return dunai_Yield(c, 1);
        return dunai_Push(c, kLdsFlight, 0, uint32_t(5 * band), 1, 4, 0);
    default: return dunai_Yield(c, 1);
    }
}

StateCommand *dunai_AggroEscortState(StateCommand *c, SceneItem *ship, int16_t, float, int32_t *, uint32_t w1,
                                     uint32_t w2, uint32_t) {
    if (SceneItem *o = dunItemFromHandle(w2); Alive(o)) ship->sim->goal = o;
    SceneItem *leader = ship->sim->goal;
    if (!Alive(leader)) return dunai_Yield(c, 1);
    const float d = w1 ? float(int32_t(w1)) : leader->sim->radius + 100000.0f;
    const Mat4 &m = leader->sim->matrix;
    const Vec3d &p = leader->sim->position, &at = ship->sim->position;
    const Vec3 aim = {float(p.x - double(m.m[8]) * d), float(p.y - double(m.m[9]) * d),
                      float(p.z - double(m.m[10]) * d)};
    const Vec3 towards = {float(p.x - at.x), float(p.y - at.y), float(p.z - at.z)};
    if (dunai_SteerTowards(ship, aim, nullptr, &towards, dunai_HoldBandSpeedLimit) > 0.9f) {
        Vec3 local;
        MatTransformPoint(local, towards, ship->sim->matrix);
        dunai_TurnRates(ship, local, dunai_ProfileOf(ship));
    }
    return dunai_Yield(c, 1);
}
