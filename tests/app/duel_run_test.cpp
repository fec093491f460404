// The fourth sample mission, "Last Stand", started from the command line and
// played headless with a fixed frame step: the navy corvette and the raider
// fight by their attack orders until one of them is destroyed and explodes,
// and the mission ends by the side that is left. The same seed gives the
// same winner and the same frame.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

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
#include "gui/options.h"
#include "platform/display.h"
#include "platform/smack.h"
#include "present/effects.h"
#include "present/p3d.h"
#include "script/mission.h"
#include "script/script.h"
#include "script/symbols.h"
#include "world/handle.h"
#include "world/mission_state.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/records.h"

namespace {

SceneItem *Symbol(const char *name) { return static_cast<SceneItem *>(GetScriptSymbolValue(name)); }

bool Alive(const SceneItem *o) {
    return o && (o->flags & SceneFlag::InUse) && o->sim && !(o->sim->flags & SimFlag::Dead);
}

// The attack order the mission gives, given by the test while the
// mission's order statements are still to come.
void AttackOrder(SceneItem *ship, SceneItem *other) {
    const OrderSlot &slot = ship->sim->shipInfo->orders[1];
    if (!slot.name || std::strcmp(slot.name, "FixedAttack") != 0) {
        dunai_SetNamedOrder(ship, 1, "FixedAttack", 100, 0, other);
        dunai_StartOrder(ship, 1);
    }
    if (!ship->sim->goal) ship->sim->goal = ship->sim->target = other;
}

struct Outcome {
    bool started = false;
    std::string loser;  // the script symbol of the ship destroyed first
    float seconds = 0;  // when
    bool exploded = false;
    uint32_t frameHash = 0;  // of the screen a second after the destruction
    uint8_t success = 0;
    uint8_t ended = 0;
    int16_t outcome = -1;
    bool enemyLeft = false;  // the raider still flies at the end
};

// The destroyed ship's remains explode: a wreck blowing its parts off when
// the player sees it close, a wreck in a burst of sparks far away. Either
// way a particle system hangs on something that is neither one of the ships
// nor a round.
bool Exploding(const SceneItem *a, const SceneItem *b) {
    auto burst = [&](const ParticleSystem &ps) {
        const SceneItem *o = (ps.flags & 1) ? dunItemFromHandle(ps.owner) : nullptr;
        return o && o != a && o != b && o != dunPlayerShip && o->avatar &&
               !(o->avatar->flags & AvatarFlag::LaunchedRound);
    };
    for (const ParticleSystem &ps : dunLargeParticlePool)
        if (burst(ps)) return true;
    for (const ParticleSystem &ps : dunSmallParticlePool)
        if (burst(ps)) return true;
    return false;
}

uint32_t ScreenHash() {
    uint32_t h = 2166136261u;
    const size_t bytes = size_t(ScreenSurface.pitch) * ScreenSurface.height;
    for (size_t i = 0; ScreenSurface.pixels && i < bytes; ++i) h = (h ^ ScreenSurface.pixels[i]) * 16777619u;
    return h;
}

class DuelRun : public testing::Test {
protected:
    std::unique_ptr<ruvotest::SampleRoot> root;
    void SetUp() override { root = std::make_unique<ruvotest::SampleRoot>(); }
    void TearDown() override { root.reset(); }

    static void Turn() { ruvotest::HeadlessTurn(); }

    static Outcome Fly(uint32_t seed) {
        Outcome out;
        ResetOptions();
        ResetGameState();
        ResetOptionTable();
        PixelDepth = 8;
        BytesPerPixel = 1;
        gQuit = 0;
        if (!ruvotest::StartHeadlessMission("vek\\resource\\scripts\\missions\\mission04.scr", 8, seed)) return out;
        SceneItem *defender = Symbol("Defender"), *enemy = Symbol("Enemy");
        if (defender && enemy) {
            out.started = true;
            AttackOrder(defender, enemy);
            AttackOrder(enemy, defender);
            // 120 simulated seconds at 2 cs a frame.
            for (int n = 1; n <= 6000 && out.loser.empty(); ++n) {
                Turn();
                if (!Alive(defender)) out.loser = "Defender";
                if (!Alive(enemy)) out.loser = "Enemy";
                out.seconds = float(n) * 0.02f;
            }
            for (int n = 0; n < 500 && !(out.exploded && gMissionEndState); ++n) {
                Turn();
                out.exploded = out.exploded || Exploding(defender, enemy);
                if (n == 50) out.frameHash = ScreenHash();
            }
            out.enemyLeft = Alive(enemy);
            out.success = dunMissionSuccess;
            out.ended = gMissionEndState;
            out.outcome = gMissionOutcome;
        }
        ruvotest::StopHeadlessMission();
        P3DShutdown();
        return out;
    }
};

TEST_F(DuelRun, EverySeedEndsWithOneShipDestroyedWithinTwoMinutes) {
    for (uint32_t seed = 1; seed <= 10; ++seed) {
        const Outcome o = Fly(seed);
        ASSERT_TRUE(o.started) << seed;
        ASSERT_FALSE(o.loser.empty()) << "seed " << seed << ": nobody was destroyed in 120 s";
        EXPECT_LE(o.seconds, 120.0f) << seed;
        EXPECT_TRUE(o.exploded) << seed;
        EXPECT_EQ(o.ended, 1) << seed;
        // The side left decides the mission. A seeker already in flight may
        // take the winner with it; with no black ship left the base is held.
        if (o.loser == "Enemy") EXPECT_FALSE(o.enemyLeft) << seed;
        EXPECT_EQ(o.success, o.enemyLeft ? 0 : 0xFF) << seed;
    }
}

TEST_F(DuelRun, TheSameSeedGivesTheSameWinnerAndFrame) {
    const Outcome a = Fly(3), b = Fly(3);
    ASSERT_FALSE(a.loser.empty());
    EXPECT_EQ(a.loser, b.loser);
    EXPECT_EQ(a.seconds, b.seconds);
    EXPECT_EQ(a.frameHash, b.frameHash);
}

}  // namespace
