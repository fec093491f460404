// Formatted text: printf-style formatting into buffers and to the log, and
// scanf-style scanning.
#pragma once

#include <cstdarg>

#include "render/fw/types.h"

// Unbounded, as sprintf: the caller guarantees room.
int VtSprintf(char *buf, const char *fmt, ...) VT_PRINTF(2, 3);
int VtVSprintf(char *buf, const char *fmt, va_list args);
// At most size - 1 characters and a terminator; returns the length written.
int VtSprintfN(char *buf, vt_size size, const char *fmt, ...) VT_PRINTF(3, 4);
int VtVSprintfN(char *buf, vt_size size, const char *fmt, va_list args);
// Formats into the scratch text area (cut to its size) and writes it to the
// standard output stream; returns the length written.
int VtLogPrintf(const char *fmt, ...) VT_PRINTF(1, 2);
int VtSScanf(const char *str, const char *fmt, ...);
int VtVSScanf(const char *str, const char *fmt, va_list args);
