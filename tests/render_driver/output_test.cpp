// The output device "3DFX_WIN" through a recording host plug: the screen a
// device begin opens, the back and depth buffers matched on it, the frames
// it shows, its palette, and the begins it refuses.
#include <cstring>
#include <string>
#include <vector>

#include "driver_fixture.h"
#include "render/dev/device.h"
#include "render/drivers/output.h"

using namespace srtest;

namespace {

// What the host was asked to do.
struct Host {
    static inline std::vector<std::string> calls;
    static inline void *window = nullptr;
    static inline bool refuse = false;
    static inline int width = 0, height = 0, opened = 0, closed = 0;
    static inline std::vector<vt_uint_16> shown; // the last frame, rows packed
    static inline char screen;

    static void *open(void *w, vt_boolean full, vt_int_32 width_, vt_int_32 height_) {
        calls.push_back("open " + std::to_string(width_) + "x" + std::to_string(height_) + (full ? " full" : ""));
        if (refuse)
            return nullptr;
        window = w;
        width = width_;
        height = height_;
        opened++;
        return &screen;
    }
    static void present(void *s, const void *pixels, vt_int_32 row_bytes) {
        calls.push_back(s == &screen ? "present" : "present elsewhere");
        shown.resize(size_t(width) * height);
        for (int y = 0; y < height; y++)
            memcpy(&shown[size_t(y) * width], static_cast<const vt_uint_8 *>(pixels) + ptrdiff_t(y) * row_bytes,
                   size_t(width) * 2);
    }
    static void close(void *) {
        calls.push_back("close");
        closed++;
    }
    static void reset() {
        calls.clear();
        shown.clear();
        window = nullptr;
        refuse = false;
        width = height = opened = closed = 0;
    }
};

vt_output_host recordingHost = {"recording", Host::open, Host::present, Host::close};

int windowToken;

class OutputDevice : public DriverTest {
protected:
    vt_pixelmap *screen = nullptr;

