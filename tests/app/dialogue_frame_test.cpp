// The sample mission's dialogue through the game frame: the line is logged,
// posted to the feed and typed a character a frame on the command station's
// screen, in each language, with its spoken sample.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "RES/font.h"
#include "RES/gfx2d.h"
#include "RES/resman.h"
#include "app/clock.h"
#include "app/game.h"
#include "../platform/wave_bytes.h"
#include "call_recorder.h"
#include "data_root.h"
#include "core/options.h"
#include "gui/cockpit.h"
#include "gui/feed.h"
#include "gui/gui.h"
#include "gui/screen.h"
#include "hud/missionlog.h"
#include "os/audio.h"
#include "platform/display.h"
#include "platform/sound.h"
#include "script/compiler.h"
#include "script/dialogue.h"
#include "script/interp.h"
#include "script/script.h"
#include "script/symbols.h"

namespace {

uint64_t gTicks;
uint64_t FakeCounter() { return gTicks; }

struct Language {
    uint16_t index;
    const char *init, *gui;
    const char *firstLine;  // as logged and typed
};

class MissionDialogue : public testing::TestWithParam<Language> {
protected:
    ruvotest::CallRecorder calls;
    ruvotest::InDataRoot dataRoot;
    void SetUp() override {
        gLanguage = GetParam().index;
        SetFrameCounter(FakeCounter, 100000);
        gTicks = 1;
        StartFrameClock();
        osAudioOpen(true);
        SoundEnabled = 0xFF;
        resmanInit();
        // The GUI's scripts and the dialogue reach the screens as in the game.
        guiInstallScriptHooks();
        hudInstallWorldHooks();
        InitializeScriptSystem();
        MissionLogReset();
        // The wingman's call, not the briefing before it ("nobrief").
        optNoBrief = 0xFF;
        // The frame's own calls run; the film, the world and the display's
        // driver are not part of this.
        calls.run = {"KeyQueueCount", "KeyQueueGet",       "GetKeyDownTable", "ScriptProcessor",
                     "guiUpdate",     "dunUpdateDialogue", "guiDrawComArm"};
    }
    void TearDown() override {
        dunClearDialogue();
        guiResetWindows();
        // The samples' slots live in the resource pool.
        SoundReleaseAll();
        resmanShutdown();
        osAudioClose();
        DisplayClose();
        gFeedFont = nullptr;
    }
    static double Level() { return wavetest::MixLevel(); }
};

TEST_P(MissionDialogue, TheWingmansLineIsTypedInTheFeed) {
    // Start-up as far as the screens: the language's init and GUI scripts.
    ruvotest::RunScriptFile(GetParam().init);
    guiResetWindows();
    guiInit();
    gGuiScriptLoading = 1;
    ruvotest::RunScriptFile(GetParam().gui);
    gGuiScriptLoading = 0;
    // The feed's font, as the start-up's font registration gives it.
    ResourceHandle *font = resmanRegisterLoad("vek\\resource\\fonts\\consfont.fnt", ResFnt2RFont);
    ASSERT_TRUE(font && font->data);
    gFeedFont = static_cast<BitmapFont *>(font->data);
    guiTextFeedInit();

    // The launch: the mission runs to its first wait on the command station.
    gMainScriptPc = TokeniseScript("vek\\resource\\scripts\\missions\\mission01.scr");
    ASSERT_NE(gMainScriptPc, nullptr);
    ScriptProcessor(&gMainScriptPc, 0);
    ScriptSymbol *dialogue = FindScriptSymbol("Dlg1");
    ASSERT_NE(dialogue, nullptr);
    if (!dunIsDialogueQueuedFor(dialogue)) {
        // What REGLOAD does with the mission's text: the language's copy is
        // loaded and, being marked up, started with its symbol as owner.
        char path[128] = "vek\\resource\\text\\d01\\t001.txt";
        if (gLanguage) LocaliseTextPath(path, gLanguage == 1 ? "frn_" : "ger_");
        dialogue->value = resmanRegisterLoad(path, ResTxt2Txt);
        PlayDialogueLine(dialogue, nullptr, dialogue, nullptr);
    }
    ASSERT_TRUE(dunIsDialogueQueuedFor(dialogue));
    guiSetScreen("COM");
    StationId = 1;
    // The view without panels (as "forcefull" starts): its main view draws
    // the feed over the scene.
    guiEnterFullScreen();

    ASSERT_NE(TheDisplayMode.screen, nullptr);  // the start-up script opened the display
    ClearSurface(TheDisplayMode.screen, 0);
    const std::string line = std::string("0:00 ") + GetParam().firstLine;
    std::string typed;
    for (int frame = 1; frame <= 12; ++frame) {
        gTicks += 4000;  // 4 centiseconds a frame: one character each
        UpdateFrameClock();
        gameFrame();
        typed = std::string(gFeed.chars, size_t(gFeed.write));
        EXPECT_EQ(typed, line.substr(0, size_t(frame))) << frame;
    }
    EXPECT_STREQ(gFeed.pending, line.c_str());
    ASSERT_GE(gMissionLogCount, 1);
    EXPECT_STREQ(gMissionLog[0].text, line.c_str());
    // The line is spoken from its sample while it shows.
    EXPECT_GT(Level(), 0.0);
    // The full-screen view draws nothing else yet but the speaker's box at the
    // top right: what is in the feed's box (its place over the main view) is
    // the typed text.
    const Surface *screen = TheDisplayMode.screen;
    int feed = 0, speaker = 0, elsewhere = 0;
    for (int y = 0; y < screen->height; ++y)
        for (int x = 0; x < screen->width; ++x) {
            const bool ink = screen->pixels[size_t(y) * size_t(screen->pitch) + size_t(x)] != 0;
            if (x >= 74 && x < 74 + 640 - 238 && y < 90) feed += ink;
            else if (x >= 640 - 160 && y < 130) speaker += ink;
            else elsewhere += ink;
        }
    EXPECT_GT(feed, 50);
    EXPECT_GT(speaker, 0);
    EXPECT_EQ(elsewhere, 0);
    for (int frame = 0; frame < 200 && gFeed.read < gFeed.pendingLength; ++frame) {
        gTicks += 4000;
        UpdateFrameClock();
        gameFrame();
    }
    // Wrapped at the feed box's width: the blank before a word that does not
    // fit becomes the line's end.
    std::string shown(gFeed.chars, size_t(gFeed.write));
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), '\n');
    shown.pop_back();
    for (char &c : shown)
        if (c == '\n') c = ' ';
    EXPECT_EQ(shown, line);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, MissionDialogue,
    testing::Values(Language{0, "vek\\resource\\scripts\\init\\init.scr", "vek\\resource\\scripts\\gui\\test0_x.gui",
                             "Wingman - Raider closing fast. Take it out, Captain."},
                    Language{1, "vek\\resource\\scripts\\init\\init_frn.scr",
                             "vek\\resource\\scripts\\gui\\test0_x_frn.gui",
                             "Ailier - Pillard en approche rapide. Abattez-le, capitaine."},
                    Language{2, "vek\\resource\\scripts\\init\\init_ger.scr",
                             "vek\\resource\\scripts\\gui\\test0_x_ger.gui",
                             "Rottenflieger - Pirat n\xE4hert sich schnell. Schalten Sie ihn aus, Kapit\xE4n."}));

}  // namespace
