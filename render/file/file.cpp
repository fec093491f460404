// The file layer: thin wrappers over the installed filesystem.
#include "render/file/file.h"

#include <cstring>

#include "render/fmt/fmt.h"

void VtFileResourceFree(void *res, vt_uint_8, vt_size) {
    auto *f = static_cast<vt_file *>(res);
    if (f->raw_file)
        VtFilesystem()->close(f->raw_file);
    f->raw_file = nullptr;
}

namespace {

vt_file *newFile(void *raw, const char *name, vt_boolean writing, int mode) {
    vt_size len = strlen(name);
    auto *f = static_cast<vt_file *>(VtResAllocate(VtFrameworkRoot(), sizeof(vt_file) + len, VT_RES_FILE));
    if (f == nullptr) {
        VtFilesystem()->close(raw);
        return nullptr;
    }
    f->raw_file = raw;
    f->writing = writing;
    f->mode = mode;
    memcpy(f->name, name, len + 1);
    return f;
}

} // namespace

vt_uint_32 VtFileAttributes() { return VtFilesystem()->attributes(); }

vt_file *VtFileOpenRead(const char *name, vt_size n_magics, vt_mode_test_cbfn *identify, int *mode) {
    int m = mode ? *mode : VT_FILE_BINARY;
    void *raw = VtFilesystem()->open_read(name, n_magics, identify, &m);
    if (raw == nullptr)
        return nullptr;
    if (mode)
        *mode = m;
    return newFile(raw, name, 0, m);
}

vt_file *VtFileOpenWrite(const char *name, int text) {
    void *raw = VtFilesystem()->open_write(name, text);
    if (raw == nullptr)
        return nullptr;
    return newFile(raw, name, 1, text);
}

void VtFileClose(vt_file *f) { VtResFree(f); }
int VtFileEof(vt_file *f) { return VtFilesystem()->eof(f->raw_file); }
int VtFileGetChar(vt_file *f) { return VtFilesystem()->getchr(f->raw_file); }
void VtFilePutChar(int c, vt_file *f) { VtFilesystem()->putchr(c, f->raw_file); }
vt_size VtFileRead(void *buf, vt_size size, vt_size n, vt_file *f) {
    return VtFilesystem()->read(buf, size, n, f->raw_file);
}
vt_size VtFileWrite(const void *buf, vt_size size, vt_size n, vt_file *f) {
    return VtFilesystem()->write(buf, size, n, f->raw_file);
}
vt_size VtFileGetLine(char *buf, vt_size buf_len, vt_file *f) {
    return VtFilesystem()->getline(buf, buf_len, f->raw_file);
}
void VtFilePutLine(const char *line, vt_file *f) { VtFilesystem()->putline(line, f->raw_file); }
void VtFileAdvance(vt_size count, vt_file *f) { VtFilesystem()->advance(count, f->raw_file); }

int VtFilePrintf(vt_file *f, const char *fmt, ...) {
    char *text = VtScratchString();
    va_list args;
    va_start(args, fmt);
    int n = VtVSprintfN(text, VtScratchStringSize(), fmt, args);
    va_end(args);
    VtFilesystem()->write(text, 1, vt_size(n), f->raw_file);
    return n;
}
