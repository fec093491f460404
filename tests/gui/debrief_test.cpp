// The debriefing: the remapped missions and the fallback files, the
// language's copies, the spoken debriefing's hold, the end films and the
// return to the front end's screen.
#include <cstdlib>
#include <filesystem>
#include <string>

#include "../RES/res_helpers.h"
#include "../platform/wave_bytes.h"
#include "RES/util.h"
#include "common/temp_dir.h"
#include "core/files.h"
#include "gui/front.h"
#include "gui_fixture.h"
#include "os/audio.h"
#include "os/paths.h"
#include "platform/sound.h"
#include "platform/video.h"
#include "script/career.h"
#include "script/mission.h"

namespace guitest {
namespace {

using restest::WriteBytes;
using restest::WriteText;

std::string Text(char *block) {
    std::string s = block ? block : "(none)";
    dunFree(block);
    return s;
}

class Debrief : public GuiTest {
protected:
    ruvotest::TempDir dir;
    void SetUp() override {
        GuiTest::SetUp();
        for (MissionRecord &r : gMissionTable) r = MissionRecord{};
        gDeveloperKeys = 0;
        gLanguage = 0;
        const char *kFiles[] = {"12_0", "12_1", "13_0", "47_0", "47_1", "48_0", "50_1", "36_0", "43_0", "39_0", "39_1"};
        for (const char *f : kFiles)
            WriteText(std::string("vek/resource/text/debrief/dbf_") + f + ".txt", std::string("text ") + f);
        WriteText("vek/resource/text/debrief/dbf_null.txt", "text null");
        WriteText("vek/resource/text/debrief/Training.txt", "text training");
        WriteText("vek/resource/frn_/debrief/dbf_12_0.txt", "texte 12_0");
        osFlushPathCache();
    }
    void TearDown() override {
        gDeveloperKeys = 0;
        gLanguage = 0;
        gMissionOver = gMissionOverNextFrame = 0;
        dunMissionSuccess = 0;
        GuiTest::TearDown();
    }
    static MissionRecord *Row(int index, int number, const char *name = "") {
        MissionRecord &r = gMissionTable[index];
        r.index = int16_t(index);
        r.missionNumber = int16_t(number);
        std::snprintf(r.name, sizeof r.name, "%s", name);
        return &r;
    }
};

TEST_F(Debrief, RemapsAndFallsBack) {
    const struct {
        int index, number, outcome;
        const char *text;
    } cases[] = {
        {12, 12, 2, "text 12_0"},  // outcome 2 counts as 0
        {12, 12, 1, "text 12_1"},
        {13, 13, 1, "text 13_0"},  // no outcome-1 file: outcome 0's
        {14, 14, 0, "(none)"},     // no file at all, and no debug texts
        {42, 42, 1, "text 47_0"},  // debriefed as 47, outcome 0
        {43, 43, 0, "text 48_0"},
        {45, 45, 1, "text 50_1"},
        {47, 47, 0, "text 36_0"},
        {52, 52, 0, "text 43_0"},
        {44, 44, 1, "text 39_1"},  // 44 is debriefed as 39
        {39, 39, 0, "(none)"},     // 39 itself has none
        {90, 90, 0, "(none)"},     // bonus missions have none
        {20, 0, 0, "text training"},  // a row without a number: its name
    };
    for (const auto &c : cases)
        EXPECT_EQ(Text(frontLoadDebrief(Row(c.index, c.number, "Training"), c.outcome)), c.text)
            << c.index << "/" << c.number << "/" << c.outcome;
    EXPECT_EQ(frontLoadDebrief(nullptr, 0), nullptr);
    // With the debug texts the last resort is the null file.
    gDeveloperKeys = 1;
    EXPECT_EQ(Text(frontLoadDebrief(Row(14, 14), 0)), "text null");
    EXPECT_EQ(Text(frontLoadDebrief(Row(39, 39), 0)), "(none)");
}

TEST_F(Debrief, TextIsCutAndLocalised) {
    WriteText("vek/resource/text/debrief/dbf_15_0.txt", std::string(3000, 'a'));
    osFlushPathCache();
    EXPECT_EQ(Text(frontLoadDebrief(Row(15, 15), 0)).size(), 2499u);
    gLanguage = 1;
    EXPECT_EQ(Text(frontLoadDebrief(Row(12, 12), 0)), "texte 12_0");
    EXPECT_EQ(Text(frontLoadDebrief(Row(13, 13), 0)), "(none)");  // only the language's copy counts
    // The language's texts come from its own slab.
    WriteBytes("vek/resource/frn_.slb", restest::SlabFile({{"\\debrief\\dbf_16_0.txt", "depuis le slab"}}));
    osFlushPathCache();
    EXPECT_EQ(Text(frontLoadDebrief(Row(16, 16), 0)), "depuis le slab");
}

TEST_F(Debrief, SpokenDebriefHoldsTheEnd) {
    wavetest::WaveRecipe wave;
    wave.data.assign(22050, 128);  // one second
    WriteBytes("vek/resource/audio/dbf_12_0.wav", wavetest::Build(wave));
    osFlushPathCache();
    osAudioOpen(true);
    SoundEnabled = 0xFF;
    Row(12, 12);
    dunMissionSuccess = 0xFF;
    frontShowDebrief(12, 2);  // outcome 2's sample is missing: outcome 0's plays
    EXPECT_EQ(gDebriefHoldTime, 200);
    EXPECT_EQ(gMissionOver, 0);
    Row(13, 13);
    frontShowDebrief(13, 0);  // a text but no sample
    EXPECT_EQ(gDebriefHoldTime, 0);
    EXPECT_EQ(gMissionOver, 0);
    Row(14, 14);
    frontShowDebrief(14, 0);  // no text: the end comes at once
    EXPECT_EQ(gMissionOver, 1);
    SpeechRelease();
    SoundEnabled = 0;
    osAudioClose();
}

TEST_F(Debrief, EndFilmsByMissionAndResult) {
    const struct {
        int index, number, result;
        bool film;
    } cases[] = {{37, 37, 0, true}, {38, 37, 0, false}, {43, 43, 1, true}, {43, 43, 0, false},
                 {44, 44, 0, true}, {44, 44, 1, true},  {12, 12, 1, false}};
    for (const auto &c : cases) {
        for (MissionRecord &r : gMissionTable) r = MissionRecord{};
        Row(c.index, c.number);
        EXPECT_EQ(frontHasEndFilm(c.index, c.result), c.film) << c.index << "/" << c.number << "/" << c.result;
    }
    // The film's mission ends one frame later.
    for (MissionRecord &r : gMissionTable) r = MissionRecord{};
    Row(44, 44);
    gMissionOver = 1;
    frontPlayEndFilm(44, 0);
    EXPECT_EQ(gMissionOver, 0);
    EXPECT_EQ(gMissionOverNextFrame, 1);
    // A mission with a film shows no text even when it has one.
    gMissionOverNextFrame = 0;
    WriteText("vek/resource/text/debrief/dbf_39_0.txt", "has text");
    osFlushPathCache();
    frontShowDebrief(44, 0);
    EXPECT_EQ(gMissionOverNextFrame, 1);
    VideoPlaying = 0;
}

void Nothing() {}
void Keys(uint16_t) {}

TEST_F(Debrief, ReturnScreenByPage) {
    guiRegisterScreen("FrontTime", Nothing, Keys);
    guiRegisterScreen("FrontHome", Nothing, Keys);
    gFrontPage = gFrontRequestedPage = FrontPage::Time;
    gKeyHoldOff = 0;
    frontReturnScreen();
    EXPECT_EQ(gGuiScreen, guiFindScreen("FrontTime"));
    EXPECT_EQ(gKeyHoldOff, 5);
    gKeyHoldOff = 0;
    gFrontPage = gFrontRequestedPage = FrontPage::Action;
    frontReturnScreen();
    EXPECT_EQ(gGuiScreen, guiFindScreen("FrontHome"));
    EXPECT_EQ(gFrontRequestedPage, 23);
    EXPECT_EQ(gKeyHoldOff, 0);
    ResetFrontEnd();
}

}  // namespace
}  // namespace guitest
