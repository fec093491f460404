// Hits, kills and scoring of ships: what the world's messages and contacts
// hand to the combat code.
#pragma once

#include <cstdint>

#include "RES/vecmath.h"

struct SceneItem;
struct DamageRecord;

struct ShipDamage;

// ---- impact and hits -------------------------------------------------------------------

// A ship takes a 48-byte hit: event hooks 1, the damage scaled 80..119 %
// and halved by armour, subsystem damage, defence slots reassigned, hull
// percent; its destruction follows by message 25 cs later (50 for the
// player's ship).
void dunShipHit(SceneItem *ship, const DamageRecord *record);
// A round's damage and penetration when it strikes, and who struck: the
// firing ship (a munition: the round itself).
void dunRoundDamage(SceneItem *round, int32_t *damage, int32_t *penetration, SceneItem **attacker);
// Damage left after armour: whole when the penetration is above the
// armour, none for no penetration, else halved per whole multiple (mod 32).
int32_t dunArmourDamage(int32_t damage, int32_t penetration, int32_t armour);
// The share of the maximum hull taken, in whole percent (0 when the record
// has no maximum, as a launched craft's has not).
int32_t dunDamagePercent(const ShipDamage &block);
// Defence slot k of the ship guards against the nearest candidate of the
// masks (its attacker first); even slots look below, odd ones above.
void dunAssignDefenceTargets(SceneItem *ship, int slot, uint32_t includeMask, uint32_t excludeMask);
// The player's deflections (lower, upper half), and the view's display
// level, 0x7F just after the controlled object deflected a hit.
extern uint16_t dunPlayerDeflections[2];
extern uint8_t dunDeflectDisplayLevel;
void dunScoreKill(uint32_t scoreRecord);
int dunScoreSummary(int a, int b, SceneItem *item);
void dunPassGroupFlag(SceneItem *ship);
void dunPickTargetFiltered(void *targetState, int reserved);
void dunAssignFixedAttack(SceneItem *ship);
// The spin kick of an impact (point and velocity in world axes, the impulse
// as the bits of a float); of a collision with another object.
void dunImpactGeometry(SceneItem *ship, const Vec3 *point, const Vec3 *velocity, uint32_t impulseBits);
void dunImpactFromCollision(SceneItem *ship, SceneItem *other, const Vec3 *position);
void dunFireSpecialWeapon(SceneItem *ship, SceneItem *missile);
// ---- target choice and tactics ---------------------------------------------------------

// A ship's condition 0..1 from its damage block (the first word unused).
float dunTargetCondition(int32_t unused, int32_t maximum, int32_t taken, uint32_t damageMask);
// How much the ship wants the candidate as its goal (0: not at all), with
// preference for candidates whose Avatar flags share the preferred bits.
double dunScoreTarget(SceneItem *ship, SceneItem *candidate, uint32_t preferred);
// The state a ship takes up against its target (the held object, or its
// goal, which becomes its target when none is held): -1 none.
int32_t dunChooseAttackTactic(SceneItem *ship, SceneItem **holder);
// The state ids the combat states push.
constexpr uint32_t kStateOffClose = 21, kStateOffFireAtWill = 22, kStateUnmovingGuard = 23, kStateLDADeffTwo = 29,
                   kStateTailBiting = 31, kStateFaceAttack = 32, kStateCombatAchieveRange = 33, kStateCombat = 34,
                   kStatePlayerFollower = 44, kStateCombatOnce = 45, kStateEscFlee = 61, kStateLdsFlight = 74;

// ---- groups ------------------------------------------------------------------------------

// Sends a decoy message to every munition when the flare is close enough
// to its target (farther away, by chance).
void dunFlareDecoyMessage(SceneItem *source, SceneItem *target);
// The score record of a key (its first word is a 32-bit word), or null.
const uint32_t *dunFindScoreRecord(uint32_t key);
// The 48-byte damage message (type 8, 4 cs) from sender to receiver, with
// and without the sender named as attacker.
bool dunSendRelativePosition(SceneItem *sender, SceneItem *receiver, int32_t secondTerm, int32_t damage);
bool dunSendRelativePosition2(SceneItem *sender, SceneItem *receiver, int32_t secondTerm, int32_t damage);

// The cockpit's target selection: the selected target, and the selected
// target made the controlled object's goal and target.
void dunSelectTarget(SceneItem *item);
void dunSetShipTarget();
// A random point on a random part of the object's model, in its frame.
void dunRandomPointOnSubNode(SceneItem *item, Vec3 *point);
// The score registry takes the object.
void dunRegisterScoreObject(SceneItem *item);
// A passed waypoint's successor: selected and made the navigation target.
void dunSelectWaypointTarget(SceneItem *item);
// Whether guided rounds aim at the goal's current sub-target (the
// targeting settings), and that sub-target's centre in the goal's frame.
bool dunAimsAtSubTarget();
bool dunSubTargetCentre(SceneItem *goal, Vec3 *centre);
// The sub-target cursor is tied to its object. Stepping it moves to the
// object's next volume with a sub-target id (wrapping; on another object,
// from the head of its list) and keeps its box centre; it returns the id, 0
// when there is no other one (the cursor then stays).
struct HitBox;
extern SceneItem *dunSubTargetOwner;
extern Vec3 dunSubTargetCentrePoint;
int16_t dunNextSubTarget(SceneItem *object);
void dunClearSubTarget();
// The target-lock key: the pick under the aiming ray, then the goal's next
// sub-target (pressed again on the same target, the one after it).
void dunLockTarget();
// The class bits the aiming-ray pick takes in a targeting mode.
uint32_t dunPickClassMask(uint32_t mode, bool any);

// Installs the AI's table of the world's calls, and of the presentation's.
void dunai_InstallWorldHooks();
void dunai_InstallPresentHooks();
