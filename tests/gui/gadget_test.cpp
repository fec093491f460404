// Gadgets drawn into 8-bit and 16-bit surfaces, checked by sampled pixels.
#include <cstring>

#include "RES/picture.h"
#include "gui_fixture.h"

namespace guitest {
namespace {

class GadgetTest : public GuiTest, public testing::WithParamInterface<int> {
protected:
    BlockFont font;
    void SetUp() override {
        GuiTest::SetUp();
        UseCanvas(640, 480, GetParam());
        guiResetWindows();
        MakeRoot()->draw = nullptr;
    }
    // The pixel value a palette index shows at this depth.
    unsigned C(int index) const {
        return GetParam() == 8 ? (unsigned)index : PaletteToRgb565(CurrentPalette, (unsigned)index);
    }
    unsigned At(int x, int y) const { return canvas.At(x, y); }
    GuiWindow *Win(GuiDrawProc draw, int16_t x = 100, int16_t y = 100, int16_t w = 40, int16_t h = 30) {
        GuiWindow *win = Make(x, y, w, h, GUI_TOP_L, nullptr, draw);
        win->font = &font.handle;
        return win;
    }
    bool Untouched(int x0, int y0, int x1, int y1) const {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                if (At(x, y) != 0) return false;
        return true;
    }
};

TEST_P(GadgetTest, BoxFramesWithoutCornersInItsColourOrHighlight) {
    GuiWindow *w = Win(guiDrawBox);  // rect 100..139 x 100..129
    guiDrawBox(w);
    EXPECT_EQ(At(120, 100), C(47));
    EXPECT_EQ(At(139, 110), C(47));
    EXPECT_EQ(At(100, 100), 0u);
    EXPECT_EQ(At(139, 129), 0u);
    EXPECT_EQ(At(120, 110), 0u);
    w->colour = 5;
    guiDrawBox(w);
    EXPECT_EQ(At(120, 129), C(5));
}

TEST_P(GadgetTest, RectFillsAndFramesByHoverState) {
    GuiWindow *w = Win(guiDrawRect);
    w->colour = 9;
    struct Case {
        uint32_t flags;
        int frame;
    } const cases[] = {{0, 24}, {GuiFlag::Hot, 29}, {GuiFlag::Hot | GuiFlag::Held, 47}, {GuiFlag::Held, 24}};
    for (const Case &c : cases) {
        w->flags = (w->flags & ~(GuiFlag::Hot | GuiFlag::Held)) | c.flags;
        guiDrawRect(w);
        EXPECT_EQ(At(120, 100), C(c.frame)) << c.flags;
        EXPECT_EQ(At(120, 115), C(9));
    }
    gGuiRoot->colour = 117;
    guiDrawRect(gGuiRoot);
    EXPECT_EQ(At(0, 0), C(117));
    EXPECT_EQ(At(638, 478), C(117));
}

TEST_P(GadgetTest, VerticalBarsFillByValueAndBand) {
    struct Case {
        GuiDrawProc draw;
        float value, max;
        int fill;           // colour expected in the lower interior; -1 none drawn there
        bool drawnAtAll;
    } const cases[] = {
        {guiDrawBarVert, 5, 0, -1, false},          // maximum 0: nothing
        {guiDrawBarVert, 20, 10, 64, true},         // above max: full
        {guiDrawBarVert, -3, 10, -1, true},         // negative: empty
        {guiDrawBarVertBanded, 8, 10, 97, true},
        {guiDrawBarVertBanded, 7.5f, 10, 160, true},
        {guiDrawBarVertBanded, 2.5f, 10, 64, true},
        {guiDrawBarVertHot, 4, 10, 97, true},
        {guiDrawBarVertHot, 5, 10, 160, true},
        {guiDrawBarVertHot, 7.5f, 10, 64, true},
    };
    for (const Case &c : cases) {
        canvas = Canvas(640, 480, GetParam() / 8);
        TheDisplayMode.screen = &canvas.s;
        GuiWindow *w = Win(c.draw);
        w->value = c.value;
        w->max = c.max;
        w->redraw = 0;
        c.draw(w);
        EXPECT_EQ(w->redraw, gGuiRedrawReload);  // meters draw every frame
        EXPECT_EQ(!Untouched(100, 100, 139, 129), c.drawnAtAll) << c.value;
        if (c.fill >= 0) {
            EXPECT_EQ(At(120, 126), C(c.fill)) << c.value << "/" << c.max;
        } else if (c.drawnAtAll) {
            EXPECT_EQ(At(120, 126), C(0)) << c.value;
        }
        if (c.value > c.max && c.fill >= 0) {
            EXPECT_EQ(At(120, 103), C(c.fill));
        }
    }
}

TEST_P(GadgetTest, HorizontalAndCentredBars) {
    GuiWindow *h = Win(guiDrawBarHoriz);  // 100..139
    h->max = 10;
    h->value = 5;
    guiDrawBarHoriz(h);
    EXPECT_EQ(At(120, 100), C(79));
    EXPECT_EQ(At(101, 115), C(64));
    EXPECT_EQ(At(125, 115), C(0));
    GuiWindow *c = Win(guiDrawBarCHoriz, 200);  // 200..239, centre column 219
    c->max = 10;
    c->value = -5;
    guiDrawBarCHoriz(c);
    EXPECT_EQ(At(212, 115), C(64));
    EXPECT_EQ(At(230, 115), C(0));
    c->value = 0.05f;  // within one hundredth of the maximum
    guiDrawBarCHoriz(c);
    EXPECT_EQ(At(220, 115), C(133));
    c->value = 50;  // clamped to the maximum
    guiDrawBarCHoriz(c);
    EXPECT_EQ(At(237, 115), C(97));
    GuiWindow *v = Win(guiDrawBarCVert, 300);  // rows 100..129, centre row 114
    v->max = 10;
    v->value = 10;
    guiDrawBarCVert(v);
    EXPECT_EQ(At(320, 105), C(97));
    EXPECT_EQ(At(320, 125), C(0));
}

TEST_P(GadgetTest, NumericAndButtonTextPlacement) {
    GuiWindow *n = Win(guiDrawNumeric);
    n->value = 42.9f;
    guiDrawNumeric(n);
    EXPECT_EQ(At(104, 115), C(255));  // the first glyph at x0 + 4, baseline (100 + 129) / 2 + 4
    EXPECT_EQ(At(103, 115), C(0));
    EXPECT_EQ(At(104, 118), C(0));
    GuiWindow *b = Win(guiDrawButton, 200, 100, 20, 20);
    b->text = "WIDE TEXT";  // 54 pixels in a 20-pixel button: starts at its left edge
    guiDrawButton(b);
    EXPECT_EQ(At(200, 110), C(255));
    EXPECT_EQ(At(199, 110), 0u);
    GuiWindow *s = Win(guiDrawString, 300, 100, 60, 20);
    s->text = "AB";
    guiDrawString(s);
    EXPECT_EQ(At(302, 110), C(255));  // x0 + 2, baseline y0 + h/2 + line height/2 = 114
    EXPECT_EQ(At(302, 113), C(255));
    EXPECT_EQ(At(302, 114), C(0));
}

TEST_P(GadgetTest, DialogueButtonsAndArrows) {
    GuiWindow *d = Win(guiDrawDialogueButton, 100, 100, 12, 12);
    d->state = 255;
    guiDrawDialogueButton(d);
    EXPECT_EQ(At(101, 101), C(42));
    EXPECT_EQ(At(101, 110), C(42));
    GuiWindow *a = Win(guiDrawDialogueArrowA, 200, 100, 12, 12);  // centre 205, 105
    guiDrawDialogueArrowA(a);
    EXPECT_EQ(At(205, 101), C(47));  // the apex points up
    EXPECT_EQ(At(201, 109), C(47));
    GuiWindow *r = Win(guiDrawArrowRight, 300, 100, 12, 12);
    r->flags |= GuiFlag::Hot;
    guiDrawArrowRight(r);
    EXPECT_EQ(At(311, 105), C(250));
    EXPECT_EQ(At(300, 100), C(250));
}

TEST_P(GadgetTest, XYDevOutlineAndViewPanes) {
    GuiWindow *x = Win(guiDrawXYDev, 100, 100, 100, 100);  // k = 16, centre 149
    guiDrawXYDev(x);
    EXPECT_EQ(At(100, 149 - 16), C(47));
    EXPECT_EQ(At(149 - 16, 100), C(47));
    EXPECT_EQ(At(149, 149), C(133));  // no deviation: the small-value colour
    canvas.Set(250, 250, C(9));
    GuiWindow *p = Win(guiDraw3D, 240, 240, 30, 30);
    guiDraw3D(p);
    EXPECT_EQ(At(250, 250), C(0));  // cleared until a scene renders there
    EXPECT_EQ(At(255, 240), C(47));
}

TEST_P(GadgetTest, RasterIsCentredInItsScaledPlaceAtLargerModes) {
    UseCanvas(800, 600, GetParam());
    guiResetWindows();
    MakeRoot();
    std::vector<uint8_t> block(sizeof(Raster) + 64 * 48 * (GetParam() / 8), 0);
    Raster *r = reinterpret_cast<Raster *>(block.data());
    r->pixels = block.data() + sizeof(Raster);
    r->width = 64;
    r->height = 48;
    r->bytesPerPixel = uint16_t(GetParam() / 8);
    r->pixels[0] = 7;
    GuiWindow *w = guiCreateWindow(GUI_TOP_L, nullptr, r, guiDefaultHandler, guiDrawRaster, 0, 0, 1, 1, 0);
    // A window over the picture's lower right corner, beyond the picture's
    // own size from the window's corner.
    GuiWindow *over = guiCreateWindow(GUI_TOP_L, nullptr, nullptr, guiDefaultHandler, nullptr, 66, 50, 4, 4, 0);
    guiDrawRaster(w);
    // The window takes its scaled place: 800 x 64 / 640, 600 x 48 / 480.
    EXPECT_EQ(w->w, 80);
    EXPECT_EQ(w->h, 60);
    // (800 x 64 / 640 - 64) / 2 = 8, (600 x 48 / 480 - 48) / 2 = 6
    EXPECT_EQ(canvas.At(8, 6), GetParam() == 8 ? 7u : 7u);
    EXPECT_EQ(canvas.At(7, 6), 0u);
    // Drawn again, the picture has the window over it drawn again.
    guiWindowRect(w, nullptr, nullptr);
    guiWindowRect(over, nullptr, nullptr);
    over->redraw = 0;
    guiMarkOverlapping(w);
    EXPECT_NE(over->redraw, 0);
}

TEST_P(GadgetTest, InterferenceKeepsDamagedWindowsRedrawingUnlessExempt) {
    gGuiInterference = 100;
    GuiWindow *s = Win(guiDrawString);
    s->text = "X";
    s->redraw = 0;
    guiDrawString(s);
    EXPECT_EQ(s->redraw, gGuiRedrawReload);
    s->redraw = 0;
    s->flags |= GuiFlag::NoInterference;
    guiDrawString(s);
    EXPECT_EQ(s->redraw, 0);
    GuiWindow *box = Win(guiDrawBox);
    box->redraw = 0;
    guiDrawBox(box);
    EXPECT_EQ(box->redraw, 0);  // plain boxes take no interference
    gGuiInterference = 0;
}

TEST_P(GadgetTest, WindowOutsideTheSurfaceDrawsNothingOutside) {
    GuiWindow *w = Win(guiDrawRect, 630, 470, 200, 200);
    w->colour = 3;
    guiDrawRect(w);
    EXPECT_EQ(At(639, 479), C(3));
    GuiWindow *neg = Win(guiDrawBarVert, -300, -300, 310, 310);
    neg->max = 1;
    neg->value = 1;
    guiDrawBarVert(neg);
    EXPECT_EQ(At(5, 5), C(64));
}

TEST_P(GadgetTest, EveryKindDrawsInsideItsRectangleOnly) {
    std::vector<uint8_t> block(sizeof(Raster) + 10 * 6 * 2 + 256, 0);
    Raster *bitmap = reinterpret_cast<Raster *>(block.data());
    bitmap->pixels = block.data() + sizeof(Raster);
    bitmap->bytesPerPixel = uint16_t(GetParam() / 8);
    bitmap->width = 10;
    bitmap->height = 6;
    std::memset(bitmap->pixels, 0x21, 10 * 6 * (GetParam() / 8));
    char words[] = "SOME WORDS TO WRAP IN THE BOX";
    ResourceHandle textResource{};
    textResource.data = words;
    static const uint8_t on = 1;
    struct Kind {
        const char *name;
        GuiDrawProc draw;
    } const kinds[] = {
        {"box", guiDrawBox},           {"rect", guiDrawRect},
        {"raster", guiDrawRaster},     {"switch", guiDrawSwitch},
        {"image button", guiDrawImageButton}, {"string", guiDrawString},
        {"label", guiDrawSystemLabel}, {"button", guiDrawButton},
        {"text button", guiDrawTextButton}, {"framed", guiDrawFramedButton},
        {"help note", guiDrawHelpNote}, {"text", guiDrawText},
        {"menu item", guiDrawMenuItem}, {"bar", guiDrawBarVert},
        {"banded", guiDrawBarVertBanded}, {"hot", guiDrawBarVertHot},
        {"horizontal", guiDrawBarHoriz}, {"horizontal banded", guiDrawBarHorizBanded},
        {"centred", guiDrawBarCHoriz}, {"centred vertical", guiDrawBarCVert},
        {"numeric", guiDrawNumeric},   {"xy", guiDrawXYDev},
        {"dialogue", guiDrawDialogueButton}, {"arrow up", guiDrawDialogueArrowA},
        {"arrow down", guiDrawDialogueArrowB}, {"arrow right", guiDrawArrowRight},
        {"arrow left", guiDrawArrowLeft}, {"card", guiDrawNavCard},
        {"target", guiDrawTargetLine}, {"wire icon", guiDrawWireIcon},
        {"profile", guiDrawProfile},   {"logger", guiDrawLogger},
        {"video", guiDrawVideo},       {"3d", guiDraw3D},
        {"main view", guiDrawMainViewPane}, {"wire", guiDraw3DWire},
    };
    for (const Kind &k : kinds) {
        canvas = Canvas(640, 480, GetParam() / 8, 1);  // a background no gadget draws in
        TheDisplayMode.screen = &canvas.s;
        const unsigned background = canvas.At(0, 0);
        GuiWindow *w = Win(k.draw, 200, 200, 40, 30);
        w->value = 3;
        w->max = 4;
        w->state = 1;
        w->colour = 5;
        w->image = w->imageAlt = bitmap;
        w->userData = (k.draw == guiDrawRaster) ? bitmap : nullptr;
        w->text = k.draw == guiDrawText ? static_cast<const void *>(&textResource)
                  : k.draw == guiDrawImageButton ? static_cast<const void *>(&on)
                                                 : static_cast<const void *>("LABEL");
        k.draw(w);
        int inside = 0, outside = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) {
                if (canvas.At(x, y) == background) continue;
                if (x >= w->rect[0] && x <= w->rect[2] && y >= w->rect[1] && y <= w->rect[3]) ++inside;
                else ++outside;
            }
        EXPECT_GT(inside, 0) << k.name;
        EXPECT_EQ(outside, 0) << k.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, GadgetTest, testing::Values(8, 16));

TEST(GadgetTables, RangeTextsByMagnitude) {
    struct Case {
        double metres;
        const char *text;
    } const cases[] = {{-5, "0 M"},          {9999, "9999 M"},         {10000, "10.0 KM"},
                       {123456789, "123456.8 KM"}, {1e10, "10.00 M KM"}, {1.5e10, "15.0 M KM"}};
    for (const Case &c : cases) {
        char text[32];
        guiFormatRange(text, sizeof text, c.metres);
        EXPECT_STREQ(text, c.text) << c.metres;
    }
}

TEST(GadgetTables, SideColourLastMatchWins) {
    struct Case {
        uint32_t flags;
        bool card;
        int colour;
    } const cases[] = {{0, false, 160},       {0, true, 97},        {0x80, false, 133},  {0x180, false, 64},
                       {0x200, false, 160},   {0x1100, false, 42},  {0x1800, true, 223}, {0x40, false, 97},
                       {0x40, true, 97},      {0x840, false, 97}};
    for (const Case &c : cases) EXPECT_EQ(guiSideColour(c.flags, c.card), c.colour) << std::hex << c.flags;
}

}  // namespace
}  // namespace guitest
