// Helper for the interim bodies of operations whose modules are not built
// yet: each says so once in the log.
#pragma once

#include "app/log.h"

#define PENDING_ONCE(name)                         \
    do {                                           \
        static bool said_ = false;                 \
        if (!said_) {                              \
            said_ = true;                          \
            dunDebugPrint("not built yet: " name); \
        }                                          \
    } while (0)
