// Picture formats.
#pragma once

#include <cstdint>

#include "RES/surface.h"

// The last 768 bytes of a PCX file as a 256 x 4 palette into `palette`.
bool pcxLoadPalette(const char *name, uint8_t *palette);
// Decodes a PCX file into `pixels` (laid out as `raster` says); the palette
// (256 x 4) goes to `palette`. True when the header was read.
bool pcxDecode(const char *name, Surface *raster, uint8_t *palette, uint8_t *pixels);
