// The tools together, as processes: the stand-in engine installs the sample
// disc through the callback library, and the launcher starts the installed
// game, which must find the single-instance name free and run until ended.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

#include "os/instance.h"
#include "os/process.h"
#include "os/registry.h"
#include "tools/common/setup.h"
#include "tools/installer/launcher.h"
#include "tools_fixture.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using toolstest::Slurp;

namespace {

int gGamePid;
bool StartAndKeep(const std::string &cmd, const char *folder, bool wait, uint32_t limit, std::string *error) {
    return SetupRunCommandLine(cmd, folder, wait, limit, error, &gGamePid);
}

std::string ProcFile(int pid, const char *name) { return Slurp("/proc/" + std::to_string(pid) + "/" + name); }

// Whether the process has `path` open.
bool HasOpen(int pid, const std::string &path) {
    std::error_code ec;
    for (const auto &fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec))
        if (fs::read_symlink(fd.path(), ec).string() == path) return true;
    return false;
}

bool Eventually(const std::function<bool()> &test, std::chrono::seconds limit) {
    auto end = Clock::now() + limit;
    while (!test()) {
        if (Clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

TEST(Installation, FromTheDiscToARunningGame) {
    toolstest::Sandbox box;
    const std::string inst = box.path() + "/inst";
    // The engine runs where the registry is; the campaign question is
    // answered yes, the film question no.
    setenv("TAVRIN_ANSWERS", "oui,non", 1);
    std::string err;
    int host = osStartProcess({TAVRIN_HOST, "--src", RUVO_DISC_DIR, "--dst", inst}, box.path().c_str(), &err);
    unsetenv("TAVRIN_ANSWERS");
    ASSERT_GT(host, 0) << err;
    ASSERT_EQ(osWaitProcess(host, 60000), 0);

    for (const char *f : {"frn_.slb", "ger_.slb", "text.slb"})
        EXPECT_EQ(Slurp(inst + "/vek/resource/" + f), Slurp(std::string(RUVO_DISC_DIR) + "/" + f)) << f;
    ASSERT_EQ(Slurp(inst + "/ruvo"), Slurp(std::string(RUVO_DISC_DIR) + "/ruvo"));
    EXPECT_TRUE((fs::status(inst + "/ruvo").permissions() & fs::perms::owner_exec) != fs::perms::none);
    osRegistryFlush();
    std::string path;
    ASSERT_TRUE(SetupReadInstallPath(&path));
    EXPECT_EQ(path, inst);
    // The disc carries the data as generated: no career, log or edited
    // settings of a game that ran where the disc was laid out.
    for (const char *f : {"vek/slot0.sav", "vek/state.inf", "debug.txt"}) EXPECT_FALSE(fs::exists(inst + "/" + f)) << f;
    // The installation's log names every file it copied.
    const std::string log = Slurp(inst + "/DeIsL1.isu");
    size_t logged = 0;
    for (size_t at = 0; (at = log.find('\n', at)) != std::string::npos; ++at) ++logged;
    size_t installed = 0;
    for (const auto &e : fs::recursive_directory_iterator(inst))
        if (e.is_regular_file()) ++installed;
    EXPECT_EQ(logged + 1, installed) << "every file but the log itself";

    // The launcher holds the name while its dialog shows, and launches.
    ASSERT_EQ(osAcquireInstanceLock(kInstanceName), OS_INSTANCE_OWNED);
    gLauncherHost = kMachineLauncherHost;
    gLauncherHost.run = StartAndKeep;
    gGamePid = 0;
    OnInitDialog();
    ASSERT_TRUE(LauncherControlEnabled(IDC_LAUNCH));
    LauncherCommand(IDC_LAUNCH);
    gLauncherHost = kMachineLauncherHost;
    EXPECT_TRUE(gLauncher.quit);
    ASSERT_GT(gGamePid, 0);
    // It takes the name the launcher gave up and keeps running; the limits are
    // generous for sanitizer builds on a loaded machine.
    EXPECT_TRUE(Eventually([] { return osInstanceLockHeld(kInstanceName); }, std::chrono::seconds(30)));
    // The installed program, in its folder, with the software renderer's options.
    EXPECT_EQ(ProcFile(gGamePid, "cmdline"), std::string("./ruvo\0-french\0", 15));
    EXPECT_EQ(fs::read_symlink("/proc/" + std::to_string(gGamePid) + "/cwd").string(), inst);
    // Its start-up writes its log in its own folder.
    EXPECT_TRUE(Eventually([&] { return !Slurp(inst + "/debug.txt").empty(); }, std::chrono::seconds(30)));
    // The front end's home page plays its loop film from the installation
    // for as long as it shows.
    EXPECT_TRUE(
        Eventually([&] { return HasOpen(gGamePid, inst + "/vek/resource/video/Fspn.smk"); }, std::chrono::seconds(60)));
    EXPECT_EQ(osWaitProcess(gGamePid, 0), OS_WAIT_TIMEOUT);
    kill(gGamePid, SIGTERM);
    EXPECT_EQ(osWaitProcess(gGamePid, 30000), 0);
    EXPECT_FALSE(osInstanceLockHeld(kInstanceName));

    // Uninstalling (the launcher's command line, run from the Windows
    // folder) asks first: with no display to ask on and no terminal, it
    // removes nothing.
    const std::string windows = box.path() + "/windows";
    fs::create_directories(windows);
    for (const char *f : {"uninst.exe", "uninst-confirm"})
        fs::copy_file(std::string(RUVO_DISC_DIR) + "/" + f, windows + "/" + f);
    int uninst = osStartProcess({windows + "/uninst.exe", "-f" + inst + "/DeIsL1.isu"}, box.path().c_str(), &err);
    ASSERT_GT(uninst, 0) << err;
    EXPECT_EQ(osWaitProcess(uninst, 60000), 1);
    EXPECT_TRUE(fs::exists(inst + "/ruvo") && fs::exists(inst + "/DeIsL1.isu")) << "removed without an answer";
    // Told to go on without a question, it removes every file the
    // installation copied; what the game wrote there itself (its career,
    // its log) stays.
    uninst = osStartProcess({windows + "/uninst.exe", "-a", "-f" + inst + "/DeIsL1.isu"}, box.path().c_str(), &err);
    ASSERT_GT(uninst, 0) << err;
    ASSERT_EQ(osWaitProcess(uninst, 60000), 0);
    std::vector<std::string> left;
    for (const auto &e : fs::recursive_directory_iterator(inst))
        if (e.is_regular_file()) left.push_back(fs::relative(e.path(), inst).generic_string());
    for (const std::string &f : left)
        EXPECT_EQ(log.find(f + "\n"), std::string::npos) << f << " was installed and is left";
    EXPECT_LT(left.size(), 30u) << "only what the game wrote itself";
    osRegistryFlush();
    EXPECT_FALSE(SetupReadInstallPath(&path));
}

}  // namespace
