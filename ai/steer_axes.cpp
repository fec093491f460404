// The angle measures and the per-axis turn controllers, and the routines that
// turn a ship towards a direction or an orientation with them.
#include <algorithm>
#include <cmath>

#include "ai/steering.h"

namespace {

constexpr float kRadToDeg = 57.29578f;

// asin in degrees of a component that rounding may have put a hair past 1.
float AsinDegrees(float a) { return std::asin(std::clamp(a, -1.0f, 1.0f)) * kRadToDeg; }

bool Turned(const SceneItem *ship) { return (ship->sim->flags & SimFlag::TurnedThisFrame) != 0; }

// Axis indices of the demands and angle errors (about X, Y, Z).
constexpr int kPitch = 0, kYaw = 1, kRoll = 2;

// The demand moves half-way to full deflection towards the angle's sign; the
// angle is kept as the axis's error, which the flight step does not turn past.
float &Deflect(SceneItem *ship, int axis, float angle) {
    ship->turnRemaining[axis] = angle;
    float &demand = ship->turnDemand[axis];
    demand = angle >= 0.0f ? (demand + 100.0f) / 2.0f : (demand - 100.0f) / 2.0f;
    return demand;
}

// Inside 30 degrees the demand falls off linearly to 0.
void FallOff(float &demand, float angle) {
    const float a = std::fabs(angle);
    if (a < 30.0f) demand *= a / 30.0f;
}

float Off(float angle) { return 1.0f - std::fabs(angle) / 90.0f; }

float PitchOrYaw(SceneItem *ship, int axis, float angle, float scale) {
    if (!ship->sim || Turned(ship)) return 0.0f;
    const float q = Off(angle) * Off(angle) * scale;
    float &demand = Deflect(ship, axis, angle);
    demand *= scale * scale;
    FallOff(demand, angle);
    return q;
}

// Row r of the 3x3 part.
Vec3 Row(const Mat4 &m, int r) { return {m.m[4 * r], m.m[4 * r + 1], m.m[4 * r + 2]}; }

}  // namespace

void dunai_Normalise2(float &a, float &b) {
    const float length = std::sqrt(a * a + b * b);
    if (length > 0.0f) {
        a /= length;
        b /= length;
    }
}

float dunai_AxisAngleNoDeadZone(float a, float b) {
    a = std::min(a, 1.0f);
    dunai_Normalise2(a, b);
    if (b <= 0.0f) return a < 0.0f ? 90.0f : -90.0f;
    return -AsinDegrees(a);
}

float dunai_AxisAngle(float a, float b) {
    if (std::fabs(std::min(a, 1.0f)) < 0.07f && b > -0.05f) return 0.0f;
    return dunai_AxisAngleNoDeadZone(a, b);
}

float dunai_RollAngle(float a, float b) {
    a = std::min(a, 1.0f);
    if (std::fabs(a) < 0.05f && std::fabs(b) < 0.05f) return 0.0f;
    dunai_Normalise2(a, b);
    return AsinDegrees(a);
}

float dunai_PitchControl(SceneItem *ship, float angle, const FlightParams *, float scale) {
    return PitchOrYaw(ship, kPitch, angle, scale);
}

float dunai_YawControl(SceneItem *ship, float angle, const FlightParams *, float scale) {
    return PitchOrYaw(ship, kYaw, angle, scale);
}

float dunai_RollControl(SceneItem *ship, float angle, const FlightParams *) {
    if (!ship->sim || Turned(ship)) return 0.0f;
    const float q = Off(angle) * Off(angle) * Off(angle);
    FallOff(Deflect(ship, kRoll, angle), angle);
    return q;
}

void dunai_ClearTurnDemands(SceneItem *ship) {
    for (int i = 0; i < 3; ++i) ship->turnDemand[i] = ship->turnRemaining[i] = 0.0f;
}

