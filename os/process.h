// Starting other programs, waiting for them, and handing a file or address
// to the desktop's own handler.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Splits a command line into its words the way the other system's C runtime
// does: blanks and tabs separate words, double quotes group blanks into a
// word and are dropped, 2n backslashes before a quote give n backslashes and
// 2n+1 give n backslashes and a literal quote; other backslashes stay.
std::vector<std::string> osSplitCommandLine(const char *commandLine);

// Starts argv[0] with the other words as its arguments, in `folder` (null or
// empty: the current folder), with this process's environment. A program
// named with a slash is taken relative to that folder; a bare name is looked
// for there first, then along PATH. Returns the process id, or -1 with the
// system's text for the error in `*error`. Nothing this process holds open
// is handed on: its descriptors close on exec.
int osStartProcess(const std::vector<std::string> &argv, const char *folder, std::string *error);

enum : int {
    OS_WAIT_TIMEOUT = -1,  // still running when the limit passed; it keeps running
    OS_WAIT_FAILED = -2,   // no such child, or it was ended by a signal
};
// Waits at most `limitMs` for a process that osStartProcess started; its exit
// status, or one of the OS_WAIT_ values.
int osWaitProcess(int pid, uint32_t limitMs);

// Opens a file or a web address with the desktop's handler for it, without
// waiting ("xdg-open"). False when the handler could not be started.
bool osShellOpen(const char *target);
