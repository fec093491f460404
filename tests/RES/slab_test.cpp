#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "RES/slab.h"
#include "core/options.h"
#include "common/fatal_hook.h"
#include "common/temp_dir.h"
#include "os/paths.h"
#include "res_helpers.h"

using restest::ReadBytes;
using restest::SlabFile;
using restest::WriteBytes;
using restest::WriteText;

namespace {

struct SlabTest : ::testing::Test {
    ruvotest::TempDir dir;
    void SetUp() override {
        ResetOptions();
        WriteBytes("vek/resource/shapes.slb", SlabFile({{"\\Ships\\Fighter.LWO", "slab fighter"},
                                                        {"\\ships\\fighter.lwo", "second copy"},
                                                        {"\\x.txt", "X"}}));
        WriteText("vek/resource/shapes/ships/fighter.lwo", "loose fighter!");
        WriteText("vek/resource/shapes/ships/only.lwo", "loose only");
    }
    void TearDown() override { ResetOptions(); }
};

std::string ReadStream(FILE *f, uint32_t size) {
    std::string s(size, '\0');
    size_t n = std::fread(s.data(), 1, size, f);
    s.resize(n);
    slabClose(f);
    return s;
}

TEST_F(SlabTest, OpensEntriesFallsBackAndHonoursNoslab) {
    struct Case {
        const char *slab;
        const char *path;
        bool noslab;
        const char *expect;  // null: nothing opens
    } cases[] = {
        {"shapes", "vek\\resource\\shapes\\ships\\fighter.lwo", false, "slab fighter"},  // case folded, first wins
        {"shapes", "vek\\resource\\shapes\\SHIPS\\FIGHTER.LWO", false, "slab fighter"},
        {"shapes", "vek\\resource\\shapes\\ships\\fighter.lwo", true, "loose fighter!"},
        {"shapes", "vek\\resource\\shapes\\ships\\only.lwo", false, "loose only"},      // not in the slab
        {"shapes", "vek\\resource\\Shapes\\ships\\only.lwo", false, "loose only"},      // word case differs
        {"shapes", "vek\\resource\\shapesX\\x.txt", false, "X"},                        // folder merely begins so
        {nullptr, "vek\\resource\\shapes\\ships\\fighter.lwo", false, "loose fighter!"},
        {"nothere", "vek\\resource\\shapes\\ships\\only.lwo", false, "loose only"},
        {"shapes", "vek\\resource\\shapes\\ships\\missing.lwo", false, nullptr},
    };
    for (auto &c : cases) {
        optNoSlab = c.noslab ? 0xFF : 0;
        uint32_t size = 12345;
        FILE *f = slabOpen(c.slab, c.path, &size);
        if (!c.expect) {
            EXPECT_EQ(f, nullptr) << c.path;
            continue;
        }
        ASSERT_NE(f, nullptr) << c.path;
        EXPECT_EQ(size, std::strlen(c.expect)) << c.path;
        EXPECT_EQ(ReadStream(f, size), c.expect) << c.path;
    }
}

TEST_F(SlabTest, SizeAndReadTakeTheRestAfterTheWord) {
    WriteBytes("vek/resource/text.slb", SlabFile({{"\\debrief\\a.txt", "hello"}}));
    EXPECT_EQ(slabEntrySize("text", "vek\\resource\\text\\DEBRIEF\\a.txt"), 5u);
    EXPECT_EQ(slabEntrySize("text", "vek\\resource\\text\\debrief\\b.txt"), 0u);
    EXPECT_EQ(slabEntrySize("text", "vek\\resource\\nothing\\a.txt"), 0u);
    EXPECT_EQ(slabEntrySize("frn_", "vek\\resource\\frn_\\debrief\\a.txt"), 0u);  // no such slab
    char buf[8] = {};
    EXPECT_EQ(slabReadEntry("text", "vek\\resource\\text\\debrief\\a.txt", buf, sizeof buf), buf);
    EXPECT_STREQ(buf, "hello");
    EXPECT_EQ(slabReadEntry("text", "vek\\resource\\text\\debrief\\a.txt", buf, 4), nullptr);  // won't fit
    optNoSlab = 0xFF;
    EXPECT_EQ(slabEntrySize("text", "vek\\resource\\text\\debrief\\a.txt"), 0u);
    EXPECT_EQ(slabReadEntry("text", "vek\\resource\\text\\debrief\\a.txt", buf, sizeof buf), nullptr);
}

TEST_F(SlabTest, EmptyAndBrokenIndexes) {
    WriteBytes("vek/resource/shapes.slb", SlabFile({}));
    uint32_t size = 0;
    FILE *f = slabOpen("shapes", "vek\\resource\\shapes\\ships\\fighter.lwo", &size);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(ReadStream(f, size), "loose fighter!");

    // The index claims three entries and holds one and a half.
    std::vector<uint8_t> broken = SlabFile({{"\\a", "1"}, {"\\b", "2"}});
    broken[4] = 3;
    broken.resize(broken.size() - 40);
    WriteBytes("vek/resource/text.slb", broken);
    EXPECT_EQ(slabEntrySize("text", "vek\\resource\\text\\zz"), 0u);  // these just stop
    EXPECT_EQ(slabEntrySize("text", "vek\\resource\\text\\a"), 1u);
    try {
        slabOpen("text", "vek\\resource\\text\\zz", &size);
        FAIL() << "no fatal error";
    } catch (const ruvotest::FatalError &e) {
        EXPECT_EQ(e.exitCode, 1);
    }

    // A name field without its NUL is compared within its 64 bytes only.
    std::vector<uint8_t> full = SlabFile({{std::string("\\") + std::string(63, 'n'), "N"}});
    WriteBytes("vek/resource/text.slb", full);
    std::string path = std::string("vek\\resource\\text\\") + std::string(63, 'N');
    EXPECT_EQ(slabEntrySize("text", path.c_str()), 1u);
    EXPECT_EQ(slabEntrySize("text", (path + "x").c_str()), 0u);
}

TEST(SlabSampleData, GeneratedSlabsServeTheirTexts) {
    const char *root = std::getenv("RUVO_DATA");
    if (!root) root = "data";  // run by hand from the build folder
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(chdir(root), 0);
    osFlushPathCache();
    ResetOptions();
    struct Case {
        const char *slab, *path, *expect;
    } cases[] = {
        {"text", "vek\\resource\\text\\sample\\slabonly.txt", "text slab only\r\n"},
        {"frn_", "vek\\resource\\frn_\\sample\\slabonly.txt", "frn_ slab only\r\n"},
        {"ger_", "vek\\resource\\ger_\\sample\\hello.txt", "Willkommen, Pilot. Gr\xFC\xDF" "e an die Besatzung.\r\n"},
    };
    for (auto &c : cases) {
        uint32_t size = 0;
        FILE *f = slabOpen(c.slab, c.path, &size);
        ASSERT_NE(f, nullptr) << c.path;
        EXPECT_EQ(ReadStream(f, size), c.expect);
    }
    optNoSlab = 0xFF;  // the slab-only text has no loose copy
    EXPECT_EQ(slabOpen("text", "vek\\resource\\text\\sample\\slabonly.txt", nullptr), nullptr);
    ResetOptions();
    ASSERT_EQ(chdir(old), 0);
    osFlushPathCache();
}

// The scripts and shapes are packed into their slabs and nowhere else: each
// kept copy (the build's "data-unpacked") reads back through the slab the
// same, and no loose copy is left beside the slab but the files the game
// reads loose (the mission table, the library's ASCII meshes).
TEST(SlabSampleData, ScriptsAndShapesLiveInTheirSlabs) {
    namespace fs = std::filesystem;
    const char *env = std::getenv("RUVO_DATA");
    const fs::path root = fs::absolute(env ? env : "data");
    const fs::path kept = root.parent_path() / "data-unpacked";
    if (!fs::exists(kept)) GTEST_SKIP() << "no kept copies of the packed files";
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(chdir(root.c_str()), 0);
    osFlushPathCache();
    ResetOptions();
    for (const char *slab : {"scripts", "shapes"}) {
        int entries = 0;
        const fs::path folder = kept / "vek/resource" / slab;
        for (const auto &e : fs::recursive_directory_iterator(folder)) {
            if (!e.is_regular_file()) continue;
            const std::string rel = fs::relative(e.path(), folder).generic_string();
            std::string path = std::string("vek\\resource\\") + slab + "\\" + rel;
            for (char &c : path)
                if (c == '/') c = '\\';
            EXPECT_FALSE(fs::exists(root / "vek/resource" / slab / rel)) << rel << " is loose as well";
            uint32_t size = 0;
            FILE *f = slabOpen(slab, path.c_str(), &size);
            ASSERT_NE(f, nullptr) << path;
            const std::vector<uint8_t> want = ReadBytes(e.path().string());
            const std::string got = ReadStream(f, size);
            EXPECT_EQ(got, std::string(want.begin(), want.end())) << path;
            ++entries;
        }
        EXPECT_GE(entries, std::string(slab) == "scripts" ? 20 : 50) << slab;
    }
    EXPECT_TRUE(fs::exists(root / "vek/resource/scripts/precedence.csv"));
    EXPECT_TRUE(fs::exists(root / "vek/resource/shapes/beacon.asc"));
    ASSERT_EQ(chdir(old), 0);
    osFlushPathCache();
}

// Every text of a language is looked up in its slab: a damaged slab says
// so in one line however many texts are asked of it, and again only when it
// is damaged otherwise. An opened slab's index that is cut short names the
// slab before the fatal road.
TEST_F(SlabTest, ADamagedSlabIsNamedOnce) {
    auto lines = [](const std::string &why) {
        const std::vector<uint8_t> log = ReadBytes("debug.txt");
        const std::string all(log.begin(), log.end()), mark = "Refused data file vek\\resource\\text.slb: " + why;
        int n = 0;
        for (size_t at = all.find(mark); at != std::string::npos; at = all.find(mark, at + 1)) ++n;
        return n;
    };
    std::vector<uint8_t> slab = SlabFile({{"\\a", "1"}, {"\\b", "22"}, {"\\c", "333"}});
    std::vector<uint8_t> broken = slab;
    broken[4] = 9;  // nine entries claimed, three held
    WriteBytes("vek/resource/text.slb", broken);
    char buf[8];
    for (const char *t : {"vek\\resource\\text\\x", "vek\\resource\\text\\y", "vek\\resource\\text\\z"}) {
        EXPECT_EQ(slabEntrySize("text", t), 0u);
        EXPECT_EQ(slabReadEntry("text", t, buf, sizeof buf), nullptr);
    }
    EXPECT_EQ(lines("its index is cut short"), 1);
    broken.resize(broken.size() - 1);
    WriteBytes("vek/resource/text.slb", broken);
    EXPECT_EQ(slabEntrySize("text", "vek\\resource\\text\\x"), 0u);
    EXPECT_EQ(lines("its index is cut short"), 2);

    // Entries whose data lies past the end: one line for both.
    std::vector<uint8_t> past = slab;
    const size_t index = size_t(past[8]) | size_t(past[9]) << 8;
    for (size_t e = 0; e < 3; ++e) past[index + e * 72 + 65] = 0x40;  // data offsets 16 KB further on
    WriteBytes("vek/resource/text.slb", past);
    EXPECT_EQ(slabReadEntry("text", "vek\\resource\\text\\a", buf, sizeof buf), nullptr);
    EXPECT_EQ(slabReadEntry("text", "vek\\resource\\text\\c", buf, sizeof buf), nullptr);
    EXPECT_EQ(lines("an entry runs past its end"), 1);

    broken[4] = 10;
    broken.resize(broken.size() - 1);
    WriteBytes("vek/resource/text.slb", broken);
    uint32_t size = 0;
    EXPECT_THROW(slabOpen("text", "vek\\resource\\text\\x", &size), ruvotest::FatalError);
    EXPECT_EQ(lines("its index is cut short"), 3);
}

}  // namespace
