// The disc's menu program: which buttons are live, what each one starts, the
// renderer choice and the game's options. No display here: the dialog
// (dialog.h) draws this state and calls in when a control is used, and tests
// drive it directly with a recording host.
#pragma once

#include <cstdint>
#include <string>

// Controls of dialog 102.
enum : int {
    IDCANCEL = 2,
    IDC_INSTALL = 1000,
    IDC_UNINSTALL = 1001,
    IDC_DIRECTX = 1002,
    IDC_DIRECTX_MEDIA = 1003,
    IDC_LAUNCH = 1004,
    IDC_INTRO = 1005,
    IDC_WEB_SITE = 1006,
    IDC_RENDERER = 1007,
    IDC_README = 1008,
};

// The combo box's entries, sorted, in the order of the renderer choice.
inline constexpr int kRendererCount = 3;
extern const char *const kRendererNames[kRendererCount];
inline constexpr int kDefaultRenderer = 2;  // "Software Renderer"

// The game's web site (opened with the desktop's handler).
inline constexpr char kWebSite[] = "https://ruvo.example/";
inline constexpr char kDialogCaption[] = "Kelv - Vantrell";

// What the launcher asks of the machine. The real one works on this machine;
// tests put recording fakes in its place.
struct LauncherHost {
    bool (*readInstallPath)(std::string *path);
    // Starts a command line in `folder` (null: the current folder); with
    // `wait`, waits for it up to `waitLimitMs`. False with the system's text
    // for the error.
    bool (*run)(const std::string &commandLine, const char *folder, bool wait, uint32_t waitLimitMs,
                std::string *error);
    void (*shellOpen)(const char *target);
    void (*messageBox)(const char *title, const char *text);
    const char *(*windowsFolder)();
    // Gives up the single-instance name, so that what is started next finds
    // it free.
    void (*releaseInstance)();
};
extern LauncherHost gLauncherHost;
extern const LauncherHost kMachineLauncherHost;

struct LauncherState {
    int rendererChoice;
    bool installed;  // the install path was found at the last update
    bool quit;       // the dialog ends
};
extern LauncherState gLauncher;

// The dialog's start: renderer choice 2, then the button states.
void OnInitDialog();
// Install live only without an installation; Uninstall, Launch and the
// renderer combo only with one.
void UpdateButtonStates();
bool LauncherControlEnabled(int id);

// A control was used: a button press, or IDCANCEL (Escape, the close box).
void LauncherCommand(int id);
// The combo's selection changed.
void OnRendererChange(int selection);
// The game's options for a renderer choice ("" for an unknown one).
const char *LaunchOptions(int rendererChoice);
// Starts the installed game in its folder with the chosen renderer's options,
// then ends the dialog; nothing without an installation.
void OnLaunchGame();
// Starts a command line (optionally waiting up to 30 minutes); a failure
// shows the system's text for it.
void RunCommandLine(const std::string &commandLine, bool wait, const char *folder = nullptr);

// The program: takes the single-instance name (another copy of the game or
// of the tools running ends it at once, silently, with 0), runs the dialog
// and gives the exit code (1 when the lock cannot be made at all).
int InitInstance(int (*runDialog)());
