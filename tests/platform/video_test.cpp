#include "platform/video.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "RES/gfx2d.h"
#include "core/options.h"
#include "common/temp_dir.h"
#include "platform/display.h"
#include "platform/hooks.h"
#include "platform/keyboard.h"
#include "platform/smack.h"

namespace {

int64_t gFakeNow;
int64_t AlwaysDue() { return gFakeNow += 1000000; }
int64_t Frozen() { return gFakeNow; }

// Films of the sample data, played on the window driver's 640 x 480 surface.
class Video : public ::testing::Test {
protected:
    void SetUp() override {
        old_ = std::filesystem::current_path();
        const char *root = std::getenv("RUVO_DATA");
        std::filesystem::current_path(root ? root : "data");
        for (int i = 0; i < 256; ++i) {
            gamePalette_[4 * i] = uint8_t(i);
            gamePalette_[4 * i + 1] = uint8_t(255 - i);
            gamePalette_[4 * i + 2] = 7;
        }
        CurrentPalette = gamePalette_;
        SmackSetClock(AlwaysDue);
        KeyQueueReset();
        std::memset(KeyDownTable, 0, 256);
        Open(8);
    }
    void TearDown() override {
        VideoStop();
        DisplayClose();
        SmackSetClock(nullptr);
        CurrentPalette = nullptr;
        PixelDepth = 8;
        std::filesystem::current_path(old_);
    }
    void Open(int depth, uint16_t width = 640, uint16_t height = 480) {
        DisplayClose();
        PixelDepth = depth;
        SelectWindowDriver();
        TheDisplayMode.width = width;
        TheDisplayMode.height = height;
        ASSERT_TRUE(DisplayOpen(&TheDisplayMode));
        ClearSurface(&ScreenSurface, 3);
    }
    static uint8_t Px(int x, int y) { return ScreenSurface.pixels[y * ScreenSurface.pitch + x]; }
    static uint16_t Px16(int x, int y) {
        const uint8_t *p = ScreenSurface.pixels + y * ScreenSurface.pitch + 2 * x;
        return uint16_t(p[0] | p[1] << 8);
    }
    uint8_t gamePalette_[1024];
    std::filesystem::path old_;
};

TEST(VideoPath, NamesAndPaths) {
    struct {
        const char *in, *out;
    } rows[] = {
        {"entry.smk", "vek\\resource\\video\\entry.smk"},
        {"abcdefgh.smk", "vek\\resource\\video\\abcdefgh.smk"},  // 12 characters
        {"d:\\films\\longername.smk", "vek\\resource\\video\\longername.smk"},
        {"a\\b\\entry.smk", "vek\\resource\\video\\entry.smk"},
        {"nobackslashname.smk", "vek\\resource\\video\\nobackslashname.smk"},
    };
    for (auto &r : rows) EXPECT_STREQ(MakeVideoPath(r.in), r.out) << r.in;
}

// A Smacker header claiming more frames or trees than its file can hold is
// refused before any decoder sees it; films of other kinds are not judged by
// it.
TEST(SmackHeader, FrameCountAndTreesMustFitTheFile) {
    auto header = [](const char *tag, uint32_t frames, uint32_t trees = 0) {
        std::vector<uint8_t> h(trees ? 56 : 16, 0);
        std::memcpy(h.data(), tag, 4);
        PutU32Le(h.data(), 12, frames);
        if (trees) PutU32Le(h.data(), 52, trees);
        return h;
    };
    struct Case {
        const char *tag;
        uint32_t frames, trees;
        uint64_t fileSize;
        bool plausible;
    } cases[] = {
        {"SMK2", 12, 0, 104 + 60, true},
        {"SMK2", 12, 0, 104 + 59, false},
        {"SMK4", 0xFFFFFFFF, 0, 1000, false},
        {"SMK2", 0, 0, 104, true},
        {"RIFF", 0xFFFFFFFF, 0, 100, true},
        {"SMK2", 8, 776, 104 + 40 + 776, true},
        {"SMK2", 8, 776, 104 + 40 + 775, false},
        // Trees of 842 MB in a film of 268 bytes (found by fuzzing).
        {"SMK2", 8, 0x323033E8, 268, false},
    };
    for (const Case &c : cases) {
        std::vector<uint8_t> h = header(c.tag, c.frames, c.trees);
        EXPECT_EQ(SmackHeaderPlausible(BytesOf(h.data(), h.size()), c.fileSize), c.plausible)
            << c.frames << " " << c.trees << " " << c.fileSize;
    }
    // Too short to hold a frame count: the decoders judge it.
    EXPECT_TRUE(SmackHeaderPlausible(BytesOf("SMK2", 4), 4));

    ruvotest::TempDir dir;
    std::filesystem::create_directories("vek/resource/video");
    std::vector<uint8_t> lying = header("SMK2", 0x7FFFFFFF);
    lying.resize(200, 0);
    std::ofstream("vek/resource/video/lying.smk", std::ios::binary)
        .write(reinterpret_cast<const char *>(lying.data()), std::streamsize(lying.size()));
    EXPECT_EQ(SmackOpenByName("lying.smk"), nullptr);
    EXPECT_FALSE(FilmFilePlausible("vek/resource/video/lying.smk"));
    EXPECT_FALSE(FilmFilePlausible("vek/resource/video/none.smk"));
}

TEST_F(Video, MissingAndCorruptFilmsDoNotStart) {
    EXPECT_FALSE(PlayVideo(nullptr));
    VideoPlaying = 0;
    EXPECT_FALSE(PlayVideo("nothere.smk"));
    EXPECT_FALSE(VideoPlaying);
    EXPECT_EQ(VideoState().fullScreen, nullptr);

    ruvotest::TempDir dir;
    std::filesystem::create_directories("vek/resource/video");
    std::ifstream in(std::string(std::getenv("RUVO_DATA")) + "/vek/resource/video/card320.smk", std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    ASSERT_GT(bytes.size(), 2000u);
    std::ofstream("vek/resource/video/cut.smk", std::ios::binary).write(bytes.data(), 400);
    // Cut short after its first frames: it starts, and ends where it breaks
    // off; the log says it is short.
    std::ofstream("vek/resource/video/half.smk", std::ios::binary).write(bytes.data(), std::streamsize(bytes.size() / 2));
    std::remove("debug.txt");
    ASSERT_TRUE(PlayVideo("half.smk"));
    {
        std::ifstream log("debug.txt", std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(log)), {});
        EXPECT_NE(text.find("Short data file vek\\resource\\video\\half.smk: "), std::string::npos) << text;
    }
    VideoPlaying = 1;
    int steps = 1;
    while (StepPlayingVideo() && steps < 100) ++steps;
    EXPECT_LT(steps, 12);
    EXPECT_FALSE(VideoPlaying);
    std::ofstream("vek/resource/video/junk.smk", std::ios::binary) << "SMK2 and nothing else of a film";
    std::remove("debug.txt");
    EXPECT_FALSE(PlayVideo("cut.smk"));
    EXPECT_FALSE(PlayVideo("junk.smk"));
    {
        // Each refused film is named in the debug log, with why.
        std::ifstream log("debug.txt", std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(log)), {});
        EXPECT_NE(text.find("Refused data file vek\\resource\\video\\cut.smk: "), std::string::npos) << text;
        EXPECT_NE(text.find("Refused data file vek\\resource\\video\\junk.smk: "), std::string::npos) << text;
    }
    Smack *h = nullptr;
    EXPECT_FALSE(VideoOpenInWindow(&h, "junk.smk", 0, 0, 0, 0));
    EXPECT_EQ(SmackOpenByName("cut.smk"), nullptr);
}

