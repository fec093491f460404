// Scene datafiles: models, materials and actor trees saved and loaded in both
// forms, the old chunk forms, and files that must not load.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/temp_dir.h"
#include "render/file/datafile.h"
#include "render/pmap/pixelmap.h"
#include "render/scenefile/scenefile.h"
#include "render/scenefile/sfprivate.h"
#include "render/tokens/token.h"
#include "tests/render/scene_fixture.h"

namespace {

using vttest::readFileBytes;
using vttest::writeFileBytes;

using vttest::Diag;

class VtSceneFile : public vttest::VtSceneTest {
protected:
    ruvotest::TempDir dir;
    void TearDown() override {
        VtWriteModeSet(0);
        VtSceneTest::TearDown();
    }

    vt_material *material(const char *name, vt_colour colour) {
        vt_material *m = VtMaterialAllocate(name);
        m->colour = colour;
        VtMaterialAdd(m);
        return m;
    }

    // A tetrahedron with every face field set; faces 0 and 2 share a
    // material, face 3 has none.
    vt_model *tetra(const char *name, bool mapped) {
        vt_model *m = VtModelAllocate(name, 4, 4);
        const float p[4][3] = {{0, 0, 0}, {1.5f, 0, 0}, {0, -2.25f, 0}, {0, 0, 3.125f}};
        for (int i = 0; i < 4; i++) {
            VtVector3Set(&m->vertices[i].p, p[i][0], p[i][1], p[i][2]);
            if (mapped)
                VtVector2Set(&m->vertices[i].map, 0.25f * i, 1.0f - 0.125f * i);
        }
        const vt_uint_16 f[4][3] = {{0, 1, 2}, {0, 3, 1}, {1, 3, 2}, {2, 3, 0}};
        vt_material *red = material("red", 0xFF0000), *blue = material("blue", 0x0000FF);
        vt_material *mats[4] = {red, blue, red, nullptr};
        for (int i = 0; i < 4; i++) {
            memcpy(m->faces[i].vertices, f[i], sizeof f[i]);
            m->faces[i].smoothing = vt_uint_16(1u << i);
            m->faces[i].flags = vt_uint_8(i & 7);
            m->faces[i].material = mats[i];
        }
        m->flags = VT_MODF_KEEP_SOURCE | VT_MODF_CREASE | VT_MODF_DATAFILE;
        VtVector3Set(&m->pivot, 1, 2, 3);
        return m;
    }
};

void expectSameModel(const vt_model *a, const vt_model *b) {
    EXPECT_STREQ(a->identifier, b->identifier);
    ASSERT_EQ(a->nvertices, b->nvertices);
    ASSERT_EQ(a->nfaces, b->nfaces);
    for (int i = 0; i < a->nvertices; i++)
        for (int k = 0; k < 3; k++) {
            EXPECT_EQ(a->vertices[i].p.v[k], b->vertices[i].p.v[k]);
            if (k < 2) {
                EXPECT_EQ(a->vertices[i].map.v[k], b->vertices[i].map.v[k]);
            }
        }
    for (int i = 0; i < a->nfaces; i++) {
        EXPECT_EQ(memcmp(a->faces[i].vertices, b->faces[i].vertices, sizeof a->faces[i].vertices), 0);
        EXPECT_EQ(a->faces[i].smoothing, b->faces[i].smoothing);
        EXPECT_EQ(a->faces[i].flags, b->faces[i].flags);
        EXPECT_EQ(a->faces[i].material, b->faces[i].material) << "face " << i;
    }
}

// ---- Models ----------------------------------------------------------------

TEST_F(VtSceneFile, ModelsRoundTripInBothFormsAndSaveAgainByteForByte) {
    for (int text : {0, 1})
        for (bool mapped : {true, false}) {
            VtWriteModeSet(text);
            vt_model *m = tetra("tetra", mapped);
            ASSERT_EQ(VtModelSave("a.dat", m), 1u);
            vt_model *back = VtModelLoad("a.dat");
            ASSERT_NE(back, nullptr) << (text ? "text" : "binary");
            expectSameModel(m, back);
            // Flags a file keeps; the pivot is not kept.
            EXPECT_EQ(back->flags, VT_MODF_KEEP_SOURCE | VT_MODF_DATAFILE);
            EXPECT_EQ(back->pivot.v[0], 0.0f);
            ASSERT_EQ(VtModelSave("b.dat", back), 1u);
            EXPECT_EQ(readFileBytes("a.dat"), readFileBytes("b.dat"));
            // An unmapped model writes no texture coordinates at all.
            const std::string bytes = readFileBytes("a.dat");
            const bool hasUV = text ? bytes.find("*VERTEX_UV") != std::string::npos
                                    : bytes.find(std::string("\0\0\0\x18", 4)) != std::string::npos;
            EXPECT_EQ(hasUV, mapped);
            VtModelFree(back);
            VtModelFree(m);
        }
    EXPECT_TRUE(Diag::failures.empty());
}

TEST_F(VtSceneFile, SeveralModelsInOneFile) {
    vt_model *models[2] = {tetra("first", true), tetra("second", false)};
    ASSERT_EQ(VtModelSaveMany("two.dat", models, 2), 2u);
    vt_model *one[2] = {};
    ASSERT_EQ(VtModelLoadMany("two.dat", one, 1), 1u);
    EXPECT_STREQ(one[0]->identifier, "first");
    VtModelFree(one[0]);
    vt_model *both[4] = {};
    ASSERT_EQ(VtModelLoadMany("two.dat", both, 4), 2u);
    EXPECT_STREQ(both[1]->identifier, "second");
    VtModelFree(both[0]);
    VtModelFree(both[1]);
    vt_uint_32 n = 99;
    EXPECT_EQ(VtModelFileCount("two.dat", &n), VT_E_OK);
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(VtModelFileCount("missing.dat", &n), VT_E_FAIL);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(VtModelLoad("missing.dat"), nullptr);
    VtModelFree(models[0]);
    VtModelFree(models[1]);
}

TEST_F(VtSceneFile, FaceMaterialsResolveByNameWhenLoaded) {
    vt_model *m = tetra("tetra", false);
    ASSERT_EQ(VtModelSave("a.dat", m), 1u);
    // Loaded where only "blue" is known, and a hook supplies the rest.
    VtMaterialRemove(VtMaterialFind("red"));
    vt_material *blue = VtMaterialFind("blue");
    static vt_material *supplied;
    supplied = VtMaterialAllocate("from hook");
    VtMaterialFindHook([](const char *) { return supplied; });
    vt_model *back = VtModelLoad("a.dat");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->faces[0].material, supplied);
    EXPECT_EQ(back->faces[1].material, blue);
    EXPECT_EQ(back->faces[2].material, supplied);
    EXPECT_EQ(back->faces[3].material, nullptr);
    VtMaterialFindHook(nullptr);
    VtModelFree(back);
    VtModelFree(m);
}

