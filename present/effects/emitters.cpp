// The emitters that bring dead points of a particle system back to life:
// the standard cone, the shell, the stream between an owner and its goal,
// clusters, smoke puffs and their trails, and the owner-relative ring.
#include <cmath>

#include "RES/util.h"
#include "core/frame.h"
#include "present/effects/particles.h"
#include "world/records.h"
#include "world/wreck.h"

namespace {

constexpr float kPi = 3.1415f;

float Rand() { return float(dunRand15()); }

float OwnerRadius(const SceneItem *owner) {
    if (!owner) return 0;
    if (owner->sim) return owner->sim->radius;
    return owner->avatar && owner->avatar->root ? owner->avatar->root->radius : 0;
}

Vec3 OwnerPosition(const SceneItem *owner) {
    if (!owner || !owner->avatar) return {0, 0, 0};
    const Vec3d &p = owner->avatar->position;
    return {float(p.x), float(p.y), float(p.z)};
}

const TDP *OwnerRoot(const SceneItem *owner) { return owner && owner->avatar ? owner->avatar->root : nullptr; }

Vec3 Turned(const Mat4 &m, Vec3 v) {
    MatRotateVector(m, v, v);
    return v;
}

Vec3 Plus(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 Times(Vec3 a, float k) { return {a.x * k, a.y * k, a.z * k}; }

// The small and large point of the standard emitters, each half by a
// random bit.
void SmallOrLarge(Particle &p, uint16_t oddColour, uint16_t evenColour) {
    p.size = (dunRand15() & 1) ? 0.2f : 0.1f;
    p.colour = (dunRand15() & 1) ? oddColour : evenColour;
}

int16_t PointLife(int16_t particleLife) { return int16_t(particleLife / 2 + (dunRand15() % particleLife) / 2); }

// A random direction of components -500..499, normalised.
Vec3 RandomDirection() {
    Vec3 d = {float(dunRand15() % 1000 - 500), float(dunRand15() % 1000 - 500), float(dunRand15() % 1000 - 500)};
    VecNormalise(d);
    return d;
}

// The owner's parts that puffs start from, in turn (particle parts are no
// start of smoke).
const TDP *NextPart(const TDP *root, const TDP *part) {
    const TDP *n = part ? part->sibling : nullptr;
    while (n && (n->flags & TDPFlag::Particle)) n = n->sibling;
    if (n) return n;
    n = root ? root->child : nullptr;
    while (n && (n->flags & TDPFlag::Particle)) n = n->sibling;
    return n ? n : root;
}

}  // namespace

void ParticleEmit(TDP *tdp, ParticleSystem *ps, int n, const Mat4 *matrix) {
    if (ps->kind == 4) return ParticleEmitClusters(tdp, ps, n, matrix);
    if (ps->flags & ParticleFlag::Puffs) return ParticleEmitPuffs(tdp, ps, n, matrix);
    if (ps->flags & ParticleFlag::Shell) return ParticleEmitShell(tdp, ps, n, matrix);
    // A life of 0 (a script may ask for one) gives points that are dead at
    // birth: nothing is emitted.
    if (ps->particleLife <= 0 || n <= 0) return;
    const SceneItem *owner = tdp ? tdp->owner : nullptr;
    const Vec3 vo = ParticleOwnerVelocity(owner);
    const float r = (ps->flags & ParticleFlag::Sphere) ? ps->spread / 2 : 20.0f;
    const float c = ps->cone * kPi / 180;
    const float seconds = dunFrameSeconds;
    float bandLow = 0, bandHigh = 0;
    if (ps->flags & ParticleFlag::HullBand) {
        const float R = OwnerRadius(owner);
        if (ps->flags & ParticleFlag::HasLife) {
            const float centre = ps->initialLife ? 2 * R * (float(ps->life) / float(ps->initialLife) - 0.5f) : 0;
            bandLow = centre - R / 8;
            bandHigh = centre + R / 8;
        } else {
            bandLow = -R;
            bandHigh = R;
            if (!(owner && owner->avatar && (owner->avatar->flags & AvatarFlag::PlanetBody))) {
                ps->life = ps->initialLife = 100;
                ps->flags |= ParticleFlag::HasLife;
            }
        }
    }
    const Mat4 identity = [] {
        Mat4 m;
        return MatIdentity(m);
    }();
    const Mat4 &ownerMatrix = owner && owner->avatar ? owner->avatar->matrix : identity;
    for (int i = ps->count - 1; i >= 0 && n > 0; --i) {
        Particle &p = ps->points[i];
        if (p.life > 0) continue;
        --n;
        const float s = ps->speed * (0.75f + Rand() / 65536);
        const float a = Rand() * 2 * kPi / 32767 - kPi;
        const float e = Rand() * c / 32767 - c / 2 + kPi / 2;
        const float ca = std::cos(a), sa = std::sin(a), ce = std::cos(e), se = std::sin(e);
        p.vel = {ca * ce * s, sa * ce * s, -se * s};
        if (ps->flags & ParticleFlag::Sphere) {
            p.pos = Plus(ps->position, {ca * ce * r, sa * ce * r, -se * r});
        } else if (ps->flags & ParticleFlag::HullVertices) {
            Vec3 v{};
            gHullVertexCursor = dunNextUnusedHullVertex(&v, OwnerRoot(owner), gHullVertexCursor);
            p.pos = Plus(Turned(ownerMatrix, v), ps->position);
        } else if (ps->flags & ParticleFlag::HullBand) {
            Vec3 v{};
            dunRandomHullVertex(&v, OwnerRoot(owner), -1, bandLow, bandHigh);
            p.vel = {v.x, v.y, 0};
            p.pos = Plus(Turned(ownerMatrix, v), ps->position);
        } else {
            p.pos = ps->position;
        }
        if (matrix) p.vel = Turned(*matrix, p.vel);
        if (!(ps->flags & ParticleFlag::Sphere)) {
            p.pos.x -= p.vel.x * (Rand() / 32767) * seconds;
            p.pos.y -= p.vel.y * (Rand() / 32767) * seconds;
            p.pos.z -= p.vel.z * (Rand() / 32767) * seconds;
        }
        if (!(ps->flags & ParticleFlag::NoOwnerVelocity)) p.vel = Plus(p.vel, vo);
        p.life = PointLife(ps->particleLife);
        p.shade = 32;
        SmallOrLarge(p, 78, 75);
        // A new point has no earlier place on the screen to streak from.
        p.local = {0, 0, 0};
    }
}

void ParticleEmitShell(TDP *tdp, ParticleSystem *ps, int n, const Mat4 *matrix) {
    if (ps->particleLife <= 0 || n <= 0) return;
    const SceneItem *owner = tdp ? tdp->owner : nullptr;
    const Vec3 vo = ParticleOwnerVelocity(owner);
    const float R = OwnerRadius(owner);
    const float c = ps->cone * kPi / 180;
    for (int i = ps->count - 1; i >= 0 && n > 0; --i) {
        Particle &p = ps->points[i];
        if (p.life > 0) continue;
        --n;
        (void)Rand();  // the speed draw of the standard emitter, unused
        const float a = Rand() * 2 * kPi / 32767 - kPi;
        const float e = Rand() * c / 32767 - c / 2 + kPi / 2;
        const float ca = std::cos(a), sa = std::sin(a), ce = std::cos(e), se = std::sin(e);
        p.vel = {-sa * ce * R, ca * ce * R, 0};
        p.pos = Plus(ps->position, {ca * ce * R, sa * ce * R, -se * R});
        if (matrix) p.vel = Turned(*matrix, p.vel);
        if (!(ps->flags & ParticleFlag::NoOwnerVelocity)) p.vel = Plus(p.vel, vo);
        p.life = PointLife(ps->particleLife);
        p.shade = 32;
        SmallOrLarge(p, 78, 75);
        p.local = {0, 0, 0};
    }
}

void ParticleFillRing(TDP *tdp, ParticleSystem *ps, int, const Mat4 *) {
    const float R = OwnerRadius(tdp ? tdp->owner : nullptr);
    ps->count = 201;
    for (int i = 0; i < 100; ++i) {
        const float t = float(i) * 2 * 3.14159265359f / 100;
        const float c = std::cos(t), s = std::sin(t);
        Particle &inner = ps->points[1 + i];
        Particle &outer = ps->points[101 + i];
        inner.local = {c * R, 0, s * R};
        outer.local = {c * (R + 3000), 0, s * (R + 3000)};
        inner.life = outer.life = 100;
        SmallOrLarge(inner, 75, 78);
        SmallOrLarge(outer, 75, 78);
    }
}

void ParticleEmitStream(TDP *tdp, ParticleSystem *ps, int n, const Mat4 *) {
    const SceneItem *owner = tdp ? tdp->owner : nullptr;
    const SceneItem *goal = owner && owner->sim ? owner->sim->goal : nullptr;
    if (!goal || !goal->avatar || ps->particleLife <= 0 || n <= 0) return;
    const Vec3 from = OwnerPosition(owner), to = OwnerPosition(goal);
    Vec3 d = {to.x - from.x, to.y - from.y, to.z - from.z};
    const float L = VecNormalise(d);
    const float k = float(dunRand15() % 50 + 75) * L / float(ps->particleLife);
    const float seconds = dunFrameSeconds;
    for (int i = ps->count - 1; i >= 0 && n > 0; --i) {
        Particle &p = ps->points[i];
        if (p.life > 0) continue;
        --n;
        const bool atGoal = dunRand15() & 1;
        Vec3 offsets;
        offsets.x = float((dunRand15() % 100 - 50) * 60);
        offsets.y = float((dunRand15() % 100 - 50) * 60);
        offsets.z = float((dunRand15() % 100 - 50) * 60);
        p.pos = Plus(atGoal ? to : from, offsets);
        p.vel = Times(d, atGoal ? -k : k);
        p.pos.x += p.vel.x * (Rand() / 32767) * seconds;
        p.pos.y += p.vel.y * (Rand() / 32767) * seconds;
        p.pos.z += p.vel.z * (Rand() / 32767) * seconds;
        p.life = PointLife(ps->particleLife);
        p.colour = (dunRand15() & 1) ? 0 : 7;
        p.shade = 7;
        p.local = {0, 0, 0};
    }
}

void ParticleEmitClusters(TDP *tdp, ParticleSystem *ps, int n, const Mat4 *) {
    if (n < 3) return;
    const SceneItem *owner = tdp ? tdp->owner : nullptr;
    const Vec3 vo = ParticleOwnerVelocity(owner);
    const float r = (ps->flags & ParticleFlag::Sphere) ? ps->spread / 2 : 20.0f;
    int i = ps->count - 1;
    while (i >= 0 && n > 2) {
        // A run of adjacent dead points from the top, up to 7.
        int run[7];
        int length = 0;
        while (i >= 0 && length < 7 && ps->points[i].life <= 0) run[length++] = i--;
        if (length < 7 && i >= 0) --i;  // the live point that ended the run
        if (length < 5) continue;
        const Vec3 dir = {float(dunRand15() % 1000 - 500), float(dunRand15() % 1000 - 500),
                          float(dunRand15() % 1000 - 500)};
        const Vec3 start = Plus(ps->position, Times(dir, r));
        const Vec3 grow = Times(dir, ps->speed / 3 / 100);
        Vec3 v = {0, 0, 0};
        for (int k = 2; k < length; ++k) {
            Particle &p = ps->points[run[k]];
            p.pos = start;
            p.vel = (ps->flags & ParticleFlag::NoOwnerVelocity) ? v : Plus(v, vo);
            v.x += float(dunRand15() % 100) * grow.x;
            v.y += float(dunRand15() % 100) * grow.y;
            v.z += float(dunRand15() % 100) * grow.z;
            p.life = ps->particleLife;
            p.shade = 32;
            p.size = (dunRand15() & 1) ? 0.2f : 0.1f;
            p.colour = 71;
            p.local = {0, 0, 0};
            --n;
        }
    }
}

void ParticleEmitPuffs(TDP *, ParticleSystem *ps, int n, const Mat4 *) {
    if (ps->flags & ParticleFlag::Drag) return;
    const int16_t pl = ps->particleLife;
    if (pl <= 0) return;
    int parent = -1;
    for (int i = ps->count - 1; i >= 0; --i) {
        Particle &p = ps->points[i];
        if (p.life > 2 * pl) {
            parent = i;
            continue;
        }
        if (p.life * 4 < pl) p.local.y = 0;
        if (p.life > 1 || parent < 0 || n <= 0) continue;
        --n;
        const Particle &from = ps->points[parent];
        p.size = from.size * float(1 + dunRand15() % 4);
        p.colour = dunRand15() % 100 < 16 ? 8 : 14;
        const float k = float(50 + dunRand15() % 70) / 100;
        Vec3 jitter;
        jitter.x = float(dunRand15() % 200 - 100) * ps->speed / 1000;
        jitter.y = float(dunRand15() % 200 - 100) * ps->speed / 1000;
        jitter.z = float(dunRand15() % 200 - 100) * ps->speed / 1000;
        p.vel = Plus(Times(from.vel, k), jitter);
        p.pos = Plus(from.pos, Times(jitter, 0.25f));
        p.local = {0, float(parent), 0};
        p.life = int16_t(int32_t(pl) * (50 + dunRand15() % 70) / 100);
        p.shade = 32;
    }
}

void ParticleFillPuffs(TDP *tdp, ParticleSystem *ps, int n, const Mat4 *) {
    if (ps->flags & ParticleFlag::Drag) return ParticleFillPuffTrail(tdp, ps, n, nullptr);
    const SceneItem *owner = tdp ? tdp->owner : nullptr;
    const TDP *root = OwnerRoot(owner);
    const Vec3 vo = ParticleOwnerVelocity(owner);
    Mat4 ownerMatrix;
    if (owner && owner->avatar) ownerMatrix = owner->avatar->matrix;
    else MatIdentity(ownerMatrix);
    float size = OwnerRadius(owner) / 150000;
    if (size < 0.1f) size = 0.1f;
    const float factor = float(500 + dunRand15() % 1000) / 1000;
    const TDP *part = root;
    int count = n < ps->count ? n : ps->count;
    for (int i = count - 1; i >= 0;) {
        Particle &p = ps->points[i];
        const Vec3 start = part ? part->offset : Vec3{0, 0, 0};
        part = NextPart(root, part);
        const float f = dunRand15() % 100 < 15 ? 2 * factor : factor;
        Vec3 v = Times(RandomDirection(), f * ps->speed);
        v = Turned(ownerMatrix, v);
        if (!(ps->flags & ParticleFlag::NoOwnerVelocity)) v = Plus(v, vo);
        p.vel = v;
        p.pos = Plus(Turned(ownerMatrix, start), ps->position);
        p.life = ps->life;
        p.shade = 32;
        p.size = size;
        p.colour = dunRand15() % 100 < 16 ? 8 : 14;
        p.local = {0, 0, 0};
        i -= 10 + dunRand15() % 6;
    }
}

void ParticleFillPuffTrail(TDP *tdp, ParticleSystem *ps, int n, const Mat4 *) {
    const SceneItem *owner = tdp ? tdp->owner : nullptr;
    const Vec3 velocity = owner && owner->sim ? owner->sim->velocity : Vec3{0, 0, 0};
    const float R = OwnerRadius(owner);
    const bool chain = ps->flags & ParticleFlag::Chain;
    const int count = n < ps->count ? n : ps->count;
    int i = 0;
    while (i < count) {
        const int m = chain ? count : 7 + dunRand15() % 6;
        const float reach = (R + ps->speed) * float(50 + (dunRand15() % 10) * (dunRand15() % 15)) / 100;
        const Vec3 dir = Times(RandomDirection(), reach);
        for (int j = 0; j < m && i < count; ++j, ++i) {
            Particle &p = ps->points[i];
            p.vel = Plus(Times(dir, float(j) / float(m)), velocity);
            p.pos = ps->position;
            p.colour = 13;
            p.shade = 32;
            p.local = {0, 0, 0};
            if (chain) {
                p.life = int16_t(int32_t(ps->life) * j / m);
                p.size = 0.3f;
            } else {
                p.life = int16_t(float(ps->life) * (float(j) / float(m) / 2 + 0.5f));
                float size = R / 150000 * float(50 + dunRand15() % 100) / 100;
                p.size = size < 0.05f ? 0.05f : size;
            }
        }
    }
}
