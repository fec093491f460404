#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "RES/text.h"
#include "RES/gfx2d.h"
#include "core/options.h"
#include "os/display.h"
#include "platform/display.h"
#include "font_fixture.h"

namespace {

using fontfix::Canvas;
using fontfix::TestFont;

const ClipRect kAll = {0, 0, 199, 99};

TEST(BitmapText, CrIsIgnoredAndLfReturnsToTheStartingX) {
    TestFont f;
    fontfix::MakeBoxFont(f);
    Canvas c(200, 100);
    int x = 10, y = 20;
    dunDrawText(&c.s, &x, &y, "A\r\nB", &f.font, 50, &kAll);
    // A: 5x7 box standing on the baseline (rows 13..19).
    EXPECT_EQ(c.At(10, 13), 50);
    EXPECT_EQ(c.At(14, 19), 50);
    EXPECT_EQ(c.At(10, 12), 0);
    EXPECT_EQ(c.At(10, 20), 0);
    EXPECT_EQ(c.At(15, 19), 0);
    // B one line height lower at the starting x, and nothing else.
    EXPECT_EQ(c.At(10, 29), 50);
    EXPECT_EQ(c.At(10, 23), 50);
    EXPECT_EQ(c.Count(50), 70);
    EXPECT_EQ(x, 16);
    EXPECT_EQ(y, 30);
}

TEST(BitmapText, OneColourSkipsOnlyValue16) {
    TestFont f;
    fontfix::MakeBoxFont(f);
    Surface *g = f.Add(3, 1, 1, 0);
    g->pixels[1] = 16;
    f.Set('#', g, 4);
    Canvas c(20, 10, 1, 9);
    int x = 2, y = 5;
    ClipRect clip = {0, 0, 19, 9};
    dunDrawText(&c.s, &x, &y, "#", &f.font, 60, &clip);
    EXPECT_EQ(c.At(2, 4), 60);
    EXPECT_EQ(c.At(3, 4), 9);
    EXPECT_EQ(c.At(4, 4), 60);
}

TEST(BitmapText, NothingForNullTextOrEmptyClip) {
    TestFont f;
    fontfix::MakeBoxFont(f);
    Canvas c(50, 50);
    const ClipRect empties[] = {{10, 0, 10, 40}, {0, 10, 40, 10}, {20, 0, 10, 40}};
    for (const ClipRect &e : empties) {
        int x = 5, y = 20;
        dunDrawText(&c.s, &x, &y, "ABC", &f.font, 50, &e);
        dunDrawTextInRect(&c.s, &x, &y, "ABC", &f.font, &e);
        EXPECT_EQ(x, 5);
    }
    int x = 5, y = 20;
    dunDrawText(&c.s, &x, &y, nullptr, &f.font, 50, &kAll);
    EXPECT_EQ(c.Count(0), 2500);
}

TEST(BitmapText, ClipsAtTheRectangle) {
    TestFont f;
    fontfix::MakeBoxFont(f);
    Canvas c(40, 40);
    ClipRect clip = {12, 0, 13, 39};
    int x = 10, y = 20;
    dunDrawText(&c.s, &x, &y, "A", &f.font, 50, &clip);
    EXPECT_EQ(c.Count(50), 14);  // two columns of seven rows
    // Far off the surface: nothing, and no stray write.
    x = -30000, y = 30000;
    dunDrawText(&c.s, &x, &y, "AAAA", &f.font, 50, &kAll);
    EXPECT_EQ(c.Count(50), 14);
}

TEST(BitmapText, MeasureWidestLineAndFirstLineHeight) {
    TestFont f;
    fontfix::MakeBoxFont(f);
    f.Set('B', f.Add(5, 9, 9, 1), 8);
    int w = -1, h = -1;
    dunMeasureText("AB\nC", &f.font, &w, &h);
    EXPECT_EQ(w, 6 + 8);
    EXPECT_EQ(h, 9 + 10);
    dunMeasureText("A\nCCCC", &f.font, &w, &h);
    EXPECT_EQ(w, 24);
    EXPECT_EQ(h, 17);
    w = h = -1;
    dunMeasureText(nullptr, &f.font, &w, &h);
    EXPECT_EQ(w, -1);
}

TEST(BitmapText, InRectWrapsWordsAndHonoursTheBottom) {
    TestFont f;
    fontfix::MakeBoxFont(f);
    Canvas c(200, 100);
    // Words "AA " and "BB": 17 + 12 pixels; the rectangle leaves room for
    // one word per line.
    ClipRect r = {10, 0, 35, 99};
    int x = 10, y = 10;
    dunDrawTextInRect(&c.s, &x, &y, "AA BB", &f.font, &r);
    EXPECT_EQ(c.At(10, 9), 200);   // A
    EXPECT_EQ(c.At(10, 23), 200);  // B on the next line, lineHeight + 4 down
    EXPECT_EQ(c.Ink(28, 0, 199, 99), 0);
    EXPECT_EQ(x, 22);
    EXPECT_EQ(y, 24);

    // Too near the bottom for another line: the word stays on this one.
    Canvas c2(200, 100);
    ClipRect low = {10, 0, 60, 30};
    x = 10, y = 20;
    dunDrawTextInRect(&c2.s, &x, &y, "AAAAAA BB", &f.font, &low);
    EXPECT_EQ(y, 20);
    EXPECT_EQ(c2.At(53, 19), 200);  // first B, clipped at the right edge
    EXPECT_EQ(c2.Ink(61, 0, 199, 99), 0);

    // A word wider than the rectangle gets its own line and is clipped.
    Canvas c3(200, 100);
    x = 10, y = 10;
    dunDrawTextInRect(&c3.s, &x, &y, "A BBBBBBBBBB", &f.font, &r);
    EXPECT_EQ(c3.At(22, 23), 200);
    EXPECT_EQ(c3.At(35, 23), 200);
    EXPECT_EQ(c3.Ink(36, 0, 199, 99), 0);
    EXPECT_EQ(c3.Ink(16, 0, 199, 12), 0);  // nothing after the A on line one
}

TEST(BitmapText, CountWrappedLinesAndWrapWidth) {
    TestFont f;
    fontfix::MakeBoxFont(f);
    struct Case {
        const char *text;
        int width, lines;
    };
    // A run without blanks is cut into words of 256 characters: 600 make three.
    const std::string run600(600, 'A'), run256(256, 'A');
    const Case cases[] = {{"AA BB", 25, 2},        {"AA BB", 40, 1},         {"A\nB\nC", 100, 3}, {"", 10, 1},
                          {"AAAAAAAAAA", 5, 1},     {run600.c_str(), 5, 3}, {run256.c_str(), 5, 1}};
    for (const Case &k : cases) EXPECT_EQ(CountWrappedLines(k.text, &f.font, k.width), k.lines * 14) << k.text;

    Canvas c(200, 100);
    int x = 10, y = 10;
    dunDrawTextWrapWidth(&c.s, &x, &y, "AA BB CC", &f.font, &kAll, 25);
    EXPECT_EQ(c.At(10, 19), 200);  // B, one lineHeight down
    EXPECT_EQ(c.At(10, 29), 200);  // C
    EXPECT_EQ(y, 30);
}

TEST(BitmapText, TextLongerThanItsLengthFieldStaysInside) {
    // Past 32 767 characters, with long blank-free runs and long LF pieces:
    // every drawer keeps to its clip and the surface.
    TestFont f;
    fontfix::MakeBoxFont(f);
    uint8_t palette[1024];
    std::memset(palette, 0xFF, sizeof palette);
    CurrentPalette = palette;
    std::string text(40000, 'A');
    for (size_t i = 300; i < text.size(); i += 700) text[i] = (i / 700) % 2 ? ' ' : '\n';
    for (int bytes : {1, 2}) {
        Canvas c(200, 100, bytes);
        const ClipRect r = {10, 10, 189, 89};
        int x = 10, y = 10;
        dunDrawText(&c.s, &x, &y, text.c_str(), &f.font, 7, &r);
        x = 10, y = 10;
        dunDrawTextInRect(&c.s, &x, &y, text.c_str(), &f.font, &r);
        x = 10, y = 10;
        dunDrawTextWrapWidth(&c.s, &x, &y, text.c_str(), &f.font, &r, 100);
        dunDrawTextCentred(&c.s, text.c_str(), &f.font, &r);
        dunDrawTextWrapped(&c.s, text.c_str(), &f.font, &r);
        int w = 0, h = 0;
        dunMeasureText(text.c_str(), &f.font, &w, &h);
        EXPECT_GT(w, 0);
        int inside = 0, outside = 0;
        for (int py = 0; py < 100; ++py)
            for (int px = 0; px < 200; ++px) {
                bool ink = bytes == 1 ? c.At(px, py) != 0 : c.At16(px, py) != 0;
                bool in = px >= r.left && px <= r.right && py >= r.top && py <= r.bottom;
                (in ? inside : outside) += ink;
            }
        EXPECT_GT(inside, 0) << bytes;
        EXPECT_EQ(outside, 0) << bytes;
    }
    CurrentPalette = nullptr;
}

TEST(BitmapText, CentredInTheRectangle) {
    TestFont f;
    fontfix::MakeBoxFont(f);
    Canvas c(200, 100);
    ClipRect r = {20, 10, 79, 49};
    dunDrawTextCentred(&c.s, "AB", &f.font, &r);
    // width 12, height 7: x = 49 - 6 = 43, baseline = 29 + 3 = 32 (rows 25..31)
    EXPECT_EQ(c.At(43, 26), 200);
    EXPECT_EQ(c.At(42, 26), 0);
    EXPECT_EQ(c.At(53, 31), 200);
    EXPECT_EQ(c.At(53, 32), 0);
    EXPECT_EQ(c.At(54, 31), 0);
    EXPECT_EQ(c.At(43, 24), 0);
}

TEST(BitmapText, WrappedDropsCommasAndCopiesOpaque) {
    TestFont f;
    fontfix::MakeBoxFont(f);
    Surface *a = f.font.glyph['A'];
    a->pixels[0] = 3;  // opaque copy keeps even low values
    Canvas c(200, 100, 1, 99);
    ClipRect r = {0, 0, 199, 99};
    dunDrawTextWrapped(&c.s, "A,B", &f.font, &r);
    // x = 4, baseline = 0 + 10 + 4; the comma is not drawn, B follows
    // after A's advance and a blank's.
    EXPECT_EQ(c.At(4, 7), 3);
    EXPECT_EQ(c.At(4 + 6 + 5, 13), 200);
    EXPECT_EQ(c.Ink(10, 0, 14, 99, 99), 0);
    EXPECT_EQ(c.Ink(20, 0, 199, 99, 99), 0);
    // Pieces split at LF start new lines.
    Canvas c2(200, 100);
    dunDrawTextWrapped(&c2.s, "A\nB", &f.font, &r);
    EXPECT_EQ(c2.At(4, 23), 200);
}

TEST(BitmapText, ColouredSkipsBadNumbersAndNullFonts) {
    TestFont f1, f2;
    fontfix::MakeBoxFont(f1, 100);
    fontfix::MakeBoxFont(f2, 150);
    const BitmapFont *fonts[5] = {&f1.font, &f2.font, nullptr, nullptr, nullptr};
    const uint8_t numbers[] = {0, 1, 2, 7, 0};
    Canvas c(200, 100);
    int x = 10, y = 20;
    dunDrawTextColoured(&c.s, &x, &y, "ABCDE", numbers, fonts, &kAll);
    EXPECT_EQ(c.At(10, 19), 100);
    EXPECT_EQ(c.At(16, 19), 150);
    EXPECT_EQ(c.At(22, 19), 100);  // E follows B directly
    EXPECT_EQ(c.Count(100) + c.Count(150), 3 * 35);
    EXPECT_EQ(x, 28);
}

TEST(BitmapText, SixteenBitsThroughThePalette) {
    TestFont f;
    fontfix::MakeBoxFont(f);
    uint8_t palette[1024] = {};
    palette[4 * 50 + 0] = 0xFF, palette[4 * 50 + 1] = 0x80, palette[4 * 50 + 2] = 0x08;
    palette[4 * 200 + 1] = 0xFF;
    CurrentPalette = palette;
    Canvas c(64, 32, 2);
    c.s.pitch = 128;
    int x = 2, y = 10;
    ClipRect clip = {0, 0, 63, 31};
    dunDrawText(&c.s, &x, &y, "A", &f.font, 50, &clip);
    EXPECT_EQ(c.At16(2, 9), 0xFC01);
    EXPECT_EQ(c.At16(7, 9), 0);
    x = 20, y = 10;
    dunDrawTextInRect(&c.s, &x, &y, "A", &f.font, &clip);
    EXPECT_EQ(c.At16(20, 9), 0x07E0);
    CurrentPalette = nullptr;
}

TEST(VectorText, GlyphStrokesAndScaling) {
    Canvas c(200, 100);
    // Pen down first: a line from the origin to row 15 column 0, i.e. 20
    // pixels straight up.
    const uint8_t up[] = {0xF0, 0};
    vfontDrawGlyph(&c.s, up, 10, 50, &kAll, 7);
    EXPECT_EQ(c.At(10, 50), 7);
    EXPECT_EQ(c.At(10, 30), 7);
    EXPECT_EQ(c.Count(7), 21);
    // Pen up moves only; row 5 is the baseline.
    Canvas c2(200, 100);
    const uint8_t bar[] = {0x51, 0x5E, 0};
    vfontDrawGlyph(&c2.s, bar, 10, 50, &kAll, 7);
    EXPECT_EQ(c2.Count(7), 15);
    EXPECT_EQ(c2.At(24, 50), 7);

    VectorFont vf{};
    for (auto &s : vf.strokes) s = bar;
    Canvas c3(200, 100);
    int x = 10, y = 40;
    vfontDrawTextScaled(&c3.s, 36.0f, &x, &y, "A\n\xE9" "B", &vf, &kAll, 7);
    // Size 36 doubles everything: a 29-pixel bar, 48 rows per line.
    EXPECT_EQ(c3.At(10, 40), 7);
    EXPECT_EQ(c3.At(38, 40), 7);
    EXPECT_EQ(c3.At(39, 40), 0);
    EXPECT_EQ(c3.Ink(0, 88, 49, 88), 0);  // the accented code has no strokes
    EXPECT_EQ(c3.At(50, 88), 7);         // B one advance (40) further
    EXPECT_EQ(x, 90);
    EXPECT_EQ(y, 88);
}

// Text in the generated fonts. With RUVO_SNAPSHOT_DIR set the drawing is
// also written there as a PPM picture for a look.
struct InDataRoot {
    std::filesystem::path old = std::filesystem::current_path();
    InDataRoot() { std::filesystem::current_path(fontfix::DataPath("")); }
    ~InDataRoot() { std::filesystem::current_path(old); }
};

void Snapshot(const Canvas &c, const char *name) {
    const char *dir = std::getenv("RUVO_SNAPSHOT_DIR");
    if (!dir) return;
    std::string path = std::string(dir) + "/" + name;
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fprintf(f, "P6\n%d %d\n255\n", c.s.width, c.s.height);
    for (uint8_t v : c.buf) {
        // 255 white, 247 grey, 248 dark grey, 250 green, 1 blue, the rest black
        uint8_t r = 0, g = 0, b = 0;
        if (v == 255) r = g = b = 255;
        else if (v == 247) r = g = b = 160;
        else if (v == 248) r = g = b = 128;
        else if (v == 250) g = 255;
        else if (v == 1) b = 160;
        std::fputc(r, f), std::fputc(g, f), std::fputc(b, f);
    }
    std::fclose(f);
}

TEST(SampleText, GermanAndFrenchDrawWithTheirAccents) {
    InDataRoot root;
    fontfix::LoadedFont rf("vek\\resource\\fonts\\rfont.fon", true);
    fontfix::LoadedFont hf("vek\\resource\\fonts\\hfont.fon", true);
    fontfix::LoadedFont cf("vek\\resource\\fonts\\consfont.fnt", false);
    ASSERT_TRUE(rf.font && hf.font && cf.font);
    std::vector<uint8_t> vblock(VectorFontSize(nullptr));
    uint32_t vsize = (uint32_t)vblock.size();
    VectorFont *vf = (VectorFont *)vfontLoad("vek\\resource\\fonts\\vfont.rvf", vblock.data(), &vsize);
    ASSERT_TRUE(vf);

    // An accented letter lights pixels above the plain letter's top.
    for (auto [plain, accented] : {std::pair{'e', '\xE9'}, {'e', '\xE8'}, {'a', '\xE4'}, {'o', '\xF6'},
                                   {'u', '\xFC'}, {'E', '\xC9'}}) {
        Canvas p(40, 40), a(40, 40);
        int x = 5, y = 30;
        char s1[2] = {plain, 0}, s2[2] = {accented, 0};
        dunDrawText(&p.s, &x, &y, s1, rf.font, 255, &kAll);
        x = 5, y = 30;
        dunDrawText(&a.s, &x, &y, s2, rf.font, 255, &kAll);
        int top = 40;
        for (int yy = 39; yy >= 0; --yy)
            if (p.Ink(0, yy, 39, yy)) top = yy;
        EXPECT_GT(a.Ink(0, 0, 39, top - 1), 0) << (int)(unsigned char)accented;
    }

    Canvas c(320, 150);
    std::memset(c.buf.data(), 1, c.buf.size());
    ClipRect screen = {0, 0, 319, 149};
    int x = 8, y = 20;
    dunDrawText(&c.s, &x, &y, "Gr\xF6\xDF" "e \xFC" "ber M\xE4" "rkte, \xC9t\xE9 \xE0 l'\xE9" "cole", rf.font, 255,
                &screen);
    EXPECT_GT(c.Count(255), 150);
    ClipRect box = {8, 28, 200, 90};
    x = 8, y = 48;
    dunDrawTextInRect(&c.s, &x, &y, "Cr\xE8me br\xFBl\xE9" "e f\xFCr den Kapit\xE4n", hf.font, &box);
    x = 8, y = 120;
    dunDrawText(&c.s, &x, &y, "CONSOLE> Stra\xDF" "e 42", cf.font, 250, &screen);
    x = 8, y = 145;
    vfontDrawTextScaled(&c.s, 14.0f, &x, &y, "VECTOR 0123", vf, &screen, 255);
    EXPECT_GT(c.Count(250), 40);
    Snapshot(c, "text8.ppm");
}

// Text drawn on the screen surface of the window driver reaches the frame it
// shows. With RUVO_SNAPSHOT_HOLD=seconds the window stays up that long, for
// a look at a real display.
TEST(SampleText, ShownThroughTheWindowDriver) {
    InDataRoot root;
    fontfix::LoadedFont rf("vek\\resource\\fonts\\midfont.fon", true);
    fontfix::LoadedFont hf("vek\\resource\\fonts\\hfont.fon", true);
    ASSERT_TRUE(rf.font && hf.font);
    std::vector<uint8_t> vblock(VectorFontSize(nullptr));
    uint32_t vsize = (uint32_t)vblock.size();
    VectorFont *vf = (VectorFont *)vfontLoad("vek\\resource\\fonts\\vfont.rvf", vblock.data(), &vsize);
    ASSERT_TRUE(vf);

    SelectWindowDriver();
    ResolutionSize(0, &TheDisplayMode.width, &TheDisplayMode.height);
    ASSERT_TRUE(DisplayOpen(&TheDisplayMode));
    Surface *screen = &ScreenSurface;
    ClearSurface(screen, 4);  // the system's dark blue
    ClipRect all = {0, 0, 639, 479};
    ClipRect title = {0, 20, 639, 80};
    dunDrawTextCentred(screen, "Willkommen an Bord, Kapit\xE4n!", hf.font, &title);
    ClipRect para = {40, 100, 600, 300};
    dunDrawTextWrapped(screen,
                       "Les \xE9toiles br\xFBlent au-del\xE0 de la fronti\xE8re. "
                       "Gr\xFC\xDF" "e aus der Station, \xFC" "ber die M\xE4rkte und \xD6lfelder. "
                       "\xC9" "coutez: la m\xE9t\xE9o spatiale reste calme.",
                       rf.font, &para);
    int x = 40, y = 340;
    dunDrawText(screen, &x, &y, "Schilde 100%  Geschwindigkeit 250 m/s", rf.font, 250, &all);
    x = 40, y = 420;
    vfontDrawTextScaled(screen, 18.0f, &x, &y, "NAV 042 -> STATION", vf, &all, 255);
    DisplayPresent(&TheDisplayMode);

    int pitch = 0;
    const uint32_t *frame = (const uint32_t *)osDisplayLastFrame(&pitch);
    ASSERT_TRUE(frame);
    int white = 0, green = 0;
    for (int yy = 0; yy < 480; ++yy)
        for (int xx = 0; xx < 640; ++xx) {
            uint32_t v = frame[(size_t)yy * (pitch / 4) + xx] & 0xFFFFFF;
            white += v == 0xFFFFFF;
            green += v == 0x00FF00;
        }
    EXPECT_GT(white, 1000);
    EXPECT_GT(green, 100);

    if (const char *dir = std::getenv("RUVO_SNAPSHOT_DIR")) {
        std::string path = std::string(dir) + "/screen.ppm";
        if (FILE *f = std::fopen(path.c_str(), "wb")) {
            std::fprintf(f, "P6\n640 480\n255\n");
            for (int yy = 0; yy < 480; ++yy)
                for (int xx = 0; xx < 640; ++xx) {
                    uint32_t v = frame[(size_t)yy * (pitch / 4) + xx];
                    std::fputc((v >> 16) & 255, f), std::fputc((v >> 8) & 255, f), std::fputc(v & 255, f);
                }
            std::fclose(f);
        }
    }
    if (const char *hold = std::getenv("RUVO_SNAPSHOT_HOLD")) {
        for (int i = 0; i < 10 * std::atoi(hold); ++i) {
            DisplayPresent(&TheDisplayMode);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    DisplayClose();
}

}  // namespace
