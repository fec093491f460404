// The front end's pages and their films, the home menu, entering the front
// end and the key handler every front-end screen shares.
#include <cstring>
#include <initializer_list>

#include "RES/font.h"
#include "RES/gfx2d.h"
#include "RES/resman.h"
#include "core/frame.h"
#include "core/options.h"
#include "gui/cockpit.h"
#include "gui/front.h"
#include "gui/gadgets.h"
#include "gui/options.h"
#include "gui/screen.h"
#include "gui/timeline.h"
#include "gui/window.h"
#include "platform/display.h"
#include "platform/keyboard.h"
#include "platform/video.h"
#include "script/career.h"
#include "script/mission.h"
#include "script/settings.h"

int16_t gFrontPage;
int16_t gFrontRequestedPage;
int gFrontHomeNode;
int gFrontSecretPosition;

namespace {

struct PageRow {
    const char *film;  // in "vek\resource\video\"
    int16_t next;
    const char *screen;
};

const PageRow kPages[kFrontPages] = {
    {nullptr, 1, nullptr},                      // 0: before the first build of the home page
    {nullptr, 2, nullptr},                      // 1
    {"Fspn.smk", 2, "FrontHome"},               // 2: home loop
    {nullptr, 5, nullptr},                      // 3
    {"Fros.smk", 5, nullptr},                   // 4: home to roster
    {"Frosstat.smk", 5, "FrontRoster"},         // 5: roster loop
    {"Fcr.smk", 2, nullptr},                    // 6: roster to home
    {"Frup.smk", 5, nullptr},                   // 7: previous slot
    {"Frdwn.smk", 5, nullptr},                  // 8: next slot
    {"Fhop.smk", 10, nullptr},                  // 9: roster to timeline
    {nullptr, 10, "FrontTime"},                 // 10
    {"Fhcl.smk", 5, nullptr},                   // 11: timeline to roster
    {"Fochp.smk", 13, nullptr},                 // 12: home to options
    {nullptr, 13, "OptionScreen"},              // 13
    {"Fcchp.smk", 2, nullptr},                  // 14: options to home
    {nullptr, 16, nullptr},                     // 15
    {nullptr, 16, nullptr},                     // 16
    {nullptr, 2, nullptr},                      // 17
    {"Foflm.smk", 19, nullptr},                 // 18: home to credits
    {"Fcredits.smk", 19, "FrontCredits"},       // 19: credits loop
    {"Fcflm.smk", 2, nullptr},                  // 20: credits to home
    {"Faop.smk", 22, nullptr},                  // 21: home to action
    {nullptr, 22, "FrontAction"},               // 22
    {"Facl.smk", 2, nullptr},                   // 23: action to home
};

bool ValidPage(int page) { return page >= 0 && page < kFrontPages; }

bool MissionTableLoaded() {
    for (const MissionRecord &r : gMissionTable)
        if (r.missionNumber > 0) return true;
    return false;
}

// The film of the current page and whether it could not be opened (a
// missing looping film is not tried again every frame).
Smack *gPageFilm;
int gPageFilmOf = -1;
bool gPageFilmMissing;

bool OpenPageFilm(int page) {
    const char *film = FrontPageFilm(page);
    if (!film) return false;
    gPageFilm = nullptr;
    bool opened;
    if (page == FrontPage::Credits) {
        // The credits film opens by its full path.
        char path[128] = "vek\\resource\\video\\";
        std::strncat(path, film, sizeof path - std::strlen(path) - 1);
        opened = VideoOpenInWindowRaw(&gPageFilm, path, 0, 0, 0, 0);
    } else {
        opened = VideoOpenInWindow(&gPageFilm, film, 0, 0, 0, 0);
    }
    if (!opened) gPageFilm = nullptr;
    gPageFilmOf = page;
    gPageFilmMissing = !opened;
    return opened;
}

// One frame of the page film into the rectangle; false when it has ended
// (the film layer has then closed it).
bool StepPageFilm(const int16_t rect[4]) {
    if (!gPageFilm) return false;
    if (VideoFrameToRect(gPageFilm, rect)) return true;
    gPageFilm = nullptr;
    return false;
}

// ---- Titles of the home page's film window ----------------------------------------

const char *PageTitle(int page) {
    struct Title {
        const char *screen;
        const char *text[3];
    };
    static const Title kTitles[] = {
        {"FrontHome", {"Main Menu", "Menu principal", "Hauptmen\xFC"}},
        {"FrontRoster", {"Roster", "Equipage", "Mannschaft"}},
        {"FrontTime", {"Career", "Carri\xE8re", "Laufbahn"}},
        {"OptionScreen", {"Options", "Options", "Optionen"}},
        {"FrontCredits", {"Credits", "Cr\xE9" "dits", "Mitwirkende"}},
        {"FrontAction", {"Action", "Action", "Action"}},
    };
    // A transition takes the title of the page it leads to.
    const char *screen = FrontPageScreen(page);
    if (!screen) screen = FrontPageScreen(FrontPageNext(page));
    if (!screen) return nullptr;
    for (const Title &t : kTitles)
        if (!std::strcmp(t.screen, screen)) return t.text[gLanguage < 3 ? gLanguage : 0];
    return nullptr;
}

void DrawHomeFilm(GuiWindow *window) {
    frontDrawPageFilm(window);
    ClipRect r;
    const BitmapFont *font = guiFont(window->font);
    const char *title = PageTitle(gFrontPage);
    if (font && title && guiGadgetRect(window, &r))
        guiDrawFontText(guiScreen(), r.left + 6, r.top + 6 + font->lineHeight, title, font, &r);
}

// ---- Home menu ---------------------------------------------------------------------

const int16_t kNodePages[4] = {4, 21, 18, 12};  // roster, action, credits, options

void RequestPage(int page) { gFrontRequestedPage = int16_t(page); }
void ToOptions(GuiWindow *) { RequestPage(12); }
void ToRoster(GuiWindow *) { RequestPage(4); }
void ToAction(GuiWindow *) { RequestPage(21); }
void ToCredits(GuiWindow *) { RequestPage(18); }
void Quit(GuiWindow *);

void SelectNode(int node) {
    if (node == gFrontHomeNode) return;
    gFrontHomeNode = node;
    guiMarkRedraw();
}

int8_t UpdateSquare(GuiWindow *window) {
    if (gFrontPage == FrontPage::Home && (window->flags & GuiFlag::Hot)) SelectNode(int(window->value));
    return guiDefaultHandler(window);
}

// The selected node's square: corner brackets 10 pixels inside it.
void DrawSquare(GuiWindow *window) {
    ClipRect r;
    if (int(window->value) != gFrontHomeNode || !guiGadgetRect(window, &r)) return;
    Surface *s = guiScreen();
    const int x0 = r.left + 10, y0 = r.top + 10, x1 = r.right - 10, y1 = r.bottom - 10;
    constexpr int kArm = 16, kColour = 64;
    const struct {
        int x, y, dx, dy;
    } corners[4] = {{x0, y0, 1, 1}, {x1, y0, -1, 1}, {x0, y1, 1, -1}, {x1, y1, -1, -1}};
    for (const auto &c : corners) {
        DrawLineClipped(s, c.x, c.y, c.x + c.dx * (kArm - 1), c.y, kColour, &r);
        DrawLineClipped(s, c.x, c.y, c.x, c.y + c.dy * (kArm - 1), kColour, &r);
    }
}

void Quit(GuiWindow *) {
    if (gFrontShellHooks.quit) gFrontShellHooks.quit();
}

// ---- The hidden key sequence -----------------------------------------------------------

// The ten scan codes, stored scrambled.
constexpr uint8_t kSecretMask = 0x5A;
const uint8_t kSecret[10] = {47 ^ kSecretMask, 18 ^ kSecretMask, 38 ^ kSecretMask, 20 ^ kSecretMask,
                             19 ^ kSecretMask, 30 ^ kSecretMask, 45 ^ kSecretMask, 23 ^ kSecretMask,
                             31 ^ kSecretMask, 2 ^ kSecretMask};

void SecretKey(int scan) {
    if (scan == (kSecret[gFrontSecretPosition] ^ kSecretMask)) {
        if (++gFrontSecretPosition == 10) {
            gFrontSecretPosition = 0;
            gDeveloperKeys = gDeveloperKeys ? 0 : 1;
        }
        return;
    }
    gFrontSecretPosition = 0;
}

bool OnCockpitOptions() { return gGuiScreen == guiFindScreen("OptionScreen") && StationId == 5; }

void Escape() {
    if (OnCockpitOptions()) {
        guiSaveSettings();
        return;
    }
    const int page = gFrontPage;
    if (!FrontPageScreen(page) || !ValidPage(page + 1) || FrontPageNext(page + 1) == page) return;
    guiSetScreen("FrontRoster");
    RequestPage(page + 1);
    dunWriteCaptainSlot();
}

void Enter() {
    switch (gFrontPage) {
    case FrontPage::Home: RequestPage(kNodePages[gFrontHomeNode & 3]); break;
    case FrontPage::Roster: FrontActivateSlot(); break;
    case FrontPage::Time:
        for (int b = 0; b < 3; ++b)
            if (gFrontPlayAvailable[b]) {
                FrontPressPlay(b);
                break;
            }
        break;
    default: break;
    }
}

void Arrow(int scan) {
    if (gFrontPage == FrontPage::Home) {
        SelectNode(scan == 72 || scan == 80 ? gFrontHomeNode ^ 2 : gFrontHomeNode ^ 1);
    } else if (gFrontPage == FrontPage::Roster) {
        if (scan == 72) FrontPreviousSlot();
        else if (scan == 80) FrontNextSlot();
    } else if (gFrontPage == FrontPage::Time) {
        FrontTimelineKey(scan);
    }
}

void DebugCommand(int scan) {
    if (!gDeveloperKeys) return;
    const int c = gCareerMission;
    switch (scan) {
    case 11:  // 0
        dunCompleteAllMissions();
        break;
    case 13:  // =
        if (c >= 0 && c < kCareerMissions) gCaptainSlot.played[c] = gCaptainSlot.played[c] == 1 ? 2 : 1;
        break;
    case 14:  // Backspace
        dunRecordMissionResult();
        dunRebuildAvailableMissions();
        break;
    case 25:  // P
        gScreenshotRequest = 1;
        break;
    default: break;
    }
}

}  // namespace

