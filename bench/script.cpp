// Compiling a generated 10,000-line script, against reading the same file
// into memory in the same run; and running a loop of 1,000,000 simple
// statements, against the same number of calls through a table of routines
// (the dispatch floor).
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
#include "script/symbols.h"

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

// Four statements a turn of the loop: ADD, SUB, SET and DECBNE.
constexpr int kStatements = 1000000;

int32_t gSink;
void Bump(int32_t *v) { gSink += ++*v; }
void (*volatile gTable[2])(int32_t *) = {Bump, Bump};

void Run(benchmark::State &state) {
    Ready();
    ResetScriptForMission();
    std::string text = "SET N " + std::to_string(kStatements / 4) +
                       "\r\nSET X 0\r\nSET Y 0\r\nLoop:\r\nADD X 1 SUB Y 1 SET Z X DECBNE N Loop\r\nEND\r\n";
    ScriptToken *start = TokeniseScriptBytes("loop.scr", reinterpret_cast<const uint8_t *>(text.data()), text.size());
    auto run = [&] {
        ScriptToken *pc = start;
        ScriptProcessor(&pc, 0);
        benchmark::DoNotOptimize(pc);
    };
    auto floor = [] {
        int32_t v = 0;
        for (int i = 0; i < kStatements; ++i) gTable[i & 1](&v);
        benchmark::DoNotOptimize(v);
    };
    for (auto _ : state) run();
    ScriptSymbol *x = FindScriptSymbol("X");
    if (!x || ScriptSymbolInt(x) != kStatements / 4) state.SkipWithError("the loop did not run its count");
    double tRun = SecondsPer(run, 5), tFloor = SecondsPer(floor, 5);
    state.counters["statements_per_s"] = kStatements / tRun;
    state.counters["ns_per_statement"] = tRun * 1e9 / kStatements;
    state.counters["ratio_to_calls"] = tRun / tFloor;
}
BENCHMARK(Run)->Unit(benchmark::kMillisecond);

}  // namespace
