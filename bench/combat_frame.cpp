// A whole combat frame of the game, headless, through the real start-up, the
// real frame loop and the real presentation: the player's corvette at the
// navigation station (the cockpit panels and the HUD) in the Kelvar system
// (the sky, a generated planet and the sun with its flares), facing a battle
// of 24 ships, twelve a side, from cockpit distance out to chase distance,
// firing beam cannon and launching missiles at one another, with explosions
// set off on them. The battle is the sample career's largest, the last
// stand's duel, grown to twelve a side in the deep patrol's system, as a
// script of the benchmark's own in a copy of the data tree.
//
// Reported per frame as ratios to a memset of the colour and depth buffers
// of the same size in the same run: the whole frame, the world and AI step
// (with the mission script), the clears, the sky (nebula and stars), the
// planets, the models (the scene's set-up, the objects and their lens
// flares), the particles, the HUD (with the cockpit), the GUI (the panels,
// the overlay, the keys) and the present. Run from the build folder (the
// data root is ./data, or $RUVO_DATA).
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "RES/util.h"
#include "app/game.h"
#include "app/options.h"
#include "app/shell.h"
#include "common/headless_mission.h"
#include "core/counter.h"
#include "core/log.h"
#include "core/options.h"
#include "gui/screen.h"
#include "os/paths.h"
#include "platform/display.h"
#include "platform/keyboard.h"
#include "present/effects.h"
#include "present/p3d.h"
#include "script/mission.h"
#include "script/symbols.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/records.h"
#include "world/step.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSide = 12;
constexpr int kWarmUpFrames = 150;  // 3 seconds: the fleets close and open fire
constexpr int kFrames = 50;

std::string BattleScript() {
    std::string s =
        "; the benchmark's battle: twelve ships a side in the Kelvar system\n"
        "SCENEITEM Player World Sun CamPly CamWep\n";
    for (int i = 0; i < kSide; ++i) s += "SCENEITEM N" + std::to_string(i) + " B" + std::to_string(i) + "\n";
    s += "MODEL CorvetteMd RaiderMd\n"
         "REGISTER CorvetteMd \"vek\\resource\\shapes\\corvette.lwo\" LWO2BRM\n"
         "REGISTER RaiderMd \"vek\\resource\\shapes\\raider.lwo\" LWO2BRM\n"
         "ABSOLUTE\n"
         "CREATE_SHIP Player CorvetteMd \"NCS Lantern\" CORVETTE NAVY 0 0 0\n"
         "CALL CorvetteClass\n"
         "PLAYER Player\n"
         "CAMERA CamPly CAM_PLAYER Player 0 0 0\n"
         "CAMERA CamWep CAM_WEAPON Player 0 0 0\n"
         "STARFIELD 1200 ON 0\n"
         "SYSTEM \"Kelvar\" \"L4\"\n"
         "Idle:\nWAIT\nBRA Idle\n\n"
         "STARSYSTEM_1:\n"
         "RELATIVE Player\n"
         "PLANET World \"random\" 400\n"
         "PLACE World 60000000 -20000000 200000000\n"
         "PLANET Sun \"\" 100 0 ON\n"
         "PLACE Sun -60000000 30000000 300000000\n"
         "VEL_TOWARDS Player World 0\n";
    // Pairs from 40 (cockpit distance: a ship fills much of the view) out
    // to 900 (chase distance: a few pixels), the navy on the left of each
    // pair, closing head on; their engines slowed so that the battle stays
    // where it was set while it is measured.
    for (int i = 0; i < kSide; ++i) {
        const int z = 40 + i * i * 6, x = (i % 3 - 1) * (20 + i * 8), y = (i % 2 ? 1 : -1) * (10 + i * 4);
        char line[1000];
        std::snprintf(line, sizeof line,
                      "NEW_GROUP\n"
                      "CREATE_SHIP N%d CorvetteMd \"NCS %d\" CORVETTE NAVY %d %d %d 0 0 0 RECKLESS\n"
                      "CALL CorvetteClass\n"
                      "ENGINE LASTSHIP 700 50 0 0 90 90 90 15\n"
                      "WEAPON LASTSHIP MISSLNCH ARC_FWD ARC_60 ARC_NORM 0 -2 10\n"
                      "WEAPON_LOAD N%d 3 6\n"
                      "NEW_GROUP\n"
                      "CREATE_SHIP B%d RaiderMd \"Raider %d\" CORVETTE BLACK %d %d %d 180 0 0 RECKLESS\n"
                      "CALL RaiderClass\n"
                      "ENGINE LASTSHIP 600 40 0 0 110 110 110 15\n"
                      "WEAPON LASTSHIP MISSLNCH ARC_FWD ARC_60 ARC_NORM 0 -2 10\n"
                      "WEAPON_LOAD B%d 2 6\n",
                      i, i, x - 15, y, z, i, i, i, x + 15, y, z + 30 + i * 10, i);
        s += line;
    }
    for (int i = 0; i < kSide; ++i) {
        char line[200];
        std::snprintf(line, sizeof line,
                      "ORDER 1 0 N%d \"FixedAttack\" 0 0 100 B%d 0\nTARGET N%d B%d\n"
                      "ORDER 1 0 B%d \"FixedAttack\" 0 0 100 N%d 0\nTARGET B%d N%d\n",
                      i, i, i, i, i, i, i, i);
        s += line;
    }
    s += "ABSOLUTE\n"
         "RETURN\n\n"
         "#INCLUDE corvette.shp\n"
         "#INCLUDE raider.shp\n";
    return s;
}

