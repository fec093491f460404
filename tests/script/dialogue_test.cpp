// Dialogues: the markup, the queue, reply choices, value items, speech
// samples played through the mixer, cancelling and clearing.
#include <cmath>
#include <string>
#include <vector>

#include "../platform/wave_bytes.h"
#include "RES/resman.h"
#include "gui/cockpit.h"
#include "hud/missionlog.h"
#include "os/audio.h"
#include "platform/sound.h"
#include "script/dialogue.h"
#include "script/mission.h"
#include "script/screens.h"
#include "script_fixture.h"
#include "world/services.h"

using namespace scripttest;
using Lines = std::vector<std::string>;

namespace {

class Dialogue : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        resmanInit();
        osAudioOpen(true);
        SoundEnabled = 0xFF;
        MissionLogReset();
        gMissionLogOff = 0;
        gMissionClock = 0;
        gRawStep = 20;
        gLanguage = 0;
        gSpeakerClipMode = 0xFFFF;
        // The dialogue speaks on the GUI's feed and logs in the HUD's log.
        guiInstallScriptHooks();
        hudInstallWorldHooks();
    }
    void TearDown() override {
        dunClearDialogue();
        ScriptSetGuiHooks(nullptr);
        WorldSetHudHooks(nullptr);
        SoundReleaseAll();
        osAudioClose();
        resmanShutdown();
        MissionLogReset();
        gLanguage = 0;
        ScriptTest::TearDown();
    }
    // Queues a dialogue text read from a file of that name.
    // Each text gets a file of its own unless one is named.
    static DialogueNode *Start(const std::string &text, ScriptSymbol *target = nullptr, SceneItem *owner = nullptr,
                               const char *file = nullptr) {
        static int count = 0;
        char name[64];
        std::snprintf(name, sizeof name, "vek\\resource\\text\\d06\\t%03d.txt", ++count);
        if (!file) file = name;
        WriteText(file, text);
        ResourceHandle *h = resmanRegisterLoad(file, ResTxt2Txt);
        return dunStartDialogue(h, target, nullptr, owner);
    }
    // The texts logged so far, without their time.
    static Lines Logged() {
        Lines out;
        for (int i = 0; i < gMissionLogCount; ++i) out.push_back(std::string(gMissionLog[i].text).substr(5));
        return out;
    }
    // Frames until the queue waits for a reply or is empty.
    static void Run(int frames = 400) {
        for (int i = 0; i < frames && gDialogueQueue && !(gDialogueQueue->state & DialogueState::Waiting); ++i)
            dunUpdateDialogue();
    }
    static double Level() { return wavetest::MixLevel(); }
};

TEST_F(Dialogue, SpeakersAreNamedInTheHeaderAndPutBeforeTheirLines) {
    const char *kPlayer[3] = {"You", "Vous", "Sie"};
    for (uint16_t language = 0; language < 3; ++language) {
        gLanguage = language;
        MissionLogReset();
        Start("<A=Pilot B=Tower>\n(\nA: Hello\nB: Cleared\nP: Thanks\nQ: Nobody\n)\n");
        ASSERT_NE(gDialogueQueue, nullptr);
        EXPECT_EQ(gDialogueQueue->speakerCount, 3);
        Run();
        EXPECT_EQ(Logged(), (Lines{"Pilot - Hello", "Tower - Cleared", std::string(kPlayer[language]) + " - Thanks",
                                   "Nobody"}));
        EXPECT_EQ(gDialogueQueue, nullptr);
    }
}

TEST_F(Dialogue, HeadersOfTooManyOrTooLongNamesAreHeldToTheTable) {
    std::string header = "<A=" + std::string(60, 'x') + " B=b C=c D=d E=e F=f P=Me>\n(\nA: a\nF: f\nP: p\n)";
    Start(header);
    ASSERT_NE(gDialogueQueue, nullptr);
    EXPECT_EQ(gDialogueQueue->speakerCount, kDialogueSpeakers);
    EXPECT_EQ(std::string(gDialogueQueue->names[1]), std::string(39, 'x'));
    Run();
    EXPECT_EQ(Logged(), (Lines{std::string(39, 'x') + " - a", "f", "You - p"}));
}

