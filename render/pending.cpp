// Interim bodies of the library's operations whose modules are not built
// yet. Each says so once on the standard error stream.
#include <cstdio>

#define PENDING_ONCE(name)                                         \
    do {                                                           \
        static bool said = false;                                  \
        if (!said) {                                               \
            said = true;                                           \
            fprintf(stderr, "not built yet: %s\n", name);          \
        }                                                          \
    } while (0)
