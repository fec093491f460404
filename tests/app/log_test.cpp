#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/log.h"
#include "present/diaghandler.h"
#include "core/options.h"
#include "render/fw/fw.h"
#include "common/fatal_hook.h"
#include "common/temp_dir.h"

namespace {

std::string ReadAll(const char *path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int64_t FixedClock() { return 0; }

TEST(Log, LineFormatWithCrLf) {
    ruvotest::TempDir dir;
    ResetOptions();
    setenv("TZ", "UTC", 1);
    tzset();
    dunSetLogClock(FixedClock);
    dunLogToFile("hello");
    dunLogToFile("ends\n");
    EXPECT_EQ(ReadAll("debug.txt"), "Kelv 2.0 01/01/70 00:00:00 hello\r\nKelv 2.0 01/01/70 00:00:00 ends\n\r\n");
    dunSetLogClock(nullptr);
}

TEST(Log, DemoModeWritesNothingButFatalStillLogs) {
    ruvotest::TempDir dir;
    ResetOptions();
    optDemo = 0xFF;
    dunDebugPrint("x");
    dunErrorBox("y", "T");
    EXPECT_FALSE(std::filesystem::exists("debug.txt"));
    try {
        dunFatalError("boom");
        FAIL();
    } catch (const ruvotest::FatalError &e) {
        EXPECT_EQ(e.exitCode, 1);
    }
    EXPECT_NE(ReadAll("debug.txt").find("boom"), std::string::npos);
    ResetOptions();
}

TEST(Log, FileAccessLogFolderPart) {
    ruvotest::TempDir dir;
    ResetOptions();
    optLogfile = 0xFF;
    dunFileAccessLog("vek\\resource\\art\\x.pcx");
    dunFileAccessLog("bare.txt");
    std::string big(300, 'a');
    dunFileAccessLog(big.c_str());
    std::string log = ReadAll("filelog.txt");
    EXPECT_NE(log.find("xcopy /d vek\\resource\\art\\x.pcx e:\\Directory\\vek\\resource\\art\\\r\n"), std::string::npos);
    EXPECT_NE(log.find("xcopy /d bare.txt e:\\Directory\\\r\n"), std::string::npos);
    EXPECT_NE(log.find(big + " e:\\Directory\\\r\n"), std::string::npos);
    ResetOptions();
}

TEST(Log, VerifyWritesTwoLinesAndFails) {
    ruvotest::TempDir dir;
    ResetOptions();
    EXPECT_THROW(dunVerify("a == b", "x.cpp", 12), ruvotest::FatalError);
    std::string log = ReadAll("debug.txt");
    EXPECT_NE(log.find("\nx.cpp(12) : Verification Failure: ->a == b\n"), std::string::npos);
    EXPECT_NE(log.find(" V\r\n"), std::string::npos);
}

TEST(Log, LibraryDiagnosticsRecord) {
    EXPECT_STREQ(WindowsDiagHandler.identifier, "Windows DiagHandler");
    EXPECT_EQ(WindowsDiagHandler.warning, &fatalWarningBox);
    EXPECT_EQ(WindowsDiagHandler.failure, &fatalErrorBox);
}

TEST(Log, LibraryDiagnosticsExitWithTen) {
    try {
        fatalErrorBox("bad");
        FAIL();
    } catch (const ruvotest::FatalError &e) {
        EXPECT_EQ(e.exitCode, 10);
    }
}

}  // namespace
