// The first sample mission started from the command line, headless, at 8
// and 16 bits: the cockpit's 3D view shows the raider ahead of the player's
// ship, and once the mission is under way its scripted camera cut chases
// the raider, which then fills a good part of the view.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "RES/gfx2d.h"
#include "RES/resman.h"
#include "RES/util.h"
#include "ai/brain.h"
#include "app/clock.h"
#include "app/floor_hooks.h"
#include "app/game.h"
#include "app/options.h"
#include "app/shell.h"
#include "common/headless_mission.h"
#include "common/sample_root.h"
#include "core/frame.h"
#include "core/options.h"
#include "gui/front.h"
#include "gui/options.h"
#include "gui/screen.h"
#include "gui/window.h"
#include "hud/draw.h"
#include "platform/display.h"
#include "platform/hooks.h"
#include "platform/keyboard.h"
#include "platform/smack.h"
#include "platform/video.h"
#include "present/cameras.h"
#include "present/effects/nav_lights.h"
#include "present/effects/particles.h"
#include "present/p3d.h"
#include "present/sky/stars.h"
#include "present/views.h"
#include "render/drivers/output.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"
#include "script/mission.h"
#include "script/script.h"
#include "script/symbols.h"
#include "world/messages.h"
#include "world/objlist.h"
#include "world/records.h"

namespace {

// The raider's attack order would bring it in: these views measure it
// where the mission puts it, so it is given its class's default orders,
// which hold it there.
void HoldTheRaider() {
    if (auto *raider = static_cast<SceneItem *>(GetScriptSymbolValue("Enemy"))) dunai_DefaultOrders(raider);
}

class MissionView : public testing::TestWithParam<int> {
protected:
    std::unique_ptr<ruvotest::SampleRoot> root;
    bool running = false;
    void SetUp() override {
        root = std::make_unique<ruvotest::SampleRoot>();
        // The flight's views, not the briefing ("nobrief").
        optNoBrief = 0xFF;
        ASSERT_TRUE(ruvotest::StartHeadlessMission("vek\\resource\\scripts\\missions\\mission01.scr", GetParam()));
        running = true;
        HoldTheRaider();
        // The cut's distance and look-around are random draws: the same
        // draws whatever ran before.
        dunSeedRand15(1);
    }
    void TearDown() override {
        if (running) {
            // The mission's end gives its world, resources and 3D scene back.
            ruvotest::StopHeadlessMission();
        }
        root.reset();
    }
    // With RUVO_SNAPSHOT_DIR set, the screen's bytes (and, at 8 bits, the
    // palette) for a look at them.
    static void Snapshot(const char *what) {
        ruvotest::SnapshotScreen("mission01_" + std::string(what) + "_" + std::to_string(PixelDepth));
    }
    static void Turn() { ruvotest::HeadlessTurn(); }
    // Pixels of the object's screen rectangle (as the renderer reported it,
    // from the view's centre) that the frame drew in something other than
    // the view's clear colour or the HUD's overlay colour, whose lines cross
    // the view while the HUD opens.
    static int Drawn(const SceneItem *item) {
        const GuiWindow *w = gGuiMainView;
        const Surface &s = ScreenSurface;
        const TDP *root = item->avatar->root;
        if (!w || !s.pixels || root->drawnFrame != dunFrameCounter) return -1;
        const int cx = w->rect[0] + w->w / 2, cy = w->rect[1] + w->h / 2;
        auto at = [&](int x, int y) -> unsigned {
            const uint8_t *p = s.pixels + size_t(y) * s.pitch;
            if (PixelDepth == 8) return p[x];
            uint16_t v;
            std::memcpy(&v, p + 2 * x, 2);
            return v;
        };
        const unsigned background = at(w->rect[0] + 1, w->rect[3] - 1), hud = hudPixelColour(HudColour);
        int n = 0;
        for (int y = std::max(cy + root->screenRect[1], int(w->rect[1]));
             y <= std::min(cy + root->screenRect[3], int(w->rect[3])); ++y)
            for (int x = std::max(cx + root->screenRect[0], int(w->rect[0]));
                 x <= std::min(cx + root->screenRect[2], int(w->rect[2])); ++x) {
                const unsigned v = at(x, y);
                n += v != background && v != hud;
            }
        return n;
    }
};

TEST_P(MissionView, TheScriptedCutChasesTheRaiderAcrossTheView) {
    SceneItem *raider = static_cast<SceneItem *>(GetScriptSymbolValue("Enemy"));
    ASSERT_NE(raider, nullptr);
    ASSERT_NE(gGuiMainView, nullptr);
    // From the cockpit the raider is a small shape ahead.
    for (int i = 0; i < 10; ++i) Turn();
    ASSERT_EQ(gCinematicSubject == raider, false);
    const int cockpit = Drawn(raider);
    Snapshot("cockpit");
    EXPECT_GT(cockpit, 0);
    int turns = 0;
    while (gCinematicSubject != raider && turns++ < 200) Turn();
    ASSERT_EQ(gCinematicSubject, raider) << "the cut three seconds into the flight";
    EXPECT_EQ(gEventRow, kScriptCameraRow);
    EXPECT_EQ(dunPlayerCamera->control, CameraChase);
    Turn();
    Turn();
    EXPECT_EQ(P3DViewedObject, raider);
    const int chase = Drawn(raider);
    EXPECT_GT(chase, 1000) << GetParam() << " bits";
    EXPECT_GT(chase, 2 * cockpit);
    Snapshot("chase");
    // The camera's hold runs out and the view goes back to the cockpit.
    turns = 0;
    while (gCinematicView && turns++ < 600) Turn();
    EXPECT_EQ(gCinematicView, 0);
    // The particle pass and the effect state are the presentation's own.
    std::ifstream in("debug.txt", std::ios::binary);
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const char *name :
         {"P3DResetEffectState", "P3DParticlePass", "P3DForgetSunModel", "P3DLoadFlareShells", "P3DCreateFlareModels",
          "P3DClearLightSlots", "P3DUpdateLights", "P3DSetUpDetailModels", "P3DPlaceAllSkyBodies",
          "P3DCollectSkyBodies", "P3DRenderFlareBatch", "P3DLensFlarePass", "P3DScrollUnlitTexture"})
        EXPECT_EQ(log.find(std::string("not built yet: ") + name), std::string::npos) << name;
}

