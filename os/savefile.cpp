#include "os/savefile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr char kTemporaryMark[] = ".tmp";

// The writer's process id when the name is one of its temporaries: a file
// name, the mark, and digits only; 0 otherwise.
long WriterOf(const char *name) {
    const char *mark = std::strstr(name, kTemporaryMark);
    for (const char *next = mark; next; next = std::strstr(next + 1, kTemporaryMark)) mark = next;
    if (!mark || mark == name) return 0;
    const char *digits = mark + sizeof kTemporaryMark - 1;
    if (!*digits || std::strlen(digits) > 9) return 0;
    for (const char *d = digits; *d; ++d)
        if (*d < '0' || *d > '9') return 0;
    return std::strtol(digits, nullptr, 10);
}

bool Running(long pid) { return pid == long(::getpid()) || ::kill(pid_t(pid), 0) == 0 || errno == EPERM; }

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
    std::string temp = hostPath + kTemporaryMark + std::to_string(::getpid());
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

std::vector<std::string> osRemoveWriteLeftovers(const std::string &hostFolder) {
    std::vector<std::string> removed;
    DIR *dir = ::opendir(hostFolder.empty() ? "." : hostFolder.c_str());
    if (!dir) return removed;
    while (dirent *e = ::readdir(dir)) {
        const long pid = WriterOf(e->d_name);
        if (pid <= 0 || Running(pid)) continue;
        const std::string path = (hostFolder.empty() ? std::string() : hostFolder + "/") + e->d_name;
        if (::unlink(path.c_str()) == 0) removed.emplace_back(e->d_name);
    }
    ::closedir(dir);
    return removed;
}
