#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "core/files.h"
#include "app/system.h"
#include "RES/util.h"
#include "common/temp_dir.h"
#include "os/paths.h"
#include "os/registry.h"

namespace fs = std::filesystem;

namespace {

std::string Read(FILE *f) {
    char buf[64] = {};
    size_t n = std::fread(buf, 1, sizeof buf - 1, f);
    std::fclose(f);
    return std::string(buf, n);
}

TEST(Paths, MixedCaseGamePathsFindTheTree) {
    ruvotest::TempDir dir;
    fs::create_directories("vek/resource/scripts/init");
    std::ofstream("vek/resource/scripts/init/init.scr") << "lower";
    fs::create_directories("vek/resource/Art");
    std::ofstream("vek/resource/Art/TovStd.PCX") << "mixed";
    const struct {
        const char *game;
        const char *content;
    } cases[] = {
        {"VEK\\Resource\\Scripts\\INIT\\Init.SCR", "lower"},
        {"vek\\resource\\scripts\\init\\init.scr", "lower"},
        {"vek\\resource\\art\\tovstd.pcx", "mixed"},
        {"VEK/RESOURCE/ART/TOVSTD.PCX", "mixed"},
        {".\\vek\\\\resource\\scripts\\init\\INIT.scr", "lower"},
    };
    for (const auto &c : cases) {
        FILE *f = OpenGameFile(c.game, "rb");
        ASSERT_TRUE(f) << c.game;
        EXPECT_EQ(Read(f), c.content) << c.game;
    }
    EXPECT_EQ(OpenGameFile("vek\\resource\\nothere.txt", "rb"), nullptr);
    EXPECT_EQ(OpenGameFile(nullptr, "rb"), nullptr);
}

TEST(Paths, NewFilesKeepTheirCaseInTheFoundFolder) {
    ruvotest::TempDir dir;
    fs::create_directories("vek/resource");
    FILE *f = OpenGameFile("VEK\\Resource\\State.inf", "wb");
    ASSERT_TRUE(f);
    std::fclose(f);
    EXPECT_TRUE(fs::exists("vek/resource/State.inf"));
    // Found again in any case, also after the listing was cached.
    f = OpenGameFile("vek\\resource\\state.INF", "rb");
    ASSERT_TRUE(f);
    std::fclose(f);
}

TEST(Paths, DriveLettersMapThroughTheRegistry) {
    ruvotest::TempDir dir;
    fs::create_directories("cd/Video");
    std::ofstream("cd/Video/intro.avi") << "film";
    std::ofstream("intro.avi") << "root";
    std::ofstream("ruvo.reg") << "; drives\nDRIVES\\E=" << dir.path() << "/cd\nDRIVES\\CDROM=ED\n";
    osRegistryFlush();
    FILE *f = OpenGameFile("E:\\video\\INTRO.AVI", "rb");
    ASSERT_TRUE(f);
    EXPECT_EQ(Read(f), "film");
    f = OpenGameFile("D:\\intro.avi", "rb");  // unmapped: the data root
    ASSERT_TRUE(f);
    EXPECT_EQ(Read(f), "root");
    EXPECT_EQ(FindCdDrives(), 'D');
    EXPECT_EQ(gCdCount, 2);
    EXPECT_EQ(osDriveType('C'), 3);
    EXPECT_EQ(osDriveType('Q'), 1);
    fs::remove("ruvo.reg");
    osRegistryFlush();
}

TEST(SystemServices, InstallPathsFromTheRegistry) {
    ruvotest::TempDir dir;
    const struct {
        const char *value;
        int result;
        const char *film;
        const char *audio;
    } cases[] = {
        {"E:\\", 1, "E:\\video", "E:\\audio"},
        {"\\\\server\\games", 0, "vek\\resource\\video", "vek\\resource\\audio"},
        {nullptr, 0, "vek\\resource\\video", "vek\\resource\\audio"},
    };
    for (const auto &c : cases) {
        std::snprintf(gFilmFolder, sizeof gFilmFolder, "vek\\resource\\video");
        std::snprintf(gAudioFolder, sizeof gAudioFolder, "vek\\resource\\audio");
        if (c.value) std::ofstream("ruvo.reg") << "software\\hollowmere\\ruvo\\@=" << c.value << "\n";
        else fs::remove("ruvo.reg");
        osRegistryFlush();
        EXPECT_EQ(ReadInstallPaths(), c.result);
        EXPECT_STREQ(gFilmFolder, c.film);
        EXPECT_STREQ(gAudioFolder, c.audio);
    }
    std::ofstream("ruvo.reg") << "DRIVES\\CDROM=\n";
    osRegistryFlush();
    EXPECT_EQ(FindCdDrives(), 0);
    EXPECT_EQ(gCdCount, 0);
    fs::remove("ruvo.reg");
    osRegistryFlush();
    EXPECT_GT(FreeMemoryBytes(), 0u);
}

TEST(SystemServices, WorkingFolder) {
    ruvotest::TempDir dir;
    fs::create_directories("Sub");
    EXPECT_EQ(SetWorkingFolder("sub"), 0);  // entered, but not a drive root
    EXPECT_EQ(fs::current_path().filename(), "Sub");
    EXPECT_STREQ(gWorkingFolder, "sub");
    EXPECT_EQ(SetWorkingFolder("D:\\"), 1);
}

}  // namespace
