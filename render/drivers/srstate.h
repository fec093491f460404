// The software renderer's own records: the state parts, the renderer, its
// stored states and buffers, the drawing state of a model group as the
// span loops see it, and the steps between them (parts, geometry,
// lighting, clipping, triangles, lines and points, z-sort primitives).
#pragma once

#include "render/dev/device.h"
#include "render/drivers/softrend.h"
#include "render/fw/fw.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/renderer.h"

// ---- State parts ---------------------------------------------------------

enum { SR_LIGHTS = 16, SR_CLIPS = 6, SR_STACK = 48 };

struct sr_buffer;

struct sr_output {
    vt_pixelmap *colour;
    vt_pixelmap *depth;
};

struct sr_matrix {
    vt_matrix4 view_to_screen;
    vt_token view_to_screen_hint;
    vt_float hither, yon;
    vt_matrix34 model_to_view;
    vt_token model_to_view_hint;
    vt_matrix34 view_to_environment;
    vt_token view_to_environment_hint;
};

struct sr_hidden {
    vt_token type, divert;
    vt_order_table *order_table;
    vt_primitive_heap *heap;
    vt_primitive_insert_cbfn *insert;
    void *insert_arg[3];
};

struct sr_light {
    vt_colour colour;
    vt_float att_c, att_l, att_q;
    vt_token space, type;
    vt_vector3 position, direction;
    vt_float spot_outer, spot_inner;
};

struct sr_clip {
    vt_token type;
    vt_vector4 plane;
};

struct sr_enable {
    vt_boolean bounds;
};

struct sr_bounds {
    vt_vector2 min, max;
};

struct sr_primitive {
    vt_colour colour;
    vt_float opacity;
    vt_boolean modulate, blend, smooth, depth_write, perspective, decal, dither_map, dither_colour, fog;
    vt_token perspective_type;
    vt_int_32 subdivide_tolerance;
    vt_int_32 index_base, index_range;
    vt_token map_antialiasing, map_interpolation, mip_interpolation, antialiasing;
    vt_token depth_test, blend_mode, width_limit, height_limit;
    vt_token fog_type;
    vt_float fog_min, fog_max;
    vt_colour fog_colour;
    vt_uint_8 fog_scale;
    vt_buffer_stored *colour_map, *index_shade, *index_blend, *index_fog, *screen_door;
};

struct sr_surface {
    vt_colour colour;
    vt_float opacity, ka, kd, ks, power;
    vt_boolean lighting, force_front, force_back;
    vt_token colour_source, mapping_source;
    vt_matrix23 map_matrix;
};

struct sr_cull {
    vt_token type;
};

struct sr_state {
    sr_output output;
    sr_matrix matrix;
    sr_hidden hidden;
    sr_light light[SR_LIGHTS];
    sr_clip clip[SR_CLIPS];
    sr_enable enable;
    sr_bounds bounds;
    sr_primitive prim;
    sr_surface surf;
    sr_cull cull;
};

// What a material keeps: the parts geometry reads per group.
struct sr_material_parts {
    const sr_primitive *prim;
    const sr_surface *surf;
    const sr_cull *cull;
};

// Copies the parts in mask; resets them to their defaults.
void SrStateCopy(sr_state *dst, const sr_state *src, vt_uint_32 mask);
void SrStateDefault(sr_state *s, vt_uint_32 mask);

// Part token tables (one template per part, kept by the device).
struct sr_templates {
    vt_tv_template *part[10];
};
vt_error SrTemplatesMake(sr_templates *t, void *res);
// The record and template a part token and index address (null: no such
// part).
void *SrPartRecord(sr_state *s, const sr_templates *t, vt_token part, vt_int_32 index, vt_tv_template **ptpl);

// ---- Objects ---------------------------------------------------------------

struct sr_device;

// Every object of the driver starts so, which lets one token table answer
// IDENTIFIER_CSTR for all of them.
struct sr_named {
    const void *dispatch;
    const char *identifier;
    sr_device *device;
};

