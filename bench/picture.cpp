// Decoding a 640 x 480 PCX against copying the decoded bytes with memcpy, in
// the same run. The ratio counter is decode time over copy time.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "RES/picture.h"
#include "core/options.h"

namespace {

constexpr uint32_t W = 640, H = 480;

// A load-screen-like picture: smooth bands (long runs) with a textured area.
std::vector<uint8_t> MakePcx(bool textured) {
    std::vector<uint8_t> pixels(W * H);
    for (uint32_t y = 0; y < H; ++y)
        for (uint32_t x = 0; x < W; ++x)
            pixels[y * W + x] = textured ? uint8_t((x * 7 + y * 13) ^ (x >> 3)) : uint8_t(10 + y / 16);
    uint8_t palette[768] = {};
    PcxImage *image = MakePcxImage(nullptr, PcxFlagEncoded, pixels.data(), W, H, palette);
    std::vector<uint8_t> file(image->header, image->header + 128);
    file.insert(file.end(), image->pixels, image->pixels + image->encodedSize);
    file.push_back(12);
    file.insert(file.end(), palette, palette + 768);
    pcxFree(image);
    return file;
}

double SecondsPer(auto &&fn, int reps) {
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < reps; ++i) fn();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / reps;
}

void Decode(benchmark::State &state) {
    const bool textured = state.range(0) != 0;
    const uint16_t bpp = uint16_t(state.range(1));
    const std::vector<uint8_t> file = MakePcx(textured);
    const size_t bytes = size_t(W) * H * bpp;
    std::vector<uint8_t> out(bytes), copy(bytes);
    Raster r{};
    r.bytesPerPixel = bpp;
    auto decode = [&] {
        pcxDecodeBytes(file.data(), file.size(), &r, nullptr, out.data(), bytes);
        benchmark::DoNotOptimize(out.data());
    };
    auto memcopy = [&] {
        std::memcpy(copy.data(), out.data(), bytes);
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    };
    for (auto _ : state) decode();
    // The baseline, measured here in the same process.
    double tDecode = SecondsPer(decode, 50), tCopy = SecondsPer(memcopy, 500);
    state.counters["decode_us"] = tDecode * 1e6;
    state.counters["memcpy_us"] = tCopy * 1e6;
    state.counters["ratio_to_memcpy"] = tDecode / tCopy;
    state.counters["file_bytes"] = double(file.size());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}
BENCHMARK(Decode)->ArgNames({"textured", "bpp"})->Args({0, 1})->Args({1, 1})->Args({0, 2})->Args({1, 2});

}  // namespace
