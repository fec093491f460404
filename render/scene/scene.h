// The scene database: models, materials, texture maps and shade tables the
// application fills and the library prepares for the renderer; the actor
// records that place them; the four registries that find them by name; and
// the renderer that the prepared data is made for.
#pragma once

#include "render/fw/fw.h"
#include "render/math/math3d.h"
#include "render/scene/renderer.h"
#include "render/tokens/token.h"

struct vt_pixelmap;
struct vt_actor;
struct vt_model;
struct vt_material;
struct vt_order_table;

// ---- Resource classes of the scene ---------------------------------------

enum : vt_uint_8 {
    VT_RES_VERTICES = 4,
    VT_RES_FACES = 5,
    VT_RES_MODEL = 7,
    VT_RES_MATERIAL = 8,
    VT_RES_MATERIAL_INDEX = 9,
    VT_RES_ACTOR = 10,
    VT_RES_LIGHT = 13,
    VT_RES_CAMERA = 14,
    VT_RES_BOUNDS = 15,
    VT_RES_CLIP_PLANE = 16,
    VT_RES_TRANSFORM = 19,
    VT_RES_ENABLED_ACTORS = 40,
    VT_RES_PREPARED_MODEL = 42, // 32-byte aligned
    VT_RES_ORDER_TABLE = 43,    // 32-byte aligned
};

// ---- Models --------------------------------------------------------------

struct vt_vertex {
    vt_vector3 p;
    vt_vector2 map;
    vt_uint_8 index; // colour of a pre-lit vertex
    vt_uint_8 red, grn, blu;
    vt_uint_16 _reserved;
    vt_vector3 n; // filled by preparation unless the model has custom normals
};

// Hidden edges of a face.
enum : vt_uint_8 {
    VT_FACEF_HIDE_EDGE_0 = 0x1, // corner 0 to 1
    VT_FACEF_HIDE_EDGE_1 = 0x2, // corner 1 to 2
    VT_FACEF_HIDE_EDGE_2 = 0x4, // corner 2 to 0
};

struct vt_face {
    vt_uint_16 vertices[3];
    vt_uint_16 smoothing; // smoothing-group bits; preparation turns 0 into 0xFFFF
    vt_material *material; // null: drawn with the state handed to the render call
    vt_uint_8 index, red, grn, blu;
    vt_uint_8 flags;
    vt_vector3 n; // plane normal and distance, filled by preparation
    vt_scalar d;
};

enum : vt_uint_16 {
    VT_MODF_NO_WELD = 0x0001,          // share prepared vertices only between faces naming the same vertex
    VT_MODF_KEEP_SOURCE = 0x0002,      // either of these two keeps the arrays (sets VT_MODF_UPDATEABLE)
    VT_MODF_KEEP_SOURCE_ALT = 0x0004,
    VT_MODF_DATAFILE = 0x0010,         // kept by datafiles; not tested here
    VT_MODF_CUSTOM = 0x0020,           // drawn by the model's custom render callback
    VT_MODF_PREPREPARED = 0x0040,      // VtModelUpdate does nothing
    VT_MODF_UPDATEABLE = 0x0080,       // the vertex and face arrays survive preparation
    VT_MODF_CREASE = 0x0100,           // smooth by the crease angle as well as the smoothing groups
    VT_MODF_CUSTOM_NORMALS = 0x0200,   // vertex normals are the vertices' n
    VT_MODF_CUSTOM_BOUNDS = 0x0400,    // radius and bounds are the application's
    VT_MODF_STORED_GEOMETRY = 0x0800,  // make a renderer-side copy after preparation
    VT_MODF_UNMATERIALED = 0x8000,     // set by preparation: some face has no material
};

