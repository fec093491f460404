// The 2D drawing surface: 8-bit palette indices or 16-bit RGB565. Every
// surface knows its own pixel size; the drawers take it from the surface they
// draw into, not from the display.
#pragma once

#include <cstdint>

struct Surface {
    uint8_t *pixels;
    int16_t width;
    int16_t height;
    int16_t hotX;   // a raster's hotspot; unused by plain surfaces
    int16_t hotY;
    int16_t pitch;  // bytes from one row to the next
    int16_t bytesPerPixel;  // 2: RGB565; 1 (or 0, as a zeroed surface has): palette indices
};

inline int SurfaceBytesPerPixel(const Surface *s) { return s->bytesPerPixel == 2 ? 2 : 1; }
