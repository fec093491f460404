// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "core/pending.h"
#include "hud/hud.h"


void hudClearList() { PENDING_ONCE("hudClearList"); }
void hudShiftPositions(float, float, float) { PENDING_ONCE("hudShiftPositions"); }
void hudDrawAll() { PENDING_ONCE("hudDrawAll"); }
void hudDrawInView(HUD *) { PENDING_ONCE("hudDrawInView"); }

// The game frame's holding states.
#include "hud/maps.h"
#include "hud/missionlog.h"
uint8_t gStarMapOpen, gSolarMapOpen, gMapOverlayOpen;

// The mission runtime's calls.
float gHudRange = 400000.0f;
void NavMapCloseIfOpen() { PENDING_ONCE("NavMapCloseIfOpen"); }
void hudMoveRecord(SceneItem *, SceneItem *) { PENDING_ONCE("hudMoveRecord"); }
void hudListMissile(SceneItem *, SceneItem *, int32_t) { PENDING_ONCE("hudListMissile"); }

#include "hud/maps.h"
void NavMapClearHighlights() { PENDING_ONCE("NavMapClearHighlights"); }
void NavMapOpenClose(int) { PENDING_ONCE("NavMapOpenClose"); }
void NavMapCloseOverlay(int) { PENDING_ONCE("NavMapCloseOverlay"); }
bool NavMapKeyHandler(uint16_t) {
    PENDING_ONCE("NavMapKeyHandler");
    return false;
}

// The navigation station's and the key handler's calls.
void hudShowAll() { PENDING_ONCE("hudShowAll"); }
void hudHideAll() { PENDING_ONCE("hudHideAll"); }
void hudToggleOpen() { PENDING_ONCE("hudToggleOpen"); }
void hudCreateCockpitSet() { PENDING_ONCE("hudCreateCockpitSet"); }
