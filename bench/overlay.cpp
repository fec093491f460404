// The cockpit's status overlay for one frame over a 640 x 480 8-bit view
// (a ship in flight with a hull record, five missiles listed, a target time,
// waypoints and a scrolling key prompt's worth of text), reported as a ratio
// to copying the same area with the 2D blit in the same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "RES/font.h"
#include "RES/gfx2d.h"
#include "core/frame.h"
#include "core/log.h"
#include "core/options.h"
#include "hud/draw.h"
#include "hud/hud.h"
#include "hud/missionlog.h"
#include "platform/display.h"
#include "present/views.h"
#include "render/pmap/pixelmap.h"
#include "script/mission.h"
#include "world/messages.h"
#include "world/mission_state.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/records.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFrames = 200;
constexpr int kWidth = 640, kHeight = 480;

SceneItem *Ship(double z, const char *name) {
    SceneItem *item = dunCreateSceneItem();
    dunLinkSceneItem(item, 0);
    Sim *sim = dunAttachSim(item, nullptr);
    dunAttachTDP(item);
    sim->shipInfo = dunAllocShipInfo();
    sim->shipInfo->name = name;
    sim->flight = &sim->shipInfo->current;
    sim->position = {0, 0, z};
    return item;
}

void BM_CockpitOverlay(benchmark::State &state) {
    dunSetDebugSink([](const char *) {});
    PixelDepth = 8;
    std::vector<uint8_t> pixels(size_t(kWidth) * kHeight), source(pixels.size(), 3);
    Surface screen{pixels.data(), kWidth, kHeight, 0, 0, kWidth, 1};
    Surface copy{source.data(), kWidth, kHeight, 0, 0, kWidth, 1};
    TheDisplayMode.screen = &screen;
    dunMsgInit();
    dunResetPools();
    dunResetWorld();
    HudViewRect = {0, 0, kWidth - 1, kHeight - 1};
    vt_pixelmap view{};
    view.width = kWidth;
    view.height = kHeight;
    HudPixelmap = &view;
    HudOwnLines = 0xFF;

    SceneItem *player = Ship(0, "player");
    player->sim->shipInfo->damage.maximum = 100;
    player->sim->shipInfo->damage.damage = 25;
    player->sim->flight->p8x100 = 65000;
    player->sim->setSpeed = 20000;
    player->sim->forwardSpeed = 18000;
    dunPlayerShip = dunControlledObject = player;
    SceneItem *goal = Ship(2000000, "goal");
    std::vector<SceneItem *> missiles;
    for (int i = 0; i < 5; ++i) missiles.push_back(Ship(100000.0 * i, "MAG - SEEKER"));
    gTargetTime = 60000;
    gWaypointCount = 3;
    gMissionClock = 1234;

    std::vector<uint8_t> ink(5 * 7, 1);
    Surface glyph{ink.data(), 5, 7, 0, 7, 5, 1};
    BitmapFont font{};
    for (int c = 0; c < 256; ++c) font.glyph[c] = &glyph, font.advance[c] = 6;
    font.lineHeight = 10;
    HudFont = &font;
    dunFrameStep = 2;

    auto frameOnce = [&] {
        for (SceneItem *m : missiles) hudListMissile(m, goal, 0);
        hudDrawCockpitOverlay();
    };
    double overlay = 0, blit = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        for (int i = 0; i < kFrames; ++i) frameOnce();
        const auto t1 = Clock::now();
        for (int i = 0; i < kFrames; ++i) {
            BlitSurface(&screen, &copy, 0, 0);
            benchmark::ClobberMemory();
        }
        const auto t2 = Clock::now();
        overlay += std::chrono::duration<double>(t1 - t0).count();
        blit += std::chrono::duration<double>(t2 - t1).count();
    }
    const double frames = double(state.iterations()) * kFrames;
    state.counters["overlay_us"] = overlay * 1e6 / frames;
    state.counters["blit_us"] = blit * 1e6 / frames;
    state.counters["ratio_vs_blit"] = blit > 0 ? overlay / blit : 0;
    std::memset(pixels.data(), 0, pixels.size());
    frameOnce();
    int drawn = 0;
    for (uint8_t p : pixels) drawn += p != 0;
    state.counters["drawn_pixels"] = drawn;

    gTargetTime = 0;
    gWaypointCount = -1;
    dunPlayerShip = dunControlledObject = nullptr;
    HudPixelmap = nullptr;
    HudFont = nullptr;
    TheDisplayMode.screen = nullptr;
    dunResetWorld();
}
BENCHMARK(BM_CockpitOverlay)->Unit(benchmark::kMicrosecond);

}  // namespace
