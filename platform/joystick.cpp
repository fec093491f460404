#include "platform/joystick.h"

#include <cmath>
#include <cstdlib>
#include <initializer_list>

#include "core/options.h"
#include "os/input.h"
#include "platform/hooks.h"
#include "platform/keyboard.h"

// The hat rests centred (-1): without a stick, or with one without a hat,
// a 0 would read as the hat held forward in every frame.
int16_t JoystickAxes[JOY_AXIS_COUNT] = {0, 0, 0, 0, -1, 0, 0};
uint16_t JoystickButtons;
uint16_t JoystickButtonsPrevious;
int32_t JoyCentre[JP_COUNT];
int32_t JoyDivisor[JP_COUNT] = {100, 100, 100, 100, 100, 100};
int32_t JoyDeadZone[JOY_AXIS_COUNT] = {50, 50, 150, 5, 0, 50, 50};
int32_t JoyInvert[6];
uint32_t JoyCaps;
uint8_t JoyThrottleFromZRange;
uint8_t JoyHasUV;
uint8_t JoystickPresent;
uint8_t JoyHatMode = 1;
uint16_t NoJoystick;

uint8_t ffEnabled = 0xFF;
uint8_t ffOn;
int32_t ffLastResult;
int ffJoltSlots[FF_SLOT_COUNT] = {-1, -1, -1, -1};
int ffSpring = -1;

