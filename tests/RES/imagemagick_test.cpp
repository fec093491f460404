// Pictures written by another program (ImageMagick) load with the right size
// and pixels.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "RES/picture.h"
#include "core/options.h"
#include "common/temp_dir.h"
#include "res_helpers.h"

namespace {

constexpr const char *kConvert = "/usr/bin/convert";
constexpr int W = 8, H = 6;  // PCX rows of an even width carry no pad byte

uint8_t Channel(int x, int y, int c) {
    static const uint8_t kLevels[4] = {0, 85, 170, 255};
    return kLevels[(x * (c + 1) + y * (3 - c)) & 3];
}

struct ImageMagickTest : ::testing::Test {
    ruvotest::TempDir dir;
    void SetUp() override {
        if (access(kConvert, X_OK) != 0) GTEST_SKIP() << "ImageMagick is not installed";
        ResetOptions();
        std::vector<uint8_t> ppm;
        std::string head = "P6\n" + std::to_string(W) + " " + std::to_string(H) + "\n255\n";
        ppm.assign(head.begin(), head.end());
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                for (int c = 0; c < 3; ++c) ppm.push_back(Channel(x, y, c));
        restest::WriteBytes("in.ppm", ppm);
    }
    void TearDown() override { ResetOptions(); }
    static bool Convert(const std::string &args) {
        return std::system((std::string(kConvert) + " " + args + " >/dev/null 2>&1").c_str()) == 0;
    }
};

TEST_F(ImageMagickTest, EightBitPcx) {
    ASSERT_TRUE(Convert("in.ppm -type Palette -colors 256 PCX:im8.pcx"));
    PcxImage *image = pcxLoad("im8.pcx");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, uint32_t(W));
    EXPECT_EQ(image->height, uint32_t(H));
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(image->palette[image->pixels[y * W + x] * 3 + c], Channel(x, y, c)) << x << "," << y;
    pcxFree(image);
}

TEST_F(ImageMagickTest, TwentyFourBitPcxAtSixteenBits) {
    ASSERT_TRUE(Convert("in.ppm -type TrueColor PCX:im24.pcx"));
    std::vector<uint8_t> out(W * H * 2, 0);
    Raster r{};
    r.bytesPerPixel = 2;
    ASSERT_TRUE(pcxDecode("im24.pcx", &r, nullptr, out.data(), out.size()));
    EXPECT_EQ(r.width, W);
    EXPECT_EQ(r.height, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            uint16_t v;
            std::memcpy(&v, &out[(y * W + x) * 2], 2);
            uint16_t want = uint16_t(((Channel(x, y, 0) & 0xF8) << 8) + ((Channel(x, y, 1) & 0xFC) << 3) +
                                     (Channel(x, y, 2) >> 3));
            ASSERT_EQ(v, want) << x << "," << y;
        }
}

TEST_F(ImageMagickTest, TgaRawAndRunLength) {
    // This ImageMagick writes rows top first whatever origin it declares, so
    // the origin is stated.
    for (const char *args : {"in.ppm -orient TopLeft TGA:im.tga", "in.ppm -orient TopLeft -compress RLE TGA:im.tga"}) {
        ASSERT_TRUE(Convert(args));
        TgaImage *image = tgaLoad("im.tga");
        ASSERT_NE(image, nullptr) << args;
        EXPECT_EQ(image->width, W);
        EXPECT_EQ(image->height, H);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                for (int c = 0; c < 3; ++c) ASSERT_EQ(image->rgb[(y * W + x) * 3 + c], Channel(x, y, c)) << args;
        tgaFree(image);
    }
}

}  // namespace
