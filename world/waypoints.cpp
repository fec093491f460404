// Waypoints of the script's timed courses, carried objects and objects that
// follow another at a distance.
#include <cstdio>
#include <cstring>

#include "RES/vecmath.h"
#include "core/frame.h"
#include "platform/sound.h"
#include "world/flight.h"
#include "world/handle.h"
#include "world/mission_state.h"
#include "world/objlist.h"
#include "world/objroutines.h"
#include "world/records.h"
#include "world/services.h"
#include "world/simplace.h"

int32_t dunWaypointTotal = -1;

namespace {

bool inUse(const SceneItem *item) { return item && (item->flags & SceneFlag::InUse) && item->sim; }

// Cockpit text 90 is data: only its first two integer conversions take the
// minutes and seconds; any other % sign stands for itself.
void formatTime(const char *text, int minutes, int seconds, char *out, size_t size) {
    const int values[2] = {minutes, seconds};
    int used = 0;
    size_t n = 0;
    for (const char *p = text; *p && n + 1 < size;) {
        if (*p == '%' && p[1] == '%') {
            out[n++] = '%';
            p += 2;
            continue;
        }
        if (*p == '%' && used < 2) {
            const char *q = p + 1;
            bool zero = false;
            if (*q == '0') zero = true;
            while (*q == '0' || *q == '-' || *q == '+' || *q == ' ') ++q;
            int width = 0;
            while (*q >= '0' && *q <= '9' && width < 20) width = width * 10 + (*q++ - '0');
            if (*q == 'd' || *q == 'i' || *q == 'u') {
                char number[48];
                std::snprintf(number, sizeof number, zero ? "%0*d" : "%*d", width, values[used++]);
                for (const char *c = number; *c && n + 1 < size; ++c) out[n++] = *c;
                p = q + 1;
                continue;
            }
        }
        out[n++] = *p++;
    }
    out[n] = '\0';
}

void passed(SceneItem *waypoint, HUD *marker) {
    marker->flags |= 0x800;
    marker->edgeCount = 13;
    if (SceneItem *next = waypoint->avatar->waypointForward) {
        SoundPlay(12, 0, 0, 0, 0);
        dunCall(dunAi().selectWaypointTarget, next);
    }
    if (gWaypointCount == dunWaypointTotal && dunWaypointTotal != 1) gMissionClock = 0;
    --gWaypointCount;
    if (gWaypointCount != 0) return;
    const char *text = dunCall(dunGui().cockpitText, 90);
    if (!text) return;
    char line[256];
    formatTime(text, int16_t(gMissionClock / 6000), int16_t((gMissionClock / 100) % 60), line, sizeof line);
    dunCall(dunGui().postFeedText, line, 1);
}

}  // namespace

void dunSimStickToGoal(SceneItem *waypoint) {
    Sim *s = waypoint->sim;
    if (!s) return;
    SceneItem *object = s->goalSymbol ? dunCall(dunScript().symbolObject, s->goalSymbol) : nullptr;
    if (inUse(object)) {
        const Vec3 z = dunMatRow(object->sim->matrix, 2);
        const double r = object->sim->radius;
        s->position = {object->sim->position.x - z.x * r, object->sim->position.y - z.y * r,
                       object->sim->position.z - z.z * r};
        s->radius = object->sim->radius;
    }
    dunSyncFloatPosition(s);
}

void dunSimAttachToTarget(SceneItem *waypoint) {
    Sim *s = waypoint->sim;
    if (!s || !waypoint->avatar) return;
    if (SceneItem *t = s->target) {
        if (!(t->flags & SceneFlag::InUse) || !t->sim) {
            s->target = nullptr;
            s->thrust = {0.0f, 0.0f, 0.0f};
            s->velocity = {0.0f, 0.0f, 0.0f};
            s->flags &= ~SimFlag::Lds;
            return;
        }
        const Vec3 offset = waypoint->avatar->root ? waypoint->avatar->root->offset : Vec3{0.0f, 0.0f, 0.0f};
        Vec3 turned;
        MatTransformPointTransposed(turned, offset, t->sim->matrix);
        s->position = {t->sim->position.x + turned.x, t->sim->position.y + turned.y, t->sim->position.z + turned.z};
        dunSyncFloatPosition(s);
        s->thrust = t->sim->thrust;
        s->velocity = t->sim->velocity;
        s->flags = (s->flags & ~SimFlag::Lds) | (t->sim->flags & SimFlag::Lds);
        s->radius = t->sim->radius * 1.1f;
        s->matrix = t->sim->matrix;
    }
    TDP *root = waypoint->avatar->root;
    auto *marker = root ? static_cast<HUD *>(root->model) : nullptr;
    if (!marker || (marker->flags & 0x800) || !dunPlayerShip || !dunPlayerShip->sim) return;
    const Vec3 p = dunFloatPosition(dunPlayerShip->sim), w = dunFloatPosition(s);
    if (VecLengthApprox({w.x - p.x, w.y - p.y, w.z - p.z}) < 40000.0f) passed(waypoint, marker);
}

