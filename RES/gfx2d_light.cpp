// Light effects at 8 bits per pixel: glows, glow crosses and translucent
// shaded triangles through the light tables.
#include <cmath>
#include <cstdlib>

#include "RES/gfx2d.h"
#include "RES/gfx2d_detail.h"
#include "RES/util.h"

using namespace gfx;

uint8_t LightTables[65536];
uint8_t GlowMasks[2 * 128 * 128];
ClipRect ViewClipRect = {0, 0, 639, 479};
const uint8_t GlowColours[16] = {72, 136, 104, 64, 72, 242, 160, 47,
                                 64, 128, 96,  160, 64, 242, 160, 47};
uint32_t RandomOffsets[800];
bool RandomOffsetsReady = false;

namespace {
constexpr int kOffsets = 800;
// Tall glows and triangles (600 rows and more) would run past the table's
// end: the index wraps instead.
inline uint32_t Offset(int64_t r) { return RandomOffsets[size_t(r % kOffsets)]; }

constexpr int kAimPoints[4][2] = {{254, 200}, {112, 360}, {531, 97}, {7, 245}};
}  // namespace

// The table is drawn once, when the first glow is: from the generator as it
// stands at start-up, and without moving it on, so that what is on the
// screen never changes the random draws of the simulation.
void InitRandomOffsets() {
    const uint32_t saved = dunRand15State;
    dunSeedRand15(1);
    for (auto &o : RandomOffsets) o = uint32_t(dunRand15()) & 0x1FF;
    dunRand15State = saved;
    RandomOffsetsReady = true;
}

void DrawShadedSprite(Surface *surface, int16_t intensity, int colour, int, int x, int y,
                      int16_t size, uint8_t cross, const ClipRect *clip) {
    if (!Usable(surface) || Is16(surface) || !clip) return;
    if (!RandomOffsetsReady) InitRandomOffsets();
    if (size < 5) size = 5;
    if (intensity <= 0) return;
    Box box = ClipBox(surface, clip);
    if (box.Empty()) return;
    int t = colour & 15;
    // Reads past a mask's last row run on into the next; past mask 1 they
    // stay on its last byte.
    const int64_t maskBase = (colour & 8) ? 128 * 128 : 0;
    const int64_t maskEnd = int64_t(sizeof GlowMasks) - 1;
    int w = surface->width;
    if (size == 5) {
        int64_t px = std::clamp<int64_t>(int64_t(x) - 1, box.left, box.right);
        int64_t py = std::clamp<int64_t>(int64_t(y) - 1, box.top, box.bottom);
        surface->pixels[size_t(py) * w + px] = GlowColours[t];
    } else {
        if (intensity < 4) intensity = 4;
        int step = 32768 / size;
        int64_t x0 = int64_t(x) - size / 2, y0 = int64_t(y) - size / 2;
        int64_t x1 = x0 + size;
        int64_t mc = 0, my = 0;
        bool draw = true;
        if (x0 < box.left) {
            mc = ((box.left - x0) * step) >> 8;
            x0 = box.left;
        }
        if (x1 <= box.left || x0 >= box.right) draw = false;
        if (x1 > box.right) x1 = box.right;
        if (y0 < box.top) {
            my = (box.top - y0) * step;
            y0 = box.top;
        }
        if (y > box.bottom || y < box.top) draw = false;
        if (draw) {
            int64_t r = dunRand15() % 200;
            int64_t yb = std::min<int64_t>(int64_t(y) + size / 2, box.bottom);
            for (int64_t row = y0; row < yb; row++) {
                int64_t c = Offset(r++);
                uint8_t *dst = surface->pixels + size_t(row) * w;
                const int64_t mrow = maskBase + (my >> 8) * 128 + mc;
                for (int64_t col = x0; col < x1; col++) {
                    int v = GlowMasks[std::min(mrow + (c >> 8), maskEnd)];
                    if (v >= 1 && v <= intensity) dst[col] = Light(t, v, dst[col]);
                    c += step;
                }
                my += step;
            }
        }
    }
    if (cross && size > 8 && t < 8) DrawGlowCross(surface, t, x, y, size);
}

void DrawGlowCross(Surface *surface, int table, int x, int y, int size) {
    if (!Usable(surface)) return;
    int64_t len = int64_t(size * 1.2);
    for (int i = 0; i < 4 && len > 8; i++) {
        int64_t dx = int64_t(kAimPoints[i][0]) - x, dy = int64_t(kAimPoints[i][1]) - y;
        int64_t s = std::llabs(dx) + std::llabs(dy);
        if (s == 0) continue;
        int64_t ex = dx * len / s, ey = dy * len / s;
        DrawLightLineClipped(surface, x, y, ClampInt(x + ex), ClampInt(y + ey), table,
                             &ViewClipRect);
        if (i == 0)
            DrawLightLineClipped(surface, x, y, ClampInt(x - ex), ClampInt(y - ey), table,
                                 &ViewClipRect);
        len = int64_t(len * 0.8);
    }
}

