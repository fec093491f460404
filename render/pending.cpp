// Interim bodies of the library's operations whose modules are not built
// yet. Each says so once on the standard error stream.
#include <cstdio>
#include <cstring>

#include "render/config/config.h"
#include "render/config/host.h"
#include "render/dev/device.h"
#include "render/dev/image.h"
#include "render/file/file.h"
#include "render/tokens/token.h"

#define PENDING_ONCE(name)                                         \
    do {                                                           \
        static bool said = false;                                  \
        if (!said) {                                               \
            said = true;                                           \
            fprintf(stderr, "not built yet: %s\n", name);          \
        }                                                          \
    } while (0)

vt_error VtSystemConfigBegin() {
    PENDING_ONCE("VtSystemConfigBegin");
    return VT_E_OK;
}

vt_error VtSystemConfigQueryString(vt_token t, char *buffer, vt_size size) {
    PENDING_ONCE("VtSystemConfigQueryString");
    // The store's default for the search path, so that file searches work.
    static const char defaultPath[] =
        "dat;../dat;../../dat;../../../dat;../../../../dat;dll;../dll;../../dll;../../../dll;../../../../dll";
    const char *value = t == VTT_VANTOR_PATH_STR ? defaultPath : nullptr;
    if (size == 0)
        return VT_E_FAIL;
    if (value == nullptr) {
        buffer[0] = '\0';
        return VT_E_FAIL;
    }
    strncpy(buffer, value, size - 1);
    buffer[size - 1] = '\0';
    return VT_E_OK;
}

void HostBegin() { PENDING_ONCE("HostBegin"); }
void HostEnd() { PENDING_ONCE("HostEnd"); }

vt_error VtDevFind(vt_device **pdev, const char *) {
    PENDING_ONCE("VtDevFind");
    *pdev = nullptr;
    return VT_E_FAIL;
}

vt_error VtDevRemove(vt_device *) {
    PENDING_ONCE("VtDevRemove");
    return VT_E_FAIL;
}

void VtCoreImageBegin() { PENDING_ONCE("VtCoreImageBegin"); }
void VtCoreImageEnd() { PENDING_ONCE("VtCoreImageEnd"); }
void VtImageResourceFree(void *, vt_uint_8, vt_size) { PENDING_ONCE("VtImageResourceFree"); }
