#include "RES/libload.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "core/files.h"
#include "os/paths.h"
#include "render/config/config.h"
#include "render/tokens/token.h"

namespace {

struct Load {
    std::string name;
    std::string why;  // the first failure reported during it
};
// Deep enough for a material's map; deeper nesting is the library's own.
constexpr int kDepth = 8;
Load gLoads[kDepth];
int gDepth;
std::set<std::string> gRefused;

// The library's message as a reason: without its "Failure: " or "Warning: "
// and on one line.
std::string Reason(const char *message) {
    std::string why = message ? message : "";
    for (const char *prefix : {"Failure: ", "Warning: "})
        if (why.rfind(prefix, 0) == 0) why.erase(0, std::strlen(prefix));
    for (char &c : why)
        if (c == '\n' || c == '\r') c = ' ';
    while (!why.empty() && why.back() == ' ') why.pop_back();
    // A file whose first bytes are of no library format fails to open.
    if (why.find("invalid open_mode") != std::string::npos) why = "it is not one of the library's data files";
    return why.empty() ? "the library could not read it" : why;
}

// The file the library would open for the name (the name itself, or a bare
// name along the library's search path): where it is on this machine, its
// size and when it was last written. No path when there is none.
struct Found {
    std::string path;
    long long size = -1;
    long long written = 0;
};

Found FindAlongPath(const char *name) {
    auto at = [](const std::string &gamePath, Found *out) {
        std::error_code ec;
        const std::filesystem::path host = std::filesystem::absolute(osResolvePath(gamePath.c_str(), false), ec);
        if (ec || !std::filesystem::is_regular_file(host, ec)) return false;
        out->path = host.string();
        out->size = (long long)std::filesystem::file_size(host, ec);
        out->written = (long long)std::filesystem::last_write_time(host, ec).time_since_epoch().count();
        return true;
    };
    Found found;
    if (at(name, &found) || std::strpbrk(name, "/\\:")) return found;
    char path[512];
    if (VtSystemConfigQueryString(VTT_VANTOR_PATH_STR, path, sizeof path) != VT_E_OK) return found;
    for (char *dir = path; dir && *dir;) {
        char *sep = std::strchr(dir, ';');
        if (sep) *sep = '\0';
        if (*dir && at(std::string(dir) + "\\" + name, &found)) return found;
        dir = sep ? sep + 1 : nullptr;
    }
    return found;
}

// A refused file is known by where it is and what it is: the same bytes
// again are not read again, a file written since is.
std::string RefusalKey(const Found &f) {
    return f.path + "|" + std::to_string(f.size) + "|" + std::to_string(f.written);
}

}  // namespace

bool LibraryLoadBegin(const char *name) {
    if (!gRefused.empty()) {
        const Found found = FindAlongPath(name ? name : "");
        if (!found.path.empty() && gRefused.count(RefusalKey(found))) return false;
    }
    if (gDepth < kDepth) gLoads[gDepth] = {name ? name : "", ""};
    ++gDepth;
    return true;
}

bool LibraryLoadEnd(bool loaded) {
    if (gDepth <= 0) return loaded;
    --gDepth;
    if (gDepth >= kDepth) return loaded;
    Load &load = gLoads[gDepth];
    std::string why = std::move(load.why);
    const Found found = FindAlongPath(load.name.c_str());
    if (why.empty() && !loaded) {
        if (found.size == 0) why = "it is empty";
        else if (found.size > 0) why = "nothing in it can be loaded";
    }
    if (why.empty()) return loaded;
    RefuseGameFile(load.name.c_str(), why.c_str());
    if (!found.path.empty()) gRefused.insert(RefusalKey(found));
    return false;
}

void LibraryLoadForgetRefusals() { gRefused.clear(); }

bool LibraryLoadTakesFailure(const char *message) {
    if (gDepth <= 0) return false;
    Load &load = gLoads[gDepth <= kDepth ? gDepth - 1 : kDepth - 1];
    if (load.why.empty()) load.why = Reason(message);
    return true;
}
