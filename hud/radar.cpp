// The radar sphere of the stations: the ship's surroundings inside a wire
// sphere that turns with the ship, its velocity as an arrow, the contacts
// as dots; or, in the flat display mode, a plane of range ellipses with
// the contacts on stems above and below it.
#include <algorithm>
#include <cmath>

#include "ai/contacts.h"
#include "core/frame.h"
#include "gui/window.h"
#include "hud/draw.h"
#include "hud/elements.h"
#include "hud/view.h"
#include "world/objlist.h"
#include "world/records.h"

int32_t hudSphereMode;

namespace {

// Whether the radar shows a contact: debris only in its own list, gravity
// and navigation bodies only when selected.
bool Shown(const Contact &c) {
    if (!(c.flags & ContactFlag::InUse) || !c.object || !c.object->sim) return false;
    if (c.kind == 2 && dunTargetingMode != 2) return false;
    if ((c.kind == 4 || c.kind == 7) && &c != dunCurrentContact) return false;
    return true;
}

int DotColour(const Contact &c) {
    int colour = (c.side & 0x1000) ? 47 : hudContactColour(c.side);
    if (c.kind == 1) colour = (c.side & 0x80) ? 252 : 160;
    return ((colour + 16) & 0xE0) + 4;
}

// The contact's position relative to the ship, in the ship's axes.
Vec3 Relative(const Sim *ship, const SceneItem *o) {
    const Vec3d &p = ship->position, &q = o->sim->position;
    Vec3 rel;
    MatTransformPoint(rel, {float(q.x - p.x), float(q.y - p.y), float(q.z - p.z)}, ship->matrix);
    return rel;
}

bool Project(const Vec3 &c, float factor, int *x, int *y) {
    if (!(c.z > 0)) return false;
    *x = hudPixel(c.x * factor / c.z);
    *y = hudPixel(c.y * factor / c.z);
    return true;
}

void SelectedCross(int x, int y) {
    if (dunGameClock % 50 <= 25) return;
    hudLine(x - 4, y, x + 4, y, 47);
    hudLine(x, y - 4, x, y + 4, 47);
}

void VelocityArrow(const HUD *hud, const Sim *ship, float factor) {
    if (!(ship->speed > 1000)) return;
    Vec3 v = ship->velocity;
    if (ship->speed > 10000) {
        const float length = std::sqrt(float(VecDot(v, v)));
        if (length > 0) v = {v.x * 10000 / length, v.y * 10000 / length, v.z * 10000 / length};
    }
    Vec3 local;
    MatTransformPoint(local, v, ship->matrix);
    const float distance = float(hud->values[2]);
    const Vec3 tip = {local.x / 50, local.y / 50, local.z / 50 + distance};
    const Vec3 back = {local.x / 67, local.y / 67, local.z / 67};
    int tx, ty;
    if (!Project(tip, factor, &tx, &ty)) return;
    hudLine(0, 0, tx, ty, 47);
    // The head: the shorter vector turned 15 degrees either way about the
    // vertical and 8 degrees either way about the horizontal.
    const float s15 = 0.258819f, c15 = 0.965926f, s8 = 0.139173f, c8 = 0.990268f;
    const Vec3 heads[4] = {
        {back.x * c15 + back.z * s15, back.y, -back.x * s15 + back.z * c15},
        {back.x * c15 - back.z * s15, back.y, back.x * s15 + back.z * c15},
        {back.x, back.y * c8 - back.z * s8, back.y * s8 + back.z * c8},
        {back.x, back.y * c8 + back.z * s8, -back.y * s8 + back.z * c8},
    };
    for (const Vec3 &h : heads) {
        int hx, hy;
        if (Project({h.x, h.y, h.z + distance}, factor, &hx, &hy)) hudLine(tx, ty, hx, hy, 47);
    }
}

void Ellipse(float cx, float cy, float rx, float ry, int colour) {
    constexpr int kSteps = 32;
    for (int k = 0; k < kSteps; ++k) {
        const float a = float(k) * 6.2831853f / kSteps, b = float(k + 1) * 6.2831853f / kSteps;
        hudDrawViewLine(hudPixel(cx + rx * std::cos(a)), hudPixel(cy + ry * std::sin(a)),
                        hudPixel(cx + rx * std::cos(b)), hudPixel(cy + ry * std::sin(b)), colour);
    }
}

void FlatRadar(const HUD *hud, const Sim *ship) {
    float x0 = HudViewRect.left, y0 = HudViewRect.top, w = float(HudViewRect.right - HudViewRect.left + 1),
          h = float(HudViewRect.bottom - HudViewRect.top + 1);
    if (const GuiWindow *win = hud->window) {
        x0 = win->rect[0];
        y0 = win->rect[1];
        w = win->w;
        h = win->h;
    }
    const float cx = x0 + w / 2, cy = y0 + h / 3.5f, rx = 0.47f * w, ry = 0.15f * w;
    Ellipse(cx, cy, rx, ry, 133);
    for (int k = 1; k <= 3; ++k) Ellipse(cx, cy, rx * float(k) / 4, ry * float(k) / 4, hudBandDarker(133, 8 - 2 * k));
    const int icx = hudPixel(cx), icy = hudPixel(cy);
    hudDrawViewLine(icx - 3, icy, icx + 3, icy, 47);
    hudDrawViewLine(icx, icy - 3, icx, icy + 3, 47);
    constexpr float kPlane = 200000, kHeight = 400000;
    for (const Contact &c : dunContacts) {
        if (!Shown(c)) continue;
        Vec3 rel = Relative(ship, c.object);
        float horizontal = std::hypot(rel.x, rel.z);
        float cap = 1.3f * kPlane;
        if (std::fabs(rel.y) > kHeight) {
            rel.y = std::copysign(kHeight, rel.y);
            cap = kPlane;
        }
        if (horizontal > cap) {
            rel.x *= cap / horizontal;
            rel.z *= cap / horizontal;
        }
        const float px = cx + rel.x / kPlane * rx, py = cy - rel.z / kPlane * ry;
        const float raised = py + rel.y / kHeight * h / 4;
        const int colour = DotColour(c);
        hudDrawViewLine(hudPixel(px), hudPixel(py), hudPixel(px), hudPixel(raised), colour);
        const int dx = hudPixel(px), dy = hudPixel(raised);
        hudDrawViewLine(dx, dy, dx + 1, dy, colour);
        hudDrawViewLine(dx, dy + 1, dx + 1, dy + 1, colour);
        if (&c == dunCurrentContact && dunGameClock % 50 > 25) {
            hudDrawViewLine(dx - 4, dy, dx + 4, dy, 47);
            hudDrawViewLine(dx, dy - 4, dx, dy + 4, 47);
        }
    }
}

}  // namespace

void hudDrawOrb(HUD *hud) {
    const SceneItem *player = dunControlledObject;
    const Sim *ship = player ? player->sim : nullptr;
    if (!ship) return;
    if (hudSphereMode == 1) {
        FlatRadar(hud, ship);
        return;
    }
    hudDrawDefault(hud);
    const float factor = hudInViewFactor;
    VelocityArrow(hud, ship, factor);
    const float radius = float(hud->values[0]), outer = float(hud->values[1]), distance = float(hud->values[2]);
    const float perUnit = hudStreakSpacing / (radius > 0 ? radius : 1000);
    for (const Contact &c : dunContacts) {
        if (!Shown(c)) continue;
        Vec3 q = Relative(ship, c.object);
        q = {q.x / perUnit, q.y / perUnit, q.z / perUnit};
        const float length = std::sqrt(float(VecDot(q, q)));
        if (length > outer) q = {q.x * outer / length, q.y * outer / length, q.z * outer / length};
        int x, y;
        if (!Project({q.x, q.y, q.z + distance}, factor, &x, &y)) continue;
        hudDot(x, y, DotColour(c));
        if (&c == dunCurrentContact) SelectedCross(x, y);
    }
}
