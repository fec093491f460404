// The player's control routine: keys, stick and joystick into turn commands
// and thrust, flight assist, firing and targeting; the free and test
// controls.
#include <cmath>

#include "RES/vecmath.h"
#include "core/frame.h"
#include "platform/joystick.h"
#include "platform/keyboard.h"
#include "platform/sound.h"
#include "world/docking.h"
#include "world/flight.h"
#include "world/objlist.h"
#include "world/rays.h"
#include "world/records.h"
#include "world/services.h"

float dunStickX = 0.0f;
float dunStickY = 0.0f;
float dunTwist = 0.0f;
uint8_t dunHatBits = 0;
int8_t dunThrustAxes[3] = {-1, -1, -1};
int8_t dunFireButton = 0;
int8_t dunTargetButton = 1;
int8_t dunWeaponButtons[2] = {2, 3};
int8_t dunSwapButton = -1;
int8_t dunThrottleButtons[2] = {-1, -1};
uint8_t dunThrustKeys[2] = {0x39, 0x36};
uint8_t dunAxisSwap = 0;
int32_t dunControlMethod = 0;
uint8_t dunInfMode = 0;
int16_t dunJoyThrottleLast = 0;
uint8_t dunStrafing = 0;
uint8_t dunAutoTargetOff = 0;
SceneItem *dunCrossHairObject = nullptr;

uint8_t dunCapsuleJumpSwitch = 0;
int32_t dunCurrentStarCode = 0;
int32_t dunCapsuleStarCode = 0;
BodyRecord *dunCapsuleBody = nullptr;
SceneItem *dunLastTouchedBody = nullptr;

namespace {

constexpr uint8_t kScanSpace = 0x39;
constexpr uint8_t kScanRightShift = 0x36;
constexpr uint8_t kScanStrafe[2] = {0x56, 0x1F};
constexpr uint8_t kScanJoyButton2 = 0x81;
constexpr uint8_t kScanThrottleUp[2] = {0x0D, 0x4E};
constexpr uint8_t kScanThrottleDown[2] = {0x0C, 0x4A};

// The target button's hold, in centiseconds (-1 while released), and the
// game clock of the last throttle step.
int32_t targetHold = -1;
uint32_t throttleClock = 0;
bool throttleStepped = false;

bool keyDown(uint8_t scan) { return KeyDownTable[scan] != 0; }
bool keyWasDown(uint8_t scan) { return dunPrevKeyTable[scan] != 0; }

bool buttonDown(int8_t button) { return button >= 0 && button < 16 && (JoystickButtons >> button & 1); }
bool buttonWasDown(int8_t button) { return button >= 0 && button < 16 && (JoystickButtonsPrevious >> button & 1); }
bool buttonPressed(int8_t button) { return buttonDown(button) && !buttonWasDown(button); }

const FlightParams &figures(const Sim *sim) {
    static const FlightParams none{};
    return sim->flight ? *sim->flight : none;
}

float clampTo(float v, float limit) { return v > limit ? limit : v < -limit ? -limit : v; }

void refreshBodyVelocity(Sim *s) { MatTransformPoint(s->bodyVelocity, s->velocity, s->matrix); }

bool thrustKeyHeld() { return keyDown(dunThrustKeys[0]) || keyDown(dunThrustKeys[1]); }

// A throttle step at most every 3 centiseconds; while the set speed is 0
// only on a fresh press.
void throttle(const Sim *s, bool down, bool fresh, void (*step)()) {
    if (!down) return;
    if (s->setSpeed == 0.0f && !fresh) return;
    if (throttleStepped && dunGameClock - throttleClock < 3) return;
    throttleStepped = true;
    throttleClock = dunGameClock;
    dunCall(step);
}

void readThrottle(const SceneItem *o) {
    const Sim *s = dunControlledObject && dunControlledObject->sim ? dunControlledObject->sim : o->sim;
    const bool up = keyDown(kScanThrottleUp[0]) || keyDown(kScanThrottleUp[1]) || buttonDown(dunThrottleButtons[0]);
    const bool upFresh = (keyDown(kScanThrottleUp[0]) && !keyWasDown(kScanThrottleUp[0])) ||
                         (keyDown(kScanThrottleUp[1]) && !keyWasDown(kScanThrottleUp[1])) ||
                         buttonPressed(dunThrottleButtons[0]);
    const bool down =
        keyDown(kScanThrottleDown[0]) || keyDown(kScanThrottleDown[1]) || buttonDown(dunThrottleButtons[1]);
    const bool downFresh = (keyDown(kScanThrottleDown[0]) && !keyWasDown(kScanThrottleDown[0])) ||
                           (keyDown(kScanThrottleDown[1]) && !keyWasDown(kScanThrottleDown[1])) ||
                           buttonPressed(dunThrottleButtons[1]);
    throttle(s, up, upFresh, dunGui().throttleUp);
    throttle(s, down, downFresh, dunGui().throttleDown);
}

void fire(SceneItem *o) {
    const bool down = buttonDown(dunFireButton) || keyDown(kScanSpace);
    if (!down) return;
    const bool wasDown = buttonWasDown(dunFireButton) || keyWasDown(kScanSpace);
    Weapon *w = dunCurrentWeapon(o);
    if (w && (w->flags & WeaponFlag::SingleShot) && wasDown) return;
    dunLockTarget(o);
}

void targetButton() {
    if (buttonDown(dunTargetButton)) {
        targetHold = buttonWasDown(dunTargetButton) && targetHold >= 0 ? targetHold + dunFrameStep : 0;
        return;
    }
    if (buttonWasDown(dunTargetButton) && targetHold >= 0 && targetHold < 50) dunTargetLockSound();
    targetHold = -1;
}

void selectionButtons() {
    if (buttonPressed(dunWeaponButtons[0])) dunCall(dunGui().wepSelectPbc);
    if (buttonPressed(dunWeaponButtons[1])) dunCall(dunGui().wepSelectMissile);
    if (buttonPressed(dunSwapButton)) dunAxisSwap = !dunAxisSwap;
}

void touchingBody(SceneItem *o) {
    Sim *s = o->sim;
    if ((s->flags & SimFlag::Jumping) || !(o->flags & SceneFlag::TouchingBody)) return;
    o->flags &= ~SceneFlag::TouchingBody;
    const uint32_t bits = dunCheckReentryApproach(o, dunLastTouchedBody);
    dunCall(dunGui().reentryStatus, bits);
    s->flags &= ~SimFlag::ReentryClean;
    if (bits != 0) return;
    s->flags |= SimFlag::ReentryClean;
    if (dunCapsuleStarCode != 0) dunCall(dunGui().capsuleJump);
}

}  // namespace

