// The targeting and contact element: brackets round the contacts on screen,
// a pointer at the edge toward the selected contact when it is off screen,
// weapon chevrons, range and hull labels, the threat boxes; the selection
// box's glide to a new target, shared with the markers.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "RES/util.h"
#include "ai/combat.h"
#include "ai/contacts.h"
#include "ai/weapons.h"
#include "core/frame.h"
#include "gui/cockpit.h"
#include "gui/window.h"
#include "hud/draw.h"
#include "hud/elements.h"
#include "hud/hud.h"
#include "hud/shape.h"
#include "hud/view.h"
#include "script/mission.h"
#include "world/flight.h"
#include "world/objlist.h"
#include "world/records.h"
#include "world/step.h"

float hudSelectedMarkX, hudSelectedMarkY;
HudSight HudSightRecord;
float gHudRange = 400000.0f;

// The sub-target step: a sub-target of a goal beyond the sub-target range
// cannot be aimed at, and the firing code reads that verdict.
void hudSubTargetStep() {
    const SceneItem *c = dunControlledObject;
    const SceneItem *goal = c && c->sim ? c->sim->goal : nullptr;
    if (!goal || !goal->sim || !dunSubTargetOwner || dunSubTargetOwner != goal) {
        dunSubTargetOutOfRange = 0;
        return;
    }
    const Vec3d &p = c->sim->position, &q = goal->sim->position;
    const float d = VecLengthApprox({float(q.x - p.x), float(q.y - p.y), float(q.z - p.z)});
    dunSubTargetOutOfRange = d > gHudRange ? 1 : 0;
}

