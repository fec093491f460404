#include "world/lds.h"

#include <cmath>

#include "RES/vecmath.h"
#include "core/frame.h"
#include "platform/sound.h"
#include "world/contact.h"
#include "world/docking.h"
#include "world/objlist.h"
#include "world/records.h"
#include "world/services.h"
#include "world/simplace.h"

float dunLdsLevel = 5.0f;
float dunLdsTargetLevel = 5.0f;
uint8_t dunLdsView = 0;
uint8_t dunLdsOff = 0;
float dunBodyWorldScale = 2.0f;

namespace {

constexpr float kLdsFloor = 100000.0f;

const char *shipName(const SceneItem *item) {
    return item->sim && item->sim->shipInfo ? item->sim->shipInfo->name : nullptr;
}

// The growth factor b of a block, or 0 when the laws cannot use it.
double growth(const FlightParams *f) {
    if (!f || !dunLdsGrowthUsable(f->p3)) return 0.0;
    return f->p3 / 100.0;
}

Vec3 forwardAxis(const Sim *s) { return {s->matrix.m[8], s->matrix.m[9], s->matrix.m[10]}; }

void playForControlled(const SceneItem *item, int sound) {
    if (item == dunControlledObject) SoundPlay(sound, 0, 0, 0, 0);
}

// The level shown for a speed: its base-10 logarithm, at least 5.
float level(float speed) { return float(std::log10(speed > kLdsFloor ? double(speed) : double(kLdsFloor))); }

}  // namespace

bool dunLdsGrowthUsable(uint32_t percent) { return percent != 0 && percent != 100; }

uint8_t dunEnterLDS(SceneItem *o) {
    Sim *s = o->sim;
    if (!s || (s->flags & SimFlag::LdsBlocked)) return 0;
    if (s->flags & SimFlag::Lds) return 0xFF;
    if (!s->flight || s->flight->p4 == 0) return 0;
    s->ldsRamp = int32_t(s->flight->p300);
    s->flags |= SimFlag::Lds;
    s->thrust.x = s->thrust.y = 0.0f;
    s->thrust.z = kLdsFloor;
    s->ldsTarget = 1e10f;
    dunCall(dunHud().missionLogAdd, o, nullptr, 9, shipName(o), nullptr);
    dunCall(dunPresent().eventCamera, o, nullptr, 8);
    playForControlled(o, 31);
    return 0xFF;
}

uint8_t dunLeaveLDS(SceneItem *o) {
    Sim *s = o->sim;
    if (!s || !(s->flags & SimFlag::Lds)) return 0xFF;
    s->thrust = {0.0f, 0.0f, 0.0f};
    s->ldsTarget = 0.0f;
    s->flags &= ~SimFlag::Lds;
    s->ldsRamp = 0;
    if (!(o->flags & SceneFlag::InGravityWell)) s->velocity = {0.0f, 0.0f, 0.0f};
    dunCall(dunHud().missionLogAdd, o, nullptr, 10, shipName(o), nullptr);
    dunCall(dunPresent().eventCamera, o, nullptr, 9);
    playForControlled(o, 33);
    if (o == dunPlayerShip) dunTimeScale = 1.0f;
    return 0xFF;
}

