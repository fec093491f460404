// Material preparation: a material's fields translated into the renderer's
// PRIMITIVE, SURFACE and CULL state and kept as the material's stored
// state; and the renderer's buffers of texture maps and tables.
#include "render/pmap/pixelmap.h"
#include "render/scene/scenestate.h"

namespace {

vt_value b(bool on) { return VtValueU32(on ? 1 : 0); }
vt_value t(vt_token tok) { return VtValueU32(tok); }
vt_value f(vt_scalar s) { return VtValueF(s); }

vt_token depthTest(vt_uint_16 mode) {
    static const vt_token kTests[8] = {VTT_GREATER, VTT_GREATER_OR_EQUAL, VTT_EQUAL, VTT_NOT_EQUAL,
                                       VTT_LESS_OR_EQUAL, VTT_LESS, VTT_NEVER, VTT_ALWAYS};
    return kTests[mode & VT_MATM_DEPTH_MASK];
}

vt_token blendMode(vt_uint_16 mode) {
    switch (mode & VT_MATM_BLEND_MASK) {
    case VT_MATM_BLEND_SUMMED:
        return VTT_BLEND_SUMMED;
    case VT_MATM_BLEND_DIMMED:
        return VTT_BLEND_DIMMED;
    case VT_MATM_BLEND_PREMULTIPLIED:
        return VTT_BLEND_PREMULTIPLIED;
    default:
        return VTT_BLEND_STANDARD;
    }
}

// Two bits of limit: wrap, clamp, mirror (the fourth value wraps).
vt_token mapLimit(unsigned bits) {
    switch (bits & 3) {
    case 1:
        return VTT_CLAMP;
    case 2:
        return VTT_MIRROR;
    default:
        return VTT_WRAP;
    }
}

vt_token linearIf(bool on) { return on ? VTT_LINEAR : VTT_NONE; }

void *storedOf(vt_pixelmap *pm) { return pm ? pm->stored : nullptr; }

struct pairs {
    vt_token_value tv[40];
    int n = 0;
    void add(vt_token tok, vt_value v) { tv[n++] = vt_token_value{tok, v}; }
    vt_token_value *end() {
        tv[n] = vt_token_value{VTT_END, VtValueU32(0)};
        return tv;
    }
};

void primitiveState(vt_renderer *r, const vt_material *m) {
    const vt_uint_32 fl = m->flags;
    pairs p;
    p.add(VTT_COLOUR_RGB, VtValueU32(m->colour));
    p.add(VTT_OPACITY_F, f(m->opacity / 255.0f));
    p.add(VTT_MODULATE_B, b(fl & (VT_MATF_LIT | VT_MATF_PRELIT)));
    p.add(VTT_BLEND_B, b(m->opacity != 255));
    p.add(VTT_SMOOTH_B, b(fl & VT_MATF_SMOOTH));
    p.add(VTT_DEPTH_WRITE_B, b(!(fl & VT_MATF_NO_DEPTH_WRITE)));
    if (fl & VT_MATF_SUBDIVIDE) {
        p.add(VTT_PERSPECTIVE_T, t(VTT_SUBDIVIDE));
        p.add(VTT_SUBDIVIDE_TOLERANCE_I32, VtValueI32(m->subdivide_tolerance));
    } else {
        p.add(VTT_PERSPECTIVE_B, b(fl & VT_MATF_PERSPECTIVE));
    }
    p.add(VTT_DECAL_B, b(fl & VT_MATF_DECAL));
    p.add(VTT_DITHER_MAP_B, b(fl & VT_MATF_DITHER));
    p.add(VTT_DITHER_COLOUR_B, b(fl & VT_MATF_DITHER));
    p.add(VTT_INDEX_BASE_I32, VtValueI32(m->index_base));
    p.add(VTT_INDEX_RANGE_I32, VtValueI32(m->index_range));
    p.add(VTT_MAP_ANTIALIASING_T, t(linearIf(fl & VT_MATF_MAP_ANTIALIASING)));
    p.add(VTT_MAP_INTERPOLATION_T, t(linearIf(fl & VT_MATF_MAP_INTERPOLATION)));
    p.add(VTT_MIP_INTERPOLATION_T, t(linearIf(fl & VT_MATF_MIP_INTERPOLATION)));
    p.add(VTT_DEPTH_TEST_T, t(depthTest(m->mode)));
    p.add(VTT_BLEND_MODE_T, t(blendMode(m->mode)));
    p.add(VTT_MAP_WIDTH_LIMIT_T, t(mapLimit(m->mode >> 5)));
    p.add(VTT_MAP_HEIGHT_LIMIT_T, t(mapLimit(m->mode >> 7)));
    bool fog = (fl & VT_MATF_FOG) != 0;
    p.add(VTT_FOG_B, b(fog));
    p.add(VTT_FOG_T, t(linearIf(fog)));
    if (fog) {
        p.add(VTT_FOG_MIN_F, f(m->fog_min));
        p.add(VTT_FOG_MAX_F, f(m->fog_max));
        p.add(VTT_FOG_RGB, VtValueU32(m->fog_colour));
        p.add(VTT_FOG_SCALE_U8, VtValueU32(m->opacity));
    }
    r->dispatch->partSetMany(r, VTT_PRIMITIVE, 0, p.end(), nullptr);

    vt_token cull = VTT_ONE_SIDED;
    if (fl & VT_MATF_TWO_SIDED)
        cull = VTT_TWO_SIDED;
    else if (fl & VT_MATF_NO_CULL)
        cull = VTT_NONE;
    r->dispatch->partSet(r, VTT_CULL, 0, VTT_TYPE_T, t(cull));
}

void surfaceState(vt_renderer *r, const vt_material *m) {
    const vt_uint_32 fl = m->flags;
    const bool prelit = (fl & VT_MATF_PRELIT) != 0;
    pairs p;
    p.add(VTT_COLOUR_RGB, VtValueU32(m->colour));
    p.add(VTT_OPACITY_F, f(m->opacity / 255.0f));
    p.add(VTT_AMBIENT_F, f(m->ka));
    p.add(VTT_DIFFUSE_F, f(m->kd));
    p.add(VTT_SPECULAR_F, f(m->ks));
    p.add(VTT_SPECULAR_POWER_F, f(m->power));
    p.add(VTT_LIGHTING_B, b((fl & VT_MATF_LIT) && !prelit));
    p.add(VTT_FORCE_FRONT_B, b(fl & VT_MATF_FORCE_FRONT));
    p.add(VTT_FORCE_BACK_B, b(fl & VT_MATF_FORCE_BACK));
    p.add(VTT_COLOUR_SOURCE_T, t(prelit ? VTT_GEOMETRY : VTT_SURFACE));
    // Quad mapping wins over either environment map, a local viewer over
    // an infinite one.
    vt_token mapping = VTT_GEOMETRY_MAP;
    if (fl & VT_MATF_ENV_INFINITE)
        mapping = VTT_ENVIRONMENT_INFINITE;
    if (fl & VT_MATF_ENV_LOCAL)
        mapping = VTT_ENVIRONMENT_LOCAL;
    if (fl & VT_MATF_QUAD_MAPPING)
        mapping = VTT_QUAD;
    p.add(VTT_MAPPING_SOURCE_T, t(mapping));
    r->dispatch->partSetMany(r, VTT_SURFACE, 0, p.end(), nullptr);
}

void pixelmapUpdate(vt_pixelmap *pm, vt_uint_16 flags, vt_token use) {
    vt_renderer *r = vtScene.renderer;
    if (pm == nullptr || r == nullptr)
        return;
    vt_token_value tv[3] = {
        {VTT_PREFER_SHARE_B, b(flags & VT_MAPU_SHARED)},
        {VTT_CAN_SHARE_B, b(true)},
        {VTT_END, VtValueU32(0)},
    };
    if (pm->stored) {
        auto *sb = static_cast<vt_buffer_stored *>(pm->stored);
        sb->dispatch->update(sb, pm, tv);
        return;
    }
    vt_buffer_stored *sb = nullptr;
    if (r->dispatch->bufferStoredNew(r, &sb, use, pm, tv) == VT_E_OK)
        pm->stored = sb;
}

} // namespace

