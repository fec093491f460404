// The 3D views the GUI's panes show: rendering the world into a view window,
// the wireframe, HUD and hardpoint views, the wire models drawn in
// rectangles, and the view state the GUI and the script set for them.
#pragma once

#include <cstdint>

#include "present/wireframe.h"

struct GuiWindow;

// View state written by the cockpit and the script, read by the frame.
extern uint8_t gViewSecondary;  // set while a secondary (target) view draws
extern uint8_t gViewZoomRequest;  // the cockpit asks for the zoomed view
extern uint8_t gViewZoomState;  // 1 zooming, 2 zoom dropped
extern uint8_t gViewWindowMode;  // 0..2
extern uint8_t gViewNoSceneScript;  // the script keeps the scene out of the view
extern uint8_t gViewNoSceneGui;  // and so does the GUI

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
void P3DDrawViewWindow(GuiWindow *window);
// The view rectangle and the scene update of the window, without drawing.
void P3DPrepareViewWindow(GuiWindow *window);
// Renders the main world as wireframe into the window.
void P3DDrawWireViewWindow(GuiWindow *window);
// Draws the HUD element bound to the window.
void P3DDrawHudViewWindow(GuiWindow *window);
// The window's colour and depth sub-pixelmaps (made again only when its
// rectangle changed) become the current targets.
void P3DAllocViewBuffers(GuiWindow *window);
// Forgets every window's sub-pixelmaps (they go with the library).
void P3DForgetViewBuffers();
// The current targets go back to the whole screen on the 3D card.
void P3DSelectViewBuffers(GuiWindow *window);
// Counts a window without sub-pixelmaps and gives it an empty dirty rectangle.
void P3DResetViewDirtyRect(GuiWindow *window);
// Draws the player ship's weapon hardpoint models into a window.
void WeaponHardpointsDraw(GuiWindow *window);
// Puts the view camera's offsets and rotation back to rest.
void P3DResetViewCamera();
