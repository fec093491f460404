// The AI states that keep a ship still, bring it to rest, hold a velocity
// or take it to a point and stop there.
//
// Conventions shared with the docking, LDS, pursuit and search states:
// steps 0 and 1 are one first entry (0 when an order put the state at the
// bottom, 1 when it was pushed); a step a state does not know yields at 1
// with result 0. "In LDS" is Sim flag 0x2. None of these states keeps
// anything in its locals: every decision is remade from the ship's records.
#include "RES/vecmath.h"
#include "ai/states.h"
#include "ai/steering.h"
#include "world/handle.h"
#include "world/lds.h"
#include "world/objlist.h"

namespace {

constexpr uint32_t kStateFullStop = 67, kStateLdsApproach = 71;
constexpr float kMoveToBack = 100000.0f;

bool InLds(const SceneItem *ship) { return ship->sim->flags & SimFlag::Lds; }

void ClearAutopilotOfControlled(SceneItem *ship) {
    if (ship == dunControlledObject) ship->sim->flags &= ~SimFlag::Autopilot;
}

StateCommand *UnknownStep(StateCommand *c) { return dunai_Yield(c, 1, 0.0f); }

SceneItem *TargetOf(const SceneItem *ship) {
    SceneItem *t = ship->sim->target;
    return t && (t->flags & SceneFlag::InUse) && t->sim ? t : nullptr;
}

float DistanceTo(const SceneItem *ship, const Vec3 &p) {
    const Vec3d &s = ship->sim->position;
    const double dx = p.x - s.x, dy = p.y - s.y, dz = p.z - s.z;
    return float(__builtin_sqrt(dx * dx + dy * dy + dz * dz));
}

Vec3 Offset(uint32_t p1, uint32_t p2, uint32_t p3) {
    return {float(int32_t(p1)), float(int32_t(p2)), float(int32_t(p3))};
}

// The goal point of the two relative move-to states: the target's position
// plus the offset, turned from the target's own axes (relative) or taken
// along the world axes.
Vec3 RelativePoint(const SceneItem *target, Vec3 offset, bool ownAxes) {
    Vec3 d = offset;
    if (ownAxes) MatRotateVector(target->sim->matrix, offset, d);
    const Vec3 p = dunai_FloatPoint(target->sim->position);
    return {p.x + d.x, p.y + d.y, p.z + d.z};
}

// The stop states' common steps 1, 2 and 4; step 3 holds (MaintainStop) or
// finishes (FullStop).
StateCommand *Stop(StateCommand *c, SceneItem *ship, int16_t step, bool hold) {
    switch (step) {
    case 0:
    case 1:
        if (InLds(ship)) return dunai_Yield(c, 4);
        [[fallthrough]];
    case 2:
        if (dunai_MatchVelocity(ship, {0, 0, 0}, dunai_ProfileOf(ship)) < 0.9f) return dunai_Yield(c, 2);
        [[fallthrough]];
    case 3:
        if (dunai_DampResidualMotion(ship) < 0.97f) return dunai_Yield(c, 2);
        return hold ? dunai_Yield(c, 3) : dunai_Finish(c, 1.0f);
    case 4:
        dunLeaveLDS(ship);
        return dunai_Yield(c, 1);
    default: return UnknownStep(c);
    }
}

StateCommand *MoveToRelative(StateCommand *c, SceneItem *ship, int16_t step, uint32_t p1, uint32_t p2, uint32_t p3,
                             bool ownAxes) {
    SceneItem *t = TargetOf(ship);
    if (!t) return UnknownStep(c);
    const Vec3 point = RelativePoint(t, Offset(p1, p2, p3), ownAxes);
    const Vec3 v = t->sim->velocity;
    switch (step) {
    case 0:
    case 1:
        return dunai_Yield(c, dunai_SteerToStopAt(ship, point, &v, 90000.0f) >= 0.6f ? 2 : 1);
    case 2:
        if (dunai_MatchVelocity(ship, v, dunai_ProfileOf(ship)) < 0.37f) return dunai_Yield(c, 2);
        if (DistanceTo(ship, point) > kMoveToBack) return dunai_Yield(c, 1);
        [[fallthrough]];
    case 3:
        if (ship->avatar) ship->avatar->approach = nullptr;
        return dunai_Finish(c, 1.0f);
    default: return UnknownStep(c);
    }
}

}  // namespace

StateCommand *dunai_Null(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t, uint32_t,
                         uint32_t) {
    ClearAutopilotOfControlled(ship);
    if (step > 1) return UnknownStep(c);
    dunai_MatchVelocity(ship, {0, 0, 0}, dunai_ProfileOf(ship));
    return dunai_Yield(c, 1, 1.0f);
}

