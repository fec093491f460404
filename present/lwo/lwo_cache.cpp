// The smoothing cache: each face's smoothing group and edge flags, kept in
// a small ".smg" file beside the object so that the neighbour search runs
// once per object and detail level. Read from the slab "smog" or a loose
// file; written whole through a temporary file renamed over the old one.
// A cache that does not fit the object in every byte is computed afresh.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "RES/slab.h"
#include "core/bytes.h"
#include "core/files.h"
#include "core/log.h"
#include "present/lwo/lwo.h"

namespace {

constexpr uint32_t kTag = 0x00000C00;

bool ValidGroup(uint8_t g) { return (g >= 1 && g <= 15) || g == uint8_t(kLwoNoSmoothingGroup); }

}  // namespace

std::string LwoSmoothingCacheName(const char *path) {
    std::string name = path ? path : "";
    for (size_t i = 0; i + 4 <= name.size(); ++i)
        if (name[i] == '.' && (name[i + 1] | 0x20) == 'l' && (name[i + 2] | 0x20) == 'w' &&
            (name[i + 3] | 0x20) == 'o')
            return name.substr(0, i) + ".smg";
    return name + ".smg";
}

bool LwoLoadSmoothing(LwoFace *faces, int count, const char *path) {
    const std::string name = LwoSmoothingCacheName(path);
    uint32_t size = 0;
    FILE *f = slabOpen("smog", name.c_str(), &size);
    if (!f) {
        char line[300];
        std::snprintf(line, sizeof line, "Creating smoothing group file %s \n", name.c_str());
        dunDebugPrint(line);
        return false;
    }
    const size_t want = 8 + 2 * size_t(count);
    std::vector<uint8_t> bytes(want);
    const size_t got = std::fread(bytes.data(), 1, size < want ? size : want, f);
    slabClose(f);
    const ByteView v = BytesOf(bytes.data(), got);
    uint32_t first = 0, second = 0;
    if (!ReadU32Le(v, 0, &first) || !ReadU32Le(v, 4, &second)) {
        RefuseGameFile(name.c_str(), "it is shorter than its header");
        return false;
    }
    // Not a cache, or one of another face count (a stale one): computed
    // again, and saved over it.
    if (first != (kTag | second)) {
        RefuseGameFile(name.c_str(), "it is not a smoothing cache; it is made again");
        return false;
    }
    if (first != (kTag | uint32_t(count)) || second != uint32_t(count)) {
        char why[96];
        std::snprintf(why, sizeof why, "it holds %u faces, the object %d; it is made again", second, count);
        RefuseGameFile(name.c_str(), why);
        return false;
    }
    if (got < want) {
        RefuseGameFile(name.c_str(), "it is shorter than its faces");
        return false;
    }
    for (int i = 0; i < count; ++i)
        if (!ValidGroup(bytes[8 + 2 * size_t(i)]) || bytes[9 + 2 * size_t(i)] > 7) {
            RefuseGameFile(name.c_str(), "a face has a smoothing group or edge flags no cache holds");
            return false;
        }
    for (int i = 0; i < count; ++i) {
        faces[i].group = bytes[8 + 2 * size_t(i)];
        faces[i].edgeFlags = bytes[9 + 2 * size_t(i)];
    }
    return true;
}

void LwoSaveSmoothing(const LwoFace *faces, int count, const char *path) {
    const std::string name = LwoSmoothingCacheName(path);
    std::vector<uint8_t> bytes(8 + 2 * size_t(count));
    PutU32Le(bytes.data(), 0, kTag | uint32_t(count));
    PutU32Le(bytes.data(), 4, uint32_t(count));
    for (int i = 0; i < count; ++i) {
        bytes[8 + 2 * size_t(i)] = uint8_t(faces[i].group);
        bytes[9 + 2 * size_t(i)] = faces[i].edgeFlags;
    }
    if (!WriteGameFileWhole(name.c_str(), bytes.data(), bytes.size())) {
        char line[300];
        std::snprintf(line, sizeof line, "I cannot save smoothing info %s", name.c_str());
        dunErrorBox(line, "LWOB Loader Error");
    }
}
