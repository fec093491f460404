// Small changes made to a library model in place: scaled to a radius or by a
// factor, pushed onto a sphere, moved, mirrored, its axes swapped, or given
// texture coordinates by one of the library's mappings. Each tells the
// library that the model changed.
#include <cmath>
#include <utility>

#include "present/effects.h"
#include "present/model_adjust.h"
#include "render/scene/scene.h"
#include "render/scenefile/scenefile.h"
#include "world/collision.h"
#include "world/pools.h"

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
