// The prey search, hiding and weapon-test states: the prey cursor's walk
// over the object list, the cover search, backing off and the test fire.
#include <vector>

#include "ai/states.h"
#include "ai/weapons.h"
#include "ai_fixture.h"
#include "core/frame.h"
#include "world/handle.h"
#include "world/msghandler.h"
#include "world/simplace.h"

namespace {

using ruvotest::AiShip;

constexpr uint32_t kDefault = 1, kTestPrey = 2, kChasePrey = 3, kBase = 4, kNewPrey = 5, kMoveAway = 6,
                   kHideFrom = 7, kHideAux = 8, kTesting = 9;

class Prey : public testing::Test {
protected:
    SceneItem *ship = nullptr;
    void SetUp() override {
        dunai_InitStateRegistry();
        dunFrameStep = 20;
        dunFrameSeconds = 0.2f;
        ship = Object(0, 0, 0, 500.0f);
        dunControlledObject = dunPlayerShip = nullptr;
    }
    // A ship with a root part at its position.
    static SceneItem *Object(float x, float y, float z, float radius, bool marked = true) {
        SceneItem *s = AiShip(x, y, z);
        s->avatar->flags = AvatarFlag::Ship;
        s->sim->radius = radius;
        dunSetMessageHandler(s, dunHandleMessages);
        TDP *root = dunAttachTDP(s);
        root->worldPosition = {x, y, z};
        root->radius = radius;
        if (!marked) root->flags &= ~TDPFlag::Collidable;
        return s;
    }
    static void MoveTo(SceneItem *s, float z) {
        s->sim->position.z = z;
        dunSyncFloatPosition(s->sim);
        s->avatar->root->worldPosition.z = z;
    }
    StateCommand Call(uint32_t state, int16_t step, int32_t *locals, uint32_t p1 = 0, uint32_t p2 = 0,
                      uint32_t p3 = 0) {
        StateCommand c{};
        dunai_Yield(&c, uint16_t(step));
        AiStateHandlers[state](&c, ship, step, 0.0f, locals, p1, p2, p3);
        return c;
    }
    static std::vector<SceneItem *> ListOrder() {
        std::vector<SceneItem *> out;
        SceneItem *head = dunSceneListHead();
        for (SceneItem *o = head->next; o && o != head; o = o->next) out.push_back(o);
        return out;
    }
    static int Shots() {
        int n = 0;
        for (SceneItem *o : ListOrder())
            n += (o->flags & SceneFlag::InUse) && o->avatar && (o->avatar->flags & AvatarFlag::BeamRound);
        return n;
    }
};

TEST_F(Prey, DefaultDwellsOnMarkedObjectsAndMovesOnWhenOneIsDestroyed) {
    SceneItem *unmarked = Object(0, 0, 5000, 100, false);
    SceneItem *marked = Object(0, 0, 9000, 100);
    int32_t L[5] = {};
    // An empty cursor starts at the head of the list.
    ASSERT_EQ(ship->avatar->preyCursor, nullptr);
    StateCommand c = Call(kDefault, 0, L);
    EXPECT_EQ(c.step, 2);
    Call(kDefault, 2, L);
    EXPECT_EQ(ship->avatar->preyCursor, ListOrder().front());
    // An unmarked object is passed over.
    ship->avatar->preyCursor = unmarked;
    EXPECT_EQ(Call(kDefault, 1, L).step, 2);
    // A marked one holds the ship for 100 frames.
    ship->avatar->preyCursor = marked;
    c = Call(kDefault, 1, L);
    EXPECT_EQ(c.step, 3);
    EXPECT_EQ(L[0], 100);
    EXPECT_EQ(Call(kDefault, 3, L).step, 3);
    // Destroyed: the next step-3 entry moves on, and the walk starts over
    // from a list that no longer holds it.
    dunDeleteSceneItem(marked);
    EXPECT_EQ(Call(kDefault, 3, L).step, 2);
    Call(kDefault, 2, L);
    EXPECT_NE(ship->avatar->preyCursor, marked);
    EXPECT_TRUE(dunIsInSceneList(ship->avatar->preyCursor));
    // The dwell runs out.
    ship->avatar->preyCursor = unmarked;
    L[0] = 1;
    EXPECT_EQ(Call(kDefault, 3, L).step, 2);
}

TEST_F(Prey, TheCursorWalksTheListAndWrapsWithoutTouchingIt) {
    Object(0, 0, 5000, 100);
    Object(0, 0, 9000, 100);
    const std::vector<SceneItem *> order = ListOrder();
    ship->avatar->preyCursor = order.back();
    int32_t L[5] = {};
    const StateCommand c = Call(kNewPrey, 1, L);
    EXPECT_EQ(c.command, StateCmd::Finish);
    EXPECT_FLOAT_EQ(c.result, 1.0f);
    EXPECT_EQ(ship->avatar->preyCursor, order.front());  // past the sentinel
    // A cell named by another ship's handle is that ship's cursor.
    Call(kNewPrey, 1, L, 0, dunHandleOf(order[1]));
    EXPECT_EQ(order[1]->avatar->preyCursor, order.front());
    EXPECT_EQ(ListOrder(), order);
}

// The search state, run on the stack, dwells on its prey while it lives and
// then moves on through the ship's own cell, leaving the object list's links
// as they were.
TEST_F(Prey, TheBaseStateSearchesThroughTheShipsOwnCell) {
    SceneItem *target = Object(0, 0, 20000, 300);
    SceneItem *prey = Object(0, 0, 30000, 300);
    Object(0, 0, 40000, 300, false);
    ship->sim->target = target;
    ShipInfo *info = ship->sim->shipInfo;
    // An empty cursor starts at the target.
    dunai_ResetStateStack(info, kBase, 0, 0, 0);
    dunai_RunStateStack(ship, info);
    EXPECT_EQ(ship->avatar->preyCursor, target);
    ship->avatar->preyCursor = prey;
    for (int frame = 0; frame < 30; ++frame) dunai_RunStateStack(ship, info);
    EXPECT_EQ(ship->avatar->preyCursor, prey);
    dunDeleteSceneItem(prey);
    const std::vector<SceneItem *> order = ListOrder();
    for (int frame = 0; frame < 30; ++frame) dunai_RunStateStack(ship, info);
    EXPECT_EQ(ListOrder(), order);
    EXPECT_TRUE(dunCheckSceneList());
    EXPECT_TRUE(dunIsInSceneList(ship->avatar->preyCursor));
    EXPECT_TRUE(ship->avatar->preyCursor->avatar->root->flags & TDPFlag::Collidable);
}

TEST_F(Prey, ChasePreyWaitsSevenFrames) {
    SceneItem *prey = Object(0, 0, 9000, 100);
    int32_t L[5] = {};
    struct Case {
        const char *what;
        SceneItem *cursor;
        bool destroy;
        int frames;
        float result;
    };
    const Case cases[] = {
        {"the prey stays: gives up on the seventh frame", prey, false, 7, 0.0f},
        {"the cursor is the ship itself", ship, false, 1, 1.0f},
        {"the prey is destroyed", prey, true, 1, 1.0f},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.what);
        ship->avatar->preyCursor = k.cursor;
        if (k.destroy) dunDeleteSceneItem(prey);
        StateCommand c = Call(kChasePrey, 1, L);
        int frames = 1;
        while (c.command == StateCmd::Yield && frames < 20) {
            EXPECT_EQ(c.step, 2);
            c = Call(kChasePrey, 2, L);
            ++frames;
        }
        EXPECT_EQ(c.command, StateCmd::Finish);
        EXPECT_EQ(frames, k.frames);
        EXPECT_FLOAT_EQ(c.result, k.result);
    }
}

