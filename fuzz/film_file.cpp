// Films opened from a file, as the game opens its films: any bytes as a
// film file, opened (the size checks first, then the decoders), played
// frame by frame into a buffer and to the last frame, and closed.
#include <cstdint>
#include <filesystem>
#include <vector>

#include "fuzz_files.h"
#include "platform/smack.h"
#include "platform/sound.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    static bool ready = [] {
        std::filesystem::create_directories("vek/resource/video");
        SoundEnabled = 0;
        return true;
    }();
    (void)ready;
    fuzzfiles::Write("vek/resource/video/fuzz.smk", data, size);
    osFlushPathCache();
    Smack *smk = SmackOpen("vek\\resource\\video\\fuzz.smk", 0, 0);
    if (!smk) return 0;
    static std::vector<uint8_t> pixels(320 * 240);
    SmackToBuffer(smk, 0, 0, 320, 240, pixels.data(), 0);
    for (uint32_t frame = 0; frame < smk->Frames && frame < 64; ++frame) {
        SmackDoFrame(smk);
        SmackNextFrame(smk);
    }
    SmackGoto(smk, smk->Frames ? smk->Frames - 1 : 0);
    SmackDoFrame(smk);
    SmackClose(smk);
    return 0;
}
