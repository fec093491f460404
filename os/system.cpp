#include "os/system.h"

#include <sys/sysinfo.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "os/paths.h"

uint64_t osFreeMemoryBytes() {
    struct sysinfo si;
    if (::sysinfo(&si) != 0) return 0;
    return (uint64_t(si.freeram) + uint64_t(si.bufferram) + uint64_t(si.freeswap)) * si.mem_unit;
}

bool osChangeFolder(const char *gamePath) {
    if (!gamePath) return false;
    std::string host = osResolvePath(gamePath, false);
    bool ok = ::chdir(host.empty() ? "." : host.c_str()) == 0;
    if (ok) osFlushPathCache();
    return ok;
}

bool osPutEnv(const char *assignment) {
    const char *eq = assignment ? std::strchr(assignment, '=') : nullptr;
    if (!eq || eq == assignment) return false;
    std::string name(assignment, size_t(eq - assignment));
    return ::setenv(name.c_str(), eq + 1, 1) == 0;
}
