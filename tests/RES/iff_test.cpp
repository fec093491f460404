#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "RES/picture.h"
#include "RES/gfx2d.h"
#include "core/options.h"
#include "common/temp_dir.h"
#include "res_helpers.h"

using restest::WriteBytes;

namespace {

struct IffTest : ::testing::Test {
    ruvotest::TempDir dir;
    void SetUp() override { ResetOptions(); }
    void TearDown() override {
        ResetOptions();
        CurrentPalette = nullptr;
    }
};

std::vector<uint8_t> Palette() {
    std::vector<uint8_t> p(PaletteBytes, 0);
    for (int i = 0; i < 256; ++i) {
        p[i * 4] = uint8_t(i);
        p[i * 4 + 1] = uint8_t(i * 3);
        p[i * 4 + 2] = uint8_t(255 - i);
    }
    return p;
}

// FORM / PBM with the given chunks (id, data), lengths big-endian.
std::vector<uint8_t> Form(const char *kind, const std::vector<std::pair<const char *, std::vector<uint8_t>>> &chunks) {
    std::vector<uint8_t> body(kind, kind + 4);
    for (auto &[id, data] : chunks) {
        body.insert(body.end(), id, id + 4);
        uint32_t n = uint32_t(data.size());
        for (int s : {24, 16, 8, 0}) body.push_back(uint8_t(n >> s));
        body.insert(body.end(), data.begin(), data.end());
        if (n & 1) body.push_back(0);
    }
    std::vector<uint8_t> f = {'F', 'O', 'R', 'M', 0, 0, 0, 0};
    f.insert(f.end(), body.begin(), body.end());
    return f;
}

std::vector<uint8_t> Bmhd(uint16_t w, uint16_t h, uint8_t compression) {
    std::vector<uint8_t> b(20, 0);
    b[0] = uint8_t(w >> 8);
    b[1] = uint8_t(w);
    b[2] = uint8_t(h >> 8);
    b[3] = uint8_t(h);
    b[10] = compression;
    return b;
}

TEST_F(IffTest, RoundTripsRawPackedOddAndEvenAtBothDepths) {
    std::vector<uint8_t> pal = Palette();
    for (uint16_t w : {7, 8, 300}) {
        const uint16_t h = 5;
        std::vector<uint8_t> px(size_t(w) * h);
        for (size_t i = 0; i < px.size(); ++i) px[i] = uint8_t(i % 5 == 0 ? 17 : i * 31);
        for (bool packed : {false, true}) {
            ASSERT_TRUE(SaveIffPicture("p.bbm", px.data(), w, h, pal.data(), packed, 3, 4));
            for (int bpp : {1, 2}) {
                BytesPerPixel = uint16_t(bpp);
                CurrentPalette = bpp == 2 ? pal.data() : nullptr;
                uint32_t size = IffPictureSize("P.BBM");
                ASSERT_EQ(size, RasterHeaderBytes + px.size() * bpp);
                std::vector<uint8_t> block(size + 8, 0);
                uint32_t got = size;
                ASSERT_EQ(LoadIffPicture("p.bbm", block.data(), &got), block.data());
                EXPECT_EQ(got, size);
                Raster r;
                std::memcpy(&r, block.data(), sizeof r);
                EXPECT_EQ(r.width, w);
                EXPECT_EQ(r.height, h);
                EXPECT_EQ(r.hotspotX, 3);
                EXPECT_EQ(r.hotspotY, 4);
                EXPECT_EQ(r.pixels, block.data() + RasterHeaderBytes);
                for (size_t i = 0; i < px.size(); ++i) {
                    if (bpp == 1) {
                        ASSERT_EQ(r.pixels[i], px[i]) << w << " " << packed << " " << i;
                    } else {
                        uint16_t v;
                        std::memcpy(&v, r.pixels + 2 * i, 2);
                        ASSERT_EQ(v, PaletteRgb565(pal.data(), px[i]));
                    }
                }
            }
        }
    }
    BytesPerPixel = 1;
    std::vector<uint8_t> out(PaletteBytes, 0);
    uint32_t size = PaletteBytes;
    ASSERT_EQ(LoadIffPalette("p.bbm", out.data(), &size), out.data());
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(0, std::memcmp(&out[i * 4], &pal[i * 4], 3));
        EXPECT_EQ(out[i * 4 + 3], 0);
    }
}

TEST_F(IffTest, ByteRunEdgesPadBytesAndRefusals) {
    // -128 repeats 129 times; odd width 3 loses the pad byte of each row.
    std::vector<uint8_t> body = {0x80, 6};
    WriteBytes("r.bbm", Form("PBM ", {{"BMHD", Bmhd(129, 1, 1)}, {"BODY", body}}));
    std::vector<uint8_t> block(RasterHeaderBytes + 130, 0xEE);
    uint32_t size = RasterHeaderBytes + 129;
    ASSERT_NE(LoadIffPicture("r.bbm", block.data(), &size), nullptr);
    EXPECT_EQ(block[RasterHeaderBytes + 128], 6);
    EXPECT_EQ(block[RasterHeaderBytes + 129], 0xEE);

    WriteBytes("o.bbm", Form("PBM ", {{"BMHD", Bmhd(3, 2, 0)}, {"BODY", {1, 2, 3, 99, 4, 5, 6, 99}}}));
    std::vector<uint8_t> b2(RasterHeaderBytes + 6, 0);
    size = uint32_t(b2.size());
    ASSERT_NE(LoadIffPicture("o.bbm", b2.data(), &size), nullptr);
    EXPECT_EQ(std::vector<uint8_t>(b2.begin() + RasterHeaderBytes, b2.end()), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));

    // Not FORM / PBM, no BMHD, a chunk longer than the file, a block too small.
    WriteBytes("ilbm.bbm", Form("ILBM", {{"BMHD", Bmhd(2, 2, 0)}, {"BODY", {1, 2, 3, 4}}}));
    WriteBytes("nohd.bbm", Form("PBM ", {{"BODY", {1, 2, 3, 4}}}));
    std::vector<uint8_t> lying = Form("PBM ", {{"BMHD", Bmhd(4, 4, 0)}, {"BODY", {1, 2, 3, 4}}});
    lying[lying.size() - 7] = 0x7F;  // BODY claims 8 MB
    WriteBytes("lie.bbm", lying);
    for (const char *name : {"ilbm.bbm", "nohd.bbm", "missing.bbm"}) {
        size = uint32_t(b2.size());
        EXPECT_EQ(LoadIffPicture(name, b2.data(), &size), nullptr) << name;
        EXPECT_EQ(IffPictureSize(name), 0u) << name;
    }
    size = uint32_t(b2.size());  // 6 pixels of room for 16: cut, not overrun
    EXPECT_NE(LoadIffPicture("lie.bbm", b2.data(), &size), nullptr);
    EXPECT_EQ(b2[RasterHeaderBytes + 3], 4);
}

}  // namespace
