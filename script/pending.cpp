// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "core/pending.h"

#include "script/mission.h"

bool dunWaypointVisited(const SceneItem *) {
    PENDING_ONCE("dunWaypointVisited");
    return false;
}
SceneItem *CreateScriptWaypoint(double, double, double, int, int, int, const char *) {
    PENDING_ONCE("CreateScriptWaypoint");
    return nullptr;
}
void dunMissileHitPlayer(int) { PENDING_ONCE("dunMissileHitPlayer"); }
