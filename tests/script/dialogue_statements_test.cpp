// The statements that speak to the player: DIALOGUE and its waits, the
// objective statements, the HUD's text line and key prompt, and sounds.
#include <string>

#include "../platform/wave_bytes.h"
#include "RES/resman.h"
#include "gui/bindings.h"
#include "gui/cockpit.h"
#include "os/audio.h"
#include "platform/sound.h"
#include "script/dialogue.h"
#include "script/mission.h"
#include "script/objectives.h"
#include "script/screens.h"
#include "script/settings.h"
#include "script_fixture.h"
#include "world/handle.h"
#include "world/mission_state.h"

using namespace scripttest;

namespace {

class DialogueStatements : public ScriptTest {
protected:
    void SetUp() override {
        // The dialogue plays through the GUI's feed, and BINDKEY is the
        // GUI's statement.
        guiInstallScriptHooks();
        ScriptTest::SetUp();
        resmanInit();
        osAudioOpen(true);
        SoundEnabled = 0xFF;
        ResetBindings();
        ResetDialogueStatements();
        for (const char *&slot : gTextSlots) slot = nullptr;
        WriteText("vek\\resource\\text\\d01\\t001.txt", "<A=Wingman>\r\n(\r\nA: Raider closing.\r\n)\r\n");
    }
    void TearDown() override {
        dunClearDialogue();
        for (const char *&slot : gTextSlots) slot = nullptr;
        dunMissionEndCountdown = 0;
        SoundReleaseAll();
        osAudioClose();
        resmanShutdown();
        ResetBindings();
        ScriptTest::TearDown();
        ScriptSetGuiHooks(nullptr);
    }
    static constexpr const char *kDialogue =
        "SCENEITEM Ship\nVAR Reply\nRESOURCE Dlg\nREGISTER Dlg \"vek\\resource\\text\\d01\\t001.txt\" TXT2TXT\n";
};

TEST_F(DialogueStatements, ObjectivePairsEndAtZeroOrTheNextStatement) {
    ParseObjectives("3:a\r\nb\r\nc\r\n", 12);
    Start("SCORE_OBJV 3 50 4 75 0\nTIME_OBJV 5 12\nSET X 1\n");
    EXPECT_EQ(gObjectives[0].score, 50);
    EXPECT_EQ(gObjectives[1].score, 75);
    EXPECT_EQ(gObjectives[2].score, 100);
    EXPECT_EQ(gObjectives[2].time, 1200);
    EXPECT_EQ(Var("X"), 1);
}

TEST_F(DialogueStatements, SetObjectivesAsTheEndAndTheConditionAllow) {
    ParseObjectives("a\r\nb\r\nc\r\n", 9);
    // Once the end counts down a completion changes nothing; a failure does.
    dunMissionEndCountdown = 300;
    Start("SET_OBJV DONE 1 0\nSET_OBJV FAIL 2 0\nSET X 1\n");
    EXPECT_EQ(gObjectives[0].state, ObjectiveState::Open);
    EXPECT_EQ(gObjectives[1].state, ObjectiveState::Failed);
    EXPECT_EQ(Var("X"), 1);
    dunMissionEndCountdown = 0;
    // A false condition consumes the whole list; the statement after it runs.
    Start("SET_OBJV_IF NEVER DONE 1 2 3 0\nSET Y 1\nSET_OBJV_IF_NOT NEVER DONE 3\nSHOW_OBJV OFF 1 2\n");
    EXPECT_EQ(Var("Y"), 1);
    EXPECT_EQ(gObjectives[0].state, ObjectiveState::Open);
    EXPECT_EQ(gObjectives[2].state, ObjectiveState::Done);
    EXPECT_EQ(gObjectives[0].shown, 0);
    EXPECT_EQ(gObjectives[1].shown, 0);
    EXPECT_EQ(gObjectives[2].shown, 0xFF);
    // A missing state keyword is a script error.
    EXPECT_NE(FatalText([] { Start("SET_OBJV 1 0\n"); }).find("Unrecognized Token"), std::string::npos);
}

TEST_F(DialogueStatements, ADialogueWaitsForItsEnd) {
    Start(kDialogue);
    SceneItem *ship = MakeObject("Ship");
    ScriptToken *pc = Compile("DIALOGUE Dlg Ship Reply\nSET X 1\n");
    ScriptProcessor(&pc, 0);
    ASSERT_NE(gDialogueQueue, nullptr);
    EXPECT_EQ(gDialogueQueue->owner, ship);
    EXPECT_EQ(gDialogueQueue->valueTarget, Sym("Reply"));
    EXPECT_EQ(gDialogueRunning, 1);
    ScriptProcessor(&pc, 0);
    EXPECT_EQ(Var("X"), 0);
    dunClearDialogue();
    ScriptProcessor(&pc, 0);
    EXPECT_EQ(Var("X"), 1);
    EXPECT_EQ(gDialogueRunning, 0);
}

TEST_F(DialogueStatements, ADialogueThatCannotSpeakGoesOnAtOnce) {
    // The speaker's ship is gone: skipped, without waiting.
    Start(std::string(kDialogue) + "DIALOGUE Dlg Ship\nSET X 1\n");
    EXPECT_EQ(Var("X"), 1);
    EXPECT_EQ(gDialogueQueue, nullptr);
    // "nodialogue": passes at once.
    MakeObject("Ship");
    optNoDialogue = 0xFF;
    Start("DIALOGUE Dlg Ship\nSET Y 1\n");
    EXPECT_EQ(Var("Y"), 1);
    EXPECT_EQ(gDialogueQueue, nullptr);
    optNoDialogue = 0;
    // CANCEL_DIALOGUE takes the dialogue started from the symbol.
    ScriptToken *pc = Compile("DIALOGUE Dlg\nSET Z 1\n");
    ScriptProcessor(&pc, 0);
    ASSERT_NE(gDialogueQueue, nullptr);
    Start("CANCEL_DIALOGUE Dlg\n");
    EXPECT_EQ(gDialogueQueue, nullptr);
    ScriptProcessor(&pc, 0);
    EXPECT_EQ(Var("Z"), 1);
}

TEST_F(DialogueStatements, ThePromptNamesTheKeyOfItsCommand) {
    gTextSlots[5] = "Press %s to fire";
    char text[128];
    Start("BINDKEY KEY_ENTER R_FIRE\nPROMPT ON 5 R_FIRE\n");
    EXPECT_EQ(gScriptPrompt.slot, 5);
    EXPECT_EQ(gScriptPrompt.modifier, 0);
    dunPromptText(text, sizeof text);
    EXPECT_STREQ(text, "Press ENTER to fire");
    // A command bound to no key shows the text without a key name.
    Start("PROMPT ON 5 R_LDSI_MISSILE\n");
    EXPECT_EQ(gScriptPrompt.keyRow, -1);
    dunPromptText(text, sizeof text);
    EXPECT_STREQ(text, "Press  to fire");
    Start("PROMPT OFF\n");
    dunPromptText(text, sizeof text);
    EXPECT_STREQ(text, "");
    // With "noprompts" only the switch is read; the rest does nothing.
    optPrompts = 0;
    Start("PROMPT ON 5 R_FIRE\nSET X 1\n");
    EXPECT_EQ(gScriptPrompt.slot, 0);
    EXPECT_EQ(Var("X"), 1);
    optPrompts = 0xFF;
}

TEST_F(DialogueStatements, TheHudStringShowsAVariableUntilSwitchedOff) {
    gTextSlots[7] = "Kills: %i";
    char text[64];
    Start("VAR Kills\nSET Kills 3\nHUD_STRING 7 Kills\n");
    dunHudStringText(text, sizeof text);
    EXPECT_STREQ(text, "Kills: 3");
    Start("HUD_STRING 7 Kills OFF\n");
    EXPECT_EQ(gHudStringSlot, 0);
    EXPECT_EQ(gHudStringVariable, nullptr);
    dunHudStringText(text, sizeof text);
    EXPECT_STREQ(text, "");
}

TEST_F(DialogueStatements, SoundsPlayFreeOrFollowTheirObject) {
    wavetest::WriteBytes("vek/resource/sounds/hum.wav", wavetest::Constant8(2205, 200));
    SceneItem *ship = MakeObject("Ship");
    // A sound that does not load attaches nothing.
    Start("RESOURCE Gone Hum\nREGISTER Gone \"vek\\resource\\sounds\\none.wav\" WAV2SND\nATTACH_SND Ship Gone\n");
    EXPECT_EQ(ship->avatar->attachedSound, nullptr);
    Start("REGISTER Hum \"vek\\resource\\sounds\\hum.wav\" WAV2SND\nATTACH_SND Ship Hum\n");
    auto *hum = static_cast<SoundSlot *>(ship->avatar->attachedSound);
    ASSERT_NE(hum, nullptr);
    EXPECT_EQ(hum->owner, dunHandleOf(ship));
    EXPECT_EQ(hum->loop, 1);
    EXPECT_EQ(hum->volume, -10000);
    Start("PLAYSOUND Hum -500 0 0\n");
    EXPECT_EQ(hum->volume, -500);
    EXPECT_EQ(hum->loop, 0);
}

}  // namespace
