// The GUI window system: a static pool of retained rectangular windows drawn
// straight into the screen surface, their placement from 640x480-authored
// coordinates, hit testing, and the once-per-frame GUI pass that turns mouse
// clicks into pending flags and lets every window update and redraw itself.
#pragma once

#include <cstdint>

#include "RES/gfx2d.h"
#include "present/views.h"

struct GuiWindow;
struct ResourceHandle;

// Routine slots. An update routine returns -1, or 0 when the window closed
// itself by message.
using GuiUpdateProc = int8_t (*)(GuiWindow *window);
using GuiHitProc = uint8_t (*)(GuiWindow *window, int x, int y);
using GuiDrawProc = void (*)(GuiWindow *window);
using GuiDropProc = void (*)(GuiWindow *window, GuiWindow *dropped);

struct GuiWindow {
    GuiWindow *next;    // the owning screen's list: draw and hit-test order, later on top
    GuiWindow *parent;  // null for a top window and for every REL window
    uint32_t port;      // message receiver id; 0 without an update routine
    // Routine slots, in this order.
    GuiUpdateProc update;
    GuiHitProc hitTest;
    GuiDrawProc draw;
    GuiDrawProc onActivate;
    GuiDrawProc onPress;
    GuiDropProc onDrop;  // only the drag-and-drop of the stations calls it
    GuiDrawProc onEvent;
    void *userPtr;   // for bound routines (a ship-system component for gauges)
    void *userData;  // given at creation: a bitmap for raster windows, a surface for views
    void *image;     // a switch's normal bitmap; a 3D pane's colour pixelmap
    void *imageAlt;  // a switch's pressed bitmap; a 3D pane's depth pixelmap
    // A font resource (its data is the BitmapFont), or the resource of a
    // bitmap, film or model for the windows that show one.
    ResourceHandle *font;
    const void *text;  // the text, a text resource or a flag byte, by kind
    float value;       // a gauge's value
    float max;         // a gauge's maximum; a text window's scroll offset in characters
    uint8_t state;
    uint16_t videoIndex;       // also a meter's last drawn level
    const uint8_t *visible;    // with GuiFlag::Visibility: shown and hit only while non-zero
    uint16_t redraw;           // frames left to draw
    uint16_t colour;           // low byte: palette index; 0 is the drawer's default
    uint32_t flags;            // GuiFlag bits
    uint16_t anchor;           // GuiAnchor
    GuiWindow *relTarget;      // what a REL window hangs on
    int16_t x, y, w, h;        // screen pixels after the creation-time adjustment
    int16_t helpIndex;         // help text shown when activated; -1 none
    int16_t helpNoteIndex;     // help note of help mode; -1 none
    int16_t rect[4];           // absolute x0, y0, x1, y1 (inclusive), as last computed
    int16_t dirty[4];          // a 3D pane's dirty rectangle
    int16_t marquee;           // pixels a too-wide text line has scrolled
};

namespace GuiFlag {
constexpr uint32_t InUse = 0x1;
constexpr uint32_t KeepCountdown = 0x4;  // activation does not restart the countdown
constexpr uint32_t Hot = 0x8;            // the mouse is over it
constexpr uint32_t Held = 0x10;          // the left button is held on it
constexpr uint32_t Activate = 0x20;      // activate pending
constexpr uint32_t Press = 0x40;         // press pending
constexpr uint32_t Draggable = 0x80;
constexpr uint32_t Dragging = 0x100;
constexpr uint32_t DropTarget = 0x200;
constexpr uint32_t DropOutline = 0x400;  // an extra outline in 47
constexpr uint32_t Visibility = 0x800;   // shown only while the `visible` byte is set
constexpr uint32_t Event = 0x1000;       // event pending
constexpr uint32_t KeepCountdown2 = 0x2000;
constexpr uint32_t HideUnderArm = 0x4000;  // not drawn while the comms arm is open
constexpr uint32_t Delete = 0x8000;        // swept at the end of this pass
constexpr uint32_t RootOption = 0x10000;   // read by the 3D presentation
constexpr uint32_t NoHelpOnce = 0x20000;
constexpr uint32_t NoInterference = 0x40000;
}  // namespace GuiFlag

enum GuiAnchor : uint16_t {
    GUI_TOP_L = 0,
    GUI_TOP_R = 1,
    GUI_BOT_L = 2,
    GUI_BOT_R = 3,
    GUI_REL = 4,
    GUI_CLIP = 5,
    GUI_CNTR = 6,
};

