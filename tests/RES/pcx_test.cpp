#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "RES/gfx2d.h"
#include "RES/picture.h"
#include "core/options.h"
#include "common/temp_dir.h"
#include "res_helpers.h"

using restest::PcxFile;
using restest::WriteBytes;

namespace {

struct PcxTest : ::testing::Test {
    ruvotest::TempDir dir;
    void SetUp() override {
        ResetOptions();
        CurrentPalette = nullptr;
    }
    void TearDown() override {
        ResetOptions();
        CurrentPalette = nullptr;
    }
};

std::vector<uint8_t> TestPixels(uint32_t w, uint32_t h) {
    std::vector<uint8_t> p(size_t(w) * h);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) p[y * w + x] = uint8_t(x < w / 2 ? 0xC0 + (y & 3) : (x * 7 + y * 13) & 0xFF);
    return p;
}

std::vector<uint8_t> TestPalette768() {
    std::vector<uint8_t> p(768);
    for (int i = 0; i < 768; ++i) p[i] = uint8_t(i * 5);
    return p;
}

TEST_F(PcxTest, SaveThenLoadAndDecodeAtBothDepths) {
    const uint32_t w = 70, h = 9;  // rows longer than one run of 63
    std::vector<uint8_t> pixels = TestPixels(w, h), pal = TestPalette768();
    PcxImage *image = MakePcxImage(nullptr, 0, pixels.data(), w, h, pal.data());
    pcxSave("pic.pcx", image);
    pcxFree(image);

    PcxImage *back = pcxLoad("PIC.PCX");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->width, w);
    EXPECT_EQ(back->height, h);
    EXPECT_EQ(back->paletteMarker, 12);
    EXPECT_EQ(0, std::memcmp(back->pixels, pixels.data(), pixels.size()));
    EXPECT_EQ(0, std::memcmp(back->palette, pal.data(), 768));
    pcxFree(back);

    for (int bpp : {1, 2}) {
        std::vector<uint8_t> out(w * h * bpp + 16, 0xEE);
        uint8_t palette[PaletteBytes];
        Raster r{};
        r.bytesPerPixel = uint16_t(bpp);
        ASSERT_TRUE(pcxDecode("pic.pcx", &r, palette, out.data(), w * h * bpp));
        EXPECT_EQ(r.width, w);
        EXPECT_EQ(r.height, h);
        EXPECT_EQ(r.pixels, out.data());
        EXPECT_EQ(palette[5 * 4 + 1], pal[5 * 3 + 1]);
        EXPECT_EQ(palette[5 * 4 + 3], 0);
        for (size_t i = 0; i < pixels.size(); ++i) {
            if (bpp == 1) {
                ASSERT_EQ(out[i], pixels[i]) << i;
            } else {
                uint16_t v;
                std::memcpy(&v, &out[2 * i], 2);
                ASSERT_EQ(v, PaletteRgb565(palette, pixels[i])) << i;
            }
        }
        EXPECT_EQ(out[w * h * bpp], 0xEE);  // nothing past the block
        BytesPerPixel = uint16_t(bpp);  // the converters' size is at the display's depth
        EXPECT_EQ(PcxRasterSize("pic.pcx"), RasterHeaderBytes + w * h * bpp);
    }
}

// At 16 bits an 8-bit picture takes its colours from the palette current
// now, as an IFF picture does, so it looks as it does at 8 bits; only with no
// palette set does its own palette colour it.
TEST_F(PcxTest, EightBitsAtSixteenThroughTheCurrentPalette) {
    const std::vector<uint8_t> pixels = {3, 200, 0x41, 0xC7};
    WriteBytes("p.pcx", PcxFile(4, 1, 1, {3, 0xC1, 200, 0x41, 0xC1, 0xC7}));  // the file's entry i = (i, 255 - i, i / 2)
    uint8_t current[PaletteBytes];
    for (int i = 0; i < 256; ++i) {
        current[4 * i] = uint8_t(255 - i);
        current[4 * i + 1] = uint8_t(i ^ 0x5A);
        current[4 * i + 2] = uint8_t(i);
        current[4 * i + 3] = 0;
    }
    for (const uint8_t *set : {static_cast<const uint8_t *>(current), static_cast<const uint8_t *>(nullptr)}) {
        CurrentPalette = set;
        std::vector<uint8_t> out(4 * 2);
        uint8_t own[PaletteBytes];
        Raster r{};
        r.bytesPerPixel = 2;
        ASSERT_TRUE(pcxDecode("p.pcx", &r, own, out.data(), out.size()));
        for (int x = 0; x < 4; ++x) {
            uint16_t v;
            std::memcpy(&v, &out[2 * x], 2);
            EXPECT_EQ(v, PaletteRgb565(set ? set : own, pixels[x])) << x << (set ? " current" : " own");
        }
        EXPECT_NE(PaletteRgb565(current, 3), PaletteRgb565(own, 3));  // the two palettes do differ
    }
}