TEST_F(Video, DoubledFilmPlaysToItsLastFrame) {
    ASSERT_TRUE(PlayVideo("card320.smk"));  // 320 x 240, 12 frames
    VideoPlaying = 1;
    EXPECT_TRUE(VideoState().doubled);
    int steps = 0;
    bool going = true;
    while (going && steps < 100) {
        going = StepPlayingVideo();
        ++steps;
        if (steps == 1) {
            // The film's colours on 10..245, the game's on the system entries.
            ASSERT_NE(LastPalette, nullptr);
            EXPECT_EQ(LastPalette[4 * 5], 5);
            EXPECT_EQ(LastPalette[4 * 5 + 1], 250);
            EXPECT_EQ(LastPalette[4 * 250 + 2], 7);
            EXPECT_NE(LastPalette[4 * 100 + 2], 7);
        }
        if (going) {
            // Frame k shows k + 1 marker blocks of 4 pixels, 8 once doubled.
            EXPECT_EQ(Px(8 * steps - 1, 7), 255) << steps;
            EXPECT_NE(Px(8 * steps, 0), 255) << steps;
        }
    }
    EXPECT_EQ(steps, 12);
    EXPECT_FALSE(VideoPlaying);
    EXPECT_EQ(VideoState().fullScreen, nullptr);
    EXPECT_EQ(LastPalette, CurrentPalette);  // the game's palette is back
    EXPECT_FALSE(StepPlayingVideo());
}

