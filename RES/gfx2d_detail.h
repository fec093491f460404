// Helpers shared by the 2D drawers' source files (not for other modules).
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "RES/gfx2d.h"
#include "core/options.h"

namespace gfx {

inline int Bpp(const Surface *s) { return SurfaceBytesPerPixel(s); }
inline bool Is16(const Surface *s) { return Bpp(s) == 2; }

// Bytes from one row to the next. 8-bit surfaces are laid out with the pitch
// equal to the width; 16-bit ones step by the pitch, rasters (no pitch of
// their own) by twice the width.
inline int Stride(const Surface *s) {
    if (!Is16(s)) return s->width;
    return s->pitch >= s->width * 2 ? s->pitch : s->width * 2;
}
// Rows of a raster: never padded.
inline int RasterStride(const Surface *s, int bpp) { return s->width * bpp; }

inline bool Usable(const Surface *s) { return s && s->pixels && s->width > 0 && s->height > 0; }

using Box = PixelBox;
inline Box SurfaceBox(const Surface *s) { return {0, 0, s->width - 1, s->height - 1}; }
// The clip rectangle cut to the surface; the whole surface when null.
inline Box ClipBox(const Surface *s, const ClipRect *clip) {
    Box b = SurfaceBox(s);
    if (clip) {
        b.left = std::max<int>(b.left, clip->left);
        b.top = std::max<int>(b.top, clip->top);
        b.right = std::min<int>(b.right, clip->right);
        b.bottom = std::min<int>(b.bottom, clip->bottom);
    }
    return b;
}
inline ClipRect ToClipRect(const Box &b) {
    return {int16_t(b.left), int16_t(b.top), int16_t(b.right), int16_t(b.bottom)};
}

inline uint16_t Rgb565(unsigned index) { return PaletteToRgb565(CurrentPalette, index); }

inline void Put16(uint8_t *p, uint16_t v) { std::memcpy(p, &v, 2); }
inline uint16_t Get16(const uint8_t *p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

// Saturating conversion of a wide value to int.
inline int ClampInt(int64_t v) {
    return int(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// One light-table lookup; levels beyond the 16 of a table stay at the top.
inline uint8_t Light(int table, unsigned level, uint8_t pixel) {
    if (level > 15) level = 15;
    return LightTables[(table & 15) * 4096 + level * 256 + pixel];
}

}  // namespace gfx
