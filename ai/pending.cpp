// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include <cstring>

#include "ai/brain.h"
#include "ai/contacts.h"
#include "ai/weapons.h"
#include "core/pending.h"
#include "world/objlist.h"
#include "world/records.h"

bool dunai_WingCommandIs(int) {
    PENDING_ONCE("dunai_WingCommandIs");
    return false;
}

#include "ai/scores.h"
float dunPowerShares[3];
WeaponTallies dunWeaponTallies;
void dunResetScores() {
    PENDING_ONCE("dunResetScores");
    dunWeaponTallies = WeaponTallies{};
}
void dunResetKillPoints() { PENDING_ONCE("dunResetKillPoints"); }
int32_t dunScoreSummary(int, int, intptr_t) {
    PENDING_ONCE("dunScoreSummary");
    return 0;
}

// The game start-up's calls.

// Hits, kills and scoring.
#include "ai/combat.h"
void dunScoreKill(uint32_t) { PENDING_ONCE("dunScoreKill"); }
int dunScoreSummary(int, int, SceneItem *) {
    PENDING_ONCE("dunScoreSummary");
    return 0;
}
void dunFireSpecialWeapon(SceneItem *, SceneItem *) { PENDING_ONCE("dunFireSpecialWeapon"); }
const uint32_t *dunFindScoreRecord(uint32_t) {
    PENDING_ONCE("dunFindScoreRecord");
    return nullptr;
}

// What the world's flight, docking and object routines ask of the AI.
void dunRandomPointOnSubNode(SceneItem *, Vec3 *) { PENDING_ONCE("dunRandomPointOnSubNode"); }
void dunRegisterScoreObject(SceneItem *) { PENDING_ONCE("dunRegisterScoreObject"); }

// The mission runtime's calls.
ScoreRecord *dunFindScoreRecordByKey(uint32_t) {
    PENDING_ONCE("dunFindScoreRecordByKey");
    return nullptr;
}
const char *dunScoreRecordText(const ScoreRecord *) {
    PENDING_ONCE("dunScoreRecordText");
    return "";
}

// The HUD's calls.
#include "RES/vecmath.h"

// The ship statements' calls.
#include "world/pools.h"
bool dunai_AddWingman(SceneItem *) {
    PENDING_ONCE("dunai_AddWingman");
    return false;
}
void dunai_CommandWing(SceneItem *, int) { PENDING_ONCE("dunai_CommandWing"); }


void dunBindAmmoGauge(const char *, Weapon *, int32_t, ScriptSymbol *) { PENDING_ONCE("dunBindAmmoGauge"); }
void dunUpdateAmmoGauges() { PENDING_ONCE("dunUpdateAmmoGauges"); }
void dunScoreHit(SceneItem *, bool) { PENDING_ONCE("dunScoreHit"); }
#include "ai/steering.h"
float dunai_BrakeToRest(SceneItem *) {
    PENDING_ONCE("dunai_BrakeToRest");
    return 0.0f;
}
void dunSetKillPoints(int, int32_t) { PENDING_ONCE("dunSetKillPoints"); }
void dunSetSideScoreWeight(int, float) { PENDING_ONCE("dunSetSideScoreWeight"); }
void dunScoreRecordSetType(uint32_t, int) { PENDING_ONCE("dunScoreRecordSetType"); }
void dunScoreRecordSetSide(uint32_t, int) { PENDING_ONCE("dunScoreRecordSetSide"); }

// The cockpit's targeting keys.
void dunResetPowerShares() { PENDING_ONCE("dunResetPowerShares"); }
void dunShiftPowerShare(float, float *, float *, float *) { PENDING_ONCE("dunShiftPowerShare"); }

// The AI states whose handlers are not built yet: each says so once and
// yields, so that a ship running one holds its stack as it is.
#include "ai/states.h"
#define PENDING_STATE(handler)                                                                                     \
    StateCommand *handler(StateCommand *c, SceneItem *, int16_t, float, int32_t *, uint32_t, uint32_t, uint32_t) { \
        PENDING_ONCE(#handler);                                                                                    \
        return dunai_Yield(c, 1);                                                                                  \
    }
// Docking and undocking.
PENDING_STATE(dunai_UnDock)
PENDING_STATE(dunai_DockingBaseState)
PENDING_STATE(dunai_DockingDemolishState)
PENDING_STATE(dunai_dk_orientate)
PENDING_STATE(dunai_dk_finalAproach)
// Pursuit, range, orbit, gates, routes and watch.
PENDING_STATE(dunai_LagrangeState)
PENDING_STATE(dunai_PointAtState)
PENDING_STATE(dunai_SimplePursuit)
PENDING_STATE(dunai_AchieveRange)
PENDING_STATE(dunai_AchieveFieldRangeState)
PENDING_STATE(dunai_CapsuleState)
PENDING_STATE(dunai_BusDriver)
PENDING_STATE(dunai_BusDriverNotStopping)
PENDING_STATE(dunai_Loiter)
PENDING_STATE(dunai_tst_HoldFormation)
PENDING_STATE(dunai_SeekOrbitalSpeed)
PENDING_STATE(dunai_Watch)
// Escort, followers, guards and turret defence.
PENDING_STATE(dunai_UmovingGuardState)
PENDING_STATE(dunai_DefNetGuardState)
PENDING_STATE(dunai_DefendMothership)
PENDING_STATE(dunai_LDADeffTwo)
PENDING_STATE(dunai_RotationalDeff)
PENDING_STATE(dunai_DeflectorState)
PENDING_STATE(dunai_CombatFollower)
PENDING_STATE(dunai_FollowPlayerState)
// Missiles, drones and escape.
PENDING_STATE(dunai_BigBombState)
PENDING_STATE(dunai_DroneTarget)
PENDING_STATE(dunai_DroneMovingTarget)
PENDING_STATE(dunai_DroneChasingTarget)
PENDING_STATE(dunai_OrbitalAttack)
PENDING_STATE(dunai_EscapeState)
PENDING_STATE(dunai_esc_Flee)
PENDING_STATE(dunai_MissileState)
PENDING_STATE(dunai_DumbMissileState)
// Prey search, hiding and the weapon test.
PENDING_STATE(dunai_Default)
PENDING_STATE(dunai_df_testPrey)
PENDING_STATE(dunai_df_chasePrey)
PENDING_STATE(dunai_df_baseState)
PENDING_STATE(dunai_df_newPrey)
PENDING_STATE(dunai_hd_moveAway)
PENDING_STATE(dunai_hideFrom)
PENDING_STATE(dunai_hd_hideAux)
PENDING_STATE(dunai_TestingState)