void dunLdsUpdate(SceneItem *o) {
    Sim *s = o->sim;
    if (!s || !(s->flags & SimFlag::Lds)) return;
    const bool player = o == dunPlayerShip;
    if (player) {
        dunLdsLevel = level(s->thrust.z);
        dunLdsTargetLevel = level(s->ldsTarget);
        const bool autopilot =
            dunControlledObject && dunControlledObject->sim && (dunControlledObject->sim->flags & SimFlag::Autopilot);
        if (dunLdsLevel <= 5.5f || !autopilot) {
            dunTimeScale = 1.0f;
        } else {
            float k = dunLdsTargetLevel - dunLdsLevel;
            if (k <= 1.0f) k = 1.0f;
            if (k >= 4.0f) k = 4.0f;
            dunTimeScale = (dunLdsLevel - 5.5f) * k + 1.0f;
        }
        dunLdsView = 0xFF;
    }
    if (s->ldsRamp > 0) {
        s->ldsRamp -= dunFrameStep;
        if (s->ldsRamp < 0) s->ldsRamp = 0;
    } else if (s->ldsRamp < 0) {
        s->ldsRamp += dunFrameStep;
        if (s->ldsRamp >= 0) {
            s->ldsRamp = 0;
            s->thrust.z = 0.0f;
            s->flags &= ~SimFlag::Lds;
            s->ldsTarget = 0.0f;
            dunCall(dunPresent().spawnLdsTrail, o);
            if (s->target && s->target->sim) s->velocity = s->target->sim->velocity;
        }
        if (player) dunTimeScale = 1.0f;
    } else if (s->flags & SimFlag::LdsBlocked) {
        s->ldsRamp = -100;
        if (player) {
            SoundPlay(33, 0, 0, 0, 0);
            dunTimeScale = 1.0f;
        }
    } else {
        float speed = s->thrust.z < 0.0f ? 0.0f : s->thrust.z;
        float delta = s->ldsTarget - speed;
        // Growth is limited; a lower target is taken at once.
        const float most = dunLdsRate(speed, s->flight) * dunFrameSeconds;
        if (delta > most) delta = most;
        speed += delta;
        const float maximum = s->flight ? float(s->flight->p4) : 0.0f;
        if (speed > maximum) speed = maximum;
        if (speed < kLdsFloor) speed = kLdsFloor;
        s->thrust.z = speed;
    }
}

float dunLdsGear(float speed, const FlightParams *f) {
    const double b = growth(f);
    if (b == 0.0) return 0.0f;
    return float(std::log(speed / 100000.0) / std::log(b));
}

float dunLdsRate(float speed, const FlightParams *f) {
    const double b = growth(f);
    if (b == 0.0) return 0.0f;
    return float(speed * std::log(b));
}

float dunLdsSpeedFactor(float speed, const FlightParams *f) {
    const double b = growth(f);
    if (b == 0.0) return 0.0f;
    return float(speed / (b - 1.0));
}

float dunLdsClampSpeed(float distance, const FlightParams *f) {
    const double b = f ? f->p3 / 100.0 : 0.0;
    const double speed = (b - 1.0) * distance;
    return speed > kLdsFloor ? float(speed) : kLdsFloor;
}

uint8_t dunLdsApproachStep(SceneItem *o, SceneItem *t) {
    Sim *s = o->sim;
    if (!s || !t || !t->sim || dunLdsOff || (s->flags & SimFlag::LdsBlocked) || !s->flight || s->flight->p4 == 0)
        return 0;
    const Vec3 d = {float(t->avatar->position.x - o->avatar->position.x),
                    float(t->avatar->position.y - o->avatar->position.y),
                    float(t->avatar->position.z - o->avatar->position.z)};
    const Sim *ts = t->sim;
    if (ts->flags & SimFlag::Lds) {
        const Vec3 f = forwardAxis(ts);
        const Vec3 motion = {f.x * ts->thrust.z, f.y * ts->thrust.z, f.z * ts->thrust.z};
        if (VecDot(d, motion) > 0.0) return 0xFF;
    }
    // A ship that cannot turn never finishes its turn: no drive.
    const double turnRates = double(s->flight->turnRates[2]) + s->flight->turnRates[0];
    if (!(turnRates > 0.0)) return 0;
    const double turnTime = 360.0 / turnRates;
    double remaining = VecLength(d) - turnTime * 120000.0;
    if (remaining < 0.0) remaining = 0.0;
    if (t->avatar && (t->avatar->flags16 & AvatarState::GravityBody) && remaining <= ts->radius) return 0;
    if (remaining / s->flight->p8x100 > 130.0 || remaining - ts->radius > 5e6) return 0xFF;
    if (!(o->flags & SceneFlag::InGravityWell)) {
        const Vec3 w = {s->velocity.x - ts->velocity.x, s->velocity.y - ts->velocity.y, s->velocity.z - ts->velocity.z};
        if (VecLength(w) > 120000.0 && remaining > 200000.0 && VecDot(w, d) < 0.0) return 0xFF;
    }
    return 0;
}

