// The command station's read-outs, load-out buttons, briefing player, contact
// card and the dialogue's speaker list and reply buttons.
#include <strings.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "RES/gfx2d.h"
#include "ai/contacts.h"
#include "core/frame.h"
#include "core/options.h"
#include "gui/cockpit.h"
#include "gui/feed.h"
#include "gui/gadgets.h"
#include "gui/gui.h"
#include "gui/keys.h"
#include "gui/nav.h"
#include "gui/screen.h"
#include "gui/window.h"
#include "hud/maps.h"
#include "platform/joystick.h"
#include "platform/keyboard.h"
#include "script/briefing.h"
#include "script/dialogue.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/script.h"

uint8_t gGuiChoicesShown;
int8_t gGuiHoverSpeaker = -1;
int32_t gGuiHoverChoice = -1;
uint8_t gGuiLoadoutPressed;
int32_t gGuiLoadoutButton;
uint8_t gGuiLoadoutMirrorShown = 1;
uint8_t gGuiAlien;
GuiWindow *gGuiControls[kGuiControlSlots];

namespace {

constexpr int kSpeakerRow = 14;
constexpr int kCardRefresh = 50;

const char *ByLanguage(const char *const texts[3]) { return texts[gLanguage < 3 ? gLanguage : 0]; }

const BitmapFont *NamedFont(const char *name) {
    return guiFont(static_cast<ResourceHandle *>(GetScriptSymbolValue(name)));
}
const BitmapFont *WindowFont(const GuiWindow *w) {
    const BitmapFont *f = guiFont(w->font);
    return f ? f : NamedFont("GFont");
}

// ---- Read-outs -------------------------------------------------------------------------

int8_t FpsUpdate(GuiWindow *w) {
    w->value = float(guiFpsMeterValue(dunFrameStep, w->max > 100.0f));
    return guiDefaultHandler(w);
}

int8_t ClockUpdate(GuiWindow *w) {
    w->max = 20000.0f;
    w->value = float(dunGameClock % 20001);
    return guiDefaultHandler(w);
}

int8_t AnalogueUpdate(GuiWindow *w) {
    static const JoyAxis kAxes[4] = {JOY_X, JOY_Y, JOY_RUDDER, JOY_THROTTLE};
    w->value = float(JoystickAxes[kAxes[w->state & 3]]);
    return guiDefaultHandler(w);
}

int8_t CardUpdate(GuiWindow *w) {
    w->value -= float(dunFrameStep);
    Contact *current = dunCurrentContact && dunCurrentContact->object ? dunCurrentContact : nullptr;
    if (!current) {
        if (w->userPtr) guiReload(w);
        w->userPtr = nullptr;
    } else if (w->value < 0.0f || w->userPtr != current) {
        w->value = float(kCardRefresh);
        w->userPtr = current;
        guiReload(w);
    }
    return guiDefaultHandler(w);
}

int8_t FilterNameUpdate(GuiWindow *w) {
    static const char *const kNames[8][3] = {
        {"SHIPS", "VAISSEAUX", "SCHIFFE"},
        {"MUNITIONS", "MUNITIONS", "MUNITION"},
        {"DEBRIS", "DEBRIS", "TRUEMMER"},
        {"-", "-", "-"},
        {"BODIES", "ASTRES", "KOERPER"},
        {"-", "-", "-"},
        {"-", "-", "-"},
        {"NAVIGATION", "NAVIGATION", "NAVIGATION"},
    };
    const char *text = ByLanguage(kNames[dunContactFilter & 7]);
    if (w->text != text) {
        w->text = text;
        guiReload(w);
    }
    return guiDefaultHandler(w);
}

int8_t SortNameUpdate(GuiWindow *w) {
    static const char *const kModes[3][3] = {
        {"RANGE", "DISTANCE", "ENTFERNUNG"}, {"SIGNAL", "SIGNAL", "SIGNAL"}, {"SPEED", "VITESSE", "TEMPO"}};
    const char *text = ByLanguage(kModes[dunContactSortMode % 3]);
    if (w->text != text) {
        w->text = text;
        guiReload(w);
    }
    return guiDefaultHandler(w);
}

void CycleFilter(GuiWindow *) { guiCycleContactFilter(); }

// ---- Load-out ----------------------------------------------------------------------------

void LoadoutButton(GuiWindow *w) { guiPressLoadoutButton(int(w->value)); }

// ---- Briefing player ---------------------------------------------------------------------

void BriefPlay(GuiWindow *) { gBriefingPaused = 0; }
void BriefPause(GuiWindow *) { gBriefingPaused = !gBriefingPaused; }
void BriefBack(GuiWindow *) {
    guiResetTextFeed();
    gBriefingSkip = gBriefingBack = 1;
    gBriefingPaused = 0;
}
void BriefForward(GuiWindow *) {
    guiResetTextFeed();
    gBriefingSkip = 1;
    gBriefingPaused = 0;
}

// ---- Dialogue ------------------------------------------------------------------------------

void ChooseSpeaker(const char *name) {
    guiSetSpeaker(name);
    gGuiChoicesShown = 1;
    dunSelectDialogueSpeaker(name);
    if (gGuiChoiceWindow) guiReload(gGuiChoiceWindow);
}

void ClearRect(const ClipRect &r) {
    if (Surface *s = guiScreen()) FillRect(s, 0, r.left, r.top, r.right, r.bottom);
}

}  // namespace

