// For the scene datafile targets: the library begun once with its scene
// database, quiet diagnostics, and find hooks that answer every name, so
// that the references a file makes lead somewhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "fuzz_files.h"
#include "render/file/datafile.h"
#include "render/pmap/pixelmap.h"
#include "render/scenefile/scenefile.h"

namespace vtscenefuzz {

inline void Quiet(const char *) {}
inline vt_diaghandler quietDiag = {"quiet", Quiet, Quiet};

inline vt_material *paint;
inline vt_pixelmap *texture;
inline vt_model *shape;

// Begun on the first input, after every static initialiser of the program
// has run (the file layer's path cache among them).
inline bool Begin() {
    static const bool begun = [] {
        VtDiagHandlerSet(&quietDiag);
        if (VtBeginAll() != VT_E_OK) return false;
        paint = VtMaterialAllocate("paint");
        texture = VtPixelmapAllocate(VT_PMT_INDEX_8, 8, 8, nullptr, 0);
        texture->identifier = VtResStrDup(texture, "texture");
        shape = VtModelAllocate("shape", 3, 1);
        shape->faces[0].vertices[2] = 2;
        VtMaterialFindHook([](const char *) { return paint; });
        VtMapFindHook([](const char *) { return texture; });
        VtTableFindHook([](const char *) { return texture; });
        VtModelFindHook([](const char *) { return shape; });
        return true;
    }();
    return begun;
}

inline std::string Slurp(const char *name) {
    std::ifstream f(name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

// Whatever loaded, saved in the binary form, must load again and save to
// the same bytes: a record the loader let through half made shows here.
template <class T>
void ExpectStableSave(T *item, vt_uint_32 (*save)(const char *, T *), T *(*load)(const char *), void (*release)(T *)) {
    VtWriteModeSet(0);
    if (save("first.out", item) != 1) return;
    T *again = load("first.out");
    if (!again) {
        std::fprintf(stderr, "a saved record does not load again\n");
        std::abort();
    }
    save("second.out", again);
    release(again);
    if (Slurp("first.out") != Slurp("second.out")) {
        std::fprintf(stderr, "a loaded record saves differently\n");
        std::abort();
    }
}

// Writes the input as a file of the kind, counts and loads what it holds,
// and puts each record through the stable-save check and then `use`, which
// frees it.
template <class T>
void LoadAll(const uint8_t *data, size_t size, const char *file, vt_error (*count)(const char *, vt_uint_32 *),
             vt_uint_32 (*loadMany)(const char *, T **, vt_uint_16), vt_uint_32 (*save)(const char *, T *),
             T *(*load)(const char *), void (*release)(T *), void (*use)(T *)) {
    fuzzfiles::EnterDataRoot();
    if (!Begin()) return;
    fuzzfiles::Write(file, data, size);
    vt_uint_32 n = 0;
    if (count) count(file, &n);
    T *items[4] = {};
    n = loadMany(file, items, 4);
    for (vt_uint_32 i = 0; i < n; i++) {
        ExpectStableSave(items[i], save, load, release);
        use(items[i]);
    }
}

}  // namespace vtscenefuzz
