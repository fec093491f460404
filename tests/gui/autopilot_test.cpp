// The autopilot programs' orders in slot 1 of the controlled ship, their
// refusals, and the jump to the star system chosen on the map.
#include <gtest/gtest.h>

#include <cstring>

#include "ai/brain.h"
#include "core/frame.h"
#include "gui/autopilot.h"
#include "gui/gui.h"
#include "gui/nav.h"
#include "world/docking.h"
#include "world/handle.h"
#include "world/messages.h"
#include "world/mission_state.h"
#include "world/objlist.h"
#include "world/pools.h"
#include "world/records.h"
#include "world/universe.h"

namespace {

class Autopilot : public testing::Test {
protected:
    SceneItem *ship = nullptr, *target = nullptr;
    void SetUp() override {
        dunFrameCounter = 1;
        dunMsgInit();
        dunResetWorld();
        guiNavReset();
        ship = Ship();
        target = Ship();
        dunPlayerShip = dunControlledObject = ship;
        ship->sim->target = target;
        ship->sim->flags |= SimFlag::Autopilot;
        guiNavAutopilotDistance = 80000.0f;
    }
    void TearDown() override {
        dunTargetLpBody = nullptr;
        dunTargetLpStar = 0;
        gGuiSystemJumpRequest = 0;
        dunResetWorld();
    }
    static SceneItem *Ship() {
        SceneItem *o = dunCreateSceneItem();
        dunLinkSceneItem(o, 0);
        dunAttachSim(o, nullptr);
        dunAttachTDP(o);
        if (!o->avatar) o->avatar = dunAllocAvatar();
        o->sim->shipInfo = dunAllocShipInfo();
        o->sim->shipInfo->side = 1;
        return o;
    }
    const OrderSlot &Slot() const { return ship->sim->shipInfo->orders[kAutopilotSlot]; }
    bool Engaged() const { return ship->sim->flags & SimFlag::Autopilot; }
};

TEST_F(Autopilot, EachRoutineGivesItsOrder) {
    const uint32_t t = dunHandleOf(target);
    const struct {
        void (*routine)(SceneItem *);
        uint32_t targetAvatarFlags;
        const char *name;
        uint32_t state, p1, p2, p3;
    } rows[] = {
        {guiAutoStop, 0, "STOP", 68, 0, 0, 0},
        {guiAutoPursue, 0, "PURSUE", 48, 80000, 0, 0},
        {guiAutoFormate, 0, "FORMATE", 51, 80000, t, 0},
        {guiAutoEvade, 0, "EVADE", 61, 0, 0, 0},
        {guiAutoDock, 0, "DOCK", 14, t, 0, 0},
        {guiAutoApproach, 0, "APPROACH", 49, 0, t, 0},
        {guiAutoApproach, 0x1000000, "APPROACH", 18, t, 3, 0},
        {guiAutoMatchVelocity, 0, "MATCH VEL", 19, 80000, t, 0},
        {guiAutoLdaDefence, 0, "APPROACH", 29, 260, 0, 0},
        {guiAutoStopRelative, 0, "STOP REL", 69, 0, 0, 0},
        {guiAutoLdsFormate, 0, "LDS On", 73, 1500000, 0, 0},
    };
    for (const auto &r : rows) {
        target->avatar->flags = r.targetAvatarFlags;
        r.routine(ship);
        const OrderSlot &slot = Slot();
        ASSERT_NE(slot.name, nullptr);
        EXPECT_STREQ(slot.name, r.name);
        EXPECT_EQ(slot.startState, r.state) << r.name;
        EXPECT_EQ(slot.stateParams[0], r.p1) << r.name;
        EXPECT_EQ(slot.stateParams[1], r.p2) << r.name;
        EXPECT_EQ(slot.stateParams[2], r.p3) << r.name;
        EXPECT_EQ(slot.weight, kAutopilotWeight);
        EXPECT_EQ(slot.evaluation, dunai_EvalDefault);
        EXPECT_EQ(slot.params[0], 80u);
        EXPECT_EQ(ship->sim->shipInfo->currentOrder, kAutopilotSlot) << r.name;
        EXPECT_TRUE(Engaged()) << r.name;
    }
}

// The program table: APPROACH uses the one routine in normal and LDS flight,
// FORMATE and PURSUE fly in formation in the drive.
TEST_F(Autopilot, TheProgramTable) {
    EXPECT_EQ(kAutopilotTable[1].normal, guiAutoApproach);
    EXPECT_EQ(kAutopilotTable[1].lds, guiAutoApproach);
    EXPECT_EQ(kAutopilotTable[2].lds, guiAutoLdsFormate);
    EXPECT_EQ(kAutopilotTable[5].lds, guiAutoLdsFormate);
    EXPECT_EQ(kAutopilotTable[3].lds, nullptr);
}

TEST_F(Autopilot, RefusalsGiveNoOrderAndSwitchTheAutopilotOff) {
    struct Case {
        const char *what;
        void (*routine)(SceneItem *);
        void (*arrange)(SceneItem *ship, SceneItem *target);
    } cases[] = {
        {"dock without a target", guiAutoDock, [](SceneItem *s, SceneItem *) { s->sim->target = nullptr; }},
        {"dock at a live hostile", guiAutoDock,
         [](SceneItem *, SceneItem *t) { t->avatar->flags = 0x100; }},  // side 2, hostile to side 1
        {"formate on a freed target", guiAutoFormate,
         [](SceneItem *, SceneItem *t) { t->flags &= ~SceneFlag::InUse; }},
        {"match velocity with a target in the drive", guiAutoMatchVelocity,
         [](SceneItem *, SceneItem *t) { t->sim->flags |= SimFlag::Lds; }},
        {"approach without a target", guiAutoApproach, [](SceneItem *s, SceneItem *) { s->sim->target = nullptr; }},
    };
    for (const Case &c : cases) {
        SetUp();
        ship->sim->shipInfo->orders[kAutopilotSlot].name = nullptr;
        c.arrange(ship, target);
        c.routine(ship);
        EXPECT_EQ(Slot().name, nullptr) << c.what;
        EXPECT_FALSE(Engaged()) << c.what;
        TearDown();
    }
}

TEST_F(Autopilot, DockingAtHostilesOfTheDockableTypesOrDeadOnes) {
    target->avatar->flags = 0x100;
    for (uint16_t type : {1, 4, 11}) {
        target->sim->shipInfo->typeCode = type;
        ship->sim->shipInfo->orders[kAutopilotSlot].name = nullptr;
        guiAutoDock(ship);
        EXPECT_STREQ(Slot().name, "DOCK") << type;
    }
    target->sim->shipInfo->typeCode = 2;
    target->avatar->flags = 0x100 | AvatarFlag::Dead;
    guiAutoDock(ship);
    EXPECT_STREQ(Slot().name, "DOCK");
    EXPECT_TRUE(Engaged());
}

// FORMATE started in the drive gives the formation order of the drive.
TEST_F(Autopilot, FormateInTheDrive) {
    ship->sim->flags |= SimFlag::Lds;
    ship->sim->flags &= ~SimFlag::Autopilot;
    ship->sim->autopilotTarget = target;
    ASSERT_TRUE(guiNavSelectProgram(2));
    EXPECT_STREQ(Slot().name, "LDS On");
    EXPECT_EQ(Slot().startState, 73u);
    EXPECT_EQ(Slot().stateParams[0], 1500000u);
}

// The jump waits for a request with a destination, and for a ship that
// is not docking, not in a gravity well and whose capsule drive is whole;
// the map's flights end where they were going.
TEST_F(Autopilot, TheJumpIsGated) {
    static char name[] = "Relay";
    BodyRecord body{};
    body.name = name;
    dunCurrentSystem = 1;
    dunStarMap.mode = 'T';
    auto attempt = [&](bool request, bool destination, void (*arrange)(SceneItem *)) {
        dunStarMap.mode = 'T';
        gGuiSystemJumpRequest = request;
        dunTargetLpBody = destination ? &body : nullptr;
        dunTargetLpStar = destination ? 1 : 0;
        arrange(ship);
        guiGoToSelectedSystem();
        return dunStarMap.mode;
    };
    auto nothing = [](SceneItem *) {};
    EXPECT_EQ(attempt(false, true, nothing), 'T');
    EXPECT_EQ(attempt(true, false, nothing), 'T');
    EXPECT_EQ(attempt(true, true, [](SceneItem *s) { s->simulator = dunUpdateDocking; }), 'T');
    ship->simulator = nullptr;
    EXPECT_EQ(attempt(true, true, [](SceneItem *s) { s->flags |= SceneFlag::InGravityWell; }), 'T');
    ship->flags &= ~SceneFlag::InGravityWell;
    EXPECT_EQ(attempt(true, true, [](SceneItem *s) { s->sim->shipInfo->damage.mask |= 0x40; }), 'T');
    EXPECT_EQ(gGuiSystemJumpRequest, 1);
}

}  // namespace