int guiFpsMeterValue(int frameCentiseconds, bool perSecond) {
    if (frameCentiseconds <= 0) return 100;
    if (!perSecond) return 100 / frameCentiseconds;
    const int fps = 1000 / frameCentiseconds;
    return fps > 250 ? 250 : fps;
}

void guiPressLoadoutButton(int number) {
    gGuiLoadoutPressed = 1;
    gGuiLoadoutButton = number;
    if (gMainScriptPc) ScriptProcessor(&gMainScriptPc, 1);
}

int guiDialogueSpeakers(const char *names[], int max) {
    int n = 0;
    for (DialogueChoice *c = gDialogueChoices; c; c = c->next) {
        if (!c->addressee) continue;
        bool seen = false;
        for (int i = 0; i < n && !seen; ++i) seen = !strcasecmp(names[i], c->addressee);
        if (seen) continue;
        if (n >= max) break;
        names[n++] = c->addressee;
    }
    return n;
}

void guiDrawDialogueSpeakers(GuiWindow *window) {
    ClipRect r;
    if (!window || !guiGadgetRect(window, &r)) return;
    gGuiChoiceWindow = window;
    ClearRect(r);
    if (gGuiChoicesShown) {
        // The choices may all have gone with a reply or a cleared dialogue.
        if (gDialogueChoiceCount == 0 && !gDialogueChoices) gGuiChoicesShown = 0;
        return;
    }
    const char *names[16];
    const int rows = (r.bottom - r.top + 1) / kSpeakerRow;
    const int n = guiDialogueSpeakers(names, rows < 16 ? rows : 16);
    if (n == 1) {
        ChooseSpeaker(names[0]);
        return;
    }
    gGuiHoverSpeaker = -1;
    const BitmapFont *normal = WindowFont(window), *highlight = NamedFont("HFont");
    if (!highlight) highlight = normal;
    for (int i = 0; i < n; ++i) {
        const int top = r.top + i * kSpeakerRow;
        const bool hot = gMouse.x >= r.left && gMouse.x <= r.right && gMouse.y >= top && gMouse.y < top + kSpeakerRow;
        if (hot) gGuiHoverSpeaker = int8_t(i);
        const BitmapFont *f = hot ? highlight : normal;
        if (f) guiDrawFontText(guiScreen(), r.left + 2, top + kSpeakerRow - 3, names[i], f, &r);
    }
    guiReload(window);
}