// What VtModelUpdate refreshes. A mask with no bit outside
// VT_MODU_QUICK patches an existing prepared form in place; any other bit
// rebuilds it.
enum : vt_uint_16 {
    VT_MODU_VERTEX_POSITIONS = 0x0001, // positions, normals and face planes
    VT_MODU_VERTEX_COLOURS = 0x0002,
    VT_MODU_VERTEX_MAPPING = 0x0004,
    VT_MODU_VERTEX_NORMALS = 0x0008,   // custom normals
    VT_MODU_FACE_MATERIALS = 0x0010,   // the faces' materials: a rebuild
    VT_MODU_FACE_COLOURS = 0x0020,
    VT_MODU_BOUNDS = 0x0040,
    VT_MODU_GEOMETRY = 0x0080,         // the arrays changed size: a rebuild
    VT_MODU_VERTICES = 0x0100,         // as VT_MODU_VERTEX_POSITIONS
    VT_MODU_QUICK = 0x002F,
    VT_MODU_ALL = 0x7FFF,
};

// Draws a model instead of the renderer when the model has VT_MODF_CUSTOM.
typedef void vt_model_custom_cbfn(vt_actor *actor, vt_model *model, vt_material *material,
                                  vt_order_table *order_table, vt_uint_8 style, vt_token on_screen);

struct vt_model {
    void *_reserved;
    char *identifier;
    vt_vertex *vertices; // resource children of the model
    vt_face *faces;
    vt_uint_16 nvertices;
    vt_uint_16 nfaces;
    vt_vector3 pivot; // subtracted from every position in the prepared form
    vt_uint_16 flags;
    vt_uint_16 _reserved2;
    vt_model_custom_cbfn *custom;
    void *user;
    vt_angle crease_angle;
    vt_scalar radius; // of the farthest vertex from the model origin
    vt_bounds3 bounds;
    vt_prepared_model *prepared;
    vt_geometry_stored *stored;
};

// ---- Materials -----------------------------------------------------------

enum : vt_uint_32 {
    VT_MATF_LIT = 0x00000001,
    VT_MATF_PRELIT = 0x00000002,         // colour from the geometry, no lighting
    VT_MATF_SMOOTH = 0x00000004,
    VT_MATF_ENV_INFINITE = 0x00000008,   // environment map, infinite viewer
    VT_MATF_ENV_LOCAL = 0x00000010,      // environment map, local viewer
    VT_MATF_PERSPECTIVE = 0x00000020,
    VT_MATF_DECAL = 0x00000040,
    VT_MATF_NO_CULL = 0x00000800,
    VT_MATF_TWO_SIDED = 0x00001000,      // wins over VT_MATF_NO_CULL
    VT_MATF_FORCE_FRONT = 0x00002000,
    VT_MATF_DITHER = 0x00004000,
    VT_MATF_MAP_ANTIALIASING = 0x00010000,
    VT_MATF_MAP_INTERPOLATION = 0x00020000,
    VT_MATF_MIP_INTERPOLATION = 0x00040000,
    VT_MATF_FOG = 0x00080000,
    VT_MATF_SUBDIVIDE = 0x00100000,
    VT_MATF_QUAD_MAPPING = 0x00400000,   // wins over the environment maps
    VT_MATF_FORCE_BACK = 0x00800000,
    VT_MATF_NO_DEPTH_WRITE = 0x01000000,
};

// Material mode: depth test in bits 0-2, blending in bits 3-4, map width
// and height limits in bits 5-6 and 7-8.
enum : vt_uint_16 {
    VT_MATM_DEPTH_GREATER = 0,
    VT_MATM_DEPTH_GREATER_OR_EQUAL = 1,
    VT_MATM_DEPTH_EQUAL = 2,
    VT_MATM_DEPTH_NOT_EQUAL = 3,
    VT_MATM_DEPTH_LESS_OR_EQUAL = 4,
    VT_MATM_DEPTH_LESS = 5,
    VT_MATM_DEPTH_NEVER = 6,
    VT_MATM_DEPTH_ALWAYS = 7,
    VT_MATM_DEPTH_MASK = 0x0007,
    VT_MATM_BLEND_STANDARD = 0x0000,
    VT_MATM_BLEND_SUMMED = 0x0008,
    VT_MATM_BLEND_DIMMED = 0x0010,
    VT_MATM_BLEND_PREMULTIPLIED = 0x0018,
    VT_MATM_BLEND_MASK = 0x0018,
    VT_MATM_WIDTH_WRAP = 0x0000,
    VT_MATM_WIDTH_CLAMP = 0x0020,
    VT_MATM_WIDTH_MIRROR = 0x0040,
    VT_MATM_WIDTH_MASK = 0x0060,
    VT_MATM_HEIGHT_WRAP = 0x0000,
    VT_MATM_HEIGHT_CLAMP = 0x0080,
    VT_MATM_HEIGHT_MIRROR = 0x0100,
    VT_MATM_HEIGHT_MASK = 0x0180,
};

