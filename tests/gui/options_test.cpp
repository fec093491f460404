// The option table, setting options by their stored names, the options
// screen's controls, captions and rank titles, and the settings file
// rewrite.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "common/temp_dir.h"
#include "core/bytes.h"
#include "gui/bindings.h"
#include "gui/cockpit.h"
#include "gui/front.h"
#include "gui/keys.h"
#include "gui/options.h"
#include "gui_fixture.h"
#include "os/paths.h"
#include "platform/joystick.h"
#include "platform/sound.h"
#include "present/p3d.h"
#include "present/sky/stars.h"
#include "script/career.h"
#include "script/dialogue.h"
#include "script/script.h"
#include "world/collision.h"
#include "world/contact.h"
#include "world/flight.h"

namespace guitest {
namespace {

std::string Slurp(const char *path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void Spit(const char *path, const std::string &text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    osFlushPathCache();
}

ByteView View(const std::string &s) { return BytesOf(s.data(), s.size()); }

class Options : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ResetOptionTable();
        CardMode = 0;
    }
    void TearDown() override {
        ResetOptionTable();
        CardMode = 0;
        DisplayGamma = 1.0f;
        MasterVolume = 100.0f;
        GuiTest::TearDown();
    }
    static float Value(const char *name) { return FindOption(name)->value; }
};

TEST_F(Options, TableHasTwentyFourOptionsInOrder) {
    static const char *const kNames[kOptionCount] = {
        "gamma",         "ambient",        "nebula",        "weapon_light", "still_dialogue",    "ship_detail",
        "planet_filter", "weaponframe",    "control_method", "joystick_axis", "joystick_hat",    "hidef_tog",
        "inf_mode",      "star_blur",      "missile_trails", "subtitles",    "sound_onoff",       "sound_level",
        "write_dialogue", "collisions",    "radio_toggle",   "autodetail_toggle", "prox_warning", "dialogue_level"};
    for (int i = 0; i < kOptionCount; ++i) EXPECT_STREQ(gOptions[i].name, kNames[i]);
    EXPECT_EQ(gOptions[kOptionCount].name, nullptr);
}

TEST_F(Options, SetByStoredNameClampsAndApplies) {
    const struct {
        bool card;
        const char *name;
        float value;
        const char *option;
        float expect;
    } cases[] = {
        {false, "gamma_s", 3.0f, "gamma", 2.0f},          // clamped to the maximum
        {false, "gamma_h", 1.5f, "gamma", 1.0f},          // the other renderer's name changes nothing
        {true, "gamma_h", 1.5f, "gamma", 1.5f},
        {false, "ambient_s", -1.0f, "ambient", 0.0f},     // clamped to the minimum
        {false, "sound_level_m", 55.0f, "sound_level", 55.0f},
        {false, "sound_level", 55.0f, "sound_level", 100.0f},  // the bare name is no stored name
        {false, "Gamma_s", 1.5f, "gamma", 1.0f},          // names match exactly
        {false, "dialogue_level_m", NAN, "dialogue_level", -0.1f},
    };
    for (const auto &c : cases) {
        ResetOptionTable();
        DisplayGamma = 1.0f;
        CardMode = c.card ? 1 : 0;
        frontSetOptionByName(c.name, c.value);
        EXPECT_FLOAT_EQ(Value(c.option), c.expect) << c.name;
    }
    CardMode = 0;
    ResetOptionTable();
    frontSetOptionByName("gamma_s", 3.0f);
    EXPECT_FLOAT_EQ(DisplayGamma, 2.0f);
    frontSetOptionByName("sound_level_m", 40.0f);
    EXPECT_FLOAT_EQ(MasterVolume, 40.0f);
    frontSetOptionByName("ambient_s", 0.4f);
    EXPECT_FLOAT_EQ(gP3D.cardMaterial[0], 0.4f);
    frontSetOptionByName("collisions_m", 0.0f);
    EXPECT_EQ(dunCollisionDamage, 255);  // inverted
    frontSetOptionByName("collisions_m", 1.0f);
    EXPECT_EQ(dunCollisionDamage, 0);
}

TEST_F(Options, ToggleSteppingWrapsAndTheHatModeFollows) {
    GuiWindow *w = Make(10, 10, 100, 14);
    w->userPtr = FindOption("joystick_hat");
    const struct {
        float value;
        uint8_t hat;
    } steps[] = {{1, 0}, {2, 2}, {0, 1}, {1, 0}};
    for (const auto &s : steps) {
        frontStepOptionToggle(w);
        EXPECT_FLOAT_EQ(Value("joystick_hat"), s.value);
        EXPECT_EQ(JoyHatMode, s.hat);
    }
    // A slider does not step.
    w->userPtr = FindOption("gamma");
    frontStepOptionToggle(w);
    EXPECT_FLOAT_EQ(Value("gamma"), 1.0f);
}

// Each option sets the one flag its readers read, and the table names it.
TEST_F(Options, EachOptionSetsTheFlagItsReadersRead) {
    const struct {
        const char *option;
        bool card;
        const uint8_t *flag;  // where the readers read it
        uint8_t before, after;  // at start, and after one step on the options screen
    } cases[] = {
        {"nebula", false, &gP3D.nebulaOn, 0, 0},  // the start value is the mission's
        {"weapon_light", false, &gRenderOptions.weaponLight, 255, 0},
        {"still_dialogue", false, &gOptStillDialogue, 0, 255},
        {"still_dialogue", true, &gOptStillDialogue, 0, 0},  // never on the 3D card
        {"planet_filter", false, &gRenderOptions.planetFilter, 255, 0},
        {"weaponframe", false, &gRenderOptions.weaponFrame, 255, 0},
        {"joystick_axis", false, &dunAxisSwap, 0, 1},  // flight and the look-around
        {"joystick_hat", false, &JoyHatMode, 1, 0},
        {"hidef_tog", true, &optHiDef, 0, 255},  // the model loader and XHIDEF
        {"inf_mode", false, &dunInfMode, 0, 255},
        {"star_blur", true, &optNoStreaks, 0, 255},  // inverted: the star pass's no-streaks flag
        {"missile_trails", true, &gRenderOptions.missileTrails, 255, 0},  // the seeker launch
        {"subtitles", false, &gFeedSubtitles, 255, 0},
        {"collisions", false, &dunCollisionDamage, 255, 0},  // inverted
        {"radio_toggle", false, &gOptRadio, 255, 0},
        {"autodetail_toggle", true, &gP3D.autoDetail, 0, 255},
        {"prox_warning", false, &dunProximityWarningOption, 255, 0},
    };
    GuiWindow *w = Make(10, 10, 100, 14);
    for (const auto &c : cases) {
        ResetOptionTable();
        ResetOptions();
        gP3D.nebulaOn = 0;
        gP3D.autoDetail = 0;
        dunCollisionDamage = 255;
        dunProximityWarningOption = 255;
        dunInfMode = 0;
        CardMode = c.card ? 1 : 0;
        OptionRecord *o = FindOption(c.option);
        ASSERT_NE(o, nullptr) << c.option;
        EXPECT_EQ(o->flag, c.flag) << c.option << ": the table names the readers' flag";
        EXPECT_EQ(*c.flag, c.before) << c.option;
        w->userPtr = o;
        frontStepOptionToggle(w);
        EXPECT_EQ(*c.flag, c.after) << c.option;
    }
    // The nebula option also keeps a STARFIELD from showing the nebula.
    CardMode = 0;
    ResetOptionTable();
    frontSetOptionByName("nebula_s", 0.0f);
    EXPECT_EQ(gRenderOptions.noNebula, 1);
    frontSetOptionByName("nebula_s", 1.0f);
    EXPECT_EQ(gP3D.nebulaOn, 255);
    EXPECT_EQ(gRenderOptions.noNebula, 0);
    // Still dialogue clears the reply the player chose last.
    gDialogueChoiceResult = 3;
    frontSetOptionByName("still_dialogue_m", 1.0f);
    EXPECT_EQ(gDialogueChoiceResult, 0);
    frontSetOptionByName("control_method_m", 1.0f);
    EXPECT_EQ(dunControlMethod, 1);
    dunControlMethod = 0;
    ResetOptions();
}

// The GUI pass gives the star streaks the screen's 3D panes while the
// option keeps them on, and none when it has them off.
TEST_F(Options, TheStarStreaksRunInThePanesWhileTheOptionIsOn) {
    MakeRoot();
    gGuiScreen->paneCount = 2;
    for (const auto &[value, panes] : {std::pair{1.0f, 2}, std::pair{0.0f, 0}, std::pair{1.0f, 2}}) {
        frontSetOptionByName("star_blur_s", value);
        guiUpdate();
        EXPECT_EQ(gStarStreakCounter, panes) << value;
    }
    gGuiScreen->paneCount = 0;
}

TEST_F(Options, SliderEndsGiveTheRangeEnds) {
    MakeRoot();
    GuiWindow *w = Make(100, 50, 200, 14);
    w->userPtr = FindOption("ship_detail");
    guiWindowRect(w, nullptr, nullptr);
    KeyDownTable[KEY_LEFT_BUTTON] = 0xFF;
    const struct {
        int x;
        float value;
    } cases[] = {{w->rect[0] + 1, 0.5f}, {w->rect[2] - 1, 1.5f}, {w->rect[0] + 3, 0.5f}, {(w->rect[0] + w->rect[2]) / 2, 1.0f}};
    for (const auto &c : cases) {
        gMouse.x = c.x;
        gMouse.y = 55;
        frontUpdateOptionSlider(w);
        EXPECT_NEAR(Value("ship_detail"), c.value, 0.01f) << c.x;
    }
    // Without the button the slider stays.
    KeyDownTable[KEY_LEFT_BUTTON] = 0;
    gMouse.x = w->rect[2] - 1;
    frontUpdateOptionSlider(w);
    EXPECT_NEAR(Value("ship_detail"), 1.0f, 0.01f);
}

TEST_F(Options, LevelOfDetailInBothRenderers) {
    const struct {
        bool card;
        float value;
        float scale, distance, threshold;
    } cases[] = {
        {false, 1.0f, 24.0f, 24.0f, 10.0f},
        {false, 1.5f, 5.3666f, 5.3666f, 2.2361f},
        {false, 0.5f, 107.331f, 107.331f, 10.0f},  // capped
        {true, 1.0f, 24.0f, 198.0f, 10.0f},          // 19.8 capped
        {true, 1.5f, 5.3666f, 44.2746f, 4.4275f},
    };
    for (const auto &c : cases) {
        CardMode = c.card ? 1 : 0;
        frontSetOptionByName(c.card ? "ship_detail_h" : "ship_detail_s", c.value);
        EXPECT_NEAR(gRenderOptions.detailScale, c.scale, 1e-3) << c.value;
        EXPECT_NEAR(gP3D.detailHigh, c.distance, 1e-2) << c.value;
        EXPECT_NEAR(gP3D.detailLow, c.threshold, 1e-3) << c.value;
    }
    // Automatic detail only on the 3D card.
    CardMode = 0;
    frontSetOptionByName("autodetail_toggle_s", 1.0f);
    EXPECT_EQ(gP3D.autoDetail, 0);
    CardMode = 1;
    frontSetOptionByName("autodetail_toggle_h", 1.0f);
    EXPECT_EQ(gP3D.autoDetail, 255);
}

TEST_F(Options, RestoreTakesTheDriversValues) {
    for (OptionRecord *o = gOptions; o->name; ++o) o->value = o->maximum;
    SoftwareRendering = 1;
    frontRestoreOptions();
    EXPECT_FLOAT_EQ(Value("hidef_tog"), 0.0f);
    EXPECT_FLOAT_EQ(Value("star_blur"), 1.0f);
    SoftwareRendering = 0;
    frontRestoreOptions();
    EXPECT_FLOAT_EQ(Value("hidef_tog"), 1.0f);
    EXPECT_FLOAT_EQ(Value("star_blur"), 0.0f);
    SoftwareRendering = 1;
}

TEST_F(Options, CaptionsFromTheTable) {
    const std::string text =
        "; comment \"not a string\" is skipped until a <\n"
        "<\"nebula\" \"Nebula\" \"Off\" \"On\">\n"
        "<\"nosuch\" \"Lost\" \"Lost too\">\n"
        "<\"joystick_hat\" \"Hat\" \"a\" \"b\" \"c\" \"d\" \"e\" \"dropped\" \"dropped too\">\n"
        "<\"gamma\" \"Gamma \xE9\" \"unterminated";
    ParseOptionCaptions(View(text));
    const OptionRecord *nebula = FindOption("nebula");
    EXPECT_STREQ(nebula->labels[0], "Nebula");
    EXPECT_STREQ(nebula->labels[2], "On");
    EXPECT_EQ(nebula->labels[3], nullptr);
    const OptionRecord *hat = FindOption("joystick_hat");
    EXPECT_STREQ(hat->labels[5], "e");
    EXPECT_STREQ(FindOption("gamma")->labels[0], "Gamma \xE9");
    EXPECT_EQ(FindOption("gamma")->labels[1], nullptr);
    for (const OptionRecord *o = gOptions; o->name; ++o)
        for (const char *label : o->labels) EXPECT_TRUE(!label || std::strcmp(label, "Lost")) << label;
    EXPECT_EQ(frontStrDup(nullptr), nullptr);
}

TEST_F(Options, RankTitles) {
    ParseRatings(View(" 0 Cadet\n 100 Ensign\r\n300 Lieutenant -1 Ghost 500 Never"));
    ASSERT_EQ(gRankTitleCount, 3);
    const struct {
        int32_t score;
        const char *title;
    } cases[] = {{-5, "Cadet"}, {0, "Cadet"}, {99, "Cadet"}, {100, "Ensign"}, {299, "Ensign"}, {300, "Lieutenant"},
                 {100000, "Lieutenant"}};
    for (const auto &c : cases) EXPECT_STREQ(RankTitleFor(c.score), c.title) << c.score;
    // A first threshold above 0: the first title below every threshold.
    ParseRatings(View("50 Recruit 80 Private"));
    EXPECT_STREQ(RankTitleFor(10), "Recruit");
    // At most sixteen titles, each cut to its field.
    std::string many;
    for (int i = 0; i < 40; ++i) many += std::to_string(i * 10) + " " + std::string(i == 3 ? 100 : 4, 'a' + i % 26) + "\n";
    ParseRatings(View(many));
    EXPECT_EQ(gRankTitleCount, kRankTitles);
    EXPECT_EQ(std::strlen(gRankTitles[3].title), kRankTitleBytes - 1);
    EXPECT_STREQ(RankTitleFor(100000), gRankTitles[15].title);
    // No titles at all.
    ParseRatings(View("-1"));
    EXPECT_EQ(gRankTitleCount, 0);
    EXPECT_STREQ(RankTitleFor(500), "");
}

TEST_F(Options, DefaultCaptainFromTheSixthCall) {
    gDefaultCaptainCalls = 0;
    gDefaultCaptainReplaced = 0;
    const std::string standard = DefaultCaptainName(0);
    std::snprintf(gCaptainSlot.name, sizeof gCaptainSlot.name, "%s", standard.c_str());
    gCaptainNamed = 0;
    gCareerState.word[StateWord::Slot] = 8;
    for (int i = 1; i <= 5; ++i) frontDefaultCaptainName();
    EXPECT_EQ(DefaultCaptainName(0), standard);
    EXPECT_EQ(gDefaultCaptainReplaced, 0);
    frontDefaultCaptainName();
    // The default name changes; the slot keeps its captain and stays free.
    EXPECT_NE(DefaultCaptainName(0), standard);
    EXPECT_NE(DefaultCaptainName(2), standard);
    EXPECT_EQ(gCaptainSlot.name, standard);
    EXPECT_EQ(gCaptainNamed, 0);
    EXPECT_EQ(gDefaultCaptainReplaced, 1);
    // A captain of a missing slot now takes that name, still unnamed.
    ruvotest::TempDir dir;
    EXPECT_FALSE(dunReadCaptainSlot());
    EXPECT_STREQ(gCaptainSlot.name, DefaultCaptainName(0));
    EXPECT_EQ(gCaptainNamed, 0);
    // A fresh front end has the languages' own default again.
    ResetFrontEnd();
    EXPECT_EQ(DefaultCaptainName(0), standard);
    gCareerState.word[StateWord::Slot] = 0;
}

// ---- The settings file ------------------------------------------------------------

// The sample's own lines: a comment that names INIT_VAR, both renderers'
// gamma, a statement that is no INIT_VAR, and a line longer than any fixed
// buffer.
const std::string kOldFile = std::string("; my settings: the INIT_VAR lines are the game's\r\n") +
                             "\t\tINIT_VAR\t\"gamma_s\",1.2\r\n" + "\t\tINIT_VAR\t\"gamma_h\",0.8\r\n" +
                             "\t\tINIT_VAR\t\"sound_level_m\",10\r\n" + "ENGLISH\r\n; " + std::string(400, 'x') +
                             "\r\n" + "; last line without its end";

// The INIT_VAR lines of the options that `take` picks, in table order.
template <class F>
std::string Lines(bool card, F take) {
    std::string out;
    for (const OptionRecord *o = gOptions; o->name; ++o) {
        if (!take(*o)) continue;
        char number[32];
        std::snprintf(number, sizeof number, "%g", double(o->value));
        out += std::string("\t\tINIT_VAR\t\"") + o->name + (!o->perRenderer ? "_m" : card ? "_h" : "_s") + "\"," +
               number + "\r\n";
    }
    return out;
}

TEST_F(Options, RewriteKeepsEveryOtherLineInItsPlace) {
    frontSetOptionByName("gamma_s", 1.5f);
    const std::string software = RewriteSettings(View(kOldFile), false);
    const auto head = [](const char *gammaH) {
        return std::string("; my settings: the INIT_VAR lines are the game's\r\n") +
               "\t\tINIT_VAR\t\"gamma_s\",1.5\r\n" + "\t\tINIT_VAR\t\"gamma_h\"," + gammaH + "\r\n" +
               "\t\tINIT_VAR\t\"sound_level_m\",100\r\n" + "ENGLISH\r\n; " + std::string(400, 'x') + "\r\n" +
               "; last line without its end\r\n";
    };
    // Ours written again where they stood; the options the file lacked
    // follow its last line.
    const auto lacking = [](const OptionRecord &o) {
        return std::strcmp(o.name, "gamma") != 0 && std::strcmp(o.name, "sound_level") != 0;
    };
    EXPECT_EQ(software, head("0.8") + Lines(false, lacking));
    EXPECT_EQ(RewriteSettings(View(software), false), software);
    // Saving on the 3D card: its gamma where its line stood, its other
    // values after the software ones, which stay.
    CardMode = 1;
    const std::string card = RewriteSettings(View(software), true);
    EXPECT_EQ(card, head("1.5") + Lines(false, lacking) +
                        Lines(true, [&](const OptionRecord &o) { return o.perRenderer && lacking(o); }));
    // A file of LF lines gets LF lines; an empty one gets them all.
    CardMode = 0;
    EXPECT_EQ(RewriteSettings(View("; x\n"), false).substr(0, 29), "; x\n\t\tINIT_VAR\t\"gamma_s\",1.5\n");
    std::string all = Lines(false, [](const OptionRecord &) { return true; });
    all.erase(std::remove(all.begin(), all.end(), '\r'), all.end());
    EXPECT_EQ(RewriteSettings(View(""), false), all);
}

// Lines that only mention INIT_VAR (a comment, a statement the script does
// not know) or name no option's value (a suffix of neither renderer) are the
// player's, whatever values they hold: kept as they stand, so that a second
// save changes nothing (found by fuzzing).
TEST_F(Options, LinesThatSetNoOptionStayAsTheyStand) {
    const std::string odd = std::string("\t#\tINIT_VAR\t\"gamma_s\",0\r\n") + "; INIT_VAR \"gamma_h\",0\r\n" +
                            "x INIT_VAR \"joystick_hat_h\",2\r\n" + "\t\tINIT_VAR\t\"ship_detail_c\",0\r\n";
    for (bool card : {false, true}) {
        const std::string text = RewriteSettings(View(odd), card);
        EXPECT_EQ(text.substr(0, odd.size()), odd) << card;
        EXPECT_EQ(RewriteSettings(View(text), card), text) << card;
    }
}

TEST_F(Options, RewriteWritesPointDecimalsUnderAnyLocale) {
    ruvotest::TempDir dir;
    // A German locale built for the test: its decimal separator is ",".
    const std::string cmd = "localedef -i de_DE -f UTF-8 " + dir.path() + "/de_DE.UTF-8 >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) GTEST_SKIP() << "localedef cannot build de_DE";
    setenv("LOCPATH", dir.path().c_str(), 1);
    const char *set = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    char probe[16];
    std::snprintf(probe, sizeof probe, "%g", 1.5);
    ASSERT_TRUE(set && std::string(probe) == "1,5") << "the locale did not take";
    frontSetOptionByName("gamma_s", 1.5f);
    frontSetOptionByName("ambient_s", 0.25f);
    frontSetOptionByName("dialogue_level_m", -0.05f);
    const std::string text = RewriteSettings(View("; x\r\n"), false);
    std::setlocale(LC_NUMERIC, "C");
    unsetenv("LOCPATH");
    EXPECT_NE(text.find("\"gamma_s\",1.5\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"ambient_s\",0.25\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"dialogue_level_m\",-0.05\r\n"), std::string::npos);
    EXPECT_NE(text.find("\"sound_level_m\",100\r\n"), std::string::npos);
    // No decimal comma anywhere: every comma follows a name's closing quote.
    for (size_t at = text.find(','); at != std::string::npos; at = text.find(',', at + 1))
        EXPECT_EQ(text[at - 1], '"') << at;
}

// A settings file with values out of range, a single-value option under a
// renderer's name, and a line that ends in a lone carriage return: it loads
// clamped, writes back clean, and a restart reads the same settings.
TEST_F(Options, ASettingsFileLoadsClampedAndWritesBackClean) {
    ruvotest::TempDir dir;
    Spit(kSettingsFile, std::string("; my settings\r\n") + "\t\tINIT_VAR\t\"gamma_s\",7\r\n" +
                            "\t\tINIT_VAR\t\"joystick_axis_m\",1\r" + "\t\tINIT_VAR\t\"star_blur_s\",0\r\n" +
                            "\t\tINIT_VAR\t\"gamma_h\",9\r\n" + "\t\tINIT_VAR\t\"joystick_hat_h\",2\r\n" +
                            "\t\tINIT_VAR\t\"sound_level_m\",-40\r\n" + "; the end\r\n");
    const auto load = [] {
        InitializeScriptSystem();
        ScriptToken *pc = TokeniseScript(kSettingsFile);
        ASSERT_NE(pc, nullptr);
        ScriptProcessor(&pc, 0);
        FreeScriptBuffers();
    };
    const auto check = [](const char *when) {
        EXPECT_FLOAT_EQ(Value("gamma"), 2.0f) << when;
        EXPECT_FLOAT_EQ(DisplayGamma, 2.0f) << when;
        EXPECT_EQ(dunAxisSwap, 1) << when;
        EXPECT_EQ(optNoStreaks, 255) << when;
        EXPECT_EQ(JoyHatMode, 1) << when;  // the hat has no renderer's value
        EXPECT_FLOAT_EQ(MasterVolume, 0.0f) << when;
    };
    load();
    check("loaded");
    ASSERT_TRUE(frontSaveOptions(kSettingsFile));
    const std::string saved = Slurp(kSettingsFile);
    // Ours where they stood (the lone return's line with the file's end),
    // the other renderer's gamma clamped, the hat's renderer line gone, and
    // the options the file lacked after its last line.
    const auto named = [](const char *name) {
        return Lines(false, [name](const OptionRecord &o) { return std::strcmp(o.name, name) == 0; });
    };
    const auto lacking = [](const OptionRecord &o) {
        for (const char *name : {"gamma", "joystick_axis", "star_blur", "sound_level"})
            if (std::strcmp(o.name, name) == 0) return false;
        return true;
    };
    EXPECT_EQ(saved, "; my settings\r\n" + named("gamma") + named("joystick_axis") + named("star_blur") +
                         "\t\tINIT_VAR\t\"gamma_h\",2\r\n" + named("sound_level") + "; the end\r\n" +
                         Lines(false, lacking));
    // The restart: everything as a fresh process has it, then the file again.
    ResetOptionTable();
    ResetOptions();
    DisplayGamma = 1.0f;
    MasterVolume = 100.0f;
    load();
    check("after a restart");
    ASSERT_TRUE(frontSaveOptions(kSettingsFile));
    EXPECT_EQ(Slurp(kSettingsFile), saved);
}

TEST_F(Options, TheSwapKeyFlipsTheSwapThroughItsOptionAndSavesIt) {
    ruvotest::TempDir dir;
    Spit(kSettingsFile, "; keys\r\n");
    ResetBindings();
    constexpr uint8_t kScan = 0x2F;
    KeyBindingTable[0][kScan] = R_TOGGLE_ROLLYAW;
    StationId = 2;
    for (const int expect : {1, 0, 1}) {
        guiCockpitKeyHandler(uint16_t(kScan << 8));
        EXPECT_EQ(dunAxisSwap, expect);
        EXPECT_FLOAT_EQ(Value("joystick_axis"), float(expect));
        EXPECT_NE(Slurp(kSettingsFile).find("\"joystick_axis_m\"," + std::to_string(expect) + "\r\n"), std::string::npos);
    }
    // The stick's swap button flips the swap alone; the key flips what the
    // pilot has.
    dunAxisSwap = 0;
    guiCockpitKeyHandler(uint16_t(kScan << 8));
    EXPECT_EQ(dunAxisSwap, 1);
    StationId = 0;
    ResetBindings();
}

TEST_F(Options, SavingRewritesTheFileOrReportsAndKeepsIt) {
    ruvotest::TempDir dir;
    Spit("Marrowgleam.ini", kOldFile);
    ASSERT_TRUE(frontSaveOptions("Marrowgleam.ini"));
    EXPECT_EQ(Slurp("Marrowgleam.ini"), RewriteSettings(View(kOldFile), false));
    // The file the start-up script reads in any letter case.
    ASSERT_TRUE(frontSaveOptions("marrowgleam.ini"));
    EXPECT_EQ(Slurp("Marrowgleam.ini"), RewriteSettings(View(kOldFile), false));
    // A missing file: the report, and no file is made.
    EXPECT_FALSE(frontSaveOptions("nosuch.ini"));
    EXPECT_FALSE(std::ifstream("nosuch.ini").good());
    EXPECT_NE(Slurp("debug.txt").find("Cannot Save Options"), std::string::npos);
}

}  // namespace
}  // namespace guitest
