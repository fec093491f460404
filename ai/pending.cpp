// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "ai/brain.h"
#include "ai/contacts.h"
#include "ai/weapons.h"
#include "core/pending.h"

ThreatEntry dunNearestThreats[4] = {{nullptr, 1e8f}, {nullptr, 1e8f}, {nullptr, 1e8f}, {nullptr, 1e8f}};

void dunRemoveContact(SceneItem *) { PENDING_ONCE("dunRemoveContact"); }
void dunCountShipsPerSide() { PENDING_ONCE("dunCountShipsPerSide"); }
void dunRefreshContacts() { PENDING_ONCE("dunRefreshContacts"); }
void dunClearWeapons(SceneItem *) { PENDING_ONCE("dunClearWeapons"); }
void dunai_ThinkShip(SceneItem *) { PENDING_ONCE("dunai_ThinkShip"); }
void dunai_ThinkFree(SceneItem *) { PENDING_ONCE("dunai_ThinkFree"); }
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
Contact dunContacts[kMaxContacts];
Contact *dunCurrentContact;
uint32_t dunTargetingMode;
uint8_t dunTargetSelected;
SceneItem *dunWeaponTarget;
SceneItem *dunNavigationTarget;
Weapon *dunNthWeapon(SceneItem *, int) {
    PENDING_ONCE("dunNthWeapon");
    return nullptr;
}

#include "ai/scores.h"
float dunPowerShares[3];
void dunResetScores() { PENDING_ONCE("dunResetScores"); }
void dunResetKillPoints() { PENDING_ONCE("dunResetKillPoints"); }
int32_t dunScoreSummary(int, int, intptr_t) {
    PENDING_ONCE("dunScoreSummary");
    return 0;
}

// The game start-up's calls.
#include "ai/states.h"
void dunai_InitStateRegistry() { PENDING_ONCE("dunai_InitStateRegistry"); }
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
const uint32_t *dunFindScoreRecord(uint32_t) {
    PENDING_ONCE("dunFindScoreRecord");
    return nullptr;
}
bool dunSendRelativePosition(SceneItem *, SceneItem *, int32_t, int32_t) {
    PENDING_ONCE("dunSendRelativePosition");
    return false;
}
bool dunSendRelativePosition2(SceneItem *, SceneItem *, int32_t, int32_t) {
    PENDING_ONCE("dunSendRelativePosition2");
    return false;
}

// What the world's flight, docking and object routines ask of the AI.
void dunai_IdleFlight(SceneItem *) { PENDING_ONCE("dunai_IdleFlight"); }
uint32_t dunai_SideTargetMask(SceneItem *) {
    PENDING_ONCE("dunai_SideTargetMask");
    return 0;
}
void dunai_SetNamedOrder(SceneItem *, int, const char *, int, int, SceneItem *) { PENDING_ONCE("dunai_SetNamedOrder"); }
void dunai_StartOrder(SceneItem *, int) { PENDING_ONCE("dunai_StartOrder"); }
void dunai_SteerAlongVector(SceneItem *, const Vec3 *) { PENDING_ONCE("dunai_SteerAlongVector"); }
void dunai_SteerTowards(SceneItem *, const Vec3 *, const Vec3 *) { PENDING_ONCE("dunai_SteerTowards"); }
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
Weapon *dunCreatePBCLite(SceneItem *, float, const char *, int32_t) {
    PENDING_ONCE("dunCreatePBCLite");
    return nullptr;
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
void dunMountPosition(Vec3 *out, uint16_t mountCode) {
    PENDING_ONCE("dunMountPosition");
    static const Vec3 kDirections[9] = {{0, 0, 1},           {0, 0, 1},  {-0.7071f, 0, 0.7071f}, {-1, 0, 0},
                                        {-0.7071f, 0, -0.7071f}, {0, 0, -1}, {0.7071f, 0, -0.7071f}, {1, 0, 0},
                                        {0.7071f, 0, 0.7071f}};
    const unsigned code = mountCode & 15u;
    *out = code < 9 ? kDirections[code] : Vec3{0, 0, 1};
}