// Pairs of side-by-side lit pixels in a band of open sky across the view,
// below the text feed: points of still stars rarely touch, while a turn
// draws every bright star as a streak across the band.
int SkyPairs() {
    const GuiWindow *w = gGuiMainView;
    const Surface &s = ScreenSurface;
    if (!w || !s.pixels) return -1;
    auto at = [&](int x, int y) -> unsigned {
        const uint8_t *p = s.pixels + size_t(y) * s.pitch;
        if (PixelDepth == 8) return p[x];
        uint16_t v;
        std::memcpy(&v, p + 2 * x, 2);
        return v;
    };
    const unsigned background = at(w->rect[0] + 1, w->rect[3] - 1), hud = hudPixelColour(HudColour);
    auto lit = [&](int x, int y) { return at(x, y) != background && at(x, y) != hud; };
    int pairs = 0;
    for (int y = w->rect[1] + 45; y < w->rect[1] + 110; ++y)
        for (int x = w->rect[0] + 20; x < w->rect[2] - 20; ++x)
            pairs += lit(x, y) && (lit(x + 1, y) || lit(x, y + 1) || lit(x + 1, y + 1) || lit(x - 1, y + 1));
    return pairs;
}

TEST_P(MissionView, StarsStreakWhileTheShipTurnsAndNavLightsBlink) {
    constexpr uint8_t kRightArrow = 0x4D;
    for (int i = 0; i < 8; ++i) Turn();
    const int still = SkyPairs();
    Snapshot("stars_still");
    KeyDownTable[kRightArrow] = 1;
    int turning = 0;
    for (int i = 0; i < 30; ++i) {
        Turn();
        if (i >= 10) turning = std::max(turning, SkyPairs());
    }
    Snapshot("stars_turning");
    KeyDownTable[kRightArrow] = 0;
    EXPECT_LT(still, 12) << "still stars are points";
    EXPECT_GT(turning, 3 * still + 20) << "a turn streaks them";
    // The raider's two wing lights blink 40 ticks on, 40 off (20 frames of
    // 2 ticks), the second 20 ticks behind the first; at 8 bits each lit one
    // brightens the screen where it projects.
    SceneItem *raider = static_cast<SceneItem *>(GetScriptSymbolValue("Enemy"));
    ASSERT_NE(raider, nullptr);
    const ParticleSystem *lights = NavLightSystem(raider);
    ASSERT_NE(lights, nullptr);
    ASSERT_EQ(lights->count, 3) << "the engine glow and two wing lights";
    // Bright pixels (by the palette) round each light's projected point,
    // summed over the frames it is lit and over those it is dark.
    auto bright = [](const Particle &p) {
        const uint8_t *pal = LastPalette;
        if (PixelDepth != 8 || !pal || p.screen.z <= 0) return 0;
        int n = 0;
        for (int y = int(p.screen.y) - 10; y <= int(p.screen.y) + 10; ++y)
            for (int x = int(p.screen.x) - 10; x <= int(p.screen.x) + 10; ++x) {
                if (x < 0 || y < 0 || x >= ScreenSurface.width || y >= ScreenSurface.height) continue;
                const uint8_t *e = pal + 4 * ScreenSurface.pixels[size_t(y) * ScreenSurface.pitch + x];
                n += e[0] + e[1] + e[2] > 360;
            }
        return n;
    };
    // Seen from the chase cut, close behind the raider: the cut draws its
    // distance at random, up to twice its nearest, where the raider would
    // show its far model and no lights; the nearest is taken.
    for (int turns = 0; gCinematicSubject != raider && turns < 400; ++turns) Turn();
    ASSERT_EQ(gCinematicSubject, raider);
    gCinematicDistance = 1.0f;
    Turn();
    Turn();
    std::string seen[2];
    int litFrames = 0, darkFrames = 0, litBright = 0, darkBright = 0;
    for (int i = 0; i < 100; ++i) {
        Turn();
        for (int k = 0; k < 2; ++k) {
            const Particle &p = lights->points[1 + k];
            seen[k] += p.life ? '#' : '.';
            if (p.life) ++litFrames, litBright += bright(p);
            else ++darkFrames, darkBright += bright(p);
        }
    }
    for (const std::string &s : seen) {
        EXPECT_NE(s.find(std::string(20, '#') + std::string(20, '.')), std::string::npos) << s;
        EXPECT_EQ(s.find(std::string(21, '#')), std::string::npos) << s;
        EXPECT_EQ(s.find(std::string(21, '.')), std::string::npos) << s;
    }
    EXPECT_NE(seen[0], seen[1]) << "the second light runs behind the first";
    // At 8 bits a lit light's glow brightens its place on the screen.
    if (PixelDepth == 8) {
        ASSERT_GT(litFrames, 0);
        ASSERT_GT(darkFrames, 0);
        EXPECT_GT(litBright / litFrames, darkBright / darkFrames + 5) << litBright << " " << darkBright;
    }
    std::ifstream in("debug.txt", std::ios::binary);
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const char *name :
         {"P3DBuildEffectModels", "AddNavLight", "P3DGenerateStarfield", "P3DSetSkyForSystem", "P3DDrawStarField"})
        EXPECT_EQ(log.find(std::string("not built yet: ") + name), std::string::npos) << name;
}