TEST_F(VtSceneFile, ModelStrippedByPreparationSavesNothing) {
    vt_model *m = tetra("bare", false);
    m->flags = 0;
    VtModelAdd(m);
    ASSERT_EQ(m->vertices, nullptr);
    Diag::clear();
    EXPECT_EQ(VtModelSave("bare.dat", m), 0u);
    const std::vector<std::string> warnings = {"Warning: bare",
                                               "Warning: Model must have vertex and face information to save.",
                                               "Warning: This information may have neem stripped on addition to",
                                               "Warning: the registry. To prevent this, set the VT_MODF_UPDATEABLE"};
    EXPECT_EQ(Diag::warnings, warnings);
    EXPECT_EQ(Diag::failures, std::vector<std::string>{"Failure: flag before adding the model to the registry."});
    vt_uint_32 n = 9;
    EXPECT_EQ(VtModelFileCount("bare.dat", &n), VT_E_OK);
    EXPECT_EQ(n, 0u);
    VtModelRemove(m);
    VtModelFree(m);
}

// ---- Old forms ---------------------------------------------------------------

// Writes chunks of the old forms the way the old writers laid them out.
struct OldWriter {
    vt_datafile *df;
    explicit OldWriter(const char *name) : df(DfOpen(name, 1, VTT_FLOAT)) { DfFileInfoWrite(df, FILE_TYPE_MODEL); }
    ~OldWriter() { DfClose(df); }
    void records(vt_uint_32 id, const vt_file_struct *str, const void *base, int n, bool counted) {
        const int each = df->prims->struct_size(df, str, base);
        df->prims->chunk_write(df, id, vt_uint_32((counted ? df->prims->count_size(df) : 0) + n * each));
        if (counted)
            df->prims->count_write(df, vt_uint_32(n));
        DfStructWriteArray(df, str, base, n);
    }
    void names(vt_uint_32 id, const std::vector<const char *> &names, bool counted) {
        int length = counted ? df->prims->count_size(df) : 0;
        for (const char *n : names)
            length += df->prims->name_size(df, n);
        df->prims->chunk_write(df, id, vt_uint_32(length));
        if (counted)
            df->prims->count_write(df, vt_uint_32(names.size()));
        for (const char *n : names)
            df->prims->name_write(df, n);
    }
    void empty(vt_uint_32 id) { df->prims->chunk_write(df, id, 0); }
};

