// Allocation of models, materials and actors with their defaults.
#include <cstring>

#include "render/scene/scenestate.h"

namespace {

// Where scene records hang: the scene's root, or the framework's while the
// scene database is not begun.
void *recordParent() { return vtScene.res ? vtScene.res : VtFrameworkRoot(); }

// The material every VtMaterialAllocate copies while there is no scene
// database (and what the scene's default material starts as).
vt_material defaultMaterialTemplate() {
    vt_material m{};
    m.colour = 0xFFFFFF;
    m.opacity = 255;
    m.ka = 0.1f;
    m.kd = 0.7f;
    m.ks = 0.0f;
    m.power = 20.0f;
    m.flags = VT_MATF_LIT;
    m.mode = VT_MATM_DEPTH_LESS_OR_EQUAL;
    VtMatrix23Identity(&m.map_transform);
    m.index_base = 10;
    m.index_range = 31;
    return m;
}

void *allocateTypeData(vt_actor *a) {
    switch (a->type) {
    case VT_ACTOR_LIGHT: {
        auto *l = static_cast<vt_light *>(VtResAllocate(a, sizeof(vt_light), VT_RES_LIGHT));
        if (l) {
            memset(l, 0, sizeof *l);
            l->type = VT_LIGHT_DIRECT;
            l->colour = 0xFFFFFF;
            l->attenuation_c = 1.0f;
            l->cone_outer = 2730; // 15 degrees
            l->cone_inner = 1820; // 10 degrees
        }
        return l;
    }
    case VT_ACTOR_CAMERA: {
        auto *c = static_cast<vt_camera *>(VtResAllocate(a, sizeof(vt_camera), VT_RES_CAMERA));
        if (c) {
            memset(c, 0, sizeof *c);
            c->type = VT_CAMERA_PERSPECTIVE;
            c->field_of_view = 8190; // just under 45 degrees
            c->hither_z = 1.0f;
            c->yon_z = 10.0f;
            c->aspect = 1.0f;
        }
        return c;
    }
    case VT_ACTOR_BOUNDS:
    case VT_ACTOR_BOUNDS_CORRECT: {
        void *b = VtResAllocate(a, sizeof(vt_bounds3), VT_RES_BOUNDS);
        if (b)
            memset(b, 0, sizeof(vt_bounds3));
        return b;
    }
    case VT_ACTOR_CLIP_PLANE: {
        auto *p = static_cast<vt_plane *>(VtResAllocate(a, sizeof(vt_plane), VT_RES_BOUNDS));
        if (p)
            VtVector4Set(&p->eqn, 0, 0, 1, 0);
        return p;
    }
    default:
        return nullptr;
    }
}

} // namespace

vt_model *VtModelAllocate(const char *name, int nvertices, int nfaces) {
    if (nvertices < 0 || nvertices > 0xFFFF || nfaces < 0 || nfaces > 0xFFFF) {
        VtFailure("VtModelAllocate: %d vertices and %d faces are more than a model holds", nvertices, nfaces);
        return nullptr;
    }
    auto *m = static_cast<vt_model *>(VtResAllocate(recordParent(), sizeof(vt_model), VT_RES_MODEL));
    if (m == nullptr)
        return nullptr;
    memset(m, 0, sizeof *m);
    if (name)
        m->identifier = VtResStrDup(m, name);
    if (nvertices) {
        m->vertices = static_cast<vt_vertex *>(VtResAllocate(m, sizeof(vt_vertex) * vt_size(nvertices), VT_RES_VERTICES));
        if (m->vertices == nullptr) {
            VtResFree(m);
            return nullptr;
        }
        memset(m->vertices, 0, sizeof(vt_vertex) * vt_size(nvertices));
        m->nvertices = vt_uint_16(nvertices);
    }
    if (nfaces) {
        m->faces = static_cast<vt_face *>(VtResAllocate(m, sizeof(vt_face) * vt_size(nfaces), VT_RES_FACES));
        if (m->faces == nullptr) {
            VtResFree(m);
            return nullptr;
        }
        memset(m->faces, 0, sizeof(vt_face) * vt_size(nfaces));
        m->nfaces = vt_uint_16(nfaces);
    }
    return m;
}

