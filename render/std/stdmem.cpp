// The default allocator "malloc".
#include <cstdlib>

#include "render/std/stdlib.h"

void *VtStdlibAllocate(vt_size size, vt_uint_8 res_class) {
    void *m = malloc(size ? size : 1);
    if (m == nullptr)
        VtFailure("VtStdlibAllocate: failed with size=%d, type=%d", int(size), int(res_class));
    return m;
}

void VtStdlibFree(void *mem) { free(mem); }

vt_size VtStdlibInquire(vt_uint_8) { return 0; }

// What malloc guarantees here.
static vt_uint_32 stdlibAlign(vt_uint_8) { return alignof(max_align_t); }

vt_allocator VtStdlibAllocator = {"malloc", VtStdlibAllocate, VtStdlibFree, VtStdlibInquire, stdlibAlign};