TEST_F(PcxTest, RunCodesAndRowEnds) {
    struct Case {
        int w, h;
        std::vector<uint8_t> data;
        std::vector<uint8_t> expect;
        bool whole = true;
    } cases[] = {
        {3, 1, {0xC0, 0x55, 1, 2, 3}, {1, 2, 3}},           // count 0 writes nothing, eats its value
        {2, 2, {0xC3, 7, 8, 8}, {7, 7, 8, 8}},              // a run past the row end is cut there
        {4, 1, {0xC1, 0xC5, 0xC2, 9, 4}, {0xC5, 9, 9, 4}},  // escaped literal, then a run
        // Data ending early, without the palette that follows it: a file
        // cut short, refused.
        {3, 2, {1, 2, 3, 4}, {0, 0, 0, 0, 0, 0}, false},
    };
    for (auto &c : cases) {
        WriteBytes("c.pcx", PcxFile(c.w, c.h, 1, c.data, c.whole));
        std::vector<uint8_t> out(c.expect.size(), 0);
        Raster r{};
        EXPECT_EQ(pcxDecode("c.pcx", &r, nullptr, out.data(), out.size()), c.whole);
        EXPECT_EQ(out, c.expect);
    }
}

TEST_F(PcxTest, EncoderEscapesHighValuesAndCutsRunsAtRowsAnd63) {
    struct Case {
        std::vector<uint8_t> row;
        std::vector<uint8_t> code;
    } cases[] = {
        {{0xC0, 0xFF, 0x3F}, {0xC1, 0xC0, 0xC1, 0xFF, 0x3F}},
        {{5, 5, 5, 6}, {0xC3, 5, 6}},
        {{0xD0, 0xD0}, {0xC2, 0xD0}},
    };
    uint8_t out[256];
    for (auto &c : cases) {
        size_t n = pcxEncodeRow(c.row.data(), uint32_t(c.row.size()), out);
        EXPECT_EQ(std::vector<uint8_t>(out, out + n), c.code);
    }
    std::vector<uint8_t> longRun(100, 9);
    size_t n = pcxEncodeRow(longRun.data(), 100, out);
    EXPECT_EQ(std::vector<uint8_t>(out, out + n), (std::vector<uint8_t>{0xFF, 9, 0xC0 | 37, 9}));
}

TEST_F(PcxTest, MadeImagesEncodeGrowAndOwnership) {
    const uint32_t w = 40, h = 30;
    std::vector<uint8_t> pixels(w * h);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint8_t(0xC0 | (i % 64));  // every pixel escaped: 2x size
    std::vector<uint8_t> pal = TestPalette768();
    PcxImage *image = MakePcxImage(nullptr, PcxFlagEncoded, pixels.data(), w, h, pal.data());
    EXPECT_EQ(image->flags, PcxFlagEncoded | PcxFlagOwn | PcxFlagSharedPalette);
    EXPECT_EQ(image->encodedSize, w * h * 2);
    EXPECT_EQ(image->header[8], w - 1);
    EXPECT_EQ(image->header[66], w);
    PcxImage *copy = pcxCopy(image);
    EXPECT_NE(copy->palette, image->palette);
    pcxSave("enc.pcx", copy);
    pcxFree(image);  // the shared palette stays with its owner
    EXPECT_EQ(pal[3], 15);
    pcxFree(copy);
    PcxImage *back = pcxLoad("enc.pcx");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(0, std::memcmp(back->pixels, pixels.data(), pixels.size()));
    pcxFree(back);
}

