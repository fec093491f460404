// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include <cstring>

#include "ai/brain.h"
#include "ai/contacts.h"
#include "ai/weapons.h"
#include "core/pending.h"
#include "world/records.h"

void dunRemoveContact(SceneItem *) { PENDING_ONCE("dunRemoveContact"); }
void dunCountShipsPerSide() { PENDING_ONCE("dunCountShipsPerSide"); }
void dunRefreshContacts() { PENDING_ONCE("dunRefreshContacts"); }
void dunClearWeapons(SceneItem *) { PENDING_ONCE("dunClearWeapons"); }
void dunai_ThinkShip(SceneItem *) { PENDING_ONCE("dunai_ThinkShip"); }
void dunai_PickBestTarget(SceneItem *ship) {
    PENDING_ONCE("dunai_PickBestTarget");
    if (ship && ship->sim) ship->sim->goal = nullptr;
}
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
const uint32_t *dunFindScoreRecord(uint32_t) {
    PENDING_ONCE("dunFindScoreRecord");
    return nullptr;
}

// What the world's flight, docking and object routines ask of the AI.
uint32_t dunai_SideTargetMask(SceneItem *) {
    PENDING_ONCE("dunai_SideTargetMask");
    return 0;
}
void dunai_SetNamedOrder(SceneItem *, int, const char *, int, int, SceneItem *) { PENDING_ONCE("dunai_SetNamedOrder"); }
void dunai_StartOrder(SceneItem *, int) { PENDING_ONCE("dunai_StartOrder"); }
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

// The ship statements' calls.
#include "world/pools.h"
int dunai_EvalSelfPreservation(SceneItem *, int) {
    PENDING_ONCE("dunai_EvalSelfPreservation");
    return 0;
}
int dunai_EvalDefault(SceneItem *, int) {
    PENDING_ONCE("dunai_EvalDefault");
    return 0;
}
void dunai_ResetOrders(SceneItem *) { PENDING_ONCE("dunai_ResetOrders"); }
void dunai_SetOrder(SceneItem *, int, const char *, int, int, int, OrderEvaluation, int, int) {
    PENDING_ONCE("dunai_SetOrder");
}
void dunai_SetOrderState(SceneItem *, int, int, uint32_t, uint32_t, uint32_t) { PENDING_ONCE("dunai_SetOrderState"); }
bool dunai_AddWingman(SceneItem *) {
    PENDING_ONCE("dunai_AddWingman");
    return false;
}
void dunai_CommandWing(SceneItem *, int) { PENDING_ONCE("dunai_CommandWing"); }

namespace {
// Until the weapon types are built every creator appends a bare record: the
// name, the mount and its code, ready, a beam weapon for the beam types.
Weapon *AppendWeapon(SceneItem *ship, float x, float y, float z, const char *name, uint16_t mountCode, bool beam) {
    PENDING_ONCE("weapon creators");
    if (!ship || !ship->sim) return nullptr;
    Weapon *w = dunAllocWeapon();
    w->name = name;
    w->mount = {x, y, z};
    w->mountCode = mountCode;
    w->arc = 360.0f;
    w->flags |= WeaponFlag::Ready | (beam ? WeaponFlag::AutoFire : 0u);
    w->weaponClass = beam ? 0 : 3;
    Weapon **tail = &ship->sim->weapons;
    while (*tail) {
        w->prev = *tail;
        tail = &(*tail)->next;
    }
    *tail = w;
    if (ship->avatar) ship->avatar->flags |= AvatarFlag::HasWeapons;
    return w;
}
Weapon *Beam(SceneItem *s, float x, float y, float z, const char *n, uint16_t c) { return AppendWeapon(s, x, y, z, n, c, true); }
Weapon *Launcher(SceneItem *s, float x, float y, float z, const char *n, uint16_t c) {
    return AppendWeapon(s, x, y, z, n, c, false);
}
}  // namespace

const WeaponTypeDef kWeaponTypes[kWeaponTypeCount] = {
    {Beam, {"PBC", "CP", "TSK"}},
    {Beam, {"PBC HEV", "PBC HEV", "TSK HEV"}},
    {Beam, {"PBC LITE", "PBC LITE", "TSK LITE"}},
    {Beam, {"PBC GTL", "PBC GTL", "TSK GTL"}},
    {Beam, {"PBC FAR", "PBC FAR", "TSK FAR"}},
    {Launcher, {"MAG - SEEKER", "MAG - MISSILE AUTODIR", "MAG - SUCHRAKETEN"}},
    {Launcher, {"MAG - LDSI", "MAG - LDSI", "MAG - LDSB"}},
    {Launcher, {"MAG - PROBE", "MAG - SONDE", "MAG - SONDE"}},
    {Launcher, {"AM RELEASE", "LARGAGE AM", "AM AUSSTO\xDF"}},
    {Beam, {"PBC ION", "PBC ION", "TSK ION"}},
    {Beam, {"PBC XL", "CP XL", "TSK XL"}},
    {Launcher, {"MAG - MINE", "MAG - MINE", "MAG - MINE"}},
    {Beam, {"PBC SLO", "PBC SLO", "PBC SLO"}},
    {Launcher, {"MAG - REC PROBE", "MAG - SONDE RECONNAISS", "MAG - AUF. SONDE"}},
    {Launcher, {"MAG - REM MISSILE", "MAG - MISSILE TELEGUIDE", "MAG - FERNLENKRAKETE"}},
    {Launcher, {"MAG - ECM FLARE", "MAG - BALISE CME", "MAG - EGM-LEUCHTRAKETE"}},
    {Launcher, {"MAG - DISRUPTOR", "MAG - MISSILE BROUILLEUR", "MAG - UNTERBRECHUNG"}},
    {Launcher, {"MAG - TACNUKE", "MAG - TACNUKE", "MAG - TACNUKE"}},
    {Beam, {"SNIPER PBC", "CP SNIPER", "LANGSTRECKEN-TSK"}},
};
void dunWeaponSetBallistics(Weapon *, int32_t, int32_t, int32_t, float, int32_t) { PENDING_ONCE("dunWeaponSetBallistics"); }
void dunWeaponSetPerformance(Weapon *, float, float, float, int32_t) { PENDING_ONCE("dunWeaponSetPerformance"); }
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

