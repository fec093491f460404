// Pixelmaps: the library's images.
#pragma once

#include "render/fw/types.h"

// Begin and end of the pixelmap module with the library.
vt_error VtPixelmapBegin();
vt_error VtPixelmapEnd();