TEST_F(PcxTest, TwentyFourBitPicturesAreCentredAndClipped) {
    // 2 x 2 picture, three planes per row.
    std::vector<uint8_t> data = {0xC1, 0xF8, 0x00, 0xC1, 0xFC, 0x00, 0x00, 0xC1, 0xF8,  // row 0: r r g g b b
                                 0x08, 0x10, 0x04, 0x08, 0x08, 0x10};
    WriteBytes("t.pcx", PcxFile(2, 2, 3, data, false));
    Raster r{};
    std::vector<uint8_t> out(8 * 4 * 2, 0);
    r.bytesPerPixel = 1;
    EXPECT_FALSE(pcxDecode("t.pcx", &r, nullptr, out.data(), out.size()));  // not at 8 bits

    r.bytesPerPixel = 2;
    r.pitch = 8 * 2;  // area 8 x 4: the picture lands at (3, 1)
    ASSERT_TRUE(pcxDecode("t.pcx", &r, nullptr, out.data(), out.size()));
    auto at = [&](int x, int y) {
        uint16_t v;
        std::memcpy(&v, &out[y * 16 + x * 2], 2);
        return v;
    };
    EXPECT_EQ(at(3, 1), 0xFFE0);
    EXPECT_EQ(at(4, 1), 0x001F);
    EXPECT_EQ(at(3, 2), 0x0821);
    EXPECT_EQ(at(4, 2), 0x1042);
    EXPECT_EQ(at(2, 1), 0);
    EXPECT_EQ(at(3, 0), 0);
    EXPECT_EQ(r.width, 2);

    // An area smaller than the picture shows its middle and nothing beyond.
    std::vector<uint8_t> tiny(2, 0);
    r.pitch = 2;
    ASSERT_TRUE(pcxDecode("t.pcx", &r, nullptr, tiny.data(), tiny.size()));
    EXPECT_EQ(tiny[0] | tiny[1] << 8, 0xFFE0);
}

TEST_F(PcxTest, LyingHeadersFailWithoutHugeWork) {
    // 65535 x 65535 promised, a few bytes given.
    WriteBytes("big.pcx", PcxFile(65535, 65535, 1, {1, 2, 3}, false));
    EXPECT_EQ(pcxLoad("big.pcx"), nullptr);
    EXPECT_EQ(PcxRasterSize("big.pcx"), 0u);
    std::vector<uint8_t> out(64, 0);
    Raster r{};
    EXPECT_FALSE(pcxDecode("big.pcx", &r, nullptr, out.data(), out.size()));
    // Reversed bounds, short headers, missing files.
    std::vector<uint8_t> reversed = PcxFile(4, 4, 1, {});
    reversed[8] = 0;
    reversed[4] = 5;
    WriteBytes("rev.pcx", reversed);
    EXPECT_FALSE(pcxDecode("rev.pcx", &r, nullptr, out.data(), out.size()));
    WriteBytes("short.pcx", std::vector<uint8_t>(100, 10));
    EXPECT_FALSE(pcxDecode("short.pcx", &r, nullptr, out.data(), out.size()));
    EXPECT_EQ(PcxRasterSize("short.pcx"), 0u);
    EXPECT_FALSE(pcxDecode("none.pcx", &r, nullptr, out.data(), out.size()));
    EXPECT_EQ(pcxLoad("none.pcx"), nullptr);
    uint32_t size = PaletteBytes;
    uint8_t pal[PaletteBytes];
    EXPECT_EQ(pcxLoadPalette("short.pcx", pal, &size), nullptr);
}

// Whole-picture loads say what they load, and what they could not open, in
// the debug log: the game has no console to print to.
TEST_F(PcxTest, LoadsAreToldToTheDebugLog) {
    EXPECT_EQ(pcxLoad("none.pcx"), nullptr);
    WriteBytes("one.pcx", PcxFile(1, 1, 1, {7}));
    pcxFree(pcxLoad("one.pcx"));
    const std::vector<uint8_t> log = restest::ReadBytes("debug.txt");
    const std::string text(log.begin(), log.end());
    EXPECT_NE(text.find("Unable to open file none.pcx \r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Loading one.pcx ... \r\n"), std::string::npos) << text;
}


// The generated front-end pictures load and save back byte for byte.
TEST_F(PcxTest, SampleFrontPicturesSaveBackUnchanged) {
    const char *root = std::getenv("RUVO_DATA");
    ASSERT_NE(root, nullptr);
    for (const char *name : {"front.pcx", "frontwide.pcx"}) {
        const std::vector<uint8_t> bytes = restest::ReadBytes(std::string(root) + "/vek/resource/art/" + name);
        ASSERT_GT(bytes.size(), 128u) << name;
        WriteBytes("in.pcx", bytes);
        PcxImage *image = pcxLoad("in.pcx");
        ASSERT_NE(image, nullptr) << name;
        pcxSave("out.pcx", image);
        pcxFree(image);
        EXPECT_EQ(restest::ReadBytes("out.pcx"), bytes) << name;
    }
}

}  // namespace
