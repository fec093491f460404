// The game's process-wide state as a fresh process has it. A listener puts it
// back before each test of the game program (before its fixture is made) and
// after it (once its fixture is gone): a test passes alone, after any other
// and in any order, and sets up for itself whatever it needs beyond it.
#include <gtest/gtest.h>

#include "common/fresh_state.h"

namespace ruvotest {

namespace {

class FreshGameListener : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo &) override { ResetGameGlobals(); }
    void OnTestEnd(const testing::TestInfo &) override { ResetGameGlobals(); }
};

// Installed before the program's main runs, for every test it has.
const bool gInstalled = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new FreshGameListener);
    return true;
}();

}  // namespace

}  // namespace ruvotest
