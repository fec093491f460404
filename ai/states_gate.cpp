// The AI states that leave the system or hold an orbit: passing through a
// jump gate, jumping from near a destination object, and circling a
// gravity body at the speed of a circular orbit.
#include <algorithm>
#include <cmath>

#include "RES/vecmath.h"
#include "ai/brain.h"
#include "ai/combat.h"
#include "ai/states.h"
#include "ai/steering.h"
#include "ai/weapons.h"
#include "world/handle.h"
#include "world/lds.h"
#include "world/messages.h"
#include "world/msghandler.h"
#include "world/objlist.h"

namespace {

constexpr uint32_t kMoveToStopRelative = 11, kAchieveRange = 49;
constexpr float kGateClearance = 300000.0f;
constexpr float kCapsuleReach = 150000.0f;
constexpr int32_t kCapsuleRange = 10000;
constexpr double kGravitation = 6.673e-11;
constexpr float kAltitudeUnit = 100000.0f;
constexpr int32_t kDamagedHull = 45;  // percent: a ship this hurt no longer holds its attitude

StateCommand *UnknownStep(StateCommand *c) { return dunai_Yield(c, 1, 0.0f); }

bool Alive(const SceneItem *o) { return o && (o->flags & SceneFlag::InUse) && o->sim; }

SceneItem *Object(uint32_t handle) {
    SceneItem *o = dunItemFromHandle(handle);
    return Alive(o) ? o : nullptr;
}

Vec3d PlaceOf(const SceneItem *o) { return o->avatar ? o->avatar->position : o->sim->position; }

Vec3 Row(const Mat4 &m, int r) { return {m.m[4 * r], m.m[4 * r + 1], m.m[4 * r + 2]}; }

void SetRow(Mat4 &m, int r, Vec3 v) {
    m.m[4 * r] = v.x;
    m.m[4 * r + 1] = v.y;
    m.m[4 * r + 2] = v.z;
}

float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vec3 Cross(Vec3 a, Vec3 b) {
    Vec3 out;
    VecCross(a, b, out);
    return out;
}

double Distance(const Vec3d &a, const Vec3d &b) {
    const double x = b.x - a.x, y = b.y - a.y, z = b.z - a.z;
    return std::sqrt(x * x + y * y + z * z);
}

int32_t Truncate(float v) {
    if (!(v == v)) return 0;
    return int32_t(std::clamp(v, -2147483520.0f, 2147483520.0f));
}

// The ship leaves: a jump to the destination, or its removal when it is one
// of the objects that delete themselves.
void Depart(SceneItem *ship, uint32_t destination) {
    if (ship->flags & SceneFlag::SelfDeleting) {
        dunMsgPost(ship->receiverId, ship->receiverId, 0, MsgRemove, 0, nullptr);
        return;
    }
    uint8_t payload[4];
    dunPayloadPutU32(payload, 0, destination);
    dunMsgPost(ship->receiverId, ship->receiverId, 0, MsgJumpDepart, 4, payload);
}

// The speed of a circular orbit round the body at the ship's depth in its
// field; 0 when the figures give none.
float OrbitalSpeed(const SceneItem *body, float depth) {
    const double r = double(body->sim->radius) / 2.0 + double(depth);
    const double m = double(body->sim->mass);
    if (!(r > 0.0) || !(m > 0.0)) return 0.0f;
    const double v = 1000.0 * std::sqrt(kGravitation * m / r);
    return std::isfinite(v) ? float(v) : 0.0f;
}

// Up away from the body, the nose along the velocity's part across it; a
// ship at rest or moving straight up or down keeps its nose's part across
// it instead. Every row unit length, so the model keeps its size.
void OrbitAxes(Sim *s, Vec3 up) {
    if (VecNormalise(up) == 0.0f) return;
    Vec3 right = Cross(up, s->velocity);
    if (VecNormalise(right) < 1e-3f * std::max(1.0f, float(VecLength(s->velocity)))) {
        right = Cross(up, Row(s->matrix, 2));
        if (VecNormalise(right) == 0.0f) {
            right = Cross(up, std::fabs(up.x) < 0.9f ? Vec3{1, 0, 0} : Vec3{0, 1, 0});
            VecNormalise(right);
        }
    }
    Vec3 nose = Cross(right, up);
    VecNormalise(nose);
    SetRow(s->matrix, 0, right);
    SetRow(s->matrix, 1, up);
    SetRow(s->matrix, 2, nose);
}

}  // namespace

