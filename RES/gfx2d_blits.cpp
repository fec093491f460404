// Raster copies: grabs, doubled pictures, plain, masked and clipped blits,
// glyphs and silhouettes, and run-length sprites.
#include <cstring>

#include "RES/gfx2d.h"
#include "RES/gfx2d_detail.h"

using namespace gfx;

bool ClipCopy(int64_t x, int64_t y, int w, int h, const PixelBox &box, CopySpan *out) {
    if (box.Empty() || w <= 0 || h <= 0) return false;
    int64_t left = std::max<int64_t>(x, box.left), top = std::max<int64_t>(y, box.top);
    int64_t right = std::min<int64_t>(x + w - 1, box.right);
    int64_t bottom = std::min<int64_t>(y + h - 1, box.bottom);
    if (left > right || top > bottom) return false;
    *out = {int(left), int(top), int(left - x), int(top - y), int(right - left + 1), int(bottom - top + 1)};
    return true;
}

namespace {

using Span2D = CopySpan;

bool Place(int64_t px, int64_t py, int w, int h, const Box &box, Span2D &out) {
    return ClipCopy(px, py, w, h, box, &out);
}

inline bool Transparent8(uint8_t v) { return v <= 16; }

// Mode 0 copies a raster of the surface's own 16 bits pixel for pixel; any
// other mode, or a raster that is 8-bit after all, goes through the palette.
bool Wide(const Surface *surface, const Surface *raster, int mode) {
    return Is16(surface) && mode == 0 && Is16(raster);
}

// A raster drawn with its hot spot at (x, y), cut to the clip rectangle.
bool PlaceRaster(const Surface *surface, const Surface *raster, const ClipRect *clip, int x, int y,
                 Span2D &out) {
    return Place(int64_t(x) - raster->hotX, int64_t(y) - raster->hotY, raster->width, raster->height,
                 ClipBox(surface, clip), out);
}

// One row of w pixels, leaving the destination where the source is clear.
void CopyKeyed16(uint8_t *d, const uint8_t *s, int w) {
    for (int c = 0; c < w; c++) {
        uint16_t v = Get16(s + c * 2);
        if (v) Put16(d + c * 2, v);
    }
}
void CopyKeyed8(uint8_t *d, const uint8_t *s, int w) {
    for (int c = 0; c < w; c++)
        if (!Transparent8(s[c])) d[c] = s[c];
}

}  // namespace

void GrabRasterFromSurface(Surface *raster, const Surface *surface, int x, int y) {
    if (!Usable(raster) || !Usable(surface)) return;
    // The raster takes the surface's pixels, so it takes their size too.
    raster->bytesPerPixel = int16_t(Bpp(surface));
    int bpp = Bpp(surface);
    Span2D sp;
    // The raster sees the surface through a window at (x, y).
    if (!Place(-int64_t(x), -int64_t(y), surface->width, surface->height,
               {0, 0, raster->width - 1, raster->height - 1}, sp))
        return;
    int sstride = Stride(surface), rstride = RasterStride(raster, bpp);
    for (int r = 0; r < sp.h; r++)
        std::memcpy(raster->pixels + size_t(sp.dy + r) * rstride + sp.dx * bpp,
                    surface->pixels + size_t(sp.sy + r) * sstride + sp.sx * bpp, size_t(sp.w) * bpp);
}

void BlitDoubled(const uint8_t *pixels, int w, int h, Surface *destination, const uint8_t *palette) {
    if (!Usable(destination)) return;
    int64_t ox = (int64_t(destination->width) - 2 * int64_t(w)) / 2;
    int64_t oy = (int64_t(destination->height) - 2 * int64_t(h)) / 2;
    BlitDoubledAt(pixels, w, h, destination, ox, oy, palette);
}

