// On a real display (run the test program under xvfb-run with
// SDL_VIDEODRIVER=x11): both drivers open at every resolution and depth, the
// window shows the frame's colours, and a screenshot of it is written.
// Skipped when headless.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "RES/gfx2d.h"
#include "core/options.h"
#include "common/temp_dir.h"
#include "os/display.h"
#include "platform/display.h"

namespace {

// Colour bars in palette entries 16..23 (the game's range).
std::vector<uint8_t> BarsPalette() {
    static const uint8_t bars[8][3] = {{255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {0, 255, 0},
                                       {255, 0, 255},   {255, 0, 0},   {0, 0, 255},   {16, 16, 16}};
    std::vector<uint8_t> p(1024, 0);
    for (int i = 0; i < 8; i++)
        for (int c = 0; c < 3; c++) p[(16 + i) * 4 + c] = bars[i][c];
    return p;
}

TEST(DisplayOnScreen, TestCardShownAndSaved) {
    if (!osVideoStart() || osDisplayHeadless()) GTEST_SKIP() << "no display";
    ruvotest::TempDir dir;
    std::filesystem::create_directories("vek/resource/art/screens");
    auto pal = BarsPalette();
    CurrentPalette = pal.data();
    // The palette dies with this test, also when an assertion ends it early.
    struct PaletteBack {
        ~PaletteBack() { CurrentPalette = nullptr; }
    } paletteBack;
    int shots = 0;
    for (bool window : {true, false})
        for (int depth : {8, 16})
            for (int res : {0, 1, 2}) {
                PixelDepth = depth;
                BytesPerPixel = uint16_t(depth / 8);
                if (window)
                    SelectWindowDriver();
                else
                    ASSERT_TRUE(SelectFullScreenDriver());
                uint16_t w, h;
                ResolutionSize(res, &w, &h);
                TheDisplayMode = {w, h, uint16_t(depth), nullptr, &ScreenSurface};
                // The window driver takes its palette at Open, the full-screen
                // one after it.
                if (window) DisplaySetPalette(pal.data());
                ASSERT_TRUE(DisplayOpen(&TheDisplayMode)) << window << " " << depth << " " << w;
                if (!window) DisplaySetPalette(pal.data());
                for (int frame = 0; frame < 3; frame++) {
                    DisplayBeginFrame(&TheDisplayMode);
                    for (int i = 0; i < 8; i++) FillRect(&ScreenSurface, 16 + i, i * w / 8, 0, (i + 1) * w / 8 - 1, h - 1);
                    ClipRect all{0, 0, int16_t(w - 1), int16_t(h - 1)};
                    DrawLineClipped(&ScreenSurface, -10, -10, w + 10, h + 10, 23, &all);
                    DisplayPresent(&TheDisplayMode);
                }
                uint32_t shown = 0;
                ASSERT_TRUE(osDisplayReadShown(w / 16, h / 3, &shown));
                EXPECT_EQ(shown & 0xF8F8F8, 0xF8F8F8u) << "white bar, driver " << window << " depth " << depth;
                ASSERT_TRUE(osDisplayReadShown(w * 13 / 16, h / 3, &shown));
                EXPECT_EQ(shown, 0x0000FFu) << "blue bar, driver " << window << " depth " << depth;
                EXPECT_TRUE(SaveScreenshotPcx(&ScreenSurface));
                shots++;
            }
    DisplayClose();
    int files = 0;
    for (auto &e : std::filesystem::directory_iterator("vek/resource/art/screens")) files += e.is_regular_file();
    EXPECT_EQ(files, shots);
    if (const char *keep = getenv("RUVO_KEEP_SHOTS"))
        std::filesystem::copy("vek/resource/art/screens", keep,
                              std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
    PixelDepth = 8;
    BytesPerPixel = 1;
    SelectFullScreenDriver();
}

}  // namespace
