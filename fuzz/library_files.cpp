// The rendering library's data files as the game loads them, behind the
// game's own diagnostics handler (which ends the game on any failure outside
// a load): any bytes as a texture map, shade table, palette, model, material
// or ASCII mesh (the first byte chooses), loaded through the game's hooks
// and loaders. A damaged file is refused with a line and counts as missing;
// ending the game for one is a finding.
#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "RES/libload.h"
#include "RES/libmodel.h"
#include "fuzz_files.h"
#include "present/diaghandler.h"
#include "present/p3d.h"
#include "render/fw/fw.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"

namespace {

struct Kind {
    const char *name;
    void (*load)(const char *name);
};

// Each loads the file and lets go of what the hooks registered, so that the
// next input is read anew.
void Map(const char *n) {
    if (vt_pixelmap *pm = P3DFindMapHook(n)) VtPixelmapFree(VtMapRemove(pm));
}
void Table(const char *n) {
    if (vt_pixelmap *pm = P3DFindTableHook(n)) VtPixelmapFree(VtTableRemove(pm));
}
void Material(const char *n) {
    if (vt_material *m = P3DFindMaterialHook(n)) VtMaterialFree(VtMaterialRemove(m));
}
void Model(const char *n) {
    if (auto *m = static_cast<vt_model *>(LoadDatModel(n, nullptr, nullptr))) VtModelFree(VtModelRemove(m));
}
void Mesh(const char *n) {
    if (auto *m = static_cast<vt_model *>(LoadAsciiMeshModel(n, nullptr, nullptr))) VtModelFree(VtModelRemove(m));
}

const Kind kKinds[] = {
    {"vantor\\dat\\fuzz.pix", Map},   {"vantor\\dat\\fuzz.tab", Table},    {"vantor\\dat\\fuzz.pal", Map},
    {"vantor\\dat\\fuzz.dat", Model}, {"vantor\\dat\\fuzz.mat", Material}, {"vantor\\dat\\fuzz.asc", Mesh},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    static const bool begun = [] {
        std::filesystem::create_directories("vantor/dat");
        if (VtBeginAll() != VT_E_OK) return false;
        VtDiagHandlerSet(&WindowsDiagHandler);
        return true;
    }();
    if (!begun) return 0;
    const Kind &k = kKinds[size ? data[0] % std::size(kKinds) : 0];
    std::string path = k.name;
    for (char &c : path)
        if (c == '\\') c = '/';
    fuzzfiles::Write(path.c_str(), size ? data + 1 : data, size ? size - 1 : 0);
    osFlushPathCache();
    LibraryLoadForgetRefusals();
    try {
        k.load(k.name);
    } catch (const fuzzfiles::Fatal &) {
        __builtin_trap();
    }
    return 0;
}
