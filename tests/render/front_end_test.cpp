// The z-buffer and z-sort front ends against the recording renderer:
// golden call traces for three scenes, then the walk's rules, the render
// styles, the render-bounds callback and the renderer's lifetime.
#include <cmath>

#include "recording_renderer.h"
#include "render/front/front.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scenestate.h"
#include "scene_fixture.h"

using namespace vttest;

namespace {

using lines = std::vector<std::string>;

class VtFrontEnd : public VtSceneTest {
protected:
    void SetUp() override {
        VtSceneTest::SetUp();
        rec = new RecordingRenderer();
        colour = VtPixelmapAllocate(VT_PMT_RGB_565, 320, 200, nullptr, 0);
        colour->origin_x = 160;
        colour->origin_y = 100;
        depth = VtPixelmapMatch(colour, VT_PMMATCH_DEPTH_16);
        rec->name(colour, "colour");
        rec->name(depth, "depth");
        world = actor("world");
        camera = actor("camera", world, VT_ACTOR_CAMERA);
        cube = VtModelAllocate("cube", 8, 12);
        memcpy(cube->vertices, VtDefaultModel()->vertices, 8 * sizeof(vt_vertex));
        memcpy(cube->faces, VtDefaultModel()->faces, 12 * sizeof(vt_face));
        // Kept arrays let a renderer started later prepare it again.
        cube->flags = VT_MODF_UPDATEABLE;
        VtModelAdd(cube);
        rec->name(cube->prepared, "cube");
    }
    void TearDown() override {
        VtActorFree(world);
        VtModelRemove(cube);
        VtModelFree(cube);
        VtZbEnd();
        VtZsEnd();
        VtPixelmapFree(depth);
        VtPixelmapFree(colour);
        delete rec;
        VtSceneTest::TearDown();
    }
    void startZb() {
        ASSERT_EQ(VtZbBegin(VT_PMT_RGB_565, VT_PMT_DEPTH_16), VT_E_OK);
        rec->name(VtDefaultMaterial()->stored, "default_mat");
        rec->name(VtDefaultModel()->prepared, "default_model");
        rec->name(cube->prepared, "cube");
        rec->take();
    }
    // Lines of the trace that start with one of the prefixes.
    lines only(const lines &log, std::initializer_list<const char *> prefixes) {
        lines r;
        for (const std::string &l : log)
            for (const char *p : prefixes)
                if (l.rfind(p, 0) == 0) {
                    r.push_back(l);
                    break;
                }
        return r;
    }
    RecordingRenderer *rec = nullptr;
    vt_pixelmap *colour = nullptr, *depth = nullptr;
    vt_actor *world = nullptr, *camera = nullptr;
    vt_model *cube = nullptr;
};

void translate(vt_actor *a, float x, float y, float z) {
    a->t.type = VT_TRANSFORM_TRANSLATION;
    VtVector3Set(&a->t.t.translate.t, x, y, z);
}

TEST_F(VtFrontEnd, GoldenTraceCameraAndOneModel) {
    startZb();
    translate(camera, 0, 0, 5);
    vt_actor *box = actor("box", world, VT_ACTOR_MODEL);
    box->model = cube;
    ASSERT_EQ(VtZbSceneRender(world, camera, colour, depth), VT_E_OK);
    const lines want = {
        "set OUTPUT 0 COLOUR_BUFFER_O=colour",
        "set OUTPUT 0 DEPTH_BUFFER_O=depth",
        "setMany HIDDEN_SURFACE 0 TYPE_T=NONE DIVERT_T=NONE",
        "setMany MATRIX 0 VIEW_TO_SCREEN_M4_F=[2.415 0 0 0 0 2.415 0 0 0 0 1.222 -1 0 0 2.222 0] VIEW_TO_SCREEN_HINT_T=PERSPECTIVE HITHER_Z_F=1 YON_Z_F=10",
        "setMany MATRIX 0 MODEL_TO_VIEW_M34_F=[1 0 0 0 1 0 0 0 1 0 0 5] MODEL_TO_VIEW_HINT_T=LENGTH_PRESERVING",
        "modelInvert",
        "query MATRIX 0 MODEL_TO_VIEW_M34_F",
        "set MATRIX 0 VIEW_TO_ENVIRONMENT_HINT_T=DONT_CARE",
        "push 2",
        "modelMul [1 0 0 0 1 0 0 0 1 0 0 0]",
        "set MATRIX 0 MODEL_TO_VIEW_HINT_T=NONE",
        "boundsTest (-1 -1 -1)-(1 1 1)",
        "renderOnScreen cube TRIANGLE default_mat",
        "pop 2",
        "frameEnd",
    };
    EXPECT_EQ(rec->take(), want);
}

TEST_F(VtFrontEnd, GoldenTraceTreeWithLightsAndAClipPlane) {
    startZb();
    translate(camera, 0, 0, 10);
    vt_material *paint = VtMaterialAllocate("paint");
    VtMaterialAdd(paint);
    rec->name(paint->stored, "paint");
    vt_actor *ship = actor("ship", world, VT_ACTOR_MODEL);
    ship->model = cube;
    ship->material = paint;
    translate(ship, 1, 0, 0);
    vt_actor *turret = actor("turret", ship, VT_ACTOR_MODEL);
    translate(turret, 0, 1, 0);
    turret->render_style = VT_RSTYLE_EDGES;
    vt_actor *lamp = actor("lamp", ship, VT_ACTOR_LIGHT);
    translate(lamp, 0, 2, 0);
    static_cast<vt_light *>(lamp->type_data)->type = VT_LIGHT_POINT;
    vt_actor *sun = actor("sun", world, VT_ACTOR_LIGHT);
    sun->t.type = VT_TRANSFORM_EULER;
    sun->t.t.euler.e = {16384, 0, 0, VT_EULER_XYZ_S}; // its z axis turned to -y
    vt_light *sunLight = static_cast<vt_light *>(sun->type_data);
    sunLight->colour = 0xFFEEDD;
    vt_actor *spot = actor("spot", nullptr, VT_ACTOR_LIGHT); // not in the world
    vt_actor *hidden = actor("hidden", world, VT_ACTOR_MODEL);
    hidden->render_style = VT_RSTYLE_NONE;
    actor("under hidden", hidden, VT_ACTOR_MODEL);
    vt_actor *clip = actor("clip", world, VT_ACTOR_CLIP_PLANE);
    clip->t.type = VT_TRANSFORM_IDENTITY;
    VtLightEnable(sun);
    VtLightEnable(spot);
    VtLightEnable(lamp);
    VtClipPlaneEnable(clip);
    rec->name(cube->prepared, "cube");
    rec->take();
    ASSERT_EQ(VtZbSceneRender(world, camera, colour, depth), VT_E_OK);
    // The sun is direct and turned (its z axis along -y), the spot is not in
    // the world, the lamp is a point on the ship; the clip plane z = 0 is
    // z + 10 = 0 in view space, carried to screen space; the hidden subtree
    // is not walked; the turret draws edges in the ship's material.
    const lines want = {
        "set OUTPUT 0 COLOUR_BUFFER_O=colour",
        "set OUTPUT 0 DEPTH_BUFFER_O=depth",
        "setMany HIDDEN_SURFACE 0 TYPE_T=NONE DIVERT_T=NONE",
        "setMany MATRIX 0 VIEW_TO_SCREEN_M4_F=[2.415 0 0 0 0 2.415 0 0 0 0 1.222 -1 0 0 2.222 0] VIEW_TO_SCREEN_HINT_T=PERSPECTIVE HITHER_Z_F=1 YON_Z_F=10",
        "setMany MATRIX 0 MODEL_TO_VIEW_M34_F=[1 0 0 0 1 0 0 0 1 0 0 10] MODEL_TO_VIEW_HINT_T=LENGTH_PRESERVING",
        "modelInvert",
        "query MATRIX 0 MODEL_TO_VIEW_M34_F",
        "setMany LIGHT 0 COLOUR_RGB=0xffeedd ATTENUATION_C_F=1 ATTENUATION_L_F=0 ATTENUATION_Q_F=0 SPACE_T=MODEL TYPE_T=DIRECT DIRECTION_V3_F=[0 -1 0]",
        "setMany LIGHT 1 COLOUR_RGB=0xffffff ATTENUATION_C_F=1 ATTENUATION_L_F=0 ATTENUATION_Q_F=0 SPACE_T=MODEL TYPE_T=POINT POSITION_V3_F=[1 2 -10]",
        "setMany CLIP 0 TYPE_T=PLANE PLANE_V4_F=[0 0 4.5 4.5]",
        "set MATRIX 0 VIEW_TO_ENVIRONMENT_HINT_T=DONT_CARE",
        "push 2",
        "modelMul [1 0 0 0 1 0 0 0 1 1 0 0]",
        "set MATRIX 0 MODEL_TO_VIEW_HINT_T=LENGTH_PRESERVING",
        "boundsTest (-1 -1 -1)-(1 1 1)",
        "renderOnScreen cube TRIANGLE paint",
        "push 2",
        "modelMul [1 0 0 0 1 0 0 0 1 0 1 0]",
        "set MATRIX 0 MODEL_TO_VIEW_HINT_T=LENGTH_PRESERVING",
        "boundsTest (-1 -1 -1)-(1 1 1)",
        "render cube LINE paint",
        "pop 2",
        "pop 2",
        "frameEnd",
    };
    EXPECT_EQ(rec->take(), want);

    // With one light fewer the next scene switches the one left over off.
    VtLightDisable(lamp);
    VtClipPlaneDisable(clip);
    ASSERT_EQ(VtZbSceneRender(world, camera, colour, depth), VT_E_OK);
    const lines second = {
        "setMany LIGHT 0 COLOUR_RGB=0xffeedd ATTENUATION_C_F=1 ATTENUATION_L_F=0 ATTENUATION_Q_F=0 SPACE_T=MODEL TYPE_T=DIRECT DIRECTION_V3_F=[0 -1 0]",
        "set LIGHT 1 TYPE_T=NONE",
        "set CLIP 0 TYPE_T=NONE",
    };
    EXPECT_EQ(only(rec->take(), {"set LIGHT", "setMany LIGHT", "set CLIP", "setMany CLIP"}), second);
    VtActorFree(spot);
    VtMaterialRemove(paint);
    VtMaterialFree(paint);
}

TEST_F(VtFrontEnd, GoldenTraceZSortWithTwoOrderTables) {
    static vt_uint_8 heap[4096];
    ASSERT_EQ(VtZsBegin(VT_PMT_RGB_565, heap, sizeof heap), VT_E_OK);
    rec->name(VtDefaultMaterial()->stored, "default_mat");
    rec->name(cube->prepared, "cube");
    rec->name(&vtScene.heap, "heap");
    rec->name(vtScene.default_order_table, "default table");
    rec->take();
    translate(camera, 0, 0, 5);
    vt_order_table *nearTable = VtZsOrderTableAllocate(8, VT_ORDER_TABLE_RANGE_EACH | VT_ORDER_TABLE_SORT_CENTRE,
                                                       VT_ORDER_TABLE_AVERAGE);
    vt_order_table *farTable = VtZsOrderTableAllocate(4, VT_ORDER_TABLE_RANGE_FIRST | VT_ORDER_TABLE_SORT_FAR,
                                                      VT_ORDER_TABLE_MAXIMUM);
    rec->name(nearTable, "near table");
    rec->name(farTable, "far table");
    rec->name(nearTable->table, "near buckets");
    rec->name(farTable->table, "far buckets");
    vt_actor *front = actor("front", world, VT_ACTOR_MODEL);
    front->model = cube;
    translate(front, 0, 0, 2);
    VtZsActorOrderTableSet(front, nearTable);
    vt_actor *back = actor("back", world, VT_ACTOR_MODEL);
    back->model = cube;
    translate(back, 0, 0, -20);
    VtZsActorOrderTableSet(back, farTable);
    vt_actor *child = actor("child", back, VT_ACTOR_MODEL); // inherits the far table
    translate(child, 0, 0, -1);
    ASSERT_EQ(VtZsSceneRender(world, camera, colour), VT_E_OK);
    // The far table takes its range from its first model only, the near
    // table from each; the frame renders the far table first.
    const lines want = {
        "set OUTPUT 0 COLOUR_BUFFER_O=colour",
        "set OUTPUT 0 DEPTH_BUFFER_O=null",
        "setMany HIDDEN_SURFACE 0 V1ORDER_TABLE_P=default table V1PRIMITIVE_HEAP_P=heap TYPE_T=BUCKET_SORT DIVERT_T=ALL",
        "setMany MATRIX 0 VIEW_TO_SCREEN_M4_F=[2.415 0 0 0 0 2.415 0 0 0 0 1.222 -1 0 0 2.222 0] VIEW_TO_SCREEN_HINT_T=PERSPECTIVE HITHER_Z_F=1 YON_Z_F=10",
        "setMany MATRIX 0 MODEL_TO_VIEW_M34_F=[1 0 0 0 1 0 0 0 1 0 0 5] MODEL_TO_VIEW_HINT_T=LENGTH_PRESERVING",
        "modelInvert",
        "query MATRIX 0 MODEL_TO_VIEW_M34_F",
        "set MATRIX 0 VIEW_TO_ENVIRONMENT_HINT_T=DONT_CARE",
        "push 2",
        "modelMul [1 0 0 0 1 0 0 0 1 0 0 -20]",
        "set MATRIX 0 MODEL_TO_VIEW_HINT_T=LENGTH_PRESERVING",
        "boundsTest (-1 -1 -1)-(1 1 1)",
        "query MATRIX 0 MODEL_TO_VIEW_M34_F",
        "set HIDDEN_SURFACE 0 V1ORDER_TABLE_P=far table",
        "renderOnScreen cube TRIANGLE default_mat",
        "push 2",
        "modelMul [1 0 0 0 1 0 0 0 1 0 0 -1]",
        "set MATRIX 0 MODEL_TO_VIEW_HINT_T=LENGTH_PRESERVING",
        "boundsTest (-1 -1 -1)-(1 1 1)",
        "set HIDDEN_SURFACE 0 V1ORDER_TABLE_P=far table",
        "renderOnScreen cube TRIANGLE default_mat",
        "pop 2",
        "pop 2",
        "push 2",
        "modelMul [1 0 0 0 1 0 0 0 1 0 0 2]",
        "set MATRIX 0 MODEL_TO_VIEW_HINT_T=LENGTH_PRESERVING",
        "boundsTest (-1 -1 -1)-(1 1 1)",
        "query MATRIX 0 MODEL_TO_VIEW_M34_F",
        "set HIDDEN_SURFACE 0 V1ORDER_TABLE_P=near table",
        "renderOnScreen cube TRIANGLE default_mat",
        "pop 2",
        "renderBuckets far buckets 4",
        "renderBuckets near buckets 8",
        "frameEnd",
    };
    EXPECT_EQ(rec->take(), want);
    EXPECT_FLOAT_EQ(nearTable->min_z, 2);
    EXPECT_FLOAT_EQ(nearTable->max_z, 4);
    EXPECT_FLOAT_EQ(nearTable->sort_z, 3);
    EXPECT_FLOAT_EQ(nearTable->scale, 4);
    EXPECT_FLOAT_EQ(farTable->min_z, 24);
    EXPECT_FLOAT_EQ(farTable->max_z, 26);
    EXPECT_FLOAT_EQ(farTable->sort_z, 26);
    EXPECT_EQ(nearTable->visits, 0);
    EXPECT_EQ(farTable->visits, 0);
    VtZsOrderTableFree(nearTable);
    VtZsOrderTableFree(farTable);
}

} // namespace

