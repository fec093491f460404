// Placement of objects near others, the tracking list and the stock-ship
// launches it feeds, and the random target pick.
#include <cmath>

#include "RES/util.h"
#include "RES/vecmath.h"
#include "core/frame.h"
#include "world/mission_state.h"
#include "world/objlist.h"
#include "world/objroutines.h"
#include "world/records.h"
#include "world/services.h"
#include "world/universe.h"

int32_t dunStockShipLimit = 0;

namespace {

TrackNode *trackHead = nullptr;
TrackNode *trackCursor = nullptr;

Vec3d difference(const Vec3d &a, const Vec3d &b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

float radiusOf(const SceneItem *item) { return item->sim ? item->sim->radius : 0.0f; }

// A point on the line from a to b with an orientation looking along it.
Vec3d pointBetween(Mat4 *out, SceneItem *a, SceneItem *b, float distance) {
    const Vec3d pa = a->sim->position, pb = b->sim->position;
    Vec3d d = difference(pb, pa);
    const double length = VecLengthDouble(d);
    Vec3 direction = {0.0f, 0.0f, 1.0f};
    if (length > 0.0) direction = {float(d.x / length), float(d.y / length), float(d.z / length)};
    double along = distance;
    if (distance == 0.0f) {
        const double gap = length - radiusOf(a) - radiusOf(b);
        along = radiusOf(a) + gap * ((dunRand15() % 1000) / 1000.0);
    }
    const Vec3d point = {pa.x + direction.x * along, pa.y + direction.y * along, pa.z + direction.z * along};
    if (out) {
        MatIdentity(*out);
        MatLookAlong(direction, nullptr, *out);
        out->m[12] = float(point.x);
        out->m[13] = float(point.y);
        out->m[14] = float(point.z);
    }
    return point;
}

// Another ship that the item at this point would overlap.
bool overlapsShip(const SceneItem *item, const Vec3d &at) {
    SceneItem *head = dunSceneListHead();
    for (SceneItem *it = head->next; it && it != head; it = it->next) {
        if (it == item || !it->sim || !it->avatar || !(it->avatar->flags & AvatarFlag::Ship)) continue;
        if (VecLengthDouble(difference(it->sim->position, at)) <= double(radiusOf(it)) + radiusOf(item)) return true;
    }
    return false;
}

}  // namespace

Vec3d dunRandomPointBetween(Mat4 *out, SceneItem *a, SceneItem *b, float distance) {
    return pointBetween(out, a, b, distance);
}

Vec3d dunRandomPlacement(Mat4 *out, SceneItem *a, SceneItem *b, float distance) {
    Mat4 frame;
    Vec3d point = pointBetween(&frame, a, b, distance);
    const float x = float(dunRand15() % 1000 - 500), y = float(dunRand15() % 1000 - 500);
    point.x += frame.m[0] * x + frame.m[4] * y;
    point.y += frame.m[1] * x + frame.m[5] * y;
    point.z += frame.m[2] * x + frame.m[6] * y;
    if (out) {
        *out = frame;
        out->m[12] = float(point.x);
        out->m[13] = float(point.y);
        out->m[14] = float(point.z);
    }
    return point;
}

void dunPlaceNearObject(SceneItem *near, SceneItem *item) {
    if (!near || !item || !near->sim || !item->sim) return;
    if (!overlapsShip(item, item->sim->position)) return;
    Vec3d u = difference(item->sim->position, near->sim->position);
    double d = VecLengthDouble(u);
    if (d > 0.0) {
        u = {u.x / d, u.y / d, u.z / d};
    } else {
        u = {near->sim->matrix.m[8], near->sim->matrix.m[9], near->sim->matrix.m[10]};
    }
    // Two objects at one point would never move apart by growing their
    // distance: start clear of both, and give up after a bounded search.
    const double least = double(radiusOf(near)) + radiusOf(item);
    if (d < least) d = least > 0.0 ? least : 1.0;
    Vec3d candidate = item->sim->position;
    for (int tries = 0; tries < 64; ++tries) {
        d *= 1.5;
        Vec3 r = {float(dunRand15() % 1000 - 500), float(dunRand15() % 1000 - 500), float(dunRand15() % 1000 - 500)};
        VecNormalise(r);
        candidate = {near->sim->position.x + u.x * d + r.x * d * 0.25, near->sim->position.y + u.y * d + r.y * d * 0.25,
                     near->sim->position.z + u.z * d + r.z * d * 0.25};
        if (!overlapsShip(item, candidate)) break;
    }
    item->sim->position = candidate;
}

TrackNode *dunTrackListHead() { return trackHead; }

void dunTrackObject(SceneItem *item, uint32_t mask) {
    auto *node = static_cast<TrackNode *>(dunAlloc(sizeof(TrackNode)));
    if (!node) return;
    node->mask = mask;
    node->object = item;
    node->bitCount = uint16_t(__builtin_popcount(mask));
    node->system = dunCurrentSystem;
    TrackNode **tail = &trackHead;
    while (*tail) tail = &(*tail)->next;
    *tail = node;
    item->flags |= SceneFlag::Tracked;
}

void dunUntrackObject(SceneItem *item) {
    for (TrackNode **link = &trackHead; *link; link = &(*link)->next) {
        TrackNode *node = *link;
        if (node->object != item) continue;
        *link = node->next;
        if (trackCursor == node) trackCursor = nullptr;
        dunFree(node);
        break;
    }
    item->flags &= ~SceneFlag::Tracked;
}

void dunFreeTrackChain(TrackNode *node) {
    if (!node) return;
    dunFreeTrackChain(node->next);
    dunFree(node);
}

void dunClearTargetList() {
    dunFreeTrackChain(trackHead);
    trackHead = nullptr;
    trackCursor = nullptr;
}

void dunLaunchStockNearby() {
    SceneItem *head = dunSceneListHead();
    if (dunFrozen || head->next == head || !trackHead || dunMissionCounter >= dunStockShipLimit) return;
    if (dunRand15() % 2500 > dunFrameStep || !dunPlayerShip || !dunPlayerShip->sim) return;
    // The node after the cursor whose object is near the player, wrapping
    // round the list once.
    TrackNode *start = trackCursor && trackCursor->next ? trackCursor->next : trackHead;
    TrackNode *node = start;
    do {
        if (node->object && node->object->sim &&
            VecLengthDouble(difference(node->object->sim->position, dunPlayerShip->sim->position)) <= 12000000.0) {
            trackCursor = node;
            dunCall(dunScript().launchStockShips, node);
            return;
        }
        node = node->next ? node->next : trackHead;
    } while (node != start);
}

SceneItem *dunPickRandomTarget(SceneItem *ship, SceneItem *previous) {
    SceneItem *nearest = dunCall(dunAi().nearestShipByFlags, 0x1000000u, ship);
    if (nearest && dunRand15() % 10 < 2) return nearest;
    const uint32_t sides = ship && ship->avatar ? (ship->avatar->flags & AvatarFlag::SideBits) | 0x40u : 0x40u;
    int count = 0;
    for (TrackNode *n = trackHead; n; n = n->next)
        count += n->object && n->object != previous && n->object->avatar && (n->object->avatar->flags & sides);
    if (count > 0) {
        int pick = dunRand15() % count;
        for (TrackNode *n = trackHead; n; n = n->next) {
            if (!n->object || n->object == previous || !n->object->avatar || !(n->object->avatar->flags & sides))
                continue;
            if (pick-- == 0) return n->object;
        }
    }
    return nearest ? nearest : previous;
}