TEST_F(VtSceneFile, OldFacesTurnSmoothingGroupsIntoBits) {
    for (int text : {0, 1}) {
        VtWriteModeSet(text);
        {
            OldWriter w("old1.dat");
            vt_model head{};
            head.identifier = const_cast<char *>("old one");
            w.records(DF_CHUNK_OLD_MODEL_1, &sfOldModel1Struct, &head, 1, false);
            vt_vertex v[3] = {};
            v[1].p.v[0] = 1;
            v[2].p.v[1] = 1;
            w.records(DF_CHUNK_VERTICES, &sfVertexStruct, v, 3, true);
            const sf_old_face_1 faces[4] = {
                {{0, 1, 2}, 17, 1}, {{0, 1, 2}, 0, 2}, {{0, 1, 2}, 1, 4}, {{0, 1, 2}, 16, 0}};
            w.records(DF_CHUNK_OLD_FACES_1, &sfOldFace1Struct, faces, 4, true);
            vt_model pivot{};
            VtVector3Set(&pivot.pivot, 4, 5, 6);
            w.records(DF_CHUNK_PIVOT, &sfPivotStruct, &pivot, 1, false);
            w.empty(DF_CHUNK_END);
        }
        vt_model *m = VtModelLoad("old1.dat");
        ASSERT_NE(m, nullptr);
        EXPECT_STREQ(m->identifier, "old one");
        const vt_uint_16 smoothing[4] = {0x0001, 0xFFFF, 0x0001, 0x8000};
        for (int i = 0; i < 4; i++) {
            EXPECT_EQ(m->faces[i].smoothing, smoothing[i]) << i;
            EXPECT_EQ(m->faces[i].flags, i == 3 ? 0 : 1 << i);
        }
        EXPECT_EQ(m->pivot.v[2], 6.0f);
        VtModelFree(m);
    }
}

TEST_F(VtSceneFile, OldestModelsTakeArraysAndMaterialsFromTheStack) {
    vt_material *hull = material("hull", 0x808080), *glass = material("glass", 0x8080FF);
    for (int text : {0, 1}) {
        VtWriteModeSet(text);
        {
            OldWriter w("old.dat");
            w.names(DF_CHUNK_OLD_MATERIAL_INDEX, {"hull", "glass"}, false);
            vt_vertex v[4] = {};
            for (int i = 0; i < 4; i++) {
                VtVector3Set(&v[i].p, float(i), float(2 * i), 0);
                VtVector2Set(&v[i].map, 0.5f, float(i) / 4);
            }
            w.records(DF_CHUNK_OLD_VERTICES_UV, &sfOldVertexUVStruct, v, 4, false);
            const sf_old_face faces[2] = {{{0, 1, 2}, 1, 0}, {{0, 2, 3}, 0, 6}};
            w.records(DF_CHUNK_OLD_FACES, &sfOldFaceStruct, faces, 2, false);
            vt_model head{};
            head.identifier = const_cast<char *>("oldest");
            head.flags = 0xFFFF;
            w.records(DF_CHUNK_OLD_MODEL, &sfModelStruct, &head, 1, false);
            w.empty(DF_CHUNK_END);
        }
        vt_model *m = VtModelLoad("old.dat");
        ASSERT_NE(m, nullptr) << (text ? "text" : "binary");
        EXPECT_STREQ(m->identifier, "oldest");
        EXPECT_EQ(m->flags, SF_MODEL_FLAGS_KEPT);
        ASSERT_EQ(m->nvertices, 4);
        ASSERT_EQ(m->nfaces, 2);
        EXPECT_EQ(m->vertices[3].p.v[1], 6.0f);
        EXPECT_EQ(m->vertices[2].map.v[1], 0.5f);
        EXPECT_EQ(m->faces[0].material, glass);
        EXPECT_EQ(m->faces[1].material, hull);
        EXPECT_EQ(m->faces[0].smoothing, 0xFFFF);
        EXPECT_EQ(m->faces[1].smoothing, 6);
        EXPECT_TRUE(VtResIsChild(m, m->vertices) && VtResIsChild(m, m->faces));
        VtModelFree(m);
    }
}

TEST_F(VtSceneFile, OldMaterialFormsRead) {
    for (int text : {0, 1}) {
        VtWriteModeSet(text);
        vt_material *m = VtMaterialAllocate("oldest");
        m->colour = 0x102030;
        m->flags = 0x12345;
        m->index_base = 7;
        {
            OldWriter w("old.mat");
            sf_material_oldest oldest{*m, 0x1234};
            w.records(DF_CHUNK_MATERIAL_OLD, &sfMaterialOldestStruct, &oldest, 1, false);
            w.empty(DF_CHUNK_END);
            m->identifier = VtResStrDup(m, "old");
            m->fog_max = 99;
            w.records(DF_CHUNK_MATERIAL_OLD_2, &sfMaterialOldStruct, m, 1, false);
            w.empty(DF_CHUNK_END);
        }
        vt_material *back[2] = {};
        ASSERT_EQ(VtMaterialLoadMany("old.mat", back, 2), 2u) << (text ? "text" : "binary");
        EXPECT_STREQ(back[0]->identifier, "oldest");
        EXPECT_EQ(back[0]->flags, 0x1234u);
        EXPECT_EQ(back[0]->colour, 0x102030u);
        EXPECT_EQ(back[0]->index_base, 7);
        EXPECT_STREQ(back[1]->identifier, "old");
        EXPECT_EQ(back[1]->flags, 0x12345u);
        EXPECT_EQ(back[1]->fog_max, 99.0f);
        VtMaterialFree(back[0]);
        VtMaterialFree(back[1]);
        VtMaterialFree(m);
    }
}

// ---- Materials -------------------------------------------------------------

