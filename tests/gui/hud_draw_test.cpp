// The HUD's line layer and instruments.
#include <cmath>

#include "hud/draw.h"
#include "hud/hud.h"
#include "gui_fixture.h"
#include "render/pmap/pixelmap.h"

namespace guitest {
namespace {

class HudDrawTest : public GuiTest, public testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        UseCanvas(640, 480, GetParam());
        HudViewRect = {10, 10, 20, 20};
        HudPixelmap = nullptr;
        HudOwnLines = 0xFF;
        HudProjectScale = 320;
        HudFont = nullptr;  // an earlier test's mission may have left the game's font
    }
    void TearDown() override {
        HudViewRect = {0, 0, 639, 479};
        GuiTest::TearDown();
    }
    unsigned C(int index) const {
        return GetParam() == 8 ? (unsigned)index : PaletteToRgb565(CurrentPalette, (unsigned)index);
    }
};

TEST_P(HudDrawTest, ViewLinesStayInsideTheViewRectangle) {
    hudDrawViewLine(0, 15, 639, 15, 64);
    EXPECT_EQ(canvas.At(10, 15), C(64));
    EXPECT_EQ(canvas.At(20, 15), C(64));
    EXPECT_EQ(canvas.At(9, 15), 0u);
    EXPECT_EQ(canvas.At(21, 15), 0u);
    EXPECT_EQ(canvas.Count(C(64)), 11);
}

TEST_P(HudDrawTest, LinesInAPixelmapAreClippedToItAndPlacedByItsOrigin) {
    vt_pixelmap pm{};
    pm.base_x = 100;
    pm.base_y = 100;
    pm.width = 10;
    pm.height = 10;
    pm.origin_x = 5;
    pm.origin_y = 5;
    hudDrawLineIn(&pm, -40000, 0, 40000, 0, 97);  // clamped, then clipped
    EXPECT_EQ(canvas.At(100, 105), C(97));
    EXPECT_EQ(canvas.At(109, 105), C(97));
    EXPECT_EQ(canvas.At(110, 105), 0u);
    EXPECT_EQ(canvas.Count(C(97)), 10);
}

TEST_P(HudDrawTest, HeadingTapeTicksSitAtTheTangentOfTheirAngle) {
    HudViewRect = {0, 0, 639, 479};
    hudDrawHeadingTape(0);
    const int cx = 319;
    EXPECT_EQ(canvas.At(cx, 5), C(64));   // the tick of 0
    EXPECT_EQ(canvas.At(cx, 25), C(64));  // and its second tick
    const int x10 = cx + (int)(std::tan(10 / 57.29578) * 320);
    EXPECT_EQ(canvas.At(x10, 5), C(64));
    EXPECT_EQ(canvas.At(x10, 25), 0u);
    hudDrawHeadingTape(NAN);  // no tick from a heading that is not a number
}

INSTANTIATE_TEST_SUITE_P(Depths, HudDrawTest, testing::Values(8, 16));

TEST(HudInstruments, NumberBoxTexts) {
    struct Case {
        float value;
        const char *text;
    } const cases[] = {{123456.0f, "1.2E5"}, {-0.4f, "0"},     {0.6f, "0"},        {1.6f, "2"},
                       {-12345.0f, "-1.2E4"}, {99999.0f, "99999"}, {-9999.0f, "-9999"}, {2.5e20f, "2.5E20"}};
    for (const Case &c : cases) {
        char text[32];
        hudFormatNumber(text, sizeof text, c.value);
        EXPECT_STREQ(text, c.text) << c.value;
    }
}

TEST(HudInstruments, BearingByQuadrant) {
    struct Case {
        double a, b, degrees;
    } const cases[] = {{1, 0, 90}, {1, 1, 45}, {0, 1, 0}, {-1, 0, -90}, {-1, 1, -45}, {-1, -1, -135}, {1, -1, 135}, {0, 0, 90}};
    for (const Case &c : cases) EXPECT_NEAR(hudBearingDegrees(c.a, c.b), c.degrees, 1e-4) << c.a << "," << c.b;
}

}  // namespace
}  // namespace guitest
