// The scene's registries with their find hooks, the renderer's begin and
// end over registered items, and the texture-coordinate generators.
#include <cmath>
#include <string>

#include "recording_renderer.h"
#include "render/pmap/pixelmap.h"
#include "scene_fixture.h"

using namespace vttest;

namespace {

class VtSceneRegistry : public VtSceneTest {};

vt_model *cube(const char *name) {
    vt_model *m = VtModelAllocate(name, 8, 12);
    vt_model *d = VtDefaultModel();
    memcpy(m->vertices, d->vertices, 8 * sizeof(vt_vertex));
    memcpy(m->faces, d->faces, 12 * sizeof(vt_face));
    m->flags = VT_MODF_UPDATEABLE;
    return m;
}

std::vector<std::string> hookCalls;
vt_model *hookModel;
vt_model *modelHook(const char *name) {
    hookCalls.push_back(std::string("model ") + name);
    return hookModel;
}
vt_material *materialHook(const char *name) {
    hookCalls.push_back(std::string("material ") + name);
    return nullptr;
}
vt_pixelmap *hookMap;
vt_pixelmap *mapHook(const char *name) {
    hookCalls.push_back(std::string("map ") + name);
    return hookMap;
}
vt_pixelmap *tableHook(const char *name) {
    hookCalls.push_back(std::string("table ") + name);
    return nullptr;
}

TEST_F(VtSceneRegistry, AddingPreparesEvenWithoutARenderer) {
    vt_model *m = cube("box");
    EXPECT_EQ(VtModelAdd(m), m);
    EXPECT_NE(m->prepared, nullptr);
    EXPECT_EQ(VtModelFind("BOX"), m);
    EXPECT_EQ(VtModelCount(nullptr), 1);
    // Removing drops the prepared form; removing again still drops (there
    // is nothing left) and answers null.
    EXPECT_EQ(VtModelRemove(m), m);
    EXPECT_EQ(m->prepared, nullptr);
    VtModelUpdate(m, VT_MODU_ALL);
    EXPECT_NE(m->prepared, nullptr);
    EXPECT_EQ(VtModelRemove(m), nullptr);
    EXPECT_EQ(m->prepared, nullptr);
    EXPECT_EQ(VtModelFind("box"), nullptr);
    VtModelFree(m);
}

TEST_F(VtSceneRegistry, ManyFindsCountsAndEnums) {
    vt_material *ms[3] = {VtMaterialAllocate("hull_a"), VtMaterialAllocate("hull_b"), VtMaterialAllocate("glass")};
    EXPECT_EQ(VtMaterialAddMany(ms, 3), 3);
    vt_material *found[4] = {};
    EXPECT_EQ(VtMaterialFindMany("hull_*", found, 4), 2);
    EXPECT_EQ(VtMaterialCount("hull_?"), 2);
    EXPECT_EQ(VtMaterialCount(nullptr), 3);
    int seen = 0;
    VtMaterialEnum("*", [](vt_material *, void *arg) { return ++*static_cast<int *>(arg) == 2 ? 7 : 0; }, &seen);
    EXPECT_EQ(seen, 2);
    // The most recent of two alike names is found.
    vt_material *again = VtMaterialAllocate("glass");
    VtMaterialAdd(again);
    EXPECT_EQ(VtMaterialFind("glass"), again);
    vt_material *both[2] = {ms[2], again};
    EXPECT_EQ(VtMaterialRemoveMany(both, 2), 2);
    EXPECT_EQ(VtMaterialRemoveMany(both, 2), 0);
    EXPECT_EQ(VtMaterialRemoveMany(both, 0), 0);
    EXPECT_EQ(VtMaterialRemoveMany(ms, 2), 2);
    for (vt_material *m : ms)
        VtMaterialFree(m);
    VtMaterialFree(again);
}

TEST_F(VtSceneRegistry, FindHooksAnswerMisses) {
    hookCalls.clear();
    hookModel = cube("loaded");
    hookMap = VtPixelmapAllocate(VT_PMT_INDEX_8, 2, 2, nullptr, 0);
    EXPECT_EQ(VtModelFindHook(modelHook), nullptr);
    EXPECT_EQ(VtMaterialFindHook(materialHook), nullptr);
    EXPECT_EQ(VtMapFindHook(mapHook), nullptr);
    EXPECT_EQ(VtTableFindHook(tableHook), nullptr);
    EXPECT_EQ(VtModelFind("ship"), hookModel);
    EXPECT_EQ(VtMaterialFind("paint"), nullptr);
    EXPECT_EQ(VtMapFind("stars"), hookMap);
    EXPECT_EQ(VtTableFind("shade"), nullptr);
    EXPECT_EQ(hookCalls, (std::vector<std::string>{"model ship", "material paint", "map stars", "table shade"}));
    // A hit does not ask the hook; the hook's answer is not registered.
    VtModelAdd(hookModel);
    hookCalls.clear();
    EXPECT_EQ(VtModelFind("loaded"), hookModel);
    EXPECT_TRUE(hookCalls.empty());
    EXPECT_EQ(VtMapCount(nullptr), 0);
    // Setting returns the previous hook.
    EXPECT_EQ(VtModelFindHook(nullptr), modelHook);
    EXPECT_EQ(VtMapFindHook(nullptr), mapHook);
    EXPECT_EQ(VtModelFind("ship"), nullptr);
    EXPECT_EQ(VtMaterialFindHook(nullptr), materialHook);
    EXPECT_EQ(VtTableFindHook(nullptr), tableHook);
    VtModelRemove(hookModel);
    VtModelFree(hookModel);
    VtPixelmapFree(hookMap);
}

TEST_F(VtSceneRegistry, TheRendererPreparesEverythingRegisteredAndDropsItAtTheEnd) {
    RecordingRenderer rec;
    vt_model *m = cube("box");
    vt_material *mat = VtMaterialAllocate("paint");
    vt_pixelmap *tex = VtPixelmapAllocate(VT_PMT_INDEX_8, 4, 4, nullptr, 0);
    vt_pixelmap *tab = VtPixelmapAllocate(VT_PMT_INDEX_8, 4, 4, nullptr, 0);
    tex->identifier = "tex";
    tab->identifier = "tab";
    rec.name(tex, "tex");
    rec.name(tab, "tab");
    VtModelAdd(m);
    VtMaterialAdd(mat);
    VtMapAdd(tex);
    VtTableAdd(tab);
    rec.name(m->prepared, "box");
    for (int f = 0; f < 12; f++)
        m->faces[f].material = mat;
    EXPECT_TRUE(rec.take().empty());

    ASSERT_EQ(VtRendererBegin(nullptr, rec.facility(), nullptr, nullptr, 0), VT_E_OK);
    EXPECT_EQ(VtRendererQuery(), rec.renderer());
    // In order: the defaults, then tables, maps, materials and models.
    std::vector<std::string> log = rec.take();
    std::vector<std::string> order;
    for (const std::string &l : log)
        if (l.rfind("rendererNew", 0) == 0 || l.rfind("bufferStoredNew", 0) == 0 || l.rfind("stateStoredNew", 0) == 0)
            order.push_back(l.substr(0, l.find(" PREFER")));
    EXPECT_EQ(order, (std::vector<std::string>{"rendererNew ", "stateStoredNew 2147483713",
                                                "bufferStoredNew UNKNOWN tab", "bufferStoredNew COLOUR_MAP_O tex",
                                                "stateStoredNew 2147483713"}));
    // The model was prepared after its material got its stored state.
    ASSERT_NE(m->prepared, nullptr);
    EXPECT_EQ(m->prepared->groups[0].stored, mat->stored);
    EXPECT_NE(mat->stored, nullptr);
    EXPECT_EQ(VtRendererBegin(nullptr, rec.facility(), nullptr, nullptr, 0), VT_E_FAIL);
    EXPECT_EQ(Diag::failures.back(), "Failure: Renderer already started\n");

    EXPECT_EQ(VtRendererEnd(), VT_E_OK);
    EXPECT_TRUE(rec.rendererFreed);
    EXPECT_EQ(VtRendererQuery(), nullptr);
    EXPECT_EQ(mat->stored, nullptr);
    EXPECT_EQ(tex->stored, nullptr);
    EXPECT_EQ(tab->stored, nullptr);
    EXPECT_EQ(m->prepared, nullptr);
    EXPECT_EQ(VtDefaultMaterial()->stored, nullptr);
    EXPECT_EQ(rec.liveStates, 0);
    EXPECT_EQ(rec.liveBuffers, 0);
    EXPECT_EQ(VtRendererEnd(), VT_E_FAIL);

    VtModelRemove(m);
    VtMaterialRemove(mat);
    VtMapRemove(tex);
    VtTableRemove(tab);
    VtModelFree(m);
    VtMaterialFree(mat);
    VtPixelmapFree(tex);
    VtPixelmapFree(tab);
}

TEST_F(VtSceneRegistry, TheFacilityIsFoundByItsDefaultName) {
    // A driver without a bucket format still renders (z-buffer only).
    RecordingRenderer rec(false);
    EXPECT_EQ(VtRendererBegin(nullptr, nullptr, nullptr, nullptr, 0), VT_E_OK);
    EXPECT_EQ(VtRendererQuery(), rec.renderer());
    EXPECT_EQ(VtRendererEnd(), VT_E_OK);
}

TEST_F(VtSceneRegistry, ApplyMapCoordinates) {
    vt_model *m = VtModelAllocate("points", 6, 0);
    const float pts[6][3] = {{0, 1, 0}, {0, -1, 0}, {1, 0, 0}, {0, 0, -1}, {-1, 0, 0.0001f}, {0.5f, 0.5f, 0}};
    for (int i = 0; i < 6; i++)
        VtVector3Set(&m->vertices[i].p, pts[i][0], pts[i][1], pts[i][2]);
    struct row {
        int type;
        int vertex;
        float u, v;
    } rows[] = {
        {VT_APPLYMAP_PLANE, 5, 0.75f, 0.75f},
        {VT_APPLYMAP_SPHERE, 0, 0.0f, 1.0f},   // +y pole
        {VT_APPLYMAP_SPHERE, 1, 0.0f, 0.0f},   // -y pole
        {VT_APPLYMAP_SPHERE, 3, 0.25f, 0.5f},  // a quarter turn round from +x
        {VT_APPLYMAP_CYLINDER, 2, 0.0f, 0.5f},
        {VT_APPLYMAP_CYLINDER, 4, 32769 / 65536.0f, 0.5f}, // just past half a turn, to the unit
        {VT_APPLYMAP_DISC, 0, 0.75f, 1.0f},
        {VT_APPLYMAP_NONE, 5, 0.0f, 0.0f},
    };
    for (const row &r : rows) {
        SCOPED_TRACE(r.type * 10 + r.vertex);
        VtModelApplyMap(m, r.type, nullptr);
        EXPECT_FLOAT_EQ(m->vertices[r.vertex].map.v[0], r.u);
        EXPECT_NEAR(m->vertices[r.vertex].map.v[1], r.v, 1e-6f);
    }
    // Types past the last leave the coordinates alone; a matrix moves the
    // points first.
    VtModelApplyMap(m, 9, nullptr);
    EXPECT_EQ(m->vertices[5].map.v[0], 0.0f);
    vt_matrix34 shift;
    VtMatrix34Translate(&shift, 1, 0, 0);
    VtModelApplyMap(m, VT_APPLYMAP_PLANE, &shift);
    EXPECT_FLOAT_EQ(m->vertices[5].map.v[0], 1.25f);
    VtModelFree(m);
}

TEST_F(VtSceneRegistry, FitMapTakesTheBoundsToPlanarRange) {
    vt_model *m = VtModelAllocate("slab", 2, 0);
    VtVector3Set(&m->vertices[0].p, 2, 10, 5);
    VtVector3Set(&m->vertices[1].p, 6, 30, 5); // flat in z
    m->bounds.min = m->vertices[0].p;
    m->bounds.max = m->vertices[1].p;
    vt_matrix34 fit;
    EXPECT_EQ(VtModelFitMap(m, VT_FITMAP_PLUS_X, VT_FITMAP_MINUS_Y, &fit), &fit);
    vt_vector3 lo, hi;
    VtMatrix34ApplyP(&lo, &m->vertices[0].p, &fit);
    VtMatrix34ApplyP(&hi, &m->vertices[1].p, &fit);
    EXPECT_FLOAT_EQ(lo.v[0], -1);
    EXPECT_FLOAT_EQ(hi.v[0], 1);
    EXPECT_FLOAT_EQ(lo.v[1], 1); // -y: the low end maps to +1
    EXPECT_FLOAT_EQ(hi.v[1], -1);
    // The flat axis is scaled by 1: z stays at its offset from the centre.
    EXPECT_FLOAT_EQ(fit.m[2][2], -1.0f);
    EXPECT_FLOAT_EQ(lo.v[2], 0);
    VtModelApplyMap(m, VT_APPLYMAP_PLANE, &fit);
    EXPECT_FLOAT_EQ(m->vertices[0].map.v[0], 0);
    EXPECT_FLOAT_EQ(m->vertices[1].map.v[1], 0);
    VtModelFree(m);
}

} // namespace
