// The renderer interface: what the scene library hands a renderer driver
// and what it calls on it. The library draws nothing itself; a renderer
// (an object made by a renderer facility found among the devices) keeps the
// drawing state, and geometry-format objects draw prepared models and
// z-sort buckets. Library and drivers share this header.
//
// State is addressed as parts named by tokens, each holding token-value
// properties (see the part table below). Matrices travel by pointer in the
// pair value (vt_matrix34 *, vt_matrix4 *, vt_matrix23 *, vt_vector3 *,
// vt_vector4 *, vt_vector2 *); objects (pixelmaps, stored buffers) as
// pointers; booleans, integers and tokens in the low 32 bits; _F values as
// floats. A driver refuses a token it does not know one token at a time
// (VT_E_UNKNOWN for that pair) without failing the rest of a list, and
// keeps the tokens it does not act on, so applications may set any of them.
#pragma once

#include "render/math/math3d.h"
#include "render/tokens/object.h"

struct vt_pixelmap;

// ---- Parts ---------------------------------------------------------------
//
// part            index  set by the library                       queried
// OUTPUT          0      COLOUR_BUFFER_O, DEPTH_BUFFER_O (pixelmaps)
// MATRIX          0      VIEW_TO_SCREEN_M4_F, VIEW_TO_SCREEN_HINT_T   MODEL_TO_VIEW_M34_F
//                        (PERSPECTIVE, PARALLEL), HITHER_Z_F,         VIEW_TO_SCREEN_M4_F
//                        YON_Z_F, MODEL_TO_VIEW_M34_F,
//                        MODEL_TO_VIEW_HINT_T (LENGTH_PRESERVING,
//                        NONE), VIEW_TO_ENVIRONMENT_M34_F,
//                        VIEW_TO_ENVIRONMENT_HINT_T (+ DONT_CARE)
// HIDDEN_SURFACE  0      TYPE_T (NONE, BUCKET_SORT), DIVERT_T (NONE,
//                        ALL), V1ORDER_TABLE_P, V1PRIMITIVE_HEAP_P,
//                        V1INSERT_FUNCTION_P, V1INSERT_ARG1_P..ARG3_P
// LIGHT           0..15  COLOUR_RGB, ATTENUATION_C_F, _L_F, _Q_F,
//                        SPACE_T (VIEW, MODEL), TYPE_T (NONE, POINT,
//                        DIRECT, SPOT, AMBIENT), POSITION_V3_F,
//                        DIRECTION_V3_F, SPOT_OUTER_F, SPOT_INNER_F
//                        (cosines of the cone angles)
// CLIP            0..5   TYPE_T (NONE, PLANE), PLANE_V4_F (screen space)
// ENABLE          0      BOUNDS_B
// BOUNDS          0      (reset with state mask VT_STATE_BOUNDS)      MIN_V2_F, MAX_V2_F: the
//                                                                     screen rectangle of what
//                                                                     was drawn since, in pixels
//                                                                     of the colour pixelmap
// PRIMITIVE       0      the material state (VtMaterialUpdate):
//                        COLOUR_RGB, OPACITY_F, MODULATE_B, BLEND_B,
//                        SMOOTH_B, DEPTH_WRITE_B, PERSPECTIVE_B or
//                        PERSPECTIVE_T SUBDIVIDE with
//                        SUBDIVIDE_TOLERANCE_I32, DECAL_B,
//                        DITHER_MAP_B, DITHER_COLOUR_B,
//                        INDEX_BASE_I32, INDEX_RANGE_I32,
//                        MAP_ANTIALIASING_T, MAP_INTERPOLATION_T,
//                        MIP_INTERPOLATION_T (NONE, LINEAR),
//                        DEPTH_TEST_T (GREATER .. ALWAYS),
//                        BLEND_MODE_T (BLEND_STANDARD, _SUMMED,
//                        _DIMMED, _PREMULTIPLIED), MAP_WIDTH_LIMIT_T,
//                        MAP_HEIGHT_LIMIT_T (WRAP, CLAMP, MIRROR),
//                        FOG_B, FOG_T (NONE, LINEAR), FOG_MIN_F,
//                        FOG_MAX_F, FOG_RGB, FOG_SCALE_U8,
//                        COLOUR_MAP_O, INDEX_SHADE_O, INDEX_BLEND_O,
//                        INDEX_FOG_O, SCREEN_DOOR_O (stored buffers
//                        or null), and any extra pairs of the material
// SURFACE         0      COLOUR_RGB, OPACITY_F, AMBIENT_F, DIFFUSE_F,
//                        SPECULAR_F, SPECULAR_POWER_F, LIGHTING_B,
//                        FORCE_FRONT_B, FORCE_BACK_B,
//                        COLOUR_SOURCE_T (GEOMETRY, SURFACE),
//                        MAPPING_SOURCE_T (GEOMETRY_MAP,
//                        ENVIRONMENT_LOCAL, ENVIRONMENT_INFINITE,
//                        QUAD), MAP_MATRIX_M23_F
// CULL            0      TYPE_T (ONE_SIDED, NONE, TWO_SIDED)
//
// Screen space: x and y from -1 to 1 after the divide by w; the library
// maps them to pixels as x * (width / 2) + width / 2 + 0.5 and
// -y * (height / 2) + height / 2 + 0.5, and z to a screen depth of
// z / w * -32767 (the near plane -32767, the far plane 32767).

