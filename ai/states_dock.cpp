// The AI states that dock and undock: choosing a pair of ports, the approach
// point in front of the partner's port (or a swing round the partner first),
// lining up port against port, the last slide, docking to demolish, and the
// plain undock. The world docks the ships on contact; these states steer.
#include <algorithm>
#include <cmath>

#include "RES/util.h"
#include "RES/vecmath.h"
#include "ai/states.h"
#include "ai/steering.h"
#include "core/frame.h"
#include "present/scene.h"
#include "world/docking.h"
#include "world/handle.h"
#include "world/lds.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/simplace.h"

namespace {

constexpr uint32_t kMoveToStopRelative = 11, kMoveToStopAlmostRelative = 12, kDockingBase = 14,
                   kOrientate = 16, kFinalApproach = 17;

bool Alive(const SceneItem *o) { return o && (o->flags & SceneFlag::InUse) && o->sim; }

void SetApproach(SceneItem *ship, SceneItem *t) {
    if (ship->avatar) ship->avatar->approach = t;
}

// A docking partner named by parameter 1 becomes the target.
SceneItem *PartnerFrom(SceneItem *ship, uint32_t p1) {
    if (SceneItem *o = dunItemFromHandle(p1); Alive(o)) ship->sim->target = o;
    return Alive(ship->sim->target) ? ship->sim->target : nullptr;
}

bool Compatible(SceneItem *ship, SceneItem *t, int32_t own, int32_t partner) {
    return t && dunPortsCompatible(ship, own, t, partner) != 0;
}

// The port's outward axis in its ship's axes: the unit z vector turned by
// the port's two angles.
Vec3 PortAxis(const DockingPort *p) {
    Mat4 r;
    MatIdentity(r);
    MatRotateY(p->angleY, r);
    MatRotateX(p->angleX, r);
    return dunMatRow(r, 2);
}

Vec3 ToWorld(const SceneItem *o, Vec3 v) {
    Vec3 out;
    MatRotateVector(o->sim->matrix, v, out);
    return out;
}

Vec3 ToLocal(const SceneItem *o, Vec3 v) {
    Vec3 out;
    MatTransformPoint(out, v, o->sim->matrix);
    return out;
}

Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Any unit vector at right angles to u (u itself need not be unit).
Vec3 Perpendicular(Vec3 u) {
    Vec3 w = Cross(u, std::fabs(u.x) < 0.9f ? Vec3{1, 0, 0} : Vec3{0, 1, 0});
    VecNormalise(w);
    return w;
}

uint32_t Word(float v) { return uint32_t(int32_t(v)); }

void PostToSelf(SceneItem *ship, uint16_t type) { dunMsgPost(ship->receiverId, ship->receiverId, 0, type, 0, nullptr); }

void PostLink(SceneItem *ship, SceneItem *t) {
    const uint32_t h = dunHandleOf(ship);
    uint8_t bytes[4] = {uint8_t(h), uint8_t(h >> 8), uint8_t(h >> 16), uint8_t(h >> 24)};
    dunMsgPost(ship->receiverId, t->receiverId, 0, MsgSidePartner, 4, bytes);
}

bool Docked(SceneItem *ship, SceneItem *t) {
    return ship->simulator == dunUpdateDocking && dunGetDockedPartner(ship, t) == t;
}

// The approach point: in front of the partner's port, or first a swing
// round the partner when the ship is behind or beside it.
StateCommand *Approach(StateCommand *c, SceneItem *ship, SceneItem *t, int32_t partnerPort) {
    const DockingPort *q = dunGetDockingPort(t, partnerPort);
    if (!q) return dunai_Yield(c, 1);
    const float r = std::max(t->sim->radius, ship->sim->radius);
    const float d = std::min(r + 30000.0f, 250000.0f) + r;
    const Vec3 u = PortAxis(q);
    const Vec3d &a = ship->sim->position, &b = t->sim->position;
    Vec3 to = ToLocal(t, {float(b.x - a.x), float(b.y - a.y), float(b.z - a.z)});
    VecNormalise(to);
    if (Dot(u, to) <= 0.15f) {
        SetApproach(ship, t);
        return dunai_Push(c, kMoveToStopRelative, Word(u.x * d), Word(u.y * d), Word(u.z * d), 3);
    }
    // The direction to the partner lies along the port's axis when the ship
    // is straight behind it: any sideways direction does then.
    Vec3 w = Cross(to, u);
    if (VecNormalise(w) == 0.0f) w = Perpendicular(u);
    const float s = 2.0f * std::max(d, 200000.0f);
    const Vec3 side = ToWorld(t, {w.x * s, w.y * s, w.z * s});
    return dunai_Push(c, kMoveToStopAlmostRelative, Word(side.x), Word(side.y), Word(side.z), 2);
}

// A unit vector of three random integers -50..49; an all-zero draw is drawn
// again.
Vec3 RandomDirection() {
    for (;;) {
        Vec3 d = {float(dunRand15() % 100 - 50), float(dunRand15() % 100 - 50), float(dunRand15() % 100 - 50)};
        if (VecNormalise(d) > 0.0f) return d;
    }
}

}  // namespace

