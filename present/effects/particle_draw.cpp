// The software particle pass: every system hung on the scene's objects is
// drawn into the view after the objects, as shaded sprites, streaks from
// each point's last place on the screen, or filled triangles, each tested
// against the view's depth buffer. The stand-in model the systems show in
// the scene projects their points while the scene renders.
#include <cmath>
#include <cstring>

#include "RES/gfx2d.h"
#include "core/options.h"
#include "platform/display.h"
#include "present/effects/particle_draw.h"
#include "present/effects/effect_models.h"
#include "present/effects/nav_lights.h"
#include "present/effects/particles.h"
#include "present/frame_passes.h"
#include "present/p3d.h"
#include "present/sky/flares.h"
#include "present/sky/sky.h"
#include "present/sky/stars.h"
#include "render/front/front.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"
#include "world/objlist.h"
#include "world/records.h"

uint32_t gParticleFillCounter;

namespace {

vt_model *gDummy;

constexpr float kSpriteMax = 5000;

// Where the view's colour and depth targets put a projected point on the
// screen, and the depth the scene left there.
struct Target {
    int baseX = 0, baseY = 0, width = 0, height = 0;
    const vt_pixelmap *depth = nullptr;
    ClipRect clip = {0, 0, 0, 0};
    const uint8_t *palette = nullptr;
    bool wide = false;  // 16-bit display

    bool Inside(float sx, float sy) const { return sx >= 0 && sy >= 0 && sx < float(width) && sy < float(height); }
    // The stored depth at a target pixel; the 3D card's buffer is not read.
    uint32_t Stored(int x, int y) const {
        if (CardMode || !depth || !depth->pixels) return 0xFFFF;
        const auto *row = static_cast<const uint8_t *>(depth->pixels) + ptrdiff_t(depth->base_y + y) * depth->row_bytes;
        uint16_t v;
        std::memcpy(&v, row + 2 * ptrdiff_t(depth->base_x + x), 2);
        return v;
    }
};

Target CurrentTarget() {
    Target t;
    const vt_pixelmap *c = gP3D.colourTarget;
    if (c) {
        t.baseX = c->base_x;
        t.baseY = c->base_y;
        t.width = c->width;
        t.height = c->height;
    } else {
        t.width = ScreenSurface.width;
        t.height = ScreenSurface.height;
    }
    t.depth = gP3D.depthTarget;
    t.clip = {gP3D.viewRect[0], gP3D.viewRect[1], gP3D.viewRect[2], gP3D.viewRect[3]};
    if (t.clip.right <= t.clip.left || t.clip.bottom <= t.clip.top)
        t.clip = {int16_t(t.baseX), int16_t(t.baseY), int16_t(t.baseX + t.width - 1), int16_t(t.baseY + t.height - 1)};
    t.palette = CurrentPalette ? CurrentPalette : LastPalette;
    t.wide = SurfaceBytesPerPixel(&ScreenSurface) == 2;
    return t;
}

void PlotClipped(const Target &t, int x, int y, uint16_t colour) {
    if (x < t.clip.left || x > t.clip.right || y < t.clip.top || y > t.clip.bottom) return;
    if (x < 0 || y < 0 || x >= ScreenSurface.width || y >= ScreenSurface.height) return;
    std::memcpy(ScreenSurface.pixels + ptrdiff_t(y) * ScreenSurface.pitch + 2 * x, &colour, 2);
}

float CameraDepth(float screenZ) {
    const float d = gP3D.mainCamera ? VtZbScreenZToDepth(screenZ, gP3D.mainCamera) : 0;
    return std::fabs(d);
}

// The brightness of a streak after its length: a long one is dimmed, but
// never below the floor (nor brightened to it).
float Dimmed(float brightness, float length, float from, float floor) {
    if (length <= from) return brightness;
    const float dimmed = brightness * from / length;
    const float least = brightness < floor ? brightness : floor;
    return dimmed < least ? least : dimmed;
}

void DrawStreak(const Target &t, const ParticleSystem *ps, Particle &p, int step, int x, int y) {
    const bool had = p.local.z != 0;
    const float fromX = p.local.x, fromY = p.local.y;
    p.local = {float(x), float(y), 1};
    if (!had) return;
    int row;
    float brightness;
    if (ps->flags & ParticleFlag::OwnColour) {
        const int c = p.colour & 0xFF;
        row = ((c + 16) & 0xE0) - 16;
        brightness = float(c - row);
    } else {
        row = ((ps->ramp[step] + 16) & 0xE0) - 16;
        brightness = float(step) * 0.8f;
    }
    const float dx = float(x) - fromX, dy = float(y) - fromY;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (ps->flags & ParticleFlag::Stream) brightness = Dimmed(brightness, length, 16, 8);
    else if (!CardMode) brightness = Dimmed(brightness, length, 4, 4);
    if (length >= 40 || int(brightness) <= 0) return;
    const int colour = row + int(brightness);
    const int ax = t.baseX + x, ay = t.baseY + y;
    if (!t.wide) {
        DrawLineClipped(&ScreenSurface, t.baseX + int(fromX), t.baseY + int(fromY), ax, ay, colour & 0xFF, &t.clip);
        return;
    }
    PlotClipped(t, ax, ay, PaletteToRgb565(t.palette, unsigned(colour)));
}

}  // namespace

