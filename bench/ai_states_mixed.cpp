// One frame of AI for 60 ships in mixed states: a dozen each escorting a
// leader, following a wing leader, standing guard with their guns, attacking
// from behind their goal, and flying in to dock; against the same ships with
// the "Null" state on their stacks, in the same run. The "ratio" counter is
// the mixed frame's time over the idle frame's.
#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <vector>

#include "ai/states.h"
#include "ai/weapons.h"
#include "core/frame.h"
#include "world/docking.h"
#include "world/handle.h"
#include "world/messages.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/simplace.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kShips = 60, kKinds = 5;
constexpr uint32_t kNull = 0, kDocking = 14, kGuard = 23, kTailBiting = 31, kFollower = 43, kEscort = 51;

struct Stack {
    std::array<StateFrame, kStateFrames> frames;
    int16_t top;
};

Stack Save(const ShipInfo *info) {
    Stack s;
    for (int k = 0; k < kStateFrames; ++k) s.frames[k] = info->states[k];
    s.top = info->stateTop;
    return s;
}

void Load(ShipInfo *info, const Stack &s) {
    for (int k = 0; k < kStateFrames; ++k) info->states[k] = s.frames[k];
    info->stateTop = s.top;
}

SceneItem *Ship(int i) {
    SceneItem *it = dunCreateSceneItem();
    dunLinkSceneItem(it, 0);
    dunAttachSim(it, nullptr);
    ShipInfo *info = it->sim->shipInfo = dunAllocShipInfo();
    info->side = int16_t(i % 2 ? 1 : 3);
    info->group = int16_t(1 + i % 4);
    dunInitFlightParams(&info->current, 6000.0f, 400.0f, 0, 0, 110.0f, 110.0f, 110.0f, 650.0f);
    info->nominal = info->current;
    it->sim->flight = &info->current;
    it->sim->radius = 1000.0f;
    it->sim->position = {i * 20000.0, (i % 5) * 15000.0, (i % 7) * 30000.0};
    dunSyncFloatPosition(it->sim);
    it->sim->velocity = {float(i % 7) * 100.0f, 300.0f, -float(i % 5) * 200.0f};
    MatRotateY(float(i * 4), it->sim->matrix);
    it->avatar->flags = AvatarFlag::Ship | (0x40u << info->side);
    it->avatar->position = it->sim->position;
    return it;
}

struct Fleet {
    std::vector<SceneItem *> ships;
    std::vector<Stack> mixed, idle;
};

Fleet Build() {
    dunMsgInit();
    dunResetWorld();
    dunFrameStep = 2;
    dunFrameSeconds = 0.02f;
    dunai_InitStateRegistry();
    Fleet f;
    for (int i = 0; i < kShips; ++i) f.ships.push_back(Ship(i));
    for (int i = 0; i < kShips; ++i) {
        SceneItem *ship = f.ships[i], *other = f.ships[(i + 1) % kShips];
        ShipInfo *info = ship->sim->shipInfo;
        ship->sim->goal = ship->sim->target = other;
        switch (i % kKinds) {
        case 0: dunai_ResetStateStack(info, kEscort, 70000, dunHandleOf(other), 1); break;
        case 1:
            info->leader = other;
            dunai_ResetStateStack(info, kFollower, 0, 0, 0);
            break;
        case 2:
            dunCreatePBC(ship, 0, 0, 0, "PBC", 9);
            dunai_ResetStateStack(info, kGuard, 4, 0, 0);
            break;
        case 3:
            ship->sim->flags |= 0x1400;
            dunai_ResetStateStack(info, kTailBiting, 0, dunHandleOf(other), 0);
            break;
        default:
            dunAddDockingPort(other, PortFlag::Open, 1, 0, 0, 0, 0, 0, 10, 100);
            dunAddDockingPort(ship, PortFlag::Open, 1, 0, 0, 0, 0, 0, 10, 50);
            dunai_ResetStateStack(info, kDocking, dunHandleOf(other), 0, 0);
            break;
        }
        f.mixed.push_back(Save(info));
        dunai_ResetStateStack(info, kNull, 0, 0, 0);
        f.idle.push_back(Save(info));
    }
    return f;
}

double Frame(Fleet &f, std::vector<Stack> &stacks) {
    for (int i = 0; i < kShips; ++i) Load(f.ships[i]->sim->shipInfo, stacks[i]);
    const auto t0 = Clock::now();
    for (SceneItem *ship : f.ships) {
        ship->sim->flags &= ~SimFlag::TurnedThisFrame;
        benchmark::DoNotOptimize(dunai_RunStateStack(ship, ship->sim->shipInfo));
    }
    const auto t1 = Clock::now();
    for (int i = 0; i < kShips; ++i) stacks[i] = Save(f.ships[i]->sim->shipInfo);
    return std::chrono::duration<double>(t1 - t0).count();
}

void BM_AiFrame60MixedStates(benchmark::State &state) {
    Fleet f = Build();
    double mixedTime = 0, idleTime = 0;
    for (auto _ : state) {
        mixedTime += Frame(f, f.mixed);
        idleTime += Frame(f, f.idle);
    }
    state.counters["ratio"] = idleTime > 0 ? mixedTime / idleTime : 0;
    state.counters["mixed_ns"] = benchmark::Counter(mixedTime * 1e9 / double(state.iterations()));
    state.counters["null_ns"] = benchmark::Counter(idleTime * 1e9 / double(state.iterations()));
}
BENCHMARK(BM_AiFrame60MixedStates);

}  // namespace
