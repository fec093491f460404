#include "world/handle.h"
#include "world_fixture.h"

class HandleTest : public WorldTest {};

TEST_F(HandleTest, AStaleHandleResolvesToNull) {
    SceneItem *a = MakeObject();
    DunHandle h = dunHandleOf(a);
    ASSERT_NE(h, kNoHandle);
    EXPECT_EQ(dunItemFromHandle(h), a);
    EXPECT_EQ(dunNodeFromHandle(h), nullptr);  // another pool's kind
    dunDeleteSceneItem(a);
    EXPECT_EQ(dunItemFromHandle(h), nullptr);  // released
    // The record handed out again is a different object.
    ++dunFrameCounter;
    SceneItem *again = nullptr;
    for (int i = 0; i < kMaxSceneItems && again != a; ++i) again = dunAllocSceneItem();
    ASSERT_EQ(again, a);
    EXPECT_EQ(dunItemFromHandle(h), nullptr);
    EXPECT_EQ(dunItemFromHandle(dunHandleOf(again)), again);
    EXPECT_EQ(dunItemFromHandle(kNoHandle), nullptr);
}

TEST_F(HandleTest, HandlesDoNotSurviveTheWorldReset) {
    SceneItem *a = MakeObject();
    TDP *root = a->avatar->root;
    DunHandle h = dunHandleOf(root);
    EXPECT_EQ(dunNodeFromHandle(h), root);
    dunResetWorld();
    EXPECT_EQ(dunNodeFromHandle(h), nullptr);
    TDP *node = nullptr;
    for (int i = 0; i < kMaxTDPs && node != root; ++i) node = dunAllocTDP();
    ASSERT_EQ(node, root);
    EXPECT_EQ(dunNodeFromHandle(h), nullptr);
}

TEST_F(HandleTest, RoutinesHaveIdsOfTheirOwn) {
    DunHandle h = dunRoutineHandle(reinterpret_cast<AnyRoutine>(&dunStampSim));
    EXPECT_EQ(dunRoutineHandle(reinterpret_cast<AnyRoutine>(&dunStampSim)), h);
    EXPECT_EQ(dunRoutineFromHandle(h), reinterpret_cast<AnyRoutine>(&dunStampSim));
    EXPECT_EQ(dunRoutineFromHandle(h + 100), nullptr);
    EXPECT_EQ(dunItemFromHandle(h), nullptr);
}

TEST_F(HandleTest, PayloadObjectsResolveOnlyWhileTheyLive) {
    SceneItem *ship = MakeObject();
    SceneItem *goal = MakeObject();
    dunSetMessageHandler(ship, nullptr);
    uint32_t payload[12] = {};
    payload[11] = dunHandleOf(goal);  // the attacker word at byte 44
    dunMsgPost(0, ship->receiverId, 4, 8, sizeof payload, payload);
    dunMsgPost(0, ship->receiverId, 4, 8, sizeof payload, payload);
    dunGameClock += 4;
    MsgRecord m;
    ASSERT_TRUE(dunMsgReceive(ship->receiverId, &m));
    EXPECT_EQ(dunMsgPayloadItem(&m, 44), goal);
    EXPECT_EQ(dunMsgPayloadItem(&m, 46), nullptr);  // past the payload
    dunDeleteSceneItem(goal);
    ASSERT_TRUE(dunMsgReceive(ship->receiverId, &m));
    EXPECT_EQ(dunMsgPayloadItem(&m, 44), nullptr);
}
