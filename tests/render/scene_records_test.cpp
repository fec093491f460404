// Scene records: allocation, defaults, the default model and material, and
// freeing actor trees.
#include <cmath>
#include <cstring>

#include "render/front/front.h"
#include "scene_fixture.h"

using namespace vttest;

namespace {

class VtSceneRecords : public VtSceneTest {};

TEST_F(VtSceneRecords, ActorsGetTheirTypesDefaultData) {
    vt_actor *light = VtActorAllocate(VT_ACTOR_LIGHT, nullptr);
    auto *l = static_cast<vt_light *>(light->type_data);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->type, VT_LIGHT_DIRECT);
    EXPECT_EQ(l->colour, 0xFFFFFFu);
    EXPECT_EQ(l->attenuation_c, 1.0f);
    EXPECT_EQ(l->attenuation_l, 0.0f);
    EXPECT_EQ(l->cone_outer, 2730);
    EXPECT_EQ(l->cone_inner, 1820);

    vt_actor *camera = VtActorAllocate(VT_ACTOR_CAMERA, nullptr);
    auto *c = static_cast<vt_camera *>(camera->type_data);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->type, VT_CAMERA_PERSPECTIVE);
    EXPECT_EQ(c->field_of_view, 8190);
    EXPECT_EQ(c->hither_z, 1.0f);
    EXPECT_EQ(c->yon_z, 10.0f);
    EXPECT_EQ(c->aspect, 1.0f);

    vt_actor *plane = VtActorAllocate(VT_ACTOR_CLIP_PLANE, nullptr);
    auto *p = static_cast<vt_plane *>(plane->type_data);
    EXPECT_EQ(p->eqn.v[2], 1.0f);
    EXPECT_EQ(p->eqn.v[3], 0.0f);

    for (vt_uint_8 type : {VT_ACTOR_BOUNDS, VT_ACTOR_BOUNDS_CORRECT}) {
        vt_actor *b = VtActorAllocate(type, nullptr);
        ASSERT_NE(b->type_data, nullptr);
        vt_bounds3 zero = {};
        EXPECT_EQ(memcmp(b->type_data, &zero, sizeof zero), 0);
        VtActorFree(b);
    }
    for (vt_uint_8 type : {VT_ACTOR_NONE, VT_ACTOR_MODEL, _BR_ACTOR_RESERVED}) {
        vt_actor *a = VtActorAllocate(type, nullptr);
        EXPECT_EQ(a->type_data, nullptr);
        EXPECT_EQ(a->t.type, VT_TRANSFORM_MATRIX34);
        EXPECT_EQ(a->t.t.mat.m[0][0], 1.0f);
        EXPECT_EQ(a->t.t.mat.m[3][0], 0.0f);
        EXPECT_EQ(a->depth, 0);
        VtActorFree(a);
    }
    VtActorFree(light);
    VtActorFree(camera);
    VtActorFree(plane);
}

TEST_F(VtSceneRecords, GivenTypeDataIsKeptAndNothingMoreAllocated) {
    vt_light mine = {};
    mine.type = VT_LIGHT_SPOT;
    int before = Counting::live;
    vt_actor *a = VtActorAllocate(VT_ACTOR_LIGHT, &mine);
    EXPECT_EQ(a->type_data, &mine);
    EXPECT_EQ(Counting::live, before + 1);
    VtActorFree(a);
    EXPECT_EQ(mine.type, VT_LIGHT_SPOT);
}

TEST_F(VtSceneRecords, ModelsOfZeroCountsHaveNoArrays) {
    vt_model *m = VtModelAllocate("empty", 0, 3);
    EXPECT_EQ(m->vertices, nullptr);
    ASSERT_NE(m->faces, nullptr);
    EXPECT_EQ(m->nfaces, 3);
    EXPECT_STREQ(m->identifier, "empty");
    VtModelUpdate(m, VT_MODU_ALL);
    ASSERT_EQ(Diag::failures.size(), 1u);
    EXPECT_EQ(Diag::failures[0], "Failure: VtModelUpdate: model has no faces or vertices (empty)");
    EXPECT_EQ(m->prepared, nullptr);
    VtModelFree(m);

    Diag::clear();
    vt_model *unnamed = VtModelAllocate(nullptr, 3, 0);
    VtModelUpdate(unnamed, VT_MODU_ALL);
    ASSERT_EQ(Diag::failures.size(), 1u);
    EXPECT_EQ(Diag::failures[0], "Failure: VtModelUpdate: model has no faces or vertices (<NULL>)");
    VtModelFree(unnamed);
}

