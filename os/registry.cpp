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

namespace {

std::string ValuePath(const char *key, const char *valueName) {
    return std::string(key) + "\\" + (valueName && *valueName ? valueName : "@");
}

const Line *Find(const char *key, const char *valueName) {
    if (!key) return nullptr;
    Load();
    std::string want = ValuePath(key, valueName);
    for (const Line &l : gLines)
        if (strcasecmp(l.path.c_str(), want.c_str()) == 0) return &l;
    return nullptr;
}

bool HasBreak(const char *text) { return text && std::strpbrk(text, "\r\n"); }
// Key paths and value names end at the first '=' of a line.
bool BadName(const char *text) { return HasBreak(text) || (text && std::strchr(text, '=')); }

}  // namespace

bool osRegistryRead(const char *key, const char *valueName, char *out, size_t outSize) {
    if (!out || !outSize) return false;
    const Line *l = Find(key, valueName);
    if (!l) return false;
    std::snprintf(out, outSize, "%s", l->data.c_str());
    return true;
}

bool osRegistryRead(const char *key, const char *valueName, std::string *out) {
    const Line *l = Find(key, valueName);
    if (!l || !out) return false;
    *out = l->data;
    return true;
}

bool osRegistryKeyExists(const char *key) {
    if (!key || !*key) return false;
    Load();
    std::string prefix = std::string(key) + "\\";
    for (const Line &l : gLines)
        if (strncasecmp(l.path.c_str(), prefix.c_str(), prefix.size()) == 0) return true;
    return false;
}

bool osRegistryWrite(const char *key, const char *valueName, const char *data) {
    if (!key || !*key || !data || BadName(key) || BadName(valueName) || HasBreak(data)) return false;
    std::string path = ValuePath(key, valueName);
    std::string line = path + "=" + data;
    // The file is rewritten whole, line by line, with the one value changed
    // or added at the end.
    std::vector<std::string> lines;
    bool replaced = false;
    if (FILE *f = std::fopen("ruvo.reg", "rb")) {
        std::string cur;
        int c;
        while ((c = std::fgetc(f)) != EOF) {
            if (c != '\n') {
                cur += char(c);
                continue;
            }
            lines.push_back(cur);
            cur.clear();
        }
        if (!cur.empty()) lines.push_back(cur);
        std::fclose(f);
    }
    for (std::string &l : lines) {
        std::string body = l;
        if (!body.empty() && body.back() == '\r') body.pop_back();
        size_t eq = body.find('=');
        if (replaced || body.empty() || body[0] == ';' || body[0] == '#' || eq == std::string::npos) continue;
        if (strcasecmp(body.substr(0, eq).c_str(), path.c_str()) != 0) continue;
        // The value keeps the name it was stored under.
        l = body.substr(0, eq + 1) + data;
        replaced = true;
    }
    if (!replaced) lines.push_back(line);
    FILE *f = std::fopen("ruvo.reg.new", "wb");
    if (!f) return false;
    bool ok = true;
    for (const std::string &l : lines) ok = std::fprintf(f, "%s\n", l.c_str()) >= 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (!ok || std::rename("ruvo.reg.new", "ruvo.reg") != 0) {
        std::remove("ruvo.reg.new");
        return false;
    }
    gLoaded = false;
    return true;
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