constexpr int kGuiWindowCount = 550;
constexpr uint16_t kGuiCloseMessage = 32;
// The help texts are the text slots that the start-up script's STRING fills.
constexpr int kGuiHelpTexts = 512;

// ---- State -------------------------------------------------------------------

extern GuiWindow gGuiWindows[kGuiWindowCount];
extern int32_t gGuiAllocCount;           // allocations since the reset (statistics)
extern GuiWindow *gGuiLastCreated;
extern GuiWindow *gGuiHotWindow;         // under the mouse, or being held
extern GuiWindow *gGuiRoot;              // the current screen's root window
extern int32_t gGuiLastMouseX, gGuiLastMouseY;
extern uint16_t gGuiRedrawReload;        // 1, or 2 when the display flips two buffers
extern uint8_t gGuiFullRedraw;           // a full redraw is requested
extern GuiWindow *gGuiUpdating;          // the window whose routine runs
extern ClipRect gGuiClip;                // that window's rectangle
extern const char **const gGuiHelpTexts;  // kGuiHelpTexts entries
extern int32_t gGuiInterference;         // centiseconds, 0..300
extern uint8_t gGuiCentreMode;           // CANCEL_RES_ADJ: centre instead of scale
// Set while the language's GUI script runs: windows are scaled to the mode.
extern uint8_t gGuiScriptLoading;

// State of the cockpit shell and the key handler that the pass reads (the
// full-screen view, gGuiFullScreen, is the 3D view's: present/views.h).
extern uint8_t gGuiHelpMode;       // help mode: a click opens the window's help note
extern GuiWindow *gGuiMainView;    // the main 3D view window of the full-screen view
extern uint8_t gGuiComArmOpen;     // the comms arm is open
extern uint8_t gGuiSaveListOpen;   // the checkpoint chooser is open
extern uint8_t gGuiViewSuspended;  // 3D view output is suspended

// ---- Operations --------------------------------------------------------------

void guiResetWindows();
GuiWindow *guiAllocWindow();
GuiWindow *guiCreateWindow(uint16_t anchor, GuiWindow *parent, void *userData, GuiUpdateProc update,
                           GuiDrawProc draw, int16_t x, int16_t y, int16_t w, int16_t h, uint16_t colour);
struct GuiScreen;
GuiWindow *guiCloneWindow(GuiScreen *screen, GuiWindow *window);
void guiMarkRedraw();
void guiRedrawWithChildren(GuiWindow *window);
bool guiRectsOverlap(const int16_t *a, const int16_t *b);
void guiMarkOverlapping(GuiWindow *window);
GuiWindow *guiFindWindowUnder(GuiWindow *window);
void guiCloseWindowAfter(GuiWindow *window, uint32_t delay);
void guiMarkForDelete(GuiWindow *window);
bool guiWindowRect(GuiWindow *window, int *x, int *y);
void guiClampToScreen(GuiWindow *window);
uint8_t guiPointInWindow(GuiWindow *window, int x, int y);
uint8_t guiNeverHit(GuiWindow *window, int x, int y);
int8_t guiDefaultHandler(GuiWindow *window);
void guiUpdate();
void guiDrawMainView();
void guiClearScreen();
void guiShowPopup(const char *text, uint32_t duration);

// The current screen's root window; null when there is none.
GuiWindow *guiRootWindow();
// A live record of the window pool, or null (for values that may name
// something else).
GuiWindow *guiLiveWindow(void *value);
// A window's flag word.
uint32_t guiWindowFlags(const GuiWindow *window);
// Reloads the window's countdown.
inline void guiReload(GuiWindow *window) { window->redraw = gGuiRedrawReload; }
// The screen surface every window draws into.
Surface *guiScreen();
// The interference jitter that ends most gadgets' draws.
void guiInterfere(GuiWindow *window);
// Runs a presentation routine on the window as a 3D view pane: its place,
// size, user pointer (the viewer's cell or a HUD record) and dirty rectangle
// go to the routine, the sub-pixelmaps it drew into come back. Only the
// station's view draws the HUD.
void guiRunViewPane(GuiWindow *window, void (*routine)(P3DPane *pane));
// The window is the station's own view, which carries the HUD, the cockpit
// overlay and the text feed: the current screen's main view window, or any
// view pane on a screen without one. Other panes (the weapons station's
// camera window) show their scene alone.
bool guiIsStationView(const GuiWindow *window);
