// The sixth sample mission, "Drone Run", started from the command line and
// played headless with a fixed frame step: the drone rams the player's
// corvette, its collision damage destroys it, the particle pass draws the
// explosion over the view, the wreck blows its pieces off one by one, and
// once the wreck has gone no particle system is left.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "RES/resman.h"
#include "RES/util.h"
#include "ai/scores.h"
#include "app/clock.h"
#include "app/floor_hooks.h"
#include "app/game.h"
#include "app/options.h"
#include "app/shell.h"
#include "common/headless_mission.h"
#include "common/sample_root.h"
#include "core/frame.h"
#include "core/options.h"
#include "gui/screen.h"
#include "gui/window.h"
#include "platform/display.h"
#include "platform/keyboard.h"
#include "platform/smack.h"
#include "present/cameras.h"
#include "present/effects.h"
#include "present/p3d.h"
#include "present/scene.h"
#include "render/scene/scene.h"
#include "script/mission.h"
#include "script/script.h"
#include "script/symbols.h"
#include "world/handle.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/records.h"

namespace {

// The view's pixels before the particle pass, and how many of them the pass
// changed in the last frame.
std::vector<uint8_t> gBefore;
int gParticlePixels;

size_t ViewBytes(int *x0, int *y0, int *x1, int *y1) {
    const GuiWindow *w = gGuiMainView;
    if (!w || !ScreenSurface.pixels) return 0;
    *x0 = w->rect[0];
    *y0 = w->rect[1];
    *x1 = w->rect[0] + w->w - 1;
    *y1 = w->rect[1] + w->h - 1;
    return size_t(ScreenSurface.pitch) * ScreenSurface.height;
}

void WatchParticlePass(const char *mark) {
    int x0, y0, x1, y1;
    const size_t bytes = ViewBytes(&x0, &y0, &x1, &y1);
    if (!bytes) return;
    if (std::strcmp(mark, "OBJECTS") == 0) {
        gBefore.assign(ScreenSurface.pixels, ScreenSurface.pixels + bytes);
        return;
    }
    if (std::strcmp(mark, "PARTICLES") != 0 || gBefore.size() != bytes) return;
    const int depth = PixelDepth == 16 ? 2 : 1;
    int n = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const size_t at = size_t(y) * ScreenSurface.pitch + size_t(x) * depth;
            n += std::memcmp(ScreenSurface.pixels + at, gBefore.data() + at, size_t(depth)) != 0;
        }
    gParticlePixels = n;
}

// Effect systems in use; the nav lights of the ships still flying stay.
int SystemsInUse() {
    int n = 0;
    for (const ParticleSystem &ps : dunLargeParticlePool) n += ps.flags & 1;
    for (const ParticleSystem &ps : dunSmallParticlePool) {
        const SceneItem *owner = dunItemFromHandle(ps.owner);
        const bool lights = (ps.flags & ParticleFlag::NavLights) && owner && (owner->flags & SceneFlag::InUse);
        n += (ps.flags & 1) && !lights;
    }
    return n;
}

// The wreck a destruction left: the object whose control routine blows its
// parts off.
SceneItem *Wreck() {
    SceneItem *head = dunSceneListHead();
    for (SceneItem *o = head->next; o && o != head; o = o->next)
        if ((o->flags & SceneFlag::InUse) && o->control == WreckBreakUpControl) return o;
    return nullptr;
}

// The wreck's pieces (its root's chain of parts) and how many of them are
// still shown.
void Pieces(const SceneItem *wreck, int *pieces, int *shown) {
    *pieces = *shown = 0;
    for (const TDP *t = wreck->avatar->root->sibling; t; t = t->sibling) {
        ++*pieces;
        *shown += (t->flags & TDPFlag::HasActor) != 0;
    }
}

class DroneRun : public testing::TestWithParam<int> {
protected:
    std::unique_ptr<ruvotest::SampleRoot> root;
    bool running = false;
    void SetUp() override {
        root = std::make_unique<ruvotest::SampleRoot>();
        ASSERT_TRUE(ruvotest::StartHeadlessMission("vek\\resource\\scripts\\missions\\mission06.scr", GetParam(), 1));
        running = true;
        gParticlePixels = 0;
        gP3DMarkObserver = WatchParticlePass;
    }
    void TearDown() override {
        gP3DMarkObserver = nullptr;
        gBefore.clear();
        if (running) {
            ruvotest::StopHeadlessMission();
        }
        root.reset();
    }
    // One frame of 2 centiseconds.
    static void Turn() { ruvotest::HeadlessTurn(); }
    // With RUVO_SNAPSHOT_DIR set, the screen's bytes (and, at 8 bits, the
    // palette) for a look at them.
    static void Snapshot(const char *what) {
        ruvotest::SnapshotScreen("mission06_" + std::string(what) + "_" + std::to_string(PixelDepth));
    }
};

