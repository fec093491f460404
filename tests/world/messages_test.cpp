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
    MsgRecord m;
    ASSERT_TRUE(dunMsgReceive(r, &m));
    EXPECT_EQ(m.header.type, 8);
    EXPECT_EQ(m.header.receiver, r);
    // The record stays in the buffer, marked consumed.
    EXPECT_EQ(dunMsgReadHeader(m.bytes).receiver, kMsgConsumed);
    EXPECT_FALSE(dunMsgReceive(r, &m));
    // Frames of 20 cs: due at 85, so the fifth frame (clock 100) delivers.
    int frame = 0;
    while (!dunMsgReceive(r, &m)) {
        dunMsgEndFrame();
        dunGameClock += 20;
        ++frame;
        ASSERT_LT(frame, 10);
    }
    EXPECT_EQ(frame, 5);
    EXPECT_EQ(m.header.type, 17);
    EXPECT_EQ(m.header.sender, 0x10005u);
    EXPECT_EQ(m.header.due, 85u);
    EXPECT_EQ(m.header.size, 28u);
    uint32_t out = 0;
    dunMsgCopyPayload(&m, &out);
    EXPECT_EQ(out, 0xABCDu);
}

TEST_F(MessageTest, ConsumedAndUnaddressedRecordsGoAtTheEndOfTheFrame) {
    uint32_t r = dunMsgNewReceiver();
    dunMsgPost(r, r, 0, 1, 4, "abcd");
    dunMsgPost(r, 0, 0, 2, 0, nullptr);
    dunMsgPost(r, r, 500, 3, 0, nullptr);
    MsgRecord m;
    ASSERT_TRUE(dunMsgReceive(r, &m));
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
    MsgRecord m;
    EXPECT_FALSE(dunMsgReceive(heir, &m));
    dunMsgEndFrame();
    EXPECT_EQ(dunMsgBytesUsed(), 0u);
}

TEST_F(MessageTest, UntaggedIdsReceiveNothing) {
    dunMsgNewReceiver();
    dunMsgPost(0, 0, 0, 5, 0, nullptr);
    MsgRecord m;
    EXPECT_FALSE(dunMsgReceive(0, &m));
    EXPECT_FALSE(dunMsgReceive(0xFFFFFFFF, &m));
    EXPECT_FALSE(dunMsgReceive(0x1FFFF, &m));  // tagged, but past the table
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
    MsgRecord m;
    ASSERT_TRUE(dunMsgReceive(r, &m));
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
    MsgRecord m;
    ASSERT_TRUE(dunMsgReceive(item->receiverId, &m));
    EXPECT_EQ(m.header.type, 21);
    EXPECT_FALSE(dunMsgReceive(item->receiverId, &m));
    dunGameClock = 350;
    ASSERT_TRUE(dunMsgReceive(item->receiverId, &m));
    EXPECT_EQ(m.header.type, 20);
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
    MsgRecord m;
    ASSERT_TRUE(dunMsgReceive(r, &m));
    // Fill the buffer so that the forward must compact first.
    static uint8_t big[4000];
    while (dunMsgBytesUsed() + 4024 + 28 <= kMsgBufferSize) dunMsgPost(0, 0, 0, 1, sizeof big, big);
    dunMsgPost(0, 0, 0, 1, kMsgBufferSize - dunMsgBytesUsed() - 24, big);
    ASSERT_TRUE(dunMsgPost(0, r, 0, 2, 4, dunMsgPayload(&m)));
    MsgRecord f;
    ASSERT_TRUE(dunMsgReceive(r, &f));
    EXPECT_EQ(std::memcmp(dunMsgPayload(&f), "wxyz", 4), 0);
}

TEST_F(MessageTest, RecordsLieBackToBackWhateverTheirLength) {
    // A one-byte payload takes 25 bytes, so 2621 of them fill 65525 bytes.
    uint32_t r = dunMsgNewReceiver();
    for (uint32_t i = 0; i < 2621; ++i) {
        const uint8_t b = uint8_t(i);
        ASSERT_TRUE(dunMsgPost(i, r, 0, uint16_t(i), 1, &b));
    }
    EXPECT_EQ(dunMsgBytesUsed(), 2621u * 25u);
    // Every record reads back whole, in posting order, at its odd offset.
    MsgRecord m;
    for (uint32_t i = 0; i < 2621; ++i) {
        ASSERT_TRUE(dunMsgReceive(r, &m));
        ASSERT_EQ(m.header.sender, i);
        ASSERT_EQ(m.header.type, uint16_t(i));
        ASSERT_EQ(m.header.size, 25u);
        ASSERT_EQ(dunMsgPayload(&m)[0], uint8_t(i));
    }
    dunMsgEndFrame();
    EXPECT_EQ(dunMsgBytesUsed(), 0u);
    // Full of pending records, 11 bytes are left: a 12-byte payload overflows.
    for (int i = 0; i < 2621; ++i) dunMsgPost(0, r, 0, 1, 1, "x");
    try {
        dunMsgPost(0, r, 0, 1, 12, "twelve bytes");
        FAIL();
    } catch (const FatalError &e) {
        EXPECT_STREQ(e.what(), "Message Buffer Overflow");
    }
}

TEST_F(MessageTest, PayloadFieldsReadLittleEndianAndStopAtTheEnd) {
    uint32_t r = dunMsgNewReceiver();
    const uint8_t payload[6] = {0x78, 0x56, 0x34, 0x12, 0xCD, 0xAB};
    dunMsgPost(0, r, 0, 1, sizeof payload, payload);
    MsgRecord m;
    ASSERT_TRUE(dunMsgReceive(r, &m));
    uint32_t word = 1;
    uint16_t half = 1;
    EXPECT_TRUE(dunMsgPayloadU32(&m, 0, &word));
    EXPECT_EQ(word, 0x12345678u);
    EXPECT_TRUE(dunMsgPayloadU16(&m, 4, &half));
    EXPECT_EQ(half, 0xABCD);
    EXPECT_FALSE(dunMsgPayloadU32(&m, 4, &word));
    EXPECT_EQ(word, 0u);
    EXPECT_FALSE(dunMsgPayloadU32(&m, 0xFFFFFFFE, &word));
}
