// The star catalogue over arbitrary bytes: a short or long file fills at
// most its 3,900 records, every name is a terminated text, and the lookups
// stay within the named stars.
#include <cstdlib>
#include <cstring>

#include "fuzz_files.h"
#include "world/universe.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    dunParseStars(data, size);
    if (dunNamedStarCount > kStarCount || dunVisibleStarCount > kStarCount) std::abort();
    for (int i = 0; i < kStarCount; ++i) {
        const StarRecord &s = dunStars[i];
        if (std::memchr(s.name, 0, sizeof s.name) == nullptr || s.namePointer != s.name) std::abort();
        if (s.flags & StarFlag::Visited) std::abort();
    }
    for (int i = 0; i < dunNamedStarCount && i < 16; ++i) {
        const StarRecord *found = dunFindStar(dunStars[i].name, dunNamedStarCount);
        if (found && (found < dunStars || found >= dunStars + dunNamedStarCount)) std::abort();
        dunStarNameByCode(dunStars[i].system);
    }
    return 0;
}
