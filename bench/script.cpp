// Compiling a generated 10,000-line script, against reading the same file
// into memory in the same run.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/files.h"
#include "os/paths.h"
#include "script/compiler.h"
#include "script/script.h"

namespace {

constexpr int kLines = 10000;

double SecondsPer(auto &&fn, int reps) {
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < reps; ++i) fn();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / reps;
}

// A private data root with the script system started once.
void Ready() {
    static bool done = false;
    if (done) return;
    done = true;
    char tmpl[] = "/tmp/ruvobench-XXXXXX";
    if (!mkdtemp(tmpl) || chdir(tmpl) != 0) std::abort();
    std::filesystem::create_directories("vek/resource/scripts/missions");
    osFlushPathCache();
    InitializeScriptSystem();
}

// Mission-like text: remarks, labels, statements with names, numbers and
// strings, blank lines. It fits the fixed token buffer.
std::string MissionText() {
    std::string s;
    for (int i = 0; i < kLines / 10; ++i) {
        int n = i % 100;
        s += "; section " + std::to_string(i) + " of the generated mission\r\n";
        s += "Label" + std::to_string(n) + ":\r\n";
        s += "SET Count" + std::to_string(n) + " 5\r\n";
        s += "ADD Count" + std::to_string(n) + " 1.5\r\n";
        s += "CALL Label" + std::to_string((n + 1) % 100) + "\r\n";
        s += "\r\n";
        s += "\tWAIT\r\n";
        s += "DEBUG \"|Count reached|Compte atteint|Zahl erreicht|\"\r\n";
        s += "  ; an indented remark\r\n";
        s += "RETURN\r\n";
    }
    return s;
}

void Compile(benchmark::State &state) {
    Ready();
    const std::string text = MissionText();
    const char *path = "vek/resource/scripts/missions/bench.scr";
    FILE *f = std::fopen(path, "wb");
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    auto compile = [] {
        ResetScriptForMission();
        benchmark::DoNotOptimize(TokeniseScript("bench.scr"));
    };
    auto read = [&] {
        uint8_t *data = nullptr;
        size_t size = 0;
        ReadGameFile(path, &data, &size, text.size() + 1);
        benchmark::DoNotOptimize(data);
        std::free(data);
    };
    for (auto _ : state) compile();
    double tCompile = SecondsPer(compile, 20), tRead = SecondsPer(read, 200);
    state.counters["lines_per_s"] = kLines / tCompile;
    state.counters["compile_ms"] = tCompile * 1e3;
    state.counters["read_ms"] = tRead * 1e3;
    state.counters["ratio_to_read"] = tCompile / tRead;
    state.counters["tokens"] = double(gScriptTokenTop);
}
BENCHMARK(Compile)->Unit(benchmark::kMillisecond);

}  // namespace