    void SetUp() override {
        Host::reset();
        VtOutputHostSet(&recordingHost);
        DriverTest::SetUp();
    }
    void TearDown() override {
        DriverTest::TearDown();
        VtOutputHostSet(nullptr);
        // Whatever was opened was closed, at the latest when the library ended.
        EXPECT_EQ(Host::opened, Host::closed);
    }
    // The game's begin: its window, full screen, the size, 16 bits RGB 5:6:5.
    vt_error begin(int w, int h, int bits = 16, int type = VT_PMT_RGB_565) {
        return VtDevBeginVar(&screen, "3DFX_WIN", VTT_WINDOW_HANDLE_H, &windowToken, VTT_WINDOW_FULLSCREEN_B, 1,
                             VTT_WIDTH_I32, w, VTT_HEIGHT_I32, h, VTT_PIXEL_BITS_I32, bits, VTT_PIXEL_TYPE_U8, type,
                             VTT_END);
    }
};

TEST_F(OutputDevice, OpensAScreenWhoseBackBufferItShows) {
    ASSERT_EQ(begin(800, 600), VT_E_OK);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(Host::calls, std::vector<std::string>{"open 800x600 full"});
    EXPECT_EQ(Host::window, &windowToken);
    EXPECT_EQ(screen->type, VT_PMT_RGB_565);
    EXPECT_EQ(screen->width, 800);
    EXPECT_EQ(screen->height, 600);

    vt_pixelmap *back = VtPixelmapMatch(screen, VT_PMMATCH_OFFSCREEN);
    ASSERT_NE(back, nullptr);
    // Plain memory: the renderer and the game's 2D drawing write into it.
    EXPECT_EQ(back->dispatch, &vtDevicePixelmapMemDispatch);
    EXPECT_EQ(back->type, VT_PMT_RGB_565);
    EXPECT_EQ(back->width, 800);
    EXPECT_EQ(back->height, 600);
    vt_pixelmap *depth = VtPixelmapMatch(back, VT_PMMATCH_DEPTH_16);
    ASSERT_NE(depth, nullptr);
    EXPECT_EQ(depth->type, VT_PMT_DEPTH_16);
    EXPECT_EQ(depth->width, 800);

    VtPixelmapFill(back, 0x001F);
    VtPixelmapPixelSet(back, 799, 599, 0xF800);
    VtPixelmapPixelSet(back, 3, 2, 0x07E0);
    VtPixelmapDoubleBuffer(screen, back);
    ASSERT_EQ(Host::shown.size(), 800u * 600u);
    EXPECT_EQ(Host::shown[0], 0x001F);
    EXPECT_EQ(Host::shown[2 * 800 + 3], 0x07E0);
    EXPECT_EQ(Host::shown[599 * 800 + 799], 0xF800);
    // The back buffer keeps what was drawn: the next frame starts from it.
    EXPECT_EQ(VtPixelmapPixelGet(back, 3, 2), 0x07E0u);
    // A whole copy to the screen shows a frame too.
    VtPixelmapPixelSet(back, 3, 2, 0x1234);
    EXPECT_EQ(VtPixelmapCopy(screen, back), VT_E_OK);
    EXPECT_EQ(Host::shown[2 * 800 + 3], 0x1234);

    VtPixelmapFree(depth);
    VtPixelmapFree(back);
    VtPixelmapFree(screen);
    EXPECT_EQ(Host::calls, (std::vector<std::string>{"open 800x600 full", "present", "present", "close"}));
}

TEST_F(OutputDevice, RendersIntoTheBackBufferAndShowsIt) {
    ASSERT_EQ(begin(160, 120), VT_E_OK);
    colour = VtPixelmapMatch(screen, VT_PMMATCH_OFFSCREEN);
    ASSERT_NE(colour, nullptr);
    depth = VtPixelmapMatch(colour, VT_PMMATCH_DEPTH_16);
    ASSERT_NE(depth, nullptr);
    colour->origin_x = depth->origin_x = 80;
    colour->origin_y = depth->origin_y = 60;
    ASSERT_EQ(VtZbBegin(screen->type, VT_PMT_DEPTH_16), VT_E_OK);
    clear();
    perspectiveCamera(60, 1, 50);
    place(camera, 0, 0, 5);
    vt_material *red = material("red", 0xFF0000, 0);
    place(modelActor(box("b", 1, red), red), 0, 0, 0, 20, 30);
    render();
    const int drawn = covered(0);
    EXPECT_GT(drawn, 500);
    VtPixelmapDoubleBuffer(screen, colour);
    int shown = 0;
    for (vt_uint_16 p : Host::shown)
        shown += p != 0;
    EXPECT_EQ(shown, drawn);
    EXPECT_EQ(Host::shown[60 * 160 + 80], pixel(80, 60));
}

TEST_F(OutputDevice, RefusesWhatItCannotShow) {
    struct Case {
        const char *what;
        int w, h, bits, type;
        bool hostRefuses;
        size_t opens; // open calls that reached the host
    } const cases[] = {
        {"8 bits", 640, 480, 8, VT_PMT_RGB_565, false, 0},
        {"indexed pixels", 640, 480, 16, VT_PMT_INDEX_8, false, 0},
        {"no width", 0, 480, 16, VT_PMT_RGB_565, false, 0},
        {"too wide", 9000, 480, 16, VT_PMT_RGB_565, false, 0},
        {"a host without a screen", 640, 480, 16, VT_PMT_RGB_565, true, 1},
    };
    for (const Case &c : cases) {
        Host::reset();
        Host::refuse = c.hostRefuses;
        screen = nullptr;
        EXPECT_NE(begin(c.w, c.h, c.bits, c.type), VT_E_OK) << c.what;
        EXPECT_EQ(screen, nullptr) << c.what;
        EXPECT_EQ(Host::calls.size(), c.opens) << c.what;
    }
    Host::reset();
    // The device is still there and begins a screen afterwards.
    ASSERT_EQ(begin(640, 480), VT_E_OK);
    vt_int_32 devices = 0;
    VtDevCount(&devices, "3DFX_WIN");
    EXPECT_EQ(devices, 1);
    // A frame of another size or type is not shown.
    vt_pixelmap *small = VtPixelmapAllocate(VT_PMT_RGB_565, 320, 240, nullptr, 0);
    vt_pixelmap *indexed = VtPixelmapAllocate(VT_PMT_INDEX_8, 640, 480, nullptr, 0);
    VtPixelmapDoubleBuffer(screen, small);
    VtPixelmapDoubleBuffer(screen, indexed);
    EXPECT_EQ(Host::calls, std::vector<std::string>{"open 640x480 full"});
    // Drawing straight into the screen is refused: it holds no pixels.
    vt_point p = {1, 1};
    EXPECT_EQ(screen->dispatch->pixelSet(screen, &p, 1), VT_E_UNSUPPORTED);
    EXPECT_EQ(VtPixelmapAllocateSub(screen, 0, 0, 10, 10), nullptr);
}

TEST_F(OutputDevice, KeepsItsPaletteAndFillsItsFrame) {
    ASSERT_EQ(begin(64, 48), VT_E_OK);
    vt_pixelmap *palette = VtPixelmapAllocate(VT_PMT_RGBX_888, 1, 256, nullptr, 0);
    for (int i = 0; i < 256; i++) {
        vt_colour c = vt_colour(i) << 16 | vt_colour(255 - i);
        memcpy(static_cast<vt_uint_8 *>(palette->pixels) + i * palette->row_bytes, &c, 4);
    }
    EXPECT_EQ(VtPixelmapPaletteSet(screen, palette), VT_E_OK);
    vt_value v;
    ASSERT_EQ(screen->dispatch->object.query(reinterpret_cast<vt_object *>(screen), &v, VTT_CLUT_O), VT_E_OK);
    auto *clut = reinterpret_cast<vt_device_clut *>(v.o);
    vt_colour entry = 0;
    ASSERT_EQ(clut->dispatch->entryQuery(clut, &entry, 200), VT_E_OK);
    EXPECT_EQ(entry, 0xC80037u);
    EXPECT_NE(clut->dispatch->entrySet(clut, 256, 0), VT_E_OK);
    vt_colour many[4] = {};
    EXPECT_NE(clut->dispatch->entrySetMany(clut, 254, 4, many), VT_E_OK);

    VtPixelmapFill(screen, 0xF81F);
    ASSERT_EQ(Host::shown.size(), 64u * 48u);
    for (vt_uint_16 p : Host::shown)
        ASSERT_EQ(p, 0xF81F);
    // The library's end closes the screen that is still open.
}

TEST(OutputHost, DefaultShowsNothingAndOpensEverything) {
    vt_output_host *before = VtOutputHostSet(nullptr);
    EXPECT_STREQ(VtOutputHost()->identifier, "Memory");
    void *s = VtOutputHost()->open(nullptr, 1, 640, 480);
    EXPECT_NE(s, nullptr);
    VtOutputHost()->close(s);
    VtOutputHostSet(before);
}

} // namespace
