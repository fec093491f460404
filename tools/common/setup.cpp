#include "tools/common/setup.h"

#include <strings.h>

#include <algorithm>
#include <vector>

#include "os/process.h"
#include "os/registry.h"

namespace {

// The disc names its programs the other system's way; the case of the name
// differs between callers ("Ruvo.exe", "ruvo.exe").
const struct {
    const char *disc;
    const char *host;
} kPrograms[] = {
    {"ruvo.exe", "ruvo"},
    {"lumaquill.exe", "lumaquill"},
};

std::string Slashes(std::string s) {
    std::replace(s.begin(), s.end(), '\\', '/');
    return s;
}

}  // namespace

std::string SetupProgramPath(const std::string &name) {
    std::string path = Slashes(name);
    size_t cut = path.rfind('/');
    size_t start = cut == std::string::npos ? 0 : cut + 1;
    for (const auto &p : kPrograms)
        if (strcasecmp(path.c_str() + start, p.disc) == 0) return path.substr(0, start) + p.host;
    return path;
}

bool SetupReadInstallPath(std::string *path) { return osRegistryRead(kAppPathsKey, "Path", path); }

bool SetupRunCommandLine(const std::string &commandLine, const char *folder, bool wait, uint32_t waitLimitMs,
                         std::string *error, int *pid) {
    std::vector<std::string> argv = osSplitCommandLine(commandLine.c_str());
    for (std::string &word : argv) word = Slashes(word);
    if (!argv.empty()) argv[0] = SetupProgramPath(argv[0]);
    int started = osStartProcess(argv, folder, error);
    if (pid) *pid = started;
    if (started < 0) return false;
    if (wait) osWaitProcess(started, waitLimitMs);
    return true;
}