namespace {

class VtFrontEndRules : public VtFrontEnd {
protected:
    void SetUp() override {
        VtFrontEnd::SetUp();
        startZb();
        translate(camera, 0, 0, 5);
    }
    // The draw calls of a scene of the world.
    lines draws() {
        EXPECT_EQ(VtZbSceneRender(world, camera, colour, depth), VT_E_OK);
        return only(rec->take(), {"render", "boundsTest"});
    }
};

TEST_F(VtFrontEndRules, RenderStylesPickTheirPrimitives) {
    vt_model *slab = VtModelAllocate("slab", 8, 12);
    memcpy(slab->faces, cube->faces, 12 * sizeof(vt_face));
    for (int i = 0; i < 8; i++)
        VtVector3Set(&slab->vertices[i].p, (i & 1) ? 4.0f : 2.0f, (i & 2) ? 1.0f : -1.0f, (i & 4) ? 0.5f : 0.0f);
    slab->flags = VT_MODF_UPDATEABLE;
    VtModelAdd(slab);
    rec->name(slab->prepared, "slab");
    struct row {
        vt_uint_8 style;
        vt_token on_screen;
        const char *draw; // null: nothing drawn
    } rows[] = {
        {VT_RSTYLE_DEFAULT, VTT_ACCEPT, "renderOnScreen slab TRIANGLE default_mat"},
        {VT_RSTYLE_FACES, VTT_PARTIAL, "render slab TRIANGLE default_mat"},
        {VT_RSTYLE_NONE, VTT_ACCEPT, nullptr},
        {VT_RSTYLE_POINTS, VTT_ACCEPT, "render slab POINT default_mat"},
        {VT_RSTYLE_EDGES, VTT_ACCEPT, "render slab LINE default_mat"},
        {VT_RSTYLE_BOUNDING_POINTS, VTT_ACCEPT, "render box POINT default_mat"},
        {VT_RSTYLE_BOUNDING_EDGES, VTT_PARTIAL, "render box LINE default_mat"},
        {VT_RSTYLE_BOUNDING_FACES, VTT_ACCEPT, "render box TRIANGLE default_mat"},
    };
    ASSERT_EQ(VtZbSceneRenderBegin(world, camera, colour, depth), VT_E_OK);
    // The bounding styles' box is made at its first use.
    VtZbModelRender(nullptr, slab, nullptr, VT_RSTYLE_BOUNDING_POINTS, VTT_ACCEPT, 1);
    ASSERT_NE(vtScene.bounds_model, nullptr);
    rec->name(vtScene.bounds_model->prepared, "box");
    for (const row &r : rows) {
        rec->take();
        VtZbModelRender(nullptr, slab, nullptr, r.style, r.on_screen, 1);
        EXPECT_EQ(only(rec->take(), {"render"}), r.draw ? lines{r.draw} : lines{}) << int(r.style);
    }
    VtZbSceneRenderEnd();
    // The box stands where the slab's bounds are, its planes with it.
    const vt_prepared_model *box = vtScene.bounds_model->prepared;
    vt_bounds3 b;
    VtBounds3Empty(&b);
    for (int v = 0; v < box->groups[0].nvertices; v++)
        VtBounds3AddPoint(&b, &box->groups[0].vertices[v].p);
    EXPECT_EQ(b.min.v[0], 2.0f);
    EXPECT_EQ(b.max.v[0], 4.0f);
    EXPECT_EQ(b.max.v[2], 0.5f);
    for (int f = 0; f < 12; f++) {
        const vt_prepared_face &pf = box->groups[0].faces[f];
        if (pf.eqn.v[0] > 0.5f) {
            EXPECT_FLOAT_EQ(pf.eqn.v[3], 4.0f);
        }
    }
    VtModelRemove(slab);
    VtModelFree(slab);
}

vt_int_32 boundsSeen[4];
int boundsCalls;
vt_actor *boundsActor;
void recordBounds(vt_actor *a, vt_model *, vt_material *, vt_order_table *, vt_uint_8, const vt_matrix4 *m2s,
                  const vt_int_32 bounds[4]) {
    boundsCalls++;
    boundsActor = a;
    memcpy(boundsSeen, bounds, sizeof boundsSeen);
    EXPECT_NE(m2s, nullptr);
}

TEST_F(VtFrontEndRules, RenderBoundsCallbackGetsTheRendererRectangle) {
    vt_actor *box = actor("box", world, VT_ACTOR_MODEL);
    box->model = cube;
    EXPECT_EQ(VtZbSetRenderBoundsCallback(recordBounds), nullptr);
    EXPECT_EQ(rec->take(), (lines{"set ENABLE 0 BOUNDS_B=1"}));
    boundsCalls = 0;
    rec->boundsMin[0] = -20.5f;
    rec->boundsMin[1] = 10.9f;
    rec->boundsMax[0] = 100.7f;
    rec->boundsMax[1] = 5000;
    ASSERT_EQ(VtZbSceneRender(world, camera, colour, depth), VT_E_OK);
    ASSERT_EQ(boundsCalls, 1);
    EXPECT_EQ(boundsActor, box);
    // Clamped to the pixelmap, whole pixels, relative to its origin.
    EXPECT_EQ(std::vector<vt_int_32>(boundsSeen, boundsSeen + 4), (std::vector<vt_int_32>{-160, -90, -60, 99}));
    lines around = only(rec->take(), {"default 32", "render", "query BOUNDS"});
    EXPECT_EQ(around, (lines{"default 32", "renderOnScreen cube TRIANGLE default_mat", "query BOUNDS 0 MIN_V2_F",
                             "query BOUNDS 0 MAX_V2_F"}));
    // A renderer that drew nothing answers an empty box: no call.
    rec->boundsMin[0] = rec->boundsMin[1] = 1e30f;
    rec->boundsMax[0] = rec->boundsMax[1] = -1e30f;
    ASSERT_EQ(VtZbSceneRender(world, camera, colour, depth), VT_E_OK);
    EXPECT_EQ(boundsCalls, 1);
    EXPECT_EQ(VtZbSetRenderBoundsCallback(nullptr), recordBounds);
    EXPECT_TRUE(Diag::failures.empty());
    // Before its front end has started the setter says so.
    EXPECT_EQ(VtZsSetRenderBoundsCallback(nullptr), nullptr);
    EXPECT_EQ(Diag::failures, (lines{"Failure: VtZsSetRenderBoundsCallback called before VtZsBegin"}));
}

TEST_F(VtFrontEndRules, BoundsActorsPruneAndAcceptTheirSubtrees) {
    vt_actor *fence = actor("fence", world, VT_ACTOR_BOUNDS);
    vt_actor *inside = actor("inside", fence, VT_ACTOR_MODEL);
    inside->model = cube;
    inside->t.type = VT_TRANSFORM_IDENTITY;
    fence->t.type = VT_TRANSFORM_IDENTITY;
    rec->boundsAnswer = VTT_REJECT;
    EXPECT_EQ(draws(), (lines{"boundsTest (0 0 0)-(0 0 0)"}));

    fence->type = VT_ACTOR_BOUNDS_CORRECT;
    rec->boundsAnswer = VTT_ACCEPT;
    vt_actor *deeper = actor("deeper", inside, VT_ACTOR_MODEL);
    deeper->t.type = VT_TRANSFORM_IDENTITY;
    // One test for the fence; below it everything counts as on screen.
    EXPECT_EQ(draws(), (lines{"boundsTest (0 0 0)-(0 0 0)", "renderOnScreen cube TRIANGLE default_mat",
                              "renderOnScreen cube TRIANGLE default_mat"}));
    rec->boundsAnswer = VTT_PARTIAL;
    EXPECT_EQ(draws().size(), 5u);
}

TEST_F(VtFrontEndRules, TheWorldStandsInForTheDefaults) {
    vt_material *paint = VtMaterialAllocate("paint");
    VtMaterialAdd(paint);
    rec->name(paint->stored, "paint");
    world->model = cube;
    world->material = paint;
    world->type = VT_ACTOR_MODEL;
    vt_actor *plain = actor("plain", world, VT_ACTOR_MODEL);
    plain->t.type = VT_TRANSFORM_IDENTITY;
    rec->take();
    // The world's own model is not drawn; its child takes model and
    // material from it.
    EXPECT_EQ(draws(), (lines{"boundsTest (-1 -1 -1)-(1 1 1)", "renderOnScreen cube TRIANGLE paint"}));
    world->render_style = VT_RSTYLE_NONE;
    EXPECT_EQ(draws(), lines{});
    world->render_style = VT_RSTYLE_DEFAULT;
    world->material = nullptr;
    VtMaterialRemove(paint);
    VtMaterialFree(paint);
}

int customCalls;
void customDraw(vt_actor *a, vt_model *, vt_material *material, vt_order_table *, vt_uint_8 style, vt_token on_screen) {
    customCalls++;
    // A custom drawer may draw other models itself.
    VtZbModelRender(a, VtDefaultModel(), material, style, on_screen, 1);
}

TEST_F(VtFrontEndRules, CustomAndUnpreparedModels) {
    vt_actor *special = actor("special", world, VT_ACTOR_MODEL);
    vt_model *m = VtModelAllocate("special", 0, 0);
    m->flags = VT_MODF_CUSTOM;
    m->custom = customDraw;
    special->model = m;
    special->t.type = VT_TRANSFORM_IDENTITY;
    customCalls = 0;
    EXPECT_EQ(draws(), (lines{"boundsTest (0 0 0)-(0 0 0)", "renderOnScreen default_model TRIANGLE default_mat"}));
    EXPECT_EQ(customCalls, 1);
    // Without use-custom the model itself is drawn: it has nothing prepared.
    ASSERT_EQ(VtZbSceneRenderBegin(world, camera, colour, depth), VT_E_OK);
    rec->take();
    VtZbModelRender(special, m, nullptr, VT_RSTYLE_DEFAULT, VTT_ACCEPT, 0);
    EXPECT_EQ(only(rec->take(), {"render"}), lines{});
    EXPECT_EQ(Diag::failures, (lines{"Failure: Tried to render un-prepared model special"}));
    VtZbSceneRenderEnd();
    special->model = nullptr;
    VtModelFree(m);
}

TEST_F(VtFrontEndRules, CamerasOutsideTheWorldOrTooDeepFailTheScene) {
    vt_actor *elsewhere = actor("elsewhere");
    vt_actor *lost = actor("lost", elsewhere, VT_ACTOR_CAMERA);
    EXPECT_EQ(VtZbSceneRender(world, lost, colour, depth), VT_E_FAIL);
    EXPECT_EQ(Diag::failures, (lines{"Failure: camera is not in world hierachy"}));
    Diag::clear();
    vt_actor *a = world;
    for (int i = 0; i < 16; i++)
        a = actor("level", a);
    vt_actor *deep = actor("deep", a, VT_ACTOR_CAMERA);
    ASSERT_EQ(deep->depth, 17);
    EXPECT_EQ(VtZbSceneRender(world, deep, colour, depth), VT_E_FAIL);
    ASSERT_EQ(Diag::failures.size(), 1u);
    // The scene that failed left nothing begun: a good one follows.
    EXPECT_EQ(VtZbSceneRender(world, camera, colour, depth), VT_E_OK);
    VtActorFree(elsewhere);
}

TEST_F(VtFrontEndRules, AddingATreeAppliesItsAncestorsFirst) {
    vt_material *paint = VtMaterialAllocate("paint");
    VtMaterialAdd(paint);
    rec->name(paint->stored, "paint");
    vt_actor *holder = actor("holder", world);
    holder->material = paint;
    translate(holder, 3, 0, 0);
    vt_actor *thing = actor("thing", holder, VT_ACTOR_MODEL);
    thing->model = cube;
    thing->t.type = VT_TRANSFORM_IDENTITY;
    ASSERT_EQ(VtZbSceneRenderBegin(world, camera, colour, depth), VT_E_OK);
    rec->take();
    VtZbSceneRenderAdd(thing);
    EXPECT_EQ(rec->take(), (lines{"push 2", "modelMul [1 0 0 0 1 0 0 0 1 3 0 0]",
                                  "set MATRIX 0 MODEL_TO_VIEW_HINT_T=LENGTH_PRESERVING",
                                  "boundsTest (-1 -1 -1)-(1 1 1)", "renderOnScreen cube TRIANGLE paint", "pop 2"}));
    EXPECT_TRUE(rec->stack.empty());
    EXPECT_EQ(VtZbSceneRenderEnd(), VT_E_OK);
    holder->material = nullptr;
    VtMaterialRemove(paint);
    VtMaterialFree(paint);
}

TEST_F(VtFrontEnd, BothFrontEndsShareOneRenderer) {
    ASSERT_EQ(VtZbBegin(VT_PMT_RGB_565, VT_PMT_DEPTH_16), VT_E_OK);
    static vt_uint_8 heap[256];
    ASSERT_EQ(VtZsBegin(VT_PMT_RGB_565, heap, sizeof heap), VT_E_OK);
    EXPECT_EQ(only(rec->log(), {"rendererNew"}).size(), 1u);
    EXPECT_EQ(VtZbEnd(), VT_E_OK);
    EXPECT_FALSE(rec->rendererFreed);
    EXPECT_NE(VtRendererQuery(), nullptr);
    EXPECT_EQ(VtZsEnd(), VT_E_OK);
    EXPECT_TRUE(rec->rendererFreed);
    EXPECT_EQ(VtRendererQuery(), nullptr);
    EXPECT_EQ(cube->prepared, nullptr); // dropped with the renderer
    EXPECT_EQ(rec->liveStates, 0);
}

TEST_F(VtFrontEnd, AnEndWithNothingBegunFails) {
    EXPECT_EQ(VtZbEnd(), VT_E_FAIL);
    EXPECT_EQ(VtZsEnd(), VT_E_FAIL);
    // The other front end's renderer stays when only this one was not begun.
    ASSERT_EQ(VtZbBegin(VT_PMT_RGB_565, VT_PMT_DEPTH_16), VT_E_OK);
    EXPECT_EQ(VtZsEnd(), VT_E_FAIL);
    EXPECT_NE(VtRendererQuery(), nullptr);
    EXPECT_EQ(VtZbEnd(), VT_E_OK);
    EXPECT_EQ(VtRendererQuery(), nullptr);
    EXPECT_EQ(VtZbEnd(), VT_E_FAIL);
}

TEST_F(VtFrontEnd, AZBufferSceneNeverDivertsIntoBuckets) {
    // A renderer that could sort (it has a bucket format) draws a z-buffer
    // scene at once: nothing sets up a heap for it.
    startZb();
    ASSERT_EQ(VtZbSceneRender(world, camera, colour, depth), VT_E_OK);
    EXPECT_EQ(only(rec->take(), {"setMany HIDDEN_SURFACE"}),
              (lines{"setMany HIDDEN_SURFACE 0 TYPE_T=NONE DIVERT_T=NONE"}));
}

} // namespace