TEST_F(Video, CentredFilmAtBothDepths) {
    for (int depth : {8, 16}) {
        SCOPED_TRACE(depth);
        Open(depth);
        ASSERT_TRUE(PlayVideo("reentry1.smk"));  // 256 x 192, 10 frames
        VideoPlaying = 1;
        EXPECT_FALSE(VideoState().doubled);
        ASSERT_TRUE(StepPlayingVideo());
        int x0 = (640 - 256) / 2, y0 = (480 - 192) / 2;
        if (depth == 8) {
            EXPECT_EQ(Px(x0, y0), 255);
            EXPECT_EQ(Px(x0 - 1, y0), 0);  // the first frame cleared the screen
            EXPECT_EQ(Px(x0 + 4, y0), Px(x0 + 4, y0 + 3));
        } else {
            EXPECT_NE(Px16(x0, y0), PaletteToRgb565(CurrentPalette, 0));
            EXPECT_EQ(Px16(x0 - 1, y0), PaletteToRgb565(CurrentPalette, 0));
        }
        int n = 1;
        while (StepPlayingVideo()) ++n;
        EXPECT_EQ(n, 9);  // ten frames: the tenth ends the film
        if (depth == 8) {
            EXPECT_EQ(Px(x0, y0), 0);  // stopped: the screen is cleared
        }
    }
}

TEST_F(Video, FullScreenDriverBackEnd) {
    CurrentVideoBackend = VideoBackendKind::FullScreen;
    ASSERT_TRUE(PlayVideo("reentry1.smk"));
    VideoPlaying = 1;
    ASSERT_TRUE(StepPlayingVideo());
    EXPECT_EQ(Px(192, 144), 255);
    EXPECT_EQ(LastPalette[4 * 5 + 1], 101);  // all 256 entries are the film's (grey 5 x 20, in 6 bits)
    int n = 1;
    while (StepPlayingVideo()) ++n;
    EXPECT_EQ(n, 9);
    EXPECT_FALSE(VideoPlaying);
    CurrentVideoBackend = VideoBackendKind::Window;
}

TEST_F(Video, FilmLargerThanTheScreenStaysInside) {
    for (VideoBackendKind kind : {VideoBackendKind::Window, VideoBackendKind::FullScreen}) {
        for (int depth : {8, 16}) {
            Open(depth, 200, 150);
            CurrentVideoBackend = kind;
            for (const char *film : {"reentry1.smk", "card320.smk"}) {  // centred, and doubled
                SCOPED_TRACE(film);
                ASSERT_TRUE(PlayVideo(film));
                VideoPlaying = 1;
                int n = 0;
                while (StepPlayingVideo() && n < 50) ++n;
                EXPECT_GT(n, 5);
            }
        }
    }
    CurrentVideoBackend = VideoBackendKind::Window;
}

