// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include <cmath>

#include "core/pending.h"
#include "hud/hud.h"

double hudBearingDegrees(double a, double b) {
    PENDING_ONCE("hudBearingDegrees");
    double d = std::atan(b / a) * 180.0 / 3.14159265358979323846;
    return a < 0 ? -d - 90.0 : 90.0 - d;
}

void hudClearList() { PENDING_ONCE("hudClearList"); }
void hudShiftPositions(float, float, float) { PENDING_ONCE("hudShiftPositions"); }

// The game frame's holding states and the mission log's count-down.
#include "hud/maps.h"
#include "hud/missionlog.h"
uint8_t gStarMapOpen, gSolarMapOpen, gMapOverlayOpen;
int32_t gMissionLogCountdown;

// The mission runtime's calls.
float gHudRange = 400000.0f;
void MissionLogReset() { PENDING_ONCE("MissionLogReset"); }
