// The star pass at full load: 1200 stars, all in a 640 x 480 view that
// turns a little each frame so that every star is drawn as a streak,
// reported at 8 and 16 bits as the time of a pass and as a ratio to plotting
// the same 1200 points with the 2D pixel routine into the same buffer in the
// same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <vector>

#include "RES/gfx2d.h"
#include "RES/util.h"
#include "core/log.h"
#include "core/options.h"
#include "platform/display.h"
#include "present/sky/stars.h"
#include "render/fw/fw.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFrames = 100;
constexpr int kWidth = 640, kHeight = 480;
constexpr float kScale = 400;

// Every star inside the view's cone, spread evenly over the screen.
void FillInView() {
    gStars.count = kStarMax;
    for (int i = 0; i < kStarMax; ++i) {
        const float x = float((i * 397) % (kWidth - 40) - (kWidth - 40) / 2);
        const float y = float((i * 211) % (kHeight - 40) - (kHeight - 40) / 2);
        const float l = std::sqrt(x * x + y * y + kScale * kScale);
        gStars.direction[i][0] = x / l * kStarDistance;
        gStars.direction[i][1] = y / l * kStarDistance;
        gStars.direction[i][2] = kScale / l * kStarDistance;
        gStars.brightness[i] = uint8_t(8 + i % 28);
        gStars.rampBase[i] = kStarRampBase;
    }
    gStarResetStreaks = 1;
}

// The view turned about y by the angle.
void Turned(float angle, float view[3][3]) {
    const float c = std::cos(angle), s = std::sin(angle);
    const float rows[3][3] = {{c, 0, -s}, {0, 1, 0}, {s, 0, c}};
    for (int r = 0; r < 3; ++r)
        for (int k = 0; k < 3; ++k) view[r][k] = rows[r][k];
}

void BM_StarPass(benchmark::State &state) {
    const int depth = int(state.range(0));
    dunSetDebugSink([](const char *) {});
    VtBeginAll();
    PixelDepth = depth;
    BytesPerPixel = uint16_t(depth / 8);
    std::vector<uint8_t> pixels(size_t(kWidth) * kHeight * size_t(depth / 8));
    ScreenSurface = Surface{pixels.data(), kWidth, kHeight, 0, 0, int16_t(kWidth * (depth / 8)), int16_t(depth / 8)};
    RowOffsetSurface = &ScreenSurface;
    BuildRowOffsetTable();
    std::vector<uint8_t> palette(1024);
    for (int i = 0; i < 256; ++i) palette[4 * size_t(i)] = palette[4 * size_t(i) + 1] = uint8_t(i);
    CurrentPalette = palette.data();
    vt_pixelmap *colour = VtPixelmapAllocate(depth == 8 ? VT_PMT_INDEX_8 : VT_PMT_RGB_565, kWidth, kHeight,
                                             pixels.data(), 0);
    colour->origin_x = kWidth / 2;
    colour->origin_y = kHeight / 2;
    FillInView();
    float view[3][3];
    double pass = 0, plot = 0;
    long streaks = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        for (int f = 0; f < kFrames; ++f) {
            // A few pixels of turn each frame, back and forth.
            Turned(f % 2 ? 0.01f : -0.01f, view);
            gStarStreakCounter = 1;
            P3DDrawStarsInto(colour, view, kScale, depth);
        }
        const auto t1 = Clock::now();
        for (int f = 0; f < kFrames; ++f) {
            for (int i = 0; i < kStarMax; ++i) {
                const int x = int(gStars.screen[i][0]) + kWidth / 2, y = int(gStars.screen[i][1]) + kHeight / 2;
                if (depth == 8) PutScreenPixel8(uint8_t(16 + i % 32), x, y);
                else PutScreenPixel16(uint16_t(i + f), x, y);
            }
            benchmark::ClobberMemory();
        }
        const auto t2 = Clock::now();
        pass += std::chrono::duration<double>(t1 - t0).count();
        plot += std::chrono::duration<double>(t2 - t1).count();
    }
    for (int i = 0; i < kStarMax; ++i) streaks += gStars.visible[i] && gStars.previouslyVisible[i];
    const double frames = double(state.iterations()) * kFrames;
    state.counters["pass_us"] = pass * 1e6 / frames;
    state.counters["plot_us"] = plot * 1e6 / frames;
    state.counters["ratio_vs_plot"] = plot > 0 ? pass / plot : 0;
    state.counters["stars_streaking"] = double(streaks);
    VtPixelmapFree(colour);
    ScreenSurface = Surface{};
    RowOffsetSurface = nullptr;
    CurrentPalette = nullptr;
    VtEndAll();
}

BENCHMARK(BM_StarPass)->Arg(8)->Arg(16)->Unit(benchmark::kMicrosecond);

}  // namespace
