// Particle systems: taking a pool slot, hanging the system on its owner's
// part tree, the per-frame update of software systems with the standard
// mover, and the palette colour ramps.
#include <cstring>

#include "RES/gfx2d.h"
#include "RES/util.h"
#include "core/frame.h"
#include "core/options.h"
#include "platform/display.h"
#include "present/effects/particle_draw.h"
#include "present/effects/particles.h"
#include "present/frame_passes.h"
#include "present/scene.h"
#include "world/handle.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/records.h"

float flareChance = 5.0f;
uint16_t gHullVertexCursor;

namespace {

constexpr int kExtraFloats = 5;  // flare size, two angles, their two rates

// The yellow ramp every streak system starts with: (255, 255, 0) at entry 0
// towards (15, 15, 0).
void YellowRamp(ParticleSystem *ps) { BuildColourRamp(nullptr, ps->ramp, 15, 15, 0, 255, 255, 0); }

int16_t Saturate(int32_t v) { return int16_t(v < -32768 ? -32768 : v > 32767 ? 32767 : v); }

void CountDown(ParticleSystem *ps) {
    ps->life = Saturate(int32_t(ps->life) - dunFrameStep);
    if (ps->life < 0) ps->active = 0;
}

void FlareExtras(ParticleSystem *ps) {
    auto *extras = static_cast<float *>(dunAlloc(size_t(ps->count) * kExtraFloats * sizeof(float)));
    ps->extras = extras;
    if (!extras) return;
    std::memset(extras, 0, size_t(ps->count) * kExtraFloats * sizeof(float));
    for (int i = 0; i < ps->count; ++i) {
        float *e = extras + i * kExtraFloats;
        if (float(dunRand15() % 100) >= flareChance) continue;
        e[0] = float(200 + dunRand15() % 800);
        e[1] = float(dunRand15() % 180 - 90);
        e[2] = float(dunRand15() % 180 - 90);
        e[3] = float(dunRand15() % 2000 - 1000) / 100;
        e[4] = float(dunRand15() % 2000 - 1000) / 100;
    }
}

const uint8_t *Palette() { return CurrentPalette ? CurrentPalette : LastPalette; }

}  // namespace

ParticleSystem *ParticleSystemOf(const TDP *tdp) {
    return tdp && (tdp->flags & TDPFlag::Particle) ? static_cast<ParticleSystem *>(tdp->particleOrMaterial) : nullptr;
}

ParticleSystem *AllocParticleSystem(int16_t kind, uint32_t flags, int16_t count, int16_t particleLife, float speed,
                                    int32_t rate, float cone) {
    const bool navLights = (flags & ParticleFlag::NavLights) && !(flags & ParticleFlag::Ring);
    ParticleSystem *ps = navLights ? dunAllocSmallParticleSystem() : dunAllocLargeParticleSystem();
    if (!ps) return nullptr;
    const int capacity = dunParticleCapacity(ps);
    ps->count = int16_t(count < 0 ? 0 : count > capacity ? capacity : count);
    ps->flags |= flags;
    ps->kind = kind;
    ps->particleLife = particleLife;
    ps->speed = speed;
    ps->rate = rate;
    ps->owner = kNoHandle;
    ps->cone = cone;
    ps->active = 1;
    ps->lastFaceCount = 0;
    ps->spread = 0;
    ps->model = nullptr;
    ps->extras = nullptr;
    ps->frameStamp = 0;
    ps->ramp[0] = uint8_t(dunRand15() % 7 + 1);
    if (navLights) ps->count = 0;
    if (kind == ParticleKind::Streaks) YellowRamp(ps);
    return ps;
}

