// The display-driver interface, the full-screen and window drivers, their
// palettes and gamma, and the frame conversion at present (headless: the
// frame is converted into memory and read back).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "RES/gfx2d.h"
#include "core/options.h"
#include "os/display.h"
#include "platform/display.h"

namespace {

// Entry i = (i, 255 - i, i / 2, 0).
std::vector<uint8_t> Palette(int salt = 0) {
    std::vector<uint8_t> p(1024);
    for (int i = 0; i < 256; i++) {
        p[i * 4] = uint8_t(i + salt);
        p[i * 4 + 1] = uint8_t(255 - i);
        p[i * 4 + 2] = uint8_t(i / 2);
    }
    return p;
}

uint32_t Argb(const uint8_t *e) { return 0xFF000000u | (e[0] << 16) | (e[1] << 8) | e[2]; }

// The colour that pixel (x, y) of the last presented frame showed.
uint32_t Shown(int x, int y) {
    int pitch = 0;
    auto *frame = static_cast<const uint8_t *>(osDisplayLastFrame(&pitch));
    if (!frame) return 0xDEAD;
    if (PixelDepth == 16) {
        uint16_t v;
        std::memcpy(&v, frame + y * pitch + x * 2, 2);
        return v;
    }
    uint32_t v;
    std::memcpy(&v, frame + y * pitch + x * 4, 4);
    return v;
}

class Display : public testing::Test {
protected:
    void SetUp() override {
        ResetOptions();
        PixelDepth = 8;
        BytesPerPixel = 1;
        CardMode = 0;
        DisplayGamma = 1.0f;
        LastPalette = nullptr;
        TheDisplayMode = {640, 480, 8, nullptr, &ScreenSurface};
    }
    void TearDown() override {
        DisplayClose();
        SelectFullScreenDriver();
        ResetOptions();
        PixelDepth = 8;
        BytesPerPixel = 1;
        CardMode = 0;
        DisplayGamma = 1.0f;
    }
    bool Open(int w, int h) {
        TheDisplayMode.width = uint16_t(w);
        TheDisplayMode.height = uint16_t(h);
        return DisplayOpen(&TheDisplayMode);
    }
};

// A driver that records which slot was called.
std::string gCalls;
const DisplayDriver kRecorder = {
    [](DisplayMode *) { return gCalls += "0", true; },
    [] { gCalls += "1"; },
    [](DisplayMode *) { gCalls += "2"; },
    [](DisplayMode *) { gCalls += "3"; },
    [](DisplayMode *) { gCalls += "4"; },
    [] { gCalls += "5"; },
    [](PaletteEntries) { gCalls += "6"; },
    [](PaletteEntries) { gCalls += "7"; },
    [](PaletteEntries) { gCalls += "8"; },
};

TEST_F(Display, ForwardersReachTheirSlots) {
    const DisplayDriver *saved = CurrentDisplayDriver;
    CurrentDisplayDriver = &kRecorder;
    gCalls.clear();
    auto pal = Palette();
    EXPECT_TRUE(DisplayOpen(&TheDisplayMode));
    DisplayClose();
    DisplayBlitWindow(&TheDisplayMode);
    DisplayPresent(&TheDisplayMode);
    DisplayBeginFrame(&TheDisplayMode);
    DisplayEndFrame();
    DisplaySetPaletteHandle(pal.data());
    DisplaySetPalette(pal.data());
    DisplayLoadPalette(pal.data());
    DisplayLoadPalette(nullptr);
    EXPECT_EQ(gCalls, "012345678");
    CurrentDisplayDriver = saved;
}

TEST_F(Display, DriverChoiceSetsTablesAndFlags) {
    EXPECT_TRUE(SelectFullScreenDriver());
    EXPECT_EQ(CurrentDisplayDriver, &DDrawDriver);
    EXPECT_EQ(CurrentVideoBackend, VideoBackendKind::FullScreen);
    EXPECT_EQ(FullScreenMode, 1);
    EXPECT_EQ(DirectDrawActive, 1);
    SelectWindowDriver();  // "w" after the default "f"
    EXPECT_EQ(CurrentDisplayDriver, &GdiDriver);
    EXPECT_EQ(CurrentVideoBackend, VideoBackendKind::Window);
    EXPECT_EQ(FullScreenMode, 0);
    EXPECT_EQ(DirectDrawActive, 0);
    EXPECT_EQ(SoftwareRendering, 1);
    SelectDeviceDriver();
    EXPECT_EQ(CurrentDisplayDriver, &Display3dDriver);
    EXPECT_EQ(CurrentVideoBackend, VideoBackendKind::Card);
    EXPECT_EQ(CardMode, 1);
    EXPECT_EQ(CardOptionFlag, 1);
    EXPECT_EQ(SoftwareRendering, 0);
}

TEST_F(Display, NullLoadPaletteDoesNothingForEveryDriver) {
    auto pal = Palette();
    for (const DisplayDriver *d : {&DDrawDriver, &GdiDriver, &Display3dDriver}) {
        CurrentDisplayDriver = d;
        LastPalette = pal.data();
        DisplayLoadPalette(nullptr);
        EXPECT_EQ(LastPalette, pal.data());
    }
}

TEST_F(Display, GammaCorrection) {
    for (int c = 0; c < 256; c++) EXPECT_EQ(GammaCorrect(uint8_t(c), 1.0f), c);
    EXPECT_EQ(GammaCorrect(64, 2.0f), 128);  // 256 x sqrt(1/4)
    EXPECT_EQ(GammaCorrect(0, 0.5f), 0);
    auto pal = Palette();
    uint8_t out[1024];
    GammaCorrectPalette(out, pal.data(), 2.0f);
    for (int i = 0; i < 256; i++) {
        bool game = i >= 10 && i <= 245;
        for (int c = 0; c < 3; c++)
            EXPECT_EQ(out[i * 4 + c], game ? GammaCorrect(pal[i * 4 + c], 2.0f) : pal[i * 4 + c]);
    }
}

TEST_F(Display, FullScreenPresentsThroughThePalette) {
    ASSERT_TRUE(SelectFullScreenDriver());
    ASSERT_TRUE(Open(640, 480));
    EXPECT_FALSE(DisplayFlipsTwoBuffers());  // the system buffer is shown as it is
    EXPECT_EQ(ScreenSurface.width, 640);
    EXPECT_EQ(ScreenSurface.pitch, 640);
    EXPECT_EQ(TheDisplayMode.screen, &ScreenSurface);
    auto pal = Palette();
    DisplayGamma = 2.0f;
    DisplaySetPalette(pal.data());
    EXPECT_EQ(LastPalette, pal.data());
    DisplayBeginFrame(&TheDisplayMode);
    ScreenSurface.pixels[0] = 5;
    ScreenSurface.pixels[1] = 100;
    ScreenSurface.pixels[640 * 479 + 639] = 250;
    DisplayPresent(&TheDisplayMode);
    uint8_t corrected[1024];
    GammaCorrectPalette(corrected, pal.data(), 2.0f);
    EXPECT_EQ(Shown(0, 0), Argb(&pal[5 * 4]));  // outside 10..245: as given
    EXPECT_EQ(Shown(1, 0), Argb(&corrected[100 * 4]));
    EXPECT_NE(Shown(1, 0), Argb(&pal[100 * 4]));
    EXPECT_EQ(Shown(639, 479), Argb(&pal[250 * 4]));
    // SetPaletteHandle: no gamma, LastPalette stays.
    auto other = Palette(1);
    DisplaySetPaletteHandle(other.data());
    EXPECT_EQ(LastPalette, pal.data());
    DisplayPresent(&TheDisplayMode);
    EXPECT_EQ(Shown(1, 0), Argb(&other[100 * 4]));
    // LoadPalette changes the colours and LastPalette.
    DisplayGamma = 1.0f;
    DisplayLoadPalette(other.data());
    EXPECT_EQ(LastPalette, other.data());
}

TEST_F(Display, FullScreenSixteenBitsIgnoresLoadPalette) {
    PixelDepth = 16;
    ASSERT_TRUE(SelectFullScreenDriver());
    ASSERT_TRUE(Open(800, 600));
    EXPECT_EQ(BytesPerPixel, 2);
    EXPECT_EQ(ScreenSurface.pitch, 1600);
    auto pal = Palette(), other = Palette(3);
    DisplayLoadPalette(pal.data());
    EXPECT_EQ(LastPalette, nullptr);
    DisplaySetPaletteHandle(pal.data());
    EXPECT_EQ(LastPalette, nullptr);
    DisplaySetPalette(other.data());
    EXPECT_EQ(LastPalette, other.data());
    uint16_t v = 0xF81F;
    std::memcpy(ScreenSurface.pixels + 1600 * 10 + 2 * 7, &v, 2);
    DisplayPresent(&TheDisplayMode);
    EXPECT_EQ(Shown(7, 10), 0xF81Fu);  // RGB565 as it is
}

TEST_F(Display, FlipChainSwapsBuffersAtPresent) {
    optSysBuf = 0;
    ASSERT_TRUE(SelectFullScreenDriver());
    ASSERT_TRUE(Open(640, 480));
    EXPECT_EQ(DirectDrawActive, 1);
    EXPECT_TRUE(DisplayFlipsTwoBuffers());
    uint8_t *first = ScreenSurface.pixels;
    DisplayPresent(&TheDisplayMode);
    DisplayBeginFrame(&TheDisplayMode);
    EXPECT_NE(ScreenSurface.pixels, first);
    DisplayPresent(&TheDisplayMode);
    DisplayBeginFrame(&TheDisplayMode);
    EXPECT_EQ(ScreenSurface.pixels, first);
}

TEST_F(Display, WindowPaletteKeepsTheSystemColours) {
    SelectWindowDriver();
    auto pal = Palette();
    DisplaySetPalette(pal.data());
    const uint8_t *rec = GdiPaletteRecord();
    EXPECT_EQ(rec[7 * 4], 192);  // a static colour, not the game's
    EXPECT_EQ(rec[255 * 4 + 1], 255);
    EXPECT_EQ(rec[100 * 4 + 1], 155);
    EXPECT_EQ(rec[100 * 4 + 3], 1);  // the game's entries are reserved
    EXPECT_EQ(rec[7 * 4 + 3], 0);
    // LoadPalette before Open changes only the record.
    auto other = Palette(9);
    DisplayLoadPalette(other.data());
    EXPECT_EQ(rec[100 * 4], 109);
    EXPECT_EQ(rec[7 * 4], 16);
    ASSERT_TRUE(Open(640, 480));
    // After Open, a LoadPalette reaches the screen only for 10..245.
    DisplaySetPalette(pal.data());
    ASSERT_TRUE(Open(640, 480));
    DisplayLoadPalette(other.data());
    ScreenSurface.pixels[0] = 3;
    ScreenSurface.pixels[1] = 100;
    ScreenSurface.pixels[2] = 250;
    DisplayPresent(&TheDisplayMode);
    const uint8_t olive[3] = {128, 128, 0}, green[3] = {0, 255, 0};
    EXPECT_EQ(Shown(0, 0), Argb(olive));
    EXPECT_EQ(Shown(1, 0), Argb(&other[100 * 4]));
    EXPECT_EQ(Shown(2, 0), Argb(green));
}

TEST_F(Display, WindowPitchFollowsTheDepth) {
    SelectWindowDriver();
    for (int depth : {8, 16, 24}) {
        PixelDepth = depth;
        ASSERT_TRUE(Open(800, 600));
        EXPECT_EQ(ScreenSurface.pitch, 800 * depth / 8);
        ASSERT_NE(ScreenSurface.pixels, nullptr);
    }
    PixelDepth = 24;
    ASSERT_TRUE(Open(640, 480));
    ScreenSurface.pixels[0] = 0x10;  // blue, green, red
    ScreenSurface.pixels[1] = 0x20;
    ScreenSurface.pixels[2] = 0x30;
    DisplayPresent(&TheDisplayMode);
    EXPECT_EQ(Shown(0, 0), 0xFF302010u);
}

TEST_F(Display, SwitchingDriversAndModes) {
    struct {
        bool window;
        int depth, w, h;
    } steps[] = {{true, 8, 640, 480}, {false, 8, 800, 600}, {false, 16, 1024, 768},
                 {true, 16, 1024, 768}, {false, 8, 640, 480}};
    for (auto &s : steps) {
        PixelDepth = s.depth;
        if (s.window)
            SelectWindowDriver();
        else
            ASSERT_TRUE(SelectFullScreenDriver());
        ASSERT_TRUE(Open(s.w, s.h));
        EXPECT_EQ(ScreenSurface.width, s.w);
        EXPECT_EQ(ScreenSurface.height, s.h);
        EXPECT_EQ(ScreenSurface.bytesPerPixel, s.depth / 8);  // the drawers go by it
        ClearSurface(&ScreenSurface, 5);  // the whole new surface is writable
        DisplayPresent(&TheDisplayMode);
        EXPECT_EQ(RowOffsets[10], 10u * ScreenSurface.pitch);
    }
    DisplayClose();
    EXPECT_EQ(ScreenSurface.pixels, nullptr);
    EXPECT_FALSE(osDisplayIsOpen());
}

TEST_F(Display, SuspendAndResumeLeaveAWorkingDisplay) {
    ASSERT_TRUE(SelectFullScreenDriver());
    ASSERT_TRUE(Open(640, 480));
    auto pal = Palette();
    DisplaySetPalette(pal.data());
    DisplayDDrawSuspend();
    EXPECT_FALSE(osDisplayIsOpen());
    DisplayDDrawResume();
    EXPECT_TRUE(osDisplayIsOpen());
    ASSERT_NE(ScreenSurface.pixels, nullptr);
    DisplayBeginFrame(&TheDisplayMode);
    ScreenSurface.pixels[0] = 100;
    DisplayPresent(&TheDisplayMode);
    EXPECT_EQ(Shown(0, 0), Argb(&pal[100 * 4]));
}

TEST_F(Display, ResolutionModes) {
    uint16_t w, h;
    const int want[3][2] = {{640, 480}, {800, 600}, {1024, 768}};
    for (int m = 0; m < 3; m++) {
        ResolutionSize(m, &w, &h);
        EXPECT_EQ(w, want[m][0]);
        EXPECT_EQ(h, want[m][1]);
    }
}

}  // namespace
