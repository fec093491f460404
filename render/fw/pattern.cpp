#include "render/fw/registry.h"

static char upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

static bool matchFrom(const char *p, const char *n) {
    for (;;) {
        if (*p == '\0' || *p == '/')
            return *n == '\0';
        if (*p == '*') {
            // Try the rest of the pattern at every position up to and
            // including the end of the name.
            for (const char *s = n;; ++s) {
                if (matchFrom(p + 1, s))
                    return true;
                if (*s == '\0')
                    return false;
            }
        }
        if (*n == '\0')
            return false;
        if (*p != '?' && upper(*p) != upper(*n))
            return false;
        ++p;
        ++n;
    }
}

vt_boolean VtNamePatternMatch(const char *pattern, const char *name) {
    if (pattern == nullptr)
        return 1;
    if (name == nullptr)
        return 0;
    return matchFrom(pattern, name) ? 1 : 0;
}
