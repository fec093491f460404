// The message line, the text feed (typing, pauses, wrap, posting, hold,
// drawing, the speech cue) and the dialogue line.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "../platform/wave_bytes.h"
#include "common/temp_dir.h"
#include "core/log.h"
#include "gui/cockpit.h"
#include "gui/feed.h"
#include "gui_fixture.h"
#include "hud/missionlog.h"
#include "os/audio.h"
#include "os/paths.h"
#include "platform/sound.h"
#include "script/dialogue.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/script.h"
#include "script/symbols.h"

namespace guitest {
namespace {

class Feed : public GuiTest {
protected:
    BlockFont font;  // every glyph 6 pixels on, lines 8 apart
    void SetUp() override {
        GuiTest::SetUp();
        gFeedFont = &font.font;
        gFeedKeepHistory = gFeedAltPlacement = gFeedReplyHold = 0;
        gFeedSubtitles = 0xFF;
        gBriefingOpen = 0;
        gMissionEndState = 0;
        gRawStep = 4;
        dunGameClock = 0;
        guiTextFeedInit();
        guiClearMessageLine();
    }
    void TearDown() override {
        guiResetTextFeed();
        gFeedFont = nullptr;
        gBriefingOpen = 0;
        gRawStep = 0;
        GuiTest::TearDown();
    }
    static std::string Typed() { return std::string(gFeed.chars, size_t(gFeed.write)); }
    // Types the pending text out, returning after which characters a pause came.
    static std::string Pauses() {
        std::string after;
        while (guiFeedTyping()) {
            const char c = gFeed.pending[gFeed.read];
            if (guiTypeNextChar()) after += c;
        }
        return after;
    }
};

TEST_F(Feed, DisplayTimeCountsCharactersAndPauses) {
    struct {
        const char *text;
        int32_t time;
        bool cue;
    } rows[] = {
        {"hello.", 5 * 4 + 50 + 100, false},
        {"a..b.", 4 + 0 + 50 + 4 + 50 + 100, false},
        {"a~b\n", 4 + 50 + 4 + 50 + 100, false},
        {"go#", 4 + 4 + 4 + 100, true},
        {"", 100, false},
    };
    for (const auto &r : rows) {
        bool cue = !r.cue;
        EXPECT_EQ(guiMessageTime(r.text, &cue), r.time) << r.text;
        EXPECT_EQ(cue, r.cue) << r.text;
    }
    // A text of many pauses does not wrap around.
    std::string pauses(100000, '~');
    EXPECT_EQ(guiMessageTime(pauses.c_str(), nullptr), 100000 * 50 + 100);
}

TEST_F(Feed, MessageLineShowsAtLeastAQuarterSecondAndBlinksAtFirst) {
    gRawStep = 1;
    guiDisplayMessage("short", 3);
    int shown = 0;
    for (int frame = 0; frame < 100; ++frame) shown += guiDrawMessageLine() != nullptr;
    EXPECT_EQ(shown, 25);
    EXPECT_STREQ(gMessageText, "---------");

    guiDisplayMessage("blink", 300);
    std::string pattern;
    for (int frame = 0; frame < 300; ++frame) pattern += guiDrawMessageLine() ? '1' : '0';
    // elapsed 0..10 drawn, 11..19 hidden, from 100 on always.
    EXPECT_EQ(pattern.substr(0, 22), "1111111111100000000011");
    EXPECT_EQ(pattern.substr(100), std::string(200, '1'));
    EXPECT_EQ(guiDrawMessageLine(), nullptr);

    // A new message replaces the shown one at once.
    guiDisplayMessage("one", 500);
    guiDrawMessageLine();
    guiDisplayMessage("two", 500);
    EXPECT_STREQ(guiDrawMessageLine(), "two");
}

TEST_F(Feed, MessageLineCutsLongTextsAndRefusesVeryLongOnes) {
    std::string text(200, 'm');
    guiDisplayMessage(text.c_str(), 100);
    EXPECT_EQ(std::strlen(gMessageText), size_t(kMessageLineBytes - 1));
    std::string over(257, 'm');
    try {
        guiDisplayMessage(over.c_str(), 100);
        FAIL() << "no fatal error";
    } catch (const ruvotest::FatalError &e) {
        EXPECT_STREQ(e.what(), "guiDisplayMessage String Overflow");
    }
}

TEST_F(Feed, TypesOneCharacterPerStepAndPausesAfterLinesAndFullStops) {
    guiPostFeedText("ab. c", 2);
    EXPECT_TRUE(gFeedShowing);
    guiTextFeedTick();
    EXPECT_EQ(Typed(), "a");
    guiTextFeedTick();
    EXPECT_EQ(Typed(), "ab");
    guiTextFeedTick();  // the full stop: half a second follows
    EXPECT_EQ(Typed(), "ab.");
    for (int i = 0; i < 12; ++i) guiTextFeedTick();
    EXPECT_EQ(Typed(), "ab.");
    guiTextFeedTick();
    guiTextFeedTick();
    EXPECT_EQ(Typed(), "ab. c\n");
    EXPECT_EQ(gFeed.colours[0], 2);

    // Pairs of full stops pause after the second only; "~" and line feeds
    // pause before them.
    guiPostFeedText("a.. b. c~d\ne", 0);
    EXPECT_EQ(Pauses(), "..cd");
    guiPostFeedText("x#y~z\r", 0);
    Pauses();
    EXPECT_EQ(Typed(), "xyz\n");
}

TEST_F(Feed, WrapsWordsThatDoNotFitButNotWordsWiderThanTheBox) {
    gFeed.boxWidth = 60;
    guiPostFeedText("aaaa bbbb", 0);
    gFeed.boxWidth = 60;
    Pauses();
    EXPECT_EQ(Typed(), "aaaa\nbbbb\n");
    // A word too wide for the box with its margin does not move to a line
    // of its own.
    guiPostFeedText("aaaa bbbbbbbbbbbb", 0);
    gFeed.boxWidth = 60;
    Pauses();
    EXPECT_EQ(Typed().rfind("aaaa b", 0), 0u) << Typed();
}

TEST_F(Feed, PostingResetsUnlessTheHistoryIsKept) {
    guiPostFeedText("first text", 0);
    guiTextFeedTick();
    guiPostFeedText("second", 0);
    EXPECT_EQ(Typed(), "");
    EXPECT_STREQ(gFeed.pending, "second");

    gFeedKeepHistory = 1;
    guiTextFeedTick();
    guiPostFeedText("third", 1);
    // The text still typing is finished at once before the new one.
    EXPECT_EQ(Typed(), "second\n");
    EXPECT_STREQ(gFeed.pending, "third");
    EXPECT_EQ(gFeed.read, 0);
}

TEST_F(Feed, TextsOfAnyLengthStayInsideTheBuffers) {
    gFeedKeepHistory = 1;
    std::string line = std::string(90, 'w') + "\n";
    std::string big;
    while (big.size() < 7000) big += line;
    for (int post = 0; post < 3; ++post) {
        guiPostFeedText(big.c_str(), 0);
        EXPECT_EQ(gFeed.pendingLength, kFeedBytes - 1);
        while (guiFeedTyping()) {
            guiTypeNextChar();
            ASSERT_LT(gFeed.write, kFeedBytes);
        }
    }
    EXPECT_EQ(gFeed.chars[gFeed.write], 0);
    // Wrapping in a narrow box adds line feeds the post did not count.
    guiPostFeedText(big.c_str(), 0);
    gFeed.boxWidth = 100;
    while (guiFeedTyping()) guiTypeNextChar();
    EXPECT_LT(gFeed.write, kFeedBytes);
}

TEST_F(Feed, HoldsTheTypedTextThenScrollsItAway) {
    gRawStep = 10;
    guiPostFeedText("hi", 0);
    gMissionLogCursor = 3;
    guiTextFeedTick();  // types both and the line end
    EXPECT_FALSE(guiFeedTyping());
    guiTextFeedTick();
    EXPECT_EQ(gFeed.hold, kFeedHoldTime);
    for (int i = 0; i < 24; ++i) guiTextFeedTick();
    EXPECT_TRUE(gFeedShowing);
    guiTextFeedTick();
    EXPECT_FALSE(gFeedShowing);
    EXPECT_EQ(gMissionLogCursor, kMissionLogNoEntry);
    EXPECT_EQ(Typed(), "hi\n\n\n\n");

    // During a briefing a typed text stays; its hold starts afterwards.
    guiPostFeedText("brief", 0);
    gBriefingOpen = 1;
    for (int i = 0; i < 100; ++i) guiTextFeedTick();
    EXPECT_TRUE(gFeedShowing);
    EXPECT_LE(gFeed.hold, 0);
    gBriefingOpen = 0;
    guiTextFeedTick();
    EXPECT_EQ(gFeed.hold, kFeedHoldTime);
    // The command station's reply hold stops typing during a briefing.
    guiPostFeedText("wait", 0);
    gBriefingOpen = gFeedReplyHold = 1;
    guiTextFeedTick();
    EXPECT_EQ(Typed(), "");
    gFeedReplyHold = 0;
    guiTextFeedTick();
    guiTextFeedTick();
    EXPECT_EQ(Typed(), "wait\n");
}

TEST_F(Feed, DrawsOnlyTheLinesThatFitAndABlinkingCursor) {
    guiPostFeedText("1\n2\n3\n4\n5", 0);
    while (guiFeedTyping()) guiTypeNextChar();
    auto inkIn = [&](int h) {
        std::fill(canvas.bytes.begin(), canvas.bytes.end(), uint8_t(0));
        guiDrawTextFeed(10, 10, 200, h);
        return canvas.Count(255);
    };
    EXPECT_EQ(inkIn(30), 15);  // one digit
    EXPECT_EQ(inkIn(40), 30);  // two
    EXPECT_EQ(inkIn(200), 75);
    EXPECT_EQ(canvas.Count(160), 0);
    dunGameClock = 30;
    inkIn(40);
    EXPECT_GT(canvas.Count(160), 0);
    gGuiHelpMode = 1;
    EXPECT_EQ(inkIn(200), 0);
    gGuiHelpMode = 0;
}

class FeedSpeech : public Feed {
protected:
    ruvotest::TempDir dir;
    void SetUp() override {
        Feed::SetUp();
        osFlushPathCache();
        osAudioOpen(true);
        SoundEnabled = 0xFF;
        wavetest::WriteBytes("speech.wav", wavetest::Constant8(22050, 228));  // one second
    }
    void TearDown() override {
        SoundReleaseAll();
        osAudioClose();
        osFlushPathCache();
        Feed::TearDown();
    }
    static double Level() { return wavetest::MixLevel(); }
};

TEST_F(FeedSpeech, TheCueStartsTheQueuedSpeechWhenTypingReachesIt) {
    guiPostFeedText("Go #now", 0);
    std::snprintf(gFeed.speech, sizeof gFeed.speech, "%s", "speech.wav");
    for (int i = 0; i < 3; ++i) guiTypeNextChar();
    EXPECT_EQ(Level(), 0.0);
    guiTypeNextChar();  // the "#"
    EXPECT_GT(Level(), 0.0);
    EXPECT_EQ(gSpeechTime, 100 + 100);
    EXPECT_EQ(gFeed.speech[0], 0);
    while (guiFeedTyping()) guiTypeNextChar();
    EXPECT_EQ(Typed(), "Go now\n");

    // A clip that cannot be loaded: a report, and the typing goes on.
    guiPostFeedText("a#b", 0);
    std::snprintf(gFeed.speech, sizeof gFeed.speech, "%s", "missing.wav");
    while (guiFeedTyping()) guiTypeNextChar();
    EXPECT_EQ(Typed(), "ab\n");
    EXPECT_EQ(gFeed.speech[0], 0);
}

TEST_F(FeedSpeech, AResetForgetsTheQueuedSpeech) {
    guiPostFeedText("lost #cue", 0);
    std::snprintf(gFeed.speech, sizeof gFeed.speech, "%s", "speech.wav");
    guiResetTextFeed();
    guiPostFeedText("later #cue", 0);
    while (guiFeedTyping()) guiTypeNextChar();
    EXPECT_EQ(Level(), 0.0);
}

class DialogueLine : public FeedSpeech {
protected:
    void SetUp() override {
        FeedSpeech::SetUp();
        resmanInit();
        InitializeScriptSystem();
        MissionLogReset();
        gMissionClock = 0;
        gLanguage = 0;
    }
    void TearDown() override {
        dunClearDialogue();
        FreeScriptBuffers();
        resmanShutdown();
        gLanguage = 0;
        FeedSpeech::TearDown();
    }
    static ScriptSymbol *TextSymbol(const char *name, const char *file, const std::string &text) {
        wavetest::WriteBytes(file, std::vector<uint8_t>(text.begin(), text.end()));
        ScriptSymbol *s = AddScriptSymbol(name, nullptr, 0);
        s->kind = SymKind::Resource;
        s->value = resmanRegisterLoad(file, ResTxt2Txt);
        return s;
    }
};

TEST_F(DialogueLine, SpeechFilesFollowTheLanguage) {
    const char *const kExpected[3] = {"vek\\resource\\audio\\m01_t001_0.wav",
                                      "vek\\resource\\audioFrench\\m01_t001_0.wav",
                                      "vek\\resource\\audioGerman\\m01_t001_0.wav"};
    for (uint16_t language = 0; language < 3; ++language) {
        gLanguage = language;
        char path[260];
        guiDialogueLineSpeechPath("vek\\resource\\text\\d01\\t001", path, sizeof path);
        EXPECT_STREQ(path, kExpected[language]);
    }
}

TEST_F(DialogueLine, PlainTextsAreLoggedOutsideABriefingAndSpokenInOne) {
    EXPECT_EQ(PlayDialogueLine(nullptr, nullptr, nullptr, nullptr), 0);
    ScriptSymbol *unbound = AddScriptSymbol("Nothing", nullptr, 0);
    EXPECT_EQ(PlayDialogueLine(unbound, nullptr, nullptr, nullptr), 0);

    ScriptSymbol *line = TextSymbol("x\\d07\\hello", "hello.txt", "Hello there.");
    gMissionClock = 6100;
    EXPECT_EQ(PlayDialogueLine(line, nullptr, nullptr, nullptr), 255);
    ASSERT_EQ(gMissionLogCount, 1);
    EXPECT_STREQ(gMissionLog[0].text, "1:01 Hello there.");
    EXPECT_EQ(gSpeechTime, guiMessageTime("Hello there.", nullptr));
    EXPECT_EQ(gScriptSpeechTime, gSpeechTime);

    // In a briefing: typed in the feed, spoken from the line's file.
    wavetest::WriteBytes("vek/resource/audio/m07_hello_0.wav", wavetest::Constant8(11025, 228));
    osFlushPathCache();
    gBriefingOpen = 1;
    guiResetTextFeed();
    EXPECT_EQ(PlayDialogueLine(line, nullptr, nullptr, nullptr), 255);
    EXPECT_STREQ(gFeed.pending, "Hello there.");
    EXPECT_EQ(gSpeechTime, 50 + 100);
    EXPECT_GT(Level(), 0.0);
    EXPECT_EQ(gMissionLogCount, 1);

    // With a cue the file waits for the typing.
    SoundReleaseAll();
    ScriptSymbol *cued = TextSymbol("x\\d07\\hello2", "hello2.txt", "Listen #now");
    wavetest::WriteBytes("vek/resource/audio/m07_hello2_0.wav", wavetest::Constant8(11025, 228));
    osFlushPathCache();
    PlayDialogueLine(cued, nullptr, nullptr, nullptr);
    EXPECT_EQ(gSpeechTime, 360000);
    EXPECT_EQ(Level(), 0.0);
    while (guiFeedTyping()) guiTypeNextChar();
    EXPECT_GT(Level(), 0.0);
    EXPECT_EQ(gSpeechTime, 150);
}

TEST_F(DialogueLine, MarkedUpTextsStartADialogue) {
    ScriptSymbol *d = TextSymbol("Dlg", "talk.txt", "<A=Pilot>\n(\nA: Hello\n)\n");
    EXPECT_EQ(PlayDialogueLine(d, nullptr, d, nullptr), 255);
    EXPECT_TRUE(dunIsDialogueQueuedFor(d));
    EXPECT_EQ(gMissionLogCount, 0);
}

}  // namespace
}  // namespace guitest
