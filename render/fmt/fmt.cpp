#include "render/fmt/fmt.h"

#include <cstdio>

#include "render/fw/fw.h"

int VtVSprintf(char *buf, const char *fmt, va_list args) { return vsprintf(buf, fmt, args); }

int VtSprintf(char *buf, const char *fmt, ...) {
    va_list args;
    va_start(args, fmt);
    int n = vsprintf(buf, fmt, args);
    va_end(args);
    return n;
}

int VtVSprintfN(char *buf, vt_size size, const char *fmt, va_list args) {
    if (size == 0)
        return 0;
    int n = vsnprintf(buf, size, fmt, args);
    if (n < 0) {
        buf[0] = '\0';
        return 0;
    }
    return vt_size(n) >= size ? int(size - 1) : n;
}

int VtSprintfN(char *buf, vt_size size, const char *fmt, ...) {
    va_list args;
    va_start(args, fmt);
    int n = VtVSprintfN(buf, size, fmt, args);
    va_end(args);
    return n;
}

int VtLogPrintf(const char *fmt, ...) {
    char *text = VtScratchString();
    va_list args;
    va_start(args, fmt);
    int n = VtVSprintfN(text, VtScratchStringSize(), fmt, args);
    va_end(args);
    fwrite(text, 1, size_t(n), stdout);
    return n;
}

int VtVSScanf(const char *str, const char *fmt, va_list args) { return vsscanf(str, fmt, args); }

int VtSScanf(const char *str, const char *fmt, ...) {
    va_list args;
    va_start(args, fmt);
    int n = vsscanf(str, fmt, args);
    va_end(args);
    return n;
}
