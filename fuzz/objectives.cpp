// The objectives parser over arbitrary bytes: at most fifteen objectives,
// none longer than its line buffer, and the setters, the current objective
// and the score run on whatever was read.
#include <cstdlib>
#include <cstring>

#include "fuzz_files.h"
#include "script/objectives.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzfiles::EnterDataRoot();
    const int count = ParseObjectives(reinterpret_cast<const char *>(data), size);
    if (count < 0 || count > kObjectives || count != gObjectiveCount) std::abort();
    for (int i = 0; i < count; ++i) {
        if (!gObjectives[i].text || std::strlen(gObjectives[i].text) >= size_t(kObjectiveLineBytes)) std::abort();
        dunSetObjectiveState(dunFindObjective(gObjectives[i].number), size ? data[i % size] % 3 : 0);
    }
    dunSelectCurrentObjective();
    if (gCurrentObjective >= count) std::abort();
    ComputeMissionScore();
    dunResetObjectives();
    return 0;
}
