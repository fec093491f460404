// The scene database's begin and end, and the renderer the prepared data
// is made for.
#include <cstring>

#include "render/dev/device.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scenestate.h"

vt_scene_state vtScene;

namespace {

vt_resource_class sceneClasses[] = {
    {nullptr, "VERTICES", VT_RES_VERTICES, nullptr, 0},
    {nullptr, "FACES", VT_RES_FACES, nullptr, 0},
    {nullptr, "MODEL", VT_RES_MODEL, nullptr, 0},
    {nullptr, "MATERIAL", VT_RES_MATERIAL, nullptr, 0},
    {nullptr, "MATERIAL_INDEX", VT_RES_MATERIAL_INDEX, nullptr, 0},
    {nullptr, "ACTOR", VT_RES_ACTOR, nullptr, 0},
    {nullptr, "LIGHT", VT_RES_LIGHT, nullptr, 0},
    {nullptr, "CAMERA", VT_RES_CAMERA, nullptr, 0},
    {nullptr, "BOUNDS", VT_RES_BOUNDS, nullptr, 0},
    {nullptr, "CLIP_PLANE", VT_RES_CLIP_PLANE, nullptr, 0},
    {nullptr, "TRANSFORM", VT_RES_TRANSFORM, nullptr, 0},
    {nullptr, "ENABLED_ACTORS", VT_RES_ENABLED_ACTORS, nullptr, 0},
    {nullptr, "PREPARED_MODEL", VT_RES_PREPARED_MODEL, nullptr, 32},
    {nullptr, "ORDER_TABLE", VT_RES_ORDER_TABLE, nullptr, 32},
};

int updateTable(vt_pixelmap *pm, void *) {
    VtTableUpdate(pm, VT_TABLEU_ALL);
    return 0;
}
int updateMap(vt_pixelmap *pm, void *) {
    VtMapUpdate(pm, VT_MAPU_ALL);
    return 0;
}
int updateMaterial(vt_material *m, void *) {
    VtMaterialUpdate(m, VT_MATU_ALL);
    return 0;
}
int updateModel(vt_model *m, void *) {
    VtModelUpdate(m, VT_MODU_ALL);
    return 0;
}
int dropPixelmap(vt_pixelmap *pm, void *) {
    ScenePixelmapDrop(pm);
    return 0;
}
int dropMaterial(vt_material *m, void *) {
    SceneMaterialDrop(m);
    return 0;
}
int dropModel(vt_model *m, void *) {
    SceneModelDrop(m);
    return 0;
}

// Finds the geometry formats and prepares everything registered for a
// renderer that has just been made.
vt_error setUp(vt_renderer *r, vt_pixelmap *destination) {
    vtScene.renderer = r;
    vt_object *gf = nullptr;
    vt_error e = VtGeometryFormatFind(&gf, reinterpret_cast<vt_object *>(r), destination, VTT_FLOAT,
                                      VTT_GEOMETRY_V1_MODEL);
    if (e != VT_E_OK) {
        vtScene.renderer = nullptr;
        return e;
    }
    vtScene.format_model = reinterpret_cast<vt_geometry *>(gf);
    gf = nullptr;
    if (VtGeometryFormatFind(&gf, reinterpret_cast<vt_object *>(r), destination, VTT_FLOAT,
                             VTT_GEOMETRY_V1_BUCKETS) != VT_E_OK)
        gf = nullptr;
    vtScene.format_buckets = reinterpret_cast<vt_geometry *>(gf);
    e = VtGeometryFormatFind(&gf, reinterpret_cast<vt_object *>(r), destination, VTT_FLOAT, VTT_GEOMETRY_LIGHTING);
    if (e != VT_E_OK) {
        vtScene.renderer = nullptr;
        vtScene.format_model = vtScene.format_buckets = nullptr;
        return e;
    }
    vtScene.format_lighting = reinterpret_cast<vt_geometry *>(gf);

    if (vtScene.default_model)
        VtModelUpdate(vtScene.default_model, VT_MODU_ALL);
    if (vtScene.default_material)
        VtMaterialUpdate(vtScene.default_material, VT_MATU_ALL);
    SceneOrderTablesReset();
    if (vtScene.renderbounds_cb)
        r->dispatch->partSet(r, VTT_ENABLE, 0, VTT_BOUNDS_B, VtValueU32(1));
    VtTableEnum(nullptr, updateTable, nullptr);
    VtMapEnum(nullptr, updateMap, nullptr);
    VtMaterialEnum(nullptr, updateMaterial, nullptr);
    VtModelEnum(nullptr, updateModel, nullptr);
    return VT_E_OK;
}

} // namespace

void SceneModelDrop(vt_model *model) {
    if (model->prepared)
        VtResFree(model->prepared);
    model->prepared = nullptr;
    VtObjectFree(model->stored);
    model->stored = nullptr;
}

void SceneMaterialDrop(vt_material *material) {
    VtObjectFree(material->stored);
    material->stored = nullptr;
}

void ScenePixelmapDrop(vt_pixelmap *pm) {
    VtObjectFree(pm->stored);
    pm->stored = nullptr;
}

