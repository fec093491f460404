// The low-detail variant of a shape: the object of the same name with
// "_LOW" before its extension, from the detail slab of the mode or from the
// ordinary shapes.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "RES/slab.h"
#include "platform/display.h"
#include "present/lwo/lwo.h"
#include "present/lwo/lwo_detail.h"
#include "render/scene/scene.h"

namespace {

void *TryLoad(const char *name, const char *slab) {
    std::string path = name;
    path.resize(path.size() + 1);
    LwoShapePathForSlab(path.data(), slab);
    path.resize(std::strlen(path.c_str()));
    path += "_LOW.lwo";
    FILE *f = slabOpen(slab, path.c_str(), nullptr);
    if (!f) return nullptr;
    slabClose(f);
    return LwoLoadModel(path.c_str(), nullptr, nullptr);
}

}  // namespace

// The folder word is the six characters after a backslash that begin with
// "S" or "s" followed by "h" ("shapes", "Sh_3DH", "Sh_3DX"); the path's last
// four characters (its extension) go in any case.
void LwoShapePathForSlab(char *path, const char *slab) {
    const size_t n = std::strlen(path), slabLength = std::strlen(slab);
    for (size_t i = 1; i + 6 <= n; ++i)
        if (path[i - 1] == '\\' && (path[i] == 'S' || path[i] == 's') && path[i + 1] == 'h') {
            std::memcpy(path + i, slab, std::min<size_t>(slabLength, 6));
            break;
        }
    path[n > 4 ? n - 4 : 0] = 0;
}

void *LwoLoadShapeWithLod(void *modelArgument) {
    const auto *model = static_cast<const vt_model *>(modelArgument);
    // A name too short for an extension names no shape file.
    if (!model || !model->identifier || std::string(model->identifier).size() <= 4) return nullptr;
    if (CardTextureFlag)
        if (void *low = TryLoad(model->identifier, "Sh_3DH")) return low;
    return TryLoad(model->identifier, "shapes");
}
