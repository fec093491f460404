// The game program as a process: one instance at a time, SIGTERM ends it
// cleanly, and the rendering library's settings file is back afterwards.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>
#include <vector>

#include "common/sample_root.h"
#include "common/temp_dir.h"
#include "script/career.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

pid_t Start(const std::string &program, const std::string &dir, const std::string &lockDir = "",
            const char *mission = nullptr) {
    pid_t pid = fork();
    if (pid == 0) {
        setenv("RUVO_WINDIR", dir.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (lockDir.empty() ? dir : lockDir).c_str(), 1);
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        execl(program.c_str(), program.c_str(), "-nologos", mission, (char *)nullptr);
        _exit(127);
    }
    return pid;
}

std::string Slurp(const std::string &path) {
    std::stringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

// Waits up to `limit` for the process; returns its exit code, or -1 when it
// is still running (or did not exit normally).
int WaitFor(pid_t pid, std::chrono::milliseconds limit) {
    auto end = Clock::now() + limit;
    int status = 0;
    while (Clock::now() < end) {
        pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
}

// The two start-up scripts a start cannot go without, as small as they come.
void WriteStartUpScripts(const std::string &root) {
    fs::create_directories(root + "/vek/resource/scripts/init");
    std::ofstream(root + "/vek/resource/scripts/init/init.scr") << "ENGLISH\r\n";
    std::ofstream(root + "/vek/resource/keybind.ini") << "; no keys\r\n";
}

TEST(Process, OneInstanceAndACleanEndOnSigterm) {
    std::string program = fs::absolute("ruvo").string();
    if (!fs::exists(program)) GTEST_SKIP() << "the game program is not built";
    ruvotest::TempDir dir;
    WriteStartUpScripts(dir.path());
    std::ofstream(dir.path() + "/vantor.ini") << "settings of the user";
    // What saves ended by a kill left: gone at the start.
    const std::string leftovers[] = {"/Marrowgleam.ini.tmp999999999", "/vek/slot0.sav.tmp999999999",
                                     "/debug/SolarSystems/Vorra.asc.tmp999999999"};
    fs::create_directories(dir.path() + "/debug/SolarSystems");
    for (const std::string &l : leftovers) std::ofstream(dir.path() + l) << "torn";

    pid_t first = Start(program, dir.path());
    // Running: the settings file is set aside, and it stays up.
    auto end = Clock::now() + std::chrono::seconds(20);
    while (!fs::exists(dir.path() + "/vantor.old") && Clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(fs::exists(dir.path() + "/vantor.old"));
    EXPECT_EQ(WaitFor(first, std::chrono::milliseconds(500)), -1);

    // The limits are generous: sanitizer builds on a loaded machine start
    // slowly, and a hang is what these catch, not speed.
    // A second copy ends at once, and says why.
    pid_t second = fork();
    if (second == 0) {
        setenv("RUVO_WINDIR", dir.path().c_str(), 1);
        setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        int err = open((dir.path() + "/second.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(err, 2);
        execl(program.c_str(), program.c_str(), "-nologos", (char *)nullptr);
        _exit(127);
    }
    EXPECT_EQ(WaitFor(second, std::chrono::seconds(15)), 0);
    std::stringstream secondErr;
    secondErr << std::ifstream(dir.path() + "/second.txt").rdbuf();
    EXPECT_EQ(secondErr.str(), "ruvo: the game is already running\n");

    kill(first, SIGTERM);
    EXPECT_EQ(WaitFor(first, std::chrono::seconds(15)), 0);

    std::ifstream in(dir.path() + "/vantor.ini");
    std::stringstream s;
    s << in.rdbuf();
    EXPECT_EQ(s.str(), "settings of the user");
    EXPECT_FALSE(fs::exists(dir.path() + "/vantor.old"));
    for (const std::string &l : leftovers) EXPECT_FALSE(fs::exists(dir.path() + l)) << l;
    EXPECT_NE(Slurp(dir.path() + "/debug.txt").find("Removed vek\\slot0.sav.tmp999999999"), std::string::npos);
    // The log lines end with CR LF.
    std::ifstream log(dir.path() + "/debug.txt", std::ios::binary);
    std::string line;
    ASSERT_TRUE(std::getline(log, line));
    EXPECT_EQ(line.rfind("Kelv 2.0 ", 0), 0u);
    EXPECT_EQ(line.back(), '\r');
}

// A mission whose script loops without a WAIT: the game goes on running its
// frames, says where the script looped, and still ends cleanly on SIGTERM.
TEST(Process, ALoopingMissionScriptStillEndsOnSigterm) {
    std::string program = fs::absolute("ruvo").string();
    if (!fs::exists(program)) GTEST_SKIP() << "the game program is not built";
    ruvotest::SampleRoot root({"vek/resource/scripts/missions/spin.scr"});
    std::ofstream(root.path() + "/vek/resource/scripts/missions/spin.scr") << "Spin:\r\nBRA Spin\r\n";
    pid_t pid = Start(program, root.path(), "", "vek\\resource\\scripts\\missions\\spin.scr");
    const std::string mark = "without a WAIT: vek\\resource\\scripts\\missions\\spin.scr(2)";
    auto end = Clock::now() + std::chrono::seconds(60);
    while (Slurp(root.path() + "/debug.txt").find(mark) == std::string::npos && Clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    // Some frames on, still running.
    EXPECT_EQ(WaitFor(pid, std::chrono::seconds(2)), -1);
    kill(pid, SIGTERM);
    EXPECT_EQ(WaitFor(pid, std::chrono::seconds(30)), 0);
    const std::string log = Slurp(root.path() + "/debug.txt");
    const size_t first = log.find(mark);
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_EQ(log.find(mark, first + 1), std::string::npos) << log;
}

TEST(Process, NoDataTreeIsAClearFailure) {
    std::string program = fs::absolute("ruvo").string();
    if (!fs::exists(program)) GTEST_SKIP() << "the game program is not built";
    ruvotest::TempDir dir;
    pid_t pid = Start(program, dir.path());
    EXPECT_EQ(WaitFor(pid, std::chrono::seconds(15)), 1);
    std::ifstream log(dir.path() + "/debug.txt", std::ios::binary);
    std::string line;
    ASSERT_TRUE(std::getline(log, line));
    EXPECT_NE(line.find("No game data"), std::string::npos);
}

TEST(Process, MissingStartUpScriptIsAFailure) {
    std::string program = fs::absolute("ruvo").string();
    if (!fs::exists(program)) GTEST_SKIP() << "the game program is not built";
    ruvotest::TempDir dir;
    WriteStartUpScripts(dir.path());
    fs::remove(dir.path() + "/vek/resource/keybind.ini");
    pid_t pid = Start(program, dir.path());
    EXPECT_EQ(WaitFor(pid, std::chrono::seconds(15)), 1);
    std::ifstream log(dir.path() + "/debug.txt", std::ios::binary);
    std::stringstream s;
    s << log.rdbuf();
    EXPECT_NE(s.str().find("Missing start-up script vek\\resource\\keybind.ini"), std::string::npos);
}

TEST(Process, LockThatCannotBeMadeIsAFailure) {
    std::string program = fs::absolute("ruvo").string();
    if (!fs::exists(program)) GTEST_SKIP() << "the game program is not built";
    ruvotest::TempDir dir;
    fs::create_directories(dir.path() + "/vek/resource");
    std::ofstream(dir.path() + "/vantor.ini") << "settings of the user";
    pid_t pid = Start(program, dir.path(), dir.path() + "/no/such/folder");
    EXPECT_EQ(WaitFor(pid, std::chrono::seconds(15)), 1);
    // It stopped before touching the settings file.
    EXPECT_TRUE(fs::exists(dir.path() + "/vantor.ini"));
    EXPECT_FALSE(fs::exists(dir.path() + "/vantor.old"));
}

// A 3D-card start in 8-bit colour: the library's output device shows 16-bit
// frames only, so the display the start-up script asks for cannot open.
TEST(Process, CardDeviceThatFailsToBeginEndsWithCodeOne) {
    std::string program = fs::absolute("ruvo").string();
    if (!fs::exists(program)) GTEST_SKIP() << "the game program is not built";
    const std::string art = ruvotest::SampleDataRoot() + "/vek/resource/art/";
    if (!fs::exists(art + "tovstd.pcx")) GTEST_SKIP() << "no sample data";
    ruvotest::TempDir dir;
    WriteStartUpScripts(dir.path());
    fs::create_directories(dir.path() + "/vek/resource/art");
    for (const char *picture : {"tovstd.pcx", "backgrnd.pcx"})
        fs::copy_file(art + picture, dir.path() + "/vek/resource/art/" + picture);
    std::ofstream(dir.path() + "/vek/resource/scripts/init/init.scr")
        << "ENGLISH\r\nRESOURCE Pal Pic\r\n"
           "REGISTER Pal \"vek\\resource\\art\\tovstd.pcx\" PCX2PALETTE\r\n"
           "REGISTER Pic \"vek\\resource\\art\\backgrnd.pcx\" PCX2RAST\r\n"
           "SETVID Pal Pic 640 480\r\n";
    std::ofstream(dir.path() + "/vantor.ini") << "settings of the user";

    pid_t pid = fork();
    if (pid == 0) {
        setenv("RUVO_WINDIR", dir.path().c_str(), 1);
        setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        int err = open((dir.path() + "/stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(err, 2);
        execl(program.c_str(), program.c_str(), "-b", "-nologos", (char *)nullptr);
        _exit(127);
    }
    EXPECT_EQ(WaitFor(pid, std::chrono::seconds(30)), 1);
    std::stringstream err, settings;
    err << std::ifstream(dir.path() + "/stderr.txt").rdbuf();
    EXPECT_NE(err.str().find("Veltraxis Loading Error: A problem has been detected during Vantor initialisation."),
              std::string::npos)
        << err.str();
    settings << std::ifstream(dir.path() + "/vantor.ini").rdbuf();
    EXPECT_EQ(settings.str(), "settings of the user");
    EXPECT_FALSE(fs::exists(dir.path() + "/vantor.old"));
}

}  // namespace

namespace {

std::string ReadText(const std::string &path) {
    std::stringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

// A copy of the sample data tree. Other test programs run games in it at the
// same time, whose temporary files come and go: a file that vanishes while
// the tree is copied is not the copy's business.
void CopySample(const std::string &from, const std::string &to) {
    std::error_code ec;
    for (fs::recursive_directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code one;
        const fs::path target = fs::path(to) / fs::relative(it->path(), from, one);
        if (it->is_directory(one)) fs::create_directories(target, one);
        else if (it->is_regular_file(one)) fs::copy_file(it->path(), target, fs::copy_options::overwrite_existing, one);
    }
}

// Starts the game in a data folder with its stderr going to a file.
pid_t StartWithStderr(const std::string &program, const std::string &dir, const std::vector<std::string> &args) {
    pid_t pid = fork();
    if (pid == 0) {
        setenv("RUVO_WINDIR", dir.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        // What a mission's shapes leave behind at the end is not what these
        // runs look at.
        setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
        if (chdir(dir.c_str()) != 0) _exit(126);
        int err = open((dir + "/stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(err, 2);
        std::vector<char *> argv{const_cast<char *>(program.c_str())};
        for (const std::string &a : args) argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    return pid;
}

}  // namespace

// What a user sees on stderr when the game cannot start, or starts other
// than asked: each failure names its file (and its line), a fatal one ends
// with exit code 1, and a run without a display says so once.
TEST(Process, ErrorsAUserCanSee) {
    std::string program = fs::absolute("ruvo").string();
    if (!fs::exists(program)) GTEST_SKIP() << "the game program is not built";
    const std::string sample = ruvotest::SampleDataRoot();
    if (!fs::exists(sample + "/vek/resource/scripts.slb")) GTEST_SKIP() << "no sample data";
    const std::string missions = "vek/resource/scripts/missions/";
    const struct Case {
        const char *what;
        std::vector<std::string> args;
        std::function<void(const std::string &)> damage;
        int exitCode;  // -1: it runs on (the front end or the mission) until SIGTERM
        std::vector<std::string> lines;
    } cases[] = {
        {"no init script",
         {"-nologos"},
         [](const std::string &d) {
             ruvotest::UnpackSlab(d, "scripts");
             fs::remove(d + "/vek/resource/scripts/init/init.scr");
         },
         1,
         {"STARTUP ERROR!!!: Missing start-up script vek\\resource\\scripts\\init\\init.scr"}},
        {"no key bindings",
         {"-nologos"},
         [](const std::string &d) { fs::remove(d + "/vek/resource/keybind.ini"); },
         1,
         {"Missing start-up script vek\\resource\\keybind.ini"}},
        {"a broken screen script",
         {"-nologos"},
         [](const std::string &d) {
             ruvotest::UnpackSlab(d, "scripts");
             std::ofstream(d + "/vek/resource/scripts/gui/screens.gui", std::ios::app) << "\r\nIF EQUAL {\r\n";
         },
         1,
         {"screens.gui", "Mismatched Braces"}},
        {"a mission script that is not there",
         {"-nologos", "vek\\resource\\scripts\\missions\\mission77.scr"},
         nullptr,
         -1,
         {"Can't find your command-line script vek\\resource\\scripts\\missions\\mission77.scr"}},
        {"an empty mission script",
         {"-nologos", "vek\\resource\\scripts\\missions\\mission66.scr"},
         [&](const std::string &d) { std::ofstream(d + "/" + missions + "mission66.scr") << "; nothing\r\n\r\n"; },
         1,
         {"STARTUP ERROR!!!: Can't find your command-line script vek\\resource\\scripts\\missions\\mission66.scr",
          "no statements"}},
        {"a misspelt statement",
         {"-nologos", "vek\\resource\\scripts\\missions\\mission67.scr"},
         [&](const std::string &d) {
             std::ofstream(d + "/" + missions + "mission67.scr") << "; a typing slip\r\nPLAYR Player 99 zz\r\nLoop:\r\nWAIT\r\nBRA Loop\r\n";
         },
         -1,
         {"mission67.scr(2) : Unknown statement PLAYR (skipped)\n"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ruvotest::TempDir dir;
        CopySample(sample, dir.path());
        for (const char *mine : {"vek/slot0.sav", "vek/state.inf", "debug.txt"}) fs::remove(dir.path() + "/" + mine);
        if (c.damage) c.damage(dir.path());
        pid_t pid = StartWithStderr(program, dir.path(), c.args);
        const std::string errPath = dir.path() + "/stderr.txt";
        if (c.exitCode >= 0) {
            EXPECT_EQ(WaitFor(pid, std::chrono::seconds(60)), c.exitCode);
        } else {
            auto end = Clock::now() + std::chrono::seconds(60);
            while (ReadText(errPath).find(c.lines[0]) == std::string::npos && Clock::now() < end)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            EXPECT_EQ(WaitFor(pid, std::chrono::milliseconds(200)), -1) << "it goes on";
            kill(pid, SIGTERM);
            EXPECT_EQ(WaitFor(pid, std::chrono::seconds(30)), 0);
        }
        const std::string err = ReadText(errPath);
        for (const std::string &line : c.lines) EXPECT_NE(err.find(line), std::string::npos) << err;
        // Headless, the run says once that it shows nothing.
        const std::string headless = "no display: the game runs headless";
        EXPECT_NE(err.find(headless), std::string::npos) << err;
        EXPECT_EQ(err.find(headless), err.rfind(headless)) << err;
    }
}

// A mission named on the command line flies for no captain: ended by
// SIGTERM while it flies, it leaves the career on disk as it was.
TEST(Process, ACommandLineMissionLeavesTheCareerAlone) {
    std::string program = fs::absolute("ruvo").string();
    if (!fs::exists(program)) GTEST_SKIP() << "the game program is not built";
    const std::string sample = ruvotest::SampleDataRoot();
    if (!fs::exists(sample + "/vek/resource/scripts.slb")) GTEST_SKIP() << "no sample data";
    ruvotest::TempDir dir;
    CopySample(sample, dir.path());
    CaptainSlot captain{};
    std::snprintf(captain.name, sizeof captain.name, "%s", "Ada Quill");
    captain.totalScore = 600;
    captain.modeFlags = 2;
    uint8_t slot[kSlotFileBytes];
    EncodeCaptainSlot(captain, slot);
    std::ofstream(dir.path() + "/vek/slot0.sav", std::ios::binary).write(reinterpret_cast<const char *>(slot), sizeof slot);
    CareerState state{};
    for (int32_t &t : state.bestTime) t = kNewBestTime;
    uint8_t stateBytes[kStateFileBytes];
    EncodeCareerState(state, stateBytes);
    std::ofstream(dir.path() + "/vek/state.inf", std::ios::binary)
        .write(reinterpret_cast<const char *>(stateBytes), sizeof stateBytes);
    const std::string before = ReadText(dir.path() + "/vek/slot0.sav"), stateBefore = ReadText(dir.path() + "/vek/state.inf");

    fs::remove(dir.path() + "/debug.txt");
    pid_t pid = StartWithStderr(program, dir.path(), {"-nologos", "vek\\resource\\scripts\\missions\\mission01.scr"});
    // Up (it has said that it shows nothing), then a few seconds into the
    // mission.
    auto end = Clock::now() + std::chrono::seconds(60);
    while (ReadText(dir.path() + "/stderr.txt").find("no display") == std::string::npos && Clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::this_thread::sleep_for(std::chrono::seconds(4));
    kill(pid, SIGTERM);
    // Generous: a sanitizer build on a loaded machine finishes its start
    // before it takes the signal.
    EXPECT_EQ(WaitFor(pid, std::chrono::seconds(90)), 0);
    EXPECT_EQ(ReadText(dir.path() + "/vek/slot0.sav"), before);
    EXPECT_EQ(ReadText(dir.path() + "/vek/state.inf"), stateBefore);
}
