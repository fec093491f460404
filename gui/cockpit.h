// The cockpit shell: switching between the four stations, their look-around
// screens, the bridge and the options screen; the full-screen view, the view
// camera modes and the screen a temporary view returns to; the mission end
// started from the cockpit; the pause; the comms arm that slides in with the
// dialogue and the crew speaker shown in it.
#pragma once

#include <cstdint>

#include "present/cameras.h"
#include "present/effects/nav_lights.h"
#include "present/views.h"

struct GuiWindow;
struct SceneItem;

// ---- Stations ---------------------------------------------------------------------------

// The current station is StationId and the panel gGuiPanel
// (present/views.h): the 3D view reads them.
extern int16_t gContactListMode;  // 1 on COM and NAV, 2 on WEP
extern uint8_t guiStationLock;    // the station switches are locked (the end of a mission)
// The weapons view: the weapons station with an auto-tracking weapon (the
// world decides, dunUpdateViewFlag); the other stations clear it.
extern uint8_t gGuiWeaponsView;
void guiSetWeaponView(int on);

// The station buttons (with the station's sitting-down film) and the keys'
// and scripts' switches (film only when no station is current). WEP and ENG
// need a player ship with two weapons or more, ENG the engineering model.
void guiSwitchToCom(GuiWindow *button);
void guiSwitchToNav(GuiWindow *button);
void guiSwitchToWep(GuiWindow *button);
void guiSwitchToEng(GuiWindow *button);
void guiSwitchToComKey();
void guiSwitchToNavKey();
void guiSwitchToWepKey();
void guiSwitchToEngKey();
void guiSwitchToOptions();
// The way back from the options screen: saves the settings and returns.
void guiSaveSettings();
void guiLeaveStation();
void guiRememberScreen();
void guiReturnToScreen();
extern uint8_t gRememberedScreen;     // a screen is remembered
extern int32_t gRememberedStation;
extern uint8_t gRememberedFullScreen;

// Build routines of the look-around screens and the bridge; the update of a
// look-around view window turns the view by the mouse.
void guiBuildSideViewScreen();
void guiBuildBridgeScreen();
int8_t guiLookAroundUpdate(GuiWindow *window);
// The bridge's status label text at a game clock, for a link state (0 OK,
// 1 linked, 2 dead).
const char *guiBridgeStatusText(uint32_t clock, int linkState);

// ---- Views --------------------------------------------------------------------------------

void guiEnterFullScreen();
void guiLeaveFullScreen();
void guiToggleFullScreen();
void guiSaveViewState();
void guiRestoreViewMode();
void guiPushFullScreen();
void guiPopFullScreen();
// Leaving the pause.
void guiRedrawCockpit();
void guiPauseScreen();

// The view camera modes of the player camera.
enum GuiViewMode { kViewNormal, kViewExternal, kViewChase, kViewMissile, kViewContact, kViewDocking };
void guiSetViewMode(int mode);
// Steps a camera window's camera routine; its label becomes the window's text.
void guiCycleCamera(GuiWindow *window);
// Puts the player camera at random around its subject.
void guiDropCamera();

extern uint8_t gCinematicCompanion;
extern int32_t gSavedFullScreen;
extern void (*gSavedCameraRoutine)(SceneItem *camera);
// The current external camera window (cycled by "forcefull").
extern GuiWindow *gCurrentCamera;
// The cockpit's panel is open (no sitting-down film at a command-line start).
extern uint8_t gPanelOpen;

// ---- Mission end ----------------------------------------------------------------------------

// The end state (0 flying, 1 finished and waiting, 2 leaving) and the
// mission-ending flag are the mission runtime's (script/mission.h).
extern uint8_t gBriefingStop;         // a running briefing stops
extern int32_t gGuiEndTimer;          // centiseconds the leaving view still shows
extern uint8_t guiEndCinematicMode;   // the game ends missions with the end cinematic
// Display flags raised when the player's ship is lost: the view follows the
// remains and the stations are locked.
extern uint8_t guiPlayerLostView;
extern uint8_t guiWreckDisplay;
extern uint8_t guiFullScreenLock;
void guiEndMission();
void guiStartEndCinematic();

// ---- Comms arm and crew speaker -----------------------------------------------------------

constexpr int kComArmWidth = 368, kComArmHeight = 168;
extern uint8_t gComArmShown;
extern uint8_t gComArmReopen;
void guiToggleComArm();
// The world asks: closes the arm when it is open.
void guiCloseComArm();
// Draw routine of each station's arm window.
void guiDrawComArmWindow(GuiWindow *window);
// Every frame but on the options screen: the arm while a clip runs.
void guiDrawComArm();
void guiCloseComArmVideos();
// Standing up from a station: the arm closes at once and reopens with the
// next dialogue line.
void guiComArmStandUp();