StateCommand *dunai_LagrangeState(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t p1,
                                  uint32_t p2, uint32_t) {
    Sim *s = ship->sim;
    SceneItem *gate = p1 ? Object(p1) : (Alive(s->target) ? s->target : nullptr);
    if (!gate) return dunai_Finish(c, 0.0f);
    const float k = 2.0f * s->radius + kGateClearance;
    const Vec3 gateNose = Row(gate->sim->matrix, 2);
    switch (step) {
    case 0:
    case 1: return dunai_Push(c, kAchieveRange, uint32_t(Truncate(k)), dunHandleOf(gate), 0, 2);
    case 2:
        // Stop k behind the gate, then line up with it.
        s->target = gate;
        return dunai_Push(c, kMoveToStopRelative, 0, 0, uint32_t(-Truncate(k)), 3);
    case 3: {
        const Vec3 zero = {0, 0, 0};
        dunai_SteerTowards(ship, dunai_FloatPoint(s->position), &zero, &gateNose, nullptr);
        return dunai_Yield(c, Dot(Row(s->matrix, 2), gateNose) >= 0.7f ? 4 : 3);
    }
    case 4: {
        const float closeness =
            dunai_SteerTowards(ship, dunai_FloatPoint(PlaceOf(gate)), nullptr, nullptr, dunai_CruiseSpeedLimit);
        return dunai_Yield(c, closeness >= 0.85f ? 5 : 4);
    }
    case 5:
        // The player's own flying takes the player through; nothing is sent.
        if (ship == dunPlayerShip && ship->control != dunai_ThinkShip) return dunai_Finish(c, 1.0f);
        Depart(ship, p2);
        if (gate->avatar) gate->avatar->destination = p2;
        return dunai_Finish(c, 1.0f);
    default: return UnknownStep(c);
    }
}

StateCommand *dunai_CapsuleState(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t p1,
                                 uint32_t p2, uint32_t) {
    SceneItem *to = Object(p1);
    switch (step) {
    case 0:
    case 1:
        if (!to) return dunai_Finish(c, 0.0f);
        if (Distance(ship->sim->position, to->sim->position) <= kCapsuleReach) return dunai_Yield(c, 2);
        return dunai_Push(c, kAchieveRange, kCapsuleRange, p1, 0, 1);
    case 2: Depart(ship, p2); return dunai_Finish(c, 1.0f);
    default: return UnknownStep(c);
    }
}

StateCommand *dunai_SeekOrbitalSpeed(StateCommand *c, SceneItem *ship, int16_t step, float, int32_t *, uint32_t,
                                     uint32_t p2, uint32_t) {
    Sim *s = ship->sim;
    SceneItem *body = (ship->flags & SceneFlag::InGravityWell) && Alive(s->gravity.body) ? s->gravity.body : nullptr;
    if (!body) return dunai_Yield(c, 1);
    const float depth = s->gravity.depth;
    const float v = OrbitalSpeed(body, depth);
    switch (step) {
    case 0:
    case 1:
        dunLeaveLDS(ship);
        s->demandSpeed = v;
        [[fallthrough]];
    case 2: {
        if (ShipInfo *info = s->shipInfo)
            for (int slot = 0; slot < std::min<int>(info->defenceCount, kDefenceSlots); ++slot)
                dunAssignDefenceTargets(ship, slot, dunai_SideTargetMask(ship), 0);
        const float h = p2 ? float(int32_t(p2)) * kAltitudeUnit : depth;
        const bool crippled = ship->avatar && (ship->avatar->flags & AvatarFlag::Damaged) && s->hull <= kDamagedHull;
        if (!crippled) {
            const Vec3d &b = body->sim->position;
            OrbitAxes(s, {float(s->position.x - b.x), float(s->position.y - b.y), float(s->position.z - b.z)});
        }
        const float a = dunai_Figures(dunai_ProfileOf(ship)).p1;
        Vec3 local;
        MatTransformPoint(local, s->velocity, s->matrix);
        // Climb or sink towards the wanted height at the speed that can
        // still stop there; up is away from the body.
        const float e = h - depth;
        const float q = std::copysign(std::sqrt(std::fabs(e) * 2.0f * a), e);
        s->thrust = {0.0f, std::clamp(q - local.y, -a, a), std::clamp(v - local.z, -a, a)};
        return dunai_Yield(c, 2, 1.0f);
    }
    default: return UnknownStep(c);
    }
}