Weapon *dunCurrentWeapon(SceneItem *o) {
    if (!o || !o->sim) return nullptr;
    if (!o->sim->currentWeapon) o->sim->currentWeapon = o->sim->weapons;
    return o->sim->currentWeapon;
}

void dunControlPlayer(SceneItem *o) {
    Sim *s = o->sim;
    if (o != dunControlledObject || !s || dunCall(dunGui().currentStation) == 0) return;
    if (s->flags & SimFlag::AiPaused) {
        s->thrust = {s->bodyVelocity.x * -0.1f, s->bodyVelocity.y * -0.1f, s->bodyVelocity.z * -0.1f};
        dunCall(dunGui().setInterference, 250);
        return;
    }
    if (!(s->flags & SimFlag::Autopilot)) {
        dunReadPlayerFlightInput(o);
        dunControlProbe(o);
    } else {
        s->flags &= ~SimFlag::PlayerInputAutopilot;
        SceneItem *target = s->target;
        dunCall(dunAi().think, o);
        s->target = target;
        refreshBodyVelocity(s);
        if (s->flags & SimFlag::PlayerInputAutopilot) dunReadPlayerFlightInput(o);
    }
    fire(o);
    targetButton();
    selectionButtons();
    if (o == dunPlayerShip && o->simulator != dunUpdateDocking) {
        touchingBody(o);
        const uint32_t sides = o->avatar ? o->avatar->flags & AvatarFlag::SideBits : 0;
        const uint32_t mask = dunCall(dunAi().sideTargetMask, o) | 0x10;
        dunCall(dunAi().pickTargetPoint, o, 0, mask, sides | 0x20);
        dunCall(dunAi().pickTargetPoint, o, 1, mask, sides | 0x20);
        dunCall(dunAi().updateWeapons, o);
    } else {
        dunCall(dunAi().updateWeaponsNoOwner, o);
    }
}

