// Screenshots: numbered files that never replace earlier ones, PCX at 8 bits
// and TGA frames at 16, and a clean failure when the folder can't be written.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "RES/picture.h"
#include "common/temp_dir.h"
#include "gfx_fixture.h"

using namespace gfxtest;
namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadFile(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

unsigned Le16(const std::vector<uint8_t> &b, size_t at) { return b[at] | (b[at + 1] << 8); }

// Decodes the run-length data of an 8-bit PCX of the given size.
std::vector<uint8_t> DecodePcx(const std::vector<uint8_t> &f, int w, int h) {
    std::vector<uint8_t> out;
    size_t i = 128;
    while (out.size() < size_t(w) * h && i < f.size()) {
        uint8_t b = f[i++];
        if ((b & 0xC0) == 0xC0) {
            uint8_t v = f[i++];
            out.insert(out.end(), b & 0x3F, v);
        } else {
            out.push_back(b);
        }
    }
    return out;
}

const char kFolder[] = "vek/resource/art/screens";

class Screenshot : public testing::Test {
protected:
    ruvotest::TempDir dir;
    void SetUp() override { ResetScreenshots(); }
    void TearDown() override {
        ResetScreenshots();
        SetDepth(8);
    }
};

// The screenshots' header picture: a PCX whose header says 320 x 200 dots.
void MakeHeaderPicture() {
    fs::create_directories(kFolder);
    uint8_t header[128] = {10, 5, 1, 8};
    header[12] = 320 & 0xFF, header[13] = 320 >> 8, header[14] = 200, header[65] = 1;
    uint8_t pixel = 0, palette[768];
    for (int i = 0; i < 768; i++) palette[i] = uint8_t(255 - i / 3);
    PcxImage *image = MakePcxImage(header, 0, &pixel, 1, 1, palette);
    ASSERT_TRUE(pcxSave("vek\\resource\\art\\screens\\header.pcx", image));
    pcxFree(image);
}

TEST_F(Screenshot, PcxNumberedWithoutOverwriting) {
    SetDepth(8);
    MakeHeaderPicture();
    Canvas cv(16, 8, 1);
    for (int i = 0; i < 128; i++) cv.bytes[i] = uint8_t(i < 64 ? 7 : 190 + i % 5);
    ASSERT_TRUE(SaveScreenshotPcx(&cv.s));
    ASSERT_TRUE(SaveScreenshotPcx(&cv.s));
    auto f = ReadFile(fs::path(kFolder) / "t00000.pcx");
    ASSERT_GT(f.size(), 128u + 769u);
    EXPECT_EQ(f[0], 10);
    EXPECT_EQ(f[3], 8);
    EXPECT_EQ(Le16(f, 8), 15u);
    EXPECT_EQ(Le16(f, 10), 7u);
    EXPECT_EQ(Le16(f, 12), 320u);  // the header picture's header
    EXPECT_EQ(DecodePcx(f, 16, 8), cv.bytes);
    EXPECT_EQ(f[f.size() - 769], 12);
    EXPECT_EQ(f[f.size() - 768 + 3 * 200 + 1], 255 - 200);  // green of entry 200
    EXPECT_TRUE(fs::exists(fs::path(kFolder) / "t00001.pcx"));
    // A new run numbers from 0 again, but steps over the files already there.
    auto before = ReadFile(fs::path(kFolder) / "t00000.pcx");
    ResetScreenshots();
    Canvas other(16, 8, 1, 3);
    ASSERT_TRUE(SaveScreenshotPcx(&other.s));
    EXPECT_EQ(ReadFile(fs::path(kFolder) / "t00000.pcx"), before);
    EXPECT_TRUE(fs::exists(fs::path(kFolder) / "t00002.pcx"));
}

// Without the header picture there is no screenshot (and no file); with it,
// and no palette set, the picture's own palette goes into the file.
TEST_F(Screenshot, NoneWithoutTheHeaderPicture) {
    SetDepth(8);
    fs::create_directories(kFolder);
    Canvas cv(4, 4, 1, 9);
    EXPECT_FALSE(SaveScreenshotPcx(&cv.s));
    EXPECT_TRUE(fs::is_empty(kFolder));
    ResetScreenshots();  // a new run looks for the picture again
    MakeHeaderPicture();
    CurrentPalette = nullptr;
    ASSERT_TRUE(SaveScreenshotPcx(&cv.s));
    auto f = ReadFile(fs::path(kFolder) / "t00000.pcx");
    ASSERT_GT(f.size(), 768u);
    EXPECT_EQ(f[f.size() - 768 + 3 * 9], 255 - 9);  // entry 9 of the picture's palette
}

TEST_F(Screenshot, TgaFrameAtSixteenBits) {
    SetDepth(16);
    fs::create_directories(kFolder);
    Canvas cv(5, 3, 2);
    cv.Set(0, 0, 0xF800);
    cv.Set(4, 2, 0x07E0 | 0x001F);
    ASSERT_TRUE(SaveScreenshotPcx(&cv.s));
    auto f = ReadFile(fs::path(kFolder) / "t00000.tga");
    ASSERT_EQ(f.size(), 18u + 5 * 3 * 3);
    EXPECT_EQ(f[2], 2);
    EXPECT_EQ(Le16(f, 12), 5u);
    EXPECT_EQ(Le16(f, 14), 3u);
    EXPECT_EQ(f[16], 24);
    EXPECT_EQ(f[17], 0x20);
    EXPECT_EQ(f[18 + 2], 0xF8);  // red of the first pixel, after blue and green
    size_t last = 18 + (2 * 5 + 4) * 3;
    EXPECT_EQ(f[last], 0xF8);      // blue
    EXPECT_EQ(f[last + 1], 0xFC);  // green
    EXPECT_EQ(f[last + 2], 0);
}

TEST_F(Screenshot, FailsCleanlyWhenTheFolderCannotBeWritten) {
    SetDepth(8);
    Canvas cv(4, 4, 1);
    EXPECT_FALSE(SaveScreenshotPcx(&cv.s));  // no folder at all
    fs::create_directories("vek/resource/art");
    std::ofstream(kFolder) << "a file where the folder should be";
    EXPECT_FALSE(SaveScreenshotPcx(&cv.s));
    SetDepth(16);
    Canvas wide(4, 4, 2);
    EXPECT_FALSE(SaveScreenshotPcx(&wide.s));
}

}  // namespace

