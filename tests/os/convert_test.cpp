// The 8-bit present conversion: the vector road is taken exactly where the
// processor has it, and it and the plain one give the same pixels at every
// width, each row starting at its own pitch, and write nothing past a row's
// end.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "os/display.h"

namespace {

struct Case {
    int width, height, srcPad, dstPad;  // pads in bytes
};

class Convert8To32 : public testing::TestWithParam<bool> {
protected:
    void TearDown() override { osConvertUseSimd(true); }
};

// The processor's own account of itself: the flags of its first entry in
// /proc/cpuinfo.
bool CpuHas(const std::string &flag) {
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("flags", 0) != 0) continue;
        std::istringstream words(line.substr(line.find(':') + 1));
        std::string w;
        while (words >> w)
            if (w == flag) return true;
        return false;
    }
    return false;
}

TEST(Convert8To32Road, TheVectorRoadIsTakenExactlyWhereTheProcessorHasIt) {
#if defined(__x86_64__)
    const bool has = CpuHas("avx512f") && CpuHas("avx512bw") && CpuHas("avx512vbmi");
#else
    const bool has = false;
#endif
    EXPECT_EQ(osConvertUseSimd(true), has);
    EXPECT_FALSE(osConvertUseSimd(false)) << "the plain road when the vector one is not allowed";
    osConvertUseSimd(true);
}

TEST_P(Convert8To32, EveryWidthAndPitchGivesTheTablesColours) {
    if (!osConvertUseSimd(GetParam()) && GetParam())
        GTEST_SKIP() << "this processor has no vector road: the plain one is checked";
    uint32_t table[256];
    uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
    for (uint32_t &e : table) e = next();
    // Widths either side of the vector step (64) and the plain one (8).
    const Case cases[] = {{1, 2, 0, 0},   {7, 3, 1, 4},   {8, 1, 0, 0},     {63, 2, 3, 8},   {64, 3, 0, 0},
                          {65, 3, 5, 12}, {127, 2, 1, 4}, {130, 4, 7, 16},  {640, 5, 0, 0}, {1000, 2, 24, 64}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        int srcPitch = c.width + c.srcPad, dstPitch = c.width * 4 + c.dstPad;
        std::vector<uint8_t> src(size_t(srcPitch) * c.height);
        for (uint8_t &b : src) b = uint8_t(next() >> 24);
        // Every index appears in the first row wide enough to hold them.
        for (int x = 0; x < c.width && x < 256; x++) src[x] = uint8_t(x * 7 + 3);
        std::vector<uint8_t> dst(size_t(dstPitch) * c.height, 0xA5);
        osConvert8To32(src.data(), srcPitch, reinterpret_cast<uint32_t *>(dst.data()), dstPitch, c.width,
                       c.height, table);
        for (int y = 0; y < c.height; y++) {
            for (int x = 0; x < c.width; x++) {
                uint32_t got;
                std::memcpy(&got, &dst[size_t(y) * dstPitch + size_t(x) * 4], 4);
                ASSERT_EQ(got, table[src[size_t(y) * srcPitch + x]]) << "pixel " << x << "," << y;
            }
            for (int b = c.width * 4; b < dstPitch; b++) ASSERT_EQ(dst[size_t(y) * dstPitch + b], 0xA5);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Roads, Convert8To32, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool> &info) { return info.param ? "Vector" : "Plain"; });

}  // namespace
