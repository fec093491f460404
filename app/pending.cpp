// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "app/log.h"
#include "app/profiler.h"
#include "app/system.h"

#define PENDING_ONCE(name)                              \
    do {                                                \
        static bool said = false;                       \
        if (!said) {                                    \
            said = true;                                \
            dunDebugPrint("not built yet: " name);      \
        }                                               \
    } while (0)

ValueRecorder *gProfileRecorder = nullptr;

void ProfilerStart(ValueRecorder *) { PENDING_ONCE("ProfilerStart"); }
void ProfilerRestart(ValueRecorder *) { PENDING_ONCE("ProfilerRestart"); }
int ProfilerCheckpoint(ValueRecorder *recorder, const char *) {
    PENDING_ONCE("ProfilerCheckpoint");
    return recorder ? 0xFF : 0;
}

#include "app/random.h"

uint32_t dunRandomState = 1253567;
uint32_t dunRandom32() {
    PENDING_ONCE("dunRandom32");
    uint32_t state = dunRandomState + 1, result = 0;
    for (int i = 0; i < 32; i++) {
        uint32_t bit = ((state >> 31) ^ (state >> 6) ^ (state >> 4) ^ (state >> 2) ^ (state >> 1) ^ state) & 1;
        state = (bit << 31) | (state >> 1);
        result = (result | (state & 1)) << 1;
    }
    dunRandomState = state;
    return result;
}
static uint32_t randState = 1;
int dunRand() {
    PENDING_ONCE("dunRand");
    randState = randState * 214013u + 2531011u;
    return int((randState >> 16) & 0x7FFF);
}
void dunSrand(uint32_t seed) { randState = seed; }
uint32_t FreeMemoryBytes() {
    PENDING_ONCE("FreeMemoryBytes");
    return 0xFFFFFFFFu;
}
void LoadProgressStep(const char *) { PENDING_ONCE("LoadProgressStep"); }