TDP *CreateParticleSystem(SceneItem *owner, const Mat4 *matrix, int kind, uint32_t flags, uint16_t life, int count,
                          int particleLife, float speed, int32_t rate, float cone) {
    if (!owner || !owner->avatar) return nullptr;
    if (!CardMode && kind == ParticleKind::Geometry) kind = ParticleKind::Sprites;
    else if (CardMode && kind == ParticleKind::Sprites) kind = ParticleKind::Geometry;
    ParticleSystem *ps =
        AllocParticleSystem(int16_t(kind), flags, Saturate(count), Saturate(particleLife), speed, rate, cone);
    if (!ps) return nullptr;
    ps->owner = dunHandleOf(owner);
    if (kind == ParticleKind::Geometry && (flags & ParticleFlag::Puffs)) FlareExtras(ps);
    Avatar *avatar = owner->avatar;
    TDP *tdp = avatar->root ? dunAppendTDP(avatar->root, nullptr, 0, 0, 0) : dunAttachTDP(owner);
    ps->life = ps->initialLife = Saturate(life);
    tdp->owner = owner;
    if (matrix) tdp->local = *matrix;
    else MatIdentity(tdp->local);
    tdp->particleOrMaterial = ps;
    tdp->flags = (tdp->flags | TDPFlag::HasActor | TDPFlag::Particle) & ~TDPFlag::Collidable;
    tdp->routine = TDPUpdateSoftParticles;
    if (kind != ParticleKind::Geometry) P3DAddToScene(tdp, ps, 1, 0);
    // What the set-up emits from lives where the part will be: the owner
    // placed by the part's matrix.
    Mat4 world = tdp->local;
    MatPreMultiply(world, avatar->matrix);
    const Vec3 at = {float(avatar->position.x) + world.m[12] - avatar->matrix.m[12],
                     float(avatar->position.y) + world.m[13] - avatar->matrix.m[13],
                     float(avatar->position.z) + world.m[14] - avatar->matrix.m[14]};
    if (flags & ParticleFlag::Ring) ParticleFillRing(tdp, ps, ps->count, &avatar->matrix);
    if (flags & ParticleFlag::OneShot) {
        ps->position = at;
        ParticleEmit(tdp, ps, ps->count, &world);
        ps->active = 0;
    }
    if (flags & ParticleFlag::Puffs) {
        ps->position = at;
        ParticleFillPuffs(tdp, ps, ps->count, &world);
    }
    if (flags & ParticleFlag::Swarm) ParticleFillSwarm(tdp, ps, ps->count, &world);
    if (kind == ParticleKind::Geometry) {
        P3DBuildParticleGeometry(ps, !(owner->sim && owner->sim->shipInfo));
        tdp->routine = TDPUpdateParticleSystem;
        tdp->model = ps->model;
        P3DAddToScene(tdp, ps->model, 2, 0);
        tdp->particleOrMaterial = ps;
        tdp->flags |= TDPFlag::HasActor;
    }
    return tdp;
}

void TDPUpdateSoftParticles(TDP *tdp, const Mat4 *world) {
    ParticleSystem *ps = ParticleSystemOf(tdp);
    if (!ps || ps->frameStamp == dunFrameCounter) return;
    ps->frameStamp = dunFrameCounter;
    ps->position = {world->m[12], world->m[13], world->m[14]};
    // Counted here and again by the mover: software systems with a life and
    // the mover live half as long as the 3D card's. An endless one is not
    // counted: it goes with its owner.
    if ((ps->flags & ParticleFlag::HasLife) && ps->life != kEndlessLife) CountDown(ps);
    if ((ps->flags & ParticleFlag::Mover) && ParticleSystemUpdate(tdp, ps, world) == -1) {
        RemoveParticleSystem(tdp);
        return;
    }
    if ((ps->flags & ParticleFlag::RingBurst) && ParticleRingBurstUpdate(tdp, ps, world)) {
        RemoveParticleSystem(tdp);
        return;
    }
    if (ps->flags & ParticleFlag::NavLights) NavLightUpdate(tdp, const_cast<Mat4 *>(world));
    if (ps->flags & ParticleFlag::Swarm) ParticleSwarmUpdate(tdp, ps, world);
}

int16_t ParticleSystemUpdate(TDP *tdp, ParticleSystem *ps, const Mat4 *matrix) {
    const int32_t step = dunFrameStep;
    // A sprite system has no rate of its own: each frame that time moves it
    // refills every dead point.
    int64_t n = ps->kind == ParticleKind::Sprites ? (step > 0 ? ps->count : 0) : int64_t(ps->rate) * step / 100;
    if (ps->flags & ParticleFlag::LifeScaled) n = ps->initialLife ? n * ps->life / ps->initialLife : 0;
    if (n < 0) n = 0;
    if (ps->active) {
        if (!(ps->flags & (ParticleFlag::Stream | ParticleFlag::Ring))) ParticleEmit(tdp, ps, int(n), matrix);
        else if (ps->flags & ParticleFlag::Stream) ParticleEmitStream(tdp, ps, int(n), matrix);
        else ParticleFillRing(tdp, ps, ps->count, matrix);
    }
    if ((ps->flags & ParticleFlag::HasLife) && ps->life != kEndlessLife) CountDown(ps);
    const float seconds = dunFrameSeconds;
    float m = seconds;
    if (ps->flags & ParticleFlag::Slowed) {
        const int q = ps->initialLife ? int(float(ps->life) / (2.0f * float(ps->initialLife))) : -1;
        m = q > -1 ? seconds * seconds * (4.0f / float(q + 1) + 0.5f) : seconds * seconds * 0.5f;
    }
    float g = 1;
    if ((ps->flags & ParticleFlag::Growing) && ps->initialLife) g = float(step / (ps->initialLife * 2.0) + 1);
    if (dunFrozen) return 0;
    int16_t result = -1;
    const SceneItem *owner = tdp ? tdp->owner : nullptr;
    const int count = ps->count;
    for (int i = 0; i < count; ++i) {
        Particle &p = ps->points[i];
        if (p.life <= 0) continue;
        result = 0;
        p.pos.x += p.vel.x * m;
        p.pos.y += p.vel.y * m;
        p.pos.z += p.vel.z * m;
        p.size *= g;
        const bool chain = ps->flags & ParticleFlag::Chain;
        if (!chain) p.life = Saturate(int32_t(p.life) - step);
        if (ps->kind == ParticleKind::Sprites && ps->particleLife)
            p.shade = uint16_t(p.life * 40 / ps->particleLife + 4);
        if (ps->kind == ParticleKind::Geometry && (ps->flags & ParticleFlag::Puffs) && p.life < 1) p.life = 1;
        if (!chain) {
            float f = ps->particleLife > 0 ? float(p.life) / float(ps->particleLife) : 1.0f;
            if (f > 1) f = 1;
            if (f < 1) {
                if (ps->flags & ParticleFlag::Drag) {
                    p.vel.x *= 1 - seconds;
                    p.vel.y *= 1 - seconds;
                    p.vel.z *= 1 - seconds;
                } else {
                    p.size *= (1 - f) * seconds + 1;
                }
            } else if (ps->flags & ParticleFlag::Drag) {
                p.vel.x *= 1 + 0.5f * seconds;
                p.vel.y *= 1 + 0.5f * seconds;
                p.vel.z *= 1 + 0.5f * seconds;
            }
        } else if (i + 1 < count && ps->points[i + 1].life > 0) {
            const Vec3 &next = ps->points[i + 1].pos;
            p.vel = {(next.x - p.pos.x) * 4, (next.y - p.pos.y) * 4, (next.z - p.pos.z) * 4};
        } else if (owner && owner->avatar) {
            const Mat4 &o = owner->avatar->matrix;
            p.pos = {float(owner->avatar->position.x) - o.m[8] * 1000, float(owner->avatar->position.y) - o.m[9] * 1000,
                     float(owner->avatar->position.z) - o.m[10] * 1000};
        }
    }
    return result;
}