struct sr_renderer {
    const vt_renderer_dispatch *dispatch;
    const char *identifier;
    sr_device *device;
    const sr_templates *templates;
    vt_object *primitive_library;
    sr_state state;
    sr_state stack[SR_STACK];
    vt_uint_32 stack_mask[SR_STACK];
    int depth;
    // INDEX_8 texels as RGB565 when their map has no palette: rebuilt
    // whenever the colour buffer is set.
    vt_uint_16 fallback_lut[256];
    // Scratch of the geometry step, grown as models need.
    void *scratch;
    vt_size scratch_size;
};

struct sr_stored_state {
    const vt_object_dispatch *dispatch;
    const char *identifier;
    sr_device *device;
    vt_uint_32 mask; // the parts it holds
    sr_state state;
};

struct sr_buffer {
    const vt_buffer_stored_dispatch *dispatch;
    const char *identifier;
    sr_device *device;
    vt_pixelmap *pm;
    vt_token use;
    vt_boolean has_lut; // the map's own palette, read at the last update
    vt_uint_16 lut[256];
};

extern const vt_renderer_dispatch srRendererDispatch;
extern const vt_buffer_stored_dispatch srBufferDispatch;
extern const vt_object_dispatch srStoredStateDispatch;

inline sr_renderer *SrRendererOf(vt_renderer *r) {
    return r && r->dispatch == &srRendererDispatch ? reinterpret_cast<sr_renderer *>(r) : nullptr;
}
inline sr_buffer *SrBufferOf(vt_buffer_stored *b) {
    return b && b->dispatch == &srBufferDispatch ? reinterpret_cast<sr_buffer *>(b) : nullptr;
}
inline sr_stored_state *SrStoredOf(vt_renderer_state_stored *s) {
    return s && s->dispatch == &srStoredStateDispatch ? reinterpret_cast<sr_stored_state *>(s) : nullptr;
}

// A renderer made by the facility of a device; freed through its object.
vt_error SrRendererNew(sr_device *dev, vt_renderer **pr, vt_token_value *tv);
// What objects ask of their device: the resource they hang under, the
// device as an object, the part tables and the token table of the objects.
void *SrDeviceResource(sr_device *dev);
vt_device *SrDeviceObject(sr_device *dev);
const sr_templates *SrDeviceParts(sr_device *dev);
vt_tv_template *SrDeviceObjectTemplate(sr_device *dev);
// Base object operations shared by the driver's objects.
vt_device *SrObjectDevice(vt_object *o);
const char *SrObjectIdentifier(vt_object *o);
vt_int_32 SrObjectSpace(vt_object *o);
vt_tv_template *SrObjectTemplate(vt_object *o);
// A base operation table: the library's query methods, these and the
// type given.
vt_object_dispatch SrObjectDispatch(void (*free)(vt_object *), vt_token (*type)(vt_object *),
                                    vt_boolean (*is_type)(vt_object *, vt_token));

// The RGB565 of a palette entry (RGBX_888 0x00RRGGBB).
inline vt_uint_16 SrPack565(vt_uint_32 rgb) {
    return vt_uint_16(((rgb >> 8) & 0xF800) | ((rgb >> 5) & 0x07E0) | ((rgb >> 3) & 0x001F));
}
// Fills lut from a palette pixelmap; false when it is not one.
bool SrPaletteLut(vt_uint_16 lut[256], const vt_pixelmap *palette);
void SrBufferRefresh(sr_buffer *b);

// ---- Drawing state ---------------------------------------------------------

enum : vt_uint_8 { SR_TEX_NONE, SR_TEX_565, SR_TEX_INDEX, SR_TEX_4444 };
enum : vt_uint_8 { SR_BLEND_NONE, SR_BLEND_STANDARD, SR_BLEND_SUMMED, SR_BLEND_DIMMED, SR_BLEND_PREMULTIPLIED };
enum : vt_uint_8 { SR_WRAP, SR_CLAMP, SR_MIRROR };
// How the colour of a pixel is found: from the texel alone, a constant, or
// interpolated between the vertices.
enum : vt_uint_8 { SR_SHADE_NONE, SR_SHADE_FLAT, SR_SHADE_SMOOTH };

