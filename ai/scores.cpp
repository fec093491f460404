// The kill registry and the scoring of hits and kills.
#include "ai/scores.h"

#include <cstring>

#include "RES/util.h"
#include "world/handle.h"
#include "world/messages.h"
#include "world/mission_state.h"
#include "world/msghandler.h"
#include "world/objlist.h"
#include "world/records.h"

ScoreRecord dunScoreRecords[kScoreRecords];
int32_t dunScoreRecordCount;
int32_t dunKillPoints[kKillTypes];
float dunSideScoreFactor[kScoreSides];
uint16_t dunSideKills[kScoreSides];
int32_t dunFriendlyFireTotal;
int32_t dunScoreCap;
uint8_t dunFriendlyFireWarning;
uint8_t dunFriendlyFireVariant;
uint8_t dunSuspendSwitch;
int32_t *dunScoreSymbol;
WeaponTallies dunWeaponTallies;

namespace {

constexpr int32_t kDefaultKillPoints[kKillTypes] = {200, 50, 25, 5, 50, 500, 150, 50, 50, 100,
                                                    10,  10, 10, 800, 400, 350, 90, 100, 10};
// Side 6 scores as the other sides do: the table once stopped at side 5.
constexpr float kDefaultSideFactors[kScoreSides] = {0.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
constexpr int kFactionSide = 2;
// The player ship's flags after too much friendly fire: no side, no
// faction, and every AI ship after it.
constexpr uint32_t kTurncoatKeep = 0xcfffe03f;

uint32_t gSerial = 1;

bool TypeInRange(int32_t type) { return type >= 0 && type < kKillTypes; }

const ShipInfo *LiveShip(const SceneItem *o) { return o && o->sim ? o->sim->shipInfo : nullptr; }

float SideFactor(const ScoreRecord &r, const SceneItem *victim) {
    if (victim && victim->avatar && (victim->avatar->flags & AvatarFlag::FactionBits))
        return dunSideScoreFactor[kFactionSide];
    return r.side < kScoreSides ? dunSideScoreFactor[r.side] : 0.0f;
}

void TurnEveryoneOnPlayer() {
    SceneItem *p = dunPlayerShip;
    if (!p) return;
    if (p->avatar) p->avatar->flags = (p->avatar->flags & kTurncoatKeep) | AvatarFlag::AttackPlayer;
    dunMissionSuccess = 0;
    dunMsgPost(p->receiverId, p->receiverId, kFriendlyFireDelay, MsgFeedText, 0, nullptr);
}

// The amount a kill of the record scores (negative for a friendly one),
// with the tallies and the friendly-fire consequences.
int32_t KillAmount(const ScoreRecord &r, SceneItem *victim) {
    const ShipInfo *info = LiveShip(victim);
    if (!info || !TypeInRange(r.typeCode)) return 0;
    const int32_t points = dunKillPoints[r.typeCode];
    const float f = SideFactor(r, victim);
    auto &t = dunWeaponTallies.tally;
    const ShipInfo *player = LiveShip(dunPlayerShip);
    if (player && info->side == player->side) {
        ++t[Tally::FriendlyKills][r.typeCode];
        const int32_t amount = -int32_t(float(points) * f);
        t[Tally::FriendlyPoints][r.typeCode] += amount;
        dunFriendlyFireTotal += points;
        dunFriendlyFireWarning = 0xFF;
        dunFriendlyFireVariant = uint8_t(dunRand15() % 3 + 2);
        if (dunFriendlyFireTotal > kFriendlyFireLimit) TurnEveryoneOnPlayer();
        return amount;
    }
    ++t[Tally::EnemyKills][r.typeCode];
    const int32_t amount = int32_t(float(points) * f);
    t[Tally::EnemyPoints][r.typeCode] += amount;
    return amount;
}

}  // namespace

void dunResetScores() {
    std::memset(dunScoreRecords, 0, sizeof dunScoreRecords);
    dunScoreRecordCount = 0;
    gSerial = 1;
    std::memset(dunSideKills, 0, sizeof dunSideKills);
    dunWeaponTallies = WeaponTallies{};
    dunFriendlyFireTotal = 0;
    dunFriendlyFireWarning = 0;
    dunFriendlyFireVariant = 0;
}

// A mission's side weights go with its kill points: the next mission starts
// from the defaults.
void dunResetKillPoints() {
    std::memcpy(dunKillPoints, kDefaultKillPoints, sizeof dunKillPoints);
    std::memcpy(dunSideScoreFactor, kDefaultSideFactors, sizeof dunSideScoreFactor);
}

bool dunRegisterScoreObject(SceneItem *object) {
    const ShipInfo *info = LiveShip(object);
    if (!info || !object->avatar || object->avatar->scoreRecord != 0) return false;
    if (dunScoreRecordCount >= kScoreRecords) return false;
    ScoreRecord &r = dunScoreRecords[dunScoreRecordCount++];
    r = ScoreRecord{};
    r.key = kScoreKeyBase | gSerial++;
    r.object = object;
    r.classWord = info->className;
    r.typeCode = info->typeCode;
    r.side = uint16_t(info->side);
    r.alive[0] = r.alive[1] = 0xFF;
    r.group = info->group;
    r.secondKey = dunHandleOf(object);
    object->avatar->scoreRecord = r.key;
    return true;
}

ScoreRecord *dunFindScoreRecord(uint32_t key) {
    if (key == 0) return nullptr;
    for (int i = 0; i < dunScoreRecordCount; ++i)
        if (dunScoreRecords[i].key == key) return &dunScoreRecords[i];
    return nullptr;
}

ScoreRecord *dunFindScoreRecordByKey(uint32_t handle) {
    if (handle == kNoHandle) return nullptr;
    for (int i = 0; i < dunScoreRecordCount; ++i)
        if (dunScoreRecords[i].secondKey == handle) return &dunScoreRecords[i];
    return nullptr;
}

const char *dunScoreRecordText(const ScoreRecord *record) {
    return record && record->classWord ? record->classWord : "";
}

void dunScoreHit(SceneItem *victim, bool munition) {
    ScoreRecord *r = victim && victim->avatar ? dunFindScoreRecord(victim->avatar->scoreRecord) : nullptr;
    if (!r) return;
    ++r->hitCount;
    r->lastEvent = uint32_t(gMissionClock);
    ++dunWeaponTallies.hits[munition ? 1 : 0];
}

void dunScoreKill(uint32_t key) {
    if (dunSuspendSwitch) return;
    ScoreRecord *r = dunFindScoreRecord(key);
    if (!r || (dunPlayerShip && r->object == dunPlayerShip)) return;
    // A kill reported twice scores twice; the world drops repeated
    // destroyed messages before they get here.
    r->killed = 0xFF;
    r->lastEvent = uint32_t(gMissionClock);
    SceneItem *victim = dunItemFromHandle(r->secondKey);
    if (r->side < kScoreSides) ++dunSideKills[r->side];
    int32_t amount = KillAmount(*r, victim);
    int32_t &score = dunWeaponTallies.killPoints;
    score += amount;
    if (dunScoreCap > 0 && score > dunScoreCap) {
        amount -= score - dunScoreCap;
        score = dunScoreCap;
    }
    if (dunScoreSymbol) *dunScoreSymbol += amount;
}

int32_t dunScoreSummary(int what, int killed, intptr_t value) {
    if (what < 0 || what > 3) return 0;
    const uint32_t handle = what == 0 && value ? dunHandleOf(reinterpret_cast<SceneItem *>(value)) : kNoHandle;
    int32_t n = 0;
    for (int i = 0; i < dunScoreRecordCount; ++i) {
        const ScoreRecord &r = dunScoreRecords[i];
        if (killed ? r.killed == 0 : r.hitCount == 0) continue;
        switch (what) {
        case 0:
            if (handle != kNoHandle && r.secondKey == handle) return 1;
            break;
        case 1: n += r.typeCode == value; break;
        case 2: n += r.side == value; break;
        case 3: n += r.group == value; break;
        }
    }
    return n;
}

void dunEmptyScoreHook() {}

void dunSetKillPoints(int shipClass, int32_t points) {
    if (TypeInRange(shipClass)) dunKillPoints[shipClass] = points;
}

void dunSetSideScoreWeight(int side, float weight) {
    if (side >= 0 && side < kScoreSides) dunSideScoreFactor[side] = weight;
}

void dunScoreRecordSetType(uint32_t key, int typeCode) {
    if (ScoreRecord *r = dunFindScoreRecord(key)) r->typeCode = typeCode;
}

void dunScoreRecordSetSide(uint32_t key, int side) {
    if (ScoreRecord *r = dunFindScoreRecord(key)) r->side = uint16_t(side);
}