void VtModelFree(vt_model *model) {
    if (model == nullptr)
        return;
    // The renderer's copy is no resource of the model.
    VtObjectFree(model->stored);
    model->stored = nullptr;
    VtResFree(model);
}

vt_material *VtMaterialAllocate(const char *name) {
    auto *m = static_cast<vt_material *>(VtResAllocate(recordParent(), sizeof(vt_material), VT_RES_MATERIAL));
    if (m == nullptr)
        return nullptr;
    if (vtScene.default_material)
        *m = *vtScene.default_material;
    else
        *m = defaultMaterialTemplate();
    m->stored = nullptr;
    m->identifier = name ? VtResStrDup(m, name) : nullptr;
    return m;
}

void VtMaterialFree(vt_material *material) {
    if (material == nullptr)
        return;
    VtObjectFree(material->stored);
    material->stored = nullptr;
    VtResFree(material);
}

vt_actor *VtActorAllocate(vt_uint_8 type, void *type_data) {
    auto *a = static_cast<vt_actor *>(VtResAllocate(recordParent(), sizeof(vt_actor), VT_RES_ACTOR));
    if (a == nullptr)
        return nullptr;
    memset(a, 0, sizeof *a);
    a->type = type;
    a->t.type = VT_TRANSFORM_MATRIX34;
    VtMatrix34Identity(&a->t.t.mat);
    a->type_data = type_data ? type_data : allocateTypeData(a);
    return a;
}

void VtActorFree(vt_actor *actor) {
    if (actor == nullptr)
        return;
    while (actor->children) {
        vt_actor *child = actor->children;
        VtSimpleRemove(reinterpret_cast<vt_simple_node *>(child));
        child->parent = nullptr;
        VtActorFree(child);
    }
    SceneActorDisable(actor);
    // An actor freed while still linked would leave its parent's list
    // pointing at freed memory.
    if (actor->prev)
        VtSimpleRemove(reinterpret_cast<vt_simple_node *>(actor));
    VtResFree(actor);
}

vt_model *SceneDefaultModelMake() { return SceneCubeMake("default_model"); }

vt_model *SceneCubeMake(const char *name) {
    // A cube of side 2 about the origin: vertex i has x from bit 0, y from
    // bit 1 and z from bit 2 (set: +1), mapped by its x and y.
    static const vt_uint_16 kQuads[6][4] = {
        {1, 3, 7, 5}, // +x
        {0, 4, 6, 2}, // -x
        {2, 6, 7, 3}, // +y
        {0, 1, 5, 4}, // -y
        {4, 5, 7, 6}, // +z
        {0, 2, 3, 1}, // -z
    };
    vt_model *m = VtModelAllocate(name, 8, 12);
    if (m == nullptr)
        return nullptr;
    for (int i = 0; i < 8; i++) {
        vt_vertex &v = m->vertices[i];
        VtVector3Set(&v.p, (i & 1) ? 1.0f : -1.0f, (i & 2) ? 1.0f : -1.0f, (i & 4) ? 1.0f : -1.0f);
        VtVector2Set(&v.map, (i & 1) ? 0.99f : 0.0f, (i & 2) ? 0.99f : 0.0f);
    }
    for (int s = 0; s < 6; s++) {
        const vt_uint_16 *q = kQuads[s];
        // Two triangles share the diagonal from corner 0 to corner 2 of the
        // side; it is hidden in both.
        vt_face &f0 = m->faces[2 * s], &f1 = m->faces[2 * s + 1];
        f0.vertices[0] = q[0];
        f0.vertices[1] = q[1];
        f0.vertices[2] = q[2];
        f0.flags = VT_FACEF_HIDE_EDGE_2;
        f1.vertices[0] = q[0];
        f1.vertices[1] = q[2];
        f1.vertices[2] = q[3];
        f1.flags = VT_FACEF_HIDE_EDGE_0;
        f0.smoothing = f1.smoothing = 1;
    }
    m->flags = VT_MODF_UPDATEABLE;
    return m;
}

vt_material *SceneDefaultMaterialMake() {
    auto *m = static_cast<vt_material *>(VtResAllocate(recordParent(), sizeof(vt_material), VT_RES_MATERIAL));
    if (m == nullptr)
        return nullptr;
    *m = defaultMaterialTemplate();
    m->identifier = VtResStrDup(m, "default_mat");
    return m;
}