TEST_F(Video, NotDueMeansNoNewFrame) {
    SmackSetClock(Frozen);
    ASSERT_TRUE(PlayVideo("reentry1.smk"));
    VideoPlaying = 1;
    ASSERT_TRUE(StepPlayingVideo());  // the first frame is due at once
    EXPECT_EQ(VideoState().fullScreen->FrameNum, 1u);
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(StepPlayingVideo());
    EXPECT_EQ(VideoState().fullScreen->FrameNum, 1u);
    gFakeNow += 100000;  // one frame later
    ASSERT_TRUE(StepPlayingVideo());
    EXPECT_EQ(VideoState().fullScreen->FrameNum, 2u);
}

TEST_F(Video, OnlySkipKeysEndAFilm) {
    ASSERT_TRUE(PlayVideo("entry.smk"));
    VideoPlaying = 1;
    KeyQueuePut(0x1E61);  // 'a': swallowed
    KeyQueuePut(0x1F73);
    KeyDownTable[0x1E] = 0xFF;
    EXPECT_TRUE(StepPlayingVideo());
    EXPECT_EQ(KeyQueueCount(), 0);
    EXPECT_TRUE(VideoPlaying);
    KeyDownTable[0x1E] = 0;
    for (uint8_t scan : {0x01, 0x3B, 0x3C, 0x3D, 0x3E, 0x19}) {
        SCOPED_TRACE(int(scan));
        ASSERT_TRUE(PlayVideo("entry.smk"));
        VideoPlaying = 1;
        ASSERT_TRUE(StepPlayingVideo());
        KeyDownTable[scan] = 0xFF;
        KeyQueuePut(uint16_t(scan << 8));
        EXPECT_FALSE(StepPlayingVideo());
        EXPECT_FALSE(VideoPlaying);
        EXPECT_EQ(VideoState().fullScreen, nullptr);
        KeyDownTable[scan] = 0;
    }
}

TEST_F(Video, WindowClipHoldsOnItsStopFrame) {
    CurrentPalette = nullptr;  // no game palette: the film's indices stay as they are
    Smack *h = nullptr;
    ASSERT_TRUE(VideoOpenInWindow(&h, "card160a.smk", 0, 3, 0, 0));  // 160 x 120, 8 frames
    ASSERT_NE(h, nullptr);
    const int16_t rect[4] = {100, 50, 259, 169};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(VideoFrameToRect(h, rect));
        EXPECT_FALSE(VideoState().held);
        EXPECT_EQ(Px(100 + 4 * i, 50), 255);
        EXPECT_NE(Px(100 + 4 * (i + 1), 50), 255);
    }
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(VideoFrameToRect(h, rect));
        EXPECT_TRUE(VideoState().held);
    }
    EXPECT_EQ(h->FrameNum, 3u);
    EXPECT_NE(Px(100 + 12, 50), 255);  // still the stop frame's picture
    VideoClose(h);
    EXPECT_FALSE(VideoFrameToRect(h, rect));  // a closed film is not touched again
}

TEST_F(Video, WindowClipRunsToItsEndAndStaysInside) {
    CurrentPalette = nullptr;
    Smack *h = nullptr;
    ASSERT_TRUE(VideoOpenInWindow(&h, "card160b.smk", 0, 0, 1, 0));
    // A rectangle larger than the film, and one reaching past the screen.
    const int16_t big[4] = {0, 0, 639, 479};
    const int16_t off[4] = {600, 450, 799, 599};
    int n = 0;
    while (VideoFrameToRect(h, n % 2 ? off : big) && n < 100) ++n;
    EXPECT_EQ(n, 7);  // 8 frames: the eighth closes it
    EXPECT_EQ(Px(240, 180), 255);  // the film centred in the big rectangle
    EXPECT_TRUE(VideoState().held);

    // A film larger than its rectangle shows its centre.
    ASSERT_TRUE(VideoOpenInWindow(&h, "reentry1.smk", 0, 0, 0, 0));
    ClearSurface(&ScreenSurface, 3);
    const int16_t small[4] = {10, 10, 29, 19};
    ASSERT_TRUE(VideoFrameToRect(h, small));
    EXPECT_NE(Px(10, 10), 3);
    EXPECT_EQ(Px(30, 10), 3);
    EXPECT_EQ(Px(10, 20), 3);
    VideoClose(h);
}

