// The hot math against plain loops doing the same work, in the same run.
// Each benchmark reports "ratio": its time over the reference's (1.0 = as
// fast as the plain loop).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <vector>

#include "RES/vecmath.h"

namespace {

using Clock = std::chrono::steady_clock;

template <class Op, class Ref>
void Compare(benchmark::State &state, Op op, Ref ref) {
    double opTime = 0, refTime = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        op();
        auto t1 = Clock::now();
        ref();
        auto t2 = Clock::now();
        opTime += std::chrono::duration<double>(t1 - t0).count();
        refTime += std::chrono::duration<double>(t2 - t1).count();
    }
    state.counters["ratio"] = refTime > 0 ? opTime / refTime : 0;
    state.counters["op_ns"] = benchmark::Counter(opTime * 1e9 / state.iterations());
    state.counters["ref_ns"] = benchmark::Counter(refTime * 1e9 / state.iterations());
}

Mat4 SampleMatrix(float seed) {
    Mat4 a;
    MatIdentity(a);
    MatRotateX(seed * 13, a);
    MatRotateY(seed * 7, a);
    MatTranslate(seed, -seed, seed * 2, a);
    return a;
}

std::vector<Vec3> SamplePoints(int n) {
    std::vector<Vec3> p(n);
    for (int i = 0; i < n; ++i) p[i] = Vec3{i * 0.5f - 100, (i % 37) * 3.0f, -(i % 11) * 1.5f};
    return p;
}

void BM_MatrixMultiply(benchmark::State &state) {
    constexpr int kCount = 1000;
    Mat4 a = SampleMatrix(1), b = SampleMatrix(2), r1 = a, r2 = a;
    Compare(
        state,
        [&] {
            for (int i = 0; i < kCount; ++i) {
                r1 = a;
                MatPreMultiply(r1, b);
                benchmark::DoNotOptimize(r1);
            }
        },
        [&] {
            for (int i = 0; i < kCount; ++i) {
                for (int row = 0; row < 4; ++row)
                    for (int col = 0; col < 4; ++col) {
                        float s = 0;
                        for (int k = 0; k < 4; ++k) s += a.m[4 * row + k] * b.m[4 * k + col];
                        r2.m[4 * row + col] = s;
                    }
                benchmark::DoNotOptimize(r2);
            }
        });
}
BENCHMARK(BM_MatrixMultiply);

void BM_TransformPoints(benchmark::State &state) {
    constexpr int kCount = 10000;
    const Mat4 a = SampleMatrix(3);
    const std::vector<Vec3> in = SamplePoints(kCount);
    std::vector<Vec3> out1(kCount), out2(kCount);
    Compare(
        state,
        [&] {
            for (int i = 0; i < kCount; ++i) MatRotateVector(a, in[i], out1[i]);
            benchmark::DoNotOptimize(out1.data());
        },
        [&] {
            for (int i = 0; i < kCount; ++i) {
                const Vec3 &p = in[i];
                out2[i] = Vec3{a.m[0] * p.x + a.m[4] * p.y + a.m[8] * p.z, a.m[1] * p.x + a.m[5] * p.y + a.m[9] * p.z,
                               a.m[2] * p.x + a.m[6] * p.y + a.m[10] * p.z};
            }
            benchmark::DoNotOptimize(out2.data());
        });
}
BENCHMARK(BM_TransformPoints);

// The estimate exists to avoid a square root per object: its reference is
// the exact length.
void BM_LengthApprox(benchmark::State &state) {
    constexpr int kCount = 10000;
    const std::vector<Vec3> in = SamplePoints(kCount);
    Compare(
        state,
        [&] {
            float sum = 0;
            for (const Vec3 &v : in) sum += VecLengthApprox(v);
            benchmark::DoNotOptimize(sum);
        },
        [&] {
            float sum = 0;
            for (const Vec3 &v : in) sum += std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
            benchmark::DoNotOptimize(sum);
        });
}
BENCHMARK(BM_LengthApprox);

}  // namespace
