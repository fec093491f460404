// Projecting a record's points through the view and drawing its edges: the
// default wire drawing, the drawing of a record shown alone in a station
// window, and the scattered strokes drawn while the screen is disturbed.
#include <algorithm>
#include <cmath>

#include "RES/util.h"
#include "core/frame.h"
#include "gui/window.h"
#include "hud/draw.h"
#include "hud/elements.h"
#include "hud/view.h"
#include "present/p3d.h"
#include "world/records.h"

int16_t HudBox[4];
HUD *hudInViewRecord;
float hudInViewFactor;

namespace {

constexpr float kNearest = 2000.0f;

int Points(const HUD *hud) { return std::clamp(int(int16_t(hud->pointCount)), 0, kHudPoints); }
int Edges(const HUD *hud) { return std::clamp(int(hud->edgeCount), 0, kHudEdges); }

bool ValidEdge(const HUD *hud, const HUDEdge &e) {
    const int n = Points(hud);
    return e.colour && e.from >= 0 && e.to >= 0 && e.from < n && e.to < n;
}

bool Visible(const HUDPoint &a, const HUDPoint &b) { return HudFlatView || (a.depth > kNearest && b.depth > kNearest); }

// The edge's colour, darker the farther its first point lies behind the
// record's nearest.
uint8_t EdgeColour(const HUD *hud, const HUDEdge &e, const HUDPoint &a) {
    if (!(hud->flags & HudFlag::DepthCue)) return e.colour;
    float range = hud->farDepth - hud->nearDepth;
    if (range == 0) range = 1.0f;
    const float shade = (a.depth - hud->nearDepth) * -16.0f / range;
    return uint8_t(e.colour + (std::isfinite(shade) ? int(std::clamp(shade, -255.0f, 255.0f)) : 0));
}

// Calls draw(first end, second end, colour) for every coloured edge whose
// ends are both projected deep enough; the number of such edges.
template <class Draw>
int ForVisibleEdges(const HUD *hud, Draw draw) {
    int drawn = 0;
    const int m = Edges(hud);
    for (int k = 0; k < m; ++k) {
        const HUDEdge &e = hud->edges[k];
        if (!ValidEdge(hud, e)) continue;
        const HUDPoint &a = hud->points[e.from], &b = hud->points[e.to];
        if (!Visible(a, b)) continue;
        draw(a, b, EdgeColour(hud, e, a));
        ++drawn;
    }
    return drawn;
}

bool LiveShip(const SceneItem *t) {
    return t && (t->flags & SceneFlag::InUse) && t->sim && t->sim->shipInfo;
}

// Screen position and depth of a camera-space point; the far and near
// depths are widened by it.
void Project(HUD *hud, HUDPoint &p, const Vec3 &c, float factor) {
    p.flags |= 2;
    if (HudFlatView) {
        hudProjectCamera(c, &p.screenX, &p.screenY);
    } else {
        p.screenX = c.x * factor / c.z;
        p.screenY = c.y * factor / c.z;
    }
    p.depth = c.z;
    hud->farDepth = std::max(hud->farDepth, c.z);
    hud->nearDepth = std::min(hud->nearDepth, c.z);
    if (hud->flags & HudFlag::ScreenOffset) {
        p.screenX += p.local.x;
        p.screenY += p.local.y;
        p.depth += p.local.z;
    }
}

}  // namespace

void hudProjectPoints(HUD *hud) {
    if ((hud->flags & HudFlag::LiveShip) && !LiveShip(hud->target)) return;
    if (!hudViewer()) return;
    hud->farDepth = -1e11f;
    hud->nearDepth = 1e11f;
    const int n = Points(hud);
    for (int i = 0; i < n; ++i) {
        HUDPoint &p = hud->points[i];
        Vec3 c;
        hudToCamera({p.world.x, p.world.y, p.world.z}, &c);
        Project(hud, p, c, HudProjectScale);
    }
}

int hudDrawDefault(HUD *hud) {
    HudBox[0] = HudBox[1] = 32767;
    HudBox[2] = HudBox[3] = -32767;
    if (gGuiInterference > 0) {
        hudDrawDistorted(hud);
        return 0;
    }
    const int n = Points(hud);
    for (int i = 0; i < n; ++i) {
        const int x = hudPixel(hud->points[i].screenX), y = hudPixel(hud->points[i].screenY);
        HudBox[0] = int16_t(std::min<int>(HudBox[0], x));
        HudBox[1] = int16_t(std::min<int>(HudBox[1], y));
        HudBox[2] = int16_t(std::max<int>(HudBox[2], x));
        HudBox[3] = int16_t(std::max<int>(HudBox[3], y));
    }
    const bool points = hud->flags & HudFlag::Points;
    return ForVisibleEdges(hud, [points](const HUDPoint &a, const HUDPoint &b, int colour) {
        const int ax = hudPixel(a.screenX), ay = hudPixel(a.screenY);
        // Points are one-pixel lines, so that they clip like the lines do.
        if (points) hudDrawLineIn(HudPixelmap, ax, ay, ax, ay, colour);
        else hudDrawLineIn(HudPixelmap, ax, ay, hudPixel(b.screenX), hudPixel(b.screenY), colour);
    });
}

void hudProjectInView() {
    HUD *hud = hudInViewRecord;
    if (!hud) return;
    if (!dunFrozen && hud->perFrame) hud->perFrame(hud);
    if (hud->flags & HudFlag::Hidden) return;
    float factor = HudProjectScale;
    if ((hud->flags & HudFlag::WeaponZoom) && gP3D.zoomFactor > 1) {
        // The zoomed view's field of view widened back by the zoom: the
        // sphere keeps its size while the view zooms.
        const float half = float(HudViewRect.bottom - HudViewRect.top) / 2;
        const float t = std::tan(gP3D.fieldOfView * gP3D.zoomFactor / 2 * 3.14159265f / 180);
        if (t > 0 && std::isfinite(t)) factor = half / t;
    }
    hud->farDepth = -1e11f;
    hud->nearDepth = 1e11f;
    const int n = Points(hud);
    for (int i = 0; i < n; ++i) Project(hud, hud->points[i], hud->points[i].world, factor);
    hudInViewFactor = factor;
}

void hudDrawDistorted(HUD *hud) {
    ForVisibleEdges(hud, [](const HUDPoint &a, const HUDPoint &b, int colour) {
        const int ax = hudPixel(a.screenX), bx = hudPixel(b.screenX), y = hudPixel(a.screenY);
        const int x0 = std::min(ax, bx), width = std::abs(bx - ax);
        // A piece of up to half the edge's width, from a random start.
        const int start = x0 + (dunRand15() % 128) * width / 128;
        const int length = (dunRand15() % 128) * width / 128 / 2;
        // It stays within the edge's extent.
        hudDrawLineIn(HudPixelmap, start, y, std::min(start + length, x0 + width), y, colour);
    });
}
