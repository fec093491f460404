// The statements of the start-up scripts: symbol declarations, the display
// and its look, data folders, the language, films and the briefing gate.
// The key and joystick bindings, the options' start values and window help
// are the GUI's statements (gui/script_settings.cpp).
#include <cstdio>
#include <cstring>

#include "RES/resman.h"
#include "core/files.h"
#include "core/frame.h"
#include "core/options.h"
#include "platform/display.h"
#include "platform/sound.h"
#include "platform/video.h"
#include "present/p3d.h"
#include "present/views.h"
#include "script/compiler.h"
#include "script/conditions.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/screens.h"
#include "script/settings.h"
#include "script/statements.h"
#include "script/symbols.h"
#include "world/flight.h"
#include "world/objlist.h"
#include "world/services.h"
#include "world/universe.h"

int32_t gChosenStart;

namespace {

constexpr int kMaxDisplaySide = 4096;
constexpr int32_t kFilmLeadIn = 10;

uint32_t Code(const ScriptRun &run) { return gScriptTokens[run.statement].code; }

bool IsSymbolToken(const ScriptToken &t) { return t.code == Sc::Symbol || t.code == Sc::NewSymbol; }
bool AtStatementEnd(const ScriptToken &t) { return t.code == Sc::Do || t.code == Sc::End; }

// Runs the statement again next turn.
void YieldHere(ScriptRun &run) {
    run.pc = run.statement;
    gScriptRunStatus = ScriptStatus::Yield;
}

// ---- Declarations --------------------------------------------------------

void Declare(ScriptRun &run) {
    static const struct {
        uint32_t code, kind;
    } kKinds[] = {{22, SymKind::Model},     {23, SymKind::SceneItem}, {24, SymKind::Part3D},
                  {25, SymKind::Var},       {26, SymKind::Window},    {27, SymKind::Resource},
                  {29, SymKind::OrderName}, {30, SymKind::Model2D}};
    uint32_t kind = 0;
    for (const auto &k : kKinds)
        if (k.code == Code(run)) kind = k.kind;
    while (!AtStatementEnd(ScriptPeek(run))) {
        const ScriptToken &t = ScriptNext(run);
        ScriptSymbol *s = IsSymbolToken(t) ? ScriptSymbolAt(t.arg) : nullptr;
        if (!s) continue;
        s->kind = kind;
        if (kind == SymKind::SceneItem) {
            ScriptSetSymbolObject(s, nullptr);
            dunCheckSceneList();
        }
    }
}

// DEFINE name value ...: the name takes the value word of the token after it.
void Define(ScriptRun &run) {
    while (!AtStatementEnd(ScriptPeek(run))) {
        const ScriptToken &t = ScriptNext(run);
        ScriptSymbol *s = IsSymbolToken(t) ? ScriptSymbolAt(t.arg) : nullptr;
        if (!s) continue;
        s->kind = SymKind::Define;
        const ScriptToken &v = ScriptPeek(run);
        if (AtStatementEnd(v)) break;
        ScriptNext(run);
        if (v.code == Sc::Data) {
            ScriptSetSymbolThing(s, gScriptData + v.arg);
        } else if (IsSymbolToken(v)) {
            if (ScriptSymbol *from = ScriptSymbolAt(v.arg); from && from != s) {
                s->value = from->value;
                s->object = from->object;
                s->flags = (s->flags & ~SymFlag::Word) | (from->flags & SymFlag::Word);
            }
        } else if ((v.code & 0xFFFF0000u) == Sc::KeyNameTag) {
            ScriptSetSymbolWord(s, int32_t(v.code & 0xFFFF));
        } else {
            ScriptSetSymbolWord(s, int32_t(v.arg));
        }
    }
}

// ---- Display and look ----------------------------------------------------

void SetVid(ScriptRun &run) {
    ResourceHandle *palette = ScriptSymbolResource(DecodeSymbolOperand(run, SymKind::Resource));
    ResourceHandle *picture = ScriptSymbolResource(DecodeSymbolOperand(run, SymKind::Resource));
    int width = ScriptTrunc(DecodeNumberOperand(run));
    int height = ScriptTrunc(DecodeNumberOperand(run));
    if (ResolutionMode == 1 || ResolutionMode == 2) {
        uint16_t w, h;
        ResolutionSize(ResolutionMode, &w, &h);
        width = w;
        height = h;
    }
    gCurrentPalette = static_cast<const uint8_t *>(resmanLoad(palette));
    gScreenPicture = resmanLoad(picture);
    bool sane = width > 0 && height > 0 && width <= kMaxDisplaySide && height <= kMaxDisplaySide;
    if (!sane || !SetScriptVideoMode(gCurrentPalette, width, height))
        ScriptFail(run, ScriptStatus::Video, "Could not set requested video mode");
}

void FullScreen(ScriptRun &) { SelectFullScreenDriver(); }

void SetPalette(ScriptRun &run) {
    ResourceHandle *palette = ScriptSymbolResource(DecodeSymbolOperand(run, SymKind::Resource));
    gCurrentPalette = static_cast<const uint8_t *>(resmanLoad(palette));
    DisplaySetPalette(gCurrentPalette);
    DisplayLoadPalette(gCurrentPalette);
}

void TransTab(ScriptRun &run) {
    void *a = resmanLoad(ScriptSymbolResource(DecodeSymbolOperand(run, SymKind::Resource)));
    void *b = resmanLoad(ScriptSymbolResource(DecodeSymbolOperand(run, SymKind::Resource)));
    GenerateFlareIcons(nullptr, a, b);
}

void Gamma(ScriptRun &run) { DisplayGamma = DecodeNumberOperand(run); }

void PanelCol(ScriptRun &run) {
    for (uint8_t &c : gPanelColour) c = uint8_t(ScriptTrunc(DecodeNumberOperand(run)));
}

void Genesis(ScriptRun &) {
    dunCurrentSystem = 0;
    dunCreateUniverse();
}

void Engineering(ScriptRun &) { optEngineering = optEngineering ? 0 : 0xFF; }
void Console(ScriptRun &) { optConsole = optConsole ? 0 : 0xFF; }

// ---- Folders, options, language --------------------------------------------

void RootDir(ScriptRun &run) {
    const char *path = DecodeTextOperand(run);
    if (gMissionShellHooks.setWorkingFolder) gMissionShellHooks.setWorkingFolder(path);
}

void Folder(ScriptRun &run) {
    char *folder = Code(run) == 598   ? gFilmFolder
                   : Code(run) == 599 ? gAudioFolder
                   : Code(run) == 600 ? gLocalAudioFolder
                                      : gScreenshotFolder;
    std::snprintf(folder, kFolderBytes, "%s", DecodeTextOperand(run));
}

void Language(ScriptRun &run) { gLanguage = uint16_t(Code(run) - 606); }

// ---- Films -------------------------------------------------------------------

void PlayAvi(ScriptRun &run) { std::snprintf(gExitFilm, sizeof gExitFilm, "%s", DecodeTextOperand(run)); }

void PlayVideo(ScriptRun &run) {
    // Once the end is counting down no film starts; the operand is left to
    // run as a token that does nothing.
    if (dunMissionEndCountdown > 0) return;
    if (ScriptHostFlag(&ScriptHostFlags::docViewer) || ScriptHostFlag(&ScriptHostFlags::objectives) ||
        ScriptHostFlag(&ScriptHostFlags::mapScreen) || gWeaponLoading || gRestorePending) {
        YieldHere(run);
        return;
    }
    const ScriptToken &t = ScriptPeek(run);
    const char *name = "";
    if (t.code == Sc::Data) {
        name = DecodeTextOperand(run);
    } else {
        ResourceHandle *film = ScriptSymbolResource(DecodeSymbolOperand(run, SymKind::Resource | SymKind::MustExist));
        if (film) name = film->name;
    }
    SoundPauseAll();
    if (::PlayVideo(name)) {
        if (gMissionShellHooks.filmLeadIn) gMissionShellHooks.filmLeadIn(kFilmLeadIn);
        gScriptRunStatus = ScriptStatus::Yield;
    } else {
        VideoPlaying = 0;
        SoundResumeAll();
    }
}

// ---- The briefing gate -------------------------------------------------------

void Briefing(ScriptRun &run) {
    if (optStartValue > 0) {
        gChosenStart = optStartValue;
        char name[32];
        std::snprintf(name, sizeof name, "START_%i", optStartValue);
        ScriptSymbol *s = FindScriptSymbol(name);
        uint32_t target = s && (s->flags & SymFlag::Label) ? ScriptLabelTarget(s) : 0;
        if (!target) {
            char text[64];
            std::snprintf(text, sizeof text, "Start routine %s not found", name);
            ScriptFail(run, ScriptStatus::BadLabel, text);
        }
        run.pc = target;
        gScriptRunStatus = ScriptStatus::Yield;
        return;
    }
    gBriefingNumber = int16_t(ScriptTrunc(OptionalNumberOperand(run)));
    if (optNoBrief || gMissionEnding) return;
    dunTimeScale = 1.0f;
    // A briefing the mission has (its BRF_DECLARE compiled) or has run.
    const bool declared = gBriefingNumber >= 0 && gBriefingNumber < kBriefingCount &&
                          (gBriefingDeclared[gBriefingNumber] || gBriefingDeclare[gBriefingNumber]);
    if (gBriefingDelay > 0) {
        gBriefingDelay -= dunFrameStep;
        if (gBriefingDelay > 0) {
            YieldHere(run);
            return;
        }
        if (declared) {
            dunCall(ScriptGui().setScreen, "COM");
            StationId = 1;
            gBriefingOpen = 1;
            // The next turn's events enter it.
            gBriefingRequest = 1;
            dunCall(ScriptGui().redrawMainView);
            gScriptRunStatus = ScriptStatus::Yield;
            return;
        }
    }
    gBriefingDelay = 1;
    YieldHere(run);
}

}  // namespace

const ScriptStatementRow kStartupStatements[] = {
    {22, Declare},       {23, Declare},      {24, Declare},        {25, Declare},     {26, Declare},
    {27, Declare},       {28, Define},       {29, Declare},        {30, Declare},     {46, Engineering},
    {47, Genesis},       {48, SetVid},       {49, FullScreen},     {50, SetPalette},  {51, TransTab},
    {52, Gamma},         {53, PanelCol},     {593, Console},       {594, Briefing},   {595, PlayVideo},
    {596, PlayAvi},      {597, RootDir},     {598, Folder},        {599, Folder},     {600, Folder},
    {601, Folder},       {606, Language},    {607, Language},      {608, Language},   {0, nullptr},
};
