// One planet's two textures grown from its type and seed (fractal, bump
// pictures, colour ramps), as a ratio to one pass of the same 16-bit
// generator over a 512 x 512 map; and one frame of the lens-flare pass and
// the light update at 8 bits, as a ratio to reading the five depth samples
// and drawing the six sprites with the 2D routine directly.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <vector>

#include "RES/gfx2d.h"
#include "core/frame.h"
#include "core/log.h"
#include "core/options.h"
#include "os/paths.h"
#include "platform/display.h"
#include "present/effects.h"
#include "present/frame_passes.h"
#include "present/p3d.h"
#include "present/scene.h"
#include "present/sky/flares.h"
#include "present/sky/planets.h"
#include "render/front/front.h"
#include "render/pmap/pixelmap.h"
#include "world/messages.h"
#include "world/objlist.h"
#include "world/pools.h"

namespace {

using Clock = std::chrono::steady_clock;

// The sample data as the working folder: the bump pictures are read from it
// (without them the planet skips its bump and the ratio says too little).
// The build's own tree is beside the bench folder.
void DataRoot() {
    const char *root = std::getenv("RUVO_DATA");
    if (chdir(root ? root : "data") != 0 && chdir("../data") != 0 && chdir("build/data") != 0)
        std::fprintf(stderr, "no sample data\n");
    osFlushPathCache();
}

void BM_PlanetTextures(benchmark::State &state) {
    DataRoot();
    dunSetDebugSink([](const char *) {});
    std::vector<uint8_t> m2(kPlanetMapSide * kPlanetMapSide), m3(m2.size()), lcg(512 * 512);
    double make = 0, pass = 0;
    int seed = 1;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        PlanetMakePixels(1, seed++, m2.data(), m3.data());
        benchmark::DoNotOptimize(m2.data());
        const auto t1 = Clock::now();
        gPlanetRandom = uint16_t(seed);
        for (uint8_t &v : lcg) v = uint8_t(PlanetNextRandom() >> 8);
        benchmark::DoNotOptimize(lcg.data());
        const auto t2 = Clock::now();
        make += std::chrono::duration<double>(t1 - t0).count();
        pass += std::chrono::duration<double>(t2 - t1).count();
    }
    const double n = double(state.iterations());
    state.counters["planet_ms"] = make * 1e3 / n;
    state.counters["lcg_pass_ms"] = pass * 1e3 / n;
    state.counters["ratio_vs_lcg_pass"] = pass > 0 ? make / pass : 0;
}
BENCHMARK(BM_PlanetTextures)->Unit(benchmark::kMillisecond);

void BM_LensFlareFrame8(benchmark::State &state) {
    constexpr int kWidth = 640, kHeight = 480, kFrames = 200;
    ResetOptions();
    P3DResetStateDefaults();
    dunSetDebugSink([](const char *) {});
    PixelDepth = 8;
    BytesPerPixel = 1;
    std::vector<uint8_t> pixels(size_t(kWidth) * kHeight);
    ScreenSurface = Surface{pixels.data(), kWidth, kHeight, 0, 0, kWidth, 1};
    RowOffsetSurface = &ScreenSurface;
    BuildRowOffsetTable();
    std::vector<uint8_t> palette(1024);
    for (int i = 0; i < 256; ++i) palette[4 * size_t(i)] = palette[4 * size_t(i) + 1] = uint8_t(i);
    CurrentPalette = palette.data();
    dunFrameStep = 2;
    P3DInstallWorldHooks();
    dunMsgInit();
    dunResetPools();
    dunResetWorld();
    P3DInitialise();
    P3DBuildMainScene();
    ViewClipRect = {0, 0, kWidth - 1, kHeight - 1};
    for (int k = 0; k < 4; ++k)
        gP3D.viewRect[k] = gP3D.viewRectInTarget[k] = int16_t(k < 2 ? 0 : k == 2 ? kWidth - 1 : kHeight - 1);
    gP3D.viewCentre[0] = kWidth / 2.0f;
    gP3D.viewCentre[1] = kHeight / 2.0f;
    VtPixelmapFill(gP3D.depthTarget, 0xFFFFFFFF);
    const LensFlareSource sun{200, 150, 255, 54, 6};
    double flares = 0, direct = 0;
    int reflections = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        for (int f = 0; f < kFrames; ++f) {
            gLightFx.sources[0] = sun;
            gLightFx.sourceCount = 1;
            P3DLensFlarePass();
            reflections = gLightFx.reflectionsDrawn;
            P3DUpdateLights();
        }
        const auto t1 = Clock::now();
        for (int f = 0; f < kFrames; ++f) {
            int clear = 0;
            static const int kSamples[5][2] = {{0, 0}, {0, 9}, {9, 0}, {0, -9}, {-9, 0}};
            for (const auto &o : kSamples)
                clear += VtPixelmapPixelGet(gP3D.depthTarget, sun.x + o[0], sun.y + o[1]) >= 0xFFFB;
            benchmark::DoNotOptimize(clear);
            for (int k = 0; k < kFlareSpriteCount; ++k)
                DrawShadedSprite(&ScreenSurface, 34, 6 | 32, 0, int(320 - 120 * kFlareSpritePlaces[k][0]),
                                 int(240 - 90 * kFlareSpritePlaces[k][0]), int16_t(54 * kFlareSpritePlaces[k][1]), 0,
                                 &ViewClipRect);
        }
        const auto t2 = Clock::now();
        flares += std::chrono::duration<double>(t1 - t0).count();
        direct += std::chrono::duration<double>(t2 - t1).count();
    }
    const double frames = double(state.iterations()) * kFrames;
    // What the pass drew in the last frame: it must be the six reflections.
    state.counters["reflections"] = reflections;
    state.counters["frame_us"] = flares * 1e6 / frames;
    state.counters["direct_us"] = direct * 1e6 / frames;
    state.counters["ratio_vs_direct"] = direct > 0 ? flares / direct : 0;
    dunResetWorld();
    P3DShutdown();
    ScreenSurface = Surface{};
    RowOffsetSurface = nullptr;
    CurrentPalette = nullptr;
}
BENCHMARK(BM_LensFlareFrame8)->Unit(benchmark::kMillisecond);

}  // namespace
