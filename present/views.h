// The 3D views the GUI's panes show: rendering the world into a view window,
// the wireframe, HUD and hardpoint views, the wire models drawn in
// rectangles, and the view state the GUI and the script set for them.
#pragma once

#include <cstdint>

#include "RES/vecmath.h"
#include "present/wireframe.h"

struct VectorFont;
struct vt_pixelmap;

// The cockpit's state the frame reads: the station shown (0 none, 1 COM, 2
// NAV, 3 WEP, 4 ENG, 5 the options screen), the full-screen view (the
// frame's zoom ends it), the panel of the current screen that the 3D card
// draws, and the colour of the panel's light (PANEL_COL, set by the script).
extern int32_t StationId;
extern uint8_t gGuiFullScreen;
constexpr uint16_t kGuiNoPanel = 0xFFFF;
extern uint16_t gGuiPanel;
extern uint8_t gPanelColour[3];

// The view the HUD draws over, as the frame leaves it before the HUD draws.
struct HudRect {
    int16_t left, top, right, bottom;  // inclusive
};
extern HudRect HudViewRect;         // the screen rectangle of the 3D view
extern vt_pixelmap *HudPixelmap;    // the 3D view's library pixelmap, or null
extern float HudProjectScale;       // screen units per unit of x / z of the 3D view
// "VFont" (the HUD looks it up at its first registration of the run); the
// wire drawings label their parts with it.
extern const VectorFont *HudVectorFont;

// A GUI window that shows a 3D view, as the presentation sees it: the GUI
// fills one from its window for each call and takes the images back.
struct P3DPane {
    const void *owner;       // the window: its sub-pixelmaps are kept for it
    int16_t x, y, w, h;      // its top-left corner on the screen, and its size
    void *user;              // the viewer's cell (SceneItem **), or the HUD record
    int16_t *dirty;          // its dirty rectangle (four words), grown as it draws
    void *image, *imageAlt;  // its colour and depth sub-pixelmaps
};

// View state written by the cockpit and the script, read by the frame.
extern uint8_t gViewSecondary;  // set while a secondary (target) view draws
extern uint8_t gViewZoomRequest;  // the cockpit asks for the zoomed view
extern uint8_t gViewZoomState;  // 1 zooming, 2 zoom dropped
extern uint8_t gViewWindowMode;  // 0..2
extern uint8_t gViewNoSceneScript;  // the script keeps the scene out of the view
extern uint8_t gViewNoSceneGui;  // and so does the GUI
// Set while a pane beside the station's own view draws (the weapons
// station's camera window): the HUD is drawn once a frame, over that view.
extern uint8_t gViewNoHud;

// The end of the GUI pass ends the frame's view effects: the flash colour
// goes back to the clear colour, the interference and the secondary-view
// flag are cleared. A flash set in a frame that drew no view is not kept
// for a later one.
void P3DEndViewEffects();
// The GUI repaints the whole screen: the next 16-bit frame clears all of it
// to the clear colour, later ones only their view.
void P3DScreenRepainted();
// Renders the cockpit panel (-1: the current one) over the whole screen in
// 3D-card mode; nothing outside it.
void P3DRenderSceneToView(int panel);
// Updates the scene and renders the view into the window.
void P3DDrawViewWindow(P3DPane *pane);
// The view rectangle and the scene update of the window, without drawing.
void P3DPrepareViewWindow(P3DPane *pane);
// Renders the main world as wireframe into the window.
void P3DDrawWireViewWindow(P3DPane *pane);
// Draws the HUD element bound to the window.
void P3DDrawHudViewWindow(P3DPane *pane);
// The window's colour and depth sub-pixelmaps (made again only when its
// rectangle changed) become the current targets.
void P3DAllocViewBuffers(P3DPane *pane);
// Forgets every window's sub-pixelmaps (they go with the library).
void P3DForgetViewBuffers();
// The current targets go back to the whole screen on the 3D card.
void P3DSelectViewBuffers(P3DPane *pane);
// Counts a window without sub-pixelmaps and gives it an empty dirty rectangle.
void P3DResetViewDirtyRect(P3DPane *pane);
// Draws the player ship's weapon hardpoint models into a window.
void WeaponHardpointsDraw(P3DPane *pane);
// Puts the view camera's offsets and rotation back to rest.
void P3DResetViewCamera();

// The sight record of the weapons view that the aiming reticle draws from:
// the sight frame's four corners and centre, the aim point the reticle
// writes, the view's matrix, the firing ship and its current weapon.
struct Sim;
struct Weapon;
struct HudSight {
    Vec3 points[5];
    Vec3 aimPoint;
    Mat4 view;
    Sim *ship;
    Weapon *weapon;
};

