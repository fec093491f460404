// A pixelmap file that declares a size but holds no pixel block.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "common/temp_dir.h"
#include "render/file/datafile.h"
#include "render/pmap/pixelmap.h"
#include "tests/render/vt_fixture.h"

namespace {

class VtPixelmapNoPixels : public vttest::VtTest {
protected:
    ruvotest::TempDir dir;
};

std::string slurp(const char *name) {
    std::ifstream f(name, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

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
TEST_F(VtPixelmapNoPixels, APixelmapWithoutItsPixelBlockDoesNotLoad) {
    vt_pixelmap *pm = VtPixelmapAllocate(VT_PMT_INDEX_8, 300, 200, nullptr, 0);
    vt_pixelmap *map = VtPixelmapAllocate(VT_PMT_RGBX_888, 1, 256, nullptr, 0);
    pm->map = map;
    VtResAdd(pm, map);
    ASSERT_EQ(VtPixelmapSave("whole.pix", pm), 1u);
    VtPixelmapFree(pm);
    const std::string file = slurp("whole.pix");
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
TEST_F(VtPixelmapNoPixels, AnEmptyPixelmapStillLoads) {
    vt_pixelmap *pm = VtPixelmapAllocate(VT_PMT_INDEX_8, 0, 0, nullptr, 0);
    ASSERT_EQ(VtPixelmapSave("none.pix", pm), 1u);
    VtPixelmapFree(pm);
    std::ofstream("none2.pix", std::ios::binary) << without(slurp("none.pix"), DF_CHUNK_PIXELS);
    vt_pixelmap *back = VtPixelmapLoad("none2.pix");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->width, 0);
    VtPixelmapFree(back);
}

}  // namespace
