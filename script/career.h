// The career: the captain's save slot, the game-wide state file, the loading
// sizes and the mission table, and from them the missions playable next.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kCareerMissions = 100;
constexpr int kCaptainNameBytes = 24;
constexpr int kMissionNameBytes = 80;
constexpr size_t kSlotFileBytes = 1840;
constexpr size_t kStateFileBytes = 820;
constexpr size_t kSizeFileBytes = 400;
constexpr int32_t kNewBestTime = 360000;  // clock units: the best time of a mission never flown

// "vek\slot%01i.sav". Missions are numbered by their row in the mission table.
struct CaptainSlot {
    char name[kCaptainNameBytes];
    int16_t slotWord;
    int32_t slotValue;
    int32_t totalScore;
    int32_t modeFlags;  // bit 0 arcade; bit 1 the career has begun; a new slot has 4
    int16_t historyCount;
    int16_t played[kCareerMissions];  // 0 not played, -1 played
    int16_t branch[kCareerMissions];  // the result that branches test
    // Per mission, the last time it was flown (clock units) in two halves:
    // the low and the high 16 bits.
    int16_t lastTimeLow[kCareerMissions];
    int16_t lastTimeHigh[kCareerMissions];
    int16_t history[kCareerMissions];  // missions in the order they were recorded
    int32_t resultShare[kCareerMissions];
    int32_t resultValue[kCareerMissions];
};

// "vek\state.inf": ten 16-bit words, then the best result and best time of
// every mission.
namespace StateWord {
constexpr int Slot = 0;         // the current slot
constexpr int Mission = 1;      // launch values: the mission launched
constexpr int Launch2 = 2;
constexpr int Launch3 = 3;
constexpr int Flight = 4;       // -1 once a mission has started
constexpr int Outcome = 5;      // of the last mission
constexpr int Success = 6;      // of the last mission: 0 or -1
constexpr int Score = 7;        // the last mission's score, or the last recorded result share
constexpr int Launch8 = 8;
constexpr int FullScreen = 9;   // launched with the full-screen display driver
constexpr int Count = 10;
}  // namespace StateWord

struct CareerState {
    int16_t word[StateWord::Count];
    int32_t bestResult[kCareerMissions];
    int32_t bestTime[kCareerMissions];  // clock units
};

// One row of "vek\resource\scripts\precedence.csv".
struct MissionRecord {
    int16_t index;
    int16_t missionNumber;  // the script "mission%02i.scr"; 0 = no mission in this row
    char name[kMissionNameBytes];  // in the current language
    int16_t prerequisite;   // the row that must have been played first; 0 none, -1 before loading
    int16_t branchMission;  // 0, or the row whose branch result must equal the branch value
    int16_t branchValue;
    int16_t value10;
    int32_t resultMax;  // upper bound of the result share (tenths)
    int32_t value12;
    int16_t followOn;  // column 14: the row launched after this one succeeded; 0 none
};

extern CaptainSlot gCaptainSlot;
extern CareerState gCareerState;
extern MissionRecord gMissionTable[kCareerMissions];
// Rows named in some row's branch-mission column.
extern uint8_t gBranchTargets[kCareerMissions];
// Per mission, not saved: the slot that set the best result and the slot
// that set the best time.
extern int16_t gBestResultSlot[kCareerMissions];
extern int16_t gBestTimeSlot[kCareerMissions];
// "vek\size.inf": the expected sizes of each mission's loading steps.
extern int32_t gLoadSizes[kCareerMissions];
// The missions playable next, in table order.
extern int16_t gAvailableMissions[kCareerMissions];
extern int16_t gAvailableCount;
// The captain's name is not the language's default one.
extern uint8_t gCaptainNamed;
// The captain's slot has been read from its file (or made new): until then
// the slot in memory is nobody's career.
extern uint8_t gCaptainSlotRead;

// True when the game may write the career files: a captain was chosen (the
// slot was read) and the game is not flying a mission named on its command
// line, which belongs to no career.
bool CareerFilesWritable();
// A slot or state file that no career can have written: cut short, too
// long, or with fields out of every career's range. Null when it is whole,
// else what is wrong with it.
const char *CaptainSlotDamage(const uint8_t *bytes, size_t size);
const char *CareerStateDamage(const uint8_t *bytes, size_t size);

// The career's current mission (a row of the mission table) is
// gCareerMission (script/mission.h).

// The slot's last time of a mission (clock units); 0 when never flown.
int32_t CaptainMissionTime(int row);
void SetCaptainMissionTime(int row, int32_t time);

// The default captain name of a language.
const char *DefaultCaptainName(int language);
// Another name over the default captain name of every language; null puts
// the languages' own back.
void SetDefaultCaptainName(const char *name);
// The file name of a slot's save ("vek\slot%01i.sav").
void CaptainSlotFileName(int slot, char *out, size_t size);

// The whole files as bytes, and back (the readers leave the fields past a
// short file's end as they were).
void EncodeCaptainSlot(const CaptainSlot &slot, uint8_t out[kSlotFileBytes]);
void DecodeCaptainSlot(const uint8_t *bytes, size_t size, CaptainSlot *slot);
void EncodeCareerState(const CareerState &state, uint8_t out[kStateFileBytes]);
void DecodeCareerState(const uint8_t *bytes, size_t size, CareerState *state);

void dunReadStateFile();
void dunWriteStateFile();
bool dunReadCaptainSlot();
void dunWriteCaptainSlot();
void dunNewCaptainSlot();

// Reads the mission table; false when it is missing.
bool dunLoadPrecedence();
// Parses mission-table text into the table.
void ParsePrecedence(const char *text, size_t size);
void dunRebuildAvailableMissions();
void dunRecordMissionResult();
void dunCompleteAllMissions();
// The front end's timeline lists emptied.
void dunFreeTimelines();
// The expected loading-step count of a mission (0 when unknown).
uint16_t MissionLoadSize(int mission);
