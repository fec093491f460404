// The default filesystem "Standard IO". Names may use backslashes and any
// letter case; they are matched against the host's files.
#include <cstdio>
#include <cstring>
#include <string>

#include "os/paths.h"
#include "render/config/config.h"
#include "render/std/stdlib.h"
#include "render/tokens/token.h"

namespace {

constexpr size_t kPathSize = 512;

FILE *openHost(const char *name, const char *mode) {
    std::string path = osResolvePath(name, mode[0] == 'w');
    return fopen(path.c_str(), mode);
}

bool hasDirectory(const char *name) { return strpbrk(name, "/\\:") != nullptr; }

// Opens the name, or for a bare name the first directory of the search path
// that holds it; `found` receives the name that opened.
FILE *openAlongPath(const char *name, std::string &found) {
    found = name;
    if (FILE *f = openHost(name, "rb"))
        return f;
    if (hasDirectory(name))
        return nullptr;
    char path[kPathSize];
    if (VtSystemConfigQueryString(VTT_VANTOR_PATH_STR, path, sizeof path) != VT_E_OK)
        return nullptr;
    for (char *dir = path; dir && *dir;) {
        char *sep = strchr(dir, ';');
        if (sep)
            *sep = '\0';
        if (*dir) {
            found = dir;
            char last = found.back();
            if (last != ':' && last != '/' && last != '\\')
                found += '/';
            found += name;
            if (FILE *f = openHost(found.c_str(), "rb"))
                return f;
        }
        dir = sep ? sep + 1 : nullptr;
    }
    return nullptr;
}

vt_uint_32 stdAttributes() { return 31; }

void *stdOpenWrite(const char *name, int text) { return openHost(name, text == 1 ? "w" : "wb"); }
void stdClose(void *f) { fclose(static_cast<FILE *>(f)); }
int stdEof(void *f) { return feof(static_cast<FILE *>(f)); }
int stdGetChar(void *f) { return fgetc(static_cast<FILE *>(f)); }
void stdPutChar(int c, void *f) { fputc(c, static_cast<FILE *>(f)); }
vt_size stdRead(void *buf, vt_size size, vt_size n, void *f) { return fread(buf, size, n, static_cast<FILE *>(f)); }
vt_size stdWrite(const void *buf, vt_size size, vt_size n, void *f) {
    return fwrite(buf, size, n, static_cast<FILE *>(f));
}

vt_size stdGetLine(char *buf, vt_size buf_len, void *f) {
    if (buf_len == 0)
        return 0;
    if (buf_len > vt_size(0x7fffffff))
        buf_len = 0x7fffffff;
    if (fgets(buf, int(buf_len), static_cast<FILE *>(f)) == nullptr) {
        buf[0] = '\0';
        return 0;
    }
    size_t n = strlen(buf);
    if (n && buf[n - 1] == '\n')
        buf[--n] = '\0';
    return n;
}

void stdPutLine(const char *text, void *f) {
    fputs(text, static_cast<FILE *>(f));
    fputc('\n', static_cast<FILE *>(f));
}

void stdAdvance(vt_size count, void *f) { fseek(static_cast<FILE *>(f), long(count), SEEK_CUR); }

} // namespace

void *VtStdFileOpenRead(const char *name, vt_size n_magics, vt_mode_test_cbfn *identify, int *mode_result) {
    std::string found;
    FILE *f = openAlongPath(name, found);
    if (f == nullptr)
        return nullptr;
    int mode = mode_result ? *mode_result : VT_FS_MODE_BINARY;
    if (n_magics > 0) {
        vt_uint_8 magics[64];
        vt_size n = n_magics < sizeof magics ? n_magics : sizeof magics;
        bool complete = fread(magics, 1, n, f) == n;
        fclose(f);
        if (!complete)
            return nullptr;
        mode = identify ? identify(magics, n) : VT_FS_MODE_BINARY;
        if (mode_result)
            *mode_result = mode;
    } else {
        fclose(f);
    }
    const char *how = mode == VT_FS_MODE_BINARY ? "rb" : mode == VT_FS_MODE_TEXT ? "r" : nullptr;
    if (how == nullptr) {
        VtFailure("VtStdFileOpenRead: invalid open_mode %d", mode);
        return nullptr;
    }
    // Reopen what was found, not the caller's name: a file found along the
    // search path is not at that name.
    return openHost(found.c_str(), how);
}

vt_filesystem VtStdioFilesystem = {
    "Standard IO", stdAttributes, VtStdFileOpenRead, stdOpenWrite, stdClose, stdEof, stdGetChar,
    stdPutChar,    stdRead,       stdWrite,          stdGetLine,   stdPutLine, stdAdvance,
};
