// Interim state of this subsystem until its modules are built.
#include "hud/maps.h"
#include "hud/missionlog.h"

uint8_t gStarMapOpen, gSolarMapOpen, gMapOverlayOpen;
int32_t gMissionLogCountdown;
