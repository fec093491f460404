// The view as the HUD's elements see it.
#include "hud/view.h"

#include <algorithm>
#include <cmath>

#include "RES/font.h"
#include "RES/gfx2d.h"
#include "RES/text.h"
#include "core/frame.h"
#include "hud/draw.h"
#include "platform/display.h"
#include "present/p3d.h"
#include "render/pmap/pixelmap.h"
#include "world/records.h"

uint8_t HudFlatView;
uint8_t HudFlatAxis;
float HudFlatZoom = 1.0f;

SceneItem *hudViewer() { return gP3D.viewObject; }

bool hudToCamera(const Vec3d &world, Vec3 *camera) {
    const SceneItem *v = hudViewer();
    if (!v || !v->sim) return false;
    const Mat4 &m = v->sim->matrix;
    const Vec3 d = {float(world.x - v->sim->position.x), float(world.y - v->sim->position.y),
                    float(world.z - v->sim->position.z)};
    MatTransformPoint(*camera, d, m);
    return true;
}

bool hudProjectCamera(const Vec3 &c, float *x, float *y) {
    if (HudFlatView) {
        const float scale = HudFlatZoom * 56.0f;
        float px = c.x, py = c.y;
        if (HudFlatAxis == 0) px = c.z;
        else py = -c.z;
        *x = px / scale;
        *y = py / scale;
        return scale != 0;
    }
    if (!(c.z > 0)) return false;
    *x = c.x * HudProjectScale / c.z;
    *y = c.y * HudProjectScale / c.z;
    return true;
}

void hudViewCentre(int *x, int *y) {
    if (const vt_pixelmap *pm = HudPixelmap) {
        *x = pm->base_x + pm->origin_x;
        *y = pm->base_y + pm->origin_y;
        return;
    }
    *x = (HudViewRect.left + HudViewRect.right + 1) / 2;
    *y = (HudViewRect.top + HudViewRect.bottom + 1) / 2;
}

int hudPixel(float v) {
    if (!(v == v)) return 0;
    return int(std::clamp(v, -32767.0f, 32767.0f));
}

void hudLine(int x0, int y0, int x1, int y1, int colour) {
    int cx, cy;
    hudViewCentre(&cx, &cy);
    auto at = [](int centre, int v) { return std::clamp(centre + v, -32767, 32767); };
    hudDrawViewLine(at(cx, x0), at(cy, y0), at(cx, x1), at(cy, y1), colour);
}

void hudDot(int x, int y, int colour) {
    hudLine(x, y, x + 1, y, colour);
    hudLine(x, y + 1, x + 1, y + 1, colour);
}

Surface *hudSurface() { return TheDisplayMode.screen; }

int hudTextWidth(const char *text) {
    int w = 0, h = 0;
    if (HudFont && text) dunMeasureText(text, HudFont, &w, &h);
    return w;
}

int hudText(int x, int y, const char *text, int colour) {
    if (!HudFont || !text || !hudSurface()) return 0;
    int cx, cy;
    hudViewCentre(&cx, &cy);
    const ClipRect clip = {HudViewRect.left, HudViewRect.top, HudViewRect.right, HudViewRect.bottom};
    int px = cx + x, py = cy + y;
    const int start = px;
    dunDrawText(hudSurface(), &px, &py, text, HudFont, colour, &clip);
    return px - start;
}

int hudBandBase(int colour) { return ((colour - 16) & 0xE0) + 16; }

int hudBandDarker(int colour, int steps) { return std::max(hudBandBase(colour), colour - steps); }

bool hudRenderedBox(const SceneItem *item, int16_t box[4]) {
    const TDP *root = item && item->avatar ? item->avatar->root : nullptr;
    if (!root || !root->actor || root->drawnFrame != dunFrameCounter) return false;
    std::copy(root->screenRect, root->screenRect + 4, box);
    return true;
}

bool hudWeaponZoom() { return gP3D.zoomFactor > 1; }

void hudCornerBox(const int16_t box[4], int lengthX, int lengthY, int colour) {
    const int l = box[0], t = box[1], r = box[2], b = box[3];
    hudLine(l, t, l + lengthX, t, colour);
    hudLine(l, t, l, t + lengthY, colour);
    hudLine(r, t, r - lengthX, t, colour);
    hudLine(r, t, r, t + lengthY, colour);
    hudLine(l, b, l + lengthX, b, colour);
    hudLine(l, b, l, b - lengthY, colour);
    hudLine(r, b, r - lengthX, b, colour);
    hudLine(r, b, r, b - lengthY, colour);
}