// Before a set-up has begun the library (a world run alone) there is no
// scene to hang systems on, and a model made then would outlive it.
vt_model *P3DParticleDummyModel() {
    if (gDummy) return gDummy;
    if (!VtSceneDbRoot()) return nullptr;
    vt_model *m = VtModelAllocate("particledummy", 8, 8);
    if (!m) return nullptr;
    // Never culled: the callback runs whenever the scene is drawn.
    m->flags |= 0x26 | VT_MODF_CUSTOM_BOUNDS;
    m->custom = reinterpret_cast<vt_model_custom_cbfn *>(P3DRenderParticleDummy);
    for (int k = 0; k < 3; ++k) {
        m->bounds.min.v[k] = -1e32f;
        m->bounds.max.v[k] = 1e32f;
    }
    m->radius = 1e32f;
    gDummy = VtModelAdd(m);
    // Without a scene database to keep it the model would be lost.
    if (!gDummy) VtModelFree(m);
    return gDummy;
}

void P3DRenderParticleDummy(vt_actor *actor, vt_model *, vt_material *, vt_order_table *, uint8_t, uint32_t) {
    const auto *tdp = actor ? static_cast<const TDP *>(actor->user) : nullptr;
    ParticleSystem *ps = ParticleSystemOf(tdp);
    if (!ps) return;
    for (int i = 0; i < ps->count; ++i) {
        Particle &p = ps->points[i];
        if (p.life <= 0) continue;
        vt_vector3 at = {{p.pos.x, p.pos.y, p.pos.z}}, screen{};
        if (VtModelPointToScreen(&screen, &at) & VT_OUTCODE_OUTSIDE) {
            p.screen.z = 0;
            continue;
        }
        p.screen = {screen.v[0], screen.v[1], screen.v[2]};
    }
}

void P3DParticlePass(int) { P3DRenderParticles(false); }

void P3DRenderParticles(bool sky) {
    gParticleFillCounter = 0;
    const uint32_t mask = sky ? (TDPFlag::SkyWorld | TDPFlag::Particle) : TDPFlag::Particle;
    SceneItem *head = dunSceneListHead();
    for (SceneItem *item = head->next; item && item != head; item = item->next)
        if ((item->flags & SceneFlag::InUse) && item->avatar && item->avatar->root)
            P3DDrawParticleTree(item->avatar->root, mask);
}

void P3DDrawParticleTree(TDP *tdp, uint32_t mask) {
    for (; tdp; tdp = tdp->sibling) {
        if ((tdp->flags & mask) == mask) P3DDrawParticleSystem(tdp);
        if (tdp->child) P3DDrawParticleTree(tdp->child, mask);
    }
}