const char *FrontPageScreen(int page) { return ValidPage(page) ? kPages[page].screen : nullptr; }
const char *FrontPageFilm(int page) { return ValidPage(page) ? kPages[page].film : nullptr; }
int FrontPageNext(int page) { return ValidPage(page) ? kPages[page].next : page; }

FrontShellHooks gFrontShellHooks;

void SetFrontShellHooks(const FrontShellHooks *hooks) { gFrontShellHooks = hooks ? *hooks : FrontShellHooks{}; }

void ResetFrontEnd() {
    FrontClosePageFilm();
    gFrontPage = gFrontRequestedPage = 0;
    gFrontHomeNode = gFrontSecretPosition = 0;
    gFrontStartMode = 1;
    std::memset(gFrontPlayAvailable, 0, sizeof gFrontPlayAvailable);
    gFrontScriptPresent = gFrontNameEntry = gFrontFollowOnLaunch = gFrontActionMode = gFrontOnRosterPage = 0;
    gFrontLoadTestCursor = 0;
    gFrontLoadingWindow = nullptr;
    gFlightPalette = nullptr;
    gFrontConfirmCode = 0;
    gDebriefHoldTime = 0;
    gDefaultCaptainCalls = 0;
    gDefaultCaptainReplaced = 0;
    SetDefaultCaptainName(nullptr);
}

