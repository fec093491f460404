// The software particle pass at full load: 20 systems of 250 points (the
// whole of pool A) in front of the camera, each frame moved by their mover,
// projected by the scene and drawn (streaks: at 16 bits each point's end is
// plotted after its depth test), in a 640 x 480 16-bit view; reported as
// the time of a frame and as a ratio to plotting the same 5000 points with
// the 2D pixel routine into the same buffer in the same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "RES/gfx2d.h"
#include "RES/util.h"
#include "core/frame.h"
#include "core/log.h"
#include "core/options.h"
#include "platform/display.h"
#include "present/effects.h"
#include "present/effects/particle_draw.h"
#include "present/effects/particles.h"
#include "present/p3d.h"
#include "present/scene.h"
#include "present/views.h"
#include "render/front/front.h"
#include "render/scene/scene.h"
#include "world/messages.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/records.h"
#include "world/step.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFrames = 50;
constexpr int kWidth = 640, kHeight = 480;

SceneItem *Place(float z) {
    SceneItem *item = dunCreateSceneItem();
    dunLinkSceneItem(item, 0);
    Sim *sim = dunAttachSim(item, nullptr);
    dunAttachTDP(item);
    dunSetDrawRoutines(item, dunCopySimToModel, P3DUpdatePresentation);
    sim->position = {0, 0, z};
    sim->matrix.m[14] = z;
    dunCopySimToModel(item);
    return item;
}

// Every point alive, spread over a box ahead, drifting slowly.
void Fill(ParticleSystem *ps, int seed) {
    for (int i = 0; i < ps->count; ++i) {
        Particle &p = ps->points[i];
        p.pos = {float((i * 37 + seed * 11) % 2000 - 1000) * 2, float((i * 53 + seed * 7) % 1500 - 750) * 2,
                 float(4000 + (i * 29 + seed * 13) % 4000)};
        p.vel = {float(i % 7 - 3), float(i % 5 - 2), 0};
        p.life = 30000;
        p.local = {0, 0, 0};
    }
}

void BM_ParticlePass16(benchmark::State &state) {
    ResetOptions();
    P3DResetStateDefaults();
    dunSetDebugSink([](const char *) {});
    PixelDepth = 16;
    BytesPerPixel = 2;
    std::vector<uint8_t> pixels(size_t(kWidth) * kHeight * 2);
    ScreenSurface = Surface{pixels.data(), kWidth, kHeight, 0, 0, kWidth * 2, 2};
    RowOffsetSurface = &ScreenSurface;
    BuildRowOffsetTable();
    std::vector<uint8_t> palette(1024);
    for (int i = 0; i < 256; ++i) palette[4 * size_t(i)] = palette[4 * size_t(i) + 1] = uint8_t(i);
    CurrentPalette = palette.data();
    dunFrameCounter = 1;
    dunFrameStep = 2;
    dunFrameSeconds = 0.02f;
    // The world reaches the presentation through its table, as in the game.
    P3DInstallWorldHooks();
    dunMsgInit();
    dunResetPools();
    dunResetWorld();
    P3DInitialise();
    SceneItem *camera = Place(0);
    SceneItem *owner = Place(6000);
    std::vector<ParticleSystem *> systems;
    for (int s = 0; s < kMaxLargeParticleSystems; ++s)
        systems.push_back(ParticleSystemOf(CreateParticleSystem(owner, nullptr, 2, 0x10, 100, 250, 30000, 0, 0, 360)));
    int16_t dirty[4] = {};
    P3DPane view = {&view, 0, 0, kWidth, kHeight, &camera, dirty, nullptr, nullptr};
    StationId = 1;
    // One whole frame builds the scene and sets the camera and the view's
    // buffers up; the measured frames are the particles' own work. (A system
    // without a live point would leave its tree in it.)
    for (size_t s = 0; s < systems.size(); ++s) Fill(systems[s], int(s));
    P3DDrawViewWindow(&view);
    double pass = 0, plot = 0;
    int drawn = 0;
    for (auto _ : state) {
        for (size_t s = 0; s < systems.size(); ++s) Fill(systems[s], int(s));
        const auto t0 = Clock::now();
        for (int f = 0; f < kFrames; ++f) {
            ++dunFrameCounter;
            P3DUpdatePresentation(owner);
            VtZbSceneRender(gP3D.mainWorld, gP3D.mainCamera, gP3D.colourTarget, gP3D.depthTarget);
            P3DRenderParticles(false);
        }
        const auto t1 = Clock::now();
        for (int f = 0; f < kFrames; ++f) {
            for (const ParticleSystem *ps : systems)
                for (int i = 0; i < ps->count; ++i) {
                    const Particle &p = ps->points[i];
                    PutScreenPixel16(uint16_t(i + f), int(p.screen.x), int(p.screen.y));
                }
            benchmark::ClobberMemory();
        }
        const auto t2 = Clock::now();
        pass += std::chrono::duration<double>(t1 - t0).count();
        plot += std::chrono::duration<double>(t2 - t1).count();
    }
    for (const ParticleSystem *ps : systems)
        for (int i = 0; i < ps->count; ++i) drawn += ps->points[i].screen.z > 0;
    const double frames = double(state.iterations()) * kFrames;
    state.counters["frame_ms"] = pass * 1e3 / frames;
    state.counters["plot_ms"] = plot * 1e3 / frames;
    state.counters["ratio_vs_plot"] = plot > 0 ? pass / plot : 0;
    state.counters["points_on_screen"] = drawn;
    dunResetWorld();
    P3DShutdown();
    ScreenSurface = Surface{};
    RowOffsetSurface = nullptr;
    CurrentPalette = nullptr;
}

BENCHMARK(BM_ParticlePass16)->Unit(benchmark::kMillisecond);

}  // namespace