TEST_F(VtSceneFile, MaterialsRoundTripWithTheirMapsAndTablesByName) {
    vt_pixelmap *map = VtPixelmapAllocate(VT_PMT_INDEX_8, 4, 4, nullptr, 0);
    map->identifier = VtResStrDup(map, "hull.pix");
    VtMapAdd(map);
    vt_pixelmap *shade = VtPixelmapAllocate(VT_PMT_INDEX_8, 256, 64, nullptr, 0);
    shade->identifier = VtResStrDup(shade, "shade.tab");
    VtTableAdd(shade);
    static vt_pixelmap *fog;
    fog = VtPixelmapAllocate(VT_PMT_INDEX_8, 256, 1, nullptr, 0);
    fog->identifier = VtResStrDup(fog, "fog.tab");

    for (int text : {0, 1}) {
        VtWriteModeSet(text);
        vt_material *m = VtMaterialAllocate("hull");
        m->colour = 0x123456;
        m->opacity = 200;
        m->ka = 0.25f;
        m->kd = 0.5f;
        m->ks = 0.75f;
        m->power = 12;
        m->flags = VT_MATF_LIT | VT_MATF_SMOOTH | VT_MATF_TWO_SIDED | VT_MATF_NO_DEPTH_WRITE;
        m->map_transform.m[2][0] = 0.5f;
        m->mode = VT_MATM_BLEND_SUMMED | VT_MATM_DEPTH_LESS;
        m->index_base = 16;
        m->index_range = 32;
        m->fog_min = 1;
        m->fog_max = 2;
        m->fog_colour = 0x010203;
        m->subdivide_tolerance = -5;
        m->colour_map = map;
        m->index_shade = shade;
        m->index_fog = fog;
        ASSERT_EQ(VtMaterialSave("m.mat", m), 1u);
        // The fog table is not registered: the hook finds it.
        VtTableFindHook([](const char *name) { return strcmp(name, "fog.tab") == 0 ? fog : nullptr; });
        vt_material *back = VtMaterialLoad("m.mat");
        VtTableFindHook(nullptr);
        ASSERT_NE(back, nullptr);
        EXPECT_STREQ(back->identifier, "hull");
        EXPECT_EQ(back->colour, m->colour);
        EXPECT_EQ(back->opacity, 200);
        EXPECT_EQ(back->kd, 0.5f);
        EXPECT_EQ(back->power, 12.0f);
        EXPECT_EQ(back->flags, m->flags);
        EXPECT_EQ(back->map_transform.m[2][0], 0.5f);
        EXPECT_EQ(back->mode, m->mode);
        EXPECT_EQ(back->index_range, 32);
        EXPECT_EQ(back->fog_colour, 0x010203u);
        EXPECT_EQ(back->subdivide_tolerance, -5);
        EXPECT_EQ(back->colour_map, map);
        EXPECT_EQ(back->index_shade, shade);
        EXPECT_EQ(back->index_fog, fog);
        EXPECT_EQ(back->index_blend, nullptr);
        ASSERT_EQ(VtMaterialSave("n.mat", back), 1u);
        EXPECT_EQ(readFileBytes("m.mat"), readFileBytes("n.mat"));
        VtMaterialFree(back);
        VtMaterialFree(m);
    }
    VtPixelmapFree(fog);
}

TEST_F(VtSceneFile, SavingNoListWritesEveryRegisteredMaterial) {
    material("one", 1);
    material("two", 2);
    const vt_uint_32 registered = vt_uint_32(VtMaterialCount(nullptr));
    ASSERT_EQ(VtMaterialSaveMany("all.mat", nullptr, 0), registered);
    vt_uint_32 n = 0;
    EXPECT_EQ(VtMaterialFileCount("all.mat", &n), VT_E_OK);
    EXPECT_EQ(n, registered);
}

// ---- Actors ----------------------------------------------------------------

