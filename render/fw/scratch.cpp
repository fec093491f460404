// One scratch block, reused between callers and only ever grown, and the
// static text area that message formatting uses.
#include <cstring>

#include "render/fw/fwstate.h"

namespace {
constexpr vt_size kScratchStringSize = 512;
char scratchString[kScratchStringSize] = "SCRATCH";
} // namespace

void *VtScratchAllocate(vt_size size) {
    if (vtFw.scratch_inuse) {
        // Handing the block out twice would let two callers write over each
        // other.
        VtFailure("Scratchpad not available");
        return nullptr;
    }
    vtFw.scratch_last = size;
    if (vtFw.scratch_size < size || vtFw.scratch_ptr == nullptr) {
        if (vtFw.scratch_ptr)
            VtResFree(vtFw.scratch_ptr);
        vtFw.scratch_ptr = VtResAllocate(vtFw.res, size, VT_RES_SCRATCH);
        vtFw.scratch_size = vtFw.scratch_ptr ? size : 0;
        if (vtFw.scratch_ptr == nullptr)
            return nullptr;
    }
    vtFw.scratch_inuse = 1;
    return vtFw.scratch_ptr;
}

void VtScratchFree(void *) { vtFw.scratch_inuse = 0; }

vt_size VtScratchInquire() { return vtFw.scratch_size; }

void VtScratchFlush() {
    if (vtFw.scratch_inuse) {
        VtFailure("Scratchpad cannot be flushed while in use");
        return;
    }
    if (vtFw.scratch_ptr)
        VtResFree(vtFw.scratch_ptr);
    vtFw.scratch_ptr = nullptr;
    vtFw.scratch_size = 0;
}

char *VtScratchString() { return scratchString; }

vt_size VtScratchStringSize() { return kScratchStringSize; }
