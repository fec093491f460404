// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "core/pending.h"
#include "hud/draw.h"
#include "hud/hud.h"

// The game frame's holding states.
#include "hud/maps.h"
#include "hud/missionlog.h"