// What VtMaterialUpdate translates.
enum : vt_uint_16 {
    VT_MATU_MAP_TRANSFORM = 0x0001,
    VT_MATU_RENDERING = 0x0002, // primitive state and culling
    VT_MATU_LIGHTING = 0x0004,  // surface state
    VT_MATU_COLOURMAP = 0x0008, // maps and tables
    VT_MATU_SCREENDOOR = 0x0010,
    VT_MATU_EXTRA_SURF = 0x0020,
    VT_MATU_EXTRA_PRIM = 0x0040,
    VT_MATU_ALL = 0x7FFF,
};

struct vt_material {
    void *_reserved;
    char *identifier;
    vt_colour colour;
    vt_uint_8 opacity; // 255 opaque
    vt_scalar ka, kd, ks;
    vt_scalar power;
    vt_uint_32 flags;
    vt_matrix23 map_transform;
    vt_uint_16 mode;
    vt_uint_8 index_base; // the part of an indexed palette used for lighting
    vt_uint_8 index_range;
    vt_pixelmap *colour_map;
    vt_pixelmap *screendoor;
    vt_pixelmap *index_shade;
    vt_pixelmap *index_blend;
    vt_pixelmap *index_fog;
    vt_token_value *extra_surf; // pairs set on the SURFACE part (may be null)
    vt_token_value *extra_prim; // pairs set on the PRIMITIVE part (may be null)
    vt_scalar fog_min, fog_max;
    vt_colour fog_colour;
    vt_int_32 subdivide_tolerance;
    void *_reserved2;
    vt_renderer_state_stored *stored;
};

// ---- Actors --------------------------------------------------------------

enum : vt_uint_8 {
    VT_ACTOR_NONE = 0,
    VT_ACTOR_MODEL = 1,
    VT_ACTOR_LIGHT = 2,
    VT_ACTOR_CAMERA = 3,
    _BR_ACTOR_RESERVED = 4,
    VT_ACTOR_BOUNDS = 5,
    VT_ACTOR_BOUNDS_CORRECT = 6,
    VT_ACTOR_CLIP_PLANE = 7,
    VT_ACTOR_MAX = 8,
};

enum : vt_uint_8 {
    VT_RSTYLE_DEFAULT = 0,
    VT_RSTYLE_NONE = 1,
    VT_RSTYLE_POINTS = 2,
    VT_RSTYLE_EDGES = 3,
    VT_RSTYLE_FACES = 4,
    VT_RSTYLE_BOUNDING_POINTS = 5,
    VT_RSTYLE_BOUNDING_EDGES = 6,
    VT_RSTYLE_BOUNDING_FACES = 7,
    VT_RSTYLE_MAX = 8,
};

struct vt_actor {
    vt_actor *next;   // siblings: a simple list whose head is the parent's children
    vt_actor **prev;
    vt_actor *children;
    vt_actor *parent;
    vt_uint_16 depth; // 0 for the root of a tree
    vt_uint_8 type;
    char *identifier;
    vt_model *model;       // null: the parent's
    vt_material *material; // null: the parent's
    vt_uint_8 render_style;
    vt_order_table *render_data; // order table (null: the parent's)
    vt_transform t;
    void *type_data; // vt_light, vt_camera, vt_bounds3 or vt_plane
    void *user;      // two words for the application
    void *user2;
};

enum : vt_uint_8 {
    VT_LIGHT_POINT = 0,
    VT_LIGHT_DIRECT = 1,
    VT_LIGHT_SPOT = 2,
    VT_LIGHT_AMBIENT = 3,
    VT_LIGHT_TYPE = 3, // mask of the kinds above
    VT_LIGHT_VIEW = 4, // defined in view space
};

