#include "os/profile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "common/temp_dir.h"

namespace {

// A section's lines as the buffer holds them: each string with its zero, and
// the final zero.
std::string Held(const std::vector<char> &buf) { return std::string(buf.begin(), buf.end()); }

// Every size around the fit of "ab", "cd" ("ab\0cd\0\0", 7 bytes) stores only
// what fits, ends in two zeros, and never writes past the buffer (the vector
// is exactly the size given, so AddressSanitizer sees any byte beyond).
TEST(IniSection, EveryCopyStaysInsideTheBuffer) {
    ruvotest::TempDir dir;
    std::ofstream("t.ini") << "[other]\nx=1\n[Sect]\nab\n; a comment\n  cd  \n[after]\ny=2\n";
    struct Case {
        size_t size;
        size_t result;
        std::string held;
    } cases[] = {
        {8, 6, std::string("ab\0cd\0\0\0", 8)},  // room to spare
        {7, 6, std::string("ab\0cd\0\0", 7)},    // exact fit
        {6, 4, std::string("ab\0c\0\0", 6)},     // one short: the last line cut
        {5, 3, std::string("ab\0\0\0", 5)},      // no room for any of the last line
        {4, 2, std::string("ab\0\0", 4)},        // the existence probe's 4 bytes
        {3, 1, std::string("a\0\0", 3)},
        {2, 0, std::string("\0\0", 2)},
    };
    for (const Case &c : cases) {
        std::vector<char> buf(c.size, 'Z');
        EXPECT_EQ(osIniSectionRead("t.ini", "sect", buf.data(), buf.size()), c.result) << c.size;
        EXPECT_EQ(Held(buf), c.held) << c.size;
    }
    std::vector<char> one(1, 'Z');
    EXPECT_EQ(osIniSectionRead("t.ini", "sect", one.data(), one.size()), 0u);
    EXPECT_EQ(one[0], 'Z');
}

TEST(IniSection, MissingFileOrSectionReadsEmpty) {
    ruvotest::TempDir dir;
    std::ofstream("t.ini") << "[a]\nk=v\n";
    char buf[8] = "ZZZZZZZ";
    EXPECT_EQ(osIniSectionRead("none.ini", "a", buf, sizeof buf), 0u);
    EXPECT_EQ(osIniSectionRead("t.ini", "b", buf, sizeof buf), 0u);
    EXPECT_EQ(buf[0], 0);
    EXPECT_EQ(buf[1], 0);
}

TEST(IniSection, WriteReplacesOnlyItsSection) {
    ruvotest::TempDir dir;
    std::ofstream("t.ini") << "[a]\nk=v\n[b]\nold=1\n[c]\nz=9\n";
    ASSERT_TRUE(osIniSectionWrite("t.ini", "B", "n=2\0m=3\0"));
    char buf[32];
    EXPECT_EQ(osIniSectionRead("t.ini", "b", buf, sizeof buf), 8u);
    EXPECT_EQ(std::string(buf, 8), std::string("n=2\0m=3\0", 8));
    EXPECT_EQ(osIniSectionRead("t.ini", "c", buf, sizeof buf), 4u);
    ASSERT_TRUE(osIniSectionWrite("new.ini", "s", "q\0"));
    EXPECT_EQ(osIniSectionRead("new.ini", "S", buf, sizeof buf), 2u);
}

}  // namespace
