#include "RES/libmodel.h"

#include "RES/libload.h"
#include "RES/resman.h"
#include "core/log.h"
#include "render/scenefile/scenefile.h"

namespace {

// Arrays kept through preparation, so the game can reshape the model later.
constexpr vt_uint_16 kModelFlags = VT_MODF_KEEP_SOURCE | VT_MODF_KEEP_SOURCE_ALT;

}  // namespace

void *LoadDatModel(const char *name, void *, uint32_t *) {
    if (!VtSceneDbRoot()) return nullptr;
    vt_model *model = LoadLibraryFile(name, VtModelLoad, VtModelFree);
    if (!model) return nullptr;
    dunFileAccessLog(name);
    model->flags = kModelFlags;
    const float scale = gModelHooks.worldScale ? gModelHooks.worldScale() : 1.0f;
    if (scale != 1.0f && gModelHooks.scaleModelTree) gModelHooks.scaleModelTree(model, 1.0f / scale);
    VtModelAdd(model);
    return model;
}

void *LoadAsciiMeshModel(const char *name, void *, uint32_t *) {
    if (!VtSceneDbRoot()) return nullptr;
    vt_model *model = nullptr;
    if (!LibraryLoadBegin(name)) return nullptr;
    const bool loaded = VtAsciiMeshLoad(name, &model, 1) == 1;
    if (!LibraryLoadEnd(loaded)) {
        if (loaded) VtModelFree(model);
        return nullptr;
    }
    model->flags = kModelFlags;
    VtModelAdd(model);
    VtModelUpdate(model, VT_MODU_ALL);
    return model;
}
