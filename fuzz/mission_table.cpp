// The mission table reader over arbitrary text: any line, field or number
// lands inside the table or is skipped, and the availability rules then run
// on it.
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "core/options.h"
#include "script/career.h"
#include "script/mission.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    for (uint16_t language : {0, 2}) {
        gLanguage = language;
        ParsePrecedence(reinterpret_cast<const char *>(data), size);
        for (const MissionRecord &r : gMissionTable)
            if (std::memchr(r.name, 0, sizeof r.name) == nullptr) std::abort();
        gCaptainSlot = CaptainSlot{};
        for (int i = 0; i < kCareerMissions; ++i) gCaptainSlot.played[i] = int16_t(size > size_t(i) && (data[i] & 1) ? -1 : 0);
        dunRebuildAvailableMissions();
        if (gAvailableCount < 0 || gAvailableCount > kCareerMissions) std::abort();
        for (int i = 0; i < gAvailableCount; ++i)
            if (gMissionTable[gAvailableMissions[i]].missionNumber <= 0) std::abort();
        dunFreeTimelines();
    }
    return 0;
}
