// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "core/pending.h"
#include "world/belts.h"
#include "world/collision.h"
#include "world/contact.h"
#include "world/damage.h"
#include "world/docking.h"
#include "world/flight.h"
#include "world/msghandler.h"
#include "world/objroutines.h"
#include "world/stations.h"
#include "world/records.h"
#include "world/universe.h"

uint16_t dunCurrentSystem = 0;
int32_t dunPendingStarSystem = 0;

BodyRecord *dunFindBody(int32_t, const char *) {
    PENDING_ONCE("dunFindBody");
    return nullptr;
}
const char *dunStarNameByCode(int32_t) {
    PENDING_ONCE("dunStarNameByCode");
    return "";
}
void dunClearSystemObjects(uint16_t, const Vec3d *, const Vec3d *) { PENDING_ONCE("dunClearSystemObjects"); }
void MoveToSystem(const char *, const char *) { PENDING_ONCE("MoveToSystem"); }
SceneItem *dunFindNamedBody(const char *) {
    PENDING_ONCE("dunFindNamedBody");
    return nullptr;
}
SceneItem *dunCreateSolarBody(int, Vec3, Vec3, float, int, int) {
    PENDING_ONCE("dunCreateSolarBody");
    return nullptr;
}
void dunUpdateBelts() { PENDING_ONCE("dunUpdateBelts"); }
void dunRecycleBeltObject(SceneItem *) { PENDING_ONCE("dunRecycleBeltObject"); }
void dunCreateAsteroid() { PENDING_ONCE("dunCreateAsteroid"); }
void dunClearBeltTracking() { PENDING_ONCE("dunClearBeltTracking"); }

// The game start-up's and the game frame's calls.
#include "world/asteroids.h"

int32_t dunBeltCount;
int32_t dunBeltObjectCount;

// The start-up scripts' calls.
#include "world/universe.h"
void dunCreateUniverse() { PENDING_ONCE("dunCreateUniverse"); }
void MissionifyStar(const char *) { PENDING_ONCE("MissionifyStar"); }
void MissionifyPlanet(const char *, const char *) { PENDING_ONCE("MissionifyPlanet"); }