StateCommand *dunai_DoNothingState(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t,
                                   uint32_t, uint32_t) {
    switch (step) {
    case 0: ClearAutopilotOfControlled(ship); [[fallthrough]];
    case 1: return dunai_Yield(c, InLds(ship) ? 4 : 2);
    case 2: return dunai_Push(c, kStateFullStop, 0, 0, 0, 3);
    case 3: return dunai_Yield(c, dunai_DampResidualMotion(ship) >= 0.97f ? 3 : 1);
    case 4: return dunai_Yield(c, InLds(ship) ? 4 : 1);
    default: return UnknownStep(c);
    }
}

StateCommand *dunai_DriftState(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t, uint32_t,
                               uint32_t) {
    if (step > 1) return UnknownStep(c);
    dunai_DecayThrust(ship);
    if (ship->avatar) ship->avatar->nearest = nullptr;
    return dunai_Yield(c, 1, 1.0f);
}

StateCommand *dunai_FullStop(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t, uint32_t,
                             uint32_t) {
    return Stop(c, ship, step, false);
}

StateCommand *dunai_MaintainStop(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t,
                                 uint32_t, uint32_t) {
    return Stop(c, ship, step, true);
}

StateCommand *dunai_FullStopRelative(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t,
                                     uint32_t, uint32_t) {
    SceneItem *t = TargetOf(ship);
    if (!t) return UnknownStep(c);
    switch (step) {
    case 0:
    case 1:
        if (dunai_MatchVelocity(ship, t->sim->velocity, dunai_ProfileOf(ship)) < 0.9f) return dunai_Yield(c, 1);
        [[fallthrough]];
    case 2:
        if (dunai_DampResidualMotionRelative(ship) < 0.97f) return dunai_Yield(c, 2);
        return dunai_Finish(c, 1.0f);
    default: return UnknownStep(c);
    }
}

StateCommand *dunai_MatchVelState(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t,
                                  uint32_t p2, uint32_t) {
    Sim *s = ship->sim;
    if (SceneItem *o = dunItemFromHandle(p2); o && (o->flags & SceneFlag::InUse) && o->sim) s->target = o;
    SceneItem *t = TargetOf(ship);
    if (ship->avatar) ship->avatar->approach = t;
    if (step > 1 || !t) return UnknownStep(c);
    s->flags |= SimFlag::PlayerInputAutopilot;
    const Vec3 &tv = t->sim->velocity, &ov = s->velocity;
    Vec3 dv;
    MatTransformPoint(dv, Vec3{tv.x - ov.x, tv.y - ov.y, tv.z - ov.z}, s->matrix);
    const float a = dunai_Figures(dunai_ProfileOf(ship)).p1, b = 0.75f * a;
    auto clamp = [](float v, float lim) { return v < -lim ? -lim : v > lim ? lim : v; };
    s->thrust = {clamp(dv.x, b), clamp(dv.y, b), clamp(dv.z, a)};
    return dunai_Yield(c, 1, 1.0f);
}

StateCommand *dunai_MoveToStop(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t p1,
                               uint32_t p2, uint32_t p3) {
    const Vec3 point = Offset(p1, p2, p3);
    const SceneItem *t = TargetOf(ship);
    const Vec3 *v = t ? &t->sim->velocity : nullptr;
    switch (step) {
    case 0:
    case 1:
        if (InLds(ship)) return dunai_Push(c, kStateLdsApproach, 0, 0, 1, 2);
        [[fallthrough]];
    case 2: return dunai_Yield(c, dunai_SteerToStopAt(ship, point, v, 9000.0f) >= 0.4f ? 3 : 2);
    case 3: {
        const Vec3 want = v ? *v : Vec3{0, 0, 0};
        if (dunai_MatchVelocity(ship, want, dunai_ProfileOf(ship)) < 0.97f) return dunai_Yield(c, 3);
        return dunai_Finish(c, 1.0f);
    }
    default: return UnknownStep(c);
    }
}

StateCommand *dunai_MoveToStopRelative(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t p1,
                                       uint32_t p2, uint32_t p3) {
    return MoveToRelative(c, ship, step, p1, p2, p3, true);
}

StateCommand *dunai_MoveToStopAlmostRelative(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *,
                                             uint32_t p1, uint32_t p2, uint32_t p3) {
    return MoveToRelative(c, ship, step, p1, p2, p3, false);
}

namespace {
StateCommand *FlyAlongZ(StateCommand *c, SceneItem *ship, int16_t step, float speed) {
    if (step > 1) return UnknownStep(c);
    ship->sim->velocity.z = speed;
    return dunai_Yield(c, 1, 1.0f);
}
}  // namespace

StateCommand *dunai_tst_FlyBackwards(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t,
                                     uint32_t, uint32_t) {
    return FlyAlongZ(c, ship, step, -8000.0f);
}

StateCommand *dunai_tst_FlyFowards(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t,
                                   uint32_t, uint32_t) {
    return FlyAlongZ(c, ship, step, 8000.0f);
}
