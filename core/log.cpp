#include "core/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "core/options.h"
#include "os/os.h"

static FatalHook gFatalHook = nullptr;
static DebugSink gDebugSink = nullptr;
static LogClock gLogClock = nullptr;
static void (*gExitRoutines[8])();
static int gExitRoutineCount = 0;

void dunSetFatalHook(FatalHook hook) { gFatalHook = hook; }
void dunSetDebugSink(DebugSink sink) { gDebugSink = sink; }
void dunSetLogClock(LogClock clock) { gLogClock = clock; }

void dunAtExit(void (*routine)()) {
    for (int i = 0; i < gExitRoutineCount; ++i)
        if (gExitRoutines[i] == routine) return;
    if (gExitRoutineCount < 8) gExitRoutines[gExitRoutineCount++] = routine;
}

void dunRunExitRoutines() {
    // Taken off the list before they run, so that a routine that itself fails
    // fatally does not run twice.
    while (gExitRoutineCount > 0) {
        void (*r)() = gExitRoutines[--gExitRoutineCount];
        r();
    }
}

void dunTerminate(const char *text, int exitCode) {
    // The exit routines run first, so that a replaced hook (tests) still
    // sees every road out put things back.
    dunRunExitRoutines();
    if (gFatalHook) gFatalHook(text, exitCode);
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

void dunDebuggerOutput(const char *text) {
    if (gDebugSink) {
        gDebugSink(text);
        return;
    }
    std::fputs(text, stderr);
}

void dunLogToFile(const char *text) {
    FILE *f = std::fopen("debug.txt", "ab");
    if (!f) return;
    std::time_t now = gLogClock ? (std::time_t)gLogClock() : std::time(nullptr);
    std::tm tmv{};
    localtime_r(&now, &tmv);
    char date[16], clock[16];
    std::strftime(date, sizeof date, "%m/%d/%y", &tmv);
    std::strftime(clock, sizeof clock, "%H:%M:%S", &tmv);
    std::fprintf(f, "Kelv %s %s %s %s\r\n", "2.0", date, clock, text ? text : "");
    std::fclose(f);
}

void dunDebugPrint(const char *text) {
    if (optDemo) return;
    if (optDebug) {
        dunDebuggerOutput(text);
        return;
    }
    dunLogToFile(text);
}

void dunDebugPrintf(const char *format, ...) {
    char buf[1024];
    va_list ap;
    va_start(ap, format);
    std::vsnprintf(buf, sizeof buf, format, ap);
    va_end(ap);
    dunDebugPrint(buf);
}

void dunErrorBox(const char *text, const char *title) {
    if (optDemo) return;
    if (optDebug) {
        if (!FullScreenMode && !CardMode) osMessageBox(title, text);
        else dunDebuggerOutput(text);
        return;
    }
    dunLogToFile(text);
}

void dunReportFailure(const char *text, const char *title) {
    if (!optDemo) dunLogToFile(text);
    osErrorBox(title && *title ? title : "Veltraxis", text ? text : "");
}

void dunUserNotice(const char *format, ...) {
    char buf[1024];
    va_list ap;
    va_start(ap, format);
    std::vsnprintf(buf, sizeof buf, format, ap);
    va_end(ap);
    dunLogToFile(buf);
    std::fprintf(stderr, "ruvo: %s\n", buf);
    std::fflush(stderr);
}

void dunFatalError(const char *text) {
    // With "debug" the original broke into the debugger and returned; no
    // caller goes on usefully, so the text goes to the debugger sink and the
    // process ends all the same. A fatal error is a failure (exit code 1)
    // that the user sees, not only "debug.txt".
    if (optDebug) dunDebuggerOutput(text);
    // Logged in every mode, the built-in demo's too.
    dunLogToFile(text);
    osErrorBox("Veltraxis - fatal error", text ? text : "");
    dunTerminate(text, 1);
}

void dunExitProgram() { dunTerminate("", 0); }

void dunVerify(const char *expression, const char *sourceFile, unsigned line) {
    char buf[1024];
    std::snprintf(buf, sizeof buf, "\n%s(%u) : Verification Failure: ->%s\n", sourceFile ? sourceFile : "", line,
                  expression ? expression : "");
    dunDebugPrint(buf);
    dunFatalError("V");
}

void dunFileAccessLog(const char *path) {
    if (!optLogfile || !path) return;
    // The folder part runs up to and including the last backslash after the
    // first character; a bare name has none.
    const char *last = path[0] ? std::strrchr(path + 1, '\\') : nullptr;
    size_t folderLen = last ? (size_t)(last - path + 1) : 0;
    FILE *f = std::fopen("filelog.txt", "ab");
    if (!f) return;
    // Bounded by the path itself, never by a fixed line buffer.
    std::fprintf(f, "xcopy /d %s e:\\Directory\\%.*s\r\n", path, (int)folderLen, path);
    std::fclose(f);
}
