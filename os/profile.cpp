#include "os/profile.h"

#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "os/paths.h"
#include "os/registry.h"

namespace {

const char kKeyFile[] = "ruvo.reg";

std::string iniPath(const char *file) {
    const char *windir = std::getenv("RUVO_WINDIR");
    // The data root is the working folder: a relative name stays relative.
    std::string path = windir && *windir ? std::string(osWindowsFolder()) + "/" + file : std::string(file);
    return osResolvePath(path.c_str(), false);
}

std::vector<std::string> readLines(const std::string &path, bool *opened) {
    std::vector<std::string> lines;
    FILE *f = std::fopen(path.c_str(), "rb");
    *opened = f != nullptr;
    if (!f)
        return lines;
    std::string line;
    int c;
    while ((c = std::fgetc(f)) != EOF) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += char(c);
        }
    }
    if (!line.empty())
        lines.push_back(line);
    std::fclose(f);
    return lines;
}

bool writeLines(const std::string &path, const std::vector<std::string> &lines) {
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    for (const std::string &l : lines)
        std::fprintf(f, "%s\n", l.c_str());
    bool ok = std::fclose(f) == 0;
    osFlushPathCache();
    return ok;
}

std::string trim(const std::string &s) {
    size_t a = s.find_first_not_of(" \t"), b = s.find_last_not_of(" \t");
    return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

// "[name]" lines: the section's name, or empty for other lines.
std::string sectionName(const std::string &line) {
    std::string t = trim(line);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']')
        return std::string();
    return trim(t.substr(1, t.size() - 2));
}

} // namespace

size_t osIniSectionRead(const char *file, const char *section, char *buf, size_t size) {
    if (buf == nullptr || size < 2)
        return 0;
    buf[0] = buf[1] = '\0';
    bool opened;
    std::vector<std::string> lines = readLines(iniPath(file), &opened);
    bool inside = false;
    size_t n = 0;
    for (const std::string &raw : lines) {
        std::string name = sectionName(raw);
        if (!name.empty()) {
            inside = strcasecmp(name.c_str(), section) == 0;
            continue;
        }
        std::string line = trim(raw);
        if (!inside || line.empty() || line[0] == ';')
            continue;
        if (n + line.size() + 2 > size) {
            // As much as fits, cut, and the two final zeros. The lines before
            // may already reach the last byte, leaving no room at all.
            size_t room = n < size - 2 ? size - 2 - n : 0;
            memcpy(buf + n, line.data(), room);
            buf[size - 2] = buf[size - 1] = '\0';
            return size - 2;
        }
        memcpy(buf + n, line.c_str(), line.size() + 1);
        n += line.size() + 1;
    }
    buf[n] = '\0';
    if (n + 1 < size)
        buf[n + 1] = '\0';
    return n;
}

bool osIniSectionWrite(const char *file, const char *section, const char *lines) {
    std::string path = iniPath(file);
    bool opened;
    std::vector<std::string> old = readLines(path, &opened);
    std::vector<std::string> out;
    bool inside = false, written = false;
    auto emit = [&] {
        out.push_back(std::string("[") + section + "]");
        for (const char *p = lines; *p; p += strlen(p) + 1)
            out.push_back(p);
        written = true;
    };
    for (const std::string &raw : old) {
        std::string name = sectionName(raw);
        if (!name.empty()) {
            inside = strcasecmp(name.c_str(), section) == 0;
            if (inside && !written)
                emit();
            if (inside)
                continue;
        }
        if (!inside)
            out.push_back(raw);
    }
    if (!written)
        emit();
    return writeLines(path, out);
}

bool osRegistryKeyEnum(const char *key, osRegistryValueFn *fn, void *arg) {
    bool opened;
    std::vector<std::string> lines = readLines(osResolvePath(kKeyFile, false), &opened);
    size_t klen = strlen(key);
    bool any = false;
    for (const std::string &line : lines) {
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        size_t eq = line.find('=');
        std::string path = line.substr(0, eq);
        if (path.size() <= klen + 1 || strncasecmp(path.c_str(), key, klen) != 0 || path[klen] != '\\')
            continue;
        std::string name = path.substr(klen + 1);
        if (name.find('\\') != std::string::npos || name == "@")
            continue; // a value of a subkey, or the key's default value
        any = true;
        if (eq == std::string::npos)
            fn(name.c_str(), nullptr, arg);
        else
            fn(name.c_str(), line.c_str() + eq + 1, arg);
    }
    return any;
}

bool osRegistryKeyWrite(const char *key, const char *name, const char *data) {
    std::string path = osResolvePath(kKeyFile, true);
    bool opened;
    std::vector<std::string> lines = readLines(path, &opened);
    std::string want = std::string(key) + "\\" + name;
    std::string line = want + "=" + (data ? data : "");
    bool replaced = false;
    for (std::string &l : lines) {
        std::string p = l.substr(0, l.find('='));
        if (strcasecmp(p.c_str(), want.c_str()) == 0) {
            l = line;
            replaced = true;
            break;
        }
    }
    if (!replaced)
        lines.push_back(line);
    bool ok = writeLines(path, lines);
    osRegistryFlush();
    return ok;
}
