// The file layer: library files over the installed filesystem. Each open
// file is a resource of class FILE; freeing it closes the host file.
#pragma once

#include "render/fw/fw.h"

enum { VT_FILE_BINARY = 0, VT_FILE_TEXT = 1, VT_FILE_UNKNOWN = 2 };

struct vt_file {
    void *raw_file;     // the filesystem's own handle
    vt_boolean writing; // 0 read, 1 write
    int mode;           // VT_FILE_BINARY or VT_FILE_TEXT
    char name[1];       // a copy of the name, allocated with the record
};

// Free callback of the FILE resource class: closes the file.
void VtFileResourceFree(void *res, vt_uint_8 res_class, vt_size size);

vt_uint_32 VtFileAttributes();
// The identify callback receives the first n_magics bytes and answers the
// mode; *mode receives it. Null when the file does not open.
vt_file *VtFileOpenRead(const char *name, vt_size n_magics, vt_mode_test_cbfn *identify, int *mode);
vt_file *VtFileOpenWrite(const char *name, int text);
void VtFileClose(vt_file *f);
int VtFileEof(vt_file *f);
int VtFileGetChar(vt_file *f);
void VtFilePutChar(int c, vt_file *f);
vt_size VtFileRead(void *buf, vt_size size, vt_size n, vt_file *f);
vt_size VtFileWrite(const void *buf, vt_size size, vt_size n, vt_file *f);
vt_size VtFileGetLine(char *buf, vt_size buf_len, vt_file *f);
void VtFilePutLine(const char *line, vt_file *f);
void VtFileAdvance(vt_size count, vt_file *f);
// Formats into the scratch text area (cut to its size, never past it) and
// writes the result; returns the length written.
int VtFilePrintf(vt_file *f, const char *fmt, ...) VT_PRINTF(2, 3);