TEST_F(Dialogue, ChoiceSetsOfferTheUnsaidAlternatives) {
    struct {
        const char *yes, *no;  // the options of the two replies
        Lines afterYes;        // what was said by the time the queue waits again or ends
        bool offersNo;
    } rows[] = {
        {"[A]", "[A]", {"Pilot - Question?", "You - Yes.", "Pilot - Good."}, true},
        {"[A+]", "[A]", {"Pilot - Question?", "You - Yes.", "Pilot - Good.", "Pilot - Done."}, false},
        {"[A-]", "[A-]", {"Pilot - Question?", "You - Yes.", "Pilot - Good.", "Pilot - Done."}, false},
    };
    for (const auto &r : rows) {
        dunClearDialogue();
        MissionLogReset();
        Start(std::string("<A=Pilot>\n(\nA: Question?\n(\nP:") + r.yes + "{Yes} Yes.\nA: Good.\n)\n(\nP:" + r.no +
              "{No} No.\nA: Bad.\n)\nA: Done.\n)\n");
        Run();
        ASSERT_NE(gDialogueQueue, nullptr);
        EXPECT_TRUE(gDialogueQueue->state & DialogueState::Waiting);
        dunSelectDialogueSpeaker("Pilot");
        ASSERT_EQ(gDialogueChoiceCount, 2);
        EXPECT_STREQ(gDialogueChoiceSlots[0]->node->shortText, "Yes");
        EXPECT_STREQ(gDialogueChoiceSlots[1]->node->shortText, "No");
        dunPlayDialogueChoice(gDialogueChoiceSlots[0]);
        EXPECT_EQ(gDialogueChoiceCount, 0);  // the rest of that dialogue's replies went
        Run();
        EXPECT_EQ(Logged(), r.afterYes) << r.yes << r.no;
        if (!r.offersNo) {
            EXPECT_EQ(gDialogueQueue, nullptr);
            continue;
        }
        ASSERT_NE(gDialogueQueue, nullptr);
        dunSelectDialogueSpeaker("Pilot");
        ASSERT_EQ(gDialogueChoiceCount, 1);
        EXPECT_STREQ(gDialogueChoiceSlots[0]->node->shortText, "No");
        dunPlayDialogueChoice(gDialogueChoiceSlots[0]);
        Run();
        EXPECT_EQ(Logged().back(), "Pilot - Done.");
        EXPECT_EQ(gDialogueQueue, nullptr);
    }
}

TEST_F(Dialogue, ValueItemsSetTheReplyVariable) {
    ScriptSymbol *reply = AddScriptSymbol("Reply", "\0\0\0\0", 4);
    reply->kind = SymKind::Var;
    Start("<A=Pilot>\n(\nA: One\n=5\n*0x10\nA: Two\n)", reply);
    Run(3);
    EXPECT_EQ(ScriptSymbolInt(reply), 0);  // the first line still plays
    Run();
    EXPECT_EQ(ScriptSymbolInt(reply), 16);
    EXPECT_EQ(Logged(), (Lines{"Pilot - One", "Pilot - Two"}));
    // Without a target the items pass at once.
    MissionLogReset();
    Start("<A=Pilot>\n(\n=7\nA: Three\n)");
    dunUpdateDialogue();
    EXPECT_EQ(Logged(), (Lines{"Pilot - Three"}));
}

