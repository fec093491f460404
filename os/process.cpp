#include "os/process.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

extern char **environ;

std::vector<std::string> osSplitCommandLine(const char *commandLine) {
    std::vector<std::string> words;
    if (!commandLine) return words;
    const char *p = commandLine;
    for (;;) {
        while (*p == ' ' || *p == '\t') ++p;
        if (!*p) break;
        std::string word;
        bool quoted = false;
        while (*p && (quoted || (*p != ' ' && *p != '\t'))) {
            if (*p == '\\') {
                size_t slashes = 0;
                while (*p == '\\') ++slashes, ++p;
                if (*p == '"') {
                    word.append(slashes / 2, '\\');
                    if (slashes % 2) {
                        word += '"';
                        ++p;
                    }
                } else {
                    word.append(slashes, '\\');
                }
                continue;
            }
            if (*p == '"') {
                // Inside quotes, a doubled quote is a literal one.
                if (quoted && p[1] == '"') {
                    word += '"';
                    p += 2;
                    continue;
                }
                quoted = !quoted;
                ++p;
                continue;
            }
            word += *p++;
        }
        words.push_back(std::move(word));
    }
    return words;
}

namespace {

bool IsFile(const std::string &path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

int osStartProcess(const std::vector<std::string> &argv, const char *folder, std::string *error) {
    auto fail = [&](int err) {
        if (error) *error = std::strerror(err);
        return -1;
    };
    if (argv.empty() || argv[0].empty()) return fail(ENOENT);
    bool inFolder = folder && *folder;
    std::string program = argv[0];
    bool searchPath = false;
    if (program.find('/') == std::string::npos) {
        // The folder the program starts in comes before the search path.
        std::string local = (inFolder ? std::string(folder) + "/" : std::string()) + program;
        if (IsFile(local)) program = "./" + program;
        else searchPath = true;
    }
    std::vector<char *> args;
    args.push_back(program.data());
    for (size_t i = 1; i < argv.size(); ++i) args.push_back(const_cast<char *>(argv[i].c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Locks and files of this process stay here, whatever their flags.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    if (inFolder) posix_spawn_file_actions_addchdir_np(&actions, folder);
    pid_t pid = -1;
    int rc = searchPath ? posix_spawnp(&pid, program.c_str(), &actions, nullptr, args.data(), environ)
                        : posix_spawn(&pid, program.c_str(), &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return fail(rc);
    return int(pid);
}

int osWaitProcess(int pid, uint32_t limitMs) {
    if (pid <= 0) return OS_WAIT_FAILED;
    timespec start;
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (;;) {
        int status = 0;
        pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : OS_WAIT_FAILED;
        if (r < 0 && errno != EINTR) return OS_WAIT_FAILED;
        timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        int64_t spent = int64_t(now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000;
        if (spent >= int64_t(limitMs)) return OS_WAIT_TIMEOUT;
        ::usleep(5000);
    }
}

bool osShellOpen(const char *target) {
    if (!target || !*target) return false;
    // The handler runs on its own; the caller does not wait for it.
    return osStartProcess({"xdg-open", target}, nullptr, nullptr) > 0;
}