TEST_F(VtSceneFile, ActorTreesRoundTripWithTransformsTypeDataAndOrder) {
    vt_model *model = tetra("tetra", false);
    VtModelAdd(model);
    vt_material *paint = material("paint", 0x00FF00);
    for (int text : {0, 1}) {
        VtWriteModeSet(text);
        vt_actor *root = actor("root");
        // One child of every transform type, in order.
        for (vt_uint_16 t = 0; t < VT_TRANSFORM_MAX; t++) {
            vt_actor *c = VtActorAllocate(VT_ACTOR_MODEL, nullptr);
            c->identifier = VtResStrDup(c, ("child" + std::to_string(t)).c_str());
            c->t.type = t;
            for (int i = 0; i < 12; i++)
                (&c->t.t.mat.m[0][0])[i] = float(i + 1) / 8;
            if (t == VT_TRANSFORM_EULER) {
                c->t.t.euler.e = {16384, 100, 65535, VT_EULER_ZXZ_R};
            }
            c->model = model;
            c->material = paint;
            c->render_style = vt_uint_8(t % VT_RSTYLE_MAX);
            VtActorAdd(root, c);
        }
        vt_actor *light = actor("lamp", root, VT_ACTOR_LIGHT);
        auto *l = static_cast<vt_light *>(light->type_data);
        l->type = VT_LIGHT_VIEW | VT_LIGHT_SPOT;
        l->colour = 0xFFEEDD;
        l->attenuation_q = 0.5f;
        l->cone_inner = 1000;
        vt_actor *cam = actor("eye", light, VT_ACTOR_CAMERA);
        static_cast<vt_camera *>(cam->type_data)->yon_z = 500;
        vt_actor *box = actor("box", root, VT_ACTOR_BOUNDS_CORRECT);
        static_cast<vt_bounds3 *>(box->type_data)->max.v[1] = 7;
        vt_actor *clip = actor("clip", box, VT_ACTOR_CLIP_PLANE);
        static_cast<vt_plane *>(clip->type_data)->eqn.v[3] = -2;

        ASSERT_EQ(VtActorSave("a.act", root), 1u);
        vt_actor *back = VtActorLoad("a.act");
        ASSERT_NE(back, nullptr) << (text ? "text" : "binary");
        std::vector<std::string> names, saved;
        for (vt_actor *c = root->children; c; c = c->next)
            saved.push_back(c->identifier);
        for (vt_actor *c = back->children; c; c = c->next)
            names.push_back(c->identifier);
        EXPECT_EQ(names, saved);
        for (vt_actor *a = root->children, *b = back->children; a && b; a = a->next, b = b->next) {
            EXPECT_EQ(b->t.type, a->t.type);
            EXPECT_EQ(b->render_style, a->render_style);
            EXPECT_EQ(b->depth, 1);
            if (a->type != VT_ACTOR_MODEL)
                continue;
            EXPECT_EQ(b->model, model);
            EXPECT_EQ(b->material, paint);
            if (a->t.type != VT_TRANSFORM_IDENTITY) {
                EXPECT_EQ(b->t.t.translate.t.v[2], a->t.t.translate.t.v[2]) << a->identifier;
            }
        }
        vt_actor *lamp = VtActorSearch(back, "lamp");
        ASSERT_NE(lamp, nullptr);
        auto *bl = static_cast<vt_light *>(lamp->type_data);
        EXPECT_EQ(bl->type, VT_LIGHT_VIEW | VT_LIGHT_SPOT);
        EXPECT_EQ(bl->colour, 0xFFEEDDu);
        EXPECT_EQ(bl->attenuation_q, 0.5f);
        EXPECT_EQ(bl->cone_inner, 1000);
        EXPECT_TRUE(VtResIsChild(lamp, bl));
        vt_actor *eye = VtActorSearch(back, "lamp/eye");
        ASSERT_NE(eye, nullptr);
        EXPECT_EQ(static_cast<vt_camera *>(eye->type_data)->yon_z, 500.0f);
        EXPECT_EQ(eye->depth, 2);
        vt_actor *euler = VtActorSearch(back, "child3");
        EXPECT_EQ(euler->t.t.euler.e.order, VT_EULER_ZXZ_R);
        EXPECT_EQ(euler->t.t.euler.e.c, 65535);
        EXPECT_EQ(static_cast<vt_bounds3 *>(VtActorSearch(back, "box")->type_data)->max.v[1], 7.0f);
        EXPECT_EQ(static_cast<vt_plane *>(VtActorSearch(back, "box/clip")->type_data)->eqn.v[3], -2.0f);

        ASSERT_EQ(VtActorSave("b.act", back), 1u);
        EXPECT_EQ(readFileBytes("a.act"), readFileBytes("b.act"));
        VtActorFree(back);
        VtActorFree(root);
    }
    EXPECT_TRUE(Diag::failures.empty()) << Diag::failures[0];
    VtModelRemove(model);
    VtModelFree(model);
}

TEST_F(VtSceneFile, SeveralTreesInOneActorFile) {
    vt_actor *trees[3] = {actor("a"), actor("b"), actor("c")};
    actor("a1", trees[0]);
    ASSERT_EQ(VtActorSaveMany("t.act", trees, 3), 3u);
    vt_uint_32 n = 0;
    EXPECT_EQ(VtActorFileCount("t.act", &n), VT_E_OK);
    EXPECT_EQ(n, 3u);
    vt_actor *back[3] = {};
    ASSERT_EQ(VtActorLoadMany("t.act", back, 3), 3u);
    EXPECT_STREQ(back[0]->children->identifier, "a1");
    EXPECT_STREQ(back[2]->identifier, "c");
    for (vt_actor *a : back)
        VtActorFree(a);
    for (vt_actor *a : trees)
        VtActorFree(a);
}

// ---- Files that must not load ------------------------------------------------