namespace {

int32_t gZMin, gZMax;
// The spring's parameters as last given to the device.
OsEffect gSpringEffect;
// Every effect the device holds, for the release at shutdown.
constexpr int kMaxEffects = 16;
int gLiveEffects[kMaxEffects];
int gLiveCount;
uint8_t gDirectInputObject;
uint8_t gFfDevice;

void ResetJoystickState() {
    for (int16_t &a : JoystickAxes) a = 0;
    JoystickAxes[JOY_POV] = -1;
    JoystickButtons = JoystickButtonsPrevious = 0;
    JoyCentre[JP_Z] = 0;
    JoyDivisor[JP_Z] = 100;
    JoyDeadZone[JOY_THROTTLE] = 5;
    JoyThrottleFromZRange = JoyHasUV = 0;
}

int32_t DeadZone(int32_t v, int32_t zone) {
    if (std::abs(v) < zone) return 0;
    return v > 0 ? v - zone : v + zone;
}

void SetButtons(uint32_t bits) {
    if (bits == 255) bits = 0;
    JoystickButtonsPrevious = JoystickButtons;
    JoystickButtons = static_cast<uint16_t>(bits);
    for (int i = 0; i < 4; ++i) KeyDownTable[KEY_JOY_BUTTON1 + i] = (bits >> i) & 1 ? 0xFF : 0;
}

void ReadJoystick() {
    OsJoystickState s;
    if (!osJoystickRead(&s)) {
        // An unplugged or failing stick must not keep its last deflection.
        for (int16_t &a : JoystickAxes) a = 0;
        JoystickAxes[JOY_POV] = -1;
        SetButtons(0);
        return;
    }
    int32_t v[JOY_AXIS_COUNT] = {};
    v[JOY_POV] = -1;
    v[JOY_X] = (s.axis[JP_X] - JoyCentre[JP_X]) / JoyDivisor[JP_X];
    v[JOY_Y] = (s.axis[JP_Y] - JoyCentre[JP_Y]) / JoyDivisor[JP_Y];
    if ((JoyCaps & OS_JOYCAPS_HASR) && !optNoRudder) v[JOY_RUDDER] = (s.axis[JP_R] - JoyCentre[JP_R]) / JoyDivisor[JP_R];
    if (JoyThrottleFromZRange) {
        // The divisor was guarded against a stick reporting equal Z limits.
        v[JOY_THROTTLE] = static_cast<int32_t>(static_cast<int64_t>(gZMax - s.axis[JP_Z]) *
                                               (JoyDeadZone[JOY_THROTTLE] + 100) / JoyDivisor[JP_Z]);
    } else {
        v[JOY_THROTTLE] = (s.axis[JP_Z] - JoyCentre[JP_Z]) / JoyDivisor[JP_Z];
    }
    if (JoyHasUV) {
        v[JOY_U] = (s.axis[JP_U] - JoyCentre[JP_U]) / JoyDivisor[JP_U];
        v[JOY_V] = (s.axis[JP_V] - JoyCentre[JP_V]) / JoyDivisor[JP_V];
    }
    for (int a : {JOY_X, JOY_Y, JOY_THROTTLE, JOY_RUDDER, JOY_U, JOY_V}) v[a] = DeadZone(v[a], JoyDeadZone[a]);
    if (JoyCaps & (OS_JOYCAPS_POV4DIR | OS_JOYCAPS_POVCTS)) v[JOY_POV] = static_cast<int32_t>(s.pov);
    for (int i = 0; i < JOY_AXIS_COUNT; ++i) JoystickAxes[i] = static_cast<int16_t>(v[i]);
    for (int i = 0; i < 6; ++i)
        if (JoyInvert[i]) JoystickAxes[i] = static_cast<int16_t>(-JoystickAxes[i]);
    SetButtons(s.buttons);
}

void UpdateMouseFromDevice() {
    uint32_t previousFlags = gMouse.keyFlags;
    int32_t previousWheel = gMouse.wheel;
    if (!MouseReadDirectInput()) return;
    int width = 0, height = 0;
    if (MouseScreenSize(&width, &height)) {
        int32_t marginX, marginY;
        up::PointerMargins(&marginX, &marginY);
        int32_t lowX = marginX + 1, highX = width - marginX - 1;
        int32_t lowY = marginY + 1, highY = height - marginY - 1;
        if (gMouse.x < lowX) gMouse.x = lowX;
        if (gMouse.x > highX) gMouse.x = highX;
        if (gMouse.y < lowY) gMouse.y = lowY;
        if (gMouse.y > highY) gMouse.y = highY;
    }
    gMouse.x16 = static_cast<int16_t>(gMouse.x);
    gMouse.y16 = static_cast<int16_t>(gMouse.y);
    bool left = gMouse.keyFlags & 1, wasLeft = previousFlags & 1;
    KeyDownTable[KEY_LEFT_BUTTON] = left ? 0xFF : 0;
    KeyDownTable[KEY_RIGHT_BUTTON] = (gMouse.keyFlags & 2) ? 0xFF : 0;
    gMouse.leftDowns = left && !wasLeft ? 1 : 0;
    gMouse.leftUps = !left && wasLeft ? 1 : 0;
    if (gMouse.wheel > previousWheel) KeyQueuePut(KEY_WHEEL_UP << 8);
    if (gMouse.wheel < previousWheel) KeyQueuePut(KEY_WHEEL_DOWN << 8);
}

void Track(int handle) {
    if (handle >= 0 && gLiveCount < kMaxEffects) gLiveEffects[gLiveCount++] = handle;
}

void Untrack(int handle) {
    for (int i = 0; i < gLiveCount; ++i) {
        if (gLiveEffects[i] == handle) {
            gLiveEffects[i] = gLiveEffects[--gLiveCount];
            return;
        }
    }
}

void ReleaseEffect(int *slot) {
    if (*slot < 0) return;
    osHaptic().releaseEffect(*slot);
    Untrack(*slot);
    *slot = -1;
}

int32_t Microseconds(float seconds) { return static_cast<int32_t>(std::lround(static_cast<double>(seconds) * 1e6)); }

void Jolt(FfSlot slot, int32_t direction, int32_t magnitude, float duration, int32_t attackLevel, float attackTime,
          int32_t fadeLevel, float fadeTime) {
    if (!ffOn) return;
    int *s = &ffJoltSlots[slot];
    ReleaseEffect(s);
    if (ffCreateEffect(s, direction, magnitude, duration, attackLevel, attackTime, fadeLevel, fadeTime) == FF_OK)
        osHaptic().startEffect(*s);
}

}  // namespace

// ---- joystick ----------------------------------------------------------------