void BlitDoubledAt(const uint8_t *pixels, int w, int h, Surface *destination, int64_t x, int64_t y,
                   const uint8_t *palette) {
    if (!pixels || !Usable(destination) || w <= 0 || h <= 0) return;
    int bpp = Bpp(destination), pitch = Stride(destination);
    if (!palette) palette = CurrentPalette;
    Span2D sp;
    if (!Place(x, y, 2 * w, 2 * h, SurfaceBox(destination), sp)) return;
    for (int r = 0; r < sp.h; r++) {
        const uint8_t *src = pixels + size_t((sp.sy + r) / 2) * w;
        uint8_t *dst = destination->pixels + size_t(sp.dy + r) * pitch + size_t(sp.dx) * bpp;
        if (bpp == 2) {
            for (int c = 0; c < sp.w; c++)
                Put16(dst + c * 2, PaletteToRgb565(palette, src[(sp.sx + c) / 2]));
        } else {
            for (int c = 0; c < sp.w; c++) dst[c] = src[(sp.sx + c) / 2];
        }
    }
}

void BlitRasterColouredClipped(Surface *surface, const Surface *raster, const ClipRect *clip, int x,
                               int y, int colour, int mode) {
    if (!Usable(surface) || !Usable(raster) || !clip) return;
    Span2D sp;
    if (!PlaceRaster(surface, raster, clip, x, y, sp)) return;
    int stride = Stride(surface);
    bool wide = Wide(surface, raster, mode);
    int rbpp = wide ? 2 : 1, rstride = RasterStride(raster, rbpp);
    uint16_t v16 = Rgb565(colour);
    for (int r = 0; r < sp.h; r++) {
        const uint8_t *src = raster->pixels + size_t(sp.sy + r) * rstride + size_t(sp.sx) * rbpp;
        uint8_t *dst = surface->pixels + size_t(sp.dy + r) * stride;
        for (int c = 0; c < sp.w; c++) {
            bool clear = wide ? Get16(src + c * 2) == 0 : Transparent8(src[c]);
            if (clear) continue;
            if (Is16(surface))
                Put16(dst + (sp.dx + c) * 2, v16);
            else
                dst[sp.dx + c] = uint8_t(colour);
        }
    }
}

void BlitSurface(Surface *destination, const Surface *source, int x, int y) {
    if (!Usable(destination) || !Usable(source) || destination->pixels == source->pixels) return;
    if (Bpp(destination) != Bpp(source)) return;
    Span2D sp;
    if (!Place(x, y, source->width, source->height, SurfaceBox(destination), sp)) return;
    int bpp = Bpp(destination), dstride = Stride(destination), sstride = Stride(source);
    for (int r = 0; r < sp.h; r++)
        std::memcpy(destination->pixels + size_t(sp.dy + r) * dstride + size_t(sp.dx) * bpp,
                    source->pixels + size_t(sp.sy + r) * sstride + size_t(sp.sx) * bpp,
                    size_t(sp.w) * bpp);
}

void BlitMaskedSprite(Surface *destination, const Surface *source, int dx, int dy, int sx, int sy,
                      int w, int h) {
    if (!Usable(destination) || !Usable(source) || Bpp(destination) != Bpp(source)) return;
    // First the block is cut to the source, then its destination to the surface.
    Span2D src;
    if (!Place(sx, sy, w, h, SurfaceBox(source), src)) return;
    int64_t ddx = int64_t(dx) + (src.dx - int64_t(sx)), ddy = int64_t(dy) + (src.dy - int64_t(sy));
    Span2D sp;
    if (!Place(ddx, ddy, src.w, src.h, SurfaceBox(destination), sp)) return;
    int bpp = Bpp(destination), dstride = Stride(destination), sstride = Stride(source);
    for (int r = 0; r < sp.h; r++) {
        const uint8_t *s =
            source->pixels + size_t(src.dy + sp.sy + r) * sstride + size_t(src.dx + sp.sx) * bpp;
        uint8_t *d = destination->pixels + size_t(sp.dy + r) * dstride + size_t(sp.dx) * bpp;
        if (bpp == 2)
            CopyKeyed16(d, s, sp.w);
        else
            CopyKeyed8(d, s, sp.w);
    }
}