namespace {

class VtOrderTables : public VtFrontEnd {
protected:
    void SetUp() override {
        VtFrontEnd::SetUp();
        ASSERT_EQ(VtZsBegin(VT_PMT_RGB_565, heap, sizeof heap), VT_E_OK);
        translate(camera, 0, 0, 5);
        rec->take();
    }
    vt_uint_8 heap[1024];
};

TEST_F(VtOrderTables, BucketsByDepth) {
    vt_order_table *ot = VtZsOrderTableAllocate(10, 0, VT_ORDER_TABLE_AVERAGE);
    ot->min_z = 5;
    ot->max_z = 15;
    ot->scale = 1;
    struct row {
        vt_scalar z;
        int bucket;
    } rows[] = {{5, 0}, {4, 0}, {5.99f, 0}, {6, 1}, {14.5f, 9}, {15, 9}, {1000, 9}};
    for (const row &r : rows)
        EXPECT_EQ(VtOrderTableBucket(ot, r.z), r.bucket) << r.z;
    const vt_scalar tri[3] = {7, 3, 11};
    struct trow {
        vt_uint_16 type;
        vt_scalar z;
    } trows[] = {{VT_ORDER_TABLE_AVERAGE, 7}, {VT_ORDER_TABLE_MINIMUM, 3}, {VT_ORDER_TABLE_MAXIMUM, 11},
                 {VT_ORDER_TABLE_FIRST_VERTEX, 7}, {0, 7}};
    for (const trow &r : trows) {
        ot->type = r.type;
        EXPECT_FLOAT_EQ(VtOrderTablePrimitiveZ(ot, tri, 3), r.z) << r.type;
        EXPECT_FLOAT_EQ(VtOrderTablePrimitiveZ(ot, tri + 1, 1), 3) << "a point";
    }
    VtZsOrderTableFree(ot);
}

TEST_F(VtOrderTables, AFlatRangeScalesByAThousand) {
    vt_model *flat = VtModelAllocate("flat", 3, 1);
    flat->faces[0].vertices[1] = 1;
    flat->faces[0].vertices[2] = 2;
    VtVector3Set(&flat->vertices[1].p, 1, 0, 0);
    VtVector3Set(&flat->vertices[2].p, 0, 1, 0);
    VtModelUpdate(flat, VT_MODU_ALL);
    vt_order_table *ot = VtZsOrderTableAllocate(64, VT_ORDER_TABLE_RANGE_EACH | VT_ORDER_TABLE_SORT_NEAR, 1);
    vt_actor *a = actor("flat", world, VT_ACTOR_MODEL);
    a->model = flat;
    VtZsActorOrderTableSet(a, ot);
    EXPECT_EQ(VtZsActorOrderTableGet(a), ot);
    ASSERT_EQ(VtZsSceneRender(world, camera, colour), VT_E_OK);
    EXPECT_FLOAT_EQ(ot->min_z, 5);
    EXPECT_FLOAT_EQ(ot->max_z, 5);
    EXPECT_FLOAT_EQ(ot->scale, 1000);
    EXPECT_FLOAT_EQ(ot->sort_z, 5);
    a->model = nullptr;
    VtModelFree(flat);
    VtZsOrderTableFree(ot);
}

void insertHook(vt_primitive *, void *, void *, void *, vt_order_table *, vt_scalar) {}

TEST_F(VtOrderTables, InsertCallbackGoesWithEachModel) {
    vt_actor *a = actor("a", world, VT_ACTOR_MODEL);
    a->model = cube;
    a->t.type = VT_TRANSFORM_IDENTITY;
    rec->name(a, "actor a");
    rec->name(cube, "model cube");
    rec->name(reinterpret_cast<void *>(insertHook), "hook");
    rec->name(VtDefaultMaterial(), "default material");
    rec->name(vtScene.default_order_table, "default table");
    rec->name(vtScene.default_order_table->table, "default buckets");
    EXPECT_EQ(VtZsPrimitiveCallbackSet(insertHook), nullptr);
    ASSERT_EQ(VtZsSceneRender(world, camera, colour), VT_E_OK);
    EXPECT_EQ(only(rec->take(), {"set HIDDEN_SURFACE", "setMany HIDDEN_SURFACE 0 V1INSERT", "renderBuckets"}),
              (lines{"set HIDDEN_SURFACE 0 V1ORDER_TABLE_P=default table",
                     "setMany HIDDEN_SURFACE 0 V1INSERT_FUNCTION_P=hook V1INSERT_ARG1_P=actor a "
                     "V1INSERT_ARG2_P=model cube V1INSERT_ARG3_P=default material",
                     "renderBuckets default buckets 256"}));
    EXPECT_EQ(VtZsPrimitiveCallbackSet(nullptr), insertHook);
}

TEST_F(VtOrderTables, APrimaryTableTakesTheOthersInByTheirSortDepth) {
    struct prim {
        vt_primitive p;
        int id;
    } prims[4] = {};
    vt_order_table *primary = VtZsOrderTableAllocate(4, 0, 1);
    primary->min_z = 0;
    primary->scale = 0.1f; // a bucket every 10 units
    vt_order_table *a = VtZsOrderTableAllocate(2, VT_ORDER_TABLE_RANGE_EACH | VT_ORDER_TABLE_SORT_FAR, 1);
    vt_order_table *b = VtZsOrderTableAllocate(2, VT_ORDER_TABLE_RANGE_EACH | VT_ORDER_TABLE_SORT_FAR, 1);
    VtZsPrimaryOrderTableSet(primary);
    rec->name(primary->table, "primary buckets");
    vt_actor *near = actor("near", world, VT_ACTOR_MODEL), *far = actor("far", world, VT_ACTOR_MODEL);
    near->model = far->model = cube;
    translate(far, 0, 0, -20);
    VtZsActorOrderTableSet(near, a);
    VtZsActorOrderTableSet(far, b);
    // Fill the tables as a renderer would while the models are drawn: the
    // far table's two buckets, the near table's first.
    ASSERT_EQ(VtZsSceneRenderBegin(world, camera, colour), VT_E_OK);
    VtZsSceneRenderAdd(far);
    VtZsSceneRenderAdd(near);
    for (int i = 0; i < 4; i++)
        prims[i].id = i;
    b->table[1] = &prims[0].p; // farthest
    b->table[0] = &prims[1].p;
    prims[1].p.next = &prims[2].p;
    a->table[0] = &prims[3].p;
    rec->take();
    ASSERT_EQ(VtZsSceneRenderEnd(), VT_E_OK);
    EXPECT_EQ(rec->take(), (lines{"renderBuckets primary buckets 4", "frameEnd"}));
    // Sort depths 26 and 6 put the tables in buckets 2 and 0, each in its
    // own far-to-near order.
    auto ids = [](vt_primitive *p) {
        std::vector<int> r;
        for (; p; p = p->next)
            r.push_back(reinterpret_cast<prim *>(p)->id);
        return r;
    };
    EXPECT_EQ(ids(primary->table[2]), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(ids(primary->table[0]), (std::vector<int>{3}));
    EXPECT_EQ(primary->table[1], nullptr);
    EXPECT_EQ(a->visits, 0);
    EXPECT_EQ(b->visits, 0);
    VtZsPrimaryOrderTableClear();
    VtZsOrderTableFree(primary);
    VtZsOrderTableFree(a);
    VtZsOrderTableFree(b);
}

} // namespace