vt_error VtSceneDbBegin() {
    if (vtScene.active)
        return VT_E_ALREADY_ACTIVE;
    if (VtFrameworkRoot() == nullptr)
        return VT_E_NOT_ACTIVE;
    memset(&vtScene, 0, sizeof vtScene);
    for (vt_resource_class &rc : sceneClasses)
        VtResClassAdd(&rc);
    vtScene.res = VtResAllocate(VtFrameworkRoot(), 0, VT_RES_ANCHOR);
    if (vtScene.res == nullptr)
        return VT_E_NO_MEMORY;
    vtScene.active = 1;
    VtRegistryNew(&vtScene.reg_models);
    VtRegistryNew(&vtScene.reg_materials);
    VtRegistryNew(&vtScene.reg_textures);
    VtRegistryNew(&vtScene.reg_tables);
    SceneFindHooksClear();
    SceneEnableTablesInit();
    vtScene.default_model = SceneDefaultModelMake();
    vtScene.default_material = SceneDefaultMaterialMake();
    return VT_E_OK;
}

vt_error VtSceneDbEnd() {
    if (!vtScene.active)
        return VT_E_NOT_ACTIVE;
    if (vtScene.renderer)
        VtRendererEnd();
    VtRegistryClear(&vtScene.reg_models);
    VtRegistryClear(&vtScene.reg_materials);
    VtRegistryClear(&vtScene.reg_textures);
    VtRegistryClear(&vtScene.reg_tables);
    VtResFree(vtScene.res);
    for (vt_resource_class &rc : sceneClasses)
        VtResClassRemove(&rc);
    memset(&vtScene, 0, sizeof vtScene);
    return VT_E_OK;
}

vt_error VtBeginAll() {
    if (vt_error e = VtBegin())
        return e;
    return VtSceneDbBegin();
}

vt_error VtEndAll() {
    VtSceneDbEnd();
    return VtEnd();
}

void *VtSceneDbRoot() { return vtScene.res; }
vt_model *VtDefaultModel() { return vtScene.default_model; }
vt_material *VtDefaultMaterial() { return vtScene.default_material; }
vt_renderer *VtRendererQuery() { return vtScene.renderer; }

vt_error ScenePartQueryInto(vt_token part, vt_token t, void *out, vt_size size) {
    vt_renderer *r = vtScene.renderer;
    if (r == nullptr)
        return VT_E_FAIL;
    vt_value v;
    v.raw = 0;
    vt_error e = r->dispatch->partQuery(r, part, 0, &v, out, size, t);
    // The renderer may answer with a value of its own instead of the buffer.
    if (e == VT_E_OK && v.p && v.p != out)
        memcpy(out, v.p, size);
    return e;
}

vt_error SceneRendererMake(vt_pixelmap *destination, vt_renderer_facility *facility, vt_object *primitive_library) {
    if (facility == nullptr) {
        vt_object *f = nullptr;
        if (VtRendererFacilityFind(&f, destination, VTT_FLOAT) != VT_E_OK || f == nullptr)
            return VT_E_UNSUPPORTED;
        facility = reinterpret_cast<vt_renderer_facility *>(f);
    }
    vt_token_value tv[3];
    int n = 0;
    if (destination)
        tv[n++] = vt_token_value{VTT_DESTINATION_O, VtValueP(destination)};
    if (primitive_library)
        tv[n++] = vt_token_value{VTT_PRIMITIVE_LIBRARY_O, VtValueP(primitive_library)};
    tv[n] = vt_token_value{VTT_END, VtValueU32(0)};
    vt_renderer *r = nullptr;
    if (facility->dispatch->rendererNew(facility, &r, tv) != VT_E_OK || r == nullptr)
        return VT_E_FAIL;
    if (setUp(r, destination) != VT_E_OK) {
        VtObjectFree(r);
        return VT_E_FAIL;
    }
    return VT_E_OK;
}

vt_error VtRendererBegin(vt_pixelmap *destination, vt_renderer_facility *facility, vt_object *primitive_library,
                         void *primitive_heap, vt_size heap_size) {
    if (vtScene.renderer || vtScene.zb_active || vtScene.zs_active) {
        VtFailure("Renderer already started\n");
        return VT_E_FAIL;
    }
    vt_error e = SceneRendererMake(destination, facility, primitive_library);
    if (e == VT_E_UNSUPPORTED) {
        VtFailure("Could not find renderer facility\n");
        return VT_E_FAIL;
    }
    if (e != VT_E_OK) {
        VtFailure("Failed to load renderer\n");
        return VT_E_FAIL;
    }
    vtScene.zb_active = vtScene.zs_active = 1;
    vtScene.heap.base = static_cast<vt_uint_8 *>(primitive_heap);
    vtScene.heap.size = heap_size;
    vtScene.heap.current = vtScene.heap.base;
    return VT_E_OK;
}

void SceneRendererRelease() {
    if (vtScene.renderer == nullptr)
        return;
    VtTableEnum(nullptr, dropPixelmap, nullptr);
    VtMapEnum(nullptr, dropPixelmap, nullptr);
    VtMaterialEnum(nullptr, dropMaterial, nullptr);
    VtModelEnum(nullptr, dropModel, nullptr);
    if (vtScene.default_material)
        SceneMaterialDrop(vtScene.default_material);
    if (vtScene.default_model)
        SceneModelDrop(vtScene.default_model);
    SceneOrderTablesClear();
    vtScene.format_model = vtScene.format_buckets = vtScene.format_lighting = nullptr;
    vt_renderer *r = vtScene.renderer;
    vtScene.renderer = nullptr;
    VtObjectFree(r);
}

vt_error VtRendererEnd() {
    vtScene.zb_active = vtScene.zs_active = 0;
    if (vtScene.renderer == nullptr)
        return VT_E_FAIL;
    SceneRendererRelease();
    return VT_E_OK;
}
