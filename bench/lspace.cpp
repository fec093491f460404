// The local-space viewer for one frame over a 640 x 336 16-bit view (the
// command station's) with 40 sample raiders round the target, its ring
// globe and every ship's faces as wireframes, reported as a ratio to drawing
// the very lines the viewer drew (recorded from one frame) with the 2D line
// routine, clipped to the view, in the same run. Run from the build folder (the
// data root is ./data, or $RUVO_DATA).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <random>
#include <vector>

#include "RES/gfx2d.h"
#include "core/frame.h"
#include "core/log.h"
#include "core/options.h"
#include "hud/missionlog.h"
#include "os/paths.h"
#include "platform/display.h"
#include "present/effects.h"
#include "present/hooks.h"
#include "present/lspace.h"
#include "present/lwo/lwo.h"
#include "present/p3d.h"
#include "present/scene.h"
#include "present/views.h"
#include "world/messages.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/records.h"

namespace {

struct Line {
    int x0, y0, x1, y1, colour;
};
std::vector<Line> gRecorded;
void RecordLine(vt_pixelmap *, int x0, int y0, int x1, int y1, int colour) {
    gRecorded.push_back({x0, y0, x1, y1, colour});
}
const PresentHudHooks kRecording = {RecordLine, nullptr, nullptr};

using Clock = std::chrono::steady_clock;
constexpr int kFrames = 100;
constexpr int kShips = 40;
constexpr int kWidth = 640, kHeight = 336;

SceneItem *Place(void *model, float x, float y, float z) {
    SceneItem *item = dunCreateSceneItem();
    dunLinkSceneItem(item, 0);
    Sim *sim = dunAttachSim(item, nullptr);
    TDP *root = dunAttachTDP(item);
    sim->position = {x, y, z};
    MatIdentity(sim->matrix);
    sim->radius = 1400;
    root->model = static_cast<vt_model *>(model);
    root->radius = 1400;
    return item;
}

void BM_LocalSpaceViewer40Ships(benchmark::State &state) {
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
    std::vector<uint8_t> pixels(size_t(kWidth) * 480 * 2);
    ScreenSurface = Surface{pixels.data(), int16_t(kWidth), int16_t(480), 0, 0, int16_t(kWidth * 2), 2};
    std::vector<uint8_t> palette(1024);
    for (int i = 0; i < 256; ++i) palette[4 * i] = palette[4 * i + 1] = palette[4 * i + 2] = uint8_t(i);
    CurrentPalette = palette.data();
    dunFrameCounter = 1;
    dunFrameStep = 2;
    P3DInstallWorldHooks();
    hudInstallPresentHooks();
    dunMsgInit();
    dunResetPools();
    dunResetWorld();
    P3DInitialise();
    void *raider = LwoLoadModel("vek\\resource\\shapes\\raider.lwo", nullptr, nullptr);
    if (!raider) {
        state.SkipWithError("no raider model");
        return;
    }
    // The target in the middle, the others in a loose ball round it.
    std::mt19937 random(3);
    std::uniform_real_distribution<float> spread(-20000.0f, 20000.0f);
    SceneItem *target = Place(raider, 0, 0, 0);
    for (int i = 1; i < kShips; ++i) Place(raider, spread(random), spread(random) / 4, spread(random));
    LSpaceViewerReset();
    LSpaceSetTarget(target);
    gLSpaceViewer.blend = 0;
    gLSpaceViewer.wantDistance = gLSpaceViewer.distance = 60000 * 1000;
    int16_t dirty[4] = {};
    P3DPane pane = {&pane, 0, 0, int16_t(kWidth), int16_t(kHeight), nullptr, dirty, nullptr, nullptr};
    for (int i = 0; i < 10; ++i) LSpaceViewerDraw(&pane);  // the orbit settles
    // One frame recorded: the peer draws the same lines.
    P3DSetHudHooks(&kRecording);
    gLSpaceLines = 0;
    LSpaceViewerDraw(&pane);
    hudInstallPresentHooks();
    const int lines = int(gLSpaceLines);
    int shipsDrawn = 0;
    for (int i = 0; i < gLSpaceDrawnCount; ++i) shipsDrawn += gLSpaceDrawn[i].lines > 0;
    std::vector<Line> peer;
    // The viewer's points have their origin at the view's centre.
    for (const Line &l : gRecorded)
        peer.push_back({l.x0 + kWidth / 2, l.y0 + kHeight / 2, l.x1 + kWidth / 2, l.y1 + kHeight / 2, l.colour});
    const ClipRect clip = {0, 0, kWidth - 1, kHeight - 1};
    double viewer = 0, plain = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        for (int i = 0; i < kFrames; ++i) {
            LSpaceViewerDraw(&pane);
            benchmark::ClobberMemory();
        }
        const auto t1 = Clock::now();
        for (int i = 0; i < kFrames; ++i) {
            // The viewer clears its view first: so does the peer.
            FillRect(&ScreenSurface, 0, 0, 0, kWidth - 1, kHeight - 1);
            for (const Line &l : peer) DrawLineClipped(&ScreenSurface, l.x0, l.y0, l.x1, l.y1, l.colour, &clip);
            benchmark::ClobberMemory();
        }
        const auto t2 = Clock::now();
        viewer += std::chrono::duration<double>(t1 - t0).count();
        plain += std::chrono::duration<double>(t2 - t1).count();
    }
    const double frames = double(state.iterations()) * kFrames;
    state.counters["viewer_us"] = viewer * 1e6 / frames;
    state.counters["lines_us"] = plain * 1e6 / frames;
    state.counters["ratio_vs_lines"] = plain > 0 ? viewer / plain : 0;
    state.counters["lines"] = lines;
    state.counters["ships_drawn"] = shipsDrawn;
    LSpaceViewerReset();
    dunResetWorld();
    P3DShutdown();
    ScreenSurface = Surface{};
    CurrentPalette = nullptr;
    if (chdir(old) != 0) state.SkipWithError("cannot go back");
}
BENCHMARK(BM_LocalSpaceViewer40Ships)->Unit(benchmark::kMicrosecond);

}  // namespace
