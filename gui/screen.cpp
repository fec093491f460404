// The screen table, defining screens from the GUI scripts, switching
// between them and binding routines to windows by name.
#include "gui/screen.h"

#include <cstring>

#include "RES/resman.h"
#include "core/log.h"
#include "gui/cockpit.h"
#include "gui/gadgets.h"
#include "gui/gui.h"
#include "hud/maps.h"
#include "present/views.h"
#include "script/mission.h"
#include "world/messages.h"

GuiScreen gGuiScreens[kGuiScreenCount];
GuiScreen gGuiNullScreen = {"Null", nullptr, nullptr, 0, kGuiNoPanel, nullptr, nullptr, nullptr};
GuiScreen *gGuiScreen = &gGuiNullScreen;
GuiKeyProc gKeyHandler;
uint16_t gGuiPaneCount;
const char *gGuiScreenName;
GuiWindow *gGuiBound;
uint8_t gGuiViewChanged;
uint8_t gGuiCockpitState;

namespace {

// The name last switched to, kept in our own copy: callers pass texts of
// scripts that a mission's end throws away.
char gLastName[64];

// Gives the records of a screen's old windows back: a screen defined again
// (a mission script that declares its screen at every start) would
// otherwise use up the pool.
void FreeWindowList(GuiScreen *screen) {
    for (GuiWindow *w = screen->windows; w;) {
        GuiWindow *next = w->next;
        if (w->flags & GuiFlag::InUse) {
            if (w->port) dunMsgFreeReceiver(w->port);
            w->port = 0;
            w->flags = 0;
            if (gGuiHotWindow == w) gGuiHotWindow = nullptr;
            if (gGuiLastCreated == w) gGuiLastCreated = nullptr;
            if (gGuiUpdating == w) gGuiUpdating = nullptr;
            if (gGuiRoot == w) gGuiRoot = nullptr;
        }
        w = next;
    }
    for (GuiWindow &w : gGuiWindows)
        if ((w.flags & GuiFlag::InUse) && w.relTarget && !(w.relTarget->flags & GuiFlag::InUse)) w.relTarget = nullptr;
    screen->windows = nullptr;
    screen->root = nullptr;
    screen->viewWindow = nullptr;
}

GuiWindow *Lookup(const char *name) {
    gGuiBound = static_cast<GuiWindow *>(GetScriptSymbolValue(name));
    // A name that stands for something else than a live window binds nothing.
    if (gGuiBound && (gGuiBound < gGuiWindows || gGuiBound >= gGuiWindows + kGuiWindowCount ||
                      !(gGuiBound->flags & GuiFlag::InUse)))
        gGuiBound = nullptr;
    return gGuiBound;
}

}  // namespace

void guiResetScreens() {
    for (GuiScreen &s : gGuiScreens) s = GuiScreen{};
    gKeyHandler = guiCockpitKeyHandler;
    gGuiPaneCount = 0;
    gGuiCockpitState = 0;
}

void guiRegisterScreen(const char *name, GuiBuildProc build, GuiKeyProc keyHandler) {
    for (GuiScreen &s : gGuiScreens) {
        if (s.build) continue;
        s = GuiScreen{};
        s.name = name;
        s.build = build;
        s.keyHandler = keyHandler;
        s.panel = kGuiNoPanel;
        return;
    }
    dunFatalError("Max Screen Limit Exceeded!");
}

GuiScreen *guiFindScreen(const char *name) {
    if (!name) return nullptr;
    for (GuiScreen &s : gGuiScreens)
        if (s.build && s.name && !std::strcmp(s.name, name)) return &s;
    return nullptr;
}

GuiScreen *guiSetScreenPanel(const char *name, uint16_t panel) {
    GuiScreen *s = guiFindScreen(name);
    if (s) s->panel = panel;
    return s;
}

void guiBeginScreen(const char *name) {
    gGuiPaneCount = 0;
    GuiScreen *s = guiFindScreen(name);
    if (!s) return;
    FreeWindowList(s);
    gGuiScreen = s;
    gGuiRoot = nullptr;
}

void guiEndScreen(const char *name) {
    GuiScreen *s = guiFindScreen(name);
    if (!s) return;
    s->build();
    s->paneCount = gGuiPaneCount;
}

void guiSetScreen(const char *name) {
    if (!name) return;
    if (!gLastName[0] || std::strcmp(gLastName, name)) {
        gGuiViewChanged = 1;
        std::strncpy(gLastName, name, sizeof gLastName - 1);
        gGuiScreenName = gLastName;
    }
    P3DResetViewCamera();
    const bool wasFull = gGuiFullScreen != 0;
    gGuiFullScreen = 0;
    if (StationId == 5) guiSaveSettings();
    if (!gGuiWeaponsHardpointView) gGuiWeaponsHardpointView = 1;
    gGuiCockpitState = 0;
    if (gScriptPause) gScriptPause = 0;
    gDocViewerOpen = 0;
    gObjectivesOpen = 0;
    NavMapCloseIfOpen();
    gLocalSpaceOpen = 0;
    gMapOverlayOpen = 0;

    GuiScreen *s = guiFindScreen(name);
    if (!s) return;
    if (s == gGuiScreen && !wasFull) return;
    gGuiScreen = s;
    gGuiRoot = s->root;
    if (gGuiRoot && !gGuiRoot->userData && gGuiRoot->font) resmanLoad(gGuiRoot->font);
    gKeyHandler = s->keyHandler;
    gGuiPaneCount = s->paneCount;
    gGuiPanel = s->panel;
    // The full-screen view shows the 3D view of the screen it was entered from.
    if (s->viewWindow) gGuiMainView = s->viewWindow;
    if (gGuiComArmOpen) {
        gGuiComArmOpen = 0;
        guiCloseComArmVideos();
        guiMarkRedraw();
        guiUpdate();
    }
    guiMarkRedraw();
}

namespace {

// Stores a routine into one slot of the named window.
template <class Routine>
GuiWindow *Bind(const char *name, Routine GuiWindow::*slot, Routine routine) {
    if (GuiWindow *w = Lookup(name)) w->*slot = routine;
    return gGuiBound;
}

}  // namespace

GuiWindow *guiFindWindow(const char *name) { return Lookup(name); }

GuiWindow *guiBindPress(const char *name, GuiDrawProc routine) { return Bind(name, &GuiWindow::onPress, routine); }
GuiWindow *guiBindActivate(const char *name, GuiDrawProc routine) {
    return Bind(name, &GuiWindow::onActivate, routine);
}
GuiWindow *guiBindUpdate(const char *name, GuiUpdateProc routine) { return Bind(name, &GuiWindow::update, routine); }
GuiWindow *guiBindDraw(const char *name, GuiDrawProc routine) { return Bind(name, &GuiWindow::draw, routine); }
GuiWindow *guiBindEvent(const char *name, GuiDrawProc routine) { return Bind(name, &GuiWindow::onEvent, routine); }
