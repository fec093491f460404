// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include <cstring>

#include "ai/brain.h"
#include "ai/contacts.h"
#include "ai/weapons.h"
#include "core/pending.h"
#include "world/objlist.h"
#include "world/records.h"

void dunRemoveContact(SceneItem *) { PENDING_ONCE("dunRemoveContact"); }
void dunCountShipsPerSide() { PENDING_ONCE("dunCountShipsPerSide"); }
void dunRefreshContacts() { PENDING_ONCE("dunRefreshContacts"); }
void dunPlaceNearNavPoint(SceneItem *, double *, int, int) { PENDING_ONCE("dunPlaceNearNavPoint"); }
void dunai_ClearStepWords() { PENDING_ONCE("dunai_ClearStepWords"); }
bool dunai_WingCommandIs(int) {
    PENDING_ONCE("dunai_WingCommandIs");
    return false;
}
SceneItem *dunPlaceObjectNearNavPoint(uint32_t, int, SceneItem *) {
    PENDING_ONCE("dunPlaceObjectNearNavPoint");
    return nullptr;
}
bool dunIsContact(const SceneItem *) {
    PENDING_ONCE("dunIsContact");
    return false;
}
int dunCountShipsOfSide(int) {
    PENDING_ONCE("dunCountShipsOfSide");
    return 0;
}
int32_t dunContactFilter;
uint32_t dunContactListChanged;
Contact dunContacts[kMaxContacts];
Contact *dunCurrentContact;
uint32_t dunTargetingMode;
uint8_t dunTargetSelected;
Weapon *dunNthWeapon(SceneItem *ship, int n) {
    PENDING_ONCE("dunNthWeapon");
    Weapon *w = ship && ship->sim ? ship->sim->weapons : nullptr;
    for (int i = 1; w && w->next && i < n; ++i) w = w->next;
    return w;
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
void dunInitContacts() { PENDING_ONCE("dunInitContacts"); }

// Hits, kills and scoring.
#include "ai/combat.h"
void dunShipHit(SceneItem *, const DamageRecord *) { PENDING_ONCE("dunShipHit"); }
void dunScoreKill(uint32_t) { PENDING_ONCE("dunScoreKill"); }
int dunScoreSummary(int, int, SceneItem *) {
    PENDING_ONCE("dunScoreSummary");
    return 0;
}
void dunPassGroupFlag(SceneItem *) { PENDING_ONCE("dunPassGroupFlag"); }
void dunPickTargetFiltered(void *, int) { PENDING_ONCE("dunPickTargetFiltered"); }
void dunAssignFixedAttack(SceneItem *) { PENDING_ONCE("dunAssignFixedAttack"); }
void dunImpactGeometry(SceneItem *, const Vec3 *, const Vec3 *, uint32_t) { PENDING_ONCE("dunImpactGeometry"); }
void dunImpactFromCollision(SceneItem *, SceneItem *, const Vec3 *) { PENDING_ONCE("dunImpactFromCollision"); }
void dunFireSpecialWeapon(SceneItem *, SceneItem *) { PENDING_ONCE("dunFireSpecialWeapon"); }
// Until target scoring is built, a nearer ship scores higher.
double dunScoreTarget(SceneItem *ship, SceneItem *candidate, uint32_t) {
    PENDING_ONCE("dunScoreTarget");
    if (!ship || !candidate || !candidate->sim || !candidate->sim->shipInfo) return 0.0;
    return 1.0 / (1.0 + ObjectDistance(ship, candidate, nullptr));
}
const uint32_t *dunFindScoreRecord(uint32_t) {
    PENDING_ONCE("dunFindScoreRecord");
    return nullptr;
}

// What the world's flight, docking and object routines ask of the AI.
void dunPickTargetPoint(SceneItem *, int, uint32_t, uint32_t) { PENDING_ONCE("dunPickTargetPoint"); }
void dunUpdateWeapons(SceneItem *) { PENDING_ONCE("dunUpdateWeapons"); }
void dunUpdateWeaponsNoOwner(SceneItem *) { PENDING_ONCE("dunUpdateWeaponsNoOwner"); }
int dunFireWeapon(SceneItem *, Weapon *, float, float) {
    PENDING_ONCE("dunFireWeapon");
    return 5;
}
void dunFlareDecoyMessage(SceneItem *, SceneItem *) { PENDING_ONCE("dunFlareDecoyMessage"); }
void dunSelectTarget(SceneItem *) { PENDING_ONCE("dunSelectTarget"); }
void dunSetShipTarget() { PENDING_ONCE("dunSetShipTarget"); }
void dunRandomPointOnSubNode(SceneItem *, Vec3 *) { PENDING_ONCE("dunRandomPointOnSubNode"); }
void dunRegisterScoreObject(SceneItem *) { PENDING_ONCE("dunRegisterScoreObject"); }
void dunSelectWaypointTarget(SceneItem *) { PENDING_ONCE("dunSelectWaypointTarget"); }
SceneItem *dunNearestShipByFlags(uint32_t, SceneItem *) {
    PENDING_ONCE("dunNearestShipByFlags");
    return nullptr;
}
bool dunAimsAtSubTarget() {
    PENDING_ONCE("dunAimsAtSubTarget");
    return false;
}
bool dunSubTargetCentre(SceneItem *, Vec3 *) {
    PENDING_ONCE("dunSubTargetCentre");
    return false;
}

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
HitBox *dunCurrentSubTarget;
void dunDrawTargetReticle(HudSight *) { PENDING_ONCE("dunDrawTargetReticle"); }

// The ship statements' calls.
#include "world/pools.h"
bool dunai_AddWingman(SceneItem *) {
    PENDING_ONCE("dunai_AddWingman");
    return false;
}
void dunai_CommandWing(SceneItem *, int) { PENDING_ONCE("dunai_CommandWing"); }


void dunBindAmmoGauge(const char *, Weapon *, int32_t, ScriptSymbol *) { PENDING_ONCE("dunBindAmmoGauge"); }
void dunUpdateAmmoGauges() { PENDING_ONCE("dunUpdateAmmoGauges"); }
void dunSetSubTargetSlot(SceneItem *, int, int) { PENDING_ONCE("dunSetSubTargetSlot"); }
void dunProjectileImpact(SceneItem *, TDP *, SceneItem *, TDP *, int16_t *, float *) {
    PENDING_ONCE("dunProjectileImpact");
}
void dunFireLDSI(SceneItem *, SceneItem *) { PENDING_ONCE("dunFireLDSI"); }
void dunDropECMFlare(SceneItem *) { PENDING_ONCE("dunDropECMFlare"); }
void dunSetKillPoints(int, int32_t) { PENDING_ONCE("dunSetKillPoints"); }
void dunSetSideScoreWeight(int, float) { PENDING_ONCE("dunSetSideScoreWeight"); }
void dunScoreRecordSetType(uint32_t, int) { PENDING_ONCE("dunScoreRecordSetType"); }
void dunScoreRecordSetSide(uint32_t, int) { PENDING_ONCE("dunScoreRecordSetSide"); }

// The cockpit's targeting keys.
SceneItem *dunWeaponTarget;
SceneItem *dunNavigationTarget;
uint8_t dunDetectInfinite;
SceneItem *dunCurrentContactObject() {
    PENDING_ONCE("dunCurrentContactObject");
    return nullptr;
}
void dunPrevTarget() { PENDING_ONCE("dunPrevTarget"); }
void dunNextTarget() { PENDING_ONCE("dunNextTarget"); }
SceneItem *dunNearestTargetBySide(SceneItem *) {
    PENDING_ONCE("dunNearestTargetBySide");
    return nullptr;
}
SceneItem *dunNearestEnemyContact() {
    PENDING_ONCE("dunNearestEnemyContact");
    return nullptr;
}
SceneItem *dunNearestEnemyShipContact() {
    PENDING_ONCE("dunNearestEnemyShipContact");
    return nullptr;
}
void dunContactFilterChanged() { PENDING_ONCE("dunContactFilterChanged"); }
void dunResetPowerShares() { PENDING_ONCE("dunResetPowerShares"); }
void dunShiftPowerShare(float, float *, float *, float *) { PENDING_ONCE("dunShiftPowerShare"); }
void dunFormationPosition(SceneItem *, SceneItem *, float, int) { PENDING_ONCE("dunFormationPosition"); }
void dunPlaceMount(ArcOutline *, uint16_t) { PENDING_ONCE("dunPlaceMount"); }
Weapon *dunChooseMount(float, float, float, Weapon *) {
    PENDING_ONCE("dunChooseMount");
    return nullptr;
}

// The universe's and the order statements' calls into the contact list and
// targeting that are not built yet.
void dunForgetTargetEverywhere(SceneItem *) { PENDING_ONCE("dunForgetTargetEverywhere"); }
void dunForgetGoalEverywhere(SceneItem *) { PENDING_ONCE("dunForgetGoalEverywhere"); }
void dunResetContactClock() { PENDING_ONCE("dunResetContactClock"); }
// The AI states whose handlers are not built yet: each says so once and
// yields, so that a ship running one holds its stack as it is.
#include "ai/states.h"
#define PENDING_STATE(handler)                                                                                     \
    StateCommand *handler(StateCommand *c, SceneItem *, int16_t, float, int32_t *, uint32_t, uint32_t, uint32_t) { \
        PENDING_ONCE(#handler);                                                                                    \
        return dunai_Yield(c, 1);                                                                                  \
    }
// Idle, stop and move-to.
PENDING_STATE(dunai_Null)
PENDING_STATE(dunai_MoveToStop)
PENDING_STATE(dunai_MoveToStopRelative)
PENDING_STATE(dunai_MoveToStopAlmostRelative)
PENDING_STATE(dunai_MatchVelState)
PENDING_STATE(dunai_tst_FlyBackwards)
PENDING_STATE(dunai_tst_FlyFowards)
PENDING_STATE(dunai_DoNothingState)
PENDING_STATE(dunai_DriftState)
PENDING_STATE(dunai_FullStop)
PENDING_STATE(dunai_MaintainStop)
PENDING_STATE(dunai_FullStopRelative)
// Attack and combat.
PENDING_STATE(dunai_GenericOffensiveState)
PENDING_STATE(dunai_off_Close)
PENDING_STATE(dunai_off_FireAtWill)
PENDING_STATE(dunai_Gun_lead_motion)
PENDING_STATE(dunai_ConstantFire)
PENDING_STATE(dunai_Retaliation)
PENDING_STATE(dunai_TailBitingState)
PENDING_STATE(dunai_FaceAttackState)
PENDING_STATE(dunai_CombatAchieveRange)
PENDING_STATE(dunai_CombatState)
PENDING_STATE(dunai_SelfPreservationState)
PENDING_STATE(dunai_WeaponsPassState)
PENDING_STATE(dunai_CombatOnce)
PENDING_STATE(dunai_WingmanCombatOnce)
PENDING_STATE(dunai_AcquireTarget)
PENDING_STATE(dunai_HarpoonTargetedState)
// Docking and undocking.
PENDING_STATE(dunai_UnDock)
PENDING_STATE(dunai_DockingBaseState)
PENDING_STATE(dunai_DockingDemolishState)
PENDING_STATE(dunai_dk_orientate)
PENDING_STATE(dunai_dk_finalAproach)
// Fast-drive flight.
PENDING_STATE(dunai_LDSToNavTarget)
PENDING_STATE(dunai_LDSApproach)
PENDING_STATE(dunai_EnterLDS)
PENDING_STATE(dunai_LDSEscort)
PENDING_STATE(dunai_LDSFlight)
PENDING_STATE(dunai_StraightLDS)
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
PENDING_STATE(dunai_EscortState)
PENDING_STATE(dunai_AggroEscortState)
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
