#include <gtest/gtest.h>

#include <cstdint>

#include "core/bytes.h"

namespace {

const uint8_t kBytes[] = {0x01, 0x02, 0x03, 0x04, 0x05};
const ByteView kView = BytesOf(kBytes, sizeof kBytes);

TEST(Bytes, FieldsAtEveryWidthAndOrder) {
    uint8_t u8 = 0;
    uint16_t u16 = 0;
    uint32_t u32 = 0;
    int16_t i16 = 0;
    int32_t i32 = 0;
    ASSERT_TRUE(ReadU8(kView, 4, &u8));
    EXPECT_EQ(u8, 0x05);
    ASSERT_TRUE(ReadU16Le(kView, 3, &u16));
    EXPECT_EQ(u16, 0x0504);
    ASSERT_TRUE(ReadU16Be(kView, 3, &u16));
    EXPECT_EQ(u16, 0x0405);
    ASSERT_TRUE(ReadU24Be(kView, 2, &u32));
    EXPECT_EQ(u32, 0x030405u);
    ASSERT_TRUE(ReadU32Le(kView, 1, &u32));
    EXPECT_EQ(u32, 0x05040302u);
    ASSERT_TRUE(ReadU32Be(kView, 1, &u32));
    EXPECT_EQ(u32, 0x02030405u);

    const uint8_t high[] = {0xFE, 0xFF, 0xFF, 0xFF};
    ASSERT_TRUE(ReadI16Le(BytesOf(high, 4), 0, &i16));
    EXPECT_EQ(i16, -2);
    ASSERT_TRUE(ReadI32Le(BytesOf(high, 4), 0, &i32));
    EXPECT_EQ(i32, -2);
    ASSERT_TRUE(ReadU32Le(BytesOf(high, 4), 0, &u32));
    EXPECT_EQ(u32, 0xFFFFFFFEu);  // the top byte does not sign-extend
}

// A read that does not fit fails and leaves its result as it was, even at
// offsets that would wrap a size_t sum.
TEST(Bytes, ReadsPastTheEndFailAndLeaveTheResult) {
    struct Case {
        size_t at;
        int width;
    } cases[] = {{5, 1}, {4, 2}, {3, 3}, {2, 4}, {SIZE_MAX, 1}, {SIZE_MAX - 1, 4}, {6, 2}};
    for (const Case &c : cases) {
        uint8_t u8 = 7;
        uint16_t u16 = 7;
        uint32_t u32 = 7;
        bool ok = true;
        switch (c.width) {
        case 1: ok = ReadU8(kView, c.at, &u8); break;
        case 2: ok = ReadU16Le(kView, c.at, &u16) || ReadU16Be(kView, c.at, &u16); break;
        case 3: ok = ReadU24Be(kView, c.at, &u32); break;
        case 4: ok = ReadU32Le(kView, c.at, &u32) || ReadU32Be(kView, c.at, &u32); break;
        }
        EXPECT_FALSE(ok) << c.at << " width " << c.width;
        EXPECT_EQ(u8, 7);
        EXPECT_EQ(u16, 7);
        EXPECT_EQ(u32, 7u);
    }
    uint8_t u8;
    EXPECT_FALSE(ReadU8(ByteView{}, 0, &u8));
    EXPECT_FALSE(ReadU8(BytesOf(nullptr, 10), 0, &u8));  // no data is no bytes
}

TEST(Bytes, SubViewsStayInsideTheirParent) {
    ByteView sub;
    ASSERT_TRUE(BytesSub(kView, 1, 3, &sub));
    uint16_t u16;
    ASSERT_TRUE(ReadU16Le(sub, 1, &u16));
    EXPECT_EQ(u16, 0x0403);
    EXPECT_FALSE(ReadU16Le(sub, 2, &u16));  // the parent's byte 4 is not the sub-view's
    EXPECT_FALSE(BytesSub(kView, 3, 3, &sub));
    EXPECT_FALSE(BytesSub(kView, SIZE_MAX, 2, &sub));
    ASSERT_TRUE(BytesSub(kView, 5, 0, &sub));
    EXPECT_EQ(sub.size, 0u);

    EXPECT_EQ(BytesFrom(kView, 2).size, 3u);
    EXPECT_EQ(BytesFrom(kView, 9).size, 0u);
    ASSERT_TRUE(BytesTail(kView, 2, &sub));
    EXPECT_EQ(sub.data[0], 0x04);
    EXPECT_FALSE(BytesTail(kView, 6, &sub));

    uint8_t copy[2] = {};
    EXPECT_TRUE(BytesCopy(kView, 3, copy, 2));
    EXPECT_EQ(copy[1], 0x05);
    EXPECT_FALSE(BytesCopy(kView, 4, copy, 2));
    EXPECT_TRUE(BytesMatch(BytesOf("FORM", 4), 0, "FORM", 4));
    EXPECT_FALSE(BytesMatch(BytesOf("FOR", 3), 0, "FORM", 4));
}

TEST(Bytes, WritersMatchTheReaders) {
    uint8_t block[8] = {};
    PutU16Le(block, 0, 0xBEEF);
    PutU32Le(block, 2, 0x12345678);
    PutU16Be(block, 6, 0xCAFE);
    ByteView v = BytesOf(block, sizeof block);
    uint16_t u16;
    uint32_t u32;
    ASSERT_TRUE(ReadU16Le(v, 0, &u16));
    EXPECT_EQ(u16, 0xBEEF);
    ASSERT_TRUE(ReadU32Le(v, 2, &u32));
    EXPECT_EQ(u32, 0x12345678u);
    ASSERT_TRUE(ReadU16Be(v, 6, &u16));
    EXPECT_EQ(u16, 0xCAFE);
    PutU32Be(block, 0, 0x0A0B0C0D);
    ASSERT_TRUE(ReadU32Be(v, 0, &u32));
    EXPECT_EQ(u32, 0x0A0B0C0Du);
}

}  // namespace
