// The cheaper models a part shows from afar: its shape's authored "_LOW"
// variant at middle distance, and a flat "Simplest" square (or diamond)
// spanning the shape's x-z extent, textured with small copies of its top
// and bottom maps. One proxy is made per shape and shared by every part
// that shows it, so the library's registries stay the size of the shapes
// in use, not of the actors made in a mission.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/log.h"
#include "core/options.h"
#include "platform/display.h"
#include "present/frame_passes.h"
#include "present/lwo/lwo.h"
#include "present/model_adjust.h"
#include "present/scene.h"
#include "render/fw/fw.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"
#include "world/records.h"

namespace {

constexpr int kProxyCache = 128;
constexpr float kLowRatioLow = 0.85f, kLowRatioHigh = 1.15f;

struct ProxyEntry {
    const vt_model *shape;
    vt_model *proxy;
};
ProxyEntry gProxies[kProxyCache];
int gProxyCount;

float Radius(const vt_model *m) {
    float r = 0;
    for (int i = 0; m->vertices && i < m->nvertices; ++i) {
        const vt_vector3 &p = m->vertices[i].p;
        r = std::fmax(r, std::sqrt(p.v[0] * p.v[0] + p.v[1] * p.v[1] + p.v[2] * p.v[2]));
    }
    return r;
}

// The last face's material of that exact name, or null.
vt_material *FaceMaterial(const vt_model *m, const char *name) {
    vt_material *found = nullptr;
    for (int i = 0; m->faces && i < m->nfaces; ++i) {
        vt_material *f = m->faces[i].material;
        if (f && f->identifier && std::strcmp(f->identifier, name) == 0) found = f;
    }
    return found;
}

// The small copy of the material's map ("<map>_S.pix") as a new material,
// or the material itself when there is none.
vt_material *SmallMaterial(vt_material *full, const char *smallName, const char *side) {
    if (!full) return nullptr;
    if (!full->colour_map || !full->colour_map->identifier) {
        char text[64];
        std::snprintf(text, sizeof text, "Disaster - no colour_map for %s Map\n ", side);
        dunErrorBox(text, "Simple Object Error");
        return full;
    }
    std::string name = full->colour_map->identifier;
    name.resize(name.size() > 4 ? name.size() - 4 : 0);
    name += "_S.pix";
    vt_pixelmap *small = VtMapFind(name.c_str());
    if (!small) return full;
    vt_material *m = VtMaterialAllocate(smallName);
    if (!m) return full;
    m->flags = full->flags;
    m->ka = full->ka;
    m->kd = full->kd;
    m->ks = full->ks;
    m->power = full->power;
    m->index_shade = full->index_shade;
    m->index_blend = full->index_blend;
    m->colour_map = small;
    return VtMaterialAdd(m);
}

vt_model *BuildProxy(const vt_model *shape) {
    vt_material *top = SmallMaterial(FaceMaterial(shape, "INDEX_TOP"), "SMALL_TOP", "Top");
    vt_material *bottom = SmallMaterial(FaceMaterial(shape, "INDEX_BOT"), "SMALL_BOT", "Bot");
    if (!bottom) bottom = top;
    if (!top) top = bottom;
    vt_model *m = VtModelAllocate("Simplest", 4, 4);
    if (!m) return nullptr;
    struct Corner {
        float x, z, u, v;
    };
    static const Corner kSquare[4] = {{1, 1, 0, 0}, {1, -1, 0, 1}, {-1, -1, 1, 1}, {-1, 1, 1, 0}};
    static const Corner kDiamond[4] = {{1, 0, 1, 0.5f}, {0, -1, 0.5f, 0}, {-1, 0, 0, 0.5f}, {0, 1, 0.5f, 1}};
    const Corner *corners = top ? kSquare : kDiamond;
    vt_bounds3 b{{{0, 0, 0}}, {{0, 0, 0}}};
    for (int i = 0; shape->vertices && i < shape->nvertices; ++i)
        for (int k = 0; k < 3; ++k) {
            const float c = shape->vertices[i].p.v[k];
            if (i == 0 || c < b.min.v[k]) b.min.v[k] = c;
            if (i == 0 || c > b.max.v[k]) b.max.v[k] = c;
        }
    auto scaled = [&b](float c, int axis) { return c < 0 ? c * -b.min.v[axis] : c * b.max.v[axis]; };
    for (int i = 0; i < 4; ++i) {
        vt_vertex &v = m->vertices[i];
        v.p = vt_vector3{{scaled(corners[i].x, 0), 0, scaled(corners[i].z, 2)}};
        v.map = vt_vector2{{corners[i].u, corners[i].v}};
        v.index = 249;
    }
    vt_material *grey = VtMaterialFind("grey_flat");
    static const uint16_t kFaces[4][3] = {{0, 3, 2}, {0, 2, 1}, {0, 2, 3}, {0, 1, 2}};
    for (int i = 0; i < 4; ++i) {
        vt_face &f = m->faces[i];
        std::memcpy(f.vertices, kFaces[i], sizeof f.vertices);
        f.smoothing = 0;
        f.flags = 0;
        vt_material *side = i < 2 ? top : bottom;
        f.material = side ? side : grey;
    }
    m->flags |= 0x6;
    m->pivot = vt_vector3{{0, 0, 0}};
    return VtModelAdd(m);
}

vt_model *Proxy(const vt_model *shape) {
    for (int i = 0; i < gProxyCount; ++i)
        if (gProxies[i].shape == shape) return gProxies[i].proxy;
    vt_model *proxy = BuildProxy(shape);
    // A full cache still gives each shape its proxy, only unshared.
    if (proxy && gProxyCount < kProxyCache) gProxies[gProxyCount++] = {shape, proxy};
    return proxy;
}

}  // namespace

void P3DForgetDetailModels() { gProxyCount = 0; }

void P3DSetUpDetailModels(TDP *tdp) {
    if (!tdp) return;
    tdp->savedModel[1] = tdp->savedModel[2] = nullptr;
    auto *model = static_cast<vt_model *>(tdp->actor && tdp->actor->model ? tdp->actor->model : tdp->model);
    if (!model) return;
    if (model->identifier && std::strcmp(model->identifier, "Shrapnel") == 0) {
        tdp->savedModel[1] = model;
        return;
    }
    auto *low = static_cast<vt_model *>(LwoLoadShapeWithLod(model));
    if (low) {
        const float full = Radius(model), own = Radius(low);
        if (full > 0 && own > 0 && (own / full < kLowRatioLow || own / full > kLowRatioHigh))
            NormaliseModelRadius(low, full);
    }
    vt_model *proxy = Proxy(model);
    tdp->savedModel[1] = low ? low : CardMode ? model : proxy;
    tdp->savedModel[2] = CardMode ? static_cast<void *>(proxy) : static_cast<void *>(P3DMakeOnePointModel());
}