TEST_F(Dialogue, LinesAreNumberedAcrossAlternativesForTheirSamples) {
    for (int line = 0; line < 4; ++line) {
        char path[260];
        dunDialogueSamplePath("vek\\resource\\text\\d05\\t001.txt", line, path, sizeof path);
        std::string file(path);
        for (char &c : file)
            if (c == '\\') c = '/';
        wavetest::WriteBytes(file, wavetest::Constant8(2205, 200));
    }
    osFlushPathCache();
    // Only the fourth line (number 3) finds no file of its own name.
    std::remove("vek/resource/audio/m05_t001_3.wav");
    osFlushPathCache();
    DialogueNode *root = Start("<A=Pilot>\n(\nA: zero\n(\nP:[A] one\n)\n(\nP:[A] two\nA: three\n)\n)", nullptr,
                               nullptr, "vek\\resource\\text\\d05\\t001.txt");
    ASSERT_NE(root, nullptr);
    std::vector<std::pair<std::string, bool>> samples;
    for (DialogueNode *n = gDialogueQueue->nodes; n; n = n->owned)
        if (n->text) samples.insert(samples.begin(), {n->text, n->sample != nullptr});
    EXPECT_EQ(samples, (std::vector<std::pair<std::string, bool>>{
                           {"Pilot - zero", true}, {"You - one", true}, {"You - two", true}, {"Pilot - three", false}}));

    struct {
        uint16_t language;
        const char *file;
        int line;
        const char *path;
    } rows[] = {
        {0, "vek\\resource\\text\\d05\\t001.txt", 3, "vek\\resource\\audio\\m05_t001_3.wav"},
        {1, "vek\\resource\\frn_\\d05\\t001.txt", 0, "vek\\resource\\audioFrench\\m05_t001_0.wav"},
        {2, "vek\\resource\\ger_\\d05\\t001.txt", 1, "vek\\resource\\audioGerman\\m05_t001_1.wav"},
        {1, "vek\\resource\\frn_\\d98\\t020.txt", 4, "vek\\resource\\audioFrench\\m98_0_t020.wav"},
        {2, "vek\\resource\\ger_\\d98\\t020.txt", 4, "vek\\resource\\audioGerman\\m98_t020_4.wav"},
    };
    for (const auto &r : rows) {
        gLanguage = r.language;
        char path[260];
        dunDialogueSamplePath(r.file, r.line, path, sizeof path);
        EXPECT_STREQ(path, r.path);
    }
    gLanguage = 0;
    // The one dialogue whose lines start at 3.
    char path[260];
    wavetest::WriteBytes("vek/resource/audio/m01_t194_3.wav", wavetest::Constant8(2205, 200));
    osFlushPathCache();
    dunClearDialogue();
    Start("<A=Pilot>\n(\nA: first\n)", nullptr, nullptr, "vek\\resource\\text\\d01\\t194.txt");
    ASSERT_NE(gDialogueQueue, nullptr);
    dunDialogueSamplePath("vek\\resource\\text\\d01\\t194.txt", 3, path, sizeof path);
    ASSERT_NE(gDialogueQueue->nodes->owned, nullptr);
    bool found = false;
    for (DialogueNode *n = gDialogueQueue->nodes; n; n = n->owned) found |= n->sample != nullptr;
    EXPECT_TRUE(found);
}

TEST_F(Dialogue, SpeechPlaysThroughTheMixerTimesTheLineAndStopsOnCancel) {
    SceneItem speaker{};
    wavetest::WriteBytes("vek/resource/audio/m05_t001_0.wav", wavetest::Constant8(22050 * 3, 228));  // 3 s
    osFlushPathCache();
    Start("<A=Pilot>\n(\nA: Hi\nA: Again\n)", nullptr, &speaker, "vek\\resource\\text\\d05\\t001.txt");
    EXPECT_EQ(Level(), 0.0);
    dunUpdateDialogue();
    EXPECT_GT(Level(), 0.0);
    EXPECT_EQ(gDialogueQueue->remaining, 300 + 100);  // the speech outlasts the text
    EXPECT_EQ(gDialogueHoldOff, 400);
    EXPECT_EQ(gSpeakerClipMode, 2);
    EXPECT_EQ(gDialogueSpeaking, &speaker);
    EXPECT_TRUE(dunIsDialoguePlaying(nullptr));
    EXPECT_TRUE(dunIsDialoguePlaying(&speaker));
    SceneItem other{};
    EXPECT_FALSE(dunIsDialoguePlaying(&other));
    dunCancelDialogueById(&speaker);
    EXPECT_EQ(gDialogueQueue, nullptr);
    Level();  // what was mixed before the stop
    EXPECT_EQ(Level(), 0.0);
    EXPECT_FALSE(dunIsDialoguePlaying(nullptr));
}