void VtMaterialUpdate(vt_material *m, vt_uint_16 flags) {
    vt_renderer *r = vtScene.renderer;
    if (m == nullptr || r == nullptr)
        return;
    const vt_uint_32 mask = VT_STATE_MATERIAL;
    r->dispatch->statePush(r, mask);
    r->dispatch->stateDefault(r, mask);
    if (m->stored)
        r->dispatch->stateRestore(r, m->stored, mask);

    if (flags & VT_MATU_MAP_TRANSFORM)
        r->dispatch->partSet(r, VTT_SURFACE, 0, VTT_MAP_MATRIX_M23_F, VtValueP(&m->map_transform));
    if (flags & VT_MATU_RENDERING)
        primitiveState(r, m);
    if (flags & VT_MATU_LIGHTING)
        surfaceState(r, m);
    if (flags & VT_MATU_COLOURMAP) {
        pairs p;
        p.add(VTT_COLOUR_MAP_O, VtValueP(storedOf(m->colour_map)));
        p.add(VTT_INDEX_SHADE_O, VtValueP(storedOf(m->index_shade)));
        p.add(VTT_INDEX_BLEND_O, VtValueP(storedOf(m->index_blend)));
        p.add(VTT_INDEX_FOG_O, VtValueP(storedOf(m->index_fog)));
        r->dispatch->partSetMany(r, VTT_PRIMITIVE, 0, p.end(), nullptr);
    }
    if (flags & VT_MATU_SCREENDOOR)
        r->dispatch->partSet(r, VTT_PRIMITIVE, 0, VTT_SCREEN_DOOR_O, VtValueP(storedOf(m->screendoor)));
    if ((flags & VT_MATU_EXTRA_SURF) && m->extra_surf)
        r->dispatch->partSetMany(r, VTT_SURFACE, 0, m->extra_surf, nullptr);
    if ((flags & VT_MATU_EXTRA_PRIM) && m->extra_prim)
        r->dispatch->partSetMany(r, VTT_PRIMITIVE, 0, m->extra_prim, nullptr);

    if (m->stored)
        r->dispatch->stateSave(r, m->stored, mask);
    else
        r->dispatch->stateStoredNew(r, &m->stored, mask, nullptr);
    r->dispatch->statePop(r, mask);
}

void VtMapUpdate(vt_pixelmap *map, vt_uint_16 flags) { pixelmapUpdate(map, flags, VTT_COLOUR_MAP_O); }

void VtTableUpdate(vt_pixelmap *table, vt_uint_16 flags) { pixelmapUpdate(table, flags, VTT_UNKNOWN); }