// ---- State masks ---------------------------------------------------------
//
// Which parts a push, pop, save, restore or reset touches.
enum : vt_uint_32 {
    VT_STATE_SURFACE = 0x00000001,
    VT_STATE_MATRIX = 0x00000002,
    VT_STATE_ENABLE = 0x00000004,
    VT_STATE_CLIP = 0x00000008,
    VT_STATE_LIGHT = 0x00000010,
    VT_STATE_BOUNDS = 0x00000020,
    VT_STATE_CULL = 0x00000040,
    VT_STATE_HIDDEN_SURFACE = 0x00000080,
    VT_STATE_OUTPUT = 0x00000100,
    VT_STATE_PRIMITIVE = 0x80000000,
    // What a material's stored state keeps.
    VT_STATE_MATERIAL = VT_STATE_PRIMITIVE | VT_STATE_CULL | VT_STATE_SURFACE,
};

// ---- Objects -------------------------------------------------------------

struct vt_renderer;
struct vt_renderer_facility;
struct vt_renderer_state_stored;
struct vt_buffer_stored;
struct vt_geometry;
struct vt_geometry_stored;
struct vt_prepared_model;
struct vt_primitive;

// A renderer facility (type RENDERER_FACILITY) makes renderers. The pairs
// may hold DESTINATION_O (the pixelmap rendered into first; absent when
// none is known yet: the buffers arrive per scene through the OUTPUT part)
// and PRIMITIVE_LIBRARY_O.
struct vt_renderer_facility_dispatch {
    vt_object_dispatch object;
    vt_error (*rendererNew)(vt_renderer_facility *self, vt_renderer **prenderer, vt_token_value *tv);
};
struct vt_renderer_facility {
    const vt_renderer_facility_dispatch *dispatch;
};

