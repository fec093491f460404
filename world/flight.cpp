// The ship simulator, its turning step and the small simulators.
#include "world/flight.h"

#include <cmath>

#include "RES/util.h"
#include "RES/vecmath.h"
#include "core/frame.h"
#include "world/lds.h"
#include "world/objlist.h"
#include "world/objroutines.h"
#include "world/records.h"
#include "world/services.h"
#include "world/simplace.h"
#include "world/step.h"

namespace {

// A ship without a performance block flies as one with every figure 0.
const FlightParams &figures(const Sim *sim) {
    static const FlightParams none{};
    return sim->flight ? *sim->flight : none;
}

void addScaled(Vec3d &p, const Vec3 &v, double k) {
    p.x += v.x * k;
    p.y += v.y * k;
    p.z += v.z * k;
}

// The continuous engine sound follows the strain on the controlled ship:
// -5000 idle to 0 at full thrust and full stick.
void engineVolume(const Sim *s) {
    const float maximum = figures(s).p1;
    const double strain =
        maximum != 0.0f
            ? (std::fabs(s->thrust.x) / 2.0 + std::fabs(s->thrust.y) / 2.0 + std::fabs(s->thrust.z)) / maximum
            : 0.0;
    const double g = (std::fabs(dunStickX) + std::fabs(dunStickY) + std::fabs(dunTwist)) / 981.0;
    double v = (g * 0.3 + strain * 0.7) * 5000.0 + 5000.0;
    if (v > 10000.0) v = 10000.0;
    dunAmbienceVolume = int32_t(v) - 10000;
}

// Motion along the forward axis in the drive, blended with the ordinary
// velocity while the drive spins up or drops out.
void translate(Sim *s, const Mat4 &m, float dt) {
    const Vec3 lateral = dunMatRow(m, 0), vertical = dunMatRow(m, 1), forward = dunMatRow(m, 2);
    if (!(s->flags & SimFlag::Lds)) {
        s->velocity.x += (forward.x * s->thrust.z + vertical.x * s->thrust.y + lateral.x * s->thrust.x) * dt;
        s->velocity.y += (forward.y * s->thrust.z + vertical.y * s->thrust.y + lateral.y * s->thrust.x) * dt;
        s->velocity.z += (forward.z * s->thrust.z + vertical.z * s->thrust.y + lateral.z * s->thrust.x) * dt;
        addScaled(s->position, s->velocity, dt);
        return;
    }
    const int32_t ramp = s->ldsRamp;
    if (ramp == 0) {
        addScaled(s->position, forward, double(dt) * s->thrust.z);
        return;
    }
    double k = 0.0;
    if (ramp > 0 && ramp < 100)
        k = (100.0 - ramp) / 100.0;
    else if (ramp < 0 && ramp > -100)
        k = -ramp / 100.0;
    addScaled(s->position, forward, double(dt) * s->thrust.z * k);
    addScaled(s->position, s->velocity, double(dt) * (1.0 - k));
}

void thrusterDisplay(SceneItem *o) {
    Sim *s = o->sim;
    Avatar *a = o->avatar;
    const float maximum = figures(s).p1;
    uint32_t bits = a->thrusterFlags;
    float ratio = maximum != 0.0f ? s->thrust.z / maximum * 32.0f : 0.0f;
    if (!(ratio > 0.0f)) ratio = 0.0f;
    if (ratio > 1.0f) bits |= 0x400;
    bits &= ~0x800u;
    if (a->boostTimer > 0) {
        bits |= 0x800;
        a->boostTimer -= dunFrameStep;
        if (a->boostTimer < 0) a->boostTimer = 0;
    }
    const float t = maximum * 0.75f / 10.0f;
    if (s->thrust.x > t) bits |= 8;
    if (s->thrust.x < -t) bits |= 4;
    if (s->thrust.y > t) bits |= 2;
    if (s->thrust.y < -t) bits |= 1;
    a->thrusterFlags = bits;
}

}  // namespace

void dunFlyShip(SceneItem *o) {
    Sim *s = o->sim;
    if (!s) return;
    s->timeStamp = dunGameClock;
    if (s->flags & SimFlag::SpecialDrive) dunInterdictionPulse(o, 25000000.0f);
    dunLdsUpdate(o);
    if (o == dunControlledObject) engineVolume(s);

    Mat4 m = s->matrix;
    m.m[12] = m.m[13] = m.m[14] = 0.0f;
    if (o->avatar && (o->avatar->flags & AvatarFlag::Damaged) && s->hull < 45) dunDamagedShipTick(o);
    dunTurnShip(o, &m);

    const float dt = dunFrameSeconds;
    translate(s, m, dt);

    if (!(s->flags & SimFlag::Lds)) {
        s->speed = float(VecLength(s->velocity));
        s->approxSpeed = VecLengthApprox(s->thrust);
    } else {
        s->speed = s->approxSpeed = s->thrust.z;
    }
    if (!(s->flags & SimFlag::NoSpeedFloor) && s->approxSpeed < 500.0f) s->approxSpeed = 500.0f;
    if (o->avatar && (o->avatar->flags16 & AvatarState::DoubledSpeed)) s->approxSpeed = s->approxSpeed * 2.0f + 500.0f;

    if ((s->flags & SimFlag::Carried) && s->host && s->host->sim) {
        const Sim *h = s->host->sim;
        if (h->flags & SimFlag::Lds)
            addScaled(s->position, dunMatRow(h->matrix, 2), double(dt) * h->thrust.z);
        else
            addScaled(s->position, h->velocity, dt);
    }

    s->matrix = m;
    dunSyncFloatPosition(s);
    if (o->avatar) thrusterDisplay(o);
}

