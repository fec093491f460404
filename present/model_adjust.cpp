// Small changes made to a library model in place: scaled to a radius or by a
// factor, pushed onto a sphere, moved, mirrored, its axes swapped, or given
// texture coordinates by one of the library's mappings. Each tells the
// library that the model changed.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

#include "RES/util.h"
#include "RES/vecmath.h"
#include "core/files.h"
#include "present/effects.h"
#include "present/model_adjust.h"
#include "present/scene.h"
#include "present/sky/planets.h"
#include "render/fw/fw.h"
#include "render/scene/scene.h"
#include "render/scenefile/scenefile.h"
#include "world/collision.h"
#include "world/pools.h"
#include "world/records.h"

float gTextureScrollStep = 1.0f;

namespace {

constexpr vt_uint_16 kAllParts = 0x7FFF;
constexpr vt_uint_16 kPositions = 64;

float Length(const vt_vector3 &p) { return std::sqrt(p.v[0] * p.v[0] + p.v[1] * p.v[1] + p.v[2] * p.v[2]); }

template <class F>
void EachVertex(vt_model *model, F f) {
    if (!model || !model->vertices) return;
    for (int i = 0; i < model->nvertices; ++i) f(model->vertices[i].p);
}

// Clears the faces' materials when asked, fits the map on two axes and
// applies the mapping with it.
void Map(vt_model *model, int type, int axis0, int axis1, bool clearMaterials) {
    if (!model) return;
    if (clearMaterials && model->faces)
        for (int i = 0; i < model->nfaces; ++i) model->faces[i].material = nullptr;
    vt_matrix34 fit;
    VtModelFitMap(model, axis0, axis1, &fit);
    VtModelApplyMap(model, type, &fit);
    VtModelUpdate(model, kAllParts);
}

}  // namespace

// A model whose every vertex lies at the origin has no radius to scale
// from: it stays as it is.
void NormaliseModelRadius(vt_model *model, float radius) {
    if (!model) return;
    float largest = 0;
    EachVertex(model, [&](const vt_vector3 &p) { largest = std::fmax(largest, Length(p)); });
    if (largest > 0 && radius != 0) {
        const float q = largest / radius;
        EachVertex(model, [&](vt_vector3 &p) {
            for (float &c : p.v) c /= q;
        });
    }
    dunScaleCollisionVolumes(dunFindCollisionModel(model), radius);
    VtModelUpdate(model, kAllParts);
}

void ScaleModelToRadius(void *model, float radius) { NormaliseModelRadius(static_cast<vt_model *>(model), radius); }

void ScaleModelAndCollision(vt_model *model, float factor) {
    if (!model) return;
    EachVertex(model, [&](vt_vector3 &p) {
        for (float &c : p.v) c *= factor;
    });
    if (CollisionModel *c = dunFindCollisionModel(model)) dunScaleCollisionVolumes(c, c->size * factor);
    VtModelUpdate(model, kAllParts);
}

// A vertex at the origin has no direction and stays there.
void ProjectModelOntoSphere(vt_model *model, float radius) {
    if (!model) return;
    EachVertex(model, [&](vt_vector3 &p) {
        const float l = Length(p);
        if (l > 0)
            for (float &c : p.v) c *= radius / l;
    });
    VtModelUpdate(model, kPositions);
}

void SlideModel(vt_model *model, float dx, float dy, float dz) {
    if (!model) return;
    EachVertex(model, [&](vt_vector3 &p) {
        p.v[0] += dx;
        p.v[1] += dy;
        p.v[2] += dz;
    });
    VtModelUpdate(model, kAllParts);
}

void ReflectModel(vt_model *model, int axis) {
    if (!model) return;
    if (axis >= 0 && axis <= 2) EachVertex(model, [&](vt_vector3 &p) { p.v[axis] = -p.v[axis]; });
    VtModelUpdate(model, kAllParts);
}

void RotateModelX90(vt_model *model) {
    if (!model) return;
    EachVertex(model, [](vt_vector3 &p) { std::swap(p.v[1], p.v[2]); });
    VtModelUpdate(model, kAllParts);
}

void ApplySphereMap(vt_model *model) { Map(model, VT_APPLYMAP_SPHERE, VT_FITMAP_PLUS_X, VT_FITMAP_PLUS_Z, true); }
void ApplyPlaneMap(vt_model *model) { Map(model, VT_APPLYMAP_PLANE, VT_FITMAP_PLUS_X, VT_FITMAP_PLUS_Z, true); }
void ApplyCylinderMap(vt_model *model) { Map(model, VT_APPLYMAP_CYLINDER, VT_FITMAP_PLUS_X, VT_FITMAP_PLUS_Y, false); }

