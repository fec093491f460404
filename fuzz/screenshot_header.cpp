// The screenshots' header picture and the standard picture a 16-bit capture
// takes its palette from: any bytes as both, then a screenshot of an 8-bit
// surface and a capture of a 16-bit one.
#include <cstdint>
#include <filesystem>
#include <vector>

#include "RES/gfx2d.h"
#include "core/files.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    static bool ready = [] {
        std::filesystem::create_directories("vek/resource/art/screens");
        return true;
    }();
    (void)ready;
    fuzzfiles::Write("vek/resource/art/screens/header.pcx", data, size);
    fuzzfiles::Write("vek/resource/art/tovstd.pcx", data, size);
    osFlushPathCache();
    ResetScreenshots();
    static std::vector<uint8_t> pixels(64 * 48 * 2, 0x5A);
    const Surface eight{pixels.data(), 64, 48, 0, 0, 64, 1};
    const Surface sixteen{pixels.data(), 64, 48, 0, 0, 128, 2};
    SaveScreenshotPcx(&eight);
    SaveScreenshotPcx(&sixteen);
    ResetScreenshots();
    return 0;
}
