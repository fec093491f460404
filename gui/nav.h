// The navigation station: the throttle, the LDS drive, the flight modes,
// lateral thrusters, the autopilot and its programs, undocking, detaching
// the command section and the HUD controls; its commands act on the object
// the player controls.
#pragma once

#include <cstdint>

struct GuiWindow;
struct SceneItem;

constexpr int kAutopilotPrograms = 9;
struct AutopilotProgram {
    const char *name;
    bool needsTarget;
    // The program's routine in normal flight and in LDS flight (none: the
    // program cannot start in that flight).
    void (*normal)(SceneItem *ship);
    void (*lds)(SceneItem *ship);
    int16_t helpText;
};
extern const AutopilotProgram kAutopilotTable[kAutopilotPrograms];

extern int16_t guiNavSelectedProgram;    // 0..8
extern int16_t guiNavRunningHelp;        // help text of the running program
extern SceneItem *guiNavProgramTarget;   // the target remembered at a program's start
extern float guiNavAutopilotDistance;    // 80000, steps of 1000, not below 0
extern uint8_t guiNavUndockLock;         // set by docking on contact
extern uint8_t guiNavDetachAllowed;      // ALLOW_CMD_SEP; true at start
// The autopilot lock (LOCK_AUTOPILOT) is the world's dunAutopilotLock.
// The disengage note's count-down (centiseconds) on the status line.
extern int32_t guiNavDisengageTimer;

// Key, button and script commands (the throttle steps, the screen's build
// and the mission's HUD set are declared with the cockpit's).
// The set speed clamped to the range of the current flight.
void guiNavThrottleRange();
void guiNavToggleLds(GuiWindow *window);
void guiFlightModeCThr();
void guiFlightModeFThr();
// True when the program was started.
bool guiNavSelectProgram(int program);
void guiNavStopProgram(GuiWindow *window);
void guiNavUndock(GuiWindow *window);
void guiNavDetachCommandSection(GuiWindow *window);
// Mode buttons: 0 FREE, 1 TAXI, 2 DOCK; false when refused.
bool guiNavSetFlightMode(GuiWindow *window, int mode);
// The lateral thrusters: direction 0 up, 1 down, 2 left, 3 right; pressed
// or released.
void guiNavLateral(int direction, bool pressed);
// Program buttons (the window's value is the program).
void guiNavProgramButton(GuiWindow *window);
void guiNavNextProgram(GuiWindow *window);
void guiNavRunProgram(GuiWindow *window);
void guiNavToggleAutopilot(GuiWindow *window);
void guiNavDistance(int step);
// The detach button remembered for the key.
extern GuiWindow *guiNavDetachButton;
// The drive, autopilot and flight-mode labels in the current language.
const char *guiNavDriveLabel();
const char *guiNavAutopilotLabel();
const char *guiNavModeLabel();
// The station's state back to its start values (a new mission, tests).
void guiNavReset();

// The mouse read-outs and the radar sphere, shared with the weapons and
// engineering stations.
int8_t guiNavMouseXUpdate(GuiWindow *window);
int8_t guiNavMouseYUpdate(GuiWindow *window);
int8_t guiNavOrbUpdate(GuiWindow *window);
void guiNavDrawOrb(GuiWindow *window);
