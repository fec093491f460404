#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "core/options.h"
#include "app/shell.h"
#include "os/events.h"
#include "common/temp_dir.h"
#include "platform/hooks.h"
#include "platform/video.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

TEST(FilmWindow, Zoom) {
    EXPECT_EQ(VideoWindowZoom(640, 480), 182);
    EXPECT_EQ(VideoWindowZoom(800, 600), 228);
    EXPECT_EQ(VideoWindowZoom(1024, 768), 291);
}

TEST(FilmWindow, IntroListPlaysToItsEnd) {
    auto old = std::filesystem::current_path();
    std::filesystem::current_path(std::getenv("RUVO_DATA"));
    static const char *const missing[] = {"E:\\nothere.avi", nullptr};
    EXPECT_FALSE(VideoWindowPlayWait(missing));
    EXPECT_FALSE(MciPlaying);

    static const char *const list[] = {"intro.avi", "INTRO.AVI", nullptr};
    optIntro = 0xFF;
    static bool ended;
    ended = false;
    PlatformHooks shell{};
    shell.introEnded = [] { ended = true; };
    SetPlatformHooks(&shell);
    VideoPlaying = 1;
    auto t0 = std::chrono::steady_clock::now();
    ASSERT_TRUE(VideoWindowPlayWait(list));
    EXPECT_TRUE(MciPlaying);
    EXPECT_TRUE(VideoWindowVisible());
    // The main loop's share: step the window, and hand its notices to the
    // game window.
    while (MciPlaying && Seconds(t0) < 20) {
        VideoWindowStep();
        OsMessage m;
        while (osPeekMessage(&m)) GameWndProc(m);
    }
    EXPECT_GT(Seconds(t0), 1.5);  // two films of one second each
    EXPECT_FALSE(MciPlaying);
    EXPECT_FALSE(VideoPlaying);
    EXPECT_TRUE(ended);
    EXPECT_FALSE(optIntro);
    VideoWindowClose();
    EXPECT_EQ(gMciWindow, nullptr);
    SetPlatformHooks(nullptr);
    std::filesystem::current_path(old);
}

TEST(MpegPlayer, MissingOrCorruptFilmReturnsAtOnce) {
    ruvotest::TempDir dir;
    std::filesystem::create_directories("vek/resource/video");
    std::ifstream in(std::string(std::getenv("RUVO_DATA")) + "/vek/resource/video/intro.mpg", std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    ASSERT_GT(bytes.size(), 4000u);
    for (size_t i = 2000; i < bytes.size(); ++i) bytes[i] = char(i * 7);  // garbage after the first packets
    std::ofstream("vek/resource/video/broken.mpg", std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    std::ofstream("vek/resource/video/junk.mpg", std::ios::binary) << "not a film";
    for (const char *path : {"vek\\resource\\video\\intro.mpg", "vek\\resource\\video\\junk.mpg",
                             "vek\\resource\\video\\broken.mpg"}) {
        SCOPED_TRACE(path);
        auto t0 = std::chrono::steady_clock::now();
        PlayMpegFile(path);
        EXPECT_LT(Seconds(t0), 1.0);
    }
}

}  // namespace
