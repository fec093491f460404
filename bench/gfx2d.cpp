// 2D drawing hot paths against memcpy of the same bytes, measured side by
// side in the same iterations: the full-screen opaque blit, the present
// conversion (8-bit through the palette, RGB565), and line and sprite
// throughput. The counter "x_memcpy" is (time of the operation) / (time of
// memcpy of the frame's bytes).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "RES/gfx2d.h"
#include "core/options.h"
#include "os/display.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Frame {
    std::vector<uint8_t> a, b;
    Surface src{}, dst{};
    Frame(int w, int h, int bpp) : a(size_t(w) * h * bpp), b(size_t(w) * h * bpp) {
        for (size_t i = 0; i < a.size(); i++) a[i] = uint8_t(i * 31 + 7);
        src = {a.data(), int16_t(w), int16_t(h), 0, 0, int16_t(w * bpp), int16_t(bpp)};
        dst = {b.data(), int16_t(w), int16_t(h), 0, 0, int16_t(w * bpp), int16_t(bpp)};
    }
};


// Runs op and a memcpy of `bytes` alternately; reports their ratio.
// With `outBytes` (a conversion that writes more than it reads) also
// against memcpy of the bytes written: "x_memcpy_out".
template <class Op>
void Compare(benchmark::State &state, size_t bytes, Op op, size_t outBytes = 0) {
    std::vector<uint8_t> from(bytes, 1), to(bytes);
    std::vector<uint8_t> fromOut(outBytes, 1), toOut(outBytes);
    double opTime = 0, copyTime = 0, copyOutTime = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        op();
        benchmark::ClobberMemory();
        auto t1 = Clock::now();
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
        auto t2 = Clock::now();
        if (outBytes) {
            std::memcpy(toOut.data(), fromOut.data(), outBytes);
            benchmark::DoNotOptimize(toOut.data());
            benchmark::ClobberMemory();
        }
        auto t3 = Clock::now();
        opTime += std::chrono::duration<double>(t1 - t0).count();
        copyTime += std::chrono::duration<double>(t2 - t1).count();
        copyOutTime += std::chrono::duration<double>(t3 - t2).count();
    }
    state.counters["x_memcpy"] = copyTime > 0 ? opTime / copyTime : 0;
    if (outBytes) state.counters["x_memcpy_out"] = copyOutTime > 0 ? opTime / copyOutTime : 0;
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

void BM_BlitOpaque(benchmark::State &state) {
    int w = int(state.range(0)), h = int(state.range(1)), bits = int(state.range(2));
    CardMode = 0;  // the drawers go by each surface's own depth
    Frame f(w, h, bits / 8);
    Compare(state, f.a.size(), [&] { BlitSurface(&f.dst, &f.src, 0, 0); });
}
BENCHMARK(BM_BlitOpaque)
    ->Args({640, 480, 8})
    ->Args({1024, 768, 8})
    ->Args({640, 480, 16})
    ->Args({1024, 768, 16});

// The conversion reads a byte and writes four a pixel: "x_memcpy_out" (the
// output's bytes copied, which reads four times what the conversion reads)
// is the floor that counts; "x_memcpy" against the input's bytes cannot
// fall under 4. The third argument takes the processor's vector road (1,
// where it has one: the label says which ran) or the plain one (0).
void BM_Present8ThroughPalette(benchmark::State &state) {
    int w = int(state.range(0)), h = int(state.range(1));
    bool vector = osConvertUseSimd(state.range(2) != 0);
    state.SetLabel(vector ? "vector" : "plain");
    Frame f(w, h, 1);
    std::vector<uint32_t> out(size_t(w) * h);
    uint8_t palette[1024];
    for (int i = 0; i < 1024; i++) palette[i] = uint8_t(i * 13);
    // The palette is turned into the lookup table once per present.
    Compare(state, f.a.size(), [&] {
        uint32_t table[256];
        osPaletteTo32(palette, table);
        osConvert8To32(f.a.data(), w, out.data(), w * 4, w, h, table);
    }, out.size() * 4);
    osConvertUseSimd(true);
}
BENCHMARK(BM_Present8ThroughPalette)
    ->Args({640, 480, 1})
    ->Args({1024, 768, 1})
    ->Args({640, 480, 0})
    ->Args({1024, 768, 0});

void BM_Present16(benchmark::State &state) {
    int w = int(state.range(0)), h = int(state.range(1));
    Frame f(w, h, 2);
    Compare(state, f.a.size(), [&] { osCopy16(f.a.data(), w * 2, f.b.data(), w * 2, w, h); });
}
BENCHMARK(BM_Present16)->Args({640, 480})->Args({1024, 768});

void BM_Lines(benchmark::State &state) {
    int bits = int(state.range(0));
    CardMode = 0;  // the drawers go by each surface's own depth
    Frame f(1024, 768, bits / 8);
    static uint8_t palette[1024];
    CurrentPalette = palette;
    ClipRect clip{0, 0, 1023, 767};
    uint32_t seed = 1;
    auto next = [&](int range) {
        seed = seed * 1664525u + 1013904223u;
        return int((seed >> 8) % uint32_t(range)) - range / 8;
    };
    int64_t pixels = 0;
    for (auto _ : state) {
        int x0 = next(1280), y0 = next(960), x1 = next(1280), y1 = next(960);
        DrawLineClipped(&f.dst, x0, y0, x1, y1, 77, &clip);
        pixels += std::max(std::abs(x1 - x0), std::abs(y1 - y0)) + 1;
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["pixels_per_s"] = benchmark::Counter(double(pixels), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Lines)->Arg(8)->Arg(16);

void BM_Sprites(benchmark::State &state) {
    CardMode = 0;
    Frame f(1024, 768, 1);
    int sw = int(state.range(0)), sh = sw;
    std::vector<uint8_t> px(size_t(sw) * sh);
    for (int y = 0; y < sh; y++)
        for (int x = 0; x < sw; x++) {
            int dx = x - sw / 2, dy = y - sh / 2;
            px[size_t(y) * sw + x] = dx * dx + dy * dy < sw * sw / 4 ? uint8_t(20 + (x ^ y) % 200) : 0;
        }
    Surface raster{px.data(), int16_t(sw), int16_t(sh), int16_t(sw / 2), int16_t(sh / 2), 0, 1};
    std::vector<uint8_t> sprite(MakeSpriteFromRaster(&raster, nullptr, 0));
    MakeSpriteFromRaster(&raster, sprite.data(), 0);
    ClipRect clip{0, 0, 1023, 767};
    int i = 0;
    for (auto _ : state) {
        DrawRunLengthSpriteClipped(&f.dst, &raster, (i * 97) % 1100 - 30, (i * 61) % 820 - 30,
                                   sprite.data(), &clip);
        i++;
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(int64_t(state.iterations()) * sw * sh);
}
BENCHMARK(BM_Sprites)->Arg(32)->Arg(128);

}  // namespace
