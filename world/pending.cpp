// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "app/interim.h"
#include "world/asteroids.h"
#include "world/engineering.h"
#include "world/messages.h"
#include "world/objects.h"
#include "world/pools.h"
#include "world/routines.h"
#include "world/step.h"

SceneItem *dunPlayerShip;
int32_t dunBeltCount;
int32_t dunBeltObjectCount;

void dunResetPools() { PENDING_ONCE("dunResetPools"); }
void dunMsgInit() { PENDING_ONCE("dunMsgInit"); }
void dunMsgShutdown() { PENDING_ONCE("dunMsgShutdown"); }
void dunResetObjectLists() { PENDING_ONCE("dunResetObjectLists"); }
void dunResetWorld() { PENDING_ONCE("dunResetWorld"); }
uint32_t dunPlayerAvatarFlags() {
    PENDING_ONCE("dunPlayerAvatarFlags");
    return 0;
}
void dunClearPlayerSimFlags(uint32_t) { PENDING_ONCE("dunClearPlayerSimFlags"); }
void dunRefreshPlayerCollision(void *) { PENDING_ONCE("dunRefreshPlayerCollision"); }
void dunSimulationStep() { PENDING_ONCE("dunSimulationStep"); }
void dunBuildShipSystems() { PENDING_ONCE("dunBuildShipSystems"); }
void dunSaveComponentTable() { PENDING_ONCE("dunSaveComponentTable"); }
void dunRandomAmbientEvent() { PENDING_ONCE("dunRandomAmbientEvent"); }
