// The find hooks the library calls when a map, shade table or material is
// not registered: each loads the file from the data tree and registers it.
#include <cstdio>
#include <cstring>

#include "RES/libload.h"
#include "core/log.h"
#include "core/options.h"
#include "present/p3d.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"
#include "render/scenefile/scenefile.h"
#include "render/std/stdlib.h"

namespace {

constexpr char kTextures[] = "vek\\resource\\art\\textures";
constexpr char kCardTextures[] = "vek\\resource\\art\\textur_h";

void Name(vt_pixelmap *pm, const char *name) { pm->identifier = VtResStrDup(pm, name); }

}  // namespace

// The 3D card keeps its textures in a parallel folder and its other maps
// under names with "_" before the extension. Only the texture folder's
// prefix is swapped: other names under the data root stay as they are
// rather than being overwritten at a fixed place.
void P3DCardMapName(const char *name, char *out, int size) {
    std::snprintf(out, size_t(size), "%s", name);
    const size_t prefix = sizeof kTextures - 1;
    if (VtStrNICmp(name, "vek", 3) == 0) {
        if (std::strlen(out) >= prefix && VtStrNICmp(out, kTextures, prefix) == 0)
            std::memcpy(out, kCardTextures, prefix);
        return;
    }
    char *dot = std::strchr(out, '.');
    if (dot && dot != out) dot[-1] = '_';
}

vt_pixelmap *P3DFindMapHook(const char *name) {
    if (!name) return nullptr;
    char file[512];
    if (CardMode) P3DCardMapName(name, file, sizeof file);
    else std::snprintf(file, sizeof file, "%s", name);
    vt_pixelmap *pm = LoadLibraryFile(file, VtPixelmapLoad, VtPixelmapFree);
    if (!pm) return nullptr;
    dunFileAccessLog(file);
    gP3D.textureTotal += uint32_t(pm->width) * pm->height;
    Name(pm, name);
    if (CardMode && pm->type == VT_PMT_INDEX_8 && !pm->map) pm->map = gP3D.standardPalette;
    return VtMapAdd(pm);
}

vt_pixelmap *P3DFindTableHook(const char *name) {
    vt_pixelmap *pm = name ? LoadLibraryFile(name, VtPixelmapLoad, VtPixelmapFree) : nullptr;
    if (!pm) return nullptr;
    dunFileAccessLog(name);
    Name(pm, name);
    return VtTableAdd(pm);
}

vt_material *P3DFindMaterialHook(const char *name) {
    vt_material *m = name ? LoadLibraryFile(name, VtMaterialLoad, VtMaterialFree) : nullptr;
    if (!m) return nullptr;
    dunFileAccessLog(name);
    m->identifier = VtResStrDup(m, name);
    return VtMaterialAdd(m);
}
