// Ships for the flight, drive and docking tests: a ShipInfo with its
// performance block, the ship simulator and the standard message handler.
#pragma once

#include <cstring>

#include "RES/util.h"

#include "platform/joystick.h"
#include "platform/keyboard.h"
#include "world/flight.h"
#include "world/msghandler.h"
#include "collision_fixture.h"

class FlightTest : public CollisionTest {
protected:
    void SetUp() override {
        CollisionTest::SetUp();
        std::memset(KeyDownTable, 0, sizeof KeyDownTable);
        std::memset(dunPrevKeyTable, 0, sizeof dunPrevKeyTable);
        JoystickButtons = JoystickButtonsPrevious = 0;
        JoystickPresent = 0;
        dunStickX = dunStickY = dunTwist = 0.0f;
        dunHatBits = 0;
        dunInfMode = 0;
        dunTimeScale = 1.0f;
        dunSeedRand15(1);
    }
    void TearDown() override {
        std::memset(KeyDownTable, 0, sizeof KeyDownTable);
        std::memset(dunPrevKeyTable, 0, sizeof dunPrevKeyTable);
        JoystickButtons = JoystickButtonsPrevious = 0;
    }

    // A ship at a position with the sample mission's engine figures unless
    // others are given: thrust 7000, turn rates 90, top speed 700 x 100.
    static SceneItem *Ship(double x = 0, double y = 0, double z = 0, uint32_t p3 = 0, uint32_t p4 = 0,
                           float thrust = 7000.0f, float turn = 90.0f) {
        SceneItem *it = MakeObject();
        dunSetMessageHandler(it, dunHandleMessages);
        it->simulator = dunFlyShip;
        ShipInfo *info = it->sim->shipInfo = dunAllocShipInfo();
        dunInitFlightParams(&info->current, thrust, 500.0f, p3, p4, turn, turn, turn, 700.0f);
        info->nominal = info->current;
        it->sim->flight = &info->current;
        it->sim->mass = 1000.0f;
        it->sim->radius = 100.0f;
        it->avatar->root->radius = 100.0f;
        Place(it, x, y, z);
        return it;
    }
    // The player's ship under the player's control.
    static SceneItem *PlayerShip(double x = 0, double y = 0, double z = 0) {
        SceneItem *it = Ship(x, y, z);
        it->control = dunControlPlayer;
        dunPlayerShip = it;
        dunControlledObject = it;
        return it;
    }
    // One frame of the world: the step, then the key tables move on as the
    // game frame moves them.
    static void Frame() {
        dunSimulationStep();
        dunGameClock += uint32_t(dunFrameStep);
        std::memcpy(dunPrevKeyTable, KeyDownTable, sizeof dunPrevKeyTable);
        JoystickButtonsPrevious = JoystickButtons;
    }
    static Vec3 Forward(const SceneItem *it) {
        return {it->sim->matrix.m[8], it->sim->matrix.m[9], it->sim->matrix.m[10]};
    }
};
