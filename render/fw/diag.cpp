// Failure, warning, fatal and assertion reporters.
#include <cstdio>
#include <cstdlib>

#include "render/fmt/fmt.h"
#include "render/fw/fwstate.h"

namespace {

// Messages are cut to this many characters.
constexpr size_t kMessageSize = 1024;

[[noreturn]] void noOperation() {
    fflush(stdout);
    fflush(stderr);
    _Exit(3);
}

void deliverFailure(const char *message) {
    vt_diaghandler *h = VtDiagHandler();
    if (h->failure == nullptr)
        noOperation();
    h->failure(message);
}

void deliverWarning(const char *message) {
    vt_diaghandler *h = VtDiagHandler();
    if (h->warning == nullptr)
        noOperation();
    h->warning(message);
}

// prefix then the formatted text, bounded.
void compose(char *buf, const char *prefix, const char *format, va_list args) {
    int n = VtSprintfN(buf, kMessageSize, "%s", prefix);
    VtVSprintfN(buf + n, kMessageSize - size_t(n), format, args);
}

} // namespace

void VtFailure(const char *format, ...) {
    char buf[kMessageSize];
    va_list args;
    va_start(args, format);
    compose(buf, "Failure: ", format, args);
    va_end(args);
    deliverFailure(buf);
}

void VtWarning(const char *format, ...) {
    char buf[kMessageSize];
    va_list args;
    va_start(args, format);
    compose(buf, "Warning: ", format, args);
    va_end(args);
    deliverWarning(buf);
}

void VtFatal(const char *name, int line, const char *format, ...) {
    char buf[kMessageSize];
    int n = VtSprintfN(buf, kMessageSize, "FATAL %s:%d\n", name, line);
    va_list args;
    va_start(args, format);
    VtVSprintfN(buf + n, kMessageSize - size_t(n), format, args);
    va_end(args);
    deliverFailure(buf);
}

void _BrAssert(const char *condition, const char *file, unsigned line) {
    char buf[kMessageSize];
    VtSprintfN(buf, kMessageSize, "ASSERTION FAILED %s:%d: \"%s\"\n", file, int(line), condition);
    deliverFailure(buf);
}

void _BrUAssert(const char *condition, const char *file, unsigned line) { _BrAssert(condition, file, line); }
