// The whole-file writer's leftovers: what a save ended by a kill leaves is
// removed at the next start, and nothing else is.
#include "os/savefile.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/temp_dir.h"

namespace fs = std::filesystem;

namespace {

TEST(SaveFile, LeftoversOfEndedWritersGoAndNothingElse) {
    ruvotest::TempDir dir;
    fs::create_directory("vek");
    // No process has these numbers: pids never come near 999999999.
    const std::string ended = ".tmp999999999";
    const std::string own = ".tmp" + std::to_string(getpid());
    const char *kept[] = {"slot0.sav",     "slot0.sav.tmp",  "slot0.sav.tmp12x", "notes.tmp",
                          ".tmp999999999", "state.inf.tmp1", "a.tmp1234567890"};
    for (const char *name : kept) std::ofstream(std::string("vek/") + name) << "x";
    std::ofstream("vek/slot0.sav" + ended) << "torn";
    std::ofstream("vek/state.inf" + ended) << "torn";
    std::ofstream("vek/slot1.sav" + own) << "being written";
    std::vector<std::string> removed = osRemoveWriteLeftovers("vek");
    std::sort(removed.begin(), removed.end());
    EXPECT_EQ(removed, (std::vector<std::string>{"slot0.sav" + ended, "state.inf" + ended}));
    for (const char *name : kept) EXPECT_TRUE(fs::exists(std::string("vek/") + name)) << name;
    EXPECT_TRUE(fs::exists("vek/slot1.sav" + own));
    EXPECT_FALSE(fs::exists("vek/slot0.sav" + ended));
    EXPECT_TRUE(osRemoveWriteLeftovers("no such folder").empty());
}

}  // namespace
