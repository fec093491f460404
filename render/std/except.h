// Exception frames: a stack of open frames; a throw resumes the code that
// opened the innermost frame with the thrown type as its result.
//
// The saved context is a C++ unwind rather than a jump buffer, so every
// destructor between the throw and the frame runs. Open a frame with
// VtExceptionTry:
//
//     vt_exception type = VtExceptionTry([&] { ... may call _BrExceptionThrow ... });
//     if (type) { void *value; _BrExceptionValueFetch(type, &value); ... }
//
// Code that manages frames by hand (begin, then throw or end) must run the
// body that may throw inside VtExceptionTry or catch VtExceptionUnwind itself.
#pragma once

#include <utility>

#include "render/fw/types.h"

typedef int vt_exception;

struct vt_exception_frame {
    vt_exception_frame *next; // the next outer frame
    vt_uint_32 serial;        // names the frame to the unwind that resumes it
};

// What a throw unwinds with; caught by the frame it names.
struct VtExceptionUnwind {
    vt_uint_32 serial;
    vt_exception type;
};

vt_exception_frame *_BrExceptionBegin();
void _BrExceptionEnd();
// With no frame open: a failure report, then returns. Otherwise does not
// return: the innermost frame is popped and resumed with `type`.
void _BrExceptionThrow(vt_exception type, void *value);
vt_exception _BrExceptionValueFetch(vt_exception type, void **evp);
// The innermost frame as a resource parent (dies with the frame).
void *_BrExceptionResource();

// Pops frames opened after `frame` (left open by code that unwound past
// its end) and `frame` itself when it is still open.
void VtExceptionFrameDrop(vt_exception_frame *frame, vt_uint_32 serial);

// Runs body under a new frame; returns 0 when it ended normally, else the
// thrown type.
template <class F> vt_exception VtExceptionTry(F &&body) {
    vt_exception_frame *frame = _BrExceptionBegin();
    if (frame == nullptr)
        return 0;
    vt_uint_32 serial = frame->serial;
    try {
        std::forward<F>(body)();
    } catch (const VtExceptionUnwind &u) {
        if (u.serial != serial) {
            VtExceptionFrameDrop(frame, serial);
            throw;
        }
        return u.type;
    } catch (...) {
        VtExceptionFrameDrop(frame, serial);
        throw;
    }
    VtExceptionFrameDrop(frame, serial);
    return 0;
}
