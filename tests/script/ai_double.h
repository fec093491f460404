// A recording double of the ship brain and targeting calls the script makes
// directly. The test program is linked with the linker's --wrap for each of
// them (tests/CMakeLists.txt): every call lands in the double, which writes
// it down and goes on to the AI's own body.
#pragma once

#include <string>
#include <vector>

#include "ai/brain.h"

struct AiCall {
    std::string name;
    SceneItem *ship = nullptr;
    int slot = 0;
    std::string text;
    int numbers[6] = {};
    OrderEvaluation evaluation = nullptr;
};

// The calls since the last Clear.
const std::vector<AiCall> &AiCalls();
void AiCallsClear();
int AiCallCount(const std::string &name);
const AiCall *AiCallFind(const std::string &name, int n = 0);
