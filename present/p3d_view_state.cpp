// The 3D view's state that the world reads and sets: the zoom, the
// projection scale and the background flash of the next frame; and the
// state of the cockpit, the script and the HUD that the frame reads.
#include "present/effects.h"
#include "present/p3d.h"
#include "present/views.h"

int32_t StationId;
uint8_t gGuiFullScreen;
uint16_t gGuiPanel = kGuiNoPanel;
uint8_t gPanelColour[3] = {255, 255, 255};
HudRect HudViewRect = {0, 0, 639, 479};
vt_pixelmap *HudPixelmap;
float HudProjectScale = 320.0f;
const VectorFont *HudVectorFont;
char gExitFilm[260];

// While the cockpit zooms the camera's zoom factor, else none (0).
float P3DCameraZoom() { return gViewZoomRequest ? gP3D.zoomFactor : 0.0f; }

float P3DViewProjectionScale() { return gP3D.projectionScale; }

// The flash of an event is the clear colour of the next frame: a palette
// index other than the usual one also keeps the sky out of that frame.
void P3DSetFlashBrightness(int32_t brightness) { gP3D.clearColour = uint8_t(brightness); }