TEST_P(DroneRun, TheDroneRamsThePlayerAndBreaksUp) {
    auto *drone = static_cast<SceneItem *>(GetScriptSymbolValue("Drone"));
    ASSERT_NE(drone, nullptr);
    int turns = 0;
    while (!Wreck() && turns++ < 500) Turn();
    SceneItem *wreck = Wreck();
    ASSERT_NE(wreck, nullptr) << "the drone was not destroyed in " << turns << " frames";
    EXPECT_TRUE(!(drone->flags & SceneFlag::InUse) || (drone->sim->flags & SimFlag::Dead));
    EXPECT_TRUE(dunPlayerShip && (dunPlayerShip->flags & SceneFlag::InUse)) << "the corvette rode it out";
    int pieces = 0, shown = 0;
    Pieces(wreck, &pieces, &shown);
    EXPECT_GE(pieces, 2);

    // The explosion fills the cockpit's view as it flies past. Its sprites
    // glow through the light tables, which only 8-bit displays have.
    int most = 0;
    for (int i = 0; i < 10; ++i) {
        Turn();
        if (gParticlePixels > most) {
            most = gParticlePixels;
            Snapshot("explosion");
        }
    }
    if (GetParam() == 8) {
        EXPECT_GT(most, 500);
    }

    // The wreck blows its pieces off one by one and goes 5 seconds after the
    // last; its systems have gone with it or before it.
    int blown = 0;
    const uint32_t destroyed = dunGameClock;
    while (Wreck() == wreck && dunGameClock - destroyed < 60000) {
        Turn();
        if (Wreck() != wreck) break;
        int now = 0;
        Pieces(wreck, &pieces, &now);
        blown = pieces - now;
    }
    EXPECT_GE(blown, 2);
    EXPECT_NE(Wreck(), wreck) << "the wreck is still there after " << (dunGameClock - destroyed) << " cs";
    EXPECT_EQ(SystemsInUse(), 0);
}

// The mission gives the player a seeker launcher, made current, and a
// practice drone off to the side on its target run.
TEST_P(DroneRun, ThePlayerCarriesASeekerAndAPracticeDroneRuns) {
    auto *target = static_cast<SceneItem *>(GetScriptSymbolValue("Target"));
    ASSERT_NE(target, nullptr);
    ASSERT_NE(dunPlayerShip, nullptr);
    const Weapon *seeker = dunPlayerShip->sim->currentWeapon;
    ASSERT_NE(seeker, nullptr);
    EXPECT_EQ(seeker->typeNumber, 5);
    for (int i = 0; i < 10; ++i) Turn();
    EXPECT_EQ(target->sim->shipInfo->states[0].state, 38u) << "the drone's target run";
    EXPECT_NE(target->avatar->scoreRecord, 0u) << "registered for its kill";
}

// The player picks the practice drone with the target key and fires seekers
// at it with the fire key (Enter) whenever none is in flight: a seeker goes
// off beside the drone and hits it, and within 30 seconds the drone is
// destroyed. Its kill adds the table's points for its type to SCORE, once.
TEST_P(DroneRun, ThePlayersSeekersDestroyThePracticeDroneAndItsKillScoresOnce) {
    auto *target = static_cast<SceneItem *>(GetScriptSymbolValue("Target"));
    ASSERT_TRUE(target && target->sim && target->sim->shipInfo);
    const uint32_t key = target->avatar->scoreRecord;
    ASSERT_NE(key, 0u);
    const int type = target->sim->shipInfo->typeCode;
    ASSERT_TRUE(type >= 0 && type < kKillTypes);
    const int32_t points = int32_t(float(dunKillPoints[type]) * dunSideScoreFactor[target->sim->shipInfo->side]);
    ASSERT_GT(points, 0);
    for (int i = 0; i < 10; ++i) Turn();
    KeyQueuePut(uint16_t(0x14 << 8));  // T: the nearest enemy
    Turn();
    ASSERT_EQ(dunPlayerShip->sim->goal, target);

    auto seekerInFlight = [] {
        SceneItem *head = dunSceneListHead();
        for (SceneItem *o = head->next; o && o != head; o = o->next)
            if ((o->flags & SceneFlag::InUse) && o->avatar && (o->avatar->flags & AvatarFlag::MunitionRound))
                return true;
        return false;
    };
    auto alive = [&] { return (target->flags & SceneFlag::InUse) && !(target->sim->flags & SimFlag::Dead); };
    const uint32_t start = dunGameClock;
    int fired = 0, hits = 0;
    int32_t gainedAtKill = 0;
    while (alive() && dunGameClock - start < 3000) {
        if (!seekerInFlight() && (dunPlayerShip->sim->currentWeapon->flags & WeaponFlag::Ready)) {
            KeyQueuePut(uint16_t(28 << 8 | 13));  // Enter: fire
            ++fired;
        }
        const int32_t before = gMissionScore;
        const int32_t hull = target->sim->hull;
        Turn();
        if (target->sim->hull < hull && !hits++) Snapshot("seeker_hit");
        if (!alive()) gainedAtKill = gMissionScore - before;
    }
    ASSERT_FALSE(alive()) << "the drone still flies after " << fired << " seekers, " << hits << " hits";
    EXPECT_GE(fired, 1);
    EXPECT_GE(hits, 1);
    const ScoreRecord *record = dunFindScoreRecord(key);
    ASSERT_NE(record, nullptr);
    // The kill is scored as its destruction is handled, a frame or two on.
    for (int i = 0; i < 5 && !record->killed; ++i) {
        const int32_t before = gMissionScore;
        Turn();
        gainedAtKill = gMissionScore - before;
    }
    EXPECT_EQ(record->killed, 255);
    EXPECT_EQ(gainedAtKill, points);
    EXPECT_EQ(dunWeaponTallies.tally[Tally::EnemyKills][type], 1);
    EXPECT_EQ(dunWeaponTallies.tally[Tally::EnemyPoints][type], points);
    // Once: the wreck and its pieces going score nothing more.
    for (int i = 0; i < 200; ++i) Turn();
    EXPECT_EQ(dunWeaponTallies.tally[Tally::EnemyKills][type], 1);
    EXPECT_EQ(dunWeaponTallies.tally[Tally::EnemyPoints][type], points);
}

INSTANTIATE_TEST_SUITE_P(Depths, DroneRun, testing::Values(8, 16));

}  // namespace
