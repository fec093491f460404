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

// Each loads the file, names and registers what it read (registering
// prepares it: a failure there is the file's too) in one load of the file;
// a refused file is let go and counts as missing.
vt_pixelmap *P3DFindMapHook(const char *name) {
    if (!name) return nullptr;
    char file[512];
    if (CardMode) P3DCardMapName(name, file, sizeof file);
    else std::snprintf(file, sizeof file, "%s", name);
    if (!LibraryLoadBegin(file)) return nullptr;
    vt_pixelmap *pm = VtPixelmapLoad(file);
    if (pm) {
        Name(pm, name);
        if (CardMode && pm->type == VT_PMT_INDEX_8 && !pm->map) pm->map = gP3D.standardPalette;
        VtMapAdd(pm);
    }
    if (!LibraryLoadEnd(pm != nullptr)) {
        if (pm) {
            VtMapRemove(pm);
            VtPixelmapFree(pm);
        }
        return nullptr;
    }
    dunFileAccessLog(file);
    gP3D.textureTotal += uint32_t(pm->width) * pm->height;
    return pm;
}

vt_pixelmap *P3DFindTableHook(const char *name) {
    if (!name || !LibraryLoadBegin(name)) return nullptr;
    vt_pixelmap *pm = VtPixelmapLoad(name);
    if (pm) {
        Name(pm, name);
        VtTableAdd(pm);
    }
    if (!LibraryLoadEnd(pm != nullptr)) {
        if (pm) {
            VtTableRemove(pm);
            VtPixelmapFree(pm);
        }
        return nullptr;
    }
    dunFileAccessLog(name);
    return pm;
}

vt_material *P3DFindMaterialHook(const char *name) {
    if (!name || !LibraryLoadBegin(name)) return nullptr;
    vt_material *m = VtMaterialLoad(name);
    if (m) {
        m->identifier = VtResStrDup(m, name);
        VtMaterialAdd(m);
    }
    if (!LibraryLoadEnd(m != nullptr)) {
        if (m) {
            VtMaterialRemove(m);
            VtMaterialFree(m);
        }
        return nullptr;
    }
    dunFileAccessLog(name);
    return m;
}
