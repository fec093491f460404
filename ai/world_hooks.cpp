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
        dunFireWeapon,
        dunai_SetNamedOrder,
        dunai_StartOrder,
        dunFlareDecoyMessage,
        dunRandomPointOnSubNode,
        dunai_SteerAlongVector,
        dunai_SteerTowards,
        dunRegisterScoreObject,
        dunCreatePBCLite,
        dunAimsAtSubTarget,
        dunSubTargetCentre,
        dunNearestShipByFlags,
        dunSelectWaypointTarget,
        dunClearWeapons,
        dunai_ClearStepWords,
        dunCountShipsPerSide,
        dunRefreshContacts,
        dunPlaceNearNavPoint,
        dunai_ThinkFree,
    };
    WorldSetAiHooks(&hooks);
}
