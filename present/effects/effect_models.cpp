// The vertex shading of the effect objects the world launches (plasma balls
// and gas shells) and of background spheres, the plasma video texture, the
// inside-out copy of a backdrop, and the star shell.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "RES/gfx2d.h"
#include "RES/libmodel.h"
#include "RES/util.h"
#include "core/options.h"
#include "platform/display.h"
#include "platform/smack.h"
#include "platform/video.h"
#include "present/effects.h"
#include "present/effects/effect_models.h"
#include "present/frame_passes.h"
#include "present/model_adjust.h"
#include "present/p3d.h"
#include "present/sky/stars.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"
#include "world/records.h"

PlasmaBallState gPlasmaBall;

namespace {

constexpr int kMostShadedVertices = 2000;
constexpr float kDegrees = 3.14159265f / 180;

vt_model *gPlasmaModel;
Smack *gPlasmaVideo;
bool gPlasmaVideoTried;

vt_model *ModelOf(const SceneItem *item) {
    const TDP *root = item && item->avatar ? item->avatar->root : nullptr;
    return root ? static_cast<vt_model *>(root->model) : nullptr;
}

const uint8_t *Palette() { return CurrentPalette ? CurrentPalette : LastPalette; }

void PaletteColour(vt_vertex &v, int index) {
    const uint8_t *p = Palette();
    if (!p) return;
    v.red = p[4 * index];
    v.grn = p[4 * index + 1];
    v.blu = p[4 * index + 2];
}

float Random01() { return float(dunRand15()) / 32767; }

void AllFaces(vt_model *m, vt_material *material) {
    for (int f = 0; f < m->nfaces; ++f) m->faces[f].material = material;
}

// The vertex's height held within the model's bounds on its side of zero,
// as a fraction of the way from the rim (0) to the middle (1).
float Middleness(const vt_model *m, float y, float shrink) {
    const float bound = (y < 0 ? m->bounds.min.v[1] : m->bounds.max.v[1]) * shrink;
    if (bound == 0) return 1;
    const float held = y < 0 ? std::max(y, bound) : std::min(y, bound);
    return (bound - held) / bound;
}

}  // namespace

void *P3DPlasmaModel() {
    if (gPlasmaModel) return gPlasmaModel;
    gPlasmaModel = static_cast<vt_model *>(LoadDatModel("vantor\\dat\\triball.dat", nullptr, nullptr));
    if (gPlasmaModel) NormaliseModelRadius(gPlasmaModel, 50);
    return gPlasmaModel;
}

void P3DSetupPlasmaBall(SceneItem *item, int low, int high, const char *name) {
    vt_model *m = ModelOf(item);
    PlasmaBallState &s = gPlasmaBall;
    s.low = uint8_t(low);
    s.high = uint8_t(high);
    vt_material *material = name ? VtMaterialFind(name) : nullptr;
    if (material && CardMode) {
        material->flags = 0x21006;
        VtMaterialUpdate(material, VT_MATU_ALL);
    }
    if (!m) return;
    s.halfExtent = (m->bounds.max.v[0] - m->bounds.min.v[0]) / 2;
    for (float &f : s.factor) f = 0.25f + Random01() * 0.75f;
    if (m->nvertices > kMostShadedVertices || !m->vertices) return;
    for (int k = 0; k < 3; ++k) {
        s.angle[k] = float(dunRand15() % 7) * kDegrees;
        s.rate[k] = float(dunRand15() % 13 - 6) * kDegrees;
    }
    float lo = 1e30f, hi = -1e30f;
    for (int i = 0; i < m->nvertices; ++i) {
        lo = std::min(lo, m->vertices[i].map.v[0]);
        hi = std::max(hi, m->vertices[i].map.v[0]);
    }
    s.textureScale = m->nvertices ? (hi - lo) / 3 : 0;
    for (int i = 0; i < m->nvertices; ++i) m->vertices[i].index = uint8_t(low);
    AllFaces(m, material);
    m->flags = uint16_t((m->flags & ~0x4u) | 0x10u);
    VtModelUpdate(m, VT_MODU_ALL);
}

