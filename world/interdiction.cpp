// Rounds that interdict the LDS drive, their pulses, and the jolt of a
// forced drop-out.
#include <cmath>

#include "RES/util.h"
#include "RES/vecmath.h"
#include "core/frame.h"
#include "world/handle.h"
#include "world/lds.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/objroutines.h"
#include "world/records.h"
#include "world/services.h"
#include "world/simplace.h"
#include "world/sound_place.h"

namespace {

void clearDrive(Sim *s) {
    s->flags &= ~SimFlag::Lds;
    s->thrust.z = 0.0f;
    s->ldsTarget = 0.0f;
    s->ldsRamp = 0;
    s->velocity = {0.0f, 0.0f, 0.0f};
}

// The goal's drive is cut where the round meets it.
void interdictGoal(SceneItem *round, SceneItem *goal) {
    Sim *g = goal->sim;
    if (g->flags & SimFlag::Lds) {
        int32_t volume = -10000, pan = 0;
        SoundPositionFromCamera(goal, &volume, &pan);
        SoundPlayVaried(43, volume, 0, pan, 0, 2000);
        dunCall(dunPresent().spawnSparks, goal, 255, 255, 255, 64, 64, 255);
        if (goal == dunControlledObject) {
            dunCall(dunPresent().viewShake, 300, 270);
            dunCall(dunPresent().setFlashBrightness, 250);
        } else {
            dunDropLds(goal);
        }
        clearDrive(g);
    }
    dunMsgPost(round->receiverId, goal->receiverId, 0, MsgLdsDropOut, 0, nullptr);
}

}  // namespace

void dunControlLdsInterdictor(SceneItem *round) {
    Sim *s = round->sim;
    if (!s || s->fuel >= 1) return;
    SceneItem *goal = s->goal && (s->goal->flags & SceneFlag::InUse) && s->goal->sim ? s->goal : nullptr;
    if (goal) {
        Sim *g = goal->sim;
        const bool goalLds = g->flags & SimFlag::Lds;
        const float range = goalLds ? 1500000.0f : 1000000.0f;
        Vec3 direction = {float(g->position.x - s->position.x), float(g->position.y - s->position.y),
                          float(g->position.z - s->position.z)};
        float distance = VecNormalise(direction);
        float demand = dunLdsClampSpeed(distance, s->flight) * (direction.z + 2.0f) / 3.8f - 100000.0f;
        if (demand < 0.0f) demand = 0.0f;
        const float dot = s->matrix.m[8] * g->matrix.m[8] + s->matrix.m[9] * g->matrix.m[9] +
                          s->matrix.m[10] * g->matrix.m[10];
        if (goalLds) {
            int32_t &remembered = round->avatar->channelValues[0];
            if (remembered == 0) remembered = int32_t(distance);
            if (distance > 1200000.0f) {
                remembered = int32_t(float(remembered) * (1.0f - dunFrameSeconds));
                float jump = distance - float(remembered);
                if (jump < 0.0f) jump = 0.0f;
                s->position = {s->position.x + direction.x * jump, s->position.y + direction.y * jump,
                               s->position.z + direction.z * jump};
                dunSyncFloatPosition(s);
                distance -= jump;
                remembered = int32_t(distance);
            }
            demand = dot <= 0.0f ? 100000.0f : demand + dot * g->thrust.z;
        } else {
            demand += dot * g->velocity.z;
        }
        s->demandSpeed = demand;
        dunCall(dunAi().steerAlongVector, round, direction, s->flight);
        if (distance > range) return;
        interdictGoal(round, goal);
    }
    clearDrive(s);
    round->avatar->pulseRadius = 3500000;
    round->control = dunInterdictorFade;
    DamageRecord record = {};
    dunPostDamageRecord(round->receiverId, round->receiverId, 4000, MsgDestroyed, &record);
    if (round->avatar->objectA && round->avatar->objectA == dunPlayerShip)
        dunCall(dunScript().createWaypoint, s->position.x, s->position.y, s->position.z, int(round->systemNumber),
                "LDSI Detonation");
}

void dunInterdictorFade(SceneItem *round) { dunInterdictionPulse(round, float(round->avatar->pulseRadius)); }

void dunInterdictionPulse(SceneItem *item, float radius) {
    Avatar *a = item->avatar;
    if (!a || !item->sim) return;
    a->pulseClock += dunFrameStep;
    if (a->pulseClock < 200) return;
    a->pulseClock = 0;
    SceneItem *head = dunSceneListHead();
    for (SceneItem *it = head->next; it && it != head; it = it->next) {
        // The pulse does not stop its own source, nor objects that cannot fly.
        if (it == item || !it->sim) continue;
        const Vec3d d = {it->sim->position.x - item->sim->position.x, it->sim->position.y - item->sim->position.y,
                         it->sim->position.z - item->sim->position.z};
        if (VecLengthApproxDouble(d) <= radius)
            dunMsgPost(item->receiverId, it->receiverId, 0, MsgLdsDropOut, 0, nullptr);
    }
}

void dunDropLds(SceneItem *ship) {
    Sim *s = ship->sim;
    if (!s) return;
    const float speed = s->thrust.z;
    double scale;
    if (!(speed > 0.0f)) {
        scale = 290000.0 / s->radius;
    } else {
        scale = (std::log10(double(speed)) - 2.0) * 127500.0 / s->mass;
        const double cap = 540000.0 / s->radius;
        if (!(scale <= cap)) scale = cap;
    }
    scale /= 100.0;
    // A ship without radius or mass takes the strongest jolt, never NaN.
    if (!(scale <= 5.0)) scale = 5.0;
    s->tumble.x += float((dunRand15() % 200 - 100) * scale);
    s->tumble.y += float((dunRand15() % 100 - 50) * scale);
    s->tumble.z += float((dunRand15() % 100 - 50) * scale);
}
