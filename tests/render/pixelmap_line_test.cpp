// The double-step line: the table of known lines, a brute-force comparison
// with a plain coding of its rules, and its clipping.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

#include "render/pmap/pixelmap.h"
#include "tests/render/vt_fixture.h"

namespace {

using vttest::VtTest;
typedef std::set<std::pair<int, int>> Pixels;

class VtPixelmapLineTest : public VtTest {};

Pixels drawn(vt_pixelmap *pm) {
    Pixels p;
    for (int y = 0; y < pm->height; y++)
        for (int x = 0; x < pm->width; x++)
            if (VtPixelmapPixelGet(pm, x, y))
                p.insert({x, y});
    return p;
}

Pixels lineOn(vt_pixelmap *pm, int x0, int y0, int x1, int y1) {
    VtPixelmapFill(pm, 0);
    VtPixelmapLine(pm, x0, y0, x1, y1, 1);
    return drawn(pm);
}

TEST_F(VtPixelmapLineTest, KnownLines) {
    vt_pixelmap *pm = VtPixelmapAllocate(VT_PMT_INDEX_8, 5, 5, nullptr, 0);
    const Pixels shallow = {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}};
    const Pixels steep = {{0, 0}, {0, 1}, {1, 2}, {1, 3}, {1, 4}};
    const Pixels diagonal = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}};
    EXPECT_EQ(lineOn(pm, 0, 0, 4, 1), shallow);
    EXPECT_EQ(lineOn(pm, 4, 1, 0, 0), shallow);
    EXPECT_EQ(lineOn(pm, 0, 0, 1, 4), steep);
    EXPECT_EQ(lineOn(pm, 1, 4, 0, 0), steep);
    EXPECT_EQ(lineOn(pm, -10, -10, 10, 10), diagonal);
    EXPECT_EQ(lineOn(pm, 2, 2, 2, 2), (Pixels{{2, 2}}));
    EXPECT_EQ(lineOn(pm, -1, 7, 9, 7), Pixels{}) << "below";
    EXPECT_EQ(lineOn(pm, -5, 2, 9, 2), (Pixels{{0, 2}, {1, 2}, {2, 2}, {3, 2}, {4, 2}}));
    // Through the generic form (each pixel through pixelSet) the same.
    VtPixelmapFill(pm, 0);
    vt_point s = {4, 1}, e = {0, 0};
    _M_br_device_pixelmap_gen_line(pm, &s, &e, 1);
    EXPECT_EQ(drawn(pm), shallow);
    VtPixelmapFree(pm);
}

// The rules as plainly as they can be put: walk the passes, keep the four
// points, apply the pattern table.
Pixels reference(int x0, int y0, int x1, int y1) {
    Pixels out;
    int dx = x1 - x0, dy = y1 - y0;
    if (dx == 0 && dy == 0)
        return {{x0, y0}};
    int s = ((dx < 0) == (dy < 0)) ? 1 : -1;
    bool swap = std::abs(dy) > std::abs(dx);
    int A0 = swap ? y0 : x0, B0 = swap ? x0 : y0, A1 = swap ? y1 : x1, B1 = swap ? x1 : y1;
    if (A0 > A1) {
        std::swap(A0, A1);
        std::swap(B0, B1);
    }
    int Da = A1 - A0, Db = std::abs(B1 - B0);
    auto add = [&](int a, int b) { out.insert(swap ? std::make_pair(b, a) : std::make_pair(a, b)); };
    add(A0, B0);
    add(A1, B1);
    // Pattern table: {first step, second step}.
    const int table[5][2] = {{0, 0}, {0, 0}, {0, 1}, {1, 0}, {1, 1}};
    int D, c;
    bool low = 4 * Db - 2 * Da < 0;
    if (low) {
        c = 2 * Db;
        D = 4 * Db - Da;
    } else {
        c = 2 * (Db - Da);
        D = 4 * Db - 3 * Da;
    }
    auto choose = [&]() {
        int pat;
        if (low)
            pat = D < 0 ? 1 : (D < c ? 2 : 3);
        else
            pat = D > 0 ? 4 : (D < c ? 2 : 3);
        return pat;
    };
    for (int pass = 0; pass < (Da - 1) / 4; pass++) {
        int pat = choose();
        if (pat == 1)
            D += 4 * Db;
        else if (pat == 4)
            D += 4 * (Db - Da);
        else
            D += 4 * Db - 2 * Da;
        add(A0 + 1, B0 + table[pat][0] * s);
        add(A0 + 2, B0 + (table[pat][0] + table[pat][1]) * s);
        add(A1 - 1, B1 - table[pat][0] * s);
        add(A1 - 2, B1 - (table[pat][0] + table[pat][1]) * s);
        B0 += (table[pat][0] + table[pat][1]) * s;
        B1 -= (table[pat][0] + table[pat][1]) * s;
        A0 += 2;
        A1 -= 2;
    }
    int r = (Da - 1) % 4;
    int pat = choose();
    if (r >= 1)
        add(A0 + 1, B0 + table[pat][0] * s);
    if (r >= 2)
        add(A0 + 2, B0 + (table[pat][0] + table[pat][1]) * s);
    if (r >= 3) {
        int step = table[pat][0];
        if (!low && pat == 3 && D == c)
            step = 0;
        add(A1 - 1, B1 - step * s);
    }
    return out;
}

TEST_F(VtPixelmapLineTest, MatchesThePlainRulesForEveryPairInABox) {
    const int N = 13;
    vt_pixelmap *pm = VtPixelmapAllocate(VT_PMT_INDEX_8, N, N, nullptr, 0);
    int mismatches = 0;
    for (int x0 = 0; x0 < N; x0++)
        for (int y0 = 0; y0 < N; y0++)
            for (int x1 = 0; x1 < N; x1++)
                for (int y1 = 0; y1 < N; y1++) {
                    Pixels got = lineOn(pm, x0, y0, x1, y1);
                    if (got != reference(x0, y0, x1, y1) && ++mismatches < 5)
                        ADD_FAILURE() << x0 << "," << y0 << " - " << x1 << "," << y1;
                    // One pixel for every step along the major axis.
                    const size_t major = size_t(std::max(std::abs(x1 - x0), std::abs(y1 - y0))) + 1;
                    if (got.size() != major && ++mismatches < 5)
                        ADD_FAILURE() << "count " << x0 << "," << y0 << " - " << x1 << "," << y1;
                }
    EXPECT_EQ(mismatches, 0);
    VtPixelmapFree(pm);
}

TEST_F(VtPixelmapLineTest, ClippedLinesStayOnTheirLine) {
    vt_pixelmap *pm = VtPixelmapAllocate(VT_PMT_INDEX_8, 6, 4, nullptr, 0);
    struct Case {
        int x0, y0, x1, y1;
        Pixels want;
    } cases[] = {
        {-3, 1, 2, 1, {{0, 1}, {1, 1}, {2, 1}}},
        {2, -5, 2, 9, {{2, 0}, {2, 1}, {2, 2}, {2, 3}}},
        {-2, 5, 3, 0, {{0, 3}, {1, 2}, {2, 1}, {3, 0}}},
        {7, 0, 9, 3, {}},
        {0, -1, 5, -1, {}},
    };
    for (const Case &c : cases) {
        Pixels got = lineOn(pm, c.x0, c.y0, c.x1, c.y1);
        EXPECT_EQ(got, c.want) << c.x0 << "," << c.y0 << " - " << c.x1 << "," << c.y1;
    }
    VtPixelmapFree(pm);
}

} // namespace
