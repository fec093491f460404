// Hits, kills and scoring of ships: what the world's messages and contacts
// hand to the combat code.
#pragma once

#include <cstdint>

#include "RES/vecmath.h"

struct SceneItem;
struct DamageRecord;

// A ship takes a 48-byte hit: event hooks 1, damage terms, subsystem damage,
// hull percent; destruction through messages.
void dunShipHit(SceneItem *ship, const DamageRecord *record);
void dunScoreKill(uint32_t scoreRecord);
int dunScoreSummary(int a, int b, SceneItem *item);
void dunPassGroupFlag(SceneItem *ship);
void dunPickTargetFiltered(void *targetState, int reserved);
void dunAssignFixedAttack(SceneItem *ship);
void dunImpactGeometry(SceneItem *ship, const Vec3 *point, const Vec3 *velocity, uint32_t word);
void dunImpactFromCollision(SceneItem *ship, SceneItem *other, const Vec3 *direction);
void dunFireSpecialWeapon(SceneItem *ship, SceneItem *missile);
// How much the ship wants the candidate as its goal (0: not at all), with
// preference for candidates whose Avatar flags share the preferred bits.
double dunScoreTarget(SceneItem *ship, SceneItem *candidate, uint32_t preferred);
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
// The nearest ship with every flag of the mask, not the excluded one.
SceneItem *dunNearestShipByFlags(uint32_t mask, SceneItem *exclude);
// Whether guided rounds aim at the goal's current sub-target (the
// targeting settings), and that sub-target's centre in the goal's frame.
bool dunAimsAtSubTarget();
bool dunSubTargetCentre(SceneItem *goal, Vec3 *centre);

// Installs the AI's table of the world's calls, and of the presentation's.
void dunai_InstallWorldHooks();
void dunai_InstallPresentHooks();