void dunControlCarrier(SceneItem *carrier) {
    Avatar *c = carrier->avatar;
    SceneItem *a = c->objectA, *b = c->objectB;
    if (!inUse(a) || !inUse(b) || !carrier->sim) return;
    const Vec3 d = {float(a->sim->position.x - b->sim->position.x), float(a->sim->position.y - b->sim->position.y),
                    float(a->sim->position.z - b->sim->position.z)};
    Vec3 local;
    MatTransformPoint(local, d, carrier->sim->matrix);
    if (local.z < 0.0f) {
        c->objectA = b;
        c->objectB = a;
        a = c->objectA;
    }
    const Vec3 ap = dunMatRow(a->avatar->matrix, 3), cp = dunMatRow(c->matrix, 3);
    Vec3 f = {ap.x - cp.x, ap.y - cp.y, ap.z - cp.z};
    VecRotateXNegated(f, float(dunFrameStep / 6), f);
    VecNormalise(f);
    Vec3 u = dunMatRow(c->matrix, 1);
    if (VecLength(u) < 0.5) u = {0.0f, 1.0f, 0.0f};
    Vec3 x, y;
    VecCross(f, u, x);
    VecNormalise(x);
    VecCross(x, f, y);
    dunSetMatRow(carrier->sim->matrix, 0, x);
    dunSetMatRow(carrier->sim->matrix, 1, y);
    dunSetMatRow(carrier->sim->matrix, 2, f);
}

void dunSimCarried(SceneItem *item) {
    Sim *s = item->sim;
    if (!s) return;
    s->timeStamp = dunGameClock;
    SceneItem *carrier = dunItemFromHandle(DunHandle(item->avatar->channelValues[0]));
    if (!carrier || !carrier->sim) {
        item->simulator = dunFlyShip;
        return;
    }
    s->approxSpeed = VecLengthApprox(s->thrust);
    if (!(s->flags & SimFlag::NoSpeedFloor) && s->approxSpeed < 500.0f) s->approxSpeed = 500.0f;
    const float maximum = s->flight ? s->flight->p1 : 0.0f;
    int32_t k = maximum != 0.0f ? int32_t(32.0f * s->thrust.z / maximum) : 0;
    if (k < 0) k = 0;
    int32_t *channels = item->avatar->channelValues;
    if (channels[2] > k)
        channels[2] -= 1;
    else if (channels[2] < k)
        channels[2] += 2;
    if (channels[1] > 0) channels[1] -= dunFrameStep;

    const double reach = carrier->avatar->objectA == item ? 40000.0 : -40000.0;
    Vec3 x0 = dunMatRow(s->matrix, 0);
    VecNormalise(x0);
    const Vec3 z = dunMatRow(carrier->sim->matrix, 2);
    Vec3 z2, x2;
    VecCross(x0, z, z2);
    VecCross(z, z2, x2);
    dunSetMatRow(s->matrix, 0, x2);
    dunSetMatRow(s->matrix, 1, z);
    dunSetMatRow(s->matrix, 2, z2);
    s->velocity = {float(z2.x * reach), float(z2.y * reach), float(z2.z * reach)};
    const Vec3d &c = carrier->sim->position;
    s->position = {c.x + z.x * reach, c.y + z.y * reach, c.z + z.z * reach};
    dunSyncFloatPosition(s);
}

void dunSimFollowLinked(SceneItem *item) {
    Sim *s = item->sim;
    SceneItem *followed = item->avatar ? item->avatar->objectA : nullptr;
    if (!s || !inUse(followed)) return;
    const Vec3d &f = followed->sim->position;
    Vec3d d = {s->position.x - f.x, s->position.y - f.y, s->position.z - f.z};
    const double length = VecLengthDouble(d);
    if (length > 0.0) {
        d = {d.x / length, d.y / length, d.z / length};
    } else {
        const Vec3 z = dunMatRow(followed->sim->matrix, 2);
        d = {-z.x, -z.y, -z.z};
    }
    const double distance = item->avatar->followDistance;
    s->position = {f.x + d.x * distance, f.y + d.y * distance, f.z + d.z * distance};
    dunSyncFloatPosition(s);
}