// The universe's and the order statements' calls into the brain, the
// contact list and targeting that are not built yet.
const OrderDef *FindOrderName(const char *name) {
    PENDING_ONCE("FindOrderName");
    // Until the order table is built, its names with their start states, so
    // that the scripts' orders are known; all evaluate by default.
    static const struct {
        const char *name;
        uint32_t state, p1, p2, p3;
    } kRows[] = {
        {"WaitForFurtherOrders", 63, 0, 0, 0},
        {"SelfPreservation", 35, 0, 0, 0},
        {"SentryDuty", 63, 0, 0, 0},
        {"AcquireIndieShip", 62, 260, 8, 50000000},
        {"AcquireNavyShip", 62, 132, 8, 50000000},
        {"AcquireIndieBase", 62, 264, 0, 50000000},
        {"AcquireNavyBase", 62, 136, 0, 50000000},
        {"SeekAndDestroy2", 20, 0, 0, 0},
        {"DestroyIfTarget", 20, 0, 0, 0},
        {"SeekAndDestroy", 25, 0, 0, 0},
        {"PullOut", 60, 0, 0, 0},
        {"RunAway", 60, 0, 0, 0},
        {"NavyGunPlatform", 23, 4, 1216, 0},
        {"IndieGunPlatform", 23, 640, 0, 0},
        {"AntiAlliedPlatform", 23, 4096, 0, 0},
        {"BlackGunPlatform", 23, 4, 576, 0},
        {"GunPlatform", 23, 4, 0, 0},
        {"AntieIndieGunPlatform", 23, 256, 0, 0},
        {"IndieDefNetGun", 24, 132, 0, 0},
        {"Turret", 47, 0, 0, 0},
        {"DefendObject", 27, 0, 0, 0},
        {"WaitForTrouble", 51, 150000, 0, 0},
        {"Escort", 51, 70000, 0, 0},
        {"Aproach", 49, 70000, 0, 0},
        {"Lagrange", 18, 0, 1, 0},
        {"MatchVel", 19, 10000, 0, 0},
        {"StayNear", 51, 600000, 0, 0},
        {"UnDock", 13, 0, 0, 0},
        {"GoAndDock", 14, 0, 0, 0},
        {"DockWhenClose", 14, 0, 0, 0},
        {"DockAndDemolish", 15, 0, 0, 0},
        {"SortLDAIndie", 42, 132, 0, 0},
        {"CheckLDA", 42, 132, 0, 0},
        {"LDSToNavTarget", 70, 0, 0, 0},
        {"HiSpeedWeaponsPass", 36, 0, 0, 0},
        {"StopAbsolute", 10, 0, 0, 0},
        {"StopRelative", 11, 0, 0, 0},
        {"StopDead", 67, 0, 0, 0},
        {"BigBomb", 37, 0, 0, 0},
        {"DroneTargetRun", 38, 100000, 0, 0},
        {"DroneMovingTarget", 39, 100000, 0, 0},
        {"DroneChasingTarget", 40, 100000, 0, 0},
        {"OrbitalAttack", 41, 0, 0, 0},
        {"LDADeff2Indie", 29, 132, 0, 0},
        {"LDADeff2Navy", 29, 260, 0, 0},
        {"Watch", 78, 0, 0, 0},
        {"SeekOrbitalSpeed", 76, 782004, 150, 0},
        {"Capsule", 52, 0, 0, 0},
        {"FixedAttack", 34, 0, 0, 0},
        {"AmbushAttack", 34, 0, 0, 0},
        {"ProvokedAttack", 34, 0, 0, 0},
        {"HarpoonTarget", 77, 0, 0, 0},
        {"Follower", 43, 0, 0, 0},
        {"FollowPlayer", 44, 0, 0, 0},
        {"SeekerMissile", 66, 0, 0, 0},
        {"ForcedTailBiting", 31, 50000, 0, 0},
        {"BusDriver", 54, 0, 0, 0},
        {"BusDriverNotStopping", 55, 0, 0, 0},
        {"DefendMothership", 28, 0, 0, 0},
        {"ConstantFire", 26, 100, 0, 0},
        {"Loiter", 56, 0, 0, 0},
        {"SafeLoiter", 56, 0, 0, 0},
        {"StraightLDS", 75, 0, 0, 0},
        {"Drift", 64, 0, 0, 0},
    };
    static OrderDef found;
    if (!name) return nullptr;
    for (const auto &row : kRows) {
        if (std::strcmp(row.name, name) != 0) continue;
        found = OrderDef{row.name,
                         std::strcmp(name, "SelfPreservation") ? dunai_EvalDefault : dunai_EvalSelfPreservation,
                         row.state,
                         {row.p1, row.p2, row.p3}};
        return &found;
    }
    return nullptr;
}
int16_t dunai_FindOrderSlot(SceneItem *, const char *) {
    PENDING_ONCE("dunai_FindOrderSlot");
    return -1;
}
int dunai_EvalPullOut(SceneItem *, int) {
    PENDING_ONCE("dunai_EvalPullOut");
    return 0;
}
void dunai_ThinkSimple(SceneItem *) { PENDING_ONCE("dunai_ThinkSimple"); }
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
