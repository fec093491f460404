#include "app/shell.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/clock.h"
#include "app/floor_hooks.h"
#include "app/game.h"
#include "app/monkey.h"
#include "app/options.h"
#include "app/shellcall.h"
#include "app/system.h"
#include "core/files.h"
#include "core/log.h"
#include "gui/gui.h"
#include "gui/redraw.h"
#include "os/display.h"
#include "os/events.h"
#include "os/instance.h"
#include "os/paths.h"
#include "os/registry.h"
#include "os/window.h"
#include "platform/display.h"
#include "platform/joystick.h"
#include "platform/keyboard.h"
#include "platform/sound.h"
#include "platform/video.h"

void *gMainWindow;
int32_t gActive;
uint8_t gQuit;
int32_t gVideoLeadIn;
char gMissionScriptName[260];
uint8_t gSettingsFileMoved;
char gWindowTitle[64];

ShellCallHook gShellCallHook = nullptr;
void SetShellCallHook(ShellCallHook hook) { gShellCallHook = hook; }

namespace {

char gSettingsPath[260];
char gSettingsOldPath[260];

// MoveFile: fails when the target exists.
bool MoveFileNoReplace(const char *from, const char *to) {
    if (osHostPathExists(to)) return false;
    return std::rename(from, to) == 0;
}

void RestoreAtExit() { SettingsFileRestore(); }

// The folders the game saves whole files in: the settings file, the career
// and checkpoint files, the shapes' smoothing caches and the star systems'
// debugging meshes.
const char *const kWrittenFolders[] = {"", "vek", "vek\\resource\\shapes", "debug\\SolarSystems"};

}  // namespace

void SettingsFileSetAside() {
    const char *folder = osWindowsFolder();
    if (!folder || !*folder) return;
    // A folder too long for the path buffers is left alone, never cut short.
    if (std::snprintf(gSettingsPath, sizeof gSettingsPath, "%s/%s", folder, "vantor.ini") >=
            (int)sizeof gSettingsPath ||
        std::snprintf(gSettingsOldPath, sizeof gSettingsOldPath, "%s/%s", folder, "vantor.old") >=
            (int)sizeof gSettingsOldPath)
        return;
    // A run that was killed before it could put the file back left it as
    // "vantor.old": that is the user's file, so it comes back first.
    if (!osHostPathExists(gSettingsPath) && osHostPathExists(gSettingsOldPath))
        std::rename(gSettingsOldPath, gSettingsPath);
    if (MoveFileNoReplace(gSettingsPath, gSettingsOldPath)) {
        gSettingsFileMoved = 1;
        dunAtExit(RestoreAtExit);
    }
}

void SettingsFileRestore() {
    if (!gSettingsFileMoved) return;
    gSettingsFileMoved = 0;
    std::remove(gSettingsPath);
    std::rename(gSettingsOldPath, gSettingsPath);
}

void ShellReadCommandLine(const char *commandLine) {
    std::string buf = commandLine ? commandLine : "";
    std::vector<std::string> words;
    size_t pos = 0;
    while (pos < buf.size()) {
        size_t start = buf.find_first_not_of(", ", pos);
        if (start == std::string::npos) break;
        size_t end = buf.find_first_of(", ", start);
        if (end == std::string::npos) end = buf.size();
        words.push_back(buf.substr(start, end - start));
        pos = end;
    }
    if (words.empty()) CALL(parseCommandSwitch, nullptr);
    size_t i = 0;
    for (; i < words.size() && words[i][0] == '-'; ++i) {
        const char *word = words[i].c_str();
        CALL(parseCommandSwitch, word);
    }
    if (!optFrontEndStart && i < words.size())
        std::snprintf(gMissionScriptName, sizeof gMissionScriptName, "%s", words[i].c_str());
}

bool RegisterWindowClasses() { return osInitVideo(); }