float dunai_TurnRates(SceneItem *ship, Vec3 d, const FlightParams *profile) {
    if (!ship->sim || Turned(ship)) return 0.0f;
    VecNormalise(d);
    float yaw = -dunai_AxisAngle(d.x, d.z);
    const float pitch = dunai_AxisAngle(d.y, d.z);
    float roll = dunai_RollAngle(d.x, d.y);
    if (pitch > 0.0f) roll = -roll;
    // Far off the nose the ship rolls the direction into its pitch plane;
    // near it, it yaws.
    const float w = d.z < 0.7f ? 1.0f : d.z < 0.85f ? (0.85f - d.z) / 0.15f : 0.0f;
    roll *= w;
    yaw *= 1.0f - w;
    float s;
    if (w < 0.5f) {
        s = dunai_YawControl(ship, yaw, profile, 1.0f);
        dunai_RollControl(ship, roll, profile);
    } else {
        dunai_YawControl(ship, yaw, profile, 1.0f);
        s = dunai_RollControl(ship, roll, profile);
    }
    const float q = dunai_PitchControl(ship, pitch, profile, s);
    ship->sim->flags |= SimFlag::TurnedThisFrame;
    return q;
}

float dunai_SteerAlongVector(SceneItem *ship, Vec3 d, const FlightParams *profile) {
    const float pitch = dunai_AxisAngleNoDeadZone(d.y, d.z);
    const float yaw = -dunai_AxisAngleNoDeadZone(d.x, d.z);
    const float s = dunai_YawControl(ship, yaw, profile, 1.0f);
    return dunai_PitchControl(ship, pitch, profile, s);
}

float dunai_RollYawToward(SceneItem *ship, Vec3 d, const FlightParams *profile) {
    VecNormalise(d);
    const float yaw = -dunai_AxisAngle(d.x, d.z);
    const float roll = dunai_RollAngle(d.y, d.x);
    float q = dunai_RollControl(ship, roll, profile);
    if (std::fabs(roll) < 10.0f) q = dunai_YawControl(ship, yaw, profile, q);
    return q;
}

float dunai_MatchOrientation(SceneItem *ship, const Mat4 &m, const FlightParams *profile) {
    if (!ship->sim) return 0.0f;
    // The wanted axes in the ship's own: rows of m x the transposed
    // orientation.
    Vec3 nose, up;
    MatTransformPoint(nose, Row(m, 2), ship->sim->matrix);
    MatTransformPoint(up, Row(m, 1), ship->sim->matrix);
    if (dunai_RollYawToward(ship, nose, profile) < 0.98f) return 0.0f;
    const float q = dunai_RollControl(ship, -dunai_AxisAngle(up.x, up.y), profile);
    ship->turnDemand[kPitch] = ship->turnDemand[kYaw] = 0.0f;
    return q;
}

float dunai_AlignToMatrix(SceneItem *ship, const Mat4 &m) {
    float a = m.m[2], b = m.m[0];
    dunai_Normalise2(a, b);
    const float e1 = dunai_AxisAngle(a, b);
    ship->turnRemaining[kYaw] = e1;
    ship->turnDemand[kYaw] = e1 < 0.0f ? -100.0f : 100.0f;
    const float s1 = Off(e1);

    a = m.m[1], b = m.m[0];
    dunai_Normalise2(a, b);
    const float e2 = dunai_AxisAngle(a, b);
    ship->turnRemaining[kRoll] = e2;
    ship->turnDemand[kRoll] = (e2 < 0.0f ? -100.0f : 100.0f) * s1;
    const float s2 = Off(e2) * s1;

    a = m.m[9], b = m.m[10];
    dunai_Normalise2(a, b);
    const float e3 = dunai_AxisAngle(a, b);
    ship->turnRemaining[kPitch] = e3;
    ship->turnDemand[kPitch] = (e3 < 0.0f ? -100.0f : 100.0f) * s2;
    return Off(e3) * s2;
}
