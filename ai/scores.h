// The kill registry and the score: every ship a mission registers is
// remembered (after it is gone) so that hits and kills can be counted and
// scored; a kill scores points by ship type, a kill of the player's own side
// costs them, and too much of that turns everyone against the player. Also
// the player ship's three power shares and the cockpit's ammunition gauges.
#pragma once

#include <cstdint>

#include "RES/vecmath.h"

struct SceneItem;
struct Weapon;
struct ScriptSymbol;

constexpr int kScoreRecords = 400;
constexpr int kKillTypes = 19;
constexpr int kScoreSides = 7;
constexpr uint32_t kScoreKeyBase = 0x10000;
// A friendly-fire total above this turns every AI ship on the player.
constexpr int32_t kFriendlyFireLimit = 100;
constexpr uint32_t kFriendlyFireDelay = 600;

struct ScoreRecord {
    uint32_t key;            // first word: kScoreKeyBase | serial (also in the Avatar's score-key word)
    SceneItem *object;       // when registered; kept after the object is gone
    const char *classWord;   // the ship's class record word (its class name)
    int32_t typeCode;        // index of the kill-points table
    uint32_t lastEvent;      // mission time of the last hit or the kill; 0 at registration
    uint16_t side;
    uint16_t hitCount;
    uint8_t alive[2];        // 255 at registration
    uint8_t killed;          // 255 once the kill is scored
    int32_t group;
    uint32_t secondKey;      // the object's handle: finds the record from the object's side
};

// The registry and the score state of the mission.
extern ScoreRecord dunScoreRecords[kScoreRecords];
extern int32_t dunScoreRecordCount;
extern int32_t dunKillPoints[kKillTypes];
extern float dunSideScoreFactor[kScoreSides];
extern uint16_t dunSideKills[kScoreSides];
extern int32_t dunFriendlyFireTotal;
extern int32_t dunScoreCap;                  // 0 or less: none
extern uint8_t dunFriendlyFireWarning;       // 255 after a friendly kill
extern uint8_t dunFriendlyFireVariant;       // 2..4: which warning text
// Set by the script: wing commands and additions do nothing, kills score
// nothing.
extern uint8_t dunSuspendSwitch;
// The script symbol that receives every scored amount (SCORE); installed
// by the mission runtime, null in tests that give none.
extern int32_t *dunScoreSymbol;

void dunResetScores();
void dunResetKillPoints();
// Registers a ship (a Sim with a ShipInfo and no key yet) while fewer than
// 400 are: true when registered.
bool dunRegisterScoreObject(SceneItem *object);
ScoreRecord *dunFindScoreRecord(uint32_t key);
// By the object's handle.
ScoreRecord *dunFindScoreRecordByKey(uint32_t handle);
const char *dunScoreRecordText(const ScoreRecord *record);
// A hit of the player's (a beam or a munition) on the victim.
void dunScoreHit(SceneItem *victim, bool munition);
// A registered ship was destroyed by the player.
void dunScoreKill(uint32_t key);
// Among killed (or hit) records: mode 0 whether the object (a SceneItem
// pointer) qualifies, 1 or 0; modes 1, 2, 3: how many have the type code,
// side or group given; other modes 0.
int32_t dunScoreSummary(int what, int killed, intptr_t value);
// The script's score hook: nothing.
void dunEmptyScoreHook();

// The kill points of a ship class and the score weight of a side (out of
// range: ignored).
void dunSetKillPoints(int shipClass, int32_t points);
void dunSetSideScoreWeight(int side, float weight);
// A registered object's score record follows its class and side.
void dunScoreRecordSetType(uint32_t key, int typeCode);
void dunScoreRecordSetSide(uint32_t key, int side);

// ---- power shares -------------------------------------------------------------------

// The player ship's three power-distribution shares (0..1, a sum of at most
// 1) and the values derived from them for the engineering model.
extern float dunPowerShares[3];
extern float dunPowerDerived[3];
void dunNormalisePowerShares();

// ---- ammunition gauges ------------------------------------------------------------------

struct AmmoGauge {
    Weapon *weapon;
    int32_t share;   // the rounds that belong to this gauge
    int32_t value;   // the rounds it shows
    int32_t offset;  // the rounds of the gauges bound after it
    uint32_t parameter;
    const char *name;
    AmmoGauge *next;
    ScriptSymbol *extra;
};
constexpr int kAmmoGauges = 32;
// A new named gauge at the end of the list (the cockpit set-up); null when
// the pool is full. The name is kept, not copied.
AmmoGauge *dunAddAmmoGauge(const char *name);
void dunClearAmmoGauges();
AmmoGauge *dunAmmoGaugeList();

// ---- hulls and special weapons -------------------------------------------------------------

// A random point on the surface of one of the object's collision volumes
// (in its frame); without volumes, three random fractions.
void dunRandomPointOnSubNode(SceneItem *object, Vec3 *point);
// The last ready flare launcher of the ship fires at the target; a ship
// without one loses its special-weapon flag.
void dunFireSpecialWeapon(SceneItem *ship, SceneItem *target);

// The mission's shooting record: four tallies by ship type code (the enemy
// ships destroyed, the friendly ones, and the points each earned), the
// kill-points total of the registry, and the player's shots and hits of the
// two accuracy figures (beams, then missiles). The checkpoint files save
// and restore it; the status panel reads it.
constexpr int kTallyTypes = kKillTypes;
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