struct vt_light {
    char *identifier;
    vt_uint_8 type;
    vt_colour colour;
    vt_scalar attenuation_c, attenuation_l, attenuation_q;
    vt_angle cone_outer, cone_inner;
};

enum : vt_uint_8 {
    VT_CAMERA_PARALLEL = 0,
    VT_CAMERA_PERSPECTIVE = 1,
};

struct vt_camera {
    char *identifier;
    vt_uint_8 type;
    vt_angle field_of_view;
    vt_scalar hither_z, yon_z;
    vt_scalar aspect;        // width over height
    vt_scalar width, height; // of a parallel camera's view volume
};

// ---- Records -------------------------------------------------------------

// Counts of 0 allocate no array.
vt_model *VtModelAllocate(const char *name, int nvertices, int nfaces);
void VtModelFree(vt_model *model);
// A copy of the default material, unnamed when name is null.
vt_material *VtMaterialAllocate(const char *name);
void VtMaterialFree(vt_material *material);
// Type data given is kept as it is; otherwise the type's default is made.
vt_actor *VtActorAllocate(vt_uint_8 type, void *type_data);
// Frees the subtree first; disables the actor if it is an enabled light or
// clip plane.
void VtActorFree(vt_actor *actor);

// The actors a scene hands to the renderer: at most 16 lights and 6 clip
// planes (and 6 horizon planes, which no renderer is given). Enabling
// twice keeps one entry.
void VtLightEnable(vt_actor *light);
void VtLightDisable(vt_actor *light);
void VtClipPlaneEnable(vt_actor *plane);
void VtClipPlaneDisable(vt_actor *plane);
void VtHorizonPlaneEnable(vt_actor *plane);
void VtHorizonPlaneDisable(vt_actor *plane);

// ---- Preparation ---------------------------------------------------------

// Prepares (or refreshes) the model's prepared form: VT_MODU_* bits.
void VtModelUpdate(vt_model *model, vt_uint_16 flags);
// Translates the material into renderer state (while a renderer runs):
// VT_MATU_* bits.
void VtMaterialUpdate(vt_material *material, vt_uint_16 flags);
// Makes or refreshes the renderer's buffer of a texture map or a table
// (while a renderer runs); 0x8000 asks for the pixels to be shared.
void VtMapUpdate(vt_pixelmap *map, vt_uint_16 flags);
void VtTableUpdate(vt_pixelmap *table, vt_uint_16 flags);
enum : vt_uint_16 { VT_MAPU_ALL = 0x0FFF, VT_TABLEU_ALL = 0x7FFF, VT_MAPU_SHARED = 0x8000 };

// ---- Registries ----------------------------------------------------------
//
// Adding prepares the item; removing drops its renderer data first. Finds
// take name patterns; a miss calls the registry's find-failed hook, whose
// answer is the find's result.

vt_model *VtModelAdd(vt_model *model);
int VtModelAddMany(vt_model **models, int n);
vt_model *VtModelRemove(vt_model *model);
int VtModelRemoveMany(vt_model **models, int n);
vt_model *VtModelFind(const char *pattern);
typedef vt_model *vt_model_find_cbfn(const char *name);
vt_model_find_cbfn *VtModelFindHook(vt_model_find_cbfn *hook);
int VtModelFindMany(const char *pattern, vt_model **models, int max);
int VtModelCount(const char *pattern);
typedef int vt_model_enum_cbfn(vt_model *model, void *arg);
int VtModelEnum(const char *pattern, vt_model_enum_cbfn *callback, void *arg);

vt_material *VtMaterialAdd(vt_material *material);
int VtMaterialAddMany(vt_material **materials, int n);
vt_material *VtMaterialRemove(vt_material *material);
int VtMaterialRemoveMany(vt_material **materials, int n);
vt_material *VtMaterialFind(const char *pattern);
typedef vt_material *vt_material_find_cbfn(const char *name);
vt_material_find_cbfn *VtMaterialFindHook(vt_material_find_cbfn *hook);
int VtMaterialFindMany(const char *pattern, vt_material **materials, int max);
int VtMaterialCount(const char *pattern);
typedef int vt_material_enum_cbfn(vt_material *material, void *arg);
int VtMaterialEnum(const char *pattern, vt_material_enum_cbfn *callback, void *arg);

