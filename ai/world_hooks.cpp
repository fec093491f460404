// The AI's side of the world's calls.
#include "ai/combat.h"
#include "ai/contacts.h"
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
    };
    WorldSetAiHooks(&hooks);
}
