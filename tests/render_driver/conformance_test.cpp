// The library's front end driving the software renderer: what reaches the
// screen, the depth buffer and the render-bounds callback.
#include <cmath>
#include <cstring>
#include <vector>

#include "driver_fixture.h"
#include "render/drivers/softrend.h"

using namespace srtest;

namespace {

class SoftConformance : public DriverTest {
protected:
    vt_renderer *renderer() { return VtRendererQuery(); }
    // An unlit material of one colour (drawn exactly as given).
    vt_material *flat(const char *name, vt_colour c, vt_uint_32 flags = 0, vt_pixelmap *map = nullptr) {
        return material(name, c, flags, map);
    }
};

vt_uint_16 rgb565(vt_colour c) { return vt_uint_16(((c >> 8) & 0xF800) | ((c >> 5) & 0x07E0) | ((c >> 3) & 0x1F)); }

// ---- The render-bounds callback ----------------------------------------------------

struct bounds_record {
    vt_model *model;
    vt_int_32 rect[4];
};
std::vector<bounds_record> boundsSeen;
void recordBounds(vt_actor *, vt_model *model, vt_material *, vt_order_table *, vt_uint_8, const vt_matrix4 *,
                  const vt_int_32 bounds[4]) {
    bounds_record r{model, {}};
    memcpy(r.rect, bounds, sizeof r.rect);
    boundsSeen.push_back(r);
}

TEST_F(SoftConformance, BoundsRectanglesHoldWhatEachModelDrew) {
    start(80, 60);
    perspectiveCamera(60, 1, 50);
    place(camera, 0, 0, 6);
    vt_material *red = flat("red", 0xFF0000), *blue = flat("blue", 0x0000FF);
    vt_model *a = box("a", 0.8f, red), *b = box("b", 0.5f, blue);
    place(modelActor(a, red), -1.5f, 0.5f, 0, 30, 20);
    place(modelActor(b, blue), 1.8f, -1, 1, 10, 50);
    boundsSeen.clear();
    VtZbSetRenderBoundsCallback(recordBounds);
    render();
    VtZbSetRenderBoundsCallback(nullptr);
    ASSERT_EQ(boundsSeen.size(), 2u);
    for (const bounds_record &r : boundsSeen) {
        const vt_uint_16 want = rgb565(r.model == a ? 0xFF0000 : 0x0000FF);
        int lo[2] = {1000, 1000}, hi[2] = {-1, -1};
        for (int y = 0; y < 60; y++)
            for (int x = 0; x < 80; x++)
                if (pixel(x, y) == want) {
                    lo[0] = std::min(lo[0], x), lo[1] = std::min(lo[1], y);
                    hi[0] = std::max(hi[0], x), hi[1] = std::max(hi[1], y);
                }
        ASSERT_GE(hi[0], 0) << r.model->identifier << " drew nothing";
        // The callback's rectangle is relative to the origin, and holds the
        // pixels drawn with at most a pixel to spare.
        const int rect[4] = {r.rect[0] + 40, r.rect[1] + 30, r.rect[2] + 40, r.rect[3] + 30};
        for (int k = 0; k < 2; k++) {
            EXPECT_LE(rect[k], lo[k]) << r.model->identifier;
            EXPECT_GE(rect[k], lo[k] - 1) << r.model->identifier;
            EXPECT_GE(rect[2 + k], hi[k]) << r.model->identifier;
            EXPECT_LE(rect[2 + k], hi[k] + 1) << r.model->identifier;
        }
    }
}

TEST_F(SoftConformance, DepthValuesFollowTheScreenDepth) {
    start(64, 48);
    const float hither = 1, yon = 20;
    perspectiveCamera(60, hither, yon);
    vt_material *grey = flat("grey", 0x808080);
    vt_actor *wall = modelActor(quad("wall", grey), grey);
    place(wall, 0, 0, -5);
    vt_actor *tilted = modelActor(quad("tilted", grey), grey);
    tilted->t.type = VT_TRANSFORM_MATRIX34;
    VtMatrix34Scale(&tilted->t.t.mat, 2, 1, 1);
    VtMatrix34PostRotateY(&tilted->t.t.mat, VT_ANGLE_DEG(30));
    VtMatrix34PostTranslate(&tilted->t.t.mat, 3, 0, -6);
    render();
    // Screen depth s = Z / W * -32767; the buffer holds s + 32768.
    const double d = 5, zw = ((yon + hither) / (yon - hither) * -d + 2 * yon * hither / (yon - hither)) / d;
    const vt_uint_32 want = vt_uint_32(-32767 * zw + 32768);
    for (const auto &p : {std::pair{32, 24}, std::pair{26, 20}, std::pair{38, 28}}) {
        const vt_uint_32 got = depthAt(p.first, p.second);
        EXPECT_NEAR(double(got), double(want), 1) << p.first << "," << p.second;
        EXPECT_NEAR(VtZbScreenZToDepth(vt_scalar(vt_int_32(got) - 32768), camera), -d, 0.01)
            << "the front end reads the depth back";
    }
    // The tilted wall recedes to the right: depth grows along the row.
    vt_uint_32 last = 0;
    int seen = 0;
    for (int x = 42; x < 64; x++) {
        const vt_uint_32 v = depthAt(x, 24);
        if (v == 0xFFFF)
            continue;
        EXPECT_GE(v, last);
        last = v;
        seen++;
    }
    EXPECT_GT(seen, 3);
    EXPECT_EQ(depthAt(0, 0), 0xFFFFu) << "untouched where nothing was drawn";
}

TEST_F(SoftConformance, ScreenQueriesAndDrawingAgreeInASubPixelmap) {
    // A 3D view window below and right of the screen's corner, its origin
    // at its centre, as the game makes them.
    start(64, 48);
    // (20, 12) from the top left, relative to the screen's origin.
    vt_pixelmap *view = VtPixelmapAllocateSub(colour, 20 - 32, 12 - 24, 30, 20);
    vt_pixelmap *viewDepth = VtPixelmapAllocateSub(depth, 20 - 32, 12 - 24, 30, 20);
    ASSERT_EQ(view->base_x, 20);
    ASSERT_EQ(view->base_y, 12);
    view->origin_x = viewDepth->origin_x = 15;
    view->origin_y = viewDepth->origin_y = 10;
    camera = VtActorAllocate(VT_ACTOR_CAMERA, nullptr);
    static_cast<vt_camera *>(camera->type_data)->aspect = 1.5f;
    VtActorAdd(world, camera);
    vt_material *white = flat("white", 0xFFFFFF);
    vt_actor *dot = modelActor(quad("dot", white), white);
    dot->t.type = VT_TRANSFORM_MATRIX34;
    VtMatrix34Scale(&dot->t.t.mat, 0.3f, 0.3f, 1);
    VtMatrix34PostTranslate(&dot->t.t.mat, 0.6f, -0.4f, -4);
    ASSERT_EQ(VtZbSceneRenderBegin(world, camera, view, viewDepth), VT_E_OK);
    VtZbSceneRenderAdd(dot);
    ASSERT_EQ(VtZbSceneRenderEnd(), VT_E_OK);
    int rect[4];
    ASSERT_GT(covered(0, rect), 0);
    // Where the front end says the dot's centre lands, in the view's pixels.
    ASSERT_EQ(VtZbSceneRenderBegin(world, camera, view, viewDepth), VT_E_OK);
    VtRendererQuery()->dispatch->modelMul(VtRendererQuery(), &dot->t.t.mat);
    vt_vector3 s;
    const vt_vector3 centre = {{0, 0, 0}};
    ASSERT_EQ(VtModelPointToScreen(&s, &centre) & VT_OUTCODE_OUTSIDE, 0u);
    VtZbSceneRenderEnd();
    // The front end's screen point is half a pixel on from the renderer's
    // (whose pixel n spans n to n + 1 and is sampled at its centre): less
    // that half, it is the middle of what was drawn.
    EXPECT_NEAR(s.v[0] - 0.5 + 20, (rect[0] + rect[2] + 1) / 2.0, 0.5) << "x on the screen";
    EXPECT_NEAR(s.v[1] - 0.5 + 12, (rect[1] + rect[3] + 1) / 2.0, 0.5) << "y on the screen";
    VtPixelmapFree(view);
    VtPixelmapFree(viewDepth);
}

// ---- Z-sort buckets ----------------------------------------------------------------------

struct inserted {
    void *material;
    vt_scalar z;
};
std::vector<inserted> insertions;
void recordInsert(vt_primitive *, void *, void *, void *material, vt_order_table *, vt_scalar z) {
    insertions.push_back({material, z});
}

TEST_F(SoftConformance, BucketsDrawFarthestFirstAndSeeTheirDepths) {
    start(64, 48);
    static vt_uint_8 heap[16384];
    ASSERT_EQ(VtZsBegin(VT_PMT_RGB_565, heap, sizeof heap), VT_E_OK);
    perspectiveCamera(60, 1, 30);
    vt_material *nearMat = flat("near", 0x00FF00), *farMat = flat("far", 0xFF0000);
    vt_model *sq = quad("square", nullptr);
    // Children are walked from the last added: the near square first, so
    // without the buckets the far one would be painted over it.
    place(modelActor(sq, farMat), -0.5f, 0, -9, 0, 30);
    place(modelActor(sq, nearMat), 0.5f, 0, -4);
    insertions.clear();
    VtZsPrimitiveCallbackSet(recordInsert);
    ASSERT_EQ(VtZsSceneRender(world, camera, colour), VT_E_OK);
    VtZsPrimitiveCallbackSet(nullptr);
    ASSERT_EQ(insertions.size(), 4u) << "two triangles each";
    for (const inserted &i : insertions) {
        if (i.material == nearMat) {
            EXPECT_NEAR(i.z, 4, 0.01) << "average depth in front of the camera";
        } else {
            EXPECT_GT(i.z, 8);
        }
    }
    EXPECT_EQ(pixel(33, 24), rgb565(0x00FF00)) << "the near square on top";
    EXPECT_EQ(pixel(26, 24), rgb565(0xFF0000));
    EXPECT_EQ(depthAt(33, 24), 0xFFFFu) << "a z-sort scene writes no depth";

    // A heap with room for a few primitives: the rest are dropped, those
    // built drawn.
    static vt_uint_8 small[576];
    ASSERT_EQ(VtZsBegin(VT_PMT_RGB_565, small, sizeof small), VT_E_OK);
    insertions.clear();
    VtZsPrimitiveCallbackSet(recordInsert);
    clear();
    ASSERT_EQ(VtZsSceneRender(world, camera, colour), VT_E_OK);
    VtZsPrimitiveCallbackSet(nullptr);
    EXPECT_GT(insertions.size(), 0u);
    EXPECT_LT(insertions.size(), 4u);
    EXPECT_GT(covered(0), 0);
}

// ---- Clipping -------------------------------------------------------------------------

TEST_F(SoftConformance, NearPlaneCutsAFloorThatReachesBehindTheCamera) {
    start(64, 48);
    perspectiveCamera(60, 1, 40);
    vt_material *grey = flat("grey", 0x808080, VT_MATF_TWO_SIDED);
    vt_actor *floor = modelActor(quad("floor", grey), grey);
    floor->t.type = VT_TRANSFORM_MATRIX34;
    VtMatrix34Scale(&floor->t.t.mat, 4, 10, 1);
    VtMatrix34PostRotateX(&floor->t.t.mat, VT_ANGLE_DEG(-90));
    VtMatrix34PostTranslate(&floor->t.t.mat, 0, -1, -4); // from 6 behind to 14 in front
    render();
    int rect[4];
    EXPECT_GT(covered(0, rect), 0);
    EXPECT_EQ(rect[3], 47) << "reaches the bottom row";
    EXPECT_GE(rect[1], 24) << "stays below the horizon";
    for (int x = 0; x < 64; x++)
        EXPECT_GE(depthAt(x, 47), 1u);
    // Wholly behind the camera: nothing.
    place(floor, 0, 0, 5);
    clear();
    render();
    EXPECT_EQ(covered(0), 0);
}

TEST_F(SoftConformance, UserClipPlaneKeepsItsPositiveSide) {
    start(64, 48);
    perspectiveCamera(60, 1, 40);
    vt_material *white = flat("white", 0xFFFFFF);
    place(modelActor(quad("wall", white), white), 0, 0, -3);
    vt_actor *plane = VtActorAllocate(VT_ACTOR_CLIP_PLANE, nullptr);
    VtVector4Set(&static_cast<vt_plane *>(plane->type_data)->eqn, 1, 0, 0, 0); // keep x >= 0
    VtActorAdd(world, plane);
    place(plane, 0, 0, -3, 0, 0);
    VtClipPlaneEnable(plane);
    render();
    int rect[4];
    EXPECT_GT(covered(0, rect), 0);
    EXPECT_GE(rect[0], 31) << "the left half is cut away";
    EXPECT_EQ(pixel(40, 24), rgb565(0xFFFFFF));
    VtClipPlaneDisable(plane);
    clear();
    render();
    covered(0, rect);
    EXPECT_LT(rect[0], 20) << "without the plane the whole wall";
}

// ---- Culling --------------------------------------------------------------------------

TEST_F(SoftConformance, CullingBySide) {
    start(32, 32);
    perspectiveCamera(60, 1, 40);
    vt_actor *sun = light(VT_LIGHT_DIRECT);
    place(sun, 0, 0, 0);
    struct {
        vt_uint_32 flags;
        bool drawn;
    } cases[] = {{VT_MATF_LIT, false}, {VT_MATF_LIT | VT_MATF_NO_CULL, true}, {VT_MATF_LIT | VT_MATF_TWO_SIDED, true},
                 {VT_MATF_LIT | VT_MATF_FORCE_FRONT, true}};
    std::vector<vt_uint_32> centre;
    for (auto &c : cases) {
        vt_material *m = material("side", 0xFFFFFF, c.flags);
        vt_actor *a = modelActor(quad("back", m), m);
        place(a, 0, 0, -3, 0, 180); // its back to the camera
        clear();
        render();
        EXPECT_EQ(covered(0) > 0, c.drawn) << std::hex << c.flags;
        centre.push_back(pixel(16, 16));
        VtActorFree(a);
    }
    // Lit from the camera's side: the back of a two-sided face takes the
    // light, the back of a face that is not culled does not.
    EXPECT_GT(centre[2] & 31, centre[1] & 31);
}

// ---- Render styles --------------------------------------------------------------------

TEST_F(SoftConformance, EveryRenderStyle) {
    start(64, 48);
    perspectiveCamera(60, 1, 40);
    vt_material *white = flat("white", 0xFFFFFF);
    vt_actor *cube = modelActor(box("cube", 1, white), white);
    place(cube, 0, 0, -5, 20, 30);
    const struct {
        vt_uint_8 style;
        int lo, hi; // covered pixels
        bool centre; // the middle of the cube drawn
    } cases[] = {
        {VT_RSTYLE_DEFAULT, 400, 520, true},        {VT_RSTYLE_FACES, 400, 520, true},
        {VT_RSTYLE_NONE, 0, 0, false},              {VT_RSTYLE_POINTS, 8, 8, false}, // three vertices a corner
        {VT_RSTYLE_EDGES, 100, 200, false},         {VT_RSTYLE_BOUNDING_POINTS, 8, 8, false},
        {VT_RSTYLE_BOUNDING_EDGES, 100, 200, false}, {VT_RSTYLE_BOUNDING_FACES, 400, 520, true},
    };
    int faces = 0;
    for (const auto &c : cases) {
        cube->render_style = c.style;
        clear();
        render();
        const int n = covered(0);
        EXPECT_GE(n, c.lo) << int(c.style);
        EXPECT_LE(n, c.hi) << int(c.style);
        EXPECT_EQ(pixel(32, 24) != 0, c.centre) << int(c.style);
        if (c.style == VT_RSTYLE_FACES)
            faces = n;
        if (c.style == VT_RSTYLE_BOUNDING_FACES) {
            EXPECT_EQ(n, faces) << "the box of a box is the box";
        }
    }
}

// ---- The bounds test ----------------------------------------------------------------------

TEST_F(SoftConformance, BoundsTestAgainstTheViewVolumeAndClipPlanes) {
    start(64, 48);
    perspectiveCamera(60, 1, 20);
    vt_actor *plane = VtActorAllocate(VT_ACTOR_CLIP_PLANE, nullptr);
    VtVector4Set(&static_cast<vt_plane *>(plane->type_data)->eqn, 0, -1, 0, 1); // keep y <= 1
    VtActorAdd(world, plane);
    ASSERT_EQ(VtZbSceneRenderBegin(world, camera, colour, depth), VT_E_OK);
    auto box = [](float x, float y, float z, float h) {
        return vt_bounds3{{{x - h, y - h, z - h}}, {{x + h, y + h, z + h}}};
    };
    const struct {
        vt_bounds3 b;
        vt_token want;
        const char *what;
    } cases[] = {
        {box(0, 0, -5, 0.5f), VTT_ACCEPT, "in front"},
        {box(-3.8f, 0, -5, 0.5f), VTT_PARTIAL, "across the left edge"},
        {box(0, 0, 5, 0.5f), VTT_REJECT, "behind"},
        {box(0, 0, -1, 0.5f), VTT_PARTIAL, "across the near plane"},
        {box(0, 0, -30, 0.5f), VTT_REJECT, "beyond the far plane"},
        {box(0, 2, -10, 0.5f), VTT_ACCEPT, "above the plane while it is off"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(VtOnScreenCheck(&c.b), c.want) << c.what;
    VtZbSceneRenderEnd();
    VtClipPlaneEnable(plane);
    ASSERT_EQ(VtZbSceneRenderBegin(world, camera, colour, depth), VT_E_OK);
    const vt_bounds3 above = box(0, 2, -10, 0.5f), across = box(0, 1, -10, 0.5f);
    EXPECT_EQ(VtOnScreenCheck(&above), vt_token(VTT_REJECT)) << "cut away by the plane";
    EXPECT_EQ(VtOnScreenCheck(&across), vt_token(VTT_PARTIAL));
    VtZbSceneRenderEnd();
    VtClipPlaneDisable(plane);
}

// ---- Lighting ------------------------------------------------------------------------------

TEST_F(SoftConformance, EachKindOfLight) {
    start(16, 16);
    perspectiveCamera(60, 1, 20);
    // A white wall facing the camera, each of its two triangles lit as a
    // whole at its own centre (a third of the way out to two corners of
    // the wall at (0, 0, -3)); the red channel shows the intensity,
    // rounded to 0..31.
    vt_material *wall = material("wall", 0xFFFFFF, VT_MATF_LIT);
    wall->ka = 0;
    wall->kd = 1;
    wall->ks = 0;
    VtMaterialUpdate(wall, VT_MATU_ALL);
    vt_actor *w = modelActor(quad("wall", wall), wall);
    place(w, 0, 0, -3);
    const struct {
        vt_uint_8 type;
        float x, y, z, rx, ry; // the light's place
        float c, l;            // attenuation
        float ka, ks;
        vt_colour colour;
        int want;
        const char *what;
    } cases[] = {
        {VT_LIGHT_DIRECT, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0xFFFFFF, 31, "direct, head on"},
        {VT_LIGHT_DIRECT, 0, 0, 0, 0, 60, 1, 0, 0, 0, 0xFFFFFF, 16, "direct at 60 degrees"},
        {VT_LIGHT_DIRECT, 0, 0, 0, 0, 180, 1, 0, 0, 0, 0xFFFFFF, 1, "direct from behind: the least light, 1/32"},
        {VT_LIGHT_POINT, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0xFFFFFF, 30, "point, no attenuation (cosine 0.97)"},
        {VT_LIGHT_POINT, 0, 0, -1, 0, 0, 1, 0.5f, 0, 0, 0xFFFFFF, 15, "point, 1 / (1 + 0.5 x 2)"},
        {VT_LIGHT_SPOT, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0xFFFFFF, 30, "spot on the wall"},
        {VT_LIGHT_SPOT, 0, 0, -1, 0, 45, 1, 0, 0, 0, 0xFFFFFF, 1, "spot turned away: the least light"},
        {VT_LIGHT_AMBIENT, 0, 0, 0, 0, 0, 1, 0, 1, 0, 0x808080, 16, "ambient: ka x its colour"},
        {VT_LIGHT_DIRECT, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0x404040, 15, "specular added to diffuse"},
    };
    for (const auto &c : cases) {
        vt_actor *a = light(c.type, c.colour);
        place(a, c.x, c.y, c.z, c.rx, c.ry);
        auto *l = static_cast<vt_light *>(a->type_data);
        l->attenuation_c = c.c;
        l->attenuation_l = c.l;
        l->cone_outer = VT_ANGLE_DEG(30);
        l->cone_inner = VT_ANGLE_DEG(20);
        wall->ka = c.ka;
        wall->ks = c.ks;
        wall->power = 10;
        VtMaterialUpdate(wall, VT_MATU_ALL);
        clear();
        render();
        EXPECT_EQ(int(pixel(8, 8) >> 11), c.want) << c.what;
        VtLightDisable(a);
        VtActorFree(a);
    }
}

// ---- The renderer's parts -------------------------------------------------------------

TEST_F(SoftConformance, PartsTakeWhatTheyKnowOneTokenAtATime) {
    start(16, 16);
    vt_renderer *r = renderer();
    vt_token_value tv[] = {
        {VTT_FOG_MIN_F, VtValueF(2.5f)},  {VTT_WIDTH_I32, VtValueU32(7)}, // not a primitive token
        {VTT_DITHER_MAP_B, VtValueU32(1)}, {VTT_OPACITY_X, VtValueI32(0x8000)},
        {VTT_ANTIALIASING_T, VtValueU32(VTT_BEST_QUALITY)}, {VTT_END, VtValueU32(0)},
    };
    vt_int_32 n = -1;
    EXPECT_EQ(r->dispatch->partSetMany(r, VTT_PRIMITIVE, 0, tv, &n), VT_E_OK);
    EXPECT_EQ(n, 4);
    EXPECT_EQ(r->dispatch->partSet(r, VTT_PRIMITIVE, 0, VTT_HEIGHT_I32, VtValueU32(1)), VT_E_UNKNOWN);
    EXPECT_EQ(r->dispatch->partSet(r, VTT_LIGHT, 16, VTT_TYPE_T, VtValueU32(VTT_POINT)), VT_E_FAIL) << "16 lights";
    EXPECT_EQ(r->dispatch->partSet(r, VTT_CLIP, 5, VTT_TYPE_T, VtValueU32(VTT_PLANE)), VT_E_OK);
    vt_value v;
    char buffer[64];
    ASSERT_EQ(r->dispatch->partQuery(r, VTT_PRIMITIVE, 0, &v, buffer, sizeof buffer, VTT_FOG_MIN_F), VT_E_OK);
    EXPECT_FLOAT_EQ(v.f, 2.5f);
    ASSERT_EQ(r->dispatch->partQuery(r, VTT_PRIMITIVE, 0, &v, buffer, sizeof buffer, VTT_OPACITY_F), VT_E_OK);
    EXPECT_FLOAT_EQ(v.f, 0.5f) << "OPACITY_X is the opacity in 16.16";
    ASSERT_EQ(r->dispatch->partQuery(r, VTT_PRIMITIVE, 0, &v, buffer, sizeof buffer, VTT_ANTIALIASING_T), VT_E_OK);
    EXPECT_EQ(v.t, vt_token(VTT_BEST_QUALITY));
    vt_vector3 pos = {{1, 2, 3}};
    ASSERT_EQ(r->dispatch->partSet(r, VTT_LIGHT, 15, VTT_POSITION_V3_F, VtValueP(&pos)), VT_E_OK);
    ASSERT_EQ(r->dispatch->partQuery(r, VTT_LIGHT, 15, &v, buffer, sizeof buffer, VTT_POSITION_V3_F), VT_E_OK);
    EXPECT_EQ(memcmp(v.p, &pos, sizeof pos), 0);
    // The list query takes the buffer before the list, as the single one
    // takes it before the token.
    vt_token_value list[] = {{VTT_FOG_MIN_F, {}}, {VTT_POSITION_V3_F, {}}, {VTT_END, {}}};
    vt_int_32 count = 0;
    ASSERT_EQ(r->dispatch->partQueryMany(r, VTT_PRIMITIVE, 0, buffer, list, sizeof buffer, &count), VT_E_OK);
    EXPECT_EQ(count, 1) << "a primitive part has no position";
    EXPECT_FLOAT_EQ(list[0].v.f, 2.5f);
    ASSERT_EQ(r->dispatch->partQueryMany(r, VTT_LIGHT, 15, buffer, list + 1, sizeof buffer, &count), VT_E_OK);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(memcmp(list[1].v.p, &pos, sizeof pos), 0);
}

TEST_F(SoftConformance, StateStackAndStoredStatesByMask) {
    start(16, 16);
    vt_renderer *r = renderer();
    auto opacity = [&] {
        vt_value v;
        r->dispatch->partQuery(r, VTT_PRIMITIVE, 0, &v, nullptr, 0, VTT_OPACITY_F);
        return v.f;
    };
    auto cull = [&] {
        vt_value v;
        r->dispatch->partQuery(r, VTT_CULL, 0, &v, nullptr, 0, VTT_TYPE_T);
        return v.t;
    };
    r->dispatch->partSet(r, VTT_PRIMITIVE, 0, VTT_OPACITY_F, VtValueF(0.25f));
    r->dispatch->partSet(r, VTT_CULL, 0, VTT_TYPE_T, VtValueU32(VTT_TWO_SIDED));
    vt_renderer_state_stored *saved = nullptr;
    ASSERT_EQ(r->dispatch->stateStoredNew(r, &saved, VT_STATE_PRIMITIVE, nullptr), VT_E_OK);
    // Nested pushes of different masks, as a material update inside a scene.
    ASSERT_EQ(r->dispatch->statePush(r, VT_STATE_MATRIX), VT_E_OK);
    ASSERT_EQ(r->dispatch->statePush(r, VT_STATE_MATERIAL), VT_E_OK);
    r->dispatch->stateDefault(r, VT_STATE_MATERIAL);
    EXPECT_FLOAT_EQ(opacity(), 1);
    EXPECT_EQ(cull(), vt_token(VTT_ONE_SIDED));
    r->dispatch->stateRestore(r, saved, VT_STATE_MATERIAL);
    EXPECT_FLOAT_EQ(opacity(), 0.25f);
    EXPECT_EQ(cull(), vt_token(VTT_ONE_SIDED)) << "the stored state holds only the primitive part";
    ASSERT_EQ(r->dispatch->statePop(r, VT_STATE_MATERIAL), VT_E_OK);
    EXPECT_EQ(cull(), vt_token(VTT_TWO_SIDED));
    ASSERT_EQ(r->dispatch->statePop(r, VT_STATE_MATRIX), VT_E_OK);
    EXPECT_EQ(r->dispatch->statePop(r, VT_STATE_MATRIX), VT_E_FAIL) << "nothing pushed";
    r->dispatch->partSet(r, VTT_PRIMITIVE, 0, VTT_OPACITY_F, VtValueF(0.75f));
    r->dispatch->stateSave(r, saved, VT_STATE_PRIMITIVE);
    r->dispatch->stateDefault(r, ~0u);
    r->dispatch->stateRestore(r, saved, ~0u);
    EXPECT_FLOAT_EQ(opacity(), 0.75f);
    VtObjectFree(saved);
    // The stack has a floor and a ceiling.
    int pushed = 0;
    while (r->dispatch->statePush(r, VT_STATE_MATRIX) == VT_E_OK && pushed < 1000)
        pushed++;
    EXPECT_GE(pushed, 32);
    EXPECT_LT(pushed, 1000);
    while (pushed--)
        r->dispatch->statePop(r, VT_STATE_MATRIX);
}

// ---- Cameras -------------------------------------------------------------------------------

TEST_F(SoftConformance, ParallelCameraKeepsSizes) {
    start(64, 48);
    camera = VtActorAllocate(VT_ACTOR_CAMERA, nullptr);
    auto *c = static_cast<vt_camera *>(camera->type_data);
    c->type = VT_CAMERA_PARALLEL;
    c->width = c->height = 8; // 8 units across the height
    c->aspect = 64.0f / 48;
    c->hither_z = 1;
    c->yon_z = 100;
    VtActorAdd(world, camera);
    vt_material *white = flat("white", 0xFFFFFF);
    place(modelActor(quad("near", white), white), -2, 0, -5);
    place(modelActor(quad("far", white), white), 2, 0, -60);
    render();
    // A side of 2 units is 12 pixels at 6 pixels a unit, near or far.
    int near = 0, far = 0;
    for (int x = 0; x < 64; x++) {
        near += pixel(x, 24) != 0 && x < 32;
        far += pixel(x, 24) != 0 && x >= 32;
    }
    EXPECT_EQ(near, 12);
    EXPECT_EQ(far, 12);
}

// ---- Textures and blending -----------------------------------------------------------------

TEST_F(SoftConformance, TexelsOfEachMapTypeOnAnRGB565Target) {
    start(8, 8);
    perspectiveCamera(90, 0.5f, 10);
    // One texel per pixel: a quad of side 2 at distance 1 fills the view.
    vt_actor *a = modelActor(nullptr, nullptr);
    place(a, 0, 0, -1);
    vt_pixelmap *pal = VtPixelmapAllocate(VT_PMT_RGBX_888, 1, 256, nullptr, 0);
    const vt_colour red = 0xFF0000, green = 0x00FF00;
    memcpy(static_cast<vt_uint_8 *>(pal->pixels) + 7 * pal->row_bytes, &red, 4);
    struct {
        vt_uint_8 type;
        vt_uint_32 texel;
        bool own_palette, target_palette, standard_palette;
        vt_uint_16 want;
    } cases[] = {
        {VT_PMT_RGB_565, 0x1234, false, false, false, 0x1234},
        {VT_PMT_ARGB_4444, 0xF8C4, false, false, false, rgb565(0x88CC44)},
        {VT_PMT_INDEX_8, 7, true, false, false, rgb565(0xFF0000)},   // the map's palette
        {VT_PMT_INDEX_8, 7, false, true, false, rgb565(0xFF0000)},   // the target's
        {VT_PMT_INDEX_8, 9, false, false, true, rgb565(0x00FF00)},   // the one given to the driver
        {VT_PMT_INDEX_8, 200, false, false, false, rgb565(0xC8C8C8)}, // a grey ramp
    };
    vt_pixelmap *standard = VtPixelmapAllocate(VT_PMT_RGBX_888, 1, 256, nullptr, 0);
    memcpy(static_cast<vt_uint_8 *>(standard->pixels) + 9 * standard->row_bytes, &green, 4);
    for (auto &c : cases) {
        vt_pixelmap *tex = checker("tex", c.type, 8, 8, c.texel, c.texel);
        tex->map = c.own_palette ? pal : nullptr;
        VtMapUpdate(tex, VT_MAPU_ALL);
        colour->map = c.target_palette ? pal : nullptr;
        SoftrendPaletteSet(c.standard_palette ? standard : nullptr);
        vt_material *m = flat("tex", 0xFFFFFF, 0, tex);
        a->model = quad("tex", m);
        a->material = m;
        clear(0);
        render();
        EXPECT_EQ(pixel(3, 4), c.want) << int(c.type) << " " << c.texel;
        VtModelFree(VtModelRemove(a->model));
        VtMaterialFree(VtMaterialRemove(m));
        VtPixelmapFree(VtMapRemove(tex));
    }
    SoftrendPaletteSet(nullptr);
    a->model = nullptr;
    VtPixelmapFree(pal);
    VtPixelmapFree(standard);
}

TEST_F(SoftConformance, BuffersShareTheMapsPixels) {
    start(8, 8);
    perspectiveCamera(90, 0.5f, 10);
    vt_pixelmap *tex = checker("tex", VT_PMT_RGB_565, 8, 8, 0x001F, 0x001F);
    vt_material *m = flat("tex", 0xFFFFFF, 0, tex);
    place(modelActor(quad("tex", m), m), 0, 0, -1);
    render();
    EXPECT_EQ(pixel(2, 2), 0x001Fu);
    for (int i = 0; i < 64; i++)
        static_cast<vt_uint_16 *>(tex->pixels)[i] = 0xF800; // edited in place, no update
    clear();
    render();
    EXPECT_EQ(pixel(2, 2), 0xF800u);
}

TEST_F(SoftConformance, BlendingAndDepthWrite) {
    start(8, 8);
    perspectiveCamera(90, 0.5f, 10);
    const vt_uint_16 background = rgb565(0x4080C0);
    struct {
        vt_uint_16 mode;
        vt_uint_8 opacity;
        vt_uint_16 want;
    } cases[] = {
        {VT_MATM_BLEND_STANDARD, 128, vt_uint_16(((0x4080C0 >> 19) + ((31 - (0x4080C0 >> 19)) * 128 >> 8)) << 11 |
                                                 ((0x80 >> 2) + ((63 - (0x80 >> 2)) * 128 >> 8)) << 5 |
                                                 ((0xC0 >> 3) + ((31 - (0xC0 >> 3)) * 128 >> 8)))},
        {VT_MATM_BLEND_SUMMED, 255, 0xFFFF}, // saturates
        {VT_MATM_BLEND_SUMMED, 0, background},
    };
    for (auto &c : cases) {
        vt_material *m = flat("over", 0xFFFFFF);
        m->opacity = c.opacity;
        m->mode = vt_uint_16(VT_MATM_DEPTH_LESS_OR_EQUAL | c.mode);
        VtMaterialUpdate(m, VT_MATU_ALL);
        vt_actor *a = modelActor(quad("over", m), m);
        place(a, 0, 0, -1);
        clear(background);
        render();
        EXPECT_EQ(pixel(4, 4), c.want) << c.mode << " " << int(c.opacity);
        VtActorFree(a);
    }
    // A face that does not write depth leaves a farther one visible.
    vt_material *ghost = flat("ghost", 0xFF0000, VT_MATF_NO_DEPTH_WRITE), *solid = flat("solid", 0x00FF00);
    place(modelActor(quad("solid", solid), solid), 0, 0, -2); // walked second
    place(modelActor(quad("ghost", ghost), ghost), 0, 0, -1);
    clear();
    render();
    EXPECT_EQ(pixel(4, 4), rgb565(0x00FF00));
}

// ---- INDEX_8 targets -----------------------------------------------------------------------

TEST_F(SoftConformance, RampsAndPreLitIndices) {
    start(8, 8, VT_PMT_INDEX_8);
    perspectiveCamera(90, 0.5f, 10);
    vt_material *m = flat("ramp", 0x808080);
    m->index_base = 48;
    m->index_range = 31;
    VtMaterialUpdate(m, VT_MATU_ALL);
    vt_actor *a = modelActor(quad("ramp", m), m);
    place(a, 0, 0, -1);
    render();
    EXPECT_EQ(pixel(4, 4), vt_uint_32(std::lround(48 + 0x80 * 31 / 255.0))) << "base + brightness x range, rounded";
    // Pre-lit: each corner's index byte, smoothed across.
    m->flags = VT_MATF_PRELIT | VT_MATF_SMOOTH;
    VtMaterialUpdate(m, VT_MATU_ALL);
    clear();
    render();
    // Corners 0 (16), 2 (36) and 3 (46) at the bottom left, top right and
    // top left: 46 + x / 8 (36 - 46) + y / 8 (16 - 46) at the pixel's
    // centre (x + 0.5, y + 0.5), rounded: 29.75 and 27.25.
    EXPECT_EQ(pixel(5, 2), 30u);
    EXPECT_EQ(pixel(1, 4), 27u);
}

} // namespace
