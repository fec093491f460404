// The presentation's frame on the sample data through our software
// renderer: two ships and the station in front of the camera, 100 frames
// of a full-screen 16-bit view at 640 x 480 and 1024 x 768 (pre-process,
// part trees, clears and the main world), reported as the time of a frame
// and as a ratio to clearing the colour and depth buffers with memset in
// the same run. Run from the build folder (the data root is ./data, or
// $RUVO_DATA).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "RES/gfx2d.h"
#include "core/frame.h"
#include "core/log.h"
#include "core/options.h"
#include "os/paths.h"
#include "platform/display.h"
#include "present/effects.h"
#include "present/lwo/lwo.h"
#include "present/p3d.h"
#include "present/scene.h"
#include "present/views.h"
#include "render/scene/scene.h"
#include "world/messages.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/records.h"
#include "world/step.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFrames = 100;

SceneItem *Place(const char *shape, float x, float y, float z, float radius) {
    SceneItem *item = dunCreateSceneItem();
    dunLinkSceneItem(item, 0);
    Sim *sim = dunAttachSim(item, nullptr);
    TDP *root = dunAttachTDP(item);
    dunSetDrawRoutines(item, dunCopySimToModel, P3DUpdatePresentation);
    sim->position = {x, y, z};
    sim->matrix.m[12] = x;
    sim->matrix.m[13] = y;
    sim->matrix.m[14] = z;
    dunCopySimToModel(item);
    root->model = shape ? LwoLoadModel(shape, nullptr, nullptr) : nullptr;
    root->radius = radius;
    if (root->model) root->flags |= TDPFlag::HasActor;
    return item;
}

void BM_PresentFrame16(benchmark::State &state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    const char *root = std::getenv("RUVO_DATA");
    char old[4096];
    if (!getcwd(old, sizeof old) || chdir(root ? root : "data") != 0) {
        state.SkipWithError("no sample data root");
        return;
    }
    osFlushPathCache();
    ResetOptions();
    P3DResetStateDefaults();
    dunSetDebugSink([](const char *) {});
    PixelDepth = 16;
    std::vector<uint8_t> pixels(size_t(w) * h * 2);
    ScreenSurface = Surface{pixels.data(), int16_t(w), int16_t(h), 0, 0, int16_t(w * 2), 2};
    std::vector<uint8_t> palette(1024, 128);
    CurrentPalette = palette.data();
    dunFrameCounter = 1;
    // The world reaches the presentation through its table, as in the game.
    P3DInstallWorldHooks();
    dunMsgInit();
    dunResetPools();
    dunResetWorld();
    P3DInitialise();
    SceneItem *camera = Place(nullptr, 0, 0, 0, 10);
    Place("vek\\resource\\shapes\\corvette.lwo", 0, 0, 4000, 1700);
    Place("vek\\resource\\shapes\\raider.lwo", 2500, 600, 7000, 1400);
    Place("vek\\resource\\shapes\\station.lwo", -4000, -3000, 30000, 13000);
    int16_t dirty[4] = {};
    P3DPane view = {&view, 0, 0, int16_t(w), int16_t(h), &camera, dirty, nullptr, nullptr};
    StationId = 1;
    dunFrameStep = 2;
    std::vector<uint8_t> colour(size_t(w) * h * 2), depth(size_t(w) * h * 2);
    double frame = 0, clear = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        for (int i = 0; i < kFrames; ++i) {
            ++dunFrameCounter;
            P3DDrawViewWindow(&view);
        }
        const auto t1 = Clock::now();
        for (int i = 0; i < kFrames; ++i) {
            std::memset(colour.data(), i, colour.size());
            std::memset(depth.data(), 0xFF, depth.size());
            benchmark::DoNotOptimize(colour.data());
            benchmark::DoNotOptimize(depth.data());
            benchmark::ClobberMemory();
        }
        const auto t2 = Clock::now();
        frame += std::chrono::duration<double>(t1 - t0).count();
        clear += std::chrono::duration<double>(t2 - t1).count();
    }
    const double frames = double(state.iterations()) * kFrames;
    state.counters["frame_ms"] = frame * 1e3 / frames;
    state.counters["memset_ms"] = clear * 1e3 / frames;
    state.counters["ratio_vs_memset"] = clear > 0 ? frame / clear : 0;
    // What the last frame drew: pixels off the view's black.
    int drawn = 0;
    for (size_t i = 0; i + 1 < pixels.size(); i += 2) drawn += pixels[i] || pixels[i + 1];
    state.counters["drawn_pixels"] = drawn;
    dunResetWorld();
    P3DShutdown();
    ScreenSurface = Surface{};
    CurrentPalette = nullptr;
    if (chdir(old) != 0) state.SkipWithError("cannot go back");
    osFlushPathCache();
}

BENCHMARK(BM_PresentFrame16)->Args({640, 480})->Args({1024, 768})->Unit(benchmark::kMillisecond);

}  // namespace