namespace {

// The selection box as last drawn.
int16_t gSelectionBox[4];

struct Rect {
    float l, t, r, b;
};

// The view rectangle relative to its centre.
Rect ViewRect() {
    int cx, cy;
    hudViewCentre(&cx, &cy);
    return {float(HudViewRect.left - cx), float(HudViewRect.top - cy), float(HudViewRect.right - cx),
            float(HudViewRect.bottom - cy)};
}

void Grow(int16_t box[4], int by) {
    box[0] = int16_t(box[0] - by);
    box[1] = int16_t(box[1] - by);
    box[2] = int16_t(box[2] + by);
    box[3] = int16_t(box[3] + by);
}

// The object's screen box: the renderer's when it drew the object in this
// frame, else a square of its projected radius.
void ScreenBox(const SceneItem *o, const Vec3 &camera, float x, float y, int16_t box[4]) {
    if (hudRenderedBox(o, box)) return;
    const float half = camera.z > 0 ? std::max(2.0f, o->sim->radius * HudProjectScale / camera.z) : 2.0f;
    box[0] = int16_t(hudPixel(x - half));
    box[1] = int16_t(hudPixel(y - half));
    box[2] = int16_t(hudPixel(x + half));
    box[3] = int16_t(hudPixel(y + half));
}

// An arrowhead at the view's edge pointing along (x, y) from the centre.
void EdgePointer(float x, float y, bool behind, int colour) {
    Rect v = ViewRect();
    v = {v.l + 2, v.t + 2, v.r - 2, v.b - 2};
    if (behind) {
        hudClipBySigns(&x, &y, v.l, v.t, v.r, v.b);
        x = -x;
        y = -y;
    } else {
        hudClipToRect(&x, &y, v.l, v.t, v.r, v.b);
    }
    const float length = std::hypot(x, y);
    if (!(length > 0)) return;
    const float ux = x / length, uy = y / length;
    // Two 8-pixel strokes back from the tip, 30 degrees either side.
    const float c = 0.8660254f, s = 0.5f;
    const int px = hudPixel(x), py = hudPixel(y);
    hudLine(px, py, hudPixel(x - 8 * (ux * c - uy * s)), hudPixel(y - 8 * (uy * c + ux * s)), colour);
    hudLine(px, py, hudPixel(x - 8 * (ux * c + uy * s)), hudPixel(y - 8 * (uy * c - ux * s)), colour);
}

void Chevron(int x, int y, int size, bool pointsDown, int colour) {
    const int d = pointsDown ? size : -size;
    hudLine(x - size, y - d, x, y, colour);
    hudLine(x, y, x + size, y - d, colour);
}

int HullPercent(const SceneItem *o) {
    const ShipInfo *info = o->sim->shipInfo;
    if (info && info->damage.maximum > 0) {
        const int64_t left = int64_t(info->damage.maximum) - info->damage.damage;
        return int(std::clamp<int64_t>(left * 100 / info->damage.maximum, 0, 100));
    }
    return std::clamp(o->sim->hull, 0, 100);
}

// The range value of a contact: hundreds of thousands of units to its
// surface.
float RangeValue(const Contact &c) {
    const SceneItem *o = c.object;
    float radius = o->sim->radius;
    if (o->avatar && (o->avatar->flags16 & AvatarState::GravityBody)) {
        radius /= 2;
        const SceneItem *player = dunPlayerShip;
        if (player && player->sim && player->sim->gravity.body == o)
            return std::max(0.0f, player->sim->gravity.altitude / 100000);
    }
    return std::max(0.0f, (c.range - radius) / 100000);
}

void DrawContact(const Contact &c) {
    SceneItem *o = c.object;
    if (!o || !o->sim) return;
    const bool selected = &c == dunCurrentContact;
    // b. Colour, the highlighted object's blink and the side's flash.
    if (o == dunCrossHairObject && gMissionClock % 40 > 20) return;
    int colour = hudContactColour(c.side);
    if (c.sideTimer > 0 && c.sideTimer % 20 > 10) colour -= 7;
    // d. Where it is on screen.
    Vec3 camera;
    if (!hudToCamera(o->sim->position, &camera)) return;
    float x = 0, y = 0;
    const bool projects = hudProjectCamera(camera, &x, &y);
    if (selected) {
        hudSelectedMarkX = x;
        hudSelectedMarkY = y;
    }
    const Rect v = ViewRect();
    // e. Off screen or behind: a pointer toward the selected contact only.
    if (!projects || x < v.l || x > v.r || y < v.t || y > v.b) {
        if (!selected) return;
        if (!projects) {
            // Behind: the projection through a negative depth mirrors the
            // direction, which the pointer turns back.
            const float z = camera.z < 0 ? camera.z : -1.0f;
            x = camera.x * HudProjectScale / z;
            y = camera.y * HudProjectScale / z;
        }
        EdgePointer(x, y, !projects, colour);
        return;
    }
    if (c.kind == 4 || c.kind == 7) return;
    // f. The brackets.
    int16_t box[4];
    ScreenBox(o, camera, x, y, box);
    Grow(box, 4);
    if (selected) {
        Grow(box, 2);
        hudAnimateSelection(box);
        hudCornerBox(box, std::max(1, (box[2] - box[0]) / 4), std::max(1, (box[3] - box[1]) / 4), colour);
    } else {
        const int corner = std::min({6, (box[2] - box[0]) / 4, (box[3] - box[1]) / 4});
        hudCornerBox(box, corner, corner, colour - 2);
    }
    const int mx = (box[0] + box[2]) / 2, my = (box[1] + box[3]) / 2;
    if (o == dunNavigationTarget) {
        hudLine(mx, box[1], mx, box[1] + 3, colour);
        hudLine(mx, box[3], mx, box[3] - 3, colour);
        hudLine(box[0], my, box[0] + 3, my, colour);
        hudLine(box[2], my, box[2] - 3, my, colour);
        if (!HudFlatView && !gGuiWeaponsView) {
            const int half = std::clamp((box[2] - box[0]) / 2, 18, 40);
            const int cx = hudPixel(x), cy = hudPixel(y);
            hudLine(cx - half, cy - half, cx + half, cy + half, colour);
            hudLine(cx - half, cy + half, cx + half, cy - half, colour);
        }
    }
    // c. The fire-control slots aimed at it: slot 0 marks from above what
    // lies below the ship's plane, slot 1 from below what lies above.
    const SceneItem *ship = dunPlayerShip;
    if (ship && ship->sim && ship->sim->shipInfo) {
        const Vec3d &p = ship->sim->position, &q = o->sim->position;
        Vec3 rel;
        MatTransformPoint(rel, {float(q.x - p.x), float(q.y - p.y), float(q.z - p.z)}, ship->sim->matrix);
        const float length = VecLengthApprox(rel);
        const bool ahead = rel.z > 0 || (length > 0 && std::fabs(rel.y) / length > 0.268f);
        for (int slot = 0; slot < 2 && ahead; ++slot) {
            if (ship->sim->shipInfo->fireTargets[slot] != o) continue;
            if (slot == 0 && rel.y > 0) {
                Chevron(mx, box[1] - 3, 3, true, colour);
                Chevron(mx, box[1] - 6, 6, true, colour);
            } else if (slot == 1 && rel.y < 0) {
                Chevron(mx, box[3] + 3, 3, false, colour);
                Chevron(mx, box[3] + 6, 6, false, colour);
            }
        }
    }
    // g. The selected contact's name, unless its side is not known yet.
    if (selected && !(c.side & 0x400)) {
        char name[96];
        guiFormatShipName(name, sizeof name, o);
        const char *text = name[0] ? name : o->avatar ? o->avatar->waypointName : nullptr;
        if (text) hudText(box[0], box[3] + 10, text, colour);
    }
    // h. Range and hull.
    const float range = RangeValue(c);
    const bool target =
        o->sim->shipInfo && (o == dunWeaponTarget || o == dunNavigationTarget || selected);
    if (target || range < 50) {
        char text[32];
        if (range >= 1000) {
            std::snprintf(text, sizeof text, "%.0fKK", double(range / 1000));
            hudText(box[0] - 26, my + 4, text, colour);
        } else {
            std::snprintf(text, sizeof text, "%.0f", double(range));
            hudText(box[0] - 12, my + 4, text, colour);
        }
        if (target) {
            std::snprintf(text, sizeof text, "%i", HullPercent(o));
            hudText(box[2] + 7, my + 4, text, colour);
        }
    }
}

}  // namespace

