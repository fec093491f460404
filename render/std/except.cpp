#include "render/std/except.h"

#include "render/fw/fw.h"

namespace {
vt_exception_frame *top;
void *lastValue;
vt_uint_32 nextSerial = 1;

void popTop() {
    vt_exception_frame *f = top;
    top = f->next;
    VtResFree(f);
}
} // namespace

vt_exception_frame *_BrExceptionBegin() {
    auto *f = static_cast<vt_exception_frame *>(VtResAllocate(nullptr, sizeof(vt_exception_frame), VT_RES_EXCEPTION_HANDLER));
    if (f == nullptr)
        return nullptr;
    f->serial = nextSerial++;
    if (nextSerial == 0)
        nextSerial = 1;
    f->next = top;
    top = f;
    return f;
}

void _BrExceptionEnd() {
    if (top == nullptr) {
        VtFailure("Unhandled exception: %d", 0);
        return;
    }
    popTop();
}

void _BrExceptionThrow(vt_exception type, void *value) {
    if (top == nullptr) {
        VtFailure("Unhandled exception: %d", type);
        return;
    }
    lastValue = value;
    vt_uint_32 serial = top->serial;
    popTop();
    throw VtExceptionUnwind{serial, type};
}

vt_exception _BrExceptionValueFetch(vt_exception type, void **evp) {
    if (type && evp)
        *evp = lastValue;
    return type;
}

void *_BrExceptionResource() { return top; }

void VtExceptionFrameDrop(vt_exception_frame *, vt_uint_32 serial) {
    // Frames are stacked in order of their serials; drop every frame at or
    // above this one that is still open.
    bool present = false;
    for (vt_exception_frame *f = top; f; f = f->next)
        if (f->serial == serial)
            present = true;
    if (!present)
        return;
    while (top && top->serial != serial)
        popTop();
    if (top)
        popTop();
}
