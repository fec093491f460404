// What the setup tools share: the names they agree on with the game and the
// installer engine, the table from the disc's program names to the programs
// of this machine, and starting a command line.
#pragma once

#include <cstdint>
#include <string>

// The single-instance name of the game, the launcher and the running check.
inline constexpr char kInstanceName[] = "KelvMutex";
// Written by the installer engine; its value "Path" is the installation
// folder, and its presence means the game is installed.
inline constexpr char kAppPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Ruvo.exe";
// The installation's log in its folder: the files it copied, for the
// uninstaller.
inline constexpr char kInstallLogName[] = "DeIsL1.isu";
// How long a started program that is waited for may take: 30 minutes.
inline constexpr uint32_t kRunWaitLimitMs = 1800000;

// The program of this machine that a program name of the disc stands for:
// "ruvo.exe" and "lumaquill.exe", in any letter case, are our "ruvo" and
// "lumaquill"; other names stay as they are. A folder before the name is
// kept; backslashes become slashes.
std::string SetupProgramPath(const std::string &name);

// Reads the installation folder from the registry; false when absent.
bool SetupReadInstallPath(std::string *path);

// Starts a command line of the other system (program first, backslashed
// paths) in `folder` (null: the current folder): the program through the
// name table, backslashes turned into slashes in every word. With `wait`,
// waits up to `waitLimitMs` for it to end. False, with the system's text for
// the error, when it cannot be started. `pid` (may be null) gets the started
// process.
bool SetupRunCommandLine(const std::string &commandLine, const char *folder, bool wait, uint32_t waitLimitMs,
                         std::string *error, int *pid = nullptr);
