// The scene database's state record, shared by the scene's own modules.
#pragma once

#include "render/fw/registry.h"
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
    void *heap_base; // the z-sort primitive heap
    vt_size heap_size;
    vt_enable_table enables[VT_ENABLE_TABLES];
};

extern vt_scene_state vtScene;

// Removes an actor from the enable table of its type.
void SceneActorDisable(vt_actor *actor);
void SceneEnableTablesInit();

vt_model *SceneDefaultModelMake();
vt_material *SceneDefaultMaterialMake();

// Drops a record's renderer data (what removing it from its registry does).
void SceneModelDrop(vt_model *model);
void SceneMaterialDrop(vt_material *material);
void ScenePixelmapDrop(vt_pixelmap *pm);
// Drops every registered item's renderer data and frees the renderer.
void SceneRendererRelease();
// Forgets the registries' find-failed hooks.
void SceneFindHooksClear();
