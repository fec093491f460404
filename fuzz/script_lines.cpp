// The script error-line reader: any bytes as a script file, whose line is
// read back at offsets the bytes give, at the start, the middle and the end
// and past it, into buffers of several sizes.
#include <cstdint>
#include <cstring>
#include <filesystem>

#include "fuzz_files.h"
#include "script/compiler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    static bool ready = [] {
        std::filesystem::create_directories("vek/resource/scripts/missions");
        return true;
    }();
    (void)ready;
    fuzzfiles::Write("vek/resource/scripts/missions/lines.scr", data, size);
    osFlushPathCache();
    uint32_t given = 0;
    if (size >= 4) std::memcpy(&given, data, 4);
    const uint32_t offsets[] = {0,     uint32_t(size / 2),          uint32_t(size), uint32_t(size + 1),
                                given, uint32_t(given % (size + 1))};
    char buffer[300];
    for (uint32_t offset : offsets)
        for (size_t capacity : {size_t(1), size_t(16), sizeof buffer}) {
            std::memset(buffer, 'x', sizeof buffer);
            ReadScriptLineAt("vek\\resource\\scripts\\missions\\lines.scr", offset, buffer, capacity);
            if (!std::memchr(buffer, 0, capacity) || std::strlen(buffer) > 255) __builtin_trap();
        }
    return 0;
}
