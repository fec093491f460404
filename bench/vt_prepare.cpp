// Model preparation of a 5000-face model (a wavy 51 x 51 grid of two
// triangles a cell, one smoothing group, two materials), in faces per
// second and as a ratio to copying the same vertex and face arrays in the
// same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <vector>

#include "render/fw/fw.h"
#include "render/scene/scene.h"

namespace {

using Clock = std::chrono::steady_clock;

void quiet(const char *) {}
vt_diaghandler quietDiag = {"quiet", quiet, quiet};

constexpr int kSide = 50; // cells a side: 2 x 50 x 50 = 5000 faces

vt_model *gridModel(vt_material *a, vt_material *b) {
    const int n = kSide + 1;
    vt_model *m = VtModelAllocate("grid", n * n, 2 * kSide * kSide);
    for (int y = 0; y < n; y++)
        for (int x = 0; x < n; x++) {
            vt_vertex &v = m->vertices[y * n + x];
            VtVector3Set(&v.p, float(x), float(y), std::sin(x * 0.3f) * std::cos(y * 0.2f));
            VtVector2Set(&v.map, x / float(kSide), y / float(kSide));
        }
    int f = 0;
    for (int y = 0; y < kSide; y++)
        for (int x = 0; x < kSide; x++) {
            vt_uint_16 i = vt_uint_16(y * n + x);
            vt_uint_16 quad[4] = {i, vt_uint_16(i + 1), vt_uint_16(i + n + 1), vt_uint_16(i + n)};
            for (int t = 0; t < 2; t++, f++) {
                vt_face &face = m->faces[f];
                face.vertices[0] = quad[0];
                face.vertices[1] = quad[t + 1];
                face.vertices[2] = quad[t + 2];
                face.smoothing = 1;
                face.material = (x < kSide / 2) ? a : b;
                face.flags = t ? VT_FACEF_HIDE_EDGE_0 : VT_FACEF_HIDE_EDGE_2;
            }
        }
    m->flags = VT_MODF_UPDATEABLE;
    return m;
}

void BM_PrepareModel5000(benchmark::State &state) {
    VtDiagHandlerSet(&quietDiag);
    VtBeginAll();
    vt_material *a = VtMaterialAllocate("a"), *b = VtMaterialAllocate("b");
    vt_model *m = gridModel(a, b);
    std::vector<vt_vertex> vcopy(m->nvertices);
    std::vector<vt_face> fcopy(m->nfaces);
    double prep = 0, copy = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        VtModelUpdate(m, VT_MODU_ALL);
        benchmark::DoNotOptimize(m->prepared);
        auto t1 = Clock::now();
        memcpy(vcopy.data(), m->vertices, sizeof(vt_vertex) * m->nvertices);
        memcpy(fcopy.data(), m->faces, sizeof(vt_face) * m->nfaces);
        benchmark::ClobberMemory();
        auto t2 = Clock::now();
        prep += std::chrono::duration<double>(t1 - t0).count();
        copy += std::chrono::duration<double>(t2 - t1).count();
    }
    double iters = double(state.iterations());
    state.counters["faces_per_s"] = prep > 0 ? m->nfaces * iters / prep : 0;
    state.counters["prepare_us"] = prep * 1e6 / iters;
    state.counters["copy_us"] = copy * 1e6 / iters;
    state.counters["ratio_vs_copy"] = copy > 0 ? prep / copy : 0;
    VtModelFree(m);
    VtMaterialFree(a);
    VtMaterialFree(b);
    VtEndAll();
}
BENCHMARK(BM_PrepareModel5000)->Unit(benchmark::kMicrosecond);

} // namespace
