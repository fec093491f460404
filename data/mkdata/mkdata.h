// The sample-data generator: each asset family registers one generator that
// writes its files below the output root.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mkdata {

struct Context {
    std::string out;   // data root being written, no trailing slash
    std::string tree;  // text sources copied as they stand
    // Where the files packed into slabs are kept loose as well (the fuzz
    // targets' seeds); empty: nowhere.
    std::string unpacked;
};

using GeneratorFn = bool (*)(const Context &ctx);

// Registers a generator at static-initialisation time. Generators run in the
// order of their names, so later families may read what earlier ones wrote.
struct Generator {
    Generator(const char *name, GeneratorFn fn);
};

// Creates every folder of `relPath` below the output root and returns the
// full path of the file.
std::string OutPath(const Context &ctx, const std::string &relPath);
bool WriteFile(const Context &ctx, const std::string &relPath, const void *data, size_t size);
bool WriteFile(const Context &ctx, const std::string &relPath, const std::string &text);

// The game palette (256 entries of r, g, b, 0) with its ramp layout: the
// standard picture's, the library's palette file and the textures' colours.
void GamePalette(uint8_t *pal);

// A RIFF WAVE file of PCM samples (8-bit unsigned or 16-bit signed).
std::vector<uint8_t> WaveBytes(const std::vector<uint8_t> &samples, int rate, int bits, int channels);

}  // namespace mkdata