TEST_F(VtSceneFile, BrokenModelFilesFailCleanly) {
    struct Case {
        const char *what;
        void (*write)(OldWriter &w);
        const char *report; // a failure report that must be among those made
    };
    static vt_vertex verts[3];
    static vt_face faces[2];
    static vt_model head;
    for (int k = 0; k < 3; k++) {
        faces[0].vertices[k] = vt_uint_16(k);
        faces[1].vertices[k] = vt_uint_16(k + 1);
    }
    head.identifier = const_cast<char *>("broken");
    const Case cases[] = {
        {"face beyond the vertices",
         [](OldWriter &w) {
             w.records(DF_CHUNK_MODEL, &sfModelStruct, &head, 1, false);
             w.records(DF_CHUNK_VERTICES, &sfVertexStruct, verts, 3, true);
             w.records(DF_CHUNK_FACES, &sfFaceStruct, faces, 2, true);
             w.empty(DF_CHUNK_END);
         },
         "Model broken: face 1 names vertex 3 of 3"},
        {"vertices with no model",
         [](OldWriter &w) {
             w.records(DF_CHUNK_VERTICES, &sfVertexStruct, verts, 3, true);
             w.empty(DF_CHUNK_END);
         },
         "DatafileStack type mismatch, wanted 8, got 21"},
        {"face materials with no index",
         [](OldWriter &w) {
             w.records(DF_CHUNK_MODEL, &sfModelStruct, &head, 1, false);
             vt_uint_16 v[1] = {0};
             w.df->prims->chunk_write(w.df, DF_CHUNK_FACE_MATERIAL, 10);
             w.df->prims->block_write(w.df, v, 1, 2, 1, 2);
         },
         "DatafileStack type mismatch, wanted 5, got 8"},
        {"a count larger than the chunk",
         [](OldWriter &w) {
             w.records(DF_CHUNK_MODEL, &sfModelStruct, &head, 1, false);
             w.df->prims->chunk_write(w.df, DF_CHUNK_VERTICES, 16);
             w.df->prims->count_write(w.df, 60000);
             DfStructWriteArray(w.df, &sfVertexStruct, verts, 1);
         },
         "60000 records of vt_vertex do not fit the chunk"},
        {"a count beyond what a model holds",
         [](OldWriter &w) {
             w.records(DF_CHUNK_MODEL, &sfModelStruct, &head, 1, false);
             w.df->prims->chunk_write(w.df, DF_CHUNK_FACES, 4);
             w.df->prims->count_write(w.df, 70000);
         },
         "Faces: 70000 entries are more than a model holds"},
        {"old faces naming a material the index lacks",
         [](OldWriter &w) {
             w.names(DF_CHUNK_OLD_MATERIAL_INDEX, {"x"}, false);
             w.records(DF_CHUNK_OLD_VERTICES, &sfVertexStruct, verts, 3, false);
             const sf_old_face f = {{0, 1, 2}, 1, 0};
             w.records(DF_CHUNK_OLD_FACES, &sfOldFaceStruct, &f, 1, false);
         },
         "Old faces: face 0 names material 1 of 1"},
    };
    for (const Case &c : cases) {
        for (int text : {0, 1}) {
            VtWriteModeSet(text);
            {
                OldWriter w("bad.dat");
                c.write(w);
            }
            Diag::clear();
            EXPECT_EQ(VtModelLoad("bad.dat"), nullptr) << c.what;
            EXPECT_NE(std::find(Diag::failures.begin(), Diag::failures.end(), std::string("Failure: ") + c.report),
                      Diag::failures.end())
                << c.what << (text ? " (text)" : " (binary)");
        }
    }
}

TEST_F(VtSceneFile, TooManyTextureCoordinatesOrFaceMaterialsAreReportedAndDropped) {
    vt_material *gold = material("gold", 0xFFD700);
    for (int text : {0, 1}) {
        VtWriteModeSet(text);
        {
            OldWriter w("extra.dat");
            vt_model head{};
            head.identifier = const_cast<char *>("extra");
            w.records(DF_CHUNK_MODEL, &sfModelStruct, &head, 1, false);
            vt_vertex v[5] = {};
            for (int i = 0; i < 5; i++)
                v[i].map.v[0] = float(i + 1);
            w.records(DF_CHUNK_VERTICES, &sfVertexStruct, v, 3, true);
            w.records(DF_CHUNK_VERTEX_UV, &sfVertexUVStruct, v, 5, true);
            vt_face f{};
            f.vertices[1] = 1;
            f.vertices[2] = 2;
            w.records(DF_CHUNK_FACES, &sfFaceStruct, &f, 1, true);
            w.names(DF_CHUNK_MATERIAL_INDEX, {"gold"}, true);
            const vt_uint_16 values[3] = {1, 1, 1};
            w.df->prims->chunk_write(w.df, DF_CHUNK_FACE_MATERIAL,
                                     vt_uint_32(w.df->prims->block_size(w.df, values, 3, 6, 1, 2)));
            w.df->prims->block_write(w.df, values, 3, 6, 1, 2);
            w.empty(DF_CHUNK_END);
        }
        Diag::clear();
        vt_model *m = VtModelLoad("extra.dat");
        ASSERT_NE(m, nullptr);
        const std::vector<std::string> reports = {"Failure: Vertex UV: too many entries",
                                                  "Failure: Face Materials: too many entries"};
        EXPECT_EQ(Diag::failures, reports);
        EXPECT_EQ(m->vertices[2].map.v[0], 3.0f);
        EXPECT_EQ(m->faces[0].material, gold);
        VtModelFree(m);
    }
}

