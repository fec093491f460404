// The HUD's per-frame pass with the cockpit's full set shown (every element
// of a mission's set unhidden, the navigation station's radar sphere too)
// over a 640 x 480 16-bit view, with 50 labelled contacts in front of a ship
// moving at 300,000: reported as the time of a pass, as a fraction of a 60 Hz frame
// and as a ratio to clearing the screen with memset in the same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "RES/font.h"
#include "RES/gfx2d.h"
#include "ai/contacts.h"
#include "core/frame.h"
#include "core/log.h"
#include "core/options.h"
#include "hud/draw.h"
#include "hud/elements.h"
#include "hud/hud.h"
#include "platform/display.h"
#include "present/p3d.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"
#include "world/messages.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/records.h"
#include "world/simplace.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFrames = 100;
constexpr int kContacts = 50;
constexpr int kWidth = 640, kHeight = 480;

SceneItem *Object(double x, double y, double z, float radius) {
    SceneItem *item = dunCreateSceneItem();
    dunLinkSceneItem(item, 0);
    Sim *sim = dunAttachSim(item, nullptr);
    dunAttachTDP(item);
    sim->position = {x, y, z};
    sim->radius = radius;
    dunSyncFloatPosition(sim);
    return item;
}

SceneItem *Ship(double x, double y, double z, float radius) {
    SceneItem *item = Object(x, y, z, radius);
    item->sim->shipInfo = dunAllocShipInfo();
    item->avatar->flags |= AvatarFlag::Ship;
    return item;
}

void BM_HudPass(benchmark::State &state) {
    dunSetDebugSink([](const char *) {});
    PixelDepth = 16;
    std::vector<uint8_t> pixels(size_t(kWidth) * kHeight * 2);
    Surface screen{pixels.data(), kWidth, kHeight, 0, 0, kWidth * 2, 2};
    TheDisplayMode.screen = &screen;
    std::vector<uint8_t> palette(1024, 128);
    CurrentPalette = palette.data();
    dunFrameCounter = 1;
    dunMsgInit();
    dunResetPools();
    dunResetWorld();
    hudClearList();
    std::memset(dunContacts, 0, sizeof dunContacts);

    vt_pixelmap view{};
    view.width = kWidth;
    view.height = kHeight;
    view.origin_x = kWidth / 2;
    view.origin_y = kHeight / 2;
    HudPixelmap = &view;
    HudViewRect = {0, 0, kWidth - 1, kHeight - 1};
    HudProjectScale = kWidth / 2;
    gP3D.viewRect[0] = 0, gP3D.viewRect[1] = 0, gP3D.viewRect[2] = kWidth - 1, gP3D.viewRect[3] = kHeight - 1;
    gP3D.colourTarget = &view;
    gP3D.projectionScale = kWidth / 2;
    gP3D.zoomFactor = 1;
    gP3D.fieldOfView = 90;

    SceneItem *camera = Object(0, 0, 0, 10);
    SceneItem *player = Ship(0, 0, 0, 1000);
    player->sim->speed = 300000;
    player->sim->velocity = {0, 0, 300000};
    dunPlayerShip = dunControlledObject = player;
    gP3D.viewObject = camera;

    // Fifty ships in a fan ahead, each drawn by the renderer this frame,
    // sides mixed; the first is selected and the navigation target.
    vt_actor actor{};
    for (int i = 0; i < kContacts; ++i) {
        const double x = (i % 10 - 4.5) * 30000, y = (i / 10 - 2) * 20000, z = 150000 + i * 4000;
        SceneItem *s = Ship(x, y, z, 1500);
        TDP *root = s->avatar->root;
        root->actor = &actor;
        const int16_t sx = int16_t(x * 320 / z), sy = int16_t(y * 320 / z);
        root->screenRect[0] = int16_t(sx - 8), root->screenRect[1] = int16_t(sy - 6);
        root->screenRect[2] = int16_t(sx + 8), root->screenRect[3] = int16_t(sy + 6);
        Contact &c = dunContacts[i];
        c.object = s;
        c.flags = ContactFlag::InUse | ContactFlag::Listed;
        c.side = (i % 3 == 0) ? 0x80 : (i % 3 == 1) ? 0x100 : 0x40;
        c.range = float(z);
    }
    dunCurrentContact = &dunContacts[0];
    dunNavigationTarget = dunWeaponTarget = dunContacts[0].object;

    // Labels in a font of solid 5 x 7 glyphs with an advance of 6, about the
    // size of the game's own.
    std::vector<uint8_t> ink(5 * 7, 1);
    Surface glyph{ink.data(), 5, 7, 0, 7, 5, 1};
    BitmapFont font{};
    for (int c = 0; c < 256; ++c) font.glyph[c] = &glyph, font.advance[c] = 6;
    font.lineHeight = 10;
    HudFont = &font;

    hudCreateCockpitSet();
    hudShowAll();
    hudOpen = 1;
    hudAnimDirection = hudAnimCounter = 0;
    dunFrameStep = 2;
    dunFrameSeconds = 0.02f;

    auto frameOnce = [&] {
        ++dunFrameCounter;
        for (int i = 0; i < kContacts; ++i) dunContacts[i].object->avatar->root->drawnFrame = dunFrameCounter;
        hudDrawAll();
        hudDrawInView(hudOrbSpheres[0]);
    };
    std::vector<uint8_t> scratch(pixels.size());
    double pass = 0, clear = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        for (int i = 0; i < kFrames; ++i) frameOnce();
        const auto t1 = Clock::now();
        for (int i = 0; i < kFrames; ++i) {
            std::memset(scratch.data(), i, scratch.size());
            benchmark::DoNotOptimize(scratch.data());
            benchmark::ClobberMemory();
        }
        const auto t2 = Clock::now();
        pass += std::chrono::duration<double>(t1 - t0).count();
        clear += std::chrono::duration<double>(t2 - t1).count();
    }
    const double frames = double(state.iterations()) * kFrames;
    state.counters["pass_ms"] = pass * 1e3 / frames;
    state.counters["fraction_of_60Hz_frame"] = pass / frames / (1.0 / 60);
    state.counters["memset_ms"] = clear * 1e3 / frames;
    state.counters["ratio_vs_memset"] = clear > 0 ? pass / clear : 0;
    state.counters["elements"] = hudCount;
    // What the last pass drew: pixels off the view's black.
    std::memset(pixels.data(), 0, pixels.size());
    frameOnce();
    int drawn = 0;
    for (size_t i = 0; i + 1 < pixels.size(); i += 2) drawn += pixels[i] || pixels[i + 1];
    state.counters["drawn_pixels"] = drawn;

    hudClearList();
    dunPlayerShip = dunControlledObject = nullptr;
    gP3D.viewObject = nullptr;
    gP3D.colourTarget = nullptr;
    HudPixelmap = nullptr;
    HudFont = nullptr;
    TheDisplayMode.screen = nullptr;
    dunResetWorld();
}
BENCHMARK(BM_HudPass)->Unit(benchmark::kMillisecond);

}  // namespace
