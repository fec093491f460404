#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/options.h"
#include "platform/display.h"
#include "platform/hooks.h"
#include "common/virtual_stick.h"
#include "os/input.h"
#include "platform/joystick.h"
#include "platform/keyboard.h"

namespace {

// ---- a recording haptic side and a scripted relative mouse ----------------------

struct HapticCall {
    std::string what;
    int handle;
    OsEffect effect;
};

struct FakeInput {
    bool haptic = true;
    std::vector<HapticCall> calls;
    int nextHandle = 0;
    bool mouse = true;
    int mouseStarts = 0;
    std::vector<OsRelativeMouse> motions;  // one per read
};
FakeInput *gFake;

const OsHapticBackend kFakeHaptic = {
    [] {
        gFake->calls.push_back({"open", -1, {}});
        return gFake->haptic;
    },
    [] { gFake->calls.push_back({"close", -1, {}}); },
    [] {
        gFake->calls.push_back({"acquire", -1, {}});
        return true;
    },
    [] { gFake->calls.push_back({"unacquire", -1, {}}); },
    [](const OsEffect &e) {
        gFake->calls.push_back({"create", gFake->nextHandle, e});
        return gFake->nextHandle++;
    },
    [](int h, const OsEffect &e) {
        gFake->calls.push_back({"update", h, e});
        return true;
    },
    [](int h) {
        gFake->calls.push_back({"start", h, {}});
        return true;
    },
    [](int h) { gFake->calls.push_back({"release", h, {}}); },
};

const OsRelativeMouseBackend kFakeMouse = {
    [] {
        ++gFake->mouseStarts;
        return gFake->mouse;
    },
    [] {},
    [] { return true; },
    [](OsRelativeMouse *m) {
        if (gFake->motions.empty()) {
            *m = OsRelativeMouse{};
            return true;
        }
        *m = gFake->motions.front();
        gFake->motions.erase(gFake->motions.begin());
        return true;
    },
};

// ---- the floors above: the HUD's bearing and the GUI pointer's reach -------------

int32_t gMarginX, gMarginY;

PlatformHooks AboveHooks() {
    PlatformHooks h{};
    h.bearingDegrees = [](double a, double b) {
        double d = std::atan(b / a) * 180.0 / 3.14159265358979323846;
        return a < 0 ? -d - 90.0 : 90.0 - d;
    };
    h.pointerMargins = [](int32_t *x, int32_t *y) {
        *x = gMarginX;
        *y = gMarginY;
    };
    return h;
}

using ruvotest::VirtualStick;

class Joystick : public ::testing::Test {
protected:
    FakeInput fake;
    void SetUp() override {
        ResetOptions();
        optWinMouse = 0xFF;
        gFake = &fake;
        osSetHapticBackend(&kFakeHaptic);
        osSetRelativeMouseBackend(&kFakeMouse);
        for (int32_t &i : JoyInvert) i = 0;
        MouseStateReset();
        DirectInputMouse = 0;
        ffEnabled = 0xFF;
        gMarginX = gMarginY = 0;
        PlatformHooks above = AboveHooks();
        SetPlatformHooks(&above);
    }
    void TearDown() override {
        SetPlatformHooks(nullptr);
        ffRelease();
        osJoystickClose();
        osSetHapticBackend(nullptr);
        osSetRelativeMouseBackend(nullptr);
        for (int32_t &i : JoyInvert) i = 0;
        ResetOptions();
    }
};

TEST_F(Joystick, NoJoystickIsACleanNoOp) {
    fake.haptic = false;
    JoystickInit();
    EXPECT_EQ(NoJoystick, 1);
    EXPECT_EQ(JoystickPresent, 0);
    // The hat rests centred: a 0 would be the hat held forward.
    int16_t *axes = JoystickPoll();
    for (int i = 0; i < JOY_AXIS_COUNT; ++i) EXPECT_EQ(axes[i], i == JOY_POV ? -1 : 0) << i;
    EXPECT_EQ(ffOn, 0);
    ffSetStickCondition(1, 2);
    ffFirePulse(0, 100);
    ffHitJolt(5000, 1, 0, 1);
    ffReacquire();
    ASSERT_EQ(fake.calls.size(), 1u);  // the one attempt to open
    EXPECT_EQ(fake.calls[0].what, "open");
}

TEST_F(Joystick, AxesDeadZonesAndRudder) {
    struct Case {
        int axes;             // 2: X/Y only, 3: with Z, 4: with R, 6: with U and V
        bool noRudder;
        int raw[6];           // after centring and / 100
        int16_t want[JOY_AXIS_COUNT];
    } cases[] = {
        {2, false, {40, 60, 0, 0, 0, 0}, {0, 10, 0, 0, -1, 0, 0}},
        {2, false, {-60, -49, 0, 0, 0, 0}, {-10, 0, 0, 0, -1, 0, 0}},
        // With a Z axis the throttle comes from its range: half way is 47.
        {4, false, {0, 0, 0, 200, 0, 0}, {0, 0, 50, 47, -1, 0, 0}},
        {4, false, {0, 0, 0, -149, 0, 0}, {0, 0, 0, 47, -1, 0, 0}},
        {4, true, {0, 0, 0, 200, 0, 0}, {0, 0, 0, 47, -1, 0, 0}},
        {6, false, {0, 0, 100, 0, 70, -80}, {0, 0, 0, 50, -1, 20, -30}},
        {6, false, {0, 0, 49, 0, 0, 0}, {0, 0, 0, 0, -1, 0, 0}},
    };
    for (const Case &c : cases) {
        SetUp();
        optNoRudder = c.noRudder ? 0xFF : 0;
        VirtualStick stick(c.axes, 4, 1);
        for (int a = 0; a < c.axes; ++a) stick.Deflect(a, c.raw[a]);
        JoystickInit();
        ASSERT_EQ(JoystickPresent, 0xFF);
        int16_t *axes = JoystickPoll();
        for (int i = 0; i < JOY_AXIS_COUNT; ++i) EXPECT_EQ(axes[i], c.want[i]) << c.axes << " axes, entry " << i;
    }
}

TEST_F(Joystick, ThrottleFromTheZRange) {
    VirtualStick stick(3, 0, 0);
    JoystickInit();
    EXPECT_TRUE(JoyThrottleFromZRange);
    const std::pair<Sint16, int16_t> cases[] = {{32767, 0}, {-32768, 100}, {0, 47}, {30000, 0}};
    for (auto [raw, want] : cases) {
        SDL_JoystickSetVirtualAxis(stick.joy, 2, raw);
        EXPECT_EQ(JoystickPoll()[JOY_THROTTLE], want) << raw;
    }
}

TEST_F(Joystick, HatButtonsAndInvert) {
    VirtualStick stick(2, 8, 1);
    JoystickInit();
    const std::pair<Uint8, int16_t> hats[] = {{SDL_HAT_UP, 0},          {SDL_HAT_RIGHTUP, 4500},
                                              {SDL_HAT_RIGHT, 9000},    {SDL_HAT_DOWN, 18000},
                                              {SDL_HAT_LEFTUP, 31500},  {SDL_HAT_CENTERED, -1}};
    for (auto [hat, want] : hats) {
        SDL_JoystickSetVirtualHat(stick.joy, 0, hat);
        EXPECT_EQ(JoystickPoll()[JOY_POV], want) << int(hat);
    }

    SDL_JoystickSetVirtualButton(stick.joy, 0, 1);
    SDL_JoystickSetVirtualButton(stick.joy, 2, 1);
    JoystickPoll();
    EXPECT_EQ(JoystickButtons, 0x5);
    EXPECT_EQ(JoystickButtonsPrevious, 0);
    EXPECT_EQ(KeyDownTable[0x80], 0xFF);
    EXPECT_EQ(KeyDownTable[0x81], 0);
    EXPECT_EQ(KeyDownTable[0x82], 0xFF);
    // All eight buttons at once read 255, which counts as none.
    for (int b = 0; b < 8; ++b) SDL_JoystickSetVirtualButton(stick.joy, b, 1);
    JoystickPoll();
    EXPECT_EQ(JoystickButtons, 0);
    EXPECT_EQ(JoystickButtonsPrevious, 0x5);
    EXPECT_EQ(KeyDownTable[0x80], 0);

    stick.Deflect(0, 80);
    stick.Deflect(1, -90);
    JoyInvert[JOY_X] = 1;
    EXPECT_EQ(JoystickPoll()[JOY_X], -30);
    EXPECT_EQ(JoystickAxes[JOY_Y], -40);
}

TEST_F(Joystick, InitPollsTwiceSoThePreviousWordIsValid) {
    VirtualStick stick(2, 4, 0);
    SDL_JoystickSetVirtualButton(stick.joy, 1, 1);
    JoystickInit();
    EXPECT_EQ(JoystickButtons, 0x2);
    EXPECT_EQ(JoystickButtonsPrevious, 0x2);
}

TEST_F(Joystick, UnpluggedStickGivesNoDeflection) {
    auto *stick = new VirtualStick(2, 4, 0);
    stick->Deflect(0, 90);
    JoystickInit();
    EXPECT_EQ(JoystickPoll()[JOY_X], 40);
    EXPECT_EQ(JoystickPoll()[JOY_POV], -1);  // a stick without a hat
    SDL_JoystickClose(stick->joy);
    stick->joy = nullptr;
    SDL_JoystickDetachVirtual(stick->index);
    stick->index = -1;
    EXPECT_EQ(JoystickPoll()[JOY_X], 0);
    EXPECT_EQ(JoystickPoll()[JOY_POV], -1);
    delete stick;
}

// ---- force feedback ------------------------------------------------------------------

std::vector<HapticCall> Creates(const FakeInput &f) {
    std::vector<HapticCall> out;
    for (const HapticCall &c : f.calls)
        if (c.what == "create") out.push_back(c);
    return out;
}

TEST_F(Joystick, SpringAtStartAndItsCondition) {
    ffInit();
    ASSERT_EQ(ffOn, 0xFF);
    auto creates = Creates(fake);
    ASSERT_EQ(creates.size(), 1u);
    const OsEffect &s = creates[0].effect;
    EXPECT_EQ(s.kind, OS_EFFECT_SPRING);
    EXPECT_EQ(s.duration, kOsInfinite);
    EXPECT_EQ(s.samplePeriod, 10000);
    EXPECT_EQ(s.gain, 10000);
    EXPECT_EQ(s.triggerButton, -1);
    EXPECT_TRUE(s.axisX && s.axisY);
    EXPECT_EQ(s.condition[0].positiveCoefficient, 5000);
    EXPECT_EQ(s.condition[1].negativeCoefficient, 5000);
    EXPECT_EQ(fake.calls.back().what, "start");

    ffSetStickCondition(3000, 7000);
    const HapticCall &u = fake.calls.back();
    ASSERT_EQ(u.what, "update");
    EXPECT_EQ(u.handle, ffSpring);
    EXPECT_EQ(u.effect.condition[0].positiveCoefficient, 3000);
    EXPECT_EQ(u.effect.condition[1].positiveCoefficient, 7000);
    EXPECT_EQ(u.effect.condition[0].negativeCoefficient, 5000);
    EXPECT_EQ(u.effect.condition[1].negativeCoefficient, 5000);

    uint8_t none = 0;
    int effect = -1;
    EXPECT_EQ(FFConditionEffectCreate(nullptr, &effect, 11, -1, 1, 0, 1, 0, -1), FF_E_INVALIDARG);
    EXPECT_EQ(FFConditionEffectCreate(&none, &effect, 11, -1, 1, 0, 1, 0, -1), FF_E_INVALIDARG);
}

TEST_F(Joystick, JoltParameters) {
    ffInit();
    struct Case {
        const char *name;
        void (*jolt)();
        int32_t direction, magnitude, duration, attackLevel, attackTime, fadeLevel, fadeTime;
    } cases[] = {
        {"fire", [] { ffFirePulse(1234, 4500); }, 4500, 8000, 400000, 8000, 0, 0, 400000},
        {"fire alt", [] { ffFirePulseAlt(6000, 27000); }, 27000, 6000, 500000, 0, 300000, 0, 200000},
        {"hit from behind", [] { ffHitJolt(12000, 0, 5, -3); }, 18000, 10000, 420000, 0, 20000, 0, 400000},
        {"hit from the left", [] { ffHitJolt(3000, -2, 0, 0); }, 27000, 3000, 420000, 0, 20000, 0, 400000},
        {"hit alt from the right", [] { ffHitJoltAlt(15000, 2, 0, 0); }, 9000, 10000, 400000, 10000, 0, 0, 400000},
        {"hit alt ahead", [] { ffHitJoltAlt(700, 0, 0, 4); }, 0, 700, 400000, 700, 0, 0, 400000},
    };
    for (const Case &c : cases) {
        fake.calls.clear();
        c.jolt();
        auto creates = Creates(fake);
        ASSERT_EQ(creates.size(), 1u) << c.name;
        const OsEffect &e = creates[0].effect;
        EXPECT_EQ(e.kind, OS_EFFECT_CONSTANT) << c.name;
        EXPECT_EQ(e.direction, c.direction) << c.name;
        EXPECT_EQ(e.magnitude, c.magnitude) << c.name;
        EXPECT_EQ(e.duration, c.duration) << c.name;
        EXPECT_EQ(e.attackLevel, c.attackLevel) << c.name;
        EXPECT_EQ(e.attackTime, c.attackTime) << c.name;
        EXPECT_EQ(e.fadeLevel, c.fadeLevel) << c.name;
        EXPECT_EQ(e.fadeTime, c.fadeTime) << c.name;
        EXPECT_EQ(e.gain, 10000);
        EXPECT_EQ(e.samplePeriod, 0);
        EXPECT_TRUE(e.axisX && e.axisY && e.hasEnvelope);
        EXPECT_EQ(fake.calls.back().what, "start") << c.name;
        EXPECT_EQ(fake.calls.back().handle, creates[0].handle);
    }
    // A second jolt of a kind releases the effect its slot held first.
    fake.calls.clear();
    int held = ffJoltSlots[FF_SLOT_FIRE];
    ffFirePulse(0, 0);
    ASSERT_GE(fake.calls.size(), 3u);
    EXPECT_EQ(fake.calls[0].what, "release");
    EXPECT_EQ(fake.calls[0].handle, held);

    // Every hit direction lies in 0..35999.
    for (float x : {-1.0f, -0.001f, 0.0f, 0.001f, 1.0f})
        for (float z : {-1.0f, 0.0f, 1.0f}) {
            int32_t d = ffHitDirection(x, z);
            EXPECT_GE(d, 0);
            EXPECT_LT(d, 36000);
        }

    // Shutdown releases every effect, then the device.
    fake.calls.clear();
    ffRelease();
    std::vector<std::string> whats;
    for (const HapticCall &c : fake.calls) whats.push_back(c.what);
    EXPECT_EQ(whats, (std::vector<std::string>{"release", "release", "release", "release", "release", "unacquire",
                                               "close"}));
    EXPECT_EQ(ffOn, 0);
}

TEST_F(Joystick, SwitchedOffForceFeedbackOpensNothing) {
    ffEnabled = 0;
    ffInit();
    EXPECT_TRUE(fake.calls.empty());
    EXPECT_EQ(ffOn, 0);
}

// ---- relative mouse ------------------------------------------------------------

TEST_F(Joystick, RelativeMouseFeedsTheMouseState) {
    optWinMouse = 0;
    ffInit();
    ASSERT_EQ(DirectInputMouse, 0xFF);
    gMouse.x = 100;
    gMouse.y = 100;
    KeyQueueReset();
    OsRelativeMouse press{5, -3, 120, {0x80, 0, 0, 0}};
    OsRelativeMouse hold{1, 1, 0, {0x80, 0x80, 0, 0}};
    OsRelativeMouse release{0, 0, -240, {0, 0, 0, 0}};
    fake.motions = {press, hold, release};

    JoystickPoll();
    EXPECT_EQ(gMouse.x, 105);
    EXPECT_EQ(gMouse.y16, 97);
    EXPECT_EQ(gMouse.leftDowns, 1);
    EXPECT_EQ(gMouse.leftUps, 0);
    EXPECT_EQ(KeyDownTable[KEY_LEFT_BUTTON], 0xFF);
    EXPECT_EQ(KeyQueueGet(), 0xA400);

    JoystickPoll();
    EXPECT_EQ(gMouse.leftDowns, 0);
    EXPECT_EQ(KeyDownTable[KEY_RIGHT_BUTTON], 0xFF);
    EXPECT_EQ(gMouse.keyFlags, 3u);
    EXPECT_EQ(KeyQueueCount(), 0);

    JoystickPoll();
    EXPECT_EQ(gMouse.leftUps, 1);
    EXPECT_EQ(KeyDownTable[KEY_LEFT_BUTTON], 0);
    EXPECT_EQ(KeyQueueGet(), 0xA500);
    EXPECT_EQ(gMouse.wheel, -120);
}

TEST_F(Joystick, RelativeMouseStaysInsideThePointerMargins) {
    optWinMouse = 0;
    ffInit();
    uint8_t pixel = 0;
    Surface saved = ScreenSurface;
    ScreenSurface.pixels = &pixel;
    ScreenSurface.width = 640;
    ScreenSurface.height = 480;
    gMarginX = 8;
    gMarginY = 12;
    struct Case {
        int dx, dy, x, y;
    } cases[] = {{-5000, -5000, 9, 13}, {100, 100, 109, 113}, {5000, 5000, 631, 467}, {-1, -1, 630, 466}};
    for (const Case &c : cases) {
        fake.motions = {{c.dx, c.dy, 0, {0, 0, 0, 0}}};
        JoystickPoll();
        EXPECT_EQ(gMouse.x, c.x);
        EXPECT_EQ(gMouse.y, c.y);
        EXPECT_EQ(gMouse.x16, c.x);
    }
    ScreenSurface = saved;
}

TEST_F(Joystick, WinMouseNeverReadsTheRelativeMouse) {
    optWinMouse = 0xFF;
    ffInit();
    EXPECT_EQ(fake.mouseStarts, 0);
    EXPECT_EQ(DirectInputMouse, 0);
    fake.motions = {{0, 0, 120, {0x80, 0, 0, 0}}};
    KeyQueueReset();
    JoystickPoll();
    EXPECT_EQ(KeyQueueCount(), 0);
    EXPECT_FALSE(MouseReadDirectInput());
}

}  // namespace
