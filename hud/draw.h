// The HUD's 2D drawing layer: lines through the game's own rasteriser or the
// rendering library's pixelmap line, small instruments (number box, heading
// and pitch tapes, the opening bars), the camera caption and the cockpit
// marks.
#pragma once

#include <cstdint>

#include "RES/vecmath.h"
#include "present/views.h"

struct vt_pixelmap;
struct BitmapFont;
struct SceneItem;

// Shared drawing state. The view's rectangle, pixelmap, projection scale
// and the vector font are the presentation's (present/views.h).
extern uint8_t HudColour;           // 64: overlay lines and texts
extern BitmapFont *HudFont;         // "BFont"
// Set: lines go through the own rasteriser; clear ("hardlines"): through the
// library's pixelmap line.
extern uint8_t HudOwnLines;
extern int16_t HudDebugLevel;       // 0..3, the key handler's debug read-out cycle
extern uint8_t HudThrottleDrag;     // the throttle gauge is being dragged
// The 3D system's inverse colour table (65,536 palette indexes by a 5-5-6 key).
extern const uint8_t *HudInverseTable;
// The caption that camera routines set each frame, and the object it names.
extern const char *HudCaption;
extern SceneItem *HudCaptionObject;

// A palette index as the colour the library line takes: the index itself at
// 8 bits, RGB565 of the palette entry otherwise.
uint32_t hudPixelColour(int index);

void hudDrawViewLine(int x0, int y0, int x1, int y1, int colour);
void hudDrawLine(int x0, int y0, int x1, int y1, int colour);
void hudDrawLineRGB(int x0, int y0, int x1, int y1, uint32_t rgb);
void hudDrawLineIn(vt_pixelmap *pixelmap, int x0, int y0, int x1, int y1, int colour);

// The number box's text: "%.2G" with the exponent written short (1.2E5) for
// large magnitudes, else a whole number, magnitudes below 1 showing 0.
void hudFormatNumber(char *out, int size, float value);
void hudDrawNumberBox(float value, int x0, int y0, int x1, int y1, int topLimit);
void hudDrawHeadingTape(float heading);
void hudDrawPitchTape(float pitch);
void hudDrawOpenCloseBar(int percentage);
void hudDrawCaption();
void hudDrawCockpitMarks();
// Colour of a ship by its side bits.
int hudSideColour(uint32_t flags);

// The flat map view: an orthographic projection along one axis (0: z into
// x, 1: -z into y) at a zoom step; the presentation sets it.
extern uint8_t HudFlatView;
extern uint8_t HudFlatAxis;
extern float HudFlatZoom;

struct HUD;
// Projects every point of the record through the current view (screen
// position relative to the view's centre and depth) and keeps its far and
// near depth.
void hudProjectPoints(HUD *hud);
// Draws the record's coloured edges (or points), hidden when 2000 units or
// nearer; returns the number of lines drawn. The record's screen box is
// kept in HudBox.
int hudDrawDefault(HUD *hud);
extern int16_t HudBox[4];  // min x, min y, max x, max y of the last default draw

// The sight record of the weapons view (present/views.h).
extern HudSight HudSightRecord;