void P3DDrawParticleSystem(TDP *tdp) {
    ParticleSystem *ps = ParticleSystemOf(tdp);
    if (!ps || (ps->flags & ParticleFlag::Hidden) || ps->kind == ParticleKind::Geometry) return;
    const SceneItem *owner = tdp->owner;
    bool skipBlinking = false;
    if (ps->flags & ParticleFlag::NavLights) {
        // A far object's blinking lights are too small to show. Far means
        // its actor shows the far model kept in the last slot; a shape
        // without one keeps its own model in every slot and is never far.
        const TDP *root = owner && owner->avatar ? owner->avatar->root : nullptr;
        const bool far = root && root->actor && root->savedModel[2] && root->savedModel[2] != root->savedModel[0] &&
                         root->actor->model == root->savedModel[2];
        const bool bolt = owner && owner->avatar && (owner->avatar->flags & AvatarFlag::LaunchedRound);
        skipBlinking = far && !bolt;
    }
    if (ps->flags & ParticleFlag::Ring) {
        P3DFillPolygon(ps);
        return;
    }
    const Target t = CurrentTarget();
    const bool cross = !(ps->flags & ParticleFlag::NoBlend);
    const float perspective = gP3D.projectionScale / 322;
    // The triangle fan's ring of three slots: a point, whether it passed.
    int slot[3][2] = {};
    bool valid[3] = {false, false, false};
    int next = 0;
    for (int i = ps->count - 1; i >= 0; --i) {
        Particle &p = ps->points[i];
        if (p.life <= 0 || (skipBlinking && p.blink.onTicks != 0)) continue;
        if (!(p.screen.y > 0 && p.screen.z > 0) || !t.Inside(p.screen.x, p.screen.y)) {
            p.local.z = 0;
            continue;
        }
        int step = ps->particleLife > 0 ? p.life * 54 / ps->particleLife : 31;
        if (step > 31) step = 31;
        if (step < 0) step = 0;
        const int x = int(p.screen.x), y = int(p.screen.y);
        const float stored = float(t.Stored(x, y));
        const float depth = p.screen.z + 32768;
        switch (ps->kind) {
        case ParticleKind::Sprites: {
            if (!(depth - 2 < stored)) break;
            const float d = CameraDepth(p.screen.z);
            float scale = d > 0 ? 1250000 / d * perspective : kSpriteMax;
            if (scale > kSpriteMax) scale = kSpriteMax;
            const float size = scale * p.size;
            DrawShadedSprite(&ScreenSurface, int16_t(p.shade), p.colour & 0xFF, 0, t.baseX + x, t.baseY + y,
                             int16_t(size < 32767 ? size : 32767), cross, &t.clip);
            gParticleFillCounter += uint32_t(scale * scale);
            break;
        }
        case ParticleKind::Triangles: {
            const bool pass = depth < stored;
            slot[next][0] = t.baseX + x;
            slot[next][1] = t.baseY + y;
            valid[next] = pass;
            next = (next + 1) % 3;
            if (valid[0] && valid[1] && valid[2])
                FillTriangleChecked(&ScreenSurface, slot[0][0], slot[0][1], slot[1][0], slot[1][1], slot[2][0],
                                    slot[2][1], 1, 15, 7, 4);
            break;
        }
        case ParticleKind::Streaks:
            if (depth < stored) DrawStreak(t, ps, p, step, x, y);
            else p.local.z = 0;
            break;
        default: break;
        }
    }
}

void P3DResetEffectState() {
    ParticleResetState();
    P3DForgetEffectModels();
    P3DResetStarState();
    P3DResetSkyState();
    gNavPhaseBase = 0;
    gDummy = nullptr;
    gParticleFillCounter = 0;
    // The lens flares' queue and batches, the light slots and the sun
    // light, and the unlit scroll start again with each set-up.
    gLightFx = LightEffects{};
    gSunPlaced = 0;
}
