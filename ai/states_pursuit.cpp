// The AI states that close on an object and keep to a range of it: plain
// pursuit, reaching a range (by the LDS drive when far, inside a gravity
// field when the object is its body), circling a centre, holding a place in
// a formation, and the turret that points at its goal.
//
// The standoff law is the hold-band speed law with the ship's standoff
// distance set to the wanted range for the one call.
#include <algorithm>
#include <cmath>

#include "RES/util.h"
#include "RES/vecmath.h"
#include "ai/brain.h"
#include "ai/states.h"
#include "ai/steering.h"
#include "ai/weapons.h"
#include "core/frame.h"
#include "world/docking.h"
#include "world/handle.h"
#include "world/lds.h"
#include "world/objlist.h"
#include "world/objroutines.h"

namespace {

constexpr uint32_t kMoveToStopRelative = 11, kAchieveRange = 49, kAchieveFieldRange = 50, kLdsFlight = 74;
constexpr float kComputedRangeCeiling = 825105408.0f;
constexpr int32_t kPointAtInterval = 500;  // centiseconds
constexpr float kLoiterLead = 35000.0f;
constexpr int32_t kLoiterLap = 600;  // centiseconds between distance checks

StateCommand *UnknownStep(StateCommand *c) { return dunai_Yield(c, 1, 0.0f); }

bool Alive(const SceneItem *o) { return o && (o->flags & SceneFlag::InUse) && o->sim; }

SceneItem *Object(uint32_t handle) {
    SceneItem *o = dunItemFromHandle(handle);
    return Alive(o) ? o : nullptr;
}

SceneItem *TargetOf(const SceneItem *ship) { return Alive(ship->sim->target) ? ship->sim->target : nullptr; }

// A parameter naming an object in use makes it the target, on every entry:
// the runner only stands it in for a missing target.
void TakeTarget(SceneItem *ship, uint32_t handle) {
    if (SceneItem *o = Object(handle)) ship->sim->target = o;
}

// An object's place as its Avatar keeps it (the Sim's for one without).
Vec3d PlaceOf(const SceneItem *o) { return o->avatar ? o->avatar->position : o->sim->position; }

Vec3 FromTo(const Vec3d &a, const Vec3d &b) { return {float(b.x - a.x), float(b.y - a.y), float(b.z - a.z)}; }

float Length(Vec3 v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

// A float made a state word: truncated, NaN as 0, out of range clamped.
int32_t Truncate(float v) {
    if (!(v == v)) return 0;
    return int32_t(std::clamp(v, -2147483520.0f, 2147483520.0f));
}
uint32_t Word(float v) { return uint32_t(Truncate(v)); }

bool InLds(const SceneItem *o) { return o->sim->flags & SimFlag::Lds; }

// The ship is inside the gravity field of that body.
bool InFieldOf(const SceneItem *ship, const SceneItem *body) {
    return body && (ship->flags & SceneFlag::InGravityWell) && ship->sim->gravity.body == body;
}

bool GravityBody(const SceneItem *o) { return o->avatar && (o->avatar->flags16 & AvatarState::GravityBody); }

float Standoff(SceneItem *ship, Vec3 point, const Vec3 *velocity, const Vec3 *facing, int32_t range) {
    Avatar *a = ship->avatar;
    const int32_t saved = a ? a->standoff : 0;
    if (a) a->standoff = range;
    const float c = dunai_SteerTowards(ship, point, velocity, facing, dunai_HoldBandSpeedLimit);
    if (a) a->standoff = saved;
    return c;
}

float YawRate(const SceneItem *ship) { return dunai_Figures(dunai_ProfileOf(ship)).turnRates[2]; }

// The range a ship keeps from T when none is given: more for a big or
// slow-turning ship, sized by T's own target when T is a navigation marker.
int32_t ComputedRange(const SceneItem *ship, const SceneItem *t) {
    float b = t->sim->radius;
    if (t->avatar && (t->avatar->flags & (AvatarFlag::NavigationBody | AvatarFlag::NoMarker)) && Alive(t->sim->target))
        b = t->sim->target->sim->radius;
    const float r = (50000.0f + b) + (2.0f * ship->sim->radius + b) * 30.0f / (YawRate(ship) + 1.0f);
    return Truncate(std::min(r, kComputedRangeCeiling));
}

int32_t ComputedFieldRange(const SceneItem *ship, const SceneItem *t) {
    const float r = float(Truncate(2.0f * (ship->sim->radius + t->sim->radius) + 50000.0f));
    return Truncate(r * 30.0f / (YawRate(ship) + 1.0f));
}

}  // namespace

StateCommand *dunai_SimplePursuit(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t p1,
                                  uint32_t, uint32_t) {
    if (step > 1) return UnknownStep(c);
    SceneItem *t = TargetOf(ship);
    if (!t) return dunai_Finish(c, 0.0f);
    Standoff(ship, dunai_FloatPoint(PlaceOf(t)), &t->sim->velocity, nullptr, int32_t(p1));
    return dunai_Yield(c, 1, 1.0f);
}

StateCommand *dunai_AchieveRange(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *locals, uint32_t p1,
                                 uint32_t p2, uint32_t p3) {
    TakeTarget(ship, p2);
    SceneItem *t = TargetOf(ship);
    const int32_t range = p1 != 0 || !t ? int32_t(p1) : ComputedRange(ship, t);
    switch (step) {
    case 0:
    case 1:
        locals[0] = 0;
        if (t && dunLdsApproachStep(ship, t)) {
            if (p3 == 0) return dunai_Push(c, kLdsFlight, 0, uint32_t(range), 1, 2);
            return dunai_Finish(c, 1.0f);
        }
        if (InLds(ship)) {
            dunLeaveLDS(ship);
            return dunai_Yield(c, 1);
        }
        if (InFieldOf(ship, t)) return dunai_Yield(c, 4);
        [[fallthrough]];
    case 2: {
        // Bodies are not approached conventionally, unless marked so.
        if (t && GravityBody(t) && !(t->avatar->flags & AvatarFlag::LagrangeTurned)) return dunai_Finish(c, 1.0f);
        // Every eleventh frame the LDS question is asked again.
        if (locals[0]++ > 10) return dunai_Yield(c, 1);
        if (!t) return dunai_Finish(c, 0.0f);
        if (InFieldOf(ship, t)) return dunai_Yield(c, 4);
        const Vec3 rel = FromTo(ship->sim->position, PlaceOf(t));
        const float d = Length(rel);
        Standoff(ship, dunai_FloatPoint(PlaceOf(t)), &t->sim->velocity, d >= 8.0f * float(range) ? nullptr : &rel,
                 range);
        if (!(ship->sim->flags & SimFlag::CollisionCourse) && (d >= float(range) || d <= float(range / 2)))
            return dunai_Yield(c, 2);
        // Stop where the ship now stands relative to T.
        Vec3 back;
        MatTransformPoint(back, Vec3{-rel.x, -rel.y, -rel.z}, t->sim->matrix);
        return dunai_Push(c, kMoveToStopRelative, Word(back.x), Word(back.y), Word(back.z), 3);
    }
    case 3:
        if (ship->avatar) ship->avatar->approach = nullptr;
        return dunai_Finish(c, 1.0f);
    case 4: return dunai_Push(c, kAchieveFieldRange, uint32_t(range), p2, p3, 5);
    case 5: return dunai_Yield(c, 1);
    default: return UnknownStep(c);
    }
}

StateCommand *dunai_AchieveFieldRangeState(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *locals,
                                           uint32_t p1, uint32_t p2, uint32_t) {
    TakeTarget(ship, p2);
    SceneItem *t = TargetOf(ship);
    const int32_t range = p1 != 0 || !t ? int32_t(p1) : ComputedFieldRange(ship, t);
    switch (step) {
    case 0:
    case 1:
        locals[0] = 0;
        if (!InFieldOf(ship, t)) return dunai_Finish(c, 0.0f);
        [[fallthrough]];
    case 2: {
        if (locals[0]++ >= 11) return dunai_Yield(c, 1);
        if (!t) return dunai_Finish(c, 0.0f);
        const Vec3 at = dunai_FloatPoint(t->sim->position);
        Standoff(ship, at, nullptr, nullptr, range);
        if (Length(FromTo(ship->sim->position, t->sim->position)) >= float(range)) return dunai_Yield(c, 2);
        return dunai_Finish(c, 1.0f);
    }
    default: return UnknownStep(c);
    }
}

StateCommand *dunai_tst_HoldFormation(StateCommand *c, SceneItem *ship, int16_t, float, int32_t *, uint32_t p1,
                                      uint32_t p2, uint32_t p3) {
    SceneItem *t = TargetOf(ship);
    if (!t) return dunai_Finish(c, 0.0f);
    Vec3 offset;
    MatRotateVector(t->sim->matrix, Vec3{float(int32_t(p1)), float(int32_t(p2)), float(int32_t(p3))}, offset);
    const Vec3 p = dunai_FloatPoint(PlaceOf(t));
    dunai_SteerTowards(ship, {p.x + offset.x, p.y + offset.y, p.z + offset.z}, &t->sim->velocity, nullptr,
                       dunai_ApproachSpeedLimit);
    if (ship->avatar && ship->avatar->lifetimeCounter > 6)
        dunai_MatchOrientation(ship, t->sim->matrix, dunai_ProfileOf(ship));
    return dunai_Yield(c, 1);
}

StateCommand *dunai_PointAtState(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *locals, uint32_t p1,
                                 uint32_t p2, uint32_t) {
    if (step > 1) return UnknownStep(c);
    Sim *s = ship->sim;
    int32_t &timer = locals[0], &interval = locals[1];
    interval = p2 ? int32_t(p2) : kPointAtInterval;
    if (timer < 0) timer = 0;
    SceneItem *a = p1 ? Object(p1) : (Alive(s->goal) ? s->goal : nullptr);
    const FlightParams *profile = dunai_ProfileOf(ship);
    if (!a) {
        dunai_PickNearestTarget(ship);
    } else {
        Vec3 d;
        MatTransformPoint(d, FromTo(s->position, PlaceOf(a)), s->matrix);
        dunAimAndFireLocal(ship, d.x, d.y, d.z, a);
        VecNormalise(d);
        if (ship->simulator == dunUpdateDocking) {
            // A docked turret can only swing about its port.
            dunai_YawControl(ship, -dunai_AxisAngle(d.x, d.z), profile, 1.0f);
            s->flags |= SimFlag::TurnedThisFrame;
        } else {
            dunai_TurnRates(ship, d, profile);
        }
    }
    timer += dunFrameStep;
    if (interval > 0 && timer > interval) {
        dunai_PickNearestTarget(ship);
        timer = 0;
    }
    dunai_IdleFlight(ship);
    return dunai_Yield(c, 1);
}

StateCommand *dunai_Loiter(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *locals, uint32_t p1,
                           uint32_t p2, uint32_t) {
    Sim *s = ship->sim;
    int32_t &radius = locals[1], &lap = locals[2];
    switch (step) {
    case 0:
    case 1: {
        SceneItem *centre = p1 ? Object(p1) : TargetOf(ship);
        if (!centre) return dunai_Finish(c, 0.0f);
        locals[0] = int32_t(dunHandleOf(centre));
        [[fallthrough]];
    }
    case 2: {
        SceneItem *centre = Object(uint32_t(locals[0]));
        if (!centre) return dunai_Finish(c, 0.0f);
        radius = p2 ? int32_t(p2) : Truncate(2.0f * centre->sim->radius + s->radius + 100000.0f);
        return dunai_Yield(c, 3);
    }
    case 3: {
        SceneItem *centre = Object(uint32_t(locals[0]));
        if (!centre) return dunai_Finish(c, 0.0f);
        if (dunRand15() % 30 != 0) {
            if (Length(FromTo(s->position, PlaceOf(centre))) <= 4.0f * float(radius)) {
                lap = 0;
                return dunai_Yield(c, 4);
            }
            return dunai_Push(c, kAchieveRange, Word(2.0f * float(radius)), dunHandleOf(centre), 0, 4);
        }
        SceneItem *other = dunPickRandomTarget(ship, centre);
        if (!Alive(other) || other == centre) return dunai_Yield(c, 3);
        locals[0] = int32_t(dunHandleOf(other));
        return dunai_Yield(c, 2);
    }
    case 4: {
        SceneItem *centre = Object(uint32_t(locals[0]));
        if (!centre) return dunai_Finish(c, 0.0f);
        const Vec3 at = dunai_FloatPoint(PlaceOf(centre));
        Vec3 u = FromTo(s->position, PlaceOf(centre));
        VecNormalise(u);
        const Vec3 right = {s->matrix.m[0], s->matrix.m[1], s->matrix.m[2]};
        Vec3 n;
        VecCross(right, u, n);
        const float r = float(radius);
        const Vec3 q = {at.x - u.x * r + n.x * kLoiterLead, at.y - u.y * r + n.y * kLoiterLead,
                        at.z - u.z * r + n.z * kLoiterLead};
        const FlightParams *profile = dunai_ProfileOf(ship);
        Vec3 ul, nl;
        MatTransformPoint(ul, u, s->matrix);
        MatTransformPoint(nl, n, s->matrix);
        dunai_RollControl(ship, -dunai_AxisAngle(ul.x, ul.y), profile);
        dunai_PitchControl(ship, dunai_AxisAngle(nl.y, nl.z), profile, 1.0f);
        s->flags |= SimFlag::TurnedThisFrame;
        dunai_SteerTowards(ship, q, nullptr, &n, dunai_CruiseSpeedLimit);
        lap += dunFrameStep;
        return dunai_Yield(c, lap > kLoiterLap ? 3 : 4);
    }
    default: return UnknownStep(c);
    }
}
