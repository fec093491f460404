// The default diagnostics handler "Stdio DiagHandler".
#include <cstdio>
#include <cstdlib>

#include "render/std/stdlib.h"

static void stdioWarning(const char *message) {
    fflush(stdout);
    fputs(message, stderr);
    fputc('\n', stderr);
    fflush(stderr);
}

static void stdioFailure(const char *message) {
    VtEnd();
    fflush(stdout);
    fputs(message, stderr);
    fputc('\n', stderr);
    fflush(stderr);
    exit(10);
}

vt_diaghandler VtStdioDiagHandler = {"Stdio DiagHandler", stdioWarning, stdioFailure};
