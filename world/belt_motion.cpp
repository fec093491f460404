// Belt objects moving between the points of their particle system, and
// their replacement around an anchor.
#include <cmath>

#include "RES/util.h"
#include "RES/vecmath.h"
#include "core/frame.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/objroutines.h"
#include "world/pools.h"
#include "world/records.h"
#include "world/services.h"
#include "world/simplace.h"

uint8_t dunFixedAsteroids = 0;

namespace {

int32_t limitOf(const SceneItem *item) { return item->avatar->channelValues[0]; }

void setFloatPosition(Sim *s, const Vec3 &p) {
    s->matrix.m[12] = p.x;
    s->matrix.m[13] = p.y;
    s->matrix.m[14] = p.z;
    s->position = {p.x, p.y, p.z};
}

bool inBelt(const SceneItem *anchor) { return anchor && (anchor->flags & SceneFlag::InBelt); }

}  // namespace

Particle *dunTakeNearestPoint(ParticleSystem *points, SceneItem *item) {
    if (!points || !points->points || !item || !item->sim) return nullptr;
    const Vec3 at = dunFloatPosition(item->sim);
    const int count = points->count < dunParticleCapacity(points) ? points->count : dunParticleCapacity(points);
    Particle *best = nullptr;
    double nearest = 1e11;
    for (int i = 0; i < count; ++i) {
        Particle &p = points->points[i];
        if (p.life != 1) continue;
        const double d = VecLength({p.pos.x - at.x, p.pos.y - at.y, p.pos.z - at.z});
        if (d < nearest) {
            nearest = d;
            best = &p;
        }
    }
    if (best) best->life = 0;
    return best;
}

void dunMoveToNextPoint(SceneItem *item) {
    Sim *s = item->sim;
    Avatar *a = item->avatar;
    if (!s || !a) return;
    SceneItem *anchor = a->beltAnchor ? a->beltAnchor : item;
    Particle *point = dunTakeNearestPoint(a->beltPoints, anchor);
    if (!point) {
        dunMsgPost(item->receiverId, item->receiverId, 0, MsgRemove, 0, nullptr);
        a->flags16 &= uint16_t(~AvatarState::GravityBody);
        return;
    }
    setFloatPosition(s, point->pos);
    if (point != a->heldPoint) {
        if (ShipInfo *info = s->shipInfo) {
            info->damage.armour = 35;
            info->damage.maximum = 70;
            info->damage.damage = 0;
            s->goal = nullptr;
            dunCall(dunAi().startOrder, item, 1);
        } else {
            s->hull = 4000;
        }
        s->thrust = {0.0f, 0.0f, 0.0f};
        s->velocity = {0.0f, 0.0f, 0.0f};
    }
    a->heldPoint = point;
    point->life = 0;
}

void dunReleasePoint(SceneItem *item) {
    Particle *point = item->avatar ? item->avatar->heldPoint : nullptr;
    if (!point || !item->sim) return;
    point->pos = dunFloatPosition(item->sim);
    point->life = 1;
    item->avatar->heldPoint = nullptr;
}

void dunAimAtGoal(SceneItem *item) {
    SceneItem *anchor = item->avatar ? item->avatar->beltAnchor : nullptr;
    if (!anchor || !anchor->sim || !item->sim) return;
    const Vec3 p = dunFloatPosition(item->sim), q = dunFloatPosition(anchor->sim);
    if (VecLength({p.x - q.x, p.y - q.y, p.z - q.z}) > limitOf(item)) {
        dunReleasePoint(item);
        dunMoveToNextPoint(item);
    }
}

void dunControlAsteroid(SceneItem *item) {
    Sim *s = item->sim;
    SceneItem *anchor = item->avatar ? item->avatar->beltAnchor : nullptr;
    if (!s || !inBelt(anchor) || !anchor->sim) return;
    if (s->timer > 0) {
        s->timer = int16_t(s->timer - dunFrameStep);
        if (s->timer < 1) {
            s->timer = 0;
            s->flags &= ~SimFlag::RamsShields;
        }
    }
    const Vec3 p = dunFloatPosition(s), q = dunFloatPosition(anchor->sim);
    if (VecLength({p.x - q.x, p.y - q.y, p.z - q.z}) > limitOf(item)) dunReplaceBeltObject(item);
}

void dunReplaceBeltObject(SceneItem *item) {
    Sim *s = item->sim;
    if (!s || !item->avatar) return;
    const float r = 0.8f * float(limitOf(item));
    SceneItem *anchor = item->avatar->beltAnchor ? item->avatar->beltAnchor : dunPlayerShip;
    if (!inBelt(anchor) || !anchor->sim) {
        // Scattered far out in double precision: -750 x 999 x 100000 does
        // not fit in 32 bits.
        double *axes[3] = {&s->position.x, &s->position.y, &s->position.z};
        for (double *axis : axes) {
            const int a = dunRand15() % 1500 - 750;
            const int b = dunRand15() % 1000;
            *axis = double(a) * b * 100000.0;
        }
    } else {
        const Sim *as = anchor->sim;
        const bool lds = as->flags & SimFlag::Lds;
        Vec3 point;
        if (VecLength(as->velocity) > 500.0 || lds) {
            Vec3 direction = {float(dunRand15() % 3000 - 1500), float(dunRand15() % 3000 - 1500), float(dunRand15() % 4000)};
            VecNormalise(direction);
            direction = {direction.x * r, direction.y * r, direction.z * r};
            Mat4 frame = as->matrix;
            if (!lds) MatLookAlong(as->velocity, nullptr, frame);
            MatTransformPointTransposed(point, direction, frame);
        } else {
            point = {float(dunRand15() % 3000 - 1500), float(dunRand15() % 3000 - 1500), float(dunRand15() % 3000 - 1500)};
            VecNormalise(point);
            point = {point.x * r, point.y * r, point.z * r};
        }
        const float t = dunFrameSeconds * 1.2f;
        Vec3 lead = {as->velocity.x * t, as->velocity.y * t, as->velocity.z * t};
        if (lds) lead = {as->matrix.m[8] * as->thrust.z * t, as->matrix.m[9] * as->thrust.z * t,
                         as->matrix.m[10] * as->thrust.z * t};
        s->position = {as->position.x + point.x + lead.x, as->position.y + point.y + lead.y,
                       as->position.z + point.z + lead.z};
    }
    s->hull = 100;
    s->thrust = {0.0f, 0.0f, 0.0f};
    if (dunFixedAsteroids) {
        s->velocity = {0.0f, 0.0f, 0.0f};
    } else {
        s->velocity.x = float((dunRand15() % 3000) * 2 - 3000);
        s->velocity.y = float((dunRand15() % 3000) * 2 - 3000);
        s->velocity.z = float((dunRand15() % 3000) * 2 - 3000);
    }
    const float k = s->radius / 3000.0f + 1.0f;
    item->yawSpin = float(dunRand15() % 200 - 100) / k;
    item->pitchSpin = float(dunRand15() % 200 - 100) / k;
    MatRotateZ(float(dunRand15() % 360), s->matrix);
    MatRotateX(float(dunRand15() % 360), s->matrix);
    dunSyncFloatPosition(s);
    s->flags |= SimFlag::RamsShields;
    s->timer = 700;
}