void dunTurnShip(SceneItem *o, Mat4 *m) {
    Sim *s = o->sim;
    const FlightParams &current = figures(s);
    const FlightParams &nominal = s->shipInfo ? s->shipInfo->nominal : current;
    const float dt = dunFrameSeconds;
    const float step = dt * 0.01f;
    const bool lds = (s->flags & SimFlag::Lds) != 0;
    // Axes are taken Z, Y, X; the figures hold the rates about Z, X, Y.
    struct Axis {
        int index;      // into the demands, remaining angles and turn rates (X, Y, Z)
        int figure;     // into the figures' turn rates
        uint32_t faster, slower;
    };
    static const Axis kAxes[3] = {{2, 0, 0x40, 0x80}, {1, 2, 0x10, 0x20}, {0, 1, 0x100, 0x200}};
    float *rates[3] = {&s->turnRates.x, &s->turnRates.y, &s->turnRates.z};
    float angle[3] = {0.0f, 0.0f, 0.0f};
    uint32_t display = 0x1000;
    for (const Axis &axis : kAxes) {
        float c = o->turnDemand[axis.index];
        const float a = o->turnRemaining[axis.index];
        const float maximum = current.turnRates[axis.figure];
        // The command never turns past the remaining angle.
        if (std::fabs(c * step * maximum) > std::fabs(a)) c = a / (step * maximum);
        const float target = c * 0.01f * maximum;
        float &rate = *rates[axis.index];
        if (lds) {
            rate = target;
        } else {
            const float d = target - rate;
            const float most = maximum * dt;
            if (std::fabs(d) >= most)
                rate += d > 0.0f ? most : -most;
            else
                rate = target;
            if (nominal.turnRates[axis.figure] * 0.7f < maximum) {
                if (d > 4.0f) display |= axis.faster;
                if (d < -4.0f) display |= axis.slower;
            }
        }
        angle[axis.index] = rate * dt;
    }
    MatRotateZ(angle[2], *m);
    MatRotateX(angle[0], *m);
    MatRotateY(angle[1], *m);
    if (!(s->flags & SimFlag::AiHold))
        for (int i = 0; i < 3; ++i) o->turnRemaining[i] -= angle[i];
    if (o->avatar) o->avatar->thrusterFlags = display;
}

void dunSimSyncPosition(SceneItem *o) {
    if (o->sim) dunSyncFloatPosition(o->sim);
}

void dunSimSpawnedNode(SceneItem *o) {
    Sim *s = o->sim;
    if (!s) return;
    s->timeStamp = dunGameClock;
    MatTransformPoint(s->bodyVelocity, s->velocity, s->matrix);
    const float dt = dunFrameSeconds;
    addScaled(s->position, s->velocity, dt);
    MatRotateY(dt * o->yawSpin, s->matrix);
    MatRotateX(dt * o->pitchSpin, s->matrix);
    dunSyncFloatPosition(s);
}

void dunSimRock(SceneItem *o) {
    dunSimSpawnedNode(o);
    if (!o->sim) return;
    MatRotateY(o->yawSpin, o->sim->matrix);
    MatRotateX(o->pitchSpin, o->sim->matrix);
}

void dunSimEcmFlare(SceneItem *o) {
    Sim *s = o->sim;
    Avatar *a = o->avatar;
    if (!s || !a) return;
    a->lifetime += uint32_t(dunFrameStep);
    s->radius += a->lifetime < 1500 ? dunFrameSeconds * 1000.0f : -dunFrameSeconds * 1000.0f;
    if (a->root) a->root->radius = s->radius;
    dunSimSpawnedNode(o);
    if (dunRand15() % 400 < dunFrameStep) dunCall(dunAi().flareDecoyMessage, o, a->partner);
}

void dunSimDrift(SceneItem *o) {
    Sim *s = o->sim;
    if (!s) return;
    s->matrix.m[12] += s->velocity.x * dunFrameSeconds;
    s->matrix.m[13] += s->velocity.y * dunFrameSeconds;
    s->matrix.m[14] += s->velocity.z * dunFrameSeconds;
}

void dunStopObject(SceneItem *o) {
    if (o && o->sim) o->sim->thrust = {0.0f, 0.0f, 0.0f};
}
