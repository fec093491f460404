// The fourth sample mission, "Last Stand", started from the command line and
// played headless with a fixed frame step: the navy wing, with its base's
// turrets, defence network and guard ship, fights the black wing by their
// attack, escort and follower orders until one side has no ship left, and
// the mission ends by the side that is left: a success while the navy holds,
// a failure in a copy of the script whose two sides are swapped. The same
// seed gives the same winner and the same frame. A ship whose hull falls
// below its self-preservation threshold takes that order; fleeing under it,
// it runs until less than two-fifths of its hull is gone, or to its end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "RES/util.h"
#include "ai/brain.h"
#include "ai/combat.h"
#include "ai/contacts.h"
#include "app/clock.h"
#include "app/floor_hooks.h"
#include "app/game.h"
#include "app/options.h"
#include "app/shell.h"
#include "common/fresh_state.h"
#include "common/headless_mission.h"
#include "common/sample_root.h"
#include "core/frame.h"
#include "core/options.h"
#include "gui/options.h"
#include "platform/display.h"
#include "platform/smack.h"
#include "present/cameras.h"
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

constexpr int kNavy = 1, kBlack = 3;
// Simulated seconds the battle may take, at 2 cs a frame.
constexpr int kBattleFrames = 9000;
constexpr const char *kMission = "vek\\resource\\scripts\\missions\\mission04.scr";
constexpr const char *kSwapped = "vek\\resource\\scripts\\missions\\swapped04.scr";

// The ships a side has left, as the mission counts them (the player's own
// ship is one of the navy's).
int ShipsLeft(int side) { return dunCountShipsOfSide(side); }

// A ship's run from the fight under its self-preservation order, which the
// brain switches to once the hull is below the order's threshold.
struct Flight {
    std::string ship;
    int from = 0, to = 0;  // frames
    // Damage taken, in percent of the hull: on the way in, and on the way out
    // the lower of the last two frames (the flight checks it within a frame).
    int damageFrom = 0, damageTo = 0;
    char end = 0;  // 'c' calmed down, 'd' destroyed, 'o' the battle was over first
    bool operator==(const Flight &) const = default;
};

// Still fleeing while two-fifths of the hull or more is gone.
constexpr int kFleeDamagePercent = 40;
constexpr uint32_t kFleeState = 61;

// Watches every ship's order and flight, frame by frame.
class FlightWatch {
public:
    std::vector<Flight> flights;

    void Frame(int n) {
        std::map<const SceneItem *, bool> seen;
        SceneItem *head = dunSceneListHead();
        for (SceneItem *o = head->next; o && o != head; o = o->next) {
            const ShipInfo *info = o->sim ? o->sim->shipInfo : nullptr;
            if (!info || !info->name) continue;
            seen[o] = true;
            Ship now = Look(o, info);
            auto at = ships.find(o);
            // A record taken over by another object: the ship it was is gone.
            if (at != ships.end() && at->second.name != now.name) {
                Gone(at->second, n, 'd');
                at = ships.end();
                ships.erase(o);
            }
            if (at == ships.end()) {
                if (now.alive && now.fleeing && now.selfPreserving) Start(now, n);
                ships[o] = now;
                continue;
            }
            Ship &was = at->second;
            if (was.flight >= 0) {
                now.flight = was.flight;
                if (!now.alive) Gone(now, n, 'd');
                else if (!now.fleeing || !now.selfPreserving) End(now, n, std::min(was.damage, now.damage));
            } else if (now.alive && now.fleeing && now.selfPreserving) {
                Start(now, n);
            }
            was = now;
        }
        for (auto &[o, ship] : ships)
            if (!seen.count(o)) Gone(ship, n, 'd');
    }

    // The battle is over: who still runs, runs to the end.
    void Over(int n) {
        for (auto &[o, ship] : ships) Gone(ship, n, 'o');
    }

private:
    struct Ship {
        std::string name;
        bool alive = false, fleeing = false, selfPreserving = false;
        int damage = 0;
        int flight = -1;  // index into the flights while one runs
    };
    std::map<const SceneItem *, Ship> ships;

    static Ship Look(const SceneItem *o, const ShipInfo *info) {
        Ship s;
        s.name = info->name;
        s.alive = Alive(o);
        const int top = info->stateTop >= 0 && info->stateTop < kStateFrames ? info->stateTop : 0;
        s.fleeing = info->states[top].state == kFleeState;
        const char *order = info->currentOrder == 0 ? info->orders[0].name : nullptr;
        s.selfPreserving = order && std::strcmp(order, "SelfPreservation") == 0;
        s.damage = dunDamagePercent(info->damage);
        return s;
    }
    void Start(Ship &s, int n) {
        s.flight = int(flights.size());
        flights.push_back({s.name, n, n, s.damage, s.damage, 0});
    }
    void End(Ship &s, int n, int damage) {
        Flight &f = flights[size_t(s.flight)];
        f.to = n;
        f.damageTo = damage;
        f.end = 'c';
        s.flight = -1;
    }
    void Gone(Ship &s, int n, char why) {
        if (s.flight < 0) return;
        Flight &f = flights[size_t(s.flight)];
        f.to = n;
        f.damageTo = s.damage;
        f.end = why;
        s.flight = -1;
    }
};

