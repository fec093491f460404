// The player flies the sample mission's corvette through the game frame:
// keys go into the key queue and the key-down table, the frame hands them to
// the cockpit's key handler and the world's step flies the ship.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "RES/resman.h"
#include "app/clock.h"
#include "app/game.h"
#include "app/shell.h"
#include "core/counter.h"
#include "call_recorder.h"
#include "data_root.h"
#include "core/frame.h"
#include "core/options.h"
#include "gui/bindings.h"
#include "gui/cockpit.h"
#include "gui/gui.h"
#include "gui/keys.h"
#include "gui/nav.h"
#include "gui/screen.h"
#include "common/virtual_stick.h"
#include "os/input.h"
#include "platform/joystick.h"
#include "platform/sound.h"
#include "script/dialogue.h"
#include "platform/keyboard.h"
#include "present/scene.h"
#include "script/interp.h"
#include "script/mission.h"
#include "script/script.h"
#include "script/symbols.h"
#include "world/docking.h"
#include "world/flight.h"
#include "world/messages.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/records.h"
#include "world/services.h"

namespace {

uint64_t gTicks;
uint64_t FakeCounter() { return gTicks; }

// Scan codes of the sample key bindings ("keybind.ini").
constexpr uint8_t kThrUp = 0x1B, kThrDown = 0x1A, kL = 0x26, kU = 0x16;

class PlayerFlight : public testing::Test {
protected:
    ruvotest::CallRecorder calls;
    ruvotest::InDataRoot dataRoot;
    SceneItem *ship = nullptr, *station = nullptr;
    void SetUp() override {
        SetFrameCounter(FakeCounter, 100000);
        gTicks = 1;
        StartFrameClock();
        resmanInit();
        // The key bindings are the GUI's statements.
        guiInstallScriptHooks();
        InitializeScriptSystem();
        ResetBindings();
        guiResetKeyHandler();
        guiNavReset();
        guiInstallWorldHooks();
        // The frame, its keys, the mission's script and the world run; the
        // display and the GUI's pass are not part of this.
        calls.run = {"KeyQueueCount",       "KeyQueueGet",       "GetKeyDownTable", "gKeyHandler",
                     "UpdateMissionTimers", "ScriptProcessor",   "dunSimulationStep"};
        gKeyHandler = guiCockpitKeyHandler;
        // The bindings as the start-up reads them, then the launch: the
        // mission runs to its first wait on the navigation station.
        ruvotest::RunScriptFile("vek\\resource\\keybind.ini");
        // The flight, not the briefing ("nobrief").
        optNoBrief = 0xFF;
        gMainScriptPc = TokeniseScript("vek\\resource\\scripts\\missions\\mission01.scr");
        ASSERT_NE(gMainScriptPc, nullptr);
        ScriptProcessor(&gMainScriptPc, 0);
        StationId = 2;
        ship = static_cast<SceneItem *>(GetScriptSymbolValue("Player"));
        station = static_cast<SceneItem *>(GetScriptSymbolValue("Station"));
        ASSERT_TRUE(ship && ship->sim && station);
        ASSERT_EQ(dunPlayerShip, ship);
        ASSERT_EQ(dunControlledObject, ship);
    }
    void TearDown() override {
        dunClearDialogue();
        ResetBindings();
        // The wingman's spoken sample lives in the resource pool.
        SoundReleaseAll();
        resmanShutdown();
    }
    // Frames of 2 centiseconds.
    static void Frames(int n) {
        for (int i = 0; i < n; ++i) {
            gTicks += 2000;
            UpdateFrameClock();
            gameFrame();
        }
    }
    // A key pressed and released: queued for the handler, down for a frame.
    static void Press(uint8_t scan) {
        KeyQueuePut(uint16_t(scan << 8));
        KeyDownTable[scan] = 0xFF;
        Frames(1);
        KeyDownTable[scan] = 0;
        Frames(1);
    }
    Sim &S() const { return *ship->sim; }
    double Range() const {
        const Vec3d &a = ship->sim->position, &b = station->sim->position;
        return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
    }
    // The heading of the station from the ship and of the ship's nose, in
    // the level plane.
    double Bearing() const {
        return std::atan2(station->sim->position.x - S().position.x, station->sim->position.z - S().position.z);
    }
    double Heading() const { return std::atan2(Nose().x, Nose().z); }
    // The steering axes stand in for the look-around code, which turns the
    // arrow keys and the stick into them each step: the pilot yaws onto the
    // station.
    void YawOntoTheStation() {
        for (int i = 0; i < 300; ++i) {
            double error = (Bearing() - Heading()) * 180.0 / M_PI;
            error = error > 180.0 ? error - 360.0 : error < -180.0 ? error + 360.0 : error;
            dunTwist = float(std::clamp(error * 4.0, -90.0, 90.0));
            Frames(1);
        }
        dunTwist = 0.0f;
    }
    // The ship's nose (its third matrix row).
    Vec3 Nose() const { return {S().matrix.m[8], S().matrix.m[9], S().matrix.m[10]}; }
};

TEST_F(PlayerFlight, ThrottleTurnLdsDockAndUndock) {
    EXPECT_EQ(S().setSpeed, 0.0f);
    EXPECT_EQ(Range(), 3000000.0);
    // Throttle up: a step of 5,000 a press; the ship gathers way along its
    // nose.
    for (int i = 0; i < 4; ++i) Press(kThrUp);
    EXPECT_EQ(S().setSpeed, 20000.0f);
    Frames(100);
    EXPECT_GT(S().velocity.z, 10000.0f);
    EXPECT_GT(S().position.z, 10000.0);
    EXPECT_LT(S().setSpeed, 20000.5f);

    // Turn: a second of full yaw swings the nose well off the station's
    // bearing, level; then the pilot brings it back.
    dunTwist = 90.0f;
    Frames(50);
    dunTwist = 0.0f;
    EXPECT_GT(Heading() - Bearing(), 30.0 * M_PI / 180.0);
    EXPECT_NEAR(Nose().y, 0.0f, 1e-3f);
    YawOntoTheStation();
    EXPECT_NEAR(Heading(), Bearing(), 0.2 * M_PI / 180.0);

    // Into the drive: it spins up for 3 seconds at its floor speed, then the
    // throttle's steps are powers of ten and the drive grows towards them,
    // far beyond the engines' top speed.
    Press(kL);
    EXPECT_TRUE(S().flags & SimFlag::Lds);
    EXPECT_GT(S().ldsRamp, 0);
    Frames(150);
    EXPECT_EQ(S().ldsRamp, 0);
    for (int i = 0; i < 5; ++i) Press(kThrUp);
    EXPECT_EQ(S().setSpeed, 600000.0f);
    const double before = Range();
    Frames(100);
    EXPECT_GT(S().thrust.z, 4e5f);
    EXPECT_LT(Range(), before - 400000.0);
    // Out of it: the drive drops out over a second and leaves the ship at
    // rest with the throttle at 0.
    Press(kL);
    EXPECT_LT(S().ldsRamp, 0);
    Frames(50);
    EXPECT_FALSE(S().flags & SimFlag::Lds);
    EXPECT_EQ(S().setSpeed, 0.0f);
    EXPECT_EQ(S().velocity.z, 0.0f);

    // Full ahead to the station: within 100,000 of it the mission docks the
    // ship at its port.
    for (int i = 0; i < 14; ++i) Press(kThrUp);
    EXPECT_EQ(S().setSpeed, 70000.0f);
    int frames = 0;
    for (; frames < 3000 && !dunGetDockedPartner(ship); ++frames) Frames(1);
    ASSERT_EQ(dunGetDockedPartner(ship), station) << Range();
    Frames(20);
    EXPECT_LT(Range(), 10000.0);
    const Vec3d docked = S().position;
    Frames(50);
    EXPECT_EQ(S().position.y, docked.y);  // held at the port

    // Undock: the ship leaves the port and drifts clear of the station.
    Press(kU);
    EXPECT_EQ(dunGetDockedPartner(ship), nullptr);
    const double atUndock = Range();
    Frames(100);
    EXPECT_EQ(dunGetDockedPartner(ship), nullptr);
    EXPECT_GT(Range(), atUndock + 1000.0);
    // Throttle keys again and the ship flies on.
    for (int i = 0; i < 2; ++i) Press(kThrUp);
    EXPECT_EQ(S().setSpeed, 10000.0f);
}

// Keys alone, as the operating system hands them over (the key queue and the
// key-down table), fly the corvette through whole frames: the arrow key
// pitches the nose through the look-around code, the thrust key drives it
// along the new heading and the flight assist brings it back to rest. A
// reference computation of the same keyboard steering, turn and thrust laws
// says where it must end.
// The idle loop asking for frames at 60 a second and at 5,000: the ship
// covers the same ground in a second of the counter, the second its set
// speed says. (Frames faster than the centisecond the step counts in would
// each move it by a centisecond that has not passed.)
TEST_F(PlayerFlight, ASecondOfFlightCoversTheSameGroundAtAnyFrameRate) {
    SetFrameSleeper([](uint32_t ms) { gTicks += uint64_t(ms) * 100; });
    calls.run.insert("gameFrame");
    gActive = 1;
    for (int i = 0; i < 4; ++i) Press(kThrUp);
    Frames(500);
    ASSERT_NEAR(S().velocity.z, 20000.0f, 20.0f);
    const auto travel = [&](uint64_t turnsPerSecond) {
        const Vec3d from = S().position;
        const uint64_t start = gTicks;
        while (gTicks - start < 100000) {
            gTicks += 100000 / turnsPerSecond;
            ShellIdleTurn();
        }
        const Vec3d &to = S().position;
        return std::sqrt((to.x - from.x) * (to.x - from.x) + (to.y - from.y) * (to.y - from.y) +
                         (to.z - from.z) * (to.z - from.z));
    };
    const double slow = travel(60), fast = travel(5000);
    EXPECT_NEAR(slow, 20000.0, 400.0);
    EXPECT_NEAR(fast, slow, 400.0);
    SetFrameSleeper(nullptr);
}

TEST_F(PlayerFlight, InjectedKeysFlyTheShipWhereTheReferenceSays) {
    static const WorldPresentHooks look = [] {
        WorldPresentHooks h{};
        h.lookUpdate = LookUpdate;
        return h;
    }();
    WorldSetPresentHooks(&look);
    NoJoystick = 1;  // as the start-up finds no joystick: keyboard flight
    struct Restore {
        ~Restore() {
            WorldSetPresentHooks(nullptr);
            NoJoystick = 0;
        }
    } restore;
    LookInit();
    constexpr uint8_t kUp = 0x48, kThrust = 0x1E;  // KEY_A by "BINDKEYTHR KEY_A KEY_Z"
    auto key = [](uint8_t scan, bool down) {
        if (down) OnKeyDown(nullptr, 0, 1, scan, scan);
        else OnKeyUp(nullptr, 0, 1, scan, scan);
    };
    ASSERT_EQ(S().flightMode, 1);  // the set speed is held: 0 here
    const double dt = 0.02, thrust = 7000.0, maxRate = 90.0, keyRate = 975.0;

    // 0.5 s on the up arrow, then 3 s for the turn to run out. The look-around
    // code moves the pitch demand 975 a second while the key is held and
    // keeps a fifth of it each frame after; the flight input moves the
    // command 1/8 of the way there; the turn rate moves towards it at most
    // 90 a second.
    double stick = 0, demand = 0, rate = 0, pitch = 0;
    key(kUp, true);
    for (int i = 0; i < 175; ++i) {
        if (i == 25) key(kUp, false);
        Frames(1);
        stick = i < 25 ? std::max(-180.0, stick - keyRate * dt) : stick * 0.2;
        demand += (stick - demand) / 8.0;
        const double d = demand * 0.01 * maxRate - rate;
        rate = std::fabs(d) >= maxRate * dt ? rate + (d > 0 ? maxRate * dt : -maxRate * dt) : demand * 0.01 * maxRate;
        pitch += rate * dt;
    }
    ASSERT_LT(pitch, -20.0);
    ASSERT_LT(std::fabs(rate), 1e-3);
    // A pitch about X turns the nose from +Z towards -Y: here, up.
    const double ny = -std::sin(pitch * M_PI / 180.0), nz = std::cos(pitch * M_PI / 180.0);
    EXPECT_NEAR(Nose().x, 0.0, 1e-5);
    EXPECT_NEAR(Nose().y, ny, 1e-4);
    EXPECT_NEAR(Nose().z, nz, 1e-4);
    EXPECT_EQ(S().position.y, 0.0);  // turned on the spot

    // 2 s on the thrust key, then 1.5 s of the assist braking towards the set
    // speed of 0 with at most the full thrust.
    double v = 0, along = 0;
    key(kThrust, true);
    for (int i = 0; i < 175; ++i) {
        if (i == 100) key(kThrust, false);
        Frames(1);
        v += (i < 100 ? thrust : std::clamp(-v, -thrust, thrust)) * dt;
        along += v * dt;
    }
    ASSERT_GT(v, 500.0);
    EXPECT_NEAR(S().position.x, 0.0, 1e-3);
    EXPECT_NEAR(S().position.y, along * ny, along * 1e-4);
    EXPECT_NEAR(S().position.z, along * nz, along * 1e-4);
    EXPECT_NEAR(S().velocity.y, v * ny, v * 1e-3);
    EXPECT_NEAR(S().velocity.z, v * nz, v * 1e-3);
}

// The joystick's throttle lever sets the speed: polled each step (by the
// look-around code in flight, here between frames), its percentage of the
// top speed becomes the set speed whenever it moves.
TEST_F(PlayerFlight, TheJoysticksThrottle) {
    ruvotest::VirtualStick stick(3, 4, 1);
    ASSERT_NE(stick.joy, nullptr);
    JoystickInit();
    ASSERT_TRUE(JoystickPresent);
    const struct {
        Sint16 lever;
        float speed;
    } cases[] = {{-32768, 70000.0f}, {32767, 0.0f}, {0, 32900.0f}};
    for (const auto &c : cases) {
        SDL_JoystickSetVirtualAxis(stick.joy, 2, c.lever);
        for (int i = 0; i < 3; ++i) {
            JoystickPoll();
            Frames(1);
        }
        EXPECT_EQ(S().setSpeed, c.speed) << c.lever;
    }
    // The keys still step from there while the lever rests.
    Press(kThrUp);
    EXPECT_EQ(S().setSpeed, 37900.0f);
    Frames(400);
    EXPECT_NEAR(S().velocity.z, 37900.0f, 500.0f);
    JoystickPresent = 0;
}

}  // namespace
