// The score registry: recorded hits and kills of the mission, and the kill
// points by ship class.
#pragma once

#include <cstdint>

void dunResetScores();
void dunResetKillPoints();
// Mode 0: whether the object (key) was hit (killed), 1 or 0; modes 1, 2, 3:
// the number of recorded hits (kills) whose victim has the ship class, side
// or number given by the key.
int32_t dunScoreSummary(int mode, int killed, intptr_t key);
// The registry's record of an object, found by its reference word (the
// object's handle), or null; and the text the record carries.
struct ScoreRecord;
ScoreRecord *dunFindScoreRecordByKey(uint32_t key);
const char *dunScoreRecordText(const ScoreRecord *record);
// A hit of the player's (a beam or a munition) on the victim is scored.
struct SceneItem;
void dunScoreHit(SceneItem *victim, bool munition);
// The player ship's three power-distribution shares (0..1, a sum of at most 1).
extern float dunPowerShares[3];

// The kill points of a ship class and the score weight of a side.
void dunSetKillPoints(int shipClass, int32_t points);
void dunSetSideScoreWeight(int side, float weight);
// A registered object's score record follows its class and side.
void dunScoreRecordSetType(uint32_t key, int typeCode);
void dunScoreRecordSetSide(uint32_t key, int side);

// The mission's shooting record: four tallies by weapon type (the enemy
// ships each type destroyed, the friendly ones, and the points each of the
// two earned), the kill-points total of the registry, and the player's
// shots and hits of the two accuracy figures (beams, then missiles). The
// checkpoint files save and restore it; the status panel reads it.
constexpr int kTallyTypes = 19;
namespace Tally {
constexpr int EnemyKills = 0, FriendlyKills = 1, EnemyPoints = 2, FriendlyPoints = 3;
}  // namespace Tally
struct WeaponTallies {
    int32_t tally[4][kTallyTypes];
    int32_t killPoints;
    int32_t shots[2];
    int32_t hits[2];
};
extern WeaponTallies dunWeaponTallies;
