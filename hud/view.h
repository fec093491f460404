// The view the HUD draws over, as its elements see it: the viewing object,
// world points taken into its camera space and projected, and lines, dots
// and texts placed relative to the view's centre.
#pragma once

#include <cstdint>

#include "RES/vecmath.h"

struct SceneItem;
struct Surface;

// The object of the view being drawn (the camera the frame renders from).
SceneItem *hudViewer();
// A world point in the viewer's camera space (x right, y down, z ahead);
// false without a viewer.
bool hudToCamera(const Vec3d &world, Vec3 *camera);
// The screen point of a camera-space point, relative to the view's centre:
// perspective by the view's scale, or the flat map's orthographic view.
// False behind the viewer (depth 0 or less) in perspective.
bool hudProjectCamera(const Vec3 &camera, float *x, float *y);
// The view's centre on the screen.
void hudViewCentre(int *x, int *y);
// A line between two points relative to the centre, clipped to the view.
void hudLine(int x0, int y0, int x1, int y1, int colour);
// A 2 x 2 dot at a point relative to the centre.
void hudDot(int x, int y, int colour);
// Text in the HUD's font at a point relative to the centre (baseline y);
// returns the width drawn.
int hudText(int x, int y, const char *text, int colour);
int hudTextWidth(const char *text);
// The surface the HUD draws on.
Surface *hudSurface();
// Float to int with NaN as 0 and the range held to 16 bits, for screen
// coordinates.
int hudPixel(float v);
// A colour darker by steps within its 32-colour band, never below the
// band's base ((colour - 16) AND 0xE0) + 16.
int hudBandDarker(int colour, int steps);
int hudBandBase(int colour);
// The selection box's glide: while a new target's selection is fresh, each
// side of the box moves halfway from where it was last drawn toward the
// given one (the box is changed to the drawn one); the glide ends when a
// side comes within 2 pixels.
void hudAnimateSelection(int16_t box[4]);
// Corner brackets of a box (relative to the centre) with strokes of the
// given lengths along x and y.
void hudCornerBox(const int16_t box[4], int lengthX, int lengthY, int colour);
// The weapon view's zoom is on.
bool hudWeaponZoom();
// True when the object's root part was drawn by the renderer in this frame;
// its screen box (relative to the view's centre) goes to box.
bool hudRenderedBox(const SceneItem *item, int16_t box[4]);
