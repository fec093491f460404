// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "app/log.h"
#include "platform/display.h"
#include "platform/sound.h"

#define PENDING_ONCE(name)                         \
    do {                                           \
        static bool said = false;                  \
        if (!said) {                               \
            said = true;                           \
            dunDebugPrint("not built yet: " name); \
        }                                          \
    } while (0)


static bool Display3dOpen(DisplayMode *) {
    PENDING_ONCE("Display3dOpen");
    return false;
}
static void Display3dClose() { PENDING_ONCE("Display3dClose"); }
static void Display3dNothing(DisplayMode *) {}
static void Display3dNothingVoid() {}
static void Display3dPresent(DisplayMode *) { PENDING_ONCE("Display3dPresent"); }
static void Display3dBeginFrame(DisplayMode *) { PENDING_ONCE("Display3dBeginFrame"); }
static void Display3dNoPalette(PaletteEntries) {}
static void Display3dSetPalette(PaletteEntries entries) {
    LastPalette = entries;
    PENDING_ONCE("Display3dSetPalette");
}
static void Display3dLoadPalette(PaletteEntries entries) {
    LastPalette = entries;
    PENDING_ONCE("Display3dLoadPalette");
}

const DisplayDriver Display3dDriver = {
    Display3dOpen,       Display3dClose,      Display3dNothing,    Display3dPresent,
    Display3dBeginFrame, Display3dNothingVoid, Display3dNoPalette, Display3dSetPalette,
    Display3dLoadPalette,
};

void Display3dClear(int) { PENDING_ONCE("Display3dClear"); }


uint8_t SoundEnabled = 0xFF;

SoundSlot *SoundGetSlot(int) {
    PENDING_ONCE("SoundGetSlot");
    return nullptr;
}
void SoundSetVolume(SoundSlot *, int32_t) { PENDING_ONCE("SoundSetVolume"); }
void SoundSetFrequency(SoundSlot *, int32_t) { PENDING_ONCE("SoundSetFrequency"); }
void SoundSetPan(SoundSlot *, int32_t) { PENDING_ONCE("SoundSetPan"); }
void SoundPlay(int, int32_t, int32_t, int32_t, uint8_t) { PENDING_ONCE("SoundPlay"); }
double SoundPositionFromCamera(SceneItem *, int32_t *volume, int32_t *pan) {
    PENDING_ONCE("SoundPositionFromCamera");
    if (volume) *volume = -10000;
    if (pan) *pan = 0;
    return 0.0;
}
void SoundParamsForObject(SceneItem *, int32_t *, float) { PENDING_ONCE("SoundParamsForObject"); }

// Sound start-up and shutdown.
#include "platform/sound.h"
uint8_t SoundInitDone;
void SoundInit() { PENDING_ONCE("SoundInit"); }
void SoundShutdown() { PENDING_ONCE("SoundShutdown"); }
void SoundLoadAll() { PENDING_ONCE("SoundLoadAll"); }
void SoundResumeAll() { PENDING_ONCE("SoundResumeAll"); }

// Films: none plays yet, so every player returns at once.
#include "platform/video.h"
void *gMciWindow;
bool PlayVideo(const char *) {
    PENDING_ONCE("PlayVideo");
    return false;
}
void StepPlayingVideo() { PENDING_ONCE("StepPlayingVideo"); }
bool VideoWindowPlayWait(const char *const *) {
    PENDING_ONCE("VideoWindowPlayWait");
    return false;
}
void VideoWindowNext() { PENDING_ONCE("VideoWindowNext"); }
void VideoWindowClose() { PENDING_ONCE("VideoWindowClose"); }
bool VideoWindowVisible() {
    PENDING_ONCE("VideoWindowVisible");
    return false;
}
void PlayMpegFile(const char *) { PENDING_ONCE("PlayMpegFile"); }
