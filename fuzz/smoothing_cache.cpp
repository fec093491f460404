// Fuzzes the smoothing-cache reader: arbitrary bytes as the ".smg" file of
// an object whose face count is taken from the input's second word (so that
// the fuzzer can make the header fit). A cache that is taken must have given
// every face a group and edge flags a cache can hold.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_files.h"
#include "present/lwo/lwo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    fuzzfiles::Write("input.smg", data, size);
    osFlushPathCache();
    const int count = size >= 6 ? (data[4] | data[5] << 8) % 4097 : 1;
    std::vector<LwoFace> faces(size_t(count) + 1);
    if (LwoLoadSmoothing(faces.data(), count, "input.lwo")) {
        for (int i = 0; i < count; ++i) {
            const int g = faces[size_t(i)].group;
            if (!((g >= 1 && g <= 15) || g == kLwoNoSmoothingGroup) || faces[size_t(i)].edgeFlags > 7)
                __builtin_trap();
        }
    }
    return 0;
}
