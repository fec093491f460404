// Pixelmap datafiles: round trips in both forms, maps, and malformed files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/temp_dir.h"
#include "render/file/datafile.h"
#include "render/pmap/pixelmap.h"
#include "tests/render/vt_fixture.h"

namespace {

using vttest::readFileBytes;
using vttest::writeFileBytes;

using vttest::Diag;
using vttest::VtTest;

class VtPixelmapFile : public VtTest {
protected:
    ruvotest::TempDir dir;
    void TearDown() override {
        VtWriteModeSet(0);
        VtTest::TearDown();
    }
};

std::vector<vt_uint_32> pixelsOf(vt_pixelmap *pm) {
    std::vector<vt_uint_32> v;
    for (int y = 0; y < pm->height; y++)
        for (int x = 0; x < pm->width; x++)
            v.push_back(VtPixelmapPixelGet(pm, x - pm->origin_x, y - pm->origin_y));
    return v;
}

vt_pixelmap *pattern(vt_uint_8 type, int w, int h, int flags = 0) {
    vt_pixelmap *pm = VtPixelmapAllocate(type, w, h, nullptr, flags);
    const int b = VtPixelmapTypeBytes(type);
    const vt_uint_32 mask = b == 4 ? 0xffffffffu : (1u << (8 * b)) - 1;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            VtPixelmapPixelSet(pm, x, y, (0x9E3779B9u * vt_uint_32(y * w + x + 1)) & mask);
    return pm;
}

TEST_F(VtPixelmapFile, RoundTripsInBothForms) {
    const vt_uint_8 types[] = {VT_PMT_INDEX_8,  VT_PMT_RGB_555,   VT_PMT_RGB_565,  VT_PMT_RGB_888,
                               VT_PMT_RGBX_888, VT_PMT_RGBA_8888, VT_PMT_DEPTH_16, VT_PMT_DEPTH_32,
                               VT_PMT_ALPHA_8,  VT_PMT_INDEXA_88, VT_PMT_ARGB_4444, VT_PMT_DEPTH_8};
    for (int text : {0, 1}) {
        VtWriteModeSet(text);
        for (vt_uint_8 t : types) {
            vt_pixelmap *pm = pattern(t, 5, 3, t == VT_PMT_RGB_888 ? VT_PMAF_INVERTED : 0);
            pm->identifier = "picture";
            pm->origin_x = -2;
            pm->origin_y = 7;
            ASSERT_EQ(VtPixelmapSave("a.pix", pm), 1u) << int(t);
            vt_pixelmap *back = VtPixelmapLoad("a.pix");
            ASSERT_NE(back, nullptr) << int(t) << (text ? " text" : " binary");
            EXPECT_EQ(back->type, t);
            EXPECT_EQ(back->width, 5);
            EXPECT_EQ(back->height, 3);
            EXPECT_EQ(back->origin_x, -2);
            EXPECT_EQ(back->origin_y, 7);
            EXPECT_STREQ(back->identifier, "picture");
            EXPECT_EQ(pixelsOf(back), pixelsOf(pm)) << int(t);
            // Saved again, the same bytes.
            ASSERT_EQ(VtPixelmapSave("b.pix", back), 1u);
            EXPECT_EQ(readFileBytes("a.pix"), readFileBytes("b.pix")) << int(t);
            VtPixelmapFree(back);
            VtPixelmapFree(pm);
        }
    }
    EXPECT_TRUE(Diag::failures.empty()) << Diag::failures.front();
}

TEST_F(VtPixelmapFile, MapComesBackAttached) {
    vt_pixelmap *palette = pattern(VT_PMT_RGBX_888, 1, 256);
    palette->identifier = "palette";
    vt_pixelmap *pm = pattern(VT_PMT_INDEX_8, 16, 8);
    pm->map = palette;
    ASSERT_EQ(VtPixelmapSave("m.pix", pm), 1u);
    vt_pixelmap *back = VtPixelmapLoad("m.pix");
    ASSERT_NE(back, nullptr);
    ASSERT_NE(back->map, nullptr);
    EXPECT_TRUE(VtResIsChild(back, back->map));
    EXPECT_STREQ(back->map->identifier, "palette");
    EXPECT_EQ(pixelsOf(back->map), pixelsOf(palette));
    EXPECT_EQ(pixelsOf(back), pixelsOf(pm));
    vt_pixelmap *many[4] = {};
    EXPECT_EQ(VtPixelmapLoadMany("m.pix", many, 4), 1u);
    VtPixelmapFree(many[0]);
    VtPixelmapFree(back); // takes its map with it
    VtPixelmapFree(pm);
    VtPixelmapFree(palette);
}

TEST_F(VtPixelmapFile, SubPixelmapsSaveTheirOwnPixels) {
    vt_pixelmap *pm = pattern(VT_PMT_RGB_565, 9, 6);
    vt_pixelmap *sub = VtPixelmapAllocateSub(pm, 2, 1, 4, 3);
    ASSERT_EQ(VtPixelmapSave("s.pix", sub), 1u);
    vt_pixelmap *back = VtPixelmapLoad("s.pix");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(pixelsOf(back), pixelsOf(sub));
    VtPixelmapFree(back);
    VtPixelmapFree(sub);
    VtPixelmapFree(pm);
    // Packed types have no file form of their memory rows.
    vt_pixelmap *nibbles = VtPixelmapAllocate(VT_PMT_INDEX_4, 8, 2, nullptr, 0);
    EXPECT_EQ(VtPixelmapSave("n.pix", nibbles), 0u);
    VtPixelmapFree(nibbles);
    EXPECT_EQ(VtPixelmapSave("/no/such/folder/x.pix", pattern(VT_PMT_INDEX_8, 1, 1)), 0u);
}

TEST_F(VtPixelmapFile, MalformedFilesFailToLoad) {
    vt_pixelmap *pm = pattern(VT_PMT_INDEX_8, 4, 3);
    pm->identifier = "x";
    ASSERT_EQ(VtPixelmapSave("good.pix", pm), 1u);
    VtPixelmapFree(pm);
    const std::string good = readFileBytes("good.pix");
    // FILE_INFO (16 bytes), then chunk 61: header, type, row_bytes, width,
    // height (big-endian).
    const size_t typeAt = 24, widthAt = 27, heightAt = 29;
    ASSERT_EQ(vt_uint_8(good[typeAt]), VT_PMT_INDEX_8);
    ASSERT_EQ(vt_uint_8(good[heightAt + 1]), 3);
    struct Case {
        const char *what;
        size_t at;
        vt_uint_8 value;
    } cases[] = {
        {"type outside the table", typeAt, 30},
        {"type 255", typeAt, 255},
        {"packed type", typeAt, VT_PMT_INDEX_4},
        {"taller than its pixels", heightAt + 1, 4},
        {"wider than its pixels", widthAt + 1, 5},
        {"shorter than its pixels", heightAt + 1, 2},
        {"much wider", widthAt, 0x7f},
    };
    for (const Case &c : cases) {
        std::string bad = good;
        bad[c.at] = char(c.value);
        writeFileBytes("bad.pix", bad);
        EXPECT_EQ(VtPixelmapLoad("bad.pix"), nullptr) << c.what;
    }
    for (size_t cut = 1; cut < good.size(); cut += 3) {
        writeFileBytes("cut.pix", good.substr(0, cut));
        if (vt_pixelmap *p = VtPixelmapLoad("cut.pix"))
            VtPixelmapFree(p);
    }
    EXPECT_EQ(VtPixelmapLoad("missing.pix"), nullptr);
}

TEST_F(VtPixelmapFile, SampleDataLoadsBack) {
    const char *root = getenv("RUVO_DATA");
    ASSERT_NE(root, nullptr);
    struct Case {
        const char *file;
        vt_uint_8 type;
        int width, height;
        bool map;
    } cases[] = {
        {"vantor/dat/tovstdbr.pal", VT_PMT_RGBX_888, 1, 256, false},
        {"vantor/dat/beamnav.pix", VT_PMT_ARGB_4444, 64, 64, false},
        {"vantor/dat/beam28_.pix", VT_PMT_ARGB_4444, 64, 64, false},
        {"vantor/dat/explo_1.pix", VT_PMT_ARGB_4444, 64, 64, false},
        {"vantor/dat/wreckg_.pix", VT_PMT_INDEX_8, 64, 64, true},
        {"vantor/dat/tovstdb_.pal", VT_PMT_RGBX_888, 1, 256, false},
        {"vantor/dat/beamna_.pix", VT_PMT_ARGB_4444, 64, 64, false},
        {"vantor/dat/explo__.pix", VT_PMT_ARGB_4444, 64, 64, false},
        {"vantor/dat/gate3e.pix", VT_PMT_INDEX_8, 64, 64, true},
        {"vantor/dat/gate3_.pix", VT_PMT_INDEX_8, 64, 64, true},
        {"vantor/dat/tovstd.tab", VT_PMT_INDEX_8, 256, 64, true},
        {"vek/resource/art/textures/ships/tovstd.tab", VT_PMT_INDEX_8, 256, 64, true},
    };
    for (const Case &c : cases) {
        const std::string path = std::string(root) + "/" + c.file;
        vt_pixelmap *pm = VtPixelmapLoad(path.c_str());
        ASSERT_NE(pm, nullptr) << c.file;
        EXPECT_EQ(pm->type, c.type) << c.file;
        EXPECT_EQ(pm->width, c.width);
        EXPECT_EQ(pm->height, c.height);
        EXPECT_EQ(pm->map != nullptr, c.map) << c.file;
        VtPixelmapFree(pm);
    }
}

// ---- A file that declares a size but holds no pixel block ---------------

vt_uint_32 be32(const std::string &s, size_t at) {
    return vt_uint_32(vt_uint_8(s[at])) << 24 | vt_uint_32(vt_uint_8(s[at + 1])) << 16 |
           vt_uint_32(vt_uint_8(s[at + 2])) << 8 | vt_uint_32(vt_uint_8(s[at + 3]));
}

// The binary file with the chunks of the given id left out: the n-th of
// them (from 0), or all of them when n is negative.
std::string without(const std::string &file, vt_uint_32 id, int n = -1) {
    std::string out;
    int seen = 0;
    for (size_t at = 0; at + 8 <= file.size();) {
        const size_t next = at + 8 + be32(file, at + 4);
        const bool drop = be32(file, at) == id && (n < 0 || seen++ == n);
        if (!drop)
            out += file.substr(at, next - at);
        at = next;
    }
    return out;
}

// Saving such a pixelmap would allocate and write width x height bytes of
// nothing (a file of a few hundred bytes asking for hundreds of megabytes):
// it does not load, alone or as another pixelmap's map.
TEST_F(VtPixelmapFile, APixelmapWithoutItsPixelBlockDoesNotLoad) {
    vt_pixelmap *pm = VtPixelmapAllocate(VT_PMT_INDEX_8, 300, 200, nullptr, 0);
    vt_pixelmap *map = VtPixelmapAllocate(VT_PMT_RGBX_888, 1, 256, nullptr, 0);
    pm->map = map;
    VtResAdd(pm, map);
    ASSERT_EQ(VtPixelmapSave("whole.pix", pm), 1u);
    VtPixelmapFree(pm);
    const std::string file = readFileBytes("whole.pix");
    vt_pixelmap *back = VtPixelmapLoad("whole.pix");
    ASSERT_NE(back, nullptr);
    VtPixelmapFree(back);

    // The map's block is written first, inside its pixelmap's chunks.
    const struct {
        const char *what;
        int n;
    } cases[] = {{"every pixel block", -1}, {"the map's pixel block", 0}, {"the pixelmap's own block", 1}};
    for (const auto &c : cases) {
        std::ofstream("hollow.pix", std::ios::binary) << without(file, DF_CHUNK_PIXELS, c.n);
        EXPECT_EQ(VtPixelmapLoad("hollow.pix"), nullptr) << c.what;
    }
}

// A pixelmap of no size needs no pixels.
TEST_F(VtPixelmapFile, AnEmptyPixelmapStillLoads) {
    vt_pixelmap *pm = VtPixelmapAllocate(VT_PMT_INDEX_8, 0, 0, nullptr, 0);
    ASSERT_EQ(VtPixelmapSave("none.pix", pm), 1u);
    VtPixelmapFree(pm);
    std::ofstream("none2.pix", std::ios::binary) << without(readFileBytes("none.pix"), DF_CHUNK_PIXELS);
    vt_pixelmap *back = VtPixelmapLoad("none2.pix");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->width, 0);
    VtPixelmapFree(back);
}

} // namespace
