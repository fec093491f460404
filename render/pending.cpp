// Interim bodies of the library's operations whose modules are not built
// yet. Each says so once on the standard error stream.
#include <cstdio>
#include <cstring>

#include "render/pmap/pixelmap.h"
#include "render/tokens/token.h"

#define PENDING_ONCE(name)                                         \
    do {                                                           \
        static bool said = false;                                  \
        if (!said) {                                               \
            said = true;                                           \
            fprintf(stderr, "not built yet: %s\n", name);          \
        }                                                          \
    } while (0)

vt_error VtPixelmapBegin() {
    PENDING_ONCE("VtPixelmapBegin");
    return VT_E_OK;
}

vt_error VtPixelmapEnd() {
    PENDING_ONCE("VtPixelmapEnd");
    return VT_E_OK;
}

vt_error VtPixelmapPaletteSet(vt_pixelmap *, vt_pixelmap *) {
    PENDING_ONCE("VtPixelmapPaletteSet");
    return VT_E_FAIL;
}

vt_error VtPixelmapPaletteEntrySet(vt_pixelmap *, vt_int_32, vt_colour) {
    PENDING_ONCE("VtPixelmapPaletteEntrySet");
    return VT_E_FAIL;
}
