#include "RES/libload.h"

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "core/files.h"
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

// The size of the file the library would open for the name (the name
// itself, or a bare name along the library's search path); -1 when none.
long SizeAlongPath(const char *name) {
    auto size = [](const std::string &path) -> long {
        FILE *f = OpenGameFile(path.c_str(), "rb");
        if (!f) return -1;
        long n = std::fseek(f, 0, SEEK_END) == 0 ? std::ftell(f) : -1;
        std::fclose(f);
        return n;
    };
    long n = size(name);
    if (n >= 0 || std::strpbrk(name, "/\\:")) return n;
    char path[512];
    if (VtSystemConfigQueryString(VTT_VANTOR_PATH_STR, path, sizeof path) != VT_E_OK) return -1;
    for (char *dir = path; dir && *dir;) {
        char *sep = std::strchr(dir, ';');
        if (sep) *sep = '\0';
        if (*dir && (n = size(std::string(dir) + "\\" + name)) >= 0) return n;
        dir = sep ? sep + 1 : nullptr;
    }
    return -1;
}

}  // namespace

bool LibraryLoadBegin(const char *name) {
    if (gRefused.count(name ? name : "")) return false;
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
    if (why.empty() && !loaded) {
        const long size = SizeAlongPath(load.name.c_str());
        if (size == 0) why = "it is empty";
        else if (size > 0) why = "nothing in it can be loaded";
    }
    if (why.empty()) return loaded;
    RefuseGameFile(load.name.c_str(), why.c_str());
    gRefused.insert(load.name);
    return false;
}

void LibraryLoadForgetRefusals() { gRefused.clear(); }

bool LibraryLoadTakesFailure(const char *message) {
    if (gDepth <= 0) return false;
    Load &load = gLoads[gDepth <= kDepth ? gDepth - 1 : kDepth - 1];
    if (load.why.empty()) load.why = Reason(message);
    return true;
}
