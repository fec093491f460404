// Pixelmap fill and copy of a 1024x768 RGB565 screen against memset and
// memcpy of the same bytes in the same run (target: ratio within 1.5), and
// line drawing in lines per second.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

#include "render/fw/fw.h"
#include "render/pmap/pixelmap.h"

namespace {

using Clock = std::chrono::steady_clock;

void quiet(const char *) {}
vt_diaghandler quietDiag = {"quiet", quiet, quiet};

struct Library {
    Library() {
        VtDiagHandlerSet(&quietDiag);
        VtBegin();
    }
    ~Library() { VtEnd(); }
};

constexpr int kW = 1024, kH = 768;

void BM_FillRGB565(benchmark::State &state) {
    Library lib;
    vt_pixelmap *pm = VtPixelmapAllocate(VT_PMT_RGB_565, kW, kH, nullptr, 0);
    std::vector<uint8_t> plain(size_t(kW) * kH * 2);
    double vt = 0, base = 0;
    vt_uint_32 colour = 0x1234;
    for (auto _ : state) {
        auto t0 = Clock::now();
        VtPixelmapFill(pm, colour);
        benchmark::ClobberMemory();
        auto t1 = Clock::now();
        memset(plain.data(), int(colour & 0xff), plain.size());
        benchmark::ClobberMemory();
        auto t2 = Clock::now();
        colour ^= 0x0f0f;
        vt += std::chrono::duration<double>(t1 - t0).count();
        base += std::chrono::duration<double>(t2 - t1).count();
    }
    state.counters["vt_us"] = vt * 1e6 / double(state.iterations());
    state.counters["memset_us"] = base * 1e6 / double(state.iterations());
    state.counters["ratio_vs_memset"] = base > 0 ? vt / base : 0;
    VtPixelmapFree(pm);
}
BENCHMARK(BM_FillRGB565);

void BM_CopyRGB565(benchmark::State &state) {
    Library lib;
    vt_pixelmap *src = VtPixelmapAllocate(VT_PMT_RGB_565, kW, kH, nullptr, 0);
    vt_pixelmap *dst = VtPixelmapAllocate(VT_PMT_RGB_565, kW, kH, nullptr, 0);
    VtPixelmapFill(src, 0x7bef);
    std::vector<uint8_t> a(size_t(kW) * kH * 2, 1), b(a.size());
    double vt = 0, base = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        VtPixelmapCopy(dst, src);
        benchmark::ClobberMemory();
        auto t1 = Clock::now();
        memcpy(b.data(), a.data(), a.size());
        benchmark::ClobberMemory();
        auto t2 = Clock::now();
        vt += std::chrono::duration<double>(t1 - t0).count();
        base += std::chrono::duration<double>(t2 - t1).count();
    }
    state.counters["vt_us"] = vt * 1e6 / double(state.iterations());
    state.counters["memcpy_us"] = base * 1e6 / double(state.iterations());
    state.counters["ratio_vs_memcpy"] = base > 0 ? vt / base : 0;
    VtPixelmapFree(src);
    VtPixelmapFree(dst);
}
BENCHMARK(BM_CopyRGB565);

// Lines between fixed pseudo-random points, some reaching outside the
// screen so that clipping is part of the cost.
void BM_LinesRGB565(benchmark::State &state) {
    Library lib;
    vt_pixelmap *pm = VtPixelmapAllocate(VT_PMT_RGB_565, kW, kH, nullptr, 0);
    constexpr int kLines = 1024;
    struct L {
        vt_int_32 x0, y0, x1, y1;
    };
    std::vector<L> lines(kLines);
    uint32_t s = 12345;
    auto next = [&](int range) {
        s = s * 1103515245u + 12345u;
        return vt_int_32((s >> 8) % uint32_t(range)) - range / 10;
    };
    for (L &l : lines)
        l = {next(kW + kW / 5), next(kH + kH / 5), next(kW + kW / 5), next(kH + kH / 5)};
    int64_t drawn = 0;
    for (auto _ : state) {
        for (const L &l : lines)
            VtPixelmapLine(pm, l.x0, l.y0, l.x1, l.y1, 0xffff);
        drawn += kLines;
        benchmark::ClobberMemory();
    }
    state.counters["lines_per_second"] = benchmark::Counter(double(drawn), benchmark::Counter::kIsRate);
    VtPixelmapFree(pm);
}
BENCHMARK(BM_LinesRGB565);

} // namespace
