#include "RES/libmodel.h"

#include <cstdio>

#include "RES/libload.h"
#include "RES/resman.h"
#include "core/files.h"
#include "core/log.h"
#include "render/scenefile/scenefile.h"

namespace {

// Arrays kept through preparation, so the game can reshape the model later.
constexpr vt_uint_16 kModelFlags = VT_MODF_KEEP_SOURCE | VT_MODF_KEEP_SOURCE_ALT;

// A model the library refused after it was made: out of the registry (when
// it got there) and freed.
void DropModel(vt_model *model) {
    VtModelRemove(model);
    VtModelFree(model);
}

}  // namespace

void *LoadDatModel(const char *name, void *, uint32_t *) {
    if (!VtSceneDbRoot() || !LibraryLoadBegin(name)) return nullptr;
    // Registering prepares the model: a failure there is the file's too.
    vt_model *model = VtModelLoad(name);
    if (model) {
        model->flags = kModelFlags;
        const float scale = gModelHooks.worldScale ? gModelHooks.worldScale() : 1.0f;
        if (scale != 1.0f && gModelHooks.scaleModelTree) gModelHooks.scaleModelTree(model, 1.0f / scale);
        VtModelAdd(model);
    }
    if (!LibraryLoadEnd(model != nullptr)) {
        if (model) DropModel(model);
        return nullptr;
    }
    dunFileAccessLog(name);
    return model;
}

void *LoadAsciiMeshModel(const char *name, void *, uint32_t *) {
    if (!VtSceneDbRoot() || !LibraryLoadBegin(name)) return nullptr;
    vt_model *model = nullptr;
    // Only a model counted as read is ours: the reader frees what it gives up.
    const bool loaded = VtAsciiMeshLoad(name, &model, 1) == 1;
    // The export's reader passes over what it does not find: faces a mesh
    // declares but never lists (a file cut short) keep three equal corners,
    // which no exported face has.
    for (int f = 0; loaded && f < model->nfaces; ++f) {
        const vt_uint_16 *v = model->faces[f].vertices;
        if (v[0] != v[1] || v[1] != v[2]) continue;
        char why[96];
        std::snprintf(why, sizeof why, "face %d of its %d is not in it (cut short?)", f, int(model->nfaces));
        LibraryLoadTakesFailure(why);
        break;
    }
    if (loaded) {
        model->flags = kModelFlags;
        VtModelAdd(model);
        VtModelUpdate(model, VT_MODU_ALL);
    }
    if (!LibraryLoadEnd(loaded)) {
        if (loaded) DropModel(model);
        return nullptr;
    }
    return model;
}
