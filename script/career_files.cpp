// The career's binary files: the captain's slot, the state file and the
// loading sizes, field by field, little-endian, with nothing between fields.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "core/bytes.h"
#include "core/files.h"
#include "core/log.h"
#include "core/options.h"
#include "script/career.h"
#include "script/mission.h"

CaptainSlot gCaptainSlot;
CareerState gCareerState;
int16_t gBestResultSlot[kCareerMissions];
int16_t gBestTimeSlot[kCareerMissions];
int32_t gLoadSizes[kCareerMissions];
uint8_t gCaptainNamed;
uint8_t gCaptainSlotRead;

namespace {

constexpr char kStateFile[] = "vek\\state.inf";
constexpr char kSizeFile[] = "vek\\size.inf";

// One field of a file: `count` values of `width` bytes each (1 for text).
struct Field {
    void *value;
    int width;
    int count;
};

// The slot's fields in file order.
template <class Slot, class F>
void SlotFields(Slot &s, F &&f) {
    f(Field{(void *)s.name, 1, kCaptainNameBytes});
    f(Field{(void *)&s.slotWord, 2, 1});
    f(Field{(void *)&s.slotValue, 4, 1});
    f(Field{(void *)&s.totalScore, 4, 1});
    f(Field{(void *)&s.modeFlags, 4, 1});
    f(Field{(void *)&s.historyCount, 2, 1});
    f(Field{(void *)s.played, 2, kCareerMissions});
    f(Field{(void *)s.branch, 2, kCareerMissions});
    f(Field{(void *)s.lastTimeLow, 2, kCareerMissions});
    f(Field{(void *)s.lastTimeHigh, 2, kCareerMissions});
    f(Field{(void *)s.history, 2, kCareerMissions});
    f(Field{(void *)s.resultShare, 4, kCareerMissions});
    f(Field{(void *)s.resultValue, 4, kCareerMissions});
}

template <class State, class F>
void StateFields(State &s, F &&f) {
    f(Field{(void *)s.word, 2, StateWord::Count});
    f(Field{(void *)s.bestResult, 4, kCareerMissions});
    f(Field{(void *)s.bestTime, 4, kCareerMissions});
}

// Writes the fields one after another.
struct Encoder {
    uint8_t *out;
    size_t at = 0;
    void operator()(const Field &field) {
        auto *p = static_cast<const uint8_t *>(field.value);
        for (int i = 0; i < field.count; ++i, at += size_t(field.width)) {
            if (field.width == 1) out[at] = p[i];
            else if (field.width == 2) PutU16Le(out, at, uint16_t(reinterpret_cast<const int16_t *>(p)[i]));
            else PutU32Le(out, at, uint32_t(reinterpret_cast<const int32_t *>(p)[i]));
        }
    }
};

// Reads the fields one after another; a value past the end of the bytes
// is left as it was.
struct Decoder {
    ByteView in;
    size_t at = 0;
    void operator()(const Field &field) {
        auto *p = static_cast<uint8_t *>(field.value);
        for (int i = 0; i < field.count; ++i, at += size_t(field.width)) {
            if (field.width == 1) ReadU8(in, at, &p[i]);
            else if (field.width == 2) ReadI16Le(in, at, &reinterpret_cast<int16_t *>(p)[i]);
            else ReadI32Le(in, at, &reinterpret_cast<int32_t *>(p)[i]);
        }
    }
};

// The whole file, or false when it does not open; at most `limit` bytes
// are read of a longer one, and `longer` tells whether there were more.
bool ReadFile(const char *name, uint8_t *buffer, size_t limit, size_t *size, bool *longer = nullptr) {
    *size = 0;
    FILE *f = OpenGameFile(name, "rb");
    if (!f) return false;
    *size = std::fread(buffer, 1, limit, f);
    if (longer) *longer = std::fgetc(f) != EOF;
    std::fclose(f);
    return true;
}

// A career file as it was read: whole, or set aside (then read as missing,
// so that the file written in its place never goes over it).
bool ReadCareerFile(const char *name, uint8_t *buffer, size_t bytes, size_t *size,
                    const char *(*damage)(const uint8_t *, size_t)) {
    bool longer = false;
    if (!ReadFile(name, buffer, bytes, size, &longer)) return false;
    const char *why = longer ? "longer than a career file" : damage(buffer, *size);
    if (!why) return true;
    SetGameFileAside(name, why);
    return false;
}

// Every career's total: at most 100 missions, each of them scored in 16 bits
// twice over (the mission's score and the recorded share).
constexpr int32_t kMostCareerScore = kCareerMissions * 2 * 32767;

void Save(const char *name, const uint8_t *bytes, size_t size) {
    if (!WriteGameFileWhole(name, bytes, size)) dunDebugPrintf("Cannot write %s", name);
}

int CurrentSlot() {
    int slot = gCareerState.word[StateWord::Slot];
    // The file name has room for one digit: another number in a damaged
    // state file means the first slot.
    return slot >= 0 && slot <= 9 ? slot : 0;
}

void ResetCareerState() {
    std::memset(&gCareerState, 0, sizeof gCareerState);
    for (int32_t &t : gCareerState.bestTime) t = kNewBestTime;
    std::memset(gBestResultSlot, 0, sizeof gBestResultSlot);
    std::memset(gBestTimeSlot, 0, sizeof gBestTimeSlot);
}

}  // namespace