// A renderer (type RENDERER). Its operations, after the base object ones:
struct vt_renderer_dispatch {
    vt_object_dispatch object;
    // A stored state holding the current state of the parts in mask.
    vt_error (*stateStoredNew)(vt_renderer *self, vt_renderer_state_stored **pss, vt_uint_32 mask,
                               vt_token_value *tv);
    // A stored buffer for a pixelmap used as `use` (COLOUR_MAP_O for
    // texture maps, UNKNOWN for shade and blend tables). With CAN_SHARE_B
    // the buffer should refer to the pixelmap's own pixels, since
    // applications edit textures in place and then update them.
    vt_error (*bufferStoredNew)(vt_renderer *self, vt_buffer_stored **psm, vt_token use, vt_pixelmap *pm,
                                vt_token_value *tv);
    vt_error (*partSet)(vt_renderer *self, vt_token part, vt_int_32 index, vt_token t, vt_value value);
    // Sets each pair of the list; *pcount (may be null) is how many took.
    vt_error (*partSetMany)(vt_renderer *self, vt_token part, vt_int_32 index, vt_token_value *tv,
                            vt_int_32 *pcount);
    // Values too large for a pair (matrices, vectors) are written into the
    // buffer and the pair value points there.
    vt_error (*partQuery)(vt_renderer *self, vt_token part, vt_int_32 index, vt_value *pvalue, void *buffer,
                          vt_size buffer_size, vt_token t);
    vt_error (*partQueryMany)(vt_renderer *self, vt_token part, vt_int_32 index, void *buffer, vt_token_value *tv,
                              vt_size buffer_size, vt_int_32 *pcount);
    // model-to-view = m model-to-view (m applies first).
    vt_error (*modelMul)(vt_renderer *self, const vt_matrix34 *m);
    // model-to-view = its inverse (by its MODEL_TO_VIEW_HINT_T).
    vt_error (*modelInvert)(vt_renderer *self);
    // Pushes and pops must nest: a scene pushes the matrix around each
    // actor level and a material update pushes its parts inside a scene.
    vt_error (*statePush)(vt_renderer *self, vt_uint_32 mask);
    vt_error (*statePop)(vt_renderer *self, vt_uint_32 mask);
    vt_error (*stateSave)(vt_renderer *self, vt_renderer_state_stored *save, vt_uint_32 mask);
    vt_error (*stateRestore)(vt_renderer *self, vt_renderer_state_stored *save, vt_uint_32 mask);
    vt_error (*stateDefault)(vt_renderer *self, vt_uint_32 mask);
    // Whether a model-space box is wholly on screen (ACCEPT), partly
    // (PARTIAL) or not at all (REJECT) under the current matrices.
    vt_error (*boundsTest)(vt_renderer *self, vt_token *presult, const vt_bounds3 *bounds);
    vt_error (*frameEnd)(vt_renderer *self, vt_int_32 reserved);
};
struct vt_renderer {
    const vt_renderer_dispatch *dispatch;
};

// Stored state (type RENDERER_STATE_STORED): only the base operations; free
// through the object's free.
struct vt_renderer_state_stored {
    const vt_object_dispatch *dispatch;
};

// Stored buffer (type BUFFER_STORED) of a pixelmap.
struct vt_buffer_stored_dispatch {
    vt_object_dispatch object;
    // Takes the pixelmap's pixels again (pairs PREFER_SHARE_B, CAN_SHARE_B).
    vt_error (*update)(vt_buffer_stored *self, vt_pixelmap *pm, vt_token_value *tv);
};
struct vt_buffer_stored {
    const vt_buffer_stored_dispatch *dispatch;
};