void BlitGlyphClipped(Surface *surface, const Surface *raster, const ClipRect *clip, int x, int y,
                      int mode) {
    if (!Usable(surface) || !Usable(raster) || !clip) return;
    Span2D sp;
    if (!PlaceRaster(surface, raster, clip, x, y, sp)) return;
    int stride = Stride(surface);
    bool wide = Wide(surface, raster, mode);
    int rbpp = wide ? 2 : 1, rstride = RasterStride(raster, rbpp);
    for (int r = 0; r < sp.h; r++) {
        const uint8_t *src = raster->pixels + size_t(sp.sy + r) * rstride + size_t(sp.sx) * rbpp;
        uint8_t *dst = surface->pixels + size_t(sp.dy + r) * stride;
        if (wide) {
            CopyKeyed16(dst + sp.dx * 2, src, sp.w);
        } else if (Is16(surface)) {
            for (int c = 0; c < sp.w; c++)
                if (!Transparent8(src[c])) Put16(dst + (sp.dx + c) * 2, Rgb565(src[c]));
        } else {
            CopyKeyed8(dst + sp.dx, src, sp.w);
        }
    }
}

void BlitSpriteClipped(Surface *surface, const Surface *raster, const ClipRect *clip, int x, int y) {
    if (surface && Is16(surface)) {
        BlitGlyphClipped(surface, raster, clip, x, y, 0);
        return;
    }
    if (!Usable(surface) || !Usable(raster) || !clip) return;
    Span2D sp;
    if (!PlaceRaster(surface, raster, clip, x, y, sp)) return;
    for (int r = 0; r < sp.h; r++)
        std::memcpy(surface->pixels + size_t(sp.dy + r) * surface->width + sp.dx,
                    raster->pixels + size_t(sp.sy + r) * raster->width + sp.sx, size_t(sp.w));
}

void BlitGlyph(Surface *surface, const Surface *glyph, const ClipRect *clip, int x, int y,
               int colour) {
    if (!Usable(surface) || !Usable(glyph) || !clip) return;
    Span2D sp;
    if (!PlaceRaster(surface, glyph, clip, x, y, sp)) return;
    int stride = Stride(surface);
    uint16_t v16 = Rgb565(colour);
    for (int r = 0; r < sp.h; r++) {
        const uint8_t *src = glyph->pixels + size_t(sp.sy + r) * glyph->width + sp.sx;
        uint8_t *dst = surface->pixels + size_t(sp.dy + r) * stride;
        for (int c = 0; c < sp.w; c++) {
            if (src[c] == 16) continue;
            if (Is16(surface))
                Put16(dst + (sp.dx + c) * 2, v16);
            else
                dst[sp.dx + c] = uint8_t(colour);
        }
    }
}

// ---- Run-length sprites --------------------------------------------------------

int CountRun(const uint8_t *row, int start, int value, int width) {
    int n = 0;
    while (start + n < width && row[start + n] == uint8_t(value)) n++;
    return n;
}

int CountNonRun(const uint8_t *row, int start, int value, int width) {
    int n = 0;
    while (start + n < width && row[start + n] != uint8_t(value)) n++;
    return n;
}

