// Pixelmaps: the library's images.
#pragma once

#include "render/fw/types.h"

// Begin and end of the pixelmap module with the library.
vt_error VtPixelmapBegin();
vt_error VtPixelmapEnd();

struct vt_pixelmap;
// Sets entries 0 to palette height - 1 of the pixelmap's colour lookup
// table from the palette's pixels (when it has a table).
vt_error VtPixelmapPaletteSet(vt_pixelmap *pm, vt_pixelmap *palette);
vt_error VtPixelmapPaletteEntrySet(vt_pixelmap *pm, vt_int_32 index, vt_colour colour);
