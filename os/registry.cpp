#include "os/registry.h"

#include <strings.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Line {
    std::string path;  // key\value, without the data
    std::string data;
};

std::vector<Line> gLines;
bool gLoaded = false;
std::string gRootAtLoad;

void Load() {
    std::string root = osDataRoot();
    if (gLoaded && root == gRootAtLoad) return;
    gLines.clear();
    gLoaded = true;
    gRootAtLoad = root;
    FILE *f = std::fopen("ruvo.reg", "rb");
    if (!f) return;
    char buf[1024];
    while (std::fgets(buf, sizeof buf, f)) {
        size_t n = std::strlen(buf);
        while (n && (buf[n - 1] == '\n' || buf[n - 1] == '\r')) buf[--n] = 0;
        if (!n || buf[0] == ';' || buf[0] == '#') continue;
        char *eq = std::strchr(buf, '=');
        if (!eq) continue;
        *eq = 0;
        gLines.push_back({buf, eq + 1});
    }
    std::fclose(f);
}

}  // namespace

void osRegistryFlush() { gLoaded = false; }

bool osRegistryRead(const char *key, const char *valueName, char *out, size_t outSize) {
    if (!key || !out || !outSize) return false;
    Load();
    std::string want = std::string(key) + "\\" + (valueName && *valueName ? valueName : "@");
    for (const Line &l : gLines) {
        if (strcasecmp(l.path.c_str(), want.c_str()) != 0) continue;
        std::snprintf(out, outSize, "%s", l.data.c_str());
        return true;
    }
    return false;
}

const char *osDataRoot() {
    static char cwd[4096];
    if (!::getcwd(cwd, sizeof cwd)) std::snprintf(cwd, sizeof cwd, ".");
    return cwd;
}

const char *osWindowsFolder() {
    static std::string folder;
    const char *env = std::getenv("RUVO_WINDIR");
    folder = env && *env ? env : osDataRoot();
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder.c_str();
}

const char *osDriveFolder(char letter) {
    static std::string folder;
    char name[2] = {(char)std::toupper((unsigned char)letter), 0};
    char buf[1024];
    if (osRegistryRead("DRIVES", name, buf, sizeof buf) && buf[0]) folder = buf;
    else folder = osDataRoot();
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder.c_str();
}

int osDriveType(char letter) {
    int up = std::toupper((unsigned char)letter);
    if (up < 'A' || up > 'Z') return 1;
    char cds[64];
    if (!osRegistryRead("DRIVES", "CDROM", cds, sizeof cds)) std::snprintf(cds, sizeof cds, "D");
    for (const char *p = cds; *p; ++p)
        if (std::toupper((unsigned char)*p) == up) return 5;
    char name[2] = {(char)up, 0}, buf[8];
    if (up == 'C' || osRegistryRead("DRIVES", name, buf, sizeof buf)) return 3;
    return 1;
}