namespace {

TEST_F(Screenshot, SurfaceAsPcxWithTheStandardPicturesHeader) {
    SetDepth(8);
    Canvas cv(10, 3, 1);
    for (int i = 0; i < 30; i++) cv.bytes[i] = uint8_t(i * 9);
    // Without "tovstd.pcx": the default header and the current palette.
    ASSERT_TRUE(SaveSurfacePcx(&cv.s, "out.pcx"));
    auto f = ReadFile("out.pcx");
    EXPECT_EQ(Le16(f, 12), 640u);  // horizontal resolution of the default header
    EXPECT_EQ(DecodePcx(f, 10, 3), cv.bytes);
    // With it: its header fields (here a resolution of 300) and its palette.
    ResetScreenshots();
    fs::create_directories("vek/resource/art");
    std::vector<uint8_t> pic(128 + 1 + 1 + 768, 0);
    pic[0] = 10, pic[1] = 5, pic[2] = 1, pic[3] = 8, pic[12] = 300 & 0xFF, pic[13] = 300 >> 8;
    pic[128] = 0x00;
    pic[129] = 12;
    for (int i = 0; i < 768; i++) pic[130 + i] = uint8_t(255 - i % 256);
    std::ofstream("vek/resource/art/tovstd.pcx", std::ios::binary)
        .write(reinterpret_cast<const char *>(pic.data()), std::streamsize(pic.size()));
    ASSERT_TRUE(SaveSurfacePcx(&cv.s, "out2.pcx"));
    auto g = ReadFile("out2.pcx");
    EXPECT_EQ(Le16(g, 12), 300u);
    EXPECT_EQ(Le16(g, 8), 9u);
    EXPECT_EQ(DecodePcx(g, 10, 3), cv.bytes);
    EXPECT_TRUE(std::equal(g.end() - 768, g.end(), pic.end() - 768));
}

TEST(RowOffsets, ScreenPixelsThroughTheRowTable) {
    SetDepth(16);
    Canvas cv(6, 4, 2);
    cv.s.pitch = 12;
    RowOffsetSurface = &cv.s;
    BuildRowOffsetTable();
    EXPECT_EQ(RowOffsets[3], 36u);
    PutScreenPixel16(0xBEEF, 5, 3);
    EXPECT_EQ(cv.At(5, 3), 0xBEEFu);
    PutScreenPixel16(0x1234, 6, 3);  // one past the right edge
    PutScreenPixel16(0x1234, 0, 4);  // one past the bottom
    EXPECT_EQ(cv.Count(0x1234), 0);
    SetDepth(8);
    Canvas c8(6, 4, 1);
    RowOffsetSurface = &c8.s;
    BuildRowOffsetTable();
    PutScreenPixel8(77, 2, 1);
    EXPECT_EQ(c8.At(2, 1), 77u);
    RowOffsetSurface = nullptr;
}

}  // namespace