// The fire key held with the raider as the target: the player's beam bolts
// show in the view on their way to it.
TEST_P(MissionView, ThePlayersBoltsShowOnTheirWayToTheRaider) {
    constexpr uint8_t kSpace = 0x39;
    SceneItem *raider = static_cast<SceneItem *>(GetScriptSymbolValue("Enemy"));
    ASSERT_NE(raider, nullptr);
    for (int i = 0; i < 10; ++i) Turn();
    int bolts = 0, shown = 0;
    for (int i = 0; i < 40 && shown < 4; ++i) {
        dunPlayerShip->sim->goal = raider;
        if (Weapon *w = dunPlayerShip->sim->currentWeapon; w && (w->flags & WeaponFlag::Charge)) {
            w->charge = 10.0f;
            w->flags &= ~WeaponFlag::Empty;
        }
        KeyDownTable[kSpace] = 1;
        Turn();
        SceneItem *head = dunSceneListHead();
        for (SceneItem *it = head->next; it != head; it = it->next) {
            if (!it->avatar || !(it->avatar->flags & AvatarFlag::BeamRound) || it->avatar->partner != dunPlayerShip)
                continue;
            ++bolts;
            const vt_actor *actor = it->avatar->root->actor;
            ASSERT_NE(actor, nullptr);
            ASSERT_NE(actor->model, nullptr);
            // The beam model of the weapon's kind, shown while it is far.
            EXPECT_NE(it->avatar->root->model, nullptr);
            // Far, a stretched beam; near, at 8 bits, a head-on bolt's
            // trail of points.
            bool seen = std::strcmp(actor->model->identifier, "PlasmaBeam") == 0 && Drawn(it) > 0;
            if (const ParticleSystem *trail = ParticleSystemOf(it->avatar->root->child);
                trail && !(trail->flags & ParticleFlag::Hidden))
                for (int k = 0; k < trail->count; ++k) seen |= trail->points[k].screen.z > 0;
            if (seen && ++shown == 4) Snapshot("bolts");
        }
    }
    KeyDownTable[kSpace] = 0;
    EXPECT_GT(bolts, 0);
    EXPECT_EQ(shown, 4) << bolts << " bolts in flight";
}

INSTANTIATE_TEST_SUITE_P(Depths, MissionView, testing::Values(8, 16));

}  // namespace