// A ball whose texture coordinates are all alike (scale 0) or whose model
// has no width shades flat: no division by zero reaches a colour.
void P3DJitterEffectModel(SceneItem *item, int16_t age) {
    vt_model *m = ModelOf(item);
    PlasmaBallState &s = gPlasmaBall;
    if (!m || !m->vertices || m->nvertices > kMostShadedVertices) return;
    const float fade = age >= 1 && age <= 249 ? float(age) / 250 : 1.0f;
    for (int k = 0; k < 3; ++k) {
        s.rate[k] += (Random01() - 0.5f) * 0.010471975f;
        s.angle[k] += s.rate[k];
    }
    const float range = float(s.high - s.low);
    const float scale = s.textureScale > 0 ? s.textureScale : 1;
    for (int i = 0; i < m->nvertices; ++i) {
        vt_vertex &v = m->vertices[i];
        const float wave = (std::sin((v.map.v[0] / scale + s.angle[0]) * 24 * s.factor[0]) +
                            std::sin((v.map.v[1] / scale + s.angle[1]) * 24 * s.factor[1]) + 2) /
                           4;
        const float edge = s.halfExtent > 0 ? 1 - std::fabs(v.p.v[1]) / s.halfExtent : 1;
        float shade = wave * range * edge * fade;
        shade = std::isfinite(shade) ? std::clamp(shade, 0.0f, std::max(range, 0.0f)) : 0;
        const int index = int(s.high) - int(shade);
        v.index = uint8_t(index);
        if (PixelDepth != 8) {
            v.red = 255;
            v.grn = 255;
            v.blu = uint8_t(index);
        }
    }
    VtModelUpdate(m, VT_MODU_VERTEX_COLOURS);
    if (item->avatar) {
        MatRotateZ(20 * s.rate[0] / kDegrees, item->avatar->matrix);
        MatRotateX(20 * s.rate[1] / kDegrees, item->avatar->matrix);
    }
}

void P3DSetupGasShell(SceneItem *item, const char *name) {
    vt_model *m = ModelOf(item);
    vt_material *material = name ? VtMaterialFind(name) : nullptr;
    if (material && CardMode) {
        material->flags = 0x20006;
        if (gP3D.whiteAlphaMap) material->colour_map = gP3D.whiteAlphaMap;
        material->opacity = 255;
        VtMaterialUpdate(material, VT_MATU_ALL);
    }
    if (!m || !m->vertices || (m->nfaces && m->faces[0].material == material)) return;
    for (int i = 0; i < m->nvertices; ++i) {
        vt_vertex &v = m->vertices[i];
        const float f = Middleness(m, v.p.v[1], 1);
        const int c = dunRand15() % 255;
        v.red = uint8_t(float(c) * f);
        v.grn = uint8_t(float(2 * c / 3) * f);
        v.blu = uint8_t(float(c) * f);
        v.index = uint8_t((dunRand15() & 127) + 128);
    }
    AllFaces(m, material);
    m->flags = uint16_t((m->flags & ~0x4u) | 0x10u);
    VtModelUpdate(m, VT_MODU_ALL);
}

void P3DFadeEffectMaterial(vt_material *material, int32_t fade) {
    if (!material) return;
    material->opacity = uint8_t(std::clamp(fade >> 16, 0, 255));
    VtMaterialUpdate(material, VT_MATU_ALL);
}

void P3DSetupPlasmaVideo(SceneItem *item) {
    vt_material *material = VtMaterialFind("plasmavid");
    vt_model *m = ModelOf(item);
    if (!material || !m) return;
    AllFaces(m, material);
    VtModelUpdate(m, VT_MODU_FACE_MATERIALS);
    if (!gPlasmaVideo) gPlasmaVideo = SmackOpenByName("plasma.smk");
    gPlasmaVideoTried = true;
}

// The film's frame, decoded at its own size, is drawn over the material's
// map at the map's size. Without the film the map keeps its picture.
void P3DUpdatePlasmaVideo(SceneItem *item) {
    const TDP *root = item && item->avatar ? item->avatar->root : nullptr;
    if (!root || !root->actor) return;
    if (!gPlasmaVideo && !gPlasmaVideoTried) {
        gPlasmaVideo = SmackOpenByName("plasma.smk");
        gPlasmaVideoTried = true;
    }
    vt_material *material = VtMaterialFind("plasmavid");
    vt_pixelmap *map = material ? material->colour_map : nullptr;
    const bool wide = map && (map->type == VT_PMT_RGB_565 || map->type == VT_PMT_ARGB_4444);
    if (!gPlasmaVideo || !map || !map->pixels || (map->type != VT_PMT_INDEX_8 && !wide)) return;
    const int w = int(gPlasmaVideo->Width), h = int(gPlasmaVideo->Height);
    if (w <= 0 || h <= 0) return;
    static std::vector<uint8_t> frame;
    frame.assign(size_t(w) * size_t(h), 0);
    if (!SmackNextFrameToBuffer(gPlasmaVideo, frame.data())) return;
    auto *pixels = static_cast<uint8_t *>(map->pixels);
    // A 16-bit map (an effect texture with its alpha) takes the film's
    // colours through the film's palette and keeps its own alpha.
    const uint8_t *palette = gPlasmaVideo->Palette;
    for (int y = 0; y < map->height; ++y)
        for (int x = 0; x < map->width; ++x) {
            const uint8_t index = frame[size_t(y * h / map->height) * size_t(w) + size_t(x * w / map->width)];
            uint8_t *at = pixels + size_t(map->base_y + y) * size_t(map->row_bytes);
            if (!wide) {
                at[map->base_x + x] = index;
                continue;
            }
            const uint8_t *c = palette + 3 * index;
            uint16_t v;
            std::memcpy(&v, at + 2 * size_t(map->base_x + x), 2);
            if (map->type == VT_PMT_RGB_565) v = uint16_t((c[0] >> 3) << 11 | (c[1] >> 2) << 5 | c[2] >> 3);
            else v = uint16_t((v & 0xF000) | (c[0] >> 4) << 8 | (c[1] >> 4) << 4 | c[2] >> 4);
            std::memcpy(at + 2 * size_t(map->base_x + x), &v, 2);
        }
    VtMapUpdate(map, VT_MAPU_ALL);
}

