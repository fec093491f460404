// The launcher's logic through a recording host: which buttons are live,
// what each starts, where and how, and when the single-instance lock goes.
#include <gtest/gtest.h>

#include <signal.h>

#include "os/instance.h"
#include "os/process.h"
#include "tools/common/setup.h"
#include "tools/installer/launcher.h"
#include "tools_fixture.h"

namespace {

struct Started {
    std::string commandLine;
    std::string folder;  // "" for the current folder
    bool wait;
    uint32_t limit;
    bool lockGiven;  // the instance lock was given up before the start
};

struct Recorder {
    bool installed = false;
    std::string path = "/opt/ruvo";
    bool runFails = false;
    bool lockGiven = false;
    std::vector<Started> started;
    std::vector<std::string> opened;
    std::vector<std::string> boxes;
} *gRec;

bool FakeReadPath(std::string *path) {
    if (gRec->installed) *path = gRec->path;
    return gRec->installed;
}
bool FakeRun(const std::string &cmd, const char *folder, bool wait, uint32_t limit, std::string *error) {
    gRec->started.push_back({cmd, folder ? folder : "", wait, limit, gRec->lockGiven});
    if (gRec->runFails) *error = "No such file or directory";
    return !gRec->runFails;
}
void FakeOpen(const char *target) { gRec->opened.push_back(target); }
void FakeBox(const char *, const char *text) { gRec->boxes.push_back(text); }
const char *FakeWindows() { return "/my win"; }
void FakeRelease() { gRec->lockGiven = true; }

class Launcher : public ::testing::Test {
protected:
    Recorder rec;
    void SetUp() override {
        gRec = &rec;
        gLauncherHost = {FakeReadPath, FakeRun, FakeOpen, FakeBox, FakeWindows, FakeRelease};
    }
    void TearDown() override { gLauncherHost = kMachineLauncherHost; }
    void Start(bool installed) {
        rec.installed = installed;
        OnInitDialog();
    }
};

TEST_F(Launcher, ButtonsFollowTheInstallation) {
    const int ids[] = {IDC_INSTALL, IDC_UNINSTALL, IDC_DIRECTX, IDC_DIRECTX_MEDIA, IDC_LAUNCH,
                       IDC_INTRO,   IDC_WEB_SITE,  IDC_RENDERER, IDC_README,       IDCANCEL};
    const struct {
        bool installed;
        bool live[10];
    } cases[] = {
        {false, {true, false, true, true, false, true, true, false, true, true}},
        {true, {false, true, true, true, true, true, true, true, true, true}},
    };
    for (const auto &c : cases) {
        Start(c.installed);
        EXPECT_EQ(gLauncher.rendererChoice, 2);
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(LauncherControlEnabled(ids[i]), c.live[i]) << ids[i] << " installed " << c.installed;
    }
}

TEST_F(Launcher, EachButtonStartsItsCommand) {
    const struct {
        int id;
        const char *commandLine;  // null: nothing is started
        const char *folder;
        bool wait;
        bool quits;
    } cases[] = {
        {IDC_INSTALL, "setup.exe", "", false, true},
        {IDC_UNINSTALL, "\"/my win\\uninst.exe\" -f\"/opt/my ruvo\\DeIsL1.isu\"", "", false, true},
        {IDC_DIRECTX, "directx\\dxsetup.exe", "", false, true},
        {IDC_DIRECTX_MEDIA, "directx\\dxmedia.exe -NQ -id:Ruvo", "", false, true},
        {IDC_LAUNCH, "ruvo.exe -french", "/opt/my ruvo", false, true},
        {IDC_INTRO, "lumaquill.exe", "", true, false},
        {IDC_WEB_SITE, nullptr, "", false, false},
        {IDC_README, nullptr, "", false, false},
        {IDCANCEL, nullptr, "", false, true},
    };
    for (const auto &c : cases) {
        rec = Recorder{};
        rec.path = "/opt/my ruvo";
        // Install is live only without an installation.
        Start(c.id != IDC_INSTALL);
        LauncherCommand(c.id);
        EXPECT_EQ(gLauncher.quit, c.quits) << c.id;
        if (!c.commandLine) {
            EXPECT_TRUE(rec.started.empty()) << c.id;
            continue;
        }
        ASSERT_EQ(rec.started.size(), 1u) << c.id;
        const Started &s = rec.started[0];
        EXPECT_EQ(s.commandLine, c.commandLine);
        EXPECT_EQ(s.folder, c.folder);
        EXPECT_EQ(s.wait, c.wait);
        EXPECT_EQ(s.limit, 1800000u);
        // What the dialog ends for must find the name free; the intro runs
        // while the dialog keeps it.
        EXPECT_EQ(s.lockGiven, c.quits) << c.id;
    }
    rec = Recorder{};
    Start(true);
    LauncherCommand(IDC_WEB_SITE);
    LauncherCommand(IDC_README);
    EXPECT_EQ(rec.opened, (std::vector<std::string>{kWebSite, "lisez-moi.txt"}));
}

TEST_F(Launcher, BlanksInFoldersStayInsideTheirWords) {
    Start(true);
    rec.path = "/opt/my ruvo";
    LauncherCommand(IDC_UNINSTALL);
    ASSERT_EQ(rec.started.size(), 1u);
    EXPECT_EQ(osSplitCommandLine(rec.started[0].commandLine.c_str()),
              (std::vector<std::string>{"/my win\\uninst.exe", "-f/opt/my ruvo\\DeIsL1.isu"}));
}

TEST_F(Launcher, TheRendererChoiceGivesTheGameItsOptions) {
    const struct {
        int choice;
        const char *commandLine;
    } cases[] = {
        {0, "ruvo.exe -b -16 -french"}, {1, "ruvo.exe -b -16 -800x600 -french"},
        {2, "ruvo.exe -french"},        {3, "ruvo.exe "},
        {-1, "ruvo.exe "},
    };
    for (const auto &c : cases) {
        rec.started.clear();
        Start(true);
        OnRendererChange(c.choice);
        LauncherCommand(IDC_LAUNCH);
        ASSERT_EQ(rec.started.size(), 1u);
        EXPECT_EQ(rec.started[0].commandLine, c.commandLine);
        EXPECT_EQ(rec.started[0].folder, "/opt/ruvo");
    }
}

TEST_F(Launcher, WithoutAnInstallationNothingStarts) {
    Start(false);
    LauncherCommand(IDC_LAUNCH);
    LauncherCommand(IDC_UNINSTALL);
    // Even called directly, the launch needs the installation folder.
    OnLaunchGame();
    EXPECT_TRUE(rec.started.empty());
    EXPECT_FALSE(gLauncher.quit);
    EXPECT_FALSE(rec.lockGiven);
}

TEST_F(Launcher, AFailedStartShowsTheSystemTextAndFollowsItsRow) {
    Start(false);
    rec.runFails = true;
    LauncherCommand(IDC_INTRO);
    EXPECT_EQ(rec.boxes, std::vector<std::string>{"No such file or directory"});
    EXPECT_FALSE(gLauncher.quit);
    LauncherCommand(IDC_INSTALL);
    EXPECT_EQ(rec.boxes.size(), 2u);
    EXPECT_TRUE(gLauncher.quit);
}

int gDialogRuns;
bool gHeldDuringDialog;
int FakeDialog() {
    ++gDialogRuns;
    gHeldDuringDialog = osInstanceLockHeld(kInstanceName);
    return 0;
}

TEST(LauncherInstance, AnotherCopyRunningEndsItSilently) {
    toolstest::Sandbox box;
    gDialogRuns = 0;
    ASSERT_EQ(osAcquireInstanceLock(kInstanceName), OS_INSTANCE_OWNED);
    EXPECT_EQ(InitInstance(FakeDialog), 0);
    EXPECT_EQ(gDialogRuns, 0);
    osReleaseInstanceLock(kInstanceName);

    EXPECT_EQ(InitInstance(FakeDialog), 0);
    EXPECT_EQ(gDialogRuns, 1);
    EXPECT_TRUE(gHeldDuringDialog);
    EXPECT_FALSE(osInstanceLockHeld(kInstanceName));

    // A lock that cannot be made at all is a failure.
    setenv("XDG_RUNTIME_DIR", (box.path() + "/missing").c_str(), 1);
    EXPECT_EQ(InitInstance(FakeDialog), 1);
    EXPECT_EQ(gDialogRuns, 1);
}

TEST(LauncherInstance, TheProgramShowsNothingWhileTheGameRuns) {
    toolstest::Sandbox box;
    ASSERT_EQ(osAcquireInstanceLock(kInstanceName), OS_INSTANCE_OWNED);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    std::string err;
    int pid = osStartProcess({INSTALLER_PROGRAM}, RUVO_DISC_DIR, &err);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    ASSERT_GT(pid, 0) << err;
    // Generous for sanitizer builds on a loaded machine; a shown dialog
    // would never end by itself.
    EXPECT_EQ(osWaitProcess(pid, 20000), 0);
    osReleaseInstanceLock(kInstanceName);
    if (osWaitProcess(pid, 0) == OS_WAIT_TIMEOUT) kill(pid, SIGKILL), osWaitProcess(pid, 5000);
}

}  // namespace