TEST_F(VtSceneFile, ActorTypeDataMustSuitTheActor) {
    vt_actor *a = VtActorAllocate(VT_ACTOR_MODEL, nullptr);
    a->identifier = VtResStrDup(a, "ship");
    {
        OldWriter w("bad.act");
        w.records(DF_CHUNK_ACTOR, &sfActorStruct, a, 1, false);
        vt_light light{};
        w.records(DF_CHUNK_LIGHT, &sfLightStruct, &light, 1, false);
        w.empty(DF_CHUNK_ACTOR_LIGHT);
        w.empty(DF_CHUNK_END);
    }
    EXPECT_EQ(VtActorLoad("bad.act"), nullptr);
    ASSERT_FALSE(Diag::failures.empty());
    EXPECT_EQ(Diag::failures.back(), "Failure: Actor ship of type 1 cannot hold vt_light");
    VtActorFree(a);
}

TEST_F(VtSceneFile, CutFilesNeverLoadPartRecords) {
    vt_actor *root = actor("root");
    actor("lamp", root, VT_ACTOR_LIGHT);
    actor("eye", root, VT_ACTOR_CAMERA)->t.type = VT_TRANSFORM_QUAT;
    vt_model *m = tetra("tetra", true);
    for (int text : {0, 1}) {
        VtWriteModeSet(text);
        ASSERT_EQ(VtModelSave("m.dat", m), 1u);
        ASSERT_EQ(VtActorSave("a.act", root), 1u);
        ASSERT_EQ(VtMaterialSave("c.mat", m->faces[0].material), 1u);
        for (const char *file : {"m.dat", "a.act", "c.mat"}) {
            const std::string good = readFileBytes(file);
            for (size_t cut = 9; cut + 1 < good.size(); cut += text ? 7 : 3) {
                writeFileBytes("cut", good.substr(0, cut));
                // Whatever loads is whole; the rest is freed (the counting
                // allocator checks at the end).
                if (vt_model *x = VtModelLoad("cut")) {
                    EXPECT_TRUE(SfModelFacesValid(x));
                    VtModelFree(x);
                }
                VtActorFree(VtActorLoad("cut"));
                VtMaterialFree(VtMaterialLoad("cut"));
            }
        }
    }
    VtModelFree(m);
    VtActorFree(root);
}

TEST_F(VtSceneFile, TextChunkNamesReadBackAsTheirOwnIds) {
    VtWriteModeSet(1);
    {
        OldWriter w("t.dat");
        w.empty(DF_CHUNK_MATERIAL_OLD_2);
    }
    // Chunk 60 shares the name of chunk 4; written by name it would come
    // back as chunk 4.
    EXPECT_NE(readFileBytes("t.dat").find("*0x0000003c 0"), std::string::npos);
}

} // namespace