namespace {

constexpr size_t kSpriteHeader = sizeof(const Surface *);

inline void PutU16(uint8_t *sprite, size_t at, uint16_t v) {
    if (sprite) std::memcpy(sprite + at, &v, 2);
}
inline void PutU32(uint8_t *sprite, size_t at, uint32_t v) {
    if (sprite) std::memcpy(sprite + at, &v, 4);
}
inline uint16_t GetU16(const uint8_t *p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}
inline uint32_t GetU32(const uint8_t *p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

bool MadeFrom(const uint8_t *sprite, const Surface *raster) {
    const Surface *owner;
    std::memcpy(&owner, sprite, sizeof owner);
    return owner == raster;
}

// Walks the sprite's rows, calling run(destX, destY, sourceOffset, length)
// for each opaque run, cut to the box.
template <class Run>
void WalkSprite(const Surface *raster, const uint8_t *sprite, int64_t px, int64_t py, const Box &box,
                Run run) {
    const uint8_t *p = sprite + kSpriteHeader;
    const uint32_t limit = uint32_t(raster->width) * uint32_t(raster->height);
    for (int r = 0; r < raster->height; r++) {
        int64_t y = py + r;
        if (y > box.bottom) return;
        unsigned count = GetU16(p);
        p += 2;
        bool visible = y >= box.top;
        int64_t x = px;
        for (unsigned e = 0; e < count; e++) {
            if ((e & 1) == 0) {  // skip
                x += GetU16(p);
                p += 2;
                continue;
            }
            int len = GetU16(p);
            uint32_t offset = GetU32(p + 2);
            p += 6;
            if (visible && offset <= limit && len <= int(limit - offset)) {
                int64_t left = std::max<int64_t>(x, box.left);
                int64_t right = std::min<int64_t>(x + len - 1, box.right);
                if (left <= right)
                    run(int(left), int(y), offset + uint32_t(left - x), int(right - left + 1));
            }
            x += len;
        }
    }
}

}  // namespace

size_t MakeSpriteFromRaster(const Surface *raster, uint8_t *sprite, int transparent) {
    if (!Usable(raster)) return 0;
    if (sprite) std::memcpy(sprite, &raster, sizeof raster);
    size_t at = kSpriteHeader;
    int w = raster->width;
    for (int y = 0; y < raster->height; y++) {
        const uint8_t *row = raster->pixels + size_t(y) * w;
        size_t countAt = at;
        at += 2;
        uint16_t count = 0;
        int x = 0;
        while (x < w) {
            int skip = CountRun(row, x, transparent, w);
            PutU16(sprite, at, uint16_t(skip));
            at += 2, count++, x += skip;
            if (x >= w) break;
            int run = CountNonRun(row, x, transparent, w);
            PutU16(sprite, at, uint16_t(run));
            PutU32(sprite, at + 2, uint32_t(size_t(y) * w + x));
            at += 6, count++, x += run;
        }
        PutU16(sprite, countAt, count);
    }
    return at;
}

void DrawRunLengthSpriteClipped(Surface *surface, const Surface *raster, int x, int y,
                                const uint8_t *sprite, const ClipRect *clip) {
    if (!Usable(surface) || Is16(surface) || !Usable(raster) || !sprite || !clip ||
        !MadeFrom(sprite, raster))
        return;
    int w = surface->width;
    WalkSprite(raster, sprite, int64_t(x) - raster->hotX, int64_t(y) - raster->hotY,
               ClipBox(surface, clip), [&](int dx, int dy, uint32_t offset, int len) {
                   std::memcpy(surface->pixels + size_t(dy) * w + dx, raster->pixels + offset,
                               size_t(len));
               });
}

void DrawSpriteA(Surface *surface, const Surface *raster, int x, int y, const uint8_t *sprite) {
    if (!Usable(surface)) return;
    ClipRect whole = ToClipRect(SurfaceBox(surface));
    DrawRunLengthSpriteClipped(surface, raster, x, y, sprite, &whole);
}

void DrawSpriteB(Surface *surface, const Surface *raster, int colour, int x, int y,
                 const uint8_t *sprite) {
    if (!Usable(surface) || !Usable(raster)) return;
    ClipRect whole = ToClipRect(SurfaceBox(surface));
    if (Is16(surface) || !sprite || !MadeFrom(sprite, raster)) {
        BlitRasterColouredClipped(surface, raster, &whole, x, y, colour, 0);
        return;
    }
    int w = surface->width;
    WalkSprite(raster, sprite, int64_t(x) - raster->hotX, int64_t(y) - raster->hotY,
               SurfaceBox(surface), [&](int dx, int dy, uint32_t, int len) {
                   std::memset(surface->pixels + size_t(dy) * w + dx, uint8_t(colour), size_t(len));
               });
}