struct Outcome {
    bool started = false;
    std::string loser;  // the side with no ship left: "NAVY" (the player's aside) or "BLACK"
    float seconds = 0;  // when
    bool exploded = false;
    uint32_t frameHash = 0;  // of the screen a second after the battle
    uint8_t success = 0;
    uint8_t ended = 0;
    int16_t outcome = -1;
    int fleeing = 0;  // frames in which some ship was fleeing
    bool perimeter = false;  // the base's perimeter box showed five seconds in
    std::vector<Flight> flights;  // under the self-preservation order
};

// A destroyed ship's remains explode: a wreck blowing its parts off when the
// player sees it close, a wreck in a burst of sparks far away. Either way a
// particle system hangs on something that is neither a ship still flying
// nor a round.
bool Exploding() {
    auto burst = [&](const ParticleSystem &ps) {
        const SceneItem *o = (ps.flags & 1) ? dunItemFromHandle(ps.owner) : nullptr;
        if (!o || o == dunPlayerShip || !o->avatar || (o->avatar->flags & AvatarFlag::LaunchedRound)) return false;
        return !(o->sim && o->sim->shipInfo && Alive(o));
    };
    for (const ParticleSystem &ps : dunLargeParticlePool)
        if (burst(ps)) return true;
    for (const ParticleSystem &ps : dunSmallParticlePool)
        if (burst(ps)) return true;
    return false;
}

// A ship running from the fight: the flight state on top of its stack.
bool AnyoneFleeing() {
    constexpr uint32_t kFlee = 61;
    SceneItem *head = dunSceneListHead();
    for (SceneItem *o = head->next; o && o != head; o = o->next) {
        const ShipInfo *info = o->sim ? o->sim->shipInfo : nullptr;
        if (info && Alive(o) && info->stateTop >= 0 && info->states[info->stateTop].state == kFlee) return true;
    }
    return false;
}

uint32_t ScreenHash() {
    uint32_t h = 2166136261u;
    const size_t bytes = size_t(ScreenSurface.pitch) * ScreenSurface.height;
    for (size_t i = 0; ScreenSurface.pixels && i < bytes; ++i) h = (h ^ ScreenSurface.pixels[i]) * 16777619u;
    return h;
}

// The mission with its two sides swapped: every ship but the player's
// changes sides, and the guard ship's turret masks with them. The mission's
// own rules stay: it is won when no black ship is left.
bool WriteSwappedMission(const std::string &root) {
    // The scripts come packed: the copy stands loose beside the unpacked rest.
    if (!ruvotest::UnpackSlab(root, "scripts")) return false;
    std::istringstream in(ruvotest::SampleFileText("vek/resource/scripts/missions/mission04.scr"));
    std::ostringstream out;
    std::string line;
    auto swap = [](std::string &l, const std::string &a, const std::string &b) {
        if (size_t at = l.find(a); at != std::string::npos) l.replace(at, a.size(), b);
    };
    while (std::getline(in, line)) {
        if (line.rfind("CREATE_SHIP", 0) == 0 && line.rfind("CREATE_SHIP Player ", 0) != 0) {
            if (line.find(" NAVY ") != std::string::npos) swap(line, " NAVY ", " BLACK ");
            else swap(line, " BLACK ", " NAVY ");
        }
        if (line.rfind("ORDER_PARAMS 1 Bastion ", 0) == 0) line = "ORDER_PARAMS 1 Bastion 128 576 0";
        out << line << "\n";
    }
    std::ofstream file(root + "/vek/resource/scripts/missions/swapped04.scr", std::ios::binary);
    file << out.str();
    return bool(file) && !out.str().empty();
}

class DuelRun : public testing::Test {
protected:
    std::unique_ptr<ruvotest::SampleRoot> root;
    void SetUp() override { root = std::make_unique<ruvotest::SampleRoot>(); }
    void TearDown() override { root.reset(); }

    static void Turn() { ruvotest::HeadlessTurn(); }

