#include "tools/installer/launcher.h"

#include "os/instance.h"
#include "os/os.h"
#include "os/process.h"
#include "os/registry.h"
#include "tools/common/setup.h"

const char *const kRendererNames[kRendererCount] = {"3Dfx Renderer 640x480", "3Dfx Renderer 800x600",
                                                     "Software Renderer"};

namespace {

bool MachineRun(const std::string &commandLine, const char *folder, bool wait, uint32_t waitLimitMs,
                std::string *error) {
    return SetupRunCommandLine(commandLine, folder, wait, waitLimitMs, error);
}

void MachineShellOpen(const char *target) { osShellOpen(target); }
void MachineReleaseInstance() { osReleaseInstanceLock(kInstanceName); }

// Buttons after which the dialog ends: what they start must find the
// single-instance name free, and the lock is let go before they start.
void RunThenQuit(const std::string &commandLine, const char *folder = nullptr) {
    gLauncherHost.releaseInstance();
    RunCommandLine(commandLine, false, folder);
    gLauncher.quit = true;
}

}  // namespace

const LauncherHost kMachineLauncherHost = {SetupReadInstallPath, MachineRun,       MachineShellOpen,
                                           osMessageBox,         osWindowsFolder, MachineReleaseInstance};
LauncherHost gLauncherHost = kMachineLauncherHost;
LauncherState gLauncher = {kDefaultRenderer, false, false};

void OnInitDialog() {
    gLauncher.rendererChoice = kDefaultRenderer;
    gLauncher.quit = false;
    UpdateButtonStates();
}

void UpdateButtonStates() {
    std::string path;
    gLauncher.installed = gLauncherHost.readInstallPath(&path);
}

bool LauncherControlEnabled(int id) {
    switch (id) {
        case IDC_INSTALL: return !gLauncher.installed;
        case IDC_UNINSTALL:
        case IDC_LAUNCH:
        case IDC_RENDERER: return gLauncher.installed;
        default: return true;
    }
}

const char *LaunchOptions(int rendererChoice) {
    switch (rendererChoice) {
        case 0: return "-b -16 -french";
        case 1: return "-b -16 -800x600 -french";
        case 2: return "-french";
        default: return "";
    }
}

void RunCommandLine(const std::string &commandLine, bool wait, const char *folder) {
    std::string error;
    if (!gLauncherHost.run(commandLine, folder, wait, kRunWaitLimitMs, &error))
        gLauncherHost.messageBox(kDialogCaption, error.c_str());
}

void OnLaunchGame() {
    std::string path;
    if (!gLauncherHost.readInstallPath(&path)) return;
    // The game runs in its installation folder.
    RunThenQuit(std::string("ruvo.exe ") + LaunchOptions(gLauncher.rendererChoice), path.c_str());
}

void OnRendererChange(int selection) { gLauncher.rendererChoice = selection; }

void LauncherCommand(int id) {
    if (id != IDCANCEL && !LauncherControlEnabled(id)) return;
    switch (id) {
        case IDC_INSTALL: RunThenQuit("setup.exe"); break;
        case IDC_UNINSTALL: {
            std::string path;
            if (!gLauncherHost.readInstallPath(&path)) path.clear();
            // The program is quoted: either folder may hold blanks.
            RunThenQuit("\"" + std::string(gLauncherHost.windowsFolder()) + "\\uninst.exe\" -f\"" + path +
                        "\\DeIsL1.isu\"");
            break;
        }
        case IDC_DIRECTX: RunThenQuit("directx\\dxsetup.exe"); break;
        case IDC_DIRECTX_MEDIA: RunThenQuit("directx\\dxmedia.exe -NQ -id:Ruvo"); break;
        case IDC_LAUNCH: OnLaunchGame(); break;
        case IDC_INTRO: RunCommandLine("lumaquill.exe", true); break;
        case IDC_WEB_SITE: gLauncherHost.shellOpen(kWebSite); break;
        case IDC_README: gLauncherHost.shellOpen("lisez-moi.txt"); break;
        case IDCANCEL: gLauncher.quit = true; break;
        default: break;
    }
}

int InitInstance(int (*runDialog)()) {
    OsInstanceResult lock = osAcquireInstanceLock(kInstanceName);
    // Another copy of the game or of the tools: nothing to show.
    if (lock == OS_INSTANCE_TAKEN) return 0;
    if (lock != OS_INSTANCE_OWNED) return 1;
    int code = runDialog();
    osReleaseInstanceLock(kInstanceName);
    return code;
}
