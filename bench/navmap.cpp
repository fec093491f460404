// The star map's galaxy mode (globe, lanes, stars and their names) drawn for
// one frame into a 640 x 480 16-bit surface from the sample universe
// (RUVO_DATA, else "data" below the working folder), reported as a ratio to
// drawing as many short lines (up to 40 pixels each way, as the globe's
// segments are) with the 2D line routine in the same run.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

#include "RES/gfx2d.h"
#include "RES/resman.h"
#include "core/frame.h"
#include "core/log.h"
#include "gui/window.h"
#include "hud/maps.h"
#include "hud/missionlog.h"
#include "os/paths.h"
#include "world/messages.h"
#include "world/universe.h"

void NavMapDrawInto(Surface *surface);
void NavMapEnsureBuilt();

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFrames = 50;
constexpr int kWidth = 640, kHeight = 480;

bool EnterSampleRoot() {
    static bool entered = false;
    if (entered) return true;
    const char *root = std::getenv("RUVO_DATA");
    if (chdir(root ? root : "data") != 0) return false;
    osFlushPathCache();
    entered = true;
    return true;
}

void BM_GalaxyMapFrame(benchmark::State &state) {
    dunSetDebugSink([](const char *) {});
    if (!EnterSampleRoot()) {
        state.SkipWithError("no sample data tree");
        return;
    }
    resmanInit();
    dunMsgInit();
    hudInstallWorldHooks();
    dunCreateUniverse();
    std::vector<uint16_t> pixels(size_t(kWidth) * kHeight);
    Surface screen{reinterpret_cast<uint8_t *>(pixels.data()), kWidth, kHeight, 0, 0, kWidth * 2, 2};
    NavMapDrawInto(&screen);
    GuiWindow window{};
    window.rect[0] = 0;
    window.rect[1] = 0;
    window.rect[2] = kWidth - 1;
    window.rect[3] = kHeight - 1;
    NavMapEnsureBuilt();
    dunStarMap.mode = 'G';
    dunFrameStep = 0;  // the camera holds still
    NavMapDraw(&window);
    const int lines = gNavMapLinesDrawn;
    // The peer: as many lines with the globe's typical spread of lengths,
    // inside the surface.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> x(0, kWidth - 1), y(0, kHeight - 1), d(-40, 40);
    struct Line {
        int x0, y0, x1, y1;
    };
    std::vector<Line> peer;
    for (int i = 0; i < lines; ++i) {
        const int x0 = x(random), y0 = y(random);
        peer.push_back({x0, y0, std::clamp(x0 + d(random), 0, kWidth - 1), std::clamp(y0 + d(random), 0, kHeight - 1)});
    }
    double map = 0, plain = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        for (int i = 0; i < kFrames; ++i) {
            NavMapDraw(&window);
            benchmark::ClobberMemory();
        }
        const auto t1 = Clock::now();
        for (int i = 0; i < kFrames; ++i) {
            FillRect(&screen, 0, 0, 0, kWidth - 1, kHeight - 1);
            for (const Line &l : peer) DrawLine(&screen, l.x0, l.y0, l.x1, l.y1, 97);
            benchmark::ClobberMemory();
        }
        const auto t2 = Clock::now();
        map += std::chrono::duration<double>(t1 - t0).count();
        plain += std::chrono::duration<double>(t2 - t1).count();
    }
    const double frames = double(state.iterations()) * kFrames;
    state.counters["map_us"] = map * 1e6 / frames;
    state.counters["lines_us"] = plain * 1e6 / frames;
    state.counters["ratio_vs_lines"] = plain > 0 ? map / plain : 0;
    state.counters["lines"] = lines;
    NavMapDrawInto(nullptr);
    resmanShutdown();
}
BENCHMARK(BM_GalaxyMapFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
