// The installer callback library: its answers, its copies, the programs it
// starts, its running check, and the entry points the shared object shows.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <deque>
#include <filesystem>
#include <set>

#include "os/instance.h"
#include "os/registry.h"
#include "tools/common/setup.h"
#include "tools/tavrin/tavrin.h"
#include "tools_fixture.h"

namespace fs = std::filesystem;
using toolstest::Slurp;
using toolstest::Write;

namespace {

std::deque<bool> gAnswers;
std::vector<std::string> gAsked;  // titles
std::vector<std::pair<std::string, std::string>> gRuns;

bool FakePrompt(const char *title, const char *) {
    gAsked.push_back(title);
    bool yes = !gAnswers.empty() && gAnswers.front();
    if (!gAnswers.empty()) gAnswers.pop_front();
    return yes;
}
void FakeRun(const std::string &cmd, const char *folder) { gRuns.push_back({cmd, folder ? folder : ""}); }

const char *const kDiscFiles[] = {"frn_.slb",   "ger_.slb",   "text.slb",       "scripts.slb", "sh_3dh.slb",
                                  "sh_3dx.slb", "shapes.slb", "precedence.csv", "ruvo"};
const char *const kInstalled[] = {"vek/resource/frn_.slb",    "vek/resource/ger_.slb",
                                  "vek/resource/text.slb",    "vek/resource/scripts.slb",
                                  "vek/resource/sh_3dh.slb",  "vek/resource/sh_3dx.slb",
                                  "vek/resource/shapes.slb",  "vek/resource/scripts/precedence.csv",
                                  "ruvo"};

class Tavrin : public ::testing::Test {
protected:
    toolstest::Sandbox box;
    std::string src, dst;  // src ends in a slash, as the engine gives it
    TavrinRunFn realRun = gTavrinRun;

