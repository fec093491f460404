// What the test driver image hands out, as the device tests see it.
#pragma once

#include "render/tokens/object.h"

// The screen pixelmap its output facilities make.
struct testdev_screen {
    const vt_object_dispatch *dispatch;
    char driver_args[128]; // the argument text VtDrv1Begin received
    char facility[32];     // the facility that made it
    vt_int_32 width, height, bits;
};
