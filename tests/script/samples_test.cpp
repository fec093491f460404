// The sample data tree's scripts compile in every language.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/fatal_hook.h"
#include "common/sample_root.h"
#include "core/options.h"
#include "script/career.h"
#include "script/compiler.h"
#include "script/mission.h"
#include "script/objectives.h"
#include "script/script.h"
#include "script/symbols.h"

namespace {

// What the run has written to the debug log so far: a compilation's error
// reports that do not end the program (brace messages, skipped includes)
// land there.
std::string DebugLog() {
    std::ifstream in("debug.txt", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A folder of its own over the sample tree: test programs that run side by
// side log into the shared tree's debug.txt, which would grow between this
// test's two reads, and the career written here stays here.
class SampleScripts : public testing::TestWithParam<int> {
protected:
    ruvotest::SampleRoot root_;
    void SetUp() override {
        ResetOptions();
        gLanguage = (uint16_t)GetParam();
        InitializeScriptSystem();
    }
    void TearDown() override {
        FreeScriptBuffers();
        ResetOptions();
    }
};

TEST_P(SampleScripts, StartUpAndMissionScriptsCompile) {
    static const char *const kInit[3] = {"vek\\resource\\scripts\\init\\init.scr",
                                         "vek\\resource\\scripts\\init\\init_frn.scr",
                                         "vek\\resource\\scripts\\init\\init_ger.scr"};
    static const char *const kGui[3] = {"vek\\resource\\scripts\\gui\\test0_x.gui",
                                        "vek\\resource\\scripts\\gui\\test0_x_frn.gui",
                                        "vek\\resource\\scripts\\gui\\test0_x_ger.gui"};
    const char *files[] = {"marrowgleam.ini",
                           kInit[GetParam()],
                           "vek\\resource\\keybind.ini",
                           "vek\\resource\\scripts\\init\\keybind.scr",
                           kGui[GetParam()],
                           "vek\\resource\\scripts\\init\\stock.scr",
                           "mission01.scr",
                           "mission02.scr",
                           "mission03.scr",
                           "mission04.scr",
                           "mission05.scr",
                           "mission06.scr"};
    for (const char *file : files) {
        const std::string before = DebugLog();
        ScriptToken *start = nullptr;
        EXPECT_NO_THROW(start = TokeniseScript(file)) << file;
        EXPECT_NE(start, nullptr) << file;
        const std::string after = DebugLog();
        EXPECT_EQ(after.size(), before.size()) << file << " reported: " << after.substr(before.size());
    }
    // The names the engine looks up are declared by the start-up scripts.
    for (const char *name : {"RFont", "HFont", "VFont", "FRNPalette", "BRFPalette", "REMPalette", "CorpseMd",
                             "AntiMatterMd", "Rock", "SS209Vid", "HomeMov", "RosMov", "OptS_gamma", "OptB_gamma",
                             "Opt_Save", "OptExit", "TimPlayMN", "NRSArc"})
        EXPECT_NE(FindScriptSymbol(name), nullptr) << name;
}

// Every sample mission declares its objectives from a text of its own in
// each language: CR LF lines (the parser's cut of the line end is the
// stored files' own), no "<" mark-up, one objective at least, none keeping a
// line end.
TEST_P(SampleScripts, EveryMissionDeclaresItsObjectivesInItsLanguage) {
    static const char *const kFolder[3] = {"text", "frn_", "ger_"};
    auto text = [](const std::string &path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    };
    for (int n = 1; n <= 6; ++n) {
        const std::string mission = "vek/resource/scripts/missions/mission0" + std::to_string(n) + ".scr";
        EXPECT_NE(ruvotest::SampleFileText(mission).find("DEC_OBJV"), std::string::npos) << mission;
        const std::string file = std::string("vek/resource/") + kFolder[GetParam()] + "/obj0" + std::to_string(n) + ".txt";
        const std::string body = text(file);
        ASSERT_GE(body.size(), 2u) << file;
        EXPECT_NE(body[0], '<') << file;
        EXPECT_EQ(body.substr(body.size() - 2), "\r\n") << file;
        EXPECT_EQ(body.find('\n'), body.find("\r\n") + 1) << file << ": LF without CR";
        ASSERT_GE(ParseObjectives(body.data(), body.size()), 1) << file;
        for (int i = 0; i < gObjectiveCount; ++i) {
            const std::string line = gObjectives[i].text;
            EXPECT_FALSE(line.empty()) << file;
            EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << file;
        }
        dunResetObjectives();
    }
}

// The sample career: the first mission opens it; after it the player may
// fly the convoy, the last stand or the drone run; flying the convoy closes
// the last stand and opens the deep patrol; the drone run stays open until
// it is flown.
TEST_P(SampleScripts, CareerBranches) {
    ASSERT_TRUE(dunLoadPrecedence());
    gCaptainSlot = CaptainSlot{};
    const struct {
        int record;  // the mission recorded before the check, 0 none
        std::vector<int> open;
    } steps[] = {{0, {1}}, {1, {2, 4, 6}}, {2, {3, 6}}, {3, {6}}, {6, {}}};
    for (const auto &step : steps) {
        if (step.record) {
            gCareerMission = step.record;
            dunRecordMissionResult();
        }
        dunRebuildAvailableMissions();
        EXPECT_EQ(std::vector<int>(gAvailableMissions, gAvailableMissions + gAvailableCount), step.open)
            << "after " << step.record;
    }
    static const char *const kFirst[3] = {"First Blood", "Premier sang", "Erstes Blut"};
    EXPECT_STREQ(gMissionTable[1].name, kFirst[GetParam()]);
    dunFreeTimelines();
}

INSTANTIATE_TEST_SUITE_P(Languages, SampleScripts, testing::Values(0, 1, 2));

}  // namespace