void dunReadPlayerFlightInput(SceneItem *o) {
    Sim *s = o->sim;
    const FlightParams &f = figures(s);
    const float full = f.p1 * 2.0f;
    const bool lds = s->flags & SimFlag::Lds;
    const bool strafe = !lds && (keyDown(kScanStrafe[0]) || keyDown(kScanStrafe[1]));
    float *demand = o->turnDemand;
    dunStrafing = 0;
    if (!dunCall(dunGui().stickBlocked)) {
        if (!strafe) {
            demand[2] += (dunStickX - demand[2]) / 8.0f;
            demand[1] += (dunTwist - demand[1]) / 8.0f;
            demand[0] += (dunStickY - demand[0]) / 8.0f;
        } else {
            s->thrust.x = dunAxisSwap ? dunTwist * full / 328.0f : -dunStickX * full / 328.0f;
            s->thrust.y = dunStickY * full / 328.0f;
            dunStrafing = 1;
        }
    } else if (!keyDown(kScanJoyButton2)) {
        for (int i = 0; i < 3; ++i) demand[i] *= 7.0f / 8.0f;
    } else {
        demand[1] += (-dunStickX - demand[1]) / 8.0f;
        demand[0] += (dunStickY - demand[0]) / 8.0f;
    }
    if (dunControlMethod == 2 && !dunStrafing) {
        if (dunHatBits & 1) s->thrust.y = -full / 2.0f;
        if (dunHatBits & 2) s->thrust.x = full / 2.0f;
        if (dunHatBits & 4) s->thrust.y = full / 2.0f;
        if (dunHatBits & 8) s->thrust.x = -full / 2.0f;
    }
    for (int i = 0; i < 3; ++i) o->turnRemaining[i] = demand[i];
    if (!lds) {
        if (!(s->flags & SimFlag::Autopilot)) s->thrust.z = 0.0f;
        if (!dunInfMode || std::fabs(s->bodyVelocity.z) <= kInfModeSpeedLimit) {
            if (keyDown(dunThrustKeys[0])) s->thrust.z = f.p1;
            if (keyDown(dunThrustKeys[1])) s->thrust.z = -f.p1;
        }
    }
    if (JoystickPresent) {
        float *axes[3] = {&s->thrust.x, &s->thrust.y, &s->thrust.z};
        const float scale[3] = {full, full, f.p1};
        for (int i = 0; i < 3; ++i) {
            const int8_t axis = dunThrustAxes[i];
            if (axis < 0 || axis >= JOY_AXIS_COUNT || JoystickAxes[axis] == 0) continue;
            *axes[i] = JoystickAxes[axis] * scale[i] / 328.0f;
        }
    }
    readThrottle(o);
}

void dunControlProbe(SceneItem *o) {
    Sim *s = o->sim;
    if (!s || (s->flags & (SimFlag::Lds | SimFlag::Autopilot))) return;
    const FlightParams &f = figures(s);
    const float maximum = f.p1;
    refreshBodyVelocity(s);
    const Vec3 &bv = s->bodyVelocity;
    if (o == dunControlledObject && JoystickPresent && JoystickAxes[JOY_THROTTLE] != dunJoyThrottleLast) {
        dunJoyThrottleLast = JoystickAxes[JOY_THROTTLE];
        s->setSpeed = dunJoyThrottleLast * f.p8x100 / 100.0f;
    }
    if (!thrustKeyHeld() && !dunStrafing) {
        if (s->flightMode == 0)
            s->thrust = {0.0f, 0.0f, 0.0f};
        else
            s->thrust.z = clampTo(s->setSpeed - bv.z, maximum);
    }
    const float lateralLimit = maximum * 0.75f;
    if (s->flightMode != 0 && !dunStrafing && !(s->flags & SimFlag::NoDriftDamping)) {
        const float gain = dunInfMode ? 4.0f : 1.0f;
        const float limit = dunInfMode ? lateralLimit * 10.0f : lateralLimit;
        s->thrust.x = -clampTo(bv.x * gain, limit);
        s->thrust.y = -clampTo(bv.y * gain, bv.y > 0.0f ? maximum : limit);
    }
    if (o != dunControlledObject) return;
    // The stick stiffens with the thrust the assist uses and softens with
    // the manoeuvring health.
    float rx = lateralLimit > 0.0f ? std::fabs(s->thrust.x) / lateralLimit : 0.0f;
    float ry = lateralLimit > 0.0f ? std::fabs(s->thrust.y) / lateralLimit : 0.0f;
    if (!(rx < 1.0f)) rx = 1.0f;
    if (!(ry < 1.0f)) ry = 1.0f;
    const FlightParams &nominal = s->shipInfo ? s->shipInfo->nominal : f;
    float h[3];
    for (int i = 0; i < 3; ++i) {
        h[i] = nominal.turnRates[i] > 0.0f ? f.turnRates[i] / nominal.turnRates[i] : 1.0f;
        if (!(h[i] < 1.0f)) h[i] = 1.0f;
    }
    ffSetStickCondition(int32_t((rx * 5000.0f + 5000.0f) * h[0] * h[1]), int32_t((ry * 5000.0f + 5000.0f) * h[2]));
}

