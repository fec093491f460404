// The HUD's line primitives at 8 and 16 bits per pixel, through the game's
// own rasteriser or the library's pixelmap line.
#include <algorithm>

#include "RES/gfx2d.h"
#include "core/options.h"
#include "hud/draw.h"
#include "platform/display.h"
#include "render/pmap/pixelmap.h"

uint8_t HudColour = 64;
BitmapFont *HudFont;
uint8_t HudOwnLines = 0xFF;
int16_t HudDebugLevel;
uint8_t HudThrottleDrag;
const uint8_t *HudInverseTable;

namespace {

Surface *Screen() { return TheDisplayMode.screen; }

ClipRect ViewClip() { return {HudViewRect.left, HudViewRect.top, HudViewRect.right, HudViewRect.bottom}; }

void Origin(int *ox, int *oy) {
    *ox = HudPixelmap ? HudPixelmap->origin_x : 0;
    *oy = HudPixelmap ? HudPixelmap->origin_y : 0;
}

int Clamp32767(int v) { return std::clamp(v, -32767, 32767); }

}  // namespace

uint32_t hudPixelColour(int index) {
    if (PixelDepth == 8) return (uint32_t)(index & 0xFF);
    return PaletteToRgb565(CurrentPalette, (unsigned)index);
}

void hudDrawViewLine(int x0, int y0, int x1, int y1, int colour) {
    int ox, oy;
    Origin(&ox, &oy);
    x0 -= ox;
    y0 -= oy;
    x1 -= ox;
    y1 -= oy;
    if (HudOwnLines || !HudPixelmap) {
        const ClipRect clip = ViewClip();
        DrawLineClipped(Screen(), x0 + ox, y0 + oy, x1 + ox, y1 + oy, colour, &clip);
    } else {
        VtPixelmapLine(HudPixelmap, x0, y0, x1, y1, hudPixelColour(colour));
    }
}

void hudDrawLine(int x0, int y0, int x1, int y1, int colour) {
    if (HudOwnLines || !HudPixelmap) {
        DrawLine(Screen(), x0, y0, x1, y1, colour);
        return;
    }
    int ox, oy;
    Origin(&ox, &oy);
    VtPixelmapLine(HudPixelmap, x0 - ox, y0 - oy, x1 - ox, y1 - oy, hudPixelColour(colour));
}

void hudDrawLineRGB(int x0, int y0, int x1, int y1, uint32_t rgb) {
    const unsigned red = rgb & 0xFF, green = (rgb >> 8) & 0xFF, blue = (rgb >> 16) & 0xFF;
    int ox, oy;
    Origin(&ox, &oy);
    if (HudOwnLines || !HudPixelmap) {
        if (!HudInverseTable) return;
        const ClipRect clip = ViewClip();
        DrawLineRgbClipped(Screen(), x0, y0, x1, y1, Rgb{(uint8_t)red, (uint8_t)green, (uint8_t)blue},
                           HudInverseTable, &clip);
        return;
    }
    const uint32_t colour = ((red & 248) << 8) + ((green & 252) << 3) + (blue >> 3);
    VtPixelmapLine(HudPixelmap, x0 - ox, y0 - oy, x1 - ox, y1 - oy, colour);
}

void hudDrawLineIn(vt_pixelmap *pm, int x0, int y0, int x1, int y1, int colour) {
    if (!pm) return;
    if (HudOwnLines) {
        const ClipRect clip = {(int16_t)pm->base_x, (int16_t)pm->base_y, (int16_t)(pm->base_x + pm->width - 1),
                               (int16_t)(pm->base_y + pm->height - 1)};
        const int dx = pm->base_x + pm->origin_x, dy = pm->base_y + pm->origin_y;
        DrawLineClipped(Screen(), Clamp32767(x0 + dx), Clamp32767(y0 + dy), Clamp32767(x1 + dx),
                        Clamp32767(y1 + dy), colour, &clip);
        return;
    }
    VtPixelmapLine(pm, x0, y0, x1, y1, hudPixelColour(colour));
}