// The data tree with the battle's script among the missions: every entry
// linked, the folders on the way to the missions made.
bool MakeTree(const fs::path &data, const fs::path &root) {
    std::error_code e;
    fs::create_directories(root, e);
    const fs::path missions = fs::path("vek") / "resource" / "scripts" / "missions";
    fs::path from = data, to = root;
    for (const fs::path &part : missions) {
        for (const auto &entry : fs::directory_iterator(from, e))
            if (entry.path().filename() != part) fs::create_symlink(entry.path(), to / entry.path().filename(), e);
        from /= part;
        to /= part;
        fs::create_directories(to, e);
    }
    for (const auto &entry : fs::directory_iterator(from, e))
        fs::create_symlink(entry.path(), to / entry.path().filename(), e);
    std::ofstream(to / "battle.scr") << BattleScript();
    return fs::exists(to / "battle.scr");
}

// The passes, by the frame's marks: each mark closes the stretch since the
// previous one.
enum Pass { Step, Gui, Clear, Sky, Planets, Models, Particles, Hud, Present, kPasses };
const char *const kPassNames[kPasses] = {"step",   "gui",       "clear", "sky",    "planets",
                                         "models", "particles", "hud",   "present"};
const std::map<std::string, Pass> kMarks = {
    {"COLLISIONS", Step},  {"CONTROL", Step},   {"SIMULATION", Step},     {"MESSAGES", Step}, {"PRE-PROCESS", Gui},
    {"AV-TO-GRF", Models}, {"SCRN CLR", Clear}, {"ZBUF CLR", Clear},      {"NEBULA", Sky},    {"STARS", Sky},
    {"PLANETS", Planets},  {"OBJECTS", Models}, {"PARTICLES", Particles}, {"HUD", Hud},
};

Clock::time_point gLast;
double gPass[kPasses];
bool gTiming;

void OnMark(const char *name) {
    if (!gTiming) return;
    const auto now = Clock::now();
    const auto it = kMarks.find(name);
    if (it != kMarks.end()) gPass[it->second] += std::chrono::duration<double>(now - gLast).count();
    gLast = now;
}

// The fleets keep their size while the battle is measured: their hulls hold
// a hundred times the damage (the hits, sparks and explosions go on).
std::set<const ShipInfo *> gToughened;
void KeepTheFleets() {
    for (SceneItem &s : dunSceneItemPool)
        if ((s.flags & SceneFlag::InUse) && s.sim && s.sim->shipInfo && &s != dunPlayerShip &&
            gToughened.insert(s.sim->shipInfo).second)
            s.sim->shipInfo->damage.maximum *= 100;
}

struct Battle {
    bool ready = false;
    std::string error;
    fs::path root;
};