uint32_t dunCheckReentryApproach(SceneItem *o, SceneItem *b) {
    const Sim *s = o->sim;
    if (!s || !b || !b->sim) return 16;
    uint32_t bits = 0;
    if (s->flags & SimFlag::Lds) bits |= 1;
    if (s->speed < 10000.0f) bits |= 2;
    if (s->speed > 250000.0f) bits |= 4;
    Vec3 direction = {s->matrix.m[8], s->matrix.m[9], s->matrix.m[10]};
    if (s->speed > 2500.0f) {
        direction = s->velocity;
        VecNormalise(direction);
    }
    const Vec3 bodyAxis = {b->sim->matrix.m[8], b->sim->matrix.m[9], b->sim->matrix.m[10]};
    if (VecDot(direction, bodyAxis) < 0.65) bits |= 8;
    const Vec3 offset = {float(s->position.x - b->sim->position.x), float(s->position.y - b->sim->position.y),
                         float(s->position.z - b->sim->position.z)};
    Vec3 local;
    MatTransformPoint(local, offset, b->sim->matrix);
    if (VecLengthApprox(local) > 27500.0f || local.z < -10000.0f) bits |= 16;
    return bits;
}

void dunLockTarget(SceneItem *o) {
    Weapon *w = dunCurrentWeapon(o);
    if (!w) return;
    Sim *s = o->sim;
    SceneItem *t = s->goal;
    if (!t && !dunAutoTargetOff) {
        float distance = 0.0f;
        t = dunRayHitsObject(o, w, 30, 0, &distance, nullptr);
        const uint32_t ownSide = o->avatar ? o->avatar->flags & AvatarFlag::SideBits : 0;
        if (t && t->avatar && (t->avatar->flags & ownSide))
            t = nullptr;
        else if (t)
            dunCall(dunAi().selectTarget, t);
    }
    if (t) {
        s->goal = t;
        w->target = t;
    }
    const int result = dunCall(dunAi().fireWeapon, o, w, 0.0f, 0.0f);
    if (result >= 1 && result <= 4) {
        SoundPlay(18, 0, 0, 0, 0);
        dunCall(dunGui().showFireResult, result);
    }
}

void dunTargetLockSound() {
    dunCall(dunAi().pickTargetFiltered);
    SoundPlay(58, 0, 0, 0, 0);
}

void dunControlFree(SceneItem *o) {
    if (o == dunPlayerShip) dunControlPlayer(o);
    for (int i = 0; i < 3; ++i) o->turnRemaining[i] = o->turnDemand[i];
}

void dunControlFreeTargeting(SceneItem *o) {
    float distance = 1e30f;
    SceneItem *pick = dunRayHitsObject(o, nullptr, 0xFFFFFFFFu, 0, &distance, nullptr);
    if (pick && distance < 12000.0f) dunCrossHairObject = pick;
    dunControlFree(o);
}

void dunControlTest(SceneItem *o) {
    Sim *s = o->sim;
    if (!s) return;
    // The rate is taken from the frame in seconds, not in whole ones.
    const float rate = dunFrameStep <= 20 ? float(dunFrameStep) / 100.0f * 200.0f : 40.0f;
    if (buttonDown(dunFireButton)) dunCall(dunAi().fireWeapon, o, dunCurrentWeapon(o), 100000.0f, rate);
    dunCall(dunAi().updateWeaponsNoOwner, o);
    s->thrust.z = keyDown(kScanSpace) ? 9000.0f : keyDown(kScanRightShift) ? -9000.0f : 0.0f;
    s->velocity.x *= 0.98f;
    s->velocity.y *= 0.98f;
    s->velocity.z *= 0.98f;
}

void dunResetFlightControl() {
    targetHold = -1;
    throttleStepped = false;
    throttleClock = 0;
    dunStrafing = 0;
    dunCrossHairObject = nullptr;
    dunRemoteLinked = nullptr;
    dunRemoteState = 0;
    dunCurrentHost = nullptr;
    dunPlayerHullObject = nullptr;
    dunLastTouchedBody = nullptr;
}
