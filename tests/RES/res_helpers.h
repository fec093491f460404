// Small file helpers for the resource tests.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "common/file_bytes.h"

namespace restest {

using ruvotest::ReadBytes;
using ruvotest::WriteBytes;

inline void WriteText(const std::string &path, const std::string &text) {
    WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

// A PCX file: 128-byte header, the given run-length data, the marker 12
// and a palette (entry i = (i, 255 - i, i / 2) unless given).
inline std::vector<uint8_t> PcxFile(int width, int height, int planes, const std::vector<uint8_t> &data,
                                    bool withPalette = true) {
    std::vector<uint8_t> f(128, 0);
    f[0] = 10;
    f[1] = 5;
    f[2] = 1;
    f[3] = 8;
    f[8] = uint8_t(width - 1);
    f[9] = uint8_t((width - 1) >> 8);
    f[10] = uint8_t(height - 1);
    f[11] = uint8_t((height - 1) >> 8);
    f[65] = uint8_t(planes);
    f[66] = uint8_t(width);
    f[67] = uint8_t(width >> 8);
    f.insert(f.end(), data.begin(), data.end());
    if (withPalette) {
        f.push_back(12);
        for (int i = 0; i < 256; ++i) {
            f.push_back(uint8_t(i));
            f.push_back(uint8_t(255 - i));
            f.push_back(uint8_t(i / 2));
        }
    }
    return f;
}

// A slab archive from (name, data) pairs; entries' data first, index last.
inline std::vector<uint8_t> SlabFile(const std::vector<std::pair<std::string, std::string>> &entries) {
    std::vector<uint8_t> f(12, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) f[at + i] = uint8_t(v >> (8 * i));
    };
    std::vector<std::pair<uint32_t, uint32_t>> where;
    for (auto &e : entries) {
        where.push_back({uint32_t(f.size()), uint32_t(e.second.size())});
        f.insert(f.end(), e.second.begin(), e.second.end());
    }
    put32(4, uint32_t(entries.size()));
    put32(8, uint32_t(f.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        size_t at = f.size();
        f.resize(at + 72, 0);
        for (size_t k = 0; k < entries[i].first.size() && k < 64; ++k) f[at + k] = uint8_t(entries[i].first[k]);
        put32(at + 64, where[i].first);
        put32(at + 68, where[i].second);
    }
    return f;
}

}  // namespace restest
