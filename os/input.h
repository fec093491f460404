// Joystick 0, force feedback and the relative mouse, on SDL. With no device
// every call is a clean no-op.
#pragma once

#include <cstdint>

// ---- joystick ----------------------------------------------------------------

// Capability bits of the multimedia joystick service's capabilities word.
enum : uint32_t {
    OS_JOYCAPS_HASZ = 0x01,
    OS_JOYCAPS_HASR = 0x02,
    OS_JOYCAPS_HASU = 0x04,
    OS_JOYCAPS_HASV = 0x08,
    OS_JOYCAPS_HASPOV = 0x10,
    OS_JOYCAPS_POV4DIR = 0x20,
    OS_JOYCAPS_POVCTS = 0x40,
};
// The hat reading when centred.
inline constexpr uint32_t kOsPovCentred = 0xFFFF;

struct OsJoystickCaps {
    uint32_t caps;        // OS_JOYCAPS_ bits
    int32_t min[6];       // X, Y, Z, R, U, V
    int32_t max[6];
};

struct OsJoystickState {
    int32_t axis[6];      // X, Y, Z, R, U, V, each from min to max
    uint32_t pov;         // hundredths of a degree clockwise from forward, or kOsPovCentred
    uint32_t buttons;     // bit n = button n + 1
};

int osJoystickCount();
// Opens joystick 0 and fills its capabilities; false when there is none.
bool osJoystickOpen(OsJoystickCaps *caps);
// Reads joystick 0; false when it is not open or no longer attached.
bool osJoystickRead(OsJoystickState *state);
void osJoystickClose();

// A virtual joystick (four axes, eight buttons, one hat) that becomes
// joystick 0 when no real one is attached: the soak's random player moves it.
// False when SDL cannot make one.
bool osVirtualJoystickAttach();
// axis 0..3: -32768..32767; buttons: bit n = button n + 1; hat: SDL hat bits.
void osVirtualJoystickSet(const int32_t axes[4], uint32_t buttons, uint8_t hat);
void osVirtualJoystickDetach();

// ---- force feedback -------------------------------------------------------------

// The effect kinds, with the identifiers the game uses for conditions.
enum OsEffectKind : int32_t {
    OS_EFFECT_CONSTANT = 1,
    OS_EFFECT_SPRING = 11,
    OS_EFFECT_INERTIA = 12,
    OS_EFFECT_DAMPER = 13,
    OS_EFFECT_FRICTION = 14,
};

inline constexpr int32_t kOsInfinite = -1;

// One axis of a condition effect; coefficients and offsets -10000..10000,
// saturations and dead band 0..10000.
struct OsCondition {
    int32_t offset;
    int32_t positiveCoefficient;
    int32_t negativeCoefficient;
    uint32_t positiveSaturation;
    uint32_t negativeSaturation;
    int32_t deadBand;
};

// A force-feedback effect in the game's units: levels and magnitudes
// 0..10000, times in microseconds, the direction polar in hundredths of a
// degree (0 forward, 9000 right).
struct OsEffect {
    int32_t kind;
    int32_t duration;          // microseconds, kOsInfinite for ever
    int32_t samplePeriod;
    int32_t gain;              // 0..10000
    int32_t triggerButton;     // -1 none
    bool axisX, axisY;
    int32_t direction;
    bool hasEnvelope;
    int32_t attackLevel, attackTime, fadeLevel, fadeTime;
    int32_t magnitude;         // constant force
    OsCondition condition[2];  // X and Y
};

// The haptic side behind a replaceable table, so that tests can record it.
// Effect handles are >= 0; a negative handle is a failure.
struct OsHapticBackend {
    // Opens the first force-feedback joystick with autocentre off.
    bool (*open)();
    void (*close)();
    bool (*acquire)();
    void (*unacquire)();
    int (*createEffect)(const OsEffect &effect);
    bool (*updateEffect)(int handle, const OsEffect &effect);
    bool (*startEffect)(int handle);
    void (*releaseEffect)(int handle);
};
// Null restores SDL's haptics.
void osSetHapticBackend(const OsHapticBackend *backend);
const OsHapticBackend &osHaptic();

// The client size of a window (the SDL window handle of the window module);
// false for no window or an empty (minimised) one.
bool osWindowClientSize(void *window, int *width, int *height);

// ---- relative mouse ------------------------------------------------------------

struct OsRelativeMouse {
    int32_t dx, dy, dz;   // motion since the last read; dz: wheel notches x 120
    uint8_t buttons[4];   // 0x80 while pressed: left, right, middle, fourth
};

struct OsRelativeMouseBackend {
    // Captures the mouse for relative motion; false when it cannot.
    bool (*start)();
    void (*stop)();
    // Takes the captured mouse again after the application was away.
    bool (*reacquire)();
    // False when the capture was lost.
    bool (*read)(OsRelativeMouse *state);
};
// Null restores SDL's relative mouse mode.
void osSetRelativeMouseBackend(const OsRelativeMouseBackend *backend);
const OsRelativeMouseBackend &osRelativeMouse();
