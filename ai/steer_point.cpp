// Steering at points and velocities: the look-ahead point steering with its
// speed law, sliding, velocity matching, and the thrust demand they end in.
#include <algorithm>
#include <cmath>

#include "ai/steering.h"

float dunai_LastSteerDistance = 0.0f;

namespace {

Vec3 Add(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 Sub(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 Scale(Vec3 a, float k) { return {a.x * k, a.y * k, a.z * k}; }
float Length(Vec3 a) { return float(VecLength(a)); }
Vec3 Unit(Vec3 a) {
    VecNormalise(a);
    return a;
}
Vec3 Nose(const Sim *s) { return {s->matrix.m[8], s->matrix.m[9], s->matrix.m[10]}; }
Vec3 Local(const Sim *s, Vec3 world) {
    Vec3 out;
    return MatTransformPoint(out, world, s->matrix);
}
// The point relative to the ship now.
Vec3 Offset(const Sim *s, Vec3 point) {
    return {float(point.x - s->position.x), float(point.y - s->position.y), float(point.z - s->position.z)};
}
// max(0, 1 - (d - r0) / r0); a reference of 0 or less counts only arrival.
float Nearness(float d, float r0) {
    if (!(r0 > 0.0f)) return d <= 0.0f ? 1.0f : 0.0f;
    return std::max(0.0f, 1.0f - (d - r0) / r0);
}

}  // namespace

const FlightParams &dunai_Figures(const FlightParams *profile) {
    static const FlightParams none{};
    return profile ? *profile : none;
}

const FlightParams *dunai_ProfileOf(const SceneItem *ship) {
    return &dunai_Figures(ship && ship->sim ? ship->sim->flight : nullptr);
}

Vec3 dunai_ToLocalDirection(const Mat4 &orientation, Vec3 direction) {
    Vec3 out;
    MatTransformPoint(out, direction, orientation);
    VecNormalise(out);
    return out;
}

Vec3 dunai_PredictRelativePosition(const Vec3d &position, Vec3 velocity, Vec3 point, const Vec3 *pointVelocity,
                                   float t) {
    const Vec3 moved = pointVelocity ? *pointVelocity : Vec3{0.0f, 0.0f, 0.0f};
    return {float(double(point.x) + double(t) * moved.x - (position.x + double(t) * velocity.x)),
            float(double(point.y) + double(t) * moved.y - (position.y + double(t) * velocity.y)),
            float(double(point.z) + double(t) * moved.z - (position.z + double(t) * velocity.z))};
}

float dunai_EstimateTurnTime(const Mat4 &orientation, const FlightParams *profile, Vec3 velocity, Vec3 wanted) {
    const FlightParams &f = dunai_Figures(profile);
    const float roll = std::max(f.turnRates[0], 1.0f);
    const float pitch = std::max(f.turnRates[1], 1.0f);
    const float yaw = std::max(f.turnRates[2], 1.0f);
    Vec3 u = dunai_ToLocalDirection(orientation, Sub(wanted, velocity));
    if (u.z < 0.0f) u = Scale(u, -1.0f);
    const float e1 = -dunai_AxisAngle(u.x, u.z);
    const float e2 = dunai_AxisAngle(u.y, u.z);
    const float e3 = dunai_RollAngle(u.x, u.y);
    const float e4 = dunai_RollAngle(u.y, u.x);
    // Roll into the pitch plane and pitch, or into the yaw plane and yaw.
    return std::min(std::fabs(e2) / pitch + std::fabs(e3) / roll, std::fabs(e1) / yaw + std::fabs(e4) / roll);
}

float dunai_ApplyDeltaV(SceneItem *ship, Vec3 deltaV, const FlightParams *profile, Vec3 facing) {
    Sim *s = ship->sim;
    if (!s) return 1.0f;
    const float main = dunai_Figures(profile).p1;
    const float length = Length(deltaV);
    if (length > main) deltaV = Scale(deltaV, main / length);
    dunai_TurnRates(ship, Local(s, facing), profile);
    s->thrust = Local(s, deltaV);
    return 1.0f;
}

float dunai_ApplyDeltaVFacing(SceneItem *ship, Vec3 deltaV, const FlightParams *profile, Vec3 facing) {
    Sim *s = ship->sim;
    if (!s) return 1.0f;
    const FlightParams &f = dunai_Figures(profile);
    const float full = Length(deltaV);
    const float lateral = f.p2;
    Vec3 local = Local(s, full > lateral ? Scale(deltaV, lateral / full) : deltaV);
    // A change the lateral thrusters cannot make keeps its forward part, up
    // to the main drive (half of it backwards).
    if (full > lateral) {
        const float main = std::max(0.0f, f.p1);
        local.z = std::clamp(Local(s, deltaV).z, -main / 2.0f, main);
    }
    s->thrust = local;
    dunai_TurnRates(ship, dunai_ToLocalDirection(s->matrix, facing), profile);
    return 1.0f;
}

float dunai_MatchVelocity(SceneItem *ship, Vec3 velocity, const FlightParams *profile) {
    Sim *s = ship->sim;
    if (!s) return 0.0f;
    const Vec3 change = Sub(velocity, s->velocity);
    const float error = Length(change);
    const Vec3 facing = Length(velocity) > 0.1f ? velocity : Nose(s);
    dunai_ApplyDeltaV(ship, change, profile, facing);
    return std::max(0.0f, (2000.0f - error) / 2000.0f);
}

float dunai_SlideToVelocity(SceneItem *ship, Vec3 velocity, const FlightParams *profile, Vec3 facing) {
    Sim *s = ship->sim;
    if (!s) return 0.0f;
    const Vec3 change = Sub(velocity, s->velocity);
    const float error = Length(change);
    dunai_ApplyDeltaVFacing(ship, change, profile, facing);
    return std::max(0.0f, 1.0f - error / 3000.0f);
}

float dunai_SlideToPoint(SceneItem *ship, Vec3 point, Vec3 facing, const Vec3 *velocity, float r0) {
    Sim *s = ship->sim;
    if (!s) return 0.0f;
    const FlightParams *profile = dunai_ProfileOf(ship);
    const Vec3 offset = Offset(s, point);
    const float d = Length(offset);
    Vec3 wanted = Scale(Unit(offset), std::sqrt(std::max(0.0f, 2.0f * profile->p2 * d)));
    if (velocity) wanted = Add(wanted, *velocity);
    dunai_SlideToVelocity(ship, wanted, profile, facing);
    return Nearness(d, r0);
}

float dunai_SteerTowards(SceneItem *ship, Vec3 point, const Vec3 *velocity, const Vec3 *facing, SpeedLimitFn law) {
    Sim *s = ship->sim;
    if (!s) return 0.0f;
    const FlightParams *profile = dunai_ProfileOf(ship);
    const Vec3 rel1 = dunai_PredictRelativePosition(s->position, s->velocity, point, velocity, 0.25f);
    const float d1 = Length(rel1);
    dunai_LastSteerDistance = d1;

    // Far off, or chasing nothing that moves, the ship faces the point; close
    // to a moving one it flies along with it.
    Vec3 face = facing ? *facing : d1 >= 300000.0f || !velocity ? rel1 : *velocity;
    if (VecNormalise(face) == 0.0f) face = Nose(s);

    const float s1 = law ? law(ship, profile, d1) : dunai_DefaultSpeedLimit(ship, profile, d1);
    const Vec3 w1 = Scale(Unit(rel1), s1);
    const float t = dunai_EstimateTurnTime(s->matrix, profile, s->velocity, w1) + 0.25f;
    const Vec3 rel2 = dunai_PredictRelativePosition(s->position, s->velocity, point, velocity, t);
    const float d2 = Length(rel2);
    const float s2 = law ? law(ship, profile, d2) : profile->p8x100;
    Vec3 w2 = Scale(Unit(rel2), s2);
    if (velocity) w2 = Add(w2, *velocity);
    dunai_ApplyDeltaV(ship, Sub(w2, s->velocity), profile, face);
    return 1.0f - std::min(1.0f, d1 / 100000.0f);
}

float dunai_SteerToStopAt(SceneItem *ship, Vec3 point, const Vec3 *velocity, float r0) {
    Sim *s = ship->sim;
    if (!s) return 0.0f;
    const float d = Length(Offset(s, point));
    dunai_SteerTowards(ship, point, velocity, nullptr, dunai_StoppingSpeedLimit);
    return Nearness(d, r0);
}
