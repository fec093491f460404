// The effect recipes of hits and damage: explosion bursts at a point of an
// object, hull ruptures, debris, sparks, the drive trail, flashes on an
// object's lights and surface, and the static clouds of star-system bodies.
// Each is one particle system with fixed numbers; what a recipe starts
// besides (lights, flashes) happens even when the pools are full.
#include <cmath>

#include "RES/util.h"
#include "core/log.h"
#include "core/options.h"
#include "present/effects.h"
#include "present/effects/particles.h"
#include "present/frame_passes.h"
#include "present/model_adjust.h"
#include "world/objlist.h"
#include "world/records.h"

EffectObserver gEffectObserver;

namespace {

ParticleSystem *System(TDP *tdp) { return ParticleSystemOf(tdp); }

float Radius(const SceneItem *owner) {
    if (owner->sim) return owner->sim->radius;
    return owner->avatar && owner->avatar->root ? owner->avatar->root->radius : 0;
}

// A part's matrix in the owner's frame that looks along the direction, with
// the owner's up (or its forward when the direction runs along the up).
Mat4 Looking(Vec3 forward, const Vec3 &at) {
    if (VecNormalise(forward) == 0) forward = {0, 0, 1};
    const Vec3 up = std::fabs(forward.y) > 0.999f ? Vec3{0, 0, 1} : Vec3{0, 1, 0};
    Mat4 m;
    MatIdentity(m);
    MatLookAlong(forward, &up, m);
    m.m[12] = at.x;
    m.m[13] = at.y;
    m.m[14] = at.z;
    return m;
}

// Placement A: at the point, its emission cone pointing away from the
// owner's centre.
Mat4 FacingOut(const Vec3 &point) { return Looking({-point.x, -point.y, -point.z}, point); }

int Channel(int code, int bit, int intensity) { return (code & bit) ? intensity : 0; }

}  // namespace

void AddMinorExplosion(SceneItem *owner, int code1, int code2, const Vec3 *point) {
    if (!point) dunFatalError("AddMinorExplosion");
    if (!owner) return;
    const Mat4 m = FacingOut(*point);
    ParticleSystem *ps = System(CreateParticleSystem(owner, &m, 2, 0x12, 100, 150, 100, 2000, 900, 180));
    if (!ps) return;
    const int i1 = (code1 & 8) ? 255 : 128, i2 = (code2 & 8) ? 255 : 128;
    BuildColourRamp(nullptr, ps->ramp, Channel(code1, 4, i1), Channel(code1, 2, i1), Channel(code1, 1, i1),
                    Channel(code2, 4, i2), Channel(code2, 2, i2), Channel(code2, 1, i2));
}

TDP *AddThermalExplosion(SceneItem *owner, const Vec3 *point) {
    if (!point) dunFatalError("AddThermalExplosion");
    if (!owner) return nullptr;
    const Mat4 m = FacingOut(*point);
    return CreateParticleSystem(owner, &m, 2, 0x12, 100, 150, 100, 2000, 900, 180);
}

void AddHullRupture(SceneItem *owner, int yellow, int, const Vec3 *point, int life) {
    if (!point) dunFatalError("AddHullRupture");
    if (!owner) return;
    Vec3 centre = *point, normal = {-point->x, -point->y, -point->z};
    if (!PickModelFace(owner, point, &centre, &normal)) {
        centre = *point;
        normal = {-point->x, -point->y, -point->z};
    }
    Mat4 m = Looking(normal, centre);
    MatRotateZ(float(dunRand15() % 10), m);
    MatRotateX(float(dunRand15() % 10), m);
    m.m[12] = centre.x;
    m.m[13] = centre.y;
    m.m[14] = centre.z;
    float speed = Radius(owner) * 0.4f;
    speed = speed < 4000 ? 4000 : speed > 20000 ? 20000 : speed;
    speed = std::trunc(speed * (0.5f + float(dunRand15()) / 32768 * 0.6f));
    const uint16_t lasting = uint16_t(life == 0 ? kEndlessLife : life);
    if (ParticleSystem *ps = System(CreateParticleSystem(owner, &m, 2, 0x812, lasting, 180, 150, speed, 120, 10))) {
        static const int kYellow[5][3] = {{45, 45, 0}, {100, 100, 0}, {200, 200, 0}, {255, 255, 0}, {255, 255, 255}};
        static const int kRed[5][3] = {{100, 0, 0}, {200, 0, 0}, {225, 0, 0}, {255, 0, 0}, {255, 255, 255}};
        BuildColourRamp5(nullptr, ps->ramp, yellow ? kYellow : kRed);
    }
    const Vec3 light = {centre.x / 100, centre.y / 100, centre.z / 100};
    AddNavLight(owner, &light, 0.25f, 6, 1000, 10, 1);
}

void SpawnDebrisBurst(SceneItem *owner, int life) {
    if (!owner) return;
    const Mat4 m = Looking({1, 0, 0}, {0, 0, 0});
    const uint16_t lasting = uint16_t(life == 0 ? kEndlessLife : life);
    if (ParticleSystem *ps = System(CreateParticleSystem(owner, &m, 2, 0x8812, lasting, 220, 150, 10000, 180, 5)))
        BuildColourRamp(nullptr, ps->ramp, 15, 15, 15, 255, 255, 255);
}

