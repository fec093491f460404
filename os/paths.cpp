#include "os/paths.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>

#include <string>
#include <unordered_map>
#include <vector>

#include "os/registry.h"

namespace {

// Folder listings by host folder path; kept until flushed, since the data tree
// does not change under a running game except through its own writes.
// The caches are built on first use: paths may be resolved from static
// initialisers (libraries begun by them).
std::unordered_map<std::string, std::vector<std::string>> &Listings() {
    static std::unordered_map<std::string, std::vector<std::string>> listings;
    return listings;
}

const std::vector<std::string> &Listing(const std::string &folder) {
    auto it = Listings().find(folder);
    if (it != Listings().end()) return it->second;
    std::vector<std::string> names;
    if (DIR *d = opendir(folder.empty() ? "." : folder.c_str())) {
        while (dirent *e = readdir(d)) names.emplace_back(e->d_name);
        closedir(d);
    }
    return Listings().emplace(folder, std::move(names)).first->second;
}

bool Exists(const std::string &path) {
    struct stat st;
    return ::stat(path.empty() ? "." : path.c_str(), &st) == 0;
}

// Whole game paths already resolved to files that were there, for reads.
std::unordered_map<std::string, std::string> &Resolved() {
    static std::unordered_map<std::string, std::string> resolved;
    return resolved;
}
// The working folder the caches belong to: relative paths mean something
// else once it changes.
std::string &CacheRoot() {
    static std::string root;
    return root;
}

void CheckRoot() {
    char cwd[4096];
    if (!::getcwd(cwd, sizeof cwd)) cwd[0] = 0;
    if (CacheRoot() != cwd) {
        Listings().clear();
        Resolved().clear();
        CacheRoot() = cwd;
    }
}

}  // namespace

void osFlushPathCache() {
    Listings().clear();
    Resolved().clear();
}

std::string osResolvePath(const char *gamePath, bool forWrite) {
    if (!gamePath) return std::string();
    CheckRoot();
    std::string in(gamePath);
    for (char &c : in)
        if (c == '\\') c = '/';
    if (!forWrite) {
        auto hit = Resolved().find(in);
        if (hit != Resolved().end()) return hit->second;
    }
    bool found = true;
    std::string out;
    size_t pos = 0;
    // "D:\x" names a drive: its folder stands in for the drive's root.
    if (in.size() >= 2 && std::isalpha((unsigned char)in[0]) && in[1] == ':') {
        out = osDriveFolder(in[0]);
        pos = 2;
        while (pos < in.size() && in[pos] == '/') ++pos;
        if (pos >= in.size()) return out;
    } else if (!in.empty() && in[0] == '/') {
        out = "/";
        pos = 1;
    }
    while (pos <= in.size()) {
        size_t next = in.find('/', pos);
        if (next == std::string::npos) next = in.size();
        std::string comp = in.substr(pos, next - pos);
        bool last = next >= in.size();
        pos = next + 1;
        if (comp.empty()) {
            if (last) break;
            continue;
        }
        std::string candidate = out.empty() || out.back() == '/' ? out + comp : out + "/" + comp;
        if (comp != "." && comp != ".." && !Exists(candidate)) {
            const std::string folder = out.empty() ? std::string() : (out == "/" ? out : out);
            bool matched = false;
            for (const std::string &name : Listing(folder)) {
                if (!strcasecmp(name.c_str(), comp.c_str())) {
                    candidate = out.empty() || out.back() == '/' ? out + name : out + "/" + name;
                    matched = true;
                    break;
                }
            }
            found = found && matched;
            // A new file keeps the case it was given; the listing of its
            // folder is stale from now on.
            if (forWrite && last) Listings().erase(folder);
        }
        out = candidate;
        if (last) break;
    }
    if (!forWrite && found) Resolved().emplace(in, out);
    return out;
}

bool osHostPathExists(const char *hostPath) {
    struct stat st;
    return hostPath && ::stat(hostPath, &st) == 0;
}

bool osGameFolderExists(const char *gamePath) {
    std::string host = osResolvePath(gamePath, false);
    struct stat st;
    return ::stat(host.empty() ? "." : host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