void FrontClosePageFilm() {
    if (gPageFilm) VideoClose(gPageFilm);
    gPageFilm = nullptr;
    gPageFilmOf = -1;
    gPageFilmMissing = false;
}

void frontDrawPageFilm(GuiWindow *window) {
    ClipRect r;
    const bool shown = guiGadgetRect(window, &r);
    const int16_t rect[4] = {r.left, r.top, r.right, r.bottom};
    if (gFrontRequestedPage != gFrontPage) {
        gFrontPage = gFrontRequestedPage;
        if (const char *screen = FrontPageScreen(gFrontPage)) guiSetScreen(screen);
        FrontClosePageFilm();
        if (OpenPageFilm(gFrontPage)) {
            if (shown && !StepPageFilm(rect)) RequestPage(FrontPageNext(gFrontPage));
        } else {
            RequestPage(FrontPageNext(gFrontPage));
        }
    } else if (FrontPageFilm(gFrontPage)) {
        if (gPageFilmOf != gFrontPage || (!gPageFilm && !gPageFilmMissing)) OpenPageFilm(gFrontPage);
        if (gPageFilmMissing || (shown && !StepPageFilm(rect))) RequestPage(FrontPageNext(gFrontPage));
    }
    if (shown) {
        Surface *s = guiScreen();
        guiDrawFrame(s, 0, r.left, r.top, r.right, r.bottom);
        guiDrawFrame(s, 0, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
    }
    guiReload(window);
}

void frontSetPalette() {
    gLaunchRequest = 0;
    guiClearScreen();
    auto *palette = static_cast<ResourceHandle *>(GetScriptSymbolValue("FRNPalette"));
    const uint8_t *entries = palette ? static_cast<const uint8_t *>(resmanLoad(palette)) : nullptr;
    if (!entries) return;
    if (gCurrentPalette != entries) gFlightPalette = gCurrentPalette;
    gCurrentPalette = entries;
    DisplaySetPalette(entries);
    DisplayLoadPalette(entries);
}

void frontBuildHome() {
    if (!MissionTableLoaded() && dunLoadPrecedence()) dunRebuildAvailableMissions();
    gKeyHandler = frontKeyHandler;
    if (GuiScreen *s = guiFindScreen("FrontHome")) s->keyHandler = frontKeyHandler;
    for (const char *item : {"FrRos", "FrAct", "FrCrd", "FrSys"}) guiBindDraw(item, guiDrawMenuItem);
    const struct {
        const char *name;
        void (*activate)(GuiWindow *);
    } kItems[] = {{"FrSys", ToOptions}, {"FrSysSq", ToOptions}, {"FrRos", ToRoster}, {"FrRosSq", ToRoster},
                  {"FrActSq", ToAction}, {"FrCrd", ToCredits}, {"FrCrdSq", ToCredits}};
    for (const auto &item : kItems) guiBindActivate(item.name, item.activate);
    const char *const kSquares[4] = {"FrRosSq", "FrActSq", "FrCrdSq", "FrSysSq"};
    for (int node = 0; node < 4; ++node)
        if (GuiWindow *square = guiBindDraw(kSquares[node], DrawSquare)) {
            square->value = float(node);
            square->update = UpdateSquare;
        }
    if (GuiWindow *film = guiBindDraw("HomeMov", DrawHomeFilm)) {
        if (!film->font) film->font = static_cast<ResourceHandle *>(GetScriptSymbolValue("HFont"));
    }
    guiBindActivate("FExitButt", Quit);
    guiBindDraw("FExitButt", guiDrawCornerArrow);
    gFrontHomeNode = 0;
    gFrontPage = 0;
    gFrontRequestedPage = 1;
}

void frontKeyHandler(uint16_t key) {
    if (gFrontNameEntry) {
        FrontNameEntryKey(key);
        return;
    }
    const int scan = key >> 8;
    if (KeyDownTable[42]) {
        switch (scan) {
        case 16:  // Q
            if (gFrontPage == FrontPage::Home) {
                guiClearScreen();
                if (gFrontShellHooks.quit) gFrontShellHooks.quit();
            } else {
                Escape();
            }
            break;
        case 24:  // O
            if (OnCockpitOptions()) guiSaveSettings();
            break;
        default: DebugCommand(scan); break;
        }
        return;
    }
    switch (scan) {
    case 1: Escape(); break;
    case 28: Enter(); break;
    case 72:
    case 80:
    case 75:
    case 77: Arrow(scan); break;
    default: SecretKey(scan); break;
    }
}