// The game started on the battle at the given size and depth, flown to the
// navigation station and on until the fleets are fighting.
Battle StartBattle(int w, int h, int depth) {
    Battle b;
    const char *data = std::getenv("RUVO_DATA");
    const fs::path source = fs::absolute(data ? data : "data");
    b.root = fs::temp_directory_path() / ("ruvo-combat-frame-" + std::to_string(getpid()));
    fs::remove_all(b.root);
    if (!MakeTree(source, b.root) || chdir(b.root.c_str()) != 0) {
        b.error = "no data tree";
        return b;
    }
    osFlushPathCache();
    dunSetDebugSink([](const char *) {});
    ResetOptions();
    ResetGameState();
    optNoLogos = 0xFF;
    // Without a sound device the frame holds no mixing.
    optSound = 0;
    PixelDepth = depth;
    BytesPerPixel = uint16_t(depth / 8);
    ResolutionMode = 0;
    if (w == 1024) parseCommandSwitch("-1024x768");
    if (w == 800) parseCommandSwitch("-800x600");
    optFrontEndStart = 0;
    std::snprintf(gMissionScriptName, sizeof gMissionScriptName, "%s", "vek\\resource\\scripts\\missions\\battle.scr");
    ruvotest::UseHeadlessClocks();
    if (ruvotest::StartHeadlessGame() != 1) {
        b.error = "the game did not start";
        return b;
    }
    dunSeedRand15(1);
    auto turn = [] { ruvotest::HeadlessTurn(2000); };
    // Past the command station's opening, then the navigation station.
    for (int i = 0; i < 20; ++i) turn();
    KeyQueuePut(uint16_t(0x3C << 8));
    for (int i = 0; i < kWarmUpFrames; ++i) {
        KeepTheFleets();
        turn();
    }
    if (!gGuiScreen || !gGuiScreen->name || std::strcmp(gGuiScreen->name, "NAV") != 0) {
        KeyQueuePut(uint16_t(0x3C << 8));
        turn();
    }
    (void)h;
    // The planet and the sun are moved into the view, beyond the battle:
    // the planet low to the right, the sun high to the left.
    const Sim &me = *dunPlayerShip->sim;
    auto place = [&](const char *name, double right, double up, double ahead) {
        auto *body = static_cast<SceneItem *>(GetScriptSymbolValue(name));
        if (!body || !body->sim) return;
        Vec3d &p = body->sim->position;
        const float *m = me.matrix.m;
        p.x = me.position.x + right * m[0] + up * m[4] + ahead * m[8];
        p.y = me.position.y + right * m[1] + up * m[5] + ahead * m[9];
        p.z = me.position.z + right * m[2] + up * m[6] + ahead * m[10];
    };
    place("World", 3.0e7, -1.2e7, 1.2e8);
    place("Sun", -7.0e7, 3.5e7, 3.0e8);
    turn();
    b.ready = true;
    return b;
}

int ShipsFlying() {
    int n = 0;
    for (const SceneItem &s : dunSceneItemPool)
        n += (s.flags & SceneFlag::InUse) && s.sim && s.sim->shipInfo && s.sim->shipInfo->name;
    return n;
}

// Ships ahead of the player's nose within the view's cone (about 100 by 60
// degrees).
int ShipsInView() {
    if (!dunPlayerShip || !dunPlayerShip->sim) return 0;
    const Sim &me = *dunPlayerShip->sim;
    int n = 0;
    for (const SceneItem &s : dunSceneItemPool) {
        if (!(s.flags & SceneFlag::InUse) || !s.sim || !s.sim->shipInfo || &s == dunPlayerShip) continue;
        const double d[3] = {s.sim->position.x - me.position.x, s.sim->position.y - me.position.y,
                             s.sim->position.z - me.position.z};
        double local[3];
        for (int row = 0; row < 3; ++row)
            local[row] =
                d[0] * me.matrix.m[row * 4] + d[1] * me.matrix.m[row * 4 + 1] + d[2] * me.matrix.m[row * 4 + 2];
        n += local[2] > 0 && std::abs(local[0]) < local[2] * 1.2 && std::abs(local[1]) < local[2] * 0.6;
    }
    return n;
}

// What a measurement hands back from its process.
struct Figures {
    double total, floor, pass[kPasses];
    int64_t frames, explosions, shipsMin, inViewMin;
    int ok;
};

