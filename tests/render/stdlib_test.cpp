#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "common/temp_dir.h"
#include "os/paths.h"
#include "render/std/except.h"
#include "render/std/stdlib.h"
#include "vt_fixture.h"

using namespace vttest;

namespace {

void writeFile(const std::string &path, const std::string &text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string readAll(void *f) {
    std::string s;
    for (int c; (c = VtFilesystem()->getchr(f)) != EOF;)
        s += char(c);
    return s;
}

int identifyCalls;
vt_uint_8 seenMagics[8];
int identifyAnswer;
int identify(const vt_uint_8 *magics, vt_size n) {
    identifyCalls++;
    memcpy(seenMagics, magics, n < 8 ? n : 8);
    return identifyAnswer;
}

} // namespace

class VtStdFile : public VtTest {
protected:
    ruvotest::TempDir dir;
    void SetUp() override {
        VtTest::SetUp();
        osFlushPathCache();
    }
};

TEST_F(VtStdFile, SearchesTheConfiguredPathAndReopensWhatItFound) {
    ASSERT_EQ(mkdir("run", 0755), 0);
    ASSERT_EQ(mkdir("dat", 0755), 0);
    writeFile("dat/Only.TXT", "found it");
    ASSERT_EQ(chdir("run"), 0);
    osFlushPathCache();
    int mode = VT_FS_MODE_TEXT;
    void *f = VtFilesystem()->open_read("only.txt", 0, nullptr, &mode);
    ASSERT_NE(f, nullptr) << "../dat is on the default path; case is folded";
    EXPECT_EQ(readAll(f), "found it");
    VtFilesystem()->close(f);
    EXPECT_EQ(VtFilesystem()->open_read("./only.txt", 0, nullptr, &mode), nullptr) << "a name with a folder is not searched";
    f = VtFilesystem()->open_read("..\\DAT\\only.txt", 0, nullptr, &mode);
    ASSERT_NE(f, nullptr) << "backslashes are folder separators";
    VtFilesystem()->close(f);
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
}

TEST_F(VtStdFile, MagicsChooseTheMode) {
    writeFile("magic.bin", std::string("\0\0\0\x12\0\0\0\x08rest", 12));
    writeFile("short.bin", "abc");
    identifyCalls = 0;
    identifyAnswer = VT_FS_MODE_BINARY;
    int mode = -1;
    void *f = VtFilesystem()->open_read("magic.bin", 8, identify, &mode);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(mode, VT_FS_MODE_BINARY);
    EXPECT_EQ(identifyCalls, 1);
    EXPECT_EQ(seenMagics[3], 0x12);
    EXPECT_EQ(readAll(f).size(), 12u) << "reopened from the start";
    VtFilesystem()->close(f);

    EXPECT_EQ(VtFilesystem()->open_read("short.bin", 8, identify, &mode), nullptr);
    identifyAnswer = VT_FS_MODE_UNKNOWN;
    EXPECT_EQ(VtFilesystem()->open_read("magic.bin", 8, identify, &mode), nullptr);
    ASSERT_EQ(Diag::failures.size(), 1u);
    EXPECT_EQ(Diag::failures[0], "Failure: VtStdFileOpenRead: invalid open_mode 2");
}

TEST_F(VtStdFile, LinesAndAdvance) {
    writeFile("lines.txt", "abc\nlonger line\nxyz");
    int mode = VT_FS_MODE_TEXT;
    void *f = VtFilesystem()->open_read("lines.txt", 0, nullptr, &mode);
    ASSERT_NE(f, nullptr);
    char buf[64];
    EXPECT_EQ(VtFilesystem()->getline(buf, sizeof buf, f), 3u);
    EXPECT_STREQ(buf, "abc");
    VtFilesystem()->advance(7, f);
    EXPECT_EQ(VtFilesystem()->getline(buf, sizeof buf, f), 4u);
    EXPECT_STREQ(buf, "line");
    EXPECT_EQ(VtFilesystem()->getline(buf, sizeof buf, f), 3u);
    EXPECT_EQ(VtFilesystem()->getline(buf, sizeof buf, f), 0u);
    EXPECT_TRUE(VtFilesystem()->eof(f));
    VtFilesystem()->close(f);

    void *w = VtFilesystem()->open_write("out.txt", 1);
    VtFilesystem()->putline("one", w);
    VtFilesystem()->putchr('2', w);
    VtFilesystem()->close(w);
    f = VtFilesystem()->open_read("out.txt", 0, nullptr, &mode);
    EXPECT_EQ(readAll(f), "one\n2");
    VtFilesystem()->close(f);
}

class VtException : public VtTest {};

namespace {
std::vector<std::string> trail;
struct Tracer {
    const char *name;
    ~Tracer() { trail.push_back(std::string("~") + name); }
};

void deepest(int type, void *value) {
    Tracer t{"deepest"};
    _BrExceptionThrow(type, value);
    trail.push_back("not reached");
}
void middle(int type, void *value) {
    Tracer t{"middle"};
    deepest(type, value);
}
} // namespace

TEST_F(VtException, ThrowResumesTheInnermostFrameAcrossCalls) {
    trail.clear();
    int payload = 7;
    int inner = -1;
    vt_exception outer = VtExceptionTry([&] {
        inner = VtExceptionTry([&] { middle(5, &payload); });
        void *value = nullptr;
        EXPECT_EQ(_BrExceptionValueFetch(inner, &value), 5);
        EXPECT_EQ(value, &payload);
        // The inner frame is gone; the next throw goes to the outer one.
        middle(9, nullptr);
    });
    EXPECT_EQ(inner, 5);
    EXPECT_EQ(outer, 9);
    EXPECT_EQ(trail, (std::vector<std::string>{"~deepest", "~middle", "~deepest", "~middle"}));
    EXPECT_EQ(_BrExceptionResource(), nullptr) << "no frame left open";
    EXPECT_EQ(VtExceptionTry([] {}), 0);
    EXPECT_TRUE(Diag::failures.empty());
}

TEST_F(VtException, UnhandledThrowAndEndReport) {
    _BrExceptionThrow(12, nullptr);
    _BrExceptionEnd();
    ASSERT_EQ(Diag::failures.size(), 2u);
    EXPECT_EQ(Diag::failures[0], "Failure: Unhandled exception: 12");
    EXPECT_EQ(Diag::failures[1], "Failure: Unhandled exception: 0");
}

TEST_F(VtException, FrameResourceDiesWithTheFrame) {
    int live = 0;
    vt_exception type = VtExceptionTry([&] {
        void *res = _BrExceptionResource();
        ASSERT_NE(res, nullptr);
        VtResAllocate(res, 64, VT_RES_APPLICATION);
        live = Counting::live;
        _BrExceptionThrow(1, nullptr);
    });
    EXPECT_EQ(type, 1);
    EXPECT_EQ(Counting::live, live - 2) << "the frame and its child are freed";
    // Begin and end by hand, as code that never throws does.
    vt_exception_frame *f = _BrExceptionBegin();
    EXPECT_EQ(_BrExceptionResource(), f);
    _BrExceptionEnd();
    EXPECT_EQ(_BrExceptionResource(), nullptr);
}

TEST(VtStdDiagDeath, FailureEndsTheLibraryWithExitCode10) {
    EXPECT_EXIT(
        {
            VtDiagHandlerSet(nullptr);
            VtBegin();
            VtFailure("bad %d", 1);
        },
        testing::ExitedWithCode(10), "Failure: bad 1");
}

TEST(VtStdDiag, WarningGoesToStandardErrorAndReturns) {
    testing::internal::CaptureStderr();
    VtStdioDiagHandler.warning("Warning: careful");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Warning: careful\n");
}

TEST(VtStdlib, Wrappers) {
    EXPECT_EQ(VtStrICmp("abc", "ABC"), 0);
    EXPECT_EQ(VtStrNICmp("abcd", "ABCx", 3), 0);
    EXPECT_FLOAT_EQ(VtStrToF("1.5", nullptr), 1.5f);
    EXPECT_EQ(VtStrToL("0x10", nullptr, 0), 16);
    EXPECT_TRUE(VtIsAlpha('a'));
    EXPECT_FALSE(VtIsAlpha(0xE4));
    EXPECT_TRUE(VtIsSpace('\v'));
    EXPECT_FALSE(VtIsPrint(127));
}
