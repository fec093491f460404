// Builds small RIFF WAVE files for the platform tests.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "os/audio.h"

namespace wavetest {

inline void Put16(std::vector<uint8_t> &b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
inline void Put32(std::vector<uint8_t> &b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
inline void PutId(std::vector<uint8_t> &b, const char *id) { b.insert(b.end(), id, id + 4); }

struct WaveRecipe {
    uint16_t tag = 1;
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint16_t bits = 8;
    uint32_t fmtSize = 16;       // declared size of "fmt "
    int extraCount = -1;         // written after the 16 bytes when >= 0
    uint32_t extraBytes = 0;     // bytes actually written after the count
    std::vector<uint8_t> data;   // the samples
    int64_t dataSizeOverride = -1;
    bool listChunkFirst = false;
    const char *riff = "RIFF";
    const char *form = "WAVE";
};

inline std::vector<uint8_t> Build(const WaveRecipe &s) {
    std::vector<uint8_t> b;
    PutId(b, s.riff);
    Put32(b, 0);
    PutId(b, s.form);
    if (s.listChunkFirst) {
        PutId(b, "LIST");
        Put32(b, 5);
        b.insert(b.end(), {'I', 'N', 'F', 'O', 'x', 0});
    }
    PutId(b, "fmt ");
    Put32(b, s.fmtSize);
    size_t fmtStart = b.size();
    uint16_t align = uint16_t(s.channels * s.bits / 8);
    Put16(b, s.tag);
    Put16(b, s.channels);
    Put32(b, s.rate);
    Put32(b, s.rate * align);
    Put16(b, align);
    Put16(b, s.bits);
    if (s.extraCount >= 0) Put16(b, uint32_t(s.extraCount));
    for (uint32_t i = 0; i < s.extraBytes; ++i) b.push_back(uint8_t(i));
    while (b.size() - fmtStart < s.fmtSize) b.push_back(0);
    if (s.fmtSize & 1) b.push_back(0);
    PutId(b, "data");
    Put32(b, s.dataSizeOverride >= 0 ? uint32_t(s.dataSizeOverride) : uint32_t(s.data.size()));
    b.insert(b.end(), s.data.begin(), s.data.end());
    if (s.data.size() & 1) b.push_back(0);
    uint32_t riffSize = uint32_t(b.size() - 8);
    b[4] = uint8_t(riffSize);
    b[5] = uint8_t(riffSize >> 8);
    b[6] = uint8_t(riffSize >> 16);
    b[7] = uint8_t(riffSize >> 24);
    return b;
}

inline void WriteBytes(const std::string &path, const std::vector<uint8_t> &bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path().empty()
                                            ? std::filesystem::path(".")
                                            : std::filesystem::path(path).parent_path());
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// A constant-level 8-bit mono wave: every sample `level` (128 = silence).
inline std::vector<uint8_t> Constant8(uint32_t frames, uint8_t level, uint32_t rate = 22050) {
    WaveRecipe s;
    s.rate = rate;
    s.data.assign(frames, level);
    return Build(s);
}

// The mean loudness of the next `frames` frames the mixer mixes (0 when
// nothing plays).
inline double MixLevel(int frames = 256) {
    std::vector<int16_t> out(size_t(frames) * 2);
    osAudioMix(out.data(), frames);
    double sum = 0;
    for (int16_t v : out) sum += v < 0 ? -double(v) : double(v);
    return sum / frames;
}

}  // namespace wavetest
