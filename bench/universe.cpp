// The universe's two costly calls against plain work of the same size,
// measured in the same run from the sample data tree (RUVO_DATA, else
// "data" below the working folder):
// - MoveToSystem into the largest sample system (its bodies, stations, belt
//   and 25 asteroids) against making as many plain objects with
//   dunCreateSceneItem (each linked into the list, as the system's are);
// - dunCreateUniverse (both files read, parsed and completed) against
//   reading the same two files' bytes and splitting the bodies file into
//   lines.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "core/files.h"
#include "core/frame.h"
#include "os/paths.h"
#include "world/messages.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/services.h"
#include "world/universe.h"

namespace {

bool EnterSampleRoot() {
    static bool entered = false;
    if (entered) return true;
    const char *root = std::getenv("RUVO_DATA");
    if (chdir(root ? root : "data") != 0) return false;
    osFlushPathCache();
    entered = true;
    return true;
}

// The presentation as far as the world needs it to make asteroids: models
// that load (as markers) and scale.
int gModel;
const WorldPresentHooks kPresent = [] {
    WorldPresentHooks h{};
    h.loadModel = [](const char *) -> void * { return &gModel; };
    h.scaleModelToRadius = [](void *, float) {};
    return h;
}();

template <class F>
double Seconds(F f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// A fresh world with the player's ship, the universe read, no system built.
void FreshWorld() {
    dunMsgInit();
    dunResetWorld();
    dunFrameCounter = 1;
    dunResetUniverseState();
    dunStarMap.currentStar = nullptr;
    dunStarMap.mode = 'G';
    SceneItem *player = dunCreateSceneItem();
    dunLinkSceneItem(player, 0);
    dunAttachSim(player, nullptr);
    dunPlayerShip = dunControlledObject = player;
}

int ListCount() {
    int n = 0;
    SceneItem *head = dunSceneListHead();
    for (SceneItem *o = head->next; o != head; o = o->next) ++n;
    return n;
}

void BM_MoveToSystem(benchmark::State &state) {
    if (!EnterSampleRoot()) {
        state.SkipWithError("no sample data");
        return;
    }
    WorldSetPresentHooks(&kPresent);
    dunForgetUniverse();
    dunCreateUniverse();
    double move = 1e30, plain = 1e30;
    int made = 0;
    for (auto _ : state) {
        FreshWorld();
        const int before = ListCount();
        const double t = Seconds([] { MoveToSystem("Kelvar", "L4"); });
        if (t < move) move = t;
        made = ListCount() - before;
        FreshWorld();
        const double p = Seconds([made] {
            for (int i = 0; i < made; ++i) dunLinkSceneItem(dunCreateSceneItem(), 0);
        });
        if (p < plain) plain = p;
    }
    state.counters["objects"] = made;
    state.counters["move_us"] = move * 1e6;
    state.counters["plain_us"] = plain * 1e6;
    state.counters["move_over_plain"] = move / plain;
    dunResetWorld();
    WorldSetPresentHooks(nullptr);
}
BENCHMARK(BM_MoveToSystem)->Iterations(200);

void BM_CreateUniverse(benchmark::State &state) {
    if (!EnterSampleRoot()) {
        state.SkipWithError("no sample data");
        return;
    }
    double create = 1e30, read = 1e30;
    size_t lines = 0;
    for (auto _ : state) {
        dunForgetUniverse();
        const double t = Seconds([] { dunCreateUniverse(); });
        if (t < create) create = t;
        const double r = Seconds([&lines] {
            uint8_t *bodies = nullptr, *stars = nullptr;
            size_t bodiesSize = 0, starsSize = 0;
            ReadGameFile("vek\\resource\\geog\\excelrichsys.csv", &bodies, &bodiesSize, kBodiesFileLimit);
            ReadGameFile("vek\\resource\\geog\\stars.bin", &stars, &starsSize, kStarsFileBytes);
            std::vector<std::string_view> split;
            const std::string_view text(reinterpret_cast<const char *>(bodies), bodiesSize);
            for (size_t at = 0; at < text.size();) {
                size_t end = text.find('\n', at);
                if (end == std::string_view::npos) end = text.size();
                split.push_back(text.substr(at, end - at));
                at = end + 1;
            }
            lines = split.size();
            benchmark::DoNotOptimize(split.data());
            std::free(bodies);
            std::free(stars);
        });
        if (r < read) read = r;
    }
    state.counters["lines"] = double(lines);
    state.counters["create_us"] = create * 1e6;
    state.counters["read_us"] = read * 1e6;
    state.counters["create_over_read"] = create / read;
    dunForgetUniverse();
}
BENCHMARK(BM_CreateUniverse)->Iterations(200);

}  // namespace
