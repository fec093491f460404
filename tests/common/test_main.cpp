// Shared test entry: fatal errors throw instead of ending the process, so the
// fatal roads of the game can be tested in-process.
#include <gtest/gtest.h>

#include "core/log.h"
#include "common/fatal_hook.h"

int main(int argc, char **argv) {
    testing::InitGoogleTest(&argc, argv);
    dunSetFatalHook(ruvotest::ThrowingFatalHook);
    return RUN_ALL_TESTS();
}
