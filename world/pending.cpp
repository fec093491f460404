// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "core/pending.h"
#include "world/belts.h"
#include "world/collision.h"
#include "world/docking.h"
#include "world/engineering.h"
#include "world/flight.h"
#include "world/msghandler.h"
#include "world/objroutines.h"
#include "world/stations.h"
#include "world/universe.h"

uint16_t dunCurrentSystem = 0;

void dunResetFrameFlags() { PENDING_ONCE("dunResetFrameFlags"); }
void dunCollisionPass() { PENDING_ONCE("dunCollisionPass"); }
void dunFlyShip(SceneItem *) { PENDING_ONCE("dunFlyShip"); }
void dunControlPlayer(SceneItem *) { PENDING_ONCE("dunControlPlayer"); }
void dunControlTest(SceneItem *) { PENDING_ONCE("dunControlTest"); }
void dunControlFree(SceneItem *) { PENDING_ONCE("dunControlFree"); }
void dunSimSpawnedNode(SceneItem *) { PENDING_ONCE("dunSimSpawnedNode"); }
void dunUpdateDocking(SceneItem *) { PENDING_ONCE("dunUpdateDocking"); }
void dunUndockAll(SceneItem *) { PENDING_ONCE("dunUndockAll"); }
void dunHandleMessages(SceneItem *) { PENDING_ONCE("dunHandleMessages"); }
void dunUntrackObject(SceneItem *) { PENDING_ONCE("dunUntrackObject"); }
void dunLaunchStockNearby() { PENDING_ONCE("dunLaunchStockNearby"); }
void dunSimChaos(SceneItem *) { PENDING_ONCE("dunSimChaos"); }
void dunSimStargate(SceneItem *) { PENDING_ONCE("dunSimStargate"); }
void dunUpdateBelts() { PENDING_ONCE("dunUpdateBelts"); }
void dunRecycleBeltObject(SceneItem *) { PENDING_ONCE("dunRecycleBeltObject"); }
void dunCreateAsteroid() { PENDING_ONCE("dunCreateAsteroid"); }
void dunClearBeltTracking() { PENDING_ONCE("dunClearBeltTracking"); }
void dunUpdateEngineering(SceneItem *) { PENDING_ONCE("dunUpdateEngineering"); }
void dunSimSpin(SceneItem *) { PENDING_ONCE("dunSimSpin"); }
SceneItem *dunGetDockedPartner(SceneItem *) {
    PENDING_ONCE("dunGetDockedPartner");
    return nullptr;
}
int dunDockedLinkCount(SceneItem *) {
    PENDING_ONCE("dunDockedLinkCount");
    return 0;
}
void dunSimFollowLinked(SceneItem *) { PENDING_ONCE("dunSimFollowLinked"); }
void dunAddEventHook(SceneItem *, int, uint32_t, int, void *) { PENDING_ONCE("dunAddEventHook"); }
int32_t dunGravityImpacts;
SceneItem *dunRemoteLinked;

// The game start-up's and the game frame's calls.
#include "world/asteroids.h"
#include "world/collision.h"
#include "world/engineering.h"
#include "world/routines.h"

int32_t dunBeltCount;
int32_t dunBeltObjectCount;
void dunBuildShipSystems() { PENDING_ONCE("dunBuildShipSystems"); }
void dunSaveComponentTable() { PENDING_ONCE("dunSaveComponentTable"); }
void dunRandomAmbientEvent() { PENDING_ONCE("dunRandomAmbientEvent"); }
void dunRefreshPlayerCollision(void *) { PENDING_ONCE("dunRefreshPlayerCollision"); }

// The mission runtime's calls.
#include "world/flight.h"
#include "world/objlist.h"
void dunRefreshAllModelRadii() { PENDING_ONCE("dunRefreshAllModelRadii"); }
void dunRefreshSceneTransforms() { PENDING_ONCE("dunRefreshSceneTransforms"); }
void dunToggleTurretControl(SceneItem *, SceneItem *) { PENDING_ONCE("dunToggleTurretControl"); }
