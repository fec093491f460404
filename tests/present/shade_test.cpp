// The index shade table: entries of the plain, standard, special and glow
// layouts at sampled places, and one table rewritten in place.
#include <gtest/gtest.h>

#include "core/options.h"
#include "present/lwo/shade.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"

namespace {

class ShadeTable : public testing::Test {
protected:
    void SetUp() override {
        ResetOptions();
        P3DForgetShadeTable();
        ASSERT_EQ(VtBeginAll(), VT_E_OK);
    }
    void TearDown() override {
        P3DForgetShadeTable();
        VtEndAll();
    }
    static int At(int row, int column) {
        const vt_pixelmap *t = P3DShadeTable();
        return static_cast<const uint8_t *>(t->pixels)[row * t->row_bytes + column];
    }
};

struct Entry {
    int tint, strength, row, column, want;
};

TEST_F(ShadeTable, LayoutsGiveTheirEntries) {
    const Entry cases[] = {
        // Plain: column 100 lies in the ramp from 80, 20 up it, 11 below its top.
        {0, 0, 0, 100, 80},
        {0, 0, 32, 100, 100},
        {0, 0, 63, 100, 110},
        {0, 0, 10, 5, 5},
        {0, 0, 60, 250, 250},
        {0, 0, 40, 242, 242},
        // Standard: the tint rows lean towards ramp 48; row 36 is the texel itself.
        {48, 14, 0, 100, 56},
        {48, 14, 36, 100, 100},
        {48, 14, 3, 0, 0},
        {48, 14, 50, 255, 255},
        {48, 14, 0, 242, 48 + 8 * 20 * 14 / 256},
        // The sky's ramp is shown through the star ramp: row 8 its foot, row
        // 20 a little up, row 50 coming back down.
        {48, 14, 8, 180, 16},
        {48, 14, 20, 180, 17},
        {48, 14, 50, 180, 31},
        // Glow entries: below row 28 they climb the 48 ramp, then the glows.
        {48, 14, 8, 240, 48},
        {48, 14, 36, 244, 244},
        // The special tint: glow entries step through their list.
        {-1, 8, 0, 240, 54},
        {-1, 8, 0, 244, 244},
        {-1, 8, 7, 240, 48},
        {-1, 8, 0, 100, 80 + 8 * 20 * 8 / 256},
        {-1, 8, 36, 100, 68},
    };
    for (const Entry &e : cases) {
        P3DMakeShadeTable(e.tint, e.strength);
        EXPECT_EQ(At(e.row, e.column), e.want) << "tint " << e.tint << " row " << e.row << " column " << e.column;
    }
}

TEST_F(ShadeTable, GlowLayoutCentresOnIndex192) {
    P3DMakeGlowShadeTable();
    for (int c : {0, 15, 245, 255}) EXPECT_EQ(At(30, c), 192) << c;
    EXPECT_EQ(At(4, 100), 192) << "rows up to 4 are the centre";
    EXPECT_EQ(At(20, 16), 256 - 72) << "the foot of a ramp falls below the centre";
    EXPECT_EQ(At(20, 47), 256 - 57) << "its top rises above it";
    EXPECT_EQ(At(0, 240), 48);
    EXPECT_EQ(At(63, 244), 48 + 4 + 35 * 1 / 28);
}

TEST_F(ShadeTable, TheTableIsMadeOnceAndRewrittenInPlace) {
    EXPECT_EQ(P3DShadeTable(), nullptr);
    P3DMakeShadeTable(48, 14);
    vt_pixelmap *first = P3DShadeTable();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->type, VT_PMT_INDEX_8);
    EXPECT_EQ(first->width, 256);
    EXPECT_EQ(first->height, 64);
    EXPECT_EQ(VtMapFind(first->identifier), first) << "registered as a map";
    P3DMakeGlowShadeTable();
    EXPECT_EQ(P3DShadeTable(), first);
    EXPECT_EQ(At(30, 0), 192);
    P3DMakeShadeTable(0, 0);
    EXPECT_EQ(P3DShadeTable(), first);
    EXPECT_EQ(At(30, 0), 0);
}

TEST_F(ShadeTable, TheNoFillSwitchKeepsThePlainLayout) {
    optNoFill = 0xFF;
    P3DMakeShadeTable(48, 14);
    EXPECT_EQ(At(0, 100), 80);
    EXPECT_EQ(At(63, 100), 110);
}

}  // namespace
