// Screens: named sets of windows with their own key handler (every cockpit
// station, side view and front-end page is one), switching between them,
// binding routines to windows by name, and the GUI's start-up.
#pragma once

#include <cstdint>

#include "gui/window.h"

using GuiBuildProc = void (*)();
using GuiKeyProc = void (*)(uint16_t key);

struct GuiScreen {
    const char *name;          // compared exactly
    GuiBuildProc build;        // null: the entry is free
    GuiKeyProc keyHandler;
    uint16_t paneCount;        // 3D view panes among its windows
    uint16_t panel;            // station panel 0 COM .. 3 ENG; 0xFFFF for others
    GuiWindow *root;
    GuiWindow *viewWindow;     // its 3D view window (WIN_3D)
    GuiWindow *windows;        // head of its window list
};

constexpr int kGuiScreenCount = 28;

extern GuiScreen gGuiScreens[kGuiScreenCount];
extern GuiScreen gGuiNullScreen;  // "Null": current before any screen is chosen
extern GuiScreen *gGuiScreen;     // the current screen
// The current screen's key handler; the game frame gives it every queued key.
extern GuiKeyProc gKeyHandler;
extern uint16_t gGuiPaneCount;    // 3D view panes of the screen being defined or shown
extern const char *gGuiScreenName;  // the name last passed to guiSetScreen
extern GuiWindow *gGuiBound;      // the last window a bind call found
extern uint8_t gGuiViewChanged;   // the 3D view's camera changed screen

void guiResetScreens();
void guiRegisterScreen(const char *name, GuiBuildProc build, GuiKeyProc keyHandler);
GuiScreen *guiFindScreen(const char *name);
GuiScreen *guiSetScreenPanel(const char *name, uint16_t panel);
void guiBeginScreen(const char *name);
void guiEndScreen(const char *name);
void guiSetScreen(const char *name);

// The live window of that name, or null.
GuiWindow *guiFindWindow(const char *name);
GuiWindow *guiBindPress(const char *name, GuiDrawProc routine);
GuiWindow *guiBindActivate(const char *name, GuiDrawProc routine);
GuiWindow *guiBindUpdate(const char *name, GuiUpdateProc routine);
GuiWindow *guiBindDraw(const char *name, GuiDrawProc routine);
GuiWindow *guiBindEvent(const char *name, GuiDrawProc routine);

struct EngComponent;
EngComponent *guiWindowShipSystem(GuiWindow *window, const char *name);
void guiBindShipSystem(GuiWindow *window, const char *name);

void guiDrawSideViewVideo(GuiWindow *window);
void guiDrawCornerArrow(GuiWindow *window);
void guiInit();

// ---- What the start-up loads ---------------------------------------------------

struct Raster;
struct BitmapFont;
// Comms-arm geometry: origin, its rectangle, the inner rectangle and the
// whole screen.
extern int16_t gComArmX, gComArmY;
extern ClipRect gComArmRect, gComArmInner, gComArmScreen;
extern ResourceHandle *gGuiRFont, *gGuiGFont;
extern Raster *gCrewIcons[12];
extern Raster *gAutopilotIcons[10];  // five icons, then their key variants
extern Raster *gArrowIcon, *gCursorIcon, *gSmallIcon;
extern Raster *gWeaponIcons[8][4][2];
extern Raster *gNavCursor;
extern uint8_t *gNavCursorSprite;
extern Raster *gShipClassIcons[19];
extern uint8_t *gShipClassSprites[19];
// The 3D-card mode's save areas under the mouse pointer.
extern Raster *gCursorSave[2];
