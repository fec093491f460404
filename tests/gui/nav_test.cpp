// The navigation station's commands on the controlled object: the throttle,
// its range, the LDS drive, flight modes, the autopilot programs, undocking,
// detaching the command section and the lateral thrusters.
#include <gtest/gtest.h>

#include "common/fatal_hook.h"
#include "core/frame.h"
#include "gui/cockpit.h"
#include "gui/nav.h"
#include "gui/window.h"
#include "world/docking.h"
#include "world/messages.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/records.h"
#include "world/universe.h"

namespace {

class NavStation : public testing::Test {
protected:
    SceneItem *ship = nullptr;
    Sim *s = nullptr;
    GuiWindow button{};
    void SetUp() override {
        dunFrameCounter = 1;
        dunMsgInit();
        dunResetWorld();
        guiNavReset();
        ship = Ship();
        s = ship->sim;
        dunPlayerShip = dunControlledObject = ship;
        button.helpIndex = -1;
    }
    void TearDown() override { dunResetWorld(); }
    // The sample corvette with an LDS drive of 1e9: thrust 7000, top speed
    // 700 x 100.
    static SceneItem *Ship() {
        SceneItem *o = dunCreateSceneItem();
        dunLinkSceneItem(o, 0);
        dunAttachSim(o, nullptr);
        dunAttachTDP(o);
        ShipInfo *info = o->sim->shipInfo = dunAllocShipInfo();
        dunInitFlightParams(&info->current, 7000.0f, 500.0f, 50, 1000000000u, 90.0f, 90.0f, 90.0f, 700.0f);
        info->nominal = info->current;
        o->sim->flight = &info->current;
        o->sim->flightMode = 1;
        return o;
    }
    void EnterLds() {
        guiNavToggleLds(nullptr);
        s->ldsRamp = 0;  // spun up
    }
};

TEST_F(NavStation, ThrottleSteps) {
    const struct {
        bool lds;
        float from;
        bool up;
        float to;
    } steps[] = {
        {true, 300000.0f, true, 400000.0f},    {true, 100000.0f, false, 100000.0f},
        {true, 300000.0f, false, 200000.0f},   {true, 1000000.0f, false, 900000.0f},
        {true, 990000000.0f, true, 1e9f},      {true, 0.0f, true, 200000.0f},
        {false, 0.0f, true, 5000.0f},          {false, 68000.0f, true, 70000.0f},
        {false, -68000.0f, false, -70000.0f},  {false, 10000.0f, false, 5000.0f},
    };
    for (const auto &t : steps) {
        s->flags = t.lds ? SimFlag::Lds : 0;
        s->setSpeed = t.from;
        if (t.up)
            guiThrottleUp();
        else
            guiThrottleDown();
        EXPECT_FLOAT_EQ(s->setSpeed, t.to) << t.from << (t.up ? " up" : " down");
        // In the drive the throttle is the drive's target.
        if (t.lds) {
            EXPECT_EQ(s->ldsTarget, s->setSpeed);
        }
    }
}

TEST_F(NavStation, ThrottleRangeByFlight) {
    const struct {
        uint32_t flags;
        uint16_t mode;
        float from, to;
    } cases[] = {
        {SimFlag::Lds, 1, 50.0f, 100000.0f}, {SimFlag::Lds, 1, 2e9f, 1e9f}, {0, 0, 3e5f, 100000.0f},
        {0, 1, -3e5f, -100000.0f},           {0, 2, 3000.0f, 2500.0f},      {0, 3, 3000.0f, 0.0f},
    };
    for (const auto &c : cases) {
        s->flags = c.flags;
        s->flightMode = c.mode;
        s->setSpeed = c.from;
        guiNavThrottleRange();
        EXPECT_EQ(s->setSpeed, c.to) << c.from << " mode " << c.mode;
    }
}

TEST_F(NavStation, TheLdsDriveOnAndOff) {
    s->velocity = {10.0f, 0.0f, 0.0f};
    s->thrust = {1.0f, 2.0f, 3.0f};
    guiNavToggleLds(&button);
    EXPECT_TRUE(s->flags & SimFlag::Lds);
    EXPECT_EQ(s->ldsRamp, 300);
    EXPECT_EQ(s->setSpeed, 100000.0f);
    EXPECT_EQ(s->thrust.z, 100000.0f);
    EXPECT_EQ(s->thrust.x, 0.0f);
    // Spinning up: the button is refused, and so is a mode button, which
    // cannot leave the drive yet.
    guiNavToggleLds(&button);
    EXPECT_TRUE(button.flags & GuiFlag::NoHelpOnce);
    EXPECT_TRUE(s->flags & SimFlag::Lds);
    button.flags = 0;
    EXPECT_FALSE(guiNavSetFlightMode(&button, 2));
    EXPECT_TRUE(button.flags & GuiFlag::NoHelpOnce);
    EXPECT_EQ(s->flightMode, 1);
    // Spun up, it switches off: the drop-out starts and the ship stops,
    // except in a gravity well.
    s->ldsRamp = 0;
    ship->flags |= SceneFlag::InGravityWell;
    guiNavToggleLds(nullptr);
    EXPECT_EQ(s->ldsRamp, -100);
    EXPECT_EQ(s->setSpeed, 0.0f);
    EXPECT_EQ(s->velocity.x, 10.0f);
    s->ldsRamp = 0;
    s->flags &= ~SimFlag::Lds;
    ship->flags &= ~SceneFlag::InGravityWell;
    EnterLds();
    EXPECT_TRUE(guiNavSetFlightMode(nullptr, 2));
    EXPECT_EQ(s->velocity.x, 0.0f);
    EXPECT_EQ(s->flightMode, 2);
    EXPECT_EQ(s->ldsRamp, -100);
}

TEST_F(NavStation, TheLdsDriveRefused) {
    // Inhibited and off: only the refusal message.
    s->flags = SimFlag::LdsBlocked;
    guiNavToggleLds(nullptr);
    EXPECT_FALSE(s->flags & SimFlag::Lds);
    // Under the autopilot.
    s->flags = SimFlag::Autopilot;
    guiNavToggleLds(&button);
    EXPECT_TRUE(button.flags & GuiFlag::NoHelpOnce);
    EXPECT_FALSE(s->flags & SimFlag::Lds);
    // A ship without a drive.
    s->flags = 0;
    s->flight->p4 = 0;
    guiNavToggleLds(nullptr);
    EXPECT_FALSE(s->flags & SimFlag::Lds);
}

TEST_F(NavStation, FlightModeKeys) {
    s->flightMode = 0;
    guiFlightModeFThr();
    EXPECT_EQ(s->flightMode, 1);
    guiFlightModeFThr();
    EXPECT_EQ(s->flightMode, 0);
    guiFlightModeCThr();
    EXPECT_EQ(s->flightMode, 1);
    EnterLds();
    s->flightMode = 0;
    guiFlightModeCThr();
    EXPECT_EQ(s->flightMode, 1);
    EXPECT_EQ(s->ldsRamp, -100);
}

TEST_F(NavStation, ProgramsNeedTargetsAndTheirFlight) {
    // APPROACH with no target and no selected contact does nothing.
    EXPECT_FALSE(guiNavSelectProgram(1));
    EXPECT_FALSE(s->flags & SimFlag::Autopilot);
    // STOP needs none.
    EXPECT_TRUE(guiNavSelectProgram(0));
    EXPECT_TRUE(s->flags & SimFlag::Autopilot);
    EXPECT_EQ(guiNavSelectedProgram, 0);
    // Engaged already: nothing more starts.
    SceneItem *target = Ship();
    s->autopilotTarget = target;
    EXPECT_FALSE(guiNavSelectProgram(1));
    guiNavStopProgram(nullptr);
    EXPECT_FALSE(s->flags & SimFlag::Autopilot);
    EXPECT_EQ(guiNavDisengageTimer, 400);
    // In the drive only the programs with an LDS routine start.
    s->autopilotTarget = target;
    s->flags |= SimFlag::Lds;
    EXPECT_FALSE(guiNavSelectProgram(3));
    EXPECT_TRUE(guiNavSelectProgram(1));
    EXPECT_EQ(s->autopilotTarget, target);
    EXPECT_EQ(guiNavProgramTarget, target);
    // The key starts a program; the button also records its help text.
    // Stopping left the drive: back into it.
    guiNavStopProgram(nullptr);
    EXPECT_FALSE(s->flags & SimFlag::Lds);
    s->flags |= SimFlag::Lds;
    s->autopilotTarget = target;
    button.value = 8;
    guiNavProgramButton(&button);
    EXPECT_FALSE(s->flags & SimFlag::Autopilot);  // MATCH VEL has no LDS routine
    s->flags &= ~SimFlag::Lds;
    guiNavProgramButton(&button);
    EXPECT_EQ(guiNavSelectedProgram, 8);
    EXPECT_EQ(guiNavRunningHelp, 61);
}

TEST_F(NavStation, StoppingAProgram) {
    ASSERT_TRUE(guiNavSelectProgram(0));
    dunAutopilotLock = 1;
    guiNavStopProgram(nullptr);
    EXPECT_TRUE(s->flags & SimFlag::Autopilot);
    dunAutopilotLock = 0;
    // A detached command section gets its idle order and label back, and it
    // leaves the drive.
    SceneItem *section = Ship();
    dunControlledObject = section;
    section->sim->flags |= SimFlag::Autopilot | SimFlag::Lds;
    guiNavStopProgram(nullptr);
    EXPECT_STREQ(section->sim->shipInfo->programLabel, "NO PROGRAM");
    EXPECT_FALSE(section->sim->flags & (SimFlag::Autopilot | SimFlag::Lds));
}

// A program whose target went while the drive runs ends, and the ship
// leaves the drive; its targets are not taken back from the player's.
TEST_F(NavStation, AProgramThatLostItsTargetEnds) {
    SceneItem *target = Ship();
    s->autopilotTarget = target;
    s->flags |= SimFlag::Lds;
    ASSERT_TRUE(guiNavSelectProgram(1));
    s->ldsRamp = 0;
    s->target = nullptr;  // the world forgot it
    dunAutopilotLock = 1;
    guiNavStartProgram(4, 0);
    EXPECT_TRUE(s->flags & SimFlag::Autopilot) << "the lock keeps it";
    dunAutopilotLock = 0;
    guiNavStartProgram(4, 0);
    EXPECT_FALSE(s->flags & SimFlag::Autopilot);
    EXPECT_FALSE(s->flags & SimFlag::Lds);
    EXPECT_EQ(s->autopilotTarget, nullptr);
    EXPECT_EQ(s->target, nullptr);
    // Without a program it changes nothing.
    s->flags |= SimFlag::Lds;
    s->ldsRamp = 0;
    guiNavStartProgram(4, 0);
    EXPECT_TRUE(s->flags & SimFlag::Lds);
}

TEST_F(NavStation, TheSelectorNeverReachesMatchVelocity) {
    for (int i = 0; i < 20; ++i) {
        guiNavNextProgram(nullptr);
        EXPECT_LT(guiNavSelectedProgram, 8);
    }
    guiNavSelectedProgram = 7;
    guiNavNextProgram(nullptr);
    EXPECT_EQ(guiNavSelectedProgram, 0);
}

TEST_F(NavStation, DetachTakesTwoPresses) {
    button.helpIndex = 62;
    guiNavDetachButton = &button;
    // Not allowed in the drive, nor without the mission's permission.
    s->flags |= SimFlag::Lds;
    guiNavDetachCommandSection(&button);
    EXPECT_EQ(button.helpIndex, 62);
    EXPECT_TRUE(button.flags & GuiFlag::NoHelpOnce);
    s->flags &= ~SimFlag::Lds;
    guiNavDetachAllowed = 0;
    guiNavDetachCommandSection(nullptr);
    EXPECT_EQ(button.helpIndex, 62);
    guiNavDetachAllowed = 0xFF;
    // The first press (here the key's) arms it, the second detaches.
    guiNavDetachCommandSection(nullptr);
    EXPECT_EQ(button.helpIndex, 55);
    guiNavDetachCommandSection(&button);
    EXPECT_EQ(button.helpIndex, 62);
    guiNavDetachButton = nullptr;
}

TEST_F(NavStation, LateralThrustersAndTheDistance) {
    const struct {
        int direction;
        float x, y;
    } cases[] = {{0, 0, -100}, {1, 0, 100}, {2, -100, 0}, {3, 100, 0}};
    for (const auto &c : cases) {
        s->thrust = {};
        guiNavLateral(c.direction, true);
        EXPECT_EQ(s->thrust.x, c.x);
        EXPECT_EQ(s->thrust.y, c.y);
        EXPECT_TRUE(s->flags & SimFlag::NoDriftDamping);
        guiNavLateral(c.direction, false);
        EXPECT_EQ(s->thrust.x, 0.0f);
        EXPECT_EQ(s->thrust.y, 0.0f);
        EXPECT_FALSE(s->flags & SimFlag::NoDriftDamping);
    }
    guiNavDistance(1000);
    EXPECT_EQ(guiNavAutopilotDistance, 81000.0f);
    for (int i = 0; i < 100; ++i) guiNavDistance(-1000);
    EXPECT_EQ(guiNavAutopilotDistance, 0.0f);
}

TEST_F(NavStation, UndockOnlyWhenDockedAndFree) {
    // Not docked: nothing happens.
    guiNavUndock(&button);
    EXPECT_TRUE(button.flags & GuiFlag::NoHelpOnce);
    SceneItem *station = Ship();
    DockingPort *p = dunAddDockingPort(station, PortFlag::Open, 16, 0, 0, 0, 0, 0, 10, 0);
    DockingPort *q = dunAddDockingPort(ship, PortFlag::Open, 16, 0, 0, 0, 0, 0, 10, 0);
    ASSERT_EQ(dunDockShips(station, ship, p, q, 0), 0xFF);
    s->setSpeed = 3000.0f;
    // A docking by contact locks the undock command (and the stations, and
    // the mission now ends as in director mode) until the mission's end.
    guiSetDockedFlags();
    EXPECT_NE(guiStationLock, 0);
    EXPECT_TRUE(guiDirectorMode());
    guiNavUndock(nullptr);
    EXPECT_NE(dunGetDockedPartner(ship), nullptr);
    guiNavReset();
    guiStationLock = 0;
    EXPECT_FALSE(guiDirectorMode());
    guiNavUndock(nullptr);
    EXPECT_EQ(s->setSpeed, 0.0f);
    EXPECT_EQ(dunGetDockedPartner(ship), nullptr);
}

}  // namespace
