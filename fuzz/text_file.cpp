// The whole-text-file loaders: arbitrary bytes as a text file, sized, then
// loaded into blocks of its own size, of less, and of more, and read whole
// into buffers of several lengths.
#include <cstdint>
#include <vector>

#include "RES/font.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    fuzzfiles::Write("text.txt", data, size);
    const uint32_t need = TextFileSize("TEXT.TXT");
    for (uint32_t blockSize : {need, need / 2, need + 7, uint32_t(1)}) {
        if (blockSize == 0) continue;
        std::vector<uint8_t> block(blockSize);
        uint32_t got = blockSize;
        LoadTextFile("text.txt", block.data(), &got);
    }
    for (uint32_t length : {uint32_t(size), uint32_t(size / 3), uint32_t(1)}) {
        std::vector<uint8_t> buffer(length ? length : 1);
        ReadWholeFile("text.txt", buffer.data(), length);
    }
    return 0;
}
