// One empty game frame (every neighbouring service in its present state) and
// the opening of a data file through the path resolver, with the folder
// listings cold (flushed before each open) and warm. Each is reported beside
// a plain fopen of the same file's exact host path, measured in the same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/clock.h"
#include "app/game.h"
#include "core/log.h"
#include "core/options.h"
#include "os/paths.h"
#include "core/files.h"

namespace fs = std::filesystem;

namespace {

// A small tree whose names differ in case from the game's paths, so that
// every component goes through the case-insensitive match.
struct Tree {
    std::string root;
    std::string old;
    Tree() {
        old = fs::current_path().string();
        root = (fs::temp_directory_path() / ("ruvo_bench_" + std::to_string(reinterpret_cast<uintptr_t>(this)))).string();
        fs::create_directories(root + "/Vek/Resource/Scripts/Missions");
        for (int i = 0; i < 40; ++i) {
            std::ofstream(root + "/Vek/Resource/Scripts/Missions/Mission" + std::to_string(i) + ".SCR") << "x";
            fs::create_directories(root + "/Vek/Resource/Folder" + std::to_string(i));
        }
        fs::current_path(root);
    }
    ~Tree() {
        fs::current_path(old);
        std::error_code ec;
        fs::remove_all(root, ec);
    }
};

const char *kGamePath = "vek\\resource\\scripts\\missions\\mission17.scr";
const char *kHostPath = "Vek/Resource/Scripts/Missions/Mission17.SCR";

void BM_Fopen_Baseline(benchmark::State &state) {
    Tree tree;
    for (auto _ : state) {
        FILE *f = std::fopen(kHostPath, "rb");
        benchmark::DoNotOptimize(f);
        if (f) std::fclose(f);
    }
}
BENCHMARK(BM_Fopen_Baseline);

using Clock = std::chrono::steady_clock;

// Nanoseconds of one plain fopen and fclose of the exact host path.
double BaselineNs() {
    const int n = 2000;
    auto t0 = Clock::now();
    for (int i = 0; i < n; ++i) {
        FILE *f = std::fopen(kHostPath, "rb");
        benchmark::DoNotOptimize(f);
        if (f) std::fclose(f);
    }
    return std::chrono::duration<double, std::nano>(Clock::now() - t0).count() / n;
}

void OpenGameFileBench(benchmark::State &state, bool cold) {
    Tree tree;
    double base = BaselineNs();
    osFlushPathCache();
    auto t0 = Clock::now();
    for (auto _ : state) {
        if (cold) osFlushPathCache();
        FILE *f = OpenGameFile(kGamePath, "rb");
        benchmark::DoNotOptimize(f);
        if (f) std::fclose(f);
    }
    double per = std::chrono::duration<double, std::nano>(Clock::now() - t0).count() / (double)state.iterations();
    state.counters["x_fopen"] = per / base;
}

void BM_OpenGameFile_Cold(benchmark::State &state) { OpenGameFileBench(state, true); }
BENCHMARK(BM_OpenGameFile_Cold);

void BM_OpenGameFile_Warm(benchmark::State &state) { OpenGameFileBench(state, false); }
BENCHMARK(BM_OpenGameFile_Warm);

void BM_EmptyGameFrame(benchmark::State &state) {
    Tree tree;  // the interim services' log lines land here
    ResetOptions();
    ResetGameState();
    StartFrameClock();
    for (auto _ : state) {
        UpdateFrameClock();
        benchmark::DoNotOptimize(gameFrame());
    }
    state.counters["frames_per_s"] = benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
    ResetGameState();
}
BENCHMARK(BM_EmptyGameFrame);

}  // namespace
