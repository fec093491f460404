// The ship brain and the firing arcs.
//
// BM_BrainTick90Ships: 1,000 frames of 2 centiseconds for a full ShipInfo
// pool (90 ships), each ship's brain ticking over eight filled slots (the
// evaluations that walk the scene list among them) and then its state stack
// running; against the same frames with the state runner alone, in the same
// run. "ratio" is brain and runner over the runner alone.
//
// BM_ArcTest240Weapons50Targets: the firing-arc test of a full Weapon pool
// (240 hard points of every direction and class) against 50 targets;
// against as many bare dot products of the same vectors. "ratio" is the
// arc tests' time over the dot products'.
#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "RES/vecmath.h"
#include "ai/brain.h"
#include "ai/states.h"
#include "ai/weapons.h"
#include "core/frame.h"
#include "world/handle.h"
#include "world/messages.h"
#include "world/objlist.h"
#include "world/pools.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kShips = kMaxShipInfos;
constexpr int kFrames = 1000;
constexpr uint32_t kHold = 90;

// Every slot's start state: it holds the ship where it is.
StateCommand *Hold(StateCommand *c, SceneItem *, int16_t, float, int32_t *, uint32_t, uint32_t, uint32_t) {
    return dunai_Yield(c, 1);
}

std::vector<SceneItem *> BuildShips() {
    dunMsgInit();
    dunResetWorld();
    dunFrameStep = 2;
    dunFrameSeconds = 0.02f;
    dunai_InitStateRegistry();
    dunai_RegisterState(kHold, "Hold", Hold, 0);
    std::vector<SceneItem *> ships;
    for (int i = 0; i < kShips; ++i) {
        SceneItem *it = dunCreateSceneItem();
        dunLinkSceneItem(it, 0);
        dunAttachSim(it, nullptr);
        ShipInfo *info = it->sim->shipInfo = &dunShipInfoPool[i];
        *info = ShipInfo{};
        info->flags = ShipFlag::InUse;
        info->side = int16_t(1 + i % 3);
        it->avatar->flags |= AvatarFlag::Ship | (0x80u << (i % 3));
        dunInitFlightParams(&info->current, 6000.0f, 400.0f, 0, 0, 110.0f, 110.0f, 110.0f, 650.0f);
        it->sim->flight = &info->current;
        it->sim->position = {i * 1000.0, -i * 500.0, i * 250.0};
        ships.push_back(it);
    }
    for (int i = 0; i < kShips; ++i) {
        SceneItem *ship = ships[i];
        ShipInfo *info = ship->sim->shipInfo;
        ship->sim->goal = ships[(i + 1) % kShips];
        const uint32_t other = dunHandleOf(ships[(i + 7) % kShips]);
        dunai_ResetOrders(info);
        struct Slot {
            const char *name;
            int32_t weight;
            OrderEvaluation evaluation;
            uint32_t p1, p2;
        };
        const Slot slots[kOrderSlots] = {
            {"SelfPreservation", 100, dunai_EvalSelfPreservation, 79, 0},
            {"FixedAttack", 70, dunai_EvalDefault, 80, 0},
            {"SeekAndDestroy2", 50, dunai_EvalSeekAndDestroy, 0, 400000},
            {"WaitForTrouble", 40, dunai_EvalWaitForTrouble, 0x280, 3},
            {"SentryDuty", 30, dunai_EvalSentryDuty, 500, 0},
            {"StayNear", 40, dunai_EvalStayNear, other, 600000},
            {"DefendObject", 40, dunai_EvalDefendObject, other, 50},
            {"PullOut", 30, dunai_EvalPullOut, 0, 150000},
        };
        for (int s = 0; s < kOrderSlots; ++s) {
            dunai_NameOrder(info, s, slots[s].name);
            dunai_SetOrder(info, s, 0, 0, 0, slots[s].weight, slots[s].evaluation, slots[s].p1, slots[s].p2);
            dunai_SetOrderState(info, s, kHold, 0, 0, 0);
        }
        info->currentOrder = 1;
        dunai_ResetStateStack(info, kHold, 0, 0, 0);
    }
    return ships;
}

