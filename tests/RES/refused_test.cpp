// Every reader of a game file that opens a file it cannot use (cut short,
// empty, or bytes of no format) says so: one "debug.txt" line naming the file
// and what was wrong with it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "RES/font.h"
#include "RES/picture.h"
#include "common/temp_dir.h"
#include "core/files.h"
#include "core/options.h"
#include "font_fixture.h"
#include "res_helpers.h"

using restest::ReadBytes;
using restest::WriteBytes;

namespace {

struct RefusedFiles : testing::Test {
    ruvotest::TempDir dir;
    void SetUp() override { ResetOptions(); }
    void TearDown() override { ResetOptions(); }

    // The debug log's lines that refuse `name`.
    static int Refusals(const std::string &name, std::string *text = nullptr) {
        const std::vector<uint8_t> log = ReadBytes("debug.txt");
        const std::string all(log.begin(), log.end()), mark = "Refused data file " + name + ": ";
        int n = 0;
        for (size_t at = all.find(mark); at != std::string::npos; at = all.find(mark, at + 1)) ++n;
        if (text) *text = all;
        return n;
    }
};

std::vector<uint8_t> Junk(size_t n) {
    std::vector<uint8_t> v(n);
    uint32_t x = 12345;
    for (auto &b : v) b = uint8_t((x = x * 1103515245u + 12345u) >> 16);
    return v;
}

TEST_F(RefusedFiles, EachReaderNamesTheFileAndWhy) {
    // Good files to damage.
    std::vector<uint8_t> pixels(16 * 8, 77), palette(1024, 9);
    PcxImage *pcx = MakePcxImage(nullptr, PcxFlagEncoded, pixels.data(), 16, 8, palette.data());
    ASSERT_TRUE(pcxSave("good.pcx", pcx));
    pcxFree(pcx);
    ASSERT_TRUE(SaveIffPicture("good.bbm", pixels.data(), 16, 8, palette.data(), true, 0, 0));
    std::vector<uint8_t> bgr(16 * 8 * 3, 5);
    ASSERT_TRUE(tgaSaveCapture("good.tga", 16, 8, bgr.data()));
    fontfix::TestFont font;
    fontfix::MakeBoxFont(font);
    ASSERT_TRUE(fontMake("good.fnt", &font.font));
    ASSERT_TRUE(SaveBitmapFont("good.fon", &font.font));

    std::vector<uint8_t> block(1 << 20);
    uint32_t size = 0;
    struct Reader {
        const char *good;
        std::function<bool(const char *)> use;  // true when the file was used
    } readers[] = {
        {"good.pcx", [&](const char *n) { Raster r{}; return pcxDecode(n, &r, nullptr, block.data(), block.size()); }},
        {"good.pcx", [&](const char *n) { return PcxRasterSize(n) != 0; }},
        {"good.pcx", [&](const char *n) {
             PcxImage *i = pcxLoad(n);
             pcxFree(i);
             return i != nullptr;
         }},
        {"good.bbm", [&](const char *n) { return (size = uint32_t(block.size()), LoadIffPicture(n, block.data(), &size)); }},
        {"good.bbm", [&](const char *n) { return IffPictureSize(n) != 0; }},
        {"good.bbm", [&](const char *n) { return (size = PaletteBytes, LoadIffPalette(n, block.data(), &size)); }},
        {"good.tga", [&](const char *n) {
             TgaImage *i = tgaLoad(n);
             tgaFree(i);
             return i != nullptr;
         }},
        {"good.fnt", [&](const char *n) { return (size = uint32_t(block.size()), LoadFntFont(n, block.data(), &size)); }},
        {"good.fon", [&](const char *n) { return (size = uint32_t(block.size()), LoadFonFont(n, block.data(), &size)); }},
    };
    for (const Reader &r : readers) {
        const std::vector<uint8_t> good = ReadBytes(r.good);
        ASSERT_TRUE(r.use(r.good)) << r.good;
        const std::vector<uint8_t> damaged[] = {{}, std::vector<uint8_t>(good.begin(), good.begin() + 20), Junk(300)};
        for (const std::vector<uint8_t> &bytes : damaged) {
            std::remove("debug.txt");
            WriteBytes("bad.dat", bytes);
            std::string log;
            EXPECT_FALSE(r.use("bad.dat")) << r.good << " " << bytes.size();
            EXPECT_EQ(Refusals("bad.dat", &log), 1) << r.good << " " << bytes.size() << ":\n" << log;
        }
        // A missing file is no damaged file: its callers say what they need.
        std::remove("debug.txt");
        r.use("none.dat");
        EXPECT_EQ(Refusals("none.dat"), 0) << r.good;
    }
}

TEST_F(RefusedFiles, TooLongForItsReader) {
    WriteBytes("huge.txt", std::vector<uint8_t>(100, 'x'));
    uint8_t *data;
    size_t size;
    EXPECT_FALSE(ReadGameFile("huge.txt", &data, &size, 99));
    std::string log;
    EXPECT_EQ(Refusals("huge.txt", &log), 1);
    EXPECT_NE(log.find("huge.txt: longer than 99 bytes"), std::string::npos) << log;
}

TEST_F(RefusedFiles, AVectorFontOfNoStrokes) {
    WriteBytes("bad.vf", Junk(200));
    std::vector<uint8_t> block(kVectorFontBlockSize);
    uint32_t size = uint32_t(block.size());
    EXPECT_EQ(vfontLoad("bad.vf", block.data(), &size), nullptr);
    EXPECT_EQ(Refusals("bad.vf"), 1);
}

}  // namespace
