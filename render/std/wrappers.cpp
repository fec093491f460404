#include <cctype>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "render/std/stdlib.h"

// The C locale's classes, whatever locale the program set.
static bool inRange(int c) { return c >= 0 && c < 256; }

int VtMemCmp(const void *s1, const void *s2, vt_size n) { return memcmp(s1, s2, n); }
void *VtMemCpy(void *s1, const void *s2, vt_size n) { return memcpy(s1, s2, n); }
void *VtMemSet(void *s, int c, vt_size n) { return memset(s, c, n); }
char *VtStrCat(char *s1, const char *s2) { return strcat(s1, s2); }
int VtStrCmp(const char *s1, const char *s2) { return strcmp(s1, s2); }
int VtStrICmp(const char *s1, const char *s2) { return strcasecmp(s1, s2); }
char *VtStrCpy(char *s1, const char *s2) { return strcpy(s1, s2); }
vt_size VtStrLen(const char *s) { return strlen(s); }
int VtStrNCmp(const char *s1, const char *s2, vt_size n) { return strncmp(s1, s2, n); }
int VtStrNICmp(const char *s1, const char *s2, vt_size n) { return strncasecmp(s1, s2, n); }
char *VtStrNCpy(char *s1, const char *s2, vt_size n) { return strncpy(s1, s2, n); }
char *VtStrRChr(char *s1, char c) { return strrchr(s1, c); }
float VtStrToF(const char *nptr, char **endptr) { return float(strtod(nptr, endptr)); }
double VtStrToD(const char *nptr, char **endptr) { return strtod(nptr, endptr); }
long VtStrToL(const char *nptr, char **endptr, int base) { return strtol(nptr, endptr, base); }
unsigned long VtStrToUL(const char *nptr, char **endptr, int base) { return strtoul(nptr, endptr, base); }
vt_boolean VtIsAlpha(int c) { return inRange(c) && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')); }
vt_boolean VtIsDigit(int c) { return c >= '0' && c <= '9'; }
vt_boolean VtIsSpace(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
vt_boolean VtIsPrint(int c) { return c >= 32 && c <= 126; }
char *VtGetEnv(const char *name) { return getenv(name); }
void VtAbort() { abort(); }

void _PRO() {}
void _EPI() {}
