// The cockpit key handler (guiCockpitKeyHandler, declared with the cockpit
// shell): each queued key goes first to the modal state that is open, then
// through the key-binding table to a command. The joystick hat's contact
// commands, and the handler's state.
#pragma once

#include <cstdint>

// The cockpit commands, by the names of the key-binding scripts.
enum CommandId : uint16_t {
    R_THR_INC = 20, R_THR_DEC = 21, R_LDS_INC = 22, R_LDS_DEC = 23, R_FLMODE_CTHR = 24, R_FLMODE_FTHR = 25,
    R_LDS_TOGGLE = 26, R_UNDOCK = 27, R_CMD_SEP = 28, R_TOGGLE_ROLLYAW = 29, R_CYCLE_VIEW = 30,
    R_AUTO_STOP = 41, R_AUTO_APPROACH = 42, R_AUTO_FORMATE = 43, R_AUTO_DOCK = 44, R_AUTO_MATCHV = 45,
    R_AUTO_CANCEL = 46, R_NONE_60 = 60, R_CYCLE_CFILTER = 62, R_PREV_CONTACT = 63, R_NEXT_CONTACT = 64,
    R_TARG_XHAIR = 65, R_TARG_LAST_ENG = 66, R_TARG_NEAREST = 67, R_MAKE_CONTACT_TARG = 68, R_TARG_NEAR_WEP = 69,
    R_TARG_NEXT_ENEMY = 70, R_ENG_SYS_U = 71, R_ENG_SYS_D = 72, R_ENG_SYS_L = 73, R_ENG_SYS_R = 74,
    R_REMOTE_LINK = 75, R_FIRE = 80, R_SELECT_PBC = 81, R_SELECT_MISSILE = 82, R_TOGGLE_RAPID = 83,
    R_TOGGLE_RAPID_2 = 84, R_INSTANT_SHIELD = 86, R_LDSI_MISSILE = 87, R_FLARE = 88, R_FULLSCREEN_NORMAL = 90,
    R_FULLSCREEN_DOCKING = 95, R_SEL_CMD = 100, R_SEL_NAV = 101, R_SEL_WEP = 102, R_SEL_ENG = 103,
    R_HUD_DECLUTTER = 104, R_TOGGLE_HUD = 105, R_TOGGLE_WEP_FWDTRK = 106, R_CYCLE_ORBMODE = 107,
    R_TOGGLE_FULLSCREEN = 108, R_CYCLE_CAMERA = 109, R_DROP_CAMERA = 110, R_DIRECTOR_MODE = 111,
    R_DISPLAY_OBJECTIVE = 112, R_LAST_MESSAGE = 113, R_LAST_VIDEO = 114, R_NEXT_MESSAGE = 115,
    R_WINGMAN_STATUS = 120, R_WINGMAN_FORMATE = 121, R_WINGMAN_ATTACK = 122, R_WINGMAN_DEFEND = 123,
    R_WINGMAN_FORMATE_T = 124, R_WINGMAN_HALT = 125, R_WINGMAN_RETREAT = 126, R_WINGMAN_DOCK = 127,
    R_WINGMAN_MENU = 128, R_WINGMAN_SINGLE = 129, R_HELP = 140, R_OPTIONS = 141, R_QUIT = 142, R_ESCAPE = 143,
    R_ACCEL_TIME = 144, R_CANCEL_ACCEL_TIME = 145, R_PAUSE = 146, R_COMARM_CANCEL = 160, R_EXPLODE_PLAYER = 180,
    R_SCRIPT_CONT = 181, R_PLAYER_INDESTRUCT = 182, R_CAPSULE_JUMP = 183, R_CHOOSE_FONT = 184,
    R_SAVE_MOVIE = 185, R_FORCE_SUCCESS = 186, R_DETECT_INFINIITE = 187, R_CHEAT_DOCK = 188,
    R_DESTROY_CONTACT = 189, R_ASSUME_VEL = 190, R_JUMP_TO_CONTACT = 191, R_DEBUG_SCRIPT = 192, R_PROFILE = 193,
    R_FREEZE_AI = 194, R_SAVE_SCREEN = 195, R_TEST_DIALOGUE = 196, R_CENTRE_TRI = 200, R_DEBUG_THING_UP = 201,
    R_DEBUG_THING_DN = 202, R_REPAIR_SHIP = 209, R_ZOOM_IN = 210, R_BODY_COUNT = 211,
};

// Scan codes the handler knows by name.
namespace Scan {
constexpr uint8_t Esc = 1, Q = 16, P = 25, Enter = 28, LeftCtrl = 29, LeftShift = 42, F1 = 59, F2 = 60, F3 = 61,
                  F4 = 62, Up = 72, Down = 80;
}  // namespace Scan

// The joystick hat's contact commands, each frame in hat mode 1.
void guiHatAction();
// The contact filter steps 0, 1, 2, 7, 0.
void guiCycleContactFilter();
void guiWingCommand(int code);

// The handler's state.
extern uint32_t gLastEscapeFrame;      // the frame of the last Escape acted on
extern uint8_t gWingMenuOpen;
extern uint8_t gWingSingleSelect;
extern int16_t gSelectedWingman;       // -1 none
extern int32_t gOrbitViewMode;         // 0..2
extern int32_t gDebugReadout;          // 0..3
extern uint8_t gProfilerDisplay;
extern float gZoomValue;               // exactly 0.0 or 1.0
extern int32_t gZoomReturn;            // the zoom left the full-screen view off
extern int16_t gSelectedProgramText;   // help text of the program a key started
extern uint16_t gHatPrevious;
extern uint16_t gHatHold;              // centiseconds
extern int32_t gWingStatusTimer;       // centiseconds the wing status display runs

// Everything back to its start values (a new run, tests).
void guiResetKeyHandler();
// The debug font key: the next bitmap font the mission registered becomes
// the message font, its name shown on the message line.
void SelectNextScriptFont();