void SpawnSparks(SceneItem *owner, int r1, int g1, int b1, int r2, int g2, int b2) {
    if (!owner) return;
    if (ParticleSystem *ps = System(CreateParticleSystem(owner, nullptr, 2, 0x12, 250, 200, 700, 15000, 600, 360)))
        BuildColourRamp(nullptr, ps->ramp, r1, g1, b1, r2, g2, b2);
}

void SpawnLdsTrail(SceneItem *owner) {
    if (!owner) return;
    ParticleSystem *ps = System(CreateParticleSystem(owner, nullptr, 2, 0xA12, 250, 220, 250, -32000, 150, 45));
    if (!ps) return;
    static const int kGreen[5][3] = {{0, 45, 0}, {0, 100, 0}, {0, 200, 0}, {0, 255, 0}, {0, 255, 0}};
    BuildColourRamp5(nullptr, ps->ramp, kGreen);
    ps->spread = Radius(owner) / 2;
}

void FlashNavLight(SceneItem *owner, int colour, int ticks, const Vec3 *point) {
    if (!owner || !owner->avatar) return;
    // The engine glow is the first light of the owner's nav-light system.
    for (TDP *t = owner->avatar->root ? owner->avatar->root->child : nullptr; t && point; t = t->sibling) {
        ParticleSystem *ps = ParticleSystemOf(t);
        if (!ps || !(ps->flags & ParticleFlag::NavLights)) continue;
        Particle &glow = ps->points[0];
        MatRotateVector(owner->avatar->matrix, *point, glow.local);
        glow.colour = uint16_t(colour);
        glow.size = 1.5f;
        break;
    }
    if (colour != 7) {
        owner->avatar->lightLevel = 50;
        owner->avatar->lightPercent = CardMode ? 50 : 100;
    } else {
        owner->avatar->lightLevel = ticks;
    }
}

void AddFlashAtObject(SceneItem *owner, const Vec3 *direction, int time, uint32_t colour) {
    if (!owner || !owner->avatar || !direction) return;
    Vec3 d = *direction;
    VecNormalise(d);
    const float r = Radius(owner);
    const Vec3d &p = owner->avatar->position;
    const Vec3 at = {float(p.x) + d.x * r, float(p.y) + d.y * r, float(p.z) + d.z * r};
    P3DAddLightFlash(owner, owner->receiverId, &at, time, colour);
    if (gEffectObserver) gEffectObserver("flash", owner, time);
}

void PlaceExplosion(SceneItem *owner) {
    if (!owner || !owner->avatar) return;
    const float R = Radius(owner);
    const Vec3d &p = owner->avatar->position;
    Vec3 offset;
    if (owner != dunPlayerShip) {
        offset = {0, 0, 0};
        if (dunPlayerShip && dunPlayerShip->avatar) {
            const Vec3d &q = dunPlayerShip->avatar->position;
            offset = {float(q.x - p.x), float(q.y - p.y), float(q.z - p.z)};
            VecNormalise(offset);
        }
        offset = {offset.x * 1.2f * R, offset.y * 1.2f * R, offset.z * 1.2f * R};
    } else {
        MatRotateVector(owner->avatar->matrix, {0, -0.3f * R, -1.1f * R}, offset);
    }
    const Vec3 at = {float(p.x) + offset.x, float(p.y) + offset.y, float(p.z) + offset.z};
    P3DAddLightFlash(owner, owner->receiverId, &at, 150, 0xFFFFFF);
    if (gEffectObserver) gEffectObserver("flash", owner, 150);
}

ParticleSystem *SpawnParticleCloud(float cx, float cy, float cz, float rx, float ry, float rz, float exponent,
                                   int count, ParticleSystem *existing) {
    ParticleSystem *ps = existing ? existing : AllocParticleSystem(2, 0x40, 250, 1, 1.0f, 1, 1.0f);
    if (!ps) return nullptr;
    for (uint8_t &entry : ps->ramp) entry = 227;
    ps->count = int16_t(count < 0 ? 0 : count > 250 ? 250 : count);
    ps->position = {cx, cy, cz};
    ps->flags |= ParticleFlag::StaticCloud;
    for (int i = 0; i < ps->count; ++i) {
        Particle &p = ps->points[i];
        Vec3 d = {float(dunRand15() % 2000 - 1000) / 2000, float(dunRand15() % 2000 - 1000) / 2000,
                  float(dunRand15() % 2000 - 1000) / 2000};
        VecNormalise(d);
        double t = double(dunRand15() % 2000) / 2000;
        if (exponent > 1) t = std::pow(t, double(exponent));
        else if (exponent < 1) t = 1 - std::pow(t, double(-exponent));
        // Exponents between 0 and 1 give fractions below 0: those points sit
        // at the centre.
        if (!(t > 0)) t = 0;
        t = std::cbrt(t);
        p.pos = {cx + d.x * rx * float(t), cy + d.y * ry * float(t), cz + d.z * rz * float(t)};
        p.colour = 1;
        p.life = 1;
    }
    return ps;
}