// Everything the span loops need of a model group, resolved once. Z-sort
// primitives keep a copy in the heap; its pointers are to pixels and
// tables that last the scene (the renderer's own palette table is made
// again only when a scene sets the colour buffer).
struct sr_paint {
    vt_uint_8 target;     // VT_PMT_INDEX_8 or VT_PMT_RGB_565
    vt_uint_8 tex;        // SR_TEX_*
    vt_uint_8 wrap_u, wrap_v;
    vt_uint_8 blend;      // SR_BLEND_*
    vt_uint_8 shade;      // SR_SHADE_*
    vt_uint_8 perspective;
    vt_uint_8 depth_write;
    vt_token depth_test;
    const vt_uint_8 *texels; // texel (0, 0)
    vt_int_32 tex_row;       // bytes
    vt_int_32 tex_w, tex_h;
    const vt_uint_16 *lut;   // INDEX_8 texels on RGB565 targets
    const vt_uint_8 *shade_table; // INDEX_8 targets: 256 x 64 (null: none)
    vt_int_32 shade_row;
    vt_int_32 opacity;       // 0..256
    vt_int_32 index_base, index_range;
};

// Where pixels go.
struct sr_target {
    vt_uint_8 *colour; // pixel (0, 0)
    vt_int_32 colour_row;
    vt_uint_8 *depth;  // null: no depth buffer
    vt_int_32 depth_row;
    vt_int_32 width, height;
    vt_uint_8 type;
};

// A vertex on screen: position (pixel (x, y) is the square from (x, y) to
// (x + 1, y + 1)), screen depth (-32767 near .. 32767 far), colour (RGB
// 0..255, or the index or shade level in c[0] on INDEX_8 targets),
// texture coordinates in texels, 1 / w and the distance in front of the
// camera. Depth and colour, and u, v and 1 / w, lie side by side for the
// triangle set-up to read four at once.
struct sr_svert {
    vt_float x, y;
    vt_float z, c[3];
    vt_float u, v, q;
    vt_float vz;
};

// The constant colour of a flat face: RGB 0..255 (or c[0] on INDEX_8).
struct sr_flat {
    vt_float c[3];
};

bool SrTargetOf(sr_target *t, const sr_output &out, bool use_depth);
// Fills a triangle, lines and points (both ends and points already on
// screen; pixels outside the target are never touched).
void SrTriangle(const sr_target &t, const sr_paint &p, const sr_svert *a, const sr_svert *b, const sr_svert *c,
                const sr_flat &flat);
void SrLine(const sr_target &t, const sr_paint &p, const sr_svert *a, const sr_svert *b, const sr_flat &flat);
void SrPoint(const sr_target &t, const sr_paint &p, const sr_svert *a, const sr_flat &flat);

// ---- Geometry ----------------------------------------------------------------

// The planes primitives are clipped against, as 4-vectors dotted with
// (x, y, z, w) in screen space (>= 0 inside): left, right, bottom, top,
// hither, yon, then the user planes. The mask of those in use.
enum { SR_PLANES = 6 + SR_CLIPS };
vt_uint_32 SrPlanes(vt_vector4 planes[SR_PLANES], const sr_state &s);
// The bits of the planes in mask that the point is outside of (a NaN
// coordinate is outside of all).
inline vt_uint_32 SrOutcode(const vt_float p[4], const vt_vector4 *planes, vt_uint_32 mask) {
    const vt_float x = p[0], y = p[1], z = p[2], w = p[3];
    vt_uint_32 o = 0;
    o |= !(w + x >= 0) ? 0x01u : 0;
    o |= !(w - x >= 0) ? 0x02u : 0;
    o |= !(w + y >= 0) ? 0x04u : 0;
    o |= !(w - y >= 0) ? 0x08u : 0;
    o |= !(w - z >= 0) ? 0x10u : 0;
    o |= !(w + z >= 0) ? 0x20u : 0;
    for (vt_uint_32 m = mask >> 6, i = 6; m; m >>= 1, i++)
        if ((m & 1) && !(planes[i].v[0] * x + planes[i].v[1] * y + planes[i].v[2] * z + planes[i].v[3] * w >= 0))
            o |= 1u << i;
    return o & mask;
}
// Model space to screen space under the current matrices.
void SrModelToScreen(vt_matrix4 *m, const sr_state &s);