void P3DFlipModelFaces(vt_model *model) {
    if (!model || !model->faces) return;
    for (int i = 0; i < model->nfaces; ++i) std::swap(model->faces[i].vertices[1], model->faces[i].vertices[2]);
    VtModelUpdate(model, kAllParts);
}

void P3DSetModelMaterial(vt_model *model, const char *name) {
    if (!model) return;
    vt_material *material = name ? VtMaterialFind(name) : nullptr;
    if (model->faces)
        for (int i = 0; i < model->nfaces; ++i) model->faces[i].material = material;
    if (model->vertices)
        for (int i = 0; i < model->nvertices; ++i) model->vertices[i].index = 128;
    VtModelUpdate(model, kAllParts);
}

void P3DSaveModelFile(const char *file, vt_model *model) {
    if (file && model) VtModelSave(file, model);
}

// Texture coordinates in the upper half of their unit step move on by the
// rest of the step: up past 1, down below it.
void ScrollModelTexture(int slot, float step) {
    if (slot < 0 || slot >= kPlanetPoolMax) return;
    vt_model *model = gPlanetPool.slots[slot].model;
    if (!model || !model->vertices) return;
    const float d = 1 - step;
    for (int i = 0; i < model->nvertices; ++i) {
        float &u = model->vertices[i].map.v[0];
        if (std::fmod(u, 1.0f) < 0.5f) continue;
        u = u >= 1.0f ? u + d : u - d;
    }
    VtModelUpdate(model, kAllParts);
}

void LoadFaceClassTable() {
    FILE *f = OpenGameFile("vantor\\dat\\triballind.dat", "rb");
    if (!f) return;
    const size_t got = std::fread(gFaceClassTable, 1, sizeof gFaceClassTable, f);
    std::fclose(f);
    if (got < sizeof gFaceClassTable) std::memset(gFaceClassTable + got, 0, sizeof gFaceClassTable - got);
}

// Faces past the table's 1600 keep their materials.
void PaintFaceClassMaterials(int16_t slot) {
    if (slot < 0 || slot >= kPlanetPoolMax) return;
    PlanetPoolSlot &s = gPlanetPool.slots[slot];
    for (vt_material *m : s.material)
        if (m) {
            m->flags = 4;
            VtMaterialUpdate(m, 2);
        }
    if (!s.model || !s.model->faces) return;
    vt_material *black = VtMaterialFind("black");
    const int n = std::min<int>(s.model->nfaces, kFaceClassCount);
    for (int i = 0; i < n; ++i) {
        vt_face &f = s.model->faces[i];
        switch (gFaceClassTable[i]) {
        case 0: f.material = black; break;
        case 1: f.material = s.material[0]; break;
        case 2: f.material = s.material[1]; break;
        default: break;
        }
    }
    VtModelUpdate(s.model, 16);
}

int PickModelFace(SceneItem *object, const Vec3 *point, Vec3 *centroid, Vec3 *normal) {
    const TDP *root = object && object->avatar ? object->avatar->root : nullptr;
    if (!root) return 0;
    const auto *model = static_cast<const vt_model *>(root->savedModel[1] ? root->savedModel[1] : root->savedModel[0]);
    if (!model || !model->faces || !model->vertices || model->nfaces == 0) return 0;
    auto vertex = [model](int face, int k) {
        const vt_vector3 &p = model->vertices[model->faces[face].vertices[k]].p;
        return Vec3{p.v[0], p.v[1], p.v[2]};
    };
    auto centre = [&](int face) {
        const Vec3 a = vertex(face, 0), b = vertex(face, 1), c = vertex(face, 2);
        return Vec3{(a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3, (a.z + b.z + c.z) / 3};
    };
    const Vec3 at = point ? *point : Vec3{0, 0, 0};
    int found = -1;
    Vec3 best{};
    if (at.x == 0 && at.y == 0 && at.z == 0) {
        found = dunRand15() % model->nfaces;
        best = centre(found);
    } else {
        float nearest = 1e31f;
        for (int i = 0; i < model->nfaces; ++i) {
            const Vec3 c = centre(i);
            const float d = VecLengthApprox(Vec3{c.x - at.x, c.y - at.y, c.z - at.z});
            if (d < nearest) {
                nearest = d;
                found = i;
                best = c;
            }
        }
    }
    if (found < 0) return 0;
    if (centroid) *centroid = best;
    const Vec3 a = vertex(found, 0), b = vertex(found, 1), c = vertex(found, 2);
    Vec3 n;
    VecCross(Vec3{a.x - c.x, a.y - c.y, a.z - c.z}, Vec3{a.x - b.x, a.y - b.y, a.z - b.z}, n);
    VecNormalise(n);
    if (normal) *normal = n;
    return 255;
}
