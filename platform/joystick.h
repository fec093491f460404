// Joystick 0, the relative ("DirectInput") mouse and force feedback.
#pragma once

#include <cstdint>

// The axis array: X, Y, rudder, throttle, point-of-view hat (hundredths of a
// degree), U, and V after them.
enum JoyAxis { JOY_X, JOY_Y, JOY_RUDDER, JOY_THROTTLE, JOY_POV, JOY_U, JOY_V, JOY_AXIS_COUNT };
extern int16_t JoystickAxes[JOY_AXIS_COUNT];
extern uint16_t JoystickButtons;
extern uint16_t JoystickButtonsPrevious;

// Per physical axis X, Y, Z, R, U, V.
enum JoyPhysical { JP_X, JP_Y, JP_Z, JP_R, JP_U, JP_V, JP_COUNT };
extern int32_t JoyCentre[JP_COUNT];
extern int32_t JoyDivisor[JP_COUNT];
// Dead zones by axis-array entry (the hat has none).
extern int32_t JoyDeadZone[JOY_AXIS_COUNT];
// Set by a script statement: the first six axis-array entries read negated.
extern int32_t JoyInvert[6];
extern uint32_t JoyCaps;
extern uint8_t JoyThrottleFromZRange;
extern uint8_t JoyHasUV;
extern uint8_t JoystickPresent;
// What the hat does (the option "joystick_hat"): 1 steps the targets, 0
// turns the cockpit view, 2 fires the lateral thrusters.
extern uint8_t JoyHatMode;
extern uint16_t NoJoystick;  // 1 when none was found

void JoystickInit();
// Reads the joystick (and the relative mouse); returns the axis array.
int16_t *JoystickPoll();

// ---- force feedback -------------------------------------------------------------

// Result codes kept in ffLastResult.
inline constexpr int32_t FF_OK = 0;
inline constexpr int32_t FF_E_INVALIDARG = static_cast<int32_t>(0x80070057);
inline constexpr int32_t FF_E_NOTFOUND = static_cast<int32_t>(0x80040154);
inline constexpr int32_t FF_E_FAIL = static_cast<int32_t>(0x80004005);

extern uint8_t ffEnabled;   // the force-feedback switch, on at start
extern uint8_t ffOn;        // a force-feedback device is open and its spring made
extern int32_t ffLastResult;

// Effect handles; -1 when none.
enum FfSlot { FF_SLOT_FIRE, FF_SLOT_FIRE_ALT, FF_SLOT_HIT, FF_SLOT_HIT_ALT, FF_SLOT_COUNT };
extern int ffJoltSlots[FF_SLOT_COUNT];
extern int ffSpring;

void ffInit();
void ffReacquire();
void ffRelease();
// New positive coefficients of the spring's X and Y conditions.
void ffSetStickCondition(int32_t x, int32_t y);
void ffFirePulse(int32_t ignored, int32_t direction);
void ffFirePulseAlt(int32_t magnitude, int32_t direction);
// The jolt comes from the bearing of (x, z).
void ffHitJolt(int32_t magnitude, float x, float y, float z);
void ffHitJoltAlt(int32_t magnitude, float x, float y, float z);
// Hundredths of a degree, 0..35999, of a hit from (x, z).
int32_t ffHitDirection(float x, float z);

// A constant force into *slot; times in seconds.
int32_t ffCreateEffect(int *slot, int32_t direction, int32_t magnitude, float duration, int32_t attackLevel,
                       float attackTime, int32_t fadeLevel, float fadeTime);
// Opens the first force-feedback joystick. *object tells whether the input
// layer is up (the relative mouse can be made), *device whether a device
// opened.
int32_t FFJoystickOpen(void *window, uint8_t *object, uint8_t *device);
// kind 11 spring, 12 inertia, 13 damper, 14 friction; duration in
// microseconds (-1 for ever); triggerButton -1 none.
int32_t FFConditionEffectCreate(const uint8_t *device, int *effect, int32_t kind, int32_t duration,
                                int32_t xCoefficient, int32_t xOffset, int32_t yCoefficient, int32_t yOffset,
                                int32_t triggerButton);
void FFReleaseEffects(const uint8_t *device);

// ---- relative mouse ------------------------------------------------------------

void MouseInitDirectInput();
void MouseReacquire();
bool MouseReadDirectInput();
