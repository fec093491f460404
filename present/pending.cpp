// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log.
#include "app/log.h"
#include "present/lwo.h"
#include "present/view_clip.h"

#define PENDING_ONCE(name)                         \
    do {                                           \
        static bool said = false;                  \
        if (!said) {                               \
            said = true;                           \
            dunDebugPrint("not built yet: " name); \
        }                                          \
    } while (0)

void *LwoLoadModel(const char *, void *, uint32_t *) {
    PENDING_ONCE("LwoLoadModel");
    return nullptr;
}
void *LwoLoadShapeWithLod(void *) {
    PENDING_ONCE("LwoLoadShapeWithLod");
    return nullptr;
}
void *LwoLoadWireframe(const char *, void *, uint32_t *) {
    PENDING_ONCE("LwoLoadWireframe");
    return nullptr;
}

// The 3D view clip rectangle, until the views are built.
ClipRect ViewClipRect = {0, 0, 639, 479};
