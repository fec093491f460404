// The renderer's state parts: their token tables, defaults and copies by
// state mask.
#include <cfloat>
#include <cstddef>
#include <cstring>

#include "render/drivers/srstate.h"

namespace {

constexpr vt_int_16 kFlags = VT_TVF_QUERY | VT_TVF_SET | VT_TVF_QUERY_ALL;

#define SR_ENTRY(tok, rec, field, conv) {VTT_##tok, nullptr, offsetof(rec, field), kFlags, conv, 0, 0}
#define SR_DIRECT(tok, rec, field) SR_ENTRY(tok, rec, field, VT_TVC_DIRECT)

vt_tv_template_entry outputEntries[] = {
    SR_DIRECT(COLOUR_BUFFER_O, sr_output, colour),
    SR_DIRECT(DEPTH_BUFFER_O, sr_output, depth),
};

vt_tv_template_entry matrixEntries[] = {
    SR_ENTRY(VIEW_TO_SCREEN_M4_F, sr_matrix, view_to_screen, VT_TVC_M4),
    SR_DIRECT(VIEW_TO_SCREEN_HINT_T, sr_matrix, view_to_screen_hint),
    SR_DIRECT(HITHER_Z_F, sr_matrix, hither),
    SR_DIRECT(YON_Z_F, sr_matrix, yon),
    SR_ENTRY(MODEL_TO_VIEW_M34_F, sr_matrix, model_to_view, VT_TVC_M34),
    SR_DIRECT(MODEL_TO_VIEW_HINT_T, sr_matrix, model_to_view_hint),
    SR_ENTRY(VIEW_TO_ENVIRONMENT_M34_F, sr_matrix, view_to_environment, VT_TVC_M34),
    SR_DIRECT(VIEW_TO_ENVIRONMENT_HINT_T, sr_matrix, view_to_environment_hint),
};

vt_tv_template_entry hiddenEntries[] = {
    SR_DIRECT(TYPE_T, sr_hidden, type),
    SR_DIRECT(DIVERT_T, sr_hidden, divert),
    SR_DIRECT(V1ORDER_TABLE_P, sr_hidden, order_table),
    SR_DIRECT(V1PRIMITIVE_HEAP_P, sr_hidden, heap),
    SR_DIRECT(V1INSERT_FUNCTION_P, sr_hidden, insert),
    SR_DIRECT(V1INSERT_ARG1_P, sr_hidden, insert_arg[0]),
    SR_DIRECT(V1INSERT_ARG2_P, sr_hidden, insert_arg[1]),
    SR_DIRECT(V1INSERT_ARG3_P, sr_hidden, insert_arg[2]),
};

vt_tv_template_entry lightEntries[] = {
    SR_DIRECT(COLOUR_RGB, sr_light, colour),
    SR_DIRECT(ATTENUATION_C_F, sr_light, att_c),
    SR_DIRECT(ATTENUATION_L_F, sr_light, att_l),
    SR_DIRECT(ATTENUATION_Q_F, sr_light, att_q),
    SR_DIRECT(SPACE_T, sr_light, space),
    SR_DIRECT(TYPE_T, sr_light, type),
    SR_ENTRY(POSITION_V3_F, sr_light, position, VT_TVC_V3),
    SR_ENTRY(DIRECTION_V3_F, sr_light, direction, VT_TVC_V3),
    SR_DIRECT(SPOT_OUTER_F, sr_light, spot_outer),
    SR_DIRECT(SPOT_INNER_F, sr_light, spot_inner),
};

vt_tv_template_entry clipEntries[] = {
    SR_DIRECT(TYPE_T, sr_clip, type),
    SR_ENTRY(PLANE_V4_F, sr_clip, plane, VT_TVC_V4),
};

vt_tv_template_entry enableEntries[] = {
    SR_DIRECT(BOUNDS_B, sr_enable, bounds),
};

vt_tv_template_entry boundsEntries[] = {
    SR_ENTRY(MIN_V2_F, sr_bounds, min, VT_TVC_V2),
    SR_ENTRY(MAX_V2_F, sr_bounds, max, VT_TVC_V2),
};

vt_tv_template_entry primitiveEntries[] = {
    SR_DIRECT(COLOUR_RGB, sr_primitive, colour),
    SR_DIRECT(OPACITY_F, sr_primitive, opacity),
    SR_ENTRY(OPACITY_X, sr_primitive, opacity, VT_TVC_FLOAT_AS_FIXED),
    SR_DIRECT(MODULATE_B, sr_primitive, modulate),
    SR_DIRECT(BLEND_B, sr_primitive, blend),
    SR_DIRECT(SMOOTH_B, sr_primitive, smooth),
    SR_DIRECT(DEPTH_WRITE_B, sr_primitive, depth_write),
    SR_DIRECT(PERSPECTIVE_B, sr_primitive, perspective),
    SR_DIRECT(PERSPECTIVE_T, sr_primitive, perspective_type),
    SR_DIRECT(SUBDIVIDE_TOLERANCE_I32, sr_primitive, subdivide_tolerance),
    SR_DIRECT(DECAL_B, sr_primitive, decal),
    SR_DIRECT(DITHER_MAP_B, sr_primitive, dither_map),
    SR_DIRECT(DITHER_COLOUR_B, sr_primitive, dither_colour),
    SR_DIRECT(INDEX_BASE_I32, sr_primitive, index_base),
    SR_DIRECT(INDEX_RANGE_I32, sr_primitive, index_range),
    SR_DIRECT(MAP_ANTIALIASING_T, sr_primitive, map_antialiasing),
    SR_DIRECT(MAP_INTERPOLATION_T, sr_primitive, map_interpolation),
    SR_DIRECT(MIP_INTERPOLATION_T, sr_primitive, mip_interpolation),
    SR_DIRECT(ANTIALIASING_T, sr_primitive, antialiasing),
    SR_DIRECT(DEPTH_TEST_T, sr_primitive, depth_test),
    SR_DIRECT(BLEND_MODE_T, sr_primitive, blend_mode),
    SR_DIRECT(MAP_WIDTH_LIMIT_T, sr_primitive, width_limit),
    SR_DIRECT(MAP_HEIGHT_LIMIT_T, sr_primitive, height_limit),
    SR_DIRECT(FOG_B, sr_primitive, fog),
    SR_DIRECT(FOG_T, sr_primitive, fog_type),
    SR_DIRECT(FOG_MIN_F, sr_primitive, fog_min),
    SR_DIRECT(FOG_MAX_F, sr_primitive, fog_max),
    SR_DIRECT(FOG_RGB, sr_primitive, fog_colour),
    SR_ENTRY(FOG_SCALE_U8, sr_primitive, fog_scale, VT_TVC_UINT8),
    SR_DIRECT(COLOUR_MAP_O, sr_primitive, colour_map),
    SR_DIRECT(INDEX_SHADE_O, sr_primitive, index_shade),
    SR_DIRECT(INDEX_BLEND_O, sr_primitive, index_blend),
    SR_DIRECT(INDEX_FOG_O, sr_primitive, index_fog),
    SR_DIRECT(SCREEN_DOOR_O, sr_primitive, screen_door),
};

vt_tv_template_entry surfaceEntries[] = {
    SR_DIRECT(COLOUR_RGB, sr_surface, colour),
    SR_DIRECT(OPACITY_F, sr_surface, opacity),
    SR_DIRECT(AMBIENT_F, sr_surface, ka),
    SR_DIRECT(DIFFUSE_F, sr_surface, kd),
    SR_DIRECT(SPECULAR_F, sr_surface, ks),
    SR_DIRECT(SPECULAR_POWER_F, sr_surface, power),
    SR_DIRECT(LIGHTING_B, sr_surface, lighting),
    SR_DIRECT(FORCE_FRONT_B, sr_surface, force_front),
    SR_DIRECT(FORCE_BACK_B, sr_surface, force_back),
    SR_DIRECT(COLOUR_SOURCE_T, sr_surface, colour_source),
    SR_DIRECT(MAPPING_SOURCE_T, sr_surface, mapping_source),
    SR_ENTRY(MAP_MATRIX_M23_F, sr_surface, map_matrix, VT_TVC_M23),
};

vt_tv_template_entry cullEntries[] = {
    SR_DIRECT(TYPE_T, sr_cull, type),
};

#undef SR_DIRECT
#undef SR_ENTRY

struct part_info {
    vt_token token;
    vt_uint_32 mask;
    vt_tv_template_entry *entries;
    int n;
};

#define SR_PART(tok, mask, entries) {VTT_##tok, mask, entries, int(sizeof entries / sizeof entries[0])}
const part_info kParts[10] = {
    SR_PART(OUTPUT, VT_STATE_OUTPUT, outputEntries),
    SR_PART(MATRIX, VT_STATE_MATRIX, matrixEntries),
    SR_PART(HIDDEN_SURFACE, VT_STATE_HIDDEN_SURFACE, hiddenEntries),
    SR_PART(LIGHT, VT_STATE_LIGHT, lightEntries),
    SR_PART(CLIP, VT_STATE_CLIP, clipEntries),
    SR_PART(ENABLE, VT_STATE_ENABLE, enableEntries),
    SR_PART(BOUNDS, VT_STATE_BOUNDS, boundsEntries),
    SR_PART(PRIMITIVE, VT_STATE_PRIMITIVE, primitiveEntries),
    SR_PART(SURFACE, VT_STATE_SURFACE, surfaceEntries),
    SR_PART(CULL, VT_STATE_CULL, cullEntries),
};
#undef SR_PART

void defaultMatrix(sr_matrix &m) {
    VtMatrix4Identity(&m.view_to_screen);
    m.view_to_screen_hint = VTT_PARALLEL;
    m.hither = 1;
    m.yon = 10;
    VtMatrix34Identity(&m.model_to_view);
    m.model_to_view_hint = VTT_LENGTH_PRESERVING;
    VtMatrix34Identity(&m.view_to_environment);
    m.view_to_environment_hint = VTT_DONT_CARE;
}

void defaultLight(sr_light &l) {
    memset(&l, 0, sizeof l);
    l.colour = 0xFFFFFF;
    l.att_c = 1;
    l.space = VTT_VIEW;
    l.type = VTT_NONE;
    VtVector3Set(&l.direction, 0, 0, 1);
    l.spot_outer = 0.5f;
    l.spot_inner = 0.8f;
}

void defaultPrimitive(sr_primitive &p) {
    memset(&p, 0, sizeof p);
    p.colour = 0xFFFFFF;
    p.opacity = 1;
    p.modulate = 1;
    p.depth_write = 1;
    p.perspective_type = VTT_NONE;
    p.map_antialiasing = p.map_interpolation = p.mip_interpolation = p.antialiasing = VTT_NONE;
    p.depth_test = VTT_LESS_OR_EQUAL;
    p.blend_mode = VTT_BLEND_STANDARD;
    p.width_limit = p.height_limit = VTT_WRAP;
    p.fog_type = VTT_NONE;
}

// The library's default material, as a surface.
void defaultSurface(sr_surface &s) {
    memset(&s, 0, sizeof s);
    s.colour = 0xFFFFFF;
    s.opacity = 1;
    s.ka = 0.1f;
    s.kd = 0.7f;
    s.power = 20;
    s.lighting = 1;
    s.colour_source = VTT_SURFACE;
    s.mapping_source = VTT_GEOMETRY_MAP;
    VtMatrix23Identity(&s.map_matrix);
}

} // namespace

