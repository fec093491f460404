// The AI states that ride a route of numbered waypoints: the mission names
// its waypoints with one base word and the index ("Bus0", "Bus1", ...), and
// a ship goes from each to the next, stopping at each ("BusDriver") or
// passing through at cruise speed ("BusDriverNotStopping"). A missing next
// name ends the lap; the route starts again at index 0.
#include <algorithm>
#include <string>

#include "RES/vecmath.h"
#include "ai/states.h"
#include "ai/steering.h"
#include "world/handle.h"
#include "world/objlist.h"
#include "world/services.h"

namespace {

constexpr uint32_t kAchieveRange = 49;
constexpr uint32_t kArrivalRange = 500000, kCruiseSpeed = 50000;
constexpr float kPassRange = 100000.0f;

bool Alive(const SceneItem *o) { return o && (o->flags & SceneFlag::InUse) && o->sim; }

SceneItem *Object(uint32_t handle) {
    SceneItem *o = dunItemFromHandle(handle);
    return Alive(o) ? o : nullptr;
}

Vec3d PlaceOf(const SceneItem *o) { return o->avatar ? o->avatar->position : o->sim->position; }

// Steps 1, 3 and 4, shared by both states: locals 0 the waypoint's index,
// 1 the waypoint. Returns null when the caller's own step 2 is due.
StateCommand *NextWaypoint(StateCommand *c, SceneItem *first, int16_t step, int32_t *locals, uint32_t p2) {
    switch (step) {
    case 0:
    case 1: locals[0] = int32_t(p2); return dunai_Yield(c, 4);
    case 3: ++locals[0]; [[fallthrough]];
    case 4: {
        const char *base = dunCall(dunScript().nameOfObject, first);
        SceneItem *w =
            base ? dunCall(dunScript().objectNamed, dunai_RouteWaypointName(base, locals[0]).c_str()) : nullptr;
        if (Alive(w)) {
            locals[1] = int32_t(dunHandleOf(w));
            return dunai_Yield(c, 2);
        }
        if (locals[0] != 0) {
            locals[0] = 0;
            return dunai_Yield(c, 4);
        }
        // No waypoint 0 either: the route starts again at its first one,
        // rather than asking for the missing name every frame.
        locals[0] = int32_t(p2);
        locals[1] = int32_t(dunHandleOf(first));
        return dunai_Yield(c, 2);
    }
    default: return nullptr;
    }
}

StateCommand *Lookup(StateCommand *c, SceneItem *first, int16_t step, int32_t *locals, uint32_t p2) {
    StateCommand *done = NextWaypoint(c, first, step, locals, p2);
    return done ? done : dunai_Yield(c, 1, 0.0f);
}

}  // namespace

std::string dunai_RouteWaypointName(const char *first, int32_t index) {
    std::string name = first ? first : "";
    name.erase(name.find_last_not_of("0123456789") + 1);
    return name + std::to_string(index);
}

StateCommand *dunai_BusDriver(StateCommand *c, SceneItem *, int16_t step, float, int32_t *locals, uint32_t p1,
                              uint32_t p2, uint32_t p3) {
    SceneItem *first = Object(p1);
    if (!first) return dunai_Finish(c, 0.0f);
    if (step != 2) return Lookup(c, first, step, locals, p2);
    // A waypoint gone since it was found is looked up again by its name.
    if (!Object(uint32_t(locals[1]))) return dunai_Yield(c, 4);
    return dunai_Push(c, kAchieveRange, p3 ? p3 : kArrivalRange, uint32_t(locals[1]), 0, 3);
}

StateCommand *dunai_BusDriverNotStopping(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *locals,
                                         uint32_t p1, uint32_t p2, uint32_t p3) {
    SceneItem *first = Object(p1);
    if (!first) return dunai_Finish(c, 0.0f);
    if (step != 2) return Lookup(c, first, step, locals, p2);
    SceneItem *w = Object(uint32_t(locals[1]));
    if (!w) return dunai_Yield(c, 4);
    Sim *s = ship->sim;
    s->target = w;
    const Vec3d p = PlaceOf(w);
    const Vec3 rel = {float(p.x - s->position.x), float(p.y - s->position.y), float(p.z - s->position.z)};
    if (VecLengthApprox(rel) < kPassRange) return dunai_Yield(c, 3);
    const FlightParams *profile = dunai_ProfileOf(ship);
    Vec3 d;
    MatTransformPoint(d, rel, s->matrix);
    VecNormalise(d);
    const float q = dunai_TurnRates(ship, d, profile);
    Vec3 v;
    MatTransformPoint(v, s->velocity, s->matrix);
    const float a = dunai_Figures(profile).p1;
    const float speed = float(p3 ? p3 : kCruiseSpeed) * q;
    s->thrust = {std::clamp(-v.x, -a, a), std::clamp(-v.y, -a, a), std::clamp(speed - v.z, -a, a)};
    return dunai_Yield(c, 2);
}
