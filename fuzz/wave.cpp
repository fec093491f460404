// The wave reader over arbitrary bytes.
#include <cstdint>
#include <cstdio>

#include "platform/wave.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FILE *f = fmemopen(const_cast<uint8_t *>(data), size ? size : 1, "rb");
    if (!f) return 0;
    uint32_t bytes = 0;
    WaveFormat *format = nullptr;
    uint8_t *samples = nullptr;
    if (WaveLoadStream(f, &bytes, &format, &samples) == kWaveOk) {
        // Touch every byte handed back.
        volatile uint32_t sum = format->formatTag + format->extraSize;
        for (uint32_t i = 0; i < format->extraSize; ++i) sum = sum + format->extra[i];
        for (uint32_t i = 0; i < bytes; ++i) sum = sum + samples[i];
    }
    WaveFree(format);
    WaveFree(samples);
    std::fclose(f);
    return 0;
}
