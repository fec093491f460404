// Bringing the last of a ship's motion to rest, the fallback braking step and
// the thrust's decay.
#include <algorithm>

#include "ai/steering.h"
#include "core/frame.h"

namespace {

// Below these a stopped ship's drift and thrust are taken to be nothing.
constexpr float kRestSpeed = 1000.0f;
constexpr float kRestThrust = 300.0f;

float DampThrust(Sim *s) {
    if (VecLength(s->thrust) >= kRestThrust) return 0.0f;
    s->thrust = {0.0f, 0.0f, 0.0f};
    return 0.5f;
}

}  // namespace

float dunai_DampResidualMotion(SceneItem *ship) {
    Sim *s = ship->sim;
    if (!s) return 0.0f;
    float r = 0.0f;
    if (VecLength(s->velocity) < kRestSpeed) {
        s->velocity = {0.0f, 0.0f, 0.0f};
        r += 0.5f;
    }
    return r + DampThrust(s);
}

float dunai_DampResidualMotionRelative(SceneItem *ship) {
    Sim *s = ship->sim;
    if (!s) return 0.0f;
    const SceneItem *t = s->target;
    const Vec3 other = t && t->sim ? t->sim->velocity : Vec3{0.0f, 0.0f, 0.0f};
    const Vec3 relative = {s->velocity.x - other.x, s->velocity.y - other.y, s->velocity.z - other.z};
    float r = 0.0f;
    if (VecLength(relative) < kRestSpeed) {
        s->velocity = other;
        r += 0.5f;
    }
    return r + DampThrust(s);
}

float dunai_IdleFlight(SceneItem *ship) {
    Sim *s = ship ? ship->sim : nullptr;
    if (!s) return 0.0f;
    const float a = std::max(0.0f, dunai_ProfileOf(ship)->p1), b = 0.75f * a;
    MatTransformPoint(s->bodyVelocity, s->velocity, s->matrix);
    const Vec3 &local = s->bodyVelocity;
    if (!(s->flags & SimFlag::Lds) && (ship->flags & SceneFlag::InGravityWell) && s->gravity.body) {
        // A ship in a gravity well holds the velocity the well gives it. The
        // world keeps no such velocity, so the ship holds its own: no thrust.
        const Vec3 hold = s->velocity;
        Vec3 change = {hold.x - s->velocity.x, hold.y - s->velocity.y, hold.z - s->velocity.z};
        MatTransformPoint(change, change, s->matrix);
        s->thrust = {std::clamp(change.x, -a, a), std::clamp(change.y, -a, a), std::clamp(change.z, -a, a)};
        return 0.0f;
    }
    s->thrust = {-std::clamp(local.x, -b, b), -std::clamp(local.y, -b, b), std::clamp(-local.z, -a, a)};
    return 0.0f;
}

void dunai_DecayThrust(SceneItem *ship) {
    Sim *s = ship->sim;
    if (!s) return;
    const float t = dunFrameSeconds;
    s->thrust = {s->thrust.x - s->thrust.x * t, s->thrust.y - s->thrust.y * t, s->thrust.z - s->thrust.z * t};
}
