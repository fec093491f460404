// The 2D drawing surface: 8-bit palette indices or 16-bit RGB565.
#pragma once

#include <cstdint>

struct Surface {
    uint8_t *pixels;
    int16_t width;
    int16_t height;
    int16_t hotX;   // a raster's hotspot; unused by plain surfaces
    int16_t hotY;
    int16_t pitch;  // bytes from one row to the next
};
