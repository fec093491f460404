// Cost of one simulation step per object, over a world of 400 objects with
// trivial routines, against a plain loop that calls the same routines
// through the same slots from an array (the floor any object walk pays).
#include <benchmark/benchmark.h>

#include <chrono>

#include "core/frame.h"
#include "world/messages.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/step.h"

namespace {

constexpr int kObjects = 400;
SceneItem *objects[kObjects];

void Control(SceneItem *it) { it->sim->demandSpeed += 1.0f; }
void Simulate(SceneItem *it) {
    Sim *s = it->sim;
    s->position.x += s->velocity.x * dunFrameSeconds;
    s->position.y += s->velocity.y * dunFrameSeconds;
    s->position.z += s->velocity.z * dunFrameSeconds;
}
void Handler(SceneItem *it) {
    MsgRecord m;
    while (dunMsgReceive(it->receiverId, &m)) {
    }
}

void BuildWorld() {
    dunMsgInit();
    dunResetWorld();
    dunFrameCounter = 1;
    dunFrameStep = 5;
    dunFrameSeconds = 0.05f;
    for (int i = 0; i < kObjects - 1; ++i) {
        SceneItem *it = dunCreateSceneItem();
        dunLinkSceneItem(it, 0);
        dunAttachSim(it, Simulate);
        dunSetControlRoutine(it, Control);
        dunSetDrawRoutines(it, dunCopySimToModel, nullptr);
        dunAttachTDP(it);
        dunSetMessageHandler(it, Handler);
        it->sim->velocity = {1.0f, 2.0f, 3.0f};
        objects[i] = it;
    }
    objects[kObjects - 1] = dunCreateSceneItem();  // the last record stays free for the pool's rule
}

// The same calls without the list, filters, phases and message buffer.
void Baseline() {
    for (int i = 0; i < kObjects - 1; ++i) {
        SceneItem *it = objects[i];
        it->messageHandler(it);
        it->control(it);
        it->sim->previous = it->sim->matrix;
        it->simulator(it);
        it->avatar->modelUpdate(it);
        it->avatar->modelUpdate(it);
    }
}

template <class F>
double SecondsPer(F f, int reps) {
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < reps; ++i) f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / reps;
}

void BM_SimulationStep(benchmark::State &state) {
    BuildWorld();
    for (auto _ : state) {
        dunSimulationStep();
        benchmark::ClobberMemory();
    }
    state.counters["per_object"] =
        benchmark::Counter(double(state.iterations()) * (kObjects - 1), benchmark::Counter::kIsRate |
                                                                            benchmark::Counter::kInvert);
    const double base = SecondsPer(Baseline, 2000);
    const double step = SecondsPer(dunSimulationStep, 2000);
    state.counters["ns_per_object_step"] = step * 1e9 / (kObjects - 1);
    state.counters["ns_per_object_baseline"] = base * 1e9 / (kObjects - 1);
    state.counters["step_over_baseline"] = step / base;
}
BENCHMARK(BM_SimulationStep);

void BM_Baseline(benchmark::State &state) {
    BuildWorld();
    for (auto _ : state) {
        Baseline();
        benchmark::ClobberMemory();
    }
    state.counters["per_object"] =
        benchmark::Counter(double(state.iterations()) * (kObjects - 1), benchmark::Counter::kIsRate |
                                                                            benchmark::Counter::kInvert);
}
BENCHMARK(BM_Baseline);

}  // namespace
