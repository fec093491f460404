#include "core/files.h"

#include <cstdlib>
#include <string>

#include "core/log.h"
#include "os/paths.h"
#include "os/savefile.h"

char gFilmFolder[kFolderBytes] = "vek\\resource\\video";
char gAudioFolder[kFolderBytes] = "vek\\resource\\audio";
char gLocalAudioFolder[kFolderBytes] = "vek\\resource\\audio_L";
char gScreenshotFolder[kFolderBytes] = "vek\\resource\\art\\screens";

FILE *OpenGameFile(const char *path, const char *mode) {
    if (!path || !mode) return nullptr;
    bool forWrite = mode[0] == 'w' || mode[0] == 'a';
    std::string host = osResolvePath(path, forWrite);
    // "rt"/"wt" text modes of the original mean nothing here.
    char m[8];
    size_t n = 0;
    for (const char *p = mode; *p && n + 1 < sizeof m; ++p)
        if (*p != 't') m[n++] = *p;
    m[n] = 0;
    FILE *f = std::fopen(host.c_str(), m);
    if (f) dunFileAccessLog(path);
    return f;
}

bool GameFileExists(const char *path) {
    FILE *f = OpenGameFile(path, "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
}


bool ReadGameFile(const char *name, uint8_t **data, size_t *size, size_t limit) {
    *data = nullptr;
    *size = 0;
    FILE *f = OpenGameFile(name, "rb");
    if (!f) return false;
    long length = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) length = std::ftell(f);
    if (length < 0 || size_t(length) > limit || std::fseek(f, 0, SEEK_SET) != 0) {
        std::fclose(f);
        if (length < 0) RefuseGameFile(name, "its length cannot be told");
        else if (size_t(length) > limit) {
            char why[64];
            std::snprintf(why, sizeof why, "longer than %zu bytes", limit);
            RefuseGameFile(name, why);
        } else {
            RefuseGameFile(name, "it cannot be read");
        }
        return false;
    }
    uint8_t *buffer = static_cast<uint8_t *>(std::malloc(length ? size_t(length) : 1));
    if (!buffer) {
        std::fclose(f);
        return false;
    }
    size_t got = std::fread(buffer, 1, size_t(length), f);
    std::fclose(f);
    *data = buffer;
    *size = got;
    return true;
}

bool WriteGameFileWhole(const char *path, const void *data, size_t size) {
    if (!path) return false;
    std::string host = osResolvePath(path, true);
    if (!osWriteFileWhole(host, data, size)) return false;
    dunFileAccessLog(path);
    return true;
}

void RemoveWriteLeftovers(const char *folder) {
    const std::string host = folder && *folder ? osResolvePath(folder, false) : std::string();
    for (const std::string &name : osRemoveWriteLeftovers(host))
        dunDebugPrintf("Removed %s%s%s, left by a save that never ended", folder && *folder ? folder : "",
                       folder && *folder ? "\\" : "", name.c_str());
    osFlushPathCache();
}

bool SetGameFileAside(const char *name, const char *why) {
    if (!name) return false;
    const std::string host = osResolvePath(name, false);
    char aside[300], asideHost[4096];
    for (int n = 1; n < 100; ++n) {
        if (n == 1) {
            std::snprintf(aside, sizeof aside, "%s.bad", name);
            std::snprintf(asideHost, sizeof asideHost, "%s.bad", host.c_str());
        } else {
            std::snprintf(aside, sizeof aside, "%s.bad%i", name, n);
            std::snprintf(asideHost, sizeof asideHost, "%s.bad%i", host.c_str(), n);
        }
        if (osHostPathExists(asideHost)) continue;
        if (std::rename(host.c_str(), asideHost) != 0) break;
        osFlushPathCache();
        dunUserNotice("Damaged file %s (%s): set aside as %s", name, why ? why : "it cannot be used", aside);
        return true;
    }
    dunUserNotice("Damaged file %s (%s) cannot be set aside", name, why ? why : "it cannot be used");
    return false;
}

void RefuseGameFile(const char *name, const char *why) {
    dunDebugPrintf("Refused data file %s: %s", name ? name : "(no name)", why ? why : "it cannot be used");
}

void EmptyGameFile(const char *name, const char *instead) {
    dunDebugPrintf("Empty data file %s: %s", name ? name : "(no name)", instead ? instead : "using the defaults");
}
