#include "os/system.h"

#include <sys/sysinfo.h>
#include <unistd.h>

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
