// Cockpit shell words and screen switches the world uses.
#pragma once

#include <cstdint>

extern uint8_t guiEndCinematicMode;   // the game ends missions with the end cinematic
// Display flags raised when the player's ship is lost: the view follows the
// remains and the stations are locked.
extern uint8_t guiPlayerLostView;
extern uint8_t guiStationLock;
extern uint8_t guiWreckDisplay;
extern uint8_t guiFullScreenLock;

void guiSetScreen(const char *name);
void guiStartEndCinematic();
void guiEnterFullScreen();
// The start of a cinematic: the view state is saved and the full-screen view
// shown.
void guiPushFullScreen();
// The navigation station's autopilot programs and the cockpit HUD set
// (mission start).
void guiNavCreatePrograms();

struct GuiWindow;
// The cockpit screens' key handler.
void guiCockpitKeyHandler(uint16_t key);
// Help mode's note for a window.
void guiOpenHelpNote(GuiWindow *window);
// The cockpit overlay over the main view.
void guiDrawCockpitOverlay();
void guiSaveSettings();
void guiCloseComArmVideos();
// Build routines of the cockpit screens.
void guiBuildSideViewScreen();
void guiBuildBridgeScreen();
void guiBuildComScreen();
void guiBuildNavScreen();
void guiBuildWepScreen();
void guiBuildEngScreen();
// A state byte of the cockpit that a screen switch clears.
extern uint8_t gGuiCockpitState;
// What the world's docking, jumps and contacts ask of the cockpit.
void guiSetDockedFlags();
void guiToggleComArm();
void guiNavStartProgram(int a, int b);
void guiPostPendingFeedText(int colourSet);
void guiDisplayMessage(const char *text, int ticks);
const char *guiProximityWarningText();
const char *guiStarLogFormat();
int32_t guiHitHoldOff();
void guiSetInterference(int32_t value);

// What the world's flight, docking and remote control ask of the cockpit.
void guiWepSelectPbc(int reserved);
void guiWepSelectMissile(int reserved);
void guiThrottleUp();
void guiThrottleDown();
bool guiStickBlocked();
void guiSetReentryStatus(uint32_t bits);
void guiCapsuleJump();
void guiShowCockpitText(int index, int ticks);
void guiShowFireResult(int result);
bool guiRemoteBlocked();
void guiSetRemoteView(int on);
void guiPopFullScreen();
void guiSetHitFlash(int32_t value);
// Cockpit text n of the text table, or null.
const char *guiCockpitText(int index);
// The weapon-view flag and the two-state view mode.
void guiSetWeaponView(int on);
void guiCycleViewMode();

// Installs the GUI's table of the world's calls.
void guiInstallWorldHooks();