vt_material *P3DCopyModelInsideOut(vt_model *target, vt_model *source) {
    if (!target || !source || !target->vertices || !source->vertices || target->nvertices != source->nvertices)
        return nullptr;
    vt_material *material = target->nfaces ? target->faces[0].material : nullptr;
    for (int i = 0; i < target->nvertices; ++i) target->vertices[i].p = source->vertices[i].p;
    AllFaces(target, nullptr);
    VtModelUpdate(target, VT_MODU_ALL);
    P3DFlipModelFaces(target);
    if (material) {
        material->flags = 0x21004;
        VtMaterialUpdate(material, VT_MATU_ALL);
    }
    return material;
}

void P3DShadeModelVertices(vt_model *m, int low, int high, vt_pixelmap *, bool poles) {
    if (!m || !m->vertices || m->nvertices > kMostShadedVertices) return;
    const int span = high - low;
    for (int i = 0; i < m->nvertices; ++i) {
        vt_vertex &v = m->vertices[i];
        int index;
        if (poles) {
            const int f = int(Middleness(m, v.p.v[1], 0.85f) * 32768);
            const int half = span / 2;
            index = (dunRand15() * half / 32767 + half + low) * f / 32768;
        } else {
            const float r = Random01();
            index = int(r * r * r * 0.9f * float(span) + 0.1f * float(span) + float(low));
        }
        index = std::clamp(index, 0, 255);
        v.index = uint8_t(index);
        if (PixelDepth != 8) PaletteColour(v, index);
    }
    // Vertices on few faces (poles, seams) are dark.
    std::vector<uint8_t> uses(size_t(m->nvertices), 0);
    for (int f = 0; f < m->nfaces; ++f)
        for (uint16_t c : m->faces[f].vertices)
            if (c < m->nvertices && uses[c] < 255) ++uses[c];
    for (int i = 0; i < m->nvertices; ++i)
        if (uses[size_t(i)] < 6) {
            vt_vertex &v = m->vertices[i];
            v.index = 0;
            v.red = v.grn = v.blu = 0;
        }
    AllFaces(m, nullptr);
    VtModelUpdate(m, VT_MODU_ALL);
}

// Each star is a small triangle facing the centre at its direction, sized
// by the radius / 200 and coloured by its brightness.
vt_model *P3DBuildStarShell(int count, float radius) {
    const int n = std::min(count, int(gStars.count));
    if (n <= 0) return nullptr;
    vt_model *m = VtModelAllocate("StarShell", 3 * n, n);
    if (!m) return nullptr;
    m->flags |= VT_MODF_KEEP_SOURCE | VT_MODF_KEEP_SOURCE_ALT;
    const float size = radius / 200;
    for (int i = 0; i < n; ++i) {
        Vec3 d = {gStars.direction[i][0], gStars.direction[i][1], gStars.direction[i][2]};
        VecNormalise(d);
        // Two directions across the star's.
        Vec3 a = std::fabs(d.y) < 0.9f ? Vec3{0, 1, 0} : Vec3{1, 0, 0}, b;
        VecCross(d, a, b);
        VecNormalise(b);
        VecCross(b, d, a);
        const int index = gStars.rampBase[i] + std::min<int>(gStars.brightness[i], 31);
        const float corners[3][2] = {{0, 1}, {0.866f, -0.5f}, {-0.866f, -0.5f}};
        for (int c = 0; c < 3; ++c) {
            vt_vertex &v = m->vertices[3 * i + c];
            v.p.v[0] = d.x * radius + (a.x * corners[c][1] + b.x * corners[c][0]) * size;
            v.p.v[1] = d.y * radius + (a.y * corners[c][1] + b.y * corners[c][0]) * size;
            v.p.v[2] = d.z * radius + (a.z * corners[c][1] + b.z * corners[c][0]) * size;
            v.index = uint8_t(index);
            PaletteColour(v, index);
            m->faces[i].vertices[c] = uint16_t(3 * i + c);
        }
    }
    VtModelAdd(m);
    VtModelUpdate(m, VT_MODU_ALL);
    return m;
}

void P3DForgetEffectModels() {
    gPlasmaModel = nullptr;
    if (gPlasmaVideo) SmackClose(gPlasmaVideo);
    gPlasmaVideo = nullptr;
    gPlasmaVideoTried = false;
    gExplosionQuad = nullptr;
    std::memset(gBeamModels, 0, sizeof gBeamModels);
}
