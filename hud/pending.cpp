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

// The mission runtime's calls.
void hudListMissile(SceneItem *, SceneItem *, int32_t) { PENDING_ONCE("hudListMissile"); }


