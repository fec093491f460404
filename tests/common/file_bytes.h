// Whole files as bytes, for tests that write fixtures and read back what
// the game wrote.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace ruvotest {

// Writes the bytes, making the folders on the way (a file that stood there
// as a link is replaced, not written through).
inline void WriteBytes(const std::string &path, const std::vector<uint8_t> &bytes) {
    std::filesystem::path p(path);
    std::error_code ec;
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path(), ec);
    std::filesystem::remove(p, ec);
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

inline std::vector<uint8_t> ReadBytes(const std::string &path) {
    std::vector<uint8_t> out;
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    int c;
    while ((c = std::fgetc(f)) != EOF) out.push_back(uint8_t(c));
    std::fclose(f);
    return out;
}

}  // namespace ruvotest