void BM_BrainTick90Ships(benchmark::State &state) {
    const std::vector<SceneItem *> ships = BuildShips();
    double brainTime = 0, runnerTime = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        for (int f = 0; f < kFrames; ++f)
            for (SceneItem *ship : ships) {
                ShipInfo *info = ship->sim->shipInfo;
                dunai_BrainTick(ship, info);
                benchmark::DoNotOptimize(dunai_RunStateStack(ship, info));
            }
        auto t1 = Clock::now();
        for (int f = 0; f < kFrames; ++f)
            for (SceneItem *ship : ships) benchmark::DoNotOptimize(dunai_RunStateStack(ship, ship->sim->shipInfo));
        auto t2 = Clock::now();
        brainTime += std::chrono::duration<double>(t1 - t0).count();
        runnerTime += std::chrono::duration<double>(t2 - t1).count();
    }
    state.counters["ratio"] = runnerTime > 0 ? brainTime / runnerTime : 0;
    state.counters["brain_us"] = benchmark::Counter(brainTime * 1e6 / double(state.iterations()));
    state.counters["runner_us"] = benchmark::Counter(runnerTime * 1e6 / double(state.iterations()));
}
BENCHMARK(BM_BrainTick90Ships)->Unit(benchmark::kMillisecond);

constexpr int kWeapons = kMaxWeapons;
constexpr int kTargets = 50;

void BM_ArcTest240Weapons50Targets(benchmark::State &state) {
    dunResetWorld();
    SceneItem *ship = dunCreateSceneItem();
    dunLinkSceneItem(ship, 0);
    dunAttachSim(ship, nullptr);
    std::vector<Weapon> weapons(kWeapons);
    std::vector<Vec3> axes(kWeapons);
    const uint16_t classes[] = {0x000, 0x100, 0x200, 0x300, 0x400, 0x20, 0x30, 0x40};
    for (int i = 0; i < kWeapons; ++i) {
        Weapon &w = weapons[i];
        w.flags = WeaponFlag::InUse | (i % 2 ? WeaponFlag::Beam : WeaponFlag::Launcher);
        w.range = 200000.0f;
        w.mountCode = uint16_t((i % 10) | classes[i % 8] | (classes[(i / 8) % 8] & 0xF0));
        dunMountPosition(&axes[i], w.mountCode);
    }
    std::vector<Vec3> targets(kTargets);
    for (int t = 0; t < kTargets; ++t)
        targets[t] = {float(t * 7919 % 200000) - 100000.0f, float(t * 104729 % 60000) - 30000.0f,
                      float(t * 1299709 % 300000) - 100000.0f};
    double arcTime = 0, dotTime = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        int hits = 0;
        for (const Weapon &w : weapons)
            for (const Vec3 &p : targets) hits += dunMountArcTest(ship, p.x, p.y, p.z, w.mountCode, &w) != 0;
        benchmark::DoNotOptimize(hits);
        auto t1 = Clock::now();
        float sum = 0;
        for (const Vec3 &a : axes)
            for (const Vec3 &p : targets) {
                float d = a.x * p.x + a.y * p.y + a.z * p.z;
                benchmark::DoNotOptimize(d);
                sum += d;
            }
        benchmark::DoNotOptimize(sum);
        auto t2 = Clock::now();
        arcTime += std::chrono::duration<double>(t1 - t0).count();
        dotTime += std::chrono::duration<double>(t2 - t1).count();
    }
    state.counters["ratio"] = dotTime > 0 ? arcTime / dotTime : 0;
    state.counters["arc_us"] = benchmark::Counter(arcTime * 1e6 / double(state.iterations()));
    state.counters["dot_us"] = benchmark::Counter(dotTime * 1e6 / double(state.iterations()));
}
BENCHMARK(BM_ArcTest240Weapons50Targets);

}  // namespace