int32_t CaptainMissionTime(int row) {
    if (row < 0 || row >= kCareerMissions) return 0;
    return int32_t(uint32_t(uint16_t(gCaptainSlot.lastTimeLow[row])) | uint32_t(uint16_t(gCaptainSlot.lastTimeHigh[row])) << 16);
}

void SetCaptainMissionTime(int row, int32_t time) {
    if (row < 0 || row >= kCareerMissions) return;
    gCaptainSlot.lastTimeLow[row] = int16_t(uint16_t(uint32_t(time)));
    gCaptainSlot.lastTimeHigh[row] = int16_t(uint16_t(uint32_t(time) >> 16));
}

namespace {
char gDefaultNameOverride[kCaptainNameBytes];
}  // namespace

bool CareerFilesWritable() { return gCaptainSlotRead && !gMissionFromCommandLine; }

const char *CaptainSlotDamage(const uint8_t *bytes, size_t size) {
    if (size < kSlotFileBytes) return size ? "cut short" : "empty";
    CaptainSlot s{};
    DecodeCaptainSlot(bytes, size, &s);
    // The name is text that ends within its field.
    const void *end = std::memchr(bytes, 0, kCaptainNameBytes);
    if (!end) return "the captain's name has no end";
    for (const uint8_t *p = bytes; p != end; ++p)
        if (*p < 0x20 || *p == 0x7F) return "the captain's name is not text";
    if (s.historyCount < 0 || s.historyCount > kCareerMissions) return "the mission history is out of range";
    if (s.totalScore < 0 || s.totalScore > kMostCareerScore) return "the total score is out of range";
    if (s.modeFlags & ~7) return "the career's mode flags are out of range";
    for (int i = 0; i < kCareerMissions; ++i) {
        if (s.played[i] != 0 && s.played[i] != -1) return "a mission's played mark is out of range";
        if (i < s.historyCount && (s.history[i] < 0 || s.history[i] >= kCareerMissions))
            return "the mission history names no mission";
    }
    return nullptr;
}

const char *CareerStateDamage(const uint8_t *bytes, size_t size) {
    if (size < kStateFileBytes) return size ? "cut short" : "empty";
    CareerState s{};
    DecodeCareerState(bytes, size, &s);
    if (s.word[StateWord::Slot] < 0 || s.word[StateWord::Slot] > 9) return "the slot number is out of range";
    if (s.word[StateWord::Success] != 0 && s.word[StateWord::Success] != -1) return "the last success is out of range";
    for (int i = 0; i < kCareerMissions; ++i)
        if (s.bestTime[i] < 0 || s.bestResult[i] < 0) return "a best result or time is out of range";
    return nullptr;
}

const char *DefaultCaptainName(int language) {
    static const char *const kNames[3] = {"Unknown Captain", "Capitaine Inconnu", "Unbekannter Kapit\xE4n"};
    if (gDefaultNameOverride[0]) return gDefaultNameOverride;
    return kNames[language >= 0 && language < 3 ? language : 0];
}

void SetDefaultCaptainName(const char *name) {
    std::snprintf(gDefaultNameOverride, sizeof gDefaultNameOverride, "%s", name ? name : "");
}

void CaptainSlotFileName(int slot, char *out, size_t size) {
    std::snprintf(out, size, "vek\\slot%01i.sav", slot);
}

void EncodeCaptainSlot(const CaptainSlot &slot, uint8_t out[kSlotFileBytes]) {
    Encoder e{out};
    SlotFields(slot, e);
}

