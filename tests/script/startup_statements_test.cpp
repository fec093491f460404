// The statements of the start-up scripts: declarations, resources and text
// slots, rasters, the display mode, bindings, films and the briefing gate.
#include <cstring>
#include <string>
#include <vector>

#include "RES/gfx2d.h"
#include "RES/picture.h"
#include "RES/resman.h"
#include "core/files.h"
#include "gui/bindings.h"
#include "gui/cockpit.h"
#include "gui/window.h"
#include "platform/display.h"
#include "platform/joystick.h"
#include "platform/sound.h"
#include "present/p3d.h"
#include "script/mission.h"
#include "script/screens.h"
#include "script/settings.h"
#include "script_fixture.h"
#include "world/flight.h"

namespace scripttest {
namespace {

class StartupStatements : public ScriptTest {
protected:
    void SetUp() override {
        // The bindings, the options' start values and window help are the
        // GUI's statements.
        guiInstallScriptHooks();
        ScriptTest::SetUp();
        resmanInit();
        ResetBindings();
        for (const char *&slot : gTextSlots) slot = nullptr;
        gLanguage = 0;
    }
    void TearDown() override {
        SoundReleaseAll();
        resmanShutdown();
        ResetBindings();
        ResolutionMode = 0;
        optStartValue = 0;
        optNoBrief = 0;
        ScriptTest::TearDown();
        ScriptSetGuiHooks(nullptr);
    }
    static ResourceHandle *Handle(const char *name) { return ScriptSymbolResource(Sym(name)); }
    // An 8-bit picture resource named by a symbol: pixel (x, y) = x + 16 y.
    static Raster *Picture(const char *name, int w, int h) {
        ResourceHandle *block = resmanRegisterSized(1, uint32_t(RasterHeaderBytes + w * h));
        auto *r = static_cast<Raster *>(block->data);
        r->pixels = reinterpret_cast<uint8_t *>(r) + RasterHeaderBytes;
        r->width = uint16_t(w);
        r->height = uint16_t(h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) r->pixels[y * w + x] = uint8_t(x + 16 * y);
        ScriptSymbol *s = AddScriptSymbol(name, "\0\0\0\0", 4);
        s->kind = SymKind::Resource;
        ScriptSetSymbolThing(s, block);
        return r;
    }
};

TEST_F(StartupStatements, Declarations) {
    Start("SET A 7\nSET B 3\n"
          "MODEL A\n"
          "VAR B\n"
          "DEFINE Name \"Kestrel\" Num 5\n"
          "RESOURCE\n"
          "SET C 1\n"
          "ORDERNAME O\n3DP P\n2DMODEL M\nWINDOW W\n");
    const struct {
        const char *name;
        uint32_t kind;
    } kinds[] = {{"A", SymKind::Model}, {"B", SymKind::Var},          {"Name", SymKind::Define},
                 {"O", SymKind::OrderName}, {"P", SymKind::Part3D},   {"M", SymKind::Model2D},
                 {"W", SymKind::Window}};
    for (const auto &k : kinds) EXPECT_EQ(Sym(k.name)->kind, k.kind) << k.name;
    EXPECT_EQ(Var("B"), 3) << "VAR keeps the value";
    EXPECT_STREQ(static_cast<const char *>(GetScriptSymbolValue("Name")), "Kestrel");
    EXPECT_EQ(Var("C"), 1) << "an empty list leaves the next statement its own";
    // A name defined as another refers to the other's value.
    Start("DEFINE Alias B\nADD Alias 2\n");
    EXPECT_EQ(Var("B"), 5);
    // SCENEITEM forgets the object the name held.
    MakeObject("Ship");
    Start("SCENEITEM Ship\n");
    EXPECT_EQ(Sym("Ship")->kind, SymKind::SceneItem);
    EXPECT_EQ(ScriptSymbolObject(Sym("Ship")), nullptr);
}

TEST_F(StartupStatements, RegisterAndKinds) {
    WriteText("vek/resource/text/a.txt", "alpha");
    WriteText("vek/resource/frn_/a.txt", "alpha fr");
    WriteText("vek/resource/frn_/b.txt", "beta fr");
    Start("WINDOW Win\n"
          "REGISTER Win \"vek\\resource\\text\\a.txt\" TXT2TXT\n"
          "REGISTER Txt \"vek\\resource\\text\\a.txt\" TXT2TXT\n");
    EXPECT_EQ(Sym("Win")->kind, SymKind::Window) << "only a kind of 0 becomes a resource";
    EXPECT_EQ(Sym("Txt")->kind, SymKind::Resource);
    ASSERT_NE(Handle("Txt"), nullptr);
    EXPECT_STREQ(static_cast<const char *>(Handle("Txt")->data), "alpha");
    EXPECT_EQ(ScriptSymbolResource(gSymLastRes), Handle("Txt"));
    // REGLOAD reads the language's copy; REGLOAD_L marks it localised.
    gLanguage = 1;
    Start("REGLOAD Fr \"vek\\resource\\text\\a.txt\" TXT2TXT\n"
          "REGLOAD_L FrL \"vek\\resource\\text\\b.txt\" TXT2TXT\n");
    EXPECT_STREQ(static_cast<const char *>(Handle("Fr")->data), "alpha fr");
    EXPECT_EQ(Handle("Fr")->flags & ResourceFlag::Localised, 0u);
    EXPECT_NE(Handle("FrL")->flags & ResourceFlag::Localised, 0u);
    // UNLOAD drops the data, LOAD brings it back; LOCK and UNLOCK.
    Start("UNLOAD Txt\n");
    EXPECT_EQ(Handle("Txt")->data, nullptr);
    Start("LOAD Txt\nLOCK Txt\n");
    EXPECT_NE(Handle("Txt")->data, nullptr);
    EXPECT_NE(Handle("Txt")->locked, 0);
    Start("UNLOCK Txt\n");
    EXPECT_EQ(Handle("Txt")->locked, 0);
}

TEST_F(StartupStatements, UnrecognisedMethods) {
    const struct {
        const char *script, *message;
    } cases[] = {
        {"REGISTER A \"x.txt\" Nothing\n", "REGISTER Unrecognized METHOD"},
        {"REGLOAD A \"x.txt\" 5\n", "REGLOAD Unrecognized METHOD"},
        {"REGLOAD_L A \"x.txt\" ON\n", "REGLOAD Unrecognized METHOD"},
        {"STRING 3 \"x.txt\" WAIT\n", "REGLOAD Unrecognized METHOD"},
        {"CHOOSEFNT F 12\n", "Unrecognized Token"},
    };
    for (const auto &c : cases) {
        std::string text = FatalText([&] { Start(c.script); });
        EXPECT_NE(text.find(c.message), std::string::npos) << c.script << text;
        EXPECT_EQ(gScriptRunStatus, ScriptStatus::BadToken) << c.script;
    }
}

TEST_F(StartupStatements, TextSlots) {
    const struct {
        int slot;
        const char *file, *stored;
    } cases[] = {
        {1, "Objective\r\n", "Objective"},   // the trailing CR LF goes
        {2, "Two lines\nend\n", "Two lines\nend\n"},  // a bare LF stays
        {3, "x", "x"},                       // one character
        {4, "\r\n", ""},
        {511, "last", "last"},
    };
    std::string script;
    for (const auto &c : cases) {
        std::string file = "vek/resource/text/strings/s" + std::to_string(c.slot) + ".txt";
        WriteText(file, c.file);
        script += "STRING " + std::to_string(c.slot) + " \"vek\\resource\\text\\strings\\s" + std::to_string(c.slot) +
                  ".txt\" TXT2TXT\n";
    }
    Start(script);
    for (const auto &c : cases) EXPECT_STREQ(ScriptTextSlot(c.slot), c.stored) << c.slot;
    EXPECT_STREQ(ScriptTextSlot(-1), "");
    EXPECT_STREQ(ScriptTextSlot(kTextSlots), "");
    for (const char *slot : {"-1", "512", "70000"}) {
        std::string text = FatalText([&] { Start(std::string("STRING ") + slot + " \"x.txt\" TXT2TXT\n"); });
        EXPECT_NE(text.find("STRING slot out of range"), std::string::npos) << slot;
    }
    // The French start-up reads the French copy.
    WriteText("vek/resource/frn_/strings/s1.txt", "Objectif\r\n");
    gLanguage = 1;
    Start("STRING 1 \"vek\\resource\\text\\strings\\s1.txt\" TXT2TXT\n");
    EXPECT_STREQ(ScriptTextSlot(1), "Objectif");
}

TEST_F(StartupStatements, GrabRaster) {
    Picture("Pic", 16, 8);
    const struct {
        const char *script;
        uint32_t size;
    } sizes[] = {{"GRABRAST Out Pic 2 1 4 3 OFF\n", 12}, {"GRABRAST Out Pic 2 1 4 3\n", 48},
                 {"GRABRAST Out Pic 2 1 4 3 ON\n", 48}, {"GRABRAST Out Pic 0 0 5 2.5 OFF\n", 12}};
    for (const auto &c : sizes) {
        Start(c.script);
        ASSERT_NE(Handle("Out"), nullptr) << c.script;
        EXPECT_EQ(Handle("Out")->size, c.size + RasterHeaderBytes) << c.script;
        EXPECT_EQ(ScriptSymbolResource(gSymLastRes), Handle("Out"));
    }
    Start("GRABRAST In Pic 2 1 4 3 OFF\n");
    auto *in = static_cast<Raster *>(Handle("In")->data);
    ASSERT_EQ(in->width, 4);
    ASSERT_EQ(in->height, 3);
    EXPECT_EQ(in->pixels, reinterpret_cast<uint8_t *>(in) + RasterHeaderBytes);
    EXPECT_EQ(in->pixels[0], 2 + 16 * 1);
    EXPECT_EQ(in->pixels[4 * 2 + 3], 5 + 16 * 3);
    // A rectangle hanging over the picture's corner copies what lies on it.
    Start("GRABRAST Edge Pic 14 6 4 4 OFF\n");
    auto *edge = static_cast<Raster *>(Handle("Edge")->data);
    const uint8_t expected[16] = {14 + 96, 15 + 96, 0, 0, 14 + 112, 15 + 112, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(edge->pixels, expected, 16), 0);
    Start("GRABRAST Far Pic -100 -100 4 4 OFF\n");
    EXPECT_EQ(static_cast<Raster *>(Handle("Far")->data)->pixels[0], 0);
    // A source without data does nothing more.
    Start("RESOURCE Empty\nGRABRAST None Empty 0 0 4 4\n");
    EXPECT_EQ(Handle("None"), nullptr);
}

TEST_F(StartupStatements, KeyBindings) {
    Start("BINDKEY KEY_F1 R_SEL_CMD\n"
          "BINDKEY KEY_TAB R_PREV_CONTACT 1\n"
          "BINDKEY 16 142 2\n"
          "BINDKEY KEY_PAD_4 R_LOOK_LEFT\n"
          "BINDKEY KEY_PAD_5 R_LOOK_BACK 1\n"
          "BINDKEYTHR KEY_A KEY_Z\n"
          "BINDJOYAXIS 2 5 1\n"
          "BINDJOYAXIS 6 0 1\n");
    EXPECT_EQ(KeyBindingTable[0][0x3B], LookupKeyName("R_SEL_CMD") & 0xFFFF);
    EXPECT_EQ(KeyBindingTable[1][0x0F], LookupKeyName("R_PREV_CONTACT") & 0xFFFF);
    EXPECT_EQ(KeyBindingTable[2][16], 142);
    // Look commands go to the look table, with the negated modifier.
    EXPECT_EQ(KeyBindingTable[0][0x4B], 0);
    EXPECT_EQ(gLookKeys[(LookupKeyName("R_LOOK_LEFT") & 0xFFFF) - kFirstLookCommand].scan, 0x4B);
    EXPECT_EQ(gLookKeys[(LookupKeyName("R_LOOK_LEFT") & 0xFFFF) - kFirstLookCommand].shift, 0);
    EXPECT_EQ(gLookKeys[(LookupKeyName("R_LOOK_BACK") & 0xFFFF) - kFirstLookCommand].shift, -1);
    EXPECT_EQ(dunThrustKeys[0], 0x1E);
    EXPECT_EQ(dunThrustKeys[1], 0x2C);
    EXPECT_EQ(gJoyAxisRole[2], 5);
    EXPECT_EQ(gJoyAxisInvert[2], 1);
    EXPECT_EQ(JoyInvert[2], 1);
    EXPECT_EQ(gJoyAxisRole[6], 0);
    const char *bad[] = {"BINDKEY 256 20\n", "BINDKEY -1 20\n", "BINDKEY 16 20 3\n", "BINDKEY 16 203 -1\n",
                         "BINDJOYAXIS 7 0 0\n", "BINDJOYAXIS -1 0 0\n", "BINDJOYAXIS 0 7 0\n"};
    for (const char *script : bad) {
        std::string text = FatalText([&] { Start(script); });
        EXPECT_NE(text.find("out of range"), std::string::npos) << script;
    }
    JoyInvert[2] = 0;
}

// A display driver that opens or not, and records the sizes it was asked.
std::vector<std::string> gOpened;
bool gOpens;
const DisplayDriver kDriver = {
    [](DisplayMode *m) {
        gOpened.push_back(std::to_string(m->width) + "x" + std::to_string(m->height));
        return gOpens;
    },
    [] {},
    [](DisplayMode *) {},
    [](DisplayMode *) {},
    [](DisplayMode *) {},
    [] {},
    [](PaletteEntries) {},
    [](PaletteEntries) {},
    [](PaletteEntries) {},
};

TEST_F(StartupStatements, SetVidModes) {
    const DisplayDriver *saved = CurrentDisplayDriver;
    CurrentDisplayDriver = &kDriver;
    gOpened.clear();
    Picture("Pal", 16, 16);
    Picture("Pic", 16, 16);
    gOpens = true;
    for (int mode : {0, 1, 2}) {
        ResolutionMode = int16_t(mode);
        Start("SETVID Pal Pic 320 200\n");
    }
    EXPECT_EQ(gOpened, (std::vector<std::string>{"320x200", "800x600", "1024x768"}));
    EXPECT_EQ(gScreenPicture, Handle("Pic")->data);
    gOpens = false;
    ResolutionMode = 0;
    for (const char *script : {"SETVID Pal Pic 640 480\n", "SETVID Pal Pic 0 480\n", "SETVID Pal Pic 100000 480\n"}) {
        std::string text = FatalText([&] { Start(script); });
        EXPECT_NE(text.find("Could not set requested video mode"), std::string::npos) << script;
        EXPECT_EQ(gScriptRunStatus, ScriptStatus::Video);
        gOpens = std::string(script).find("640") == std::string::npos;
    }
    CurrentDisplayDriver = saved;
    TheDisplayMode.width = 640;
    TheDisplayMode.height = 480;
}

// The palette a script makes current is the one 8-bit colours are shown
// with at 16 bits per pixel (before, text and lines came out black).
TEST_F(StartupStatements, SetPaletteColoursSixteenBitDrawing) {
    const DisplayDriver *saved = CurrentDisplayDriver;
    CurrentDisplayDriver = &kDriver;
    ResourceHandle *block = resmanRegisterSized(1, 1024);
    auto *entries = static_cast<uint8_t *>(block->data);
    for (int i = 0; i < 256; ++i) {
        entries[4 * i] = uint8_t(i);
        entries[4 * i + 1] = uint8_t(255 - i);
        entries[4 * i + 2] = 0x80;
    }
    ScriptSymbol *sym = AddScriptSymbol("Pal", "\0\0\0\0", 4);
    sym->kind = SymKind::Resource;
    ScriptSetSymbolThing(sym, block);
    Start("SETPALETTE Pal\n");
    uint16_t pixels[4] = {};
    Surface s{reinterpret_cast<uint8_t *>(pixels), 2, 2, 0, 0, 4, 2};
    FillRect(&s, 200, 0, 0, 1, 1);
    EXPECT_EQ(pixels[3], ((200 & 0xF8) << 8) | ((55 & 0xFC) << 3) | (0x80 >> 3));
    gCurrentPalette = nullptr;
    CurrentDisplayDriver = saved;
}

// TRANSTAB on two generated resources: a palette of grey ramps and a
// second block standing for the colour map. The light tables come from the
// palette, and each flare icon is its tint's glow over black.
TEST_F(StartupStatements, TransTabMakesTheLightTablesAndFlareIcons) {
    for (const char *name : {"Pal", "Map"}) {
        ResourceHandle *block = resmanRegisterSized(1, 1024);
        auto *entries = static_cast<uint8_t *>(block->data);
        for (int i = 0; i < 256; ++i) entries[4 * i] = entries[4 * i + 1] = entries[4 * i + 2] = uint8_t((i & 31) * 8);
        ScriptSymbol *sym = AddScriptSymbol(name, "\0\0\0\0", 4);
        sym->kind = SymKind::Resource;
        ScriptSetSymbolThing(sym, block);
    }
    std::memset(gFlareIcons, 0xEE, sizeof gFlareIcons);
    Start("TRANSTAB Pal Map\n");
    // Darkening (table 8) at level 0 of a ramp colour steps one down the ramp.
    EXPECT_EQ(LightTables[8 * 4096 + 0 * 256 + 50], 51);
    for (int t = 0; t < kFlareIcons; ++t) {
        const int level = GlowMasks[64 * 128 + 64] & 15;
        EXPECT_EQ(gFlareIcons[t][32 * kFlareIconSide + 32], level ? LightTables[t * 4096 + level * 256] : 0) << t;
        EXPECT_EQ(gFlareIcons[t][0], 0) << t;
    }
}

TEST_F(StartupStatements, Settings) {
    std::snprintf(gFilmFolder, sizeof gFilmFolder, "vek\\resource\\video");
    uint8_t engineering = optEngineering;
    Start("FRENCH\n"
          "VIDEODIR \"films\"\nDIALOGUEDIR \"speech\"\nLOCALDIALOGUEDIR \"speech_L\"\nSAVESCREENDIR \"shots\"\n"
          "PANEL_COL 1 258 -1\nGAMMA 1.5\nPLAYAVI \"outro.avi\"\nENGINEERING\nCANCEL_RES_ADJ\n");
    EXPECT_EQ(gLanguage, 1);
    EXPECT_STREQ(gFilmFolder, "films");
    EXPECT_STREQ(gAudioFolder, "speech");
    EXPECT_STREQ(gLocalAudioFolder, "speech_L");
    EXPECT_STREQ(gScreenshotFolder, "shots");
    EXPECT_EQ(gPanelColour[0], 1);
    EXPECT_EQ(gPanelColour[1], 2);
    EXPECT_EQ(gPanelColour[2], 255);
    EXPECT_FLOAT_EQ(DisplayGamma, 1.5f);
    EXPECT_STREQ(gExitFilm, "outro.avi");
    EXPECT_EQ(optEngineering, engineering ? 0 : 0xFF);
    EXPECT_EQ(gGuiCentreMode, 1);
    ResetScriptForMission();
    EXPECT_STREQ(gExitFilm, "") << "the exit film is the mission's";
    // A window's help note comes from WINHELP.
    guiResetWindows();
    GuiWindow *w = guiCreateWindow(0, nullptr, nullptr, nullptr, nullptr, 0, 0, 10, 10, 0);
    ScriptSymbol *s = AddScriptSymbol("HelpWin", "\0\0\0\0", 4);
    s->kind = SymKind::Window;
    ScriptSetSymbolThing(s, w);
    Start("WINHELP HelpWin 37\nWINHELP Nothing 3\n");
    EXPECT_EQ(w->helpNoteIndex, 37);
    std::snprintf(gFilmFolder, sizeof gFilmFolder, "vek\\resource\\video");
    std::snprintf(gAudioFolder, sizeof gAudioFolder, "vek\\resource\\audio");
    std::snprintf(gLocalAudioFolder, sizeof gLocalAudioFolder, "vek\\resource\\audio_L");
    std::snprintf(gScreenshotFolder, sizeof gScreenshotFolder, "vek\\resource\\art\\screens");
    DisplayGamma = 1.0f;
    optEngineering = engineering;
    gGuiCentreMode = 0;
    gLanguage = 0;
}

TEST_F(StartupStatements, PlayVideoWaitsAndStops) {
    uint8_t map = 1;
    ScriptHostFlags host{};
    host.mapScreen = &map;
    ScriptSetHostFlags(&host);
    ScriptToken *pc = Start("PLAYVIDEO \"none.smk\"\nSET X 1\n");
    EXPECT_EQ(Var("X"), 0) << "waits while the map is open";
    ScriptProcessor(&pc, 0);
    EXPECT_EQ(Var("X"), 0);
    map = 0;
    ScriptProcessor(&pc, 0);
    EXPECT_EQ(Var("X"), 1) << "a film that cannot start lets the script go on";
    // Once the end counts down the statement does nothing; its operand runs
    // as a token that does nothing.
    dunMissionEndCountdown = 300;
    Start("PLAYVIDEO \"none.smk\"\nSET Y 1\n");
    EXPECT_EQ(Var("Y"), 1);
    dunMissionEndCountdown = 0;
}

TEST_F(StartupStatements, BriefingGate) {
    // With "nobrief" the statement goes on at once.
    optNoBrief = 0xFF;
    Start("BRIEFING 3\nSET X 1\n");
    EXPECT_EQ(Var("X"), 1);
    EXPECT_EQ(gBriefingNumber, 3);
    optNoBrief = 0;
    // An undeclared briefing is waited for, one frame at a time.
    ScriptToken *pc = Start("BRIEFING 2\nSET Y 1\n");
    for (int frame = 0; frame < 5; ++frame) ScriptProcessor(&pc, 0);
    EXPECT_EQ(Var("Y"), 0);
    EXPECT_EQ(gBriefingOpen, 0);
    gBriefingDeclared[2] = 1;
    ScriptProcessor(&pc, 0);
    EXPECT_EQ(gBriefingOpen, 1);
    EXPECT_EQ(Var("Y"), 0) << "the statement yields as it opens the briefing";
    ScriptProcessor(&pc, 0);
    EXPECT_EQ(Var("Y"), 1);
    gBriefingOpen = 0;
    // The mission-ending flag lets it pass.
    gMissionEnding = 1;
    Start("BRIEFING 1\nSET Z 1\n");
    EXPECT_EQ(Var("Z"), 1);
    gMissionEnding = 0;
}

TEST_F(StartupStatements, BriefingStartPoint) {
    optStartValue = 2;
    ScriptToken *pc = Start("BRIEFING\nSET X 1\nSTART_2:\nSET Y 1\n");
    EXPECT_EQ(Var("Y"), 0) << "the jump yields";
    ScriptProcessor(&pc, 0);
    EXPECT_EQ(Var("Y"), 1);
    EXPECT_EQ(Var("X"), 0);
    EXPECT_EQ(gChosenStart, 2);
    optStartValue = 3;
    std::string text = FatalText([] { Start("BRIEFING\n"); });
    EXPECT_NE(text.find("START_3"), std::string::npos) << text;
}

}  // namespace
}  // namespace scripttest
