// A world test with the recording fakes and the small universe installed.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "common/universe_data.h"
#include "world/belts.h"
#include "world/universe.h"
#include "world_fakes.h"
#include "world_fixture.h"

// A world with the fakes and the small universe, the current system 1 as a
// fresh run has it.
class UniverseTest : public WorldTest {
protected:
    WorldFakes fakes;
    void SetUp() override {
        WorldTest::SetUp();
        unitest::LoadUniverse();
        dunCurrentSystem = 1;
    }
    void TearDown() override {
        dunResetWorld();
        dunForgetUniverse();
        dunCurrentSystem = 1;
    }
    // A player's ship, docked nowhere, at the origin.
    static SceneItem *Player() {
        SceneItem *p = MakeObject();
        p->sim->shipInfo = dunAllocShipInfo();
        dunPlayerShip = dunControlledObject = p;
        return p;
    }
};
