// The AI's side of the world's calls.
#include "ai/brain.h"
#include "ai/combat.h"
#include "ai/contacts.h"
#include "ai/steering.h"
#include "ai/weapons.h"
#include "world/services.h"

// A mine of a field: it pulls out at intruders within 240,000 and otherwise
// sits still.
void dunai_SetUpMineOrders(SceneItem *mine) {
    ShipInfo *info = mine && mine->sim ? mine->sim->shipInfo : nullptr;
    if (!info) return;
    dunai_ResetOrders(info);
    dunai_NameOrder(info, 1, "DismantleIntruders");
    dunai_SetOrder(info, 1, 0, 0, 0, 60, dunai_EvalPullOut, 1, 240000);
    dunai_SetOrderState(info, 1, 66, 1, 2, 3);
    dunai_NameOrder(info, 2, "SitOnYerHands");
    dunai_SetOrder(info, 2, 0, 0, 0, 60, dunai_EvalDefault, 30, 0);
    dunai_SetOrderState(info, 2, 62, 4, 16, 1800000);
    dunai_StartOrder(mine, 1);
}

void dunai_InstallWorldHooks() {
    static const WorldAiHooks hooks = {
        dunShipHit,
        dunScoreKill,
        [](SceneItem *item) { return dunScoreSummary(0, 0, item); },
        dunPassGroupFlag,
        dunRemoveContact,
        dunLockTarget,
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
        dunResetContactClock,
        dunai_SetUpMineOrders,
        dunai_ThinkSimple,
    };
    WorldSetAiHooks(&hooks);
}
