// The symbol table: built-ins, finds, kinds, and the per-mission reset.
#include "RES/resman.h"
#include "core/frame.h"
#include "gui/feed.h"
#include "gui/keys.h"
#include "hud/hud.h"
#include "script/mission.h"
#include "script_fixture.h"
#include "world/messages.h"
#include "world/objlist.h"
#include "world/pools.h"

using namespace scripttest;

namespace {

class Symbols : public ScriptTest {};

TEST_F(Symbols, BuiltinsInOrder) {
    struct Row {
        const char *name;
        uint32_t kind;
        const void *value;
    };
    const Row rows[] = {
        {"LASTSHIP", 8, nullptr},           {"LDSIHIT", 8, nullptr},          {"GLEAMLOC", 8, nullptr},
        {"REMITEM", 9, nullptr},            {"CUSTOM", 8, nullptr},           {"LAST3DP", 16, nullptr},
        {"LASTRES", 64, nullptr},           {"LASTWAYPT", 8, nullptr},        {"SCORE", 33, &gMissionScore},
        {"BEAM_TOGGLE", 32, &gBeamToggle},  {"EXTRALOAD", 33, &gExtraLoad},   {"WEPSETUP", 33, &gWepSetup},
        {"TIMER", 33, &dunMissionCountdownSeconds},                           {"XHITS", 33, &gWatchedHits},
        {"NWAYPTS", 33, &gWaypointCount},   {"MISSTIME", 32, &gMissionClock}, {"STOPCLOCK", 33, &gStopClock},
        {"TGTTIME", 33, &gTargetTime},      {"TIMESCORE", 33, &gTimeScore},   {"MOVIE_FPS", 32, &gFixedRate},
        {"GLEAMBODY", 8, nullptr},          {"GLEAMHEAD", 8, nullptr},        {"MISSNUMBER", 33, &gCurrentMission},
        {"BESTTIME", 33, &gBestTime},       {"SHIELD_DMG_FACTOR", 33, &gShieldDamageFactor},
        {"NULL_DATA", 8, nullptr},
    };
    ASSERT_EQ(gScriptSymbolCount, 26);
    for (int i = 0; i < 26; ++i) {
        EXPECT_STREQ(gScriptSymbols[i].name, rows[i].name);
        EXPECT_EQ(gScriptSymbols[i].kind, rows[i].kind) << rows[i].name;
        EXPECT_EQ(gScriptSymbols[i].size, 4u);
        EXPECT_EQ(gScriptSymbols[i].value, rows[i].value) << rows[i].name;
    }
    EXPECT_EQ(gWaypointCount, -1);
    gMissionScore = 1234;
    EXPECT_EQ(ScriptSymbolInt(Sym("SCORE")), 1234);
    EXPECT_EQ(FatalText([] { InitializeScriptSystem(); }), "You called me once - Don't call me again!");
}

TEST_F(Symbols, FindsAndKinds) {
    ScriptSymbol *older = AddScriptSymbol("Twin", "\1\0\0\0", 4);
    AddScriptSymbol("Twin", "\2\0\0\0", 4);
    EXPECT_EQ(FindScriptSymbol("Twin"), older);
    EXPECT_EQ(FindScriptSymbol("twin"), nullptr);
    EXPECT_EQ(GetScriptSymbolValue("Nobody"), nullptr);

    int32_t record = 7;
    ScriptSymbol *res = AddScriptSymbol("Res", "\0\0\0\0", 4);
    res->value = &record;
    res->kind = 65;
    EXPECT_EQ(GetTypedScriptSymbolValue("Res", 64), nullptr);
    EXPECT_EQ(GetTypedScriptSymbolValue("Res", 65), &record);

    // A name that was mentioned but never given a thing reads as absent; a
    // variable's own bytes are its value.
    Compile("RegisterLater\nCounter\n");
    EXPECT_EQ(GetScriptSymbolValue("RegisterLater"), nullptr);
    Sym("Counter")->kind = SymKind::Var;
    EXPECT_EQ(GetScriptSymbolValue("Counter"), static_cast<void *>(Sym("Counter")->initial));
    // A number stored into a value word is not a thing either.
    ScriptSetSymbolWord(Sym("RegisterLater"), 5);
    EXPECT_EQ(GetScriptSymbolValue("RegisterLater"), nullptr);
    EXPECT_EQ(ScriptSymbolWord(Sym("RegisterLater")), 5);
}

TEST_F(Symbols, TheTableHoldsAThousand) {
    std::string text = FatalText([] {
        for (int i = 0; i < 2000; ++i) AddScriptSymbol(("S" + std::to_string(i)).c_str(), "\0\0\0\0", 4);
    });
    EXPECT_EQ(text, "Symbol Table Full!");
    EXPECT_EQ(gScriptSymbolCount, kMaxScriptSymbols);
}

TEST_F(Symbols, MissionResetForgetsTheMissionAndRestoresStartUpValues) {
    Compile("Shared\nStartLabel:\n", "startup.scr");
    int32_t font = 0;
    Sym("Shared")->value = &font;  // a start-up declaration bound it
    Sym("Shared")->kind = SymKind::Resource;
    gSymCustom->value = &font;
    MarkScriptBaseline();
    uint32_t tokenTop = gScriptTokenTop, dataTop = gScriptDataTop, nameTop = gScriptNameTop;

    Compile("MissionOnly\nShared\nSCORE\n", "mission.scr");
    ScriptSetSymbolWord(Sym("Shared"), 99);
    Sym("Shared")->kind |= SymKind::Var;
    int32_t object = 0;
    gSymLastShip->value = &object;
    gMissionClock = gTargetTime = gMissionScore = 5;
    gWaypointCount = 3;
    ASSERT_NE(Sym("MissionOnly"), nullptr);

    ResetScriptForMission();
    EXPECT_EQ(Sym("MissionOnly"), nullptr);
    EXPECT_EQ(GetScriptSymbolValue("Shared"), &font);
    EXPECT_EQ(Sym("Shared")->kind, SymKind::Resource);
    EXPECT_NE(ScriptLabelTarget(Sym("StartLabel")), 0u);
    EXPECT_EQ(gSymLastShip->value, nullptr);
    EXPECT_EQ(gSymCustom->value, &font);  // CUSTOM keeps its value
    EXPECT_EQ(gScriptTokenTop, tokenTop);
    EXPECT_EQ(gScriptDataTop, dataTop);
    EXPECT_EQ(gScriptNameTop, nameTop);  // the start-up files keep their names
    EXPECT_EQ(gMissionClock + gTargetTime + gMissionScore, 0);
    EXPECT_EQ(gWaypointCount, -1);
}

// The document folder follows the language of each start of the script
// system, back to English after a French one.
TEST_F(Symbols, EachStartTakesTheDocumentFolderOfItsLanguage) {
    const struct {
        uint16_t language;
        const char *folder;
    } cases[] = {{1, "vek\\resource\\frn_\\docs"}, {0, "vek\\resource\\text\\docs"},
                 {2, "vek\\resource\\ger_\\docs"}, {0, "vek\\resource\\text\\docs"}};
    for (const auto &c : cases) {
        FreeScriptBuffers();
        gLanguage = c.language;
        InitializeScriptSystem();
        EXPECT_STREQ(ScriptDocFolder(), c.folder) << c.language;
    }
}

TEST_F(Symbols, AFreedObjectReadsAsAbsent) {
    dunFrameCounter = 1;
    dunMsgInit();
    dunResetWorld();
    SceneItem *item = dunCreateSceneItem();
    dunLinkSceneItem(item, 0);
    ScriptSymbol *s = AddScriptSymbol("Ship", "\0\0\0\0", 4);
    s->kind = SymKind::SceneItem;
    ScriptSetSymbolObject(s, item);
    EXPECT_EQ(ScriptSymbolObject(s), item);
    EXPECT_EQ(GetScriptSymbolValue("Ship"), item);
    ScriptSymbol *copy = AddScriptSymbol("Copy", "\0\0\0\0", 4);
    ScriptSetSymbolObject(copy, item);
    item->linkRecord = s;
    dunDeleteSceneItem(item);
    // The back-linked symbol is cleared by the world; the copy by its handle.
    EXPECT_EQ(ScriptSymbolObject(s), nullptr);
    EXPECT_EQ(ScriptSymbolObject(copy), nullptr);
    SceneItem *other = dunCreateSceneItem();  // may reuse the record
    dunLinkSceneItem(other, 0);
    EXPECT_EQ(ScriptSymbolObject(copy), nullptr);
    EXPECT_EQ(GetScriptSymbolValue("Copy"), nullptr);
    dunResetWorld();
}

// The debug font key walks the bitmap fonts the mission registered, from the
// one after the current message font, wrapping; start-up fonts and other
// resources are passed over.
TEST_F(Symbols, DebugFontKeyStepsThroughTheMissionsFonts) {
    resmanInit();
    static int loaded[4];  // stands in for a converted font
    auto resource = [](const char *name, const char *file, uint32_t type) {
        ResourceHandle *h = resmanRegister(file, type);
        h->data = loaded;
        ScriptSymbol *s = AddScriptSymbol(name, "\0\0\0\0", 4);
        s->kind = SymKind::Resource;
        ScriptSetSymbolThing(s, h);
        return h;
    };
    SelectNextScriptFont();  // no mission font: nothing changes
    EXPECT_EQ(hudMessageFont(), nullptr);
    ResourceHandle *startUp = resource("StartFont", "a.fnt", ResFnt2RFont);
    MarkScriptBaseline();
    ResourceHandle *first = resource("FontA", "b.fnt", ResFnt2RFont);
    resource("Pal", "c.pcx", ResPcx2Palette);
    ResourceHandle *second = resource("FontB", "d.fon", ResFon2RFont);
    hudSetMessageFont(startUp);
    gMessageRemaining = 0;
    const struct {
        ResourceHandle *font;
        const char *shown;
    } steps[] = {{first, "FontA"}, {second, "FontB"}, {first, "FontA"}};
    for (const auto &step : steps) {
        SelectNextScriptFont();
        EXPECT_EQ(hudMessageFont(), step.font);
        EXPECT_STREQ(gMessageText, step.shown);
        EXPECT_EQ(gMessageDuration, 1000);
    }
    // A running message longer than 500 lends its time.
    gMessageRemaining = 700;
    SelectNextScriptFont();
    EXPECT_EQ(gMessageDuration, 700);
    for (int i = 0; i < RESMAN.count; ++i) RESMAN.handles[i].data = nullptr;
    hudClearList();
    guiClearMessageLine();
    resmanShutdown();
}

}  // namespace
