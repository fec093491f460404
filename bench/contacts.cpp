// The contact list's refresh.
//
// BM_RefreshContacts400Objects: one refresh of the contact list (every
// object classed, ranged, identified, entered in the 100-entry table, the
// threats kept, the display list sorted and its window placed) with the
// object pool full: 400 objects round the controlled ship, ships of three
// sides, munitions and debris. Against a bare loop computing the same 400
// distances from the controlled ship, in the same run. "ratio" is the
// refresh's time over the loop's.
#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "RES/vecmath.h"
#include "ai/contacts.h"
#include "core/frame.h"
#include "world/messages.h"
#include "world/objlist.h"
#include "world/pools.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kObjects = kMaxSceneItems;
constexpr int kRounds = 100;

std::vector<SceneItem *> BuildScene() {
    dunMsgInit();
    dunResetWorld();
    dunFrameStep = 2;
    dunFrameSeconds = 0.02f;
    std::vector<SceneItem *> objects;
    for (int i = 0; i < kObjects; ++i) {
        SceneItem *it = dunCreateSceneItem();
        if (!it) break;
        dunLinkSceneItem(it, 0);
        dunAttachSim(it, nullptr);
        if (!it->sim || !it->avatar) break;
        it->sim->position = {double(i % 20) * 30000.0 - 300000.0, double(i / 20) * 20000.0 - 200000.0,
                             double(i % 7) * 40000.0};
        it->sim->radius = 100.0f + float(i % 13) * 50.0f;
        uint32_t flags = i % 5 == 4 ? 0x10u : i % 5 == 3 ? 0x1u : AvatarFlag::Ship;
        if (i < kMaxShipInfos && flags == AvatarFlag::Ship) {
            ShipInfo *info = it->sim->shipInfo = &dunShipInfoPool[i];
            *info = ShipInfo{};
            info->flags = ShipFlag::InUse;
            info->side = int16_t(1 + i % 3);
        }
        it->avatar->flags |= flags | (0x80u << (i % 3));
        objects.push_back(it);
    }
    dunControlledObject = objects.front();
    dunInitContacts();
    return objects;
}

void BM_RefreshContacts400Objects(benchmark::State &state) {
    const std::vector<SceneItem *> objects = BuildScene();
    const Vec3d &at = dunControlledObject->sim->position;
    double refreshTime = 0, loopTime = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        for (int r = 0; r < kRounds; ++r) {
            dunNextContactRefresh = dunGameClock;
            dunRefreshContacts();
        }
        benchmark::DoNotOptimize(dunContactTotal);
        auto t1 = Clock::now();
        for (int r = 0; r < kRounds; ++r) {
            float sum = 0;
            for (const SceneItem *o : objects) {
                const Vec3d &p = o->sim->position;
                float d = VecLengthApprox({float(p.x - at.x), float(p.y - at.y), float(p.z - at.z)});
                benchmark::DoNotOptimize(d);
                sum += d;
            }
            benchmark::DoNotOptimize(sum);
        }
        auto t2 = Clock::now();
        refreshTime += std::chrono::duration<double>(t1 - t0).count();
        loopTime += std::chrono::duration<double>(t2 - t1).count();
    }
    state.counters["ratio"] = loopTime > 0 ? refreshTime / loopTime : 0;
    state.counters["objects"] = double(objects.size());
    state.counters["contacts"] = double(dunContactTotal);
    state.counters["refresh_us"] = benchmark::Counter(refreshTime * 1e6 / double(state.iterations()) / kRounds);
    state.counters["loop_us"] = benchmark::Counter(loopTime * 1e6 / double(state.iterations()) / kRounds);
}
BENCHMARK(BM_RefreshContacts400Objects);

}  // namespace
