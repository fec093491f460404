// The 3D-card display's present of a 1024x768 RGB565 back buffer through
// the library's output device and the game's display, against memcpy of
// the same bytes in the same run (target: ratio within 2). Without a
// display (SDL_VIDEODRIVER unset: "dummy") the frame still reaches the
// display's memory; under a display server it is shown as well.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/options.h"
#include "os/window.h"
#include "platform/display.h"
#include "render/drivers/output.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kW = 1024, kH = 768;

void BM_CardPresent1024x768(benchmark::State &state) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    osInitVideo();
    VtOutputHostSet(&CardOutputHost);
    PixelDepth = 16;
    BytesPerPixel = 2;
    ResolutionMode = 2;
    SelectDeviceDriver();
    DisplayMode mode = {kW, kH, 16, nullptr, &ScreenSurface};
    if (!DisplayOpen(&mode)) {
        state.SkipWithError("the 3D-card display does not open");
        return;
    }
    std::vector<uint8_t> a(size_t(kW) * kH * 2, 1), b(a.size());
    double card = 0, base = 0;
    uint8_t shade = 0;
    for (auto _ : state) {
        // A changing frame, drawn outside the timed part.
        std::memset(ScreenSurface.pixels, shade++, a.size());
        auto t0 = Clock::now();
        DisplayPresent(&mode);
        benchmark::ClobberMemory();
        auto t1 = Clock::now();
        std::memcpy(b.data(), a.data(), a.size());
        benchmark::ClobberMemory();
        auto t2 = Clock::now();
        card += std::chrono::duration<double>(t1 - t0).count();
        base += std::chrono::duration<double>(t2 - t1).count();
    }
    state.counters["present_us"] = card * 1e6 / double(state.iterations());
    state.counters["memcpy_us"] = base * 1e6 / double(state.iterations());
    state.counters["ratio_vs_memcpy"] = base > 0 ? card / base : 0;
    DisplayClose();
    VtOutputHostSet(nullptr);
}
BENCHMARK(BM_CardPresent1024x768);

}  // namespace
