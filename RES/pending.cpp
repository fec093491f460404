// Interim bodies of this subsystem's operations whose modules are not built
// yet. Each says so once in the log; those the start-up depends on already
// behave as their module will.
#include <cstdio>
#include <cstring>

#include "RES/util.h"
#include "RES/resman.h"
#include "RES/surface.h"
#include "core/pending.h"
#include "core/files.h"

// ---- 3D models: they need the rendering library's model records.
void *LoadDatModel(const char *name, void *, uint32_t *) {
    PENDING_ONCE("LoadDatModel");
    dunFileAccessLog(name);
    return nullptr;
}
void *LoadAsciiModel(const char *, void *, uint32_t *) {
    PENDING_ONCE("LoadAsciiModel");
    return nullptr;
}