void JoystickInit() {
    KeyQueueReset();
    for (uint8_t &k : KeyDownTable) k = 0;
    ResetJoystickState();
    ffInit();
    JoyCaps = 0;
    JoystickPresent = 0;
    OsJoystickCaps caps;
    if (osJoystickCount() > 0 && osJoystickOpen(&caps) && osJoystickRead(nullptr)) {
        JoystickPresent = 0xFF;
        JoyCaps = caps.caps;
        for (int a : {JP_X, JP_Y, JP_R, JP_U, JP_V}) JoyCentre[a] = (caps.min[a] + caps.max[a]) / 2;
        gZMin = caps.min[JP_Z];
        gZMax = caps.max[JP_Z];
        if (JoyCaps & OS_JOYCAPS_HASV) {
            JoyCentre[JP_Z] = (gZMin + gZMax) / 2;
            JoyDeadZone[JOY_THROTTLE] = 50;
            JoyThrottleFromZRange = 0;
            JoyHasUV = 0xFF;
        } else if (JoyCaps & OS_JOYCAPS_HASZ) {
            JoyThrottleFromZRange = 0xFF;
            JoyCentre[JP_Z] = gZMax;
            JoyDivisor[JP_Z] = gZMax - gZMin ? gZMax - gZMin : 1;
        }
    }
    if (JoystickPresent) {
        NoJoystick = 0;
        JoystickPoll();  // twice, so that the previous button word is valid
        JoystickPoll();
    } else {
        NoJoystick = 1;
    }
}

int16_t *JoystickPoll() {
    UpdateMouseFromDevice();
    if (JoystickPresent) ReadJoystick();
    return JoystickAxes;
}

// ---- force feedback -------------------------------------------------------------

int32_t ffHitDirection(float x, float z) {
    double bearing = up::BearingDegrees(x, z) * 100.0;
    if (!std::isfinite(bearing)) return 0;
    int32_t d = static_cast<int32_t>(bearing);
    if (d < 0) d += 36000;
    return d;
}

int32_t FFJoystickOpen(void *, uint8_t *object, uint8_t *device) {
    *object = 0xFF;
    *device = 0;
    const OsHapticBackend &h = osHaptic();
    if (!h.open()) return FF_E_NOTFOUND;
    if (!h.acquire()) {
        h.close();
        return FF_E_FAIL;
    }
    *device = 0xFF;
    return FF_OK;
}

int32_t FFConditionEffectCreate(const uint8_t *device, int *effect, int32_t kind, int32_t duration,
                                int32_t xCoefficient, int32_t xOffset, int32_t yCoefficient, int32_t yOffset,
                                int32_t triggerButton) {
    if (!device || !*device || !effect) return FF_E_INVALIDARG;
    OsEffect e{};
    e.kind = kind;
    e.duration = duration;
    e.samplePeriod = 10000;
    e.gain = 10000;
    e.triggerButton = triggerButton;
    e.axisX = xCoefficient != 0;
    e.axisY = yCoefficient != 0;
    e.condition[0] = {xOffset, xCoefficient, xCoefficient, 0, 0, 0};
    e.condition[1] = {yOffset, yCoefficient, yCoefficient, 0, 0, 0};
    int handle = osHaptic().createEffect(e);
    if (handle < 0) return FF_E_FAIL;
    Track(handle);
    *effect = handle;
    if (kind == OS_EFFECT_SPRING) gSpringEffect = e;
    return FF_OK;
}

int32_t ffCreateEffect(int *slot, int32_t direction, int32_t magnitude, float duration, int32_t attackLevel,
                       float attackTime, int32_t fadeLevel, float fadeTime) {
    if (!gFfDevice || !slot) return FF_E_INVALIDARG;
    OsEffect e{};
    e.kind = OS_EFFECT_CONSTANT;
    e.duration = Microseconds(duration);
    e.samplePeriod = 0;
    e.gain = 10000;
    e.triggerButton = -1;
    e.axisX = e.axisY = true;
    e.direction = direction;
    e.hasEnvelope = true;
    e.attackLevel = attackLevel;
    e.attackTime = Microseconds(attackTime);
    e.fadeLevel = fadeLevel;
    e.fadeTime = Microseconds(fadeTime);
    e.magnitude = magnitude;
    int handle = osHaptic().createEffect(e);
    if (handle < 0) return ffLastResult = FF_E_FAIL;
    Track(handle);
    *slot = handle;
    return FF_OK;
}

