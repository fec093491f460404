// Lines: plain Bresenham lines, anti-aliased colour lines and light lines,
// with outcode clipping.
#include <cstdlib>

#include "RES/gfx2d.h"
#include "RES/gfx2d_detail.h"

using namespace gfx;

namespace {

enum : int { kLeft = 1, kRight = 2, kAbove = 4, kBelow = 8 };

int OutCode(int64_t x, int64_t y, const Box &b) {
    int c = 0;
    if (x < b.left)
        c |= kLeft;
    else if (x > b.right)
        c |= kRight;
    if (y < b.top)
        c |= kAbove;
    else if (y > b.bottom)
        c |= kBelow;
    return c;
}

bool ClipToBox(int &x0, int &y0, int &x1, int &y1, const Box &b) {
    if (b.Empty()) return false;
    int64_t ax = x0, ay = y0, bx = x1, by = y1;
    int c0 = OutCode(ax, ay, b), c1 = OutCode(bx, by, b);
    while (c0 | c1) {
        if (c0 & c1) return false;
        int c = c0 ? c0 : c1;
        int64_t x, y;
        // Wide products: coordinates may come from anywhere in the int range.
        if (c & kBelow) {
            y = b.bottom;
            x = ax + int64_t((__int128)(bx - ax) * (y - ay) / (by - ay));
        } else if (c & kAbove) {
            y = b.top;
            x = ax + int64_t((__int128)(bx - ax) * (y - ay) / (by - ay));
        } else if (c & kRight) {
            x = b.right;
            y = ay + int64_t((__int128)(by - ay) * (x - ax) / (bx - ax));
        } else {
            x = b.left;
            y = ay + int64_t((__int128)(by - ay) * (x - ax) / (bx - ax));
        }
        if (c == c0) {
            ax = x, ay = y, c0 = OutCode(ax, ay, b);
        } else {
            bx = x, by = y, c1 = OutCode(bx, by, b);
        }
    }
    x0 = int(ax), y0 = int(ay), x1 = int(bx), y1 = int(by);
    return true;
}

// Integer Bresenham along the major axis; both ends are visited.
template <class Plot>
void Bresenham(int x0, int y0, int x1, int y1, Plot plot) {
    int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    if (dx >= dy) {
        int err = dx / 2;
        for (int x = x0, y = y0;; x += sx) {
            plot(x, y);
            if (x == x1) break;
            err -= dy;
            if (err < 0) y += sy, err += dx;
        }
    } else {
        int err = dy / 2;
        for (int x = x0, y = y0;; y += sy) {
            plot(x, y);
            if (y == y1) break;
            err -= dx;
            if (err < 0) x += sx, err += dy;
        }
    }
}

// A far-away end would take forever to walk pixel by pixel: such lines are
// cut to the surface first.
constexpr int kNear = 1 << 16;
bool Near(int v) { return v > -kNear && v < kNear; }

inline bool Inside(const Surface *s, int x, int y) {
    return x >= 0 && y >= 0 && x < s->width && y < s->height;
}

}  // namespace

bool ClipLine(int &x0, int &y0, int &x1, int &y1, const ClipRect *clip) {
    if (!clip) return false;
    Box b{clip->left, clip->top, clip->right, clip->bottom};
    return ClipToBox(x0, y0, x1, y1, b);
}

void DrawLine(Surface *surface, int x0, int y0, int x1, int y1, int colour) {
    if (!Usable(surface)) return;
    if (!(Near(x0) && Near(y0) && Near(x1) && Near(y1)) &&
        !ClipToBox(x0, y0, x1, y1, SurfaceBox(surface)))
        return;
    int stride = Stride(surface);
    if (Is16(surface)) {
        uint16_t v = Rgb565(colour);
        Bresenham(x0, y0, x1, y1, [&](int x, int y) {
            if (Inside(surface, x, y)) Put16(surface->pixels + size_t(y) * stride + x * 2, v);
        });
    } else {
        Bresenham(x0, y0, x1, y1, [&](int x, int y) {
            if (Inside(surface, x, y)) surface->pixels[size_t(y) * stride + x] = uint8_t(colour);
        });
    }
}

void DrawLineClipped(Surface *surface, int x0, int y0, int x1, int y1, int colour,
                     const ClipRect *clip) {
    if (!Usable(surface) || !clip) return;
    if (!ClipToBox(x0, y0, x1, y1, ClipBox(surface, clip))) return;
    DrawLine(surface, x0, y0, x1, y1, colour);
}

// ---- Anti-aliased colour lines ---------------------------------------------

namespace {
struct ShadeRamp {
    bool built = false;
    const uint8_t *cube = nullptr;
    Rgb colour{0, 0, 0};
    uint8_t ramp[16] = {};
} gRamp;
}  // namespace

