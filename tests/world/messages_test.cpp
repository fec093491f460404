#include <cstring>

#include "world_fixture.h"

using ruvotest::FatalError;

class MessageTest : public WorldTest {};

TEST_F(MessageTest, ReceiverIdsTakeTheLowestFreeIndex) {
    uint32_t a = dunMsgNewReceiver();
    EXPECT_EQ(a, 0x10000u);
    EXPECT_EQ(dunMsgNewReceiver(), 0x10001u);
    dunMsgFreeReceiver(a);
    EXPECT_EQ(dunMsgNewReceiver(), 0x10000u);
    dunMsgFreeReceiver(0);  // no tag: nothing happens
    EXPECT_EQ(dunMsgReceiverCount(), 2);
    for (int i = 2; i < kMaxReceivers; ++i) dunMsgNewReceiver();
    try {
        dunMsgNewReceiver();
        FAIL();
    } catch (const FatalError &e) {
        EXPECT_STREQ(e.what(), "Exceeded max RECEIVERs");
    }
}

TEST_F(MessageTest, DelayedMessageArrivesWhenTheClockHasAdvanced) {
    uint32_t r = dunMsgNewReceiver();
    uint32_t payload = 0xABCD;
    ASSERT_TRUE(dunMsgPost(0x10005, r, 85, 17, 4, &payload));
    ASSERT_TRUE(dunMsgPost(0x10005, r, 0, 8, 0, nullptr));
    // The later message is due now and is taken before the earlier one.
    MessageHeader *m = dunMsgReceive(r);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->type, 8);
    EXPECT_EQ(m->receiver, kMsgConsumed);
    EXPECT_EQ(dunMsgReceive(r), nullptr);
    // Frames of 20 cs: due at 85, so the fifth frame (clock 100) delivers.
    int frame = 0;
    while (!(m = dunMsgReceive(r))) {
        dunMsgEndFrame();
        dunGameClock += 20;
        ++frame;
        ASSERT_LT(frame, 10);
    }
    EXPECT_EQ(frame, 5);
    EXPECT_EQ(m->type, 17);
    EXPECT_EQ(m->sender, 0x10005u);
    EXPECT_EQ(m->due, 85u);
    EXPECT_EQ(m->size, 28u);
    uint32_t out = 0;
    dunMsgCopyPayload(m, &out);
    EXPECT_EQ(out, 0xABCDu);
}

TEST_F(MessageTest, ConsumedAndUnaddressedRecordsGoAtTheEndOfTheFrame) {
    uint32_t r = dunMsgNewReceiver();
    dunMsgPost(r, r, 0, 1, 4, "abcd");
    dunMsgPost(r, 0, 0, 2, 0, nullptr);
    dunMsgPost(r, r, 500, 3, 0, nullptr);
    ASSERT_NE(dunMsgReceive(r), nullptr);
    EXPECT_EQ(dunMsgBytesUsed(), 28u + 24u + 24u);
    dunMsgEndFrame();
    EXPECT_EQ(dunMsgBytesUsed(), 24u);  // only the pending record stays
    EXPECT_EQ(dunMsgPendingCount(r), 1);
}

TEST_F(MessageTest, MessagesToAFreedReceiverNeverReachItsNextOwner) {
    uint32_t dying = dunMsgNewReceiver();
    dunMsgPost(0, dying, 0, 0, 0, nullptr);      // pending when it is freed
    dunMsgFreeReceiver(dying);
    dunMsgPost(0, dying, 4, 8, 0, nullptr);      // posted after it was freed
    uint32_t heir = dunMsgNewReceiver();
    ASSERT_EQ(heir, dying);
    dunGameClock += 10;
    EXPECT_EQ(dunMsgPendingCount(heir), 0);
    EXPECT_EQ(dunMsgReceive(heir), nullptr);
    dunMsgEndFrame();
    EXPECT_EQ(dunMsgBytesUsed(), 0u);
}

TEST_F(MessageTest, UntaggedIdsReceiveNothing) {
    dunMsgNewReceiver();
    dunMsgPost(0, 0, 0, 5, 0, nullptr);
    EXPECT_EQ(dunMsgReceive(0), nullptr);
    EXPECT_EQ(dunMsgReceive(0xFFFFFFFF), nullptr);
    EXPECT_EQ(dunMsgReceive(0x1FFFF), nullptr);  // tagged, but past the table
}