void FFReleaseEffects(const uint8_t *device) {
    if (!device || !*device) return;
    for (int i = 0; i < gLiveCount; ++i) osHaptic().releaseEffect(gLiveEffects[i]);
    gLiveCount = 0;
    for (int &s : ffJoltSlots) s = -1;
    ffSpring = -1;
}

void ffInit() {
    if (!ffEnabled) return;
    ffOn = 0;
    ffLastResult = FFJoystickOpen(nullptr, &gDirectInputObject, &gFfDevice);
    if (gDirectInputObject) MouseInitDirectInput();
    if (!gFfDevice) return;
    ffLastResult = FFConditionEffectCreate(&gFfDevice, &ffSpring, OS_EFFECT_SPRING, kOsInfinite, 5000, 0, 5000, 0, -1);
    if (ffLastResult == FF_OK) osHaptic().startEffect(ffSpring);
    ffOn = 0xFF;
}

void ffReacquire() {
    if (ffOn) osHaptic().acquire();
}

void ffRelease() {
    if (ffOn) {
        FFReleaseEffects(&gFfDevice);
        osHaptic().unacquire();
        osHaptic().close();
        gFfDevice = 0;
        ffOn = 0;
    }
    if (DirectInputMouse) {
        osRelativeMouse().stop();
        DirectInputMouse = 0;
    }
}

void ffSetStickCondition(int32_t x, int32_t y) {
    if (!ffOn || ffSpring < 0) return;
    gSpringEffect.condition[0].positiveCoefficient = x;
    gSpringEffect.condition[1].positiveCoefficient = y;
    if (!osHaptic().updateEffect(ffSpring, gSpringEffect)) ffLastResult = FF_E_FAIL;
}

void ffFirePulse(int32_t, int32_t direction) { Jolt(FF_SLOT_FIRE, direction, 8000, 0.4f, 8000, 0.0f, 0, 0.4f); }

void ffFirePulseAlt(int32_t magnitude, int32_t direction) {
    Jolt(FF_SLOT_FIRE_ALT, direction, magnitude, 0.5f, 0, 0.3f, 0, 0.2f);
}

void ffHitJolt(int32_t magnitude, float x, float, float z) {
    if (!ffOn) return;
    int32_t m = magnitude > 10000 ? 10000 : magnitude;
    Jolt(FF_SLOT_HIT, ffHitDirection(x, z), m, 0.42f, 0, 0.02f, 0, 0.4f);
}

void ffHitJoltAlt(int32_t magnitude, float x, float, float z) {
    if (!ffOn) return;
    int32_t m = magnitude > 10000 ? 10000 : magnitude;
    Jolt(FF_SLOT_HIT_ALT, ffHitDirection(x, z), m, 0.4f, m, 0.0f, 0, 0.4f);
}

// ---- relative mouse ------------------------------------------------------------

void MouseInitDirectInput() {
    if (optWinMouse) return;
    if (osRelativeMouse().start()) DirectInputMouse = 0xFF;
}

void MouseReacquire() {
    if (DirectInputMouse) osRelativeMouse().reacquire();
}

bool MouseReadDirectInput() {
    if (!DirectInputMouse) return false;
    OsRelativeMouse m;
    const OsRelativeMouseBackend &b = osRelativeMouse();
    if (!b.read(&m)) {
        if (!b.reacquire() || !b.read(&m)) return false;
    }
    gMouse.x += m.dx;
    gMouse.y += m.dy;
    gMouse.wheel += m.dz;
    gMouse.keyFlags = (m.buttons[0] & 0x80 ? 1u : 0u) | (m.buttons[1] & 0x80 ? 2u : 0u);
    return true;
}
