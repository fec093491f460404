// The low-detail variant of a shape: the object of the same name with
// "_LOW" before its extension, from the detail slab of the mode or from the
// ordinary shapes.
#include <cctype>
#include <string>

#include "RES/slab.h"
#include "platform/display.h"
#include "present/lwo/lwo.h"
#include "present/lwo/lwo_detail.h"
#include "render/scene/scene.h"

namespace {

// The folder word is the six characters after a backslash that begin with
// "S" or "s" followed by "h" ("shapes", "Sh_3DH", "Sh_3DX"); the path's last
// four characters (its extension) go in any case.
std::string LowPath(const char *name, const char *slab) {
    std::string path = name;
    for (size_t i = 1; i + 6 <= path.size(); ++i)
        if (path[i - 1] == '\\' && (path[i] == 'S' || path[i] == 's') && path[i + 1] == 'h') {
            path.replace(i, 6, slab);
            break;
        }
    path.resize(path.size() > 4 ? path.size() - 4 : 0);
    return path + "_LOW.lwo";
}

void *TryLoad(const char *name, const char *slab) {
    std::string path = LowPath(name, slab);
    FILE *f = slabOpen(slab, path.c_str(), nullptr);
    if (!f) return nullptr;
    slabClose(f);
    return LwoLoadModel(path.c_str(), nullptr, nullptr);
}

}  // namespace

void *LwoLoadShapeWithLod(void *modelArgument) {
    const auto *model = static_cast<const vt_model *>(modelArgument);
    // A name too short for an extension names no shape file.
    if (!model || !model->identifier || std::string(model->identifier).size() <= 4) return nullptr;
    if (CardTextureFlag)
        if (void *low = TryLoad(model->identifier, "Sh_3DH")) return low;
    return TryLoad(model->identifier, "shapes");
}
