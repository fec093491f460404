// One frame of AI for a full ShipInfo pool (90 ships): each ship's state
// stack runs a state that pushes a sub-state steering it to a point with the
// stopping steering, which yields; against normalising as many vectors in a
// bare loop, in the same run. The "ratio" counter is the AI frame's time
// over the loop's.
#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "RES/vecmath.h"
#include "ai/states.h"
#include "ai/steering.h"
#include "core/frame.h"
#include "world/messages.h"
#include "world/objlist.h"
#include "world/pools.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kShips = kMaxShipInfos;
constexpr uint32_t kPatrol = 90, kSteer = 91;

// The order's state: pushes the steering state, which never finishes.
StateCommand *Patrol(StateCommand *c, SceneItem *, int16_t, float, int32_t *, uint32_t p1, uint32_t p2, uint32_t p3) {
    return dunai_Push(c, kSteer, p1, p2, p3, 2);
}
StateCommand *Steer(StateCommand *c, SceneItem *ship, int16_t, float, int32_t *, uint32_t p1, uint32_t p2,
                    uint32_t p3) {
    const Vec3 point = {float(int32_t(p1)), float(int32_t(p2)), float(int32_t(p3))};
    return dunai_Yield(c, 1, dunai_SteerToStopAt(ship, point, nullptr, 9000.0f));
}

std::vector<SceneItem *> BuildShips() {
    dunMsgInit();
    dunResetWorld();
    dunFrameStep = 2;
    dunFrameSeconds = 0.02f;
    dunai_InitStateRegistry();
    dunai_RegisterState(kPatrol, "Patrol", Patrol, 0);
    dunai_RegisterState(kSteer, "Steer", Steer, StateNeeds::Target);
    std::vector<SceneItem *> ships;
    for (int i = 0; i < kShips; ++i) {
        SceneItem *it = dunCreateSceneItem();
        dunLinkSceneItem(it, 0);
        dunAttachSim(it, nullptr);
        // Every record of the pool (its search always keeps one back).
        ShipInfo *info = it->sim->shipInfo = &dunShipInfoPool[i];
        *info = ShipInfo{};
        info->flags = ShipFlag::InUse;
        dunInitFlightParams(&info->current, 6000.0f, 400.0f, 0, 0, 110.0f, 110.0f, 110.0f, 650.0f);
        it->sim->flight = &info->current;
        it->sim->position = {i * 1000.0, -i * 500.0, i * 250.0};
        it->sim->velocity = {float(i % 7) * 100.0f, 300.0f, -float(i % 5) * 200.0f};
        MatRotateY(float(i * 4), it->sim->matrix);
        ships.push_back(it);
    }
    // Each ship keeps the next as its target, which the steering state needs.
    for (int i = 0; i < kShips; ++i) {
        ships[i]->sim->target = ships[(i + 1) % kShips];
        dunai_ResetStateStack(ships[i]->sim->shipInfo, kPatrol, uint32_t(i * 5000), 200000u, uint32_t(-i * 3000));
    }
    return ships;
}

void BM_AiFrame90Ships(benchmark::State &state) {
    const std::vector<SceneItem *> ships = BuildShips();
    std::vector<Vec3> vectors(kShips);
    for (int i = 0; i < kShips; ++i) vectors[i] = {float(i) + 1.0f, float(i % 13) - 6.0f, 1000.0f - float(i)};
    double aiTime = 0, refTime = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        for (SceneItem *ship : ships) {
            ship->sim->flags &= ~SimFlag::TurnedThisFrame;
            benchmark::DoNotOptimize(dunai_RunStateStack(ship, ship->sim->shipInfo));
        }
        auto t1 = Clock::now();
        for (Vec3 &v : vectors) {
            Vec3 u = v;
            benchmark::DoNotOptimize(VecNormalise(u));
            benchmark::DoNotOptimize(u);
        }
        auto t2 = Clock::now();
        aiTime += std::chrono::duration<double>(t1 - t0).count();
        refTime += std::chrono::duration<double>(t2 - t1).count();
    }
    state.counters["ratio"] = refTime > 0 ? aiTime / refTime : 0;
    state.counters["ai_ns"] = benchmark::Counter(aiTime * 1e9 / double(state.iterations()));
    state.counters["ref_ns"] = benchmark::Counter(refTime * 1e9 / double(state.iterations()));
}
BENCHMARK(BM_AiFrame90Ships);

}  // namespace
