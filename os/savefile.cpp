#include "os/savefile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace {

bool WriteAll(int fd, const void *data, size_t size) {
    const char *p = static_cast<const char *>(data);
    while (size) {
        ssize_t n = ::write(fd, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        size -= size_t(n);
    }
    return true;
}

// The folder's entry for the renamed file reaches the disk too.
void SyncFolder(const std::string &path) {
    std::string::size_type slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

bool osWriteFileWhole(const std::string &hostPath, const void *data, size_t size) {
    if (hostPath.empty()) return false;
    // One temporary name per process, so that two writers never share one.
    std::string temp = hostPath + ".tmp" + std::to_string(::getpid());
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, data, size) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok || std::rename(temp.c_str(), hostPath.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    SyncFolder(hostPath);
    return true;
}
