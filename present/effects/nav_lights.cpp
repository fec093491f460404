// Navigation lights: the presets by shape kind, single lights from the world
// and the script, the bolt trail, and the per-frame placing, blinking and
// fading of the lights.
#include "present/effects/nav_lights.h"

#include <cstring>

#include "RES/util.h"
#include "core/frame.h"
#include "core/options.h"
#include "present/effects.h"
#include "present/effects/particles.h"
#include "present/frame_passes.h"
#include "world/records.h"

uint16_t gNavPhaseBase;
int32_t gGuiViewModeToggle;

namespace {

struct PresetLight {
    float x, y, z, size;
    uint16_t colour;
    int16_t on, off;
};

constexpr PresetLight kKind10[] = {{0, 0, -6.5f, 0.35f, 6, 2, 2}};
constexpr PresetLight kSimple[] = {{0, 0, -4, 0.35f, 9, 0, 2}};
constexpr PresetLight kKind11[] = {
    {0, 0, 0, 0, 5, 0, 1}, {0, 0, -32, 0.3f, 5, 80, 0}, {0, 0, -32, 0.9f, 1, 0, 2}, {0, 0, 31, 0.25f, 6, 25, 25}};
constexpr PresetLight kKind2[] = {{0, 0, 0, 0, 5, 0, 1},           {-6.1f, 0, -15, 0.4f, 4, 80, 0},
                                  {6.1f, 0, -15, 0.4f, 4, 80, 0},  {0, 0, -15.5f, 0.4f, 6, 0, 2},
                                  {-12, 0, -4, 0.25f, 4, 10, 75},  {12, 0, -4, 0.25f, 2, 10, 75}};
constexpr PresetLight kLarge[] = {
    {0, 0, 0, 0, 5, 0, 1},
    {-6.1f, 0, -88, 0.4f, 4, 80, 0},
    {6.1f, 0, -88, 0.4f, 4, 80, 0},
    {0, 0, -89, 1.1f, 6, 0, 2},
    {-66.2f, -7.5f, -9.7f, 0.25f, 4, 10, 75},
    {-65.1f, 6.4f, 8.2f, 0.25f, 4, 10, 75},
    {-65.2f, 6.4f, -9.7f, 0.25f, 4, 10, 75},
    {-66.3f, -7.5f, 8.3f, 0.25f, 4, 10, 75},
    {65.5f, 6.5f, 8.2f, 0.25f, 2, 10, 75},
    {65.3f, 6.5f, -9.45f, 0.25f, 2, 10, 75},
    {66.55f, -7.7f, 7.7f, 0.25f, 2, 10, 75},
    {66.55f, -7.6f, -9.45f, 0.25f, 2, 10, 75},
};

ParticleSystem *NewSystem(SceneItem *owner, int kind, uint32_t flags) {
    return ParticleSystemOf(CreateParticleSystem(owner, nullptr, kind, flags, 1, 1, 1, 1.0f, 0, 1.0f));
}

// Writes a preset from point 0 on. The first light of a full preset is a
// steady mask-1 light; its mode is 0, never the random phase base: a base
// of 1 would make it a countdown light that leaves at once and moves every
// later light down, so that point 0 would no longer be the light that gun
// flashes use.
void WritePreset(SceneItem *owner, const PresetLight *lights, int n, bool drawBase) {
    ParticleSystem *ps = NewSystem(owner, 0, ParticleFlag::NavLights);
    if (!ps) return;
    if (drawBase) gNavPhaseBase = uint16_t(dunRand15() % 90);
    for (int i = 0; i < n; ++i) {
        const PresetLight &l = lights[i];
        ParticleInit(&ps->points[i], l.x, l.y, l.z, l.size, l.colour, l.on, l.off);
    }
    if (n > 1) ps->points[0].blink.phase = 0;
    ps->count = int16_t(n);
}

bool MaskLit(const SceneItem *owner, const Particle &p) {
    const uint32_t mask = owner && owner->avatar ? owner->avatar->lightMask : 0;
    return (mask & uint16_t(p.blink.cycleTicks)) != 0;
}

}  // namespace