StateCommand *dunai_DockingBaseState(StateCommand *c, SceneItem *ship, int16_t step, float lastResult,
                                     int32_t *locals, uint32_t p1, uint32_t p2, uint32_t p3) {
    SceneItem *t = PartnerFrom(ship, p1);
    dunLeaveLDS(ship);
    if (!t) return dunai_Finish(c, 0.0f);
    int32_t &own = locals[0], &partner = locals[1];
    switch (step) {
    case 0:
    case 1: {
        int i = int(p2) > 0 ? int(p2) - 1 : -1, j = int(p3) > 0 ? int(p3) - 1 : -1;
        if (Docked(ship, t)) return dunai_Finish(c, 1.0f);
        dunPairDockingPorts(ship, t, &i, &j);
        if (i < 0 || j < 0) return ship == dunControlledObject ? dunai_Finish(c, 0.0f) : dunai_Yield(c, 7);
        own = i;
        partner = j;
        if (ship != dunControlledObject) PostToSelf(ship, MsgUndock);
        PostLink(ship, t);
        SetApproach(ship, t);
        return dunai_Yield(c, 2);
    }
    case 2: return Approach(c, ship, t, partner);
    case 3: return dunai_Yield(c, 4);
    case 4:
        SetApproach(ship, nullptr);
        if (!Compatible(ship, t, own, partner)) return dunai_Yield(c, 1);
        PostLink(ship, t);
        if (ship->avatar) ship->avatar->sidePartner = t;
        EventCameraTrigger(ship, t, 0);
        return dunai_Push(c, kOrientate, uint32_t(own), uint32_t(partner), dunHandleOf(t), 5);
    case 5:
        if (!Compatible(ship, t, own, partner)) return dunai_Yield(c, 1);
        return dunai_Push(c, kFinalApproach, uint32_t(own), uint32_t(partner), 0, 6);
    case 6:
        if (lastResult >= 0.5f && Compatible(ship, t, own, partner)) return dunai_Finish(c, 1.0f);
        return dunai_Yield(c, 1);
    case 7: {
        const float s = float(dunRand15() % 3 + 4) * (t->sim->radius + ship->sim->radius);
        if (ship->avatar && ship->avatar->approach == t) ship->avatar->approach = nullptr;
        const Vec3 d = RandomDirection();
        return dunai_Push(c, kMoveToStopRelative, Word(d.x * s), Word(d.y * s), Word(d.z * s), 8);
    }
    default: return dunai_Yield(c, 1, 0.0f);
    }
}

StateCommand *dunai_dk_orientate(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *locals, uint32_t p1,
                                 uint32_t p2, uint32_t p3) {
    SceneItem *t = PartnerFrom(ship, p3);
    if (!t) return dunai_Finish(c, 0.0f);
    const int own = int(int32_t(p1)), partner = int(int32_t(p2));
    DockingPort *mine = dunGetDockingPort(ship, own), *theirs = dunGetDockingPort(t, partner);
    if (!mine || !theirs) return dunai_Finish(c, 0.0f);
    Mat4 m;
    dunAlignForDocking(&m, &t->sim->matrix, mine, theirs);
    locals[0] = std::clamp(locals[0], 0, 1000);
    locals[0] = int32_t((1.0 - MatAngleBetween(m, ship->sim->matrix)) * 1000.0);

    // The aim point: off the partner's port along its axis, nearer as the
    // ship lines up.
    const Vec3 pq = ToWorld(t, theirs->position), pm = ToWorld(ship, mine->position);
    const Vec3 v = {pq.x - pm.x, pq.y - pm.y, pq.z - pm.z};
    const Vec3d &tp = t->sim->position, &sp = ship->sim->position;
    Vec3 r = {float(tp.x - sp.x) + v.x, float(tp.y - sp.y) + v.y, float(tp.z - sp.z) + v.z};
    const float dist = VecNormalise(r);
    const Vec3 u = ToWorld(t, PortAxis(theirs));
    const float cosine = Dot(u, r) + 1.0f;
    float s = 0.45f * dist * cosine;
    SetApproach(ship, s < ship->sim->radius || cosine < 1.0f ? t : nullptr);
    const float radii = t->sim->radius + ship->sim->radius;
    const float l = radii + std::min(2.0f * radii + 30000.0f, 500000.0f);
    s = std::min(s, 0.5f * l);
    const float standoff = std::max(float(locals[0]) * 0.001f * l, s) - 2000.0f;
    const Vec3 q = {float(tp.x) + v.x + u.x * standoff, float(tp.y) + v.y + u.y * standoff,
                    float(tp.z) + v.z + u.z * standoff};
    const Vec3 nose = dunMatRow(m, 2);
    const Vec3 &tv = t->sim->velocity;

    FlightParams capped = *dunai_ProfileOf(ship);
    switch (step) {
    case 0:
    case 1: locals[0] = 1000; return dunai_Yield(c, 2);
    case 2: {
        if (!Compatible(ship, t, own, partner)) return dunai_Yield(c, 4);
        capped.turnRates[0] = std::min(capped.turnRates[0], 20.0f);
        capped.turnRates[2] = std::min(capped.turnRates[2], 20.0f);
        const float a = dunai_SteerAlongVector(ship, ToLocal(ship, nose), &capped);
        ship->sim->flags |= SimFlag::TurnedThisFrame;
        const float k = a * dunai_SteerTowards(ship, q, &tv, nullptr, dunai_MinimumSpeedLimit);
        return dunai_Yield(c, k >= 0.9f ? 3 : 2);
    }
    case 3: {
        if (!Compatible(ship, t, own, partner)) return dunai_Yield(c, 4);
        const float e = (Dot(nose, dunMatRow(ship->sim->matrix, 2)) + 1.0f) / 2.0f;
        if (e < 0.95f) return dunai_Yield(c, 2);
        capped.turnRates[0] = std::min(capped.turnRates[0], 20.0f);
        const Vec3 up = ToLocal(ship, dunMatRow(m, 1));
        float k = dunai_RollControl(ship, -dunai_AxisAngle(up.x, up.y), &capped);
        ship->sim->flags |= SimFlag::TurnedThisFrame;
        ship->turnDemand[0] = ship->turnDemand[1] = 0.0f;
        k *= dunai_SteerTowards(ship, q, &tv, nullptr, dunai_MinimumSpeedLimit);
        if (k < 0.3f) return dunai_Yield(c, 2);
        if (k > 0.9f && dunGetDockedPartner(ship, t) == t) return dunai_Finish(c, 1.0f);
        return dunai_Yield(c, 3);
    }
    default:
        mine->flags &= ~PortFlag::Reserved;
        return dunai_Finish(c, 0.0f);
    }
}

