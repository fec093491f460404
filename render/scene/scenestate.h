// The scene database's state record, shared by the scene's own modules.
#pragma once

#include "render/fw/registry.h"
#include "render/front/front.h"
#include "render/scene/scene.h"

// Actors handed to the renderer each scene: the enabled lights, clip
// planes and horizon planes.
struct vt_enable_table {
    vt_int_32 max;
    vt_int_32 count;
    vt_uint_8 type; // the actor type kept
    const char *name;
    vt_actor **enabled; // max slots, made at the first enable
};

enum { VT_ENABLE_LIGHTS, VT_ENABLE_CLIP_PLANES, VT_ENABLE_HORIZON_PLANES, VT_ENABLE_TABLES };

// The actor type of horizon planes.
constexpr vt_uint_8 VT_ACTOR_HORIZON_PLANE = 8;

// One step of the walk from the camera up to the world.
struct vt_camera_walk_entry {
    vt_matrix34 m; // camera to this actor's level
    vt_actor *actor;
    vt_uint_16 type; // class of m
};

enum { VT_CAMERA_WALK_DEPTH = 16, VT_ZS_DEFAULT_BUCKETS = 256 };

enum { VT_RENDERING_NONE = 0, VT_RENDERING_ZB = 1, VT_RENDERING_ZS = 2 };

struct vt_scene_state {
    vt_boolean active;
    vt_boolean zb_active; // a front end has started the renderer
    vt_boolean zs_active;
    vt_renderer *renderer;
    vt_geometry *format_model;   // GEOMETRY_V1_MODEL
    vt_geometry *format_buckets; // GEOMETRY_V1_BUCKETS, may be null
    vt_geometry *format_lighting;
    vt_registry reg_models;
    vt_registry reg_materials;
    vt_registry reg_textures;
    vt_registry reg_tables;
    void *res;
    vt_model *default_model;
    vt_material *default_material;
    vt_enable_table enables[VT_ENABLE_TABLES];

    // The front ends.
    vt_order_table *default_order_table;
    vt_order_table *current_order_table;
    vt_order_table *primary_order_table;
    vt_order_table *order_table_list; // visited this frame, in decreasing sort z
    vt_primitive_heap heap; // the z-sort primitive heap
    vt_primitive_insert_cbfn *insert_cb;
    vt_renderbounds_cbfn *renderbounds_cb;
    // Viewport: screen x = x / w * xscale + xoffset, and likewise y.
    vt_scalar origin_x, origin_y; // the colour pixelmap's origin, in -1 to 1
    vt_scalar xoffset, yoffset, xscale, yscale;
    vt_pixelmap *colour_buffer;
    vt_actor *world;
    int rendering;
    vt_matrix34 world_to_view;
    vt_uint_16 world_to_view_type;
    vt_matrix4 model_to_screen;
    vt_boolean model_to_screen_valid;
    vt_camera_walk_entry camera_walk[VT_CAMERA_WALK_DEPTH];
    vt_int_32 nlights_last;
    vt_int_32 nclips_last;
    vt_actor *environment;
    vt_model *bounds_model; // the box drawn by the bounding render styles
};

extern vt_scene_state vtScene;

// Removes an actor from the enable table of its type.
void SceneActorDisable(vt_actor *actor);
void SceneEnableTablesInit();

vt_model *SceneDefaultModelMake();
// A cube of side 2 about the origin (two triangles a side, diagonals
// hidden, one smoothing group), named as given.
vt_model *SceneCubeMake(const char *name);
// Makes the default order table current (renderer set-up) and forgets the
// order tables (renderer end).
void SceneOrderTablesReset();
void SceneOrderTablesClear();
// A model about to be rendered into a table; the default table at the
// start of a z-sort scene, over the camera's range.
void SceneOrderTableVisit(vt_order_table *ot, const vt_model *model);
void SceneOrderTableStart(vt_scalar hither, vt_scalar yon);
// Renders the frame's order tables (scene end).
void SceneOrderTablesFlush();
// The style drawing of VtModelRender.
void SceneModelDraw(vt_model *model, vt_material *material, vt_uint_8 style, vt_token on_screen);
vt_material *SceneDefaultMaterialMake();

// Drops a record's renderer data (what removing it from its registry does).
void SceneModelDrop(vt_model *model);
void SceneMaterialDrop(vt_material *material);
void ScenePixelmapDrop(vt_pixelmap *pm);
// Makes a renderer for a destination (the facility given, or the one found
// for it) and prepares everything registered for it. VT_E_UNSUPPORTED when
// no facility is found, VT_E_FAIL when it makes no renderer.
vt_error SceneRendererMake(vt_pixelmap *destination, vt_renderer_facility *facility, vt_object *primitive_library);
// Asks the renderer for a part value too large for a pair (a matrix or a
// vector) and copies it to out.
vt_error ScenePartQueryInto(vt_token part, vt_token t, void *out, vt_size size);
// Drops every registered item's renderer data and frees the renderer.
void SceneRendererRelease();
// Forgets the registries' find-failed hooks.
void SceneFindHooksClear();