// Geometry formats, found by type GEOMETRY_V1_MODEL (required),
// GEOMETRY_V1_BUCKETS (z-sort; may be missing) and GEOMETRY_LIGHTING
// (required to exist; the library calls nothing on it).
//
// V1 model: draws a prepared model with the given primitive type
// (TRIANGLE, LINE from the edge numbers, each non-zero edge once, or POINT
// at the prepared vertices). A group with a null stored state is drawn
// with default_state. renderOnScreen may skip clipping: the model's bounds
// tested ACCEPT.
struct vt_geometry_v1_model_dispatch {
    vt_object_dispatch object;
    vt_error (*render)(vt_geometry *self, vt_renderer *renderer, vt_prepared_model *model,
                       vt_renderer_state_stored *default_state, vt_token type);
    vt_error (*renderOnScreen)(vt_geometry *self, vt_renderer *renderer, vt_prepared_model *model,
                               vt_renderer_state_stored *default_state, vt_token type);
    // A renderer-side copy of a prepared model (pairs: CAN_SHARE_B). Its
    // SHARED_B answers whether it still refers to the prepared model.
    vt_error (*storedNew)(vt_geometry *self, vt_renderer *renderer, vt_geometry_stored **psg,
                          vt_prepared_model *model, vt_token type, vt_token_value *tv);
};
// V1 buckets: draws an order table's buckets from the last (farthest) to
// the first, each bucket's primitives in list order.
struct vt_geometry_v1_buckets_dispatch {
    vt_object_dispatch object;
    vt_error (*render)(vt_geometry *self, vt_renderer *renderer, vt_primitive **buckets, vt_int_32 nbuckets);
};
struct vt_geometry {
    const vt_object_dispatch *dispatch; // one of the tables above, by type
};

struct vt_geometry_stored_dispatch {
    vt_object_dispatch object;
    vt_error (*render)(vt_geometry_stored *self, vt_renderer *renderer);
    vt_error (*renderOnScreen)(vt_geometry_stored *self, vt_renderer *renderer);
};
struct vt_geometry_stored {
    const vt_geometry_stored_dispatch *dispatch;
};

// Frees any of the objects above through its own free operation.
inline void VtObjectFree(void *object) {
    if (object) {
        auto *o = static_cast<vt_object *>(object);
        o->dispatch->free(o);
    }
}

// ---- Prepared models -----------------------------------------------------
//
// What VtModelUpdate makes of a model's vertex and face arrays: faces
// grouped by material, vertices welded where faces may share them (split
// where smoothing, texture coordinates or position differ), unit vertex
// normals, face planes and numbered edges. One resource block holds it
// all: a 32-byte header, then the groups, faces, vertices, vertex colours,
// face colours and face flags (each starting on a 32-byte boundary), then
// the vertex and face source numbers.

// Colours pack a vertex's or face's bytes as index << 24, red << 16,
// green << 8, blue.
inline vt_uint_32 VtPackColour(vt_uint_8 index, vt_uint_8 red, vt_uint_8 green, vt_uint_8 blue) {
    return vt_uint_32(index) << 24 | vt_uint_32(red) << 16 | vt_uint_32(green) << 8 | blue;
}

struct vt_prepared_vertex {
    vt_vector3 p;   // the source position minus the model's pivot
    vt_vector2 map; // texture coordinates
    vt_vector3 n;   // unit normal
};

struct vt_prepared_face {
    vt_uint_16 vertices[3]; // relative to the group's first vertex
    vt_uint_16 edges[3];    // edge numbers (0 a hidden edge): 0 from corner 0 to 1, 1 from 1 to 2, 2 from 2 to 0
    vt_vector4 eqn;         // unit normal and distance, in the prepared vertices' space
};

// One per material, in the order of the material pointers (no material
// first).
struct vt_prepared_group {
    vt_renderer_state_stored *stored; // the material's stored state; null: the state handed to the render call
    vt_prepared_face *faces;
    vt_uint_32 *face_colours;
    vt_uint_16 *face_user;            // face source numbers: indices into the model's face array
    vt_uint_8 *face_flags;            // the faces' hidden-edge flags
    vt_prepared_vertex *vertices;
    vt_uint_32 *vertex_colours;
    vt_uint_16 *vertex_user;          // vertex source numbers
    vt_uint_16 nfaces;
    vt_uint_16 nvertices;
    vt_uint_16 nedges;                // the highest edge number plus 1
};

struct vt_prepared_model {
    vt_uint_32 size; // bytes of the whole block
    vt_uint_16 ngroups;
    vt_prepared_group *groups;
};

// Bytes before the first group.
constexpr vt_size VT_PREPARED_HEADER = 32;
static_assert(sizeof(vt_prepared_model) <= VT_PREPARED_HEADER, "prepared model header");

