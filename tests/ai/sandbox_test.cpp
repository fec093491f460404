// The AI sandbox on the first sample mission: the raider, steered by a test
// state with the stopping steering, comes to rest at its point, and a run
// gives the same trace each time for the same seed.
#include <sstream>

#include "ai_fixture.h"
#include "common/sample_root.h"
#include "sandbox/sandbox.h"

namespace {

TEST(AiSandbox, TheRaiderComesToRestAtItsPointTheSameWayEachRun) {
    ruvotest::LogLines log;
    SandboxOptions o;
    o.dataRoot = ruvotest::SampleDataRoot();
    o.seed = 7;
    std::ostringstream first, second;
    const SandboxResult r = RunAiSandbox(o, first);
    ASSERT_TRUE(r.ran) << first.str();
    EXPECT_TRUE(r.goal) << first.str();
    EXPECT_LE(r.goalSeconds, 60.0f);
    EXPECT_LT(r.distance, 1000.0f) << first.str();
    EXPECT_LT(r.speed, 1000.0f) << first.str();
    EXPECT_NE(first.str().find("event Raider Kestrel at rest"), std::string::npos) << first.str();
    // It had to turn round and fly: it started well away.
    EXPECT_NE(first.str().find("state 79 SandboxStopAt"), std::string::npos);
    RunAiSandbox(o, second);
    EXPECT_EQ(first.str(), second.str());
    EXPECT_EQ(log.Count("not built yet: dunai_InitStateRegistry"), 0u);
}

TEST(AiSandbox, AnUnknownScenarioOrShipRunsNothing) {
    SandboxOptions o;
    o.dataRoot = ruvotest::SampleDataRoot();
    std::ostringstream out;
    o.scenario = "no such";
    EXPECT_FALSE(RunAiSandbox(o, out).ran);
    o.scenario = "stop";
    o.ship = "NoSuchShip";
    o.seconds = 1;
    EXPECT_FALSE(RunAiSandbox(o, out).ran);
    EXPECT_NE(out.str().find("no ship \"NoSuchShip\""), std::string::npos) << out.str();
}

}  // namespace