vt_pixelmap *VtMapAdd(vt_pixelmap *map);
int VtMapAddMany(vt_pixelmap **maps, int n);
vt_pixelmap *VtMapRemove(vt_pixelmap *map);
int VtMapRemoveMany(vt_pixelmap **maps, int n);
vt_pixelmap *VtMapFind(const char *pattern);
typedef vt_pixelmap *vt_map_find_cbfn(const char *name);
vt_map_find_cbfn *VtMapFindHook(vt_map_find_cbfn *hook);
int VtMapFindMany(const char *pattern, vt_pixelmap **maps, int max);
int VtMapCount(const char *pattern);
typedef int vt_map_enum_cbfn(vt_pixelmap *map, void *arg);
int VtMapEnum(const char *pattern, vt_map_enum_cbfn *callback, void *arg);

vt_pixelmap *VtTableAdd(vt_pixelmap *table);
int VtTableAddMany(vt_pixelmap **tables, int n);
vt_pixelmap *VtTableRemove(vt_pixelmap *table);
int VtTableRemoveMany(vt_pixelmap **tables, int n);
vt_pixelmap *VtTableFind(const char *pattern);
typedef vt_pixelmap *vt_table_find_cbfn(const char *name);
vt_table_find_cbfn *VtTableFindHook(vt_table_find_cbfn *hook);
int VtTableFindMany(const char *pattern, vt_pixelmap **tables, int max);
int VtTableCount(const char *pattern);
typedef int vt_table_enum_cbfn(vt_pixelmap *table, void *arg);
int VtTableEnum(const char *pattern, vt_table_enum_cbfn *callback, void *arg);

// ---- Texture mapping -----------------------------------------------------

enum {
    VT_APPLYMAP_PLANE = 0,
    VT_APPLYMAP_SPHERE = 1,
    VT_APPLYMAP_CYLINDER = 2,
    VT_APPLYMAP_DISC = 3,
    VT_APPLYMAP_NONE = 4,
};

// Sets every vertex's texture coordinates from its position carried
// through the matrix (identity when null).
void VtModelApplyMap(vt_model *model, int map_type, const vt_matrix34 *xform);

enum { VT_FITMAP_PLUS_X, VT_FITMAP_PLUS_Y, VT_FITMAP_PLUS_Z, VT_FITMAP_MINUS_X, VT_FITMAP_MINUS_Y, VT_FITMAP_MINUS_Z };

// The matrix that maps the model's bounds onto -1 to 1 along the two axes
// (planar mapping's range); returns transform.
vt_matrix34 *VtModelFitMap(vt_model *model, int axis_0, int axis_1, vt_matrix34 *transform);

// ---- The scene database and the renderer ---------------------------------

// Makes the registries, the default model ("default_model", a cube) and
// the default material ("default_mat"). VT_E_ALREADY_ACTIVE when begun.
vt_error VtSceneDbBegin();
// Ends any renderer, frees every scene record allocated under the scene's
// resource root and clears the state. VT_E_NOT_ACTIVE when not begun.
vt_error VtSceneDbEnd();
// VtBegin then VtSceneDbBegin; VtSceneDbEnd then VtEnd.
vt_error VtBeginAll();
vt_error VtEndAll();
// The scene's resource root (null while not begun).
void *VtSceneDbRoot();
vt_model *VtDefaultModel();
vt_material *VtDefaultMaterial();

// Starts a renderer on the destination pixelmap: the facility given (or
// the one found for the destination) makes it, then every registered
// table, map, material and model is prepared for it. The heap is what
// z-sort primitives are built in.
vt_error VtRendererBegin(vt_pixelmap *destination, vt_renderer_facility *facility, vt_object *primitive_library,
                         void *primitive_heap, vt_size heap_size);
// Drops every registered item's renderer data and frees the renderer.
vt_error VtRendererEnd();
// The running renderer, or null.
vt_renderer *VtRendererQuery();
