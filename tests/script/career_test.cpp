// The career files' byte layouts, their reading and writing, the mission
// table and the availability rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "RES/util.h"
#include "common/temp_dir.h"
#include "core/options.h"
#include "gui/cockpit.h"
#include "gui/timeline.h"
#include "os/paths.h"
#include "script/career.h"
#include "script/mission.h"
#include "script/screens.h"

namespace {

// Game paths may use backslashes.
std::vector<uint8_t> ReadBytes(const char *path) {
    std::vector<uint8_t> out;
    if (FILE *f = std::fopen(osResolvePath(path, false).c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF) out.push_back(uint8_t(c));
        std::fclose(f);
    }
    return out;
}

void WriteBytes(const char *path, const void *data, size_t size) {
    std::system("mkdir -p vek");
    FILE *f = std::fopen(path, "wb");
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
    osFlushPathCache();
}

int64_t Field(const uint8_t *b, size_t at, int width) {
    uint32_t v = 0;
    for (int i = 0; i < width; ++i) v |= uint32_t(b[at + i]) << (8 * i);
    return width == 2 ? int64_t(int16_t(v)) : int64_t(int32_t(v));
}

class Career : public testing::Test {
protected:
    ruvotest::TempDir dir;
    void SetUp() override {
        ResetOptions();
        std::system("mkdir -p vek/resource/scripts");
        osFlushPathCache();
        gCaptainSlot = CaptainSlot{};
        gCareerState = CareerState{};
        for (MissionRecord &r : gMissionTable) r = MissionRecord{};
        gCareerMission = 0;
        dunSeedRand15(1);
    }
    void TearDown() override {
        dunFreeTimelines();
        ResetOptions();
    }
    static void Table(const std::string &csv) { ParsePrecedence(csv.data(), csv.size()); }
    static std::vector<int> Available() { return {gAvailableMissions, gAvailableMissions + gAvailableCount}; }
};

// Where each field lies in the slot file, written out by hand.
TEST_F(Career, SlotFileLayout) {
    CaptainSlot s{};
    std::snprintf(s.name, sizeof s.name, "Ada");
    s.slotWord = -2;
    s.slotValue = 0x01020304;
    s.totalScore = 123456;
    s.modeFlags = 6;
    s.historyCount = 3;
    s.played[5] = -1;
    s.branch[6] = 1;
    s.lastTimeLow[7] = 77;
    s.lastTimeHigh[99] = 99;
    s.history[2] = 42;
    s.resultShare[4] = -50;
    s.resultValue[99] = 0x7FFFFFFF;
    uint8_t b[kSlotFileBytes];
    std::memset(b, 0xEE, sizeof b);
    EncodeCaptainSlot(s, b);
    EXPECT_EQ(std::string((const char *)b), "Ada");
    EXPECT_EQ(b[23], 0);
    const struct {
        size_t at;
        int width;
        int64_t value;
    } fields[] = {
        {24, 2, -2},         {26, 4, 0x01020304},    {30, 4, 123456},  {34, 4, 6},      {38, 2, 3},
        {40 + 2 * 5, 2, -1}, {240 + 2 * 6, 2, 1},    {440 + 2 * 7, 2, 77}, {640 + 2 * 99, 2, 99},
        {840 + 2 * 2, 2, 42}, {1040 + 4 * 4, 4, -50}, {1440 + 4 * 99, 4, 0x7FFFFFFF}, {1836, 4, 0x7FFFFFFF},
    };
    for (const auto &f : fields) EXPECT_EQ(Field(b, f.at, f.width), f.value) << "offset " << f.at;
    CaptainSlot back{};
    DecodeCaptainSlot(b, sizeof b, &back);
    EXPECT_EQ(std::memcmp(&back, &s, sizeof s), 0);
}

TEST_F(Career, StateFileLayout) {
    CareerState s{};
    for (int i = 0; i < StateWord::Count; ++i) s.word[i] = int16_t(i * 11 - 30);
    s.bestResult[0] = 5;
    s.bestResult[99] = -7;
    s.bestTime[0] = 360000;
    s.bestTime[99] = 1234;
    uint8_t b[kStateFileBytes];
    EncodeCareerState(s, b);
    for (int i = 0; i < StateWord::Count; ++i) EXPECT_EQ(Field(b, size_t(2 * i), 2), i * 11 - 30);
    EXPECT_EQ(Field(b, 20, 4), 5);
    EXPECT_EQ(Field(b, 20 + 4 * 99, 4), -7);
    EXPECT_EQ(Field(b, 420, 4), 360000);
    EXPECT_EQ(Field(b, 816, 4), 1234);
    CareerState back{};
    DecodeCareerState(b, sizeof b, &back);
    EXPECT_EQ(std::memcmp(&back, &s, sizeof s), 0);
}

// A short or empty file leaves the fields past its end as they were.
TEST_F(Career, ShortFilesLeaveTheRest) {
    CaptainSlot s{};
    s.totalScore = 999;
    s.played[0] = 7;
    uint8_t b[30] = {'B', 'o', 'b'};
    b[24] = 9;  // slot word
    b[26] = 1;  // slot value
    DecodeCaptainSlot(b, 29, &s);
    EXPECT_STREQ(s.name, "Bob");
    EXPECT_EQ(s.slotWord, 9);
    EXPECT_EQ(s.slotValue, 0) << "a value cut by the end is not read";
    EXPECT_EQ(s.totalScore, 999);
    EXPECT_EQ(s.played[0], 7);
    // A name without its terminator still ends inside its field.
    uint8_t longName[kCaptainNameBytes];
    std::memset(longName, 'x', sizeof longName);
    DecodeCaptainSlot(longName, sizeof longName, &s);
    EXPECT_EQ(std::strlen(s.name), size_t(kCaptainNameBytes - 1));
    CareerState st{};
    st.bestTime[3] = 42;
    DecodeCareerState(nullptr, 0, &st);
    EXPECT_EQ(st.bestTime[3], 42);
}

TEST_F(Career, MissingStateFileIsMadeNew) {
    gCareerState.word[StateWord::Score] = 5;
    dunReadStateFile();
    EXPECT_EQ(gCareerState.word[StateWord::Score], 0);
    for (int32_t t : gCareerState.bestTime) ASSERT_EQ(t, kNewBestTime);
    std::vector<uint8_t> b = ReadBytes("vek/state.inf");
    ASSERT_EQ(b.size(), kStateFileBytes);
    EXPECT_EQ(Field(b.data(), 420 + 4 * 50, 4), kNewBestTime);
    for (int32_t s : gLoadSizes) ASSERT_EQ(s, 0) << "no size file";

    // Written and read back; a slot given on the command line wins.
    gCareerState.word[StateWord::Slot] = 3;
    gCareerState.bestResult[8] = 640;
    dunWriteStateFile();
    gCareerState = CareerState{};
    optSlotGiven = 0xFF;
    optSaveSlot = 4;
    dunReadStateFile();
    EXPECT_EQ(gCareerState.bestResult[8], 640);
    EXPECT_EQ(gCareerState.word[StateWord::Slot], 4);
}

TEST_F(Career, SizeFileGivesLoadSteps) {
    int32_t sizes[100] = {};
    sizes[2] = 77;
    sizes[3] = -1;
    WriteBytes("vek/size.inf", sizes, 4 * 3 + 2);  // short: mission 3 is cut
    dunReadStateFile();
    EXPECT_EQ(MissionLoadSize(2), 77);
    EXPECT_EQ(MissionLoadSize(3), 0);
    EXPECT_EQ(MissionLoadSize(-1), 0);
    EXPECT_EQ(MissionLoadSize(100), 0);
}

TEST_F(Career, MissingSlotIsMadeNew) {
    const struct {
        int language;
        const char *name;
    } cases[] = {{0, "Unknown Captain"}, {1, "Capitaine Inconnu"}, {2, "Unbekannter Kapit\xE4n"}};
    for (const auto &c : cases) {
        gLanguage = uint16_t(c.language);
        gCareerState.word[StateWord::Slot] = int16_t(c.language);
        WriteBytes(("vek/slot_d" + std::to_string(c.language) + ".sav").c_str(), "old", 3);
        optArcade = 0xFF;
        gCaptainNamed = 0xFF;
        gCaptainSlot.totalScore = 5;
        EXPECT_FALSE(dunReadCaptainSlot());
        EXPECT_STREQ(gCaptainSlot.name, c.name);
        EXPECT_EQ(gCaptainSlot.modeFlags, 4);
        EXPECT_EQ(gCaptainSlot.totalScore, 0);
        EXPECT_EQ(optArcade, 0);
        EXPECT_EQ(gCaptainNamed, 0);
        char file[32];
        CaptainSlotFileName(c.language, file, sizeof file);
        EXPECT_EQ(ReadBytes(file).size(), kSlotFileBytes) << "the new slot is written";
        for (char kind : {'w', 'o', 'd', 'k'}) {
            std::string cp = std::string("vek/slot_") + kind + std::to_string(c.language) + ".sav";
            EXPECT_TRUE(osHostPathExists(cp.c_str())) << cp;
            EXPECT_EQ(ReadBytes(cp.c_str()).size(), 0u) << cp;
        }
    }
}

TEST_F(Career, ReadingASlot) {
    const struct {
        const char *name;
        int32_t flags;
        bool frontEnd;
        int32_t flagsAfter;
        uint8_t named, arcade;
    } cases[] = {
        {"Ada", 0, true, 6, 0xFF, 0},                // named, no flags yet: a simulation career
        {"Ada", 3, true, 3, 0xFF, 0xFF},             // arcade from bit 0 at the front end
        {"Ada", 3, false, 3, 0xFF, 0},               // a command-line mission keeps the option
        {"Unknown Captain", 0, true, 0, 0, 0},
    };
    for (const auto &c : cases) {
        CaptainSlot s{};
        std::snprintf(s.name, sizeof s.name, "%s", c.name);
        s.modeFlags = c.flags;
        s.totalScore = 321;
        uint8_t b[kSlotFileBytes];
        EncodeCaptainSlot(s, b);
        WriteBytes("vek/slot0.sav", b, sizeof b);
        gCaptainSlot = CaptainSlot{};
        optFrontEndStart = c.frontEnd ? 0xFF : 0;
        optArcade = 0;
        EXPECT_TRUE(dunReadCaptainSlot());
        EXPECT_EQ(gCaptainSlot.totalScore, 321);
        EXPECT_EQ(gCaptainSlot.modeFlags, c.flagsAfter) << c.name << c.flags;
        EXPECT_EQ(gCaptainNamed, c.named) << c.name;
        EXPECT_EQ(optArcade, c.arcade) << c.name << c.flags;
    }
    // A damaged state file's slot number still names a one-digit file.
    char file[32];
    gCareerState.word[StateWord::Slot] = -300;
    std::memset(gCaptainSlot.name, 0, sizeof gCaptainSlot.name);
    EXPECT_TRUE(dunReadCaptainSlot());
    CaptainSlotFileName(0, file, sizeof file);
    EXPECT_STREQ(file, "vek\\slot0.sav");
}

// A career file that no career could have written is set aside under a
// name of its own, with one line naming it, before anything is written in
// its place; a whole one is read as it is.
TEST_F(Career, DamagedCareerFilesAreSetAsideBeforeAnythingIsWritten) {
    CaptainSlot good{};
    std::snprintf(good.name, sizeof good.name, "%s", "Ada Quill");
    good.totalScore = 600;
    good.modeFlags = 2;
    good.historyCount = 1;
    good.history[0] = 1;
    good.played[1] = -1;
    uint8_t whole[kSlotFileBytes];
    EncodeCaptainSlot(good, whole);
    // 1,840 bytes of noise, as a damaged disc gives them.
    uint8_t noise[kSlotFileBytes];
    for (size_t i = 0; i < sizeof noise; ++i) noise[i] = uint8_t((i * 2654435761u) >> 13);
    const auto with = [&](auto change) {
        std::vector<uint8_t> b(whole, whole + sizeof whole);
        change(b);
        return b;
    };
    const struct {
        const char *what;
        std::vector<uint8_t> bytes;
        const char *why;  // null: whole
    } cases[] = {
        {"whole", with([](auto &) {}), nullptr},
        {"cut short", with([](auto &b) { b.resize(900); }), "cut short"},
        {"empty", {}, "empty"},
        {"too long", with([](auto &b) { b.push_back(0); }), "longer"},
        {"random bytes", std::vector<uint8_t>(noise, noise + sizeof noise), ""},
        {"a name without its end", with([](auto &b) { std::memset(b.data(), 'A', kCaptainNameBytes); }), "name"},
        {"a score no career holds", with([](auto &b) { b[30] = 0x4B; b[31] = 0x00; b[32] = 0x00; b[33] = 0x4B; }),
         "score"},
        {"a played mark out of range", with([](auto &b) { b[40 + 2 * 7] = 5; }), "played"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        std::system("rm -f vek/slot0.sav*");
        WriteBytes("vek/slot0.sav", c.bytes.data(), c.bytes.size());
        gCareerState.word[StateWord::Slot] = 0;
        testing::internal::CaptureStderr();
        const bool read = dunReadCaptainSlot();
        const std::string err = testing::internal::GetCapturedStderr();
        if (!c.why) {
            EXPECT_TRUE(read);
            EXPECT_STREQ(gCaptainSlot.name, "Ada Quill");
            EXPECT_EQ(gCaptainSlot.totalScore, 600);
            EXPECT_EQ(err.find("Damaged"), std::string::npos) << err;
            continue;
        }
        // Read as missing: a new slot, written where the damaged one was.
        EXPECT_FALSE(read);
        EXPECT_STREQ(gCaptainSlot.name, "Unknown Captain");
        EXPECT_EQ(ReadBytes("vek/slot0.sav").size(), kSlotFileBytes);
        // The damaged bytes are kept aside as they were.
        EXPECT_EQ(ReadBytes("vek/slot0.sav.bad"), c.bytes);
        EXPECT_NE(err.find("Damaged file vek\\slot0.sav"), std::string::npos) << err;
        EXPECT_NE(err.find(c.why), std::string::npos) << err;
        EXPECT_NE(err.find("vek\\slot0.sav.bad"), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
    // The state file the same way: cut short, and a slot number out of range.
    for (size_t size : {size_t(100), kStateFileBytes}) {
        std::vector<uint8_t> b(kStateFileBytes, 0);
        b[0] = 0x7F;  // slot 127
        b.resize(size);
        std::system("rm -f vek/state.inf*");
        WriteBytes("vek/state.inf", b.data(), b.size());
        testing::internal::CaptureStderr();
        dunReadStateFile();
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(ReadBytes("vek/state.inf.bad"), b) << size;
        EXPECT_EQ(ReadBytes("vek/state.inf").size(), kStateFileBytes) << size;
        EXPECT_EQ(gCareerState.bestTime[7], kNewBestTime) << size;
        EXPECT_NE(err.find("Damaged file vek\\state.inf"), std::string::npos) << err;
    }
}

const char kHeader[] = "Index,Mission,Name,NameFr,NameDe,Spare,Prereq,BranchMission,BranchValue,V10,ResultMax,V12,"
                       "Spare2,V14,End\r\n";

TEST_F(Career, MissionTableRows) {
    gLanguage = 1;
    std::string longName(120, 'n');
    Table(std::string(kHeader) +
          "2,7,\"Two\",\"Deux\",Zwei,,0,0,0,10,1000,12,,14,\r\n"
          "1,3,One,Un,Eins,,,,,,0x10,,,\r\n"  // empty fields are 0; %i reads hex
          "150,9,Far,Loin,Weit,,0,0,0,0,0,0,,0,\r\n"  // outside the table: skipped
          "-1,9,Neg,Neg,Neg,,0,0,0,0,0,0,,0\n"        // fourteen fields, no comma: the next line stays a row
          "4,5,A," + longName + ",C,,1,2,1,0,0,0,,0,\r\n"
          "5,0,Stop,Stop,Stop,,0,0,0,0,0,0,,0,\r\n"
          "6,6,After,After,After,,0,0,0,0,0,0,,0,\r\n");
    EXPECT_EQ(gMissionTable[2].missionNumber, 7);
    EXPECT_STREQ(gMissionTable[2].name, "Deux");
    EXPECT_EQ(gMissionTable[2].value10, 10);
    EXPECT_EQ(gMissionTable[2].resultMax, 1000);
    EXPECT_EQ(gMissionTable[2].value12, 12);
    EXPECT_EQ(gMissionTable[2].followOn, 14);
    EXPECT_EQ(gMissionTable[1].missionNumber, 3);
    EXPECT_EQ(gMissionTable[1].prerequisite, 0);
    EXPECT_EQ(gMissionTable[1].resultMax, 16);
    EXPECT_EQ(gMissionTable[4].missionNumber, 5);
    EXPECT_EQ(std::strlen(gMissionTable[4].name), size_t(kMissionNameBytes - 1));
    EXPECT_EQ(gMissionTable[4].branchMission, 2);
    EXPECT_EQ(gBranchTargets[2], 1);
    EXPECT_EQ(gBranchTargets[1], 0);
    EXPECT_EQ(gMissionTable[6].missionNumber, 0) << "rows after the stop row are not read";
    EXPECT_EQ(gMissionTable[6].prerequisite, -1);
    for (int i : {0, 3, 99}) EXPECT_EQ(gMissionTable[i].missionNumber, 0) << i;
}

TEST_F(Career, MissingMissionTable) {
    EXPECT_FALSE(dunLoadPrecedence());
    WriteBytes("vek/resource/scripts/precedence.csv", kHeader, sizeof kHeader - 1);
    EXPECT_TRUE(dunLoadPrecedence());
}

TEST_F(Career, Availability) {
    // 1 opens the career; 2 needs 1; 3 is the branch taken when 2 ended
    // with result 1, 4 when it ended otherwise; 32 is the late career;
    // 40 is late and open; 90 is after the late career.
    Table(std::string(kHeader) +
          "1,1,A,A,A,,0,0,0,0,100,0,,0,\n"
          "2,2,B,B,B,,1,0,0,0,100,0,,0,\n"
          "3,3,C,C,C,,2,2,1,0,100,0,,0,\n"
          "4,4,D,D,D,,2,2,0,0,100,0,,0,\n"
          "32,32,L,L,L,,0,0,0,0,100,0,,0,\n"
          "40,40,M,M,M,,0,0,0,0,100,0,,0,\n"
          "90,90,N,N,N,,0,0,0,0,100,0,,0,\n");
    const struct {
        std::vector<int> played;
        int branchOf2;
        std::vector<int> open;
        int current;
    } cases[] = {
        // An open row 1 hands the current mission on to the next open row.
        {{}, 0, {1, 32, 40, 90}, 32},
        {{1}, 0, {2, 32, 40, 90}, 2},
        {{1, 2}, 1, {3, 32, 40, 90}, 3},
        {{1, 2}, 0, {4, 32, 40, 90}, 4},
        {{1, 2, 32}, 1, {40}, 40},
        {{1, 2, 3, 4, 32, 40, 90}, 1, {}, 1},
    };
    for (const auto &c : cases) {
        gCaptainSlot = CaptainSlot{};
        for (int m : c.played) gCaptainSlot.played[m] = -1;
        gCaptainSlot.branch[2] = int16_t(c.branchOf2);
        dunRebuildAvailableMissions();
        EXPECT_EQ(Available(), c.open) << c.played.size();
        EXPECT_EQ(gCareerMission, c.current) << c.played.size();
    }
    // Row 1 alone stays current.
    Table(std::string(kHeader) + "1,1,A,A,A,,0,0,0,0,100,0,,0,\n2,2,B,B,B,,1,0,0,0,100,0,,0,\n");
    gCaptainSlot = CaptainSlot{};
    gCareerMission = 2;
    dunRebuildAvailableMissions();
    EXPECT_EQ(Available(), std::vector<int>{1});
    EXPECT_EQ(gCareerMission, 1);
}

TEST_F(Career, Recording) {
    Table(std::string(kHeader) + "1,1,A,A,A,,0,0,0,0,1000,0,,0,\n2,2,B,B,B,,0,0,0,0,5,0,,0,\n");
    gCareerState.word[StateWord::Slot] = 2;
    gCareerMission = 1;
    dunRecordMissionResult();
    int32_t first = gCaptainSlot.resultShare[1];
    EXPECT_EQ(first % 10, 0);
    EXPECT_GE(first, 0);
    EXPECT_LT(first, 1000);
    EXPECT_EQ(gCaptainSlot.played[1], -1);
    EXPECT_EQ(gCaptainSlot.branch[1], 1);
    EXPECT_EQ(gCaptainSlot.historyCount, 1);
    EXPECT_EQ(gCaptainSlot.history[0], 1);
    EXPECT_EQ(gCareerState.word[StateWord::Score], first);
    EXPECT_EQ(gCaptainSlot.totalScore, first);
    EXPECT_EQ(gCareerState.bestResult[1], first);
    EXPECT_EQ(gBestResultSlot[1], 2);

    // A replay keeps the mission played and adds to the history and total.
    gCareerState.word[StateWord::Slot] = 3;
    dunRecordMissionResult();
    EXPECT_EQ(gCaptainSlot.played[1], -1);
    EXPECT_EQ(gCaptainSlot.historyCount, 2);
    EXPECT_EQ(gCaptainSlot.totalScore, first + gCaptainSlot.resultShare[1]);
    EXPECT_EQ(gBestResultSlot[1], gCaptainSlot.resultShare[1] > first ? 3 : 2);

    // A result maximum under 10 gives nothing to share.
    gCareerMission = 2;
    dunRecordMissionResult();
    EXPECT_EQ(gCaptainSlot.resultShare[2], 0);
    // A full history stops growing.
    gCaptainSlot.historyCount = kCareerMissions;
    dunRecordMissionResult();
    EXPECT_EQ(gCaptainSlot.historyCount, kCareerMissions);
}

TEST_F(Career, CompleteAllMissions) {
    Table(std::string(kHeader) + "1,1,A,A,A,,0,0,0,0,100,0,,0,\n2,2,B,B,B,,1,0,0,0,100,0,,0,\n");
    std::snprintf(gCaptainSlot.name, sizeof gCaptainSlot.name, "Ada");
    gCaptainSlot.played[50] = -1;
    dunCompleteAllMissions();
    EXPECT_STREQ(gCaptainSlot.name, "Ada");
    EXPECT_EQ(gCaptainSlot.played[50], 0) << "a new slot first";
    EXPECT_EQ(gCaptainSlot.played[1], -1);
    EXPECT_EQ(gCaptainSlot.played[2], -1);
    EXPECT_EQ(gCaptainSlot.historyCount, 2);
    EXPECT_EQ(gAvailableCount, 0);
}

TEST_F(Career, FreeingTimelines) {
    for (TimelineList *list : {&gTimelineOpen, &gTimelinePlayed}) {
        for (int i = 0; i < 3; ++i) {
            auto *node = static_cast<TimelineNode *>(dunAlloc(sizeof(TimelineNode)));
            node->debrief = i ? static_cast<char *>(dunAlloc(8)) : nullptr;
            node->next = list->first;
            list->first = list->selected = node;
        }
        list->vertical = 1;
    }
    // The lists are the front end's: it frees them when the career asks.
    guiInstallScriptHooks();
    dunFreeTimelines();  // the leak checker sees the rest
    ScriptSetGuiHooks(nullptr);
    EXPECT_EQ(gTimelineOpen.first, nullptr);
    EXPECT_EQ(gTimelinePlayed.selected, nullptr);
    EXPECT_EQ(gTimelineOpen.vertical, 1) << "the list's orientation stays";
}

}  // namespace
