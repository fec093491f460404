// Debug log, error reports, verification failures and fatal errors.
#pragma once

#include <cstdint>

// One "debug.txt" line (or the debugger sink with "debug"; nothing in demo mode).
void dunDebugPrint(const char *text);
void dunDebugPrintf(const char *format, ...) __attribute__((format(printf, 1, 2)));
// Appends "Kelv 2.0 MM/DD/YY HH:MM:SS text" CR LF to "debug.txt"; a file that
// cannot be opened is skipped silently.
void dunLogToFile(const char *text);
void dunErrorBox(const char *text, const char *title);
// A failure the user must see, whatever the options: the debug line, a line
// on stderr and, with a display, a message box.
void dunReportFailure(const char *text, const char *title);
// Something the user should know of that does not stop the game (a file
// set aside, no sound device): the debug line and one line on stderr.
void dunUserNotice(const char *format, ...) __attribute__((format(printf, 1, 2)));
// Logs the text and ends the process with exit code 1 after the exit routines.
[[noreturn]] void dunFatalError(const char *text);
// Ends the process normally (exit code 0) after the exit routines.
[[noreturn]] void dunExitProgram();
[[noreturn]] void dunVerify(const char *expression, const char *sourceFile, unsigned line);
#define DUN_VERIFY(expr) ((expr) ? (void)0 : dunVerify(#expr, __FILE__, __LINE__))
// With "logfile": one "filelog.txt" line for a data file that opened.
void dunFileAccessLog(const char *path);

// Where the debugger output goes ("debug" option); stderr unless replaced.
using DebugSink = void (*)(const char *text);
void dunSetDebugSink(DebugSink sink);
void dunDebuggerOutput(const char *text);

// Every road out of the process (fatal, normal exit) ends in the fatal hook's
// place: by default the exit routines run and the process exits with the
// code. Tests install a hook that throws.
using FatalHook = void (*)(const char *text, int exitCode);
void dunSetFatalHook(FatalHook hook);
// Routines run once before the process ends on any road (the settings file
// restore, for one). At most 8.
void dunAtExit(void (*routine)());
void dunRunExitRoutines();
// Ends the process through the fatal hook with the given code.
[[noreturn]] void dunTerminate(const char *text, int exitCode);

// The clock used for log-line stamps; tests replace it.
using LogClock = int64_t (*)();  // seconds since the epoch
void dunSetLogClock(LogClock clock);
