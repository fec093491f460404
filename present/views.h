// The 3D views the GUI's panes show: rendering the world into a view window,
// the wireframe and hardpoint views, and the wire models drawn in rectangles.
#pragma once

struct GuiWindow;

// Renders the main world into the current 3D view (-1) while the simulation
// is held.
void P3DRenderSceneToView(int view);
// Updates the scene and renders the view into the window.
void P3DDrawViewWindow(GuiWindow *window);
// Renders the main world as wireframe into the window.
void P3DDrawWireViewWindow(GuiWindow *window);
// Draws the player ship's weapon hardpoint models into a window.
void WeaponHardpointsDraw(GuiWindow *window);
// Draws a wire model scaled into a rectangle; false when there is no model.
bool WireframeDrawInRect(void *model, int x0, int y0, int x1, int y1, int colour, float degrees);
// Draws a model as wire lines at a screen point.
void WireframeDraw(void *model, int x, int y, float scale, int flags, int colour);
// Puts the view camera's offsets and rotation back to rest.
void P3DResetViewCamera();
