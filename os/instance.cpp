#include "os/instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The locks this process holds, by name.
struct HeldLock {
    std::string name;
    int fd;
};
std::vector<HeldLock> gHeld;

}  // namespace

const char *osInstanceLockPath(const char *name) {
    static char path[512];
    const char *dir = std::getenv("XDG_RUNTIME_DIR");
    if (!dir || !*dir) dir = "/tmp";
    std::snprintf(path, sizeof path, "%s/%s", dir, name ? name : "");
    return path;
}

OsInstanceResult osAcquireInstanceLock(const char *name) {
    const char *path = osInstanceLockPath(name);
    int fd = ::open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        std::fprintf(stderr, "cannot create the instance lock %s: %s\n", path, std::strerror(errno));
        return OS_INSTANCE_FAILED;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK) return OS_INSTANCE_TAKEN;
        std::fprintf(stderr, "cannot lock %s: %s\n", path, std::strerror(err));
        return OS_INSTANCE_FAILED;
    }
    // The descriptor stays open: the lock lives as long as the process, or
    // until it is released.
    gHeld.push_back({name ? name : "", fd});
    return OS_INSTANCE_OWNED;
}

void osReleaseInstanceLock(const char *name) {
    for (size_t i = 0; i < gHeld.size(); ++i) {
        if (gHeld[i].name != (name ? name : "")) continue;
        ::close(gHeld[i].fd);
        gHeld.erase(gHeld.begin() + long(i));
        return;
    }
}

bool osInstanceLockHeld(const char *name) {
    int fd = ::open(osInstanceLockPath(name), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return held;
}