void ParticleInit(Particle *p, float x, float y, float z, float size, uint16_t colour, int16_t on, int16_t off) {
    p->local = {x * 100, y * 100, z * 100};
    p->life = 1;
    p->size = size;
    p->colour = colour;
    p->blink.phase = gNavPhaseBase;
    p->blink.onTicks = on;
    p->blink.cycleTicks = int16_t(on + off);
    p->shade = 15;
}

ParticleSystem *NavLightSystem(const SceneItem *owner) {
    const TDP *root = owner && owner->avatar ? owner->avatar->root : nullptr;
    for (const TDP *t = root ? root->child : nullptr; t; t = t->sibling) {
        ParticleSystem *ps = ParticleSystemOf(t);
        if (ps && (ps->flags & ParticleFlag::NavLights) && !(ps->flags & ParticleFlag::Ring)) return ps;
    }
    return nullptr;
}

void AddNavLight(SceneItem *owner, const Vec3 *offset, float size, int32_t colourBits, int on, int off, int phase) {
    if (optNoNavLights || !owner || !owner->avatar || !offset) return;
    const bool linked = colourBits & 0x100;
    if (linked && !CardMode) return;
    ParticleSystem *ps = NavLightSystem(owner);
    if (ps && ps->count >= kNavLightLimit) return;
    if (!ps) {
        gNavPhaseBase = uint16_t(dunRand15() % 90);
        ps = NewSystem(owner, ParticleKind::Geometry, ParticleFlag::NavLights);
        if (!ps) return;
        Particle &glow = ps->points[0];
        ParticleInit(&glow, 0, 0, 0, 0, 5, 0, 1);
        glow.blink.phase = kNavEngineGlow;
        glow.blink.cycleTicks = 2048;
        ps->count = 1;
    }
    const int index = ps->count;
    Particle &p = ps->points[index];
    p.link = 0;
    p.local = {offset->x * 100, offset->y * 100, offset->z * 100};
    p.life = 1;
    p.size = size;
    uint32_t v = uint32_t(colourBits);
    if (colourBits >= 7 && colourBits <= 15) v |= 0x40;
    p.colour = uint16_t(v & 0xFEFF);
    p.blink.phase = uint16_t(phase + gNavPhaseBase);
    p.blink.onTicks = int16_t(on);
    p.blink.cycleTicks = int16_t(on + off);
    if (on == 0 || off == 0) {
        p.blink.phase = 0;
        p.blink.onTicks = 0;
        p.blink.cycleTicks = int16_t(ps->count == 0 ? 2048 : 1024);
    }
    if (linked && index > 0) {
        Particle &previous = ps->points[index - 1];
        previous.link = uint32_t(index);
        if (previous.blink.onTicks == 0) {
            previous.blink.cycleTicks = int16_t(uint32_t(colourBits) >> 9);
            p.colour = previous.colour;
        }
    }
    p.shade = 15;
    ++ps->count;
}

void AddNavLights(SceneItem *owner, int kind) {
    if (!owner || !owner->avatar) return;
    switch (kind) {
    case 10: WritePreset(owner, kKind10, 1, false); break;
    case 11: WritePreset(owner, kKind11, 4, true); break;
    case 2: WritePreset(owner, kKind2, 6, true); break;
    default: WritePreset(owner, kLarge, 12, true); break;
    }
}

void AddNavLightSimple(SceneItem *owner) {
    if (owner && owner->avatar) WritePreset(owner, kSimple, 1, false);
}

void RemoveNavLight(TDP *tdp, int16_t index) {
    ParticleSystem *ps = ParticleSystemOf(tdp);
    if (!ps || index < 0 || index >= ps->count) return;
    --ps->count;
    std::memmove(&ps->points[index], &ps->points[index + 1], sizeof(Particle) * size_t(ps->count - index));
}