StateCommand *dunai_dk_finalAproach(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *locals,
                                    uint32_t p1, uint32_t p2, uint32_t) {
    SceneItem *t = Alive(ship->sim->target) ? ship->sim->target : nullptr;
    const int own = int(int32_t(p1)), partner = int(int32_t(p2));
    DockingPort *mine = dunGetDockingPort(ship, own), *theirs = t ? dunGetDockingPort(t, partner) : nullptr;
    if (!mine || !theirs) return dunai_Finish(c, 0.0f);
    Mat4 m;
    dunAlignForDocking(&m, &t->sim->matrix, mine, theirs);
    if (step <= 1) {
        const double a = MatAngleBetween(m, ship->sim->matrix);
        if (!Compatible(ship, t, own, partner)) return dunai_Yield(c, 0);
        if (a < 0.9) return dunai_Finish(c, 0.0f);
    }
    const Vec3 pq = ToWorld(t, theirs->position), pm = ToWorld(ship, mine->position);
    const Vec3d &tp = t->sim->position;
    const Vec3 point = {float(tp.x) - pm.x + pq.x, float(tp.y) - pm.y + pq.y, float(tp.z) - pm.z + pq.z};
    const float r = dunai_SlideToPoint(ship, point, dunMatRow(m, 2), &t->sim->velocity, 600.0f);
    for (float &d : ship->turnDemand) d = 0.0f;
    if (locals[0]++ > 15) {
        locals[0] = 0;
        return dunai_Yield(c, 1);
    }
    return r < 0.5f ? dunai_Yield(c, 2) : dunai_Finish(c, 1.0f);
}

StateCommand *dunai_DockingDemolishState(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *locals,
                                         uint32_t p1, uint32_t p2, uint32_t p3) {
    SceneItem *t = PartnerFrom(ship, p1);
    switch (step) {
    case 0:
    case 1:
        locals[0] = int32_t(p2);
        locals[1] = int32_t(p3);
        return dunai_Push(c, kDockingBase, p1, 0, 0, 2);
    case 2:
        locals[0] -= dunFrameStep;
        if (locals[0] >= 1) return dunai_Yield(c, 2);
        PostToSelf(ship, MsgUndock);
        return dunai_Yield(c, 3);
    default: {
        locals[1] -= dunFrameStep;
        if (locals[1] >= 1) return dunai_Yield(c, 3);
        if (!t) return dunai_Finish(c, 0.0f);
        // Every word of the record is set: only the attacker is named.
        DamageRecord record{};
        record.word0 = 0;
        record.point = {0, 0, 0};
        record.velocity = {0, 0, 0};
        record.damage = 0;
        record.secondTerm = 0;
        record.spare = 0;
        record.mass = 0.0f;
        record.attacker = dunHandleOf(ship);
        dunRecordDestruction(t, &record);
        uint8_t bytes[kDamageRecordSize];
        dunPackDamageRecord(&record, bytes);
        dunMsgPost(ship->receiverId, t->receiverId, 0, MsgDestroyed, kDamageRecordSize, bytes);
        return dunai_Finish(c, 1.0f);
    }
    }
}

StateCommand *dunai_UnDock(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t, uint32_t,
                           uint32_t) {
    if (step <= 1) dunUndock(ship);
    return dunai_Yield(c, 2);
}