TEST_F(VtSceneRecords, MaterialsCopyTheDefaultWithoutItsStoredState) {
    vt_material *def = VtDefaultMaterial();
    ASSERT_NE(def, nullptr);
    EXPECT_STREQ(def->identifier, "default_mat");
    EXPECT_EQ(def->colour, 0xFFFFFFu);
    EXPECT_EQ(def->opacity, 255);
    EXPECT_FLOAT_EQ(def->ka, 0.1f);
    EXPECT_FLOAT_EQ(def->kd, 0.7f);
    EXPECT_EQ(def->ks, 0.0f);
    EXPECT_EQ(def->power, 20.0f);
    EXPECT_EQ(def->flags, VT_MATF_LIT);
    EXPECT_EQ(def->mode, VT_MATM_DEPTH_LESS_OR_EQUAL);
    EXPECT_EQ(def->map_transform.m[0][0], 1.0f);
    EXPECT_EQ(def->map_transform.m[1][1], 1.0f);
    EXPECT_EQ(def->map_transform.m[2][0], 0.0f);
    EXPECT_EQ(def->index_base, 10);
    EXPECT_EQ(def->index_range, 31);

    // Whatever the default holds now is what a new material starts from.
    def->power = 33.0f;
    auto *fake = reinterpret_cast<vt_renderer_state_stored *>(&def->power);
    def->stored = fake;
    vt_material *m = VtMaterialAllocate(nullptr);
    EXPECT_EQ(m->identifier, nullptr);
    EXPECT_EQ(m->stored, nullptr);
    EXPECT_EQ(m->power, 33.0f);
    vt_material *named = VtMaterialAllocate("gold");
    EXPECT_STREQ(named->identifier, "gold");
    EXPECT_NE(named->identifier, def->identifier);
    def->stored = nullptr;
    VtMaterialFree(m);
    VtMaterialFree(named);
}

TEST_F(VtSceneRecords, TheDefaultModelIsAClosedCube) {
    vt_model *m = VtDefaultModel();
    ASSERT_NE(m, nullptr);
    EXPECT_STREQ(m->identifier, "default_model");
    EXPECT_EQ(m->flags, VT_MODF_UPDATEABLE);
    ASSERT_EQ(m->nvertices, 8);
    ASSERT_EQ(m->nfaces, 12);
    for (int i = 0; i < 8; i++)
        for (int a = 0; a < 3; a++)
            EXPECT_EQ(std::fabs(m->vertices[i].p.v[a]), 1.0f);
    for (int i = 0; i < 8; i++)
        for (int a = 0; a < 2; a++) {
            float t = m->vertices[i].map.v[a];
            EXPECT_TRUE(t == 0.0f || t == 0.99f);
        }
    for (int f = 0; f < 12; f++) {
        EXPECT_EQ(m->faces[f].smoothing, 1);
        EXPECT_EQ(m->faces[f].material, nullptr);
        EXPECT_EQ(m->faces[f].flags, f % 2 ? VT_FACEF_HIDE_EDGE_0 : VT_FACEF_HIDE_EDGE_2);
    }
    // Every face faces outwards: its normal points the way its centre lies.
    VtModelUpdate(m, VT_MODU_ALL);
    for (int f = 0; f < 12; f++) {
        vt_vector3 centre = {{0, 0, 0}};
        for (int k = 0; k < 3; k++)
            VtVector3Add(&centre, &centre, &m->vertices[m->faces[f].vertices[k]].p);
        EXPECT_GT(VtVector3Dot(&centre, &m->faces[f].n), 0.0f) << "face " << f;
        EXPECT_FLOAT_EQ(m->faces[f].d, 1.0f);
    }
}

TEST_F(VtSceneRecords, FreeingAnActorFreesItsTreeAndDisablesItsLights) {
    vt_actor *root = VtActorAllocate(VT_ACTOR_NONE, nullptr);
    vt_actor *lights[16];
    for (vt_actor *&l : lights) {
        l = VtActorAllocate(VT_ACTOR_LIGHT, nullptr);
        VtLightEnable(l);
    }
    // A light enabled twice takes one slot; a seventeenth does not fit.
    VtLightEnable(lights[0]);
    EXPECT_TRUE(Diag::failures.empty());
    vt_actor *extra = VtActorAllocate(VT_ACTOR_LIGHT, nullptr);
    VtLightEnable(extra);
    ASSERT_EQ(Diag::failures.size(), 1u);
    EXPECT_EQ(Diag::failures[0], "Failure: too many enabled lights");

    // Hang a light under a child of the root and free the root: the light
    // leaves the table with it.
    vt_actor *child = VtActorAdd(root, VtActorAllocate(VT_ACTOR_NONE, nullptr));
    VtActorAdd(child, lights[5]);
    int before = Counting::live;
    VtActorFree(root);
    EXPECT_LT(Counting::live, before - 2);
    Diag::clear();
    VtLightEnable(extra);
    EXPECT_TRUE(Diag::failures.empty());
    VtActorFree(extra);
    for (vt_actor *l : lights)
        if (l != lights[5])
            VtActorFree(l);
}

} // namespace
