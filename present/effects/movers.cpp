// The special movers of particle systems: the swarm of leaders and their
// followers round the owner, and the ring that sweeps along the owner's
// hull when a ship arrives or leaves.
#include <cmath>

#include "RES/util.h"
#include "core/frame.h"
#include "core/options.h"
#include "present/effects/particles.h"
#include "world/pools.h"
#include "world/records.h"

namespace {

constexpr float kSwarmRadius = 7000;

Vec3 OwnerPosition(const SceneItem *owner) {
    if (!owner || !owner->avatar) return {0, 0, 0};
    const Vec3d &p = owner->avatar->position;
    return {float(p.x), float(p.y), float(p.z)};
}

float Profile(float u) { return (0.5f - 2 * (u - 0.5f) * (u - 0.5f)) * 1.3f; }

}  // namespace

void ParticleFillSwarm(TDP *, ParticleSystem *ps, int n, const Mat4 *) {
    const int count = n < ps->count ? n : ps->count;
    for (int i = 0; i < count; ++i) {
        Particle &p = ps->points[i];
        p.size = i % 4 == 0 ? 1.0f : 0.25f;
        p.colour = 9;
        p.vel = {float(dunRand15() % 100 - 50), float(dunRand15() % 100 - 50), float(dunRand15() % 100 - 50)};
        p.local = {float(dunRand15() % 100 - 50), float(dunRand15() % 100 - 50), float(dunRand15() % 100 - 50)};
        p.life = 32;
        p.shade = 32;
    }
}

void ParticleSwarmUpdate(TDP *tdp, ParticleSystem *ps, const Mat4 *) {
    const Vec3 centre = OwnerPosition(tdp ? tdp->owner : nullptr);
    const float seconds = dunFrameSeconds;
    // Whole groups of four and one more: never past the slot's array.
    int limit = (ps->count + 3) / 4 * 4 + 4;
    const int capacity = dunParticleCapacity(ps);
    if (limit > capacity) limit = capacity;
    Vec3 previous{}, current{};
    for (int i = 0; i < limit; ++i) {
        Particle &p = ps->points[i];
        const int k = i % 4;
        if (k == 0) {
            previous = p.local;
            Vec3 across, along;
            VecCross(p.vel, p.local, across);
            VecCross(p.local, across, along);
            VecNormalise(along);
            p.vel = along;
            p.local.x += along.x * ps->speed * seconds;
            p.local.y += along.y * ps->speed * seconds;
            p.local.z += along.z * ps->speed * seconds;
            Vec3 d = p.local;
            if (VecNormalise(d) == 0) d = {0, 0, 1};
            p.local = {d.x * kSwarmRadius, d.y * kSwarmRadius, d.z * kSwarmRadius};
            current = p.local;
        } else {
            const float f = float(k) / 4;
            p.local = {previous.x + (current.x - previous.x) * f, previous.y + (current.y - previous.y) * f,
                       previous.z + (current.z - previous.z) * f};
        }
        p.pos = {p.local.x + centre.x, p.local.y + centre.y, p.local.z + centre.z};
    }
}

int ParticleRingBurstUpdate(TDP *tdp, ParticleSystem *ps, const Mat4 *matrix) {
    ps->life = int16_t(ps->life - dunFrameStep < -32768 ? -32768 : ps->life - dunFrameStep);
    if (ps->life < 1) return -1;
    float f = ps->initialLife ? float(ps->life) / float(ps->initialLife) : 0;
    if (ps->speed < 0) f = 1 - f;
    const SceneItem *owner = tdp ? tdp->owner : nullptr;
    const TDP *root = owner && owner->avatar ? owner->avatar->root : nullptr;
    const float radius = owner && owner->sim ? owner->sim->radius : root ? root->radius : 0;
    // Without a collision model the burst is a flat ring of the owner's size.
    Vec3 lo = {-radius, -radius, 0}, hi = {radius, radius, 0};
    if (root && root->collision) {
        lo = root->collision->boundsLower;
        hi = root->collision->boundsUpper;
    }
    const float Ex = std::fabs(lo.x) + std::fabs(hi.x), Ey = std::fabs(lo.y) + std::fabs(hi.y),
                Ez = std::fabs(lo.z) + std::fabs(hi.z);
    const float zf = Ez * f;
    const int64_t depthRange = int64_t(zf);
    const Vec3 at = OwnerPosition(owner);
    for (int i = 0; i < ps->count; ++i) {
        Particle &p = ps->points[i];
        const float angle = float(dunRand15() % 3600) / 10 * kDegToRadF;
        float z = zf, u = f;
        // A sweep not yet a unit deep (its start, a small or flat owner) puts
        // every point on its front.
        if (i >= ps->count / 3 && depthRange >= 1) {
            z = float(int64_t(dunRand15()) * 150 % depthRange);
            u = Ez > 0 ? z / Ez : f;
        }
        Vec3 local = {std::cos(angle) * Ex * Profile(u), std::sin(angle) * Ey * Profile(u), z + lo.z};
        if (ps->speed < 0) local.z = -local.z;
        if (!CardMode) {
            // Software points live in world coordinates: the ring turns
            // with its owner.
            if (matrix) MatRotateVector(*matrix, local, local);
            local = {local.x + at.x, local.y + at.y, local.z + at.z};
        }
        p.pos = local;
        p.size = radius / 10000;
        p.colour = 23;
        p.shade = 32;
        p.life = 10000;
    }
    ps->flags &= ~ParticleFlag::NavGeometryDone;
    return 0;
}