void DecodeCaptainSlot(const uint8_t *bytes, size_t size, CaptainSlot *slot) {
    Decoder d{BytesOf(bytes, size)};
    SlotFields(*slot, d);
    slot->name[kCaptainNameBytes - 1] = 0;
}

void EncodeCareerState(const CareerState &state, uint8_t out[kStateFileBytes]) {
    Encoder e{out};
    StateFields(state, e);
}

void DecodeCareerState(const uint8_t *bytes, size_t size, CareerState *state) {
    Decoder d{BytesOf(bytes, size)};
    StateFields(*state, d);
}

void dunWriteStateFile() {
    // A mission named on the command line flies for no captain: whatever
    // career is on disk stays as it is.
    if (gMissionFromCommandLine) return;
    uint8_t bytes[kStateFileBytes];
    EncodeCareerState(gCareerState, bytes);
    Save(kStateFile, bytes, sizeof bytes);
}

void dunReadStateFile() {
    uint8_t bytes[kStateFileBytes];
    size_t size;
    std::memset(gLoadSizes, 0, sizeof gLoadSizes);
    if (ReadFile(kSizeFile, bytes, kSizeFileBytes, &size)) {
        ByteView sizes = BytesOf(bytes, size);
        for (int i = 0; i < kCareerMissions; ++i) ReadI32Le(sizes, size_t(i) * 4, &gLoadSizes[i]);
    }
    if (ReadCareerFile(kStateFile, bytes, sizeof bytes, &size, CareerStateDamage)) {
        DecodeCareerState(bytes, size, &gCareerState);
    } else {
        ResetCareerState();
        dunWriteStateFile();
    }
    if (optSlotGiven) gCareerState.word[StateWord::Slot] = int16_t(optSaveSlot);
}

void dunWriteCaptainSlot() {
    if (gMissionFromCommandLine) return;
    uint8_t bytes[kSlotFileBytes];
    EncodeCaptainSlot(gCaptainSlot, bytes);
    char name[32];
    CaptainSlotFileName(CurrentSlot(), name, sizeof name);
    Save(name, bytes, sizeof bytes);
}

bool dunReadCaptainSlot() {
    char name[32];
    CaptainSlotFileName(CurrentSlot(), name, sizeof name);
    uint8_t bytes[kSlotFileBytes];
    size_t size;
    const char *standard = DefaultCaptainName(gLanguage);
    gCaptainSlotRead = 1;
    if (!ReadCareerFile(name, bytes, sizeof bytes, &size, CaptainSlotDamage)) {
        std::snprintf(gCaptainSlot.name, sizeof gCaptainSlot.name, "%s", standard);
        // A new slot also rebuilds the available missions.
        dunNewCaptainSlot();
        optArcade = 0;
        gCaptainNamed = 0;
        return false;
    }
    DecodeCaptainSlot(bytes, size, &gCaptainSlot);
    gCaptainNamed = std::strcmp(gCaptainSlot.name, standard) ? 0xFF : 0;
    if (gCaptainNamed && gCaptainSlot.modeFlags == 0) gCaptainSlot.modeFlags = 6;
    if (optFrontEndStart) optArcade = (gCaptainSlot.modeFlags & 1) ? 0xFF : 0;
    return true;
}

void dunNewCaptainSlot() {
    char name[kCaptainNameBytes];
    std::memcpy(name, gCaptainSlot.name, sizeof name);
    std::memset(&gCaptainSlot, 0, sizeof gCaptainSlot);
    std::memcpy(gCaptainSlot.name, name, sizeof name);
    gCaptainSlot.name[kCaptainNameBytes - 1] = 0;
    gCaptainSlot.modeFlags = 4;
    dunWriteCaptainSlot();
    // The slot's checkpoints belong to its old career.
    for (char kind : {'w', 'o', 'd', 'k'}) {
        char file[32];
        std::snprintf(file, sizeof file, "vek\\slot_%c%01i.sav", kind, CurrentSlot());
        Save(file, nullptr, 0);
    }
    dunFreeTimelines();
    dunRebuildAvailableMissions();
}

uint16_t MissionLoadSize(int mission) {
    if (mission < 0 || mission >= kCareerMissions) return 0;
    int32_t n = gLoadSizes[mission];
    return n > 0 && n <= 0xFFFF ? uint16_t(n) : 0;
}