// A vertex in clip space with its attributes, as clipping interpolates.
struct sr_cvert {
    vt_float x, y, z, w;
    vt_float u, v;
    vt_float c[3];
    vt_float vz;
};

enum { SR_MAX_POLY = 3 + 6 + SR_CLIPS + 2 };

// Clips a polygon (n vertices in in[]) against the planes given as 4-vectors
// (p . (x, y, z, w) >= 0 inside) whose bits are set in mask; returns the
// vertex count left (0: none) with the vertices in out[] (room for
// SR_MAX_POLY).
int SrClipPolygon(sr_cvert *out, const sr_cvert *in, int n, const vt_vector4 *planes, vt_uint_32 mask);
// Clips a segment in place; false when nothing is left.
bool SrClipLine(sr_cvert *a, sr_cvert *b, const vt_vector4 *planes, vt_uint_32 mask);

// The lights of a draw, in view space.
struct sr_lit_light {
    vt_token type;
    vt_vector3 colour; // 0..1
    vt_float bright;   // the brightest channel
    vt_vector3 position, direction;
    vt_float c, l, q;
    vt_float outer, inner;
};
struct sr_lighting {
    sr_lit_light light[SR_LIGHTS];
    int n;
    vt_vector3 ambient; // sum of the ambient lights' colours (white when none)
    vt_float ambient_bright;
    bool parallel;
    bool directional; // every light a DIRECT one: lighting needs no position
};
void SrLightingPrepare(sr_lighting *l, const sr_state &s);
// The lit colour of a point p with unit normal n in view space for a
// surface: RGB 0..1 in rgb (base the surface's own colour, 0..1).
void SrLightRGB(vt_float rgb[3], const sr_lighting &l, const sr_surface &surf, const vt_float base[3],
                const vt_vector3 &p, const vt_vector3 &n);
// The intensity (0 up) of the same on an INDEX_8 target.
vt_float SrLightIntensity(const sr_lighting &l, const sr_surface &surf, const vt_vector3 &p, const vt_vector3 &n);

// The geometry formats' drawing of a prepared model.
vt_error SrModelRender(vt_renderer *r, vt_prepared_model *model, vt_renderer_state_stored *default_state,
                       vt_token type);
vt_error SrBucketsRender(vt_renderer *r, vt_primitive **buckets, vt_int_32 n);

// ---- Z-sort ----------------------------------------------------------------

enum : vt_uint_8 { SR_PRIM_POLYGON, SR_PRIM_LINE, SR_PRIM_POINT };

// A primitive in the heap; its n vertices follow it.
struct sr_zprim {
    vt_primitive head;
    const sr_paint *paint;
    sr_flat flat;
    vt_uint_8 kind;
    vt_uint_8 n;
};
inline sr_svert *SrZprimVertices(sr_zprim *z) { return reinterpret_cast<sr_svert *>(z + 1); }

// A copy of paint in the heap (null when it is full).
const sr_paint *SrHeapPaint(vt_primitive_heap *heap, const sr_paint &p);
// Builds a primitive of n vertices in the heap and puts it in its bucket;
// false when the heap is full.
bool SrBucketInsert(const sr_hidden &h, const sr_paint *paint, vt_uint_8 kind, const sr_svert *v, int n,
                    const sr_flat &flat);
