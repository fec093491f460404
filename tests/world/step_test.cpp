#include <cmath>
#include <string>
#include <vector>

#include "ai/contacts.h"
#include "world/step.h"
#include "world_fakes.h"
#include "world_fixture.h"

namespace {

std::vector<std::string> trace;

std::string Name(const SceneItem *item) { return std::string(1, char('A' + item->controlScratch)); }

void RecHandler(SceneItem *it) { trace.push_back("msg " + Name(it)); }
void RecControl(SceneItem *it) { trace.push_back("ctl " + Name(it)); }
void RecSim(SceneItem *it) { trace.push_back("sim " + Name(it)); }
void RecModel(SceneItem *it) { trace.push_back("mdl " + Name(it)); }
void RecMark(const char *mark) { trace.push_back(mark); }

using Trace = std::vector<std::string>;

}  // namespace

class StepTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        trace.clear();
        dunStepMarkObserver = RecMark;
    }

    // A recording object; its scratch word is its letter.
    static SceneItem *Recorder(int letter, uint32_t flags = 0) {
        SceneItem *it = MakeObject(flags);
        it->controlScratch = uint32_t(letter);
        it->messageHandler = RecHandler;
        it->control = RecControl;
        it->simulator = RecSim;
        it->avatar->modelUpdate = RecModel;
        return it;
    }
};

TEST_F(StepTest, PhasesRunInOrderWithTheirMarks) {
    Recorder(0);
    Recorder(1, SceneFlag::LateControl);  // its control routine runs after every simulator
    Recorder(2);
    dunSimulationStep();
    const Trace expected = {"COLLISIONS", "msg A", "msg B",      "msg C", "ctl A", "ctl C",
                            "CONTROL",    "sim A", "sim B",      "sim C", "SIMULATION",
                            // model updates (not the late object), then late control and
                            // the second model update of every object
                            "mdl A", "mdl C", "mdl A", "ctl B", "mdl B", "mdl C", "MESSAGES"};
    EXPECT_EQ(trace, expected);
}

TEST_F(StepTest, NoCollisionSkipsHandlersAndControl) {
    Recorder(0);
    dunNoCollision = 1;
    dunSimulationStep();
    EXPECT_EQ(trace, (Trace{"sim A", "SIMULATION", "mdl A", "mdl A", "MESSAGES"}));
}

TEST_F(StepTest, FrozenWorldMovesOnlyTheControlledObjectWhenAsked) {
    struct Case {
        bool keepMoving;
        bool optionsShown;
        bool controlledRuns;
    };
    const Case cases[] = {{true, false, true}, {false, false, false}, {true, true, false}};
    WorldFakes screens;
    for (const Case &c : cases) {
        dunResetWorld();
        trace.clear();
        Recorder(0);
        dunControlledObject = Recorder(1);
        dunFrozen = 1;
        dunKeepControlledMoving = c.keepMoving;
        screens.optionsScreenShown = c.optionsShown;
        dunRunMessageHandlers();
        dunRunControlRoutines();
        dunRunSimulators();
        dunRunModelUpdates();
        const Trace expected = c.controlledRuns ? Trace{"ctl B", "sim B", "mdl B"} : Trace{};
        EXPECT_EQ(trace, expected) << c.keepMoving << " " << c.optionsShown;
    }
}

TEST_F(StepTest, HoldsStopEveryObjectRoutine) {
    Recorder(0);
    dunHoldB = 1;
    dunRunControlRoutines();
    dunRunSimulators();
    dunRunModelUpdates();
    EXPECT_TRUE(trace.empty());
}

TEST_F(StepTest, DockedSlowerObjectBorrowsThePartnersFlightForItsCallsOnly) {
    static FlightParams *seen;
    SceneItem *host = MakeObject();
    SceneItem *boat = MakeObject();
    FlightParams own{}, hosts{};
    host->sim->flight = &hosts;
    host->sim->speed = 500.0f;
    boat->sim->flight = &own;
    boat->sim->speed = 100.0f;
    boat->sim->shipInfo = dunAllocShipInfo();
    DockingPort port{};
    port.flags = PortFlag::Docked;
    port.partner = host;
    boat->sim->shipInfo->ports = &port;
    boat->control = [](SceneItem *it) { seen = it->sim->flight; };
    dunRunControlRoutines();
    EXPECT_EQ(seen, &hosts);
    EXPECT_EQ(boat->sim->flight, &own);
    boat->sim->speed = 900.0f;
    dunRunControlRoutines();
    EXPECT_EQ(seen, &own);
}

