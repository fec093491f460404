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
#include <sstream>
#include <thread>

#include "common/sample_root.h"
#include "common/temp_dir.h"

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
    const std::string leftovers[] = {"/Marrowgleam.ini.tmp999999999", "/vek/slot0.sav.tmp999999999"};
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
    pid_t second = Start(program, dir.path());
    EXPECT_EQ(WaitFor(second, std::chrono::seconds(15)), 0);

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
