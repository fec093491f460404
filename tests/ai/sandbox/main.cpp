// ai_sandbox [options]: runs a sample mission headless while a scenario
// drives ships through their AI state stacks, and prints what they do.
// Exit code 0 when the scenario's goal was met, 1 when not, 2 on bad use.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "core/log.h"
#include "core/options.h"
#include "sandbox/sandbox.h"

namespace {

void Usage() {
    std::fprintf(stderr,
                 "usage: ai_sandbox [--mission NAME] [--scenario NAME] [--ship SYMBOL] [--seed N] [--step CS]\n"
                 "                  [--seconds S] [--every S] [--point X,Y,Z] [--data DIR]\n"
                 "scenarios:\n%s",
                 AiSandboxScenarios().c_str());
}

bool Number(const char *text, double &out) {
    char *end = nullptr;
    out = std::strtod(text, &end);
    return end != text && *end == 0;
}

}  // namespace

int main(int argc, char **argv) {
    SandboxOptions o;
    if (const char *root = std::getenv("RUVO_DATA")) o.dataRoot = root;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const char *v = i + 1 < argc ? argv[i + 1] : nullptr;
        double n = 0;
        if (a == "--help" || a == "-h") {
            Usage();
            return 0;
        }
        if (!v) {
            Usage();
            return 2;
        }
        ++i;
        if (a == "--mission") {
            o.mission = v;
        } else if (a == "--scenario") {
            o.scenario = v;
        } else if (a == "--ship") {
            o.ship = v;
        } else if (a == "--data") {
            o.dataRoot = v;
        } else if (a == "--point") {
            float x, y, z;
            char tail;
            if (std::sscanf(v, "%f,%f,%f%c", &x, &y, &z, &tail) != 3 || !std::isfinite(x) || !std::isfinite(y) ||
                !std::isfinite(z)) {
                Usage();
                return 2;
            }
            o.point = {x, y, z};
            o.pointGiven = true;
        } else if (Number(v, n) && n >= 0 && n < 1e7) {
            if (a == "--seed") o.seed = uint32_t(n);
            else if (a == "--step") o.step = int32_t(n);
            else if (a == "--seconds") o.seconds = float(n);
            else if (a == "--every") o.every = float(n);
            else {
                Usage();
                return 2;
            }
        } else {
            Usage();
            return 2;
        }
    }
    if (o.step < 1 || o.step > 20) {
        std::fprintf(stderr, "ai_sandbox: the frame step is 1 to 20 centiseconds\n");
        return 2;
    }
    // The game's log lines go to stderr, not into the data tree.
    optDebug = 1;
    dunSetDebugSink([](const char *text) { std::fprintf(stderr, "%s\n", text); });
    const SandboxResult r = RunAiSandbox(o, std::cout);
    if (!r.ran) return 2;
    return r.goal ? 0 : 1;
}