bool CreateMainWindow() {
    std::snprintf(gWindowTitle, sizeof gWindowTitle, "%s", "Veltraxis");
    osSetCursor(OS_CURSOR_CROSS);
    osShowCursor(true);
    StartFrameClock();
    gMouse.x = gMouse.y = 0;
    gMouse.keyFlags = 0;
    OsWindowStyle style = OS_WINDOW_FRAMED;
    // The window takes the size the display will open at, so that it never
    // has to grow (and run off the screen) when the start-up script opens it.
    uint16_t w = 640, h = 480;
    ResolutionSize(ResolutionMode, &w, &h);
    if (FullScreenMode && DirectDrawActive) style = OS_WINDOW_FULLSCREEN;
    else if (CardMode) style = OS_WINDOW_DESKTOP;
    if (!osCreateMainWindow(gWindowTitle, style, w, h)) return false;
    gMainWindow = osMainWindowHandle();
    // The display drivers show their frames in this window.
    osDisplayUseWindow(gMainWindow);
    // A new window that takes the focus is the active application.
    gActive = 1;
    if (FullScreenMode) osSetWindowGrab(true);
    return true;
}

void SetMainWindowTitle(const char *text) { osSetWindowTitle(text); }

namespace {

// Both procedures: the application gained or lost the focus. A control key
// held when it went is not held when it comes back.
void ActivateApp(const OsMessage &m, bool reacquireDevices) {
    gActive = (int32_t)m.wParam;
    if (gActive && FullScreenMode) CALL(DisplayDDrawRestore);
    // Back in front: everything is drawn again, not only what changes.
    if (gActive) CALL(guiMarkRedraw);
    if (reacquireDevices) {
        CALL(MouseReacquire);
        CALL(ffReacquire);
    }
    if (uint8_t *kd = CALL(GetKeyDownTable)) kd[0x1D] = 0;
}

void KeyMessage(const OsMessage &m) {
    if (m.type == OSM_KEYDOWN)
        CALL(OnKeyDown, gMainWindow, m.wParam, 1, uint8_t(m.keyData & 0xFF), m.keyData);
    else
        CALL(OnKeyUp, gMainWindow, m.wParam, 1, uint8_t(m.keyData & 0xFF), m.keyData);
}

}  // namespace

void GameWndProc(const OsMessage &m) {
    switch (m.type) {
        case OSM_CLOSE: osPostQuit(0); break;
        case OSM_PAINT:
            // Uncovered: the whole window shows the last frame at once (no
            // frame may run while the game is in the background), and the
            // screens draw every window afresh at the next frame.
            osDisplayShowAgain();
            CALL(guiMarkRedraw);
            break;
        case OSM_ACTIVATEAPP: ActivateApp(m, false); break;
        case OSM_KEYDOWN:
        case OSM_KEYUP: KeyMessage(m); break;
        case OSM_CHAR: CALL(OnCharMessage, gMainWindow, uint8_t(m.wParam)); break;
        case OSM_MOUSEMOVE: CALL(OnMouseMove, gMainWindow, m.x, m.y, m.wParam); break;
        case OSM_LBUTTONDOWN: CALL(OnLeftButtonDown, gMainWindow, m.x, m.y, m.wParam); break;
        case OSM_LBUTTONUP: CALL(OnLeftButtonUp, gMainWindow, m.x, m.y, m.wParam); break;
        case OSM_LBUTTONDBLCLK: CALL(OnLeftDoubleClick, gMainWindow, m.x, m.y, m.wParam); break;
        case OSM_RBUTTONDOWN: CALL(OnRightButtonDown, gMainWindow, m.x, m.y, m.wParam); break;
        case OSM_RBUTTONUP: CALL(OnRightButtonUp, gMainWindow, m.x, m.y, m.wParam); break;
        case OSM_MBUTTONDOWN: CALL(OnMiddleButtonDown, gMainWindow, m.x, m.y, m.wParam); break;
        case OSM_MBUTTONUP: CALL(OnMiddleButtonUp, gMainWindow, m.x, m.y, m.wParam); break;
        case OSM_DROPFILES:
            if (m.dropCount == 1 && std::strlen(m.path) <= 80) CALL(launchFileByExtension, m.path);
            break;
        case OSM_FILMNOTIFY:
            if (m.wParam == 1) {
                if (optIntro) CALL(VideoWindowNext);
                else {
                    CALL(VideoWindowClose);
                    VideoPlaying = 0;
                    MciPlaying = 0;
                }
            }
            break;
        default: break;
    }
}