void DrawLineRgb(Surface *surface, int16_t x0, int16_t y0, int16_t x1, int16_t y1, Rgb colour,
                 const uint8_t *cube) {
    if (!Usable(surface) || !cube || Is16(surface)) return;
    uint8_t ci = cube[ColourCubeIndex(colour.red, colour.green, colour.blue)];
    if (!gRamp.built || gRamp.cube != cube || gRamp.colour.red != colour.red ||
        gRamp.colour.green != colour.green || gRamp.colour.blue != colour.blue) {
        for (int k = 1; k <= 16; k++)
            gRamp.ramp[k - 1] = cube[ColourCubeIndex((colour.red * k) >> 4, (colour.green * k) >> 4,
                                                     (colour.blue * k) >> 4)];
        gRamp.built = true;
        gRamp.cube = cube;
        gRamp.colour = colour;
    }
    const uint8_t *ramp = gRamp.ramp;
    int w = surface->width;
    auto set = [&](int x, int y, uint8_t v) {
        if (Inside(surface, x, y)) surface->pixels[size_t(y) * w + x] = v;
    };
    int adx = std::abs(x1 - x0), ady = std::abs(y1 - y0);
    if (x0 == x1 || y0 == y1 || adx == ady) {
        Bresenham(x0, y0, x1, y1, [&](int x, int y) { set(x, y, ci); });
        return;
    }
    int sx = x0, sy = y0, ex = x1, ey = y1;
    if (y1 < y0) sx = x1, sy = y1, ex = x0, ey = y0;
    int dx = ex - sx, dy = ey - sy;
    bool steep = std::abs(dx) < dy;
    int n = steep ? dy : std::abs(dx);
    set(sx, sy, ci);
    int64_t a = (steep && dx > 0) ? 0x8000 : 0x8012;
    int64_t step = steep ? (int64_t(dx) << 16) / dy : (int64_t(dy) << 16) / std::abs(dx);
    int xdir = dx > 0 ? 1 : -1;
    for (int i = 1; i < n; i++) {
        a += step;
        int mx, my;
        if (steep) {
            my = sy + i;
            mx = sx + int(a >> 16);
        } else {
            mx = sx + i * xdir;
            my = sy + int(a >> 16);
        }
        unsigned frac = unsigned(a & 0xFFFF);
        unsigned f = frac >> 12;
        if (frac < 0x8000) {
            set(mx, my, ramp[8 + f]);
            if (steep)
                set(mx - 1, my, ramp[8 - f]);
            else
                set(mx, my - 1, ramp[8 - f]);
        } else {
            set(mx, my, ramp[22 - f]);
            if (steep)
                set(mx + 1, my, ramp[f - 7]);
            else
                set(mx, my + 1, ramp[f - 7]);
        }
    }
}

void DrawLineRgbClipped(Surface *surface, int x0, int y0, int x1, int y1, Rgb colour,
                        const uint8_t *cube, const ClipRect *clip) {
    if (!Usable(surface) || !clip) return;
    if (!ClipToBox(x0, y0, x1, y1, ClipBox(surface, clip))) return;
    DrawLineRgb(surface, int16_t(x0), int16_t(y0), int16_t(x1), int16_t(y1), colour, cube);
}

// ---- Light lines -------------------------------------------------------------

void DrawLightLine(Surface *surface, int16_t x0, int16_t y0, int16_t x1, int16_t y1, int table) {
    if (!Usable(surface) || Is16(surface)) return;
    int w = surface->width;
    uint16_t a = 512;
    int dy = std::abs(y1 - y0), ry = y1 < y0 ? -1 : 1;
    int dx = std::abs(x1 - x0), rx = x1 < x0 ? -1 : 1;
    int e = 0, x = x0, y = y0;
    auto light = [&] {
        if (!Inside(surface, x, y)) return;
        uint8_t &p = surface->pixels[size_t(y) * w + x];
        p = Light(table, a >> 8, p);
    };
    if (dx > dy) {
        int n = dx + 1, inc = 3072 / n;
        for (int i = 0; i < n; i++) {
            a = uint16_t(a + inc);
            light();
            x += rx;
            e += dy;
            if (e > dx) e -= dx, y += ry;
        }
    } else {
        int n = dy + 1, inc = 3072 / n;
        for (int i = 0; i < n; i++) {
            a = uint16_t(a + inc);
            light();
            y += ry;
            e += dx;
            if (e > 0) e -= dy, x += rx;
        }
    }
}

void DrawLightLineClipped(Surface *surface, int x0, int y0, int x1, int y1, int table,
                          const ClipRect *clip) {
    if (!Usable(surface) || !clip) return;
    if (!ClipToBox(x0, y0, x1, y1, ClipBox(surface, clip))) return;
    DrawLightLine(surface, int16_t(x0), int16_t(y0), int16_t(x1), int16_t(y1), table);
}
