// An in-memory picture: the leading fields of a Surface, then its pixels.
#pragma once

#include <cstdint>

struct Raster {
    uint8_t *pixels;  // rows one after the other, no padding
    uint16_t width;
    uint16_t height;
    uint16_t hotspotX;
    uint16_t hotspotY;
};
