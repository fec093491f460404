// The star list and the star pass.
#include "present/sky/stars.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "RES/gfx2d.h"
#include "RES/util.h"
#include "core/options.h"
#include "platform/display.h"
#include "present/frame_passes.h"
#include "present/p3d.h"
#include "render/pmap/pixelmap.h"
#include "world/records.h"

StarList gStars;
uint16_t gStarStreakCounter;
uint8_t gStarResetStreaks;

namespace {

// A 16-bit star moving this far (half its larger step plus one) in a frame
// is not drawn that frame.
constexpr float kWideBlurLimit = 20;

const SceneItem *gLastViewer;

const uint8_t *Palette() { return CurrentPalette ? CurrentPalette : LastPalette; }

struct Rgb {
    int r, g, b;
};

Rgb PaletteRgb(const uint8_t *palette, int index) {
    if (!palette) return {0, 0, 0};
    const uint8_t *e = palette + 4 * (index & 0xFF);
    return {e[0], e[1], e[2]};
}

uint16_t Pack565(int r, int g, int b) {
    return uint16_t((std::min(r, 255) >> 3) << 11 | (std::min(g, 255) >> 2) << 5 | std::min(b, 255) >> 3);
}

// The colour of a 16-bit streak star over what the pixel holds: added to a
// lit pixel, alone over a black one. Both take the star's own ramp entry.
uint16_t WideColour(uint32_t existing, int entry, float k) {
    const Rgb c = PaletteRgb(Palette(), entry);
    if (existing == 0) return Pack565(int(float(c.r) / k), int(float(c.g) / k), int(float(c.b) / k));
    const int r = int((existing >> 11) & 31) * 8, g = int((existing >> 5) & 63) * 4, b = int(existing & 31) * 8;
    return Pack565(r + int(float(c.r) / k), g + int(float(c.g) / k), b + int(float(c.b) / k));
}

void Plot(vt_pixelmap *pm, int x, int y, uint32_t colour) { VtPixelmapPixelSet(pm, x, y, colour); }

}  // namespace

uint8_t P3DStarBrightness(float magnitude) {
    const double top = std::pow(2.512, 33.0 - magnitude) - std::pow(2.512, 12.0);
    const double value = 8 + 24 - top * 24 / (std::pow(2.512, 21.0) - std::pow(2.512, 12.0));
    // Kept in 8 bits as it comes: a magnitude outside 12..21 wraps.
    return uint8_t(int64_t(std::isfinite(value) ? std::clamp(value, -1e9, 1e9) : 0));
}

void P3DGenerateStarfieldFrom(int count, P3DCatalogueReader catalogue) {
    gStarResetStreaks = 0;
    const int n = std::clamp(count, 0, kStarMax);
    gStars.count = int16_t(n);
    int made = 0;
    if (catalogue) {
        P3DCatalogueStar record;
        for (int index = 1; made < n && catalogue(index, &record); ++index) {
            if (!(record.flags & 0x100)) continue;
            const Vec3 p = {record.x, record.y, record.z};
            const float length = VecLengthApprox(p);
            const float scale = length > 0 ? kStarDistance / length : 0;
            gStars.direction[made][0] = p.x * scale;
            gStars.direction[made][1] = p.y * scale;
            gStars.direction[made][2] = p.z * scale;
            gStars.brightness[made] = P3DStarBrightness(record.magnitude);
            gStars.rampBase[made] = kStarRampBase;
            ++made;
        }
        // A catalogue with fewer seen stars than asked for gives fewer.
        gStars.count = int16_t(made);
        return;
    }
    for (int i = 0; i < n; ++i) {
        const float a = float(dunRand15()) * 2 * 3.1415f / 32767;
        const float t = std::pow(float(dunRand15()) / 32767, 1.5f);
        const float b = (float(dunRand15()) * 3.1415f / 32767 - 1.57075f) * t;
        gStars.direction[i][0] = std::cos(b) * std::cos(a) * kStarDistance;
        gStars.direction[i][1] = std::sin(b) * kStarDistance;
        gStars.direction[i][2] = std::cos(b) * std::sin(a) * kStarDistance;
        gStars.brightness[i] = uint8_t(8 + dunRand15() * 28 / 32767);
        gStars.rampBase[i] = kStarRampBase;
    }
}

void P3DGenerateStarfield(int count) { P3DGenerateStarfieldFrom(int16_t(count), nullptr); }