namespace {

// What the first mission's chase cut draws of the raider in one display
// mode: its pixels (those of the view not in its clear colour), their
// bounding box, and the pixels outside the view that drawing the view
// changed.
struct RaiderFrame {
    int pixels = 0;
    int box[4] = {9999, 9999, -1, -1};
    int outsideChanged = 0;
};

RaiderFrame FlyToTheCut(const char *const *switches, size_t count) {
    RaiderFrame f;
    ruvotest::SampleRoot root;
    // Each mode from a start as fresh as a new process's.
    ResetOptions();
    ResetOptionTable();
    ResetGameState();
    gQuit = 0;
    VideoPlaying = 0;
    CardMode = 0;
    SelectFullScreenDriver();
    PixelDepth = 8;
    BytesPerPixel = 1;
    for (size_t i = 0; i < count; ++i) parseCommandSwitch(switches[i]);
    // The flight's views, not the briefing ("nobrief"): the cut comes three
    // seconds into the flight.
    optNoBrief = 0xFF;
    EXPECT_TRUE(ruvotest::StartHeadlessMission("vek\\resource\\scripts\\missions\\mission01.scr"));
    HoldTheRaider();
    dunSeedRand15(1);
    SceneItem *raider = static_cast<SceneItem *>(GetScriptSymbolValue("Enemy"));
    for (int turns = 0; raider && gCinematicSubject != raider && turns < 200; ++turns) ruvotest::HeadlessTurn();
    for (int i = 0; i < 3; ++i) ruvotest::HeadlessTurn();
    GuiWindow *view = gGuiMainView;
    const Surface &s = *TheDisplayMode.screen;
    if (raider && view && s.pixels) {
        const int bytes = PixelDepth == 8 ? 1 : 2;
        // The view drawn once more over the frame the game showed: nothing
        // outside it may change.
        DisplayBeginFrame(&TheDisplayMode);
        std::vector<uint8_t> before(s.pixels, s.pixels + size_t(s.pitch) * s.height);
        // The raider alone: the background stars (random draws of their
        // own in each mode) are left out of this drawing.
        const int16_t stars = gStars.count;
        gStars.count = 0;
        guiRunViewPane(view, P3DDrawViewWindow);
        gStars.count = stars;
        guiWindowRect(view, nullptr, nullptr);
        auto at = [&](const uint8_t *p, int x, int y) -> unsigned {
            const uint8_t *row = p + size_t(y) * s.pitch;
            if (bytes == 1) return row[x];
            uint16_t v;
            std::memcpy(&v, row + 2 * x, 2);
            return v;
        };
        const unsigned background = at(s.pixels, view->rect[0] + 1, view->rect[3] - 1);
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x) {
                const bool inside =
                    x >= view->rect[0] && x <= view->rect[2] && y >= view->rect[1] && y <= view->rect[3];
                if (!inside) {
                    f.outsideChanged += at(s.pixels, x, y) != at(before.data(), x, y);
                    continue;
                }
                // The text feed types the dialogue along the top.
                if (y < view->rect[1] + 40) continue;
                if (at(s.pixels, x, y) == background) continue;
                ++f.pixels;
                f.box[0] = std::min(f.box[0], x);
                f.box[1] = std::min(f.box[1], y);
                f.box[2] = std::max(f.box[2], x);
                f.box[3] = std::max(f.box[3], y);
            }
    }
    ruvotest::StopHeadlessMission();
    P3DShutdown();
    // The next start (or test) finds the default driver again.
    CardMode = 0;
    SelectFullScreenDriver();
    PixelDepth = 8;
    BytesPerPixel = 1;
    return f;
}

// One scene of the first mission (the chase cut on the raider, from the same
// random draws) at 8 bits, at 16 bits and through the 3D card's device: the
// raider covers about as many pixels in about the same place in each, and
// drawing the view changes nothing outside it.
TEST(FrameAgreement, TheRaiderLooksTheSameInEveryMode) {
    // The nav lights, glows on the card and sprites in software, are left
    // out: the raider's own shape is compared.
    static const char *const k8[] = {"-w", "-nonavlights"}, *const k16[] = {"-w", "-16", "-nonavlights"},
                             *const kCard[] = {"-b", "-16", "-nonavlights"};
    const RaiderFrame frames[3] = {FlyToTheCut(k8, 2), FlyToTheCut(k16, 3), FlyToTheCut(kCard, 3)};
    const char *const names[3] = {"8 bits", "16 bits", "3D card"};
    for (int m = 0; m < 3; ++m) {
        const RaiderFrame &f = frames[m];
        const RaiderFrame &ref = frames[0];
        EXPECT_GT(f.pixels, 1000) << names[m];
        EXPECT_EQ(f.outsideChanged, 0) << names[m];
        for (int k = 0; k < 4; ++k) EXPECT_NEAR(f.box[k], ref.box[k], 8) << names[m] << " box " << k;
        // Faces turned from the light count too: the ramps' darkest shades,
        // the shade table's tint, the card's ambient.
        EXPECT_NEAR(f.pixels, ref.pixels, ref.pixels / 20) << names[m];
    }
}

}  // namespace
