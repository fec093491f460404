// Library and framework begin and end.
#include <cstring>

#include "render/config/config.h"
#include "render/config/host.h"
#include "render/dev/device.h"
#include "render/dev/image.h"
#include "render/file/file.h"
#include "render/fw/fwstate.h"
#include "render/pmap/pixelmap.h"
#include "render/std/stdlib.h"
#include "render/tokens/object.h"
#include "render/tokens/token.h"

namespace {

vt_boolean libraryActive;

void objectFreeCallback(void *res, vt_uint_8, vt_size size) {
    if (size < VtResHeaderSize + sizeof(vt_object))
        return;
    auto *obj = static_cast<vt_object *>(res);
    if (obj->dispatch && obj->dispatch->free)
        obj->dispatch->free(obj);
}

// Registered in this order; REGISTRY and ANCHOR also go into the index by
// hand before anything can be allocated.
vt_resource_class builtinClasses[] = {
    {nullptr, "REGISTRY", VT_RES_REGISTRY, nullptr, 0},
    {nullptr, "ANCHOR", VT_RES_ANCHOR, nullptr, 0},
    {nullptr, "RESOURCE_CLASS", VT_RES_RESOURCE_CLASS, nullptr, 0},
    {nullptr, "SCRATCH", VT_RES_SCRATCH, nullptr, 16},
    {nullptr, "STRING", VT_RES_STRING, nullptr, 1},
    {nullptr, "FILE", VT_RES_FILE, VtFileResourceFree, 0},
    {nullptr, "POOL", VT_RES_POOL, nullptr, 16},
    {nullptr, "EXCEPTION_HANDLER", VT_RES_EXCEPTION_HANDLER, nullptr, 0},
    {nullptr, "TOKEN", VT_RES_TOKEN, nullptr, 0},
    {nullptr, "TOKEN_MAP", VT_RES_TOKEN_MAP, nullptr, 8},
    {nullptr, "DATAFILE", VT_RES_DATAFILE, nullptr, 0},
    {nullptr, "LEXER", VT_RES_LEXER, nullptr, 0},
    {nullptr, "OBJECT_LIST", VT_RES_OBJECT_LIST, nullptr, 0},
    {nullptr, "OBJECT_LIST_ENTRY", VT_RES_OBJECT_LIST_ENTRY, nullptr, 0},
    {nullptr, "APPLICATION", VT_RES_APPLICATION, nullptr, 0},
    {nullptr, "IMAGE", VT_RES_IMAGE, VtImageResourceFree, 0},
    {nullptr, "IMAGE_ARENA", VT_RES_IMAGE_ARENA, nullptr, 0},
    {nullptr, "IMAGE_SECTIONS", VT_RES_IMAGE_SECTIONS, nullptr, 0},
    {nullptr, "IMAGE_NAMES", VT_RES_IMAGE_NAMES, nullptr, 0},
    {nullptr, "OBJECT", VT_RES_OBJECT, objectFreeCallback, 16},
    {nullptr, "OBJECT_DATA", VT_RES_OBJECT_DATA, nullptr, 16},
    {nullptr, "DRIVER", VT_RES_DRIVER, nullptr, 0},
    {nullptr, "FMT_RESULTS", VT_RES_FMT_RESULTS, nullptr, 0},
    {nullptr, "TOKEN_VALUE", VT_RES_TOKEN_VALUE, nullptr, 0},
    {nullptr, "TOKEN_TEMPLATE", VT_RES_TOKEN_TEMPLATE, nullptr, 0},
};

} // namespace

void *VtFrameworkRoot() { return vtFw.res; }

vt_error VtFrameworkBegin() {
    if (vtFw.active)
        return VT_E_ALREADY_ACTIVE;
    if (vtFw.diag == nullptr)
        vtFw.diag = &VtStdioDiagHandler;
    if (vtFw.fsys == nullptr)
        vtFw.fsys = &VtStdioFilesystem;
    if (vtFw.mem == nullptr)
        vtFw.mem = &VtStdlibAllocator;

    VtRegistryNew(&vtFw.reg_resource_classes);
    vtFw.resource_class_index[VT_RES_REGISTRY] = &builtinClasses[0];
    vtFw.resource_class_index[VT_RES_ANCHOR] = &builtinClasses[1];
    vtFw.res = VtResAllocate(nullptr, 0, VT_RES_ANCHOR);
    if (vtFw.res == nullptr) {
        memset(&vtFw, 0, sizeof vtFw);
        return VT_E_NO_MEMORY;
    }
    for (vt_resource_class &rc : builtinClasses)
        VtResClassAdd(&rc);
    VtNewList(&vtFw.images);
    vtFw.dev_slots = static_cast<vt_device_slot *>(
        VtResAllocate(vtFw.res, sizeof(vt_device_slot) * VT_DEVICE_SLOTS_STEP, VT_RES_DRIVER));
    vtFw.ndev_slots = vtFw.dev_slots ? VT_DEVICE_SLOTS_STEP : 0;
    vtFw.active = 1;
    VtTokenBegin();
    VtSystemConfigBegin();
    VtCoreImageBegin();
    return VT_E_OK;
}

vt_error VtFrameworkEnd() {
    if (!vtFw.active)
        return VT_E_NOT_ACTIVE;
    VtCoreImageEnd();
    VtTokenEnd();
    // The root's free callback walk must still find the allocator; the
    // record is cleared only afterwards. The scratch block goes first: one
    // made while the library was not begun has no parent to go with.
    if (vtFw.scratch_ptr)
        VtResFree(vtFw.scratch_ptr);
    VtResFree(vtFw.res);
    memset(&vtFw, 0, sizeof vtFw);
    return VT_E_OK;
}

vt_error VtBegin() {
    if (libraryActive)
        return VT_E_ALREADY_ACTIVE;
    if (vt_error r = VtFrameworkBegin())
        return r;
    HostBegin();
    VtPixelmapBegin();
    libraryActive = 1;
    return VT_E_OK;
}

vt_error VtEnd() {
    if (!libraryActive)
        return VT_E_NOT_ACTIVE;
    libraryActive = 0;
    VtDevRemoveAll();
    VtPixelmapEnd();
    HostEnd();
    VtFrameworkEnd();
    return VT_E_OK;
}