TEST_F(Prey, TestPreyAdvancesUntilAMarkedObject) {
    SceneItem *unmarked = Object(0, 0, 5000, 100, false);
    ship->avatar->preyCursor = unmarked;
    int32_t L[5] = {};
    StateCommand c = Call(kTestPrey, 1, L);
    EXPECT_EQ(c.command, StateCmd::Push);
    EXPECT_EQ(c.state, kNewPrey);
    ship->avatar->preyCursor = ship;
    c = Call(kTestPrey, 1, L);
    EXPECT_EQ(c.command, StateCmd::Finish);
    EXPECT_FLOAT_EQ(c.result, 1.0f);
}

TEST_F(Prey, HideFromPushesOnlyForCoverOtherThanTheThreat) {
    SceneItem *threat = Object(0, 0, 50000, 1000);
    const uint32_t threatPart = dunHandleOf(threat->avatar->root);
    int32_t L[5] = {};
    // Only the threat is marked nearby: no push.
    StateCommand c = Call(kHideFrom, 1, L, threatPart);
    EXPECT_EQ(c.command, StateCmd::Yield);
    EXPECT_EQ(c.step, 1);
    // The ship's own parts are no cover.
    TDP *own = dunAddChildTDP(ship->avatar->root, nullptr, 0, 0, 0);
    own->worldPosition = {0, 0, 2000};
    EXPECT_EQ(Call(kHideFrom, 1, L, threatPart).command, StateCmd::Yield);
    // A rock nearer than the threat is.
    SceneItem *rock = Object(0, 0, 20000, 2000);
    c = Call(kHideFrom, 1, L, threatPart);
    EXPECT_EQ(c.command, StateCmd::PushBranchAbove);
    EXPECT_EQ(c.state, kHideAux);
    EXPECT_EQ(c.params[0], threatPart);
    EXPECT_EQ(c.params[1], dunHandleOf(rock->avatar->root));
    EXPECT_EQ(c.threshold, 500);
    EXPECT_EQ(c.altStep, 2);
    // No threat part at all.
    c = Call(kHideFrom, 1, L, 0);
    EXPECT_EQ(c.command, StateCmd::Finish);
    EXPECT_FLOAT_EQ(c.result, 0.0f);
    EXPECT_EQ(Call(kHideAux, 1, L, 0, dunHandleOf(rock->avatar->root)).command, StateCmd::Finish);
}