void guiClickDialogueSpeakers(GuiWindow *window) {
    if (gGuiChoicesShown) {
        gGuiChoicesShown = 0;
        if (window) guiReload(window);
        return;
    }
    if (!window) return;
    const int row = (gMouse.y - window->rect[1]) / kSpeakerRow;
    const char *names[16];
    const int n = guiDialogueSpeakers(names, 16);
    if (row < 0 || row >= n) return;
    gSpeakerClipMode = 1;
    ChooseSpeaker(names[row]);
}

void guiDrawDialogueChoice(GuiWindow *window) {
    if (!window) return;
    const int index = int(window->value);
    const bool shown = gGuiChoicesShown && index >= 0 && index < gDialogueChoiceCount && gDialogueChoiceSlots[index];
    const DialogueNode *node = shown ? gDialogueChoiceSlots[index]->node : nullptr;
    const char *text = node ? (node->shortText ? node->shortText : node->text) : "";
    window->text = text ? text : "";
    if (!window->font) window->font = static_cast<ResourceHandle *>(GetScriptSymbolValue("GFont"));
    guiDrawButton(window);
    window->text = nullptr;
    if (shown && gMouse.x >= window->rect[0] && gMouse.x <= window->rect[2] && gMouse.y >= window->rect[1] &&
        gMouse.y <= window->rect[3])
        gGuiHoverChoice = index;
    // The buttons change with the dialogue: they draw every frame.
    guiReload(window);
}

void guiClearDialogueChoice(GuiWindow *window) {
    ClipRect r;
    if (window && guiGadgetRect(window, &r)) {
        ClearRect(r);
        const int i = gGuiHoverChoice;
        const DialogueNode *node =
            i >= 0 && i < gDialogueChoiceCount && gDialogueChoiceSlots[i] ? gDialogueChoiceSlots[i]->node : nullptr;
        const char *text = node && node->text ? node->text : "    ";
        if (const BitmapFont *f = WindowFont(window))
            guiDrawFontText(guiScreen(), r.left + 2, r.bottom - 3, text, f, &r);
        guiReload(window);
    }
    gGuiHoverChoice = -1;
}

bool guiChooseDialogueReply(int index) {
    if (!gGuiChoicesShown || index < 0 || index >= gDialogueChoiceCount || !gDialogueChoiceSlots[index]) return false;
    DialogueChoice *choice = gDialogueChoiceSlots[index];
    if (choice->node && choice->node->text) guiSetSpeaker(choice->addressee);
    // The reply frees every waiting line of its dialogue.
    gGuiChoicesShown = 0;
    dunPlayDialogueChoice(choice);
    gGuiHoverChoice = -1;
    return true;
}

void guiClickDialogueChoice(GuiWindow *window) {
    if (window) guiChooseDialogueReply(int(window->value));
}

GuiWindow *guiControlName(const char *prefix, int index) {
    char name[32];
    std::snprintf(name, sizeof name, "Cd%s%i", prefix, index);
    GuiWindow *w = guiBindUpdate(name, [](GuiWindow *c) -> int8_t {
        const int i = int(c->max);
        if (i >= 0 && i < kGuiControlSlots) gGuiControls[i] = c;
        c->value = float(i);
        return guiDefaultHandler(c);
    });
    if (w) w->max = float(index);
    return w;
}

