// Markers on objects and waypoints, and the navigation marker that follows
// the navigation point nearest in front of the camera.
#include <algorithm>
#include <cmath>

#include "ai/contacts.h"
#include "hud/draw.h"
#include "hud/elements.h"
#include "hud/hud.h"
#include "hud/view.h"
#include "world/objlist.h"
#include "world/records.h"
#include "world/universe.h"

namespace {

constexpr float kDeepest = 9e12f;
constexpr uint32_t kNavigationPoint = 1u << 24;

// Where a marker stands: on its object, or at its own points' centre.
Vec3d MarkerPosition(const HUD *hud) {
    if (const SceneItem *o = hud->target; o && o->sim) return o->sim->position;
    const Vec3 &a = hud->points[0].world, &b = hud->points[7].world;
    return {(double(a.x) + b.x) / 2, (double(a.y) + b.y) / 2, (double(a.z) + b.z) / 2};
}

bool Selected(const SceneItem *o) { return o && dunCurrentContact && dunCurrentContact->object == o; }

void SelectionBox(int16_t box[4], int colour) {
    hudAnimateSelection(box);
    hudCornerBox(box, std::max(1, (box[2] - box[0]) / 4), std::max(1, (box[3] - box[1]) / 4), colour);
}

// The marker element an object carries on its root part, if any.
const HUD *MarkerOf(const SceneItem *o) {
    const TDP *root = o && o->avatar ? o->avatar->root : nullptr;
    return root && (root->flags & TDPFlag::ViewNode) ? static_cast<const HUD *>(root->model) : nullptr;
}

}  // namespace

void hudDrawMarker(HUD *hud) {
    const SceneItem *o = hud->target;
    Vec3 camera;
    if (!hudToCamera(MarkerPosition(hud), &camera)) return;
    if (!(camera.z > 0) || camera.z > kDeepest) return;
    if (o && o->avatar && (o->avatar->flags16 & AvatarState::GravityBody)) return;
    float x, y;
    if (!hudProjectCamera(camera, &x, &y)) return;
    // The link to the object it hangs on.
    if (const SceneItem *other = o && o->avatar ? o->avatar->partner : nullptr;
        other && other->sim && !(hud->flags & HudFlag::MarkerVariant)) {
        const HUD *theirs = MarkerOf(other);
        Vec3 c2;
        float x2, y2;
        if ((!theirs || !(theirs->flags & HudFlag::MarkerVariant)) && hudToCamera(other->sim->position, &c2) &&
            hudProjectCamera(c2, &x2, &y2))
            hudLine(hudPixel(x), hudPixel(y), hudPixel(x2), hudPixel(y2), 97);
    }
    const float distance = VecLengthApprox(camera);
    const bool navigationBody = o && o->avatar && (o->avatar->flags & AvatarFlag::NavigationBody);
    int16_t box[4];
    const int px = hudPixel(x), py = hudPixel(y);
    if (distance < 1e6f) {
        hudDrawDefault(hud);
        std::copy(HudBox, HudBox + 4, box);
    } else {
        if (distance > 1e11f && !navigationBody) return;
        box[0] = int16_t(px - 4);
        box[1] = int16_t(py - 4);
        box[2] = int16_t(px + 4);
        box[3] = int16_t(py + 4);
        if (dunTargetingMode == 7) {
            hudLine(box[0], box[1], box[2], box[1], 97);
            hudLine(box[2], box[1], box[2], box[3], 97);
            hudLine(box[2], box[3], box[0], box[3], 97);
            hudLine(box[0], box[3], box[0], box[1], 97);
            if (hud->flags & HudFlag::MarkerVariant) hudLine(box[0], box[1], box[2], box[3], 97);
        } else {
            hudLine(px - 1, py, px + 1, py, 97);
            hudLine(px, py - 1, px, py + 1, 97);
        }
    }
    if (Selected(o)) {
        const int colour = hudContactColour(dunCurrentContact->side);
        SelectionBox(box, colour);
        if (dunTargetingMode == 7 && hud->label) hudText(box[2] + 6, (box[1] + box[3]) / 2 + 4, hud->label, 97);
    }
}

void hudLagrangeFollow(HUD *hud) {
    SceneItem *best = nullptr;
    float nearest = INFINITY;
    SceneItem *head = dunSceneListHead();
    for (SceneItem *o = head->next; o != head; o = o->next) {
        if (!o->avatar || !(o->avatar->flags & kNavigationPoint) || !o->sim) continue;
        if (o->systemNumber != dunCurrentSystem) continue;
        Vec3 camera;
        if (!hudToCamera(o->sim->position, &camera)) break;
        if (camera.z >= 0 && camera.z < nearest) {
            nearest = camera.z;
            best = o;
        }
    }
    hud->target = best;
    if (best && best->avatar->waypointName) hud->label = best->avatar->waypointName;
    if (dunTargetingMode == 7) {
        hud->pointCount = kHudLagrangeShape2Points;
        hud->edgeCount = kHudLagrangeShape2Edges;
        hud->flags |= HudFlag::DepthCue;
    } else {
        hud->pointCount = kHudLagrangeShape1Points;
        hud->edgeCount = kHudLagrangeShape1Edges;
        hud->flags &= ~HudFlag::DepthCue;
    }
    hudPlaceOnTarget(hud);
}

void hudDrawLagrange(HUD *hud) {
    const SceneItem *o = hud->target;
    if (!o || !o->sim || o->systemNumber != dunCurrentSystem) return;
    Vec3 camera;
    if (!hudToCamera(o->sim->position, &camera) || camera.z > kDeepest) return;
    if (VecLengthApprox(camera) >= 2e6f) return;
    if (hudDrawDefault(hud) > 0 && hud->label) hudText(HudBox[2] + 6, HudBox[1] + 12, hud->label, 97);
    if (Selected(o) && HudBox[0] <= HudBox[2]) {
        int16_t box[4] = {HudBox[0], HudBox[1], HudBox[2], HudBox[3]};
        SelectionBox(box, hudContactColour(dunCurrentContact->side));
    }
}
