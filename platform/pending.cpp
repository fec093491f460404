// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log. The key queue and the key-down table
// already work in a minimal form, so that the shell's keys can be used.
#include <cstring>

#include "app/interim.h"
#include "app/options.h"
#include "platform/display.h"
#include "platform/joystick.h"
#include "platform/keyboard.h"
#include "platform/sound.h"
#include "platform/video.h"

// Keyboard and mouse.
static uint16_t gInterimQueue[300];
static int gInterimRead, gInterimWrite;
static uint8_t gInterimKeyDown[256];

void KeyQueuePut(uint16_t word) {
    gInterimQueue[gInterimWrite] = word;
    gInterimWrite = (gInterimWrite + 1) % 300;
}
uint16_t KeyQueueCount() { return uint16_t((gInterimWrite - gInterimRead + 300) % 300); }
uint16_t KeyQueueGet() {
    if (gInterimRead == gInterimWrite) return 0;
    uint16_t w = gInterimQueue[gInterimRead];
    gInterimRead = (gInterimRead + 1) % 300;
    return w;
}
uint8_t *GetKeyDownTable() { return gInterimKeyDown; }
void OnKeyDown(void *, uint32_t, int, uint8_t scanCode, uint16_t keyData) {
    PENDING_ONCE("OnKeyDown");
    gInterimKeyDown[scanCode] = 0xFF;
    if (!(keyData & 0x4000)) KeyQueuePut(uint16_t(scanCode << 8));
}
void OnKeyUp(void *, uint32_t, int, uint8_t scanCode, uint16_t) {
    PENDING_ONCE("OnKeyUp");
    gInterimKeyDown[scanCode] = 0;
}
void OnCharMessage(void *, uint8_t) { PENDING_ONCE("OnCharMessage"); }
void OnMouseMove(void *, int32_t, int32_t, uint32_t) { PENDING_ONCE("OnMouseMove"); }
void OnLeftButtonDown(void *, int32_t, int32_t, uint32_t) { PENDING_ONCE("OnLeftButtonDown"); }
void OnLeftButtonUp(void *, int32_t, int32_t, uint32_t) { PENDING_ONCE("OnLeftButtonUp"); }
void OnLeftDoubleClick(void *, int32_t, int32_t, uint32_t) { PENDING_ONCE("OnLeftDoubleClick"); }
void OnRightButtonDown(void *, int32_t, int32_t, uint32_t) { PENDING_ONCE("OnRightButtonDown"); }
void OnRightButtonUp(void *, int32_t, int32_t, uint32_t) { PENDING_ONCE("OnRightButtonUp"); }
void OnMiddleButtonDown(void *, int32_t, int32_t, uint32_t) { PENDING_ONCE("OnMiddleButtonDown"); }
void OnMiddleButtonUp(void *, int32_t, int32_t, uint32_t) { PENDING_ONCE("OnMiddleButtonUp"); }

// Joystick and force feedback.
void JoystickInit() { PENDING_ONCE("JoystickInit"); }
int32_t *JoystickPoll() {
    PENDING_ONCE("JoystickPoll");
    static int32_t axes[8];
    return axes;
}
void ffReacquire() { PENDING_ONCE("ffReacquire"); }
void ffRelease() { PENDING_ONCE("ffRelease"); }
void MouseReacquire() { PENDING_ONCE("MouseReacquire"); }

// Display.
DisplayMode gDisplayMode = {640, 480, 8, nullptr, nullptr};
uint8_t DirectDrawActive;
const uint8_t *LastPalette;

void SelectFullScreenDriver() {
    PENDING_ONCE("SelectFullScreenDriver");
    DirectDrawActive = 1;
    FullScreenMode = 1;
}
void SelectWindowDriver() {
    PENDING_ONCE("SelectWindowDriver");
    DirectDrawActive = 0;
    FullScreenMode = 0;
}
void SelectDeviceDriver() {
    PENDING_ONCE("SelectDeviceDriver");
    DirectDrawActive = 0;
    FullScreenMode = 0;
    CardMode = 1;
}
bool DisplayOpen(DisplayMode *) {
    PENDING_ONCE("DisplayOpen");
    return false;
}
void DisplayClose() { PENDING_ONCE("DisplayClose"); }
void DisplayPresent(DisplayMode *) { PENDING_ONCE("DisplayPresent"); }
void DisplayBeginFrame(DisplayMode *) { PENDING_ONCE("DisplayBeginFrame"); }
void DisplaySetPalette(const uint8_t *entries) {
    PENDING_ONCE("DisplaySetPalette");
    LastPalette = entries;
}
void DisplayLoadPalette(const uint8_t *entries) {
    PENDING_ONCE("DisplayLoadPalette");
    if (entries) LastPalette = entries;
}
void DisplayDDrawRestore() { PENDING_ONCE("DisplayDDrawRestore"); }

// Sound.
uint8_t SoundInitDone;
void SoundInit() { PENDING_ONCE("SoundInit"); }
void SoundShutdown() { PENDING_ONCE("SoundShutdown"); }
void SoundLoadAll() { PENDING_ONCE("SoundLoadAll"); }
void SoundSetVolume(int, int32_t) { PENDING_ONCE("SoundSetVolume"); }
void SoundResumeAll() { PENDING_ONCE("SoundResumeAll"); }

// Films: none plays yet, so every player returns at once.
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