void MainWndProc(const OsMessage &m) {
    if (gDisplayOpen || FullScreenMode || CardMode) {
        GameWndProc(m);
        return;
    }
    switch (m.type) {
        case OSM_CLOSE: osPostQuit(0); break;
        case OSM_ACTIVATEAPP: ActivateApp(m, true); break;
        case OSM_KEYDOWN:
        case OSM_KEYUP: KeyMessage(m); break;
        default: break;
    }
}

static void DispatchShellMessage(const OsMessage &m) { MainWndProc(m); }

// How long an idle turn with nothing to run gives the processor away.
static constexpr uint32_t kIdleSleepMs = 10;

// ---- A key during a film-window film. Both message turns (the pump inside
// long operations and the main loop's idle turn) end films by key through
// these two, and differ only where noted.

// A key in intro mode that does not skip to the next film ends the intro:
// the film window's film closes, and the program ends (demo mode only
// leaves intro mode).
static void IntroEndedByKey() {
    if (gMciWindow) CALL(VideoWindowClose);
    if (optDemo) optIntro = 0;
    else gQuit = 1;
}

// Any other film of the film window closes on a key, which is taken. The
// pump also clears `VideoPlaying`; the idle turn leaves that to the window's
// stop notice.
static void FilmWindowKey(bool clearVideoPlaying) {
    if (!MciPlaying || !CALL(KeyQueueCount)) return;
    CALL(KeyQueueGet);
    if (!gMciWindow) return;
    CALL(VideoWindowClose);
    if (clearVideoPlaying) VideoPlaying = 0;
    MciPlaying = 0;
}

void PumpMessages() {
    OsMessage m;
    if (osPeekMessage(&m)) {
        if (m.type == OSM_QUIT) {
            gameShutdown();
            dunTerminate("", 0);
        }
        DispatchShellMessage(m);
        return;
    }
    if (optIntro) {
        if (CALL(KeyQueueCount)) IntroEndedByKey();  // the key stays queued for the idle turn
        if (gMciWindow && !CALL(VideoWindowVisible)) {
            CALL(VideoWindowClose);
            if (optDemo) optIntro = 0;
            VideoPlaying = 0;
            MciPlaying = 0;
        }
    }
    FilmWindowKey(true);
}

// The idle turn waits for what it has to do by sleeping, never by spinning:
// a frame runs once a centisecond has passed since the last, and the pause
// and a window in the background run none.
void ShellIdleTurn() {
    if (gPaused) {
        uint16_t key = CALL(KeyQueueGet);
        uint8_t scan = uint8_t(key >> 8);
        if (scan == 0x19 || scan == 0x01) {
            gPaused = 0;
            CALL(guiRedrawCockpit);
        }
        uint8_t *kd = CALL(GetKeyDownTable);
        if (kd && kd[0x2A] && scan == 0x10) {
            gPaused = 0;
            CALL(SoundResumeAll);
            CALL(guiMarkRedraw);
            CALL(guiEndMission);
        }
        if (gPaused && !key) FrameSleep(kIdleSleepMs);
    } else if (optRunInBack || gActive) {
        if (!FrameDue()) {
            WaitForFrame();
        } else {
            UpdateFrameClock();
            if (gVideoLeadIn > 0) gVideoLeadIn -= dunFrameStep;
            else if (!VideoPlaying) CALL(gameFrame);
            else if (!MciPlaying) CALL(StepPlayingVideo);
            else CALL(VideoWindowStep);  // the film window shows its next frame when due
        }
    } else {
        FrameSleep(kIdleSleepMs);
    }
    if (optIntro && CALL(KeyQueueCount)) {
        uint16_t key = CALL(KeyQueueGet);
        if ((key >> 8) == 0x01) CALL(VideoWindowNext);  // Esc: the next film
        else IntroEndedByKey();
    }
    FilmWindowKey(false);
}

