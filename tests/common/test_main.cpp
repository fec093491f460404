// Shared test entry: fatal errors throw instead of ending the process, so the
// fatal roads of the game can be tested in-process.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/log.h"
#include "common/fatal_hook.h"

int main(int argc, char **argv) {
    testing::InitGoogleTest(&argc, argv);
    // Errors a user must see open message boxes on a real display: the tests
    // run on the off-screen driver, where they are lines on stderr.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    dunSetFatalHook(ruvotest::ThrowingFatalHook);
    return RUN_ALL_TESTS();
}
