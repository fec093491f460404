// Starting programs, the command-line words, the registry writer and giving
// back the single-instance lock.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/temp_dir.h"
#include "os/instance.h"
#include "os/process.h"
#include "os/registry.h"

namespace fs = std::filesystem;

namespace {

std::string Slurp(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void Script(const std::string &path, const std::string &body) {
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    chmod(path.c_str(), 0755);
}

TEST(CommandLine, SplitsAsTheOtherSystemDoes) {
    const struct {
        const char *line;
        std::vector<std::string> words;
    } cases[] = {
        {"ruvo.exe -b -16 -french", {"ruvo.exe", "-b", "-16", "-french"}},
        {"  setup.exe\t ", {"setup.exe"}},
        {"ruvo.exe ", {"ruvo.exe"}},
        {"", {}},
        {"C:\\WIN\\uninst.exe -f\"C:\\Program Files\\Ruvo\\DeIsL1.isu\"",
         {"C:\\WIN\\uninst.exe", "-fC:\\Program Files\\Ruvo\\DeIsL1.isu"}},
        {"\"a b\\\\\" c", {"a b\\", "c"}},
        {"a\\\\\\\"b", {"a\\\"b"}},
        {"a\\b\\\\c", {"a\\b\\\\c"}},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"\"unclosed quote", {"unclosed quote"}},
    };
    for (const auto &c : cases) EXPECT_EQ(osSplitCommandLine(c.line), c.words) << c.line;
    EXPECT_TRUE(osSplitCommandLine(nullptr).empty());
}

TEST(Process, StartsInTheFolderAndGivesTheExitStatus) {
    ruvotest::TempDir dir;
    fs::create_directories("inst");
    Script("inst/prog", "pwd > where.txt; echo \"$@\" > args.txt; exit 7");
    std::string err;
    int pid = osStartProcess({"prog", "-french", "two words"}, (dir.path() + "/inst").c_str(), &err);
    ASSERT_GT(pid, 0) << err;
    EXPECT_EQ(osWaitProcess(pid, 20000), 7);
    EXPECT_EQ(Slurp("inst/where.txt"), dir.path() + "/inst\n");
    EXPECT_EQ(Slurp("inst/args.txt"), "-french two words\n");

    // A relative path with a slash is taken from the folder too.
    fs::create_directories("inst/sub");
    Script("inst/sub/other", "exit 3");
    pid = osStartProcess({"sub/other"}, "inst", &err);
    ASSERT_GT(pid, 0) << err;
    EXPECT_EQ(osWaitProcess(pid, 20000), 3);
    // A bare name not in the folder comes from the search path.
    pid = osStartProcess({"true"}, "inst", &err);
    ASSERT_GT(pid, 0) << err;
    EXPECT_EQ(osWaitProcess(pid, 20000), 0);
}

TEST(Process, FailuresComeBackWithTheSystemText) {
    ruvotest::TempDir dir;
    std::string err;
    EXPECT_EQ(osStartProcess({"no-such-program-here.exe"}, nullptr, &err), -1);
    EXPECT_EQ(err, "No such file or directory");
    err.clear();
    EXPECT_EQ(osStartProcess({"./missing"}, nullptr, &err), -1);
    EXPECT_FALSE(err.empty());
    std::ofstream("plain") << "not a program";
    EXPECT_EQ(osStartProcess({"./plain"}, nullptr, &err), -1);
    EXPECT_EQ(err, "Permission denied");
    EXPECT_EQ(osStartProcess({}, nullptr, &err), -1);
    EXPECT_EQ(osStartProcess({"true"}, (dir.path() + "/no/folder").c_str(), &err), -1);
    EXPECT_EQ(osWaitProcess(-1, 10), OS_WAIT_FAILED);
}

TEST(Process, TheWaitEndsAtItsLimitAndLeavesTheProgramRunning) {
    ruvotest::TempDir dir;
    Script("slow", "sleep 1; echo done > done.txt");
    int pid = osStartProcess({"./slow"}, nullptr, nullptr);
    ASSERT_GT(pid, 0);
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(osWaitProcess(pid, 100), OS_WAIT_TIMEOUT);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(900));
    EXPECT_EQ(osWaitProcess(pid, 20000), 0);
    EXPECT_TRUE(fs::exists("done.txt"));
}

TEST(Process, TheInstanceLockIsNotHandedOn) {
    ruvotest::TempDir dir;
    setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
    ASSERT_EQ(osAcquireInstanceLock("ChildMutex"), OS_INSTANCE_OWNED);
    // The child outlives our hold; the name must be free once we let go.
    Script("hold", "sleep 2");
    int pid = osStartProcess({"./hold"}, nullptr, nullptr);
    ASSERT_GT(pid, 0);
    osReleaseInstanceLock("ChildMutex");
    EXPECT_FALSE(osInstanceLockHeld("ChildMutex"));
    EXPECT_EQ(osAcquireInstanceLock("ChildMutex"), OS_INSTANCE_OWNED);
    osReleaseInstanceLock("ChildMutex");
    osReleaseInstanceLock("NeverTaken");
    kill(pid, SIGTERM);
    osWaitProcess(pid, 20000);
    unsetenv("XDG_RUNTIME_DIR");
}

TEST(Registry, WritesKeepTheOtherLines) {
    ruvotest::TempDir dir;
    std::ofstream("ruvo.reg") << "; the machine's keys\r\nSOFTWARE\\Hollowmere\\Ruvo\\@=E:\\\r\nDRIVES\\E=/media/cd\r\n";
    osRegistryFlush();
    const char *key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Ruvo.exe";
    EXPECT_FALSE(osRegistryKeyExists(key));
    std::string long_path(700, 'x');
    ASSERT_TRUE(osRegistryWrite(key, "Path", ("/opt/" + long_path).c_str()));
    std::string v;
    ASSERT_TRUE(osRegistryRead(key, "path", &v));
    EXPECT_EQ(v, "/opt/" + long_path);
    EXPECT_TRUE(osRegistryKeyExists("software\\microsoft\\windows\\currentversion\\app paths\\ruvo.exe"));
    EXPECT_TRUE(osRegistryKeyExists("SOFTWARE\\Microsoft"));
    EXPECT_FALSE(osRegistryKeyExists("SOFTWARE\\Micro"));
    // Changing a value rewrites its line in place.
    ASSERT_TRUE(osRegistryWrite(key, "PATH", "/opt/ruvo"));
    ASSERT_TRUE(osRegistryRead(key, "Path", &v));
    EXPECT_EQ(v, "/opt/ruvo");
    EXPECT_EQ(Slurp("ruvo.reg"),
              "; the machine's keys\r\nSOFTWARE\\Hollowmere\\Ruvo\\@=E:\\\r\nDRIVES\\E=/media/cd\r\n" + std::string(key) +
                  "\\Path=/opt/ruvo\n");
    char small[4];
    ASSERT_TRUE(osRegistryRead("SOFTWARE\\Hollowmere\\Ruvo", nullptr, small, sizeof small));
    EXPECT_STREQ(small, "E:\\");
    // Values that would break the file are refused.
    EXPECT_FALSE(osRegistryWrite(key, "Path", "two\nlines"));
    EXPECT_FALSE(osRegistryWrite(key, "a=b", "x"));
    EXPECT_FALSE(osRegistryWrite("", "Path", "x"));
    EXPECT_FALSE(fs::exists("ruvo.reg.new"));
}

}  // namespace
