// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "core/pending.h"
#include "hud/draw.h"
#include "hud/hud.h"

// The status overlay: until it is built, the caption and the cockpit marks
// it starts with.
void hudDrawCockpitOverlay() {
    PENDING_ONCE("hudDrawCockpitOverlay");
    hudDrawCaption();
    hudDrawCockpitMarks();
}

// The game frame's holding states.
#include "hud/maps.h"
#include "hud/missionlog.h"
uint8_t gStarMapOpen, gSolarMapOpen, gMapOverlayOpen;

// The mission runtime's calls.
void NavMapCloseIfOpen() { PENDING_ONCE("NavMapCloseIfOpen"); }
void hudListMissile(SceneItem *, SceneItem *, int32_t) { PENDING_ONCE("hudListMissile"); }

void NavMapClearHighlights() { PENDING_ONCE("NavMapClearHighlights"); }
void NavMapOpenClose(int) { PENDING_ONCE("NavMapOpenClose"); }
void NavMapCloseOverlay(int) { PENDING_ONCE("NavMapCloseOverlay"); }
bool NavMapKeyHandler(uint16_t) {
    PENDING_ONCE("NavMapKeyHandler");
    return false;
}

// The universe's calls into the navigation map.
void NavMapBuildOrbitRing(float, float, float, float) { PENDING_ONCE("NavMapBuildOrbitRing"); }
void NavMapLayoutBodies() { PENDING_ONCE("NavMapLayoutBodies"); }
void NavMapBuildBodyMesh(int) { PENDING_ONCE("NavMapBuildBodyMesh"); }
void NavMapZoomToBody(StarRecord *) { PENDING_ONCE("NavMapZoomToBody"); }
void NavMapCentreOnBody(int) { PENDING_ONCE("NavMapCentreOnBody"); }
