// Damaged copies of a good file, written where the game reads them, for tests
// that feed damaged files to the game's readers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/file_bytes.h"
#include "os/paths.h"

namespace ruvotest {

// Writes a file under the data root and lets the game find it afresh.
inline void PutGameFile(const std::string &path, const std::vector<uint8_t> &bytes) {
    WriteBytes(path, bytes);
    osFlushPathCache();
}

// The game's own name of a path under the data root ("a/b.c" is "a\b.c").
inline std::string GameName(std::string path) {
    for (char &c : path)
        if (c == '/') c = '\\';
    return path;
}

struct DamagedCopy {
    const char *how;
    std::vector<uint8_t> bytes;
};

// The three damages: empty, cut in half, every byte flipped.
inline std::vector<DamagedCopy> DamagedCopies(const std::vector<uint8_t> &good) {
    std::vector<uint8_t> flipped = good;
    for (uint8_t &b : flipped) b ^= 0xFF;
    return {{"empty", {}},
            {"cut in half", std::vector<uint8_t>(good.begin(), good.begin() + long(good.size() / 2))},
            {"flipped", std::move(flipped)}};
}

}  // namespace ruvotest
