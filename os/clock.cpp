#include "os/clock.h"

#include <time.h>

#include <cerrno>

// CLOCK_MONOTONIC in nanoseconds: needs no SDL start-up, so the clock runs
// before the window exists and in tests.
uint64_t osCounter() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint64_t(ts.tv_sec) * 1000000000ull + uint64_t(ts.tv_nsec);
}

uint64_t osCounterFrequency() { return 1000000000ull; }

void osSleep(uint32_t ms) {
    timespec ts{time_t(ms / 1000), long(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}