TEST_F(StepTest, SimTimerCountsDownWhilePositive) {
    SceneItem *a = MakeObject();
    a->sim->timer = 25;
    dunFrameStep = 10;
    for (int i = 0; i < 3; ++i) dunRunControlRoutines();
    EXPECT_EQ(a->sim->timer, -5);
    dunRunControlRoutines();
    EXPECT_EQ(a->sim->timer, -5);
}

TEST_F(StepTest, SimulatorsKeepThePreviousMatrixAndCountObjects) {
    SceneItem *a = MakeObject();
    a->sim->matrix.m[12] = 42.0f;
    a->simulator = [](SceneItem *it) { it->sim->matrix.m[12] = 7.0f; };
    MakeObject();
    dunRunSimulators();
    EXPECT_EQ(a->sim->previous.m[12], 42.0f);
    EXPECT_EQ(a->sim->matrix.m[12], 7.0f);
    EXPECT_EQ(dunSimulatedCount, 2);
}

TEST_F(StepTest, FrameStepIsRestoredAfterTheStep) {
    SceneItem *a = MakeObject();
    a->simulator = [](SceneItem *) {
        dunFrameStep = 999;
        dunFrameSeconds = 9.99f;
    };
    dunFrameStep = 20;
    dunFrameSeconds = 0.2f;
    dunSimulationStep();
    EXPECT_EQ(dunFrameStep, 20);
    EXPECT_EQ(dunFrameSeconds, 0.2f);
}

TEST_F(StepTest, HandlersTakeDelayedMessagesInTheRightFrame) {
    static int arrivedAt;
    arrivedAt = -1;
    SceneItem *a = MakeObject();
    dunSetMessageHandler(a, [](SceneItem *it) {
        MsgRecord m;
        while (dunMsgReceive(it->receiverId, &m))
            if (m.header.type == 17) arrivedAt = int(dunGameClock);
    });
    dunMsgPost(a->receiverId, a->receiverId, 85, 17, 0, nullptr);
    for (int frame = 0; frame < 10; ++frame) {
        dunSimulationStep();
        dunGameClock += 20;
    }
    EXPECT_EQ(arrivedAt, 100);
}

TEST_F(StepTest, ChannelsMoveTurnScaleAndHideNodes) {
    SceneItem *a = MakeObject();
    TDP *n = a->avatar->root;
    dunFrameSeconds = 0.1f;
    a->avatar->channelValues[0] = 10;  // 10 x 15 x 0.1 = 15
    struct Case {
        uint8_t kind;
        float m12, m5, m6;
    };
    const Case cases[] = {{3, 15, 1, 0}, {4, 0, 1, 0}, {7, 0, 1, 0}, {12, 0, std::cos(15 * 3.1415926f / 180),
                                                                        std::sin(15 * 3.1415926f / 180)}};
    for (const Case &c : cases) {
        n->channels = nullptr;
        dunAddNodeChannel(n, c.kind, 0);
        dunAnimateTree(a->avatar, n);
        EXPECT_NEAR(n->local.m[12], c.m12, 1e-5) << int(c.kind);
        EXPECT_NEAR(n->local.m[5], c.m5, 1e-5) << int(c.kind);
        EXPECT_NEAR(n->local.m[6], c.m6, 1e-5) << int(c.kind);
        free(n->channels);
    }
    n->channels = nullptr;
    dunAddNodeChannel(n, 7, 0);  // scale X by 15 percent
    dunAnimateTree(a->avatar, n);
    EXPECT_NEAR(n->local.m[0], 0.15f, 1e-6);
    free(n->channels);
    n->channels = nullptr;

    dunAddNodeChannel(n, 14, 1);
    a->avatar->channelValues[1] = 1;
    dunAnimateTree(a->avatar, n);
    EXPECT_TRUE(n->flags & TDPFlag::Hidden);
    a->avatar->channelValues[1] = 0;
    dunAnimateTree(a->avatar, n);
    EXPECT_FALSE(n->flags & TDPFlag::Hidden);
    free(n->channels);
    n->channels = nullptr;

    // Reversed nodes apply the value negated; a channel index past the
    // value array reads 0.
    n->flags |= TDPFlag::ReversedAnimation;
    dunAddNodeChannel(n, 3, 0);
    dunAddNodeChannel(n, 4, 200);
    dunAnimateTree(a->avatar, n);
    EXPECT_NEAR(n->local.m[12], -15.0f, 1e-5);
    EXPECT_EQ(n->local.m[13], 0.0f);
}

