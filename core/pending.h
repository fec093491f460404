// Interim bodies of operations whose modules are not built yet say so once
// in the log, so that a run shows what it went without.
#pragma once

#include "core/log.h"

#define PENDING_ONCE(name)                         \
    do {                                           \
        static bool said = false;                  \
        if (!said) {                               \
            said = true;                           \
            dunDebugPrint("not built yet: " name); \
        }                                          \
    } while (0)
