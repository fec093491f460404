#include "app/system.h"

#include <string>

#include "app/log.h"
#include "os/paths.h"

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
