// The sun's glare and its lens flares: the star model's render callback
// draws the glare and queues the sun as a flare source; after the objects
// the lens-flare pass reads five depth samples round each source and, while
// any is clear, throws six reflections along the line through the screen
// centre. On the 3D card the sprites are quads batched into three models;
// at 8 bits shaded sprites; at 16 bits added glows.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "RES/gfx2d.h"
#include "RES/util.h"
#include "RES/vecmath.h"
#include "core/options.h"
#include "platform/display.h"
#include "present/frame_passes.h"
#include "present/p3d.h"
#include "present/sky/flares.h"
#include "render/front/front.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"
#include "world/records.h"

LightEffects gLightFx;

const uint8_t kFlareTints[8][4] = {{127, 0, 0, 0},     {127, 40, 47, 255},  {127, 47, 255, 47},  {127, 47, 255, 255},
                                   {127, 255, 36, 47}, {127, 255, 47, 255}, {127, 255, 207, 47}, {127, 255, 255, 255}};
const float kFlareSpritePlaces[kFlareSpriteCount][2] = {{1.95f, 0.3f}, {0.5f, 0.5f}, {0.7f, 0.9f},
                                                        {0.85f, 0.3f}, {0.9f, 1.0f}, {1.6f, 0.7f}};

namespace {

constexpr int kGlareMinimum = 23, kFlareMinimum = 28, kFlareMaximum = 54;
constexpr uint8_t kReflectionBits[kFlareSpriteCount] = {0, 16, 22, 0, 16, 16};
constexpr float kSampleOffsets[5][2] = {{0, 0}, {0, 0.17f}, {0.17f, 0}, {0, -0.17f}, {-0.17f, 0}};
constexpr float kFlareDepth[kFlareBatches] = {9899990.0f, 100.0f, 100.0f};
// A depth sample within five steps of the cleared far value sees the sky.
constexpr uint32_t kClearDepth = 0xFFFF - 4;

// The depth under a screen point of the current view, or the far value
// outside the target.
uint32_t DepthAt(int sx, int sy) {
    vt_pixelmap *depth = CardMode ? gP3D.depth : gP3D.depthTarget;
    if (!depth || !depth->pixels) return 0xFFFF;
    const int tx = sx - gP3D.viewRect[0] + gP3D.viewRectInTarget[0];
    const int ty = sy - gP3D.viewRect[1] + gP3D.viewRectInTarget[1];
    if (tx < -depth->origin_x || ty < -depth->origin_y || tx >= depth->width - depth->origin_x ||
        ty >= depth->height - depth->origin_y)
        return 0xFFFF;
    return VtPixelmapPixelGet(depth, tx, ty) & 0xFFFF;
}

uint16_t Add565(uint16_t pixel, int r, int g, int b) {
    const int pr = std::min(31, (pixel >> 11) + r), pg = std::min(63, ((pixel >> 5) & 63) + g),
              pb = std::min(31, (pixel & 31) + b);
    return uint16_t(pr << 11 | pg << 5 | pb);
}

// A round glow added to the 16-bit screen: the tint, brightest at the
// centre, scaled by alpha.
void Glow16(int x, int y, int colour, int size, float alpha) {
    const Surface &s = ScreenSurface;
    if (!s.pixels || size <= 0) return;
    const uint8_t *tint = kFlareTints[colour & 7];
    const int radius = std::max(1, size / 2);
    const ClipRect &c = ViewClipRect;
    for (int dy = -radius; dy <= radius; ++dy) {
        const int py = y + dy;
        if (py < c.top || py > c.bottom || py < 0 || py >= s.height) continue;
        auto *row = reinterpret_cast<uint16_t *>(static_cast<uint8_t *>(s.pixels) + ptrdiff_t(py) * s.pitch);
        for (int dx = -radius; dx <= radius; ++dx) {
            const int px = x + dx;
            if (px < c.left || px > c.right || px < 0 || px >= s.width) continue;
            const float d = std::sqrt(float(dx * dx + dy * dy)) / float(radius);
            if (d >= 1) continue;
            const float k = alpha * (1 - d) * (1 - d);
            row[px] = Add565(row[px], int(tint[1] * k) >> 3, int(tint[2] * k) >> 2, int(tint[3] * k) >> 3);
        }
    }
}

void QueueQuad(int x, int y, int colour, int batch, int size, float alpha) {
    FlareBatch &b = gLightFx.batches[batch];
    if (!b.model || b.count >= kFlareBatchQuads) return;
    const int texture = (colour >> 3) & 3;
    vt_material *material = gP3D.effectMaterials[texture == 0 ? 0 : texture == 1 ? 1 : 2];
    const uint8_t *tint = kFlareTints[colour & 7];
    const int width = std::max<int>(1, ScreenSurface.width), height = ScreenSurface.height;
    const int scale = 64000 / width;
    const float cx = float((x - width / 2) * scale), cy = float((y - height / 2) * scale);
    const float r = float(size) * 50, z = kFlareDepth[batch];
    const float a = float(dunRand15() % 90) / 2;
    const int n = b.count * 4;
    static const float kCorner[4] = {0, 270, 180, 90};
    static const float kMap[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
    for (int k = 0; k < 4; ++k) {
        vt_vertex &v = b.model->vertices[n + k];
        v.p = vt_vector3{{cx + r * CosDeg(a + kCorner[k]), cy + r * SinDeg(a + kCorner[k]), z}};
        v.map = vt_vector2{{kMap[k][0], kMap[k][1]}};
        v.index = uint8_t(tint[0] * alpha);
        v.red = uint8_t(tint[1] * alpha);
        v.grn = uint8_t(tint[2] * alpha);
        v.blu = uint8_t(tint[3] * alpha);
    }
    vt_face *f = b.model->faces + b.count * 2;
    const uint16_t faces[2][3] = {{uint16_t(n), uint16_t(n + 1), uint16_t(n + 3)},
                                  {uint16_t(n + 3), uint16_t(n + 1), uint16_t(n + 2)}};
    for (int k = 0; k < 2; ++k) {
        std::memcpy(f[k].vertices, faces[k], sizeof f[k].vertices);
        f[k].material = material;
    }
    ++b.count;
    b.model->nvertices = uint16_t(4 * b.count);
    b.model->nfaces = uint16_t(2 * b.count);
}

}  // namespace

void P3DDrawFlareSprite(int x, int y, int colour, int batch, int size, float alpha) {
    if (batch < 0 || batch >= kFlareBatches) return;
    if (CardMode) {
        QueueQuad(x, y, colour, batch, size, alpha);
    } else if (PixelDepth == 8) {
        DrawShadedSprite(&ScreenSurface, 34, colour, 0, x, y, int16_t(size), 0, &ViewClipRect);
    } else {
        Glow16(x, y, colour, size, alpha);
    }
}

void P3DQueueStarFlare(vt_actor *actor, vt_model *, vt_material *, vt_order_table *, uint8_t, uint32_t) {
    vt_matrix34 m;
    if (VtModelToViewQuery(&m) != VT_E_OK) return;
    P3DStarFlareAt(actor ? static_cast<const TDP *>(actor->user) : nullptr, m.m[3][0], m.m[3][1], m.m[3][2]);
}

void P3DStarFlareAt(const TDP *tdp, float x, float y, float z) {
    if (z > 0 || z == 0) return;
    const float p = gP3D.projectionScale;
    const ClipRect &clip = ViewClipRect;
    const float cx = float(clip.left + clip.right) / 2, cy = float(clip.top + clip.bottom) / 2;
    const float sx = -x * p / z + cx, sy = y * p / z + cy;
    if (!(sx >= clip.left && sx <= clip.right && sy >= clip.top && sy <= clip.bottom)) return;
    float r = tdp ? tdp->radius : 0;
    if (r == 0 && tdp && tdp->owner && tdp->owner->avatar && tdp->owner->avatar->root)
        r = tdp->owner->avatar->root->radius;
    const Vec3 v = tdp ? tdp->viewPosition : Vec3{0, 0, 0};
    const float d = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    int size = d > 0 ? int(r * 1800 / 2.0f / d * (p / 322)) : 0;
    if (size < kGlareMinimum) size = kGlareMinimum;
    const uint8_t colour = tdp ? uint8_t(tdp->colourIndex) : 0;
    P3DDrawFlareSprite(int(sx), int(sy), colour, 0, size / 2, 1.0f);
    P3DDrawFlareSprite(int(sx), int(sy), 15, 0, size / 5, 1.0f);
    if (gLightFx.sourceCount >= kLensFlareSources || size < kFlareMinimum) return;
    LensFlareSource &s = gLightFx.sources[gLightFx.sourceCount++];
    s = LensFlareSource{int16_t(sx), int16_t(sy), 255, int16_t(std::min(size, kFlareMaximum)), colour};
}

void P3DDrawLensFlares() {
    gLightFx.reflectionsDrawn = 0;
    const float cx = gP3D.viewCentre[0], cy = gP3D.viewCentre[1];
    for (int i = gLightFx.sourceCount - 1; i >= 0; --i) {
        LensFlareSource &s = gLightFx.sources[i];
        int clear = 5;
        if (!optNoZLock) {
            clear = 0;
            for (const auto &o : kSampleOffsets)
                clear += DepthAt(s.x + int(s.size * o[0]), s.y + int(s.size * o[1])) >= kClearDepth;
        }
        // One clear sample in five is enough to see the flares.
        if (clear > 0) {
            const float visibility = float(clear) * 0.2f;
            const float ox = s.x - cx, oy = s.y - cy;
            for (int k = 0; k < kFlareSpriteCount; ++k) {
                const float place = kFlareSpritePlaces[k][0], scale = kFlareSpritePlaces[k][1];
                const int colour = CardMode ? (s.colour | kReflectionBits[k]) : ((s.colour & 7) | 32);
                P3DDrawFlareSprite(int(cx - ox * place), int(cy - oy * place), colour, 1, int(s.size * scale),
                                   visibility);
                ++gLightFx.reflectionsDrawn;
            }
        }
        s.active = 0;
    }
    gLightFx.sourceCount = 0;
}

void P3DLensFlarePass() { P3DDrawLensFlares(); }

void P3DCreateFlareModels() {
    for (FlareBatch &b : gLightFx.batches) {
        b.count = 0;
        b.model = nullptr;
        vt_model *m = VtModelAllocate("LensReflec", 4 * kFlareBatchQuads, 2 * kFlareBatchQuads);
        if (!m) continue;
        m->flags |= 134;
        m->nvertices = m->nfaces = 0;
        b.model = VtModelAdd(m);
    }
}

// The batch drawn by the flare world's camera (the cockpit world's, on the
// 3D card), then emptied.
void P3DRenderFlareBatch(int batch) {
    if (batch < 0 || batch >= kFlareBatches) return;
    FlareBatch &b = gLightFx.batches[batch];
    if (b.count < 1 || !b.model) return;
    if (gP3D.cockpitWorld && gP3D.cockpitCamera && gP3D.screen) {
        VtModelUpdate(b.model, 0x7FFF);
        vt_actor *a = VtActorAllocate(VT_ACTOR_MODEL, nullptr);
        if (a) {
            a->model = b.model;
            VtActorAdd(gP3D.cockpitWorld, a);
            vt_actor *panel = gP3D.panelActor;
            if (panel) VtActorRemove(panel);
            VtZsSceneRender(gP3D.cockpitWorld, gP3D.cockpitCamera, gP3D.screen);
            if (panel) VtActorAdd(gP3D.cockpitWorld, panel);
            VtActorRemove(a);
            VtActorFree(a);
        }
    }
    b.count = 0;
    b.model->nvertices = b.model->nfaces = 0;
}
