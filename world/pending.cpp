// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "core/pending.h"
#include "world/belts.h"
#include "world/collision.h"
#include "world/contact.h"
#include "world/damage.h"
#include "world/docking.h"
#include "world/engineering.h"
#include "world/flight.h"
#include "world/msghandler.h"
#include "world/objroutines.h"
#include "world/stations.h"
#include "world/records.h"
#include "world/wreck.h"
#include "world/universe.h"

uint16_t dunCurrentSystem = 0;
int32_t dunPendingStarSystem = 0;
uint8_t dunCapsuleJumpSwitch = 0;
int32_t dunCurrentStarCode = 0;
int32_t dunCapsuleStarCode = 0;
BodyRecord *dunCapsuleBody = nullptr;
SceneItem *dunLastTouchedBody = nullptr;

void dunFlyShip(SceneItem *) { PENDING_ONCE("dunFlyShip"); }
void dunControlPlayer(SceneItem *) { PENDING_ONCE("dunControlPlayer"); }
void dunControlTest(SceneItem *) { PENDING_ONCE("dunControlTest"); }
void dunControlFree(SceneItem *) { PENDING_ONCE("dunControlFree"); }
void dunSimSpawnedNode(SceneItem *) { PENDING_ONCE("dunSimSpawnedNode"); }
void dunUpdateDocking(SceneItem *) { PENDING_ONCE("dunUpdateDocking"); }
void dunUndockAll(SceneItem *) { PENDING_ONCE("dunUndockAll"); }
void dunSimPlasmaBall(SceneItem *) { PENDING_ONCE("dunSimPlasmaBall"); }
void dunSimGasShell(SceneItem *) { PENDING_ONCE("dunSimGasShell"); }
void dunDropLds(SceneItem *) { PENDING_ONCE("dunDropLds"); }
void dunSubsystemFaultTick(SceneItem *) { PENDING_ONCE("dunSubsystemFaultTick"); }
void dunLeaveRemoteControl() { PENDING_ONCE("dunLeaveRemoteControl"); }
BodyRecord *dunFindBody(int32_t, const char *) {
    PENDING_ONCE("dunFindBody");
    return nullptr;
}
// The port list walk already behaves as the docking module's will.
DockingPort *dunGetDockingPort(SceneItem *ship, int n) {
    PENDING_ONCE("dunGetDockingPort");
    if (!ship || !ship->sim || !ship->sim->shipInfo) return nullptr;
    DockingPort *p = ship->sim->shipInfo->ports;
    for (int i = 0; p && p->next && i < n; ++i) p = p->next;
    return p;
}
uint8_t dunDockShips(SceneItem *, SceneItem *, DockingPort *, DockingPort *, int16_t) {
    PENDING_ONCE("dunDockShips");
    return 0;
}
void dunUndock(SceneItem *) { PENDING_ONCE("dunUndock"); }
uint8_t dunTryDockOnContact(SceneItem *, SceneItem *) {
    PENDING_ONCE("dunTryDockOnContact");
    return 0;
}
SceneItem *dunGetDockedPartner(SceneItem *ship, SceneItem *other) {
    PENDING_ONCE("dunGetDockedPartner");
    if (!ship || !ship->sim || !ship->sim->shipInfo) return nullptr;
    for (DockingPort *p = ship->sim->shipInfo->ports; p; p = p->next) {
        if (!(p->flags & PortFlag::Docked)) continue;
        if (!other) return p->partner;
        if (p->partner == other) return other;
    }
    return nullptr;
}
float dunShieldLevel(int) {
    PENDING_ONCE("dunShieldLevel");
    return 1.0f;
}
void dunShieldStrike(float) { PENDING_ONCE("dunShieldStrike"); }
SceneItem *dunBreakNearest(SceneItem *, TDP *, int, float, float, float, float) {
    PENDING_ONCE("dunBreakNearest");
    return nullptr;
}
SceneItem *dunBreakNearestIntoSceneItems(SceneItem *, TDP *, int, float, float, float, float, uint8_t, uint8_t) {
    PENDING_ONCE("dunBreakNearestIntoSceneItems");
    return nullptr;
}
SceneItem *dunBreakIntoWreck(SceneItem *) {
    PENDING_ONCE("dunBreakIntoWreck");
    return nullptr;
}
const char *dunStarNameByCode(int32_t) {
    PENDING_ONCE("dunStarNameByCode");
    return "";
}
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
int dunDockedLinkCount(SceneItem *) {
    PENDING_ONCE("dunDockedLinkCount");
    return 0;
}
void dunSimFollowLinked(SceneItem *) { PENDING_ONCE("dunSimFollowLinked"); }
SceneItem *dunRemoteLinked = nullptr;

// The game start-up's and the game frame's calls.
#include "world/asteroids.h"
#include "world/engineering.h"
#include "world/routines.h"

int32_t dunBeltCount;
int32_t dunBeltObjectCount;
void dunBuildShipSystems() { PENDING_ONCE("dunBuildShipSystems"); }
void dunSaveComponentTable() { PENDING_ONCE("dunSaveComponentTable"); }
void dunRandomAmbientEvent() { PENDING_ONCE("dunRandomAmbientEvent"); }
void dunRefreshPlayerCollision(void *) { PENDING_ONCE("dunRefreshPlayerCollision"); }

EngComponent *dunFindComponentByName(SceneItem *, const char *) {
    PENDING_ONCE("dunFindComponentByName");
    return nullptr;
}
uint8_t dunComponentState(const EngComponent *) { return 0; }

#include "world/recorders.h"
ValueRecorder *dunAllocRecorder() {
    PENDING_ONCE("dunAllocRecorder");
    return nullptr;
}
void dunInitRecorder(ValueRecorder *, const float *, float, float, int) { PENDING_ONCE("dunInitRecorder"); }

// The start-up scripts' calls.
#include "world/universe.h"
void dunCreateUniverse() { PENDING_ONCE("dunCreateUniverse"); }
