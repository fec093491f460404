// The third sample mission started from the command line, headless, at 8
// and 16 bits: its planet shows on a pool sphere with its generated
// textures, its sun throws six lens flares until a ship covers it, and the
// wingman flying away changes to its low-detail and then its far model.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "RES/util.h"
#include "app/clock.h"
#include "app/floor_hooks.h"
#include "app/game.h"
#include "app/options.h"
#include "app/shell.h"
#include "common/headless_mission.h"
#include "common/sample_root.h"
#include "core/frame.h"
#include "core/options.h"
#include "platform/display.h"
#include "platform/smack.h"
#include "present/p3d.h"
#include "present/scene.h"
#include "present/sky/flares.h"
#include "present/sky/planets.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"
#include "script/mission.h"
#include "script/symbols.h"
#include "world/objlist.h"
#include "world/records.h"

namespace {

uint32_t Fnv(const vt_pixelmap *m) {
    uint32_t h = 2166136261u;
    for (int y = 0; y < m->height; ++y) {
        const auto *row = static_cast<const uint8_t *>(m->pixels) + ptrdiff_t(m->base_y + y) * m->row_bytes;
        for (int x = 0; x < m->width; ++x) h = (h ^ row[m->base_x + x]) * 16777619u;
    }
    return h;
}

class PlanetView : public testing::TestWithParam<int> {
protected:
    std::unique_ptr<ruvotest::SampleRoot> root;
    bool running = false;
    void SetUp() override {
        root = std::make_unique<ruvotest::SampleRoot>();
        ASSERT_TRUE(ruvotest::StartHeadlessMission("vek\\resource\\scripts\\missions\\mission03.scr", GetParam(), 1));
        running = true;
    }
    void TearDown() override {
        if (running) {
            ruvotest::StopHeadlessMission();
        }
        root.reset();
    }
    static void Turn() { ruvotest::HeadlessTurn(); }
    // An object moved: its double position and its matrix's float one.
    static void Place(SceneItem *item, const Vec3d &p) {
        item->sim->position = p;
        item->sim->matrix.m[12] = float(p.x);
        item->sim->matrix.m[13] = float(p.y);
        item->sim->matrix.m[14] = float(p.z);
    }
    static SceneItem *Symbol(const char *name) { return static_cast<SceneItem *>(GetScriptSymbolValue(name)); }
    // With RUVO_SNAPSHOT_DIR set, the screen's bytes (and, at 8 bits, the
    // palette) for a look at them.
    static void Snapshot(const char *what) {
        ruvotest::SnapshotScreen("mission03_" + std::string(what) + "_" + std::to_string(PixelDepth));
    }
};

TEST_P(PlanetView, ThePlanetTheSunsFlaresAndTheFarWingman) {
    SceneItem *world = Symbol("World"), *sun = Symbol("Sun"), *wing = Symbol("Wing");
    ASSERT_NE(world, nullptr);
    ASSERT_NE(sun, nullptr);
    ASSERT_NE(wing, nullptr);
    // The arrival's flash over, the sky shows again.
    for (int i = 0; i < 200 && (i < 5 || gLightFx.reflectionsDrawn == 0); ++i) Turn();
    Snapshot("planet");
    // The flat "Simplest" proxies are one a shape, not one an object: the
    // library's registry holds far fewer than the ships and rocks that show
    // them.
    std::vector<const void *> proxies;
    int showing = 0;
    const auto walk = [&](auto &self, const TDP *t) -> void {
        for (; t; t = t->sibling) {
            for (const void *saved : t->savedModel) {
                const auto *m = static_cast<const vt_model *>(saved);
                if (!m || std::strcmp(m->identifier, "Simplest") != 0) continue;
                ++showing;
                if (std::find(proxies.begin(), proxies.end(), m) == proxies.end()) proxies.push_back(m);
            }
            self(self, t->child);
        }
    };
    SceneItem *head = dunSceneListHead();
    for (SceneItem *it = head->next; it != head; it = it->next)
        if (it->avatar) walk(walk, it->avatar->root);
    vt_model *registered[64];
    const int count = VtModelFindMany("Simplest", registered, 64);
    EXPECT_GE(count, int(proxies.size()));
    EXPECT_LT(2 * count, showing) << count << " proxies for " << showing << " parts";
    // The planet shows on a pool sphere with its two generated textures.
    const TDP *part = world->avatar->root;
    ASSERT_NE(part->actor, nullptr);
    EXPECT_EQ(part->actor->model, gPlanetPool.slots[0].model);
    const vt_pixelmap *m2 = VtMapFind("$b_0_  0_2.pix"), *m3 = VtMapFind("$b_0_  0_3.pix");
    ASSERT_NE(m2, nullptr);
    ASSERT_NE(m3, nullptr);
    EXPECT_EQ(Fnv(m2), 3718959730u);
    EXPECT_EQ(Fnv(m3), 2613724061u);
    // The sun in view throws its six reflections.
    EXPECT_EQ(gLightFx.reflectionsDrawn, 6);
    // A ship held still between the viewer and the sun covers all five
    // depth samples: no reflections; moved aside, they are back.
    const Vec3 velocity = wing->sim->velocity;
    const auto hold = [&](double along, double aside) {
        const Vec3d eye = gP3D.viewObject->sim->position, s = sun->sim->position;
        const Vec3d d{s.x - eye.x, s.y - eye.y, s.z - eye.z};
        const double n = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
        wing->sim->velocity = {0, 0, 0};
        Place(wing, {eye.x + d.x / n * along + aside, eye.y + d.y / n * along, eye.z + d.z / n * along});
    };
    // A frame after the flash the arrival puts the player at its place in
    // the system; the line to the sun is taken from there.
    for (int i = 0; i < 3; ++i) Turn();
    for (int i = 0; i < 3; ++i) {
        hold(8000, 0);
        Turn();
    }
    Snapshot("covered");
    EXPECT_EQ(gLightFx.reflectionsDrawn, 0);
    // The sun was queued all the same: without the depth test it shows.
    optNoZLock = 1;
    hold(8000, 0);
    Turn();
    optNoZLock = 0;
    EXPECT_EQ(gLightFx.reflectionsDrawn, 6);
    for (int i = 0; i < 3; ++i) {
        hold(8000, 20000);
        Turn();
    }
    EXPECT_EQ(gLightFx.reflectionsDrawn, 6);
    // The wingman flying away: back close ahead of the player first.
    const Vec3d at = dunPlayerShip->sim->position;
    // It flies on fast enough to be far before the mission jumps on to the
    // next system.
    Place(wing, {at.x, at.y - 400, at.z + 4000});
    wing->sim->velocity = {velocity.x * 3, velocity.y * 3, velocity.z * 3};
    // The wingman flying away: full, then its low model, then far.
    const TDP *wingRoot = wing->avatar->root;
    const void *full = wingRoot->savedModel[0], *low = wingRoot->savedModel[1], *far = wingRoot->savedModel[2];
    ASSERT_NE(low, nullptr);
    EXPECT_STREQ(static_cast<const vt_model *>(low)->identifier, "vek\\resource\\shapes\\corvette_LOW.lwo");
    bool sawFull = false, sawLow = false, sawFar = false;
    for (int i = 0; i < 250 && !sawFar; ++i) {
        Turn();
        const vt_model *shown = wingRoot->actor ? wingRoot->actor->model : nullptr;
        sawFull |= shown == full;
        sawLow |= sawFull && shown == low;
        sawFar |= sawLow && shown == far;
    }
    EXPECT_TRUE(sawFull);
    EXPECT_TRUE(sawLow);
    EXPECT_TRUE(sawFar);
    std::ifstream in("debug.txt", std::ios::binary);
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const char *name :
         {"P3DForgetSunModel", "P3DLoadFlareShells", "P3DCreateFlareModels", "P3DClearLightSlots", "P3DUpdateLights",
          "P3DSetUpDetailModels", "P3DPlaceAllSkyBodies", "P3DCollectSkyBodies", "P3DRenderFlareBatch",
          "P3DLensFlarePass", "P3DScrollUnlitTexture", "dunLoadSunModel", "dunLoadPlanetTexture", "P3DPlaceSkyBody"})
        EXPECT_EQ(log.find(std::string("not built yet: ") + name), std::string::npos) << name;
}

INSTANTIATE_TEST_SUITE_P(Depths, PlanetView, testing::Values(8, 16));

}  // namespace