TEST_F(Dialogue, QueuedDialoguesPlaySideBySideAndCanBeCancelledOrCleared) {
    SceneItem a{}, b{};
    ScriptSymbol *first = AddScriptSymbol("First", nullptr, 0);
    WriteText("one.txt", "<A=Ace>\n(\nA: one\nA: two\n)");
    WriteText("two.txt", "<B=Bee>\n(\nB: three\n)");
    dunStartDialogue(resmanRegisterLoad("one.txt", ResTxt2Txt), nullptr, first, &a);
    dunStartDialogue(resmanRegisterLoad("two.txt", ResTxt2Txt), nullptr, nullptr, &b);
    dunUpdateDialogue();
    EXPECT_EQ(Logged(), (Lines{"Ace - one", "Bee - three"}));
    EXPECT_TRUE(dunIsDialogueQueuedFor(first));
    dunCancelDialogueBySymbol(first);
    EXPECT_FALSE(dunIsDialogueQueuedFor(first));
    EXPECT_TRUE(dunIsDialoguePlaying(&b));
    dunClearDialogue();
    EXPECT_EQ(gDialogueQueue, nullptr);
    EXPECT_EQ(gSpeakerClipMode, 0xFFFF);
    EXPECT_EQ(gDialogueSpeakersChanged, 1);
    // A skip with nothing queued does nothing.
    EXPECT_FALSE(dunSkipDialogueLine());
    Start("<A=Ace>\n(\nA: a rather long line that takes its time to show\nA: next\n)");
    dunUpdateDialogue();
    EXPECT_TRUE(dunSkipDialogueLine());
    EXPECT_EQ(gDialogueQueue->remaining, 1);
    dunUpdateDialogue();
    dunUpdateDialogue();
    EXPECT_EQ(Logged().back(), "Ace - next");
}

TEST_F(Dialogue, ReplySlotsTakeFiveOfTheRepliesToASpeaker) {
    std::string text = "<A=Pilot B=Tower>\n(\n";
    for (int i = 0; i < 7; ++i) text += "(\nP:[A] to pilot " + std::to_string(i) + "\n)\n";
    text += "(\nP:[B] to tower\n)\n)";
    Start(text);
    Run();
    dunSelectDialogueSpeaker("Pilot");
    EXPECT_EQ(gDialogueChoiceCount, 5);
    EXPECT_STREQ(gDialogueChoiceSlots[4]->node->text, "You - to pilot 4");
    dunSelectDialogueSpeaker("Tower");
    EXPECT_EQ(gDialogueChoiceCount, 1);
    EXPECT_EQ(gDialogueChoiceSlots[1], nullptr);
    dunSelectDialogueSpeaker("tower");  // names compare exactly
    EXPECT_EQ(gDialogueChoiceCount, 0);
}

TEST_F(Dialogue, MarkupIsReadWithinTheText) {
    struct {
        const char *body;
        Lines said;
    } rows[] = {
        {"(\nA: cut here&ignored\nA: next\n)", {"Pilot - cut here", "Pilot - next"}},
        {"(\nP:[A open options\n)", {"You - [A open options"}},
        {"(\nA:{open short text\n)", {"Pilot - {open short text"}},
        {"(\nA: ratio 3:2\n)", {"Pilot - ratio 3:2"}},
        {"(\nA:\n)", {"Pilot - "}},
        {"()", {}},
        {"no body at all", {}},
    };
    for (const auto &r : rows) {
        dunClearDialogue();
        MissionLogReset();
        Start(std::string("<A=Pilot>\n") + r.body);
        Run();
        EXPECT_EQ(Logged(), r.said) << r.body;
        EXPECT_EQ(gDialogueQueue, nullptr) << r.body;
    }
    EXPECT_EQ(FatalText([] { Start("<A=Pilot>\n(\nA: (unclosed\n)"); }),
              "Dialogue parse error - Number of brackets in dialogue is wrong.");
    EXPECT_EQ(FatalText([] { Start("<A=Pilot>\n)(\nA: x\n)"); }),
              "Dialogue parse error - Number of brackets in dialogue is wrong.");
}

TEST_F(Dialogue, DeepAndLoopingTreesAreFreedOnce) {
    std::string text = "<A=Pilot>\n";
    for (int i = 0; i < 5000; ++i) text += "(";
    text += "\nA: deep\n";
    for (int i = 0; i < 5000; ++i) text += ")\n(\nP:[A] alt\n)";
    Start(text);
    Run(3);
    dunClearDialogue();  // under the sanitizers: no node freed twice
    EXPECT_EQ(gDialogueQueue, nullptr);
}

}  // namespace
