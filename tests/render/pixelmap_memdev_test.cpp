// The memory device: allocation, pixel access, fills, copies, keyed copies,
// copyBits, match and the hostile-coordinate table.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "render/pmap/pixelmap.h"
#include "tests/render/vt_fixture.h"

namespace {

using vttest::Counting;
using vttest::VtTest;

class VtPixelmap : public VtTest {};

TEST_F(VtPixelmap, AllocationRowsAndBlocks) {
    struct Case {
        vt_uint_8 type;
        int width, height;
        int row_bytes;
    } cases[] = {
        {VT_PMT_INDEX_8, 5, 2, 8},  {VT_PMT_INDEX_1, 33, 1, 8}, {VT_PMT_RGB_888, 1, 1, 12},
        {VT_PMT_RGB_888, 4, 1, 12}, {VT_PMT_RGB_888, 5, 1, 24}, {VT_PMT_RGB_565, 3, 2, 8},
        {VT_PMT_RGBX_888, 3, 2, 12}, {VT_PMT_DEPTH_16, 5, 1, 16},
    };
    for (const Case &c : cases) {
        vt_pixelmap *pm = VtPixelmapAllocate(c.type, c.width, c.height, nullptr, 0);
        ASSERT_NE(pm, nullptr);
        EXPECT_EQ(pm->row_bytes, c.row_bytes) << int(c.type) << " " << c.width;
        EXPECT_EQ(VtResSize(pm->pixels), vt_size(c.row_bytes * c.height));
        EXPECT_EQ(reinterpret_cast<uintptr_t>(pm->pixels) % 32, 0u);
        EXPECT_EQ(pm->flags & VT_PMF_LINEAR, c.row_bytes * 8 == c.width * vtPixelmapTypes[c.type].bits ? VT_PMF_LINEAR : 0)
            << "rows are contiguous only without padding";
        EXPECT_EQ(pm->dispatch, &vtDevicePixelmapMemDispatch);
        VtPixelmapFree(pm);
    }
    vt_pixelmap *inv = VtPixelmapAllocate(VT_PMT_INDEX_8, 4, 4, nullptr, VT_PMAF_INVERTED);
    vt_uint_8 *block = static_cast<vt_uint_8 *>(inv->pixels) - 3 * 4;
    EXPECT_EQ(inv->row_bytes, -4);
    EXPECT_TRUE(VtResIsChild(inv, block)) << "pixels point at row 3 of the block";
    VtPixelmapPixelSet(inv, 0, 3, 7);
    EXPECT_EQ(block[0], 7) << "row 3 is first in memory";
    VtPixelmapFree(inv);

    vt_pixelmap *bare = VtPixelmapAllocate(VT_PMT_INDEX_8, 4, 4, nullptr, VT_PMAF_NO_PIXELS);
    EXPECT_EQ(bare->pixels, nullptr);
    VtPixelmapFill(bare, 1); // nothing to touch
    VtPixelmapFree(bare);
    EXPECT_EQ(VtPixelmapAllocate(VT_PMT_MAX, 4, 4, nullptr, 0), nullptr);
}

TEST_F(VtPixelmap, PixelsAreOriginRelativeAndClipped) {
    vt_pixelmap *pm = VtPixelmapAllocate(VT_PMT_RGB_888, 4, 3, nullptr, 0);
    VtPixelmapFill(pm, 0);
    VtPixelmapPixelSet(pm, 1, 2, 0x123456);
    const vt_uint_8 *p = static_cast<vt_uint_8 *>(pm->pixels) + 2 * pm->row_bytes + 3;
    EXPECT_EQ(p[0], 0x56);
    EXPECT_EQ(p[1], 0x34);
    EXPECT_EQ(p[2], 0x12);
    EXPECT_EQ(VtPixelmapPixelGet(pm, 1, 2), 0x123456u);

    vt_point outside = {4, 0};
    vt_uint_32 colour = 0xabcdef;
    EXPECT_EQ(pm->dispatch->pixelSet(pm, &outside, 9), VT_E_OK);
    EXPECT_EQ(pm->dispatch->pixelQuery(pm, &colour, &outside), VT_E_FAIL);
    EXPECT_EQ(colour, 0xabcdefu) << "left unwritten";
    EXPECT_EQ(VtPixelmapPixelGet(pm, 4, 0), 0u);

    pm->origin_x = 2;
    pm->origin_y = 1;
    EXPECT_EQ(VtPixelmapPixelGet(pm, -1, 1), 0x123456u);
    VtPixelmapFree(pm);
}

// A pixelmap over a block of exactly its size, so that the sanitizer sees
// any byte outside; an image model to check every pixel against.
struct Fixture {
    vt_uint_8 type;
    int bpp;
    std::vector<vt_uint_8> block;
    vt_pixelmap *pm;
    Fixture(vt_uint_8 t, int w, int h, int flags = 0) : type(t), bpp(VtPixelmapTypeBytes(t)) {
        vt_pixelmap *probe = VtPixelmapAllocate(t, w, h, nullptr, VT_PMAF_NO_PIXELS);
        const int rb = probe->row_bytes;
        VtPixelmapFree(probe);
        block.assign(size_t(rb * h), 0xEE);
        void *px = block.data();
        pm = VtPixelmapAllocate(t, w, h, px, flags);
    }
    ~Fixture() { VtPixelmapFree(pm); }
    vt_uint_32 mask() const { return bpp == 4 ? 0xffffffffu : (1u << (8 * bpp)) - 1; }
};

std::vector<vt_uint_32> snapshot(vt_pixelmap *pm) {
    std::vector<vt_uint_32> v;
    for (int y = 0; y < pm->height; y++)
        for (int x = 0; x < pm->width; x++)
            v.push_back(VtPixelmapPixelGet(pm, x - pm->origin_x, y - pm->origin_y));
    return v;
}

const vt_uint_8 kDepths[] = {VT_PMT_INDEX_8, VT_PMT_RGB_565, VT_PMT_RGB_888, VT_PMT_RGBX_888};

TEST_F(VtPixelmap, FillsAtEveryDepth) {
    for (vt_uint_8 t : kDepths) {
        for (int flags : {0, int(VT_PMAF_INVERTED)}) {
            Fixture f(t, 7, 5, flags);
            const vt_uint_32 a = 0x89abcdef & f.mask(), b = 0x01020304 & f.mask();
            VtPixelmapFill(f.pm, a);
            for (vt_uint_32 v : snapshot(f.pm))
                ASSERT_EQ(v, a) << int(t);
            VtPixelmapDirtyRectangleFill(f.pm, 2, 1, 3, 2, b);
            std::vector<vt_uint_32> want(35, a);
            for (int y = 1; y < 3; y++)
                for (int x = 2; x < 5; x++)
                    want[size_t(y * 7 + x)] = b;
            EXPECT_EQ(snapshot(f.pm), want) << int(t);

            // A sub-pixelmap changes only what is inside it.
            vt_pixelmap *sub = VtPixelmapAllocateSub(f.pm, 1, 1, 5, 3);
            ASSERT_NE(sub, nullptr);
            EXPECT_EQ(sub->flags & VT_PMF_LINEAR, 0);
            VtPixelmapFill(sub, 0);
            for (int y = 1; y < 4; y++)
                for (int x = 1; x < 6; x++)
                    want[size_t(y * 7 + x)] = 0;
            EXPECT_EQ(snapshot(f.pm), want) << int(t) << " sub";
            VtPixelmapFree(sub);
            // Row padding keeps its bytes.
            const int used = 7 * f.bpp, rb = std::abs(f.pm->row_bytes);
            for (int y = 0; y < 5; y++)
                for (int i = used; i < rb; i++)
                    EXPECT_EQ(f.block[size_t(y * rb + i)], 0xEE);
        }
    }
}

TEST_F(VtPixelmap, CopiesAtEveryDepth) {
    for (vt_uint_8 t : kDepths) {
        Fixture src(t, 6, 4), dst(t, 6, 4);
        for (int y = 0; y < 4; y++)
            for (int x = 0; x < 6; x++)
                VtPixelmapPixelSet(src.pm, x, y, vt_uint_32(0x10203 * (y * 6 + x + 1)) & src.mask());
        VtPixelmapFill(dst.pm, 0);
        EXPECT_EQ(VtPixelmapCopy(dst.pm, src.pm), VT_E_OK);
        EXPECT_EQ(snapshot(dst.pm), snapshot(src.pm)) << int(t);

        // A negative destination point copies the visible part only.
        VtPixelmapFill(dst.pm, 0);
        EXPECT_EQ(VtPixelmapRectangleCopy(dst.pm, -2, -1, src.pm, 0, 0, 6, 4), VT_E_OK);
        std::vector<vt_uint_32> s = snapshot(src.pm), d = snapshot(dst.pm);
        for (int y = 0; y < 4; y++)
            for (int x = 0; x < 6; x++) {
                const vt_uint_32 want = (x < 4 && y < 3) ? s[size_t((y + 1) * 6 + x + 2)] : 0;
                EXPECT_EQ(d[size_t(y * 6 + x)], want) << int(t) << " " << x << "," << y;
            }

        // Inverted destination: same pixels, other memory order.
        Fixture inv(t, 6, 4, VT_PMAF_INVERTED);
        EXPECT_EQ(VtPixelmapCopy(inv.pm, src.pm), VT_E_OK);
        EXPECT_EQ(snapshot(inv.pm), snapshot(src.pm)) << int(t) << " inverted";
    }
}

TEST_F(VtPixelmap, KeyedCopySkipsZeroAndRefusesAKey) {
    for (vt_uint_8 t : kDepths) {
        Fixture src(t, 2, 1), dst(t, 2, 1);
        VtPixelmapPixelSet(src.pm, 0, 0, 0);
        VtPixelmapPixelSet(src.pm, 1, 0, 5);
        VtPixelmapFill(dst.pm, 9);
        src.pm->copy_function = VT_PMCOPY_KEYED_SOURCE;
        EXPECT_EQ(VtPixelmapCopy(dst.pm, src.pm), VT_E_OK);
        EXPECT_EQ(snapshot(dst.pm), (std::vector<vt_uint_32>{9, 5})) << int(t);

        VtPixelmapFill(dst.pm, 9);
        src.pm->src_key_low = 1;
        EXPECT_EQ(VtPixelmapCopy(dst.pm, src.pm), VT_E_UNSUPPORTED);
        src.pm->src_key_low = 0;
        dst.pm->copy_function = VT_PMCOPY_NO_KEYED_DEST;
        EXPECT_EQ(VtPixelmapRectangleCopy(dst.pm, 0, 0, src.pm, 0, 0, 2, 1), VT_E_UNSUPPORTED);
        EXPECT_EQ(snapshot(dst.pm), (std::vector<vt_uint_32>{9, 9}));
    }
}

TEST_F(VtPixelmap, CopyBitsMasks) {
    for (vt_uint_8 t : kDepths) {
        Fixture f(t, 12, 2);
        VtPixelmapFill(f.pm, 1);
        const vt_uint_8 a5 = 0xA5;
        VtPixelmapCopyBits(f.pm, 0, 0, &a5, 1, 0, 8, 1, 7);
        std::vector<vt_uint_32> row = snapshot(f.pm);
        EXPECT_EQ(std::vector<vt_uint_32>(row.begin(), row.begin() + 9),
                  (std::vector<vt_uint_32>{7, 1, 7, 1, 1, 7, 1, 7, 1}))
            << int(t);

        // 16 bits placed 10 pixels left of the edge: the last 6 land at 0..5.
        VtPixelmapFill(f.pm, 0);
        const vt_uint_8 bits[2] = {0xFF, 0xED}; // ... 1110 1101
        VtPixelmapCopyBits(f.pm, -10, 1, bits, 2, 0, 16, 1, 3);
        row = snapshot(f.pm);
        EXPECT_EQ(std::vector<vt_uint_32>(row.begin() + 12, row.begin() + 19),
                  (std::vector<vt_uint_32>{3, 0, 3, 3, 0, 3, 0}))
            << int(t);

        // Start and end bits inside one byte, and across bytes.
        VtPixelmapFill(f.pm, 0);
        const vt_uint_8 ones[2] = {0xFF, 0xFF};
        VtPixelmapCopyBits(f.pm, 0, 0, ones, 2, 3, 13, 1, 2);
        row = snapshot(f.pm);
        for (int x = 0; x < 12; x++)
            EXPECT_EQ(row[size_t(x)], x < 10 ? 2u : 0u) << "bit rectangle 3..12 starts at the point";
    }
}

TEST_F(VtPixelmap, SubByteTypesChangeNothing) {
    vt_pixelmap *pm = VtPixelmapAllocate(VT_PMT_INDEX_4, 8, 2, nullptr, 0);
    vt_pixelmap *other = VtPixelmapAllocate(VT_PMT_INDEX_4, 8, 2, nullptr, 0);
    memset(pm->pixels, 0x5A, 8);
    const vt_uint_8 ff = 0xFF;
    VtPixelmapFill(pm, 3);
    VtPixelmapPixelSet(pm, 1, 1, 3);
    VtPixelmapLine(pm, 0, 0, 7, 1, 3);
    VtPixelmapCopyBits(pm, 0, 0, &ff, 1, 0, 8, 1, 3);
    EXPECT_EQ(VtPixelmapCopy(pm, other), VT_E_OK);
    for (int i = 0; i < 8; i++)
        EXPECT_EQ(static_cast<vt_uint_8 *>(pm->pixels)[i], 0x5A);
    EXPECT_EQ(VtPixelmapPixelGet(pm, 0, 0), 0u);
    EXPECT_EQ(VtPixelmapMatch(pm, VT_PMMATCH_DEPTH_16), nullptr) << "no whole bytes to count its rows by";
    VtPixelmapFree(pm);
    VtPixelmapFree(other);
}

TEST_F(VtPixelmap, StretchAndOutsideSubAreRefused) {
    vt_pixelmap *a = VtPixelmapAllocate(VT_PMT_INDEX_8, 8, 8, nullptr, 0);
    vt_pixelmap *b = VtPixelmapAllocate(VT_PMT_INDEX_8, 4, 4, nullptr, 0);
    EXPECT_EQ(VtPixelmapRectangleStretchCopy(a, 0, 0, 8, 8, b, 0, 0, 4, 4), VT_E_UNSUPPORTED);
    const int live = Counting::live;
    EXPECT_EQ(VtPixelmapAllocateSub(a, 8, 0, 4, 4), nullptr);
    EXPECT_EQ(VtPixelmapAllocateSub(a, -4, -4, 4, 4), nullptr);
    EXPECT_EQ(Counting::live, live) << "nothing allocated";
    VtPixelmapFree(a);
    VtPixelmapFree(b);
}

TEST_F(VtPixelmap, MatchTypes) {
    vt_pixelmap *screen = VtPixelmapAllocate(VT_PMT_RGB_565, 320, 200, nullptr, VT_PMAF_INVERTED);
    screen->origin_x = 3;
    struct Case {
        vt_uint_8 match;
        int type; // -1: refused
    } cases[] = {
        {VT_PMMATCH_OFFSCREEN, VT_PMT_RGB_565}, {VT_PMMATCH_DEPTH_16, VT_PMT_DEPTH_16},
        {VT_PMMATCH_DEPTH, VT_PMT_DEPTH_8},     {VT_PMMATCH_HIDDEN, VT_PMT_RGB_565},
        {VT_PMMATCH_HIDDEN_BUFFER, VT_PMT_RGB_565}, {VT_PMMATCH_NO_RENDER, VT_PMT_RGB_565},
        {VT_PMMATCH_DEPTH_8, VT_PMT_DEPTH_8},   {VT_PMMATCH_DEPTH_32, VT_PMT_DEPTH_32},
        {VT_PMMATCH_DEPTH_15, -1},              {VT_PMMATCH_DEPTH_31, -1},
        {VT_PMMATCH_DEPTH_FP15, -1},            {VT_PMMATCH_DEPTH_FP16, -1},
        {12, -1},
    };
    for (const Case &c : cases) {
        vt_pixelmap *m = VtPixelmapMatch(screen, c.match);
        if (c.type < 0) {
            EXPECT_EQ(m, nullptr) << int(c.match);
            continue;
        }
        ASSERT_NE(m, nullptr) << int(c.match);
        EXPECT_EQ(m->type, c.type);
        EXPECT_EQ(m->width, 320);
        EXPECT_EQ(m->height, 200);
        EXPECT_LT(m->row_bytes, 0) << "inverted like the screen";
        VtPixelmapFill(m, 1);
        VtPixelmapFree(m);
    }
    vt_pixelmap *depth = VtPixelmapMatch(screen, VT_PMMATCH_DEPTH_16);
    EXPECT_EQ(depth->origin_x, 3) << "a depth buffer shares the origin";
    VtPixelmapFree(depth);

    // The depth rows hold as many pixels as the map's rows.
    vt_pixelmap *rgb = VtPixelmapAllocate(VT_PMT_RGB_888, 5, 2, nullptr, 0);
    depth = VtPixelmapMatch(rgb, VT_PMMATCH_DEPTH_16);
    EXPECT_EQ(depth->row_bytes, 16);
    EXPECT_EQ(depth->flags & VT_PMF_LINEAR, 0);
    VtPixelmapFree(depth);
    vt_token_value bad[] = {{VTT_USE_T, VtValueU32(VTT_DEPTH)}, {VTT_PIXEL_BITS_I32, VtValueI32(24)}, {0, {}}};
    vt_pixelmap *none = nullptr;
    EXPECT_EQ(rgb->dispatch->match(rgb, &none, bad), VT_E_FAIL);
    vt_pixelmap *sized = VtPixelmapMatchTypedSized(rgb, VT_PMMATCH_OFFSCREEN, VT_PMT_RGBX_888, 9, 7);
    ASSERT_NE(sized, nullptr);
    EXPECT_EQ(sized->type, VT_PMT_RGBX_888);
    EXPECT_EQ(sized->width, 9);
    EXPECT_EQ(sized->height, 7);
    VtPixelmapFree(sized);
    VtPixelmapFree(rgb);
    VtPixelmapFree(screen);
}

TEST_F(VtPixelmap, DoubleBufferAndResize) {
    Fixture back(VT_PMT_RGB_565, 5, 3), front(VT_PMT_RGB_565, 5, 3);
    VtPixelmapFill(back.pm, 0x1234);
    VtPixelmapLine(back.pm, 0, 0, 4, 2, 0xF800);
    VtPixelmapDoubleBuffer(front.pm, back.pm);
    EXPECT_EQ(snapshot(front.pm), snapshot(back.pm));
    // Different sizes take the stretch copy, which memory refuses.
    Fixture small(VT_PMT_RGB_565, 2, 2);
    VtPixelmapFill(small.pm, 0);
    VtPixelmapDoubleBuffer(small.pm, back.pm);
    EXPECT_EQ(snapshot(small.pm), std::vector<vt_uint_32>(4, 0));
    EXPECT_EQ(VtPixelmapDirtyRectangleDoubleBuffer(small.pm, back.pm, 0, 0, 1, 1), VT_E_UNSUPPORTED);

    vt_pixelmap *pm = VtPixelmapAllocate(VT_PMT_RGB_888, 3, 3, nullptr, VT_PMAF_INVERTED);
    ASSERT_EQ(VtPixelmapResize(pm, 9, 4), pm);
    EXPECT_EQ(pm->row_bytes, -36);
    VtPixelmapFill(pm, 0x123456);
    EXPECT_EQ(VtPixelmapPixelGet(pm, 8, 3), 0x123456u);
    VtPixelmapFree(pm);
}

// ---- Hostile coordinates -------------------------------------------------

TEST_F(VtPixelmap, HostileCoordinatesStayInside) {
    const vt_int_32 big = INT32_MAX, small = INT32_MIN;
    const vt_int_32 xs[] = {small, -70000, -65536, -9, -1, 0, 3, 6, 7, 65535, 65536, big};
    for (vt_uint_8 t : kDepths) {
        Fixture f(t, 7, 5), g(t, 7, 5), k(t, 9, 3);
        k.pm->copy_function = VT_PMCOPY_KEYED_SOURCE;
        VtPixelmapFill(k.pm, 1);
        const vt_uint_8 bits[4] = {0xFF, 0xFF, 0xFF, 0xFF};
        for (int origin : {0, -32768, 32767}) {
            f.pm->origin_x = vt_int_16(origin);
            f.pm->origin_y = vt_int_16(-origin);
            for (vt_int_32 a : xs)
                for (vt_int_32 b : xs) {
                    VtPixelmapPixelSet(f.pm, a, b, 1);
                    VtPixelmapPixelGet(f.pm, a, b);
                    VtPixelmapLine(f.pm, a, b, b, a, 2);
                    VtPixelmapLine(f.pm, a, 0, b, 4, 2);
                    VtPixelmapDirtyRectangleFill(f.pm, a, b, b, a, 3);
                    VtPixelmapDirtyRectangleFill(f.pm, a, 1, b, 2, 3);
                    VtPixelmapRectangle(f.pm, a, b, 5, 5, 4);
                    VtPixelmapRectangleCopy(f.pm, a, b, g.pm, b, a, a, b);
                    VtPixelmapRectangleCopy(f.pm, a, 1, g.pm, b, 0, 7, 5);
                    VtPixelmapRectangleCopy(g.pm, 0, a, f.pm, 1, b, 9, 9);
                    VtPixelmapRectangleCopy(f.pm, a, b, k.pm, b, a, 9, 9);
                    VtPixelmapRectangleCopy(f.pm, a, 1, k.pm, 0, b, a, b);
                    VtPixelmapRectangleStretchCopy(f.pm, a, b, b, a, g.pm, b, a, a, b);
                    VtPixelmapRectangle2(f.pm, a, b, b, a, 4, 5);
                    VtPixelmapDirtyRectangleCopy(f.pm, g.pm, a, b, b, a);
                    VtPixelmapDirtyRectangleDoubleBuffer(f.pm, g.pm, a, b, b, a);
                    VtPixelmapCopyBits(f.pm, a, b, bits, 1, 0, 8, 4, 5);
                    VtPixelmapCopyBits(f.pm, a, 1, bits, 2, -9, 16, 2, 5);
                    VtPixelmapText(f.pm, a, b, 6, nullptr, "Ab");
                    if (vt_pixelmap *sub = VtPixelmapAllocateSub(f.pm, a, b, b, a)) {
                        VtPixelmapFill(sub, 7);
                        VtPixelmapFree(sub);
                    }
                }
            VtPixelmapCopy(f.pm, k.pm); // keyed, and of another size
        }
    }
}

} // namespace