void SrStateCopy(sr_state *dst, const sr_state *src, vt_uint_32 mask) {
    if (dst == src)
        return;
    if (mask & VT_STATE_OUTPUT)
        dst->output = src->output;
    if (mask & VT_STATE_MATRIX)
        dst->matrix = src->matrix;
    if (mask & VT_STATE_HIDDEN_SURFACE)
        dst->hidden = src->hidden;
    if (mask & VT_STATE_LIGHT)
        memcpy(dst->light, src->light, sizeof dst->light);
    if (mask & VT_STATE_CLIP)
        memcpy(dst->clip, src->clip, sizeof dst->clip);
    if (mask & VT_STATE_ENABLE)
        dst->enable = src->enable;
    if (mask & VT_STATE_BOUNDS)
        dst->bounds = src->bounds;
    if (mask & VT_STATE_PRIMITIVE)
        dst->prim = src->prim;
    if (mask & VT_STATE_SURFACE)
        dst->surf = src->surf;
    if (mask & VT_STATE_CULL)
        dst->cull = src->cull;
}

void SrStateDefault(sr_state *s, vt_uint_32 mask) {
    if (mask & VT_STATE_OUTPUT)
        s->output = sr_output{};
    if (mask & VT_STATE_MATRIX)
        defaultMatrix(s->matrix);
    if (mask & VT_STATE_HIDDEN_SURFACE) {
        s->hidden = sr_hidden{};
        s->hidden.type = s->hidden.divert = VTT_NONE;
    }
    if (mask & VT_STATE_LIGHT)
        for (sr_light &l : s->light)
            defaultLight(l);
    if (mask & VT_STATE_CLIP)
        for (sr_clip &c : s->clip)
            c = sr_clip{VTT_NONE, {{0, 0, 0, 0}}};
    if (mask & VT_STATE_ENABLE)
        s->enable = sr_enable{};
    if (mask & VT_STATE_BOUNDS) {
        VtVector2Set(&s->bounds.min, FLT_MAX, FLT_MAX);
        VtVector2Set(&s->bounds.max, -FLT_MAX, -FLT_MAX);
    }
    if (mask & VT_STATE_PRIMITIVE)
        defaultPrimitive(s->prim);
    if (mask & VT_STATE_SURFACE)
        defaultSurface(s->surf);
    if (mask & VT_STATE_CULL)
        s->cull.type = VTT_ONE_SIDED;
}

vt_error SrTemplatesMake(sr_templates *t, void *res) {
    for (int i = 0; i < 10; i++) {
        t->part[i] = VtTVTemplateAllocate(res, kParts[i].entries, kParts[i].n);
        if (t->part[i] == nullptr)
            return VT_E_NO_MEMORY;
    }
    return VT_E_OK;
}

void *SrPartRecord(sr_state *s, const sr_templates *t, vt_token part, vt_int_32 index, vt_tv_template **ptpl) {
    void *records[10] = {&s->output, &s->matrix, &s->hidden, s->light, s->clip,
                         &s->enable, &s->bounds, &s->prim,   &s->surf, &s->cull};
    const vt_int_32 counts[10] = {1, 1, 1, SR_LIGHTS, SR_CLIPS, 1, 1, 1, 1, 1};
    for (int i = 0; i < 10; i++) {
        if (kParts[i].token != part)
            continue;
        if (index < 0 || index >= counts[i])
            return nullptr;
        *ptpl = t->part[i];
        if (part == VTT_LIGHT)
            return &s->light[index];
        if (part == VTT_CLIP)
            return &s->clip[index];
        return records[i];
    }
    return nullptr;
}