// The battle started and measured over `iterations` runs of kFrames frames.
Figures Measure(int w, int h, int depth, int iterations) {
    Figures f{};
    char old[4096];
    if (!getcwd(old, sizeof old)) return f;
    Battle battle = StartBattle(w, h, depth);
    if (!battle.ready) return f;
    const size_t pixels = size_t(TheDisplayMode.width) * TheDisplayMode.height;
    std::vector<uint8_t> colour(pixels * size_t(depth / 8)), zbuffer(pixels * 4);
    gP3DMarkObserver = OnMark;
    dunStepMarkObserver = OnMark;
    std::memset(gPass, 0, sizeof gPass);
    f.shipsMin = f.inViewMin = 1 << 30;
    for (int run = 0; run < iterations; ++run) {
        for (int i = 0; i < kFrames; ++i) {
            KeepTheFleets();
            // A burst on a ship every few frames, besides the hits' own.
            if (i % 5 == 0) {
                int k = 0;
                for (SceneItem &s : dunSceneItemPool)
                    if ((s.flags & SceneFlag::InUse) && s.sim && s.sim->shipInfo && &s != dunPlayerShip &&
                        k++ == (i / 5) % (2 * kSide)) {
                        const Vec3 point = {0, 0, 0};
                        AddThermalExplosion(&s, &point);
                        SpawnSparks(&s, 255, 255, 128, 255, 64, 0);
                        ++f.explosions;
                        break;
                    }
            }
            gSkipPresent = 1;
            gTiming = true;
            const auto t0 = Clock::now();
            gLast = t0;
            ruvotest::HeadlessTurn(2000);
            const auto t1 = Clock::now();
            gTiming = false;
            DisplayPresent(&TheDisplayMode);
            const auto t2 = Clock::now();
            gPass[Gui] += std::chrono::duration<double>(t1 - gLast).count();
            gPass[Present] += std::chrono::duration<double>(t2 - t1).count();
            f.total += std::chrono::duration<double>(t2 - t0).count();
            const auto f0 = Clock::now();
            std::memset(colour.data(), i, colour.size());
            std::memset(zbuffer.data(), 0xFF, zbuffer.size());
            benchmark::DoNotOptimize(colour.data());
            benchmark::DoNotOptimize(zbuffer.data());
            benchmark::ClobberMemory();
            f.floor += std::chrono::duration<double>(Clock::now() - f0).count();
            ++f.frames;
            const int ships = ShipsFlying();
            if (ships < f.shipsMin) f.shipsMin = ships;
            const int seen = ShipsInView();
            if (seen < f.inViewMin) f.inViewMin = seen;
        }
    }
    gP3DMarkObserver = nullptr;
    dunStepMarkObserver = nullptr;
    std::memcpy(f.pass, gPass, sizeof f.pass);
    if (const char *dir = std::getenv("RUVO_SNAPSHOT_DIR")) {
        (void)dir;
        ruvotest::SnapshotScreen("combat_frame_" + std::to_string(w) + "_" + std::to_string(depth));
    }
    ruvotest::StopHeadlessMission();
    P3DShutdown();
    if (chdir(old) != 0) return f;
    std::error_code e;
    fs::remove_all(battle.root, e);
    f.ok = 1;
    return f;
}

// The game runs once a process, as it does for the player: each size is
// measured in a child process of its own.
void BM_CombatFrame(benchmark::State &state) {
    const int w = int(state.range(0)), h = int(state.range(1)), depth = int(state.range(2));
    Figures f{};
    for (auto _ : state) {
        int fds[2];
        if (pipe(fds) != 0) break;
        std::fflush(nullptr);
        const pid_t pid = fork();
        if (pid == 0) {
            close(fds[0]);
            // RUVO_BENCH_RUNS: more runs of the frames, for a profile that
            // the start-up does not fill.
            const char *runs = std::getenv("RUVO_BENCH_RUNS");
            const Figures mine = Measure(w, h, depth, runs ? std::max(1, std::atoi(runs)) : 4);
            const ssize_t n = write(fds[1], &mine, sizeof mine);
            _exit(n == sizeof mine ? 0 : 1);
        }
        close(fds[1]);
        if (read(fds[0], &f, sizeof f) != sizeof f) f.ok = 0;
        close(fds[0]);
        int status = 0;
        if (pid > 0) waitpid(pid, &status, 0);
    }
    if (!f.ok || f.frames == 0) {
        state.SkipWithError("the battle did not run");
        return;
    }
    state.counters["frame_ms"] = f.total * 1e3 / double(f.frames);
    state.counters["floor_ms"] = f.floor * 1e3 / double(f.frames);
    state.counters["frame_x"] = f.floor > 0 ? f.total / f.floor : 0;
    for (int p = 0; p < kPasses; ++p) {
        state.counters[std::string(kPassNames[p]) + "_x"] = f.floor > 0 ? f.pass[p] / f.floor : 0;
        state.counters[std::string(kPassNames[p]) + "_share"] = f.total > 0 ? f.pass[p] / f.total : 0;
    }
    state.counters["ships_min"] = double(f.shipsMin);
    state.counters["in_view_min"] = double(f.inViewMin);
    state.counters["explosions"] = double(f.explosions);
}

BENCHMARK(BM_CombatFrame)->Args({1024, 768, 16})->Args({640, 480, 8})->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