void guiBuildComPanels() {
    guiBindUpdate("FPSMeter", FpsUpdate);
    if (GuiWindow *w = guiFindWindow("FPSMeter")) w->max = 250.0f;
    if (GuiWindow *w = guiBindUpdate("FPSMeterN", FpsUpdate)) w->max = 100.0f;
    guiBindUpdate("SpeedMeter", ClockUpdate);
    guiBindUpdate("SpeedNum", ClockUpdate);
    guiBindUpdate("CMseX", guiNavMouseXUpdate);
    guiBindUpdate("CMseY", guiNavMouseYUpdate);
    static const char *const kAnalogue[4] = {"Anal0", "Anal1", "Anal2", "Anal3"};
    for (int i = 0; i < 4; ++i)
        if (GuiWindow *w = guiBindUpdate(kAnalogue[i], AnalogueUpdate)) w->state = uint8_t(i);
    if (GuiWindow *w = guiBindUpdate("CInfC", CardUpdate)) {
        w->draw = guiDrawContactSlot;
        w->userPtr = nullptr;
    }
    if (GuiWindow *w = guiBindUpdate("CdCM", FilterNameUpdate)) w->onActivate = CycleFilter;
    guiBindUpdate("CdCSor", SortNameUpdate);
    guiBindDraw("CdCSBar", guiDrawScrollBar);
    for (int i = 0; i < 4; ++i) guiControlName("Ctl", i);
    guiBindActivate("AlienBt", [](GuiWindow *) { gGuiAlien = !gGuiAlien; });
    guiBindUpdate("AlFill", guiDefaultHandler);

    // The load-out panels show with the overlay panel.
    static const char *const kPanels[] = {"LdWin",       "LdWinRM",     "LdWinLM",     "LdWinCM", "LdWinSubRM0",
                                          "LdWinSubRM1", "LdWinSubRM2", "LdWinSubRM3", "LdWinGun"};
    for (const char *name : kPanels)
        if (GuiWindow *w = guiFindWindow(name)) {
            w->visible = &gMapOverlayOpen;
            w->flags |= GuiFlag::Visibility;
        }
    for (const char *name : {"LdWinLM", "LdWinRM", "LdWinCM"})
        if (GuiWindow *w = guiBindDraw(name, guiDrawWireIcon))
            w->font = static_cast<ResourceHandle *>(GetScriptSymbolValue("MD2_OUTER"));
    static const char *const kButtons[7] = {"LdBt1", "LdBt2", "LdBt3", "LdBt4", "LdBt5", "LdBox", "LdBt0"};
    for (int i = 0; i < 7; ++i) {
        GuiWindow *w = guiBindEvent(kButtons[i], LoadoutButton);
        if (!w) continue;
        w->value = float(i + 1);
        w->flags |= GuiFlag::Visibility;
        w->visible = i == 6 ? &gGuiLoadoutMirrorShown : &gMapOverlayOpen;
    }

    guiBindActivate("BRFCPlay", BriefPlay);
    guiBindActivate("BRFCPse", BriefPause);
    guiBindActivate("BRFCBck", BriefBack);
    guiBindActivate("BRFCFwd", BriefForward);
    for (const char *name : {"BRFCPlay", "BRFCPse", "BRFCBck", "BRFCFwd"})
        if (GuiWindow *w = guiFindWindow(name)) {
            w->visible = &gBriefingOpen;
            w->flags |= GuiFlag::Visibility;
        }

    gGuiChoicesShown = 0;
    gGuiHoverSpeaker = -1;
    gGuiHoverChoice = -1;
    // A window of an earlier build is gone with its screen.
    gGuiChoiceWindow = nullptr;
    if (GuiWindow *w = guiBindDraw("CmDialogueWindow", guiDrawDialogueSpeakers)) {
        w->onActivate = guiClickDialogueSpeakers;
        gGuiChoiceWindow = w;
    }
    guiBindDraw("CmComArmDummy", guiDrawComArmWindow);
    static const char *const kChoices[5] = {"CmComButA", "CmComButB", "CmComButC", "CmComButD", "CmComButE"};
    for (int i = 0; i < 5; ++i)
        if (GuiWindow *w = guiBindDraw(kChoices[i], guiDrawDialogueChoice)) {
            w->onActivate = guiClickDialogueChoice;
            w->value = float(i);
        }
    guiBindDraw("CmComArmArm", guiClearDialogueChoice);
}