int hudContactColour(uint32_t side) { return hudSideColour(side); }

void hudAnimateSelection(int16_t box[4]) {
    if (dunTargetSelected) {
        bool arrived = false;
        for (int k = 0; k < 4; ++k) {
            gSelectionBox[k] = int16_t(gSelectionBox[k] + (box[k] - gSelectionBox[k]) / 2);
            if (std::abs(box[k] - gSelectionBox[k]) <= 2) arrived = true;
        }
        if (arrived) dunTargetSelected = 0;
        std::copy(gSelectionBox, gSelectionBox + 4, box);
        return;
    }
    std::copy(box, box + 4, gSelectionBox);
}

void hudInitTargetingHud(HUD *hud, SceneItem *target, uint32_t parameter) {
    hudBeginElement(hud, nullptr, target, parameter, nullptr, nullptr, hudDrawTargeting, HudFlag::Element);
}

void hudDrawTargeting(HUD *) {
    if (gGuiFullScreen) return;
    const int n = gGuiInterference;
    if (n > 0 && dunRand15() % 500 < n) return;
    for (const Contact &c : dunContacts)
        if ((c.flags & ContactFlag::InUse) && (c.flags & ContactFlag::Listed)) DrawContact(c);
    // 3. The threats' boxes, blinking.
    if (!HudFlatView && dunGameClock % 20 > 10)
        for (const ThreatEntry &t : dunNearestThreats) {
            int16_t box[4];
            if (!t.object || !hudRenderedBox(t.object, box)) continue;
            Grow(box, 4);
            const int corner = std::min({6, (box[2] - box[0]) / 4, (box[3] - box[1]) / 4});
            hudCornerBox(box, corner, corner, 242);
        }
    hudDrawContactRows();
    // 4. The weapons' reticle, and the highlight is spent.
    if (const SceneItem *c = dunControlledObject; c && c->sim) {
        HudSightRecord.ship = c->sim;
        HudSightRecord.weapon = c->sim->currentWeapon ? c->sim->currentWeapon : c->sim->weapons;
        if (const SceneItem *v = hudViewer(); v && v->sim) HudSightRecord.view = v->sim->matrix;
        // The sight frame: a square 300 across, 3000 ahead of the ship.
        static const float kFrame[5][2] = {{-150, -150}, {150, -150}, {150, 150}, {-150, 150}, {0, 0}};
        for (int i = 0; i < 5; ++i) {
            Vec3 d;
            MatRotateVector(c->sim->matrix, Vec3{kFrame[i][0], kFrame[i][1], 3000.0f}, d);
            HudSightRecord.points[i] = {float(c->sim->position.x) + d.x, float(c->sim->position.y) + d.y,
                                        float(c->sim->position.z) + d.z};
        }
    }
    hudSubTargetStep();
    dunDrawTargetReticle(&HudSightRecord);
    dunCrossHairObject = nullptr;
}

// ---- Pointers at the view's edge ---------------------------------------------------------------

int hudClipToRect(float *x, float *y, float l, float t, float r, float b) {
    float scale = INFINITY;
    int side = 1;
    auto consider = [&](float limit, float v, int s) {
        if (v == 0) return;
        const float k = limit / v;
        if (k > 0 && k < scale) {
            scale = k;
            side = s;
        }
    };
    consider(*x > 0 ? r : l, *x, *x > 0 ? 2 : 0);
    consider(*y > 0 ? b : t, *y, *y > 0 ? 3 : 1);
    if (std::isfinite(scale)) {
        *x *= scale;
        *y *= scale;
    }
    return side;
}

int hudClipBySigns(float *x, float *y, float l, float t, float r, float b) {
    const float w = r - l, h = b - t;
    int side;
    if (std::fabs(*x) * h > std::fabs(*y) * w) side = *x < 0 ? 0 : 2;
    else side = *y < 0 ? 1 : 3;
    const float limit = side == 0 ? l : side == 1 ? t : side == 2 ? r : b;
    const float v = side == 0 || side == 2 ? *x : *y;
    if (v != 0 && std::isfinite(v)) {
        const float k = limit / v;
        *x *= k;
        *y *= k;
    }
    return side;
}
