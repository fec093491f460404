// The COLLISIONS phase over a full world (400 objects: the per-step reset,
// the part transforms and the broad phase with its narrow-phase calls), against a bare loop that
// does the same number of sphere tests over positions and radii held in
// plain arrays. The target: within 3x of the bare loop.
#include <benchmark/benchmark.h>

#include <chrono>

#include "RES/util.h"
#include "core/frame.h"
#include "world/collision.h"
#include "world/messages.h"
#include "world/objlist.h"
#include "world/pools.h"

namespace {

constexpr int kObjects = 400;
Vec3d positions[kObjects];
float radii[kObjects];

// Ships spread through a cube 200 km across, a tenth of them recording their
// nearest neighbour; about one pair in a hundred is close enough to reach
// the narrow phase.
void BuildWorld() {
    dunMsgInit();
    dunResetWorld();
    dunFrameCounter = 1;
    dunFrameStep = 5;
    dunFrameSeconds = 0.05f;
    dunRand15State = 7;
    for (int i = 0; i < kObjects; ++i) {
        SceneItem *it = dunCreateSceneItem();
        dunLinkSceneItem(it, i % 10 == 0 ? SceneFlag::RecordsNearest : 0);
        dunAttachSim(it, nullptr);
        TDP *root = dunAttachTDP(it);
        const Vec3d p = {double(dunRand15() % 20000) * 10.0, double(dunRand15() % 20000) * 10.0,
                         double(dunRand15() % 20000) * 10.0};
        it->sim->position = p;
        it->sim->matrix.m[12] = float(p.x), it->sim->matrix.m[13] = float(p.y), it->sim->matrix.m[14] = float(p.z);
        it->sim->radius = 500.0f + float(dunRand15() % 1000);
        // Touching parts meet as spheres and have no handler: the cost is the test.
        root->radius = it->sim->radius;
        root->flags |= TDPFlag::SpheresOnly;
        positions[i] = p;
        radii[i] = it->sim->radius;
    }
}

int Baseline() {
    int hits = 0;
    for (int i = 0; i < kObjects; ++i) {
        for (int j = i + 1; j < kObjects; ++j) {
            const double dx = positions[j].x - positions[i].x, dy = positions[j].y - positions[i].y,
                         dz = positions[j].z - positions[i].z;
            const double sum = double(radii[i]) + radii[j];
            hits += dx * dx + dy * dy + dz * dz < sum * sum;
        }
    }
    return hits;
}

// What the step does in its COLLISIONS phase.
void Phase() {
    dunResetFrameFlags();
    SceneItem *head = dunSceneListHead();
    for (SceneItem *it = head->next; it != head; it = it->next) dunUpdateNodeTransforms(it);
    dunCollisionPass();
}

template <class F>
double SecondsPer(F f, int reps) {
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < reps; ++i) f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / reps;
}

// The two timed in turns, each keeping its best round, so that a busy
// machine slows both alike and a passing burst counts for neither.
template <class F, class G>
void BestOfRounds(F f, G g, double *fBest, double *gBest) {
    *fBest = *gBest = 1e30;
    for (int round = 0; round < 15; ++round) {
        const double ft = SecondsPer(f, 20), gt = SecondsPer(g, 20);
        if (ft < *fBest) *fBest = ft;
        if (gt < *gBest) *gBest = gt;
    }
}

void BM_CollisionPhase(benchmark::State &state) {
    BuildWorld();
    for (auto _ : state) {
        Phase();
        benchmark::ClobberMemory();
    }
    int sink = 0;
    double base, phase;
    // The barrier keeps the compiler from doing the unchanged loop only once.
    BestOfRounds(
        [&] {
            benchmark::ClobberMemory();
            sink += Baseline();
        },
        Phase, &base, &phase);
    benchmark::DoNotOptimize(sink);
    state.counters["pairs"] = kObjects * (kObjects - 1) / 2;
    state.counters["ns_per_pair_phase"] = phase * 1e9 / (kObjects * (kObjects - 1) / 2);
    state.counters["ns_per_pair_baseline"] = base * 1e9 / (kObjects * (kObjects - 1) / 2);
    state.counters["phase_over_baseline"] = phase / base;
}
BENCHMARK(BM_CollisionPhase);

void BM_SphereBaseline(benchmark::State &state) {
    BuildWorld();
    for (auto _ : state) {
        benchmark::ClobberMemory();
        benchmark::DoNotOptimize(Baseline());
    }
}
BENCHMARK(BM_SphereBaseline);

}  // namespace
