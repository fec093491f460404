// Slab index reader: the in-memory search, and the file roads (open, size,
// read) for a few names and the first name the index holds.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "RES/slab.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    static const uint8_t kEmpty[1] = {};
    if (!data) data = kEmpty;
    fuzzfiles::Write("vek/resource/text.slb", data, size);
    std::string names[3] = {"\\a.txt", "\\sample\\hello.txt", ""};
    if (size >= 12) {
        uint32_t at;
        std::memcpy(&at, data + 8, 4);
        if (at < size) names[2].assign(reinterpret_cast<const char *>(data + at), strnlen(reinterpret_cast<const char *>(data + at), std::min<size_t>(64, size - at)));
    }
    for (const std::string &n : names) {
        uint32_t offset, length;
        slabFindEntryBytes(data, size, n.c_str(), &offset, &length);
        std::string path = "vek\\resource\\text" + n;
        uint32_t entry = slabEntrySize("text", path.c_str());
        char buffer[4096];
        slabReadEntry("text", path.c_str(), buffer, entry < sizeof buffer ? entry : sizeof buffer);
        try {
            uint32_t got = 0;
            if (FILE *f = slabOpen("text", path.c_str(), &got)) {
                size_t n2 = std::fread(buffer, 1, got < sizeof buffer ? got : sizeof buffer, f);
                (void)n2;
                slabClose(f);
            }
        } catch (const fuzzfiles::Fatal &) {
            // "Slab Index Error": a short index is fatal to the game, by design.
        }
    }
    return 0;
}
