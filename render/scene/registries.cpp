// The four registries of the scene: models, materials, texture maps and
// shade tables. Adding prepares the item for the renderer; removing drops
// what the renderer holds of it.
#include "render/pmap/pixelmap.h"
#include "render/scene/scenestate.h"

namespace {

template <class T> struct enum_call {
    int (*callback)(T *, void *);
    void *arg;
};

template <class T> int enumTrampoline(void *item, void *arg) {
    auto *c = static_cast<enum_call<T> *>(arg);
    return c->callback(static_cast<T *>(item), c->arg);
}

// One registry family: its registry, the update its add runs and the drop
// its remove runs. The typed find-failed hook sits here; the registry gets
// a forwarder while one is set.
template <class T, vt_registry vt_scene_state::*Reg, void (*Update)(T *, vt_uint_16), vt_uint_16 Mask,
          void (*Drop)(T *)>
struct family {
    static inline T *(*hook)(const char *) = nullptr;

    static vt_registry *reg() { return &(vtScene.*Reg); }
    static void *forward(const char *name) { return hook ? hook(name) : nullptr; }

    static T *add(T *item) {
        if (item == nullptr || !vtScene.active)
            return nullptr;
        T *r = static_cast<T *>(VtRegistryAdd(reg(), item));
        if (r)
            Update(item, Mask);
        return r;
    }
    static int addMany(T **items, int n) {
        int added = 0;
        for (int i = 0; i < n; i++)
            if (add(items[i]))
                added++;
        return added;
    }
    static T *remove(T *item) {
        if (item == nullptr)
            return nullptr;
        Drop(item);
        return vtScene.active ? static_cast<T *>(VtRegistryRemove(reg(), item)) : nullptr;
    }
    static int removeMany(T **items, int n) {
        int removed = 0;
        for (int i = 0; i < n; i++)
            if (remove(items[i]))
                removed++;
        return removed;
    }
    static T *find(const char *pattern) {
        if (!vtScene.active)
            return nullptr;
        return static_cast<T *>(VtRegistryFind(reg(), pattern));
    }
    static T *(*setHook(T *(*h)(const char *)))(const char *) {
        T *(*old)(const char *) = hook;
        hook = h;
        reg()->find_failed_hook = h ? forward : nullptr;
        return old;
    }
    static int findMany(const char *pattern, T **items, int max) {
        if (!vtScene.active)
            return 0;
        return VtRegistryFindMany(reg(), pattern, reinterpret_cast<void **>(items), max);
    }
    static int count(const char *pattern) { return vtScene.active ? VtRegistryCount(reg(), pattern) : 0; }
    static int enumerate(const char *pattern, int (*callback)(T *, void *), void *arg) {
        if (!vtScene.active)
            return 0;
        enum_call<T> c{callback, arg};
        return VtRegistryEnum(reg(), pattern, enumTrampoline<T>, &c);
    }
};

using models = family<vt_model, &vt_scene_state::reg_models, VtModelUpdate, VT_MODU_ALL, SceneModelDrop>;
using materials =
    family<vt_material, &vt_scene_state::reg_materials, VtMaterialUpdate, VT_MATU_ALL, SceneMaterialDrop>;
using maps = family<vt_pixelmap, &vt_scene_state::reg_textures, VtMapUpdate, VT_MAPU_ALL, ScenePixelmapDrop>;
using tables = family<vt_pixelmap, &vt_scene_state::reg_tables, VtTableUpdate, VT_TABLEU_ALL, ScenePixelmapDrop>;

} // namespace

// A registry's find-failed hook belongs to the scene's state: a new scene
// database starts without one.
void SceneFindHooksClear() {
    models::setHook(nullptr);
    materials::setHook(nullptr);
    maps::setHook(nullptr);
    tables::setHook(nullptr);
}

vt_model *VtModelAdd(vt_model *model) { return models::add(model); }
int VtModelAddMany(vt_model **m, int n) { return models::addMany(m, n); }
vt_model *VtModelRemove(vt_model *model) { return models::remove(model); }
int VtModelRemoveMany(vt_model **m, int n) { return models::removeMany(m, n); }
vt_model *VtModelFind(const char *pattern) { return models::find(pattern); }
vt_model_find_cbfn *VtModelFindHook(vt_model_find_cbfn *hook) { return models::setHook(hook); }
int VtModelFindMany(const char *pattern, vt_model **m, int max) { return models::findMany(pattern, m, max); }
int VtModelCount(const char *pattern) { return models::count(pattern); }
int VtModelEnum(const char *pattern, vt_model_enum_cbfn *cb, void *arg) { return models::enumerate(pattern, cb, arg); }

vt_material *VtMaterialAdd(vt_material *m) { return materials::add(m); }
int VtMaterialAddMany(vt_material **m, int n) { return materials::addMany(m, n); }
vt_material *VtMaterialRemove(vt_material *m) { return materials::remove(m); }
int VtMaterialRemoveMany(vt_material **m, int n) { return materials::removeMany(m, n); }
vt_material *VtMaterialFind(const char *pattern) { return materials::find(pattern); }
vt_material_find_cbfn *VtMaterialFindHook(vt_material_find_cbfn *hook) { return materials::setHook(hook); }
int VtMaterialFindMany(const char *pattern, vt_material **m, int max) { return materials::findMany(pattern, m, max); }
int VtMaterialCount(const char *pattern) { return materials::count(pattern); }
int VtMaterialEnum(const char *pattern, vt_material_enum_cbfn *cb, void *arg) {
    return materials::enumerate(pattern, cb, arg);
}

vt_pixelmap *VtMapAdd(vt_pixelmap *pm) { return maps::add(pm); }
int VtMapAddMany(vt_pixelmap **pm, int n) { return maps::addMany(pm, n); }
vt_pixelmap *VtMapRemove(vt_pixelmap *pm) { return maps::remove(pm); }
int VtMapRemoveMany(vt_pixelmap **pm, int n) { return maps::removeMany(pm, n); }
vt_pixelmap *VtMapFind(const char *pattern) { return maps::find(pattern); }
vt_map_find_cbfn *VtMapFindHook(vt_map_find_cbfn *hook) { return maps::setHook(hook); }
int VtMapFindMany(const char *pattern, vt_pixelmap **pm, int max) { return maps::findMany(pattern, pm, max); }
int VtMapCount(const char *pattern) { return maps::count(pattern); }
int VtMapEnum(const char *pattern, vt_map_enum_cbfn *cb, void *arg) { return maps::enumerate(pattern, cb, arg); }

vt_pixelmap *VtTableAdd(vt_pixelmap *pm) { return tables::add(pm); }
int VtTableAddMany(vt_pixelmap **pm, int n) { return tables::addMany(pm, n); }
vt_pixelmap *VtTableRemove(vt_pixelmap *pm) { return tables::remove(pm); }
int VtTableRemoveMany(vt_pixelmap **pm, int n) { return tables::removeMany(pm, n); }
vt_pixelmap *VtTableFind(const char *pattern) { return tables::find(pattern); }
vt_table_find_cbfn *VtTableFindHook(vt_table_find_cbfn *hook) { return tables::setHook(hook); }
int VtTableFindMany(const char *pattern, vt_pixelmap **pm, int max) { return tables::findMany(pattern, pm, max); }
int VtTableCount(const char *pattern) { return tables::count(pattern); }
int VtTableEnum(const char *pattern, vt_table_enum_cbfn *cb, void *arg) { return tables::enumerate(pattern, cb, arg); }
