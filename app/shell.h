// The application shell: entry, single instance, the rendering library's
// settings file, the window and its procedures, the main loop.
#pragma once

#include <cstdint>

struct OsMessage;

extern void *gMainWindow;
extern int32_t gActive;           // non-zero while the application is active
extern uint8_t gQuit;             // ends the main loop (once no film window plays)
extern int32_t gVideoLeadIn;      // cs: while above 0 no frame runs
extern char gMissionScriptName[260];
extern uint8_t gSettingsFileMoved;
extern char gWindowTitle[64];

// The program: returns the exit code.
int ShellMain(int argc, char **argv);

// Splits the command line at commas and blanks, dispatches the leading dash
// words and keeps the first other word as the mission script name.
void ShellReadCommandLine(const char *commandLine);

// "vantor.ini" in the Windows folder becomes "vantor.old" for the run.
void SettingsFileSetAside();
// Puts the file back (every road out of the process runs it once).
void SettingsFileRestore();

bool RegisterWindowClasses();
bool CreateMainWindow();
void MainWndProc(const OsMessage &msg);
void GameWndProc(const OsMessage &msg);
// One message turn for long operations (loading, films).
void PumpMessages();
// One idle turn of the main loop.
void ShellIdleTurn();
// Runs the main loop; returns the quit code.
int RunMainLoop();
void SetMainWindowTitle(const char *text);
