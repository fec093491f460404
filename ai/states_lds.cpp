// The AI states that fly the LDS drive: into the drive, a leg towards a
// target with the cruise speed set so the ship arrives without overshooting,
// trailing a target that cruises itself, and the straight cruise.
//
// In the drive the thrust demand's forward component carries the current
// LDS speed and the Sim's LDS target is the speed demand; the world's drive
// model accelerates the ship towards it.
#include <algorithm>
#include <cmath>

#include "RES/vecmath.h"
#include "ai/states.h"
#include "ai/steering.h"
#include "world/handle.h"
#include "world/lds.h"
#include "world/objlist.h"

namespace {

constexpr uint32_t kAchieveRange = 49, kEscortState = 51, kEscFlee = 61, kLdsApproach = 71, kLdsEscort = 73,
                   kLdsFlight = 74;
constexpr float kLdsFloor = 100000.0f;
constexpr float kEscortMinimum = 1000000.0f;

StateCommand *UnknownStep(StateCommand *c) { return dunai_Yield(c, 1, 0.0f); }

bool Alive(const SceneItem *o) { return o && (o->flags & SceneFlag::InUse) && o->sim; }

bool InLds(const SceneItem *o) { return o->sim->flags & SimFlag::Lds; }

bool Inhibited(const SceneItem *o) { return o->sim->flags & SimFlag::LdsBlocked; }

bool GravityBody(const SceneItem *o) { return o->avatar && (o->avatar->flags16 & AvatarState::GravityBody); }

// A parameter naming an object in use becomes the ship's target.
void TakeTarget(SceneItem *ship, uint32_t handle) {
    if (SceneItem *o = dunItemFromHandle(handle); Alive(o)) ship->sim->target = o;
}

SceneItem *TargetOf(const SceneItem *ship) {
    SceneItem *t = ship->sim->target;
    return Alive(t) ? t : nullptr;
}

Vec3 Between(const SceneItem *from, const SceneItem *to) {
    const Vec3d &p = from->sim->position, &q = to->sim->position;
    return {float(q.x - p.x), float(q.y - p.y), float(q.z - p.z)};
}

Vec3 Nose(const SceneItem *o) { return {o->sim->matrix.m[8], o->sim->matrix.m[9], o->sim->matrix.m[10]}; }

float Dot(const Vec3 &a, const Vec3 &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// A world direction in the ship's axes, made unit (a zero one stays zero).
Vec3 LocalUnit(const SceneItem *ship, Vec3 world) {
    Vec3 local;
    MatTransformPoint(local, world, ship->sim->matrix);
    VecNormalise(local);
    return local;
}

float Steer(SceneItem *ship, Vec3 local) { return dunai_SteerAlongVector(ship, local, dunai_ProfileOf(ship)); }

void StartDrive(SceneItem *ship) {
    Sim *s = ship->sim;
    s->ldsRamp = int32_t(dunai_Figures(dunai_ProfileOf(ship)).p300);
    s->flags |= SimFlag::Lds;
}

}  // namespace

StateCommand *dunai_LDSToNavTarget(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t p1,
                                   uint32_t, uint32_t p3) {
    TakeTarget(ship, p1);
    switch (step) {
    case 0:
    case 1: StartDrive(ship); return dunai_Push(c, kLdsFlight, 0, 0, p3, 2);
    case 2: return dunai_Finish(c, 0.0f);
    default: return UnknownStep(c);
    }
}

StateCommand *dunai_LDSFlight(StateCommand *c, SceneItem *ship, int16_t step, float last, int32_t *, uint32_t p1,
                              uint32_t p2, uint32_t p3) {
    TakeTarget(ship, p1);
    SceneItem *t = TargetOf(ship);
    if (!t) return UnknownStep(c);
    switch (step) {
    case 0:
    case 1:
        if (!dunEnterLDS(ship)) return dunai_Yield(c, 4);
        [[fallthrough]];
    case 2:
        if (InLds(t)) return dunai_Push(c, kLdsEscort, p2, 0, p3, 3);
        return dunai_Push(c, kLdsApproach, 0, 0, p3, 3);
    case 3:
        if (GravityBody(t)) return dunai_Finish(c, 1.0f);
        if (dunLdsApproachStep(ship, t)) return dunai_Yield(c, 1);
        dunLeaveLDS(ship);
        return dunai_Finish(c, last);
    case 4:
        if (p3 == 0 && dunLdsApproachStep(ship, t)) return dunai_Push(c, kAchieveRange, p2, p1, 0, 5);
        return dunai_Finish(c, 0.0f);
    case 5: return dunai_Yield(c, 1);
    default: return UnknownStep(c);
    }
}

StateCommand *dunai_LDSApproach(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *locals, uint32_t,
                                uint32_t, uint32_t) {
    SceneItem *t = TargetOf(ship);
    if (!t) return UnknownStep(c);
    Sim *s = ship->sim;
    const FlightParams &f = dunai_Figures(dunai_ProfileOf(ship));
    // Seconds for a full turn; a ship that cannot turn counts its rates as 1.
    const float k = 360.0f / std::max(1.0f, f.turnRates[2] + f.turnRates[0]);
    const bool body = GravityBody(t);
    const float R = body ? t->sim->radius : 5.0f * t->sim->radius;
    const Vec3 rel = Between(ship, t);
    const Vec3 u = LocalUnit(ship, rel);
    const float closing = Dot(t->sim->velocity, Nose(ship));
    switch (step) {
    case 0:
    case 1:
        if (Inhibited(ship)) return dunai_Finish(c, 0.0f);
        [[fallthrough]];
    case 2: {
        s->ldsTarget = kLdsFloor;
        const float a = Steer(ship, u);
        if (Inhibited(ship)) return dunai_Finish(c, 0.0f);
        if (!dunLdsApproachStep(ship, t)) return dunai_Yield(c, 3);
        return dunai_Yield(c, a < 0.98f ? 2 : 3);
    }
    case 3: {
        float dist = std::sqrt(Dot(rel, rel));
        if (body) dist = std::max(0.0f, dist - R);
        const bool braking = s->thrust.z >= 120000.0f && dist < 0.95f * (s->ldsTarget * k + R);
        Steer(ship, u);
        const float n = std::max(dist / k, kLdsFloor) + closing;
        // Braking never raises the demand.
        if (!braking || n < s->ldsTarget) s->ldsTarget = Inhibited(ship) ? 0.0f : n;
        if (dist < kLdsFloor * k + R) {
            if (!InLds(t)) dunLeaveLDS(ship);
            if (t->sim->shipInfo) {
                s->velocity = t->sim->velocity;
                s->ldsTarget = kLdsFloor;
            }
            return dunai_Finish(c, 1.0f);
        }
        if (locals[0]++ < 15) return dunai_Yield(c, 3);
        [[fallthrough]];
    }
    case 4:
        if (InLds(t) || Inhibited(ship)) return dunai_Finish(c, 0.0f);
        locals[0] = 0;
        return dunai_Yield(c, 3);
    default: return UnknownStep(c);
    }
}

StateCommand *dunai_LDSEscort(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *locals, uint32_t p1,
                              uint32_t, uint32_t p3) {
    SceneItem *t = TargetOf(ship);
    if (!t) return UnknownStep(c);
    Sim *s = ship->sim;
    const float d = std::max(kEscortMinimum, float(int32_t(p1)));
    switch (step) {
    case 0:
    case 1:
        if (!InLds(t)) return dunai_Finish(c, 1.0f);
        locals[0] = 0;
        [[fallthrough]];
    case 2: {
        if (!InLds(ship)) return dunai_Yield(c, 3);
        const Vec3 rel = Between(ship, t);
        Vec3 a;
        MatTransformPoint(a, rel, t->sim->matrix);
        const Vec3 b = LocalUnit(ship, rel);
        const float dist = std::sqrt(Dot(rel, rel));
        const float excess = std::max(dist - d, 0.0f);
        const float theirs = t->sim->thrust.z;
        if (a.z <= d) {
            s->ldsTarget = a.z / 2 + theirs - d;
        } else {
            const float law =
                std::max(0.0f, (b.z + 2) * dunLdsClampSpeed(excess, dunai_ProfileOf(ship)) / 3.8f - kLdsFloor);
            s->ldsTarget = (Inhibited(ship) ? 0.0f : law) + Dot(Nose(ship), Nose(t)) * theirs;
        }
        if (excess <= d || a.z <= 0) Steer(ship, LocalUnit(ship, Nose(t)));
        else Steer(ship, b);
        return dunai_Yield(c, locals[0]++ < 11 ? 2 : 1);
    }
    case 3: {
        if (p3 != 0) return dunai_Finish(c, 0.0f);
        const uint32_t standoff = uint32_t(int32_t(3.0f * (s->radius + t->sim->radius)));
        return dunai_Push(c, kEscortState, standoff, dunHandleOf(t), 1, 4);
    }
    case 4: return dunai_Yield(c, 0);
    default: return UnknownStep(c);
    }
}

StateCommand *dunai_EnterLDS(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t, uint32_t,
                             uint32_t) {
    if (step <= 1) {
        StartDrive(ship);
        ship->sim->thrust = {0.0f, 0.0f, kLdsFloor};
        ship->sim->ldsTarget = 1e10f;
    }
    return dunai_Yield(c, 2);
}

StateCommand *dunai_StraightLDS(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t p1, uint32_t,
                                uint32_t p3) {
    TakeTarget(ship, p1);
    switch (step) {
    case 0:
    case 1:
        if (!dunEnterLDS(ship)) return dunai_Yield(c, 3);
        [[fallthrough]];
    case 2:
        if (!InLds(ship)) return dunai_Yield(c, 3);
        ship->sim->ldsTarget = float(dunai_Figures(dunai_ProfileOf(ship)).p4);
        return dunai_Yield(c, 2);
    case 3:
        if (p3 != 0) return dunai_Finish(c, 0.0f);
        return dunai_Push(c, kEscFlee, 0, 0, 2, 4);
    case 4: return dunai_Yield(c, 1);
    default: return UnknownStep(c);
    }
}
