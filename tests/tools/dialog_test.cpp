// The launcher's window without a display: its layout, what the mouse and
// keys reach, and what the drawing shows of the buttons' states.
#include <gtest/gtest.h>

#include <unistd.h>

#include <vector>

#include "core/options.h"
#include "os/paths.h"
#include "tools/installer/dialog.h"
#include "tools/installer/launcher.h"

namespace {

std::vector<std::string> gStarted;
bool gInstalled;

bool FakeReadPath(std::string *path) {
    *path = "/opt/ruvo";
    return gInstalled;
}
bool FakeRun(const std::string &cmd, const char *, bool, uint32_t, std::string *) {
    gStarted.push_back(cmd);
    return true;
}
void FakeOpen(const char *) {}
void FakeBox(const char *, const char *) {}
const char *FakeWindows() { return "/win"; }
void FakeRelease() {}

class Dialog : public ::testing::Test {
protected:
    std::string oldFolder;
    int oldDepth = 0;
    uint16_t oldBytes = 0;
    std::vector<uint8_t> pixels = std::vector<uint8_t>(size_t(kDialogWidth) * kDialogHeight * 2);
    Surface screen{pixels.data(), kDialogWidth, kDialogHeight, 0, 0, kDialogWidth * 2, 2};

    void SetUp() override {
        char buf[4096];
        oldFolder = getcwd(buf, sizeof buf) ? buf : ".";
        ASSERT_EQ(chdir(RUVO_DISC_DIR), 0);
        osFlushPathCache();
        oldDepth = PixelDepth;
        oldBytes = BytesPerPixel;
        PixelDepth = 16;
        BytesPerPixel = 2;
        ASSERT_TRUE(DialogLoadResources());
        gLauncherHost = {FakeReadPath, FakeRun, FakeOpen, FakeBox, FakeWindows, FakeRelease};
        gStarted.clear();
    }
    void TearDown() override {
        DialogFreeResources();
        gLauncherHost = kMachineLauncherHost;
        PixelDepth = oldDepth;
        BytesPerPixel = oldBytes;
        ASSERT_EQ(chdir(oldFolder.c_str()), 0);
        osFlushPathCache();
    }
    void Open(bool installed) {
        gInstalled = installed;
        OnInitDialog();
        DialogReset();
    }
    static void Click(int x, int y) {
        DialogMouseDown(x, y);
        DialogMouseUp(x, y);
    }
    static void ClickOn(int id) {
        DialogRect r = DialogControlRect(id);
        Click(r.x + r.w / 2, r.y + r.h / 2);
    }
    uint16_t At(int x, int y) const {
        return uint16_t(pixels[(size_t(y) * kDialogWidth + x) * 2] | pixels[(size_t(y) * kDialogWidth + x) * 2 + 1] << 8);
    }
    // Pixels of one colour inside a control, its edge left out.
    int Count(int id, uint16_t colour) const {
        DialogRect r = DialogControlRect(id);
        int n = 0;
        for (int y = r.y + 3; y < r.y + r.h - 3; ++y)
            for (int x = r.x + 3; x < r.x + r.w - 3; ++x) n += At(x, y) == colour;
        return n;
    }
};

constexpr uint16_t kBlack = 0x0000, kGrey = 0x8410;  // ink, and the grey of dimmed text

TEST_F(Dialog, LaidOutFromDialogUnits) {
    const struct {
        int id;
        DialogRect r;
    } cases[] = {
        {IDC_INSTALL, {15, 33, 165, 49}},   {IDC_DIRECTX_MEDIA, {15, 293, 165, 49}},
        {IDC_LAUNCH, {450, 33, 165, 49}},   {IDC_WEB_SITE, {450, 228, 165, 49}},
        {IDCANCEL, {225, 309, 180, 33}},    {kDialogPictureId, {195, 16, 240, 276}},
    };
    for (const auto &c : cases) {
        DialogRect r = DialogControlRect(c.id);
        EXPECT_EQ(r.x, c.r.x) << c.id;
        EXPECT_EQ(r.y, c.r.y) << c.id;
        EXPECT_EQ(r.w, c.r.w) << c.id;
        EXPECT_EQ(r.h, c.r.h) << c.id;
    }
    EXPECT_EQ(DialogControlAt(16, 34), IDC_INSTALL);
    EXPECT_EQ(DialogControlAt(300, 100), 0);  // the picture takes no clicks
}

TEST_F(Dialog, DimmedButtonsShowGreyTextAndTakeNoClicks) {
    Open(false);
    DialogDraw(&screen);
    EXPECT_GT(Count(IDC_INSTALL, kBlack), 40);
    EXPECT_EQ(Count(IDC_LAUNCH, kBlack), 0);
    EXPECT_GT(Count(IDC_LAUNCH, kGrey), 40);
    // The picture is there, not the dialog's grey.
    DialogRect p = DialogControlRect(kDialogPictureId);
    EXPECT_NE(At(p.x + p.w / 2, p.y + p.h / 2), 0xC618);
    ClickOn(IDC_LAUNCH);
    EXPECT_TRUE(gStarted.empty());
    ClickOn(IDC_INSTALL);
    EXPECT_EQ(gStarted, std::vector<std::string>{"setup.exe"});

    Open(true);
    DialogDraw(&screen);
    EXPECT_GT(Count(IDC_LAUNCH, kBlack), 40);
    EXPECT_EQ(Count(IDC_INSTALL, kBlack), 0);
}

TEST_F(Dialog, APressCountsWhereItIsLetGo) {
    Open(true);
    DialogRect intro = DialogControlRect(IDC_INTRO);
    DialogMouseDown(intro.x + 5, intro.y + 5);
    DialogMouseMove(5, 5);
    EXPECT_FALSE(gDialog.pressedIn);
    DialogMouseUp(5, 5);
    EXPECT_TRUE(gStarted.empty());
    ClickOn(IDC_INTRO);
    EXPECT_EQ(gStarted, std::vector<std::string>{"lumaquill.exe"});
    EXPECT_FALSE(gLauncher.quit);
}

TEST_F(Dialog, TheComboChoosesTheRendererTheGameGets) {
    Open(true);
    ClickOn(IDC_RENDERER);
    ASSERT_TRUE(gDialog.listOpen);
    DialogRect combo = DialogControlRect(IDC_RENDERER);
    // The rows hang below the box, in the choice's order.
    int row0 = -1;
    for (int y = combo.y + combo.h; y < combo.y + combo.h + 80 && row0 < 0; ++y)
        if (DialogListRowAt(combo.x + 10, y) == 0) row0 = y;
    ASSERT_GE(row0, 0);
    Click(combo.x + 10, row0 + 1);
    EXPECT_FALSE(gDialog.listOpen);
    EXPECT_EQ(gLauncher.rendererChoice, 0);
    // A click beside the open list only closes it.
    ClickOn(IDC_RENDERER);
    Click(2, 2);
    EXPECT_FALSE(gDialog.listOpen);
    EXPECT_EQ(gLauncher.rendererChoice, 0);
    ClickOn(IDC_LAUNCH);
    EXPECT_EQ(gStarted, std::vector<std::string>{"ruvo.exe -b -16 -french"});
    EXPECT_TRUE(gLauncher.quit);
}

TEST_F(Dialog, KeysWalkTheLiveControls) {
    enum { kEscape = 0x01, kTab = 0x0F, kEnter = 0x1C, kShift = 0x2A, kUp = 0x48, kDown = 0x50 };
    Open(true);
    // Install is dimmed: the focus starts on Uninstall.
    EXPECT_EQ(gDialog.focus, IDC_UNINSTALL);
    std::vector<int> order;
    for (int i = 0; i < 9; ++i) {
        DialogKeyDown(kTab, false);
        order.push_back(gDialog.focus);
    }
    EXPECT_EQ(order, (std::vector<int>{IDC_README, IDC_DIRECTX, IDC_DIRECTX_MEDIA, IDC_LAUNCH, IDC_RENDERER,
                                       IDC_INTRO, IDC_WEB_SITE, IDCANCEL, IDC_UNINSTALL}));
    DialogKeyDown(kShift, false);
    DialogKeyDown(kTab, false);
    DialogKeyUp(kShift);
    EXPECT_EQ(gDialog.focus, IDCANCEL);
    // On the combo the arrows change the renderer, and Enter starts nothing.
    while (gDialog.focus != IDC_RENDERER) DialogKeyDown(kTab, false);
    DialogKeyDown(kUp, false);
    DialogKeyDown(kUp, false);
    DialogKeyDown(kUp, false);
    EXPECT_EQ(gLauncher.rendererChoice, 0);
    DialogKeyDown(kDown, false);
    EXPECT_EQ(gLauncher.rendererChoice, 1);
    DialogKeyDown(kEnter, false);
    EXPECT_TRUE(gStarted.empty());
    // Alt+Down opens the list; Escape there closes only the list.
    DialogKeyDown(kDown, true);
    EXPECT_TRUE(gDialog.listOpen);
    DialogKeyDown(kEscape, false);
    EXPECT_FALSE(gDialog.listOpen);
    EXPECT_FALSE(gLauncher.quit);
    DialogKeyDown(kTab, false);
    DialogKeyDown(kEnter, false);
    EXPECT_EQ(gStarted, std::vector<std::string>{"lumaquill.exe"});
    DialogKeyDown(kEscape, false);
    EXPECT_TRUE(gLauncher.quit);
}

}  // namespace