void dunLdsSteer(SceneItem *o) {
    Sim *s = o->sim;
    SceneItem *n = o->avatar ? o->avatar->nearest : nullptr;
    if (!s || !n || !n->sim || !(n->flags & SceneFlag::InUse)) return;
    Sim *ns = n->sim;
    SceneItem *second = o->avatar->sidePartner;
    if (n == second || n->simulator == dunUpdateDocking) return;
    const double massRatio = double(s->mass) / ns->mass;
    if (!(massRatio <= 3.0)) return;
    if ((s->flags & 0x1400u) == 0x1400u && n == s->goal &&
        !((o->flags & SceneFlag::Vital) || massRatio <= 2.0))
        return;

    const Vec3 op = dunFloatPosition(s), np = dunFloatPosition(ns);
    Vec3 d = {np.x - op.x, np.y - op.y, np.z - op.z};
    const float distance = VecNormalise(d);
    if (s->flags & SimFlag::Lds) {
        float overlap = (s->radius + ns->radius) * 10.0f - distance;
        if (overlap <= 0.0f) return;
        overlap *= 0.2f;
        if (overlap > 100000.0f) overlap = 100000.0f;
        const double move = double(dunFrameSeconds) * 0.2 * overlap;
        s->position.x -= d.x * move;
        s->position.y -= d.y * move;
        s->position.z -= d.z * move;
        dunSyncFloatPosition(s);
        return;
    }
    Vec3 w = {s->velocity.x - ns->velocity.x, s->velocity.y - ns->velocity.y, s->velocity.z - ns->velocity.z};
    const float closing = VecNormalise(w);
    const float radii = s->radius + ns->radius;
    const float c = float(VecDot(d, w));
    const float limit = c >= 0.0f ? (2.0f * c + 2.0f) * radii : 2.0f * radii;
    float q = distance / limit;
    if (closing == 0.0f || q > 1.0f) return;
    if (second && second->sim && (second->flags & SceneFlag::InUse)) {
        const Vec3 sp = dunFloatPosition(second->sim);
        Vec3 toSecond = {sp.x - op.x, sp.y - op.y, sp.z - op.z};
        const float secondDistance = VecNormalise(toSecond);
        const float cosine = float(VecDot(d, toSecond));
        if (secondDistance < distance && cosine > 0.0f && cosine > q) q = cosine;
    }
    const float q2 = q >= 0.5f ? (q - 0.5f) * 2.0f : 0.0f;
    const float maximum = s->flight ? s->flight->p1 : 0.0f;
    float thrust = (1.0f - q2) * maximum * 2.0f;
    SceneItem *target = s->target;
    const bool aimedAt = n == target || (target && target->avatar && target->sim &&
                                         (target->avatar->flags & 0xC00000) && n == target->sim->target);
    if ((n->flags & SceneFlag::RecordsNearest) && aimedAt && VecLength(s->velocity) <= c * thrust)
        s->flags |= SimFlag::CollisionCourse;
    Vec3 away = {w.x - d.x, w.y - d.y, w.z - d.z};
    if (VecLength(away) < 0.05) away = {-d.x, -d.y, -d.z};
    Vec3 local;
    MatTransformPoint(local, away, s->matrix);
    if (thrust > maximum) thrust = maximum;
    Vec3 previous = s->thrust;
    s->thrust = {local.x * thrust, local.y * thrust, local.z * thrust};
    if (thrust < maximum) {
        const float previousLength = VecNormalise(previous);
        const float keep = previousLength < maximum - thrust ? previousLength : maximum - thrust;
        s->thrust.x += previous.x * keep;
        s->thrust.y += previous.y * keep;
        s->thrust.z += previous.z * keep;
    }
}

void dunFindGravityWell(SceneItem *o) {
    if (!o || !o->sim) return;
    SceneItem *head = dunSceneListHead();
    for (SceneItem *b = head->next; b && b != head; b = b->next) {
        if (!b->avatar || !b->sim || !(b->avatar->flags16 & AvatarState::GravityBody) ||
            b->avatar->contactHandler != dunContactGravityBody)
            continue;
        Vec3 toBody = {float(b->sim->position.x - o->sim->position.x), float(b->sim->position.y - o->sim->position.y),
                       float(b->sim->position.z - o->sim->position.z)};
        const float distance = float(VecLength(toBody));
        const float half = b->sim->radius / dunBodyWorldScale;
        if (!(half > distance)) continue;
        VecNormalise(toBody);
        o->sim->gravity.body = b;
        o->sim->gravity.direction = toBody;
        o->sim->gravity.depth = distance - half;
        o->flags |= SceneFlag::InGravityWell;
        return;
    }
}

void dunLdsStub(SceneItem *, Vec3 *, int) {}

void dunEmptyRoutine(SceneItem *) {}