void P3DDrawStarsInto(vt_pixelmap *pm, const float view[3][3], float scale, int pixelDepth) {
    --gStarStreakCounter;
    if (!pm) return;
    const float halfW = float(pm->width / 2), halfH = float(pm->height / 2);
    const int n = std::clamp(int(gStars.count), 0, kStarMax);
    for (int i = 0; i < n; ++i) {
        const float *d = gStars.direction[i];
        const float vx = d[0] * view[0][0] + d[1] * view[0][1] + d[2] * view[0][2];
        const float vy = d[0] * view[1][0] + d[1] * view[1][1] + d[2] * view[1][2];
        const float vz = d[0] * view[2][0] + d[1] * view[2][1] + d[2] * view[2][2];
        if (!(vz > 0)) {
            gStars.visible[i] = 0;
            continue;
        }
        const float sx = vx * scale / vz, sy = vy * scale / vz;
        gStars.screen[i][0] = sx;
        gStars.screen[i][1] = sy;
        gStars.visible[i] = -halfW <= sx && sx <= halfW && -halfH <= sy && sy <= halfH;
    }
    if (gStarResetStreaks) {
        std::memcpy(gStars.previouslyVisible, gStars.visible, sizeof gStars.visible);
        for (int i = 0; i < n; ++i) {
            gStars.previous[i][0] = std::trunc(gStars.screen[i][0]);
            gStars.previous[i][1] = std::trunc(gStars.screen[i][1]);
        }
        gStarResetStreaks = 0;
    }
    const bool wide = pixelDepth != 8;
    const uint8_t *palette = Palette();
    if (gStarStreakCounter != 0) {
        for (int i = 0; i < n; ++i) {
            if (!gStars.visible[i]) continue;
            const int index = gStars.rampBase[i] + std::min<int>(gStars.brightness[i], 31);
            Plot(pm, int(gStars.screen[i][0]), int(gStars.screen[i][1]),
                 wide ? PaletteToRgb565(palette, unsigned(index)) : uint32_t(index));
        }
        return;
    }
    for (int i = 0; i < n; ++i) {
        const bool visible = gStars.visible[i];
        const int cx = int(gStars.screen[i][0]), cy = int(gStars.screen[i][1]);
        if (visible && gStars.previouslyVisible[i]) {
            const int px = int(gStars.previous[i][0]), py = int(gStars.previous[i][1]);
            const int dx = std::abs(px - cx), dy = std::abs(py - cy);
            const int s = dx + dy;
            float k = float(std::max(dx, dy)) * 0.5f + 1;
            const int base = gStars.rampBase[i];
            const int brightness = gStars.brightness[i];
            uint32_t colour;
            bool draw = true;
            if (wide) {
                // Passed over: the star keeps its last place too, so the next
                // frame measures its move from there.
                if (k >= kWideBlurLimit) continue;
                uint32_t existing = 0;
                if (optNoStreaks) k = std::max(k / 2, 1.0f);
                else existing = VtPixelmapPixelGet(pm, cx, cy);
                colour = WideColour(existing, base + std::min(brightness, 31), k);
            } else {
                // Over a lit pixel the star adds the pixel's place in its ramp.
                const int p = int(VtPixelmapPixelGet(pm, cx, cy));
                const int rampStart = ((p - 16) & ~31) + 16;
                float v = float(brightness) / k;
                if (p != kStarRampBase) v += float((p - rampStart) * 13 / 32);
                v = std::min(v, 31.0f);
                colour = uint32_t(base + int(v));
                draw = v >= 3;
            }
            if (!draw) {
                // too faint over what is there
            } else if (s < 1 || optNoStreaks) {
                Plot(pm, cx, cy, colour);
            } else if (s <= 2) {
                Plot(pm, cx, cy, colour);
                Plot(pm, px, py, colour);
            } else {
                VtPixelmapLine(pm, px, py, cx, cy, colour);
            }
        }
        gStars.previouslyVisible[i] = visible;
        gStars.previous[i][0] = float(cx);
        gStars.previous[i][1] = float(cy);
    }
}

void P3DDrawStarField() {
    const SceneItem *viewer = gP3D.viewObject;
    if (!viewer || !viewer->sim) {
        --gStarStreakCounter;
        return;
    }
    // Another viewer is a jump of the view: no streak across it.
    if (viewer != gLastViewer) gStarResetStreaks = 1;
    gLastViewer = viewer;
    const Mat4 &m = viewer->sim->matrix;
    const float view[3][3] = {{m.m[0], m.m[1], m.m[2]}, {m.m[4], m.m[5], m.m[6]}, {m.m[8], m.m[9], m.m[10]}};
    P3DDrawStarsInto(gP3D.colourTarget, view, gP3D.projectionScale, PixelDepth);
}

void P3DResetStarState() {
    gStarStreakCounter = 0;
    gStarResetStreaks = 0;
    gLastViewer = nullptr;
}
