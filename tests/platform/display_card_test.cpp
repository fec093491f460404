// The 3D-card display driver through the nine slots, with the library's
// output device showing its frames through a recording host plug: the
// environment it sets and puts back, the back buffer as the screen surface,
// the locks, the pointer drawn at present, the palette, and a device that
// fails to begin.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "RES/gfx2d.h"
#include "core/options.h"
#include "core/progress.h"
#include "os/display.h"
#include "platform/display.h"
#include "platform/hooks.h"
#include "platform/keyboard.h"
#include "platform/video.h"
#include "render/drivers/output.h"
#include "render/pmap/pixelmap.h"
#include "render/scene/scene.h"

namespace {

struct Host {
    static inline std::vector<std::string> calls;
    static inline bool refuse = false;
    static inline int width = 0, height = 0;
    static inline std::vector<uint16_t> shown;
    static inline char screen;

    static void *open(void *, vt_boolean full, vt_int_32 w, vt_int_32 h) {
        calls.push_back("open " + std::to_string(w) + "x" + std::to_string(h) + (full ? " full" : ""));
        width = w;
        height = h;
        return refuse ? nullptr : &screen;
    }
    static void present(void *, const void *pixels, vt_int_32 rowBytes) {
        calls.push_back("present");
        shown.resize(size_t(width) * height);
        for (int y = 0; y < height; y++)
            std::memcpy(&shown[size_t(y) * width], static_cast<const uint8_t *>(pixels) + ptrdiff_t(y) * rowBytes,
                        size_t(width) * 2);
    }
    static void close(void *) { calls.push_back("close"); }
    static uint16_t At(int x, int y) { return shown[size_t(y) * width + x]; }
};
vt_output_host gRecordingHost = {"recording", Host::open, Host::present, Host::close};

// What the floors above were asked.
struct Above {
    static inline std::vector<std::string> calls;
    static inline Surface *sprite = nullptr;
    static inline bool station = false, hidden = false;
    static inline ClipRect stationClip{};
};

PlatformHooks AboveHooks() {
    PlatformHooks h{};
    h.pointerSprite = [] { return static_cast<const Surface *>(Above::sprite); };
    h.stationClip = [](ClipRect *c) {
        if (Above::station) *c = Above::stationClip;
        return Above::station;
    };
    h.guiHidden = [] { return Above::hidden; };
    h.shutdown3d = [] {
        Above::calls.push_back(std::string("shutdown, front-end start ") + (optFrontEndStart ? "set" : "clear"));
    };
    return h;
}

std::string Env(const char *name) {
    const char *v = std::getenv(name);
    return v ? v : "(none)";
}

class CardDisplay : public testing::Test {
protected:
    PlatformHooks hooks = AboveHooks();
    void SetUp() override {
        ResetOptions();
        PixelDepth = 16;
        BytesPerPixel = 2;
        CardMode = 0;
        ResolutionMode = 0;
        LastPalette = nullptr;
        gLoading = 0;
        VideoPlaying = 0;
        TheDisplayMode = {640, 480, 8, nullptr, &ScreenSurface};
        Host::calls.clear();
        Host::shown.clear();
        Host::refuse = false;
        Above::calls.clear();
        Above::sprite = nullptr;
        Above::station = Above::hidden = false;
        SetPlatformHooks(&hooks);
        VtOutputHostSet(&gRecordingHost);
        SelectDeviceDriver();
    }
    void TearDown() override {
        DisplayClose();
        VtOutputHostSet(nullptr);
        SetPlatformHooks(nullptr);
        SelectFullScreenDriver();
        ResetOptions();
        PixelDepth = 8;
        BytesPerPixel = 1;
        CardMode = 0;
        ResolutionMode = 0;
        gMouse.x = gMouse.y = 0;
        unsetenv("FX_GLIDE_NO_SPLASH");
    }
    bool Open(int w, int h) {
        TheDisplayMode.width = uint16_t(w);
        TheDisplayMode.height = uint16_t(h);
        return DisplayOpen(&TheDisplayMode);
    }
    static void Put(int x, int y, uint16_t v) { std::memcpy(ScreenSurface.pixels + y * ScreenSurface.pitch + x * 2, &v, 2); }
    static uint16_t Get(int x, int y) {
        uint16_t v;
        std::memcpy(&v, ScreenSurface.pixels + y * ScreenSurface.pitch + x * 2, 2);
        return v;
    }
};

TEST_F(CardDisplay, OpensTheLibraryDeviceAndPresentsItsBackBuffer) {
    setenv("FX_GLIDE_NO_SPLASH", "0", 1);
    optFrontEndStart = 0xFF;
    ASSERT_TRUE(Open(800, 600));
    EXPECT_EQ(Env("VANTOR_PATH"), "vantor\\dll;vantor\\dat");
    EXPECT_EQ(Env("VANTOR_DEVICES"), "ddraw;3dfx_win;myst_win");
    EXPECT_EQ(Env("FX_GLIDE_NO_SPLASH"), "1");
    EXPECT_EQ(Host::calls, std::vector<std::string>{"open 800x600 full"});
    EXPECT_EQ(CardMode, 1);
    EXPECT_EQ(CardTextureFlag, 1);
    EXPECT_EQ(DirectDrawActive, 1);
    EXPECT_NE(VtSceneDbRoot(), nullptr) << "the library is begun";
    // The back buffer is the screen surface, locked for the game's drawing.
    ASSERT_NE(Display3dBack(), nullptr);
    EXPECT_EQ(TheDisplayMode.screen, &ScreenSurface);
    EXPECT_EQ(ScreenSurface.pixels, Display3dBack()->pixels);
    EXPECT_EQ(ScreenSurface.pitch, 1600);
    EXPECT_EQ(ScreenSurface.width, 800);
    EXPECT_EQ(ScreenSurface.bytesPerPixel, 2);
    EXPECT_TRUE(Display3dBackLocked());
    EXPECT_EQ(Display3dDepth()->type, VT_PMT_DEPTH_16);
    // The same size again keeps the library and its buffers; another size
    // opens anew.
    vt_pixelmap *back = Display3dBack();
    ASSERT_TRUE(Open(800, 600));
    EXPECT_EQ(Display3dBack(), back);
    EXPECT_EQ(Host::calls.size(), 1u);
    ASSERT_TRUE(Open(1024, 768));
    EXPECT_EQ(Host::calls, (std::vector<std::string>{"open 800x600 full", "close", "open 1024x768 full"}));
    ASSERT_TRUE(Open(800, 600));
    Host::calls.erase(Host::calls.begin(), Host::calls.end() - 1);

    ClearSurface(&ScreenSurface, 0);
    Put(0, 0, 0xF800);
    Put(799, 599, 0x07E0);
    DisplayPresent(&TheDisplayMode);
    EXPECT_EQ(Host::At(0, 0), 0xF800);
    EXPECT_EQ(Host::At(799, 599), 0x07E0);
    EXPECT_EQ(Host::At(400, 300), 0);
    EXPECT_TRUE(Display3dBackLocked());
    DisplayBeginFrame(&TheDisplayMode);
    Display3dClear(0x001F);
    DisplayPresent(&TheDisplayMode);
    EXPECT_EQ(Host::At(0, 0), 0x001F);

    DisplayClose();
    EXPECT_EQ(Above::calls, std::vector<std::string>{"shutdown, front-end start clear"});
    EXPECT_EQ(Host::calls.back(), "close");
    EXPECT_EQ(VtSceneDbRoot(), nullptr) << "the library is ended";
    EXPECT_EQ(Display3dBack(), nullptr);
    EXPECT_EQ(ScreenSurface.pixels, nullptr);
    EXPECT_EQ(Env("FX_GLIDE_NO_SPLASH"), "0");
}

TEST_F(CardDisplay, LocksTakeOnceAndNoZLockLeavesTheDepthBufferAlone) {
    ASSERT_TRUE(Open(640, 480));
    Display3dLockBack();
    EXPECT_TRUE(Display3dBackLocked());
    Display3dUnlockBack();
    EXPECT_FALSE(Display3dBackLocked());
    Display3dUnlockBack();
    EXPECT_FALSE(Display3dBackLocked());
    Display3dLockBack();
    Display3dLockBack();
    EXPECT_TRUE(Display3dBackLocked());

    Display3dLockDepth();
    EXPECT_TRUE(Display3dDepthLocked());
    Display3dUnlockDepth();
    EXPECT_FALSE(Display3dDepthLocked());
    optNoZLock = 0xFF;
    Display3dLockDepth();
    EXPECT_FALSE(Display3dDepthLocked());
}

TEST_F(CardDisplay, PointerIsDrawnInItsAreaAndLeavesNoTrail) {
    // An 8 x 8 pointer of palette index 200 with its hotspot in the middle.
    std::vector<uint8_t> image(64, 200);
    Surface sprite = {image.data(), 8, 8, 4, 4, 8, 1};
    Above::sprite = &sprite;
    std::vector<uint8_t> palette(1024, 0);
    palette[200 * 4] = palette[200 * 4 + 2] = 255;
    const uint8_t *savedPalette = CurrentPalette;
    CurrentPalette = palette.data();
    const uint16_t pointer = 0xF81F;
    struct Case {
        const char *what;
        int resolution, w, h;
        int x, y;
        bool station, hidden, video, loading;
        int left, top, right, bottom;  // the pointer's pixels on screen; left > right: none
    } const cases[] = {
        {"whole", 0, 640, 480, 100, 50, false, false, false, false, 96, 46, 103, 53},
        {"left of the centred 640 x 480", 1, 800, 600, 82, 300, false, false, false, false, 80, 296, 85, 303},
        {"above it", 2, 1024, 768, 400, 145, false, false, false, false, 396, 144, 403, 148},
        {"station clip", 1, 800, 600, 300, 300, true, false, false, false, 300, 296, 303, 303},
        {"GUI hidden", 0, 640, 480, 100, 50, false, true, false, false, 1, 1, 0, 0},
        {"film playing", 0, 640, 480, 100, 50, false, false, true, false, 1, 1, 0, 0},
        {"loading", 0, 640, 480, 100, 50, false, false, false, true, 1, 1, 0, 0},
    };
    for (const Case &c : cases) {
        ResolutionMode = int16_t(c.resolution);
        ASSERT_TRUE(Open(c.w, c.h)) << c.what;
        Above::station = c.station;
        Above::stationClip = {300, 0, 700, 599};
        Above::hidden = c.hidden;
        VideoPlaying = c.video;
        gLoading = c.loading;
        gMouse.x = c.x;
        gMouse.y = c.y;
        ClearSurface(&ScreenSurface, 0);
        DisplayPresent(&TheDisplayMode);
        int count = 0, left = 9999, top = 9999, right = -1, bottom = -1;
        for (int y = 0; y < c.h; y++)
            for (int x = 0; x < c.w; x++)
                if (Host::At(x, y) == pointer) {
                    count++;
                    left = std::min(left, x), top = std::min(top, y);
                    right = std::max(right, x), bottom = std::max(bottom, y);
                }
        if (c.left > c.right) {
            EXPECT_EQ(count, 0) << c.what;
        } else {
            EXPECT_EQ((std::vector<int>{left, top, right, bottom}), (std::vector<int>{c.left, c.top, c.right, c.bottom}))
                << c.what;
            EXPECT_EQ(count, (c.right - c.left + 1) * (c.bottom - c.top + 1)) << c.what;
            // The position went into the first record, the next present's
            // into the second.
            EXPECT_EQ(Display3dPointerAt[0].x, c.x) << c.what;
            DisplayPresent(&TheDisplayMode);
            EXPECT_EQ(Display3dPointerAt[1].y, c.y) << c.what;
        }
        // What the game drew is back under the pointer.
        for (int y = 0; y < c.h; y++)
            for (int x = 0; x < c.w; x++)
                ASSERT_EQ(Get(x, y), 0) << c.what << " at " << x << ", " << y;
        DisplayClose();
        Display3dPointerAt[0] = Display3dPointerAt[1] = {};
    }
    CurrentPalette = savedPalette;
}

TEST_F(CardDisplay, PaletteReachesTheDeviceAsBlueGreenRed) {
    ASSERT_TRUE(Open(640, 480));
    std::vector<uint8_t> pal(1024);
    for (int i = 0; i < 256; i++) {
        pal[i * 4] = uint8_t(i);
        pal[i * 4 + 1] = uint8_t(255 - i);
        pal[i * 4 + 2] = uint8_t(i / 2);
    }
    for (auto set : {DisplaySetPalette, DisplayLoadPalette}) {
        LastPalette = nullptr;
        set(pal.data());
        EXPECT_EQ(LastPalette, pal.data());
        vt_value v;
        ASSERT_EQ(Display3dScreen()->dispatch->object.query(reinterpret_cast<vt_object *>(Display3dScreen()), &v,
                                                            VTT_CLUT_O),
                  VT_E_OK);
        auto *clut = reinterpret_cast<vt_device_clut *>(v.o);
        // No gamma and no reserved entries.
        for (int i : {0, 5, 100, 250}) {
            vt_colour c = 0;
            ASSERT_EQ(clut->dispatch->entryQuery(clut, &c, i), VT_E_OK);
            EXPECT_EQ(c, vt_colour(i) << 16 | vt_colour(255 - i) << 8 | vt_colour(i / 2)) << i;
        }
    }
}

TEST_F(CardDisplay, ADeviceThatFailsToBeginSaysSoAndOpenFails) {
    struct Case {
        const char *what;
        int depth;
        bool refuse;
        size_t opens;
    } const cases[] = {{"the host has no screen", 16, true, 1}, {"8-bit colour", 8, false, 0}};
    for (const Case &c : cases) {
        Host::calls.clear();
        Host::refuse = c.refuse;
        PixelDepth = c.depth;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(Open(640, 480)) << c.what;
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("Veltraxis Loading Error"), std::string::npos) << c.what;
        EXPECT_NE(err.find("A problem has been detected during Vantor initialisation.\n\nPlease see the Readme file "
                           "for details on how to fix this problem"),
                  std::string::npos)
            << c.what;
        EXPECT_EQ(Host::calls.size(), c.opens) << c.what;
        EXPECT_EQ(Display3dScreen(), nullptr) << c.what;
        EXPECT_EQ(VtSceneDbRoot(), nullptr) << c.what << ": the library is ended again";
    }
}

TEST_F(CardDisplay, TheGameDisplayShowsTheFrames) {
    VtOutputHostSet(&CardOutputHost);
    ASSERT_TRUE(Open(640, 480));
    EXPECT_TRUE(osDisplayIsOpen());
    Put(10, 20, 0xABCD);
    DisplayPresent(&TheDisplayMode);
    int pitch = 0;
    auto *frame = static_cast<const uint8_t *>(osDisplayLastFrame(&pitch));
    ASSERT_NE(frame, nullptr);
    uint16_t v;
    std::memcpy(&v, frame + 20 * pitch + 10 * 2, 2);
    EXPECT_EQ(v, 0xABCD);
    DisplayClose();
    EXPECT_FALSE(osDisplayIsOpen());
}

}  // namespace
