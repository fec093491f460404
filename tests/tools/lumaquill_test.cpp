// The intro film player: to the end, on Escape, on missing and broken films;
// and the launcher and the callback library waiting for it.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <chrono>
#include <filesystem>

#include "os/filmwindow.h"
#include "os/process.h"
#include "os/window.h"
#include "tools/common/setup.h"
#include "tools/installer/launcher.h"
#include "tools/lumaquill/player.h"
#include "tools/tavrin/tavrin.h"
#include "tools_fixture.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

const std::string kFilm = std::string(RUVO_DISC_DIR) + "/video/intro.mpg";

// The player as a process in `folder`: its exit status and how long it took.
int Play(const std::string &folder, double *seconds) {
    auto t0 = Clock::now();
    std::string err;
    int pid = osStartProcess({LUMAQUILL_PROGRAM}, folder.c_str(), &err);
    EXPECT_GT(pid, 0) << err;
    int status = osWaitProcess(pid, 60000);
    *seconds = Since(t0);
    return status;
}

TEST(Lumaquill, PlaysTheDiscFilmToItsEnd) {
    // 30 frames at 25 a second: the film's own time, not as fast as it decodes.
    double seconds = 0;
    EXPECT_EQ(Play(RUVO_DISC_DIR, &seconds), 0);
    EXPECT_GT(seconds, 1.0);
}

TEST(Lumaquill, BrokenFilmsEndWithoutWaiting) {
    toolstest::Sandbox box;
    double seconds = 0;
    // Missing: a failure at once, not a player waiting for ever.
    EXPECT_EQ(Play(box.path(), &seconds), 1);
    EXPECT_LT(seconds, 20.0);
    std::string film = toolstest::Slurp(kFilm);
    ASSERT_GT(film.size(), 1000u);
    fs::create_directories("video");
    const struct {
        size_t keep;
        bool playable;
    } cases[] = {{64, false}, {film.size() / 2, true}};
    for (const auto &c : cases) {
        toolstest::Write("video/intro.mpg", film.substr(0, c.keep));
        int status = Play(box.path(), &seconds);
        EXPECT_NE(status, OS_WAIT_TIMEOUT) << c.keep;
        if (!c.playable) {
            EXPECT_EQ(status, 1) << c.keep;
        }
        EXPECT_LT(seconds, 20.0) << c.keep;
    }
}

// The film's clock, faked: every read moves it on a second, so a film that
// plays shows each frame as soon as it is decoded, however busy the machine.
int gClockReads;
int64_t CountingClock() { return int64_t(++gClockReads) * 1000000; }

TEST(Lumaquill, EscapeEndsItAtOnce) {
    ASSERT_TRUE(osInitVideo());
    osFilmModalSetClock(CountingClock);
    // Without Escape the film runs on this clock, a read a frame.
    gClockReads = 0;
    EXPECT_EQ(PlayMovie(kFilm.c_str()), 0);
    EXPECT_GT(gClockReads, 30);
    // With Escape waiting it ends before its clock starts: no frame shown.
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.scancode = SDL_SCANCODE_ESCAPE;
    e.key.keysym.sym = SDLK_ESCAPE;
    SDL_PushEvent(&e);
    gClockReads = 0;
    EXPECT_EQ(PlayMovie(kFilm.c_str()), 0);
    EXPECT_EQ(gClockReads, 0);
    osFilmModalSetClock(nullptr);
    EXPECT_EQ(PlayMovie("video\\no such film.mpg"), 1);
}

// The disc's programs as the launcher and the callback library name them.
TEST(Lumaquill, TheLauncherAndTheLibraryWaitForIt) {
    std::string folder = fs::current_path().string();
    fs::current_path(RUVO_DISC_DIR);
    gLauncherHost = kMachineLauncherHost;
    gLauncher.quit = false;
    auto t0 = Clock::now();
    LauncherCommand(IDC_INTRO);
    EXPECT_GT(Since(t0), 1.0);
    EXPECT_FALSE(gLauncher.quit);

    gTavrinPrompt = [](const char *, const char *) { return true; };
    std::string source = std::string(RUVO_DISC_DIR) + "/";
    t0 = Clock::now();
    EXPECT_EQ(PlayIntroMovie(nullptr, source.data(), nullptr, nullptr, nullptr), 1);
    EXPECT_GT(Since(t0), 1.0);
    gTavrinPrompt = TavrinDefaultPrompt;
    fs::current_path(folder);
}

TEST(SetupNames, TheDiscsProgramsAreOurs) {
    const struct {
        const char *disc;
        const char *host;
    } cases[] = {
        {"ruvo.exe", "ruvo"},
        {"Ruvo.exe", "ruvo"},
        {"\\\\Ruvo.EXE", "//ruvo"},
        {"/disc/Lumaquill.exe", "/disc/lumaquill"},
        {"D:\\video\\lumaquill.exe", "D:/video/lumaquill"},
        {"setup.exe", "setup.exe"},
        {"directx\\dxsetup.exe", "directx/dxsetup.exe"},
        {"ruvo.exe.bak", "ruvo.exe.bak"},
        {"", ""},
    };
    for (const auto &c : cases) EXPECT_EQ(SetupProgramPath(c.disc), c.host) << c.disc;
}

TEST(SetupNames, ACommandLineStartsOurProgram) {
    toolstest::Sandbox box;
    fs::create_directories("inst");
    toolstest::Write("inst/ruvo", "#!/bin/sh\necho \"$0 $*\" > started.txt\n");
    fs::permissions("inst/ruvo", fs::perms::owner_all);
    std::string err;
    int pid = 0;
    ASSERT_TRUE(SetupRunCommandLine("ruvo.exe -b -16 -french", "inst", true, 20000, &err, &pid)) << err;
    EXPECT_GT(pid, 0);
    EXPECT_EQ(toolstest::Slurp("inst/started.txt"), "./ruvo -b -16 -french\n");
    EXPECT_FALSE(SetupRunCommandLine("lumaquill.exe", "inst", true, 20000, &err));
    EXPECT_EQ(err, "No such file or directory");
}

}  // namespace