void FillTriangleHalf(Surface *surface, int ax, int ay, int h, int xa, int xb, int apexShade,
                      int shadeA, int shadeB, int table) {
    if (!Usable(surface) || Is16(surface) || h == 0) return;
    if (xa > xb) std::swap(xa, xb), std::swap(shadeA, shadeB);
    if (!RandomOffsetsReady) InitRandomOffsets();
    int64_t r0 = dunRand15() % 200;
    int dir = h > 0 ? 1 : -1;
    int64_t H = std::llabs(int64_t(h));
    int64_t wStep = ((int64_t(xb) - xa) * 256) / H;
    int64_t apex = int64_t(apexShade) * 256;
    int64_t lStep = ((int64_t(shadeA) - apexShade) * 256) / H;
    int64_t rStep = ((int64_t(shadeB) - apexShade) * 256) / H;
    int64_t dX = (std::llabs(int64_t(xa) - ax) * 256) / H;
    int xdir = xa > ax ? 1 : -1;
    // Every per-row quantity has a closed form in the row number k, so rows
    // outside the surface are never walked.
    int64_t kFirst, kLast;
    if (dir > 0) {
        kFirst = std::max<int64_t>(0, -int64_t(ay));
        kLast = std::min<int64_t>(H - 1, int64_t(surface->height) - 1 - ay);
    } else {
        kFirst = std::max<int64_t>(0, int64_t(ay) - (surface->height - 1));
        kLast = std::min<int64_t>(H - 1, ay);
    }
    int w = surface->width;
    for (int64_t k = kFirst; k <= kLast; k++) {
        int64_t y = int64_t(ay) + dir * k;
        int64_t W = 256 + k * wStep;
        int64_t L = apex + k * lStep, R = apex + k * rStep;
        int64_t xs = int64_t(ax) + xdir * ((k * dX) >> 8);
        uint16_t a = uint16_t(L + (Offset(r0 + k) & 0xFF));
        int64_t n = W >> 8;
        int64_t d = (R - L) / (n + 1);
        int64_t first = std::max<int64_t>(0, -xs);
        int64_t last = std::min<int64_t>(n - 1, int64_t(w) - 1 - xs);
        if (first > last) continue;
        a = uint16_t(a + first * d);
        uint8_t *p = surface->pixels + size_t(y) * w;
        for (int64_t i = first; i <= last; i++) {
            a = uint16_t(a + d);
            uint8_t &px = p[xs + i];
            px = Light(table, a >> 8, px);
        }
    }
}

void FillTriangle(Surface *surface, int x0, int y0, int x1, int y1, int x2, int y2, int s0, int s1,
                  int s2, int table) {
    if (!Usable(surface) || Is16(surface)) return;
    struct P {
        int x, y;
    } p[3] = {{x0, y0}, {x1, y1}, {x2, y2}};
    // A stable sort of three by y: equal rows keep their given order.
    if (p[1].y < p[0].y) std::swap(p[0], p[1]);
    if (p[2].y < p[1].y) {
        std::swap(p[1], p[2]);
        if (p[1].y < p[0].y) std::swap(p[0], p[1]);
    }
    if (p[2].y == p[0].y) return;  // all on one row
    float f = float(int64_t(p[1].y) - p[0].y) / float(int64_t(p[2].y) - p[0].y);
    auto trunc = [](float v) { return std::isfinite(v) ? ClampInt(int64_t(std::clamp(v, -4e18f, 4e18f))) : 0; };
    int xm = trunc(float(p[0].x) + float(int64_t(p[2].x) - p[0].x) * f);
    int sm = trunc(float(s0) + float(int64_t(s2) - s0) * f);
    FillTriangleHalf(surface, p[0].x, p[0].y, ClampInt(int64_t(p[1].y) - p[0].y), p[1].x, xm, s0,
                     s1, sm, table);
    if (p[2].y > p[1].y)
        FillTriangleHalf(surface, p[2].x, p[2].y, ClampInt(int64_t(p[1].y) - p[2].y - 1), p[1].x,
                         xm, s2, s1, sm, table);
}

void FillTriangleChecked(Surface *surface, int x0, int y0, int x1, int y1, int x2, int y2, int s0,
                         int s1, int s2, int table) {
    if (!Usable(surface)) return;
    auto inside = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < surface->width && y < surface->height;
    };
    if (inside(x0, y0) && inside(x1, y1) && inside(x2, y2))
        FillTriangle(surface, x0, y0, x1, y1, x2, y2, s0, s1, s2, table);
}
