// Alpha textures: 16-bit ARGB4444 pixelmaps whose alpha nibble comes from a
// byte-per-pixel alpha file, and tinted copies of them.
#pragma once

#include <cstdint>

#include <cstddef>

struct vt_pixelmap;

// Reads an alpha file (a byte a pixel, no header) into `out`, which holds
// `capacity` bytes (a longer file is refused); the bytes it does not fill are
// 0. A file that holds nothing is refused, and one shorter than the `need`
// bytes of the map it is for is used with the rest 0; the log names either.
// False when the file does not open or is refused.
bool P3DReadAlphaFile(const char *name, uint8_t *out, size_t capacity, size_t need);

// Each pixel becomes ((pixel & 0xFFF0) >> 4) & mask with the alpha byte's
// top nibble in the top four bits; only for maps of at most 4096 pixels.
void P3DSetAlpha4444(vt_pixelmap *map, const uint8_t *alpha, uint32_t mask);
// Each pixel keeps its low 12 bits and takes the alpha byte's top nibble
// times the factor.
void P3DScaleAlpha4444(vt_pixelmap *map, const uint8_t *alpha, float factor);
// A registered copy keeping the source's alpha: the asked channels at 15,
// the others the source's green nibble (or fill when that is 0); with no
// channel asked, red 1. Null when no copy can be made.
vt_pixelmap *P3DMakeTintedAlphaMap(vt_pixelmap *source, int red, int green, int blue, int fill);
// A new w x h ARGB4444 map, every pixel FFFF.
vt_pixelmap *P3DMakeWhiteAlphaMap(int width, int height);
