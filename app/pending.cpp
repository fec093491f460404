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

uint32_t FreeMemoryBytes() {
    PENDING_ONCE("FreeMemoryBytes");
    return 0xFFFFFFFFu;
}
void LoadProgressStep(const char *) { PENDING_ONCE("LoadProgressStep"); }

uint8_t gQuit;  // the main loop's quit request, until the shell owns it
