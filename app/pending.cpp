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

#include "app/frame.h"

// The frame clock's words until the frame clock lands.
uint32_t dunGameClock = 0;
uint32_t dunFrameCounter = 0;
int32_t dunFrameStep = 0;
float dunFrameSeconds = 0.01f;
float dunTimeScale = 1.0f;
uint8_t dunFrozen = 0;
uint8_t dunKeepControlledMoving = 0;
uint8_t dunPrevKeyTable[256];
int32_t dunFrameSkipCount = 0;

uint8_t gQuit;  // the main loop's quit request, until the shell owns it