TEST_F(StepTest, AimChannelLooksAtTheGoalAndKeepsItsAimWithoutOne) {
    SceneItem *turret = MakeObject();
    SceneItem *goal = MakeObject();
    TDP *n = turret->avatar->root;
    turret->avatar->objectA = turret;
    dunAddNodeChannel(n, 23, 0);
    n->local.m[0] = 3.0f;  // a recognisable saved matrix
    dunAnimateTree(turret->avatar, n);
    EXPECT_EQ(n->local.m[0], 3.0f);  // no goal: saved matrix restored

    turret->sim->goal = goal;
    goal->sim->position = {0.0, 0.0, 0.0};  // on top of the aim object: no direction
    dunAnimateTree(turret->avatar, n);
    EXPECT_EQ(n->local.m[0], 3.0f);
    EXPECT_FALSE(std::isnan(n->local.m[10]));

    goal->sim->position = {100.0, 0.0, 0.0};
    dunAnimateTree(turret->avatar, n);
    EXPECT_NEAR(n->local.m[8], 1.0f, 1e-6);  // the Z row looks along +X
}

TEST_F(StepTest, ThreatBeepFollowsTheNearestThreat) {
    SceneItem *enemy = MakeObject();
    dunNearestThreats[0] = {enemy, 50000.0f};
    dunBeepTimer = 0;
    dunFrameStep = 20;
    dunPostSimulationStep();
    EXPECT_EQ(dunBeepTimer, 500);
    dunPostSimulationStep();
    EXPECT_EQ(dunBeepTimer, 480);  // a shorter running timer is kept
    dunNearestThreats[0] = {enemy, 10000.0f};
    dunPostSimulationStep();
    EXPECT_EQ(dunBeepTimer, 100);
    dunNearestThreats[0] = {nullptr, 1e8f};
}

namespace {
// A short-lived round: removes itself by a message to itself.
void RoundHandler(SceneItem *it) {
    MsgRecord m;
    while (dunMsgReceive(it->receiverId, &m)) {
        if (m.header.type == 0) {
            dunDeleteSceneItem(it);
            return;
        }
    }
}
void Launcher(SceneItem *it) {
    SceneItem *round = dunCreateSceneItem();
    dunLinkSceneItem(round, SceneFlag::Appended);
    dunAttachSim(round, nullptr);
    dunAttachTDP(round);
    dunSetMessageHandler(round, RoundHandler);
    dunMsgPost(it->receiverId, round->receiverId, 30 + dunFrameCounter % 50, 0, 0, nullptr);
}
}  // namespace

TEST_F(StepTest, RoundsComeAndGoForManyFrames) {
    dunStepMarkObserver = nullptr;
    SceneItem *gun = MakeObject();
    dunSetControlRoutine(gun, Launcher);
    dunSetMessageHandler(gun, nullptr);
    for (int frame = 0; frame < 2000; ++frame) {
        ++dunFrameCounter;
        dunGameClock += 10;
        dunSimulationStep();
        ASSERT_TRUE(dunCheckSceneList());
    }
    int live = 0;
    for (const SceneItem &r : dunSceneItemPool) live += r.flags & 1;
    // One launch per frame, each living 30..79 cs: a handful of frames' worth.
    EXPECT_GT(live, 3);
    EXPECT_LT(live, 12);
    EXPECT_EQ(dunMsgReceiverCount(), live);
}
