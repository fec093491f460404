// The AI's side of the world's calls.
#include "ai/brain.h"
#include "ai/combat.h"
#include "ai/weapons.h"
#include "ai/contacts.h"
#include "ai/steering.h"
#include "world/services.h"

void dunai_InstallWorldHooks() {
    static const WorldAiHooks hooks = {
        dunShipHit,
        dunScoreKill,
        [](SceneItem *item) { return dunScoreSummary(0, 0, item); },
        dunPassGroupFlag,
        dunRemoveContact,
        [] { dunPickTargetFiltered(nullptr, 0); },
        dunAssignFixedAttack,
        dunImpactGeometry,
        dunImpactFromCollision,
        dunFireSpecialWeapon,
        dunFindScoreRecord,
        dunSendRelativePosition,
        dunSendRelativePosition2,
        dunai_ThinkShip,
        dunai_IdleFlight,
        dunai_SideTargetMask,
        dunPickTargetPoint,
        dunUpdateWeapons,
        dunUpdateWeaponsNoOwner,
        dunSelectTarget,
        dunSetShipTarget,
        // The world gives no target: the controlled ship fires at its goal.
        [](SceneItem *ship, Weapon *weapon, float, float) {
            return int(dunFireWeapon(ship && ship->sim ? ship->sim->goal : nullptr, ship, weapon));
        },
        dunai_SetNamedOrder,
        dunai_StartOrder,
        dunFlareDecoyMessage,
        dunRandomPointOnSubNode,
        dunai_SteerAlongVector,
        dunai_SteerTowards,
        dunRegisterScoreObject,
        [](SceneItem *item, float ahead, const char *name, int32_t code) {
            return dunCreatePBCLite(item, 0.0f, 0.0f, ahead, name, uint16_t(code));
        },
        dunAimsAtSubTarget,
        dunSubTargetCentre,
        [](uint32_t mask, SceneItem *exclude) { return dunNearestShipByFlags(nullptr, mask, 0, exclude, 0.0f); },
        dunSelectWaypointTarget,
        dunClearWeapons,
        dunClearHeadOnValues,
        dunCountShipsPerSide,
        dunRefreshContacts,
        [](SceneItem *item, double *distance, int retry, int) {
            dunPlaceNearNavPoint(item, distance ? *distance : 0.0, retry != 0);
        },
        dunai_ThinkFree,
    };
    WorldSetAiHooks(&hooks);
}