TEST_F(Video, CardWindowFilmAtSixteenBits) {
    Open(16);
    CurrentVideoBackend = VideoBackendKind::Card;
    Smack *h = nullptr;
    ASSERT_TRUE(VideoOpenInWindow(&h, "card160d.smk", 0, 0, 1, 0));  // 160 x 120, keyed
    const int16_t rect[4] = {10, 20, 169, 139};
    ASSERT_TRUE(VideoFrameToRect(h, rect));
    const uint16_t grey = uint16_t((227 >> 3) << 11 | (227 >> 2) << 5 | (227 >> 3));
    EXPECT_EQ(Px16(10, 20), grey);  // the frame marker, decoded as RGB 5:6:5
    EXPECT_NE(Px16(14, 20), grey);
    VideoClose(h);
    CurrentVideoBackend = VideoBackendKind::Window;
}

TEST_F(Video, StartFrameAndLoopingClip) {
    CurrentPalette = nullptr;
    Smack *h = nullptr;
    ASSERT_TRUE(VideoOpenInWindow(&h, "card160c.smk", 0, 0, 0, 0));
    Smack *first = h;
    ASSERT_TRUE(VideoOpenInWindow(&h, "card160c.smk", 4, 0, 0, 0));  // reuses the open film
    EXPECT_EQ(h, first);
    EXPECT_EQ(h->FrameNum, 4u);
    EXPECT_EQ(VideoState().startFrame, 4);
    const int16_t rect[4] = {0, 0, 159, 119};
    ASSERT_TRUE(VideoFrameToRect(h, rect));
    EXPECT_EQ(Px(4 * 5 - 1, 0), 255);
    VideoClose(h);

    Smack *clip = SmackOpenByName("card160d.smk");  // 160 x 120, 8 frames
    ASSERT_NE(clip, nullptr);
    std::vector<uint8_t> buf(160 * 120);
    for (int i = 0; i < 8; ++i) ASSERT_TRUE(SmackNextFrameToBuffer(clip, buf.data()));
    EXPECT_EQ(clip->FrameNum, 1u);  // back to frame 1 after the last
    EXPECT_EQ(buf[4 * 7 + 3], 255);
    ASSERT_TRUE(SmackNextFrameToBuffer(clip, buf.data()));
    EXPECT_EQ(clip->FrameNum, 2u);
    EXPECT_FALSE(SmackNextFrameToBuffer(nullptr, buf.data()));
    SmackClose(clip);
}

}  // namespace

// ---- Full-screen films on the full-screen and card back-ends ---------------

