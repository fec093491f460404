// The AI sandbox: a sample mission loaded through the real script and world,
// run headless with a fixed frame step and a seeded 15-bit generator, while a
// scenario drives chosen ships through their AI state stacks. It prints each
// ship's state, distance and speed at intervals, and the events of the run
// (state changes, arrivals, ships gone), so that AI behaviour can be watched
// and compared run against run. The `ai_sandbox` program and the AI's tests
// share it.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "RES/vecmath.h"

struct SandboxOptions {
    std::string mission = "mission01";  // vek\resource\scripts\missions\<mission>.scr
    std::string scenario = "stop";
    std::string ship = "Enemy";  // the script symbol of the ship the scenario drives
    std::string dataRoot;  // the sample data tree; empty: the working folder
    uint32_t seed = 1;
    int32_t step = 2;  // centiseconds a frame
    float seconds = 60.0f;  // simulated time
    float every = 1.0f;  // seconds between the ships' lines; 0: none
    bool pointGiven = false;
    Vec3 point = {0, 0, 0};  // the scenario's point, when given
};

struct SandboxResult {
    bool ran = false;  // the mission loaded and the scenario found its ship
    bool goal = false;  // the scenario's goal was met
    float goalSeconds = 0;  // when it was first met
    float distance = 0;  // of the driven ship from the point at the end
    float speed = 0;  // and its speed then
};

// The scenarios by name, one a line with what each does.
std::string AiSandboxScenarios();
SandboxResult RunAiSandbox(const SandboxOptions &options, std::ostream &trace);
