// Memory through the installed allocator, and the plug setters.
#include <cstdlib>
#include <cstring>

#include "render/fw/fwstate.h"
#include "render/std/stdlib.h"

vt_framework_state vtFw;

vt_diaghandler *VtDiagHandler() { return vtFw.diag ? vtFw.diag : &VtStdioDiagHandler; }
vt_filesystem *VtFilesystem() { return vtFw.fsys ? vtFw.fsys : &VtStdioFilesystem; }
vt_allocator *VtAllocator() { return vtFw.mem ? vtFw.mem : &VtStdlibAllocator; }

vt_diaghandler *VtDiagHandlerSet(vt_diaghandler *handler) {
    vt_diaghandler *old = vtFw.diag;
    vtFw.diag = handler ? handler : &VtStdioDiagHandler;
    return old;
}

vt_filesystem *VtFilesystemSet(vt_filesystem *fs) {
    vt_filesystem *old = vtFw.fsys;
    vtFw.fsys = fs ? fs : &VtStdioFilesystem;
    return old;
}

vt_allocator *VtAllocatorSet(vt_allocator *allocator) {
    vt_allocator *old = vtFw.mem;
    vtFw.mem = allocator ? allocator : &VtStdlibAllocator;
    return old;
}

void *VtMemAllocate(vt_size size, vt_uint_8 res_class) {
    void *b = VtAllocator()->allocate(size, res_class);
    if (b)
        memset(b, 0, size);
    return b;
}

void VtMemFree(void *block) { VtAllocator()->free(block); }

vt_uint_32 VtMemAlign(vt_uint_8 res_class) {
    vt_allocator *a = VtAllocator();
    return a->align ? a->align(res_class) : 0;
}

vt_size VtMemInquire(vt_uint_8 res_class) { return VtAllocator()->inquire(res_class); }

void *VtMemCalloc(int nelems, vt_size size, vt_uint_8 res_class) {
    if (nelems < 0 || (size && vt_size(nelems) > vt_size(-1) / size))
        return nullptr;
    return VtMemAllocate(vt_size(nelems) * size, res_class);
}

char *VtMemStrDup(const char *text) {
    size_t n = strlen(text) + 1;
    auto *s = static_cast<char *>(VtMemAllocate(n, VT_RES_STRING));
    if (s)
        memcpy(s, text, n);
    return s;
}

void VtLastErrorSet(vt_error error, void *value) {
    vtFw.last_error_type = error;
    vtFw.last_error_value = value;
}

vt_error VtLastErrorGet(void **valuep) {
    if (valuep)
        *valuep = vtFw.last_error_value;
    return vtFw.last_error_type;
}

void VtQsort(void *basep, vt_size nelems, vt_size size, vt_qsort_cbfn *comp) { qsort(basep, nelems, size, comp); }
