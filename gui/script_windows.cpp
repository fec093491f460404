// The window and screen statements of the GUI scripts: each WIN_* statement
// creates its windows through the window system and stores the first as its
// name's value, so that the screens' build routines find it by name;
// SCREEN_BEGIN, SCREEN_END and SCREEN_USE define, build and switch screens.
#include <algorithm>

#include "RES/picture.h"
#include "RES/resman.h"
#include "core/log.h"
#include "core/options.h"
#include "core/profiler.h"
#include "gui/bound.h"
#include "gui/gadgets.h"
#include "gui/script_statements.h"
#include "gui/screen.h"
#include "gui/window.h"
#include "platform/display.h"
#include "platform/video.h"
#include "present/scene.h"
#include "script/compiler.h"
#include "script/statements.h"
#include "script/symbols.h"
#include "world/engineering.h"
#include "world/objlist.h"
#include "world/recorders.h"
#include "core/value_recorder.h"
#include "core/frame.h"

ResourceHandle *gScriptWindowFont;

namespace {

constexpr uint32_t kAnchorFirst = 82, kAnchorLast = 88;
constexpr uint32_t kStyleFirst = 89, kStyleLast = 94;

int16_t Coord(ScriptRun &run) {
    return (int16_t)std::clamp<int32_t>(ScriptTrunc(DecodeNumberOperand(run)), -32768, 32767);
}
int16_t OptionalCoord(ScriptRun &run) {
    return (int16_t)std::clamp<int32_t>(ScriptTrunc(OptionalNumberOperand(run)), -32768, 32767);
}

GuiWindow *AsWindow(void *value) { return guiLiveWindow(value); }

void Warn(const ScriptRun &run, const char *what, const char *name) {
    unsigned line = 0;
    const char *file = "";
    uint32_t offset = 0;
    ScriptTokenLine(run.statement, &line, &file, &offset);
    dunDebugPrintf("Script warning: %s '%s': %s(%u)", what, name ? name : "", file, line);
}

void *ThingOf(ScriptSymbol *s) { return ScriptSymbolThing(s); }

// The window a symbol names; a name standing for something else (a model, a
// number) gives none rather than a pointer taken for a window.
GuiWindow *WindowOf(const ScriptRun &run, ScriptSymbol *s) {
    void *value = ThingOf(s);
    if (!value) return nullptr;
    GuiWindow *w = AsWindow(value);
    if (!w) Warn(run, "not a window", s->name);
    return w;
}

struct Standard {
    uint16_t anchor;
    ScriptSymbol *name;
    GuiWindow *parent;
};

// Anchor, name, then a parent when the next token is a known symbol;
// anything else in that place (a placeholder) is one token skipped.
Standard ReadStandard(ScriptRun &run) {
    Standard s;
    s.anchor = (uint16_t)KeywordInRange(run, kAnchorFirst, kAnchorLast);
    s.name = DecodeSymbolOperand(run, SymKind::Window);
    s.parent = nullptr;
    if (ScriptPeek(run).code == Sc::Symbol) s.parent = WindowOf(run, DecodeSymbolOperand(run, SymKind::Window));
    else ScriptNext(run);
    return s;
}

void Name(ScriptSymbol *s, GuiWindow *w) {
    s->value = w;
    s->object = kNoHandle;
    s->flags &= ~SymFlag::Word;
}

GuiWindow *Create(const Standard &s, void *userData, GuiUpdateProc update, GuiDrawProc draw, int16_t x, int16_t y,
                  int16_t w, int16_t h, uint16_t colour = 0) {
    GuiWindow *win = guiCreateWindow(s.anchor, s.parent, userData, update, draw, x, y, w, h, colour);
    Name(s.name, win);
    return win;
}

ResourceHandle *ResourceOperand(ScriptRun &run) {
    return static_cast<ResourceHandle *>(ThingOf(DecodeSymbolOperand(run, SymKind::Resource)));
}

// The four coordinates after the standard operands.
struct Box {
    int16_t x, y, w, h;
};
Box ReadBox(ScriptRun &run) {
    Box b;
    b.x = Coord(run);
    b.y = Coord(run);
    b.w = Coord(run);
    b.h = Coord(run);
    return b;
}

GuiWindow *Simple(ScriptRun &run, GuiDrawProc draw) {
    Standard s = ReadStandard(run);
    Box b = ReadBox(run);
    return Create(s, nullptr, guiDefaultHandler, draw, b.x, b.y, b.w, b.h);
}

void WinBox(ScriptRun &run) {
    Standard s = ReadStandard(run);
    Box b = ReadBox(run);
    const uint16_t colour = (uint16_t)ScriptTrunc(OptionalNumberOperand(run));
    GuiWindow *w = Create(s, nullptr, guiDefaultHandler, guiDrawBox, b.x, b.y, b.w, b.h, colour);
    w->hitTest = guiNeverHit;
}

void WinRect(ScriptRun &run) { Simple(run, guiDrawRect); }

void View(ScriptRun &run, GuiDrawProc draw, bool mainView) {
    Standard s = ReadStandard(run);
    DecodeSymbolOperand(run, SymKind::SceneItem);  // every pane views through the player camera
    Box b = ReadBox(run);
    GuiWindow *w = Create(s, TheDisplayMode.screen, guiDefaultHandler, draw, b.x, b.y, b.w, b.h);
    w->userPtr = &dunPlayerCamera;
    w->flags |= GuiFlag::KeepCountdown;
    if (mainView) gGuiScreen->viewWindow = w;
}
void Win3D(ScriptRun &run) { View(run, guiDraw3D, true); }
void Win3DWire(ScriptRun &run) { View(run, guiDraw3DWire, false); }

void WinVideo(ScriptRun &run) {
    Standard s = ReadStandard(run);
    ResourceHandle *film = ResourceOperand(run);
    Box b = ReadBox(run);
    Smack *video = nullptr;
    if (!film || !VideoOpenInWindow(&video, film->name, 0, 0, 0, 0) || !video) return;
    GuiWindow *w = Create(s, nullptr, guiDefaultHandler, guiDrawVideo, b.x, b.y, b.w, b.h);
    w->font = film;
    w->userPtr = video;
}

void Picture(ScriptRun &run, GuiDrawProc draw, bool background) {
    Standard s = ReadStandard(run);
    ResourceHandle *picture = ResourceOperand(run);
    const int16_t x = Coord(run), y = Coord(run);
    const int16_t w = OptionalCoord(run), h = OptionalCoord(run);
    // A full-screen background is not drawn at the larger resolutions.
    if (background && picture && picture->type == ResPcx2BackRaster && ResolutionMode != 0 && x == 0 && y == 0)
        draw = nullptr;
    GuiWindow *win = Create(s, nullptr, guiDefaultHandler, draw, x, y, w, h);
    win->font = picture;
}
void WinRast(ScriptRun &run) { Picture(run, guiDrawRaster, true); }
void WinOverlay(ScriptRun &run) { Picture(run, guiDrawOverlay, false); }

void WinSwitch(ScriptRun &run) {
    Standard s = ReadStandard(run);
    ResourceHandle *normal = ResourceOperand(run);
    ResourceHandle *pressed = ResourceOperand(run);
    const int16_t x = Coord(run), y = Coord(run);
    Raster *up = guiRaster(normal), *down = guiRaster(pressed);
    GuiWindow *w = Create(s, nullptr, guiDefaultHandler, guiDrawSwitch, x, y, up ? (int16_t)up->width : 0,
                          up ? (int16_t)up->height : 0);
    w->image = up;
    w->imageAlt = down;
}

void Texted(ScriptRun &run, GuiDrawProc draw) {
    Standard s = ReadStandard(run);
    const char *text = DecodeTextOperand(run);
    Box b = ReadBox(run);
    GuiWindow *w = Create(s, nullptr, guiDefaultHandler, draw, b.x, b.y, b.w, b.h);
    w->font = gScriptWindowFont;
    w->text = text;
}
void WinString(ScriptRun &run) { Texted(run, guiDrawString); }
void WinButton(ScriptRun &run) { Texted(run, guiDrawButton); }

void WinText(ScriptRun &run) {
    Standard s = ReadStandard(run);
    ResourceHandle *text = ResourceOperand(run);
    Box b = ReadBox(run);
    GuiWindow *w = Create(s, nullptr, guiDefaultHandler, guiDrawText, b.x, b.y, b.w, b.h);
    w->font = gScriptWindowFont;
    w->text = text;
}

void WinInvisible(ScriptRun &run) { Simple(run, nullptr)->flags |= GuiFlag::KeepCountdown2; }

void WinMeter(ScriptRun &run) {
    static const GuiDrawProc kStyles[] = {guiDrawBarVert,  guiDrawBarHoriz, guiDrawBarCVert,
                                          guiDrawBarCHoriz, guiDrawXYDev,   guiDrawNumeric};
    const int style = KeywordInRange(run, kStyleFirst, kStyleLast);
    GuiWindow *w = Simple(run, nullptr);
    w->draw = kStyles[style];
    if (w->draw == guiDrawXYDev) w->hitTest = guiNeverHit;
    w->font = gScriptWindowFont;
}

const uint8_t kAlwaysShown = 1;

void WinSystem(ScriptRun &run) {
    Standard s = ReadStandard(run);
    DecodeSymbolOperand(run, SymKind::Window);
    const char *system = DecodeTextOperand(run);
    const int16_t x = Coord(run), y = Coord(run);
    EngComponent *component = dunFindComponentByName(dunPlayerShip, system);
    GuiWindow *label = Create(s, nullptr, guiUpdateInjectorGauge, guiDrawSystemLabel, x, y, 138, 12);
    label->text = system;
    struct Part {
        GuiUpdateProc update;
        GuiDrawProc draw;
        int16_t x, y, w, h;
    } const parts[] = {
        {guiUpdateInjectorGauge, guiDrawDialogueButton, 91, 1, 12, 12},
        {guiLoggerUpdate, guiDrawLogger, 2, 14, 49, 45},
        {guiUpdateInjectorGauge, guiDrawNumeric, 2, 61, 49, 12},
        {guiUpdateSystemValue, guiDrawBarVert, 54, 14, 23, 45},
        {guiUpdateSystemValue, guiDrawNumeric, 54, 61, 23, 12},
        {guiUpdateSystemOutput, guiDrawBarVertBanded, 80, 14, 23, 45},
        {guiUpdateSystemLevel, guiDrawNumeric, 80, 61, 23, 12},
    };
    GuiWindow *all[8] = {label};
    for (int i = 0; i < 7; ++i) {
        const Part &p = parts[i];
        // The button hangs on the last created window (the label), the rest on the label.
        all[i + 1] = guiCreateWindow(GUI_REL, i == 0 ? nullptr : label, nullptr, p.update,
                                     i < 2 ? p.draw : nullptr, p.x, p.y, p.w, p.h, 0);
        if (i >= 2) all[i + 1]->draw = p.draw;
    }
    for (GuiWindow *w : all) {
        w->userPtr = component;
        w->flags |= GuiFlag::Visibility;
        w->visible = &kAlwaysShown;
        w->font = gScriptWindowFont;
    }
    all[1]->visible = &gGuiSystemButtonVisible;
    all[1]->onActivate = guiToggleSystemFlag;
    guiBindShipSystem(all[1], system);
    gGuiLastCreated = label;
}

void WinLogger(ScriptRun &run) {
    GuiWindow *w = Simple(run, guiDrawLogger);
    w->update = guiLoggerUpdate;
    w->font = gScriptWindowFont;
}

void WinProfile(ScriptRun &run) {
    GuiWindow *w = Simple(run, guiDrawProfile);
    w->update = guiProfileUpdate;
    ValueRecorder *rec = dunAllocRecorder();
    if (rec) {
        dunInitRecorder(rec, &dunFrameSeconds, 0.0f, 12500.0f, 1);
        rec->capacity = 1;
        // The profiler writes this one; the automatic pass must not.
        rec->flags |= RECORDER_NOT_SAMPLED;
    }
    gProfileRecorder = rec;
    w->userPtr = rec;
    gGuiProfileWindow = w;
}

void WinCard(ScriptRun &run) {
    GuiWindow *w = Simple(run, guiDrawNavCard);
    w->font = gScriptWindowFont;
    const Surface *screen = TheDisplayMode.screen;
    w->w = (int16_t)((screen ? screen->width : 640) * 158 / 640);
}

void WinDialog(ScriptRun &run) {
    Standard s = ReadStandard(run);
    ResourceHandle *text = ResourceOperand(run);
    Box b = ReadBox(run);
    const int32_t delay = ScriptTrunc(OptionalNumberOperand(run));
    GuiWindow *main = Create(s, nullptr, guiDefaultHandler, guiDrawText, b.x, b.y, b.w, b.h);
    main->font = gScriptWindowFont;
    main->text = text;
    auto child = [&](GuiDrawProc draw, int x, int y, int w, int h, GuiDrawProc activate) {
        GuiWindow *c = guiCreateWindow(GUI_TOP_L, main, nullptr, guiDefaultHandler, draw, (int16_t)x, (int16_t)y,
                                       (int16_t)w, (int16_t)h, 0);
        c->onActivate = activate;
        return c;
    };
    child(guiDrawRect, b.w + 2, 0, 16, b.h, nullptr);
    child(guiDrawDialogueButton, b.w + 4, 2, 12, 12, guiToggleDialogueWindow)->state = 255;
    child(guiDrawDialogueArrowA, b.w + 4, 16, 12, 12, guiDialogueScrollUp);
    child(guiDrawDialogueArrowB, b.w + 4, b.h - 14, 12, 12, guiDialogueScrollDown);
    if (delay) guiCloseWindowAfter(main, (uint32_t)delay);
}

void WinMain(ScriptRun &run) {
    ScriptSymbol *name = DecodeSymbolOperand(run, SymKind::Window);
    const int32_t given = ScriptTrunc(OptionalNumberOperand(run));
    const uint16_t colour = (uint16_t)(given ? given : GuiColour::RootFill);
    GuiWindow *w = guiCreateWindow(GUI_TOP_L, nullptr, TheDisplayMode.screen, guiDefaultHandler, guiDrawRect, 0, 0,
                                   (int16_t)(TheDisplayMode.width - 1), (int16_t)(TheDisplayMode.height - 1),
                                   colour);
    // The root is the screen itself, whatever the adjustment of the
    // authored coordinates: scaled again it would reach past the screen and
    // carry the anchored windows with it.
    w->x = w->y = 0;
    w->w = (int16_t)(TheDisplayMode.width - 1);
    w->h = (int16_t)(TheDisplayMode.height - 1);
    Name(name, w);
    gGuiRoot = w;
    gGuiScreen->root = w;
}

void WinFont(ScriptRun &run) { gScriptWindowFont = ResourceOperand(run); }

void WinDestroy(ScriptRun &run) {
    ScriptSymbol *s = DecodeSymbolOperand(run, SymKind::Window);
    const int32_t delay = ScriptTrunc(DecodeNumberOperand(run));
    if (GuiWindow *w = WindowOf(run, s)) guiCloseWindowAfter(w, (uint32_t)std::max(delay, 0));
}

void WinPopup(ScriptRun &run) {
    const char *text = DecodeTextOperand(run);
    const int32_t time = ScriptTrunc(DecodeNumberOperand(run));
    guiShowPopup(text, (uint32_t)std::max(time, 0));
}

void WinClone(ScriptRun &run) {
    const char *screen = DecodeTextOperand(run);
    ScriptSymbol *name = DecodeSymbolOperand(run, SymKind::Window);
    GuiWindow *source = WindowOf(run, DecodeSymbolOperand(run, SymKind::Window));
    const int16_t x = OptionalCoord(run), y = OptionalCoord(run);
    if (!source) return;
    GuiWindow *copy = guiCloneWindow(guiFindScreen(screen), source);
    Name(name, copy);
    if (x || y) {
        copy->x = x;
        copy->y = y;
    }
}

void ScreenBegin(ScriptRun &run) { guiBeginScreen(DecodeTextOperand(run)); }
void ScreenEnd(ScriptRun &run) { guiEndScreen(DecodeTextOperand(run)); }
void ScreenUse(ScriptRun &run) { guiSetScreen(DecodeTextOperand(run)); }

}  // namespace

const ScriptStatementRow kWindowStatements[] = {
    {56, WinBox},      {57, WinRect},    {58, Win3D},      {59, Win3DWire},    {60, WinVideo},
    {61, WinRast},     {62, WinOverlay}, {63, WinSwitch},  {64, WinString},    {65, WinText},
    {66, WinButton},   {67, WinInvisible}, {68, WinMeter}, {69, WinSystem},    {70, WinLogger},
    {71, WinProfile},  {72, WinCard},    {73, WinFont},    {74, WinDestroy},   {75, WinPopup},
    {76, WinDialog},   {77, WinMain},    {78, WinClone},   {79, ScreenBegin},  {80, ScreenEnd},
    {81, ScreenUse},   {0, nullptr},
};