int RunMainLoop() {
    OsMessage m;
    for (;;) {
        if (osPeekMessage(&m)) {
            if (m.type == OSM_QUIT) return (int)m.wParam;
            DispatchShellMessage(m);
            continue;
        }
        ShellIdleTurn();
        if (gMonkeyOn) MonkeyTurn();
        if (!MciPlaying && gQuit) return 0;
    }
}

int ShellMain(int argc, char **argv) {
    InstallFloorHooks();
    osInstallQuitSignals();
    OsInstanceResult lock = osAcquireInstanceLock("KelvMutex");
    // Another copy running is no failure; a lock that cannot be made at all
    // is one (the reason is on stderr), and must not read as success.
    if (lock == OS_INSTANCE_TAKEN) {
        std::fprintf(stderr, "ruvo: the game is already running\n");
        return 0;
    }
    if (lock != OS_INSTANCE_OWNED) return 1;

    // Without its data tree the game can do nothing: say where it looked.
    if (!osGameFolderExists("vek\\resource")) {
        std::fprintf(stderr, "no game data (vek/resource) in %s\n", osDataRoot());
        dunDebugPrintf("No game data (vek\\resource) in %s", osDataRoot());
        return 1;
    }
    // This copy holds the lock: no other is saving, so temporary files of
    // the whole-file writer are what a save ended by a kill or a crash left.
    for (const char *folder : kWrittenFolders) RemoveWriteLeftovers(folder);
    SettingsFileSetAside();

    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }

    // Video comes up before the driver probe, so that a machine without a
    // display runs on the off-screen driver.
    osInitVideo();
    // A run that shows nothing must not pass for a hang.
    if (osVideoHeadless()) dunUserNotice("no display: the game runs headless and shows nothing (SIGTERM ends it)");
    CALL(SelectFullScreenDriver);
    if (!FullScreenMode) {
        std::fprintf(stderr, "no display can be opened\n");
        SettingsFileRestore();
        return 0;
    }
    ShellReadCommandLine(commandLine.c_str());
    if (optLogHistory) {
        dunDebugPrint("-------------------------------------------------------------------------------");
        dunDebugPrintf("Starting Veltraxis - command line '%s'\n", commandLine.c_str());
    }
    if (!CardMode) optWinMouse = 0xFF;

    gQuit = 0;
    VideoPlaying = 0;
    MciPlaying = 0;
    gMciWindow = nullptr;
    if (!RegisterWindowClasses() || !CreateMainWindow()) {
        std::fprintf(stderr, "the game window cannot be created\n");
        SettingsFileRestore();
        return 0;
    }
    while (osShowCursor(false) >= 0) {
    }
    CALL(ReadInstallPaths);
    if (!optNoLogos) {
        char film[300];
        std::snprintf(film, sizeof film, "%s%s", gFilmFolder, "\\intro.mpg");
        CALL(PlayMpegFile, film);
    }
    if (!optPowers) osSetSystemKeys(false);
    MonkeyStart();
    if (!CALL(gameInit)) {
        // A start-up that cannot finish is a failure. The sound device is
        // already open: it closes before the process's memory goes.
        CALL(SoundShutdown);
        if (!optPowers) osSetSystemKeys(true);
        SettingsFileRestore();
        dunRunExitRoutines();
        return 1;
    }
    if (!optIntro) {
        osSetCursor(OS_CURSOR_CROSS);
        osShowCursor(true);
    }
    int code = 0;
    if (!gQuit) code = RunMainLoop();
    gameShutdown();
    if (!optPowers) osSetSystemKeys(true);
    if (optLogHistory) dunDebugPrint("Exiting Veltraxis\n");
    SettingsFileRestore();
    dunRunExitRoutines();
    osDestroyMainWindow();
    return code;
}
