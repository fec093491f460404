// The library's road to the standard runtime: wrappers that driver images
// share with the library, and the default plug records.
#pragma once

#include <cstdarg>

#include "render/fw/fw.h"

extern vt_allocator VtStdlibAllocator;       // "malloc"
extern vt_filesystem VtStdioFilesystem;      // "Standard IO"
extern vt_diaghandler VtStdioDiagHandler;    // "Stdio DiagHandler"

void *VtStdlibAllocate(vt_size size, vt_uint_8 res_class);
void VtStdlibFree(void *mem);
vt_size VtStdlibInquire(vt_uint_8 res_class);

// Opens for reading, along the configured search path for a bare name;
// with n_magics > 0 the first bytes decide the mode through `identify`.
void *VtStdFileOpenRead(const char *name, vt_size n_magics, vt_mode_test_cbfn *identify, int *mode_result);

int VtMemCmp(const void *s1, const void *s2, vt_size n);
void *VtMemCpy(void *s1, const void *s2, vt_size n);
void *VtMemSet(void *s, int c, vt_size n);
char *VtStrCat(char *s1, const char *s2);
int VtStrCmp(const char *s1, const char *s2);
int VtStrICmp(const char *s1, const char *s2);
char *VtStrCpy(char *s1, const char *s2);
vt_size VtStrLen(const char *s);
int VtStrNCmp(const char *s1, const char *s2, vt_size n);
int VtStrNICmp(const char *s1, const char *s2, vt_size n);
char *VtStrNCpy(char *s1, const char *s2, vt_size n);
char *VtStrRChr(char *s1, char c);
float VtStrToF(const char *nptr, char **endptr);
double VtStrToD(const char *nptr, char **endptr);
long VtStrToL(const char *nptr, char **endptr, int base);
unsigned long VtStrToUL(const char *nptr, char **endptr, int base);
vt_boolean VtIsAlpha(int c);
vt_boolean VtIsDigit(int c);
vt_boolean VtIsSpace(int c);
vt_boolean VtIsPrint(int c);
char *VtGetEnv(const char *name);
[[noreturn]] void VtAbort();

// Profiling hooks; they do nothing.
void _PRO();
void _EPI();