namespace {

// A display of two buffers that swap at each frame begin, as the 3D card's
// front and back buffers do, recording the presents and begins.
struct TwoBuffers {
    std::vector<uint8_t> buffer[2];
    int drawing = 0;
    std::vector<std::string> calls;
};
TwoBuffers *gTwo;

void PointScreenAt(int i) {
    gTwo->drawing = i;
    ScreenSurface.pixels = gTwo->buffer[i].data();
}

const DisplayDriver kTwoBuffers = {
    [](DisplayMode *) { return true; },
    [] {},
    [](DisplayMode *) {},
    [](DisplayMode *) { gTwo->calls.push_back("present"); },
    [](DisplayMode *) {
        gTwo->calls.push_back("begin");
        PointScreenAt(1 - gTwo->drawing);
    },
    [] {},
    [](PaletteEntries) {},
    [](PaletteEntries) {},
    [](PaletteEntries) {},
};

// Swaps the display for the two buffers (8 bits, 640 x 480, both filled
// with 0x55) and the card's film back-end; puts the window driver back.
class CardFilm : public Video {
protected:
    TwoBuffers two;
    Surface saved{};
    void SetUp() override {
        Video::SetUp();
        saved = ScreenSurface;
        gTwo = &two;
        for (auto &b : two.buffer) b.assign(640 * 480, 0x55);
        CurrentDisplayDriver = &kTwoBuffers;
        CurrentVideoBackend = VideoBackendKind::Card;
        PointScreenAt(0);
    }
    void TearDown() override {
        VideoStop();
        SetPlatformHooks(nullptr);
        CardMode = 0;
        ScreenSurface = saved;
        SelectWindowDriver();
        Video::TearDown();
    }
    int At(int buffer, int x, int y) const { return two.buffer[buffer][size_t(y) * 640 + size_t(x)]; }
};

// The card shows one buffer while the game draws the other: a film's first
// frame clears, presents and begins twice, so neither buffer keeps what was
// on it.
TEST_F(CardFilm, FirstFrameClearsBothBuffers) {
    ASSERT_TRUE(PlayVideo("reentry1.smk"));  // 256 x 192: centred, not doubled
    VideoPlaying = 1;
    ASSERT_TRUE(StepPlayingVideo());
    EXPECT_EQ(two.calls, (std::vector<std::string>{"present", "begin", "present", "begin", "present"}));
    for (int b : {0, 1}) {
        EXPECT_EQ(At(b, 0, 0), 0) << b;
        EXPECT_EQ(At(b, 639, 479), 0) << b;
    }
    EXPECT_EQ(At(0, (640 - 256) / 2, (480 - 192) / 2), 255);  // the frame marker, in the drawn buffer
}

// When a doubled film stops, the screen under it is drawn again: through the
// GUI's raster of the current screen, or, with the card driving the display,
// by rendering the 3D view into each of the two buffers.
TEST_F(CardFilm, StoppedDoubledFilmRedrawsTheViewIntoBothBuffers) {
    static std::vector<std::string> redraws;
    static GuiWindow *const kRoot = reinterpret_cast<GuiWindow *>(&redraws);
    PlatformHooks gui{};
    gui.rootWindow = [] { return kRoot; };
    gui.drawRaster = [](GuiWindow *w) { redraws.push_back(w == kRoot ? "raster" : "raster of another"); };
    gui.renderSceneToView = [](int view) {
        redraws.push_back("view " + std::to_string(view) + " into buffer " + std::to_string(gTwo->drawing));
    };
    SetPlatformHooks(&gui);
    struct Case {
        VideoBackendKind backend;
        uint8_t cardMode;
        bool rendered;  // the 3D view into each buffer, else the raster once
    } cases[] = {
        {VideoBackendKind::Card, 1, true},
        {VideoBackendKind::Card, 0, false},
        {VideoBackendKind::Window, 0, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(int(c.backend) * 10 + c.cardMode);
        redraws.clear();
        CurrentVideoBackend = c.backend;
        CardMode = c.cardMode;
        PointScreenAt(0);
        ASSERT_TRUE(PlayVideo("card320.smk"));  // 320 x 240: doubled
        VideoPlaying = 1;
        int steps = 0;
        while (StepPlayingVideo() && steps < 100) ++steps;
        if (c.rendered) {
            // Whichever buffer the film ended in, both get the view.
            ASSERT_EQ(redraws.size(), 2u);
            EXPECT_EQ(redraws[0].rfind("view -1 into buffer ", 0), 0u) << redraws[0];
            EXPECT_NE(redraws[0].back(), redraws[1].back());
        } else {
            EXPECT_EQ(redraws, (std::vector<std::string>{"raster"}));
        }
        EXPECT_FALSE(VideoPlaying);
    }
}

}  // namespace

// The full-screen driver stretches a doubled film from the screen's top left
// corner; only a film shown at its own size is centred.
TEST_F(Video, FullScreenDriverDoublesFromTheTopLeft) {
    Open(8, 800, 600);
    CurrentVideoBackend = VideoBackendKind::FullScreen;
    ASSERT_TRUE(PlayVideo("card320.smk"));  // 320 x 240: 640 x 480 doubled
    VideoPlaying = 1;
    ASSERT_TRUE(StepPlayingVideo());
    EXPECT_TRUE(VideoState().doubled);
    // Frame 0 shows one marker block of 4 pixels, 8 once doubled.
    EXPECT_EQ(Px(0, 0), 255);
    EXPECT_EQ(Px(7, 7), 255);
    EXPECT_NE(Px(8, 0), 255);
    EXPECT_EQ(Px(700, 550), 0);  // beyond the doubled film: cleared
    VideoStop();
    CurrentVideoBackend = VideoBackendKind::Window;
}