// ---- Z-sort: order tables, buckets and the primitive heap ---------------
//
// In a z-sort scene the renderer does not draw at once: with HIDDEN_SURFACE
// TYPE_T BUCKET_SORT and DIVERT_T ALL it builds each primitive (with
// whatever state it needs to draw it later) in the primitive heap and
// links it into a bucket of the current order table (V1ORDER_TABLE_P). At
// the end of the scene the library hands each table's buckets to the V1
// buckets format. Depths here are distances in front of the camera (the
// negated view-space z), the space of an order table's minimum and maximum.

// The head of every primitive a driver builds; the rest is the driver's.
struct vt_primitive {
    vt_primitive *next;
};

// Where primitives are built: restarted (current = base) each scene.
struct vt_primitive_heap {
    vt_uint_8 *base;
    vt_size size;
    vt_uint_8 *current;
};

// Order table flags: where its z range comes from and which z sorts it
// among the tables of a frame.
enum : vt_uint_32 {
    VT_ORDER_TABLE_RANGE_EACH = 0x01,  // from every model rendered into it
    VT_ORDER_TABLE_RANGE_FIRST = 0x02, // from the first model of the frame
    VT_ORDER_TABLE_SORT_NEAR = 0x08,   // sort z = minimum z
    VT_ORDER_TABLE_SORT_FAR = 0x10,    // sort z = maximum z
    VT_ORDER_TABLE_SORT_CENTRE = 0x20, // sort z = middle of the range
};

// Which depth of a primitive picks its bucket (points always use theirs).
enum : vt_uint_16 {
    VT_ORDER_TABLE_AVERAGE = 1,
    VT_ORDER_TABLE_MINIMUM = 2,
    VT_ORDER_TABLE_MAXIMUM = 3,
    VT_ORDER_TABLE_FIRST_VERTEX = 4, // any other value too
};

struct vt_order_table {
    vt_primitive **table; // bucket heads (a resource child of the table)
    vt_uint_16 size;      // buckets
    vt_order_table *next; // in the frame's list
    vt_scalar min_z, max_z;
    vt_scalar sort_z;
    vt_scalar scale; // buckets per unit of depth
    vt_uint_32 flags;
    vt_uint_16 type;
    vt_uint_16 visits; // models rendered into it this frame
};

// The depth of a primitive of n vertices (1 to 3) by the table's type.
inline vt_scalar VtOrderTablePrimitiveZ(const vt_order_table *ot, const vt_scalar *z, int n) {
    if (n <= 1)
        return z[0];
    vt_scalar lo = z[0], hi = z[0], sum = z[0];
    for (int i = 1; i < n; i++) {
        lo = z[i] < lo ? z[i] : lo;
        hi = z[i] > hi ? z[i] : hi;
        sum += z[i];
    }
    switch (ot->type) {
    case VT_ORDER_TABLE_AVERAGE:
        return sum / vt_scalar(n);
    case VT_ORDER_TABLE_MINIMUM:
        return lo;
    case VT_ORDER_TABLE_MAXIMUM:
        return hi;
    default:
        return z[0];
    }
}

// The bucket of a depth: the whole part of scale times the depth past the
// table's minimum (0 below it), at most the last bucket.
inline int VtOrderTableBucket(const vt_order_table *ot, vt_scalar z) {
    if (ot->size == 0)
        return 0;
    double d = double(ot->scale) * (double(z) - ot->min_z);
    if (!(d > 0))
        return 0;
    if (d >= ot->size - 1)
        return ot->size - 1;
    return int(d);
}

// Called by a z-sort renderer for each primitive it inserts, with the three
// V1INSERT_ARG pairs (the library sets the actor, model and material).
typedef void vt_primitive_insert_cbfn(vt_primitive *primitive, void *arg1, void *arg2, void *arg3,
                                      vt_order_table *order_table, vt_scalar z);