TDP *ParticlePresetBoltTrail(SceneItem *round, uint16_t colour) {
    if (!round || !round->avatar) return nullptr;
    gNavPhaseBase = 0;
    TDP *tdp = CreateParticleSystem(round, nullptr, 0, ParticleFlag::NoBlend | ParticleFlag::NavLights, 1, 1, 1, 1.0f,
                                    0, 1.0f);
    ParticleSystem *ps = ParticleSystemOf(tdp);
    if (!ps) return nullptr;
    ps->count = 30;
    for (int i = 0; i < 30; ++i) {
        const float x = float(dunRand15()) / 32768 * 2 - 1;
        const float y = float(dunRand15()) / 32768 * 2 - 1;
        ParticleInit(&ps->points[i], x, y, -0.005f + float(i) * 0.01f / 30, 0.95f, colour, 5000, 2);
    }
    return tdp;
}

void NavLightUpdate(TDP *tdp, Mat4 *world) {
    ParticleSystem *ps = ParticleSystemOf(tdp);
    if (!ps || !world) return;
    if (gGuiViewModeToggle || dunFrozen) {
        ps->flags &= ~ParticleFlag::NavGeometryDone;
        return;
    }
    auto place = [world](const Vec3 &local) {
        Vec3 at;
        MatRotateVector(*world, local, at);
        return Vec3{at.x + world->m[12], at.y + world->m[13], at.z + world->m[14]};
    };
    if (ps->flags & ParticleFlag::Ring) {
        for (int i = 0; i < ps->count; ++i) {
            Particle &p = ps->points[i];
            p.pos = place(p.local);
            p.life = 1;
            p.shade = 32;
        }
        return;
    }
    const SceneItem *owner = tdp->owner;
    const bool card = ps->kind == ParticleKind::Geometry;
    const int step = dunFrameStep;
    bool changed = false;
    for (int i = 0; i < ps->count; ++i) {
        Particle &p = ps->points[i];
        p.pos = card ? p.local : place(p.local);
        const int16_t wasLit = p.life;
        NavBlink &b = p.blink;
        if (b.onTicks != 0) {
            int t = int(b.phase) + step;
            if (t > b.onTicks) p.life = 0;
            if (t > b.cycleTicks) {
                p.life = 1;
                t -= b.cycleTicks;
            }
            b.phase = uint16_t(t);
        } else if (b.phase == kNavCountdown) {
            if (b.cycleTicks < 1) {
                RemoveNavLight(tdp, int16_t(i));
                --i;
                changed = true;
                continue;
            }
            b.cycleTicks = int16_t(b.cycleTicks - step);
            p.shade = 32;
        } else if (b.phase == kNavEngineGlow) {
            p.life = MaskLit(owner, p) ? 1 : 0;
            const int32_t level =
                owner && owner->avatar ? int32_t(int64_t(owner->avatar->lightLevel) * owner->avatar->lightPercent / 100)
                                       : 0;
            p.shade = uint16_t(level);
            p.size = float(level) / 50;
            changed = true;
        } else if (b.cycleTicks != 0) {
            const bool on = MaskLit(owner, p);
            if (!card) {
                const int level = p.shade & 127;
                if (on) {
                    p.shade = uint16_t((level | 1) * 2);
                    p.life = 1;
                } else {
                    p.shade = uint16_t(level >> 1);
                    p.life = p.shade != 0 ? 1 : 0;
                }
            } else {
                int level = int16_t(p.shade);
                if (on) level = level >= 100 ? 100 : level + 20;
                else level = level < 0 ? 0 : level - 20;
                p.shade = uint16_t(level);
                p.life = level >= 1 ? 1 : 0;
            }
        }
        if (p.life != wasLit) changed = true;
    }
    if (changed) ps->flags &= ~ParticleFlag::NavGeometryDone;
}