    static Outcome Fly(uint32_t seed, const char *script = kMission) {
        Outcome out;
        ResetOptions();
        ResetGameState();
        ResetOptionTable();
        PixelDepth = 8;
        BytesPerPixel = 1;
        gQuit = 0;
        // Each flight starts from the state a fresh process has: the
        // mission before ended in its end cinematic, which the end key would
        // have closed, and drew numbers the start-up would not have.
        ruvotest::ResetGameGlobals();
        gCinematicView = 0;
        gCinematicHold = 0;
        if (!ruvotest::StartHeadlessMission(script, 8, seed)) return out;

        if (Symbol("Defender") && Symbol("Enemy") && Symbol("INDIEBase")) {
            out.started = true;
            FlightWatch watch;
            int n = 1;
            for (; n <= kBattleFrames && out.loser.empty(); ++n) {
                Turn();
                watch.Frame(n);
                if (ShipsLeft(kBlack) == 0) out.loser = "BLACK";
                if (ShipsLeft(kNavy) <= 1) out.loser = "NAVY";
                out.fleeing += AnyoneFleeing();
                if (n == 250)
                    out.perimeter = dunPerimeterBox && dunPerimeterBox->target == Symbol("INDIEBase") &&
                                    !(dunPerimeterBox->flags & HudFlag::Hidden);
                out.seconds = float(n) * 0.02f;
            }
            watch.Over(n - 1);
            out.flights = watch.flights;
            for (int n = 0; n < 500 && !(out.exploded && gMissionEndState); ++n) {
                Turn();
                out.exploded = out.exploded || Exploding();
                if (n == 50) out.frameHash = ScreenHash();
            }
            out.success = dunMissionSuccess;
            out.ended = gMissionEndState;
            out.outcome = gMissionOutcome;
        }
        ruvotest::StopHeadlessMission();
        P3DShutdown();
        return out;
    }
};

TEST_F(DuelRun, EverySeedEndsWithOneSideDestroyed) {
    int fled = 0, hurtFlights = 0, seedsWithHurtFlight = 0;
    for (uint32_t seed = 1; seed <= 10; ++seed) {
        const Outcome o = Fly(seed);
        ASSERT_TRUE(o.started) << seed;
        ASSERT_FALSE(o.loser.empty()) << "seed " << seed << ": both sides still fly after " << o.seconds << " s";
        EXPECT_LE(o.seconds, kBattleFrames * 0.02f) << seed;
        EXPECT_TRUE(o.exploded) << seed;
        // The defence network is up: the base's perimeter box shows.
        EXPECT_TRUE(o.perimeter) << seed;
        EXPECT_EQ(o.ended, 1) << seed;
        // The side left decides the mission.
        EXPECT_EQ(o.success, o.loser == "BLACK" ? 0xFF : 0) << seed;
        fled += o.fleeing > 0;
        std::printf("seed %u: %s lost after %.1f s; fleeing in %d frames\n", seed, o.loser.c_str(), o.seconds,
                    o.fleeing);
        // A ship running for its life stops only once it has calmed down:
        // destroyed, or still running when the battle is over, otherwise.
        int hurt = 0;
        for (const Flight &f : o.flights) {
            std::printf("  %s flees from %d (%d%% damage) to %d (%d%%): %c\n", f.ship.c_str(), f.from, f.damageFrom,
                        f.to, f.damageTo, f.end);
            if (f.end == 'c') EXPECT_LT(f.damageTo, kFleeDamagePercent) << seed << " " << f.ship << " at " << f.to;
            hurt += f.damageFrom >= kFleeDamagePercent;
        }
        hurtFlights += hurt;
        seedsWithHurtFlight += hurt > 0;
    }
    // Damaged ships still run for it in the battle, and in several battles a
    // ship far enough gone that only calming down would end its flight.
    EXPECT_GT(fled, 0);
    EXPECT_GE(seedsWithHurtFlight, 3) << hurtFlights;
}

TEST_F(DuelRun, TheSameSeedGivesTheSameWinnerAndFrame) {
    const Outcome a = Fly(3), b = Fly(3);
    ASSERT_FALSE(a.loser.empty());
    EXPECT_EQ(a.loser, b.loser);
    EXPECT_EQ(a.seconds, b.seconds);
    EXPECT_EQ(a.frameHash, b.frameHash);
    EXPECT_EQ(a.perimeter, b.perimeter);
    EXPECT_TRUE(a.perimeter);
    // Its ships flee the same way, frame for frame.
    EXPECT_FALSE(a.flights.empty());
    EXPECT_EQ(a.flights, b.flights);
}

// With the sides swapped the base and its defences are black: the navy wing
// is the one destroyed, and the mission takes its failure road.
TEST_F(DuelRun, SwappedSidesFail) {
    ASSERT_TRUE(WriteSwappedMission(root->path()));
    const Outcome o = Fly(1, kSwapped);
    ASSERT_TRUE(o.started);
    EXPECT_EQ(o.loser, "NAVY");
    EXPECT_EQ(o.ended, 1);
    EXPECT_EQ(o.success, 0);
    EXPECT_EQ(o.outcome, 1);
}

}  // namespace