TEST_F(MessageTest, PostingCompactsAndOverflowIsFatal) {
    uint32_t r = dunMsgNewReceiver();
    static uint8_t big[4000];
    int posted = 0;
    while (dunMsgBytesUsed() + 4024 <= kMsgBufferSize) {
        dunMsgPost(0, r, 0, 1, sizeof big, big);
        ++posted;
    }
    ASSERT_EQ(posted, 16);
    // Consume one: the next post compacts it away and fits.
    ASSERT_NE(dunMsgReceive(r), nullptr);
    EXPECT_TRUE(dunMsgPost(0, r, 0, 1, sizeof big, big));
    EXPECT_EQ(dunMsgBytesUsed(), 16u * 4024u);
    // Everything pending: no room after compaction.
    try {
        dunMsgPost(0, r, 0, 1, sizeof big, big);
        FAIL();
    } catch (const FatalError &e) {
        EXPECT_STREQ(e.what(), "Message Buffer Overflow");
    }
}

TEST_F(MessageTest, PostingWhileFrozenStoresNothing) {
    uint32_t r = dunMsgNewReceiver();
    dunFrozen = 1;
    EXPECT_FALSE(dunMsgPost(0, r, 0, 1, 0, nullptr));
    EXPECT_EQ(dunMsgPostedCount(), 0u);
    EXPECT_EQ(dunMsgPendingCount(r), 0);
    EXPECT_EQ(dunMsgBytesUsed(), 0u);
}

TEST_F(MessageTest, DelayTypeKeepsOnePendingCopyAndPushesIt) {
    SceneItem *item = MakeObject();
    dunSetMessageHandler(item, nullptr);
    dunMsgPost(0, item->receiverId, 100, 20, 0, nullptr);
    dunMsgPost(0, item->receiverId, 100, 21, 0, nullptr);
    dunGameClock = 50;
    EXPECT_EQ(dunMsgDelayType(item, 300, 20), 1);
    EXPECT_EQ(dunMsgDelayType(item, 10, 20), 1);  // due 350 is already later than 60
    dunGameClock = 349;
    EXPECT_EQ(dunMsgReceive(item->receiverId)->type, 21);
    EXPECT_EQ(dunMsgReceive(item->receiverId), nullptr);
    dunGameClock = 350;
    EXPECT_EQ(dunMsgReceive(item->receiverId)->type, 20);
}

TEST_F(MessageTest, BroadcastReachesEveryShipButTheSender) {
    SceneItem *items[3];
    for (SceneItem *&it : items) {
        it = MakeObject();
        dunSetMessageHandler(it, nullptr);
        it->sim->shipInfo = dunAllocShipInfo();
    }
    SceneItem *rock = MakeObject();
    dunSetMessageHandler(rock, nullptr);
    dunMsgBroadcast(items[0]->receiverId, 0, 26, 0, nullptr);
    EXPECT_EQ(dunMsgPendingCount(items[0]->receiverId), 0);
    EXPECT_EQ(dunMsgPendingCount(items[1]->receiverId), 1);
    EXPECT_EQ(dunMsgPendingCount(items[2]->receiverId), 1);
    EXPECT_EQ(dunMsgPendingCount(rock->receiverId), 0);
}

TEST_F(MessageTest, ForwardingAPayloadFromTheBufferSurvivesCompaction) {
    uint32_t r = dunMsgNewReceiver();
    dunMsgPost(0, r, 0, 1, 4, "wxyz");
    MessageHeader *m = dunMsgReceive(r);
    // Fill the buffer so that the forward must compact first.
    static uint8_t big[4000];
    while (dunMsgBytesUsed() + 4024 + 28 <= kMsgBufferSize) dunMsgPost(0, 0, 0, 1, sizeof big, big);
    dunMsgPost(0, 0, 0, 1, kMsgBufferSize - dunMsgBytesUsed() - 24, big);
    ASSERT_TRUE(dunMsgPost(0, r, 0, 2, 4, dunMsgPayload(m)));
    MessageHeader *f = dunMsgReceive(r);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(std::memcmp(dunMsgPayload(f), "wxyz", 4), 0);
}
