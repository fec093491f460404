// The career files over arbitrary bytes: the slot and state readers take
// any file, short, long or damaged, and what they read writes back to the
// same fields; the career logic then runs on whatever was read.
#include <cstdlib>
#include <cstring>

#include "core/options.h"
#include "fuzz_files.h"
#include "script/career.h"
#include "script/mission.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    optFrontEndStart = 0xFF;
    // The same bytes as every file the career reads.
    fuzzfiles::Write("vek/state.inf", data, size);
    fuzzfiles::Write("vek/size.inf", data, size);
    dunReadStateFile();
    for (int i = 0; i < kCareerMissions; ++i) MissionLoadSize(i);
    char slot[32];
    CaptainSlotFileName(0, slot, sizeof slot);
    fuzzfiles::Write("vek/slot0.sav", data, size);
    gCareerState.word[StateWord::Slot] = 0;
    gCaptainSlot = CaptainSlot{};
    dunReadCaptainSlot();
    if (std::strlen(gCaptainSlot.name) >= sizeof gCaptainSlot.name) std::abort();

    // Whatever was read encodes to bytes that read back the same.
    uint8_t bytes[kSlotFileBytes];
    EncodeCaptainSlot(gCaptainSlot, bytes);
    CaptainSlot back{};
    DecodeCaptainSlot(bytes, sizeof bytes, &back);
    if (std::memcmp(&back, &gCaptainSlot, sizeof back)) std::abort();
    uint8_t state[kStateFileBytes];
    EncodeCareerState(gCareerState, state);
    CareerState stateBack{};
    DecodeCareerState(state, sizeof state, &stateBack);
    if (std::memcmp(&stateBack, &gCareerState, sizeof stateBack)) std::abort();

    // A table with every row open, then the career logic on the slot read.
    for (int i = 0; i < kCareerMissions; ++i) {
        gMissionTable[i] = MissionRecord{};
        gMissionTable[i].index = int16_t(i);
        gMissionTable[i].missionNumber = int16_t(i ? i : 0);
        gMissionTable[i].prerequisite = int16_t(size ? data[i % size] % 101 : 0);
        gMissionTable[i].branchMission = int16_t(size ? data[(i * 7) % size] : 0);
        gMissionTable[i].resultMax = int32_t(size ? data[(i * 3) % size] * 37 : 0);
    }
    dunRebuildAvailableMissions();
    if (gAvailableCount < 0 || gAvailableCount > kCareerMissions) std::abort();
    gCareerMission = size ? data[0] : 0;
    dunRecordMissionResult();
    dunWriteCaptainSlot();
    dunWriteStateFile();
    dunFreeTimelines();
    return 0;
}
