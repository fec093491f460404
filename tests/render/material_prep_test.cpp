// Material preparation against the recording renderer: the renderer part
// values a material's flags and mode become, and the state discipline
// around them.
#include <cstring>

#include "recording_renderer.h"
#include "render/pmap/pixelmap.h"
#include "scene_fixture.h"

using namespace vttest;

namespace {

class VtMaterialPrep : public VtSceneTest {
protected:
    void SetUp() override {
        VtSceneTest::SetUp();
        rec = new RecordingRenderer();
        ASSERT_EQ(VtRendererBegin(nullptr, rec->facility(), nullptr, nullptr, 0), VT_E_OK);
        rec->take();
    }
    void TearDown() override {
        VtRendererEnd();
        delete rec;
        VtSceneTest::TearDown();
    }
    // The value the material's stored state holds for a part token.
    const rec_value *stored(vt_material *m, vt_token part, vt_token t) {
        return RecordingRenderer::storedValue(m->stored, part, 0, t);
    }
    vt_token token(vt_material *m, vt_token part, vt_token t) {
        const rec_value *v = stored(m, part, t);
        return v ? v->v.t : 0;
    }
    RecordingRenderer *rec = nullptr;
};

TEST_F(VtMaterialPrep, FlagsAndModeBecomePartValues) {
    struct row {
        const char *what;
        vt_uint_32 flags;
        vt_uint_16 mode;
        vt_token part, t, want;
    } rows[] = {
        {"one-sided by default", 0, 0, VTT_CULL, VTT_TYPE_T, VTT_ONE_SIDED},
        {"no culling", VT_MATF_NO_CULL, 0, VTT_CULL, VTT_TYPE_T, VTT_NONE},
        {"two-sided wins", VT_MATF_TWO_SIDED | VT_MATF_NO_CULL, 0, VTT_CULL, VTT_TYPE_T, VTT_TWO_SIDED},
        {"geometry mapping", 0, 0, VTT_SURFACE, VTT_MAPPING_SOURCE_T, VTT_GEOMETRY_MAP},
        {"infinite viewer", VT_MATF_ENV_INFINITE, 0, VTT_SURFACE, VTT_MAPPING_SOURCE_T, VTT_ENVIRONMENT_INFINITE},
        {"local viewer", VT_MATF_ENV_LOCAL, 0, VTT_SURFACE, VTT_MAPPING_SOURCE_T, VTT_ENVIRONMENT_LOCAL},
        {"quad wins", VT_MATF_QUAD_MAPPING | VT_MATF_ENV_LOCAL | VT_MATF_ENV_INFINITE, 0, VTT_SURFACE,
         VTT_MAPPING_SOURCE_T, VTT_QUAD},
        {"pre-lit colour", VT_MATF_PRELIT | VT_MATF_LIT, 0, VTT_SURFACE, VTT_COLOUR_SOURCE_T, VTT_GEOMETRY},
        {"surface colour", VT_MATF_LIT, 0, VTT_SURFACE, VTT_COLOUR_SOURCE_T, VTT_SURFACE},
        {"depth test", 0, VT_MATM_DEPTH_LESS, VTT_PRIMITIVE, VTT_DEPTH_TEST_T, VTT_LESS},
        {"effect mode: test", 0, 12, VTT_PRIMITIVE, VTT_DEPTH_TEST_T, VTT_LESS_OR_EQUAL},
        {"effect mode: blend", 0, 12, VTT_PRIMITIVE, VTT_BLEND_MODE_T, VTT_BLEND_SUMMED},
        {"premultiplied", 0, VT_MATM_BLEND_PREMULTIPLIED, VTT_PRIMITIVE, VTT_BLEND_MODE_T, VTT_BLEND_PREMULTIPLIED},
        {"width clamp", 0, VT_MATM_WIDTH_CLAMP, VTT_PRIMITIVE, VTT_MAP_WIDTH_LIMIT_T, VTT_CLAMP},
        {"height mirror", 0, VT_MATM_HEIGHT_MIRROR, VTT_PRIMITIVE, VTT_MAP_HEIGHT_LIMIT_T, VTT_MIRROR},
        {"height wraps", 0, VT_MATM_WIDTH_MIRROR, VTT_PRIMITIVE, VTT_MAP_HEIGHT_LIMIT_T, VTT_WRAP},
        {"interpolation", VT_MATF_MAP_INTERPOLATION, 0, VTT_PRIMITIVE, VTT_MAP_INTERPOLATION_T, VTT_LINEAR},
        {"no interpolation", 0, 0, VTT_PRIMITIVE, VTT_MAP_INTERPOLATION_T, VTT_NONE},
        {"antialiasing", VT_MATF_MAP_ANTIALIASING, 0, VTT_PRIMITIVE, VTT_MAP_ANTIALIASING_T, VTT_LINEAR},
        {"mip", VT_MATF_MIP_INTERPOLATION, 0, VTT_PRIMITIVE, VTT_MIP_INTERPOLATION_T, VTT_LINEAR},
        {"subdivide", VT_MATF_SUBDIVIDE | VT_MATF_PERSPECTIVE, 0, VTT_PRIMITIVE, VTT_PERSPECTIVE_T, VTT_SUBDIVIDE},
        {"fog", VT_MATF_FOG, 0, VTT_PRIMITIVE, VTT_FOG_T, VTT_LINEAR},
    };
    for (const row &r : rows) {
        SCOPED_TRACE(r.what);
        vt_material *m = VtMaterialAllocate("m");
        m->flags = r.flags;
        m->mode = r.mode;
        VtMaterialUpdate(m, VT_MATU_ALL);
        ASSERT_NE(m->stored, nullptr);
        EXPECT_EQ(VtTokenIdentifier(token(m, r.part, r.t)), std::string(VtTokenIdentifier(r.want)));
        VtMaterialFree(m);
    }
}

TEST_F(VtMaterialPrep, BooleansAndScalars) {
    vt_material *m = VtMaterialAllocate("glass");
    m->colour = 0x336699;
    m->opacity = 128;
    m->ka = 0.25f;
    m->kd = 0.5f;
    m->ks = 0.75f;
    m->power = 8;
    m->index_base = 64;
    m->index_range = 16;
    m->flags = VT_MATF_LIT | VT_MATF_SMOOTH | VT_MATF_PERSPECTIVE | VT_MATF_DECAL | VT_MATF_DITHER |
               VT_MATF_FORCE_FRONT | VT_MATF_NO_DEPTH_WRITE | VT_MATF_FOG;
    m->fog_min = 5;
    m->fog_max = 50;
    m->fog_colour = 0x102030;
    VtMaterialUpdate(m, VT_MATU_ALL);
    struct row {
        vt_token part, t;
        vt_uint_32 bits; // the value's low 32 bits
    } rows[] = {
        {VTT_PRIMITIVE, VTT_COLOUR_RGB, 0x336699},
        {VTT_PRIMITIVE, VTT_MODULATE_B, 1},
        {VTT_PRIMITIVE, VTT_BLEND_B, 1},
        {VTT_PRIMITIVE, VTT_SMOOTH_B, 1},
        {VTT_PRIMITIVE, VTT_DEPTH_WRITE_B, 0},
        {VTT_PRIMITIVE, VTT_PERSPECTIVE_B, 1},
        {VTT_PRIMITIVE, VTT_DECAL_B, 1},
        {VTT_PRIMITIVE, VTT_DITHER_MAP_B, 1},
        {VTT_PRIMITIVE, VTT_DITHER_COLOUR_B, 1},
        {VTT_PRIMITIVE, VTT_INDEX_BASE_I32, 64},
        {VTT_PRIMITIVE, VTT_INDEX_RANGE_I32, 16},
        {VTT_PRIMITIVE, VTT_FOG_B, 1},
        {VTT_PRIMITIVE, VTT_FOG_RGB, 0x102030},
        {VTT_PRIMITIVE, VTT_FOG_SCALE_U8, 128},
        {VTT_SURFACE, VTT_COLOUR_RGB, 0x336699},
        {VTT_SURFACE, VTT_LIGHTING_B, 1},
        {VTT_SURFACE, VTT_FORCE_FRONT_B, 1},
        {VTT_SURFACE, VTT_FORCE_BACK_B, 0},
    };
    for (const row &r : rows) {
        const rec_value *v = stored(m, r.part, r.t);
        ASSERT_NE(v, nullptr) << VtTokenIdentifier(r.t);
        EXPECT_EQ(v->v.u32, r.bits) << VtTokenIdentifier(r.t);
    }
    struct frow {
        vt_token part, t;
        float want;
    } frows[] = {
        {VTT_PRIMITIVE, VTT_OPACITY_F, 128 / 255.0f}, {VTT_SURFACE, VTT_OPACITY_F, 128 / 255.0f},
        {VTT_SURFACE, VTT_AMBIENT_F, 0.25f},           {VTT_SURFACE, VTT_DIFFUSE_F, 0.5f},
        {VTT_SURFACE, VTT_SPECULAR_F, 0.75f},          {VTT_SURFACE, VTT_SPECULAR_POWER_F, 8},
        {VTT_PRIMITIVE, VTT_FOG_MIN_F, 5},             {VTT_PRIMITIVE, VTT_FOG_MAX_F, 50},
    };
    for (const frow &r : frows) {
        const rec_value *v = stored(m, r.part, r.t);
        ASSERT_NE(v, nullptr) << VtTokenIdentifier(r.t);
        EXPECT_FLOAT_EQ(v->v.f, r.want) << VtTokenIdentifier(r.t);
    }
    VtMaterialFree(m);
    // Without fog its range is not handed over; pre-lit is unlit.
    vt_material *p = VtMaterialAllocate("prelit");
    p->flags = VT_MATF_PRELIT | VT_MATF_LIT;
    VtMaterialUpdate(p, VT_MATU_ALL);
    EXPECT_EQ(stored(p, VTT_PRIMITIVE, VTT_FOG_MIN_F), nullptr);
    EXPECT_EQ(stored(p, VTT_PRIMITIVE, VTT_BLEND_B)->v.u32, 0u);
    EXPECT_EQ(stored(p, VTT_SURFACE, VTT_LIGHTING_B)->v.u32, 0u);
    EXPECT_EQ(stored(p, VTT_PRIMITIVE, VTT_MODULATE_B)->v.u32, 1u);
    VtMaterialFree(p);
}

TEST_F(VtMaterialPrep, UpdatesWorkInsideAPushedStateAndKeepTheStoredState) {
    vt_material *m = VtMaterialAllocate("m");
    rec->name(&m->map_transform, "map_transform");
    VtMaterialUpdate(m, VT_MATU_MAP_TRANSFORM);
    std::vector<std::string> first = rec->take();
    const std::vector<std::string> want = {
        "push 2147483713",
        "default 2147483713",
        "set SURFACE 0 MAP_MATRIX_M23_F=[1 0 0 1 0 0]",
        "stateStoredNew 2147483713",
        "pop 2147483713",
    };
    EXPECT_EQ(first, want);
    vt_renderer_state_stored *ss = m->stored;
    // A partial update starts from what was stored and saves into it.
    m->map_transform.m[2][0] = 0.5f;
    m->extra_prim = nullptr;
    vt_token_value extra[] = {{VTT_BLEND_B, VtValueU32(1)}, {VTT_END, VtValueU32(0)}};
    m->extra_prim = extra;
    VtMaterialUpdate(m, VT_MATU_MAP_TRANSFORM | VT_MATU_EXTRA_PRIM);
    const std::vector<std::string> again = {
        "push 2147483713",
        "default 2147483713",
        "restore 2147483713",
        "set SURFACE 0 MAP_MATRIX_M23_F=[1 0 0 1 0.5 0]",
        "setMany PRIMITIVE 0 BLEND_B=1",
        "save 2147483713",
        "pop 2147483713",
    };
    EXPECT_EQ(rec->take(), again);
    EXPECT_EQ(m->stored, ss);
    EXPECT_TRUE(rec->stack.empty());
    m->extra_prim = nullptr;
    VtMaterialFree(m);
    EXPECT_EQ(rec->liveStates, 1); // the default material's alone
}

TEST_F(VtMaterialPrep, MapsAndTablesHandTheirStoredBuffers) {
    vt_pixelmap *tex = VtPixelmapAllocate(VT_PMT_INDEX_8, 4, 4, nullptr, 0);
    vt_pixelmap *shade = VtPixelmapAllocate(VT_PMT_INDEX_8, 256, 64, nullptr, 0);
    tex->identifier = "tex";
    shade->identifier = "shade";
    rec->name(tex, "tex");
    rec->name(shade, "shade");
    VtMapAdd(tex);
    VtTableAdd(shade);
    EXPECT_EQ(rec->take(), (std::vector<std::string>{
                               "bufferStoredNew COLOUR_MAP_O tex PREFER_SHARE_B=0 CAN_SHARE_B=1",
                               "bufferStoredNew UNKNOWN shade PREFER_SHARE_B=0 CAN_SHARE_B=1",
                           }));
    rec->name(tex->stored, "tex buffer");
    rec->name(shade->stored, "shade buffer");
    VtMapUpdate(tex, VT_MAPU_ALL | VT_MAPU_SHARED);
    EXPECT_EQ(rec->take(), (std::vector<std::string>{"bufferUpdate tex PREFER_SHARE_B=1 CAN_SHARE_B=1"}));

    vt_material *m = VtMaterialAllocate("textured");
    m->colour_map = tex;
    m->index_shade = shade;
    VtMaterialUpdate(m, VT_MATU_COLOURMAP | VT_MATU_SCREENDOOR);
    std::vector<std::string> log = rec->take();
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log[2], "setMany PRIMITIVE 0 COLOUR_MAP_O=tex buffer INDEX_SHADE_O=shade buffer INDEX_BLEND_O=null "
                      "INDEX_FOG_O=null");
    EXPECT_EQ(log[3], "set PRIMITIVE 0 SCREEN_DOOR_O=null");
    VtMaterialFree(m);

    VtMapRemove(tex);
    VtTableRemove(shade);
    EXPECT_EQ(tex->stored, nullptr);
    EXPECT_EQ(shade->stored, nullptr);
    EXPECT_EQ(rec->liveBuffers, 0);
    VtPixelmapFree(tex);
    VtPixelmapFree(shade);
}

} // namespace
