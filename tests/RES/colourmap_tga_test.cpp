#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <vector>

#include "RES/picture.h"
#include "core/options.h"
#include "common/temp_dir.h"
#include "res_helpers.h"

using restest::ReadBytes;
using restest::WriteBytes;

namespace {

struct FormatTest : ::testing::Test {
    ruvotest::TempDir dir;
    void SetUp() override { ResetOptions(); }
    void TearDown() override { ResetOptions(); }
};

TEST_F(FormatTest, ColourMapsAndRawPalettes) {
    std::vector<uint8_t> map(ColourMapBytes);
    for (size_t i = 0; i < map.size(); ++i) map[i] = uint8_t(i * 7 + (i >> 8));
    ASSERT_TRUE(SaveColourMap("map.cm", map.data()));
    EXPECT_EQ(ReadBytes("map.cm"), map);
    std::vector<uint8_t> block(ColourMapBytes, 0);
    uint32_t size = 0;
    ASSERT_EQ(LoadColourMap("MAP.CM", block.data(), &size), block.data());
    EXPECT_EQ(size, ColourMapBytes);
    EXPECT_EQ(block, map);
    // A short map fills what it holds; the rest of the block is 0.
    WriteBytes("short.cm", std::vector<uint8_t>(1000, 1));
    size = 0;
    ASSERT_EQ(LoadColourMap("short.cm", block.data(), &size), block.data());
    EXPECT_EQ(size, ColourMapBytes);
    EXPECT_EQ(block[999], 1);
    EXPECT_EQ(block[1000], 0);
    EXPECT_EQ(block[ColourMapBytes - 1], 0);
    // Only when nothing could be read is there no map.
    WriteBytes("empty.cm", {});
    EXPECT_EQ(LoadColourMap("empty.cm", block.data(), &size), nullptr);
    EXPECT_EQ(LoadColourMap("none.cm", block.data(), &size), nullptr);
    EXPECT_FALSE(SaveColourMap("no\\such\\folder\\x.cm", map.data()));

    uint8_t pal[PaletteBytes];
    std::memset(pal, 0xEE, sizeof pal);
    EXPECT_EQ(LoadRawPalette("map.cm", pal), pal);
    EXPECT_EQ(0, std::memcmp(pal, map.data(), 768));
    EXPECT_EQ(pal[768], 0xEE);  // only the first 768 bytes are the file's
    EXPECT_EQ(LoadRawPalette("short.cm", pal), pal);
    // A raw palette is refused only when its file does not open.
    WriteBytes("tiny.pal", {1, 2, 3});
    ASSERT_EQ(LoadRawPalette("tiny.pal", pal), pal);
    EXPECT_EQ(pal[2], 3);
    EXPECT_EQ(pal[3], 0);
    EXPECT_EQ(pal[767], 0);
    EXPECT_EQ(LoadRawPalette("empty.cm", pal), pal);
    EXPECT_EQ(LoadRawPalette("none.pal", pal), nullptr);
    EXPECT_EQ(RawPaletteSize(), PaletteBytes);
}

// A disc that fills part way through the save: the save says it failed and
// the map already there stays whole.
TEST_F(FormatTest, AColourMapCutShortBySaveIsAFailureAndTheOldMapStays) {
    std::vector<uint8_t> map(ColourMapBytes, 0x5A);
    ASSERT_TRUE(SaveColourMap("keep.cm", map.data()));
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    void (*oldSignal)(int) = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::vector<uint8_t> other(ColourMapBytes, 0x11);
    const bool saved = SaveColourMap("keep.cm", other.data());
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadBytes("keep.cm"), map);
}

TEST_F(FormatTest, FrameCapturesWriteBgrTgaAndQuarterSize) {
    std::filesystem::create_directory("caps");
    std::vector<uint16_t> px = {0xF800, 0x07E0, 0x001F, 0xFFFF,  // row 0
                                0x0821, 0x1042, 0x0000, 0x8410};
    Surface s{reinterpret_cast<uint8_t *>(px.data()), 4, 2, 0, 0, 8, 1};
    CaptureFrameTga("caps", &s);  // 8-bit surfaces capture nothing
    EXPECT_TRUE(std::filesystem::is_empty("caps"));

    s.bytesPerPixel = 2;
    CaptureFrameTga("caps", &s);
    optQuarter = 0xFF;
    CaptureFrameTga("caps", &s);
    auto files = std::vector<std::filesystem::path>(std::filesystem::directory_iterator("caps"), {});
    ASSERT_EQ(files.size(), 2u);
    std::sort(files.begin(), files.end());
    std::vector<uint8_t> full = ReadBytes(files[0].string());
    ASSERT_EQ(full.size(), 18u + 4 * 2 * 3);
    const uint8_t header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 2, 0, 24, 0x20};
    EXPECT_EQ(0, std::memcmp(full.data(), header, 18));
    EXPECT_EQ(std::vector<uint8_t>(full.begin() + 18, full.begin() + 24), (std::vector<uint8_t>{0, 0, 0xF8, 0, 0xFC, 0}));
    EXPECT_EQ(std::vector<uint8_t>(full.begin() + 30, full.begin() + 33), (std::vector<uint8_t>{8, 4, 8}));

    TgaImage *back = tgaLoad(files[0].string().c_str());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->width, 4);
    EXPECT_EQ(back->height, 2);
    EXPECT_EQ(back->rgb[0], 0xF8);
    EXPECT_EQ(back->rgb[3 * 5 + 1], 0x08);  // (1, 1) = 0x1042: green 0x08
    tgaFree(back);

    std::vector<uint8_t> quarter = ReadBytes(files[1].string());
    ASSERT_EQ(quarter.size(), 18u + 2 * 1 * 3);
    EXPECT_EQ(quarter[12], 2);
    EXPECT_EQ(quarter[14], 1);
    EXPECT_EQ(std::vector<uint8_t>(quarter.begin() + 18, quarter.end()), (std::vector<uint8_t>{0, 0, 0xF8, 0xF8, 0, 0}));
    EXPECT_NE(files[1].filename().string().find("t0000"), std::string::npos);
}

TEST_F(FormatTest, TgaReaderRefusesShortAndOddFiles) {
    std::vector<uint8_t> h(18, 0);
    h[2] = 2;
    h[12] = 200;
    h[14] = 200;
    h[16] = 24;
    WriteBytes("short.tga", h);
    EXPECT_EQ(tgaLoad("short.tga"), nullptr);
    h[2] = 1;  // colour-mapped
    WriteBytes("mapped.tga", h);
    EXPECT_EQ(tgaLoad("mapped.tga"), nullptr);
    // Run-length: one packet of 4 red pixels, bottom-left origin.
    std::vector<uint8_t> rle = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 24, 0, 0x83, 0, 0, 255};
    WriteBytes("rle.tga", rle);
    TgaImage *img = tgaLoad("rle.tga");
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(img->rgb[0], 255);
    EXPECT_EQ(img->rgb[9], 255);
    tgaFree(img);
}

}  // namespace
