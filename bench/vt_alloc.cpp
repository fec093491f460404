// The library's resource allocator against malloc/free, and registry find by
// name against a plain case-insensitive scan of the same names. Each
// benchmark times its own baseline in the same run and reports the ratio.
#include <benchmark/benchmark.h>
#include <strings.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "render/fw/fw.h"

namespace {

using Clock = std::chrono::steady_clock;

void quiet(const char *) {}
vt_diaghandler quietDiag = {"quiet", quiet, quiet};

struct Library {
    Library() {
        VtDiagHandlerSet(&quietDiag);
        VtBegin();
    }
    ~Library() { VtEnd(); }
};

constexpr int kBatch = 256;

void BM_ResAllocateFree(benchmark::State &state) {
    Library lib;
    const vt_size size = vt_size(state.range(0));
    void *blocks[kBatch];
    double vt = 0, base = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        for (int i = 0; i < kBatch; i++)
            blocks[i] = VtResAllocate(VtFrameworkRoot(), size, VT_RES_APPLICATION);
        for (int i = kBatch - 1; i >= 0; i--)
            VtResFree(blocks[i]);
        auto t1 = Clock::now();
        for (int i = 0; i < kBatch; i++) {
            blocks[i] = malloc(size);
            memset(blocks[i], 0, size); // the library hands out zeroed blocks
        }
        benchmark::DoNotOptimize(blocks);
        for (int i = kBatch - 1; i >= 0; i--)
            free(blocks[i]);
        auto t2 = Clock::now();
        vt += std::chrono::duration<double>(t1 - t0).count();
        base += std::chrono::duration<double>(t2 - t1).count();
    }
    state.counters["vt_ns_per_pair"] = vt * 1e9 / (double(state.iterations()) * kBatch);
    state.counters["malloc_ns_per_pair"] = base * 1e9 / (double(state.iterations()) * kBatch);
    state.counters["ratio_vs_malloc"] = base > 0 ? vt / base : 0;
}
BENCHMARK(BM_ResAllocateFree)->Arg(16)->Arg(256)->Arg(4096);

struct Item {
    void *reserved;
    const char *identifier;
};

void BM_RegistryFind(benchmark::State &state) {
    Library lib;
    constexpr int kItems = 1000;
    std::vector<std::string> names;
    std::vector<Item> items(kItems);
    for (int i = 0; i < kItems; i++)
        names.push_back("material_" + std::to_string(i * 7919 % 100000));
    vt_registry reg{};
    VtRegistryNew(&reg);
    for (int i = 0; i < kItems; i++) {
        items[i] = {nullptr, names[i].c_str()};
        VtRegistryAdd(&reg, &items[i]);
    }
    double vt = 0, base = 0;
    int q = 0;
    for (auto _ : state) {
        const char *name = names[(q++ * 37) % kItems].c_str();
        auto t0 = Clock::now();
        benchmark::DoNotOptimize(VtRegistryFind(&reg, name));
        auto t1 = Clock::now();
        // Baseline: the same names scanned newest first with strcasecmp.
        Item *found = nullptr;
        for (int i = kItems - 1; i >= 0 && !found; i--)
            if (strcasecmp(items[i].identifier, name) == 0)
                found = &items[i];
        benchmark::DoNotOptimize(found);
        auto t2 = Clock::now();
        vt += std::chrono::duration<double>(t1 - t0).count();
        base += std::chrono::duration<double>(t2 - t1).count();
    }
    VtRegistryClear(&reg);
    state.counters["vt_ns_per_find"] = vt * 1e9 / double(state.iterations());
    state.counters["scan_ns_per_find"] = base * 1e9 / double(state.iterations());
    state.counters["ratio_vs_scan"] = base > 0 ? vt / base : 0;
}
BENCHMARK(BM_RegistryFind);

} // namespace
