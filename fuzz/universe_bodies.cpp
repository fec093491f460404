// The bodies table over arbitrary text: every row lands in the table with a
// terminated name and links that stay inside it, completion leaves no
// record half made, and each system's bodies lay out on the map; with the
// sample stars, the map's alias split and its lanes for every mission number
// leave each star's name inside its own record or a body's name.
#include <cstdlib>
#include <cstring>
#include <set>

#include "fuzz_files.h"
#include "hud/maps.h"
#include "world/universe.h"

namespace {

bool Inside(const BodyRecord *b) {
    return !b || (!dunBodies.empty() && b >= &dunBodies.front() && b <= &dunBodies.back());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    dunForgetUniverse();
    dunLoadStars("vek\\resource\\geog\\stars.bin");
    dunParseBodies(reinterpret_cast<const char *>(data), size);
    dunCompleteBodies();
    NavMapSplitBodyNames();
    for (int mission = 0; mission <= 40; mission += 7) {
        const int lanes = NavMapBuildLanes(mission);
        if (lanes < 0 || lanes > kNavMapLanes) std::abort();
    }
    for (int i = 0; i < dunNamedStarCount; ++i) {
        const char *name = dunStars[i].namePointer;
        if (!name) continue;
        bool inside = name >= dunStars[i].name && name < dunStars[i].name + sizeof dunStars[i].name;
        for (const BodyRecord &b : dunBodies) inside |= b.name && name > b.name && name <= b.name + 90;
        if (!inside || std::strlen(name) > 89) std::abort();
    }
    std::set<int> systems;
    for (const BodyRecord &b : dunBodies) {
        if (!b.name || std::strlen(b.name) > 89) std::abort();
        if (!Inside(b.parent) || !Inside(b.firstChild) || !Inside(b.nextSibling)) std::abort();
        // A child list ends: no record is its own sibling chain's loop.
        int steps = 0;
        for (const BodyRecord *c = b.firstChild; c; c = c->nextSibling)
            if (++steps > int(dunBodies.size())) std::abort();
        const bool byName = b.id >= 0 && !(b.name[0] >= '0' && b.name[0] <= '9');
        if (byName && dunFindBody(b.id / 100 + 1, b.name) == nullptr) std::abort();
        systems.insert(b.id / 100 + 1);
    }
    for (int system : systems) {
        if (systems.size() > 8) break;
        const int n = dunBuildSystemBodyTable(system);
        if (n < 0 || n > kMaxSystemBodies) std::abort();
    }
    dunForgetUniverse();
    return 0;
}