constexpr int kCrewCount = 7;
extern const char *const kCrewNames[kCrewCount];
extern int16_t gSpeakerIndex;      // 0..6 a crew member, -1 none
// The comms-arm word: the portrait clip mode, 0 work, 1 listen, 2 talk,
// 0xFFFF none. The dialogue sets it as lines start and end.
extern uint16_t gSpeakerClipMode;
extern int16_t gSpeakerClip;       // the portrait clip shown, -1 none
extern int16_t gSpeakerLastClip;
extern int16_t gSpeakerStartCount;
extern SceneItem *gSpeakerDrawn;   // the object last drawn in the inset
void guiSetSpeaker(const char *name);
// The next portrait clip when one ends.
int16_t guiNextSpeakerClip();
// The portrait clip file of a crew member.
void guiSpeakerClipName(int crew, int clip, char *out, int size);
// Draws the speaker inset into a rectangle while a line plays.
void guiDrawSpeakerInset(int x0, int y0, int x1, int y1);
// The reply-choice window of the command station, redrawn as replies come.
extern GuiWindow *gGuiChoiceWindow;

// ---- Small gadgets ------------------------------------------------------------------------

void guiFormatShipName(char *out, int size, const SceneItem *item);
void guiCapsuleJump(GuiWindow *button);

// ---- What the world asks of the cockpit ------------------------------------------------------

void guiSetScreen(const char *name);
// The navigation station's autopilot programs and the cockpit HUD set
// (mission start).
void guiNavCreatePrograms();

struct GuiWindow;
// The cockpit screens' key handler.
void guiCockpitKeyHandler(uint16_t key);
// Help mode's note for a window: a small window at the mouse showing the
// text slot of the window's note index; it goes when help mode is left.
void guiOpenHelpNote(GuiWindow *window);
extern GuiWindow *gGuiHelpNote;
// The cockpit overlay over the main view: in the view without panels, the
// speaker's box while a line plays.
void guiDrawCockpitOverlay();
// Build routines of the station screens.
void guiBuildComScreen();
void guiBuildNavScreen();
void guiBuildWepScreen();
void guiBuildEngScreen();
// A state byte of the cockpit that a screen switch clears.
extern uint8_t gGuiCockpitState;
// A docking by contact: the undock command and the station switches are
// locked and the mission ends as in director mode, until the mission's end.
void guiSetDockedFlags();
extern uint8_t gGuiDockedDirector;
// The director mode: the command-line option, or a docking by contact.
bool guiDirectorMode();
// The controlled object's target went while the drive runs: its autopilot
// program ends (program and window are the callers' own, unused).
void guiNavStartProgram(int program, int window);
// The cockpit's texts are text slots: the proximity warning, the mission
// log's line for a touched star ("%s" its name), the warning the feed shows
// when the world asks for it, and the fire results 1 to 4 (41 to 44).
constexpr int kProximityWarningText = 65;
constexpr int kStarLogText = 66;
constexpr int kWarningFeedText = 96;
constexpr int kFireResultTexts = 40;
const char *guiProximityWarningText();
const char *guiStarLogFormat();
// The cockpit still shakes from the last jolt (no new one while above 0).
int32_t guiHitHoldOff();
void guiSetInterference(int32_t value);

// What the world's flight, docking and remote control ask of the cockpit.
void guiWepSelectPbc(int reserved);
void guiWepSelectMissile(int reserved);
void guiThrottleUp();
void guiThrottleDown();
// The stick does not fly the ship on the weapons station (unless its
// flight switch is on), over the maps and the document viewer, or while
// the screens show the lost ship.
bool guiStickBlocked();
extern uint8_t gWepFlightSwitch;
// The approach report of the body the player's ship last touched (0 clean).
void guiSetReentryStatus(uint32_t bits);
extern uint32_t gGuiReentryStatus;
// Cockpit text n on the message line for a time, when the text is set; a
// fire result's text for 200, unless the message line is quiet.
void guiShowCockpitText(int index, int ticks);
void guiShowFireResult(int result);
// A remote link is refused while the stations are locked, the ship is lost
// or the options screen shows.
bool guiRemoteBlocked();
// The remote link's view: zoom off and the view mode that hides the
// controlled craft (2); leaving it puts the view mode back.
void guiSetRemoteView(int on);
// A controlled craft's hit flashes the view's background: from the clear
// colour up by the flash, fading by the frame's centiseconds (each GUI pass
// shows it before the views draw).
constexpr int32_t kHitFlashMax = 31;
void guiSetHitFlash(int32_t value);
void guiShowHitFlash();
extern int32_t gGuiHitFlash;
// Cockpit text n of the text table, or null when it is not set.
const char *guiCockpitText(int index);
// The two-state view mode (0, 1, 0, ...) that the unnamed view command
// steps (gGuiViewModeToggle, present/effects/nav_lights.h: it holds the nav
// lights).
void guiCycleViewMode();

// Installs the GUI's table of the world's calls.
void guiInstallWorldHooks();
// Installs the GUI's table of the presentation's calls.
void guiInstallPresentHooks();
// Installs the GUI's table of the mission script's calls, with its statements.
void guiInstallScriptHooks();