    void SetUp() override {
        gTavrinPrompt = FakePrompt;
        gTavrinRun = FakeRun;
        gAnswers.clear();
        gAsked.clear();
        gRuns.clear();
        osRegistryFlush();
        MakeTrees(box.path() + "/disc", box.path() + "/inst");
    }
    void TearDown() override {
        gTavrinPrompt = TavrinDefaultPrompt;
        gTavrinRun = realRun;
        osRegistryFlush();
    }
    void MakeTrees(const std::string &disc, const std::string &inst) {
        src = disc + "/";
        dst = inst;
        fs::create_directories(disc + "/Ereg");
        for (const char *f : kDiscFiles) Write(src + f, std::string("disc ") + f);
        fs::create_directories(dst + "/vek/resource/scripts");
    }
    uint8_t Call(TavrinEntry fn, const char *source = nullptr, const char *install = nullptr) {
        return fn(nullptr, (void *)(source ? source : src.c_str()), nullptr, (void *)(install ? install : dst.c_str()),
                  nullptr);
    }
};

TEST_F(Tavrin, AnswersDecideTheResults) {
    const std::string intro = "Kelv - Film d'Introduction", install = "Installation de Kelv";
    const struct {
        const char *name;
        TavrinEntry fn;
        bool installed;
        std::deque<bool> answers;
        uint8_t result;
        std::vector<std::string> asked;
        size_t runs;
    } cases[] = {
        {"eval, new", EvalTavrin, false, {}, 1, {}, 0},
        {"eval, again", EvalTavrin, true, {true}, 1, {install}, 0},
        {"eval, not again", EvalTavrin, true, {false, false}, 0, {install, intro}, 0},
        {"eval, not again, film", EvalTavrin, true, {false, true}, 0, {install, intro}, 1},
        {"film", PlayIntroMovie, false, {true}, 1, {intro}, 1},
        {"no film", PlayIntroMovie, false, {false}, 1, {intro}, 0},
        {"campaign", InstallVantrell, false, {true}, 1, {install}, 0},
        {"no campaign", InstallVantrell, false, {false}, 0, {install}, 0},
        {"directx", DirectXInstall, false, {}, 1, {}, 0},
    };
    for (const auto &c : cases) {
        std::remove("ruvo.reg");
        if (c.installed) {
            ASSERT_TRUE(osRegistryWrite(kAppPathsKey, "Path", "/opt/ruvo"));
        }
        osRegistryFlush();
        gAnswers = c.answers;
        gAsked.clear();
        gRuns.clear();
        EXPECT_EQ(Call(c.fn), c.result) << c.name;
        EXPECT_EQ(gAsked, c.asked) << c.name;
        ASSERT_EQ(gRuns.size(), c.runs) << c.name;
        // The film player of the disc, in the engine's own folder.
        if (c.runs) {
            EXPECT_EQ(gRuns[0], std::make_pair("\"" + src + "Lumaquill.exe\"", std::string())) << c.name;
        }
    }
}

TEST_F(Tavrin, TheSlabsTableAndProgramGoIntoTheInstallation) {
    Write(dst + "/vek/resource/text.slb", "an older text slab, longer than the new one");
    std::string folder = fs::current_path().string();
    EXPECT_EQ(Call(SlabInstall), 1);
    for (size_t i = 0; i < 9; ++i)
        EXPECT_EQ(Slurp(dst + "/" + kInstalled[i]), std::string("disc ") + kDiscFiles[i]) << kInstalled[i];
    // The registration program runs in its folder; ours stays.
    ASSERT_EQ(gRuns.size(), 1u);
    EXPECT_EQ(gRuns[0], std::make_pair(std::string("reg32.exe"), src + "Ereg"));
    EXPECT_EQ(fs::current_path().string(), folder);

    fs::remove_all(dst);
    fs::create_directories(dst + "/vek/resource/scripts");
    EXPECT_EQ(Call(PatchInstall), 1);
    std::set<std::string> present;
    for (const auto &e : fs::recursive_directory_iterator(dst))
        if (e.is_regular_file()) present.insert(fs::relative(e.path(), dst).string());
    EXPECT_EQ(present, std::set<std::string>{"vek/resource/ger_.slb"});
}

TEST_F(Tavrin, ACopyThatFailsLeavesTheOthers) {
    fs::remove(src + "sh_3dx.slb");
    // No folder for the table: the copy fails and makes none.
    fs::remove_all(dst + "/vek/resource/scripts");
    EXPECT_EQ(Call(SlabInstall), 1);
    EXPECT_FALSE(fs::exists(dst + "/vek/resource/sh_3dx.slb"));
    EXPECT_FALSE(fs::exists(dst + "/vek/resource/scripts"));
    EXPECT_EQ(Slurp(dst + "/vek/resource/shapes.slb"), "disc shapes.slb");
    EXPECT_EQ(Slurp(dst + "/ruvo"), "disc ruvo");
    // Without folders there is nothing to copy, and nothing breaks.
    EXPECT_EQ(SlabInstall(nullptr, nullptr, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(PatchInstall(nullptr, nullptr, nullptr, nullptr, nullptr), 1);
    gAnswers = {true};
    EXPECT_EQ(PlayIntroMovie(nullptr, nullptr, nullptr, nullptr, nullptr), 1);
}

TEST_F(Tavrin, FoldersLongerThanAnyFixedBuffer) {
    std::string deep = box.path();
    for (int i = 0; i < 12; ++i) deep += "/a-folder-name-of-fifty-characters-or-so-0123456789";
    ASSERT_GT(deep.size(), 600u);
    MakeTrees(deep + "/disc", deep + "/inst");
    EXPECT_EQ(Call(SlabInstall), 1);
    EXPECT_EQ(Slurp(dst + "/vek/resource/scripts/precedence.csv"), "disc precedence.csv");
    EXPECT_EQ(Slurp(dst + "/ruvo"), "disc ruvo");
    ASSERT_EQ(gRuns.size(), 1u);
    EXPECT_EQ(gRuns[0].second, src + "Ereg");
}

TEST_F(Tavrin, TheRunningCheckLeavesTheNameFree) {
    EXPECT_EQ(Call(CheckRunning), 1);
    EXPECT_FALSE(osInstanceLockHeld(kInstanceName));
    EXPECT_EQ(Call(CheckRunning), 1);
    ASSERT_EQ(osAcquireInstanceLock(kInstanceName), OS_INSTANCE_OWNED);
    EXPECT_EQ(Call(CheckRunning), 0);
    EXPECT_TRUE(osInstanceLockHeld(kInstanceName));
    osReleaseInstanceLock(kInstanceName);
    setenv("XDG_RUNTIME_DIR", (box.path() + "/missing").c_str(), 1);
    EXPECT_EQ(Call(CheckRunning), 0);
}

TEST(TavrinLibrary, ShowsOnlyItsSevenEntryPoints) {
    std::string command = std::string("nm -D --defined-only '") + TAVRIN_LIBRARY + "'";
    FILE *p = popen(command.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::set<std::string> shown;
    char line[512];
    while (std::fgets(line, sizeof line, p)) {
        char value[64], type[8], name[400];
        if (std::sscanf(line, "%63s %7s %399s", value, type, name) == 3) shown.insert(name);
    }
    ASSERT_EQ(pclose(p), 0);
    EXPECT_EQ(shown, (std::set<std::string>{"EvalTavrin", "DirectXInstall", "PlayIntroMovie", "PatchInstall",
                                            "SlabInstall", "InstallVantrell", "CheckRunning"}));
}

}  // namespace