Vec3 ParticleOwnerVelocity(const SceneItem *owner) {
    const Sim *s = owner ? owner->sim : nullptr;
    if (!s) return {0, 0, 0};
    Vec3 v = s->velocity;
    if (s->flags & SimFlag::Lds) {
        v.x += s->matrix.m[8] * s->speed;
        v.y += s->matrix.m[9] * s->speed;
        v.z += s->matrix.m[10] * s->speed;
    }
    return v;
}

namespace {

// The inverse palette, filled a cell at a time as ramps ask for them: the
// nearest palette colour (by squared distance) to the cell's low corner.
struct InversePalette {
    uint8_t madeFrom[1024];
    bool valid = false;
    uint8_t table[65536];
    uint8_t known[65536 / 8];

    // False without a palette; forgets every cell when the palette changed.
    bool Current() {
        const uint8_t *palette = Palette();
        if (!palette) return false;
        if (valid && std::memcmp(madeFrom, palette, sizeof madeFrom) == 0) return true;
        std::memcpy(madeFrom, palette, sizeof madeFrom);
        std::memset(known, 0, sizeof known);
        valid = true;
        return true;
    }
    uint8_t At(unsigned cell) {
        if (known[cell >> 3] & (1u << (cell & 7))) return table[cell];
        const int r = int((cell >> 11) << 3), g = int(((cell >> 6) & 31) << 3), b = int((cell & 63) << 2);
        int best = 0, bestDistance = 1 << 30;
        for (int c = 0; c < 256 && bestDistance > 0; ++c) {
            const int dr = r - madeFrom[4 * c], dg = g - madeFrom[4 * c + 1], db = b - madeFrom[4 * c + 2];
            const int d = dr * dr + dg * dg + db * db;
            if (d < bestDistance) {
                bestDistance = d;
                best = c;
            }
        }
        table[cell] = uint8_t(best);
        known[cell >> 3] = uint8_t(known[cell >> 3] | (1u << (cell & 7)));
        return table[cell];
    }
};
InversePalette gInverse;

uint8_t Lookup(const uint8_t *table, int r, int g, int b) {
    const unsigned cell = ColourCubeIndex(unsigned(r) & 0xFF, unsigned(g) & 0xFF, unsigned(b) & 0xFF);
    return table ? table[cell] : gInverse.At(cell);
}

}  // namespace

void BuildColourRamp(const uint8_t *table, uint8_t *ramp, int r0, int g0, int b0, int r1, int g1, int b1) {
    if ((!table && !gInverse.Current()) || !ramp) return;
    for (int i = 0; i < 32; ++i)
        ramp[i] = Lookup(table, r1 + (r0 - r1) * i / 32, g1 + (g0 - g1) * i / 32, b1 + (b0 - b1) * i / 32);
}

void BuildColourRamp5(const uint8_t *table, uint8_t *ramp, const int colours[5][3]) {
    if ((!table && !gInverse.Current()) || !ramp) return;
    for (int k = 0; k < 4; ++k)
        for (int i = 0; i < 8; ++i) {
            int c[3];
            for (int j = 0; j < 3; ++j) c[j] = colours[k][j] + (colours[k + 1][j] - colours[k][j]) * i / 8;
            ramp[8 * k + i] = Lookup(table, c[0], c[1], c[2]);
        }
}

const uint8_t *ParticleInverseTable() {
    if (!gInverse.Current()) return nullptr;
    for (unsigned cell = 0; cell < 65536; ++cell) gInverse.At(cell);
    return gInverse.table;
}

void ParticleResetState() {
    gHullVertexCursor = 0;
    flareChance = 5.0f;
}
