#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "RES/font.h"
#include "common/temp_dir.h"
#include "font_fixture.h"
#include "RES/gfx2d.h"
#include "RES/picture.h"
#include "RES/resman.h"
#include "core/options.h"
#include "os/glyphs.h"
#include "platform/display.h"
#include "platform/sound.h"

namespace {

using fontfix::LoadedFont;
using fontfix::TestFont;

std::vector<uint8_t> ReadAll(const char *path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}
void WriteAll(const char *path, const std::vector<uint8_t> &v) {
    std::ofstream(path, std::ios::binary).write((const char *)v.data(), (std::streamsize)v.size());
}
uint32_t Rd32(const std::vector<uint8_t> &v, size_t at) {
    return v[at] | (v[at + 1] << 8) | (v[at + 2] << 16) | ((uint32_t)v[at + 3] << 24);
}
void Wr32(std::vector<uint8_t> &v, size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = (uint8_t)(x >> (8 * i));
}

// A font with distinct pixel patterns so that round trips can compare them.
void MakePatternFont(TestFont &f) {
    fontfix::MakeBoxFont(f);
    Surface *a = f.Add(3, 4, 3, 0);
    for (int i = 0; i < 12; ++i) a->pixels[i] = (uint8_t)(17 + i * 19);
    f.Set('A', a, 9);
    f.Set('g', f.Add(4, 6, 4, 77, 1), 5);  // two rows below the baseline
}

TEST(FontFiles, PackedRoundTripSharesTheBlankAndDerivesMetrics) {
    ruvotest::TempDir dir;
    TestFont f;
    MakePatternFont(f);
    f.Set('x', f.font.glyph[32], 3);
    ASSERT_TRUE(fontMake("t.fnt", &f.font));
    std::vector<uint8_t> file = ReadAll("t.fnt");
    ASSERT_GE(file.size(), kFntHeadSize);
    // The blank is written first, right after the table, and shared.
    EXPECT_EQ(Rd32(file, 4 * 32), kFntHeadSize);
    EXPECT_EQ(Rd32(file, 4 * 'x'), kFntHeadSize);
    EXPECT_EQ(Rd32(file, 0), kFntHeadSize);

    LoadedFont l("T.fnt", false);
    ASSERT_TRUE(l.font);
    const BitmapFont &b = *l.font;
    for (int c = 0; c < 256; ++c) ASSERT_EQ(b.advance[c], b.glyph[c]->width + 1) << c;
    EXPECT_EQ(b.advance[32], 5);
    EXPECT_EQ(b.glyph['x'], b.glyph[32]);
    EXPECT_EQ(b.glyph['A']->width, 3);
    EXPECT_EQ(b.glyph['A']->hotY, 3);
    EXPECT_EQ(0, std::memcmp(b.glyph['A']->pixels, f.font.glyph['A']->pixels, 12));
    EXPECT_EQ(b.glyph['g']->hotX, 1);
    // height('A') + (height('g') - hotY('g') - 1) + 2 = 4 + 1 + 2
    EXPECT_EQ(b.lineHeight, 7);
}

TEST(FontFiles, FonKeepsAdvancesAndRecomputesLineHeight) {
    ruvotest::TempDir dir;
    TestFont f;
    MakePatternFont(f);
    f.font.lineHeight = 99;
    ASSERT_TRUE(SaveBitmapFont("t.fon", &f.font));
    std::vector<uint8_t> file = ReadAll("t.fon");
    EXPECT_EQ(file[512] | (file[513] << 8), 99);
    EXPECT_EQ(Rd32(file, 516 + 4 * 32), kFonHeadSize);

    LoadedFont l("T.FON", true);
    ASSERT_TRUE(l.font);
    EXPECT_EQ(l.font->advance['A'], 9);
    EXPECT_EQ(l.font->advance['B'], 6);
    // tallest capital (B..Z: 7) + deepest lower-case descent ('g': 6 - 4 - 1)
    EXPECT_EQ(l.font->lineHeight, 7 + 1);
    EXPECT_EQ(l.font->glyph[0xE9]->height, 8);
}

TEST(FontFiles, BadFilesAreRejected) {
    ruvotest::TempDir dir;
    TestFont f;
    MakePatternFont(f);
    ASSERT_TRUE(fontMake("good.fnt", &f.font));
    ASSERT_TRUE(SaveBitmapFont("good.fon", &f.font));
    const std::vector<uint8_t> fnt = ReadAll("good.fnt"), fon = ReadAll("good.fon");
    uint32_t aOff = Rd32(fnt, 4 * 'A');

    struct Case {
        const char *what;
        bool fon;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    auto fntCase = [&](const char *what, auto edit) {
        std::vector<uint8_t> v = fnt;
        edit(v);
        cases.push_back({what, false, v});
    };
    fntCase("shorter than the table", [](auto &v) { v.resize(1000); });
    fntCase("offset past the end", [&](auto &v) { Wr32(v, 4 * 'A', (uint32_t)v.size()); });
    fntCase("offset inside the table", [](auto &v) { Wr32(v, 4 * 'A', 8); });
    fntCase("huge offset", [](auto &v) { Wr32(v, 4 * 'A', 0xFFFFFFF0u); });
    fntCase("glyph runs past the end", [&](auto &v) {
        v[aOff + 4] = 0xFF;
        v[aOff + 5] = 0xFF;
    });
    fntCase("header cut", [&](auto &v) { v.resize(v.size() - 1); });
    {
        std::vector<uint8_t> v = fon;
        Wr32(v, 516 + 4 * 'Q', 1000);
        cases.push_back({"fon offset inside the head", true, v});
    }
    for (const Case &c : cases) {
        std::vector<uint8_t> block(fontParsedSize(c.bytes.size()));
        BitmapFont *got = c.fon ? fontParseFon(c.bytes.data(), c.bytes.size(), block.data(), block.size())
                                : fontParseFnt(c.bytes.data(), c.bytes.size(), block.data(), block.size());
        EXPECT_EQ(got, nullptr) << c.what;
    }
    // The last glyph record is the last in the file, so cutting a byte cuts
    // into some glyph's pixels; the untouched file parses.
    std::vector<uint8_t> block(fontParsedSize(fnt.size()));
    EXPECT_NE(fontParseFnt(fnt.data(), fnt.size(), block.data(), block.size()), nullptr);
    // A block too small for the parsed font is refused.
    EXPECT_EQ(fontParseFnt(fnt.data(), fnt.size(), block.data(), block.size() - 9), nullptr);
    // A converter with a capacity below the file's needs does nothing.
    uint32_t small = 100;
    EXPECT_EQ(LoadFntFont("good.fnt", block.data(), &small), nullptr);
    EXPECT_EQ(LoadFntFont("missing.fnt", block.data(), nullptr), nullptr);
    EXPECT_EQ(FntFontSize("missing.fnt"), 0u);
}

TEST(FontFiles, WritersKeepGlyphsOver32767Pixels) {
    ruvotest::TempDir dir;
    TestFont f;
    fontfix::MakeBoxFont(f);
    f.Set('W', f.Add(200, 200, 100, 99), 201);
    ASSERT_TRUE(fontMake("big.fnt", &f.font));
    LoadedFont l("big.fnt", false);
    ASSERT_TRUE(l.font);
    EXPECT_EQ(l.font->glyph['W']->width, 200);
    EXPECT_EQ(l.font->glyph['W']->pixels[199 * 200 + 199], 99);
}

TEST(PictureFont, LoadsTheCodeRangesWithCapitalsForLowerCase) {
    ruvotest::TempDir dir;
    std::filesystem::create_directory("pf");
    uint8_t palette[1024] = {};
    const uint8_t blank[3] = {16, 16, 16}, letter[20] = {16, 200, 200, 16, 200, 16, 16, 200, 200, 200,
                                                       200, 200, 200, 16, 16, 200, 200, 16, 16, 200};
    ASSERT_TRUE(SaveIffPicture("pf\\c032.bbm", blank, 3, 1, palette, false, 0, 0));
    for (const char *name : {"pf\\c065.bbm", "pf\\c097.bbm", "pf\\c130.bbm", "pf\\c200.bbm"})
        ASSERT_TRUE(SaveIffPicture(name, letter, 4, 5, palette, true, 1, 4));
    for (int depth : {8, 16}) {
        PixelDepth = depth, BytesPerPixel = (uint16_t)(depth / 8);
        BitmapFont font{};
        font.advance['A'] = 77;
        LoadGlyphFont(&font, "PF");
        PixelDepth = 8, BytesPerPixel = 1;
        ASSERT_TRUE(font.glyph[32] && font.glyph['A'] && font.glyph[200]);
        EXPECT_EQ(font.glyph[32]->width, 3);
        EXPECT_EQ(font.glyph['A']->hotX, 1);
        EXPECT_EQ(font.glyph['A']->hotY, 5);  // the picture's grab point + 1
        EXPECT_EQ(0, std::memcmp(font.glyph['A']->pixels, letter, 20)) << depth;  // 8-bit at any depth
        EXPECT_EQ(font.glyph['a'], font.glyph['A']);
        EXPECT_NE(font.glyph[200], font.glyph[32]);
        EXPECT_EQ(font.glyph[130], font.glyph[32]);  // outside the loaded ranges
        EXPECT_EQ(font.glyph['B'], font.glyph[32]);  // no picture
        EXPECT_EQ(font.advance['A'], 77);
        FreeGlyphFont(&font);
        EXPECT_EQ(font.glyph['A'], nullptr);
    }
}

TEST(VectorFont, PacksPointsAndChecksCodes) {
    ruvotest::TempDir dir;
    std::string text;
    for (int i = 0; i < 128; ++i) {
        if (i == 'A') text += "65,3\nU15,7 D5,3\nU1,2\n";
        else if (i == 'B') text += "66,2\nU2,1 D0,0\n";
        else text += std::to_string(i) + ",0\n";
    }
    WriteAll("v.rvf", std::vector<uint8_t>(text.begin(), text.end()));
    std::vector<uint8_t> block(VectorFontSize("v.rvf"));
    uint32_t size = (uint32_t)block.size();
    VectorFont *v = (VectorFont *)vfontLoad("v.rvf", block.data(), &size);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->strokes['A'][0], 0xFF);
    EXPECT_EQ(v->strokes['A'][1], 0x56);
    EXPECT_EQ(v->strokes['A'][2], 0x15);
    EXPECT_EQ(v->strokes['A'][3], 0x00);
    // A pen-down point at the origin packs to 0 and so ends the glyph.
    EXPECT_EQ(v->strokes['B'][0], 0x23);
    EXPECT_EQ(v->strokes['B'][1], 0x00);
    EXPECT_EQ(v->strokes['C'][0], 0x00);

    const char *bad[] = {"0,0\n2,0\n", "0,1\n", "0,-1\n"};
    for (const char *b : bad) EXPECT_EQ(vfontParse(b, std::strlen(b), block.data(), block.size()), nullptr) << b;
    // Strokes that would not fit the block fail instead of running past it.
    std::string big = "0,20000\n";
    for (int i = 0; i < 20000; ++i) big += "D1,1 ";
    EXPECT_EQ(vfontParse(big.data(), big.size(), block.data(), block.size()), nullptr);
    EXPECT_EQ(vfontLoad("none.rvf", block.data(), &size), nullptr);
}

TEST(TextFiles, LoadAddsANulAndIsCutToItsBlock) {
    ruvotest::TempDir dir;
    WriteAll("t.txt", {'a', 'b', 'c', 'd', 'e'});
    EXPECT_EQ(TextFileSize("T.TXT"), 6u);
    EXPECT_EQ(TextFileSize("none.txt"), 0u);
    std::vector<char> block(6, 'x');
    uint32_t size = 6;
    ASSERT_EQ(LoadTextFile("t.txt", block.data(), &size), block.data());
    EXPECT_STREQ(block.data(), "abcde");
    EXPECT_EQ(size, 5u);
    std::vector<char> small(4, 'x');
    size = 4;
    ASSERT_TRUE(LoadTextFile("t.txt", small.data(), &size));
    EXPECT_EQ(std::string(small.data()), "abc");
    EXPECT_EQ(LoadTextFile("none.txt", block.data(), &size), nullptr);
    char buf[3] = {};
    EXPECT_EQ(ReadWholeFile("t.txt", buf, 2), buf);
    EXPECT_EQ(std::string(buf), "ab");
    EXPECT_EQ(ReadWholeFile("none.txt", buf, 2), nullptr);
}

TEST(FontBuilder, RendersTheWindows1252Repertoire) {
    GlyphFace *face = osGlyphFaceOpen("Arial", 120);
    ASSERT_TRUE(face);
    EXPECT_STREQ(osGlyphFaceName(face), "DejaVu Sans");
    BitmapFont *alt = fontBuildFromFace(face, true, 1, 2);
    BitmapFont *half = fontBuildFromFace(face, false, 0, 0);
    GlyphTextMetrics tm;
    osGlyphTextMetrics(face, &tm);
    osGlyphFaceClose(face);
    ASSERT_TRUE(alt && half);
    const Surface *a = alt->glyph['A'];
    EXPECT_GT(a->height, 8);
    EXPECT_EQ(a->width % 2, 0);
    EXPECT_EQ(a->hotY, a->height);  // a capital sits on the baseline
    EXPECT_EQ(alt->lineHeight, tm.height + 2);
    EXPECT_EQ(half->lineHeight, (tm.height + 1) / 2);
    EXPECT_EQ(alt->advance[32], alt->advance['e']);
    EXPECT_NEAR(half->glyph['A']->height, (a->height + 1) / 2, 1);
    // Accented letters have pictures of their own; the code page's holes
    // and the control codes show the blank.
    for (int c : {0xE9, 0xE8, 0xE4, 0xF6, 0xFC, 0xDF, 0xC9, 0x80}) {
        EXPECT_NE(alt->glyph[c], alt->glyph[32]) << c;
        EXPECT_GT(alt->glyph[c]->height, 0) << c;
    }
    EXPECT_GT(alt->glyph[0xC9]->hotY, alt->glyph['E']->hotY);  // the accent rises above
    for (int c : {0x81, 0x8D, 0x8F, 0x90, 0x9D, 10})
        EXPECT_EQ(alt->glyph[c], alt->glyph[32]) << c;
    int maxV = 0;
    for (size_t i = 0; i < (size_t)a->width * a->height; ++i) maxV = std::max(maxV, (int)a->pixels[i]);
    EXPECT_EQ(maxV, 252);
    // Ink begins at the hotspot column.
    bool inkAtHotspot = false;
    for (int y = 0; y < a->height; ++y) inkAtHotspot |= a->pixels[y * a->width + a->hotX] > 144;
    EXPECT_TRUE(inkAtHotspot);
}

TEST(FontBuilder, ChooseUsesTheSetFaceAndNamesTheFile) {
    fontSetChoice("Courier New", 140);
    BitmapFont *f = fontBuildAlt(0, 0);
    ASSERT_TRUE(f);
    EXPECT_EQ(fontCurrent(), f);
    EXPECT_STREQ(fontChosenFileName(), "vek\\resource\\fonts\\Courier New14.fon");
    // A monospaced face: equal advances.
    EXPECT_EQ(f->glyph['i']->width, f->glyph['m']->width);
    setenv("RUVO_FONT_CHOICE", "Times New Roman Bold:120", 1);
    GlyphFace *face = fontChoose();
    unsetenv("RUVO_FONT_CHOICE");
    ASSERT_TRUE(face);
    EXPECT_STREQ(osGlyphFaceName(face), "DejaVu Serif Bold");
    EXPECT_STREQ(fontChosenFileName(), "vek\\resource\\fonts\\Times New Roman Bold12.fon");
    osGlyphFaceClose(face);
    fontSetChoice("DejaVu Sans", 100);
}

TEST(FontBuilder, ShowsTheGlyphsOnTheScreenAsTheyAreMade) {
    PixelDepth = 8, BytesPerPixel = 1;
    fontfix::Canvas c(640, 480, 1, 77);
    Surface saved = ScreenSurface;
    ScreenSurface = c.s;
    GlyphFace *face = osGlyphFaceOpen("DejaVu Sans", 120);
    ASSERT_TRUE(face);
    fontBuildFromFace(face, true, 0, 0);
    osGlyphFaceClose(face);
    ScreenSurface = saved;
    EXPECT_EQ(c.Count(77), 0);  // cleared to colour 0 first
    EXPECT_EQ(c.Ink(0, 0, 639, 19), 0);
    EXPECT_GT(c.Ink(20, 20, 639, 479), 500);
}

TEST(FontBuilder, Filters) {
    const uint8_t img[9] = {0, 0, 0, 0, 80, 0, 0, 0, 0};
    uint8_t out[9];
    fontFilterBlur3(img, out, 3, 3);
    EXPECT_EQ(out[4], 40);
    EXPECT_EQ(out[1], 10);
    EXPECT_EQ(out[0], 0);
    fontFilterBlur5(img, out, 3, 3);
    EXPECT_EQ(out[0], 3);
    const uint8_t b[2] = {255, 10};
    fontFilterAverage(b, b + 1, out, 1);
    EXPECT_EQ(out[0], 132);
}

// Runs with the data root as the working folder.
struct InDataRoot {
    std::filesystem::path old = std::filesystem::current_path();
    InDataRoot() { std::filesystem::current_path(fontfix::DataPath("")); }
    ~InDataRoot() { std::filesystem::current_path(old); }
};

TEST(SampleFonts, EveryNamedFontLoadsWithAccentedGlyphs) {
    InDataRoot root;
    const char *files[] = {"rfont.fon",  "bfont.fon",     "gfont.fon",     "midfont.fon", "consfont.fnt", "consfont1.fnt",
                           "consfont2.fnt", "hfont.fon", "dimfont.fon", "a2font.fon",  "a2dimfont.fon", "tiny.fnt"};
    for (const char *f : files) {
        std::string name = std::string("vek\\resource\\fonts\\") + f;
        LoadedFont l(name.c_str(), std::strstr(f, ".fon") != nullptr);
        ASSERT_TRUE(l.font) << f;
        EXPECT_GT(l.font->lineHeight, 4) << f;
        for (int c : {0xE9, 0xE8, 0xE4, 0xF6, 0xFC, 0xDF, 0xC9})
            EXPECT_NE(l.font->glyph[c], l.font->glyph[32]) << f << " " << c;
        // Glyph pictures keep 16 as their empty value.
        const Surface *g = l.font->glyph['M'];
        int empty = 0, ink = 0;
        for (size_t i = 0; i < (size_t)g->width * g->height; ++i) {
            empty += g->pixels[i] == 16;
            ink += g->pixels[i] > 16;
        }
        EXPECT_GT(empty, 0) << f;
        EXPECT_GT(ink, 0) << f;
    }
    // Through the resource manager, as the start-up scripts load them.
    ASSERT_GT(resmanInit(), 0u);
    struct {
        const char *name;
        uint32_t type;
    } resources[] = {{"vek\\resource\\fonts\\rfont.fon", ResFon2RFont},
                     {"\\vek\\resource\\fonts\\consfont.fnt", ResFnt2RFont},
                     {"vek\\resource\\fonts\\vfont.rvf", ResRvf2VFont}};
    for (auto &r : resources) {
        ResourceHandle *h = resmanRegisterLoad(r.name, r.type);
        ASSERT_TRUE(h && h->data) << r.name;
        if (r.type != ResRvf2VFont) {
            EXPECT_GT(((BitmapFont *)h->data)->glyph['A']->height, 4) << r.name;
        }
    }
    resmanShutdown();

    LoadedFont tiny("vek\\resource\\fonts\\tiny.fnt", false);
    ASSERT_TRUE(tiny.font);
    EXPECT_EQ(tiny.font->glyph['a']->width, tiny.font->glyph['A']->width);
    EXPECT_EQ(0, std::memcmp(tiny.font->glyph['a']->pixels, tiny.font->glyph['A']->pixels,
                             (size_t)tiny.font->glyph['A']->width * tiny.font->glyph['A']->height));
    EXPECT_EQ(tiny.font->glyph[130], tiny.font->glyph[32]);

    std::vector<uint8_t> block(VectorFontSize(nullptr));
    uint32_t size = (uint32_t)block.size();
    VectorFont *v = (VectorFont *)vfontLoad("vek\\resource\\fonts\\vfont.rvf", block.data(), &size);
    ASSERT_TRUE(v);
    EXPECT_NE(v->strokes['A'][0], 0);
    EXPECT_EQ(std::strlen((const char *)v->strokes['a']), std::strlen((const char *)v->strokes['A']));
}

TEST(SoundResource, FillsASlotOnlyWithSoundOn) {
    InDataRoot root;
    const char *wave = "vek\\resource\\sounds\\1.wav";
    uint32_t n = SoundResourceSize(wave);
    ASSERT_GE(n, sizeof(SoundSlot));
    std::vector<uint8_t> block(n + 4);
    uint8_t saved = SoundEnabled;
    SoundEnabled = 0;
    uint32_t size = n;
    EXPECT_EQ(LoadSoundResource(wave, block.data() + 4, &size), nullptr);
    SoundEnabled = 0xFF;
    size = n;
    SoundSlot *slot = (SoundSlot *)LoadSoundResource(wave, block.data() + 4, &size);
    ASSERT_TRUE(slot);
    EXPECT_EQ((uintptr_t)slot % alignof(SoundSlot), 0u);
    EXPECT_GT(slot->size, 0u);
    SoundRelease(slot);
    size = 8;
    EXPECT_EQ(LoadSoundResource(wave, block.data(), &size), nullptr);  // no room for a slot
    SoundEnabled = saved;
}

}  // namespace