TEST_F(Prey, HideAuxBacksOffWhenTooCloseAndFinishesAtTheHidePoint) {
    SceneItem *threat = Object(0, 0, -50000, 1000);
    SceneItem *rock = Object(0, 0, 20000, 2000);
    const uint32_t X = dunHandleOf(threat->avatar->root), C = dunHandleOf(rock->avatar->root);
    int32_t L[5] = {};
    // s = 4 x 2000 + 500 = 8500: the hide point is 28500 along the threat's line.
    StateCommand c = Call(kHideAux, 1, L, X, C);
    EXPECT_EQ(c.command, StateCmd::Yield);
    MoveTo(ship, 28400);
    c = Call(kHideAux, 1, L, X, C);
    EXPECT_EQ(c.command, StateCmd::Finish);
    EXPECT_FLOAT_EQ(c.result, 1.0f);
    MoveTo(ship, 22000);  // inside s/2 of the cover
    c = Call(kHideAux, 1, L, X, C);
    EXPECT_EQ(c.command, StateCmd::Push);
    EXPECT_EQ(c.state, kMoveAway);
    EXPECT_EQ(c.params[0], C);
}

TEST_F(Prey, MoveAwayDistances) {
    SceneItem *rock = Object(0, 0, 0, 100);
    MoveTo(ship, 30000);
    const uint32_t P = dunHandleOf(rock->avatar->root);
    int32_t L[5] = {};
    StateCommand c = Call(kMoveAway, 1, L, P);
    EXPECT_EQ(c.step, 2);
    EXPECT_EQ(L[0], 15000);
    EXPECT_EQ(L[1], 30000);
    EXPECT_EQ(L[2], 60000);
    struct Case {
        float z;
        int16_t command;
        float result;
    };
    const Case cases[] = {{30000, StateCmd::Yield, 0}, {60000, StateCmd::Yield, 0}, {60001.5f, StateCmd::Finish, 1},
                          {15000, StateCmd::Yield, 0}, {14999, StateCmd::Finish, 0}};
    for (const Case &k : cases) {
        SCOPED_TRACE(k.z);
        MoveTo(ship, k.z);
        c = Call(kMoveAway, 2, L, P);
        EXPECT_EQ(c.command, k.command);
        if (k.command == StateCmd::Finish) {
            EXPECT_FLOAT_EQ(c.result, k.result);
        }
    }
    // It flies on away from the part (the point lies ahead of a ship whose
    // nose points away), not back towards it.
    MoveTo(ship, 30000);
    Call(kMoveAway, 2, L, P);
    EXPECT_GT(ship->sim->thrust.z, 0.0f);
    // The part is gone.
    dunDeleteSceneItem(rock);
    EXPECT_EQ(Call(kMoveAway, 2, L, P).command, StateCmd::Finish);
}

TEST_F(Prey, TestingStateFiresOnlyInArcAndAfterItsCountdown) {
    SceneItem *foe = Object(0, 0, 20000, 500);
    ship->sim->target = foe;
    Weapon *w = dunCreatePBC(ship, 0, 0, 0, "PBC", 1);
    w->range = 1e7f;
    int32_t L[5] = {};
    // Ahead, in arc: one shot, the countdown restarts.
    StateCommand c = Call(kTesting, 2, L);
    EXPECT_EQ(Shots(), 1);
    EXPECT_EQ(ship->avatar->planetSeed, 29);
    EXPECT_EQ(c.step, 1);
    w->reloadTimer = 0;
    Call(kTesting, 2, L);
    EXPECT_EQ(Shots(), 1);
    EXPECT_EQ(ship->avatar->planetSeed, 28);
    // Behind, out of arc: no shot even with the countdown run out.
    ship->avatar->planetSeed = 0;
    MoveTo(foe, -20000);
    c = Call(kTesting, 2, L);
    EXPECT_EQ(Shots(), 1);
    EXPECT_EQ(c.step, 2);
    // Aligning: facing the target yields at 2, away from it at 1.
    EXPECT_EQ(Call(kTesting, 1, L).step, 1);
    MoveTo(foe, 20000);
    EXPECT_EQ(Call(kTesting, 1, L).step, 2);
}

}  // namespace