namespace {

// ---- The sample data -------------------------------------------------------------

class VtSceneSampleData : public vttest::VtSceneTest {
protected:
    static inline std::string dat;
    void SetUp() override {
        VtSceneTest::SetUp();
        const char *root = getenv("RUVO_DATA");
        ASSERT_NE(root, nullptr);
        dat = std::string(root) + "/vantor/dat/";
    }
    // What the game's find hooks do: load the missing item by its name from
    // the library's folder and register it.
    static vt_material *findMaterial(const char *name) {
        vt_material *m = VtMaterialLoad((dat + name).c_str());
        return m ? VtMaterialAdd(m) : nullptr;
    }
    static vt_pixelmap *findMap(const char *name) {
        vt_pixelmap *pm = VtPixelmapLoad((dat + name).c_str());
        return pm ? VtMapAdd(pm) : nullptr;
    }
    static vt_pixelmap *findTable(const char *name) {
        vt_pixelmap *pm = VtPixelmapLoad((dat + name).c_str());
        return pm ? VtTableAdd(pm) : nullptr;
    }
};

// Every face turned outwards from the model's centre.
bool facesOutwards(const vt_model *m) {
    for (int f = 0; f < m->nfaces; f++) {
        const vt_vector3 &a = m->vertices[m->faces[f].vertices[0]].p, &b = m->vertices[m->faces[f].vertices[1]].p,
                         &c = m->vertices[m->faces[f].vertices[2]].p;
        float u[3], v[3], mid[3];
        for (int k = 0; k < 3; k++) {
            u[k] = b.v[k] - a.v[k];
            v[k] = c.v[k] - a.v[k];
            mid[k] = a.v[k] + b.v[k] + c.v[k];
        }
        const float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
        if (n[0] * mid[0] + n[1] * mid[1] + n[2] * mid[2] <= 0)
            return false;
    }
    return true;
}

TEST_F(VtSceneSampleData, SphereModelsLoadWhole) {
    const struct {
        const char *file;
        int nvertices, nfaces;
        float radius;
    } cases[] = {
        {"gasshell.dat", 162, 320, 1.0f},
        {"triball.dat", 924, 1600, 0.5f},
    };
    for (const auto &c : cases) {
        vt_model *m = VtModelLoad((dat + c.file).c_str());
        ASSERT_NE(m, nullptr) << c.file;
        EXPECT_EQ(m->nvertices, c.nvertices);
        EXPECT_EQ(m->nfaces, c.nfaces);
        EXPECT_TRUE(facesOutwards(m)) << c.file;
        m->flags = VT_MODF_KEEP_SOURCE;
        ASSERT_EQ(VtModelAdd(m), m);
        EXPECT_NEAR(m->radius, c.radius, 1e-4) << c.file;
        VtModelRemove(m);
        VtModelFree(m);
    }
    // One face class a face of the pool sphere: the two halves.
    std::string classes = readFileBytes((dat + "triballind.dat").c_str());
    ASSERT_EQ(classes.size(), 1600u);
    EXPECT_EQ(std::count(classes.begin(), classes.end(), '\1'), 800);
    EXPECT_EQ(std::count(classes.begin(), classes.end(), '\2'), 800);
}

TEST_F(VtSceneSampleData, StarGateMaterialsLoadThroughTheFindHooks) {
    VtMaterialFindHook(findMaterial);
    VtMapFindHook(findMap);
    VtTableFindHook(findTable);
    for (const char *name : {"GateEdge1", "GateEdge2", "GateEdge3", "GateEdge4", "StarGate"}) {
        vt_material *m = VtMaterialFind(name);
        ASSERT_NE(m, nullptr) << name;
        EXPECT_STREQ(m->identifier, name);
        ASSERT_NE(m->colour_map, nullptr) << name;
        EXPECT_EQ(m->colour_map->width, 64);
        EXPECT_NE(m->index_shade, nullptr);
    }
    EXPECT_EQ(VtMaterialFind("StarGate")->colour_map, VtMaterialFind("GateEdge4")->colour_map);
    VtMaterialFindHook(nullptr);
    VtMapFindHook(nullptr);
    VtTableFindHook(nullptr);
}

// Every library file the generator writes into vantor\dat loads by its kind,
// and the library saves each back to the same bytes: the generator wrote
// them through the library's own save functions. The raw alphas and the
// face-class table are plain bytes.
TEST_F(VtSceneSampleData, EveryGeneratedLibraryFileLoadsAndSavesBackTheSame) {
    ruvotest::TempDir dir;
    VtMapFindHook(findMap);
    VtTableFindHook(findTable);
    int pixelmaps = 0, models = 0, materials = 0;
    for (const auto &entry : std::filesystem::directory_iterator(dat)) {
        const std::string name = entry.path().filename().string(), path = entry.path().string();
        const std::string ext = entry.path().extension().string();
        SCOPED_TRACE(name);
        const std::string bytes = readFileBytes(path.c_str());
        if (ext == ".raw" || name == "triballind.dat")
            continue;
        if (ext == ".pix" || ext == ".pal" || ext == ".tab") {
            vt_pixelmap *pm = VtPixelmapLoad(path.c_str());
            ASSERT_NE(pm, nullptr);
            EXPECT_GT(pm->width, 0);
            ASSERT_EQ(VtPixelmapSave("again", pm), 1u);
            EXPECT_EQ(readFileBytes("again"), bytes);
            VtPixelmapFree(pm);
            pixelmaps++;
        } else if (ext == ".dat") {
            vt_model *m = VtModelLoad(path.c_str());
            ASSERT_NE(m, nullptr);
            ASSERT_EQ(VtModelSave("again", m), 1u);
            EXPECT_EQ(readFileBytes("again"), bytes);
            VtModelFree(m);
            models++;
        } else {
            vt_material *m = VtMaterialLoad(path.c_str());
            ASSERT_NE(m, nullptr);
            // The broken hulls' material takes its map when first used.
            if (name != "carbon") {
                EXPECT_NE(m->colour_map, nullptr);
            }
            ASSERT_EQ(VtMaterialSave("again", m), 1u);
            EXPECT_EQ(readFileBytes("again"), bytes);
            VtMaterialFree(m);
            materials++;
        }
    }
    EXPECT_GE(pixelmaps, 30);
    EXPECT_EQ(models, 2);
    EXPECT_EQ(materials, 6);
    EXPECT_TRUE(Diag::failures.empty());
    VtMapFindHook(nullptr);
    VtTableFindHook(nullptr);
}

TEST_F(VtSceneSampleData, RawAlphasAndTheAsciiMesh) {
    const struct {
        const char *file;
        size_t size;
    } alphas[] = {{"beamalpha2.raw", 4096}, {"ExpUnlitAlpha.raw", 4096}, {"CapsAlph.raw", 8192},
                  {"ShieldAlph.raw", 4096}, {"PocketAlph.raw", 4096},    {"beamalpha.raw", 4096},
                  {"beamalpha3.raw", 4096}, {"bigfuzzalph2.raw", 4096}};
    for (const auto &a : alphas)
        EXPECT_EQ(readFileBytes((dat + a.file).c_str()).size(), a.size) << a.file;
    vt_model *beacon = nullptr;
    ASSERT_EQ(VtAsciiMeshLoad((dat + "../../vek/resource/shapes/beacon.asc").c_str(), &beacon, 1), 1u);
    EXPECT_STREQ(beacon->identifier, "Beacon");
    EXPECT_EQ(beacon->nvertices, 6);
    EXPECT_EQ(beacon->nfaces, 8);
    EXPECT_TRUE(facesOutwards(beacon));
    VtModelFree(beacon);
}

} // namespace
